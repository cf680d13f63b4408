#ifndef POWERV2PANEL_H
#define POWERV2PANEL_H

#include "powerpanel.h"

// The panel of the Power V2 model; its capture headers carry the 32-entry
// channel list, which updateControls picks by Helpers::powerV2Mode.
class PowerV2Panel : public PowerPanel
{
  Q_OBJECT
public:
  explicit PowerV2Panel(QWidget *parent = nullptr);

  void setChannels() override;
};

#endif // POWERV2PANEL_H
