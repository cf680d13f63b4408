#ifndef PLOT_TEST_ELEMENTS_H
#define PLOT_TEST_ELEMENTS_H

#include "plot.h"

// A layout element with a fixed automatic margin per side, standing in for an
// axis rectangle whose axes need room.
class MarginElement : public PlotLayoutElement
{
  Q_OBJECT
public:
  explicit MarginElement(PlotWidget *plot = nullptr) : PlotLayoutElement(plot) {}
  QMargins need;
  int calculateAutoMargin(Plot::MarginSide side) override
  {
    switch (side) {
    case Plot::msLeft: return need.left();
    case Plot::msRight: return need.right();
    case Plot::msTop: return need.top();
    case Plot::msBottom: return need.bottom();
    default: return 0;
    }
  }
  using PlotLayoutElement::mousePressEvent;
};

// Exposes the protected parts of a grid that the tests check directly.
class TestGrid : public PlotLayoutGrid
{
  Q_OBJECT
public:
  using PlotLayerable::initializeParentPlot;
  using PlotLayout::getSectionSizes;
  using PlotLayoutGrid::getMaximumRowColSizes;
  using PlotLayoutGrid::getMinimumRowColSizes;
};

class TestInset : public PlotLayoutInset
{
  Q_OBJECT
public:
  using PlotLayerable::initializeParentPlot;
};

#endif // PLOT_TEST_ELEMENTS_H
