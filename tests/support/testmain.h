#ifndef TESTMAIN_H
#define TESTMAIN_H

#include <QObject>
#include <functional>
#include <vector>

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
