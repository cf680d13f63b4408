#include "helpers.h"
#include "processstate.h"
#include "savingfixture.h"
#include "calculator.h"
#include "capturerig.h"
#include "markerbar.h"
#include "navigationbar.h"
#include "plot.h"
#include "popup.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>
#include <functional>

using namespace AppFixture;

namespace {

// Saves a fresh unsaved logger capture of the window as `path`.
bool saveCapture(MainWindow &window, const QString &path, qint64 samples)
{
  if (!addUnsavedCapture(window, samples))
    return false;
  DialogScript script({DialogScript::file(path)});
  return window.save(window.tabWidget()->currentIndex()) && script.done();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    file.write(bytes);
}

// The capture with its header changed by `change`.
QByteArray withHeader(QByteArray bytes, const std::function<void(SwapFileHeader &)> &change)
{
  SwapFileHeader header = SwapFileHeader::fromBytes(reinterpret_cast<const uchar *>(bytes.constData()));
  change(header);
  header.toBytes(reinterpret_cast<uchar *>(bytes.data()));
  return bytes;
}

} // namespace

// Opening saved captures: the round trip of a logger capture and what a
// damaged or foreign file gets.
class OpeningTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void loggerRoundTrip()
  {
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}, {"Main/load-path", dir.path()}});
    const qint64 samples = 1500;
    const QString path = dir.filePath("run.1.tovri");
    {
      MainWindow writer;
      QVERIFY(saveCapture(writer, path, samples));
    }
    QVERIFY(QFile::exists(path));

    MainWindow window;
    window.m_actionCalculator->trigger();
    QPointer<Calculator> calc = window.findCalculator();
    QVERIFY(calc);
    // A flag left by an earlier supply's file must not shape a logger tab.
    Helpers::powerMode = true;
    Helpers::powerV2Mode = true;
    const int before = window.tabWidget()->count();
    DialogScript script({DialogScript::file(path)});
    window.m_actionOpen->trigger();
    QVERIFY(script.done());
    // No device and no tab: either kind of file may be opened, and working
    // files a crash left.
    QCOMPARE(script.filters.value(0),
             QString("TOVRI (*.tovri );Kelvaro Power (*.kelvpow );Unfinished captures (*.tmp)"));
    QCOMPARE(window.tabWidget()->count(), before + 1);
    QCOMPARE(window.tabWidget()->tabText(window.tabWidget()->currentIndex()), QString("run"));
    QVERIFY(!Helpers::powerMode);
    QVERIFY(!Helpers::powerV2Mode);
    QCOMPARE(readSetting("Main/load-path").toString(), dir.path());
    QCOMPARE(statusText(window), QString("Loaded"));
    // Nothing is read out yet: no empty hint at the pointer, and each bar's
    // action names what a click will do.
    QVERIFY(!window.popUp()->isVisible());
    const bool reportHidden = window.findChild<QWidget *>("reportBar")->isHidden();
    QCOMPARE(window.m_actionReport->text(), reportHidden ? QString("Show Report") : QString("Hide Report"));
    QVERIFY(window.findChild<QWidget *>("markerBar")->isHidden());
    QCOMPARE(window.m_actionMarkers->text(), QString("Show Markers"));

    GLWidget *tab = window.currentWidget();
    QVERIFY(tab->saved);
    QCOMPARE(tab->maps.size(), 3);
    for (int c = 0; c < 3; ++c) {
      QCOMPARE(tab->maps[c]->size(), int(samples));
      qint64 i = 0;
      for (auto it = tab->maps[c]->constBegin(); it != tab->maps[c]->constEnd(); ++it, ++i) {
        QCOMPARE(it->key, i * 0.001);
        QCOMPARE(it->value, loggerValue(c, i));
      }
    }
    // The statistics come from the file's tail.
    QCOMPARE(tab->report.count, samples);
    QCOMPARE(tab->report.max1, 1000.0 + 976 * 0.5);
    QCOMPARE(tab->report.min2, 2000.0);
    // An open calculator follows the capture just opened.
    QVERIFY(calc);
    const CalculatorInfo whole = calc->getInfo(CalculatorInfo::Whole);
    QCOMPARE(whole.error, 0);
    QCOMPARE(whole.t_to, tab->report.t_end);
  }

  // A capture made on the simulated bus, saved and opened again: the tab
  // shows the logger's own values over the first ten seconds, the statistics
  // the capture ended with and the overview of the whole capture.
  void simulatedCaptureRoundTrip()
  {
    using namespace CaptureRig;
    QTemporaryDir dir;
    Rig rig(15);
    writeSettings({{"Main/save-path", dir.path()}});
    MainWindow &window = *rig.window;
    rig.start(0x07, 10);
    QVERIFY(rig.runUntilStopped(20000));
    GLWidget *captured = window.captureTab();
    QVERIFY(captured);
    const int index = window.tabWidget()->indexOf(captured);
    const QString working = captured->swapFile->file.fileName();
    const Records records = readRecords(working, 3, true);
    QVERIFY(records.tail);
    QVERIFY(records.times.size() > 14000);
    // A threshold at 60 % of the ramp's top gives the strip runs to show.
    double top = 0;
    for (const QList<double> &row : records.values)
      top = qMax(top, row.at(0));
    const double threshold = std::floor(top * 0.6) / 1000; // mA
    QVERIFY(threshold > 0);
    writeSettings({{QStringLiteral("Options/thresholds"), QVariant(QString::number(threshold, 'g', 17) + ",1000,3200")}});

    const QString path = dir.filePath("bench.run.tovri");
    DialogScript script({DialogScript::file(path)});
    QVERIFY(window.save(index));
    QVERIFY(script.done());
    QCOMPARE(script.proposals.value(0), dir.filePath("Capture 1.tovri"));
    QCOMPARE(window.tabWidget()->tabText(index), QString("bench"));
    QVERIFY(captured->saved);
    QVERIFY(!QFile::exists(working));
    QCOMPARE(captured->swapFile->file.fileName(), path);

    rig.bus.advance(60000);
    QVERIFY(window.loadFile(path));
    GLWidget *tab = window.currentWidget();
    QVERIFY(tab != captured);
    QCOMPARE(window.tabWidget()->tabText(window.tabWidget()->currentIndex()), QString("bench"));
    QVERIFY(tab->saved);
    QCOMPARE(window.startTime(), rig.bus.now());

    // The first viewing interval, every value the logger sent.
    int first = 0;
    while (first < records.times.size() && records.times.at(first) < 10.0)
      ++first;
    double low = qInf(), high = -qInf();
    for (int c = 0; c < 3; ++c) {
      const PlotDataMap &map = *tab->maps.at(c);
      QCOMPARE(map.size(), first);
      int i = 0;
      for (auto it = map.constBegin(); it != map.constEnd(); ++it, ++i) {
        QCOMPARE(it.key(), records.times.at(i));
        QCOMPARE(it->value, expectedValue(c, quint32(qRound64(it.key() * 1000))));
        if (c == 0)
          low = qMin(low, it->value), high = qMax(high, it->value);
      }
    }
    // Ten seconds on show, the time axis held to them, channel #0's axis fitted.
    PlotWidget *plot = window.plotter();
    QCOMPARE(plot->xAxis->range().lower, 0.0);
    QCOMPARE(plot->xAxis->range().upper, 10.0);
    QCOMPARE(plot->xAxis->rangeMax(), records.times.at(first - 1));
    const PlotRange fitted = plot->graph(0)->valueAxis()->range();
    QCOMPARE(fitted.lower, low);
    QCOMPARE(fitted.upper, high);
    // A double-click on a graph fits it again and keeps the time window.
    plot->graph(0)->valueAxis()->setRange(0, 1);
    emit plot->plottableDoubleClick(plot->graph(0), nullptr);
    QCOMPARE(plot->graph(0)->valueAxis()->range().upper, high);
    QCOMPARE(plot->xAxis->range().upper, 10.0);

    // The statistics are the capture's own tail.
    uchar stored[ReportData::byteSize], shown[ReportData::byteSize];
    records.report.toBytes(stored);
    tab->report.toBytes(shown);
    QVERIFY(std::memcmp(stored, shown, sizeof stored) == 0);
    QCOMPARE(tab->report.count, qint64(records.times.size()));

    // The strip shows the whole capture: high from each sample at the
    // threshold or above to the next one below.
    auto *strip = window.findChild<NavigationBar *>();
    QVERIFY(strip && strip->isEnabledForClicks());
    QCOMPARE(strip->boundFile(), tab->swapFile);
    QList<double> expectedHigh;
    bool inRun = false;
    for (int i = 0; i < records.times.size(); ++i) {
      const bool high = records.values.at(i).at(0) >= threshold * 1000;
      if (high && !inRun)
        expectedHigh << records.times.at(i);
      else if (!high && inRun)
        expectedHigh << records.times.at(i) - 0.00001;
      inRun = high;
    }
    if (inRun)
      expectedHigh << records.times.last() - 0.0000001;
    QVERIFY(expectedHigh.size() >= 8);
    QList<double> shownHigh;
    const PlotDataMap *series = strip->plotter->graph(0)->data();
    for (auto it = series->constBegin(); it != series->constEnd(); ++it)
      if (it->value == threshold)
        shownHigh << it.key();
    QCOMPARE(shownHigh, expectedHigh);
  }

  // Whatever arrives while a capture opens (its read lets events run), the
  // tab being read is not freed under its reader, a Close takes that tab
  // alone and at once, and the bars end up describing the tab on show.
  void tabFreedWhileItOpens_data()
  {
    QTest::addColumn<QString>("during");
    QTest::addColumn<bool>("supplyFile");
    QTest::addColumn<bool>("opens");
    QTest::newRow("a supply plugged") << "supply" << false << true;
    QTest::newRow("a logger plugged") << "logger" << true << true;
    QTest::newRow("its tab closed") << "close" << false << false;
    QTest::newRow("every tab closed") << "closeAll" << false << false;
    QTest::newRow("a second open") << "open" << false << true;
    QTest::newRow("a start") << "start" << false << true;
    QTest::newRow("its Close, no other tab") << "cancel alone" << false << false;
    QTest::newRow("its Close beside a tab") << "cancel beside" << false << false;
    QTest::newRow("another tab shown") << "other beside" << false << true;
    QTest::newRow("a Save of the tab read") << "save beside" << false << true;
  }

  void tabFreedWhileItOpens()
  {
    QFETCH(QString, during);
    QFETCH(bool, supplyFile);
    QFETCH(bool, opens);
    QTemporaryDir dir;
    const QString path = supplyFile ? writeSupplyCapture(dir.filePath("bench.kelvpow"), false, {0, 1}, 3000)
                                    : writeLoggerCapture(dir.filePath("run.tovri"), 3000, true);
    QVERIFY(!path.isEmpty());
    SimBus bus;
    MainWindow window;
    quietLink();
    pump(1);
    const bool beside = during.endsWith("beside");
    QVERIFY(!beside || window.loadFile(path));
    DialogScript script({});
    QString refusal;
    const int before = window.tabWidget()->count();
    bool ran = false;
    bool secondOpened = false;
    const std::function<void()> act = [&] {
      ran = true;
      if (during.startsWith("cancel")) {
        window.currentWidget()->swapFile->terminate(); // as its window's Close does
      } else if (beside) {
        window.tabWidget()->setCurrentIndex(0);
        if (during == "save beside") {
          window.tabWidget()->setCurrentIndex(1);
          window.on_actionSave();
          refusal = statusText(window);
        }
      } else if (during == "supply" || during == "logger") {
        if (during == "supply")
          bus.add<SimPowerSupply>();
        else
          bus.add<SimLogger>();
        HidDevice::m_instance->checkTimerTick();
      } else if (during == "close") {
        window.closeTabSilent(window.tabWidget()->currentIndex(), false);
      } else if (during == "closeAll") {
        window.closeAllTabs();
      } else if (during == "start") {
        DeviceControl start;
        start.set(1, uchar(DeviceControl::Start));
        start.writeU16(4, 0x07);
        start.writeU16(6, 10);
        window.on_startMeasurement(start);
      } else {
        secondOpened = window.loadFile(path);
      }
    };
    // These come once the read has begun, at its first look for a Close.
    if (during.contains(' '))
      QTimer::singleShot(0, &window, [&] { QTimer::singleShot(0, &window, act); });
    else
      QTimer::singleShot(0, &window, act);
    QCOMPARE(window.loadFile(path), opens);
    QVERIFY(ran);
    if (during == "supply" || during == "logger") {
      // The arrival is served once the open has ended: a change of kind
      // closes every tab, the one just opened too.
      QTRY_COMPARE_WITH_TIMEOUT(Helpers::powerMode, during == "supply", 10000);
      QTRY_COMPARE_WITH_TIMEOUT(window.tabWidget()->count(), 0, 10000);
      QCOMPARE(window.windowTitle(), QString(during == "supply" ? " Kelvaro Power V1 connected" : " TOVRI connected"));
    } else if (during == "open" || during == "start") {
      QVERIFY(!secondOpened);
      QVERIFY(!Helpers::isMeasuring);
      QCOMPARE(window.tabWidget()->count(), before + 1);
      QCOMPARE(window.tabWidget()->tabText(window.tabWidget()->currentIndex()), QString("run"));
    } else if (during.startsWith("cancel")) {
      // Its tab goes at once, or stays with nothing of the file to save.
      QCOMPARE(window.tabWidget()->count(), 1);
      QCOMPARE(window.currentWidget()->holdsCapture(), beside);
      QCOMPARE(window.m_actionSave->isEnabled(), beside);
    } else if (beside) {
      // The bars describe the tab on show; the tab read got its own window.
      GLWidget *shown = window.currentWidget();
      auto *opened = qobject_cast<GLWidget *>(window.tabWidget()->widget(1));
      QCOMPARE(window.findChild<NavigationBar *>()->boundFile(), shown->swapFile);
      QCOMPARE(window.findChild<MarkerBar *>()->chart.data(), shown);
      QCOMPARE(opened->plot->xAxis->rangeMax(), opened->timeRange().upper);
      QCOMPARE(refusal, during == "save beside" ? QString("Wait until the capture being read is done.") : QString());
    } else {
      QCOMPARE(window.tabWidget()->count(), 0);
      QVERIFY2(statusText(window).contains("closed"), qPrintable(statusText(window)));
    }
  }

  void damagedFiles_data()
  {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status"); // of a file that opens
    const QString corrupted = "The file is corrupted or in the wrong format";
    const QString noSamples = "The file holds no samples";
    QTest::newRow("empty") << "empty" << false << corrupted << QString();
    QTest::newRow("shorter than the header") << "short" << false << corrupted << QString();
    QTest::newRow("header only") << "header" << false << noSamples << QString();
    QTest::newRow("header and tail only") << "headertail" << false << noSamples << QString();
    QTest::newRow("other version") << "version" << false << corrupted << QString();
    QTest::newRow("channel count 0") << "count0" << false << corrupted << QString();
    QTest::newRow("channel count 127") << "count127" << false << corrupted << QString();
    QTest::newRow("divider 0") << "divider0" << false << corrupted << QString();
    QTest::newRow("mode 7") << "mode7" << false << corrupted << QString();
    QTest::newRow("text file") << "text" << false << corrupted << QString();
    // A file that opens only in part says so, as a sound one says "Loaded".
    const QString recovered = "Loaded a damaged or unfinished capture: %1 records kept, %2 bytes dropped";
    QTest::newRow("cut inside a record") << "cut" << true << QString() << recovered.arg(120).arg(16);
    QTest::newRow("no tail") << "notail" << true << QString() << recovered.arg(300).arg(0);
    QTest::newRow("bytes after the tail") << "appended" << true << QString() << recovered.arg(300).arg(10000);
  }

  void damagedFiles()
  {
    QFETCH(QString, damage);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    QFETCH(QString, status);
    QTemporaryDir dir;
    const QString good = dir.filePath("good.tovri");
    MainWindow window;
    QVERIFY(saveCapture(window, good, 300));
    // An unsaved capture in another tab must come through untouched.
    GLWidget *other = addUnsavedCapture(window, 50);
    QVERIFY(other);
    const QString otherFile = other->swapFile->file.fileName();
    const QByteArray otherBytes = fileBytes(otherFile);
    const QStringList tabsBefore = [&] {
      QStringList names;
      for (int i = 0; i < window.tabWidget()->count(); ++i)
        names << window.tabWidget()->tabText(i);
      return names;
    }();

    const QByteArray bytes = fileBytes(good);
    QCOMPARE(bytes.size(), 512 + 300 * 32 + ReportData::byteSize);
    const qint64 record = 4 * 8;
    QByteArray damaged;
    if (damage == "short")
      damaged = bytes.left(300);
    else if (damage == "header")
      damaged = bytes.left(512);
    else if (damage == "headertail") {
      ReportData none;
      damaged = bytes.left(512) + QByteArray(ReportData::byteSize, '\0');
      none.toBytes(reinterpret_cast<uchar *>(damaged.data()) + 512);
    }
    else if (damage == "version")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.version = 9; });
    else if (damage == "count0")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.channelCount = 0; });
    else if (damage == "count127")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.channelCount = 127; });
    else if (damage == "divider0")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.divider = 0; });
    else if (damage == "mode7")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.mode = 7; });
    else if (damage == "text")
      damaged = QByteArray(2048, 'x');
    else if (damage == "cut")
      damaged = bytes.left(512 + 120 * record + record / 2);
    else if (damage == "notail")
      damaged = bytes.left(bytes.size() - ReportData::byteSize);
    else if (damage == "appended") {
      QByteArray noise(10000, '\0');
      QRandomGenerator(2718).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
      damaged = bytes + noise;
    }
    const QString path = dir.filePath("damaged.tovri");
    writeBytes(path, damaged);

    DialogScript script({DialogScript::box(QMessageBox::Ok)});
    const bool loaded = window.loadFile(path);
    QCOMPARE(loaded, opens);
    QCOMPARE(window.tabWidget()->count(), tabsBefore.size() + (opens ? 1 : 0));
    for (int i = 0; i < tabsBefore.size(); ++i)
      QCOMPARE(window.tabWidget()->tabText(i), tabsBefore[i]);
    QCOMPARE(fileBytes(otherFile), otherBytes);
    QVERIFY(!other->saved);
    if (opens) {
      QVERIFY(script.boxTexts.isEmpty());
      // Every whole record before the damage is there.
      const int expected = damage == "cut" ? 120 : 300;
      QCOMPARE(window.currentWidget()->maps[0]->size(), expected);
      QCOMPARE(window.currentWidget()->maps[2]->last().value, loggerValue(2, expected - 1));
      QCOMPARE(statusText(window), status);
      // The whole capture is on show: its statistics are those of the points.
      const GLWidget *tab = window.currentWidget();
      double max2 = -qInf(), min1 = qInf();
      for (auto it = tab->maps[2]->constBegin(); it != tab->maps[2]->constEnd(); ++it)
        max2 = qMax(max2, it->value);
      for (auto it = tab->maps[1]->constBegin(); it != tab->maps[1]->constEnd(); ++it)
        min1 = qMin(min1, it->value);
      QCOMPARE(tab->report.max2, max2);
      QCOMPARE(tab->report.min1, min1);
    } else {
      QCOMPARE(script.boxTexts, QStringList{message});
    }
  }
};

TOVRI_TEST(OpeningTest)
#include "tst_opening.moc"
