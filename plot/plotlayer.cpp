#include "plotlayer.h"

#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>

PlotLayer::PlotLayer(PlotWidget *parentPlot, const QString &layerName)
    : QObject(parentPlot), mParentPlot(parentPlot), mName(layerName), mIndex(-1), mVisible(true)
{
}

PlotLayer::~PlotLayer()
{
  // Move the remaining children off this layer; setLayer(nullptr) removes
  // each from the list.
  while (!mChildren.isEmpty())
    mChildren.last()->setLayer(nullptr);

  if (mParentPlot && mParentPlot->currentLayer() == this)
    qDebug() << Q_FUNC_INFO
             << "The parent plot's mCurrentLayer will be a dangling pointer. Should have been set to a valid layer or 0 "
                "beforehand.";
}

void PlotLayer::addChild(PlotLayerable *layerable, bool prepend)
{
  if (mChildren.contains(layerable)) {
    qDebug() << Q_FUNC_INFO << "layerable is already child of this layer" << reinterpret_cast<quintptr>(layerable);
    return;
  }
  if (prepend)
    mChildren.prepend(layerable);
  else
    mChildren.append(layerable);
}

void PlotLayer::removeChild(PlotLayerable *layerable)
{
  if (!mChildren.removeOne(layerable))
    qDebug() << Q_FUNC_INFO << "layerable is not child of this layer" << reinterpret_cast<quintptr>(layerable);
}

PlotLayerable::PlotLayerable(PlotWidget *plot, QString targetLayer, PlotLayerable *parentLayerable)
    : QObject(plot), mVisible(true), mParentPlot(plot), mParentLayerable(parentLayerable), mLayer(nullptr),
      mAntialiased(true)
{
  if (!mParentPlot)
    return;
  if (targetLayer.isEmpty())
    setLayer(mParentPlot->currentLayer());
  else if (!setLayer(targetLayer))
    qDebug() << Q_FUNC_INFO << "setting PlotLayerable initial layer to" << targetLayer << "failed.";
}

PlotLayerable::~PlotLayerable()
{
  if (mLayer) {
    mLayer->removeChild(this);
    mLayer = nullptr;
  }
  mParentLayerable.clear();
}

bool PlotLayerable::setLayer(PlotLayer *layer)
{
  return moveToLayer(layer, false);
}

bool PlotLayerable::setLayer(const QString &layerName)
{
  if (!mParentPlot) {
    qDebug() << Q_FUNC_INFO << "no parent PlotWidget set";
    return false;
  }
  PlotLayer *target = mParentPlot->layer(layerName);
  if (!target) {
    qDebug() << Q_FUNC_INFO << "there is no layer with name" << layerName;
    return false;
  }
  return setLayer(target);
}

double PlotLayerable::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(pos)
  Q_UNUSED(onlySelectable)
  Q_UNUSED(details)
  return -1.0;
}

bool PlotLayerable::realVisibility() const
{
  if (!mVisible)
    return false;
  if (mLayer && !mLayer->visible())
    return false;
  return mParentLayerable.isNull() || mParentLayerable->realVisibility();
}

void PlotLayerable::parentPlotInitialized(PlotWidget *parentPlot)
{
  Q_UNUSED(parentPlot)
}

Plot::Interaction PlotLayerable::selectionCategory() const
{
  return Plot::iaSelectOther;
}

QRect PlotLayerable::clipRect() const
{
  if (mParentPlot)
    return mParentPlot->viewport();
  return QRect();
}

void PlotLayerable::selectEvent(QMouseEvent *event, bool additive, const QVariant &details,
                                bool *selectionStateChanged)
{
  Q_UNUSED(event)
  Q_UNUSED(additive)
  Q_UNUSED(details)
  Q_UNUSED(selectionStateChanged)
}

void PlotLayerable::deselectEvent(bool *selectionStateChanged)
{
  Q_UNUSED(selectionStateChanged)
}

void PlotLayerable::initializeParentPlot(PlotWidget *parentPlot)
{
  if (mParentPlot) {
    qDebug() << Q_FUNC_INFO << "called with mParentPlot already initialized";
    return;
  }
  if (!parentPlot)
    qDebug() << Q_FUNC_INFO << "called with parentPlot zero";
  mParentPlot = parentPlot;
  parentPlotInitialized(mParentPlot);
}

void PlotLayerable::setParentLayerable(PlotLayerable *parentLayerable)
{
  mParentLayerable = parentLayerable;
}

bool PlotLayerable::moveToLayer(PlotLayer *layer, bool prepend)
{
  if (!layer) {
    if (mLayer) {
      mLayer->removeChild(this);
      mLayer = nullptr;
      emit layerChanged(nullptr);
    }
    return true;
  }
  if (!mParentPlot) {
    qDebug() << Q_FUNC_INFO << "no parent PlotWidget set";
    return false;
  }
  if (layer->parentPlot() != mParentPlot) {
    qDebug() << Q_FUNC_INFO << "layer" << layer->name() << "is not in same PlotWidget as this layerable";
    return false;
  }
  PlotLayer *oldLayer = mLayer;
  if (mLayer)
    mLayer->removeChild(this);
  mLayer = layer;
  mLayer->addChild(this, prepend);
  if (mLayer != oldLayer)
    emit layerChanged(mLayer);
  return true;
}

void PlotLayerable::applyAntialiasingHint(PlotPainter *painter, bool localAntialiased,
                                          Plot::AntialiasedElement overrideElement) const
{
  if (mParentPlot && mParentPlot->notAntialiasedElements().testFlag(overrideElement))
    painter->setAntialiasing(false);
  else if (mParentPlot && mParentPlot->antialiasedElements().testFlag(overrideElement))
    painter->setAntialiasing(true);
  else
    painter->setAntialiasing(localAntialiased);
}
