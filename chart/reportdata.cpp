#include "reportdata.h"
#include "lebytes.h"

void ReportData::reset()
{
  t_end = t_start = 0;
  avg0 = sum0 = avg1 = sum1 = avg2 = sum2 = 0;
  min0 = min1 = min2 = emptyMin;
  max0 = max1 = max2 = emptyMax;
  count = 0;
}

bool ReportData::hasData(int channel) const
{
  double mn, mx;
  switch (channel) {
  case 0:
    mn = min0, mx = max0;
    break;
  case 1:
    mn = min1, mx = max1;
    break;
  case 2:
    mn = min2, mx = max2;
    break;
  default:
    return false;
  }
  return mx != emptyMax && !(mn == emptyMin && mx == fileEmptyMax);
}

void ReportData::toBytes(uchar *out) const
{
  // Readers of the format take the smallest positive double, not the lowest
  // one, as the maximum of a channel without data.
  const auto stored = [](double max) { return max == emptyMax ? fileEmptyMax : max; };
  const double fields[14] = {t_end, t_start, min0, stored(max0), avg0, sum0, min1, stored(max1),
                             avg1,  sum1,    min2, stored(max2), avg2, sum2};
  for (int i = 0; i < 14; ++i)
    LeBytes::putDouble(out + 8 * i, fields[i]);
  LeBytes::put<qint64>(out + 112, count);
}

ReportData ReportData::fromBytes(const uchar *in)
{
  ReportData r;
  double *fields[14] = {&r.t_end, &r.t_start, &r.min0, &r.max0, &r.avg0, &r.sum0, &r.min1,
                        &r.max1,  &r.avg1,    &r.sum1, &r.min2, &r.max2, &r.avg2, &r.sum2};
  for (int i = 0; i < 14; ++i)
    *fields[i] = LeBytes::getDouble(in + 8 * i);
  r.count = LeBytes::get<qint64>(in + 112);
  double *maxima[3] = {&r.max0, &r.max1, &r.max2};
  const double minima[3] = {r.min0, r.min1, r.min2};
  for (int c = 0; c < 3; ++c) {
    if (minima[c] == emptyMin && *maxima[c] == fileEmptyMax)
      *maxima[c] = emptyMax;
  }
  return r;
}
