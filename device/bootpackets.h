#ifndef BOOTPACKETS_H
#define BOOTPACKETS_H

#include "packetbase.h"

// Restarts the logger into its bootloader: 9, 0xAB, 0x54.
class BootModePacket : public Packet
{
public:
  using Packet::operator=;
  static constexpr unsigned char Descriptor = 9;
  BootModePacket();
};

// Restarts a power supply into its bootloader: report 1 with "RESET".
class BootModePowerPacket : public Packet
{
public:
  using Packet::operator=;
  BootModePowerPacket();
};

#endif // BOOTPACKETS_H
