#include "capturerig.h"
#include "filesizelimit.h"
#include "glwidget.h"
#include "helpers.h"
#include "infopackets.h"
#include "navigationbar.h"
#include "plot.h"
#include "reportbar.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace AppFixture;
using namespace CaptureRig;

namespace {

// The records of a three-channel capture at `period` seconds, complete from
// the first sample on.
void verifyComplete(const Records &records, qint64 expected, double period)
{
  QCOMPARE(qint64(records.times.size()), expected);
  for (int i = 0; i < records.times.size(); ++i) {
    QVERIFY2(qAbs(records.times.at(i) - i * period) < 1e-9, qPrintable(QString::number(i)));
    QCOMPARE(records.values.at(i).at(2), expectedValue(2, quint32(i)));
  }
}

QStringList workingFiles()
{
  return QDir(MainWindow::workingFolder()).entryList(QDir::Files);
}

// The report bar's figures of the whole capture: minimum, maximum and
// average of each channel as shown.
QStringList wholeCaptureFigures(MainWindow &window)
{
  auto *bar = window.findChild<ReportBar *>("reportBar");
  QStringList out;
  for (const char *name : {"labelMin0", "labelMax0", "labelAverage0", "labelMin1", "labelMax1", "labelAverage1",
                           "labelMin2", "labelMax2", "labelAverage2"})
    out << bar->findChild<QLabel *>(name)->text();
  return out;
}

} // namespace

// What the capture received reaches a file, and a capture that never began
// leaves nothing behind.
class CaptureDataTest : public QObject
{
  Q_OBJECT

  QTemporaryDir m_saveDir;

private slots:
  void init()
  {
    freshWindowState();
    QDir(MainWindow::workingFolder()).removeRecursively();
  }

  // The working file's disk fills up: the capture stops, and a save to a
  // disk with room holds every sample and the statistics.
  void fullDiskKeepsEverySample()
  {
    Rig rig(-1);
    MainWindow &window = *rig.window;
    rig.start(0x07, 10);
    rig.run(11000);
    GLWidget *tab = window.captureTab();
    const QString working = tab->swapFile->file.fileName();
    const qint64 size = QFileInfo(working).size();
    QVERIFY(size > SwapFile::headerBlockSize);
    {
      FileSizeLimit full(size + 100);
      rig.run(300);
    }
    QVERIFY(!Helpers::isMeasuring);
    QVERIFY(statusText(window).startsWith("The capture file cannot be written"));
    const qint64 samples = qint64(rig.logger->blocksSent()) * 9;
    QVERIFY(samples > 11000);
    QVERIFY(tab->unfinished);
    QCOMPARE(window.tabWidget()->tabText(0), QString("*Capture 1"));

    // Closing asks as for any unsaved capture.
    QString question;
    answerNextBox(QMessageBox::Cancel, &question);
    window.on_closeTab(0);
    QVERIFY2(question.contains("is not saved"), qPrintable(question));
    QCOMPARE(window.tabWidget()->count(), 1);

    // A save that cannot be written says so and changes nothing.
    const QString target = m_saveDir.filePath("full.tovri");
    {
      FileSizeLimit full(4096);
      DialogScript script({DialogScript::file(target)});
      QVERIFY(!window.save(0));
    }
    QVERIFY(statusText(window).startsWith("Couldn't save file"));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(QFileInfo::exists(working));
    QVERIFY(!tab->saved);
    QCOMPARE(window.tabWidget()->tabText(0), QString("*Capture 1"));

    DialogScript script({DialogScript::file(target)});
    QVERIFY(window.save(0));
    QCOMPARE(statusText(window), QString("Saved"));
    QVERIFY(tab->saved);
    QVERIFY(!QFileInfo::exists(working));
    // The tab tells of the whole capture, not of the working file's part.
    QVERIFY(tab->title);
    const QString whole = Helpers::timeToString((samples - 1) * 0.001, true, 2);
    QVERIFY2(tab->title->text().endsWith("Measurement time: " + whole), qPrintable(tab->title->text()));
    QVERIFY(tab->swapFile->navigationRange.upper > (samples - 1) * 0.001 - 0.1);
    const Records records = readRecords(target, 3, true);
    QVERIFY(records.tail);
    verifyComplete(records, samples, 0.001);
    QCOMPARE(records.report.count, samples);
    QCOMPARE(records.report.t_end, (samples - 1) * 0.001);

    // The program reads it back as a finished capture, tail and all.
    SwapFile saved;
    saved.file.setFileName(target);
    const ReportData report = saved.readReport();
    QCOMPARE(report.count, samples);
    QCOMPARE(report.max2, records.report.max2);
    QCOMPARE(saved.duration, (samples - 1) * 0.001);
  }

  // Blocks the link holds when Stop is pressed are the capture's last.
  void stopKeepsTheBlocksBeforeItsAnswer()
  {
    Rig rig(-1);
    rig.start(0x07, 1);
    rig.run(500);
    // Received by the link, not yet handed over.
    rig.bus.advance(5);
    QVERIFY(rig.logger->queuedReports() >= 4);
    rig.window->on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    QVERIFY(!rig.logger->streaming());
    const qint64 samples = qint64(rig.logger->blocksSent()) * 9;
    const GLWidget *tab = rig.window->captureTab();
    const Records records = readRecords(tab->swapFile->file.fileName(), 3, true);
    verifyComplete(records, samples, 0.0001);
    QCOMPARE(records.report.count, samples);
  }

  // A logger that sends some blocks twice: their points are stored once and
  // their samples counted once, so the saved capture reopens whole with the
  // figures shown at Stop. (A tail that counted the repeats, as earlier
  // versions wrote it, is the capture file's own test.)
  void repeatedBlocksReopenWhole()
  {
    Rig rig(-1);
    MainWindow &window = *rig.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    rig.logger->repeatEvery(50);
    rig.start(0x07, 10);
    rig.run(5000);
    window.on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    QVERIFY(lostLines().isEmpty());
    const int repeated = rig.logger->blocksRepeated();
    QVERIFY(repeated >= 10);
    const qint64 samples = qint64(rig.logger->blocksSent()) * 9;
    GLWidget *tab = window.captureTab();
    const ReportData atStop = tab->report;
    QCOMPARE(atStop.count, samples);
    QVERIFY(window.findChild<ReportBar *>("reportBar")->isHidden());
    window.m_actionReport->trigger();
    const QStringList shownAtStop = wholeCaptureFigures(window);

    const QString target = m_saveDir.filePath("repeats.tovri");
    {
      DialogScript script({DialogScript::file(target)});
      QVERIFY(window.save(window.tabWidget()->indexOf(tab)));
      QVERIFY(script.done());
    }
    answerNextBox(QMessageBox::Yes);
    window.on_closeTab(window.tabWidget()->indexOf(tab));
    // The bar no longer shows the closed capture: what it shows next comes
    // from the file.
    QVERIFY(wholeCaptureFigures(window) != shownAtStop);

    // The stored statistics are those of the records, each sample once.
    const Records records = readRecords(target, 3, true);
    verifyComplete(records, samples, 0.001);
    QCOMPARE(records.report.count, qint64(records.times.size()));
    double sum0 = 0;
    for (const QList<double> &row : records.values)
      sum0 += row.at(0);
    QVERIFY(qAbs(records.report.avg0 - sum0 / double(samples)) <= 1e-9 * qAbs(sum0 / double(samples)));

    DialogScript script({DialogScript::file(target)});
    window.on_actionLoad();
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(statusText(window), QString("Loaded"));
    GLWidget *opened = window.currentWidget();
    QVERIFY(opened);
    QCOMPARE(opened->swapFile->file.fileName(), target);
    QVERIFY(!opened->swapFile->recovery.recovered);
    uchar expected[ReportData::byteSize], read[ReportData::byteSize];
    records.report.toBytes(expected);
    opened->report.toBytes(read);
    QVERIFY(std::memcmp(expected, read, sizeof expected) == 0);
    QTRY_COMPARE(wholeCaptureFigures(window), shownAtStop);
  }

  // The logger's first samples were lost on the way: its capture begins
  // 25 s in, later than the window shown is long. Saved and opened again,
  // it shows its first records, and the strip and paging keep to them.
  void gapAtTheStartReopensShown()
  {
    Rig rig(-1);
    MainWindow &window = *rig.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    rig.logger->counterStart = 25000; // 25 s at 1 kHz
    rig.start(0x07, 10);
    rig.run(12000);
    window.on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    QCOMPARE(lostLines().size(), 2);
    const qint64 samples = qint64(rig.logger->blocksSent()) * 9;
    GLWidget *tab = window.captureTab();
    const QString target = m_saveDir.filePath("late.tovri");
    {
      DialogScript script({DialogScript::file(target)});
      QVERIFY(window.save(window.tabWidget()->indexOf(tab)));
      QVERIFY(script.done());
    }
    answerNextBox(QMessageBox::Yes);
    window.on_closeTab(window.tabWidget()->indexOf(tab));
    const Records records = readRecords(target, 3, true);
    QCOMPARE(qint64(records.times.size()), samples);
    QCOMPARE(records.times.first(), 25.0);
    QVERIFY(records.times.last() > 36.0);

    DialogScript script({DialogScript::file(target)});
    window.on_actionLoad();
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(statusText(window), QString("Loaded"));
    GLWidget *opened = window.currentWidget();
    QVERIFY(opened);
    QCOMPARE(opened->swapFile->file.fileName(), target);
    // Held: the ten seconds from the first record, each as stored (a page
    // takes the record at its end as well); shown: that window, not the
    // empty stretch before it.
    const auto expectFirstWindow = [&](bool pageEnd) {
      const PlotDataMap *map = opened->maps.at(2);
      qsizetype count = 0;
      while (count < records.times.size() &&
             (records.times.at(count) < 35.0 || (pageEnd && records.times.at(count) == 35.0)))
        ++count;
      QCOMPARE(map->size(), count);
      qsizetype i = 0;
      for (auto it = map->cbegin(); it != map->cend(); ++it, ++i) {
        QCOMPARE(it.key(), records.times.at(i));
        QCOMPARE(it->value, records.values.at(i).at(2));
      }
      const PlotRange shown = opened->plot->xAxis->range();
      QCOMPARE(shown.lower, 25.0);
      QVERIFY(shown.upper > 34.99 && shown.upper <= map->lastKey());
    };
    expectFirstWindow(false);
    if (QTest::currentTestFailed())
      return;
    // The strip spans the capture and marks the window shown.
    auto *strip = window.findChild<NavigationBar *>("navigationBar");
    QCOMPARE(strip->boundFile(), opened->swapFile);
    QCOMPARE(strip->plotter->xAxis->range().lower, 0.0);
    QCOMPARE(strip->plotter->xAxis->range().upper, records.report.t_end);
    auto *line = strip->plotter->findChild<PlotItemStraightLine *>();
    QVERIFY(line);
    QCOMPARE(line->point1->coords().x(), opened->plot->xAxis->range().center());

    // A drag past the first record stays with it.
    window.on_rangeBorderReached(20, 30);
    window.on_mouseRelease(nullptr);
    expectFirstWindow(false);
    if (QTest::currentTestFailed())
      return;
    // A click on the strip's lost stretch goes to the first window.
    window.on_swapPositionChanged(31);
    QVERIFY(opened->maps.at(2)->firstKey() > 25.9);
    emit strip->navigationClicked(5.0);
    expectFirstWindow(true);
  }

  // A start the logger refuses, or that cannot be written to it, ends as a
  // capture that never began. The next Start takes that tab while it is
  // shown; a tab that holds an opened file or an unsaved capture, shown
  // again by a click or by closing the refused tab, keeps what it holds and
  // the capture gets a new tab.
  void startThatNeverBegan_data()
  {
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("held"); // "opened": a file opened first; "unsaved": a capture made first
    QTest::addColumn<bool>("closeRefused");
    QTest::newRow("refused by the logger") << true << "" << false;
    QTest::newRow("start not written") << false << "" << false;
    QTest::newRow("refused, tab clicked, opened file") << true << "opened" << false;
    QTest::newRow("not sent, refused tab closed, opened file") << false << "opened" << true;
    QTest::newRow("refused, refused tab closed, unsaved capture") << true << "unsaved" << true;
    QTest::newRow("not sent, tab clicked, unsaved capture") << false << "unsaved" << false;
  }

  void startThatNeverBegan()
  {
    QFETCH(bool, refused);
    QFETCH(QString, held);
    QFETCH(bool, closeRefused);
    Rig rig(15);
    MainWindow &window = *rig.window;
    if (held == "opened")
      QVERIFY(window.loadFile(writeLoggerCapture(m_saveDir.filePath("B.tovri"), 300, true)));
    if (held == "unsaved") {
      rig.start();
      rig.run(500);
      window.on_stopButton();
    }
    GLWidget *kept = held.isEmpty() ? nullptr : window.currentWidget();
    const QString keptFile = kept ? kept->swapFile->file.fileName() : QString();
    const QStringList working = workingFiles();
    if (refused)
      rig.logger->startError = 3;
    else
      rig.logger->writesBeforeFailure = 0;
    rig.start();
    pump(1);
    QVERIFY(!Helpers::isMeasuring);
    QCOMPARE(statusText(window), refused ? QString("FAILED to start measuring: 3")
                                         : QString("The start command could not be sent to the logger: "
                                                   "simulated I/O failure"));
    const int last = window.tabWidget()->count() - 1;
    const QString name = QString("Capture %1").arg(last + 1);
    QCOMPARE(window.tabWidget()->tabText(last), name);
    QVERIFY(window.currentWidget()->saved);
    QCOMPARE(workingFiles(), working);
    QVERIFY(window.m_actionOpen->isEnabled());

    // Nothing to save: closing asks only whether to close.
    QString question;
    answerNextBox(closeRefused ? QMessageBox::Yes : QMessageBox::No, &question);
    window.on_closeTab(last);
    QCOMPARE(question, "Close " + name + "?");
    if (kept && !closeRefused)
      window.tabWidget()->setCurrentWidget(kept);
    if (kept)
      QCOMPARE(window.currentWidget(), kept);

    rig.logger->startError = 0;
    rig.logger->writesBeforeFailure = -1;
    rig.start();
    QVERIFY(Helpers::isMeasuring);
    if (kept) {
      QVERIFY(window.captureTab() != kept);
      QCOMPARE(kept->swapFile->file.fileName(), keptFile);
    } else {
      QCOMPARE(window.tabWidget()->count(), 1);
      QCOMPARE(window.tabWidget()->tabText(0), QString("*Capture 1"));
      QCOMPARE(workingFiles(), QStringList{"Capture 1.tmp"});
    }
    rig.run(200);
    QVERIFY(rig.logger->streaming());
  }

  // A stop that cannot be written is told, and the link is opened again to
  // stop the logger: window and logger agree.
  void stopNotWritten()
  {
    Rig rig(-1);
    MainWindow &window = *rig.window;
    rig.start(0x07, 10);
    rig.run(1000);
    rig.logger->writesBeforeFailure = 0;
    window.on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    QVERIFY(rig.logger->streaming());
    QCOMPARE(statusText(window),
             QString("The stop command could not be sent to the logger: simulated I/O failure"));
    // The capture itself is whole.
    const QString path = window.captureTab()->swapFile->file.fileName();
    const qint64 samples = qint64(rig.logger->blocksSent()) * 9;
    verifyComplete(readRecords(path, 3, true), samples, 0.001);

    // The link is opened again at once; while writes fail, at every search.
    rig.run(50);
    QVERIFY(rig.logger->streaming());
    rig.logger->writesBeforeFailure = -1;
    pump(1);
    rig.run(50);
    QVERIFY(!rig.logger->streaming());
    QVERIFY(rig.window->m_actionOpen->isEnabled());
    QVERIFY(statusText(window) != "Measuring...");
    // The blocks the logger sent meanwhile belong to no capture.
    QCOMPARE(readRecords(path, 3, true).times.size(), samples);
  }

  // A channel whose logger's description was replaced by a built-in one
  // records nothing: the line says so, also after the stop's answer.
  void undescribedChannelIsTold()
  {
    Rig rig(-1);
    rig.start(0x07, 10);
    rig.run(300);
    ChannelInfo::fromJson({{"Channels", QJsonArray{QJsonObject{{"channel", 2}, {"info", "V,Voltage,"}}}}});
    rig.run(300);
    const QString told("Channel #2 records nothing: the logger has not described it. "
                       "Stop, then unplug and plug the logger back.");
    QTRY_COMPARE(statusText(*rig.window), told);
    rig.window->on_stopButton();
    rig.run(100);
    QVERIFY(!rig.logger->streaming());
    QCOMPARE(statusText(*rig.window), told);
  }

  // A working file left by a killed run is told at the next start, opens
  // from the Open dialog and is never removed unasked.
  void leftWorkingFileIsOffered_data()
  {
    QTest::addColumn<bool>("plugged");
    QTest::addColumn<QString>("name");
    QTest::newRow("nothing on the link") << false << "Capture 1";
    // Its greeting must not wipe the note out for good.
    QTest::newRow("logger plugged") << true << "Capture 1";
    // Moved aside by a save that was killed before it placed the capture.
    QTest::newRow("under a save's own name") << false << "tovri-saving-0";
  }

  void leftWorkingFileIsOffered()
  {
    QFETCH(bool, plugged);
    QFETCH(QString, name);
    QVERIFY(QDir().mkpath(MainWindow::workingFolder()));
    QFile::setPermissions(MainWindow::workingFolder(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString left = QDir(MainWindow::workingFolder()).absoluteFilePath(name + ".tmp");
    QVERIFY(!writeLoggerCapture(left, 300, false).isEmpty());
    const QByteArray before = fileBytes(left);

    SimBus bus;
    if (plugged)
      bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    const QString note = QString("An unfinished capture was found: %1. Open it to review or save it.").arg(left);
    QCOMPARE(statusText(window), note);
    if (plugged) {
      pump();
      QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
      // The greeting's time runs out (as its timer would): the note is
      // there again.
      window.statusBar()->clearMessage();
      QCOMPARE(statusText(window), note);
    }

    DialogScript script({DialogScript::file(left)});
    window.on_actionLoad();
    QVERIFY(script.done());
    QVERIFY2(script.filters.value(0).contains("(*.tmp)"), qPrintable(script.filters.value(0)));
    // Dealt with: the note does not come back.
    window.statusBar()->clearMessage();
    QCOMPARE(statusText(window), QString());
    GLWidget *tab = window.currentWidget();
    QCOMPARE(window.tabWidget()->tabText(window.tabWidget()->currentIndex()), name);
    QCOMPARE(tab->maps.at(2)->size(), 300);
    QCOMPARE(tab->maps.at(2)->last().value, 499.0);
    QCOMPARE(tab->swapFile->duration, 2.99);

    answerNextBox(QMessageBox::Yes);
    window.on_closeTab(window.tabWidget()->currentIndex());
    QCOMPARE(fileBytes(left), before);
  }
};

TOVRI_TEST(CaptureDataTest)
#include "tst_capturedata.moc"
