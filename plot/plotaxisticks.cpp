#include "plotaxis.h"

#include "plotaxispainter.h"
#include "plotgrid.h"
#include "plotwidget.h"

#include <QDateTime>
#include <QDebug>
#include <QLocale>
#include <cmath>

// Tick positions, sub-ticks and tick labels of PlotAxis, and the setters that
// shape them.

namespace {
// More ticks than this cannot be told apart on any screen; a tick step that
// asks for more is a mistake and must not exhaust memory.
const qint64 maxTickCount = 10000;
const double ln10 = 2.302585092994046;
} // namespace

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
    // Tick indices are 64-bit integers: a tiny step far from zero must not overflow them.
    if (!(mTickStep > 0) || !(std::fabs(first) < 9e18) || !(std::fabs(last) < 9e18) || count > maxTickCount) {
      qDebug() << Q_FUNC_INFO << "Tick step doesn't suit the range:" << mTickStep;
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
    qDebug() << Q_FUNC_INFO << "Invalid range for logarithmic plot: " << mRange.lower << "-" << mRange.upper;
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
    const double span = mTickVector.at(j) - start;
    for (int k = 1; k <= subTickCount; ++k) {
      const double position = start + k * span / (subTickCount + 1.0);
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
    // Keep all integer digits of large values instead of an exponent form; the
    // quotient is written as an integer, so eight and more digits stay digits too.
    const qint64 integerPart = qint64(value);
    text = locale.toString(integerPart / 10) + QString::number(integerPart % 10);
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
    qDebug() << Q_FUNC_INFO << "approximateCount must be greater than zero:" << approximateCount;
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
    qDebug() << Q_FUNC_INFO << "Passed formatCode is empty";
    return;
  }
  mCachedMarginValid = false;

  const QString allowedFormatChars(QStringLiteral("eEfgG"));
  if (!allowedFormatChars.contains(formatCode.at(0))) {
    qDebug() << Q_FUNC_INFO << "Invalid number format code (first char not in 'eEfgG'):" << formatCode;
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
      qDebug() << Q_FUNC_INFO << "Invalid number format code (third char neither 'c' nor 'd'):" << formatCode;
  } else {
    qDebug() << Q_FUNC_INFO
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
