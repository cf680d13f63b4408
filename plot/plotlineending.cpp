#include "plotlineending.h"

#include "plotpainter.h"

#include <QPolygonF>
#include <QtMath>
#include <cmath>

PlotLineEnding::PlotLineEnding() : mStyle(esNone), mWidth(8), mLength(10), mInverted(false) {}

PlotLineEnding::PlotLineEnding(EndingStyle style, double width, double length, bool inverted)
    : mStyle(style), mWidth(width), mLength(length), mInverted(inverted)
{
}

double PlotLineEnding::boundingDistance() const
{
  switch (mStyle) {
  case esFlatArrow:
  case esSpikeArrow:
  case esLineArrow:
  case esSkewedBar:
    return std::sqrt(mWidth * mWidth + mLength * mLength);
  case esDisc:
  case esSquare:
  case esDiamond:
  case esBar:
  case esHalfBar:
    return mWidth * 1.42;
  case esNone:
    break;
  }
  return 0;
}

double PlotLineEnding::realLength() const
{
  switch (mStyle) {
  case esFlatArrow:
    return mLength;
  case esSpikeArrow:
    return mLength * 0.8;
  case esDisc:
  case esSquare:
  case esDiamond:
    return mWidth * 0.5;
  case esNone:
  case esLineArrow:
  case esBar:
  case esHalfBar:
  case esSkewedBar:
    break;
  }
  return 0;
}

void PlotLineEnding::draw(PlotPainter *painter, const QVector2D &pos, const QVector2D &dir) const
{
  if (mStyle == esNone)
    return;

  QVector2D lengthDir = dir.normalized();
  if (lengthDir.isNull())
    lengthDir = QVector2D(1, 0);
  const double sign = mInverted ? -1 : 1;
  const QVector2D lengthVec = lengthDir * float(mLength * sign);
  const QVector2D widthVec = QVector2D(-lengthDir.y(), lengthDir.x()) * float(mWidth * 0.5 * sign);

  const QPen penBackup = painter->pen();
  const QBrush brushBackup = painter->brush();
  QPen miterPen = penBackup;
  miterPen.setJoinStyle(Qt::MiterJoin);
  const QBrush fillBrush(penBackup.color(), Qt::SolidPattern);

  auto fillConvex = [&](const QPolygonF &polygon) {
    painter->setPen(miterPen);
    painter->setBrush(fillBrush);
    painter->drawConvexPolygon(polygon);
    painter->setBrush(brushBackup);
    painter->setPen(penBackup);
  };

  switch (mStyle) {
  case esNone:
    break;
  case esFlatArrow:
    fillConvex(QPolygonF() << pos.toPointF() << (pos - lengthVec + widthVec).toPointF()
                           << (pos - lengthVec - widthVec).toPointF());
    break;
  case esSpikeArrow:
    fillConvex(QPolygonF() << pos.toPointF() << (pos - lengthVec + widthVec).toPointF()
                           << (pos - lengthVec * 0.8f).toPointF() << (pos - lengthVec - widthVec).toPointF());
    break;
  case esLineArrow: {
    const QPointF points[3] = {(pos - lengthVec + widthVec).toPointF(), pos.toPointF(),
                               (pos - lengthVec - widthVec).toPointF()};
    painter->setPen(miterPen);
    painter->drawPolyline(points, 3);
    painter->setPen(penBackup);
    break;
  }
  case esDisc:
    painter->setBrush(fillBrush);
    painter->drawEllipse(QRectF(pos.x() - mWidth * 0.5, pos.y() - mWidth * 0.5, mWidth, mWidth));
    painter->setBrush(brushBackup);
    break;
  case esSquare: {
    const QVector2D widthVecPerp(-widthVec.y(), widthVec.x());
    fillConvex(QPolygonF() << (pos - widthVecPerp + widthVec).toPointF() << (pos - widthVecPerp - widthVec).toPointF()
                           << (pos + widthVecPerp - widthVec).toPointF() << (pos + widthVecPerp + widthVec).toPointF());
    break;
  }
  case esDiamond: {
    const QVector2D widthVecPerp(-widthVec.y(), widthVec.x());
    fillConvex(QPolygonF() << (pos - widthVecPerp).toPointF() << (pos - widthVec).toPointF()
                           << (pos + widthVecPerp).toPointF() << (pos + widthVec).toPointF());
    break;
  }
  case esBar:
    painter->drawLine(QLineF((pos + widthVec).toPointF(), (pos - widthVec).toPointF()));
    break;
  case esHalfBar:
    painter->drawLine(QLineF((pos + widthVec).toPointF(), pos.toPointF()));
    break;
  case esSkewedBar: {
    // The slant always runs along the line; only the width vector flips with inversion.
    const QVector2D skew = lengthVec * float(0.2 * sign);
    const bool cosmetic = qAbs(penBackup.widthF()) <= 1e-12;
    if (cosmetic && !painter->modes().testFlag(PlotPainter::pmNonCosmetic)) {
      painter->drawLine(QLineF((pos + widthVec + skew).toPointF(), (pos - widthVec - skew).toPointF()));
    } else {
      // Wide pens: shift by half the pen width so the bar sits flush with the line end.
      const QVector2D shift = dir.normalized() * (qMax(1.0f, float(penBackup.widthF())) * 0.5f);
      painter->drawLine(
          QLineF((pos + widthVec + skew + shift).toPointF(), (pos - widthVec - skew + shift).toPointF()));
    }
    break;
  }
  }
}

void PlotLineEnding::draw(PlotPainter *painter, const QVector2D &pos, double angle) const
{
  draw(painter, pos, QVector2D(float(std::cos(angle)), float(std::sin(angle))));
}
