#include "devicemode.h"

bool DeviceMode::powerMode = false;
bool DeviceMode::powerV2Mode = false;
