#include "helpers.h"

bool Helpers::powerMode = false;
bool Helpers::powerV2Mode = false;
