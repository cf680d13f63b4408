// The plot widget's registry of items.
#include "plotwidget.h"

#include "plotitem.h"

#include <QDebug>

PlotAbstractItem *PlotWidget::item(int index) const
{
  if (index >= 0 && index < mItems.size())
    return mItems.at(index);
  qDebug() << Q_FUNC_INFO << "index out of bounds:" << index;
  return nullptr;
}

PlotAbstractItem *PlotWidget::item() const
{
  return mItems.isEmpty() ? nullptr : mItems.last();
}

bool PlotWidget::addItem(PlotAbstractItem *item)
{
  if (!item || mItems.contains(item) || item->parentPlot() != this) {
    qDebug() << Q_FUNC_INFO << "item either already in list or not created with this "
                "PlotWidget as parent:"
             << reinterpret_cast<quintptr>(item);
    return false;
  }
  mItems.append(item);
  return true;
}

bool PlotWidget::removeItem(PlotAbstractItem *item)
{
  if (!item || !mItems.contains(item)) {
    qDebug() << Q_FUNC_INFO << "item not in list:" << reinterpret_cast<quintptr>(item);
    return false;
  }
  // Out of the list first: whatever the item's destruction sets off never
  // meets it half-destroyed in the registry.
  mItems.removeOne(item);
  delete item;
  return true;
}

bool PlotWidget::removeItem(int index)
{
  if (index < 0 || index >= mItems.size()) {
    qDebug() << Q_FUNC_INFO << "index out of bounds:" << index;
    return false;
  }
  return removeItem(mItems.at(index));
}

int PlotWidget::clearItems()
{
  const int count = mItems.size();
  for (int i = count - 1; i >= 0; --i)
    removeItem(i);
  return count;
}

int PlotWidget::itemCount() const
{
  return mItems.size();
}

bool PlotWidget::hasItem(PlotAbstractItem *item) const
{
  return mItems.contains(item);
}

QList<PlotAbstractItem *> PlotWidget::selectedItems() const
{
  QList<PlotAbstractItem *> result;
  for (PlotAbstractItem *item : mItems) {
    if (item->selected())
      result.append(item);
  }
  return result;
}
