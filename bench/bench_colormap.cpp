// Times a 1000 x 1000 colour map on a 1200 x 600 plot. The map's own cost is
// the replot with the map less the same replot without it. Baselines,
// measured in the same run: a plain loop colouring the same doubles into a
// QImage through a 350-entry table plus one smoothed drawImage into the map's
// rectangle (after a data change), and that drawImage alone (unchanged data).
// Usage: bench_colormap [runs]
#include "benchsupport.h"
#include "plot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {
constexpr int kCells = 1000;
constexpr double kTarget = 1.5;

struct Figures
{
  double withMap, withoutMap, baseline;
};

// The three are timed in turn within each run, so that the load of a shared
// machine weighs on all of them alike.
Figures timeRuns(int runs, const std::function<void()> &prepare, const std::function<void()> &withMap,
                 const std::function<void()> &withoutMap, const std::function<void()> &baseline)
{
  QElapsedTimer timer;
  std::vector<double> a, b, c;
  const auto time = [&](const std::function<void()> &work, std::vector<double> &into, bool keep) {
    timer.start();
    work();
    if (keep)
      into.push_back(timer.nsecsElapsed() / 1e6);
  };
  for (int i = -10; i < runs; ++i) { // the first ten warm the caches
    prepare();
    time(withMap, a, i >= 0);
    time(withoutMap, b, i >= 0);
    time(baseline, c, i >= 0);
  }
  return {bench::median(a), bench::median(b), bench::median(c)};
}

double cellValue(int k, int v)
{
  return std::sin(k * 0.013) * std::cos(v * 0.021) + 0.001 * ((k * 7 + v * 3) % 11);
}

void report(const char *name, double figure, const char *baselineName, double baseline)
{
  const double ratio = figure / baseline;
  std::printf("%-28s %8.3f ms   %s (baseline) %8.3f ms   ratio %.3f   target <= %.1f   %s\n", name, figure,
              baselineName, baseline, ratio, kTarget, bench::met(ratio <= kTarget) ? "ok" : "MISSED");
}
} // namespace

int main(int argc, char **argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::noteBuild("bench_colormap");
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  std::printf("bench_colormap: %d x %d cells on a 1200x600 plot, median of %d runs, platform %s\n", kCells, kCells,
              runs, qPrintable(QGuiApplication::platformName()));

  PlotWidget plot;
  plot.resize(1200, 600);
  plot.show();
  QApplication::processEvents();
  plot.xAxis->setRange(0, 1);
  plot.yAxis->setRange(0, 1);
  auto *map = new PlotColorMap(plot.xAxis, plot.yAxis);
  plot.addPlottable(map);
  PlotColorMapData *grid = map->data();
  grid->setSize(kCells, kCells);
  grid->setRange(PlotRange(0, 1), PlotRange(0, 1));
  for (int v = 0; v < kCells; ++v)
    for (int k = 0; k < kCells; ++k)
      grid->setCell(k, v, cellValue(k, v));
  map->rescaleDataRange(true);
  plot.replot(PlotWidget::rpNow);

  // Where the map lands: the baseline draws into the same rectangle.
  const double half = 0.5 / (kCells - 1);
  const QRectF target =
      QRectF(map->coordsToPixels(-half, -half), map->coordsToPixels(1 + half, 1 + half)).normalized();

  // Baseline: the same doubles through a 350-entry table, then one drawImage.
  std::vector<double> cells(size_t(kCells) * kCells);
  for (int v = 0; v < kCells; ++v)
    for (int k = 0; k < kCells; ++k)
      cells[size_t(v) * kCells + k] = cellValue(k, v);
  PlotColorGradient gradient(PlotColorGradient::gpCold);
  std::vector<QRgb> table(350);
  for (int i = 0; i < 350; ++i)
    table[size_t(i)] = gradient.color(i, PlotRange(0, 349));
  const PlotRange range = map->dataRange();
  QImage image(kCells, kCells, QImage::Format_RGB32);
  QImage canvas(1200, 600, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  const auto colour = [&] {
    const double factor = 349 / range.size();
    for (int v = 0; v < kCells; ++v) {
      QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(kCells - 1 - v));
      const double *row = cells.data() + size_t(v) * kCells;
      for (int k = 0; k < kCells; ++k) {
        const double index = (row[k] - range.lower) * factor;
        line[k] = table[size_t(std::clamp(index, 0.0, 349.0))];
      }
    }
  };
  const auto drawOnce = [&] {
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, image);
  };
  int touched = 0;
  const auto touch = [&] { grid->setCell(touched++ % kCells, 0, cellValue(0, 0)); };
  const auto replot = [&] { plot.replot(PlotWidget::rpNow); };
  const auto replotWithout = [&] {
    map->setVisible(false);
    plot.replot(PlotWidget::rpNow);
    map->setVisible(true);
  };
  const Figures changed = timeRuns(runs, touch, replot, replotWithout, [&] {
    colour();
    drawOnce();
  });
  const Figures unchanged = timeRuns(runs, [] {}, replot, replotWithout, drawOnce);

  std::printf("replot without the map: %.3f ms, with it after a change %.3f ms, unchanged %.3f ms\n",
              unchanged.withoutMap, changed.withMap, unchanged.withMap);
  report("after a data change", changed.withMap - changed.withoutMap, "colour + drawImage", changed.baseline);
  report("unchanged data", unchanged.withMap - unchanged.withoutMap, "drawImage", unchanged.baseline);
  return bench::exitCode();
}
