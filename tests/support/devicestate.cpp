#include "processstate.h"

#include "controlpackets.h"
#include "devicemode.h"
#include "infopackets.h"

void resetDeviceState()
{
  DeviceMode::powerMode = false;
  DeviceMode::powerV2Mode = false;
  ChannelInfo::removeChannels();
  DeviceControl::m_currentDeviceControl = DeviceControl();
  StatusControlRequest::justRequested = false;
  StatusControlResponse::firstPacket = true;
}
