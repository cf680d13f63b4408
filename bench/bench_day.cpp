// A day-long capture in the simulated bus's time: 3 channels at 1 kHz for
// 24 h (the 24-bit sample counter wraps five times), with the 10 ms tick
// moving old points to the working file and a redraw every 10 s of capture.
// Prints the resident memory each hour of capture and after the stop
// against the target (under 150 MB, hour 24 minus hour 1 under 10 MB), with
// the memory of the window just built as baseline. The working file (about
// 2.8 GB for 24 h) is removed at the end.
//
// bench_day [hours of capture, default 24]

#include "benchsupport.h"
#include "hiddevice.h"
#include "mainwindow.h"
#include "glwidget.h"
#include "helpers.h"
#include "packet.h"
#include "settings.h"
#include "simdevices.h"
#include "swapfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <unistd.h>

namespace {

QTextStream out(stdout);
QString mb(double value)
{
  return QStringLiteral("%1 MB").arg(value, 0, 'f', 1);
}

} // namespace

int main(int argc, char **argv)
{
  QTemporaryDir home;
  bench::isolate(home);
  QApplication app(argc, argv);
  bench::noteBuild("bench_day");
  QApplication::setApplicationName(QStringLiteral("tovri-bench"));
  const double hours = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 24.0;
  if (!(hours > 0) || hours > 48) {
    out << "usage: bench_day [hours of capture, above 0 and at most 48; default 24]\n";
    return 2;
  }
  const qint64 busMs = qint64(hours * 3600000.0);
  constexpr qint64 HourMs = 3600000;
  constexpr int Rate = 1000;
  constexpr qint64 RecordBytes = 4 * 8;

  // The working file needs its full size, with room to spare for the rest
  // of the machine.
  const qint64 needed = busMs / 1000 * Rate * RecordBytes;
  const qint64 spare = qint64(1) << 30;
  const QStorageInfo disk(home.path());
  if (!disk.isValid() || disk.bytesAvailable() < needed + spare) {
    out << QStringLiteral("not enough free disk space in %1: %2 GB free, %3 GB needed for %4 h of capture "
                          "(%5 GB file and 1 GB to spare)\n")
             .arg(home.path())
             .arg(disk.bytesAvailable() / 1e9, 0, 'f', 1)
             .arg((needed + spare) / 1e9, 0, 'f', 1)
             .arg(hours)
             .arg(needed / 1e9, 0, 'f', 1);
    return 2;
  }
  bench::countLostLines();
  {
    // No time limit: the whole run is one capture.
    Settings settings;
    settings.setValue(QStringLiteral("Options/time-length-index"), MainWindow::MeasuringTimeRows - 2);
  }

  SimBus bus;
  auto *logger = bus.add<SimLogger>();
  MainWindow::setClock([&bus] { return bus.now(); });
  auto *window = new MainWindow;
  window->resize(1280, 800);
  window->show();
  HidDevice *link = HidDevice::m_instance;
  // The bench drives the link, the tick and the redraw in bus time.
  for (QTimer *t : link->findChildren<QTimer *>())
    t->stop();
  for (int i = 0; i < 4; ++i) {
    link->checkTimerTick();
    link->hidRead();
    QCoreApplication::processEvents();
  }
  for (QTimer *t : window->findChildren<QTimer *>())
    t->stop();
  QCoreApplication::processEvents();
  const double baseline = (bench::statusKb("VmRSS") / 1024.0);

  DeviceControl command;
  command.set(1, uchar(DeviceControl::Start));
  command.writeU16(4, 0x07);
  command.writeU16(6, 10000 / Rate);
  const int before = logger->blocksSent();
  bench::lostLines() = 0;
  window->on_startMeasurement(command);
  GLWidget *tab = window->captureTab();
  if (!tab || !Helpers::isMeasuring) {
    out << "the capture did not start\n";
    return 1;
  }
  const QString path = tab->swapFile->file.fileName();

  out << QStringLiteral("day-long capture, 3 channels at 1 kHz, %1 h of bus time; resident memory (target < 150 MB)\n")
           .arg(hours);
  out << QStringLiteral("  baseline (window built, no capture): %1\n").arg(mb(baseline));
  out.flush();
  QList<double> hourly;
  QElapsedTimer wall;
  wall.start();
  for (qint64 done = 10; done <= busMs && Helpers::isMeasuring; done += 10) {
    bus.advance(10);
    link->hidRead();
    window->reRangeX();
    if (done % 10000 == 0) {
      window->reRangeLeft(false);
      QCoreApplication::processEvents();
    }
    if (done % HourMs == 0) {
      hourly.append((bench::statusKb("VmRSS") / 1024.0));
      out << QStringLiteral("  hour %1: %2  (file %3 GB, %4 s of wall time)\n")
               .arg(hourly.size(), 2)
               .arg(mb(hourly.last()))
               .arg(QFileInfo(path).size() / 1e9, 0, 'f', 2)
               .arg(wall.elapsed() / 1000);
      out.flush();
    }
  }
  const bool ran = Helpers::isMeasuring;
  const qint64 captureWallMs = wall.elapsed();
  const int blocks = logger->blocksSent() - before;
  const int unread = logger->queuedReports();
  QElapsedTimer stopTimer;
  stopTimer.start();
  window->on_stopButton();
  const qint64 stopMs = stopTimer.elapsed();
  const double afterStop = (bench::statusKb("VmRSS") / 1024.0);
  const double peak = (bench::statusKb("VmHWM") / 1024.0);
  const qint64 records = (QFileInfo(path).size() - SwapFile::headerBlockSize - ReportData::byteSize) / RecordBytes;
  const qint64 samples = qint64(blocks - logger->droppedReports() - unread) * (MeasureAll::MaxSamples / 3);
  const bool removed = QFile::remove(path);

  const double spread = hourly.size() >= 2 ? hourly.last() - hourly.first() : 0;
  double highest = afterStop;
  for (double v : std::as_const(hourly))
    highest = qMax(highest, v);
  out << QStringLiteral("  capture took %1 s of wall time\n").arg(captureWallMs / 1000.0, 0, 'f', 1);
  out << QStringLiteral("  after the stop (%1 s): %2; peak of the whole run (VmHWM): %3\n")
           .arg(stopMs / 1000.0, 0, 'f', 1)
           .arg(mb(afterStop), mb(peak));
  out << QStringLiteral("  highest sample: %1  target < 150 MB  baseline %2\n").arg(mb(highest), mb(baseline));
  if (hourly.size() >= 2)
    out << QStringLiteral("  last hour minus hour 1: %1  target < 10 MB\n").arg(mb(spread));
  out << QStringLiteral("  counter wraps: %1  records %2  samples received %3  LOST lines %4  target: equal, 0\n")
           .arg(quint64(samples) >> 24)
           .arg(records)
           .arg(samples)
           .arg(bench::lostLines());
  out << QStringLiteral("  working file %1\n").arg(removed ? QStringLiteral("removed") : QStringLiteral("NOT removed: ") + path);
  out.flush();
  delete window;
  MainWindow::setClock({});
  const bool met = ran && highest < 150 && peak < 150 && spread < 10 && records == samples && bench::lostLines() == 0;
  return met ? 0 : 1;
}
