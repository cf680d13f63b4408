#ifndef PLOTSCATTERSTYLE_H
#define PLOTSCATTERSTYLE_H

#include <QBrush>
#include <QColor>
#include <QMetaType>
#include <QObject>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QPointF>

class PlotPainter;

// The symbol drawn at each data point of a plottable and in its legend icon.
// A plottable calls applyTo once, then drawShape once per point.
class PlotScatterStyle
{
  Q_GADGET
public:
  // A fixed underlying type keeps values outside the list well-defined (they draw nothing).
  enum ScatterShape : int {
    ssNone,
    ssDot,
    ssCross,
    ssPlus,
    ssCircle,
    ssDisc,
    ssSquare,
    ssDiamond,
    ssStar,
    ssTriangle,
    ssTriangleInverted,
    ssCrossSquare,
    ssPlusSquare,
    ssCrossCircle,
    ssPlusCircle,
    ssPeace,
    ssPixmap,
    ssCustom
  };
  Q_ENUM(ScatterShape)

  PlotScatterStyle();
  PlotScatterStyle(ScatterShape shape, double size = 6);
  PlotScatterStyle(ScatterShape shape, const QColor &color, double size);
  PlotScatterStyle(ScatterShape shape, const QColor &color, const QColor &fill, double size);
  PlotScatterStyle(ScatterShape shape, const QPen &pen, const QBrush &brush, double size);
  PlotScatterStyle(const QPixmap &pixmap);
  PlotScatterStyle(const QPainterPath &customPath, const QPen &pen, const QBrush &brush = Qt::NoBrush,
                   double size = 6);

  double size() const { return mSize; }
  ScatterShape shape() const { return mShape; }
  QPen pen() const { return mPen; }
  QBrush brush() const { return mBrush; }
  QPixmap pixmap() const { return mPixmap; }
  QPainterPath customPath() const { return mCustomPath; }
  bool isPenDefined() const { return mPenDefined; }
  bool isNone() const { return mShape == ssNone; }

  void setSize(double size) { mSize = size; }
  void setShape(ScatterShape shape) { mShape = shape; }
  void setPen(const QPen &pen);
  void setBrush(const QBrush &brush) { mBrush = brush; }
  void setPixmap(const QPixmap &pixmap);
  void setCustomPath(const QPainterPath &customPath);

  // Sets the painter's pen (the style's own when defined, else defaultPen) and brush.
  void applyTo(PlotPainter *painter, const QPen &defaultPen) const;
  // Draws one symbol centred on the position with the painter's current pen and brush.
  void drawShape(PlotPainter *painter, QPointF pos) const;
  void drawShape(PlotPainter *painter, double x, double y) const;

private:
  double mSize;
  ScatterShape mShape;
  QPen mPen;
  QBrush mBrush;
  QPixmap mPixmap;
  QPainterPath mCustomPath;
  bool mPenDefined;
};
Q_DECLARE_TYPEINFO(PlotScatterStyle, Q_MOVABLE_TYPE);
Q_DECLARE_METATYPE(PlotScatterStyle)

#endif // PLOTSCATTERSTYLE_H
