#include "plot.h"
#include "testmain.h"
#include "valueextremes.h"

#include <QTest>

#include <cmath>
#include <functional>

namespace {
constexpr double Period = 0.0002; // 5 kHz
using Step = std::function<void(PlotDataMap &, qint64 &next)>;

double reading(qint64 i)
{
  // A slow wave with spikes now and then, and a NaN gap once in a while.
  if (i % 997 == 500)
    return qQNaN();
  return 100 * std::sin(i * 0.0037) + (i % 1301 == 0 ? 900 : 0) - (i % 2203 == 7 ? 700 : 0);
}

void append(PlotDataMap &map, qint64 &next, qint64 count)
{
  for (qint64 end = next + count; next < end; ++next)
    map.insert(next * Period, PlotData(next * Period, reading(next)));
}

// The plain walk the kept extremes must agree with.
bool walk(const PlotDataMap &map, double lower, double upper, double &low, double &high)
{
  bool any = false;
  for (auto it = map.lowerBound(lower); it != map.cend() && it.key() <= upper; ++it) {
    const double v = it->value;
    if (std::isnan(v))
      continue;
    low = any ? std::min(low, v) : v;
    high = any ? std::max(high, v) : v;
    any = true;
  }
  return any;
}
} // namespace
Q_DECLARE_METATYPE(Step)

// The value axis's live fit from kept extremes: always the plain walk's
// answer, whatever happened to the map between two fits.
class ValueExtremesTest : public QObject
{
  Q_OBJECT
private slots:
  void agreesWithTheWalk_data()
  {
    QTest::addColumn<Step>("step");  // what happens between two fits
    QTest::addColumn<double>("span"); // the window's width, ending at the newest point

    QTest::newRow("appends, whole window") << Step([](PlotDataMap &m, qint64 &n) { append(m, n, 1000); }) << 10.0;
    QTest::newRow("appends and front trim") << Step([](PlotDataMap &m, qint64 &n) {
      append(m, n, 1000);
      const double threshold = (n - 1) * Period - 2.0;
      for (auto it = m.begin(); it != m.end() && it.key() < threshold;)
        it = m.erase(it);
    }) << 2.0;
    QTest::newRow("narrow window") << Step([](PlotDataMap &m, qint64 &n) { append(m, n, 777); }) << 0.3;
    QTest::newRow("point inserted inside") << Step([](PlotDataMap &m, qint64 &n) {
      append(m, n, 1000);
      const double inside = (n - 3000 + 0.5) * Period;
      m.insert(inside, PlotData(inside, 5000 + n));
    }) << 10.0;
    QTest::newRow("point removed inside") << Step([](PlotDataMap &m, qint64 &n) {
      append(m, n, 1000);
      m.erase(m.lowerBound((n - 2500) * Period));
    }) << 10.0;
    QTest::newRow("refilled at other keys") << Step([](PlotDataMap &m, qint64 &n) {
      append(m, n, 1000);
      PlotDataMap other;
      for (auto it = m.cbegin(); it != m.cend(); ++it)
        other.insert(it.key() + Period / 2, PlotData(0, it->value * 2 + 1));
      m = other;
    }) << 10.0;
  }
  void agreesWithTheWalk()
  {
    QFETCH(Step, step);
    QFETCH(double, span);
    PlotDataMap map;
    ValueExtremes fit;
    qint64 next = 0;
    for (int round = 0; round < 60; ++round) {
      step(map, next);
      const double upper = map.lastKey();
      const double lower = upper - span;
      double low = -1, high = -1, wantLow = -1, wantHigh = -1;
      const bool found = fit.find(map, lower, upper, low, high);
      QCOMPARE(found, walk(map, lower, upper, wantLow, wantHigh));
      QCOMPARE(low, wantLow);
      QCOMPARE(high, wantHigh);
    }
  }

  // The runs are really kept between fits: after a fit of a long window
  // the next one, a point later, reuses them.
  void keepsItsRuns()
  {
    PlotDataMap map;
    qint64 next = 0;
    append(map, next, 50000);
    ValueExtremes fit;
    double low = 0, high = 0;
    QVERIFY(fit.find(map, 0, map.lastKey(), low, high));
    QCOMPARE(fit.blockCount(), qsizetype(50000 / ValueExtremes::BlockSize));
    append(map, next, 1);
    QVERIFY(fit.find(map, 0, map.lastKey(), low, high));
    QCOMPARE(fit.blockCount(), qsizetype(50000 / ValueExtremes::BlockSize));
    map.erase(map.begin(), map.lowerBound(10 * Period));
    QVERIFY(fit.find(map, 0, map.lastKey(), low, high));
    QCOMPARE(fit.blockCount(), qsizetype(50000 / ValueExtremes::BlockSize) - 1);
    fit.reset();
    QCOMPARE(fit.blockCount(), 0);
  }

  void edges_data()
  {
    QTest::addColumn<QList<double>>("values"); // at keys 0, 1, 2, ...
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::newRow("empty map") << QList<double>{} << 0.0 << 10.0 << false << 0.0 << 0.0;
    QTest::newRow("window before the points") << QList<double>{1, 2} << -5.0 << -1.0 << false << 0.0 << 0.0;
    QTest::newRow("only NaN") << QList<double>{qQNaN(), qQNaN()} << 0.0 << 10.0 << false << 0.0 << 0.0;
    QTest::newRow("bounds included") << QList<double>{9, 3, 4, 7, 1} << 1.0 << 3.0 << true << 3.0 << 7.0;
    QTest::newRow("reversed window") << QList<double>{1, 2} << 1.0 << 0.0 << false << 0.0 << 0.0;
  }
  void edges()
  {
    QFETCH(QList<double>, values);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(bool, found);
    QFETCH(double, low);
    QFETCH(double, high);
    PlotDataMap map;
    for (int i = 0; i < values.size(); ++i)
      map.insert(i, PlotData(i, values.at(i)));
    ValueExtremes fit;
    double l = 0, h = 0;
    QCOMPARE(fit.find(map, lower, upper, l, h), found);
    QCOMPARE(l, low);
    QCOMPARE(h, high);
  }
};

TOVRI_TEST(ValueExtremesTest)
#include "tst_valueextremes.moc"
