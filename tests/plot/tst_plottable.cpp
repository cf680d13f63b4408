#include "graphfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {
// Reaches the plottable base's protected parts.
struct PlottableAccess : PlotAbstractPlottable
{
  static QRect clip(const PlotAbstractPlottable *p) { return (p->*(&PlottableAccess::clipRect))(); }
  static Plot::Interaction category(const PlotAbstractPlottable *p)
  {
    return (p->*(&PlottableAccess::selectionCategory))();
  }
  static void select(PlotAbstractPlottable *p, bool additive, bool *changed)
  {
    (p->*(&PlottableAccess::selectEvent))(nullptr, additive, QVariant(), changed);
  }
  static void deselect(PlotAbstractPlottable *p, bool *changed) { (p->*(&PlottableAccess::deselectEvent))(changed); }
};

// Default axes refuse negative ranges; these tests need both signs.
void openLimits(PlotWidget &plot)
{
  for (PlotAxis *axis : plot.axisRect()->axes()) {
    axis->setRangeMin(-1e12);
    axis->setRangeMax(1e12);
  }
}

bool closeTo(const PlotRange &range, double lower, double upper)
{
  return qAbs(range.lower - lower) < 1e-9 && qAbs(range.upper - upper) < 1e-9;
}

PlotGraph *graphWithKeys(PlotWidget &plot, const QList<double> &keys, double value = 1,
                         PlotAxis *keyAxis = nullptr, PlotAxis *valueAxis = nullptr)
{
  PlotGraph *graph = plot.addGraph(keyAxis, valueAxis);
  for (double key : keys)
    graph->addData(key, value);
  return graph;
}
} // namespace

class PlotPlottableTest : public QObject
{
  Q_OBJECT
private slots:
  void defaults()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    QVERIFY(graph->antialiasedFill());
    QVERIFY(graph->antialiasedScatters());
    QVERIFY(!graph->antialiasedErrorBars());
    QVERIFY(graph->selectable());
    QVERIFY(!graph->selected());
    QCOMPARE(graph->keyAxis(), plot.xAxis);
    QCOMPARE(graph->valueAxis(), plot.yAxis);
    QCOMPARE(graph->layer(), plot.layer(QStringLiteral("main")));
    QCOMPARE(graph->parentLayerable(), plot.axisRect());
    QCOMPARE(PlottableAccess::category(graph), Plot::iaSelectPlottables);

    // The graph's own look: a one-pixel cosmetic blue line, a wider light blue when selected.
    QCOMPARE(graph->pen().color(), QColor(Qt::blue));
    QCOMPARE(graph->pen().widthF(), 0.0);
    QCOMPARE(graph->pen().capStyle(), Qt::SquareCap);
    QCOMPARE(graph->pen().joinStyle(), Qt::BevelJoin);
    QCOMPARE(graph->selectedPen().color(), QColor(80, 80, 255));
    QCOMPARE(graph->selectedPen().widthF(), 2.5);
    QCOMPARE(graph->brush().style(), Qt::NoBrush);
    QCOMPARE(graph->errorPen().color(), QColor(Qt::black));
    QCOMPARE(graph->lineStyle(), PlotGraph::lsLine);
    QCOMPARE(graph->errorType(), PlotGraph::etNone);
    QCOMPARE(graph->errorBarSize(), 6.0);
    QVERIFY(graph->errorBarSkipSymbol());
    QVERIFY(graph->adaptiveSampling());
    QCOMPARE(graph->channelFillGraph(), nullptr);
    QVERIFY(graph->scatterStyle().isNone());
    QVERIFY(graph->data()->isEmpty());

    // Properties through the meta-object, as the application's tools see them.
    QVERIFY(graph->setProperty("name", QStringLiteral("#0: Current")));
    QCOMPARE(graph->name(), QStringLiteral("#0: Current"));
    QVERIFY(graph->setProperty("lineStyle", QVariant::fromValue(PlotGraph::lsStepLeft)));
    QCOMPARE(graph->lineStyle(), PlotGraph::lsStepLeft);
  }

  void mainPenAndBrushFollowTheSelection()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->setPen(QPen(Qt::red));
    graph->setBrush(QBrush(Qt::green));
    graph->setSelectedBrush(QBrush(Qt::yellow));
    QCOMPARE(graph->mainPen().color(), QColor(Qt::red));
    QCOMPARE(graph->mainBrush().color(), QColor(Qt::green));
    graph->setSelected(true);
    QCOMPARE(graph->mainPen(), graph->selectedPen());
    QCOMPARE(graph->mainBrush().color(), QColor(Qt::yellow));
  }

  void selectionSignalsOnlyOnRealChange()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    QSignalSpy selection(graph, &PlotAbstractPlottable::selectionChanged);
    QSignalSpy selectable(graph, &PlotAbstractPlottable::selectableChanged);
    graph->setSelected(false);
    graph->setSelectable(true);
    QCOMPARE(selection.count(), 0);
    QCOMPARE(selectable.count(), 0);

    graph->setSelectable(false);
    QCOMPARE(selectable.count(), 1);
    QCOMPARE(selectable.at(0).at(0).toBool(), false);
    // A direct setSelected ignores the selectable flag ...
    graph->setSelected(true);
    QVERIFY(graph->selected());
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toBool(), true);
    // ... the click events do not.
    bool changed = true;
    PlottableAccess::deselect(graph, &changed);
    QVERIFY(graph->selected());
    QVERIFY(changed); // left untouched
    changed = true;
    PlottableAccess::select(graph, true, &changed);
    QVERIFY(graph->selected());
    QVERIFY(changed);
  }

  void selectEvents()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    bool changed = false;
    PlottableAccess::select(graph, false, &changed);
    QVERIFY(graph->selected());
    QVERIFY(changed);
    PlottableAccess::select(graph, false, &changed); // already selected
    QVERIFY(graph->selected());
    QVERIFY(!changed);
    PlottableAccess::select(graph, true, &changed); // additive toggles
    QVERIFY(!graph->selected());
    QVERIFY(changed);
    PlottableAccess::select(graph, true, nullptr);
    QVERIFY(graph->selected());
    PlottableAccess::deselect(graph, &changed);
    QVERIFY(!graph->selected());
    QVERIFY(changed);
    PlottableAccess::deselect(graph, &changed);
    QVERIFY(!changed);
  }

  void constructionChecksTheAxesButBuildsAnyway()
  {
    PlotWidget plot;
    PlotWidget other;
    {
      MessageLog log;
      PlotGraph graph(plot.xAxis, plot.xAxis2);
      QVERIFY(log.contains(QStringLiteral("keyAxis and valueAxis must be orthogonal to each other.")));
      QVERIFY(!log.contains(QStringLiteral("Parent plot")));
      // Both horizontal: the conversions take the horizontal-key branch.
      plot.xAxis2->setRange(0, 50);
      const QPointF pixel = graph.coordsToPixels(1, 2);
      QCOMPARE(pixel.x(), plot.xAxis->coordToPixel(1));
      QCOMPARE(pixel.y(), plot.xAxis2->coordToPixel(2));
    }
    {
      MessageLog log;
      PlotGraph graph(plot.xAxis, other.yAxis);
      QVERIFY(log.contains(QStringLiteral("Parent plot of keyAxis is not the same as that of valueAxis.")));
      QCOMPARE(graph.valueAxis(), other.yAxis);
    }
    {
      MessageLog log;
      PlotGraph graph(nullptr, nullptr); // no crash, no plot
      QCOMPARE(graph.parentPlot(), nullptr);
      QVERIFY(log.contains(QStringLiteral("invalid key or value axis")));
    }
  }

  void coordinateConversionsFollowTheKeyAxisOrientation()
  {
    GraphPlot p;
    PlotGraph *horizontal = p.plot.addGraph();
    QCOMPARE(horizontal->coordsToPixels(10, 20), QPointF(60, 239));
    double x = 0, y = 0;
    horizontal->coordsToPixels(10, 20, x, y);
    QCOMPARE(QPointF(x, y), QPointF(60, 239));
    double key = 0, value = 0;
    horizontal->pixelsToCoords(QPointF(60, 239), key, value);
    QCOMPARE(key, 10.0);
    QCOMPARE(value, 20.0);

    PlotGraph *vertical = p.plot.addGraph(p.plot.yAxis, p.plot.xAxis);
    // (value pixel, key pixel)
    QCOMPARE(vertical->coordsToPixels(10, 20), QPointF(70, 249));
    vertical->pixelsToCoords(70, 249, key, value);
    QCOMPARE(key, 10.0);
    QCOMPARE(value, 20.0);
  }

  void aDeletedAxisReadsAsMissing()
  {
    GraphPlot p;
    PlotGraph *graph = p.plot.addGraph(p.plot.xAxis, p.plot.yAxis2);
    graph->addData(1, 1);
    QCOMPARE(PlottableAccess::clip(graph), p.rect->rect());
    QVERIFY(p.rect->removeAxis(p.plot.yAxis2));
    QCOMPARE(graph->valueAxis(), nullptr);
    QCOMPARE(PlottableAccess::clip(graph), QRect());

    MessageLog log;
    double x = -7, y = -7;
    graph->coordsToPixels(1, 1, x, y);
    QCOMPARE(x, -7.0);
    QCOMPARE(y, -7.0);
    QCOMPARE(graph->coordsToPixels(1, 1), QPointF(0, 0));
    double key = -7, value = -7;
    graph->pixelsToCoords(QPointF(3, 3), key, value);
    QCOMPARE(key, -7.0);
    QCOMPARE(log.lines.filter(QStringLiteral("invalid key or value axis")).size(), 3);

    graph->PlotAbstractPlottable::rescaleValueAxis(false);
    QVERIFY(log.contains(QStringLiteral("void PlotAbstractPlottable::rescaleValueAxis(bool) const invalid value axis")));
    QCOMPARE(graph->selectTest(QPointF(60, 100), false), -1.0);
    QVERIFY(log.contains(QStringLiteral("virtual double PlotGraph::selectTest(const QPointF&, bool, QVariant*) const "
                                        "invalid key or value axis")));
    PaintRecorder recorder;
    drawGraph(graph, &recorder);
    QVERIFY(recorder.ops().isEmpty());
    QVERIFY(log.contains(QStringLiteral("virtual void PlotGraph::draw(PlotPainter*) invalid key or value axis")));
    p.plot.replot(); // the plot draws around it
  }

  void baseRescalingCentresConstantData()
  {
    PlotWidget plot;
    PlotGraph *graph = graphWithKeys(plot, {7, 7, 7});
    plot.xAxis->setRange(0, 10);
    graph->PlotAbstractPlottable::rescaleKeyAxis(false);
    QVERIFY(closeTo(plot.xAxis->range(), 2, 12)); // old size 10 centred on 7

    graph->clearData();
    graph->addData(10, 1);
    plot.xAxis->setScaleType(PlotAxis::stLogarithmic);
    plot.xAxis->setRange(1, 100);
    graph->PlotAbstractPlottable::rescaleKeyAxis(false);
    QVERIFY(closeTo(plot.xAxis->range(), 1, 100)); // 10 / sqrt(100), 10 * sqrt(100)
  }

  void baseRescalingFitsAndOnlyEnlarges()
  {
    PlotWidget plot;
    openLimits(plot);
    PlotGraph *graph = plot.addGraph();
    graph->setData({1, 2, 3}, {-4, 6, 2});
    graph->PlotAbstractPlottable::rescaleAxes(false);
    QVERIFY(closeTo(plot.xAxis->range(), 1, 3));
    QVERIFY(closeTo(plot.yAxis->range(), -4, 6));

    plot.yAxis->setRange(-10, 10);
    graph->PlotAbstractPlottable::rescaleValueAxis(true); // data inside: unchanged
    QVERIFY(closeTo(plot.yAxis->range(), -10, 10));
    graph->addData(4, 30);
    graph->PlotAbstractPlottable::rescaleValueAxis(true);
    QVERIFY(closeTo(plot.yAxis->range(), -10, 30));

    // Logarithmic axes ask for one sign only.
    plot.yAxis->setScaleType(PlotAxis::stLogarithmic);
    plot.yAxis->setRange(1, 10);
    graph->PlotAbstractPlottable::rescaleValueAxis(false);
    QVERIFY(closeTo(plot.yAxis->range(), 2, 30));
  }

  void distanceToASegment()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    // Start equal to end: the distance to that point.
    QCOMPARE(graph->distSqrToLine(QPointF(1, 1), QPointF(1, 1), QPointF(4, 5)), 25.0);
    // Beside the segment: perpendicular distance.
    QCOMPARE(graph->distSqrToLine(QPointF(0, 0), QPointF(10, 0), QPointF(5, 3)), 9.0);
    // Beyond either end: the distance to that end, not to the infinite line.
    QCOMPARE(graph->distSqrToLine(QPointF(0, 0), QPointF(10, 0), QPointF(13, 4)), 25.0);
    QCOMPARE(graph->distSqrToLine(QPointF(0, 0), QPointF(10, 0), QPointF(-3, -4)), 25.0);
    QCOMPARE(graph->distSqrToLine(QPointF(0, 0), QPointF(10, 10), QPointF(0, 10)), 50.0);
  }

  void joinsTheLegendOnce()
  {
    PlotWidget plot;
    plot.setAutoAddPlottableToLegend(false);
    PlotGraph *graph = plot.addGraph();
    QCOMPARE(plot.legend->itemCount(), 0);
    QVERIFY(!graph->removeFromLegend());
    QVERIFY(graph->addToLegend());
    QVERIFY(!graph->addToLegend());
    QCOMPARE(plot.legend->itemCount(), 1);
    QCOMPARE(plot.legend->itemWithPlottable(graph)->plottable(), graph);
    QVERIFY(graph->removeFromLegend());
    QCOMPARE(plot.legend->itemCount(), 0);
  }
};

class PlotRegistryTest : public QObject
{
  Q_OBJECT
private slots:
  void graphsAreNamedAndIndexed()
  {
    PlotWidget plot;
    QCOMPARE(plot.graph(), nullptr);
    QCOMPARE(plot.plottable(), nullptr);
    PlotGraph *first = plot.addGraph();
    PlotGraph *second = plot.addGraph();
    QCOMPARE(first->name(), QStringLiteral("Graph 1"));
    QCOMPARE(second->name(), QStringLiteral("Graph 2"));
    QCOMPARE(plot.graph(), second);
    QCOMPARE(plot.plottable(), second);
    QCOMPARE(plot.graph(0), first);
    QCOMPARE(plot.plottable(1), second);
    QCOMPARE(plot.graphCount(), 2);
    QCOMPARE(plot.plottableCount(), 2);
    QVERIFY(plot.hasPlottable(first));

    MessageLog log;
    QCOMPARE(plot.graph(2), nullptr);
    QCOMPARE(plot.plottable(-1), nullptr);
    QCOMPARE(log.lines, QStringList({QStringLiteral("PlotGraph* PlotWidget::graph(int) const index out of bounds: 2"),
                                     QStringLiteral("PlotAbstractPlottable* PlotWidget::plottable(int) index out of "
                                                    "bounds: -1")}));
  }

  void addAndRemoveRefuseMisuse()
  {
    PlotWidget plot;
    PlotWidget other;
    PlotGraph *graph = plot.addGraph();
    PlotGraph *foreign = other.addGraph();
    MessageLog log;
    QVERIFY(!plot.addPlottable(graph));
    QVERIFY(log.contains(QStringLiteral("plottable already added to this PlotWidget:")));
    QVERIFY(!plot.addPlottable(foreign));
    QVERIFY(log.contains(QStringLiteral("plottable not created with this PlotWidget as parent:")));
    QVERIFY(!plot.addPlottable(nullptr));
    QVERIFY(!plot.removePlottable(foreign));
    QVERIFY(log.contains(QStringLiteral("bool PlotWidget::removePlottable(PlotAbstractPlottable*) plottable not in list:")));
    QVERIFY(!plot.removePlottable(3));
    QVERIFY(log.contains(QStringLiteral("bool PlotWidget::removePlottable(int) index out of bounds: 3")));
    const int linesBefore = log.lines.size();
    QVERIFY(!plot.removeGraph(5)); // quietly
    QCOMPARE(log.lines.size(), linesBefore);
    QCOMPARE(plot.graphCount(), 1);
    QCOMPARE(other.graphCount(), 1);

    QVERIFY(!plot.addGraph(other.xAxis, plot.yAxis));
    QVERIFY(log.contains(QStringLiteral("passed keyAxis or valueAxis doesn't have this PlotWidget as parent")));
    QCOMPARE(plot.graphCount(), 1);
    plot.axisRect()->removeAxis(plot.xAxis);
    QCOMPARE(plot.xAxis, nullptr);
    QVERIFY(!plot.addGraph());
    QVERIFY(log.contains(QStringLiteral("can't use default PlotWidget xAxis or yAxis, because at least one is invalid "
                                        "(has been deleted)")));
  }

  void aPlottableMadeForThePlotJoinsOnAdd()
  {
    PlotWidget plot;
    plot.setCurrentLayer(QStringLiteral("grid"));
    auto *graph = new PlotGraph(plot.xAxis, plot.yAxis); // lands on the current layer
    QCOMPARE(graph->layer()->name(), QStringLiteral("grid"));
    QCOMPARE(plot.plottableCount(), 0);
    QVERIFY(plot.addPlottable(graph));
    QCOMPARE(plot.graph(0), graph);
    QCOMPARE(graph->layer()->name(), QStringLiteral("grid"));
    // A plottable never added goes with the plot (the leak checker watches).
    new PlotGraph(plot.xAxis, plot.yAxis);
  }

  void removalAndClearing()
  {
    PlotWidget plot;
    PlotGraph *a = plot.addGraph();
    QPointer<PlotGraph> b = plot.addGraph();
    PlotGraph *c = plot.addGraph();
    QVERIFY(plot.removeGraph(1));
    QVERIFY(b.isNull());
    QCOMPARE(plot.graph(1), c);
    QVERIFY(plot.removePlottable(a));
    QCOMPARE(plot.plottable(0), c);
    QVERIFY(!plot.layer(QStringLiteral("main"))->children().contains(a));
    plot.addGraph();
    QCOMPARE(plot.clearGraphs(), 2);
    QCOMPARE(plot.graphCount(), 0);
    QCOMPARE(plot.plottableCount(), 0);
    plot.addGraph();
    QCOMPARE(plot.clearPlottables(), 1);
    QCOMPARE(plot.clearPlottables(), 0);
  }

  void aGraphDeletedDirectlyLeavesTheRegistry()
  {
    PlotWidget plot;
    PlotGraph *a = plot.addGraph();
    PlotGraph *b = plot.addGraph();
    delete a;
    QCOMPARE(plot.graphCount(), 1);
    QCOMPARE(plot.plottableCount(), 1);
    QCOMPARE(plot.graph(0), b);
    QCOMPARE(plot.axisRect()->graphs(), QList<PlotGraph *>({b}));
    plot.replot();
  }

  void removingAGraphLeavesItsLentMapAlive()
  {
    PlotDataMap map;
    map.insert(1, PlotData(1, 2));
    {
      PlotWidget plot;
      PlotGraph *graph = plot.addGraph();
      graph->setData(&map, false);
      QVERIFY(plot.removeGraph(graph));
      PlotGraph *second = plot.addGraph();
      second->setData(&map, false);
    } // the plot and its graph go first
    QCOMPARE(map.size(), 1);
    QCOMPARE(map.value(1).value, 2.0);
  }

  void selectedInRegistryOrder()
  {
    PlotWidget plot;
    PlotGraph *a = plot.addGraph();
    PlotGraph *b = plot.addGraph();
    PlotGraph *c = plot.addGraph();
    c->setSelected(true);
    a->setSelected(true);
    QCOMPARE(plot.selectedGraphs(), QList<PlotGraph *>({a, c}));
    QCOMPARE(plot.selectedPlottables(), QList<PlotAbstractPlottable *>({a, c}));
    b->setSelected(true);
    a->setSelected(false);
    QCOMPARE(plot.selectedGraphs(), QList<PlotGraph *>({b, c}));
  }

  void axesAndRectanglesKnowTheirPlottables()
  {
    PlotWidget plot;
    PlotGraph *onLeft = plot.addGraph();
    PlotGraph *onRight = plot.addGraph(plot.xAxis, plot.yAxis2);
    QCOMPARE(plot.xAxis->graphs(), QList<PlotGraph *>({onLeft, onRight}));
    QCOMPARE(plot.yAxis->plottables(), QList<PlotAbstractPlottable *>({onLeft}));
    QCOMPARE(plot.yAxis2->graphs(), QList<PlotGraph *>({onRight}));
    QVERIFY(plot.xAxis2->plottables().isEmpty());
    QCOMPARE(plot.axisRect()->plottables(), QList<PlotAbstractPlottable *>({onLeft, onRight}));
    QCOMPARE(plot.axisRect()->graphs(), QList<PlotGraph *>({onLeft, onRight}));

    // A second rectangle lists only what is drawn against its own axes.
    auto *rect = new PlotAxisRect(&plot);
    plot.plotLayout()->addElement(1, 0, rect);
    PlotGraph *below = plot.addGraph(rect->axis(PlotAxis::atBottom), rect->axis(PlotAxis::atLeft));
    QCOMPARE(rect->graphs(), QList<PlotGraph *>({below}));
    QCOMPARE(plot.axisRect(0)->graphs().size(), 2);
  }

  void rescaleAxesFitsEveryAxis()
  {
    PlotWidget plot;
    openLimits(plot);
    PlotGraph *left = plot.addGraph();
    left->setData({0, 5, 10}, {1, 3, 2});
    PlotGraph *right = plot.addGraph(plot.xAxis, plot.yAxis2);
    right->setData({-2, 4}, {100, 300});
    PlotGraph *hidden = plot.addGraph();
    hidden->setData({20, 30}, {-50, 50});
    hidden->setVisible(false);

    plot.rescaleAxes(true);
    QVERIFY(closeTo(plot.xAxis->range(), -2, 10));
    QVERIFY(closeTo(plot.yAxis->range(), 1, 3));
    QVERIFY(closeTo(plot.yAxis2->range(), 100, 300));
    QVERIFY(closeTo(plot.xAxis2->range(), 0, 5)); // nothing on it: untouched

    plot.rescaleAxes();
    QVERIFY(closeTo(plot.xAxis->range(), -2, 30));
    QVERIFY(closeTo(plot.yAxis->range(), -50, 50));

    // Constant data keeps the axis's extent, centred on it.
    plot.clearGraphs();
    PlotGraph *flat = plot.addGraph();
    flat->setData({3, 4}, {8, 8});
    plot.yAxis->setRange(0, 4);
    plot.yAxis->rescale();
    QVERIFY(closeTo(plot.yAxis->range(), 6, 10));
  }
};

TOVRI_TEST(PlotPlottableTest)
TOVRI_TEST(PlotRegistryTest)
#include "tst_plottable.moc"
