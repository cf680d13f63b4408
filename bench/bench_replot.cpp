// Times PlotWidget::replot of a 1200 x 600 plot with its four axes: median and
// spread over many runs. Usage: bench_replot [runs]
#include "plot.h"
#include "plotaxis.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
struct Stats
{
  double median, p10, p90, min, max;
};

Stats summarize(std::vector<double> ms)
{
  std::sort(ms.begin(), ms.end());
  const auto at = [&ms](double q) { return ms[static_cast<size_t>(q * (ms.size() - 1) + 0.5)]; };
  return {at(0.5), at(0.1), at(0.9), ms.front(), ms.back()};
}

void print(const char *name, const Stats &s, int runs)
{
  std::printf("%-28s runs %5d  median %8.3f ms  p10 %8.3f  p90 %8.3f  min %8.3f  max %8.3f  (p90-p10 %.3f ms)\n",
              name, runs, s.median, s.p10, s.p90, s.min, s.max, s.p90 - s.p10);
}

// refreshPriority rpNow includes the synchronous copy of the buffer to the
// window, as with the default force-repaint hint.
template <typename Step>
Stats timeReplots(PlotWidget &plot, int runs, Step step)
{
  for (int i = 0; i < 20; ++i) { // warm caches (fonts, label pixmaps)
    step(i);
    plot.replot(PlotWidget::rpNow);
  }
  std::vector<double> ms;
  ms.reserve(runs);
  QElapsedTimer timer;
  for (int i = 0; i < runs; ++i) {
    step(i);
    timer.start();
    plot.replot(PlotWidget::rpNow);
    ms.push_back(timer.nsecsElapsed() / 1e6);
  }
  return summarize(ms);
}
} // namespace

int main(int argc, char **argv)
{
  // Without a platform chosen, measure the drawing itself, headless and reproducible.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;

  PlotWidget plot;
  plot.resize(1200, 600);
  plot.show();
  QApplication::processEvents();

  plot.xAxis->setLabel(QStringLiteral("Time, s"));
  plot.yAxis->setLabel(QStringLiteral("#0: Current, mA"));
  plot.xAxis->setRange(0, 10);
  plot.yAxis->setRange(0, 1000);
  plot.xAxis2->setVisible(true);
  plot.yAxis2->setVisible(true);
  plot.yAxis2->setLabel(QStringLiteral("#2: Voltage, V"));
  plot.xAxis2->setRange(0, 10);
  plot.yAxis2->setRange(-100, 5500);

  std::printf("bench_replot: %dx%d plot, four axes, platform %s\n", plot.width(), plot.height(),
              qPrintable(QGuiApplication::platformName()));

  const Stats still = timeReplots(plot, runs, [](int) {});
  print("replot, ranges unchanged", still, runs);

  // The live chart moves its time axis before every redraw: new tick labels.
  const Stats scrolling = timeReplots(plot, runs, [&plot](int i) {
    const double start = i * 0.137;
    plot.xAxis->setRange(start, start + 10);
  });
  print("replot, time axis scrolling", scrolling, runs);
  return 0;
}
