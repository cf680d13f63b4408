#ifndef PLOT_H
#define PLOT_H

// The plotting library's single public header.
#include "plotrange.h"
#include "plotdata.h"

#endif // PLOT_H
