#include "appfixture.h"
#include "glwidget.h"
#include "navigationbar.h"
#include "plot.h"
#include "plotitemline.h"
#include "swapfile.h"
#include "testmain.h"

#include <QInputDialog>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <cmath>
#include <functional>

using namespace AppFixture;

namespace {

// Records 1/8 s apart, so that every whole second is a record's exact time.
constexpr double RecordStep = 0.125;

// A finished logger capture of #0..#2 from `first` to `last` seconds, under
// the header of a logger at 10 kHz / `divider` (the reader finds records by
// their own times, so a few of them stand for a fast rate).
QString writeCapture(const QString &path, double first, double last, quint16 divider)
{
  SwapFile writer;
  QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
  const qint64 count = qint64(std::floor((last - first) / RecordStep)) + 1;
  for (qint64 k = 0; k < count; ++k) {
    const double t = first + double(k) * RecordStep;
    for (int c = 0; c < 3; ++c)
      maps[c]->insert(t, PlotData(t, 100.0 * c + double(k % 50)));
  }
  const bool ok = writer.create(path) && writer.setLoggerHeader(7, divider) && writer.append(0, -1, maps, false) &&
                  writer.stop();
  qDeleteAll(maps);
  return ok ? path : QString();
}

QString describe(const PlotRange &range)
{
  return QStringLiteral("%1..%2").arg(range.lower, 0, 'g', 17).arg(range.upper, 0, 'g', 17);
}

} // namespace

// Paging a reviewed capture through its file: where a drag, a click on the
// strip and a new viewing interval place the window and what they read.
class WindowPagingTest : public QObject
{
  Q_OBJECT

  QTemporaryDir m_dir;
  int m_files = 0; // one file of its own for each test row

  static void layOut(MainWindow &window)
  {
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
  }

  // Selects the viewing interval's custom entry; while its dialog is up,
  // `meanwhile` runs, then `value` is entered. False when no dialog came.
  static bool enterCustomInterval(MainWindow &window, int value, const std::function<void()> &meanwhile = {})
  {
    bool asked = false;
    QTimer::singleShot(0, &window, [&] {
      auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
      if (!dialog)
        return;
      asked = true;
      if (meanwhile)
        meanwhile();
      dialog->setIntValue(value);
      dialog->accept();
    });
    QComboBox *list = window.m_comboShowAll;
    const int custom = MainWindow::ShowAllRows - 1;
    list->setCurrentIndex(custom);
    emit list->activated(custom);
    return asked;
  }

private slots:
  void init()
  {
    freshWindowState();
    QVERIFY(m_dir.isValid());
  }

  // A drag that wants a window near the start of a capture whose first
  // samples were lost (its records begin after 0) reads a whole viewing
  // interval from the first record on, never one cut by the stretch before
  // it; farther in, the read is centred on the window the drag wanted.
  void dragReadsFromTheFirstRecord_data()
  {
    QTest::addColumn<double>("first");   // the capture's first record (s)
    QTest::addColumn<int>("interval");   // index in the viewing-interval list
    QTest::addColumn<double>("span");    // the window's length before the drag
    QTest::addColumn<double>("wanted");  // the lower end the drag wanted
    QTest::addColumn<double>("heldFrom");
    QTest::addColumn<double>("heldTo");
    QTest::newRow("60 s held, a drag to 1 s past the start") << 20.0 << 2 << 10.0 << 21.0 << 20.0 << 80.0;
    QTest::newRow("60 s held, a drag to 20 s past the start") << 20.0 << 2 << 10.0 << 40.0 << 20.0 << 80.0;
    QTest::newRow("60 s held, a drag well inside") << 20.0 << 2 << 10.0 << 95.0 << 70.0 << 130.0;
    // 4.8 + 5 - 5 lies past 4.8 in doubles: a read centred on 4.8 + 5
    // would leave out the first record.
    QTest::newRow("10 s held, zoomed in, a drag just past a start at 4.8 s")
      << 4.8 << 0 << 2.0 << 5.8 << 4.8 << 14.8;
  }

  void dragReadsFromTheFirstRecord()
  {
    QFETCH(double, first);
    QFETCH(int, interval);
    QFETCH(double, span);
    QFETCH(double, wanted);
    QFETCH(double, heldFrom);
    QFETCH(double, heldTo);
    writeSettings({{"Options/showall-length-index", interval}});
    const QString path = writeCapture(m_dir.filePath(QStringLiteral("late-%1.tovri").arg(++m_files)), first, 200, 100);
    QVERIFY(!path.isEmpty());
    MainWindow window;
    QVERIFY(window.loadFile(path));
    GLWidget *tab = window.currentWidget();
    QVERIFY(tab && tab->swapFile);
    QCOMPARE(tab->swapFile->firstTime, first);
    const int seconds = window.viewingSeconds(tab);
    QCOMPARE(seconds, window.m_comboShowAll->itemData(interval).toInt());
    // Paged on, far from the start, the window `span` long.
    window.on_swapPositionChanged(150);
    QVERIFY(tab->timeRange().lower > first + seconds);
    const double centre = window.plotter()->xAxis->range().center();
    window.setXRange(centre - span / 2, centre + span / 2);
    QCOMPARE(window.plotter()->xAxis->range().size(), span);

    window.on_rangeBorderReached(wanted, wanted + span);
    window.on_mouseRelease(nullptr);

    const PlotRange held = tab->timeRange();
    QVERIFY2(held.lower == heldFrom && std::abs(held.upper - heldTo) <= RecordStep, qPrintable(describe(held)));
    const PlotRange shown = window.plotter()->xAxis->range();
    QVERIFY2(std::abs(shown.size() - span) < 1e-9 && shown.lower >= held.lower && shown.upper <= held.upper,
             qPrintable(describe(shown)));
    // Centred where the drag wanted, at least half a 10 s window in.
    QVERIFY2(std::abs(shown.center() - qMax(first + 5, wanted + span / 2)) < 1e-9, qPrintable(describe(shown)));
  }

  // Where a window placed from `lower` ends: with the points held when it
  // would reach past them (unless that window is on show already), and
  // never at or before its own lower end, whatever is held.
  void windowEnd_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("heldUpper");
    QTest::addColumn<double>("end");
    QTest::newRow("past the points held") << 20.0 << 30.0 << 25.0 << 25.0;
    QTest::newRow("inside the points held") << 20.0 << 30.0 << 40.0 << 30.0;
    QTest::newRow("the window on show") << 0.0 << 10.0 << 4.0 << 10.0;
    QTest::newRow("points held up to the lower end only") << 20.0 << 30.0 << 20.0 << 30.0;
    QTest::newRow("no point held past the lower end") << 20.0 << 30.0 << 0.0 << 30.0;
  }

  void windowEnd()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, heldUpper);
    QFETCH(double, end);
    PlotWidget plot;
    plot.xAxis->setRange(0, 10);
    QCOMPARE(MainWindow::windowEnd(plot.xAxis, lower, upper, heldUpper), end);
  }

  // A click on the strip centres the window, its length kept, on the
  // clicked time truncated to the second, at the time of the pixel
  // clicked; the viewing interval read is centred there too, and the
  // strip's line marks that centre.
  void stripClickCentresTheWindow_data()
  {
    QTest::addColumn<double>("near");    // where on the strip to click (s)
    QTest::addColumn<int>("edge");       // 1: the next pixel is in the next second; -1: the one before is in the last
    QTest::addColumn<double>("offset");  // of the pointer from that pixel
    QTest::newRow("just before a whole second") << 100.0 << 1 << 0.0;
    QTest::newRow("just after a whole second") << 150.0 << -1 << 0.0;
    QTest::newRow("just before a whole second, the pointer 0.4 px left") << 200.0 << 1 << -0.4;
    QTest::newRow("just after a whole second, the pointer 0.4 px right") << 120.0 << -1 << 0.4;
  }

  void stripClickCentresTheWindow()
  {
    QFETCH(double, near);
    QFETCH(int, edge);
    QFETCH(double, offset);
    writeSettings({{"Options/showall-length-index", 2}}); // 60 s: room around the window
    const QString path = writeCapture(m_dir.filePath(QStringLiteral("long-%1.tovri").arg(++m_files)), 0, 300, 100);
    QVERIFY(!path.isEmpty());
    MainWindow window;
    layOut(window);
    QVERIFY(window.loadFile(path));
    GLWidget *tab = window.currentWidget();
    PlotAxis *time = window.plotter()->xAxis;
    const double span = time->range().size();
    QCOMPARE(span, 10.0);
    auto *strip = window.findChild<NavigationBar *>(QStringLiteral("navigationBar"));
    QVERIFY(strip && strip->isEnabledForClicks());
    PlotWidget *overview = strip->plotter;
    overview->replot(PlotWidget::rpNow);
    PlotAxis *axis = overview->xAxis;
    QVERIFY2(axis->range().upper >= 299, qPrintable(describe(axis->range())));
    // A pixel whose second differs from its neighbour's on the `edge` side.
    int pixel = int(std::round(axis->coordToPixel(near)));
    const auto second = [axis](int p) { return int(axis->pixelToCoord(p)); };
    for (int i = 0; i < 20 && second(pixel) == second(pixel + edge); ++i)
      pixel += edge;
    QVERIFY(second(pixel) != second(pixel + edge));
    const int centre = second(pixel);
    QVERIFY(centre > 40 && centre < 260);

    const QPointF at(pixel + offset, overview->height() - 5);
    QMouseEvent click(QEvent::MouseButtonRelease, at, overview->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    emit overview->axisClick(axis, PlotAxis::spAxis, &click);

    const PlotRange shown = time->range();
    QVERIFY2(shown.lower == centre - span / 2 && shown.upper == centre + span / 2,
             qPrintable(QStringLiteral("clicked second %1, shown %2").arg(centre).arg(describe(shown))));
    const PlotRange held = tab->timeRange();
    QVERIFY2(held.lower == centre - 30.0 && held.upper == centre + 30.0,
             qPrintable(QStringLiteral("clicked second %1, held %2").arg(centre).arg(describe(held))));
    auto *line = overview->findChild<PlotItemStraightLine *>();
    QVERIFY(line);
    QCOMPARE(line->point1->coords().x(), double(centre));
  }

  // The viewing interval's dialog lets events run: the tab it was opened
  // over may go meanwhile (as a cancelled read's tab goes by itself), and
  // the tab current after it, a capture loaded under an older, shorter
  // interval, is read again with the new one, though the number of seconds
  // it holds at its rate matches what the first tab held.
  void newIntervalReloadsTheTabCurrentAfterTheDialog()
  {
    // 10 kHz: at most 200 s are held whatever the interval beyond that.
    const QString path = writeCapture(m_dir.filePath("fast.tovri"), 0, 250, 1);
    QVERIFY(!path.isEmpty());
    MainWindow window;
    QVERIFY(window.loadFile(path));
    QPointer<GLWidget> capture = window.currentWidget();
    QVERIFY(capture);
    // The first 10 s held.
    QVERIFY2(capture->timeRange().upper <= 10, qPrintable(describe(capture->timeRange())));
    window.addTab();
    QPointer<GLWidget> asked = window.currentWidget();
    asked->addChannels({});
    QVERIFY(asked != capture && asked->isEmpty());
    // 200 s for the tab without a capture: nothing to read.
    QVERIFY(enterCustomInterval(window, 200));
    QCOMPARE(window.showAllLength(), 200);
    QVERIFY(capture->timeRange().upper <= 10);
    QCOMPARE(window.viewingSeconds(asked.data()), 200);

    QVERIFY(enterCustomInterval(window, 300, [&] { window.closeTabSilent(window.tabWidget()->indexOf(asked), true); }));

    QVERIFY(!asked);
    QCOMPARE(window.showAllLength(), 300);
    QCOMPARE(window.currentWidget(), capture.data());
    QCOMPARE(window.viewingSeconds(capture.data()), 200);
    QVERIFY2(capture->timeRange().lower == 0 && capture->timeRange().upper == 200,
             qPrintable(describe(capture->timeRange())));
    QVERIFY2(window.plotter()->xAxis->range().lower == 0 && window.plotter()->xAxis->range().upper == 200,
             qPrintable(describe(window.plotter()->xAxis->range())));
    QVERIFY(statusText(window).contains(QLatin1String("limited to 200 s")));
  }
};

TOVRI_TEST(WindowPagingTest)
#include "tst_windowpaging.moc"
