#ifndef APPGLOBALS_H
#define APPGLOBALS_H

#include <QString>
#include <QStringList>

// Process-wide values of the program's start.
namespace App {
// Fixed key of the single-instance guard (made per user by RunGuard::userKey).
inline constexpr const char *Key = "com.quillomar.olk.tovri";
inline constexpr const char *Organization = "Quillomar";
// Also names the settings file and its folder: never change it lightly.
inline constexpr const char *Name = "Quillomar OLK (Open Logger Kit) Logger";
inline constexpr const char *Version = "2.0.7";
// Names the desktop entry and the AppStream component of the installed program.
inline constexpr const char *DesktopId = "com.quillomar.olk.tovri";
} // namespace App

// Language names shown to the user and the codes of the translation files;
// index i of one list is the language of index i of the other.
extern const QStringList languages;
extern const QStringList languages_small;

// Set by "-developer" on the command line; nothing reads it.
extern bool g_developerMode;

// Turns debug lines off, as release builds run; QT_LOGGING_RULES (or a file
// named by QT_LOGGING_CONF) can still turn them on. Warnings stay.
void muteDebugLines();

#endif // APPGLOBALS_H
