#ifndef PLOTAXISRECT_H
#define PLOTAXISRECT_H

#include "plotaxis.h"
#include "plotlayout.h"
#include "plotlayoutinset.h"
#include "plotrange.h"

#include <QBrush>
#include <QHash>
#include <QPixmap>
#include <QPointer>

class PlotAbstractItem;
class PlotAbstractPlottable;
class PlotGraph;

// The data area: a layout element with any number of axes on each of its four
// sides, an optional background, an inset layout for elements floating over
// the data, and the drag handling of a time chart (the axis under the mouse at
// the press is dragged; the range limits stop it; a drag of the bottom axis
// into its limits is announced by the plot's rangeBorderReached).
class PlotAxisRect : public PlotLayoutElement
{
  Q_OBJECT
  Q_PROPERTY(QPixmap background READ background WRITE setBackground)
  Q_PROPERTY(bool backgroundScaled READ backgroundScaled WRITE setBackgroundScaled)
  Q_PROPERTY(Qt::AspectRatioMode backgroundScaledMode READ backgroundScaledMode WRITE setBackgroundScaledMode)
  Q_PROPERTY(Qt::Orientations rangeDrag READ rangeDrag WRITE setRangeDrag)
  Q_PROPERTY(Qt::Orientations rangeZoom READ rangeZoom WRITE setRangeZoom)
public:
  explicit PlotAxisRect(PlotWidget *parentPlot, bool setupDefaultAxes = true);
  ~PlotAxisRect() override;

  QPixmap background() const { return mBackgroundPixmap; }
  QBrush backgroundBrush() const { return mBackgroundBrush; }
  bool backgroundScaled() const { return mBackgroundScaled; }
  Qt::AspectRatioMode backgroundScaledMode() const { return mBackgroundScaledMode; }
  Qt::Orientations rangeDrag() const { return mRangeDrag; }
  Qt::Orientations rangeZoom() const { return mRangeZoom; }
  PlotAxis *rangeDragAxis(Qt::Orientation orientation);
  PlotAxis *rangeZoomAxis(Qt::Orientation orientation);
  double rangeZoomFactor(Qt::Orientation orientation);

  void setBackground(const QPixmap &pm);
  void setBackground(const QPixmap &pm, bool scaled, Qt::AspectRatioMode mode = Qt::KeepAspectRatioByExpanding);
  void setBackground(const QBrush &brush);
  void setBackgroundScaled(bool scaled);
  void setBackgroundScaledMode(Qt::AspectRatioMode mode);
  void setRangeDrag(Qt::Orientations orientations);
  void setRangeZoom(Qt::Orientations orientations);
  void setRangeDragAxes(PlotAxis *horizontal, PlotAxis *vertical);
  void setRangeZoomAxes(PlotAxis *horizontal, PlotAxis *vertical);
  void setRangeZoomFactor(double horizontalFactor, double verticalFactor);
  void setRangeZoomFactor(double factor);

  // Axes of a side are ordered innermost (index 0, the first added) first.
  int axisCount(PlotAxis::AxisType type) const;
  PlotAxis *axis(PlotAxis::AxisType type, int index = 0) const;
  QList<PlotAxis *> axes(PlotAxis::AxisTypes types) const;
  QList<PlotAxis *> axes() const;
  PlotAxis *addAxis(PlotAxis::AxisType type, PlotAxis *axis = nullptr);
  QList<PlotAxis *> addAxes(PlotAxis::AxisTypes types);
  bool removeAxis(PlotAxis *axis);
  void setupFullAxesBox(bool connectRanges = false);

  // The plot's plottables (graphs) whose key or value axis is one of this
  // rectangle's axes, in the plot's order.
  QList<PlotAbstractPlottable *> plottables() const;
  QList<PlotGraph *> graphs() const;
  // The plot's items that clip to this rectangle or have a position on it (its
  // axis rectangle, or a key or value axis of it), in the plot's order.
  QList<PlotAbstractItem *> items() const;

  PlotLayoutInset *insetLayout() const { return mInsetLayout; }

  void update(UpdatePhase phase) override;
  QList<PlotLayoutElement *> elements(bool recursive) const override;

protected:
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void draw(PlotPainter *painter) override;
  int calculateAutoMargin(Plot::MarginSide side) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

  void updateAxesOffset(PlotAxis::AxisType type);
  void drawBackground(PlotPainter *painter);

  QBrush mBackgroundBrush;
  QPixmap mBackgroundPixmap;
  QPixmap mScaledBackgroundPixmap;
  bool mBackgroundScaled;
  Qt::AspectRatioMode mBackgroundScaledMode;
  PlotLayoutInset *mInsetLayout;
  Qt::Orientations mRangeDrag, mRangeZoom;
  QPointer<PlotAxis> mRangeDragHorzAxis, mRangeDragVertAxis;
  QPointer<PlotAxis> mRangeZoomHorzAxis, mRangeZoomVertAxis;
  double mRangeZoomFactorHorz, mRangeZoomFactorVert;
  PlotRange mDragStartHorzRange, mDragStartVertRange;
  Plot::AntialiasedElements mAADragBackup, mNotAADragBackup;
  QPoint mDragStart;
  bool mDragging;
  QHash<PlotAxis::AxisType, QList<PlotAxis *>> mAxes;

private:
  Q_DISABLE_COPY(PlotAxisRect)

  friend class PlotWidget;
};

#endif // PLOTAXISRECT_H
