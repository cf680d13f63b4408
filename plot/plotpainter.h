#ifndef PLOTPAINTER_H
#define PLOTPAINTER_H

#include <QPainter>
#include <QStack>

// The drawing context handed to every layerable. It tracks antialiasing with a
// half-pixel shift for raster output, rounds lines to whole pixels when not
// antialiased and can widen zero-width (cosmetic) pens.
class PlotPainter : public QPainter
{
  Q_GADGET
public:
  enum PainterMode {
    pmDefault = 0x00,
    pmVectorized = 0x01,  // vector device: no half-pixel shift, no line rounding
    pmNoCaching = 0x02,   // no pixmap caches (export)
    pmNonCosmetic = 0x04  // zero-width pens become width 1
  };
  Q_ENUM(PainterMode)
  Q_DECLARE_FLAGS(PainterModes, PainterMode)
  Q_FLAG(PainterModes)

  PlotPainter();
  explicit PlotPainter(QPaintDevice *device);

  bool antialiasing() const { return mIsAntialiasing; }
  PainterModes modes() const { return mModes; }

  void setAntialiasing(bool enabled);
  void setMode(PainterMode mode, bool enabled = true);
  void setModes(PainterModes modes);

  bool begin(QPaintDevice *device);
  void setPen(const QPen &pen);
  void setPen(const QColor &color);
  void setPen(Qt::PenStyle penStyle);
  using QPainter::drawLine;
  void drawLine(const QLineF &line);
  void drawLine(const QPointF &p1, const QPointF &p2) { drawLine(QLineF(p1, p2)); }
  void save();
  void restore();

  void makeNonCosmetic();

private:
  PainterModes mModes;
  bool mIsAntialiasing;
  QStack<bool> mAntialiasingStack;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(PlotPainter::PainterModes)

#endif // PLOTPAINTER_H
