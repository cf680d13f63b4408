#include "plotbars.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotdatakeys.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <algorithm>
#include <cmath>

PlotBars::PlotBars(PlotAxis *keyAxis, PlotAxis *valueAxis)
    : PlotAbstractPlottable(keyAxis, valueAxis), mData(new PlotBarDataMap), mWidth(0.75), mWidthType(wtPlotCoords),
      mBarsGroup(nullptr), mBaseValue(0)
{
  mPen.setColor(Qt::blue);
  mPen.setStyle(Qt::SolidLine);
  mBrush.setColor(QColor(40, 50, 255, 30));
  mBrush.setStyle(Qt::SolidPattern);
  mSelectedPen = mPen;
  mSelectedPen.setWidthF(2.5);
  mSelectedPen.setColor(QColor(80, 80, 255));
  mSelectedBrush = mBrush;
}

PlotBars::~PlotBars()
{
  setBarsGroup(nullptr);
  // The stack closes over the gap: the part above now rests on the part below.
  if (mBarBelow || mBarAbove)
    connectBars(mBarBelow.data(), mBarAbove.data());
  delete mData;
}

void PlotBars::setBarsGroup(PlotBarsGroup *barsGroup)
{
  if (mBarsGroup)
    mBarsGroup->unregisterBars(this);
  mBarsGroup = barsGroup;
  if (mBarsGroup)
    mBarsGroup->registerBars(this);
}

// ---------------------------------------------------------------------------
// Stacking

void PlotBars::connectBars(PlotBars *lower, PlotBars *upper)
{
  if (!lower && !upper)
    return;
  if (!lower) {
    if (upper->mBarBelow && upper->mBarBelow->mBarAbove == upper)
      upper->mBarBelow->mBarAbove = nullptr;
    upper->mBarBelow = nullptr;
  } else if (!upper) {
    if (lower->mBarAbove && lower->mBarAbove->mBarBelow == lower)
      lower->mBarAbove->mBarBelow = nullptr;
    lower->mBarAbove = nullptr;
  } else {
    if (lower->mBarAbove && lower->mBarAbove->mBarBelow == lower)
      lower->mBarAbove->mBarBelow = nullptr;
    if (upper->mBarBelow && upper->mBarBelow->mBarAbove == upper)
      upper->mBarBelow->mBarAbove = nullptr;
    lower->mBarAbove = upper;
    upper->mBarBelow = lower;
  }
}

void PlotBars::moveBelow(PlotBars *bars)
{
  if (bars == this)
    return;
  if (bars && (bars->keyAxis() != keyAxis() || bars->valueAxis() != valueAxis())) {
    qDebug() << Q_FUNC_INFO << "passed PlotBars* doesn't have same key and value axis as this PlotBars";
    return;
  }
  connectBars(mBarBelow.data(), mBarAbove.data());
  if (!bars)
    return;
  if (bars->mBarBelow)
    connectBars(bars->mBarBelow.data(), this);
  connectBars(this, bars);
}

void PlotBars::moveAbove(PlotBars *bars)
{
  if (bars == this)
    return;
  if (bars && (bars->keyAxis() != keyAxis() || bars->valueAxis() != valueAxis())) {
    qDebug() << Q_FUNC_INFO << "passed PlotBars* doesn't have same key and value axis as this PlotBars";
    return;
  }
  connectBars(mBarBelow.data(), mBarAbove.data());
  if (!bars)
    return;
  if (bars->mBarAbove)
    connectBars(this, bars->mBarAbove.data());
  connectBars(bars, this);
}

double PlotBars::getStackedBaseValue(double key, bool positive) const
{
  const PlotBars *below = mBarBelow.data();
  if (!below)
    return mBaseValue;
  // Bars of the plottable below within a relative 1e-6 of the key count as
  // the same key; positive bars rest on the positive ones, negative on negative.
  const double epsilon = key == 0 ? 1e-6 : std::fabs(key) * 1e-6;
  const PlotBarDataMap &belowData = *below->mData;
  double extreme = 0;
  const auto end = belowData.upperBound(key + epsilon);
  for (auto it = belowData.lowerBound(key - epsilon); it != end; ++it) {
    const double v = it.value().value;
    if ((positive && v > extreme) || (!positive && v < extreme))
      extreme = v;
  }
  return extreme + below->getStackedBaseValue(key, positive);
}

// ---------------------------------------------------------------------------
// Data operations. None of them replots.

void PlotBars::setData(PlotBarDataMap *data, bool copy)
{
  Plot::adoptData(mData, data, copy, Q_FUNC_INFO);
}

void PlotBars::setData(const QList<double> &keys, const QList<double> &values)
{
  clearData();
  addData(keys, values);
}

void PlotBars::addData(const PlotBarDataMap &dataMap)
{
  Plot::insertNumberKeys(mData, dataMap);
}

void PlotBars::addData(const PlotBarData &data)
{
  if (!std::isnan(data.key))
    mData->insert(data.key, data);
}

void PlotBars::addData(double key, double value)
{
  addData(PlotBarData(key, value));
}

void PlotBars::addData(const QList<double> &keys, const QList<double> &values)
{
  const qsizetype n = std::min(keys.size(), values.size());
  for (qsizetype i = 0; i < n; ++i)
    addData(PlotBarData(keys.at(i), values.at(i)));
}

void PlotBars::removeDataBefore(double key)
{
  Plot::removeBefore(mData, key);
}

void PlotBars::removeDataAfter(double key)
{
  Plot::removeAfter(mData, key);
}

void PlotBars::removeData(double fromKey, double toKey)
{
  Plot::removeBetween(mData, fromKey, toKey);
}

void PlotBars::removeData(double key)
{
  mData->remove(key);
}

void PlotBars::clearData()
{
  mData->clear();
}

// ---------------------------------------------------------------------------
// Geometry

void PlotBars::getPixelWidth(double key, double &lower, double &upper) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  switch (mWidthType) {
  case wtAbsolute:
    upper = mWidth * 0.5;
    lower = -upper;
    break;
  case wtAxisRectRatio:
    if (!keyAxis || !keyAxis->axisRect()) {
      qDebug() << Q_FUNC_INFO << "No key axis or axis rect defined";
      return;
    }
    upper = (keyAxis->orientation() == Qt::Horizontal ? keyAxis->axisRect()->rect().width()
                                                       : keyAxis->axisRect()->rect().height()) *
            mWidth * 0.5;
    lower = -upper;
    break;
  case wtPlotCoords: {
    if (!keyAxis) {
      qDebug() << Q_FUNC_INFO << "No key axis defined";
      return;
    }
    // The axis mapping already orders the edges.
    const double keyPixel = keyAxis->coordToPixel(key);
    upper = keyAxis->coordToPixel(key + mWidth * 0.5) - keyPixel;
    lower = keyAxis->coordToPixel(key - mWidth * 0.5) - keyPixel;
    return;
  }
  }
  // Pixel offsets: lower must point towards lower keys.
  if (keyAxis && (keyAxis->rangeReversed() != (keyAxis->orientation() == Qt::Vertical)))
    std::swap(lower, upper);
}

double PlotBars::groupOffset(double key) const
{
  return mBarsGroup ? mBarsGroup->keyPixelOffset(this, key) : 0.0;
}

QPolygonF PlotBars::getBarPolygon(double key, double value) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return QPolygonF();
  }
  double lower = 0, upper = 0;
  getPixelWidth(key, lower, upper);
  const double base = getStackedBaseValue(key, value >= 0);
  const double basePixel = valueAxis->coordToPixel(base);
  const double valuePixel = valueAxis->coordToPixel(base + value);
  const double keyPixel = keyAxis->coordToPixel(key) + groupOffset(key);
  QPolygonF polygon;
  polygon.reserve(4);
  if (keyAxis->orientation() == Qt::Horizontal) {
    polygon << QPointF(keyPixel + lower, basePixel) << QPointF(keyPixel + lower, valuePixel)
            << QPointF(keyPixel + upper, valuePixel) << QPointF(keyPixel + upper, basePixel);
  } else {
    polygon << QPointF(basePixel, keyPixel + lower) << QPointF(valuePixel, keyPixel + lower)
            << QPointF(valuePixel, keyPixel + upper) << QPointF(basePixel, keyPixel + upper);
  }
  return polygon;
}

void PlotBars::getVisibleDataBounds(DataIterator &lower, DataIterator &upperEnd) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key axis";
    return;
  }
  // The const map: a look-up must never detach a shared map.
  const PlotBarDataMap &data = *mData;
  if (data.isEmpty()) {
    lower = upperEnd = data.constEnd();
    return;
  }
  lower = data.lowerBound(keyAxis->range().lower);
  upperEnd = data.upperBound(keyAxis->range().upper);
  const double lowerPixel = keyAxis->coordToPixel(keyAxis->range().lower);
  const double upperPixel = keyAxis->coordToPixel(keyAxis->range().upper);
  const bool horizontal = keyAxis->orientation() == Qt::Horizontal;
  const bool reversed = keyAxis->rangeReversed();

  // Neighbours outside the range whose bars still reach into it.
  while (lower != data.constBegin()) {
    const DataIterator candidate = std::prev(lower);
    const QRectF bar = getBarPolygon(candidate.key(), candidate.value().value).boundingRect();
    const bool shows = horizontal ? (reversed ? bar.left() <= lowerPixel : bar.right() >= lowerPixel)
                                  : (reversed ? bar.bottom() >= lowerPixel : bar.top() <= lowerPixel);
    if (!shows)
      break;
    lower = candidate;
  }
  while (upperEnd != data.constEnd()) {
    const QRectF bar = getBarPolygon(upperEnd.key(), upperEnd.value().value).boundingRect();
    const bool shows = horizontal ? (reversed ? bar.right() >= upperPixel : bar.left() <= upperPixel)
                                  : (reversed ? bar.top() <= upperPixel : bar.bottom() >= upperPixel);
    if (!shows)
      break;
    ++upperEnd;
  }
}

// ---------------------------------------------------------------------------
// Drawing, hit test and ranges

void PlotBars::draw(PlotPainter *painter)
{
  if (!mKeyAxis || !mValueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  if (mData->isEmpty())
    return;
  DataIterator lower, upperEnd;
  lower = upperEnd = mData->constEnd();
  getVisibleDataBounds(lower, upperEnd);
  const QBrush brush = mainBrush();
  const QPen pen = mainPen();
  const bool fill = brush.style() != Qt::NoBrush && brush.color().alpha() != 0;
  const bool outline = pen.style() != Qt::NoPen && pen.color().alpha() != 0;
  for (DataIterator it = lower; it != upperEnd; ++it) {
    // A bar without a finite length has no polygon to hand the painter.
    if (!std::isfinite(it.value().value))
      continue;
    const QPolygonF polygon = getBarPolygon(it.key(), it.value().value);
    if (fill) {
      applyFillAntialiasingHint(painter);
      painter->setPen(Qt::NoPen);
      painter->setBrush(brush);
      painter->drawPolygon(polygon, Qt::OddEvenFill);
    }
    if (outline) {
      // Open towards the base line.
      applyDefaultAntialiasingHint(painter);
      painter->setPen(pen);
      painter->setBrush(Qt::NoBrush);
      painter->drawPolyline(polygon);
    }
  }
}

void PlotBars::drawLegendIcon(PlotPainter *painter, const QRectF &rect) const
{
  applyDefaultAntialiasingHint(painter);
  painter->setBrush(mBrush);
  painter->setPen(mPen);
  QRectF bar(0, 0, rect.width() * 0.67, rect.height() * 0.67);
  bar.moveCenter(rect.center());
  painter->drawRect(bar);
}

double PlotBars::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis || !mValueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return -1;
  }
  if (!keyAxis->axisRect() || !keyAxis->axisRect()->rect().contains(pos.toPoint()))
    return -1;
  // Every bar, not only the visible ones: a wide bar keyed outside the view
  // may still cover the point.
  for (const PlotBarData &bar : std::as_const(*mData)) {
    if (!std::isfinite(bar.value))
      continue;
    if (getBarPolygon(bar.key, bar.value).boundingRect().contains(pos))
      return mParentPlot ? mParentPlot->selectionTolerance() * 0.99 : 0;
  }
  return -1;
}

PlotRange PlotBars::getKeyRange(bool &foundRange, SignDomain inSignDomain) const
{
  PlotRange range;
  bool found = false;
  for (const PlotBarData &bar : std::as_const(*mData)) {
    if (!Plot::inSignDomain(bar.key, inSignDomain))
      continue;
    if (bar.key < range.lower || !found)
      range.lower = bar.key;
    if (bar.key > range.upper || !found)
      range.upper = bar.key;
    found = true;
  }
  foundRange = found;
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (found && keyAxis) {
    // Out to the outer edges of the outermost bars.
    double lowerOffset = 0, upperOffset = 0, unused = 0;
    getPixelWidth(range.lower, lowerOffset, unused);
    getPixelWidth(range.upper, unused, upperOffset);
    const double lowerPixel = keyAxis->coordToPixel(range.lower) + lowerOffset + groupOffset(range.lower);
    const double upperPixel = keyAxis->coordToPixel(range.upper) + upperOffset + groupOffset(range.upper);
    range.lower = keyAxis->pixelToCoord(lowerPixel);
    range.upper = keyAxis->pixelToCoord(upperPixel);
  }
  return range;
}

PlotRange PlotBars::getValueRange(bool &foundRange, SignDomain inSignDomain) const
{
  // The base line always shows.
  PlotRange range(mBaseValue, mBaseValue);
  for (const PlotBarData &bar : std::as_const(*mData)) {
    const double top = bar.value + getStackedBaseValue(bar.key, bar.value >= 0);
    if (!Plot::inSignDomain(top, inSignDomain))
      continue;
    if (top < range.lower)
      range.lower = top;
    if (top > range.upper)
      range.upper = top;
  }
  foundRange = true;
  return range;
}
