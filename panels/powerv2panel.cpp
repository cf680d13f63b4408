#include "powerv2panel.h"

PowerV2Panel::PowerV2Panel(QWidget *parent)
  : PowerPanel(parent)
{
}

void PowerV2Panel::setChannels()
{
  PowerPanel::setChannels();
}
