// The graph's construction and its data operations.
#include "plotgraph.h"
#include "plotdatakeys.h"

#include "plotwidget.h"

#include <QDebug>
#include <algorithm>
#include <cmath>

PlotGraph::PlotGraph(PlotAxis *keyAxis, PlotAxis *valueAxis)
    : PlotAbstractPlottable(keyAxis, valueAxis), mData(new PlotDataMap), mDataOwned(true), mLineStyle(lsLine),
      mErrorType(etNone), mErrorBarSize(6), mErrorBarSkipSymbol(true), mAdaptiveSampling(true)
{
  setPen(QPen(QBrush(Qt::blue), 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
  setErrorPen(QPen(Qt::black));
  setBrush(Qt::NoBrush);
  setSelectedPen(QPen(QBrush(QColor(80, 80, 255)), 2.5, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
  setSelectedBrush(Qt::NoBrush);
  setLineStyle(lsLine);
  setErrorType(etNone);
  setErrorBarSize(6);
  setErrorBarSkipSymbol(true);
  setChannelFillGraph(nullptr);
  setAdaptiveSampling(true);
}

PlotGraph::~PlotGraph()
{
  // Deleted behind the plot's back: the graph list must not keep a dangling entry.
  if (mParentPlot)
    mParentPlot->mGraphs.removeOne(this);
  // A lent map belongs to the lender; only the map allocated here goes.
  if (mDataOwned)
    delete mData;
  mData = nullptr;
}

void PlotGraph::setChannelFillGraph(PlotGraph *targetGraph)
{
  if (targetGraph == this) {
    qDebug() << Q_FUNC_INFO << "targetGraph is this graph itself";
    mChannelFillGraph = nullptr;
    return;
  }
  if (targetGraph && targetGraph->mParentPlot != mParentPlot) {
    qDebug() << Q_FUNC_INFO << "targetGraph not in same plot";
    mChannelFillGraph = nullptr;
    return;
  }
  mChannelFillGraph = targetGraph;
}

// ---------------------------------------------------------------------------
// Data operations. None of them replots.

namespace {
// A NaN key orders against no other key: the setters skip such points
// rather than let them break the map's order.
inline bool noKey(double key)
{
  return std::isnan(key);
}

// The number of points a list setter inserts: the smallest list size.
qsizetype commonSize(std::initializer_list<const QList<double> *> lists)
{
  qsizetype n = (*lists.begin())->size();
  for (const QList<double> *list : lists)
    n = std::min(n, list->size());
  return n;
}

// The first n points of the lists, in the order given, without NaN keys; an
// empty extent list leaves that extent 0. The map sorts them in one go:
// inserting them one by one would move the array per point out of order.
QList<PlotData> pointsOf(const QList<double> &keys, const QList<double> &values,
                         const QList<double> &keyErrorMinus, const QList<double> &keyErrorPlus,
                         const QList<double> &valueErrorMinus, const QList<double> &valueErrorPlus, qsizetype n)
{
  QList<PlotData> points;
  points.reserve(n);
  const auto at = [](const QList<double> &list, qsizetype i) { return list.isEmpty() ? 0.0 : list.at(i); };
  for (qsizetype i = 0; i < n; ++i) {
    if (noKey(keys.at(i)))
      continue;
    PlotData point(keys.at(i), values.at(i));
    point.keyErrorMinus = at(keyErrorMinus, i);
    point.keyErrorPlus = at(keyErrorPlus, i);
    point.valueErrorMinus = at(valueErrorMinus, i);
    point.valueErrorPlus = at(valueErrorPlus, i);
    points.append(point);
  }
  return points;
}
} // namespace

void PlotGraph::setData(PlotDataMap *data, bool copy)
{
  if (data == mData) {
    qDebug() << Q_FUNC_INFO
             << "The data pointer is already in (and owned by) this plottable" << reinterpret_cast<quintptr>(data);
    return;
  }
  if (!data) {
    qDebug() << Q_FUNC_INFO << "null data pointer";
    return;
  }
  if (copy) {
    *mData = *data;
    // The copy shares the storage; only a map that holds a NaN key detaches.
    Plot::dropNanKeys(mData);
  } else {
    if (mDataOwned)
      delete mData;
    mData = data;
    mDataOwned = false;
  }
}


void PlotGraph::setData(const QList<double> &key, const QList<double> &value)
{
  clearData();
  mData->insertPoints(pointsOf(key, value, {}, {}, {}, {}, commonSize({&key, &value})));
}

void PlotGraph::setData(const QList<double> &key, const QList<double> &value, int count)
{
  clearData();
  // The count never reaches past either list.
  const qsizetype n = std::clamp<qsizetype>(count, 0, commonSize({&key, &value}));
  mData->insertPoints(pointsOf(key, value, {}, {}, {}, {}, n));
}

void PlotGraph::setDataValueError(const QList<double> &key, const QList<double> &value,
                                  const QList<double> &valueError)
{
  setDataValueError(key, value, valueError, valueError);
}

void PlotGraph::setDataValueError(const QList<double> &key, const QList<double> &value,
                                  const QList<double> &valueErrorMinus, const QList<double> &valueErrorPlus)
{
  clearData();
  const qsizetype n = commonSize({&key, &value, &valueErrorMinus, &valueErrorPlus});
  mData->insertPoints(pointsOf(key, value, {}, {}, valueErrorMinus, valueErrorPlus, n));
}

void PlotGraph::setDataKeyError(const QList<double> &key, const QList<double> &value, const QList<double> &keyError)
{
  setDataKeyError(key, value, keyError, keyError);
}

void PlotGraph::setDataKeyError(const QList<double> &key, const QList<double> &value,
                                const QList<double> &keyErrorMinus, const QList<double> &keyErrorPlus)
{
  clearData();
  const qsizetype n = commonSize({&key, &value, &keyErrorMinus, &keyErrorPlus});
  mData->insertPoints(pointsOf(key, value, keyErrorMinus, keyErrorPlus, {}, {}, n));
}

void PlotGraph::setDataBothError(const QList<double> &key, const QList<double> &value,
                                 const QList<double> &keyError, const QList<double> &valueError)
{
  setDataBothError(key, value, keyError, keyError, valueError, valueError);
}

void PlotGraph::setDataBothError(const QList<double> &key, const QList<double> &value,
                                 const QList<double> &keyErrorMinus, const QList<double> &keyErrorPlus,
                                 const QList<double> &valueErrorMinus, const QList<double> &valueErrorPlus)
{
  clearData();
  const qsizetype n =
      commonSize({&key, &value, &keyErrorMinus, &keyErrorPlus, &valueErrorMinus, &valueErrorPlus});
  mData->insertPoints(pointsOf(key, value, keyErrorMinus, keyErrorPlus, valueErrorMinus, valueErrorPlus, n));
}

void PlotGraph::addData(const PlotDataMap &dataMap)
{
  if (std::none_of(dataMap.keyBegin(), dataMap.keyEnd(), noKey)) {
    // One merge pass, the incoming points winning; the held points below the
    // first incoming key stay in place, and an empty map does not detach.
    mData->insert(dataMap);
    return;
  }
  for (auto it = dataMap.cbegin(); it != dataMap.cend(); ++it) {
    if (!noKey(it.key()))
      mData->insert(it.key(), it.value());
  }
}

void PlotGraph::addData(const PlotData &data)
{
  if (!noKey(data.key))
    mData->insert(data.key, data);
}

void PlotGraph::addData(double key, double value)
{
  if (!noKey(key))
    mData->insert(key, PlotData(key, value));
}

void PlotGraph::addData(const QList<double> &keys, const QList<double> &values)
{
  mData->insertPoints(pointsOf(keys, values, {}, {}, {}, {}, commonSize({&keys, &values})));
}

void PlotGraph::removeDataBefore(double key)
{
  Plot::removeBefore(mData, key);
}

void PlotGraph::removeDataAfter(double key)
{
  Plot::removeAfter(mData, key);
}

void PlotGraph::removeData(double fromKey, double toKey)
{
  Plot::removeBetween(mData, fromKey, toKey);
}

void PlotGraph::removeData(double key)
{
  mData->remove(key);
}

void PlotGraph::clearData()
{
  // A shared map drops its reference; the other sharers keep their points.
  mData->clear();
}

void PlotGraph::getData() const
{
  int i = 0;
  for (auto it = mData->constBegin(); it != mData->constEnd() && i < 10; ++it, ++i) {
    qDebug() << "key: " << it.key();
    qDebug() << "value: " << it.value().value;
  }
}
