#include "bootpackets.h"

BootModePacket::BootModePacket()
  : Packet(Descriptor)
{
  set(1, uchar(0xAB));
  set(2, uchar(0x54));
}

BootModePowerPacket::BootModePowerPacket()
  : Packet(uchar(0x01))
{
  set(1, QByteArray("RESET"));
}
