#include "paintrecorder.h"
#include "plot.h"
#include "testmain.h"

#include <QTest>
#include <QtMath>
#include <cmath>

class PlotLineEndingTest : public QObject
{
  Q_OBJECT

  // Draws one ending on a recorder through a vectorized painter (no pixel
  // rounding, so the geometry arrives exactly as computed).
  static QList<PaintOp> drawEnding(const PlotLineEnding &ending, QVector2D pos, QVector2D dir,
                                   const QPen &pen = QPen(Qt::red), PlotPainter::PainterModes extraModes = {})
  {
    PaintRecorder recorder;
    PlotPainter painter(&recorder);
    painter.setModes(PlotPainter::pmVectorized | extraModes);
    painter.setPen(pen);
    painter.setBrush(QBrush(Qt::green, Qt::Dense4Pattern));
    ending.draw(&painter, pos, dir);
    painter.end();
    return recorder.ops();
  }

  static void comparePoints(const QList<QPointF> &actual, const QList<QPointF> &expected)
  {
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i) {
      if (std::hypot(actual[i].x() - expected[i].x(), actual[i].y() - expected[i].y()) > 1e-4)
        QFAIL(qPrintable(QStringLiteral("point %1: (%2, %3) instead of (%4, %5)")
                             .arg(i)
                             .arg(actual[i].x())
                             .arg(actual[i].y())
                             .arg(expected[i].x())
                             .arg(expected[i].y())));
    }
  }

private slots:
  void defaultsAndConstruction()
  {
    const PlotLineEnding ending;
    QCOMPARE(ending.style(), PlotLineEnding::esNone);
    QCOMPARE(ending.width(), 8.0);
    QCOMPARE(ending.length(), 10.0);
    QCOMPARE(ending.inverted(), false);

    PlotLineEnding custom(PlotLineEnding::esHalfBar, 6, 12, true);
    QCOMPARE(custom.style(), PlotLineEnding::esHalfBar);
    QCOMPARE(custom.width(), 6.0);
    QCOMPARE(custom.length(), 12.0);
    QCOMPARE(custom.inverted(), true);
    custom.setInverted(false);
    custom.setWidth(3);
    QCOMPARE(custom.inverted(), false);
    QCOMPARE(custom.width(), 3.0);

    // Usable as a property value.
    const QVariant value = QVariant::fromValue(custom);
    QCOMPARE(value.value<PlotLineEnding>().style(), PlotLineEnding::esHalfBar);
    QCOMPARE(QMetaEnum::fromType<PlotLineEnding::EndingStyle>().valueToKey(PlotLineEnding::esSkewedBar),
             "esSkewedBar");
  }

  void distances_data()
  {
    QTest::addColumn<int>("style");
    QTest::addColumn<double>("bounding");
    QTest::addColumn<double>("real");
    const double diagonal = std::sqrt(8.0 * 8.0 + 10.0 * 10.0);
    QTest::newRow("none") << int(PlotLineEnding::esNone) << 0.0 << 0.0;
    QTest::newRow("flat arrow") << int(PlotLineEnding::esFlatArrow) << diagonal << 10.0;
    QTest::newRow("spike arrow") << int(PlotLineEnding::esSpikeArrow) << diagonal << 8.0;
    QTest::newRow("line arrow") << int(PlotLineEnding::esLineArrow) << diagonal << 0.0;
    QTest::newRow("disc") << int(PlotLineEnding::esDisc) << 8 * 1.42 << 4.0;
    QTest::newRow("square") << int(PlotLineEnding::esSquare) << 8 * 1.42 << 4.0;
    QTest::newRow("diamond") << int(PlotLineEnding::esDiamond) << 8 * 1.42 << 4.0;
    QTest::newRow("bar") << int(PlotLineEnding::esBar) << 8 * 1.42 << 0.0;
    QTest::newRow("half bar") << int(PlotLineEnding::esHalfBar) << 8 * 1.42 << 0.0;
    QTest::newRow("skewed bar") << int(PlotLineEnding::esSkewedBar) << diagonal << 0.0;
    QTest::newRow("unknown style") << 42 << 0.0 << 0.0;
  }
  void distances()
  {
    QFETCH(int, style);
    QFETCH(double, bounding);
    QFETCH(double, real);
    const PlotLineEnding ending(PlotLineEnding::EndingStyle(style), 8, 10);
    QCOMPARE(ending.boundingDistance(), bounding);
    QCOMPARE(ending.realLength(), real);
  }

  void noneAndUnknownStylesDrawNothing()
  {
    QVERIFY(drawEnding(PlotLineEnding(), QVector2D(50, 50), QVector2D(1, 0)).isEmpty());
    QVERIFY(drawEnding(PlotLineEnding(PlotLineEnding::EndingStyle(42)), QVector2D(50, 50), QVector2D(1, 0)).isEmpty());
  }

  void geometry_data()
  {
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<QVector2D>("dir");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<QPointF>>("points");
    const QVector2D right(1, 0);
    // Tip at (50, 50), width 8, length 10.
    QTest::newRow("flat arrow") << int(PlotLineEnding::esFlatArrow) << false << right << int(PaintOp::Polygon)
                                << QList<QPointF>{{50, 50}, {40, 54}, {40, 46}};
    QTest::newRow("flat arrow, zero direction points along +x")
        << int(PlotLineEnding::esFlatArrow) << false << QVector2D(0, 0) << int(PaintOp::Polygon)
        << QList<QPointF>{{50, 50}, {40, 54}, {40, 46}};
    QTest::newRow("flat arrow, unnormalized direction")
        << int(PlotLineEnding::esFlatArrow) << false << QVector2D(30, 0) << int(PaintOp::Polygon)
        << QList<QPointF>{{50, 50}, {40, 54}, {40, 46}};
    QTest::newRow("flat arrow inverted: body beyond the tip")
        << int(PlotLineEnding::esFlatArrow) << true << right << int(PaintOp::Polygon)
        << QList<QPointF>{{50, 50}, {60, 46}, {60, 54}};
    QTest::newRow("flat arrow pointing down")
        << int(PlotLineEnding::esFlatArrow) << false << QVector2D(0, 2) << int(PaintOp::Polygon)
        << QList<QPointF>{{50, 50}, {46, 40}, {54, 40}};
    QTest::newRow("spike arrow") << int(PlotLineEnding::esSpikeArrow) << false << right << int(PaintOp::Polygon)
                                 << QList<QPointF>{{50, 50}, {40, 54}, {42, 50}, {40, 46}};
    QTest::newRow("line arrow") << int(PlotLineEnding::esLineArrow) << false << right << int(PaintOp::Polyline)
                                << QList<QPointF>{{40, 54}, {50, 50}, {40, 46}};
    QTest::newRow("square") << int(PlotLineEnding::esSquare) << false << right << int(PaintOp::Polygon)
                            << QList<QPointF>{{54, 54}, {54, 46}, {46, 46}, {46, 54}};
    QTest::newRow("diamond") << int(PlotLineEnding::esDiamond) << false << right << int(PaintOp::Polygon)
                             << QList<QPointF>{{54, 50}, {50, 46}, {46, 50}, {50, 54}};
    QTest::newRow("bar") << int(PlotLineEnding::esBar) << false << right << int(PaintOp::Line)
                         << QList<QPointF>{{50, 54}, {50, 46}};
    QTest::newRow("half bar") << int(PlotLineEnding::esHalfBar) << false << right << int(PaintOp::Line)
                              << QList<QPointF>{{50, 54}, {50, 50}};
    QTest::newRow("half bar inverted goes to the other side")
        << int(PlotLineEnding::esHalfBar) << true << right << int(PaintOp::Line)
        << QList<QPointF>{{50, 46}, {50, 50}};
    QTest::newRow("skewed bar") << int(PlotLineEnding::esSkewedBar) << false << right << int(PaintOp::Line)
                                << QList<QPointF>{{52, 54}, {48, 46}};
    QTest::newRow("skewed bar inverted keeps its slant along the line")
        << int(PlotLineEnding::esSkewedBar) << true << right << int(PaintOp::Line)
        << QList<QPointF>{{52, 46}, {48, 54}};
  }
  void geometry()
  {
    QFETCH(int, style);
    QFETCH(bool, inverted);
    QFETCH(QVector2D, dir);
    QFETCH(int, kind);
    QFETCH(QList<QPointF>, points);
    const PlotLineEnding ending(PlotLineEnding::EndingStyle(style), 8, 10, inverted);
    const QList<PaintOp> ops = drawEnding(ending, QVector2D(50, 50), dir, QPen(QColor(10, 20, 30), 0));
    QCOMPARE(ops.size(), 1);
    QCOMPARE(int(ops[0].kind), kind);
    comparePoints(ops[0].points, points);
    if (kind == PaintOp::Polygon) {
      // Filled with the pen's colour whatever brush the painter held, with mitered corners.
      QCOMPARE(ops[0].brush.style(), Qt::SolidPattern);
      QCOMPARE(ops[0].brush.color(), QColor(10, 20, 30));
      QCOMPARE(ops[0].pen.joinStyle(), Qt::MiterJoin);
    }
  }

  void discIsFilledWithPenColour()
  {
    const QList<PaintOp> ops =
        drawEnding(PlotLineEnding(PlotLineEnding::esDisc, 8, 10), QVector2D(50, 50), QVector2D(0, 1));
    QCOMPARE(ops.size(), 1);
    QCOMPARE(ops[0].kind, PaintOp::Ellipse);
    QCOMPARE(ops[0].rect, QRectF(46, 46, 8, 8));
    QCOMPARE(ops[0].brush.color(), QColor(Qt::red));
    QCOMPARE(ops[0].brush.style(), Qt::SolidPattern);
  }

  void painterStateRestored()
  {
    for (int style = PlotLineEnding::esFlatArrow; style <= PlotLineEnding::esSkewedBar; ++style) {
      PaintRecorder recorder;
      PlotPainter painter(&recorder);
      const QPen pen(Qt::blue, 2, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin);
      const QBrush brush(Qt::green, Qt::CrossPattern);
      painter.setPen(pen);
      painter.setBrush(brush);
      PlotLineEnding(PlotLineEnding::EndingStyle(style)).draw(&painter, QVector2D(10, 10), QVector2D(1, 1));
      QCOMPARE(painter.pen(), pen);
      QCOMPARE(painter.brush(), brush);
      QVERIFY(!recorder.ops().isEmpty());
    }
  }

  void skewedBarWithWidePen()
  {
    // A wide pen moves the bar by half its width along the line.
    QList<PaintOp> ops = drawEnding(PlotLineEnding(PlotLineEnding::esSkewedBar, 8, 10), QVector2D(50, 50),
                                    QVector2D(1, 0), QPen(Qt::black, 3));
    QCOMPARE(ops.size(), 1);
    comparePoints(ops[0].points, {{53.5, 54}, {49.5, 46}});

    // A cosmetic pen made non-cosmetic by the painter counts as width 1.
    ops = drawEnding(PlotLineEnding(PlotLineEnding::esSkewedBar, 8, 10), QVector2D(50, 50), QVector2D(1, 0),
                     QPen(Qt::black, 0), PlotPainter::pmNonCosmetic);
    QCOMPARE(ops.size(), 1);
    comparePoints(ops[0].points, {{52.5, 54}, {48.5, 46}});
  }

  void angleFormMatchesDirection()
  {
    const PlotLineEnding ending(PlotLineEnding::esFlatArrow, 8, 10);
    PaintRecorder recorder;
    PlotPainter painter(&recorder);
    painter.setModes(PlotPainter::pmVectorized);
    ending.draw(&painter, QVector2D(50, 50), M_PI / 2);
    painter.end();
    QCOMPARE(recorder.ops().size(), 1);
    comparePoints(recorder.ops()[0].points, {{50, 50}, {46, 40}, {54, 40}});
  }
};

TOVRI_TEST(PlotLineEndingTest)
#include "tst_lineending.moc"
