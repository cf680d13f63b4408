#ifndef CHECKSUM_H
#define CHECKSUM_H

#include <QtGlobal>

// A fast 64-bit checksum of a stream of bytes, the same however the stream
// is cut up: a copy is summed as it is written and again as it is
// read back, so that a copy that differs is never taken for the capture.
class Checksum
{
public:
  void add(const char *data, qint64 length);
  quint64 value() const;
  qint64 length() const { return m_total; }

private:
  static constexpr int stripeBytes = 32;
  void addStripe(const uchar *stripe);

  quint64 m_lanes[4] = {0x60ea27eeadc0b5d6ULL, 0xc2b2ae3d27d4eb4fULL, 0ULL, 0x61c8864e7a143579ULL};
  uchar m_carry[stripeBytes] = {};
  int m_carried = 0;
  qint64 m_total = 0;
};

#endif // CHECKSUM_H
