#ifndef BARSFIXTURE_H
#define BARSFIXTURE_H

#include "chartfixture.h"
#include "plotaxis.h"

#include <QPointF>
#include <QSettings>

#include <cmath>
#include <limits>

// A logger chart with its three channel maps, the time axis at `lower`..`upper`.
struct LoggerChart : ChartFixture
{
  explicit LoggerChart(double lower = 0, double upper = 10)
  {
    ModeGuard logger(false, false);
    widget->addChannels({});
    plot->xAxis->setRange(lower, upper);
  }

  // Fills map `index` with the points, replacing what it held.
  void fill(int index, const QList<QPointF> &points)
  {
    PlotDataMap *map = widget->maps.at(index);
    map->clear();
    for (const QPointF &p : points)
      map->insert(p.x(), PlotData(p.x(), p.y()));
  }
};

inline const double kNaN = std::numeric_limits<double>::quiet_NaN();

inline void storeSetting(const QString &key, const QVariant &value)
{
  Settings settings;
  settings.setValue(key, value);
}

inline QVariant storedSetting(const QString &key)
{
  Settings settings;
  return settings.value(key);
}

#endif // BARSFIXTURE_H
