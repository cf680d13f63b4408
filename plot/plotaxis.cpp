#include "plotaxis.h"

#include "plotaxispainter.h"
#include "plotaxisrect.h"
#include "plotgraph.h"
#include "plotgrid.h"
#include "plotitem.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <cmath>

namespace {
QPen axisPen(const QColor &color, double width)
{
  return QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}
} // namespace

PlotAxis::PlotAxis(PlotAxisRect *parent, AxisType type)
    : PlotLayerable(parent ? parent->parentPlot() : nullptr, QString(), parent), secondRowEnabled(false),
      mRangeMin(0), mRangeMax(10000000), mAxisType(type), mAxisRect(parent), mPadding(5),
      mOrientation((type == atTop || type == atBottom) ? Qt::Horizontal : Qt::Vertical),
      mSelectableParts(spAxis | spTickLabels | spAxisLabel), mSelectedParts(spNone),
      mBasePen(axisPen(Qt::black, 0)), mSelectedBasePen(axisPen(Qt::blue, 2)), mLabelColor(Qt::black),
      mSelectedLabelColor(Qt::blue), mTickLabels(true), mAutoTickLabels(true), mTickLabelType(ltNumber),
      mTickLabelColor(Qt::black), mSelectedTickLabelColor(Qt::blue),
      mDateTimeFormat(QStringLiteral("hh:mm:ss\ndd.MM.yy")), mDateTimeSpec(Qt::LocalTime), mNumberPrecision(6),
      mNumberFormatChar('g'), mNumberBeautifulPowers(true), mTicks(true), mTickStep(1), mSubTickCount(4),
      mAutoTickCount(6), mAutoTicks(true), mAutoTickStep(true), mAutoSubTicks(true), mTickPen(axisPen(Qt::black, 0)),
      mSelectedTickPen(axisPen(Qt::blue, 2)), mSubTickPen(axisPen(Qt::black, 0)),
      mSelectedSubTickPen(axisPen(Qt::blue, 2)), mRange(0, 5), mRangeReversed(false), mScaleType(stLinear),
      mScaleLogBase(10), mScaleLogBaseLogInv(1.0 / std::log(10.0)), mGrid(nullptr), mAxisPainter(nullptr),
      mLowestVisibleTick(0), mHighestVisibleTick(-1), mCachedMarginValid(false), mCachedMargin(0)
{
  const QFont plotFont = mParentPlot ? mParentPlot->font() : QFont();
  mLabelFont = plotFont;
  mTickLabelFont = plotFont;
  mSelectedLabelFont = QFont(plotFont.family(), plotFont.pointSize(), QFont::Bold);
  mSelectedTickLabelFont = QFont(plotFont.family(), plotFont.pointSize(), QFont::Bold);

  mGrid = new PlotGrid(this);
  mAxisPainter = new PlotAxisPainterPrivate(mParentPlot);
  mGrid->setVisible(false);
  setAntialiased(false);
  // Again onto the current layer, so the axis is drawn after its own grid.
  if (mParentPlot)
    setLayer(mParentPlot->currentLayer());

  switch (type) {
  case atTop:
    setTickLabelPadding(3);
    setLabelPadding(6);
    break;
  case atRight:
    setTickLabelPadding(7);
    setLabelPadding(12);
    break;
  case atBottom:
    setTickLabelPadding(3);
    setLabelPadding(3);
    break;
  case atLeft:
    setTickLabelPadding(5);
    setLabelPadding(10);
    break;
  }
}

PlotAxis::~PlotAxis()
{
  delete mAxisPainter;
  delete mGrid;
}

// ---------------------------------------------------------------------------
// Range

bool PlotAxis::isUsableRange(double lower, double upper)
{
  // A cut against a limit must never leave an empty, reversed or non-finite
  // range behind: every pixel conversion divides by the span.
  return std::isfinite(lower) && std::isfinite(upper) && lower < upper;
}

PlotRange PlotAxis::sanitized(const PlotRange &range) const
{
  return mScaleType == stLogarithmic ? range.sanitizedForLogScale() : range.sanitizedForLinScale();
}

void PlotAxis::commitRange(const PlotRange &candidate, const PlotRange &oldRange,
                           PlotRange (PlotAxis::*hook)(PlotRange))
{
  mCachedMarginValid = false;
  const PlotRange tuned = (this->*hook)(candidate);
  mRange = isUsableRange(tuned.lower, tuned.upper) ? tuned : candidate;
  emitRangeChanged(oldRange);
}

void PlotAxis::emitRangeChanged(const PlotRange &oldRange)
{
  // Receivers get the stored range itself and may adjust it in place.
  PlotRange old = oldRange;
  emit rangeChanged(mRange);
  emit rangeChanged(mRange, old);
}

void PlotAxis::setRange(const PlotRange &range)
{
  if (range.lower == mRange.lower && range.upper == mRange.upper)
    return;
  // A bound beyond a limit only snaps that bound to the limit, silently.
  if (range.lower < mRangeMin) {
    if (isUsableRange(mRangeMin, mRange.upper))
      mRange.lower = mRangeMin;
    return;
  }
  if (range.upper > mRangeMax) {
    if (isUsableRange(mRange.lower, mRangeMax))
      mRange.upper = mRangeMax;
    return;
  }
  if (!PlotRange::validRange(range))
    return;
  const PlotRange oldRange = mRange;
  commitRange(sanitized(range), oldRange, &PlotAxis::calcTicksRange);
}

void PlotAxis::setRange(double lower, double upper)
{
  if (lower == mRange.lower && upper == mRange.upper)
    return;
  if (lower < mRangeMin) {
    // The drag and the paging code rely on this path: the lower bound snaps to
    // the limit and the change is announced, without the hook and without
    // invalidating the margin.
    PlotRange snapped;
    snapped.lower = mRangeMin;
    snapped.upper = upper;
    snapped = snapped.sanitizedForLogScale();
    if (!isUsableRange(snapped.lower, snapped.upper))
      return;
    const PlotRange oldRange = mRange;
    mRange = snapped;
    emitRangeChanged(oldRange);
    return;
  }
  if (upper > mRangeMax) {
    if (isUsableRange(mRange.lower, mRangeMax))
      mRange.upper = mRangeMax;
    return;
  }
  if (!PlotRange::validRange(lower, upper))
    return;
  const PlotRange oldRange = mRange;
  commitRange(sanitized(PlotRange(lower, upper)), oldRange, &PlotAxis::calcTicksRange);
}

void PlotAxis::setRange(double position, double size, Qt::AlignmentFlag alignment)
{
  if (alignment == Qt::AlignLeft)
    setRange(position, position + size);
  else if (alignment == Qt::AlignRight)
    setRange(position - size, position);
  else
    setRange(position - size * 0.5, position + size * 0.5);
}

void PlotAxis::setRangeLower(double lower)
{
  if (mRange.lower == lower)
    return;
  const PlotRange oldRange = mRange;
  PlotRange candidate = mRange;
  candidate.lower = lower < mRangeMin ? mRangeMin : lower;
  candidate = sanitized(candidate);
  if (!isUsableRange(candidate.lower, candidate.upper))
    return;
  commitRange(candidate, oldRange, &PlotAxis::calcTicksRange);
}

void PlotAxis::setRangeUpper(double upper)
{
  if (mRange.upper == upper)
    return;
  const PlotRange oldRange = mRange;
  PlotRange candidate = mRange;
  candidate.upper = upper > mRangeMax ? mRangeMax : upper;
  candidate = sanitized(candidate);
  if (!isUsableRange(candidate.lower, candidate.upper))
    return;
  commitRange(candidate, oldRange, &PlotAxis::calcTicksRange);
}

void PlotAxis::setRangeReversed(bool reversed)
{
  if (mRangeReversed == reversed)
    return;
  mRangeReversed = reversed;
  mCachedMarginValid = false;
}

void PlotAxis::moveRange(double diff)
{
  const PlotRange oldRange = mRange;
  PlotRange candidate = mRange;
  if (mScaleType == stLinear) {
    // Each bound stops at its own limit: a move against a limit shrinks the span.
    const double lower = mRange.lower + diff;
    const double upper = mRange.upper + diff;
    candidate.lower = lower < mRangeMin ? mRangeMin : lower;
    candidate.upper = upper > mRangeMax ? mRangeMax : upper;
  } else {
    candidate.lower *= diff;
    candidate.upper *= diff;
  }
  if (!isUsableRange(candidate.lower, candidate.upper))
    return;
  commitRange(candidate, oldRange, &PlotAxis::calcTicksRange);
}

void PlotAxis::scaleRange(double factor, double center)
{
  const PlotRange oldRange = mRange;
  PlotRange candidate = mRange;
  if (mScaleType == stLinear) {
    const double newLower = (mRange.lower - center) * factor + center;
    const double newUpper = (mRange.upper - center) * factor + center;
    if (newLower + 0.001 > newUpper)
      return;
    PlotRange scaled;
    scaled.lower = newLower < mRangeMin ? mRangeMin : newLower;
    scaled.upper = newUpper > mRangeMax ? mRangeMax : newUpper;
    if (PlotRange::validRange(scaled))
      candidate = scaled.sanitizedForLinScale();
  } else {
    if ((mRange.upper < 0 && center < 0) || (mRange.upper > 0 && center > 0)) {
      PlotRange scaled;
      scaled.lower = std::pow(mRange.lower / center, factor) * center;
      scaled.upper = std::pow(mRange.upper / center, factor) * center;
      if (PlotRange::validRange(scaled))
        candidate = scaled.sanitizedForLogScale();
    } else {
      qDebug() << Q_FUNC_INFO
               << "Center of scaling operation doesn't lie in same logarithmic sign domain as range:" << center;
    }
  }
  // Announced even when the candidate was rejected; listeners redraw on it.
  commitRange(candidate, oldRange, &PlotAxis::tuneTicks);
}

void PlotAxis::setScaleRatio(const PlotAxis *otherAxis, double ratio)
{
  if (!otherAxis || !otherAxis->axisRect() || !mAxisRect) {
    qDebug() << Q_FUNC_INFO << "other axis or axis rect missing";
    return;
  }
  const QRect otherRect = otherAxis->axisRect()->rect();
  const QRect ownRect = mAxisRect->rect();
  const int otherPixelSize = otherAxis->orientation() == Qt::Horizontal ? otherRect.width() : otherRect.height();
  const int ownPixelSize = mOrientation == Qt::Horizontal ? ownRect.width() : ownRect.height();
  if (otherPixelSize <= 0)
    return;
  const double newRangeSize = ratio * otherAxis->range().size() * ownPixelSize / double(otherPixelSize);
  setRange(range().center(), newRangeSize, Qt::AlignCenter);
}

void PlotAxis::setScaleType(PlotAxis::ScaleType type)
{
  if (mScaleType == type)
    return;
  mScaleType = type;
  if (mScaleType == stLogarithmic)
    setRange(mRange.sanitizedForLogScale());
  mCachedMarginValid = false;
  emit scaleTypeChanged(mScaleType);
}

void PlotAxis::setScaleLogBase(double base)
{
  if (base > 1 && std::isfinite(base)) {
    mScaleLogBase = base;
    mScaleLogBaseLogInv = 1.0 / std::log(mScaleLogBase);
    mCachedMarginValid = false;
  } else {
    qDebug() << Q_FUNC_INFO << "Invalid logarithmic scale base (must be greater 1):" << base;
  }
}

PlotRange PlotAxis::calcTicksRange(PlotRange range)
{
  return range;
}

PlotRange PlotAxis::tuneTicks(PlotRange range)
{
  return range;
}

// ---------------------------------------------------------------------------
// Coordinates

double PlotAxis::basePow(double value) const
{
  return std::pow(mScaleLogBase, value);
}

double PlotAxis::baseLog(double value) const
{
  return std::log(value) * mScaleLogBaseLogInv;
}

double PlotAxis::coordToPixel(double value) const
{
  const QRect r = mAxisRect ? mAxisRect->rect() : QRect();
  const double lo = mRange.lower, up = mRange.upper;
  if (mOrientation == Qt::Horizontal) {
    if (mScaleType == stLinear) {
      const double fraction = mRangeReversed ? (up - value) : (value - lo);
      return fraction / mRange.size() * r.width() + r.left();
    }
    // Values on the wrong side of zero land well outside the rect.
    if (value >= 0 && up < 0)
      return mRangeReversed ? r.left() - 200 : r.right() + 200;
    if (value <= 0 && up > 0)
      return mRangeReversed ? r.right() + 200 : r.left() - 200;
    const double ratio = mRangeReversed ? baseLog(up / value) : baseLog(value / lo);
    return ratio / baseLog(up / lo) * r.width() + r.left();
  }
  if (mScaleType == stLinear) {
    const double fraction = mRangeReversed ? (up - value) : (value - lo);
    return r.bottom() - fraction / mRange.size() * r.height();
  }
  if (value >= 0 && up < 0)
    return mRangeReversed ? r.bottom() + 200 : r.top() - 200;
  if (value <= 0 && up > 0)
    return mRangeReversed ? r.top() - 200 : r.bottom() + 200;
  const double ratio = mRangeReversed ? baseLog(up / value) : baseLog(value / lo);
  return r.bottom() - ratio / baseLog(up / lo) * r.height();
}

double PlotAxis::pixelToCoord(double value) const
{
  const QRect r = mAxisRect ? mAxisRect->rect() : QRect();
  const double lo = mRange.lower, up = mRange.upper;
  if (mOrientation == Qt::Horizontal) {
    const double fraction = (value - r.left()) / double(r.width());
    if (mScaleType == stLinear)
      return mRangeReversed ? -fraction * mRange.size() + up : fraction * mRange.size() + lo;
    return mRangeReversed ? std::pow(up / lo, -fraction) * up : std::pow(up / lo, fraction) * lo;
  }
  const double fraction = (r.bottom() - value) / double(r.height());
  if (mScaleType == stLinear)
    return mRangeReversed ? -fraction * mRange.size() + up : fraction * mRange.size() + lo;
  return mRangeReversed ? std::pow(up / lo, -fraction) * up : std::pow(up / lo, fraction) * lo;
}

// ---------------------------------------------------------------------------
// Setters of appearance

void PlotAxis::setLabelFont(const QFont &font)
{
  if (mLabelFont != font) {
    mLabelFont = font;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setLabel(const QString &str)
{
  if (mLabel != str) {
    mLabel = str;
    mCachedMarginValid = false;
  }
}

int PlotAxis::labelPadding() const
{
  return mAxisPainter->labelPadding;
}

void PlotAxis::setLabelPadding(int padding)
{
  if (mAxisPainter->labelPadding != padding) {
    mAxisPainter->labelPadding = padding;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setPadding(int padding)
{
  if (mPadding != padding) {
    mPadding = padding;
    mCachedMarginValid = false;
  }
}

int PlotAxis::offset() const
{
  return int(mAxisPainter->offset);
}

void PlotAxis::setOffset(int offset)
{
  mAxisPainter->offset = offset;
}

PlotLineEnding PlotAxis::lowerEnding() const
{
  return mAxisPainter->lowerEnding;
}

PlotLineEnding PlotAxis::upperEnding() const
{
  return mAxisPainter->upperEnding;
}

void PlotAxis::setLowerEnding(const PlotLineEnding &ending)
{
  mAxisPainter->lowerEnding = ending;
}

void PlotAxis::setUpperEnding(const PlotLineEnding &ending)
{
  mAxisPainter->upperEnding = ending;
}

void PlotAxis::setSelectedTickLabelFont(const QFont &font)
{
  // Margins are always measured with the normal fonts: no invalidation.
  if (font != mSelectedTickLabelFont)
    mSelectedTickLabelFont = font;
}

void PlotAxis::setSelectedTickLabelColor(const QColor &color)
{
  if (color != mSelectedTickLabelColor)
    mSelectedTickLabelColor = color;
}

// ---------------------------------------------------------------------------
// Selection

void PlotAxis::setSelectableParts(const PlotAxis::SelectableParts &selectableParts)
{
  if (mSelectableParts != selectableParts) {
    mSelectableParts = selectableParts;
    emit selectableChanged(mSelectableParts);
  }
}

void PlotAxis::setSelectedParts(const PlotAxis::SelectableParts &selectedParts)
{
  if (mSelectedParts != selectedParts) {
    mSelectedParts = selectedParts;
    emit selectionChanged(mSelectedParts);
  }
}

QPen PlotAxis::getBasePen() const
{
  return mSelectedParts.testFlag(spAxis) ? mSelectedBasePen : mBasePen;
}

QPen PlotAxis::getTickPen() const
{
  return mSelectedParts.testFlag(spAxis) ? mSelectedTickPen : mTickPen;
}

QPen PlotAxis::getSubTickPen() const
{
  return mSelectedParts.testFlag(spAxis) ? mSelectedSubTickPen : mSubTickPen;
}

QFont PlotAxis::getTickLabelFont() const
{
  return mSelectedParts.testFlag(spTickLabels) ? mSelectedTickLabelFont : mTickLabelFont;
}

QFont PlotAxis::getLabelFont() const
{
  return mSelectedParts.testFlag(spAxisLabel) ? mSelectedLabelFont : mLabelFont;
}

QColor PlotAxis::getTickLabelColor() const
{
  return mSelectedParts.testFlag(spTickLabels) ? mSelectedTickLabelColor : mTickLabelColor;
}

QColor PlotAxis::getLabelColor() const
{
  return mSelectedParts.testFlag(spAxisLabel) ? mSelectedLabelColor : mLabelColor;
}

PlotAxis::SelectablePart PlotAxis::getPartAt(const QPointF &pos) const
{
  if (!mVisible)
    return spNone;
  const QPoint point = Plot::roundedPoint(pos);
  if (mAxisPainter->axisSelectionBox().contains(point))
    return spAxis;
  if (mAxisPainter->tickLabelsSelectionBox().contains(point))
    return spTickLabels;
  if (mAxisPainter->labelSelectionBox().contains(point))
    return spAxisLabel;
  return spNone;
}

QRect PlotAxis::plotableRect() const
{
  return mAxisPainter->axisSelectionBox().united(mAxisPainter->labelSelectionBox());
}

double PlotAxis::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  if (!mParentPlot)
    return -1;
  const SelectablePart part = getPartAt(pos);
  if (part == spNone || (onlySelectable && !mSelectableParts.testFlag(part)))
    return -1;
  if (details)
    details->setValue(part);
  return mParentPlot->selectionTolerance() * 0.99;
}

void PlotAxis::selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged)
{
  Q_UNUSED(event)
  const SelectablePart part = details.value<PlotAxis::SelectablePart>();
  if (!mSelectableParts.testFlag(part))
    return;
  const SelectableParts before = mSelectedParts;
  setSelectedParts(additive ? mSelectedParts ^ part : SelectableParts(part));
  if (selectionStateChanged)
    *selectionStateChanged = mSelectedParts != before;
}

void PlotAxis::deselectEvent(bool *selectionStateChanged)
{
  const SelectableParts before = mSelectedParts;
  setSelectedParts(mSelectedParts & ~mSelectableParts);
  if (selectionStateChanged)
    *selectionStateChanged = mSelectedParts != before;
}

Plot::Interaction PlotAxis::selectionCategory() const
{
  return Plot::iaSelectAxes;
}

void PlotAxis::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiased, Plot::aaAxes);
}

PlotAxis::AxisType PlotAxis::opposite(PlotAxis::AxisType type)
{
  switch (type) {
  case atLeft:
    return atRight;
  case atRight:
    return atLeft;
  case atBottom:
    return atTop;
  case atTop:
    return atBottom;
  }
  qDebug() << Q_FUNC_INFO << "invalid axis type";
  return atLeft;
}

PlotAxis::AxisType PlotAxis::marginSideToAxisType(Plot::MarginSide side)
{
  switch (side) {
  case Plot::msLeft:
    return atLeft;
  case Plot::msRight:
    return atRight;
  case Plot::msTop:
    return atTop;
  case Plot::msBottom:
    return atBottom;
  default:
    break;
  }
  qDebug() << Q_FUNC_INFO << "Invalid margin side passed:" << int(side);
  return atLeft;
}

// ---------------------------------------------------------------------------
// Painting and margin

void PlotAxis::draw(PlotPainter *painter)
{
  // An axis of no length has no scale to show: its ticks and labels would
  // all stand on one pixel.
  if (const QRect r = mAxisRect ? mAxisRect->rect() : QRect();
      (mOrientation == Qt::Horizontal ? r.width() : r.height()) <= 0)
    return;
  QList<double> tickPositions;
  QList<QString> tickLabels;
  if (mTicks)
    visibleTickPixels(mLowestVisibleTick, mHighestVisibleTick, &tickPositions, &tickLabels);
  if (secondRowEnabled && mTicks) {
    // The application keys the second row by tick index and leaves the first
    // row empty where a second-row text belongs; the painter wants its own indices.
    const int first = qMax(0, mLowestVisibleTick);
    QMap<int, QString> rowLabels;
    for (int j = 0; j < tickLabels.size(); ++j) {
      if (tickLabels.at(j).isEmpty())
        rowLabels.insert(j, secondRowLabels.value(first + j));
    }
    if (secondRowLabels.contains(-1))
      rowLabels.insert(-1, secondRowLabels.value(-1));
    secondRowLabels = rowLabels;
  }
  QList<double> subTickPositions;
  if (mSubTickCount > 0) {
    subTickPositions.reserve(mSubTickVector.size());
    for (double subTick : std::as_const(mSubTickVector))
      subTickPositions.append(coordToPixel(subTick));
  }

  mAxisPainter->type = mAxisType;
  mAxisPainter->basePen = getBasePen();
  mAxisPainter->labelFont = getLabelFont();
  mAxisPainter->labelColor = getLabelColor();
  mAxisPainter->label = mLabel;
  mAxisPainter->substituteExponent = mAutoTickLabels && mNumberBeautifulPowers && mTickLabelType == ltNumber;
  mAxisPainter->tickPen = getTickPen();
  mAxisPainter->subTickPen = getSubTickPen();
  mAxisPainter->tickLabelFont = getTickLabelFont();
  mAxisPainter->tickLabelColor = getTickLabelColor();
  mAxisPainter->axisRect = mAxisRect ? mAxisRect->rect() : QRect();
  mAxisPainter->viewportRect = mParentPlot ? mParentPlot->viewport() : QRect();
  mAxisPainter->abbreviateDecimalPowers = mScaleType == stLogarithmic;
  mAxisPainter->reversedEndings = mRangeReversed;
  mAxisPainter->tickPositions = tickPositions;
  mAxisPainter->tickLabels = tickLabels;
  mAxisPainter->subTickPositions = subTickPositions;
  mAxisPainter->secondRowEnabled = secondRowEnabled;
  mAxisPainter->secondRowLabels = secondRowLabels;
  mAxisPainter->draw(painter);
}

void PlotAxis::visibleTickPixels(int first, int last, QList<double> *positions, QList<QString> *labels) const
{
  // Stale indices stay inside the list; receivers of axisUnitChanged may
  // leave fewer labels than ticks.
  first = qMax(0, first);
  last = qMin(last, int(mTickVector.size()) - 1);
  for (int i = first; i <= last; ++i) {
    positions->append(coordToPixel(mTickVector.at(i)));
    if (mTickLabels)
      labels->append(i < mTickVectorLabels.size() ? mTickVectorLabels.at(i) : QString());
  }
}

int PlotAxis::calculateMargin()
{
  if (!mVisible)
    return 0;
  // The row is switched on and off by a plain flag: a margin measured
  // without it would clip the row until something else moved the layout.
  if (mCachedMarginValid && mCachedMarginSecondRow == secondRowEnabled)
    return mCachedMargin;

  int first, last;
  visibleTickBounds(first, last);
  QList<double> tickPositions;
  QList<QString> tickLabels;
  if (mTicks)
    visibleTickPixels(first, last, &tickPositions, &tickLabels);
  mAxisPainter->type = mAxisType;
  mAxisPainter->labelFont = getLabelFont();
  mAxisPainter->label = mLabel;
  mAxisPainter->tickLabelFont = mTickLabelFont;
  mAxisPainter->axisRect = mAxisRect ? mAxisRect->rect() : QRect();
  mAxisPainter->viewportRect = mParentPlot ? mParentPlot->viewport() : QRect();
  mAxisPainter->tickPositions = tickPositions;
  mAxisPainter->tickLabels = tickLabels;
  // The row's height is reserved whenever the row is on, whether or not it
  // has been drawn yet.
  mAxisPainter->secondRowEnabled = secondRowEnabled;
  // Labels cached with an older font or rotation must not be measured.
  mAxisPainter->dropStaleLabelCache();
  mCachedMargin = mAxisPainter->size() + mPadding;
  mCachedMarginValid = true;
  mCachedMarginSecondRow = secondRowEnabled;
  return mCachedMargin;
}

// ---------------------------------------------------------------------------
// Plottables on this axis

QList<PlotAbstractPlottable *> PlotAxis::plottables() const
{
  QList<PlotAbstractPlottable *> result;
  if (!mParentPlot)
    return result;
  for (PlotAbstractPlottable *plottable : std::as_const(mParentPlot->mPlottables)) {
    if (plottable->keyAxis() == this || plottable->valueAxis() == this)
      result.append(plottable);
  }
  return result;
}

QList<PlotGraph *> PlotAxis::graphs() const
{
  QList<PlotGraph *> result;
  if (!mParentPlot)
    return result;
  for (PlotGraph *graph : std::as_const(mParentPlot->mGraphs)) {
    if (graph->keyAxis() == this || graph->valueAxis() == this)
      result.append(graph);
  }
  return result;
}

QList<PlotAbstractItem *> PlotAxis::items() const
{
  QList<PlotAbstractItem *> result;
  if (!mParentPlot)
    return result;
  for (PlotAbstractItem *item : std::as_const(mParentPlot->mItems)) {
    const QList<PlotItemPosition *> positions = item->positions();
    for (const PlotItemPosition *pos : positions) {
      if (pos->keyAxis() == this || pos->valueAxis() == this) {
        result.append(item);
        break;
      }
    }
  }
  return result;
}

void PlotAxis::rescale(bool onlyVisiblePlottables)
{
  PlotAbstractPlottable::SignDomain signDomain = PlotAbstractPlottable::sdBothSigns;
  if (mScaleType == stLogarithmic)
    signDomain = mRange.upper < 0 ? PlotAbstractPlottable::sdNegativeOnly : PlotAbstractPlottable::sdPositiveOnly;
  PlotRange newRange;
  bool haveRange = false;
  const QList<PlotAbstractPlottable *> ownPlottables = plottables();
  for (const PlotAbstractPlottable *plottable : ownPlottables) {
    if (onlyVisiblePlottables && !plottable->realVisibility())
      continue;
    bool found = false;
    const PlotRange plottableRange = plottable->keyAxis() == this ? plottable->getKeyRange(found, signDomain)
                                                                  : plottable->getValueRange(found, signDomain);
    if (!found)
      continue;
    if (haveRange)
      newRange.expand(plottableRange);
    else
      newRange = plottableRange;
    haveRange = true;
  }
  if (!haveRange)
    return;
  if (!PlotRange::validRange(newRange)) {
    // Constant data: keep the current extent, centred on it.
    const double center = (newRange.lower + newRange.upper) * 0.5;
    if (mScaleType == stLinear) {
      newRange.lower = center - mRange.size() / 2.0;
      newRange.upper = center + mRange.size() / 2.0;
    } else {
      const double ratio = std::sqrt(mRange.upper / mRange.lower);
      newRange.lower = center / ratio;
      newRange.upper = center * ratio;
    }
  }
  setRange(newRange);
}
