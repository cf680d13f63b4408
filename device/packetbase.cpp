#include "packetbase.h"

#include <cstring>

const quint16 Packet::m_channelMask[16] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040, 0x0080,
                                           0x0100, 0x0200, 0x0400, 0x0800, 0x1000, 0x2000, 0x4000, 0x8000};

Packet::Packet()
{
  clear();
}

Packet::Packet(unsigned char descriptor)
{
  clear();
  m_image[0] = descriptor;
}

Packet::Packet(const Packet &other)
{
  std::memcpy(m_image, other.data(), ImageSize);
}

Packet::Packet(const unsigned char *bytes, int length)
{
  clear();
  set(bytes, length);
}

Packet::Packet(const QByteArray &bytes)
{
  clear();
  if (bytes.size() <= ImageSize)
    std::memcpy(m_image, bytes.constData(), size_t(bytes.size()));
}

Packet::~Packet() = default;

Packet &Packet::operator=(const Packet &other)
{
  if (this != &other)
    std::memcpy(m_image, other.data(), ImageSize);
  return *this;
}

int Packet::descriptor() const
{
  return m_image[0];
}

int Packet::size() const
{
  return ImageSize;
}

QByteArray Packet::toByteArray() const
{
  return QByteArray(reinterpret_cast<const char *>(data()), ImageSize);
}

QString Packet::toString() const
{
  return QStringLiteral("Descriptor: 0x%1").arg(descriptor(), 0, 16);
}

QString Packet::trace() const
{
  QString text;
  text.reserve(ImageSize * 5);
  for (int i = 0; i < ImageSize; ++i)
    text += QStringLiteral("0x%1 ").arg(uint(m_image[i]), 2, 16, QLatin1Char('0'));
  return text;
}

void Packet::set(const unsigned char *bytes, int length)
{
  if (!bytes || length <= 0)
    return;
  std::memcpy(m_image, bytes, size_t(qMin(length, ImageSize)));
}

void Packet::set(int index, unsigned char value)
{
  if (inside(index, 1))
    m_image[index] = value;
}

void Packet::set(int index, unsigned short value)
{
  if (!inside(index, 2))
    return;
  m_image[index] = uchar(value & 0xFF);
  m_image[index + 1] = uchar(value >> 8);
}

void Packet::set(int index, const QByteArray &bytes)
{
  // The size is checked whole first: cut to int, a huge array could pass as a short one.
  if (!bytes.isEmpty() && bytes.size() <= ImageSize && inside(index, int(bytes.size())))
    std::memcpy(m_image + index, bytes.constData(), size_t(bytes.size()));
}

quint16 Packet::readU16(int index) const
{
  if (!inside(index, 2))
    return 0;
  return quint16((m_image[index] << 8) | m_image[index + 1]);
}

quint32 Packet::readU24(int index) const
{
  if (!inside(index, 3))
    return 0;
  return (quint32(m_image[index]) << 16) | (quint32(m_image[index + 1]) << 8) | m_image[index + 2];
}

quint32 Packet::readU32(int index) const
{
  if (!inside(index, 4))
    return 0;
  return (quint32(m_image[index]) << 24) | (quint32(m_image[index + 1]) << 16) | (quint32(m_image[index + 2]) << 8) |
         m_image[index + 3];
}

void Packet::writeU16(int index, quint16 value)
{
  if (!inside(index, 2))
    return;
  m_image[index] = uchar(value >> 8);
  m_image[index + 1] = uchar(value & 0xFF);
}

void Packet::writeU32(int index, quint32 value)
{
  if (!inside(index, 4))
    return;
  for (int i = 0; i < 4; ++i)
    m_image[index + i] = uchar(value >> (24 - 8 * i));
}

float Packet::readFloatLE(int index) const
{
  if (!inside(index, 4))
    return 0.0f;
  const quint32 bits = quint32(m_image[index]) | (quint32(m_image[index + 1]) << 8) |
                       (quint32(m_image[index + 2]) << 16) | (quint32(m_image[index + 3]) << 24);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void Packet::writeFloatLE(int index, float value)
{
  if (!inside(index, 4))
    return;
  quint32 bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 4; ++i)
    m_image[index + i] = uchar(bits >> (8 * i));
}

void Packet::clear()
{
  std::memset(m_image, 0, ImageSize);
}
