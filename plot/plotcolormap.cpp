#include "plotcolormap.h"

#include "plotaxisrect.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {
// Cell counts, image rows and colouring runs are ints; a larger grid is
// refused before anything is allocated.
constexpr qint64 kMaxCells = std::numeric_limits<int>::max();
// Largest buffer, in pixels, for painting onto a vector device (64 MiB).
constexpr double kMaxBufferPixels = 16.0 * 1024 * 1024;
constexpr double kBufferScale = 3.0;

// Cell index along one dimension, -1 below the grid or not finite, size
// beyond it; the cut toward zero keeps the lower half cell beyond index 0.
int indexAlong(double coord, const PlotRange &range, int size)
{
  if (!std::isfinite(coord) || size <= 0)
    return -1;
  if (size == 1)
    return 0;
  const double index = (coord - range.lower) / (range.upper - range.lower) * (size - 1) + 0.5;
  if (std::isnan(index) || index <= -1.0)
    return -1;
  if (index >= size)
    return size;
  return int(index);
}

double coordAlong(int index, const PlotRange &range, int size)
{
  if (size < 2)
    return range.lower;
  return index / double(size - 1) * (range.upper - range.lower) + range.lower;
}

PlotRange rangeInDomain(PlotRange range, bool &foundRange, PlotAbstractPlottable::SignDomain domain)
{
  foundRange = std::isfinite(range.lower) && std::isfinite(range.upper);
  range.normalize();
  if (domain == PlotAbstractPlottable::sdPositiveOnly) {
    if (range.lower <= 0 && range.upper > 0)
      range.lower = range.upper * 1e-3;
    else if (range.lower <= 0 && range.upper <= 0)
      foundRange = false;
  } else if (domain == PlotAbstractPlottable::sdNegativeOnly) {
    if (range.upper >= 0 && range.lower < 0)
      range.upper = range.lower * 1e-3;
    else if (range.upper >= 0 && range.lower >= 0)
      foundRange = false;
  }
  return range;
}
} // namespace

// ---------------------------------------------------------------------------
// PlotColorMapData

PlotColorMapData::PlotColorMapData(int keySize, int valueSize, const PlotRange &keyRange, const PlotRange &valueRange)
    : mKeySize(0), mValueSize(0), mKeyRange(keyRange), mValueRange(valueRange), mIsEmpty(true), mData(nullptr),
      mDataModified(true)
{
  setSize(keySize, valueSize);
  fill(0);
}

PlotColorMapData::~PlotColorMapData()
{
  delete[] mData;
}

PlotColorMapData::PlotColorMapData(const PlotColorMapData &other)
    : mKeySize(0), mValueSize(0), mIsEmpty(true), mData(nullptr), mDataModified(true)
{
  *this = other;
}

PlotColorMapData &PlotColorMapData::operator=(const PlotColorMapData &other)
{
  if (&other == this)
    return *this;
  setSize(other.mKeySize, other.mValueSize);
  setRange(other.mKeyRange, other.mValueRange);
  // A copy the allocation refused stays empty.
  if (!mIsEmpty && mKeySize == other.mKeySize && mValueSize == other.mValueSize)
    std::copy(other.mData, other.mData + qsizetype(mKeySize) * mValueSize, mData);
  mDataBounds = other.mDataBounds;
  mDataModified = true;
  return *this;
}

qsizetype PlotColorMapData::cellIndexAt(double key, double value) const
{
  if (mIsEmpty)
    return -1;
  const int k = indexAlong(key, mKeyRange, mKeySize);
  const int v = indexAlong(value, mValueRange, mValueSize);
  if (k < 0 || k >= mKeySize || v < 0 || v >= mValueSize)
    return -1;
  return qsizetype(v) * mKeySize + k;
}

double PlotColorMapData::data(double key, double value)
{
  const qsizetype i = cellIndexAt(key, value);
  return i < 0 ? 0 : mData[i];
}

double PlotColorMapData::cell(int keyIndex, int valueIndex)
{
  if (mIsEmpty || keyIndex < 0 || keyIndex >= mKeySize || valueIndex < 0 || valueIndex >= mValueSize)
    return 0;
  return mData[qsizetype(valueIndex) * mKeySize + keyIndex];
}

void PlotColorMapData::setSize(int keySize, int valueSize)
{
  keySize = std::max(keySize, 0);
  valueSize = std::max(valueSize, 0);
  if (keySize == mKeySize && valueSize == mValueSize)
    return;
  delete[] mData;
  mData = nullptr;
  mKeySize = keySize;
  mValueSize = valueSize;
  mIsEmpty = mKeySize == 0 || mValueSize == 0;
  if (!mIsEmpty) {
    const qint64 cells = qint64(mKeySize) * mValueSize;
    if (cells <= kMaxCells)
      mData = new (std::nothrow) double[size_t(cells)];
    if (mData) {
      fill(0);
    } else {
      qDebug() << Q_FUNC_INFO << "out of memory for data dimensions " << mKeySize << "*" << mValueSize;
      // No cells, so nothing may reach them: the grid is empty.
      mKeySize = 0;
      mValueSize = 0;
      mIsEmpty = true;
    }
  }
  mDataModified = true;
}

void PlotColorMapData::setKeySize(int keySize)
{
  setSize(keySize, mValueSize);
}

void PlotColorMapData::setValueSize(int valueSize)
{
  setSize(mKeySize, valueSize);
}

void PlotColorMapData::setRange(const PlotRange &keyRange, const PlotRange &valueRange)
{
  mKeyRange = keyRange;
  mValueRange = valueRange;
}

void PlotColorMapData::setKeyRange(const PlotRange &keyRange)
{
  mKeyRange = keyRange;
}

void PlotColorMapData::setValueRange(const PlotRange &valueRange)
{
  mValueRange = valueRange;
}

void PlotColorMapData::widenBounds(double z)
{
  // A NaN compares false and so never enters the bounds.
  if (z < mDataBounds.lower)
    mDataBounds.lower = z;
  if (z > mDataBounds.upper)
    mDataBounds.upper = z;
}

void PlotColorMapData::setData(double key, double value, double z)
{
  const qsizetype i = cellIndexAt(key, value);
  if (i < 0)
    return;
  mData[i] = z;
  widenBounds(z);
  mDataModified = true;
}

void PlotColorMapData::setCell(int keyIndex, int valueIndex, double z)
{
  if (mIsEmpty || keyIndex < 0 || keyIndex >= mKeySize || valueIndex < 0 || valueIndex >= mValueSize)
    return;
  mData[qsizetype(valueIndex) * mKeySize + keyIndex] = z;
  widenBounds(z);
  mDataModified = true;
}

void PlotColorMapData::clear()
{
  setSize(0, 0);
}

void PlotColorMapData::fill(double z)
{
  if (mData)
    std::fill(mData, mData + qsizetype(mKeySize) * mValueSize, z);
  // NaN bounds would stop every later write from widening them.
  if (!std::isnan(z))
    mDataBounds = PlotRange(z, z);
  mDataModified = true;
}

void PlotColorMapData::recalculateDataBounds()
{
  if (mIsEmpty)
    return;
  const double *end = mData + qsizetype(mKeySize) * mValueSize;
  const double *p = std::find_if(static_cast<const double *>(mData), end, [](double z) { return !std::isnan(z); });
  if (p == end)
    return; // nothing but NaN: no bounds to find
  double minimum = *p, maximum = *p;
  for (; p != end; ++p) {
    if (*p < minimum)
      minimum = *p;
    if (*p > maximum)
      maximum = *p;
  }
  mDataBounds.lower = minimum;
  mDataBounds.upper = maximum;
}

void PlotColorMapData::coordToCell(double key, double value, int *keyIndex, int *valueIndex) const
{
  if (keyIndex)
    *keyIndex = indexAlong(key, mKeyRange, mKeySize);
  if (valueIndex)
    *valueIndex = indexAlong(value, mValueRange, mValueSize);
}

void PlotColorMapData::cellToCoord(int keyIndex, int valueIndex, double *key, double *value) const
{
  if (key)
    *key = coordAlong(keyIndex, mKeyRange, mKeySize);
  if (value)
    *value = coordAlong(valueIndex, mValueRange, mValueSize);
}

// ---------------------------------------------------------------------------
// PlotColorMap

PlotColorMap::PlotColorMap(PlotAxis *keyAxis, PlotAxis *valueAxis)
    : PlotAbstractPlottable(keyAxis, valueAxis), mDataScaleType(PlotAxis::stLinear),
      mMapData(new PlotColorMapData(10, 10, PlotRange(0, 5), PlotRange(0, 5))),
      mGradient(PlotColorGradient::gpCold), mInterpolate(true), mTightBoundary(false), mMapImageInvalidated(true)
{
}

PlotColorMap::~PlotColorMap()
{
  delete mMapData;
}

void PlotColorMap::setData(PlotColorMapData *data, bool copy)
{
  if (data == mMapData) {
    qDebug() << Q_FUNC_INFO
             << "The data pointer is already in (and owned by) this plottable" << reinterpret_cast<quintptr>(data);
    return;
  }
  if (!data) {
    qDebug() << Q_FUNC_INFO << "null data pointer";
    return;
  }
  if (copy) {
    *mMapData = *data;
  } else {
    delete mMapData;
    mMapData = data;
  }
  mMapImageInvalidated = true;
}

void PlotColorMap::setDataRange(const PlotRange &dataRange)
{
  if (!PlotRange::validRange(dataRange))
    return;
  if (mDataRange.lower == dataRange.lower && mDataRange.upper == dataRange.upper)
    return;
  mDataRange = mDataScaleType == PlotAxis::stLogarithmic ? dataRange.sanitizedForLogScale()
                                                          : dataRange.sanitizedForLinScale();
  mMapImageInvalidated = true;
  emit dataRangeChanged(mDataRange);
}

void PlotColorMap::setDataScaleType(PlotAxis::ScaleType scaleType)
{
  if (mDataScaleType == scaleType)
    return;
  mDataScaleType = scaleType;
  mMapImageInvalidated = true;
  emit dataScaleTypeChanged(scaleType);
  if (scaleType == PlotAxis::stLogarithmic)
    setDataRange(mDataRange.sanitizedForLogScale());
}

void PlotColorMap::setGradient(const PlotColorGradient &gradient)
{
  if (mGradient == gradient)
    return;
  mGradient = gradient;
  mMapImageInvalidated = true;
  emit gradientChanged(mGradient);
}

void PlotColorMap::setInterpolate(bool enabled)
{
  mInterpolate = enabled;
  mMapImageInvalidated = true;
}

void PlotColorMap::setTightBoundary(bool enabled)
{
  mTightBoundary = enabled;
}

void PlotColorMap::linkScale(bool connectSignals)
{
  PlotColorScale *scale = mColorScale.data();
  if (connectSignals) {
    connect(this, &PlotColorMap::dataRangeChanged, scale, &PlotColorScale::setDataRange);
    connect(this, &PlotColorMap::dataScaleTypeChanged, scale, &PlotColorScale::setDataScaleType);
    connect(this, &PlotColorMap::gradientChanged, scale, &PlotColorScale::setGradient);
    connect(scale, &PlotColorScale::dataRangeChanged, this, &PlotColorMap::setDataRange);
    connect(scale, &PlotColorScale::gradientChanged, this, &PlotColorMap::setGradient);
    connect(scale, &PlotColorScale::dataScaleTypeChanged, this, &PlotColorMap::setDataScaleType);
  } else {
    disconnect(this, &PlotColorMap::dataRangeChanged, scale, &PlotColorScale::setDataRange);
    disconnect(this, &PlotColorMap::dataScaleTypeChanged, scale, &PlotColorScale::setDataScaleType);
    disconnect(this, &PlotColorMap::gradientChanged, scale, &PlotColorScale::setGradient);
    disconnect(scale, &PlotColorScale::dataRangeChanged, this, &PlotColorMap::setDataRange);
    disconnect(scale, &PlotColorScale::gradientChanged, this, &PlotColorMap::setGradient);
    disconnect(scale, &PlotColorScale::dataScaleTypeChanged, this, &PlotColorMap::setDataScaleType);
  }
}

void PlotColorMap::setColorScale(PlotColorScale *colorScale)
{
  if (mColorScale)
    linkScale(false);
  mColorScale = colorScale;
  if (!colorScale)
    return;
  setGradient(colorScale->gradient());
  setDataRange(colorScale->dataRange());
  setDataScaleType(colorScale->dataScaleType());
  linkScale(true);
}

void PlotColorMap::rescaleDataRange(bool recalculateDataBounds)
{
  if (recalculateDataBounds)
    mMapData->recalculateDataBounds();
  setDataRange(mMapData->dataBounds());
}

void PlotColorMap::clearData()
{
  mMapData->clear();
}

void PlotColorMap::mirroring(bool *horizontal, bool *vertical) const
{
  *horizontal = false;
  *vertical = false;
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis)
    return;
  const bool keyHorizontal = keyAxis->orientation() == Qt::Horizontal;
  *horizontal = keyHorizontal ? keyAxis->rangeReversed() : valueAxis->rangeReversed();
  *vertical = keyHorizontal ? valueAxis->rangeReversed() : keyAxis->rangeReversed();
}

void PlotColorMap::updateMapImage()
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis || mMapData->isEmpty())
    return;
  const int keySize = mMapData->keySize();
  const int valueSize = mMapData->valueSize();
  // Without interpolation a small grid is coloured at its own size and then
  // enlarged into solid blocks, which the smooth transform would blur.
  int keyFactor = 1, valueFactor = 1;
  if (!mInterpolate) {
    keyFactor = int(1.0 + 100.0 / keySize);
    valueFactor = int(1.0 + 100.0 / valueSize);
  }
  const bool oversampling = keyFactor > 1 || valueFactor > 1;
  const bool keyHorizontal = keyAxis->orientation() == Qt::Horizontal;
  const QSize cellSize = keyHorizontal ? QSize(keySize, valueSize) : QSize(valueSize, keySize);
  const QSize imageSize = keyHorizontal ? QSize(keySize * keyFactor, valueSize * valueFactor)
                                        : QSize(valueSize * valueFactor, keySize * keyFactor);
  if (mMapImage.size() != imageSize)
    mMapImage = QImage(imageSize, QImage::Format_RGB32);
  QImage *target = &mMapImage;
  if (oversampling) {
    if (mUndersampledMapImage.size() != cellSize)
      mUndersampledMapImage = QImage(cellSize, QImage::Format_RGB32);
    target = &mUndersampledMapImage;
  } else if (!mUndersampledMapImage.isNull()) {
    mUndersampledMapImage = QImage();
  }
  if (target->isNull()) {
    // The image could not be had; the old picture must not stay as if valid.
    qDebug() << Q_FUNC_INFO << "cannot allocate an image of" << cellSize.width() << "*" << cellSize.height();
    mMapImage = QImage();
    return;
  }
  const double *cells = mMapData->mData;
  const bool logarithmic = mDataScaleType == PlotAxis::stLogarithmic;
  // The common linear, clamped case reads the gradient's levels from a local
  // table in a tight loop: colouring a large grid is the map's hot path.
  const bool tableLookup = !logarithmic && !mGradient.periodic();
  QList<QRgb> table;
  double factor = 0;
  if (tableLookup) {
    const int levels = mGradient.levelCount();
    table.resize(levels);
    for (int i = 0; i < levels; ++i)
      table[i] = mGradient.color(i, PlotRange(0, levels - 1));
    factor = (levels - 1) / mDataRange.size();
  }
  const auto colourRun = [&](const double *data, QRgb *line, int count, int stride) {
    if (!tableLookup) {
      mGradient.colorize(data, mDataRange, line, count, stride, logarithmic);
      return;
    }
    const QRgb *levels = table.constData();
    const int last = int(table.size()) - 1;
    const double lower = mDataRange.lower;
    for (int i = 0; i < count; ++i) {
      const double index = (data[qsizetype(stride) * i] - lower) * factor;
      // NaN fails the first test and takes the first level, as in the gradient.
      line[i] = !(index > 0) ? levels[0] : index >= last ? levels[last] : levels[int(index)];
    }
  };
  if (keyHorizontal) {
    for (int v = 0; v < valueSize; ++v)
      colourRun(cells + qsizetype(v) * keySize, reinterpret_cast<QRgb *>(target->scanLine(valueSize - 1 - v)),
                keySize, 1);
  } else {
    for (int k = 0; k < keySize; ++k)
      colourRun(cells + k, reinterpret_cast<QRgb *>(target->scanLine(keySize - 1 - k)), valueSize, keySize);
  }
  if (oversampling)
    mMapImage = mUndersampledMapImage.scaled(imageSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  mMapData->mDataModified = false;
  mMapImageInvalidated = false;
}

void PlotColorMap::draw(PlotPainter *painter)
{
  PlotAxis *keyAxis = mKeyAxis.data();
  PlotAxis *valueAxis = mValueAxis.data();
  if (mMapData->isEmpty() || !keyAxis || !valueAxis)
    return;
  applyDefaultAntialiasingHint(painter);
  if (mMapData->mDataModified || mMapImageInvalidated)
    updateMapImage();
  if (mMapImage.isNull())
    return;

  const PlotRange keyRange = mMapData->keyRange();
  const PlotRange valueRange = mMapData->valueRange();
  const QRectF tightRect =
      QRectF(coordsToPixels(keyRange.lower, valueRange.lower), coordsToPixels(keyRange.upper, valueRange.upper))
          .normalized();
  // Cells are centred on the range bounds: half a cell reaches beyond them.
  const bool keyHorizontal = keyAxis->orientation() == Qt::Horizontal;
  const int horizontalCells = keyHorizontal ? mMapData->keySize() : mMapData->valueSize();
  const int verticalCells = keyHorizontal ? mMapData->valueSize() : mMapData->keySize();
  const double halfWidth = horizontalCells > 1 ? 0.5 * tightRect.width() / (horizontalCells - 1) : 0;
  const double halfHeight = verticalCells > 1 ? 0.5 * tightRect.height() / (verticalCells - 1) : 0;
  const QRectF imageRect = tightRect.adjusted(-halfWidth, -halfHeight, halfWidth, halfHeight);
  // Far zooms put the corners beyond what a painter can take.
  if (!std::isfinite(imageRect.left()) || !std::isfinite(imageRect.right()) || !std::isfinite(imageRect.top()) ||
      !std::isfinite(imageRect.bottom()))
    return;

  PlotPainter *localPainter = painter;
  QPixmap buffer;
  QRect bufferTarget;
  if (painter->modes().testFlag(PlotPainter::pmVectorized)) {
    // A vector device receives the map as one image at a higher resolution,
    // within a bounded buffer: a page-sized clip must not ask for hundreds of
    // megabytes.
    QRectF target = painter->clipRegion().boundingRect();
    if (target.isEmpty())
      target = imageRect & QRectF(clipRect());
    bufferTarget = target.toAlignedRect();
    if (bufferTarget.isEmpty())
      return;
    const double area = double(bufferTarget.width()) * bufferTarget.height();
    const double scale = std::min(kBufferScale, std::sqrt(kMaxBufferPixels / area));
    buffer = QPixmap(std::max(1, int(bufferTarget.width() * scale)), std::max(1, int(bufferTarget.height() * scale)));
    if (buffer.isNull())
      return;
    buffer.fill(Qt::transparent);
    localPainter = new PlotPainter(&buffer);
    localPainter->scale(scale, scale);
    localPainter->translate(-bufferTarget.topLeft());
  }

  bool mirrorHorizontal, mirrorVertical;
  mirroring(&mirrorHorizontal, &mirrorVertical);
  const bool smoothBackup = localPainter->renderHints().testFlag(QPainter::SmoothPixmapTransform);
  localPainter->setRenderHint(QPainter::SmoothPixmapTransform, mInterpolate);
  QRegion clipBackup;
  const bool clippedBefore = localPainter->hasClipping();
  if (mTightBoundary) {
    clipBackup = localPainter->clipRegion();
    localPainter->setClipRect(tightRect, Qt::IntersectClip);
  }
  const bool mirror = mirrorHorizontal || mirrorVertical;
  localPainter->drawImage(imageRect, mirror ? mMapImage.mirrored(mirrorHorizontal, mirrorVertical) : mMapImage);
  if (mTightBoundary) {
    // An empty region would clip away everything drawn after the map.
    if (clippedBefore)
      localPainter->setClipRegion(clipBackup);
    else
      localPainter->setClipping(false);
  }
  localPainter->setRenderHint(QPainter::SmoothPixmapTransform, smoothBackup);

  if (localPainter != painter) {
    delete localPainter;
    painter->drawPixmap(bufferTarget, buffer);
  }
}

double PlotColorMap::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
  Q_UNUSED(details)
  if (onlySelectable && !mSelectable)
    return -1;
  const PlotAxis *keyAxis = mKeyAxis.data();
  if (!keyAxis || !mValueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return -1;
  }
  if (!keyAxis->axisRect() || !keyAxis->axisRect()->rect().contains(Plot::roundedPoint(pos)))
    return -1;
  double key, value;
  pixelsToCoords(pos, key, value);
  if (mMapData->keyRange().contains(key) && mMapData->valueRange().contains(value))
    return mParentPlot->selectionTolerance() * 0.99;
  return -1;
}

void PlotColorMap::updateLegendIcon(Qt::TransformationMode transformMode, const QSize &thumbSize)
{
  if (mMapImage.isNull() && !mMapData->isEmpty())
    updateMapImage();
  if (mMapImage.isNull())
    return;
  bool mirrorHorizontal, mirrorVertical;
  mirroring(&mirrorHorizontal, &mirrorVertical);
  const bool mirror = mirrorHorizontal || mirrorVertical;
  mLegendIcon = QPixmap::fromImage(mirror ? mMapImage.mirrored(mirrorHorizontal, mirrorVertical) : mMapImage)
                    .scaled(thumbSize, Qt::KeepAspectRatio, transformMode);
}

void PlotColorMap::drawLegendIcon(PlotPainter *painter, const QRectF &rect) const
{
  applyDefaultAntialiasingHint(painter);
  if (mLegendIcon.isNull())
    return;
  const QPixmap scaled =
      mLegendIcon.scaled(rect.size().toSize(), Qt::KeepAspectRatio, Qt::FastTransformation);
  const QPointF topLeft = rect.center() - QPointF(scaled.width() * 0.5, scaled.height() * 0.5);
  painter->drawPixmap(topLeft, scaled);
}

PlotRange PlotColorMap::getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain) const
{
  return rangeInDomain(mMapData->keyRange(), foundRange, inSignDomain);
}

PlotRange PlotColorMap::getValueRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain) const
{
  return rangeInDomain(mMapData->valueRange(), foundRange, inSignDomain);
}
