#ifndef PLOTDATA_H
#define PLOTDATA_H

#include <QMap>
#include <QMetaType>

// One point of a line graph: key (time in seconds on the chart), value (NaN
// breaks the line) and four error extents.
class PlotData
{
public:
  PlotData() : key(0), value(0), keyErrorPlus(0), keyErrorMinus(0), valueErrorPlus(0), valueErrorMinus(0) {}
  PlotData(double key, double value)
      : key(key), value(value), keyErrorPlus(0), keyErrorMinus(0), valueErrorPlus(0), valueErrorMinus(0)
  {
  }

  double key, value;
  double keyErrorPlus, keyErrorMinus;
  double valueErrorPlus, valueErrorMinus;
};
Q_DECLARE_TYPEINFO(PlotData, Q_PRIMITIVE_TYPE);

// Key-ordered points, one per key; implicitly shared. The application owns
// one per channel and lends it to the channel's graph.
typedef QMap<double, PlotData> PlotDataMap;
typedef QMapIterator<double, PlotData> PlotDataMapIterator;
typedef QMutableMapIterator<double, PlotData> PlotDataMutableMapIterator;

#endif // PLOTDATA_H
