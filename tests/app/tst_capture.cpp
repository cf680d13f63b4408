#include "capturerig.h"
#include "glwidget.h"
#include "plot.h"
#include "testmain.h"

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
    resetProcessState();
    clearSettings();
    keepUpdatesLocal();
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
  }
};

TOVRI_TEST(CaptureTest)
#include "tst_capture.moc"
