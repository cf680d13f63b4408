#include "checksum.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr quint64 prime1 = 0x9e3779b185ebca87ULL;
constexpr quint64 prime2 = 0xc2b2ae3d27d4eb4fULL;
constexpr quint64 prime3 = 0x165667b19e3779f9ULL;
constexpr quint64 prime4 = 0x85ebca77c2b2ae63ULL;

quint64 rotl(quint64 x, int r)
{
  return (x << r) | (x >> (64 - r));
}

quint64 round(quint64 lane, quint64 word)
{
  return rotl(lane + word * prime2, 31) * prime1;
}

quint64 word(const uchar *p)
{
  return qFromLittleEndian<quint64>(p);
}

} // namespace

void Checksum::addStripe(const uchar *stripe)
{
  for (int i = 0; i < 4; ++i)
    m_lanes[i] = round(m_lanes[i], word(stripe + 8 * i));
}

void Checksum::add(const char *data, qint64 length)
{
  if (length <= 0)
    return;
  m_total += length;
  const auto *p = reinterpret_cast<const uchar *>(data);
  if (m_carried > 0) {
    const int take = int(qMin<qint64>(stripeBytes - m_carried, length));
    std::memcpy(m_carry + m_carried, p, size_t(take));
    m_carried += take;
    p += take;
    length -= take;
    if (m_carried < stripeBytes)
      return;
    addStripe(m_carry);
    m_carried = 0;
  }
  for (; length >= stripeBytes; p += stripeBytes, length -= stripeBytes)
    addStripe(p);
  std::memcpy(m_carry, p, size_t(length));
  m_carried = int(length);
}

quint64 Checksum::value() const
{
  quint64 h = rotl(m_lanes[0], 1) + rotl(m_lanes[1], 7) + rotl(m_lanes[2], 12) + rotl(m_lanes[3], 18);
  for (quint64 lane : m_lanes)
    h = (h ^ round(0, lane)) * prime1 + prime4;
  h += quint64(m_total);
  // The bytes of an unfinished stripe, one by one.
  for (int i = 0; i < m_carried; ++i)
    h = rotl(h ^ (m_carry[i] * prime3), 11) * prime1;
  h ^= h >> 33;
  h *= prime2;
  h ^= h >> 29;
  h *= prime3;
  h ^= h >> 32;
  return h;
}
