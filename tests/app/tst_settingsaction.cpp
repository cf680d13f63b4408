#include "appfixture.h"
#include "controlpanel.h"
#include "infopackets.h"
#include "powerpanel.h"
#include "savingfixture.h"
#include "helpers.h"
#include "markerbar.h"
#include "optionsdialog.h"
#include "plot.h"
#include "powerpackets.h"
#include "processstate.h"
#include "reportbar.h"
#include "testmain.h"

#include <QDockWidget>
#include <QPointer>
#include <QTemporaryDir>

using namespace AppFixture;

namespace {

// Runs `act` on the options dialog once it is modal, then closes it.
void driveOptions(std::function<void(OptionsDialog *)> act, bool *ran)
{
  QTimer::singleShot(0, [act, ran] {
    auto *dialog = qobject_cast<OptionsDialog *>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    *ran = true;
    act(dialog);
    dialog->reject();
  });
}

// Power-supply requests of `command` among the written reports: 07 40 command.
int requestsOf(const QList<QByteArray> &written, unsigned char command)
{
  int n = 0;
  for (const QByteArray &report : written)
    n += report.size() > 2 && uchar(report.at(0)) == 0x07 && uchar(report.at(1)) == 0x40 &&
         uchar(report.at(2)) == command;
  return n;
}

bool sameBlock(const PowerGetPacket &a, const PowerGetPacket &b)
{
  for (int k = 0; k < 61; ++k) {
    if (a.block(k) != b.block(k))
      return false;
  }
  return true;
}

} // namespace

// The Settings and Markers actions: the options dialog wired to the window
// for its lifetime only, and the marker bar's toggle.
class SettingsActionTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void loggerDialogReachesWindowAndBars()
  {
    QPointer<OptionsDialog> seen;
    {
      MainWindow window;
      window.addTab();
      auto *report = window.findChild<ReportBar *>("reportBar");
      auto *markers = window.findChild<MarkerBar *>("markerBar");
      QVERIFY(report && markers);
      report->hide();
      const QString lightFormat = window.readoutFormat();
      bool ran = false, reportShown = false;
      QString timeLabel;
      driveOptions(
        [&](OptionsDialog *dialog) {
          seen = dialog;
          reportShown = !report->isHidden();
          emit dialog->changeColorTheme(true);
          emit dialog->changeColors();
          Helpers::timeFormat = 2;
          emit dialog->timeFormatChanged();
          timeLabel = window.plotter()->xAxis->label();
          emit dialog->languageChanged(1);
          // A refilled combo box reports -1: it must not move the language.
          emit dialog->languageChanged(-1);
          emit dialog->languageChanged(7);
        },
        &ran);
      window.m_actionSettings->trigger();
      QVERIFY(ran);
      QVERIFY(reportShown);
      QVERIFY(report->isHidden());
      QVERIFY(seen.isNull());
      QVERIFY(window.darkTheme());
      QVERIFY(markers->dark);
      QVERIFY(report->dark);
      QVERIFY(window.readoutFormat() != lightFormat);
      QCOMPARE(timeLabel, QString("Time"));
      QCOMPARE(window.languageIndex(), 1);
      // The dialog is gone: the window's and the updater's signals reach nothing.
      emit window.deviceInfoReceved();
      emit window.updater()->newFWAvailable(true);
      emit window.updater()->newSWAvailable(false);
    }
    QCOMPARE(readSetting("Options/language").toInt(), 1);
  }

  void powerSupplySettingsThroughDialog()
  {
    SimBus bus;
    auto *supply = bus.add<SimPowerSupply>();
    MainWindow window;
    quietLink();
    pump();
    QVERIFY(Helpers::powerMode);
    supply->written.clear();
    bool ran = false;
    int requests = -1, liveRequests = -1;
    bool filled = false, refilled = false, swapped = false;
    SimPowerSupply *current = supply;
    QString version;
    driveOptions(
      [&](OptionsDialog *dialog) {
        requests = requestsOf(supply->written, PowerPacket::Settings);
        pump(2);
        filled = sameBlock(dialog->currentBlock(), supply->settings);
        liveRequests = requestsOf(supply->written, PowerPacket::LiveData);
        version = dialog->findChild<QLabel *>("firmwareVersion")->text();
        // A second answer while the page is open refills it.
        supply->settings.setBlock(5, 0x77);
        supply->queue(supply->settings.toByteArray());
        pump(1);
        refilled = dialog->currentBlock().block(5) == 0x77;
        // Another supply in its place, and the window's new panel: the page
        // shows the newcomer's block.
        bus.unplug(supply);
        current = bus.add<SimPowerSupply>(QStringLiteral("500200002"));
        current->settings.setBlock(40, 0x33);
        pump(4);
        swapped = sameBlock(dialog->currentBlock(), current->settings);
      },
      &ran);
    window.m_actionSettings->trigger();
    QVERIFY(ran);
    QCOMPARE(requests, 1);
    QVERIFY(filled);
    QCOMPARE(liveRequests, 1);
    QCOMPARE(version, supply->live.version());
    QVERIFY(refilled);
    QVERIFY(swapped);

    // An answer after the dialog has gone reaches nothing and asks for nothing.
    current->written.clear();
    current->queue(current->settings.toByteArray());
    pump(2);
    QVERIFY(current->written.isEmpty());
  }

  void loggerGetsNothingWhileSupplyFileOpen()
  {
    QTemporaryDir dir;
    const QString path = writeSupplyCapture(dir.filePath("supply.kelvpow"), false, {0, 1, 4}, 20);
    QVERIFY(!path.isEmpty());
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    MainWindow window;
    quietLink();
    pump();
    logger->written.clear();
    QVERIFY(window.loadFile(path));
    QVERIFY(Helpers::powerMode);

    bool ran = false;
    driveOptions([](OptionsDialog *) {}, &ran);
    window.m_actionSettings->trigger();
    QVERIFY(ran);
    auto *panel = qobject_cast<PowerPanel *>(window.dockControl()->widget());
    QVERIFY(panel);
    emit panel->requestPowerStatus(QStringLiteral("POWER\n"));
    emit panel->startPowerLog(QStringLiteral("LOG10C0\n"));
    // The logger's own panel drives nothing now.
    StatusControlRequest request;
    emit window.controlPanel()->requestStatus(request);
    DeviceControl start;
    start.set(1, uchar(DeviceControl::Start));
    start.writeU16(4, 1);
    start.writeU16(6, 10);
    emit window.controlPanel()->startMeasurement(start);
    pump(2);
    QVERIFY(!Helpers::isMeasuring);
    QCOMPARE(logger->written.size(), 0);

    // Plugged in again, the logger is served and its panel drives the window.
    bus.unplug(logger);
    pump(1);
    bus.plug(logger);
    pump(4);
    QVERIFY(!Helpers::powerMode);
    logger->written.clear();
    emit window.controlPanel()->requestStatus(request);
    QCOMPARE(descriptors(logger->written), QList<int>{StatusControlRequest::Descriptor});
  }

  // The firmware check gets the device-information serial as 9 or more digits.
  void firmwareCheckSerial_data()
  {
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<QString>("text");
    QTest::newRow("12345") << QByteArray::fromHex("00003039") << QString("000012345");
    QTest::newRow("zero") << QByteArray(4, '\0') << QString("000000000");
    QTest::newRow("ten digits") << QByteArray::fromHex("ffffffff") << QString("4294967295");
  }

  void firmwareCheckSerial()
  {
    QFETCH(QByteArray, serial);
    QFETCH(QString, text);
    DeviceInfo info;
    info.set(4, serial);
    QCOMPARE(MainWindow::serialText(&info), text);
    QCOMPARE(MainWindow::serialText(nullptr), QString("000000000"));
  }

  void inertWhileMeasuring()
  {
    MainWindow window;
    Helpers::isMeasuring = true;
    bool ran = false;
    driveOptions([](OptionsDialog *) {}, &ran);
    window.m_actionSettings->trigger();
    QCoreApplication::processEvents();
    Helpers::isMeasuring = false;
    QVERIFY(!ran);
  }

  void markersToggleTwice_data()
  {
    QTest::addColumn<bool>("storedVisible");
    QTest::newRow("stored hidden") << false;
    QTest::newRow("stored shown") << true;
  }

  void markersToggleTwice()
  {
    QFETCH(bool, storedVisible);
    writeSettings({{"Main/markers_bar", storedVisible}});
    MainWindow window;
    window.addTab();
    auto *bar = window.findChild<MarkerBar *>("markerBar");
    const bool first = !bar->isHidden();
    auto textFits = [&] {
      return window.m_actionMarkers->text() == (bar->isHidden() ? QString("Show Markers") : QString("Hide Markers"));
    };
    for (bool expected : {!first, first}) {
      window.m_actionMarkers->trigger();
      QCOMPARE(!bar->isHidden(), expected);
      QVERIFY(textFits());
      QCOMPARE(readSetting("Main/markers_bar").toBool(), expected);
    }
  }
};

TOVRI_TEST(SettingsActionTest)
#include "tst_settingsaction.moc"
