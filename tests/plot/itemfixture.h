#ifndef PLOT_TEST_ITEMFIXTURE_H
#define PLOT_TEST_ITEMFIXTURE_H

#include "plot.h"

#include <QCoreApplication>
#include <QResizeEvent>

// A hidden plot of a fixed size whose axis rectangle has fixed margins, so
// the data area and the axis transforms are known exactly:
// data area (50, 20) to (369, 259), 320 x 240 pixels; x axis 0..100, y axis
// 0..50.
class ItemPlot
{
public:
  explicit ItemPlot(const QSize &size = QSize(400, 300), const QMargins &margins = QMargins(50, 20, 30, 40))
  {
    plot.resize(size);
    // A hidden widget gets no resize event of its own; the buffer and the
    // viewport follow only this one.
    QResizeEvent resize(size, QSize());
    QCoreApplication::sendEvent(&plot, &resize);
    rect = plot.axisRect();
    rect->setAutoMargins(Plot::msNone);
    rect->setMinimumMargins(QMargins());
    rect->setMargins(margins);
    plot.xAxis->setRange(0, 100);
    plot.yAxis->setRange(0, 50);
    plot.replot();
  }

  PlotWidget plot;
  PlotAxisRect *rect;
};

// An item kind that exposes the base's protected helpers, with one anchor
// (id 0) at a point the test chooses.
class ProbeItem : public PlotAbstractItem
{
  Q_OBJECT
public:
  explicit ProbeItem(PlotWidget *plot) : PlotAbstractItem(plot) {}

  QPointF anchorPoint;
  double distance = -1;

  using PlotAbstractItem::clipRect;
  using PlotAbstractItem::createAnchor;
  using PlotAbstractItem::createPosition;
  using PlotAbstractItem::deselectEvent;
  using PlotAbstractItem::distSqrToLine;
  using PlotAbstractItem::rectSelectTest;
  using PlotAbstractItem::selectEvent;
  using PlotAbstractItem::selectionCategory;

  QPointF baseAnchorPixelPoint(int id) const { return PlotAbstractItem::anchorPixelPoint(id); }

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override
  {
    Q_UNUSED(pos)
    Q_UNUSED(details)
    if (onlySelectable && !selectable())
      return -1;
    return distance;
  }

protected:
  void draw(PlotPainter *painter) override { Q_UNUSED(painter) }
  QPointF anchorPixelPoint(int anchorId) const override
  {
    if (anchorId == 0)
      return anchorPoint;
    return PlotAbstractItem::anchorPixelPoint(anchorId);
  }
};

#endif // PLOT_TEST_ITEMFIXTURE_H
