#include "processstate.h"

#include "filecalls.h"
#include "helpers.h"
#include "swapfile.h"

void resetProcessState()
{
  resetDeviceState();
  Helpers::isMeasuring = false;
  Helpers::isUpdating = false;
  Helpers::timeFormat = 1;
  Helpers::inputFilePath.clear();
  SwapFile::scanThreads = 0;
  FileCalls::current() = FileCalls::system();
}
