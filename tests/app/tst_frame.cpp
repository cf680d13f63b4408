#include "appfixture.h"
#include "helpers.h"
#include "markerbar.h"
#include "swapfile.h" // needed complete by the strip's header
#include "navigationbar.h"
#include "reportbar.h"
#include "packet.h"
#include "processstate.h"
#include "testmain.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDockWidget>
#include <QIcon>
#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QWidgetAction>

#include <limits>

using namespace AppFixture;

namespace {

// Records the largest size a watched window is given. One beyond `room` is
// taken back at once, before it can be painted: a failing run must not ask
// for a picture of gigabytes.
class SizeWatch : public QObject
{
public:
  explicit SizeWatch(const QRect &room)
    : m_room(room)
  {
  }
  QSize largest;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override
  {
    if (event->type() == QEvent::Resize) {
      auto *window = static_cast<QWidget *>(watched);
      largest = largest.expandedTo(window->size());
      if (window->width() > m_room.width() || window->height() > m_room.height())
        window->resize(window->minimumSize());
    }
    return false;
  }

private:
  QRect m_room;
};

} // namespace

// The window's frame against its settings file: first start, damaged
// values of every kind, and what it writes back when it closes.
class FrameTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }
  void cleanup() { clearSettings(); }

  void firstStartWithoutSettings()
  {
    MainWindow window;
    QCOMPARE(window.dockWidgetArea(window.dockStatus()), Qt::LeftDockWidgetArea);
    QCOMPARE(window.dockWidgetArea(window.dockControl()), Qt::LeftDockWidgetArea);
    QCOMPARE(window.tabifiedDockWidgets(window.dockControl()), QList<QDockWidget *>{window.dockStatus()});
    QVERIFY(!window.dockStatus()->isHidden());
    QVERIFY(!window.dockControl()->isHidden());
    QCOMPARE(window.languageIndex(), 0);
    QCOMPARE(Helpers::timeFormat, 1);
    QVERIFY(!window.darkTheme());
    QCOMPARE(window.windowTitle(), QCoreApplication::applicationName());
    QCOMPARE(window.tabWidget()->count(), 0);
    QCOMPARE(window.measuringTime(), 10);
    QCOMPARE(window.showAllLength(), 10);
    QCOMPARE(window.m_actionMarkers->text(), QString("Show Markers"));
    QCOMPARE(window.m_actionReport->text(), QString("Show Report"));
    QVERIFY(!window.m_actionReport->isVisible());
    QVERIFY(window.readoutFormat().contains("%4"));
    // The program's own icon, not the About page's picture.
    const QImage icon = QIcon(":/res/tovri.png").pixmap(64).toImage();
    QVERIFY(!icon.isNull());
    QCOMPARE(window.windowIcon().pixmap(64).toImage(), icon);
    QVERIFY(icon != QIcon(":/res/Pravek.png").pixmap(64).toImage());
    // The built-in logger descriptions serve until the logger sends its own.
    QCOMPARE(ChannelInfo::channelCount(), 3);
    QVERIFY(ChannelInfo::getChannelInfo(0).info().startsWith(QString::fromUtf8("μA,Current")));
    QCOMPARE(int(DeviceInfo::m_deviceInfo->data()[3]), 3);
  }

  void damagedSettings_data()
  {
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("measuring");
    QTest::addColumn<int>("showAll");
    QTest::addColumn<int>("customMeasuring");
    QTest::addColumn<int>("customShowAll");

    const int c10 = 10;
    QTest::newRow("language above the list") << QVariantMap{{"Options/language", 7}} << 0 << 10 << 10 << c10 << c10;
    QTest::newRow("language below the list") << QVariantMap{{"Options/language", -1}} << 0 << 10 << 10 << c10 << c10;
    QTest::newRow("language not a number") << QVariantMap{{"Options/language", "uk"}} << 0 << 10 << 10 << c10 << c10;
    QTest::newRow("valid language") << QVariantMap{{"Options/language", 1}} << 1 << 10 << 10 << c10 << c10;
    QTest::newRow("time row past the list") << QVariantMap{{"Options/time-length-index", 99}} << 0 << 10 << 10 << c10
                                            << c10;
    QTest::newRow("time row negative") << QVariantMap{{"Options/time-length-index", -3}} << 0 << 10 << 10 << c10 << c10;
    QTest::newRow("infinite row") << QVariantMap{{"Options/time-length-index", 3}} << 0 << -1 << 10 << c10 << c10;
    QTest::newRow("view row past the list") << QVariantMap{{"Options/showall-length-index", 8}} << 0 << 10 << 10 << c10
                                            << c10;
    QTest::newRow("custom time zero") << QVariantMap{{"Options/time-length-index", 4}, {"Options/serie-length-sec", 0}}
                                      << 0 << 10 << 10 << c10 << c10;
    QTest::newRow("custom time beyond int")
      << QVariantMap{{"Options/time-length-index", 4}, {"Options/serie-length-sec", "99999999999"}} << 0 << 10 << 10
      << c10 << c10;
    QTest::newRow("custom time valid")
      << QVariantMap{{"Options/time-length-index", 4}, {"Options/serie-length-sec", 2147483647}} << 0 << 2147483647
      << 10 << 2147483647 << c10;
    QTest::newRow("custom view too short")
      << QVariantMap{{"Options/showall-length-index", 7}, {"Options/showall-length-sec", 5}} << 0 << 10 << 10 << c10
      << c10;
    QTest::newRow("custom view too long")
      << QVariantMap{{"Options/showall-length-index", 7}, {"Options/showall-length-sec", 1801}} << 0 << 10 << 10 << c10
      << c10;
    QTest::newRow("custom view valid")
      << QVariantMap{{"Options/showall-length-index", 7}, {"Options/showall-length-sec", 60}} << 0 << 10 << 60 << c10
      << 60;
    QTest::newRow("custom view not selected")
      << QVariantMap{{"Options/showall-length-index", 2}, {"Options/showall-length-sec", 600}} << 0 << 10 << 60 << c10
      << 600;
    QTest::newRow("unreadable geometry and state")
      << QVariantMap{{"Main/geometry", QByteArray("\x01\x02junk")}, {"Main/state", QByteArray("\xff\xfe")}} << 0 << 10
      << 10 << c10 << c10;
  }

  void damagedSettings()
  {
    QFETCH(QVariantMap, stored);
    QFETCH(int, language);
    QFETCH(int, measuring);
    QFETCH(int, showAll);
    QFETCH(int, customMeasuring);
    QFETCH(int, customShowAll);
    writeSettings(stored);
    MainWindow window;
    QCOMPARE(window.languageIndex(), language);
    QCOMPARE(window.measuringTime(), measuring);
    QCOMPARE(window.showAllLength(), showAll);
    // The "Custom" rows show their seconds whether chosen or not.
    const int lastTime = MainWindow::MeasuringTimeRows - 1;
    const int lastView = MainWindow::ShowAllRows - 1;
    QCOMPARE(window.m_comboMeasuringTime->itemData(lastTime).toInt(), customMeasuring);
    QVERIFY(window.m_comboMeasuringTime->itemText(lastTime).endsWith(": " + QString::number(customMeasuring)));
    QCOMPARE(window.m_comboShowAll->itemData(lastView).toInt(), customShowAll);
    QVERIFY(window.m_comboShowAll->itemText(lastView).endsWith(": " + QString::number(customShowAll)));
    QCOMPARE(window.dockWidgetArea(window.dockStatus()), Qt::LeftDockWidgetArea);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
  }

  void dockAreas_data()
  {
    QTest::addColumn<QVariant>("statusArea");
    QTest::addColumn<QVariant>("controlArea");
    QTest::addColumn<int>("expectedStatus");
    QTest::addColumn<int>("expectedControl");
    QTest::newRow("left and right") << QVariant(1) << QVariant(2) << 1 << 2;
    QTest::newRow("top is no side") << QVariant(4) << QVariant(8) << 1 << 1;
    QTest::newRow("no area") << QVariant(0) << QVariant(15) << 1 << 1;
    QTest::newRow("text") << QVariant("right") << QVariant(QString()) << 1 << 1;
  }

  void dockAreas()
  {
    QFETCH(QVariant, statusArea);
    QFETCH(QVariant, controlArea);
    QFETCH(int, expectedStatus);
    QFETCH(int, expectedControl);
    writeSettings({{"Status/dock-area", statusArea}, {"Control/dock-area", controlArea}, {"Status/tabified", false}});
    MainWindow window;
    QCOMPARE(int(window.dockWidgetArea(window.dockStatus())), expectedStatus);
    QCOMPARE(int(window.dockWidgetArea(window.dockControl())), expectedControl);
  }

  void floatingControlDockKeepsItsPlace()
  {
    const QRect place(120, 140, 480, 640);
    writeSettings({{"Status/tabified", false}, {"Control/floating", true}, {"Control/dock-geometry", place}});
    MainWindow window;
    QVERIFY(window.dockControl()->isFloating());
    QVERIFY(!window.dockStatus()->isFloating());
    QCOMPARE(window.dockControl()->geometry().topLeft(), place.topLeft());
    // Its panel shows with the logger, in the stored size.
    window.setTovriMode();
    QCOMPARE(window.dockControl()->geometry(), place);
  }

  // Floating docks take their stored place, bounded to the screen: once at
  // start and again when a logger is served and their panels show.
  void floatingDocksStayOnScreen_data()
  {
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<bool>("placeKept");
    QTest::addColumn<bool>("sizeKept");
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect inside(room.left() + 40, room.top() + 60, room.width() * 2 / 3, room.height() * 2 / 3);
    QTest::newRow("on the screen") << inside << true << true;
    QTest::newRow("100000 x 100000") << QRect(0, 0, 100000, 100000) << false << false;
    QTest::newRow("far off the screen") << QRect(-50000, 70000, 500, 300) << false << true;
    // The ends of int, as a damaged settings file may hold them. The rects
    // are made from their corners: QRect's own sums would overflow here.
    const int low = std::numeric_limits<int>::min();
    const int high = std::numeric_limits<int>::max();
    QTest::newRow("top at INT_MIN") << QRect(0, low, 500, 300) << false << true;
    QTest::newRow("left at INT_MIN") << QRect(low, 0, 500, 300) << false << true;
    QTest::newRow("INT_MIN corner, INT_MAX size") << QRect(low, low, high, high) << false << false;
    QTest::newRow("bottom right at INT_MAX")
      << QRect(QPoint(high - 499, high - 299), QPoint(high, high)) << false << true;
    // Stored as "@Rect(-2147483648 -2147483648 0 0)": read back, it spans
    // every int, wider than an int can tell.
    QTest::newRow("INT_MIN to INT_MAX") << QRect(QPoint(low, low), QPoint(high, high)) << false << false;
  }

  void floatingDocksStayOnScreen()
  {
    QFETCH(QRect, stored);
    QFETCH(bool, placeKept);
    QFETCH(bool, sizeKept);
    writeSettings({{"Status/tabified", false},
                   {"Status/floating", true},
                   {"Status/dock-geometry", stored},
                   {"Control/floating", true},
                   {"Control/dock-geometry", stored}});
    SimBus bus;
    bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    const QRect room = window.screen()->availableGeometry();
    const auto onScreen = [&](QDockWidget *dock) {
      const QRect frame = dock->frameGeometry();
      if (room.contains(frame))
        return true;
      qWarning() << dock->objectName() << "framed at" << frame << "on" << room;
      return false;
    };
    // Checked before any event is handled, as a dock as large as stored
    // would be painted whole. Its size waits for its panel.
    SizeWatch watch(room);
    for (QDockWidget *dock : {window.dockStatus(), window.dockControl()}) {
      QVERIFY(dock->isFloating());
      QVERIFY(onScreen(dock));
      dock->installEventFilter(&watch);
    }
    pump();
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    const QSize largest = watch.largest;
    QVERIFY2(room.size().expandedTo(largest) == room.size(),
             qPrintable(QStringLiteral("a dock was given %1 x %2").arg(largest.width()).arg(largest.height())));
    for (QDockWidget *dock : {window.dockStatus(), window.dockControl()}) {
      dock->removeEventFilter(&watch);
      QVERIFY(dock->isVisible());
      QVERIFY(onScreen(dock));
      if (placeKept)
        QCOMPARE(dock->geometry(), stored);
      if (sizeKept)
        QCOMPARE(dock->size(), stored.size());
    }
  }

  // Only a window layout as this program wrote it is restored: a damaged
  // one, or one without its checks (an earlier version), gives the layout of
  // a first start and costs no other setting. Each start runs in a process
  // of its own, as a damaged layout can bring the framework down.
  void storedLayoutChecked_data()
  {
    QTest::addColumn<int>("area"); // written into the state's dock-area field; -1: untouched
    QTest::addColumn<QString>("checks"); // "kept", "removed" or "wrong"
    QTest::addColumn<bool>("stateRestored");
    QTest::addColumn<bool>("geometryRestored");
    QTest::newRow("as written") << -1 << "kept" << true << true;
    QTest::newRow("earlier version, no checks") << -1 << "removed" << false << false;
    QTest::newRow("checks of other bytes") << -1 << "wrong" << false << false;
    QTest::newRow("dock area 0x7ffffffe") << 0x7ffffffe << "kept" << false << true;
    QTest::newRow("dock area 0x40") << 0x40 << "kept" << false << true;
  }

  void storedLayoutChecked()
  {
    QFETCH(int, area);
    QFETCH(QString, checks);
    QFETCH(bool, stateRestored);
    QFETCH(bool, geometryRestored);
    // A layout as the window writes it: toolbar at the bottom, a small window.
    const QSize size(640, 480);
    {
      MainWindow window;
      window.addToolBar(Qt::BottomToolBarArea, window.findChild<QToolBar *>("toolBar"));
      window.resize(size);
    }
    QVariantMap layout;
    for (const char *key : {"geometry", "geometry-check", "state", "state-check"})
      layout.insert(QString("Main/") + key, readSetting(QString("Main/") + key));
    if (checks == "removed") {
      layout.remove("Main/geometry-check");
      layout.remove("Main/state-check");
    } else if (checks == "wrong") {
      layout["Main/geometry-check"] = QString(64, QLatin1Char('0'));
      layout["Main/state-check"] = QString(64, QLatin1Char('0'));
    }
    if (area >= 0) {
      // The first dock area's position: the docks of a first start lie
      // stacked in the left area (0).
      QByteArray state = layout.value("Main/state").toByteArray();
      QDataStream in(state);
      in.setVersion(QDataStream::Qt_5_0);
      qint32 marker = 0, version = -1, count = 0, position = -1;
      quint8 docks = 0;
      in >> marker >> version >> docks >> count;
      const qint64 offset = in.device()->pos();
      in >> position;
      QVERIFY2(marker == 0xff && version == 0 && docks == 0xfd && count == 1 && position == 0,
               "the window state is not laid out as this test expects");
      QDataStream out(&state, QIODevice::ReadWrite);
      out.setVersion(QDataStream::Qt_5_0);
      out.device()->seek(offset);
      out << qint32(area);
      layout["Main/state"] = state;
    }

    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString file = home.filePath("Quillomar/tovri-window-child/tovri-window-child.ini");
    {
      QSettings ini(file, QSettings::IniFormat);
      for (auto it = layout.constBegin(); it != layout.constEnd(); ++it)
        ini.setValue(it.key(), it.value());
      ini.setValue("Options/dark-color", true);
      ini.setValue("Control/output-voltage", 3300);
      ini.setValue("Update/auto-check-soft", false);
      ini.setValue("Update/auto-check-firm", false);
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(TOVRI_WINDOW_CHILD));
    QVERIFY(child.waitForStarted(30000));
    QVERIFY(child.waitForFinished(300000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    const QStringList said = QString::fromLocal8Bit(child.readAllStandardOutput()).split(' ', Qt::SkipEmptyParts);
    QCOMPARE(said.size(), 9);
    QCOMPARE(said.at(1).toInt(), int(stateRestored ? Qt::BottomToolBarArea : Qt::TopToolBarArea));
    QCOMPARE(said.at(3).toInt(), 1);
    QCOMPARE(said.at(5).toInt(), 3300);
    QCOMPARE(QSize(said.at(7).toInt(), said.at(8).toInt()) == size, geometryRestored);

    // The window wrote its layout back with its checks; the rest stays.
    QSettings ini(file, QSettings::IniFormat);
    const QByteArray written = ini.value("Main/state").toByteArray();
    QVERIFY(!written.isEmpty());
    QCOMPARE(ini.value("Main/state-check").toString(),
             QString::fromLatin1(QCryptographicHash::hash(written, QCryptographicHash::Sha256).toHex()));
    QCOMPARE(ini.value("Options/dark-color").toBool(), true);
    QCOMPARE(ini.value("Control/output-voltage").toInt(), 3300);
  }

  void layoutWrittenAtExit()
  {
    writeSettings({{"Options/language", 1}, {"Status/tabified", false}, {"Control/dock-area", 2}});
    {
      MainWindow window;
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QCOMPARE(readSetting("Status/dock-area").toInt(), 1);
    QCOMPARE(readSetting("Control/dock-area").toInt(), 2);
    QCOMPARE(readSetting("Status/tabified").toBool(), false);
    QCOMPARE(readSetting("Control/floating").toBool(), false);
    QCOMPARE(readSetting("Options/language").toInt(), 1);
    QVERIFY(!readSetting("Main/geometry").toByteArray().isEmpty());
    QVERIFY(!readSetting("Main/state").toByteArray().isEmpty());

    // What one run wrote, the next one reads back.
    MainWindow again;
    QCOMPARE(again.dockWidgetArea(again.dockControl()), Qt::RightDockWidgetArea);
    QCOMPARE(again.languageIndex(), 1);
  }

  void viewMenuHidesAndStacksDocks()
  {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.m_actionViewStatus->setChecked(false);
    QVERIFY(window.dockStatus()->isHidden());
    QCOMPARE(readSetting("Status/visible").toBool(), false);
    window.m_actionViewStatus->setChecked(true);
    QVERIFY(!window.dockStatus()->isHidden());
    QCOMPARE(readSetting("Status/visible").toBool(), true);
    QCOMPARE(window.tabifiedDockWidgets(window.dockStatus()), QList<QDockWidget *>{window.dockControl()});
  }

  void barsFollowTheToolbar_data()
  {
    QTest::addColumn<bool>("markersBar");
    QTest::newRow("markers hidden") << false;
    QTest::newRow("markers shown") << true;
  }

  void barsFollowTheToolbar()
  {
    QFETCH(bool, markersBar);
    writeSettings({{"Main/markers_bar", markersBar}});
    MainWindow window;
    auto *markers = window.findChild<MarkerBar *>("markerBar");
    auto *report = window.findChild<ReportBar *>("reportBar");
    auto *navigation = window.findChild<NavigationBar *>("navigationBar");
    QVERIFY(markers && report && navigation);
    // Until a capture exists every bar is hidden.
    QVERIFY(markers->isHidden());
    QVERIFY(report->isHidden());
    QVERIFY(navigation->isHidden());
    // The actions name what a click does to the bars as they are.
    QCOMPARE(window.m_actionMarkers->text(), QString("Show Markers"));
    QCOMPARE(window.m_actionReport->text(), QString("Show Report"));

    window.setTovriMode();
    window.addTab();
    window.currentWidget()->addChannels({});
    QVERIFY(!navigation->isHidden());
    QVERIFY(report->isHidden());
    QCOMPARE(window.m_actionMarkers->text(), QString("Show Markers"));
    window.m_actionMarkers->trigger();
    QVERIFY(!markers->isHidden());
    QCOMPARE(window.m_actionMarkers->text(), QString("Hide Markers"));
    // Whatever hides a bar, its action follows: opening a file hides both.
    window.m_actionReport->trigger();
    QVERIFY(!report->isHidden());
    window.setTovriMode();
    QVERIFY(markers->isHidden());
    QCOMPARE(window.m_actionMarkers->text(), QString("Show Markers"));
    QVERIFY(report->isHidden());
    QCOMPARE(window.m_actionReport->text(), QString("Show Report"));
    window.m_actionReport->trigger();
    QVERIFY(!report->isHidden());
    QCOMPARE(window.m_actionReport->text(), QString("Hide Report"));
    QCOMPARE(readSetting("Main/report_bar").toBool(), true);
    window.loadLanguage("uk");
    QCOMPARE(window.m_actionReport->text(), QString::fromUtf8("Сховати звіт"));
    window.loadLanguage("en");
    window.m_actionReport->trigger();
    QVERIFY(report->isHidden());
    QCOMPARE(window.m_actionReport->text(), QString("Show Report"));
    QCOMPARE(readSetting("Main/report_bar").toBool(), false);

    window.m_actionReport->trigger();
    window.enableControls(false);
    QVERIFY(report->isHidden());
    QCOMPARE(window.m_actionReport->text(), QString("Show Report"));
  }

  void toolbarEnabling()
  {
    MainWindow window;
    window.enableToolbar(false, true);
    QList<QAction *> enabled;
    for (QAction *action : window.findChild<QToolBar *>("toolBar")->actions()) {
      if (action->isEnabled() && !action->isSeparator() && !qobject_cast<QWidgetAction *>(action))
        enabled.append(action);
    }
    QCOMPARE(enabled, (QList<QAction *>{window.m_actionOpen, window.m_actionSettings}));
    QVERIFY(!window.m_comboMeasuringTime->isEnabled());
    QVERIFY(!window.m_comboShowAll->isEnabled());
    window.enableToolbar(true, false);
    // No tab, no capture: nothing to save.
    QVERIFY(!window.m_actionSave->isEnabled());
    QVERIFY(window.m_comboMeasuringTime->isEnabled());
  }
};

TOVRI_TEST(FrameTest)

#include "tst_frame.moc"
