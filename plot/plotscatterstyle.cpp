#include "plotscatterstyle.h"

#include "plotpainter.h"

#include <cmath>

PlotScatterStyle::PlotScatterStyle()
    : mSize(6), mShape(ssNone), mPen(Qt::NoPen), mBrush(Qt::NoBrush), mPenDefined(false)
{
}

PlotScatterStyle::PlotScatterStyle(ScatterShape shape, double size)
    : mSize(size), mShape(shape), mPen(Qt::NoPen), mBrush(Qt::NoBrush), mPenDefined(false)
{
}

PlotScatterStyle::PlotScatterStyle(ScatterShape shape, const QColor &color, double size)
    : mSize(size), mShape(shape), mPen(QPen(color)), mBrush(Qt::NoBrush), mPenDefined(true)
{
}

PlotScatterStyle::PlotScatterStyle(ScatterShape shape, const QColor &color, const QColor &fill, double size)
    : mSize(size), mShape(shape), mPen(QPen(color)), mBrush(QBrush(fill)), mPenDefined(true)
{
}

PlotScatterStyle::PlotScatterStyle(ScatterShape shape, const QPen &pen, const QBrush &brush, double size)
    : mSize(size), mShape(shape), mPen(pen), mBrush(brush), mPenDefined(pen.style() != Qt::NoPen)
{
}

PlotScatterStyle::PlotScatterStyle(const QPixmap &pixmap)
    : mSize(5), mShape(ssPixmap), mPen(Qt::NoPen), mBrush(Qt::NoBrush), mPixmap(pixmap), mPenDefined(false)
{
}

PlotScatterStyle::PlotScatterStyle(const QPainterPath &customPath, const QPen &pen, const QBrush &brush, double size)
    : mSize(size), mShape(ssCustom), mPen(pen), mBrush(brush), mCustomPath(customPath),
      mPenDefined(pen.style() != Qt::NoPen)
{
}

void PlotScatterStyle::setPen(const QPen &pen)
{
  mPenDefined = true;
  mPen = pen;
}

void PlotScatterStyle::setPixmap(const QPixmap &pixmap)
{
  setShape(ssPixmap);
  mPixmap = pixmap;
}

void PlotScatterStyle::setCustomPath(const QPainterPath &customPath)
{
  setShape(ssCustom);
  mCustomPath = customPath;
}

void PlotScatterStyle::applyTo(PlotPainter *painter, const QPen &defaultPen) const
{
  painter->setPen(mPenDefined ? mPen : defaultPen);
  painter->setBrush(mBrush);
}

void PlotScatterStyle::drawShape(PlotPainter *painter, QPointF pos) const
{
  drawShape(painter, pos.x(), pos.y());
}

void PlotScatterStyle::drawShape(PlotPainter *painter, double x, double y) const
{
  const double w = mSize * 0.5;
  auto line = [painter](double x1, double y1, double x2, double y2) {
    painter->drawLine(QLineF(x1, y1, x2, y2));
  };
  auto circle = [&]() { painter->drawEllipse(QRectF(x - w, y - w, mSize, mSize)); };
  auto square = [&]() { painter->drawRect(QRectF(x - w, y - w, mSize, mSize)); };
  auto plus = [&]() {
    line(x - w, y, x + w, y);
    line(x, y + w, x, y - w);
  };

  switch (mShape) {
  case ssNone:
    break;
  case ssDot:
    line(x, y, x + 0.0001, y);
    break;
  case ssCross:
    line(x - w, y - w, x + w, y + w);
    line(x - w, y + w, x + w, y - w);
    break;
  case ssPlus:
    plus();
    break;
  case ssCircle:
    circle();
    break;
  case ssDisc: {
    const QBrush brushBackup = painter->brush();
    painter->setBrush(QBrush(painter->pen().color(), Qt::SolidPattern));
    circle();
    painter->setBrush(brushBackup);
    break;
  }
  case ssSquare:
    square();
    break;
  case ssDiamond:
    line(x - w, y, x, y - w);
    line(x, y - w, x + w, y);
    line(x + w, y, x, y + w);
    line(x, y + w, x - w, y);
    break;
  case ssStar: {
    plus();
    const double v = w * 0.707;
    line(x - v, y - v, x + v, y + v);
    line(x - v, y + v, x + v, y - v);
    break;
  }
  case ssTriangle:
  case ssTriangleInverted: {
    // Pixel y grows downwards: the plain triangle points up.
    const double dir = mShape == ssTriangle ? 1 : -1;
    const double base = y + dir * 0.755 * w;
    const double tip = y - dir * 0.977 * w;
    line(x - w, base, x + w, base);
    line(x + w, base, x, tip);
    line(x, tip, x - w, base);
    break;
  }
  case ssCrossSquare:
    line(x - w, y - w, x + w * 0.95, y + w * 0.95);
    line(x - w, y + w * 0.95, x + w * 0.95, y - w);
    square();
    break;
  case ssPlusSquare:
    line(x - w, y, x + w * 0.95, y);
    line(x, y + w, x, y - w);
    square();
    break;
  case ssCrossCircle:
    line(x - w * 0.707, y - w * 0.707, x + w * 0.67, y + w * 0.67);
    line(x - w * 0.707, y + w * 0.67, x + w * 0.67, y - w * 0.707);
    circle();
    break;
  case ssPlusCircle:
    plus();
    circle();
    break;
  case ssPeace:
    line(x, y - w, x, y + w);
    line(x, y, x - w * 0.707, y + w * 0.707);
    line(x, y, x + w * 0.707, y + w * 0.707);
    circle();
    break;
  case ssPixmap: {
    const double left = x - mPixmap.width() * 0.5;
    const double top = y - mPixmap.height() * 0.5;
    // Far-off points (or NaN) cannot be turned into whole pixels; they are off screen anyway.
    if (!(std::fabs(left) < 1e9 && std::fabs(top) < 1e9))
      break;
    painter->drawPixmap(int(left), int(top), mPixmap);
    break;
  }
  case ssCustom: {
    const QTransform oldTransform = painter->transform();
    painter->translate(x, y);
    painter->scale(mSize / 6.0, mSize / 6.0);
    painter->drawPath(mCustomPath);
    painter->setTransform(oldTransform);
    break;
  }
  }
}
