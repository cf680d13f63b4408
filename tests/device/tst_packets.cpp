#include "packet.h"
#include "processstate.h"
#include "testmain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <climits>

namespace {

QByteArray image(std::initializer_list<int> head)
{
  QByteArray bytes(64, '\0');
  int i = 0;
  for (int v : head)
    bytes[i++] = char(v);
  return bytes;
}

const unsigned char *raw(const QByteArray &bytes)
{
  return reinterpret_cast<const unsigned char *>(bytes.constData());
}

QJsonObject channelObject(int number, const QString &info, int base, int type, int minExp, int lower, int upper,
                          int precision = -1)
{
  QJsonObject o{{"channel", number}, {"info", info},   {"baseNumber", base}, {"dataType", type},
                {"minExponent", minExp}, {"lower", lower}, {"upper", upper}};
  if (precision >= 0)
    o.insert("pecision", precision);
  return o;
}

// The logger's built-in document, passed through its JSON text.
QJsonObject loggerDocument()
{
  QJsonObject device{{"upid", 5}, {"version", "1.00"}, {"info", "Quillomar Current logger v1.00"}, {"channel-count", 3}};
  QJsonArray channels{channelObject(0, QStringLiteral("\u03bcA,Current,"), 2, 1, 0, 0, 2100000),
                      channelObject(1, "mV,Voltage,", 52, 0, 255, -100, 5500),
                      channelObject(2, "mV,Voltage,", 52, 0, 255, -100, 5500)};
  const QByteArray text = QJsonDocument(QJsonObject{{"DeviceInfo", device}, {"Channels", channels}}).toJson();
  return QJsonDocument::fromJson(text).object();
}

QJsonObject powerDocument(bool v2)
{
  QJsonObject device{
    {"upid", 52}, {"version", "1.00"}, {"info", "Quillomar Power Supply logger v1.00"}, {"channel-count", 8}};
  QJsonArray channels{channelObject(0, "V,13.8V Voltage,", 2, 3, 0, 0, 15, 1),
                      channelObject(1, "A,13.8V Current,", 2, 0, 0, 0, v2 ? 50 : 40, 1),
                      channelObject(2, v2 ? "V,USB1 Voltage," : "V,USB Voltage,", 2, 3, 0, 0, v2 ? 15 : 12, 1),
                      channelObject(3, v2 ? "A,USB1 Current," : "A,USB Current,", 2, 0, 0, 0, 4, 2),
                      channelObject(4, "C,Temperature outside,", 2, 2, 0, -30, 100, 0),
                      channelObject(5, "C,Temperature inside,", 2, 2, 0, -30, 100, 0),
                      channelObject(6, "V,Input AC Voltage,", 2, 0, 0, 50, 300, 0),
                      channelObject(7, "Hz,Frequency,", 2, 0, 0, 0, 65, 1)};
  if (v2) {
    for (int port = 2; port <= 4; ++port) {
      const int n = 8 + 2 * (port - 2);
      channels.append(channelObject(n, QStringLiteral("V,USB%1 Voltage,").arg(port), 2, 3, 0, 0, 15, 1));
      channels.append(channelObject(n + 1, QStringLiteral("A,USB%1 Current,").arg(port), 2, 0, 0, 0, 4, 2));
    }
  }
  const QByteArray text = QJsonDocument(QJsonObject{{"DeviceInfo", device}, {"Channels", channels}}).toJson();
  return QJsonDocument::fromJson(text).object();
}

QStringList infoFields(const ChannelInfo &info)
{
  return info.info().split(QLatin1Char(','));
}

} // namespace

class PacketTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { resetProcessState(); }

  void traceAndToString()
  {
    Packet zero;
    QCOMPARE(zero.trace(), QString("0x00 ").repeated(64));
    Packet p(uchar(0x0A));
    p.set(63, uchar(0xFE));
    QCOMPARE(p.toString(), QString("Descriptor: 0xa"));
    QVERIFY(p.trace().startsWith("0x0a 0x00 "));
    QVERIFY(p.trace().endsWith("0x00 0xfe "));
    QCOMPARE(Packet(uchar(1)).toString(), QString("Descriptor: 0x1"));
  }

  void constructionCopiesWithinTheImage()
  {
    QByteArray report(64, '\0');
    for (int i = 0; i < 64; ++i)
      report[i] = char(i * 3 + 1);
    QCOMPARE(Packet(raw(report), 64).toByteArray(), report);

    // More than 64 bytes: only the first 64 are taken.
    QByteArray longer = report + QByteArray(10, '\x77');
    QCOMPARE(Packet(raw(longer), int(longer.size())).toByteArray(), report);

    // A short report fills the front, the rest is zero.
    Packet shortOne(raw(report), 5);
    QCOMPARE(shortOne.toByteArray().left(5), report.left(5));
    QCOMPARE(shortOne.toByteArray().mid(5), QByteArray(59, '\0'));
    QCOMPARE(Packet(nullptr, 64).toByteArray(), QByteArray(64, '\0'));
    QCOMPARE(Packet(raw(report), -3).toByteArray(), QByteArray(64, '\0'));

    QCOMPARE(Packet(QByteArray("\x05\x06")).toByteArray(), image({5, 6}));
    QCOMPARE(Packet(QByteArray(65, '\x01')).toByteArray(), QByteArray(64, '\0'));

    // Assignment copies the image; the object keeps its own class.
    DeviceControl control;
    control = Packet(uchar(0x33));
    QCOMPARE(control.descriptor(), 0x33);
    QVERIFY(control.toString().startsWith("\nDescriptor:0x33"));
  }

  void setStaysInsideTheImage()
  {
    Packet p;
    p.set(60, QByteArray("\x01\x02\x03\x04"));
    QCOMPARE(p.toByteArray().mid(60), QByteArray("\x01\x02\x03\x04"));
    Packet q;
    q.set(60, QByteArray("\x01\x02\x03\x04\x05"));
    q.set(-1, QByteArray("\x01"));
    q.set(-1, uchar(9));
    q.set(64, uchar(9));
    q.set(63, ushort(0x1234)); // would run past byte 63
    q.set(-2, ushort(0x1234));
    q.writeU16(63, 0xFFFF);
    q.writeU32(61, 0xFFFFFFFF);
    q.writeFloatLE(62, 1.0f);
    QCOMPARE(q.toByteArray(), QByteArray(64, '\0'));

    q.set(62, ushort(0x1234));
    QCOMPARE(q.data()[62], uchar(0x34)); // low byte first
    QCOMPARE(q.data()[63], uchar(0x12));
    q.set(63, uchar(7));
    QCOMPARE(q.data()[63], uchar(7));

    // Reads past the image give 0.
    QByteArray ff(64, '\xff');
    Packet full(ff);
    QCOMPARE(full.readU16(63), quint16(0));
    QCOMPARE(full.readU24(62), quint32(0));
    QCOMPARE(full.readU32(-1), quint32(0));
    QCOMPARE(full.readU16(62), quint16(0xFFFF));

    // set(bytes, length) leaves the rest of the image as it was.
    full.set(raw(QByteArray(3, '\0')), 3);
    QCOMPARE(full.toByteArray(), QByteArray(3, '\0') + QByteArray(61, '\xff'));
  }

  // Indices near the ends of int: no bounds check may overflow, so writes
  // do nothing and reads give 0, as anywhere outside the image.
  void farIndicesStayOutside_data()
  {
    QTest::addColumn<int>("index");
    QTest::newRow("INT_MAX") << INT_MAX;
    QTest::newRow("INT_MAX - 1") << INT_MAX - 1;
    QTest::newRow("INT_MAX - 2") << INT_MAX - 2;
    QTest::newRow("INT_MIN") << INT_MIN;
    QTest::newRow("INT_MIN + 1") << INT_MIN + 1;
    QTest::newRow("-4") << -4;
    QTest::newRow("64") << 64;
    QTest::newRow("2^30") << (1 << 30);
  }

  void farIndicesStayOutside()
  {
    QFETCH(int, index);
    Packet p;
    p.set(index, uchar(1));
    p.set(index, ushort(0x0101));
    p.set(index, QByteArray("\x01"));
    p.set(index, QByteArray(64, '\x01'));
    p.writeU16(index, 0x0101);
    p.writeU32(index, 0x01010101);
    p.writeFloatLE(index, 1.0f);
    QCOMPARE(p.toByteArray(), QByteArray(64, '\0'));

    const QByteArray ones(64, '\xff');
    const Packet full(ones);
    QCOMPARE(full.readU16(index) + full.readU24(index) + full.readU32(index), 0u);
    QCOMPARE(full.readFloatLE(index), 0.0f);

    // The power supplies' blocks start at byte 3 (settings) and 2 (live data).
    PowerGetPacket settings(full);
    PowerDataPacket live(full);
    QCOMPARE(int(settings.block(index)) + int(live.block(index)), 0);
    settings.setBlock(index, uchar(0));
    live.setBlock(index, uchar(0));
    QCOMPARE(settings.toByteArray(), ones);
    QCOMPARE(live.toByteArray(), ones);
  }

  void channelMaskTable()
  {
    for (int i = 0; i < 16; ++i)
      QCOMPARE(Packet::m_channelMask[i], quint16(1u << i));
  }

  void deviceInfoVersionAndText()
  {
    DeviceInfo info;
    QCOMPARE(info.descriptor(), 1);
    QCOMPARE(info.version(), QString("1.00"));
    info.set(2, uchar(105));
    QCOMPARE(info.version(), QString("2.05"));
    info.set(2, uchar(255));
    QCOMPARE(info.version(), QString("3.55"));

    info.set(1, uchar(0x2A));
    info.set(3, uchar(3));
    info.writeU32(4, 1234567);
    info.set(8, QByteArray("Logger"));
    const QString text = info.toString();
    QVERIFY(text.startsWith("Descriptor:0x01\nID: 2a\nVersion: 3.55\nChannels: 3\nS/N: 001234567\nInfo: Logger"));
    QVERIFY(text.contains("\nPacket: 0x01 0x2a 0xff "));
    QVERIFY(text.endsWith(" \n"));

    // The device's text is shown as it stands, placeholders and all.
    info.set(8, QByteArray("%7 %1\0", 6));
    QVERIFY(info.toString().contains(QString("\nInfo: %7 %1") + QChar(0) + QChar(0)));
    QCOMPARE(info.toString().count("\nPacket: 0x01 "), 1);
  }

  void deviceInfoFromJson_data()
  {
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("stored");
    QTest::newRow("2.5") << "2.5" << 105;
    QTest::newRow("1.00") << "1.00" << 0;
    QTest::newRow("x.7 wraps to 8 bits") << "x.7" << 163;
    QTest::newRow("3.55") << "3.55" << 255;
    // Versions whose arithmetic leaves int: still the low 8 bits.
    QTest::newRow("21474838.0") << "21474838.0" << 52;
    QTest::newRow("-21474838.0") << "-21474838.0" << 4;
    QTest::newRow("-2147483648.0") << "-2147483648.0" << 156;
    QTest::newRow("2.2147483647") << "2.2147483647" << 99;
    QTest::newRow("major out of int") << "99999999999.5" << 161;
  }

  void deviceInfoFromJson()
  {
    QFETCH(QString, version);
    QFETCH(int, stored);
    DeviceInfo info;
    info.set(40, uchar(0x99)); // inside the old text field: cleared by the new text
    info.set(1, uchar(0x77));
    info.fromJson(QJsonObject{{"version", version}, {"info", "abc"}, {"channel-count", 8}});
    QCOMPARE(int(info.data()[2]), stored);
    QCOMPARE(int(info.data()[1]), 0); // missing "upid" reads as 0
    QCOMPARE(int(info.data()[3]), 8);
    QCOMPARE(info.toByteArray().mid(8, 4), QByteArray("abc\0", 4));
    QCOMPARE(int(info.data()[40]), 0);
  }

  void deviceInfoTextNeverPassesTheImage()
  {
    DeviceInfo info;
    info.fromJson(QJsonObject{{"info", QString(100, QLatin1Char('x'))}});
    QCOMPARE(info.toByteArray().mid(8), QByteArray(56, 'x'));
    // A multi-byte character is not cut in half.
    info.fromJson(QJsonObject{{"info", QString(QString(55, QLatin1Char('y')) + QChar(0x03bc))}});
    QCOMPARE(info.toByteArray().mid(8), QByteArray(55, 'y') + QByteArray(1, '\0'));
  }

  void loggerDescriptionsRoundTrip()
  {
    const QJsonObject doc = loggerDocument();
    DeviceInfo info;
    info.fromJson(doc.value("DeviceInfo").toObject());
    ChannelInfo::fromJson(doc);
    QCOMPARE(int(info.data()[1]), 5);
    QCOMPARE(info.version(), QString("1.00"));
    QCOMPARE(int(info.data()[3]), 3);
    QVERIFY(info.toString().contains("Info: Quillomar Current logger v1.00"));

    QCOMPARE(ChannelInfo::channelCount(), 3);
    const ChannelInfo c0 = ChannelInfo::getChannelInfo(0);
    QCOMPARE(c0.descriptor(), 0); // built from JSON
    QCOMPARE(infoFields(c0).value(0), QStringLiteral("\u03bcA"));
    QCOMPARE(infoFields(c0).value(1), QString("Current"));
    QCOMPARE(int(c0.dataType()), 1);
    QCOMPARE(int(c0.baseNumber()), 2);
    QCOMPARE(c0.upper(), 2100000.0);
    QCOMPARE(c0.precision(), 1); // the logger's documents carry no precision: one decimal
    const ChannelInfo c2 = ChannelInfo::getChannelInfo(2);
    QCOMPARE(int(c2.channel()), 2);
    QCOMPARE(int(c2.minExponent()), 255);
    QCOMPARE(int(c2.baseNumber()), 52);
    QCOMPARE(c2.lower(), -100.0);
    QCOMPARE(c2.upper(), 5500.0);
    QCOMPARE(infoFields(c2).value(1), QString("Voltage"));
    QVERIFY(c2.toString().startsWith("Descriptor:0x00\nChannel: 2\nData type: 0\nBase number: 52\nMin Exponent: 255\n"
                                     "Info: mV,Voltage,"));
  }

  void powerDescriptionsRoundTrip()
  {
    ChannelInfo::fromJson(powerDocument(false));
    QCOMPARE(ChannelInfo::channelCount(), 8);
    QCOMPARE(infoFields(ChannelInfo::getChannelInfo(2)).value(1), QString("USB Voltage"));
    QCOMPARE(ChannelInfo::getChannelInfo(2).upper(), 12.0);
    QCOMPARE(ChannelInfo::getChannelInfo(3).precision(), 2);
    QCOMPARE(ChannelInfo::getChannelInfo(4).lower(), -30.0);

    ChannelInfo::removeChannels();
    QCOMPARE(ChannelInfo::channelCount(), 0);
    ChannelInfo::fromJson(powerDocument(true));
    QCOMPARE(ChannelInfo::channelCount(), 14);
    QCOMPARE(infoFields(ChannelInfo::getChannelInfo(2)).value(1), QString("USB1 Voltage"));
    QCOMPARE(ChannelInfo::getChannelInfo(2).upper(), 15.0);
    QCOMPARE(infoFields(ChannelInfo::getChannelInfo(13)).value(0), QString("A"));
    QCOMPARE(ChannelInfo::getChannelInfo(13).precision(), 2);
  }

  void channelJsonDefaultsAndReplacement()
  {
    QCOMPARE(ChannelInfo::channelCount(), 0);
    ChannelInfo::fromJson(QJsonObject{{"Channels", QJsonArray{QJsonObject{{"channel", 1}, {"info", "V,A,"}}, 5}}});
    QCOMPARE(ChannelInfo::channelCount(), 1);
    const ChannelInfo c = ChannelInfo::getChannelInfo(1);
    QCOMPARE(c.upper(), 0.0); // missing "upper" reads 0, not 1e7
    QCOMPARE(c.precision(), 1);

    // A second description of the same channel replaces the first, range and precision included.
    ChannelInfo::fromJson(QJsonObject{
      {"Channels", QJsonArray{QJsonObject{{"channel", 1}, {"info", "W,B,"}, {"upper", 9}, {"pecision", 3}}}}});
    QCOMPARE(ChannelInfo::channelCount(), 1);
    QCOMPARE(infoFields(ChannelInfo::getChannelInfo(1)).value(1), QString("B"));
    QCOMPARE(ChannelInfo::getChannelInfo(1).upper(), 9.0);
    QCOMPARE(ChannelInfo::getChannelInfo(1).precision(), 3);

    // An info text longer than its field is cut at 48 bytes.
    ChannelInfo::fromJson(QJsonObject{{"Channels", QJsonArray{QJsonObject{{"channel", 4}, {"info", QString(80, 'z')}}}}});
    QCOMPARE(ChannelInfo::getChannelInfo(4).toByteArray().mid(12), QByteArray(48, 'z') + QByteArray(4, '\0'));
  }

  void channelCopiesKeepPrecision()
  {
    ChannelInfo info;
    info.set(4, uchar(6));
    info.setLower(-2);
    info.setUpper(8);
    info.setPrecision(3);
    ChannelInfo copy(info);
    QCOMPARE(copy.precision(), 3);
    QCOMPARE(copy.lower(), -2.0);
    ChannelInfo::addChannelInfo(info);
    QCOMPARE(ChannelInfo::getChannelInfo(6).precision(), 3);
    QCOMPARE(ChannelInfo::getChannelInfo(6).upper(), 8.0);
  }

  void missingChannelGivesDefault()
  {
    const ChannelInfo d = ChannelInfo::getChannelInfo(9);
    QCOMPARE(d.descriptor(), 4);
    QCOMPARE(int(d.channel()), 0);
    QCOMPARE(int(d.dataType()), 0);
    QCOMPARE(d.lower(), 0.0);
    QCOMPARE(d.upper(), 1e7);
    QCOMPARE(d.precision(), 1);
    QCOMPARE(ChannelInfo::channelCount(), 0); // nothing inserted

    // A received description keeps the default range.
    QByteArray report = image({4, 0, 0, 0, 2, 0, 52, 255});
    ChannelInfo received(raw(report), 64);
    QCOMPARE(received.upper(), 1e7);
    QCOMPARE(received.precision(), 1);
  }

  void controlCommandLayout()
  {
    DeviceControl start;
    start.set(1, uchar(DeviceControl::Start));
    start.writeU16(4, Packet::m_channelMask[0] | Packet::m_channelMask[2]);
    start.writeU16(6, 10); // 1 kHz
    start.set(8, uchar(1));
    start.writeU16(9, 300);
    QCOMPARE(start.toByteArray(), image({2, 0x80, 0, 0, 0x00, 0x05, 0x00, 0x0A, 1, 0x01, 0x2C}));
    QCOMPARE(start.toString(),
             QString("\nDescriptor:0x02\nCommand: 128\nPayload type: 1\nSample rate: 10\nChannels: 00000101\n"
                     "Trig Delay: 300\nError:0\n"));

    DeviceControl::m_currentDeviceControl = start;
    DeviceControl stop(DeviceControl::m_currentDeviceControl);
    stop.set(1, uchar(DeviceControl::Stop));
    int differing = 0;
    for (int i = 0; i < 64; ++i)
      differing += stop.data()[i] != start.data()[i] ? 1 : 0;
    QCOMPARE(differing, 1);
    QCOMPARE(stop.data()[1], uchar(0x40));
    DeviceControl::m_currentDeviceControl = DeviceControl();
  }

  void statusRequestAndAnswer()
  {
    StatusControlRequest poll;
    poll.writeU16(3, 1800);
    poll.writeU16(5, 250);
    QCOMPARE(poll.toByteArray().left(7), QByteArray("\x06\x00\x00\x07\x08\x00\xfa", 7));
    QCOMPARE(poll.voltage(), 1800);
    QCOMPARE(poll.syncDelay(), 250);
    QCOMPARE(poll.control(), 0);
    poll.set(1, uchar(0x12));
    QCOMPARE(poll.toString(), QString("Descriptor:0x06\nControl: 0x12 (00010010)\nVoltage:1800\n\n"));

    QByteArray report = image({6, 0x12, 3, 0, 0xA5, 0x48, 0x00, 0x00, 0x80, 0x3F});
    report[22] = char(0x07);
    report[23] = char(0x08);
    report[24] = char(0x01);
    StatusControlResponse answer(raw(report), 64);
    QCOMPARE(answer.reading(0), 1.0f);
    QCOMPARE(answer.reading(4), 0.0f);
    QCOMPARE(answer.outputVoltage(), 1800);
    const QString text = answer.toString();
    QVERIFY(text.startsWith("Descriptor:0x06\ninjected:3\nStatus: 0xa5 (10100101)\nPin state: 0x48 (01001000)\n"
                            "#0: 1.00000000\n#1: 0.0000\n#2: 0.0000\nVin: 0.0000\nVout: 1800.0000\n"));
    QVERIFY(text.endsWith("Power output state: 01 (00000001)\nrequest[1]: 00010010\n"));
    QVERIFY(StatusControlResponse::firstPacket);
    QVERIFY(!StatusControlRequest::justRequested);
  }

  void requestsAndBootMessages()
  {
    QCOMPARE(ChannelsRequest().toByteArray(), image({4}));
    QCOMPARE(BootModePacket().toByteArray(), image({9, 0xAB, 0x54}));
    QCOMPARE(BootModePowerPacket().toByteArray(), image({1, 'R', 'E', 'S', 'E', 'T'}));
  }
};

TOVRI_TEST(PacketTest)
#include "tst_packets.moc"
