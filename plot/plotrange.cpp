#include "plotrange.h"

#include <cmath>
#include <utility>

const double PlotRange::minRange = 1e-280;
const double PlotRange::maxRange = 1e250;

PlotRange::PlotRange() : lower(0), upper(0) {}

PlotRange::PlotRange(double lower, double upper) : lower(lower), upper(upper)
{
  normalize();
}

void PlotRange::normalize()
{
  if (lower > upper)
    std::swap(lower, upper);
}

void PlotRange::expand(const PlotRange &otherRange)
{
  if (lower > otherRange.lower)
    lower = otherRange.lower;
  if (upper < otherRange.upper)
    upper = otherRange.upper;
}

PlotRange PlotRange::expanded(const PlotRange &otherRange) const
{
  PlotRange result = *this;
  result.expand(otherRange);
  return result;
}

PlotRange PlotRange::sanitizedForLogScale() const
{
  const double rangeFac = 1e-3;
  PlotRange sanitized = sanitizedForLinScale();
  if (sanitized.lower == 0.0 && sanitized.upper != 0.0) {
    sanitized.lower = std::min(rangeFac, sanitized.upper * rangeFac);
  } else if (sanitized.lower != 0.0 && sanitized.upper == 0.0) {
    sanitized.upper = std::max(-rangeFac, sanitized.lower * rangeFac);
  } else if (sanitized.lower < 0 && sanitized.upper > 0) {
    // Keep the wider side; a tie keeps the positive one.
    if (sanitized.upper < -sanitized.lower)
      sanitized.upper = std::max(-rangeFac, sanitized.lower * rangeFac);
    else
      sanitized.lower = std::min(rangeFac, sanitized.upper * rangeFac);
  }
  return sanitized;
}

PlotRange PlotRange::sanitizedForLinScale() const
{
  PlotRange sanitized = *this;
  sanitized.normalize();
  return sanitized;
}

bool PlotRange::validRange(double lower, double upper)
{
  // Written so that any NaN fails every comparison and makes the range invalid.
  const double span = std::fabs(lower - upper);
  return lower > -maxRange && upper < maxRange && span > minRange && span < maxRange;
}

bool PlotRange::validRange(const PlotRange &range)
{
  return validRange(range.lower, range.upper);
}
