// One start of the window on the settings file under $HOME, for the layout
// test: a damaged stored layout must not bring the start down. It says what
// the window took from the file on stdout, then closes the window, which
// writes the layout back.
#include "downloader.h"
#include "mainwindow.h"
#include "simbus.h"
#include "updater.h"

#include <QApplication>
#include <QSpinBox>
#include <QToolBar>
#include <QUrl>

#include <cstdio>

int main(int argc, char **argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tovri-window-child"));
  // Update checks stay on this machine; no device is on the bus.
  Downloader::setLoopbackHttpAllowed(true);
  Updater::setServerForTesting(QUrl(QStringLiteral("http://127.0.0.1:9")));
  SimBus bus;
  {
    MainWindow window;
    auto *toolBar = window.findChild<QToolBar *>(QStringLiteral("toolBar"));
    const auto *voltage = window.findChild<QSpinBox *>(QStringLiteral("spinBoxOutputVoltage"));
    if (!toolBar || !voltage)
      return 2;
    std::printf("toolbar %d dark %d voltage %d size %d %d\n", int(window.toolBarArea(toolBar)),
                int(window.darkTheme()), voltage->value(), window.width(), window.height());
    std::fflush(stdout);
  }
  return 0;
}
