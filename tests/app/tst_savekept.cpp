#include "filefaults.h"
#include "processstate.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QTemporaryDir>

using namespace AppFixture;

// A save that failed and could not give the capture its working name back
// (another file took that name meanwhile): the window says where the
// capture is, the tab's capture file is that file, and a second save from
// there takes the capture to the chosen name.
class SaveKeptTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { freshWindowState(); }

  void failedPutBackSaysWhere()
  {
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    MainWindow window;
    GLWidget *tab = addUnsavedCapture(window);
    QVERIFY(tab);
    const int index = window.tabWidget()->currentIndex();
    const QString working = tab->swapFile->file.fileName();
    const QString folder = QFileInfo(working).absolutePath();
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    const QByteArray capture = fileBytes(working);
    const QByteArray other("another program's file");
    const QString path = dir.filePath("run.tovri");
    {
      FileFaults faults;
      const QByteArray chosen = QFile::encodeName(path), back = QFile::encodeName(working);
      faults.calls().rename = [chosen](const char *from, const char *to) {
        return chosen == to ? FileFaults::failWith<const char *, const char *>(EIO)(from, to)
                            : FileCalls::system().rename(from, to);
      };
      const auto taken = FileFaults::takenFirst(FileCalls::system().renameNoReplace, other);
      faults.calls().renameNoReplace = [taken, back](const char *from, const char *to) {
        return back == to ? taken(from, to) : FileCalls::system().renameNoReplace(from, to);
      };
      DialogScript script({DialogScript::file(path)});
      QVERIFY(!window.save(index));
      QVERIFY(script.done());
    }
    QCOMPARE(fileBytes(working), other);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!tab->saved);
    QStringList kept;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
      if (!before.contains(name))
        kept.append(QDir(folder).filePath(name));
    QCOMPARE(kept.size(), 1);
    QCOMPARE(fileBytes(kept.first()), capture);
    QCOMPARE(tab->swapFile->file.fileName(), kept.first());
    const QString told = statusText(window);
    QVERIFY2(told.startsWith("Couldn't save file: "), qPrintable(told));
    QVERIFY2(told.contains(QDir::toNativeSeparators(kept.first())), qPrintable(told));

    DialogScript again({DialogScript::file(path)});
    QVERIFY(window.save(index));
    QVERIFY(again.done());
    QVERIFY(tab->saved);
    QCOMPARE(fileBytes(path), capture);
    QCOMPARE(tab->swapFile->file.fileName(), path);
    QVERIFY(!QFile::exists(kept.first()));
    QCOMPARE(fileBytes(working), other);
    QFile::remove(working);
  }
};

TOVRI_TEST(SaveKeptTest)
#include "tst_savekept.moc"
