#include "plotfinancial.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotdatakeys.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QPolygonF>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <limits>

PlotFinancial::PlotFinancial(PlotAxis *keyAxis, PlotAxis *valueAxis)
    : PlotAbstractPlottable(keyAxis, valueAxis), mData(new PlotFinancialDataMap), mChartStyle(csOhlc), mWidth(0.5),
      mTwoColored(false), mBrushPositive(QColor(210, 210, 255)), mBrushNegative(QColor(255, 210, 210)),
      mPenPositive(QColor(10, 40, 180)), mPenNegative(QColor(180, 40, 10))
{
  setSelectedPen(QPen(QColor(80, 80, 255), 2.5));
  setSelectedBrush(QBrush(QColor(80, 80, 255)));
}

PlotFinancial::~PlotFinancial()
{
  delete mData;
}

// ---------------------------------------------------------------------------
// Data operations. None of them replots.

void PlotFinancial::setData(PlotFinancialDataMap *data, bool copy)
{
  Plot::adoptData(mData, data, copy, Q_FUNC_INFO);
}

void PlotFinancial::setData(const QList<double> &key, const QList<double> &open, const QList<double> &high,
                            const QList<double> &low, const QList<double> &close)
{
  clearData();
  addData(key, open, high, low, close);
}

void PlotFinancial::addData(const PlotFinancialDataMap &dataMap)
{
  Plot::insertNumberKeys(mData, dataMap);
}

void PlotFinancial::addData(const PlotFinancialData &data)
{
  if (!std::isnan(data.key))
    mData->insert(data.key, data);
}

void PlotFinancial::addData(double key, double open, double high, double low, double close)
{
  addData(PlotFinancialData(key, open, high, low, close));
}

void PlotFinancial::addData(const QList<double> &key, const QList<double> &open, const QList<double> &high,
                            const QList<double> &low, const QList<double> &close)
{
  const qsizetype n = std::min({key.size(), open.size(), high.size(), low.size(), close.size()});
  for (qsizetype i = 0; i < n; ++i)
    addData(PlotFinancialData(key.at(i), open.at(i), high.at(i), low.at(i), close.at(i)));
}

void PlotFinancial::removeDataBefore(double key)
{
  Plot::removeBefore(mData, key);
}

void PlotFinancial::removeDataAfter(double key)
{
  Plot::removeAfter(mData, key);
}

void PlotFinancial::removeData(double fromKey, double toKey)
{
  Plot::removeBetween(mData, fromKey, toKey);
}

void PlotFinancial::removeData(double key)
{
  mData->remove(key);
}

void PlotFinancial::clearData()
{
  mData->clear();
}

PlotFinancialDataMap PlotFinancial::timeSeriesToOhlc(const QList<double> &time, const QList<double> &value,
                                                     double timeBinSize, double timeBinOffset)
{
  PlotFinancialDataMap map;
  if (!std::isfinite(timeBinSize) || timeBinSize <= 0) {
    qDebug() << Q_FUNC_INFO << "invalid time bin size" << timeBinSize;
    return map;
  }
  // Beyond this a bin index does not fit 64 bits; such a time has no bin.
  constexpr double indexLimit = 9.2e18;
  const qsizetype n = std::min(time.size(), value.size());
  bool open = false;
  qint64 currentBin = 0;
  PlotFinancialData period;
  double lastValue = 0;
  const auto closePeriod = [&] {
    period.close = lastValue;
    period.key = timeBinOffset + double(currentBin) * timeBinSize;
    map.insert(period.key, period);
  };
  for (qsizetype i = 0; i < n; ++i) {
    const double index = std::floor((time.at(i) - timeBinOffset) / timeBinSize + 0.5);
    if (!(std::fabs(index) < indexLimit)) // NaN too
      continue;
    const qint64 bin = qint64(index);
    const double v = value.at(i);
    if (open && bin == currentBin) {
      if (v < period.low)
        period.low = v;
      if (v > period.high)
        period.high = v;
    } else {
      if (open)
        closePeriod();
      currentBin = bin;
      period = PlotFinancialData(0, v, v, v, v);
      open = true;
    }
    lastValue = v;
  }
  if (open)
    closePeriod();
  return map;
}

// ---------------------------------------------------------------------------
// Drawing

QPen PlotFinancial::periodPen(const PlotFinancialData &d) const
{
  if (mSelected)
    return mSelectedPen;
  if (!mTwoColored)
    return mPen;
  return d.close >= d.open ? mPenPositive : mPenNegative;
}

QBrush PlotFinancial::periodBrush(const PlotFinancialData &d) const
{
  if (mSelected)
    return mSelectedBrush;
  if (!mTwoColored)
    return mBrush;
  return d.close >= d.open ? mBrushPositive : mBrushNegative;
}

void PlotFinancial::getVisibleDataBounds(DataIterator &lower, DataIterator &upper) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key axis";
    return;
  }
  const PlotFinancialDataMap &data = *mData;
  if (data.isEmpty()) {
    lower = data.constEnd();
    upper = data.constEnd();
    return;
  }
  // The const map: a look-up must never detach a shared map.
  lower = data.lowerBound(keyAxis->range().lower);
  if (lower != data.constBegin())
    --lower;
  upper = data.upperBound(keyAxis->range().upper);
  if (upper == data.constEnd())
    --upper;
}

void PlotFinancial::draw(PlotPainter *painter)
{
  DataIterator lower, upper;
  lower = upper = mData->constEnd();
  getVisibleDataBounds(lower, upper);
  if (lower == mData->constEnd() || upper == mData->constEnd() || !mKeyAxis)
    return;
  const DataIterator end = std::next(upper);
  if (mChartStyle == csOhlc)
    drawOhlcPlot(painter, lower, end);
  else if (mChartStyle == csCandlestick)
    drawCandlestickPlot(painter, lower, end);
}

void PlotFinancial::drawOhlcPlot(PlotPainter *painter, const DataIterator &begin, const DataIterator &end) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  const bool horizontal = keyAxis->orientation() == Qt::Horizontal;
  applyDefaultAntialiasingHint(painter);
  for (DataIterator it = begin; it != end; ++it) {
    const PlotFinancialData &d = it.value();
    painter->setPen(periodPen(d));
    const double k = keyAxis->coordToPixel(d.key);
    const double kw = k - keyAxis->coordToPixel(d.key - mWidth * 0.5);
    const double o = valueAxis->coordToPixel(d.open);
    const double h = valueAxis->coordToPixel(d.high);
    const double l = valueAxis->coordToPixel(d.low);
    const double c = valueAxis->coordToPixel(d.close);
    if (horizontal) {
      painter->drawLine(QLineF(k, h, k, l));
      painter->drawLine(QLineF(k - kw, o, k, o));
      painter->drawLine(QLineF(k, c, k + kw, c));
    } else {
      painter->drawLine(QLineF(h, k, l, k));
      painter->drawLine(QLineF(o, k - kw, o, k));
      painter->drawLine(QLineF(c, k, c, k + kw));
    }
  }
}

void PlotFinancial::drawCandlestickPlot(PlotPainter *painter, const DataIterator &begin,
                                        const DataIterator &end) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  const bool horizontal = keyAxis->orientation() == Qt::Horizontal;
  applyDefaultAntialiasingHint(painter);
  for (DataIterator it = begin; it != end; ++it) {
    const PlotFinancialData &d = it.value();
    painter->setPen(periodPen(d));
    painter->setBrush(periodBrush(d));
    const double k = keyAxis->coordToPixel(d.key);
    const double kw = k - keyAxis->coordToPixel(d.key - mWidth * 0.5);
    const double o = valueAxis->coordToPixel(d.open);
    const double c = valueAxis->coordToPixel(d.close);
    const double h = valueAxis->coordToPixel(d.high);
    const double l = valueAxis->coordToPixel(d.low);
    const double top = valueAxis->coordToPixel(std::max(d.open, d.close));
    const double bottom = valueAxis->coordToPixel(std::min(d.open, d.close));
    if (horizontal) {
      painter->drawLine(QLineF(k, h, k, top));
      painter->drawLine(QLineF(k, l, k, bottom));
      painter->drawRect(QRectF(QPointF(k - kw, c), QSizeF(2 * kw, o - c)));
    } else {
      painter->drawLine(QLineF(h, k, top, k));
      painter->drawLine(QLineF(l, k, bottom, k));
      painter->drawRect(QRectF(QPointF(c, k - kw), QSizeF(o - c, 2 * kw)));
    }
  }
}

void PlotFinancial::drawLegendIcon(PlotPainter *painter, const QRectF &rect) const
{
  painter->setAntialiasing(false);
  const double x = rect.left(), y = rect.top(), w = rect.width(), h = rect.height();
  const auto drawShapes = [&] {
    if (mChartStyle == csOhlc) {
      painter->drawLine(QLineF(x, y + 0.5 * h, x + w, y + 0.5 * h));
      painter->drawLine(QLineF(x + 0.2 * w, y + 0.3 * h, x + 0.2 * w, y + 0.5 * h));
      painter->drawLine(QLineF(x + 0.8 * w, y + 0.5 * h, x + 0.8 * w, y + 0.7 * h));
    } else {
      painter->drawLine(QLineF(x, y + 0.5 * h, x + 0.25 * w, y + 0.5 * h));
      painter->drawLine(QLineF(x + 0.75 * w, y + 0.5 * h, x + w, y + 0.5 * h));
      painter->drawRect(QRectF(x + 0.25 * w, y + 0.25 * h, 0.5 * w, 0.5 * h));
    }
  };
  if (mChartStyle != csOhlc && mChartStyle != csCandlestick)
    return;
  if (!mTwoColored) {
    painter->setBrush(mBrush);
    painter->setPen(mPen);
    drawShapes();
    return;
  }
  // Rising colours in the upper-left half, falling ones in the lower-right.
  painter->setBrush(mBrushPositive);
  painter->setPen(mPenPositive);
  painter->setClipRegion(
      QRegion(QPolygonF({rect.bottomLeft(), rect.topRight(), rect.topLeft()}).toPolygon(), Qt::OddEvenFill),
      Qt::ReplaceClip);
  drawShapes();
  painter->setBrush(mBrushNegative);
  painter->setPen(mPenNegative);
  painter->setClipRegion(
      QRegion(QPolygonF({rect.bottomLeft(), rect.topRight(), rect.bottomRight()}).toPolygon(), Qt::OddEvenFill),
      Qt::ReplaceClip);
  drawShapes();
}

// ---------------------------------------------------------------------------
// Hit test and ranges

double PlotFinancial::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
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
  DataIterator lower, upper;
  lower = upper = mData->constEnd();
  getVisibleDataBounds(lower, upper);
  if (lower == mData->constEnd() || upper == mData->constEnd())
    return -1;
  const DataIterator end = std::next(upper);
  if (mChartStyle == csOhlc)
    return ohlcSelectTest(pos, lower, end);
  if (mChartStyle == csCandlestick)
    return candlestickSelectTest(pos, lower, end);
  return -1;
}

double PlotFinancial::ohlcSelectTest(const QPointF &pos, const DataIterator &begin, const DataIterator &end) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return -1;
  }
  const bool horizontal = keyAxis->orientation() == Qt::Horizontal;
  double minDistSqr = std::numeric_limits<double>::max();
  for (DataIterator it = begin; it != end; ++it) {
    const PlotFinancialData &d = it.value();
    const double k = keyAxis->coordToPixel(d.key);
    const double h = valueAxis->coordToPixel(d.high);
    const double l = valueAxis->coordToPixel(d.low);
    const double distSqr = horizontal ? distSqrToLine(QPointF(k, h), QPointF(k, l), pos)
                                      : distSqrToLine(QPointF(h, k), QPointF(l, k), pos);
    if (distSqr < minDistSqr)
      minDistSqr = distSqr;
  }
  return std::sqrt(minDistSqr);
}

double PlotFinancial::candlestickSelectTest(const QPointF &pos, const DataIterator &begin,
                                            const DataIterator &end) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return -1;
  }
  const bool horizontal = keyAxis->orientation() == Qt::Horizontal;
  const double tolerance = mParentPlot ? mParentPlot->selectionTolerance() * 0.99 : 0;
  double posKey = 0, posValue = 0;
  pixelsToCoords(pos, posKey, posValue);
  double minDistSqr = std::numeric_limits<double>::max();
  for (DataIterator it = begin; it != end; ++it) {
    const PlotFinancialData &d = it.value();
    double distSqr;
    if (posKey >= d.key - mWidth * 0.5 && posKey <= d.key + mWidth * 0.5 &&
        posValue >= std::min(d.open, d.close) && posValue <= std::max(d.open, d.close)) {
      distSqr = tolerance * tolerance;
    } else {
      const double k = keyAxis->coordToPixel(d.key);
      const double top = valueAxis->coordToPixel(std::max(d.open, d.close));
      const double bottom = valueAxis->coordToPixel(std::min(d.open, d.close));
      const double h = valueAxis->coordToPixel(d.high);
      const double l = valueAxis->coordToPixel(d.low);
      if (horizontal)
        distSqr = std::min(distSqrToLine(QPointF(k, top), QPointF(k, h), pos),
                           distSqrToLine(QPointF(k, bottom), QPointF(k, l), pos));
      else
        distSqr = std::min(distSqrToLine(QPointF(top, k), QPointF(h, k), pos),
                           distSqrToLine(QPointF(bottom, k), QPointF(l, k), pos));
    }
    if (distSqr < minDistSqr)
      minDistSqr = distSqr;
  }
  return std::sqrt(minDistSqr);
}

PlotRange PlotFinancial::getKeyRange(bool &foundRange, SignDomain inSignDomain) const
{
  PlotRange range;
  bool found = false;
  for (const PlotFinancialData &d : std::as_const(*mData)) {
    if (!Plot::inSignDomain(d.key, inSignDomain))
      continue;
    if (d.key < range.lower || !found)
      range.lower = d.key;
    if (d.key > range.upper || !found)
      range.upper = d.key;
    found = true;
  }
  foundRange = found;
  if (found && mKeyAxis) {
    range.lower -= mWidth * 0.5;
    range.upper += mWidth * 0.5;
  }
  return range;
}

PlotRange PlotFinancial::getValueRange(bool &foundRange, SignDomain inSignDomain) const
{
  PlotRange range;
  bool found = false;
  for (const PlotFinancialData &d : std::as_const(*mData)) {
    // NaN bounds are left out; they would turn the whole range NaN.
    for (double v : {d.high, d.low}) {
      if (!Plot::inSignDomain(v, inSignDomain))
        continue;
      if (v < range.lower || !found)
        range.lower = v;
      if (v > range.upper || !found)
        range.upper = v;
      found = true;
    }
  }
  foundRange = found;
  return range;
}
