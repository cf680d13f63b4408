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

  // The markers come back where the user left them, start after start: the
  // places stored at the close are the ones read at the next start.
  void markersKeepTheirPlacesAcrossStarts()
  {
    QTemporaryDir dir;
    const QString path = writeLoggerCapture(dir.filePath("run.tovri"), 3000, true);
    QVERIFY(!path.isEmpty());
    double left[2] = {0, 0};
    for (int start = 0; start < 3; ++start) {
      MainWindow window;
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QVERIFY(window.loadFile(path));
      MarkerBar *bar = bars(window).markers;
      if (bar->isHidden())
        window.m_actionMarkers->trigger();
      QTRY_VERIFY(bar->isVisible() && bar->showsMarkers());
      PlotAxis *axis = window.currentWidget()->plot->xAxis;
      QCOMPARE(axis->range().lower, 0.0);
      if (start == 0) {
        // Placed as a drag leaves them: on whole pixels, at about 3 s and 4 s.
        for (int i = 0; i < 2; ++i) {
          const double x = std::round(axis->coordToPixel(3.0 + i));
          bar->marker(i)->move(x, axis->pixelToCoord(x));
          left[i] = x;
        }
      }
      for (int i = 0; i < 2; ++i) {
        QCOMPARE(bar->marker(i)->x, left[i]);
        QVERIFY2(std::abs(bar->marker(i)->time - (3.0 + i)) < 0.05, qPrintable(QString::number(bar->marker(i)->time)));
      }
    }
  }
};

TOVRI_TEST(ChartBarsTest)
#include "tst_chartbars.moc"
