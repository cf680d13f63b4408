#include "axisaccess.h"
#include "plot.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <memory>

// Tick positions, sub-ticks and tick labels with their unit scaling.
class PlotAxisTicksTest : public QObject
{
  Q_OBJECT

  std::unique_ptr<PlotWidget> mPlot;
  PlotAxis *mAxis = nullptr;

  // Records every axisUnitChanged.
  struct UnitRecorder
  {
    QList<int> divisors;
    QList<QStringList> labels;
  };
  void recordUnits(UnitRecorder *recorder)
  {
    connect(mAxis, &PlotAxis::axisUnitChanged, this,
            [recorder](PlotAxis *, int divisor, QList<double> &, QList<QString> &labels) {
              recorder->divisors << divisor;
              recorder->labels << labels;
            });
  }
  // Ticks given by hand through ticksRequest, labels generated.
  void useTicks(const QList<double> &ticks)
  {
    mAxis->setAutoTicks(false);
    connect(mAxis, &PlotAxis::ticksRequest, this, [this, ticks] { mAxis->setTickVector(ticks); });
  }
  static bool fuzzyEqual(const QList<double> &a, const QList<double> &b)
  {
    if (a.size() != b.size())
      return false;
    for (int i = 0; i < a.size(); ++i)
      if (std::fabs(a[i] - b[i]) > 1e-9 * std::max(1.0, std::fabs(b[i])))
        return false;
    return true;
  }

private slots:
  void init()
  {
    mPlot = std::make_unique<PlotWidget>();
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    mPlot->setLocale(locale);
    mAxis = mPlot->xAxis;
    mAxis->setRangeMin(-1e12);
    mAxis->setRangeMax(1e15);
  }
  void cleanup() { mPlot.reset(); }

  void autoTicks_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("subTicks");
    QTest::addColumn<QList<double>>("ticks");
    QTest::newRow("0..5") << 0.0 << 5.0 << 0.8 << 3 << QList<double>{0, 0.8, 1.6, 2.4, 3.2, 4.0, 4.8, 5.6};
    QTest::newRow("0..100") << 0.0 << 100.0 << 15.0 << 2 << QList<double>{0, 15, 30, 45, 60, 75, 90, 105};
    QTest::newRow("-1..1") << -1.0 << 1.0 << 0.3 << 2 << QList<double>{-1.2, -0.9, -0.6, -0.3, 0, 0.3, 0.6, 0.9, 1.2};
    QTest::newRow("0..60") << 0.0 << 60.0 << 8.0 << 3 << QList<double>{0, 8, 16, 24, 32, 40, 48, 56, 64};
  }
  void autoTicks()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, step);
    QFETCH(int, subTicks);
    QFETCH(QList<double>, ticks);
    mAxis->setRange(lower, upper);
    mAxis->setupTickVectors();
    QVERIFY(std::fabs(mAxis->tickStep() - step) < 1e-12);
    QCOMPARE(mAxis->subTickCount(), subTicks);
    QVERIFY2(fuzzyEqual(mAxis->tickVector(), ticks), qPrintable(QString::number(mAxis->tickVector().size())));
    QCOMPARE(mAxis->tickVectorLabels().size(), mAxis->tickVector().size());
    // Sub-ticks only inside the range, ascending.
    const QList<double> sub = mAxis->subTickVector();
    QVERIFY(!sub.isEmpty());
    for (int i = 0; i < sub.size(); ++i) {
      QVERIFY(mAxis->range().contains(sub[i]));
      if (i > 0)
        QVERIFY(sub[i] > sub[i - 1]);
    }
  }

  void visibleBounds()
  {
    mAxis->setRange(0.5, 3.5);
    mAxis->setTickVector({0, 1, 2, 3, 4});
    QCOMPARE(mAxis->visibleTickBounds(), std::make_pair(1, 3));
    QCOMPARE(mAxis->lowestVisibleTick(), 1);
    QCOMPARE(mAxis->highestVisibleTick(), 3);
    // Between two ticks: nothing visible, high below low.
    mAxis->setRange(1.2, 1.8);
    QCOMPARE(mAxis->visibleTickBounds(), std::make_pair(2, 1));
    mAxis->setRange(10.0, 11.0);
    QCOMPARE(mAxis->visibleTickBounds(), std::make_pair(5, 4));
    mAxis->setRange(-3.0, -2.0);
    QCOMPARE(mAxis->visibleTickBounds(), std::make_pair(0, -1));
  }

  void subTicks()
  {
    mAxis->setRange(0.5, 3.5);
    mAxis->setTickVector({0, 1, 2, 3, 4});
    mAxis->visibleTickBounds();
    mAxis->generateSubTicks(1);
    // The partial intervals before the first and after the last visible tick count too.
    QCOMPARE(mAxis->subTickVector(), (QList<double>{0.5, 1.5, 2.5, 3.5}));
    mAxis->generateSubTicks(3);
    QCOMPARE(mAxis->subTickVector(), (QList<double>{0.5, 0.75, 1.25, 1.5, 1.75, 2.25, 2.5, 2.75, 3.25, 3.5}));
    mAxis->generateSubTicks(0);
    QVERIFY(mAxis->subTickVector().isEmpty());
    QCOMPARE(mAxis->subTickCount(), 0);

    // A sub-tick on a range bound belongs to the range.
    mAxis->setRange(0.0, 0.6);
    mAxis->setTickVector({0, 1});
    mAxis->visibleTickBounds();
    mAxis->generateSubTicks(4);
    QCOMPARE(mAxis->subTickVector(), (QList<double>{0.2, 0.4, 0.6}));
    mAxis->setTickVector({0, 1, 2, 3, 4});

    // Between two ticks the sub-ticks inside the range remain.
    mAxis->setRange(1.3, 1.7);
    mAxis->visibleTickBounds();
    mAxis->generateSubTicks(4);
    QVERIFY(fuzzyEqual(mAxis->subTickVector(), {1.4, 1.6}));

    // Stale visible indices (ticks replaced afterwards) stay inside the list.
    mAxis->setTickVector({1, 2});
    mAxis->generateSubTicks(1);
    QVERIFY(mAxis->subTickVector().isEmpty() || mAxis->subTickVector() == QList<double>{1.5});
  }

  void logarithmicTicks()
  {
    mAxis->setScaleType(PlotAxis::stLogarithmic);
    mAxis->setRange(2.0, 900.0);
    mAxis->setupTickVectors();
    QVERIFY(fuzzyEqual(mAxis->tickVector(), {1, 10, 100, 1000}));
    mAxis->setRange(-900.0, -2.0);
    mAxis->setupTickVectors();
    QVERIFY(fuzzyEqual(mAxis->tickVector(), {-1000, -100, -10, -1}));
    // A range across zero cannot be ticked logarithmically; only a receiver
    // writing through the signal's reference can leave one behind.
    connect(mAxis, qOverload<PlotRange &>(&PlotAxis::rangeChanged), this, [](PlotRange &r) {
      r.lower = -1;
      r.upper = 1;
    });
    mAxis->setRange(0.01, 1.0);
    QCOMPARE(mAxis->range().lower, -1.0);
    QTest::ignoreMessage(QtDebugMsg,
                         "virtual void PlotAxis::generateAutoTicks() Invalid range for logarithmic plot:  -1 - 1");
    mAxis->generateAutoTicks();
    QVERIFY(mAxis->tickVector().isEmpty());
  }

  void nothingToTick()
  {
    mAxis->setTickVector({1, 2, 3});
    mAxis->grid()->setVisible(false);
    mAxis->setTicks(false);
    mAxis->setTickLabels(false);
    mAxis->setupTickVectors(); // grid hidden too: the lists stay as they were
    QCOMPARE(mAxis->tickVector(), (QList<double>{1, 2, 3}));
    mAxis->grid()->setVisible(true);
    mAxis->setupTickVectors();
    QCOMPARE(mAxis->tickVector().size(), 8);
  }

  void tooSmallManualStepIsRefused()
  {
    mAxis->setAutoTickStep(false);
    mAxis->setTickStep(1e-9);
    mAxis->setRange(0.0, 1e6);
    QTest::ignoreMessage(QtDebugMsg, "virtual void PlotAxis::generateAutoTicks() Tick step doesn't suit the range: 1e-09");
    mAxis->setupTickVectors();
    QVERIFY(mAxis->tickVector().isEmpty());
    QVERIFY(mAxis->subTickVector().isEmpty());

    // Few ticks, but their indices beyond what 64-bit integers hold.
    mAxis->setTickStep(1e-4);
    mAxis->setRangeMax(1e16);
    mAxis->setRange(1e15, 1e15 + 0.5);
    QTest::ignoreMessage(QtDebugMsg, "virtual void PlotAxis::generateAutoTicks() Tick step doesn't suit the range: 0.0001");
    mAxis->setupTickVectors();
    QVERIFY(mAxis->tickVector().isEmpty());
  }

  void unitScaling_data()
  {
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<QList<double>>("ticks");
    QTest::addColumn<int>("divisor");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("thousands") << 0.0 << 3000.0 << QList<double>{0, 1500, 2500} << 1000
                               << QStringList{"0", "1.5", "2.5"};
    QTest::newRow("below a thousand") << 0.0 << 1000.0 << QList<double>{0, 500, 999} << 1
                                      << QStringList{"0", "500", "999"};
    QTest::newRow("highest tick decides, not the largest value")
        << -20000.0 << -500.0 << QList<double>{-12345, -1000} << 1 << QStringList{"-12 345", "-1 000"};
    QTest::newRow("millions") << 0.0 << 4e12 << QList<double>{1.5e6, 3e12} << 1000000
                              << QStringList{"1.5", "3 000 000"};
    QTest::newRow("seven digits after scaling") << 0.0 << 2e12 << QList<double>{1234567e6} << 1000000
                                                << QStringList{"1 234 567"};
    QTest::newRow("eight digits after scaling") << 0.0 << 2e13 << QList<double>{12345678e6} << 1000000
                                                << QStringList{"12 345 678"};
    QTest::newRow("thousands with decimals") << 0.0 << 900000.0 << QList<double>{999, 12345, 123456} << 1000
                                             << QStringList{"0.999", "12.345", "123.456"};
    QTest::newRow("plain thousands group") << -1e6 << -10.0 << QList<double>{-999999, -12345.5, -999} << 1
                                          << QStringList{"-999 999", "-12 345.5", "-999"};
    QTest::newRow("small numbers keep the exponent form")
        << 0.0 << 1.0 << QList<double>{0.00001, 0.5} << 1 << QStringList{"1e-05", "0.5"};
  }
  void unitScaling()
  {
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(QList<double>, ticks);
    QFETCH(int, divisor);
    QFETCH(QStringList, labels);
    UnitRecorder units;
    recordUnits(&units);
    useTicks(ticks);
    mAxis->setRange(lower, upper);
    mAxis->setupTickVectors();
    QCOMPARE(units.divisors, QList<int>{divisor});
    QCOMPARE(QStringList(mAxis->tickVectorLabels()), labels);
    QCOMPARE(units.labels.first(), labels);
  }

  void unitFollowsEveryGeneration()
  {
    UnitRecorder units;
    recordUnits(&units);
    mAxis->setRange(0.0, 5000.0);
    mAxis->setupTickVectors();
    mAxis->setRange(0.0, 500.0);
    mAxis->setupTickVectors();
    mAxis->setRange(0.0, 5e7);
    mAxis->setupTickVectors();
    QCOMPARE(units.divisors, (QList<int>{1000, 1, 1000000}));
  }

  void unitAnnouncedWithoutVisibleTicks()
  {
    UnitRecorder units;
    recordUnits(&units);
    useTicks({1000, 5000});
    mAxis->setTickVectorLabels({"kept"});
    mAxis->setRange(2000.0, 3000.0);
    mAxis->setupTickVectors();
    QCOMPARE(units.divisors, QList<int>{1});
    // Labels outside the visible ticks keep what they held; new entries are empty.
    QCOMPARE(mAxis->tickVectorLabels(), (QList<QString>{"kept", QString()}));
  }

  void receiversRewriteLabelsInPlace()
  {
    connect(mAxis, &PlotAxis::axisUnitChanged, this,
            [](PlotAxis *axis, int divisor, QList<double> &ticks, QList<QString> &labels) {
              QCOMPARE(divisor, 1);
              QCOMPARE(labels.size(), ticks.size());
              for (int i = axis->lowestVisibleTick(); i <= axis->highestVisibleTick(); ++i)
                labels[i] += QStringLiteral(" mA");
              ticks.append(99); // positions too
            });
    mAxis->setRange(0.0, 5.0);
    mAxis->setupTickVectors();
    QCOMPARE(mAxis->tickVectorLabels().at(1), QStringLiteral("0.8 mA"));
    QCOMPARE(mAxis->tickVector().last(), 99.0);
  }

  void onlyVisibleLabelsAreRewritten()
  {
    useTicks({0, 1, 2, 3});
    mAxis->setRange(0.5, 2.5);
    mAxis->setTickVectorLabels({"keep", "x", "y", "also kept"});
    mAxis->setupTickVectors();
    QCOMPARE(mAxis->tickVectorLabels(), (QList<QString>{"keep", "1", "2", "also kept"}));
  }

  void manualLabels()
  {
    QSignalSpy requests(mAxis, &PlotAxis::ticksRequest);
    mAxis->setAutoTickLabels(false);
    mAxis->setTickVectorLabels({"a"});
    mAxis->setRange(0.0, 5.0);
    mAxis->setupTickVectors();
    QCOMPARE(requests.count(), 1); // automatic ticks: asked once, for the labels
    QCOMPARE(mAxis->tickVectorLabels().size(), mAxis->tickVector().size());
    QCOMPARE(mAxis->tickVectorLabels().first(), QStringLiteral("a"));
    QVERIFY(mAxis->tickVectorLabels().last().isEmpty());
  }

  void dateTimeLabels()
  {
    useTicks({86400, 86400 + 3661.5});
    mAxis->setTickLabelType(PlotAxis::ltDateTime);
    mAxis->setDateTimeSpec(Qt::UTC);
    mAxis->setDateTimeFormat("yyyy-MM-dd hh:mm:ss.zzz");
    UnitRecorder units;
    recordUnits(&units);
    mAxis->setRange(0.0, 100000.0);
    mAxis->setupTickVectors();
    QCOMPARE(mAxis->tickVectorLabels(),
             (QList<QString>{"1970-01-02 00:00:00.000", "1970-01-02 01:01:01.500"}));
    QVERIFY(units.divisors.isEmpty());
  }
};

TOVRI_TEST(PlotAxisTicksTest)
#include "tst_axisticks.moc"
