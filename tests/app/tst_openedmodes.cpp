#include "axis.h"
#include "controlpanel.h"
#include "helpers.h"
#include "plot.h"
#include "processstate.h"
#include "savingfixture.h"
#include "swapfile.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <functional>

using namespace AppFixture;

namespace {

// Each supply channel's axis shows all of its points in the window, inside
// the channel's range; the channels #0 and #1 (spread 1.5 and 1.0) on no
// more than 3 units.
void checkFitted(MainWindow &window)
{
  PlotWidget *plot = window.plotter();
  QVERIFY(plot);
  const PlotRange time = plot->xAxis->range();
  int fitted = 0;
  for (int i = 0; i < plot->graphCount(); ++i) {
    PlotGraph *graph = plot->graph(i);
    auto *axis = dynamic_cast<AxisPower *>(graph->valueAxis());
    if (!axis)
      continue;
    double low = qInf(), high = -qInf();
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it) {
      if (it.key() >= time.lower && it.key() <= time.upper) {
        low = qMin(low, it.value().value);
        high = qMax(high, it.value().value);
      }
    }
    QVERIFY(low <= high);
    const PlotRange shown = axis->range();
    const QString what = QStringLiteral("channel %1: %2..%3 for %4..%5")
                           .arg(axis->channel).arg(shown.lower).arg(shown.upper).arg(low).arg(high);
    QVERIFY2(shown.lower <= low && shown.upper >= high, qPrintable(what));
    QVERIFY2(shown.lower >= axis->rangeMin() && shown.upper <= axis->rangeMax(), qPrintable(what));
    if (axis->channel <= 1)
      QVERIFY2(shown.size() <= 3, qPrintable(what));
    ++fitted;
  }
  QCOMPARE(fitted, 3);
}

} // namespace

// What an opened capture shows of its mode: the value axes of a supply's
// log, the title and the Start button with no device on the link.
class OpenedModesTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  // A supply's 13.8 V output logged between 13 and 14.5 V, beside a
  // current of a few amperes and a temperature, in both models' files.
  void supplyAxesFitTheirChannels_data()
  {
    QTest::addColumn<bool>("v2");
    QTest::newRow("Power V1") << false;
    QTest::newRow("Power V2") << true;
  }

  void supplyAxesFitTheirChannels()
  {
    QFETCH(bool, v2);
    QTemporaryDir dir;
    const QList<int> channels{0, 1, 5};
    const QString path = writeSupplyCapture(dir.filePath("bench.kelvpow"), v2, channels, 60, [](int k, int r) {
      switch (k) {
      case 0:
        return 13.0 + (r % 16) * 0.1;
      case 1:
        return 2.0 + (r % 5) * 0.25;
      default:
        return 31.0 + (r % 3);
      }
    });
    QVERIFY(!path.isEmpty());
    const QString logger = dir.filePath("run.tovri");
    QVERIFY(!writeLoggerCapture(logger, 300, true).isEmpty());
    MainWindow window;
    QVERIFY(window.loadFile(path));
    QCOMPARE(Helpers::powerV2Mode, v2);
    checkFitted(window);

    // A double-click on a graph fits them again, as does one on an axis.
    PlotWidget *plot = window.plotter();
    for (int i = 0; i < plot->graphCount(); ++i) {
      if (PlotAxis *axis = dynamic_cast<AxisPower *>(plot->graph(i)->valueAxis()))
        axis->setRange(axis->rangeMin(), axis->rangeMax());
    }
    window.on_plottableDoubleClick(nullptr, nullptr);
    checkFitted(window);
    PlotAxis *first = plot->graph(0)->valueAxis();
    PlotAxis *second = plot->graph(1)->valueAxis();
    QVERIFY(first->axisType() == PlotAxis::atRight && second->axisType() == PlotAxis::atLeft);
    for (PlotAxis *axis : {first, second}) {
      axis->setRange(axis->rangeMin(), axis->rangeMax());
      window.on_axisDoubleClick(axis, PlotAxis::spAxis, nullptr);
    }
    checkFitted(window);

    // A logger's file opened after it makes the window the logger's; the
    // supply's tab shown again still fits its own axes.
    QVERIFY(window.loadFile(logger));
    QVERIFY(!Helpers::powerMode && !Helpers::powerV2Mode);
    window.tabWidget()->setCurrentIndex(0);
    for (int i = 0; i < plot->graphCount(); ++i) {
      if (PlotAxis *axis = dynamic_cast<AxisPower *>(plot->graph(i)->valueAxis()))
        axis->setRange(axis->rangeMin(), axis->rangeMax());
    }
    window.on_plottableDoubleClick(nullptr, nullptr);
    checkFitted(window);
  }

  // Opened with nothing on the link: the title names the file and says no
  // device is connected, and nothing can be started.
  void openedWithoutDevice()
  {
    QTemporaryDir dir;
    const QString logger = writeLoggerCapture(dir.filePath("run.1.tovri"), 400, true);
    QVERIFY(!logger.isEmpty());
    const QString supply = writeSupplyCapture(dir.filePath("bench.kelvpow"), false, {0, 1}, 20,
                                       [](int k, int r) { return k + r * 0.1; });
    QVERIFY(!supply.isEmpty());

    SimBus bus;
    MainWindow window;
    quietLink();
    pump(1);
    auto *start = window.controlPanel()->findChild<QAbstractButton *>("btnStart");
    QVERIFY(start);

    QVERIFY(window.loadFile(logger));
    QCOMPARE(window.windowTitle(), QString("run - no device connected"));
    QVERIFY(!start->isEnabled());
    QVERIFY(window.m_actionSave->isEnabled());

    QVERIFY(window.loadFile(supply));
    QCOMPARE(window.windowTitle(), QString("bench - no device connected"));

    QVERIFY(window.loadFile(logger));
    QCOMPARE(window.windowTitle(), QString("run - no device connected"));
    QVERIFY(!start->isEnabled());

    // A logger on the link: the title and Start are the logger's again.
    SimLogger *connected = bus.add<SimLogger>();
    pump();
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    QVERIFY(start->isEnabled());
    // A file opened now leaves the connected logger's title.
    QVERIFY(window.loadFile(logger));
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    QVERIFY(start->isEnabled());
    // Nor does a file of the other kind.
    QVERIFY(window.loadFile(supply));
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));

    // A supply on the link: a logger's file opened names the supply.
    bus.unplug(connected);
    pump();
    bus.add<SimPowerSupply>();
    pump();
    QCOMPARE(window.windowTitle(), QString(" Kelvaro Power V1 connected"));
    QVERIFY(window.loadFile(logger));
    QCOMPARE(window.windowTitle(), QString(" Kelvaro Power V1 connected"));
  }
};

TOVRI_TEST(OpenedModesTest)
#include "tst_openedmodes.moc"
