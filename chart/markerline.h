#ifndef MARKERLINE_H
#define MARKERLINE_H

#include "plotitem.h"

#include <QPointer>

class MarkerBar;

// The vertical line of each marker of the bar across a chart's axis rectangle.
class MarkerLine : public PlotAbstractItem
{
public:
  MarkerLine(MarkerBar *bar, PlotWidget *plot);

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  QPointer<MarkerBar> bar;

protected:
  void draw(PlotPainter *painter) override;
};

#endif // MARKERLINE_H
