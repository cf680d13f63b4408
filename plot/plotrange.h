#ifndef PLOTRANGE_H
#define PLOTRANGE_H

#include <QMetaType>

// A closed interval of plot coordinates; the currency of axes, graphs and
// every data query of the application.
class PlotRange
{
public:
  double lower, upper;

  PlotRange();
  PlotRange(double lower, double upper);

  bool operator==(const PlotRange &other) const { return lower == other.lower && upper == other.upper; }
  bool operator!=(const PlotRange &other) const { return !(*this == other); }

  double size() const { return upper - lower; }
  double center() const { return (upper + lower) * 0.5; }
  void normalize();
  void expand(const PlotRange &otherRange);
  PlotRange expanded(const PlotRange &otherRange) const;
  PlotRange sanitizedForLogScale() const;
  PlotRange sanitizedForLinScale() const;
  bool contains(double value) const { return value >= lower && value <= upper; }

  static bool validRange(double lower, double upper);
  static bool validRange(const PlotRange &range);

  static const double minRange; // 1e-280
  static const double maxRange; // 1e250
};
Q_DECLARE_TYPEINFO(PlotRange, Q_PRIMITIVE_TYPE);
Q_DECLARE_METATYPE(PlotRange)

#endif // PLOTRANGE_H
