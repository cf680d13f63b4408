#include "axis.h"
#include "chartfixture.h"
#include "plotaxisrect.h"
#include "plotgraph.h"
#include "plotitemtext.h"
#include "swapfile.h"
#include "processstate.h"
#include "testmain.h"

#include <QTemporaryDir>
#include <QTest>

#include <limits>

namespace {
const QList<Description> kLogger = {{0, "mA,Current,"}, {1, "V,Vbus,"}, {2, "V,Vin,"}};
const QList<Description> kPower = {{0, "V,Output,", 0, 30, 2}, {1, "A,Load,", 0, 5, 3}, {2, "W,Power,", 0, 150, 1},
                                   {3, "C,Outside,", -40, 125, 1}, {4, "C,Inside,", -40, 125, 0}};

// What addChannels leaves: one line per channel graph (name, axis class and
// side, label, range, limits, colour, whether it draws the chart's own map),
// then the counts of graphs, maps and axes.
QStringList layoutOf(GLWidget *chart)
{
  PlotWidget *plot = chart->plot;
  QStringList out;
  for (int i = 0; i + 1 < plot->graphCount(); ++i) {
    PlotGraph *g = plot->graph(i);
    PlotAxis *a = g->valueAxis();
    const auto *power = dynamic_cast<AxisPower *>(a);
    const QString kind = dynamic_cast<Axis *>(a) ? "Axis" : power ? QString("AxisPower %1").arg(power->channel) : "PlotAxis";
    out << QString("%1|%2 %3|%4|%5..%6|%7..%8|%9|%10")
             .arg(g->name(), kind, a->axisType() == PlotAxis::atLeft ? "left" : "right", a->label())
             .arg(a->range().lower)
             .arg(a->range().upper)
             .arg(a->rangeMin())
             .arg(a->rangeMax())
             .arg(g->pen().color().name())
             .arg(i < chart->maps.size() && g->data() == chart->maps.at(i) ? "own map" : "other map");
  }
  PlotGraph *cursor = plot->graph();
  out << QString("graphs %1 maps %2 left %3 right %4 yAxis2 %5 cursor on yAxis %6")
           .arg(plot->graphCount())
           .arg(chart->maps.size())
           .arg(plot->axisRect()->axisCount(PlotAxis::atLeft))
           .arg(plot->axisRect()->axisCount(PlotAxis::atRight))
           .arg(plot->yAxis2->visible() ? "shown" : "hidden")
           .arg(cursor && cursor->valueAxis() == plot->yAxis && !chart->maps.contains(cursor->data()));
  return out;
}

void fill(GLWidget *chart, int points)
{
  for (PlotDataMap *map : std::as_const(chart->maps)) {
    for (int i = 0; i < points; ++i)
      map->insert(i * 0.001, PlotData(i * 0.001, i));
  }
}

QByteArray bytesOf(const ReportData &r)
{
  QByteArray out(ReportData::byteSize, '\0');
  r.toBytes(reinterpret_cast<uchar *>(out.data()));
  return out;
}
} // namespace

class ChartWidgetTest : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    removeSettingsFile();
    resetProcessState();
  }

  void channelTables_data()
  {
    QTest::addColumn<bool>("power");
    QTest::addColumn<QList<Description>>("descriptions");
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<QStringList>("layout");
    QTest::newRow("logger, multipliers 2 and 3")
      << false << kLogger << QList<int>()
      << QStringList{"#0: Current|Axis left|#0: Current, mA|0..1000|0..2.1e+06|#ff0000|own map",
                     "#1: Vbus|PlotAxis right|#1: Vbus, V|-200..11000|-200..11000|#0000ff|own map",
                     "#2: Vin|PlotAxis right|#2: Vin, V|-300..16500|-300..16500|#00ff00|own map",
                     "graphs 4 maps 3 left 2 right 2 yAxis2 shown cursor on yAxis 1"};
    // After an unplug nothing is described; every caller still indexes #0 to #2.
    QTest::newRow("logger, nothing described")
      << false << QList<Description>() << QList<int>{0, 1, 2}
      << QStringList{"#0|Axis left|#0, mA|0..1000|0..2.1e+06|#ff0000|own map",
                     "#1|PlotAxis right|#1, V|-200..11000|-200..11000|#0000ff|own map",
                     "#2|PlotAxis right|#2, V|-300..16500|-300..16500|#00ff00|own map",
                     "graphs 4 maps 3 left 2 right 2 yAxis2 shown cursor on yAxis 1"};
    QTest::newRow("logger, a fourth description")
      << false << kLogger + QList<Description>{{3, "V,Extra,"}} << QList<int>()
      << QStringList{"#0: Current|Axis left|#0: Current, mA|0..1000|0..2.1e+06|#ff0000|own map",
                     "#1: Vbus|PlotAxis right|#1: Vbus, V|-200..11000|-200..11000|#0000ff|own map",
                     "#2: Vin|PlotAxis right|#2: Vin, V|-300..16500|-300..16500|#00ff00|own map",
                     "graphs 4 maps 3 left 2 right 2 yAxis2 shown cursor on yAxis 1"};
    QTest::newRow("power channels 1, 3, 4 of five")
      << true << kPower << QList<int>{1, 3, 4}
      << QStringList{"#1: Load|AxisPower 1 right|#1: Load, A|0..5|0..5|#00ff00|own map",
                     "#3: Outside|AxisPower 3 left|#3: Outside, C|-40..125|-40..125|#ff00ff|own map",
                     "#4: Inside|AxisPower 4 right|#4: Inside, C|-40..125|-40..125|#008000|own map",
                     "graphs 4 maps 3 left 2 right 3 yAxis2 hidden cursor on yAxis 1"};
    // The readers fill maps by position: an undescribed channel keeps its place.
    QTest::newRow("power, a listed channel undescribed")
      << true << QList<Description>{kPower.at(0), kPower.at(1), kPower.at(2), kPower.at(4), {6, "V,Battery,", 0, 20}}
      << QList<int>{1, 3, 6}
      << QStringList{"#1: Load|AxisPower 1 right|#1: Load, A|0..5|0..5|#00ff00|own map",
                     "#3|AxisPower 3 left|#3, |0..1e+07|0..1e+07|#ff00ff|own map",
                     "#6: Battery|AxisPower 6 right|#6: Battery, V|0..20|0..20|#eb312b|own map",
                     "graphs 4 maps 3 left 2 right 3 yAxis2 hidden cursor on yAxis 1"};
  }

  // A second addChannels (a reused tab) must replace the first set: graphs
  // drawing freed maps, doubled axes or relays are the faults looked for.
  void channelTables()
  {
    QFETCH(bool, power);
    QFETCH(QList<Description>, descriptions);
    QFETCH(QList<int>, channels);
    QFETCH(QStringList, layout);
    ModeGuard mode(power, false);
    describe(descriptions);
    ChartFixture f;
    f.widget->mult1 = 2;
    f.widget->mult2 = 3;
    f.widget->show();
    int added = 0;
    connect(f.widget, &GLWidget::channelsAdded, this, [&added] { ++added; });
    f.widget->addChannels(channels);
    QCOMPARE(layoutOf(f.widget), layout);
    fill(f.widget, 500);
    f.widget->repaint();
    f.widget->addChannels(channels);
    fill(f.widget, 500);
    f.widget->repaint();
    QCOMPARE(layoutOf(f.widget), layout);
    QCOMPARE(added, 2);

    QList<PlotAxis *> relayed;
    PlotRange relayedNew, relayedOld;
    connect(f.widget, &GLWidget::axisRangeChanged, this, [&](PlotRange &n, PlotRange &o, PlotAxis *a) {
      relayed << a;
      relayedNew = n;
      relayedOld = o;
    });
    PlotAxis *axis = f.plot->graph(2)->valueAxis();
    const PlotRange before = axis->range();
    axis->setRange(before.lower, before.upper - 1);
    QCOMPARE(relayed, QList<PlotAxis *>{axis});
    QCOMPARE(relayedOld, before);
    QCOMPARE(relayedNew, PlotRange(before.lower, before.upper - 1));
  }

  void multiplierChanged_data()
  {
    QTest::addColumn<bool>("power");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("multiplier");
    QTest::addColumn<PlotRange>("range1");
    QTest::addColumn<PlotRange>("range2");
    const PlotRange plain(-100, 5500);
    QTest::newRow("channel 1 doubled") << false << 1 << 2 << PlotRange(-200, 11000) << plain;
    QTest::newRow("channel 2 by four") << false << 2 << 4 << plain << PlotRange(-400, 22000);
    QTest::newRow("no such channel") << false << 3 << 2 << plain << plain;
    QTest::newRow("field being typed") << false << 1 << 0 << plain << plain;
    QTest::newRow("beyond four") << false << 2 << 5 << plain << plain;
    QTest::newRow("power supply axes") << true << 1 << 2 << PlotRange(0, 5) << PlotRange(0, 150);
  }

  void multiplierChanged()
  {
    QFETCH(bool, power);
    QFETCH(int, channel);
    QFETCH(int, multiplier);
    QFETCH(PlotRange, range1);
    QFETCH(PlotRange, range2);
    ModeGuard mode(power, false);
    describe(power ? kPower : kLogger);
    ChartFixture f;
    f.widget->addChannels({1, 2});
    f.widget->multiplierChanged(channel, multiplier);
    const PlotRange ranges[2] = {range1, range2};
    for (int c = 1; c <= 2; ++c) {
      PlotAxis *axis = f.plot->graph(power ? c - 1 : c)->valueAxis();
      QCOMPARE(axis->range(), ranges[c - 1]);
      QCOMPARE(PlotRange(axis->rangeMin(), axis->rangeMax()), ranges[c - 1]);
    }
    QCOMPARE(f.widget->mult1 * 100, power ? 100 : int(-range1.lower));
    QCOMPARE(f.widget->mult2 * 100, power ? 100 : int(-range2.lower));
  }

  void channelTextsCutOrMissing_data()
  {
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("graph");
    QTest::addColumn<QString>("powerLabel");
    QTest::newRow("no closing comma") << "V,Output" << "#0: Output" << "#0: Output, V";
    QTest::newRow("no comma") << "V" << "#0" << "#0, V";
    QTest::newRow("empty") << "" << "#0" << "#0, ";
    QTest::newRow("cut off") << "mV," + QString(60, 'x') << "#0: " + QString(45, 'x') << "#0: " + QString(45, 'x') + ", mV";
  }

  void channelTextsCutOrMissing()
  {
    QFETCH(QString, info);
    QFETCH(QString, graph);
    QFETCH(QString, powerLabel);
    describe({{0, info, 0, 30, 1}});
    for (bool power : {false, true}) {
      ModeGuard mode(power, false);
      ChartFixture f;
      f.widget->addChannels({0});
      QCOMPARE(f.plot->graph(0)->name(), graph);
      if (power)
        QCOMPARE(f.plot->graph(0)->valueAxis()->label(), powerLabel);
    }
  }

  void getColor_data()
  {
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("color");
    QTest::newRow("negative") << -3 << QColor(Qt::red);
    QTest::newRow("orange") << 5 << QColor("#f67209");
    QTest::newRow("second round") << 9 << QColor(Qt::green);
    QTest::newRow("past the table") << 20 << QColor(Qt::darkGreen);
    QTest::newRow("largest") << std::numeric_limits<int>::max() << QColor(Qt::darkCyan);
  }

  void getColor()
  {
    QFETCH(int, index);
    QFETCH(QColor, color);
    QCOMPARE(GLWidget::getColor(index, false), color);
  }

  void updateReport()
  {
    // Without a plot the maps are still there for acquisition to index.
    ModeGuard mode(false, false);
    GLWidget chart;
    chart.addChannels({});
    QCOMPARE(chart.maps.size(), 3);
    const QByteArray empty = bytesOf(chart.report);
    PlotData nan(0.5, std::numeric_limits<double>::quiet_NaN());
    PlotData inf(0.5, std::numeric_limits<double>::infinity());
    chart.updateReport(0, nan, true);
    chart.updateReport(1, inf, false);
    QCOMPARE(bytesOf(chart.report), empty);

    // Two channels per sample instant; the second is all negative.
    const double current[] = {100, 300, 200, 400};
    const double voltage[] = {-5, -2, -9, -4};
    for (int i = 0; i < 4; ++i) {
      PlotData c(i * 0.125, current[i]);
      PlotData v(i * 0.125, voltage[i]);
      chart.updateReport(0, c, true);
      chart.updateReport(1, v, false);
    }
    const ReportData &r = chart.report;
    QCOMPARE(r.count, qint64(4));
    QCOMPARE(r.t_end, 0.375);
    QCOMPARE(r.t_start, 0.0);
    QCOMPARE(QList<double>({r.sum0, r.avg0, r.min0, r.max0}), QList<double>({1000, 250, 100, 400}));
    QCOMPARE(QList<double>({r.sum1, r.avg1, r.min1, r.max1}), QList<double>({-20, -5, -9, -2}));
    QVERIFY(!r.hasData(2));
  }

  void timeRangeAndReset()
  {
    ModeGuard mode(false, false);
    ChartFixture f;
    QCOMPARE(f.widget->timeRange(), PlotRange(0, 0));
    f.widget->addChannels({});
    QVERIFY(f.widget->isEmpty());
    for (double t = 2.0; t <= 7.5; t += 0.5)
      f.widget->maps[1]->insert(t, PlotData(t, 1));
    f.widget->maps[2]->insert(1.0, PlotData(1.0, 1));
    QCOMPARE(f.widget->timeRange(), PlotRange(2.0, 7.5));
    QVERIFY(!f.widget->isEmpty());

    const QList<PlotDataMap *> maps = f.widget->maps;
    const QStringList layout = layoutOf(f.widget);
    f.widget->reset();
    QVERIFY(f.widget->isEmpty());
    QCOMPARE(f.widget->maps, maps);
    QCOMPARE(layoutOf(f.widget), layout);
  }

  void title_data()
  {
    QTest::addColumn<bool>("power");
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("divider");
    QTest::addColumn<double>("duration");
    QTest::addColumn<QString>("text");
    QTest::newRow("no capture") << false << -1 << 1 << 0.0 << QString();
    QTest::newRow("logger, two blanks") << false << 5 << 1 << 0.0 << "Channels: #0, #2,  Sample rate: 1(10.000 kHz)";
    QTest::newRow("logger with duration")
      << false << 7 << 10 << 12.5
      << "Channels: #0, #1, #2,  Sample rate: 10(1.000 kHz), Measurement time: 12.50s";
    QTest::newRow("power supply") << true << 0b1011 << 3 << 0.0 << "Channels: #0, #1, #3,  Sample rate: 3333 Hz";
  }

  void title()
  {
    QFETCH(bool, power);
    QFETCH(int, mask);
    QFETCH(int, divider);
    QFETCH(double, duration);
    QFETCH(QString, text);
    QTemporaryDir dir;
    ModeGuard mode(power, false);
    ChartFixture f;
    f.widget->addChannels({});
    if (mask >= 0) {
      QVERIFY(f.widget->swapFile->create(dir.filePath("Capture 1.tmp")));
      if (power)
        f.widget->swapFile->setHeader(qint8(qPopulationCount(uint(mask))), uint(mask), false, short(divider), false);
      else
        f.widget->swapFile->setHeader(startCommand(quint16(mask), quint16(divider)));
      f.widget->swapFile->duration = duration;
    }
    f.widget->addTitle();
    // At a stop the main window deletes the newest item, the title, behind the chart's back.
    if (f.widget->title)
      QVERIFY(f.plot->removeItem(f.plot->item()));
    f.widget->addTitle();
    f.widget->addTitle();
    QCOMPARE(f.widget->title ? f.widget->title->text() : QString(), text);
    QCOMPARE(f.plot->itemCount(), text.isEmpty() ? 0 : 1);
    if (f.widget->title) {
      QCOMPARE(f.plot->item(), f.widget->title.data());
      QCOMPARE(f.widget->title->objectName(), QStringLiteral("measurementTitle"));
      QCOMPARE(f.widget->title->positionAlignment(), Qt::AlignTop | Qt::AlignHCenter);
      QVERIFY(f.widget->title->font().bold());
    }
  }

  void destructorRemovesOnlyTheWorkingFile_data()
  {
    QTest::addColumn<QString>("history");
    QTest::addColumn<bool>("userFileRemains");
    QTest::newRow("unsaved working file") << "capture" << false;
    QTest::newRow("saved") << "capture,save" << true;
    QTest::newRow("moved away unsaved (save all)") << "capture,saveAll" << true;
    QTest::newRow("opened") << "open" << true;
  }

  void destructorRemovesOnlyTheWorkingFile()
  {
    QFETCH(QString, history);
    QFETCH(bool, userFileRemains);
    QTemporaryDir dir;
    const QString working = dir.filePath("Capture 1.tmp");
    const QString user = dir.filePath("run.tovri");
    ModeGuard mode(false, false);
    describe(kLogger);
    const auto capture = [&](GLWidget *chart) {
      // A start and a stop as the main window runs them.
      chart->saved = false;
      chart->addChannels({});
      QVERIFY(chart->swapFile->create(working));
      QVERIFY(chart->swapFile->setHeader(startCommand(7, 10)));
      chart->addTitle();
      fill(chart, 100);
      QVERIFY(chart->swapFile->append(0, -1, chart->maps, false));
      QVERIFY(chart->swapFile->writeReport(chart->report));
      QVERIFY(chart->swapFile->stop());
      chart->addTitle();
    };
    if (history == "open") {
      ChartFixture maker;
      capture(maker.widget);
      QVERIFY(maker.widget->swapFile->rename(user));
      maker.widget->saved = true;
    }

    auto *f = new ChartFixture;
    for (const QString &step : history.split(',')) {
      if (step == "capture") {
        capture(f->widget);
      } else if (step == "save") {
        QVERIFY(f->widget->swapFile->rename(user));
        f->widget->saved = true;
      } else if (step == "saveAll") {
        QVERIFY(f->widget->swapFile->save(user)); // leaves the flag as it was
      } else {
        f->widget->addChannels({});
        QVERIFY(f->widget->swapFile->read(user, 10, f->widget->maps, nullptr));
        f->widget->addTitle();
      }
    }
    const qint64 userSize = QFileInfo(user).size();
    QVERIFY(QFile::exists(history == "capture" ? working : user));
    delete f;
    QVERIFY(!QFile::exists(working));
    QCOMPARE(QFile::exists(user), userFileRemains);
    QCOMPARE(QFileInfo(user).size(), userSize);
  }
};

TOVRI_TEST(ChartWidgetTest)
#include "tst_chartwidget.moc"
