#include "overcurrent.h"
#include "panel.h"
#include "panelfixture.h"
#include "popup.h"
#include "testmain.h"
#include "waitindicator.h"

#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QSettings>
#include <QWindow>

using namespace panelfixture;

// The pop-up notice, the over-current detector, the busy cursor and the panel base.
class PopUpTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { resetState(); }
  void cleanup() { resetState(); }

  void overCurrentRuns_data()
  {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("run"); // per value: o over, u under, e exactly 1.2 A, j just below, r reset
    QTest::addColumn<QString>("reports"); // isOver after each step: 1 true, 0 false
    const QString o20(20, 'o');
    QTest::newRow("20 over") << QByteArray() << o20 << QString(20, '0');
    QTest::newRow("21 over") << QByteArray() << o20 + "o" << QString(20, '0') + "1";
    QTest::newRow("22 over") << QByteArray() << o20 + "oo" << QString(20, '0') + "10";
    QTest::newRow("break restarts") << QByteArray() << o20 + "j" + o20 + "o" << QString(41, '0') + "1";
    QTest::newRow("exact threshold") << QByteArray() << QString(21, 'e') << QString(20, '0') + "1";
    QTest::newRow("reset rearms") << QByteArray() << o20 + "o" + "oo" + "r" + o20 + "o"
                                  << QString(20, '0') + "100" + "0" + QString(20, '0') + "1";
    QTest::newRow("length 0") << QByteArray("[Main]\novercurrent_length=0\n") << "uoo" << "010";
    QTest::newRow("length -5") << QByteArray("[Main]\novercurrent_length=-5\n") << "uuo" << "001";
    QTest::newRow("length junk") << QByteArray("[Main]\novercurrent_length=abc\n") << "uo" << "01";
    QTest::newRow("length 2") << QByteArray("[Main]\novercurrent_length=2\n") << "ooouooorooo" << "00100000001";
  }
  void overCurrentRuns()
  {
    QFETCH(QByteArray, settings);
    QFETCH(QString, run);
    QFETCH(QString, reports);
    if (!settings.isEmpty())
      writeSettings(settings);
    OverCurrent detector;
    QVERIFY(!detector.isOver()); // nothing seen yet
    QString seen;
    for (QChar step : run) {
      switch (step.toLatin1()) {
      case 'o': detector.update(1300000.0); break;
      case 'u': detector.update(0.0); break;
      case 'e': detector.update(1200000.0); break;
      case 'j': detector.update(std::nextafter(1200000.0, 0.0)); break;
      case 'r': detector.hideOverCurrent(); break;
      }
      seen += detector.isOver() ? '1' : '0';
    }
    QCOMPARE(seen, reports);
  }

  void overCurrentWritesItsKey()
  {
    QVERIFY(!Settings().contains("Main/overcurrent_length"));
    OverCurrent::m_overCurrent = nullptr;
    OverCurrent *detector = OverCurrent::instance();
    QCOMPARE(OverCurrent::instance(), detector);
    QCOMPARE(Settings().value("Main/overcurrent_length").toString(), QString("20"));
    delete detector;
    OverCurrent::m_overCurrent = nullptr;
    writeSettings("[Main]\novercurrent_length=-5\n");
    OverCurrent negative;
    QCOMPARE(Settings().value("Main/overcurrent_length").toInt(), 0);
  }

  void popUpFades()
  {
    QWidget main;
    main.resize(800, 600);
    PopUp popup(&main);
    auto *fade = popup.findChild<QPropertyAnimation *>();
    QVERIFY(fade);
    QCursor::setPos(300, 200);
    popup.setPopupText(QStringLiteral("#0: 1.5 mA"));
    QVERIFY(popup.isVisible());
    QCOMPARE(popup.getPopupText(), QString("#0: 1.5 mA"));
    QCOMPARE(popup.pos(), QCursor::pos() + QPoint(1, 1));
    QCOMPARE(popup.getPopupOpacity(), 0.0f);

    fade->setCurrentTime(fade->duration()); // fade-in done
    QCOMPARE(popup.getPopupOpacity(), 1.0f);
    popup.hide();
    QVERIFY(popup.isVisible()); // shown: only the fade-out hides it

    popup.hideAnimation();
    QCOMPARE(fade->duration(), 1000);
    fade->setCurrentTime(500);
    QVERIFY(popup.isVisible());
    // A second text while fading out: back to the fade-in at the new place.
    QCursor::setPos(420, 260);
    popup.setPopupText(QStringLiteral("#1: 3.30 V"));
    QCOMPARE(popup.getPopupText(), QString("#1: 3.30 V"));
    QCOMPARE(popup.pos(), QCursor::pos() + QPoint(1, 1));
    QCOMPARE(fade->duration(), 150);
    QCOMPARE(fade->endValue().toFloat(), 1.0f);
    fade->setCurrentTime(fade->duration());
    QVERIFY(popup.isVisible());

    popup.hideAnimation();
    fade->setCurrentTime(fade->duration());
    QCOMPARE(popup.getPopupOpacity(), 0.0f);
    QVERIFY(!popup.isVisible());

    popup.focusShow();
    QVERIFY(popup.isVisible());
    popup.focusHide();
    QVERIFY(!popup.isVisible());
  }

  // An empty readout never shows a box, and clears one that is up.
  void popUpWithoutText()
  {
    QWidget main;
    main.resize(800, 600);
    PopUp popup(&main);
    auto *fade = popup.findChild<QPropertyAnimation *>();
    popup.setPopupText(QString());
    QVERIFY(!popup.isVisible());
    popup.show();
    QVERIFY(!popup.isVisible());
    popup.setPopupText(QStringLiteral("#0: 1.5 mA"));
    fade->setCurrentTime(fade->duration());
    QVERIFY(popup.isVisible());
    popup.setPopupText(QString());
    QVERIFY(!popup.isVisible());
    QCOMPARE(popup.getPopupOpacity(), 0.0f);
    // Its timer and fade are stopped: nothing brings the box back.
    QCOMPARE(fade->state(), QAbstractAnimation::Stopped);
    popup.show();
    QVERIFY(!popup.isVisible());
  }

  void popUpDrags()
  {
    PopUp popup;
    popup.setPosition(100, 100);
    popup.focusShow();
    const QPoint grab(12, 7);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(grab), QPointF(popup.mapToGlobal(grab)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&popup, &press);
    const QPoint to(340, 215);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab), QPointF(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&popup, &move);
    QCOMPARE(popup.pos(), to - grab);
    popup.MainWindowPos(10, 20);
    QCOMPARE(popup.pos(), QPoint(10, 20) + (to - grab) - QPoint(177, 131));
  }

  void popUpKeepsItsPlace()
  {
    {
      PopUp popup;
      popup.setName(QStringLiteral("Hint"));
      popup.setPosition(640, 480);
    }
    QSettings settings;
    QCOMPARE(settings.value("Hint/x").toInt(), 640);
    QCOMPARE(settings.value("Hint/y").toInt(), 480);
    QCOMPARE(settings.value("Hint/mainBiasY").toInt(), 541);
  }

  void waitIndicatorsNest()
  {
    QVERIFY(!QGuiApplication::overrideCursor());
    {
      WaitIndicator outer;
      QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
      {
        WaitIndicator inner;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
      }
      QVERIFY(QGuiApplication::overrideCursor());
      QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(!QGuiApplication::overrideCursor());
  }

  void panelLeavesTheFocus()
  {
    QWidget main;
    QLineEdit edit(&main);
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    edit.setFocus();
    QCOMPARE(QApplication::focusWidget(), &edit);
    Panel panel(&main);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTest::qWait(10);
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
      // This platform activates every window it shows; what it can check is
      // that the panel's window asks to be shown without activation.
      QVERIFY(panel.windowHandle()->property("_q_showWithoutActivating").toBool());
    } else {
      QCOMPARE(QApplication::activeWindow(), &main);
      QCOMPARE(QApplication::focusWidget(), &edit);
    }
    QVERIFY(!(panel.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(panel.windowFlags() & Qt::CustomizeWindowHint);
    QCOMPARE(panel.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
  }
};

TOVRI_TEST(PopUpTest)
#include "tst_popup.moc"
