#include "appfixture.h"
#include "capturerig.h"
#include "colorsagent.h"
#include "controlpanel.h"
#include "helpers.h"
#include "popup.h"
#include "plot.h"
#include "processstate.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QDateTime>
#include <QDockWidget>
#include <QComboBox>
#include <QLabel>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QMessageBox>
#include <QPushButton>

#include <limits>

using namespace AppFixture;

namespace {
// The window's clock during the notice tests: a fixed moment.
constexpr qint64 kNoticeNow = 1700000000000;
} // namespace

// Language and theme switching, and the once-a-day notices.
class LanguageTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }
  void cleanup() { qApp->setStyleSheet(QString()); }

  void ukrainianThenEnglish()
  {
    MainWindow window;
    window.addTab();
    window.setWindowTitle("Kept title");
    window.loadLanguage("uk");
    QCOMPARE(window.m_actionSave->text(), QString::fromUtf8("Зберегти"));
    QCOMPARE(window.dockControl()->windowTitle(), QString::fromUtf8("Керування"));
    QCOMPARE(window.m_actionMarkers->text(), QString::fromUtf8("Показати маркери"));
    QCOMPARE(window.plotter()->xAxis->label(), QString::fromUtf8("Час, с: "));
    QCOMPARE(window.windowTitle(), QString("Kept title"));

    window.loadLanguage("en");
    QCOMPARE(window.m_actionSave->text(), QString("Save"));
    QCOMPARE(window.dockControl()->windowTitle(), QString("Control"));
    QCOMPARE(window.plotter()->xAxis->label(), QString("Time, sec: "));
    QCOMPARE(window.windowTitle(), QString("Kept title"));

    // No file for the language: the English source texts.
    window.loadLanguage("uk");
    window.loadLanguage("xx");
    QCOMPARE(window.m_actionSave->text(), QString("Save"));
    QCOMPARE(window.m_comboShowAll->itemText(MainWindow::ShowAllRows - 1), QString("Custom: 10"));
  }

  // Texts the window builds itself and Qt's own dialog texts follow the
  // language too.
  void everyTextFollowsTheLanguage()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    MainWindow::setClock([&bus] { return bus.now(); });
    const auto resetClock = qScopeGuard([] { MainWindow::setClock({}); });
    MainWindow window;
    quietLink();
    pump();
    window.loadLanguage("uk");
    QCOMPARE(MainWindow::noDeviceHint(),
             QString::fromUtf8("Пристрій не під’єднано. Під’єднайте реєстратор TOVRI або джерело живлення Kelvaro чи "
                               "відкрийте файл запису."));
    QVERIFY(window.readoutFormat().contains(QString::fromUtf8("Час: %4")));
    // As the user meets them: the status line of a capture, the file
    // dialogs' titles and the window title once the logger is gone.
    DeviceControl command = CaptureRig::Rig::startCommand(0x07, 10);
    window.on_startMeasurement(command);
    CaptureRig::runBus(bus, window, 500);
    QCOMPARE(statusText(window), QString::fromUtf8("Вимірювання..."));
    window.on_stopButton();
    CaptureRig::runBus(bus, window, 100);
    QVERIFY(!Helpers::isMeasuring);
    {
      DialogScript script({DialogScript::file(QString()), DialogScript::file(QString())});
      QVERIFY(!window.save(window.tabWidget()->currentIndex()));
      window.on_actionLoad();
      QVERIFY(script.done());
      QCOMPARE(script.titles, QStringList({QString::fromUtf8("Зберегти файл"), QString::fromUtf8("Відкрити файл")}));
    }
    bus.unplug(logger);
    pump(1);
    QVERIFY2(window.windowTitle().endsWith(QString::fromUtf8(" - пристрій не під’єднано")), qPrintable(window.windowTitle()));
    QVERIFY(window.controlPanel()->findChild<QComboBox *>("comboBoxSampleRate")->itemText(0).endsWith(
      QString::fromUtf8("(лише один канал)")));
    {
      QMessageBox box(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("Скасувати"));
      QVERIFY(!box.button(QMessageBox::Yes)->text().contains("Yes"));
    }

    window.loadLanguage("en");
    QVERIFY(window.readoutFormat().contains("Time: %4"));
    QCOMPARE(MainWindow::noDeviceHint(),
             QString("No device connected. Connect a TOVRI logger or a Kelvaro power supply, or open a capture file."));
    QMessageBox box(QMessageBox::Question, "t", "x", QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("Cancel"));
  }

  void storedLanguageIsLoadedAtStart()
  {
    writeSettings({{"Options/language", 1}});
    MainWindow window;
    QCOMPARE(window.m_actionOpen->text(), QString::fromUtf8("Відкрити"));
    window.loadLanguage("en");
  }

  void themes()
  {
    MainWindow window;
    const QPalette light = QApplication::palette();
    emit window.changeColorTheme(true);
    QVERIFY(window.darkTheme());
    QCOMPARE(QApplication::palette().color(QPalette::Window), Helpers::darkPalette().color(QPalette::Window));
    QVERIFY(qApp->styleSheet().contains("float-white.png"));
    window.showStatusMessage("x", 0);
    QCOMPARE(window.statusBar()->styleSheet(), QString("color: white"));
    window.showStatusError("x", 0);
    QCOMPARE(window.statusBar()->styleSheet(), QString("color: #ff4444"));
    window.on_changeColors();
    QVERIFY(window.readoutFormat().contains("<font color=white>Time: "));

    emit window.changeColorTheme(false);
    QCOMPARE(QApplication::palette().color(QPalette::Window), light.color(QPalette::Window));
    QVERIFY(qApp->styleSheet().contains("float-black.png"));
    window.on_changeColors();
    QVERIFY(window.readoutFormat().contains("<font color=black>Time: "));
  }

  void chartColoursFollowTheTheme()
  {
    MainWindow window;
    window.addTab();
    window.currentWidget()->addChannels({});
    PlotWidget *plot = window.plotter();
    QCOMPARE(plot->graphCount(), 4);
    {
      ColorsAgent agent(false);
      agent.colors[ColorsAgent::Chart][0] = QColor("#123456");
      agent.colors[ColorsAgent::Mouse][1] = QColor("#abcdef");
    } // written back
    window.on_changeColors();
    QCOMPARE(plot->graph(0)->pen().color(), QColor("#123456"));
    QCOMPARE(plot->graph(3)->pen().color(), QColor("#123456"));
    QVERIFY(window.readoutFormat().contains("<font color=#abcdef>%2 "));
    QVERIFY(window.readoutLabel()->text().contains("#1: --"));

    // While a capture runs the readout keeps its values.
    window.readoutLabel()->setText("live");
    Helpers::isMeasuring = true;
    window.on_changeColors();
    QCOMPARE(window.readoutLabel()->text(), QString("live"));
    Helpers::isMeasuring = false;
  }

  void hintColour_data()
  {
    QTest::addColumn<QVariant>("background");
    QTest::addColumn<QString>("hint");
    QTest::newRow("default white") << QVariant() << "#000000";
    QTest::newRow("dark blue-grey") << QVariant("#203040") << "#dfcfbf";
    QTest::newRow("named") << QVariant("black") << "#ffffff";
    QTest::newRow("unreadable") << QVariant("no colour") << "#ffffff";
    // The inverse of a middle grey is no contrast: the better of black and white.
    QTest::newRow("middle grey") << QVariant("#808080") << "#000000";
  }

  void hintColour()
  {
    QFETCH(QVariant, background);
    QFETCH(QString, hint);
    if (background.isValid())
      writeSettings({{"Settings/chart-background", background}});
    MainWindow window;
    QCOMPARE(window.popUp()->textColorName(), hint);
    QVERIFY(window.popUp()->label()->styleSheet().startsWith("QLabel { color : " + hint + ";margin-top: 6px;"));
    // No box of its own: the text stands on the chart, and can be read there.
    QCOMPARE(window.popUp()->backgroundColor().alpha(), 0);
    QCOMPARE(window.popUp()->outlineColor().alpha(), 0);
    QVERIFY(ColorsAgent::contrast(QColor(hint), window.popUp()->backdrop()) >= 4.5);
  }

  // What stands on the window can be read in both themes; the chart keeps
  // the built-in colours.
  void readableColours_data()
  {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
  }
  void readableColours()
  {
    QFETCH(bool, dark);
    writeSettings({{"Options/dark-color", dark}});
    {
      MainWindow window;
      window.addTab();
      window.currentWidget()->addChannels({});
      QCOMPARE(window.darkTheme(), dark);
      const QColor background = QApplication::palette().color(QPalette::Window);
      const auto colours = [](const QString &text) {
        QList<QColor> out;
        static const QRegularExpression font(QStringLiteral("color ?[=:] ?(#[0-9a-f]{6}|white|black)"));
        for (auto it = font.globalMatch(text); it.hasNext();)
          out << QColor(it.next().captured(1));
        return out;
      };
      const QList<QColor> readout = colours(window.readoutFormat());
      QCOMPARE(readout.size(), 4);
      for (const QColor &c : readout)
        QVERIFY2(ColorsAgent::contrast(c, background) >= 4.5, qPrintable(c.name()));
      for (const char *name : {"labelCh0", "labelMax1", "labelAverage2_2"}) {
        const QList<QColor> row = colours(window.findChild<QLabel *>(name)->styleSheet());
        QCOMPARE(row.size(), 1);
        QVERIFY2(ColorsAgent::contrast(row.at(0), background) >= 4.5, name);
      }
      const QPalette palette = QApplication::palette();
      if (dark)
        QVERIFY(ColorsAgent::contrast(palette.color(QPalette::Link), background) >= 4.5);
      for (int i = 0; i < 3; ++i)
        QCOMPARE(window.plotter()->graph(i)->pen().color(), ColorsAgent::defaultColor(i));
      QVERIFY(ColorsAgent::contrast(QColor(window.popUp()->textColorName()), window.popUp()->backdrop()) >= 4.5);
      emit window.changeColorTheme(false);
    }
  }

  void noticesOncePerDay_data()
  {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("shown");
    const qint64 now = kNoticeNow;
    QTest::newRow("never shown") << QVariant() << true;
    QTest::newRow("an hour ago") << QVariant(now - 3600000) << false;
    // More than a day must have passed.
    QTest::newRow("exactly a day ago") << QVariant(now - 86400000) << false;
    QTest::newRow("a day and a millisecond ago") << QVariant(now - 86400001) << true;
    QTest::newRow("two days ago") << QVariant(now - 2 * 86400000LL) << true;
    QTest::newRow("in the future") << QVariant(now + 10 * 86400000LL) << true;
    QTest::newRow("not a time") << QVariant("soon") << true;
    // Times no notice can have written count as never shown.
    QTest::newRow("lowest 64-bit number") << QVariant(std::numeric_limits<qint64>::min()) << true;
    QTest::newRow("-1") << QVariant(qint64(-1)) << true;
  }

  void noticesOncePerDay()
  {
    QFETCH(QVariant, stored);
    QFETCH(bool, shown);
    MainWindow::setClock([] { return kNoticeNow; });
    const auto wallClock = qScopeGuard([] { MainWindow::setClock({}); });
    for (const char *key : {"sw_notify_time", "fw_notify_time"}) {
      clearSettings();
      if (stored.isValid())
        writeSettings({{QString("Update/") + key, stored}});
      MainWindow window;
      const bool software = QByteArray(key).startsWith("sw");
      const qint64 before = kNoticeNow;
      if (software)
        window.on_newSWAvailable(true);
      else
        window.on_newFWAvailable(true);
      const QString text = software ? "A new software version is available. Go to Settings to update."
                                    : "A new firmware version is available. Go to Settings to update.";
      QCOMPARE(statusText(window) == text, shown);
      if (shown) {
        QVERIFY(readSetting(QString("Update/") + key).toLongLong() >= before);
        window.statusBar()->clearMessage();
        // Not again the same day.
        software ? window.on_newSWAvailable(true) : window.on_newFWAvailable(true);
        QCOMPARE(statusText(window), QString());
      }
      window.statusBar()->clearMessage();
      software ? window.on_newSWAvailable(false) : window.on_newFWAvailable(false);
      QCOMPARE(statusText(window), QString());
    }
  }

  void warningLineComesBackAfterDismissal()
  {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.showStatusWarning();
    QVERIFY(window.marquee()->isVisible());
    QVERIFY(window.warningButton()->isVisible());
    QCOMPARE(window.marquee()->m_strings.size(), 1);
    window.warningButton()->click();
    QVERIFY(!window.marquee()->isVisible());
    QVERIFY(!window.warningButton()->isVisible());
    QVERIFY(window.marquee()->m_strings.isEmpty());
    window.showStatusWarning();
    QCOMPARE(window.marquee()->m_strings.size(), 1);
    QVERIFY(window.marquee()->m_strings.at(0).message.contains("Attention! The current has exceeded 1A."));
  }
};

TOVRI_TEST(LanguageTest)

#include "tst_language.moc"
