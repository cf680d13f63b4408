// The mouse side of the plot widget: what a pixel hits, how clicks select,
// and the signals of press, move, release, double click and wheel. A press on
// an axis grabs it for the axis rectangle's drag; a press anywhere else draws
// a rubber band that zooms the first axis rectangle on release.
#include "plotwidget.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotcolorscale.h"
#include "plotitem.h"
#include "plotlegend.h"
#include "plottitle.h"
#include "plotplottable.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <QStack>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

namespace {
// Release within this manhattan distance of the press counts as a click.
constexpr int kClickDistance = 4;
// A rubber band zooms only when both sides span more than this (20 pixels or
// more).
constexpr int kMinimumBandSpan = 18;
} // namespace

// ---------------------------------------------------------------------------
// Hit testing

PlotAxis *PlotWidget::axisAt(const QPointF &pos) const
{
  const QList<PlotAxisRect *> rects = axisRects();
  if (rects.isEmpty())
    return nullptr;
  const QPoint pixel(static_cast<int>(pos.x()), static_cast<int>(pos.y()));
  const QList<PlotAxis *> candidates = rects.first()->axes(PlotAxis::atLeft | PlotAxis::atRight | PlotAxis::atBottom);
  for (PlotAxis *axis : candidates) {
    if (axis->visible() && axis->plotableRect().contains(pixel))
      return axis;
  }
  return nullptr;
}

PlotLayerable *PlotWidget::layerableAt(const QPointF &pos, bool onlySelectable, QVariant *selectionDetails) const
{
  for (int layerIndex = mLayers.size() - 1; layerIndex >= 0; --layerIndex) {
    const QList<PlotLayerable *> children = mLayers.at(layerIndex)->children();
    // A little beyond the tolerance, so that a candidate just outside it still
    // shadows lower objects of its own layer.
    double bestDistance = mSelectionTolerance * 1.1;
    PlotLayerable *candidate = nullptr;
    for (int i = children.size() - 1; i >= 0; --i) {
      PlotLayerable *child = children.at(i);
      if (!child->realVisibility())
        continue;
      QVariant details;
      const double distance = child->selectTest(pos, onlySelectable, &details);
      // Strictly smaller: on a tie the upper child, found first, stays.
      if (distance >= 0 && distance < bestDistance) {
        bestDistance = distance;
        candidate = child;
        if (selectionDetails)
          *selectionDetails = details;
      }
    }
    if (bestDistance < mSelectionTolerance)
      return candidate;
  }
  return nullptr;
}

PlotAbstractPlottable *PlotWidget::plottableAt(const QPointF &pos, bool onlySelectable) const
{
  const QPoint pixel = Plot::roundedPoint(pos);
  PlotAbstractPlottable *result = nullptr;
  double bestDistance = mSelectionTolerance;
  for (PlotAbstractPlottable *plottable : mPlottables) {
    if (onlySelectable && !plottable->selectable())
      continue;
    const PlotAxis *keyAxis = plottable->keyAxis();
    const PlotAxis *valueAxis = plottable->valueAxis();
    if (!keyAxis || !valueAxis || !keyAxis->axisRect() || !valueAxis->axisRect())
      continue;
    if (!(keyAxis->axisRect()->rect() & valueAxis->axisRect()->rect()).contains(pixel))
      continue;
    const double distance = plottable->selectTest(pos, false);
    if (distance >= 0 && distance < bestDistance) {
      bestDistance = distance;
      result = plottable;
    }
  }
  return result;
}

PlotAbstractItem *PlotWidget::itemAt(const QPointF &pos, bool onlySelectable) const
{
  const QPoint pixel = Plot::roundedPoint(pos);
  PlotAbstractItem *result = nullptr;
  double bestDistance = mSelectionTolerance;
  for (PlotAbstractItem *item : mItems) {
    if (onlySelectable && !item->selectable())
      continue;
    if (item->clipToAxisRect() && !item->clipRect().contains(pixel))
      continue;
    const double distance = item->selectTest(pos, false);
    if (distance >= 0 && distance < bestDistance) {
      bestDistance = distance;
      result = item;
    }
  }
  return result;
}

PlotLayoutElement *PlotWidget::layoutElementAt(const QPointF &pos) const
{
  PlotLayoutElement *current = mPlotLayout;
  bool searchSubElements = true;
  while (searchSubElements && current) {
    searchSubElements = false;
    const QList<PlotLayoutElement *> subElements = current->elements(false);
    for (PlotLayoutElement *element : subElements) {
      if (element && element->realVisibility() && element->selectTest(pos, false) >= 0) {
        current = element;
        searchSubElements = true;
        break;
      }
    }
  }
  return current;
}

// ---------------------------------------------------------------------------
// Selection

QList<PlotAxis *> PlotWidget::selectedAxes() const
{
  QList<PlotAxis *> result;
  const QList<PlotAxisRect *> rects = axisRects();
  for (const PlotAxisRect *rect : rects) {
    const QList<PlotAxis *> axes = rect->axes();
    for (PlotAxis *axis : axes) {
      if (axis->selectedParts() != PlotAxis::spNone)
        result.append(axis);
    }
  }
  return result;
}

QList<PlotLegend *> PlotWidget::selectedLegends() const
{
  QList<PlotLegend *> result;
  for (PlotLegend *legend : layoutElementsOf<PlotLegend>()) {
    if (legend->selectedParts() != PlotLegend::spNone)
      result.append(legend);
  }
  return result;
}

void PlotWidget::deselectAll()
{
  for (PlotLayer *layer : std::as_const(mLayers)) {
    const QList<PlotLayerable *> children = layer->children();
    for (PlotLayerable *child : children)
      child->deselectEvent(nullptr);
  }
}

// ---------------------------------------------------------------------------
// Mouse events

void PlotWidget::mousePressEvent(QMouseEvent *event)
{
  const QPoint pos = Plot::roundedPoint(event->position());
  // A colour scale drags its own colour axis: its press grabs no axis of the
  // data area and draws no band.
  const bool onColorScale = qobject_cast<PlotColorScale *>(layoutElementAt(pos));
  mPressedAxis = onColorScale ? nullptr : axisAt(pos);
  if (mPressedAxis) {
    // The cursor tells what a drag will do: move the time window or a value
    // axis.
    setCursor(mPressedAxis->axisType() == PlotAxis::atBottom ? Qt::PointingHandCursor : Qt::SizeVerCursor);
  } else if (!onColorScale) {
    if (!mRubberBand)
      mRubberBand = new QRubberBand(QRubberBand::Rectangle, this);
    mRubberBand->setGeometry(QRect(pos, QSize()));
    mRubberBand->show();
    setCursor(Qt::CrossCursor);
  }
  emit mousePress(event);
  mMousePressPos = pos;
  mMouseEventElement = layoutElementAt(pos);
  if (mMouseEventElement)
    mMouseEventElement->mousePressEvent(event);
  QWidget::mousePressEvent(event);
}

void PlotWidget::mouseMoveEvent(QMouseEvent *event)
{
  const QPoint pos = Plot::roundedPoint(event->position());
  if (mRubberBand && mRubberBand->isVisible()) {
    // While a band is drawn the move belongs to it alone.
    // Both corner pixels belong to the band whichever way it is drawn
    // (QRect::normalized would drop a pixel on each side of a reversed one).
    mRubberBand->setGeometry(QRect(QPoint(qMin(mMousePressPos.x(), pos.x()), qMin(mMousePressPos.y(), pos.y())),
                                   QPoint(qMax(mMousePressPos.x(), pos.x()), qMax(mMousePressPos.y(), pos.y()))));
    QWidget::mouseMoveEvent(event);
    return;
  }

  if (PlotAxis *axis = axisAt(pos)) {
    const bool bottom = axis->axisType() == PlotAxis::atBottom;
    if (event->modifiers() == Qt::ControlModifier) {
      setCursor(bottom ? Qt::PointingHandCursor : Qt::SizeVerCursor);
    } else {
      setCursor(mMouseEventElement ? Qt::ClosedHandCursor : Qt::PointingHandCursor);
      if (bottom)
        QToolTip::showText(mapToGlobal(pos), QWidget::tr("Use mouse to move time window left and "
                                                         "right. Use mouse wheel to zoom in or "
                                                         "zoom out the time window displayed"));
    }
  } else {
    setCursor(Qt::ArrowCursor);
  }

  emit mouseMove(event);
  if (mMouseEventElement)
    mMouseEventElement->mouseMoveEvent(event);
  QWidget::mouseMoveEvent(event);
}

bool PlotWidget::zoomToRubberBand(const QRect &band)
{
  const int left = band.left();
  const int top = band.top();
  const int right = band.left() + band.width() - 1;
  const int bottom = band.top() + band.height() - 1;
  if (right - left <= kMinimumBandSpan || bottom - top <= kMinimumBandSpan)
    return false;
  const QList<PlotAxisRect *> rects = axisRects();
  if (rects.isEmpty())
    return true;
  const QList<PlotAxis *> axes = rects.first()->axes();
  for (PlotAxis *axis : axes) {
    switch (axis->axisType()) {
    case PlotAxis::atTop:
      break; // the top axis keeps its range
    case PlotAxis::atBottom:
      axis->setRange(axis->pixelToCoord(left), axis->pixelToCoord(right));
      break;
    case PlotAxis::atLeft:
    case PlotAxis::atRight:
      axis->setRange(axis->pixelToCoord(bottom), axis->pixelToCoord(top));
      break;
    }
  }
  return true;
}

void PlotWidget::emitObjectSignal(const QPoint &pos, QMouseEvent *event, bool doubleClick)
{
  QVariant details;
  PlotLayerable *hit = layerableAt(pos, false, &details);
  if (!hit)
    return;
  if (PlotAbstractPlottable *plottable = qobject_cast<PlotAbstractPlottable *>(hit)) {
    if (doubleClick)
      emit plottableDoubleClick(plottable, event);
    else
      emit plottableClick(plottable, event);
  } else if (PlotAxis *axis = qobject_cast<PlotAxis *>(hit)) {
    // Details of another type are converted; what cannot be converted is no
    // part.
    const PlotAxis::SelectablePart part = details.value<PlotAxis::SelectablePart>();
    if (doubleClick)
      emit axisDoubleClick(axis, part, event);
    else
      emit axisClick(axis, part, event);
  } else if (PlotAbstractItem *item = qobject_cast<PlotAbstractItem *>(hit)) {
    if (doubleClick)
      emit itemDoubleClick(item, event);
    else
      emit itemClick(item, event);
  } else if (PlotLegend *legend = qobject_cast<PlotLegend *>(hit)) {
    if (doubleClick)
      emit legendDoubleClick(legend, nullptr, event);
    else
      emit legendClick(legend, nullptr, event);
  } else if (PlotAbstractLegendItem *legendItem = qobject_cast<PlotAbstractLegendItem *>(hit)) {
    if (doubleClick)
      emit legendDoubleClick(legendItem->parentLegend(), legendItem, event);
    else
      emit legendClick(legendItem->parentLegend(), legendItem, event);
  } else if (PlotTitle *title = qobject_cast<PlotTitle *>(hit)) {
    if (doubleClick)
      emit titleDoubleClick(event, title);
    else
      emit titleClick(event, title);
  }
}

void PlotWidget::mouseReleaseEvent(QMouseEvent *event)
{
  const QPoint pos = Plot::roundedPoint(event->position());

  if (mRubberBand && mRubberBand->isVisible()) {
    mRubberBand->hide();
    if (zoomToRubberBand(mRubberBand->geometry())) {
      // A band zoom is no click: the plot itself emits nothing here.
      if (mMouseEventElement) {
        mMouseEventElement->mouseReleaseEvent(event);
        mMouseEventElement = nullptr;
      }
      mPressedAxis = nullptr;
      replot(rpByHint);
      QWidget::mouseReleaseEvent(event);
      setCursor(Qt::ArrowCursor);
      return;
    }
  }

  emit mouseRelease(event);

  bool selectionChanged = false;
  const bool isClick = (mMousePressPos - pos).manhattanLength() <= kClickDistance;
  if (isClick && event->button() == Qt::LeftButton) {
    QVariant details;
    PlotLayerable *clicked = layerableAt(pos, true, &details);
    const bool additive =
        mInteractions.testFlag(Plot::iaMultiSelect) && event->modifiers().testFlag(mMultiSelectModifier);
    if (!additive) {
      for (PlotLayer *layer : std::as_const(mLayers)) {
        const QList<PlotLayerable *> children = layer->children();
        for (PlotLayerable *child : children) {
          if (child != clicked && mInteractions.testFlag(child->selectionCategory())) {
            bool changed = false;
            child->deselectEvent(&changed);
            selectionChanged |= changed;
          }
        }
      }
    }
    if (clicked && mInteractions.testFlag(clicked->selectionCategory())) {
      bool changed = false;
      clicked->selectEvent(event, additive, details, &changed);
      selectionChanged |= changed;
    }
    if (selectionChanged)
      emit selectionChangedByUser();
  }
  if (isClick)
    emitObjectSignal(pos, event, false);

  if (mMouseEventElement) {
    mMouseEventElement->mouseReleaseEvent(event);
    mMouseEventElement = nullptr;
  }
  mPressedAxis = nullptr;
  if (selectionChanged || mNoAntialiasingOnDrag)
    replot(rpByHint);
  QWidget::mouseReleaseEvent(event);
  setCursor(Qt::ArrowCursor);
}

void PlotWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
  const QPoint pos = Plot::roundedPoint(event->position());
  emit mouseDoubleClick(event);
  emitObjectSignal(pos, event, true);
  if (PlotLayoutElement *element = layoutElementAt(pos))
    element->mouseDoubleClickEvent(event);
  if (mMouseEventElement) {
    mMouseEventElement->mouseReleaseEvent(event);
    mMouseEventElement = nullptr;
  }
}

void PlotWidget::wheelEvent(QWheelEvent *event)
{
  // The plot does not zoom by wheel itself; the application reacts to
  // mouseWheel.
  emit mouseWheel(event);
  QWidget::wheelEvent(event);
}
