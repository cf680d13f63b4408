#include "mapcheck.h"
#include "plot.h"
#include "testmain.h"

#include <QTest>

#include <functional>
#include <map>

namespace {
// What the map should hold: key to value, as a tree map keeps it.
using Model = std::map<double, double>;
using Edit = std::function<void(PlotDataMap &)>;
using ModelEdit = std::function<void(Model &)>;

PlotDataMap filled(int n)
{
  PlotDataMap map;
  for (int k = 0; k < n; ++k)
    map.insert(k, PlotData(k, 10 * k));
  return map;
}

Model modelOf(int n)
{
  Model model;
  for (int k = 0; k < n; ++k)
    model[k] = 10 * k;
  return model;
}

void put(Model &model, double key, double value)
{
  model[key] = value;
}

// The returned position must be the point stored, inside the map's own points.
void checkPlaced(const PlotDataMap &map, PlotDataMap::iterator it, double key, double value)
{
  const PlotDataMap::const_iterator at = it;
  QVERIFY(at >= map.cbegin() && at < map.cend());
  QCOMPARE(at.key(), key);
  QCOMPARE(at->value, value);
}
} // namespace
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(ModelEdit)

// Every changing operation on a point map whose points a copy still shares:
// the map ends as a tree map would, and the copy keeps what it had.
class PlotDataMapSharingTest : public QObject
{
  Q_OBJECT
private slots:
  void writeWhileShared_data()
  {
    QTest::addColumn<int>("size");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<ModelEdit>("model");

    struct Row
    {
      const char *name;
      Edit edit;
      ModelEdit model;
    };
    const QList<Row> rows{
      {"insert between keys",
       [](PlotDataMap &m) { checkPlaced(m, m.insert(2.5, PlotData(2.5, -1)), 2.5, -1); },
       [](Model &m) { put(m, 2.5, -1); }},
      {"insert at a key held",
       [](PlotDataMap &m) { checkPlaced(m, m.insert(2, PlotData(2, -2)), 2, -2); },
       [](Model &m) { put(m, 2, -2); }},
      {"insert at the last key",
       [](PlotDataMap &m) {
         const double last = m.lastKey();
         checkPlaced(m, m.insert(last, PlotData(last, -3)), last, -3);
       },
       [](Model &m) { put(m, m.rbegin()->first, -3); }},
      {"insert before the first",
       [](PlotDataMap &m) { checkPlaced(m, m.insert(-1, PlotData(-1, -4)), -1, -4); },
       [](Model &m) { put(m, -1, -4); }},
      {"insert past the last",
       [](PlotDataMap &m) { checkPlaced(m, m.insert(1000, PlotData(1000, -5)), 1000, -5); },
       [](Model &m) { put(m, 1000, -5); }},
      {"insert with a hint",
       [](PlotDataMap &m) { checkPlaced(m, m.insert(m.cbegin() + 1, 3.5, PlotData(3.5, -6)), 3.5, -6); },
       [](Model &m) { put(m, 3.5, -6); }},
      {"insert with the end as hint",
       [](PlotDataMap &m) { checkPlaced(m, m.insert(m.cend(), 0.5, PlotData(0.5, -7)), 0.5, -7); },
       [](Model &m) { put(m, 0.5, -7); }},
      {"insert points in any order",
       [](PlotDataMap &m) {
         m.insertPoints({PlotData(3.25, -8), PlotData(-2, -9), PlotData(1, -10), PlotData(3.25, -11)});
       },
       [](Model &m) {
         put(m, 3.25, -11);
         put(m, -2, -9);
         put(m, 1, -10);
       }},
      {"insert points past the last",
       [](PlotDataMap &m) { m.insertPoints({PlotData(2000, -12), PlotData(2001, -13)}); },
       [](Model &m) {
         put(m, 2000, -12);
         put(m, 2001, -13);
       }},
      {"merge a map over the keys",
       [](PlotDataMap &m) { m.insert(PlotDataMap{{1.5, PlotData(1.5, -14)}, {3, PlotData(3, -15)}}); },
       [](Model &m) {
         put(m, 1.5, -14);
         put(m, 3, -15);
       }},
      {"merge a map before the first",
       [](PlotDataMap &m) { m.insert(PlotDataMap{{-3, PlotData(-3, -16)}, {-2, PlotData(-2, -17)}}); },
       [](Model &m) {
         put(m, -3, -16);
         put(m, -2, -17);
       }},
      {"merge a map past the last", [](PlotDataMap &m) { m.insert(PlotDataMap{{3000, PlotData(3000, -18)}}); },
       [](Model &m) { put(m, 3000, -18); }},
      {"merge the map with itself", [](PlotDataMap &m) { m.insert(PlotDataMap(m)); }, [](Model &) {}},
      {"erase one found",
       [](PlotDataMap &m) {
         const auto next = m.erase(m.constFind(2));
         QCOMPARE(next.key(), 3.0);
       },
       [](Model &m) { m.erase(2); }},
      {"erase the front", [](PlotDataMap &m) { m.erase(m.begin(), m.lowerBound(3)); },
       [](Model &m) { m.erase(m.begin(), m.lower_bound(3)); }},
      {"erase the back", [](PlotDataMap &m) { m.erase(m.upperBound(3), m.end()); },
       [](Model &m) { m.erase(m.upper_bound(3), m.end()); }},
      {"erase inside by constant positions",
       [](PlotDataMap &m) { m.erase(m.cbegin() + 1, m.cbegin() + 3); },
       [](Model &m) { m.erase(std::next(m.begin()), std::next(m.begin(), 3)); }},
      {"remove a key",
       [](PlotDataMap &m) {
         QCOMPARE(m.remove(1), 1);
         QCOMPARE(m.remove(1.5), 0);
       },
       [](Model &m) { m.erase(1); }},
      {"take a key",
       [](PlotDataMap &m) {
         QCOMPARE(m.take(4).value, 40.0);
         QCOMPARE(m.take(4.5).value, 0.0);
       },
       [](Model &m) { m.erase(4); }},
      {"write through find", [](PlotDataMap &m) { m.find(3)->value = -19; }, [](Model &m) { put(m, 3, -19); }},
      {"write through the lower bound", [](PlotDataMap &m) { m.lowerBound(1.5)->value = -20; },
       [](Model &m) { put(m, 2, -20); }},
      {"write through the upper bound", [](PlotDataMap &m) { m.upperBound(2)->value = -21; },
       [](Model &m) { put(m, 3, -21); }},
      {"write through the beginning", [](PlotDataMap &m) { m.begin()->value = -22; },
       [](Model &m) { put(m, 0, -22); }},
      {"write through the end", [](PlotDataMap &m) { std::prev(m.end())->value = -23; },
       [](Model &m) { put(m, m.rbegin()->first, -23); }},
      {"write through first", [](PlotDataMap &m) { m.first().value = -24; }, [](Model &m) { put(m, 0, -24); }},
      {"write through last", [](PlotDataMap &m) { m.last().value = -25; },
       [](Model &m) { put(m, m.rbegin()->first, -25); }},
      {"clear", [](PlotDataMap &m) { m.clear(); }, [](Model &m) { m.clear(); }},
    };
    for (int size : {5, 300}) {
      for (const Row &row : rows)
        QTest::addRow("%s, %d points", row.name, size) << size << row.edit << row.model;
    }
  }

  void writeWhileShared()
  {
    QFETCH(int, size);
    QFETCH(Edit, edit);
    QFETCH(ModelEdit, model);
    PlotDataMap map = filled(size);
    const PlotDataMap copy = map;
    QVERIFY(map.isSharedWith(copy));
    Model expected = modelOf(size);

    edit(map);
    if (QTest::currentTestFailed())
      return;
    model(expected);

    QVERIFY(wellFormed(map));
    QCOMPARE(map.size(), qsizetype(expected.size()));
    QList<double> keys, values;
    for (const auto &[key, value] : expected) {
      keys << key;
      values << value;
    }
    QCOMPARE(keysOf(map), keys);
    QCOMPARE(valuesOf(map), values);
    // The copy never sees a write to the other.
    QVERIFY(copy == filled(size));
    QVERIFY(wellFormed(copy));
  }

  // The same through the graph that was given a copy, as the navigation
  // strip is: writes to either side leave the other whole.
  void graphCopySharesUntilWritten()
  {
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    PlotDataMap series = filled(6);
    graph->setData(&series, true);
    QVERIFY(graph->data()->isSharedWith(series));

    series.insert(2.5, PlotData(2.5, -1));
    series.insert(5, PlotData(5, -2));
    series.insert(PlotDataMap{{1.5, PlotData(1.5, -3)}});
    QCOMPARE(keysOf(series), (QList<double>{0, 1, 1.5, 2, 2.5, 3, 4, 5}));
    QCOMPARE(valuesOf(series), (QList<double>{0, 10, -3, 20, -1, 30, 40, -2}));
    QVERIFY(*graph->data() == filled(6));

    graph->setData(&series, true);
    graph->addData(0.5, -4);
    graph->addData(QList<double>{4.5, -1}, QList<double>{-5, -6});
    QCOMPARE(keysOf(*graph->data()), (QList<double>{-1, 0, 0.5, 1, 1.5, 2, 2.5, 3, 4, 4.5, 5}));
    QVERIFY(wellFormed(*graph->data()));
    QCOMPARE(keysOf(series), (QList<double>{0, 1, 1.5, 2, 2.5, 3, 4, 5}));
  }
};

TOVRI_TEST(PlotDataMapSharingTest)
#include "tst_datamapsharing.moc"
