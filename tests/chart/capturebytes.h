#ifndef CAPTUREBYTES_H
#define CAPTUREBYTES_H

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QList>
#include <QString>

// Builds capture-file bytes field by field, independently of the code under
// test, so tests can compare byte for byte and forge damaged files.
namespace CaptureBytes {

struct Header
{
  qint32 version = 4;
  qint32 size = 76;
  qint8 channelCount = 3;
  quint8 channelMask = 7;
  qint16 divider = 1;
  quint8 mode = 0;
  QList<int> channelList = {0, 1, 2};
  qint16 fahrenheit = 0;
  qint16 custom = 0;
  quint32 channelMask32 = 1;
  QList<int> channelList32;
  qint64 creationTime = 0;
};

// A header of the given ascending channel numbers, its count, mask and list agreeing.
inline Header headerFor(const QList<int> &channels, qint16 divider = 1, quint8 mode = 0)
{
  Header h;
  h.channelCount = qint8(channels.size());
  h.channelMask = 0;
  for (int c : channels)
    h.channelMask |= quint8(1u << c);
  h.channelList = channels;
  h.divider = divider;
  h.mode = mode;
  return h;
}

inline QByteArray headerBlock(const Header &h)
{
  QByteArray out;
  QDataStream s(&out, QIODevice::WriteOnly);
  s.setByteOrder(QDataStream::LittleEndian);
  s << h.version << h.size << h.channelCount << h.channelMask << h.divider << h.mode;
  for (int i = 0; i < 8; ++i)
    s << quint8(i < h.channelList.size() ? h.channelList.at(i) : 0);
  s << quint8(0) << h.fahrenheit << h.custom;
  for (int i = 0; i < 14; ++i)
    s << quint8(0);
  s << h.channelMask32;
  for (int i = 0; i < 32; ++i)
    s << quint8(i < h.channelList32.size() ? h.channelList32.at(i) : 0);
  for (int i = 76; i < 504; ++i)
    s << quint8(0);
  s << h.creationTime;
  Q_ASSERT(out.size() == 512);
  return out;
}

inline QByteArray doubles(const QList<double> &values)
{
  QByteArray out;
  QDataStream s(&out, QIODevice::WriteOnly);
  s.setByteOrder(QDataStream::LittleEndian);
  s.setFloatingPointPrecision(QDataStream::DoublePrecision);
  for (double v : values)
    s << v;
  return out;
}

// Fourteen doubles (t_end, t_start, min0, max0, avg0, sum0, ... sum2) and the count.
inline QByteArray tail(const QList<double> &fields, qint64 count)
{
  Q_ASSERT(fields.size() == 14);
  QByteArray out = doubles(fields);
  QDataStream s(&out, QIODevice::Append);
  s.setByteOrder(QDataStream::LittleEndian);
  s << count;
  Q_ASSERT(out.size() == 120);
  return out;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace CaptureBytes

#endif // CAPTUREBYTES_H
