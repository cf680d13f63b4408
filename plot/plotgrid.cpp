#include "plotgrid.h"

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotpainter.h"

#include <QDebug>
#include <cmath>

PlotGrid::PlotGrid(PlotAxis *parentAxis)
    : PlotLayerable(parentAxis ? parentAxis->parentPlot() : nullptr, QString(), parentAxis),
      mSubGridVisible(false), mAntialiasedSubGrid(false), mAntialiasedZeroLine(false), mParentAxis(parentAxis)
{
  // Destroyed with its axis.
  setParent(parentAxis);
  setPen(QPen(QBrush(QColor(200, 200, 200)), 0, Qt::DotLine, Qt::SquareCap, Qt::BevelJoin));
  setSubGridPen(QPen(QColor(220, 220, 220), 0, Qt::DotLine));
  setZeroLinePen(QPen(QColor(200, 200, 200), 0, Qt::SolidLine));
  setSubGridVisible(false);
  setAntialiased(false);
  setAntialiasedSubGrid(false);
  setAntialiasedZeroLine(false);
}

void PlotGrid::applyDefaultAntialiasingHint(PlotPainter *painter) const
{
  applyAntialiasingHint(painter, mAntialiased, Plot::aaGrid);
}

void PlotGrid::draw(PlotPainter *painter)
{
  if (!mParentAxis) {
    qDebug() << Q_FUNC_INFO << "invalid parent axis";
    return;
  }
  // A data area with no room has no place for grid lines.
  const PlotAxisRect *rect = mParentAxis->axisRect();
  if (rect && rect->rect().isEmpty())
    return;
  if (mSubGridVisible)
    drawSubGridLines(painter);
  drawGridLines(painter);
}

QLineF PlotGrid::lineAt(double pixel) const
{
  const QRect r = mParentAxis->axisRect() ? mParentAxis->axisRect()->rect() : QRect();
  if (mParentAxis->orientation() == Qt::Horizontal)
    return QLineF(pixel, r.bottom(), pixel, r.top());
  return QLineF(r.left(), pixel, r.right(), pixel);
}

void PlotGrid::drawGridLines(PlotPainter *painter) const
{
  if (!mParentAxis) {
    qDebug() << Q_FUNC_INFO << "invalid parent axis";
    return;
  }
  const QList<double> &ticks = mParentAxis->mTickVector;
  const int first = qMax(0, mParentAxis->mLowestVisibleTick);
  const int last = qMin(mParentAxis->mHighestVisibleTick, int(ticks.size()) - 1);
  const PlotRange range = mParentAxis->range();

  // At most one zero line, and only where the range spans zero.
  int zeroLineIndex = -1;
  if (mZeroLinePen.style() != Qt::NoPen && range.lower < 0 && range.upper > 0) {
    applyAntialiasingHint(painter, mAntialiasedZeroLine, Plot::aaZeroLine);
    painter->setPen(mZeroLinePen);
    const double epsilon = range.size() * 1e-6;
    for (int i = first; i <= last; ++i) {
      if (std::fabs(ticks.at(i)) < epsilon) {
        zeroLineIndex = i;
        painter->drawLine(lineAt(mParentAxis->coordToPixel(ticks.at(i))));
        break;
      }
    }
  }

  applyDefaultAntialiasingHint(painter);
  painter->setPen(mPen);
  for (int i = first; i <= last; ++i) {
    if (i != zeroLineIndex)
      painter->drawLine(lineAt(mParentAxis->coordToPixel(ticks.at(i))));
  }
}

void PlotGrid::drawSubGridLines(PlotPainter *painter) const
{
  if (!mParentAxis) {
    qDebug() << Q_FUNC_INFO << "invalid parent axis";
    return;
  }
  applyAntialiasingHint(painter, mAntialiasedSubGrid, Plot::aaSubGrid);
  painter->setPen(mSubGridPen);
  for (double subTick : std::as_const(mParentAxis->mSubTickVector))
    painter->drawLine(lineAt(mParentAxis->coordToPixel(subTick)));
}
