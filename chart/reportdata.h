#ifndef REPORTDATA_H
#define REPORTDATA_H

#include <QtGlobal>

#include <limits>

// Statistics of one time span: its ends and, for channels #0 (µA), #1 and #2
// (mV), minimum, maximum, average and running sum, plus the sample count.
// The fifteen fields in this order are also the 120-byte tail of a capture file.
struct ReportData
{
  static constexpr int byteSize = 120;
  // Empty state in memory: a channel without data keeps these extremes. The
  // running maximum starts at the lowest double so an all-negative channel
  // still shows its real maximum.
  static constexpr double emptyMin = std::numeric_limits<double>::max();
  static constexpr double emptyMax = std::numeric_limits<double>::lowest();
  // A file marks a channel without data by this maximum (the smallest
  // positive normal double) beside the empty minimum: toBytes() writes it for
  // an empty maximum and fromBytes() reads it back as one.
  static constexpr double fileEmptyMax = std::numeric_limits<double>::min();

  double t_end;
  double t_start;
  double min0, max0, avg0, sum0;
  double min1, max1, avg1, sum1;
  double min2, max2, avg2, sum2;
  qint64 count;

  ReportData() { reset(); }

  void reset();
  // True when channel 0, 1 or 2 holds at least one value.
  bool hasData(int channel) const;

  void toBytes(uchar *out) const;
  static ReportData fromBytes(const uchar *in);
};

#endif // REPORTDATA_H
