#ifndef PLOT_TEST_MAPCHECK_H
#define PLOT_TEST_MAPCHECK_H

#include "plot.h"

#include <QList>

#include <iterator>

// What a point map holds, read through its iterators.
inline QList<double> keysOf(const PlotDataMap &map)
{
  QList<double> keys;
  for (auto it = map.cbegin(); it != map.cend(); ++it)
    keys << it.key();
  return keys;
}

inline QList<double> valuesOf(const PlotDataMap &map)
{
  QList<double> values;
  for (const PlotData &p : map)
    values << p.value;
  return values;
}

// Every entry's key is its point's key, and the keys ascend strictly.
inline bool wellFormed(const PlotDataMap &map)
{
  for (auto it = map.cbegin(); it != map.cend(); ++it) {
    if (it.key() != it->key || it.key() != it.value().key)
      return false;
    if (it != map.cbegin() && !(std::prev(it).key() < it.key()))
      return false;
  }
  return true;
}

#endif // PLOT_TEST_MAPCHECK_H
