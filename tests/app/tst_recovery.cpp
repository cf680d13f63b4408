#include "capturerig.h"
#include "glwidget.h"
#include "testmain.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/types.h>

using namespace AppFixture;
using namespace CaptureRig;

// A capture whose process dies without warning: its working file is all that
// is left, and it must open with every record written before the end.
class RecoveryTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
    QDir(MainWindow::workingFolder()).removeRecursively();
  }

  void killedCaptureOpensWithEveryRecord()
  {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(TOVRI_CAPTURE_CHILD), {QStringLiteral("25")});
    QVERIFY(child.waitForStarted(30000));
    // Generous: the child runs under the sanitizers on a shared machine.
    const QDeadlineTimer deadline(300000);
    while (!child.canReadLine() && child.state() == QProcess::Running && !deadline.hasExpired())
      child.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
    const QString said = QString::fromLocal8Bit(child.readLine()).trimmed();
    // Killed mid-capture: no stop, no tail.
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY2(said.startsWith(QLatin1String("ready ")), qPrintable(said));
    const qint64 announced = said.section(QLatin1Char(' '), 1, 1).toLongLong();
    const QString path = said.section(QLatin1Char(' '), 2);
    QCOMPARE(QFileInfo(path).absolutePath(), MainWindow::workingFolder());
    QVERIFY(announced >= 25000);

    // Every record the window appended is in the file, and nothing more.
    const qint64 record = 4 * 8;
    const qint64 size = QFileInfo(path).size();
    QCOMPARE(size, SwapFile::headerBlockSize + announced * record);

    // Opened as the user opens it, with the same logger attached so that the
    // samples decode as they did in the capture.
    SimBus bus;
    bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    pump();
    QVERIFY(window.loadFile(path));
    GLWidget *tab = window.currentWidget();
    QVERIFY(tab);
    SwapFile *file = tab->swapFile;
    const double last = double(announced - 1) * 0.001;
    QVERIFY(qAbs(file->duration - last) < 1e-9);
    // No tail in the file: the statistics come from the records themselves.
    QCOMPARE(tab->report.count, announced);
    QVERIFY(qAbs(tab->report.t_end - last) < 1e-9);

    // Every record, as paging reads it, is the sample sent at its time.
    for (PlotDataMap *map : std::as_const(tab->maps))
      map->clear();
    QVERIFY(file->readRange(file->duration / 2, file->duration + 1, tab->maps));
    double max0 = -1e300, min1 = 1e300;
    for (int c = 0; c < 3; ++c) {
      const PlotDataMap *map = tab->maps.at(c);
      QCOMPARE(qint64(map->size()), announced);
      qint64 i = 0;
      for (auto it = map->constBegin(); it != map->constEnd(); ++it, ++i) {
        if (qAbs(it.key() - double(i) * 0.001) > 1e-6)
          QFAIL(qPrintable(QStringLiteral("channel %1: record %2 at %3 s").arg(c).arg(i).arg(it.key())));
        if (it.value().value != expectedValue(c, quint32(i)))
          QFAIL(qPrintable(QStringLiteral("channel %1: record %2 holds %3").arg(c).arg(i).arg(it.value().value)));
        if (c == 0)
          max0 = qMax(max0, it.value().value);
        if (c == 1)
          min1 = qMin(min1, it.value().value);
      }
    }
    QCOMPARE(tab->report.max0, max0);
    QCOMPARE(tab->report.min1, min1);
  }
};

TOVRI_TEST(RecoveryTest)
#include "tst_recovery.moc"
