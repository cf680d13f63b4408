#include "testmain.h"

#include <QApplication>
#include <QStringList>
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
  QApplication app(argc, argv);
  QStringList args = app.arguments();
  QString only;
  if (args.size() > 1 && !args.at(1).startsWith(QLatin1Char('-'))) {
    only = args.takeAt(1);
  }
  int failures = 0;
  int ran = 0;
  for (const auto &entry : TestRegistry::entries()) {
    if (!only.isEmpty() && only != QLatin1String(entry.name))
      continue;
    std::unique_ptr<QObject> test(entry.create());
    failures += QTest::qExec(test.get(), args);
    ++ran;
  }
  if (ran == 0) {
    qWarning("no test class matched");
    return 1;
  }
  return failures == 0 ? 0 : 1;
}
