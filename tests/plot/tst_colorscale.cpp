#include "graphfixture.h"
#include "plot.h"
#include "snapshot.h"
#include "testmain.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRubberBand>
#include <QTest>
#include <cmath>

namespace {
const double NaN = std::nan("");

// A shown 500 x 300 plot (the rubber band needs a visible parent) with a
// colour scale to the right of the main data area.
class ScalePlot
{
public:
  ScalePlot()
  {
    plot.resize(500, 300);
    plot.show();
    scale = new PlotColorScale(&plot);
    plot.plotLayout()->addElement(0, 1, scale);
    plot.xAxis->setRange(0, 100);
    plot.yAxis->setRange(0, 50);
    plot.setInteractions(Plot::iaRangeDrag | Plot::iaRangeZoom);
    plot.replot();
  }
  QRect bar() const { return scale->axis()->axisRect()->rect(); }
  QImage shown() { return plot.toPixmap().toImage(); }
  void send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
  {
    QMouseEvent event(type, pos, plot.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&plot, &event);
  }
  void drag(QPoint from, QPoint to)
  {
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  }

  PlotWidget plot;
  PlotColorScale *scale;
};

// The gpCold level of a pixel, -1 for a colour not in the gradient.
int levelOf(QRgb pixel)
{
  PlotColorGradient gradient(PlotColorGradient::gpCold);
  const int n = gradient.levelCount();
  for (int i = 0; i < n; ++i)
    if (gradient.color(i, PlotRange(0, n - 1)) == pixel)
      return i;
  return -1;
}

// Near the lowest or the highest end of the gradient: the bar is the
// gradient's levels stretched over its pixels.
bool atEnd(QRgb pixel, bool high)
{
  const int level = levelOf(pixel);
  return level >= 0 && (high ? level >= 345 : level <= 4);
}

// A linked map whose bounds are the given range.
PlotColorMap *linkedMap(PlotWidget &plot, PlotColorScale *scale, double low, double high)
{
  auto *map = new PlotColorMap(plot.xAxis, plot.yAxis);
  plot.addPlottable(map);
  map->data()->setSize(2, 1);
  map->data()->setCell(0, 0, low);
  map->data()->setCell(1, 0, high);
  map->data()->recalculateDataBounds();
  map->setColorScale(scale);
  return map;
}
} // namespace

class PlotColorScaleTest : public QObject
{
  Q_OBJECT
private slots:
  void newScaleIsVerticalBar()
  {
    ScalePlot p;
    PlotColorScale *scale = p.scale;
    QCOMPARE(scale->type(), PlotAxis::atRight);
    QCOMPARE(scale->dataRange(), PlotRange(0, 6));
    QCOMPARE(scale->axis()->range(), PlotRange(0, 6));
    QVERIFY(scale->rangeDrag());
    QVERIFY(scale->rangeZoom());
    const QRect bar = p.bar();
    QCOMPARE(bar.width(), 20);
    const QImage img = p.shown();
    saveSnapshot(QPixmap::fromImage(img), "colorscale-vertical");
    // Lowest colour at the bottom, highest at the top (the bar is painted one
    // pixel higher than its rectangle).
    QVERIFY(atEnd(img.pixel(bar.center().x(), bar.bottom() - 2), false));
    QVERIFY(atEnd(img.pixel(bar.center().x(), bar.top()), true));
    QVERIFY(atEnd(img.pixel(bar.left() + 1, bar.bottom() - 2), false));
    for (PlotAxis::AxisType side : {PlotAxis::atLeft, PlotAxis::atTop, PlotAxis::atBottom})
      QVERIFY(!scale->axis()->axisRect()->axis(side)->ticks());
    QVERIFY(scale->axis()->ticks());
  }

  void typeChangeTurnsBar()
  {
    ScalePlot p;
    PlotColorScale *scale = p.scale;
    scale->setLabel("mA");
    scale->axis()->setRange(2, 8);
    PlotAxis *right = scale->axis();
    p.shown(); // builds the vertical gradient image first
    scale->setType(PlotAxis::atBottom);
    QCOMPARE(scale->axis(), right->axisRect()->axis(PlotAxis::atBottom));
    QCOMPARE(scale->axis()->range(), PlotRange(2, 8));
    QCOMPARE(scale->label(), QString("mA"));
    QCOMPARE(right->label(), QString());
    QVERIFY(!right->ticks());
    QVERIFY(scale->axis()->tickLabels());
    QVERIFY(scale->rangeDrag());
    scale->setRangeDrag(false);
    QVERIFY(scale->rangeDrag()); // a horizontal bar keeps its horizontal drag

    // Moved to the bottom row, the bar is horizontal: lowest colour left.
    p.plot.plotLayout()->take(scale);
    p.plot.plotLayout()->simplify();
    p.plot.plotLayout()->addElement(1, 0, scale);
    const QImage img = p.shown();
    saveSnapshot(QPixmap::fromImage(img), "colorscale-horizontal");
    const QRect bar = p.bar();
    QCOMPARE(bar.height(), 20);
    QVERIFY(bar.width() > 100);
    const int y = bar.center().y();
    QVERIFY(atEnd(img.pixel(bar.left() + 1, y), false));
    QVERIFY(atEnd(img.pixel(bar.right() - 3, y), true)); // the right axis line is at the very edge
    QCOMPARE(img.pixel(bar.left() + 1, y - 5), img.pixel(bar.left() + 1, y + 5));
  }

  void invalidTypeRefused_data()
  {
    QTest::addColumn<int>("type");
    QTest::newRow("none") << 0;
    QTest::newRow("two sides") << int(PlotAxis::atLeft | PlotAxis::atRight);
    QTest::newRow("beyond the sides") << 16;
  }
  void invalidTypeRefused()
  {
    QFETCH(int, type);
    ScalePlot p;
    PlotAxis *before = p.scale->axis();
    MessageLog log;
    p.scale->setType(PlotAxis::AxisType(type));
    QVERIFY(log.contains("not one side of the bar"));
    QCOMPARE(p.scale->type(), PlotAxis::atRight);
    QCOMPARE(p.scale->axis(), before);
    p.plot.replot();
  }

  void dragMovesColourAxisOnly()
  {
    ScalePlot p;
    auto *map = linkedMap(p.plot, p.scale, 0, 6);
    const PlotRange x = p.plot.xAxis->range(), y = p.plot.yAxis->range();
    const QRect bar = p.bar();
    const double perPixel = 6.0 / bar.height();
    p.drag(bar.center(), bar.center() + QPoint(0, 30));
    // Dragging down shows higher values: the range moves up by 30 pixels.
    QVERIFY(std::abs(p.scale->axis()->range().lower - 30 * perPixel) < 0.05);
    QVERIFY(std::abs(p.scale->axis()->range().size() - 6) < 1e-9);
    QCOMPARE(p.scale->dataRange(), p.scale->axis()->range());
    QCOMPARE(map->dataRange(), p.scale->axis()->range());
    QCOMPARE(p.plot.xAxis->range(), x);
    QCOMPARE(p.plot.yAxis->range(), y);
    const QRubberBand *band = p.plot.findChild<QRubberBand *>();
    QVERIFY(!band || !band->isVisible());

    // The data area's own axis drag is unchanged.
    const QPoint onLeft = p.plot.yAxis->plotableRect().center();
    p.drag(onLeft, onLeft + QPoint(0, 24));
    QVERIFY(p.plot.yAxis->range().lower > y.lower);
    QCOMPARE(p.plot.xAxis->range(), x);
  }

  void rescale_data()
  {
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<PlotRange>("current");
    QTest::addColumn<QList<PlotRange>>("maps"); // bounds; a NaN upper marks a hidden map
    QTest::addColumn<PlotRange>("expected");
    QTest::newRow("linear, widened by each map")
        << false << PlotRange(0, 6) << QList<PlotRange>{{-1, 2}, {0, 5}} << PlotRange(-1, 5);
    QTest::newRow("hidden map ignored") << false << PlotRange(0, 6) << QList<PlotRange>{{1, 2}, {-9, NaN}}
                                        << PlotRange(1, 2);
    QTest::newRow("log, map crossing 0") << true << PlotRange(1, 100) << QList<PlotRange>{{-5, 10}}
                                         << PlotRange(0.01, 10);
    QTest::newRow("log, negative map skipped") << true << PlotRange(1, 100)
                                               << QList<PlotRange>{{-5, -1}, {2, 3}} << PlotRange(2, 3);
    QTest::newRow("log, only negative maps") << true << PlotRange(1, 100) << QList<PlotRange>{{-5, -1}}
                                             << PlotRange(1, 100);
    QTest::newRow("flat maps, linear") << false << PlotRange(0, 6) << QList<PlotRange>{{4, 4}, {4, 4}}
                                       << PlotRange(1, 7);
    QTest::newRow("flat maps, log") << true << PlotRange(1, 100) << QList<PlotRange>{{5, 5}}
                                    << PlotRange(0.5, 50);
    // A current range crossing 0 gives no positive ratio to take the root of:
    // the linear rebuild stands in.
    QTest::newRow("flat maps, log, range crossing 0")
        << true << PlotRange(-2, 6) << QList<PlotRange>{{5, 5}} << PlotRange(1, 9);
  }
  void rescale()
  {
    QFETCH(bool, logarithmic);
    QFETCH(PlotRange, current);
    QFETCH(QList<PlotRange>, maps);
    QFETCH(PlotRange, expected);
    ScalePlot p;
    if (logarithmic)
      p.scale->setDataScaleType(PlotAxis::stLogarithmic);
    p.scale->setDataRange(current);
    for (const PlotRange &bounds : maps) {
      const bool hidden = std::isnan(bounds.upper);
      PlotColorMap *map = linkedMap(p.plot, p.scale, bounds.lower, hidden ? 99 : bounds.upper);
      map->setVisible(!hidden);
    }
    p.scale->rescaleDataRange(true);
    QCOMPARE(p.scale->dataRange().lower, expected.lower);
    QCOMPARE(p.scale->dataRange().upper, expected.upper);
  }

  void storedRanges_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<bool>("stored");
    QTest::newRow("empty") << 3.0 << 3.0 << true;
    QTest::newRow("reversed") << 5.0 << 1.0 << true;
    QTest::newRow("NaN lower") << NaN << 1.0 << false;
    QTest::newRow("NaN upper") << 1.0 << NaN << false;
    QTest::newRow("infinite") << 1.0 << std::numeric_limits<double>::infinity() << false;
  }
  void storedRanges()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(bool, stored);
    ScalePlot p;
    PlotRange range;
    range.lower = lower; // the two-bound constructor would order them
    range.upper = upper;
    p.scale->setDataRange(range);
    const PlotRange now = p.scale->dataRange();
    QCOMPARE(now.lower == lower && now.upper == upper, stored);
    if (!stored)
      QCOMPARE(now, PlotRange(0, 6));
  }
};
TOVRI_TEST(PlotColorScaleTest)
#include "tst_colorscale.moc"
