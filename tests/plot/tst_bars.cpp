#include "graphfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QTest>
#include <cmath>

namespace {
const double NaN = std::nan("");

struct BarsAccess : PlotBars
{
  static void drawOn(PlotBars *bars, PlotPainter *painter) { (bars->*(&BarsAccess::draw))(painter); }
  static double stackedBase(const PlotBars *bars, double key, bool positive)
  {
    return (bars->*(&BarsAccess::getStackedBaseValue))(key, positive);
  }
  static QPolygonF polygon(const PlotBars *bars, double key, double value)
  {
    return (bars->*(&BarsAccess::getBarPolygon))(key, value);
  }
};

QList<QPolygonF> drawnBars(PlotBars *bars)
{
  PaintRecorder recorder;
  PlotPainter painter(&recorder);
  BarsAccess::drawOn(bars, &painter);
  painter.end();
  QList<QPolygonF> result;
  for (const PaintOp &op : recorder.opsOfKind(PaintOp::Polygon))
    result << QPolygonF(op.points);
  return result;
}
} // namespace

// GraphPlot's mapping: x pixel = key + 50, y pixel = 259 - value; tolerance 8.
class PlotBarsTest : public QObject
{
  Q_OBJECT
private slots:
  void stackedBase()
  {
    GraphPlot p;
    PlotBars bottom(p.plot.xAxis, p.plot.yAxis);
    PlotBars middle(p.plot.xAxis, p.plot.yAxis);
    PlotBars top(p.plot.xAxis, p.plot.yAxis);
    bottom.setBaseValue(1);
    bottom.setData({1.0, 1.0000005, 2, 3}, {2, 3, 5, -4});
    middle.setBaseValue(100); // only the bottom's base counts
    middle.setData({1, 2, 3}, {10, -7, NaN});
    middle.moveAbove(&bottom);
    top.moveAbove(&middle);
    QCOMPARE(bottom.barAbove(), &middle);
    QCOMPARE(top.barBelow(), &middle);

    // Within a relative 1e-6 of the key the largest bar below counts, not the sum.
    QCOMPARE(BarsAccess::stackedBase(&middle, 1.0, true), 3.0 + 1);
    QCOMPARE(BarsAccess::stackedBase(&top, 1.0, true), 10.0 + 3 + 1);
    // Negative bars rest on the negative side only.
    QCOMPARE(BarsAccess::stackedBase(&middle, 1.0, false), 1.0);
    QCOMPARE(BarsAccess::stackedBase(&top, 2.0, false), -7.0 + 1);
    QCOMPARE(BarsAccess::stackedBase(&top, 3.0, false), -4.0 + 1); // NaN below is no bar
    QCOMPARE(BarsAccess::stackedBase(&bottom, 3.0, true), 1.0);

    // The value range holds the tops and the base line, NaN left out.
    middle.setBaseValue(0);
    bool found = false;
    const PlotRange range = middle.getValueRange(found);
    QVERIFY(found);
    QCOMPARE(range.lower, -7.0 + 1);
    QCOMPARE(range.upper, 10.0 + 3 + 1);
    const PlotRange empty = top.getValueRange(found);
    QVERIFY(found);
    QCOMPARE(empty.lower, 0.0);
    QCOMPARE(empty.upper, 0.0);
  }

  void restacking()
  {
    GraphPlot p;
    auto *a = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    auto *b = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    auto *c = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    PlotBars other(p.plot.yAxis, p.plot.xAxis);
    b->moveAbove(a);
    c->moveAbove(b);
    b->moveBelow(b); // itself: nothing
    QCOMPARE(a->barAbove(), b);
    {
      MessageLog log;
      b->moveBelow(&other);
      QVERIFY(log.contains("doesn't have same key and value axis"));
    }
    QCOMPARE(c->barBelow(), b);

    // c to the bottom: a - b below c becomes c - a - b.
    c->moveBelow(a);
    QCOMPARE(c->barAbove(), a);
    QCOMPARE(c->barBelow(), nullptr);
    QCOMPARE(a->barBelow(), c);
    QCOMPARE(b->barAbove(), nullptr);

    // Out of the stack: its neighbours join.
    a->moveAbove(nullptr);
    QCOMPARE(c->barAbove(), b);
    QCOMPARE(b->barBelow(), c);
    QCOMPARE(a->barBelow(), nullptr);
    QCOMPARE(a->barAbove(), nullptr);

    // Deleting the middle joins its neighbours.
    a->moveAbove(c); // c - a - b
    delete a;
    QCOMPARE(c->barAbove(), b);
    QCOMPARE(b->barBelow(), c);
    delete c;
    QCOMPARE(b->barBelow(), nullptr);
    delete b;
  }

  void groupOffsets_data()
  {
    QTest::addColumn<int>("members");
    QTest::addColumn<int>("stackedOnFirst"); // members stacked on the first, taking its slot
    QTest::addColumn<QList<double>>("offsets");
    QTest::newRow("three") << 3 << 0 << QList<double>{-14, 0, 14};
    QTest::newRow("two") << 2 << 0 << QList<double>{-7, 7};
    QTest::newRow("one") << 1 << 0 << QList<double>{0};
    QTest::newRow("three, one stacked") << 3 << 1 << QList<double>{-7, 7, -7};
  }
  void groupOffsets()
  {
    QFETCH(int, members);
    QFETCH(int, stackedOnFirst);
    QFETCH(QList<double>, offsets);
    GraphPlot p;
    auto *group = new PlotBarsGroup(&p.plot);
    QList<PlotBars *> bars;
    for (int i = 0; i < members; ++i) {
      auto *b = new PlotBars(p.plot.xAxis, p.plot.yAxis);
      p.plot.addPlottable(b);
      b->setWidthType(PlotBars::wtAbsolute);
      b->setWidth(10);
      b->setAntialiasedFill(false);
      b->addData(100, 50);
      group->append(b);
      bars << b;
    }
    for (int i = 0; i < stackedOnFirst; ++i)
      bars.at(members - 1 - i)->moveAbove(bars.at(0));
    for (int i = 0; i < members; ++i)
      QCOMPARE(group->keyPixelOffset(bars.at(i), 100), offsets.at(i));
    // The bars are drawn there.
    const QPolygonF polygon = drawnBars(bars.last()).value(0);
    QCOMPARE(polygon.boundingRect().center().x(), 150 + offsets.last());
  }

  void groupMembership()
  {
    GraphPlot p;
    auto *group = new PlotBarsGroup(&p.plot);
    auto *other = new PlotBarsGroup(&p.plot);
    auto *a = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    auto *b = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    auto *c = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    for (PlotBars *bars : {a, b, c})
      p.plot.addPlottable(bars);
    group->append(a);
    group->insert(99, b);
    group->insert(-3, c);
    QCOMPARE(group->bars(), QList<PlotBars *>({c, a, b}));
    {
      MessageLog log;
      group->insert(2, c); // a member moves without a message
      QVERIFY(log.lines.isEmpty());
      group->append(a);
      group->append(nullptr);
      other->remove(a);
      QCOMPARE(group->bars(5), nullptr);
      QVERIFY(log.contains("already in this bars group"));
      QVERIFY(log.contains("bars is 0"));
      QVERIFY(log.contains("not in this bars group"));
      QVERIFY(log.contains("index out of bounds:"));
    }
    QCOMPARE(group->bars(), QList<PlotBars *>({a, b, c}));
    other->append(b); // moves over
    QCOMPARE(b->barsGroup(), other);
    QCOMPARE(group->bars(), QList<PlotBars *>({a, c}));

    // A deleted member leaves its group; a deleted group releases its members.
    p.plot.removePlottable(c);
    QCOMPARE(group->bars(), QList<PlotBars *>({a}));
    delete group;
    QCOMPARE(a->barsGroup(), nullptr);
    p.plot.replot();
    // The plot deletes the remaining group and members in whatever order.
  }

  void aMemberWithoutKeyAxisTakesNoRoom()
  {
    GraphPlot p;
    PlotAxisRect *second = new PlotAxisRect(&p.plot, true);
    p.plot.plotLayout()->addElement(0, 1, second);
    auto *group = new PlotBarsGroup(&p.plot);
    auto *a = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    auto *b = new PlotBars(second->axis(PlotAxis::atBottom), second->axis(PlotAxis::atLeft));
    auto *c = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    for (PlotBars *bars : {a, b, c}) {
      bars->setWidthType(PlotBars::wtAbsolute);
      bars->setWidth(10);
      group->append(bars);
    }
    QCOMPARE(group->keyPixelOffset(a, 0), -14.0);
    p.plot.plotLayout()->remove(second); // deletes its axes
    QVERIFY(!b->keyAxis());
    QCOMPARE(group->keyPixelOffset(a, 0), -5.0);
    QCOMPARE(group->keyPixelOffset(c, 0), 5.0);
    delete b;
  }

  void reversedAndVerticalKeyAxes_data()
  {
    QTest::addColumn<int>("widthType");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<bool>("verticalKey");
    QTest::addColumn<double>("halfWidthKeys"); // half a bar in key coordinates
    for (bool reversed : {false, true}) {
      for (bool vertical : {false, true}) {
        const QString name = QStringLiteral("%1%2").arg(reversed ? "reversed" : "normal",
                                                         vertical ? ", vertical" : "");
        QTest::addRow("plot coords, %s", qPrintable(name)) << int(PlotBars::wtPlotCoords) << reversed << vertical
                                                           << 5.0;
        QTest::addRow("absolute, %s", qPrintable(name)) << int(PlotBars::wtAbsolute) << reversed << vertical << 5.0;
      }
    }
  }
  void reversedAndVerticalKeyAxes()
  {
    QFETCH(int, widthType);
    QFETCH(bool, reversed);
    QFETCH(bool, verticalKey);
    QFETCH(double, halfWidthKeys);
    GraphPlot p;
    // One unit per pixel on both axes (the y axis: 240 units on 240 pixels).
    PlotAxis *keyAxis = verticalKey ? p.plot.yAxis : p.plot.xAxis;
    PlotAxis *valueAxis = verticalKey ? p.plot.xAxis : p.plot.yAxis;
    keyAxis->setRangeReversed(reversed);
    PlotBars bars(keyAxis, valueAxis);
    bars.setWidthType(PlotBars::WidthType(widthType));
    bars.setWidth(10); // ten keys or ten pixels: the same here
    bars.setData({100, 150}, {30, 40});
    bool found = false;
    const PlotRange range = bars.getKeyRange(found);
    QVERIFY(found);
    QVERIFY(qAbs(range.lower - (100 - halfWidthKeys)) < 1e-9);
    QVERIFY(qAbs(range.upper - (150 + halfWidthKeys)) < 1e-9);
    const QRectF bar = BarsAccess::polygon(&bars, 100, 30).boundingRect();
    const double along = verticalKey ? bar.height() : bar.width();
    QVERIFY(qAbs(along - 10) < 1e-9);
    // The bar is centred on its key and drawn there.
    const QPointF keyPoint = bars.coordsToPixels(100, 15);
    QVERIFY(qAbs(bar.center().x() - keyPoint.x()) < 1e-9 && qAbs(bar.center().y() - keyPoint.y()) < 1e-9);
    QCOMPARE(drawnBars(&bars).size(), 2);
    QCOMPARE(bars.selectTest(keyPoint, false), 8 * 0.99);
  }

  void wideBarsOutsideTheRange_data()
  {
    QTest::addColumn<bool>("reversed");
    QTest::newRow("normal") << false;
    QTest::newRow("reversed") << true;
  }
  void wideBarsOutsideTheRange()
  {
    QFETCH(bool, reversed);
    GraphPlot p;
    p.plot.xAxis->setRangeReversed(reversed);
    PlotBars bars(p.plot.xAxis, p.plot.yAxis);
    bars.setWidth(60);
    // -100 and 420 are out of reach; -20 and 340 reach 10 keys into view.
    bars.setData({-100, -20, 100, 340, 420}, {50, 50, 50, 50, 50});
    const QList<QPolygonF> drawn = drawnBars(&bars);
    QCOMPARE(drawn.size(), 3);
    // A point inside the data area on the part of the bar at -20 that shows.
    const QPointF onBar = bars.coordsToPixels(5, 20);
    QCOMPARE(bars.selectTest(onBar, false), 8 * 0.99);
    const QPointF between = bars.coordsToPixels(50, 20);
    QCOMPARE(bars.selectTest(between, false), -1.0);
    // A bar with a NaN length is neither drawn nor hit.
    bars.addData(200, NaN);
    QCOMPARE(drawnBars(&bars).size(), 3);
    QCOMPARE(bars.selectTest(bars.coordsToPixels(200, 0), false), -1.0);
  }

  void dataOperations()
  {
    GraphPlot p;
    PlotBars *bars = new PlotBars(p.plot.xAxis, p.plot.yAxis);
    p.plot.addPlottable(bars);
    bool found = true;
    bars->getKeyRange(found);
    QVERIFY(!found);
    bars->setData({1, 2, 3}, {1, 2, 3});
    bars->addData(NaN, 9);
    bars->addData({NaN, 4, 5}, {9, 4, 5});
    QCOMPARE(bars->data()->keys(), QList<double>({1, 2, 3, 4, 5}));
    QCOMPARE(bars->data()->value(1).value, 1.0);
    bars->removeData(5, 5);
    QCOMPARE(bars->data()->size(), 5);
    bars->removeData(4, 5);
    QCOMPARE(bars->data()->keys(), QList<double>({1, 2, 3, 4}));
    bars->removeDataBefore(2);
    bars->removeDataAfter(3);
    QCOMPARE(bars->data()->keys(), QList<double>({2, 3}));
    {
      MessageLog log;
      bars->setData(nullptr, false);
      bars->setData(bars->data(), false);
      QVERIFY(log.contains("null data pointer"));
      QVERIFY(log.contains("already in (and owned by) this plottable"));
    }
    QCOMPARE(bars->data()->size(), 2);
    p.plot.replot();
  }
};

TOVRI_TEST(PlotBarsTest)
#include "tst_bars.moc"
