#include "filefaults.h"
#include "filesizelimit.h"
#include "processstate.h"
#include "swapfile.h"
#include "testmain.h"

#include <QDir>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every capture here: records 10 ms apart on channels #0 and #1, channel c
// reading c * 100 + k at instant k.
constexpr int kRecords = 60;
// An unfinished capture has this many in its file; the rest are held.
constexpr int kWritten = 20;
const QByteArray kOld(700, 'o');
const QByteArray kOther("another program's file");

void fill(PlotDataMap &map, int channel, int from, int to)
{
  for (int k = from; k < to; ++k)
    map.insert(k / 100.0, PlotData(k / 100.0, channel * 100.0 + k));
}

// A working capture: finished (every record and the tail) for moveTo(), or
// with only its first records in the file and the rest held for
// saveFinished().
struct Working
{
  SwapFile sw;
  PlotDataMap held[2];
  ReportData report;
  QString path;
  QByteArray bytes;
  bool finished = true;

  bool make(const QString &file, bool whole)
  {
    path = file;
    finished = whole;
    report.t_end = (kRecords - 1) / 100.0;
    report.count = kRecords;
    report.min0 = 0, report.max0 = kRecords - 1, report.min1 = 100, report.max1 = 100 + kRecords - 1;
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap};
    const int inFile = finished ? kRecords : kWritten;
    for (int c = 0; c < 2; ++c) {
      fill(*maps[c], c, 0, inFile);
      fill(held[c], c, inFile, kRecords);
    }
    bool ok = sw.create(path) && sw.setLoggerHeader(3, 100) && sw.append(0, -1, maps, true);
    if (!ok)
      qDeleteAll(maps);
    if (finished)
      ok = ok && sw.writeReport(report) && sw.stop();
    sw.close();
    QFile f(path);
    bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    return ok && !bytes.isEmpty();
  }

  bool save(const QString &target, bool replace, QString *why)
  {
    if (finished)
      return sw.moveTo(target, replace, why);
    return sw.saveFinished(target, {&held[0], &held[1]}, report, replace, why);
  }
};

QByteArray bytesOf(const QString &path)
{
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Whether `path` holds the whole capture, read as any saved one.
bool holdsCapture(const QString &path)
{
  QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
  SwapFile back;
  const bool ok = back.loadCapture(path, 100, maps, nullptr) && !back.recovery.recovered &&
                  maps[1]->size() == kRecords && maps[1]->last().value == 100.0 + kRecords - 1 &&
                  back.readReport().count == kRecords;
  qDeleteAll(maps);
  return ok;
}

// Names a save may have left in `folder`.
QStringList leftovers(const QString &folder)
{
  return QDir(folder).entryList({QStringLiteral("*.saving~*")},
                                QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

QString linkText(const QString &path)
{
  char target[4096];
  const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
  return n < 0 ? QString() : QFile::decodeName(QByteArray(target, int(n)));
}

int modeOf(const QString &path)
{
  struct stat st;
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

// Shows the folder `first` at `second` too, as a bind mount does, in a
// mount namespace of this test's own. False where this machine allows none.
bool mountTwice(const QString &first, const QString &second)
{
  static const bool own =
    ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  return own && ::mount(QFile::encodeName(first).constData(), QFile::encodeName(second).constData(), nullptr,
                        MS_BIND, nullptr) == 0;
}

} // namespace

// Putting a saved capture in place, for a finished capture (moveTo) and one
// whose end is still held (saveFinished): never over a file without
// replace, never reported saved unless it reached the disk, and through a
// chain of links to the file it ends at.
class SwapFilePlaceTest : public QObject
{
  Q_OBJECT

private slots:
  void init() { resetProcessState(); }

  void faultAtEachStep_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<bool>("old");    // a file of that name before the save
    QTest::addColumn<QString>("why"); // empty: saved; "Saved, but ...": saved, the working file kept
    QTest::addColumn<bool>("placed"); // a failed save left the whole capture at the name
    const QString io = qt_error_string(EIO), taken = "A file of that name exists";
    const QString full = qt_error_string(EFBIG), unconfirmed = "Saved, but the disk did not confirm the new name";
    for (bool finished : {true, false}) {
      const QByteArray m = finished ? "move: " : "unfinished: ";
      auto row = [&](const char *name) -> QTestData & {
        return QTest::newRow(QByteArray(m + name).constData()) << finished;
      };
      row("sound, replacing") << "" << true << true << "" << false;
      row("sound, new name") << "" << false << false << "" << false;
      row("file sync fails") << "fsync EIO" << true << true << io << false;
      row("file sync unsupported") << "fsync EINVAL" << true << true << "" << false;
      row("file sync on a read-only file system") << "fsync EROFS" << true << true << "" << false;
      row("folder sync fails, new name") << "folder EIO" << false << false << io << true;
      // The old file is gone already: the save stands and says so.
      row("folder sync fails, replacing") << "folder EIO" << true << true << unconfirmed << false;
      row("folder sync unsupported") << "folder EINVAL" << true << true << "" << false;
      row("folder not readable: cannot be opened to sync") << "folder EACCES" << true << true << "" << false;
      row("rename fails") << "rename EIO" << true << true << io << false;
      row("name taken") << "" << false << true << taken << false;
      row("name appears before the placement") << "appears" << false << false << taken << false;
      row("no renameat2: link and unlink") << "no renameat2" << false << false << "" << false;
      row("no renameat2 (ENOSYS)") << "no renameat2 ENOSYS" << false << false << "" << false;
      row("no renameat2, name appears") << "no renameat2, appears" << false << false << taken << false;
      row("no renameat2, no links: name claimed") << "no renameat2, no links" << false << false << "" << false;
      row("no renameat2, no links, name appears")
        << "no renameat2, no links, appears" << false << false << taken << false;
      if (!finished)
        row("disk full") << "full" << true << true << full << false;
      if (finished) {
        row("another file system: copied") << "no link" << true << true << "" << false;
        row("another file system, copy's sync fails") << "no link, copy fsync EIO" << true << true << io << false;
        row("another file system, disk full") << "no link, full" << true << true << full << false;
        row("another file system, name appears") << "no link, appears" << false << false << taken << false;
      }
    }
  }

  void faultAtEachStep()
  {
    QFETCH(bool, finished);
    QFETCH(QString, fault);
    QFETCH(bool, replace);
    QFETCH(bool, old);
    QFETCH(QString, why);
    QFETCH(bool, placed);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("work") && QDir(dir.path()).mkdir("save"));
    const QString target = dir.filePath("save/run.tovri");
    Working w;
    QVERIFY(w.make(dir.filePath("work/Capture 1.tmp"), finished));
    if (old)
      QVERIFY(writeBytes(target, kOld));
    QSignalSpy errors(&w.sw, &SwapFile::swapFileError);

    FileFaults faults;
    FileCalls &calls = faults.calls();
    const FileCalls real = FileCalls::system();
    const QByteArray targetName = QFile::encodeName(target);
    int linksToTarget = 0, fsyncs = 0;
    if (fault.startsWith("fsync "))
      calls.fsync = FileFaults::failWith<int>(fault.endsWith("EIO") ? EIO : fault.endsWith("EROFS") ? EROFS : EINVAL);
    if (fault.startsWith("folder "))
      calls.syncFolder = FileFaults::failWith<const char *>(fault.endsWith("EIO")      ? EIO
                                                            : fault.endsWith("EACCES") ? EACCES
                                                                                       : EINVAL);
    // Past the working file's size: the new file cannot be whole.
    std::optional<FileSizeLimit> limit;
    if (fault.endsWith("full"))
      limit.emplace(w.bytes.size() / 2);
    if (fault == "rename EIO")
      calls.rename = FileFaults::failWith<const char *, const char *>(EIO);
    if (fault.startsWith("no renameat2"))
      calls.renameNoReplace =
        FileFaults::failWith<const char *, const char *>(fault.contains("ENOSYS") ? ENOSYS : EINVAL);
    if (fault.endsWith("appears") && !fault.startsWith("no renameat2"))
      calls.renameNoReplace = FileFaults::takenFirst(real.renameNoReplace, kOther);
    auto link = fault == "no renameat2, appears" ? FileFaults::takenFirst(real.link, kOther) : real.link;
    if (fault.startsWith("no renameat2, no links")) {
      const auto refused = FileFaults::failWith<const char *, const char *>(EPERM);
      link = fault.endsWith("appears") ? FileFaults::takenFirst(refused, kOther) : refused;
    }
    calls.link = [&](const char *from, const char *to) {
      if (targetName != to) { // the working file's second name beside the target
        const int refusal = fault.startsWith("no link") ? EXDEV : fault.contains("no links") ? EPERM : 0;
        return refusal ? FileFaults::failWith<const char *, const char *>(refusal)(from, to) : real.link(from, to);
      }
      ++linksToTarget;
      return link(from, to);
    };
    if (fault == "no link, copy fsync EIO")
      calls.fsync = [&](int fd) { return ++fsyncs == 2 ? FileFaults::failWith<int>(EIO)(fd) : real.fsync(fd); };

    QString told;
    const bool ok = w.save(target, replace, &told);
    limit.reset();
    QCOMPARE(leftovers(dir.filePath("save")), QStringList());
    QCOMPARE(leftovers(dir.filePath("work")), QStringList());
    QCOMPARE(linksToTarget, fault.startsWith("no renameat2") ? 1 : 0);
    if (why.isEmpty() || why.startsWith("Saved")) {
      QVERIFY2(ok, qPrintable(told));
      QVERIFY2(why.isEmpty() ? told.isEmpty() : told.startsWith(why), qPrintable(told));
      QVERIFY(holdsCapture(target));
      if (finished)
        QCOMPARE(bytesOf(target), w.bytes);
      // Until the disk confirms the new name the working file stays.
      QCOMPARE(bytesOf(w.path), why.isEmpty() ? QByteArray() : w.bytes);
      QCOMPARE(w.sw.file.fileName(), target);
      return;
    }
    QVERIFY(!ok);
    QVERIFY2(told.contains(why), qPrintable(told));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::SaveFailed));
    QCOMPARE(bytesOf(w.path), w.bytes);
    QCOMPARE(w.sw.file.fileName(), w.path);
    if (placed)
      QVERIFY(holdsCapture(target)); // whole; only its name may not have reached the disk
    else if (old)
      QCOMPARE(bytesOf(target), kOld);
    else if (fault.endsWith("appears"))
      QCOMPARE(bytesOf(target), kOther);
    else
      QVERIFY(!QFile::exists(target));
  }

  // A save whose new name did not reach the disk can be made again: it
  // ends as any save does.
  void saveAgainAfterTheFolderSyncFailed_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::newRow("move") << true;
    QTest::newRow("unfinished") << false;
  }
  void saveAgainAfterTheFolderSyncFailed()
  {
    QFETCH(bool, finished);
    QTemporaryDir dir;
    const QString target = dir.filePath("run.tovri");
    Working w;
    QVERIFY(w.make(dir.filePath("Capture 1.tmp"), finished));
    {
      FileFaults faults;
      faults.calls().syncFolder = FileFaults::failWith<const char *>(EIO);
      QVERIFY(!w.save(target, true, nullptr));
    }
    QCOMPARE(bytesOf(w.path), w.bytes);
    QVERIFY(w.save(target, true, nullptr));
    QVERIFY(!QFile::exists(w.path));
    QCOMPARE(w.sw.file.fileName(), target);
    QVERIFY(holdsCapture(target));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"run.tovri"});
    // Under the name it has now, with or without replace, nothing moves.
    QVERIFY(w.sw.moveTo(target, false));
    QVERIFY(w.sw.moveTo(target, true));
    QVERIFY(holdsCapture(target));
  }

  // With replace the file a chain of links ends at takes the capture, with
  // its permissions; every link stays a link to where it pointed.
  void replaceThroughLinks_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QStringList>("links"); // "name>target" in save/, in order from the chosen name
    QTest::addColumn<QString>("end");       // the file the chain ends at, in the test folder
    QTest::addColumn<int>("mode");          // of the old file there; 0: none
    QTest::addColumn<QString>("why");       // empty: saved
    for (bool finished : {true, false}) {
      const QByteArray m = finished ? "move: " : "unfinished: ";
      auto row = [&](const char *name) -> QTestData & {
        return QTest::newRow(QByteArray(m + name).constData()) << finished;
      };
      row("plain file, private") << QStringList() << "save/run.tovri" << 0600 << "";
      row("plain file, group-readable") << QStringList() << "save/run.tovri" << 0640 << "";
      row("one link, absolute") << QStringList{"run.tovri>@/data/file.tovri"} << "data/file.tovri" << 0600 << "";
      row("two links, relative") << QStringList{"run.tovri>link2.tovri", "link2.tovri>../data/file.tovri"}
                                 << "data/file.tovri" << 0604 << "";
      row("two links, dangling") << QStringList{"run.tovri>link2.tovri", "link2.tovri>../data/file.tovri"}
                                 << "data/file.tovri" << 0 << "";
      row("links in a loop") << QStringList{"run.tovri>link2.tovri", "link2.tovri>run.tovri"} << "" << 0 << "loop";
    }
  }
  void replaceThroughLinks()
  {
    QFETCH(bool, finished);
    QFETCH(QStringList, links);
    QFETCH(QString, end);
    QFETCH(int, mode);
    QFETCH(QString, why);
    QTemporaryDir dir;
    for (const char *folder : {"work", "save", "data"})
      QVERIFY(QDir(dir.path()).mkdir(folder));
    QMap<QString, QString> made;
    for (QString link : links) {
      link.replace("@", dir.path());
      const QString name = dir.filePath("save/" + link.section('>', 0, 0));
      made[name] = link.section('>', 1);
      QVERIFY(QFile::link(made[name], name));
    }
    const QString endPath = end.isEmpty() ? QString() : dir.filePath(end);
    if (mode) {
      QVERIFY(writeBytes(endPath, kOld));
      QVERIFY(::chmod(QFile::encodeName(endPath).constData(), mode_t(mode)) == 0);
    }
    Working w;
    QVERIFY(w.make(dir.filePath("work/Capture 1.tmp"), finished));
    const QString chosen = dir.filePath("save/run.tovri");

    QString told;
    const bool ok = w.save(chosen, true, &told);
    for (auto it = made.cbegin(); it != made.cend(); ++it) {
      QVERIFY2(QFileInfo(it.key()).isSymLink(), qPrintable(it.key()));
      QCOMPARE(linkText(it.key()), it.value());
    }
    for (const char *folder : {"work", "save", "data"})
      QCOMPARE(leftovers(dir.filePath(folder)), QStringList());
    if (!why.isEmpty()) {
      QVERIFY(!ok);
      QVERIFY2(told.contains(why), qPrintable(told));
      QCOMPARE(bytesOf(w.path), w.bytes);
      return;
    }
    QVERIFY2(ok, qPrintable(told));
    QVERIFY(holdsCapture(endPath));
    QVERIFY(holdsCapture(chosen));
    QVERIFY(!QFile::exists(w.path));
    QCOMPARE(w.sw.file.fileName(), chosen);
    if (mode)
      QCOMPARE(modeOf(endPath), mode);
  }

  // Saved under its own entry reached another way, another spelling where
  // case is ignored or a folder mounted twice: the capture stays whole in
  // its one entry, whatever inode numbers the file system reports.
  void sameEntryReachedAnotherWay_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("view");
    QTest::addColumn<bool>("replace");
    for (bool finished : {true, false}) {
      const QByteArray m = finished ? "move: " : "unfinished: ";
      auto row = [&](const char *name) -> QTestData & {
        return QTest::newRow(QByteArray(m + name).constData()) << finished;
      };
      row("another spelling, exFAT through FUSE") << "own inodes" << true;
      row("another spelling, one inode") << "one inode" << true;
      row("a folder mounted twice") << "mounted twice" << true;
      row("a folder mounted twice, Save all's way") << "mounted twice" << false;
    }
  }
  void sameEntryReachedAnotherWay()
  {
    QFETCH(bool, finished);
    QFETCH(QString, view);
    QFETCH(bool, replace);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("a") && QDir(dir.path()).mkdir("b"));
    const bool twice = view == "mounted twice";
    if (twice && !mountTwice(dir.filePath("a"), dir.filePath("b")))
      QSKIP("This machine cannot mount a folder a second time here");
    const auto unmount = qScopeGuard([&] {
      if (twice)
        ::umount2(QFile::encodeName(dir.filePath("b")).constData(), MNT_DETACH);
    });
    const QString saved = dir.filePath("a/run.tovri");
    Working w;
    QVERIFY(w.make(dir.filePath(twice ? "a/run.tovri" : "a/Run.tovri"), finished));
    FileFaults faults;
    std::optional<CaseBlindFolder> blind;
    if (!twice)
      blind.emplace(faults, dir.filePath("a"), view == "own inodes");
    const QString target = dir.filePath(twice ? "b/run.tovri" : "a/run.tovri");

    QString told;
    QVERIFY2(w.save(target, replace, &told), qPrintable(told));
    QCOMPARE(w.sw.file.fileName(), target);
    // One entry, the capture, spelled as chosen.
    QCOMPARE(QDir(dir.filePath("a")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"run.tovri"});
    QVERIFY(holdsCapture(saved));
    if (finished)
      QCOMPARE(bytesOf(saved), w.bytes);
  }

  // A capture opened through a link, saved elsewhere over a file: the file
  // the link names stays as it was, in its bytes and its mode; the saved
  // name holds a plain copy with the mode of the file it replaced.
  void openedThroughALink_data()
  {
    QTest::addColumn<QString>("target"); // of the link in in/sub/
    QTest::addColumn<bool>("old");
    QTest::newRow("absolute link, replacing") << "@/data/real.tovri" << true;
    QTest::newRow("relative link, replacing") << "../../data/real.tovri" << true;
  }
  void openedThroughALink()
  {
    QFETCH(QString, target);
    QFETCH(bool, old);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("in/sub") && QDir(dir.path()).mkdir("data") && QDir(dir.path()).mkdir("out"));
    const QString real = dir.filePath("data/real.tovri"), link = dir.filePath("in/sub/link.tovri");
    const QString saved = dir.filePath("out/new.tovri");
    Working w;
    QVERIFY(w.make(real, true));
    QVERIFY(::chmod(QFile::encodeName(real).constData(), 0640) == 0);
    QVERIFY(QFile::link(target.replace("@", dir.path()), link));
    if (old) {
      QVERIFY(writeBytes(saved, kOld));
      QVERIFY(::chmod(QFile::encodeName(saved).constData(), 0604) == 0);
    }
    w.sw.file.setFileName(link);

    QString told;
    QVERIFY2(w.sw.moveTo(saved, true, &told), qPrintable(told));
    QVERIFY(!QFileInfo(saved).isSymLink());
    QCOMPARE(bytesOf(saved), w.bytes);
    if (old)
      QCOMPARE(modeOf(saved), 0604);
    QCOMPARE(bytesOf(real), w.bytes);
    QCOMPARE(modeOf(real), 0640);
    // The name opened goes, as any saved capture's working name does.
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(w.sw.file.fileName(), saved);
    QCOMPARE(leftovers(dir.filePath("out")), QStringList());
  }

  // A name beside the target that the save would use for its new file is
  // someone else's: it is left alone and another is taken.
  void temporaryNameInUse_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("dangling"); // a dangling link rather than a file
    QTest::newRow("move, file") << true << false;
    QTest::newRow("move, dangling link") << true << true;
    QTest::newRow("unfinished, file") << false << false;
    QTest::newRow("unfinished, dangling link") << false << true;
  }
  void temporaryNameInUse()
  {
    QFETCH(bool, finished);
    QFETCH(bool, dangling);
    QTemporaryDir dir;
    const QString target = dir.filePath("run.tovri");
    const QString busy = target + ".saving~0";
    if (dangling)
      QVERIFY(QFile::link(dir.filePath("nowhere"), busy));
    else
      QVERIFY(writeBytes(busy, kOther));
    Working w;
    QVERIFY(w.make(dir.filePath("Capture 1.tmp"), finished));
    QVERIFY(w.save(target, false, nullptr));
    QVERIFY(holdsCapture(target));
    QCOMPARE(leftovers(dir.path()), QStringList{"run.tovri.saving~0"});
    if (dangling)
      QCOMPARE(linkText(busy), dir.filePath("nowhere"));
    else
      QCOMPARE(bytesOf(busy), kOther);
  }
};

TOVRI_TEST(SwapFilePlaceTest)
#include "tst_swapfileplace.moc"
