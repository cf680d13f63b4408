#include "SignalEmulator.h"
#include "devicemode.h"
#include "hiddevice.h"
#include "linkprobe.h"
#include "packet.h"
#include "simdevices.h"
#include "processstate.h"
#include "testmain.h"

#include <QJsonArray>
#include <QSet>
#include <QTest>

#include <cmath>

namespace {

const unsigned char *raw(const QByteArray &bytes)
{
  return reinterpret_cast<const unsigned char *>(bytes.constData());
}

DeviceControl startCommand(quint16 mask, quint16 divider)
{
  DeviceControl c;
  c.set(1, uchar(DeviceControl::Start));
  c.writeU16(4, mask);
  c.writeU16(6, divider);
  c.set(8, uchar(1));
  return c;
}

// Reports of one descriptor.
QList<QByteArray> only(const QList<QByteArray> &reports, int descriptor)
{
  QList<QByteArray> out;
  for (const QByteArray &r : reports) {
    if (uchar(r.at(0)) == descriptor)
      out.append(r);
  }
  return out;
}

} // namespace

// The exchanges of the main window with the logger and the power supplies,
// run over the link against the simulated devices.
class ConversationTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { resetProcessState(); }

  void loggerIdentifiesItself()
  {
    SimBus bus;
    bus.add<SimLogger>(QStringLiteral("500100042"));
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();

    link.sendPacket(DeviceInfo());
    const QList<QByteArray> info = probe.poll();
    QCOMPARE(info.size(), 1);
    DeviceInfo received(raw(info.at(0)), 64);
    QCOMPARE(received.descriptor(), 1);
    QCOMPARE(received.version(), QString("2.05"));
    QCOMPARE(received.readU32(4), quint32(500100042));
    QCOMPARE(int(received.data()[3]), 3);

    link.sendPacket(ChannelsRequest());
    const QList<QByteArray> channels = probe.poll();
    QCOMPARE(channels.size(), 3);
    for (const QByteArray &report : channels)
      ChannelInfo::addChannelInfo(ChannelInfo(raw(report), 64));
    QCOMPARE(ChannelInfo::channelCount(), int(received.data()[3]));
    QCOMPARE(ChannelInfo::getChannelInfo(0).info().split(',').value(0), QStringLiteral("\u03bcA"));
    QCOMPARE(int(ChannelInfo::getChannelInfo(1).minExponent()), 255);
  }

  void loggerStreamsAtTheCommandedRate()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    for (const ChannelInfo &c : std::as_const(logger->channels))
      ChannelInfo::addChannelInfo(c);

    // Channels #1 and #2 at 1 kHz: 14 samples per channel and block.
    link.sendPacket(startCommand(0x0006, 10));
    const QList<QByteArray> answer = probe.poll();
    QCOMPARE(answer.size(), 1);
    QCOMPARE(DeviceControl(raw(answer.at(0)), 64).data()[3], uchar(0));

    bus.advance(140);
    const QList<QByteArray> blocks = only(probe.poll(), 5);
    QCOMPARE(blocks.size(), 10); // 140 samples
    quint32 expected = 0;
    for (const QByteArray &report : blocks) {
      MeasureAll block(raw(report), 64);
      QCOMPARE(block.counter(), expected);
      QCOMPARE(int(block.pinState()), 0x08);
      const auto values = block.decode();
      QCOMPARE(values.keys(), QList<int>({1, 2}));
      QCOMPARE(values.value(1).size(), 14);
      QCOMPARE(values.value(2).first(), double(qint16(SimLogger::sample(2, expected))));
      expected += 14;
    }

    DeviceControl stop(DeviceControl::m_currentDeviceControl = startCommand(0x0006, 10));
    stop.set(1, uchar(DeviceControl::Stop));
    link.sendPacket(stop);
    QVERIFY(!logger->streaming());
    probe.poll();
    bus.advance(1000);
    QVERIFY(probe.poll().isEmpty());
    DeviceControl::m_currentDeviceControl = DeviceControl();
  }

  void refusedStart()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    logger->startError = 3;
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    link.sendPacket(startCommand(0x0001, 100));
    const QList<QByteArray> answer = probe.poll();
    QCOMPARE(answer.size(), 1);
    QCOMPARE(int(uchar(answer.at(0).at(3))), 3);
    bus.advance(1000);
    QVERIFY(probe.poll().isEmpty());
  }

  void counterGapsWrapAndOversizedBlocks()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    logger->counterStart = 0xFFFFE0;
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    for (const ChannelInfo &c : std::as_const(logger->channels))
      ChannelInfo::addChannelInfo(c);
    link.sendPacket(startCommand(0x0001, 1)); // 10 kHz, 28 samples a block
    probe.poll();

    bus.advance(3); // 30 samples: one block
    logger->skipSamples(100);
    logger->oversizeNextBlock(200);
    bus.advance(3);
    const QList<QByteArray> blocks = only(probe.poll(), 5);
    QCOMPARE(blocks.size(), 2);
    const MeasureAll first(raw(blocks.at(0)), 64);
    const MeasureAll second(raw(blocks.at(1)), 64);
    QCOMPARE(first.counter(), quint32(0xFFFFE0));
    // 24-bit wrap, then the gap of 100 samples.
    QCOMPARE(second.counter(), quint32((0xFFFFE0 + 28 + 100) & 0xFFFFFF));
    QCOMPARE(second.samplesPerChannel(), 200);
    QCOMPARE(second.decode().value(0).size(), 28);
  }

  void statusAnswer()
  {
    SimBus bus;
    bus.add<SimLogger>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    StatusControlRequest poll;
    poll.writeU16(3, 1800);
    link.sendPacket(poll);
    const QList<QByteArray> reports = probe.poll();
    QCOMPARE(reports.size(), 1);
    StatusControlResponse answer(raw(reports.at(0)), 64);
    QCOMPARE(answer.descriptor(), 6);
    QCOMPARE(answer.reading(0), 1.0f);
    QCOMPARE(answer.reading(3), 5000.0f);
    QCOMPARE(answer.outputVoltage(), 1800);
  }

  void powerSupplyExchange()
  {
    SimBus bus;
    SimPowerSupply *supply = bus.add<SimPowerSupply>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    QCOMPARE(link.model(), QString("5002"));
    DeviceMode::powerMode = true;

    link.sendPacket(PowerGetPacket());
    QList<QByteArray> reports = probe.poll();
    QCOMPARE(reports.size(), 1);
    PowerGetPacket settings(raw(reports.at(0)), 64);
    QCOMPARE(settings.descriptor(), 0x0A);
    QCOMPARE(settings.toJson().value("total").toArray(), QJsonArray({21, 22, 23}));

    // The settings block survives export, import and the write back.
    PowerGetPacket imported;
    imported.fromJson(settings.toJson());
    PowerSetPacket write(imported);
    write.set(2, uchar(PowerPacket::SettingsWrite));
    write.setBlock(PowerSetPacket::ActionByte, uchar(0x01));
    link.sendPacket(write);
    QCOMPARE(supply->settingsWrites.size(), 1);
    QCOMPARE(supply->settingsWrites.at(0).toJson(), settings.toJson());
    QCOMPARE(int(supply->settingsWrites.at(0).block(PowerSetPacket::ActionByte)), 1);
    reports = probe.poll();
    QCOMPARE(reports.size(), 1);
    QCOMPARE(PowerPacket(raw(reports.at(0)), 64).descriptor(), 0x0B);

    link.sendPacket(PowerDataPacket());
    reports = probe.poll();
    QCOMPARE(reports.size(), 1);
    QCOMPARE(PowerDataPacket(raw(reports.at(0)), 64).version(), QString("1.05"));

    link.sendCommand("POWER\n");
    reports = probe.poll();
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.at(0).mid(2, 4), QByteArray("ON\r\n"));
    supply->inputPower = false;
    link.sendCommand("POWER\n");
    QCOMPARE(probe.poll().at(0).mid(2, 5), QByteArray("OFF\r\n"));

    link.sendCommand("LOGxC1\n");
    QCOMPARE(probe.poll().at(0).mid(2, 5), QByteArray("ERROR"));
    QVERIFY(!supply->logging());
  }

  void powerSupplyLog()
  {
    SimBus bus;
    SimPowerSupply *supply = bus.add<SimPowerSupply>();
    HidDevice link;
    LinkProbe probe(link);
    link.checkTimerTick();
    ChannelInfo::fromJson(QJsonObject{{"Channels",
                                       QJsonArray{QJsonObject{{"channel", 3}, {"dataType", 0}},
                                                  QJsonObject{{"channel", 4}, {"dataType", 2}}}}});

    QCOMPARE(link.sendCommand("LOG100C34\n"), 65);
    QVERIFY(supply->logging());
    QCOMPARE(supply->logRate(), 100);
    QCOMPARE(supply->logChannels(), QList<int>({3, 4}));
    bus.advance(1000); // 100 rows, 19 rows a frame
    const QList<QByteArray> frames = probe.poll();
    QCOMPARE(frames.size(), 5);
    QList<int> channels{3, 4};
    quint32 expected = 0;
    for (const QByteArray &report : frames) {
      MeasurePower frame(raw(report), 64);
      QCOMPARE(int(frame.data()[2]), 0x01);
      QCOMPARE(frame.counter(), expected);
      QCOMPARE(frame.rows(), 19);
      const auto values = frame.decode(channels, true);
      QCOMPARE(values.value(0).first(), SimPowerSupply::sample(3, expected) / 100.0);
      QCOMPARE(values.value(1).first(), SimPowerSupply::sample(4, expected) * 1.8 + 32);
      expected += 19;
    }

    link.sendCommand("LOGSTOP\n");
    const QList<QByteArray> end = probe.poll();
    QCOMPARE(end.size(), 1);
    QCOMPARE(end.at(0).left(3), QByteArray("\x07\x40\x08"));
    bus.advance(1000);
    QVERIFY(probe.poll().isEmpty());
  }

  void signalEmulatorPulses()
  {
    QList<double> values(5, -1.0);
    SignalEmulator::m_stopSignal = 0;
    SignalEmulator::generate(0, values);
    QCOMPARE(SignalEmulator::m_startSignal, 5.0);
    QCOMPARE(values, QList<double>(5, -1.0));
    SignalEmulator::generate(5, values);
    const double level = SignalEmulator::m_signalValue;
    QVERIFY(level >= 30000 && level < 330000);
    QVERIFY(SignalEmulator::m_stopSignal >= 6 && SignalEmulator::m_stopSignal <= 15);
    for (double v : values) {
      const double shift = v - level;
      QVERIFY(shift >= 0 && shift <= 1200);
      QCOMPARE(std::fmod(shift, 300.0), 0.0);
    }
    QSet<double> shifts;
    for (int i = 0; i < 500; ++i)
      shifts.insert(SignalEmulator::nextShift());
    QCOMPARE(shifts, QSet<double>({0, 300, 600, 900, 1200}));

    // After the pulse: values stay, the next start lies 10 to 109 later.
    const double stop = SignalEmulator::m_stopSignal;
    QList<double> after(2, -1.0);
    SignalEmulator::generate(stop + 1, after);
    QCOMPARE(after, QList<double>(2, -1.0));
    QCOMPARE(SignalEmulator::m_stopSignal, 0.0);
    QVERIFY(SignalEmulator::m_startSignal >= stop + 11 && SignalEmulator::m_startSignal <= stop + 110);
    SignalEmulator::generate(stop + 2, after); // before the next start: nothing changes
    QCOMPARE(after, QList<double>(2, -1.0));
  }
};

TOVRI_TEST(ConversationTest)
#include "tst_conversation.moc"
