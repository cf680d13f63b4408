#include "samplepackets.h"

#include <cmath>

// ---- MeasureAll -------------------------------------------------------------

MeasureAll::MeasureAll()
  : Packet(Descriptor)
{
}

MeasureAll::MeasureAll(const Packet &other)
  : Packet(other)
{
}

MeasureAll::MeasureAll(const unsigned char *bytes, int length)
  : Packet(bytes, length)
{
}

double MeasureAll::multiplier(int channel) const
{
  return channel >= 0 && channel < 3 ? m_multiplier[channel] : 1.0;
}

void MeasureAll::setMultiplier(int channel, double value)
{
  if (channel >= 0 && channel < 3)
    m_multiplier[channel] = value;
}

QMap<int, QList<double>> MeasureAll::decode() const
{
  QList<int> present;
  const int bits = data()[5] & 0x07;
  for (int i = 0; i < 16; ++i) {
    if (bits & (1 << i))
      present.append(i);
  }
  QMap<int, QList<double>> result;
  const int step = int(present.size());
  for (int j = 0; j < step; ++j) {
    const ChannelInfo info = ChannelInfo::getChannelInfo(uchar(present.at(j)));
    QList<double> values = decode(j, step, info);
    double factor = 1.0;
    if (info.channel() == 1 || info.channel() == 2)
      factor = std::trunc(m_multiplier[info.channel()]);
    for (double &v : values)
      v *= factor;
    result.insert(present.at(j), values);
  }
  return result;
}

QList<double> MeasureAll::decode(int index, int step, const ChannelInfo &info) const
{
  QList<double> values;
  // Checked before any position is formed, so that no index overflows.
  if (info.descriptor() == 0 || index < 0 || index >= MaxSamples || step <= 0)
    return values;
  // Only whole rows of samples that lie inside the image count, whatever
  // the block claims. k * step stays below MaxSamples, so the sum cannot overflow.
  const int n = qMin(samplesPerChannel(), MaxSamples / step);
  values.reserve(n);
  for (int k = 0; k < n; ++k) {
    const int slot = index + k * step;
    if (slot >= MaxSamples)
      break;
    const int pos = FirstSample + 2 * slot;
    const unsigned char hi = data()[pos];
    const unsigned char lo = data()[pos + 1];
    switch (info.dataType()) {
    case 0: {
      const int v = qint16(quint16((hi << 8) | lo));
      values.append(v < -100 ? -100.0 : double(v));
      break;
    }
    case 1: {
      const int v = (hi << 8) | lo;
      const int exponent = info.minExponent() + (v >> 14);
      values.append((v % 16383) / 16383.0 * (std::pow(10.0, exponent) * info.baseNumber()) * 1000.0);
      break;
    }
    default:
      // Any other type: the first byte is the low byte.
      values.append(double(qint16(quint16((lo << 8) | hi))));
      break;
    }
  }
  return values;
}

QString MeasureAll::toString() const
{
  return QStringLiteral("Index: %1\nStatus: %2 (%3)\nPin State: %4 (%5)\n")
    .arg(counter())
    .arg(uint(status()), 2, 16, QLatin1Char('0'))
    .arg(uint(status()), 8, 2, QLatin1Char('0'))
    .arg(uint(pinState()), 2, 16, QLatin1Char('0'))
    .arg(uint(pinState()), 8, 2, QLatin1Char('0'));
}

// ---- MeasurePower -----------------------------------------------------------

MeasurePower::MeasurePower() = default;

MeasurePower::MeasurePower(const Packet &other)
  : PowerPacket(other)
{
}

MeasurePower::MeasurePower(const unsigned char *bytes, int length)
  : PowerPacket(bytes, length)
{
}

int MeasurePower::sampleWidth(int dataType)
{
  return dataType == 0 || dataType == 1 ? 2 : 1;
}

short MeasurePower::decode(const unsigned char *bytes, int dataType) const
{
  if (!bytes)
    return 0;
  switch (dataType) {
  case 0:
    return short(qint16(quint16((bytes[0] << 8) | bytes[1])));
  case 2:
    return short(qint8(bytes[0]));
  case 3:
    return short(bytes[0]);
  default:
    return 0;
  }
}

QMap<int, QList<double>> MeasurePower::decode(const QList<int> &channels, bool fahrenheit) const
{
  QMap<int, QList<double>> result;
  QList<int> types;
  int rowWidth = 0;
  for (int i = 0; i < channels.size(); ++i) {
    result.insert(i, QList<double>());
    const int type = ChannelInfo::getChannelInfo(uchar(channels.at(i))).dataType();
    types.append(type);
    rowWidth += sampleWidth(type);
  }
  if (rowWidth == 0)
    return result;
  int pos = FirstSample;
  for (int row = 0; row < rows(); ++row) {
    // A row that would run past the image is not decoded, nor any after it.
    if (!inside(pos, rowWidth))
      break;
    for (int i = 0; i < channels.size(); ++i) {
      const short raw = decode(data() + pos, types.at(i));
      pos += sampleWidth(types.at(i));
      const double u = quint16(raw);
      double value;
      switch (channels.at(i)) {
      case 3:
      case 9:
      case 11:
      case 13:
        value = u / 100.0;
        break;
      case 4:
      case 5:
        value = fahrenheit ? 1.8 * raw + 32 : double(raw);
        break;
      case 6:
        value = u;
        break;
      default:
        value = u / 10.0;
        break;
      }
      result[i].append(value);
    }
  }
  return result;
}

QString MeasurePower::toString() const
{
  return QStringLiteral("Index: %1\nSamples: %2\n").arg(counter()).arg(rows());
}
