#ifndef POWERPACKETS_H
#define POWERPACKETS_H

#include "packetbase.h"

#include <QJsonObject>

// Base of the power supplies' messages: report id 0x07 (byte 0), size
// (byte 1), command (byte 2); the class's block starts at payloadOffset().
class PowerPacket : public Packet
{
public:
  using Packet::operator=;
  static constexpr unsigned char ReportId = 0x07;
  static constexpr unsigned char FullSize = 0x40;
  enum Command : unsigned char {
    LogFinished = 0x08,
    Settings = 0x0A,
    SettingsWrite = 0x0B,
    LiveData = 0x0C,
  };

  PowerPacket();
  explicit PowerPacket(const Packet &other);
  PowerPacket(const unsigned char *bytes, int length);

  int descriptor() const override;
  int size() const override;
  QByteArray toByteArray() const override;
  QString toString() const override;
  virtual void init();

  int payloadOffset() const { return m_offset; }
  // Block byte k of the class's block; 0 outside the image, and writes
  // outside it do nothing.
  unsigned char block(int k) const;
  void setBlock(int k, unsigned char value);

protected:
  void initWith(unsigned char command);
  int m_offset = 3;
};

// The power supply's settings block, command 0x0A; block from byte 3.
class PowerGetPacket : public PowerPacket
{
public:
  using PowerPacket::operator=;
  PowerGetPacket();
  explicit PowerGetPacket(const Packet &other);
  PowerGetPacket(const unsigned char *bytes, int length);

  void init() override;
  QJsonObject toJson() const;
  void fromJson(const QJsonObject &object);
};

// The settings block written back, command 0x0B; block byte 54 is the
// action, 55..58 the clock to set.
class PowerSetPacket : public PowerGetPacket
{
public:
  using PowerGetPacket::operator=;
  static constexpr int ActionByte = 54;

  PowerSetPacket();
  explicit PowerSetPacket(const Packet &other);
  PowerSetPacket(const unsigned char *bytes, int length);

  void init() override;
};

// The supply's live readings and firmware version, command 0x0C; block from
// byte 2. The display flags are set by the packet's user before formatting.
class PowerDataPacket : public PowerPacket
{
public:
  using PowerPacket::operator=;
  PowerDataPacket();
  explicit PowerDataPacket(const Packet &other);
  PowerDataPacket(const unsigned char *bytes, int length);

  void init() override;

  bool celsius() const { return m_celsius; }
  void setCelsius(bool on) { m_celsius = on; }
  bool clock24() const { return m_clock24; }
  void setClock24(bool on) { m_clock24 = on; }
  QString dateFormat() const { return m_dateFormat; }
  void setDateFormat(const QString &format) { m_dateFormat = format; }

  QString version() const;
  QString tin() const;
  QString tout() const;
  QString getData(int code) const;
  // The device clock: block bytes 22..25, seconds since the epoch (signed).
  qint32 clockSeconds() const;

private:
  QString temperature(int blockByte) const;
  quint16 block16(int k) const;

  bool m_celsius = true;
  bool m_clock24 = true;
  QString m_dateFormat;
};

#endif // POWERPACKETS_H
