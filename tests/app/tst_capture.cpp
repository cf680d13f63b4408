#include "capturerig.h"
#include "filesizelimit.h"
#include "glwidget.h"
#include "marker.h"
#include "markerbar.h"
#include "navigationbar.h"
#include "plot.h"
#include "reportbar.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QLabel>
#include <QMouseEvent>

#include <QDir>
#include <QFileInfo>
#include <QTabWidget>

using namespace AppFixture;
using namespace CaptureRig;

// A logger capture from Start to the finished capture file, in bus time.
class CaptureTest : public QObject
{
  Q_OBJECT

  static int sentStops(const SimLogger *logger)
  {
    int stops = 0;
    for (const QByteArray &report : logger->written)
      stops += report.size() > 2 && uchar(report.at(1)) == DeviceControl::Descriptor &&
               uchar(report.at(2)) == DeviceControl::Stop;
    return stops;
  }

private slots:
  void init()
  {
    freshWindowState();
    QDir(MainWindow::workingFolder()).removeRecursively();
  }

  void fifteenSecondsEndToEnd()
  {
    Rig rig(15);
    MainWindow &window = *rig.window;
    QCOMPARE(window.measuringTime(), 15);
    rig.start();
    QVERIFY(Helpers::isMeasuring);
    GLWidget *tab = window.captureTab();
    QVERIFY(tab);
    QCOMPARE(window.tabWidget()->tabText(0), QString("*Capture 1"));
    const QString path = tab->swapFile->file.fileName();
    QCOMPARE(QFileInfo(path).fileName(), QString("Capture 1.tmp"));
    QCOMPARE(QFileInfo(path).absolutePath(), MainWindow::workingFolder());
    QCOMPARE(QFileInfo(MainWindow::workingFolder()).permissions() & 0x0077, QFileDevice::Permissions());

    // For the first ten seconds nothing moves and the axis stays put.
    rig.run(9000);
    QCOMPARE(QFileInfo(path).size(), SwapFile::headerBlockSize);
    QCOMPARE(window.plotter()->xAxis->range().lower, 0.0);
    QVERIFY(tab->timeRange().upper > 8.9);

    rig.run(2000);
    QVERIFY(QFileInfo(path).size() > SwapFile::headerBlockSize);
    for (PlotDataMap *map : std::as_const(tab->maps)) {
      QVERIFY(!map->isEmpty());
      QVERIFY(map->lastKey() - map->firstKey() <= 10.0);
      QVERIFY(map->lastKey() - map->firstKey() > 9.9);
    }
    QCOMPARE(window.plotter()->xAxis->range().upper, tab->maps.at(0)->lastKey());

    // One gap of 200 samples: one pair of lines with the block's numbers.
    QVERIFY(lostLines().isEmpty());
    rig.logger->skipSamples(200);
    rig.run(500);
    QCOMPARE(lostLines().size(), 2);
    const QStringList packets = lostLines().at(0).split(' ', Qt::SkipEmptyParts);
    const QStringList times = lostLines().at(1).split(' ', Qt::SkipEmptyParts);
    QVERIFY(lostLines().at(0).startsWith("          *** LOST PACKETS  "));
    QVERIFY(lostLines().at(1).startsWith("          *** LOST TIME     "));
    QCOMPARE(packets.size(), 7);
    const quint64 prev = packets.at(3).toULongLong();
    const quint64 next = packets.at(4).toULongLong();
    QCOMPARE(next - prev, quint64(209)); // one block of 9 plus the gap
    QCOMPARE(packets.at(5).toInt(), 209 / 9);
    QCOMPARE(packets.at(6).toInt(), 0);
    QCOMPARE(times.at(3).toDouble(), prev * 0.001);
    QCOMPARE(times.at(4).toDouble(), next * 0.001);

    QVERIFY(rig.runUntilStopped(5000));
    QCOMPARE(sentStops(rig.logger), 1);
    QCOMPARE(lostLines().size(), 2);

    const Records records = readRecords(path, 3, true);
    QVERIFY(records.tail);
    QVERIFY(!records.times.isEmpty());
    // The first block reaching 15 s ends the capture.
    const double end = records.times.last() + 0.001;
    QVERIFY(end >= 15.0 - 1e-9);
    QVERIFY(end - 0.009 < 15.0);
    QCOMPARE(records.report.count, qint64(records.times.size()));
    double max1 = -1e300;
    for (int i = 0; i < records.times.size(); ++i) {
      const quint64 counter = quint64(qRound64(records.times.at(i) * 1000));
      const quint32 index = quint32(counter >= next ? counter - 200 : counter);
      QVERIFY2(i == 0 || records.times.at(i) > records.times.at(i - 1), "times rise");
      for (int c = 0; c < 3; ++c)
        QCOMPARE(records.values.at(i).at(c), expectedValue(c, index));
      max1 = qMax(max1, records.values.at(i).at(1));
    }
    QCOMPARE(records.report.max1, max1);
    // Every sample up to the last one stored is there once: nothing lost, nothing invented.
    const quint64 lastCounter = quint64(qRound64(records.times.last() * 1000));
    QCOMPARE(qint64(records.times.size()), qint64(lastCounter - 200 + 1));

    // The last viewing interval is on show, the file's own stretch loaded.
    const PlotRange shown = window.plotter()->xAxis->range();
    QVERIFY(qAbs(shown.upper - records.times.last()) < 0.01);
    QCOMPARE(shown.size(), 10.0);
    QVERIFY(tab->timeRange().lower >= records.times.last() - 10.01);
    QVERIFY(!tab->saved);

    // Review: the overview strip shows this capture and takes clicks.
    auto *strip = window.findChild<NavigationBar *>();
    auto *bar = window.findChild<MarkerBar *>();
    QVERIFY(strip->isEnabledForClicks());
    QCOMPARE(strip->boundFile(), tab->swapFile);
    QVERIFY(!strip->plotter->graph(0)->data()->isEmpty());
    QCOMPARE(bar->chart.data(), tab);
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.m_actionMarkers->trigger();
    QVERIFY(bar->isVisible());
    PlotWidget *overview = strip->plotter;
    overview->replot();
    const QPointF near0(overview->xAxis->coordToPixel(0.5), overview->height() / 2.0);
    QMouseEvent click(QEvent::MouseButtonPress, near0, overview->mapToGlobal(near0), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    emit overview->axisClick(overview->xAxis, PlotAxis::spAxis, &click);
    QCOMPARE(window.plotter()->xAxis->range().lower, 0.0);
    QCOMPARE(window.plotter()->xAxis->range().upper, 10.0);
    QVERIFY(tab->maps.at(0)->firstKey() < 0.001);

    // The markers dragged to 2 s and 5 s give that span's statistics.
    PlotAxis *time = window.plotter()->xAxis;
    window.plotter()->replot();
    auto drag = [&](Marker *marker, double to) {
      const QPointF from(marker->x + 8, 10);
      const QPointF target(qRound(time->coordToPixel(to)), 10);
      QMouseEvent press(QEvent::MouseButtonPress, from, bar->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
      QMouseEvent move(QEvent::MouseMove, target, bar->mapToGlobal(target), Qt::NoButton, Qt::LeftButton,
                       Qt::NoModifier);
      QMouseEvent release(QEvent::MouseButtonRelease, target, bar->mapToGlobal(target), Qt::LeftButton,
                          Qt::NoButton, Qt::NoModifier);
      QCoreApplication::sendEvent(bar, &press);
      QCoreApplication::sendEvent(bar, &move);
      QCoreApplication::sendEvent(bar, &release);
    };
    drag(bar->marker(0), 2.0);
    drag(bar->marker(1), 5.0);
    const double t1 = bar->marker(0)->time;
    const double t2 = bar->marker(1)->time;
    QVERIFY2(qAbs(t1 - 2.0) < 0.05 && qAbs(t2 - 5.0) < 0.05, qPrintable(QString("%1 %2").arg(t1).arg(t2)));
    ReportData span;
    ReportBar::update(tab, PlotRange(t1, t2), &span);
    double low[3], high[3], sum[3] = {0, 0, 0};
    qint64 count = 0;
    for (quint32 k = quint32(std::ceil(t1 * 1000)); k <= quint32(std::floor(t2 * 1000)); ++k, ++count) {
      for (int c = 0; c < 3; ++c) {
        const double v = expectedValue(c, k);
        low[c] = count ? qMin(low[c], v) : v;
        high[c] = count ? qMax(high[c], v) : v;
        sum[c] += v;
      }
    }
    QVERIFY(count > 2900);
    QCOMPARE(span.min0, low[0]);
    QCOMPARE(span.max1, high[1]);
    QCOMPARE(span.min2, low[2]);
    QVERIFY(qAbs(span.avg0 - sum[0] / count) < 1e-9 * qMax(1.0, qAbs(span.avg0)));
    QVERIFY(qAbs(span.avg2 - sum[2] / count) < 1e-9 * qMax(1.0, qAbs(span.avg2)));
    bar->updateToolTip();
    const int d = Helpers::divider(high[1]);
    QVERIFY2(bar->toolTipText.contains("   max " + QString::number(high[1] / d, 'f', 2) + "\n"),
             qPrintable(bar->toolTipText));
  }

  // A block ending exactly at the measuring time is the capture's last.
  void limitReachedExactly()
  {
    Rig rig(7);
    // One channel at 4 samples a second, 28 to a block: one block is 7 s.
    rig.start(0x01, 2500);
    QVERIFY(Helpers::isMeasuring);
    const QString path = rig.window->captureTab()->swapFile->file.fileName();
    QVERIFY(rig.runUntilStopped(30000));
    const Records records = readRecords(path, 1, true);
    QVERIFY(records.tail);
    QCOMPARE(records.report.count, qint64(28));
    QCOMPARE(records.report.t_end, 6.75);
  }

  // A capture that ends at its measuring time says so in the status line,
  // in the window's language, and the logger's answer to the stop leaves it
  // standing; a capture the user stops says nothing of the kind.
  void endAtMeasuringTimeIsTold_data()
  {
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("told");
    QTest::newRow("time reached") << 2 << "en" << "The capture ended at its measuring time of 2 s.";
    QTest::newRow("time reached, Ukrainian")
      << 2 << "uk" << QString::fromUtf8("Запис завершено: минув заданий час вимірювання, 2 с.");
    QTest::newRow("stopped by the user") << -1 << "en" << QString();
  }

  void endAtMeasuringTimeIsTold()
  {
    QFETCH(int, seconds);
    QFETCH(QString, language);
    QFETCH(QString, told);
    Rig rig(seconds);
    rig.window->loadLanguage(language);
    rig.start();
    rig.run(500);
    QCOMPARE(statusText(*rig.window), QString::fromUtf8(language == "uk" ? "Вимірювання..." : "Measuring..."));
    if (seconds < 0) {
      rig.run(1500);
      rig.window->on_stopButton();
    }
    QVERIFY(rig.runUntilStopped(5000));
    QVERIFY(sentStops(rig.logger) > 0);
    // The logger's answers have all arrived.
    rig.run(500);
    QCOMPARE(statusText(*rig.window), told);
    QCOMPARE(rig.window->statusBar()->styleSheet(), QString("color: black"));
  }

  void nextCaptureKeepsTheLastOverview()
  {
    Rig rig(2);
    rig.start();
    QVERIFY(rig.runUntilStopped(4000));
    GLWidget *first = rig.window->captureTab();
    const qsizetype points = first->swapFile->navigationSeries->size();
    QVERIFY(points > 0);
    rig.start();
    QVERIFY(Helpers::isMeasuring);
    QVERIFY(rig.window->captureTab() != first);
    auto *strip = rig.window->findChild<NavigationBar *>();
    QVERIFY(!strip->isEnabledForClicks());
    QVERIFY(strip->plotter->graph(0)->data()->isEmpty());
    QCOMPARE(first->swapFile->navigationSeries->size(), points);
  }

  // A capture cut short by the device leaving, or by the user turning to
  // another tab, still ends on its own tab with every sample and a tail.
  void interruptedCaptureIsComplete_data()
  {
    QTest::addColumn<bool>("unplug");
    QTest::newRow("unplugged") << true;
    QTest::newRow("tab switched") << false;
  }

  void interruptedCaptureIsComplete()
  {
    QFETCH(bool, unplug);
    Rig rig(-1);
    MainWindow &window = *rig.window;
    QCOMPARE(window.measuringTime(), -1);

    // A finished capture in the first tab, to be left alone.
    rig.start(0x01, 10);
    rig.run(1000);
    window.on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    GLWidget *first = window.captureTab();
    const QString firstPath = first->swapFile->file.fileName();
    QFile firstFile(firstPath);
    QVERIFY(firstFile.open(QIODevice::ReadOnly));
    const QByteArray before = firstFile.readAll();
    firstFile.close();
    QVERIFY(before.size() > SwapFile::headerBlockSize + ReportData::byteSize);

    const int blocksBefore = rig.logger->blocksSent();
    rig.start(0x07, 10);
    GLWidget *second = window.captureTab();
    QVERIFY(second != first);
    QCOMPARE(window.tabWidget()->currentWidget(), second);
    const QString path = second->swapFile->file.fileName();
    QCOMPARE(QFileInfo(path).fileName(), QString("Capture 2.tmp"));
    rig.run(12000);
    const int stopsBefore = sentStops(rig.logger);
    const int blocks = rig.logger->blocksSent() - blocksBefore;

    if (unplug) {
      rig.bus.unplug(rig.logger);
      pump(1);
      QCOMPARE(sentStops(rig.logger), stopsBefore);
      QVERIFY(window.m_actionSave->isEnabled());
    } else {
      window.tabWidget()->setCurrentWidget(first);
      QCOMPARE(sentStops(rig.logger), stopsBefore + 1);
    }
    QVERIFY(!Helpers::isMeasuring);

    firstFile.open(QIODevice::ReadOnly);
    QCOMPARE(firstFile.readAll(), before);
    const Records records = readRecords(path, 3, true);
    QVERIFY(records.tail);
    QCOMPARE(qint64(records.times.size()), qint64(blocks) * 9);
    QCOMPARE(records.report.count, qint64(records.times.size()));
    QCOMPARE(records.times.last(), (blocks * 9 - 1) * 0.001);
    // Still reviewable: the last stretch is back in the capture's own maps.
    QVERIFY(!second->maps.at(0)->isEmpty());
    QCOMPARE(second->maps.at(0)->lastKey(), records.times.last());
  }

  // A capture ended by Stop or by the logger leaving is reviewed alike: the
  // report bar shown again reads the window now on show at once, and the
  // tools that need no device stay at hand.
  void reviewAfterTheEnd_data()
  {
    QTest::addColumn<bool>("unplug");
    QTest::newRow("stopped") << false;
    QTest::newRow("unplugged") << true;
  }

  void reviewAfterTheEnd()
  {
    QFETCH(bool, unplug);
    Rig rig(-1);
    MainWindow &window = *rig.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *report = window.findChild<ReportBar *>("reportBar");
    auto label = [&](const char *name) { return report->findChild<QLabel *>(name)->text(); };
    // Shown and filled before the capture, hidden while it runs.
    window.m_actionReport->trigger();
    QVERIFY(report->isVisible());
    // No capture yet: no readings, not zeros.
    QTRY_COMPARE(label("labelMax0_2"), QString("--"));
    rig.start();
    rig.run(3000);
    QVERIFY(report->isHidden());
    if (unplug) {
      rig.bus.unplug(rig.logger);
      pump(1);
    } else {
      window.on_stopButton();
    }
    QVERIFY(!Helpers::isMeasuring);
    for (QAction *action : {window.m_actionSave, window.m_actionShowAll, window.m_actionReport,
                            window.m_actionMarkers, window.m_actionCalculator})
      QVERIFY2(action->isEnabled(), qPrintable(action->text()));
    QVERIFY(window.m_comboShowAll->isEnabled());
    QVERIFY(window.findChild<NavigationBar *>()->isEnabledForClicks());
    QCOMPARE(window.m_comboMeasuringTime->isEnabled(), !unplug);

    window.m_actionReport->trigger();
    GLWidget *tab = window.captureTab();
    ReportData frame;
    ReportBar::update(tab, window.plotter()->xAxis->range(), &frame);
    QVERIFY(frame.hasData(0) && frame.max0 >= 1000);
    QCOMPARE(label("labelCh0_2"), QString("#0: mA"));
    QCOMPARE(label("labelMax0_2"), QString::number(frame.max0 / 1000, 'f', 2));
    QCOMPARE(label("labelAverage2_2"), QString::number(frame.avg2 / Helpers::divider(frame.max2), 'f', 2));
    QCOMPARE(label("labelFrame"), Helpers::timeToString(frame.t_start, true, 3) + '-' +
                                    Helpers::timeToString(frame.t_end, true, 3));
    window.m_actionMarkers->trigger();
    QVERIFY(window.findChild<MarkerBar *>()->isVisible());
    window.m_actionCalculator->trigger();
    QVERIFY(window.findCalculator());
  }

  // Commands and places where no capture may start; nothing is sent and no
  // tab is taken.
  void refusedStarts_data()
  {
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("divider");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("message");
    QTest::newRow("no channel") << 0 << 10 << "" << "At least one channel should be selected.";
    QTest::newRow("divider 0") << 1 << 0 << "" << "The capture file cannot be created";
    QTest::newRow("divider too large") << 1 << 40000 << "" << "The capture file cannot be created";
    QTest::newRow("temp folder unusable") << 1 << 10 << "file" << "The capture file cannot be created";
    QTest::newRow("working folder open to others") << 1 << 10 << "open" << "The capture file cannot be created";
  }

  void refusedStarts()
  {
    QFETCH(int, mask);
    QFETCH(int, divider);
    QFETCH(QString, folder);
    QFETCH(QString, message);
    const QByteArray tmp = qgetenv("TMPDIR");
    if (folder == "file") {
      // A temporary folder below a plain file cannot hold anything.
      QFile plain(QDir(QString::fromLocal8Bit(tmp)).absoluteFilePath("plain"));
      QVERIFY(plain.open(QIODevice::WriteOnly));
      plain.close();
      qputenv("TMPDIR", QFile::encodeName(plain.fileName() + "/below"));
    } else if (folder == "open") {
      QVERIFY(QDir().mkpath(MainWindow::workingFolder()));
      QFile::setPermissions(MainWindow::workingFolder(), QFileDevice::Permissions(0x7777));
    }
    Rig rig(15);
    const int written = rig.logger->written.size();
    rig.start(mask, divider);
    qputenv("TMPDIR", tmp);
    QVERIFY(!Helpers::isMeasuring);
    QCOMPARE(rig.logger->written.size(), written);
    QVERIFY(statusText(*rig.window).startsWith(message));
    QCOMPARE(rig.window->tabWidget()->count(), 1);
    QCOMPARE(rig.window->tabWidget()->tabText(0), QString("Capture 1"));
    QVERIFY(QDir(MainWindow::workingFolder()).entryList(QDir::Files).isEmpty());
    QDir(MainWindow::workingFolder()).removeRecursively();
  }

  void takenNameIsNeverOverwritten()
  {
    QVERIFY(QDir().mkpath(MainWindow::workingFolder()));
    QFile::setPermissions(MainWindow::workingFolder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
    QFile other(QDir(MainWindow::workingFolder()).absoluteFilePath("Capture 1.tmp"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("another capture");
    other.close();
    Rig rig(15);
    rig.start();
    QVERIFY(Helpers::isMeasuring);
    QCOMPARE(QFileInfo(rig.window->captureTab()->swapFile->file.fileName()).fileName(), QString("Capture 1 (2).tmp"));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("another capture"));
  }

  void refusedByTheLogger()
  {
    Rig rig(15);
    rig.logger->startError = 3;
    rig.start();
    QVERIFY(Helpers::isMeasuring);
    pump(1);
    QVERIFY(!Helpers::isMeasuring);
    QCOMPARE(sentStops(rig.logger), 0);
    QCOMPARE(statusText(*rig.window), QString("FAILED to start measuring: 3"));
    // The tab holds no capture: nothing to save.
    QVERIFY(!rig.window->m_actionSave->isEnabled());
    // Blocks that would still come are no capture's.
    rig.logger->startError = 0;
    rig.run(100);
    QVERIFY(rig.window->captureTab()->maps.at(0)->isEmpty());
  }

  // The 24-bit counter wraps every 28 min at 10 kHz: times go on rising, no
  // gap is logged and the time origin stays.
  void counterWrapKeepsTimeRising_data()
  {
    QTest::addColumn<int>("mask");
    QTest::newRow("one channel") << 0x01;
    QTest::newRow("three channels") << 0x07;
  }

  void counterWrapKeepsTimeRising()
  {
    QFETCH(int, mask);
    Rig rig(-1);
    rig.logger->counterStart = (1u << 24) - 1000;
    rig.start(mask, 1);
    rig.run(20);
    // The first block's counter is far from 0: those samples were lost.
    QCOMPARE(lostLines().size(), 2);
    lostLines().clear();
    const qint64 origin = rig.window->startTime();
    rig.run(400);
    QCOMPARE(rig.window->startTime(), origin);
    QVERIFY(lostLines().isEmpty());
    const PlotDataMap *map = rig.window->captureTab()->maps.at(0);
    const double period = 0.0001;
    double previous = -1;
    int count = 0;
    for (auto it = map->cbegin(); it != map->cend(); ++it, ++count) {
      QVERIFY(it.key() > previous);
      if (previous >= 0)
        QVERIFY(qAbs(it.key() - previous - period) < 1e-9);
      previous = it.key();
    }
    QVERIFY(count > 2000);
    QVERIFY(previous > double(1u << 24) * period);
  }

  // A supply plugged while the stop reads the capture back (its progress
  // lets events run) waits for the read to end: the capture's tab is not
  // freed under it, and the file is whole.
  void supplyPluggedDuringTheReadBack_data()
  {
    QTest::addColumn<int>("turn");
    QTest::newRow("as the progress shows") << 1;
    QTest::newRow("inside the read") << 2;
  }

  void supplyPluggedDuringTheReadBack()
  {
    QFETCH(int, turn);
    Rig rig(-1);
    MainWindow &window = *rig.window;
    rig.start(0x07, 10);
    rig.run(1000);
    const QString path = window.captureTab()->swapFile->file.fileName();
    bool plugged = false;
    std::function<void(int)> later = [&](int left) {
      QTimer::singleShot(0, &window, [&, left] {
        if (left > 1) {
          later(left - 1);
          return;
        }
        rig.bus.unplug(rig.logger);
        HidDevice::m_instance->checkTimerTick();
        rig.bus.add<SimPowerSupply>();
        HidDevice::m_instance->checkTimerTick();
        plugged = true;
      });
    };
    later(turn);
    DialogScript script({DialogScript::box(QMessageBox::No)});
    window.on_stopButton();
    QVERIFY(plugged);
    QVERIFY(!Helpers::isMeasuring);
    const Records records = readRecords(path, 3, true);
    QVERIFY(records.tail);
    QVERIFY(!records.times.isEmpty());
    QCOMPARE(records.report.count, qint64(records.times.size()));
    // Then the change of kind closes every tab, after its question.
    QTRY_VERIFY_WITH_TIMEOUT(Helpers::powerMode, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(window.tabWidget()->count(), 0, 10000);
    QVERIFY(script.done());
  }

  // A file that stops taking data mid-capture ends the capture; the file
  // keeps every whole record written before.
  void failingWriteStopsTheCapture()
  {
    Rig rig(-1);
    rig.start();
    rig.run(11000);
    QVERIFY(Helpers::isMeasuring);
    const QString path = rig.window->captureTab()->swapFile->file.fileName();
    const qint64 size = QFileInfo(path).size();
    QVERIFY(size > SwapFile::headerBlockSize);
    {
      FileSizeLimit limit(size + 100);
      rig.run(200);
    }
    QVERIFY(!Helpers::isMeasuring);
    QCOMPARE(sentStops(rig.logger), 1);
    QVERIFY(statusText(*rig.window).startsWith("The capture file cannot be written"));
    const qint64 after = QFileInfo(path).size();
    QVERIFY((after - SwapFile::headerBlockSize) % 32 == 0);
    const Records records = readRecords(path, 3, false);
    for (int i = 0; i < records.times.size(); ++i) {
      QCOMPARE(records.times.at(i), i * 0.001);
      QCOMPARE(records.values.at(i).at(2), expectedValue(2, quint32(i)));
    }
  }
};

TOVRI_TEST(CaptureTest)
#include "tst_capture.moc"
