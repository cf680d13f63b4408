#include "plot.h"
#include "testmain.h"

#include <QTest>
#include <limits>

class PlotRangeTest : public QObject
{
  Q_OBJECT
private slots:
  void constructionNormalizes()
  {
    PlotRange r(5, 2);
    QCOMPARE(r.lower, 2.0);
    QCOMPARE(r.upper, 5.0);
    QCOMPARE(r.size(), 3.0);
    QCOMPARE(r.center(), 3.5);
    PlotRange d;
    QCOMPARE(d.lower, 0.0);
    QCOMPARE(d.upper, 0.0);
  }

  void containsIncludesBounds()
  {
    PlotRange r(2, 5);
    QVERIFY(r.contains(2));
    QVERIFY(r.contains(5));
    QVERIFY(!r.contains(5.000001));
    QVERIFY(!r.contains(std::numeric_limits<double>::quiet_NaN()));
  }

  void validity_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<bool>("valid");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("span below minimum") << 0.0 << 1e-300 << false;
    QTest::newRow("lower at -maxRange") << -1e250 << 0.0 << false;
    QTest::newRow("upper at maxRange") << 0.0 << 1e250 << false;
    QTest::newRow("reversed") << 3.0 << 1.0 << true;
    QTest::newRow("normal") << -1.0 << 1.0 << true;
    QTest::newRow("span too large") << -0.6e250 << 0.6e250 << false;
    QTest::newRow("nan lower") << nan << 1.0 << false;
    QTest::newRow("nan upper") << 0.0 << nan << false;
    QTest::newRow("infinite") << 0.0 << inf << false;
    QTest::newRow("empty") << 1.0 << 1.0 << false;
  }
  void validity()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(bool, valid);
    QCOMPARE(PlotRange::validRange(lower, upper), valid);
    PlotRange r;
    r.lower = lower;
    r.upper = upper;
    QCOMPARE(PlotRange::validRange(r), valid);
  }

  void logSanitizing_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("expLower");
    QTest::addColumn<double>("expUpper");
    QTest::newRow("zero lower") << 0.0 << 10.0 << 0.001 << 10.0;
    QTest::newRow("zero lower small upper") << 0.0 << 0.5 << 0.0005 << 0.5;
    QTest::newRow("zero upper") << -10.0 << 0.0 << -10.0 << -0.001;
    QTest::newRow("negative side wider") << -10.0 << 5.0 << -10.0 << -0.001;
    QTest::newRow("positive side wider") << -5.0 << 10.0 << 0.001 << 10.0;
    QTest::newRow("tie keeps positive") << -5.0 << 5.0 << 0.001 << 5.0;
    QTest::newRow("both zero") << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("reversed positive") << 10.0 << 1.0 << 1.0 << 10.0;
  }
  void logSanitizing()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, expLower);
    QFETCH(double, expUpper);
    PlotRange r;
    r.lower = lower;
    r.upper = upper;
    const PlotRange s = r.sanitizedForLogScale();
    QCOMPARE(s.lower, expLower);
    QCOMPARE(s.upper, expUpper);
  }

  void expandNeverShrinks()
  {
    PlotRange r(0, 10);
    r.expand(PlotRange(2, 3));
    QCOMPARE(r, PlotRange(0, 10));
    const PlotRange e = r.expanded(PlotRange(-1, 20));
    QCOMPARE(e, PlotRange(-1, 20));
    QCOMPARE(r, PlotRange(0, 10));
  }

  void metaTypeEquality()
  {
    const QVariant a = QVariant::fromValue(PlotRange(1, 2));
    const QVariant b = QVariant::fromValue(PlotRange(1, 2));
    QCOMPARE(a, b);
    PlotRange n;
    n.lower = std::numeric_limits<double>::quiet_NaN();
    QVERIFY(!(n == n));
  }
};

TOVRI_TEST(PlotRangeTest)
#include "tst_plotrange.moc"
