#include "plotwidget.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotgrid.h"
#include "plotitem.h"
#include "plotlegend.h"
#include "plotplottable.h"

#include <QDebug>
#include <QLocale>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QStack>

PlotWidget::PlotWidget(QWidget *parent)
    : QWidget(parent), xAxis(nullptr), yAxis(nullptr), xAxis2(nullptr), yAxis2(nullptr), legend(nullptr),
      mViewport(rect()), mPlotLayout(nullptr), mAutoAddPlottableToLegend(true), mAntialiasedElements(Plot::aaNone),
      mNotAntialiasedElements(Plot::aaNone), mInteractions(), mSelectionTolerance(8), mNoAntialiasingOnDrag(false),
      mBackgroundBrush(Qt::white, Qt::SolidPattern), mBackgroundScaled(true),
      mBackgroundScaledMode(Qt::KeepAspectRatioByExpanding), mCurrentLayer(nullptr),
      mPlottingHints(Plot::hintForceRepaint | Plot::hintCacheLabels), mMultiSelectModifier(Qt::ControlModifier),
      mPaintBuffer(size()), mRubberBand(nullptr), mPressedAxis(nullptr), mReplotting(false)
{
  setAttribute(Qt::WA_NoMousePropagation);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  QLocale currentLocale = locale();
  currentLocale.setNumberOptions(QLocale::OmitGroupSeparator);
  setLocale(currentLocale);

  for (const char *name : {"background", "grid", "main", "axes", "legend"})
    mLayers.append(new PlotLayer(this, QString::fromLatin1(name)));
  updateLayerIndices();
  setCurrentLayer(QStringLiteral("main"));

  mPlotLayout = new PlotLayoutGrid;
  mPlotLayout->initializeParentPlot(this);
  mPlotLayout->setParent(this);
  mPlotLayout->setLayer(QStringLiteral("main"));

  PlotAxisRect *defaultAxisRect = new PlotAxisRect(this, true);
  mPlotLayout->addElement(0, 0, defaultAxisRect);
  xAxis = defaultAxisRect->axis(PlotAxis::atBottom);
  yAxis = defaultAxisRect->axis(PlotAxis::atLeft);
  xAxis2 = defaultAxisRect->axis(PlotAxis::atTop);
  yAxis2 = defaultAxisRect->axis(PlotAxis::atRight);
  legend = new PlotLegend;
  legend->setVisible(false);
  defaultAxisRect->insetLayout()->addElement(legend, Qt::AlignRight | Qt::AlignTop);
  defaultAxisRect->insetLayout()->setMargins(QMargins(12, 12, 12, 12));

  defaultAxisRect->setLayer(QStringLiteral("background"));
  for (PlotAxis *axis : {xAxis, yAxis, xAxis2, yAxis2}) {
    axis->setLayer(QStringLiteral("axes"));
    axis->grid()->setLayer(QStringLiteral("grid"));
  }
  legend->setLayer(QStringLiteral("legend"));

  setViewport(rect());
  replot(rpByHint);
}

PlotWidget::~PlotWidget()
{
  clearPlottables();
  // Plottables made for this plot but never added are its children too; they
  // go now, while the plot they refer to is whole.
  const QList<PlotAbstractPlottable *> loosePlottables =
      findChildren<PlotAbstractPlottable *>(Qt::FindDirectChildrenOnly);
  qDeleteAll(loosePlottables);
  clearItems();
  const QList<PlotAbstractItem *> looseItems = findChildren<PlotAbstractItem *>(Qt::FindDirectChildrenOnly);
  qDeleteAll(looseItems);
  delete mPlotLayout;
  mPlotLayout = nullptr;
  // Layout elements outside the layout (released or never added) are children
  // of the plot; they talk to it when they go, so they go while it is whole.
  const QList<QPointer<PlotLayoutElement>> looseElements = [this] {
    QList<QPointer<PlotLayoutElement>> result;
    for (PlotLayoutElement *el : findChildren<PlotLayoutElement *>(Qt::FindDirectChildrenOnly))
      result.append(el);
    return result;
  }();
  for (const QPointer<PlotLayoutElement> &el : looseElements)
    delete el.data();
  mCurrentLayer = nullptr;
  // Each layer moves its remaining children off itself first.
  qDeleteAll(mLayers);
  mLayers.clear();
}

void PlotWidget::setViewport(const QRect &rect)
{
  mViewport = rect;
  if (mPlotLayout)
    mPlotLayout->setOuterRect(mViewport);
}

void PlotWidget::setBackground(const QPixmap &pm)
{
  mBackgroundPixmap = pm;
  mScaledBackgroundPixmap = QPixmap();
}

void PlotWidget::setBackground(const QPixmap &pm, bool scaled, Qt::AspectRatioMode mode)
{
  mBackgroundPixmap = pm;
  mScaledBackgroundPixmap = QPixmap();
  mBackgroundScaled = scaled;
  mBackgroundScaledMode = mode;
}

void PlotWidget::setBackground(const QBrush &brush)
{
  mBackgroundBrush = brush;
}

void PlotWidget::setBackgroundScaled(bool scaled)
{
  mBackgroundScaled = scaled;
}

void PlotWidget::setBackgroundScaledMode(Qt::AspectRatioMode mode)
{
  mBackgroundScaledMode = mode;
}

// A kind in both sets would be ambiguous: the set just written wins and the
// shared kinds leave the other set.
void PlotWidget::setAntialiasedElements(const Plot::AntialiasedElements &antialiasedElements)
{
  mAntialiasedElements = antialiasedElements;
  mNotAntialiasedElements &= ~mAntialiasedElements;
}

void PlotWidget::setAntialiasedElement(Plot::AntialiasedElement antialiasedElement, bool enabled)
{
  mAntialiasedElements.setFlag(antialiasedElement, enabled);
  mNotAntialiasedElements &= ~mAntialiasedElements;
}

void PlotWidget::setNotAntialiasedElements(const Plot::AntialiasedElements &notAntialiasedElements)
{
  mNotAntialiasedElements = notAntialiasedElements;
  mAntialiasedElements &= ~mNotAntialiasedElements;
}

void PlotWidget::setNotAntialiasedElement(Plot::AntialiasedElement notAntialiasedElement, bool enabled)
{
  mNotAntialiasedElements.setFlag(notAntialiasedElement, enabled);
  mAntialiasedElements &= ~mNotAntialiasedElements;
}

void PlotWidget::setAutoAddPlottableToLegend(bool on)
{
  mAutoAddPlottableToLegend = on;
}

void PlotWidget::setInteractions(const Plot::Interactions &interactions)
{
  mInteractions = interactions;
}

void PlotWidget::setInteraction(const Plot::Interaction &interaction, bool enabled)
{
  mInteractions.setFlag(interaction, enabled);
}

void PlotWidget::setSelectionTolerance(int pixels)
{
  mSelectionTolerance = pixels;
}

void PlotWidget::setNoAntialiasingOnDrag(bool enabled)
{
  mNoAntialiasingOnDrag = enabled;
}

void PlotWidget::setPlottingHints(const Plot::PlottingHints &hints)
{
  mPlottingHints = hints;
}

void PlotWidget::setPlottingHint(Plot::PlottingHint hint, bool enabled)
{
  Plot::PlottingHints newHints = mPlottingHints;
  newHints.setFlag(hint, enabled);
  if (newHints != mPlottingHints)
    setPlottingHints(newHints);
}

void PlotWidget::setMultiSelectModifier(Qt::KeyboardModifier modifier)
{
  mMultiSelectModifier = modifier;
}

// ---------------------------------------------------------------------------
// Layers

PlotLayer *PlotWidget::layer(const QString &name) const
{
  for (PlotLayer *l : mLayers) {
    if (l->name() == name)
      return l;
  }
  return nullptr;
}

PlotLayer *PlotWidget::layer(int index) const
{
  if (index >= 0 && index < mLayers.size())
    return mLayers.at(index);
  qDebug() << Q_FUNC_INFO << "index out of bounds:" << index;
  return nullptr;
}

bool PlotWidget::setCurrentLayer(const QString &name)
{
  if (PlotLayer *newCurrentLayer = layer(name))
    return setCurrentLayer(newCurrentLayer);
  qDebug() << Q_FUNC_INFO << "layer with name doesn't exist:" << name;
  return false;
}

bool PlotWidget::setCurrentLayer(PlotLayer *layer)
{
  if (!mLayers.contains(layer)) {
    qDebug() << Q_FUNC_INFO << "layer not a layer of this PlotWidget:" << reinterpret_cast<quintptr>(layer);
    return false;
  }
  mCurrentLayer = layer;
  return true;
}

bool PlotWidget::addLayer(const QString &name, PlotLayer *otherLayer, LayerInsertMode insertMode)
{
  if (!otherLayer && !mLayers.isEmpty())
    otherLayer = mLayers.last();
  if (otherLayer && !mLayers.contains(otherLayer)) {
    qDebug() << Q_FUNC_INFO << "otherLayer not a layer of this PlotWidget:" << reinterpret_cast<quintptr>(otherLayer);
    return false;
  }
  if (layer(name)) {
    qDebug() << Q_FUNC_INFO << "A layer exists already with the name" << name;
    return false;
  }
  PlotLayer *newLayer = new PlotLayer(this, name);
  const int position = otherLayer ? otherLayer->index() + (insertMode == limAbove ? 1 : 0) : 0;
  mLayers.insert(position, newLayer);
  updateLayerIndices();
  return true;
}

bool PlotWidget::removeLayer(PlotLayer *layer)
{
  if (!mLayers.contains(layer)) {
    qDebug() << Q_FUNC_INFO << "layer not a layer of this PlotWidget:" << reinterpret_cast<quintptr>(layer);
    return false;
  }
  if (mLayers.size() < 2) {
    qDebug() << Q_FUNC_INFO << "can't remove last layer";
    return false;
  }
  const int removedIndex = layer->index();
  const bool isFirstLayer = removedIndex == 0;
  PlotLayer *targetLayer = isFirstLayer ? mLayers.at(removedIndex + 1) : mLayers.at(removedIndex - 1);
  const QList<PlotLayerable *> children = layer->children();
  if (isFirstLayer) {
    // Prepended from the last to the first, so their order stays the same.
    for (int i = children.size() - 1; i >= 0; --i)
      children.at(i)->moveToLayer(targetLayer, true);
  } else {
    for (PlotLayerable *child : children)
      child->moveToLayer(targetLayer, false);
  }
  if (layer == mCurrentLayer)
    setCurrentLayer(targetLayer);
  delete layer;
  mLayers.removeOne(layer);
  updateLayerIndices();
  return true;
}

bool PlotWidget::moveLayer(PlotLayer *layer, PlotLayer *otherLayer, LayerInsertMode insertMode)
{
  if (!mLayers.contains(layer)) {
    qDebug() << Q_FUNC_INFO << "layer not a layer of this PlotWidget:" << reinterpret_cast<quintptr>(layer);
    return false;
  }
  if (!mLayers.contains(otherLayer)) {
    qDebug() << Q_FUNC_INFO << "otherLayer not a layer of this PlotWidget:";
    return false;
  }
  if (layer == otherLayer)
    return true;
  // Taking the layer out first puts it directly above or below otherLayer in
  // either direction, and the position can never pass the end of the list.
  mLayers.removeOne(layer);
  const int otherIndex = mLayers.indexOf(otherLayer);
  mLayers.insert(otherIndex + (insertMode == limAbove ? 1 : 0), layer);
  updateLayerIndices();
  return true;
}

void PlotWidget::updateLayerIndices() const
{
  for (int i = 0; i < mLayers.size(); ++i)
    mLayers.at(i)->mIndex = i;
}

// ---------------------------------------------------------------------------
// Axis rectangles and hit testing

int PlotWidget::axisRectCount() const
{
  return axisRects().size();
}

PlotAxisRect *PlotWidget::axisRect(int index) const
{
  const QList<PlotAxisRect *> rects = axisRects();
  if (index >= 0 && index < rects.size())
    return rects.at(index);
  qDebug() << Q_FUNC_INFO << "invalid axis rect index" << index;
  return nullptr;
}

QList<PlotAxisRect *> PlotWidget::axisRects() const
{
  return layoutElementsOf<PlotAxisRect>();
}

void PlotWidget::dragHorzBorderReached(double new_lo, double new_up)
{
  emit rangeBorderReached(new_lo, new_up);
}

void PlotWidget::axisRemoved(PlotAxis *axis)
{
  if (xAxis == axis)
    xAxis = nullptr;
  if (xAxis2 == axis)
    xAxis2 = nullptr;
  if (yAxis == axis)
    yAxis = nullptr;
  if (yAxis2 == axis)
    yAxis2 = nullptr;
  if (mPressedAxis == axis)
    mPressedAxis = nullptr;
}

void PlotWidget::legendRemoved(PlotLegend *legend)
{
  if (this->legend == legend)
    this->legend = nullptr;
}

// ---------------------------------------------------------------------------
// Drawing

void PlotWidget::replot(PlotWidget::RefreshPriority refreshPriority)
{
  // A replot started from a beforeReplot/afterReplot handler is dropped.
  if (mReplotting)
    return;
  mReplotting = true;
  emit beforeReplot();

  if (!mPaintBuffer.isNull())
    mPaintBuffer.fill(mBackgroundBrush.style() == Qt::SolidPattern ? mBackgroundBrush.color()
                                                                   : QColor(Qt::transparent));
  PlotPainter painter;
  if (!mPaintBuffer.isNull())
    painter.begin(&mPaintBuffer);
  if (painter.isActive()) {
    if (mBackgroundBrush.style() != Qt::NoBrush && mBackgroundBrush.style() != Qt::SolidPattern)
      painter.fillRect(mViewport, mBackgroundBrush);
    draw(&painter);
    painter.end();
    if (refreshPriority == rpNow ||
        (refreshPriority == rpByHint && mPlottingHints.testFlag(Plot::hintForceRepaint)))
      repaint();
    else
      update();
  } else {
    qDebug() << Q_FUNC_INFO
             << "Couldn't activate painter on buffer. This usually happens because PlotWidget has width or height "
                "zero.";
  }

  emit afterReplot();
  mReplotting = false;
}

void PlotWidget::draw(PlotPainter *painter)
{
  if (mPlotLayout) {
    mPlotLayout->update(PlotLayoutElement::upPreparation);
    mPlotLayout->update(PlotLayoutElement::upMargins);
    mPlotLayout->update(PlotLayoutElement::upLayout);
  }

  drawBackground(painter);

  for (PlotLayer *layer : std::as_const(mLayers)) {
    // A copy: drawing must not be disturbed by children that change layers.
    const QList<PlotLayerable *> children = layer->children();
    for (PlotLayerable *child : children) {
      if (!child->realVisibility())
        continue;
      painter->save();
      painter->setClipRect(child->clipRect().translated(0, -1));
      child->applyDefaultAntialiasingHint(painter);
      child->draw(painter);
      painter->restore();
    }
  }
}

void PlotWidget::drawBackground(PlotPainter *painter)
{
  if (mBackgroundPixmap.isNull())
    return;
  if (mBackgroundScaled) {
    QSize scaledSize(mBackgroundPixmap.size());
    scaledSize.scale(mViewport.size(), mBackgroundScaledMode);
    if (mScaledBackgroundPixmap.size() != scaledSize)
      mScaledBackgroundPixmap =
          mBackgroundPixmap.scaled(mViewport.size(), mBackgroundScaledMode, Qt::SmoothTransformation);
    painter->drawPixmap(mViewport.topLeft(), mScaledBackgroundPixmap,
                        QRect(0, 0, mViewport.width(), mViewport.height()) & mScaledBackgroundPixmap.rect());
  } else {
    painter->drawPixmap(mViewport.topLeft(), mBackgroundPixmap, QRect(0, 0, mViewport.width(), mViewport.height()));
  }
}

QSize PlotWidget::minimumSizeHint() const
{
  return mPlotLayout ? mPlotLayout->minimumSizeHint() : QSize();
}

QSize PlotWidget::sizeHint() const
{
  return mPlotLayout ? mPlotLayout->minimumSizeHint() : QSize();
}

void PlotWidget::paintEvent(QPaintEvent *event)
{
  Q_UNUSED(event)
  QPainter painter(this);
  painter.drawPixmap(0, 0, mPaintBuffer);
}

void PlotWidget::resizeEvent(QResizeEvent *event)
{
  mPaintBuffer = QPixmap(event->size());
  setViewport(rect());
  replot(rpLater);
}
