#include "appfixture.h"
#include "calculator.h"
#include "helpers.h"
#include "marker.h"
#include "markerbar.h"
#include "plot.h"
#include "processstate.h"
#include "reportbar.h"
#include "swapfile.h"
#include "testmain.h"

#include <QLabel>
#include <QPointer>
#include <QRadioButton>

#include <QDir>

using namespace AppFixture;

namespace {

// Samples every 0.1 s; channel #0 reads 1000 + k µA at sample k, so a span's
// mean is easy to state: 1 mA + the mean sample index in µA.
constexpr double Step = 0.1;
constexpr quint16 Divider = 1000; // 10 records per second

double channel0(qint64 k) { return 1000.0 + double(k); }

// A finished logger capture of `count` samples in the temporary folder,
// loaded into the window's current tab as a capture run leaves it.
// With `nanInFile` the file holds NaN for every channel #0 sample.
GLWidget *loadCapture(MainWindow &window, quint16 mask, qint64 count, bool nanInFile = false)
{
  window.addTab();
  GLWidget *tab = window.currentWidget();
  tab->addChannels({0, 1, 2});
  if (tab->maps.size() < 3)
    return nullptr;
  static int serial = 0;
  const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("calc%1.tmp").arg(++serial));
  SwapFile writer;
  if (!writer.create(path) || !writer.setLoggerHeader(mask, Divider))
    return nullptr;
  QList<PlotDataMap *> maps;
  for (int c = 0; c < 3; ++c)
    maps << new PlotDataMap;
  for (qint64 k = 0; k < count; ++k) {
    const double key = double(k) / 10.0;
    for (int c = 0; c < 3; ++c) {
      if (!(mask & (1u << c)))
        continue;
      const PlotData point(key, c == 0 ? channel0(k) : 3300.0);
      maps[c]->insert(key, c == 0 && nanInFile ? PlotData(key, qQNaN()) : point);
      tab->maps[c]->insert(key, point);
    }
  }
  const bool ok = writer.append(0, 0, maps, false) && writer.stop();
  qDeleteAll(maps);
  if (!ok)
    return nullptr;
  tab->swapFile = new SwapFile(SwapFile::readHeader(path), tab);
  tab->swapFile->file.setFileName(path);
  tab->report = tab->swapFile->readReport();
  return tab;
}

MarkerBar *showMarkers(MainWindow &window, double t1, double t2)
{
  auto *bar = window.findChild<MarkerBar *>("markerBar");
  bar->setPlotter(window.currentWidget());
  if (bar->isHidden())
    window.m_actionMarkers->trigger();
  if (!bar->marker(0))
    bar->addMarker();
  if (bar->marker(0) && bar->marker(1)) {
    bar->marker(0)->time = t1;
    bar->marker(1)->time = t2;
  }
  return bar;
}

Calculator *openCalculator(MainWindow &window)
{
  window.m_actionCalculator->trigger();
  return window.findCalculator();
}

} // namespace

// The Calculator action and the records the window computes for it.
class CalculatorActionTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void oneCalculator()
  {
    MainWindow window;
    QVERIFY(loadCapture(window, 0x7, 101));
    Calculator *first = openCalculator(window);
    QVERIFY(first);
    QVERIFY(first->isVisible());
    first->hide();
    QCOMPARE(openCalculator(window), first);
    QVERIFY(first->isVisible());
    QCOMPARE(window.findChildren<Calculator *>().size(), 1);
    // The same button closes it; the next click opens a new one.
    QPointer<Calculator> closed = first;
    QCOMPARE(openCalculator(window), nullptr);
    QVERIFY(closed && !closed->isVisible());
    Calculator *second = openCalculator(window);
    QVERIFY(second && second != closed && second->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!closed);
    QCOMPARE(window.findChildren<Calculator *>().size(), 1);
  }

  // Esc closes the calculator the toolbar opened, wherever its focus is,
  // once the user has clicked into it.
  void escapeClosesTheOpenCalculator_data()
  {
    QTest::addColumn<QString>("focus");
    QTest::newRow("the calculator") << QString();
    QTest::newRow("the capacity field") << QStringLiteral("spinBoxCapacity");
    QTest::newRow("the user field") << QStringLiteral("lineEditUser");
  }
  void escapeClosesTheOpenCalculator()
  {
    QFETCH(QString, focus);
    MainWindow window;
    QVERIFY(loadCapture(window, 0x7, 101));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPointer<Calculator> calculator = openCalculator(window);
    QVERIFY(calculator && calculator->isVisible());
    calculator->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(calculator));
    QWidget *target = focus.isEmpty() ? calculator.data() : calculator->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Escape);
    QVERIFY(calculator && !calculator->isVisible());
  }

  // The calculator opens with its whole frame on the main window's screen,
  // wherever its stored place was and whatever size it was stored with.
  void opensOnTheScreen_data()
  {
    QTest::addColumn<bool>("store");
    QTest::addColumn<bool>("fromBottomRight"); // the stored place counts from that corner
    QTest::addColumn<QRect>("stored");
    QTest::newRow("none stored") << false << false << QRect();
    QTest::newRow("half off at the bottom right") << true << true << QRect(-300, -200, 422, 356);
    QTest::newRow("off at the top left") << true << false << QRect(-100, -50, 422, 356);
    QTest::newRow("larger than the screen") << true << false << QRect(0, 0, 5000, 4000);
  }

  void opensOnTheScreen()
  {
    QFETCH(bool, store);
    QFETCH(bool, fromBottomRight);
    QFETCH(QRect, stored);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect available = window.screen()->availableGeometry();
    if (store) {
      QWidget owner;
      Calculator calculator(&owner);
      const QPoint corner = fromBottomRight ? available.bottomRight() + QPoint(1, 1) : available.topLeft();
      calculator.setGeometry(stored.translated(corner));
    }
    window.m_actionCalculator->trigger();
    Calculator *calculator = window.findCalculator();
    QVERIFY(calculator && calculator->isVisible());
    const QRect frame = calculator->frameGeometry();
    QVERIFY2(available.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                                       .arg(frame.x()).arg(frame.y()).arg(frame.width())
                                                       .arg(frame.height()).arg(available.width()).arg(available.height())));
  }

  void markerRecord_data()
  {
    QTest::addColumn<bool>("barShown");
    QTest::addColumn<double>("t1");
    QTest::addColumn<double>("t2");
    QTest::addColumn<int>("error");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("average");
    // Samples 20..50: mean index 35.
    QTest::newRow("in order") << true << 2.0 << 5.0 << 0 << 2.0 << 5.0 << 1.035;
    QTest::newRow("swapped") << true << 5.0 << 2.0 << 0 << 2.0 << 5.0 << 1.035;
    QTest::newRow("equal") << true << 5.0 << 5.0 << 5 << 0.0 << 0.0 << 0.0;
    QTest::newRow("hidden bar") << false << 2.0 << 5.0 << 4 << 0.0 << 0.0 << 0.0;
    // Between two samples: too close, not an empty capture.
    QTest::newRow("no samples between") << true << 2.02 << 2.08 << 5 << 2.02 << 2.08 << 0.0;
  }

  void markerRecord()
  {
    QFETCH(bool, barShown);
    QFETCH(double, t1);
    QFETCH(double, t2);
    QFETCH(int, error);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, average);
    MainWindow window;
    QVERIFY(loadCapture(window, 0x7, 101));
    MarkerBar *bar = showMarkers(window, t1, t2);
    QVERIFY(bar->marker(1));
    if (!barShown)
      window.m_actionMarkers->trigger();
    Calculator *calc = openCalculator(window);
    const CalculatorInfo &info = calc->getInfo(CalculatorInfo::Markers);
    QCOMPARE(info.error, error);
    if (error == 0 || error == 6) {
      QCOMPARE(info.t_from, from);
      QCOMPARE(info.t_to, to);
    }
    if (error == 0)
      QVERIFY(qAbs(info.average - average) < 1e-9);
    // The other sources are filled whatever the markers say.
    QCOMPARE(calc->getInfo(CalculatorInfo::Whole).error, 0);
  }

  void wholeVisibleAndWorking_data()
  {
    QTest::addColumn<double>("loadedBefore"); // the tab holds the points before this time
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("to"); // the visible span's end: its last record
    QTest::newRow("window within the points") << 1e9 << 10.0 << 20.0 << 20.0;
    QTest::newRow("window past the points, as after Open") << 10.0 << 0.0 << 10.0 << 9.9;
  }

  void wholeVisibleAndWorking()
  {
    QFETCH(double, loadedBefore);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, to);
    MainWindow window;
    // 1001 samples: a capture of 0 to 100 s.
    GLWidget *tab = loadCapture(window, 0x7, 1001);
    QVERIFY(tab);
    for (PlotDataMap *map : std::as_const(tab->maps))
      map->erase(map->lowerBound(loadedBefore), map->end());
    window.plotter()->xAxis->setRange(lower, upper);
    Calculator *calc = openCalculator(window);

    // The span named holds exactly the records averaged.
    const CalculatorInfo visible = calc->getInfo(CalculatorInfo::Visible);
    QCOMPARE(visible.error, 0);
    QCOMPARE(visible.t_from, lower);
    QCOMPARE(visible.t_to, to);
    QVERIFY(qAbs(visible.average - (1000.0 + (lower + to) * 5) / 1000.0) < 1e-9);

    const CalculatorInfo whole = calc->getInfo(CalculatorInfo::Whole);
    QCOMPARE(whole.error, 0);
    QCOMPARE(whole.t_from, 0.0);
    QCOMPARE(whole.t_to, 100.0);
    QVERIFY(qAbs(whole.average - channel0(500) / 1000.0) < 1e-9);

    const CalculatorInfo working = calc->getInfo(CalculatorInfo::Working);
    QCOMPARE(working.error, 0);
    QCOMPARE(working.t_from, 49.5);
    QCOMPARE(working.t_to, 50.5);
    QVERIFY(qAbs(working.average - channel0(500) / 1000.0) < 1e-6);

    // A visible window beyond the loaded points holds no sample.
    window.plotter()->xAxis->setRange(150, 160);
    emit calc->updateInfo();
    QCOMPARE(calc->getInfo(CalculatorInfo::Visible).error, 6);
  }

  void workingCycleWithoutSamples()
  {
    MainWindow window;
    QVERIFY(loadCapture(window, 0x7, 101, true));
    Calculator *calc = openCalculator(window);
    QCOMPARE(calc->getInfo(CalculatorInfo::Working).error, 6);
    // The sources before it are still computed from the loaded points.
    QCOMPARE(calc->getInfo(CalculatorInfo::Visible).error, 0);
  }

  void captureWithoutChannel0()
  {
    MainWindow window;
    QVERIFY(loadCapture(window, 0x6, 101));
    showMarkers(window, 2, 5);
    window.m_actionCalculator->trigger();
    Calculator *calc = window.findCalculator();
    QVERIFY(calc);
    const QList<CalculatorInfo> before = calc->infoList;
    window.on_updateCalculator();
    QCOMPARE(calc->infoList.first().error, 6);
    for (int i = 1; i < before.size(); ++i) {
      QCOMPARE(calc->infoList.at(i).error, before.at(i).error);
      QCOMPARE(calc->infoList.at(i).t_from, before.at(i).t_from);
      QCOMPARE(calc->infoList.at(i).average, before.at(i).average);
    }
  }

  // The calculator reads out the capture on show: after the second
  // capture, `then` the tab shown or the markers change.
  void openCalculatorFollowsMarkersAndCaptures_data()
  {
    QTest::addColumn<QString>("then");
    QTest::addColumn<QString>("radio");
    QTest::addColumn<double>("average"); // mA of the source chosen; 0: no estimate
    QTest::addColumn<QString>("whole");
    QTest::addColumn<double>("working"); // where the 1 s cycle begins
    QTest::newRow("the new capture") << "" << "radioButtonWhole" << 1.5 << "0.000 : 100.000s [100.000s]" << 49.5;
    QTest::newRow("the first tab again") << "first" << "radioButtonWhole" << 1.05 << "0.000 : 10.000s [10.000s]" << 4.5;
    QTest::newRow("an empty tab") << "empty" << "radioButtonWhole" << 0.0 << "-- : --" << 49.5;
    QTest::newRow("markers hidden") << "hide" << "radioButtonMarkers" << 0.0 << "0.000 : 100.000s [100.000s]" << 49.5;
  }

  void openCalculatorFollowsMarkersAndCaptures()
  {
    QFETCH(QString, then);
    QFETCH(QString, radio);
    QFETCH(double, average);
    QFETCH(QString, whole);
    QFETCH(double, working);
    MainWindow window;
    GLWidget *first = loadCapture(window, 0x7, 101);
    QVERIFY(first);
    MarkerBar *bar = showMarkers(window, 2, 5);
    Calculator *calc = openCalculator(window);
    calc->findChild<QRadioButton *>(radio)->setChecked(true);
    QCOMPARE(calc->getInfo(CalculatorInfo::Markers).t_to, 5.0);

    // A marker dragged to 8 s.
    bar->marker(1)->time = 8;
    emit bar->markerMoved(8);
    QCOMPARE(calc->getInfo(CalculatorInfo::Markers).t_to, 8.0);
    QVERIFY(qAbs(calc->getInfo(CalculatorInfo::Markers).average - channel0(50) / 1000.0) < 1e-9);

    // A capture ending, or a file opened, in a new tab: the calculator follows it.
    QVERIFY(loadCapture(window, 0x7, 1001));
    bar->setPlotter(window.currentWidget());
    window.findChild<ReportBar *>("reportBar")->update(window.currentWidget(), true);
    window.on_updateCalculator();
    QCOMPARE(calc->getInfo(CalculatorInfo::Whole).t_to, 100.0);

    if (then == "first")
      window.tabWidget()->setCurrentWidget(first);
    else if (then == "empty")
      window.addTab();
    else if (then == "hide")
      window.m_actionMarkers->trigger();
    const QString life = average > 0 ? Calculator::lifeText(3000, average) : "No estimate for this current";
    QTRY_COMPARE(calc->findChild<QLabel *>("bateryLife")->text(), life);
    QCOMPARE(calc->findChild<QLabel *>("labelWhole")->text(), whole);
    QCOMPARE(calc->findChild<QLabel *>("labelError")->text().isEmpty(), then != "empty");
    QCOMPARE(calc->getInfo(CalculatorInfo::Working).t_from, working);
  }
};

TOVRI_TEST(CalculatorActionTest)
#include "tst_calculatoraction.moc"
