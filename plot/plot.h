#ifndef PLOT_H
#define PLOT_H

// The plotting library's single public header.
#include "plotrange.h"
#include "plotdata.h"
#include "plotglobal.h"
#include "plotpainter.h"
#include "plotlayer.h"
#include "plotlayout.h"
#include "plotlayoutgrid.h"
#include "plotlayoutinset.h"
#include "plotmargingroup.h"
#include "plotaxisrect.h"
#include "plotwidget.h"
#include "plotlineending.h"
#include "plotscatterstyle.h"
#include "plotaxis.h"
#include "plotaxispainter.h"
#include "plotgrid.h"
#include "plotplottable.h"
#include "plotgraph.h"
#include "plotcurve.h"
#include "plotstatisticalbox.h"
#include "plotfinancial.h"
#include "plotbars.h"
#include "plotitem.h"
#include "plotitemtext.h"
#include "plotitemline.h"

#endif // PLOT_H
