#include "graphfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QTest>
#include <cmath>

namespace {
const double NaN = std::nan("");

bool closeTo(const PlotRange &range, double lower, double upper)
{
  return qAbs(range.lower - lower) < 1e-9 && qAbs(range.upper - upper) < 1e-9;
}
} // namespace

// Pixel positions below use GraphPlot's mapping: x = key + 50, y = 259 - value.
class PlotGraphHitTest : public QObject
{
  Q_OBJECT
private slots:
  void selectTestGuards()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    QCOMPARE(graph->selectTest(QPointF(100, 100), false), -1.0); // empty map
    graph->setData({0, 400}, {10, 10}); // a line across the whole data area and beyond
    QCOMPARE(graph->selectTest(QPointF(200, 252), false), 3.0);
    // Outside the data area even on the line's extension.
    QCOMPARE(graph->selectTest(QPointF(380, 249), false), -1.0);
    QCOMPARE(graph->selectTest(QPointF(369.4, 249), false), 0.0); // rounds onto the right edge
    graph->setSelectable(false);
    QCOMPARE(graph->selectTest(QPointF(200, 249), true), -1.0);
    QCOMPARE(graph->selectTest(QPointF(200, 249), false), 0.0);
  }

  void distanceToTheDrawnLine()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    graph->setData({100, 200}, {100, 100});
    QCOMPARE(graph->pointDistance(QPointF(200, 149)), 10.0);
    QCOMPARE(graph->pointDistance(QPointF(256, 167)), 10.0); // beyond the end: to the end point

    // A NaN gap is not part of the graph, even where the straight line would run.
    graph->setData({100, 150, 200, 250}, {100, 100, NaN, 100});
    QCOMPARE(graph->pointDistance(QPointF(275, 159)), 75.0);

    // Steps: the distance to the drawn corners, not to the straight line.
    graph->setData({100, 200}, {100, 200});
    graph->setLineStyle(PlotGraph::lsStepLeft);
    QCOMPARE(graph->pointDistance(QPointF(250, 159)), 0.0);
    QCOMPARE(graph->pointDistance(QPointF(200, 109)), 50.0);
  }

  void aSinglePointIsThePlainDistance()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    graph->setData({100}, {100});
    QCOMPARE(graph->pointDistance(QPointF(153, 163)), 5.0);
    QCOMPARE(graph->selectTest(QPointF(153, 163), false), 5.0);
  }

  void impulsesAreSeparateSegments()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    graph->setLineStyle(PlotGraph::lsImpulse);
    graph->setData({100, 110}, {50, 50}); // impulses at x 150 and 160, from y 259 to 209
    // Halfway between them: 5 pixels from each; the segment from the first
    // impulse's top to the second's base passes right through it and does not count.
    QCOMPARE(graph->pointDistance(QPointF(155, 234)), 5.0);
  }

  void symbolsOnlyMeasureToThePoints()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    graph->setLineStyle(PlotGraph::lsNone);
    graph->setData({100, 200}, {100, 100});
    QCOMPARE(graph->pointDistance(QPointF(150, 159)), -1.0); // no symbol, nothing drawn
    graph->setScatterStyle(PlotScatterStyle(PlotScatterStyle::ssDisc, 5));
    QCOMPARE(graph->pointDistance(QPointF(154, 156)), 5.0);
    QCOMPARE(graph->pointDistance(QPointF(200, 159)), 50.0); // between the points: no line
  }

  void denseDataIsHitWhereItIsDrawn()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph();
    // 100 points per pixel column, sampled when drawn; the level changes every ten columns.
    for (int i = 0; i < 20000; ++i)
      graph->addData(i / 100.0, (i / 1000) % 2 ? 200 : 20);
    QVERIFY(graph->pointDistance(QPointF(105.5, 59)) < 1.0);  // key 55: level 200
    QVERIFY(graph->pointDistance(QPointF(115.5, 239)) < 1.0); // key 65: level 20
    // Between the levels, 4 and more pixels from the jumps at keys 50 and 60.
    QVERIFY(graph->pointDistance(QPointF(105.5, 149)) > 4.0);
  }

  void keyAndValueRangesPerSignDomain()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    bool found = false;
    graph->getKeyRange(found);
    QVERIFY(!found);

    graph->setData({1, 2, 3}, {5, 6, NaN}); // a NaN value drops the point from the key range too
    QVERIFY(closeTo(graph->getKeyRange(found), 1, 2));
    QVERIFY(found);
    QVERIFY(closeTo(graph->getValueRange(found), 5, 6));

    graph->setData({-2, -1, 3}, {-20, -10, 30});
    QVERIFY(closeTo(graph->getKeyRange(found, PlotAbstractPlottable::sdNegativeOnly), -2, -1));
    QVERIFY(found);
    QVERIFY(closeTo(graph->getKeyRange(found, PlotAbstractPlottable::sdPositiveOnly), 3, 3));
    QVERIFY(closeTo(graph->getKeyRange(found, PlotAbstractPlottable::sdBothSigns), -2, 3));
    QVERIFY(closeTo(graph->getValueRange(found, PlotAbstractPlottable::sdPositiveOnly), 30, 30));

    graph->setData({1, 2}, {5, 6});
    graph->getKeyRange(found, PlotAbstractPlottable::sdNegativeOnly);
    QVERIFY(!found);
  }

  void rangesWithErrorExtents()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    bool found = false;
    // A point on the negative side whose extent reaches past zero still counts.
    graph->setDataKeyError({-0.5}, {1}, {0.25}, {1});
    QVERIFY(closeTo(graph->getKeyRange(found, PlotAbstractPlottable::sdNegativeOnly, true), -0.75, -0.5));
    QVERIFY(found);
    QVERIFY(closeTo(graph->getKeyRange(found, PlotAbstractPlottable::sdBothSigns, true), -0.75, 0.5));
    QVERIFY(closeTo(graph->getKeyRange(found, PlotAbstractPlottable::sdBothSigns, false), -0.5, -0.5));
    // The base's two-argument form includes the extents.
    QVERIFY(closeTo(graph->getKeyRange(found, PlotAbstractPlottable::sdBothSigns), -0.75, 0.5));

    graph->setDataValueError({1, 2}, {10, 20}, {3, 1}, {1, 4});
    QVERIFY(closeTo(graph->getValueRange(found), 7, 24));
    QVERIFY(closeTo(graph->getValueRange(found, PlotAbstractPlottable::sdBothSigns, false), 10, 20));
    QVERIFY(closeTo(graph->getValueRange(found, PlotAbstractPlottable::sdPositiveOnly, true), 7, 24));
  }

  void graphRescaling()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    MessageLog log;
    plot.xAxis->setRange(0, 10);
    graph->rescaleAxes(); // empty: nothing, no line
    QVERIFY(closeTo(plot.xAxis->range(), 0, 10));

    graph->setDataValueError({2, 4}, {10, 20}, {1, 1}, {5, 5});
    graph->rescaleAxes(false, false);
    QVERIFY(closeTo(plot.xAxis->range(), 2, 4));
    QVERIFY(closeTo(plot.yAxis->range(), 10, 20));
    graph->rescaleValueAxis(false, true);
    QVERIFY(closeTo(plot.yAxis->range(), 9, 25));

    plot.yAxis->setRange(0, 100);
    graph->rescaleValueAxis(true, false); // inside: unchanged
    QVERIFY(closeTo(plot.yAxis->range(), 0, 100));

    // All keys equal: the zero-size range goes to the axis as it is, which
    // refuses it (the plottable base would centre it instead).
    graph->setData({7, 7}, {1, 2});
    plot.xAxis->setRange(0, 10);
    graph->rescaleKeyAxis();
    QVERIFY(closeTo(plot.xAxis->range(), 0, 10));

    // Only NaN values: nothing found, the axis is untouched.
    graph->setData({1, 2}, {NaN, NaN});
    graph->rescaleKeyAxis();
    QVERIFY(closeTo(plot.xAxis->range(), 0, 10));
    QVERIFY(log.lines.isEmpty());

    plot.axisRect()->removeAxis(plot.xAxis);
    graph->rescaleKeyAxis();
    QCOMPARE(log.lines, QStringList({"void PlotGraph::rescaleKeyAxis(bool, bool) const invalid key axis"}));
  }
};

TOVRI_TEST(PlotGraphHitTest)
#include "tst_graphhit.moc"
