#ifndef PLOT_TEST_PAINTRECORDER_H
#define PLOT_TEST_PAINTRECORDER_H

#include <QBrush>
#include <QFont>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>

// A paint device that records what is painted on it, in device coordinates,
// so that tests can check geometry exactly instead of guessing from pixels.
struct PaintOp
{
  enum Kind { Line, Polyline, Polygon, Ellipse, Rect, Path, Pixmap, Text };
  Kind kind;
  QList<QPointF> points; // lines: two per line; polygons: the corners
  QRectF rect;           // ellipses, rects, pixmaps: the target rectangle; paths: bounding rect
  QString text;
  QPen pen;
  QBrush brush;
  bool antialiased;
  bool clipped;
  QRectF clipRect; // device coordinates
  QSize pixmapSize;
  QTransform transform; // the painter's transform at the time
  QFont font;
};

class PaintRecorderEngine : public QPaintEngine
{
public:
  PaintRecorderEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

  bool begin(QPaintDevice *) override
  {
    // Each painter starts from the defaults; nothing carries over from the last one.
    mTransform = QTransform();
    mPen = QPen();
    mBrush = QBrush();
    mAntialiased = false;
    mClipped = false;
    mClipRect = QRectF();
    mFont = QFont();
    return true;
  }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }

  void updateState(const QPaintEngineState &state) override
  {
    const auto dirty = state.state();
    if (dirty & DirtyTransform)
      mTransform = state.transform();
    if (dirty & DirtyPen)
      mPen = state.pen();
    if (dirty & DirtyBrush)
      mBrush = state.brush();
    if (dirty & DirtyFont)
      mFont = state.font();
    if (dirty & DirtyHints)
      mAntialiased = state.renderHints().testFlag(QPainter::Antialiasing);
    if (dirty & (DirtyClipPath | DirtyClipRegion | DirtyClipEnabled)) {
      mClipped = state.isClipEnabled() && painter()->hasClipping();
      if (mClipped)
        mClipRect = painter()->combinedTransform().mapRect(painter()->clipBoundingRect());
    }
  }

  void drawLines(const QLineF *lines, int lineCount) override
  {
    for (int i = 0; i < lineCount; ++i) {
      PaintOp op = makeOp(PaintOp::Line);
      op.points << mTransform.map(lines[i].p1()) << mTransform.map(lines[i].p2());
      ops.append(op);
    }
  }
  void drawLines(const QLine *lines, int lineCount) override
  {
    for (int i = 0; i < lineCount; ++i) {
      const QLineF line(lines[i]);
      drawLines(&line, 1);
    }
  }
  void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override
  {
    PaintOp op = makeOp(mode == PolylineMode ? PaintOp::Polyline : PaintOp::Polygon);
    for (int i = 0; i < pointCount; ++i)
      op.points << mTransform.map(points[i]);
    ops.append(op);
  }
  void drawPolygon(const QPoint *points, int pointCount, PolygonDrawMode mode) override
  {
    QList<QPointF> converted;
    for (int i = 0; i < pointCount; ++i)
      converted << QPointF(points[i]);
    drawPolygon(converted.constData(), pointCount, mode);
  }
  void drawEllipse(const QRectF &rect) override
  {
    PaintOp op = makeOp(PaintOp::Ellipse);
    op.rect = mTransform.mapRect(rect);
    ops.append(op);
  }
  void drawEllipse(const QRect &rect) override { drawEllipse(QRectF(rect)); }
  void drawRects(const QRectF *rects, int rectCount) override
  {
    for (int i = 0; i < rectCount; ++i) {
      PaintOp op = makeOp(PaintOp::Rect);
      op.rect = mTransform.mapRect(rects[i]);
      ops.append(op);
    }
  }
  void drawRects(const QRect *rects, int rectCount) override
  {
    for (int i = 0; i < rectCount; ++i) {
      const QRectF rect(rects[i]);
      drawRects(&rect, 1);
    }
  }
  void drawPath(const QPainterPath &path) override
  {
    PaintOp op = makeOp(PaintOp::Path);
    const QPainterPath mapped = mTransform.map(path);
    for (int i = 0; i < mapped.elementCount(); ++i)
      op.points << QPointF(mapped.elementAt(i));
    op.rect = mapped.boundingRect();
    ops.append(op);
  }
  void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &) override
  {
    PaintOp op = makeOp(PaintOp::Pixmap);
    op.rect = mTransform.mapRect(rect);
    op.pixmapSize = pixmap.size();
    ops.append(op);
  }
  void drawTextItem(const QPointF &position, const QTextItem &textItem) override
  {
    PaintOp op = makeOp(PaintOp::Text);
    op.points << mTransform.map(position);
    op.text = textItem.text();
    ops.append(op);
  }

  QList<PaintOp> ops;

private:
  PaintOp makeOp(PaintOp::Kind kind) const
  {
    PaintOp op;
    op.kind = kind;
    op.pen = mPen;
    op.brush = mBrush;
    op.antialiased = mAntialiased;
    op.clipped = mClipped;
    op.clipRect = mClipRect;
    op.transform = mTransform;
    op.font = mFont;
    return op;
  }

  QTransform mTransform;
  QPen mPen;
  QBrush mBrush;
  bool mAntialiased = false;
  bool mClipped = false;
  QRectF mClipRect;
  QFont mFont;
};

class PaintRecorder : public QPaintDevice
{
public:
  PaintRecorder(int width = 400, int height = 300) : mWidth(width), mHeight(height) {}
  ~PaintRecorder() override = default;

  QPaintEngine *paintEngine() const override { return &mEngine; }
  QList<PaintOp> &ops() const { return mEngine.ops; }
  QList<PaintOp> opsOfKind(PaintOp::Kind kind) const
  {
    QList<PaintOp> result;
    for (const PaintOp &op : std::as_const(mEngine.ops))
      if (op.kind == kind)
        result.append(op);
    return result;
  }
  QStringList texts() const
  {
    QStringList result;
    for (const PaintOp &op : opsOfKind(PaintOp::Text))
      result.append(op.text);
    return result;
  }
  void clear() { mEngine.ops.clear(); }

protected:
  int metric(PaintDeviceMetric metric) const override
  {
    switch (metric) {
    case PdmWidth:
      return mWidth;
    case PdmHeight:
      return mHeight;
    case PdmWidthMM:
      return mWidth * 254 / 960;
    case PdmHeightMM:
      return mHeight * 254 / 960;
    case PdmNumColors:
      return 0;
    case PdmDepth:
      return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
      return 96;
    case PdmDevicePixelRatio:
      return 1;
    case PdmDevicePixelRatioScaled:
      return int(QPaintDevice::devicePixelRatioFScale());
    }
    return 0;
  }

private:
  int mWidth, mHeight;
  mutable PaintRecorderEngine mEngine;
};

#endif // PLOT_TEST_PAINTRECORDER_H
