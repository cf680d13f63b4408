#include "axis.h"
#include "colorsagent.h"
#include "capturerig.h"
#include "glwidget.h"
#include "helpers.h"
#include "marker.h"
#include "markerbar.h"
#include "plot.h"
#include "popup.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QInputDialog>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

using namespace AppFixture;
using namespace CaptureRig;

// Answers the next number dialog with `value`, or cancels it.
static void answerNextNumber(bool accept, int value, QString *label = nullptr)
{
  QTimer::singleShot(0, [=] {
    auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    if (label)
      *label = dialog->labelText();
    if (accept) {
      dialog->setIntValue(value);
      dialog->accept();
    } else {
      dialog->reject();
    }
  });
}

// The time window of a capture tab: fitting, paging, time ticks, the
// readout and the two time lists.
class TimeWindowTest : public QObject
{
  Q_OBJECT

  // A window of a real size, so that the chart has pixels to point at.
  static void layOut(MainWindow &window)
  {
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.plotter()->replot();
  }

  // A mouse move over the chart at `time` on its time axis.
  static void moveMouseTo(MainWindow &window, double time)
  {
    PlotWidget *plot = window.plotter();
    const QPointF at(plot->xAxis->coordToPixel(time), plot->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    window.on_mouseMove(&move);
  }

private slots:
  void init()
  {
    freshWindowState();
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

  // The first point of a channel's visible window that its value axis
  // leaves outside, as text; empty when the axes hold them all.
  static QString pointOutsideItsAxis(GLWidget *tab)
  {
    const PlotRange window = tab->plot->xAxis->range();
    for (int c = 0; c < tab->maps.size() && c < tab->plot->graphCount(); ++c) {
      const PlotRange axis = tab->plot->graph(c)->valueAxis()->range();
      const PlotDataMap &map = *tab->maps.at(c);
      for (auto it = map.lowerBound(window.lower); it != map.cend() && it.key() <= window.upper; ++it) {
        if (it->value < axis.lower || it->value > axis.upper)
          return QStringLiteral("#%1 at %2 s reads %3, axis %4 to %5")
            .arg(c)
            .arg(it.key())
            .arg(it->value)
            .arg(axis.lower)
            .arg(axis.upper);
      }
    }
    return QString();
  }

  // A current that steps by ten a second before `jump` and by a hundred at
  // it, then climbs: each live fit, and the view after Stop, hold every
  // visible point of every channel, the newest ones too, before and after
  // the window starts to move with the capture.
  void valueAxesHoldTheNewestPoints_data()
  {
    QTest::addColumn<double>("jump");
    QTest::addColumn<int>("stopMs");
    QTest::newRow("stopped 90 ms after the jump") << 3.0 << 3090;
    QTest::newRow("stopped 160 ms after the jump") << 3.0 << 3160;
    QTest::newRow("moving window") << 12.0 << 12340;
  }

  void valueAxesHoldTheNewestPoints()
  {
    QFETCH(double, jump);
    QFETCH(int, stopMs);
    Rig rig(-1);
    // Channel #0 words: 14 bits of mantissa, two of exponent over 2 mA.
    rig.logger->profile = [jump](int channel, quint32 index) -> quint16 {
      if (channel != 0)
        return SimLogger::sample(channel, index);
      const double t = index * 0.001;
      if (t < jump - 1)
        return quint16(15000 + index % 300);
      if (t < jump)
        return quint16((1 << 14) | (12500 + index % 300));
      return quint16((2 << 14) | (10000 + index % 5000));
    };
    rig.start(0x07, 10);
    GLWidget *tab = rig.window->captureTab();
    QVERIFY(tab);
    // The redraw timer's fits, in step with the bus; Stop comes between two.
    for (int done = 10; done <= stopMs; done += 10) {
      rig.run(10);
      if (done % 200 == 0) {
        rig.window->reRangeLeft(false);
        const QString outside = pointOutsideItsAxis(tab);
        QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("live at %1 ms: ").arg(done) + outside));
      }
    }
    QVERIFY(tab->maps.at(0)->lastKey() > jump + 0.08);
    QVERIFY(Helpers::isMeasuring);
    rig.window->on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    QVERIFY(tab->maps.at(0)->lastKey() > jump + 0.08);
    QVERIFY(tab->plot->xAxis->range().contains(tab->maps.at(0)->lastKey()));
    const QString outside = pointOutsideItsAxis(tab);
    QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("after Stop: ") + outside));
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

  // The step follows the table of the window's width, then halves or goes
  // to a tenth until more than five intervals are visible; the labelled
  // axis takes the same step and its sub-ticks.
  void tickStepsOfTheTimeAxis_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("first");
    QTest::addColumn<int>("subTicks");
    QTest::addColumn<double>("base"); // the absolute tick the visible offsets count from
    QTest::newRow("12.3 wide from 5.5: tens, fives, then ones") << 5.5 << 17.8 << 1.0 << 0.0 << 9 << 0.0;
    QTest::newRow("5.5 wide from 12.3: four ones visible, so halves") << 12.3 << 17.8 << 0.5 << 10.0 << 4 << 10.0;
    QTest::newRow("0 to 10: ones") << 0.0 << 10.0 << 1.0 << 0.0 << 9 << 0.0;
    QTest::newRow("half a second: five tenths, so twentieths") << 0.0 << 0.5 << 0.05 << 0.0 << 4 << 0.0;
    QTest::newRow("3 ms from 1.2345 s: first tick on a whole width")
      << 1.2345 << 1.2375 << 0.0005 << 1.233 << 4 << 1.234;
    QTest::newRow("an hour from 100 s") << 100.0 << 3700.0 << 500.0 << 0.0 << 4 << 0.0;
  }

  void tickStepsOfTheTimeAxis()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, step);
    QFETCH(double, first);
    QFETCH(int, subTicks);
    QFETCH(double, base);
    Rig rig(15);
    QList<double> ticks;
    double chosen = 0;
    rig.window->calcTickPositions(PlotRange(lower, upper), ticks, chosen);
    QCOMPARE(chosen, step);
    QCOMPARE(ticks.first(), first);
    QCOMPARE(MainWindow::subTickCount(chosen), subTicks);

    // The same through the axis's own announcement of its labels.
    PlotWidget *plot = rig.window->plotter();
    plot->xAxis->setRangeMin(0);
    plot->xAxis->setRangeMax(1e9);
    plot->xAxis->setRange(lower, upper);
    plot->replot();
    QCOMPARE(plot->xAxis->tickStep(), step);
    QCOMPARE(plot->xAxis->subTickCount(), subTicks);
    QCOMPARE(plot->xAxis->tickVector(), ticks);
    QCOMPARE(plot->xAxis->tickVectorLabels().size(), ticks.size());
    QVERIFY(plot->xAxis->label().isEmpty());
    QVERIFY(plot->xAxis->secondRowLabels.value(-1).endsWith(Helpers::timeToString(base, true, 3)));
    QCOMPARE(rig.window->readoutPrecision(), 3);
  }

  // Read as base plus offset, the time axis says what the pointer readout
  // says: the left label names the absolute tick that the first visible
  // offsets count from, through a user's zooms and pans one after another.
  void timeAxisBaseMatchesItsOffsets()
  {
    Rig rig(15);
    layOut(*rig.window);
    PlotWidget *plot = rig.window->plotter();
    PlotAxis *time = plot->xAxis;
    time->setRangeMin(0);
    time->setRangeMax(1e9);
    const QList<PlotRange> views{{0, 21},       {5.99, 8.1},     {6.0, 8.1},        {6.02, 8.1},    {3.3, 5.35},
                                 {0, 21},       {12.345, 12.36}, {12.3404, 12.342}, {99.5, 160.2},  {59.95, 61.2},
                                 {7.97, 8.33},  {0.004, 0.052},  {1234.5, 1240.25}, {5.99, 8.1}};
    for (const PlotRange &view : views) {
      const QString where = QStringLiteral("%1 to %2: ").arg(view.lower).arg(view.upper);
      time->setRange(view.lower, view.upper);
      plot->replot();
      const QList<double> ticks = time->tickVector();
      const QList<QString> labels = time->tickVectorLabels();
      QVERIFY2(ticks.size() >= 2 && labels.size() == ticks.size(), qPrintable(where));
      int first = 0;
      while (first < ticks.size() && ticks.at(first) < view.lower)
        ++first;
      QVERIFY2(first < ticks.size() && ticks.at(first) <= view.upper, qPrintable(where));
      // Absolute ticks carry no offset; the others count from the one before.
      int base = first;
      while (base > 0 && !labels.at(base).isEmpty())
        --base;
      QVERIFY2(labels.at(base).isEmpty(), qPrintable(where));
      const QString left = time->secondRowLabels.value(-1);
      QCOMPARE(left.mid(1), Helpers::timeToString(ticks.at(base), true, 3));
      // The first visible offset, added to that base, is its tick's time.
      for (int i = first; i < ticks.size() && ticks.at(i) <= view.upper; ++i) {
        QString offset = labels.at(i);
        if (offset.isEmpty())
          break; // the next absolute tick names itself
        const double unit = offset.endsWith(QLatin1String("ms")) ? 0.001 : 1;
        offset.remove(0, 1).chop(unit == 1 ? 1 : 2);
        const int decimals = offset.contains(QLatin1Char('.')) ? int(offset.size() - offset.indexOf('.') - 1) : 0;
        const double tolerance = 0.5 * std::pow(10.0, -decimals) * unit + 1e-9;
        QVERIFY2(std::abs(ticks.at(base) + offset.toDouble() * unit - ticks.at(i)) <= tolerance,
                 qPrintable(where + labels.at(i) + QStringLiteral(" at %1 from ").arg(ticks.at(i)) + left));
        break;
      }
    }
  }

  // Each channel's value at the sample nearest the pointer, scaled to its
  // prefix; "--" where a channel has nothing at that time.
  void readoutUnderThePointer_data()
  {
    QTest::addColumn<double>("mouse");
    QTest::addColumn<QList<double>>("first"); // #0..#2 at 1.000 s; NaN: no point there
    QTest::addColumn<QStringList>("expected");
    const double none = qQNaN();
    QTest::newRow("prefixes") << 1.0004 << QList<double>{1234.5, 3300, 500}
                              << QStringList{"#0: 1.23mA", "#1: 3.30 V", "#2: 500.00mV", "Time: 1.000s"};
    QTest::newRow("microamps, negative volts")
      << 0.98 << QList<double>{12, -2500, 0} << QStringList{"#0: 12.00\u03bcA", "#1: -2.50 V", "#2: 0.00mV", "1.000s"};
    QTest::newRow("nearer to the later sample") << 1.0006 << QList<double>{1, 2, 3}
                                                << QStringList{"#0: 7.00\u03bcA", "#1: 8.00mV", "#2: 9.00mV", "1.001s"};
    QTest::newRow("a channel without that sample") << 1.0 << QList<double>{5, none, 6}
                                                   << QStringList{"#0: 5.00\u03bcA", "#1: --", "#2: 6.00mV"};
  }

  void readoutUnderThePointer()
  {
    QFETCH(double, mouse);
    QFETCH(QList<double>, first);
    QFETCH(QStringList, expected);
    Rig rig(15);
    MainWindow &window = *rig.window;
    GLWidget *tab = window.currentWidget();
    QCOMPARE(tab->maps.size(), 3);
    for (int c = 0; c < 3; ++c) {
      if (!std::isnan(first.at(c)))
        tab->maps.at(c)->insert(1.0, PlotData(1.0, first.at(c)));
      tab->maps.at(c)->insert(1.001, PlotData(1.001, 7 + c));
    }
    window.plotter()->xAxis->setRange(0.99, 1.01);
    layOut(window);
    moveMouseTo(window, mouse);
    const QString text = window.readoutLabel()->text();
    for (const QString &piece : expected)
      QVERIFY2(text.contains(piece), qPrintable(text));
    // The cursor line stands at the time read out.
    const PlotDataMap *cursor = window.plotter()->graph()->data();
    QCOMPARE(cursor->size(), 2);
    QCOMPARE(cursor->firstKey(), mouse > 1.0005 ? 1.001 : 1.0);

    // Nothing held: no time, and the cursor out of every window.
    tab->reset();
    moveMouseTo(window, 1.0);
    QVERIFY(window.readoutLabel()->text().contains("#0: --"));
    QVERIFY(window.readoutLabel()->text().contains("Time: --"));
    QCOMPARE(window.plotter()->graph()->data()->firstKey(), -1.0);
  }

  // A supply's file may list more channels than the tab has maps for; a
  // temperature reads in the scale it was logged in.
  void supplyReadoutOfAChannelWithoutMap_data()
  {
    QTest::addColumn<bool>("mapFor4");
    QTest::addColumn<bool>("fahrenheit");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("v2");
    QTest::newRow("no map for #4") << false << false << "#4: --" << 4 << false;
    QTest::newRow("Celsius") << true << false << "#4: 41C" << 4 << false;
    QTest::newRow("Fahrenheit") << true << true << "#4: 41F" << 4 << false;
    // A V2 log opened beside a served V1 reads out in its own model's terms.
    QTest::newRow("V2 log, V1 served") << true << false << "#9: 41.00A" << 9 << true;
  }

  void supplyReadoutOfAChannelWithoutMap()
  {
    QFETCH(bool, mapFor4);
    QFETCH(bool, fahrenheit);
    QFETCH(QString, reading);
    QFETCH(int, channel);
    QFETCH(bool, v2);
    Rig rig(15);
    MainWindow &window = *rig.window;
    GLWidget *tab = window.currentWidget();
    Helpers::powerMode = true;
    window.createDefaultsPower();
    tab->addChannels(mapFor4 ? QList<int>{0, 1, channel} : QList<int>{0, 1});
    tab->swapFile->activeChannels = {0, 1, channel};
    tab->swapFile->header.fahrenheit = fahrenheit;
    tab->swapFile->header.mode = v2 ? SwapFileHeader::PowerV2 : SwapFileHeader::PowerV1;
    tab->maps.at(0)->insert(1.0, PlotData(1.0, 12.5));
    tab->maps.at(1)->insert(1.0, PlotData(1.0, 3.25));
    if (mapFor4)
      tab->maps.at(2)->insert(1.0, PlotData(1.0, 41));
    window.plotter()->xAxis->setRange(0, 2);
    layOut(window);
    moveMouseTo(window, 1.0);
    const QString line = window.readoutLabel()->text();
    QVERIFY2(line.contains(", " + reading) && line.contains(", #1: 3.") && line.contains("Time: 1.000s"), qPrintable(line));
    const QString hint = window.popUp()->label()->text();
    QVERIFY2(hint.contains(reading + "<br>"), qPrintable(hint));
    // Every line of the hint can be read on the chart under it.
    static const QRegularExpression font(QStringLiteral("<font color=(#[0-9a-f]{6})>"));
    int lines = 0;
    for (auto it = font.globalMatch(hint); it.hasNext(); ++lines) {
      const QColor colour(it.next().captured(1));
      QVERIFY2(ColorsAgent::contrast(colour, window.popUp()->backdrop()) >= 4.5, qPrintable(colour.name()));
    }
    QCOMPARE(lines, 4);
  }

  // The time window and value axes a reviewed capture's user reaches with
  // a double-click, Show all and the wheel.
  void viewControls_data()
  {
    QTest::addColumn<QString>("action");
    QTest::addColumn<double>("lower"); // the time window after it
    QTest::addColumn<double>("upper");
    QTest::newRow("double-click at 2 s") << "time axis 2" << 0.0 << 10.0;
    QTest::newRow("double-click at 100 s") << "time axis 100" << 95.0 << 105.0;
    QTest::newRow("double-click on the right axis") << "right axis" << 40.0 << 60.0;
    QTest::newRow("Show all") << "show all" << 0.0 << 200.0;
    QTest::newRow("wheel forward zooms in") << "wheel 120" << -1.0 << -1.0;
    QTest::newRow("wheel back zooms out") << "wheel -120" << -1.0 << -1.0;
  }
  void viewControls()
  {
    QFETCH(QString, action);
    QFETCH(double, lower);
    QFETCH(double, upper);
    Rig rig(15);
    MainWindow &window = *rig.window;
    GLWidget *tab = window.currentWidget();
    for (int i = 0; i <= 200; ++i) {
      for (int c = 0; c < 3; ++c)
        tab->maps.at(c)->insert(i, PlotData(i, 100 * c + i));
    }
    // Multipliers 2 on channel #1 and 3 on #2, the axes' limits widened to
    // match, and the zoom a reviewed capture has.
    tab->mult1 = 2;
    tab->mult2 = 3;
    PlotWidget *plot = window.plotter();
    for (PlotAxis *axis : plot->axisRect()->axes(PlotAxis::atRight)) {
      axis->setRangeMin(-1e6);
      axis->setRangeMax(1e6);
    }
    plot->setInteractions(Plot::Interactions(Plot::iaRangeDrag | Plot::iaRangeZoom));
    window.setXRange(40, 60);
    plot->yAxis2->setRange(7, 8);
    layOut(window);
    const double pixel = plot->xAxis->range().size() / plot->axisRect()->rect().width();
    const double before = plot->xAxis->range().size();
    const QPointF centre = plot->axisRect()->rect().center();

    if (action.startsWith(QLatin1String("time axis"))) {
      const double t = action.section(QLatin1Char(' '), 2).toDouble();
      window.setXRange(t - 10, t + 10);
      plot->replot();
      const QPointF at(plot->xAxis->coordToPixel(t), centre.y());
      QMouseEvent click(QEvent::MouseButtonDblClick, at, plot->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      window.on_axisDoubleClick(plot->xAxis, PlotAxis::spAxis, &click);
    } else if (action == QLatin1String("right axis")) {
      window.on_axisDoubleClick(plot->yAxis2, PlotAxis::spAxis, nullptr);
    } else if (action == QLatin1String("show all")) {
      window.on_showAll();
    } else {
      const int delta = action.section(QLatin1Char(' '), 1).toInt();
      QWheelEvent wheel(centre, plot->mapToGlobal(centre), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      window.on_mouseWheel(&wheel);
    }

    const PlotRange range = plot->xAxis->range();
    if (lower >= 0) {
      QVERIFY2(std::abs(range.lower - lower) <= pixel && std::abs(range.upper - upper) <= pixel,
               qPrintable(QStringLiteral("%1..%2").arg(range.lower).arg(range.upper)));
    } else {
      // Forward brings the time closer: a shorter window; back a longer one.
      QVERIFY(action.endsWith(QLatin1String("-120")) ? range.size() > before : range.size() < before);
    }
    const bool resets = action == QLatin1String("right axis") || action == QLatin1String("show all");
    QCOMPARE(plot->yAxis2->range().lower, resets ? -300.0 : 7.0);
    QCOMPARE(plot->yAxis2->range().upper, resets ? 16500.0 : 8.0);
  }

  // Halfway between two samples the later one is read out.
  void readoutTieGoesToTheLaterSample()
  {
    Rig rig(15);
    MainWindow &window = *rig.window;
    GLWidget *tab = window.currentWidget();
    for (int c = 0; c < 3; ++c) {
      tab->maps.at(c)->insert(1.0, PlotData(1.0, 1 + c));
      tab->maps.at(c)->insert(1.5, PlotData(1.5, 4 + c));
    }
    // The pointer at the axis's left end reads its lower end exactly.
    window.plotter()->xAxis->setRange(1.25, 3.25);
    layOut(window);
    moveMouseTo(window, 1.25);
    QCOMPARE(window.plotter()->graph()->data()->firstKey(), 1.5);
    QVERIFY2(window.readoutLabel()->text().contains("#0: 4.00"), qPrintable(window.readoutLabel()->text()));
  }

  // Value axes name their unit and feed the status panel; the markers follow
  // the time window of a reviewed capture only, never the live one.
  void rangeFollowUps()
  {
    Rig rig(-1);
    MainWindow &window = *rig.window;
    layOut(window);
    rig.start();
    rig.run(12000);
    PlotWidget *plot = window.captureTab()->plot;
    auto *bar = window.findChild<MarkerBar *>();
    const double during = bar->marker(0)->time;
    rig.run(500);
    QCOMPARE(bar->marker(0)->time, during);

    PlotAxis *current = plot->graph(0)->valueAxis();
    current->setRange(0, 1500);
    QVERIFY2(current->label().startsWith("#0") && current->label().endsWith(", mA"), qPrintable(current->label()));
    QCOMPARE(window.findChild<QLabel *>("labelChannel0")->text(), current->label());
    plot->yAxis2->setRange(0, 1500);
    QVERIFY2(plot->yAxis2->label().startsWith("#2") && plot->yAxis2->label().endsWith(",  V"),
             qPrintable(plot->yAxis2->label()));
    QCOMPARE(window.findChild<QLabel *>("labelChannel2")->text(), plot->yAxis2->label());

    window.on_stopButton();
    const double reviewed = bar->marker(0)->time;
    window.setXRange(plot->xAxis->range().lower + 2, plot->xAxis->range().upper);
    QVERIFY(bar->marker(0)->time != reviewed);
    QCOMPARE(bar->marker(0)->time, plot->xAxis->pixelToCoord(bar->marker(0)->x));
  }

  // Only the temperature axes of the listed channels turn to Fahrenheit.
  void fahrenheitAxes()
  {
    Rig rig(15);
    MainWindow &window = *rig.window;
    Helpers::powerMode = true;
    window.createDefaultsPower();
    window.currentWidget()->addChannels({0, 4});
    window.adjustAxisName({0, 4}, true);
    int relabelled = 0;
    for (PlotAxis *axis : window.plotter()->axisRect()->axes()) {
      auto *power = dynamic_cast<AxisPower *>(axis);
      if (!power)
        continue;
      const ChannelInfo info = ChannelInfo::getChannelInfo(uchar(power->channel));
      const bool converted = power->channel == 4;
      relabelled += converted;
      QCOMPARE(power->label().endsWith('F'), converted);
      QCOMPARE(power->range().lower, converted ? 32 + 1.8 * info.lower() : info.lower());
      QCOMPARE(power->range().upper, converted ? 32 + 1.8 * info.upper() : info.upper());
    }
    QCOMPARE(relabelled, 1);
  }

  // A cancelled custom entry leaves the list, the time in force and the
  // stored choice together.
  void measuringTimeList_data()
  {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("storedIndex");
    QTest::newRow("preset") << 1 << true << 100 << 1;
    QTest::newRow("unlimited") << 3 << true << -1 << 3;
    QTest::newRow("custom") << 4 << true << 20 << 4;
    QTest::newRow("custom cancelled") << 4 << false << 1000 << 2;
  }

  void measuringTimeList()
  {
    QFETCH(int, index);
    QFETCH(bool, accept);
    QFETCH(int, seconds);
    QFETCH(int, storedIndex);
    writeSettings({{"Options/time-length-index", 2}});
    MainWindow window;
    QComboBox *list = window.m_comboMeasuringTime;
    QCOMPARE(window.measuringTime(), 1000);
    QString label;
    answerNextNumber(accept, 20, &label);
    list->setCurrentIndex(index);
    emit list->activated(index);
    QCOMPARE(window.measuringTime(), seconds);
    QCOMPARE(list->currentIndex(), storedIndex);
    QCOMPARE(readSetting("Options/time-length-index").toInt(), storedIndex);
    if (index == MainWindow::MeasuringTimeRows - 1) {
      QCOMPARE(label, QString("Measuring time,sec "));
      QCOMPARE(list->itemText(index), QString(accept ? "Custom: 20" : "Custom: 10"));
    }
  }

  // Choosing a viewing interval reloads the reviewed capture, never more
  // than about two million points per channel at the capture's rate.
  void viewingIntervalList_data()
  {
    QTest::addColumn<int>("divider");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("loaded");
    QTest::newRow("10 kHz, 1800 s") << 1 << 6 << 200;
    QTest::newRow("10 kHz, 300 s") << 1 << 4 << 200;
    QTest::newRow("10 kHz, 120 s") << 1 << 3 << 120;
    QTest::newRow("1 kHz, 1800 s") << 10 << 6 << 1800;
  }

  void viewingIntervalList()
  {
    QFETCH(int, divider);
    QFETCH(int, index);
    QFETCH(int, loaded);
    Rig rig(2);
    MainWindow &window = *rig.window;
    rig.start(0x07, divider);
    QVERIFY(rig.runUntilStopped(4000));
    GLWidget *tab = window.captureTab();
    const PlotRange all = tab->timeRange();
    // The stop shows the last 10 s; a short capture is all in that.
    tab->plot->xAxis->setRange(1, 1.5);

    QComboBox *list = window.m_comboShowAll;
    list->setCurrentIndex(index);
    emit list->activated(index);
    QCOMPARE(window.showAllLength(), list->itemData(index).toInt());
    QCOMPARE(window.viewingSeconds(tab), loaded);
    QCOMPARE(readSetting("Options/showall-length-index").toInt(), index);
    QCOMPARE(readSetting("Options/showall-length-sec").toInt(), window.showAllLength());
    const bool capped = loaded < window.showAllLength();
    QCOMPARE(statusText(window).contains(QString("limited to %1 s").arg(loaded)), capped);
    // Reloaded from the file: the whole short capture, all of it in view.
    QCOMPARE(tab->timeRange().lower, all.lower);
    QCOMPARE(tab->timeRange().upper, all.upper);
    QCOMPARE(tab->plot->xAxis->range().lower, all.lower);
    QCOMPARE(tab->plot->xAxis->range().upper, all.upper);
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

  // The custom viewing interval's dialog lets events run: a change of
  // device kind meanwhile closes the tab it was opened over. The choice
  // still stands, and only a tab that is there is read.
  void viewingIntervalDialogOutlivesItsTab_data()
  {
    QTest::addColumn<bool>("toSupply");
    QTest::addColumn<bool>("capture"); // the tab holds a reviewed, unsaved capture
    QTest::newRow("logger to supply, untouched tab") << true << false;
    QTest::newRow("logger to supply, reviewed capture") << true << true;
    QTest::newRow("supply to logger, opened log") << false << true;
  }

  void viewingIntervalDialogOutlivesItsTab()
  {
    QFETCH(bool, toSupply);
    QFETCH(bool, capture);
    QTemporaryDir dir;
    SimBus bus;
    SimDevice *plugged = toSupply ? static_cast<SimDevice *>(bus.add<SimLogger>())
                                  : static_cast<SimDevice *>(bus.add<SimPowerSupply>());
    MainWindow::setClock([&bus] { return bus.now(); });
    const auto clock = qScopeGuard([] { MainWindow::setClock({}); });
    MainWindow window;
    quietLink();
    pump();
    QCOMPARE(Helpers::powerMode, !toSupply);
    if (toSupply && capture) {
      DeviceControl command = Rig::startCommand(0x07, 10);
      window.on_startMeasurement(command);
      runBus(bus, window, 2000);
      window.on_stopButton();
      QVERIFY(!Helpers::isMeasuring);
    } else if (!toSupply) {
      const QString log = writeSupplyCapture(dir.filePath("bench.kelvpow"), false, {0, 1}, 300);
      QVERIFY(!log.isEmpty());
      QVERIFY(window.loadFile(log));
    }
    QPointer<GLWidget> asked = window.currentWidget();
    QVERIFY(asked);
    QCOMPARE(asked->isEmpty(), !capture);
    // The unsaved capture's question that the change asks: not kept.
    DialogScript script({DialogScript::box(QMessageBox::No)});

    bool changed = false;
    QTimer::singleShot(0, [&] {
      auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
      if (!dialog)
        return;
      bus.unplug(plugged);
      pump(1);
      if (toSupply)
        bus.add<SimPowerSupply>();
      else
        bus.add<SimLogger>();
      for (int i = 0; i < 50 && Helpers::powerMode != toSupply; ++i)
        pump(1);
      pump();
      changed = Helpers::powerMode == toSupply && !asked;
      dialog->setIntValue(20);
      dialog->accept();
    });
    QComboBox *list = window.m_comboShowAll;
    const int custom = MainWindow::ShowAllRows - 1;
    list->setCurrentIndex(custom);
    emit list->activated(custom);

    QVERIFY(changed);
    QCOMPARE(script.done(), capture && toSupply);
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(window.showAllLength(), 20);
    QCOMPARE(list->itemText(custom), QString("Custom: 20"));
    QCOMPARE(readSetting("Options/showall-length-sec").toInt(), 20);
    QCOMPARE(readSetting("Options/showall-length-index").toInt(), custom);
    // Whatever tab is there now was not read into: none holds points.
    for (int i = 0; i < window.tabWidget()->count(); ++i) {
      auto *left = qobject_cast<GLWidget *>(window.tabWidget()->widget(i));
      QVERIFY(!left || left->isEmpty());
    }
  }

  // Near a capture's start the window reaches its first record, whether
  // that lies at 0 or later (the first samples lost), and keeps its length:
  // a drag past the start after a stop or after paging on, a click on the
  // strip before the first record, and the stop of a short capture.
  void windowReachesTheFirstRecord_data()
  {
    QTest::addColumn<int>("counterStart"); // samples lost before the first block, at 1 ms each
    QTest::addColumn<int>("captureMs");    // -1: a short capture, stopped at its 5 s limit
    QTest::addColumn<QString>("action");
    QTest::newRow("drags past 0 after a stop") << 0 << 12000 << "drag";
    QTest::newRow("drags past a late start after a stop") << 1860 << 14000 << "drag";
    QTest::newRow("drags past 0 after paging on") << 0 << 30000 << "page, drag";
    QTest::newRow("drags past a late start after paging on") << 4800 << 30000 << "page, drag";
    QTest::newRow("strip clicked before a late start") << 4800 << 20000 << "click 2";
    QTest::newRow("strip clicked at 0 before a late start") << 4800 << 20000 << "click 0";
    QTest::newRow("strip clicked in the first window") << 4800 << 20000 << "click 7";
    QTest::newRow("short capture with a late start, just stopped") << 1860 << -1 << "";
  }

  void windowReachesTheFirstRecord()
  {
    QFETCH(int, counterStart);
    QFETCH(int, captureMs);
    QFETCH(QString, action);
    Rig rig(captureMs < 0 ? 5 : -1);
    MainWindow &window = *rig.window;
    layOut(window);
    rig.logger->counterStart = quint32(counterStart);
    rig.start(0x07, 10);
    if (captureMs < 0) {
      QVERIFY(rig.runUntilStopped(8000));
    } else {
      rig.run(captureMs);
      window.on_stopButton();
    }
    QVERIFY(!Helpers::isMeasuring);
    GLWidget *tab = window.captureTab();
    QVERIFY(tab);
    PlotAxis *time = tab->plot->xAxis;
    const double first = counterStart / 1000.0;
    const double length = captureMs < 0 ? 10.0 : time->range().size();
    QCOMPARE(length, 10.0);

    if (action.startsWith(QLatin1String("page"))) {
      window.on_swapPositionChanged(15);
      QVERIFY(tab->timeRange().lower > first + 5);
    }
    const auto shown = [&] {
      return QStringLiteral("%1..%2, held from %3")
        .arg(time->range().lower, 0, 'g', 17)
        .arg(time->range().upper, 0, 'g', 17)
        .arg(tab->timeRange().lower, 0, 'g', 17);
    };
    if (action.endsWith(QLatin1String("drag"))) {
      // Three drags one after another, each wanting 3 s before the start.
      // The window ends at a record held, so it may lack the last sample or
      // two of its length; it never shrinks from drag to drag.
      double kept = 0;
      for (int i = 0; i < 3; ++i) {
        const PlotRange now = time->range();
        const double by = now.lower - first + 3;
        window.on_rangeBorderReached(now.lower - by, now.upper - by);
        window.on_mouseRelease(nullptr);
        QVERIFY2(time->range().lower == first && std::abs(time->range().size() - length) <= 0.0025,
                 qPrintable(shown()));
        if (i == 0)
          kept = time->range().size();
        QCOMPARE(time->range().size(), kept);
      }
    } else if (action.startsWith(QLatin1String("click"))) {
      window.on_swapPositionChanged(action.section(QLatin1Char(' '), 1).toInt());
      QVERIFY2(time->range().lower == first && std::abs(time->range().size() - length) <= 0.0025,
               qPrintable(shown()));
    } else {
      // Shown from the first record, all of what was captured in view.
      QVERIFY2(time->range().lower == first, qPrintable(shown()));
      QVERIFY2(time->range().upper == tab->timeRange().upper, qPrintable(shown()));
    }
    // The first record itself is held and on show.
    QVERIFY2(tab->timeRange().lower == first, qPrintable(shown()));
    QCOMPARE(tab->swapFile->firstTime, first);
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

    // Once stopped, a drag to 4 s pages the file there.
    rig.window->on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    const double reviewed = tab->maps.at(0)->firstKey();
    QVERIFY(reviewed > 1.0);
    rig.window->on_rangeBorderReached(0, 8);
    rig.window->on_mouseRelease(nullptr);
    QVERIFY(tab->maps.at(0)->firstKey() < 1.0);
    // A drag past 0 goes to the capture's first record.
    rig.window->on_rangeBorderReached(-3, 7);
    rig.window->on_mouseRelease(nullptr);
    QCOMPARE(tab->maps.at(0)->firstKey(), 0.0);
    QCOMPARE(time->range().lower, 0.0);
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
