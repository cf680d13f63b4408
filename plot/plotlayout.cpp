#include "plotlayout.h"

#include "plotmargingroup.h"
#include "plotwidget.h"

#include <QDebug>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
const Plot::MarginSide kSides[] = {Plot::msLeft, Plot::msRight, Plot::msTop, Plot::msBottom};

void setMarginOf(QMargins &margins, Plot::MarginSide side, int value)
{
  switch (side) {
  case Plot::msLeft: margins.setLeft(value); break;
  case Plot::msRight: margins.setRight(value); break;
  case Plot::msTop: margins.setTop(value); break;
  case Plot::msBottom: margins.setBottom(value); break;
  default: break;
  }
}

// A section size is only ever a non-negative pixel count; anything else (a
// non-finite value from a degenerate distribution) must not reach an int.
int toPixels(double size)
{
  if (!std::isfinite(size))
    return 0;
  return static_cast<int>(std::lround(std::clamp(size, -1e9, 1e9)));
}
// The outer rectangle less the margins. Where the margins need more room than
// the outer rectangle has, the inner one is empty in that direction, at the
// near margin (but not beyond the outer rectangle), rather than inside out:
// an axis laid along it would otherwise run backwards.
QRect innerRect(const QRect &outer, const QMargins &margins)
{
  QRect inner = outer.adjusted(margins.left(), margins.top(), -margins.right(), -margins.bottom());
  if (inner.width() < 0) {
    inner.setLeft(std::min(outer.left() + margins.left(), outer.left() + std::max(0, outer.width())));
    inner.setWidth(0);
  }
  if (inner.height() < 0) {
    inner.setTop(std::min(outer.top() + margins.top(), outer.top() + std::max(0, outer.height())));
    inner.setHeight(0);
  }
  return inner;
}
} // namespace

// ---------------------------------------------------------------------------
// PlotLayoutElement

PlotLayoutElement::PlotLayoutElement(PlotWidget *parentPlot)
    : PlotLayerable(parentPlot), mMinimumSize(), mMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX), mRect(0, 0, 0, 0),
      mOuterRect(0, 0, 0, 0), mMargins(0, 0, 0, 0), mMinimumMargins(0, 0, 0, 0), mAutoMargins(Plot::msAll)
{
}

PlotLayoutElement::~PlotLayoutElement()
{
  setMarginGroup(Plot::msAll, nullptr);
  // Let the layout forget this element before it disappears.
  if (PlotLayout *parentLayout = mParentLayout.data())
    parentLayout->take(this);
}

void PlotLayoutElement::setOuterRect(const QRect &rect)
{
  if (mOuterRect == rect)
    return;
  mOuterRect = rect;
  mRect = innerRect(mOuterRect, mMargins);
}

void PlotLayoutElement::setMargins(const QMargins &margins)
{
  if (mMargins == margins)
    return;
  mMargins = margins;
  mRect = innerRect(mOuterRect, mMargins);
}

void PlotLayoutElement::setMinimumMargins(const QMargins &margins)
{
  if (mMinimumMargins != margins)
    mMinimumMargins = margins;
}

void PlotLayoutElement::setAutoMargins(Plot::MarginSides sides)
{
  mAutoMargins = sides;
}

void PlotLayoutElement::setMinimumSize(const QSize &size)
{
  if (mMinimumSize == size)
    return;
  mMinimumSize = size;
  if (PlotLayout *parentLayout = mParentLayout.data())
    parentLayout->sizeConstraintsChanged();
}

void PlotLayoutElement::setMinimumSize(int width, int height)
{
  setMinimumSize(QSize(width, height));
}

void PlotLayoutElement::setMaximumSize(const QSize &size)
{
  if (mMaximumSize == size)
    return;
  mMaximumSize = size;
  if (PlotLayout *parentLayout = mParentLayout.data())
    parentLayout->sizeConstraintsChanged();
}

void PlotLayoutElement::setMaximumSize(int width, int height)
{
  setMaximumSize(QSize(width, height));
}

void PlotLayoutElement::setMarginGroup(Plot::MarginSides sides, PlotMarginGroup *group)
{
  for (Plot::MarginSide side : kSides) {
    if (!sides.testFlag(side))
      continue;
    PlotMarginGroup *current = marginGroup(side);
    if (current == group)
      continue;
    if (current)
      current->removeChild(side, this);
    if (!group) {
      mMarginGroups.remove(side);
    } else {
      mMarginGroups[side] = group;
      group->addChild(side, this);
    }
  }
}

void PlotLayoutElement::update(UpdatePhase phase)
{
  if (phase != upMargins || mAutoMargins == Plot::msNone)
    return;
  QMargins newMargins = mMargins;
  for (Plot::MarginSide side : kSides) {
    if (!mAutoMargins.testFlag(side))
      continue;
    int value;
    if (PlotMarginGroup *group = marginGroup(side))
      value = group->commonMargin(side);
    else
      value = calculateAutoMargin(side);
    value = std::max(value, marginOf(mMinimumMargins, side));
    setMarginOf(newMargins, side, value);
  }
  setMargins(newMargins);
}

QSize PlotLayoutElement::minimumSizeHint() const
{
  return mMinimumSize;
}

QSize PlotLayoutElement::maximumSizeHint() const
{
  return mMaximumSize;
}

QList<PlotLayoutElement *> PlotLayoutElement::elements(bool recursive) const
{
  Q_UNUSED(recursive)
  return QList<PlotLayoutElement *>();
}

double PlotLayoutElement::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable)
    return -1;
  if (!QRectF(mOuterRect.left(), mOuterRect.top(), mOuterRect.width(), mOuterRect.height()).contains(pos))
    return -1;
  if (!mParentPlot) {
    qDebug() << Q_FUNC_INFO << "parent plot not defined";
    return -1;
  }
  return mParentPlot->selectionTolerance() * 0.99;
}

int PlotLayoutElement::marginOf(const QMargins &margins, Plot::MarginSide side)
{
  switch (side) {
  case Plot::msLeft: return margins.left();
  case Plot::msRight: return margins.right();
  case Plot::msTop: return margins.top();
  case Plot::msBottom: return margins.bottom();
  default: return 0;
  }
}

int PlotLayoutElement::calculateAutoMargin(Plot::MarginSide side)
{
  // marginOf gives 0 for anything but a single side.
  return std::max(marginOf(mMargins, side), marginOf(mMinimumMargins, side));
}

void PlotLayoutElement::parentPlotInitialized(PlotWidget *parentPlot)
{
  // An element tree built before it joined a plot receives the plot here.
  const QList<PlotLayoutElement *> children = elements(false);
  for (PlotLayoutElement *child : children) {
    if (child && !child->parentPlot())
      child->initializeParentPlot(parentPlot);
  }
}

// ---------------------------------------------------------------------------
// PlotLayout

PlotLayout::PlotLayout() : PlotLayoutElement(nullptr) {}

void PlotLayout::update(UpdatePhase phase)
{
  PlotLayoutElement::update(phase);
  if (phase == upLayout)
    updateLayout();
  const int count = elementCount();
  for (int i = 0; i < count; ++i) {
    if (PlotLayoutElement *element = elementAt(i))
      element->update(phase);
  }
}

QList<PlotLayoutElement *> PlotLayout::elements(bool recursive) const
{
  const int count = elementCount();
  QList<PlotLayoutElement *> result;
  result.reserve(count);
  for (int i = 0; i < count; ++i)
    result.append(elementAt(i));
  if (recursive) {
    for (int i = 0; i < count; ++i) {
      if (result.at(i))
        result << result.at(i)->elements(true);
    }
  }
  return result;
}

void PlotLayout::simplify() {}

bool PlotLayout::removeAt(int index)
{
  if (PlotLayoutElement *element = takeAt(index)) {
    delete element;
    return true;
  }
  return false;
}

bool PlotLayout::remove(PlotLayoutElement *element)
{
  if (take(element)) {
    delete element;
    return true;
  }
  return false;
}

void PlotLayout::clear()
{
  const int count = elementCount();
  for (int i = count - 1; i >= 0; --i) {
    if (elementAt(i))
      removeAt(i);
  }
  simplify();
}

void PlotLayout::updateLayout() {}

void PlotLayout::sizeConstraintsChanged() const
{
  if (QWidget *widget = qobject_cast<QWidget *>(parent()))
    widget->updateGeometry();
  else if (PlotLayout *layout = qobject_cast<PlotLayout *>(parent()))
    layout->sizeConstraintsChanged();
}

QSize PlotLayout::effectiveMinimumSize(const PlotLayoutElement *element)
{
  const QSize hint = element->minimumSizeHint();
  const QSize own = element->minimumSize();
  return QSize(own.width() > 0 ? own.width() : hint.width(), own.height() > 0 ? own.height() : hint.height());
}

QSize PlotLayout::effectiveMaximumSize(const PlotLayoutElement *element)
{
  const QSize hint = element->maximumSizeHint();
  const QSize own = element->maximumSize();
  return QSize(own.width() < QWIDGETSIZE_MAX ? own.width() : hint.width(),
               own.height() < QWIDGETSIZE_MAX ? own.height() : hint.height());
}

void PlotLayout::adoptElement(PlotLayoutElement *element)
{
  if (!element) {
    qDebug() << Q_FUNC_INFO << "Null element passed";
    return;
  }
  element->mParentLayout = this;
  element->setParentLayerable(this);
  element->setParent(this);
  if (!element->parentPlot())
    element->initializeParentPlot(mParentPlot);
}

void PlotLayout::releaseElement(PlotLayoutElement *element)
{
  if (!element) {
    qDebug() << Q_FUNC_INFO << "Null element passed";
    return;
  }
  element->mParentLayout = nullptr;
  element->setParentLayerable(nullptr);
  element->setParent(mParentPlot);
}

QList<int> PlotLayout::getSectionSizes(QList<int> maxSizes, QList<int> minSizes, QList<double> stretchFactors,
                                       int totalSize) const
{
  if (maxSizes.size() != minSizes.size() || minSizes.size() != stretchFactors.size()) {
    qDebug() << Q_FUNC_INFO << "Passed vector sizes aren't equal:" << maxSizes << minSizes << stretchFactors;
    return QList<int>();
  }
  if (stretchFactors.isEmpty())
    return QList<int>();

  const int n = stretchFactors.size();
  QList<double> sectionSizes(n, 0.0);

  // Squeeze: below the sum of the minimums, sections shrink in proportion to them.
  double minSizeSum = 0;
  for (int s : minSizes)
    minSizeSum += s;
  if (totalSize < minSizeSum) {
    for (int i = 0; i < n; ++i) {
      stretchFactors[i] = minSizes.at(i);
      minSizes[i] = 0;
    }
  }

  QList<int> minimumLockedSections;
  QList<int> unfinishedSections;
  for (int i = 0; i < n; ++i)
    unfinishedSections.append(i);
  double freeSize = totalSize;

  int outerIterations = 0;
  while (!unfinishedSections.isEmpty() && outerIterations < n * 2) {
    ++outerIterations;
    int innerIterations = 0;
    while (!unfinishedSections.isEmpty() && innerIterations < n * 2) {
      ++innerIterations;
      // The section that reaches its maximum first wins; a stretch factor of
      // 0 never reaches it, and NaN never compares smaller.
      int winner = -1;
      double smallestHitPoint = 1e12;
      double stretchSum = 0;
      for (int s : std::as_const(unfinishedSections)) {
        const double stretch = stretchFactors.at(s);
        stretchSum += stretch;
        if (stretch > 0) {
          const double hitPoint = (maxSizes.at(s) - sectionSizes.at(s)) / stretch;
          if (hitPoint < smallestHitPoint) {
            smallestHitPoint = hitPoint;
            winner = s;
          }
        }
      }
      // Without any stretch left the remaining sections take no extra size.
      if (!(stretchSum > 0)) {
        unfinishedSections.clear();
        break;
      }
      const double limit = freeSize / stretchSum;
      if (smallestHitPoint < limit) {
        for (int s : std::as_const(unfinishedSections)) {
          const double grow = smallestHitPoint * stretchFactors.at(s);
          sectionSizes[s] += grow;
          freeSize -= grow;
        }
        if (winner >= 0)
          unfinishedSections.removeOne(winner);
      } else {
        for (int s : std::as_const(unfinishedSections))
          sectionSizes[s] += limit * stretchFactors.at(s);
        unfinishedSections.clear();
      }
    }
    if (innerIterations == n * 2)
      qDebug() << Q_FUNC_INFO
               << "Exceeded maximum expected inner iteration count, layouting aborted. Input was:" << maxSizes
               << minSizes << stretchFactors << totalSize;

    // Sections below their minimum are locked at it; the others start over
    // sharing what is left.
    bool foundMinimumViolation = false;
    for (int i = 0; i < n; ++i) {
      if (minimumLockedSections.contains(i))
        continue;
      if (sectionSizes.at(i) < minSizes.at(i)) {
        sectionSizes[i] = minSizes.at(i);
        foundMinimumViolation = true;
        minimumLockedSections.append(i);
      }
    }
    if (foundMinimumViolation) {
      freeSize = totalSize;
      for (int i = 0; i < n; ++i) {
        if (minimumLockedSections.contains(i))
          freeSize -= sectionSizes.at(i);
        else {
          if (!unfinishedSections.contains(i)) // an aborted inner loop may have left it there
            unfinishedSections.append(i);
          sectionSizes[i] = 0;
        }
      }
    }
  }
  if (outerIterations == n * 2)
    qDebug() << Q_FUNC_INFO
             << "Exceeded maximum expected outer iteration count, layouting aborted. Input was:" << maxSizes
             << minSizes << stretchFactors << totalSize;

  QList<int> result;
  result.reserve(n);
  for (double size : std::as_const(sectionSizes))
    result.append(toPixels(size));
  return result;
}
