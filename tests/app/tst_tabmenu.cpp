#include "appfixture.h"
#include "glwidget.h"
#include "testmain.h"

#include <QTabBar>
#include <QTabWidget>

using namespace AppFixture;

// The tab bar's menu closes the tabs it asked about, as they were when
// asked: the question about unsaved ones lets events run, and a tab may go
// meanwhile (as the tab of a cancelled read goes by itself).
class TabMenuTest : public QObject
{
  Q_OBJECT

  static QStringList tabNames(MainWindow &window)
  {
    QStringList names;
    for (int i = 0; i < window.tabWidget()->count(); ++i)
      names.append(window.tabWidget()->tabText(i));
    return names;
  }

private slots:
  void init() { freshWindowState(); }

  // Five tabs, Capture 1 to 5; the menu opened over `under`, `unsaved` not
  // saved, so that the question comes, and `gone` closed under it.
  void closesTheTabsAskedAbout_data()
  {
    QTest::addColumn<int>("under");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("unsaved");
    QTest::addColumn<int>("gone");
    QTest::addColumn<QStringList>("left");
    const QString l = "Close tabs to the left", r = "Close tabs to the right", a = "Close all tabs";
    QTest::newRow("right of the third, the first gone") << 2 << r << 4 << 0 << QStringList{"Capture 2", "Capture 3"};
    QTest::newRow("right of the third, the second gone") << 2 << r << 3 << 1 << QStringList{"Capture 1", "Capture 3"};
    QTest::newRow("right of the third, itself gone") << 2 << r << 3 << 2 << QStringList{"Capture 1", "Capture 2"};
    QTest::newRow("right of the second, the fourth gone")
      << 1 << r << 2 << 3 << QStringList{"Capture 1", "Capture 2"};
    QTest::newRow("right of the second, the unsaved one gone")
      << 1 << r << 4 << 4 << QStringList{"Capture 1", "Capture 2"};
    QTest::newRow("left of the fourth, the second gone") << 3 << l << 0 << 1 << QStringList{"Capture 4", "Capture 5"};
    QTest::newRow("left of the fourth, itself gone") << 3 << l << 1 << 3 << QStringList{"Capture 5"};
    QTest::newRow("left of the third, the fifth gone")
      << 2 << l << 0 << 4 << QStringList{"Capture 3", "Capture 4"};
    QTest::newRow("all, the fourth gone") << 1 << a << 2 << 3 << QStringList{"Capture 1"};
  }

  void closesTheTabsAskedAbout()
  {
    QFETCH(int, under);
    QFETCH(QString, entry);
    QFETCH(int, unsaved);
    QFETCH(int, gone);
    QFETCH(QStringList, left);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int i = 0; i < 5; ++i)
      window.addTab();
    qobject_cast<GLWidget *>(window.tabWidget()->widget(unsaved))->saved = false;
    QTabBar *bar = window.tabWidget()->tabBar();
    const QPoint pos = bar->tabRect(under).center();
    QCOMPARE(bar->tabAt(pos), under);
    QString question;
    int asked = 0;
    QTimer poll;
    poll.setInterval(1);
    connect(&poll, &QTimer::timeout, &window, [&] {
      auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
      if (!box || asked > 0)
        return;
      ++asked;
      question = box->text();
      window.closeTabSilent(gone, true);
      box->button(QMessageBox::No)->click();
    });
    poll.start();
    pickNextMenuEntry(entry);
    window.on_contextMenuRequested(pos);
    poll.stop();
    QCOMPARE(asked, 1);
    QCOMPARE(question, QString("Not all measurements are saved. Do you want to save them?"));
    QCOMPARE(tabNames(window), left);
  }
};

TOVRI_TEST(TabMenuTest)
#include "tst_tabmenu.moc"
