#include "capturerig.h"
#include "glwidget.h"
#include "plot.h"
#include "testmain.h"

using namespace AppFixture;
using namespace CaptureRig;

// The time window of a capture tab: fitting, paging and time ticks.
class TimeWindowTest : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    resetProcessState();
    clearSettings();
    keepUpdatesLocal();
    QDir(MainWindow::workingFolder()).removeRecursively();
  }

  void valueRangeFitsTheWindow_data()
  {
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::newRow("flat 3") << QList<double>{3, 3, 3} << 0.0 << 6.0;
    QTest::newRow("flat 0") << QList<double>{0, 0} << 0.0 << 0.0;
    QTest::newRow("narrow around 100") << QList<double>{100.0, 100.5, 100.25} << 92.75 << 107.75;
    QTest::newRow("wide") << QList<double>{10, 100, 55} << 10.0 << 100.0;
    QTest::newRow("NaN skipped") << QList<double>{10, qQNaN(), 100} << 10.0 << 100.0;
    QTest::newRow("only NaN") << QList<double>{qQNaN()} << 0.0 << 0.0;
  }

  void valueRangeFitsTheWindow()
  {
    QFETCH(QList<double>, values);
    QFETCH(double, lower);
    QFETCH(double, upper);
    Rig rig(15);
    GLWidget *tab = rig.window->currentWidget();
    QVERIFY(tab && !tab->maps.isEmpty());
    for (int i = 0; i < values.size(); ++i)
      tab->maps.at(0)->insert(i, PlotData(i, values.at(i)));
    // A point outside the window counts for nothing.
    tab->maps.at(0)->insert(50, PlotData(50, 1e6));
    PlotRange window(0, 10);
    const PlotRange r = rig.window->rescaleAxis(tab->plot->graph(0), &window);
    QCOMPARE(r.lower, lower);
    QCOMPARE(r.upper, upper);
  }

  void subTicks_data()
  {
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("count");
    QTest::newRow("0.0001") << 0.0001 << 4;
    QTest::newRow("0.001") << 0.001 << 9;
    QTest::newRow("1") << 1.0 << 9;
    QTest::newRow("0.5") << 0.5 << 4;
    QTest::newRow("10000") << 10000.0 << 9;
    QTest::newRow("100000") << 100000.0 << 4;
  }

  void subTicks()
  {
    QFETCH(double, step);
    QFETCH(int, count);
    QCOMPARE(MainWindow::subTickCount(step), count);
  }

  void ticksAreRoundAndCoverTheWindow_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::newRow("ms window") << 1.2345 << 1.2412;
    QTest::newRow("12.3 + 5.5") << 12.3 << 17.8;
    QTest::newRow("one hour") << 100.0 << 3700.0;
    QTest::newRow("empty") << 4.0 << 4.0;
    QTest::newRow("days") << 0.0 << 1e6;
  }

  void ticksAreRoundAndCoverTheWindow()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    Rig rig(15);
    QList<double> ticks;
    double step = 0;
    rig.window->calcTickPositions(PlotRange(lower, upper), ticks, step);
    QVERIFY(step > 0);
    QVERIFY(ticks.size() >= 2);
    QVERIFY(ticks.first() <= lower + 1e-12);
    QVERIFY(ticks.last() > upper);
    for (int i = 1; i < ticks.size(); ++i)
      QVERIFY(qAbs(ticks.at(i) - ticks.at(i - 1) - step) < step * 1e-6);
    // Round: the first tick is a whole multiple of the step.
    const double units = ticks.first() / step;
    QVERIFY(qAbs(units - std::round(units)) < 1e-6);
  }

  // Dragging against the end of the held points mid-capture must neither
  // narrow the axis limits nor swap the live points for a file read.
  void dragDuringCaptureChangesNothing()
  {
    Rig rig(-1);
    rig.start();
    rig.run(12000);
    GLWidget *tab = rig.window->captureTab();
    PlotAxis *time = tab->plot->xAxis;
    const double first = tab->maps.at(0)->firstKey();
    const qsizetype held = tab->maps.at(0)->size();
    rig.window->on_rangeBorderReached(-3, 7);
    rig.window->on_mouseRelease(nullptr);
    rig.window->on_rangeBorderReached(1, 11);
    rig.window->on_mouseRelease(nullptr);
    QCOMPARE(tab->maps.at(0)->firstKey(), first);
    QCOMPARE(tab->maps.at(0)->size(), held);
    rig.run(100);
    QVERIFY(time->range().upper > first + 9.9);
    QVERIFY(tab->maps.at(0)->size() >= held - 200);

    // Once stopped, a drag past 0 goes to the start of what is held, unread.
    rig.window->on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    const double reviewed = tab->maps.at(0)->firstKey();
    QVERIFY(reviewed > 1.0);
    rig.window->on_rangeBorderReached(-3, 7);
    rig.window->on_mouseRelease(nullptr);
    QCOMPARE(tab->maps.at(0)->firstKey(), reviewed);
    QCOMPARE(time->range().lower, reviewed);
    // A drag to 4 s pages the file there.
    rig.window->on_rangeBorderReached(0, 8);
    rig.window->on_mouseRelease(nullptr);
    QVERIFY(tab->maps.at(0)->firstKey() < 1.0);
  }

  // A GUI thread that stalls past the HID library's queue loses reports:
  // that must show as lost packets, never as silently shifted times.
  void stalledDrainShowsAsLostPackets()
  {
    Rig rig(-1);
    rig.start();
    rig.run(100);
    QVERIFY(lostLines().isEmpty());
    rig.bus.advance(1000);
    rig.run(100);
    QVERIFY(rig.logger->droppedReports() > 0);
    QCOMPARE(lostLines().size(), 2);
    const PlotDataMap *map = rig.window->captureTab()->maps.at(0);
    QVERIFY(map->lastKey() > 1.1);
  }
};

TOVRI_TEST(TimeWindowTest)
#include "tst_timewindow.moc"
