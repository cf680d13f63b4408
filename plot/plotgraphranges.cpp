// The graph's hit test, its key and value ranges and the rescaling of its axes.
#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotgraph.h"

#include <QDebug>
#include <QVector2D>
#include <cmath>
#include <limits>

double PlotGraph::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
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

// Works on the same visible, prepared and sampled points as the drawing, so a
// click hits what is drawn.
double PlotGraph::pointDistance(const QPointF &pixelPoint) const
{
  if (mData->isEmpty())
    return -1;

  if (mLineStyle == lsNone) {
    if (mScatterStyle.isNone())
      return -1;
    QList<PlotData> scatterData;
    getScatterPlotData(&scatterData);
    if (scatterData.isEmpty())
      return -1;
    double minDistSqr = std::numeric_limits<double>::max();
    for (const PlotData &p : std::as_const(scatterData)) {
      const float distSqr = QVector2D(coordsToPixels(p.key, p.value) - pixelPoint).lengthSquared();
      if (distSqr < minDistSqr)
        minDistSqr = distSqr;
    }
    return std::sqrt(minDistSqr);
  }

  QList<QPointF> lineData;
  getPlotData(&lineData, nullptr);
  if (lineData.size() > 1) {
    double minDistSqr = std::numeric_limits<double>::max();
    // Impulses are separate segments: the gap between two is not the graph.
    const qsizetype step = mLineStyle == lsImpulse ? 2 : 1;
    for (qsizetype i = 0; i + 1 < lineData.size(); i += step) {
      const double distSqr = distSqrToLine(lineData.at(i), lineData.at(i + 1), pixelPoint);
      if (distSqr < minDistSqr) // a NaN end never becomes the minimum
        minDistSqr = distSqr;
    }
    return std::sqrt(minDistSqr);
  }
  if (lineData.size() == 1)
    return QVector2D(lineData.first() - pixelPoint).length();
  return -1;
}

PlotRange PlotGraph::getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain) const
{
  return getKeyRange(foundRange, inSignDomain, true);
}

PlotRange PlotGraph::getValueRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain) const
{
  return getValueRange(foundRange, inSignDomain, true);
}

PlotRange PlotGraph::getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain,
                                 bool includeErrors) const
{
  return getRange(foundRange, inSignDomain, includeErrors, true);
}

PlotRange PlotGraph::getValueRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain,
                                   bool includeErrors) const
{
  return getRange(foundRange, inSignDomain, includeErrors, false);
}

// One pass over the whole map; points with a NaN value do not count.
PlotRange PlotGraph::getRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain, bool includeErrors,
                              bool keys) const
{
  PlotRange range;
  bool haveLower = false;
  bool haveUpper = false;
  const auto tryLower = [&](double candidate, bool allowed) {
    if (allowed && (candidate < range.lower || !haveLower)) {
      range.lower = candidate;
      haveLower = true;
    }
  };
  const auto tryUpper = [&](double candidate, bool allowed) {
    if (allowed && (candidate > range.upper || !haveUpper)) {
      range.upper = candidate;
      haveUpper = true;
    }
  };

  const PlotDataMap &data = *mData;
  for (auto it = data.constBegin(); it != data.constEnd(); ++it) {
    const PlotData &p = it.value();
    if (std::isnan(p.value))
      continue;
    const double center = keys ? p.key : p.value;
    const double minus = includeErrors ? (keys ? p.keyErrorMinus : p.valueErrorMinus) : 0;
    const double plus = includeErrors ? (keys ? p.keyErrorPlus : p.valueErrorPlus) : 0;
    const double low = center - minus;
    const double high = center + plus;
    switch (inSignDomain) {
    case sdBothSigns:
      tryLower(low, true);
      tryUpper(high, true);
      break;
    case sdNegativeOnly:
      tryLower(low, low < 0);
      tryUpper(high, high < 0);
      // A point on the negative side counts even when its error extent
      // reaches past zero.
      if (includeErrors) {
        tryLower(center, center < 0);
        tryUpper(center, center < 0);
      }
      break;
    case sdPositiveOnly:
      tryLower(low, low > 0);
      tryUpper(high, high > 0);
      if (includeErrors) {
        tryLower(center, center > 0);
        tryUpper(center, center > 0);
      }
      break;
    }
  }
  foundRange = haveLower && haveUpper;
  return range;
}

void PlotGraph::rescaleAxes(bool onlyEnlarge, bool includeErrorBars) const
{
  rescaleKeyAxis(onlyEnlarge, includeErrorBars);
  rescaleValueAxis(onlyEnlarge, includeErrorBars);
}

void PlotGraph::rescaleKeyAxis(bool onlyEnlarge, bool includeErrorBars) const
{
  if (mData->isEmpty())
    return;
  PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key axis";
    return;
  }
  rescaleAxisToData(keyAxis, true, onlyEnlarge, includeErrorBars);
}

void PlotGraph::rescaleValueAxis(bool onlyEnlarge, bool includeErrorBars) const
{
  if (mData->isEmpty())
    return;
  PlotAxis *valueAxis = mValueAxis.data();
  if (!valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid value axis";
    return;
  }
  rescaleAxisToData(valueAxis, false, onlyEnlarge, includeErrorBars);
}

void PlotGraph::rescaleAxisToData(PlotAxis *axis, bool keys, bool onlyEnlarge, bool includeErrorBars) const
{
  const SignDomain signDomain = signDomainFor(axis);
  bool found = false;
  PlotRange newRange = keys ? getKeyRange(found, signDomain, includeErrorBars)
                            : getValueRange(found, signDomain, includeErrorBars);
  if (!found)
    return;
  if (onlyEnlarge)
    newRange.expand(axis->range());
  // The axis applies its own limits and refuses a range of size 0.
  axis->setRange(newRange);
}
