// The navigation scan: the whole capture turned into a step series for the
// navigation strip, 0 where the scanned value stays below the threshold and
// the threshold where it reaches it.
#include "swapfile.h"

#include "lebytes.h"
#include "swapfileprogress.h"
#include "swapfilewalk.h"

#include <cmath>

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
  const int offset = 8 * (column + 1);
  // The strip is a few hundred pixels wide: the series is kept per bin, a bin
  // high when any of its samples reached the level. Crossings every sample
  // then cost a handful of points, not four each, and the series' size does
  // not grow with the capture's length.
  const double binWidth = qMax(duration / double(navigationBins), minimumBinWidth);
  bool inRun = false;
  double runEnd = 0;          // first time below the level after the run's last high sample
  bool runEndKnown = false;
  double lastHighBin = 0;     // bin of the run's last high sample
  double lastTime = beforeAnyTime;
  auto closeRun = [&](double end) {
    series.insert(end - 0.00001, PlotData(end - 0.00001, threshold));
    series.insert(end, PlotData(end, 0));
    inRun = false;
  };
  // A run stays open across read blocks: the series must not depend on how
  // the file is read.
  const WalkResult result = walk(layout, 0, total, [&](const uchar *record, qint64 index) {
    if ((index & 1023) == 0 && pollCancel(progress, index, total))
      return false;
    const double t = LeBytes::getDouble(record);
    if (!inOrder(t, lastTime))
      return true;
    const double v = LeBytes::getDouble(record + offset);
    if (v >= level) {
      const double bin = std::floor(t / binWidth);
      // A run goes on while no whole bin passes without a high sample.
      if (inRun && runEndKnown && bin > lastHighBin + 1)
        closeRun(runEnd);
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
    return true;
  });
  if (result != WalkDone) {
    if (result == WalkStopped)
      terminated = true;
    close();
    return false;
  }
  if (inRun && runEndKnown) {
    closeRun(runEnd);
  } else if (inRun) {
    // A run still open closes at the last record with a time, the duration.
    series.insert(lastTime - 0.0000001, PlotData(lastTime - 0.0000001, threshold));
    series.insert(lastTime, PlotData(lastTime, 0));
  }
  series.insert(duration, PlotData(duration, 0));

  const PlotRange span = layout.tail ? PlotRange(layout.report.t_start, layout.report.t_end) : PlotRange(0, duration);
  navigationRange = span;
  navigationSpan = span;
  close();
  return true;
}
