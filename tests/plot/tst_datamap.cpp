#include "mapcheck.h"
#include "plot.h"
#include "testmain.h"

#include <QTest>

#include <functional>
#include <limits>
#include <map>

namespace {
const double qnan = std::numeric_limits<double>::quiet_NaN();
using Edit = std::function<void(PlotDataMap &)>;

PlotDataMap oneToFive()
{
  PlotDataMap map;
  for (int k = 1; k <= 5; ++k)
    map.insert(k, PlotData(k, 10 * k));
  return map;
}
} // namespace
Q_DECLARE_METATYPE(Edit)

// The graph's point map: keys ascending, one point per key, the range
// removals, sharing with detach on the first write, and the live window's
// append-and-trim.
class PlotDataMapTest : public QObject
{
  Q_OBJECT
private slots:
  void contract_data()
  {
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QList<double>>("keys");
    QTest::addColumn<QList<double>>("values");

    QTest::newRow("in order") << Edit([](PlotDataMap &m) {
      m.insert(1, PlotData(1, 10));
      m.insert(2, PlotData(2, 20));
      m.insert(3, PlotData(3, 30));
    }) << QList<double>{1, 2, 3} << QList<double>{10, 20, 30};
    QTest::newRow("out of order") << Edit([](PlotDataMap &m) {
      m.insert(3, PlotData(3, 30));
      m.insert(1, PlotData(1, 10));
      m.insert(2, PlotData(2, 20));
      m.insert(-1, PlotData(-1, -10));
    }) << QList<double>{-1, 1, 2, 3} << QList<double>{-10, 10, 20, 30};
    QTest::newRow("same key twice, later wins") << Edit([](PlotDataMap &m) {
      m.insert(2, PlotData(2, 20));
      m.insert(1, PlotData(1, 10));
      m.insert(2, PlotData(2, 25));
      m.insert(1, PlotData(1, 15));
    }) << QList<double>{1, 2} << QList<double>{15, 25};
    QTest::newRow("entry key names the point") << Edit([](PlotDataMap &m) {
      m.insert(5, PlotData(7, 50));
      m.insert(4, PlotData(-3, 40));
    }) << QList<double>{4, 5} << QList<double>{40, 50};
    QTest::newRow("hinted insert in the middle") << Edit([](PlotDataMap &m) {
      m.insert(1, PlotData(1, 10));
      m.insert(3, PlotData(3, 30));
      m.insert(m.cend(), 2, PlotData(2, 20));
    }) << QList<double>{1, 2, 3} << QList<double>{10, 20, 30};
    // The library's setters refuse NaN keys; the map itself lets one land on
    // an entry, as a tree map does, and stays in order.
    QTest::newRow("NaN key lands on an entry") << Edit([](PlotDataMap &m) {
      m.insert(1, PlotData(1, 10));
      m.insert(2, PlotData(2, 20));
      m.insert(qnan, PlotData(qnan, 99));
    }) << QList<double>{1, 2} << QList<double>{99, 20};
    QTest::newRow("trim the front") << Edit([](PlotDataMap &m) {
      m = oneToFive();
      m.erase(m.begin(), m.lowerBound(3));
    }) << QList<double>{3, 4, 5} << QList<double>{30, 40, 50};
    QTest::newRow("trim the back") << Edit([](PlotDataMap &m) {
      m = oneToFive();
      m.erase(m.upperBound(3), m.end());
    }) << QList<double>{1, 2, 3} << QList<double>{10, 20, 30};
    QTest::newRow("cut inside") << Edit([](PlotDataMap &m) {
      m = oneToFive();
      m.erase(m.upperBound(1), m.upperBound(3));
    }) << QList<double>{1, 4, 5} << QList<double>{10, 40, 50};
    QTest::newRow("erase one by one from the front") << Edit([](PlotDataMap &m) {
      m = oneToFive();
      for (auto it = m.begin(); it != m.end() && it.key() < 4;)
        it = m.erase(it);
    }) << QList<double>{4, 5} << QList<double>{40, 50};
    QTest::newRow("erase the last") << Edit([](PlotDataMap &m) {
      m = oneToFive();
      m.erase(std::prev(m.cend()));
    }) << QList<double>{1, 2, 3, 4} << QList<double>{10, 20, 30, 40};
    QTest::newRow("remove by key") << Edit([](PlotDataMap &m) {
      m = oneToFive();
      QCOMPARE(m.remove(3), 1);
      QCOMPARE(m.remove(2.5), 0);
    }) << QList<double>{1, 2, 4, 5} << QList<double>{10, 20, 40, 50};
    QTest::newRow("merge, incoming wins") << Edit([](PlotDataMap &m) {
      m.insert(2, PlotData(2, 20));
      m.insert(3, PlotData(3, 30));
      PlotDataMap in;
      in.insert(1, PlotData(1, 1));
      in.insert(2, PlotData(2, 2));
      m.insert(in);
    }) << QList<double>{1, 2, 3} << QList<double>{1, 2, 30};
    QTest::newRow("merge past the end") << Edit([](PlotDataMap &m) {
      m.insert(1, PlotData(1, 10));
      PlotDataMap in;
      in.insert(2, PlotData(2, 20));
      m.insert(in);
    }) << QList<double>{1, 2} << QList<double>{10, 20};
    QTest::newRow("merge into empty") << Edit([](PlotDataMap &m) { m.insert(oneToFive()); })
                                      << QList<double>{1, 2, 3, 4, 5} << QList<double>{10, 20, 30, 40, 50};
    QTest::newRow("clear") << Edit([](PlotDataMap &m) {
      m = oneToFive();
      m.clear();
    }) << QList<double>{} << QList<double>{};
    QTest::newRow("refill after emptying the front") << Edit([](PlotDataMap &m) {
      m = oneToFive();
      m.erase(m.begin(), m.end());
      m.insert(7, PlotData(7, 70));
      m.insert(6, PlotData(6, 60));
    }) << QList<double>{6, 7} << QList<double>{60, 70};
  }
  void contract()
  {
    QFETCH(Edit, edit);
    QFETCH(QList<double>, keys);
    QFETCH(QList<double>, values);
    PlotDataMap map;
    edit(map);
    QCOMPARE(keysOf(map), keys);
    QCOMPARE(valuesOf(map), values);
    QCOMPARE(map.size(), keys.size());
    QCOMPARE(map.isEmpty(), keys.isEmpty());
    QVERIFY(wellFormed(map));
    if (!keys.isEmpty()) {
      QCOMPARE(map.firstKey(), keys.first());
      QCOMPARE(map.lastKey(), keys.last());
      QCOMPARE(map.first().value, values.first());
      QCOMPARE(map.last().value, values.last());
    }
    for (int i = 0; i < keys.size(); ++i) {
      QVERIFY(map.contains(keys.at(i)));
      QCOMPARE(map.constFind(keys.at(i)).value().value, values.at(i));
      QCOMPARE(map.lowerBound(keys.at(i)).key(), keys.at(i));
    }
    QVERIFY(!map.contains(100));
    QVERIFY(map.constFind(100) == map.cend());
  }

  // Looked up between, on and beyond the keys 1..5.
  void bounds_data()
  {
    QTest::addColumn<double>("key");
    QTest::addColumn<int>("lower"); // index of lowerBound, 5 for the end
    QTest::addColumn<int>("upper");
    QTest::newRow("below all") << 0.0 << 0 << 0;
    QTest::newRow("on the first") << 1.0 << 0 << 1;
    QTest::newRow("between") << 2.5 << 2 << 2;
    QTest::newRow("on the last") << 5.0 << 4 << 5;
    QTest::newRow("above all") << 9.0 << 5 << 5;
  }
  void bounds()
  {
    QFETCH(double, key);
    QFETCH(int, lower);
    QFETCH(int, upper);
    const PlotDataMap map = oneToFive();
    QCOMPARE(int(map.lowerBound(key) - map.cbegin()), lower);
    QCOMPARE(int(map.upperBound(key) - map.cbegin()), upper);
  }

  void sharingAndDetach()
  {
    PlotDataMap a = oneToFive();
    const PlotDataMap b = a;
    QVERIFY(a.isSharedWith(b));
    // Reading, even through the non-const map's const calls, shares on.
    QCOMPARE(std::as_const(a).lowerBound(3).key(), 3.0);
    QCOMPARE(keysOf(a), keysOf(b));
    QVERIFY(a.isSharedWith(b));

    a.insert(6, PlotData(6, 60));
    QVERIFY(!a.isSharedWith(b));
    QCOMPARE(keysOf(b), (QList<double>{1, 2, 3, 4, 5}));
    QCOMPARE(keysOf(a), (QList<double>{1, 2, 3, 4, 5, 6}));

    // A write through an iterator of the copy never reaches the original.
    PlotDataMap c = b;
    c.begin()->value = -1;
    QCOMPARE(b.first().value, 10.0);
    QCOMPARE(c.first().value, -1.0);

    // Each range removal detaches before it removes.
    PlotDataMap d = b;
    d.erase(d.begin(), d.lowerBound(4));
    QCOMPARE(keysOf(d), (QList<double>{4, 5}));
    QCOMPARE(keysOf(b), (QList<double>{1, 2, 3, 4, 5}));
    PlotDataMap e = b;
    QCOMPARE(e.remove(1), 1);
    QCOMPARE(b.size(), 5);

    // A shared map lets go on clear; the other keeps its points.
    PlotDataMap f = b;
    f.clear();
    QVERIFY(f.isEmpty());
    QCOMPARE(b.size(), 5);
    QVERIFY(b == oneToFive());
    QVERIFY(f != b);

    // The copy released on another thread would still count down safely:
    // the count is the list's atomic one.
    PlotDataMap g = b;
    g = PlotDataMap();
    QVERIFY(g.isEmpty());
    QCOMPARE(b.size(), 5);
  }

  // The live window's trim takes points from the front without moving the
  // rest: the remaining points stay where they were.
  void frontTrimMovesNothing()
  {
    PlotDataMap map;
    for (int i = 0; i < 10000; ++i)
      map.insert(i, PlotData(i, i));
    const PlotData *kept = &*(map.cbegin() + 4000);
    map.erase(map.begin(), map.lowerBound(4000));
    QCOMPARE(&*map.cbegin(), kept);
    for (auto it = map.begin(); it != map.end() && it.key() < 4100;)
      it = map.erase(it);
    QCOMPARE(&*map.cbegin(), kept + 100);
    QCOMPARE(map.firstKey(), 4100.0);
    QCOMPARE(map.size(), 5900);
  }

  // Filled as a capture fills the chart: three maps, blocks of nine samples
  // per channel in turn, the oldest points trimmed every tick. Iteration,
  // bounds and lookups stay right all the while.
  void liveFillAndTrim()
  {
    PlotDataMap maps[3];
    std::map<double, double> model[3];
    const double period = 0.0001;
    qint64 sample = 0;
    for (int tick = 0; tick < 400; ++tick) {
      for (int block = 0; block < 11; ++block, sample += 9) {
        for (int c = 0; c < 3; ++c) {
          for (int k = 0; k < 9; ++k) {
            const double t = (sample + k) * period;
            maps[c].insert(t, PlotData(t, c * 1000 + sample + k));
            model[c][t] = c * 1000 + sample + k;
          }
        }
      }
      const double threshold = sample * period - 0.05;
      for (int c = 0; c < 3; ++c) {
        for (auto it = maps[c].begin(); it != maps[c].end() && it.key() < threshold;)
          it = maps[c].erase(it);
        model[c].erase(model[c].begin(), model[c].lower_bound(threshold));
      }
    }
    for (int c = 0; c < 3; ++c) {
      QVERIFY(wellFormed(maps[c]));
      QCOMPARE(maps[c].size(), qsizetype(model[c].size()));
      auto expected = model[c].cbegin();
      for (auto it = maps[c].cbegin(); it != maps[c].cend(); ++it, ++expected) {
        QCOMPARE(it.key(), expected->first);
        QCOMPARE(it->value, expected->second);
      }
      const double probe = maps[c].firstKey() + 0.01234;
      QCOMPARE(maps[c].lowerBound(probe).key(), model[c].lower_bound(probe)->first);
      QCOMPARE(maps[c].upperBound(probe).key(), model[c].upper_bound(probe)->first);
    }
  }
};

TOVRI_TEST(PlotDataMapTest)
#include "tst_datamap.moc"
