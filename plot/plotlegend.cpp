#include "plotlegend.h"

#include "plotpainter.h"
#include "plotplottable.h"
#include "plotwidget.h"

#include <QDebug>
#include <QFontMetrics>

namespace {
QPen selectionPen()
{
  return QPen(QBrush(Qt::blue), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}
} // namespace

// ---------------------------------------------------------------------------
// PlotAbstractLegendItem

PlotAbstractLegendItem::PlotAbstractLegendItem(PlotLegend *parent)
    : PlotLayoutElement(parent ? parent->parentPlot() : nullptr), mParentLegend(parent), mSelectable(true),
      mSelected(false)
{
  if (!parent) {
    qDebug() << Q_FUNC_INFO << "null legend";
    setMargins(QMargins(8, 2, 8, 2));
    return;
  }
  mFont = parent->font();
  mTextColor = parent->textColor();
  mSelectedFont = parent->selectedFont();
  mSelectedTextColor = parent->selectedTextColor();
  if (mParentPlot)
    setLayer(QStringLiteral("legend"));
  setMargins(QMargins(8, 2, 8, 2));
}

void PlotAbstractLegendItem::setSelectable(bool selectable)
{
  if (mSelectable == selectable)
    return;
  mSelectable = selectable;
  emit selectableChanged(mSelectable);
}

void PlotAbstractLegendItem::setSelected(bool selected)
{
  if (mSelected == selected)
    return;
  mSelected = selected;
  emit selectionChanged(mSelected);
}

bool PlotAbstractLegendItem::itemsSelectable() const
{
  return mSelectable && mParentLegend && mParentLegend->selectableParts().testFlag(PlotLegend::spItems);
}

double PlotAbstractLegendItem::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (!mParentPlot)
    return -1;
  if (onlySelectable && !itemsSelectable())
    return -1;
  if (mRect.contains(Plot::roundedPoint(pos)))
    return mParentPlot->selectionTolerance() * 0.99;
  return -1;
}

Plot::Interaction PlotAbstractLegendItem::selectionCategory() const
{
  return Plot::iaSelectLegend;
}

QRect PlotAbstractLegendItem::clipRect() const
{
  return mOuterRect;
}

void PlotAbstractLegendItem::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiased, Plot::aaLegendItems);
}

void PlotAbstractLegendItem::selectEvent(QMouseEvent *event, bool additive, const QVariant &details,
                                         bool *selectionStateChanged)
{
  Q_UNUSED(event)
  Q_UNUSED(details)
  if (!itemsSelectable())
    return;
  const bool selBefore = mSelected;
  setSelected(additive ? !mSelected : true);
  if (selectionStateChanged)
    *selectionStateChanged = mSelected != selBefore;
}

void PlotAbstractLegendItem::deselectEvent(bool *selectionStateChanged)
{
  if (!itemsSelectable())
    return;
  const bool selBefore = mSelected;
  setSelected(false);
  if (selectionStateChanged)
    *selectionStateChanged = mSelected != selBefore;
}

// ---------------------------------------------------------------------------
// PlotPlottableLegendItem

PlotPlottableLegendItem::PlotPlottableLegendItem(PlotLegend *parent, PlotAbstractPlottable *plottable)
    : PlotAbstractLegendItem(parent), mPlottable(plottable)
{
}

QPen PlotPlottableLegendItem::getIconBorderPen() const
{
  if (!mParentLegend)
    return QPen(Qt::NoPen);
  return mSelected ? mParentLegend->selectedIconBorderPen() : mParentLegend->iconBorderPen();
}

QColor PlotPlottableLegendItem::getTextColor() const
{
  return mSelected ? mSelectedTextColor : mTextColor;
}

QFont PlotPlottableLegendItem::getFont() const
{
  return mSelected ? mSelectedFont : mFont;
}

QSize PlotPlottableLegendItem::minimumSizeHint() const
{
  if (!mPlottable || !mParentLegend)
    return QSize();
  const QSize iconSize = mParentLegend->iconSize();
  const QFontMetrics fontMetrics(getFont());
  const QRect textRect =
      fontMetrics.boundingRect(0, 0, 0, iconSize.height(), Qt::TextDontClip, mPlottable->name());
  return QSize(iconSize.width() + mParentLegend->iconTextPadding() + textRect.width() + mMargins.left() +
                   mMargins.right(),
               qMax(textRect.height(), iconSize.height()) + mMargins.top() + mMargins.bottom());
}

void PlotPlottableLegendItem::draw(PlotPainter *painter)
{
  if (!mPlottable || !mParentLegend)
    return;
  painter->setFont(getFont());
  painter->setPen(QPen(getTextColor()));
  const QSize iconSize = mParentLegend->iconSize();
  const QRect textRect =
      painter->fontMetrics().boundingRect(0, 0, 0, iconSize.height(), Qt::TextDontClip, mPlottable->name());
  const QRectF iconRect(mRect.topLeft(), iconSize);
  const int textHeight = qMax(textRect.height(), iconSize.height());
  painter->drawText(mRect.x() + iconSize.width() + mParentLegend->iconTextPadding(), mRect.y(), textRect.width(),
                    textHeight, Qt::TextDontClip, mPlottable->name());
  painter->save();
  painter->setClipRect(iconRect, Qt::IntersectClip);
  mPlottable->drawLegendIcon(painter, iconRect);
  painter->restore();
  if (getIconBorderPen().style() != Qt::NoPen) {
    painter->setPen(getIconBorderPen());
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(iconRect);
  }
}

// ---------------------------------------------------------------------------
// PlotLegend

PlotLegend::PlotLegend() : mIconTextPadding(0)
{
  setRowSpacing(0);
  setColumnSpacing(10);
  setMargins(QMargins(2, 3, 2, 2));
  setAntialiased(false);
  setIconSize(32, 18);
  setIconTextPadding(7);
  setSelectableParts(spLegendBox | spItems);
  setSelectedParts(spNone);
  setBorderPen(QPen(Qt::black, 1));
  setSelectedBorderPen(selectionPen());
  setIconBorderPen(Qt::NoPen);
  setSelectedIconBorderPen(selectionPen());
  setBrush(QBrush(Qt::white));
  setSelectedBrush(QBrush(Qt::white));
  setTextColor(Qt::black);
  setSelectedTextColor(Qt::blue);
}

PlotLegend::~PlotLegend()
{
  clearItems();
  // The plot deletes its layout in its own destructor body, so a legend with
  // a plot always reaches a whole widget here.
  if (mParentPlot)
    mParentPlot->legendRemoved(this);
}

PlotLegend::SelectableParts PlotLegend::selectedParts() const
{
  bool hasSelectedItems = false;
  for (int i = 0; i < itemCount(); ++i) {
    if (PlotAbstractLegendItem *it = item(i); it && it->selected()) {
      hasSelectedItems = true;
      break;
    }
  }
  return hasSelectedItems ? mSelectedParts | spItems : mSelectedParts & ~SelectableParts(spItems);
}

void PlotLegend::setFont(const QFont &font)
{
  mFont = font;
  for (int i = 0; i < itemCount(); ++i)
    if (PlotAbstractLegendItem *it = item(i))
      it->setFont(mFont);
}

void PlotLegend::setTextColor(const QColor &color)
{
  mTextColor = color;
  for (int i = 0; i < itemCount(); ++i)
    if (PlotAbstractLegendItem *it = item(i))
      it->setTextColor(color);
}

void PlotLegend::setSelectedFont(const QFont &font)
{
  mSelectedFont = font;
  for (int i = 0; i < itemCount(); ++i)
    if (PlotAbstractLegendItem *it = item(i))
      it->setSelectedFont(font);
}

void PlotLegend::setSelectedTextColor(const QColor &color)
{
  mSelectedTextColor = color;
  for (int i = 0; i < itemCount(); ++i)
    if (PlotAbstractLegendItem *it = item(i))
      it->setSelectedTextColor(color);
}

void PlotLegend::setSelectableParts(const SelectableParts &selectableParts)
{
  if (mSelectableParts == selectableParts)
    return;
  mSelectableParts = selectableParts;
  emit selectableChanged(mSelectableParts);
}

void PlotLegend::setSelectedParts(const SelectableParts &selectedParts)
{
  SelectableParts newSelected = selectedParts;
  mSelectedParts = this->selectedParts(); // spItems as the items say
  if (mSelectedParts == newSelected)
    return;
  if (!mSelectedParts.testFlag(spItems) && newSelected.testFlag(spItems)) {
    qDebug() << Q_FUNC_INFO << "spItems flag can not be set, it can only be unset with this function";
    newSelected &= ~SelectableParts(spItems);
  }
  if (mSelectedParts.testFlag(spItems) && !newSelected.testFlag(spItems)) {
    for (int i = 0; i < itemCount(); ++i)
      if (PlotAbstractLegendItem *it = item(i))
        it->setSelected(false);
  }
  mSelectedParts = newSelected;
  emit selectionChanged(mSelectedParts);
}

double PlotLegend::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  if (!mParentPlot)
    return -1;
  if (onlySelectable && !mSelectableParts.testFlag(spLegendBox))
    return -1;
  if (mOuterRect.contains(Plot::roundedPoint(pos))) {
    if (details)
      details->setValue(spLegendBox);
    return mParentPlot->selectionTolerance() * 0.99;
  }
  return -1;
}

PlotAbstractLegendItem *PlotLegend::item(int index) const
{
  return qobject_cast<PlotAbstractLegendItem *>(elementAt(index));
}

PlotPlottableLegendItem *PlotLegend::itemWithPlottable(const PlotAbstractPlottable *plottable) const
{
  for (int i = 0; i < itemCount(); ++i) {
    if (PlotPlottableLegendItem *pli = qobject_cast<PlotPlottableLegendItem *>(item(i)))
      if (pli->plottable() == plottable)
        return pli;
  }
  return nullptr;
}

int PlotLegend::itemCount() const
{
  return elementCount();
}

bool PlotLegend::hasItem(PlotAbstractLegendItem *item) const
{
  for (int i = 0; i < itemCount(); ++i)
    if (item == this->item(i))
      return true;
  return false;
}

bool PlotLegend::hasItemWithPlottable(const PlotAbstractPlottable *plottable) const
{
  return itemWithPlottable(plottable);
}

bool PlotLegend::addItem(PlotAbstractLegendItem *item)
{
  if (!item) {
    qDebug() << Q_FUNC_INFO << "null item";
    return false;
  }
  // An item made for another legend would keep pointing there.
  if (item->parentLegend() != this) {
    qDebug() << Q_FUNC_INFO << "item not created for this legend:" << reinterpret_cast<quintptr>(item);
    return false;
  }
  if (hasItem(item))
    return false;
  return addElement(rowCount(), 0, item);
}

bool PlotLegend::removeItem(int index)
{
  if (PlotAbstractLegendItem *ali = item(index)) {
    const bool success = remove(ali);
    simplify();
    return success;
  }
  return false;
}

bool PlotLegend::removeItem(PlotAbstractLegendItem *item)
{
  if (!item)
    return false;
  const bool success = remove(item);
  simplify();
  return success;
}

void PlotLegend::clearItems()
{
  for (int i = itemCount() - 1; i >= 0; --i)
    removeItem(i);
}

QList<PlotAbstractLegendItem *> PlotLegend::selectedItems() const
{
  QList<PlotAbstractLegendItem *> result;
  for (int i = 0; i < itemCount(); ++i)
    if (PlotAbstractLegendItem *ali = item(i); ali && ali->selected())
      result.append(ali);
  return result;
}

void PlotLegend::parentPlotInitialized(PlotWidget *parentPlot)
{
  // Items are made for the plot already; nothing to hand on.
  Q_UNUSED(parentPlot)
}

Plot::Interaction PlotLegend::selectionCategory() const
{
  return Plot::iaSelectLegend;
}

void PlotLegend::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiased, Plot::aaLegend);
}

QPen PlotLegend::getBorderPen() const
{
  return mSelectedParts.testFlag(spLegendBox) ? mSelectedBorderPen : mBorderPen;
}

QBrush PlotLegend::getBrush() const
{
  return mSelectedParts.testFlag(spLegendBox) ? mSelectedBrush : mBrush;
}

void PlotLegend::draw(PlotPainter *painter)
{
  painter->setBrush(getBrush());
  painter->setPen(getBorderPen());
  painter->drawRect(mOuterRect);
}

void PlotLegend::selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged)
{
  Q_UNUSED(event)
  mSelectedParts = selectedParts();
  if (details.value<SelectablePart>() != spLegendBox || !mSelectableParts.testFlag(spLegendBox))
    return;
  const SelectableParts selBefore = mSelectedParts;
  setSelectedParts(additive ? mSelectedParts ^ spLegendBox : mSelectedParts | spLegendBox);
  if (selectionStateChanged)
    *selectionStateChanged = mSelectedParts != selBefore;
}

void PlotLegend::deselectEvent(bool *selectionStateChanged)
{
  mSelectedParts = selectedParts();
  if (!mSelectableParts.testFlag(spLegendBox))
    return;
  const SelectableParts selBefore = mSelectedParts;
  setSelectedParts(selectedParts() & ~SelectableParts(spLegendBox));
  if (selectionStateChanged)
    *selectionStateChanged = mSelectedParts != selBefore;
}
