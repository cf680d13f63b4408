#ifndef PLOTITEM_H
#define PLOTITEM_H

#include "plotglobal.h"
#include "plotlayer.h"

#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSet>
#include <QString>

class PlotAbstractItem;
class PlotAxis;
class PlotAxisRect;
class PlotItemPosition;
class PlotWidget;

Q_MOC_INCLUDE("plotaxisrect.h")

// A named point of an item whose pixel position the item computes from its
// own geometry (a corner of a text box, say). Positions of other items may
// hang on it and then move with it.
class PlotItemAnchor
{
public:
  PlotItemAnchor(PlotWidget *parentPlot, PlotAbstractItem *parentItem, const QString &name, int anchorId = -1);
  virtual ~PlotItemAnchor();

  QString name() const { return mName; }
  PlotAbstractItem *parentItem() const { return mParentItem; }
  int anchorId() const { return mAnchorId; }
  virtual QPointF pixelPoint() const;
  virtual PlotItemPosition *toPlotItemPosition() { return nullptr; }

  // Positions whose x (or y) coordinate is relative to this anchor.
  void addChildX(PlotItemPosition *pos);
  void addChildY(PlotItemPosition *pos);
  void removeChildX(PlotItemPosition *pos);
  void removeChildY(PlotItemPosition *pos);
  QSet<PlotItemPosition *> childrenX() const { return mChildrenX; }
  QSet<PlotItemPosition *> childrenY() const { return mChildrenY; }

protected:
  // Detaches every position hanging on this anchor (the detached coordinate
  // becomes 0).
  void detachChildren();

  QString mName;
  PlotWidget *mParentPlot;
  PlotAbstractItem *mParentItem;
  int mAnchorId;
  QSet<PlotItemPosition *> mChildrenX, mChildrenY;

private:
  Q_DISABLE_COPY(PlotItemAnchor)
};

// A point the user sets: two coordinates, each read by its own position type
// (pixels, a fraction of the viewport, a fraction of an axis rectangle, or plot
// coordinates on two axes) and each optionally relative to a parent anchor.
class PlotItemPosition : public PlotItemAnchor
{
  Q_GADGET
public:
  enum PositionType {
    ptPixelCoords = 0,   // absolute pixels (relative to the parent anchor, if any)
    ptViewRatio = 1,     // fraction of the plot's viewport
    ptAxisRectRatio = 2, // fraction of the axis rectangle
    ptPlotCoords = 3     // coordinates on the key and value axes
  };
  Q_ENUM(PositionType)

  PlotItemPosition(PlotWidget *parentPlot, PlotAbstractItem *parentItem, const QString &name);
  ~PlotItemPosition() override;

  PositionType type() const { return typeX(); }
  PositionType typeX() const { return mPositionTypeX; }
  PositionType typeY() const { return mPositionTypeY; }
  PlotItemAnchor *parentAnchor() const { return parentAnchorX(); }
  PlotItemAnchor *parentAnchorX() const { return mParentAnchorX; }
  PlotItemAnchor *parentAnchorY() const { return mParentAnchorY; }
  double key() const { return mKey; }
  double value() const { return mValue; }
  QPointF coords() const { return QPointF(mKey, mValue); }
  PlotAxis *keyAxis() const;
  PlotAxis *valueAxis() const;
  PlotAxisRect *axisRect() const;
  QPointF pixelPoint() const override;
  PlotItemPosition *toPlotItemPosition() override { return this; }

  // Type changes keep the point where it is on screen when that can be
  // computed.
  void setType(PositionType type);
  void setTypeX(PositionType type);
  void setTypeY(PositionType type);
  bool setParentAnchor(PlotItemAnchor *parentAnchor, bool keepPixelPosition = false);
  bool setParentAnchorX(PlotItemAnchor *parentAnchor, bool keepPixelPosition = false);
  bool setParentAnchorY(PlotItemAnchor *parentAnchor, bool keepPixelPosition = false);
  void setCoords(double key, double value);
  void setCoords(const QPointF &coords);
  void setAxes(PlotAxis *keyAxis, PlotAxis *valueAxis);
  void setAxisRect(PlotAxisRect *axisRect);
  void setPixelPoint(const QPointF &pixelPoint);

protected:
  PositionType mPositionTypeX, mPositionTypeY;
  QPointer<PlotAxis> mKeyAxis, mValueAxis;
  QPointer<PlotAxisRect> mAxisRect;
  double mKey, mValue;
  PlotItemAnchor *mParentAnchorX, *mParentAnchorY;

private:
  // Whether switching between the two types can be done without losing the
  // point.
  bool canKeepPixelPosition(PositionType from, PositionType to) const;
  bool mayAttachTo(PlotItemAnchor *parentAnchor, bool x, const char *signature) const;
};

// Base of everything placed freely on a plot: texts, lines, shapes. An item
// owns its anchors and positions, clips to an axis rectangle by default and is
// put into the plot with PlotWidget::addItem.
class PlotAbstractItem : public PlotLayerable
{
  Q_OBJECT
  Q_PROPERTY(bool clipToAxisRect READ clipToAxisRect WRITE setClipToAxisRect)
  Q_PROPERTY(PlotAxisRect *clipAxisRect READ clipAxisRect WRITE setClipAxisRect)
  Q_PROPERTY(bool selectable READ selectable WRITE setSelectable NOTIFY selectableChanged)
  Q_PROPERTY(bool selected READ selected WRITE setSelected NOTIFY selectionChanged)
public:
  explicit PlotAbstractItem(PlotWidget *parentPlot);
  ~PlotAbstractItem() override;

  bool clipToAxisRect() const { return mClipToAxisRect; }
  PlotAxisRect *clipAxisRect() const;
  bool selectable() const { return mSelectable; }
  bool selected() const { return mSelected; }

  void setClipToAxisRect(bool clip);
  void setClipAxisRect(PlotAxisRect *rect);

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override = 0;

  QList<PlotItemPosition *> positions() const { return mPositions; }
  QList<PlotItemAnchor *> anchors() const { return mAnchors; }
  PlotItemPosition *position(const QString &name) const;
  PlotItemAnchor *anchor(const QString &name) const;
  bool hasAnchor(const QString &name) const;

public slots:
  void setSelectable(bool selectable);
  void setSelected(bool selected);

signals:
  void selectionChanged(bool selected);
  void selectableChanged(bool selectable);

protected:
  Plot::Interaction selectionCategory() const override;
  QRect clipRect() const override;
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void draw(PlotPainter *painter) override = 0;
  void selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged) override;
  void deselectEvent(bool *selectionStateChanged) override;

  // Pixel position of the anchor with this id; item kinds with anchors override
  // it.
  virtual QPointF anchorPixelPoint(int anchorId) const;

  // Distance of pos from the border of rect; inside a filled rect a click
  // always hits (just below the plot's selection tolerance).
  double rectSelectTest(const QRectF &rect, const QPointF &pos, bool filledRect) const;
  double distSqrToLine(const QPointF &start, const QPointF &end, const QPointF &point) const;

  PlotItemPosition *createPosition(const QString &name);
  PlotItemAnchor *createAnchor(const QString &name, int anchorId);

  bool mClipToAxisRect;
  QPointer<PlotAxisRect> mClipAxisRect;
  QList<PlotItemPosition *> mPositions;
  QList<PlotItemAnchor *> mAnchors;
  bool mSelectable, mSelected;

private:
  Q_DISABLE_COPY(PlotAbstractItem)

  friend class PlotWidget;
  friend class PlotItemAnchor;
};

#endif // PLOTITEM_H
