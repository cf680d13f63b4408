#ifndef PLOTITEMSHAPE_H
#define PLOTITEMSHAPE_H

#include "plotitem.h"
#include "plotlineending.h"

#include <QBrush>
#include <QPen>

// A cubic Bezier curve from start to end with two direction points, and
// optional line endings.
class PlotItemCurve : public PlotAbstractItem
{
  Q_OBJECT
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
  Q_PROPERTY(PlotLineEnding head READ head WRITE setHead)
  Q_PROPERTY(PlotLineEnding tail READ tail WRITE setTail)
public:
  explicit PlotItemCurve(PlotWidget *parentPlot);
  ~PlotItemCurve() override;

  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }
  PlotLineEnding head() const { return mHead; }
  PlotLineEnding tail() const { return mTail; }
  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  void setHead(const PlotLineEnding &head) { mHead = head; }
  void setTail(const PlotLineEnding &tail) { mTail = tail; }
  QPen mainPen() const { return mSelected ? mSelectedPen : mPen; }

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  PlotItemPosition *const start;
  PlotItemPosition *const startDir;
  PlotItemPosition *const endDir;
  PlotItemPosition *const end;

protected:
  void draw(PlotPainter *painter) override;

  QPen mPen, mSelectedPen;
  PlotLineEnding mHead, mTail;
};

// Pens and brushes shared by the rectangle, the ellipse and the triangle.
class PlotItemBox : public PlotAbstractItem
{
  Q_OBJECT
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
  Q_PROPERTY(QBrush brush READ brush WRITE setBrush)
  Q_PROPERTY(QBrush selectedBrush READ selectedBrush WRITE setSelectedBrush)
public:
  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }
  QBrush brush() const { return mBrush; }
  QBrush selectedBrush() const { return mSelectedBrush; }
  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  void setBrush(const QBrush &brush) { mBrush = brush; }
  void setSelectedBrush(const QBrush &brush) { mSelectedBrush = brush; }
  QPen mainPen() const { return mSelected ? mSelectedPen : mPen; }
  QBrush mainBrush() const { return mSelected ? mSelectedBrush : mBrush; }

  PlotItemPosition *const topLeft;
  PlotItemPosition *const bottomRight;

protected:
  explicit PlotItemBox(PlotWidget *parentPlot);

  // Whether the brush makes a click inside count as a hit.
  bool filled() const { return mBrush.style() != Qt::NoBrush && mBrush.color().alpha() != 0; }
  // Hit test on the ellipse inscribed in the box.
  double ellipseSelectTest(const QPointF &pos) const;
  // The anchors on the inscribed ellipse, in the order of the ellipse's ids.
  QPointF ellipseAnchorPixelPoint(int anchorId, const char *signature) const;

  QPen mPen, mSelectedPen;
  QBrush mBrush, mSelectedBrush;
};

class PlotItemRect : public PlotItemBox
{
  Q_OBJECT
public:
  explicit PlotItemRect(PlotWidget *parentPlot);
  ~PlotItemRect() override;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  PlotItemAnchor *const top;
  PlotItemAnchor *const topRight;
  PlotItemAnchor *const right;
  PlotItemAnchor *const bottom;
  PlotItemAnchor *const bottomLeft;
  PlotItemAnchor *const left;

protected:
  enum AnchorIndex { aiTop, aiTopRight, aiRight, aiBottom, aiBottomLeft, aiLeft };

  void draw(PlotPainter *painter) override;
  QPointF anchorPixelPoint(int anchorId) const override;
};

class PlotItemEllipse : public PlotItemBox
{
  Q_OBJECT
public:
  explicit PlotItemEllipse(PlotWidget *parentPlot);
  ~PlotItemEllipse() override;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  PlotItemAnchor *const topLeftRim;
  PlotItemAnchor *const top;
  PlotItemAnchor *const topRightRim;
  PlotItemAnchor *const right;
  PlotItemAnchor *const bottomRightRim;
  PlotItemAnchor *const bottom;
  PlotItemAnchor *const bottomLeftRim;
  PlotItemAnchor *const left;
  PlotItemAnchor *const center;

protected:
  void draw(PlotPainter *painter) override;
  QPointF anchorPixelPoint(int anchorId) const override;
};

// A filled triangle in a box, its apex at the top centre. Hit area and
// anchors are those of the ellipse inscribed in the box.
class PlotItemTriangle : public PlotItemBox
{
  Q_OBJECT
public:
  explicit PlotItemTriangle(PlotWidget *parentPlot);
  ~PlotItemTriangle() override;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  PlotItemAnchor *const topLeftRim;
  PlotItemAnchor *const top;
  PlotItemAnchor *const topRightRim;
  PlotItemAnchor *const right;
  PlotItemAnchor *const bottomRightRim;
  PlotItemAnchor *const bottom;
  PlotItemAnchor *const bottomLeftRim;
  PlotItemAnchor *const left;
  PlotItemAnchor *const center;

protected:
  void draw(PlotPainter *painter) override;
  QPointF anchorPixelPoint(int anchorId) const override;
};

#endif // PLOTITEMSHAPE_H
