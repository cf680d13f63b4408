#ifndef PLOTCOLORSCALE_H
#define PLOTCOLORSCALE_H

#include "plotaxis.h"
#include "plotaxisrect.h"
#include "plotcolorgradient.h"
#include "plotlayout.h"
#include "plotrange.h"

#include <QImage>
#include <QList>
#include <QPointer>

class PlotColorMap;
class PlotColorScale;

// The axis rectangle inside a colour scale: paints the gradient bar and
// carries the four axes, opposite ones tied together. A press on it drags
// its own drag axes, unlike the main data area, which drags the pressed axis.
class PlotColorScaleAxisRectPrivate : public PlotAxisRect
{
  Q_OBJECT
public:
  explicit PlotColorScaleAxisRectPrivate(PlotColorScale *parentColorScale);

protected:
  void draw(PlotPainter *painter) override;
  void updateGradientImage();
  // The press (the base's) notes the drag axes' ranges; a move shifts them.
  void mouseMoveEvent(QMouseEvent *event) override;

  Q_SLOT void axisSelectionChanged(PlotAxis::SelectableParts selectedParts);
  Q_SLOT void axisSelectableChanged(PlotAxis::SelectableParts selectableParts);

  PlotColorScale *mParentColorScale;
  QImage mGradientImage;
  bool mGradientImageInvalidated;

  friend class PlotColorScale;
};

// The key of colour maps: a bar showing the whole gradient with an axis on
// the side named by its type. Its data range, scale type and gradient follow
// the colour axis and every linked colour map.
class PlotColorScale : public PlotLayoutElement
{
  Q_OBJECT
  Q_PROPERTY(PlotAxis::AxisType type READ type WRITE setType)
  Q_PROPERTY(PlotRange dataRange READ dataRange WRITE setDataRange NOTIFY dataRangeChanged)
  Q_PROPERTY(PlotAxis::ScaleType dataScaleType READ dataScaleType WRITE setDataScaleType NOTIFY dataScaleTypeChanged)
  Q_PROPERTY(PlotColorGradient gradient READ gradient WRITE setGradient NOTIFY gradientChanged)
  Q_PROPERTY(QString label READ label WRITE setLabel)
  Q_PROPERTY(int barWidth READ barWidth WRITE setBarWidth)
  Q_PROPERTY(bool rangeDrag READ rangeDrag WRITE setRangeDrag)
  Q_PROPERTY(bool rangeZoom READ rangeZoom WRITE setRangeZoom)
public:
  explicit PlotColorScale(PlotWidget *parentPlot);
  ~PlotColorScale() override;

  PlotAxis *axis() const { return mColorAxis.data(); }
  PlotAxis::AxisType type() const { return mType; }
  PlotRange dataRange() const { return mDataRange; }
  PlotAxis::ScaleType dataScaleType() const { return mDataScaleType; }
  PlotColorGradient gradient() const { return mGradient; }
  QString label() const;
  int barWidth() const { return mBarWidth; }
  bool rangeDrag() const;
  bool rangeZoom() const;

  // Only the four sides are types.
  void setType(PlotAxis::AxisType type);
  // Stored as given, empty and reversed ranges included; a range with a bound
  // that is not finite is refused.
  Q_SLOT void setDataRange(const PlotRange &dataRange);
  Q_SLOT void setDataScaleType(PlotAxis::ScaleType scaleType);
  Q_SLOT void setGradient(const PlotColorGradient &gradient);
  void setLabel(const QString &str);
  void setBarWidth(int width);
  void setRangeDrag(bool enabled);
  void setRangeZoom(bool enabled);

  QList<PlotColorMap *> colorMaps() const;
  void rescaleDataRange(bool onlyVisibleMaps);

  void update(UpdatePhase phase) override;

signals:
  void dataRangeChanged(const PlotRange &newRange);
  void dataScaleTypeChanged(PlotAxis::ScaleType scaleType);
  void gradientChanged(const PlotColorGradient &newGradient);

protected:
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

  PlotAxis::AxisType mType;
  PlotRange mDataRange;
  PlotAxis::ScaleType mDataScaleType;
  PlotColorGradient mGradient;
  int mBarWidth;
  QPointer<PlotColorScaleAxisRectPrivate> mAxisRect;
  QPointer<PlotAxis> mColorAxis;
  bool mUpdatingAxis; // while the scale sets its colour axis's range

private:
  PlotColorScaleAxisRectPrivate *eventTarget(const char *event) const;

  Q_DISABLE_COPY(PlotColorScale)

  friend class PlotColorScaleAxisRectPrivate;
};

#endif // PLOTCOLORSCALE_H
