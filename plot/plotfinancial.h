#ifndef PLOTFINANCIAL_H
#define PLOTFINANCIAL_H

#include "plotplottable.h"

#include <QBrush>
#include <QList>
#include <QMap>
#include <QPen>

// One period of a financial chart. Nothing checks low <= open, close <= high.
class PlotFinancialData
{
public:
  PlotFinancialData() : key(0), open(0), high(0), low(0), close(0) {}
  PlotFinancialData(double key, double open, double high, double low, double close)
      : key(key), open(open), high(high), low(low), close(close)
  {
  }

  double key, open, high, low, close;
};
Q_DECLARE_TYPEINFO(PlotFinancialData, Q_PRIMITIVE_TYPE);

// Periods ordered by key, one per key; implicitly shared.
typedef QMap<double, PlotFinancialData> PlotFinancialDataMap;
typedef QMapIterator<double, PlotFinancialData> PlotFinancialDataMapIterator;
typedef QMutableMapIterator<double, PlotFinancialData> PlotFinancialDataMutableMapIterator;

// Open, high, low and close per period, as OHLC bars or as candlesticks; in
// two-colour mode rising periods (close >= open) and falling ones have pens
// and brushes of their own. Drawing and hit tests look only at the periods in
// the visible key range and one neighbour on each side, however long the map.
class PlotFinancial : public PlotAbstractPlottable
{
  Q_OBJECT
  Q_PROPERTY(ChartStyle chartStyle READ chartStyle WRITE setChartStyle)
  Q_PROPERTY(double width READ width WRITE setWidth)
  Q_PROPERTY(bool twoColored READ twoColored WRITE setTwoColored)
  Q_PROPERTY(QBrush brushPositive READ brushPositive WRITE setBrushPositive)
  Q_PROPERTY(QBrush brushNegative READ brushNegative WRITE setBrushNegative)
  Q_PROPERTY(QPen penPositive READ penPositive WRITE setPenPositive)
  Q_PROPERTY(QPen penNegative READ penNegative WRITE setPenNegative)
public:
  enum ChartStyle { csOhlc = 0, csCandlestick = 1 };
  Q_ENUM(ChartStyle)

  explicit PlotFinancial(PlotAxis *keyAxis, PlotAxis *valueAxis);
  ~PlotFinancial() override;

  // The plottable's own map; never null.
  PlotFinancialDataMap *data() const { return mData; }
  ChartStyle chartStyle() const { return mChartStyle; }
  double width() const { return mWidth; }
  bool twoColored() const { return mTwoColored; }
  QBrush brushPositive() const { return mBrushPositive; }
  QBrush brushNegative() const { return mBrushNegative; }
  QPen penPositive() const { return mPenPositive; }
  QPen penNegative() const { return mPenNegative; }

  void setChartStyle(PlotFinancial::ChartStyle style) { mChartStyle = style; }
  // In key coordinates.
  void setWidth(double width) { mWidth = width; }
  void setTwoColored(bool twoColored) { mTwoColored = twoColored; }
  void setBrushPositive(const QBrush &brush) { mBrushPositive = brush; }
  void setBrushNegative(const QBrush &brush) { mBrushNegative = brush; }
  void setPenPositive(const QPen &pen) { mPenPositive = pen; }
  void setPenNegative(const QPen &pen) { mPenNegative = pen; }

  // copy true: the map becomes a shared copy of *data. copy false: the
  // plottable deletes its map and owns data from now on.
  void setData(PlotFinancialDataMap *data, bool copy = false);
  void setData(const QList<double> &key, const QList<double> &open, const QList<double> &high,
               const QList<double> &low, const QList<double> &close);
  void addData(const PlotFinancialDataMap &dataMap); // incoming periods win
  void addData(const PlotFinancialData &data);
  void addData(double key, double open, double high, double low, double close);
  void addData(const QList<double> &key, const QList<double> &open, const QList<double> &high,
               const QList<double> &low, const QList<double> &close);
  void removeDataBefore(double key);
  void removeDataAfter(double key);
  void removeData(double fromKey, double toKey); // fromKey < key <= toKey
  void removeData(double key);
  void clearData() override;

  // Cuts a time series into bins of timeBinSize around timeBinOffset + k *
  // timeBinSize; each bin holding samples becomes one period keyed by its
  // centre. NaN times are left out; a bin size that is not finite and
  // positive gives an empty map.
  static PlotFinancialDataMap timeSeriesToOhlc(const QList<double> &time, const QList<double> &value,
                                               double timeBinSize, double timeBinOffset = 0);

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  void drawLegendIcon(PlotPainter *painter, const QRectF &rect) const override;
  PlotRange getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;
  PlotRange getValueRange(bool &foundRange,
                          PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;

protected:
  typedef PlotFinancialDataMap::const_iterator DataIterator;

  void draw(PlotPainter *painter) override;
  // Periods from begin up to, not including, end.
  void drawOhlcPlot(PlotPainter *painter, const DataIterator &begin, const DataIterator &end) const;
  void drawCandlestickPlot(PlotPainter *painter, const DataIterator &begin, const DataIterator &end) const;
  double ohlcSelectTest(const QPointF &pos, const DataIterator &begin, const DataIterator &end) const;
  double candlestickSelectTest(const QPointF &pos, const DataIterator &begin, const DataIterator &end) const;
  // Inclusive bounds: the periods in the visible key range plus one on each
  // side; both are the end when the map is empty.
  void getVisibleDataBounds(DataIterator &lower, DataIterator &upper) const;

  PlotFinancialDataMap *mData;
  ChartStyle mChartStyle;
  double mWidth;
  bool mTwoColored;
  QBrush mBrushPositive, mBrushNegative;
  QPen mPenPositive, mPenNegative;

private:
  QPen periodPen(const PlotFinancialData &d) const;
  QBrush periodBrush(const PlotFinancialData &d) const;

  Q_DISABLE_COPY(PlotFinancial)
};

#endif // PLOTFINANCIAL_H
