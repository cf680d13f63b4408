#include "devicemode.h"
#include "hiddevice.h"
#include "linkprobe.h"
#include "oxdeviceinfo.h"
#include "packet.h"
#include "simdevices.h"
#include "processstate.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QThread>

namespace {

QByteArray bytes(std::initializer_list<int> values, int size)
{
  QByteArray out(size, '\0');
  int i = 0;
  for (int v : values)
    out[i++] = char(v);
  return out;
}

// A generic HID device of another maker.
SimDevice *addMouse(SimBus &bus)
{
  return bus.add<SimDevice>(0x046D, 0xC077, QStringLiteral("MOUSE1"));
}

} // namespace

class HidLinkTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { resetProcessState(); }

  void instanceIsProcessWide()
  {
    SimBus bus;
    QVERIFY(!HidDevice::m_instance);
    HidDevice *link = HidDevice::instance();
    QCOMPARE(HidDevice::instance(), link);
    QVERIFY(!link->isOpen());
    delete link;
    QVERIFY(!HidDevice::m_instance);
    {
      HidDevice owned;
      QCOMPARE(HidDevice::m_instance, &owned);
    }
    QVERIFY(!HidDevice::m_instance);
  }

  void destructionClosesTheDevice()
  {
    SimBus bus;
    bus.add<SimLogger>();
    auto *link = new HidDevice;
    LinkProbe probe(*link);
    link->checkTimerTick();
    QCOMPARE(bus.openHandles(), 1);
    delete link;
    QCOMPARE(bus.openHandles(), 0);
    QCOMPARE(probe.events, QStringList({"connected"})); // no signal from the destructor
  }

  void timersStartWithTheLink()
  {
    SimBus bus;
    HidDevice link;
    const QList<QTimer *> timers = link.findChildren<QTimer *>();
    QCOMPARE(timers.size(), 2);
    QList<int> intervals;
    for (QTimer *t : timers) {
      QVERIFY(t->isActive());
      intervals.append(t->interval());
    }
    std::sort(intervals.begin(), intervals.end());
    QCOMPARE(intervals, QList<int>({1, 2000}));
    QCOMPARE(bus.enumerations(), 0); // the first search comes with the first tick
    QVERIFY(!link.stop());
    for (QTimer *t : timers)
      QVERIFY(!t->isActive());
  }

  void searchSkipsUnsupportedDevices()
  {
    SimBus bus;
    addMouse(bus);
    SimLogger *other = bus.add<SimLogger>(QStringLiteral("500300007"));
    SimLogger *logger = bus.add<SimLogger>(QStringLiteral("500100042"));
    HidDevice link;
    LinkProbe probe(link);
    QVERIFY(link.searchDevice(true));
    QVERIFY(link.isOpen());
    QCOMPARE(link.serial(), QString("500100042"));
    QCOMPARE(link.model(), QString("5001"));
    QVERIFY(!link.bootMode());
    QCOMPARE(probe.events, QStringList({"connected"}));
    QCOMPARE(bus.openHandles(), 1);

    // Writes reach the opened device only.
    QVERIFY(link.sendPacket(DeviceInfo()) > 0);
    QCOMPARE(logger->written.size(), 1);
    QVERIFY(other->written.isEmpty());

    // A further arrival search with a device open does nothing.
    QVERIFY(link.searchDevice(true));
    QCOMPARE(bus.openHandles(), 1);
    QCOMPARE(probe.events.size(), 1);
  }

  void supportedPrefixes()
  {
    QVERIFY(HidDevice::supported("5001"));
    QVERIFY(HidDevice::supported("500212345"));
    QVERIFY(!HidDevice::supported("5003"));
    QVERIFY(!HidDevice::supported("500"));
    QVERIFY(!HidDevice::supported(""));
    QVERIFY(!HidDevice::supported(" 5001"));
  }

  void onlyUnsupportedDevices()
  {
    SimBus bus;
    addMouse(bus);
    SimLogger *model5003 = bus.add<SimLogger>(QStringLiteral("500399999"));
    bus.add<SimLogger>(std::nullopt); // no serial number at all
    HidDevice link;
    LinkProbe probe(link);
    QSignalSpy unserved(&link, &HidDevice::unservedDevicesChanged);
    QVERIFY(!link.searchDevice(true));
    QVERIFY(!link.isOpen());
    QVERIFY(probe.events.isEmpty());

    // The unserved device is told once, its leaving once; one without a
    // serial number is not told.
    QVERIFY(!link.searchDevice(true));
    QVERIFY(!link.searchDevice(true));
    QCOMPARE(unserved.size(), 1);
    QCOMPARE(unserved.at(0).at(0).toStringList(), QStringList{"500399999"});
    bus.unplug(model5003);
    QVERIFY(!link.searchDevice(true));
    QCOMPARE(unserved.size(), 2);
    QVERIFY(unserved.at(1).at(0).toStringList().isEmpty());

    // An empty bus.
    SimBus empty;
    HidDevice other;
    QVERIFY(!other.searchDevice(true));
  }

  void bootloaderWithoutSerialIsOpened()
  {
    SimBus bus;
    bus.add<SimLogger>(std::nullopt);
    SimDevice *boot = bus.add<SimDevice>(0x0483, 0xA1DA, std::nullopt);
    HidDevice link;
    LinkProbe probe(link);
    QVERIFY(link.searchDevice(true));
    QVERIFY(link.isOpen());
    QVERIFY(link.bootMode());
    QVERIFY(link.serial().isEmpty());
    QVERIFY(probe.events.isEmpty()); // the application is not told of a bootloader
    // It counts as present while it is listed.
    QVERIFY(link.searchDevice(false));
    bus.unplug(boot);
    QVERIFY(!link.searchDevice(false));
    QVERIFY(!link.isOpen());
  }

  void arrivalRemovalAndReArrival()
  {
    SimBus bus;
    addMouse(bus);
    SimLogger *logger = bus.add<SimLogger>();
    bus.unplug(logger);
    HidDevice link;
    LinkProbe probe(link);

    link.checkTimerTick();
    QVERIFY(!link.isOpen());
    bus.plug(logger);
    link.checkTimerTick();
    QVERIFY(link.isOpen());
    link.checkTimerTick(); // removal check: still there
    QCOMPARE(probe.events, QStringList({"connected"}));

    bus.unplug(logger);
    link.checkTimerTick();
    QVERIFY(!link.isOpen());
    QCOMPARE(bus.openHandles(), 0);
    QCOMPARE(probe.events, QStringList({"connected", "disconnected"}));

    link.checkTimerTick(); // nothing to find
    bus.plug(logger);
    link.checkTimerTick();
    QVERIFY(link.isOpen());
    QCOMPARE(probe.events, QStringList({"connected", "disconnected", "connected"}));

    // Unplugging the only HID device leaves an empty listing.
    SimBus lone;
    SimLogger *only = lone.add<SimLogger>();
    HidDevice second;
    LinkProbe secondProbe(second);
    second.checkTimerTick();
    lone.unplug(only);
    second.checkTimerTick();
    QCOMPARE(secondProbe.events, QStringList({"connected", "disconnected"}));
    QVERIFY(!second.isOpen());
  }

  void failedOpenRetriesWithoutSignal()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    logger->failOpen = true;
    HidDevice link;
    LinkProbe probe(link);
    QVERIFY(link.searchDevice(true)); // found, but not opened
    QVERIFY(!link.isOpen());
    QVERIFY(probe.events.isEmpty());
    logger->failOpen = false;
    link.checkTimerTick();
    QVERIFY(link.isOpen());
    QCOMPARE(probe.events, QStringList({"connected"}));
  }

  void removalLooksAtTheOpenDevice()
  {
    SimBus bus;
    SimLogger *first = bus.add<SimLogger>(QStringLiteral("500100001"));
    SimLogger *second = bus.add<SimLogger>(QStringLiteral("500200002"));
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    QCOMPARE(link.serial(), QString("500100001"));

    // The second device with the same ids does not keep the dead handle.
    bus.unplug(first);
    link.checkTimerTick();
    QCOMPARE(probe.events, QStringList({"connected", "disconnected"}));
    link.checkTimerTick();
    QCOMPARE(link.serial(), QString("500200002"));
    QCOMPARE(link.model(), QString("5002"));
    QVERIFY(link.sendPacket(PowerGetPacket()) > 0);
    QCOMPARE(second->written.size(), 1);
    QCOMPARE(probe.events.size(), 3);
  }

  void outputLayouts()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();

    DeviceControl start;
    start.set(1, uchar(0x80));
    start.writeU16(4, 0x0005);
    start.writeU16(6, 10);
    start.set(63, uchar(0xEE));

    // A: report id 0, then the image.
    QCOMPARE(link.sendPacket(start), 65);
    QCOMPARE(logger->written.last(), QByteArray(1, '\0') + start.toByteArray());

    // B in either power mode: the image from byte 0, then 0.
    DeviceMode::powerMode = true;
    QCOMPARE(link.sendPacket(start), 65);
    QCOMPARE(logger->written.last(), start.toByteArray() + QByteArray(1, '\0'));
    DeviceMode::powerMode = false;
    DeviceMode::powerV2Mode = true;
    link.sendPacket(start);
    QCOMPARE(logger->written.last(), start.toByteArray() + QByteArray(1, '\0'));
    DeviceMode::powerV2Mode = false;

    // Power-supply packets always travel as B.
    PowerGetPacket request;
    QCOMPARE(link.sendPacket(request), 65);
    QCOMPARE(logger->written.last(), bytes({0x07, 0x40, 0x0A}, 65));

    // C: 0x07, the length, the text.
    QCOMPARE(link.sendCommand("LOGSTOP\n"), 65);
    QCOMPARE(logger->written.last(), bytes({0x07, 0x08, 'L', 'O', 'G', 'S', 'T', 'O', 'P', '\n'}, 65));
    const QString longest(63, QLatin1Char('A'));
    QCOMPARE(link.sendCommand(longest), 65);
    QCOMPARE(logger->written.last(), bytes({0x07, 63}, 2) + QByteArray(63, 'A'));

    const int count = int(logger->written.size());
    QCOMPARE(link.sendCommand(QString()), 0);
    QCOMPARE(link.sendCommand(QString(64, QLatin1Char('A'))), -1); // refused
    QCOMPARE(logger->written.size(), count);

    // Nothing is written without a device.
    link.stop();
    QCOMPARE(link.sendPacket(start), 0);
    QCOMPARE(link.sendPacket(request), 0);
    QCOMPARE(link.sendCommand("POWER\n"), 0);
    QCOMPARE(logger->written.size(), count);
  }

  void failedWriteReturnsTheError()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    logger->writesBeforeFailure = 0;
    QCOMPARE(link.sendPacket(DeviceInfo()), -1);
    QCOMPARE(link.sendCommand("POWER\n"), -1);
    QVERIFY(logger->written.isEmpty());
  }

  void pollDeliversEveryReport()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    QVERIFY(probe.poll().isEmpty());

    logger->queue(QByteArray(64, '\x11'));
    logger->queue(QByteArray("\x22\x23"));
    logger->queue(QByteArray(64, '\x33'));
    const QList<QByteArray> reports = probe.poll();
    QCOMPARE(reports.size(), 3);
    QCOMPARE(reports.at(0), QByteArray(64, '\x11'));
    QCOMPARE(reports.at(1), bytes({0x22, 0x23}, 64));
    QCOMPARE(reports.at(2), QByteArray(64, '\x33'));
  }

  void shortReportCarriesNothingOfTheLast()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    logger->queue(QByteArray(64, '\x7F'));
    logger->queue(QByteArray(64, '\x05'));
    // The second report of the poll arrives cut to 3 bytes.
    QObject::connect(&link, &HidDevice::packetReceived, &link, [&] { logger->shortReadBytes = 3; });
    const QList<QByteArray> reports = probe.poll();
    QCOMPARE(reports.size(), 2);
    QCOMPARE(reports.at(0), QByteArray(64, '\x7F'));
    QCOMPARE(reports.at(1), QByteArray(3, '\x05') + QByteArray(61, '\0'));
  }

  void readErrorEndsThePoll()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    logger->queue(QByteArray(64, '\x01'));
    logger->failingReads = 1;
    QVERIFY(probe.poll().isEmpty());
    QVERIFY(link.isOpen()); // removal is a matter of the listing
    QCOMPARE(probe.poll().size(), 1);
    QCOMPARE(probe.events, QStringList({"connected"}));
  }

  void nestedPollReturnsAtOnce()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    for (int i = 1; i <= 3; ++i)
      logger->queue(QByteArray(64, char(i)));
    // A slot that turns the event loop (a message box, a progress dialog)
    // brings the 1 ms poll back while the first report is handed on.
    int nested = 0;
    QObject::connect(&link, &HidDevice::packetReceived, &link, [&] {
      if (nested++ == 0) {
        link.hidRead();
        QCoreApplication::processEvents();
      }
    });
    const QList<QByteArray> reports = probe.poll();
    QCOMPARE(reports.size(), 3);
    for (int i = 0; i < 3; ++i)
      QCOMPARE(reports.at(i), QByteArray(64, char(i + 1)));
    QCOMPARE(nested, 3);
  }

  void slotClosingTheDeviceEndsThePoll()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    logger->queue(QByteArray(64, '\x01'));
    logger->queue(QByteArray(64, '\x02'));
    QObject::connect(&link, &HidDevice::packetReceived, &link, [&] { link.stop(); });
    QCOMPARE(probe.poll().size(), 1);
    QVERIFY(!link.isOpen());
    link.hidRead(); // nothing open: returns at once
  }

  // The reader thread drains the library's 30-report queue while the GUI
  // thread is busy elsewhere; the GUI thread gets every report, in order.
  void readerThreadHandsOverInOrder_data()
  {
    QTest::addColumn<int>("reports");
    QTest::addColumn<bool>("slotCloses");
    QTest::newRow("ten queues full, GUI thread not polling") << 300 << false;
    QTest::newRow("a slot closes the device") << 5 << true;
  }

  void readerThreadHandsOverInOrder()
  {
    QFETCH(int, reports);
    QFETCH(bool, slotCloses);
    SimBus bus;
    bus.readerThread = true;
    SimLogger *logger = bus.add<SimLogger>();
    QCOMPARE(logger->queueLimit, 30);
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    QVERIFY(probe.poll().isEmpty()); // the first poll starts the reader

    QThread *gui = QThread::currentThread();
    int elsewhere = 0;
    QObject::connect(&link, &HidDevice::packetReceived, &link, [&] {
      elsewhere += QThread::currentThread() != gui;
      if (slotCloses)
        link.stop();
    });
    // Each report waits only for room in the library's queue, which only
    // the reader makes; the wait gives up after a while, so a link without
    // a reader loses reports instead of hanging.
    const QDeadlineTimer deadline(20000);
    for (int i = 0; i < reports; ++i) {
      while (logger->queuedReports() >= logger->queueLimit && !deadline.hasExpired())
        QThread::yieldCurrentThread();
      QByteArray report(64, char(i % 251));
      report[1] = char(i >> 8);
      logger->queue(report);
    }
    QList<QByteArray> got;
    while (got.size() < reports && link.isOpen() && !deadline.hasExpired()) {
      got += probe.poll();
      QThread::yieldCurrentThread();
    }
    QCOMPARE(logger->droppedReports(), 0);
    QCOMPARE(elsewhere, 0);
    QCOMPARE(got.size(), slotCloses ? 1 : reports);
    for (int i = 0; i < got.size(); ++i) {
      QByteArray expected(64, char(i % 251));
      expected[1] = char(i >> 8);
      QCOMPARE(got.at(i), expected);
    }
    link.stop(); // the reader ends before the handle goes
    QVERIFY(!link.isOpen());
    QCOMPARE(bus.openHandles(), 0);
  }

  // The search every 2 s must not hold back a fast capture: the library
  // keeps only 30 reports (54 ms at 5 kHz on three channels) and spends a
  // few ms on every device it lists.
  void searchesOnABusyBusLoseNoReports_data()
  {
    QTest::addColumn<int>("foreign");
    QTest::addColumn<bool>("readerThread");
    QTest::newRow("twenty foreign devices, reader thread") << 20 << true;
    QTest::newRow("twenty foreign devices, GUI thread") << 20 << false;
    QTest::newRow("a hundred foreign devices, reader thread") << 100 << true;
  }

  void searchesOnABusyBusLoseNoReports()
  {
    QFETCH(int, foreign);
    QFETCH(bool, readerThread);
    SimBus bus;
    bus.readerThread = readerThread;
    bus.listingCostMs = 3;
    for (int i = 0; i < foreign; ++i)
      bus.add<SimDevice>(ushort(0x1000 + i), ushort(0xC000 + i), QStringLiteral("F%1").arg(i));
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    QVERIFY(link.isOpen());
    QVERIFY(probe.poll().isEmpty()); // the first poll starts the reader

    const QDeadlineTimer deadline(60000);
    QList<QByteArray> blocks;
    // Waits for the reader to empty the library's queue after each step, so
    // that only the link, never the test's pace, can overflow it.
    const auto drain = [&] {
      while (readerThread && logger->queuedReports() > 0 && !deadline.hasExpired())
        QThread::yieldCurrentThread();
      for (const QByteArray &report : probe.poll()) {
        if (uchar(report.at(0)) == MeasureAll::Descriptor)
          blocks.append(report);
      }
    };

    // 5 kHz on all three channels: nine samples each every 1.8 ms.
    DeviceControl start;
    start.set(1, uchar(DeviceControl::Start));
    start.writeU16(4, 0x0007);
    start.writeU16(6, 2);
    QVERIFY(link.sendPacket(start) > 0);
    const int searches = bus.enumerations();
    for (int ms = 5; ms <= 6000; ms += 5) {
      bus.advance(5);
      if (ms % 2000 == 0)
        link.checkTimerTick();
      drain();
    }
    // The reader may still hold the last reports it took.
    while (blocks.size() + logger->droppedReports() < logger->blocksSent() && !deadline.hasExpired())
      drain();

    QCOMPARE(bus.enumerations() - searches, 3);
    QVERIFY(link.isOpen()); // each removal check found the logger
    QCOMPARE(logger->droppedReports(), 0);
    QVERIFY(logger->blocksSent() > 3300);
    QCOMPARE(blocks.size(), logger->blocksSent());
    for (int i = 0; i < blocks.size(); ++i)
      QCOMPARE(MeasureAll(reinterpret_cast<const unsigned char *>(blocks.at(i).constData()), 64).counter(),
               quint32(9 * i));
  }

  void waitAnswer()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    QVERIFY(!link.waitAnswer()); // no device
    link.checkTimerTick();

    logger->queue(QByteArray("\x07"), 300);
    QVERIFY(link.waitAnswer());
    QVERIFY(bus.now() >= 300);
    logger->queue(QByteArray("\x08"));
    QVERIFY(!link.waitAnswer());

    // A silent device: 1000 reads of 60 ms.
    const qint64 before = bus.now();
    QVERIFY(!link.waitAnswer());
    QCOMPARE(bus.now() - before, qint64(60000));

    // A device whose reads keep failing ends the wait too.
    logger->failingReads = 1000000;
    QVERIFY(!link.waitAnswer());
    QVERIFY(logger->failingReads >= 1000000 - 1000);
    logger->failingReads = 0;
    logger->queue(QByteArray("\x07"));
    QVERIFY(link.waitAnswer());
  }

  void listingKeepsTheLinkAlive()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>(QStringLiteral("500112345"));
    SimDevice *boot = bus.add<SimDevice>(0x0483, 0xA1DA, QStringLiteral("BOOT"));
    boot->product = QStringLiteral("Loader");
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();

    const QList<OxDeviceInfo> devices = OxDeviceInfo::availableDevices(OxDeviceInfo::Hid);
    QCOMPARE(devices.size(), 2);
    QCOMPARE(devices.at(0).serial(), QString("BOOT"));
    QCOMPARE(devices.at(0).systemName(), QString("Loader"));
    QCOMPARE(devices.at(0).pid(), quint16(0xA1DA));
    QCOMPARE(devices.at(1).serial(), QString("500112345"));
    QCOMPARE(devices.at(1).vid(), quint16(0x0483));
    QCOMPARE(bus.exitCalls(), 0); // the link's device stays usable
    logger->queue(QByteArray(64, '\x01'));
    QCOMPARE(probe.poll().size(), 1);

    link.stop();
    QCOMPARE(OxDeviceInfo::availableHID(0x0483, 0xA1DE).size(), 1);
    QCOMPARE(bus.exitCalls(), 1);
    QVERIFY(OxDeviceInfo::availableDevices(OxDeviceInfo::Named).isEmpty());

    SimBus empty;
    QVERIFY(OxDeviceInfo::availableDevices(OxDeviceInfo::Hid).isEmpty());
  }

  void deviceRecords()
  {
    OxDeviceInfo blank;
    QCOMPARE(blank.type(), OxDeviceInfo::Hid);
    QCOMPARE(blank.vid(), quint16(0));
    QVERIFY(blank.serial().isEmpty());
    OxDeviceInfo hid(OxDeviceInfo::Hid, "Logger", "500112345", 0x0483, 0xA1DE);
    QCOMPARE(OxDeviceInfo::externalSerial(hid), QString("12345"));
    QCOMPARE(OxDeviceInfo::externalSerial(OxDeviceInfo(OxDeviceInfo::Hid, "", "5001", 0, 0)), QString("Unknown 5001"));
    OxDeviceInfo named(OxDeviceInfo::Named, "ttyACM0", "/dev/ttyACM0");
    QCOMPARE(named.portName(), QString("/dev/ttyACM0"));
    QCOMPARE(OxDeviceInfo::deviceName(named), QString("ttyACM0"));
    QCOMPARE(OxDeviceInfo::m_bootPid, quint16(0xA1DA));
    QCOMPARE(OxDeviceInfo::m_devPid, quint16(0xA1DE));
  }
};

TOVRI_TEST(HidLinkTest)
#include "tst_hiddevice.moc"
