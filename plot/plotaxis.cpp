#include "plotaxis.h"

#include "plotaxispainter.h"
#include "plotaxisrect.h"
#include "plotgrid.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDateTime>
#include <QDebug>
#include <QLocale>
#include <QtMath>
#include <cmath>

namespace {
// More ticks than this cannot be told apart on any screen; a tick step that
// asks for more is a mistake and must not exhaust memory.
const qint64 maxTickCount = 10000;
const double ln10 = 2.302585092994046;

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
      qDebug() << "virtual void PlotAxis::scaleRange(double, double)"
               << "Center of scaling operation doesn't lie in same logarithmic sign domain as range:" << center;
    }
  }
  // Announced even when the candidate was rejected; listeners redraw on it.
  commitRange(candidate, oldRange, &PlotAxis::tuneTicks);
}

void PlotAxis::setScaleRatio(const PlotAxis *otherAxis, double ratio)
{
  if (!otherAxis || !otherAxis->axisRect() || !mAxisRect) {
    qDebug() << "void PlotAxis::setScaleRatio(const PlotAxis*, double)"
             << "other axis or axis rect missing";
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
    qDebug() << "void PlotAxis::setScaleLogBase(double)"
             << "Invalid logarithmic scale base (must be greater 1):" << base;
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
// Ticks

void PlotAxis::setupTickVectors()
{
  if (!mParentPlot)
    return;
  if (!mTicks && !mTickLabels && !mGrid->visible())
    return;
  if (mRange.size() <= 0)
    return;

  if (mAutoTicks)
    generateAutoTicks();
  else
    emit ticksRequest();

  visibleTickBounds(mLowestVisibleTick, mHighestVisibleTick);
  if (mTickVector.isEmpty()) {
    mSubTickVector.clear();
    return;
  }
  generateSubTicks(mSubTickCount);

  if (mAutoTickLabels) {
    generateTickLabels();
    return;
  }
  if (mAutoTicks)
    emit ticksRequest();
  while (mTickVectorLabels.size() < mTickVector.size())
    mTickVectorLabels.append(QString());
}

void PlotAxis::generateAutoTicks()
{
  if (mScaleType == stLinear) {
    if (mAutoTickStep) {
      const double step = mRange.size() / (mAutoTickCount + 1e-10);
      const double magnitude = std::pow(10.0, std::floor(std::log(step) / ln10));
      const double mantissa = step / magnitude;
      // Round the mantissa down to a multiple of 0.5 below 5, of 2 above.
      if (mantissa < 5)
        mTickStep = std::trunc(mantissa * 2) * 0.5 * magnitude;
      else
        mTickStep = std::trunc(mantissa * 0.5) * 2.0 * magnitude;
    }
    if (mAutoSubTicks)
      mSubTickCount = calculateAutoSubTickCount(mTickStep);

    const double first = std::floor(mRange.lower / mTickStep);
    const double last = std::ceil(mRange.upper / mTickStep);
    const double count = last - first + 1;
    if (!(mTickStep > 0) || !std::isfinite(first) || !std::isfinite(last) || count > maxTickCount) {
      qDebug() << "virtual void PlotAxis::generateAutoTicks()" << "Tick step doesn't suit the range:" << mTickStep;
      mTickVector.clear();
      return;
    }
    const qint64 firstStep = qint64(first);
    const int tickCount = count > 0 ? int(count) : 0;
    mTickVector.resize(tickCount);
    for (int i = 0; i < tickCount; ++i)
      mTickVector[i] = double(firstStep + i) * mTickStep;
    return;
  }

  if (mRange.lower > 0 && mRange.upper > 0) {
    double current = basePow(std::floor(baseLog(mRange.lower)));
    mTickVector = {current};
    while (current < mRange.upper && current > 0 && mTickVector.size() < maxTickCount) {
      current *= mScaleLogBase;
      mTickVector.append(current);
    }
  } else if (mRange.lower < 0 && mRange.upper < 0) {
    double current = -basePow(std::ceil(baseLog(-mRange.lower)));
    mTickVector = {current};
    while (current < mRange.upper && current < 0 && mTickVector.size() < maxTickCount) {
      current /= mScaleLogBase;
      mTickVector.append(current);
    }
  } else {
    mTickVector.clear();
    qDebug() << "virtual void PlotAxis::generateAutoTicks()"
             << "Invalid range for logarithmic plot: " << mRange.lower << "-" << mRange.upper;
  }
}

int PlotAxis::calculateAutoSubTickCount(double tickStep) const
{
  int result = mSubTickCount;
  if (!(tickStep > 0) || !std::isfinite(tickStep))
    return result;
  const double magnitude = std::pow(10.0, std::floor(std::log(tickStep) / ln10));
  const double mantissa = tickStep / magnitude;
  double intPart;
  const double fracPart = std::modf(mantissa, &intPart);
  const double epsilon = 0.01;
  if (fracPart < epsilon || 1.0 - fracPart < epsilon) {
    if (1.0 - fracPart < epsilon)
      intPart += 1;
    static const int wholeCounts[] = {4, 3, 2, 3, 4, 2, 6, 3, 2};
    if (intPart >= 1 && intPart <= 9)
      result = wholeCounts[int(intPart) - 1];
  } else if (std::fabs(fracPart - 0.5) < epsilon) {
    static const int halfCounts[] = {2, 4, 4, 2, 4, 4, 2, 4, 4};
    if (intPart >= 1 && intPart <= 9)
      result = halfCounts[int(intPart) - 1];
  }
  return result;
}

void PlotAxis::visibleTickBounds(int &lowIndex, int &highIndex) const
{
  bool lowFound = false;
  bool highFound = false;
  lowIndex = 0;
  highIndex = -1;
  const int count = mTickVector.size();
  for (int i = 0; i < count; ++i) {
    if (mTickVector.at(i) >= mRange.lower) {
      lowFound = true;
      lowIndex = i;
      break;
    }
  }
  for (int i = count - 1; i >= 0; --i) {
    if (mTickVector.at(i) <= mRange.upper) {
      highFound = true;
      highIndex = i;
      break;
    }
  }
  if (!lowFound && highFound)
    lowIndex = highIndex + 1;
  else if (lowFound && !highFound)
    highIndex = lowIndex - 1;
}

std::pair<int, int> PlotAxis::visibleTickBounds()
{
  visibleTickBounds(mLowestVisibleTick, mHighestVisibleTick);
  return {mLowestVisibleTick, mHighestVisibleTick};
}

void PlotAxis::generateSubTicks(int subTickCount)
{
  mSubTickCount = subTickCount;
  mSubTickVector.clear();
  const int tickCount = mTickVector.size();
  if (subTickCount <= 0 || tickCount < 2)
    return;

  // The partial intervals before the first and after the last visible tick
  // count too; the indices may be stale, so they are kept inside the list.
  const int firstInterval = qMax(1, mLowestVisibleTick);
  const int lastInterval =
      qMin(tickCount - 1, mHighestVisibleTick < tickCount - 1 ? mHighestVisibleTick + 1 : mHighestVisibleTick);
  mSubTickVector.reserve(int(qMin<qint64>(qint64(qMax(0, lastInterval - firstInterval + 1)) * subTickCount, maxTickCount)));
  for (int j = firstInterval; j <= lastInterval; ++j) {
    const double start = mTickVector.at(j - 1);
    const double step = (mTickVector.at(j) - start) / (subTickCount + 1.0);
    for (int k = 1; k <= subTickCount; ++k) {
      const double position = start + k * step;
      if (position < mRange.lower)
        continue;
      if (position > mRange.upper)
        return;
      mSubTickVector.append(position);
    }
  }
}

QString PlotAxis::formatNumberLabel(double value) const
{
  const QLocale locale = mParentPlot ? mParentPlot->locale() : QLocale();
  QString text;
  if (value > 999999 && value < 9e18) {
    // Keep all integer digits of large values instead of an exponent form.
    const qint64 integerPart = qint64(value);
    text = locale.toString(double(integerPart / 10), 'g', 6) + QString::number(integerPart % 10);
  } else {
    text = locale.toString(value, 'g', 6);
  }
  // Group the integer digits in threes with blanks; signs stay in front and
  // exponent forms stay as they are.
  if (text.contains(QLatin1Char('e'), Qt::CaseInsensitive))
    return text;
  int start = 0;
  if (!text.isEmpty() && (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+')))
    start = 1;
  int end = start;
  while (end < text.size() && text.at(end).isDigit())
    ++end;
  const int digits = end - start;
  if (digits > 6) {
    text.insert(end - 6, QLatin1Char(' '));
    ++end;
  }
  if (digits > 3)
    text.insert(end - 3, QLatin1Char(' '));
  return text;
}

QString PlotAxis::formatDateTimeLabel(double value) const
{
  const double msecs = value * 1000;
  if (!(std::fabs(msecs) < 9e18))
    return QString();
  const QLocale locale = mParentPlot ? mParentPlot->locale() : QLocale();
  const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(msecs), Qt::LocalTime).toTimeSpec(mDateTimeSpec);
  return locale.toString(time, mDateTimeFormat);
}

void PlotAxis::generateTickLabels()
{
  mTickVectorLabels.resize(mTickVector.size());
  const int first = qMax(0, mLowestVisibleTick);
  const int last = qMin(mHighestVisibleTick, int(mTickVector.size()) - 1);

  if (mTickLabelType == ltNumber) {
    // The unit follows the highest visible tick at every generation.
    int divisor = 1;
    if (first <= last) {
      const double highest = mTickVector.at(last);
      if (highest < 1000)
        divisor = 1;
      else if (highest < 1000000)
        divisor = 1000;
      else
        divisor = 1000000;
    }
    for (int i = first; i <= last; ++i)
      mTickVectorLabels[i] = formatNumberLabel(mTickVector.at(i) / divisor);
    emit axisUnitChanged(this, divisor, mTickVector, mTickVectorLabels);
  } else if (mTickLabelType == ltDateTime) {
    for (int i = first; i <= last; ++i)
      mTickVectorLabels[i] = formatDateTimeLabel(mTickVector.at(i));
  }
}

// ---------------------------------------------------------------------------
// Setters of ticks and labels

void PlotAxis::setAutoTicks(bool on)
{
  if (mAutoTicks != on) {
    mAutoTicks = on;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setAutoTickCount(int approximateCount)
{
  if (mAutoTickCount == approximateCount)
    return;
  if (approximateCount > 0) {
    mAutoTickCount = approximateCount;
    mCachedMarginValid = false;
  } else {
    qDebug() << "void PlotAxis::setAutoTickCount(int)"
             << "approximateCount must be greater than zero:" << approximateCount;
  }
}

void PlotAxis::setAutoTickLabels(bool on)
{
  if (mAutoTickLabels != on) {
    mAutoTickLabels = on;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setAutoTickStep(bool on)
{
  if (mAutoTickStep != on) {
    mAutoTickStep = on;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setAutoSubTicks(bool on)
{
  if (mAutoSubTicks != on) {
    mAutoSubTicks = on;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setTicks(bool show)
{
  if (mTicks != show) {
    mTicks = show;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setTickLabels(bool show)
{
  if (mTickLabels != show) {
    mTickLabels = show;
    mCachedMarginValid = false;
  }
}

int PlotAxis::tickLabelPadding() const
{
  return mAxisPainter->tickLabelPadding;
}

void PlotAxis::setTickLabelPadding(int padding)
{
  if (mAxisPainter->tickLabelPadding != padding) {
    mAxisPainter->tickLabelPadding = padding;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setTickLabelType(LabelType type)
{
  if (mTickLabelType != type) {
    mTickLabelType = type;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setTickLabelFont(const QFont &font)
{
  if (font != mTickLabelFont) {
    mTickLabelFont = font;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setTickLabelColor(const QColor &color)
{
  if (color != mTickLabelColor) {
    mTickLabelColor = color;
    mCachedMarginValid = false;
  }
}

double PlotAxis::tickLabelRotation() const
{
  return mAxisPainter->tickLabelRotation;
}

void PlotAxis::setTickLabelRotation(double degrees)
{
  if (std::fabs(degrees - mAxisPainter->tickLabelRotation) > 1e-12) {
    mAxisPainter->tickLabelRotation = qBound(-90.0, degrees, 90.0);
    mCachedMarginValid = false;
  }
}

PlotAxis::LabelSide PlotAxis::tickLabelSide() const
{
  return mAxisPainter->tickLabelSide;
}

void PlotAxis::setTickLabelSide(LabelSide side)
{
  mAxisPainter->tickLabelSide = side;
  mCachedMarginValid = false;
}

void PlotAxis::setDateTimeFormat(const QString &format)
{
  if (mDateTimeFormat != format) {
    mDateTimeFormat = format;
    mCachedMarginValid = false;
  }
}

QString PlotAxis::numberFormat() const
{
  QString result = QString(QLatin1Char(mNumberFormatChar));
  if (mNumberBeautifulPowers) {
    result.append(QLatin1Char('b'));
    if (mAxisPainter->numberMultiplyCross)
      result.append(QLatin1Char('c'));
  }
  return result;
}

void PlotAxis::setNumberFormat(const QString &formatCode)
{
  if (formatCode.isEmpty()) {
    qDebug() << "void PlotAxis::setNumberFormat(const QString&)"
             << "Passed formatCode is empty";
    return;
  }
  mCachedMarginValid = false;

  const QString allowedFormatChars(QStringLiteral("eEfgG"));
  if (!allowedFormatChars.contains(formatCode.at(0))) {
    qDebug() << "void PlotAxis::setNumberFormat(const QString&)"
             << "Invalid number format code (first char not in 'eEfgG'):" << formatCode;
    return;
  }
  mNumberFormatChar = formatCode.at(0).toLatin1();
  if (formatCode.length() < 2) {
    mNumberBeautifulPowers = false;
    mAxisPainter->numberMultiplyCross = false;
    return;
  }

  if (formatCode.at(1) == QLatin1Char('b') && (mNumberFormatChar == 'e' || mNumberFormatChar == 'g')) {
    mNumberBeautifulPowers = true;
    if (formatCode.length() < 3) {
      mAxisPainter->numberMultiplyCross = false;
      return;
    }
    if (formatCode.at(2) == QLatin1Char('c'))
      mAxisPainter->numberMultiplyCross = true;
    else if (formatCode.at(2) == QLatin1Char('d'))
      mAxisPainter->numberMultiplyCross = false;
    else
      qDebug() << "void PlotAxis::setNumberFormat(const QString&)"
               << "Invalid number format code (third char neither 'c' nor 'd'):" << formatCode;
  } else {
    qDebug() << "void PlotAxis::setNumberFormat(const QString&)"
             << "Invalid number format code (second char not 'b' or first char neither 'e' nor 'g'):" << formatCode;
  }
}

void PlotAxis::setNumberPrecision(int precision)
{
  if (mNumberPrecision != precision) {
    mNumberPrecision = precision;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setTickStep(double step)
{
  if (mTickStep != step) {
    mCachedMarginValid = false;
    mTickStep = step;
  }
}

void PlotAxis::setTickVector(const QList<double> &vec)
{
  mTickVector = vec;
  mCachedMarginValid = false;
}

void PlotAxis::setTickVectorLabels(const QList<QString> &vec)
{
  mTickVectorLabels = vec;
  mCachedMarginValid = false;
}

int PlotAxis::tickLengthIn() const
{
  return mAxisPainter->tickLengthIn;
}

int PlotAxis::tickLengthOut() const
{
  return mAxisPainter->tickLengthOut;
}

int PlotAxis::subTickLengthIn() const
{
  return mAxisPainter->subTickLengthIn;
}

int PlotAxis::subTickLengthOut() const
{
  return mAxisPainter->subTickLengthOut;
}

void PlotAxis::setTickLength(int inside, int outside)
{
  setTickLengthIn(inside);
  setTickLengthOut(outside);
}

void PlotAxis::setTickLengthIn(int inside)
{
  // The inner length does not reach into the margin.
  if (mAxisPainter->tickLengthIn != inside)
    mAxisPainter->tickLengthIn = inside;
}

void PlotAxis::setTickLengthOut(int outside)
{
  if (mAxisPainter->tickLengthOut != outside) {
    mAxisPainter->tickLengthOut = outside;
    mCachedMarginValid = false;
  }
}

void PlotAxis::setSubTickLength(int inside, int outside)
{
  setSubTickLengthIn(inside);
  setSubTickLengthOut(outside);
}

void PlotAxis::setSubTickLengthIn(int inside)
{
  if (mAxisPainter->subTickLengthIn != inside)
    mAxisPainter->subTickLengthIn = inside;
}

void PlotAxis::setSubTickLengthOut(int outside)
{
  if (mAxisPainter->subTickLengthOut != outside) {
    mAxisPainter->subTickLengthOut = outside;
    mCachedMarginValid = false;
  }
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
  const QPoint point(qRound(pos.x()), qRound(pos.y()));
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
  qDebug() << "static PlotAxis::AxisType PlotAxis::opposite(PlotAxis::AxisType)"
           << "invalid axis type";
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
  qDebug() << "static PlotAxis::AxisType PlotAxis::marginSideToAxisType(Plot::MarginSide)"
           << "Invalid margin side passed:" << int(side);
  return atLeft;
}

// ---------------------------------------------------------------------------
// Painting and margin

void PlotAxis::draw(PlotPainter *painter)
{
  QList<double> subTickPositions;
  QList<double> tickPositions;
  QList<QString> tickLabels;

  const int first = qMax(0, mLowestVisibleTick);
  const int last = qMin(mHighestVisibleTick, int(mTickVector.size()) - 1);
  // Receivers of axisUnitChanged may leave fewer labels than ticks.
  auto labelAt = [this](int i) { return i < mTickVectorLabels.size() ? mTickVectorLabels.at(i) : QString(); };

  if (!secondRowEnabled) {
    if (mTicks) {
      for (int i = first; i <= last; ++i) {
        tickPositions.append(coordToPixel(mTickVector.at(i)));
        if (mTickLabels)
          tickLabels.append(labelAt(i));
      }
    }
  } else if (mTicks) {
    // The application keys the second row by tick index and leaves the first
    // row empty where a second-row text belongs; the painter wants its own indices.
    QMap<int, QString> rowLabels;
    for (int i = first; i <= last; ++i) {
      tickPositions.append(coordToPixel(mTickVector.at(i)));
      if (mTickLabels) {
        const QString text = labelAt(i);
        tickLabels.append(text);
        if (text.isEmpty())
          rowLabels.insert(tickLabels.size() - 1, secondRowLabels.value(i));
      }
    }
    if (secondRowLabels.contains(-1))
      rowLabels.insert(-1, secondRowLabels.value(-1));
    secondRowLabels = rowLabels;
  }
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

int PlotAxis::calculateMargin()
{
  if (!mVisible)
    return 0;
  if (mCachedMarginValid)
    return mCachedMargin;

  int first, last;
  visibleTickBounds(first, last);
  first = qMax(0, first);
  last = qMin(last, int(mTickVector.size()) - 1);
  QList<double> tickPositions;
  QList<QString> tickLabels;
  if (mTicks) {
    for (int i = first; i <= last; ++i) {
      tickPositions.append(coordToPixel(mTickVector.at(i)));
      if (mTickLabels)
        tickLabels.append(i < mTickVectorLabels.size() ? mTickVectorLabels.at(i) : QString());
    }
  }
  mAxisPainter->type = mAxisType;
  mAxisPainter->labelFont = getLabelFont();
  mAxisPainter->label = mLabel;
  mAxisPainter->tickLabelFont = mTickLabelFont;
  mAxisPainter->axisRect = mAxisRect ? mAxisRect->rect() : QRect();
  mAxisPainter->viewportRect = mParentPlot ? mParentPlot->viewport() : QRect();
  mAxisPainter->tickPositions = tickPositions;
  mAxisPainter->tickLabels = tickLabels;
  // Labels cached with an older font or rotation must not be measured.
  mAxisPainter->dropStaleLabelCache();
  mCachedMargin = mAxisPainter->size() + mPadding;
  mCachedMarginValid = true;
  return mCachedMargin;
}
