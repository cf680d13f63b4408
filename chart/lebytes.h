#ifndef LEBYTES_H
#define LEBYTES_H

#include <QtEndian>
#include <QtGlobal>

#include <cstring>

// Little-endian fields of the capture file, read from and written to raw
// bytes whatever the host's byte order and alignment.
namespace LeBytes {

template <typename T> inline T get(const uchar *p)
{
  return qFromLittleEndian<T>(p);
}

template <typename T> inline void put(uchar *p, T value)
{
  qToLittleEndian<T>(value, p);
}

inline double getDouble(const uchar *p)
{
  const quint64 bits = qFromLittleEndian<quint64>(p);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

inline void putDouble(uchar *p, double value)
{
  quint64 bits;
  std::memcpy(&bits, &value, sizeof bits);
  qToLittleEndian<quint64>(bits, p);
}

} // namespace LeBytes

#endif // LEBYTES_H
