#include "appfixture.h"
#include "helpers.h"
#include "markerbar.h"
#include "optionsdialog.h"
#include "plot.h"
#include "powerpackets.h"
#include "processstate.h"
#include "reportbar.h"
#include "testmain.h"

#include <QPointer>

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

bool isSettingsRequest(const QByteArray &report)
{
  return report.size() > 2 && uchar(report.at(0)) == 0x07 && uchar(report.at(1)) == 0x40 &&
         uchar(report.at(2)) == 0x0A;
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
    resetProcessState();
    clearSettings();
    keepUpdatesLocal();
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

  void powerSupplyGetsOneSettingsRequest()
  {
    SimBus bus;
    auto *supply = bus.add<SimPowerSupply>();
    MainWindow window;
    quietLink();
    pump();
    QVERIFY(Helpers::powerMode);
    supply->written.clear();
    bool ran = false;
    driveOptions([](OptionsDialog *) {}, &ran);
    window.m_actionSettings->trigger();
    QVERIFY(ran);
    int requests = 0;
    for (const QByteArray &report : supply->written)
      requests += isSettingsRequest(report) ? 1 : 0;
    QCOMPARE(requests, 1);
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
