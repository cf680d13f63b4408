#include "plotitemline.h"

#include "plotpainter.h"
#include "plotwidget.h"

#include <QList>
#include <cmath>

namespace {
constexpr float kFloatZero = 1e-5f;

bool isZeroDirection(const QVector2D &v)
{
  return std::fabs(v.x()) <= kFloatZero && std::fabs(v.y()) <= kFloatZero;
}

// Whether rect holds the point with its coordinates truncated to whole pixels.
// Points beyond the integer range (or not finite) lie outside any rectangle.
bool containsTruncated(const QRect &rect, const QVector2D &p)
{
  constexpr float kLimit = 2.0e9f;
  if (!(std::fabs(p.x()) < kLimit) || !(std::fabs(p.y()) < kLimit))
    return false;
  return rect.contains(QPoint(static_cast<int>(p.x()), static_cast<int>(p.y())));
}

// Two crossings make the line; a line through a corner finds that corner
// twice, so of more crossings the farthest pair (the first such pair on a tie)
// is taken. Fewer than two: no visible piece, the null line.
QLineF lineThroughCrossings(const QList<QVector2D> &points)
{
  if (points.size() < 2)
    return QLineF();
  if (points.size() == 2)
    return QLineF(points.at(0).toPointF(), points.at(1).toPointF());
  float greatestDistSqr = -1;
  int first = 0, second = 1;
  for (int i = 0; i < points.size() - 1; ++i) {
    for (int k = i + 1; k < points.size(); ++k) {
      const float distSqr = (points.at(i) - points.at(k)).lengthSquared();
      if (distSqr > greatestDistSqr) {
        greatestDistSqr = distSqr;
        first = i;
        second = k;
      }
    }
  }
  return QLineF(points.at(first).toPointF(), points.at(second).toPointF());
}
} // namespace

// ---------------------------------------------------------------------------
// PlotItemStraightLine

PlotItemStraightLine::PlotItemStraightLine(PlotWidget *parentPlot)
    : PlotAbstractItem(parentPlot), point1(createPosition(QStringLiteral("point1"))),
      point2(createPosition(QStringLiteral("point2")))
{
  point1->setCoords(0, 0);
  point2->setCoords(1, 1);
  setPen(QPen(Qt::black));
  setSelectedPen(QPen(Qt::blue, 2));
}

PlotItemStraightLine::~PlotItemStraightLine() = default;

QPen PlotItemStraightLine::mainPen() const
{
  return mSelected ? mSelectedPen : mPen;
}

double PlotItemStraightLine::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  const QVector2D base(point1->pixelPoint());
  const QVector2D direction = QVector2D(point2->pixelPoint()) - base;
  // Two points on one pixel define no line; nothing is drawn, so nothing is
  // hit.
  if (isZeroDirection(direction))
    return -1;
  return distToStraightLine(base, direction, QVector2D(pos));
}

double PlotItemStraightLine::distToStraightLine(const QVector2D &base, const QVector2D &direction,
                                                const QVector2D &point) const
{
  const float length = direction.length();
  if (length <= kFloatZero)
    return (point - base).length();
  return std::fabs((base.y() - point.y()) * direction.x() - (base.x() - point.x()) * direction.y()) / length;
}

QLineF PlotItemStraightLine::getRectClippedStraightLine(const QVector2D &base, const QVector2D &direction,
                                                        const QRect &rect) const
{
  // A direction of (almost) zero length has no crossings to compute.
  if (isZeroDirection(direction))
    return QLineF();

  const float left = rect.left();
  const float top = rect.top();
  const float right = rect.right();
  const float bottom = rect.bottom();
  const float width = right - left + 1;
  const float height = bottom - top + 1;
  const float bx = base.x();
  const float by = base.y();
  const float vx = direction.x();
  const float vy = direction.y();

  if (std::fabs(vx) <= kFloatZero) {
    // Vertical.
    const float gamma = (bx - left) + (top - by) * vx / vy;
    if (gamma >= 0 && gamma <= width)
      return QLineF(left + gamma, top, left + gamma, bottom);
    return QLineF();
  }
  if (std::fabs(vy) <= kFloatZero) {
    // Horizontal.
    const float gamma = (by - top) + (left - bx) * vy / vx;
    if (gamma >= 0 && gamma <= height)
      return QLineF(left, top + gamma, right, top + gamma);
    return QLineF();
  }

  QList<QVector2D> crossings;
  float gamma = (bx - left) + (top - by) * vx / vy;
  if (gamma >= 0 && gamma <= width)
    crossings.append(QVector2D(left + gamma, top));
  gamma = (bx - left) + (bottom - by) * vx / vy;
  if (gamma >= 0 && gamma <= width)
    crossings.append(QVector2D(left + gamma, bottom));
  gamma = (by - top) + (left - bx) * vy / vx;
  if (gamma >= 0 && gamma <= height)
    crossings.append(QVector2D(left, top + gamma));
  gamma = (by - top) + (right - bx) * vy / vx;
  if (gamma >= 0 && gamma <= height)
    crossings.append(QVector2D(right, top + gamma));
  return lineThroughCrossings(crossings);
}

void PlotItemStraightLine::draw(PlotPainter *painter)
{
  const QVector2D start(point1->pixelPoint());
  const QVector2D end(point2->pixelPoint());
  const int pad = static_cast<int>(mainPen().widthF());
  const QRect rect = clipRect().adjusted(-pad, -pad, pad, pad);
  const QLineF line = getRectClippedStraightLine(start, end - start, rect);
  if (line.isNull())
    return;
  painter->setPen(mainPen());
  painter->drawLine(line);
}

// ---------------------------------------------------------------------------
// PlotItemLine

PlotItemLine::PlotItemLine(PlotWidget *parentPlot)
    : PlotAbstractItem(parentPlot), start(createPosition(QStringLiteral("start"))),
      end(createPosition(QStringLiteral("end")))
{
  start->setCoords(0, 0);
  end->setCoords(1, 1);
  setPen(QPen(Qt::black));
  setSelectedPen(QPen(Qt::blue, 2));
}

PlotItemLine::~PlotItemLine() = default;

QPen PlotItemLine::mainPen() const
{
  return mSelected ? mSelectedPen : mPen;
}

double PlotItemLine::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  return std::sqrt(distSqrToLine(start->pixelPoint(), end->pixelPoint(), pos));
}

QLineF PlotItemLine::getRectClippedLine(const QVector2D &start, const QVector2D &end, const QRect &rect) const
{
  const bool startInside = containsTruncated(rect, start);
  const bool endInside = containsTruncated(rect, end);
  if (startInside && endInside)
    return QLineF(start.toPointF(), end.toPointF());

  const float left = rect.left();
  const float top = rect.top();
  const float right = rect.right();
  const float bottom = rect.bottom();
  const float width = right - left + 1;
  const float height = bottom - top + 1;
  const QVector2D base = start;
  const QVector2D v = end - start;

  QList<QVector2D> crossings;
  if (std::fabs(v.y()) > kFloatZero) {
    for (const float edgeY : {top, bottom}) {
      const float mu = (edgeY - base.y()) / v.y();
      if (mu >= 0 && mu <= 1) {
        const float gamma = (base.x() - left) + mu * v.x();
        if (gamma >= 0 && gamma <= width)
          crossings.append(QVector2D(left + gamma, edgeY));
      }
    }
  }
  if (std::fabs(v.x()) > kFloatZero) {
    for (const float edgeX : {left, right}) {
      const float mu = (edgeX - base.x()) / v.x();
      if (mu >= 0 && mu <= 1) {
        const float gamma = (base.y() - top) + mu * v.y();
        if (gamma >= 0 && gamma <= height)
          crossings.append(QVector2D(edgeX, top + gamma));
      }
    }
  }
  if (startInside)
    crossings.append(start);
  else if (endInside)
    crossings.append(end);
  return lineThroughCrossings(crossings);
}

void PlotItemLine::draw(PlotPainter *painter)
{
  const QPointF startPixel = start->pixelPoint();
  const QPointF endPixel = end->pixelPoint();
  // Both ends on one pixel: nothing to draw, endings included.
  if (std::round(startPixel.x()) == std::round(endPixel.x()) && std::round(startPixel.y()) == std::round(endPixel.y()))
    return;

  // Grow the rectangle by what the endings cover, so endings just outside it
  // are still cut correctly.
  const double reach = qMax(qMax(mHead.boundingDistance(), mTail.boundingDistance()), mainPen().widthF());
  const int pad = static_cast<int>(qMin(reach, 1.0e6));
  const QRect rect = clipRect().adjusted(-pad, -pad, pad, pad);
  const QVector2D startVec(startPixel);
  const QVector2D endVec(endPixel);
  const QLineF line = getRectClippedLine(startVec, endVec, rect);
  if (line.isNull())
    return;

  painter->setPen(mainPen());
  painter->drawLine(line);
  painter->setBrush(Qt::SolidPattern);
  if (mTail.style() != PlotLineEnding::esNone)
    mTail.draw(painter, startVec, startVec - endVec);
  if (mHead.style() != PlotLineEnding::esNone)
    mHead.draw(painter, endVec, endVec - startVec);
}
