#ifndef INFOPACKETS_H
#define INFOPACKETS_H

#include "packetbase.h"

#include <QJsonObject>
#include <QMap>

// Device identification, descriptor 1: id (byte 1), firmware version (2),
// channel count (3), serial number (4..7), info text (8..63).
class DeviceInfo : public Packet
{
public:
  using Packet::operator=;
  static constexpr unsigned char Descriptor = 1;

  // The connected device's identification or its built-in default; null
  // until a user creates it.
  static DeviceInfo *m_deviceInfo;

  DeviceInfo();
  explicit DeviceInfo(const Packet &other);
  DeviceInfo(const unsigned char *bytes, int length);

  QString version() const;
  QString toString() const override;
  void fromJson(const QJsonObject &object);
};

// Asks the logger for its channel descriptions, descriptor 4.
class ChannelsRequest : public Packet
{
public:
  using Packet::operator=;
  ChannelsRequest();
};

// One channel description, descriptor 4: channel (byte 4), data type (5),
// base number (6), minimum exponent (7), info text "unit,name," (12..59),
// plus the channel's value range and display precision.
class ChannelInfo : public Packet
{
public:
  using Packet::operator=;
  static constexpr unsigned char Descriptor = 4;
  static constexpr int InfoOffset = 12;
  static constexpr int InfoLength = 48;

  // Channel number to the description last stored for it.
  static QMap<unsigned char, ChannelInfo> m_channels;

  ChannelInfo();
  explicit ChannelInfo(const Packet &other);
  ChannelInfo(const unsigned char *bytes, int length);
  ChannelInfo(const ChannelInfo &other) = default;
  ChannelInfo &operator=(const ChannelInfo &other) = default;

  double lower() const { return m_lower; }
  double upper() const { return m_upper; }
  int precision() const { return m_precision; }
  void setLower(double value) { m_lower = value; }
  void setUpper(double value) { m_upper = value; }
  void setPrecision(int value) { m_precision = value; }

  unsigned char channel() const { return data()[4]; }
  unsigned char dataType() const { return data()[5]; }
  unsigned char baseNumber() const { return data()[6]; }
  unsigned char minExponent() const { return data()[7]; }

  QString info() const;
  QString toString() const override;

  static void addChannelInfo(const ChannelInfo &info);
  static ChannelInfo getChannelInfo(unsigned char channel);
  static int channelCount();
  static void removeChannels();
  static void fromJson(const QJsonObject &document);

private:
  double m_lower = 0.0;
  double m_upper = 10000000.0;
  int m_precision = 1;
};

#endif // INFOPACKETS_H
