// Times PlotWidget::replot of a 1200 x 600 plot showing 100 entries of a bar
// chart or a financial chart whose map holds 1,000,000 entries, against the
// same plot whose map holds only those 100 entries (measured in the same run,
// replots of the two alternating). Exits with 1 when a target is missed.
// The cost must follow the visible entries, not the map.
// Usage: bench_plottypes [runs]
#include "benchsupport.h"
#include "plot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {
constexpr int kEntries = 1000000;
constexpr int kVisible = 100;
constexpr double kTarget = 1.2;

double valueAt(int i)
{
  return 50 + 30 * std::sin(i * 0.01) + (i % 7);
}

void report(const char *name, double full, double alone)
{
  const double ratio = full / alone;
  std::printf("%-34s %8.3f ms   %d alone (baseline) %8.3f ms   ratio %.3f   target <= %.1f   %s\n", name, full,
              kVisible, alone, ratio, kTarget, bench::met(ratio <= kTarget) ? "ok" : "MISSED");
}

template <typename Plottable>
Plottable *makePlot(PlotWidget &plot, const std::function<void(Plottable *)> &style)
{
  plot.resize(1200, 600);
  plot.show();
  QApplication::processEvents();
  plot.yAxis->setRange(0, 120);
  auto *plottable = new Plottable(plot.xAxis, plot.yAxis);
  plot.addPlottable(plottable);
  if (style)
    style(plottable);
  return plottable;
}

// Both plots replot the same random window in turn, which goes first
// alternating, so that the load of a shared machine weighs on both alike;
// only the replot is timed, and the first twenty rounds warm the caches.
template <typename Plottable, typename Fill>
void benchOne(const char *name, int runs, Fill fill, const std::function<void(Plottable *)> &style = {})
{
  PlotWidget fullPlot, alonePlot;
  Plottable *full = makePlot(fullPlot, style);
  Plottable *alone = makePlot(alonePlot, style);
  fill(full, 0, kEntries);

  QRandomGenerator random(11);
  QElapsedTimer timer;
  std::vector<double> fullMs, aloneMs;
  for (int i = -20; i < runs; ++i) {
    const int start = int(random.bounded(kEntries - kVisible));
    for (int half = 0; half < 2; ++half) {
      const bool isFull = (i + 20 + half) % 2 == 0;
      PlotWidget &plot = isFull ? fullPlot : alonePlot;
      if (!isFull) {
        alone->clearData();
        fill(alone, start, kVisible);
      }
      plot.xAxis->setRange(start - 0.5, start + kVisible - 0.5);
      timer.start();
      plot.replot(PlotWidget::rpNow);
      if (i >= 0)
        (isFull ? fullMs : aloneMs).push_back(timer.nsecsElapsed() / 1e6);
    }
  }
  report(name, bench::median(fullMs), bench::median(aloneMs));
}
} // namespace

int main(int argc, char **argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::noteBuild("bench_plottypes");
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  std::printf("bench_plottypes: 1200x600 plot, %d of %d entries visible, median of %d replots, platform %s\n",
              kVisible, kEntries, runs, qPrintable(QGuiApplication::platformName()));

  const auto fillBars = [](PlotBars *bars, int first, int count) {
    PlotBarDataMap &map = *bars->data();
    for (int i = first; i < first + count; ++i)
      map.insert(map.cend(), i, PlotBarData(i, valueAt(i)));
  };
  const auto fillFinancial = [](PlotFinancial *financial, int first, int count) {
    PlotFinancialDataMap &map = *financial->data();
    for (int i = first; i < first + count; ++i) {
      const double v = valueAt(i);
      map.insert(map.cend(), i, PlotFinancialData(i, v - 3, v + 8, v - 9, v + 3 * ((i % 3) - 1)));
    }
  };

  benchOne<PlotBars>("bars", runs, fillBars);
  // The default translucent fill is blended pixel by pixel and hides the
  // bars' own cost; an opaque fill shows it.
  benchOne<PlotBars>("bars, opaque fill", runs, fillBars,
                     [](PlotBars *bars) { bars->setBrush(QColor(40, 50, 255)); });
  benchOne<PlotFinancial>("financial, OHLC", runs, fillFinancial);
  benchOne<PlotFinancial>("financial, candlesticks, two colours", runs, fillFinancial, [](PlotFinancial *f) {
    f->setChartStyle(PlotFinancial::csCandlestick);
    f->setTwoColored(true);
  });
  return bench::exitCode();
}
