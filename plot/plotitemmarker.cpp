#include "plotitemmarker.h"

#include "plotgraph.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QImage>
#include <QPainterPath>
#include <QPolygonF>
#include <QVector2D>
#include <cmath>
#include <limits>

namespace {
QPen selectionPen()
{
  return QPen(QBrush(Qt::blue), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

bool finitePoint(const QPointF &p)
{
  return std::isfinite(p.x()) && std::isfinite(p.y());
}

int penPad(const QPen &pen)
{
  return pen.style() == Qt::NoPen ? 0 : static_cast<int>(qBound(0.0, pen.widthF(), 1.0e6));
}

QRect saturatedRect(const QPointF &topLeft, const QPointF &bottomRight)
{
  return QRect(Plot::roundedPoint(topLeft), Plot::roundedPoint(bottomRight));
}

bool fuzzyEqual(double a, double b)
{
  return std::fabs(a - b) * 1e12 <= qMin(std::fabs(a), std::fabs(b));
}
} // namespace

// ---------------------------------------------------------------------------
// PlotItemPixmap

PlotItemPixmap::PlotItemPixmap(PlotWidget *parentPlot)
    : PlotAbstractItem(parentPlot), topLeft(createPosition(QStringLiteral("topLeft"))),
      bottomRight(createPosition(QStringLiteral("bottomRight"))), top(createAnchor(QStringLiteral("top"), aiTop)),
      topRight(createAnchor(QStringLiteral("topRight"), aiTopRight)),
      right(createAnchor(QStringLiteral("right"), aiRight)), bottom(createAnchor(QStringLiteral("bottom"), aiBottom)),
      bottomLeft(createAnchor(QStringLiteral("bottomLeft"), aiBottomLeft)),
      left(createAnchor(QStringLiteral("left"), aiLeft)), mScaled(false), mAspectRatioMode(Qt::KeepAspectRatio),
      mTransformationMode(Qt::SmoothTransformation), mPen(Qt::NoPen), mSelectedPen(QPen(Qt::blue))
{
  topLeft->setCoords(0, 1);
  bottomRight->setCoords(1, 0);
}

PlotItemPixmap::~PlotItemPixmap() = default;

void PlotItemPixmap::setPixmap(const QPixmap &pixmap)
{
  mPixmap = pixmap;
  if (mPixmap.isNull())
    qDebug() << Q_FUNC_INFO << "pixmap is null";
}

void PlotItemPixmap::setScaled(bool scaled, Qt::AspectRatioMode aspectRatioMode,
                               Qt::TransformationMode transformationMode)
{
  mScaled = scaled;
  mAspectRatioMode = aspectRatioMode;
  mTransformationMode = transformationMode;
  mCacheKey = CacheKey(); // new modes: scale again
  updateScaledPixmap();
}

QRect PlotItemPixmap::getFinalRect(bool *flippedHorz, bool *flippedVert) const
{
  const QPoint p1 = Plot::roundedPoint(topLeft->pixelPoint());
  const QPoint p2 = Plot::roundedPoint(bottomRight->pixelPoint());
  if (p1 == p2)
    return QRect(p1, QSize(0, 0));
  if (!mScaled)
    return QRect(p1, mPixmap.size());
  // The saturated corners can lie 2^31 apart: measure in 64 bits.
  qint64 width = qint64(p2.x()) - p1.x();
  qint64 height = qint64(p2.y()) - p1.y();
  QPoint corner = p1;
  if (width < 0) {
    width = -width;
    corner.setX(p2.x());
    if (flippedHorz)
      *flippedHorz = true;
  }
  if (height < 0) {
    height = -height;
    corner.setY(p2.y());
    if (flippedVert)
      *flippedVert = true;
  }
  const QSize target(int(qMin<qint64>(width, 1 << 30)), int(qMin<qint64>(height, 1 << 30)));
  QSize size = mPixmap.size();
  size.scale(target, mAspectRatioMode);
  return QRect(corner, size);
}

void PlotItemPixmap::updateScaledPixmap(QRect finalRect, bool flipHorz, bool flipVert)
{
  if (mPixmap.isNull())
    return;
  if (!mScaled) {
    if (!mScaledPixmap.isNull()) {
      mScaledPixmap = QPixmap();
      mCacheKey = CacheKey();
    }
    return;
  }
  if (finalRect.width() == 0 && finalRect.height() == 0) {
    flipHorz = flipVert = false;
    finalRect = getFinalRect(&flipHorz, &flipVert);
  }
  // Zoomed in, the box can be tens of thousands of pixels a side: only the
  // part the clip shows is scaled.
  const QRect part = finalRect.intersected(clipRect());
  const CacheKey key{mPixmap.cacheKey(), finalRect, part, flipHorz, flipVert};
  if (key == mCacheKey)
    return;
  mCacheKey = key;
  mScaledPart = part;
  if (part.isEmpty()) {
    mScaledPixmap = QPixmap();
    return;
  }
  if (part == finalRect) {
    mScaledPixmap = mPixmap.scaled(finalRect.size(), mAspectRatioMode, mTransformationMode);
  } else {
    const double sx = double(mPixmap.width()) / finalRect.width();
    const double sy = double(mPixmap.height()) / finalRect.height();
    // Offsets of the part from the picture's own edges, which lie on the far
    // side when the picture is mirrored.
    const double fromLeft = flipHorz ? double(finalRect.right()) - part.right() : double(part.left()) - finalRect.left();
    const double fromTop = flipVert ? double(finalRect.bottom()) - part.bottom() : double(part.top()) - finalRect.top();
    const QRect source =
        QRectF(fromLeft * sx, fromTop * sy, part.width() * sx, part.height() * sy).toAlignedRect() & mPixmap.rect();
    mScaledPixmap = mPixmap.copy(source).scaled(part.size(), Qt::IgnoreAspectRatio, mTransformationMode);
  }
  if (flipHorz || flipVert)
    mScaledPixmap = QPixmap::fromImage(mScaledPixmap.toImage().mirrored(flipHorz, flipVert));
}

void PlotItemPixmap::draw(PlotPainter *painter)
{
  bool flipHorz = false, flipVert = false;
  const QRect rect = getFinalRect(&flipHorz, &flipVert);
  const int pad = penPad(mainPen());
  if (!rect.adjusted(-pad, -pad, pad, pad).intersects(clipRect()))
    return;
  updateScaledPixmap(rect, flipHorz, flipVert);
  if (mScaled)
    painter->drawPixmap(mScaledPart.topLeft(), mScaledPixmap);
  else
    painter->drawPixmap(rect.topLeft(), mPixmap);
  if (mainPen().style() != Qt::NoPen) {
    painter->setPen(mainPen());
    painter->setBrush(Qt::NoBrush);
    // Edges far outside the view are moved to just beyond it.
    const QRect view = clipRect().adjusted(-pad - 2, -pad - 2, pad + 2, pad + 2);
    painter->drawRect(rect.isEmpty() ? rect : rect.intersected(view));
  }
}

double PlotItemPixmap::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  return rectSelectTest(QRectF(getFinalRect()), pos, true);
}

QPointF PlotItemPixmap::anchorPixelPoint(int anchorId) const
{
  bool flipHorz = false, flipVert = false;
  QRect rect = getFinalRect(&flipHorz, &flipVert);
  // The anchors follow the turned-over box.
  if (flipHorz) {
    const int oldLeft = rect.left();
    rect.setLeft(rect.right() + 1);
    rect.setRight(oldLeft - 1);
  }
  if (flipVert) {
    const int oldTop = rect.top();
    rect.setTop(rect.bottom() + 1);
    rect.setBottom(oldTop - 1);
  }
  const QPointF tl(rect.topLeft()), tr(rect.topRight()), br(rect.bottomRight()), bl(rect.bottomLeft());
  switch (anchorId) {
  case aiTop:
    return Plot::roundedPoint((tl + tr) * 0.5);
  case aiTopRight:
    return tr;
  case aiRight:
    return Plot::roundedPoint((tr + br) * 0.5);
  case aiBottom:
    return Plot::roundedPoint((bl + br) * 0.5);
  case aiBottomLeft:
    return bl;
  case aiLeft:
    return Plot::roundedPoint((tl + bl) * 0.5);
  }
  qDebug() << Q_FUNC_INFO << "invalid anchorId" << anchorId;
  return QPointF();
}

// ---------------------------------------------------------------------------
// PlotItemTracer

PlotItemTracer::PlotItemTracer(PlotWidget *parentPlot)
    : PlotAbstractItem(parentPlot), position(createPosition(QStringLiteral("position"))), mPen(Qt::black),
      mSelectedPen(selectionPen()), mBrush(Qt::NoBrush), mSelectedBrush(Qt::NoBrush), mSize(6), mStyle(tsCrosshair),
      mHasGraph(false), mGraphKey(0), mInterpolating(false)
{
  position->setCoords(0, 0);
}

PlotItemTracer::~PlotItemTracer() = default;

void PlotItemTracer::setGraph(PlotGraph *graph)
{
  if (!graph) {
    mGraph = nullptr;
    mHasGraph = false;
    return;
  }
  if (graph->parentPlot() != mParentPlot) {
    qDebug() << Q_FUNC_INFO << "graph isn't in same PlotWidget instance as this item";
    return;
  }
  position->setType(PlotItemPosition::ptPlotCoords);
  position->setAxes(graph->keyAxis(), graph->valueAxis());
  mGraph = graph;
  mHasGraph = true;
  updatePosition();
}

void PlotItemTracer::updatePosition()
{
  if (!mHasGraph)
    return;
  if (!mGraph || !mParentPlot || !mParentPlot->hasPlottable(mGraph.data())) {
    qDebug() << Q_FUNC_INFO << "graph not contained in PlotWidget instance (anymore)";
    return;
  }
  const PlotDataMap *data = mGraph->data();
  if (data->isEmpty()) {
    qDebug() << Q_FUNC_INFO << "graph has no data";
    return;
  }
  const PlotData first = data->first();
  const PlotData last = data->last();
  if (data->size() == 1 || mGraphKey <= first.key) {
    position->setCoords(first.key, first.value);
    return;
  }
  if (mGraphKey >= last.key) {
    position->setCoords(last.key, last.value);
    return;
  }
  // First key not less than graphKey; the one before it exists here.
  const auto next = data->lowerBound(mGraphKey);
  const auto prev = std::prev(next);
  if (mInterpolating) {
    double slope = 0;
    if (!fuzzyEqual(prev.key(), next.key()))
      slope = (next.value().value - prev.value().value) / (next.key() - prev.key());
    position->setCoords(mGraphKey, prev.value().value + (mGraphKey - prev.key()) * slope);
  } else if (mGraphKey < (prev.key() + next.key()) * 0.5) {
    position->setCoords(prev.key(), prev.value().value);
  } else {
    position->setCoords(next.key(), next.value().value);
  }
}

void PlotItemTracer::draw(PlotPainter *painter)
{
  updatePosition();
  if (mStyle == tsNone)
    return;
  const QPointF center = position->pixelPoint();
  if (!finitePoint(center))
    return;
  painter->setPen(mainPen());
  painter->setBrush(mainBrush());
  const double w = mSize * 0.5;
  const QRect clip = clipRect();
  const bool visible = clip.intersects(saturatedRect(center - QPointF(w, w), center + QPointF(w, w)));
  switch (mStyle) {
  case tsNone:
    break;
  case tsPlus:
    if (visible) {
      painter->drawLine(QLineF(center + QPointF(-w, 0), center + QPointF(w, 0)));
      painter->drawLine(QLineF(center + QPointF(0, -w), center + QPointF(0, w)));
    }
    break;
  case tsCrosshair:
    if (center.y() > clip.top() && center.y() < clip.bottom())
      painter->drawLine(QLineF(clip.left(), center.y(), clip.right(), center.y()));
    if (center.x() > clip.left() && center.x() < clip.right())
      painter->drawLine(QLineF(center.x(), clip.top(), center.x(), clip.bottom()));
    break;
  case tsCircle:
    if (visible)
      painter->drawEllipse(center, w, w);
    break;
  case tsSquare:
    if (visible)
      painter->drawRect(QRectF(center - QPointF(w, w), center + QPointF(w, w)));
    break;
  case tsTriangle:
    if (visible) {
      const QPolygonF triangle({center + QPointF(-2 * w, 3 * w), center, center + QPointF(2 * w, 3 * w)});
      painter->drawPolygon(triangle, Qt::OddEvenFill);
    }
    break;
  }
}

double PlotItemTracer::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  const QPointF center = position->pixelPoint();
  if (mStyle == tsNone || !finitePoint(center))
    return -1;
  const double w = mSize * 0.5;
  const QRect clip = clipRect();
  const bool visible = clip.intersects(saturatedRect(center - QPointF(w, w), center + QPointF(w, w)));
  const bool filled = mBrush.style() != Qt::NoBrush && mBrush.color().alpha() != 0;
  switch (mStyle) {
  case tsNone:
    return -1;
  case tsPlus:
    if (!visible)
      return -1;
    return std::sqrt(qMin(distSqrToLine(center + QPointF(-w, 0), center + QPointF(w, 0), pos),
                          distSqrToLine(center + QPointF(0, -w), center + QPointF(0, w), pos)));
  case tsCrosshair:
    return std::sqrt(qMin(distSqrToLine(QPointF(clip.left(), center.y()), QPointF(clip.right(), center.y()), pos),
                          distSqrToLine(QPointF(center.x(), clip.top()), QPointF(center.x(), clip.bottom()), pos)));
  case tsCircle: {
    if (!visible)
      return -1;
    const double d = QVector2D(center - pos).length();
    double result = std::fabs(d - w);
    const double insideDistance = mParentPlot ? mParentPlot->selectionTolerance() * 0.99 : 0;
    if (result > insideDistance && filled && d <= w)
      result = insideDistance;
    return result;
  }
  case tsSquare:
  case tsTriangle:
    if (!visible)
      return -1;
    return rectSelectTest(QRectF(center - QPointF(w, w), center + QPointF(w, w)), pos, filled);
  }
  return -1;
}

// ---------------------------------------------------------------------------
// PlotItemBracket

namespace {
// The bracket's frame: the ends A and B, half the span W, the offset L of the
// arms and the spine point C. Degenerate when A and B fall on one pixel or
// are not finite.
struct BracketGeometry
{
  QVector2D a, w, l, c;
  bool degenerate;

  BracketGeometry(const QPointF &left, const QPointF &right, double length)
      : a(left), w(), l(), c(), degenerate(true)
  {
    if (!finitePoint(left) || !finitePoint(right) || Plot::roundedPoint(left) == Plot::roundedPoint(right))
      return;
    degenerate = false;
    const QVector2D b(right);
    w = (b - a) * 0.5f;
    l = QVector2D(-w.y(), w.x()).normalized() * float(length);
    c = (a + b) * 0.5f - l;
  }
};
} // namespace

PlotItemBracket::PlotItemBracket(PlotWidget *parentPlot)
    : PlotAbstractItem(parentPlot), left(createPosition(QStringLiteral("left"))),
      right(createPosition(QStringLiteral("right"))), center(createAnchor(QStringLiteral("center"), aiCenter)),
      mPen(Qt::black), mSelectedPen(selectionPen()), mLength(8), mStyle(bsCalligraphic)
{
  left->setCoords(0, 0);
  right->setCoords(1, 1);
}

PlotItemBracket::~PlotItemBracket() = default;

void PlotItemBracket::draw(PlotPainter *painter)
{
  const BracketGeometry g(left->pixelPoint(), right->pixelPoint(), mLength);
  if (g.degenerate)
    return;
  const QVector2D &c = g.c, &w = g.w, &l = g.l;
  const QVector2D b = c + w + l;
  QPolygon box;
  for (const QVector2D &corner : {g.a, b, b - l, g.a - l})
    box << Plot::roundedPoint(corner.toPointF());
  const int pad = penPad(mainPen());
  if (!box.boundingRect().intersects(clipRect().adjusted(-pad, -pad, pad, pad)))
    return;
  painter->setPen(mainPen());
  switch (mStyle) {
  case bsSquare:
    painter->drawLine(QLineF((c + w).toPointF(), (c - w).toPointF()));
    painter->drawLine(QLineF((c + w).toPointF(), (c + w + l).toPointF()));
    painter->drawLine(QLineF((c - w).toPointF(), (c - w + l).toPointF()));
    break;
  case bsRound: {
    painter->setBrush(Qt::NoBrush);
    QPainterPath path((c + w + l).toPointF());
    path.cubicTo((c + w).toPointF(), (c + w).toPointF(), c.toPointF());
    path.cubicTo((c - w).toPointF(), (c - w).toPointF(), (c - w + l).toPointF());
    painter->drawPath(path);
    break;
  }
  case bsCurly: {
    painter->setBrush(Qt::NoBrush);
    QPainterPath path((c + w + l).toPointF());
    path.cubicTo((c + w - l * 0.8f).toPointF(), (c + 0.4f * w + l).toPointF(), c.toPointF());
    path.cubicTo((c - 0.4f * w + l).toPointF(), (c - w - l * 0.8f).toPointF(), (c - w + l).toPointF());
    painter->drawPath(path);
    break;
  }
  case bsCalligraphic: {
    painter->setPen(Qt::NoPen);
    painter->setBrush(QBrush(mainPen().color()));
    QPainterPath path((c + w + l).toPointF());
    path.cubicTo((c + w - l * 0.8f).toPointF(), (c + 0.4f * w + 0.8f * l).toPointF(), c.toPointF());
    path.cubicTo((c - 0.4f * w + 0.8f * l).toPointF(), (c - w - l * 0.8f).toPointF(), (c - w + l).toPointF());
    path.cubicTo((c - w - l * 0.5f).toPointF(), (c - 0.2f * w + l * 1.2f).toPointF(), (c + l * 0.2f).toPointF());
    path.cubicTo((c + 0.2f * w + l * 1.2f).toPointF(), (c + w - l * 0.5f).toPointF(), (c + w + l).toPointF());
    painter->drawPath(path);
    break;
  }
  }
}

double PlotItemBracket::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  const BracketGeometry g(left->pixelPoint(), right->pixelPoint(), mLength);
  if (g.degenerate)
    return -1;
  const QVector2D &c = g.c, &w = g.w, &l = g.l;
  const auto dist = [this, &pos](const QVector2D &from, const QVector2D &to) {
    return distSqrToLine(from.toPointF(), to.toPointF(), pos);
  };
  switch (mStyle) {
  case bsSquare:
  case bsRound:
    return std::sqrt(qMin(dist(c - w, c + w), qMin(dist(c - w + l, c - w), dist(c + w + l, c + w))));
  case bsCurly:
  case bsCalligraphic:
    return std::sqrt(qMin(qMin(dist(c - 0.75f * w + 0.15f * l, c + 0.3f * l),
                               dist(c - w + 0.7f * l, c - 0.75f * w + 0.15f * l)),
                          qMin(dist(c + 0.75f * w + 0.15f * l, c + 0.3f * l),
                               dist(c + w + 0.7f * l, c + 0.75f * w + 0.15f * l))));
  }
  return -1;
}

QPointF PlotItemBracket::anchorPixelPoint(int anchorId) const
{
  const BracketGeometry g(left->pixelPoint(), right->pixelPoint(), mLength);
  if (g.degenerate)
    return left->pixelPoint();
  if (anchorId == aiCenter)
    return g.c.toPointF();
  qDebug() << Q_FUNC_INFO << "invalid anchorId" << anchorId;
  return QPointF();
}
