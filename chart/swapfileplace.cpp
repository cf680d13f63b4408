// Saving a capture under a name of the user's. Within one file system the
// capture's working name is moved aside, inside its own folder, to a fresh
// name made exclusively, and that name then takes the chosen one in one
// rename: from the move on no other path, spelling or mount of the chosen
// name reaches the capture through the working name, and a chosen name
// that was another view of it is free. From another file system a copy is
// made whole beside the chosen name from the file held open, read back
// against what was written, and only then is the working name moved aside
// and the copy placed, while its scratch name still is the copy: through
// the copy the user's name holds the capture. Only a copy's source is ever
// removed, by the fresh name, which no chosen name can be, only while that
// name still names the file the save read from and once the chosen name
// leads to the copy. A failure puts the working name back: at every step
// the capture is whole under the working name, the fresh name or the
// chosen name.
#include "swapfile.h"

#include "filecalls.h"
#include "swapfileprogress.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Which file a name or a descriptor reaches, as far as the file system
// tells; unknown where it cannot say.
struct FileId
{
  dev_t device = 0;
  ino_t inode = 0;
  bool known = false;

  bool operator==(const FileId &other) const
  {
    return known && other.known && device == other.device && inode == other.inode;
  }
  bool operator!=(const FileId &other) const { return !(*this == other); }
};

FileId idOf(const struct stat &st)
{
  return {st.st_dev, st.st_ino, true};
}

// A name a move of the save made, as it was right after the move. A file
// system without renameat2 (mergerfs) may give a new link an inode of its
// own: that name is the save's by having been made, not by its inode.
struct Moved
{
  FileId id;               // what the new name led to right after the move
  bool linked = false;     // made by a link, not by a rename
  bool firstStays = false; // linked, but the first name could not be removed
};

} // namespace

// One save on its way.
struct SwapFile::Placing
{
  QString working;   // the capture's name before the save
  QString aside;     // where the save moved it; empty: not moved (yet), or it could not be
  QString finalPath; // the end of the chosen name's chain of links
  QString path;      // the name as chosen
  bool replace = false;
  nlink_t links = 1;     // names of the capture's file
  FileId held;           // the file the save reads from, held open
  FileId entry;          // the capture's own entry (the working name's: that file, or a link to it)
  FileId placed;         // the chosen name's entry right after the copy took it
  bool ownLink = false;  // the working name is a link the chosen name leads through: it stays
  bool moved = false;    // the working name was moved once: the copy moves no name aside
  bool replaced = false; // a file had the chosen name when the capture took it
  bool copied = false;   // the chosen name holds a new file, made from the file held open
  bool whole = false;    // the file held open is the whole capture, not only its start
  QStringList alsoAt;    // the capture's file is also still under these names after the save
  QStringList leftAlone; // names that no longer led to that file and were left as they are
  SwapFileProgress *progress = nullptr;

  // The capture's entry now at a name the save linked, with the inode it got there.
  void movedTo(const Moved &moved)
  {
    if (moved.linked)
      entry = moved.id;
  }
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

// Another program's file at a name the save uses for its copy.
QString notTheCopy(const QString &name)
{
  return SwapFile::tr("%1 did not lead to the copy and was left as it is").arg(QDir::toNativeSeparators(name));
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
// no link; a dangling chain ends at the missing name. `chain`: every name
// on the way, the first and the last too. The refusal's text,
// or an empty one. Not cleaned: ".." after a link means the link target's
// parent, as the kernel takes it.
QString followLinks(const QString &path, QString *end, QStringList *chain = nullptr)
{
  QString name = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + QLatin1Char('/') + path;
  for (int step = 0;; ++step) {
    if (chain)
      chain->append(name);
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
QString saveTarget(const QString &path, QString *finalPath, QStringList *chain)
{
  const QString refused = followLinks(path, finalPath, chain);
  if (!refused.isEmpty())
    return refused;
  if (QFileInfo(*finalPath).isDir())
    return SwapFile::tr("A folder of that name exists");
  return QString();
}

FileId entryId(const QString &path)
{
  struct stat st;
  return ::lstat(native(path).constData(), &st) == 0 ? idOf(st) : FileId();
}

FileId fileIdAt(const QString &path)
{
  struct stat st;
  return ::stat(native(path).constData(), &st) == 0 ? idOf(st) : FileId();
}

FileId openId(int fd)
{
  struct stat st;
  return ::fstat(fd, &st) == 0 ? idOf(st) : FileId();
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
// errno set (EEXIST: the name is in use). `moved`: what `to` became.
int renameExclusive(const QByteArray &from, const QByteArray &to, Moved *moved = nullptr)
{
  FileCalls &calls = FileCalls::current();
  Moved made;
  int result = calls.renameNoReplace(from.constData(), to.constData());
  if (result != 0 && unsupported(errno)) {
    made.linked = calls.link(from.constData(), to.constData()) == 0;
    if (made.linked) {
      result = 0;
      made.firstStays = calls.unlink(from.constData()) != 0;
      if (made.firstStays)
        qDebug().noquote() << QStringLiteral("Couldn't remove the first name ") + QFile::decodeName(from);
    } else if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS) {
      result = claimAndRename(from, to);
    }
  }
  if (result == 0 && moved)
    *moved = {entryId(QFile::decodeName(to)), made.linked, made.firstStays};
  return result;
}

// The capture at `from` under the chosen name in one step: with `replace`
// over a file of that name, without it never over anything, not even a
// file that appeared a moment ago.
int place(const QString &from, const QString &to, bool replace, Moved *moved)
{
  *moved = Moved();
  if (!replace)
    return renameExclusive(native(from), native(to), moved);
  if (FileCalls::current().rename(native(from).constData(), native(to).constData()) != 0)
    return -1;
  moved->id = entryId(to);
  return 0;
}

// The first short name `prefix` plus a number plus `suffix` in `folder`
// that `make` takes (it answers -1 with EEXIST for a name in use), so that
// it fits wherever the chosen name fits. Never the chosen name in any
// spelling: a name made here may be removed at the end. Empty, errno set,
// on any other refusal.
template <typename Make>
QString freshName(const QString &folder, const QString &chosen, const char *prefix, const char *suffix, Make make)
{
  for (int n = 0; n < 10000; ++n) {
    const QString name = QLatin1String(prefix) + QString::number(n) + QLatin1String(suffix);
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

// Moves the working name aside within its folder, to a ".tmp" name that the
// search for unfinished captures finds should a kill leave one in the
// working folder. The fresh name, or empty where the folder refuses
// (read-only): the working name then stays. `moved.firstStays`: moved, but
// the working name could not be removed and names the capture too.
QString moveAside(const QString &working, const QString &chosen, Moved *moved)
{
  const QString from = QFileInfo(working).absoluteFilePath();
  return freshName(folderOf(from), chosen, "tovri-saving-", ".tmp",
                   [&](const QByteArray &to) { return renameExclusive(native(from), to, moved); });
}

// A new file beside `chosen` with `mode`, open for writing in `out` (which
// then names no file: `name` does, `id` tells its file). Its name says that
// it is an unfinished copy, and ends otherwise than the names that are
// offered as unfinished captures: one a kill left is no capture.
QString createBeside(const QString &chosen, mode_t mode, QFile *out, QString *name, FileId *id)
{
  int fd = -1;
  const QString made = freshName(folderOf(chosen), chosen, "tovri-copying-", ".part", [&](const QByteArray &path) {
    fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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
  *id = openId(fd);
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

} // namespace

// Writes through to a file and takes the digest of every byte the file
// took: the copy is read back against it, with no second pass over the source.
class SwapFile::SummingWriter : public QIODevice
{
public:
  explicit SummingWriter(QFileDevice *file) : m_file(file) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
  QFileDevice *file() const { return m_file; }
  QByteArray digest() const { return m_hash.result(); }
  qint64 length() const { return m_length; }

protected:
  qint64 readData(char *, qint64) override { return -1; }
  qint64 writeData(const char *data, qint64 length) override
  {
    const qint64 written = m_file->write(data, length);
    if (written > 0) {
      m_hash.addData(QByteArrayView(data, written));
      m_length += written;
    }
    return written;
  }

private:
  QFileDevice *m_file;
  QCryptographicHash m_hash{QCryptographicHash::Sha1};
  qint64 m_length = 0;
};

namespace {

// A copy that the user stopped, or that failed.
QString cancelled()
{
  return SwapFile::tr("Saving was cancelled");
}

// Only ever a name this save made exclusively and never placed, and only
// while it is still that file.
void removeUnplaced(QFile *out, const QString &name, const FileId &id)
{
  out->close();
  if (name.isEmpty())
    return;
  if (entryId(name) != id)
    qDebug().noquote() << QStringLiteral("Left alone, no longer the save's own copy: ") + name;
  else if (FileCalls::current().unlink(native(name).constData()) != 0)
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

// Copies `length` bytes of `in`, from its start, to `out`; between blocks
// the user sees how far it got and may stop it. The error's text, or an
// empty one.
QString SwapFile::copyBlocks(QFileDevice *in, qint64 length, SummingWriter *out, SwapFileProgress *progress)
{
  if (!in->seek(0))
    return in->errorString();
  QByteArray chunk;
  for (qint64 done = 0; done < length;) {
    chunk = in->read(qMin(length - done, copyBlockBytes));
    if (chunk.isEmpty())
      return in->error() != QFileDevice::NoError ? in->errorString() : errorMessage(ReadFailed);
    errno = 0;
    if (out->write(chunk) != chunk.size())
      return writeFailure(out->file(), errno);
    done += chunk.size();
    FileCalls::current().copied(done, length);
    if (pollCancel(progress, done, length))
      return cancelled();
  }
  return QString();
}

// Copies the first `keep` bytes of `in` to `out`, then writes one record per
// sample instant of `maps` and `report` as the tail. The error's text, or an
// empty one.
QString SwapFile::writeFinished(QFileDevice *in, qint64 keep, SummingWriter *out, const QList<PlotDataMap *> &maps,
                                const ReportData &report, SwapFileProgress *progress)
{
  const QString uncopied = copyBlocks(in, keep, out, progress);
  if (!uncopied.isEmpty())
    return uncopied;
  qint64 records = 0;
  errno = 0;
  const int fault =
    maps.isEmpty() ? int(NoError) : encodeRecords(out, maps, header.mode != SwapFileHeader::Logger, &records);
  if (fault == WrongChannels)
    return errorMessage(WrongChannels);
  if (fault != NoError)
    return writeFailure(out->file(), errno);
  uchar bytes[ReportData::byteSize];
  report.toBytes(bytes);
  const qint64 tail = ReportData::byteSize;
  errno = 0;
  if (out->write(reinterpret_cast<const char *>(bytes), tail) != tail || !out->file()->flush())
    return writeFailure(out->file(), errno);
  return QString();
}

// Whether the file at `name` holds just what was written to it: read back
// in whole and digested as it was while it was written.
QString SwapFile::readsBack(const QString &name, const SummingWriter &written, SwapFileProgress *progress)
{
  QFile back(name);
  if (!back.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return back.errorString();
  // From the disk rather than from what memory still holds of the writes.
  ::posix_fadvise(back.handle(), 0, 0, POSIX_FADV_DONTNEED);
  if (progress)
    progress->setInfo(tr("Checking the copy..."));
  QCryptographicHash read(QCryptographicHash::Sha1);
  qint64 length = 0;
  QByteArray chunk(int(copyBlockBytes), Qt::Uninitialized);
  for (;;) {
    const qint64 n = back.read(chunk.data(), chunk.size());
    if (n < 0)
      return back.errorString();
    if (n == 0)
      break;
    read.addData(QByteArrayView(chunk.constData(), n));
    length += n;
    if (pollCancel(progress, length, written.length()))
      return cancelled();
  }
  if (length != written.length() || read.result() != written.digest())
    return tr("The copy does not read back as it was written");
  return QString();
}

// Ends the new file `out`: all of it on the disk, reading back as it was
// written and as a capture. The error's text, or an empty one.
QString SwapFile::sealTemporary(QFile *out, const QString &name, const SummingWriter &written,
                                SwapFileProgress *progress)
{
  // A write the disk took only in part is no whole capture.
  errno = 0;
  if (!out->flush() || out->size() != out->pos() || out->pos() != written.length())
    return writeFailure(out, errno);
  if (syncFailed(FileCalls::current().fsync(out->handle())))
    return notOnDisk(errno);
  out->close();
  if (out->error() != QFileDevice::NoError)
    return out->errorString();
  const QString differs = readsBack(name, written, progress);
  if (!differs.isEmpty())
    return differs;
  const QString own = file.fileName();
  file.setFileName(name);
  const bool whole = stop();
  file.setFileName(own);
  return whole ? QString() : errorMessage(ReadFailed);
}

// The capture back under its working name from `from`, never over a file
// that took that name meanwhile, and only while `from` still names the
// capture's file; where it cannot go back the save says where the capture
// is.
bool SwapFile::putBack(const Placing &p, const QString &from, const QString &error, QString *why)
{
  if (!from.isEmpty() && entryId(from) != p.entry) {
    file.setFileName(p.working);
    return failSave(p.path, tr("%1; %2 no longer leads to the capture and was left as it is")
                              .arg(error, QDir::toNativeSeparators(from)),
                    why);
  }
  // The working name never went: the name made aside is only a second one.
  if (!from.isEmpty() && from == p.aside && p.alsoAt.contains(p.working)) {
    if (FileCalls::current().unlink(native(from).constData()) != 0)
      qDebug().noquote() << QStringLiteral("Couldn't remove the second name ") + from;
    file.setFileName(p.working);
    return failSave(p.path, error, why);
  }
  if (from.isEmpty() || renameExclusive(native(from), native(QFileInfo(p.working).absoluteFilePath())) == 0) {
    file.setFileName(p.working);
    return failSave(p.path, error, why);
  }
  file.setFileName(from);
  return failSave(p.path, tr("%1; the capture is kept in %2").arg(error, QDir::toNativeSeparators(from)), why);
}

// What a save that stands tells beyond "Saved": names that still hold the
// capture's file, and names that were left as they are.
void SwapFile::tellSaved(const Placing &p, QString *why) const
{
  QStringList told;
  for (const QString &name : p.alsoAt)
    told << (name == p.working ? tr("the capture is also still at its old name %1")
                               : tr("the capture is also kept in %1"))
              .arg(QDir::toNativeSeparators(name));
  for (const QString &name : p.leftAlone)
    told << tr("%1 no longer led to the capture and was left as it is").arg(QDir::toNativeSeparators(name));
  if (told.isEmpty())
    return;
  const QString text = tr("Saved to %1; %2").arg(QDir::toNativeSeparators(p.path), told.join(QStringLiteral("; ")));
  qDebug().noquote() << QStringLiteral("SwapFile::save ") + p.path + QStringLiteral(": ") + text;
  if (why)
    *why = text;
}

// The chosen name onto the disk, then a copy's source goes, if it still is
// that file. A new name the disk did not take, or a chosen name another
// program's file took from the copy, fails the save and the capture goes
// back to its working name; a copy stays, as no name the capture was just
// placed at is removed. A file that was replaced is gone already: the save
// stands, told as it is.
bool SwapFile::finishSave(Placing &p, QString *why)
{
  const bool unconfirmed = folderSyncFailed(FileCalls::current().syncFolder(native(folderOf(p.finalPath)).constData()));
  const QString error = unconfirmed ? qt_error_string(errno) : QString();
  // The copy's source stays until the chosen name is known to hold the copy.
  if (p.copied && entryId(p.finalPath) != p.placed)
    return putBack(p, p.aside, notTheCopy(p.path), why);
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
  if (p.copied && !p.aside.isEmpty()) {
    if (entryId(p.aside) != p.entry)
      p.leftAlone << p.aside;
    else if (FileCalls::current().unlink(native(p.aside).constData()) != 0)
      p.alsoAt << p.aside;
  }
  tellSaved(p, why);
  return true;
}

// Just before the copy takes the chosen name: the working name aside, if it
// still names the file the copy was made from. A link the chosen name leads
// through stays, as does a name moved aside already.
void SwapFile::moveAsideForCopy(Placing &p)
{
  if (p.ownLink || p.moved || !p.aside.isEmpty())
    return;
  if (entryId(p.working) != p.entry) {
    p.leftAlone << p.working;
    return;
  }
  Moved moved;
  p.aside = moveAside(p.working, p.finalPath, &moved);
  p.moved = !p.aside.isEmpty();
  if (p.moved)
    p.movedTo(moved);
  if (p.aside.isEmpty() || moved.firstStays)
    p.alsoAt << p.working;
}

// Makes a new file whole beside the chosen name with `write`, then gives it
// that name; the working name holds the capture, or its start, until the
// new file is whole on the disk.
bool SwapFile::placeNewFile(Placing &p, mode_t own, const std::function<QString(SummingWriter *)> &write,
                            QString *why)
{
  p.replaced = p.replace && nameInUse(p.finalPath);
  if (p.progress)
    p.progress->setInfo(tr("Copying the capture to %1").arg(QDir::toNativeSeparators(p.path)));
  QFile out;
  QString made;
  FileId madeId;
  QString error = createBeside(p.finalPath, modeFor(p.finalPath, p.replaced, own), &out, &made, &madeId);
  SummingWriter writer(&out);
  if (error.isEmpty()) {
    error = write(&writer);
    if (error.isEmpty())
      error = sealTemporary(&out, made, writer, p.progress);
  }
  // Over the file the link leads to only while it still is the capture's own.
  const bool over = p.replace || (p.ownLink && fileIdAt(p.finalPath) == p.held);
  Moved placed;
  if (error.isEmpty()) {
    moveAsideForCopy(p);
    // Only the copy is placed, not a file another program put at its name.
    if (entryId(made) != madeId)
      error = notTheCopy(made);
    else if (place(made, p.finalPath, over, &placed) != 0)
      error = placeFailure(errno);
  }
  if (!error.isEmpty()) {
    removeUnplaced(&out, made, madeId);
    return putBack(p, p.aside, error, why);
  }
  // The copy under both names: the one the save made is no capture of the user's.
  if (placed.firstStays && entryId(made) == madeId && FileCalls::current().unlink(native(made).constData()) != 0)
    qDebug().noquote() << QStringLiteral("Couldn't remove ") + made;
  // A file system may number a name anew that it moved or linked (mergerfs,
  // FAT): the chosen name is then the copy's only if it reads back as the
  // copy was written.
  p.placed = placed.id == madeId || readsBack(p.finalPath, writer, nullptr).isEmpty() ? placed.id : madeId;
  p.copied = true;
  return finishSave(p, why);
}

// From another file system, through a link or for a file with other names:
// a copy of the file held open takes the chosen name.
bool SwapFile::copyInto(Placing &p, QFile *in, mode_t own, QString *why)
{
  p.whole = true;
  return placeNewFile(
    p, own, [&](SummingWriter *out) { return copyBlocks(in, in->size(), out, p.progress); }, why);
}

// The working name back before a copy, from where the rename put it: the
// user's name is to hold the capture through the copy. False: it stays aside.
bool SwapFile::restoreWorking(Placing &p)
{
  if (entryId(p.aside) != p.entry)
    return false;
  if (p.alsoAt.removeAll(p.working) > 0) {
    // The working name never went: the name made aside is only a second one.
    if (FileCalls::current().unlink(native(p.aside).constData()) != 0)
      return false;
  } else {
    Moved moved;
    if (renameExclusive(native(p.aside), native(QFileInfo(p.working).absoluteFilePath()), &moved) != 0)
      return false;
    p.movedTo(moved);
  }
  p.aside.clear();
  p.moved = false;
  return true;
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
  QStringList chain;
  const QString refused = saveTarget(p.path, &p.finalPath, &chain);
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
  p.held = idOf(st);
  p.entry = entryId(p.working);
  if (QFileInfo(p.working).isSymLink() && fileIdAt(p.finalPath) == p.held) {
    for (const QString &name : std::as_const(chain))
      p.ownLink = p.ownLink || entryId(name) == p.entry;
  }
  return true;
}

bool SwapFile::placeCapture(const QString &path, bool replace, QString *why, SwapFileProgress *progress)
{
  const Operation operation(this);
  Placing p;
  p.progress = progress;
  QFile in;
  mode_t own = 0;
  if (!beginSave(path, replace, &p, &in, &own, why))
    return false;
  // Its data on the disk before any name of it changes.
  if (syncFailed(FileCalls::current().fsync(in.handle())))
    return failSave(path, notOnDisk(errno), why);
  // The link chosen leads to the capture already: nothing moves.
  if (p.ownLink) {
    file.setFileName(p.path);
    return true;
  }
  // Opened through a link, the file it names stays as it is; a file with
  // other names shares its mode with them: both are copied. So is a file
  // whose name another program has taken meanwhile.
  if (p.links != 1 || QFileInfo(p.working).isSymLink() || entryId(p.working) != p.entry)
    return copyInto(p, &in, own, why);
  Moved moved;
  p.aside = moveAside(p.working, p.finalPath, &moved);
  if (p.aside.isEmpty())
    return copyInto(p, &in, own, why);
  p.moved = true;
  p.movedTo(moved);
  if (moved.firstStays)
    p.alsoAt << p.working;

  p.replaced = replace && nameInUse(p.finalPath);
  // Through the file still open: whatever the names do meanwhile, it is this file's mode.
  const mode_t mode = modeFor(p.finalPath, p.replaced, own);
  const bool remode = mode != (own & 0777);
  if (remode && !setMode(FileCalls::current().fchmod(in.handle(), mode)))
    return putBack(p, p.aside, qt_error_string(errno), why);
  // Placed only while the name aside still is the capture's: another
  // program may have taken it meanwhile.
  const bool ours = entryId(p.aside) == p.entry;
  if (ours && place(p.aside, p.finalPath, replace, &moved) == 0) {
    p.movedTo(moved);
    if (moved.firstStays)
      p.alsoAt << p.aside;
    return finishSave(p, why);
  }
  const int error = errno;
  if (remode && FileCalls::current().fchmod(in.handle(), own & 0777) != 0)
    qDebug().noquote() << QStringLiteral("Couldn't restore the permissions of ") + p.aside;
  if (!ours) {
    p.leftAlone << p.aside;
    p.aside.clear();
    return copyInto(p, &in, own, why);
  }
  if (error == EXDEV) {
    // The working name holds the capture again through the copy.
    if (!restoreWorking(p))
      qDebug().noquote() << QStringLiteral("The capture stays aside through the copy: ") + p.aside;
    return copyInto(p, &in, own, why);
  }
  return putBack(p, p.aside, placeFailure(error), why);
}

bool SwapFile::placeFinished(const QString &path, const QList<PlotDataMap *> &maps, const ReportData &report,
                             bool replace, QString *why, SwapFileProgress *progress)
{
  const Operation operation(this);
  Placing p;
  p.progress = progress;
  QFile in;
  mode_t own = 0;
  if (!beginSave(path, replace, &p, &in, &own, why))
    return false;
  // Only the header block and whole records: nothing of the tail that could
  // not be written may sit between them and the points held.
  const qint64 L = header.recordLength();
  const qint64 body = qMax<qint64>(0, in.size() - headerBlockSize);
  const qint64 keep = in.size() < headerBlockSize ? in.size() : headerBlockSize + body / L * L;
  return placeNewFile(
    p, own, [&](SummingWriter *out) { return writeFinished(&in, keep, out, maps, report, p.progress); }, why);
}
