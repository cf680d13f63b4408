#include "controlpanel.h"
#include "helpers.h"
#include "infopackets.h"
#include "powerpanel.h"
#include "powerv2panel.h"
#include "processstate.h"
#include "savingfixture.h"
#include "testmain.h"

#include <QDockWidget>
#include <QTemporaryDir>

using namespace AppFixture;

namespace {

// A finished supply capture of `records` records on `channels` through the
// capture file's own writer.
QString writeSupplyCapture(const QString &path, bool v2, const QList<int> &channels, int records)
{
  const bool wasV1 = Helpers::powerMode, wasV2 = Helpers::powerV2Mode;
  Helpers::powerMode = !v2;
  Helpers::powerV2Mode = v2;
  SwapFile writer;
  unsigned int mask = 0;
  for (int c : channels)
    mask |= 1u << c;
  QList<PlotDataMap *> maps;
  for (int i = 0; i < channels.size(); ++i) {
    maps << new PlotDataMap;
    for (int r = 0; r < records; ++r)
      maps[i]->insert(r * 0.1, PlotData(r * 0.1, channels[i] + r * 0.25));
  }
  const bool ok = writer.create(path) && writer.setHeader(channels.size(), mask, false, 1000, false) &&
                  writer.appendPower(0, -1, maps, false) && writer.stop();
  qDeleteAll(maps);
  Helpers::powerMode = wasV1;
  Helpers::powerV2Mode = wasV2;
  return ok ? path : QString();
}

int textCommands(const QList<QByteArray> &written, const QByteArray &text)
{
  int n = 0;
  for (const QByteArray &report : written)
    n += report.contains(text) ? 1 : 0;
  return n;
}

} // namespace

// Power-supply mode: the panel swap on a supply's arrival and on opening
// its captures, and the way back to the logger.
class PowerTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    resetProcessState();
    clearSettings();
    keepUpdatesLocal();
  }

  void supplyArrivalsKeepOnePanel()
  {
    SimBus bus;
    auto *supply = bus.add<SimPowerSupply>();
    MainWindow window;
    quietLink();
    pump(2);
    QVERIFY(Helpers::powerMode);
    QVERIFY(qobject_cast<PowerPanel *>(window.dockControl()->widget()));
    QVERIFY(window.dockStatus()->isHidden());
    QCOMPARE(ChannelInfo::channelCount(), 8);
    QCOMPARE(textCommands(supply->written, "LOGSTOP\n"), 1);

    // Two re-plugs: still one panel, so one poll of the supply.
    for (int i = 0; i < 2; ++i) {
      bus.unplug(supply);
      pump(1);
      bus.plug(supply);
      pump(2);
    }
    QCOMPARE(window.findChildren<PowerPanel *>().size(), 1);
    QCOMPARE(window.dockControl()->widget(), window.findChildren<PowerPanel *>().first());
    QVERIFY(!window.statusTimer()->isActive());
  }

  void openedFilesSetTheMode()
  {
    QTemporaryDir dir;
    const QString v1 = writeSupplyCapture(dir.filePath("v1.kelvpow"), false, {0, 1, 4, 5}, 50);
    // Power V2 channels beyond the first model's eight.
    const QString v2 = writeSupplyCapture(dir.filePath("v2.kelvpow"), true, {0, 2, 8, 9, 10, 11, 12, 13}, 30);
    QVERIFY(!v1.isEmpty() && !v2.isEmpty());
    MainWindow window;
    GLWidget *logger = addUnsavedCapture(window, 40);
    QVERIFY(logger);
    const QString loggerPath = dir.filePath("logger.tovri");
    {
      DialogScript script({DialogScript::file(loggerPath)});
      QVERIFY(window.save(window.tabWidget()->currentIndex()));
    }

    struct Step
    {
      QString path;
      bool powerMode, powerV2Mode;
      int channels; // described channels
      int mapped;   // maps of the new tab
      int records;
    };
    const QList<Step> steps{{v1, true, false, 8, 4, 50},
                            {v1, true, false, 8, 4, 50},
                            {v2, false, true, 14, 8, 30},
                            {loggerPath, false, false, 3, 3, 40}};
    for (const Step &step : steps) {
      QVERIFY2(window.loadFile(step.path), qPrintable(step.path));
      QCoreApplication::processEvents();
      QCOMPARE(Helpers::powerMode, step.powerMode);
      QCOMPARE(Helpers::powerV2Mode, step.powerV2Mode);
      QCOMPARE(ChannelInfo::channelCount(), step.channels);
      GLWidget *tab = window.currentWidget();
      QCOMPARE(tab->maps.size(), step.mapped);
      QCOMPARE(tab->maps.last()->size(), step.records);
      const bool power = step.powerMode || step.powerV2Mode;
      QCOMPARE(window.findChildren<PowerPanel *>().size(), power ? 1 : 0);
      if (power) {
        QCOMPARE(bool(qobject_cast<PowerV2Panel *>(window.dockControl()->widget())), step.powerV2Mode);
        QVERIFY(window.dockStatus()->isHidden());
        QCOMPARE(tab->maps.first()->first().value, 0.0);
      } else {
        QCOMPARE(window.dockControl()->widget(), static_cast<QWidget *>(window.controlPanel()));
      }
    }
    // The logger capture saved before is still there under its name.
    QVERIFY(QFile::exists(loggerPath));
  }
};

TOVRI_TEST(PowerTest)
#include "tst_power.moc"
