#include "savingfixture.h"
#include "testmain.h"

#include <QPointer>
#include <QTemporaryDir>

#include <memory>

#include <unistd.h>

using namespace AppFixture;

namespace {

QString tabText(MainWindow &window, GLWidget *tab)
{
  return window.tabWidget()->tabText(window.tabWidget()->indexOf(tab));
}

// Saves `tab` under `path` through the Save dialog; a name in use is
// replaced, as the dialog's own question allows.
bool saveAs(MainWindow &window, GLWidget *tab, const QString &path)
{
  QList<DialogScript::Answer> answers{DialogScript::file(path)};
  if (QFile::exists(path))
    answers << DialogScript::box(QMessageBox::Yes);
  DialogScript script(answers);
  const bool saved = window.save(window.tabWidget()->indexOf(tab));
  return saved && script.done() && script.unexpected == 0;
}

} // namespace

// One capture file shown in two tabs: opened twice, or the working file of
// an unsaved capture opened beside it. A save in one tab moves the file the
// other shows, and the other follows it; closing one never takes the file
// the other still shows.
class SharedFileTabsTest : public QObject
{
  Q_OBJECT

  QTemporaryDir m_dir;
  std::unique_ptr<MainWindow> m_window;
  QPointer<GLWidget> m_first;
  QPointer<GLWidget> m_second;
  QString m_path;
  QByteArray m_bytes;

  // The first tab holds the capture (an unsaved one, or a file opened), the
  // second the same file opened again: by its name, or by a symbolic link or
  // a second hard name `alias` beside it.
  void openTwice(bool captured, const QString &alias = QString())
  {
    m_window = std::make_unique<MainWindow>();
    if (captured) {
      m_first = addUnsavedCapture(*m_window);
      QVERIFY(m_first);
      m_path = m_first->swapFile->file.fileName();
    } else {
      m_path = writeLoggerCapture(m_dir.filePath("run.tovri"), 300, true);
      QVERIFY(!m_path.isEmpty());
      QVERIFY(m_window->loadFile(m_path));
      m_first = m_window->currentWidget();
    }
    m_bytes = fileBytes(m_path);
    QVERIFY(m_bytes.size() > SwapFile::headerBlockSize);
    const QString second = alias.isEmpty() ? m_path : m_dir.filePath(alias + ".tovri");
    if (alias == "link")
      QVERIFY(QFile::link(m_path, second));
    else if (!alias.isEmpty())
      QCOMPARE(::link(QFile::encodeName(m_path).constData(), QFile::encodeName(second).constData()), 0);
    QVERIFY(m_window->loadFile(second));
    m_second = m_window->currentWidget();
    QVERIFY(m_second != m_first);
    QCOMPARE(m_second->swapFile->file.fileName(), second);
  }

private slots:
  void init()
  {
    freshWindowState();
    QVERIFY(m_dir.isValid());
    writeSettings({{"Main/save-path", m_dir.path()}});
  }

  void cleanup()
  {
    m_window.reset();
    m_first = nullptr;
    m_second = nullptr;
  }

  void saveInOneMovesTheOther_data()
  {
    QTest::addColumn<bool>("captured");
    QTest::addColumn<bool>("firstSaves");
    QTest::addColumn<QString>("alias");
    QTest::newRow("opened twice, the second saved") << false << false << QString();
    QTest::newRow("opened twice, the first saved") << false << true << QString();
    QTest::newRow("unsaved capture, its opened copy saved") << true << false << QString();
    QTest::newRow("unsaved capture saved, its copy open") << true << true << QString();
    QTest::newRow("opened through a link, the first saved") << false << true << QString("link");
    QTest::newRow("opened by a second hard name, the first saved") << false << true << QString("hard");
  }

  void saveInOneMovesTheOther()
  {
    QFETCH(bool, captured);
    QFETCH(bool, firstSaves);
    QFETCH(QString, alias);
    openTwice(captured, alias);
    if (QTest::currentTestFailed())
      return;
    MainWindow &window = *m_window;
    GLWidget *saver = firstSaves ? m_first : m_second;
    GLWidget *other = firstSaves ? m_second : m_first;
    const bool otherSaved = other->saved;
    const QString star = otherSaved ? QString() : QStringLiteral("*");
    const ReportData report = other->swapFile->readReport();

    const QString moved = m_dir.filePath("moved.tovri");
    QVERIFY(saveAs(window, saver, moved));
    QVERIFY(!QFile::exists(m_path));
    QCOMPARE(fileBytes(moved), m_bytes);
    QCOMPARE(saver->swapFile->file.fileName(), moved);
    QCOMPARE(tabText(window, saver), QString("moved"));

    // The other tab shows the file where it now is, saved or not as before;
    // a name of its own that still leads to the file stays.
    const QString shown = alias == "hard" ? m_dir.filePath("hard.tovri") : moved;
    QCOMPARE(other->swapFile->file.fileName(), shown);
    QCOMPARE(tabText(window, other), star + QFileInfo(shown).baseName());
    QCOMPARE(other->saved, otherSaved);
    QCOMPARE(other->swapFile->readReport().count, report.count);
    if (shown != moved)
      return; // each tab has a name of its own now

    // Its own Save under the name it shows keeps the capture whole.
    QVERIFY(saveAs(window, other, moved));
    QCOMPARE(statusText(window), QString("Saved"));
    QCOMPARE(fileBytes(moved), m_bytes);
    QCOMPARE(tabText(window, other), QString("moved"));

    // And a Save under a third name takes the first saver along.
    const QString again = m_dir.filePath("again.tovri");
    QVERIFY(saveAs(window, other, again));
    QVERIFY(!QFile::exists(moved));
    QCOMPARE(fileBytes(again), m_bytes);
    QCOMPARE(saver->swapFile->file.fileName(), again);
    QCOMPARE(tabText(window, saver), QString("again"));

    // Closing the window leaves the saved capture where it was saved.
    m_window.reset();
    QCOMPARE(fileBytes(again), m_bytes);
  }

  // An unsaved capture discarded while another tab shows its working file:
  // the file stays for that tab, which can still save it.
  void discardKeepsTheFileTheOtherShows()
  {
    openTwice(true);
    if (QTest::currentTestFailed())
      return;
    MainWindow &window = *m_window;
    {
      DialogScript script({DialogScript::box(QMessageBox::No)});
      window.on_closeTab(window.tabWidget()->indexOf(m_first));
      QVERIFY(script.done());
      QVERIFY(script.boxTexts.value(0).endsWith("is not saved. Want to save it before closing?"));
    }
    QVERIFY(!m_first);
    QCOMPARE(fileBytes(m_path), m_bytes);

    const QString kept = m_dir.filePath("kept.tovri");
    QVERIFY(saveAs(window, m_second, kept));
    QCOMPARE(fileBytes(kept), m_bytes);
    QVERIFY(!QFile::exists(m_path));
  }
};

TOVRI_TEST(SharedFileTabsTest)
#include "tst_sharedfiletabs.moc"
