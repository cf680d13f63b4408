#ifndef PLOTPLOTTABLE_H
#define PLOTPLOTTABLE_H

#include "plotaxis.h"
#include "plotglobal.h"
#include "plotlayer.h"
#include "plotrange.h"

#include <QBrush>
#include <QPen>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>

class PlotPainter;
class PlotScatterStyle;

// Squared pixel distance of point from the segment start-end, in single
// precision; the hit tests of plottables and items share it.
double plotDistSqrToSegment(const QPointF &start, const QPointF &end, const QPointF &point);

// Base of everything that draws data against a key axis and a value axis (the
// line graph and the other plot types). It holds the legend name, the pens and
// brushes of the normal and the selected state, weak references to its two
// axes and its selection, converts between data coordinates and pixels and
// fits its axes to its data.
class PlotAbstractPlottable : public PlotLayerable
{
  Q_OBJECT
  Q_PROPERTY(QString name READ name WRITE setName)
  Q_PROPERTY(bool antialiasedFill READ antialiasedFill WRITE setAntialiasedFill)
  Q_PROPERTY(bool antialiasedScatters READ antialiasedScatters WRITE setAntialiasedScatters)
  Q_PROPERTY(bool antialiasedErrorBars READ antialiasedErrorBars WRITE setAntialiasedErrorBars)
  Q_PROPERTY(QPen pen READ pen WRITE setPen)
  Q_PROPERTY(QPen selectedPen READ selectedPen WRITE setSelectedPen)
  Q_PROPERTY(QBrush brush READ brush WRITE setBrush)
  Q_PROPERTY(QBrush selectedBrush READ selectedBrush WRITE setSelectedBrush)
  Q_PROPERTY(PlotAxis *keyAxis READ keyAxis WRITE setKeyAxis)
  Q_PROPERTY(PlotAxis *valueAxis READ valueAxis WRITE setValueAxis)
  Q_PROPERTY(bool selectable READ selectable WRITE setSelectable NOTIFY selectableChanged)
  Q_PROPERTY(bool selected READ selected WRITE setSelected NOTIFY selectionChanged)
public:
  // The part of an axis a range query covers; logarithmic axes ask for one sign.
  enum SignDomain { sdNegativeOnly = 0, sdBothSigns = 1, sdPositiveOnly = 2 };
  Q_ENUM(SignDomain)

  // Both axes must belong to the same plot and be orthogonal; the plottable
  // lands on the plot's current layer.
  PlotAbstractPlottable(PlotAxis *keyAxis, PlotAxis *valueAxis);
  ~PlotAbstractPlottable() override;

  QString name() const { return mName; }
  bool antialiasedFill() const { return mAntialiasedFill; }
  bool antialiasedScatters() const { return mAntialiasedScatters; }
  bool antialiasedErrorBars() const { return mAntialiasedErrorBars; }
  QPen pen() const { return mPen; }
  QPen selectedPen() const { return mSelectedPen; }
  QBrush brush() const { return mBrush; }
  QBrush selectedBrush() const { return mSelectedBrush; }
  PlotAxis *keyAxis() const { return mKeyAxis.data(); }
  PlotAxis *valueAxis() const { return mValueAxis.data(); }
  bool selectable() const { return mSelectable; }
  bool selected() const { return mSelected; }

  void setName(const QString &name) { mName = name; }
  void setAntialiasedFill(bool enabled) { mAntialiasedFill = enabled; }
  void setAntialiasedScatters(bool enabled) { mAntialiasedScatters = enabled; }
  void setAntialiasedErrorBars(bool enabled) { mAntialiasedErrorBars = enabled; }
  void setPen(const QPen &pen) { mPen = pen; }
  void setSelectedPen(const QPen &pen) { mSelectedPen = pen; }
  void setBrush(const QBrush &brush) { mBrush = brush; }
  void setSelectedBrush(const QBrush &brush) { mSelectedBrush = brush; }
  void setKeyAxis(PlotAxis *axis) { mKeyAxis = axis; }
  void setValueAxis(PlotAxis *axis) { mValueAxis = axis; }
  Q_SLOT void setSelectable(bool selectable);
  Q_SLOT void setSelected(bool selected);

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override = 0;

  virtual void clearData() = 0;
  virtual bool addToLegend();
  virtual bool removeFromLegend() const;
  // Draws the plottable's symbol into a legend item's icon rectangle.
  virtual void drawLegendIcon(PlotPainter *painter, const QRectF &rect) const = 0;
  // Extent of the data's keys (values) within the sign domain; foundRange is
  // false when no point contributes.
  virtual PlotRange getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const = 0;
  virtual PlotRange getValueRange(bool &foundRange,
                                  PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const = 0;

  // Fits the axes to the data; with onlyEnlarge the axes never shrink.
  void rescaleAxes(bool onlyEnlarge = false) const;
  void rescaleKeyAxis(bool onlyEnlarge = false) const;
  void rescaleValueAxis(bool onlyEnlarge = false) const;

  void coordsToPixels(double key, double value, double &x, double &y) const;
  const QPointF coordsToPixels(double key, double value) const;
  void pixelsToCoords(double x, double y, double &key, double &value) const;
  void pixelsToCoords(const QPointF &pixelPos, double &key, double &value) const;

  // The pen and brush in effect, honouring the selection.
  QPen mainPen() const;
  QBrush mainBrush() const;

  // plotDistSqrToSegment, for the hit tests of plottables.
  double distSqrToLine(const QPointF &start, const QPointF &end, const QPointF &point) const;

signals:
  void selectionChanged(bool selected);
  void selectableChanged(bool selectable);

protected:
  Plot::Interaction selectionCategory() const override;
  QRect clipRect() const override;
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void draw(PlotPainter *painter) override = 0;
  void selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged) override;
  void deselectEvent(bool *selectionStateChanged) override;

  void applyFillAntialiasingHint(PlotPainter *painter) const;
  void applyScattersAntialiasingHint(PlotPainter *painter) const;
  void applyErrorBarsAntialiasingHint(PlotPainter *painter) const;
  // Draws the line through `points` with the painter's pen; a NaN point is a
  // gap that leaves out the segments into and out of it.
  void drawLineWithGaps(PlotPainter *painter, const QList<QPointF> &points) const;
  // The scatter shape at the centre of a legend icon; a pixmap larger than
  // the icon is scaled down into it.
  void drawLegendScatter(PlotPainter *painter, const PlotScatterStyle &style, const QRectF &rect) const;

  // The sign domain a range query must use to fit the axis.
  static SignDomain signDomainFor(const PlotAxis *axis);

  QString mName;
  bool mAntialiasedFill, mAntialiasedScatters, mAntialiasedErrorBars;
  QPen mPen, mSelectedPen;
  QBrush mBrush, mSelectedBrush;
  QPointer<PlotAxis> mKeyAxis, mValueAxis;
  bool mSelectable, mSelected;

private:
  void rescaleAxis(PlotAxis *axis, bool isKeyAxis, bool onlyEnlarge) const;

  Q_DISABLE_COPY(PlotAbstractPlottable)

  friend class PlotWidget;
};

#endif // PLOTPLOTTABLE_H
