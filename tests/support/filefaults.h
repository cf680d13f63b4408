#ifndef FILEFAULTS_H
#define FILEFAULTS_H

#include "filecalls.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>

// Makes the disk misbehave at one step of a save. While it lives the test
// sets the members of calls() it means to change; the real calls come back
// when it goes.
class FileFaults
{
public:
  FileFaults() = default;
  ~FileFaults() { FileCalls::current() = FileCalls::system(); }
  FileFaults(const FileFaults &) = delete;
  FileFaults &operator=(const FileFaults &) = delete;

  FileCalls &calls() { return FileCalls::current(); }

  // A call that answers `error` and does nothing.
  template <typename... Args>
  static std::function<int(Args...)> failWith(int error)
  {
    return [error](Args...) {
      errno = error;
      return -1;
    };
  }

  // `call` after another program put a file holding `bytes` at its
  // destination: the moment between a check and the placement.
  static std::function<int(const char *, const char *)> takenFirst(std::function<int(const char *, const char *)> call,
                                                                     const QByteArray &bytes)
  {
    return [call, bytes](const char *from, const char *to) {
      QFile other(QFile::decodeName(to));
      if (other.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        other.write(bytes);
        other.close();
      }
      return call(from, to);
    };
  }
};

#endif // FILEFAULTS_H
