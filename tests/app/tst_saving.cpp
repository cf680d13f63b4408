#include "filefaults.h"
#include "helpers.h"
#include "processstate.h"
#include "savingfixture.h"
#include "simbus.h"
#include "testmain.h"

#include <QTabBar>
#include <QTemporaryDir>

#include <optional>

#include <sched.h>
#include <sys/mount.h>

using namespace AppFixture;

namespace {

QStringList leftovers(const QString &folder)
{
  return QDir(folder).entryList({QStringLiteral("tovri-saving-*"), QStringLiteral("tovri-copying-*")},
                                QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

// Saving captures: the move of the working file, replacing, the questions
// when tabs or the window close, and the words for capture-file errors.
class SavingTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void saveMovesTheWorkingFile_data()
  {
    QTest::addColumn<QString>("target"); // "new", "other", "own", "readonly", "cancel", "dots", "missing"
    QTest::addColumn<bool>("saved");
    QTest::newRow("new name") << "new" << true;
    QTest::newRow("over another file") << "other" << true;
    QTest::newRow("onto its own file") << "own" << true;
    QTest::newRow("read-only folder") << "readonly" << false;
    QTest::newRow("dialog cancelled") << "cancel" << false;
    QTest::newRow("two dots") << "dots" << true;
    QTest::newRow("folder missing") << "missing" << false;
  }

  void saveMovesTheWorkingFile()
  {
    QFETCH(QString, target);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    MainWindow window;
    GLWidget *tab = addUnsavedCapture(window);
    QVERIFY(tab);
    const int index = window.tabWidget()->currentIndex();
    const QString working = tab->swapFile->file.fileName();
    const QByteArray capture = fileBytes(working);
    QVERIFY(capture.size() > 512);
    const QString name = window.tabWidget()->tabText(index).mid(1);

    QString path = dir.filePath(target == "dots" ? QString("a.b.tovri") : name + ".tovri");
    QList<DialogScript::Answer> answers{DialogScript::file(target == "cancel" ? QString() : path)};
    if (target == "other") {
      QFile other(path);
      QVERIFY(other.open(QIODevice::WriteOnly));
      other.write("someone else's file");
      other.close();
      answers << DialogScript::box(QMessageBox::Yes); // the dialog's own overwrite question
    } else if (target == "own") {
      // A first save, then the same name again: the capture must survive.
      DialogScript first({DialogScript::file(path)});
      QVERIFY(window.save(index));
      QVERIFY(first.done());
      tab->saved = false;
      answers << DialogScript::box(QMessageBox::Yes);
    } else if (target == "readonly") {
      const QString locked = dir.filePath("locked");
      QVERIFY(QDir().mkdir(locked));
      QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
      if (QFileInfo(locked + "/probe").isWritable() || QFile(locked + "/probe").open(QIODevice::WriteOnly))
        QSKIP("running as a user whom permissions do not stop");
      path = locked + "/" + name + ".tovri";
      answers = {DialogScript::file(path)};
    } else if (target == "missing") {
      path = dir.filePath("gone/" + name + ".tovri");
      answers = {DialogScript::file(path)};
    }

    DialogScript script(answers);
    QCOMPARE(window.save(index), saved);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(script.filters, QStringList{"TOVRI (*.tovri )"});
    if (target != "own")
      QCOMPARE(script.proposals.value(0), dir.filePath(name + ".tovri"));

    QCOMPARE(tab->saved, saved);
    if (saved) {
      QCOMPARE(window.tabWidget()->tabText(index), QFileInfo(path).baseName());
      QCOMPARE(tab->swapFile->file.fileName(), path);
      QCOMPARE(fileBytes(path), capture);
      QVERIFY(!QFile::exists(working));
      QCOMPARE(statusText(window), QString("Saved"));
      // Nothing parked beside the saved file stays behind.
      QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QFileInfo(path).fileName()});
    } else {
      QCOMPARE(window.tabWidget()->tabText(index), "*" + name);
      QCOMPARE(fileBytes(working), capture);
      QCOMPARE(tab->swapFile->file.fileName(), working);
      if (target != "cancel")
        QVERIFY(statusText(window).startsWith("Couldn't save file: "));
    }
    if (target == "readonly")
      QFile::setPermissions(dir.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner);
    if (target != "cancel" && target != "missing")
      QCOMPARE(readSetting("Main/save-path").toString(), QFileInfo(path).absolutePath());

    // The tab's end removes an unsaved working file only, never a saved capture.
    window.closeTabSilent(index, false);
    QCOMPARE(QFile::exists(path), saved);
    QVERIFY(!QFile::exists(working));
  }

  // The disk refuses the capture or its new name: the save says why and
  // the tab keeps its working file, which its close then removes alone.
  // Where the capture has replaced an old file already, the save stands
  // and says what the disk did not confirm.
  void saveFailsWhenTheDiskFails_data()
  {
    QTest::addColumn<bool>("folder"); // the folder's sync fails, not the file's
    QTest::addColumn<bool>("old");    // a file of that name before
    QTest::newRow("file sync") << false << false;
    QTest::newRow("folder sync") << true << false;
    QTest::newRow("folder sync, replacing") << true << true;
  }
  void saveFailsWhenTheDiskFails()
  {
    QFETCH(bool, folder);
    QFETCH(bool, old);
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    MainWindow window;
    GLWidget *tab = addUnsavedCapture(window);
    QVERIFY(tab);
    const int index = window.tabWidget()->currentIndex();
    const QString working = tab->swapFile->file.fileName();
    const QByteArray capture = fileBytes(working);
    const QString path = dir.filePath("run.tovri");
    if (old) {
      QFile earlier(path);
      QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("an older capture") > 0);
      earlier.close();
      FileFaults faults;
      faults.calls().syncFolder = FileFaults::failWith<const char *>(EIO);
      DialogScript script({DialogScript::file(path), DialogScript::box(QMessageBox::Yes)});
      QVERIFY(window.save(index));
      QVERIFY(script.done());
      QVERIFY(tab->saved);
      QCOMPARE(tab->swapFile->file.fileName(), path);
      QCOMPARE(fileBytes(path), capture);
      QVERIFY(!QFile::exists(working));
      // Renamed, the capture is in one file only, and no other is named.
      const QString told = statusText(window);
      QCOMPARE(told, "Saved, but the disk did not confirm the new name (" + qt_error_string(EIO) + ")");
      window.closeTabSilent(index, false);
      QCOMPARE(fileBytes(path), capture);
      return;
    }
    {
      FileFaults faults;
      if (folder)
        faults.calls().syncFolder = FileFaults::failWith<const char *>(EIO);
      else
        faults.calls().fsync = FileFaults::failWith<int>(EIO);
      DialogScript script({DialogScript::file(path)});
      QVERIFY(!window.save(index));
      QVERIFY(script.done());
    }
    QVERIFY(statusText(window).startsWith("Couldn't save file: "));
    QVERIFY2(statusText(window).contains(qt_error_string(EIO)), qPrintable(statusText(window)));
    QVERIFY(!tab->saved);
    QCOMPARE(tab->swapFile->file.fileName(), working);
    QCOMPARE(fileBytes(working), capture);
    QCOMPARE(leftovers(dir.path()), QStringList());
    QCOMPARE(leftovers(QFileInfo(working).absolutePath()), QStringList());
    // The capture went back to its working name.
    QVERIFY(!QFile::exists(path));
    window.closeTabSilent(index, false);
    QVERIFY(!QFile::exists(working));
  }

  // Saving all while the window closes never replaces: a file another
  // program puts at the chosen name just before the capture takes it stays
  // as it is, and the capture stays in its working file.
  void saveAllKeepsAFileThatAppears()
  {
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    auto window = std::make_unique<MainWindow>();
    GLWidget *tab = addUnsavedCapture(*window);
    QVERIFY(tab);
    const QString working = tab->swapFile->file.fileName();
    const QByteArray capture = fileBytes(working);
    const QString path = dir.filePath("run.tovri");
    const QByteArray other("another program's file");
    FileFaults faults;
    const auto taken = FileFaults::takenFirst(FileCalls::system().renameNoReplace, other);
    faults.calls().renameNoReplace = [taken, chosen = QFile::encodeName(path)](const char *from, const char *to) {
      return chosen == to ? taken(from, to) : FileCalls::system().renameNoReplace(from, to);
    };

    window->show();
    DialogScript script({DialogScript::box(QMessageBox::Yes), DialogScript::file(path)});
    QVERIFY(!window->close());
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(fileBytes(path), other);
    QCOMPARE(fileBytes(working), capture);
    QCOMPARE(tab->swapFile->file.fileName(), working);
    QVERIFY(!tab->saved);
    QCOMPARE(statusText(*window), QString("Couldn't save file: A file of that name exists"));
    QCOMPARE(leftovers(dir.path()), QStringList());
  }

  // A saved capture opened in its folder, saved as the user would under its
  // own name reached through another view of that folder: the capture stays
  // whole, and the status line says "Saved".
  void saveAsItselfThroughAnotherView_data()
  {
    QTest::addColumn<QString>("view"); // "link", "fuse", "mount"
    QTest::addColumn<bool>("fromView");
    QTest::newRow("a folder seen through a link") << "link" << false;
    QTest::newRow("a FUSE view, saved into the view") << "fuse" << false;
    QTest::newRow("a FUSE view, opened there, saved into the folder") << "fuse" << true;
    QTest::newRow("a folder mounted twice") << "mount" << false;
  }
  void saveAsItselfThroughAnotherView()
  {
    QFETCH(QString, view);
    QFETCH(bool, fromView);
    QTemporaryDir dir;
    const QString data = dir.filePath("data"), second = dir.filePath("view");
    QVERIFY(QDir().mkdir(data));
    const QString path = writeLoggerCapture(data + "/run.tovri", 3000, true);
    QVERIFY(!path.isEmpty());
    const QByteArray capture = fileBytes(path);
    bool mounted = false;
    if (view == "mount") {
      QVERIFY(QDir().mkdir(second));
      // In a mount namespace of this test's own: nothing shows outside it.
      static const bool own =
        ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
      mounted = own && ::mount(QFile::encodeName(data).constData(), QFile::encodeName(second).constData(), nullptr,
                               MS_BIND, nullptr) == 0;
      if (!mounted)
        QSKIP("This user cannot mount a folder a second time; the simulated views stand in");
    } else {
      QVERIFY(QFile::link(data, second));
    }
    const auto unmount = qScopeGuard([&] {
      if (mounted)
        ::umount2(QFile::encodeName(second).constData(), MNT_DETACH);
    });
    FileFaults faults;
    std::optional<FolderView> shown;
    if (view == "fuse")
      shown.emplace(faults, second, FolderView::Fuse);
    writeSettings({{"Main/save-path", dir.path()}});
    MainWindow window;
    QVERIFY(window.loadFile((fromView ? second : data) + "/run.tovri"));
    const int index = window.tabWidget()->currentIndex();
    const QString target = (fromView ? data : second) + "/run.tovri";

    DialogScript script({DialogScript::file(target), DialogScript::box(QMessageBox::Yes)});
    QVERIFY(window.save(index));
    QVERIFY(script.done());
    QCOMPARE(statusText(window), QString("Saved"));
    QCOMPARE(window.currentWidget()->swapFile->file.fileName(), target);
    QCOMPARE(QDir(data).entryList(QDir::Files | QDir::Hidden), QStringList{"run.tovri"});
    QCOMPARE(fileBytes(data + "/run.tovri"), capture);
  }

  // Save all offers each tab's capture under its own kind, whatever device
  // the window serves.
  void saveAllProposesEachTabsOwnKind()
  {
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    auto window = std::make_unique<MainWindow>();
    QStringList names;
    for (quint8 mode : {SwapFileHeader::Logger, SwapFileHeader::PowerV1, SwapFileHeader::PowerV2}) {
      GLWidget *tab = addUnsavedCapture(*window);
      QVERIFY(tab);
      tab->swapFile->header.mode = mode;
      names << window->tabWidget()->tabText(window->tabWidget()->indexOf(tab)).mid(1);
    }
    window->show();
    DialogScript script({DialogScript::box(QMessageBox::Yes), DialogScript::file(QString()),
                         DialogScript::file(QString()), DialogScript::file(QString())});
    QVERIFY(!window->close());
    QVERIFY(script.done());
    QCOMPARE(script.proposals, (QStringList{dir.filePath(names[0] + ".tovri"), dir.filePath(names[1] + ".kelvpow"),
                                            dir.filePath(names[2] + ".kelvpow")}));
    QCOMPARE(script.filters,
             (QStringList{"TOVRI (*.tovri )", "Kelvaro Power (*.kelvpow )", "Kelvaro Power (*.kelvpow )"}));
  }

  void closeWithUnsavedTabs_data()
  {
    QTest::addColumn<QString>("answer");  // "yes", "no", "cancel"
    QTest::addColumn<int>("failing");     // tab whose chosen name is taken (-1 none)
    QTest::addColumn<int>("cancelled");   // tab whose dialog is cancelled (-1 none)
    QTest::addColumn<bool>("closes");
    QTest::newRow("yes saves all three") << "yes" << -1 << -1 << true;
    QTest::newRow("yes, a name taken") << "yes" << 1 << -1 << false;
    QTest::newRow("yes, a dialog cancelled") << "yes" << -1 << 2 << false;
    QTest::newRow("no discards") << "no" << -1 << -1 << true;
    QTest::newRow("cancel keeps") << "cancel" << -1 << -1 << false;
  }

  void closeWithUnsavedTabs()
  {
    QFETCH(QString, answer);
    QFETCH(int, failing);
    QFETCH(int, cancelled);
    QFETCH(bool, closes);
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    auto window = std::make_unique<MainWindow>();
    QStringList working, chosen;
    QList<QByteArray> captures;
    for (int i = 0; i < 3; ++i) {
      GLWidget *tab = addUnsavedCapture(*window, 100 + i);
      QVERIFY(tab);
      working << tab->swapFile->file.fileName();
      captures << fileBytes(working.last());
      chosen << dir.filePath(QString("run %1.tovri").arg(i));
    }
    // A tab without a capture asks nothing.
    window->addTab();
    QCOMPARE(window->tabWidget()->count(), 4);

    QList<DialogScript::Answer> answers{
      DialogScript::box(answer == "yes" ? QMessageBox::Yes : answer == "no" ? QMessageBox::No : QMessageBox::Cancel)};
    if (answer == "yes") {
      for (int i = 0; i < 3; ++i) {
        answers << DialogScript::file(i == cancelled ? QString() : chosen[i]);
        if (i == failing) {
          QFile taken(chosen[i]);
          QVERIFY(taken.open(QIODevice::WriteOnly));
          taken.write("taken");
          taken.close();
          answers << DialogScript::box(QMessageBox::Yes);
        }
      }
    }
    window->show();
    DialogScript script(answers);
    QCOMPARE(window->close(), closes);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(script.boxTexts.value(0), QString("Not all measurements are saved. Do you want to save them?"));
    if (!closes) {
      // The window stays with every capture it could not save.
      for (int i = 0; i < 3; ++i)
        QCOMPARE(QFile::exists(working[i]), answer != "yes" || i == failing || i == cancelled);
    }
    window.reset();

    for (int i = 0; i < 3; ++i) {
      const bool savedHere = answer == "yes" && i != failing && i != cancelled;
      if (savedHere) {
        QCOMPARE(fileBytes(chosen[i]), captures[i]);
        QVERIFY(!QFile::exists(working[i]));
      } else if (i == failing) {
        QCOMPARE(fileBytes(chosen[i]), QByteArray("taken"));
      } else {
        QVERIFY(!QFile::exists(working[i]));
        QVERIFY(!QFile::exists(chosen[i]));
      }
    }
  }

  void closeTabAsksToSave_data()
  {
    QTest::addColumn<bool>("saveSucceeds");
    QTest::newRow("saved, tab closes") << true;
    QTest::newRow("save cancelled, tab stays") << false;
  }

  void closeTabAsksToSave()
  {
    QFETCH(bool, saveSucceeds);
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    MainWindow window;
    GLWidget *tab = addUnsavedCapture(window);
    QVERIFY(tab);
    const QString working = tab->swapFile->file.fileName();
    const int index = window.tabWidget()->currentIndex();
    const QString path = dir.filePath("kept.tovri");
    DialogScript script({DialogScript::box(QMessageBox::Yes), DialogScript::file(saveSucceeds ? path : QString())});
    window.on_closeTab(index);
    QVERIFY(script.done());
    QCOMPARE(window.tabWidget()->indexOf(tab) < 0, saveSucceeds);
    QCOMPARE(QFile::exists(path), saveSucceeds);
    QCOMPARE(QFile::exists(working), !saveSucceeds);
  }

  void contextMenuAsksOnce_data()
  {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("tabsLeft");
    QTest::addColumn<bool>("workingKept");
    QTest::newRow("cancel keeps every tab") << int(QMessageBox::Cancel) << 2 << true;
    QTest::newRow("no discards") << int(QMessageBox::No) << 1 << false;
  }

  void contextMenuAsksOnce()
  {
    QFETCH(int, answer);
    QFETCH(int, tabsLeft);
    QFETCH(bool, workingKept);
    MainWindow window;
    QStringList working;
    for (int i = 0; i < 2; ++i) {
      GLWidget *tab = addUnsavedCapture(window);
      QVERIFY(tab);
      working << tab->swapFile->file.fileName();
    }
    window.show();
    DialogScript script({DialogScript::box(QMessageBox::StandardButton(answer))});
    pickNextMenuEntry("Close all tabs");
    window.on_contextMenuRequested(window.tabWidget()->tabBar()->tabRect(0).center());
    QTRY_VERIFY(script.done());
    QCOMPARE(script.boxTexts.size(), 1);
    QCOMPARE(window.tabWidget()->count(), tabsLeft);
    for (const QString &path : working)
      QCOMPARE(QFile::exists(path), workingKept);
  }

  void fileErrorWords_data()
  {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("1") << 1 << "Wrong file version";
    QTest::newRow("4") << 4 << "Can't save file";
    QTest::newRow("11") << 11 << "Wrong channels number";
    QTest::newRow("12 damaged") << 12 << "The file is damaged or is not a capture file";
    QTest::newRow("0") << 0 << "Internal file error";
    QTest::newRow("10") << 10 << "Internal file error";
    QTest::newRow("negative") << -3 << "Internal file error";
    QTest::newRow("13") << 13 << "Internal file error";
  }

  void fileErrorWords()
  {
    QFETCH(int, code);
    QFETCH(QString, message);
    MainWindow window;
    window.addTab();
    // Reaches the window through the tab's own capture file.
    emit window.currentWidget()->swapFile->swapFileError(code);
    QCOMPARE(statusText(window), message);
  }

  // A supply plugged in while a Save dialog is up closes every logger tab,
  // but only once the save is done: the capture is saved under the name
  // chosen and nothing is lost.
  void saveDialogHoldsItsTab_data()
  {
    QTest::addColumn<bool>("all"); // Save all's dialogs, else one Save
    QTest::newRow("save") << false;
    QTest::newRow("save all") << true;
  }

  void saveDialogHoldsItsTab()
  {
    QFETCH(bool, all);
    QTemporaryDir dir;
    const QString opened = writeLoggerCapture(dir.filePath("run.tovri"), 300, true);
    QVERIFY(!opened.isEmpty());
    const QByteArray capture = fileBytes(opened);
    SimBus bus;
    MainWindow window;
    quietLink();
    pump(1);
    QVERIFY(window.loadFile(opened));
    QStringList targets{dir.filePath("kept.tovri")};
    QList<DialogScript::Answer> answers{DialogScript::file(targets.first())};
    if (all) {
      QVERIFY(addUnsavedCapture(window));
      targets << dir.filePath("second.tovri");
      answers << DialogScript::file(targets.last());
      window.currentWidget()->saved = true;
      // Save all offers the tabs not saved: make the opened one one of them.
      for (int i = 0; i < window.tabWidget()->count(); ++i)
        qobject_cast<GLWidget *>(window.tabWidget()->widget(i))->saved = false;
    }
    bool plugged = false;
    QTimer::singleShot(0, &window, [&] {
      plugged = true;
      bus.add<SimPowerSupply>();
      HidDevice::m_instance->checkTimerTick();
    });
    DialogScript script(answers);
    const bool saved = all ? window.saveAll() : window.save(window.tabWidget()->currentIndex());
    QVERIFY(plugged);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QVERIFY2(saved, qPrintable(statusText(window)));
    QCOMPARE(fileBytes(targets.first()), capture);
    if (all)
      QVERIFY(fileBytes(targets.last()).size() > 512);
    // The arrival is served once the save has ended: the supply's mode
    // closes the logger tabs, saved, without a question.
    QTRY_VERIFY(Helpers::powerMode);
    QTRY_COMPARE(window.tabWidget()->count(), 0);
    QCOMPARE(script.unexpected, 0);
  }

  // A supply plugged in where the logger was closes every logger tab. A
  // capture the user asked to save goes only once it is saved or on a No to
  // the question that names it, and each Save dialog proposes a logger file.
  void deviceChangeKeepsACaptureToSave_data()
  {
    // The first Save dialog: "cancel", or a name in a "missing" folder
    // ("missing twice": the Save after the question fails as well).
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("again"); // the last answer to the question that names the capture
    QTest::newRow("dialog cancelled, then saved") << "cancel" << true;
    QTest::newRow("name not writable, then No") << "missing" << false;
    QTest::newRow("name not writable twice, then saved") << "missing twice" << true;
  }

  void deviceChangeKeepsACaptureToSave()
  {
    QFETCH(QString, first);
    QFETCH(bool, again);
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}});
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    pump();
    GLWidget *tab = addUnsavedCapture(window);
    QVERIFY(tab);
    const QString name = window.tabWidget()->tabText(window.tabWidget()->indexOf(tab)).mid(1);
    const QString working = tab->swapFile->file.fileName();
    const QByteArray capture = fileBytes(working);
    bus.unplug(logger);
    pump(1);

    const QString kept = dir.filePath("kept.tovri");
    const int failed = first.endsWith("twice") ? 2 : 1; // Saves that fail before the last answer
    QList<DialogScript::Answer> answers{DialogScript::box(QMessageBox::Yes)};
    QStringList questions{"Not all measurements are saved. Do you want to save them?"};
    for (int i = 0; i < failed; ++i) {
      if (i > 0)
        answers << DialogScript::box(QMessageBox::Yes);
      answers << DialogScript::file(first == "cancel" ? QString()
                                                      : dir.filePath(QString("missing%1/").arg(i) + name + ".tovri"));
      questions << name + " was not saved. Do you want to save it?";
    }
    answers << DialogScript::box(again ? QMessageBox::Yes : QMessageBox::No);
    if (again)
      answers << DialogScript::file(kept);
    DialogScript script(answers);
    QList<bool> workingThere;
    script.onModal = [&] { workingThere << QFile::exists(working); };
    bus.add<SimPowerSupply>();
    pump(2);
    QTRY_VERIFY(Helpers::powerMode);
    QTRY_COMPARE(window.tabWidget()->count(), 0);
    QVERIFY(script.done());
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(script.boxTexts, questions);
    QCOMPARE(workingThere, QList<bool>(answers.size(), true));
    for (int i = 0; i < script.proposals.size(); ++i) {
      QCOMPARE(QFileInfo(script.proposals[i]).fileName(), name + ".tovri");
      QCOMPARE(script.filters[i], QString("TOVRI (*.tovri )"));
    }
    QCOMPARE(script.proposals.size(), failed + (again ? 1 : 0));
    QCOMPARE(fileBytes(kept), again ? capture : QByteArray());
    QVERIFY(!QFile::exists(working));
  }

  // What must wait for a read, a question or a Save dialog is refused before
  // any file is asked for, with the words of what it waits for.
  void openRefusedWhileATabIsHeld_data()
  {
    QTest::addColumn<QString>("during");
    QTest::addColumn<QString>("message");
    QTest::newRow("a read") << "read" << "Wait until the capture being read is done.";
    QTest::newRow("the close question") << "close" << "Answer the question about closing Capture 1 first.";
    QTest::newRow("the unsaved question") << "unsaved" << "Answer the question about saving the captures first.";
    QTest::newRow("a Save dialog") << "save" << "Finish saving Capture 1 first.";
  }

  void openRefusedWhileATabIsHeld()
  {
    QFETCH(QString, during);
    QFETCH(QString, message);
    QTemporaryDir dir;
    writeSettings({{"Main/load-path", dir.path()}});
    const QString path = writeLoggerCapture(dir.filePath("run.tovri"), 3000, true);
    QVERIFY(!path.isEmpty());
    MainWindow window;
    QVERIFY(addUnsavedCapture(window));
    QString refusal;
    bool ran = false;
    QTimer::singleShot(0, &window, [&] {
      ran = true;
      window.on_actionLoad();
      refusal = statusText(window);
    });
    // A file dialog of the Open would be "unexpected" and is cancelled.
    QList<DialogScript::Answer> answers;
    if (during == "close" || during == "unsaved")
      answers << DialogScript::box(QMessageBox::Cancel);
    else if (during == "save")
      answers << DialogScript::file(QString());
    DialogScript script(answers);
    const int tabs = window.tabWidget()->count();
    if (during == "read")
      QVERIFY(window.loadFile(path));
    else if (during == "close")
      window.on_closeTab(window.tabWidget()->currentIndex());
    else if (during == "unsaved")
      window.closeAllTabs();
    else
      QVERIFY(!window.save(window.tabWidget()->currentIndex()));
    QVERIFY(ran);
    QCOMPARE(refusal, message);
    QCOMPARE(script.unexpected, 0);
    QVERIFY(script.done());
    QCOMPARE(window.tabWidget()->count(), tabs + (during == "read" ? 1 : 0) - (during == "unsaved" ? tabs : 0));
  }

  // What is asked for while a save (Save's or Save all's) copies the
  // capture to another disk is refused with the save's words, no question
  // or dialog comes up, and the save ends with one whole copy under the
  // name chosen.
  void oneSaveAtATime_data()
  {
    QTest::addColumn<QString>("asked");
    QTest::addColumn<bool>("bySaveAll"); // the save running is one of Save all's
    for (const char *asked : {"save", "save all", "open", "close the window", "close the tab", "close all tabs"})
      QTest::newRow(asked) << asked << false;
    // Save all's hold on the tab refuses Open by itself.
    for (const char *asked : {"save", "save all", "close the window", "close the tab", "close all tabs"})
      QTest::newRow(qPrintable(QString("Save all's, ") + asked)) << asked << true;
  }
  void oneSaveAtATime()
  {
    QFETCH(QString, asked);
    QFETCH(bool, bySaveAll);
    UnsavedCaptureWindow s;
    QVERIFY(s.tab);
    FileFaults faults;
    const FolderView otherDisk(faults, s.dir.path(), FolderView::Mount);
    QString refusal;
    faults.calls().copied = [&, acted = false](qint64, qint64) mutable {
      if (std::exchange(acted, true))
        return;
      asked == "save"       ? s.window.on_actionSave()
      : asked == "save all" ? void(s.window.saveAll())
      : asked == "open"     ? s.window.on_actionLoad()
      : asked == "close the tab" ? s.window.on_closeTab(s.index)
      : asked == "close all tabs" ? (pickNextMenuEntry("Close all tabs"), s.window.on_contextMenuRequested({}))
                                  : void(s.window.close());
      refusal = statusText(s.window);
    };
    s.window.show();
    const QString path = s.dir.filePath("run.tovri");
    DialogScript script({DialogScript::file(path)});
    QVERIFY(bySaveAll ? s.window.saveAll() : s.window.save(s.index));
    QCOMPARE(script.unexpected, 0);
    QCOMPARE(refusal, QString("Finish saving Capture 1 first."));
    QVERIFY(s.window.isVisible());
    QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"run.tovri"});
    QCOMPARE(fileBytes(path), s.capture);
    QCOMPARE(s.window.tabWidget()->tabText(s.index), QString("run"));
    QVERIFY(!QFile::exists(s.working));
  }
};

TOVRI_TEST(SavingTest)
#include "tst_saving.moc"
