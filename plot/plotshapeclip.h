#ifndef PLOTSHAPECLIP_H
#define PLOTSHAPECLIP_H

// Internal to the plotting library: shape geometry cut to a rectangle in
// double precision. At deep zoom a shape's corners lie far beyond what the
// painter's fixed-point rasteriser can take, while the part that crosses the
// view is ordinary; these hand the painter only that part.

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>

namespace Plot {

// The part of a polygon inside `rect` (Sutherland-Hodgman); exact for a
// convex polygon. Empty when nothing lies inside.
QPolygonF clipPolygon(const QPolygonF &polygon, const QRectF &rect);

// The part of the ellipse inscribed in `box` that lies inside `rect`, as a
// convex polygon whose rim follows the ellipse within a tenth of a pixel.
// Empty when they do not meet.
QPolygonF clipEllipse(const QRectF &box, const QRectF &rect);

// The cubic Bezier curve from s through the control points c1 and c2 to e,
// flattened to within a tenth of a pixel, in the runs that lie inside
// `rect`, in order from s.
QList<QPolygonF> clipCubic(const QPointF &s, const QPointF &c1, const QPointF &c2, const QPointF &e,
                           const QRectF &rect);

} // namespace Plot

#endif // PLOTSHAPECLIP_H
