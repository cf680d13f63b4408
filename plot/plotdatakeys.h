#ifndef PLOTDATAKEYS_H
#define PLOTDATAKEYS_H

// Internal to the plotting library: the key rules every plottable's data map
// follows, kept in one place.

#include "plotplottable.h"

#include <QDebug>
#include <QPointF>

#include <algorithm>
#include <cmath>

namespace Plot {

// A point with a NaN coordinate is a gap in a line, never a corner of it.
inline bool isNanPoint(const QPointF &p)
{
  return std::isnan(p.x()) || std::isnan(p.y());
}

// A NaN key orders against no other key: a map holding one loses or
// overwrites entries, so no setter lets one in.
template <class Map>
bool hasNanKey(const Map &map)
{
  return std::any_of(map.keyBegin(), map.keyEnd(), [](double key) { return std::isnan(key); });
}

// Removes NaN keys; a map without one is not touched (nor detached).
template <class Map>
void dropNanKeys(Map *map)
{
  if (!hasNanKey(*map))
    return;
  for (auto it = map->begin(); it != map->end();) {
    if (std::isnan(it.key()))
      it = map->erase(it);
    else
      ++it;
  }
}

// Makes `data` the plottable's map `*mine`: a copy of it, or the map itself,
// which the plottable then owns. NaN keys are dropped either way. `where`
// names the caller in the debug output of a refused map.
template <class Map>
void adoptData(Map *&mine, Map *data, bool copy, const char *where)
{
  if (data == mine) {
    qDebug() << where << "The data pointer is already in (and owned by) this plottable"
             << reinterpret_cast<quintptr>(data);
    return;
  }
  if (!data) {
    qDebug() << where << "null data pointer";
    return;
  }
  if (copy) {
    *mine = *data;
  } else {
    delete mine;
    mine = data;
  }
  dropNanKeys(mine);
}

// Inserts every entry of `from` whose key is a number.
template <class Map>
void insertNumberKeys(Map *into, const Map &from)
{
  if (!hasNanKey(from)) {
    into->insert(from);
    return;
  }
  for (auto it = from.constBegin(); it != from.constEnd(); ++it) {
    if (!std::isnan(it.key()))
      into->insert(it.key(), it.value());
  }
}

// Range removals. The first non-const call detaches a shared map, so both
// iterators are taken from the same copy.
template <class Map>
void removeBefore(Map *map, double key)
{
  if (map->isEmpty())
    return;
  const auto first = map->begin();
  map->erase(first, map->lowerBound(key));
}

template <class Map>
void removeAfter(Map *map, double key)
{
  if (map->isEmpty())
    return;
  const auto first = map->upperBound(key);
  map->erase(first, map->end());
}

// Removes the keys in (from, to]; nothing unless from < to.
template <class Map>
void removeBetween(Map *map, double from, double to)
{
  if (!(from < to) || map->isEmpty())
    return;
  const auto first = map->upperBound(from);
  map->erase(first, map->upperBound(to));
}

// Whether a value counts for a range asked in the given sign domain; NaN never does.
inline bool inSignDomain(double v, PlotAbstractPlottable::SignDomain domain)
{
  switch (domain) {
  case PlotAbstractPlottable::sdBothSigns:
    return !std::isnan(v);
  case PlotAbstractPlottable::sdNegativeOnly:
    return v < 0;
  case PlotAbstractPlottable::sdPositiveOnly:
    return v > 0;
  }
  return false;
}

} // namespace Plot

#endif // PLOTDATAKEYS_H
