#include "infopackets.h"

#include <QJsonArray>

#include <cstring>

DeviceInfo *DeviceInfo::m_deviceInfo = nullptr;
QMap<unsigned char, ChannelInfo> ChannelInfo::m_channels;

namespace {

// UTF-8 bytes of a text cut to at most maxBytes without splitting a character.
QByteArray utf8Field(const QString &text, int maxBytes)
{
  QByteArray bytes = text.toUtf8();
  if (bytes.size() <= maxBytes)
    return bytes;
  int cut = maxBytes;
  while (cut > 0 && (uchar(bytes.at(cut)) & 0xC0) == 0x80)
    --cut;
  return bytes.left(cut);
}

// Writes a zero-padded text field.
void setTextField(Packet &packet, int offset, int length, const QString &text)
{
  QByteArray field = utf8Field(text, length);
  field.append(QByteArray(length - int(field.size()), '\0'));
  packet.set(offset, field);
}

int jsonInt(const QJsonObject &object, const char *key)
{
  return object.value(QLatin1String(key)).toInt(0);
}

} // namespace

// ---- DeviceInfo -------------------------------------------------------------

DeviceInfo::DeviceInfo()
  : Packet(Descriptor)
{
}

DeviceInfo::DeviceInfo(const Packet &other)
  : Packet(other)
{
}

DeviceInfo::DeviceInfo(const unsigned char *bytes, int length)
  : Packet(bytes, length)
{
}

QString DeviceInfo::version() const
{
  const int v = data()[2];
  return QStringLiteral("%1.%2").arg(v / 100 + 1).arg(v % 100, 2, 10, QLatin1Char('0'));
}

QString DeviceInfo::toString() const
{
  // Filled in one pass: the device's own text may hold "%7" and the like.
  return QStringLiteral("Descriptor:0x%1\nID: %2\nVersion: %3\nChannels: %4\nS/N: %5\nInfo: %6\nPacket: %7\n")
    .arg(QStringLiteral("%1").arg(descriptor(), 2, 16, QLatin1Char('0')), QString::number(uint(data()[1]), 16),
         version(), QString::number(uint(data()[3])),
         QStringLiteral("%1").arg(readU32(4), 9, 10, QLatin1Char('0')),
         QString::fromUtf8(reinterpret_cast<const char *>(data() + 8), 56), trace());
}

void DeviceInfo::fromJson(const QJsonObject &object)
{
  set(1, uchar(jsonInt(object, "upid")));
  set(3, uchar(jsonInt(object, "channel-count")));
  if (object.contains(QLatin1String("info")))
    setTextField(*this, 8, 56, object.value(QLatin1String("info")).toString());
  if (object.contains(QLatin1String("version"))) {
    const QJsonValue value = object.value(QLatin1String("version"));
    const QString text = value.isDouble() ? QString::number(value.toDouble()) : value.toString();
    const QStringList parts = text.split(QLatin1Char('.'));
    const int major = parts.value(0).toInt();
    const int minor = parts.value(1).toInt();
    // Unsigned arithmetic wraps where int would overflow; the low 8 bits are
    // the same either way.
    set(2, uchar((uint(major) - 1u) * 100u + uint(minor)));
  }
}

// ---- ChannelsRequest --------------------------------------------------------

ChannelsRequest::ChannelsRequest()
  : Packet(ChannelInfo::Descriptor)
{
}

// ---- ChannelInfo ------------------------------------------------------------

ChannelInfo::ChannelInfo()
  : Packet(Descriptor)
{
}

ChannelInfo::ChannelInfo(const Packet &other)
  : Packet(other)
{
}

ChannelInfo::ChannelInfo(const unsigned char *bytes, int length)
  : Packet(bytes, length)
{
}

QString ChannelInfo::info() const
{
  return QString::fromUtf8(reinterpret_cast<const char *>(data() + InfoOffset), InfoLength);
}

QString ChannelInfo::toString() const
{
  return QStringLiteral("Descriptor:0x%1\nChannel: %2\nData type: %3\nBase number: %4\nMin Exponent: %5\nInfo: %6\n")
    .arg(descriptor(), 2, 16, QLatin1Char('0'))
    .arg(uint(channel()))
    .arg(uint(dataType()))
    .arg(uint(baseNumber()))
    .arg(uint(minExponent()))
    .arg(info());
}

void ChannelInfo::addChannelInfo(const ChannelInfo &info)
{
  m_channels.insert(info.channel(), info);
}

ChannelInfo ChannelInfo::getChannelInfo(unsigned char channel)
{
  return m_channels.value(channel, ChannelInfo());
}

int ChannelInfo::channelCount()
{
  return int(m_channels.size());
}

void ChannelInfo::removeChannels()
{
  m_channels.clear();
}

void ChannelInfo::fromJson(const QJsonObject &document)
{
  const QJsonArray channels = document.value(QLatin1String("Channels")).toArray();
  for (const QJsonValue &value : channels) {
    if (!value.isObject())
      continue;
    const QJsonObject object = value.toObject();
    ChannelInfo info;
    info.set(0, uchar(0)); // built from JSON, not received: descriptor 0
    info.set(4, uchar(jsonInt(object, "channel")));
    info.set(5, uchar(jsonInt(object, "dataType")));
    info.set(6, uchar(jsonInt(object, "baseNumber")));
    info.set(7, uchar(jsonInt(object, "minExponent")));
    setTextField(info, InfoOffset, InfoLength, object.value(QLatin1String("info")).toString());
    info.m_lower = object.value(QLatin1String("lower")).toDouble(0.0);
    info.m_upper = object.value(QLatin1String("upper")).toDouble(0.0);
    // A description without a precision shows one decimal, as every other does.
    info.m_precision = object.value(QLatin1String("pecision")).toInt(1);
    addChannelInfo(info);
  }
}
