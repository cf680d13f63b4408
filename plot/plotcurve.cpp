// The curve's construction, data operations, drawing, hit test and ranges;
// the reduction against the visible area is in plotcurvereduce.cpp.
#include "plotcurve.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotdatakeys.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QVector2D>
#include <algorithm>
#include <cmath>
#include <limits>

using Plot::isNanPoint;

PlotCurve::PlotCurve(PlotAxis *keyAxis, PlotAxis *valueAxis)
    : PlotAbstractPlottable(keyAxis, valueAxis), mData(new PlotCurveDataMap), mLineStyle(lsLine)
{
  mPen.setColor(Qt::blue);
  mPen.setStyle(Qt::SolidLine);
  mBrush.setColor(Qt::blue);
  mBrush.setStyle(Qt::NoBrush);
  mSelectedPen = mPen;
  mSelectedPen.setWidthF(2.5);
  mSelectedPen.setColor(QColor(80, 80, 255));
  mSelectedBrush = mBrush;
}

PlotCurve::~PlotCurve()
{
  delete mData;
}

// ---------------------------------------------------------------------------
// Data operations. None of them replots.

void PlotCurve::setData(PlotCurveDataMap *data, bool copy)
{
  Plot::adoptData(mData, data, copy, Q_FUNC_INFO);
}

void PlotCurve::setData(const QList<double> &t, const QList<double> &key, const QList<double> &value)
{
  clearData();
  addData(t, key, value);
}

void PlotCurve::setData(const QList<double> &key, const QList<double> &value)
{
  clearData();
  const qsizetype n = qMin(key.size(), value.size());
  for (qsizetype i = 0; i < n; ++i)
    mData->insert(double(i), PlotCurveData(double(i), key.at(i), value.at(i)));
}

void PlotCurve::addData(const PlotCurveDataMap &dataMap)
{
  Plot::insertNumberKeys(mData, dataMap);
}

void PlotCurve::addData(const PlotCurveData &data)
{
  if (!std::isnan(data.t))
    mData->insert(data.t, data);
}

void PlotCurve::addData(double t, double key, double value)
{
  addData(PlotCurveData(t, key, value));
}

void PlotCurve::addData(double key, double value)
{
  if (mData->isEmpty()) {
    addData(PlotCurveData(0, key, value));
    return;
  }
  const double last = std::prev(mData->constEnd()).key();
  double t = last + 1.0;
  // From 2^53 on, adding 1 no longer changes t: the new point would replace the last one.
  if (!(t > last))
    t = std::nextafter(last, std::numeric_limits<double>::infinity());
  if (!(t > last)) {
    qDebug() << Q_FUNC_INFO << "no parameter after the last point" << last;
    return;
  }
  addData(PlotCurveData(t, key, value));
}

void PlotCurve::addData(const QList<double> &t, const QList<double> &key, const QList<double> &value)
{
  const qsizetype n = qMin(t.size(), qMin(key.size(), value.size()));
  for (qsizetype i = 0; i < n; ++i)
    addData(PlotCurveData(t.at(i), key.at(i), value.at(i)));
}

void PlotCurve::removeDataBefore(double t)
{
  Plot::removeBefore(mData, t);
}

void PlotCurve::removeDataAfter(double t)
{
  Plot::removeAfter(mData, t);
}

void PlotCurve::removeData(double fromt, double tot)
{
  Plot::removeBetween(mData, fromt, tot);
}

void PlotCurve::removeData(double t)
{
  mData->remove(t);
}

void PlotCurve::clearData()
{
  mData->clear();
}

// ---------------------------------------------------------------------------
// Drawing

void PlotCurve::draw(PlotPainter *painter)
{
  if (mData->isEmpty())
    return;
  QList<QPointF> lineData;
  getCurveData(&lineData);

  const QBrush brush = mainBrush();
  if (brush.style() != Qt::NoBrush && brush.color().alpha() != 0) {
    applyFillAntialiasingHint(painter);
    painter->setPen(Qt::NoPen);
    painter->setBrush(brush);
    // A NaN corner would reach the rasteriser as garbage; the outline simply
    // joins the valid points around it.
    QPolygonF polygon;
    polygon.reserve(lineData.size());
    for (const QPointF &p : std::as_const(lineData)) {
      if (!isNanPoint(p))
        polygon.append(p);
    }
    painter->drawPolygon(polygon, Qt::OddEvenFill);
  }

  const QPen pen = mainPen();
  if (mLineStyle != lsNone && pen.style() != Qt::NoPen && pen.color().alpha() != 0) {
    applyDefaultAntialiasingHint(painter);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    drawLineWithGaps(painter, lineData);
  }

  if (!mScatterStyle.isNone())
    drawScatterPlot(painter, &lineData);
}

void PlotCurve::drawScatterPlot(PlotPainter *painter, const QList<QPointF> *points) const
{
  applyScattersAntialiasingHint(painter);
  mScatterStyle.applyTo(painter, mPen);
  for (const QPointF &p : *points) {
    if (!isNanPoint(p))
      mScatterStyle.drawShape(painter, p);
  }
}

void PlotCurve::drawLegendIcon(PlotPainter *painter, const QRectF &rect) const
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
    painter->drawLine(QLineF(rect.left(), y, rect.right() + 5, y));
  }
  drawLegendScatter(painter, mScatterStyle, rect);
}

// ---------------------------------------------------------------------------
// Hit test and ranges

double PlotCurve::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  if (mData->isEmpty())
    return -1;
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis || !mValueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return -1;
  }
  if (keyAxis->axisRect() && keyAxis->axisRect()->rect().contains(pos.toPoint()))
    return pointDistance(pos);
  return -1;
}

// Measured against the reduced line, so a click hits what is drawn.
double PlotCurve::pointDistance(const QPointF &pixelPoint) const
{
  if (mData->isEmpty()) {
    qDebug() << Q_FUNC_INFO << "requested point distance on curve" << mName << "without data";
    return 500;
  }
  if (mData->size() == 1) {
    const PlotCurveData &only = mData->constBegin().value();
    return QVector2D(coordsToPixels(only.key, only.value) - pixelPoint).length();
  }
  QList<QPointF> lineData;
  getCurveData(&lineData);
  double minDistSqr = std::numeric_limits<double>::max();
  for (qsizetype i = 1; i < lineData.size(); ++i) {
    const double distSqr = distSqrToLine(lineData.at(i - 1), lineData.at(i), pixelPoint);
    if (distSqr < minDistSqr) // a NaN gap never becomes the minimum
      minDistSqr = distSqr;
  }
  return std::sqrt(minDistSqr);
}

PlotRange PlotCurve::getRange(bool &foundRange, SignDomain inSignDomain, bool keys) const
{
  PlotRange range;
  bool haveLower = false, haveUpper = false;
  for (const PlotCurveData &p : std::as_const(*mData)) {
    if (std::isnan(p.key) || std::isnan(p.value))
      continue;
    const double current = keys ? p.key : p.value;
    if (!Plot::inSignDomain(current, inSignDomain))
      continue;
    if (current < range.lower || !haveLower) {
      range.lower = current;
      haveLower = true;
    }
    if (current > range.upper || !haveUpper) {
      range.upper = current;
      haveUpper = true;
    }
  }
  foundRange = haveLower && haveUpper;
  return range;
}

PlotRange PlotCurve::getKeyRange(bool &foundRange, SignDomain inSignDomain) const
{
  return getRange(foundRange, inSignDomain, true);
}

PlotRange PlotCurve::getValueRange(bool &foundRange, SignDomain inSignDomain) const
{
  return getRange(foundRange, inSignDomain, false);
}
