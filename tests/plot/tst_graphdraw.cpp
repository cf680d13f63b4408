#include "graphfixture.h"
#include "plot.h"
#include "snapshot.h"
#include "testmain.h"

#include <QImage>
#include <QMap>
#include <QRandomGenerator>
#include <QTest>
#include <cmath>

namespace {
const double NaN = std::nan("");

QList<double> keysOf(const QList<PlotData> &points)
{
  QList<double> keys;
  for (const PlotData &p : points)
    keys << p.key;
  return keys;
}

// Geometry tests compare exact pixels: no half-pixel antialiasing shift.
void plain(GraphPlot &p)
{
  p.plot.setNotAntialiasedElements(Plot::aaAll);
}

// Data area pixel x = key + 50, y = 259 - value (see GraphPlot).
QPointF px(double key, double value)
{
  return QPointF(key + 50, 259 - value);
}
} // namespace

class PlotGraphDrawTest : public QObject
{
  Q_OBJECT
private slots:
  void visibleBoundsReachOnePointBeyondEachSide()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    PlotDataMap::const_iterator lower, upper;
    GraphAccess::bounds(graph, lower, upper);
    QVERIFY(lower == graph->data()->constEnd());
    QVERIFY(upper == graph->data()->constEnd());
    QCOMPARE(GraphAccess::countInBounds(graph, lower, upper, 100), 0);

    graph->setData({-10, -5, 5, 10, 400, 500}, {1, 1, 1, 1, 1, 1});
    GraphAccess::bounds(graph, lower, upper);
    QCOMPARE(lower.key(), -5.0);
    QCOMPARE(upper.key(), 400.0);
    QCOMPARE(GraphAccess::countInBounds(graph, lower, upper, 100), 4);
    QCOMPARE(GraphAccess::countInBounds(graph, lower, upper, 3), 3); // stops at the cap

    graph->setData({-3, -2, -1}, {1, 2, 3}); // all left of the range: the last point alone
    GraphAccess::bounds(graph, lower, upper);
    QCOMPARE(lower.key(), -1.0);
    QCOMPARE(upper.key(), -1.0);
    QCOMPARE(GraphAccess::pixels(graph), QList<QPointF>({px(-1, 3)}));

    graph->setData({400, 500}, {1, 2}); // all right of it: the first point alone
    GraphAccess::bounds(graph, lower, upper);
    QCOMPARE(lower.key(), 400.0);
    QCOMPARE(upper.key(), 400.0);
  }

  void drawingNeverDetachesASharedMap()
  {
    GraphPlot p;
    PlotDataMap lent;
    for (int i = 0; i < 5000; ++i)
      lent.insert(i * 0.1, PlotData(i * 0.1, i % 50));
    PlotGraph *graph = p.plot.addGraph();
    graph->setData(&lent, false);
    PlotGraph *second = p.plot.addGraph();
    second->setData(&lent, true); // shares the storage
    second->setScatterStyle(PlotScatterStyle(PlotScatterStyle::ssDisc, 4));
    second->setBrush(QBrush(Qt::cyan));
    second->setErrorType(PlotGraph::etBoth);
    QVERIFY(!lent.isDetached());

    p.plot.replot();
    graph->selectTest(QPointF(100, 200), false);
    second->selectTest(QPointF(100, 200), false);
    bool found = false;
    graph->getKeyRange(found);
    second->getValueRange(found);
    QVERIFY(!lent.isDetached());
    QVERIFY(!second->data()->isDetached());
  }

  // Many points per pixel column: at most four points per column, which keep
  // the column's minimum and maximum, whichever way the key axis runs.
  void adaptiveSamplingKeepsEveryColumnsExtremes_data()
  {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("reversed");
    QTest::newRow("horizontal") << false << false;
    QTest::newRow("horizontal reversed") << false << true;
    QTest::newRow("vertical") << true << false;
    QTest::newRow("vertical reversed") << true << true;
  }
  void adaptiveSamplingKeepsEveryColumnsExtremes()
  {
    QFETCH(bool, vertical);
    QFETCH(bool, reversed);
    GraphPlot p;
    PlotAxis *keyAxis = vertical ? p.plot.yAxis : p.plot.xAxis;
    keyAxis->setRangeReversed(reversed);
    PlotGraph *graph = vertical ? p.plot.addGraph(p.plot.yAxis, p.plot.xAxis) : p.plot.addGraph();
    QRandomGenerator random(42);
    QMap<int, QPair<double, double>> extremes; // pixel column -> (min, max)
    for (int i = 0; i < 10000; ++i) {
      const double key = (i + 0.5) / 100.0; // 100 points per column over 100 columns, none on an edge
      const double value = random.bounded(200.0);
      graph->addData(key, value);
      const int column = int(keyAxis->coordToPixel(key));
      auto it = extremes.find(column);
      if (it == extremes.end())
        extremes.insert(column, qMakePair(value, value));
      else
        *it = qMakePair(qMin(it->first, value), qMax(it->second, value));
    }
    QCOMPARE(extremes.size(), 100);

    QList<PlotData> sampled;
    GraphAccess::prepared(graph, &sampled, nullptr);
    QVERIFY(sampled.size() <= 4 * extremes.size());
    QMap<int, QList<double>> emitted;
    for (qsizetype i = 0; i < sampled.size(); ++i) {
      if (i > 0)
        QVERIFY(sampled.at(i).key > sampled.at(i - 1).key);
      emitted[int(keyAxis->coordToPixel(sampled.at(i).key))] << sampled.at(i).value;
    }
    QCOMPARE(emitted.keys(), extremes.keys());
    for (auto it = extremes.cbegin(); it != extremes.cend(); ++it) {
      const QList<double> &values = emitted.value(it.key());
      QVERIFY2(values.size() <= 4, qPrintable(QStringLiteral("column %1").arg(it.key())));
      QVERIFY2(values.contains(it->first), qPrintable(QStringLiteral("min of column %1").arg(it.key())));
      QVERIFY2(values.contains(it->second), qPrintable(QStringLiteral("max of column %1").arg(it.key())));
    }

    // Without sampling every visible point is drawn, plus the neighbours outside.
    graph->addData(-1, 5);
    graph->addData(-2, 5);
    graph->addData(400, 5);
    graph->addData(401, 5);
    graph->setAdaptiveSampling(false);
    QList<PlotData> all;
    GraphAccess::prepared(graph, &all, nullptr);
    QCOMPARE(all.size(), 10002);
    QCOMPARE(all.first().key, -1.0);
    QCOMPARE(all.last().key, 400.0);
  }

  void sparseDataIsDrawnOneToOne()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    for (int i = 0; i < 150; ++i)
      graph->addData(i * 100.0 / 150, i % 7); // 150 points over 100 columns
    QList<PlotData> prepared;
    QList<PlotData> scatter;
    GraphAccess::prepared(graph, &prepared, &scatter);
    QCOMPARE(prepared.size(), 150);
    QCOMPARE(keysOf(prepared), graph->data()->keys());
    QCOMPARE(keysOf(scatter), graph->data()->keys());
  }

  // A column holding 3, 9, 1 after a gap and before another: its first value,
  // minimum, maximum and last value, on the column's own keys.
  void samplingKeepsTheEndsNextToGaps()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    for (int column = 0; column < 10; ++column) // dense part: sampling engages
      for (int j = 0; j < 50; ++j)
        graph->addData(column + j / 50.0, 100);
    graph->addData(20.1, 3);
    graph->addData(20.5, 9);
    graph->addData(20.9, 1);
    graph->addData(30.5, 4);
    QList<PlotData> sampled;
    GraphAccess::prepared(graph, &sampled, nullptr);
    QVERIFY(sampled.size() <= 4 * 10 + 5);
    QCOMPARE(sampled.size() >= 5, true);
    const QList<PlotData> tail = sampled.mid(sampled.size() - 5);
    const QList<QPointF> expected{{20.2, 3}, {20.25, 1}, {20.75, 9}, {20.8, 1}, {30.5, 4}};
    for (int i = 0; i < 5; ++i) {
      QCOMPARE(tail.at(i).key, expected.at(i).x());
      QCOMPARE(tail.at(i).value, expected.at(i).y());
    }
  }

  void samplingBreaksAtNanAndTakesNoNanExtreme()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    for (int i = 0; i < 2000; ++i) {
      const double key = i / 20.0; // columns 0 .. 99, 20 points each
      const int column = i / 20;
      // Column 40 starts with NaN and so breaks the line; column 60 holds a NaN
      // in its middle, which is never its minimum or maximum.
      double value = 50 + (i % 20);
      if ((column == 40 && i % 20 == 0) || (column == 60 && i % 20 == 7))
        value = NaN;
      graph->addData(key, value);
    }
    QList<PlotData> sampled;
    GraphAccess::prepared(graph, &sampled, nullptr);
    int nanPoints = 0;
    for (const PlotData &point : std::as_const(sampled)) {
      const int column = int(point.key);
      if (std::isnan(point.value)) {
        ++nanPoints;
        QCOMPARE(column, 40);
      }
    }
    QVERIFY(nanPoints > 0);
    // The drawn line has a gap there: two polylines.
    plain(p);
    PaintRecorder recorder(400, 300);
    drawGraph(graph, &recorder);
    QCOMPARE(recorder.opsOfKind(PaintOp::Polyline).size(), 2);
  }

  void nanLeavesAGapInTheLine()
  {
    GraphPlot p;
    plain(p);
    PlotGraph *graph = p.plot.addGraph();
    graph->setData({10, 20, 30, 40, 50}, {10, 20, NaN, 40, 50});
    PaintRecorder recorder(400, 300);
    drawGraph(graph, &recorder);
    const QList<PaintOp> polylines = recorder.opsOfKind(PaintOp::Polyline);
    QCOMPARE(polylines.size(), 2);
    QCOMPARE(polylines.at(0).points, QList<QPointF>({px(10, 10), px(20, 20)}));
    QCOMPARE(polylines.at(1).points, QList<QPointF>({px(40, 40), px(50, 50)}));

    // The fast path draws single segments and leaves out the same two.
    p.plot.setPlottingHint(Plot::hintFastPolylines);
    graph->setData({5, 10, 20, 30, 40, 50}, {NaN, 10, 20, NaN, 40, 50});
    recorder.clear();
    drawGraph(graph, &recorder);
    QVERIFY(recorder.opsOfKind(PaintOp::Polyline).isEmpty());
    const QList<PaintOp> lines = recorder.opsOfKind(PaintOp::Line);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).points, QList<QPointF>({px(10, 10), px(20, 20)}));
    QCOMPARE(lines.at(1).points, QList<QPointF>({px(40, 40), px(50, 50)}));
  }

  void lineStylePixelPoints()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    graph->setData({10, 20, 30}, {10, 40, 20});
    QCOMPARE(GraphAccess::pixels(graph), QList<QPointF>({px(10, 10), px(20, 40), px(30, 20)}));
    graph->setLineStyle(PlotGraph::lsStepLeft);
    QCOMPARE(GraphAccess::pixels(graph), QList<QPointF>({px(10, 10), px(10, 10), px(20, 10), px(20, 40), px(30, 40),
                                                         px(30, 20)}));
    graph->setLineStyle(PlotGraph::lsStepRight);
    QCOMPARE(GraphAccess::pixels(graph), QList<QPointF>({px(10, 10), px(10, 10), px(10, 40), px(20, 40), px(20, 20),
                                                         px(30, 20)}));
    graph->setLineStyle(PlotGraph::lsStepCenter);
    QCOMPARE(GraphAccess::pixels(graph), QList<QPointF>({px(10, 10), px(15, 10), px(15, 40), px(25, 40), px(25, 20),
                                                         px(30, 20)}));
    graph->setLineStyle(PlotGraph::lsImpulse);
    QCOMPARE(GraphAccess::pixels(graph), QList<QPointF>({px(10, 0), px(10, 10), px(20, 0), px(20, 40), px(30, 0),
                                                         px(30, 20)}));
    graph->setLineStyle(PlotGraph::lsNone);
    QList<PlotData> scatter;
    QVERIFY(GraphAccess::pixels(graph, &scatter).isEmpty());
    QCOMPARE(keysOf(scatter), QList<double>({10, 20, 30}));

    // A vertical key axis swaps x and y.
    PlotGraph *vertical = p.plot.addGraph(p.plot.yAxis, p.plot.xAxis);
    vertical->setData({10, 20}, {30, 40});
    QCOMPARE(GraphAccess::pixels(vertical), QList<QPointF>({QPointF(80, 249), QPointF(90, 239)}));
  }

  void pixelGeneratorsReportMisuseUnderTheirOwnNames()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph(p.plot.xAxis, p.plot.yAxis2);
    graph->setData({10, 20}, {1, 2});
    struct Generator
    {
      PlotGraph::LineStyle style;
      QString signature;
      QString nullList;
    };
    const QString args = QStringLiteral("(QList<QPointF>*, QList<PlotData>*) const ");
    const QList<Generator> generators{
        {PlotGraph::lsLine, QStringLiteral("void PlotGraph::getLinePlotData") + args, QStringLiteral("linePixelData")},
        {PlotGraph::lsStepLeft, QStringLiteral("void PlotGraph::getStepLeftPlotData") + args,
         QStringLiteral("lineData")},
        {PlotGraph::lsStepRight, QStringLiteral("void PlotGraph::getStepRightPlotData") + args,
         QStringLiteral("lineData")},
        {PlotGraph::lsStepCenter, QStringLiteral("void PlotGraph::getStepCenterPlotData") + args,
         QStringLiteral("lineData")},
        {PlotGraph::lsImpulse, QStringLiteral("void PlotGraph::getImpulsePlotData") + args,
         QStringLiteral("linePixelData")}};
    for (const Generator &generator : generators) {
      graph->setLineStyle(generator.style);
      MessageLog log;
      GraphAccess::plotData(graph, nullptr, nullptr);
      QCOMPARE(log.lines, QStringList({generator.signature + QStringLiteral("null pointer passed as ") +
                                       generator.nullList}));
    }
    QVERIFY(p.rect->removeAxis(p.plot.yAxis2));
    for (const Generator &generator : generators) {
      graph->setLineStyle(generator.style);
      MessageLog log;
      QList<QPointF> points;
      GraphAccess::plotData(graph, &points, nullptr);
      QVERIFY(points.isEmpty());
      QCOMPARE(log.lines, QStringList({generator.signature + QStringLiteral("invalid key or value axis")}));
    }
  }

  void impulsesStandOnTheZeroRowWithFlatCaps()
  {
    GraphPlot p;
    plain(p);
    p.plot.yAxis->setRangeMin(-1000);
    p.plot.yAxis->setRange(-40, 200); // value 0 at pixel row 219
    PlotGraph *graph = p.plot.addGraph();
    graph->setLineStyle(PlotGraph::lsImpulse);
    graph->setData({10, 20}, {30, -20});
    PaintRecorder recorder(400, 300);
    drawGraph(graph, &recorder);
    const QList<PaintOp> lines = recorder.opsOfKind(PaintOp::Line);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).points, QList<QPointF>({QPointF(60, 219), QPointF(60, 189)}));
    QCOMPARE(lines.at(1).points, QList<QPointF>({QPointF(70, 219), QPointF(70, 239)}));
    QCOMPARE(lines.at(0).pen.capStyle(), Qt::FlatCap);
  }

  void fillReachesDownToValueZero()
  {
    GraphPlot p;
    plain(p);
    p.plot.yAxis->setRangeMin(-1000);
    p.plot.yAxis->setRange(-40, 200); // value 0 at pixel row 219, value 20 at 199
    PlotGraph *graph = p.plot.addGraph();
    graph->setBrush(QBrush(QColor(0, 0, 255, 60)));
    graph->setData({10, 20}, {10, 40});
    PaintRecorder recorder(400, 300);
    drawGraph(graph, &recorder);
    const QList<PaintOp> polygons = recorder.opsOfKind(PaintOp::Polygon);
    QCOMPARE(polygons.size(), 1);
    QCOMPARE(polygons.at(0).points,
             QList<QPointF>({QPointF(60, 209), QPointF(70, 179), QPointF(70, 219), QPointF(60, 219)}));
    QCOMPARE(polygons.at(0).pen.style(), Qt::NoPen);
    // The line is drawn over the fill.
    QCOMPARE(recorder.ops().last().kind, PaintOp::Polyline);

    // A gap in the line is a gap in the fill.
    graph->setData({10, 20, 30, 40}, {10, 40, NaN, 20});
    recorder.clear();
    drawGraph(graph, &recorder);
    const QList<PaintOp> parts = recorder.opsOfKind(PaintOp::Polygon);
    QCOMPARE(parts.size(), 2);
    QCOMPARE(parts.at(1).points, QList<QPointF>({QPointF(90, 199), QPointF(90, 219), QPointF(90, 219)}));

    // Without a line (lsNone) nothing is filled.
    graph->setLineStyle(PlotGraph::lsNone);
    graph->setScatterStyle(PlotScatterStyle(PlotScatterStyle::ssDisc, 4));
    recorder.clear();
    drawGraph(graph, &recorder);
    QVERIFY(recorder.opsOfKind(PaintOp::Polygon).isEmpty());
  }

  void logarithmicFillRunsToTheSideTowardsZero()
  {
    GraphPlot p;
    p.plot.yAxis->setScaleType(PlotAxis::stLogarithmic);
    p.plot.yAxis->setRange(1, 100);
    PlotGraph *graph = p.plot.addGraph();
    QCOMPARE(GraphAccess::lowerBase(graph, 77), QPointF(77, p.rect->rect().bottom()));
    p.plot.yAxis->setRangeReversed(true);
    QCOMPARE(GraphAccess::lowerBase(graph, 77), QPointF(77, p.rect->rect().top()));
  }

  void channelFillBetweenTwoGraphs()
  {
    GraphPlot p;
    PlotGraph *longer = p.plot.addGraph();
    QList<double> keys;
    for (int k = 0; k <= 100; k += 10)
      keys << k;
    longer->setData(keys, keys); // value = key
    PlotGraph *shorter = p.plot.addGraph();
    shorter->setData({35, 45, 55, 65}, {100, 100, 100, 100});

    MessageLog log;
    longer->setChannelFillGraph(longer);
    QCOMPARE(longer->channelFillGraph(), nullptr);
    QVERIFY(log.contains(QStringLiteral("void PlotGraph::setChannelFillGraph(PlotGraph*) targetGraph is this graph "
                                        "itself")));
    PlotWidget other;
    longer->setChannelFillGraph(other.addGraph());
    QCOMPARE(longer->channelFillGraph(), nullptr);
    QVERIFY(log.contains(QStringLiteral("targetGraph not in same plot")));

    longer->setChannelFillGraph(shorter);
    QCOMPARE(longer->channelFillGraph(), shorter);
    const QPolygonF band = GraphAccess::channelFill(longer, GraphAccess::pixels(longer));
    // The longer line is cut where the shorter one ends, its ends placed on
    // its own line; then the shorter line back.
    const QPolygonF expected({px(35, 35), px(40, 40), px(50, 50), px(60, 60), px(65, 65), px(65, 100), px(55, 100),
                              px(45, 100), px(35, 100)});
    QCOMPARE(band.size(), expected.size());
    for (int i = 0; i < band.size(); ++i) {
      QVERIFY2(qAbs(band.at(i).x() - expected.at(i).x()) < 1e-9 && qAbs(band.at(i).y() - expected.at(i).y()) < 1e-9,
               qPrintable(QStringLiteral("corner %1").arg(i)));
    }

    // Key ranges that do not overlap: no band.
    shorter->setData({200, 210}, {100, 100});
    QVERIFY(GraphAccess::channelFill(longer, GraphAccess::pixels(longer)).isEmpty());
    longer->setBrush(QBrush(Qt::green));
    plain(p);
    PaintRecorder recorder(400, 300);
    drawGraph(longer, &recorder);
    QVERIFY(recorder.opsOfKind(PaintOp::Polygon).isEmpty());

    // The reference is weak: with the target gone the fill goes to value 0.
    QVERIFY(p.plot.removeGraph(shorter));
    QCOMPARE(longer->channelFillGraph(), nullptr);
    recorder.clear();
    drawGraph(longer, &recorder);
    QCOMPARE(recorder.opsOfKind(PaintOp::Polygon).size(), 1);
  }

  void scatterSymbolsAndErrorBars()
  {
    GraphPlot p;
    plain(p);
    PlotGraph *graph = p.plot.addGraph();
    graph->setLineStyle(PlotGraph::lsNone);
    graph->setScatterStyle(PlotScatterStyle(PlotScatterStyle::ssCircle, 6));
    graph->setErrorType(PlotGraph::etValue);
    graph->setDataValueError({10, 20, 30}, {100, NaN, 100}, {20, 20, 5}, {20, 20, 5});
    PaintRecorder recorder(400, 300);
    drawGraph(graph, &recorder);
    // No symbol and no error bar for the NaN point.
    QCOMPARE(recorder.opsOfKind(PaintOp::Ellipse).size(), 2);
    const QList<PaintOp> lines = recorder.opsOfKind(PaintOp::Line);
    // Point 1: two spine parts leaving the symbol free, two 6-pixel handles.
    // Point 3: an extent of 5 pixels is within the symbol: handles only.
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines.at(0).points, QList<QPointF>({QPointF(60, 179), QPointF(60, 165)}));
    QCOMPARE(lines.at(1).points, QList<QPointF>({QPointF(60, 153), QPointF(60, 139)}));
    QCOMPARE(lines.at(2).points, QList<QPointF>({QPointF(57, 179), QPointF(63, 179)}));
    QCOMPARE(lines.at(3).points, QList<QPointF>({QPointF(57, 139), QPointF(63, 139)}));
    QCOMPARE(lines.at(4).points, QList<QPointF>({QPointF(77, 164), QPointF(83, 164)}));
    QCOMPARE(lines.at(5).points, QList<QPointF>({QPointF(77, 154), QPointF(83, 154)}));
    // Error bars first, symbols on top.
    QCOMPARE(recorder.ops().last().kind, PaintOp::Ellipse);

    graph->setErrorBarSkipSymbol(false);
    graph->setErrorType(PlotGraph::etKey);
    graph->setDataKeyError({10}, {100}, {4});
    recorder.clear();
    drawGraph(graph, &recorder);
    const QList<PaintOp> keyBar = recorder.opsOfKind(PaintOp::Line);
    QCOMPARE(keyBar.size(), 3);
    QCOMPARE(keyBar.at(0).points, QList<QPointF>({QPointF(56, 159), QPointF(64, 159)}));
  }

  void legendIcon()
  {
    GraphPlot p;
    plain(p);
    PlotGraph *graph = p.plot.addGraph();
    const QRectF icon(10, 20, 32, 18);
    PaintRecorder recorder(400, 300);
    {
      PlotPainter painter(&recorder);
      graph->drawLegendIcon(&painter, icon);
    }
    QCOMPARE(recorder.ops().size(), 1);
    QCOMPARE(recorder.ops().first().points, QList<QPointF>({QPointF(10, 29), QPointF(47, 29)}));

    // No line and no symbol: only the fill strip, or nothing without a brush.
    graph->setLineStyle(PlotGraph::lsNone);
    recorder.clear();
    {
      PlotPainter painter(&recorder);
      graph->drawLegendIcon(&painter, icon);
    }
    QVERIFY(recorder.ops().isEmpty());
    graph->setBrush(QBrush(Qt::red));
    {
      PlotPainter painter(&recorder);
      graph->drawLegendIcon(&painter, icon);
    }
    QCOMPARE(recorder.ops().size(), 1);
    QCOMPARE(recorder.ops().first().kind, PaintOp::Rect);
    QCOMPARE(recorder.ops().first().rect, QRectF(10, 29, 32, 6));
  }

  void emptyOrInvisibleDrawsNothing()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    PaintRecorder recorder(400, 300);
    MessageLog log;
    drawGraph(graph, &recorder); // empty map
    graph->addData(10, 10);
    graph->setLineStyle(PlotGraph::lsNone); // no line, no symbol
    drawGraph(graph, &recorder);
    QVERIFY(recorder.ops().isEmpty());
    QVERIFY(log.lines.isEmpty());
  }

  // One rendered picture per line style, saved when TEST_SNAPSHOT_DIR is set.
  void renderedLineStyles_data()
  {
    QTest::addColumn<int>("style");
    QTest::newRow("none") << int(PlotGraph::lsNone);
    QTest::newRow("line") << int(PlotGraph::lsLine);
    QTest::newRow("stepleft") << int(PlotGraph::lsStepLeft);
    QTest::newRow("stepright") << int(PlotGraph::lsStepRight);
    QTest::newRow("stepcenter") << int(PlotGraph::lsStepCenter);
    QTest::newRow("impulse") << int(PlotGraph::lsImpulse);
  }
  void renderedLineStyles()
  {
    QFETCH(int, style);
    GraphPlot p;
    p.plot.xAxis->setRange(0, 20);
    p.plot.yAxis->setRange(0, 12);
    PlotGraph *graph = p.plot.addGraph();
    graph->setPen(QPen(QColor(200, 0, 0), 2));
    graph->setLineStyle(PlotGraph::LineStyle(style));
    if (style == PlotGraph::lsNone)
      graph->setScatterStyle(PlotScatterStyle(PlotScatterStyle::ssDisc, 7));
    else
      graph->setBrush(QBrush(QColor(200, 0, 0, 40)));
    QList<double> keys, values;
    for (int i = 0; i <= 20; ++i) {
      keys << i;
      values << 6 + 4 * std::sin(i * 0.6);
    }
    values[10] = NaN;
    graph->setData(keys, values);
    p.plot.replot();
    const QPixmap picture = p.plot.grab();
    saveSnapshot(picture, QStringLiteral("graph-") + QTest::currentDataTag());

    // The graph's red shows inside the data area and nowhere outside it.
    const QImage image = picture.toImage();
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.red() > 150 && c.green() < 80 && c.blue() < 80)
          (p.rect->rect().contains(x, y) ? inside : outside)++;
      }
    }
    QVERIFY(inside > 20);
    QCOMPARE(outside, 0);
  }
};

TOVRI_TEST(PlotGraphDrawTest)
#include "tst_graphdraw.moc"
