#include "packet.h"
#include "processstate.h"
#include "testmain.h"

#include <QJsonArray>
#include <QTest>

#include <climits>

namespace {

// Installs a received description (descriptor 4) of a channel.
void describe(int channel, int dataType, int base = 0, int minExponent = 0)
{
  ChannelInfo info;
  info.set(4, uchar(channel));
  info.set(5, uchar(dataType));
  info.set(6, uchar(base));
  info.set(7, uchar(minExponent));
  ChannelInfo::addChannelInfo(info);
}

MeasureAll block(int channelBits, int perChannel, const QList<int> &samples)
{
  MeasureAll b;
  b.set(1, uchar(0x01));
  b.set(2, uchar(0x02));
  b.set(3, uchar(0x03));
  b.set(5, uchar(channelBits));
  b.set(6, uchar(perChannel));
  for (int i = 0; i < samples.size(); ++i)
    b.writeU16(MeasureAll::FirstSample + 2 * i, quint16(samples.at(i)));
  return b;
}

// A full image of distinct 16-bit samples 1, 2, 3, ...
QList<int> counting(int count)
{
  QList<int> s;
  for (int i = 1; i <= count; ++i)
    s.append(i);
  return s;
}

MeasurePower frame(int rows, const QByteArray &samples)
{
  MeasurePower f;
  f.set(2, uchar(0x01));
  f.set(3, uchar(0x00));
  f.set(4, uchar(0x01));
  f.set(5, uchar(0x00));
  f.set(6, uchar(rows));
  f.set(MeasurePower::FirstSample, samples);
  return f;
}

} // namespace

class SampleBlockTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { resetProcessState(); }

  void interleavedChannels()
  {
    describe(0, 0);
    describe(1, 0);
    // Pins 0xF8 with channels #0 and #1, three samples each.
    MeasureAll b = block(0xFB, 3, {10, 20, 11, 21, 12, 22});
    QCOMPARE(b.counter(), quint32(0x010203));
    QCOMPARE(int(b.pinState()), 0xF8);
    const auto values = b.decode();
    QCOMPARE(values.keys(), QList<int>({0, 1}));
    QCOMPARE(values.value(0), QList<double>({10, 11, 12}));
    QCOMPARE(values.value(1), QList<double>({20, 21, 22}));
  }

  void pinBitsSelectNoChannel()
  {
    describe(0, 0);
    QVERIFY(block(0xF8, 3, {1, 2, 3}).decode().isEmpty());
  }

  void dataTypeZeroFloorsAtMinus100()
  {
    describe(2, 0);
    const auto values = block(0x04, 4, {0xFF9C, 0xFF9B, 0x7FFF, 0x8000}).decode().value(2);
    QCOMPARE(values, QList<double>({-100.0, -100.0, 32767.0, -100.0}));
  }

  void dataTypeOneScales()
  {
    describe(0, 1, 1, 0);
    const auto values = block(0x01, 3, {0x3FFF, 0x4000, 0x2000}).decode().value(0);
    QCOMPARE(values.size(), 3);
    QCOMPARE(values.at(0), 0.0);
    QCOMPARE(values.at(1), 1 / 16383.0 * 10 * 1000.0);
    QCOMPARE(values.at(2), 8192 / 16383.0 * 1 * 1000.0);

    // The logger's current channel: base 2, exponent bits 2 and 3.
    describe(0, 1, 2, 0);
    const auto high = block(0x01, 1, {0xC000 | 1000}).decode().value(0);
    QCOMPARE(high.at(0), (0xC000 + 1000) % 16383 / 16383.0 * (1000.0 * 2) * 1000.0);
  }

  void otherDataTypesReadLowByteFirst()
  {
    describe(1, 9);
    QCOMPARE(block(0x02, 2, {0x3412, 0xFFFE}).decode().value(1), QList<double>({0x1234, -257}));
  }

  void jsonDescriptionDecodesNothing()
  {
    ChannelInfo::fromJson(QJsonObject{{"Channels", QJsonArray{QJsonObject{{"channel", 0}}}}});
    const auto values = block(0x01, 2, {5, 6}).decode();
    QVERIFY(values.contains(0));
    QVERIFY(values.value(0).isEmpty());
    // Without any description the default (descriptor 4, type 0) decodes.
    QCOMPARE(block(0x02, 1, {7}).decode().value(1), QList<double>({7}));
  }

  void multipliers()
  {
    describe(0, 0);
    describe(1, 0);
    describe(2, 0);
    MeasureAll b = block(0x07, 1, {10, 20, 30});
    b.setMultiplier(0, 5.0);  // channel #0 is never scaled
    b.setMultiplier(1, 2.9);  // cut to 2
    b.setMultiplier(2, -3.5); // cut to -3
    const auto values = b.decode();
    QCOMPARE(values.value(0), QList<double>({10}));
    QCOMPARE(values.value(1), QList<double>({40}));
    QCOMPARE(values.value(2), QList<double>({-90}));
    // Copies decode as the original: the multipliers travel with the image.
    MeasureAll copy(b);
    QCOMPARE(copy.multiplier(1), 2.9);
    QCOMPARE(copy.decode(), values);
    MeasureAll assigned;
    assigned = b;
    QCOMPARE(assigned.multiplier(2), -3.5);
    QCOMPARE(assigned.decode(), values);
  }

  void fullBlocks()
  {
    describe(0, 0);
    describe(1, 0);
    describe(2, 0);
    // One channel: 28 samples reach byte 62.
    QList<double> expected;
    for (int v : counting(28))
      expected.append(v);
    QCOMPARE(block(0x01, 28, counting(28)).decode().value(0), expected);
    // Three channels: 9 whole rows.
    const auto three = block(0x07, 9, counting(28)).decode();
    QCOMPARE(three.value(2).size(), 9);
    QCOMPARE(three.value(2).last(), 27.0);
  }

  void oversizedBlocksStayInsideTheImage_data()
  {
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("claimed");
    QTest::addColumn<int>("decoded");
    QTest::newRow("one channel, 29") << 0x01 << 29 << 28;
    QTest::newRow("one channel, 255") << 0x01 << 255 << 28;
    QTest::newRow("two channels, 15") << 0x03 << 15 << 14;
    QTest::newRow("three channels, 10") << 0x07 << 10 << 9;
  }

  void oversizedBlocksStayInsideTheImage()
  {
    QFETCH(int, bits);
    QFETCH(int, claimed);
    QFETCH(int, decoded);
    for (int c = 0; c < 3; ++c)
      describe(c, 0);
    const auto values = block(bits, claimed, counting(28)).decode();
    for (auto it = values.begin(); it != values.end(); ++it)
      QCOMPARE(it.value().size(), decoded);
    // A direct call at an awkward index stops at the image's end too.
    ChannelInfo info = ChannelInfo::getChannelInfo(0);
    QCOMPARE(block(bits, claimed, counting(28)).decode(27, 1, info).size(), 1);
  }

  // Any index and step a caller passes: the samples that lie in the image, or none.
  void channelDecodeAtAnyIndex_data()
  {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("count");
    QTest::newRow("last slot") << 27 << 1 << 1;
    QTest::newRow("three channels, third") << 2 << 3 << 9;
    QTest::newRow("one past the image") << 28 << 1 << 0;
    QTest::newRow("INT_MAX") << INT_MAX << 1 << 0;
    QTest::newRow("twice the index overflows") << (1 << 30) << 2 << 0;
    QTest::newRow("INT_MIN") << INT_MIN << 1 << 0;
    QTest::newRow("huge step") << 0 << INT_MAX << 0;
    QTest::newRow("negative step") << 3 << INT_MIN << 0;
  }

  void channelDecodeAtAnyIndex()
  {
    QFETCH(int, index);
    QFETCH(int, step);
    QFETCH(int, count);
    const QList<double> values = block(0x01, 255, counting(28)).decode(index, step, ChannelInfo());
    QCOMPARE(values.size(), count);
    for (int k = 0; k < count; ++k)
      QCOMPARE(values.at(k), double(index + k * step + 1));
  }

  void blockText()
  {
    MeasureAll b = block(0x4B, 0, {});
    b.set(4, uchar(0x81));
    QCOMPARE(b.toString(), QString("Index: 66051\nStatus: 81 (10000001)\nPin State: 48 (01001000)\n"));
  }

  void powerTemperatureSigned()
  {
    describe(4, 2);
    MeasurePower f = frame(1, QByteArray("\xFB"));
    QList<int> channels{4};
    QCOMPARE(f.decode(channels, true).value(0), QList<double>({1.8 * -5 + 32}));
    QCOMPARE(f.decode(channels, false).value(0), QList<double>({-5.0}));
  }

  void powerScalingByChannel()
  {
    describe(0, 2);
    QList<int> zero{0};
    QCOMPARE(frame(1, QByteArray("\xFB")).decode(zero, false).value(0), QList<double>({6553.1}));

    describe(3, 0);
    describe(6, 0);
    describe(13, 3);
    describe(20, 3);
    QList<int> channels{3, 6, 13, 20};
    // 3: 0x0102 / 100, 6: 0x00FA whole, 13: 0xC8 / 100, 20: 0x32 / 10
    const auto values = frame(1, QByteArray("\x01\x02\x00\xFA\xC8\x32", 6)).decode(channels, false);
    QCOMPARE(values.keys(), QList<int>({0, 1, 2, 3}));
    QCOMPARE(values.value(0), QList<double>({2.58}));
    QCOMPARE(values.value(1), QList<double>({250}));
    QCOMPARE(values.value(2), QList<double>({2.0}));
    QCOMPARE(values.value(3), QList<double>({5.0}));
  }

  void powerRowsAndWidths()
  {
    describe(3, 3);
    describe(7, 1); // two bytes, no value
    describe(5, 9); // one byte, no value
    QList<int> channels{3, 7, 5};
    const auto values = frame(2, QByteArray("\x64\x11\x22\x33\x32\x44\x55\x66")).decode(channels, false);
    QCOMPARE(values.value(0), QList<double>({1.0, 0.5}));
    QCOMPARE(values.value(1), QList<double>({0.0, 0.0}));
    QCOMPARE(values.value(2), QList<double>({0.0, 0.0}));

    MeasurePower f;
    const unsigned char bytes[2] = {0x80, 0x01};
    QCOMPARE(f.decode(bytes, 0), short(-32767));
    QCOMPARE(f.decode(bytes, 2), short(-128));
    QCOMPARE(f.decode(bytes, 3), short(128));
    QCOMPARE(f.decode(bytes, 1), short(0));
    QCOMPARE(f.decode(nullptr, 0), short(0));
  }

  void powerOversizedRows_data()
  {
    QTest::addColumn<QList<int>>("types");
    QTest::addColumn<int>("claimed");
    QTest::addColumn<int>("decoded");
    QTest::newRow("two-byte channel, 28 fit") << QList<int>{0} << 28 << 28;
    QTest::newRow("two-byte channel, 200 claimed") << QList<int>{0} << 200 << 28;
    QTest::newRow("three bytes a row, 30 claimed") << QList<int>{3, 0} << 30 << 19;
    QTest::newRow("one byte, 57 fit") << QList<int>{2} << 57 << 57;
    QTest::newRow("one byte, 255 claimed") << QList<int>{2} << 255 << 57;
  }

  void powerOversizedRows()
  {
    QFETCH(QList<int>, types);
    QFETCH(int, claimed);
    QFETCH(int, decoded);
    QList<int> channels;
    for (int i = 0; i < types.size(); ++i) {
      describe(i, types.at(i));
      channels.append(i);
    }
    const auto values = frame(claimed, QByteArray(57, '\x01')).decode(channels, false);
    QCOMPARE(values.size(), types.size());
    for (auto it = values.begin(); it != values.end(); ++it)
      QCOMPARE(it.value().size(), decoded);
  }

  void powerWithoutChannels()
  {
    QList<int> none;
    QVERIFY(frame(5, QByteArray(10, '\x01')).decode(none, false).isEmpty());
    QCOMPARE(frame(5, {}).toString(), QString("Index: 256\nSamples: 5\n"));
  }
};

TOVRI_TEST(SampleBlockTest)
#include "tst_samples.moc"
