#include "itemfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

namespace {
// A shown plot (the rubber band is a child widget and needs a visible parent)
// with the data area (50, 20) to (369, 259), x 0..100 and y 0..50. Every
// signal the application listens to is logged in order.
class MousePlot
{
public:
  MousePlot()
  {
    plot.resize(400, 300);
    plot.show();
    rect = plot.axisRect();
    rect->setAutoMargins(Plot::msNone);
    rect->setMinimumMargins(QMargins());
    rect->setMargins(QMargins(50, 20, 30, 40));
    plot.xAxis->setRange(0, 100);
    plot.yAxis->setRange(0, 50);
    plot.setInteractions(Plot::iaRangeDrag | Plot::iaRangeZoom);
    plot.replot();

    QObject::connect(&plot, &PlotWidget::mousePress, &plot, [this](QMouseEvent *) { log << "press"; });
    QObject::connect(&plot, &PlotWidget::mouseMove, &plot, [this](QMouseEvent *) { log << "move"; });
    QObject::connect(&plot, &PlotWidget::mouseRelease, &plot, [this](QMouseEvent *) { log << "release"; });
    QObject::connect(&plot, &PlotWidget::mouseDoubleClick, &plot, [this](QMouseEvent *) { log << "double"; });
    QObject::connect(&plot, &PlotWidget::mouseWheel, &plot,
                     [this](QWheelEvent *e) { log << QStringLiteral("wheel %1").arg(e->angleDelta().y()); });
    QObject::connect(&plot, &PlotWidget::plottableClick, &plot, [this](PlotAbstractPlottable *p, QMouseEvent *) {
      log << QStringLiteral("plottableClick ") + p->name();
    });
    QObject::connect(&plot, &PlotWidget::plottableDoubleClick, &plot, [this](PlotAbstractPlottable *p, QMouseEvent *) {
      log << QStringLiteral("plottableDoubleClick ") + p->name();
    });
    QObject::connect(&plot, &PlotWidget::itemClick, &plot, [this](PlotAbstractItem *item, QMouseEvent *) {
      log << QStringLiteral("itemClick ") + item->objectName();
    });
    QObject::connect(&plot, &PlotWidget::itemDoubleClick, &plot, [this](PlotAbstractItem *item, QMouseEvent *) {
      log << QStringLiteral("itemDoubleClick ") + item->objectName();
    });
    QObject::connect(&plot, &PlotWidget::axisClick, &plot,
                     [this](PlotAxis *axis, PlotAxis::SelectablePart part, QMouseEvent *) {
                       log << QStringLiteral("axisClick %1 %2").arg(axisName(axis)).arg(int(part));
                     });
    QObject::connect(&plot, &PlotWidget::axisDoubleClick, &plot,
                     [this](PlotAxis *axis, PlotAxis::SelectablePart part, QMouseEvent *) {
                       log << QStringLiteral("axisDoubleClick %1 %2").arg(axisName(axis)).arg(int(part));
                     });
    QObject::connect(&plot, &PlotWidget::selectionChangedByUser, &plot, [this] { log << "selection"; });
    QObject::connect(&plot, &PlotWidget::rangeBorderReached, &plot,
                     [this](double lo, double up) { log << QStringLiteral("border %1 %2").arg(lo).arg(up); });
  }

  QString axisName(PlotAxis *axis) const
  {
    if (axis == plot.xAxis)
      return QStringLiteral("x");
    if (axis == plot.yAxis)
      return QStringLiteral("y");
    if (axis == plot.yAxis2)
      return QStringLiteral("y2");
    return QStringLiteral("?");
  }

  void send(QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
            Qt::KeyboardModifiers modifiers)
  {
    QMouseEvent event(type, pos, plot.mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(&plot, &event);
  }
  void press(QPointF pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
  {
    send(QEvent::MouseButtonPress, pos, button, button, mods);
  }
  void move(QPointF pos, Qt::MouseButtons held = Qt::NoButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
  {
    send(QEvent::MouseMove, pos, Qt::NoButton, held, mods);
  }
  void release(QPointF pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
  {
    send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton, mods);
  }
  void click(QPointF pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
  {
    press(pos, button, mods);
    release(pos, button, mods);
  }
  void doubleClick(QPointF pos)
  {
    send(QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  }

  // A point on an axis: the middle of its hit rectangle.
  static QPoint on(const PlotAxis *axis) { return axis->plotableRect().center(); }

  PlotWidget plot;
  PlotAxisRect *rect;
  QStringList log;
};

// A horizontal segment item in pixel coordinates.
PlotItemLine *addSegment(PlotWidget &plot, const QString &name, double y, double x1 = 100, double x2 = 300)
{
  PlotItemLine *line = new PlotItemLine(&plot);
  line->setObjectName(name);
  for (PlotItemPosition *pos : {line->start, line->end})
    pos->setType(PlotItemPosition::ptPixelCoords);
  line->start->setCoords(x1, y);
  line->end->setCoords(x2, y);
  plot.addItem(line);
  return line;
}

QByteArray address(const void *p)
{
  return QByteArray::number(reinterpret_cast<quintptr>(p));
}

void expectDebug(const QByteArray &message)
{
  QTest::ignoreMessage(QtDebugMsg, message.constData());
}
} // namespace

class PlotInteractionTest : public QObject
{
  Q_OBJECT
private slots:
  void itemRegistry()
  {
    ItemPlot p;
    QCOMPARE(p.plot.itemCount(), 0);
    QCOMPARE(p.plot.item(), nullptr);
    PlotItemText *first = new PlotItemText(&p.plot);
    QVERIFY(!p.plot.hasItem(first)); // made for the plot, not yet listed
    QVERIFY(p.plot.addItem(first));
    expectDebug(QByteArray("bool PlotWidget::addItem(PlotAbstractItem*) item either already "
                           "in list or not created with this PlotWidget as parent: ") +
                address(first));
    QVERIFY(!p.plot.addItem(first));
    PlotWidget other;
    PlotItemText *foreign = new PlotItemText(&other);
    expectDebug(QByteArray("bool PlotWidget::addItem(PlotAbstractItem*) item either already "
                           "in list or not created with this PlotWidget as parent: ") +
                address(foreign));
    QVERIFY(!p.plot.addItem(foreign));

    PlotItemStraightLine *second = new PlotItemStraightLine(&p.plot);
    QVERIFY(p.plot.addItem(second));
    QCOMPARE(p.plot.itemCount(), 2);
    QCOMPARE(p.plot.item(), second);
    QCOMPARE(p.plot.item(0), first);
    QTest::ignoreMessage(QtDebugMsg, "PlotAbstractItem* PlotWidget::item(int) const index out of bounds: 2");
    QCOMPARE(p.plot.item(2), nullptr);

    // The application replaces its title: remove the newest item, add a fresh one.
    QPointer<PlotAbstractItem> removed = p.plot.item();
    QVERIFY(p.plot.removeItem(p.plot.item()));
    QVERIFY(removed.isNull());
    QCOMPARE(p.plot.item(), first);
    expectDebug(QByteArray("bool PlotWidget::removeItem(PlotAbstractItem*) item not in list: ") + address(foreign));
    QVERIFY(!p.plot.removeItem(foreign));
    QTest::ignoreMessage(QtDebugMsg, "bool PlotWidget::removeItem(int) index out of bounds: 1");
    QVERIFY(!p.plot.removeItem(1));

    // An item deleted behind the plot's back leaves the registry.
    delete first;
    QCOMPARE(p.plot.itemCount(), 0);

    for (int i = 0; i < 3; ++i)
      p.plot.addItem(new PlotItemLine(&p.plot));
    QCOMPARE(p.plot.clearItems(), 3);
    QCOMPARE(p.plot.itemCount(), 0);
  }

  void plotDeletesItsItems()
  {
    PlotWidget *plot = new PlotWidget;
    QPointer<PlotAbstractItem> listed = new PlotItemText(plot);
    plot->addItem(listed);
    QPointer<PlotAbstractItem> loose = new PlotItemStraightLine(plot);
    // A position of the loose item hangs on an anchor of the listed one.
    QVERIFY(static_cast<PlotItemStraightLine *>(loose.data())
                ->point1->setParentAnchor(static_cast<PlotItemText *>(listed.data())->bottom));
    delete plot;
    QVERIFY(listed.isNull());
    QVERIFY(loose.isNull());
  }

  void axisRectListsItsItems()
  {
    ItemPlot p;
    PlotItemText *onRect = new PlotItemText(&p.plot);
    PlotItemText *pixelOnly = new PlotItemText(&p.plot);
    pixelOnly->setClipToAxisRect(false);
    pixelOnly->setClipAxisRect(nullptr);
    pixelOnly->position->setAxes(nullptr, nullptr);
    pixelOnly->position->setAxisRect(nullptr);
    pixelOnly->position->setType(PlotItemPosition::ptPixelCoords);
    PlotAxisRect *second = new PlotAxisRect(&p.plot);
    p.plot.plotLayout()->addElement(0, 1, second);
    PlotItemLine *onSecond = new PlotItemLine(&p.plot);
    onSecond->setClipAxisRect(second);
    onSecond->end->setAxes(second->axis(PlotAxis::atBottom), second->axis(PlotAxis::atLeft));
    for (PlotAbstractItem *item : QList<PlotAbstractItem *>{onRect, pixelOnly, onSecond})
      p.plot.addItem(item);
    // onSecond still has its start position on the first rect's axes.
    QCOMPARE(p.rect->items(), QList<PlotAbstractItem *>({onRect, onSecond}));
    QCOMPARE(second->items(), QList<PlotAbstractItem *>({onSecond}));
    // An axis lists the items with a position on it.
    QCOMPARE(p.plot.xAxis->items(), QList<PlotAbstractItem *>({onRect, onSecond}));
    QCOMPARE(second->axis(PlotAxis::atLeft)->items(), QList<PlotAbstractItem *>({onSecond}));
    QVERIFY(p.plot.yAxis2->items().isEmpty());
  }

  void axisAtEachSide()
  {
    MousePlot m;
    m.plot.yAxis2->setVisible(true);
    m.plot.xAxis2->setVisible(true);
    PlotAxis *outerLeft = m.rect->addAxis(PlotAxis::atLeft);
    // Room for the second left axis.
    m.rect->setMargins(QMargins(120, 20, 60, 40));
    m.plot.replot();
    // The outer edge of the second left axis lies beyond the first one's hit rectangle.
    const QPoint outerEdge(outerLeft->plotableRect().left(), outerLeft->plotableRect().center().y());
    QVERIFY(!m.plot.yAxis->plotableRect().contains(outerEdge));
    QCOMPARE(m.plot.axisAt(MousePlot::on(m.plot.xAxis)), m.plot.xAxis);
    QCOMPARE(m.plot.axisAt(MousePlot::on(m.plot.yAxis)), m.plot.yAxis);
    QCOMPARE(m.plot.axisAt(MousePlot::on(m.plot.yAxis2)), m.plot.yAxis2);
    QCOMPARE(m.plot.axisAt(outerEdge), outerLeft);
    // Never the top axis, and never a hidden one.
    QVERIFY(!m.plot.xAxis2->plotableRect().isEmpty());
    QCOMPARE(m.plot.axisAt(MousePlot::on(m.plot.xAxis2)), nullptr);
    const QPoint right = MousePlot::on(m.plot.yAxis2);
    m.plot.yAxis2->setVisible(false);
    QCOMPARE(m.plot.axisAt(right), nullptr);
    // The middle of the data area is no axis; positions are truncated, not rounded.
    QCOMPARE(m.plot.axisAt(QPointF(210, 140)), nullptr);
    const QRect box = m.plot.xAxis->plotableRect();
    QCOMPARE(m.plot.axisAt(QPointF(box.right() + 0.9, box.center().y())), m.plot.xAxis);
  }

  void clickThreshold()
  {
    MousePlot m;
    addSegment(m.plot, QStringLiteral("seg"), 140);
    // 3 + 1 = 4 pixels between press and release: a click.
    m.press(QPointF(200, 140));
    m.release(QPointF(203, 141));
    QVERIFY(m.log.contains(QStringLiteral("itemClick seg")));
    // 3 + 2 = 5: a drag, no click.
    m.log.clear();
    m.press(QPointF(200, 140));
    m.release(QPointF(203, 142));
    QVERIFY(!m.log.contains(QStringLiteral("itemClick seg")));
    // Positions round to whole pixels: 0.4 pixel off is still the same pixel.
    m.log.clear();
    m.press(QPointF(200.4, 140));
    m.release(QPointF(203.4, 141.4));
    QVERIFY(m.log.contains(QStringLiteral("itemClick seg")));
  }

  void releaseInsideTheAxisRectEmitsTwice()
  {
    MousePlot m;
    m.press(QPointF(210, 140));
    m.release(QPointF(210, 140));
    // Once from the plot, once from the axis rectangle's own release handling.
    QCOMPARE(m.log, QStringList({"press", "release", "release"}));
    QCOMPARE(m.plot.cursor().shape(), Qt::ArrowCursor);
  }

  void rubberBandZoomsFromTwentyPixels()
  {
    MousePlot m;
    m.plot.xAxis2->setRange(3, 4);
    m.plot.yAxis2->setRange(0, 1000);
    const double xLo = m.plot.xAxis->pixelToCoord(100), xUp = m.plot.xAxis->pixelToCoord(119);
    const double yLo = m.plot.yAxis->pixelToCoord(69), yUp = m.plot.yAxis->pixelToCoord(50);
    const double y2Lo = m.plot.yAxis2->pixelToCoord(69), y2Up = m.plot.yAxis2->pixelToCoord(50);
    m.press(QPointF(100, 50));
    QCOMPARE(m.plot.cursor().shape(), Qt::CrossCursor);
    m.move(QPointF(110, 60), Qt::LeftButton);
    m.move(QPointF(119, 69), Qt::LeftButton);
    m.release(QPointF(119, 69));
    // The band takes the moves (no mouseMove signal); the zoom release emits only
    // the axis rectangle's mouseRelease.
    QCOMPARE(m.log, QStringList({"press", "release"}));
    QCOMPARE(m.plot.xAxis->range(), PlotRange(xLo, xUp));
    QCOMPARE(m.plot.yAxis->range(), PlotRange(yLo, yUp));
    QVERIFY(m.plot.yAxis->range().lower < m.plot.yAxis->range().upper);
    QCOMPARE(m.plot.yAxis2->range(), PlotRange(y2Lo, y2Up));
    QCOMPARE(m.plot.xAxis2->range(), PlotRange(3, 4));
    QCOMPARE(m.plot.cursor().shape(), Qt::ArrowCursor);
  }

  void rubberBandBelowTwentyPixelsIsAPlainRelease()
  {
    MousePlot m;
    // 19 x 40 (right - left = 18): hidden, no zoom, a normal release.
    m.press(QPointF(100, 50));
    m.move(QPointF(118, 89), Qt::LeftButton);
    m.release(QPointF(118, 89));
    QCOMPARE(m.plot.xAxis->range(), PlotRange(0, 100));
    QCOMPARE(m.plot.yAxis->range(), PlotRange(0, 50));
    QCOMPARE(m.log, QStringList({"press", "release", "release"}));

    // Drawn from bottom-right to top-left, 20 x 20 zooms all the same.
    m.log.clear();
    const double xLo = m.plot.xAxis->pixelToCoord(100), xUp = m.plot.xAxis->pixelToCoord(119);
    m.press(QPointF(119, 69));
    m.move(QPointF(100, 50), Qt::LeftButton);
    m.release(QPointF(100, 50));
    QCOMPARE(m.plot.xAxis->range(), PlotRange(xLo, xUp));
    QCOMPARE(m.log, QStringList({"press", "release"}));

    // 40 x 19: no zoom either.
    const PlotRange before = m.plot.xAxis->range();
    m.press(QPointF(100, 50));
    m.move(QPointF(139, 68), Qt::LeftButton);
    m.release(QPointF(139, 68));
    QCOMPARE(m.plot.xAxis->range(), before);
  }

  void wheelOnlyReports()
  {
    MousePlot m;
    const QPointF pos(210, 140);
    QWheelEvent wheel(pos, m.plot.mapToGlobal(pos), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&m.plot, &wheel);
    QCOMPARE(m.log, QStringList({"wheel 240"}));
    // Even with range zoom on, the plot itself leaves the ranges alone.
    QCOMPARE(m.plot.xAxis->range(), PlotRange(0, 100));
    QCOMPARE(m.plot.yAxis->range(), PlotRange(0, 50));
  }

  void dragOfTheTimeAxis()
  {
    MousePlot m;
    m.plot.xAxis->setRange(10, 20);
    const QPoint start = MousePlot::on(m.plot.xAxis);
    m.press(start);
    QCOMPARE(m.plot.cursor().shape(), Qt::PointingHandCursor);
    m.move(start + QPoint(-32, 0), Qt::LeftButton);
    // 32 pixels are a tenth of the 320-pixel axis: one unit.
    QCOMPARE(m.plot.xAxis->range(), PlotRange(11, 21));
    QCOMPARE(m.plot.cursor().shape(), Qt::ClosedHandCursor);
    m.release(start + QPoint(-32, 0));
    QCOMPARE(m.log, QStringList({"press", "move", "release", "release"}));

    // Into the lower limit: the signal with the range the drag wanted.
    m.log.clear();
    m.plot.xAxis->setRange(0, 10);
    m.press(start);
    m.move(start + QPoint(32, 0), Qt::LeftButton);
    QCOMPARE(m.log, QStringList({"press", "move", "border -1 9"}));
    QCOMPARE(m.plot.xAxis->range(), PlotRange(0, 10));
    m.release(start + QPoint(32, 0));
  }

  void cursorShapes()
  {
    MousePlot m;
    const QPoint left = MousePlot::on(m.plot.yAxis);
    const QPoint bottom = MousePlot::on(m.plot.xAxis);
    m.move(left, Qt::NoButton, Qt::ControlModifier);
    QCOMPARE(m.plot.cursor().shape(), Qt::SizeVerCursor);
    m.move(bottom, Qt::NoButton, Qt::ControlModifier);
    QCOMPARE(m.plot.cursor().shape(), Qt::PointingHandCursor);
    m.move(left, Qt::NoButton, Qt::ShiftModifier);
    QCOMPARE(m.plot.cursor().shape(), Qt::PointingHandCursor);
    m.move(left, Qt::NoButton, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m.plot.cursor().shape(), Qt::PointingHandCursor);
    m.move(left);
    QCOMPARE(m.plot.cursor().shape(), Qt::PointingHandCursor);
    m.move(QPointF(210, 140));
    QCOMPARE(m.plot.cursor().shape(), Qt::ArrowCursor);

    m.press(left);
    QCOMPARE(m.plot.cursor().shape(), Qt::SizeVerCursor);
    m.move(left + QPoint(0, 1), Qt::LeftButton);
    QCOMPARE(m.plot.cursor().shape(), Qt::ClosedHandCursor);
    m.release(left + QPoint(0, 1));
    QCOMPARE(m.plot.cursor().shape(), Qt::ArrowCursor);
  }

  void timeAxisToolTip()
  {
    MousePlot m;
    const QPoint bottom = MousePlot::on(m.plot.xAxis);
    QToolTip::hideText();
    m.move(bottom, Qt::NoButton, Qt::ControlModifier);
    QVERIFY(!QToolTip::isVisible());
    m.move(MousePlot::on(m.plot.yAxis));
    QVERIFY(!QToolTip::isVisible());
    m.move(bottom);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Use mouse to move time window left and right. Use mouse wheel to zoom "
                                              "in or zoom out the time window displayed"));
    QToolTip::hideText();
  }

  void selectionTolerance()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    item->setLayer(QStringLiteral("legend"));
    p.plot.addItem(item);
    item->distance = 8.0;
    QVERIFY(p.plot.layerableAt(QPointF(200, 100), false) != item);
    QCOMPARE(p.plot.itemAt(QPointF(200, 100)), nullptr);
    item->distance = 7.99;
    QCOMPARE(p.plot.layerableAt(QPointF(200, 100), false), item);
    QCOMPARE(p.plot.itemAt(QPointF(200, 100)), item);

    // Of two equally near items on one layer the upper one is hit.
    ProbeItem *upper = new ProbeItem(&p.plot);
    upper->setLayer(QStringLiteral("legend"));
    upper->distance = 7.99;
    QCOMPARE(p.plot.layerableAt(QPointF(200, 100), false), upper);
    // A nearer one below it wins within the layer.
    item->distance = 3;
    QCOMPARE(p.plot.layerableAt(QPointF(200, 100), false), item);

    // Only selectable ones count with the flag.
    item->setSelectable(false);
    QCOMPARE(p.plot.layerableAt(QPointF(200, 100), true), upper);
    QCOMPARE(p.plot.itemAt(QPointF(200, 100), true), nullptr); // upper is not listed
    QCOMPARE(p.plot.itemAt(QPointF(200, 100), false), item);
    // An item clipped to the axis rect is considered only inside it.
    QCOMPARE(p.plot.itemAt(QPointF(20, 100), false), nullptr);
    item->setClipToAxisRect(false);
    QCOMPARE(p.plot.itemAt(QPointF(20, 100), false), item);

    // A candidate just beyond the tolerance (within 1.1 times it) shadows the
    // rest of its layer, but a lower layer may still answer.
    upper->distance = 8.5;
    item->distance = -1;
    QVariant details;
    PlotLayerable *hit = p.plot.layerableAt(QPointF(200, 100), false, &details);
    QVERIFY(hit != upper && hit != item);
    // The root layout on the main layer takes every click inside the viewport.
    QCOMPARE(hit, static_cast<PlotLayerable *>(p.plot.plotLayout()));
  }

  void plottableHitAndClicks()
  {
    MousePlot m;
    PlotGraph *graph = m.plot.addGraph();
    graph->setName(QStringLiteral("ch0"));
    graph->setData(QList<double>({0, 50, 100}), QList<double>({25, 25, 25}));
    m.plot.replot();
    const QPointF onGraph(m.plot.xAxis->coordToPixel(60), m.plot.yAxis->coordToPixel(25));
    QCOMPARE(m.plot.plottableAt(onGraph), graph);
    QCOMPARE(m.plot.plottableAt(onGraph + QPointF(0, 20)), nullptr);
    QCOMPARE(m.plot.plottableAt(QPointF(20, onGraph.y())), nullptr); // beside the axis rect

    // A right-button click reports the graph but selects nothing.
    m.plot.setInteractions(Plot::iaSelectPlottables);
    m.click(onGraph, Qt::RightButton);
    QVERIFY(m.log.contains(QStringLiteral("plottableClick ch0")));
    QVERIFY(!graph->selected());
    QVERIFY(!m.log.contains(QStringLiteral("selection")));

    m.log.clear();
    m.click(onGraph);
    QVERIFY(graph->selected());
    QCOMPARE(m.plot.selectedPlottables(), QList<PlotAbstractPlottable *>({graph}));
    QCOMPARE(m.log, QStringList({"press", "release", "selection", "plottableClick ch0", "release"}));

    m.log.clear();
    m.doubleClick(onGraph);
    QCOMPARE(m.log, QStringList({"double", "plottableDoubleClick ch0"}));
  }

  void axisClicksCarryThePart()
  {
    MousePlot m;
    const QPoint bottom = MousePlot::on(m.plot.xAxis);
    QVariant details;
    QCOMPARE(m.plot.layerableAt(bottom, false, &details), m.plot.xAxis);
    const int part = int(details.value<PlotAxis::SelectablePart>());
    QVERIFY(part != PlotAxis::spNone);
    m.click(bottom);
    QVERIFY(m.log.contains(QStringLiteral("axisClick x %1").arg(part)));
    m.log.clear();
    m.doubleClick(bottom);
    QCOMPARE(m.log, QStringList({"double", QStringLiteral("axisDoubleClick x %1").arg(part)}));

    // Selecting axes follows the interaction flag.
    QVERIFY(m.plot.selectedAxes().isEmpty());
    m.plot.setInteractions(Plot::iaSelectAxes);
    m.click(bottom);
    QCOMPARE(m.plot.selectedAxes(), QList<PlotAxis *>({m.plot.xAxis}));
    QCOMPARE(int(m.plot.xAxis->selectedParts()), part);
  }

  void selectionAndAdditiveSelection()
  {
    MousePlot m;
    PlotItemLine *a = addSegment(m.plot, QStringLiteral("a"), 100);
    PlotItemLine *b = addSegment(m.plot, QStringLiteral("b"), 180);
    const QPointF onA(200, 100), onB(200, 180), empty(200, 140);

    // Without the selection flag a click only reports the item.
    m.click(onA);
    QVERIFY(m.log.contains(QStringLiteral("itemClick a")));
    QVERIFY(!a->selected());

    m.plot.setInteractions(Plot::iaSelectItems);
    m.log.clear();
    m.click(onA);
    QVERIFY(a->selected());
    QCOMPARE(m.log.count(QStringLiteral("selection")), 1);
    m.log.clear();
    m.click(onA); // already selected: no change, no signal
    QCOMPARE(m.log.count(QStringLiteral("selection")), 0);

    // A plain click elsewhere moves the selection.
    m.click(onB);
    QVERIFY(!a->selected());
    QVERIFY(b->selected());
    QCOMPARE(m.plot.selectedItems(), QList<PlotAbstractItem *>({b}));

    // Ctrl without the multi-select interaction is a plain click.
    m.click(onA, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(m.plot.selectedItems(), QList<PlotAbstractItem *>({a}));

    // With it, Ctrl-clicks add and toggle.
    m.plot.setInteractions(Plot::iaSelectItems | Plot::iaMultiSelect);
    m.click(onB, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(m.plot.selectedItems(), QList<PlotAbstractItem *>({a, b}));
    m.log.clear();
    m.click(onA, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(m.plot.selectedItems(), QList<PlotAbstractItem *>({b}));
    QCOMPARE(m.log.count(QStringLiteral("selection")), 1);
    // A modifier set that merely contains Ctrl counts as well.
    m.click(onA, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m.plot.selectedItems(), QList<PlotAbstractItem *>({a, b}));

    // Another multi-select modifier; a plain click on empty ground deselects all.
    m.plot.setMultiSelectModifier(Qt::ShiftModifier);
    m.click(onA, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(m.plot.selectedItems(), QList<PlotAbstractItem *>({a}));
    m.log.clear();
    m.click(empty);
    QVERIFY(m.plot.selectedItems().isEmpty());
    QCOMPARE(m.log.count(QStringLiteral("selection")), 1);

    // A non-selectable item is reported but never selected.
    b->setSelectable(false);
    m.log.clear();
    m.click(onB);
    QVERIFY(!b->selected());
    QVERIFY(m.log.contains(QStringLiteral("itemClick b")));
    QCOMPARE(m.log.count(QStringLiteral("selection")), 0);
  }

  void deselectAllIgnoresTheFlags()
  {
    MousePlot m;
    PlotItemLine *a = addSegment(m.plot, QStringLiteral("a"), 100);
    PlotGraph *graph = m.plot.addGraph();
    a->setSelected(true);
    graph->setSelected(true);
    m.plot.xAxis->setSelectedParts(PlotAxis::spAxis);
    m.plot.deselectAll();
    QVERIFY(!a->selected());
    QVERIFY(!graph->selected());
    QVERIFY(m.plot.selectedAxes().isEmpty());
    QVERIFY(!m.log.contains(QStringLiteral("selection")));
  }

  void itemDoubleClick()
  {
    MousePlot m;
    addSegment(m.plot, QStringLiteral("a"), 100);
    m.doubleClick(QPointF(200, 101));
    QCOMPARE(m.log, QStringList({"double", "itemDoubleClick a"}));
  }

  void pressedElementMayVanish()
  {
    MousePlot m;
    PlotAxisRect *second = new PlotAxisRect(&m.plot);
    m.plot.plotLayout()->addElement(1, 0, second);
    m.plot.replot();
    const QPoint inside = second->rect().center();
    m.press(inside, Qt::RightButton);
    m.plot.plotLayout()->remove(second);
    m.move(inside + QPoint(1, 0), Qt::RightButton);
    m.release(inside + QPoint(1, 0), Qt::RightButton);
    QCOMPARE(m.log.count(QStringLiteral("release")), 1);
  }
};

TOVRI_TEST(PlotInteractionTest)
#include "tst_interaction.moc"
