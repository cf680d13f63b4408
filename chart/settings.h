#ifndef SETTINGS_H
#define SETTINGS_H

#include <QSettings>
#include <QString>

// The program's one INI settings file, ~/Quillomar/<application>/<application>.ini.
// Used as a short-lived local: construct, beginGroup, read or write, let it go
// (pending changes are written when it is destroyed).
class Settings : public QSettings
{
public:
  Settings();
  ~Settings() override;

  // The per-user data folder (not created here): the default folder of the
  // save, open, export and import dialogs.
  static QString localDataDir();
  // Absolute path of `fileName` inside localDataDir().
  static QString localDataPath(const QString &fileName);
};

#endif // SETTINGS_H
