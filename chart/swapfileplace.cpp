// Saving a capture under a name of the user's. The capture's working name
// is first moved aside, inside its own folder, to a fresh name made
// exclusively: from then on no other path, spelling or mount of the chosen
// name reaches the capture through the working name, and a chosen name
// that was another view of it is free. The capture then takes the chosen
// name in one rename or, from another file system, a copy made whole
// beside it does. Only a copy's source is ever removed, and only by the
// fresh name, which no chosen name can be. A failure puts the working name
// back: at every step the capture is whole under the working name, the
// fresh name or the chosen name.
#include "swapfile.h"

#include "filecalls.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// One save on its way.
struct SwapFile::Placing
{
  QString working;   // the capture's name before the save
  QString aside;     // where the save moved it; empty: it could not be moved and stays
  QString finalPath; // the end of the chosen name's chain of links
  QString path;      // the name as chosen
  bool replace = false;
  nlink_t links = 1;     // names of the capture's file
  bool replaced = false; // a file had the chosen name when the capture took it
  bool copied = false;   // the chosen name holds a new file, made from `aside`
  bool whole = false;    // `aside` holds the whole capture, not only its start
};

namespace {

constexpr qint64 copyBlockBytes = qint64(1) << 20;
// As the kernel's own limit: a chain of more links leads nowhere.
constexpr int maxLinks = 40;

QByteArray native(const QString &path)
{
  return QFile::encodeName(path);
}

// A file system that does not support the call answers so; the data is
// then as safe as that file system makes it.
bool syncFailed(int result)
{
  return result != 0 && errno != EINVAL && errno != EROFS;
}

// A folder that this user may write but not read cannot be opened to be
// synced: that too is the file system's answer.
bool folderSyncFailed(int result)
{
  return syncFailed(result) && errno != EACCES && errno != EPERM;
}

bool unsupported(int error)
{
  return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// FAT and the like keep no such modes and refuse them; the capture matters
// more than its mode.
bool setMode(int result)
{
  return result == 0 || errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS;
}

QString notOnDisk(int error)
{
  return SwapFile::tr("The disk did not take the file: %1").arg(qt_error_string(error));
}

QString placeFailure(int error)
{
  return error == EEXIST ? SwapFile::tr("A file of that name exists") : qt_error_string(error);
}

// Why a write stopped short. On a full disk Qt answers with a short count
// and no error of its own; the call's errno tells.
QString writeFailure(const QFileDevice *out, int error)
{
  if (error != 0)
    return qt_error_string(error);
  return out->error() != QFileDevice::NoError ? out->errorString() : SwapFile::errorMessage(SwapFile::WriteFailed);
}

QString folderOf(const QString &path)
{
  const int slash = path.lastIndexOf(QLatin1Char('/'));
  return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString nameOf(const QString &path)
{
  return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The name the chain of links at `path` ends at, `path` itself when it is
// no link; a dangling chain ends at the missing name. The refusal's text,
// or an empty one. Not cleaned: ".." after a link means the link target's
// parent, as the kernel takes it.
QString followLinks(const QString &path, QString *end)
{
  QString name = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
  for (int step = 0;; ++step) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(native(name).constData(), target, sizeof target);
    if (length < 0) {
      const int error = errno;
      if (error != EINVAL && error != ENOENT)
        return qt_error_string(error);
      *end = name;
      return QString();
    }
    if (step == maxLinks)
      return SwapFile::tr("The links that lead to that name form a loop or too long a chain");
    if (size_t(length) >= sizeof target)
      return qt_error_string(ENAMETOOLONG);
    const QString next = QFile::decodeName(QByteArray(target, int(length)));
    // A relative target counts from the link's own folder.
    name = QDir::isAbsolutePath(next) ? next : folderOf(name) + QLatin1Char('/') + next;
  }
}

// Where a save to `path` puts the capture: the end of its chain of links.
QString saveTarget(const QString &path, QString *finalPath)
{
  const QString refused = followLinks(path, finalPath);
  if (!refused.isEmpty())
    return refused;
  if (QFileInfo(*finalPath).isDir())
    return SwapFile::tr("A folder of that name exists");
  return QString();
}

// Neither renameat2 nor links (a network share, a FUSE file system): the
// name is claimed by creating it exclusively, which refuses a name in use,
// and `from` then replaces that empty file in one step.
int claimAndRename(const QByteArray &from, const QByteArray &to)
{
  const int fd = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0 || ::close(fd) != 0 || FileCalls::current().rename(from.constData(), to.constData()) != 0) {
    const int error = errno;
    // Only the empty claim goes: a name that was taken stays as it is.
    if (fd >= 0 && FileCalls::current().unlink(to.constData()) != 0)
      qDebug().noquote() << QStringLiteral("Couldn't remove the claimed name ") + QFile::decodeName(to);
    errno = error;
    return -1;
  }
  return 0;
}

// Gives `from` the name `to` unless that name is in use, with what the file
// system offers: renameat2() with RENAME_NOREPLACE; without it a new link,
// which refuses a name in use as well, and then `from` goes: the link made
// `to` a new entry of its own; with no links either, a claim. 0, or -1 with
// errno set (EEXIST: the name is in use).
int renameExclusive(const QByteArray &from, const QByteArray &to)
{
  FileCalls &calls = FileCalls::current();
  if (calls.renameNoReplace(from.constData(), to.constData()) == 0)
    return 0;
  if (!unsupported(errno))
    return -1;
  if (calls.link(from.constData(), to.constData()) == 0) {
    if (calls.unlink(from.constData()) != 0)
      qDebug().noquote() << QStringLiteral("Couldn't remove the first name ") + QFile::decodeName(from);
    return 0;
  }
  if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS)
    return claimAndRename(from, to);
  return -1;
}

// The capture at `from` under the chosen name in one step: with `replace`
// over a file of that name, without it never over anything, not even a
// file that appeared a moment ago.
int place(const QString &from, const QString &to, bool replace)
{
  if (replace)
    return FileCalls::current().rename(native(from).constData(), native(to).constData());
  return renameExclusive(native(from), native(to));
}

// The first short name of `folder` that `make` takes (it answers -1 with
// EEXIST for a name in use), so that it fits wherever the chosen name
// fits; ".tmp", so that the search for unfinished captures finds one a kill
// left in the working folder. Never the chosen name in any spelling: a name
// made here may be removed at the end. Empty, errno set, on any other
// refusal.
template <typename Make>
QString freshName(const QString &folder, const QString &chosen, Make make)
{
  for (int n = 0; n < 10000; ++n) {
    const QString name = QStringLiteral("tovri-saving-%1.tmp").arg(n);
    if (name.compare(nameOf(chosen), Qt::CaseInsensitive) == 0)
      continue;
    const QString path = folder + (folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
    if (make(native(path)) == 0)
      return path;
    if (errno != EEXIST)
      return QString();
  }
  errno = EEXIST;
  return QString();
}

// Moves the working name aside within its folder. The fresh name, or empty
// where the folder refuses (read-only): the working name then stays.
QString moveAside(const QString &working, const QString &chosen)
{
  const QString from = QFileInfo(working).absoluteFilePath();
  return freshName(folderOf(from), chosen, [&](const QByteArray &to) { return renameExclusive(native(from), to); });
}

// A new file beside `chosen` with `mode`, open for writing in `out` (which
// then names no file: `name` does).
QString createBeside(const QString &chosen, mode_t mode, QFile *out, QString *name)
{
  int fd = -1;
  const QString made = freshName(folderOf(chosen), chosen, [&](const QByteArray &path) {
    fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    return fd < 0 ? -1 : 0;
  });
  if (made.isEmpty())
    return qt_error_string(errno);
  // As mv gives it: the capture's own mode, or the mode of the file replaced.
  QString error;
  if (!setMode(FileCalls::current().fchmod(fd, mode)))
    error = qt_error_string(errno);
  else if (!out->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
    error = out->errorString();
  if (!error.isEmpty()) {
    if (!out->isOpen())
      ::close(fd);
    ::unlink(native(made).constData());
    return error;
  }
  *name = made;
  return QString();
}

// The mode the saved capture takes: that of the file it replaces, else its own.
mode_t modeFor(const QString &finalPath, bool replacing, mode_t own)
{
  struct stat old;
  if (replacing && ::stat(native(finalPath).constData(), &old) == 0)
    return old.st_mode & 0777;
  return own & 0777;
}

bool nameInUse(const QString &path)
{
  struct stat st;
  return ::lstat(native(path).constData(), &st) == 0;
}

QString copyBytes(QFileDevice *in, qint64 length, QFileDevice *out)
{
  QByteArray chunk;
  for (qint64 done = 0; done < length;) {
    chunk = in->read(qMin(length - done, copyBlockBytes));
    if (chunk.isEmpty())
      return in->error() != QFileDevice::NoError ? in->errorString() : SwapFile::errorMessage(SwapFile::ReadFailed);
    errno = 0;
    if (out->write(chunk) != chunk.size())
      return writeFailure(out, errno);
    done += chunk.size();
  }
  return QString();
}

// Only ever a name this save made exclusively and never placed.
void removeUnplaced(QFile *out, const QString &name)
{
  out->close();
  if (!name.isEmpty() && FileCalls::current().unlink(native(name).constData()) != 0)
    qDebug().noquote() << QStringLiteral("Couldn't remove ") + name;
}

} // namespace

bool SwapFile::failSave(const QString &path, const QString &text, QString *why)
{
  qDebug().noquote() << QStringLiteral("SwapFile::save ") + path + QStringLiteral(": ") + text;
  if (why)
    *why = text;
  emit swapFileError(SaveFailed);
  return false;
}

// Copies the first `keep` bytes of `in` to `out`, then writes one record per
// sample instant of `maps` and `report` as the tail. The error's text, or an
// empty one.
QString SwapFile::writeFinished(QFileDevice *in, qint64 keep, QFileDevice *out, const QList<PlotDataMap *> &maps,
                                const ReportData &report) const
{
  const QString uncopied = copyBytes(in, keep, out);
  if (!uncopied.isEmpty())
    return uncopied;
  qint64 records = 0;
  errno = 0;
  const int fault =
    maps.isEmpty() ? int(NoError) : encodeRecords(out, maps, header.mode != SwapFileHeader::Logger, &records);
  if (fault == WrongChannels)
    return errorMessage(WrongChannels);
  if (fault != NoError)
    return writeFailure(out, errno);
  uchar bytes[ReportData::byteSize];
  report.toBytes(bytes);
  const qint64 tail = ReportData::byteSize;
  errno = 0;
  if (out->write(reinterpret_cast<const char *>(bytes), tail) != tail || !out->flush())
    return writeFailure(out, errno);
  return QString();
}

// Ends the new file `out`: all of it on the disk, and reading back as a
// capture. The error's text, or an empty one.
QString SwapFile::sealTemporary(QFile *out, const QString &name)
{
  // A write the disk took only in part is no whole capture.
  errno = 0;
  if (!out->flush() || out->size() != out->pos())
    return writeFailure(out, errno);
  if (syncFailed(FileCalls::current().fsync(out->handle())))
    return notOnDisk(errno);
  out->close();
  if (out->error() != QFileDevice::NoError)
    return out->errorString();
  const QString own = file.fileName();
  file.setFileName(name);
  const bool whole = stop();
  file.setFileName(own);
  return whole ? QString() : errorMessage(ReadFailed);
}

// The capture back under its working name from `from`, never over a file
// that took that name meanwhile; where it cannot go back the save says
// where the capture is.
bool SwapFile::putBack(const Placing &p, const QString &from, const QString &error, QString *why)
{
  if (from.isEmpty() || renameExclusive(native(from), native(QFileInfo(p.working).absoluteFilePath())) == 0) {
    file.setFileName(p.working);
    return failSave(p.path, error, why);
  }
  file.setFileName(from);
  return failSave(p.path, tr("%1; the capture is kept in %2").arg(error, QDir::toNativeSeparators(from)), why);
}

// The chosen name onto the disk, then a copy's source goes. A new name the
// disk did not take fails the save and the capture goes back to its
// working name; a copy stays, as no name the capture was just placed at is
// removed. A file that was replaced is gone already: the save stands, told
// as it is.
bool SwapFile::finishSave(const Placing &p, QString *why)
{
  const bool unconfirmed = folderSyncFailed(FileCalls::current().syncFolder(native(folderOf(p.finalPath)).constData()));
  const QString error = unconfirmed ? qt_error_string(errno) : QString();
  if (unconfirmed && !p.replaced)
    return putBack(p, p.copied ? p.aside : p.finalPath, tr("The disk did not take the new name: %1").arg(error), why);
  file.setFileName(p.path);
  if (unconfirmed) {
    // Only a file that holds the whole capture is named.
    const bool kept = p.copied && p.whole && !p.aside.isEmpty();
    const QString told =
      kept ? tr("Saved, but the disk did not confirm the new name (%1); the capture is also kept in %2")
               .arg(error, QDir::toNativeSeparators(p.aside))
           : tr("Saved, but the disk did not confirm the new name (%1)").arg(error);
    qDebug().noquote() << QStringLiteral("SwapFile::save ") + p.path + QStringLiteral(": ") + told;
    if (why)
      *why = told;
    return true;
  }
  if (p.copied && !p.aside.isEmpty() && FileCalls::current().unlink(native(p.aside).constData()) != 0)
    qDebug().noquote() << QStringLiteral("Couldn't remove the working file ") + p.aside;
  return true;
}

// Makes a new file whole beside the chosen name with `write`, then gives it
// that name; the fresh name still holds the capture, or its start.
bool SwapFile::placeNewFile(Placing &p, mode_t own, const std::function<QString(QFileDevice *)> &write, QString *why)
{
  p.replaced = p.replace && nameInUse(p.finalPath);
  QFile out;
  QString made;
  QString error = createBeside(p.finalPath, modeFor(p.finalPath, p.replaced, own), &out, &made);
  if (error.isEmpty())
    error = write(&out);
  if (error.isEmpty())
    error = sealTemporary(&out, made);
  if (error.isEmpty() && place(made, p.finalPath, p.replace) != 0)
    error = placeFailure(errno);
  if (!error.isEmpty()) {
    removeUnplaced(&out, made);
    return putBack(p, p.aside, error, why);
  }
  p.copied = true;
  return finishSave(p, why);
}

// From another file system, through a link or for a file with other names:
// a copy of the capture at `source` takes the chosen name.
bool SwapFile::copyInto(Placing &p, const QString &source, mode_t own, QString *why)
{
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly))
    return putBack(p, p.aside, in.errorString(), why);
  p.whole = true;
  return placeNewFile(p, own, [&in](QFileDevice *out) { return copyBytes(&in, in.size(), out); }, why);
}

// What every save does first: where the chosen name leads, and the capture's
// file open for reading.
bool SwapFile::beginSave(const QString &path, bool replace, Placing *placing, QFile *in, mode_t *own, QString *why)
{
  close();
  Placing &p = *placing;
  p.path = path;
  p.replace = replace;
  p.working = file.fileName();
  const QString refused = saveTarget(p.path, &p.finalPath);
  if (!refused.isEmpty())
    return failSave(p.path, refused, why);
  in->setFileName(p.working);
  if (!in->open(QIODevice::ReadOnly))
    return failSave(p.path, in->errorString(), why);
  struct stat st {};
  if (::fstat(in->handle(), &st) != 0)
    return failSave(p.path, qt_error_string(errno), why);
  *own = st.st_mode;
  p.links = st.st_nlink;
  return true;
}

bool SwapFile::moveTo(const QString &path, bool replace, QString *why)
{
  Placing p;
  QFile in;
  mode_t own = 0;
  if (!beginSave(path, replace, &p, &in, &own, why))
    return false;
  // Its data on the disk before any name of it changes.
  if (syncFailed(FileCalls::current().fsync(in.handle())))
    return failSave(path, notOnDisk(errno), why);
  // Opened through a link, the file it names stays as it is; a file with
  // other names shares its mode with them: both are copied.
  const bool copy = p.links != 1 || QFileInfo(p.working).isSymLink();
  p.aside = moveAside(p.working, p.finalPath);
  if (p.aside.isEmpty() || copy)
    return copyInto(p, p.aside.isEmpty() ? p.working : p.aside, own, why);

  p.replaced = replace && nameInUse(p.finalPath);
  // Through the file still open: whatever the names do meanwhile, it is this file's mode.
  const mode_t mode = modeFor(p.finalPath, p.replaced, own);
  const bool remode = mode != (own & 0777);
  if (remode && !setMode(FileCalls::current().fchmod(in.handle(), mode)))
    return putBack(p, p.aside, qt_error_string(errno), why);
  if (place(p.aside, p.finalPath, replace) == 0)
    return finishSave(p, why);
  const int error = errno;
  if (remode && FileCalls::current().fchmod(in.handle(), own & 0777) != 0)
    qDebug().noquote() << QStringLiteral("Couldn't restore the permissions of ") + p.aside;
  in.close();
  if (error == EXDEV)
    return copyInto(p, p.aside, own, why);
  return putBack(p, p.aside, placeFailure(error), why);
}

bool SwapFile::saveFinished(const QString &path, const QList<PlotDataMap *> &maps, const ReportData &report,
                            bool replace, QString *why)
{
  Placing p;
  QFile in;
  mode_t own = 0;
  if (!beginSave(path, replace, &p, &in, &own, why))
    return false;
  // Only the header block and whole records: nothing of the tail that could
  // not be written may sit between them and the points held.
  const qint64 L = header.recordLength();
  const qint64 body = qMax<qint64>(0, in.size() - headerBlockSize);
  const qint64 keep = in.size() < headerBlockSize ? in.size() : headerBlockSize + body / L * L;
  // `in` reads on under the fresh name, which keeps only the capture's start.
  p.aside = moveAside(p.working, p.finalPath);
  return placeNewFile(
    p, own, [&](QFileDevice *out) { return writeFinished(&in, keep, out, maps, report); }, why);
}
