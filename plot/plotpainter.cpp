#include "plotpainter.h"

#include <QDebug>
#include <cmath>

PlotPainter::PlotPainter() : QPainter(), mModes(pmDefault), mIsAntialiasing(false) {}

PlotPainter::PlotPainter(QPaintDevice *device) : QPainter(device), mModes(pmDefault), mIsAntialiasing(false) {}

void PlotPainter::setPen(const QPen &pen)
{
  QPainter::setPen(pen);
  if (mModes.testFlag(pmNonCosmetic))
    makeNonCosmetic();
}

void PlotPainter::setPen(const QColor &color)
{
  QPainter::setPen(color);
  if (mModes.testFlag(pmNonCosmetic))
    makeNonCosmetic();
}

void PlotPainter::setPen(Qt::PenStyle penStyle)
{
  QPainter::setPen(penStyle);
  if (mModes.testFlag(pmNonCosmetic))
    makeNonCosmetic();
}

void PlotPainter::drawLine(const QLineF &line)
{
  if (mIsAntialiasing || mModes.testFlag(pmVectorized)) {
    QPainter::drawLine(line);
    return;
  }
  // Round in floating point (halves away from zero) so huge coordinates
  // never overflow an integer conversion.
  const QPointF p1(std::round(line.x1()), std::round(line.y1()));
  const QPointF p2(std::round(line.x2()), std::round(line.y2()));
  QPainter::drawLine(QLineF(p1, p2));
}

void PlotPainter::setAntialiasing(bool enabled)
{
  setRenderHint(QPainter::Antialiasing, enabled);
  if (mIsAntialiasing == enabled)
    return;
  mIsAntialiasing = enabled;
  // One-pixel lines fall on pixel centres only with a half-pixel offset.
  if (!mModes.testFlag(pmVectorized))
    translate(enabled ? 0.5 : -0.5, enabled ? 0.5 : -0.5);
}

void PlotPainter::setModes(PainterModes modes)
{
  mModes = modes;
}

void PlotPainter::setMode(PainterMode mode, bool enabled)
{
  // pmDefault is the empty set: neither setting nor clearing it changes anything.
  if (mode == pmDefault)
    return;
  mModes.setFlag(mode, enabled);
}

bool PlotPainter::begin(QPaintDevice *device)
{
  return QPainter::begin(device);
}

void PlotPainter::save()
{
  mAntialiasingStack.push(mIsAntialiasing);
  QPainter::save();
}

void PlotPainter::restore()
{
  if (!mAntialiasingStack.isEmpty())
    mIsAntialiasing = mAntialiasingStack.pop();
  else
    qDebug() << Q_FUNC_INFO << "Unbalanced save/restore";
  QPainter::restore();
}

void PlotPainter::makeNonCosmetic()
{
  if (std::fabs(pen().widthF()) <= 1e-12) {
    QPen p = pen();
    p.setWidth(1);
    QPainter::setPen(p);
  }
}
