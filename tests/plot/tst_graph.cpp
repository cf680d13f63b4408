#include "graphfixture.h"
#include "mapcheck.h"
#include "plot.h"
#include "testmain.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>

namespace {
// The map holds exactly the reference's points, every field alike.
bool sameAs(const PlotDataMap &map, const std::map<double, PlotData> &reference)
{
  if (!wellFormed(map) || map.size() != qsizetype(reference.size()))
    return false;
  auto it = map.cbegin();
  for (const auto &[key, p] : reference) {
    if (it.key() != key || it->value != p.value || it->keyErrorMinus != p.keyErrorMinus ||
        it->keyErrorPlus != p.keyErrorPlus || it->valueErrorMinus != p.valueErrorMinus ||
        it->valueErrorPlus != p.valueErrorPlus)
      return false;
    ++it;
  }
  return true;
}
} // namespace

// The graph's point map: who owns it, and every operation that writes it.
class PlotGraphDataTest : public QObject
{
  Q_OBJECT
private slots:
  // The sanitizers watch these: a lent map is never freed by the graph, the
  // graph's own map never leaks.
  void lentMapOutlivesTheGraph()
  {
    GraphPlot p;
    auto *map = new PlotDataMap;
    PlotGraph *graph = p.plot.addGraph();
    graph->setData(map, false);
    QCOMPARE(graph->data(), map);
    map->insert(1, PlotData(1, 5)); // the application writes in place
    QCOMPARE(graph->data()->size(), 1);
    QVERIFY(p.plot.removeGraph(graph));
    QCOMPARE(map->value(1).value, 5.0);
    map->insert(2, PlotData(2, 6));
    delete map;
  }

  void lentMapFreedBeforeTheGraphGoes()
  {
    GraphPlot p;
    auto *first = new PlotDataMap;
    auto *second = new PlotDataMap;
    first->insert(1, PlotData(1, 1));
    PlotGraph *graph = p.plot.addGraph();
    graph->setData(first, false);
    graph->setData(second, false); // replacing a lent map does not free it
    QCOMPARE(first->size(), 1);
    delete first;
    graph->addData(3, 3);
    QCOMPARE(second->size(), 1);
    // The lender frees its map while the graph still points at it; removing
    // the graph must not touch the map.
    delete second;
    QVERIFY(p.plot.removeGraph(graph));
  }

  void ownMapGoesWithTheGraph()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->addData(1, 2);
    PlotDataMap other;
    other.insert(4, PlotData(4, 4));
    graph->setData(&other, true); // a copy into the own map
    QVERIFY(graph->data() != &other);
    plot.removeGraph(graph);
    plot.addGraph()->addData(5, 5); // freed with the plot
  }

  void settingTheHeldPointerAgainChangesNothing()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->addData(1, 2);
    PlotDataMap *held = graph->data();
    MessageLog log;
    graph->setData(held, false);
    graph->setData(held, true);
    QCOMPARE(graph->data(), held);
    QCOMPARE(held->size(), 1);
    const QString expected = QStringLiteral("void PlotGraph::setData(PlotDataMap*, bool) The data pointer is already in "
                                            "(and owned by) this plottable %1")
                                 .arg(reinterpret_cast<quintptr>(held));
    QCOMPARE(log.lines, QStringList({expected, expected}));

    graph->setData(nullptr, false); // refused, not dereferenced
    QCOMPARE(graph->data(), held);
    QCOMPARE(log.lines.size(), 3);
  }

  void copiesAreIndependent()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    PlotDataMap source;
    source.insert(1, PlotData(1, 10));
    graph->setData(&source, true);
    source.insert(2, PlotData(2, 20));
    QCOMPARE(keysOf(*graph->data()), QList<double>({1}));
    graph->addData(3, 30);
    QCOMPARE(keysOf(source), QList<double>({1, 2}));

    // Copying into a lent map replaces the lender's points.
    PlotDataMap lent;
    lent.insert(9, PlotData(9, 9));
    graph->setData(&lent, false);
    graph->setData(&source, true);
    QCOMPARE(keysOf(lent), QList<double>({1, 2}));
  }

  void listSetters()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->setData({1, 1}, {5, 7}); // a later point at a key replaces the earlier
    QCOMPARE(keysOf(*graph->data()), QList<double>({1}));
    QCOMPARE(valuesOf(*graph->data()), QList<double>({7}));

    graph->setData({3, 1, 2}, {30, 10}); // never past the shorter list
    QCOMPARE(keysOf(*graph->data()), QList<double>({1, 3}));
    graph->setData({1, 2, 3}, {10, 20, 30}, 2);
    QCOMPARE(keysOf(*graph->data()), QList<double>({1, 2}));
    graph->setData({1, 2, 3}, {10, 20}, 50); // the count is clamped to the lists
    QCOMPARE(keysOf(*graph->data()), QList<double>({1, 2}));
    graph->setData({1, 2}, {10, 20}, -3);
    QVERIFY(graph->data()->isEmpty());
    graph->setData({1, 2}, {10, 20}, 0);
    QVERIFY(graph->data()->isEmpty());
  }

  void errorSetters()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->setDataValueError({1, 2, 3}, {10, 20, 30}, {0.5, 0.25});
    QCOMPARE(graph->data()->size(), 2);
    PlotData p = graph->data()->value(2);
    QCOMPARE(p.valueErrorMinus, 0.25);
    QCOMPARE(p.valueErrorPlus, 0.25);
    QCOMPARE(p.keyErrorMinus, 0.0);

    graph->setDataValueError({1, 2}, {10, 20}, {1, 2}, {3, 4});
    p = graph->data()->value(2);
    QCOMPARE(p.valueErrorMinus, 2.0);
    QCOMPARE(p.valueErrorPlus, 4.0);

    graph->setDataKeyError({1, 2}, {10, 20}, {0.1, 0.2});
    p = graph->data()->value(2);
    QCOMPARE(p.keyErrorMinus, 0.2);
    QCOMPARE(p.keyErrorPlus, 0.2);
    QCOMPARE(p.valueErrorPlus, 0.0); // the setter cleared the old points

    graph->setDataKeyError({1, 2}, {10, 20}, {1, 2}, {3});
    QCOMPARE(graph->data()->size(), 1);
    QCOMPARE(graph->data()->value(1).keyErrorPlus, 3.0);

    graph->setDataBothError({1}, {10}, {0.5}, {7});
    p = graph->data()->value(1);
    QCOMPARE(p.keyErrorMinus, 0.5);
    QCOMPARE(p.keyErrorPlus, 0.5);
    QCOMPARE(p.valueErrorMinus, 7.0);
    QCOMPARE(p.valueErrorPlus, 7.0);

    graph->setDataBothError({1, 2}, {10, 20}, {1, 1}, {2, 2}, {3, 3}, {4});
    QCOMPARE(graph->data()->size(), 1);
    p = graph->data()->value(1);
    QCOMPARE(p.keyErrorMinus, 1.0);
    QCOMPARE(p.keyErrorPlus, 2.0);
    QCOMPARE(p.valueErrorMinus, 3.0);
    QCOMPARE(p.valueErrorPlus, 4.0);
    QVERIFY(wellFormed(*graph->data()));
  }

  void addData()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->setDataBothError({2}, {1}, {1}, {1});
    graph->addData(2, 3); // replaces the point, extents back to 0
    PlotData p = graph->data()->value(2);
    QCOMPARE(p.value, 3.0);
    QCOMPARE(p.keyErrorMinus + p.keyErrorPlus + p.valueErrorMinus + p.valueErrorPlus, 0.0);

    PlotData withError(5, 50);
    withError.valueErrorPlus = 2;
    graph->addData(withError);
    QCOMPARE(graph->data()->value(5).valueErrorPlus, 2.0);

    graph->addData({7, 8, 9}, {70, 80}); // nothing cleared, never past the shorter list
    QCOMPARE(keysOf(*graph->data()), QList<double>({2, 5, 7, 8}));
    QVERIFY(wellFormed(*graph->data()));
  }

  // The list setters sort what they are given in one go: any input order,
  // with keys given several times, ends in the map that inserting the points
  // one by one gives (the last point given at a key wins), also merged into
  // points already held. A tree map is the reference.
  void anyInputOrderGivesTheSameMap_data()
  {
    QTest::addColumn<int>("order");
    QTest::addColumn<int>("pageSize"); // 0: one call
    QTest::newRow("ascending") << 0 << 0;
    QTest::newRow("reversed") << 1 << 0;
    QTest::newRow("shuffled") << 2 << 0;
    QTest::newRow("shuffled, pages of 64") << 2 << 64;
    QTest::newRow("reversed, pages of 500") << 1 << 500;
  }
  void anyInputOrderGivesTheSameMap()
  {
    QFETCH(int, order);
    QFETCH(int, pageSize);
    // 3000 points on 700 keys, each value unique, so the winner is known.
    const auto keyOf = [](int i) { return (i * 263 % 700) * 0.5 - 100; };
    QList<int> index(3000);
    std::iota(index.begin(), index.end(), 0);
    std::stable_sort(index.begin(), index.end(), [&](int a, int b) { return keyOf(a) < keyOf(b); });
    if (order == 1)
      std::reverse(index.begin(), index.end());
    if (order == 2)
      std::shuffle(index.begin(), index.end(), std::mt19937(35));
    QList<double> keys, values, keyErrors, valueErrors;
    for (int i : index) {
      keys << keyOf(i);
      values << i;
      keyErrors << i * 1e-3;
      valueErrors << i * 1e-2;
    }
    QList<double> heldKeys, heldValues; // half of them at incoming keys
    for (double k = -150; k < 260; k += 0.25) {
      heldKeys << k;
      heldValues << -1;
    }

    std::map<double, PlotData> expected, merged;
    for (qsizetype i = 0; i < heldKeys.size(); ++i)
      merged[heldKeys.at(i)] = PlotData(heldKeys.at(i), heldValues.at(i));
    for (qsizetype i = 0; i < keys.size(); ++i) {
      PlotData p(keys.at(i), values.at(i));
      merged[p.key] = p;
      p.keyErrorMinus = p.keyErrorPlus = keyErrors.at(i);
      p.valueErrorMinus = p.valueErrorPlus = valueErrors.at(i);
      expected[p.key] = p;
    }

    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    if (pageSize == 0) {
      graph->setDataBothError(keys, values, keyErrors, valueErrors);
      QVERIFY(sameAs(*graph->data(), expected));
    }
    graph->setData(heldKeys, heldValues);
    const qsizetype step = pageSize ? pageSize : keys.size();
    for (qsizetype from = 0; from < keys.size(); from += step)
      graph->addData(keys.mid(from, step), values.mid(from, step));
    QVERIFY(sameAs(*graph->data(), merged));
  }

  // Keys that compare equal (0 and -0) share one entry under the key given
  // first, holding the point given last, as one-by-one inserts leave it.
  void equalKeysKeepTheFirstEntryKey()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->setData({-0.0, 3, 0.0}, {1, 2, 3});
    QCOMPARE(valuesOf(*graph->data()), QList<double>({3, 2}));
    QVERIFY(std::signbit(graph->data()->firstKey()));
    QVERIFY(std::signbit(graph->data()->first().key));
    graph->addData({0.0, 2}, {4, 5});
    QCOMPARE(valuesOf(*graph->data()), QList<double>({4, 5, 2}));
    QVERIFY(std::signbit(graph->data()->firstKey()));
  }

  void mergingAMapLetsTheIncomingPointWin()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->setData({2, 3}, {-2, -3}); // c, d
    PlotDataMap incoming;
    incoming.insert(1, PlotData(1, 1)); // a
    incoming.insert(2, PlotData(2, 2)); // b
    graph->addData(incoming);
    QCOMPARE(keysOf(*graph->data()), QList<double>({1, 2, 3}));
    QCOMPARE(valuesOf(*graph->data()), QList<double>({1, 2, -3}));
    QCOMPARE(incoming.size(), 2);

    // An empty map does not even detach a shared map.
    PlotDataMap shared = *graph->data();
    graph->addData(PlotDataMap());
    QVERIFY(!graph->data()->isDetached());
  }

  void removals()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    const QList<double> keys{1, 2, 3, 4};
    const auto reset = [&] { graph->setData(keys, keys); };

    reset();
    graph->removeDataBefore(2);
    QCOMPARE(keysOf(*graph->data()), QList<double>({2, 3, 4}));
    reset();
    graph->removeDataAfter(3);
    QCOMPARE(keysOf(*graph->data()), QList<double>({1, 2, 3}));
    reset();
    graph->removeData(1, 3);
    QCOMPARE(keysOf(*graph->data()), QList<double>({1, 4}));
    reset();
    graph->removeData(3, 3);
    QCOMPARE(keysOf(*graph->data()), keys);
    graph->removeData(3, 1);
    QCOMPARE(keysOf(*graph->data()), keys);
    graph->removeData(2.5);
    QCOMPARE(keysOf(*graph->data()), keys);
    graph->removeData(2);
    QCOMPARE(keysOf(*graph->data()), QList<double>({1, 3, 4}));
    graph->removeDataBefore(100);
    QVERIFY(graph->data()->isEmpty());
    graph->removeDataAfter(0); // empty map: nothing
    graph->removeDataBefore(0);
    graph->removeData(-5, 5);
    QVERIFY(graph->data()->isEmpty());
  }

  void removalsOnASharedMapLeaveTheOtherSharer()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->setData({1, 2, 3, 4}, {1, 2, 3, 4});
    const PlotDataMap copy = *graph->data();
    graph->removeDataBefore(3);
    graph->removeData(4);
    graph->removeData(0, 10);
    QCOMPARE(copy.size(), 4);
    QVERIFY(graph->data()->isEmpty());
  }

  void clearData()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    PlotDataMap lent;
    lent.insert(1, PlotData(1, 1));
    graph->setData(&lent, false);
    graph->clearData(); // the same map: the giver's map is emptied
    QVERIFY(lent.isEmpty());

    lent.insert(2, PlotData(2, 2));
    const PlotDataMap sharer = lent;
    graph->clearData(); // a shared map only drops its reference
    QVERIFY(lent.isEmpty());
    QCOMPARE(sharer.size(), 1);
  }

  void getDataWritesAtMostTenPointsAndNeverPastTheLast()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    {
      MessageLog log;
      graph->getData(); // empty: nothing
      QVERIFY(log.lines.isEmpty());
    }
    graph->setData({1, 2, 3}, {10, 20, 30});
    {
      MessageLog log;
      graph->getData();
      // The texts end in a blank and the debug stream adds its own before the number.
      QCOMPARE(log.lines,
               QStringList({"key:  1", "value:  10", "key:  2", "value:  20", "key:  3", "value:  30"}));
    }
    QList<double> many;
    for (int i = 0; i < 25; ++i)
      many << i;
    graph->setData(many, many);
    MessageLog log;
    graph->getData();
    QCOMPARE(log.lines.size(), 20);
    QCOMPARE(log.lines.last(), QStringLiteral("value:  9"));
  }
};

TOVRI_TEST(PlotGraphDataTest)
#include "tst_graph.moc"
