#include "appglobals.h"
#include "commandline.h"
#include "mainwindow.h"
#include "helpers.h"
#include "runguard.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyleFactory>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
#ifdef QT_NO_DEBUG
  muteDebugLines();
#endif

  // The pop-up notice keeps its place in settings of its own, which need
  // an organisation name.
  QCoreApplication::setOrganizationName(QString::fromLatin1(App::Organization));
  QCoreApplication::setApplicationName(QString::fromLatin1(App::Name));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(App::Version));

  // Read before the guard and before any window system: --help and
  // --version must work beside a running copy and without a display.
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
  CommandLine commandLine;
  switch (commandLine.parse(arguments)) {
  case CommandLine::ShowVersion:
    std::fputs(qPrintable(CommandLine::versionText() + QLatin1Char('\n')), stdout);
    return 0;
  case CommandLine::ShowHelp: {
    QCoreApplication app(argc, argv); // names the program in the usage line
    std::fputs(qPrintable(commandLine.helpText()), stdout);
    return 0;
  }
  case CommandLine::Refuse: {
    QCoreApplication app(argc, argv);
    std::fputs(qPrintable(commandLine.errorText() + QLatin1String("\n\n") + commandLine.helpText()), stderr);
    return CommandLine::UsageExitCode;
  }
  case CommandLine::Run:
    break;
  }

  RunGuard guard(RunGuard::userKey(QString::fromLatin1(App::Key)));
  if (!guard.tryToRun()) {
    QApplication app(argc, argv);
    QMessageBox box(QMessageBox::Warning, QObject::tr("Can't launch"),
                    QObject::tr("Instance of the TOVRI already running. Terminate it please."), QMessageBox::Ok);
    box.exec();
    return 0;
  }

  // The window system matches the windows to the installed desktop entry.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(App::DesktopId));

  QApplication app(argc, argv);
  g_developerMode = commandLine.developerMode();
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));

  int result = 0;
  {
    auto window = std::make_unique<MainWindow>();
    window->show();
    result = app.exec();
  }
  return result;
}
