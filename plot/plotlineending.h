#ifndef PLOTLINEENDING_H
#define PLOTLINEENDING_H

#include <QMetaType>
#include <QObject>
#include <QVector2D>

class PlotPainter;

// The decoration at one end of a line: arrow heads, disc, square, diamond or
// bar. Axes carry one at each end of their base line, line items a head and a
// tail. Geometry is computed in single precision.
class PlotLineEnding
{
  Q_GADGET
public:
  // A fixed underlying type keeps values outside the list well-defined (they draw nothing).
  enum EndingStyle : int {
    esNone,
    esFlatArrow,
    esSpikeArrow,
    esLineArrow,
    esDisc,
    esSquare,
    esDiamond,
    esBar,
    esHalfBar,
    esSkewedBar
  };
  Q_ENUM(EndingStyle)

  PlotLineEnding();
  PlotLineEnding(EndingStyle style, double width = 8, double length = 10, bool inverted = false);

  EndingStyle style() const { return mStyle; }
  double width() const { return mWidth; }
  double length() const { return mLength; }
  bool inverted() const { return mInverted; }

  void setStyle(EndingStyle style) { mStyle = style; }
  void setWidth(double width) { mWidth = width; }
  void setLength(double length) { mLength = length; }
  void setInverted(bool inverted) { mInverted = inverted; }

  // Greatest distance from the drawing point the ending can cover.
  double boundingDistance() const;
  // How far the body reaches back from the drawing point along the line.
  double realLength() const;

  // Paints the ending with its tip at pos, pointing along dir.
  void draw(PlotPainter *painter, const QVector2D &pos, const QVector2D &dir) const;
  // The same with the direction given as an angle in radians (pixel coordinates).
  void draw(PlotPainter *painter, const QVector2D &pos, double angle) const;

private:
  EndingStyle mStyle;
  double mWidth, mLength;
  bool mInverted;
};
Q_DECLARE_TYPEINFO(PlotLineEnding, Q_MOVABLE_TYPE);
Q_DECLARE_METATYPE(PlotLineEnding)

#endif // PLOTLINEENDING_H
