// Reading and paging: opening a saved capture for display, loading a time
// window into the chart's point maps, the average over a window and the
// statistics. Nothing here shows a window or a cursor (swapfiledialog.cpp).
#include "swapfile.h"

#include "helpers.h"
#include "lebytes.h"
#include "swapfileprogress.h"
#include "swapfilewalk.h"

#include <QFile>
#include <QVarLengthArray>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include <cmath>

namespace {

// Inserts in key order; the hint makes an ascending fill cheap.
inline void insertPoint(PlotDataMap *map, double key, double value)
{
  map->insert(map->cend(), key, PlotData(key, value));
}

using Targets = QVarLengthArray<QPair<int, PlotDataMap *>, 8>; // (value column, map)

// Reads the first `count` records of the capture at `path` into `targets`
// through a handle of its own, so it can run on another thread beside the
// navigation scan. Returns false when the file cannot be read; stops early,
// with nothing to report, once `stop` is set.
bool fillWindow(const QString &path, qint64 recordLength, qint64 count, const Targets &targets,
                const std::atomic<bool> &stop)
{
  QFile f(path);
  if (!f.open(SwapFileIo::readMode) || !f.seek(SwapFile::headerBlockSize))
    return false;
  const qint64 L = recordLength;
  const qint64 perBlock = qMax<qint64>(1, qMin(count, SwapFile::readBlockBytes / L));
  std::unique_ptr<uchar[]> buffer(new uchar[size_t(perBlock * L)]);
  double previous = beforeAnyTime;
  for (qint64 done = 0; done < count && !stop.load(std::memory_order_relaxed);) {
    const qint64 n = qMin(perBlock, count - done);
    if (f.read(reinterpret_cast<char *>(buffer.get()), n * L) != n * L)
      return false;
    const uchar *record = buffer.get();
    for (qint64 k = 0; k < n; ++k, record += L) {
      const double t = LeBytes::getDouble(record);
      if (inOrder(t, previous)) {
        for (const auto &target : targets)
          insertPoint(target.second, t, LeBytes::getDouble(record + 8 * target.first));
      }
    }
    done += n;
  }
  return true;
}

} // namespace

bool SwapFile::loadCapture(const QString &path, int seconds, const QList<PlotDataMap *> &maps,
                           SwapFileProgress *progress)
{
  const Operation operation(this);
  Layout layout;
  if (!openCapture(path, ReadFailed, layout, progress))
    return false;
  if (header.mode == SwapFileHeader::PowerV1 || header.mode == SwapFileHeader::PowerV2) {
    close();
    if (header.mode == SwapFileHeader::PowerV1)
      Helpers::powerMode = true;
    else
      Helpers::powerV2Mode = true;
    return loadPowerCapture(path, seconds, maps, progress);
  }
  // The first window and the navigation scan both read from the file's
  // start; the window fills on a thread of its own while the scan walks the
  // whole file here, so opening costs about the scan alone. The window goes
  // into maps of its own, handed over once both are done: the events the
  // scan lets run may paint the chart, which must not see a map being filled.
  // The first window begins at the first record: samples lost on the way
  // may put it later than the window is long.
  bool ok = false;
  const qint64 count = findRecord(layout, firstTime + seconds, false, &ok);
  if (!ok) {
    close();
    return false;
  }
  Targets targets;
  for (int i = 0; i < activeChannels.size(); ++i) {
    const int index = activeChannels.at(i);
    if (index < maps.size() && maps.at(index))
      targets.append({i + 1, maps.at(index)});
  }
  std::vector<PlotDataMap> filled(size_t(targets.size()));
  Targets fillTargets;
  for (int i = 0; i < targets.size(); ++i) {
    filled[size_t(i)].reserve(count);
    fillTargets.append({targets.at(i).first, &filled[size_t(i)]});
  }
  std::atomic<bool> stop {false};
  bool fillOk = true;
  std::thread filler;
  if (count > 0 && !targets.isEmpty())
    filler = std::thread([&] { fillOk = fillWindow(path, layout.recordLength, count, fillTargets, stop); });
  if (progress)
    progress->setInfo(tr("Decimating..."));
  const int channel = activeChannels.first();
  const bool scanned = scanLayout(layout, channel, 0, thresholdOf(channel), progress);
  if (!scanned)
    stop = true;
  if (filler.joinable())
    filler.join();
  for (int i = 0; i < targets.size(); ++i)
    targets.at(i).second->insert(filled[size_t(i)]);
  if (scanned && !fillOk) {
    emit swapFileError(ReadFailed);
    return false;
  }
  return scanned;
}

bool SwapFile::loadPowerCapture(const QString &path, int seconds, const QList<PlotDataMap *> &maps,
                                SwapFileProgress *progress)
{
  const Operation operation(this);
  Layout layout;
  return openCapture(path, ReadFailed, layout, progress) && loadFirstSeconds(layout, seconds, maps, true, progress);
}

// The first `seconds` of the open capture's records, for the file loads.
bool SwapFile::loadFirstSeconds(const Layout &layout, double seconds, const QList<PlotDataMap *> &maps,
                                bool byPosition, SwapFileProgress *progress)
{
  bool ok = false;
  const qint64 count = findRecord(layout, firstTime + seconds, false, &ok);
  if (!ok) {
    close();
    return false;
  }
  return loadPoints(layout, 0, count, maps, byPosition, progress);
}

// Inserts `count` records from record `first` into the maps (by channel
// number, or by position among the active channels) and closes the file.
bool SwapFile::loadPoints(const Layout &layout, qint64 first, qint64 count, const QList<PlotDataMap *> &maps,
                          bool byPosition, SwapFileProgress *progress)
{
  QVarLengthArray<QPair<int, PlotDataMap *>, 8> targets; // (value column, map)
  for (int i = 0; i < activeChannels.size(); ++i) {
    const int index = byPosition ? i : activeChannels.at(i);
    if (index < maps.size() && maps.at(index))
      targets.append({i + 1, maps.at(index)});
  }
  int shownPercent = 0;
  double previous = beforeAnyTime;
  const WalkResult result = walk(layout, first, count, [&](const uchar *record, qint64 index) {
    if (cancelRequested)
      return false;
    const double t = LeBytes::getDouble(record);
    if (inOrder(t, previous)) {
      for (const auto &target : targets)
        insertPoint(target.second, t, LeBytes::getDouble(record + 8 * target.first));
    }
    // Only the bar moves here: the cancel is asked in the scan that follows.
    if (progress) {
      const int percent = int(double(index - first) * 100 / double(count));
      if (percent != shownPercent) {
        progress->setValue(percent);
        shownPercent = percent;
      }
    }
    return true;
  });
  close();
  if (result == WalkStopped)
    terminated = true;
  return result == WalkDone;
}

bool SwapFile::loadWindow(double centre, double span, const QList<PlotDataMap *> &maps, bool byPosition)
{
  const Operation operation(this);
  Layout layout;
  if (!openCapture(file.fileName(), OpenFailed, layout))
    return false;
  double start = 0, end = 0;
  qint64 first = 0, count = 0;
  if (!window(centre, span, &start, &end) || !findWindow(layout, start, end, &first, &count)) {
    close();
    return false;
  }
  return loadPoints(layout, first, count, maps, byPosition, nullptr);
}

double SwapFile::average(const PlotRange &range, int channel)
{
  const Operation operation(this);
  Layout layout;
  if (!openCapture(file.fileName(), NoError, layout))
    return noData;
  const int column = activeChannels.indexOf(channel);
  double start = 0, end = 0;
  qint64 first = 0, count = 0;
  if (column < 0 || !window(range.center(), range.size(), &start, &end) ||
      !findWindow(layout, start, end, &first, &count)) {
    close();
    return noData;
  }
  if (cancelRequested) {
    terminated = true;
    close();
    return noData;
  }
  double sum = 0;
  qint64 n = 0;
  const int offset = 8 * (column + 1);
  double previous = beforeAnyTime;
  const WalkResult result = walk(layout, first, count, [&](const uchar *record, qint64) {
    const double v = LeBytes::getDouble(record + offset);
    if (inOrder(LeBytes::getDouble(record), previous) && !std::isnan(v)) {
      sum += v;
      ++n;
    }
    return true;
  });
  close();
  if (result != WalkDone || n == 0)
    return noData;
  return sum / double(n);
}

ReportData SwapFile::report()
{
  const Operation operation(this);
  Layout layout;
  if (!openCapture(file.fileName(), OpenFailed, layout))
    return ReportData();
  close();
  return layout.report;
}
