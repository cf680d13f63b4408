// Ingest speed of a logger capture: reports through the link, dispatch, the
// point maps, the 10 ms tick and the capture file, in the simulated bus's
// time, against the link's own drain of the same reports as baseline.

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
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

QTextStream out(stdout);
DeviceControl startCommand()
{
  DeviceControl command;
  command.set(1, uchar(DeviceControl::Start));
  command.writeU16(4, 0x07);
  command.writeU16(6, 1); // the top rate: 10 kHz
  return command;
}

// Drains the bus in 10 ms steps of bus time; the wall time in seconds.
double drive(SimBus &bus, MainWindow *window, qint64 busMs)
{
  QElapsedTimer timer;
  timer.start();
  for (qint64 done = 0; done < busMs; done += 10) {
    bus.advance(10);
    HidDevice::m_instance->hidRead();
    if (window)
      window->reRangeX();
  }
  return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
  QTemporaryDir home;
  bench::isolate(home);
  QApplication app(argc, argv);
  bench::noteBuild("bench_ingest");
  QApplication::setApplicationName(QStringLiteral("tovri-bench"));
  bench::countLostLines();
  const qint64 busMs = 60000;

  // Baseline: the link alone drains the same stream (no capture runs).
  double baseline = 0;
  int baselineBlocks = 0;
  {
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    logger->queueLimit = 0;
    MainWindow::setClock([&bus] { return bus.now(); });
    MainWindow window;
    for (QTimer *t : HidDevice::m_instance->findChildren<QTimer *>())
      t->stop();
    for (int i = 0; i < 4; ++i) {
      HidDevice::m_instance->checkTimerTick();
      HidDevice::m_instance->hidRead();
      QCoreApplication::processEvents();
    }
    Helpers::isMeasuring = false;
    DeviceControl command = startCommand();
    HidDevice::m_instance->sendPacket(command); // the logger streams; the window ignores it
    const int before = logger->blocksSent();
    const double seconds = drive(bus, nullptr, busMs);
    baselineBlocks = logger->blocksSent() - before;
    baseline = baselineBlocks / seconds;
    MainWindow::setClock({});
  }

  {
    // No time limit: the whole run is one capture.
    Settings settings;
    settings.setValue(QStringLiteral("Options/time-length-index"), MainWindow::MeasuringTimeRows - 2);
  }
  SimBus bus;
  auto *logger = bus.add<SimLogger>();
  MainWindow::setClock([&bus] { return bus.now(); });
  auto *window = new MainWindow;
  for (QTimer *t : HidDevice::m_instance->findChildren<QTimer *>())
    t->stop();
  for (int i = 0; i < 4; ++i) {
    HidDevice::m_instance->checkTimerTick();
    HidDevice::m_instance->hidRead();
    QCoreApplication::processEvents();
  }
  bench::lostLines() = 0;
  DeviceControl command = startCommand();
  const int before = logger->blocksSent();
  window->on_startMeasurement(command);
  const double seconds = drive(bus, window, busMs);
  const int blocks = logger->blocksSent() - before;
  GLWidget *tab = window->captureTab();
  const QString path = tab->swapFile->file.fileName();
  window->on_stopButton();
  const qint64 records = (QFileInfo(path).size() - SwapFile::headerBlockSize - ReportData::byteSize) / 32;
  const qint64 samples = qint64(blocks) * (MeasureAll::MaxSamples / 3);
  if (window->measuringTime() != -1)
    out << "measuring time is not unlimited\n";

  out << "ingest, 3 channels at 10 kHz, " << busMs / 1000 << " s of bus time\n";
  out << QStringLiteral("  reports/s through the window: %1  target >= 10000  baseline (link drain only): %2\n")
           .arg(blocks / seconds, 0, 'f', 0)
           .arg(baseline, 0, 'f', 0);
  out << QStringLiteral("  records %1  samples sent %2  LOST lines %3  reports dropped %4  target: equal, 0, 0\n")
           .arg(records)
           .arg(samples)
           .arg(bench::lostLines())
           .arg(logger->droppedReports());
  out.flush();
  delete window;
  MainWindow::setClock({});
  return records == samples && bench::lostLines() == 0 ? 0 : 1;
}
