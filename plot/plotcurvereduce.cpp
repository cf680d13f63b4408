// The curve's reduction against the visible area. The plane around the
// visible rectangle R (grown by the stroke margin) is cut into nine regions,
// numbered column by column:
//
//   1 4 7
//   2 5 8      5 is R itself
//   3 6 9
//
// Points in R pass unchanged; a segment entering or leaving R is cut at its
// border; a path running around outside is replaced by R's corners, which
// keeps the fill of the closed outline right; a run within one outside region
// emits nothing.
#include "plotaxis.h"
#include "plotcurve.h"

#include <QDebug>
#include <cmath>

namespace {
// Corners of R as letters: a top-left, b top-right, c bottom-left, d bottom-right.
// Pairs left empty emit no corner. The four diagonal pairs across R (1-9, 3-7)
// depend on which side the segment passes and are decided in code.
const char *const cornerTable[10][10] = {
    {},
    {"", "", "a", "ac", "a", "", "acc", "ab", "abb", ""},
    {"", "a", "", "c", "aa", "", "cc", "aab", "", "ccd"},
    {"", "ca", "c", "", "caa", "", "c", "", "cdd", "cd"},
    {"", "a", "aa", "aac", "", "", "", "b", "bb", "bbd"},
    {"", "a", "", "c", "", "", "", "b", "", "d"},
    {"", "cca", "cc", "c", "", "", "", "ddb", "dd", "d"},
    {"", "ba", "baa", "", "b", "", "bdd", "", "b", "bd"},
    {"", "bba", "", "ddc", "bb", "", "dd", "b", "", "d"},
    {"", "", "dcc", "dc", "dbb", "", "d", "db", "d", ""},
};

// Region pairs whose straight segment cannot pass through R: bit n set for
// current region n.
constexpr unsigned regionBits(std::initializer_list<int> regions)
{
  unsigned bits = 0;
  for (int r : regions)
    bits |= 1u << r;
  return bits;
}
const unsigned noTraverse[10] = {
    0,
    regionBits({2, 3, 4, 7}),
    regionBits({1, 3}),
    regionBits({1, 2, 6, 9}),
    regionBits({1, 7}),
    ~0u,
    regionBits({3, 9}),
    regionBits({1, 4, 8, 9}),
    regionBits({7, 9}),
    regionBits({3, 6, 7, 8}),
};

bool validRegion(int region)
{
  return region >= 1 && region <= 9;
}
} // namespace

int PlotCurve::getRegion(double key, double value, double keyMin, double valueMax, double keyMax,
                         double valueMin) const
{
  // Strict comparisons: the border belongs to R, and NaN lands in R.
  const int row = value > valueMax ? 0 : (value < valueMin ? 2 : 1);
  if (key < keyMin)
    return 1 + row;
  if (key > keyMax)
    return 7 + row;
  return 4 + row;
}

QPointF PlotCurve::getOptimizedPoint(int otherRegion, double otherKey, double otherValue, double key, double value,
                                     double keyMin, double valueMax, double keyMax, double valueMin) const
{
  const double keyPerValue = (key - otherKey) / (value - otherValue);
  const double valuePerKey = (value - otherValue) / (key - otherKey);
  const double keyAtTop = otherKey + keyPerValue * (valueMax - otherValue);
  const double keyAtBottom = otherKey + keyPerValue * (valueMin - otherValue);
  const auto leftPoint = [&] { return coordsToPixels(keyMin, otherValue + valuePerKey * (keyMin - otherKey)); };
  const auto rightPoint = [&] { return coordsToPixels(keyMax, otherValue + valuePerKey * (keyMax - otherKey)); };
  const auto outsideKeys = [&](double k) { return k < keyMin || k > keyMax; };

  switch (otherRegion) {
  case 1:
    return outsideKeys(keyAtTop) ? leftPoint() : coordsToPixels(keyAtTop, valueMax);
  case 2:
    return leftPoint();
  case 3:
    return outsideKeys(keyAtBottom) ? leftPoint() : coordsToPixels(keyAtBottom, valueMin);
  case 4:
    return coordsToPixels(keyAtTop, valueMax);
  case 6:
    return coordsToPixels(keyAtBottom, valueMin);
  case 7:
    return outsideKeys(keyAtTop) ? rightPoint() : coordsToPixels(keyAtTop, valueMax);
  case 8:
    return rightPoint();
  case 9:
    return outsideKeys(keyAtBottom) ? rightPoint() : coordsToPixels(keyAtBottom, valueMin);
  default:
    return coordsToPixels(keyMin, valueMax);
  }
}

QList<QPointF> PlotCurve::getOptimizedCornerPoints(int prevRegion, int currentRegion, double prevKey,
                                                   double prevValue, double key, double value, double keyMin,
                                                   double valueMax, double keyMax, double valueMin) const
{
  QList<QPointF> result;
  if (!validRegion(prevRegion) || !validRegion(currentRegion))
    return result;
  const char *corners = cornerTable[prevRegion][currentRegion];
  if ((prevRegion == 1 && currentRegion == 9) || (prevRegion == 9 && currentRegion == 1) ||
      (prevRegion == 3 && currentRegion == 7) || (prevRegion == 7 && currentRegion == 3)) {
    // Below the far corner or above it; NaN takes the second way.
    const double slope = (value - prevValue) / (key - prevKey);
    const bool leftSide = prevRegion == 1 || prevRegion == 9;
    const double border = leftSide ? value + slope * (keyMin - key) : value + slope * (keyMax - key);
    const bool below = border < valueMin;
    if (prevRegion == 1)
      corners = below ? "accd" : "abbd";
    else if (prevRegion == 9)
      corners = below ? "dcca" : "dbba";
    else if (prevRegion == 3)
      corners = below ? "cddb" : "caab";
    else
      corners = below ? "bddc" : "baac";
  }
  for (const char *c = corners; *c; ++c) {
    switch (*c) {
    case 'a':
      result.append(coordsToPixels(keyMin, valueMax));
      break;
    case 'b':
      result.append(coordsToPixels(keyMax, valueMax));
      break;
    case 'c':
      result.append(coordsToPixels(keyMin, valueMin));
      break;
    default:
      result.append(coordsToPixels(keyMax, valueMin));
      break;
    }
  }
  return result;
}

bool PlotCurve::mayTraverse(int prevRegion, int currentRegion) const
{
  if (!validRegion(prevRegion) || !validRegion(currentRegion))
    return true;
  return !(noTraverse[prevRegion] & (1u << currentRegion));
}

bool PlotCurve::getTraverse(double prevKey, double prevValue, double key, double value, double keyMin,
                            double valueMax, double keyMax, double valueMin, QPointF &crossA, QPointF &crossB) const
{
  struct Coord
  {
    double key, value;
  };
  QList<Coord> candidates;
  if (std::fabs(key - prevKey) <= 1e-12) {
    candidates << Coord{key, valueMin} << Coord{key, valueMax};
  } else if (std::fabs(value - prevValue) <= 1e-12) {
    candidates << Coord{keyMin, value} << Coord{keyMax, value};
  } else {
    const double keyPerValue = (key - prevKey) / (value - prevValue);
    double gamma = prevKey + (valueMax - prevValue) * keyPerValue;
    if (gamma >= keyMin && gamma <= keyMax)
      candidates << Coord{gamma, valueMax};
    gamma = prevKey + (valueMin - prevValue) * keyPerValue;
    if (gamma >= keyMin && gamma <= keyMax)
      candidates << Coord{gamma, valueMin};
    const double valuePerKey = 1.0 / keyPerValue;
    gamma = prevValue + (keyMin - prevKey) * valuePerKey;
    if (gamma >= valueMin && gamma <= valueMax)
      candidates << Coord{keyMin, gamma};
    gamma = prevValue + (keyMax - prevKey) * valuePerKey;
    if (gamma >= valueMin && gamma <= valueMax)
      candidates << Coord{keyMax, gamma};
  }

  // Through a corner the same point is found twice: keep the farthest pair.
  if (candidates.size() > 2) {
    double bestDistSqr = 0;
    Coord first = candidates.at(0), second = candidates.at(1);
    for (qsizetype i = 0; i < candidates.size() - 1; ++i) {
      for (qsizetype k = i + 1; k < candidates.size(); ++k) {
        const double dk = candidates.at(i).key - candidates.at(k).key;
        const double dv = candidates.at(i).value - candidates.at(k).value;
        const double distSqr = dk * dk + dv * dv;
        if (distSqr > bestDistSqr) {
          bestDistSqr = distSqr;
          first = candidates.at(i);
          second = candidates.at(k);
        }
      }
    }
    candidates = {first, second};
  }
  if (candidates.size() < 2)
    return false;
  // In the direction of travel.
  if ((candidates.at(1).key - candidates.at(0).key) * (key - prevKey) +
          (candidates.at(1).value - candidates.at(0).value) * (value - prevValue) <
      0)
    candidates.swapItemsAt(0, 1);
  crossA = coordsToPixels(candidates.at(0).key, candidates.at(0).value);
  crossB = coordsToPixels(candidates.at(1).key, candidates.at(1).value);
  return true;
}

void PlotCurve::getTraverseCornerPoints(int prevRegion, int currentRegion, double keyMin, double valueMax,
                                        double keyMax, double valueMin, QList<QPointF> &beforeTraverse,
                                        QList<QPointF> &afterTraverse) const
{
  const QPointF topLeft = coordsToPixels(keyMin, valueMax);
  const QPointF topRight = coordsToPixels(keyMax, valueMax);
  const QPointF bottomLeft = coordsToPixels(keyMin, valueMin);
  const QPointF bottomRight = coordsToPixels(keyMax, valueMin);
  switch (prevRegion * 10 + currentRegion) {
  case 16:
  case 18:
    beforeTraverse << topLeft;
    break;
  case 19:
    beforeTraverse << topLeft;
    afterTraverse << bottomRight;
    break;
  case 27:
    afterTraverse << topRight;
    break;
  case 29:
    afterTraverse << bottomRight;
    break;
  case 34:
  case 38:
    beforeTraverse << bottomLeft;
    break;
  case 37:
    beforeTraverse << bottomLeft;
    afterTraverse << topRight;
    break;
  case 43:
    afterTraverse << bottomLeft;
    break;
  case 49:
    afterTraverse << bottomRight;
    break;
  case 61:
    afterTraverse << topLeft;
    break;
  case 67:
    afterTraverse << topRight;
    break;
  case 72:
  case 76:
    beforeTraverse << topRight;
    break;
  case 73:
    beforeTraverse << topRight;
    afterTraverse << bottomLeft;
    break;
  case 81:
    afterTraverse << topLeft;
    break;
  case 83:
    afterTraverse << bottomLeft;
    break;
  case 92:
  case 94:
    beforeTraverse << bottomRight;
    break;
  case 91:
    beforeTraverse << bottomRight;
    afterTraverse << topLeft;
    break;
  default:
    break;
  }
}

void PlotCurve::getCurveData(QList<QPointF> *lineData) const
{
  const PlotAxis *keyAxis = mKeyAxis.data();
  const PlotAxis *valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) {
    qDebug() << Q_FUNC_INFO << "invalid key or value axis";
    return;
  }
  if (mData->isEmpty())
    return;

  // R: the visible area grown outward by the stroke margin, whatever the
  // orientation and direction of the axes.
  double margin = qMax(1.0, mainPen().widthF() * 0.75);
  if (!mScatterStyle.isNone())
    margin = qMax(margin, mScatterStyle.size());
  const double keySign = (keyAxis->orientation() == Qt::Vertical) == keyAxis->rangeReversed() ? 1 : -1;
  const double valueSign = (valueAxis->orientation() == Qt::Horizontal) == valueAxis->rangeReversed() ? 1 : -1;
  const double keyMin = keyAxis->pixelToCoord(keyAxis->coordToPixel(keyAxis->range().lower) - keySign * margin);
  const double keyMax = keyAxis->pixelToCoord(keyAxis->coordToPixel(keyAxis->range().upper) + keySign * margin);
  const double valueMin =
      valueAxis->pixelToCoord(valueAxis->coordToPixel(valueAxis->range().lower) + valueSign * margin);
  const double valueMax =
      valueAxis->pixelToCoord(valueAxis->coordToPixel(valueAxis->range().upper) - valueSign * margin);

  // The closing segment (last point to first) runs first; what it puts in
  // front of the first point belongs at the end of the line.
  QList<QPointF> trailingPoints;
  const PlotCurveData *prev = &std::prev(mData->constEnd()).value();
  int prevRegion = getRegion(prev->key, prev->value, keyMin, valueMax, keyMax, valueMin);
  bool first = true;
  for (auto it = mData->constBegin(); it != mData->constEnd(); ++it) {
    const PlotCurveData &cur = it.value();
    const int region = getRegion(cur.key, cur.value, keyMin, valueMax, keyMax, valueMin);
    if (region != prevRegion && region != 5) {
      if (prevRegion == 5) {
        // Leaving R.
        lineData->append(getOptimizedPoint(region, cur.key, cur.value, prev->key, prev->value, keyMin, valueMax,
                                           keyMax, valueMin));
        lineData->append(getOptimizedCornerPoints(5, region, prev->key, prev->value, cur.key, cur.value, keyMin,
                                                  valueMax, keyMax, valueMin));
      } else {
        QPointF crossA, crossB;
        if (mayTraverse(prevRegion, region) && getTraverse(prev->key, prev->value, cur.key, cur.value, keyMin,
                                                           valueMax, keyMax, valueMin, crossA, crossB)) {
          QList<QPointF> before, after;
          getTraverseCornerPoints(prevRegion, region, keyMin, valueMax, keyMax, valueMin, before, after);
          if (!first) {
            lineData->append(before);
            lineData->append(crossA);
            lineData->append(crossB);
            lineData->append(after);
          } else {
            lineData->append(crossB);
            lineData->append(after);
            trailingPoints.append(before);
            trailingPoints.append(crossA);
          }
        } else {
          lineData->append(getOptimizedCornerPoints(prevRegion, region, prev->key, prev->value, cur.key, cur.value,
                                                    keyMin, valueMax, keyMax, valueMin));
        }
      }
    } else if (region != prevRegion) {
      // Entering R.
      const QPointF entry = getOptimizedPoint(prevRegion, prev->key, prev->value, cur.key, cur.value, keyMin,
                                              valueMax, keyMax, valueMin);
      (first ? trailingPoints : *lineData).append(entry);
      lineData->append(coordsToPixels(cur.key, cur.value));
    } else if (region == 5) {
      lineData->append(coordsToPixels(cur.key, cur.value));
    }
    // Else a run within one outside region: nothing.
    prev = &cur;
    prevRegion = region;
    first = false;
  }
  lineData->append(trailingPoints);
}
