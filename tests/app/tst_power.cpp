#include "axis.h"
#include "capturerig.h"
#include "controlpanel.h"
#include "filesizelimit.h"
#include "helpers.h"
#include "infopackets.h"
#include "powerpanel.h"
#include "powerv2panel.h"
#include "processstate.h"
#include "plot.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QCheckBox>
#include <QDir>
#include <QDockWidget>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace AppFixture;

namespace {

int textCommands(const QList<QByteArray> &written, const QByteArray &text)
{
  int n = 0;
  for (const QByteArray &report : written)
    n += report.contains(text) ? 1 : 0;
  return n;
}

// A supply on the simulated bus, a window with no time limit and the bus's
// time as its clock.
struct PowerRig
{
  SimBus bus;
  SimPowerSupply *supply;
  std::unique_ptr<MainWindow> window;

  PowerRig()
  {
    writeSettings({{"Options/time-length-index", MainWindow::MeasuringTimeRows - 2}});
    supply = bus.add<SimPowerSupply>();
    MainWindow::setClock([this] { return bus.now(); });
    window = std::make_unique<MainWindow>();
    quietLink();
    pump(2);
  }
  ~PowerRig()
  {
    window.reset();
    MainWindow::setClock({});
  }

  PowerPanel *panel() const { return qobject_cast<PowerPanel *>(window->dockControl()->widget()); }
  template<typename T> T *control(const char *name) const { return panel()->findChild<T *>(name); }

  // The panel's poll, answered.
  void askPower()
  {
    emit panel()->requestPowerStatus(QStringLiteral("POWER\n"));
    pump(1);
  }

  // Checks `rows`, the temperature scale, and presses Start.
  void startLog(const QList<int> &rows, bool fahrenheit)
  {
    auto *list = control<QListWidget>("listWidget");
    for (int row : rows)
      list->item(row)->setCheckState(Qt::Checked);
    control<QCheckBox>("checkBoxTemperature")->setChecked(fahrenheit);
    control<QPushButton>("btnStart")->click();
  }

  void run(qint64 ms) { CaptureRig::runBus(bus, *window, ms); }

  // A report from the supply: descriptor, size, then `body`.
  void answer(const QByteArray &body, int size)
  {
    supply->queue(QByteArray(1, char(0x07)) + char(size) + body);
    pump(1);
  }
};

// The value the window must store for sample `index` of a channel: USB
// currents in 10 mA steps, mains volts whole, temperatures in whole degrees,
// the rest in tenths.
double supplyValue(int channel, quint32 index, bool fahrenheit)
{
  const qint16 raw = SimPowerSupply::sample(channel, index);
  switch (channel) {
  case 3:
    return raw / 100.0;
  case 4:
  case 5:
    return fahrenheit ? 1.8 * raw + 32 : raw;
  case 6:
    return raw;
  default:
    return raw / 10.0;
  }
}

// Records at 10 per second from time 0 with the supply's values.
void compareLog(const CaptureRig::Records &records, const QList<int> &channels, bool fahrenheit)
{
  for (int i = 0; i < records.times.size(); ++i) {
    QVERIFY2(qAbs(records.times[i] - i * 0.1) < 1e-9, qPrintable(QString::number(i)));
    for (int k = 0; k < channels.size(); ++k)
      QCOMPARE(records.values[i][k], supplyValue(channels[k], quint32(i), fahrenheit));
  }
}

// The channels the readout names while nothing is under the pointer.
QList<int> idleChannels(MainWindow &window)
{
  static const QRegularExpression entry(QStringLiteral("#(\\d+): --"));
  QList<int> out;
  for (auto it = entry.globalMatch(window.readoutLabel()->text()); it.hasNext();)
    out.append(it.next().captured(1).toInt());
  return out;
}

QImage indicator(const char *path)
{
  return QPixmap(QString::fromLatin1(path)).scaled(32, 32).toImage();
}

} // namespace

// Power-supply mode: the panel swap on a supply's arrival and on opening
// its captures, and the way back to the logger.
class PowerTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void supplyArrivalsKeepOnePanel()
  {
    SimBus bus;
    auto *supply = bus.add<SimPowerSupply>();
    MainWindow window;
    quietLink();
    pump(2);
    QVERIFY(Helpers::powerMode);
    QVERIFY(qobject_cast<PowerPanel *>(window.dockControl()->widget()));
    QVERIFY(window.dockStatus()->isHidden());
    QCOMPARE(ChannelInfo::channelCount(), 8);
    QCOMPARE(textCommands(supply->written, "LOGSTOP\n"), 1);

    // Two re-plugs: still one panel, so one poll of the supply.
    for (int i = 0; i < 2; ++i) {
      bus.unplug(supply);
      pump(1);
      bus.plug(supply);
      pump(2);
    }
    QCOMPARE(window.findChildren<PowerPanel *>().size(), 1);
    QCOMPARE(window.dockControl()->widget(), window.findChildren<PowerPanel *>().first());
    int polls = 0;
    for (QTimer *timer : window.findChildren<QTimer *>())
      polls += qobject_cast<PowerPanel *>(timer->parent()) && timer->interval() == PowerPanel::PollIntervalMs;
    QCOMPARE(polls, 1);
    QVERIFY(!window.statusTimer()->isActive());
  }

  void supplyLogRoundTrip()
  {
    QTemporaryDir dir;
    PowerRig rig;
    MainWindow &window = *rig.window;
    QVERIFY(rig.panel());
    QVERIFY(window.dockStatus()->isHidden());
    QCOMPARE(ChannelInfo::channelCount(), 8);
    QCOMPARE(textCommands(rig.supply->written, "LOGSTOP\n"), 1);

    rig.askPower();
    QVERIFY(rig.control<QPushButton>("btnStart")->isEnabled());
    // The readout names the supply's logged channels, none before a log.
    QCOMPARE(idleChannels(window), QList<int>());
    const QList<int> channels{0, 1, 4, 5};
    rig.startLog(channels, true);
    QVERIFY(Helpers::isMeasuring);
    QCOMPARE(idleChannels(window), channels);
    QCOMPARE(rig.supply->logChannels(), channels);
    QCOMPARE(rig.supply->logRate(), 10);
    GLWidget *tab = window.currentWidget();
    QCOMPARE(window.tabWidget()->tabText(window.tabWidget()->currentIndex()), QString("*Capture 1"));
    const QString working = tab->swapFile->file.fileName();
    // The two temperatures are drawn on Fahrenheit axes, live and reopened.
    auto fahrenheitAxes = [](GLWidget *chart) {
      int found = 0;
      for (PlotAxis *axis : chart->plot->axisRect()->axes())
        if (auto *power = dynamic_cast<AxisPower *>(axis); power && (power->channel == 4 || power->channel == 5))
          found += power->label().endsWith('F') && power->rangeMax() > 200;
      return found;
    };
    QCOMPARE(fahrenheitAxes(tab), 2);

    // After 15 s the oldest frames are in the file, the newest still in memory.
    rig.run(15000);
    const CaptureRig::Records moved = CaptureRig::readRecords(working, 4, false);
    QVERIFY(moved.times.size() >= 40);
    QVERIFY(tab->maps.at(0)->size() >= 90);
    QVERIFY(tab->maps.at(0)->firstKey() > moved.times.last());

    // Stop asks the supply; its end-of-log report ends the log, once.
    const int stops = textCommands(rig.supply->written, "LOGSTOP\n");
    rig.control<QPushButton>("btnStop")->click();
    QCOMPARE(textCommands(rig.supply->written, "LOGSTOP\n"), stops + 1);
    pump(1);
    QVERIFY(!Helpers::isMeasuring);
    const CaptureRig::Records records = CaptureRig::readRecords(working, 4, true);
    QVERIFY(records.tail);
    QVERIFY(records.times.size() >= 140);
    compareLog(records, channels, true);
    const QByteArray finished = fileBytes(working);

    // A second end-of-log report and frames while idle: the file stays, each
    // frame is answered with one stop command.
    rig.answer(QByteArray(1, char(0x08)), 0x40);
    QByteArray frame(1, char(0x01));
    frame += QByteArray::fromHex("000000") + char(1) + QByteArray(5, char(3));
    rig.supply->queue(QByteArray(1, char(0x07)) + char(0x40) + frame);
    rig.answer(frame, 0x40);
    QCOMPARE(textCommands(rig.supply->written, "LOGSTOP\n"), stops + 3);
    QCOMPARE(fileBytes(working), finished);

    const QString saved = dir.filePath("supply.kelvpow");
    {
      DialogScript script({DialogScript::file(saved)});
      QVERIFY(window.save(window.tabWidget()->indexOf(tab)));
    }
    QVERIFY(QFile::exists(saved) && !QFile::exists(working));
    QVERIFY(window.loadFile(saved));
    QVERIFY(Helpers::powerMode && !Helpers::powerV2Mode);
    QCOMPARE(rig.panel()->channels(), channels);
    QVERIFY(rig.panel()->isFahrentheit());
    GLWidget *opened = window.currentWidget();
    QCOMPARE(opened->maps.size(), 4);
    QCOMPARE(fahrenheitAxes(opened), 2);
    QCOMPARE(opened->maps.at(2)->first().value, supplyValue(4, 0, true));
    QCOMPARE(opened->maps.at(1)->last().value, supplyValue(1, quint32(opened->maps.at(1)->size() - 1), true));
  }

  void unplugDuringLog()
  {
    PowerRig rig;
    MainWindow &window = *rig.window;
    rig.askPower();
    rig.startLog({1, 6}, false);
    QVERIFY(Helpers::isMeasuring);
    GLWidget *tab = window.currentWidget();
    const QString working = tab->swapFile->file.fileName();
    rig.run(12000);
    const double newest = tab->maps.at(0)->lastKey();

    rig.bus.unplug(rig.supply);
    pump(1);
    QVERIFY(!Helpers::isMeasuring);
    const CaptureRig::Records records = CaptureRig::readRecords(working, 2, true);
    QVERIFY(records.tail);
    QCOMPARE(records.times.last(), newest);
    compareLog(records, {1, 6}, false);
    QVERIFY(window.m_actionSave->isEnabled());
    QVERIFY(window.tabWidget()->tabText(window.tabWidget()->indexOf(tab)).startsWith('*'));

    // A re-plug keeps the log's tab and file.
    rig.bus.plug(rig.supply);
    pump(2);
    QCOMPARE(window.tabWidget()->indexOf(tab), 0);
    QVERIFY(QFile::exists(working));
  }

  // The disk fills during a log: the log stops and a save elsewhere holds
  // every record the supply sent, in its channels' columns.
  void fullDiskKeepsEveryRecord()
  {
    PowerRig rig;
    MainWindow &window = *rig.window;
    rig.askPower();
    rig.startLog({1, 6}, false);
    QVERIFY(Helpers::isMeasuring);
    GLWidget *tab = window.currentWidget();
    const QString working = tab->swapFile->file.fileName();
    rig.run(12000);
    QVERIFY(QFileInfo(working).size() > SwapFile::headerBlockSize);
    {
      FileSizeLimit full(QFileInfo(working).size() + 10);
      rig.run(2000);
    }
    QVERIFY(!Helpers::isMeasuring);
    const double newest = tab->maps.at(0)->lastKey();
    QVERIFY(newest > 12.0);

    QTemporaryDir dir;
    const QString target = dir.filePath("full.kelvpow");
    DialogScript script({DialogScript::file(target)});
    QVERIFY(window.save(window.tabWidget()->indexOf(tab)));
    QVERIFY(!QFile::exists(working));
    const CaptureRig::Records records = CaptureRig::readRecords(target, 2, true);
    QVERIFY(records.tail);
    QCOMPARE(records.times.last(), newest);
    QCOMPARE(records.times.size(), qRound(newest * 10) + 1);
    compareLog(records, {1, 6}, false);
  }

  // A log command the supply never got, or refused, ends as a log that never
  // began: no unsaved tab and no working file are left, and the next Start logs.
  void startNotWritten_data()
  {
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("message");
    QTest::newRow("not written") << false << "The log command could not be sent to the supply: simulated I/O failure";
    QTest::newRow("refused") << true << "The supply refused the log: ERROR";
  }

  void startNotWritten()
  {
    QFETCH(bool, refused);
    QFETCH(QString, message);
    PowerRig rig;
    MainWindow &window = *rig.window;
    rig.askPower();
    const int tabs = window.tabWidget()->count();
    const QMap<int, int> types = rig.supply->dataTypes;
    // A supply without channel 6 answers the log command with ERROR.
    if (refused)
      rig.supply->dataTypes.remove(6);
    else
      rig.supply->writesBeforeFailure = 0;
    rig.startLog({1, 6}, false);
    rig.run(10);
    QVERIFY(!Helpers::isMeasuring);
    QCOMPARE(statusText(window), message);
    QCOMPARE(window.tabWidget()->count(), tabs);
    for (int i = 0; i < tabs; ++i)
      QVERIFY(!window.tabWidget()->tabText(i).startsWith('*'));
    QVERIFY(QDir(MainWindow::workingFolder()).entryList(QDir::Files).isEmpty());

    rig.supply->writesBeforeFailure = -1;
    rig.supply->dataTypes = types;
    rig.control<QPushButton>("btnStart")->click();
    QVERIFY(Helpers::isMeasuring);
    QCOMPARE(statusText(window), QString()); // the refusal is the last log's
    rig.run(2000); // a first frame
    QVERIFY(rig.supply->logging());
    // The log says it runs, and its stop ends that.
    QCOMPARE(statusText(window), QString("Logging..."));
    rig.control<QPushButton>("btnStop")->click();
    pump(1);
    QVERIFY(!Helpers::isMeasuring);
    QCOMPARE(statusText(window), QString());
  }

  // A stop the supply never got is told; the supply's next frame, which no
  // log takes, stops it.
  void stopNotWritten()
  {
    PowerRig rig;
    MainWindow &window = *rig.window;
    rig.askPower();
    rig.startLog({1, 6}, false);
    rig.run(2000);
    QVERIFY(Helpers::isMeasuring);
    rig.supply->writesBeforeFailure = 0;
    window.on_stopButton();
    QVERIFY(!Helpers::isMeasuring);
    QVERIFY(rig.supply->logging());
    QCOMPARE(statusText(window), QString("The stop command could not be sent to the supply: simulated I/O failure"));
    rig.supply->writesBeforeFailure = -1;
    rig.run(2000);
    QVERIFY(!rig.supply->logging());
  }

  void logCommands_data()
  {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("divider");
    QTest::newRow("rate 0") << "LOG0C0\n" << false << 0 << 0;
    QTest::newRow("rate 10001") << "LOG10001C0\n" << false << 0 << 0;
    QTest::newRow("signed rate") << "LOG-5C0\n" << false << 0 << 0;
    QTest::newRow("no C") << "LOG10\n" << false << 0 << 0;
    QTest::newRow("no digits") << "LOG10C\n" << false << 0 << 0;
    QTest::newRow("not hex") << "LOG10CZ\n" << false << 0 << 0;
    QTest::newRow("descending") << "LOG10C10\n" << false << 0 << 0;
    QTest::newRow("no such channel") << "LOG10C9\n" << false << 0 << 0;
    QTest::newRow("four channels at 10") << "LOG10C0123\n" << true << 0x000F << 1000;
    QTest::newRow("rate 1") << "LOG1C7\n" << true << 0x0080 << 10000;
    QTest::newRow("rate 10000") << "LOG10000C5\n" << true << 0x0020 << 1;
  }

  void logCommands()
  {
    QFETCH(QString, command);
    QFETCH(bool, starts);
    QFETCH(int, mask);
    QFETCH(int, divider);
    PowerRig rig;
    MainWindow &window = *rig.window;
    const int tabs = window.tabWidget()->count();
    rig.supply->written.clear();
    emit rig.panel()->startPowerLog(command);
    QCOMPARE(Helpers::isMeasuring, starts);
    QCOMPARE(textCommands(rig.supply->written, command.toLatin1()), starts ? 1 : 0);
    QCOMPARE(window.tabWidget()->count(), tabs + (starts ? 1 : 0));
    if (starts) {
      QCOMPARE(int(DeviceControl::m_currentDeviceControl.readU16(4)), mask);
      QCOMPARE(int(DeviceControl::m_currentDeviceControl.readU16(6)), divider);
      QCOMPARE(window.currentWidget()->swapFile->header.divider, divider);
    } else {
      QVERIFY(statusText(window).startsWith("The log cannot start"));
    }
  }

  void textReplies_data()
  {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("loggedMs"); // how long a log ran before the reply; 0: none
    QTest::addColumn<bool>("powerShown");
    QTest::addColumn<bool>("startEnabled");
    QTest::addColumn<bool>("stillLogging");
    QTest::newRow("ON") << QByteArray("ON\r\n") << 0 << true << true << false;
    QTest::newRow("OFF") << QByteArray("OFF\r\n") << 0 << false << false << false;
    // Without its carriage return the reply is no power state.
    QTest::newRow("ON without CR") << QByteArray("ON\n") << 0 << false << true << false;
    QTest::newRow("ON during a log") << QByteArray("ON\r\n") << 12000 << true << false << true;
    QTest::newRow("other text during a log") << QByteArray("ERROR\r\n") << 12000 << true << true << false;
    // The first frame, of 19 records, comes at 1.9 s.
    QTest::newRow("other text after the first frame") << QByteArray("ERROR\r\n") << 2000 << true << true << false;
  }

  void textReplies()
  {
    QFETCH(QByteArray, reply);
    QFETCH(int, loggedMs);
    const bool logging = loggedMs > 0;
    QFETCH(bool, powerShown);
    QFETCH(bool, startEnabled);
    QFETCH(bool, stillLogging);
    PowerRig rig;
    QString working;
    if (logging) {
      rig.askPower();
      rig.startLog({0, 3}, false);
      working = rig.window->currentWidget()->swapFile->file.fileName();
      rig.run(loggedMs);
    }
    rig.answer(reply, reply.size());
    QCOMPARE(Helpers::isMeasuring, stillLogging);
    QCOMPARE(rig.control<QPushButton>("btnStart")->isEnabled(), startEnabled);
    const QImage shown = rig.control<QLabel>("iconPWR")->pixmap().toImage();
    const QImage on = indicator(":/res/bullet_ball_green.png");
    QVERIFY(!on.isNull() && on != indicator(":/res/bullet_ball_grey.png"));
    QCOMPARE(shown == on, powerShown);
    if (logging) {
      // A log the supply ended has its last seconds and its tail in the file,
      // and no refusal is told of it.
      const CaptureRig::Records records = CaptureRig::readRecords(working, 2, !stillLogging);
      QCOMPARE(records.tail, !stillLogging);
      if (!stillLogging) {
        QVERIFY(records.times.last() > loggedMs / 1000.0 - 1);
        compareLog(records, {0, 3}, false);
        QVERIFY2(!statusText(*rig.window).contains("refused"), qPrintable(statusText(*rig.window)));
      }
    }
  }

  void openedFilesSetTheMode()
  {
    QTemporaryDir dir;
    const QList<int> v1Channels{0, 1, 4, 5};
    // Power V2 channels beyond the first model's eight.
    const QList<int> v2Channels{0, 2, 8, 9, 10, 11, 12, 13};
    const QString v1 = writeSupplyCapture(dir.filePath("v1.kelvpow"), false, v1Channels, 50);
    const QString v2 = writeSupplyCapture(dir.filePath("v2.kelvpow"), true, v2Channels, 30);
    QVERIFY(!v1.isEmpty() && !v2.isEmpty());
    MainWindow window;
    GLWidget *logger = addUnsavedCapture(window, 40);
    QVERIFY(logger);
    const QString loggerPath = dir.filePath("logger.tovri");
    {
      DialogScript script({DialogScript::file(loggerPath)});
      QVERIFY(window.save(window.tabWidget()->currentIndex()));
    }

    struct Step
    {
      QString path;
      bool powerMode, powerV2Mode;
      int channels; // described channels
      int mapped;   // maps of the new tab
      int records;
      QList<int> named; // channels the readout names
    };
    const QList<Step> steps{{v1, true, false, 8, 4, 50, v1Channels},
                            {v1, true, false, 8, 4, 50, v1Channels},
                            {v2, false, true, 14, 8, 30, v2Channels},
                            {loggerPath, false, false, 3, 3, 40, {0, 1, 2}}};
    for (const Step &step : steps) {
      QVERIFY2(window.loadFile(step.path), qPrintable(step.path));
      QCoreApplication::processEvents();
      QCOMPARE(Helpers::powerMode, step.powerMode);
      QCOMPARE(Helpers::powerV2Mode, step.powerV2Mode);
      QCOMPARE(ChannelInfo::channelCount(), step.channels);
      QCOMPARE(idleChannels(window), step.named);
      if (step.powerMode || step.powerV2Mode) {
        // The USB output of the first model reaches 12 V, of the second 15 V.
        const ChannelInfo usb = ChannelInfo::getChannelInfo(2);
        QCOMPARE(usb.upper(), step.powerV2Mode ? 15.0 : 12.0);
        QVERIFY2(usb.info().startsWith(step.powerV2Mode ? "V,USB1 Voltage," : "V,USB Voltage,"), qPrintable(usb.info()));
      }
      GLWidget *tab = window.currentWidget();
      QCOMPARE(tab->maps.size(), step.mapped);
      QCOMPARE(tab->maps.last()->size(), step.records);
      const bool power = step.powerMode || step.powerV2Mode;
      QCOMPARE(window.findChildren<PowerPanel *>().size(), power ? 1 : 0);
      if (power) {
        QCOMPARE(bool(qobject_cast<PowerV2Panel *>(window.dockControl()->widget())), step.powerV2Mode);
        QVERIFY(window.dockStatus()->isHidden());
        QCOMPARE(tab->maps.first()->first().value, 0.0);
      } else {
        QCOMPARE(window.dockControl()->widget(), static_cast<QWidget *>(window.controlPanel()));
      }
    }
    // The logger capture saved before is still there under its name.
    QVERIFY(QFile::exists(loggerPath));
  }
};

TOVRI_TEST(PowerTest)
#include "tst_power.moc"
