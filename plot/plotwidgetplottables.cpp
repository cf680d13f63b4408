// The plot widget's registry of plottables and graphs.
#include "plotwidget.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotgraph.h"

#include <QDebug>

PlotAbstractPlottable *PlotWidget::plottable(int index)
{
  if (index >= 0 && index < mPlottables.size())
    return mPlottables.at(index);
  qDebug() << Q_FUNC_INFO << "index out of bounds:" << index;
  return nullptr;
}

PlotAbstractPlottable *PlotWidget::plottable()
{
  return mPlottables.isEmpty() ? nullptr : mPlottables.last();
}

bool PlotWidget::addPlottable(PlotAbstractPlottable *plottable)
{
  if (plottable && mPlottables.contains(plottable)) {
    qDebug() << Q_FUNC_INFO << "plottable already added to this PlotWidget:" << reinterpret_cast<quintptr>(plottable);
    return false;
  }
  if (!plottable || plottable->parentPlot() != this) {
    qDebug() << Q_FUNC_INFO
             << "plottable not created with this PlotWidget as parent:" << reinterpret_cast<quintptr>(plottable);
    return false;
  }
  mPlottables.append(plottable);
  if (mAutoAddPlottableToLegend)
    plottable->addToLegend();
  if (PlotGraph *graph = qobject_cast<PlotGraph *>(plottable))
    mGraphs.append(graph);
  if (!plottable->layer())
    plottable->setLayer(currentLayer());
  return true;
}

bool PlotWidget::removePlottable(PlotAbstractPlottable *plottable)
{
  if (!plottable || !mPlottables.contains(plottable)) {
    qDebug() << Q_FUNC_INFO << "plottable not in list:" << reinterpret_cast<quintptr>(plottable);
    return false;
  }
  plottable->removeFromLegend();
  if (PlotGraph *graph = qobject_cast<PlotGraph *>(plottable))
    mGraphs.removeOne(graph);
  // Out of the lists before it goes, so nothing can reach it half destroyed.
  mPlottables.removeOne(plottable);
  delete plottable;
  return true;
}

bool PlotWidget::removePlottable(int index)
{
  if (index >= 0 && index < mPlottables.size())
    return removePlottable(mPlottables.at(index));
  qDebug() << Q_FUNC_INFO << "index out of bounds:" << index;
  return false;
}

int PlotWidget::clearPlottables()
{
  const int count = int(mPlottables.size());
  for (int i = count - 1; i >= 0; --i) {
    if (i < mPlottables.size())
      removePlottable(mPlottables.at(i));
  }
  return count;
}

int PlotWidget::plottableCount() const
{
  return int(mPlottables.size());
}

bool PlotWidget::hasPlottable(PlotAbstractPlottable *plottable) const
{
  return mPlottables.contains(plottable);
}

QList<PlotAbstractPlottable *> PlotWidget::selectedPlottables() const
{
  QList<PlotAbstractPlottable *> result;
  for (PlotAbstractPlottable *plottable : mPlottables) {
    if (plottable->selected())
      result.append(plottable);
  }
  return result;
}

PlotGraph *PlotWidget::graph(int index) const
{
  if (index >= 0 && index < mGraphs.size())
    return mGraphs.at(index);
  qDebug() << Q_FUNC_INFO << "index out of bounds:" << index;
  return nullptr;
}

PlotGraph *PlotWidget::graph() const
{
  return mGraphs.isEmpty() ? nullptr : mGraphs.last();
}

PlotGraph *PlotWidget::addGraph(PlotAxis *keyAxis, PlotAxis *valueAxis)
{
  if (!keyAxis)
    keyAxis = xAxis;
  if (!valueAxis)
    valueAxis = yAxis;
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO
             << "can't use default PlotWidget xAxis or yAxis, because at least one is invalid (has been deleted)";
    return nullptr;
  }
  if (keyAxis->parentPlot() != this || valueAxis->parentPlot() != this) {
    qDebug() << Q_FUNC_INFO << "passed keyAxis or valueAxis doesn't have this PlotWidget as parent";
    return nullptr;
  }
  PlotGraph *newGraph = new PlotGraph(keyAxis, valueAxis);
  if (!addPlottable(newGraph)) {
    delete newGraph;
    return nullptr;
  }
  newGraph->setName(QStringLiteral("Graph ") + QString::number(mGraphs.size()));
  return newGraph;
}

bool PlotWidget::removeGraph(PlotGraph *graph)
{
  return removePlottable(graph);
}

bool PlotWidget::removeGraph(int index)
{
  if (index < 0 || index >= mGraphs.size())
    return false;
  return removeGraph(mGraphs.at(index));
}

int PlotWidget::clearGraphs()
{
  const int count = int(mGraphs.size());
  for (int i = count - 1; i >= 0; --i) {
    if (i < mGraphs.size())
      removeGraph(mGraphs.at(i));
  }
  return count;
}

int PlotWidget::graphCount() const
{
  return int(mGraphs.size());
}

QList<PlotGraph *> PlotWidget::selectedGraphs() const
{
  QList<PlotGraph *> result;
  for (PlotGraph *graph : mGraphs) {
    if (graph->selected())
      result.append(graph);
  }
  return result;
}

void PlotWidget::rescaleAxes(bool onlyVisiblePlottables)
{
  QList<PlotAxis *> allAxes;
  for (PlotAxisRect *rect : axisRects())
    allAxes << rect->axes();
  for (PlotAxis *axis : std::as_const(allAxes))
    axis->rescale(onlyVisiblePlottables);
}
