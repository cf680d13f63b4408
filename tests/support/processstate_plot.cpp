#include "processstate.h"

// The plotting library keeps no process-wide values.
void resetProcessState() {}
