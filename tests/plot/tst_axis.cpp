#include "axisaccess.h"
#include "plot.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>
#include <memory>

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// An axis whose hooks leave a trace, to see which operation runs which hook.
class HookedAxis : public PlotAxis
{
public:
  using PlotAxis::PlotAxis;
  PlotRange calcTicksRange(PlotRange range) override
  {
    ++calcCalls;
    if (widenBy != 0)
      range.upper += widenBy;
    return range;
  }
  PlotRange tuneTicks(PlotRange range) override
  {
    ++tuneCalls;
    return range;
  }
  int calcCalls = 0;
  int tuneCalls = 0;
  double widenBy = 0;
};
// Counts both range signals (QSignalSpy cannot record reference arguments).
struct RangeSignals
{
  explicit RangeSignals(PlotAxis *axis)
  {
    QObject::connect(axis, qOverload<PlotRange &>(&PlotAxis::rangeChanged), axis,
                     [this](PlotRange &) { ++oneArgument; });
    QObject::connect(axis, qOverload<PlotRange &, PlotRange &>(&PlotAxis::rangeChanged), axis,
                     [this](PlotRange &, PlotRange &) { ++twoArguments; });
  }
  int oneArgument = 0;
  int twoArguments = 0;
};
} // namespace

// Range rules, scales and coordinate conversion of the axis.
class PlotAxisTest : public QObject
{
  Q_OBJECT

  std::unique_ptr<PlotWidget> mPlot;
  PlotAxisRect *mRect = nullptr;

  // An axis rectangle outside the layout with a fixed data area: left 10,
  // top 20, 100 x 50 pixels (right 109, bottom 69).
  PlotAxis *addAxis(PlotAxis::AxisType type, PlotAxis *axis = nullptr)
  {
    return mRect->addAxis(type, axis);
  }

  static bool rangeIsSane(const PlotRange &r)
  {
    return std::isfinite(r.lower) && std::isfinite(r.upper) && r.lower < r.upper;
  }

private slots:
  void init()
  {
    mPlot = std::make_unique<PlotWidget>();
    mPlot->resize(300, 200);
    mRect = new PlotAxisRect(mPlot.get(), false);
    mRect->setOuterRect(QRect(10, 20, 100, 50));
    mRect->setMargins(QMargins());
  }
  void cleanup()
  {
    delete mRect; // before the plot: a rect outside the layout is not deleted by the plot itself
    mRect = nullptr;
    mPlot.reset();
  }

  void construction()
  {
    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    QCOMPARE(axis->range(), PlotRange(0, 5));
    QCOMPARE(axis->rangeMin(), 0.0);
    QCOMPARE(axis->rangeMax(), 10000000.0);
    QCOMPARE(axis->orientation(), Qt::Horizontal);
    QCOMPARE(addAxis(PlotAxis::atRight)->orientation(), Qt::Vertical);
    QCOMPARE(axis->tickLabelPadding(), 3);
    QCOMPARE(axis->labelPadding(), 3);
    QCOMPARE(mRect->axis(PlotAxis::atRight)->tickLabelPadding(), 7);
    QCOMPARE(mRect->axis(PlotAxis::atRight)->labelPadding(), 12);
    QCOMPARE(axis->numberFormat(), QStringLiteral("gb"));
    QCOMPARE(axis->dateTimeFormat(), QStringLiteral("hh:mm:ss\ndd.MM.yy"));
    QVERIFY(!axis->antialiased());
    QVERIFY(axis->grid());
    QVERIFY(!axis->grid()->visible());
    QCOMPARE(axis->grid()->parent(), axis);
    QVERIFY(!axis->secondRowEnabled);
    QCOMPARE(axis->selectableParts(), PlotAxis::spAxis | PlotAxis::spTickLabels | PlotAxis::spAxisLabel);
    QCOMPARE(axis->selectedBasePen().width(), 2);
    QCOMPARE(axis->selectedLabelFont().weight(), QFont::Bold);
    // The axis is drawn after its own grid on the same layer.
    const QList<PlotLayerable *> children = axis->layer()->children();
    QVERIFY(children.indexOf(axis->grid()) < children.indexOf(axis));
    QCOMPARE(axis->property("range").value<PlotRange>(), PlotRange(0, 5));
    QVERIFY(axis->setProperty("range", QVariant::fromValue(PlotRange(1, 2))));
    QCOMPARE(axis->range(), PlotRange(1, 2));
    QVERIFY(axis->setProperty("lowerEnding", QVariant::fromValue(PlotLineEnding(PlotLineEnding::esDisc))));
    QCOMPARE(axis->lowerEnding().style(), PlotLineEnding::esDisc);
  }

  void rangeSetters_data()
  {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("startLower");
    QTest::addColumn<double>("startUpper");
    QTest::addColumn<double>("expLower");
    QTest::addColumn<double>("expUpper");
    QTest::addColumn<bool>("announced");
    // Limits 0 and 10000000 throughout.
    QTest::newRow("A: lower below limit snaps silently")
        << "rangeA" << -1.0 << 8.0 << 0.0 << 5.0 << 0.0 << 5.0 << false;
    QTest::newRow("A: lower below limit keeps old upper")
        << "rangeA" << -1.0 << 8.0 << 2.0 << 5.0 << 0.0 << 5.0 << false;
    QTest::newRow("A: upper above limit replaces only the upper bound")
        << "rangeA" << 2.0 << 20000000.0 << 0.0 << 5.0 << 0.0 << 10000000.0 << false;
    QTest::newRow("A: normal") << "rangeA" << 1.0 << 4.0 << 0.0 << 5.0 << 1.0 << 4.0 << true;
    QTest::newRow("A: reversed bounds are normalized")
        << "rangeA" << 4.0 << 1.0 << 0.0 << 5.0 << 1.0 << 4.0 << true;
    QTest::newRow("A: equal range is ignored") << "rangeA" << 0.0 << 5.0 << 0.0 << 5.0 << 0.0 << 5.0 << false;
    QTest::newRow("A: empty span ignored") << "rangeA" << 1.0 << 1.0 << 0.0 << 5.0 << 0.0 << 5.0 << false;
    QTest::newRow("B: lower below limit snaps and announces")
        << "rangeB" << -1.0 << 8.0 << 0.0 << 5.0 << 0.001 << 8.0 << true;
    QTest::newRow("B: upper above limit is cut silently")
        << "rangeB" << 1.0 << 2e7 << 0.0 << 5.0 << 0.0 << 10000000.0 << false;
    QTest::newRow("B: normal") << "rangeB" << 1.0 << 4.0 << 0.0 << 5.0 << 1.0 << 4.0 << true;
    QTest::newRow("B: empty span ignored") << "rangeB" << 1.0 << 1.0 << 0.0 << 5.0 << 0.0 << 5.0 << false;
    QTest::newRow("B: NaN ignored") << "rangeB" << 1.0 << kNaN << 0.0 << 5.0 << 0.0 << 5.0 << false;
    QTest::newRow("B: equal range is ignored") << "rangeB" << 0.0 << 5.0 << 0.0 << 5.0 << 0.0 << 5.0 << false;
    QTest::newRow("aligned right") << "alignRight" << 5.0 << 2.0 << 0.0 << 10.0 << 3.0 << 5.0 << true;
    QTest::newRow("aligned left") << "alignLeft" << 5.0 << 2.0 << 0.0 << 10.0 << 5.0 << 7.0 << true;
    QTest::newRow("aligned centre") << "alignCenter" << 5.0 << 2.0 << 0.0 << 10.0 << 4.0 << 6.0 << true;
    QTest::newRow("move stops at the lower limit") << "move" << -3.0 << 0.0 << 1.0 << 4.0 << 0.0 << 1.0 << true;
    QTest::newRow("move") << "move" << 2.0 << 0.0 << 1.0 << 4.0 << 3.0 << 6.0 << true;
    QTest::newRow("zoom out") << "scale" << 2.0 << 2.0 << 1.0 << 4.0 << 0.0 << 6.0 << true;
    QTest::newRow("zoom below minimum span refused")
        << "scale" << 0.0001 << 2.0 << 1.0 << 4.0 << 1.0 << 4.0 << false;
    QTest::newRow("zoom against the lower limit") << "scale" << 4.0 << 2.0 << 1.0 << 4.0 << 0.0 << 10.0 << true;
    QTest::newRow("upper bound clamped") << "upper" << 2e7 << 0.0 << 0.0 << 5.0 << 0.0 << 10000000.0 << true;
    QTest::newRow("lower bound clamped") << "lower" << -4.0 << 0.0 << 2.0 << 5.0 << 0.0 << 5.0 << true;
    QTest::newRow("lower bound past upper is normalized")
        << "lower" << 9.0 << 0.0 << 2.0 << 5.0 << 5.0 << 9.0 << true;
    QTest::newRow("lower bound NaN refused") << "lower" << kNaN << 0.0 << 2.0 << 5.0 << 2.0 << 5.0 << false;
  }
  void rangeSetters()
  {
    QFETCH(QString, operation);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, startLower);
    QFETCH(double, startUpper);
    QFETCH(double, expLower);
    QFETCH(double, expUpper);
    QFETCH(bool, announced);

    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    axis->setRange(startLower, startUpper);
    QCOMPARE(axis->range(), PlotRange(startLower, startUpper));
    RangeSignals spy(axis);

    if (operation == "rangeA") {
      PlotRange r; // written field by field: reversed input stays reversed
      r.lower = a;
      r.upper = b;
      axis->setRange(r);
    }
    else if (operation == "rangeB")
      axis->setRange(a, b);
    else if (operation == "alignRight")
      axis->setRange(a, b, Qt::AlignRight);
    else if (operation == "alignLeft")
      axis->setRange(a, b, Qt::AlignLeft);
    else if (operation == "alignCenter")
      axis->setRange(a, b, Qt::AlignCenter);
    else if (operation == "move")
      axis->moveRange(a);
    else if (operation == "scale")
      axis->scaleRange(a, b);
    else if (operation == "upper")
      axis->setRangeUpper(a);
    else if (operation == "lower")
      axis->setRangeLower(a);

    QCOMPARE(axis->range().lower, expLower);
    QCOMPARE(axis->range().upper, expUpper);
    QCOMPARE(spy.oneArgument, announced ? 1 : 0);
    QCOMPARE(spy.twoArguments, announced ? 1 : 0);
  }

  void signalsCarryTheStoredRange()
  {
    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    QStringList order;
    PlotRange seenOld;
    connect(axis, qOverload<PlotRange &>(&PlotAxis::rangeChanged), this, [&](PlotRange &newRange) {
      order << "one";
      newRange.upper = 3; // writes through to the axis
    });
    connect(axis, qOverload<PlotRange &, PlotRange &>(&PlotAxis::rangeChanged), this,
            [&](PlotRange &newRange, PlotRange &oldRange) {
              order << "two";
              seenOld = oldRange;
              QCOMPARE(newRange.upper, 3.0);
            });
    axis->setRange(1.0, 4.0);
    QCOMPARE(order, (QStringList{"one", "two"}));
    QCOMPARE(seenOld, PlotRange(0, 5));
    QCOMPARE(axis->range(), PlotRange(1, 3));
  }

  void cachedMarginAndHooks()
  {
    auto *axis = new HookedAxis(mRect, PlotAxis::atBottom);
    QVERIFY(mRect->addAxis(PlotAxis::atBottom, axis));
    axis->calculateMargin();
    QVERIFY(AxisAccess::marginValid(axis));

    // The snapping path of the two-value form announces without hook or invalidation.
    axis->setRange(-1.0, 8.0);
    QCOMPARE(axis->range(), PlotRange(0.001, 8));
    QVERIFY(AxisAccess::marginValid(axis));
    QCOMPARE(axis->calcCalls, 0);

    axis->setRange(1.0, 4.0);
    QVERIFY(!AxisAccess::marginValid(axis));
    QCOMPARE(axis->calcCalls, 1);

    // The stored range is the hook's result.
    axis->widenBy = 1;
    axis->setRange(PlotRange(2, 3));
    QCOMPARE(axis->range(), PlotRange(2, 4));
    axis->moveRange(1);
    QCOMPARE(axis->range(), PlotRange(3, 6));
    axis->widenBy = 0;
    QCOMPARE(axis->tuneCalls, 0);
    axis->scaleRange(0.5, 4.5);
    QCOMPARE(axis->tuneCalls, 1);
    QCOMPARE(axis->range(), PlotRange(3.75, 5.25));
    // A rejected zoom candidate still runs the hook and announces the unchanged range.
    RangeSignals spy(axis);
    axis->setRangeMin(-kInf);
    axis->setRangeMax(kInf);
    axis->scaleRange(1e300, 4.5);
    QCOMPARE(axis->range(), PlotRange(3.75, 5.25));
    QCOMPARE(axis->tuneCalls, 2);
    QCOMPARE(spy.oneArgument, 1);
    QCOMPARE(spy.twoArguments, 1);
  }

  void limitsAreOnlyStored()
  {
    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    axis->setRange(0.0, 10.0);
    RangeSignals spy(axis);
    axis->setRangeMin(5);
    axis->setRangeMax(8);
    QCOMPARE(axis->range(), PlotRange(0, 10));
    QCOMPARE(spy.oneArgument, 0);
    axis->setRange(6.0, 7.0);
    QCOMPARE(axis->range(), PlotRange(6, 7));
  }

  // Whatever the order of limit and range changes, no range is ever left
  // reversed, empty or with a non-finite bound.
  void limitsNeverBreakTheRange()
  {
    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    axis->setRange(0.0, 3.0);
    axis->setRangeMin(5);
    axis->setRange(PlotRange(1, 10)); // the cut would give (5, 3)
    QCOMPARE(axis->range(), PlotRange(0, 3));

    axis->setRangeMin(0);
    axis->setRangeMax(-1);
    axis->setRange(PlotRange(1, 10)); // the cut would give (0, -1)
    QCOMPARE(axis->range(), PlotRange(0, 3));
    axis->setRange(1.0, 10.0);
    QCOMPARE(axis->range(), PlotRange(0, 3));

    axis->setRangeMax(3);
    axis->moveRange(20); // both bounds against the upper limit
    QCOMPARE(axis->range(), PlotRange(0, 3));
    axis->setRangeMax(kInf);
    axis->setRangeUpper(kInf);
    QCOMPARE(axis->range(), PlotRange(0, 3));
    axis->setRangeMin(kNaN);
    axis->setRangeLower(-2);
    QCOMPARE(axis->range(), PlotRange(-2, 3));
    axis->setRangeMin(3);
    axis->setRange(-1.0, 3.0); // snapping to the limit would leave an empty range
    QCOMPARE(axis->range(), PlotRange(-2, 3));

    axis->setRangeMin(0);
    axis->setRangeMax(1e7);
    axis->setRange(1.0, 4.0);
    axis->setScaleType(PlotAxis::stLogarithmic);
    axis->moveRange(-1); // would reverse the range
    axis->moveRange(0);  // would collapse it
    axis->moveRange(kNaN);
    QCOMPARE(axis->range(), PlotRange(1, 4));
  }

  void randomLimitAndRangeChanges()
  {
    const double values[] = {-1e300, -1e7, -100, -5, -1, -0.001, 0, 1e-300, 0.001, 0.5, 1, 2, 5, 10,
                             100, 1e7, 1e300, kNaN, kInf, -kInf};
    const int valueCount = int(sizeof(values) / sizeof(values[0]));
    QRandomGenerator random(1234);
    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    auto pick = [&] { return values[random.bounded(valueCount)]; };
    // Misuse lines are expected by the thousand here; keep the log readable.
    const QtMessageHandler previousHandler =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    for (int step = 0; step < 20000; ++step) {
      switch (random.bounded(12)) {
      case 0: axis->setRangeMin(pick()); break;
      case 1: axis->setRangeMax(pick()); break;
      case 2: {
        PlotRange r;
        r.lower = pick();
        r.upper = pick();
        axis->setRange(r);
        break;
      }
      case 3: axis->setRange(pick(), pick()); break;
      case 4: axis->setRange(pick(), pick(), Qt::AlignRight); break;
      case 5: axis->setRangeLower(pick()); break;
      case 6: axis->setRangeUpper(pick()); break;
      case 7: axis->moveRange(pick()); break;
      case 8: axis->scaleRange(pick(), pick()); break;
      case 9:
        axis->setScaleType(random.bounded(2) ? PlotAxis::stLogarithmic : PlotAxis::stLinear);
        break;
      case 10: axis->setRange(PlotRange(pick(), pick())); break;
      case 11: axis->scaleRange(0.5 + random.bounded(1.5), axis->range().center()); break;
      }
      if (!rangeIsSane(axis->range())) {
        qInstallMessageHandler(previousHandler);
        QFAIL(qPrintable(QStringLiteral("step %1 left (%2, %3)").arg(step).arg(axis->range().lower).arg(axis->range().upper)));
      }
    }
    qInstallMessageHandler(previousHandler);
  }

  void scaleType()
  {
    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    axis->setRangeMin(-10);
    axis->setRange(-5.0, 10.0);
    QSignalSpy spy(axis, &PlotAxis::scaleTypeChanged);
    axis->setScaleType(PlotAxis::stLogarithmic);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(axis->range(), PlotRange(0.001, 10));
    axis->setScaleType(PlotAxis::stLogarithmic);
    QCOMPARE(spy.count(), 1);

    // Logarithmic moves multiply; zooms keep the sign domain.
    axis->setRange(1.0, 10.0);
    axis->moveRange(10);
    QCOMPARE(axis->range(), PlotRange(10, 100));
    axis->scaleRange(0.5, 10);
    QCOMPARE(axis->range().lower, 10.0);
    QVERIFY(std::fabs(axis->range().upper - std::sqrt(10.0) * 10) < 1e-9);
    QTest::ignoreMessage(QtDebugMsg, "virtual void PlotAxis::scaleRange(double, double) Center of scaling operation "
                                     "doesn't lie in same logarithmic sign domain as range: -1");
    axis->scaleRange(0.5, -1);

    QTest::ignoreMessage(QtDebugMsg,
                         "void PlotAxis::setScaleLogBase(double) Invalid logarithmic scale base (must be greater 1): 1");
    axis->setScaleLogBase(1);
    QCOMPARE(axis->scaleLogBase(), 10.0);
    axis->setScaleLogBase(2);
    QCOMPARE(axis->baseLog(8), 3.0);
    QCOMPARE(axis->basePow(3), 8.0);
  }

  void scaleRatio()
  {
    PlotAxis *x = addAxis(PlotAxis::atBottom);
    PlotAxis *y = addAxis(PlotAxis::atLeft);
    x->setRange(0.0, 100.0); // 100 pixels: one pixel per unit
    y->setRange(10.0, 20.0); // 50 pixels
    y->setRangeMin(-100);
    y->setScaleRatio(x, 1.0);
    QCOMPARE(y->range(), PlotRange(-10, 40));
  }

  void coordinates_data()
  {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("pixel");
    // Data area: left 10, width 100 (right 109); top 20, height 50 (bottom 69).
    QTest::newRow("horizontal") << int(PlotAxis::atBottom) << false << false << 0.0 << 100.0 << 25.0 << 35.0;
    QTest::newRow("horizontal reversed") << int(PlotAxis::atBottom) << false << true << 0.0 << 100.0 << 25.0 << 85.0;
    QTest::newRow("vertical") << int(PlotAxis::atLeft) << false << false << 0.0 << 10.0 << 2.0 << 59.0;
    QTest::newRow("vertical reversed") << int(PlotAxis::atLeft) << false << true << 0.0 << 10.0 << 2.0 << 29.0;
    QTest::newRow("log") << int(PlotAxis::atTop) << true << false << 1.0 << 100.0 << 10.0 << 60.0;
    QTest::newRow("log reversed") << int(PlotAxis::atTop) << true << true << 1.0 << 100.0 << 1.0 << 110.0;
    QTest::newRow("log vertical") << int(PlotAxis::atRight) << true << false << 1.0 << 10000.0 << 100.0 << 44.0;
    QTest::newRow("log negative") << int(PlotAxis::atBottom) << true << false << -100.0 << -1.0 << -10.0 << 60.0;
  }
  void coordinates()
  {
    QFETCH(int, type);
    QFETCH(bool, logarithmic);
    QFETCH(bool, reversed);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, value);
    QFETCH(double, pixel);
    PlotAxis *axis = addAxis(PlotAxis::AxisType(type));
    axis->setRangeMin(-1e9);
    axis->setScaleType(logarithmic ? PlotAxis::stLogarithmic : PlotAxis::stLinear);
    axis->setRange(lower, upper);
    axis->setRangeReversed(reversed);
    QCOMPARE(axis->range(), PlotRange(lower, upper));
    QVERIFY(std::fabs(axis->coordToPixel(value) - pixel) < 1e-9);
    // Round trips over the whole range and beyond it.
    for (int i = -10; i <= 20; ++i) {
      const double v = logarithmic ? lower * std::pow(upper / lower, i / 10.0) : lower + (upper - lower) * i / 10.0;
      const double back = axis->pixelToCoord(axis->coordToPixel(v));
      QVERIFY2(std::fabs(back - v) <= 1e-9 * std::max(1.0, std::fabs(v)),
               qPrintable(QStringLiteral("%1 came back as %2").arg(v).arg(back)));
    }
  }

  void logarithmicWrongSideOfZero()
  {
    PlotAxis *x = addAxis(PlotAxis::atBottom);
    x->setScaleType(PlotAxis::stLogarithmic);
    x->setRange(1.0, 100.0);
    QCOMPARE(x->coordToPixel(0), 10.0 - 200);
    QCOMPARE(x->coordToPixel(-5), 10.0 - 200);
    x->setRangeReversed(true);
    QCOMPARE(x->coordToPixel(0), 109.0 + 200);

    PlotAxis *y = addAxis(PlotAxis::atLeft);
    y->setScaleType(PlotAxis::stLogarithmic);
    y->setRangeMin(-1e9);
    y->setRange(-100.0, -1.0);
    QCOMPARE(y->coordToPixel(3), 20.0 - 200);
    y->setRangeReversed(true);
    QCOMPARE(y->coordToPixel(3), 69.0 + 200);
  }

  void selectionState()
  {
    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    QSignalSpy selection(axis, &PlotAxis::selectionChanged);
    QSignalSpy selectable(axis, &PlotAxis::selectableChanged);
    bool changed = false;
    AxisAccess::select(axis, false, PlotAxis::spAxis, &changed);
    QVERIFY(changed);
    QCOMPARE(axis->selectedParts(), PlotAxis::SelectableParts(PlotAxis::spAxis));
    QCOMPARE(axis->getBasePen(), axis->selectedBasePen());
    QCOMPARE(axis->getTickLabelFont(), axis->tickLabelFont());
    AxisAccess::select(axis, true, PlotAxis::spAxisLabel, &changed);
    QCOMPARE(axis->selectedParts(), PlotAxis::spAxis | PlotAxis::spAxisLabel);
    QCOMPARE(axis->getLabelColor(), axis->selectedLabelColor());
    AxisAccess::select(axis, true, PlotAxis::spAxis, &changed); // additive toggles
    QCOMPARE(axis->selectedParts(), PlotAxis::SelectableParts(PlotAxis::spAxisLabel));
    QCOMPARE(selection.count(), 3);

    axis->setSelectableParts(PlotAxis::spAxis);
    QCOMPARE(selectable.count(), 1);
    AxisAccess::select(axis, false, PlotAxis::spTickLabels, &changed); // not selectable: nothing
    QCOMPARE(axis->selectedParts(), PlotAxis::SelectableParts(PlotAxis::spAxisLabel));
    AxisAccess::deselect(axis, &changed); // only selectable parts are cleared
    QVERIFY(!changed);
    axis->setSelectableParts(PlotAxis::spAxisLabel);
    AxisAccess::deselect(axis, &changed);
    QVERIFY(changed);
    QCOMPARE(axis->selectedParts(), PlotAxis::SelectableParts(PlotAxis::spNone));
  }

  void staticHelpers()
  {
    QCOMPARE(PlotAxis::opposite(PlotAxis::atLeft), PlotAxis::atRight);
    QCOMPARE(PlotAxis::opposite(PlotAxis::atTop), PlotAxis::atBottom);
    QTest::ignoreMessage(QtDebugMsg, "static PlotAxis::AxisType PlotAxis::opposite(AxisType) invalid axis type");
    QCOMPARE(PlotAxis::opposite(PlotAxis::AxisType(3)), PlotAxis::atLeft);
    QCOMPARE(PlotAxis::marginSideToAxisType(Plot::msBottom), PlotAxis::atBottom);
    QCOMPARE(PlotAxis::marginSideToAxisType(Plot::msRight), PlotAxis::atRight);
    QTest::ignoreMessage(QtDebugMsg, "static PlotAxis::AxisType PlotAxis::marginSideToAxisType(Plot::MarginSide) "
                                     "Invalid margin side passed: 255");
    QCOMPARE(PlotAxis::marginSideToAxisType(Plot::msAll), PlotAxis::atLeft);
  }

  void settersAndInvalidation()
  {
    PlotAxis *axis = addAxis(PlotAxis::atLeft);
    auto valid = [axis] { return AxisAccess::marginValid(axis); };
    axis->calculateMargin();
    axis->setTickLengthIn(9); // the inner length is inside the rectangle
    QVERIFY(valid());
    axis->setOffset(4);
    QVERIFY(valid());
    QCOMPARE(axis->offset(), 4);
    axis->setTickLengthOut(3);
    QVERIFY(!valid());

    axis->calculateMargin();
    axis->setTickLabelRotation(120);
    QCOMPARE(axis->tickLabelRotation(), 90.0);
    QVERIFY(!valid());
    axis->calculateMargin();
    axis->setTickLabelRotation(90.0000000000001);
    QVERIFY(valid());
    axis->setSelectedTickLabelFont(QFont("Serif", 20));
    QVERIFY(valid());
    axis->setLabel("Current");
    QVERIFY(!valid());

    axis->calculateMargin();
    QTest::ignoreMessage(QtDebugMsg, "void PlotAxis::setAutoTickCount(int) approximateCount must be greater than zero: 0");
    axis->setAutoTickCount(0);
    QCOMPARE(axis->autoTickCount(), 6);
    QVERIFY(valid());

    axis->setVisible(false);
    QCOMPARE(axis->calculateMargin(), 0);
  }

  void numberFormatCodes()
  {
    PlotAxis *axis = addAxis(PlotAxis::atBottom);
    axis->setNumberFormat("g");
    QCOMPARE(axis->numberFormat(), QStringLiteral("g"));
    axis->setNumberFormat("gb");
    axis->setNumberFormat("gbc");
    QCOMPARE(axis->numberFormat(), QStringLiteral("gbc"));
    axis->setNumberFormat("ebd");
    QCOMPARE(axis->numberFormat(), QStringLiteral("eb"));
    axis->setNumberFormat("f");
    QCOMPARE(axis->numberFormat(), QStringLiteral("f"));
    QTest::ignoreMessage(QtDebugMsg, "void PlotAxis::setNumberFormat(const QString&) Invalid number format code "
                                     "(second char not 'b' or first char neither 'e' nor 'g'): \"fb\"");
    axis->setNumberFormat("fb");
    QCOMPARE(axis->numberFormat(), QStringLiteral("f"));
    QTest::ignoreMessage(QtDebugMsg,
                         "void PlotAxis::setNumberFormat(const QString&) Invalid number format code (first char not "
                         "in 'eEfgG'): \"x\"");
    axis->setNumberFormat("x");
    QTest::ignoreMessage(QtDebugMsg, "void PlotAxis::setNumberFormat(const QString&) Passed formatCode is empty");
    axis->setNumberFormat("");
    QCOMPARE(axis->numberFormat(), QStringLiteral("f"));
  }
};

TOVRI_TEST(PlotAxisTest)
#include "tst_axis.moc"
