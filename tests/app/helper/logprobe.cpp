// Starts the way a release build of the program does and writes one line
// to each of the debug, info and warning channels.
#include "appglobals.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
  muteDebugLines();
  QCoreApplication app(argc, argv);
  qDebug("probe: debug line");
  qInfo("probe: info line");
  qWarning("probe: warning line");
  return 0;
}
