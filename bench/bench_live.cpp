// A live capture in real time: the logger's reports reach the link at the
// rate of the wire while the window replots three channels of 10 s five times
// a second, and the simulated HID library keeps at most 30 reports queued
// (dropping the oldest). Prints the reports lost, the LOST lines and the
// longest gap between two reads of the queue, against the same capture
// without the redraw as baseline; a third run drains the queue in the GUI
// thread instead of the link's reader thread, for comparison.
//
// bench_live [seconds per run, default 120] [divider, default 1]
// The default divider 1 (10 kHz, 3 channels, 9 samples per report) sends
// 1,111 reports/s, just above the 1,000 reports/s a full-speed HID link carries;
// divider 10 (1 kHz) sends 111 reports/s.

#include "benchsupport.h"
#include "hiddevice.h"
#include "mainwindow.h"
#include "glwidget.h"
#include "helpers.h"
#include "packet.h"
#include "plot.h"
#include "settings.h"
#include "simdevices.h"
#include "swapfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <atomic>

namespace {

QTextStream out(stdout);
// The simulated bus in step with the wall clock: every read first lets the
// devices produce what is due by now, so a reader that falls behind finds
// the queue overrun exactly as the HID library would leave it.
class WallClockBus : public SimBus
{
public:
  WallClockBus() { m_clock.start(); }

  int read(HidHandle *handle, unsigned char *buffer, int length) override
  {
    const qint64 ns = m_clock.nsecsElapsed();
    const qint64 due = ns / 1000000;
    if (due > now())
      advance(due - now());
    const qint64 last = m_lastRead.exchange(ns);
    if (m_measuring && last >= 0)
      m_longestGap = std::max(m_longestGap.load(), ns - last);
    return SimBus::read(handle, buffer, length);
  }

  void measure(bool on)
  {
    m_measuring = on;
    m_lastRead = -1;
  }
  double longestGapMs() const { return m_longestGap / 1e6; }

private:
  QElapsedTimer m_clock;
  std::atomic<bool> m_measuring {false};
  std::atomic<qint64> m_lastRead {-1};
  std::atomic<qint64> m_longestGap {0};
};

struct Result
{
  int reports = 0;
  int dropped = 0;
  int lost = 0;
  double longestGapMs = 0;
  double longestHandOverGapMs = 0;
  int replots = 0;
  double longestReplotMs = 0;
  qint64 records = 0;
  qint64 samples = 0;
};

Result run(int seconds, int divider, bool replot, bool readerThread)
{
  Result result;
  WallClockBus bus;
  bus.readerThread = readerThread;
  auto *logger = bus.add<SimLogger>();
  auto *window = new MainWindow;
  window->resize(1280, 800);
  window->show();
  HidDevice *link = HidDevice::m_instance;
  for (int i = 0; i < 4; ++i) {
    link->checkTimerTick();
    link->hidRead();
    QCoreApplication::processEvents();
  }
  if (!replot) {
    for (QTimer *timer : window->findChildren<QTimer *>()) {
      if (timer->interval() == 200)
        timer->stop();
    }
  }

  DeviceControl command;
  command.set(1, uchar(DeviceControl::Start));
  command.writeU16(4, 0x07);
  command.writeU16(6, quint16(divider));
  const int before = logger->blocksSent();
  const int droppedBefore = logger->droppedReports();
  bench::lostLines() = 0;
  window->on_startMeasurement(command);
  GLWidget *tab = window->captureTab();
  if (!tab || !Helpers::isMeasuring) {
    out << "the capture did not start\n";
    delete window;
    return result;
  }
  QElapsedTimer replotTimer;
  QObject::connect(tab->plot, &PlotWidget::beforeReplot, [&] { replotTimer.start(); });
  QObject::connect(tab->plot, &PlotWidget::afterReplot, [&] {
    ++result.replots;
    result.longestReplotMs = std::max(result.longestReplotMs, replotTimer.nsecsElapsed() / 1e6);
  });

  // The window's side: the longest wait between two reports handed to it.
  QElapsedTimer handOver;
  qint64 lastHandOver = -1;
  qint64 longestHandOver = 0;
  int sampleReports = 0;
  handOver.start();
  const QMetaObject::Connection handed = QObject::connect(link, &HidDevice::packetReceived, [&](quint8 *report, int) {
    sampleReports += report[0] == MeasureAll::Descriptor;
    const qint64 ns = handOver.nsecsElapsed();
    if (lastHandOver >= 0)
      longestHandOver = std::max(longestHandOver, ns - lastHandOver);
    lastHandOver = ns;
  });
  bus.measure(true);
  QEventLoop loop;
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  loop.exec();
  bus.measure(false);
  QObject::disconnect(handed);
  result.longestGapMs = bus.longestGapMs();
  result.longestHandOverGapMs = longestHandOver / 1e6;
  const QString path = tab->swapFile->file.fileName();
  // The capture is what reached the window before the stop.
  const int captured = sampleReports;
  window->on_stopButton();
  // The logger has stopped streaming: its counts stay put from here on.
  result.reports = logger->blocksSent() - before;
  result.dropped = logger->droppedReports() - droppedBefore;
  QObject::disconnect(tab->plot, nullptr, nullptr, nullptr);
  result.lost = bench::lostLines();
  const int perReport = MeasureAll::MaxSamples / 3;
  result.samples = qint64(captured) * perReport;
  result.records = (QFileInfo(path).size() - SwapFile::headerBlockSize - ReportData::byteSize) / 32;
  QFile::remove(path);
  delete window;
  return result;
}

QString loadAverage()
{
  QFile file(QStringLiteral("/proc/loadavg"));
  if (!file.open(QIODevice::ReadOnly))
    return QStringLiteral("?");
  return QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2);
}

void print(const char *name, const Result &r, int seconds)
{
  out << QStringLiteral("  %1: %2 reports (%3/s), %4 lost, %5 LOST lines, longest gap between reads of the "
                        "queue %6 ms, between reports handed to the window %7 ms, %8 replots (longest %9 ms)\n")
           .arg(QLatin1String(name))
           .arg(r.reports)
           .arg(double(r.reports) / seconds, 0, 'f', 0)
           .arg(r.dropped)
           .arg(r.lost)
           .arg(r.longestGapMs, 0, 'f', 1)
           .arg(r.longestHandOverGapMs, 0, 'f', 1)
           .arg(r.replots)
           .arg(r.longestReplotMs, 0, 'f', 1);
}

} // namespace

int main(int argc, char **argv)
{
  QTemporaryDir home;
  bench::isolate(home);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tovri-bench"));
  const int seconds = argc > 1 ? qMax(12, QString::fromLocal8Bit(argv[1]).toInt()) : 120;
  const int divider = argc > 2 ? qBound(1, QString::fromLocal8Bit(argv[2]).toInt(), 10000) : 1;
  bench::countLostLines();
  {
    // No time limit: each run is one capture.
    Settings settings;
    settings.setValue(QStringLiteral("Options/time-length-index"), MainWindow::MeasuringTimeRows - 2);
  }

  const QString loadBefore = loadAverage();
  const Result baseline = run(seconds, divider, false, true);
  const Result live = run(seconds, divider, true, true);
  // For comparison: the library drained by the GUI thread itself.
  const Result guiThread = run(seconds, divider, true, false);
  const QString loadAfter = loadAverage();

  out << QStringLiteral("live capture, 3 channels at %1 Hz, %2 s of real time per run (load average %3 before, %4 after)\n")
           .arg(10000 / divider)
           .arg(seconds)
           .arg(loadBefore, loadAfter);
  print("baseline, reader thread, no redraw", baseline, seconds);
  print("reader thread, 5 Hz redraw", live, seconds);
  print("GUI-thread drain, 5 Hz redraw", guiThread, seconds);
  out << QStringLiteral("  reports lost: %1  target 0  baseline %2\n").arg(live.dropped).arg(baseline.dropped);
  out << QStringLiteral("  LOST lines: %1  target 0  baseline %2\n").arg(live.lost).arg(baseline.lost);
  out << QStringLiteral("  longest gap between two reads of the queue: %1 ms  target < 20 ms  baseline %2 ms\n")
           .arg(live.longestGapMs, 0, 'f', 1)
           .arg(baseline.longestGapMs, 0, 'f', 1);
  out << QStringLiteral("  records %1  samples handed to the window %2  target: equal\n").arg(live.records).arg(live.samples);
  out.flush();
  const bool met = live.dropped == 0 && live.lost == 0 && live.longestGapMs < 20 && live.records == live.samples;
  return met ? 0 : 1;
}
