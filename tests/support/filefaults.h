#ifndef FILEFAULTS_H
#define FILEFAULTS_H

#include "filecalls.h"

#include <QByteArray>
#include <QFile>

#include <QDir>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

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

// The answers of a file system that ignores case, as exFAT on a USB stick
// gives them, for the names of one folder: a name finds its entry spelled
// any way; a rename over another spelling of an entry replaces that entry
// and gives it the new spelling; there are no hard links and no
// renameat2(). With `ownInodes` each spelling reports an inode number of
// its own, as exFAT through FUSE does. The folder itself is an ordinary
// one: what the save's own checks see goes through FileCalls.
class CaseBlindFolder
{
public:
  CaseBlindFolder(FileFaults &faults, const QString &folder, bool ownInodes)
    : m_folder(QFile::encodeName(folder))
  {
    FileCalls &calls = faults.calls();
    const FileCalls real = FileCalls::system();
    calls.stat = [this, real, ownInodes](const char *path, struct stat *st) {
      const QByteArray entry = entryOf(path);
      const int result = real.stat(entry.constData(), st);
      if (result == 0 && ownInodes && entry != path)
        st->st_ino ^= qHash(QByteArray(path)) | 1u;
      return result;
    };
    calls.unlink = [this, real](const char *path) { return real.unlink(entryOf(path).constData()); };
    calls.rename = [this, real](const char *from, const char *to) {
      const QByteArray source = entryOf(from), target = entryOf(to);
      if (target != to && target != source && real.unlink(target.constData()) != 0)
        return -1;
      return real.rename(source.constData(), to);
    };
    calls.link = FileFaults::failWith<const char *, const char *>(EPERM);
    calls.renameNoReplace = FileFaults::failWith<const char *, const char *>(EINVAL);
  }

  // The entry `path` finds: itself, or in the folder the entry spelled
  // otherwise.
  QByteArray entryOf(const char *path) const
  {
    const QByteArray name(path);
    struct stat st;
    if (!name.startsWith(QByteArray(m_folder + '/')) || ::lstat(path, &st) == 0)
      return name;
    const QString wanted = QFile::decodeName(name.mid(m_folder.size() + 1));
    const QStringList names =
      QDir(QFile::decodeName(m_folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &listed : names) {
      if (listed.compare(wanted, Qt::CaseInsensitive) == 0)
        return m_folder + '/' + QFile::encodeName(listed);
    }
    return name;
  }

private:
  QByteArray m_folder;
};

#endif // FILEFAULTS_H
