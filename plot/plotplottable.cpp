#include "plotplottable.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotdatakeys.h"
#include "plotlegend.h"
#include "plotpainter.h"
#include "plotscatterstyle.h"
#include "plotwidget.h"

#include <QDebug>
#include <QVector2D>
#include <cmath>

PlotAbstractPlottable::PlotAbstractPlottable(PlotAxis *keyAxis, PlotAxis *valueAxis)
    : PlotLayerable(keyAxis ? keyAxis->parentPlot() : nullptr, QString(), keyAxis ? keyAxis->axisRect() : nullptr),
      mAntialiasedFill(true), mAntialiasedScatters(true), mAntialiasedErrorBars(false), mPen(Qt::black),
      mSelectedPen(Qt::black), mBrush(Qt::NoBrush), mSelectedBrush(Qt::NoBrush), mKeyAxis(keyAxis),
      mValueAxis(valueAxis), mSelectable(true), mSelected(false)
{
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  if (keyAxis->parentPlot() != valueAxis->parentPlot())
    qDebug() << Q_FUNC_INFO << "Parent plot of keyAxis is not the same as that of valueAxis.";
  if (keyAxis->orientation() == valueAxis->orientation())
    qDebug() << Q_FUNC_INFO << "keyAxis and valueAxis must be orthogonal to each other.";
}

PlotAbstractPlottable::~PlotAbstractPlottable()
{
  // Deleted behind the plot's back: neither the registry nor the legend (which
  // measures its items on every replot, hidden or not) may keep it.
  if (mParentPlot) {
    mParentPlot->mPlottables.removeOne(this);
    removeFromLegend();
  }
}

void PlotAbstractPlottable::setSelectable(bool selectable)
{
  if (mSelectable == selectable)
    return;
  mSelectable = selectable;
  emit selectableChanged(mSelectable);
}

void PlotAbstractPlottable::setSelected(bool selected)
{
  if (mSelected == selected)
    return;
  mSelected = selected;
  emit selectionChanged(mSelected);
}

bool PlotAbstractPlottable::addToLegend()
{
  if (!mParentPlot || !mParentPlot->legend)
    return false;
  PlotLegend *legend = mParentPlot->legend;
  if (legend->hasItemWithPlottable(this))
    return false;
  return legend->addItem(new PlotPlottableLegendItem(legend, this));
}

bool PlotAbstractPlottable::removeFromLegend() const
{
  if (!mParentPlot || !mParentPlot->legend)
    return false;
  if (PlotPlottableLegendItem *lip = mParentPlot->legend->itemWithPlottable(this))
    return mParentPlot->legend->removeItem(lip);
  return false;
}

PlotAbstractPlottable::SignDomain PlotAbstractPlottable::signDomainFor(const PlotAxis *axis)
{
  if (axis->scaleType() == PlotAxis::stLogarithmic)
    return axis->range().upper < 0 ? sdNegativeOnly : sdPositiveOnly;
  return sdBothSigns;
}

void PlotAbstractPlottable::rescaleAxes(bool onlyEnlarge) const
{
  rescaleKeyAxis(onlyEnlarge);
  rescaleValueAxis(onlyEnlarge);
}

void PlotAbstractPlottable::rescaleKeyAxis(bool onlyEnlarge) const
{
  PlotAxis *axis = mKeyAxis.data();
  if (!axis) {
    qDebug() << Q_FUNC_INFO << "invalid key axis";
    return;
  }
  rescaleAxis(axis, true, onlyEnlarge);
}

void PlotAbstractPlottable::rescaleValueAxis(bool onlyEnlarge) const
{
  PlotAxis *axis = mValueAxis.data();
  if (!axis) {
    qDebug() << Q_FUNC_INFO << "invalid value axis";
    return;
  }
  rescaleAxis(axis, false, onlyEnlarge);
}

void PlotAbstractPlottable::rescaleAxis(PlotAxis *axis, bool isKeyAxis, bool onlyEnlarge) const
{
  const SignDomain signDomain = signDomainFor(axis);
  bool found = false;
  PlotRange newRange = isKeyAxis ? getKeyRange(found, signDomain) : getValueRange(found, signDomain);
  if (!found)
    return;
  if (onlyEnlarge)
    newRange.expand(axis->range());
  if (!PlotRange::validRange(newRange)) {
    // All points share one coordinate: keep the axis's extent, centred on them.
    const double center = (newRange.lower + newRange.upper) * 0.5;
    if (axis->scaleType() == PlotAxis::stLinear) {
      const double size = axis->range().size();
      newRange.lower = center - size / 2.0;
      newRange.upper = center + size / 2.0;
    } else {
      const double ratio = std::sqrt(axis->range().upper / axis->range().lower);
      newRange.lower = center / ratio;
      newRange.upper = center * ratio;
    }
  }
  axis->setRange(newRange);
}

void PlotAbstractPlottable::coordsToPixels(double key, double value, double &x, double &y) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  if (keyAxis->orientation() == Qt::Horizontal) {
    x = keyAxis->coordToPixel(key);
    y = valueAxis->coordToPixel(value);
  } else {
    y = keyAxis->coordToPixel(key);
    x = valueAxis->coordToPixel(value);
  }
}

const QPointF PlotAbstractPlottable::coordsToPixels(double key, double value) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return QPointF();
  }
  if (keyAxis->orientation() == Qt::Horizontal)
    return QPointF(keyAxis->coordToPixel(key), valueAxis->coordToPixel(value));
  return QPointF(valueAxis->coordToPixel(value), keyAxis->coordToPixel(key));
}

void PlotAbstractPlottable::pixelsToCoords(double x, double y, double &key, double &value) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  if (keyAxis->orientation() == Qt::Horizontal) {
    key = keyAxis->pixelToCoord(x);
    value = valueAxis->pixelToCoord(y);
  } else {
    key = keyAxis->pixelToCoord(y);
    value = valueAxis->pixelToCoord(x);
  }
}

void PlotAbstractPlottable::pixelsToCoords(const QPointF &pixelPos, double &key, double &value) const
{
  pixelsToCoords(pixelPos.x(), pixelPos.y(), key, value);
}

QPen PlotAbstractPlottable::mainPen() const
{
  return mSelected ? mSelectedPen : mPen;
}

QBrush PlotAbstractPlottable::mainBrush() const
{
  return mSelected ? mSelectedBrush : mBrush;
}

double PlotAbstractPlottable::distSqrToLine(const QPointF &start, const QPointF &end, const QPointF &point) const
{
  return plotDistSqrToSegment(start, end, point);
}

double plotDistSqrToSegment(const QPointF &start, const QPointF &end, const QPointF &point)
{
  const QVector2D a(start);
  const QVector2D b(end);
  const QVector2D p(point);
  const QVector2D v = b - a;
  const float lengthSqr = v.lengthSquared();
  if (std::fabs(lengthSqr) <= 1e-12)
    return (a - p).lengthSquared();
  const float mu = QVector2D::dotProduct(p - a, v) / lengthSqr;
  if (mu < 0)
    return (a - p).lengthSquared();
  if (mu > 1)
    return (b - p).lengthSquared();
  return ((a + mu * v) - p).lengthSquared();
}

Plot::Interaction PlotAbstractPlottable::selectionCategory() const
{
  return Plot::iaSelectPlottables;
}

QRect PlotAbstractPlottable::clipRect() const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (keyAxis && valueAxis && keyAxis->axisRect() && valueAxis->axisRect())
    return keyAxis->axisRect()->rect() & valueAxis->axisRect()->rect();
  return QRect();
}

void PlotAbstractPlottable::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiased, Plot::aaPlottables);
}

void PlotAbstractPlottable::applyFillAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiasedFill, Plot::aaFills);
}

void PlotAbstractPlottable::applyScattersAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiasedScatters, Plot::aaScatters);
}

void PlotAbstractPlottable::applyErrorBarsAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiasedErrorBars, Plot::aaErrorBars);
}

void PlotAbstractPlottable::selectEvent(QMouseEvent *event, bool additive, const QVariant &details,
                                        bool *selectionStateChanged)
{
  Q_UNUSED(event)
  Q_UNUSED(details)
  if (!mSelectable)
    return;
  const bool selectionBefore = mSelected;
  setSelected(additive ? !mSelected : true);
  if (selectionStateChanged)
    *selectionStateChanged = mSelected != selectionBefore;
}

void PlotAbstractPlottable::deselectEvent(bool *selectionStateChanged)
{
  if (!mSelectable)
    return;
  const bool selectionBefore = mSelected;
  setSelected(false);
  if (selectionStateChanged)
    *selectionStateChanged = mSelected != selectionBefore;
}

void PlotAbstractPlottable::drawLineWithGaps(PlotPainter *painter, const QList<QPointF> &lineData) const
{
  const QPointF *points = lineData.constData();
  const qsizetype count = lineData.size();
  const bool fastPolylines = mParentPlot && mParentPlot->plottingHints().testFlag(Plot::hintFastPolylines) &&
                             painter->pen().style() == Qt::SolidLine &&
                             !painter->modes().testFlag(PlotPainter::pmVectorized) &&
                             !painter->modes().testFlag(PlotPainter::pmNoCaching);
  if (fastPolylines) {
    // Single segments.
    qsizetype i = 0;
    while (i < count && Plot::isNanPoint(points[i]))
      ++i;
    bool gap = false;
    for (++i; i < count; ++i) {
      if (Plot::isNanPoint(points[i]))
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
    if (i == count || Plot::isNanPoint(points[i])) {
      if (i > runStart)
        painter->drawPolyline(points + runStart, int(i - runStart));
      runStart = i + 1;
    }
  }
}

void PlotAbstractPlottable::drawLegendScatter(PlotPainter *painter, const PlotScatterStyle &style,
                                              const QRectF &rect) const
{
  if (style.isNone())
    return;
  applyScattersAntialiasingHint(painter);
  if (style.shape() == PlotScatterStyle::ssPixmap &&
      (style.pixmap().width() > rect.width() || style.pixmap().height() > rect.height())) {
    PlotScatterStyle scaled(style);
    scaled.setPixmap(style.pixmap().scaled(rect.size().toSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    scaled.applyTo(painter, mPen);
    scaled.drawShape(painter, rect.center());
  } else {
    style.applyTo(painter, mPen);
    style.drawShape(painter, rect.center());
  }
}
