#include "itemfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QByteArray address(const void *p)
{
  return QByteArray::number(reinterpret_cast<quintptr>(p));
}

void expectDebug(const QByteArray &message)
{
  QTest::ignoreMessage(QtDebugMsg, message.constData());
}

bool near(const QPointF &a, const QPointF &b, double eps = 1e-6)
{
  return qAbs(a.x() - b.x()) <= eps && qAbs(a.y() - b.y()) <= eps;
}
} // namespace

class PlotItemTest : public QObject
{
  Q_OBJECT
private slots:
  void newItemClipsToTheFirstAxisRect()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    QVERIFY(item->clipToAxisRect());
    QCOMPARE(item->clipAxisRect(), p.rect);
    QCOMPARE(item->parentLayerable(), p.rect);
    QCOMPARE(item->clipRect(), QRect(50, 20, 320, 240));
    QCOMPARE(item->layer(), p.plot.layer(QStringLiteral("main")));
    QVERIFY(item->selectable());
    QVERIFY(!item->selected());
    QCOMPARE(item->selectionCategory(), Plot::iaSelectItems);

    // Turning clipping off keeps the parent layerable; only a true value
    // reassigns it.
    item->setClipToAxisRect(false);
    QCOMPARE(item->parentLayerable(), p.rect);
    QCOMPARE(item->clipRect(), p.plot.viewport());
    item->setClipAxisRect(nullptr);
    QCOMPARE(item->parentLayerable(), p.rect);
    item->setClipToAxisRect(true);
    QCOMPARE(item->parentLayerable(), nullptr);
    QCOMPARE(item->clipRect(), p.plot.viewport());
  }

  void itemWithoutAxisRectUsesTheViewport()
  {
    ItemPlot p;
    p.plot.plotLayout()->clear();
    QCOMPARE(p.plot.axisRectCount(), 0);
    ProbeItem *item = new ProbeItem(&p.plot);
    QVERIFY(!item->clipToAxisRect());
    QCOMPARE(item->clipAxisRect(), nullptr);
    QCOMPARE(item->clipRect(), QRect(0, 0, 400, 300));

    // Without axes a new position still becomes plot coordinates, silently;
    // only reading it reports the missing axes.
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    QCOMPARE(pos->typeX(), PlotItemPosition::ptPlotCoords);
    QCOMPARE(pos->axisRect(), nullptr);
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemPosition::pixelPoint() const "
                                     "Item position type x is "
                                     "ptPlotCoords, but no axes were defined");
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemPosition::pixelPoint() const "
                                     "Item position type y is "
                                     "ptPlotCoords, but no axes were defined");
    QCOMPARE(pos->pixelPoint(), QPointF(0, 0));
  }

  void clipAxisRectIsAWeakReference()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotAxisRect *second = new PlotAxisRect(&p.plot);
    p.plot.plotLayout()->addElement(0, 1, second);
    item->setClipAxisRect(second);
    QCOMPARE(item->parentLayerable(), second);
    p.plot.plotLayout()->remove(second);
    QCOMPARE(item->clipAxisRect(), nullptr);
    QCOMPARE(item->clipRect(), p.plot.viewport());
  }

  void createdPositionsStartInPlotCoordinates()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    QCOMPARE(pos->typeX(), PlotItemPosition::ptPlotCoords);
    QCOMPARE(pos->typeY(), PlotItemPosition::ptPlotCoords);
    QCOMPARE(pos->keyAxis(), p.plot.xAxis);
    QCOMPARE(pos->valueAxis(), p.plot.yAxis);
    QCOMPARE(pos->axisRect(), p.rect);
    QCOMPARE(pos->coords(), QPointF(0, 0));
    QCOMPARE(pos->anchorId(), -1);
    QCOMPARE(pos->parentItem(), item);
    QCOMPARE(item->positions(), QList<PlotItemPosition *>({pos}));
    QCOMPARE(item->anchors(), QList<PlotItemAnchor *>({pos}));
    // (0, 0) is the bottom-left corner of the data area.
    QCOMPARE(pos->pixelPoint(), QPointF(50, 259));
  }

  void namesAreLookedUpExactly()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *first = item->createPosition(QStringLiteral("a"));
    QTest::ignoreMessage(QtDebugMsg, "PlotItemPosition* PlotAbstractItem::createPosition(const QString&) "
                                     "anchor/position with name exists already: \"a\"");
    PlotItemPosition *second = item->createPosition(QStringLiteral("a"));
    QVERIFY(second && second != first);
    QCOMPARE(item->position(QStringLiteral("a")), first);
    PlotItemAnchor *corner = item->createAnchor(QStringLiteral("corner"), 0);
    QCOMPARE(item->positions().size(), 2);
    QCOMPARE(item->anchors().size(), 3);
    QCOMPARE(item->anchor(QStringLiteral("corner")), corner);
    QCOMPARE(item->anchor(QStringLiteral("a")), first);
    QVERIFY(item->hasAnchor(QStringLiteral("corner")));
    QVERIFY(!item->hasAnchor(QStringLiteral("Corner")));

    QTest::ignoreMessage(QtDebugMsg, "PlotItemAnchor* PlotAbstractItem::createAnchor(const QString&, int) "
                                     "anchor/position with name exists already: \"corner\"");
    item->createAnchor(QStringLiteral("corner"), 1);
    QTest::ignoreMessage(QtDebugMsg, "PlotItemAnchor* PlotAbstractItem::anchor(const "
                                     "QString&) const anchor with name not found: "
                                     "\"Corner\"");
    QCOMPARE(item->anchor(QStringLiteral("Corner")), nullptr);
    QTest::ignoreMessage(QtDebugMsg, "PlotItemPosition* PlotAbstractItem::position(const "
                                     "QString&) const position "
                                     "with name not found: \"corner\"");
    QCOMPARE(item->position(QStringLiteral("corner")), nullptr);
  }

  void positionInEachCoordinateType()
  {
    ItemPlot p;
    p.plot.setViewport(QRect(10, 5, 200, 100));
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));

    pos->setType(PlotItemPosition::ptPixelCoords);
    pos->setCoords(12.5, 7.25);
    QCOMPARE(pos->pixelPoint(), QPointF(12.5, 7.25));

    pos->setType(PlotItemPosition::ptViewRatio);
    pos->setCoords(0.5, 0.25);
    QCOMPARE(pos->pixelPoint(), QPointF(110, 30));

    pos->setType(PlotItemPosition::ptAxisRectRatio);
    pos->setCoords(0.5, 1.0);
    QCOMPARE(pos->pixelPoint(), QPointF(50 + 160, 20 + 240));

    pos->setType(PlotItemPosition::ptPlotCoords);
    pos->setCoords(25, 10);
    QCOMPARE(pos->pixelPoint(), QPointF(p.plot.xAxis->coordToPixel(25), p.plot.yAxis->coordToPixel(10)));
    QCOMPARE(pos->pixelPoint(), QPointF(130, 211));

    // Mixed: x as a fraction of the axis rect, y in plot coordinates.
    pos->setTypeX(PlotItemPosition::ptAxisRectRatio);
    pos->setCoords(0.25, 10);
    QCOMPARE(pos->pixelPoint(), QPointF(130, 211));
  }

  void plotCoordinatesFollowTheAxisTransform()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    p.plot.xAxis->setScaleType(PlotAxis::stLogarithmic);
    p.plot.xAxis->setRange(1, 1000);
    pos->setCoords(10, 25);
    QCOMPARE(pos->pixelPoint().x(), p.plot.xAxis->coordToPixel(10));
    QVERIFY(qAbs(pos->pixelPoint().x() - (50 + 320.0 / 3)) < 1e-6);

    // A vertical key axis: the key gives y, the value x.
    pos->setAxes(p.plot.yAxis, p.plot.xAxis);
    pos->setCoords(25, 10);
    QVERIFY(near(pos->pixelPoint(), QPointF(p.plot.xAxis->coordToPixel(10), p.plot.yAxis->coordToPixel(25))));

    // setPixelPoint is the inverse for that arrangement too.
    pos->setPixelPoint(QPointF(290, 100));
    QVERIFY(near(pos->pixelPoint(), QPointF(290, 100), 1e-6));
  }

  void setPixelPointInvertsEachType()
  {
    ItemPlot p;
    p.plot.setViewport(QRect(10, 5, 200, 100));
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    const QPointF target(123.5, 77.25);
    for (PlotItemPosition::PositionType type : {PlotItemPosition::ptPixelCoords, PlotItemPosition::ptViewRatio,
                                                PlotItemPosition::ptAxisRectRatio, PlotItemPosition::ptPlotCoords}) {
      pos->setType(type);
      pos->setPixelPoint(target);
      QVERIFY2(near(pos->pixelPoint(), target), qPrintable(QString::number(type)));
    }
    pos->setType(PlotItemPosition::ptViewRatio);
    pos->setPixelPoint(QPointF(110, 30));
    QCOMPARE(pos->coords(), QPointF(0.5, 0.25));
  }

  void typeChangesKeepTheScreenPoint()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    pos->setCoords(25, 10);
    const QPointF before = pos->pixelPoint();
    pos->setType(PlotItemPosition::ptAxisRectRatio);
    QVERIFY(near(pos->pixelPoint(), before));
    QCOMPARE(pos->key(), 0.25);
    pos->setTypeY(PlotItemPosition::ptViewRatio);
    QVERIFY(near(pos->pixelPoint(), before));
    pos->setType(PlotItemPosition::ptPixelCoords);
    QCOMPARE(pos->coords(), before);
  }

  void typeChangeWithoutAxisRectOnlyStoresTheType()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    pos->setAxisRect(nullptr);
    pos->setType(PlotItemPosition::ptPixelCoords);
    pos->setCoords(30, 40);
    pos->setType(PlotItemPosition::ptAxisRectRatio); // no message here
    QCOMPARE(pos->typeX(), PlotItemPosition::ptAxisRectRatio);
    QCOMPARE(pos->coords(), QPointF(30, 40));
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemPosition::pixelPoint() const "
                                     "Item position type x is "
                                     "ptAxisRectRatio, but no axis rect was defined");
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemPosition::pixelPoint() const "
                                     "Item position type y is "
                                     "ptAxisRectRatio, but no axis rect was defined");
    QCOMPARE(pos->pixelPoint(), QPointF(0, 0));
    QTest::ignoreMessage(QtDebugMsg, "void PlotItemPosition::setPixelPoint(const QPointF&) "
                                     "Item position type x is "
                                     "ptAxisRectRatio, but no axis rect was defined");
    QTest::ignoreMessage(QtDebugMsg, "void PlotItemPosition::setPixelPoint(const QPointF&) "
                                     "Item position type y is "
                                     "ptAxisRectRatio, but no axis rect was defined");
    pos->setPixelPoint(QPointF(7, 8));
    QCOMPARE(pos->coords(), QPointF(7, 8));
  }

  void destroyedAxesGiveZeroWithMessages()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    PlotAxis *keyAxis = p.rect->addAxis(PlotAxis::atBottom);
    PlotAxis *valueAxis = p.rect->addAxis(PlotAxis::atLeft);
    pos->setAxes(keyAxis, valueAxis);
    pos->setCoords(1, 1);
    p.rect->removeAxis(keyAxis);
    p.rect->removeAxis(valueAxis);
    QCOMPARE(pos->keyAxis(), nullptr);
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemPosition::pixelPoint() const "
                                     "Item position type x is "
                                     "ptPlotCoords, but no axes were defined");
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemPosition::pixelPoint() const "
                                     "Item position type y is "
                                     "ptPlotCoords, but no axes were defined");
    QCOMPARE(pos->pixelPoint(), QPointF(0, 0));
    // Switching away from plot coordinates without axes writes nothing.
    pos->setType(PlotItemPosition::ptPixelCoords);
    QCOMPARE(pos->coords(), QPointF(1, 1));
  }

  void collapsedViewportGivesDefinedRatios()
  {
    ItemPlot p;
    p.plot.setViewport(QRect(10, 5, 0, 0));
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    pos->setType(PlotItemPosition::ptViewRatio);
    pos->setPixelPoint(QPointF(50, 60));
    QCOMPARE(pos->coords(), QPointF(0, 0));
    QCOMPARE(pos->pixelPoint(), QPointF(10, 5));
  }

  void positionsHangOnParentAnchors()
  {
    ItemPlot p;
    p.plot.setViewport(QRect(10, 5, 200, 100));
    ProbeItem *parentItem = new ProbeItem(&p.plot);
    parentItem->anchorPoint = QPointF(100, 60);
    PlotItemAnchor *corner = parentItem->createAnchor(QStringLiteral("corner"), 0);
    QCOMPARE(corner->pixelPoint(), QPointF(100, 60));

    ProbeItem *child = new ProbeItem(&p.plot);
    PlotItemPosition *pos = child->createPosition(QStringLiteral("p"));
    pos->setCoords(25, 10);

    // Attaching a plot-coordinate position switches it to pixels and puts it on
    // the anchor.
    QVERIFY(pos->setParentAnchor(corner));
    QCOMPARE(pos->typeX(), PlotItemPosition::ptPixelCoords);
    QCOMPARE(pos->typeY(), PlotItemPosition::ptPixelCoords);
    QCOMPARE(pos->parentAnchorX(), corner);
    QCOMPARE(pos->parentAnchorY(), corner);
    QCOMPARE(pos->coords(), QPointF(0, 0));
    QCOMPARE(pos->pixelPoint(), QPointF(100, 60));
    QVERIFY(corner->childrenX().contains(pos));
    QVERIFY(corner->childrenY().contains(pos));

    pos->setCoords(5, -3);
    QCOMPARE(pos->pixelPoint(), QPointF(105, 57));
    parentItem->anchorPoint = QPointF(0, 0);
    QCOMPARE(pos->pixelPoint(), QPointF(5, -3));

    // Ratios relative to the anchor instead of the viewport's corner.
    pos->setType(PlotItemPosition::ptViewRatio);
    pos->setCoords(0.5, 0.5);
    parentItem->anchorPoint = QPointF(20, 30);
    QCOMPARE(pos->pixelPoint(), QPointF(20 + 100, 30 + 50));
    pos->setType(PlotItemPosition::ptAxisRectRatio);
    pos->setCoords(0.5, 0.5);
    QCOMPARE(pos->pixelPoint(), QPointF(20 + 160, 30 + 120));

    // Keeping the pixel position while moving to another anchor.
    ProbeItem *other = new ProbeItem(&p.plot);
    other->anchorPoint = QPointF(50, 50);
    PlotItemAnchor *otherAnchor = other->createAnchor(QStringLiteral("o"), 0);
    pos->setType(PlotItemPosition::ptPixelCoords);
    const QPointF before = pos->pixelPoint();
    QVERIFY(pos->setParentAnchorX(otherAnchor, true));
    QCOMPARE(pos->pixelPoint(), before);
    QVERIFY(!corner->childrenX().contains(pos));
    QVERIFY(otherAnchor->childrenX().contains(pos));

    // Detaching.
    QVERIFY(pos->setParentAnchor(nullptr, true));
    QCOMPARE(pos->parentAnchorX(), nullptr);
    QCOMPARE(pos->pixelPoint(), before);
    QVERIFY(otherAnchor->childrenX().isEmpty());
    QVERIFY(corner->childrenY().isEmpty());
  }

  void parentAnchorRejectsLoops()
  {
    ItemPlot p;
    ProbeItem *a = new ProbeItem(&p.plot);
    PlotItemPosition *posA = a->createPosition(QStringLiteral("a"));
    PlotItemAnchor *ownAnchor = a->createAnchor(QStringLiteral("own"), 0);
    ProbeItem *b = new ProbeItem(&p.plot);
    PlotItemPosition *posB = b->createPosition(QStringLiteral("b"));
    posA->setCoords(3, 4);

    expectDebug(QByteArray("bool PlotItemPosition::setParentAnchorX(PlotItemAnchor*, bool) "
                           "can't set self as parent anchor ") +
                address(static_cast<PlotItemAnchor *>(posA)));
    QVERIFY(!posA->setParentAnchorX(posA));

    QVERIFY(posB->setParentAnchorX(posA));
    expectDebug(QByteArray("bool PlotItemPosition::setParentAnchorX(PlotItemAnchor*, bool) "
                           "can't create recursive parent-child-relationship ") +
                address(static_cast<PlotItemAnchor *>(posB)));
    QVERIFY(!posA->setParentAnchorX(posB));

    expectDebug(QByteArray("bool PlotItemPosition::setParentAnchorY(PlotItemAnchor*, bool) "
                           "can't set parent to be an anchor which itself depends on this "
                           "position ") +
                address(ownAnchor));
    QVERIFY(!posA->setParentAnchorY(ownAnchor));

    // Nothing changed by the refusals.
    QCOMPARE(posA->parentAnchorX(), nullptr);
    QCOMPARE(posA->parentAnchorY(), nullptr);
    QCOMPARE(posA->typeX(), PlotItemPosition::ptPlotCoords);
    QCOMPARE(posA->coords(), QPointF(3, 4));

    // setParentAnchor tries both coordinates. y would loop as well, though
    // b's y does not hang on a: reading b's pixel point reads its x, which
    // hangs on a.
    expectDebug(QByteArray("bool PlotItemPosition::setParentAnchorX(PlotItemAnchor*, bool) "
                           "can't create recursive parent-child-relationship ") +
                address(static_cast<PlotItemAnchor *>(posB)));
    expectDebug(QByteArray("bool PlotItemPosition::setParentAnchorY(PlotItemAnchor*, bool) "
                           "can't create recursive parent-child-relationship ") +
                address(static_cast<PlotItemAnchor *>(posB)));
    QVERIFY(!posA->setParentAnchor(posB));
    QCOMPARE(posA->parentAnchorX(), nullptr);
    QCOMPARE(posA->parentAnchorY(), nullptr);
    QCOMPARE(posA->pixelPoint(), QPointF(p.plot.xAxis->coordToPixel(3), p.plot.yAxis->coordToPixel(4)));

    // A loop through another item's anchors: text t hangs on u's bottom, so
    // u's position may not hang on t's top.
    PlotItemText *t = new PlotItemText(&p.plot);
    PlotItemText *u = new PlotItemText(&p.plot);
    QVERIFY(t->position->setParentAnchor(u->bottom));
    expectDebug(QByteArray("bool PlotItemPosition::setParentAnchorX(PlotItemAnchor*, bool) "
                           "can't create recursive parent-child-relationship ") +
                address(t->top));
    QVERIFY(!u->position->setParentAnchorX(t->top));
    QCOMPARE(u->position->parentAnchorX(), nullptr);
    QCOMPARE(t->position->pixelPoint(), u->bottom->pixelPoint());
    // Hanging on an anchor of an item that does not depend on this one is fine.
    PlotItemText *w = new PlotItemText(&p.plot);
    QVERIFY(u->position->setParentAnchor(w->top));
  }

  void deletingAParentDetachesItsChildren()
  {
    ItemPlot p;
    ProbeItem *parentItem = new ProbeItem(&p.plot);
    parentItem->anchorPoint = QPointF(100, 60);
    PlotItemAnchor *corner = parentItem->createAnchor(QStringLiteral("corner"), 0);
    PlotItemPosition *parentPos = parentItem->createPosition(QStringLiteral("pp"));
    parentPos->setType(PlotItemPosition::ptPixelCoords);
    parentPos->setCoords(10, 20);

    ProbeItem *child = new ProbeItem(&p.plot);
    PlotItemPosition *pos = child->createPosition(QStringLiteral("p"));
    QVERIFY(pos->setParentAnchorX(corner));
    QVERIFY(pos->setParentAnchorY(parentPos));
    pos->setCoords(7, 8);
    QCOMPARE(pos->pixelPoint(), QPointF(107, 28));

    delete parentItem;
    QCOMPARE(pos->parentAnchorX(), nullptr);
    QCOMPARE(pos->parentAnchorY(), nullptr);
    QCOMPARE(pos->coords(), QPointF(0, 0));
    QCOMPARE(pos->pixelPoint(), QPointF(0, 0));

    // A child deleted first unregisters itself from its parent.
    ProbeItem *parent2 = new ProbeItem(&p.plot);
    PlotItemAnchor *anchor2 = parent2->createAnchor(QStringLiteral("a"), 0);
    ProbeItem *child2 = new ProbeItem(&p.plot);
    QVERIFY(child2->createPosition(QStringLiteral("p"))->setParentAnchor(anchor2));
    QCOMPARE(anchor2->childrenX().size(), 1);
    delete child2;
    QVERIFY(anchor2->childrenX().isEmpty());
    QVERIFY(anchor2->childrenY().isEmpty());
  }

  void anchorMisuseIsReported()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    PlotItemPosition *pos = item->createPosition(QStringLiteral("p"));
    PlotItemAnchor orphan(&p.plot, nullptr, QStringLiteral("orphan"), 0);
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemAnchor::pixelPoint() const "
                                     "no parent item set");
    QCOMPARE(orphan.pixelPoint(), QPointF());
    PlotItemAnchor noId(&p.plot, item, QStringLiteral("noId"));
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemAnchor::pixelPoint() const "
                                     "no valid anchor id set: -1");
    QCOMPARE(noId.pixelPoint(), QPointF());
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotAbstractItem::anchorPixelPoint(int) "
                                     "const called on item "
                                     "which shouldn't have any anchors (this method not "
                                     "reimplemented). anchorId 3");
    QCOMPARE(item->baseAnchorPixelPoint(3), QPointF());

    orphan.addChildX(pos);
    expectDebug(QByteArray("void PlotItemAnchor::addChildX(PlotItemPosition*) provided pos is "
                           "child already ") +
                address(pos));
    orphan.addChildX(pos);
    QCOMPARE(orphan.childrenX().size(), 1);
    orphan.removeChildX(pos);
    expectDebug(QByteArray("void PlotItemAnchor::removeChildY(PlotItemPosition*) "
                           "provided pos isn't child ") +
                address(pos));
    orphan.removeChildY(pos);
  }

  void rectangleAndSegmentDistances()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    const QRectF box(100, 100, 50, 30);
    // Inside a filled box far from its borders: just below the tolerance.
    QCOMPARE(item->rectSelectTest(box, QPointF(125, 115), true), 8 * 0.99);
    // Inside an unfilled box: the distance to the nearest border.
    QCOMPARE(item->rectSelectTest(box, QPointF(125, 115), false), 15.0);
    // Near a border the true distance counts, inside or not.
    QCOMPARE(item->rectSelectTest(box, QPointF(102, 115), true), 2.0);
    QCOMPARE(item->rectSelectTest(box, QPointF(155, 115), true), 5.0);
    // The right and bottom borders lie at left + width and top + height.
    QCOMPARE(item->rectSelectTest(box, QPointF(150, 115), false), 0.0);

    QCOMPARE(item->distSqrToLine(QPointF(0, 0), QPointF(10, 0), QPointF(5, 3)), 9.0);
    // Beyond the end: to the end point, not to the infinite line.
    QCOMPARE(item->distSqrToLine(QPointF(0, 0), QPointF(10, 0), QPointF(13, 4)), 25.0);
    QCOMPARE(item->distSqrToLine(QPointF(0, 0), QPointF(10, 0), QPointF(-3, -4)), 25.0);
    // A segment of zero length is its start point.
    QCOMPARE(item->distSqrToLine(QPointF(2, 2), QPointF(2, 2), QPointF(5, 6)), 25.0);
  }

  void selectionStateAndEvents()
  {
    ItemPlot p;
    ProbeItem *item = new ProbeItem(&p.plot);
    QSignalSpy selection(item, &PlotAbstractItem::selectionChanged);
    QSignalSpy selectable(item, &PlotAbstractItem::selectableChanged);
    item->setSelected(true);
    item->setSelected(true);
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toBool(), true);

    bool changed = false;
    item->selectEvent(nullptr, true, QVariant(), &changed);
    QVERIFY(changed);
    QVERIFY(!item->selected());
    item->selectEvent(nullptr, false, QVariant(), &changed);
    QVERIFY(changed);
    QVERIFY(item->selected());
    item->selectEvent(nullptr, false, QVariant(), &changed);
    QVERIFY(!changed);
    item->deselectEvent(&changed);
    QVERIFY(changed);
    QVERIFY(!item->selected());
    QCOMPARE(selection.count(), 4);

    // A non-selectable item ignores the events and leaves the flag alone, but
    // setSelected still works.
    item->setSelectable(false);
    item->setSelectable(false);
    QCOMPARE(selectable.count(), 1);
    changed = true;
    item->selectEvent(nullptr, false, QVariant(), &changed);
    QVERIFY(changed);
    QVERIFY(!item->selected());
    item->setSelected(true);
    QVERIFY(item->selected());
    changed = false;
    item->deselectEvent(&changed);
    QVERIFY(item->selected());
    QVERIFY(!changed);
  }
};

TOVRI_TEST(PlotItemTest)
#include "tst_item.moc"
