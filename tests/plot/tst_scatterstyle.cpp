#include "paintrecorder.h"
#include "plot.h"
#include "testmain.h"

#include <QTest>
#include <cmath>

using Lines = QList<QLineF>;

class PlotScatterStyleTest : public QObject
{
  Q_OBJECT

  static QList<PaintOp> drawAt(const PlotScatterStyle &style, double x, double y, const QPen &pen = QPen(Qt::red),
                               const QBrush &brush = QBrush(Qt::green))
  {
    PaintRecorder recorder;
    PlotPainter painter(&recorder);
    painter.setModes(PlotPainter::pmVectorized);
    painter.setPen(pen);
    painter.setBrush(brush);
    style.drawShape(&painter, x, y);
    painter.end();
    return recorder.ops();
  }

  static bool near(const QPointF &a, const QPointF &b) { return std::hypot(a.x() - b.x(), a.y() - b.y()) < 1e-9; }

private slots:
  void constructors()
  {
    const PlotScatterStyle none;
    QCOMPARE(none.shape(), PlotScatterStyle::ssNone);
    QCOMPARE(none.size(), 6.0);
    QCOMPARE(none.pen().style(), Qt::NoPen);
    QCOMPARE(none.brush().style(), Qt::NoBrush);
    QVERIFY(!none.isPenDefined());
    QVERIFY(none.isNone());

    const PlotScatterStyle sized(PlotScatterStyle::ssCross, 9);
    QCOMPARE(sized.size(), 9.0);
    QVERIFY(!sized.isPenDefined());
    QVERIFY(!sized.isNone());

    const PlotScatterStyle coloured(PlotScatterStyle::ssCircle, Qt::blue, 4);
    QVERIFY(coloured.isPenDefined());
    QCOMPARE(coloured.pen().color(), QColor(Qt::blue));
    QCOMPARE(coloured.brush().style(), Qt::NoBrush);

    const PlotScatterStyle filled(PlotScatterStyle::ssSquare, Qt::blue, Qt::yellow, 4);
    QVERIFY(filled.isPenDefined());
    QCOMPARE(filled.brush().style(), Qt::SolidPattern);
    QCOMPARE(filled.brush().color(), QColor(Qt::yellow));

    const PlotScatterStyle noPen(PlotScatterStyle::ssSquare, QPen(Qt::NoPen), QBrush(Qt::red), 4);
    QVERIFY(!noPen.isPenDefined());
    const PlotScatterStyle withPen(PlotScatterStyle::ssSquare, QPen(Qt::red), QBrush(Qt::red), 4);
    QVERIFY(withPen.isPenDefined());

    QPixmap pixmap(3, 3);
    pixmap.fill(Qt::black);
    const PlotScatterStyle fromPixmap(pixmap);
    QCOMPARE(fromPixmap.shape(), PlotScatterStyle::ssPixmap);
    QCOMPARE(fromPixmap.size(), 5.0);
    QVERIFY(!fromPixmap.isPenDefined());

    QPainterPath path;
    path.addRect(-1, -1, 2, 2);
    const PlotScatterStyle fromPath(path, QPen(Qt::NoPen), QBrush(Qt::red), 12);
    QCOMPARE(fromPath.shape(), PlotScatterStyle::ssCustom);
    QCOMPARE(fromPath.size(), 12.0);
    QVERIFY(!fromPath.isPenDefined());
    QCOMPARE(fromPath.customPath(), path);

    QVERIFY(QVariant::fromValue(coloured).value<PlotScatterStyle>().isPenDefined());
  }

  void settersSwitchShapes()
  {
    PlotScatterStyle style;
    style.setPen(QPen(Qt::NoPen));
    QVERIFY(style.isPenDefined()); // any pen set explicitly counts, NoPen included

    QPixmap pixmap(2, 2);
    style.setPixmap(pixmap);
    QCOMPARE(style.shape(), PlotScatterStyle::ssPixmap);
    QPainterPath path;
    path.lineTo(1, 1);
    style.setCustomPath(path);
    QCOMPARE(style.shape(), PlotScatterStyle::ssCustom);
    style.setShape(PlotScatterStyle::ssPlus);
    QCOMPARE(style.shape(), PlotScatterStyle::ssPlus);
    QCOMPARE(style.pixmap().size(), QSize(2, 2));
    QCOMPARE(style.customPath(), path);
  }

  void applyTo()
  {
    PaintRecorder recorder;
    PlotPainter painter(&recorder);
    const QPen plottablePen(Qt::darkGreen, 2);

    PlotScatterStyle().applyTo(&painter, plottablePen);
    QCOMPARE(painter.pen(), plottablePen);
    QCOMPARE(painter.brush().style(), Qt::NoBrush);

    PlotScatterStyle(PlotScatterStyle::ssDisc, Qt::magenta, 5).applyTo(&painter, plottablePen);
    QCOMPARE(painter.pen().color(), QColor(Qt::magenta));

    PlotScatterStyle(PlotScatterStyle::ssDisc, QPen(Qt::NoPen), QBrush(Qt::cyan), 5).applyTo(&painter, plottablePen);
    QCOMPARE(painter.pen(), plottablePen);
    QCOMPARE(painter.brush().color(), QColor(Qt::cyan));
  }

  void shapeGeometry_data()
  {
    QTest::addColumn<int>("shape");
    QTest::addColumn<Lines>("lines");
    QTest::addColumn<int>("closedKind"); // ellipse or rect drawn after the lines, -1 for none
    // Centre (20, 30), size 10: w = 5.
    const double v = 0.707 * 5;
    QTest::newRow("none") << int(PlotScatterStyle::ssNone) << Lines{} << -1;
    QTest::newRow("dot") << int(PlotScatterStyle::ssDot) << Lines{{20, 30, 20.0001, 30}} << -1;
    QTest::newRow("cross") << int(PlotScatterStyle::ssCross) << Lines{{15, 25, 25, 35}, {15, 35, 25, 25}} << -1;
    QTest::newRow("plus") << int(PlotScatterStyle::ssPlus) << Lines{{15, 30, 25, 30}, {20, 35, 20, 25}} << -1;
    QTest::newRow("circle") << int(PlotScatterStyle::ssCircle) << Lines{} << int(PaintOp::Ellipse);
    QTest::newRow("square") << int(PlotScatterStyle::ssSquare) << Lines{} << int(PaintOp::Rect);
    QTest::newRow("diamond") << int(PlotScatterStyle::ssDiamond)
                             << Lines{{15, 30, 20, 25}, {20, 25, 25, 30}, {25, 30, 20, 35}, {20, 35, 15, 30}} << -1;
    QTest::newRow("star") << int(PlotScatterStyle::ssStar)
                          << Lines{{15, 30, 25, 30},
                                   {20, 35, 20, 25},
                                   {20 - v, 30 - v, 20 + v, 30 + v},
                                   {20 - v, 30 + v, 20 + v, 30 - v}}
                          << -1;
    const double b = 30 + 0.755 * 5, t = 30 - 0.977 * 5;
    QTest::newRow("triangle points up") << int(PlotScatterStyle::ssTriangle)
                                        << Lines{{15, b, 25, b}, {25, b, 20, t}, {20, t, 15, b}} << -1;
    const double bi = 30 - 0.755 * 5, ti = 30 + 0.977 * 5;
    QTest::newRow("inverted triangle points down")
        << int(PlotScatterStyle::ssTriangleInverted) << Lines{{15, bi, 25, bi}, {25, bi, 20, ti}, {20, ti, 15, bi}}
        << -1;
    QTest::newRow("cross square") << int(PlotScatterStyle::ssCrossSquare)
                                  << Lines{{15, 25, 20 + 0.95 * 5, 30 + 0.95 * 5}, {15, 30 + 0.95 * 5, 20 + 0.95 * 5, 25}}
                                  << int(PaintOp::Rect);
    QTest::newRow("plus square") << int(PlotScatterStyle::ssPlusSquare)
                                 << Lines{{15, 30, 20 + 0.95 * 5, 30}, {20, 35, 20, 25}} << int(PaintOp::Rect);
    const double c = 0.707 * 5, d = 0.67 * 5;
    QTest::newRow("cross circle") << int(PlotScatterStyle::ssCrossCircle)
                                  << Lines{{20 - c, 30 - c, 20 + d, 30 + d}, {20 - c, 30 + d, 20 + d, 30 - c}}
                                  << int(PaintOp::Ellipse);
    QTest::newRow("plus circle") << int(PlotScatterStyle::ssPlusCircle)
                                 << Lines{{15, 30, 25, 30}, {20, 35, 20, 25}} << int(PaintOp::Ellipse);
    QTest::newRow("peace") << int(PlotScatterStyle::ssPeace)
                           << Lines{{20, 25, 20, 35}, {20, 30, 20 - c, 30 + c}, {20, 30, 20 + c, 30 + c}}
                           << int(PaintOp::Ellipse);
    QTest::newRow("unknown shape") << 42 << Lines{} << -1;
  }
  void shapeGeometry()
  {
    QFETCH(int, shape);
    QFETCH(Lines, lines);
    QFETCH(int, closedKind);
    const QList<PaintOp> ops = drawAt(PlotScatterStyle(PlotScatterStyle::ScatterShape(shape), 10), 20, 30);
    QCOMPARE(ops.size(), lines.size() + (closedKind >= 0 ? 1 : 0));
    for (int i = 0; i < lines.size(); ++i) {
      QCOMPARE(ops[i].kind, PaintOp::Line);
      QVERIFY2(near(ops[i].points[0], lines[i].p1()) && near(ops[i].points[1], lines[i].p2()),
               qPrintable(QStringLiteral("line %1 differs").arg(i)));
    }
    if (closedKind >= 0) {
      QCOMPARE(int(ops.last().kind), closedKind);
      QCOMPARE(ops.last().rect, QRectF(15, 25, 10, 10));
      QCOMPARE(ops.last().brush.color(), QColor(Qt::green)); // the painter's brush
    }
  }

  void discFillsWithPenColourAndRestoresBrush()
  {
    PaintRecorder recorder;
    PlotPainter painter(&recorder);
    painter.setPen(QPen(Qt::blue));
    painter.setBrush(QBrush(Qt::green, Qt::Dense3Pattern));
    PlotScatterStyle(PlotScatterStyle::ssDisc, 8).drawShape(&painter, QPointF(10, 10));
    QCOMPARE(painter.brush().style(), Qt::Dense3Pattern);
    painter.end();
    QCOMPARE(recorder.ops().size(), 1);
    QCOMPARE(recorder.ops()[0].kind, PaintOp::Ellipse);
    QCOMPARE(recorder.ops()[0].rect, QRectF(6, 6, 8, 8));
    QCOMPARE(recorder.ops()[0].brush.color(), QColor(Qt::blue));
    QCOMPARE(recorder.ops()[0].brush.style(), Qt::SolidPattern);
  }

  void zeroSizeCollapsesToCentre()
  {
    for (int shape = PlotScatterStyle::ssCross; shape <= PlotScatterStyle::ssPeace; ++shape) {
      const QList<PaintOp> ops = drawAt(PlotScatterStyle(PlotScatterStyle::ScatterShape(shape), 0), 7, 9);
      QVERIFY(!ops.isEmpty());
      for (const PaintOp &op : ops) {
        for (const QPointF &p : op.points)
          QVERIFY(near(p, QPointF(7, 9)));
        if (op.kind == PaintOp::Ellipse || op.kind == PaintOp::Rect)
          QCOMPARE(op.rect, QRectF(7, 9, 0, 0));
      }
    }
  }

  void pixmapAtNaturalSizeOnWholePixels()
  {
    QPixmap pixmap(7, 5);
    pixmap.fill(Qt::black);
    const QList<PaintOp> ops = drawAt(PlotScatterStyle(pixmap), 20.9, 30);
    QCOMPARE(ops.size(), 1);
    QCOMPARE(ops[0].kind, PaintOp::Pixmap);
    // (20.9 - 3.5, 30 - 2.5) truncated towards zero.
    QCOMPARE(ops[0].rect, QRectF(17, 27, 7, 5));
    // Far-off positions are skipped instead of overflowing the pixel conversion.
    QVERIFY(drawAt(PlotScatterStyle(pixmap), 1e300, 30).isEmpty());
    QVERIFY(drawAt(PlotScatterStyle(pixmap), std::nan(""), 30).isEmpty());
  }

  void customPathIsScaledAroundThePoint()
  {
    QPainterPath path;
    path.moveTo(-3, 0);
    path.lineTo(3, 0);
    PaintRecorder recorder;
    PlotPainter painter(&recorder);
    painter.translate(1, 1);
    const QTransform before = painter.transform();
    PlotScatterStyle(path, QPen(Qt::black), Qt::NoBrush, 12).drawShape(&painter, 20, 30);
    QCOMPARE(painter.transform(), before);
    painter.end();
    QCOMPARE(recorder.ops().size(), 1);
    QCOMPARE(recorder.ops()[0].kind, PaintOp::Path);
    // Scaled by 12 / 6 = 2 around (20, 30), plus the painter's own translation.
    QCOMPARE(recorder.ops()[0].points, (QList<QPointF>{{15, 31}, {27, 31}}));
  }
};

TOVRI_TEST(PlotScatterStyleTest)
#include "tst_scatterstyle.moc"
