#ifndef PLOTCOLORGRADIENT_H
#define PLOTCOLORGRADIENT_H

#include "plotrange.h"

#include <QColor>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QObject>

// Maps numbers in a range to colours: colour stops between 0 and 1, mixed in
// RGB or HSV into a table of opaque colours (one per level) that is rebuilt on
// the first lookup after a change. Lookups are table reads.
class PlotColorGradient
{
  Q_GADGET
public:
  enum ColorInterpolation {
    ciRGB = 0, // red, green and blue mixed separately
    ciHSV = 1  // hue, saturation and value; the hue the shorter way round
  };
  Q_ENUM(ColorInterpolation)
  enum GradientPreset {
    gpGrayscale = 0,
    gpHot = 1,
    gpCold = 2,
    gpNight = 3,
    gpCandy = 4,
    gpGeography = 5,
    gpIon = 6,
    gpThermal = 7,
    gpPolar = 8,
    gpSpectrum = 9,
    gpJet = 10,
    gpHues = 11
  };
  Q_ENUM(GradientPreset)

  PlotColorGradient(GradientPreset preset = gpCold);

  bool operator==(const PlotColorGradient &other) const;
  bool operator!=(const PlotColorGradient &other) const { return !(*this == other); }

  int levelCount() const { return mLevelCount; }
  QMap<double, QColor> colorStops() const { return mColorStops; }
  ColorInterpolation colorInterpolation() const { return mColorInterpolation; }
  bool periodic() const { return mPeriodic; }

  void setLevelCount(int n);
  void setColorStops(const QMap<double, QColor> &colorStops);
  void setColorStopAt(double position, const QColor &color);
  void clearColorStops();
  void setColorInterpolation(ColorInterpolation interpolation);
  // Only the lookup reads the flag; the table stays valid.
  void setPeriodic(bool enabled) { mPeriodic = enabled; }
  void loadPreset(GradientPreset preset);

  // The colour of one value; not const since a changed gradient rebuilds its
  // table here.
  QRgb color(double position, const PlotRange &range, bool logarithmic = false);
  // Colours n values read with the given stride into scanLine.
  void colorize(const double *data, const PlotRange &range, QRgb *scanLine, int n, int stride = 1,
                bool logarithmic = false);
  PlotColorGradient inverted() const;

protected:
  void updateColorBuffer();
  // The table entry of a fractional level index, wrapped or clamped; values
  // without a finite index get entry 0.
  QRgb entry(double index) const;
  double logIndex(double position, const PlotRange &range) const;

  int mLevelCount;
  QMap<double, QColor> mColorStops;
  ColorInterpolation mColorInterpolation;
  bool mPeriodic;
  QList<QRgb> mColorBuffer;
  bool mColorBufferInvalidated;
};
Q_DECLARE_METATYPE(PlotColorGradient)

#endif // PLOTCOLORGRADIENT_H
