#include "capturerig.h"
#include "glwidget.h"
#include "navigationbar.h"
#include "plot.h"
#include "progressdialog.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QDir>
#include <QTabWidget>
#include <QEvent>

#include <functional>

using namespace AppFixture;
using namespace CaptureRig;

namespace {

// Runs `step` at each turn of the event loop, whichever loop turns it (a
// read's own turns included), until it returns true: one event is always
// pending, and the loop takes an event posted meanwhile at its next turn.
class EveryTurn : public QObject
{
public:
  explicit EveryTurn(std::function<bool()> step) : m_step(std::move(step)) { post(); }

protected:
  void customEvent(QEvent *) override
  {
    if (!m_step())
      post();
  }

private:
  void post() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }
  std::function<bool()> m_step;
};

} // namespace

// The overview a stop reads back while the strip is bound to the same
// capture file in the middle of the read.
class ReadBackOverviewTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
    QDir(MainWindow::workingFolder()).removeRecursively();
  }

  // A capture stopped by turning to an unsaved tab; while its overview is
  // read back, that tab is closed after its question and the capture's tab
  // is shown again: the strip takes a copy of the overview half read, and
  // the read goes on writing into the overview that copy shares.
  void unsavedTabClosedDuringTheReadBack()
  {
    Rig rig(-1);
    MainWindow &window = *rig.window;
    rig.start(0x07, 10);
    rig.run(500);
    window.on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    QPointer<GLWidget> unsaved = window.captureTab();
    QVERIFY(unsaved && !unsaved->saved);

    const int blocksBefore = rig.logger->blocksSent();
    rig.start(0x07, 10);
    GLWidget *capture = window.captureTab();
    QVERIFY(capture && capture != unsaved);
    rig.run(3000);
    const int blocks = rig.logger->blocksSent() - blocksBefore;
    const QString path = capture->swapFile->file.fileName();
    const PlotDataMap *series = capture->swapFile->navigationSeries;

    bool closed = false;
    DialogScript script({DialogScript::box(QMessageBox::No)});
    EveryTurn during([&] {
      // Inside the scan: its progress is up and the overview has begun.
      if (!capture->findChild<ProgressDialog *>() || series->isEmpty() || !unsaved)
        return false;
      closed = true;
      window.on_closeTab(window.tabWidget()->indexOf(unsaved));
      return true;
    });
    window.tabWidget()->setCurrentWidget(unsaved);

    QVERIFY(closed);
    QVERIFY(script.done());
    QVERIFY(!Helpers::isMeasuring);
    QVERIFY(!unsaved);
    QCOMPARE(window.tabWidget()->count(), 1);
    QCOMPARE(window.currentWidget(), capture);

    // The capture is whole in its file, and its overview too, from the
    // start to the end of the capture.
    const Records records = readRecords(path, 3, true);
    QVERIFY(records.tail);
    QCOMPARE(qint64(records.times.size()), qint64(blocks) * 9);
    QVERIFY(!series->isEmpty());
    QCOMPARE(series->firstKey(), 0.0);
    QCOMPARE(series->lastKey(), capture->swapFile->duration);
    for (auto it = series->cbegin(); it != series->cend(); ++it) {
      QCOMPARE(it->key, it.key());
      if (it != series->cbegin())
        QVERIFY(std::prev(it).key() < it.key());
    }
    // The strip shows the overview as the read finished it.
    auto *strip = window.findChild<NavigationBar *>();
    QVERIFY(*strip->plotter->graph(0)->data() == *series);
  }
};

TOVRI_TEST(ReadBackOverviewTest)
#include "tst_readbackoverview.moc"
