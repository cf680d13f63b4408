#ifndef PLOTGRAPH_H
#define PLOTGRAPH_H

#include "plotdata.h"
#include "plotplottable.h"
#include "plotscatterstyle.h"

#include <QList>
#include <QPen>
#include <QPointF>
#include <QPointer>
#include <QPolygonF>

// The line graph: draws a key-ordered point map in place at every replot. Only
// the points that reach into the visible key range are looked at, and dense
// data is thinned to at most four points per pixel column (adaptive sampling),
// so the cost of a draw follows the screen, not the size of the map.
//
// The map is usually lent by the application with setData(map, false); the
// graph never frees a lent map. The map the graph starts with is its own and
// goes with it (or when a lent map replaces it).
class PlotGraph : public PlotAbstractPlottable
{
  Q_OBJECT
  Q_PROPERTY(LineStyle lineStyle READ lineStyle WRITE setLineStyle)
  Q_PROPERTY(PlotScatterStyle scatterStyle READ scatterStyle WRITE setScatterStyle)
  Q_PROPERTY(ErrorType errorType READ errorType WRITE setErrorType)
  Q_PROPERTY(QPen errorPen READ errorPen WRITE setErrorPen)
  Q_PROPERTY(double errorBarSize READ errorBarSize WRITE setErrorBarSize)
  Q_PROPERTY(bool errorBarSkipSymbol READ errorBarSkipSymbol WRITE setErrorBarSkipSymbol)
  Q_PROPERTY(PlotGraph *channelFillGraph READ channelFillGraph WRITE setChannelFillGraph)
  Q_PROPERTY(bool adaptiveSampling READ adaptiveSampling WRITE setAdaptiveSampling)
public:
  enum LineStyle {
    lsNone = 0, // symbols only
    lsLine = 1,
    lsStepLeft = 2,   // each step carries the value of its left point
    lsStepRight = 3,  // each step carries the value of its right point
    lsStepCenter = 4, // steps change half way between two points
    lsImpulse = 5     // a line from value 0 to each point
  };
  Q_ENUM(LineStyle)
  enum ErrorType { etNone = 0, etKey = 1, etValue = 2, etBoth = 3 };
  Q_ENUM(ErrorType)

  explicit PlotGraph(PlotAxis *keyAxis, PlotAxis *valueAxis);
  ~PlotGraph() override;

  // The map the graph draws; never null.
  PlotDataMap *data() const { return mData; }
  LineStyle lineStyle() const { return mLineStyle; }
  PlotScatterStyle scatterStyle() const { return mScatterStyle; }
  ErrorType errorType() const { return mErrorType; }
  QPen errorPen() const { return mErrorPen; }
  double errorBarSize() const { return mErrorBarSize; }
  bool errorBarSkipSymbol() const { return mErrorBarSkipSymbol; }
  PlotGraph *channelFillGraph() const { return mChannelFillGraph.data(); }
  bool adaptiveSampling() const { return mAdaptiveSampling; }

  void setLineStyle(PlotGraph::LineStyle style) { mLineStyle = style; }
  void setScatterStyle(const PlotScatterStyle &style) { mScatterStyle = style; }
  void setErrorType(PlotGraph::ErrorType errorType) { mErrorType = errorType; }
  void setErrorPen(const QPen &pen) { mErrorPen = pen; }
  void setErrorBarSize(double size) { mErrorBarSize = size; }
  void setErrorBarSkipSymbol(bool enabled) { mErrorBarSkipSymbol = enabled; }
  void setAdaptiveSampling(bool enabled) { mAdaptiveSampling = enabled; }
  // Fills the band between this graph and the target; null fills to value 0.
  void setChannelFillGraph(PlotGraph *targetGraph);

  // copy true: the held map takes the given map's points as a shared copy.
  // copy false: the graph draws the given map in place from now on; the
  // caller keeps it alive and frees it.
  void setData(PlotDataMap *data, bool copy = false);
  // The list setters clear the map and insert one point per index below the
  // smallest list size; a later point at an existing key replaces it.
  void setData(const QList<double> &key, const QList<double> &value);
  void setData(const QList<double> &key, const QList<double> &value, int count);
  void setDataValueError(const QList<double> &key, const QList<double> &value, const QList<double> &valueError);
  void setDataValueError(const QList<double> &key, const QList<double> &value, const QList<double> &valueErrorMinus,
                         const QList<double> &valueErrorPlus);
  void setDataKeyError(const QList<double> &key, const QList<double> &value, const QList<double> &keyError);
  void setDataKeyError(const QList<double> &key, const QList<double> &value, const QList<double> &keyErrorMinus,
                       const QList<double> &keyErrorPlus);
  void setDataBothError(const QList<double> &key, const QList<double> &value, const QList<double> &keyError,
                        const QList<double> &valueError);
  void setDataBothError(const QList<double> &key, const QList<double> &value, const QList<double> &keyErrorMinus,
                        const QList<double> &keyErrorPlus, const QList<double> &valueErrorMinus,
                        const QList<double> &valueErrorPlus);
  // Merges a map in; at keys both hold, the incoming point wins.
  void addData(const PlotDataMap &dataMap);
  void addData(const PlotData &data);
  void addData(double key, double value);
  void addData(const QList<double> &keys, const QList<double> &values);
  void removeDataBefore(double key);              // keys below key
  void removeDataAfter(double key);               // keys above key
  void removeData(double fromKey, double toKey);  // fromKey < key <= toKey
  void removeData(double key);
  void clearData() override;
  // Debug dump of the first (up to) ten points.
  void getData() const;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  // Pixel distance from the drawn graph, or -1.
  double pointDistance(const QPointF &pixelPoint) const;

  PlotRange getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;
  PlotRange getValueRange(bool &foundRange,
                          PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;
  virtual PlotRange getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain,
                                bool includeErrors) const;
  virtual PlotRange getValueRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain,
                                  bool includeErrors) const;

  // Fit the axes to the data, optionally with the error extents. Unlike the
  // plottable's rescaling, a zero-size extent is handed to the axis as it is.
  void rescaleAxes(bool onlyEnlarge = false, bool includeErrorBars = true) const;
  void rescaleKeyAxis(bool onlyEnlarge = false, bool includeErrorBars = true) const;
  void rescaleValueAxis(bool onlyEnlarge = false, bool includeErrorBars = true) const;

  void drawLegendIcon(PlotPainter *painter, const QRectF &rect) const override;

protected:
  typedef PlotDataMap::const_iterator DataIterator;

  void draw(PlotPainter *painter) override;
  virtual void drawFill(PlotPainter *painter, QList<QPointF> *lineData) const;
  virtual void drawScatterPlot(PlotPainter *painter, QList<PlotData> *scatterData) const;
  virtual void drawLinePlot(PlotPainter *painter, QList<QPointF> *lineData) const;
  virtual void drawImpulsePlot(PlotPainter *painter, QList<QPointF> *lineData) const;

  // Pixel points of the line (by line style) and, when asked, the points
  // that get symbols.
  void getPlotData(QList<QPointF> *lineData, QList<PlotData> *scatterData) const;
  void getScatterPlotData(QList<PlotData> *scatterData) const;
  void getLinePlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const;
  void getStepLeftPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const;
  void getStepRightPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const;
  void getStepCenterPlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const;
  void getImpulsePlotData(QList<QPointF> *linePixelData, QList<PlotData> *scatterData) const;
  // The visible points (plus one neighbour on each side), thinned when dense.
  void getPreparedData(QList<PlotData> *lineData, QList<PlotData> *scatterData) const;
  // Inclusive bounds of the points that reach into the visible key range;
  // both are the map's end when it is empty. Never detaches the map.
  void getVisibleDataBounds(DataIterator &lower, DataIterator &upper) const;
  int countDataInBounds(const DataIterator &lower, const DataIterator &upper, int maxCount) const;

  void drawError(PlotPainter *painter, double x, double y, const PlotData &data) const;

  void addFillBasePoints(QList<QPointF> *lineData) const;
  void removeFillBasePoints(QList<QPointF> *lineData) const;
  QPointF lowerFillBasePoint(double lowerKey) const;
  QPointF upperFillBasePoint(double upperKey) const;
  const QPolygonF getChannelFillPolygon(const QList<QPointF> *lineData) const;
  int findIndexBelowX(const QList<QPointF> *data, double x) const;
  int findIndexAboveX(const QList<QPointF> *data, double x) const;
  int findIndexBelowY(const QList<QPointF> *data, double y) const;
  int findIndexAboveY(const QList<QPointF> *data, double y) const;

  PlotDataMap *mData;
  bool mDataOwned; // whether mData was allocated by this graph
  QPen mErrorPen;
  LineStyle mLineStyle;
  PlotScatterStyle mScatterStyle;
  ErrorType mErrorType;
  double mErrorBarSize;
  bool mErrorBarSkipSymbol;
  QPointer<PlotGraph> mChannelFillGraph;
  bool mAdaptiveSampling;

private:
  void lineSampling(DataIterator lower, DataIterator upper, QList<PlotData> *lineData) const;
  void scatterSampling(DataIterator lower, DataIterator upper, QList<PlotData> *scatterData) const;
  bool prepareLineData(const char *signature, const char *nullListMessage, const QList<QPointF> *linePixelData,
                       QList<PlotData> *lineData, QList<PlotData> *scatterData) const;
  QPointF fillBasePoint(double keyPixel, const char *signature) const;
  PlotRange getRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain, bool includeErrors,
                     bool keys) const;
  void rescaleAxisToData(PlotAxis *axis, bool keys, bool onlyEnlarge, bool includeErrorBars) const;

  Q_DISABLE_COPY(PlotGraph)

  friend class PlotWidget;
};

#endif // PLOTGRAPH_H
