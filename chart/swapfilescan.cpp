// The navigation scan: the whole capture turned into a step series for the
// navigation strip, 0 where the scanned value stays below the threshold and
// the threshold where it reaches it.
#include "swapfile.h"

#include "lebytes.h"
#include "swapfileprogress.h"
#include "swapfilewalk.h"

#include <QFile>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

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

// Where the series' points go: straight into the series, or into a list
// that is replayed into it later in the same order.
struct SeriesSink
{
  PlotDataMap &series;
  void operator()(double key, double value) { series.insert(key, PlotData(key, value)); }
};
struct ListSink
{
  std::vector<std::pair<double, double>> &points;
  void operator()(double key, double value) { points.emplace_back(key, value); }
};

template <typename Sink> void closeRun(Sink &&sink, double end, double threshold)
{
  sink(end - 0.00001, threshold);
  sink(end, 0);
}

// Scans `n` records of length `L` whose scanned value sits at `offset`. The
// state stays in locals meanwhile: the loop then keeps pace with the read.
template <typename Sink>
void scanRecords(const uchar *record, qint64 n, qint64 L, int offset, double level, double threshold,
                 double binWidth, Sink &&series, ScanState &state)
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
        series(t - 0.0001, 0);
        series(t, threshold);
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

// One stretch of the records scanned on a thread of its own, as if the
// scan began there: what it found, and what the stretch's start needs to be
// joined to the stretches before it.
struct Stretch
{
  qint64 first = 0, count = 0;
  std::vector<std::pair<double, double>> points; // the series' inserts, in order
  ScanState fresh;                               // the state after the stretch
  bool kept = false;                             // a record of it has a place on the time line
  double firstKept = 0;
  bool high = false; // a kept record reached the level; the first one's bin:
  double firstHighBin = 0;
  bool lowFirst = false; // a kept record below the level came before it; its time:
  double firstLow = 0;
  bool ok = true;
};

// Scans `stretch` of the capture at `path` through a handle of its own.
void scanStretch(const QString &path, qint64 L, int offset, double level, double threshold, double binWidth,
                 Stretch &stretch, const std::atomic<bool> &stop, std::atomic<qint64> &done)
{
  QFile f(path);
  if (!f.open(SwapFileIo::readMode) || !f.seek(SwapFile::headerBlockSize + stretch.first * L)) {
    stretch.ok = false;
    return;
  }
  const qint64 perBlock = qMax<qint64>(1, qMin(stretch.count, SwapFile::readBlockBytes / L));
  std::unique_ptr<uchar[]> buffer(new uchar[size_t(perBlock * L)]);
  double previous = beforeAnyTime;
  ListSink sink {stretch.points};
  for (qint64 at = 0; at < stretch.count && !stop.load(std::memory_order_relaxed);) {
    const qint64 n = qMin(perBlock, stretch.count - at);
    if (f.read(reinterpret_cast<char *>(buffer.get()), n * L) != n * L) {
      stretch.ok = false;
      return;
    }
    // What comes before the first high record decides how the stretch joins.
    for (qint64 k = 0; k < n && !stretch.high; ++k) {
      const uchar *record = buffer.get() + k * L;
      const double t = LeBytes::getDouble(record);
      if (!inOrder(t, previous))
        continue;
      if (!stretch.kept) {
        stretch.kept = true;
        stretch.firstKept = t;
      }
      if (LeBytes::getDouble(record + offset) >= level) {
        stretch.high = true;
        stretch.firstHighBin = std::floor(t / binWidth);
      } else if (!stretch.lowFirst) {
        stretch.lowFirst = true;
        stretch.firstLow = t;
      }
    }
    scanRecords(buffer.get(), n, L, offset, level, threshold, binWidth, sink, stretch.fresh);
    at += n;
    done.fetch_add(n, std::memory_order_relaxed);
  }
}

// The scan of a long capture in `stretches` stretches at once. Each is
// scanned as if the scan began there; joined in order, a stretch's series
// is what the one walk would have made, since the walk's state only matters
// up to the stretch's first record that reaches the level: after it both
// states are the same. A stretch whose records start before a time already
// passed (a damaged file) is walked again from the state it really begins in.
// `poll` gets the records done so far and returns true to stop; `rewalk`
// walks records again into the series from a state.
enum class ScanOutcome { Done, Stopped, Failed };
ScanOutcome scanStretches(const QString &path, qint64 total, qint64 L, qint64 stretches, int offset, double level,
                          double threshold, double binWidth, PlotDataMap &series, ScanState &state,
                          const std::function<bool(qint64)> &poll,
                          const std::function<bool(qint64, qint64, ScanState &)> &rewalk)
{
  std::vector<Stretch> parts(static_cast<size_t>(stretches));
  for (qint64 i = 0; i < stretches; ++i) {
    parts[size_t(i)].first = total * i / stretches;
    parts[size_t(i)].count = total * (i + 1) / stretches - parts[size_t(i)].first;
  }
  std::atomic<bool> stop {false};
  std::atomic<qint64> done {0};
  std::mutex mutex;
  std::condition_variable finished;
  int running = int(stretches);
  std::vector<std::thread> workers;
  for (Stretch &part : parts) {
    workers.emplace_back([&, L] {
      scanStretch(path, L, offset, level, threshold, binWidth, part, stop, done);
      std::lock_guard<std::mutex> lock(mutex);
      --running;
      finished.notify_one();
    });
  }
  // The GUI thread keeps the bar moving and hears a cancel meanwhile.
  bool cancelled = false;
  for (;;) {
    if (!cancelled && poll(done.load(std::memory_order_relaxed))) {
      cancelled = true;
      stop = true;
    }
    std::unique_lock<std::mutex> lock(mutex);
    finished.wait_for(lock, std::chrono::milliseconds(20), [&] { return running == 0; });
    if (running == 0)
      break;
  }
  for (std::thread &worker : workers)
    worker.join();
  if (cancelled)
    return ScanOutcome::Stopped;
  for (const Stretch &part : parts) {
    if (!part.ok)
      return ScanOutcome::Failed;
  }

  SeriesSink sink {series};
  for (const Stretch &part : parts) {
    if (!part.kept)
      continue; // nothing of it counts: the state stays
    if (part.firstKept < state.lastTime) {
      if (!rewalk(part.first, part.count, state))
        return ScanOutcome::Failed;
      continue;
    }
    size_t from = 0;
    if (state.inRun) {
      // The run open before the stretch goes on into it, or closes at its
      // first high record.
      if (!state.runEndKnown && part.lowFirst) {
        state.runEnd = part.firstLow;
        state.runEndKnown = true;
      }
      if (!part.high) {
        state.lastTime = part.fresh.lastTime;
        continue;
      }
      if (state.runEndKnown && part.firstHighBin > state.lastHighBin + 1)
        closeRun(sink, state.runEnd, threshold);
      else
        from = 2; // the run goes on: the stretch's own start of it is none
    }
    for (size_t i = from; i < part.points.size(); ++i)
      sink(part.points[i].first, part.points[i].second);
    state = part.fresh;
  }
  return ScanOutcome::Done;
}

} // namespace

int SwapFile::scanThreads = 0;

bool SwapFile::scan(const QString &path, int channel, int column, double threshold, SwapFileProgress *progress)
{
  if (progress)
    progress->setInfo(tr("Decimating..."));
  const Operation operation(this);
  Layout layout;
  if (!openCapture(path, OpenFailed, layout, progress))
    return false;
  return scanLayout(layout, channel, column, threshold, progress);
}

bool SwapFile::scanLayout(const Layout &layout, int channel, int column, double threshold, SwapFileProgress *progress)
{
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
  const int threads = scanThreads > 0 ? scanThreads
                      : total >= parallelScanRecords ? qBound(1, QThread::idealThreadCount(), 4)
                                                     : 1;
  const auto poll = [&](qint64 done) { return pollCancel(progress, done, total); };
  // A failed walk has told of its error already.
  bool rewalkFailed = false;
  const auto rewalk = [&](qint64 first, qint64 count, ScanState &from) {
    rewalkFailed = walkBlocks(layout, first, count, [&](const uchar *block, qint64, qint64 n) {
                     scanRecords(block, n, L, offset, level, threshold, binWidth, SeriesSink {series}, from);
                     return true;
                   }) != WalkDone;
    return !rewalkFailed;
  };
  const auto parallel = [&] {
    switch (scanStretches(file.fileName(), total, L, qMin<qint64>(threads, total), offset, level, threshold,
                          binWidth, series, state, poll, rewalk)) {
    case ScanOutcome::Done:
      return WalkDone;
    case ScanOutcome::Stopped:
      return WalkStopped;
    case ScanOutcome::Failed:
      break;
    }
    if (!rewalkFailed)
      emit swapFileError(ReadFailed);
    return WalkFailed;
  };
  const WalkResult result =
    threads > 1 ? parallel()
                : walkBlocks(layout, 0, total, [&](const uchar *block, qint64 first, qint64 n) {
                    // Asked every 1024 records, whatever the size of the blocks read.
                    for (qint64 k = 0; k < n;) {
                      const qint64 index = first + k;
                      if ((index & 1023) == 0 && pollCancel(progress, index, total))
                        return false;
                      const qint64 step = qMin(n - k, 1024 - (index & 1023));
                      scanRecords(block + k * L, step, L, offset, level, threshold, binWidth, SeriesSink {series},
                                  state);
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
    closeRun(SeriesSink {series}, state.runEnd, threshold);
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
