#ifndef TESTMAIN_H
#define TESTMAIN_H

#include <QObject>
#include <QTest>
#include <functional>
#include <vector>

// Waits for state reached through events, timers or threads are generous:
// a loaded machine may take many times as long as an idle one, and a wait
// ends as soon as its state is reached.
constexpr int TestWaitMs = 30000;
#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, TestWaitMs)
#undef QTRY_VERIFY2
#define QTRY_VERIFY2(expr, message) QTRY_VERIFY2_WITH_TIMEOUT(expr, message, TestWaitMs)
#undef QTRY_COMPARE
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT(expr, expected, TestWaitMs)

// Several Qt Test classes share one executable per area; each registers
// itself here and the common main runs them all.
namespace TestRegistry {
using Factory = std::function<QObject *()>;
struct Entry
{
  const char *name;
  Factory create;
};
std::vector<Entry> &entries();
struct Registrar
{
  Registrar(const char *name, Factory create) { entries().push_back({name, std::move(create)}); }
};
} // namespace TestRegistry

#define TOVRI_TEST(Class)                                                                                              \
  static TestRegistry::Registrar registrar_##Class(#Class, [] { return static_cast<QObject *>(new Class); });

#endif // TESTMAIN_H
