#include "plottitle.h"

#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QFontMetrics>

namespace {
QFont scaledFont(const QFont &base, double factor)
{
  QFont font(base.family());
  // A font set in pixels has no point size (-1): scale its pixel size.
  if (base.pointSize() > 0)
    font.setPointSize(static_cast<int>(base.pointSize() * factor));
  else if (base.pixelSize() > 0)
    font.setPixelSize(static_cast<int>(base.pixelSize() * factor));
  font.setWeight(QFont::Bold);
  return font;
}
} // namespace

PlotTitle::PlotTitle(PlotWidget *parentPlot)
    : PlotLayoutElement(parentPlot), mFont(QStringLiteral("sans serif"), 19, QFont::Bold), mTextColor(Qt::black),
      mSelectedFont(QStringLiteral("sans serif"), 20, QFont::Bold), mSelectedTextColor(Qt::blue), mSelectable(false),
      mSelected(false)
{
  if (parentPlot)
    takeFontsFrom(parentPlot);
  setMargins(QMargins(5, 5, 5, 0));
}

PlotTitle::PlotTitle(PlotWidget *parentPlot, const QString &text)
    : PlotLayoutElement(parentPlot), mText(text), mFont(QStringLiteral("sans serif"), 19, QFont::Bold),
      mTextColor(Qt::black), mSelectedFont(QStringLiteral("sans serif"), 20, QFont::Bold),
      mSelectedTextColor(Qt::blue), mSelectable(false), mSelected(false)
{
  if (parentPlot) {
    takeFontsFrom(parentPlot);
    setLayer(QStringLiteral("axes"));
  } else {
    qDebug() << Q_FUNC_INFO << "null plot";
  }
  setMargins(QMargins(5, 5, 5, 0));
}

void PlotTitle::takeFontsFrom(const PlotWidget *plot)
{
  mFont = scaledFont(plot->font(), 1.5);
  mSelectedFont = scaledFont(plot->font(), 1.6);
}

void PlotTitle::setSelectable(bool selectable)
{
  if (mSelectable == selectable)
    return;
  mSelectable = selectable;
  emit selectableChanged(mSelectable);
}

void PlotTitle::setSelected(bool selected)
{
  if (mSelected == selected)
    return;
  mSelected = selected;
  emit selectionChanged(mSelected);
}

QSize PlotTitle::textExtent() const
{
  return QFontMetrics(mFont).boundingRect(0, 0, 0, 0, Qt::AlignCenter, mText).size();
}

QSize PlotTitle::minimumSizeHint() const
{
  return textExtent() + QSize(mMargins.left() + mMargins.right(), mMargins.top() + mMargins.bottom());
}

QSize PlotTitle::maximumSizeHint() const
{
  return QSize(QWIDGETSIZE_MAX, textExtent().height() + mMargins.top() + mMargins.bottom());
}

void PlotTitle::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiased, Plot::aaNone);
}

void PlotTitle::draw(PlotPainter *painter)
{
  painter->setFont(mainFont());
  painter->setPen(QPen(mainTextColor()));
  painter->drawText(mRect, Qt::AlignCenter, mText, &mTextBoundingRect);
}

double PlotTitle::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  if (!mParentPlot)
    return -1;
  if (mTextBoundingRect.contains(Plot::roundedPoint(pos)))
    return mParentPlot->selectionTolerance() * 0.99;
  return -1;
}

void PlotTitle::selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged)
{
  Q_UNUSED(event)
  Q_UNUSED(details)
  if (!mSelectable)
    return;
  const bool selBefore = mSelected;
  setSelected(additive ? !mSelected : true);
  if (selectionStateChanged)
    *selectionStateChanged = mSelected != selBefore;
}

void PlotTitle::deselectEvent(bool *selectionStateChanged)
{
  if (!mSelectable)
    return;
  const bool selBefore = mSelected;
  setSelected(false);
  if (selectionStateChanged)
    *selectionStateChanged = mSelected != selBefore;
}
