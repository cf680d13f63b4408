#include "filefaults.h"
#include "processstate.h"
#include "progressdialog.h"
#include "savefixture.h"
#include "swapfile.h"
#include "testmain.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace SaveFixture;

namespace {

// Enough records that the copy takes several blocks.
constexpr int kManyRecords = 60000;

// The path an open descriptor reaches.
QString pathOf(int fd)
{
  return linkText(QStringLiteral("/proc/self/fd/%1").arg(fd));
}

ProgressDialog *shownProgress()
{
  for (QWidget *w : QApplication::topLevelWidgets()) {
    if (auto *dialog = qobject_cast<ProgressDialog *>(w); dialog && dialog->isVisible())
      return dialog;
  }
  return nullptr;
}

// The capture saved to save/run.tovri on what answers as another file
// system, so that the save copies it; where the save replaces, that name
// holds another file first.
struct SaveToOtherDisk : SaveScene
{
  bool make(bool finished, bool replace)
  {
    if (!SaveScene::make(finished, replace, kManyRecords))
      return false;
    onOtherDisk();
    return true;
  }

  // After a failed save: the capture is as it was under its working name,
  // the chosen name as it was, and no file of the save's own is left.
  void checkAsItWas(bool replace)
  {
    QCOMPARE(bytesOf(w.path), w.bytes);
    QCOMPARE(w.sw.file.fileName(), w.path);
    if (replace)
      QCOMPARE(bytesOf(target), kOld);
    else
      QVERIFY(!QFile::exists(target));
    QCOMPARE(leftovers(dir.filePath("work")), QStringList());
    QCOMPARE(leftovers(dir.filePath("save")), QStringList());
  }
};

} // namespace

// The names a save touches: the user's names hold the capture until the
// copy is whole and read back, a link chosen as the capture's own name
// stays, only the save's own files are moved or removed, and a save that
// leaves the capture under another name too says so.
class SwapFileOwnNamesTest : public QObject
{
  Q_OBJECT

  void rows()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("replace");
    for (bool finished : {true, false})
      for (bool replace : {true, false})
        QTest::newRow(QByteArray(QByteArray(finished ? "move" : "unfinished") +
                                 (replace ? ", replacing" : ", Save all's way"))
                        .constData())
          << finished << replace;
  }

private slots:
  void init() { resetProcessState(); }

  // in/link.tovri -> ../data/real.tovri, opened through the link and saved
  // under the link's own name: the link stays as it was and leads to the
  // whole capture, the capture's name is the link, and a later save under
  // another name works from there.
  void savedUnderTheLinksOwnName_data() { rows(); }
  void savedUnderTheLinksOwnName()
  {
    QFETCH(bool, finished);
    QFETCH(bool, replace);
    QTemporaryDir dir;
    for (const char *folder : {"in", "data", "out"})
      QVERIFY(QDir(dir.path()).mkdir(folder));
    const QString real = dir.filePath("data/real.tovri"), link = dir.filePath("in/link.tovri");
    Working w;
    QVERIFY(w.make(real, finished, kManyRecords));
    QVERIFY(QFile::link("../data/real.tovri", link));
    w.sw.file.setFileName(link);

    QString told;
    QVERIFY2(w.save(link, replace, &told), qPrintable(told));
    QVERIFY2(told.isEmpty(), qPrintable(told));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(linkText(link), QString("../data/real.tovri"));
    QVERIFY(holdsCapture(link, kManyRecords));
    QVERIFY(holdsCapture(real, kManyRecords));
    if (finished)
      QCOMPARE(bytesOf(real), w.bytes);
    QCOMPARE(w.sw.file.fileName(), link);
    QCOMPARE(entries(dir.filePath("in")), QStringList{"link.tovri"});
    QCOMPARE(entries(dir.filePath("data")), QStringList{"real.tovri"});

    const QString next = dir.filePath("out/next.tovri");
    QVERIFY2(w.sw.moveTo(next, false, &told), qPrintable(told));
    QVERIFY(holdsCapture(next, kManyRecords));
    QCOMPARE(w.sw.file.fileName(), next);
    QVERIFY(holdsCapture(real, kManyRecords));
  }

  // Saved onto another file system: until the copy is whole, on the disk
  // and read back, the capture stays under its working name, nothing is
  // moved aside, the copy's scratch name says it is an unfinished copy and
  // is offered as no capture (".part", not ".tmp"), and a progress window
  // shows the copy.
  void userNameHoldsTheCaptureThroughTheCopy_data() { rows(); }
  void userNameHoldsTheCaptureThroughTheCopy()
  {
    QFETCH(bool, finished);
    QFETCH(bool, replace);
    SaveToOtherDisk rig;
    QVERIFY(rig.make(finished, replace));
    FileCalls &calls = rig.faults.calls();
    const FileCalls real = calls;
    int blocks = 0, syncs = 0;
    QStringList wrong;
    const auto check = [&](const char *when) {
      if (bytesOf(rig.w.path) != rig.w.bytes)
        wrong << QString("%1: the working name does not hold the capture").arg(when);
      if (!leftovers(rig.dir.filePath("work")).isEmpty())
        wrong << QString("%1: moved aside already").arg(when);
      for (const QString &name : entries(rig.dir.filePath("save"))) {
        if (name != "run.tovri" && !(name.startsWith("tovri-copying-") && name.endsWith(".part")))
          wrong << QString("%1: the copy is named %2").arg(when, name);
      }
    };
    calls.copied = [&](qint64 done, qint64 total) {
      ++blocks;
      check("copying");
      ProgressDialog *dialog = shownProgress();
      if (!dialog || !dialog->info().startsWith("Copying the capture to"))
        wrong << QString("copying: no progress window");
      if (done > total)
        wrong << QString("copied %1 of %2").arg(done).arg(total);
    };
    // The copy's own sync: it is whole, not yet read back.
    calls.fsync = [&](int fd) {
      if (pathOf(fd).contains("tovri-copying-")) {
        ++syncs;
        check("syncing the copy");
      }
      return real.fsync(fd);
    };

    QString told;
    QVERIFY2(rig.w.save(rig.target, replace, &told), qPrintable(told));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("\n")));
    QVERIFY(blocks >= (finished ? 2 : 1));
    QCOMPARE(syncs, 1);
    QVERIFY(holdsCapture(rig.target, kManyRecords));
    QVERIFY(!QFile::exists(rig.w.path));
    QCOMPARE(leftovers(rig.dir.filePath("work")), QStringList());
    QCOMPARE(leftovers(rig.dir.filePath("save")), QStringList());
    QCOMPARE(shownProgress(), nullptr);
  }

  // The progress window's Close button stops the copy: the save fails, the
  // capture stays as it was under its working name, and no copy is left.
  void closingTheProgressWindowStopsTheCopy_data() { rows(); }
  void closingTheProgressWindowStopsTheCopy()
  {
    QFETCH(bool, finished);
    QFETCH(bool, replace);
    SaveToOtherDisk rig;
    QVERIFY(rig.make(finished, replace));
    bool clicked = false;
    rig.faults.calls().copied = [&](qint64, qint64) {
      ProgressDialog *dialog = shownProgress();
      auto *button = dialog ? dialog->findChild<QPushButton *>("closeButton") : nullptr;
      if (button && !clicked) {
        clicked = true;
        button->click();
      }
    };
    QSignalSpy errors(&rig.w.sw, &SwapFile::swapFileError);

    QString told;
    QVERIFY(!rig.w.save(rig.target, replace, &told));
    QVERIFY(clicked);
    QCOMPARE(told, QString("Saving was cancelled"));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::SaveFailed));
    rig.checkAsItWas(replace);
    if (QTest::currentTestFailed())
      return;
    // Nothing of the stop stays: the capture saves as any other.
    rig.faults.calls().copied = [](qint64, qint64) {};
    QVERIFY2(rig.w.save(rig.target, true, &told), qPrintable(told));
    QVERIFY(holdsCapture(rig.target, kManyRecords));
  }

  // Another program takes one of the save's names in the middle of it: the
  // working name during the copy, or the name moved aside before the save
  // removes it. Its file stays as it is, and the message says where the
  // capture is.
  void onlyItsOwnFilesAreRemoved_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("taken"); // "working", "aside"
    for (bool finished : {true, false})
      for (const char *taken : {"working", "aside"})
        QTest::newRow(QByteArray(QByteArray(finished ? "move, " : "unfinished, ") + taken).constData())
          << finished << QString(taken);
  }
  void onlyItsOwnFilesAreRemoved()
  {
    QFETCH(bool, finished);
    QFETCH(QString, taken);
    SaveToOtherDisk rig;
    QVERIFY(rig.make(finished, false) && QDir(rig.dir.path()).mkdir("elsewhere"));
    const QString moved = rig.dir.filePath("elsewhere/moved.tovri");
    FileCalls &calls = rig.faults.calls();
    const FileCalls real = calls;
    QString name; // the name the other program took
    const auto takeOver = [&](const QString &path) {
      if (!name.isEmpty() || !QFile::exists(path))
        return;
      name = path;
      QVERIFY(QFile::rename(path, moved));
      QVERIFY(writeBytes(path, kOther));
    };
    if (taken == "working") {
      calls.copied = [&](qint64, qint64) { takeOver(rig.w.path); };
    } else {
      // Between the placement and the removal of the name moved aside.
      calls.syncFolder = [&](const char *folder) {
        const QStringList aside = leftovers(rig.dir.filePath("work"));
        if (aside.size() == 1)
          takeOver(rig.dir.filePath("work/" + aside.first()));
        return real.syncFolder(folder);
      };
    }

    QString told;
    QVERIFY2(rig.w.save(rig.target, true, &told), qPrintable(told));
    QVERIFY(!name.isEmpty());
    QCOMPARE(bytesOf(name), kOther);
    QCOMPARE(bytesOf(moved), rig.w.bytes);
    QVERIFY(holdsCapture(rig.target, kManyRecords));
    QCOMPARE(rig.w.sw.file.fileName(), rig.target);
    QVERIFY2(told.startsWith("Saved to " + rig.target + ";"), qPrintable(told));
    QVERIFY2(told.contains(name + " no longer led to the capture and was left as it is"), qPrintable(told));
    QCOMPARE(leftovers(rig.dir.filePath("save")), QStringList());
  }

  // The copy differs from what was written (a file system that hands back
  // other bytes): the save fails, the capture stays under its working name
  // and the file of the chosen name is as it was.
  void theCopyHoldsWhatWasRead_data() { rows(); }
  void theCopyHoldsWhatWasRead()
  {
    QFETCH(bool, finished);
    QFETCH(bool, replace);
    SaveToOtherDisk rig;
    QVERIFY(rig.make(finished, replace));
    const FileCalls real = rig.faults.calls();
    int spoiled = 0;
    // One value of a record in the middle, garbage: the copy still reads as a capture.
    rig.faults.calls().fsync = [&](int fd) {
      if (pathOf(fd).contains("tovri-copying-")) {
        const QByteArray garbage(8, '\x7f');
        spoiled += ::pwrite(fd, garbage.constData(), 8, SwapFile::headerBlockSize + 24 * 1000 + 8) == 8;
      }
      return real.fsync(fd);
    };
    QSignalSpy errors(&rig.w.sw, &SwapFile::swapFileError);

    QString told;
    QVERIFY(!rig.w.save(rig.target, replace, &told));
    QCOMPARE(spoiled, 1);
    QCOMPARE(told, QString("The copy does not read back as it was written"));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::SaveFailed));
    rig.checkAsItWas(replace);
  }

  // Without renameat2 the move aside links the capture and cannot unlink
  // its working name; the chosen name is taken: the save fails, and the
  // second name it made goes again, as the working name still holds the
  // capture.
  void aFailedSaveLeavesNoSecondName_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::newRow("move") << true;
    QTest::newRow("unfinished") << false;
  }
  void aFailedSaveLeavesNoSecondName()
  {
    QFETCH(bool, finished);
    SaveScene s;
    QVERIFY(s.make(finished, true, kManyRecords));
    FileCalls &calls = s.faults.calls();
    const FileCalls real = calls;
    const QByteArray working = QFile::encodeName(s.w.path);
    calls.renameNoReplace = FileFaults::failWith<const char *, const char *>(EINVAL);
    calls.unlink = [real, working](const char *path) {
      return working == path ? FileFaults::failWith<const char *>(EPERM)(path) : real.unlink(path);
    };

    QString told;
    QVERIFY(!s.w.save(s.target, false, &told));
    QCOMPARE(told, QString("A file of that name exists"));
    QCOMPARE(s.w.sw.file.fileName(), s.w.path);
    QCOMPARE(bytesOf(s.w.path), s.w.bytes);
    QCOMPARE(bytesOf(s.target), kOld);
    QCOMPARE(leftovers(s.path("work")), QStringList());
    QCOMPARE(leftovers(s.path("save")), QStringList());
  }

  // Saves that stand but leave the capture under another name too say so:
  // a working folder that refuses the move (read-only, squashfs, a mount
  // point), links without unlink, a FUSE whose unlink fails.
  void tellsWhereTheCaptureStays_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("stays"); // "working", "aside"
    for (bool finished : {true, false}) {
      const QByteArray m = finished ? "move: " : "unfinished: ";
      QTest::newRow(QByteArray(m + "working folder read-only").constData())
        << finished << "read-only" << "working";
      QTest::newRow(QByteArray(m + "no renameat2, the first name cannot be unlinked").constData())
        << finished << "no unlink of the working name" << "working";
      QTest::newRow(QByteArray(m + "another file system, the name aside cannot be unlinked").constData())
        << finished << "no unlink of the name aside" << "aside";
    }
  }
  void tellsWhereTheCaptureStays()
  {
    QFETCH(bool, finished);
    QFETCH(QString, fault);
    QFETCH(QString, stays);
    SaveScene s;
    QVERIFY(s.make(finished, false, kManyRecords));
    const QByteArray working = QFile::encodeName(s.w.path);
    FileCalls &calls = s.faults.calls();
    const FileCalls real = calls;
    if (fault == "read-only") {
      const auto refuse = [real, working](std::function<int(const char *, const char *)> call) {
        return [call, working](const char *from, const char *to) {
          return working == from ? FileFaults::failWith<const char *, const char *>(EROFS)(from, to) : call(from, to);
        };
      };
      calls.renameNoReplace = refuse(real.renameNoReplace);
      calls.rename = refuse(real.rename);
      calls.link = refuse(real.link);
    } else if (fault == "no unlink of the working name") {
      calls.renameNoReplace = FileFaults::failWith<const char *, const char *>(EINVAL);
      calls.unlink = [real, working](const char *path) {
        return working == path ? FileFaults::failWith<const char *>(EPERM)(path) : real.unlink(path);
      };
    } else {
      s.onOtherDisk();
      calls.unlink = [real](const char *path) {
        return QByteArray(path).contains("tovri-saving-") ? FileFaults::failWith<const char *>(EIO)(path)
                                                          : real.unlink(path);
      };
    }

    QString told;
    QVERIFY2(s.w.save(s.target, true, &told), qPrintable(told));
    QVERIFY(holdsCapture(s.target, kManyRecords));
    QCOMPARE(s.w.sw.file.fileName(), s.target);
    QCOMPARE(leftovers(s.path("save")), QStringList());
    QVERIFY2(told.startsWith("Saved to " + s.target + ";"), qPrintable(told));
    if (stays == "working") {
      QVERIFY2(told.endsWith("the capture is also still at its old name " + s.w.path), qPrintable(told));
      QCOMPARE(bytesOf(s.w.path), s.w.bytes);
      QCOMPARE(leftovers(s.path("work")), QStringList());
    } else {
      const QStringList aside = leftovers(s.path("work"));
      QCOMPARE(aside.size(), 1);
      QVERIFY2(told.endsWith("the capture is also kept in " + s.path("work/" + aside.first())), qPrintable(told));
      QCOMPARE(bytesOf(s.path("work/" + aside.first())), s.w.bytes);
      QVERIFY(!QFile::exists(s.w.path));
    }
  }

  // On a FUSE pool without renameat2, where a new link has an inode of its
  // own, the names the save made are its own: a save that stands leaves and
  // tells nothing more, one refused leaves the capture at its working name,
  // also when the disk does not confirm the new name and when the name
  // moved aside comes back for a copy to another disk.
  void namesLinkedWithInodesOfTheirOwn_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<bool>("old");
    QTest::addColumn<QString>("fault"); // "folder sync": it fails; "other fs": the chosen folder is on another disk
    for (bool finished : {true, false}) {
      const QString kind = finished ? "move" : "unfinished";
      for (auto [replace, old] : {std::pair(false, false), std::pair(true, true), std::pair(false, true)})
        QTest::newRow(qPrintable(kind + (old ? ", over a file" : "") + (replace ? ", replacing" : "")))
          << finished << replace << old << QString();
      QTest::newRow(qPrintable(kind + ", the folder sync fails")) << finished << false << false << "folder sync";
    }
    // Only a move puts the name aside back, for the copy.
    QTest::newRow("move, onto another disk") << true << false << false << "other fs";
    QTest::newRow("move, onto another disk, over a file, replacing") << true << true << true << "other fs";
  }
  void namesLinkedWithInodesOfTheirOwn()
  {
    QFETCH(bool, finished);
    QFETCH(bool, replace);
    QFETCH(bool, old);
    QFETCH(QString, fault);
    SaveScene s;
    QVERIFY(s.make(finished, old));
    if (fault == "other fs")
      s.onOtherDisk();
    linksOfTheirOwn(s.faults);
    const bool unsynced = fault == "folder sync", refused = (old && !replace) || unsynced;
    if (unsynced)
      s.faults.calls().syncFolder = FileFaults::failWith<const char *>(EIO);

    QString told;
    QCOMPARE(s.w.save(s.target, replace, &told), !refused);
    QCOMPARE(told, unsynced  ? "The disk did not take the new name: " + qt_error_string(EIO)
                   : refused ? QString("A file of that name exists")
                             : QString());
    QCOMPARE(s.w.sw.file.fileName(), refused ? s.w.path : s.target);
    QCOMPARE(entries(s.path("work")), refused ? QStringList{"Capture 1.tmp"} : QStringList());
    // A copy placed stays where the disk did not confirm its name; a name moved goes back.
    QCOMPARE(entries(s.path("save")), unsynced && finished ? QStringList() : QStringList{"run.tovri"});
    QVERIFY(refused ? bytesOf(s.w.path) == s.w.bytes && (!old || bytesOf(s.target) == kOld) : holdsCapture(s.target));
  }
};

TOVRI_TEST(SwapFileOwnNamesTest)
#include "tst_swapfileownnames.moc"
