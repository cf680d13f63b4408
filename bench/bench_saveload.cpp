// Saving and opening in the main window: writes one hour of three channels
// at 10 kHz (about 1.15 GB) as a finished capture, saves it through
// MainWindow::save (a move within one file system, baseline a plain copy of
// the file) and opens it with MainWindow::loadFile up to its first window
// (baseline a plain sequential read of the same file, after both have
// the file in the page cache; medians of alternating rounds, 15 unless the
// second argument says). Targets: save under 100 ms, open within 2x
// the plain read; exits with 1 when one is missed. The window is on screen: loadFile returns with the chart
// drawn. Channel #0 rises above the overview's default threshold
// for 2 ms every second, so the overview has runs to build.
//
// The figures mean something only in an optimised build without
// sanitizers: the plain read runs in the kernel either way, the walk over
// the records does not.

#include "helpers.h"
#include "benchsupport.h"
#include "glwidget.h"
#include "mainwindow.h"
#include "reportdata.h"
#include "settings.h"
#include "swapfile.h"
#include "swapfileheader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLoggingCategory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <unistd.h>

namespace {

QTextStream out(stdout);

// One hour at 10 kHz of three channels, written record by record with its
// statistics tail, as a finished logger capture leaves it: written over the
// hour, all but its last 30 s has reached the disk by the time it is saved
// (the kernel writes dirty pages back after 30 s), so only those are synced
// by the save.
bool writeCapture(const QString &path, qint64 records)
{
  const qint64 dirtyRecords = 30 * 10000;
  bool synced = false;
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  SwapFileHeader header;
  header.channelCount = 3;
  header.channelMask = 7;
  header.channelMask32 = 7;
  header.divider = 1;
  header.mode = SwapFileHeader::Logger;
  header.fillChannelList();
  QByteArray block(SwapFile::headerBlockSize, '\0');
  header.toBytes(reinterpret_cast<uchar *>(block.data()));
  if (f.write(block) != block.size())
    return false;
  ReportData report;
  std::vector<double> buffer;
  const qint64 perBlock = 32768;
  for (qint64 first = 0; first < records; first += perBlock) {
    if (!synced && first + perBlock > records - dirtyRecords) {
      if (!f.flush() || ::fsync(f.handle()) != 0)
        return false;
      synced = true;
    }
    const qint64 n = std::min(perBlock, records - first);
    buffer.assign(size_t(n * 4), 0);
    for (qint64 i = 0; i < n; ++i) {
      const qint64 r = first + i;
      const double t = r * 0.0001;
      buffer[size_t(i * 4)] = t;
      buffer[size_t(i * 4 + 1)] = r % 10000 < 20 ? 30000 : 500 + (r % 1000);
      buffer[size_t(i * 4 + 2)] = 3300 + (r % 7);
      buffer[size_t(i * 4 + 3)] = 1200 + (r % 13);
    }
    const qint64 bytes = n * 32;
    if (f.write(reinterpret_cast<const char *>(buffer.data()), bytes) != bytes)
      return false;
  }
  report.t_start = 0;
  report.t_end = (records - 1) * 0.0001;
  double sum0 = 0;
  for (qint64 r = 0; r < records; ++r)
    sum0 += r % 10000 < 20 ? 30000 : 500 + (r % 1000);
  report.min0 = 500, report.max0 = 30000, report.avg0 = sum0 / records, report.sum0 = sum0;
  report.min1 = 3300, report.max1 = 3306, report.avg1 = 3303, report.sum1 = 3303.0 * records;
  report.min2 = 1200, report.max2 = 1212, report.avg2 = 1206, report.sum2 = 1206.0 * records;
  report.count = records;
  QByteArray tail(ReportData::byteSize, '\0');
  report.toBytes(reinterpret_cast<uchar *>(tail.data()));
  return f.write(tail) == tail.size();
}

double plainRead(const QString &path)
{
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return -1;
  QByteArray block(1 << 20, Qt::Uninitialized);
  QElapsedTimer t;
  t.start();
  while (f.read(block.data(), block.size()) > 0) {
  }
  return bench::ms(t);
}

double plainCopy(const QString &from, const QString &to)
{
  QElapsedTimer t;
  t.start();
  if (!QFile::copy(from, to))
    return -1;
  return bench::ms(t);
}

void line(const char *what, double figure, const QString &target, double baseline, const char *baselineWhat,
          bool ok)
{
  out << QString::asprintf("%-34s %10.1f ms   target %-22s baseline (%s) %10.1f ms   %s", what, figure,
                           qPrintable(target), baselineWhat, baseline, bench::met(ok) ? "ok" : "MISSED")
      << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
  QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench_saveload-XXXXXX"));
  const qint64 records = argc > 1 ? QByteArray(argv[1]).toLongLong() : qint64(36000000);
  const int rounds = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 15;

#if !defined(__OPTIMIZE__) || defined(__SANITIZE_ADDRESS__)
  out << "note: built without optimisation or with sanitizers; the figures are not the program's" << Qt::endl;
#endif
  MainWindow window;
  window.show();
  window.addTab();
  GLWidget *tab = window.currentWidget();
  const int index = window.tabWidget()->currentIndex();
  const QString working = dir.filePath(QStringLiteral("Capture.tmp"));
  if (!writeCapture(working, records)) {
    out << "cannot write the capture" << Qt::endl;
    return 1;
  }
  tab->swapFile->file.setFileName(working);
  tab->saved = false;
  const qint64 size = QFileInfo(working).size();
  out << QString::asprintf("capture: %lld records, %.2f GB", records, size / 1e9) << Qt::endl;

  const double copy = plainCopy(working, dir.filePath(QStringLiteral("copy.bin")));
  QFile::remove(dir.filePath(QStringLiteral("copy.bin")));

  const QString saved = dir.filePath(QStringLiteral("saved.tovri"));
  // The clock starts as the user accepts the dialog: what follows is the wait.
  QElapsedTimer saveTimer;
  QTimer::singleShot(0, [&saveTimer, saved] {
    if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
      dialog->selectFile(saved);
      saveTimer.start();
      static_cast<QDialog *>(dialog)->accept();
    }
  });
  const bool movedOk = window.save(index);
  const double saveMs = saveTimer.isValid() ? bench::ms(saveTimer) : -1;
  if (!movedOk || !QFile::exists(saved)) {
    out << "save failed" << Qt::endl;
    return 1;
  }
  line("save (move) of the capture", saveMs, QStringLiteral("< 100 ms"), copy, "plain copy", saveMs < 100);

  // Both measured with the file in the page cache, in alternating rounds
  // (which goes first alternates too): each open makes a tab of its own.
  plainRead(saved);
  std::vector<double> reads, loads;
  for (int r = 0; r < rounds; ++r) {
    for (int half = 0; half < 2; ++half) {
      if ((r + half) % 2 == 0) {
        reads.push_back(plainRead(saved));
        continue;
      }
      QElapsedTimer loadTimer;
      loadTimer.start();
      const bool loaded = window.loadFile(saved);
      loads.push_back(bench::ms(loadTimer));
      if (!loaded) {
        out << "load failed" << Qt::endl;
        return 1;
      }
    }
  }
  const double read = bench::median(reads);
  const double loadMs = bench::median(loads);
  const QString loadTarget = QString::asprintf("< 2 x plain (%.0f)", 2 * read);
  line("loadFile to the first window", loadMs, loadTarget, read, "plain read", loadMs < 2 * read);
  out << QString::asprintf("(medians of %d rounds each; the first open in the process took %.1f ms)", rounds,
                           loads.front())
      << Qt::endl;
  out << QString::asprintf("ratio load / plain read: %.2f", loadMs / read) << Qt::endl;
  return bench::exitCode();
}
