#ifndef LINKCHECK_H
#define LINKCHECK_H

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>

// Whether the running test program carries `name` (a piece of a mangled
// symbol such as "7Helpers") in its symbol table or debug information: a
// library linked in for nothing leaves its objects and names behind. Write
// the name with a '|' inside ("7Help|ers"), so that the literal asking for
// it does not put the name itself into the program.
inline bool programContains(QByteArray name, bool *readable)
{
  name.replace('|', QByteArray());
  QFile self(QCoreApplication::applicationFilePath());
  *readable = self.open(QIODevice::ReadOnly);
  if (!*readable)
    return false;
  const uchar *bytes = self.map(0, self.size());
  *readable = bytes != nullptr;
  if (!bytes)
    return false;
  const QByteArray image = QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), qsizetype(self.size()));
  return image.contains(name);
}

#endif // LINKCHECK_H
