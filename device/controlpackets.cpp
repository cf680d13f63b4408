#include "controlpackets.h"

DeviceControl DeviceControl::m_currentDeviceControl;
bool StatusControlRequest::justRequested = false;
bool StatusControlResponse::firstPacket = true;

namespace {

QString hex2(int value)
{
  return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0'));
}

QString bin8(int value)
{
  return QStringLiteral("%1").arg(value & 0xFF, 8, 2, QLatin1Char('0'));
}

} // namespace

// ---- DeviceControl ----------------------------------------------------------

DeviceControl::DeviceControl()
  : Packet(Descriptor)
{
}

DeviceControl::DeviceControl(const Packet &other)
  : Packet(other)
{
}

DeviceControl::DeviceControl(const unsigned char *bytes, int length)
  : Packet(bytes, length)
{
}

QString DeviceControl::toString() const
{
  return QStringLiteral("\nDescriptor:0x%1\nCommand: %2\nPayload type: %3\nSample rate: %4\nChannels: %5\nTrig Delay: "
                        "%6\nError:%7\n")
    .arg(hex2(descriptor()))
    .arg(uint(data()[1]))
    .arg(uint(data()[8]))
    .arg(uint(readU16(6)))
    .arg(uint(readU16(4)), 8, 2, QLatin1Char('0'))
    .arg(uint(readU16(9)))
    .arg(uint(data()[3]));
}

// ---- StatusControlRequest ---------------------------------------------------

StatusControlRequest::StatusControlRequest()
  : Packet(Descriptor)
{
}

StatusControlRequest::StatusControlRequest(const Packet &other)
  : Packet(other)
{
}

StatusControlRequest::StatusControlRequest(const unsigned char *bytes, int length)
  : Packet(bytes, length)
{
}

int StatusControlRequest::control() const
{
  return data()[1];
}

int StatusControlRequest::voltage() const
{
  return readU16(3);
}

QString StatusControlRequest::toString() const
{
  return QStringLiteral("Descriptor:0x%1\nControl: 0x%2 (%3)\nVoltage:%4\n\n")
    .arg(hex2(descriptor()), hex2(control()), bin8(control()))
    .arg(voltage());
}

// ---- StatusControlResponse --------------------------------------------------

StatusControlResponse::StatusControlResponse() = default;

StatusControlResponse::StatusControlResponse(const Packet &other)
  : StatusControlRequest(other)
{
}

StatusControlResponse::StatusControlResponse(const unsigned char *bytes, int length)
  : StatusControlRequest(bytes, length)
{
}

QString StatusControlResponse::toString() const
{
  const unsigned char *d = data();
  // Placeholders are filled in number order; %14 (injected) appears second.
  return QStringLiteral("Descriptor:0x%1\ninjected:%14\nStatus: 0x%2 (%3)\nPin state: 0x%4 (%5)\n#0: %6\n#1: %7\n#2: "
                        "%8\nVin: %9\nVout: %10\nPower output state: %11 (%12)\nrequest[1]: %13\n")
    .arg(hex2(descriptor()), hex2(d[4]), bin8(d[4]), hex2(d[5]), bin8(d[5]))
    .arg(double(reading(0)), 0, 'f', 8)
    .arg(double(reading(1)), 0, 'f', 4)
    .arg(double(reading(2)), 0, 'f', 4)
    .arg(double(reading(3)), 0, 'f', 4)
    .arg(double(outputVoltage()), 0, 'f', 4)
    .arg(hex2(d[24]), bin8(d[24]), bin8(d[1]))
    .arg(uint(d[2]));
}
