#include "plot.h"
#include "testlayerable.h"
#include "testmain.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

class PlotLayerTest : public QObject
{
  Q_OBJECT
private slots:
  void newLayerableLandsOnCurrentLayerAtEnd()
  {
    PlotWidget plot;
    PlotLayer *main = plot.layer(QStringLiteral("main"));
    QVERIFY(main);
    QCOMPARE(plot.currentLayer(), main);
    const int before = main->children().size();
    TestLayerable a(&plot, QStringLiteral("a"));
    TestLayerable b(&plot, QStringLiteral("b"));
    QCOMPARE(a.layer(), main);
    QCOMPARE(main->children().size(), before + 2);
    QCOMPARE(main->children().last(), &b);
    QCOMPARE(a.parentPlot(), &plot);

    TestLayerable c(&plot, QStringLiteral("c"), nullptr, QStringLiteral("legend"));
    QCOMPARE(c.layer(), plot.layer(QStringLiteral("legend")));
  }

  void unknownInitialLayerIsReported()
  {
    PlotWidget plot;
    QTest::ignoreMessage(QtDebugMsg, "bool PlotLayerable::setLayer(const QString&) there is no layer with name \"nope\"");
    QTest::ignoreMessage(QtDebugMsg, "PlotLayerable::PlotLayerable(PlotWidget*, QString, PlotLayerable*) setting "
                                     "PlotLayerable initial layer to \"nope\" failed.");
    TestLayerable a(&plot, QStringLiteral("a"), nullptr, QStringLiteral("nope"));
    QCOMPARE(a.layer(), nullptr);
  }

  void setLayerByMissingNameKeepsLayer()
  {
    PlotWidget plot;
    TestLayerable a(&plot, QStringLiteral("a"));
    PlotLayer *old = a.layer();
    QSignalSpy spy(&a, &PlotLayerable::layerChanged);
    QTest::ignoreMessage(QtDebugMsg, "bool PlotLayerable::setLayer(const QString&) there is no layer with name \"Main\"");
    QVERIFY(!a.setLayer(QStringLiteral("Main"))); // names are case-sensitive
    QCOMPARE(a.layer(), old);
    QCOMPARE(spy.count(), 0);

    QVERIFY(a.setLayer(QStringLiteral("axes")));
    QCOMPARE(a.layer(), plot.layer(QStringLiteral("axes")));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<PlotLayer *>(), plot.layer(QStringLiteral("axes")));
    QVERIFY(!old->children().contains(&a));
  }

  void layerableWithoutPlot()
  {
    TestLayerable a(nullptr, QStringLiteral("a"));
    QCOMPARE(a.layer(), nullptr);
    QCOMPARE(a.clipRect(), QRect());
    QTest::ignoreMessage(QtDebugMsg, "bool PlotLayerable::setLayer(const QString&) no parent PlotWidget set");
    QVERIFY(!a.setLayer(QStringLiteral("main")));

    PlotWidget plot;
    QTest::ignoreMessage(QtDebugMsg, "bool PlotLayerable::moveToLayer(PlotLayer*, bool) no parent PlotWidget set");
    QVERIFY(!a.setLayer(plot.layer(0)));
    QVERIFY(a.setLayer(static_cast<PlotLayer *>(nullptr))); // no layer is always fine

    a.initializeParentPlot(&plot);
    QCOMPARE(a.parentPlot(), &plot);
    QCOMPARE(a.layer(), nullptr); // a plot given later places nothing by itself
    QVERIFY(a.setLayer(QStringLiteral("main")));
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayerable::initializeParentPlot(PlotWidget*) called with mParentPlot "
                                     "already initialized");
    a.initializeParentPlot(nullptr);
    QCOMPARE(a.parentPlot(), &plot);
  }

  void layerOfAnotherPlotIsRefused()
  {
    PlotWidget plot, other;
    TestLayerable a(&plot, QStringLiteral("a"));
    PlotLayer *old = a.layer();
    QTest::ignoreMessage(QtDebugMsg, "bool PlotLayerable::moveToLayer(PlotLayer*, bool) layer \"grid\" is not in "
                                     "same PlotWidget as this layerable");
    QVERIFY(!a.setLayer(other.layer(QStringLiteral("grid"))));
    QCOMPARE(a.layer(), old);
  }

  void movingToSameLayerReordersWithoutSignal()
  {
    PlotWidget plot;
    TestLayerable a(&plot, QStringLiteral("a"));
    TestLayerable b(&plot, QStringLiteral("b"));
    PlotLayer *main = a.layer();
    QSignalSpy spy(&a, &PlotLayerable::layerChanged);
    QVERIFY(a.setLayer(main));
    QCOMPARE(main->children().last(), &a);
    QVERIFY(a.moveToLayer(main, true));
    QCOMPARE(main->children().first(), &a);
    QCOMPARE(main->children().count(&a), 1);
    QCOMPARE(spy.count(), 0);
    QVERIFY(a.setLayer(static_cast<PlotLayer *>(nullptr)));
    QCOMPARE(spy.count(), 1);
    QVERIFY(!main->children().contains(&a));
  }

  void visibilityFollowsLayerAndParent()
  {
    PlotWidget plot;
    auto *parent = new TestLayerable(&plot, QStringLiteral("parent"));
    TestLayerable child(&plot, QStringLiteral("child"), nullptr, QStringLiteral("grid"), parent);
    QVERIFY(child.realVisibility());
    parent->setVisible(false);
    QVERIFY(!child.realVisibility());
    parent->setVisible(true);
    plot.layer(QStringLiteral("grid"))->setVisible(false);
    QVERIFY(!child.realVisibility());
    QVERIFY(parent->realVisibility());
    plot.layer(QStringLiteral("grid"))->setVisible(true);
    parent->setVisible(false);
    delete parent; // the child now depends on its own flag and layer only
    QCOMPARE(child.parentLayerable(), nullptr);
    QVERIFY(child.realVisibility());
    child.setVisible(false);
    QVERIFY(!child.realVisibility());
  }

  void destroyedLayerableLeavesItsLayer()
  {
    PlotWidget plot;
    PlotLayer *main = plot.layer(QStringLiteral("main"));
    auto *a = new TestLayerable(&plot, QStringLiteral("a"));
    QVERIFY(main->children().contains(a));
    delete a;
    QVERIFY(!main->children().contains(a)); // the address only is compared
    QCOMPARE(main->children().size(), 1); // the top-level layout only
  }

  void antialiasingOverrides()
  {
    PlotWidget plot;
    TestLayerable a(&plot, QStringLiteral("a"));
    a.element = Plot::aaItems;
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    PlotPainter painter(&image);

    a.setAntialiased(true);
    a.applyAntialiasingHint(&painter, a.antialiased(), a.element);
    QVERIFY(painter.antialiasing());

    plot.setNotAntialiasedElement(Plot::aaItems);
    a.applyAntialiasingHint(&painter, true, a.element);
    QVERIFY(!painter.antialiasing());

    plot.setNotAntialiasedElements(Plot::aaNone);
    plot.setAntialiasedElements(Plot::aaItems | Plot::aaAxes);
    a.applyAntialiasingHint(&painter, false, a.element);
    QVERIFY(painter.antialiasing());

    // A kind never sits in both sets: the set written last wins.
    plot.setNotAntialiasedElements(Plot::aaAll);
    QCOMPARE(plot.antialiasedElements(), Plot::AntialiasedElements(Plot::aaNone));
    a.applyAntialiasingHint(&painter, true, a.element);
    QVERIFY(!painter.antialiasing());
    plot.setAntialiasedElement(Plot::aaItems, true);
    QVERIFY(!plot.notAntialiasedElements().testFlag(Plot::aaItems));
    QVERIFY(plot.notAntialiasedElements().testFlag(Plot::aaAxes));
    a.applyAntialiasingHint(&painter, false, a.element);
    QVERIFY(painter.antialiasing());
  }

  void plotOutlivedByNothing()
  {
    // Layerables owned by the plot outlive its layers during destruction:
    // each layer must have moved them off itself first.
    auto *plot = new PlotWidget;
    auto *a = new TestLayerable(plot, QStringLiteral("a"));
    QPointer<TestLayerable> guard(a);
    QSignalSpy spy(a, &PlotLayerable::layerChanged);
    delete plot;
    QVERIFY(guard.isNull());
    QCOMPARE(spy.count(), 1);
  }
};

TOVRI_TEST(PlotLayerTest)
#include "tst_layer.moc"
