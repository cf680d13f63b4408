// Ingest speed of a logger capture: reports through the link, dispatch, the
// point maps, the 10 ms tick and the capture file, in the simulated bus's
// time, against the link's own drain of the same reports as baseline, in
// alternating rounds. Exits with 1 when a target is missed.
// Usage: bench_ingest [rounds, default 5]

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
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <vector>

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

// The link alone drains the stream (no capture runs): reports per second.
double drainOnly(qint64 busMs)
{
  SimBus bus;
  auto *logger = bus.add<SimLogger>();
  logger->queueLimit = 0;
  MainWindow::setClock([&bus] { return bus.now(); });
  double rate = 0;
  {
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
    rate = (logger->blocksSent() - before) / seconds;
  }
  MainWindow::setClock({});
  return rate;
}

struct Capture
{
  double rate = 0; // reports per second through the window
  qint64 records = 0;
  qint64 samples = 0;
  int lost = 0;
  int dropped = 0;
  bool unlimited = true;
};

Capture capture(qint64 busMs)
{
  Capture c;
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
  c.rate = blocks / seconds;
  c.records = (QFileInfo(path).size() - SwapFile::headerBlockSize - ReportData::byteSize) / 32;
  c.samples = qint64(blocks) * (MeasureAll::MaxSamples / 3);
  c.lost = bench::lostLines();
  c.dropped = logger->droppedReports();
  c.unlimited = window->measuringTime() == -1;
  QFile::remove(path);
  delete window;
  MainWindow::setClock({});
  return c;
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
  const int rounds = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
  {
    // No time limit: the whole run is one capture.
    Settings settings;
    settings.setValue(QStringLiteral("Options/time-length-index"), MainWindow::MeasuringTimeRows - 2);
  }

  // Baseline (the link's own drain of the same stream) and capture rounds
  // alternate; which goes first alternates too.
  std::vector<double> baselines, rates;
  bool complete = true;
  int lost = 0, dropped = 0;
  for (int r = 0; r < rounds; ++r) {
    for (int half = 0; half < 2; ++half) {
      if ((r + half) % 2 == 0) {
        baselines.push_back(drainOnly(busMs));
        continue;
      }
      const Capture c = capture(busMs);
      if (!c.unlimited)
        out << "measuring time is not unlimited\n";
      rates.push_back(c.rate);
      complete = complete && c.records == c.samples && c.samples > 0;
      lost += c.lost;
      dropped += c.dropped;
      out << QStringLiteral("  round %1: %2 reports/s, records %3, samples sent %4\n")
               .arg(r + 1)
               .arg(c.rate, 0, 'f', 0)
               .arg(c.records)
               .arg(c.samples);
    }
  }
  const double rate = bench::median(rates);
  out << "ingest, 3 channels at 10 kHz, " << busMs / 1000 << " s of bus time, median of " << rounds << " rounds\n";
  out << QStringLiteral("  reports/s through the window: %1  target >= 10000: %2  baseline (link drain only): %3\n")
           .arg(rate, 0, 'f', 0)
           .arg(bench::met(rate >= 10000) ? "ok" : "MISSED")
           .arg(bench::median(baselines), 0, 'f', 0);
  out << QStringLiteral("  every record in the file: %1  LOST lines %2  reports dropped %3  target: all, 0, 0: %4\n")
           .arg(complete ? "yes" : "NO")
           .arg(lost)
           .arg(dropped)
           .arg(bench::met(complete && lost == 0 && dropped == 0) ? "ok" : "MISSED");
  out.flush();
  return bench::exitCode();
}
