#include "axisaccess.h"
#include "paintrecorder.h"
#include "plot.h"
#include "snapshot.h"
#include "testmain.h"

#include <QTest>
#include <memory>

// Grid lines at the visible ticks, the sub-grid and the zero line.
class PlotGridTest : public QObject
{
  Q_OBJECT

  std::unique_ptr<PlotWidget> mPlot;
  PlotAxisRect *mRect = nullptr;
  PlotAxis *mAxis = nullptr;
  PaintRecorder mRecorder{300, 200};

  // Ticks given by hand, visible indices worked out as a tick setup would.
  void setTicks(double lower, double upper, const QList<double> &ticks)
  {
    mAxis->setRange(lower, upper);
    mAxis->setTickVector(ticks);
    mAxis->visibleTickBounds();
  }
  QList<PaintOp> paintGrid()
  {
    mRecorder.clear();
    PlotPainter painter(&mRecorder);
    painter.setModes(PlotPainter::pmVectorized);
    GridAccess::callDraw(mAxis->grid(), &painter);
    painter.end();
    return mRecorder.opsOfKind(PaintOp::Line);
  }

private slots:
  void init()
  {
    mPlot = std::make_unique<PlotWidget>();
    // A data area outside the layout: left 10, top 20, 100 x 50 (right 109, bottom 69).
    mRect = new PlotAxisRect(mPlot.get(), false);
    mRect->setOuterRect(QRect(10, 20, 100, 50));
    mRect->setMargins(QMargins());
    mAxis = mRect->addAxis(PlotAxis::atBottom);
    mAxis->setRangeMin(-100);
  }
  void cleanup()
  {
    delete mRect;
    mRect = nullptr;
    mPlot.reset();
  }

  void defaults()
  {
    PlotGrid *grid = mAxis->grid();
    QCOMPARE(grid->parentAxis(), mAxis);
    QVERIFY(!grid->subGridVisible());
    QVERIFY(!grid->antialiased());
    QVERIFY(!grid->antialiasedSubGrid());
    QVERIFY(!grid->antialiasedZeroLine());
    QCOMPARE(grid->pen().color(), QColor(200, 200, 200));
    QCOMPARE(grid->pen().style(), Qt::DotLine);
    QCOMPARE(grid->subGridPen().color(), QColor(220, 220, 220));
    QCOMPARE(grid->zeroLinePen().style(), Qt::SolidLine);
    QCOMPARE(grid->parentLayerable(), mAxis);
  }

  void zeroLineAndGridLines()
  {
    setTicks(-1, 1, {-1, -0.5, 0, 0.5, 1});
    const QList<PaintOp> lines = paintGrid();
    QCOMPARE(lines.size(), 5);
    // The zero line first, solid, across the whole data area at x = 60.
    QCOMPARE(lines[0].points, (QList<QPointF>{{60, 69}, {60, 20}}));
    QCOMPARE(lines[0].pen.style(), Qt::SolidLine);
    for (int i = 1; i < 5; ++i) {
      QCOMPARE(lines[i].pen.style(), Qt::DotLine);
      QVERIFY(lines[i].points[0].x() != 60);
    }
  }

  void zeroLineOnlyWhenTheRangeSpansZero()
  {
    setTicks(0, 1, {0, 0.5, 1});
    const QList<PaintOp> lines = paintGrid();
    QCOMPARE(lines.size(), 3);
    for (const PaintOp &op : lines)
      QCOMPARE(op.pen.style(), Qt::DotLine);
  }

  void noZeroLinePen()
  {
    mAxis->grid()->setZeroLinePen(Qt::NoPen);
    setTicks(-1, 1, {-1, 0, 1});
    const QList<PaintOp> lines = paintGrid();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[1].points[0].x(), 60.0);
    QCOMPARE(lines[1].pen.style(), Qt::DotLine);
  }

  void nearZeroTickCountsAsZero()
  {
    setTicks(-1, 1, {-0.5, 1e-7, 0.5});
    QList<PaintOp> lines = paintGrid();
    QCOMPARE(lines[0].pen.style(), Qt::SolidLine);
    QCOMPARE(lines.size(), 3);
    setTicks(-1, 1, {-0.5, 1e-5, 0.5}); // beyond range size x 1e-6
    lines = paintGrid();
    for (const PaintOp &op : lines)
      QCOMPARE(op.pen.style(), Qt::DotLine);
  }

  void onlyVisibleTicks()
  {
    setTicks(0.5, 2.5, {0, 1, 2, 3});
    QCOMPARE(paintGrid().size(), 2);
    // Between two ticks: no grid line, but the sub-grid inside the range.
    setTicks(1.3, 1.7, {1, 2});
    mAxis->generateSubTicks(4);
    mAxis->grid()->setSubGridVisible(true);
    const QList<PaintOp> lines = paintGrid();
    QCOMPARE(lines.size(), 2); // sub-ticks at 1.4 and 1.6
    for (const PaintOp &op : lines)
      QCOMPARE(op.pen.color(), QColor(220, 220, 220));
  }

  void verticalAxisAndAntialiasing()
  {
    mAxis = mRect->addAxis(PlotAxis::atLeft);
    mAxis->setRangeMin(-100);
    setTicks(-10, 10, {-10, 0, 10});
    mAxis->grid()->setAntialiasedZeroLine(true);
    mAxis->generateSubTicks(1);
    mAxis->grid()->setSubGridVisible(true);
    const QList<PaintOp> lines = paintGrid();
    // Sub-grid first (at -5 and 5), then the zero line, then the other grid lines.
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0].points, (QList<QPointF>{{10, 56.5}, {109, 56.5}}));
    QCOMPARE(lines[2].points, (QList<QPointF>{{10, 44}, {109, 44}}));
    QVERIFY(!lines[0].antialiased);
    QVERIFY(lines[2].antialiased);
    QVERIFY(!lines[3].antialiased);
    // The plot's override wins over the grid's own flag.
    mPlot->setNotAntialiasedElements(Plot::aaZeroLine);
    QVERIFY(!paintGrid()[2].antialiased);
  }

  void renderedGrid()
  {
    PlotWidget plot;
    plot.resize(500, 300);
    plot.xAxis->setRange(0.0, 12.0);
    plot.yAxis->setRangeMin(-10);
    plot.yAxis->setRange(-3.0, 5.0);
    plot.xAxis->grid()->setSubGridVisible(true);
    plot.yAxis->grid()->setSubGridVisible(true);
    plot.replot();
    // The grid sits on its own layer below the axes.
    QCOMPARE(plot.xAxis->grid()->layer()->name(), QStringLiteral("grid"));
    QVERIFY(plot.xAxis->grid()->layer()->index() < plot.xAxis->layer()->index());
    saveSnapshot(&plot, "axis-grid");
  }
};

TOVRI_TEST(PlotGridTest)
#include "tst_grid.moc"
