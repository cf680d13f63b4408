#include "capturerig.h"
#include "savingfixture.h"
#include "glwidget.h"
#include "controlpanel.h"
#include "helpers.h"
#include "packet.h"
#include "plot.h"
#include "powerpanel.h"
#include "powerv2panel.h"
#include "processstate.h"
#include "testmain.h"

#include <QLabel>
#include <QSignalSpy>
#include <QDockWidget>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace AppFixture;

// Devices arriving and leaving on the simulated bus, seen from the window.
class ArrivalTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void loggerComesAndGoes()
  {
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    QCOMPARE(window.windowTitle(), QCoreApplication::applicationName());
    pump();

    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    QCOMPARE(statusText(window), QString("Device connected"));
    // Identification, then the channel descriptions.
    QCOMPARE(descriptors(logger->written).mid(0, 2), (QList<int>{DeviceInfo::Descriptor, ChannelInfo::Descriptor}));
    QCOMPARE(window.tabWidget()->count(), 1);
    QCOMPARE(window.tabWidget()->tabText(0), QString("Capture 1"));
    QCOMPARE(window.plotter()->graphCount(), 4);
    QVERIFY(window.statusTimer()->isActive());
    // The fresh tab holds no capture yet: nothing to save.
    QVERIFY(!window.m_actionSave->isEnabled());
    QVERIFY(window.m_actionReport->isVisible());
    QCOMPARE(DeviceInfo::m_deviceInfo->readU32(4), quint32(500100001));
    auto *start = window.controlPanel()->findChild<QAbstractButton *>("btnStart");
    QVERIFY(start && start->isEnabled());

    // Each tick asks for the status while idle, and only then.
    logger->written.clear();
    QVERIFY(QMetaObject::invokeMethod(&window, "statusTick"));
    QCOMPARE(descriptors(logger->written), QList<int>{StatusControlRequest::Descriptor});
    Helpers::isMeasuring = true;
    QVERIFY(QMetaObject::invokeMethod(&window, "statusTick"));
    Helpers::isMeasuring = false;
    QCOMPARE(logger->written.size(), 1);
    // The answer reaches the panels: the chart has its three channels.
    StatusControlResponse::firstPacket = true;
    pump(1);
    QVERIFY(!StatusControlResponse::firstPacket);

    bus.unplug(logger);
    pump(1);
    QCOMPARE(window.windowTitle(), QCoreApplication::applicationName() + " - no device connected");
    QCOMPARE(statusText(window), QString("Device disconnected"));
    QCOMPARE(window.statusBar()->styleSheet(), QString("color: red"));
    QVERIFY(!window.statusTimer()->isActive());
    QCOMPARE(ChannelInfo::channelCount(), 0);
    QVERIFY(!window.m_actionSave->isEnabled());
    QVERIFY(!window.m_actionShowAll->isEnabled());
    QVERIFY(!window.m_comboMeasuringTime->isEnabled());
    QVERIFY(window.m_actionOpen->isEnabled());
    QVERIFY(window.m_actionSettings->isEnabled());
    QVERIFY(!start->isEnabled());

    // The untouched tab stays; the next completion adds a fresh one.
    bus.plug(logger);
    pump();
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    QCOMPARE(window.tabWidget()->count(), 2);
    QCOMPARE(window.tabWidget()->tabText(1), QString("Capture 2"));
    QVERIFY(window.statusTimer()->isActive());
  }

  // At every arrival Start and the measurement controls wait for the
  // logger's channel list: nothing can be started with channels unknown.
  void startWaitsForTheChannelList()
  {
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    auto *start = window.controlPanel()->findChild<QAbstractButton *>("btnStart");
    auto *control = window.controlPanel()->findChild<QWidget *>("groupBoxControl");
    QVERIFY(start && control);
    for (int arrival = 1; arrival <= 2; ++arrival) {
      // The search opens the logger; its answers are not read yet.
      HidDevice::m_instance->checkTimerTick();
      QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
      QVERIFY2(!start->isEnabled(), qPrintable(QString::number(arrival)));
      QVERIFY(!control->isEnabled());
      QVERIFY(!window.statusTimer()->isActive());
      pump();
      QCOMPARE(ChannelInfo::channelCount(), 3);
      QVERIFY(start->isEnabled());
      QVERIFY(control->isEnabled());
      QVERIFY(window.statusTimer()->isActive());
      bus.unplug(logger);
      pump(1);
      QVERIFY(!start->isEnabled());
      bus.plug(logger);
    }
  }

  void channelsWrittenAtExitWhileOpen()
  {
    SimBus bus;
    bus.add<SimLogger>();
    {
      MainWindow window;
      quietLink();
      pump();
      QCOMPARE(window.tabWidget()->count(), 1);
    }
    // The link was still open when the control panel saved its choice.
    QVERIFY(!readSetting("Measure/channels").toString().isEmpty());
    QVERIFY(readSetting("Control/dock-area").isValid());
    QVERIFY(HidDevice::m_instance == nullptr);
    QCOMPARE(bus.openHandles(), 0);
  }

  void supplyInPlaceOfLoggerStopsThePoll()
  {
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    pump();
    QVERIFY(window.statusTimer()->isActive());
    bus.unplug(logger);
    pump(1);
    bus.add<SimPowerSupply>();
    pump(2);
    QVERIFY(Helpers::powerMode);
    QVERIFY(!window.statusTimer()->isActive());
    // A change of device kind closes every tab without a question.
    QCOMPARE(window.tabWidget()->count(), 0);
  }

  // With nothing to chart the window says what to do, in the status line
  // and in the chart's place.
  void withoutDeviceTheWindowSaysWhatToDo()
  {
    SimBus bus;
    MainWindow window;
    quietLink();
    pump(2);
    auto *hint = window.findChild<QLabel *>("labelChartHint");
    QVERIFY(hint);
    QCOMPARE(statusText(window), MainWindow::noDeviceHint());
    QVERIFY(MainWindow::noDeviceHint().contains("Connect a TOVRI logger or a Kelvaro power supply, or open a capture file"));
    QVERIFY(!hint->isHidden());
    QCOMPARE(hint->text(), MainWindow::noDeviceHint());
    QVERIFY(window.tabWidget()->isHidden());

    auto *logger = bus.add<SimLogger>();
    pump();
    QCOMPARE(window.tabWidget()->count(), 1);
    QVERIFY(hint->isHidden());
    QVERIFY(!window.tabWidget()->isHidden());
    // Unplugged, the tab keeps the chart's place until it is closed.
    bus.unplug(logger);
    pump(1);
    QVERIFY(hint->isHidden());
    window.closeTabSilent(0, false);
    QCOMPARE(window.tabWidget()->count(), 0);
    QVERIFY(!hint->isHidden());
    QVERIFY(window.tabWidget()->isHidden());
  }

  // A Power V2, which the window does not serve live, is named for what it
  // is, in the status line and in the chart's place, and only while it is
  // on the bus; a device of an unknown model changes nothing.
  void powerV2IsNamed_data()
  {
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("beside"); // another unserved device, listed first
    QTest::addColumn<bool>("named");
    QTest::newRow("Power V2") << "500300001" << QString() << true;
    QTest::newRow("Power V2 after an unknown model") << "500300001" << "500900001" << true;
    QTest::newRow("unknown model") << "500900001" << QString() << false;
  }

  void powerV2IsNamed()
  {
    QFETCH(QString, serial);
    QFETCH(QString, beside);
    QFETCH(bool, named);
    SimBus bus;
    if (!beside.isEmpty())
      bus.add<SimPowerSupply>(beside);
    auto *supply = bus.add<SimPowerSupply>(serial);
    MainWindow window;
    quietLink();
    pump(2);
    auto *hint = window.findChild<QLabel *>("labelChartHint");
    QVERIFY(hint && !hint->isHidden());
    const QString expected = named ? MainWindow::powerV2Hint() : MainWindow::noDeviceHint();
    QCOMPARE(statusText(window), expected);
    QCOMPARE(hint->text(), expected);
    QVERIFY(MainWindow::powerV2Hint().contains("Kelvaro Power V2 is connected"));
    QVERIFY(!HidDevice::m_instance->isOpen());
    QVERIFY(supply->written.isEmpty());
    QCOMPARE(window.windowTitle(), QCoreApplication::applicationName());
    window.loadLanguage("uk");
    QCOMPARE(hint->text(), named ? QString::fromUtf8("Під’єднано джерело живлення Kelvaro Power V2. Ця програма не "
                                                     "працює з ним наживо; його файли журналу відкриваються як "
                                                     "завжди через «Відкрити».")
                                 : QString::fromUtf8("Пристрій не під’єднано. Під’єднайте реєстратор TOVRI або "
                                                     "джерело живлення Kelvaro чи відкрийте файл запису."));
    window.loadLanguage("en");

    bus.unplug(supply);
    pump(1);
    QCOMPARE(statusText(window), MainWindow::noDeviceHint());
    QCOMPARE(hint->text(), MainWindow::noDeviceHint());
    bus.plug(supply);
    pump(1);
    QCOMPARE(hint->text(), expected);
    // A logger beside it is served as ever.
    bus.add<SimLogger>();
    pump();
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    QVERIFY(hint->isHidden());
  }

  void deviceThatCannotBeOpenedIsToldOnce()
  {
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    logger->failOpen = true;
    MainWindow window;
    quietLink();
    QSignalSpy failed(HidDevice::m_instance, &HidDevice::deviceOpenFailed);
    pump(5);
    QCOMPARE(failed.count(), 1);
    QVERIFY(statusText(window).contains("simulated open failure"));
    QCOMPARE(window.statusBar()->styleSheet(), QString("color: red"));
    // The message tells the way out as well.
    for (const char *fix : {"cmake --install", "70-tovri.rules", "udevadm control --reload-rules && udevadm trigger",
                            "logged-in local seat"})
      QVERIFY2(statusText(window).contains(fix), fix);
    auto *hint = window.findChild<QLabel *>("labelChartHint");
    QVERIFY(hint && !hint->isHidden());
    QCOMPARE(hint->text(), statusText(window));

    // Taken off and put back, still refusing: told again, once.
    bus.unplug(logger);
    pump(1);
    bus.plug(logger);
    pump(3);
    QCOMPARE(failed.count(), 2);

    logger->failOpen = false;
    pump();
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    QCOMPARE(failed.count(), 2);
    QVERIFY(hint->isHidden());
  }

  // Files of another kind opened with a device on the link leave the window
  // serving that device: its identity, its descriptions and its model.
  void openedFilesLeaveTheDevice_data()
  {
    QTest::addColumn<QString>("device"); // serial on the bus
    QTest::addColumn<QStringList>("files");
    QTest::newRow("logger: two supply files, logger file") << "500100001" << QStringList{"v2", "v1", "logger"};
    QTest::newRow("Power V1: V2 file") << "500200001" << QStringList{"v2"};
    QTest::newRow("Power V1: logger file, V2 file") << "500200001" << QStringList{"logger", "v2"};
  }

  void openedFilesLeaveTheDevice()
  {
    QFETCH(QString, device);
    QFETCH(QStringList, files);
    writeSettings({{"Options/time-length-index", MainWindow::MeasuringTimeRows - 2}});
    QTemporaryDir dir;
    QStringList paths;
    for (const QString &kind : files) {
      const QString path = dir.filePath(kind + (kind == "logger" ? ".tovri" : ".kelvpow"));
      paths << (kind == "logger" ? writeLoggerCapture(path, 300, true)
                                 : writeSupplyCapture(path, kind == "v2", {0, 1, kind == "v2" ? 9 : 4}, 30));
    }
    struct ClockReset
    {
      ~ClockReset() { MainWindow::setClock({}); }
    } clockReset;
    SimBus bus;
    const bool supply = device.startsWith("5002");
    if (supply)
      bus.add<SimPowerSupply>(device);
    else
      bus.add<SimLogger>(device);
    MainWindow::setClock([&bus] { return bus.now(); });
    auto window = std::make_unique<MainWindow>();
    quietLink();
    pump();
    const quint32 serial = DeviceInfo::m_deviceInfo->readU32(4);
    const QString title = window->windowTitle();
    const QList<ChannelInfo> descriptions = ChannelInfo::m_channels.values();
    for (const QString &path : paths)
      QVERIFY(window->loadFile(path));
    QCOMPARE(DeviceInfo::m_deviceInfo->readU32(4), serial);
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(ChannelInfo::m_channels.size(), descriptions.size());
    // Whole, as received: a built-in description yields no samples.
    const auto image = [](const ChannelInfo &info) { return QByteArray((const char *)info.data(), Packet::ImageSize); };
    for (const ChannelInfo &info : descriptions)
      QCOMPARE(image(ChannelInfo::getChannelInfo(info.channel())), image(info));
    if (supply) {
      // The live window stays the first model's, and so does its next log.
      auto *panel = qobject_cast<PowerPanel *>(window->dockControl()->widget());
      QVERIFY(panel && !qobject_cast<PowerV2Panel *>(panel) && !Helpers::powerV2Mode);
      emit panel->startPowerLog(QStringLiteral("LOG10C01\n"));
      QVERIFY(Helpers::isMeasuring);
      QCOMPARE(window->currentWidget()->swapFile->header.mode, quint8(SwapFileHeader::PowerV1));
      return;
    }
    // The logger's next capture records what it sends.
    QVERIFY(window->controlPanel()->findChild<QAbstractButton *>("btnStart")->isEnabled());
    DeviceControl command = CaptureRig::Rig::startCommand(0x05, 50);
    window->on_startMeasurement(command);
    QVERIFY(Helpers::isMeasuring);
    const QString path = window->captureTab()->swapFile->file.fileName();
    CaptureRig::runBus(bus, *window, 1000);
    window->on_stopButton();
    const CaptureRig::Records records = CaptureRig::readRecords(path, 2, true);
    QVERIFY2(records.times.size() >= 150, qPrintable(QString::number(records.times.size())));
  }

  void firmwareCheckHonoursTheUsersChoice_data()
  {
    QTest::addColumn<bool>("allowed");
    QTest::newRow("checks on") << true;
    QTest::newRow("checks off") << false;
  }

  void firmwareCheckHonoursTheUsersChoice()
  {
    QFETCH(bool, allowed);
    writeSettings({{"Update/auto-check-firm", allowed}, {"Update/auto-check-soft", false}});
    SimBus bus;
    bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    // The arrival alone, before any event turn can end the query.
    HidDevice::m_instance->checkTimerTick();
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    // Busy means the serial number went out in a query.
    QCOMPARE(window.updater()->firmwareDownloader()->state() == Downloader::Busy, allowed);
  }
};

TOVRI_TEST(ArrivalTest)

#include "tst_arrival.moc"
