#include "plotshapeclip.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// How far a flattened rim or curve may stray from the true one, in pixels.
constexpr double kTolerance = 0.1;
// Enough points for any rim or curve that fits in a view; a bound, not a target.
constexpr int kMaxPoints = 1 << 16;

// One pass of Sutherland-Hodgman: keeps what `inside` accepts, with the
// crossings that `cross` computes on each edge that leaves or enters.
template <typename Inside, typename Cross>
QPolygonF clipEdge(const QPolygonF &in, Inside inside, Cross cross)
{
  QPolygonF out;
  if (in.isEmpty())
    return out;
  QPointF prev = in.constLast();
  bool prevIn = inside(prev);
  for (const QPointF &cur : in) {
    const bool curIn = inside(cur);
    if (curIn != prevIn)
      out << cross(prev, cur);
    if (curIn)
      out << cur;
    prev = cur;
    prevIn = curIn;
  }
  return out;
}

// Where the segment a-b crosses the vertical x or the horizontal y; the
// caller knows it does, so the divisor is not 0.
QPointF atX(const QPointF &a, const QPointF &b, double x)
{
  const double t = (x - a.x()) / (b.x() - a.x());
  return QPointF(x, a.y() + t * (b.y() - a.y()));
}

QPointF atY(const QPointF &a, const QPointF &b, double y)
{
  const double t = (y - a.y()) / (b.y() - a.y());
  return QPointF(a.x() + t * (b.x() - a.x()), y);
}

double distSqr(const QPointF &a, const QPointF &b)
{
  const double dx = a.x() - b.x(), dy = a.y() - b.y();
  return dx * dx + dy * dy;
}

double distSqrToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  const double lengthSqr = dx * dx + dy * dy;
  if (!(lengthSqr > 0))
    return distSqr(p, a);
  const double t = std::clamp(((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / lengthSqr, 0.0, 1.0);
  return distSqr(p, QPointF(a.x() + t * dx, a.y() + t * dy));
}

// Whether two rectangles given by their edges touch; unlike QRectF, a
// rectangle without width or height (a straight curve) counts.
bool overlaps(double left, double top, double right, double bottom, const QRectF &rect)
{
  return left <= rect.right() && right >= rect.left() && top <= rect.bottom() && bottom >= rect.top();
}

// The rim of an axis-parallel ellipse, sampled finely where it is curved.
class EllipseRim
{
public:
  EllipseRim(const QRectF &box)
      : cx(box.center().x()), cy(box.center().y()), a(box.width() / 2), b(box.height() / 2)
  {
  }

  QPointF at(double t) const { return QPointF(cx + a * std::cos(t), cy + b * std::sin(t)); }

  // Appends the points after t0 up to t1 (an arc of at most a quadrant).
  void addArc(QPolygonF &out, double t0, double t1, int depth) const
  {
    const QPointF p0 = at(t0), p1 = at(t1), middle = at((t0 + t1) / 2);
    if (depth >= 40 || out.size() >= kMaxPoints || distSqr(middle, (p0 + p1) / 2) <= kTolerance * kTolerance) {
      out << p1;
      return;
    }
    addArc(out, t0, (t0 + t1) / 2, depth + 1);
    addArc(out, (t0 + t1) / 2, t1, depth + 1);
  }

  const double cx, cy, a, b;
};

// Sorts points of a convex outline by their angle around its middle.
void orderAround(QPolygonF &points)
{
  QPointF middle;
  for (const QPointF &p : points)
    middle += p;
  middle /= double(points.size());
  std::sort(points.begin(), points.end(), [middle](const QPointF &p, const QPointF &q) {
    return std::atan2(p.y() - middle.y(), p.x() - middle.x()) < std::atan2(q.y() - middle.y(), q.x() - middle.x());
  });
  points.erase(std::unique(points.begin(), points.end()), points.end());
}

// Flattens a cubic curve into the runs inside a rectangle.
class CubicClipper
{
public:
  explicit CubicClipper(const QRectF &rect) : rect(rect) {}

  void curve(const QPointF &s, const QPointF &c1, const QPointF &c2, const QPointF &e, int depth)
  {
    const double left = std::min({s.x(), c1.x(), c2.x(), e.x()}), right = std::max({s.x(), c1.x(), c2.x(), e.x()});
    const double top = std::min({s.y(), c1.y(), c2.y(), e.y()}), bottom = std::max({s.y(), c1.y(), c2.y(), e.y()});
    // The curve stays within its control points: none of it is inside.
    if (!overlaps(left, top, right, bottom, rect) || segments >= kMaxPoints) {
      open = false;
      return;
    }
    const double toleranceSqr = kTolerance * kTolerance;
    if (depth >= 64 || (distSqrToSegment(c1, s, e) <= toleranceSqr && distSqrToSegment(c2, s, e) <= toleranceSqr)) {
      segment(s, e);
      return;
    }
    // de Casteljau at the middle.
    const QPointF s1 = (s + c1) / 2, m = (c1 + c2) / 2, e2 = (c2 + e) / 2;
    const QPointF s2 = (s1 + m) / 2, e1 = (m + e2) / 2, middle = (s2 + e1) / 2;
    curve(s, s1, s2, middle, depth + 1);
    curve(middle, e1, e2, e, depth + 1);
  }

  QList<QPolygonF> runs;

private:
  // Liang-Barsky: the part of a-b inside the rectangle, continuing the last
  // run when that ended at a.
  void segment(const QPointF &a, const QPointF &b)
  {
    ++segments;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(), rect.bottom() - a.y()};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) {
          open = false;
          return;
        }
        continue;
      }
      const double t = q[i] / p[i];
      if (p[i] < 0)
        t0 = std::max(t0, t);
      else
        t1 = std::min(t1, t);
    }
    if (t0 > t1) {
      open = false;
      return;
    }
    const QPointF from = t0 > 0 ? QPointF(a.x() + t0 * dx, a.y() + t0 * dy) : a;
    const QPointF to = t1 < 1 ? QPointF(a.x() + t1 * dx, a.y() + t1 * dy) : b;
    if (open && t0 == 0)
      runs.last() << to;
    else
      runs << QPolygonF({from, to});
    open = t1 == 1;
  }

  const QRectF rect;
  bool open = false;
  int segments = 0;
};
} // namespace

namespace Plot {

QPolygonF clipPolygon(const QPolygonF &polygon, const QRectF &rect)
{
  const double left = rect.left(), right = rect.right(), top = rect.top(), bottom = rect.bottom();
  QPolygonF out = clipEdge(
      polygon, [left](const QPointF &p) { return p.x() >= left; },
      [left](const QPointF &a, const QPointF &b) { return atX(a, b, left); });
  out = clipEdge(
      out, [right](const QPointF &p) { return p.x() <= right; },
      [right](const QPointF &a, const QPointF &b) { return atX(a, b, right); });
  out = clipEdge(
      out, [top](const QPointF &p) { return p.y() >= top; },
      [top](const QPointF &a, const QPointF &b) { return atY(a, b, top); });
  return clipEdge(
      out, [bottom](const QPointF &p) { return p.y() <= bottom; },
      [bottom](const QPointF &a, const QPointF &b) { return atY(a, b, bottom); });
}

QPolygonF clipEllipse(const QRectF &box, const QRectF &rect)
{
  const EllipseRim rim(box.normalized());
  // A flat box: the ellipse is the segment through it.
  if (!(rim.a > 0) || !(rim.b > 0))
    return clipPolygon(QPolygonF({rim.at(M_PI), rim.at(0), rim.at(M_PI / 2), rim.at(-M_PI / 2)}), rect);
  // The rectangle in the space where the ellipse is the unit circle.
  const double u0 = (rect.left() - rim.cx) / rim.a, u1 = (rect.right() - rim.cx) / rim.a;
  const double v0 = (rect.top() - rim.cy) / rim.b, v1 = (rect.bottom() - rim.cy) / rim.b;
  if (u0 >= 1 || u1 <= -1 || v0 >= 1 || v1 <= -1)
    return QPolygonF();

  // The angles where the rim crosses an edge split it into arcs wholly inside
  // or wholly outside; the quadrants keep each arc gently curved.
  std::vector<double> cuts = {0, M_PI / 2, M_PI, 3 * M_PI / 2};
  for (double u : {u0, u1}) {
    if (std::fabs(u) < 1) {
      const double t = std::acos(u);
      cuts.insert(cuts.end(), {t, 2 * M_PI - t});
    }
  }
  for (double v : {v0, v1}) {
    if (std::fabs(v) < 1) {
      const double t = std::asin(v);
      cuts.insert(cuts.end(), {t < 0 ? t + 2 * M_PI : t, M_PI - t});
    }
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

  QPolygonF outline;
  for (size_t i = 0; i < cuts.size(); ++i) {
    const double t0 = cuts[i], t1 = i + 1 < cuts.size() ? cuts[i + 1] : cuts.front() + 2 * M_PI;
    const double middle = (t0 + t1) / 2;
    const double u = std::cos(middle), v = std::sin(middle);
    if (u < u0 || u > u1 || v < v0 || v > v1)
      continue;
    outline << rim.at(t0);
    rim.addArc(outline, t0, t1, 0);
  }
  // The corners of the rectangle inside the ellipse close the outline.
  for (const QPointF &corner : {rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()}) {
    const double u = (corner.x() - rim.cx) / rim.a, v = (corner.y() - rim.cy) / rim.b;
    if (u * u + v * v < 1)
      outline << corner;
  }
  if (outline.size() < 3)
    return QPolygonF();
  // What lies in both is convex: its points in angle order are its outline.
  orderAround(outline);
  return outline;
}

QList<QPolygonF> clipCubic(const QPointF &s, const QPointF &c1, const QPointF &c2, const QPointF &e,
                           const QRectF &rect)
{
  CubicClipper clipper(rect);
  clipper.curve(s, c1, c2, e, 0);
  return clipper.runs;
}

} // namespace Plot
