#ifndef SAMPLEPACKETS_H
#define SAMPLEPACKETS_H

#include "infopackets.h"
#include "powerpackets.h"

#include <QList>
#include <QMap>

// One block of logger samples, descriptor 5: sample counter (bytes 1..3),
// status (4), pin state and channel bits (5), samples per channel n (6),
// interleaved 16-bit samples from byte 7.
class MeasureAll : public Packet
{
public:
  using Packet::operator=;
  static constexpr unsigned char Descriptor = 5;
  static constexpr int FirstSample = 7;
  // 16-bit samples that fit behind the header.
  static constexpr int MaxSamples = (ImageSize - FirstSample) / 2;

  MeasureAll();
  explicit MeasureAll(const Packet &other);
  MeasureAll(const unsigned char *bytes, int length);

  quint32 counter() const { return readU24(1); }
  unsigned char status() const { return data()[4]; }
  unsigned char pinState() const { return data()[5] & 0xF8; }
  int samplesPerChannel() const { return data()[6]; }

  double multiplier(int channel) const;
  void setMultiplier(int channel, double value);

  QMap<int, QList<double>> decode() const;
  QList<double> decode(int index, int step, const ChannelInfo &info) const;
  QString toString() const override;

private:
  double m_multiplier[3] = {1.0, 1.0, 1.0};
};

// One block of a power supply's log samples: report 0x07, size, a log
// command (2), sample counter (3..5), rows r (6), rows of samples from byte 7.
class MeasurePower : public PowerPacket
{
public:
  using PowerPacket::operator=;
  static constexpr int FirstSample = 7;

  MeasurePower();
  explicit MeasurePower(const Packet &other);
  MeasurePower(const unsigned char *bytes, int length);

  quint32 counter() const { return readU24(3); }
  int rows() const { return data()[6]; }

  // Position in the channel list to that channel's values.
  QMap<int, QList<double>> decode(const QList<int> &channels, bool fahrenheit) const;
  // Raw value of one sample by data type; 0 for types without a value.
  short decode(const unsigned char *bytes, int dataType) const;
  // Bytes one sample of the data type takes.
  static int sampleWidth(int dataType);

  QString toString() const override;
};

#endif // SAMPLEPACKETS_H
