#include "helpers.h"
#include "hiddevice.h"
#include "linkprobe.h"
#include "simdevices.h"
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

} // namespace

class FirmwareUpdateTest : public QObject
{
  Q_OBJECT

  // Runs the link's search until it holds a device in normal operation.
  static bool findsNormalDevice(HidDevice &link, LinkProbe &probe)
  {
    for (int tick = 0; tick < 8 && !(link.isOpen() && !link.bootMode()); ++tick)
      link.checkTimerTick();
    return link.isOpen() && !link.bootMode() && probe.events.last() == QLatin1String("connected");
  }

  // The user unplugs the device stuck in its bootloader and plugs it in again.
  static void powerCycle(SimBus &bus, SimDevice *normal)
  {
    bus.unplug(bus.bootloaderFor(normal));
    bus.plug(normal);
  }

private slots:
  void init()
  {
    Helpers::powerMode = false;
    Helpers::powerV2Mode = false;
  }
  void cleanup() { init(); }

  void loggerUpdate()
  {
    SimBus bus;
    bus.restartSearches = 2;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    QVERIFY(link.stop()); // as the update dialog does

    const QByteArray firmware = payloadOf(100);
    QBuffer source;
    source.setData(QByteArray(512, 'H') + firmware);
    source.open(QIODevice::ReadOnly);
    source.seek(512);
    QVERIFY(link.update(&source));

    QCOMPARE(logger->written, QList<QByteArray>({report({0x00, 0x09, 0xAB, 0x54})}));
    QCOMPARE(boot->payload, firmware);
    QCOMPARE(boot->chunkLengths, QList<int>({48, 48, 4}));
    QCOMPARE(boot->commands, QList<int>({3, 4, 4, 5, 6}));
    QCOMPARE(boot->written.at(0), report({0x00, 0x03, 48}, firmware.left(48)));
    QCOMPARE(boot->written.at(1), report({0x00, 0x04, 48}, firmware.mid(48, 48)));
    QCOMPARE(boot->written.at(2), report({0x00, 0x04, 4}, firmware.mid(96)));
    QCOMPARE(boot->written.at(3), report({0x00, 0x05}));
    QCOMPARE(boot->written.at(4), report({0x00, 0x06}));
    QCOMPARE(probe.progress, QList<int>({0, 48, 96, 100}));
    QCOMPARE(probe.events, QStringList({"connected", "connected", "completed"}));
    QVERIFY(probe.failures.isEmpty());
    QVERIFY(boot->started);
    QVERIFY(bus.sleptMs() >= 2000); // the waits ran on the bus's clock

    // The link searches again and finds the restarted logger.
    QVERIFY(probe.timersRunning());
    probe.quiet();
    QVERIFY(findsNormalDevice(link, probe));
    QCOMPARE(link.serial(), QString("500100001"));
  }

  void singleChunk()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(48));
    source.open(QIODevice::ReadOnly);
    QVERIFY(link.update(&source));
    QCOMPARE(boot->commands, QList<int>({3, 5, 6}));
    QCOMPARE(probe.progress, QList<int>({0, 100}));
    QVERIFY(probe.events.contains("completed"));
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
    Helpers::powerMode = !v2;
    Helpers::powerV2Mode = v2;
    SimBus bus;
    bus.restartSearches = 1;
    SimPowerSupply *supply = bus.add<SimPowerSupply>();
    SimBootloader *boot = bus.bootloaderFor(supply);
    HidDevice link;
    LinkProbe probe(link);
    link.stop();

    const QByteArray firmware = payloadOf(100);
    QBuffer source;
    source.setData(firmware);
    source.open(QIODevice::ReadOnly);
    QVERIFY(link.update(&source));

    // Report 1 with "RESET", the image from report byte 0.
    QCOMPARE(supply->written, QList<QByteArray>({report({0x01, 'R', 'E', 'S', 'E', 'T'})}));
    QCOMPARE(boot->payload, firmware);
    QCOMPARE(boot->chunkLengths, QList<int>({48, 48, 4}));
    QCOMPARE(boot->written.at(0), report({0x00, 0x03, 48}, firmware.left(48)));
    QCOMPARE(probe.progress, QList<int>({0, 48, 96, 100}));
    QCOMPARE(probe.events.mid(0, 2), QStringList({"connected", "completed"}));
    probe.quiet();
    QVERIFY(findsNormalDevice(link, probe));
    QCOMPARE(link.model(), QString("5002"));
  }

  void deviceAlreadyInBootloader()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    bus.unplug(logger);
    bus.plug(boot);
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    QVERIFY(link.bootMode());
    link.stop();

    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(link.update(&source));
    QVERIFY(logger->written.isEmpty()); // no reset message
    QCOMPARE(boot->payload, payloadOf(100));
    // The restarted logger is found by the searches that end the update.
    QCOMPARE(probe.events.first(), QString("completed"));
    QVERIFY(!probe.events.contains("failed"));
    probe.quiet();
    QVERIFY(findsNormalDevice(link, probe));
  }

  void emptySource()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.stop();

    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&empty));
    QBuffer closed; // not readable at all
    closed.setData(payloadOf(10));
    QVERIFY(!link.update(&closed));
    QVERIFY(!link.update(nullptr));

    QCOMPARE(probe.failures, QStringList(3, "Firmware file too short."));
    QCOMPARE(probe.progress, QList<int>(3, 100));
    // The device was never reset into its bootloader.
    QVERIFY(logger->written.isEmpty());
    QVERIFY(bus.bootloaderFor(logger)->written.isEmpty());
    QVERIFY(probe.timersRunning());
    QVERIFY(link.isOpen() && !link.bootMode());
    QCOMPARE(probe.events.first(), QString("failed"));
    QVERIFY(probe.events.contains("connected"));
  }

  void negativeAnswerToTheFirstChunk()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    boot->firstChunkAnswer = SimBootloader::Wrong;
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&source));
    QCOMPARE(probe.failures, QStringList({"Bootloader returns ERROR."}));
    QCOMPARE(probe.progress, QList<int>({0, 100}));
    QCOMPARE(boot->commands, QList<int>({3}));
    QVERIFY(!probe.events.contains("completed"));
    QVERIFY(probe.timersRunning());
    probe.quiet();
    QVERIFY(link.bootMode()); // the search found the device still in its bootloader
    powerCycle(bus, logger);
    QVERIFY(findsNormalDevice(link, probe));
  }

  void writeFailureInTheMiddle()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    boot->writesBeforeFailure = 1;
    boot->errorText = QStringLiteral("pipe broken");
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&source));
    QCOMPARE(probe.failures, QStringList({"pipe broken"}));
    QCOMPARE(probe.progress, QList<int>({0, 100}));
    QCOMPARE(boot->payload, payloadOf(48));
    QVERIFY(!boot->finished);
    probe.quiet();
    boot->writesBeforeFailure = -1;
    powerCycle(bus, logger);
    QVERIFY(findsNormalDevice(link, probe));
  }

  void finishCannotBeWritten()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    boot->writesBeforeFailure = 3; // the three chunks
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&source));
    QCOMPARE(probe.failures, QStringList({"simulated I/O failure"}));
    QCOMPARE(probe.progress, QList<int>({0, 48, 96, 100, 100}));
    QVERIFY(!boot->finished);
    QVERIFY(!probe.events.contains("completed"));
  }

  void silentBootloader()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    boot->firstChunkAnswer = SimBootloader::Silent;
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    const qint64 start = bus.now();
    QVERIFY(!link.update(&source));
    QVERIFY(bus.now() - start >= 60000); // a minute of bus time, not of ours
    QCOMPARE(probe.failures, QStringList({"Bootloader returns ERROR."}));
    QCOMPARE(boot->commands, QList<int>({3}));
    probe.quiet();
    powerCycle(bus, logger);
    QVERIFY(findsNormalDevice(link, probe));
  }

  void lateAnswers()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    boot->answerDelayMs = 700;
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(link.update(&source));
    QVERIFY(probe.events.contains("completed"));
    QVERIFY(probe.failures.isEmpty());
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
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    boot->finishAnswer = SimBootloader::Answer(answer);
    boot->acknowledgeEveryChunk = everyChunk;
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(150));
    source.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&source));
    QVERIFY(!probe.events.contains("completed"));
    QCOMPARE(probe.failures, QStringList({"The bootloader did not confirm the firmware."}));
    QCOMPARE(probe.progress.last(), 100);
    QVERIFY(boot->finished);
    QVERIFY(!boot->started);
    probe.quiet();
    powerCycle(bus, logger);
    QVERIFY(findsNormalDevice(link, probe));
  }

  void failureIsToldBeforeTheSearchResumes()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimLogger *spare = bus.add<SimLogger>(QStringLiteral("500100002"));
    bus.unplug(spare);
    SimBootloader *boot = bus.bootloaderFor(logger);
    boot->finishAnswer = SimBootloader::Wrong;
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    // Another logger is plugged in while the bootloader finishes.
    QObject::connect(&link, &HidDevice::updatePercentChanged, &link, [&](int percent) {
      if (percent == 100)
        bus.plug(spare);
    });
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&source));
    QCOMPARE(probe.events, QStringList({"connected", "failed", "connected", "connected"}));
    QCOMPARE(link.serial(), QString("500100002"));
  }

  void chunksFollowTheBytesRead()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    const QByteArray firmware = payloadOf(100);
    TrickleDevice source(firmware, 30);
    QVERIFY(link.update(&source));
    QCOMPARE(boot->payload, firmware); // nothing skipped, nothing repeated
    QCOMPARE(boot->chunkLengths, QList<int>({30, 30, 30, 10}));
    QCOMPARE(probe.progress, QList<int>({0, 30, 60, 90, 100}));
  }

  void unreadableInTheMiddle()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.bootloaderFor(logger);
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    TrickleDevice source(payloadOf(100), 48, 48);
    QVERIFY(!link.update(&source));
    QCOMPARE(probe.failures, QStringList({"Firmware file cannot be read."}));
    QVERIFY(!boot->finished);
    QVERIFY(probe.timersRunning());
  }

  void cancelWhileWaitingForTheBootloader()
  {
    SimBus bus;
    bus.restartNever = true; // the bootloader never shows up
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    int resets = 0;
    bus.onEnumerate = [&](int) {
      // The user presses Close a few searches into the wait.
      if (!logger->written.isEmpty() && ++resets == 4)
        link.terminateUpdate();
    };
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&source));
    bus.onEnumerate = nullptr;
    QVERIFY(probe.failures.isEmpty());
    QVERIFY(probe.progress.isEmpty());
    QCOMPARE(logger->written.size(), 1);
    QVERIFY(bus.now() < 5000);
    // The link searches again.
    QVERIFY(probe.timersRunning());
    probe.quiet();
    bus.plug(logger);
    QVERIFY(findsNormalDevice(link, probe));
  }

  void bootloaderNeverAppears()
  {
    SimBus bus;
    bus.restartNever = true;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    const qint64 start = bus.now();
    QVERIFY(!link.update(&source));
    QVERIFY(bus.now() - start >= HidDevice::BootWaitMs);
    QVERIFY(bus.now() - start < HidDevice::BootWaitMs + 10000);
    QCOMPARE(probe.failures, QStringList({"The bootloader did not appear."}));
    QCOMPARE(probe.progress, QList<int>({100}));
    probe.quiet();
    bus.plug(logger);
    QVERIFY(findsNormalDevice(link, probe));
  }

  void noDeviceToUpdate()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    bus.unplug(logger);
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&source));
    QCOMPARE(probe.failures, QStringList({"Device not found."}));
    QVERIFY(logger->written.isEmpty());
    probe.quiet();
    bus.plug(logger);
    QVERIFY(findsNormalDevice(link, probe));
  }

  void resetCannotBeWritten()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    logger->writesBeforeFailure = 0;
    logger->errorText = QStringLiteral("access denied");
    HidDevice link;
    LinkProbe probe(link);
    link.stop();
    QBuffer source;
    source.setData(payloadOf(100));
    source.open(QIODevice::ReadOnly);
    QVERIFY(!link.update(&source));
    QCOMPARE(probe.failures.size(), 1);
    QVERIFY(probe.failures.at(0).contains("access denied"));
    QCOMPARE(probe.progress, QList<int>({100}));
    QVERIFY(bus.bootloaderFor(logger)->written.isEmpty());
    // Still in normal operation: the link holds it again at once.
    QVERIFY(link.isOpen() && !link.bootMode());
    QCOMPARE(probe.events.last(), QString("connected"));
  }
};

TOVRI_TEST(FirmwareUpdateTest)
#include "tst_firmware.moc"
