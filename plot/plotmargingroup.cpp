#include "plotmargingroup.h"

#include "plotlayout.h"
#include "plotwidget.h"

#include <QDebug>
#include <algorithm>

PlotMarginGroup::PlotMarginGroup(PlotWidget *parentPlot) : QObject(parentPlot), mParentPlot(parentPlot)
{
  mChildren.insert(Plot::msLeft, QList<PlotLayoutElement *>());
  mChildren.insert(Plot::msRight, QList<PlotLayoutElement *>());
  mChildren.insert(Plot::msTop, QList<PlotLayoutElement *>());
  mChildren.insert(Plot::msBottom, QList<PlotLayoutElement *>());
}

PlotMarginGroup::~PlotMarginGroup()
{
  clear();
}

bool PlotMarginGroup::isEmpty() const
{
  for (auto it = mChildren.cbegin(); it != mChildren.cend(); ++it) {
    if (!it.value().isEmpty())
      return false;
  }
  return true;
}

void PlotMarginGroup::clear()
{
  for (Plot::MarginSide side : {Plot::msLeft, Plot::msRight, Plot::msTop, Plot::msBottom}) {
    // setMarginGroup calls back removeChild, which shrinks the list.
    const QList<PlotLayoutElement *> members = mChildren.value(side);
    for (int i = members.size() - 1; i >= 0; --i)
      members.at(i)->setMarginGroup(side, nullptr);
  }
}

int PlotMarginGroup::commonMargin(Plot::MarginSide side) const
{
  const QList<PlotLayoutElement *> members = mChildren.value(side);
  int result = 0;
  for (PlotLayoutElement *el : members) {
    if (!el->autoMargins().testFlag(side))
      continue;
    const int minimum = PlotLayoutElement::marginOf(el->minimumMargins(), side);
    result = std::max({result, el->calculateAutoMargin(side), minimum});
  }
  return result;
}

void PlotMarginGroup::addChild(Plot::MarginSide side, PlotLayoutElement *element)
{
  QList<PlotLayoutElement *> &members = mChildren[side];
  if (members.contains(element)) {
    qDebug() << Q_FUNC_INFO
             << "element is already child of this margin group side" << reinterpret_cast<quintptr>(element);
    return;
  }
  members.append(element);
}

void PlotMarginGroup::removeChild(Plot::MarginSide side, PlotLayoutElement *element)
{
  auto it = mChildren.find(side);
  if (it == mChildren.end() || !it.value().removeOne(element))
    qDebug() << Q_FUNC_INFO << "element is not child of this margin group side" << reinterpret_cast<quintptr>(element);
}
