#include "plot.h"
#include "plotaxis.h"
#include "plotgrid.h"
#include "snapshot.h"
#include "testlayerable.h"
#include "testmain.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace {
// Exposes the paint buffer and counts paint events.
class BufferPlot : public PlotWidget
{
public:
  int paints = 0;
  QImage bufferImage() const { return mPaintBuffer.toImage(); }
  QSize bufferSize() const { return mPaintBuffer.size(); }

protected:
  void paintEvent(QPaintEvent *event) override
  {
    ++paints;
    PlotWidget::paintEvent(event);
  }
};

QStringList layerNames(const PlotWidget &plot)
{
  QStringList names;
  for (int i = 0; i < plot.layerCount(); ++i) {
    names << plot.layer(i)->name();
    if (plot.layer(i)->index() != i)
      names << QStringLiteral("<bad index>");
  }
  return names;
}
} // namespace

class PlotWidgetTest : public QObject
{
  Q_OBJECT
private slots:
  void defaults()
  {
    PlotWidget plot;
    QCOMPARE(layerNames(plot), QStringList({"background", "grid", "main", "axes", "legend"}));
    QCOMPARE(plot.layerCount(), 5);
    QCOMPARE(plot.currentLayer()->name(), QStringLiteral("main"));
    QCOMPARE(plot.selectionTolerance(), 8);
    QCOMPARE(plot.interactions(), Plot::Interactions());
    QCOMPARE(int(plot.plottingHints()), Plot::hintForceRepaint | Plot::hintCacheLabels);
    QCOMPARE(plot.multiSelectModifier(), Qt::ControlModifier);
    QCOMPARE(plot.backgroundBrush(), QBrush(Qt::white));
    QVERIFY(plot.autoAddPlottableToLegend());
    QVERIFY(!plot.noAntialiasingOnDrag());
    // The legend waits hidden in the inset of the default axis rectangle.
    QVERIFY(plot.legend);
    QVERIFY(!plot.legend->visible());
    QCOMPARE(plot.legend->layer()->name(), QStringLiteral("legend"));
    QCOMPARE(plot.axisRect()->insetLayout()->elementAt(0), plot.legend);
    QCOMPARE(plot.axisRect()->insetLayout()->insetAlignment(0), Qt::AlignRight | Qt::AlignTop);

    QCOMPARE(plot.axisRectCount(), 1);
    PlotAxisRect *rect = plot.axisRect(0);
    QVERIFY(rect);
    QCOMPARE(plot.plotLayout()->element(0, 0), rect);
    QCOMPARE(rect->layer()->name(), QStringLiteral("background"));
    QCOMPARE(plot.plotLayout()->layer()->name(), QStringLiteral("main"));
    QCOMPARE(plot.xAxis, rect->axis(PlotAxis::atBottom));
    QCOMPARE(plot.yAxis, rect->axis(PlotAxis::atLeft));
    QCOMPARE(plot.xAxis2, rect->axis(PlotAxis::atTop));
    QCOMPARE(plot.yAxis2, rect->axis(PlotAxis::atRight));
    for (PlotAxis *axis : {plot.xAxis, plot.yAxis, plot.xAxis2, plot.yAxis2}) {
      QCOMPARE(axis->layer()->name(), QStringLiteral("axes"));
      QCOMPARE(axis->grid()->layer()->name(), QStringLiteral("grid"));
    }
    QVERIFY(plot.xAxis->visible() && plot.yAxis->visible());
    QVERIFY(!plot.xAxis2->visible() && !plot.yAxis2->visible());
    QVERIFY(plot.xAxis->grid()->visible() && plot.yAxis->grid()->visible());
    QVERIFY(!plot.xAxis2->grid()->visible() && !plot.yAxis2->grid()->visible());
    QCOMPARE(rect->insetLayout()->margins(), QMargins(12, 12, 12, 12));
    QCOMPARE(rect->rangeDragAxis(Qt::Horizontal), plot.xAxis);
    QCOMPARE(rect->rangeDragAxis(Qt::Vertical), plot.yAxis);
    QCOMPARE(rect->rangeZoomAxis(Qt::Horizontal), plot.xAxis);
    QCOMPARE(rect->rangeZoomFactor(Qt::Vertical), 0.85);

    QTest::ignoreMessage(QtDebugMsg, "PlotAxisRect* PlotWidget::axisRect(int) const invalid axis rect index 1");
    QCOMPARE(plot.axisRect(1), nullptr);
    QTest::ignoreMessage(QtDebugMsg, "PlotLayer* PlotWidget::layer(int) const index out of bounds: 5");
    QCOMPARE(plot.layer(5), nullptr);
    QCOMPARE(plot.layer(QStringLiteral("Main")), nullptr);
  }

  void settersOfFlags()
  {
    PlotWidget plot;
    plot.setInteractions(Plot::iaRangeDrag | Plot::iaRangeZoom);
    QCOMPARE(int(plot.interactions()), 3);
    plot.setInteraction(Plot::iaRangeZoom, false);
    QCOMPARE(plot.interactions(), Plot::Interactions(Plot::iaRangeDrag));
    plot.setPlottingHint(Plot::hintForceRepaint, false);
    QCOMPARE(plot.plottingHints(), Plot::PlottingHints(Plot::hintCacheLabels));
  }

  void removeLayerKeepsChildOrder()
  {
    PlotWidget plot;
    PlotLayer *background = plot.layer(QStringLiteral("background"));
    PlotLayer *grid = plot.layer(QStringLiteral("grid"));
    const QList<PlotLayerable *> before = background->children() + grid->children();
    // The first layer's children are prepended to the next one, in their order.
    QVERIFY(plot.removeLayer(background));
    QCOMPARE(layerNames(plot), QStringList({"grid", "main", "axes", "legend"}));
    QCOMPARE(grid->children(), before);
    QCOMPARE(plot.axisRect()->layer(), grid);

    // Any other layer's children are appended to the layer below; the
    // current layer follows them.
    PlotLayer *main = plot.layer(QStringLiteral("main"));
    TestLayerable a(&plot, QStringLiteral("a"));
    QVERIFY(plot.removeLayer(main));
    QCOMPARE(grid->children().last(), &a);
    QCOMPARE(plot.currentLayer(), grid);

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^bool PlotWidget::removeLayer\\(PlotLayer\\*\\) layer not a "
                                                        "layer of this PlotWidget: \\d+$"));
    QVERIFY(!plot.removeLayer(nullptr));
    QVERIFY(plot.removeLayer(plot.layer(QStringLiteral("legend"))));
    QVERIFY(plot.removeLayer(plot.layer(QStringLiteral("axes"))));
    QCOMPARE(plot.layerCount(), 1);
    QTest::ignoreMessage(QtDebugMsg, "bool PlotWidget::removeLayer(PlotLayer*) can't remove last layer");
    QVERIFY(!plot.removeLayer(grid));
    QCOMPARE(plot.layerCount(), 1);
    QCOMPARE(plot.xAxis->layer(), grid);
  }

  void addAndMoveLayers()
  {
    PlotWidget plot;
    QVERIFY(plot.addLayer(QStringLiteral("top"), nullptr, PlotWidget::limAbove));
    QCOMPARE(layerNames(plot).last(), QStringLiteral("top"));
    QVERIFY(plot.addLayer(QStringLiteral("under"), plot.layer(0), PlotWidget::limBelow));
    QCOMPARE(layerNames(plot).first(), QStringLiteral("under"));
    QTest::ignoreMessage(QtDebugMsg, "bool PlotWidget::addLayer(const QString&, PlotLayer*, "
                                     "LayerInsertMode) A layer exists already with the name \"top\"");
    QVERIFY(!plot.addLayer(QStringLiteral("top")));
    QCOMPARE(plot.layerCount(), 7);

    PlotWidget other;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("otherLayer not a layer of this PlotWidget"));
    QVERIFY(!plot.addLayer(QStringLiteral("x"), other.layer(0)));

    // Downwards: directly below / above the other layer.
    QVERIFY(plot.moveLayer(plot.layer(QStringLiteral("top")), plot.layer(QStringLiteral("grid")),
                           PlotWidget::limBelow));
    QCOMPARE(layerNames(plot), QStringList({"under", "background", "top", "grid", "main", "axes", "legend"}));
    // Upwards, onto the last layer: never past the end of the list.
    QVERIFY(plot.moveLayer(plot.layer(QStringLiteral("under")), plot.layer(QStringLiteral("legend")),
                           PlotWidget::limAbove));
    QCOMPARE(layerNames(plot), QStringList({"background", "top", "grid", "main", "axes", "legend", "under"}));
    QVERIFY(plot.moveLayer(plot.layer(QStringLiteral("background")), plot.layer(QStringLiteral("main")),
                           PlotWidget::limAbove));
    QCOMPARE(layerNames(plot), QStringList({"top", "grid", "main", "background", "axes", "legend", "under"}));
    QVERIFY(plot.moveLayer(plot.layer(QStringLiteral("under")), plot.layer(QStringLiteral("top")),
                           PlotWidget::limBelow));
    QCOMPARE(layerNames(plot).first(), QStringLiteral("under"));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^bool PlotWidget::moveLayer.* layer not a layer of this "
                                                        "PlotWidget:"));
    QVERIFY(!plot.moveLayer(other.layer(0), plot.layer(0)));
    QTest::ignoreMessage(QtDebugMsg, "bool PlotWidget::moveLayer(PlotLayer*, PlotLayer*, LayerInsertMode) "
                                     "otherLayer not a layer of this PlotWidget:");
    QVERIFY(!plot.moveLayer(plot.layer(0), other.layer(0)));
    QCOMPARE(layerNames(plot).first(), QStringLiteral("under"));
  }

  void currentLayerSelection()
  {
    PlotWidget plot, other;
    QVERIFY(plot.setCurrentLayer(QStringLiteral("axes")));
    TestLayerable a(&plot, QStringLiteral("a"));
    QCOMPARE(a.layer()->name(), QStringLiteral("axes"));
    QTest::ignoreMessage(QtDebugMsg, "bool PlotWidget::setCurrentLayer(const QString&) layer with name doesn't exist: "
                                     "\"none\"");
    QVERIFY(!plot.setCurrentLayer(QStringLiteral("none")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^bool PlotWidget::setCurrentLayer\\(PlotLayer\\*\\) layer "
                                                        "not a layer of this PlotWidget: \\d+$"));
    QVERIFY(!plot.setCurrentLayer(other.layer(0)));
    QCOMPARE(plot.currentLayer()->name(), QStringLiteral("axes"));
  }

  void drawingFollowsLayerOrder()
  {
    BufferPlot plot;
    plot.resize(300, 200);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QStringList log;
    // Created in an order that differs from the layer order.
    TestLayerable legend(&plot, QStringLiteral("legend"), &log, QStringLiteral("legend"));
    TestLayerable main1(&plot, QStringLiteral("main1"), &log);
    TestLayerable background(&plot, QStringLiteral("background"), &log, QStringLiteral("background"));
    TestLayerable axes(&plot, QStringLiteral("axes"), &log, QStringLiteral("axes"));
    TestLayerable main2(&plot, QStringLiteral("main2"), &log);
    TestLayerable grid(&plot, QStringLiteral("grid"), &log, QStringLiteral("grid"));
    TestLayerable hidden(&plot, QStringLiteral("hidden"), &log);
    hidden.setVisible(false);
    plot.replot();
    QCOMPARE(log, QStringList({"background", "grid", "main1", "main2", "axes", "legend"}));

    // Reordering within a layer and moving layers change the drawing order.
    log.clear();
    main1.setLayer(plot.layer(QStringLiteral("main"))); // to the end of its layer
    plot.moveLayer(plot.layer(QStringLiteral("legend")), plot.layer(QStringLiteral("background")),
                   PlotWidget::limBelow);
    plot.layer(QStringLiteral("grid"))->setVisible(false);
    plot.replot();
    QCOMPARE(log, QStringList({"legend", "background", "main2", "main1", "axes"}));

    // Each child is clipped to its clip rectangle moved up by one pixel.
    main1.setAntialiased(false); // no half-pixel shift in the recorded clip
    plot.replot();
    QCOMPARE(main1.drawnClip, QRect(0, -1, 300, 200));
  }

  void antialiasingSetsApplyWhenDrawing()
  {
    PlotWidget plot;
    plot.resize(200, 100);
    TestLayerable a(&plot, QStringLiteral("a"));
    a.setAntialiased(true);
    plot.replot();
    QVERIFY(a.drawnAntialiased);
    plot.setNotAntialiasedElements(Plot::aaItems);
    plot.replot();
    QVERIFY(!a.drawnAntialiased);
    a.setAntialiased(false);
    plot.setAntialiasedElements(Plot::aaAll);
    plot.replot();
    QVERIFY(a.drawnAntialiased);
  }

  void nestedReplotIsDropped()
  {
    PlotWidget plot;
    plot.resize(200, 100);
    int before = 0, after = 0;
    connect(&plot, &PlotWidget::beforeReplot, &plot, [&] {
      ++before;
      plot.replot(PlotWidget::rpNow);
    });
    connect(&plot, &PlotWidget::afterReplot, &plot, [&] {
      ++after;
      plot.replot();
    });
    plot.replot();
    QCOMPARE(before, 1);
    QCOMPARE(after, 1);
    // The flag is cleared afterwards: the next replot runs again.
    plot.replot();
    QCOMPARE(before, 2);
    QCOMPARE(after, 2);
  }

  void zeroSizedPlotReportsButStillSignals()
  {
    PlotWidget plot;
    plot.resize(0, 0);
    QResizeEvent resize(QSize(0, 0), QSize(640, 480));
    QCoreApplication::sendEvent(&plot, &resize);
    QSignalSpy before(&plot, &PlotWidget::beforeReplot);
    QSignalSpy after(&plot, &PlotWidget::afterReplot);
    QTest::ignoreMessage(QtDebugMsg, "void PlotWidget::replot(RefreshPriority) Couldn't activate painter "
                                     "on buffer. This usually happens because PlotWidget has width or height zero.");
    plot.replot();
    QCOMPARE(before.count(), 1);
    QCOMPARE(after.count(), 1);
  }

  void refreshPriorities()
  {
    BufferPlot plot;
    plot.resize(200, 100);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QCoreApplication::processEvents();

    int paints = plot.paints;
    plot.replot(); // force-repaint hint: synchronous
    QCOMPARE(plot.paints, paints + 1);

    plot.setPlottingHint(Plot::hintForceRepaint, false);
    paints = plot.paints;
    plot.replot();
    QCOMPARE(plot.paints, paints);
    QTRY_COMPARE(plot.paints, paints + 1);

    paints = plot.paints;
    plot.replot(PlotWidget::rpNow);
    QCOMPARE(plot.paints, paints + 1);

    plot.setPlottingHint(Plot::hintForceRepaint, true);
    paints = plot.paints;
    plot.replot(PlotWidget::rpLater);
    QCOMPARE(plot.paints, paints);
    QTRY_COMPARE(plot.paints, paints + 1);
  }

  void backgroundBrushes()
  {
    BufferPlot plot;
    plot.resize(120, 80);
    QResizeEvent resize(QSize(120, 80), QSize());
    QCoreApplication::sendEvent(&plot, &resize);
    QCOMPARE(plot.bufferSize(), QSize(120, 80));
    QCOMPARE(plot.viewport(), QRect(0, 0, 120, 80));
    plot.setBackground(QBrush(QColor(10, 20, 30)));
    plot.replot();
    QCOMPARE(plot.bufferImage().pixelColor(1, 1), QColor(10, 20, 30));

    // A pattern leaves the buffer transparent and fills the viewport with the pattern.
    plot.setBackground(QBrush(Qt::red, Qt::Dense4Pattern));
    plot.replot();
    const QImage image = plot.bufferImage();
    int transparent = 0, red = 0;
    for (int x = 0; x < 4; ++x) {
      for (int y = 0; y < 4; ++y) {
        const QColor c = image.pixelColor(x, y);
        if (c.alpha() == 0)
          ++transparent;
        else if (c == QColor(Qt::red))
          ++red;
      }
    }
    QVERIFY(transparent > 0);
    QVERIFY(red > 0);
    QCOMPARE(transparent + red, 16);

    plot.setBackground(QBrush(Qt::NoBrush));
    plot.replot();
    QCOMPARE(plot.bufferImage().pixelColor(1, 1).alpha(), 0);
  }

  void backgroundPicture()
  {
    BufferPlot plot;
    plot.resize(100, 60);
    QResizeEvent resize(QSize(100, 60), QSize());
    QCoreApplication::sendEvent(&plot, &resize);
    QPixmap picture(10, 10);
    picture.fill(Qt::green);
    plot.setBackground(picture, true, Qt::IgnoreAspectRatio);
    plot.replot();
    QCOMPARE(plot.bufferImage().pixelColor(98, 2), QColor(Qt::green));
    plot.setBackgroundScaled(false);
    plot.replot();
    QCOMPARE(plot.bufferImage().pixelColor(5, 5), QColor(Qt::green));
    QCOMPARE(plot.bufferImage().pixelColor(98, 2), QColor(Qt::white));
  }

  void resizeFollowsWidget()
  {
    BufferPlot plot;
    plot.resize(300, 150);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QCOMPARE(plot.bufferSize(), QSize(300, 150));
    QCOMPARE(plot.viewport(), QRect(0, 0, 300, 150));
    QCOMPARE(plot.plotLayout()->outerRect(), QRect(0, 0, 300, 150));
    plot.setViewport(QRect(10, 10, 50, 50));
    QCOMPARE(plot.plotLayout()->outerRect(), QRect(10, 10, 50, 50));
  }

  void removedAxesAreForgotten()
  {
    PlotWidget plot;
    PlotAxisRect *rect = plot.axisRect();
    QVERIFY(rect->removeAxis(plot.yAxis2));
    QCOMPARE(plot.yAxis2, nullptr);
    QVERIFY(plot.xAxis);
    QVERIFY(rect->removeAxis(plot.xAxis));
    QCOMPARE(plot.xAxis, nullptr);
    QCOMPARE(rect->rangeDragAxis(Qt::Horizontal), nullptr); // weak references read as null
    plot.resize(200, 100);
    plot.replot(); // drawing without those axes works
  }

  void axisAtFindsVisibleSideAxes()
  {
    PlotWidget plot;
    plot.resize(300, 200);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.xAxis2->setVisible(true);
    plot.replot();
    PlotAxisRect *rect = plot.axisRect();
    QCOMPARE(plot.axisAt(QPointF(rect->rect().center().x(), rect->rect().bottom() + 2)), plot.xAxis);
    QCOMPARE(plot.axisAt(QPointF(rect->rect().left() - 2, rect->rect().center().y())), plot.yAxis);
    QCOMPARE(plot.axisAt(QPointF(rect->rect().center().x(), rect->rect().top() - 2)), nullptr); // never the top axis
    QCOMPARE(plot.axisAt(QPointF(rect->rect().center())), nullptr);
    plot.yAxis->setVisible(false);
    QCOMPARE(plot.axisAt(QPointF(rect->rect().left() - 2, rect->rect().center().y())), nullptr);

    QCOMPARE(plot.layoutElementAt(QPointF(rect->rect().center())), rect);
    QCOMPARE(plot.layoutElementAt(QPointF(-5, -5)), plot.plotLayout());
  }

  void rendersHeadless()
  {
    PlotWidget plot;
    plot.resize(480, 260);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.xAxis->setRange(0, 10);
    plot.yAxis->setRange(0, 100);
    plot.yAxis->setLabel(QStringLiteral("Current, mA"));
    plot.axisRect()->addAxis(PlotAxis::atLeft)->setLabel(QStringLiteral("Stacked"));
    plot.axisRect()->setBackground(QBrush(QColor(240, 240, 255)));
    plot.replot();
    const QImage image = plot.grab().toImage();
    QCOMPARE(image.size(), QSize(480, 260));
    // The data area shows its background; the margins show the plot's.
    PlotAxisRect *rect = plot.axisRect();
    // Away from grid lines, which fall on round values.
    QCOMPARE(image.pixelColor(rect->rect().left() + rect->rect().width() * 37 / 100, rect->rect().top() + rect->rect().height() * 43 / 100),
             QColor(240, 240, 255));
    QCOMPARE(image.pixelColor(rect->rect().right() + 8, rect->rect().top() - 8), QColor(Qt::white));
    saveSnapshot(&plot, QStringLiteral("widget_default_stacked"));
  }
};

TOVRI_TEST(PlotWidgetTest)
#include "tst_widget.moc"
