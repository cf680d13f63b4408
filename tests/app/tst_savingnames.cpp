#include "filefaults.h"
#include "processstate.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <unistd.h>

using namespace AppFixture;

// The names a save through the window leaves: a capture opened through a
// link and saved under the link's name keeps the link, and a save that
// leaves the capture under its old name too says so in the status line.
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
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    MainWindow window;
    GLWidget *tab = addUnsavedCapture(window);
    QVERIFY(tab);
    const int index = window.tabWidget()->currentIndex();
    const QString working = tab->swapFile->file.fileName();
    const QByteArray capture = fileBytes(working);
    FileFaults faults;
    FileCalls &calls = faults.calls();
    const FileCalls real = calls;
    const QByteArray from = QFile::encodeName(working);
    const auto refuse = [from](std::function<int(const char *, const char *)> call) {
      return [call, from](const char *a, const char *b) {
        return from == a ? FileFaults::failWith<const char *, const char *>(EROFS)(a, b) : call(a, b);
      };
    };
    calls.renameNoReplace = refuse(real.renameNoReplace);
    calls.rename = refuse(real.rename);
    calls.link = refuse(real.link);
    const QString path = dir.filePath("run.tovri");

    DialogScript script({DialogScript::file(path)});
    QVERIFY(window.save(index));
    QVERIFY(script.done());
    QVERIFY(tab->saved);
    QCOMPARE(statusText(window), "Saved to " + path + "; the capture is also still at its old name " + working);
    QCOMPARE(fileBytes(path), capture);
    QCOMPARE(fileBytes(working), capture);
    QCOMPARE(tab->swapFile->file.fileName(), path);
  }
};

TOVRI_TEST(SavingNamesTest)
#include "tst_savingnames.moc"
