#include "plotitem.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotpainter.h"
#include "plotplottable.h"
#include "plotwidget.h"

#include <QDebug>
#include <cmath>

namespace {
// A collapsed viewport or axis rectangle has no ratios; its left or top edge
// (ratio 0) is the only place a point can take in it.
double ratioOf(double pixels, int extent)
{
  return extent != 0 ? pixels / extent : 0.0;
}

// Whether the pixel position of anchor is computed, through any chain of
// parent anchors (of x or of y: a parent's whole pixel point is read for
// either) or of anchors computed from their item's positions, from target's.
// Attaching target to such an anchor would make pixelPoint() recurse without
// end.
bool dependsOn(PlotItemAnchor *anchor, const PlotItemPosition *target)
{
  QList<PlotItemAnchor *> pending{anchor};
  QSet<PlotItemAnchor *> seen;
  while (!pending.isEmpty()) {
    PlotItemAnchor *current = pending.takeLast();
    if (!current || seen.contains(current))
      continue;
    seen.insert(current);
    if (PlotItemPosition *pos = current->toPlotItemPosition()) {
      if (pos == target)
        return true;
      pending << pos->parentAnchorX() << pos->parentAnchorY();
    } else if (current->parentItem()) {
      const QList<PlotItemPosition *> positions = current->parentItem()->positions();
      for (PlotItemPosition *itemPos : positions)
        pending << itemPos;
    }
  }
  return false;
}
} // namespace

// ---------------------------------------------------------------------------
// PlotItemAnchor

PlotItemAnchor::PlotItemAnchor(PlotWidget *parentPlot, PlotAbstractItem *parentItem, const QString &name, int anchorId)
    : mName(name), mParentPlot(parentPlot), mParentItem(parentItem), mAnchorId(anchorId)
{
}

PlotItemAnchor::~PlotItemAnchor()
{
  detachChildren();
}

void PlotItemAnchor::detachChildren()
{
  // Snapshots: detaching removes the child from the set being walked.
  const QSet<PlotItemPosition *> childrenX = mChildrenX;
  for (PlotItemPosition *child : childrenX) {
    if (child->parentAnchorX() == this)
      child->setParentAnchorX(nullptr);
  }
  const QSet<PlotItemPosition *> childrenY = mChildrenY;
  for (PlotItemPosition *child : childrenY) {
    if (child->parentAnchorY() == this)
      child->setParentAnchorY(nullptr);
  }
}

QPointF PlotItemAnchor::pixelPoint() const
{
  if (!mParentItem) {
    qDebug() << Q_FUNC_INFO << "no parent item set";
    return QPointF();
  }
  if (mAnchorId < 0) {
    qDebug() << Q_FUNC_INFO << "no valid anchor id set:" << mAnchorId;
    return QPointF();
  }
  return mParentItem->anchorPixelPoint(mAnchorId);
}

void PlotItemAnchor::addChildX(PlotItemPosition *pos)
{
  if (mChildrenX.contains(pos)) {
    qDebug() << Q_FUNC_INFO << "provided pos is child already" << reinterpret_cast<quintptr>(pos);
    return;
  }
  mChildrenX.insert(pos);
}

void PlotItemAnchor::addChildY(PlotItemPosition *pos)
{
  if (mChildrenY.contains(pos)) {
    qDebug() << Q_FUNC_INFO << "provided pos is child already" << reinterpret_cast<quintptr>(pos);
    return;
  }
  mChildrenY.insert(pos);
}

void PlotItemAnchor::removeChildX(PlotItemPosition *pos)
{
  if (!mChildrenX.remove(pos))
    qDebug() << Q_FUNC_INFO << "provided pos isn't child" << reinterpret_cast<quintptr>(pos);
}

void PlotItemAnchor::removeChildY(PlotItemPosition *pos)
{
  if (!mChildrenY.remove(pos))
    qDebug() << Q_FUNC_INFO << "provided pos isn't child" << reinterpret_cast<quintptr>(pos);
}

// ---------------------------------------------------------------------------
// PlotItemPosition

PlotItemPosition::PlotItemPosition(PlotWidget *parentPlot, PlotAbstractItem *parentItem, const QString &name)
    : PlotItemAnchor(parentPlot, parentItem, name), mPositionTypeX(ptPixelCoords), mPositionTypeY(ptPixelCoords),
      mKey(0), mValue(0), mParentAnchorX(nullptr), mParentAnchorY(nullptr)
{
}

PlotItemPosition::~PlotItemPosition()
{
  // Positions hanging on this one lose their parent here, while this object is
  // still a whole position.
  detachChildren();
  if (mParentAnchorX)
    mParentAnchorX->removeChildX(this);
  if (mParentAnchorY)
    mParentAnchorY->removeChildY(this);
}

PlotAxis *PlotItemPosition::keyAxis() const
{
  return mKeyAxis.data();
}

PlotAxis *PlotItemPosition::valueAxis() const
{
  return mValueAxis.data();
}

PlotAxisRect *PlotItemPosition::axisRect() const
{
  return mAxisRect.data();
}

void PlotItemPosition::setType(PositionType type)
{
  setTypeX(type);
  setTypeY(type);
}

bool PlotItemPosition::canKeepPixelPosition(PositionType from, PositionType to) const
{
  if ((from == ptPlotCoords || to == ptPlotCoords) && (!mKeyAxis || !mValueAxis))
    return false;
  if ((from == ptAxisRectRatio || to == ptAxisRectRatio) && !mAxisRect)
    return false;
  return true;
}

void PlotItemPosition::setTypeX(PositionType type)
{
  if (type == mPositionTypeX)
    return;
  if (canKeepPixelPosition(mPositionTypeX, type)) {
    const QPointF pixel = pixelPoint();
    mPositionTypeX = type;
    setPixelPoint(pixel);
  } else {
    mPositionTypeX = type;
  }
}

void PlotItemPosition::setTypeY(PositionType type)
{
  if (type == mPositionTypeY)
    return;
  if (canKeepPixelPosition(mPositionTypeY, type)) {
    const QPointF pixel = pixelPoint();
    mPositionTypeY = type;
    setPixelPoint(pixel);
  } else {
    mPositionTypeY = type;
  }
}

bool PlotItemPosition::setParentAnchor(PlotItemAnchor *parentAnchor, bool keepPixelPosition)
{
  // Both are always tried, so a failure of one leaves the other attached.
  const bool successX = setParentAnchorX(parentAnchor, keepPixelPosition);
  const bool successY = setParentAnchorY(parentAnchor, keepPixelPosition);
  return successX && successY;
}

// Whether parentAnchor may become the parent of x (or of y); a refusal is
// reported under the caller's signature.
bool PlotItemPosition::mayAttachTo(PlotItemAnchor *parentAnchor, bool x, const char *signature) const
{
  if (parentAnchor == this) {
    qDebug() << signature << "can't set self as parent anchor" << reinterpret_cast<quintptr>(parentAnchor);
    return false;
  }
  // Walk the chain of parents of this coordinate: it must neither lead back
  // here nor end in an anchor that this position's own item computes.
  PlotItemAnchor *current = parentAnchor;
  while (current) {
    if (PlotItemPosition *currentPos = current->toPlotItemPosition()) {
      if (currentPos == this) {
        qDebug() << signature << "can't create recursive parent-child-relationship"
                 << reinterpret_cast<quintptr>(parentAnchor);
        return false;
      }
      current = x ? currentPos->parentAnchorX() : currentPos->parentAnchorY();
    } else {
      if (current->parentItem() == mParentItem) {
        qDebug() << signature << "can't set parent to be an anchor which itself depends on this position"
                 << reinterpret_cast<quintptr>(parentAnchor);
        return false;
      }
      break;
    }
  }
  if (parentAnchor && dependsOn(parentAnchor, this)) {
    qDebug() << signature << "can't create recursive parent-child-relationship"
             << reinterpret_cast<quintptr>(parentAnchor);
    return false;
  }
  return true;
}

bool PlotItemPosition::setParentAnchorX(PlotItemAnchor *parentAnchor, bool keepPixelPosition)
{
  if (!mayAttachTo(parentAnchor, true, Q_FUNC_INFO))
    return false;

  if (!mParentAnchorX && mPositionTypeX == ptPlotCoords)
    setTypeX(ptPixelCoords);

  QPointF pixel;
  if (keepPixelPosition)
    pixel = pixelPoint();
  if (mParentAnchorX)
    mParentAnchorX->removeChildX(this);
  if (parentAnchor)
    parentAnchor->addChildX(this);
  mParentAnchorX = parentAnchor;
  if (keepPixelPosition)
    setPixelPoint(pixel);
  else
    setCoords(0, mValue);
  return true;
}

bool PlotItemPosition::setParentAnchorY(PlotItemAnchor *parentAnchor, bool keepPixelPosition)
{
  if (!mayAttachTo(parentAnchor, false, Q_FUNC_INFO))
    return false;

  if (!mParentAnchorY && mPositionTypeY == ptPlotCoords)
    setTypeY(ptPixelCoords);

  QPointF pixel;
  if (keepPixelPosition)
    pixel = pixelPoint();
  if (mParentAnchorY)
    mParentAnchorY->removeChildY(this);
  if (parentAnchor)
    parentAnchor->addChildY(this);
  mParentAnchorY = parentAnchor;
  if (keepPixelPosition)
    setPixelPoint(pixel);
  else
    setCoords(mKey, 0);
  return true;
}

void PlotItemPosition::setCoords(double key, double value)
{
  mKey = key;
  mValue = value;
}

void PlotItemPosition::setCoords(const QPointF &coords)
{
  setCoords(coords.x(), coords.y());
}

void PlotItemPosition::setAxes(PlotAxis *keyAxis, PlotAxis *valueAxis)
{
  mKeyAxis = keyAxis;
  mValueAxis = valueAxis;
}

void PlotItemPosition::setAxisRect(PlotAxisRect *axisRect)
{
  mAxisRect = axisRect;
}

QPointF PlotItemPosition::pixelPoint() const
{
  QPointF result;

  switch (mPositionTypeX) {
  case ptPixelCoords:
    result.rx() = mKey;
    if (mParentAnchorX)
      result.rx() += mParentAnchorX->pixelPoint().x();
    break;
  case ptViewRatio: {
    const QRect viewport = mParentPlot ? mParentPlot->viewport() : QRect();
    result.rx() = mKey * viewport.width();
    result.rx() += mParentAnchorX ? mParentAnchorX->pixelPoint().x() : viewport.left();
    break;
  }
  case ptAxisRectRatio:
    if (mAxisRect) {
      const QRect rect = mAxisRect->rect();
      result.rx() = mKey * rect.width();
      result.rx() += mParentAnchorX ? mParentAnchorX->pixelPoint().x() : rect.left();
    } else {
      qDebug() << Q_FUNC_INFO << "Item position type x is ptAxisRectRatio, but no axis rect "
                  "was defined";
    }
    break;
  case ptPlotCoords:
    if (mKeyAxis && mKeyAxis->orientation() == Qt::Horizontal)
      result.rx() = mKeyAxis->coordToPixel(mKey);
    else if (mValueAxis && mValueAxis->orientation() == Qt::Horizontal)
      result.rx() = mValueAxis->coordToPixel(mValue);
    else
      qDebug() << Q_FUNC_INFO << "Item position type x is ptPlotCoords, but no axes were defined";
    break;
  }

  switch (mPositionTypeY) {
  case ptPixelCoords:
    result.ry() = mValue;
    if (mParentAnchorY)
      result.ry() += mParentAnchorY->pixelPoint().y();
    break;
  case ptViewRatio: {
    const QRect viewport = mParentPlot ? mParentPlot->viewport() : QRect();
    result.ry() = mValue * viewport.height();
    result.ry() += mParentAnchorY ? mParentAnchorY->pixelPoint().y() : viewport.top();
    break;
  }
  case ptAxisRectRatio:
    if (mAxisRect) {
      const QRect rect = mAxisRect->rect();
      result.ry() = mValue * rect.height();
      result.ry() += mParentAnchorY ? mParentAnchorY->pixelPoint().y() : rect.top();
    } else {
      qDebug() << Q_FUNC_INFO << "Item position type y is ptAxisRectRatio, but no axis rect "
                  "was defined";
    }
    break;
  case ptPlotCoords:
    if (mKeyAxis && mKeyAxis->orientation() == Qt::Vertical)
      result.ry() = mKeyAxis->coordToPixel(mKey);
    else if (mValueAxis && mValueAxis->orientation() == Qt::Vertical)
      result.ry() = mValueAxis->coordToPixel(mValue);
    else
      qDebug() << Q_FUNC_INFO << "Item position type y is ptPlotCoords, but no axes were defined";
    break;
  }

  return result;
}

void PlotItemPosition::setPixelPoint(const QPointF &pixelPoint)
{
  double key = pixelPoint.x();
  double value = pixelPoint.y();

  switch (mPositionTypeX) {
  case ptPixelCoords:
    if (mParentAnchorX)
      key -= mParentAnchorX->pixelPoint().x();
    break;
  case ptViewRatio: {
    const QRect viewport = mParentPlot ? mParentPlot->viewport() : QRect();
    key -= mParentAnchorX ? mParentAnchorX->pixelPoint().x() : viewport.left();
    key = ratioOf(key, viewport.width());
    break;
  }
  case ptAxisRectRatio:
    if (mAxisRect) {
      const QRect rect = mAxisRect->rect();
      key -= mParentAnchorX ? mParentAnchorX->pixelPoint().x() : rect.left();
      key = ratioOf(key, rect.width());
    } else {
      qDebug() << Q_FUNC_INFO << "Item position type x is ptAxisRectRatio, but no axis rect "
                  "was defined";
    }
    break;
  case ptPlotCoords:
    if (mKeyAxis && mKeyAxis->orientation() == Qt::Horizontal)
      key = mKeyAxis->pixelToCoord(pixelPoint.x());
    else if (mValueAxis && mValueAxis->orientation() == Qt::Horizontal)
      value = mValueAxis->pixelToCoord(pixelPoint.x());
    else
      qDebug() << Q_FUNC_INFO << "Item position type x is ptPlotCoords, but no axes were defined";
    break;
  }

  switch (mPositionTypeY) {
  case ptPixelCoords:
    if (mParentAnchorY)
      value -= mParentAnchorY->pixelPoint().y();
    break;
  case ptViewRatio: {
    const QRect viewport = mParentPlot ? mParentPlot->viewport() : QRect();
    value -= mParentAnchorY ? mParentAnchorY->pixelPoint().y() : viewport.top();
    value = ratioOf(value, viewport.height());
    break;
  }
  case ptAxisRectRatio:
    if (mAxisRect) {
      const QRect rect = mAxisRect->rect();
      value -= mParentAnchorY ? mParentAnchorY->pixelPoint().y() : rect.top();
      value = ratioOf(value, rect.height());
    } else {
      qDebug() << Q_FUNC_INFO << "Item position type y is ptAxisRectRatio, but no axis rect "
                  "was defined";
    }
    break;
  case ptPlotCoords:
    if (mKeyAxis && mKeyAxis->orientation() == Qt::Vertical)
      key = mKeyAxis->pixelToCoord(pixelPoint.y());
    else if (mValueAxis && mValueAxis->orientation() == Qt::Vertical)
      value = mValueAxis->pixelToCoord(pixelPoint.y());
    else
      qDebug() << Q_FUNC_INFO << "Item position type y is ptPlotCoords, but no axes were defined";
    break;
  }

  setCoords(key, value);
}

// ---------------------------------------------------------------------------
// PlotAbstractItem

PlotAbstractItem::PlotAbstractItem(PlotWidget *parentPlot)
    : PlotLayerable(parentPlot), mClipToAxisRect(false), mSelectable(true), mSelected(false)
{
  const QList<PlotAxisRect *> rects = parentPlot ? parentPlot->axisRects() : QList<PlotAxisRect *>();
  if (!rects.isEmpty()) {
    setClipToAxisRect(true);
    setClipAxisRect(rects.first());
  }
}

PlotAbstractItem::~PlotAbstractItem()
{
  // Deleted behind the plot's back: the registry must not keep a dangling entry.
  if (mParentPlot)
    mParentPlot->mItems.removeOne(this);
  // The anchor list holds the positions as well.
  qDeleteAll(mAnchors);
  mAnchors.clear();
  mPositions.clear();
  mClipAxisRect.clear();
}

PlotAxisRect *PlotAbstractItem::clipAxisRect() const
{
  return mClipAxisRect.data();
}

void PlotAbstractItem::setClipToAxisRect(bool clip)
{
  mClipToAxisRect = clip;
  if (mClipToAxisRect)
    setParentLayerable(mClipAxisRect.data());
}

void PlotAbstractItem::setClipAxisRect(PlotAxisRect *rect)
{
  mClipAxisRect = rect;
  if (mClipToAxisRect)
    setParentLayerable(mClipAxisRect.data());
}

void PlotAbstractItem::setSelectable(bool selectable)
{
  if (mSelectable == selectable)
    return;
  mSelectable = selectable;
  emit selectableChanged(mSelectable);
}

void PlotAbstractItem::setSelected(bool selected)
{
  if (mSelected == selected)
    return;
  mSelected = selected;
  emit selectionChanged(mSelected);
}

PlotItemPosition *PlotAbstractItem::position(const QString &name) const
{
  for (PlotItemPosition *pos : mPositions) {
    if (pos->name() == name)
      return pos;
  }
  qDebug() << Q_FUNC_INFO << "position with name not found:" << name;
  return nullptr;
}

PlotItemAnchor *PlotAbstractItem::anchor(const QString &name) const
{
  for (PlotItemAnchor *a : mAnchors) {
    if (a->name() == name)
      return a;
  }
  qDebug() << Q_FUNC_INFO << "anchor with name not found:" << name;
  return nullptr;
}

bool PlotAbstractItem::hasAnchor(const QString &name) const
{
  for (PlotItemAnchor *a : mAnchors) {
    if (a->name() == name)
      return true;
  }
  return false;
}

Plot::Interaction PlotAbstractItem::selectionCategory() const
{
  return Plot::iaSelectItems;
}

QRect PlotAbstractItem::clipRect() const
{
  if (mClipToAxisRect && mClipAxisRect)
    return mClipAxisRect->rect();
  return mParentPlot ? mParentPlot->viewport() : QRect();
}

void PlotAbstractItem::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiased, Plot::aaItems);
}

void PlotAbstractItem::selectEvent(QMouseEvent *event, bool additive, const QVariant &details,
                                   bool *selectionStateChanged)
{
  Q_UNUSED(event)
  Q_UNUSED(details)
  if (!mSelectable)
    return;
  const bool selectionBefore = mSelected;
  setSelected(additive ? !mSelected : true);
  if (selectionStateChanged)
    *selectionStateChanged = mSelected != selectionBefore;
}

void PlotAbstractItem::deselectEvent(bool *selectionStateChanged)
{
  if (!mSelectable)
    return;
  const bool selectionBefore = mSelected;
  setSelected(false);
  if (selectionStateChanged)
    *selectionStateChanged = mSelected != selectionBefore;
}

QPointF PlotAbstractItem::anchorPixelPoint(int anchorId) const
{
  qDebug() << Q_FUNC_INFO << "called on item which shouldn't have any anchors (this method "
              "not reimplemented). anchorId"
           << anchorId;
  return QPointF();
}

double PlotAbstractItem::rectSelectTest(const QRectF &rect, const QPointF &pos, bool filledRect) const
{
  const QPointF topLeft = rect.topLeft();
  const QPointF topRight = rect.topRight();
  const QPointF bottomLeft = rect.bottomLeft();
  const QPointF bottomRight = rect.bottomRight();
  double minDistSqr = distSqrToLine(topLeft, topRight, pos);
  minDistSqr = qMin(minDistSqr, distSqrToLine(bottomLeft, bottomRight, pos));
  minDistSqr = qMin(minDistSqr, distSqrToLine(topLeft, bottomLeft, pos));
  minDistSqr = qMin(minDistSqr, distSqrToLine(topRight, bottomRight, pos));
  double result = std::sqrt(minDistSqr);

  if (filledRect && mParentPlot) {
    const double insideDistance = mParentPlot->selectionTolerance() * 0.99;
    if (result > insideDistance && rect.contains(pos))
      result = insideDistance;
  }
  return result;
}

double PlotAbstractItem::distSqrToLine(const QPointF &start, const QPointF &end, const QPointF &point) const
{
  return plotDistSqrToSegment(start, end, point);
}

PlotItemPosition *PlotAbstractItem::createPosition(const QString &name)
{
  if (hasAnchor(name))
    qDebug() << Q_FUNC_INFO << "anchor/position with name exists already:" << name;
  PlotItemPosition *newPosition = new PlotItemPosition(mParentPlot, this, name);
  mPositions.append(newPosition);
  mAnchors.append(newPosition);
  if (mParentPlot) {
    newPosition->setAxes(mParentPlot->xAxis, mParentPlot->yAxis);
    newPosition->setType(PlotItemPosition::ptPlotCoords);
    if (mParentPlot->axisRectCount() > 0)
      newPosition->setAxisRect(mParentPlot->axisRect(0));
  }
  newPosition->setCoords(0, 0);
  return newPosition;
}

PlotItemAnchor *PlotAbstractItem::createAnchor(const QString &name, int anchorId)
{
  if (hasAnchor(name))
    qDebug() << Q_FUNC_INFO << "anchor/position with name exists already:" << name;
  PlotItemAnchor *newAnchor = new PlotItemAnchor(mParentPlot, this, name, anchorId);
  mAnchors.append(newAnchor);
  return newAnchor;
}
