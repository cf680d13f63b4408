// Times the graph's list setters on points in any order against a tree map
// (std::map) filled with the same points in the same order, in interleaved
// rounds: 100,000 shuffled keys with repeats through setData, one million
// random keys through setData, and 100,000 points added with addData in
// 1000-point pages taken in random order. The graph keeps its points in one
// array, so each figure must stay within 3x the tree's.
// Exits with 1 when a target is missed.
// Usage: bench_setdata [rounds]
#include "benchsupport.h"
#include "plot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <vector>

namespace {
using Tree = std::map<double, PlotData>;
constexpr double kTarget = 3.0; // graph / tree

struct Pages
{
  std::vector<QList<double>> keys, values;
};

// n points on n * 9 / 10 distinct keys (so some are given twice), shuffled.
void shuffledKeys(qsizetype n, std::mt19937_64 &rng, QList<double> &keys, QList<double> &values)
{
  keys.clear();
  values.clear();
  for (qsizetype i = 0; i < n; ++i) {
    keys << double(i * 9 / 10) * 1e-4;
    values << double(i % 977);
  }
  std::shuffle(keys.begin(), keys.end(), rng);
}

// n uniformly random keys.
void randomKeys(qsizetype n, std::mt19937_64 &rng, QList<double> &keys, QList<double> &values)
{
  std::uniform_real_distribution<double> key(0, 1000);
  keys.clear();
  values.clear();
  for (qsizetype i = 0; i < n; ++i) {
    keys << key(rng);
    values << double(i % 977);
  }
}

// n points in ascending pages of `size` points, the pages in random order.
Pages shuffledPages(qsizetype n, qsizetype size, std::mt19937_64 &rng)
{
  std::vector<qsizetype> order(size_t(n / size));
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), rng);
  Pages pages;
  for (qsizetype page : order) {
    QList<double> keys, values;
    for (qsizetype i = page * size; i < (page + 1) * size; ++i) {
      keys << i * 1e-4;
      values << double(i % 977);
    }
    pages.keys.push_back(keys);
    pages.values.push_back(values);
  }
  return pages;
}

double timeGraphSet(PlotGraph *graph, const QList<double> &keys, const QList<double> &values)
{
  graph->clearData();
  QElapsedTimer timer;
  timer.start();
  graph->setData(keys, values);
  return bench::ms(timer);
}

double timeTreeSet(const QList<double> &keys, const QList<double> &values)
{
  Tree tree;
  QElapsedTimer timer;
  timer.start();
  for (qsizetype i = 0; i < keys.size(); ++i)
    tree[keys.at(i)] = PlotData(keys.at(i), values.at(i));
  const double elapsed = bench::ms(timer);
  if (tree.empty())
    std::abort(); // keeps the fill from being optimised away
  return elapsed;
}

double timeGraphPages(PlotGraph *graph, const Pages &pages)
{
  graph->clearData();
  QElapsedTimer timer;
  timer.start();
  for (size_t i = 0; i < pages.keys.size(); ++i)
    graph->addData(pages.keys[i], pages.values[i]);
  return bench::ms(timer);
}

double timeTreePages(const Pages &pages)
{
  Tree tree;
  QElapsedTimer timer;
  timer.start();
  for (size_t p = 0; p < pages.keys.size(); ++p) {
    const QList<double> &keys = pages.keys[p];
    for (qsizetype i = 0; i < keys.size(); ++i)
      tree[keys.at(i)] = PlotData(keys.at(i), pages.values[p].at(i));
  }
  const double elapsed = bench::ms(timer);
  if (tree.empty())
    std::abort();
  return elapsed;
}

// Medians of both over interleaved rounds, which one goes first alternating.
std::pair<double, double> interleaved(int rounds, const std::function<double()> &graph,
                                      const std::function<double()> &tree)
{
  std::vector<double> a, b;
  for (int i = 0; i < rounds; ++i) {
    if (i % 2) {
      b.push_back(tree());
      a.push_back(graph());
    } else {
      a.push_back(graph());
      b.push_back(tree());
    }
  }
  return {bench::median(a), bench::median(b)};
}

void report(const char *name, const std::pair<double, double> &figures, int rounds)
{
  const double ratio = figures.first / figures.second;
  std::printf("%-40s graph %9.2f ms  tree (base) %9.2f ms  median of %d rounds  graph/tree %.2f "
              "(target <= %.0f: %s)\n",
              name, figures.first, figures.second, rounds, ratio, kTarget,
              bench::met(ratio <= kTarget) ? "ok" : "MISSED");
  std::fflush(stdout);
}
} // namespace

int main(int argc, char **argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::noteBuild("bench_setdata");
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

  PlotWidget plot;
  PlotGraph *graph = plot.addGraph();
  std::mt19937_64 rng(35);
  QList<double> keys, values;

  shuffledKeys(100000, rng, keys, values);
  report("setData, 100,000 shuffled keys", interleaved(rounds, [&] { return timeGraphSet(graph, keys, values); },
                                                       [&] { return timeTreeSet(keys, values); }),
         rounds);

  QList<double> sorted = keys;
  std::sort(sorted.begin(), sorted.end());
  const auto inOrder = interleaved(rounds, [&] { return timeGraphSet(graph, sorted, values); },
                                   [&] { return timeTreeSet(sorted, values); });
  std::printf("%-40s graph %9.2f ms  tree (base) %9.2f ms  (for comparison, no target)\n",
              "setData, the same keys ascending", inOrder.first, inOrder.second);

  const Pages pages = shuffledPages(100000, 1000, rng);
  report("addData, 100 pages of 1000, random order", interleaved(rounds, [&] { return timeGraphPages(graph, pages); },
                                                                  [&] { return timeTreePages(pages); }),
         rounds);

  const int bigRounds = std::max(1, rounds / 2);
  randomKeys(1000000, rng, keys, values);
  report("setData, 1,000,000 random keys", interleaved(bigRounds, [&] { return timeGraphSet(graph, keys, values); },
                                                       [&] { return timeTreeSet(keys, values); }),
         bigRounds);
  return bench::exitCode();
}
