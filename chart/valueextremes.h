#ifndef VALUEEXTREMES_H
#define VALUEEXTREMES_H

#include "plotdata.h"

#include <QList>

// The lowest and highest value of a point map inside a key window, for the
// value axis's fit before every live redraw. It keeps the extremes of runs of
// BlockSize consecutive points, so a window that moves with a capture costs a
// walk over the points that arrived since the last fit and over the window's
// two edges, not over the whole window a second time.
//
// The runs check themselves against the map at every query (their first and
// last keys at their expected places), so points appended, trimmed from the
// front, inserted or removed are all noticed. A value replaced at an existing
// key inside a run is not: acquisition never does that, and whoever replaces
// a map's points calls reset().
class ValueExtremes
{
public:
  static constexpr qsizetype BlockSize = 512;

  // Lowest and highest value that is not NaN among the points with
  // lower <= key <= upper; false (and both left alone) when there is none.
  bool find(const PlotDataMap &map, double lower, double upper, double &low, double &high);
  void reset();
  // Runs currently kept.
  qsizetype blockCount() const { return m_blocks.size(); }

private:
  struct Block
  {
    double firstKey, lastKey;
    double low, high;
    bool any; // false: every value of the run is NaN
  };
  // Drops the runs the map no longer holds as they were; returns the index
  // of the first run's first point (the map's size when none is left).
  qsizetype validate(const PlotDataMap &map, double lower);

  QList<Block> m_blocks; // consecutive runs in key order
  const PlotDataMap *m_map = nullptr;
};

#endif // VALUEEXTREMES_H
