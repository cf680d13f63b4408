#include "plotlayoutinset.h"

#include "plotwidget.h"

#include <QDebug>

PlotLayoutInset::PlotLayoutInset() {}

PlotLayoutInset::~PlotLayoutInset()
{
  clear();
}

PlotLayoutInset::InsetPlacement PlotLayoutInset::insetPlacement(int index) const
{
  if (elementAt(index))
    return mInsetPlacement.at(index);
  qDebug() << Q_FUNC_INFO << "Invalid element index:" << index;
  return ipRatioRect;
}

Qt::Alignment PlotLayoutInset::insetAlignment(int index) const
{
  if (elementAt(index))
    return mInsetAlignment.at(index);
  qDebug() << Q_FUNC_INFO << "Invalid element index:" << index;
  return Qt::AlignHCenter | Qt::AlignVCenter;
}

QRectF PlotLayoutInset::insetRect(int index) const
{
  if (elementAt(index))
    return mInsetRect.at(index);
  qDebug() << Q_FUNC_INFO << "Invalid element index:" << index;
  return QRectF();
}

void PlotLayoutInset::setInsetPlacement(int index, PlotLayoutInset::InsetPlacement placement)
{
  if (elementAt(index))
    mInsetPlacement[index] = placement;
  else
    qDebug() << Q_FUNC_INFO << "Invalid element index:" << index;
}

void PlotLayoutInset::setInsetAlignment(int index, Qt::Alignment alignment)
{
  if (elementAt(index))
    mInsetAlignment[index] = alignment;
  else
    qDebug() << Q_FUNC_INFO << "Invalid element index:" << index;
}

void PlotLayoutInset::setInsetRect(int index, const QRectF &rect)
{
  if (elementAt(index))
    mInsetRect[index] = rect;
  else
    qDebug() << Q_FUNC_INFO << "Invalid element index:" << index;
}

void PlotLayoutInset::updateLayout()
{
  const int x = mRect.x(), y = mRect.y(), w = mRect.width(), h = mRect.height();
  for (int i = 0; i < mElements.size(); ++i) {
    PlotLayoutElement *el = mElements.at(i);
    const QSize min = effectiveMinimumSize(el);
    const QSize max = effectiveMaximumSize(el);
    QRect insetRect;
    if (mInsetPlacement.at(i) == ipRatioRect) {
      const QRectF &f = mInsetRect.at(i);
      insetRect = QRect(static_cast<int>(x + w * f.x()), static_cast<int>(y + h * f.y()),
                        static_cast<int>(w * f.width()), static_cast<int>(h * f.height()));
      // The maximum wins where the two bounds conflict.
      if (insetRect.width() < min.width())
        insetRect.setWidth(min.width());
      if (insetRect.height() < min.height())
        insetRect.setHeight(min.height());
      if (insetRect.width() > max.width())
        insetRect.setWidth(max.width());
      if (insetRect.height() > max.height())
        insetRect.setHeight(max.height());
    } else {
      insetRect.setSize(min);
      const Qt::Alignment al = mInsetAlignment.at(i);
      if (al.testFlag(Qt::AlignLeft))
        insetRect.moveLeft(x);
      else if (al.testFlag(Qt::AlignRight))
        insetRect.moveRight(x + w);
      else
        insetRect.moveLeft(static_cast<int>(x + w * 0.5 - min.width() * 0.5));
      if (al.testFlag(Qt::AlignTop))
        insetRect.moveTop(y);
      else if (al.testFlag(Qt::AlignBottom))
        insetRect.moveBottom(y + h);
      else
        insetRect.moveTop(static_cast<int>(y + h * 0.5 - min.height() * 0.5));
    }
    el->setOuterRect(insetRect);
  }
}

PlotLayoutElement *PlotLayoutInset::elementAt(int index) const
{
  if (index >= 0 && index < mElements.size())
    return mElements.at(index);
  return nullptr;
}

PlotLayoutElement *PlotLayoutInset::takeAt(int index)
{
  if (PlotLayoutElement *el = elementAt(index)) {
    releaseElement(el);
    mElements.removeAt(index);
    mInsetPlacement.removeAt(index);
    mInsetAlignment.removeAt(index);
    mInsetRect.removeAt(index);
    return el;
  }
  qDebug() << Q_FUNC_INFO << "Attempt to take invalid index:" << index;
  return nullptr;
}

bool PlotLayoutInset::take(PlotLayoutElement *element)
{
  if (!element) {
    qDebug() << Q_FUNC_INFO << "Can't take null element";
    return false;
  }
  for (int i = 0; i < elementCount(); ++i) {
    if (elementAt(i) == element) {
      takeAt(i);
      return true;
    }
  }
  qDebug() << Q_FUNC_INFO << "Element not in this layout, couldn't take";
  return false;
}

double PlotLayoutInset::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable || !mParentPlot)
    return -1;
  // The empty surface never hides the axis rectangle below it from clicks.
  for (PlotLayoutElement *el : mElements) {
    if (el->realVisibility() && el->selectTest(pos, false, nullptr) >= 0)
      return mParentPlot->selectionTolerance() * 0.99;
  }
  return -1;
}

void PlotLayoutInset::addElement(PlotLayoutElement *element, Qt::Alignment alignment)
{
  if (!element) {
    qDebug() << Q_FUNC_INFO << "Can't add null element";
    return;
  }
  if (PlotLayout *oldLayout = element->layout())
    oldLayout->take(element);
  mElements.append(element);
  mInsetPlacement.append(ipAligned);
  mInsetAlignment.append(alignment);
  mInsetRect.append(QRectF(0.6, 0.6, 0.4, 0.4));
  adoptElement(element);
}

void PlotLayoutInset::addElement(PlotLayoutElement *element, const QRectF &rect)
{
  if (!element) {
    qDebug() << Q_FUNC_INFO << "Can't add null element";
    return;
  }
  if (PlotLayout *oldLayout = element->layout())
    oldLayout->take(element);
  mElements.append(element);
  mInsetPlacement.append(ipRatioRect);
  mInsetAlignment.append(Qt::AlignRight | Qt::AlignTop);
  mInsetRect.append(rect);
  adoptElement(element);
}
