#ifndef PLOTITEMLINE_H
#define PLOTITEMLINE_H

#include "plotitem.h"
#include "plotlineending.h"

#include <QLineF>
#include <QPen>
#include <QVector2D>

// The infinite straight line through two positions, cut to the visible
// rectangle. A click anywhere near the line, also beyond the clip
// rectangle, hits it.
class PlotItemStraightLine : public PlotAbstractItem
{
  Q_OBJECT
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
public:
  explicit PlotItemStraightLine(PlotWidget *parentPlot);
  ~PlotItemStraightLine() override;

  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }
  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  QPen mainPen() const;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  // Distance of point from the line through base along direction; for a
  // direction of zero length, the distance from base.
  double distToStraightLine(const QVector2D &base, const QVector2D &direction, const QVector2D &point) const;
  // The piece of the line through base along direction inside rect, or a null
  // line.
  QLineF getRectClippedStraightLine(const QVector2D &base, const QVector2D &direction, const QRect &rect) const;

  PlotItemPosition *const point1;
  PlotItemPosition *const point2;

protected:
  void draw(PlotPainter *painter) override;

  QPen mPen, mSelectedPen;
};

// The segment between two positions, with an optional line ending at either
// end (tail at the start, head at the end).
class PlotItemLine : public PlotAbstractItem
{
  Q_OBJECT
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
  Q_PROPERTY(PlotLineEnding head READ head WRITE setHead)
  Q_PROPERTY(PlotLineEnding tail READ tail WRITE setTail)
public:
  explicit PlotItemLine(PlotWidget *parentPlot);
  ~PlotItemLine() override;

  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }
  PlotLineEnding head() const { return mHead; }
  PlotLineEnding tail() const { return mTail; }
  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  void setHead(const PlotLineEnding &head) { mHead = head; }
  void setTail(const PlotLineEnding &tail) { mTail = tail; }
  QPen mainPen() const;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  // The piece of the segment from start to end inside rect, or a null line.
  QLineF getRectClippedLine(const QVector2D &start, const QVector2D &end, const QRect &rect) const;

  PlotItemPosition *const start;
  PlotItemPosition *const end;

protected:
  void draw(PlotPainter *painter) override;

  QPen mPen, mSelectedPen;
  PlotLineEnding mHead, mTail;
};

#endif // PLOTITEMLINE_H
