#include "processstate.h"
#include "testmain.h"

#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

std::vector<TestRegistry::Entry> &TestRegistry::entries()
{
  static std::vector<Entry> list;
  return list;
}

// Usage: <test> [ClassName] [Qt Test options...]
int main(int argc, char **argv)
{
  // Headless unless the caller asks for a real display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");

  // A home and a temporary folder of our own, made before anything reads
  // them, so that a test run by hand never touches the user's settings.
  QTemporaryDir sandbox;
  if (!sandbox.isValid()) {
    qWarning("cannot create a temporary home: %s", qPrintable(sandbox.errorString()));
    return 1;
  }
  const QString home = sandbox.filePath(QStringLiteral("home"));
  const QString tmp = sandbox.filePath(QStringLiteral("tmp"));
  const QString runtime = sandbox.filePath(QStringLiteral("runtime"));
  for (const QString &dir : {home, tmp, runtime}) {
    if (!QDir().mkpath(dir)) {
      qWarning("cannot create %s", qPrintable(dir));
      return 1;
    }
  }
  QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("HOME", QFile::encodeName(home));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
  qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
  qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
  qputenv("TMPDIR", QFile::encodeName(tmp));

  int failures = 0;
  int ran = 0;
  {
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    QString only;
    if (args.size() > 1 && !args.at(1).startsWith(QLatin1Char('-')))
      only = args.takeAt(1);
    for (const auto &entry : TestRegistry::entries()) {
      if (!only.isEmpty() && only != QLatin1String(entry.name))
        continue;
      resetProcessState();
      std::unique_ptr<QObject> test(entry.create());
      failures += QTest::qExec(test.get(), args);
      ++ran;
    }
    if (ran == 0)
      qWarning("no test class matched");
  }
  if (ran == 0)
    return 1;
  return failures == 0 ? 0 : 1;
}
