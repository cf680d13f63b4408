#include "progressdialog.h"
#include "testmain.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class ProgressDialogTest : public QObject
{
  Q_OBJECT

private slots:
  void startsAtItsMinimum()
  {
    ProgressDialog d(10, 20);
    QCOMPARE(d.minimum(), 10);
    QCOMPARE(d.maximum(), 20);
    QCOMPARE(d.value(), 10);
    QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(d.windowTitle().isEmpty());
    QVERIFY(d.info().isEmpty());
    QVERIFY(d.findChild<QProgressBar *>("progressBar")->minimumWidth() >= 480);
    QCOMPARE(d.findChild<QPushButton *>("closeButton")->text(), QString("Close"));
  }

  void valuesOutsideTheRangeAreIgnored()
  {
    ProgressDialog d(0, 100);
    d.setValue(42);
    QCOMPARE(d.value(), 42);
    d.setValue(101);
    QCOMPARE(d.value(), 42);
    d.setValue(-1);
    QCOMPARE(d.value(), 42);
    d.setValue(100);
    QCOMPARE(d.value(), 100);
    d.setIndeterminate();
    QCOMPARE(d.maximum(), 0);
  }

  void closeButtonCancelsAndEscDoesNot()
  {
    ProgressDialog d(0, 100);
    QSignalSpy canceled(&d, &ProgressDialog::canceled);
    d.setWindowModality(Qt::WindowModal);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QTest::keyClick(&d, Qt::Key_Escape);
    QVERIFY(d.isVisible());
    QCOMPARE(canceled.count(), 0);
    QTest::mouseClick(d.findChild<QPushButton *>("closeButton"), Qt::LeftButton);
    QCOMPARE(canceled.count(), 1);
  }

  void languageChangeResetsTheTexts()
  {
    ProgressDialog d(0, 100);
    d.setInfo("Decimating...");
    QCOMPARE(d.findChild<QLabel *>("labelInfo")->text(), QString("Decimating..."));
    d.setWindowTitle("x");
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(&d, &change);
    QVERIFY(d.info().isEmpty());
    QVERIFY(d.windowTitle().isEmpty());
    QCOMPARE(d.findChild<QPushButton *>("closeButton")->text(), QString("Close"));
  }
};

TOVRI_TEST(ProgressDialogTest)
#include "tst_progressdialog.moc"
