#ifndef PLOTCURVE_H
#define PLOTCURVE_H

#include "plotplottable.h"
#include "plotscatterstyle.h"

#include <QList>
#include <QMap>
#include <QPointF>

// One point of a parametric curve: the parameter t orders the points, key and
// value place it.
class PlotCurveData
{
public:
  PlotCurveData() : t(0), key(0), value(0) {}
  PlotCurveData(double t, double key, double value) : t(t), key(key), value(value) {}

  double t, key, value;
};
Q_DECLARE_TYPEINFO(PlotCurveData, Q_PRIMITIVE_TYPE);

// Points ordered by t, one per t; implicitly shared.
typedef QMap<double, PlotCurveData> PlotCurveDataMap;
typedef QMapIterator<double, PlotCurveData> PlotCurveDataMapIterator;
typedef QMutableMapIterator<double, PlotCurveData> PlotCurveDataMutableMapIterator;

// A parametric curve: a line through its points in t order, so it may run in
// any direction and cross itself. Before drawing, the points are reduced
// against the visible area (grown by the stroke width): runs outside collapse
// to the area's corners, so a curve far outside costs the painter a handful
// of points however long it is.
//
// A point with a NaN t is never stored (NaN cannot be ordered); a NaN key or
// value is kept and breaks the line.
class PlotCurve : public PlotAbstractPlottable
{
  Q_OBJECT
  Q_PROPERTY(PlotScatterStyle scatterStyle READ scatterStyle WRITE setScatterStyle)
  Q_PROPERTY(LineStyle lineStyle READ lineStyle WRITE setLineStyle)
public:
  enum LineStyle { lsNone = 0, lsLine = 1 };
  Q_ENUM(LineStyle)

  explicit PlotCurve(PlotAxis *keyAxis, PlotAxis *valueAxis);
  ~PlotCurve() override;

  // The curve's own map; never null.
  PlotCurveDataMap *data() const { return mData; }
  PlotScatterStyle scatterStyle() const { return mScatterStyle; }
  LineStyle lineStyle() const { return mLineStyle; }

  void setScatterStyle(const PlotScatterStyle &style) { mScatterStyle = style; }
  void setLineStyle(PlotCurve::LineStyle style) { mLineStyle = style; }

  // copy true: the curve's map becomes a shared copy of *data. copy false: the
  // curve deletes its map and owns data from now on.
  void setData(PlotCurveDataMap *data, bool copy = false);
  void setData(const QList<double> &t, const QList<double> &key, const QList<double> &value);
  // t is the index.
  void setData(const QList<double> &key, const QList<double> &value);
  void addData(const PlotCurveDataMap &dataMap); // incoming points win
  void addData(const PlotCurveData &data);
  void addData(double t, double key, double value);
  // After the last point: t is the greatest t plus 1, or 0.
  void addData(double key, double value);
  void addData(const QList<double> &t, const QList<double> &key, const QList<double> &value);
  void removeDataBefore(double t);         // t below the argument
  void removeDataAfter(double t);          // t above the argument
  void removeData(double fromt, double tot); // fromt < t <= tot
  void removeData(double t);
  void clearData() override;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  void drawLegendIcon(PlotPainter *painter, const QRectF &rect) const override;
  PlotRange getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;
  PlotRange getValueRange(bool &foundRange,
                          PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;

protected:
  void draw(PlotPainter *painter) override;
  virtual void drawScatterPlot(PlotPainter *painter, const QList<QPointF> *points) const;

  // The reduced line in pixels, the closing segment (last to first point) included.
  void getCurveData(QList<QPointF> *lineData) const;
  int getRegion(double key, double value, double keyMin, double valueMax, double keyMax, double valueMin) const;
  QPointF getOptimizedPoint(int otherRegion, double otherKey, double otherValue, double key, double value,
                            double keyMin, double valueMax, double keyMax, double valueMin) const;
  QList<QPointF> getOptimizedCornerPoints(int prevRegion, int currentRegion, double prevKey, double prevValue,
                                          double key, double value, double keyMin, double valueMax,
                                          double keyMax, double valueMin) const;
  bool mayTraverse(int prevRegion, int currentRegion) const;
  bool getTraverse(double prevKey, double prevValue, double key, double value, double keyMin, double valueMax,
                   double keyMax, double valueMin, QPointF &crossA, QPointF &crossB) const;
  void getTraverseCornerPoints(int prevRegion, int currentRegion, double keyMin, double valueMax, double keyMax,
                               double valueMin, QList<QPointF> &beforeTraverse,
                               QList<QPointF> &afterTraverse) const;
  double pointDistance(const QPointF &pixelPoint) const;

  PlotCurveDataMap *mData;
  PlotScatterStyle mScatterStyle;
  LineStyle mLineStyle;

private:
  PlotRange getRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain, bool keys) const;

  Q_DISABLE_COPY(PlotCurve)
};

#endif // PLOTCURVE_H
