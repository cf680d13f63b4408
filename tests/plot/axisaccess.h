#ifndef PLOT_TEST_AXISACCESS_H
#define PLOT_TEST_AXISACCESS_H

#include "plot.h"

// Reaches the protected parts of axes, grids and the axis painter that tests
// need to observe (drawing onto a recorder, the cached margin, selection).
struct AxisAccess : PlotAxis
{
  static void callDraw(PlotAxis *axis, PlotPainter *painter) { (axis->*(&AxisAccess::draw))(painter); }
  static bool marginValid(const PlotAxis *axis) { return axis->*(&AxisAccess::mCachedMarginValid); }
  static PlotAxisPainterPrivate *painter(const PlotAxis *axis) { return axis->*(&AxisAccess::mAxisPainter); }
  static void select(PlotAxis *axis, bool additive, PlotAxis::SelectablePart part, bool *changed)
  {
    (axis->*(&AxisAccess::selectEvent))(nullptr, additive, QVariant::fromValue(part), changed);
  }
  static void deselect(PlotAxis *axis, bool *changed) { (axis->*(&AxisAccess::deselectEvent))(changed); }
};

struct GridAccess : PlotGrid
{
  static void callDraw(PlotGrid *grid, PlotPainter *painter) { (grid->*(&GridAccess::draw))(painter); }
};

#endif // PLOT_TEST_AXISACCESS_H
