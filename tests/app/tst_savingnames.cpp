#include "filefaults.h"
#include "processstate.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <unistd.h>

using namespace AppFixture;

// The names a save through the window leaves: a capture opened through a
// link and saved under the link's name keeps the link, a save that leaves
// the capture under its old name too says so in the status line, and a
// failed one whose capture lost its working name says where it is.
class SavingNamesTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { freshWindowState(); }

  // in/link.tovri -> ../data/real.tovri: opened through the link, saved
  // under the link's own name as the Save dialog gives it (replace on).
  // "Saved", the link stays and leads to the whole capture, the tab's
  // capture is the link, and the next Save under another name works.
  void savedUnderTheLinksOwnName()
  {
    QTemporaryDir dir;
    for (const char *folder : {"in", "data", "out"})
      QVERIFY(QDir(dir.path()).mkdir(folder));
    const QString real = writeLoggerCapture(dir.filePath("data/real.tovri"), 3000, true);
    QVERIFY(!real.isEmpty());
    const QByteArray capture = fileBytes(real);
    const QString link = dir.filePath("in/link.tovri");
    QVERIFY(QFile::link("../data/real.tovri", link));
    writeSettings({{"Main/save-path", dir.path()}});
    MainWindow window;
    QVERIFY(window.loadFile(link));
    const int index = window.tabWidget()->currentIndex();
    GLWidget *tab = window.currentWidget();

    {
      DialogScript script({DialogScript::file(link), DialogScript::box(QMessageBox::Yes)});
      QVERIFY(window.save(index));
      QVERIFY(script.done());
    }
    QCOMPARE(statusText(window), QString("Saved"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFileInfo(link).symLinkTarget(), real);
    QCOMPARE(fileBytes(link), capture);
    QCOMPARE(tab->swapFile->file.fileName(), link);
    QCOMPARE(QDir(dir.filePath("in")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{"link.tovri"});

    const QString next = dir.filePath("out/next.tovri");
    DialogScript script({DialogScript::file(next)});
    QVERIFY(window.save(index));
    QVERIFY(script.done());
    QCOMPARE(statusText(window), QString("Saved"));
    QCOMPARE(fileBytes(next), capture);
    QCOMPARE(tab->swapFile->file.fileName(), next);
    QCOMPARE(fileBytes(real), capture);
  }

  // The working folder refuses to let the capture's name go (read-only,
  // squashfs, a mount point): the capture is copied, and the status line
  // says that it is also still at its old name.
  void aSaveThatLeavesTheOldNameSaysSo()
  {
    UnsavedCaptureWindow s;
    QVERIFY(s.tab);
    FileFaults faults;
    FileCalls &calls = faults.calls();
    const FileCalls real = calls;
    const QByteArray from = QFile::encodeName(s.working);
    const auto refuse = [from](std::function<int(const char *, const char *)> call) {
      return [call, from](const char *a, const char *b) {
        return from == a ? FileFaults::failWith<const char *, const char *>(EROFS)(a, b) : call(a, b);
      };
    };
    calls.renameNoReplace = refuse(real.renameNoReplace);
    calls.rename = refuse(real.rename);
    calls.link = refuse(real.link);
    const QString path = s.dir.filePath("run.tovri");

    DialogScript script({DialogScript::file(path)});
    QVERIFY(s.window.save(s.index));
    QVERIFY(script.done());
    QVERIFY(s.tab->saved);
    QCOMPARE(statusText(s.window), "Saved to " + path + "; the capture is also still at its old name " + s.working);
    QCOMPARE(fileBytes(path), s.capture);
    QCOMPARE(fileBytes(s.working), s.capture);
    QCOMPARE(s.tab->swapFile->file.fileName(), path);
  }

  // A save that failed and could not give the capture its working name back
  // (another file took that name meanwhile): the window says where the
  // capture is, the tab's capture file is that file, and a second save from
  // there takes the capture to the chosen name.
  void failedPutBackSaysWhere()
  {
    UnsavedCaptureWindow s;
    QVERIFY(s.tab);
    const QString folder = QFileInfo(s.working).absolutePath();
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    const QByteArray other("another program's file");
    const QString path = s.dir.filePath("run.tovri");
    {
      FileFaults faults;
      const QByteArray chosen = QFile::encodeName(path), back = QFile::encodeName(s.working);
      faults.calls().rename = [chosen](const char *from, const char *to) {
        return chosen == to ? FileFaults::failWith<const char *, const char *>(EIO)(from, to)
                            : FileCalls::system().rename(from, to);
      };
      const auto taken = FileFaults::takenFirst(FileCalls::system().renameNoReplace, other);
      faults.calls().renameNoReplace = [taken, back](const char *from, const char *to) {
        return back == to ? taken(from, to) : FileCalls::system().renameNoReplace(from, to);
      };
      DialogScript script({DialogScript::file(path)});
      QVERIFY(!s.window.save(s.index));
      QVERIFY(script.done());
    }
    QCOMPARE(fileBytes(s.working), other);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!s.tab->saved);
    QStringList kept;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
      if (!before.contains(name))
        kept.append(QDir(folder).filePath(name));
    QCOMPARE(kept.size(), 1);
    QCOMPARE(fileBytes(kept.first()), s.capture);
    QCOMPARE(s.tab->swapFile->file.fileName(), kept.first());
    const QString told = statusText(s.window);
    QVERIFY2(told.startsWith("Couldn't save file: "), qPrintable(told));
    QVERIFY2(told.contains(QDir::toNativeSeparators(kept.first())), qPrintable(told));

    DialogScript again({DialogScript::file(path)});
    QVERIFY(s.window.save(s.index));
    QVERIFY(again.done());
    QVERIFY(s.tab->saved);
    QCOMPARE(fileBytes(path), s.capture);
    QCOMPARE(s.tab->swapFile->file.fileName(), path);
    QVERIFY(!QFile::exists(kept.first()));
    QCOMPARE(fileBytes(s.working), other);
    QFile::remove(s.working);
  }
};

TOVRI_TEST(SavingNamesTest)
#include "tst_savingnames.moc"
