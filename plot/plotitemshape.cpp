#include "plotitemshape.h"

#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QPainterPath>
#include <QVector2D>
#include <cmath>
#include <limits>

namespace {
enum EllipseAnchor { eaTopLeftRim, eaTop, eaTopRightRim, eaRight, eaBottomRightRim, eaBottom, eaBottomLeftRim,
                     eaLeft, eaCenter };

bool finitePoint(const QPointF &p)
{
  return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Pen widths as whole pixels for the visibility margins.
int penPad(const QPen &pen)
{
  return static_cast<int>(qBound(0.0, pen.widthF(), 1.0e6));
}

// The whole-pixel rectangle around r, held inside the integer range.
QRect saturatedRect(const QRectF &r)
{
  const QPoint topLeft(Plot::roundedPixel(r.left()), Plot::roundedPixel(r.top()));
  const QPoint bottomRight(Plot::roundedPixel(r.right()), Plot::roundedPixel(r.bottom()));
  return QRect(topLeft, bottomRight);
}

// Huge pixel coordinates (a shape far outside a deeply zoomed view) are cut
// to a margin around the visible area: what is drawn there is clipped away,
// and the painter never sees coordinates it cannot rasterise.
QRectF cutToView(const QRectF &rect, const QRect &clip, int pad)
{
  const QRectF view = QRectF(clip).adjusted(-pad - 2, -pad - 2, pad + 2, pad + 2);
  return rect.intersected(view);
}

// Beyond this the painter's fixed-point rasteriser cannot follow a curve.
constexpr double kMaxDrawnExtent = 1 << 22;

bool drawable(const QRectF &bounds)
{
  return std::fabs(bounds.left()) < kMaxDrawnExtent && std::fabs(bounds.right()) < kMaxDrawnExtent &&
         std::fabs(bounds.top()) < kMaxDrawnExtent && std::fabs(bounds.bottom()) < kMaxDrawnExtent;
}
} // namespace

// ---------------------------------------------------------------------------
// PlotItemCurve

PlotItemCurve::PlotItemCurve(PlotWidget *parentPlot)
    : PlotAbstractItem(parentPlot), start(createPosition(QStringLiteral("start"))),
      startDir(createPosition(QStringLiteral("startDir"))), endDir(createPosition(QStringLiteral("endDir"))),
      end(createPosition(QStringLiteral("end"))), mPen(Qt::black),
      mSelectedPen(QBrush(Qt::blue), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin)
{
  start->setCoords(0, 0);
  startDir->setCoords(0.5, 0);
  endDir->setCoords(0, 0.5);
  end->setCoords(1, 1);
}

PlotItemCurve::~PlotItemCurve() = default;

double PlotItemCurve::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  const QPointF s = start->pixelPoint(), s1 = startDir->pixelPoint(), e1 = endDir->pixelPoint(),
                e = end->pixelPoint();
  if (!finitePoint(s) || !finitePoint(s1) || !finitePoint(e1) || !finitePoint(e))
    return -1;
  QPainterPath path(s);
  path.cubicTo(s1, e1, e);
  const QList<QPolygonF> polygons = path.toSubpathPolygons(QTransform());
  if (polygons.isEmpty() || polygons.first().size() < 2)
    return std::sqrt(std::numeric_limits<double>::max());
  const QPolygonF &polygon = polygons.first();
  double minDistSqr = std::numeric_limits<double>::max();
  for (int i = 1; i < polygon.size(); ++i)
    minDistSqr = qMin(minDistSqr, distSqrToLine(polygon.at(i - 1), polygon.at(i), pos));
  return std::sqrt(minDistSqr);
}

void PlotItemCurve::draw(PlotPainter *painter)
{
  const QPointF s = start->pixelPoint(), s1 = startDir->pixelPoint(), e1 = endDir->pixelPoint(),
                e = end->pixelPoint();
  if (!finitePoint(s) || !finitePoint(s1) || !finitePoint(e1) || !finitePoint(e))
    return;
  if ((QVector2D(e) - QVector2D(s)).length() > 1e10f)
    return;
  QPainterPath path(s);
  path.cubicTo(s1, e1, e);
  const int pad = penPad(mainPen());
  const QRect clip = clipRect().adjusted(-pad, -pad, pad, pad);
  QRect curveRect = saturatedRect(path.controlPointRect());
  if (curveRect.isEmpty())
    curveRect.adjust(0, 0, 1, 1);
  if (!clip.intersects(curveRect) || !drawable(path.controlPointRect()))
    return;
  painter->setPen(mainPen());
  painter->drawPath(path);
  painter->setBrush(Qt::SolidPattern);
  if (mTail.style() != PlotLineEnding::esNone)
    mTail.draw(painter, QVector2D(s), M_PI - path.angleAtPercent(0) / 180.0 * M_PI);
  if (mHead.style() != PlotLineEnding::esNone)
    mHead.draw(painter, QVector2D(e), -path.angleAtPercent(1) / 180.0 * M_PI);
}

// ---------------------------------------------------------------------------
// PlotItemBox

PlotItemBox::PlotItemBox(PlotWidget *parentPlot)
    : PlotAbstractItem(parentPlot), topLeft(createPosition(QStringLiteral("topLeft"))),
      bottomRight(createPosition(QStringLiteral("bottomRight"))), mPen(Qt::black),
      mSelectedPen(QBrush(Qt::blue), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin), mBrush(Qt::NoBrush),
      mSelectedBrush(Qt::NoBrush)
{
  topLeft->setCoords(0, 1);
  bottomRight->setCoords(1, 0);
}

double PlotItemBox::ellipseSelectTest(const QPointF &pos) const
{
  const QPointF p1 = topLeft->pixelPoint();
  const QPointF p2 = bottomRight->pixelPoint();
  const QPointF center((p1 + p2) / 2.0);
  const double a = (p1.x() - p2.x()) / 2.0;
  const double b = (p1.y() - p2.y()) / 2.0;
  const double x = pos.x() - center.x();
  const double y = pos.y() - center.y();
  const double q = x * x / (a * a) + y * y / (b * b);
  double result = std::fabs(1.0 / std::sqrt(q) - 1.0) * std::sqrt(x * x + y * y);
  // No ray from the centre itself (nor along a flat box's zero axis): take the
  // nearest rim, or the distance to a box shrunk to its centre.
  if (std::isnan(result))
    result = (x == 0 && y == 0) ? qMin(std::fabs(a), std::fabs(b)) : std::sqrt(x * x + y * y);
  const double insideDistance = mParentPlot ? mParentPlot->selectionTolerance() * 0.99 : 0;
  if (result > insideDistance && filled() && q <= 1)
    result = insideDistance;
  return result;
}

QPointF PlotItemBox::ellipseAnchorPixelPoint(int anchorId, const char *signature) const
{
  const QPointF p1 = topLeft->pixelPoint();
  const QPointF p2 = bottomRight->pixelPoint();
  const QPointF c = (p1 + p2) / 2.0;
  switch (anchorId) {
  case eaTopLeftRim:
    return c + (p1 - c) / std::sqrt(2.0);
  case eaTop:
    return QPointF(c.x(), p1.y());
  case eaTopRightRim:
    return c + (QPointF(p2.x(), p1.y()) - c) / std::sqrt(2.0);
  case eaRight:
    return QPointF(p2.x(), c.y());
  case eaBottomRightRim:
    return c + (p2 - c) / std::sqrt(2.0);
  case eaBottom:
    return QPointF(c.x(), p2.y());
  case eaBottomLeftRim:
    return c + (QPointF(p1.x(), p2.y()) - c) / std::sqrt(2.0);
  case eaLeft:
    return QPointF(p1.x(), c.y());
  case eaCenter:
    return c;
  }
  qDebug() << signature << "invalid anchorId" << anchorId;
  return QPointF();
}

// ---------------------------------------------------------------------------
// PlotItemRect

PlotItemRect::PlotItemRect(PlotWidget *parentPlot)
    : PlotItemBox(parentPlot), top(createAnchor(QStringLiteral("top"), aiTop)),
      topRight(createAnchor(QStringLiteral("topRight"), aiTopRight)),
      right(createAnchor(QStringLiteral("right"), aiRight)), bottom(createAnchor(QStringLiteral("bottom"), aiBottom)),
      bottomLeft(createAnchor(QStringLiteral("bottomLeft"), aiBottomLeft)),
      left(createAnchor(QStringLiteral("left"), aiLeft))
{
}

PlotItemRect::~PlotItemRect() = default;

double PlotItemRect::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  const QRectF rect = QRectF(topLeft->pixelPoint(), bottomRight->pixelPoint()).normalized();
  return rectSelectTest(rect, pos, filled());
}

void PlotItemRect::draw(PlotPainter *painter)
{
  const QPointF p1 = topLeft->pixelPoint();
  const QPointF p2 = bottomRight->pixelPoint();
  if (!finitePoint(p1) || !finitePoint(p2))
    return;
  if (Plot::roundedPoint(p1) == Plot::roundedPoint(p2))
    return;
  const QRectF rect = QRectF(p1, p2).normalized();
  const double penWidth = mainPen().widthF();
  const QRectF grown = rect.adjusted(-penWidth, -penWidth, penWidth, penWidth);
  if (!grown.intersects(QRectF(clipRect())))
    return;
  painter->setPen(mainPen());
  painter->setBrush(mainBrush());
  painter->drawRect(cutToView(rect, clipRect(), penPad(mainPen())));
}

QPointF PlotItemRect::anchorPixelPoint(int anchorId) const
{
  const QPointF p1 = topLeft->pixelPoint();
  const QPointF p2 = bottomRight->pixelPoint();
  switch (anchorId) {
  case aiTop:
    return QPointF((p1.x() + p2.x()) / 2, p1.y());
  case aiTopRight:
    return QPointF(p2.x(), p1.y());
  case aiRight:
    return QPointF(p2.x(), (p1.y() + p2.y()) / 2);
  case aiBottom:
    return QPointF((p1.x() + p2.x()) / 2, p2.y());
  case aiBottomLeft:
    return QPointF(p1.x(), p2.y());
  case aiLeft:
    return QPointF(p1.x(), (p1.y() + p2.y()) / 2);
  }
  qDebug() << Q_FUNC_INFO << "invalid anchorId" << anchorId;
  return QPointF();
}

// ---------------------------------------------------------------------------
// PlotItemEllipse

PlotItemEllipse::PlotItemEllipse(PlotWidget *parentPlot)
    : PlotItemBox(parentPlot), topLeftRim(createAnchor(QStringLiteral("topLeftRim"), eaTopLeftRim)),
      top(createAnchor(QStringLiteral("top"), eaTop)),
      topRightRim(createAnchor(QStringLiteral("topRightRim"), eaTopRightRim)),
      right(createAnchor(QStringLiteral("right"), eaRight)),
      bottomRightRim(createAnchor(QStringLiteral("bottomRightRim"), eaBottomRightRim)),
      bottom(createAnchor(QStringLiteral("bottom"), eaBottom)),
      bottomLeftRim(createAnchor(QStringLiteral("bottomLeftRim"), eaBottomLeftRim)),
      left(createAnchor(QStringLiteral("left"), eaLeft)), center(createAnchor(QStringLiteral("center"), eaCenter))
{
}

PlotItemEllipse::~PlotItemEllipse() = default;

double PlotItemEllipse::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  return ellipseSelectTest(pos);
}

void PlotItemEllipse::draw(PlotPainter *painter)
{
  const QPointF p1 = topLeft->pixelPoint();
  const QPointF p2 = bottomRight->pixelPoint();
  if (!finitePoint(p1) || !finitePoint(p2))
    return;
  if (Plot::roundedPoint(p1) == Plot::roundedPoint(p2))
    return;
  const QRectF ellipseRect = QRectF(p1, p2).normalized();
  const int pad = penPad(mainPen());
  const QRect clip = clipRect().adjusted(-pad, -pad, pad, pad);
  if (!ellipseRect.intersects(QRectF(clip)) || !drawable(ellipseRect))
    return;
  painter->setPen(mainPen());
  painter->setBrush(mainBrush());
  try {
    painter->drawEllipse(ellipseRect);
  } catch (...) {
    qDebug() << Q_FUNC_INFO << "Item too large for memory, setting invisible";
    setVisible(false);
  }
}

QPointF PlotItemEllipse::anchorPixelPoint(int anchorId) const
{
  return ellipseAnchorPixelPoint(anchorId, Q_FUNC_INFO);
}

// ---------------------------------------------------------------------------
// PlotItemTriangle

PlotItemTriangle::PlotItemTriangle(PlotWidget *parentPlot)
    : PlotItemBox(parentPlot), topLeftRim(createAnchor(QStringLiteral("topLeftRim"), eaTopLeftRim)),
      top(createAnchor(QStringLiteral("top"), eaTop)),
      topRightRim(createAnchor(QStringLiteral("topRightRim"), eaTopRightRim)),
      right(createAnchor(QStringLiteral("right"), eaRight)),
      bottomRightRim(createAnchor(QStringLiteral("bottomRightRim"), eaBottomRightRim)),
      bottom(createAnchor(QStringLiteral("bottom"), eaBottom)),
      bottomLeftRim(createAnchor(QStringLiteral("bottomLeftRim"), eaBottomLeftRim)),
      left(createAnchor(QStringLiteral("left"), eaLeft)), center(createAnchor(QStringLiteral("center"), eaCenter))
{
}

PlotItemTriangle::~PlotItemTriangle() = default;

double PlotItemTriangle::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  return ellipseSelectTest(pos);
}

void PlotItemTriangle::draw(PlotPainter *painter)
{
  const QPointF p1 = topLeft->pixelPoint();
  const QPointF p2 = bottomRight->pixelPoint();
  if (!finitePoint(p1) || !finitePoint(p2))
    return;
  // Truncated toward zero, saturating far off screen.
  const double apexX = std::trunc(qBound(-double(1 << 30), (p1.x() + p2.x()) * 0.5, double(1 << 30)));
  const QPolygonF triangle({QPointF(p1.x(), p2.y()), QPointF(apexX, p1.y()), QPointF(p2.x(), p2.y())});
  // Drawing nothing that lies wholly outside changes nothing on screen and
  // keeps far-off corners away from the rasteriser.
  const int pad = penPad(mainPen());
  const QRectF bounds = triangle.boundingRect();
  if (!bounds.adjusted(0, 0, 1, 1).intersects(QRectF(clipRect().adjusted(-pad, -pad, pad, pad))) || !drawable(bounds))
    return;
  painter->setPen(mainPen());
  painter->setBrush(mainBrush());
  painter->drawPolygon(triangle, Qt::OddEvenFill);
}

QPointF PlotItemTriangle::anchorPixelPoint(int anchorId) const
{
  return ellipseAnchorPixelPoint(anchorId, Q_FUNC_INFO);
}
