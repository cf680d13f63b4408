#ifndef PLOTCOLORMAP_H
#define PLOTCOLORMAP_H

#include "plotcolorgradient.h"
#include "plotcolorscale.h"
#include "plotplottable.h"
#include "plotrange.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>

// A regular grid of values: cell (k, v) is centred on key k / (keySize - 1) of
// the key range and likewise for values; the key index runs fastest in
// storage. The data bounds only widen on writes until recalculated; NaN cells
// never enter them.
class PlotColorMapData
{
public:
  PlotColorMapData(int keySize, int valueSize, const PlotRange &keyRange, const PlotRange &valueRange);
  ~PlotColorMapData();
  PlotColorMapData(const PlotColorMapData &other);
  PlotColorMapData &operator=(const PlotColorMapData &other);

  int keySize() const { return mKeySize; }
  int valueSize() const { return mValueSize; }
  PlotRange keyRange() const { return mKeyRange; }
  PlotRange valueRange() const { return mValueRange; }
  PlotRange dataBounds() const { return mDataBounds; }
  // Cells exist exactly when the grid is not empty.
  bool isEmpty() const { return mIsEmpty; }
  double data(double key, double value);
  double cell(int keyIndex, int valueIndex);

  // Negative sizes count as 0. A grid that cannot be allocated is refused
  // with a debug line and leaves the grid empty (0 x 0).
  void setSize(int keySize, int valueSize);
  void setKeySize(int keySize);
  void setValueSize(int valueSize);
  // Only place the image; stored as given.
  void setRange(const PlotRange &keyRange, const PlotRange &valueRange);
  void setKeyRange(const PlotRange &keyRange);
  void setValueRange(const PlotRange &valueRange);
  // Coordinates outside the grid change nothing.
  void setData(double key, double value, double z);
  void setCell(int keyIndex, int valueIndex, double z);

  void clear();
  void fill(double z);
  void recalculateDataBounds();

  // A size-1 dimension maps every finite coordinate to index 0; a coordinate
  // that is not finite, or lies below the grid, gives -1, one beyond it the
  // size.
  void coordToCell(double key, double value, int *keyIndex, int *valueIndex) const;
  void cellToCoord(int keyIndex, int valueIndex, double *key, double *value) const;

protected:
  int mKeySize, mValueSize;
  PlotRange mKeyRange, mValueRange;
  bool mIsEmpty;
  double *mData;
  PlotRange mDataBounds;
  bool mDataModified;

private:
  // Index of the cell holding (key, value), -1 when outside the grid.
  qsizetype cellIndexAt(double key, double value) const;
  void widenBounds(double z);

  friend class PlotColorMap;
};

// Colours a PlotColorMapData through a gradient over its data range and
// stretches the image over the grid's key and value ranges. The image is a
// cache rebuilt only after the data or a colouring parameter changed.
class PlotColorMap : public PlotAbstractPlottable
{
  Q_OBJECT
  Q_PROPERTY(PlotRange dataRange READ dataRange WRITE setDataRange NOTIFY dataRangeChanged)
  Q_PROPERTY(PlotAxis::ScaleType dataScaleType READ dataScaleType WRITE setDataScaleType NOTIFY dataScaleTypeChanged)
  Q_PROPERTY(PlotColorGradient gradient READ gradient WRITE setGradient NOTIFY gradientChanged)
  Q_PROPERTY(bool interpolate READ interpolate WRITE setInterpolate)
  Q_PROPERTY(bool tightBoundary READ tightBoundary WRITE setTightBoundary)
  Q_PROPERTY(PlotColorScale *colorScale READ colorScale WRITE setColorScale)
public:
  explicit PlotColorMap(PlotAxis *keyAxis, PlotAxis *valueAxis);
  ~PlotColorMap() override;

  // The map's own data object; never null.
  PlotColorMapData *data() const { return mMapData; }
  PlotRange dataRange() const { return mDataRange; }
  PlotAxis::ScaleType dataScaleType() const { return mDataScaleType; }
  PlotColorGradient gradient() const { return mGradient; }
  bool interpolate() const { return mInterpolate; }
  bool tightBoundary() const { return mTightBoundary; }
  PlotColorScale *colorScale() const { return mColorScale.data(); }

  // copy true: the map's data object takes a copy of *data. copy false: the
  // map deletes its data object and owns data from now on.
  void setData(PlotColorMapData *data, bool copy = false);
  Q_SLOT void setDataRange(const PlotRange &dataRange);
  Q_SLOT void setDataScaleType(PlotAxis::ScaleType scaleType);
  Q_SLOT void setGradient(const PlotColorGradient &gradient);
  void setInterpolate(bool enabled);
  void setTightBoundary(bool enabled);
  // Links the map to a scale (null unlinks): the map takes the scale's
  // gradient, data range and scale type, and from then on both follow each
  // other.
  void setColorScale(PlotColorScale *colorScale);

  void rescaleDataRange(bool recalculateDataBounds = false);
  Q_SLOT void updateLegendIcon(Qt::TransformationMode transformMode = Qt::SmoothTransformation,
                               const QSize &thumbSize = QSize(32, 18));

  void clearData() override;
  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  void drawLegendIcon(PlotPainter *painter, const QRectF &rect) const override;
  PlotRange getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;
  PlotRange getValueRange(bool &foundRange,
                          PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;

  // The map image as last built; null before the first build.
  QImage mapImage() const { return mMapImage; }

signals:
  void dataRangeChanged(const PlotRange &newRange);
  void dataScaleTypeChanged(PlotAxis::ScaleType scaleType);
  void gradientChanged(const PlotColorGradient &newGradient);

protected:
  void draw(PlotPainter *painter) override;
  virtual void updateMapImage();

  PlotRange mDataRange;
  PlotAxis::ScaleType mDataScaleType;
  PlotColorMapData *mMapData;
  PlotColorGradient mGradient;
  bool mInterpolate;
  bool mTightBoundary;
  QPointer<PlotColorScale> mColorScale;
  QImage mMapImage, mUndersampledMapImage;
  QPixmap mLegendIcon;
  bool mMapImageInvalidated;

private:
  void linkScale(bool connectSignals);
  // The image's mirroring that follows reversed axes.
  void mirroring(bool *horizontal, bool *vertical) const;

  Q_DISABLE_COPY(PlotColorMap)
};

#endif // PLOTCOLORMAP_H
