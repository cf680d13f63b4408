// A live capture in real time at the top rates the control panel offers:
// 5 kHz on three channels (9 samples per channel and report, 556 reports/s)
// and 10 kHz on channel #0 alone (27 samples per report, 370 reports/s). The
// logger's reports reach the link at the rate of the wire while the window
// replots 10 s of every channel five times a second, and the simulated HID
// library keeps at most 30 reports queued (dropping the oldest). After the
// first 11 s (the window full, points moving to the file) it measures the
// redraw's median, the process's CPU time (user + system) per second of wall
// time, the reports lost, the LOST lines and the longest gap between two reads
// of the queue. A redraw is the whole 200 ms tick: the value axis's fit, the
// replot and the paint. The baseline is the same capture without the redraw; baseline
// and live runs alternate. Exits with 1 when a target is missed.
//
// bench_live [seconds per run, default 25] [rounds per rate, default 2]

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
#include <vector>

#include <sys/resource.h>

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
  std::vector<double> redrawMs; // whole redraw ticks after the warm-up
  double cpuShare = 0;          // CPU seconds per wall second after the warm-up
  qint64 records = 0;
  qint64 samples = 0;
};

constexpr int WarmUpSeconds = 11;

double cpuSeconds()
{
  rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval &t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Result run(int seconds, int divider, quint16 mask, bool replot, bool readerThread)
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
  // The window's redraw timer gives way to one that times the whole tick
  // as the user waits for it: the value axis's fit, the replot and the paint.
  for (QTimer *timer : window->findChildren<QTimer *>()) {
    if (timer->interval() == 200)
      timer->stop();
  }
  bool warm = false;
  QTimer redraw;
  QObject::connect(&redraw, &QTimer::timeout, [&] {
    QElapsedTimer tick;
    tick.start();
    window->reRangeLeft(false);
    if (warm)
      result.redrawMs.push_back(tick.nsecsElapsed() / 1e6);
  });

  DeviceControl command;
  command.set(1, uchar(DeviceControl::Start));
  command.writeU16(4, mask);
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
  if (replot)
    redraw.start(200);
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
  bool timingHandOver = true;
  const QMetaObject::Connection handed = QObject::connect(link, &HidDevice::packetReceived, [&](quint8 *report, int) {
    sampleReports += report[0] == MeasureAll::Descriptor;
    if (!timingHandOver)
      return;
    const qint64 ns = handOver.nsecsElapsed();
    if (lastHandOver >= 0)
      longestHandOver = std::max(longestHandOver, ns - lastHandOver);
    lastHandOver = ns;
  });
  bus.measure(true);
  {
    QEventLoop loop;
    QTimer::singleShot(WarmUpSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  warm = true;
  QElapsedTimer wall;
  wall.start();
  const double cpuBefore = cpuSeconds();
  {
    QEventLoop loop;
    QTimer::singleShot((seconds - WarmUpSeconds) * 1000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  result.cpuShare = (cpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);
  bus.measure(false);
  timingHandOver = false;
  result.longestGapMs = bus.longestGapMs();
  result.longestHandOverGapMs = longestHandOver / 1e6;
  redraw.stop();
  const QString path = tab->swapFile->file.fileName();
  window->on_stopButton();
  // The capture is every block handed to the window up to the logger's stop
  // answer, the ones the stop drains from the link included.
  QObject::disconnect(handed);
  const int captured = sampleReports;
  // The logger has stopped streaming: its counts stay put from here on.
  result.reports = logger->blocksSent() - before;
  result.dropped = logger->droppedReports() - droppedBefore;
  QObject::disconnect(tab->plot, nullptr, nullptr, nullptr);
  result.lost = bench::lostLines();
  const int channels = qPopulationCount(mask);
  const int perReport = MeasureAll::MaxSamples / channels;
  result.samples = qint64(captured) * perReport;
  result.records =
    (QFileInfo(path).size() - SwapFile::headerBlockSize - ReportData::byteSize) / (8 * (channels + 1));
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

void print(const QString &name, const Result &r, int seconds)
{
  out << QStringLiteral("  %1: %2 reports (%3/s), %4 lost, %5 LOST lines, longest gap between reads of the "
                        "queue %6 ms, between reports handed to the window %7 ms, %8 replots (longest %9 ms), "
                        "CPU %10%\n")
           .arg(name)
           .arg(r.reports)
           .arg(double(r.reports) / seconds, 0, 'f', 0)
           .arg(r.dropped)
           .arg(r.lost)
           .arg(r.longestGapMs, 0, 'f', 1)
           .arg(r.longestHandOverGapMs, 0, 'f', 1)
           .arg(r.replots)
           .arg(r.longestReplotMs, 0, 'f', 1)
           .arg(100 * r.cpuShare, 0, 'f', 1);
}

struct Rate
{
  const char *name;
  int divider;
  quint16 mask;
};

} // namespace

int main(int argc, char **argv)
{
  QTemporaryDir home;
  bench::isolate(home);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tovri-bench"));
  bench::noteBuild("bench_live");
  const int seconds = argc > 1 ? qMax(WarmUpSeconds + 5, QString::fromLocal8Bit(argv[1]).toInt()) : 25;
  const int rounds = argc > 2 ? qMax(1, QString::fromLocal8Bit(argv[2]).toInt()) : 2;
  bench::countLostLines();
  {
    // No time limit: each run is one capture.
    Settings settings;
    settings.setValue(QStringLiteral("Options/time-length-index"), MainWindow::MeasuringTimeRows - 2);
  }

  const Rate rates[] = {{"5 kHz x 3 channels", 2, 0x07}, {"10 kHz x 1 channel", 1, 0x01}};
  for (const Rate &rate : rates) {
    const QString loadBefore = loadAverage();
    std::vector<Result> baselines, lives;
    for (int r = 0; r < rounds; ++r) {
      // Baseline and live runs alternate; which goes first alternates too.
      for (int half = 0; half < 2; ++half) {
        const bool live = (r + half) % 2 == 1;
        (live ? lives : baselines).push_back(run(seconds, rate.divider, rate.mask, live, true));
      }
    }
    const QString loadAfter = loadAverage();
    out << QStringLiteral("live capture, %1, %2 s of real time per run, %3 rounds (load average %4 before, %5 after)\n")
             .arg(QLatin1String(rate.name))
             .arg(seconds)
             .arg(rounds)
             .arg(loadBefore, loadAfter);
    std::vector<double> replots, cpuLive, cpuBase;
    int dropped = 0, lost = 0, baseDropped = 0, baseLost = 0;
    double gap = 0, baseGap = 0;
    bool complete = true;
    qint64 inFile = 0, handedSamples = 0;
    for (int r = 0; r < rounds; ++r) {
      print(QStringLiteral("baseline, no redraw, round %1").arg(r + 1), baselines[r], seconds);
      print(QStringLiteral("5 Hz redraw, round %1").arg(r + 1), lives[r], seconds);
      const Result &l = lives[r];
      replots.insert(replots.end(), l.redrawMs.begin(), l.redrawMs.end());
      cpuLive.push_back(l.cpuShare);
      cpuBase.push_back(baselines[r].cpuShare);
      dropped += l.dropped;
      lost += l.lost;
      baseDropped += baselines[r].dropped;
      baseLost += baselines[r].lost;
      gap = std::max(gap, l.longestGapMs);
      baseGap = std::max(baseGap, baselines[r].longestGapMs);
      complete = complete && l.records == l.samples && l.samples > 0;
      inFile += l.records;
      handedSamples += l.samples;
    }
    const double redraw = bench::median(replots);
    const double cpu = 100 * bench::median(cpuLive);
    out << QStringLiteral("  median redraw (value fit, replot and paint): %1 ms over %2 redraws  target < 10 ms: %3\n")
             .arg(redraw, 0, 'f', 2)
             .arg(replots.size())
             .arg(bench::met(!replots.empty() && redraw < 10) ? "ok" : "MISSED");
    out << QStringLiteral("  program CPU: %1% of one core  target < 20%: %2  baseline (no redraw) %3%\n")
             .arg(cpu, 0, 'f', 1)
             .arg(bench::met(cpu < 20) ? "ok" : "MISSED")
             .arg(100 * bench::median(cpuBase), 0, 'f', 1);
    out << QStringLiteral("  reports lost: %1  target 0: %2  baseline %3\n")
             .arg(dropped)
             .arg(bench::met(dropped == 0) ? "ok" : "MISSED")
             .arg(baseDropped);
    out << QStringLiteral("  LOST lines: %1  target 0: %2  baseline %3\n")
             .arg(lost)
             .arg(bench::met(lost == 0) ? "ok" : "MISSED")
             .arg(baseLost);
    out << QStringLiteral("  longest gap between two reads of the queue: %1 ms  target < 20 ms: %2  baseline %3 ms\n")
             .arg(gap, 0, 'f', 1)
             .arg(bench::met(gap < 20) ? "ok" : "MISSED")
             .arg(baseGap, 0, 'f', 1);
    out << QStringLiteral("  every sample handed to the window is in the file: %1 (%2 records for %3 samples)\n")
             .arg(bench::met(complete) ? "ok" : "MISSED")
             .arg(inFile)
             .arg(handedSamples);
    out.flush();
  }
  return bench::exitCode();
}
