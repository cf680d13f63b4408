#include "devicemode.h"
#include "hiddevice.h"
#include "linkprobe.h"
#include "simdevices.h"
#include "processstate.h"
#include "testmain.h"

#include <QBuffer>
#include <QTest>

namespace {

QByteArray payloadOf(int size)
{
  QByteArray bytes;
  for (int i = 0; i < size; ++i)
    bytes.append(char((i * 37 + 11) & 0xFF));
  return bytes;
}

QByteArray report(std::initializer_list<int> head, const QByteArray &tail = {})
{
  QByteArray bytes;
  for (int v : head)
    bytes.append(char(v));
  bytes.append(tail);
  bytes.append(QByteArray(65 - int(bytes.size()), '\0'));
  return bytes;
}

// Hands out at most `step` bytes a read; fails for good after `failAfter` bytes.
class TrickleDevice : public QIODevice
{
public:
  TrickleDevice(const QByteArray &data, int step, int failAfter = -1)
    : m_data(data)
    , m_step(step)
    , m_failAfter(failAfter)
  {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  qint64 size() const override { return m_data.size(); }

protected:
  qint64 readData(char *data, qint64 maxSize) override
  {
    if (m_failAfter >= 0 && m_given >= m_failAfter)
      return -1;
    const qint64 n = qMin(maxSize, qMin(qint64(m_step), qint64(m_data.size()) - m_given));
    memcpy(data, m_data.constData() + m_given, size_t(n));
    m_given += n;
    return n;
  }
  qint64 writeData(const char *, qint64) override { return -1; }

private:
  QByteArray m_data;
  int m_step;
  int m_failAfter;
  qint64 m_given = 0;
};

// A device on the bus and a link whose timers are stopped, as the update
// dialog stops them before it starts an update.
template<typename Device = SimLogger>
struct UpdateRig
{
  SimBus bus;
  Device *device = bus.add<Device>();
  HidDevice link;
  LinkProbe probe{link};

  UpdateRig() { link.stop(); }

  // The bootloader the device restarts into.
  SimBootloader *boot() { return bus.bootloaderFor(device); }

  bool update(const QByteArray &firmware)
  {
    QBuffer source;
    source.setData(firmware);
    source.open(QIODevice::ReadOnly);
    return link.update(&source);
  }

  // Runs the link's search until it holds a device in normal operation.
  bool findsNormalDevice()
  {
    probe.quiet();
    for (int tick = 0; tick < 8 && !(link.isOpen() && !link.bootMode()); ++tick)
      link.checkTimerTick();
    return link.isOpen() && !link.bootMode() && probe.events.last() == QLatin1String("connected");
  }

  // The user unplugs the device stuck in its bootloader and plugs it in again.
  void powerCycle()
  {
    bus.unplug(boot());
    bus.plug(device);
  }
};

} // namespace

class FirmwareUpdateTest : public QObject
{
  Q_OBJECT

private slots:
  void init() { resetProcessState(); }

  void loggerUpdate()
  {
    UpdateRig rig;
    rig.bus.restartSearches = 2;
    SimBootloader *boot = rig.boot();
    rig.link.checkTimerTick();
    QVERIFY(rig.link.stop()); // as the update dialog does

    const QByteArray firmware = payloadOf(100);
    QBuffer source;
    source.setData(QByteArray(512, 'H') + firmware);
    source.open(QIODevice::ReadOnly);
    source.seek(512);
    QVERIFY(rig.link.update(&source));

    QCOMPARE(rig.device->written, QList<QByteArray>({report({0x00, 0x09, 0xAB, 0x54})}));
    QCOMPARE(boot->payload, firmware);
    QCOMPARE(boot->chunkLengths, QList<int>({48, 48, 4}));
    QCOMPARE(boot->commands, QList<int>({3, 4, 4, 5, 6}));
    QCOMPARE(boot->written.at(0), report({0x00, 0x03, 48}, firmware.left(48)));
    QCOMPARE(boot->written.at(1), report({0x00, 0x04, 48}, firmware.mid(48, 48)));
    QCOMPARE(boot->written.at(2), report({0x00, 0x04, 4}, firmware.mid(96)));
    QCOMPARE(boot->written.at(3), report({0x00, 0x05}));
    QCOMPARE(boot->written.at(4), report({0x00, 0x06}));
    QCOMPARE(rig.probe.progress, QList<int>({0, 48, 96, 100}));
    QCOMPARE(rig.probe.events, QStringList({"connected", "connected", "completed"}));
    QVERIFY(rig.probe.failures.isEmpty());
    QVERIFY(boot->started);
    QVERIFY(rig.bus.sleptMs() >= 2000); // the waits ran on the bus's clock

    // The link searches again and finds the restarted logger.
    QVERIFY(rig.probe.timersRunning());
    QVERIFY(rig.findsNormalDevice());
    QCOMPARE(rig.link.serial(), QString("500100001"));
  }

  void singleChunk()
  {
    UpdateRig rig;
    QVERIFY(rig.update(payloadOf(48)));
    QCOMPARE(rig.boot()->commands, QList<int>({3, 5, 6}));
    QCOMPARE(rig.probe.progress, QList<int>({0, 100}));
    QVERIFY(rig.probe.events.contains("completed"));
  }

  void powerSupplyUpdate_data()
  {
    QTest::addColumn<bool>("v2");
    QTest::newRow("Power V1") << false;
    QTest::newRow("Power V2") << true;
  }

  void powerSupplyUpdate()
  {
    QFETCH(bool, v2);
    DeviceMode::powerMode = !v2;
    DeviceMode::powerV2Mode = v2;
    UpdateRig<SimPowerSupply> rig;
    rig.bus.restartSearches = 1;
    SimBootloader *boot = rig.boot();

    const QByteArray firmware = payloadOf(100);
    QVERIFY(rig.update(firmware));

    // Report 1 with "RESET", the image from report byte 0.
    QCOMPARE(rig.device->written, QList<QByteArray>({report({0x01, 'R', 'E', 'S', 'E', 'T'})}));
    QCOMPARE(boot->payload, firmware);
    QCOMPARE(boot->chunkLengths, QList<int>({48, 48, 4}));
    QCOMPARE(boot->written.at(0), report({0x00, 0x03, 48}, firmware.left(48)));
    QCOMPARE(rig.probe.progress, QList<int>({0, 48, 96, 100}));
    QCOMPARE(rig.probe.events.mid(0, 2), QStringList({"connected", "completed"}));
    QVERIFY(rig.findsNormalDevice());
    QCOMPARE(rig.link.model(), QString("5002"));
  }

  void deviceAlreadyInBootloader()
  {
    UpdateRig rig;
    rig.bus.unplug(rig.device);
    rig.bus.plug(rig.boot());
    rig.link.checkTimerTick();
    QVERIFY(rig.link.bootMode());
    rig.link.stop();

    QVERIFY(rig.update(payloadOf(100)));
    QVERIFY(rig.device->written.isEmpty()); // no reset message
    QCOMPARE(rig.boot()->payload, payloadOf(100));
    // The restarted logger is found by the searches that end the update.
    QCOMPARE(rig.probe.events.first(), QString("completed"));
    QVERIFY(!rig.probe.events.contains("failed"));
    QVERIFY(rig.findsNormalDevice());
  }

  void emptySource()
  {
    UpdateRig rig;
    QVERIFY(!rig.update(QByteArray()));
    QBuffer closed; // not readable at all
    closed.setData(payloadOf(10));
    QVERIFY(!rig.link.update(&closed));
    QVERIFY(!rig.link.update(nullptr));

    QCOMPARE(rig.probe.failures, QStringList(3, "Firmware file too short."));
    QCOMPARE(rig.probe.progress, QList<int>(3, 100));
    // The device was never reset into its bootloader.
    QVERIFY(rig.device->written.isEmpty());
    QVERIFY(rig.boot()->written.isEmpty());
    QVERIFY(rig.probe.timersRunning());
    QVERIFY(rig.link.isOpen() && !rig.link.bootMode());
    QCOMPARE(rig.probe.events.first(), QString("failed"));
    QVERIFY(rig.probe.events.contains("connected"));
  }

  void negativeAnswerToTheFirstChunk()
  {
    UpdateRig rig;
    rig.boot()->firstChunkAnswer = SimBootloader::Wrong;
    QVERIFY(!rig.update(payloadOf(100)));
    QCOMPARE(rig.probe.failures, QStringList({"Bootloader returns ERROR."}));
    QCOMPARE(rig.probe.progress, QList<int>({0, 100}));
    QCOMPARE(rig.boot()->commands, QList<int>({3}));
    QVERIFY(!rig.probe.events.contains("completed"));
    QVERIFY(rig.probe.timersRunning());
    QVERIFY(rig.link.bootMode()); // the search found the device still in its bootloader
    rig.powerCycle();
    QVERIFY(rig.findsNormalDevice());
  }

  void writeFailureInTheMiddle()
  {
    UpdateRig rig;
    SimBootloader *boot = rig.boot();
    boot->writesBeforeFailure = 1;
    boot->errorText = QStringLiteral("pipe broken");
    QVERIFY(!rig.update(payloadOf(100)));
    QCOMPARE(rig.probe.failures, QStringList({"pipe broken"}));
    QCOMPARE(rig.probe.progress, QList<int>({0, 100}));
    QCOMPARE(boot->payload, payloadOf(48));
    QVERIFY(!boot->finished);
    boot->writesBeforeFailure = -1;
    rig.powerCycle();
    QVERIFY(rig.findsNormalDevice());
  }

  void finishCannotBeWritten()
  {
    UpdateRig rig;
    rig.boot()->writesBeforeFailure = 3; // the three chunks
    QVERIFY(!rig.update(payloadOf(100)));
    QCOMPARE(rig.probe.failures, QStringList({"simulated I/O failure"}));
    QCOMPARE(rig.probe.progress, QList<int>({0, 48, 96, 100, 100}));
    QVERIFY(!rig.boot()->finished);
    QVERIFY(!rig.probe.events.contains("completed"));
  }

  void silentBootloader()
  {
    UpdateRig rig;
    rig.boot()->firstChunkAnswer = SimBootloader::Silent;
    const qint64 start = rig.bus.now();
    QVERIFY(!rig.update(payloadOf(100)));
    QVERIFY(rig.bus.now() - start >= 60000); // a minute of bus time, not of ours
    // Silence is no refusal.
    QCOMPARE(rig.probe.failures, QStringList({"The bootloader did not answer."}));
    QCOMPARE(rig.boot()->commands, QList<int>({3}));
    rig.powerCycle();
    QVERIFY(rig.findsNormalDevice());
  }

  void lateAnswers()
  {
    UpdateRig rig;
    rig.boot()->answerDelayMs = 700;
    QVERIFY(rig.update(payloadOf(100)));
    QVERIFY(rig.probe.events.contains("completed"));
    QVERIFY(rig.probe.failures.isEmpty());
  }

  void unacknowledgedFinish_data()
  {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("everyChunk");
    QTest::newRow("silent") << int(SimBootloader::Silent) << false;
    QTest::newRow("wrong") << int(SimBootloader::Wrong) << false;
    // Answers to earlier chunks must not pass for the finish's.
    QTest::newRow("silent after acknowledged chunks") << int(SimBootloader::Silent) << true;
  }

  void unacknowledgedFinish()
  {
    QFETCH(int, answer);
    QFETCH(bool, everyChunk);
    UpdateRig rig;
    SimBootloader *boot = rig.boot();
    boot->finishAnswer = SimBootloader::Answer(answer);
    boot->acknowledgeEveryChunk = everyChunk;
    QVERIFY(!rig.update(payloadOf(150)));
    QVERIFY(!rig.probe.events.contains("completed"));
    QCOMPARE(rig.probe.failures, QStringList({"The bootloader did not confirm the firmware."}));
    QCOMPARE(rig.probe.progress.last(), 100);
    QVERIFY(boot->finished);
    QVERIFY(!boot->started);
    rig.powerCycle();
    QVERIFY(rig.findsNormalDevice());
  }

  void failureIsToldBeforeTheSearchResumes()
  {
    UpdateRig rig;
    // Listed before the bootloader, so that the resumed search finds it first.
    SimLogger *spare = rig.bus.add<SimLogger>(QStringLiteral("500100002"));
    rig.bus.unplug(spare);
    rig.boot()->finishAnswer = SimBootloader::Wrong;
    // Another logger is plugged in while the bootloader finishes.
    QObject::connect(&rig.link, &HidDevice::updatePercentChanged, &rig.link, [&](int percent) {
      if (percent == 100)
        rig.bus.plug(spare);
    });
    QVERIFY(!rig.update(payloadOf(100)));
    // The failure comes first; then the link goes back to the device it
    // flashed, still in its bootloader, not to the newcomer.
    QCOMPARE(rig.probe.events, QStringList({"connected", "failed"}));
    QVERIFY(rig.link.bootMode());
    QCOMPARE(rig.link.serial(), QString("500100001"));
    // Once the flashed device has gone for good, the other one is served.
    rig.bus.unplug(rig.boot());
    rig.link.checkTimerTick();
    for (int tick = 0; tick <= HidDevice::FlashedDeviceSearches + 1 && !rig.link.isOpen(); ++tick)
      rig.link.checkTimerTick();
    QCOMPARE(rig.probe.events.last(), QString("connected"));
    QCOMPARE(rig.link.serial(), QString("500100002"));
  }

  // Close while the bootloader is silent about the first chunk: the wait
  // ends at once, nothing is told as a failure, the link searches again.
  void cancelWhileTheFirstChunkIsUnanswered()
  {
    UpdateRig rig;
    rig.boot()->firstChunkAnswer = SimBootloader::Silent;
    QObject::connect(&rig.link, &HidDevice::updatePercentChanged, &rig.link, [&](int percent) {
      if (percent == 0)
        rig.link.terminateUpdate();
    });
    const qint64 start = rig.bus.now();
    QVERIFY(!rig.update(payloadOf(100)));
    QVERIFY(rig.bus.now() - start < 10000);
    QVERIFY(rig.probe.failures.isEmpty());
    QCOMPARE(rig.boot()->commands, QList<int>({3}));
    QVERIFY(rig.probe.timersRunning());
    rig.powerCycle();
    QVERIFY(rig.findsNormalDevice());
  }

  // A cancel that comes before the reset is sent is not lost: the device
  // is never reset.
  void cancelBeforeTheReset()
  {
    UpdateRig rig;
    rig.bus.onEnumerate = [&](int) { rig.link.terminateUpdate(); };
    QVERIFY(!rig.update(payloadOf(100)));
    rig.bus.onEnumerate = nullptr;
    QVERIFY(rig.device->written.isEmpty());
    QVERIFY(rig.boot()->written.isEmpty());
    QVERIFY(rig.probe.failures.isEmpty());
    QVERIFY(rig.probe.timersRunning());
    // A cancel left from this update does not end the next one.
    QVERIFY(rig.update(payloadOf(100)));
    QCOMPARE(rig.boot()->payload, payloadOf(100));
  }

  // A logger and a supply plugged together: the supply the link held is
  // flashed, and the link comes back to it, not to the logger.
  void flashedDeviceBesideAnother_data()
  {
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("completed") << true;
    QTest::newRow("finish refused") << false;
  }

  void flashedDeviceBesideAnother()
  {
    QFETCH(bool, succeeds);
    SimBus bus;
    bus.restartSearches = 2;
    // Listed first, but plugged after the supply was opened.
    auto *logger = bus.add<SimLogger>();
    bus.unplug(logger);
    auto *supply = bus.add<SimPowerSupply>();
    SimBootloader *boot = bus.bootloaderFor(supply);
    if (!succeeds)
      boot->finishAnswer = SimBootloader::Wrong;
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    QCOMPARE(link.serial(), QString("500200001"));
    bus.plug(logger);
    link.stop();
    DeviceMode::powerMode = true;

    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QCOMPARE(link.update(&source), succeeds);
    QVERIFY(logger->written.isEmpty());
    QCOMPARE(boot->payload, payloadOf(100));
    for (int tick = 0; tick < 8; ++tick)
      link.checkTimerTick();
    QVERIFY(link.isOpen());
    QCOMPARE(link.serial(), QString("500200001"));
    QCOMPARE(link.bootMode(), !succeeds);
  }

  void chunksFollowTheBytesRead()
  {
    UpdateRig rig;
    const QByteArray firmware = payloadOf(100);
    TrickleDevice source(firmware, 30);
    QVERIFY(rig.link.update(&source));
    QCOMPARE(rig.boot()->payload, firmware); // nothing skipped, nothing repeated
    QCOMPARE(rig.boot()->chunkLengths, QList<int>({30, 30, 30, 10}));
    QCOMPARE(rig.probe.progress, QList<int>({0, 30, 60, 90, 100}));
  }

  void unreadableInTheMiddle()
  {
    UpdateRig rig;
    TrickleDevice source(payloadOf(100), 48, 48);
    QVERIFY(!rig.link.update(&source));
    QCOMPARE(rig.probe.failures, QStringList({"Firmware file cannot be read."}));
    QVERIFY(!rig.boot()->finished);
    QVERIFY(rig.probe.timersRunning());
  }

  void cancelWhileWaitingForTheBootloader()
  {
    UpdateRig rig;
    rig.bus.restartNever = true; // the bootloader never shows up
    int resets = 0;
    rig.bus.onEnumerate = [&](int) {
      // The user presses Close a few searches into the wait.
      if (!rig.device->written.isEmpty() && ++resets == 4)
        rig.link.terminateUpdate();
    };
    QVERIFY(!rig.update(payloadOf(100)));
    rig.bus.onEnumerate = nullptr;
    QVERIFY(rig.probe.failures.isEmpty());
    QVERIFY(rig.probe.progress.isEmpty());
    QCOMPARE(rig.device->written.size(), 1);
    QVERIFY(rig.bus.now() < 5000);
    // The link searches again.
    QVERIFY(rig.probe.timersRunning());
    rig.bus.plug(rig.device);
    QVERIFY(rig.findsNormalDevice());
  }

  void bootloaderNeverAppears()
  {
    UpdateRig rig;
    rig.bus.restartNever = true;
    const qint64 start = rig.bus.now();
    QVERIFY(!rig.update(payloadOf(100)));
    QVERIFY(rig.bus.now() - start >= HidDevice::BootWaitMs);
    QVERIFY(rig.bus.now() - start < HidDevice::BootWaitMs + 10000);
    QCOMPARE(rig.probe.failures, QStringList({"The bootloader did not appear."}));
    QCOMPARE(rig.probe.progress, QList<int>({100}));
    rig.bus.plug(rig.device);
    QVERIFY(rig.findsNormalDevice());
  }

  void noDeviceToUpdate()
  {
    UpdateRig rig;
    rig.bus.unplug(rig.device);
    QVERIFY(!rig.update(payloadOf(100)));
    QCOMPARE(rig.probe.failures, QStringList({"Device not found."}));
    QVERIFY(rig.device->written.isEmpty());
    rig.bus.plug(rig.device);
    QVERIFY(rig.findsNormalDevice());
  }

  void resetCannotBeWritten()
  {
    UpdateRig rig;
    rig.device->writesBeforeFailure = 0;
    rig.device->errorText = QStringLiteral("access denied");
    QVERIFY(!rig.update(payloadOf(100)));
    QCOMPARE(rig.probe.failures.size(), 1);
    QVERIFY(rig.probe.failures.at(0).contains("access denied"));
    QCOMPARE(rig.probe.progress, QList<int>({100}));
    QVERIFY(rig.boot()->written.isEmpty());
    // Still in normal operation: the link keeps the device it announced.
    QVERIFY(rig.link.isOpen() && !rig.link.bootMode());
    QCOMPARE(rig.probe.events, QStringList({"connected", "failed"}));
  }

  // However the update ends, the device the link holds afterwards is
  // announced once, and later searches announce nothing more.
  void oneArrivalAfterTheUpdate_data()
  {
    QTest::addColumn<int>("setup");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<int>("arrivals");
    QTest::addColumn<bool>("normal");
    QTest::newRow("completed") << 0 << true << 1 << true;
    QTest::newRow("started in its bootloader") << 1 << true << 1 << true;
    QTest::newRow("reset refused") << 2 << false << 0 << true;
    QTest::newRow("finish refused") << 3 << false << 0 << false;
  }

  void oneArrivalAfterTheUpdate()
  {
    QFETCH(int, setup);
    QFETCH(bool, succeeds);
    QFETCH(int, arrivals);
    QFETCH(bool, normal);
    UpdateRig rig;
    if (setup == 1) {
      rig.bus.unplug(rig.device);
      rig.bus.plug(rig.boot());
    } else if (setup == 2) {
      rig.device->writesBeforeFailure = 0;
    } else if (setup == 3) {
      rig.boot()->finishAnswer = SimBootloader::Wrong;
    }
    QCOMPARE(rig.update(payloadOf(100)), succeeds);
    const QStringList &events = rig.probe.events;
    const QStringList after = events.mid(events.indexOf(succeeds ? "completed" : "failed") + 1);
    QCOMPARE(after, QStringList(arrivals, "connected"));
    QCOMPARE(rig.bus.openHandles(), 1);
    QCOMPARE(rig.link.isOpen() && !rig.link.bootMode(), normal);

    rig.probe.events.clear();
    for (int tick = 0; tick < 3; ++tick)
      rig.link.checkTimerTick();
    QVERIFY(rig.probe.events.isEmpty());
    QCOMPARE(rig.bus.openHandles(), 1);
  }
};

TOVRI_TEST(FirmwareUpdateTest)
#include "tst_firmware.moc"
