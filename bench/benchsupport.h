#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

// What the capture benchmarks share: a home and temp folder of their own,
// the offscreen platform, and a count of the window's LOST PACKETS lines.

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

namespace bench {

inline int &lostLines()
{
  static int count = 0;
  return count;
}

inline QtMessageHandler &previousHandler()
{
  static QtMessageHandler handler = nullptr;
  return handler;
}

// Counts the LOST PACKETS lines; no LOST line is printed, warnings still show.
inline void countLost(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
  if (text.contains(QLatin1String("*** LOST PACKETS")))
    ++lostLines();
  if (text.contains(QLatin1String("*** LOST")))
    return;
  if (type >= QtWarningMsg && previousHandler())
    previousHandler()(type, context, text);
}

inline void countLostLines()
{
  previousHandler() = qInstallMessageHandler(countLost);
}

// Before the application object: settings, working files and the display
// stay away from the user's.
inline void isolate(const QTemporaryDir &home)
{
  qputenv("HOME", QFile::encodeName(home.path()));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
  qputenv("TMPDIR", QFile::encodeName(home.path()));
  qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace bench

#endif // BENCHSUPPORT_H
