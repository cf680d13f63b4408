#include "axis.h"
#include "plotaxisrect.h"
#include "plotwidget.h"
#include "testmain.h"

#include <QImage>
#include <QTest>

namespace {
struct Emission
{
  int divisor;
  QList<double> ticks;
  QList<QString> labels;
  bool operator==(const Emission &o) const { return divisor == o.divisor && ticks == o.ticks && labels == o.labels; }
};

// A plot whose extra left axis is either the application's Axis or a plain
// PlotAxis, set up as the chart sets up the current's axis.
struct AxisPlot
{
  PlotWidget plot;
  PlotAxis *axis;
  QList<Emission> emissions;

  AxisPlot(bool application, const PlotRange &range)
  {
    plot.resize(600, 400);
    PlotAxisRect *rect = plot.axisRect();
    axis = application ? rect->addAxis(PlotAxis::atLeft, new Axis(rect, PlotAxis::atLeft))
                       : rect->addAxis(PlotAxis::atLeft);
    plot.yAxis->setVisible(false);
    axis->setRangeMin(-1e7);
    axis->setRangeMax(1e7);
    axis->setRange(range);
    axis->setLabel(QStringLiteral("#0: Current, mA"));
    axis->setTickLabelRotation(-90);
    axis->setAutoTicks(true);
    axis->setAutoSubTicks(true);
    axis->setTickLength(8, 0);
    axis->setSubTickLength(4, 0);
    axis->setNumberPrecision(1);
    axis->setAutoTickCount(10);
    QObject::connect(axis, &PlotAxis::axisUnitChanged, &plot,
                     [this](PlotAxis *, int divisor, QList<double> &ticks, QList<QString> &labels) {
                       emissions.append({divisor, ticks, labels});
                     });
  }
};
} // namespace

class AppAxesTest : public QObject
{
  Q_OBJECT

private slots:
  void axisDrawsLikePlotAxis_data()
  {
    QTest::addColumn<PlotRange>("range");
    QTest::newRow("microamps") << PlotRange(0, 1000);
    QTest::newRow("milliamps") << PlotRange(0, 2100000);
    QTest::newRow("around zero") << PlotRange(-0.004, 0.003);
    QTest::newRow("narrow and high") << PlotRange(1500, 1500.5);
    QTest::newRow("voltage") << PlotRange(-200, 11000);
  }

  void axisDrawsLikePlotAxis()
  {
    QFETCH(PlotRange, range);
    AxisPlot app(true, range);
    AxisPlot plain(false, range);
    QVERIFY(dynamic_cast<Axis *>(app.axis));
    QVERIFY(!dynamic_cast<Axis *>(plain.axis));
    // Told apart by type alone: the meta-object is the base's.
    QCOMPARE(app.axis->metaObject(), &PlotAxis::staticMetaObject);
    // Ranges are stored as given.
    QCOMPARE(app.axis->range(), range);
    QCOMPARE(app.axis->range(), plain.axis->range());

    for (int step = 0; step < 2; ++step) {
      app.plot.replot(PlotWidget::rpNow);
      plain.plot.replot(PlotWidget::rpNow);
      QVERIFY(!app.axis->tickVector().isEmpty());
      QCOMPARE(app.axis->tickVector(), plain.axis->tickVector());
      QCOMPARE(app.axis->tickVectorLabels(), plain.axis->tickVectorLabels());
      QCOMPARE(app.axis->subTickVector(), plain.axis->subTickVector());
      QVERIFY(!app.emissions.isEmpty());
      QVERIFY(app.emissions == plain.emissions);
      QCOMPARE(app.plot.grab().toImage(), plain.plot.grab().toImage());
      // A wheel zoom goes through tuneTicks: the same range on both.
      app.axis->scaleRange(0.5, range.center());
      plain.axis->scaleRange(0.5, range.center());
      QCOMPARE(app.axis->range(), plain.axis->range());
    }
  }
};

TOVRI_TEST(AppAxesTest)
#include "tst_appaxes.moc"
