#include "plotitemshape.h"

#include "plotpainter.h"
#include "plotshapeclip.h"
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

// Huge pixel coordinates (a shape seen at deep zoom) are cut to a margin
// around the visible area: the painter clips what is drawn there away, and
// its fixed-point rasteriser never sees coordinates it cannot follow (it
// drops or garbles a shape beyond about 2^22 pixels).
QRectF viewAround(const QRect &clip, int pad)
{
  return QRectF(clip).adjusted(-pad - 2, -pad - 2, pad + 2, pad + 2);
}

QRectF cutToView(const QRectF &rect, const QRect &clip, int pad)
{
  return rect.intersected(viewAround(clip, pad));
}

// Shapes within this many pixels of the view go to the painter whole; the
// painter traces an ellipse with four Bezier arcs, off by about 3e-4 of its
// size, so bigger ones are traced here.
constexpr double kWholeShapeMargin = 1024;

bool nearView(const QRectF &bounds, const QRectF &view)
{
  const QRectF near = view.adjusted(-kWholeShapeMargin, -kWholeShapeMargin, kWholeShapeMargin, kWholeShapeMargin);
  return bounds.left() >= near.left() && bounds.right() <= near.right() && bounds.top() >= near.top() &&
         bounds.bottom() <= near.bottom();
}

// Whether a line ending drawn at p can reach into the view.
bool endingReaches(const QPointF &p, const PlotLineEnding &ending, const QRectF &view)
{
  const double reach = ending.boundingDistance();
  return view.adjusted(-reach, -reach, reach, reach).contains(p);
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
  // However far its ends lie, a curve that crosses the view is drawn: only
  // the part near the view goes to the painter.
  QPainterPath path(s);
  path.cubicTo(s1, e1, e);
  const int pad = penPad(mainPen());
  const QRect clip = clipRect().adjusted(-pad, -pad, pad, pad);
  QRect curveRect = saturatedRect(path.controlPointRect());
  if (curveRect.isEmpty())
    curveRect.adjust(0, 0, 1, 1);
  if (!clip.intersects(curveRect))
    return;
  const QRectF view = viewAround(clipRect(), pad);
  painter->setPen(mainPen());
  if (nearView(path.controlPointRect(), view)) {
    painter->drawPath(path);
  } else {
    for (const QPolygonF &run : Plot::clipCubic(s, s1, e1, e, view))
      painter->drawPolyline(run);
  }
  painter->setBrush(Qt::SolidPattern);
  if (mTail.style() != PlotLineEnding::esNone && endingReaches(s, mTail, view))
    mTail.draw(painter, QVector2D(s), M_PI - path.angleAtPercent(0) / 180.0 * M_PI);
  if (mHead.style() != PlotLineEnding::esNone && endingReaches(e, mHead, view))
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
  if (!ellipseRect.intersects(QRectF(clip)))
    return;
  const QRectF view = viewAround(clipRect(), pad);
  painter->setPen(mainPen());
  painter->setBrush(mainBrush());
  try {
    if (nearView(ellipseRect, view)) {
      painter->drawEllipse(ellipseRect);
    } else {
      // Only the part that covers the view, traced in double precision.
      const QPolygonF visible = Plot::clipEllipse(ellipseRect, view);
      if (!visible.isEmpty())
        painter->drawPolygon(visible);
    }
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
  // Truncated toward zero; halved first where the sum would overflow.
  double apexX = std::trunc((p1.x() + p2.x()) * 0.5);
  if (!std::isfinite(apexX))
    apexX = std::trunc(p1.x() * 0.5 + p2.x() * 0.5);
  const QPolygonF triangle({QPointF(p1.x(), p2.y()), QPointF(apexX, p1.y()), QPointF(p2.x(), p2.y())});
  // Drawing nothing that lies wholly outside changes nothing on screen.
  const int pad = penPad(mainPen());
  const QRectF bounds = triangle.boundingRect();
  if (!bounds.adjusted(0, 0, 1, 1).intersects(QRectF(clipRect().adjusted(-pad, -pad, pad, pad))))
    return;
  painter->setPen(mainPen());
  painter->setBrush(mainBrush());
  const QRectF view = viewAround(clipRect(), pad);
  if (nearView(bounds, view)) {
    painter->drawPolygon(triangle, Qt::OddEvenFill);
    return;
  }
  // Far corners: only the part that covers the view, cut in double precision.
  const QPolygonF visible = Plot::clipPolygon(triangle, view);
  if (!visible.isEmpty())
    painter->drawPolygon(visible, Qt::OddEvenFill);
}

QPointF PlotItemTriangle::anchorPixelPoint(int anchorId) const
{
  return ellipseAnchorPixelPoint(anchorId, Q_FUNC_INFO);
}
