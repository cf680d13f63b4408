// The navigation scan: the whole capture turned into a step series for the
// navigation strip, 0 where the scanned value stays below the threshold and
// the threshold where it reaches it.
#include "swapfile.h"

#include "lebytes.h"
#include "swapfileprogress.h"
#include "swapfilewalk.h"

#include <cmath>

namespace {

// Where the scan stands between two stretches of records: a run stays open
// across them, so the series does not depend on how the file is read.
struct ScanState
{
  bool inRun = false;
  bool runEndKnown = false;
  double runEnd = 0;      // first time below the level after the run's last high sample
  double lastHighBin = 0; // bin of the run's last high sample
  double lastTime = beforeAnyTime;
};

void closeRun(PlotDataMap &series, double end, double threshold)
{
  series.insert(end - 0.00001, PlotData(end - 0.00001, threshold));
  series.insert(end, PlotData(end, 0));
}

// Scans `n` records of length `L` whose scanned value sits at `offset`. The
// state stays in locals meanwhile: the loop then keeps pace with the read.
void scanRecords(const uchar *record, qint64 n, qint64 L, int offset, double level, double threshold,
                 double binWidth, PlotDataMap &series, ScanState &state)
{
  bool inRun = state.inRun;
  bool runEndKnown = state.runEndKnown;
  double runEnd = state.runEnd;
  double lastHighBin = state.lastHighBin;
  double lastTime = state.lastTime;
  for (const uchar *end = record + n * L; record != end; record += L) {
    const double t = LeBytes::getDouble(record);
    if (!inOrder(t, lastTime))
      continue;
    const double v = LeBytes::getDouble(record + offset);
    if (v >= level) {
      const double bin = std::floor(t / binWidth);
      // A run goes on while no whole bin passes without a high sample.
      if (inRun && runEndKnown && bin > lastHighBin + 1) {
        closeRun(series, runEnd, threshold);
        inRun = false;
      }
      if (!inRun) {
        series.insert(t - 0.0001, PlotData(t - 0.0001, 0));
        series.insert(t, PlotData(t, threshold));
        inRun = true;
      }
      lastHighBin = bin;
      runEndKnown = false;
    } else if (inRun && !runEndKnown) {
      runEnd = t;
      runEndKnown = true;
    }
  }
  state = {inRun, runEndKnown, runEnd, lastHighBin, lastTime};
}

} // namespace

bool SwapFile::scan(const QString &path, int channel, int column, double threshold, SwapFileProgress *progress)
{
  if (progress)
    progress->setInfo(tr("Decimating..."));
  cancelRequested = false;
  Layout layout;
  if (!openCapture(path, OpenFailed, layout, progress))
    return false;
  if (column < 0 || column >= header.channelCount || activeChannels.value(column, -1) != channel) {
    close();
    emit swapFileError(WrongChannels);
    return false;
  }
  navigationChannel = channel;
  navigationColumn = column;
  if (channel >= 0 && channel < 3)
    thresholds[channel] = threshold;
  // Channel #0 is stored in µA, its threshold is in mA.
  const double level = channel == 0 ? threshold * 1000 : threshold;

  PlotDataMap &series = *navigationSeries;
  series.clear();
  series.insert(0, PlotData(0, 0));
  series.insert(duration, PlotData(duration, 0));

  const qint64 total = layout.records;
  const qint64 L = layout.recordLength;
  const int offset = 8 * (column + 1);
  // The strip is a few hundred pixels wide: the series is kept per bin, a bin
  // high when any of its samples reached the level. Crossings every sample
  // then cost a handful of points, not four each, and the series' size does
  // not grow with the capture's length.
  const double binWidth = qMax(duration / double(navigationBins), minimumBinWidth);
  ScanState state;
  const WalkResult result = walkBlocks(layout, 0, total, [&](const uchar *block, qint64 first, qint64 n) {
    // Asked every 1024 records, whatever the size of the blocks read.
    for (qint64 k = 0; k < n;) {
      const qint64 index = first + k;
      if ((index & 1023) == 0 && pollCancel(progress, index, total))
        return false;
      const qint64 step = qMin(n - k, 1024 - (index & 1023));
      scanRecords(block + k * L, step, L, offset, level, threshold, binWidth, series, state);
      k += step;
    }
    return true;
  });
  if (result != WalkDone) {
    if (result == WalkStopped)
      terminated = true;
    close();
    return false;
  }
  if (state.inRun && state.runEndKnown) {
    closeRun(series, state.runEnd, threshold);
  } else if (state.inRun) {
    // A run still open closes at the last record with a time, the duration.
    const double last = state.lastTime;
    series.insert(last - 0.0000001, PlotData(last - 0.0000001, threshold));
    series.insert(last, PlotData(last, 0));
  }
  series.insert(duration, PlotData(duration, 0));

  const PlotRange span = layout.tail ? PlotRange(layout.report.t_start, layout.report.t_end) : PlotRange(0, duration);
  navigationRange = span;
  navigationSpan = span;
  close();
  return true;
}
