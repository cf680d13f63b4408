#ifndef PLOTGLOBAL_H
#define PLOTGLOBAL_H

#include <QFlags>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <cmath>

// Flag enumerations shared by the plot widget and every layerable. The values
// are fixed: layerables name their element kind and selection category by them.
namespace Plot {
Q_NAMESPACE

// Sides of a layout element; walked in the order left, right, top, bottom.
enum MarginSide {
  msLeft = 0x01,
  msRight = 0x02,
  msTop = 0x04,
  msBottom = 0x08,
  msAll = 0xff,
  msNone = 0x00
};
Q_DECLARE_FLAGS(MarginSides, MarginSide)
Q_FLAG_NS(MarginSides)

// Kinds of drawn elements whose antialiasing the plot can force on or off.
enum AntialiasedElement {
  aaAxes = 0x0001,
  aaGrid = 0x0002,
  aaSubGrid = 0x0004,
  aaLegend = 0x0008,
  aaLegendItems = 0x0010,
  aaPlottables = 0x0020,
  aaItems = 0x0040,
  aaScatters = 0x0080,
  aaErrorBars = 0x0100,
  aaFills = 0x0200,
  aaZeroLine = 0x0400,
  aaAll = 0xffff,
  aaNone = 0x0000
};
Q_DECLARE_FLAGS(AntialiasedElements, AntialiasedElement)
Q_FLAG_NS(AntialiasedElements)

enum PlottingHint {
  hintNone = 0x0,
  hintFastPolylines = 0x1, // graphs may draw solid lines as fast polylines
  hintForceRepaint = 0x2,  // replot(rpByHint) repaints synchronously
  hintCacheLabels = 0x4    // axis painters cache tick labels as pixmaps
};
Q_DECLARE_FLAGS(PlottingHints, PlottingHint)
Q_FLAG_NS(PlottingHints)

// User interactions; the selection flags double as selection categories.
enum Interaction {
  iaRangeDrag = 0x01,
  iaRangeZoom = 0x02,
  iaMultiSelect = 0x04,
  iaSelectPlottables = 0x08,
  iaSelectAxes = 0x10,
  iaSelectLegend = 0x20,
  iaSelectItems = 0x40,
  iaSelectOther = 0x80
};
Q_DECLARE_FLAGS(Interactions, Interaction)
Q_FLAG_NS(Interactions)

// Nearest whole pixel, halves away from zero. Far outside a deeply zoomed view
// pixel coordinates exceed any int: they are held at +-2^30 (so that sums and
// differences of two still fit), and NaN gives 0.
inline int roundedPixel(double v)
{
  constexpr double kLimit = 1 << 30;
  if (std::isnan(v))
    return 0;
  if (v <= -kLimit)
    return -(1 << 30);
  if (v >= kLimit)
    return 1 << 30;
  return static_cast<int>(std::round(v));
}

inline QPoint roundedPoint(const QPointF &p)
{
  return QPoint(roundedPixel(p.x()), roundedPixel(p.y()));
}

} // namespace Plot

Q_DECLARE_OPERATORS_FOR_FLAGS(Plot::MarginSides)
Q_DECLARE_OPERATORS_FOR_FLAGS(Plot::AntialiasedElements)
Q_DECLARE_OPERATORS_FOR_FLAGS(Plot::PlottingHints)
Q_DECLARE_OPERATORS_FOR_FLAGS(Plot::Interactions)

#endif // PLOTGLOBAL_H
