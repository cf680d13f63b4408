#ifndef FILEFAULTS_H
#define FILEFAULTS_H

#include "filecalls.h"

#include <QByteArray>
#include <QFile>

#include <QDir>
#include <QFileInfo>

#include <QStringList>

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
// renameat2(). The folder itself is an ordinary one.
class CaseBlindFolder
{
public:
  CaseBlindFolder(FileFaults &faults, const QString &folder)
    : m_folder(QFile::encodeName(folder))
  {
    FileCalls &calls = faults.calls();
    const FileCalls real = FileCalls::system();
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

// A second view of a folder, for a user who may mount nothing: `view` is a
// link to the folder, so every name in it reaches the same entry, and the
// calls answer as across two mounts: a rename or link between the view and
// any other place is refused with EXDEV. As a FUSE passthrough (bindfs,
// mergerfs) the view also has no renameat2().
class FolderView
{
public:
  enum Kind { Link, Mount, Fuse };

  FolderView(FileFaults &faults, const QString &view, Kind kind)
    : m_view(QFile::encodeName(view) + '/')
  {
    if (kind == Link)
      return;
    FileCalls &calls = faults.calls();
    const FileCalls real = FileCalls::system();
    const auto across = [this](const char *from, const char *to) { return inView(from) != inView(to); };
    calls.rename = [real, across](const char *from, const char *to) {
      return across(from, to) ? FileFaults::failWith<const char *, const char *>(EXDEV)(from, to) : real.rename(from, to);
    };
    calls.link = [real, across](const char *from, const char *to) {
      return across(from, to) ? FileFaults::failWith<const char *, const char *>(EXDEV)(from, to) : real.link(from, to);
    };
    calls.renameNoReplace = [this, real, across, kind](const char *from, const char *to) {
      if (across(from, to))
        return FileFaults::failWith<const char *, const char *>(EXDEV)(from, to);
      if (kind == Fuse && inView(to))
        return FileFaults::failWith<const char *, const char *>(EINVAL)(from, to);
      return real.renameNoReplace(from, to);
    };
  }

  bool inView(const char *path) const { return QByteArray(path).startsWith(m_view); }

private:
  QByteArray m_view;
};

// The descriptors this process holds open on files of the temporary folder,
// where every test's files lie: a save that fails or falls back must close
// each one it opened. Pipes and event descriptors come and go with the
// framework (a first progress window makes some).
inline int openDescriptors()
{
  const QString fds = QStringLiteral("/proc/self/fd");
  const QString temporary = QDir(QDir::tempPath()).canonicalPath() + QLatin1Char('/');
  int count = 0;
  for (const QString &fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
    count += QFileInfo(fds + QLatin1Char('/') + fd).symLinkTarget().startsWith(temporary);
  return count;
}

// Notes every call a save makes through the seam, as "call arg[ arg]", and
// passes it on to the calls set before it was made; set the faults first.
class CallRecorder
{
public:
  explicit CallRecorder(FileFaults &faults)
  {
    FileCalls &calls = faults.calls();
    const FileCalls before = calls;
    const auto note = [this](const char *call, const char *a, const char *b = nullptr) {
      QString line = QString::fromLatin1(call) + QLatin1Char(' ') + QFile::decodeName(a);
      if (b)
        line += QLatin1Char(' ') + QFile::decodeName(b);
      m_calls.append(line);
    };
    calls.syncFolder = [note, before](const char *f) { return note("syncFolder", f), before.syncFolder(f); };
    calls.unlink = [note, before](const char *p) { return note("unlink", p), before.unlink(p); };
    calls.renameNoReplace = [note, before](const char *a, const char *b) {
      return note("renameNoReplace", a, b), before.renameNoReplace(a, b);
    };
    calls.link = [note, before](const char *a, const char *b) { return note("link", a, b), before.link(a, b); };
    calls.rename = [note, before](const char *a, const char *b) { return note("rename", a, b), before.rename(a, b); };
  }
  CallRecorder(const CallRecorder &) = delete;
  CallRecorder &operator=(const CallRecorder &) = delete;

  QStringList calls() const { return m_calls; }
  // The arguments of each call of that name, in order.
  QStringList argumentsOf(const QString &call) const
  {
    QStringList found;
    for (const QString &line : m_calls) {
      if (line.startsWith(call + QLatin1Char(' ')))
        found.append(line.mid(call.size() + 1));
    }
    return found;
  }

private:
  QStringList m_calls;
};

// The answers of a FUSE pool (mergerfs) to a save: no renameat2(), and a
// new link, or a name a rename gave, has an inode of its own (numbered by
// its path). The calls set before make the link or the rename (and may
// refuse it, as across two mounts).
inline void linksOfTheirOwn(FileFaults &faults)
{
  const FileCalls before = faults.calls();
  // The file at `to` under a new inode: copied beside it, then over it.
  const auto renumbered = [](const char *to) {
    const QByteArray beside = QByteArray(to) + ".renumbered";
    if (!QFile::copy(QFile::decodeName(to), QFile::decodeName(beside)) || ::rename(beside.constData(), to) != 0)
      return FileFaults::failWith<const char *, const char *>(EIO)(to, to);
    return 0;
  };
  faults.calls().renameNoReplace = FileFaults::failWith<const char *, const char *>(EINVAL);
  faults.calls().link = [before, renumbered](const char *from, const char *to) {
    return before.link(from, to) != 0 ? -1 : renumbered(to);
  };
  faults.calls().rename = [before, renumbered](const char *from, const char *to) {
    return before.rename(from, to) != 0 ? -1 : renumbered(to);
  };
}

#endif // FILEFAULTS_H
