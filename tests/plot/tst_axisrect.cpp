#include "plot.h"
#include "plotaxis.h"
#include "plotgrid.h"
#include "plotlineending.h"
#include "snapshot.h"
#include "testmain.h"

#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {
// A shown plot whose data area is exactly 100 pixels wide from x = 0 and 140
// high from y = 0, so pixel distances translate into round coordinates.
class DragPlot
{
public:
  DragPlot()
  {
    plot.resize(100, 200);
    plot.show();
    rect = plot.axisRect();
    rect->setAutoMargins(Plot::msNone);
    rect->setMinimumMargins(QMargins());
    rect->setMargins(QMargins(0, 0, 0, 60));
    plot.setInteractions(Plot::iaRangeDrag | Plot::iaRangeZoom);
    plot.replot();
  }

  void press(QPoint pos, Qt::MouseButton button = Qt::LeftButton)
  {
    QMouseEvent event(QEvent::MouseButtonPress, pos, plot.mapToGlobal(pos), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&plot, &event);
  }
  void move(QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
  {
    QMouseEvent event(QEvent::MouseMove, pos, plot.mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(&plot, &event);
  }
  void release(QPoint pos)
  {
    QMouseEvent event(QEvent::MouseButtonRelease, pos, plot.mapToGlobal(pos), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&plot, &event);
  }
  // A point on the bottom axis, just below the data area.
  QPoint onBottomAxis(int x) const { return QPoint(x, rect->rect().bottom() + 2); }
  // A point on the left axis, just inside the data area.
  QPoint onLeftAxis(int y) const { return QPoint(rect->rect().left() + 2, y); }

  PlotWidget plot;
  PlotAxisRect *rect;
};

bool closeTo(const PlotRange &range, double lower, double upper)
{
  return qAbs(range.lower - lower) < 1e-9 && qAbs(range.upper - upper) < 1e-9;
}

class BareRect : public PlotAxisRect
{
public:
  using PlotAxisRect::PlotAxisRect;
  using PlotAxisRect::calculateAutoMargin;
};
} // namespace

class PlotAxisRectTest : public QObject
{
  Q_OBJECT
private slots:
  void geometryOfTheDragPlot()
  {
    DragPlot d;
    QCOMPARE(d.rect->rect(), QRect(0, 0, 100, 140));
    QCOMPARE(d.plot.axisAt(d.onBottomAxis(50)), d.plot.xAxis);
    QCOMPARE(d.plot.axisAt(d.onLeftAxis(70)), d.plot.yAxis);
  }

  void dragMovesTimeWindow()
  {
    DragPlot d;
    PlotAxis *x = d.plot.xAxis;
    x->setRange(10, 20);
    d.press(d.onBottomAxis(50));
    d.move(d.onBottomAxis(40));
    QCOMPARE(x->range(), PlotRange(11, 21));
    // Each move applies the whole distance since the press; Ctrl is five times as fast.
    d.move(d.onBottomAxis(40), Qt::ControlModifier);
    QCOMPARE(x->range(), PlotRange(15, 25));
    int released = 0;
    QObject::connect(&d.plot, &PlotWidget::mouseRelease, &d.plot, [&released] { ++released; });
    d.release(d.onBottomAxis(40));
    // Once from the plot, once from the axis rectangle's own release handling.
    QCOMPARE(released, 2);
    d.move(d.onBottomAxis(0));
    QCOMPARE(x->range(), PlotRange(15, 25));
  }

  void dragIntoLimitSignalsInsteadOfMoving()
  {
    DragPlot d;
    PlotAxis *x = d.plot.xAxis;
    x->setRange(0, 10);
    QSignalSpy border(&d.plot, &PlotWidget::rangeBorderReached);
    QSignalSpy replots(&d.plot, &PlotWidget::afterReplot);
    int changed = 0;
    QObject::connect(x, qOverload<PlotRange &>(&PlotAxis::rangeChanged), x, [&changed] { ++changed; });
    d.press(d.onBottomAxis(50));
    d.move(d.onBottomAxis(60));
    QCOMPARE(border.count(), 1);
    QCOMPARE(border.at(0).at(0).toDouble(), -1.0);
    QCOMPARE(border.at(0).at(1).toDouble(), 9.0);
    QCOMPARE(x->range(), PlotRange(0, 10));
    QCOMPARE(changed, 0);
    QCOMPARE(replots.count(), 0);

    // Against the upper limit as well.
    x->setRangeMax(10.5);
    d.move(d.onBottomAxis(40));
    QCOMPARE(border.count(), 2);
    QCOMPARE(border.at(1).at(1).toDouble(), 11.0);
    QCOMPARE(x->range(), PlotRange(0, 10));
    d.release(d.onBottomAxis(40));
  }

  void lowerBoundExactlyAtLimitIsAccepted()
  {
    DragPlot d;
    PlotAxis *x = d.plot.xAxis;
    x->setRange(1, 11);
    QSignalSpy border(&d.plot, &PlotWidget::rangeBorderReached);
    d.press(d.onBottomAxis(50));
    d.move(d.onBottomAxis(60));
    QCOMPARE(border.count(), 0);
    QCOMPARE(x->range(), PlotRange(0, 10));
  }

  void valueAxisStopsSilentlyAtLimits()
  {
    DragPlot d;
    PlotAxis *y = d.plot.yAxis;
    y->setRange(0, 14); // 10 pixels per unit over 140 pixels
    QSignalSpy border(&d.plot, &PlotWidget::rangeBorderReached);
    d.press(d.onLeftAxis(70));
    d.move(d.onLeftAxis(90)); // dragging down moves the range up
    QVERIFY(closeTo(y->range(), 2, 16));
    d.move(d.onLeftAxis(60)); // would put the lower bound at -1
    QVERIFY(closeTo(y->range(), 2, 16));
    y->setRangeMax(16.5);
    d.move(d.onLeftAxis(100));
    QVERIFY(closeTo(y->range(), 2, 16));
    QCOMPARE(border.count(), 0);
    QCOMPARE(d.plot.xAxis->range(), PlotRange(0, 5));
    d.release(d.onLeftAxis(100));
  }

  void horizontalOnlyDragLeavesValueAxesButReplots()
  {
    DragPlot d;
    d.rect->setRangeDrag(Qt::Horizontal);
    QSignalSpy replots(&d.plot, &PlotWidget::afterReplot);
    d.press(d.onLeftAxis(70));
    d.move(d.onLeftAxis(90));
    QCOMPARE(d.plot.yAxis->range(), PlotRange(0, 5));
    QCOMPARE(replots.count(), 1);

    d.rect->setRangeDrag(Qt::Orientations());
    d.move(d.onLeftAxis(100));
    QCOMPARE(replots.count(), 1); // no orientations: not even a replot
  }

  void noDragWithoutLeftButtonOrInteraction()
  {
    DragPlot d;
    d.plot.xAxis->setRange(10, 20);
    d.press(d.onBottomAxis(50), Qt::RightButton);
    d.move(d.onBottomAxis(40));
    QCOMPARE(d.plot.xAxis->range(), PlotRange(10, 20));
    d.release(d.onBottomAxis(40));

    d.plot.setInteractions(Plot::Interactions());
    d.press(d.onBottomAxis(50));
    d.move(d.onBottomAxis(40));
    QCOMPARE(d.plot.xAxis->range(), PlotRange(10, 20));
    d.release(d.onBottomAxis(40));

    // A press inside the data area grabs no axis: nothing moves.
    d.plot.setInteractions(Plot::iaRangeDrag);
    d.press(QPoint(50, 50));
    d.move(QPoint(20, 20));
    QCOMPARE(d.plot.xAxis->range(), PlotRange(10, 20));
    QCOMPARE(d.plot.yAxis->range(), PlotRange(0, 5));
    d.release(QPoint(20, 20));
  }

  void antialiasingOffDuringDrag()
  {
    DragPlot d;
    d.plot.setNoAntialiasingOnDrag(true);
    d.plot.setAntialiasedElements(Plot::aaGrid);
    d.plot.xAxis->setRange(10, 20);
    d.press(d.onBottomAxis(50));
    d.move(d.onBottomAxis(45));
    QCOMPARE(d.plot.notAntialiasedElements(), Plot::AntialiasedElements(Plot::aaAll));
    d.release(d.onBottomAxis(45));
    QCOMPARE(d.plot.antialiasedElements(), Plot::AntialiasedElements(Plot::aaGrid));
    QCOMPARE(d.plot.notAntialiasedElements(), Plot::AntialiasedElements(Plot::aaNone));

    // A press with another button takes no backups: its release keeps the
    // sets as they are now.
    d.plot.setAntialiasedElements(Plot::aaAxes);
    d.press(d.onBottomAxis(50), Qt::RightButton);
    d.release(d.onBottomAxis(50));
    QCOMPARE(d.plot.antialiasedElements(), Plot::AntialiasedElements(Plot::aaAxes));
  }

  void marginGrowsWithLabels()
  {
    PlotWidget plot;
    plot.resize(400, 300);
    plot.show();
    plot.replot();
    PlotAxisRect *rect = plot.axisRect();
    const int plainLeft = rect->margins().left();
    const int plainBottom = rect->margins().bottom();
    QVERIFY(plainLeft > 15);
    QCOMPARE(rect->margins().top(), 15); // hidden top axis: the minimum margin
    QCOMPARE(rect->margins().right(), 15);

    plot.yAxis->setLabel(QStringLiteral("Current, mA"));
    plot.replot();
    const int labelledLeft = rect->margins().left();
    QVERIFY(labelledLeft > plainLeft);

    QFont big = plot.yAxis->tickLabelFont();
    big.setPointSizeF(big.pointSizeF() * 3);
    plot.yAxis->setTickLabelFont(big);
    plot.yAxis->setRange(0, 100000);
    plot.replot();
    QVERIFY(rect->margins().left() > labelledLeft);

    plot.xAxis->setLabel(QStringLiteral("Time, s"));
    plot.replot();
    QVERIFY(rect->margins().bottom() > plainBottom);
    QCOMPARE(rect->rect().bottom(), rect->outerRect().bottom() - rect->margins().bottom());
    saveSnapshot(&plot, QStringLiteral("axisrect_margins"));

    plot.yAxis->setVisible(false);
    plot.replot();
    QCOMPARE(rect->margins().left(), 15);
  }

  void stackedAxes()
  {
    PlotWidget plot;
    plot.resize(400, 300);
    plot.show();
    PlotAxisRect *rect = plot.axisRect();
    PlotAxis *second = rect->addAxis(PlotAxis::atLeft);
    QCOMPARE(rect->axisCount(PlotAxis::atLeft), 2);
    QCOMPARE(rect->axis(PlotAxis::atLeft, 1), second);
    QCOMPARE(second->lowerEnding().style(), PlotLineEnding::esHalfBar);
    QVERIFY(second->lowerEnding().inverted());
    QVERIFY(!second->upperEnding().inverted());
    QCOMPARE(second->lowerEnding().width(), 6.0);
    QCOMPARE(second->lowerEnding().length(), 10.0);
    PlotAxis *right2 = rect->addAxis(PlotAxis::atRight);
    QVERIFY(!right2->lowerEnding().inverted());
    QVERIFY(right2->upperEnding().inverted());
    QCOMPARE(plot.yAxis->lowerEnding().style(), PlotLineEnding::esNone);

    plot.replot();
    QCOMPARE(second->offset(), plot.yAxis->offset() + plot.yAxis->calculateMargin() + second->tickLengthIn());
    QCOMPARE(rect->margins().left(), second->offset() + second->calculateMargin());
    // The hidden first right axis adds nothing; the visible second one is the
    // first visible axis of its side and gets no inner tick length.
    QCOMPARE(right2->offset(), 0);

    QTest::ignoreMessage(QtDebugMsg, "PlotAxis* PlotAxisRect::axis(PlotAxis::AxisType, int) const Axis index out of "
                                     "bounds: 3");
    QCOMPARE(rect->axis(PlotAxis::atLeft, 3), nullptr);
    QCOMPARE(rect->axes(PlotAxis::atLeft | PlotAxis::atBottom),
             QList<PlotAxis *>({plot.yAxis, second, plot.xAxis}));
    QCOMPARE(rect->axes().size(), 6);
  }

  void addAxisRefusesForeignAxes()
  {
    PlotWidget plot, other;
    PlotAxisRect *rect = plot.axisRect();
    auto *wrongSide = new PlotAxis(rect, PlotAxis::atRight);
    QTest::ignoreMessage(QtDebugMsg, "PlotAxis* PlotAxisRect::addAxis(PlotAxis::AxisType, PlotAxis*) passed axis has "
                                     "different axis type than specified in type parameter");
    QCOMPARE(rect->addAxis(PlotAxis::atLeft, wrongSide), nullptr);
    QCOMPARE(rect->addAxis(PlotAxis::atRight, wrongSide), wrongSide); // adopted

    auto *foreign = new PlotAxis(other.axisRect(), PlotAxis::atLeft);
    QTest::ignoreMessage(QtDebugMsg, "PlotAxis* PlotAxisRect::addAxis(PlotAxis::AxisType, PlotAxis*) passed axis "
                                     "doesn't have this axis rect as parent axis rect");
    QCOMPARE(rect->addAxis(PlotAxis::atLeft, foreign), nullptr);
    delete foreign;

    QTest::ignoreMessage(QtDebugMsg, "PlotAxis* PlotAxisRect::addAxis(PlotAxis::AxisType, PlotAxis*) passed axis is "
                                     "already owned by this axis rect");
    QCOMPARE(rect->addAxis(PlotAxis::atLeft, plot.yAxis), nullptr);
    QCOMPARE(rect->axisCount(PlotAxis::atLeft), 1);

    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^bool PlotAxisRect::removeAxis\\(PlotAxis\\*\\) Axis isn't "
                                                        "in axis rect: \\d+$"));
    QVERIFY(!other.axisRect()->removeAxis(plot.yAxis));
    const QList<PlotAxis *> added = rect->addAxes(PlotAxis::atTop | PlotAxis::atLeft);
    QCOMPARE(added.size(), 2);
    QCOMPARE(added.at(0)->axisType(), PlotAxis::atLeft);
    QCOMPARE(added.at(1)->axisType(), PlotAxis::atTop);
  }

  void rectWithoutAxes()
  {
    PlotWidget plot;
    auto *bare = new BareRect(&plot, false);
    QVERIFY(plot.plotLayout()->addElement(1, 0, bare));
    QVERIFY(bare->axes().isEmpty());
    QCOMPARE(bare->calculateAutoMargin(Plot::msLeft), 0);
    QCOMPARE(bare->minimumSize(), QSize(50, 50));
    plot.resize(300, 300);
    plot.show();
    plot.replot();
    QCOMPARE(bare->margins(), QMargins(15, 15, 15, 15));
    QCOMPARE(plot.axisRectCount(), 2);
    bare->setAutoMargins(Plot::msTop);
    QTest::ignoreMessage(QtDebugMsg, "virtual int PlotAxisRect::calculateAutoMargin(Plot::MarginSide) Called with "
                                     "side that isn't specified as auto margin");
    QCOMPARE(bare->calculateAutoMargin(Plot::msLeft), 0);
  }

  void looseRectGoesWithThePlot()
  {
    // An axis rectangle outside the layout is a child of the plot; it must be
    // gone before the plot it reports removed axes to.
    auto *plot = new PlotWidget;
    QPointer<PlotAxisRect> loose = new PlotAxisRect(plot, true);
    QPointer<PlotAxisRect> released = plot->axisRect();
    QVERIFY(plot->plotLayout()->take(released));
    QCOMPARE(released->parent(), plot);
    delete plot;
    QVERIFY(loose.isNull());
    QVERIFY(released.isNull());
  }

  void fullAxesBoxCopiesAndConnects()
  {
    PlotWidget plot;
    PlotAxisRect *rect = plot.axisRect();
    plot.xAxis->setRange(2, 8);
    plot.xAxis->setNumberPrecision(3);
    rect->setupFullAxesBox(true);
    QVERIFY(plot.xAxis2->visible());
    QVERIFY(plot.yAxis2->visible());
    QVERIFY(!plot.xAxis2->tickLabels());
    QCOMPARE(plot.xAxis2->range(), PlotRange(2, 8));
    QCOMPARE(plot.xAxis2->numberPrecision(), 3);
    plot.xAxis->setRange(3, 9);
    QCOMPARE(plot.xAxis2->range(), PlotRange(3, 9));
    plot.yAxis->setRange(1, 2);
    QCOMPARE(plot.yAxis2->range(), PlotRange(1, 2));
  }

  void backgroundIsDrawnInDataArea()
  {
    PlotWidget plot;
    plot.resize(200, 150);
    plot.show();
    PlotAxisRect *rect = plot.axisRect();
    QPixmap picture(4, 4);
    picture.fill(Qt::blue);
    rect->setBackground(picture, true, Qt::IgnoreAspectRatio);
    QCOMPARE(rect->background().size(), QSize(4, 4));
    plot.replot();
    const QImage image = plot.grab().toImage();
    // Away from grid lines, which fall on round values.
    QCOMPARE(image.pixelColor(rect->rect().left() + rect->rect().width() * 37 / 100, rect->rect().top() + rect->rect().height() * 43 / 100),
             QColor(Qt::blue));
    QCOMPARE(image.pixelColor(rect->rect().right() + 5, rect->rect().top() + 5), QColor(Qt::white));
  }

  // A data area whose axes need more room than the plot has is empty: the
  // time axis is not turned right to left, and nothing of the background,
  // the grid, the curve, a clipped item or the time axis is drawn.
  void marginsWiderThanThePlotDrawNothingInside_data()
  {
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<bool>("picture"); // an unscaled background picture instead of a brush
    QTest::newRow("room") << QMargins(40, 15, 40, 40) << false << false;
    QTest::newRow("room, picture") << QMargins(40, 15, 40, 40) << false << true;
    QTest::newRow("too wide") << QMargins(100, 15, 150, 40) << true << false;
    QTest::newRow("too wide, picture") << QMargins(100, 15, 150, 40) << true << true;
  }
  void marginsWiderThanThePlotDrawNothingInside()
  {
    QFETCH(QMargins, margins);
    QFETCH(bool, empty);
    QFETCH(bool, picture);
    PlotWidget plot;
    plot.resize(200, 150);
    plot.show();
    PlotAxisRect *rect = plot.axisRect();
    rect->setAutoMargins(Plot::msNone);
    rect->setMargins(margins);
    if (picture) {
      QPixmap blue(4, 4);
      blue.fill(Qt::blue);
      rect->setBackground(blue, false, Qt::IgnoreAspectRatio);
    } else {
      rect->setBackground(QBrush(Qt::blue));
    }
    plot.xAxis->setRange(0, 10);
    plot.yAxis->setRange(0, 10);
    plot.xAxis->setLabel(QStringLiteral("Time"));
    const QColor green(0, 200, 0);
    plot.xAxis->setBasePen(QPen(green));
    plot.xAxis->setTickPen(QPen(green));
    plot.xAxis->setSubTickPen(QPen(green));
    plot.xAxis->setTickLabelColor(green);
    plot.xAxis->setLabelColor(green);
    plot.xAxis->grid()->setPen(QPen(Qt::magenta));
    plot.yAxis->grid()->setPen(QPen(Qt::magenta));
    PlotGraph *graph = plot.addGraph();
    graph->setPen(QPen(Qt::red, 3));
    graph->setData({0, 5, 10}, {1, 9, 1});
    auto *line = new PlotItemStraightLine(&plot);
    plot.addItem(line);
    line->setPen(QPen(Qt::cyan, 3));
    line->point1->setCoords(5, 0);
    line->point2->setCoords(5, 10);
    plot.replot();

    QVERIFY(rect->rect().width() >= 0);
    QCOMPARE(rect->rect().width() == 0, empty);
    QVERIFY(plot.xAxis->coordToPixel(0) <= plot.xAxis->coordToPixel(10));
    const QImage image = plot.grab().toImage();
    saveSnapshot(&plot, QStringLiteral("axisrect_margins_") + QTest::currentDataTag());
    // Pixels leaning clearly to one colour.
    auto count = [&](auto leans) {
      int n = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const QColor c = image.pixelColor(x, y);
          n += leans(c.red(), c.green(), c.blue());
        }
      return n;
    };
    const int background = count([](int r, int g, int b) { return b > r + 60 && b > g + 60; });
    const int curve = count([](int r, int g, int b) { return r > g + 60 && r > b + 60; });
    const int grid = count([](int r, int g, int b) { return r > g + 60 && b > g + 60; });
    const int axis = count([](int r, int g, int b) { return g > r + 60 && g > b + 60; });
    const int item = count([](int r, int g, int b) { return g > r + 60 && b > r + 60; });
    const QList<int> drawn{background, curve, grid, axis, item};
    if (empty)
      QCOMPARE(drawn, QList<int>({0, 0, 0, 0, 0}));
    else
      QVERIFY2(!drawn.contains(0), qPrintable(QString("%1 %2 %3 %4 %5").arg(background).arg(curve).arg(grid)
                                                   .arg(axis).arg(item)));
  }
};

TOVRI_TEST(PlotAxisRectTest)
#include "tst_axisrect.moc"
