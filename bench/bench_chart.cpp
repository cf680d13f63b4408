// The chart of one capture tab: the cost of GLWidget::repaint() against the
// plot engine's own replot of the same three maps, the time to build, draw
// and close a tab of ten seconds against writing its points into reserved
// arrays, and whether rebuilding channels or whole tabs again and again lets
// resident memory grow (read as the process holds it, nothing trimmed first).
// Usage: bench_chart [runs] [cycles]
#include "benchsupport.h"
#include "glwidget.h"
#include "helpers.h"
#include "infopackets.h"
#include "plot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {
constexpr double kSampleRate = 10000;
constexpr qint64 kLivePoints = 10 * qint64(kSampleRate); // ten seconds per channel

// Resident set in kB as the process holds it: freed memory the allocator
// keeps counts, as it does for the user.
long residentKb()
{
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly))
    return -1;
  const QList<QByteArray> fields = statm.readAll().split(' ');
  return fields.size() > 1 ? fields.at(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

void describeLogger()
{
  const char *const texts[3] = {"mA,Current,", "V,Vbus,", "V,Vin,"};
  QJsonArray list;
  for (int c = 0; c < 3; ++c)
    list.append(QJsonObject{{"channel", c}, {"info", texts[c]}});
  ChannelInfo::fromJson(QJsonObject{{"Channels", list}});
}

// A current with a 50 Hz component and noise (µA), two voltages (mV).
void fillLive(GLWidget &chart, qint64 points)
{
  quint32 noise = 12345;
  for (int c = 0; c < chart.maps.size(); ++c) {
    PlotDataMap &map = *chart.maps.at(c);
    for (qint64 i = 0; i < points; ++i) {
      noise = noise * 1664525u + 1013904223u;
      const double jitter = (noise >> 8) / double(1 << 24) - 0.5;
      const double t = i / kSampleRate;
      const double v = c == 0 ? 400 + 250 * std::sin(2 * M_PI * 50 * t) + 60 * jitter
                              : (c == 1 ? 3300 + 20 * jitter : 5000 + 15 * jitter);
      map.insert(map.cend(), t, PlotData(t, v));
    }
  }
}

// The memory work of a tab's points alone: the same points written into
// three arrays reserved up front, then freed.
void fillPlain(qint64 points)
{
  std::vector<std::vector<PlotData>> arrays(3);
  quint32 noise = 12345;
  for (int c = 0; c < 3; ++c) {
    arrays[c].reserve(size_t(points));
    for (qint64 i = 0; i < points; ++i) {
      noise = noise * 1664525u + 1013904223u;
      const double t = i / kSampleRate;
      arrays[c].push_back(PlotData(t, c * 1000.0 + (noise >> 20)));
    }
  }
  if (arrays[2].back().value == -1.0)
    std::puts("");
}

struct Tab
{
  GLWidget chart;
  PlotWidget *plot;
  Tab() : plot(new PlotWidget(&chart))
  {
    chart.resize(1200, 600);
    plot->resize(1200, 600);
    chart.setPlotter(plot);
    plot->xAxis->setRange(0, 10);
    chart.addChannels({});
  }
};

void report(const char *what, double figure, const char *unit, const char *target, double baseline, bool ok)
{
  std::printf("%-42s %9.3f %-2s  target %-20s  baseline %9.3f %-2s  %s\n", what, figure, unit, target, baseline, unit,
              bench::met(ok) ? "OK" : "MISSED");
}

// The chart logs every channel set-up; a thousand of them would bury the figures.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
  if (type != QtDebugMsg)
    std::fprintf(stderr, "%s\n", qPrintable(message));
}
} // namespace

int main(int argc, char **argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(quietDebug);
  QApplication app(argc, argv);
  bench::noteBuild("bench_chart");
  const int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 200;
  const int cycles = argc > 2 ? std::max(2, std::atoi(argv[2])) : 1000;
  // Keep the settings the chart reads and writes out of the user's home.
  QTemporaryDir home;
  qputenv("HOME", home.path().toLocal8Bit());
  Helpers::powerMode = Helpers::powerV2Mode = false;
  describeLogger();

  // --- repaint against the engine's replot, interleaved run by run ---------
  {
    Tab tab;
    tab.chart.show();
    fillLive(tab.chart, kLivePoints);
    QApplication::processEvents();
    for (int i = 0; i < 20; ++i) {
      tab.chart.repaint();
      tab.plot->replot(PlotWidget::rpNow);
    }
    std::vector<double> repaintMs, replotMs;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
      timer.start();
      tab.chart.repaint();
      repaintMs.push_back(timer.nsecsElapsed() / 1e6);
      timer.start();
      tab.plot->replot(PlotWidget::rpNow);
      replotMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double figure = bench::median(repaintMs);
    const double baseline = bench::median(replotMs);
    std::printf("bench_chart: 3 x %lld points at 1200x600, %d runs, platform %s\n", kLivePoints, runs,
                qPrintable(QGuiApplication::platformName()));
    report("repaint(), median", figure, "ms", "<= 1.1 x baseline", baseline, figure <= 1.1 * baseline);
    std::printf("  baseline: PlotWidget::replot(rpNow) of the same plot and maps, interleaved\n");
  }

  // --- addChannels again and again on one chart ---------------------------
  {
    Tab tab;
    long first = 0;
    for (int i = 0; i < cycles; ++i) {
      tab.chart.addChannels({});
      fillLive(tab.chart, 1000);
      tab.chart.repaint();
      if (i == 0)
        first = residentKb();
    }
    const long last = residentKb();
    report("resident after addChannels cycles", last / 1024.0, "MB", "<= baseline + 5 MB", first / 1024.0,
           last - first <= 5 * 1024);
  }

  // --- whole tabs with ten seconds of points, built and closed -------------
  // Each tab in turn with the baseline: the same points written into arrays
  // reserved up front, the memory work no chart can avoid.
  {
    const long before = residentKb();
    // The allocator settles its thresholds over the first tabs; growth past
    // that settled figure would be a leak. Held with every tab closed, glibc
    // may keep free heap below twice its largest freed array (2 x 4.8 MB):
    // the bound of three quarters of a tab holds with that and catches a
    // whole tab's points kept.
    const int settled = std::min(10, cycles - 1);
    long first = 0, last = 0;
    std::vector<double> tabMs, plainMs;
    QElapsedTimer timer;
    for (int i = 0; i < cycles; ++i) {
      timer.start();
      {
        Tab tab;
        fillLive(tab.chart, kLivePoints);
        tab.chart.repaint();
      }
      tabMs.push_back(bench::ms(timer));
      // Read before the baseline's own arrays come and go.
      if (i == settled - 1)
        first = residentKb();
      if (i == cycles - 1)
        last = residentKb();
      timer.start();
      fillPlain(kLivePoints);
      plainMs.push_back(bench::ms(timer));
    }
    report("tab built, drawn and closed, median", bench::median(tabMs), "ms", "< 50 ms", bench::median(plainMs),
           bench::median(tabMs) < 50);
    std::printf("  baseline: the same 3 x %lld points written into reserved arrays, in turn with the tabs\n",
                kLivePoints);
    // One tab's points: three arrays of 48-byte points.
    const long tabKb = long(3 * kLivePoints * sizeof(PlotData) / 1024);
    report("resident after tab cycles", last / 1024.0, "MB", "<= baseline + 5 MB", first / 1024.0,
           last - first <= 5 * 1024);
    report("resident held with every tab closed", last / 1024.0, "MB", "<= baseline + 0.75 tab", before / 1024.0,
           last - before <= tabKb * 3 / 4);
    std::printf("  %d cycles; baselines: resident after tab %d, and before any tab (one tab's points: %.1f MB); "
                "nothing handed back to the system by hand\n",
                cycles, settled, tabKb / 1024.0);
  }
  return bench::exitCode();
}
