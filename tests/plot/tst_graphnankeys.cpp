#include "plot.h"
#include "testmain.h"

#include <QTest>

#include <functional>
#include <limits>

namespace {
const double qnan = std::numeric_limits<double>::quiet_NaN();
using Fill = std::function<void(PlotGraph *)>;

// A map cannot hold a NaN key beside others (it lands on one of their
// entries), but it can hold one alone.
PlotDataMap nanKeyAlone()
{
  PlotDataMap map;
  map.insert(qnan, PlotData(qnan, 20));
  return map;
}
} // namespace
Q_DECLARE_METATYPE(Fill)

// A NaN key orders against no other key: every data setter skips such points
// and keeps the rest in key order.
class PlotGraphNanKeyTest : public QObject
{
  Q_OBJECT
private slots:
  void settersSkipNanKeys_data()
  {
    QTest::addColumn<Fill>("fill");
    QTest::addColumn<QList<double>>("expected"); // keys after the fill; the graph held 2
    const QList<double> keys = {1, qnan, 3};
    const QList<double> values = {10, 20, 30};
    const QList<double> errors = {1, 1, 1};
    QTest::newRow("setData lists") << Fill([=](PlotGraph *g) { g->setData(keys, values); }) << QList<double>({1, 3});
    QTest::newRow("setData lists and count") << Fill([=](PlotGraph *g) { g->setData(keys, values, 3); }) << QList<double>({1, 3});
    QTest::newRow("setDataValueError") << Fill([=](PlotGraph *g) { g->setDataValueError(keys, values, errors); }) << QList<double>({1, 3});
    QTest::newRow("setDataKeyError") << Fill([=](PlotGraph *g) { g->setDataKeyError(keys, values, errors, errors); }) << QList<double>({1, 3});
    QTest::newRow("setDataBothError")
        << Fill([=](PlotGraph *g) { g->setDataBothError(keys, values, errors, errors); }) << QList<double>({1, 3});
    QTest::newRow("addData lists") << Fill([=](PlotGraph *g) { g->addData(keys, values); }) << QList<double>({1, 2, 3});
    QTest::newRow("addData points") << Fill([=](PlotGraph *g) {
      for (int i = 0; i < 3; ++i)
        g->addData(keys.at(i), values.at(i));
    }) << QList<double>({1, 2, 3});
    QTest::newRow("addData records") << Fill([=](PlotGraph *g) {
      for (int i = 0; i < 3; ++i)
        g->addData(PlotData(keys.at(i), values.at(i)));
    }) << QList<double>({1, 2, 3});
    QTest::newRow("addData map") << Fill([](PlotGraph *g) { g->addData(nanKeyAlone()); }) << QList<double>({2});
    QTest::newRow("setData map copy") << Fill([](PlotGraph *g) {
      PlotDataMap map = nanKeyAlone();
      g->setData(&map, true);
    }) << QList<double>({});
  }
  void settersSkipNanKeys()
  {
    QFETCH(Fill, fill);
    QFETCH(QList<double>, expected);
    PlotWidget plot;
    PlotGraph *graph = plot.addGraph();
    graph->addData(2, 15); // the map already holds a point: a NaN key must not reach it
    fill(graph);
    const PlotDataMap &data = *graph->data();
    QCOMPARE(data.keys(), expected);
    for (auto it = data.cbegin(); it != data.cend(); ++it)
      QCOMPARE(it.value().value, it.key() == 2 ? 15.0 : it.key() * 10);
  }
};

TOVRI_TEST(PlotGraphNanKeyTest)
#include "tst_graphnankeys.moc"
