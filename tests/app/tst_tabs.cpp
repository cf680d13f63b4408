#include "appfixture.h"
#include "glwidget.h"
#include "helpers.h"
#include "plot.h"
#include "processstate.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QSet>
#include <QTabBar>
#include <QTabWidget>

#include <memory>

using namespace AppFixture;

namespace {

QStringList tabNames(MainWindow &window)
{
  QStringList names;
  for (int i = 0; i < window.tabWidget()->count(); ++i)
    names.append(window.tabWidget()->tabText(i));
  return names;
}

} // namespace

// Capture tabs: names, the close questions and the tab bar's context menu.
class TabsTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void namesStayUnique()
  {
    MainWindow window;
    for (int i = 0; i < 3; ++i)
      window.addTab();
    QCOMPARE(tabNames(window), (QStringList{"Capture 1", "Capture 2", "Capture 3"}));
    window.closeTabSilent(1, true);
    window.addTab();
    QCOMPARE(tabNames(window), (QStringList{"Capture 1", "Capture 3", "Capture 4"}));
    // A running capture's mark does not free its number.
    window.tabWidget()->setTabText(0, "*Capture 1");
    window.closeTabSilent(2, true);
    window.addTab();
    QCOMPARE(tabNames(window), (QStringList{"*Capture 1", "Capture 3", "Capture 4"}));
    QCOMPARE(window.plotter()->objectName(), QString("Capture 4"));
    QCOMPARE(window.currentWidget()->objectName(), QString("tab_Capture 4"));
  }

  void closeQuestions_data()
  {
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("tabsLeft");
    QTest::newRow("saved, yes") << true << int(QMessageBox::Yes) << "Close Capture 2?" << 1;
    QTest::newRow("saved, no") << true << int(QMessageBox::No) << "Close Capture 2?" << 2;
    QTest::newRow("unsaved, no") << false << int(QMessageBox::No)
                                 << "Capture 2 is not saved. Want to save it before closing?" << 1;
    QTest::newRow("unsaved, cancel") << false << int(QMessageBox::Cancel)
                                     << "Capture 2 is not saved. Want to save it before closing?" << 2;
  }

  void closeQuestions()
  {
    QFETCH(bool, saved);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(int, tabsLeft);
    MainWindow window;
    window.addTab();
    window.addTab();
    qobject_cast<GLWidget *>(window.tabWidget()->widget(1))->saved = saved;
    QString asked;
    answerNextBox(QMessageBox::StandardButton(answer), &asked);
    window.on_closeTab(1);
    QCOMPARE(asked, question);
    QCOMPARE(window.tabWidget()->count(), tabsLeft);
    QCOMPARE(window.tabWidget()->tabText(0), QString("Capture 1"));
  }

  // A supply plugged while the close question is up waits for the answer:
  // the change of kind would close the tab asked about under the question.
  void supplyPluggedDuringTheCloseQuestion()
  {
    SimBus bus;
    MainWindow window;
    quietLink();
    window.addTab();
    window.addTab();
    QString asked;
    QTimer::singleShot(0, &window, [&] {
      bus.add<SimPowerSupply>();
      HidDevice::m_instance->checkTimerTick();
      answerNextBox(QMessageBox::Yes, &asked);
    });
    window.on_closeTab(1);
    QCOMPARE(asked, QString("Close Capture 2?"));
    QCOMPARE(tabNames(window), QStringList{"Capture 1"});
    QTRY_VERIFY(Helpers::powerMode);
    QTRY_COMPARE(window.tabWidget()->count(), 0);
  }

  void closingTheLastTabLeavesAFreshOne()
  {
    MainWindow window;
    window.addTab();
    QString asked;
    answerNextBox(QMessageBox::Yes, &asked);
    window.on_closeTab(0);
    QCOMPARE(asked, QString("Close Capture 1?"));
    QCOMPARE(tabNames(window), QStringList{"Capture 1"});
    QCOMPARE(window.plotter()->graphCount(), 4);
    QVERIFY(window.readoutLabel()->text().contains("#0: --"));
  }

  void indexNamingNoTabDoesNothing_data()
  {
    QTest::addColumn<int>("index");
    QTest::newRow("empty bar") << -1;
    QTest::newRow("past the end") << 2;
    QTest::newRow("far negative") << -100;
  }

  void indexNamingNoTabDoesNothing()
  {
    QFETCH(int, index);
    int stops = 0; // outlives the window, which stops once more when destroyed
    MainWindow window;
    window.addTab();
    window.addTab();
    Helpers::isMeasuring = true;
    connect(&window, &MainWindow::stopMeasurement, this, [&stops] { ++stops; });
    int asked = 0;
    answerNextBox(QMessageBox::Yes, nullptr, &asked);
    emit window.tabWidget()->tabBar()->tabBarDoubleClicked(index);
    QCoreApplication::processEvents();
    QCOMPARE(asked, 0);
    QCOMPARE(stops, 0);
    QVERIFY(Helpers::isMeasuring);
    QCOMPARE(window.tabWidget()->count(), 2);
    Helpers::isMeasuring = false;
  }

  void contextMenu_data()
  {
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("under");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("left");
    const QString l = "Close tabs to the left", r = "Close tabs to the right", a = "Close all tabs";
    QTest::newRow("left of the first") << 3 << 0 << l << QStringList{"Capture 1", "Capture 2", "Capture 3"};
    QTest::newRow("left of the third") << 5 << 2 << l << QStringList{"Capture 3", "Capture 4", "Capture 5"};
    QTest::newRow("left of nothing") << 3 << -1 << l << QStringList{"Capture 1", "Capture 2", "Capture 3"};
    QTest::newRow("right of the third") << 5 << 2 << r << QStringList{"Capture 1", "Capture 2", "Capture 3"};
    QTest::newRow("right of the last") << 3 << 2 << r << QStringList{"Capture 1", "Capture 2", "Capture 3"};
    QTest::newRow("right of nothing") << 3 << -1 << r << QStringList{"Capture 1", "Capture 2", "Capture 3"};
    QTest::newRow("all, from the middle") << 3 << 1 << a << QStringList{"Capture 1"};
    QTest::newRow("all, of nothing") << 2 << -1 << a << QStringList{"Capture 1"};
  }

  void contextMenu()
  {
    QFETCH(int, tabs);
    QFETCH(int, under);
    QFETCH(QString, entry);
    QFETCH(QStringList, left);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < tabs; ++i)
      window.addTab();
    QTabBar *bar = window.tabWidget()->tabBar();
    const QPoint pos = under < 0 ? QPoint(-20, -20) : bar->tabRect(under).center();
    QCOMPARE(bar->tabAt(pos), under);
    pickNextMenuEntry(entry);
    window.on_contextMenuRequested(pos);
    QCOMPARE(tabNames(window), left);
  }

  // A tab that goes while the question about the unsaved ones is up (as a
  // cancelled read's tab goes) leaves the others where they were asked
  // about: only the tabs named are closed, never one beside them.
  void tabGoneUnderTheQuestion_data()
  {
    QTest::addColumn<int>("under");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("gone"); // the tab closed while the question is up
    QTest::addColumn<QStringList>("left");
    QTest::newRow("left of the fourth, the first gone") << 3 << "Close tabs to the left" << 0
                                                        << QStringList{"Capture 4", "Capture 5"};
    QTest::newRow("right of the first, the second gone") << 0 << "Close tabs to the right" << 1
                                                         << QStringList{"Capture 1"};
    QTest::newRow("left of the fourth, the fifth gone") << 3 << "Close tabs to the left" << 4
                                                        << QStringList{"Capture 4"};
  }

  void tabGoneUnderTheQuestion()
  {
    QFETCH(int, under);
    QFETCH(QString, entry);
    QFETCH(int, gone);
    QFETCH(QStringList, left);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < 5; ++i)
      window.addTab();
    // Capture 3 is unsaved: closing the group asks about it.
    auto *unsaved = qobject_cast<GLWidget *>(window.tabWidget()->widget(2));
    unsaved->saved = false;
    QTabBar *bar = window.tabWidget()->tabBar();
    const QPoint pos = bar->tabRect(under).center();
    int asked = 0;
    QTimer poll;
    poll.setInterval(1);
    connect(&poll, &QTimer::timeout, &window, [&] {
      auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
      if (!box || asked > 0)
        return;
      ++asked;
      window.closeTabSilent(gone, true);
      box->button(QMessageBox::No)->click();
    });
    poll.start();
    pickNextMenuEntry(entry);
    window.on_contextMenuRequested(pos);
    QCOMPARE(asked, 1);
    QCOMPARE(tabNames(window), left);
  }

  void closeAllLeavesNoTab()
  {
    MainWindow window;
    for (int i = 0; i < 4; ++i)
      window.addTab();
    window.closeAllTabs();
    QCOMPARE(window.tabWidget()->count(), 0);
    QVERIFY(window.currentWidget() == nullptr);
    QVERIFY(window.plotter() == nullptr);
  }

  // Working files that cannot be removed (a folder took their names):
  // closing a tab says so, and tabs that go with the window tell it nothing.
  void unremovableWorkingFiles()
  {
    auto window = std::make_unique<MainWindow>();
    QList<GLWidget *> tabs{addUnsavedCapture(*window), addUnsavedCapture(*window)};
    for (GLWidget *tab : tabs) {
      QVERIFY(tab);
      const QString working = tab->swapFile->file.fileName();
      QVERIFY(QFile::remove(working) && QDir().mkpath(working + "/kept"));
    }
    answerNextBox(QMessageBox::No);
    window->on_closeTab(window->tabWidget()->indexOf(tabs.first()));
    QCOMPARE(statusText(*window), QString("Can't remove file"));
    window.reset();
  }
};

TOVRI_TEST(TabsTest)

#include "tst_tabs.moc"
