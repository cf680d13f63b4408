#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

Settings::Settings()
    : QSettings(localDataPath(QCoreApplication::applicationName() + QStringLiteral(".ini")), QSettings::IniFormat)
{
}

Settings::~Settings() = default;

QString Settings::localDataDir()
{
  const QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  return QDir(home).absoluteFilePath(QStringLiteral("Quillomar/") + QCoreApplication::applicationName());
}

QString Settings::localDataPath(const QString &fileName)
{
  return QDir(localDataDir()).absoluteFilePath(fileName);
}
