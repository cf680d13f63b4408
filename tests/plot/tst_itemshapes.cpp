#include "graphfixture.h"
#include "itemfixture.h"
#include "paintrecorder.h"
#include "plot.h"
#include "testmain.h"

#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <limits>

namespace {
// Everything the plot paints, in device pixels.
QList<PaintOp> paintedOps(PlotWidget &plot)
{
  PaintRecorder recorder;
  PlotPainter painter(&recorder);
  plot.toPainter(&painter, plot.width(), plot.height());
  painter.end();
  return recorder.ops();
}

QList<PaintOp> opsInColor(PlotWidget &plot, const QColor &color)
{
  QList<PaintOp> result;
  for (const PaintOp &op : paintedOps(plot))
    if (op.pen.color() == color && op.pen.style() != Qt::NoPen)
      result.append(op);
  return result;
}

void placeInPixels(PlotAbstractItem *item, const QPointF &a, const QPointF &b)
{
  const QList<PlotItemPosition *> positions = item->positions();
  for (PlotItemPosition *pos : positions)
    pos->setType(PlotItemPosition::ptPixelCoords);
  positions.first()->setCoords(a);
  positions.last()->setCoords(b);
  item->setAntialiased(false);
}

template <typename Item>
Item *boxItem(PlotWidget &plot, const QPointF &a, const QPointF &b)
{
  Item *item = new Item(&plot);
  placeInPixels(item, a, b);
  item->setPen(QPen(Qt::red));
  plot.addItem(item);
  return item;
}

QPixmap twoColourPixmap(const QSize &size)
{
  QPixmap pixmap(size);
  pixmap.fill(Qt::red);
  QPainter painter(&pixmap);
  painter.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()), Qt::blue);
  return pixmap;
}
} // namespace

class PlotItemShapesTest : public QObject
{
  Q_OBJECT
private slots:
  void boxesDrawTheirGeometry()
  {
    ItemPlot p;
    boxItem<PlotItemRect>(p.plot, QPointF(200, 150), QPointF(100, 80)); // turned over
    QList<PaintOp> ops = opsInColor(p.plot, Qt::red);
    QCOMPARE(ops.size(), 1);
    QCOMPARE(ops.first().kind, PaintOp::Rect);
    QCOMPARE(ops.first().rect, QRectF(100, 80, 100, 70));

    p.plot.clearItems();
    boxItem<PlotItemEllipse>(p.plot, QPointF(100, 80), QPointF(200, 150));
    ops = opsInColor(p.plot, Qt::red);
    QVERIFY(!ops.isEmpty());
    QCOMPARE(ops.first().rect, QRectF(100, 80, 100, 70));

    p.plot.clearItems();
    boxItem<PlotItemTriangle>(p.plot, QPointF(101, 80), QPointF(200, 150));
    ops = opsInColor(p.plot, Qt::red);
    QCOMPARE(ops.size(), 1);
    QCOMPARE(ops.first().kind, PaintOp::Polygon);
    // Apex at the truncated centre.
    QCOMPARE(ops.first().points.mid(0, 3), QList<QPointF>({{101, 150}, {150, 80}, {200, 150}}));
  }

  void degenerateCorners_data()
  {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("rect") << 0 << false;
    QTest::newRow("ellipse") << 1 << false;
    QTest::newRow("triangle still draws") << 2 << true;
  }
  void degenerateCorners()
  {
    QFETCH(int, kind);
    QFETCH(bool, drawn);
    ItemPlot p;
    const QPointF a(120.2, 90.1), b(119.8, 89.9); // one pixel
    if (kind == 0)
      boxItem<PlotItemRect>(p.plot, a, b);
    else if (kind == 1)
      boxItem<PlotItemEllipse>(p.plot, a, b);
    else
      boxItem<PlotItemTriangle>(p.plot, a, b);
    QCOMPARE(!opsInColor(p.plot, Qt::red).isEmpty(), drawn);
    // A rectangle with an infinite corner draws nothing either.
    if (kind == 0) {
      static_cast<PlotItemRect *>(p.plot.item())->topLeft->setCoords(std::numeric_limits<double>::infinity(), 3);
      QVERIFY(opsInColor(p.plot, Qt::red).isEmpty());
    }
  }

  void filledAndUnfilledHits_data()
  {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("brushAlpha"); // -1: no brush
    QTest::addColumn<bool>("insideHits");
    for (int kind = 0; kind < 3; ++kind) {
      const char *name = kind == 0 ? "rect" : kind == 1 ? "ellipse" : "triangle";
      QTest::addRow("%s filled", name) << kind << 255 << true;
      QTest::addRow("%s transparent", name) << kind << 0 << false;
      QTest::addRow("%s no brush", name) << kind << -1 << false;
    }
  }
  void filledAndUnfilledHits()
  {
    QFETCH(int, kind);
    QFETCH(int, brushAlpha);
    QFETCH(bool, insideHits);
    ItemPlot p;
    PlotItemBox *item = nullptr;
    const QPointF a(100, 80), b(200, 180);
    if (kind == 0)
      item = boxItem<PlotItemRect>(p.plot, a, b);
    else if (kind == 1)
      item = boxItem<PlotItemEllipse>(p.plot, a, b);
    else
      item = boxItem<PlotItemTriangle>(p.plot, a, b);
    if (brushAlpha >= 0)
      item->setBrush(QColor(0, 128, 0, brushAlpha));
    const double tolerance = p.plot.selectionTolerance();
    const double inside = item->selectTest(QPointF(150, 130), false);
    QCOMPARE(inside == tolerance * 0.99, insideHits);
    if (!insideHits)
      QVERIFY(inside >= 49);
    // On the outline (the inscribed ellipse for ellipse and triangle).
    QVERIFY(item->selectTest(QPointF(150, 81), false) <= 1.0 + 1e-9);
    item->setSelectable(false);
    QCOMPARE(item->selectTest(QPointF(150, 81), true), -1.0);
  }

  void anchorsFollowTheInscribedEllipse()
  {
    ItemPlot p;
    auto *triangle = boxItem<PlotItemTriangle>(p.plot, QPointF(100, 80), QPointF(200, 180));
    auto *ellipse = boxItem<PlotItemEllipse>(p.plot, QPointF(100, 80), QPointF(200, 180));
    auto *rect = boxItem<PlotItemRect>(p.plot, QPointF(100, 80), QPointF(200, 180));
    const QPointF rim(150 - 50 / std::sqrt(2.0), 130 - 50 / std::sqrt(2.0));
    for (PlotAbstractItem *item : {static_cast<PlotAbstractItem *>(triangle), static_cast<PlotAbstractItem *>(ellipse)}) {
      const QPointF got = item->anchor(QStringLiteral("topLeftRim"))->pixelPoint();
      QVERIFY(std::hypot(got.x() - rim.x(), got.y() - rim.y()) < 1e-9);
      QCOMPARE(item->anchor(QStringLiteral("center"))->pixelPoint(), QPointF(150, 130));
    }
    QCOMPARE(rect->topRight->pixelPoint(), QPointF(200, 80));
    QCOMPARE(rect->left->pixelPoint(), QPointF(100, 130));
  }

  void curveDrawsAndHits()
  {
    ItemPlot p;
    PlotItemCurve *curve = new PlotItemCurve(&p.plot);
    for (PlotItemPosition *pos : curve->positions())
      pos->setType(PlotItemPosition::ptPixelCoords);
    curve->setPen(QPen(Qt::red));
    curve->start->setCoords(100, 100);
    curve->end->setCoords(100, 100); // coinciding ends: the loop still draws
    curve->startDir->setCoords(150, 60);
    curve->endDir->setCoords(150, 140);
    curve->setHead(PlotLineEnding(PlotLineEnding::esDisc));
    p.plot.addItem(curve);
    const QList<PaintOp> ops = opsInColor(p.plot, Qt::red);
    QVERIFY(!ops.isEmpty());
    QCOMPARE(ops.first().kind, PaintOp::Path);
    QVERIFY(ops.size() >= 2); // the head as well
    // The point of the loop furthest right lies at x = 137.5.
    QVERIFY(curve->selectTest(QPointF(137.5, 100), false) < 1.0);
    QVERIFY(curve->selectTest(QPointF(160, 100), false) > 20);

    // An end 2e10 pixels away: the part that crosses the view still draws.
    curve->end->setCoords(100 + 2e10, 100);
    QVERIFY(!opsInColor(p.plot, Qt::red).isEmpty());
    curve->start->setCoords(100 + 1e10, 100);
    QVERIFY(opsInColor(p.plot, Qt::red).isEmpty());
  }

  // Zoomed ever deeper about a point of a shape, the shape still covers the
  // view: filled ellipse and triangle (box (30, 40) to (70, 10)) and a straight
  // curve from (0, 0) to (100, 50), 5 pixels wide. Checked on the rendered
  // picture: about the middle every sampled pixel is painted, about a point
  // on the outline the pixels on the inner side are and those on the outer
  // side are not, and about a point off the shape none is.
  void shapesCoverTheViewAtAnyZoom_data()
  {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("zoomBits");
    for (int kind = 0; kind < 3; ++kind) {
      const char *name = kind == 0 ? "ellipse" : kind == 1 ? "triangle" : "curve";
      for (int bits : {4, 7, 10, 14, 16, 18, 20, 22, 24, 26, 28, 30})
        QTest::addRow("%s 2^%d", name, bits) << kind << bits;
    }
  }
  void shapesCoverTheViewAtAnyZoom()
  {
    QFETCH(int, kind);
    QFETCH(int, zoomBits);
    ItemPlot p;
    PlotAbstractItem *item = nullptr;
    if (kind == 2) {
      auto *curve = new PlotItemCurve(&p.plot);
      curve->start->setCoords(0, 0);
      curve->startDir->setCoords(100.0 / 3, 50.0 / 3);
      curve->endDir->setCoords(200.0 / 3, 100.0 / 3);
      curve->end->setCoords(100, 50);
      curve->setPen(QPen(Qt::red, 5));
      item = curve;
    } else {
      PlotItemBox *box = kind == 0 ? static_cast<PlotItemBox *>(new PlotItemEllipse(&p.plot))
                                   : static_cast<PlotItemBox *>(new PlotItemTriangle(&p.plot));
      box->topLeft->setCoords(30, 40);
      box->bottomRight->setCoords(70, 10);
      box->setPen(QPen(Qt::red));
      box->setBrush(Qt::red);
      item = box;
    }
    item->setAntialiased(false);
    p.plot.addItem(item);

    // Signed pixel distance of a pixel's centre from the outline, positive
    // inside: the ellipse's rim (to first order, from the pixel points of its
    // box), the triangle's left side through the view's middle (direction
    // (4, -9) in pixels), the curve's line (direction (4, -3)), whose inside
    // is its pen width.
    const double zoom = std::ldexp(1.0, zoomBits);
    const QRect area = p.rect->rect();
    const QPointF middle(area.left() + area.width() / 2.0, area.bottom() - area.height() / 2.0);
    const auto inside = [&](const QPointF &q) {
      const QPointF d = q - middle;
      if (kind == 0) {
        const QPointF p1 = item->positions().first()->pixelPoint(), p2 = item->positions().last()->pixelPoint();
        const double a = (p2.x() - p1.x()) / 2, b = (p2.y() - p1.y()) / 2;
        const double u = (q.x() - (p1.x() + a)) / a, v = (q.y() - (p1.y() + b)) / b;
        return (1 - u * u - v * v) / (2 * std::hypot(u / a, v / b));
      }
      if (kind == 1)
        return (9 * d.x() + 4 * d.y()) / std::sqrt(97.0);
      return 2.5 - std::fabs(3 * d.x() + 4 * d.y()) / 5;
    };
    struct View
    {
      QPointF at;
      int expected; // 1: all painted, 0: none, -1: by the side of the outline
    };
    const QPointF diagonalRim(50 + 20 / std::sqrt(2.0), 25 + 15 / std::sqrt(2.0));
    const QList<View> views = kind == 0   ? QList<View>{{{50, 25}, 1}, {{70, 25}, -1}, {diagonalRim, -1}, {{75, 25}, 0}}
                              : kind == 1 ? QList<View>{{{50, 25}, 1}, {{40, 25}, -1}, {{25, 25}, 0}}
                                          : QList<View>{{{50, 25}, -1}, {{50, 35}, 0}};
    for (const View &view : views) {
      p.plot.xAxis->setRange(view.at.x() - 50 / zoom, view.at.x() + 50 / zoom);
      p.plot.yAxis->setRange(view.at.y() - 25 / zoom, view.at.y() + 25 / zoom);
      const QImage picture = p.plot.toPixmap().toImage();
      int samples = 0, wrong = 0;
      // Away from the axes' tick marks, which reach into the area.
      for (int y = area.top() + 8; y < area.bottom() - 8; y += 7) {
        for (int x = area.left() + 8; x < area.right() - 8; x += 7) {
          const bool painted = QColor(picture.pixel(x, y)) == QColor(Qt::red);
          const double depth = inside(QPointF(x + 0.5, y + 0.5));
          bool expected = view.expected == 1;
          if (view.expected == -1) {
            if (std::fabs(depth) < 2)
              continue; // too near the outline to call
            expected = depth > 0;
          }
          ++samples;
          wrong += painted != expected;
        }
      }
      QVERIFY(samples > 1000);
      QVERIFY2(wrong == 0, qPrintable(QStringLiteral("view about (%1, %2): %3 of %4 sampled pixels wrong")
                                          .arg(view.at.x())
                                          .arg(view.at.y())
                                          .arg(wrong)
                                          .arg(samples)));
    }
  }
};
TOVRI_TEST(PlotItemShapesTest)

class PlotItemMarkersTest : public QObject
{
  Q_OBJECT
private slots:
  void flippedPixmapAnchorsAndPicture()
  {
    ItemPlot p;
    PlotItemPixmap *item = new PlotItemPixmap(&p.plot);
    placeInPixels(item, QPointF(200, 100), QPointF(100, 150)); // right to left
    item->setPixmap(twoColourPixmap(QSize(20, 10)));
    item->setScaled(true, Qt::IgnoreAspectRatio);
    p.plot.addItem(item);
    bool flipH = false, flipV = false;
    QCOMPARE(item->getFinalRect(&flipH, &flipV), QRect(100, 100, 100, 50));
    QVERIFY(flipH && !flipV);
    // The anchors follow the turned box: topRight on the screen-left edge.
    QCOMPARE(item->topRight->pixelPoint(), QPointF(99, 100));
    QCOMPARE(item->bottomLeft->pixelPoint(), QPointF(200, 149));
    QCOMPARE(item->top->pixelPoint(), QPointF(150, 100));
    // Mirrored: blue on the left now.
    QImage picture = p.plot.toPixmap().toImage();
    QCOMPARE(QColor(picture.pixel(110, 125)), QColor(Qt::blue));
    QCOMPARE(QColor(picture.pixel(190, 125)), QColor(Qt::red));
    // Turned back at the same size: the cached copy is redone.
    placeInPixels(item, QPointF(100, 100), QPointF(200, 150));
    picture = p.plot.toPixmap().toImage();
    QCOMPARE(QColor(picture.pixel(110, 125)), QColor(Qt::red));
    // A new picture at the same size shows at once.
    QPixmap green(20, 10);
    green.fill(Qt::green);
    item->setPixmap(green);
    picture = p.plot.toPixmap().toImage();
    QCOMPARE(QColor(picture.pixel(150, 125)), QColor(Qt::green));
    // A click anywhere on the picture hits it.
    QCOMPARE(item->selectTest(QPointF(150, 125), false), p.plot.selectionTolerance() * 0.99);
  }

  void zoomedPixmapScalesOnlyWhatIsShown()
  {
    ItemPlot p;
    PlotItemPixmap *item = new PlotItemPixmap(&p.plot);
    item->setPixmap(twoColourPixmap(QSize(40, 20)));
    item->setScaled(true, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // A box ten times the data area each way: 3200 x 2400 pixels.
    item->topLeft->setCoords(49.999, 25.001);
    item->bottomRight->setCoords(50.001, 24.999);
    p.plot.xAxis->setRange(49.9999, 50.0001);
    p.plot.yAxis->setRange(24.9999, 25.0001);
    p.plot.addItem(item);
    int pixmaps = 0;
    for (const PaintOp &op : paintedOps(p.plot)) {
      if (op.kind != PaintOp::Pixmap)
        continue;
      ++pixmaps;
      QVERIFY(op.pixmapSize.width() <= p.rect->rect().width() && op.pixmapSize.height() <= p.rect->rect().height());
    }
    QCOMPARE(pixmaps, 1);
    // The left half of the picture is red, the right blue, also zoomed in.
    const QImage picture = p.plot.toPixmap().toImage();
    const QPoint middle = p.rect->rect().center();
    QCOMPARE(QColor(picture.pixel(middle.x() - 20, middle.y())), QColor(Qt::red));
    QCOMPARE(QColor(picture.pixel(middle.x() + 20, middle.y())), QColor(Qt::blue));
  }

  void nullPixmap()
  {
    ItemPlot p;
    PlotItemPixmap *item = new PlotItemPixmap(&p.plot);
    MessageLog log;
    item->setPixmap(QPixmap());
    QVERIFY(log.contains(QStringLiteral("pixmap is null")));
    p.plot.addItem(item);
    for (const PaintOp &op : paintedOps(p.plot))
      QVERIFY(op.kind != PaintOp::Pixmap);
  }

  void tracerFollowsTheGraph_data()
  {
    QTest::addColumn<QList<QPointF>>("points");
    QTest::addColumn<double>("key");
    QTest::addColumn<bool>("interpolating");
    QTest::addColumn<QPointF>("expected");
    const QList<QPointF> two{{10, 5}, {20, 25}};
    QTest::newRow("one point, any key") << QList<QPointF>{{3, 7}} << 99.0 << false << QPointF(3, 7);
    QTest::newRow("below the first") << two << -5.0 << true << QPointF(10, 5);
    QTest::newRow("above the last") << two << 50.0 << true << QPointF(20, 25);
    QTest::newRow("halfway takes the later") << two << 15.0 << false << QPointF(20, 25);
    QTest::newRow("nearer the earlier") << two << 14.9 << false << QPointF(10, 5);
    QTest::newRow("interpolated") << two << 12.5 << true << QPointF(12.5, 10);
    QTest::newRow("fuzzy-equal keys: earlier value")
        << QList<QPointF>{{10, 5}, {10 + 1e-12, 25}, {30, 0}} << 10 + 5e-13 << true << QPointF(10 + 5e-13, 5);
  }
  void tracerFollowsTheGraph()
  {
    QFETCH(QList<QPointF>, points);
    QFETCH(double, key);
    QFETCH(bool, interpolating);
    QFETCH(QPointF, expected);
    ItemPlot p;
    PlotGraph *graph = p.plot.addGraph();
    for (const QPointF &pt : points)
      graph->data()->insert(pt.x(), PlotData(pt.x(), pt.y()));
    PlotItemTracer *tracer = new PlotItemTracer(&p.plot);
    tracer->setInterpolating(interpolating);
    tracer->setGraphKey(key);
    tracer->setGraph(graph);
    QCOMPARE(tracer->position->coords(), expected);
  }

  void tracerOutlivesItsGraph()
  {
    ItemPlot p;
    PlotGraph *graph = p.plot.addGraph();
    graph->data()->insert(10, PlotData(10, 20));
    PlotItemTracer *tracer = new PlotItemTracer(&p.plot);
    p.plot.addItem(tracer);
    {
      PlotWidget other;
      MessageLog log;
      tracer->setGraph(other.addGraph());
      QVERIFY(log.contains(QStringLiteral("graph isn't in same PlotWidget instance as this item")));
      QCOMPARE(tracer->graph(), nullptr);
    }
    tracer->setGraph(graph);
    QCOMPARE(tracer->position->coords(), QPointF(10, 20));
    delete graph; // behind the plot's back
    MessageLog log;
    p.plot.replot();
    QVERIFY(!p.plot.toPixmap().isNull());
    QCOMPARE(tracer->graph(), nullptr);
    QVERIFY(log.contains(QStringLiteral("graph not contained in PlotWidget instance (anymore)")));
    QCOMPARE(tracer->position->coords(), QPointF(10, 20));
  }

  void crosshairOnTheClipEdge()
  {
    ItemPlot p;
    PlotItemTracer *tracer = new PlotItemTracer(&p.plot);
    tracer->setPen(QPen(Qt::red));
    tracer->position->setType(PlotItemPosition::ptPixelCoords);
    const QRect clip = p.rect->rect();
    tracer->position->setCoords(clip.left(), 100); // on the left edge
    p.plot.addItem(tracer);
    const QList<PaintOp> ops = opsInColor(p.plot, Qt::red);
    QCOMPARE(ops.size(), 1); // only the horizontal line
    QCOMPARE(ops.first().points.first().y(), ops.first().points.last().y());
    // The crosshair is hit along both full lines.
    QVERIFY(tracer->selectTest(QPointF(clip.right() - 3, 101), false) <= 1.0);
    tracer->setStyle(PlotItemTracer::tsCircle);
    tracer->setSize(20);
    tracer->position->setCoords(200, 100);
    QCOMPARE(tracer->selectTest(QPointF(200, 100), false), 10.0);
    tracer->setBrush(Qt::black);
    QCOMPARE(tracer->selectTest(QPointF(200, 100), false), p.plot.selectionTolerance() * 0.99);
  }

  void bracketGeometry()
  {
    ItemPlot p;
    PlotItemBracket *bracket = new PlotItemBracket(&p.plot);
    placeInPixels(bracket, QPointF(100, 100), QPointF(200, 100));
    bracket->setStyle(PlotItemBracket::bsSquare);
    bracket->setPen(QPen(Qt::red));
    p.plot.addItem(bracket);
    // The spine 8 pixels from the line, above it for left-to-right ends.
    QCOMPARE(bracket->center->pixelPoint(), QPointF(150, 92));
    QCOMPARE(opsInColor(p.plot, Qt::red).size(), 3);
    QVERIFY(bracket->selectTest(QPointF(150, 92), false) < 1e-6);

    // Length 0: the arms collapse onto the line between the ends.
    bracket->setLength(0);
    QCOMPARE(bracket->center->pixelPoint(), QPointF(150, 100));
    for (const PaintOp &op : opsInColor(p.plot, Qt::red))
      for (const QPointF &pt : op.points)
        QCOMPARE(pt.y(), 100.0);

    // Both ends on one pixel: nothing drawn, never hit, the centre is the left end.
    bracket->setLength(8);
    placeInPixels(bracket, QPointF(100.2, 100), QPointF(99.9, 100.1));
    QVERIFY(opsInColor(p.plot, Qt::red).isEmpty());
    QCOMPARE(bracket->selectTest(QPointF(100, 100), false), -1.0);
    QCOMPARE(bracket->center->pixelPoint(), QPointF(100.2, 100));
  }

  void badAnchorIds()
  {
    ItemPlot p;
    PlotItemRect rect(&p.plot);
    PlotItemBracket bracket(&p.plot);
    MessageLog log;
    // Reach the anchors through a position hanging on an invalid id.
    PlotItemAnchor bad(&p.plot, &rect, QStringLiteral("bad"), 42);
    QCOMPARE(bad.pixelPoint(), QPointF(0, 0));
    QVERIFY(log.contains(QStringLiteral("invalid anchorId")));
  }

  // Far outside a deeply zoomed view every kind draws and hits without an
  // overflowing conversion (checked by the sanitizers).
  void allKindsOnAxesZoomedFar()
  {
    ItemPlot p;
    QList<PlotAbstractItem *> items;
    items << new PlotItemRect(&p.plot) << new PlotItemEllipse(&p.plot) << new PlotItemTriangle(&p.plot)
          << new PlotItemCurve(&p.plot) << new PlotItemBracket(&p.plot) << new PlotItemTracer(&p.plot);
    PlotItemPixmap *pixmap = new PlotItemPixmap(&p.plot);
    pixmap->setPixmap(twoColourPixmap(QSize(8, 8)));
    pixmap->setScaled(true);
    pixmap->setPen(QPen(Qt::black));
    items << pixmap;
    PlotItemTracer *tracer = qobject_cast<PlotItemTracer *>(items.at(5));
    tracer->setStyle(PlotItemTracer::tsSquare);
    for (PlotAbstractItem *item : items) {
      p.plot.addItem(item);
      if (auto *box = qobject_cast<PlotItemBox *>(item))
        box->setBrush(Qt::gray);
    }
    for (const PlotRange &range : {PlotRange(0.5, 0.5 + 1e-9), PlotRange(-1e-9, 0), PlotRange(1e6, 1e6 + 1e-9)}) {
      p.plot.xAxis->setRange(range);
      p.plot.yAxis->setRange(range);
      p.plot.replot();
      QVERIFY(!p.plot.toPixmap(0, 0, 1.0).isNull());
      for (PlotAbstractItem *item : items) {
        const double d = item->selectTest(QPointF(200, 150), false);
        QVERIFY(d == -1 || d >= 0);
        for (PlotItemAnchor *anchor : item->anchors())
          anchor->pixelPoint();
      }
    }
  }
};
TOVRI_TEST(PlotItemMarkersTest)

#include "tst_itemshapes.moc"
