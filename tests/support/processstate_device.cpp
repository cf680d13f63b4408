#include "processstate.h"

// The device tests link nothing above the device link.
void resetProcessState()
{
  resetDeviceState();
}
