// The chart bars' speed and memory: the report bar's span statistics and
// refresh against a plain statistics pass over the same map points (targets
// 1.5: the same work, with room for any machine's noise), a burst of range
// changes, and the navigation scan of a one-hour capture (also with
// crossings every millisecond) against a plain sequential read, with the
// series size and the scan's memory peak for ten minutes and for one hour.
// Each figure and its baseline are timed in turn. Exits with 1 when a target
// is missed.

#include "benchsupport.h"
#include "helpers.h"
#include "glwidget.h"
#include "plotaxis.h"
#include "plotwidget.h"
#include "reportbar.h"
#include "settings.h"
#include "swapfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <tuple>

#include <unistd.h>

namespace {

QTextStream out(stdout);

double best(int runs, const std::function<double()> &run)
{
  double b = 1e300;
  for (int i = 0; i < runs; ++i)
    b = std::min(b, run());
  return b;
}

double plainRead(const QString &path)
{
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return -1;
  static QByteArray buffer(1 << 20, '\0');
  quint64 check = 0;
  QElapsedTimer t;
  t.start();
  for (;;) {
    const qint64 n = f.read(buffer.data(), buffer.size());
    if (n <= 0)
      break;
    check += uchar(buffer.at(0)) + uchar(buffer.at(int(n - 1)));
  }
  const double elapsed = bench::ms(t);
  if (check == 1)
    std::puts("");
  return elapsed;
}

// The same statistics taken the plainest way: every map walked once in key
// order for its lowest, highest and summed value, NaN skipped. This is the
// work a span's statistics cannot do without, so the figures compare with it
// on any machine; a bare sum would leave the comparisons and the count out.
double plainPass(const QList<PlotDataMap *> &maps)
{
  double check = 0;
  QElapsedTimer t;
  t.start();
  for (const PlotDataMap *map : maps) {
    double mn = 1e300, mx = -1e300, sum = 0;
    qint64 n = 0;
    for (auto it = map->cbegin(); it != map->cend(); ++it) {
      const double v = it->value;
      if (std::isnan(v))
        continue;
      ++n;
      sum += v;
      mn = v < mn ? v : mn;
      mx = v > mx ? v : mx;
    }
    check += mn + mx + (n > 0 ? sum / double(n) : sum);
  }
  const double elapsed = bench::ms(t);
  if (check == 1.2345)
    std::puts("");
  return elapsed;
}

// As the capture-file benchmark writes it: 10 kHz, channels #0..#2 in
// one-second appends; #0 a 5 mA floor with 50 ms pulses of 60 mA every 2 s,
// or, with `crossings`, 60 mA and 5 mA alternating every 0.5 ms.
bool writeCapture(const QString &path, int seconds, bool crossings)
{
  SwapFile sw;
  if (!sw.create(path) || !sw.setLoggerHeader(0b111, 1))
    return false;
  ReportData live;
  for (int s = 0; s < seconds; ++s) {
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    for (int i = 0; i < 10000; ++i) {
      const double time = (qint64(s) * 10000 + i) * 0.0001;
      const bool high = crossings ? (i / 5) % 2 == 0 : (s % 2 == 0 && i < 500);
      const double values[3] = {high ? 60000.0 : 5000.0 + (i % 7), 3300.0 + (i % 100) * 0.5, 1800.0};
      for (int c = 0; c < 3; ++c)
        maps[c]->insert(maps[c]->cend(), time, PlotData(time, values[c]));
      live.t_end = time;
      ++live.count;
      live.min0 = std::min(live.min0, values[0]);
      live.max0 = std::max(live.max0, values[0]);
    }
    if (!sw.append(0, -1, maps, true)) {
      qDeleteAll(maps);
      return false;
    }
  }
  return sw.writeReport(live) && sw.stop();
}

void row(const char *what, double value, const char *baseName, double base, double target)
{
  const double ratio = base > 0 ? value / base : 0.0;
  out << QString::asprintf("  %-48s %10.3f ms   %s %9.3f ms   ratio %5.2f  (target <= %.2f: %s)\n", what, value,
                           baseName, base, ratio, target, bench::met(ratio <= target) ? "ok" : "MISSED");
  out.flush();
}

void refreshFrame(ReportBar &bar)
{
  QMetaObject::invokeMethod(&bar, "updateFrame", Qt::DirectConnection);
}

QString settingsPath()
{
  return Settings::localDataPath(QCoreApplication::applicationName() + QStringLiteral(".ini"));
}

} // namespace

int main(int argc, char **argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // Keep the user's own settings file out of it.
  const QString home = QDir(QDir::tempPath()).filePath(QStringLiteral("bench_bars-home-%1").arg(::getpid()));
  QDir().mkpath(home);
  qputenv("HOME", home.toLocal8Bit());
  QApplication app(argc, argv);
  bench::noteBuild("bench_bars");
  QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
  const int seconds = argc > 1 ? std::max(60, std::atoi(argv[1])) : 3600;

  GLWidget chart;
  auto *plot = new PlotWidget(&chart);
  chart.setPlotter(plot);
  chart.addChannels({});

  // --- span statistics: three maps of 10 s at 10 kHz ---
  out << "Span statistics, three maps of 10 s at 10 kHz\n";
  for (int i = 0; i < 100000; ++i) {
    const double t = i * 0.0001;
    for (int c = 0; c < 3; ++c)
      chart.maps[c]->insert(chart.maps[c]->cend(), t, PlotData(t, 1000.0 * c + (i % 977)));
  }
  const auto [span10, plain10] = bench::bestOfBoth(
    15,
    [&] {
      ReportData d;
      QElapsedTimer t;
      t.start();
      ReportBar::update(&chart, PlotRange(0, 10), &d);
      return bench::ms(t);
    },
    [&] { return plainPass(chart.maps); });
  row("span statistics over 10 s", span10, "plain statistics", plain10, 1.5);
  const double span1 = best(5, [&] {
    ReportData d;
    QElapsedTimer t;
    t.start();
    ReportBar::update(&chart, PlotRange(4.5, 5.5), &d);
    return bench::ms(t);
  });
  row("span statistics over a 1 s sub-window", span1, "plain statistics", plain10, 0.3);

  // --- captures ---
  const QString dir = QDir::tempPath();
  const auto pid = app.applicationPid();
  const QString hour = QDir(dir).filePath(QStringLiteral("bench_bars-%1-hour.tovri").arg(pid));
  const QString hourX = QDir(dir).filePath(QStringLiteral("bench_bars-%1-hour-x.tovri").arg(pid));
  const QString tenX = QDir(dir).filePath(QStringLiteral("bench_bars-%1-ten-x.tovri").arg(pid));
  struct Cleanup
  {
    QStringList files;
    QString home;
    ~Cleanup()
    {
      for (const QString &f : files)
        QFile::remove(f);
      QDir(home).removeRecursively();
    }
  } cleanup{{hour, hourX, tenX}, home};
  out << "Writing captures of " << seconds << " s (and " << seconds / 6 << " s) at 10 kHz, channels #0..#2\n";
  out.flush();
  if (!writeCapture(hour, seconds, false) || !writeCapture(hourX, seconds, true) ||
      !writeCapture(tenX, seconds / 6, true)) {
    out << "writing the captures failed\n";
    return 1;
  }

  // --- refresh of a 600 s window ---
  {
    SwapFile sw;
    sw.file.setFileName(hour);
    sw.stop();
    for (PlotDataMap *m : chart.maps)
      m->clear();
    const double lower = sw.duration - 600;
    if (!sw.readRange(sw.duration - 300, 600, chart.maps)) {
      out << "reading the 600 s window failed\n";
      return 1;
    }
    plot->xAxis->setRangeMax(sw.duration + 1);
    plot->xAxis->setRange(lower, sw.duration);
    out << "Report bar refresh over a 600 s window (" << chart.maps[0]->size() << " points per channel)\n";
    ReportBar bar;
    const auto [refresh, plain600] = bench::bestOfBoth(
      5,
      [&] {
        QElapsedTimer t;
        t.start();
        bar.update(&chart, true);
        refreshFrame(bar);
        return bench::ms(t);
      },
      [&] { return plainPass(chart.maps); });
    row("refresh (whole capture + window pass)", refresh, "plain statistics", plain600, 1.5);

    // 50 range changes in a row, then the pause: the calls themselves and the
    // one window pass that follows.
    QFile::remove(settingsPath());
    bar.update(&chart, true); // writes "report_bar" once
    const bool wroteFirst = QFile::exists(settingsPath());
    QFile::remove(settingsPath());
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 50; ++i) {
      plot->xAxis->setRange(lower + i * 0.1, sw.duration - 50 + i * 0.1);
      bar.update(&chart, true);
    }
    const double calls = bench::ms(t);
    refreshFrame(bar);
    const double burst = bench::ms(t);
    const int writes = (wroteFirst ? 1 : 0) + (QFile::exists(settingsPath()) ? 1 : 0);
    row("50 range changes, then one window pass", burst, "plain statistics", plain600, 1.5);
    out << QString::asprintf("    of which the 50 calls: %.3f ms; settings writes: %d (target <= 1: %s)\n", calls,
                             writes, bench::met(writes <= 1) ? "ok" : "MISSED");
    for (PlotDataMap *m : chart.maps)
      m->clear();
  }

  // --- navigation scan ---
  out << "Navigation scan\n";
  struct Scan
  {
    double ms = 0;
    double plainMs = 0; // the plain read of the same file, in turn with the scan
    qint64 points = 0;
    qint64 peakKb = 0;
  };
  auto scan = [&](const QString &path) {
    Scan s;
    SwapFile sw;
    sw.file.setFileName(path);
    sw.stop();
    std::tie(s.ms, s.plainMs) = bench::bestOfBoth(
      5,
      [&] {
        QElapsedTimer t;
        t.start();
        return sw.readFiltered(nullptr) ? bench::ms(t) : 1e300;
      },
      [&] { return plainRead(path); });
    s.points = sw.navigationSeries->size();
    SwapFile fresh;
    fresh.file.setFileName(path);
    fresh.stop();
    bench::resetPeak();
    const qint64 before = bench::statusKb("VmRSS");
    fresh.readFiltered(nullptr);
    s.peakKb = bench::statusKb("VmHWM") - before;
    return s;
  };
  const Scan plainScan = scan(hour);
  row("scan of the capture", plainScan.ms, "plain read", plainScan.plainMs, 2.0);
  const Scan crossed = scan(hourX);
  row("scan with crossings every ms", crossed.ms, "plain read", crossed.plainMs, 2.0);
  const Scan crossedShort = scan(tenX);
  out << QString::asprintf("  series: %lld points (pulses), crossings: %lld points for %d s, %lld for %d s (%s)\n",
                           plainScan.points, crossedShort.points, seconds / 6, crossed.points, seconds,
                           bench::met(crossed.points == crossedShort.points) ? "equal: ok" : "DIFFER");
  out << QString::asprintf("  scan peak RSS growth with crossings: %lld kB for %d s, %lld kB for %d s (%s)\n",
                           crossedShort.peakKb, seconds / 6, crossed.peakKb, seconds,
                           bench::met(crossed.peakKb <= crossedShort.peakKb + 1024) ? "equal: ok" : "GROWS");
  return bench::exitCode();
}
