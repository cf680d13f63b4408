#ifndef CONTROLPACKETS_H
#define CONTROLPACKETS_H

#include "packetbase.h"

// Starts or stops a capture, descriptor 2: command (byte 1), error of the
// device's answer (3), channel mask (4..5), sample-rate divider in 100 µs
// (6..7), payload type (8), trigger delay in ms (9..10).
class DeviceControl : public Packet
{
public:
  using Packet::operator=;
  static constexpr unsigned char Descriptor = 2;
  enum Command : unsigned char {
    LogGate = 0x08,
    StartEdgeDelay = 0x10,
    StartEdge = 0x20,
    Stop = 0x40,
    Start = 0x80,
  };

  // The command of the capture that runs or ran last.
  static DeviceControl m_currentDeviceControl;

  DeviceControl();
  explicit DeviceControl(const Packet &other);
  DeviceControl(const unsigned char *bytes, int length);

  QString toString() const override;
};

// Status poll and output control, descriptor 6: control bits (byte 1),
// output voltage in mV (3..4), sync delay in ms (5..6).
class StatusControlRequest : public Packet
{
public:
  using Packet::operator=;
  static constexpr unsigned char Descriptor = 6;

  // Set when Apply or Set was sent, cleared once the next answer is applied.
  static bool justRequested;

  StatusControlRequest();
  explicit StatusControlRequest(const Packet &other);
  StatusControlRequest(const unsigned char *bytes, int length);

  virtual int control() const;
  virtual int voltage() const;
  int syncDelay() const { return readU16(5); }
  QString toString() const override;
};

// The device's status answer, descriptor 6: echoed control (byte 1),
// injected (2), status (4), pin state (5), readings of channels #0..#2 and
// Vin as little-endian floats (6, 10, 14, 18), Vout (22..23), power output (24).
class StatusControlResponse : public StatusControlRequest
{
public:
  using StatusControlRequest::operator=;
  // True from a device information message until the next status answer
  // has been handed to the panels.
  static bool firstPacket;

  StatusControlResponse();
  explicit StatusControlResponse(const Packet &other);
  StatusControlResponse(const unsigned char *bytes, int length);

  // channel 0..2 gives that channel's reading, 3 gives Vin.
  float reading(int channel) const { return channel >= 0 && channel <= 3 ? readFloatLE(6 + 4 * channel) : 0.0f; }
  int outputVoltage() const { return readU16(22); }
  QString toString() const override;
};

#endif // CONTROLPACKETS_H
