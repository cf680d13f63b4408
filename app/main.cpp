#include "appglobals.h"
#include "mainwindow.h"
#include "runguard.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyleFactory>

#include <memory>

int main(int argc, char *argv[])
{
  RunGuard guard(RunGuard::userKey(QString::fromLatin1(App::Key)));
  if (!guard.tryToRun()) {
    QApplication app(argc, argv);
    QMessageBox box(QMessageBox::Warning, QObject::tr("Can't launch"),
                    QObject::tr("Instance of the TOVRI already running. Terminate it please."), QMessageBox::Ok);
    box.exec();
    return 0;
  }

  // The pop-up notice keeps its place in settings of its own, which need
  // an organisation name.
  QCoreApplication::setOrganizationName(QString::fromLatin1(App::Organization));
  QCoreApplication::setApplicationName(QString::fromLatin1(App::Name));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(App::Version));

  QApplication app(argc, argv);
  g_developerMode = developerModeRequested(app.arguments());
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));

  int result = 0;
  {
    auto window = std::make_unique<MainWindow>();
    window->show();
    result = app.exec();
  }
  return result;
}
