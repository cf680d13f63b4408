// Around the graph's line: the fill to the base line or to another graph,
// scatter symbols and error bars.
#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotdatakeys.h"
#include "plotgraph.h"
#include "plotpainter.h"

#include <QDebug>
#include <algorithm>
#include <cmath>

using Plot::isNanPoint;

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
    qDebug() << Q_FUNC_INFO << "invalid key axis";
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
  return fillBasePoint(lowerKey, Q_FUNC_INFO);
}

QPointF PlotGraph::upperFillBasePoint(double upperKey) const
{
  return fillBasePoint(upperKey, Q_FUNC_INFO);
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
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return QPolygonF();
  }
  if (!target->keyAxis()) {
    qDebug() << Q_FUNC_INFO << "channel fill target key axis invalid";
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
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
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
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
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
