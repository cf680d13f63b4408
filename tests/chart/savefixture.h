#ifndef SAVEFIXTURE_H
#define SAVEFIXTURE_H

#include "filefaults.h"
#include "swapfile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

// What the tests of a save share: a working capture to save, and the looks
// at the folders and files a save leaves.
namespace SaveFixture {

// Every capture here: records 10 ms apart on channels #0 and #1, channel c
// reading c * 100 + k at instant k; this many unless a test asks for others.
constexpr int kRecords = 60;
// What a file of the chosen name held before the save, and another
// program's file.
inline const QByteArray kOld(700, 'o');
inline const QByteArray kOther("another program's file");

inline void fill(PlotDataMap &map, int channel, int from, int to)
{
  for (int k = from; k < to; ++k)
    map.insert(k / 100.0, PlotData(k / 100.0, channel * 100.0 + k));
}

// A working capture: finished (every record and the tail) for moveTo(), or
// with only its first third of records in the file and the rest held for
// saveFinished().
struct Working
{
  SwapFile sw;
  PlotDataMap held[2];
  ReportData report;
  QString path;
  QByteArray bytes;
  bool finished = true;
  int records = kRecords;

  bool make(const QString &file, bool whole, int count = kRecords)
  {
    path = file;
    finished = whole;
    records = count;
    report.t_end = (records - 1) / 100.0;
    report.count = records;
    report.min0 = 0, report.max0 = records - 1, report.min1 = 100, report.max1 = 100 + records - 1;
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap};
    const int inFile = finished ? records : records / 3;
    for (int c = 0; c < 2; ++c) {
      fill(*maps[c], c, 0, inFile);
      fill(held[c], c, inFile, records);
    }
    bool ok = sw.create(path) && sw.setLoggerHeader(3, 100) && sw.append(0, -1, maps, true);
    if (!ok)
      qDeleteAll(maps);
    if (finished)
      ok = ok && sw.writeReport(report) && sw.stop();
    sw.close();
    QFile f(path);
    bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    return ok && !bytes.isEmpty();
  }

  bool save(const QString &target, bool replace, QString *why)
  {
    if (finished)
      return sw.moveTo(target, replace, why);
    return sw.saveFinished(target, {&held[0], &held[1]}, report, replace, why);
  }

  // The same without a window, as a forked child must save.
  bool saveQuietly(const QString &target, bool replace, QString *why)
  {
    if (finished)
      return sw.placeCapture(target, replace, why, nullptr);
    return sw.placeFinished(target, {&held[0], &held[1]}, report, replace, why, nullptr);
  }
};

inline QByteArray bytesOf(const QString &path)
{
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A working capture in work/ of a folder of its own, to be saved to
// save/run.tovri, with the faults the test sets for that save. The view
// and the faults go first, so that the real calls are back when the
// capture and its folder go.
struct SaveScene
{
  QTemporaryDir dir;
  QString target;
  Working w;
  FileFaults faults;
  std::optional<FolderView> view;

  // Where `old`, the chosen name holds kOld first.
  bool make(bool finished, bool old = false, int records = kRecords)
  {
    target = dir.filePath(QStringLiteral("save/run.tovri"));
    return QDir(dir.path()).mkdir(QStringLiteral("work")) && QDir(dir.path()).mkdir(QStringLiteral("save")) &&
           w.make(dir.filePath(QStringLiteral("work/Capture 1.tmp")), finished, records) &&
           (!old || writeBytes(target, kOld));
  }

  // `folder` answers as another file system: a save into it copies the capture.
  void onOtherDisk(const QString &folder = QStringLiteral("save"))
  {
    view.emplace(faults, dir.filePath(folder), FolderView::Mount);
  }

  QString path(const QString &name) const { return dir.filePath(name); }
};

// Whether `path` holds the whole capture of `records` records, read as any
// saved one.
inline bool holdsCapture(const QString &path, int records = kRecords)
{
  QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
  SwapFile back;
  const bool ok = back.loadCapture(path, records, maps, nullptr) && !back.recovery.recovered &&
                  maps[1]->size() == records && maps[1]->last().value == 100.0 + records - 1 &&
                  back.readReport().count == records;
  qDeleteAll(maps);
  return ok;
}

inline QStringList entries(const QString &folder)
{
  return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Names a save may have left in `folder`.
inline QStringList leftovers(const QString &folder)
{
  return QDir(folder).entryList({QStringLiteral("tovri-saving-*"), QStringLiteral("tovri-copying-*")},
                                QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

inline QString linkText(const QString &path)
{
  char target[4096];
  const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
  return n < 0 ? QString() : QFile::decodeName(QByteArray(target, int(n)));
}

inline int modeOf(const QString &path)
{
  struct stat st;
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

} // namespace SaveFixture

#endif // SAVEFIXTURE_H
