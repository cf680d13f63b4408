#ifndef DEVICEMODE_H
#define DEVICEMODE_H

// Which power-supply model the application serves. The application sets the
// flags; the link reads them to pick the report layout and the reset message.
// They live here so that the link needs nothing above it.
struct DeviceMode
{
  static bool powerMode;
  static bool powerV2Mode;

  // Either model: power-supply report layout and reset message.
  static bool powerSupply() { return powerMode || powerV2Mode; }
};

#endif // DEVICEMODE_H
