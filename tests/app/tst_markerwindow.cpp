#include "capturerig.h"
#include "marker.h"
#include "markerbar.h"
#include "plot.h"
#include "powerpanel.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QListWidget>
#include <QTemporaryDir>

#include <cmath>

using namespace AppFixture;

// The marker pair in the real window: where it first stands over a capture,
// what it marks while the chart has no room for it, and that only a drag
// changes the order of T1 and T2.
class MarkerWindowTest : public QObject
{
  Q_OBJECT

  static MarkerBar *markerBar(MainWindow &window) { return window.findChild<MarkerBar *>("markerBar"); }

  static void showMarkers(MainWindow &window)
  {
    if (markerBar(window)->isHidden())
      window.m_actionMarkers->trigger();
  }

  static void settle(PlotWidget *plot)
  {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    plot->replot(PlotWidget::rpNow);
  }

  static QString describe(const MarkerBar *bar, const PlotAxis *axis)
  {
    return QStringLiteral("T1 x %1 (%2 s), T2 x %3 (%4 s), window %5..%6 s")
      .arg(bar->marker(0)->x)
      .arg(bar->marker(0)->time)
      .arg(bar->marker(1)->x)
      .arg(bar->marker(1)->time)
      .arg(axis->range().lower)
      .arg(axis->range().upper);
  }

  // The pair where a first chart puts it: T1 at the middle of the shown time
  // range, T2 a tag's width to its right, each marking the time under it.
  static bool atFirstPlace(const MarkerBar *bar, const PlotAxis *axis)
  {
    const Marker *t1 = bar->marker(0), *t2 = bar->marker(1);
    const double centre = axis->range().center();
    return std::abs(t1->time - centre) < 1e-9 && std::abs(t1->x - axis->coordToPixel(centre)) < 1e-6 &&
           std::abs(t2->x - (t1->x + 16)) < 1e-6 && std::abs(t2->time - axis->pixelToCoord(t2->x)) < 1e-9;
  }

  // Both markers on the time axis, marking the times under them.
  static bool onChart(const MarkerBar *bar, const PlotAxis *axis)
  {
    const double lo = axis->coordToPixel(axis->range().lower), hi = axis->coordToPixel(axis->range().upper);
    for (int i = 0; i < 2; ++i) {
      const Marker *m = bar->marker(i);
      if (!(m->x >= lo && m->x <= hi) || std::abs(m->time - axis->pixelToCoord(m->x)) > 1e-9)
        return false;
    }
    return true;
  }

  static bool timesShown(const MarkerBar *bar, const PlotAxis *axis)
  {
    return axis->range().contains(bar->marker(0)->time) && axis->range().contains(bar->marker(1)->time);
  }

  // A finished capture whose records begin at `start` seconds: a logger's
  // three channels every 10 ms, or a supply's channels #0..#2 every 100 ms.
  static QString writeCapture(const QString &path, bool supply, double start)
  {
    const bool wasV1 = Helpers::powerMode, wasV2 = Helpers::powerV2Mode;
    Helpers::powerMode = supply;
    Helpers::powerV2Mode = false;
    SwapFile writer;
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    const double step = supply ? 0.1 : 0.01;
    for (int k = 0; k < 3000; ++k)
      for (int c = 0; c < 3; ++c)
        maps[c]->insert(start + k * step, PlotData(start + k * step, c * 100.0 + k % 500));
    bool ok = writer.create(path);
    if (supply)
      ok = ok && writer.setHeader(3, 0x07, false, 1000, false) && writer.appendPower(0, -1, maps, true);
    else
      ok = ok && writer.setLoggerHeader(7, 100) && writer.append(0, -1, maps, true);
    ok = ok && writer.stop();
    writer.close();
    Helpers::powerMode = wasV1;
    Helpers::powerV2Mode = wasV2;
    return ok ? path : QString();
  }

  static void runStoppedLoggerCapture(const QSize &size)
  {
    CaptureRig::Rig rig(2);
    MainWindow &window = *rig.window;
    window.resize(size);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    rig.start();
    QVERIFY(rig.runUntilStopped(5000));
    expectFirstPlace(window);
  }

  static void runStoppedSupplyLog(const QSize &size)
  {
    writeSettings({{"Options/time-length-index", MainWindow::MeasuringTimeRows - 2}});
    SimBus bus;
    bus.add<SimPowerSupply>();
    MainWindow::setClock([&bus] { return bus.now(); });
    MainWindow window;
    quietLink();
    pump(2);
    window.resize(size);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *panel = qobject_cast<PowerPanel *>(window.dockControl()->widget());
    QVERIFY(panel);
    emit panel->requestPowerStatus(QStringLiteral("POWER\n"));
    pump(1);
    auto *list = panel->findChild<QListWidget *>("listWidget");
    for (int row : {0, 1, 2})
      list->item(row)->setCheckState(Qt::Checked);
    panel->findChild<QPushButton *>("btnStart")->click();
    QVERIFY(Helpers::isMeasuring);
    CaptureRig::runBus(bus, window, 3000);
    panel->findChild<QPushButton *>("btnStop")->click();
    pump(1);
    QVERIFY(!Helpers::isMeasuring);
    expectFirstPlace(window);
  }

  // Two captures of a kind, the later one's records from 58.674 s, and a
  // window made after them; open() shows it 1200 px wide with the first
  // capture and the markers, drawn.
  struct TwoCaptures
  {
    explicit TwoCaptures(bool supply)
      : first(writeCapture(dir.filePath(supply ? "first.kelvpow" : "first.tovri"), supply, 0)),
        later(writeCapture(dir.filePath(supply ? "later.kelvpow" : "later.tovri"), supply, 58.674))
    {
    }

    QTemporaryDir dir;
    const QString first, later;
    MainWindow window;

    // Whether it stands so; the step that failed says so itself.
    bool open()
    {
      showFirst();
      return !QTest::currentTestFailed();
    }

    void showFirst()
    {
      QVERIFY(!first.isEmpty() && !later.isEmpty());
      window.resize(1200, 800);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QVERIFY(window.loadFile(first));
      showMarkers(window);
      MarkerBar *bar = markerBar(window);
      QTRY_VERIFY(bar->isVisible() && bar->showsMarkers());
      settle(window.currentWidget()->plot);
    }
  };

  static void expectFirstPlace(MainWindow &window)
  {
    showMarkers(window);
    MarkerBar *bar = markerBar(window);
    QTRY_VERIFY(bar->isVisible() && bar->showsMarkers());
    PlotWidget *plot = window.currentWidget()->plot;
    settle(plot);
    QVERIFY2(atFirstPlace(bar, plot->xAxis), qPrintable(describe(bar, plot->xAxis)));
  }

private slots:
  void init() { freshWindowState(); }
  void cleanup() { MainWindow::setClock({}); }

  void firstShownOverAStoppedCapture_data()
  {
    QTest::addColumn<bool>("supply");
    QTest::addColumn<QSize>("size");
    for (const QSize &size : {QSize(1200, 800), QSize(900, 700), QSize(1600, 900)}) {
      QTest::newRow(qPrintable(QStringLiteral("logger, %1 px").arg(size.width()))) << false << size;
      QTest::newRow(qPrintable(QStringLiteral("supply, %1 px").arg(size.width()))) << true << size;
    }
  }
  // With no stored places the pair is first shown at the middle of the
  // window the stopped capture shows.
  void firstShownOverAStoppedCapture()
  {
    QFETCH(bool, supply);
    QFETCH(QSize, size);
    if (supply)
      runStoppedSupplyLog(size);
    else
      runStoppedLoggerCapture(size);
  }

  void firstShownOverAnOpenedCapture_data()
  {
    QTest::addColumn<bool>("supply");
    QTest::addColumn<int>("width");
    for (int width : {1200, 900, 1600}) {
      QTest::newRow(qPrintable(QStringLiteral("logger, %1 px").arg(width))) << false << width;
      QTest::newRow(qPrintable(QStringLiteral("supply, %1 px").arg(width))) << true << width;
    }
  }
  void firstShownOverAnOpenedCapture()
  {
    QFETCH(bool, supply);
    QFETCH(int, width);
    QTemporaryDir dir;
    const QString path = writeCapture(dir.filePath(supply ? "bench.kelvpow" : "run.tovri"), supply, 0);
    QVERIFY(!path.isEmpty());
    MainWindow window;
    window.resize(width, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.loadFile(path));
    expectFirstPlace(window);
  }

  void noRoomKeepsTimesOfTheCapture_data()
  {
    QTest::addColumn<bool>("supply");
    QTest::newRow("logger") << false;
    QTest::newRow("supply") << true;
  }
  // The smallest window beside the docks leaves the chart no room for the
  // pair; a capture opened then, whose records lie from 58.674 s, gets
  // marker times it shows, and the pair stands on its chart, apart, once
  // the window is wide again.
  void noRoomKeepsTimesOfTheCapture()
  {
    QFETCH(bool, supply);
    TwoCaptures s(supply);
    QVERIFY(s.open());
    MainWindow &window = s.window;
    MarkerBar *bar = markerBar(window);

    window.resize(100, 800);
    QTRY_VERIFY(window.width() < 1200);
    settle(window.currentWidget()->plot);
    QVERIFY(window.loadFile(s.later));
    showMarkers(window);
    PlotWidget *plot = window.currentWidget()->plot;
    settle(plot);
    QVERIFY(plot->axisRect()->rect().width() < 16);
    QVERIFY(plot->xAxis->range().lower >= 58.674);
    QVERIFY2(timesShown(bar, plot->xAxis), qPrintable(describe(bar, plot->xAxis)));
    QVERIFY2(bar->marker(0)->time < bar->marker(1)->time, qPrintable(describe(bar, plot->xAxis)));
    bar->updateToolTip();
    QVERIFY2(bar->toolTipText.contains("#0: "), qPrintable(bar->toolTipText));

    window.resize(1200, 800);
    QTRY_COMPARE(window.width(), 1200);
    settle(plot);
    QVERIFY2(onChart(bar, plot->xAxis), qPrintable(describe(bar, plot->xAxis)));
    QVERIFY2(bar->marker(1)->x - bar->marker(0)->x > 16 - 1e-6, qPrintable(describe(bar, plot->xAxis)));
  }

  // A window closed before the pair was ever placed stores no places: the
  // next start puts the pair at the middle of its first capture's window.
  void unplacedPairStoresNoPlaces()
  {
    {
      CaptureRig::Rig rig(2);
      rig.window->resize(1200, 800);
      rig.window->show();
      QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
      QTRY_VERIFY(rig.window->currentWidget());
      QVERIFY(markerBar(*rig.window)->marker(0));
    }
    QVERIFY(!readSetting("Main/marker-1").isValid());
    QVERIFY(!readSetting("Main/marker-2").isValid());
    resetProcessState();
    runStoppedLoggerCapture(QSize(1200, 800));
  }

  void onlyADragChangesTheOrder_data()
  {
    QTest::addColumn<bool>("supply");
    QTest::addColumn<bool>("crossed"); // T1 dragged past T2
    QTest::newRow("logger, in order") << false << false;
    QTest::newRow("logger, T1 past T2") << false << true;
    QTest::newRow("supply, in order") << true << false;
    QTest::newRow("supply, T1 past T2") << true << true;
  }
  // Markers near the end of the time axis, hidden and shown again; the
  // window narrowed until the chart has no room, another capture opened and
  // the window widened step by step: T1 and T2 keep the order they had.
  void onlyADragChangesTheOrder()
  {
    QFETCH(bool, supply);
    QFETCH(bool, crossed);
    TwoCaptures s(supply);
    QVERIFY(s.open());
    MainWindow &window = s.window;
    MarkerBar *bar = markerBar(window);
    PlotWidget *plot = window.currentWidget()->plot;
    PlotAxis *axis = plot->xAxis;
    // Dragged as the user does; T1 lands past T2 or before it.
    const double end = std::round(axis->coordToPixel(axis->range().upper));
    const double to[2] = {crossed ? end - 10 : end - 80, crossed ? end - 80 : end - 10};
    for (int i : {1, 0}) {
      Marker *m = bar->marker(i);
      for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseMove, QEvent::MouseButtonRelease}) {
        const QPointF pos(type == QEvent::MouseButtonPress ? m->x + 8 : to[i], 10);
        QMouseEvent e(type, pos, bar->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &e);
      }
      QCOMPARE(m->x, to[i]);
    }
    auto inOrder = [&] {
      return crossed ? bar->marker(1)->x < bar->marker(0)->x && bar->marker(1)->time < bar->marker(0)->time
                     : bar->marker(0)->x < bar->marker(1)->x && bar->marker(0)->time < bar->marker(1)->time;
    };
    window.m_actionMarkers->trigger();
    settle(plot);
    window.m_actionMarkers->trigger();
    settle(plot);
    QVERIFY(inOrder());
    window.resize(100, 800);
    QTRY_VERIFY(window.width() < 1200);
    settle(plot);
    QVERIFY(window.loadFile(s.later));
    showMarkers(window);
    plot = window.currentWidget()->plot;
    axis = plot->xAxis;
    settle(plot);
    QVERIFY2(inOrder(), qPrintable(describe(bar, axis)));
    for (int w = window.width() + 50; w <= 1200; w += 50) {
      window.resize(w, 800);
      QTRY_COMPARE(window.width(), w);
      settle(plot);
      const QString what = QStringLiteral("width %1: ").arg(w) + describe(bar, axis);
      QVERIFY2(inOrder(), qPrintable(what));
      if (plot->axisRect()->rect().width() >= 16)
        QVERIFY2(onChart(bar, axis), qPrintable(what));
    }
  }
};

TOVRI_TEST(MarkerWindowTest)
#include "tst_markerwindow.moc"
