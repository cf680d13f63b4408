#ifndef AXIS_H
#define AXIS_H

#include "plotaxis.h"

class PlotAxisRect;
class PlotPainter;

// Value axis of the logger's channel #0 (the current). It draws, ticks and
// labels exactly like PlotAxis; the main window recognises it by dynamic_cast
// to rescale the current and to pass on range changes. No Q_OBJECT on purpose:
// its meta-object stays that of PlotAxis.
class Axis : public PlotAxis
{
public:
  Axis(PlotAxisRect *rect, PlotAxis::AxisType type);
  ~Axis() override;

  // Ranges are stored as given; the main window also calls this on a computed
  // range before it sets it.
  PlotRange calcTicksRange(PlotRange range) override;
  PlotRange tuneTicks(PlotRange range) override;
  void setupTickVectors() override;

  // Called by the main window for every range change of this axis; nothing to do yet.
  void on_rangeChanged(PlotRange &newRange, PlotRange &oldRange);

protected:
  void draw(PlotPainter *painter) override;
};

// Value axis of one power-supply channel; `channel` tells which, so the main
// window can find the axes of particular channels (the temperature relabelling).
class AxisPower : public PlotAxis
{
public:
  AxisPower(PlotAxisRect *rect, PlotAxis::AxisType type);
  ~AxisPower() override;

  int channel = 0;
};

#endif // AXIS_H
