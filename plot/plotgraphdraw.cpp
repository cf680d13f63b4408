// The graph's drawing: visible bounds, adaptive sampling, the line styles
// and the legend icon.
#include "plotaxis.h"
#include "plotdatakeys.h"
#include "plotgraph.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

using Plot::isNanPoint;

namespace {
// Truncation toward zero that saturates instead of overflowing: the points
// just outside the visible range can lie very far off screen.
int truncToInt(double value)
{
  if (std::isnan(value))
    return 0;
  if (value >= double(INT_MAX))
    return INT_MAX;
  if (value <= double(INT_MIN))
    return INT_MIN;
  return int(value);
}

// The pixel point of a key pixel and a value pixel.
QPointF pixelOf(bool verticalKey, double keyPixel, double valuePixel)
{
  return verticalKey ? QPointF(valuePixel, keyPixel) : QPointF(keyPixel, valuePixel);
}

// The pixel columns of a key axis that the samplings group points by; a
// reversed direction steps by -1 and rounds up.
struct PixelColumns
{
  PixelColumns(const PlotAxis *axis, bool reversed)
      : axis(axis), step(reversed ? -1 : 1), rounding(reversed ? 1 : 0),
        logarithmic(axis->scaleType() == PlotAxis::stLogarithmic)
  {
  }
  // The key at the starting edge of a key's pixel column.
  double start(double key) const { return axis->pixelToCoord(truncToInt(axis->coordToPixel(key) + rounding)); }
  // The width in keys of the column that starts at columnStart.
  double width(double columnStart) const
  {
    return std::fabs(columnStart - axis->pixelToCoord(axis->coordToPixel(columnStart) + step));
  }

  const PlotAxis *axis;
  double step;
  double rounding;
  bool logarithmic; // column widths vary and are computed per column
};
} // namespace

void PlotGraph::draw(PlotPainter *painter)
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  if (!(keyAxis->range().size() > 0) || mData->isEmpty())
    return;
  if (mLineStyle == lsNone && mScatterStyle.isNone())
    return;

  QList<QPointF> lineData;
  QList<PlotData> scatterData;
  const bool withScatter = !mScatterStyle.isNone();
  getPlotData(&lineData, withScatter ? &scatterData : nullptr);

  drawFill(painter, &lineData);
  if (mLineStyle == lsImpulse)
    drawImpulsePlot(painter, &lineData);
  else if (mLineStyle != lsNone)
    drawLinePlot(painter, &lineData);
  // Symbols and error bars lie on top of the line.
  if (withScatter)
    drawScatterPlot(painter, &scatterData);
}

// ---------------------------------------------------------------------------
// From the map to prepared points

void PlotGraph::getVisibleDataBounds(DataIterator &lower, DataIterator &upper) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key axis";
    return;
  }
  // Only const look-ups: a map shared with another graph or a copy must not
  // be detached (copied) by drawing.
  const PlotDataMap &data = *mData;
  if (data.isEmpty()) {
    lower = data.constEnd();
    upper = data.constEnd();
    return;
  }
  // One point beyond each side of the visible range, where there is one, so
  // that the line runs out of the plot on both sides.
  const DataIterator lb = data.lowerBound(keyAxis->range().lower);
  const DataIterator ub = data.upperBound(keyAxis->range().upper);
  lower = lb != data.constBegin() ? std::prev(lb) : lb;
  upper = ub != data.constEnd() ? ub : std::prev(data.constEnd());
}

int PlotGraph::countDataInBounds(const DataIterator &lower, const DataIterator &upper, int maxCount) const
{
  const DataIterator end = mData->constEnd();
  if (lower == end && upper == end)
    return 0;
  if (maxCount < 1)
    return 0;
  int count = 1;
  DataIterator it = lower;
  while (it != upper && it != end && count < maxCount) {
    ++it;
    ++count;
  }
  return count;
}

void PlotGraph::getPreparedData(QList<PlotData> *lineData, QList<PlotData> *scatterData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  DataIterator lower = mData->constEnd();
  DataIterator upper = mData->constEnd();
  getVisibleDataBounds(lower, upper);
  if (lower == mData->constEnd() || upper == mData->constEnd())
    return;

  int maxCount = INT_MAX;
  if (mAdaptiveSampling) {
    // Two points per pixel column on average make sampling worth its while.
    double keyPixelSpan = std::fabs(keyAxis->coordToPixel(lower.key()) - keyAxis->coordToPixel(upper.key()));
    const double largestSpan = (INT_MAX - 2) / 2.0;
    if (!(keyPixelSpan < largestSpan))
      keyPixelSpan = largestSpan;
    maxCount = 2 * int(keyPixelSpan) + 2;
  }
  const int dataCount = countDataInBounds(lower, upper, maxCount);

  if (mAdaptiveSampling && dataCount >= maxCount) {
    if (lineData)
      lineSampling(lower, upper, lineData);
    if (scatterData)
      scatterSampling(lower, upper, scatterData);
    return;
  }

  QList<PlotData> *target = lineData ? lineData : scatterData;
  if (!target)
    return;
  target->reserve(dataCount + 2); // two more for the fill base points
  const DataIterator stop = std::next(upper);
  for (DataIterator it = lower; it != stop; ++it)
    target->append(it.value());
  if (lineData && scatterData)
    *scatterData = *lineData;
}

// One pass over the bounds; each pixel column yields at most four points: its
// minimum and maximum and, next to a gap, its real first and last values.
void PlotGraph::lineSampling(DataIterator lower, DataIterator upper, QList<PlotData> *lineData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PixelColumns columns(keyAxis, keyAxis->rangeReversed() != (keyAxis->orientation() == Qt::Vertical));

  const PlotData &firstPoint = lower.value();
  double firstKey = firstPoint.key;
  double firstValue = firstPoint.value;
  double minValue = firstValue;
  double maxValue = firstValue;
  double start = columns.start(lower.key());
  double width = columns.width(start);
  double lastEnd = start;
  int count = 1;
  const PlotData *previous = &firstPoint;

  const DataIterator stop = std::next(upper);
  for (DataIterator it = std::next(lower); it != stop; ++it) {
    const PlotData &point = it.value();
    if (it.key() < start + width) {
      // NaN compares false both ways and is never taken as an extreme.
      if (point.value < minValue)
        minValue = point.value;
      else if (point.value > maxValue)
        maxValue = point.value;
      ++count;
    } else {
      if (count == 1) {
        lineData->append(PlotData(firstKey, firstValue));
      } else {
        if (lastEnd < start - width)
          lineData->append(PlotData(start + 0.2 * width, firstValue));
        lineData->append(PlotData(start + 0.25 * width, minValue));
        lineData->append(PlotData(start + 0.75 * width, maxValue));
        if (it.key() > start + 2 * width)
          lineData->append(PlotData(start + 0.8 * width, previous->value));
      }
      lastEnd = previous->key;
      minValue = maxValue = point.value;
      firstKey = point.key;
      firstValue = point.value;
      start = columns.start(it.key());
      if (columns.logarithmic)
        width = columns.width(start);
      count = 1;
    }
    previous = &point;
  }
  if (count == 1) {
    lineData->append(PlotData(firstKey, firstValue));
  } else {
    if (lastEnd < start - width)
      lineData->append(PlotData(start + 0.2 * width, firstValue));
    lineData->append(PlotData(start + 0.25 * width, minValue));
    lineData->append(PlotData(start + 0.75 * width, maxValue));
  }
}

// Keeps the points with the extreme values of each pixel column and about one
// symbol per four pixels of the column's value extent, inside the value range.
void PlotGraph::scatterSampling(DataIterator lower, DataIterator upper, QList<PlotData> *scatterData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  const double valueLow = valueAxis->range().lower;
  const double valueHigh = valueAxis->range().upper;
  const auto inside = [valueLow, valueHigh](double value) { return value > valueLow && value < valueHigh; };
  // The direction follows the range alone here, not the orientation.
  const PixelColumns columns(keyAxis, keyAxis->rangeReversed());

  DataIterator columnBegin = lower;
  DataIterator minPoint = lower;
  DataIterator maxPoint = lower;
  double minValue = lower.value().value;
  double maxValue = minValue;
  double start = columns.start(lower.key());
  double width = columns.width(start);
  int count = 1;

  const auto emitColumn = [&](DataIterator columnEnd) {
    if (count == 1) {
      if (inside(columnBegin.value().value))
        scatterData->append(columnBegin.value());
      return;
    }
    const double valueSpan = std::fabs(valueAxis->coordToPixel(minValue) - valueAxis->coordToPixel(maxValue));
    const double quotient = count / (valueSpan * 0.25);
    int modulo = 1;
    if (std::isfinite(quotient))
      modulo = quotient >= double(INT_MAX) ? INT_MAX : std::max(1, qRound(quotient));
    int c = 0;
    for (DataIterator it = columnBegin; it != columnEnd; ++it, ++c) {
      if ((c % modulo == 0 || it == minPoint || it == maxPoint) && inside(it.value().value))
        scatterData->append(it.value());
    }
  };

  const DataIterator stop = std::next(upper);
  for (DataIterator it = std::next(lower); it != stop; ++it) {
    const double value = it.value().value;
    if (it.key() < start + width) {
      if (value < minValue && inside(value)) {
        minValue = value;
        minPoint = it;
      } else if (value > maxValue && inside(value)) {
        maxValue = value;
        maxPoint = it;
      }
      ++count;
    } else {
      emitColumn(it);
      minValue = maxValue = value;
      columnBegin = minPoint = maxPoint = it;
      start = columns.start(it.key());
      if (columns.logarithmic)
        width = columns.width(start);
      count = 1;
    }
  }
  emitColumn(stop);
}

// ---------------------------------------------------------------------------
// Prepared points to pixel points, by line style

void PlotGraph::getPlotData(QList<QPointF> *lineData, QList<PlotData> *scatterData) const
{
  switch (mLineStyle) {
  case lsNone:
    getScatterPlotData(scatterData);
    break;
  case lsLine:
    getLinePlotData(lineData, scatterData);
    break;
  case lsStepLeft:
    getStepLeftPlotData(lineData, scatterData);
    break;
  case lsStepRight:
    getStepRightPlotData(lineData, scatterData);
    break;
  case lsStepCenter:
    getStepCenterPlotData(lineData, scatterData);
    break;
  case lsImpulse:
    getImpulsePlotData(lineData, scatterData);
    break;
  }
}

void PlotGraph::getScatterPlotData(QList<PlotData> *scatterData) const
{
  getPreparedData(nullptr, scatterData);
}

// The common start of the line pixel generators: the axes and the output
// list are checked, reported under the generator's own signature, and the
// points prepared.
bool PlotGraph::prepareLineData(const char *signature, const char *nullListMessage,
                                const QList<QPointF> *linePixelData, QList<PlotData> *lineData,
                                QList<PlotData> *scatterData) const
{
  if (!mKeyAxis || !mValueAxis) {
    qDebug() << signature << "invalid key or value axis";
    return false;
  }
  if (!linePixelData) {
    qDebug() << signature << nullListMessage;
    return false;
  }
  getPreparedData(lineData, scatterData);
  return true;
}

void PlotGraph::getLinePlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  QList<PlotData> lineData;
  if (!prepareLineData(Q_FUNC_INFO,
                       "null pointer passed as linePixelData", linePixelData, &lineData, scatterData))
    return;
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  linePixelData->reserve(lineData.size() + 2);
  for (const PlotData &p : std::as_const(lineData))
    linePixelData->append(pixelOf(vertical, keyAxis->coordToPixel(p.key), valueAxis->coordToPixel(p.value)));
}

void PlotGraph::getStepLeftPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  QList<PlotData> lineData;
  if (!prepareLineData(Q_FUNC_INFO,
                       "null pointer passed as lineData", linePixelData, &lineData, scatterData) ||
      lineData.isEmpty())
    return;
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  linePixelData->reserve(2 * lineData.size() + 2);
  double lastValue = valueAxis->coordToPixel(lineData.first().value);
  for (const PlotData &p : std::as_const(lineData)) {
    const double k = keyAxis->coordToPixel(p.key);
    const double v = valueAxis->coordToPixel(p.value);
    linePixelData->append(pixelOf(vertical, k, lastValue));
    linePixelData->append(pixelOf(vertical, k, v));
    lastValue = v;
  }
}

void PlotGraph::getStepRightPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  QList<PlotData> lineData;
  if (!prepareLineData(Q_FUNC_INFO,
                       "null pointer passed as lineData", linePixelData, &lineData, scatterData) ||
      lineData.isEmpty())
    return;
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  linePixelData->reserve(2 * lineData.size() + 2);
  double lastKey = keyAxis->coordToPixel(lineData.first().key);
  for (const PlotData &p : std::as_const(lineData)) {
    const double k = keyAxis->coordToPixel(p.key);
    const double v = valueAxis->coordToPixel(p.value);
    linePixelData->append(pixelOf(vertical, lastKey, v));
    linePixelData->append(pixelOf(vertical, k, v));
    lastKey = k;
  }
}

void PlotGraph::getStepCenterPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  QList<PlotData> lineData;
  if (!prepareLineData(Q_FUNC_INFO,
                       "null pointer passed as lineData", linePixelData, &lineData, scatterData) ||
      lineData.isEmpty())
    return;
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  linePixelData->reserve(2 * lineData.size() + 2);
  double lastKey = keyAxis->coordToPixel(lineData.first().key);
  double lastValue = valueAxis->coordToPixel(lineData.first().value);
  linePixelData->append(pixelOf(vertical, lastKey, lastValue));
  for (qsizetype i = 1; i < lineData.size(); ++i) {
    const double k = keyAxis->coordToPixel(lineData.at(i).key);
    const double v = valueAxis->coordToPixel(lineData.at(i).value);
    const double middle = (k + lastKey) * 0.5;
    linePixelData->append(pixelOf(vertical, middle, lastValue));
    linePixelData->append(pixelOf(vertical, middle, v));
    lastKey = k;
    lastValue = v;
  }
  linePixelData->append(pixelOf(vertical, lastKey, lastValue));
}

void PlotGraph::getImpulsePlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  QList<PlotData> lineData;
  if (!prepareLineData(Q_FUNC_INFO,
                       "null pointer passed as linePixelData", linePixelData, &lineData, scatterData))
    return;
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  linePixelData->reserve(2 * lineData.size());
  const double zero = valueAxis->coordToPixel(0);
  for (const PlotData &p : std::as_const(lineData)) {
    const double k = keyAxis->coordToPixel(p.key);
    linePixelData->append(pixelOf(vertical, k, zero));
    linePixelData->append(pixelOf(vertical, k, valueAxis->coordToPixel(p.value)));
  }
}

// ---------------------------------------------------------------------------
// Line and impulses

void PlotGraph::drawLinePlot(PlotPainter *painter, QList<QPointF> *lineData) const
{
  const QPen pen = mainPen();
  if (pen.style() == Qt::NoPen || pen.color().alpha() == 0)
    return;
  applyDefaultAntialiasingHint(painter);
  painter->setPen(pen);
  painter->setBrush(Qt::NoBrush);

  drawLineWithGaps(painter, *lineData);
}

void PlotGraph::drawImpulsePlot(PlotPainter *painter, QList<QPointF> *lineData) const
{
  QPen pen = mainPen();
  if (pen.style() == Qt::NoPen || pen.color().alpha() == 0)
    return;
  applyDefaultAntialiasingHint(painter);
  // Flat caps: each impulse ends exactly on the row of value 0 and at its point.
  pen.setCapStyle(Qt::FlatCap);
  painter->setPen(pen);
  painter->setBrush(Qt::NoBrush);
  painter->drawLines(lineData->constData(), int(lineData->size() / 2));
}

// ---------------------------------------------------------------------------
// Legend icon

void PlotGraph::drawLegendIcon(PlotPainter *painter, const QRectF &rect) const
{
  if (mBrush.style() != Qt::NoBrush) {
    applyFillAntialiasingHint(painter);
    painter->fillRect(QRectF(rect.left(), rect.top() + rect.height() / 2.0, rect.width(), rect.height() / 3.0),
                      mBrush);
  }
  if (mLineStyle != lsNone) {
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    const double y = rect.top() + rect.height() / 2.0;
    painter->drawLine(QLineF(rect.left(), y, rect.right() + 5, y)); // reaches 5 pixels beyond the icon
  }
  drawLegendScatter(painter, mScatterStyle, rect);
}
