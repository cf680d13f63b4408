#include "capturerig.h"
#include "savingfixture.h"
#include "helpers.h"
#include "marker.h"
#include "markerbar.h"
#include "navigationbar.h"
#include "plot.h"
#include "processstate.h"
#include "reportbar.h"
#include "testmain.h"

#include <QDockWidget>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>

using namespace AppFixture;
using CaptureRig::Rig;

// The bars around the chart and the Save action follow the tab on show: a
// tab without a capture (the one left after closing the last, or a fresh
// one turned to) shows nothing of a capture, and comes back to one intact.
class ChartBarsTest : public QObject
{
  Q_OBJECT

  struct Bars
  {
    ReportBar *report;
    MarkerBar *markers;
    NavigationBar *strip;
    QString label(const char *name) const { return report->findChild<QLabel *>(name)->text(); }
    // Whether a click on the strip's time axis would move the chart.
    bool stripClicks() const
    {
      QSignalSpy clicked(strip, &NavigationBar::navigationClicked);
      QMouseEvent at(QEvent::MouseButtonPress, QPointF(100, 5), QPointF(100, 5), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
      emit strip->plotter->axisClick(strip->plotter->xAxis, PlotAxis::spAxis, &at);
      return clicked.size() == 1;
    }
  };

  static Bars bars(MainWindow &window)
  {
    return {window.findChild<ReportBar *>("reportBar"), window.findChild<MarkerBar *>("markerBar"),
            window.findChild<NavigationBar *>("navigationBar")};
  }

  // Everything on show belongs to a capture, or nothing does.
  static void expectCapture(MainWindow &window, bool capture)
  {
    const Bars b = bars(window);
    // A capture's start hides the report and opening a file hides both
    // bars: the user shows them again.
    if (b.report->isHidden())
      window.m_actionReport->trigger();
    if (b.markers->isHidden())
      window.m_actionMarkers->trigger();
    QVERIFY(b.report->isVisible() && b.markers->isVisible());
    QCoreApplication::processEvents();
    QVERIFY(QMetaObject::invokeMethod(b.report, "updateFrame"));
    QVERIFY2((b.label("labelMax0") != "--") == capture, qPrintable(b.label("labelMax0")));
    QCOMPARE(b.label("labelMax0_2") != "--", capture);
    QCOMPARE(b.label("labelFrame") != "--", capture);
    QCOMPARE(b.markers->showsMarkers(), capture);
    QCOMPARE(b.strip->plotter->graph(0)->data()->isEmpty(), !capture);
    QCOMPARE(b.stripClicks(), capture);
    QCOMPARE(window.m_actionSave->isEnabled(), capture);
  }

private slots:
  void init() { freshWindowState(); }
  void cleanup() { MainWindow::setClock({}); }

  void barsFollowTheCapture()
  {
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    Rig rig(2);
    MainWindow &window = *rig.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    expectCapture(window, false);

    rig.start();
    QVERIFY(rig.runUntilStopped(5000));
    expectCapture(window, true);
    const QString path = dir.filePath("run.tovri");
    {
      DialogScript script({DialogScript::file(path)});
      QVERIFY(window.save(window.tabWidget()->currentIndex()) && script.done());
    }
    expectCapture(window, true);

    // The saved capture's tab closed: a fresh one takes its place.
    answerNextBox(QMessageBox::Yes);
    window.on_closeTab(0);
    QCOMPARE(window.tabWidget()->count(), 1);
    QCOMPARE(window.tabWidget()->tabText(0), QString("Capture 1"));
    expectCapture(window, false);

    // The capture opened again beside the fresh tab, then each in turn.
    QVERIFY(window.loadFile(path));
    QCOMPARE(window.tabWidget()->count(), 2);
    expectCapture(window, true);
    for (int index : {0, 1, 0, 1}) {
      window.tabWidget()->setCurrentIndex(index);
      expectCapture(window, index == 1);
    }
  }

  // A start with a logger on the bus and no capture opened: its channels
  // make a fresh tab, and the window is resized by a pixel and back.
  static void startWithLogger(const QSize &size)
  {
    SimBus bus;
    bus.add<SimLogger>();
    {
      MainWindow window;
      window.resize(size);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      quietLink();
      pump();
      QTRY_VERIFY(window.currentWidget());
      PlotWidget *plot = window.currentWidget()->plot;
      const int width = plot->width();
      window.resize(size + QSize(1, 0));
      QTRY_COMPARE(plot->width(), width + 1);
      window.resize(size);
      QTRY_COMPARE(plot->width(), width);
    }
    resetProcessState();
  }

  void markersKeepTheirPlacesAcrossStarts_data()
  {
    QTest::addColumn<bool>("logger");   // a start with a logger before each later one
    QTest::addColumn<QSize>("later");   // the window of the later starts
    QTest::addColumn<double>("second"); // where T2 is placed, in seconds
    const QSize first(1200, 800);
    QTest::newRow("opened capture") << false << first << 4.0;
    QTest::newRow("with a logger") << true << first << 4.0;
    QTest::newRow("smaller window") << false << QSize(900, 700) << 6.0;
  }

  // The markers come back where the user left them, start after start: the
  // places stored at the close are the ones read at the next start. A place
  // that the chart of a smaller window does not reach sends the pair to the
  // bar's middle.
  void markersKeepTheirPlacesAcrossStarts()
  {
    QFETCH(bool, logger);
    QFETCH(QSize, later);
    QFETCH(double, second);
    const QSize first(1200, 800);
    QTemporaryDir dir;
    const QString path = writeLoggerCapture(dir.filePath("run.tovri"), 3000, true);
    QVERIFY(!path.isEmpty());
    const double placed[2] = {3.0, second};
    double left[2] = {0, 0};
    for (int start = 0; start < 3; ++start) {
      if (logger && start > 0) {
        startWithLogger(first);
        if (QTest::currentTestFailed())
          return;
      }
      MainWindow window;
      window.resize(start == 0 ? first : later);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QVERIFY(window.loadFile(path));
      MarkerBar *bar = bars(window).markers;
      if (bar->isHidden())
        window.m_actionMarkers->trigger();
      QTRY_VERIFY(bar->isVisible() && bar->showsMarkers());
      PlotAxis *axis = window.currentWidget()->plot->xAxis;
      const PlotRange shown = axis->range();
      QCOMPARE(shown.lower, 0.0);
      const bool smaller = start > 0 && later != first;
      if (start == 0) {
        // Placed as a drag leaves them: on whole pixels.
        for (int i = 0; i < 2; ++i) {
          const double x = std::round(axis->coordToPixel(placed[i]));
          bar->marker(i)->move(x, axis->pixelToCoord(x));
          left[i] = x;
        }
      } else if (smaller && start == 1) {
        // T1 is within this chart's reach, T2 on the bar but beyond the
        // chart's end: the pair takes the rule of a place off the bar, T1
        // at the bar's middle and T2 a tag's width to its right.
        const double end = axis->coordToPixel(shown.upper);
        QVERIFY2(left[0] < end && left[1] > end && left[1] <= bar->geometry().right(),
                 qPrintable(QString("%1 %2 %3").arg(left[0]).arg(left[1]).arg(end)));
        const QRect edges = bar->geometry();
        left[0] = (edges.left() + edges.right()) / 2;
        left[1] = left[0] + 16;
        QVERIFY(left[1] <= end);
      }
      for (int i = 0; i < 2; ++i) {
        const double time = bar->marker(i)->time;
        QCOMPARE(bar->marker(i)->x, left[i]);
        QVERIFY2(time >= shown.lower && time <= shown.upper, qPrintable(QString::number(time)));
        if (!smaller)
          QVERIFY2(std::abs(time - placed[i]) < 0.05, qPrintable(QString::number(time)));
      }
      QVERIFY(bar->marker(0)->time < bar->marker(1)->time);
    }
  }

  void markersAtEveryWidth_data()
  {
    QTest::addColumn<bool>("supply");
    QTest::addColumn<bool>("docks");
    QTest::newRow("logger, docks") << false << true;
    QTest::newRow("logger, no docks") << false << false;
    QTest::newRow("supply, docks") << true << true;
    QTest::newRow("supply, no docks") << true << false;
  }

  // The window narrowed step by step to its smallest and widened again,
  // docks shown or hidden on the way: the markers always hold finite times,
  // the times they were given; while the chart has room they stand on its
  // time axis, T1 before T2, and the axis never runs right to left.
  void markersAtEveryWidth()
  {
    QFETCH(bool, supply);
    QFETCH(bool, docks);
    QTemporaryDir dir;
    const QString path = supply ? writeSupplyCapture(dir.filePath("bench.kelvpow"), false, {0, 1, 2}, 300)
                                : writeLoggerCapture(dir.filePath("run.tovri"), 3000, true);
    QVERIFY(!path.isEmpty());
    MainWindow window;
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.loadFile(path));
    MarkerBar *bar = bars(window).markers;
    if (bar->isHidden())
      window.m_actionMarkers->trigger();
    QTRY_VERIFY(bar->isVisible() && bar->showsMarkers());
    PlotWidget *plot = window.currentWidget()->plot;
    PlotAxis *axis = plot->xAxis;
    auto settle = [&] {
      QCoreApplication::processEvents();
      QCoreApplication::processEvents();
      plot->replot(PlotWidget::rpNow);
    };
    settle();
    const double wanted[2] = {3.0, 6.0};
    for (int i = 0; i < 2; ++i) {
      const double x = std::round(axis->coordToPixel(wanted[i]));
      bar->marker(i)->move(x, axis->pixelToCoord(x));
    }
    const double times[2] = {bar->marker(0)->time, bar->marker(1)->time};
    auto check = [&](const QString &where) {
      const QByteArray what = where.toUtf8();
      const PlotRange shown = axis->range();
      const double lo = axis->coordToPixel(shown.lower), hi = axis->coordToPixel(shown.upper);
      QVERIFY2(lo <= hi, what.constData());
      for (int i = 0; i < 2; ++i) {
        const Marker *m = bar->marker(i);
        QVERIFY2(std::isfinite(m->time) && std::isfinite(m->x), what.constData());
        QVERIFY2(m->time == times[i], qPrintable(where + QString(": T%1 at %2 s").arg(i + 1).arg(m->time)));
        if (hi - lo >= 16)
          QVERIFY2(m->x >= lo && m->x <= hi && std::abs(m->x - axis->coordToPixel(m->time)) < 1e-6,
                   qPrintable(where + QString(": T%1 at x %2, axis %3..%4").arg(i + 1).arg(m->x).arg(lo).arg(hi)));
      }
      QVERIFY2(bar->marker(0)->x < bar->marker(1)->x, what.constData());
    };
    check(QStringLiteral("placed"));
    if (!docks) {
      // The chart widens with no resize of the window.
      window.dockStatus()->hide();
      window.dockControl()->hide();
      settle();
      check(QStringLiteral("docks hidden"));
    }
    window.resize(100, 800);
    QTRY_VERIFY(window.width() < 1200);
    const int smallest = window.width();
    QList<int> widths;
    for (int w = 1200; w > smallest; w -= 37)
      widths << w;
    widths << smallest;
    for (int w = smallest + 23; w <= 1200; w += 61)
      widths << w;
    widths << 1200;
    bool roomless = false;
    for (int w : std::as_const(widths)) {
      window.resize(w, 800);
      QTRY_COMPARE(window.width(), w);
      settle();
      roomless = roomless || plot->axisRect()->rect().width() < 16;
      check(QString("width %1").arg(w));
      if (QTest::currentTestFailed())
        return;
    }
    // Beside the docks the smallest window leaves the chart no room for its
    // time axis.
    QCOMPARE(roomless, docks);
    if (docks) {
      window.dockStatus()->hide();
      window.dockControl()->hide();
      settle();
      check(QStringLiteral("docks hidden at 1200"));
      window.dockStatus()->show();
      window.dockControl()->show();
      settle();
      check(QStringLiteral("docks shown again"));
    }
  }
};

TOVRI_TEST(ChartBarsTest)
#include "tst_chartbars.moc"
