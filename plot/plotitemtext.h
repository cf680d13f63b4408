#ifndef PLOTITEMTEXT_H
#define PLOTITEMTEXT_H

#include "plotitem.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPen>

// A text, optionally in a framed and filled box, placed at one position by
// one of nine reference points and rotated about it. Eight anchors on the box
// (corners and edge midpoints) turn with the text.
class PlotItemText : public PlotAbstractItem
{
  Q_OBJECT
  Q_PROPERTY(QColor color READ color WRITE setColor)
  Q_PROPERTY(QColor selectedColor READ selectedColor WRITE setSelectedColor)
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
  Q_PROPERTY(QBrush brush READ brush WRITE setBrush)
  Q_PROPERTY(QBrush selectedBrush READ selectedBrush WRITE setSelectedBrush)
  Q_PROPERTY(QFont font READ font WRITE setFont)
  Q_PROPERTY(QFont selectedFont READ selectedFont WRITE setSelectedFont)
  Q_PROPERTY(QString text READ text WRITE setText)
  Q_PROPERTY(Qt::Alignment positionAlignment READ positionAlignment WRITE setPositionAlignment)
  Q_PROPERTY(Qt::Alignment textAlignment READ textAlignment WRITE setTextAlignment)
  Q_PROPERTY(double rotation READ rotation WRITE setRotation)
  Q_PROPERTY(QMargins padding READ padding WRITE setPadding)
public:
  explicit PlotItemText(PlotWidget *parentPlot);
  ~PlotItemText() override;

  QColor color() const { return mColor; }
  QColor selectedColor() const { return mSelectedColor; }
  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }
  QBrush brush() const { return mBrush; }
  QBrush selectedBrush() const { return mSelectedBrush; }
  QFont font() const { return mFont; }
  QFont selectedFont() const { return mSelectedFont; }
  QString text() const { return mText; }
  Qt::Alignment positionAlignment() const { return mPositionAlignment; }
  Qt::Alignment textAlignment() const { return mTextAlignment; }
  double rotation() const { return mRotation; }
  QMargins padding() const { return mPadding; }

  void setColor(const QColor &color) { mColor = color; }
  void setSelectedColor(const QColor &color) { mSelectedColor = color; }
  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  void setBrush(const QBrush &brush) { mBrush = brush; }
  void setSelectedBrush(const QBrush &brush) { mSelectedBrush = brush; }
  void setFont(const QFont &font) { mFont = font; }
  void setSelectedFont(const QFont &font) { mSelectedFont = font; }
  void setText(const QString &text) { mText = text; }
  void setPositionAlignment(Qt::Alignment alignment) { mPositionAlignment = alignment; }
  void setTextAlignment(Qt::Alignment alignment) { mTextAlignment = alignment; }
  void setRotation(double degrees) { mRotation = degrees; }
  void setPadding(const QMargins &padding) { mPadding = padding; }

  // The selected variant while the item is selected, else the normal one.
  QPen mainPen() const;
  QBrush mainBrush() const;
  QFont mainFont() const;
  QColor mainColor() const;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  PlotItemPosition *const position;
  PlotItemAnchor *const topLeft;
  PlotItemAnchor *const top;
  PlotItemAnchor *const topRight;
  PlotItemAnchor *const right;
  PlotItemAnchor *const bottomRight;
  PlotItemAnchor *const bottom;
  PlotItemAnchor *const bottomLeft;
  PlotItemAnchor *const left;

protected:
  enum AnchorIndex { aiTopLeft, aiTop, aiTopRight, aiRight, aiBottomRight, aiBottom, aiBottomLeft, aiLeft };

  void draw(PlotPainter *painter) override;
  QPointF anchorPixelPoint(int anchorId) const override;

  // Top-left corner of a box of rect's size placed at pos by the alignment.
  QPointF getTextDrawPoint(const QPointF &pos, const QRectF &rect, Qt::Alignment positionAlignment) const;
  // The text's bounding rectangle at (0, 0) for a font, and that rectangle
  // grown by the padding.
  QRect textRect(const QFontMetrics &metrics) const;
  QRect boxRect(const QRect &textRect) const;

  QColor mColor, mSelectedColor;
  QPen mPen, mSelectedPen;
  QBrush mBrush, mSelectedBrush;
  QFont mFont, mSelectedFont;
  QString mText;
  Qt::Alignment mPositionAlignment;
  Qt::Alignment mTextAlignment;
  double mRotation;
  QMargins mPadding;
};

#endif // PLOTITEMTEXT_H
