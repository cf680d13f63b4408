#ifndef HELPERS_H
#define HELPERS_H

// Process-wide state and formatting helpers shared by every part of the program.
class Helpers
{
public:
  // Which power-supply model the main window serves; the application sets
  // them, the device link reads them to pick report layouts and reset messages.
  static bool powerMode;
  static bool powerV2Mode;
};

#endif // HELPERS_H
