#include "plotstatisticalbox.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotdatakeys.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <cmath>

PlotStatisticalBox::PlotStatisticalBox(PlotAxis *keyAxis, PlotAxis *valueAxis)
    : PlotAbstractPlottable(keyAxis, valueAxis), mKey(0), mMinimum(0), mLowerQuartile(0), mMedian(0),
      mUpperQuartile(0), mMaximum(0), mWidth(0.5), mWhiskerWidth(0.2),
      mWhiskerPen(QBrush(Qt::black), 0, Qt::DashLine, Qt::FlatCap, Qt::BevelJoin), mWhiskerBarPen(Qt::black),
      mMedianPen(QBrush(Qt::black), 3, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin),
      mOutlierStyle(PlotScatterStyle::ssCircle, Qt::blue, 6)
{
  setPen(QPen(Qt::black));
  setSelectedPen(QPen(QBrush(Qt::blue), 2.5, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
  setBrush(Qt::NoBrush);
  setSelectedBrush(Qt::NoBrush);
}

void PlotStatisticalBox::setData(double key, double minimum, double lowerQuartile, double median,
                                 double upperQuartile, double maximum)
{
  setKey(key);
  setMinimum(minimum);
  setLowerQuartile(lowerQuartile);
  setMedian(median);
  setUpperQuartile(upperQuartile);
  setMaximum(maximum);
}

void PlotStatisticalBox::clearData()
{
  setOutliers(QList<double>());
  setKey(0);
  setMinimum(0);
  setLowerQuartile(0);
  setMedian(0);
  setUpperQuartile(0);
  setMaximum(0);
}

void PlotStatisticalBox::draw(PlotPainter *painter)
{
  if (!mKeyAxis || !mValueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  QRectF quartileBox;
  drawQuartileBox(painter, &quartileBox);
  painter->save();
  painter->setClipRect(quartileBox, Qt::IntersectClip);
  drawMedian(painter);
  painter->restore();
  drawWhiskers(painter);
  drawOutliers(painter);
}

void PlotStatisticalBox::drawQuartileBox(PlotPainter *painter, QRectF *quartileBox) const
{
  const QRectF box(coordsToPixels(mKey - mWidth * 0.5, mUpperQuartile),
                   coordsToPixels(mKey + mWidth * 0.5, mLowerQuartile));
  applyDefaultAntialiasingHint(painter);
  painter->setPen(mainPen());
  painter->setBrush(mainBrush());
  painter->drawRect(box);
  if (quartileBox)
    *quartileBox = box;
}

void PlotStatisticalBox::drawMedian(PlotPainter *painter) const
{
  const QLineF medianLine(coordsToPixels(mKey - mWidth * 0.5, mMedian),
                          coordsToPixels(mKey + mWidth * 0.5, mMedian));
  applyDefaultAntialiasingHint(painter);
  painter->setPen(mMedianPen);
  painter->drawLine(medianLine);
}

void PlotStatisticalBox::drawWhiskers(PlotPainter *painter) const
{
  applyErrorBarsAntialiasingHint(painter);
  painter->setPen(mWhiskerPen);
  painter->drawLine(QLineF(coordsToPixels(mKey, mLowerQuartile), coordsToPixels(mKey, mMinimum)));
  painter->drawLine(QLineF(coordsToPixels(mKey, mUpperQuartile), coordsToPixels(mKey, mMaximum)));
  painter->setPen(mWhiskerBarPen);
  const double half = mWhiskerWidth * 0.5;
  painter->drawLine(QLineF(coordsToPixels(mKey - half, mMinimum), coordsToPixels(mKey + half, mMinimum)));
  painter->drawLine(QLineF(coordsToPixels(mKey - half, mMaximum), coordsToPixels(mKey + half, mMaximum)));
}

void PlotStatisticalBox::drawOutliers(PlotPainter *painter) const
{
  applyScattersAntialiasingHint(painter);
  mOutlierStyle.applyTo(painter, mPen);
  for (double outlier : mOutliers)
    mOutlierStyle.drawShape(painter, coordsToPixels(mKey, outlier));
}

void PlotStatisticalBox::drawLegendIcon(PlotPainter *painter, const QRectF &rect) const
{
  applyDefaultAntialiasingHint(painter);
  painter->setPen(mPen);
  painter->setBrush(mBrush);
  QRectF box(0, 0, rect.width() * 0.67, rect.height() * 0.67);
  box.moveCenter(rect.center());
  painter->drawRect(box);
}

double PlotStatisticalBox::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
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
  double posKey = 0, posValue = 0;
  pixelsToCoords(pos, posKey, posValue);
  const PlotRange keyRange(mKey - mWidth * 0.5, mKey + mWidth * 0.5);
  const PlotRange boxValueRange(mLowerQuartile, mUpperQuartile);
  const PlotRange whiskerValueRange(mMinimum, mMaximum);
  if (keyRange.contains(posKey) && boxValueRange.contains(posValue))
    return mParentPlot ? mParentPlot->selectionTolerance() * 0.99 : 0;
  if (whiskerValueRange.contains(posValue))
    return std::fabs(keyAxis->coordToPixel(mKey) - keyAxis->coordToPixel(posKey));
  return -1;
}

PlotRange PlotStatisticalBox::getKeyRange(bool &foundRange, SignDomain inSignDomain) const
{
  foundRange = false;
  const double lower = mKey - mWidth * 0.5;
  const double upper = mKey + mWidth * 0.5;
  // A NaN key or width has no extent to fit an axis to.
  if (std::isnan(lower) || std::isnan(upper))
    return PlotRange();
  switch (inSignDomain) {
  case sdBothSigns:
    foundRange = true;
    return PlotRange(lower, upper);
  case sdNegativeOnly:
    if (upper < 0) {
      foundRange = true;
      return PlotRange(lower, upper);
    }
    if (mKey < 0) {
      foundRange = true;
      return PlotRange(lower, mKey);
    }
    break;
  case sdPositiveOnly:
    if (lower > 0) {
      foundRange = true;
      return PlotRange(lower, upper);
    }
    if (mKey > 0) {
      foundRange = true;
      return PlotRange(mKey, upper);
    }
    break;
  }
  return PlotRange();
}

PlotRange PlotStatisticalBox::getValueRange(bool &foundRange, SignDomain inSignDomain) const
{
  QList<double> candidates{mMaximum, mUpperQuartile, mMedian, mLowerQuartile, mMinimum};
  candidates.append(mOutliers);
  double lower = 0, upper = 0;
  bool found = false;
  for (double value : std::as_const(candidates)) {
    // NaN would turn the whole range NaN.
    if (std::isnan(value))
      continue;
    if (!Plot::inSignDomain(value, inSignDomain))
      continue;
    if (value > upper || !found)
      upper = value;
    if (value < lower || !found)
      lower = value;
    found = true;
  }
  foundRange = found;
  return found ? PlotRange(lower, upper) : PlotRange();
}
