#ifndef PLOTSTATISTICALBOX_H
#define PLOTSTATISTICALBOX_H

#include "plotplottable.h"
#include "plotscatterstyle.h"

#include <QList>
#include <QPen>

// One box-and-whisker symbol at one key: the five-number summary of a sample
// plus outliers. Nothing checks the order of the values; each is drawn where
// it lies. Drawing runs in four overridable steps.
class PlotStatisticalBox : public PlotAbstractPlottable
{
  Q_OBJECT
  Q_PROPERTY(double key READ key WRITE setKey)
  Q_PROPERTY(double minimum READ minimum WRITE setMinimum)
  Q_PROPERTY(double lowerQuartile READ lowerQuartile WRITE setLowerQuartile)
  Q_PROPERTY(double median READ median WRITE setMedian)
  Q_PROPERTY(double upperQuartile READ upperQuartile WRITE setUpperQuartile)
  Q_PROPERTY(double maximum READ maximum WRITE setMaximum)
  Q_PROPERTY(QList<double> outliers READ outliers WRITE setOutliers)
  Q_PROPERTY(double width READ width WRITE setWidth)
  Q_PROPERTY(double whiskerWidth READ whiskerWidth WRITE setWhiskerWidth)
  Q_PROPERTY(QPen whiskerPen READ whiskerPen WRITE setWhiskerPen)
  Q_PROPERTY(QPen whiskerBarPen READ whiskerBarPen WRITE setWhiskerBarPen)
  Q_PROPERTY(QPen medianPen READ medianPen WRITE setMedianPen)
  Q_PROPERTY(PlotScatterStyle outlierStyle READ outlierStyle WRITE setOutlierStyle)
public:
  explicit PlotStatisticalBox(PlotAxis *keyAxis, PlotAxis *valueAxis);

  double key() const { return mKey; }
  double minimum() const { return mMinimum; }
  double lowerQuartile() const { return mLowerQuartile; }
  double median() const { return mMedian; }
  double upperQuartile() const { return mUpperQuartile; }
  double maximum() const { return mMaximum; }
  QList<double> outliers() const { return mOutliers; }
  double width() const { return mWidth; }
  double whiskerWidth() const { return mWhiskerWidth; }
  QPen whiskerPen() const { return mWhiskerPen; }
  QPen whiskerBarPen() const { return mWhiskerBarPen; }
  QPen medianPen() const { return mMedianPen; }
  PlotScatterStyle outlierStyle() const { return mOutlierStyle; }

  void setKey(double key) { mKey = key; }
  void setMinimum(double value) { mMinimum = value; }
  void setLowerQuartile(double value) { mLowerQuartile = value; }
  void setMedian(double value) { mMedian = value; }
  void setUpperQuartile(double value) { mUpperQuartile = value; }
  void setMaximum(double value) { mMaximum = value; }
  void setOutliers(const QList<double> &values) { mOutliers = values; }
  void setData(double key, double minimum, double lowerQuartile, double median, double upperQuartile,
               double maximum);
  void setWidth(double width) { mWidth = width; }
  void setWhiskerWidth(double width) { mWhiskerWidth = width; }
  void setWhiskerPen(const QPen &pen) { mWhiskerPen = pen; }
  void setWhiskerBarPen(const QPen &pen) { mWhiskerBarPen = pen; }
  void setMedianPen(const QPen &pen) { mMedianPen = pen; }
  void setOutlierStyle(const PlotScatterStyle &style) { mOutlierStyle = style; }

  // Empties the outliers and zeroes key and values; sizes, pens and styles stay.
  void clearData() override;
  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  void drawLegendIcon(PlotPainter *painter, const QRectF &rect) const override;
  PlotRange getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;
  PlotRange getValueRange(bool &foundRange,
                          PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;

protected:
  void draw(PlotPainter *painter) override;
  // Draws the box between the quartiles and hands its pixel rectangle back;
  // the median is clipped to it.
  virtual void drawQuartileBox(PlotPainter *painter, QRectF *quartileBox = nullptr) const;
  virtual void drawMedian(PlotPainter *painter) const;
  virtual void drawWhiskers(PlotPainter *painter) const;
  virtual void drawOutliers(PlotPainter *painter) const;

  QList<double> mOutliers;
  double mKey, mMinimum, mLowerQuartile, mMedian, mUpperQuartile, mMaximum;
  double mWidth, mWhiskerWidth;
  QPen mWhiskerPen, mWhiskerBarPen, mMedianPen;
  PlotScatterStyle mOutlierStyle;

private:
  Q_DISABLE_COPY(PlotStatisticalBox)
};

#endif // PLOTSTATISTICALBOX_H
