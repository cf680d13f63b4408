#include "graphfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QtTest>
#include <cmath>
#include <limits>

namespace {
QRgb rgb(int r, int g, int b)
{
  return qRgb(r, g, b);
}
} // namespace

class PlotColorGradientTest : public QObject
{
  Q_OBJECT
private slots:
  void presetEnds_data()
  {
    QTest::addColumn<int>("preset");
    QTest::addColumn<QRgb>("first");
    QTest::addColumn<QRgb>("last");
    QTest::newRow("grayscale") << int(PlotColorGradient::gpGrayscale) << rgb(0, 0, 0) << rgb(255, 255, 255);
    QTest::newRow("hot") << int(PlotColorGradient::gpHot) << rgb(50, 0, 0) << rgb(255, 255, 255);
    QTest::newRow("cold") << int(PlotColorGradient::gpCold) << rgb(0, 0, 50) << rgb(255, 255, 255);
    QTest::newRow("night hsv") << int(PlotColorGradient::gpNight) << rgb(10, 20, 30) << rgb(250, 255, 250);
    QTest::newRow("geography") << int(PlotColorGradient::gpGeography) << rgb(70, 170, 210) << rgb(210, 210, 230);
    QTest::newRow("polar") << int(PlotColorGradient::gpPolar) << rgb(50, 255, 255) << rgb(255, 255, 50);
    QTest::newRow("jet") << int(PlotColorGradient::gpJet) << rgb(0, 0, 100) << rgb(100, 0, 0);
    QTest::newRow("hues wraps to red") << int(PlotColorGradient::gpHues) << rgb(255, 0, 0) << rgb(255, 0, 0);
  }
  void presetEnds()
  {
    QFETCH(int, preset);
    QFETCH(QRgb, first);
    QFETCH(QRgb, last);
    PlotColorGradient g(static_cast<PlotColorGradient::GradientPreset>(preset));
    const PlotRange range(0, 1);
    QCOMPARE(g.color(0, range), first);
    QCOMPARE(g.color(1, range), last);
    // Outside the range the ends are held.
    QCOMPARE(g.color(-5, range), first);
    QCOMPARE(g.color(7, range), last);
  }

  void levelsAndLookup()
  {
    PlotColorGradient g(PlotColorGradient::gpGrayscale);
    {
      MessageLog log;
      g.setLevelCount(1);
      QVERIFY(log.contains(QStringLiteral("n must be greater or equal 2 but was 1")));
    }
    QCOMPARE(g.levelCount(), 2);
    const PlotRange range(10, 20);
    QCOMPARE(g.color(10, range), rgb(0, 0, 0));
    QCOMPARE(g.color(19.999, range), rgb(0, 0, 0));
    QCOMPARE(g.color(20, range), rgb(255, 255, 255));
    QCOMPARE(g.color(1e9, range), rgb(255, 255, 255));

    // A stop colour's alpha never reaches the table; one stop colours all.
    PlotColorGradient single;
    single.clearColorStops();
    single.setColorStopAt(0.3, QColor(10, 20, 30, 0));
    QCOMPARE(single.color(0.9, range), rgb(10, 20, 30));
    QCOMPARE(qAlpha(single.color(-1, range)), 255);
    PlotColorGradient none;
    none.clearColorStops();
    QCOMPARE(none.color(0.5, PlotRange(0, 1)), rgb(0, 0, 0));
  }

  void periodicWrap_data()
  {
    QTest::addColumn<double>("steps"); // in level steps from the lower bound
    QTest::addColumn<int>("entry");
    QTest::newRow("1.5 below") << -1.5 << 349;
    QTest::newRow("less than one below") << -0.7 << 0;
    QTest::newRow("1.5 above upper") << 349 + 1.5 << 0;
    QTest::newRow("inside") << 100.2 << 100;
  }
  void periodicWrap()
  {
    QFETCH(double, steps);
    QFETCH(int, entry);
    PlotColorGradient g(PlotColorGradient::gpGrayscale);
    g.setPeriodic(true);
    const PlotRange range(0, 349);
    PlotColorGradient reference(PlotColorGradient::gpGrayscale);
    QCOMPARE(g.color(steps, range), reference.color(entry, range));
  }

  void logarithmicAndRows()
  {
    PlotColorGradient g(PlotColorGradient::gpGrayscale);
    // Entry 174 of 350 grey levels: 174 * 255 / 349 truncated.
    const int grey = int(174 * (1.0 / 349) * 255);
    QCOMPARE(g.color(10, PlotRange(1, 100), true), rgb(grey, grey, grey));

    // A stride walks one column of a row-major block.
    const double data[12] = {0, -1, -1, 1, -1, -1, 0.5, -1, -1, 2, -1, -1};
    QRgb line[4] = {0, 0, 0, 0};
    g.colorize(data, PlotRange(0, 1), line, 4, 3, false);
    QCOMPARE(line[0], rgb(0, 0, 0));
    QCOMPARE(line[1], rgb(255, 255, 255));
    QCOMPARE(line[2], g.color(0.5, PlotRange(0, 1)));
    QCOMPARE(line[3], rgb(255, 255, 255));

    MessageLog log;
    g.colorize(nullptr, PlotRange(0, 1), line, 4);
    g.colorize(data, PlotRange(0, 1), nullptr, 4);
    QVERIFY(log.contains(QStringLiteral("null pointer given as data")));
    QVERIFY(log.contains(QStringLiteral("null pointer given as scanLine")));
  }

  void hsvTakesTheShortWay()
  {
    PlotColorGradient g(PlotColorGradient::gpHues);
    // Halfway between red (0) and blue (1/3): red and blue mixed, no green.
    const QColor mid = QColor::fromRgb(g.color(1.0 / 6.0, PlotRange(0, 1)));
    QVERIFY2(mid.red() > 150 && mid.blue() > 150 && mid.green() < 20, qPrintable(mid.name()));
    QVERIFY(mid.hueF() > 0.75f && mid.hueF() < 0.95f);
  }

  void invertedAndEquality()
  {
    const PlotColorGradient hot(PlotColorGradient::gpHot);
    PlotColorGradient inv = hot.inverted();
    QCOMPARE(inv.color(0, PlotRange(0, 1)), rgb(255, 255, 255));
    QCOMPARE(inv.color(1, PlotRange(0, 1)), rgb(50, 0, 0));
    // 1 - (1 - 0.2) is not 0.2 in binary.
    QVERIFY(inv.inverted() != hot);

    PlotColorGradient a, b;
    a.color(0.5, PlotRange(0, 1)); // only a has built its table
    QVERIFY(a == b);
    b.setPeriodic(true);
    QVERIFY(a != b);

    const QVariant v = QVariant::fromValue(hot);
    QCOMPARE(v.value<PlotColorGradient>(), hot);
    QVERIFY(QMetaType::fromType<PlotColorGradient>().isEqualityComparable());
    // The meta type's default value is the cold preset.
    const QMetaType type = QMetaType::fromType<PlotColorGradient>();
    void *made = type.create();
    QVERIFY(made);
    const PlotColorGradient madeCopy = *static_cast<PlotColorGradient *>(made);
    type.destroy(made);
    QCOMPARE(madeCopy, PlotColorGradient(PlotColorGradient::gpCold));
    QVERIFY(madeCopy != PlotColorGradient(PlotColorGradient::gpHot));
  }

  // Values and ranges without a finite index still land on a table entry,
  // with no undefined conversion on the way (checked by the sanitizers).
  void unusableIndices_data()
  {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<bool>("logarithmic");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("nan value") << nan << 0.0 << 1.0 << false;
    QTest::newRow("inf value") << inf << 0.0 << 1.0 << false;
    QTest::newRow("-inf value") << -inf << 0.0 << 1.0 << false;
    QTest::newRow("huge value") << 1e300 << 0.0 << 1.0 << false;
    QTest::newRow("zero-width range") << 0.0 << 0.0 << 0.0 << false;
    QTest::newRow("zero-width, off") << 3.0 << 2.0 << 2.0 << false;
    QTest::newRow("log of zero bound") << 5.0 << 0.0 << 10.0 << true;
    QTest::newRow("log of negative") << -5.0 << 1.0 << 10.0 << true;
    QTest::newRow("log huge") << 1e300 << 1.0 << 1.0000001 << true;
  }
  void unusableIndices()
  {
    QFETCH(double, value);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(bool, logarithmic);
    for (bool periodic : {false, true}) {
      PlotColorGradient g(PlotColorGradient::gpJet);
      g.setPeriodic(periodic);
      const QRgb c = g.color(value, PlotRange(lower, upper), logarithmic);
      QCOMPARE(qAlpha(c), 255);
      const double row[3] = {value, value, value};
      QRgb line[3] = {0, 0, 0};
      g.colorize(row, PlotRange(lower, upper), line, 3, 1, logarithmic);
      for (QRgb entry : line)
        QCOMPARE(qAlpha(entry), 255);
    }
  }
};
TOVRI_TEST(PlotColorGradientTest)

#include "tst_colorgradient.moc"
