// Saving a capture under a name of the user's: the capture is made whole
// beside that name (written, linked or copied), put on the disk, given the
// name in one step and the name put on the disk as well; only then does the
// working name go, and only while it is an entry of its own: a folder
// mounted twice, or a file system that ignores case, can show the capture
// just placed under the working name too. A failure at any step leaves the
// working file and any file of that name as they were, and nothing beside
// them.
#include "swapfile.h"

#include "filecalls.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString notOnDisk(int error)
{
  return SwapFile::tr("The disk did not take the file: %1").arg(qt_error_string(error));
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

QByteArray nameOf(const QString &path)
{
  return native(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

bool nameTaken(const QString &path)
{
  const QFileInfo named(path);
  return named.exists() || named.isSymLink();
}

bool identical(const struct stat &a, const struct stat &b)
{
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool sameFile(const QString &a, const QString &b)
{
  struct stat first, second;
  FileCalls &calls = FileCalls::current();
  return calls.stat(native(a).constData(), &first) == 0 && calls.stat(native(b).constData(), &second) == 0 &&
         identical(first, second);
}

// 1, 0 or -1 as FileCalls::listed.
int listedAs(const QString &path)
{
  return FileCalls::current().listed(native(folderOf(path)).constData(), nameOf(path).constData());
}

// Whether `a` and `b` may name one entry of one folder: the folder reached
// by two paths (mounted twice), or the name spelled two ways on a file
// system that ignores case, whatever inode numbers it reports. Two hard
// links are two entries, one of which may go.
bool maybeSameEntry(const QString &a, const QString &b)
{
  if (a == b)
    return true;
  struct stat st;
  if (FileCalls::current().stat(native(b).constData(), &st) != 0 || !sameFile(folderOf(a), folderOf(b)))
    return false;
  if (nameOf(a) == nameOf(b))
    return true;
  // Both spelled as the folder lists them: two entries.
  if (listedAs(a) == 1 && listedAs(b) == 1)
    return false;
  return sameFile(a, b) || QFile::decodeName(nameOf(a)).compare(QFile::decodeName(nameOf(b)), Qt::CaseInsensitive) == 0;
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

// A name beside `finalPath` that nothing bears yet; the exclusive create
// or link that follows tells when something took it meanwhile.
QString temporaryName(const QString &finalPath)
{
  for (int n = 0;; ++n) {
    const QString name = finalPath + QStringLiteral(".saving~") + QString::number(n);
    struct stat st;
    if (::lstat(native(name).constData(), &st) != 0)
      return name;
  }
}

// Neither renameat2 nor links (a network share, a FUSE file system): the
// name is claimed by creating it exclusively, which refuses a name in use,
// and the capture then replaces that empty file in one step. 0, or -1 with
// errno set.
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

// Gives the whole capture at `temporary` the name `finalPath` in one step:
// with `replace` over a file of that name, without it never over anything,
// not even a file that appeared a moment ago. The error's text, or empty.
QString placeTemporary(const QString &temporary, const QString &finalPath, bool replace)
{
  FileCalls &calls = FileCalls::current();
  const QByteArray from = native(temporary), to = native(finalPath);
  if (replace)
    return calls.rename(from.constData(), to.constData()) == 0 ? QString() : qt_error_string(errno);
  int result = calls.renameNoReplace(from.constData(), to.constData());
  if (result != 0 && (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
    // A file system without it: a new link refuses a name in use as well.
    result = calls.link(from.constData(), to.constData());
    if (result == 0 && calls.unlink(from.constData()) != 0)
      qDebug().noquote() << QStringLiteral("Couldn't remove the second name ") + temporary;
    else if (result != 0 && (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS))
      result = claimAndRename(from, to);
  }
  if (result == 0)
    return QString();
  const int error = errno;
  return error == EEXIST ? SwapFile::tr("A file of that name exists") : qt_error_string(error);
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

void removeTemporary(const QString &temporary)
{
  if (!QFile::remove(temporary))
    qDebug().noquote() << QStringLiteral("Couldn't remove ") + temporary;
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
QString SwapFile::sealTemporary(QFile *out)
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
  file.setFileName(out->fileName());
  const bool whole = stop();
  file.setFileName(own);
  return whole ? QString() : errorMessage(ReadFailed);
}

// A second name beside `finalPath` for the finished capture at `source`,
// its data on the disk: a hard link where `mayLink`, or where none can be
// made (another file system) a copy that reads back as a capture. Nothing
// is left behind on failure.
QString SwapFile::linkOrCopy(const QString &source, const QString &finalPath, bool mayLink, QString *temporary)
{
  FileCalls &calls = FileCalls::current();
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly))
    return in.errorString();
  if (syncFailed(calls.fsync(in.handle())))
    return notOnDisk(errno);
  *temporary = temporaryName(finalPath);
  if (mayLink) {
    if (calls.link(native(source).constData(), native(*temporary).constData()) == 0)
      return QString();
    const int error = errno;
    if (error != EXDEV && error != EPERM && error != EOPNOTSUPP && error != EMLINK)
      return qt_error_string(error);
  }
  QFile out(*temporary);
  if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
    return out.errorString();
  QString unwritten = copyBytes(&in, in.size(), &out);
  if (unwritten.isEmpty())
    unwritten = sealTemporary(&out);
  if (!unwritten.isEmpty()) {
    out.close();
    removeTemporary(*temporary);
  }
  return unwritten;
}

// Puts the whole capture at `temporary` in place at `finalPath` with the
// permissions of the file it replaces, then finishes the move.
bool SwapFile::install(const QString &source, const QString &temporary, const QString &finalPath,
                       const QString &path, bool replace, bool removeSource, QString *why)
{
  const QByteArray name = native(temporary);
  struct stat own {}, old {};
  QString error;
  const bool known = ::stat(name.constData(), &own) == 0;
  const bool replacing = FileCalls::current().stat(native(finalPath).constData(), &old) == 0;
  if (!known)
    error = qt_error_string(errno);
  else if (replacing && (old.st_mode & 0777) != (own.st_mode & 0777) && ::chmod(name.constData(), old.st_mode & 0777))
    error = qt_error_string(errno);
  if (error.isEmpty())
    error = placeTemporary(temporary, finalPath, replace);
  if (!error.isEmpty()) {
    // A hard link shares its permissions with the working file.
    if (known && ::chmod(name.constData(), own.st_mode & 0777) != 0)
      qDebug().noquote() << QStringLiteral("Couldn't restore the permissions of ") + source;
    removeTemporary(temporary);
    return failSave(path, error, why);
  }
  return finishMove(source, finalPath, path, removeSource, replace && replacing, why);
}

// The new name on the disk before the working name goes: a crash must not
// leave the capture under neither. When the disk refuses, the working name
// stays; the save fails unless a file it replaced is gone already, and the
// whole file at the new name stays too.
bool SwapFile::finishMove(const QString &source, const QString &finalPath, const QString &path, bool removeSource,
                          bool replaced, QString *why)
{
  const bool unconfirmed = folderSyncFailed(FileCalls::current().syncFolder(native(folderOf(finalPath)).constData()));
  const QString error = unconfirmed ? qt_error_string(errno) : QString();
  if (unconfirmed && !replaced)
    return failSave(path, tr("The disk did not take the new name: %1").arg(error), why);
  file.setFileName(path);
  if (unconfirmed) {
    // What was at that name is gone: the save stands, told as it is.
    const QString told =
      removeSource ? tr("Saved, but the disk did not confirm the new name (%1); the capture is also kept in %2")
                       .arg(error, QDir::toNativeSeparators(source))
                   : tr("Saved, but the disk did not confirm the new name (%1)").arg(error);
    qDebug().noquote() << QStringLiteral("SwapFile::save ") + path + QStringLiteral(": ") + told;
    if (why)
      *why = told;
    return true;
  }
  // Only while the working name is an entry of its own: where case is
  // ignored it may now be another spelling of the capture just placed.
  if (removeSource && listedAs(source) == 1) {
    if (FileCalls::current().unlink(native(source).constData()) != 0)
      qDebug().noquote() << QStringLiteral("Couldn't remove the working file ") + source;
  } else if (removeSource) {
    qDebug().noquote() << QStringLiteral("Kept the working name, which may be the saved capture: ") + source;
  }
  return true;
}

// Saved under the name it has, reached by another path or spelled another
// way: nothing is copied or removed; at most the spelling changes, in one
// rename.
bool SwapFile::keepInPlace(const QString &entry, const QString &finalPath, const QString &path, QString *why)
{
  FileCalls &calls = FileCalls::current();
  QFile in(entry);
  if (!in.open(QIODevice::ReadOnly))
    return failSave(path, in.errorString(), why);
  if (syncFailed(calls.fsync(in.handle())))
    return failSave(path, notOnDisk(errno), why);
  in.close();
  if (nameOf(entry) != nameOf(finalPath)) {
    // Within the entry's own folder: the other path may be another mount.
    const QByteArray respelled = native(folderOf(entry)) + '/' + nameOf(finalPath);
    if (calls.rename(native(entry).constData(), respelled.constData()) != 0)
      return failSave(path, qt_error_string(errno), why);
    // Either spelling finds the capture: a spelling the disk did not take is no loss.
    if (folderSyncFailed(calls.syncFolder(native(folderOf(entry)).constData())))
      qDebug().noquote() << QStringLiteral("The new spelling may not be on the disk: ") + finalPath;
  }
  file.setFileName(path);
  return true;
}

bool SwapFile::moveTo(const QString &path, bool replace, QString *why)
{
  close();
  const QString source = file.fileName();
  QString finalPath, entry;
  QString refused = saveTarget(path, &finalPath);
  if (refused.isEmpty())
    refused = followLinks(source, &entry);
  if (!refused.isEmpty())
    return failSave(path, refused, why);
  if (maybeSameEntry(entry, finalPath))
    return keepInPlace(entry, finalPath, path, why);
  // Opened through a link: the file it names stays as it is, so the
  // capture is copied rather than given a second name.
  const bool throughLink = QFileInfo(source).isSymLink();
  if (!throughLink && sameFile(entry, finalPath)) {
    // A second name of it, left by a save whose new name did not reach the
    // disk: only the working name goes.
    return finishMove(source, finalPath, path, true, false, why);
  }
  if (!replace && nameTaken(path))
    return failSave(path, tr("A file of that name exists"), why);
  struct stat st;
  // A hard link shares its permissions: a file with other names keeps them.
  const bool mayLink = !throughLink && FileCalls::current().stat(native(entry).constData(), &st) == 0 && st.st_nlink == 1;
  QString temporary;
  const QString unmade = linkOrCopy(entry, finalPath, mayLink, &temporary);
  if (!unmade.isEmpty())
    return failSave(path, unmade, why);
  return install(source, temporary, finalPath, path, replace, true, why);
}

bool SwapFile::saveFinished(const QString &path, const QList<PlotDataMap *> &maps, const ReportData &report,
                            bool replace, QString *why)
{
  close();
  const QString source = file.fileName();
  QString finalPath;
  const QString refused = saveTarget(path, &finalPath);
  if (!refused.isEmpty())
    return failSave(path, refused, why);
  // Its own working file's name: the finished capture takes that entry.
  const bool own = maybeSameEntry(source, finalPath);
  if (!replace && !own && nameTaken(path))
    return failSave(path, tr("A file of that name exists"), why);
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly))
    return failSave(path, in.errorString(), why);
  // Only the header block and whole records: nothing of the tail that could
  // not be written may sit between them and the points held.
  const qint64 L = header.recordLength();
  const qint64 body = qMax<qint64>(0, in.size() - headerBlockSize);
  const qint64 keep = in.size() < headerBlockSize ? in.size() : headerBlockSize + body / L * L;

  QFile out(temporaryName(finalPath));
  if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
    return failSave(path, out.errorString(), why);
  QString unwritten = writeFinished(&in, keep, &out, maps, report);
  if (unwritten.isEmpty())
    unwritten = sealTemporary(&out);
  if (!unwritten.isEmpty()) {
    out.close();
    removeTemporary(out.fileName());
    return failSave(path, unwritten, why);
  }
  return install(source, out.fileName(), finalPath, path, replace || own, !own, why);
}
