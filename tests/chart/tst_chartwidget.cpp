#include "axis.h"
#include "chartfixture.h"
#include "plotaxisrect.h"
#include "plotgraph.h"
#include "plotitemtext.h"
#include "swapfile.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {
const QList<Description> kLoggerDescriptions = {
  {0, "mA,Current,"}, {1, "V,Vbus,"}, {2, "V,Vin,"}};

const QList<Description> kPowerDescriptions = {
  {0, "V,Output,", 0, 30, 2},   {1, "A,Load,", 0, 5, 3},       {2, "W,Power,", 0, 150, 1},
  {3, "C,Outside,", -40, 125, 1}, {4, "C,Inside,", -40, 125, 0}};

QString sideName(PlotAxis *axis)
{
  if (!axis)
    return QStringLiteral("none");
  return axis->axisType() == PlotAxis::atLeft ? QStringLiteral("left") : QStringLiteral("right");
}

// What one addChannels leaves on the plot: graphs with their names and axes,
// and every value axis with its label, visibility, range and limits.
QStringList layoutOf(GLWidget *chart)
{
  PlotWidget *plot = chart->plot;
  QStringList out;
  out << QStringLiteral("graphs %1 maps %2").arg(plot->graphCount()).arg(chart->maps.size());
  for (int i = 0; i < plot->graphCount(); ++i) {
    PlotGraph *g = plot->graph(i);
    const bool own = i < chart->maps.size() && g->data() == chart->maps.at(i);
    out << QStringLiteral("graph %1 %2 %3 %4 own=%5")
             .arg(i)
             .arg(g->name(), sideName(g->valueAxis()), g->valueAxis() ? g->valueAxis()->label() : QString())
             .arg(own);
  }
  for (PlotAxis::AxisType side : {PlotAxis::atLeft, PlotAxis::atRight}) {
    PlotAxisRect *rect = plot->axisRect();
    for (int i = 0; i < rect->axisCount(side); ++i) {
      PlotAxis *a = rect->axis(side, i);
      out << QStringLiteral("%1[%2] %3 visible=%4 %5..%6 limits %7..%8")
               .arg(sideName(a))
               .arg(i)
               .arg(a->label())
               .arg(a->visible())
               .arg(a->range().lower)
               .arg(a->range().upper)
               .arg(a->rangeMin())
               .arg(a->rangeMax());
    }
  }
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
    ChannelInfo::removeChannels();
  }
  void cleanupTestCase() { ChannelInfo::removeChannels(); }

  void loggerChartFromThreeDescriptions()
  {
    ModeGuard mode(false, false);
    describe(kLoggerDescriptions);
    ChartFixture f;
    f.widget->mult1 = 2;
    f.widget->mult2 = 3;
    QSignalSpy added(f.widget, &GLWidget::channelsAdded);
    f.widget->addChannels({});
    QCOMPARE(added.count(), 1);

    QCOMPARE(f.plot->graphCount(), 4);
    QCOMPARE(f.widget->maps.size(), 3);
    for (int i = 0; i < 3; ++i)
      QCOMPARE(f.plot->graph(i)->data(), f.widget->maps.at(i));
    PlotGraph *cursor = f.plot->graph(3);
    QVERIFY(!f.widget->maps.contains(cursor->data()));
    QCOMPARE(cursor->valueAxis(), f.plot->yAxis);
    QCOMPARE(cursor->pen().color(), QColor(Qt::black));
    QVERIFY(!f.plot->yAxis->visible());

    PlotAxisRect *rect = f.plot->axisRect();
    PlotAxis *current = f.plot->graph(0)->valueAxis();
    QVERIFY(dynamic_cast<Axis *>(current));
    QCOMPARE(current->axisType(), PlotAxis::atLeft);
    QCOMPARE(current->label(), QStringLiteral("#0: Current, mA"));
    QCOMPARE(current->range(), PlotRange(0, 1000));
    QCOMPARE(current->rangeMax(), 2100000.0);

    PlotAxis *v1 = f.plot->graph(1)->valueAxis();
    PlotAxis *v2 = f.plot->graph(2)->valueAxis();
    QCOMPARE(v1, rect->axis(PlotAxis::atRight, 1));
    QCOMPARE(v2, f.plot->yAxis2);
    QCOMPARE(v2, rect->axis(PlotAxis::atRight, 0));
    for (PlotAxis *a : {v1, v2}) {
      QVERIFY(!dynamic_cast<Axis *>(a));
      QVERIFY(!dynamic_cast<AxisPower *>(a));
      QVERIFY(a->visible());
    }
    QCOMPARE(v1->label(), QStringLiteral("#1: Vbus, V"));
    QCOMPARE(v2->label(), QStringLiteral("#2: Vin, V"));
    QCOMPARE(v1->range(), PlotRange(-200, 11000));
    QCOMPARE(v2->range(), PlotRange(-300, 16500));
    QCOMPARE(v2->rangeMin(), -300.0);
    QCOMPARE(v2->rangeMax(), 16500.0);
    // Only the left axis is an Axis.
    int axisCount = 0;
    for (PlotAxis *a : rect->axes())
      axisCount += dynamic_cast<Axis *>(a) ? 1 : 0;
    QCOMPARE(axisCount, 1);
    // Each axis takes its graph's colour.
    QCOMPARE(v1->labelColor(), f.plot->graph(1)->pen().color());
  }

  void multiplierChanged_data()
  {
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("multiplier");
    QTest::addColumn<double>("lower1");
    QTest::addColumn<double>("upper1");
    QTest::addColumn<double>("lower2");
    QTest::addColumn<double>("upper2");
    QTest::newRow("channel 1 doubled") << 1 << 2 << -200.0 << 11000.0 << -100.0 << 5500.0;
    QTest::newRow("channel 2 by four") << 2 << 4 << -100.0 << 5500.0 << -400.0 << 22000.0;
    QTest::newRow("no such channel") << 3 << 2 << -100.0 << 5500.0 << -100.0 << 5500.0;
    QTest::newRow("field being typed") << 1 << 0 << -100.0 << 5500.0 << -100.0 << 5500.0;
    QTest::newRow("beyond four") << 2 << 5 << -100.0 << 5500.0 << -100.0 << 5500.0;
  }

  void multiplierChanged()
  {
    QFETCH(int, channel);
    QFETCH(int, multiplier);
    QFETCH(double, lower1);
    QFETCH(double, upper1);
    QFETCH(double, lower2);
    QFETCH(double, upper2);
    ModeGuard mode(false, false);
    describe(kLoggerDescriptions);
    ChartFixture f;
    f.widget->addChannels({});
    f.widget->multiplierChanged(channel, multiplier);
    PlotAxis *v1 = f.plot->graph(1)->valueAxis();
    PlotAxis *v2 = f.plot->graph(2)->valueAxis();
    QCOMPARE(v1->range(), PlotRange(lower1, upper1));
    QCOMPARE(v1->rangeMin(), lower1);
    QCOMPARE(v1->rangeMax(), upper1);
    QCOMPARE(v2->range(), PlotRange(lower2, upper2));
    QCOMPARE(v2->rangeMin(), lower2);
    QCOMPARE(v2->rangeMax(), upper2);
    QCOMPARE(f.widget->mult1, lower1 / -100);
    QCOMPARE(f.widget->mult2, lower2 / -100);
  }

  // A second addChannels on the same tab (a reused tab at start) replaces the
  // first set: the old graphs must not keep drawing from freed maps.
  void addChannelsTwiceLeavesWhatOnceLeaves_data()
  {
    QTest::addColumn<bool>("power");
    QTest::addColumn<QList<int>>("channels");
    QTest::newRow("logger") << false << QList<int>();
    QTest::newRow("power supply") << true << QList<int>{1, 3, 4};
  }

  void addChannelsTwiceLeavesWhatOnceLeaves()
  {
    QFETCH(bool, power);
    QFETCH(QList<int>, channels);
    ModeGuard mode(power, false);
    describe(power ? kPowerDescriptions : kLoggerDescriptions);

    ChartFixture once;
    once.widget->addChannels(channels);
    const QStringList expected = layoutOf(once.widget);

    ChartFixture twice;
    twice.widget->show();
    twice.widget->addChannels(channels);
    fill(twice.widget, 500);
    twice.widget->repaint();
    twice.widget->addChannels(channels);
    fill(twice.widget, 500);
    twice.widget->repaint();
    QCOMPARE(layoutOf(twice.widget), expected);

    // One relay per axis: a range change is announced once.
    struct Relayed
    {
      PlotRange newRange, oldRange;
      PlotAxis *axis;
    };
    QList<Relayed> relayed;
    connect(twice.widget, &GLWidget::axisRangeChanged, this,
            [&relayed](PlotRange &n, PlotRange &o, PlotAxis *a) { relayed.append({n, o, a}); });
    PlotAxis *axis = twice.plot->graph(0)->valueAxis();
    const PlotRange before = axis->range();
    axis->setRange(before.lower, before.upper - 1);
    QCOMPARE(relayed.size(), 1);
    QCOMPARE(relayed.at(0).axis, axis);
    QCOMPARE(relayed.at(0).oldRange, before);
    QCOMPARE(relayed.at(0).newRange, PlotRange(before.lower, before.upper - 1));
  }

  // After an unplug no description is held; a logger tab still gets #0 to #2.
  void loggerWithoutDescriptions()
  {
    ModeGuard mode(false, false);
    describe({{0, "mA,Current,"}, {1, "V,Vbus,"}, {2, "V,Vin,"}, {3, "V,Extra,"}});
    ChannelInfo::removeChannels();
    ChartFixture f;
    f.widget->addChannels({0, 1, 2});
    QCOMPARE(f.widget->maps.size(), 3);
    QCOMPARE(f.plot->graphCount(), 4);
    QCOMPARE(f.plot->graph(0)->name(), QStringLiteral("#0"));
    QCOMPARE(f.plot->graph(1)->name(), QStringLiteral("#1"));
    QCOMPARE(f.plot->graph(2)->valueAxis()->label(), QStringLiteral("#2, V"));

    // More descriptions than the logger's three give no extra graph.
    describe({{0, "mA,Current,"}, {1, "V,Vbus,"}, {2, "V,Vin,"}, {3, "V,Extra,"}});
    f.widget->addChannels({});
    QCOMPARE(f.widget->maps.size(), 3);
    QCOMPARE(f.plot->graphCount(), 4);
  }

  void channelTextsThatAreCutOrMissing_data()
  {
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("graph");
    QTest::addColumn<QString>("powerLabel");
    QTest::newRow("unit, name and comma") << "V,Output," << "#0: Output" << "#0: Output, V";
    QTest::newRow("no closing comma") << "V,Output" << "#0: Output" << "#0: Output, V";
    QTest::newRow("no comma") << "V" << "#0" << "#0, V";
    QTest::newRow("empty") << "" << "#0" << "#0, ";
    QTest::newRow("cut off") << "mV," + QString(60, 'x') << "#0: " + QString(45, 'x') << "#0: " + QString(45, 'x') + ", mV";
  }

  void channelTextsThatAreCutOrMissing()
  {
    QFETCH(QString, info);
    QFETCH(QString, graph);
    QFETCH(QString, powerLabel);
    describe({{0, info, 0, 30, 1}});
    {
      ModeGuard mode(true, false);
      ChartFixture f;
      f.widget->addChannels({0});
      QCOMPARE(f.plot->graph(0)->name(), graph);
      QCOMPARE(f.plot->graph(0)->valueAxis()->label(), powerLabel);
    }
    ModeGuard mode(false, false);
    ChartFixture f;
    f.widget->addChannels({});
    QCOMPARE(f.plot->graph(0)->name(), graph);
  }

  void powerChannels()
  {
    ModeGuard mode(true, false);
    describe(kPowerDescriptions);
    ChartFixture f;
    f.widget->addChannels({1, 3, 4});
    QCOMPARE(f.widget->maps.size(), 3);
    QCOMPARE(f.plot->graphCount(), 4);
    const QList<int> channel = {1, 3, 4};
    const QList<PlotAxis::AxisType> side = {PlotAxis::atRight, PlotAxis::atLeft, PlotAxis::atRight};
    const QList<QColor> color = {QColor(Qt::green), QColor(Qt::magenta), QColor(Qt::darkGreen)};
    for (int k = 0; k < 3; ++k) {
      PlotGraph *g = f.plot->graph(k);
      QCOMPARE(g->data(), f.widget->maps.at(k));
      auto *axis = dynamic_cast<AxisPower *>(g->valueAxis());
      QVERIFY(axis);
      QCOMPARE(axis->channel, channel.at(k));
      QCOMPARE(axis->axisType(), side.at(k));
      QCOMPARE(g->pen().color(), color.at(k));
      const Description &d = kPowerDescriptions.at(channel.at(k));
      QCOMPARE(axis->range(), PlotRange(d.lower, d.upper));
      QCOMPARE(axis->rangeMin(), d.lower);
      QCOMPARE(axis->numberPrecision(), d.precision);
      QCOMPARE(axis->tickStep(), 0.2);
      QCOMPARE(axis->subTickCount(), 5);
    }
    QCOMPARE(f.plot->graph(1)->valueAxis()->label(), QStringLiteral("#3: Outside, C"));
    // The logger's axes are absent: the plot's own right axis stays hidden.
    QVERIFY(!f.plot->yAxis2->visible());
    // Multipliers belong to the logger's voltage axes only.
    const PlotRange before = f.plot->axisRect()->axis(PlotAxis::atRight, 1)->range();
    f.widget->multiplierChanged(1, 2);
    QCOMPARE(f.plot->axisRect()->axis(PlotAxis::atRight, 1)->range(), before);
  }

  // The readers fill maps by position: a channel without a description must
  // still take its place, or later values land under another channel's axis.
  void listedChannelWithoutDescriptionKeepsItsPlace()
  {
    ModeGuard mode(false, true);
    describe({{0, "V,Output,"}, {1, "A,Load,"}, {2, "W,Power,"}, {4, "C,Inside,"}, {6, "V,Battery,", 0, 20, 2}});
    ChartFixture f;
    f.widget->addChannels({1, 3, 6});
    QCOMPARE(f.widget->maps.size(), 3);
    QCOMPARE(f.plot->graphCount(), 4);
    QCOMPARE(f.plot->graph(1)->name(), QStringLiteral("#3"));
    QCOMPARE(dynamic_cast<AxisPower *>(f.plot->graph(1)->valueAxis())->channel, 3);
    QCOMPARE(f.plot->graph(2)->name(), QStringLiteral("#6: Battery"));
    QCOMPARE(dynamic_cast<AxisPower *>(f.plot->graph(2)->valueAxis())->channel, 6);
    QCOMPARE(f.plot->graph(2)->valueAxis()->range(), PlotRange(0, 20));
    QCOMPARE(f.plot->graph(2)->data(), f.widget->maps.at(2));
  }

  void getColor_data()
  {
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("color");
    QTest::newRow("negative") << -3 << QColor(Qt::red);
    QTest::newRow("first") << 0 << QColor(Qt::red);
    QTest::newRow("orange") << 5 << QColor("#f67209");
    QTest::newRow("last") << 7 << QColor(Qt::darkCyan);
    QTest::newRow("second round") << 9 << QColor(Qt::green);
    QTest::newRow("past the rounds") << 20 << QColor(Qt::darkGreen);
    QTest::newRow("large") << std::numeric_limits<int>::max() << QColor(Qt::darkCyan);
  }

  void getColor()
  {
    QFETCH(int, index);
    QFETCH(QColor, color);
    QCOMPARE(GLWidget::getColor(index, false), color);
    QCOMPARE(GLWidget::getColor(index, true), color);
  }

  void updateReport()
  {
    GLWidget chart;
    const QByteArray empty = bytesOf(chart.report);
    PlotData nan(0.5, std::numeric_limits<double>::quiet_NaN());
    chart.updateReport(0, nan, true);
    PlotData inf(0.5, std::numeric_limits<double>::infinity());
    chart.updateReport(1, inf, false);
    QCOMPARE(bytesOf(chart.report), empty);

    // Two channels per sample instant; the second is all negative.
    const double current[] = {100, 300, 200, 400};
    const double voltage[] = {-5, -2, -9, -4};
    for (int i = 0; i < 4; ++i) {
      PlotData c(i * 0.1, current[i]);
      PlotData v(i * 0.1, voltage[i]);
      chart.updateReport(0, c, true);
      chart.updateReport(1, v, false);
    }
    const ReportData &r = chart.report;
    QCOMPARE(r.count, qint64(4));
    QCOMPARE(r.t_end, 0.30000000000000004);
    QCOMPARE(r.t_start, 0.0);
    QCOMPARE(r.sum0, 1000.0);
    QCOMPARE(r.avg0, 250.0);
    QCOMPARE(r.min0, 100.0);
    QCOMPARE(r.max0, 400.0);
    QCOMPARE(r.avg1, -5.0);
    QCOMPARE(r.min1, -9.0);
    QCOMPARE(r.max1, -2.0);
    QVERIFY(r.hasData(1));
    QVERIFY(!r.hasData(2));

    // Other channel numbers move only the end and the count.
    PlotData other(0.4, 7);
    chart.updateReport(5, other, true);
    QCOMPARE(chart.report.count, qint64(5));
    QCOMPARE(chart.report.t_end, 0.4);
    QCOMPARE(chart.report.sum0, 1000.0);
  }

  void timeRangeAndReset()
  {
    ModeGuard mode(false, false);
    ChartFixture f;
    QCOMPARE(f.widget->timeRange(), PlotRange(0, 0));
    QVERIFY(f.widget->isEmpty());
    f.widget->addChannels({});
    QCOMPARE(f.widget->timeRange(), PlotRange(0, 0));
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
    QTest::addColumn<quint16>("mask");
    QTest::addColumn<int>("divider");
    QTest::addColumn<double>("duration");
    QTest::addColumn<QString>("text");
    QTest::newRow("logger, two blanks before Sample")
      << false << quint16(5) << 1 << 0.0 << "Channels: #0, #2,  Sample rate: 1(10.000 kHz)";
    QTest::newRow("logger with duration")
      << false << quint16(7) << 10 << 12.5
      << "Channels: #0, #1, #2,  Sample rate: 10(1.000 kHz), Measurement time: " +
           Helpers::timeToString(12.5, true, 2);
    QTest::newRow("power supply") << true << quint16(0b1011) << 100 << 0.0
                                  << "Channels: #0, #1, #3,  Sample rate: 100 Hz";
    QTest::newRow("power supply, odd rate") << true << quint16(3) << 3 << 0.0 << "Channels: #0, #1,  Sample rate: 3333 Hz";
  }

  void title()
  {
    QFETCH(bool, power);
    QFETCH(quint16, mask);
    QFETCH(int, divider);
    QFETCH(double, duration);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ModeGuard mode(power, false);
    ChartFixture f;
    f.widget->addChannels({});
    QVERIFY(f.widget->swapFile->create(dir.filePath("Capture 1.tmp")));
    if (power)
      f.widget->swapFile->setHeader(qint8(qPopulationCount(mask)), mask, false, short(divider), false);
    else
      f.widget->swapFile->setHeader(startCommand(mask, quint16(divider)));
    f.widget->swapFile->duration = duration;
    f.widget->addTitle();
    f.widget->addTitle(); // a rebuild replaces, never adds
    QVERIFY(f.widget->title);
    QCOMPARE(f.plot->itemCount(), 1);
    QCOMPARE(f.widget->title->text(), text);
    QCOMPARE(f.widget->title->objectName(), QStringLiteral("measurementTitle"));
    QCOMPARE(f.widget->title->positionAlignment(), Qt::AlignTop | Qt::AlignHCenter);
    QVERIFY(f.widget->title->font().bold());
    QCOMPARE(f.widget->title->font().pointSize(), 10);
  }

  void noTitleWithoutCapture()
  {
    ModeGuard mode(false, false);
    ChartFixture f;
    f.widget->addChannels({});
    f.widget->addTitle();
    QVERIFY(!f.widget->title);
    QCOMPARE(f.plot->itemCount(), 0);
  }

  // At a stop the main window deletes the plot's newest item, the title.
  void titleDeletedBehindItsBack()
  {
    QTemporaryDir dir;
    ModeGuard mode(false, false);
    ChartFixture f;
    f.widget->addChannels({});
    f.widget->swapFile->create(dir.filePath("Capture 1.tmp"));
    f.widget->swapFile->setHeader(startCommand(1, 1));
    f.widget->addTitle();
    QVERIFY(f.plot->removeItem(f.plot->item()));
    QVERIFY(!f.widget->title);
    f.widget->addTitle();
    QCOMPARE(f.plot->itemCount(), 1);
    QCOMPARE(f.plot->item(), f.widget->title.data());
  }

  void destructorKeepsWhatIsNotTheWorkingFile_data()
  {
    QTest::addColumn<QString>("history");
    QTest::addColumn<bool>("workingFileRemains");
    QTest::addColumn<bool>("userFileRemains");
    QTest::newRow("unsaved working file") << "capture" << false << false;
    QTest::newRow("saved") << "capture,save" << false << true;
    QTest::newRow("moved away while unsaved") << "capture,saveAll" << false << true;
    QTest::newRow("opened") << "open" << false << true;
  }

  void destructorKeepsWhatIsNotTheWorkingFile()
  {
    QFETCH(QString, history);
    QFETCH(bool, workingFileRemains);
    QFETCH(bool, userFileRemains);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString working = dir.filePath("Capture 1.tmp");
    const QString user = dir.filePath("run.tovri");
    ModeGuard mode(false, false);
    describe(kLoggerDescriptions);

    const auto capture = [&](GLWidget *chart) {
      // As the main window runs a start and a stop.
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
        QVERIFY(f->widget->swapFile->save(user)); // saveAll leaves the flag as it was
      } else if (step == "open") {
        f->widget->addChannels({});
        QVERIFY(f->widget->swapFile->read(user, 10, f->widget->maps, nullptr));
        f->widget->addTitle();
      }
    }
    const qint64 userSize = QFileInfo(user).size();
    delete f;
    QCOMPARE(QFile::exists(working), workingFileRemains);
    QCOMPARE(QFile::exists(user), userFileRemains);
    if (userFileRemains)
      QCOMPARE(QFileInfo(user).size(), userSize);
  }
};

TOVRI_TEST(ChartWidgetTest)
#include "tst_chartwidget.moc"
