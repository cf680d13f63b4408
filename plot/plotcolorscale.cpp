#include "plotcolorscale.h"

#include "plotcolormap.h"
#include "plotgrid.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QMouseEvent>
#include <cmath>

namespace {
const PlotAxis::AxisType kSelectionOrder[] = {PlotAxis::atBottom, PlotAxis::atTop, PlotAxis::atLeft,
                                              PlotAxis::atRight};

bool isSide(PlotAxis::AxisType type)
{
  return type == PlotAxis::atLeft || type == PlotAxis::atRight || type == PlotAxis::atTop ||
         type == PlotAxis::atBottom;
}

Qt::Orientation orientationOf(PlotAxis::AxisType type)
{
  return (type == PlotAxis::atTop || type == PlotAxis::atBottom) ? Qt::Horizontal : Qt::Vertical;
}
} // namespace

// ---------------------------------------------------------------------------
// PlotColorScaleAxisRectPrivate

PlotColorScaleAxisRectPrivate::PlotColorScaleAxisRectPrivate(PlotColorScale *parentColorScale)
    : PlotAxisRect(parentColorScale->parentPlot(), true), mParentColorScale(parentColorScale),
      mGradientImageInvalidated(true)
{
  setParentLayerable(parentColorScale);
  setMinimumMargins(QMargins(0, 0, 0, 0));
  for (PlotAxis::AxisType type : kSelectionOrder) {
    PlotAxis *side = axis(type);
    side->setVisible(true);
    side->grid()->setVisible(false);
    side->setPadding(0);
    connect(side, &PlotAxis::selectionChanged, this, &PlotColorScaleAxisRectPrivate::axisSelectionChanged);
    connect(side, &PlotAxis::selectableChanged, this, &PlotColorScaleAxisRectPrivate::axisSelectableChanged);
  }
  // Opposite sides always show the same range and scale type.
  const auto rangeSignal = qOverload<PlotRange &>(&PlotAxis::rangeChanged);
  const auto rangeSlot = qOverload<const PlotRange &>(&PlotAxis::setRange);
  PlotAxis *left = axis(PlotAxis::atLeft), *right = axis(PlotAxis::atRight);
  PlotAxis *bottom = axis(PlotAxis::atBottom), *top = axis(PlotAxis::atTop);
  connect(left, rangeSignal, right, rangeSlot);
  connect(right, rangeSignal, left, rangeSlot);
  connect(bottom, rangeSignal, top, rangeSlot);
  connect(top, rangeSignal, bottom, rangeSlot);
  connect(left, &PlotAxis::scaleTypeChanged, right, &PlotAxis::setScaleType);
  connect(right, &PlotAxis::scaleTypeChanged, left, &PlotAxis::setScaleType);
  connect(bottom, &PlotAxis::scaleTypeChanged, top, &PlotAxis::setScaleType);
  connect(top, &PlotAxis::scaleTypeChanged, bottom, &PlotAxis::setScaleType);

  const auto setLayerSlot = qOverload<PlotLayer *>(&PlotLayerable::setLayer);
  connect(parentColorScale, &PlotLayerable::layerChanged, this, setLayerSlot);
  for (PlotAxis::AxisType type : kSelectionOrder)
    connect(parentColorScale, &PlotLayerable::layerChanged, axis(type), setLayerSlot);
}

void PlotColorScaleAxisRectPrivate::draw(PlotPainter *painter)
{
  if (mGradientImageInvalidated)
    updateGradientImage();
  if (!mGradientImage.isNull()) {
    const PlotAxis *colorAxis = mParentColorScale->mColorAxis.data();
    const bool horizontal = orientationOf(mParentColorScale->mType) == Qt::Horizontal;
    const bool reversed = colorAxis && colorAxis->rangeReversed();
    painter->drawImage(mRect.translated(0, -1),
                       reversed ? mGradientImage.mirrored(horizontal, !horizontal) : mGradientImage);
  }
  PlotAxisRect::draw(painter);
}

void PlotColorScaleAxisRectPrivate::updateGradientImage()
{
  if (mRect.isEmpty())
    return;
  PlotColorGradient &gradient = mParentColorScale->mGradient;
  const int n = gradient.levelCount();
  const PlotRange range(0, n - 1);
  // The bar shows the whole gradient evenly; the colour axis gives the values.
  if (orientationOf(mParentColorScale->mType) == Qt::Horizontal) {
    const int height = mRect.height();
    QList<double> data(n);
    for (int i = 0; i < n; ++i)
      data[i] = i;
    if (mGradientImage.size() != QSize(n, height))
      mGradientImage = QImage(n, height, QImage::Format_RGB32);
    if (mGradientImage.isNull())
      return;
    QRgb *first = reinterpret_cast<QRgb *>(mGradientImage.scanLine(0));
    gradient.colorize(data.constData(), range, first, n);
    for (int y = 1; y < height; ++y)
      std::copy(first, first + n, reinterpret_cast<QRgb *>(mGradientImage.scanLine(y)));
  } else {
    const int width = mRect.width();
    if (mGradientImage.size() != QSize(width, n))
      mGradientImage = QImage(width, n, QImage::Format_RGB32);
    if (mGradientImage.isNull())
      return;
    for (int y = 0; y < n; ++y) {
      const QRgb color = gradient.color(n - 1 - y, range);
      QRgb *line = reinterpret_cast<QRgb *>(mGradientImage.scanLine(y));
      std::fill(line, line + width, color);
    }
  }
  mGradientImageInvalidated = false;
}

void PlotColorScaleAxisRectPrivate::mouseMoveEvent(QMouseEvent *event)
{
  if (!mDragging || !mParentPlot || !mParentPlot->interactions().testFlag(Plot::iaRangeDrag))
    return;
  const QPoint pos = event->position().toPoint();
  // Each move applies the whole distance since the press to the ranges noted
  // at the press, so that rounding never accumulates.
  auto dragAlong = [](PlotAxis *axis, const PlotRange &start, double fromPixel, double toPixel) {
    if (!axis)
      return;
    if (axis->scaleType() == PlotAxis::stLinear) {
      const double delta = axis->pixelToCoord(fromPixel) - axis->pixelToCoord(toPixel);
      if (std::isfinite(delta))
        axis->setRange(start.lower + delta, start.upper + delta);
    } else {
      const double ratio = axis->pixelToCoord(fromPixel) / axis->pixelToCoord(toPixel);
      if (std::isfinite(ratio) && ratio > 0)
        axis->setRange(start.lower * ratio, start.upper * ratio);
    }
  };
  if (mRangeDrag.testFlag(Qt::Horizontal))
    dragAlong(mRangeDragHorzAxis.data(), mDragStartHorzRange, mDragStart.x(), pos.x());
  if (mRangeDrag.testFlag(Qt::Vertical))
    dragAlong(mRangeDragVertAxis.data(), mDragStartVertRange, mDragStart.y(), pos.y());
  if (mRangeDrag == Qt::Orientations())
    return;
  if (mParentPlot->noAntialiasingOnDrag())
    mParentPlot->setNotAntialiasedElements(Plot::aaAll);
  mParentPlot->replot(PlotWidget::rpByHint);
}

void PlotColorScaleAxisRectPrivate::axisSelectionChanged(PlotAxis::SelectableParts selectedParts)
{
  const PlotAxis *senderAxis = qobject_cast<PlotAxis *>(sender());
  for (PlotAxis::AxisType type : kSelectionOrder) {
    PlotAxis *other = axis(type);
    if (!other || (senderAxis && senderAxis->axisType() == type))
      continue;
    if (!other->selectableParts().testFlag(PlotAxis::spAxis))
      continue;
    PlotAxis::SelectableParts parts = other->selectedParts();
    parts.setFlag(PlotAxis::spAxis, selectedParts.testFlag(PlotAxis::spAxis));
    other->setSelectedParts(parts);
  }
}

void PlotColorScaleAxisRectPrivate::axisSelectableChanged(PlotAxis::SelectableParts selectableParts)
{
  const PlotAxis *senderAxis = qobject_cast<PlotAxis *>(sender());
  for (PlotAxis::AxisType type : kSelectionOrder) {
    PlotAxis *other = axis(type);
    if (!other || (senderAxis && senderAxis->axisType() == type))
      continue;
    if (!other->selectableParts().testFlag(PlotAxis::spAxis))
      continue;
    PlotAxis::SelectableParts parts = other->selectableParts();
    parts.setFlag(PlotAxis::spAxis, selectableParts.testFlag(PlotAxis::spAxis));
    other->setSelectableParts(parts);
  }
}

// ---------------------------------------------------------------------------
// PlotColorScale

PlotColorScale::PlotColorScale(PlotWidget *parentPlot)
    : PlotLayoutElement(parentPlot), mType(PlotAxis::atTop), mDataScaleType(PlotAxis::stLinear),
      mGradient(PlotColorGradient::gpCold), mBarWidth(20), mUpdatingAxis(false)
{
  mAxisRect = new PlotColorScaleAxisRectPrivate(this);
  setMinimumMargins(QMargins(0, 6, 0, 6));
  setType(PlotAxis::atRight);
  setDataRange(PlotRange(0, 6));
}

PlotColorScale::~PlotColorScale()
{
  delete mAxisRect.data();
}

QString PlotColorScale::label() const
{
  if (!mColorAxis) {
    qDebug() << Q_FUNC_INFO << "internal color axis undefined";
    return QString();
  }
  return mColorAxis->label();
}

bool PlotColorScale::rangeDrag() const
{
  if (!mAxisRect) {
    qDebug() << Q_FUNC_INFO << "internal axis rect was deleted";
    return false;
  }
  const Qt::Orientation orientation = orientationOf(mType);
  PlotAxis *dragAxis = mAxisRect->rangeDragAxis(orientation);
  return mAxisRect->rangeDrag().testFlag(orientation) && dragAxis && dragAxis->orientation() == orientation;
}

bool PlotColorScale::rangeZoom() const
{
  if (!mAxisRect) {
    qDebug() << Q_FUNC_INFO << "internal axis rect was deleted";
    return false;
  }
  const Qt::Orientation orientation = orientationOf(mType);
  PlotAxis *zoomAxis = mAxisRect->rangeZoomAxis(orientation);
  return mAxisRect->rangeZoom().testFlag(orientation) && zoomAxis && zoomAxis->orientation() == orientation;
}

void PlotColorScale::setType(PlotAxis::AxisType type)
{
  if (!mAxisRect) {
    qDebug() << Q_FUNC_INFO << "internal axis rect was deleted";
    return;
  }
  // Anything but one side has no axis to become the colour axis.
  if (!isSide(type)) {
    qDebug() << Q_FUNC_INFO << "not one side of the bar:" << int(type);
    return;
  }
  if (type == mType)
    return;
  // A bar that turns needs a gradient image of the other orientation.
  if (orientationOf(type) != orientationOf(mType))
    mAxisRect->mGradientImageInvalidated = true;
  mType = type;
  PlotRange rangeTransfer(0, 6);
  double logBaseTransfer = 10;
  QString labelTransfer;
  if (mColorAxis) {
    rangeTransfer = mColorAxis->range();
    labelTransfer = mColorAxis->label();
    logBaseTransfer = mColorAxis->scaleLogBase();
    mColorAxis->setLabel(QString());
    disconnect(mColorAxis.data(), qOverload<PlotRange &>(&PlotAxis::rangeChanged), this,
               &PlotColorScale::setDataRange);
    disconnect(mColorAxis.data(), &PlotAxis::scaleTypeChanged, this, &PlotColorScale::setDataScaleType);
  }
  for (PlotAxis::AxisType side : {PlotAxis::atLeft, PlotAxis::atRight, PlotAxis::atBottom, PlotAxis::atTop}) {
    PlotAxis *sideAxis = mAxisRect->axis(side);
    sideAxis->setTicks(side == type);
    sideAxis->setTickLabels(side == type);
  }
  mColorAxis = mAxisRect->axis(type);
  mColorAxis->setRange(rangeTransfer);
  mColorAxis->setLabel(labelTransfer);
  mColorAxis->setScaleLogBase(logBaseTransfer);
  connect(mColorAxis.data(), qOverload<PlotRange &>(&PlotAxis::rangeChanged), this, &PlotColorScale::setDataRange);
  connect(mColorAxis.data(), &PlotAxis::scaleTypeChanged, this, &PlotColorScale::setDataScaleType);
  if (orientationOf(type) == Qt::Horizontal)
    mAxisRect->setRangeDragAxes(mColorAxis.data(), nullptr);
  else
    mAxisRect->setRangeDragAxes(nullptr, mColorAxis.data());
}

void PlotColorScale::setDataRange(const PlotRange &dataRange)
{
  // The colour axis answers our own range with its normalized, limited copy;
  // the scale keeps the range as given.
  if (mUpdatingAxis)
    return;
  if (mDataRange.lower == dataRange.lower && mDataRange.upper == dataRange.upper)
    return;
  // A NaN would be stored for good (it never compares equal) and reach every
  // linked map; an infinite bound places no colour.
  if (!std::isfinite(dataRange.lower) || !std::isfinite(dataRange.upper)) {
    qDebug() << Q_FUNC_INFO << "range bounds must be finite:" << dataRange.lower << dataRange.upper;
    return;
  }
  mDataRange = dataRange;
  if (mColorAxis) {
    mUpdatingAxis = true;
    mColorAxis->setRange(mDataRange);
    mUpdatingAxis = false;
  }
  emit dataRangeChanged(mDataRange);
}

void PlotColorScale::setDataScaleType(PlotAxis::ScaleType scaleType)
{
  if (mDataScaleType == scaleType)
    return;
  mDataScaleType = scaleType;
  if (mColorAxis)
    mColorAxis->setScaleType(mDataScaleType);
  if (mDataScaleType == PlotAxis::stLogarithmic)
    setDataRange(mDataRange.sanitizedForLogScale());
  emit dataScaleTypeChanged(mDataScaleType);
}

void PlotColorScale::setGradient(const PlotColorGradient &gradient)
{
  if (mGradient == gradient)
    return;
  mGradient = gradient;
  if (mAxisRect)
    mAxisRect->mGradientImageInvalidated = true;
  emit gradientChanged(mGradient);
}

void PlotColorScale::setLabel(const QString &str)
{
  if (!mColorAxis) {
    qDebug() << Q_FUNC_INFO << "internal color axis undefined";
    return;
  }
  mColorAxis->setLabel(str);
}

void PlotColorScale::setBarWidth(int width)
{
  mBarWidth = width;
}

void PlotColorScale::setRangeDrag(bool enabled)
{
  if (!mAxisRect) {
    qDebug() << Q_FUNC_INFO << "internal axis rect was deleted";
    return;
  }
  mAxisRect->setRangeDrag(enabled ? Qt::Orientations(orientationOf(mType)) : Qt::Orientations(Qt::Horizontal));
}

void PlotColorScale::setRangeZoom(bool enabled)
{
  if (!mAxisRect) {
    qDebug() << Q_FUNC_INFO << "internal axis rect was deleted";
    return;
  }
  mAxisRect->setRangeZoom(enabled ? Qt::Orientations(orientationOf(mType)) : Qt::Orientations(Qt::Horizontal));
}

QList<PlotColorMap *> PlotColorScale::colorMaps() const
{
  QList<PlotColorMap *> result;
  if (!mParentPlot)
    return result;
  for (int i = 0; i < mParentPlot->plottableCount(); ++i) {
    PlotColorMap *map = qobject_cast<PlotColorMap *>(mParentPlot->plottable(i));
    if (map && map->colorScale() == this)
      result.append(map);
  }
  return result;
}

void PlotColorScale::rescaleDataRange(bool onlyVisibleMaps)
{
  const QList<PlotColorMap *> maps = colorMaps();
  enum SignRule { none, positive, negative };
  SignRule rule = none;
  if (mDataScaleType == PlotAxis::stLogarithmic)
    rule = mDataRange.upper < 0 ? negative : positive;
  PlotRange newRange;
  bool haveRange = false;
  for (PlotColorMap *map : maps) {
    if ((onlyVisibleMaps && !map->realVisibility()) || map->colorScale() != this)
      continue;
    PlotRange mapRange = map->data()->dataBounds();
    if (rule == positive) {
      if (mapRange.lower <= 0 && mapRange.upper > 0)
        mapRange.lower = mapRange.upper * 1e-3;
      else if (mapRange.lower <= 0 && mapRange.upper <= 0)
        continue;
    } else if (rule == negative) {
      if (mapRange.upper >= 0 && mapRange.lower < 0)
        mapRange.upper = mapRange.lower * 1e-3;
      else if (mapRange.upper >= 0 && mapRange.lower >= 0)
        continue;
    }
    if (!haveRange) {
      newRange = mapRange;
      haveRange = true;
    } else {
      newRange.expand(mapRange);
    }
  }
  if (!haveRange)
    return;
  if (!PlotRange::validRange(newRange)) {
    // Flat maps: keep the current width around their value.
    const double center = (newRange.lower + newRange.upper) * 0.5;
    const double ratio = mDataRange.upper / mDataRange.lower;
    // A current range reaching 0 or crossing it gives no positive ratio; the
    // linear rebuild then stands in for the logarithmic one.
    if (mDataScaleType == PlotAxis::stLogarithmic && std::isfinite(ratio) && ratio > 0) {
      const double factor = std::sqrt(ratio);
      newRange.lower = center / factor;
      newRange.upper = center * factor;
    } else {
      newRange.lower = center - mDataRange.size() * 0.5;
      newRange.upper = center + mDataRange.size() * 0.5;
    }
  }
  setDataRange(newRange);
}

void PlotColorScale::update(UpdatePhase phase)
{
  PlotLayoutElement::update(phase);
  if (!mAxisRect) {
    qDebug() << Q_FUNC_INFO << "internal axis rect was deleted";
    return;
  }
  // The bar fills this element's inner rectangle before its axis rect lays
  // out its inset, so that both see this pass's rectangle.
  if (phase == upLayout)
    mAxisRect->setOuterRect(rect());
  mAxisRect->update(phase);
  if (phase == upMargins) {
    const QMargins rectMargins = mAxisRect->margins();
    if (orientationOf(mType) == Qt::Horizontal) {
      const int thickness = mBarWidth + rectMargins.top() + rectMargins.bottom() + mMargins.top() + mMargins.bottom();
      setMaximumSize(QWIDGETSIZE_MAX, thickness);
      setMinimumSize(0, thickness);
    } else {
      const int thickness = mBarWidth + rectMargins.left() + rectMargins.right() + mMargins.left() + mMargins.right();
      setMaximumSize(thickness, QWIDGETSIZE_MAX);
      setMinimumSize(thickness, 0);
    }
  }
}

void PlotColorScale::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  painter->setAntialiasing(false);
}

PlotColorScaleAxisRectPrivate *PlotColorScale::eventTarget(const char *event) const
{
  // The scale's own axis rect handles its mouse; it may have been deleted.
  if (!mAxisRect)
    qDebug() << "PlotColorScale:" << event << "internal axis rect was deleted";
  return mAxisRect.data();
}

void PlotColorScale::mousePressEvent(QMouseEvent *event)
{
  if (auto *target = eventTarget("mousePressEvent"))
    target->mousePressEvent(event);
}

void PlotColorScale::mouseMoveEvent(QMouseEvent *event)
{
  if (auto *target = eventTarget("mouseMoveEvent"))
    target->mouseMoveEvent(event);
}

void PlotColorScale::mouseReleaseEvent(QMouseEvent *event)
{
  if (auto *target = eventTarget("mouseReleaseEvent"))
    target->mouseReleaseEvent(event);
}

void PlotColorScale::wheelEvent(QWheelEvent *event)
{
  if (auto *target = eventTarget("wheelEvent"))
    target->wheelEvent(event);
}
