#include "markerline.h"

#include "marker.h"
#include "markerbar.h"
#include "plotaxisrect.h"
#include "plotpainter.h"
#include "plotwidget.h"

MarkerLine::MarkerLine(MarkerBar *markerBar, PlotWidget *plot) : PlotAbstractItem(plot), bar(markerBar) {}

double MarkerLine::selectTest(const QPointF &, bool, QVariant *) const
{
  return -1;
}

void MarkerLine::draw(PlotPainter *painter)
{
  // The markers' pixels belong to the bar's chart, and only to one that
  // holds a capture.
  if (!bar || !bar->isVisible() || !bar->showsMarkers() || bar->plot != parentPlot())
    return;
  const PlotAxisRect *rect = clipAxisRect();
  if (!rect)
    return;
  const double top = rect->rect().top();
  const double bottom = rect->rect().bottom();
  painter->save();
  for (const Marker *m : std::as_const(bar->markers)) {
    painter->setPen(m->color);
    painter->drawLine(QLineF(m->x, top, m->x, bottom));
  }
  painter->restore();
}
