#include "barsfixture.h"
#include "colorsagent.h"
#include "helpers.h"
#include "reportbar.h"
#include "testmain.h"

#include <QLabel>
#include <QTest>

namespace {
using Points = QList<QPointF>;

// min, max, avg of one channel; NaN for "no data expected".
struct Stats
{
  double min = kNaN, max = kNaN, avg = kNaN;
};

Stats channelStats(const ReportData &d, int c)
{
  if (!d.hasData(c))
    return {};
  switch (c) {
  case 0:
    return {d.min0, d.max0, d.avg0};
  case 1:
    return {d.min1, d.max1, d.avg1};
  default:
    return {d.min2, d.max2, d.avg2};
  }
}

QString text(const ReportBar &bar, const QString &name)
{
  const QLabel *label = bar.findChild<QLabel *>(name);
  return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
}
} // namespace

Q_DECLARE_METATYPE(Points)
Q_DECLARE_METATYPE(Stats)

class ReportBarTest : public QObject
{
  Q_OBJECT

private slots:
  void init() { removeSettingsFile(); }

  void spanStatistics_data()
  {
    QTest::addColumn<Points>("ch0");
    QTest::addColumn<Points>("ch1");
    QTest::addColumn<Points>("ch2");
    QTest::addColumn<Points>("extra"); // a fourth map, past the three channels
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<int>("calls");
    QTest::addColumn<Stats>("s0");
    QTest::addColumn<Stats>("s1");
    QTest::addColumn<Stats>("s2");
    QTest::addColumn<double>("tStart");
    QTest::addColumn<double>("tEnd");

    QTest::newRow("NaN skipped, span ends at the last point")
        << Points{} << Points{{1, 10}, {2, kNaN}, {3, 30}} << Points{} << Points{} << 0.0 << 5.0 << 1 << Stats{}
        << Stats{10, 30, 20} << Stats{} << 0.0 << 3.0;
    QTest::newRow("both ends included, outside points left out")
        << Points{{0.5, 1000}, {1, 4}, {2, 6}, {3, 8}, {3.5, -1000}} << Points{} << Points{} << Points{} << 1.0
        << 3.0 << 1 << Stats{4, 8, 6} << Stats{} << Stats{} << 1.0 << 3.0;
    QTest::newRow("all-negative channel has data")
        << Points{} << Points{} << Points{{1, -5}, {2, -1}, {3, -3}} << Points{} << 0.0 << 10.0 << 1 << Stats{}
        << Stats{} << Stats{-5, -1, -3} << 0.0 << 3.0;
    QTest::newRow("zero values are data")
        << Points{{1, 0}, {2, 0}} << Points{} << Points{} << Points{} << 0.0 << 10.0 << 1 << Stats{0, 0, 0}
        << Stats{} << Stats{} << 0.0 << 2.0;
    QTest::newRow("a second call adds to the averages, keeps extremes")
        << Points{{1, 2}, {2, 4}} << Points{} << Points{} << Points{} << 0.0 << 10.0 << 2 << Stats{2, 4, 4.5}
        << Stats{} << Stats{} << 0.0 << 2.0;
    QTest::newRow("positions 3 and up move only the span's end")
        << Points{{1, 7}} << Points{} << Points{} << Points{{4, 1e9}, {6, -1e9}} << 0.0 << 5.0 << 1
        << Stats{7, 7, 7} << Stats{} << Stats{} << 0.0 << 4.0;
    QTest::newRow("no point in range: span ends at the range's end")
        << Points{{8, 1}} << Points{} << Points{} << Points{} << 0.0 << 5.0 << 1 << Stats{} << Stats{} << Stats{}
        << 0.0 << 5.0;
  }

  void spanStatistics()
  {
    QFETCH(Points, ch0);
    QFETCH(Points, ch1);
    QFETCH(Points, ch2);
    QFETCH(Points, extra);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(int, calls);
    QFETCH(Stats, s0);
    QFETCH(Stats, s1);
    QFETCH(Stats, s2);
    QFETCH(double, tStart);
    QFETCH(double, tEnd);

    LoggerChart chart;
    chart.fill(0, ch0);
    chart.fill(1, ch1);
    chart.fill(2, ch2);
    PlotDataMap fourth;
    for (const QPointF &p : extra)
      fourth.insert(p.x(), PlotData(p.x(), p.y()));
    chart.widget->maps.append(&fourth);

    ReportData data;
    for (int i = 0; i < calls; ++i)
      ReportBar::update(chart.widget, PlotRange(lower, upper), &data);
    chart.widget->maps.removeLast();

    const Stats expected[3] = {s0, s1, s2};
    for (int c = 0; c < 3; ++c) {
      const Stats got = channelStats(data, c);
      QCOMPARE(std::isnan(got.max), std::isnan(expected[c].max));
      if (!std::isnan(expected[c].max)) {
        QCOMPARE(got.min, expected[c].min);
        QCOMPARE(got.max, expected[c].max);
        QCOMPARE(got.avg, expected[c].avg);
      }
    }
    QCOMPARE(data.t_start, tStart);
    QCOMPARE(data.t_end, tEnd);
    QCOMPARE(data.count, qint64(0));
  }

  void spanStatisticsWithoutChart()
  {
    ReportData data;
    ReportBar::update(nullptr, PlotRange(0, 1), &data);
    GLWidget bare; // no plot, no maps
    ReportBar::update(&bare, PlotRange(0, 1), &data);
    for (int c = 0; c < 3; ++c)
      QVERIFY(!data.hasData(c));
  }

  void labels_data()
  {
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("avg");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("values"); // min, max, average
    const QString micro = QString(QChar(0x03BC));
    QTest::newRow("999 uA unscaled") << 0 << 1.0 << 999.0 << 500.0 << "#0: " + micro + "A"
                                     << QStringList{"1.00", "999.00", "500.00"};
    QTest::newRow("1000 uA in mA") << 0 << 20.0 << 1000.0 << 500.0 << QStringLiteral("#0: mA")
                                   << QStringList{"0.02", "1.00", "0.50"};
    QTest::newRow("2 A") << 0 << 0.0 << 2000000.0 << 1500000.0 << QStringLiteral("#0:  A")
                         << QStringList{"0.00", "2.00", "1.50"};
    QTest::newRow("no current") << 0 << kNaN << kNaN << kNaN << "#0: " + micro + "A"
                                << QStringList{"0.0", "0.0", "0.0"};
    QTest::newRow("huge current maximum") << 0 << 0.0 << 1e300 << 1.0 << QStringLiteral("#0:  A")
                                          << QStringList{"0.00", QString::number(1e294, 'f', 2), "0.00"};
    QTest::newRow("volts") << 1 << 1200.0 << 4500.0 << 3000.0 << QStringLiteral("#1:  V")
                           << QStringList{"1.20", "4.50", "3.00"};
    QTest::newRow("negative millivolts") << 2 << -40.0 << -10.0 << -25.0 << QStringLiteral("#2: mV")
                                         << QStringList{"-40.00", "-10.00", "-25.00"};
    QTest::newRow("no voltage") << 2 << kNaN << kNaN << kNaN << QStringLiteral("#2: mV")
                                << QStringList{"0.0", "0.0", "0.0"};
  }

  void labels()
  {
    QFETCH(int, channel);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, avg);
    QFETCH(QString, name);
    QFETCH(QStringList, values);

    ReportBar bar;
    if (!std::isnan(max)) {
      double *fields[3][3] = {{&bar.fullData->min0, &bar.fullData->max0, &bar.fullData->avg0},
                              {&bar.fullData->min1, &bar.fullData->max1, &bar.fullData->avg1},
                              {&bar.fullData->min2, &bar.fullData->max2, &bar.fullData->avg2}};
      *fields[channel][0] = min;
      *fields[channel][1] = max;
      *fields[channel][2] = avg;
      *bar.frameData = *bar.fullData;
    }
    bar.updateControls();
    for (const char *suffix : {"", "_2"}) {
      const QString c = QString::number(channel) + QLatin1String(suffix);
      QCOMPARE(text(bar, "labelCh" + c), name);
      QCOMPARE(QStringList({text(bar, "labelMin" + c), text(bar, "labelMax" + c), text(bar, "labelAverage" + c)}),
               values);
    }
  }

  // A null chart empties the records but leaves what the labels show.
  void refreshWithoutChart()
  {
    LoggerChart chart;
    chart.fill(0, {{1, 2500}});
    chart.widget->report.max0 = chart.widget->report.min0 = chart.widget->report.avg0 = 2500;
    ReportBar bar;
    bar.update(chart.widget, true);
    QVERIFY(QMetaObject::invokeMethod(&bar, "updateFrame"));
    QVERIFY(bar.frameData->hasData(0));
    QCOMPARE(text(bar, "labelMax0"), QStringLiteral("2.50"));
    bar.update(nullptr, true);
    QVERIFY(!bar.fullData->hasData(0));
    QVERIFY(!bar.frameData->hasData(0));
    QCOMPARE(text(bar, "labelMax0"), QStringLiteral("2.50"));
  }

  // Panning sends a burst of refreshes: the whole capture shows at once, the
  // window once they pause, and for the last window only. A chart closed
  // before the pause leaves the bar as it was.
  void burstOfRangeChanges_data()
  {
    QTest::addColumn<bool>("closeChart");
    QTest::newRow("chart kept") << false;
    QTest::newRow("chart closed") << true;
  }

  void burstOfRangeChanges()
  {
    QFETCH(bool, closeChart);
    auto *chart = new LoggerChart(0, 100);
    Points points;
    for (int i = 0; i <= 100; ++i)
      points << QPointF(i, i * 10);
    chart->fill(1, points);
    chart->widget->report.min1 = 0;
    chart->widget->report.max1 = 1000;
    chart->widget->report.avg1 = 500;

    ReportBar bar;
    chart->plot->xAxis->setRange(0, 10);
    bar.update(chart->widget, true);
    QVERIFY(QMetaObject::invokeMethod(&bar, "updateFrame"));
    const QString shownRange = text(bar, "labelFrame");
    QCOMPARE(text(bar, "labelMax1_2"), QStringLiteral("100.00"));
    for (int i = 0; i < 50; ++i) {
      chart->plot->xAxis->setRange(i, i + 10);
      bar.update(chart->widget, true);
      QCOMPARE(text(bar, "labelMax1"), QStringLiteral("1.00"));
      QVERIFY(!bar.frameData->hasData(1));
      // The window table keeps the last pass's values meanwhile.
      QCOMPARE(text(bar, "labelFrame"), shownRange);
      QCOMPARE(text(bar, "labelMax1_2"), QStringLiteral("100.00"));
      QCOMPARE(text(bar, "labelCh1_2"), QStringLiteral("#1: mV"));
    }
    QCOMPARE(storedSetting("Main/report_bar"), QVariant(false));
    if (closeChart) {
      delete chart;
      chart = nullptr;
      // The pending window pass runs now, not after a sleep that might end first.
      QVERIFY(QMetaObject::invokeMethod(&bar, "updateFrame"));
      QVERIFY(!bar.frameData->hasData(1));
      return;
    }
    QTRY_VERIFY(bar.frameData->hasData(1));
    QCOMPARE(bar.frameData->min1, 490.0);
    QCOMPARE(bar.frameData->max1, 590.0);
    QCOMPARE(text(bar, "labelFrame"), QStringLiteral("49.000s-59.000s"));
    QCOMPARE(text(bar, "labelMax1_2"), QStringLiteral("590.00"));
    // Another chart's window shows at once: the values shown are not its own.
    LoggerChart other(0, 10);
    other.fill(1, {{5, 3000}});
    bar.update(other.widget, true);
    QCOMPARE(text(bar, "labelMax1_2"), QStringLiteral("3.00"));
    delete chart;
  }

  // A chart without a capture (a fresh tab, the one left after closing the
  // last) shows no readings: not the zeros of an empty record, not the
  // readings of the chart shown before, also after a language change.
  void chartWithoutCapture()
  {
    LoggerChart captured;
    captured.fill(0, {{1, 2500}});
    captured.widget->report.max0 = captured.widget->report.min0 = captured.widget->report.avg0 = 2500;
    LoggerChart fresh;
    ReportBar bar;
    bar.update(captured.widget, true);
    QCOMPARE(text(bar, "labelMax0"), QStringLiteral("2.50"));
    QCOMPARE(text(bar, "labelMax0_2"), QStringLiteral("2.50"));

    bar.update(fresh.widget, true);
    const QString micro = QString(QChar(0x03BC));
    for (int round = 0; round < 2; ++round) {
      for (const char *suffix : {"", "_2"}) {
        for (int c = 0; c < 3; ++c) {
          const QString n = QString::number(c) + QLatin1String(suffix);
          for (const QString &name : QStringList{"labelMin" + n, "labelMax" + n, "labelAverage" + n})
            QCOMPARE(text(bar, name), QStringLiteral("--"));
          QCOMPARE(text(bar, "labelCh" + n), c == 0 ? "#0: " + micro + "A" : QStringLiteral("#%1: mV").arg(c));
        }
      }
      QCOMPARE(text(bar, "labelFrame"), QStringLiteral("--"));
      QVERIFY(QMetaObject::invokeMethod(&bar, "updateFrame"));
      bar.on_translate();
    }
    QVERIFY(!bar.fullData->hasData(0));

    bar.update(captured.widget, true);
    QCOMPARE(text(bar, "labelMax0"), QStringLiteral("2.50"));
    QCOMPARE(text(bar, "labelMax0_2"), QStringLiteral("2.50"));
  }

  // A language or theme switch changes texts and colours, never what the
  // tables read, also while a window pass is pending.
  void languageAndTheme_data()
  {
    QTest::addColumn<bool>("pending");
    QTest::newRow("window pass done") << false;
    QTest::newRow("window pass pending") << true;
  }
  void languageAndTheme()
  {
    QFETCH(bool, pending);
    LoggerChart chart(0, 20);
    Points points;
    for (int i = 0; i <= 20; ++i)
      points << QPointF(i, 2000 + i * 100);
    chart.fill(0, points);
    chart.fill(2, {{4, 1500}, {5, 4500}});
    chart.widget->report.min0 = 2000;
    chart.widget->report.max0 = 4000;
    chart.widget->report.avg0 = 3000;
    ReportBar bar;
    bar.update(chart.widget, true);
    QVERIFY(QMetaObject::invokeMethod(&bar, "updateFrame"));
    if (pending) {
      chart.plot->xAxis->setRange(10, 20);
      bar.update(chart.widget, true);
    }
    QStringList before;
    const QList<QLabel *> labels = bar.findChildren<QLabel *>();
    for (const QLabel *label : labels)
      before << label->objectName() + QLatin1Char('=') + label->text();
    QVERIFY(before.contains(QStringLiteral("labelMax2_2=4.50")));
    QVERIFY(before.contains(QStringLiteral("labelCh0=#0: mA")));

    bar.on_translate();
    bar.on_changeColorTheme(true);
    bar.on_changeColors();
    QStringList after;
    for (const QLabel *label : labels)
      after << label->objectName() + QLatin1Char('=') + label->text();
    QCOMPARE(after, before);
    if (pending) {
      QVERIFY(QMetaObject::invokeMethod(&bar, "updateFrame"));
      QCOMPARE(text(bar, "labelMax0_2"), QStringLiteral("4.00"));
      QCOMPARE(text(bar, "labelMin2_2"), QStringLiteral("0.0"));
    }
  }

  void colours()
  {
    ReportBar bar;
    storeSetting("Options/Dark/report_1", "#123456");
    bar.on_changeColorTheme(true);
    QCOMPARE(bar.styleSheet(), QStringLiteral("QWidget QLabel { color: white; }"));
    bar.on_changeColors();
    QCOMPARE(bar.findChild<QLabel *>("labelAverage1_2")->styleSheet(), QStringLiteral("QLabel { color: #123456; }"));
    // A built-in colour on the dark window is lightened until it reads there;
    // the user's own choice stays as chosen.
    const QString style = bar.findChild<QLabel *>("labelCh0")->styleSheet();
    const QColor shown(style.section(QLatin1String("color: "), 1).section(QLatin1Char(';'), 0, 0));
    QVERIFY2(ColorsAgent::contrast(shown, Helpers::darkPalette().color(QPalette::Window)) >= 4.5, qPrintable(style));
    QCOMPARE(shown.red(), 255);
    QVERIFY(shown.green() == shown.blue() && shown.green() > 0);
    // On the light window the same red is darkened just enough.
    bar.on_changeColorTheme(false);
    bar.on_changeColors();
    QCOMPARE(bar.findChild<QLabel *>("labelCh0")->styleSheet(), QStringLiteral("QLabel { color: #db0000; }"));
    QCOMPARE(bar.findChild<QLabel *>("labelAverage1_2")->styleSheet(), QStringLiteral("QLabel { color: #0000ff; }"));
    bar.on_translate();
    QCOMPARE(text(bar, "labelFrame"), QStringLiteral("0.00-10.00,s"));
  }
};

TOVRI_TEST(ReportBarTest)
#include "tst_reportbar.moc"
