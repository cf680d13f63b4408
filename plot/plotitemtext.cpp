#include "plotitemtext.h"

#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QFontMetrics>
#include <QTransform>
#include <cmath>


PlotItemText::PlotItemText(PlotWidget *parentPlot)
    : PlotAbstractItem(parentPlot), position(createPosition(QStringLiteral("position"))),
      topLeft(createAnchor(QStringLiteral("topLeft"), aiTopLeft)), top(createAnchor(QStringLiteral("top"), aiTop)),
      topRight(createAnchor(QStringLiteral("topRight"), aiTopRight)),
      right(createAnchor(QStringLiteral("right"), aiRight)),
      bottomRight(createAnchor(QStringLiteral("bottomRight"), aiBottomRight)),
      bottom(createAnchor(QStringLiteral("bottom"), aiBottom)),
      bottomLeft(createAnchor(QStringLiteral("bottomLeft"), aiBottomLeft)),
      left(createAnchor(QStringLiteral("left"), aiLeft)), mRotation(0)
{
  position->setCoords(0, 0);
  setRotation(0);
  setTextAlignment(Qt::AlignTop | Qt::AlignHCenter);
  setPositionAlignment(Qt::AlignCenter);
  setText(QStringLiteral("text"));
  setPen(Qt::NoPen);
  setSelectedPen(Qt::NoPen);
  setBrush(Qt::NoBrush);
  setSelectedBrush(Qt::NoBrush);
  setColor(Qt::black);
  setSelectedColor(Qt::blue);
}

PlotItemText::~PlotItemText() = default;

QPen PlotItemText::mainPen() const
{
  return mSelected ? mSelectedPen : mPen;
}

QBrush PlotItemText::mainBrush() const
{
  return mSelected ? mSelectedBrush : mBrush;
}

QFont PlotItemText::mainFont() const
{
  return mSelected ? mSelectedFont : mFont;
}

QColor PlotItemText::mainColor() const
{
  return mSelected ? mSelectedColor : mColor;
}

QRect PlotItemText::textRect(const QFontMetrics &metrics) const
{
  return metrics.boundingRect(0, 0, 0, 0, Qt::TextDontClip | mTextAlignment, mText);
}

QRect PlotItemText::boxRect(const QRect &textRect) const
{
  return textRect.adjusted(-mPadding.left(), -mPadding.top(), mPadding.right(), mPadding.bottom());
}

QPointF PlotItemText::getTextDrawPoint(const QPointF &pos, const QRectF &rect, Qt::Alignment positionAlignment) const
{
  if (positionAlignment.toInt() == 0 || positionAlignment == (Qt::AlignLeft | Qt::AlignTop))
    return pos;
  QPointF result = pos;
  if (positionAlignment.testFlag(Qt::AlignHCenter))
    result.rx() -= rect.width() / 2.0;
  else if (positionAlignment.testFlag(Qt::AlignRight))
    result.rx() -= rect.width();
  if (positionAlignment.testFlag(Qt::AlignVCenter))
    result.ry() -= rect.height() / 2.0;
  else if (positionAlignment.testFlag(Qt::AlignBottom))
    result.ry() -= rect.height();
  return result;
}

void PlotItemText::draw(PlotPainter *painter)
{
  const QPointF pos = position->pixelPoint();
  QTransform transform = painter->transform();
  transform.translate(pos.x(), pos.y());
  if (std::fabs(mRotation) > 1e-12)
    transform.rotate(mRotation);
  painter->setFont(mainFont());
  QRect text = textRect(painter->fontMetrics());
  QRect box = boxRect(text);
  const QPoint boxTopLeft = Plot::roundedPoint(getTextDrawPoint(QPointF(0, 0), QRectF(box), mPositionAlignment));
  text.moveTopLeft(boxTopLeft + QPoint(mPadding.left(), mPadding.top()));
  box.moveTopLeft(boxTopLeft);

  // Skip texts that lie wholly outside the clip rectangle, frame included.
  const int clipPad = static_cast<int>(mainPen().widthF());
  const QRect boundingRect = box.adjusted(-clipPad, -clipPad, clipPad, clipPad);
  if (!transform.mapRect(boundingRect).intersects(painter->transform().mapRect(clipRect())))
    return;

  painter->setTransform(transform);
  const QPen framePen = mainPen();
  const QBrush fillBrush = mainBrush();
  if ((fillBrush.style() != Qt::NoBrush && fillBrush.color().alpha() != 0) ||
      (framePen.style() != Qt::NoPen && framePen.color().alpha() != 0)) {
    painter->setPen(framePen);
    painter->setBrush(fillBrush);
    painter->drawRect(box);
  }
  painter->setBrush(Qt::NoBrush);
  painter->setPen(QPen(mainColor()));
  painter->drawText(text, Qt::TextDontClip | mTextAlignment, mText);
}

QPointF PlotItemText::anchorPixelPoint(int anchorId) const
{
  const QPointF pos = position->pixelPoint();
  QTransform transform;
  transform.translate(pos.x(), pos.y());
  if (std::fabs(mRotation) > 1e-12)
    transform.rotate(mRotation);

  const QRect box = boxRect(textRect(QFontMetrics(mainFont())));
  const QPoint boxTopLeft = Plot::roundedPoint(getTextDrawPoint(QPointF(0, 0), QRectF(box), mPositionAlignment));
  const QRectF rect(QPointF(boxTopLeft), QSizeF(box.size()));
  const QPointF corners[4] = {transform.map(rect.topLeft()), transform.map(rect.topRight()),
                              transform.map(rect.bottomRight()), transform.map(rect.bottomLeft())};

  switch (anchorId) {
  case aiTopLeft:
    return corners[0];
  case aiTop:
    return (corners[0] + corners[1]) * 0.5;
  case aiTopRight:
    return corners[1];
  case aiRight:
    return (corners[1] + corners[2]) * 0.5;
  case aiBottomRight:
    return corners[2];
  case aiBottom:
    return (corners[2] + corners[3]) * 0.5;
  case aiBottomLeft:
    return corners[3];
  case aiLeft:
    return (corners[3] + corners[0]) * 0.5;
  }
  qDebug() << Q_FUNC_INFO << "invalid anchorId" << anchorId;
  return QPointF();
}

double PlotItemText::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;

  // Turn the clicked point back into the text's unrotated frame.
  const QPointF positionPixels = position->pixelPoint();
  QTransform inverse;
  inverse.translate(positionPixels.x(), positionPixels.y());
  inverse.rotate(-mRotation);
  inverse.translate(-positionPixels.x(), -positionPixels.y());
  const QPointF turnedPos = inverse.map(pos);

  // Hit-tested with the unselected font, so selecting never changes what a
  // click hits.
  QRect box = boxRect(textRect(QFontMetrics(mFont)));
  box.moveTopLeft(Plot::roundedPoint(getTextDrawPoint(positionPixels, QRectF(box), mPositionAlignment)));
  return rectSelectTest(QRectF(box), turnedPos, true);
}
