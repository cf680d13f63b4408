#include "axis.h"

#include "plotgrid.h"

Axis::Axis(PlotAxisRect *rect, PlotAxis::AxisType type) : PlotAxis(rect, type) {}

Axis::~Axis() = default;

PlotRange Axis::calcTicksRange(PlotRange range)
{
  return range;
}

PlotRange Axis::tuneTicks(PlotRange range)
{
  return range;
}

void Axis::setupTickVectors()
{
  if (!mParentPlot)
    return;
  if (!ticks() && !tickLabels() && !(grid() && grid()->visible()))
    return;
  if (range().size() <= 0)
    return;
  PlotAxis::setupTickVectors();
}

void Axis::on_rangeChanged(PlotRange &newRange, PlotRange &oldRange)
{
  Q_UNUSED(newRange)
  Q_UNUSED(oldRange)
}

void Axis::draw(PlotPainter *painter)
{
  PlotAxis::draw(painter);
}

AxisPower::AxisPower(PlotAxisRect *rect, PlotAxis::AxisType type) : PlotAxis(rect, type) {}

AxisPower::~AxisPower() = default;
