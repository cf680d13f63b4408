#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

// What the benchmarks share: a home and temp folder of their own, the
// offscreen platform, a count of the window's LOST PACKETS lines, the
// process's memory figures and elapsed milliseconds, the note of a build
// without optimisation and the exit code that tells a missed target.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

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

// kB of a /proc/self/status field ("VmRSS", "VmHWM"), or -1.
inline qint64 statusKb(const char *field)
{
  QFile file(QStringLiteral("/proc/self/status"));
  if (!file.open(QIODevice::ReadOnly))
    return -1;
  const QByteArray key = QByteArray(field) + ':';
  for (const QByteArray &line : file.readAll().split('\n')) {
    if (line.startsWith(key))
      return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
  }
  return -1;
}

// Starts a new peak-RSS (VmHWM) measurement.
inline void resetPeak()
{
  QFile file(QStringLiteral("/proc/self/clear_refs"));
  if (file.open(QIODevice::WriteOnly))
    file.write("5");
}

inline double ms(const QElapsedTimer &timer)
{
  return timer.nsecsElapsed() / 1e6;
}

// Figures of a build without optimisation say little about the program's.
inline void noteBuild(const char *name)
{
#ifndef __OPTIMIZE__
  std::printf("%s: NOTE: built without optimisation; the figures below are not the program's\n", name);
  std::fflush(stdout);
#else
  (void)name;
#endif
}

// Set once any target is missed; the benchmark then exits with 1.
inline bool &anyMissed()
{
  static bool missed = false;
  return missed;
}

// Notes the outcome of one target; returns it.
inline bool met(bool ok)
{
  if (!ok)
    anyMissed() = true;
  return ok;
}

inline int exitCode()
{
  return anyMissed() ? 1 : 0;
}

inline double median(std::vector<double> values)
{
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A figure and its baseline timed in turn, which goes first alternating, so
// that the load of a shared machine weighs on both alike: the best of each.
inline std::pair<double, double> bestOfBoth(int runs, const std::function<double()> &candidate,
                                            const std::function<double()> &baseline)
{
  double a = 1e300, b = 1e300;
  for (int i = 0; i < runs; ++i) {
    if (i % 2) {
      b = std::min(b, baseline());
      a = std::min(a, candidate());
    } else {
      a = std::min(a, candidate());
      b = std::min(b, baseline());
    }
  }
  return {a, b};
}

} // namespace bench

#endif // BENCHSUPPORT_H
