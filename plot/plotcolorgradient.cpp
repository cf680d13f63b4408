#include "plotcolorgradient.h"

#include <QDebug>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
struct Stop
{
  double position;
  int r, g, b;
};

struct Preset
{
  PlotColorGradient::ColorInterpolation interpolation;
  const Stop *stops;
  int count;
};

constexpr Stop kGrayscale[] = {{0, 0, 0, 0}, {1, 255, 255, 255}};
constexpr Stop kHot[] = {{0, 50, 0, 0},      {0.2, 180, 10, 0},   {0.4, 245, 50, 0},
                         {0.6, 255, 150, 10}, {0.8, 255, 255, 50}, {1, 255, 255, 255}};
constexpr Stop kCold[] = {{0, 0, 0, 50},      {0.2, 0, 10, 180},   {0.4, 0, 50, 245},
                          {0.6, 10, 150, 255}, {0.8, 50, 255, 255}, {1, 255, 255, 255}};
constexpr Stop kNight[] = {{0, 10, 20, 30}, {1, 250, 255, 250}};
constexpr Stop kCandy[] = {{0, 0, 0, 255}, {1, 255, 250, 250}};
constexpr Stop kGeography[] = {{0, 70, 170, 210},   {0.2, 90, 160, 180},  {0.25, 45, 130, 175},
                               {0.3, 100, 140, 125}, {0.5, 100, 140, 100}, {0.6, 130, 145, 120},
                               {0.7, 140, 130, 120}, {0.9, 180, 190, 190}, {1, 210, 210, 230}};
constexpr Stop kIon[] = {{0, 50, 10, 10}, {0.45, 0, 0, 255}, {0.8, 0, 255, 255}, {1, 0, 255, 0}};
constexpr Stop kThermal[] = {{0, 0, 0, 50},     {0.15, 20, 0, 120},   {0.33, 200, 30, 140},
                             {0.6, 255, 100, 0}, {0.85, 255, 255, 40}, {1, 255, 255, 255}};
constexpr Stop kPolar[] = {{0, 50, 255, 255},  {0.18, 10, 70, 255}, {0.28, 10, 10, 190}, {0.5, 0, 0, 0},
                           {0.72, 190, 10, 10}, {0.82, 255, 70, 10}, {1, 255, 255, 50}};
constexpr Stop kSpectrum[] = {{0, 50, 0, 50},     {0.15, 0, 0, 255},  {0.35, 0, 255, 255},
                              {0.6, 255, 255, 0}, {0.75, 255, 30, 0}, {1, 50, 0, 0}};
constexpr Stop kJet[] = {{0, 0, 0, 100},      {0.15, 0, 50, 255}, {0.35, 0, 255, 255},
                         {0.65, 255, 255, 0}, {0.85, 255, 30, 0}, {1, 100, 0, 0}};
constexpr Stop kHues[] = {{0, 255, 0, 0}, {1.0 / 3.0, 0, 0, 255}, {2.0 / 3.0, 0, 255, 0}, {1, 255, 0, 0}};

#define PRESET(mode, stops) {PlotColorGradient::mode, stops, int(std::size(stops))}
// In the order of PlotColorGradient::GradientPreset.
constexpr Preset kPresets[] = {PRESET(ciRGB, kGrayscale), PRESET(ciRGB, kHot),       PRESET(ciRGB, kCold),
                               PRESET(ciHSV, kNight),     PRESET(ciHSV, kCandy),     PRESET(ciRGB, kGeography),
                               PRESET(ciHSV, kIon),       PRESET(ciRGB, kThermal),   PRESET(ciRGB, kPolar),
                               PRESET(ciHSV, kSpectrum),  PRESET(ciRGB, kJet),       PRESET(ciHSV, kHues)};
#undef PRESET
} // namespace

PlotColorGradient::PlotColorGradient(GradientPreset preset)
    : mLevelCount(350), mColorInterpolation(ciRGB), mPeriodic(false), mColorBuffer(350, qRgb(0, 0, 0)),
      mColorBufferInvalidated(true)
{
  loadPreset(preset);
}

bool PlotColorGradient::operator==(const PlotColorGradient &other) const
{
  // QMap compares keys as doubles and colours as QColor does; the tables do
  // not take part.
  return mLevelCount == other.mLevelCount && mColorInterpolation == other.mColorInterpolation &&
         mPeriodic == other.mPeriodic && mColorStops == other.mColorStops;
}

void PlotColorGradient::setLevelCount(int n)
{
  if (n < 2) {
    qDebug() << Q_FUNC_INFO << "n must be greater or equal 2 but was" << n;
    n = 2;
  }
  if (n != mLevelCount) {
    mLevelCount = n;
    mColorBufferInvalidated = true;
  }
}

void PlotColorGradient::setColorStops(const QMap<double, QColor> &colorStops)
{
  mColorStops = colorStops;
  mColorBufferInvalidated = true;
}

void PlotColorGradient::setColorStopAt(double position, const QColor &color)
{
  mColorStops.insert(position, color);
  mColorBufferInvalidated = true;
}

void PlotColorGradient::clearColorStops()
{
  mColorStops.clear();
  mColorBufferInvalidated = true;
}

void PlotColorGradient::setColorInterpolation(ColorInterpolation interpolation)
{
  if (interpolation != mColorInterpolation) {
    mColorInterpolation = interpolation;
    mColorBufferInvalidated = true;
  }
}

void PlotColorGradient::loadPreset(GradientPreset preset)
{
  clearColorStops();
  if (preset < gpGrayscale || preset > gpHues)
    return;
  const Preset &p = kPresets[preset];
  setColorInterpolation(p.interpolation);
  for (int i = 0; i < p.count; ++i)
    setColorStopAt(p.stops[i].position, QColor(p.stops[i].r, p.stops[i].g, p.stops[i].b));
}

PlotColorGradient PlotColorGradient::inverted() const
{
  PlotColorGradient result(*this);
  result.clearColorStops();
  for (auto it = mColorStops.constBegin(); it != mColorStops.constEnd(); ++it)
    result.setColorStopAt(1.0 - it.key(), it.value());
  return result;
}

double PlotColorGradient::logIndex(double position, const PlotRange &range) const
{
  return (mLevelCount - 1) * (std::log(position / range.lower) / std::log(range.upper / range.lower));
}

QRgb PlotColorGradient::entry(double index) const
{
  // Narrowed only once the value is known to fit: a zero-width range, a bound
  // of 0 on a logarithmic lookup or a NaN value give no usable index.
  if (std::isnan(index))
    return mColorBuffer.at(0);
  const double last = mLevelCount - 1;
  if (mPeriodic) {
    if (!std::isfinite(index))
      return mColorBuffer.at(0);
    double wrapped = std::fmod(std::trunc(index), double(mLevelCount));
    if (wrapped < 0)
      wrapped += mLevelCount;
    return mColorBuffer.at(int(wrapped));
  }
  if (index <= 0)
    return mColorBuffer.at(0);
  if (index >= last)
    return mColorBuffer.at(mLevelCount - 1);
  return mColorBuffer.at(int(index));
}

QRgb PlotColorGradient::color(double position, const PlotRange &range, bool logarithmic)
{
  if (mColorBufferInvalidated)
    updateColorBuffer();
  const double index = logarithmic ? logIndex(position, range)
                                   : ((mLevelCount - 1) * (position - range.lower)) / range.size();
  return entry(index);
}

void PlotColorGradient::colorize(const double *data, const PlotRange &range, QRgb *scanLine, int n,
                                 int stride, bool logarithmic)
{
  if (!data) {
    qDebug() << Q_FUNC_INFO << "null pointer given as data";
    return;
  }
  if (!scanLine) {
    qDebug() << Q_FUNC_INFO << "null pointer given as scanLine";
    return;
  }
  if (mColorBufferInvalidated)
    updateColorBuffer();
  if (logarithmic) {
    for (int i = 0; i < n; ++i)
      scanLine[i] = entry(logIndex(data[qsizetype(stride) * i], range));
  } else {
    const double factor = (mLevelCount - 1) / range.size();
    for (int i = 0; i < n; ++i)
      scanLine[i] = entry((data[qsizetype(stride) * i] - range.lower) * factor);
  }
}

void PlotColorGradient::updateColorBuffer()
{
  if (mColorBuffer.size() != mLevelCount)
    mColorBuffer.resize(mLevelCount);
  if (mColorStops.size() > 1) {
    const double indexToPosFactor = 1.0 / double(mLevelCount - 1);
    for (int i = 0; i < mLevelCount; ++i) {
      const double position = i * indexToPosFactor;
      auto it = mColorStops.lowerBound(position);
      if (it == mColorStops.constEnd()) {
        mColorBuffer[i] = (std::prev(it)).value().rgb();
      } else if (it == mColorStops.constBegin()) {
        mColorBuffer[i] = it.value().rgb();
      } else {
        const auto high = it;
        const auto low = std::prev(it);
        const double t = (position - low.key()) / (high.key() - low.key());
        const QColor &lo = low.value();
        const QColor &hi = high.value();
        if (mColorInterpolation == ciRGB) {
          mColorBuffer[i] = qRgb(int((1 - t) * lo.red() + t * hi.red()), int((1 - t) * lo.green() + t * hi.green()),
                                 int((1 - t) * lo.blue() + t * hi.blue()));
        } else {
          float loH, loS, loV, hiH, hiS, hiV;
          lo.getHsvF(&loH, &loS, &loV);
          hi.getHsvF(&hiH, &hiS, &hiV);
          const float hueDiff = hiH - loH;
          double hue;
          if (hueDiff > 0.5f)
            hue = loH - t * (1.0 - hueDiff);
          else if (hueDiff < -0.5f)
            hue = loH + t * (1.0 + hueDiff);
          else
            hue = loH + t * hueDiff;
          if (hue < 0)
            hue += 1.0;
          else if (hue >= 1.0)
            hue -= 1.0;
          // Colours without hue report -1; keep the mix a valid hue.
          hue = std::clamp(hue, 0.0, 1.0);
          const double sat = (1 - t) * loS + t * hiS;
          const double val = (1 - t) * loV + t * hiV;
          mColorBuffer[i] = QColor::fromHsvF(float(hue), float(sat), float(val), 1.0f).rgb();
        }
      }
    }
  } else if (mColorStops.size() == 1) {
    mColorBuffer.fill(mColorStops.constBegin().value().rgb());
  } else {
    mColorBuffer.fill(qRgb(0, 0, 0));
  }
  // QColor::rgb() is opaque already; the stops' alpha never reaches the table.
  mColorBufferInvalidated = false;
}
