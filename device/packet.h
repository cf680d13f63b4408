#ifndef PACKET_H
#define PACKET_H

// The whole message set of the device link.
#include "packetbase.h"
#include "infopackets.h"
#include "controlpackets.h"
#include "powerpackets.h"
#include "samplepackets.h"
#include "bootpackets.h"

#endif // PACKET_H
