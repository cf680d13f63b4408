// The graph's drawing: visible bounds, adaptive sampling, the line styles,
// fill, scatter symbols, error bars and the legend icon.
#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotgraph.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

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

bool isNanPoint(const QPointF &p)
{
  return std::isnan(p.x()) || std::isnan(p.y());
}
} // namespace

void PlotGraph::draw(PlotPainter *painter)
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << "virtual void PlotGraph::draw(PlotPainter*)"
             << "invalid key or value axis";
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
    qDebug() << "void PlotGraph::getVisibleDataBounds(QMap<double, PlotData>::const_iterator&, QMap<double, "
                "PlotData>::const_iterator&) const"
             << "invalid key axis";
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
    qDebug() << "void PlotGraph::getPreparedData(QVector<PlotData>*, QVector<PlotData>*) const"
             << "invalid key or value axis";
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
  const bool reversed = keyAxis->rangeReversed() != (keyAxis->orientation() == Qt::Vertical);
  const double step = reversed ? -1 : 1;
  const double rounding = reversed ? 1 : 0;
  const bool logarithmic = keyAxis->scaleType() == PlotAxis::stLogarithmic;
  // The key at the starting edge of a key's pixel column, and the width of
  // the column that starts there.
  const auto columnStart = [keyAxis, rounding](double key) {
    return keyAxis->pixelToCoord(truncToInt(keyAxis->coordToPixel(key) + rounding));
  };
  const auto columnWidth = [keyAxis, step](double start) {
    return std::fabs(start - keyAxis->pixelToCoord(keyAxis->coordToPixel(start) + step));
  };

  const PlotData &firstPoint = lower.value();
  double firstKey = firstPoint.key;
  double firstValue = firstPoint.value;
  double minValue = firstValue;
  double maxValue = firstValue;
  double start = columnStart(lower.key());
  double width = columnWidth(start);
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
      start = columnStart(it.key());
      if (logarithmic)
        width = columnWidth(start);
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
  const bool reversed = keyAxis->rangeReversed();
  const double step = reversed ? -1 : 1;
  const double rounding = reversed ? 1 : 0;
  const bool logarithmic = keyAxis->scaleType() == PlotAxis::stLogarithmic;
  const auto columnStart = [keyAxis, rounding](double key) {
    return keyAxis->pixelToCoord(truncToInt(keyAxis->coordToPixel(key) + rounding));
  };
  const auto columnWidth = [keyAxis, step](double start) {
    return std::fabs(start - keyAxis->pixelToCoord(keyAxis->coordToPixel(start) + step));
  };

  DataIterator columnBegin = lower;
  DataIterator minPoint = lower;
  DataIterator maxPoint = lower;
  double minValue = lower.value().value;
  double maxValue = minValue;
  double start = columnStart(lower.key());
  double width = columnWidth(start);
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
      start = columnStart(it.key());
      if (logarithmic)
        width = columnWidth(start);
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

void PlotGraph::getLinePlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << "void PlotGraph::getLinePlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "invalid key or value axis";
    return;
  }
  if (!linePixelData) {
    qDebug() << "void PlotGraph::getLinePlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "null pointer passed as linePixelData";
    return;
  }
  QList<PlotData> lineData;
  getPreparedData(&lineData, scatterData);
  linePixelData->reserve(lineData.size() + 2);
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  for (const PlotData &p : std::as_const(lineData)) {
    const double k = keyAxis->coordToPixel(p.key);
    const double v = valueAxis->coordToPixel(p.value);
    linePixelData->append(vertical ? QPointF(v, k) : QPointF(k, v));
  }
}

void PlotGraph::getStepLeftPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << "void PlotGraph::getStepLeftPlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "invalid key or value axis";
    return;
  }
  if (!linePixelData) {
    qDebug() << "void PlotGraph::getStepLeftPlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "null pointer passed as lineData";
    return;
  }
  QList<PlotData> lineData;
  getPreparedData(&lineData, scatterData);
  if (lineData.isEmpty())
    return;
  linePixelData->reserve(2 * lineData.size() + 2);
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  double lastValue = valueAxis->coordToPixel(lineData.first().value);
  for (const PlotData &p : std::as_const(lineData)) {
    const double k = keyAxis->coordToPixel(p.key);
    const double v = valueAxis->coordToPixel(p.value);
    linePixelData->append(vertical ? QPointF(lastValue, k) : QPointF(k, lastValue));
    linePixelData->append(vertical ? QPointF(v, k) : QPointF(k, v));
    lastValue = v;
  }
}

void PlotGraph::getStepRightPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << "void PlotGraph::getStepRightPlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "invalid key or value axis";
    return;
  }
  if (!linePixelData) {
    qDebug() << "void PlotGraph::getStepRightPlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "null pointer passed as lineData";
    return;
  }
  QList<PlotData> lineData;
  getPreparedData(&lineData, scatterData);
  if (lineData.isEmpty())
    return;
  linePixelData->reserve(2 * lineData.size() + 2);
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  double lastKey = keyAxis->coordToPixel(lineData.first().key);
  for (const PlotData &p : std::as_const(lineData)) {
    const double k = keyAxis->coordToPixel(p.key);
    const double v = valueAxis->coordToPixel(p.value);
    linePixelData->append(vertical ? QPointF(v, lastKey) : QPointF(lastKey, v));
    linePixelData->append(vertical ? QPointF(v, k) : QPointF(k, v));
    lastKey = k;
  }
}

void PlotGraph::getStepCenterPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << "void PlotGraph::getStepCenterPlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "invalid key or value axis";
    return;
  }
  if (!linePixelData) {
    qDebug() << "void PlotGraph::getStepCenterPlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "null pointer passed as lineData";
    return;
  }
  QList<PlotData> lineData;
  getPreparedData(&lineData, scatterData);
  if (lineData.isEmpty())
    return;
  linePixelData->reserve(2 * lineData.size() + 2);
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  const auto pixel = [vertical](double k, double v) { return vertical ? QPointF(v, k) : QPointF(k, v); };
  double lastKey = keyAxis->coordToPixel(lineData.first().key);
  double lastValue = valueAxis->coordToPixel(lineData.first().value);
  linePixelData->append(pixel(lastKey, lastValue));
  for (qsizetype i = 1; i < lineData.size(); ++i) {
    const double k = keyAxis->coordToPixel(lineData.at(i).key);
    const double v = valueAxis->coordToPixel(lineData.at(i).value);
    const double middle = (k + lastKey) * 0.5;
    linePixelData->append(pixel(middle, lastValue));
    linePixelData->append(pixel(middle, v));
    lastKey = k;
    lastValue = v;
  }
  linePixelData->append(pixel(lastKey, lastValue));
}

void PlotGraph::getImpulsePlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << "void PlotGraph::getImpulsePlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "invalid key or value axis";
    return;
  }
  if (!linePixelData) {
    qDebug() << "void PlotGraph::getImpulsePlotData(QVector<QPointF>*, QVector<PlotData>*) const"
             << "null pointer passed as linePixelData";
    return;
  }
  QList<PlotData> lineData;
  getPreparedData(&lineData, scatterData);
  linePixelData->reserve(2 * lineData.size());
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  const double zero = valueAxis->coordToPixel(0);
  for (const PlotData &p : std::as_const(lineData)) {
    const double k = keyAxis->coordToPixel(p.key);
    const double v = valueAxis->coordToPixel(p.value);
    linePixelData->append(vertical ? QPointF(zero, k) : QPointF(k, zero));
    linePixelData->append(vertical ? QPointF(v, k) : QPointF(k, v));
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

  const QPointF *points = lineData->constData();
  const qsizetype count = lineData->size();
  const bool fastPolylines = mParentPlot && mParentPlot->plottingHints().testFlag(Plot::hintFastPolylines) &&
                             painter->pen().style() == Qt::SolidLine &&
                             !painter->modes().testFlag(PlotPainter::pmVectorized) &&
                             !painter->modes().testFlag(PlotPainter::pmNoCaching);
  if (fastPolylines) {
    // Single segments; a NaN point leaves out the segments into and out of it.
    qsizetype i = 0;
    while (i < count && isNanPoint(points[i]))
      ++i;
    bool gap = false;
    for (++i; i < count; ++i) {
      if (isNanPoint(points[i]))
        gap = true;
      else if (gap)
        gap = false;
      else
        painter->drawLine(QLineF(points[i - 1], points[i]));
    }
    return;
  }
  // One polyline per run between NaN points.
  qsizetype runStart = 0;
  for (qsizetype i = 0; i <= count; ++i) {
    if (i == count || isNanPoint(points[i])) {
      if (i > runStart)
        painter->drawPolyline(points + runStart, int(i - runStart));
      runStart = i + 1;
    }
  }
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
// Fill

void PlotGraph::drawFill(PlotPainter *painter, QList<QPointF> *lineData) const
{
  if (mLineStyle == lsImpulse)
    return;
  const QBrush brush = mainBrush();
  if (brush.style() == Qt::NoBrush || brush.color().alpha() == 0)
    return;
  // Without a line (lsNone) there is nothing to fill under.
  if (lineData->isEmpty())
    return;
  applyFillAntialiasingHint(painter);
  painter->setPen(Qt::NoPen);
  painter->setBrush(brush);

  if (mChannelFillGraph) {
    const QPolygonF polygon = getChannelFillPolygon(lineData);
    if (!polygon.isEmpty())
      painter->drawPolygon(polygon, Qt::OddEvenFill);
    return;
  }

  if (std::none_of(lineData->cbegin(), lineData->cend(), isNanPoint)) {
    addFillBasePoints(lineData);
    painter->drawPolygon(lineData->constData(), int(lineData->size()), Qt::OddEvenFill);
    removeFillBasePoints(lineData);
    return;
  }
  // A gap in the line is a gap in the fill: each run between NaN points is
  // filled down to the base on its own.
  QList<QPointF> run;
  run.reserve(lineData->size() + 2);
  for (qsizetype i = 0; i <= lineData->size(); ++i) {
    if (i == lineData->size() || isNanPoint(lineData->at(i))) {
      if (!run.isEmpty()) {
        addFillBasePoints(&run);
        painter->drawPolygon(run.constData(), int(run.size()), Qt::OddEvenFill);
        run.clear();
      }
    } else {
      run.append(lineData->at(i));
    }
  }
}

void PlotGraph::addFillBasePoints(QList<QPointF> *lineData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis) {
    qDebug() << "void PlotGraph::addFillBasePoints(QVector<QPointF>*) const"
             << "invalid key axis";
    return;
  }
  if (lineData->isEmpty())
    return;
  const bool vertical = keyAxis->orientation() == Qt::Vertical;
  const QPointF first = lineData->first();
  const QPointF last = lineData->last();
  // Along the line and back along the base.
  lineData->append(upperFillBasePoint(vertical ? last.y() : last.x()));
  lineData->append(lowerFillBasePoint(vertical ? first.y() : first.x()));
}

void PlotGraph::removeFillBasePoints(QList<QPointF> *lineData) const
{
  lineData->resize(std::max<qsizetype>(0, lineData->size() - 2));
}

QPointF PlotGraph::lowerFillBasePoint(double lowerKey) const
{
  return fillBasePoint(lowerKey, "QPointF PlotGraph::lowerFillBasePoint(double) const");
}

QPointF PlotGraph::upperFillBasePoint(double upperKey) const
{
  return fillBasePoint(upperKey, "QPointF PlotGraph::upperFillBasePoint(double) const");
}

QPointF PlotGraph::fillBasePoint(double keyPixel, const char *signature) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << signature << "invalid key or value axis";
    return QPointF();
  }
  const PlotAxis::AxisType keyType = keyAxis->axisType();
  if (valueAxis->scaleType() == PlotAxis::stLinear) {
    // The base line is the value 0.
    const double base = valueAxis->coordToPixel(0);
    if (keyType == PlotAxis::atLeft || keyType == PlotAxis::atRight)
      return QPointF(base, keyPixel);
    if (keyType == PlotAxis::atTop || keyType == PlotAxis::atBottom)
      return QPointF(keyPixel, base);
    return QPointF();
  }
  // Logarithmic: 0 cannot be drawn; fill to the side of the rectangle that
  // lies towards it.
  if (!keyAxis->axisRect())
    return QPointF();
  const QRect rect = keyAxis->axisRect()->rect();
  const double valueUpper = valueAxis->range().upper;
  const bool far = (valueUpper < 0 && !valueAxis->rangeReversed()) || (valueUpper > 0 && valueAxis->rangeReversed());
  if (keyAxis->orientation() == Qt::Vertical)
    return QPointF(far ? rect.right() : rect.left(), keyPixel);
  if (keyType == PlotAxis::atTop || keyType == PlotAxis::atBottom)
    return QPointF(keyPixel, far ? rect.top() : rect.bottom());
  return QPointF();
}

const QPolygonF PlotGraph::getChannelFillPolygon(const QList<QPointF> *lineData) const
{
  const PlotGraph *target = mChannelFillGraph.data();
  if (!target)
    return QPolygonF();
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << "const QPolygonF PlotGraph::getChannelFillPolygon(QVector<QPointF>*) const"
             << "invalid key or value axis";
    return QPolygonF();
  }
  if (!target->keyAxis()) {
    qDebug() << "const QPolygonF PlotGraph::getChannelFillPolygon(QVector<QPointF>*) const"
             << "channel fill target key axis invalid";
    return QPolygonF();
  }
  if (target->keyAxis()->orientation() != keyAxis->orientation())
    return QPolygonF();
  if (lineData->isEmpty())
    return QPolygonF();

  QList<QPointF> otherData;
  target->getPlotData(&otherData, nullptr);
  if (otherData.isEmpty())
    return QPolygonF();
  QList<QPointF> thisData;
  thisData.reserve(lineData->size() + otherData.size());
  thisData.append(*lineData);

  // The longer line is cut where the shorter one ends, its new end placed on
  // its own line by linear interpolation.
  if (keyAxis->orientation() == Qt::Horizontal) {
    if (thisData.first().x() > thisData.last().x())
      std::reverse(thisData.begin(), thisData.end());
    if (otherData.first().x() > otherData.last().x())
      std::reverse(otherData.begin(), otherData.end());

    QList<QPointF> *staticData = &thisData;
    QList<QPointF> *croppedData = &otherData;
    if (staticData->first().x() < croppedData->first().x())
      std::swap(staticData, croppedData);
    const int lowIndex = findIndexBelowX(croppedData, staticData->first().x());
    if (lowIndex == -1)
      return QPolygonF();
    croppedData->remove(0, lowIndex);
    if (croppedData->size() < 2)
      return QPolygonF();
    {
      QPointF &c0 = (*croppedData)[0];
      const QPointF c1 = croppedData->at(1);
      const double slope = c1.x() != c0.x() ? (c1.y() - c0.y()) / (c1.x() - c0.x()) : 0;
      c0.setY(c0.y() + slope * (staticData->first().x() - c0.x()));
      c0.setX(staticData->first().x());
    }

    staticData = &thisData;
    croppedData = &otherData;
    if (staticData->last().x() > croppedData->last().x())
      std::swap(staticData, croppedData);
    const int highIndex = findIndexAboveX(croppedData, staticData->last().x());
    if (highIndex == -1)
      return QPolygonF();
    croppedData->resize(highIndex + 1);
    if (croppedData->size() < 2)
      return QPolygonF();
    {
      const qsizetype l = croppedData->size() - 1;
      const QPointF before = croppedData->at(l - 1);
      QPointF &last = (*croppedData)[l];
      const double slope = last.x() != before.x() ? (last.y() - before.y()) / (last.x() - before.x()) : 0;
      last.setY(before.y() + slope * (staticData->last().x() - before.x()));
      last.setX(staticData->last().x());
    }
  } else {
    // Vertical key axis: y is the key, pixel y grows downward.
    if (thisData.first().y() < thisData.last().y())
      std::reverse(thisData.begin(), thisData.end());
    if (otherData.first().y() < otherData.last().y())
      std::reverse(otherData.begin(), otherData.end());

    QList<QPointF> *staticData = &thisData;
    QList<QPointF> *croppedData = &otherData;
    if (staticData->first().y() > croppedData->first().y())
      std::swap(staticData, croppedData);
    const int lowIndex = findIndexAboveY(croppedData, staticData->first().y());
    if (lowIndex == -1)
      return QPolygonF();
    croppedData->remove(0, lowIndex);
    if (croppedData->size() < 2)
      return QPolygonF();
    {
      QPointF &c0 = (*croppedData)[0];
      const QPointF c1 = croppedData->at(1);
      const double slope = c1.y() != c0.y() ? (c1.x() - c0.x()) / (c1.y() - c0.y()) : 0;
      c0.setX(c0.x() + slope * (staticData->first().y() - c0.y()));
      c0.setY(staticData->first().y());
    }

    staticData = &thisData;
    croppedData = &otherData;
    if (staticData->last().y() < croppedData->last().y())
      std::swap(staticData, croppedData);
    const int highIndex = findIndexBelowY(croppedData, staticData->last().y());
    if (highIndex == -1)
      return QPolygonF();
    croppedData->resize(highIndex + 1);
    if (croppedData->size() < 2)
      return QPolygonF();
    {
      const qsizetype l = croppedData->size() - 1;
      const QPointF before = croppedData->at(l - 1);
      QPointF &last = (*croppedData)[l];
      const double slope = last.y() != before.y() ? (last.x() - before.x()) / (last.y() - before.y()) : 0;
      last.setX(before.x() + slope * (staticData->last().y() - before.y()));
      last.setY(staticData->last().y());
    }
  }

  QPolygonF polygon;
  polygon.reserve(thisData.size() + otherData.size());
  for (const QPointF &p : std::as_const(thisData))
    if (!isNanPoint(p))
      polygon.append(p);
  for (qsizetype i = otherData.size() - 1; i >= 0; --i)
    if (!isNanPoint(otherData.at(i)))
      polygon.append(otherData.at(i));
  return polygon;
}

int PlotGraph::findIndexBelowX(const QList<QPointF> *data, double x) const
{
  for (qsizetype i = 0; i < data->size(); ++i) {
    if (data->at(i).x() > x)
      return i == 0 ? 0 : int(i - 1);
  }
  return -1;
}

int PlotGraph::findIndexAboveX(const QList<QPointF> *data, double x) const
{
  for (qsizetype i = data->size() - 1; i >= 0; --i) {
    if (data->at(i).x() < x)
      return i == data->size() - 1 ? int(i) : int(i + 1);
  }
  return -1;
}

int PlotGraph::findIndexAboveY(const QList<QPointF> *data, double y) const
{
  for (qsizetype i = 0; i < data->size(); ++i) {
    if (data->at(i).y() < y)
      return i == 0 ? 0 : int(i - 1);
  }
  return -1;
}

int PlotGraph::findIndexBelowY(const QList<QPointF> *data, double y) const
{
  for (qsizetype i = data->size() - 1; i >= 0; --i) {
    if (data->at(i).y() > y)
      return i == data->size() - 1 ? int(i) : int(i + 1);
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Scatter symbols and error bars

void PlotGraph::drawScatterPlot(PlotPainter *painter, QList<PlotData> *scatterData) const
{
  if (!mKeyAxis || !mValueAxis) {
    qDebug() << "virtual void PlotGraph::drawScatterPlot(PlotPainter*, QVector<PlotData>*) const"
             << "invalid key or value axis";
    return;
  }
  if (mErrorType != etNone) {
    applyErrorBarsAntialiasingHint(painter);
    painter->setPen(mErrorPen);
    for (const PlotData &p : std::as_const(*scatterData)) {
      const QPointF pixel = coordsToPixels(p.key, p.value);
      drawError(painter, pixel.x(), pixel.y(), p);
    }
  }
  applyScattersAntialiasingHint(painter);
  mScatterStyle.applyTo(painter, mPen);
  for (const PlotData &p : std::as_const(*scatterData)) {
    if (!std::isnan(p.value))
      mScatterStyle.drawShape(painter, coordsToPixels(p.key, p.value));
  }
}

void PlotGraph::drawError(PlotPainter *painter, double x, double y, const PlotData &data) const
{
  if (std::isnan(data.value))
    return;
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << "void PlotGraph::drawError(PlotPainter*, double, double, const PlotData&) const"
             << "invalid key or value axis";
    return;
  }
  const double handle = mErrorBarSize * 0.5;
  const double gap = mScatterStyle.size(); // kept free around the symbol

  // a below b in pixels on the bar's own direction.
  const auto barAlongX = [&](double a, double b) {
    if (mErrorBarSkipSymbol) {
      if (x - a > gap)
        painter->drawLine(QLineF(a, y, x - gap, y));
      if (b - x > gap)
        painter->drawLine(QLineF(x + gap, y, b, y));
    } else {
      painter->drawLine(QLineF(a, y, b, y));
    }
    painter->drawLine(QLineF(a, y - handle, a, y + handle));
    painter->drawLine(QLineF(b, y - handle, b, y + handle));
  };
  // a is the lower end (larger pixel y), b the upper one.
  const auto barAlongY = [&](double a, double b) {
    if (mErrorBarSkipSymbol) {
      if (a - y > gap)
        painter->drawLine(QLineF(x, a, x, y + gap));
      if (y - b > gap)
        painter->drawLine(QLineF(x, y - gap, x, b));
    } else {
      painter->drawLine(QLineF(x, a, x, b));
    }
    painter->drawLine(QLineF(x - handle, a, x + handle, a));
    painter->drawLine(QLineF(x - handle, b, x + handle, b));
  };

  const bool keyHorizontal = keyAxis->orientation() == Qt::Horizontal;
  if (mErrorType == etKey || mErrorType == etBoth) {
    double a = keyAxis->coordToPixel(data.key - data.keyErrorMinus);
    double b = keyAxis->coordToPixel(data.key + data.keyErrorPlus);
    if (keyAxis->rangeReversed())
      std::swap(a, b);
    if (keyHorizontal)
      barAlongX(a, b);
    else
      barAlongY(a, b);
  }
  if (mErrorType == etValue || mErrorType == etBoth) {
    double a = valueAxis->coordToPixel(data.value - data.valueErrorMinus);
    double b = valueAxis->coordToPixel(data.value + data.valueErrorPlus);
    if (valueAxis->rangeReversed())
      std::swap(a, b);
    if (keyHorizontal)
      barAlongY(a, b);
    else
      barAlongX(a, b);
  }
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
  if (!mScatterStyle.isNone()) {
    applyScattersAntialiasingHint(painter);
    if (mScatterStyle.shape() == PlotScatterStyle::ssPixmap &&
        (mScatterStyle.pixmap().width() > rect.width() || mScatterStyle.pixmap().height() > rect.height())) {
      PlotScatterStyle scaledStyle(mScatterStyle);
      scaledStyle.setPixmap(
          scaledStyle.pixmap().scaled(rect.size().toSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
      scaledStyle.applyTo(painter, mPen);
      scaledStyle.drawShape(painter, rect.center());
    } else {
      mScatterStyle.applyTo(painter, mPen);
      mScatterStyle.drawShape(painter, rect.center());
    }
  }
}
