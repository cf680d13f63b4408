#include "powerpackets.h"

#include <QDateTime>
#include <QJsonArray>

namespace {

// Block bytes of the single-byte settings, by JSON key.
struct SettingsKey
{
  const char *key;
  int blockByte;
};
const SettingsKey kByteKeys[] = {
  {"auto_off_ampers", 3}, {"auto_off_after", 4},  {"auto_on_hours", 6},  {"auto_on_minutes", 7},
  {"auto_off_hours", 8},  {"auto_off_minutes", 9}, {"date_format", 10}, {"slide_show_sec", 19},
};
const SettingsKey kBitmapKeys[] = {{"bitmap1", 0}, {"bitmap2", 1}, {"bitmap3", 2}};
const SettingsKey kFieldKeys[] = {{"total", 20}, {"power", 23}, {"aux", 26}, {"site", 29}};

const QChar kDegree(0x00B0);
const QChar kPeak(0x2305);

} // namespace

// ---- PowerPacket ------------------------------------------------------------

PowerPacket::PowerPacket()
{
  PowerPacket::init();
}

PowerPacket::PowerPacket(const Packet &other)
  : Packet(other)
{
}

PowerPacket::PowerPacket(const unsigned char *bytes, int length)
  : Packet(bytes, length)
{
}

int PowerPacket::descriptor() const
{
  return data()[2];
}

int PowerPacket::size() const
{
  return data()[1];
}

QByteArray PowerPacket::toByteArray() const
{
  return QByteArray(reinterpret_cast<const char *>(data()), qMin(size(), int(ImageSize)));
}

QString PowerPacket::toString() const
{
  return trace();
}

void PowerPacket::init()
{
  initWith(0);
}

namespace {

// Image position of block byte k, or -1 outside the image; summed wide so
// that no k can overflow.
int blockPosition(int offset, int k)
{
  const qint64 pos = qint64(offset) + k;
  return pos >= 0 && pos < Packet::ImageSize ? int(pos) : -1;
}

} // namespace

unsigned char PowerPacket::block(int k) const
{
  const int pos = blockPosition(m_offset, k);
  return pos < 0 ? 0 : data()[pos];
}

void PowerPacket::setBlock(int k, unsigned char value)
{
  const int pos = blockPosition(m_offset, k);
  if (pos >= 0)
    data()[pos] = value;
}

void PowerPacket::initWith(unsigned char command)
{
  clear();
  set(0, ReportId);
  set(1, FullSize);
  set(2, command);
}

// ---- PowerGetPacket ---------------------------------------------------------

PowerGetPacket::PowerGetPacket()
{
  PowerGetPacket::init();
}

PowerGetPacket::PowerGetPacket(const Packet &other)
  : PowerPacket(other)
{
}

PowerGetPacket::PowerGetPacket(const unsigned char *bytes, int length)
  : PowerPacket(bytes, length)
{
}

void PowerGetPacket::init()
{
  initWith(Settings);
}

QJsonObject PowerGetPacket::toJson() const
{
  QJsonObject object;
  object.insert(QStringLiteral("command"), int(Settings));
  for (const SettingsKey &k : kBitmapKeys)
    object.insert(QLatin1String(k.key), QStringLiteral("%1").arg(uint(block(k.blockByte)), 8, 2, QLatin1Char('0')));
  for (const SettingsKey &k : kByteKeys)
    object.insert(QLatin1String(k.key), int(block(k.blockByte)));
  for (const SettingsKey &k : kFieldKeys) {
    QJsonArray codes;
    for (int i = 0; i < 3; ++i)
      codes.append(int(block(k.blockByte + i)));
    object.insert(QLatin1String(k.key), codes);
  }
  return object;
}

void PowerGetPacket::fromJson(const QJsonObject &object)
{
  set(2, uchar(object.value(QLatin1String("command")).toInt(0)));
  for (const SettingsKey &k : kBitmapKeys) {
    bool ok = false;
    const uint value = object.value(QLatin1String(k.key)).toString().toUInt(&ok, 2);
    setBlock(k.blockByte, ok ? uchar(value) : uchar(0));
  }
  for (const SettingsKey &k : kByteKeys)
    setBlock(k.blockByte, uchar(object.value(QLatin1String(k.key)).toInt(0)));
  for (const SettingsKey &k : kFieldKeys) {
    const QJsonArray codes = object.value(QLatin1String(k.key)).toArray();
    for (int i = 0; i < 3; ++i)
      setBlock(k.blockByte + i, uchar(codes.at(i).toInt(0)));
  }
}

// ---- PowerSetPacket ---------------------------------------------------------

PowerSetPacket::PowerSetPacket()
{
  PowerSetPacket::init();
}

PowerSetPacket::PowerSetPacket(const Packet &other)
  : PowerGetPacket(other)
{
}

PowerSetPacket::PowerSetPacket(const unsigned char *bytes, int length)
  : PowerGetPacket(bytes, length)
{
}

void PowerSetPacket::init()
{
  initWith(SettingsWrite);
}

// ---- PowerDataPacket --------------------------------------------------------

PowerDataPacket::PowerDataPacket()
{
  m_offset = 2;
  PowerDataPacket::init();
}

PowerDataPacket::PowerDataPacket(const Packet &other)
  : PowerPacket(other)
{
  m_offset = 2;
}

PowerDataPacket::PowerDataPacket(const unsigned char *bytes, int length)
  : PowerPacket(bytes, length)
{
  m_offset = 2;
}

void PowerDataPacket::init()
{
  initWith(LiveData);
}

quint16 PowerDataPacket::block16(int k) const
{
  return readU16(m_offset + k);
}

qint32 PowerDataPacket::clockSeconds() const
{
  return qint32(readU32(m_offset + 22));
}

QString PowerDataPacket::version() const
{
  const int major = block(35);
  const int minor = block(36);
  if (minor == 0)
    return QStringLiteral("%1.%2").arg(major).arg(minor);
  return QStringLiteral("%1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0'));
}

QString PowerDataPacket::temperature(int blockByte) const
{
  const int value = qint8(block(blockByte));
  if (m_celsius)
    return QStringLiteral("%1%2C").arg(value).arg(kDegree);
  return QStringLiteral("%1%2F").arg(int(value * 1.8 + 32)).arg(kDegree);
}

QString PowerDataPacket::tin() const
{
  return temperature(8);
}

QString PowerDataPacket::tout() const
{
  return temperature(7);
}

QString PowerDataPacket::getData(int code) const
{
  switch (code) {
  case 0:
    return QStringLiteral("NONE");
  case 1:
    return QDateTime::fromSecsSinceEpoch(clockSeconds()).toString(m_dateFormat);
  case 2:
    return QStringLiteral("%1%").arg(uint(block(13)));
  case 3:
    return QStringLiteral("%1V").arg(block(1) / 10.0, 0, 'f', 1);
  case 14:
    return QStringLiteral("%1V").arg(block(4) / 10.0, 0, 'f', 1);
  case 16:
    return QStringLiteral("%1V").arg(block(38) / 10.0, 0, 'f', 1);
  case 18:
    return QStringLiteral("%1V").arg(block(41) / 10.0, 0, 'f', 1);
  case 20:
    return QStringLiteral("%1V").arg(block(44) / 10.0, 0, 'f', 1);
  case 4:
    return QStringLiteral("%1A").arg(block16(2) / 10.0, 0, 'f', 1);
  case 9:
    return QStringLiteral("%1A").arg(block16(16) / 10.0, 0, 'f', 1);
  case 5:
    return QStringLiteral("%1V").arg(uint(block16(9)));
  case 6:
    return QStringLiteral("%1Hz").arg(block16(11) / 10.0, 0, 'f', 1);
  case 7:
    return QString(kPeak) + QStringLiteral("%1W").arg(uint(block16(18)));
  case 8:
    return QString(kPeak) + QStringLiteral("%1A").arg(block16(20) / 10.0, 0, 'f', 1);
  case 10:
    return QStringLiteral("%1W").arg(uint(block16(14)));
  case 11:
    return tin();
  case 12:
    return tout();
  case 13:
    return QDateTime::fromSecsSinceEpoch(clockSeconds())
      .toString(m_clock24 ? QStringLiteral("hh:mm") : QStringLiteral("hh:mm ap"));
  case 15:
    return QStringLiteral("%1A").arg(block16(5) / 100.0, 0, 'f', 2);
  case 17:
    return QStringLiteral("%1A").arg(block16(39) / 100.0, 0, 'f', 2);
  case 19:
    return QStringLiteral("%1A").arg(block16(42) / 100.0, 0, 'f', 2);
  case 21:
    return QStringLiteral("%1A").arg(block16(45) / 100.0, 0, 'f', 2);
  default:
    return QString();
  }
}
