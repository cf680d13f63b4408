#ifndef PLOTMARGINGROUP_H
#define PLOTMARGINGROUP_H

#include "plotglobal.h"

#include <QHash>
#include <QList>
#include <QObject>

class PlotWidget;
class PlotLayoutElement;

// Elements that share a side of a margin group all get the largest margin any
// of them needs on that side, so that e.g. stacked axis rectangles line up.
// Elements join and leave through PlotLayoutElement::setMarginGroup.
class PlotMarginGroup : public QObject
{
  Q_OBJECT
public:
  explicit PlotMarginGroup(PlotWidget *parentPlot);
  ~PlotMarginGroup() override;

  QList<PlotLayoutElement *> elements(Plot::MarginSide side) const { return mChildren.value(side); }
  bool isEmpty() const;
  void clear();

protected:
  int commonMargin(Plot::MarginSide side) const;
  void addChild(Plot::MarginSide side, PlotLayoutElement *element);
  void removeChild(Plot::MarginSide side, PlotLayoutElement *element);

private:
  PlotWidget *mParentPlot;
  QHash<Plot::MarginSide, QList<PlotLayoutElement *>> mChildren;

  friend class PlotLayoutElement;
};

#endif // PLOTMARGINGROUP_H
