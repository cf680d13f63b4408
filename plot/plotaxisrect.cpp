#include "plotaxisrect.h"

#include "plotgraph.h"
#include "plotgrid.h"
#include "plotitem.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

namespace {
const PlotAxis::AxisType kAllSides[] = {PlotAxis::atLeft, PlotAxis::atRight, PlotAxis::atTop, PlotAxis::atBottom};
}

PlotAxisRect::PlotAxisRect(PlotWidget *parentPlot, bool setupDefaultAxes)
    : PlotLayoutElement(parentPlot), mBackgroundBrush(Qt::NoBrush), mBackgroundScaled(true),
      mBackgroundScaledMode(Qt::KeepAspectRatioByExpanding), mInsetLayout(new PlotLayoutInset),
      mRangeDrag(Qt::Horizontal | Qt::Vertical), mRangeZoom(Qt::Horizontal | Qt::Vertical),
      mRangeZoomFactorHorz(0.85), mRangeZoomFactorVert(0.85), mDragging(false)
{
  mInsetLayout->initializeParentPlot(mParentPlot);
  mInsetLayout->setParentLayerable(this);
  mInsetLayout->setParent(this);

  setMinimumSize(50, 50);
  setMinimumMargins(QMargins(15, 15, 15, 15));
  for (PlotAxis::AxisType type : kAllSides)
    mAxes.insert(type, QList<PlotAxis *>());

  if (setupDefaultAxes) {
    PlotAxis *xAxis = addAxis(PlotAxis::atBottom);
    PlotAxis *yAxis = addAxis(PlotAxis::atLeft);
    PlotAxis *xAxis2 = addAxis(PlotAxis::atTop);
    PlotAxis *yAxis2 = addAxis(PlotAxis::atRight);
    setRangeDragAxes(xAxis, yAxis);
    setRangeZoomAxes(xAxis, yAxis);
    xAxis2->setVisible(false);
    yAxis2->setVisible(false);
    xAxis->grid()->setVisible(true);
    yAxis->grid()->setVisible(true);
    xAxis2->grid()->setVisible(false);
    yAxis2->grid()->setVisible(false);
    xAxis2->grid()->setZeroLinePen(Qt::NoPen);
    yAxis2->grid()->setZeroLinePen(Qt::NoPen);
  }
}

PlotAxisRect::~PlotAxisRect()
{
  delete mInsetLayout;
  mInsetLayout = nullptr;
  const QList<PlotAxis *> allAxes = axes();
  for (PlotAxis *axis : allAxes)
    removeAxis(axis);
}

int PlotAxisRect::axisCount(PlotAxis::AxisType type) const
{
  return mAxes.value(type).size();
}

PlotAxis *PlotAxisRect::axis(PlotAxis::AxisType type, int index) const
{
  const QList<PlotAxis *> sideAxes = mAxes.value(type);
  if (index >= 0 && index < sideAxes.size())
    return sideAxes.at(index);
  qDebug() << Q_FUNC_INFO << "Axis index out of bounds:" << index;
  return nullptr;
}

QList<PlotAxis *> PlotAxisRect::axes(PlotAxis::AxisTypes types) const
{
  QList<PlotAxis *> result;
  for (PlotAxis::AxisType type : kAllSides) {
    if (types.testFlag(type))
      result << mAxes.value(type);
  }
  return result;
}

QList<PlotAxis *> PlotAxisRect::axes() const
{
  return axes(PlotAxis::atLeft | PlotAxis::atRight | PlotAxis::atTop | PlotAxis::atBottom);
}

PlotAxis *PlotAxisRect::addAxis(PlotAxis::AxisType type, PlotAxis *axis)
{
  PlotAxis *newAxis = axis;
  if (!newAxis) {
    newAxis = new PlotAxis(this, type);
  } else {
    if (newAxis->axisType() != type) {
      qDebug() << Q_FUNC_INFO << "passed axis has different axis type than specified in type parameter";
      return nullptr;
    }
    if (newAxis->axisRect() != this) {
      qDebug() << Q_FUNC_INFO << "passed axis doesn't have this axis rect as parent axis rect";
      return nullptr;
    }
    if (axes().contains(newAxis)) {
      qDebug() << Q_FUNC_INFO << "passed axis is already owned by this axis rect";
      return nullptr;
    }
  }
  // Stacked axes get half-bar endings that mark where one ends and the next begins.
  if (!mAxes.value(type).isEmpty()) {
    const bool invert = (type == PlotAxis::atLeft || type == PlotAxis::atTop);
    newAxis->setLowerEnding(PlotLineEnding(PlotLineEnding::esHalfBar, 6, 10, invert));
    newAxis->setUpperEnding(PlotLineEnding(PlotLineEnding::esHalfBar, 6, 10, !invert));
  }
  mAxes[type].append(newAxis);
  return newAxis;
}

QList<PlotAxis *> PlotAxisRect::addAxes(PlotAxis::AxisTypes types)
{
  QList<PlotAxis *> result;
  for (PlotAxis::AxisType type : kAllSides) {
    if (types.testFlag(type))
      result << addAxis(type);
  }
  return result;
}

bool PlotAxisRect::removeAxis(PlotAxis *axis)
{
  for (auto it = mAxes.begin(); it != mAxes.end(); ++it) {
    if (it.value().contains(axis)) {
      it.value().removeOne(axis);
      if (mParentPlot)
        mParentPlot->axisRemoved(axis);
      delete axis;
      return true;
    }
  }
  qDebug() << Q_FUNC_INFO << "Axis isn't in axis rect:" << reinterpret_cast<quintptr>(axis);
  return false;
}

void PlotAxisRect::setupFullAxesBox(bool connectRanges)
{
  PlotAxis *xAxis = axisCount(PlotAxis::atBottom) ? axis(PlotAxis::atBottom) : addAxis(PlotAxis::atBottom);
  PlotAxis *yAxis = axisCount(PlotAxis::atLeft) ? axis(PlotAxis::atLeft) : addAxis(PlotAxis::atLeft);
  PlotAxis *xAxis2 = axisCount(PlotAxis::atTop) ? axis(PlotAxis::atTop) : addAxis(PlotAxis::atTop);
  PlotAxis *yAxis2 = axisCount(PlotAxis::atRight) ? axis(PlotAxis::atRight) : addAxis(PlotAxis::atRight);
  xAxis->setVisible(true);
  yAxis->setVisible(true);
  xAxis2->setVisible(true);
  yAxis2->setVisible(true);
  xAxis2->setTickLabels(false);
  yAxis2->setTickLabels(false);

  const auto copyAxis = [](PlotAxis *to, const PlotAxis *from) {
    to->setRange(from->range());
    to->setRangeReversed(from->rangeReversed());
    to->setScaleType(from->scaleType());
    to->setScaleLogBase(from->scaleLogBase());
    to->setTicks(from->ticks());
    to->setAutoTickCount(from->autoTickCount());
    to->setSubTickCount(from->subTickCount());
    to->setAutoSubTicks(from->autoSubTicks());
    to->setTickStep(from->tickStep());
    to->setAutoTickStep(from->autoTickStep());
    to->setNumberFormat(from->numberFormat());
    to->setNumberPrecision(from->numberPrecision());
    to->setTickLabelType(from->tickLabelType());
    to->setDateTimeFormat(from->dateTimeFormat());
    to->setDateTimeSpec(from->dateTimeSpec());
  };
  copyAxis(xAxis2, xAxis);
  copyAxis(yAxis2, yAxis);

  if (connectRanges) {
    connect(xAxis, qOverload<PlotRange &>(&PlotAxis::rangeChanged), xAxis2,
            qOverload<const PlotRange &>(&PlotAxis::setRange));
    connect(yAxis, qOverload<PlotRange &>(&PlotAxis::rangeChanged), yAxis2,
            qOverload<const PlotRange &>(&PlotAxis::setRange));
  }
}

QList<PlotAbstractPlottable *> PlotAxisRect::plottables() const
{
  QList<PlotAbstractPlottable *> result;
  if (!mParentPlot)
    return result;
  for (PlotAbstractPlottable *plottable : std::as_const(mParentPlot->mPlottables)) {
    const PlotAxis *keyAxis = plottable->keyAxis();
    const PlotAxis *valueAxis = plottable->valueAxis();
    if ((keyAxis && keyAxis->axisRect() == this) || (valueAxis && valueAxis->axisRect() == this))
      result.append(plottable);
  }
  return result;
}

QList<PlotGraph *> PlotAxisRect::graphs() const
{
  QList<PlotGraph *> result;
  if (!mParentPlot)
    return result;
  for (PlotGraph *graph : std::as_const(mParentPlot->mGraphs)) {
    const PlotAxis *keyAxis = graph->keyAxis();
    const PlotAxis *valueAxis = graph->valueAxis();
    if ((keyAxis && keyAxis->axisRect() == this) || (valueAxis && valueAxis->axisRect() == this))
      result.append(graph);
  }
  return result;
}

QList<PlotAbstractItem *> PlotAxisRect::items() const
{
  QList<PlotAbstractItem *> result;
  if (!mParentPlot)
    return result;
  const auto belongsHere = [this](const PlotAxis *axis) { return axis && axis->axisRect() == this; };
  for (PlotAbstractItem *item : std::as_const(mParentPlot->mItems)) {
    bool matches = item->clipAxisRect() == this;
    const QList<PlotItemPosition *> positions = item->positions();
    for (int i = 0; !matches && i < positions.size(); ++i) {
      const PlotItemPosition *pos = positions.at(i);
      matches = pos->axisRect() == this || belongsHere(pos->keyAxis()) || belongsHere(pos->valueAxis());
    }
    if (matches)
      result.append(item);
  }
  return result;
}

QList<PlotLayoutElement *> PlotAxisRect::elements(bool recursive) const
{
  QList<PlotLayoutElement *> result;
  if (!mInsetLayout)
    return result;
  result << mInsetLayout;
  if (recursive)
    result << mInsetLayout->elements(true);
  return result;
}

void PlotAxisRect::update(UpdatePhase phase)
{
  PlotLayoutElement::update(phase);
  switch (phase) {
  case upPreparation: {
    const QList<PlotAxis *> allAxes = axes();
    for (PlotAxis *axis : allAxes)
      axis->setupTickVectors();
    break;
  }
  case upLayout:
    if (mInsetLayout)
      mInsetLayout->setOuterRect(rect());
    break;
  default: break;
  }
  if (mInsetLayout)
    mInsetLayout->update(phase);
}

void PlotAxisRect::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  painter->setAntialiasing(false);
}

void PlotAxisRect::draw(PlotPainter *painter)
{
  drawBackground(painter);
}

void PlotAxisRect::drawBackground(PlotPainter *painter)
{
  // No room, nothing drawn (a pixmap's part of no width means all of it).
  if (mRect.isEmpty())
    return;
  if (mBackgroundBrush != Qt::NoBrush)
    painter->fillRect(mRect, mBackgroundBrush);
  if (mBackgroundPixmap.isNull())
    return;
  const QPoint origin = mRect.topLeft() + QPoint(0, -1);
  if (mBackgroundScaled) {
    QSize scaledSize(mBackgroundPixmap.size());
    scaledSize.scale(mRect.size(), mBackgroundScaledMode);
    if (mScaledBackgroundPixmap.size() != scaledSize)
      mScaledBackgroundPixmap =
          mBackgroundPixmap.scaled(mRect.size(), mBackgroundScaledMode, Qt::SmoothTransformation);
    painter->drawPixmap(origin, mScaledBackgroundPixmap,
                        QRect(0, 0, mRect.width(), mRect.height()) & mScaledBackgroundPixmap.rect());
  } else {
    painter->drawPixmap(origin, mBackgroundPixmap, QRect(0, 0, mRect.width(), mRect.height()));
  }
}

void PlotAxisRect::updateAxesOffset(PlotAxis::AxisType type)
{
  const QList<PlotAxis *> &sideAxes = mAxes[type];
  if (sideAxes.isEmpty())
    return;
  // The first visible axis of the side gets no inner tick length added.
  int firstVisible = -1;
  for (int i = 0; i < sideAxes.size(); ++i) {
    if (sideAxes.at(i)->visible()) {
      firstVisible = i;
      break;
    }
  }
  for (int i = 1; i < sideAxes.size(); ++i) {
    PlotAxis *previous = sideAxes.at(i - 1);
    PlotAxis *current = sideAxes.at(i);
    int offset = previous->offset() + previous->calculateMargin();
    if (current->visible() && i != firstVisible)
      offset += current->tickLengthIn();
    current->setOffset(offset);
  }
}

int PlotAxisRect::calculateAutoMargin(Plot::MarginSide side)
{
  if (!mAutoMargins.testFlag(side))
    qDebug() << Q_FUNC_INFO << "Called with side that isn't specified as auto margin";

  const PlotAxis::AxisType type = PlotAxis::marginSideToAxisType(side);
  updateAxesOffset(type);
  const QList<PlotAxis *> &sideAxes = mAxes[type];
  if (sideAxes.isEmpty())
    return 0;
  PlotAxis *outermost = sideAxes.last();
  return outermost->offset() + outermost->calculateMargin();
}

PlotAxis *PlotAxisRect::rangeDragAxis(Qt::Orientation orientation)
{
  return orientation == Qt::Horizontal ? mRangeDragHorzAxis.data() : mRangeDragVertAxis.data();
}

PlotAxis *PlotAxisRect::rangeZoomAxis(Qt::Orientation orientation)
{
  return orientation == Qt::Horizontal ? mRangeZoomHorzAxis.data() : mRangeZoomVertAxis.data();
}

double PlotAxisRect::rangeZoomFactor(Qt::Orientation orientation)
{
  return orientation == Qt::Horizontal ? mRangeZoomFactorHorz : mRangeZoomFactorVert;
}

void PlotAxisRect::setBackground(const QPixmap &pm)
{
  mBackgroundPixmap = pm;
  mScaledBackgroundPixmap = QPixmap();
}

void PlotAxisRect::setBackground(const QPixmap &pm, bool scaled, Qt::AspectRatioMode mode)
{
  mBackgroundPixmap = pm;
  mScaledBackgroundPixmap = QPixmap();
  mBackgroundScaled = scaled;
  mBackgroundScaledMode = mode;
}

void PlotAxisRect::setBackground(const QBrush &brush)
{
  mBackgroundBrush = brush;
}

void PlotAxisRect::setBackgroundScaled(bool scaled)
{
  mBackgroundScaled = scaled;
}

void PlotAxisRect::setBackgroundScaledMode(Qt::AspectRatioMode mode)
{
  mBackgroundScaledMode = mode;
}

void PlotAxisRect::setRangeDrag(Qt::Orientations orientations)
{
  mRangeDrag = orientations;
}

void PlotAxisRect::setRangeZoom(Qt::Orientations orientations)
{
  mRangeZoom = orientations;
}

void PlotAxisRect::setRangeDragAxes(PlotAxis *horizontal, PlotAxis *vertical)
{
  mRangeDragHorzAxis = horizontal;
  mRangeDragVertAxis = vertical;
}

void PlotAxisRect::setRangeZoomAxes(PlotAxis *horizontal, PlotAxis *vertical)
{
  mRangeZoomHorzAxis = horizontal;
  mRangeZoomVertAxis = vertical;
}

void PlotAxisRect::setRangeZoomFactor(double horizontalFactor, double verticalFactor)
{
  mRangeZoomFactorHorz = horizontalFactor;
  mRangeZoomFactorVert = verticalFactor;
}

void PlotAxisRect::setRangeZoomFactor(double factor)
{
  mRangeZoomFactorHorz = factor;
  mRangeZoomFactorVert = factor;
}

void PlotAxisRect::mousePressEvent(QMouseEvent *event)
{
  const QPointF pos = event->position();
  mDragStart = Plot::roundedPoint(pos);
  if (!(event->buttons() & Qt::LeftButton))
    return;
  mDragging = true;
  if (!mParentPlot)
    return;
  if (mParentPlot->noAntialiasingOnDrag()) {
    mAADragBackup = mParentPlot->antialiasedElements();
    mNotAADragBackup = mParentPlot->notAntialiasedElements();
  }
  if (mParentPlot->interactions().testFlag(Plot::iaRangeDrag)) {
    if (mRangeDragHorzAxis)
      mDragStartHorzRange = mRangeDragHorzAxis->range();
    if (mRangeDragVertAxis) {
      PlotAxis *pressed = mParentPlot->mPressedAxis;
      mDragStartVertRange = pressed ? pressed->range() : mRangeDragVertAxis->range();
    }
  }
}

void PlotAxisRect::mouseMoveEvent(QMouseEvent *event)
{
  const double factor = event->modifiers().testFlag(Qt::ControlModifier) ? 5.0 : 1.0;
  if (!mDragging || !mParentPlot || !mParentPlot->interactions().testFlag(Plot::iaRangeDrag))
    return;
  const QPoint pos = event->position().toPoint();
  // Each move applies the whole distance since the press to the ranges saved
  // at the press. Only the axis under the mouse at the press is dragged: the
  // bottom (time) axis horizontally, any other axis vertically.
  if (PlotAxis *axis = mParentPlot->mPressedAxis) {
    const bool bottom = axis->axisType() == PlotAxis::atBottom;
    if (bottom && mRangeDrag.testFlag(Qt::Horizontal)) {
      if (axis->scaleType() == PlotAxis::stLinear) {
        const double delta = (axis->pixelToCoord(mDragStart.x()) - axis->pixelToCoord(pos.x())) * factor;
        const double newLower = mDragStartHorzRange.lower + delta;
        const double newUpper = mDragStartHorzRange.upper + delta;
        // A degenerate (zero-sized) data area yields no usable coordinates.
        if (!std::isfinite(newLower) || !std::isfinite(newUpper))
          return;
        // The time window stops at the data's border and says so instead of moving.
        if (axis->rangeMin() > newLower || newUpper > axis->rangeMax()) {
          mParentPlot->dragHorzBorderReached(newLower, newUpper);
          return;
        }
        axis->setRange(newLower, newUpper);
      } else {
        const double ratio = axis->pixelToCoord(mDragStart.x()) / axis->pixelToCoord(pos.x());
        if (std::isfinite(ratio) && ratio > 0)
          axis->setRange(mDragStartHorzRange.lower * ratio, mDragStartHorzRange.upper * ratio);
      }
    }
    if (!bottom && mRangeDrag.testFlag(Qt::Vertical)) {
      if (axis->scaleType() == PlotAxis::stLinear) {
        const double delta = (axis->pixelToCoord(mDragStart.y()) - axis->pixelToCoord(pos.y())) * factor;
        const double newLower = mDragStartVertRange.lower + delta;
        const double newUpper = mDragStartVertRange.upper + delta;
        if (!std::isfinite(newLower) || !std::isfinite(newUpper))
          return;
        if (axis->rangeMin() > newLower)
          return;
        if (newUpper > axis->rangeMax())
          return;
        axis->setRange(newLower, newUpper);
      } else {
        const double ratio = axis->pixelToCoord(mDragStart.y()) / axis->pixelToCoord(pos.y());
        if (std::isfinite(ratio) && ratio > 0)
          axis->setRange(mDragStartVertRange.lower * ratio, mDragStartVertRange.upper * ratio);
      }
    }
  }

  if (mRangeDrag == Qt::Orientations())
    return;
  if (mParentPlot->noAntialiasingOnDrag())
    mParentPlot->setNotAntialiasedElements(Plot::aaAll);
  mParentPlot->replot(PlotWidget::rpByHint);
}

void PlotAxisRect::mouseReleaseEvent(QMouseEvent *event)
{
  const bool wasDragging = mDragging;
  mDragging = false;
  if (!mParentPlot)
    return;
  // The backups are only taken by a left-button press: after any other press
  // they are stale and would overwrite the plot's current sets.
  if (wasDragging && mParentPlot->noAntialiasingOnDrag()) {
    mParentPlot->setAntialiasedElements(mAADragBackup);
    mParentPlot->setNotAntialiasedElements(mNotAADragBackup);
  }
  emit mParentPlot->mouseRelease(event);
}

void PlotAxisRect::wheelEvent(QWheelEvent *event)
{
  if (!mParentPlot || !mParentPlot->interactions().testFlag(Plot::iaRangeZoom) || mRangeZoom == Qt::Orientations())
    return;
  if (mRangeZoom.testFlag(Qt::Horizontal)) {
    const double factor = std::pow(mRangeZoomFactorHorz, event->angleDelta().y() / 120.0);
    if (mRangeZoomHorzAxis)
      mRangeZoomHorzAxis->scaleRange(factor, mRangeZoomHorzAxis->pixelToCoord(event->position().x()));
  }
  mParentPlot->replot(PlotWidget::rpByHint);
}
