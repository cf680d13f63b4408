#include "filefaults.h"
#include "filesizelimit.h"
#include "processstate.h"
#include "savefixture.h"
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
#include <sys/wait.h>
#include <unistd.h>

using namespace SaveFixture;

namespace {

// Past Qt's write buffer (16 KiB), so that a full disk fails the write
// itself and not only the flush.
constexpr int kLarge = 3000;
// Past one block of a copy, so that a copy takes two.
constexpr int kTwoBlocks = 50000;

// Shows the folder `first` at `second` too, as a bind mount does, in a
// mount namespace of this test's own. False where this machine allows none.
bool mountTwice(const QString &first, const QString &second)
{
  static const bool own =
    ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  return own && ::mount(QFile::encodeName(first).constData(), QFile::encodeName(second).constData(), nullptr,
                        MS_BIND, nullptr) == 0;
}

// Runs the save in a child process that ends, as if killed, just before
// its `step`-th call to the disk, or at the save's end (1). 2: the save
// failed.
int saveKilledAt(Working &w, const QString &root, const QString &way, bool replace, int step)
{
  FileFaults faults;
  FileCalls &calls = faults.calls();
  std::optional<FolderView> otherDisk;
  if (way == "another file system")
    otherDisk.emplace(faults, root + "/save", FolderView::Mount);
  if (way.startsWith("no renameat2")) {
    calls.renameNoReplace = FileFaults::failWith<const char *, const char *>(EINVAL);
    calls.link = FileFaults::failWith<const char *, const char *>(EPERM);
  }
  static int count;
  count = step;
  const auto killed = [] {
    if (count-- == 0)
      ::_exit(0);
  };
  const FileCalls real = calls;
  calls.fsync = [real, killed](int fd) { return killed(), real.fsync(fd); };
  calls.syncFolder = [real, killed](const char *f) { return killed(), real.syncFolder(f); };
  calls.unlink = [real, killed](const char *p) { return killed(), real.unlink(p); };
  calls.renameNoReplace = [real, killed](const char *a, const char *b) { return killed(), real.renameNoReplace(a, b); };
  calls.link = [real, killed](const char *a, const char *b) { return killed(), real.link(a, b); };
  calls.rename = [real, killed](const char *a, const char *b) { return killed(), real.rename(a, b); };
  return w.saveQuietly(root + "/save/run.tovri", replace, nullptr) ? 1 : 2;
}

// Where the whole capture is after a kill: the working name, a name the
// search for unfinished captures finds in the working folder, or the chosen
// name. An unfinished capture is whole in its working file as that file
// was.
QString wholeCaptureIn(const Working &w, const QString &root)
{
  QStringList places{root + "/save/run.tovri"};
  for (const QString &name : QDir(root + "/work").entryList({QStringLiteral("*.tmp")}, QDir::Files))
    places.append(root + "/work/" + name);
  for (const QString &place : places) {
    if (place.startsWith(root + "/work/") ? bytesOf(place) == w.bytes : holdsCapture(place))
      return place;
  }
  return QString();
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
    QTest::addColumn<QString>("why"); // empty: saved; "Saved, but ...": saved, told so
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
      // A moved capture goes back to its working name; a new file stays.
      row("folder sync fails, new name") << "folder EIO" << false << false << io << !finished;
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
      if (!finished) {
        row("disk full, writing the records held") << "full" << true << true << full << false;
        row("the last record cut short") << "cut" << true << true << "" << false;
      }
      row("another file system: copied") << "other fs" << true << true << "" << false;
      row("another file system, new name") << "other fs" << false << false << "" << false;
      if (finished) {
        row("another file system, copy's sync fails") << "other fs, copy fsync EIO" << true << true << io << false;
        row("another file system, Close") << "other fs, closed" << true << true << "Saving was cancelled" << false;
        // What the chart and the calculator read in the same moment keeps the Close.
        row("another file system, Close and a window read")
          << "other fs, window read, closed" << true << true << "Saving was cancelled" << false;
        row("another file system, Close and the statistics")
          << "other fs, statistics, closed" << true << true << "Saving was cancelled" << false;
      }
      row("another file system, disk full") << "other fs, full" << true << true << full << false;
      row("another file system, name appears") << "other fs, appears" << false << false << taken << false;
      row("another file system, folder sync fails, new name")
        << "other fs, folder EIO" << false << false << io << true;
      row("another file system, folder sync fails, replacing")
        << "other fs, folder EIO" << true << true << unconfirmed << false;
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
    const bool large = fault.endsWith("full");
    const bool closed = fault.endsWith("closed");
    QVERIFY(w.make(dir.filePath("work/Capture 1.tmp"), finished, large ? kLarge : closed ? kTwoBlocks : kRecords));
    // A kill in the middle of an append leaves part of a record.
    if (fault == "cut")
      QVERIFY(writeBytes(w.path, w.bytes + QByteArray(5, '\1')));
    if (old)
      QVERIFY(writeBytes(target, kOld));
    QSignalSpy errors(&w.sw, &SwapFile::swapFileError);

    FileFaults faults;
    std::optional<FolderView> otherDisk;
    if (fault.startsWith("other fs"))
      otherDisk.emplace(faults, dir.filePath("save"), FolderView::Mount);
    FileCalls &calls = faults.calls();
    const FileCalls real = calls;
    const QByteArray targetName = QFile::encodeName(target);
    int linksToTarget = 0, fsyncs = 0, blocks = 0;
    if (fault.startsWith("fsync "))
      calls.fsync = FileFaults::failWith<int>(fault.endsWith("EIO") ? EIO : fault.endsWith("EROFS") ? EROFS : EINVAL);
    if (fault.contains("folder "))
      calls.syncFolder = FileFaults::failWith<const char *>(fault.endsWith("EIO")      ? EIO
                                                            : fault.endsWith("EACCES") ? EACCES
                                                                                       : EINVAL);
    // Past the size of the file the save reads from: the new file cannot be whole.
    std::optional<FileSizeLimit> limit;
    if (large)
      limit.emplace(finished ? w.bytes.size() / 2 : w.bytes.size());
    if (fault == "rename EIO")
      calls.rename = FileFaults::failWith<const char *, const char *>(EIO);
    if (fault.startsWith("no renameat2"))
      calls.renameNoReplace =
        FileFaults::failWith<const char *, const char *>(fault.contains("ENOSYS") ? ENOSYS : EINVAL);
    // Another program takes the chosen name just before the capture would.
    const auto takenAtTarget = [&](std::function<int(const char *, const char *)> call) {
      return [call, taken = FileFaults::takenFirst(call, kOther), targetName](const char *from, const char *to) {
        return targetName == to ? taken(from, to) : call(from, to);
      };
    };
    if (fault.endsWith("appears") && !fault.startsWith("no renameat2"))
      calls.renameNoReplace = takenAtTarget(real.renameNoReplace);
    std::function<int(const char *, const char *)> link = real.link;
    if (fault.startsWith("no renameat2, no links"))
      link = FileFaults::failWith<const char *, const char *>(EPERM);
    if (fault.startsWith("no renameat2") && fault.endsWith("appears"))
      link = takenAtTarget(link);
    calls.link = [&, link](const char *from, const char *to) {
      linksToTarget += targetName == to;
      return link(from, to);
    };
    // Close, as the progress window's button does, at the copy's first block.
    calls.copied = [&](qint64, qint64) {
      if (++blocks != 1 || !closed)
        return;
      w.sw.terminate();
      PlotDataMap a, b, c;
      if (fault.contains("window read"))
        QVERIFY(w.sw.readRange(0.05, 0.1, {&a, &b, &c}));
      if (fault.contains("statistics"))
        w.sw.readReport();
    };
    if (fault == "other fs, copy fsync EIO")
      calls.fsync = [&](int fd) { return ++fsyncs == 2 ? FileFaults::failWith<int>(EIO)(fd) : real.fsync(fd); };

    QString told;
    const bool ok = w.save(target, replace, &told);
    limit.reset();
    if (closed)
      QCOMPARE(blocks, 1);
    QCOMPARE(leftovers(dir.filePath("save")), QStringList());
    QCOMPARE(linksToTarget, fault.startsWith("no renameat2") ? 1 : 0);
    if (why.isEmpty() || why.startsWith("Saved")) {
      QVERIFY2(ok, qPrintable(told));
      QVERIFY2(why.isEmpty() ? told.isEmpty() : told.startsWith(why), qPrintable(told));
      QVERIFY(holdsCapture(target, w.records));
      if (finished)
        QCOMPARE(bytesOf(target), w.bytes);
      QVERIFY(!QFile::exists(w.path));
      QCOMPARE(w.sw.file.fileName(), target);
      // Until the disk confirms the new name, a copy's source stays, and is
      // named; the start of an unfinished capture stays too, never named as
      // the capture.
      const QStringList kept = leftovers(dir.filePath("work"));
      QCOMPARE(kept.size(), why.isEmpty() || !(otherDisk || !finished) ? 0 : 1);
      const bool named = told.contains("also kept");
      QCOMPARE(named, finished && !kept.isEmpty());
      if (named) {
        QVERIFY2(told.endsWith(dir.filePath("work/" + kept.first())), qPrintable(told));
        QCOMPARE(bytesOf(dir.filePath("work/" + kept.first())), w.bytes);
      }
      return;
    }
    QVERIFY(!ok);
    QVERIFY2(told.contains(why), qPrintable(told));
    QVERIFY2(!told.contains("kept in"), qPrintable(told));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::SaveFailed));
    QCOMPARE(bytesOf(w.path), w.bytes);
    QCOMPARE(w.sw.file.fileName(), w.path);
    QCOMPARE(leftovers(dir.filePath("work")), QStringList());
    if (placed)
      QVERIFY(holdsCapture(target, w.records)); // whole; only its name may not have reached the disk
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

  // Saved under its own name reached another way: another spelling where
  // case is ignored, a folder seen through a link, mounted twice or through
  // a FUSE passthrough, either way round. The capture stays whole in its
  // one entry, spelled as chosen, whatever the file system reports.
  void aliasesOfTheCapture_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("view");
    QTest::addColumn<bool>("fromView"); // the capture opened through the second view
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("name"); // the file name in both views
    for (bool finished : {true, false}) {
      const QByteArray m = finished ? "move: " : "unfinished: ";
      for (bool replace : {true, false}) {
        const QByteArray r = replace ? "" : ", Save all's way";
        auto row = [&](const char *name) -> QTestData & {
          return QTest::newRow(QByteArray(m + name + r).constData()) << finished;
        };
        row("another spelling, exFAT") << "spelling" << false << replace << "run.tovri";
        row("a folder seen through a link") << "link" << false << replace << "run.tovri";
        row("a folder seen through a link, opened there") << "link" << true << replace << "run.tovri";
        row("a second mount of the folder") << "mount" << false << replace << "run.tovri";
        row("a second mount of the folder, opened there") << "mount" << true << replace << "run.tovri";
        row("a FUSE view of the folder") << "fuse" << false << replace << "run.tovri";
        row("a FUSE view of the folder, opened there") << "fuse" << true << replace << "run.tovri";
        row("a folder mounted twice") << "mounted twice" << false << replace << "run.tovri";
        // As a name the save itself uses for a while.
        row("a second mount, the capture's name like a save's own")
          << "mount" << false << replace << "tovri-saving-0.tmp";
      }
    }
  }
  void aliasesOfTheCapture()
  {
    QFETCH(bool, finished);
    QFETCH(QString, view);
    QFETCH(bool, fromView);
    QFETCH(bool, replace);
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("data"));
    const QString data = dir.filePath("data"), second = dir.filePath("view");
    const bool twice = view == "mounted twice", spelling = view == "spelling";
    if (twice && !(QDir(dir.path()).mkdir("view") && mountTwice(data, second)))
      QSKIP("This machine cannot mount a folder a second time here; the simulated mounts stand in");
    const auto unmount = qScopeGuard([&] {
      if (twice)
        ::umount2(QFile::encodeName(second).constData(), MNT_DETACH);
    });
    if (!twice && !spelling)
      QVERIFY(QFile::link(data, second));
    Working w;
    const QString opened = spelling ? data + "/Run.tovri" : QString((fromView ? second : data) + "/" + name);
    QVERIFY(w.make(opened, finished));
    FileFaults faults;
    std::optional<CaseBlindFolder> blind;
    std::optional<FolderView> shown;
    if (spelling)
      blind.emplace(faults, data);
    else if (!twice)
      shown.emplace(faults, second, view == "link" ? FolderView::Link : view == "mount" ? FolderView::Mount
                                                                                         : FolderView::Fuse);
    const QString target = spelling ? data + "/run.tovri" : QString((fromView ? data : second) + "/" + name);

    QString told;
    QVERIFY2(w.save(target, replace, &told), qPrintable(told));
    QCOMPARE(w.sw.file.fileName(), target);
    QCOMPARE(entries(data), QStringList{name});
    QVERIFY(holdsCapture(data + "/" + name));
    if (finished)
      QCOMPARE(bytesOf(data + "/" + name), w.bytes);
  }

  // With replace off nothing is replaced, whatever a name looks like: on a
  // disk that tells case apart, in a folder that may be written but not
  // listed, another capture spelled otherwise stays as it is.
  void replaceOffReplacesNothing_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::newRow("move") << true;
    QTest::newRow("unfinished") << false;
  }
  void replaceOffReplacesNothing()
  {
    QFETCH(bool, finished);
    QTemporaryDir dir;
    const QString folder = dir.filePath("drop"), other = folder + "/run.tovri";
    QVERIFY(QDir(dir.path()).mkdir("drop"));
    Working w;
    QVERIFY(w.make(folder + "/Run.tovri", finished));
    QVERIFY(writeBytes(other, kOther));
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0300) == 0);
    const auto restore = qScopeGuard([&] { ::chmod(QFile::encodeName(folder).constData(), 0700); });

    QString told;
    QVERIFY(!w.save(other, false, &told));
    QVERIFY2(told.contains("A file of that name exists"), qPrintable(told));
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    QCOMPARE(bytesOf(other), kOther);
    QCOMPARE(bytesOf(w.path), w.bytes);
    QCOMPARE(w.sw.file.fileName(), w.path);
    QCOMPARE(entries(folder), (QStringList{"Run.tovri", "run.tovri"}));
  }

  // The saved file has the mode of the file it replaces, else the
  // capture's own, as mv gives it, whether the capture is renamed or
  // copied; a file with other names is copied, and they keep theirs.
  void savedFileMode_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("way"); // "rename", "other fs", "hard link", "link"
    QTest::addColumn<int>("old");     // mode of a file at the chosen name; 0: none
    for (int old : {0, 0604}) {
      const QByteArray o = old ? ", replacing" : ", new name";
      QTest::newRow(QByteArray("renamed" + o).constData()) << true << "rename" << old;
      QTest::newRow(QByteArray("copied from another file system" + o).constData()) << true << "other fs" << old;
      QTest::newRow(QByteArray("copied, other hard links" + o).constData()) << true << "hard link" << old;
      QTest::newRow(QByteArray("copied, opened through a link" + o).constData()) << true << "link" << old;
      QTest::newRow(QByteArray("unfinished" + o).constData()) << false << "rename" << old;
      QTest::newRow(QByteArray("unfinished, another file system" + o).constData()) << false << "other fs" << old;
    }
    // FAT or a FUSE file system: the capture matters more than its mode.
    for (const char *way : {"rename", "other fs"}) {
      QTest::newRow(qPrintable(QString("modes refused, %1").arg(way))) << true << QString("no modes, ") + way << 0604;
      QTest::newRow(qPrintable(QString("modes refused, unfinished, %1").arg(way)))
        << false << QString("no modes, ") + way << 0604;
    }
  }
  void savedFileMode()
  {
    QFETCH(bool, finished);
    QFETCH(QString, way);
    QFETCH(int, old);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("work") && QDir(dir.path()).mkdir("save"));
    const QString target = dir.filePath("save/run.tovri"), real = dir.filePath("work/real.tovri");
    const QString second = dir.filePath("work/second.tovri");
    Working w;
    QVERIFY(w.make(way == "link" ? real : dir.filePath("work/Capture 1.tmp"), finished));
    QVERIFY(::chmod(QFile::encodeName(w.path).constData(), 0640) == 0);
    if (way == "hard link")
      QVERIFY(::link(QFile::encodeName(w.path).constData(), QFile::encodeName(second).constData()) == 0);
    if (way == "link") {
      QVERIFY(QFile::link(real, dir.filePath("work/opened.tovri")));
      w.sw.file.setFileName(dir.filePath("work/opened.tovri"));
    }
    if (old) {
      QVERIFY(writeBytes(target, kOld));
      QVERIFY(::chmod(QFile::encodeName(target).constData(), mode_t(old)) == 0);
    }
    FileFaults faults;
    std::optional<FolderView> otherDisk;
    if (way.endsWith("other fs"))
      otherDisk.emplace(faults, dir.filePath("save"), FolderView::Mount);
    const bool modeless = way.startsWith("no modes");
    int refused = 0;
    if (modeless)
      faults.calls().fchmod = [&](int, mode_t) { return ++refused, FileFaults::failWith<int>(ENOSYS)(0); };

    QString told;
    QVERIFY2(w.save(target, true, &told), qPrintable(told));
    QVERIFY(holdsCapture(target));
    QCOMPARE(refused > 0, modeless);
    if (!modeless)
      QCOMPARE(modeOf(target), old ? old : 0640);
    QCOMPARE(leftovers(dir.filePath("work")), QStringList());
    QCOMPARE(leftovers(dir.filePath("save")), QStringList());
    if (way == "hard link") {
      QCOMPARE(modeOf(second), 0640);
      QCOMPARE(bytesOf(second), w.bytes);
      QVERIFY(!QFile::exists(w.path));
    }
    if (way == "link") {
      QCOMPARE(modeOf(real), 0640);
      QCOMPARE(bytesOf(real), w.bytes);
    }
  }

  // Saved over a hard link of itself, or under the file name it has in
  // another folder: the capture takes the name, and whatever was there
  // before is gone.
  void nameItAlreadyBears_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("hardLink"); // else the same file name in another folder, over an old file
    for (bool finished : {true, false}) {
      const QByteArray m = finished ? "move: " : "unfinished: ";
      QTest::newRow(QByteArray(m + "over a hard link of itself").constData()) << finished << true;
      QTest::newRow(QByteArray(m + "its file name in another folder").constData()) << finished << false;
    }
  }
  void nameItAlreadyBears()
  {
    QFETCH(bool, finished);
    QFETCH(bool, hardLink);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("a") && QDir(dir.path()).mkdir("b"));
    const QString target = dir.filePath(hardLink ? "a/copy.tovri" : "b/run.tovri");
    Working w;
    QVERIFY(w.make(dir.filePath("a/run.tovri"), finished));
    if (hardLink)
      QVERIFY(::link(QFile::encodeName(w.path).constData(), QFile::encodeName(target).constData()) == 0);
    else
      QVERIFY(writeBytes(target, kOld));

    QString told;
    QVERIFY2(w.save(target, true, &told), qPrintable(told));
    QVERIFY(told.isEmpty());
    QVERIFY(holdsCapture(target));
    QCOMPARE(w.sw.file.fileName(), target);
    QCOMPARE(entries(dir.filePath("a")), hardLink ? QStringList{"copy.tovri"} : QStringList());
    QCOMPARE(entries(dir.filePath("b")), hardLink ? QStringList() : QStringList{"run.tovri"});
  }

  // A rename between two names of one file does nothing and answers
  // success, as between two hard links: the name the capture came from is
  // then one of its own names, and no name is removed after a rename.
  void renameThatMovesNothing()
  {
    QTemporaryDir dir;
    Working w;
    QVERIFY(w.make(dir.filePath("Capture 1.tmp"), true));
    FileFaults faults;
    faults.calls().rename = [](const char *, const char *) { return 0; };
    QVERIFY(w.save(dir.filePath("run.tovri"), true, nullptr));
    const QStringList left = leftovers(dir.path());
    QCOMPARE(left.size(), 1);
    QCOMPARE(bytesOf(dir.filePath(left.first())), w.bytes);
  }

  // Saved under a link that leads through the link it was opened
  // through: both links stay as they were, and nothing is copied.
  void savedThroughItsOwnLink()
  {
    SaveScene s;
    const QString alias = s.path("save/alias.tovri");
    QVERIFY(s.make(true) && QFile::link("../work/Capture 1.tmp", s.path("save/link.tovri")) &&
            QFile::link("link.tovri", alias));
    s.w.sw.file.setFileName(s.path("save/link.tovri"));
    int blocks = 0;
    s.faults.calls().copied = [&](qint64, qint64) { ++blocks; };
    QVERIFY(s.w.save(alias, false, nullptr));
    QCOMPARE(blocks, 0);
    QVERIFY(holdsCapture(alias));
    QCOMPARE(linkText(s.path("save/link.tovri")), QString("../work/Capture 1.tmp"));
  }

  // Any name the file system takes can be chosen: the names a save uses
  // for a while are short ones of their own.
  void longestNames_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("otherDisk");
    QTest::addColumn<bool>("replace");
    for (bool finished : {true, false})
      for (bool otherDisk : {false, true})
        for (bool replace : {true, false})
          QTest::newRow(QByteArray(QByteArray(finished ? "move" : "unfinished") + (otherDisk ? ", copied" : "") +
                                   (replace ? ", replacing" : ", new name"))
                          .constData())
            << finished << otherDisk << replace;
  }
  void longestNames()
  {
    QFETCH(bool, finished);
    QFETCH(bool, otherDisk);
    QFETCH(bool, replace);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("work") && QDir(dir.path()).mkdir("save"));
    const long limit = ::pathconf(QFile::encodeName(dir.path()).constData(), _PC_NAME_MAX);
    QVERIFY(limit > 12);
    const QString name = QString(int(limit) - 6, QLatin1Char('r')) + ".tovri";
    Working w;
    QVERIFY(w.make(dir.filePath("work/" + name), finished));
    const QString target = dir.filePath("save/" + name);
    if (replace)
      QVERIFY(writeBytes(target, kOld));
    FileFaults faults;
    std::optional<FolderView> view;
    if (otherDisk)
      view.emplace(faults, dir.filePath("save"), FolderView::Mount);
    QString told;
    QVERIFY2(w.save(target, replace, &told), qPrintable(told));
    QVERIFY(holdsCapture(target));
    QCOMPARE(entries(dir.filePath("work")), QStringList());
    QCOMPARE(entries(dir.filePath("save")), QStringList{name});
  }

  // A kill at any step of a save, on every way it can go: the capture is
  // whole under its working name, a name of the working folder that the
  // search for unfinished captures finds, or the chosen name; a file it was
  // to replace is either as it was or the capture.
  void killAtEachStep_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("way");
    for (bool finished : {true, false}) {
      const QByteArray m = finished ? "move: " : "unfinished: ";
      for (const char *way : {"replacing", "new name", "another file system", "no renameat2, no links"})
        QTest::newRow(QByteArray(m + way).constData()) << finished << QString(way);
    }
  }
  void killAtEachStep()
  {
    QFETCH(bool, finished);
    QFETCH(QString, way);
    const bool replace = way != "new name" && !way.startsWith("no renameat2");
    int step = 0;
    for (bool done = false; !done; ++step) {
      QTemporaryDir dir;
      QVERIFY(QDir(dir.path()).mkdir("work") && QDir(dir.path()).mkdir("save"));
      const QString target = dir.filePath("save/run.tovri");
      Working w;
      QVERIFY(w.make(dir.filePath("work/Capture 1.tmp"), finished));
      if (replace)
        QVERIFY(writeBytes(target, kOld));
      const pid_t child = ::fork();
      QVERIFY(child >= 0);
      if (child == 0)
        ::_exit(saveKilledAt(w, dir.path(), way, replace, step));
      int status = 0;
      QCOMPARE(::waitpid(child, &status, 0), child);
      QVERIFY(WIFEXITED(status));
      done = WEXITSTATUS(status) == 1; // the save ran to its end
      QVERIFY2(WEXITSTATUS(status) <= 1, qPrintable(QString("step %1: the save failed").arg(step)));
      const QString where = wholeCaptureIn(w, dir.path());
      QVERIFY2(!where.isEmpty(), qPrintable(QString("step %1: the capture is nowhere whole").arg(step)));
      if (replace && where != target)
        QCOMPARE(bytesOf(target), kOld);
      QVERIFY(step < 100);
    }
    QVERIFY(step > 3);
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
    QTest::newRow("relative link, new name") << "../../data/real.tovri" << false;
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
    QCOMPARE(modeOf(saved), old ? 0604 : 0640);
    QCOMPARE(bytesOf(real), w.bytes);
    QCOMPARE(modeOf(real), 0640);
    // The name opened goes, as any saved capture's working name does.
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(w.sw.file.fileName(), saved);
    QCOMPARE(leftovers(dir.filePath("out")), QStringList());
  }

  // The names a save would use for a while are someone else's: in the
  // working folder and beside the chosen name they are left alone and
  // others are taken.
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
    QVERIFY(QDir(dir.path()).mkdir("work") && QDir(dir.path()).mkdir("save"));
    const QString target = dir.filePath("save/run.tovri");
    // The working name goes aside in its folder; the copy is made beside the chosen name.
    const auto busyName = [](const QString &folder) {
      return folder == "work" ? QString("tovri-saving-0.tmp") : QString("tovri-copying-0.part");
    };
    for (const char *folder : {"work", "save"}) {
      const QString busy = dir.filePath(QString(folder) + "/" + busyName(folder));
      QVERIFY(dangling ? QFile::link(dir.filePath("nowhere"), busy) : writeBytes(busy, kOther));
    }
    Working w;
    QVERIFY(w.make(dir.filePath("work/Capture 1.tmp"), finished));
    FileFaults faults;
    // Copied across, so that a name is made beside the target as well.
    FolderView otherDisk(faults, dir.filePath("save"), FolderView::Mount);
    QVERIFY(w.save(target, false, nullptr));
    QVERIFY(holdsCapture(target));
    for (const char *folder : {"work", "save"}) {
      const QString busy = dir.filePath(QString(folder) + "/" + busyName(folder));
      QCOMPARE(leftovers(dir.filePath(folder)), QStringList{busyName(folder)});
      if (dangling)
        QCOMPARE(linkText(busy), dir.filePath("nowhere"));
      else
        QCOMPARE(bytesOf(busy), kOther);
    }
  }
};

TOVRI_TEST(SwapFilePlaceTest)
#include "tst_swapfileplace.moc"
