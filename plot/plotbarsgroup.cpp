#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotbars.h"
#include "plotwidget.h"

#include <QDebug>
#include <cmath>

PlotBarsGroup::PlotBarsGroup(PlotWidget *parentPlot)
    : QObject(parentPlot), mParentPlot(parentPlot), mSpacingType(stAbsolute), mSpacing(4)
{
}

PlotBarsGroup::~PlotBarsGroup()
{
  // No member may keep a pointer to a destroyed group.
  clear();
}

PlotBars *PlotBarsGroup::bars(int index) const
{
  if (index >= 0 && index < mBars.size())
    return mBars.at(index);
  qDebug() << Q_FUNC_INFO << "index out of bounds:" << index;
  return nullptr;
}

void PlotBarsGroup::append(PlotBars *bars)
{
  if (!bars) {
    qDebug() << Q_FUNC_INFO << "bars is 0";
    return;
  }
  if (mBars.contains(bars)) {
    qDebug() << Q_FUNC_INFO << "bars plottable is already in this bars group:" << reinterpret_cast<quintptr>(bars);
    return;
  }
  bars->setBarsGroup(this);
}

void PlotBarsGroup::insert(int i, PlotBars *bars)
{
  if (!bars) {
    qDebug() << Q_FUNC_INFO << "bars is 0";
    return;
  }
  if (!mBars.contains(bars))
    bars->setBarsGroup(this);
  mBars.move(mBars.indexOf(bars), qBound(0, i, int(mBars.size()) - 1));
}

void PlotBarsGroup::remove(PlotBars *bars)
{
  if (!bars) {
    qDebug() << Q_FUNC_INFO << "bars is 0";
    return;
  }
  if (mBars.contains(bars))
    bars->setBarsGroup(nullptr);
  else
    qDebug() << Q_FUNC_INFO << "bars plottable is not in this bars group:" << reinterpret_cast<quintptr>(bars);
}

void PlotBarsGroup::clear()
{
  const QList<PlotBars *> members = mBars; // setBarsGroup edits the list
  for (PlotBars *bars : members)
    bars->setBarsGroup(nullptr);
}

void PlotBarsGroup::registerBars(PlotBars *bars)
{
  if (!mBars.contains(bars))
    mBars.append(bars);
}

void PlotBarsGroup::unregisterBars(PlotBars *bars)
{
  mBars.removeOne(bars);
}

double PlotBarsGroup::getPixelSpacing(const PlotBars *bars, double keyCoord) const
{
  const PlotAxis *keyAxis = bars->keyAxis();
  switch (mSpacingType) {
  case stAbsolute:
    return mSpacing;
  case stAxisRectRatio:
    if (!keyAxis || !keyAxis->axisRect())
      return 0;
    return (keyAxis->orientation() == Qt::Horizontal ? keyAxis->axisRect()->rect().width()
                                                      : keyAxis->axisRect()->rect().height()) *
           mSpacing;
  case stPlotCoords:
    if (!keyAxis)
      return 0;
    return keyAxis->coordToPixel(keyCoord + mSpacing) - keyAxis->coordToPixel(keyCoord);
  }
  return 0;
}

double PlotBarsGroup::keyPixelOffset(const PlotBars *bars, double keyCoord) const
{
  // One slot per stack, named by its bottom plottable.
  const auto bottomOf = [](const PlotBars *b) {
    while (b->barBelow())
      b = b->barBelow();
    return b;
  };
  QList<const PlotBars *> base;
  for (const PlotBars *member : mBars) {
    const PlotBars *bottom = bottomOf(member);
    if (!base.contains(bottom))
      base.append(bottom);
  }
  const qsizetype index = base.indexOf(bottomOf(bars));
  if (index < 0)
    return 0;
  const qsizetype n = base.size();

  // A member that lost its key axis takes no room.
  const auto width = [keyCoord](const PlotBars *b) {
    if (!b->keyAxis())
      return 0.0;
    double lower = 0, upper = 0;
    b->getPixelWidth(keyCoord, lower, upper);
    return std::fabs(upper - lower);
  };
  const auto spacing = [this, keyCoord](const PlotBars *b) {
    return b->keyAxis() ? getPixelSpacing(b, keyCoord) : 0.0;
  };

  const bool odd = n % 2 == 1;
  const qsizetype middle = (n - 1) / 2;
  if (odd && index == middle)
    return 0;
  double result = 0;
  if (double(index) < (n - 1) / 2.0) {
    qsizetype start;
    if (!odd) {
      start = n / 2 - 1;
      result = -spacing(base.at(start)) * 0.5;
    } else {
      start = middle - 1;
      result = -width(base.at(middle)) * 0.5 - spacing(base.at(middle));
    }
    for (qsizetype j = start; j > index; --j)
      result -= width(base.at(j)) + spacing(base.at(j));
    result -= width(base.at(index)) * 0.5;
  } else {
    qsizetype start;
    if (!odd) {
      start = n / 2;
      result = spacing(base.at(start)) * 0.5;
    } else {
      start = middle + 1;
      result = width(base.at(middle)) * 0.5 + spacing(base.at(middle));
    }
    for (qsizetype j = start; j < index; ++j)
      result += width(base.at(j)) + spacing(base.at(j));
    result += width(base.at(index)) * 0.5;
  }
  return result;
}
