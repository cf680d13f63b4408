#include "packet.h"
#include "testmain.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace {

QByteArray header(int command)
{
  QByteArray bytes(64, '\0');
  bytes[0] = 0x07;
  bytes[1] = 0x40;
  bytes[2] = char(command);
  return bytes;
}

const QString kDegree = QString(QChar(0x00B0));

} // namespace

class PowerPacketTest : public QObject
{
  Q_OBJECT
private slots:
  void baseReadsSizeAndCommand()
  {
    PowerPacket p;
    QCOMPARE(p.toByteArray(), header(0));
    QCOMPARE(p.descriptor(), 0);
    QCOMPARE(p.size(), 64);
    p.set(1, uchar(5));
    p.set(2, uchar(0x0C));
    QCOMPARE(p.descriptor(), 0x0C);
    QCOMPARE(p.toByteArray(), QByteArray("\x07\x05\x0c\x00\x00", 5));
    QCOMPARE(p.toString(), p.trace());
    // A size byte above 64 never reads past the image.
    p.set(1, uchar(0xFF));
    QCOMPARE(p.toByteArray().size(), 64);
  }

  void messagesStartWithTheirHeader()
  {
    QCOMPARE(PowerGetPacket().toByteArray(), header(0x0A));
    QCOMPARE(PowerSetPacket().toByteArray(), header(0x0B));
    QCOMPARE(PowerDataPacket().toByteArray(), header(0x0C));
    QCOMPARE(PowerGetPacket().payloadOffset(), 3);
    QCOMPARE(PowerDataPacket().payloadOffset(), 2);

    PowerSetPacket set;
    set.setBlock(PowerSetPacket::ActionByte, uchar(0x02));
    QCOMPARE(int(set.data()[57]), 2);
    set.set(40, uchar(9));
    set.init();
    QCOMPARE(set.toByteArray(), header(0x0B));
  }

  void settingsToJson()
  {
    PowerGetPacket p;
    p.setBlock(0, uchar(5));
    p.setBlock(2, uchar(0x80));
    p.setBlock(3, uchar(12));
    p.setBlock(10, uchar(2));
    p.setBlock(19, uchar(30));
    p.setBlock(20, uchar(1));
    p.setBlock(21, uchar(2));
    p.setBlock(22, uchar(3));
    p.setBlock(31, uchar(21));
    const QJsonObject json = p.toJson();
    QCOMPARE(json.value("command").toInt(), 10);
    QCOMPARE(json.value("bitmap1").toString(), QString("00000101"));
    QCOMPARE(json.value("bitmap2").toString(), QString("00000000"));
    QCOMPARE(json.value("bitmap3").toString(), QString("10000000"));
    QCOMPARE(json.value("auto_off_ampers").toInt(), 12);
    QCOMPARE(json.value("date_format").toInt(), 2);
    QCOMPARE(json.value("slide_show_sec").toInt(), 30);
    QCOMPARE(json.value("total").toArray(), QJsonArray({1, 2, 3}));
    QCOMPARE(json.value("site").toArray(), QJsonArray({0, 0, 21}));
    QCOMPARE(json.keys().size(), 16);
  }

  void settingsRoundTrip()
  {
    PowerGetPacket source;
    for (int k = 0; k < 61; ++k)
      source.setBlock(k, uchar(200 - k));
    // Through the text of an exported file.
    const QByteArray text = QJsonDocument(source.toJson()).toJson(QJsonDocument::Indented);
    const QJsonObject read = QJsonDocument::fromJson(text).object();

    PowerGetPacket cleared;
    cleared.init();
    cleared.set(2, uchar(0));
    cleared.fromJson(read);
    QCOMPARE(int(cleared.data()[2]), 10);
    for (int k = 0; k < 61; ++k) {
      const bool carried = k <= 4 || (k >= 6 && k <= 10) || (k >= 19 && k <= 31);
      QCOMPARE(int(cleared.block(k)), carried ? 200 - k : 0);
    }

    // Bytes that no key covers keep their values.
    PowerGetPacket target;
    target.setBlock(5, uchar(0x55));
    target.setBlock(50, uchar(0x66));
    target.fromJson(read);
    QCOMPARE(int(target.block(5)), 0x55);
    QCOMPARE(int(target.block(50)), 0x66);
    QCOMPARE(int(target.block(0)), 200);
  }

  void settingsFromIncompleteJson()
  {
    PowerGetPacket p;
    for (int k = 0; k < 61; ++k)
      p.setBlock(k, uchar(0xEE));
    p.fromJson(QJsonObject{{"command", 10}, {"bitmap1", "101"}, {"bitmap2", "12"}, {"auto_off_after", 300},
                           {"power", QJsonArray{7}}});
    QCOMPARE(int(p.block(0)), 5);
    QCOMPARE(int(p.block(1)), 0);    // not base 2
    QCOMPARE(int(p.block(2)), 0);    // missing
    QCOMPARE(int(p.block(3)), 0);    // missing
    QCOMPARE(int(p.block(4)), 300 & 0xFF);
    QCOMPARE(int(p.block(23)), 7);
    QCOMPARE(int(p.block(24)), 0);   // array too short
    QCOMPARE(int(p.block(11)), 0xEE); // not carried
  }

  void liveDataVersion()
  {
    PowerDataPacket p;
    QCOMPARE(p.version(), QString("0.0"));
    p.setBlock(35, uchar(2));
    QCOMPARE(p.version(), QString("2.0"));
    p.setBlock(35, uchar(1));
    p.setBlock(36, uchar(5));
    QCOMPARE(p.version(), QString("1.05"));
    QCOMPARE(int(p.data()[37]), 1);
  }

  void liveDataTemperatures()
  {
    PowerDataPacket p;
    p.setBlock(8, uchar(qint8(-10)));
    p.setBlock(7, uchar(40));
    QCOMPARE(p.tin(), QString("-10") + kDegree + "C");
    QCOMPARE(p.tout(), QString("40") + kDegree + "C");
    p.setCelsius(false);
    QCOMPARE(p.tin(), QString("14") + kDegree + "F");
    QCOMPARE(p.tout(), QString("104") + kDegree + "F");
    QCOMPARE(p.getData(11), p.tin());
    QCOMPARE(p.getData(12), p.tout());
  }

  void liveDataFields()
  {
    PowerDataPacket p;
    p.setBlock(1, uchar(138));
    p.writeU16(2 + 2, 0x012C);
    p.setBlock(4, uchar(51));
    p.writeU16(2 + 5, 123);
    p.writeU16(2 + 9, 230);
    p.writeU16(2 + 11, 500);
    p.setBlock(13, uchar(87));
    p.writeU16(2 + 14, 75);
    p.writeU16(2 + 16, 25);
    p.writeU16(2 + 18, 900);
    p.writeU16(2 + 20, 411);
    p.setBlock(38, uchar(50));
    p.writeU16(2 + 39, 1);
    p.setBlock(41, uchar(0));
    p.writeU16(2 + 42, 250);
    p.setBlock(44, uchar(99));
    p.writeU16(2 + 45, 1000);

    QCOMPARE(p.getData(0), QString("NONE"));
    QCOMPARE(p.getData(2), QString("87%"));
    QCOMPARE(p.getData(3), QString("13.8V"));
    QCOMPARE(p.getData(4), QString("30.0A"));
    QCOMPARE(p.getData(5), QString("230V"));
    QCOMPARE(p.getData(6), QString("50.0Hz"));
    QCOMPARE(p.getData(7), QString(QChar(0x2305)) + "900W");
    QCOMPARE(p.getData(8), QString(QChar(0x2305)) + "41.1A");
    QCOMPARE(p.getData(9), QString("2.5A"));
    QCOMPARE(p.getData(10), QString("75W"));
    QCOMPARE(p.getData(14), QString("5.1V"));
    QCOMPARE(p.getData(15), QString("1.23A"));
    QCOMPARE(p.getData(16), QString("5.0V"));
    QCOMPARE(p.getData(17), QString("0.01A"));
    QCOMPARE(p.getData(18), QString("0.0V"));
    QCOMPARE(p.getData(19), QString("2.50A"));
    QCOMPARE(p.getData(20), QString("9.9V"));
    QCOMPARE(p.getData(21), QString("10.00A"));
    QCOMPARE(p.getData(22), QString());
    QCOMPARE(p.getData(-1), QString());
  }

  void liveDataClock()
  {
    // 13:45:30 local time on a fixed day.
    const QDateTime when(QDate(2024, 3, 9), QTime(13, 45, 30));
    PowerDataPacket p;
    p.writeU32(2 + 22, quint32(when.toSecsSinceEpoch()));
    QCOMPARE(p.clockSeconds(), qint32(when.toSecsSinceEpoch()));
    QCOMPARE(p.getData(13), QString("13:45"));
    p.setClock24(false);
    QCOMPARE(p.getData(13), when.toString("hh:mm ap"));
    QVERIFY(p.getData(13).startsWith("01:45"));
    p.setDateFormat("yyyy-MM-dd hh:mm");
    QCOMPARE(p.getData(1), QString("2024-03-09 13:45"));
  }
};

TOVRI_TEST(PowerPacketTest)
#include "tst_powerpackets.moc"
