#include "valueextremes.h"

#include <algorithm>
#include <cmath>

void ValueExtremes::reset()
{
  m_blocks.clear();
  m_map = nullptr;
}

qsizetype ValueExtremes::validate(const PlotDataMap &map, double lower)
{
  // Runs reaching before the map's first point were trimmed; runs wholly
  // before the window will not be asked for again while it moves forward.
  const double first = map.firstKey();
  qsizetype gone = 0;
  while (gone < m_blocks.size() && (m_blocks.at(gone).firstKey < first || m_blocks.at(gone).lastKey < lower))
    ++gone;
  m_blocks.remove(0, gone);
  if (m_blocks.isEmpty())
    return map.size();

  const PlotDataMap::const_iterator begin = map.cbegin();
  const qsizetype start = map.lowerBound(m_blocks.first().firstKey) - begin;
  const qsizetype size = map.size();
  qsizetype valid = 0;
  for (; valid < m_blocks.size(); ++valid) {
    const qsizetype at = start + valid * BlockSize;
    const Block &block = m_blocks.at(valid);
    if (at + BlockSize > size || begin[at].key != block.firstKey || begin[at + BlockSize - 1].key != block.lastKey)
      break;
  }
  m_blocks.resize(valid);
  return m_blocks.isEmpty() ? size : start;
}

bool ValueExtremes::find(const PlotDataMap &map, double lower, double upper, double &low, double &high)
{
  if (&map != m_map) {
    reset();
    m_map = &map;
  }
  if (map.isEmpty() || !(lower <= upper)) {
    m_blocks.clear();
    return false;
  }
  const PlotDataMap::const_iterator begin = map.cbegin();
  const qsizetype from = map.lowerBound(lower) - begin;
  const qsizetype to = map.upperBound(upper) - begin; // exclusive

  qsizetype runsStart = validate(map, lower);
  if (m_blocks.isEmpty())
    runsStart = from;
  // New runs only inside the window: the points behind the last run that
  // arrived since the last query.
  qsizetype runsEnd = runsStart + m_blocks.size() * BlockSize;
  if (runsEnd < from) {
    m_blocks.clear();
    runsStart = runsEnd = from;
  }
  while (runsEnd + BlockSize <= to) {
    Block block{begin[runsEnd].key, begin[runsEnd + BlockSize - 1].key, 0, 0, false};
    for (qsizetype i = runsEnd; i < runsEnd + BlockSize; ++i) {
      const double v = begin[i].value;
      if (std::isnan(v))
        continue;
      if (!block.any) {
        block.low = block.high = v;
        block.any = true;
      } else {
        block.low = std::min(block.low, v);
        block.high = std::max(block.high, v);
      }
    }
    m_blocks.append(block);
    runsEnd += BlockSize;
  }

  bool any = false;
  double mn = 0, mx = 0;
  const auto take = [&](double a, double b) {
    if (!any) {
      mn = a;
      mx = b;
      any = true;
    } else {
      mn = std::min(mn, a);
      mx = std::max(mx, b);
    }
  };
  qsizetype i = from;
  while (i < to) {
    if (i >= runsStart && i < runsEnd && (i - runsStart) % BlockSize == 0 && i + BlockSize <= to) {
      const Block &block = m_blocks.at((i - runsStart) / BlockSize);
      if (block.any)
        take(block.low, block.high);
      i += BlockSize;
      continue;
    }
    // Point by point up to the next run's start, or the window's end.
    qsizetype stop = to;
    if (i < runsStart)
      stop = std::min(to, runsStart);
    else if (i < runsEnd)
      stop = std::min(to, runsStart + ((i - runsStart) / BlockSize + 1) * BlockSize);
    for (; i < stop; ++i) {
      const double v = begin[i].value;
      if (!std::isnan(v))
        take(v, v);
    }
  }
  if (any) {
    low = mn;
    high = mx;
  }
  return any;
}
