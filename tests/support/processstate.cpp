#include "processstate.h"

#include "controlpackets.h"
#include "helpers.h"
#include "infopackets.h"

void resetProcessState()
{
  Helpers::powerMode = false;
  Helpers::powerV2Mode = false;
  Helpers::isMeasuring = false;
  Helpers::isUpdating = false;
  Helpers::timeFormat = 1;
  Helpers::inputFilePath.clear();
  ChannelInfo::removeChannels();
  DeviceControl::m_currentDeviceControl = DeviceControl();
  StatusControlRequest::justRequested = false;
  StatusControlResponse::firstPacket = true;
}
