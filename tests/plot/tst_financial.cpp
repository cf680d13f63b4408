#include "graphfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QTest>
#include <cmath>
#include <limits>

namespace {
const double NaN = std::nan("");
const double Inf = std::numeric_limits<double>::infinity();

struct FinancialAccess : PlotFinancial
{
  static void drawOn(PlotFinancial *f, PlotPainter *painter) { (f->*(&FinancialAccess::draw))(painter); }
};

QList<PaintOp> drawFinancial(PlotFinancial *f, PaintRecorder &recorder)
{
  PlotPainter painter(&recorder);
  FinancialAccess::drawOn(f, &painter);
  painter.end();
  return recorder.ops();
}

typedef QList<QList<double>> Periods; // key, open, high, low, close

Periods periodsOf(const PlotFinancialDataMap &map)
{
  Periods result;
  for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
    const PlotFinancialData &d = it.value();
    result.append(QList<double>{d.key, d.open, d.high, d.low, d.close});
    if (it.key() != d.key)
      result.append(QList<double>()); // a map key that differs from its period's key fails the comparison
  }
  return result;
}
} // namespace

// GraphPlot's mapping: x pixel = key + 50, y pixel = 259 - value; tolerance 8.
class PlotFinancialTest : public QObject
{
  Q_OBJECT
private slots:
  void timeSeriesToOhlc_data()
  {
    QTest::addColumn<QList<double>>("time");
    QTest::addColumn<QList<double>>("value");
    QTest::addColumn<double>("binSize");
    QTest::addColumn<double>("offset");
    QTest::addColumn<Periods>("expected");
    QTest::newRow("three bins") << QList<double>{0, 0.4, 1.0, 1.6, 2.0} << QList<double>{1, 3, 2, 5, 4} << 1.0
                                << 0.0 << Periods{{0, 1, 3, 1, 3}, {1, 2, 2, 2, 2}, {2, 5, 5, 4, 4}};
    QTest::newRow("empty bins make no period")
        << QList<double>{0, 3} << QList<double>{1, 2} << 1.0 << 0.0 << Periods{{0, 1, 1, 1, 1}, {3, 2, 2, 2, 2}};
    QTest::newRow("shorter list wins") << QList<double>{0, 0.2, 5} << QList<double>{1, 2} << 1.0 << 0.0
                                       << Periods{{0, 1, 2, 1, 2}};
    QTest::newRow("empty") << QList<double>{} << QList<double>{1} << 1.0 << 0.0 << Periods{};
    QTest::newRow("offset and size") << QList<double>{9.9, 10.4, 10.6} << QList<double>{1, 2, 3} << 2.0 << 0.5
                                     << Periods{{10.5, 1, 3, 1, 3}};
    QTest::newRow("going back replaces the earlier period")
        << QList<double>{0, 1, 0.1} << QList<double>{1, 2, 3} << 1.0 << 0.0
        << Periods{{0, 3, 3, 3, 3}, {1, 2, 2, 2, 2}};
    QTest::newRow("NaN times left out") << QList<double>{NaN, 0, NaN, 0.3, NaN} << QList<double>{9, 1, 9, 2, 9}
                                        << 1.0 << 0.0 << Periods{{0, 1, 2, 1, 2}};
    QTest::newRow("times beyond 64-bit bins left out")
        << QList<double>{0, 1e300, -Inf, 0.2} << QList<double>{1, 9, 9, 2} << 1.0 << 0.0
        << Periods{{0, 1, 2, 1, 2}};
    QTest::newRow("bins past 32 bits") << QList<double>{5e9, 5e9 + 0.2} << QList<double>{1, 2} << 1.0 << 0.0
                                       << Periods{{5e9, 1, 2, 1, 2}};
    QTest::newRow("zero bin size") << QList<double>{0, 1} << QList<double>{1, 2} << 0.0 << 0.0 << Periods{};
    QTest::newRow("negative bin size") << QList<double>{0, 1} << QList<double>{1, 2} << -1.0 << 0.0 << Periods{};
    QTest::newRow("NaN bin size") << QList<double>{0, 1} << QList<double>{1, 2} << NaN << 0.0 << Periods{};
    QTest::newRow("infinite bin size") << QList<double>{0, 1} << QList<double>{1, 2} << Inf << 0.0 << Periods{};
  }
  void timeSeriesToOhlc()
  {
    QFETCH(QList<double>, time);
    QFETCH(QList<double>, value);
    QFETCH(double, binSize);
    QFETCH(double, offset);
    QFETCH(Periods, expected);
    MessageLog log;
    QCOMPARE(periodsOf(PlotFinancial::timeSeriesToOhlc(time, value, binSize, offset)), expected);
    QCOMPARE(log.contains("invalid time bin size"), !(binSize > 0 && binSize < Inf));
  }

  void hits_data()
  {
    QTest::addColumn<int>("style");
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<double>("expected");
    // A period at key 100 (x 140..160): open 100 (y 159), close 150 (y 109), high 200 (y 59), low 50 (y 209).
    const int candle = PlotFinancial::csCandlestick, ohlc = PlotFinancial::csOhlc;
    QTest::newRow("candle body") << candle << QPointF(140, 139) << 8 * 0.99;
    QTest::newRow("candle body edge") << candle << QPointF(141, 110) << 8 * 0.99;
    QTest::newRow("beside the upper wick") << candle << QPointF(153, 79) << 3.0;
    QTest::newRow("below the low") << candle << QPointF(150, 213) << 4.0;
    QTest::newRow("beside the body") << candle << QPointF(170, 159) << 20.0;
    QTest::newRow("ohlc on the open tick") << ohlc << QPointF(142, 159) << 8.0;
    QTest::newRow("ohlc on the line") << ohlc << QPointF(150, 100) << 0.0;
    QTest::newRow("outside the data area") << candle << QPointF(150, 5) << -1.0;
  }
  void hits()
  {
    QFETCH(int, style);
    QFETCH(QPointF, pos);
    QFETCH(double, expected);
    GraphPlot p;
    PlotFinancial f(p.plot.xAxis, p.plot.yAxis);
    f.setChartStyle(PlotFinancial::ChartStyle(style));
    f.setWidth(20);
    f.addData(100, 100, 200, 50, 150);
    f.addData(1000, 1, 2, 0, 1); // off to the right, its neighbour
    QCOMPARE(f.selectTest(pos, false), expected);
  }

  void ranges()
  {
    GraphPlot p;
    PlotFinancial f(p.plot.xAxis, p.plot.yAxis);
    bool found = true;
    f.getKeyRange(found);
    QVERIFY(!found);
    f.getValueRange(found);
    QVERIFY(!found);
    QCOMPARE(f.selectTest(QPointF(150, 150), false), -1.0);

    f.addData(1, 10, 20, 5, 15);
    f.addData(5, -100, 30, -3, 100); // open and close outside high and low are not consulted
    f.addData(3, 0, NaN, NaN, 0);    // NaN bounds are left out
    PlotRange range = f.getKeyRange(found);
    QVERIFY(found);
    QCOMPARE(range.lower, 0.75);
    QCOMPARE(range.upper, 5.25);
    range = f.getValueRange(found);
    QVERIFY(found);
    QCOMPARE(range.lower, -3.0);
    QCOMPARE(range.upper, 30.0);
    range = f.getValueRange(found, PlotAbstractPlottable::sdPositiveOnly);
    QCOMPARE(range.lower, 5.0);
    range = f.getKeyRange(found, PlotAbstractPlottable::sdNegativeOnly);
    QVERIFY(!found);
  }

  void drawsTheVisiblePeriodsAndOneNeighbourEachSide_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<QList<double>>("drawnKeys");
    QTest::newRow("middle") << 100.5 << 103.5 << QList<double>{100, 101, 102, 103, 104};
    QTest::newRow("left of all data") << -50.0 << -10.0 << QList<double>{0};
    QTest::newRow("right of all data") << 2000.0 << 2100.0 << QList<double>{999};
    QTest::newRow("on keys") << 10.0 << 11.0 << QList<double>{9, 10, 11, 12};
  }
  void drawsTheVisiblePeriodsAndOneNeighbourEachSide()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(QList<double>, drawnKeys);
    GraphPlot p;
    p.plot.xAxis->setRange(lower, upper);
    PlotFinancial f(p.plot.xAxis, p.plot.yAxis);
    for (int i = 0; i < 1000; ++i)
      f.addData(i, 10, 20, 5, 15);
    PaintRecorder recorder;
    const QList<PaintOp> ops = drawFinancial(&f, recorder);
    QList<double> keys;
    for (qsizetype i = 0; i < ops.size(); i += 3) // high-low line first, at the period's key
      keys << p.plot.xAxis->pixelToCoord(ops.at(i).points.at(0).x());
    QCOMPARE(ops.size(), drawnKeys.size() * 3);
    for (qsizetype i = 0; i < keys.size(); ++i)
      QVERIFY2(qAbs(keys.at(i) - drawnKeys.at(i)) < 0.25, qPrintable(QString::number(keys.at(i))));
  }

  void twoColours()
  {
    GraphPlot p;
    PlotFinancial f(p.plot.xAxis, p.plot.yAxis);
    f.setChartStyle(PlotFinancial::csCandlestick);
    f.setTwoColored(true);
    f.addData(10, 5, 8, 4, 5);  // close equal to open: rising
    f.addData(20, 5, 8, 4, 4);  // falling
    f.addData(30, NaN, 8, 4, 4); // NaN: falling
    PaintRecorder recorder;
    drawFinancial(&f, recorder);
    const QList<PaintOp> bodies = recorder.opsOfKind(PaintOp::Rect);
    QCOMPARE(bodies.size(), 3);
    QCOMPARE(bodies.at(0).pen.color(), f.penPositive().color());
    QCOMPARE(bodies.at(0).brush.color(), f.brushPositive().color());
    QCOMPARE(bodies.at(1).pen.color(), f.penNegative().color());
    QCOMPARE(bodies.at(2).brush.color(), f.brushNegative().color());
    f.setSelected(true);
    recorder.clear();
    drawFinancial(&f, recorder);
    QCOMPARE(recorder.opsOfKind(PaintOp::Rect).at(0).brush.color(), QColor(80, 80, 255));
  }

  void keysThatCannotBeOrderedAreRefused()
  {
    GraphPlot p;
    PlotFinancial *f = new PlotFinancial(p.plot.xAxis, p.plot.yAxis);
    p.plot.addPlottable(f);
    f->setData({1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, {1, 2, 3});
    f->addData(NaN, 9, 9, 9, 9);
    f->addData({NaN, 4}, {9, 4}, {9, 4}, {9, 4}, {9, 4});
    QCOMPARE(f->data()->keys(), QList<double>({1, 2, 3, 4}));
    QCOMPARE(f->data()->value(1).open, 1.0);
    f->clearData();
    f->addData(NaN, 9, 9, 9, 9);
    f->addData(1, 1, 1, 1, 1);
    f->addData(2, 1, 1, 1, 1);
    f->addData(3, 1, 1, 1, 1);
    QCOMPARE(f->data()->size(), 3);
    {
      MessageLog log;
      f->setData(nullptr, false);
      f->setData(f->data(), true);
      QVERIFY(log.contains("null data pointer"));
      QVERIFY(log.contains("already in (and owned by) this plottable"));
    }
    QCOMPARE(f->data()->size(), 3);
    p.plot.replot();
  }
};

TOVRI_TEST(PlotFinancialTest)
#include "tst_financial.moc"
