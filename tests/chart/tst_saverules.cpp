#include "filefaults.h"
#include "processstate.h"
#include "savefixture.h"
#include "swapfile.h"
#include "testmain.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace SaveFixture;

namespace {

// What these tests take for granted of the names a save makes for a
// while and of its words; kept here alone, so that they are easy to adapt.
namespace SaveNames {
// The first name the capture's working name is moved aside to.
QString firstAside()
{
  return QStringLiteral("tovri-saving-0.tmp");
}
// The place a save's message says the capture is (also) kept in; empty
// where it names none.
QString placeNamed(const QString &told)
{
  const QString words = QStringLiteral("kept in ");
  const int at = told.lastIndexOf(words);
  return at < 0 ? QString() : QDir::fromNativeSeparators(told.mid(at + words.size()).trimmed());
}
bool names(const QString &told)
{
  return told.contains(QStringLiteral("kept in "));
}
// The refusal of a name in use.
bool saysNameTaken(const QString &told)
{
  return told.contains(QStringLiteral("exists"));
}
} // namespace SaveNames

bool setMode(const QString &path, int mode)
{
  return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

// The names of `folder` that are not listed in `known`, with their folder.
QStringList newNames(const QString &folder, const QStringList &known)
{
  QStringList found;
  for (const QString &name : entries(folder)) {
    if (!known.contains(name))
      found.append(folder + QLatin1Char('/') + name);
  }
  return found;
}

QString canonical(const QString &path)
{
  return QFileInfo(path).canonicalFilePath();
}

// The seam's calls that take a name, answering `error` for any name in
// `folder` as a read-only folder does; the calls set before serve the rest.
void refuseNamesIn(FileFaults &faults, const QString &folder, int error)
{
  FileCalls &calls = faults.calls();
  const FileCalls before = calls;
  const QByteArray prefix = QFile::encodeName(folder) + '/';
  const auto inside = [prefix](const char *path) { return QByteArray(path).startsWith(prefix); };
  const auto refused = FileFaults::failWith<const char *, const char *>(error);
  calls.renameNoReplace = [=](const char *a, const char *b) {
    return inside(a) || inside(b) ? refused(a, b) : before.renameNoReplace(a, b);
  };
  calls.link = [=](const char *a, const char *b) { return inside(a) || inside(b) ? refused(a, b) : before.link(a, b); };
  calls.rename = [=](const char *a, const char *b) {
    return inside(a) || inside(b) ? refused(a, b) : before.rename(a, b);
  };
  calls.unlink = [=](const char *p) { return inside(p) ? refused(p, p) : before.unlink(p); };
}

} // namespace

// Rules of a save that each guard a capture or a name of the user's: the
// names a save makes for a while, the ways a file system may refuse a call,
// the mode the saved file takes, what a failed save says and keeps open,
// and which folder it syncs.
class SaveRulesTest : public QObject
{
  Q_OBJECT

private slots:
  void init() { resetProcessState(); }

  // Where case is ignored, a chosen name spelled as one the save would make
  // for a while is still the user's: the save makes other names, and the
  // name it removes at the end is never the capture just placed.
  void freshNameIsNeverTheChosenOne_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("spelling");
    const QString first = SaveNames::firstAside();
    for (bool finished : {true, false}) {
      const QByteArray m = finished ? "move, copied for its other name: " : "unfinished: ";
      QTest::newRow(QByteArray(m + "upper case").constData()) << finished << first.toUpper();
      QTest::newRow(QByteArray(m + "mixed case").constData()) << finished << (first.left(1).toUpper() + first.mid(1));
    }
  }
  void freshNameIsNeverTheChosenOne()
  {
    QFETCH(bool, finished);
    QFETCH(QString, spelling);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("data"));
    const QString data = dir.filePath("data");
    Working w;
    QVERIFY(w.make(data + "/Run.tovri", finished));
    // A file with another name is copied: the save then removes a name of its own.
    if (finished)
      QVERIFY(::link(QFile::encodeName(w.path).constData(), QFile::encodeName(data + "/Other.tovri").constData()) == 0);
    FileFaults faults;
    CaseBlindFolder blind(faults, data);
    const QString chosen = data + "/" + spelling;

    QString told;
    QVERIFY2(w.save(chosen, true, &told), qPrintable(told));
    QVERIFY(holdsCapture(chosen));
    QCOMPARE(w.sw.file.fileName(), chosen);
    QCOMPARE(entries(data), finished ? QStringList({"Other.tovri", spelling}) : QStringList{spelling});
    if (finished)
      QCOMPARE(bytesOf(data + "/Other.tovri"), w.bytes);
  }

  // A folder that refuses a new name for any reason but the name being in
  // use ends the search for one at once: the save tells that reason, or
  // goes on without the name it could not make.
  void refusalEndsTheSearch_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("way");
    QTest::newRow("unfinished, into a missing folder") << false << "missing";
    QTest::newRow("move from another file system, into a missing folder") << true << "missing, other fs";
    QTest::newRow("move, the working folder refuses the name aside") << true << "work refuses";
    QTest::newRow("unfinished, the working folder refuses the name aside") << false << "work refuses";
  }
  void refusalEndsTheSearch()
  {
    QFETCH(bool, finished);
    QFETCH(QString, way);
    SaveScene s;
    QVERIFY(s.make(finished));
    const bool missing = way.startsWith("missing");
    const QString target = missing ? s.path("gone/run.tovri") : s.target;
    if (way.endsWith("other fs"))
      s.onOtherDisk("gone");
    if (way == "work refuses")
      s.faults.calls().renameNoReplace = [work = QFile::encodeName(s.path("work/"))](const char *a, const char *b) {
        return QByteArray(b).startsWith(work) ? FileFaults::failWith<const char *, const char *>(EIO)(a, b)
                                              : FileCalls::system().renameNoReplace(a, b);
      };
    CallRecorder recorder(s.faults);

    QString told;
    const bool ok = s.w.save(target, false, &told);
    int asideTried = 0;
    for (const QString &call : recorder.calls())
      asideTried += call.startsWith("renameNoReplace " + s.w.path + " ");
    if (missing) {
      QVERIFY(!ok);
      QVERIFY2(told.contains(qt_error_string(ENOENT)), qPrintable(told));
      QCOMPARE(entries(s.path("work")), QStringList{"Capture 1.tmp"});
      QCOMPARE(bytesOf(s.w.path), s.w.bytes);
      QCOMPARE(s.w.sw.file.fileName(), s.w.path);
      return;
    }
    // One refused name, not one try per name the save might make.
    QVERIFY2(asideTried >= 1 && asideTried <= 3, qPrintable(QString::number(asideTried)));
    QVERIFY2(ok, qPrintable(told));
    QVERIFY(holdsCapture(target));
    QCOMPARE(s.w.sw.file.fileName(), target);
    QCOMPARE(entries(s.path("save")), QStringList{"run.tovri"});
  }

  // Without renameat2() (EINVAL, ENOSYS, EOPNOTSUPP) a new link takes the
  // name; without links either (EPERM, EOPNOTSUPP, ENOSYS) the name is
  // claimed. Either way a name in use is refused and kept, and no
  // descriptor stays open.
  void fallbacksWithoutRenameat2_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<int>("renameError");
    QTest::addColumn<int>("linkError"); // 0: links work
    QTest::addColumn<bool>("taken");    // another file has the chosen name
    struct Way
    {
      const char *name;
      int renameError, linkError;
    };
    const Way ways[] = {{"renameat2 EOPNOTSUPP, linked", EOPNOTSUPP, 0},
                        {"renameat2 EINVAL, link EOPNOTSUPP: claimed", EINVAL, EOPNOTSUPP},
                        {"renameat2 EINVAL, link ENOSYS: claimed", EINVAL, ENOSYS},
                        {"renameat2 EOPNOTSUPP, link ENOSYS: claimed", EOPNOTSUPP, ENOSYS}};
    for (bool finished : {true, false})
      for (const Way &way : ways)
        for (bool taken : {false, true})
          QTest::newRow(qPrintable(QString("%1%2%3").arg(finished ? "move, " : "unfinished, ", way.name,
                                                         taken ? ", name taken" : "")))
            << finished << way.renameError << way.linkError << taken;
  }
  void fallbacksWithoutRenameat2()
  {
    QFETCH(bool, finished);
    QFETCH(int, renameError);
    QFETCH(int, linkError);
    QFETCH(bool, taken);
    SaveScene s;
    QVERIFY(s.make(finished));
    if (taken)
      QVERIFY(writeBytes(s.target, kOther));
    s.faults.calls().renameNoReplace = FileFaults::failWith<const char *, const char *>(renameError);
    if (linkError)
      s.faults.calls().link = FileFaults::failWith<const char *, const char *>(linkError);
    const int open = openDescriptors();

    QString told;
    const bool ok = s.w.save(s.target, false, &told);
    QCOMPARE(openDescriptors(), open);
    QCOMPARE(entries(s.path("save")), QStringList{"run.tovri"});
    if (taken) {
      QVERIFY(!ok);
      QVERIFY2(SaveNames::saysNameTaken(told), qPrintable(told));
      QCOMPARE(bytesOf(s.target), kOther);
      QCOMPARE(entries(s.path("work")), QStringList{"Capture 1.tmp"});
      QCOMPARE(bytesOf(s.w.path), s.w.bytes);
      QCOMPARE(s.w.sw.file.fileName(), s.w.path);
      return;
    }
    QVERIFY2(ok, qPrintable(told));
    QVERIFY(holdsCapture(s.target));
    QCOMPARE(s.w.sw.file.fileName(), s.target);
    QCOMPARE(entries(s.path("work")), QStringList());
  }

  // A working folder that takes no new name (read-only): the capture is
  // copied from its working name, which stays, and the save stands.
  void workingNameThatCannotMove_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("otherDisk");
    QTest::addColumn<bool>("old");
    for (bool finished : {true, false})
      for (bool otherDisk : {false, true})
        for (bool old : {false, true})
          QTest::newRow(qPrintable(QString("%1%2%3").arg(finished ? "move" : "unfinished",
                                                         otherDisk ? ", another file system" : "",
                                                         old ? ", replacing" : ", new name")))
            << finished << otherDisk << old;
  }
  void workingNameThatCannotMove()
  {
    QFETCH(bool, finished);
    QFETCH(bool, otherDisk);
    QFETCH(bool, old);
    SaveScene s;
    QVERIFY(s.make(finished, old));
    if (otherDisk)
      s.onOtherDisk();
    refuseNamesIn(s.faults, s.path("work"), EROFS);

    QString told;
    QVERIFY2(s.w.save(s.target, old, &told), qPrintable(told));
    QVERIFY(holdsCapture(s.target));
    QCOMPARE(s.w.sw.file.fileName(), s.target);
    QCOMPARE(entries(s.path("save")), QStringList{"run.tovri"});
    QCOMPARE(entries(s.path("work")), QStringList{"Capture 1.tmp"});
    QCOMPARE(bytesOf(s.w.path), s.w.bytes);
  }

  // A file system that keeps no modes refuses them (EPERM, EOPNOTSUPP,
  // ENOSYS): the save stands. Any other refusal fails it; the name made
  // for the new file goes and its descriptor is closed.
  void refusedModes_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("way"); // "rename", "other fs"
    QTest::addColumn<int>("error");
    for (int error : {EPERM, EOPNOTSUPP, ENOSYS, EIO}) {
      const QString e = error == EPERM ? "EPERM" : error == EOPNOTSUPP ? "EOPNOTSUPP" : error == ENOSYS ? "ENOSYS" : "EIO";
      QTest::newRow(qPrintable("renamed, " + e)) << true << "rename" << error;
      QTest::newRow(qPrintable("copied from another file system, " + e)) << true << "other fs" << error;
      QTest::newRow(qPrintable("unfinished, " + e)) << false << "rename" << error;
      QTest::newRow(qPrintable("unfinished, another file system, " + e)) << false << "other fs" << error;
    }
  }
  void refusedModes()
  {
    QFETCH(bool, finished);
    QFETCH(QString, way);
    QFETCH(int, error);
    SaveScene s;
    QVERIFY(s.make(finished, true));
    QVERIFY(setMode(s.w.path, 0640));
    // Renamed, the capture takes another mode through its open file; a
    // copy is made with the capture's own, as a new file always is.
    const int oldMode = way == "rename" ? 0604 : 0640;
    QVERIFY(setMode(s.target, oldMode));
    if (way == "other fs")
      s.onOtherDisk();
    int asked = 0;
    s.faults.calls().fchmod = [&asked, error](int, mode_t) { return ++asked, FileFaults::failWith<int>(error)(0); };
    QSignalSpy errors(&s.w.sw, &SwapFile::swapFileError);
    const int open = openDescriptors();

    QString told;
    const bool ok = s.w.save(s.target, true, &told);
    QVERIFY(asked > 0);
    QCOMPARE(openDescriptors(), open);
    QCOMPARE(entries(s.path("save")), QStringList{"run.tovri"});
    if (error != EIO) {
      QVERIFY2(ok, qPrintable(told));
      QVERIFY(holdsCapture(s.target));
      QCOMPARE(s.w.sw.file.fileName(), s.target);
      QCOMPARE(entries(s.path("work")), QStringList());
      return;
    }
    QVERIFY(!ok);
    QVERIFY2(told.contains(qt_error_string(EIO)), qPrintable(told));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(bytesOf(s.target), kOld);
    QCOMPARE(modeOf(s.target), oldMode);
    QCOMPARE(entries(s.path("work")), QStringList{"Capture 1.tmp"});
    QCOMPARE(bytesOf(s.w.path), s.w.bytes);
    QCOMPARE(modeOf(s.w.path), 0640);
    QCOMPARE(s.w.sw.file.fileName(), s.w.path);
  }

  // A capture whose placement failed after it took the mode of the file
  // it was to replace goes back with its own mode.
  void modeBackAfterAFailedPlacement_data()
  {
    QTest::addColumn<QString>("fault");
    QTest::newRow("rename refused") << "rename EIO";
    QTest::newRow("another file system, the copy not on the disk") << "other fs, copy fsync EIO";
  }
  void modeBackAfterAFailedPlacement()
  {
    QFETCH(QString, fault);
    SaveScene s;
    QVERIFY(s.make(true, true));
    QVERIFY(setMode(s.w.path, 0640) && setMode(s.target, 0604));
    int fsyncs = 0;
    if (fault == "rename EIO") {
      s.faults.calls().rename = FileFaults::failWith<const char *, const char *>(EIO);
    } else {
      s.onOtherDisk();
      // The capture's own sync comes first; the copy's second.
      s.faults.calls().fsync = [&fsyncs](int fd) {
        return ++fsyncs == 2 ? FileFaults::failWith<int>(EIO)(fd) : FileCalls::system().fsync(fd);
      };
    }

    QString told;
    QVERIFY(!s.w.save(s.target, true, &told));
    QVERIFY2(told.contains(qt_error_string(EIO)), qPrintable(told));
    QCOMPARE(s.w.sw.file.fileName(), s.w.path);
    QCOMPARE(bytesOf(s.w.path), s.w.bytes);
    QCOMPARE(modeOf(s.w.path), 0640);
    QCOMPARE(bytesOf(s.target), kOld);
    QCOMPARE(modeOf(s.target), 0604);
  }

  // The saved file keeps every bit of the mode it takes, execute bits
  // too: the capture's own, or the file's it replaces.
  void executeBitsKept_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("way"); // "rename", "other fs", "hard link"
    QTest::addColumn<int>("old");     // mode of a file at the chosen name; 0: none
    for (int old : {0, 0715}) {
      const QString o = old ? ", replacing" : ", new name";
      QTest::newRow(qPrintable("renamed" + o)) << true << "rename" << old;
      QTest::newRow(qPrintable("copied from another file system" + o)) << true << "other fs" << old;
      QTest::newRow(qPrintable("copied, other hard links" + o)) << true << "hard link" << old;
      QTest::newRow(qPrintable("unfinished" + o)) << false << "rename" << old;
      QTest::newRow(qPrintable("unfinished, another file system" + o)) << false << "other fs" << old;
    }
  }
  void executeBitsKept()
  {
    QFETCH(bool, finished);
    QFETCH(QString, way);
    QFETCH(int, old);
    SaveScene s;
    QVERIFY(s.make(finished, old != 0));
    QVERIFY(setMode(s.w.path, 0751));
    const QString second = s.path("work/second");
    if (way == "hard link")
      QVERIFY(::link(QFile::encodeName(s.w.path).constData(), QFile::encodeName(second).constData()) == 0);
    if (old)
      QVERIFY(setMode(s.target, old));
    if (way == "other fs")
      s.onOtherDisk();

    QString told;
    QVERIFY2(s.w.save(s.target, true, &told), qPrintable(told));
    QVERIFY(holdsCapture(s.target));
    QCOMPARE(modeOf(s.target), old ? old : 0751);
    if (way == "hard link")
      QCOMPARE(modeOf(second), 0751);
  }

  // Where the capture cannot go back to its working name (another file
  // took it meanwhile), the failed save says where the capture is, and the
  // capture's file names that place; the other file stays as it is.
  void failedPutBackSaysWhere_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("otherDisk");
    for (bool finished : {true, false})
      for (bool otherDisk : {false, true})
        QTest::newRow(qPrintable(QString("%1%2").arg(finished ? "move" : "unfinished",
                                                     otherDisk ? ", copied from another file system" : "")))
          << finished << otherDisk;
  }
  void failedPutBackSaysWhere()
  {
    QFETCH(bool, finished);
    QFETCH(bool, otherDisk);
    SaveScene s;
    QVERIFY(s.make(finished));
    if (otherDisk)
      s.onOtherDisk();
    // The chosen name is refused; as the capture goes back another
    // program's file takes its working name.
    const FileCalls before = s.faults.calls();
    const QByteArray chosen = QFile::encodeName(s.target), working = QFile::encodeName(s.w.path);
    const auto taken = FileFaults::takenFirst(before.renameNoReplace, kOther);
    const auto across = [&view = s.view](const char *from) { return view && !view->inView(from); };
    s.faults.calls().renameNoReplace = [=](const char *from, const char *to) {
      // From another file system the refusal is the view's own (EXDEV): the capture is copied.
      if (chosen == to && !across(from))
        return FileFaults::failWith<const char *, const char *>(EIO)(from, to);
      return working == to ? taken(from, to) : before.renameNoReplace(from, to);
    };
    QSignalSpy errors(&s.w.sw, &SwapFile::swapFileError);

    QString told;
    QVERIFY(!s.w.save(s.target, false, &told));
    QCOMPARE(errors.size(), 1);
    QVERIFY2(told.contains(qt_error_string(EIO)), qPrintable(told));
    QCOMPARE(bytesOf(s.w.path), kOther);
    QVERIFY(!QFile::exists(s.target));
    const QStringList kept = newNames(s.path("work"), {"Capture 1.tmp"});
    QCOMPARE(kept.size(), 1);
    QCOMPARE(bytesOf(kept.first()), s.w.bytes);
    QCOMPARE(s.w.sw.file.fileName(), kept.first());
    QVERIFY2(told.contains(QDir::toNativeSeparators(kept.first())), qPrintable(told));
    QCOMPARE(entries(s.path("save")), QStringList());
  }

  // A save that stands but whose new name the disk did not confirm names
  // another place of the capture only where one holds all of it: a copy's
  // source under the name the save moved it to. Never a renamed capture's
  // old place, an unfinished capture's start, or no place at all.
  void keptInNamesAWholeCapture_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("otherDisk");
    QTest::addColumn<bool>("stuck"); // the working folder takes no new name
    QTest::addColumn<bool>("named"); // a place must be named
    for (bool finished : {true, false})
      for (bool otherDisk : {false, true})
        for (bool stuck : {false, true})
          QTest::newRow(qPrintable(QString("%1%2%3").arg(finished ? "move" : "unfinished",
                                                         otherDisk ? ", another file system" : "",
                                                         stuck ? ", working folder read-only" : "")))
            << finished << otherDisk << stuck << (finished && otherDisk && !stuck);
  }
  void keptInNamesAWholeCapture()
  {
    QFETCH(bool, finished);
    QFETCH(bool, otherDisk);
    QFETCH(bool, stuck);
    QFETCH(bool, named);
    SaveScene s;
    QVERIFY(s.make(finished, true));
    if (otherDisk)
      s.onOtherDisk();
    if (stuck)
      refuseNamesIn(s.faults, s.path("work"), EROFS);
    const QString saveFolder = canonical(s.path("save"));
    s.faults.calls().syncFolder = [saveFolder](const char *folder) {
      return canonical(QFile::decodeName(folder)) == saveFolder ? FileFaults::failWith<const char *>(EIO)(folder)
                                                                : FileCalls::system().syncFolder(folder);
    };

    QString told;
    QVERIFY2(s.w.save(s.target, true, &told), qPrintable(told));
    QVERIFY2(told.contains(qt_error_string(EIO)), qPrintable(told));
    QVERIFY(holdsCapture(s.target));
    QCOMPARE(s.w.sw.file.fileName(), s.target);
    if (named)
      QVERIFY2(SaveNames::names(told), qPrintable(told));
    if (SaveNames::names(told)) {
      const QString place = SaveNames::placeNamed(told);
      QVERIFY2(!place.isEmpty() && place != s.target, qPrintable(told));
      QVERIFY2(holdsCapture(place), qPrintable(told));
      if (finished)
        QCOMPARE(bytesOf(place), s.w.bytes);
    }
  }

  // The folder synced is where the capture's new name is: the chosen
  // name's, at the end of its chain of links, not the working folder.
  void folderSyncedIsTheChosenNames_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("way"); // "rename", "other fs", "link"
    for (bool finished : {true, false}) {
      const QString m = finished ? "move" : "unfinished";
      QTest::newRow(qPrintable(m + ", renamed")) << finished << "rename";
      QTest::newRow(qPrintable(m + ", another file system")) << finished << "other fs";
      QTest::newRow(qPrintable(m + ", through a link to another folder")) << finished << "link";
    }
  }
  void folderSyncedIsTheChosenNames()
  {
    QFETCH(bool, finished);
    QFETCH(QString, way);
    SaveScene s;
    QVERIFY(s.make(finished) && QDir(s.dir.path()).mkdir("data"));
    const QString end = way == "link" ? s.path("data/run.tovri") : s.target;
    if (way == "link")
      QVERIFY(QFile::link("../data/run.tovri", s.target));
    if (way == "other fs")
      s.onOtherDisk();
    CallRecorder recorder(s.faults);

    QString told;
    QVERIFY2(s.w.save(s.target, true, &told), qPrintable(told));
    QVERIFY(holdsCapture(end));
    QStringList synced;
    for (const QString &folder : recorder.argumentsOf("syncFolder"))
      synced.append(canonical(folder));
    QVERIFY2(synced.contains(canonical(s.path(way == "link" ? "data" : "save"))), qPrintable(synced.join(", ")));
  }

  // Another program takes a name just as the save comes to act on it: it
  // puts its own file there (or a link to one), or turns the chosen folder
  // into a link to a folder holding a file of the copy's name. That file
  // stays; the save stands or fails as it must, never places or removes it,
  // and the message names the name that no longer led to the capture or to
  // its copy.
  void aNameTakenMidSave_data()
  {
    QTest::addColumn<bool>("finished");
    QTest::addColumn<QString>("way");   // "old": the chosen name holds a file; "own link": the capture opened by it
    QTest::addColumn<QString>("taken"); // working, aside (the first name moved aside to), copy (the first copy), chosen
    QTest::addColumn<QString>("when");  // the call ("call args") it is taken before, or "after" one; "+": once copying
    QTest::addColumn<bool>("carried");  // the save's own rename took that file on to the chosen name
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("told");
    const QString gone = " no longer le", notCopy = " did not lead to the copy", placing = "^rename.* .*run\\.tovri$";
    QTest::newRow("move: working name, before the move aside")
      << true << "" << "working" << "^fsync" << false << true << gone;
    QTest::newRow("move: name aside, before the rename")
      << true << "" << "aside" << "after renameNoReplace .*tovri-saving-" << false << true << gone;
    QTest::newRow("move: name aside, before the put-back")
      << true << "old" << "aside" << placing << false << false << gone;
    QTest::newRow("move, other fs: name aside, before it goes back")
      << true << "other fs" << "aside" << placing << false << true << gone;
    QTest::newRow("unfinished: the copy, before it goes")
      << false << "old" << "copy" << placing << false << false << "";
    QTest::newRow("unfinished, no renameat2: the copy, left under both names")
      << false << "no renameat2" << "copy" << "^unlink .*tovri-copying" << false << true << "";
    QTest::newRow("unfinished, own link: its end, while copying")
      << false << "own link" << "working" << "^copied" << false << false << "";
    const QString toChosen = "+^rename.*tovri-copying.*run\\.tovri$";
    const QList<QStringList> copying{{"copy", "+^renameNoReplace .*tovri-saving-", "", "the move aside"},
                                     {"link to the moved copy", "+^renameNoReplace .*tovri-saving-", "", "the move aside"},
                                     {"copy", toChosen, "c", "the placement"},
                                     {"copy link", toChosen, "c", "the placement"},
                                     {"folder", toChosen, "c", "the placement"},
                                     {"chosen", "+^syncFolder", "c", "the folder sync"}};
    for (bool finished : {true, false})
      for (const char *way : {"other fs", "other fs, old, replace"})
        for (const QStringList &row : copying)
          QTest::newRow(
            qPrintable(QString("%1, %2: %3 before %4").arg(finished ? "move" : "unfinished", way, row[0], row[3])))
            << finished << QString(way) << row[0] << row[1] << !row[2].isEmpty() << false << notCopy;
  }
  void aNameTakenMidSave()
  {
    QFETCH(bool, finished);
    QFETCH(QString, way);
    QFETCH(QString, taken);
    QFETCH(QString, when);
    QFETCH(bool, carried);
    QFETCH(bool, saved);
    QFETCH(QString, told);
    SaveScene s;
    QVERIFY(s.make(finished, way.contains("old")) && QDir(s.dir.path()).mkdir("elsewhere"));
    const QString other = s.path("elsewhere/tovri-copying-0.part");
    QVERIFY(writeBytes(other, kOther));
    if (way.startsWith("other fs"))
      s.onOtherDisk();
    if (way == "own link") {
      QVERIFY(QFile::link(s.w.path, s.target));
      s.w.sw.file.setFileName(s.target);
    }
    FileCalls &calls = s.faults.calls();
    if (way == "no renameat2")
      calls.renameNoReplace = FileFaults::failWith<const char *, const char *>(EINVAL);
    const FileCalls before = calls;
    const QString name = taken == "working" ? s.w.path
                         : taken == "aside" ? s.path("work/" + SaveNames::firstAside())
                         : taken == "chosen" ? s.target
                                             : s.path("save/tovri-copying-0.part");
    bool copied = false, done = false; // taken at the first such step only
    const auto takeOver = [&](const QString &call) {
      const QRegularExpression step(when.startsWith('+') ? when.mid(1) : when);
      if (done || (when.startsWith('+') && !copied) || !step.match(call).hasMatch())
        return false;
      done = true;
      if (taken == "folder")
        return QFile::rename(s.path("save"), s.path("save.real")) && QFile::link(s.path("elsewhere"), s.path("save"));
      QFile::rename(name, s.path("moved")); // what was there, if anything
      return taken == "copy link"                ? QFile::link(other, name)
             : taken == "link to the moved copy" ? QFile::link(s.path("moved"), name)
                                                 : writeBytes(name, kOther);
    };
    const auto line = [](const char *call, const char *a, const char *b = "") -> QString {
      return QString(call) + ' ' + QFile::decodeName(a) + (*b ? " " : "") + QFile::decodeName(b);
    };
    calls.fsync = [&](int fd) { return takeOver("fsync"), before.fsync(fd); };
    calls.syncFolder = [&](const char *f) { return takeOver(line("syncFolder", f)), before.syncFolder(f); };
    calls.copied = [&](qint64, qint64) { takeOver("copied"), copied = true; };
    calls.rename = [&](const char *a, const char *b) { return takeOver(line("rename", a, b)), before.rename(a, b); };
    calls.renameNoReplace = [&](const char *a, const char *b) {
      takeOver(line("renameNoReplace", a, b));
      const int result = before.renameNoReplace(a, b);
      return takeOver("after " + line("renameNoReplace", a, b)), result;
    };
    calls.unlink = [&](const char *path) {
      return takeOver(line("unlink", path)) ? FileFaults::failWith<const char *>(EPERM)(path) : before.unlink(path);
    };
    QString why;
    QCOMPARE(s.w.save(s.target, way.contains("replace"), &why), saved);
    QVERIFY(done);
    const QString holder = carried || taken == "folder" ? s.target : name;
    if (taken == "link to the moved copy")
      QCOMPARE(linkText(holder), s.path("moved"));
    else
      QCOMPARE(bytesOf(holder), kOther);
    const bool named = why.contains(holder + " no longer le") || why.contains(holder + " did not lead");
    QVERIFY2(named == !told.isEmpty() && why.contains(told), qPrintable(why));
    if (saved)
      QVERIFY(holdsCapture(s.target));
    else if (taken != "working" && taken != "aside") // the capture as it was under its working name
      QVERIFY(s.w.sw.file.fileName() == s.w.path && bytesOf(s.w.path) == s.w.bytes &&
              leftovers(s.path("work")).isEmpty());
  }
};

TOVRI_TEST(SaveRulesTest)
#include "tst_saverules.moc"
