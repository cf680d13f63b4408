#ifndef PLOTITEMMARKER_H
#define PLOTITEMMARKER_H

#include "plotitem.h"

#include <QBrush>
#include <QPen>
#include <QPixmap>
#include <QPointer>

class PlotGraph;

Q_MOC_INCLUDE("plotgraph.h")

// A pixmap at a position, or stretched into the box between two positions
// (mirrored when the box is turned over). The scaled copy is kept and redone
// only when the picture, its size, its flips or its visible part change.
class PlotItemPixmap : public PlotAbstractItem
{
  Q_OBJECT
  Q_PROPERTY(QPixmap pixmap READ pixmap WRITE setPixmap)
  Q_PROPERTY(bool scaled READ scaled WRITE setScaled)
  Q_PROPERTY(Qt::AspectRatioMode aspectRatioMode READ aspectRatioMode)
  Q_PROPERTY(Qt::TransformationMode transformationMode READ transformationMode)
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
public:
  explicit PlotItemPixmap(PlotWidget *parentPlot);
  ~PlotItemPixmap() override;

  QPixmap pixmap() const { return mPixmap; }
  bool scaled() const { return mScaled; }
  Qt::AspectRatioMode aspectRatioMode() const { return mAspectRatioMode; }
  Qt::TransformationMode transformationMode() const { return mTransformationMode; }
  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }

  void setPixmap(const QPixmap &pixmap);
  void setScaled(bool scaled, Qt::AspectRatioMode aspectRatioMode = Qt::KeepAspectRatio,
                 Qt::TransformationMode transformationMode = Qt::SmoothTransformation);
  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  QPen mainPen() const { return mSelected ? mSelectedPen : mPen; }

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  // The pixel rectangle the picture occupies; the flips are reported only
  // when set (callers start them false).
  QRect getFinalRect(bool *flippedHorz = nullptr, bool *flippedVert = nullptr) const;
  // An empty finalRect means the current one, with its flips.
  void updateScaledPixmap(QRect finalRect = QRect(), bool flipHorz = false, bool flipVert = false);

  PlotItemPosition *const topLeft;
  PlotItemPosition *const bottomRight;
  PlotItemAnchor *const top;
  PlotItemAnchor *const topRight;
  PlotItemAnchor *const right;
  PlotItemAnchor *const bottom;
  PlotItemAnchor *const bottomLeft;
  PlotItemAnchor *const left;

protected:
  enum AnchorIndex { aiTop, aiTopRight, aiRight, aiBottom, aiBottomLeft, aiLeft };

  void draw(PlotPainter *painter) override;
  QPointF anchorPixelPoint(int anchorId) const override;

  QPixmap mPixmap;
  QPixmap mScaledPixmap;
  bool mScaled;
  Qt::AspectRatioMode mAspectRatioMode;
  Qt::TransformationMode mTransformationMode;
  QPen mPen, mSelectedPen;

private:
  // What the scaled copy was made for.
  struct CacheKey
  {
    qint64 pixmapKey = 0;
    QRect finalRect, part;
    bool flipHorz = false, flipVert = false;
    bool operator==(const CacheKey &o) const
    {
      return pixmapKey == o.pixmapKey && finalRect == o.finalRect && part == o.part && flipHorz == o.flipHorz &&
             flipVert == o.flipVert;
    }
  };
  CacheKey mCacheKey;
  QRect mScaledPart; // where the scaled copy is drawn
};

// Marks the point of a graph at a key, following the graph's data.
class PlotItemTracer : public PlotAbstractItem
{
  Q_OBJECT
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
  Q_PROPERTY(QBrush brush READ brush WRITE setBrush)
  Q_PROPERTY(QBrush selectedBrush READ selectedBrush WRITE setSelectedBrush)
  Q_PROPERTY(double size READ size WRITE setSize)
  Q_PROPERTY(TracerStyle style READ style WRITE setStyle)
  Q_PROPERTY(PlotGraph *graph READ graph WRITE setGraph)
  Q_PROPERTY(double graphKey READ graphKey WRITE setGraphKey)
  Q_PROPERTY(bool interpolating READ interpolating WRITE setInterpolating)
public:
  enum TracerStyle { tsNone, tsPlus, tsCrosshair, tsCircle, tsSquare, tsTriangle };
  Q_ENUM(TracerStyle)

  explicit PlotItemTracer(PlotWidget *parentPlot);
  ~PlotItemTracer() override;

  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }
  QBrush brush() const { return mBrush; }
  QBrush selectedBrush() const { return mSelectedBrush; }
  double size() const { return mSize; }
  TracerStyle style() const { return mStyle; }
  PlotGraph *graph() const { return mGraph.data(); }
  double graphKey() const { return mGraphKey; }
  bool interpolating() const { return mInterpolating; }

  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  void setBrush(const QBrush &brush) { mBrush = brush; }
  void setSelectedBrush(const QBrush &brush) { mSelectedBrush = brush; }
  void setSize(double size) { mSize = size; }
  void setStyle(PlotItemTracer::TracerStyle style) { mStyle = style; }
  void setGraph(PlotGraph *graph);
  void setGraphKey(double key) { mGraphKey = key; }
  void setInterpolating(bool enabled) { mInterpolating = enabled; }
  QPen mainPen() const { return mSelected ? mSelectedPen : mPen; }
  QBrush mainBrush() const { return mSelected ? mSelectedBrush : mBrush; }

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  void updatePosition();

  PlotItemPosition *const position;

protected:
  void draw(PlotPainter *painter) override;

  QPen mPen, mSelectedPen;
  QBrush mBrush, mSelectedBrush;
  double mSize;
  TracerStyle mStyle;
  // Guarded: a graph deleted behind the tracer's back reads as gone.
  QPointer<PlotGraph> mGraph;
  bool mHasGraph;
  double mGraphKey;
  bool mInterpolating;
};

// A bracket between two positions: square, round, curly or a filled
// calligraphic brace.
class PlotItemBracket : public PlotAbstractItem
{
  Q_OBJECT
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
  Q_PROPERTY(double length READ length WRITE setLength)
  Q_PROPERTY(BracketStyle style READ style WRITE setStyle)
public:
  enum BracketStyle { bsSquare, bsRound, bsCurly, bsCalligraphic };
  Q_ENUM(BracketStyle)

  explicit PlotItemBracket(PlotWidget *parentPlot);
  ~PlotItemBracket() override;

  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }
  double length() const { return mLength; }
  BracketStyle style() const { return mStyle; }
  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  void setLength(double length) { mLength = length; }
  void setStyle(PlotItemBracket::BracketStyle style) { mStyle = style; }
  QPen mainPen() const { return mSelected ? mSelectedPen : mPen; }

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  PlotItemPosition *const left;
  PlotItemPosition *const right;
  PlotItemAnchor *const center;

protected:
  enum AnchorIndex { aiCenter };

  void draw(PlotPainter *painter) override;
  QPointF anchorPixelPoint(int anchorId) const override;

  QPen mPen, mSelectedPen;
  double mLength;
  BracketStyle mStyle;
};

#endif // PLOTITEMMARKER_H
