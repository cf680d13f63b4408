#ifndef PLOTGRID_H
#define PLOTGRID_H

#include "plotlayer.h"

#include <QPen>

class PlotAxis;
class PlotPainter;

// The grid lines of one axis across its axis rectangle: a line at every
// visible tick, optionally a sub-grid at the sub-ticks, and a distinct zero
// line where the range spans zero. Owned by its axis.
class PlotGrid : public PlotLayerable
{
  Q_OBJECT
  Q_PROPERTY(bool subGridVisible READ subGridVisible WRITE setSubGridVisible)
  Q_PROPERTY(bool antialiasedSubGrid READ antialiasedSubGrid WRITE setAntialiasedSubGrid)
  Q_PROPERTY(bool antialiasedZeroLine READ antialiasedZeroLine WRITE setAntialiasedZeroLine)
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen subGridPen READ subGridPen WRITE setSubGridPen)
  Q_PROPERTY(QPen zeroLinePen READ zeroLinePen WRITE setZeroLinePen)
public:
  explicit PlotGrid(PlotAxis *parentAxis);

  bool subGridVisible() const { return mSubGridVisible; }
  bool antialiasedSubGrid() const { return mAntialiasedSubGrid; }
  bool antialiasedZeroLine() const { return mAntialiasedZeroLine; }
  QPen pen() const { return mPen; }
  QPen subGridPen() const { return mSubGridPen; }
  QPen zeroLinePen() const { return mZeroLinePen; }
  PlotAxis *parentAxis() const { return mParentAxis; }

  void setSubGridVisible(bool visible) { mSubGridVisible = visible; }
  void setAntialiasedSubGrid(bool enabled) { mAntialiasedSubGrid = enabled; }
  void setAntialiasedZeroLine(bool enabled) { mAntialiasedZeroLine = enabled; }
  void setPen(const QPen &pen) { mPen = pen; }
  void setSubGridPen(const QPen &pen) { mSubGridPen = pen; }
  // Qt::NoPen switches the zero line off.
  void setZeroLinePen(const QPen &pen) { mZeroLinePen = pen; }

protected:
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void draw(PlotPainter *painter) override;

  void drawGridLines(PlotPainter *painter) const;
  void drawSubGridLines(PlotPainter *painter) const;

  bool mSubGridVisible;
  bool mAntialiasedSubGrid, mAntialiasedZeroLine;
  QPen mPen, mSubGridPen, mZeroLinePen;
  PlotAxis *mParentAxis;

private:
  QLineF lineAt(double pixel) const;
};

#endif // PLOTGRID_H
