#include "itemfixture.h"
#include "paintrecorder.h"
#include "plot.h"
#include "snapshot.h"
#include "testmain.h"

#include <QTest>
#include <cmath>

namespace {
class StraightProbe : public PlotItemStraightLine
{
public:
  using PlotItemStraightLine::draw;
  using PlotItemStraightLine::PlotItemStraightLine;
};

class LineProbe : public PlotItemLine
{
public:
  using PlotItemLine::draw;
  using PlotItemLine::PlotItemLine;
};

bool samePoint(const QPointF &a, const QPointF &b)
{
  return qAbs(a.x() - b.x()) < 1e-3 && qAbs(a.y() - b.y()) < 1e-3;
}

// The same segment, whichever end comes first.
bool sameSegment(const QLineF &a, const QLineF &b)
{
  return (samePoint(a.p1(), b.p1()) && samePoint(a.p2(), b.p2())) ||
         (samePoint(a.p1(), b.p2()) && samePoint(a.p2(), b.p1()));
}

QLineF onlyLine(const PaintRecorder &recorder)
{
  const QList<PaintOp> lines = recorder.opsOfKind(PaintOp::Line);
  if (lines.size() != 1)
    return QLineF(-1, -1, -1, -1);
  return QLineF(lines.first().points.at(0), lines.first().points.at(1));
}

template <typename Item> void drawOn(PaintRecorder &recorder, Item *item)
{
  recorder.clear();
  PlotPainter painter(&recorder);
  item->draw(&painter);
  painter.end();
}

void setPixels(PlotItemPosition *pos, double x, double y)
{
  pos->setType(PlotItemPosition::ptPixelCoords);
  pos->setCoords(x, y);
}
} // namespace

class PlotItemLineTest : public QObject
{
  Q_OBJECT
private slots:
  void defaults()
  {
    ItemPlot p;
    PlotItemStraightLine *straight = new PlotItemStraightLine(&p.plot);
    QCOMPARE(straight->point1->coords(), QPointF(0, 0));
    QCOMPARE(straight->point2->coords(), QPointF(1, 1));
    QCOMPARE(straight->point1->typeX(), PlotItemPosition::ptPlotCoords);
    QCOMPARE(straight->position(QStringLiteral("point2")), straight->point2);
    QCOMPARE(straight->pen(), QPen(Qt::black));
    QCOMPARE(straight->selectedPen(), QPen(Qt::blue, 2));
    QCOMPARE(straight->mainPen(), straight->pen());
    straight->setSelected(true);
    QCOMPARE(straight->mainPen(), straight->selectedPen());

    PlotItemLine *line = new PlotItemLine(&p.plot);
    QCOMPARE(line->start->coords(), QPointF(0, 0));
    QCOMPARE(line->end->coords(), QPointF(1, 1));
    QCOMPARE(line->head().style(), PlotLineEnding::esNone);
    QCOMPARE(line->tail().style(), PlotLineEnding::esNone);
    QCOMPARE(line->selectedPen(), QPen(Qt::blue, 2));
    QCOMPARE(line->positions().size(), 2);
  }

  void distanceFromTheInfiniteLine()
  {
    ItemPlot p;
    PlotItemStraightLine *line = new PlotItemStraightLine(&p.plot);
    QCOMPARE(line->distToStraightLine(QVector2D(0, 0), QVector2D(3, 0), QVector2D(100, 4)), 4.0);
    QCOMPARE(line->distToStraightLine(QVector2D(0, 0), QVector2D(0, -2), QVector2D(-5, 70)), 5.0);
    QVERIFY(qAbs(line->distToStraightLine(QVector2D(0, 0), QVector2D(1, 1), QVector2D(0, 2)) - std::sqrt(2.0)) < 1e-6);
    // A zero direction defines no line: the distance from the base point, no
    // division by zero.
    QCOMPARE(line->distToStraightLine(QVector2D(1, 1), QVector2D(0, 0), QVector2D(4, 5)), 5.0);
  }

  void straightLineHitTest()
  {
    ItemPlot p;
    PlotItemStraightLine *line = new PlotItemStraightLine(&p.plot);
    setPixels(line->point1, 100, 100);
    setPixels(line->point2, 110, 100);
    QCOMPARE(line->selectTest(QPointF(105, 103), false), 3.0);
    // Far along the extension, outside the clip rectangle and the viewport:
    // still measured to the line.
    QCOMPARE(line->selectTest(QPointF(-5000, 96), false), 4.0);
    line->setSelectable(false);
    QCOMPARE(line->selectTest(QPointF(105, 103), true), -1.0);
    QCOMPARE(line->selectTest(QPointF(105, 103), false), 3.0);
    // Both points on one pixel: nothing is drawn and nothing is hit.
    setPixels(line->point2, 100, 100);
    QCOMPARE(line->selectTest(QPointF(100, 100), false), -1.0);
  }

  void clippingAxisParallelLines()
  {
    ItemPlot p;
    PlotItemStraightLine *line = new PlotItemStraightLine(&p.plot);
    const QRect rect(50, 20, 320, 240); // right 369, bottom 259
    QCOMPARE(line->getRectClippedStraightLine(QVector2D(100, 500), QVector2D(0, 3), rect), QLineF(100, 20, 100, 259));
    QCOMPARE(line->getRectClippedStraightLine(QVector2D(100, 500), QVector2D(0, -3), rect), QLineF(100, 20, 100, 259));
    QCOMPARE(line->getRectClippedStraightLine(QVector2D(-7, 30), QVector2D(5, 0), rect), QLineF(50, 30, 369, 30));
    // Crossing outside the rectangle: the null line.
    QVERIFY(line->getRectClippedStraightLine(QVector2D(49, 30), QVector2D(0, 1), rect).isNull());
    QCOMPARE(line->getRectClippedStraightLine(QVector2D(49, 30), QVector2D(0, 1), rect), QLineF());
    QVERIFY(line->getRectClippedStraightLine(QVector2D(60, 261), QVector2D(1, 0), rect).isNull());
    // Zero and (almost) zero directions: a defined null line, never a division
    // by zero.
    QCOMPARE(line->getRectClippedStraightLine(QVector2D(100, 100), QVector2D(0, 0), rect), QLineF());
    QCOMPARE(line->getRectClippedStraightLine(QVector2D(100, 100), QVector2D(1e-6f, 0), rect), QLineF());
    QCOMPARE(line->getRectClippedStraightLine(QVector2D(100, 100), QVector2D(0, -1e-6f), rect), QLineF());
  }

  void clippingThroughTheCorners()
  {
    ItemPlot p;
    PlotItemStraightLine *line = new PlotItemStraightLine(&p.plot);
    const QRect rect = p.rect->rect();
    QCOMPARE(rect, QRect(50, 20, 320, 240));
    // The diagonal through the top-left and bottom-right corners finds each
    // corner twice; the farthest pair is the diagonal itself.
    const QVector2D topLeft(50, 20), bottomRight(369, 259);
    QCOMPARE(line->getRectClippedStraightLine(topLeft, bottomRight - topLeft, rect), QLineF(50, 20, 369, 259));
    // Pointing the other way gives the same piece.
    QVERIFY(sameSegment(line->getRectClippedStraightLine(bottomRight, topLeft - bottomRight, rect),
                        QLineF(50, 20, 369, 259)));
    // The other diagonal.
    const QVector2D bottomLeft(50, 259), topRight(369, 20);
    QVERIFY(sameSegment(line->getRectClippedStraightLine(bottomLeft, topRight - bottomLeft, rect),
                        QLineF(50, 259, 369, 20)));
    // A line that only touches one corner has no visible piece.
    QVERIFY(line->getRectClippedStraightLine(topLeft, QVector2D(1, -1), rect).isNull());
    // A general line crossing two edges.
    QVERIFY(sameSegment(line->getRectClippedStraightLine(QVector2D(50, 140), QVector2D(2, -1), rect),
                        QLineF(50, 140, 290, 20)));
  }

  void drawnStraightLineSpansThePaddedClipRect()
  {
    ItemPlot p;
    StraightProbe *line = new StraightProbe(&p.plot);
    PaintRecorder recorder(400, 300);
    // Vertical at x = 25 on the x axis (pixel 130): from the top to the bottom
    // of the clip rectangle grown by the pen width (1).
    line->point1->setCoords(25, 0);
    line->point2->setCoords(25, 10);
    drawOn(recorder, line);
    QCOMPARE(onlyLine(recorder), QLineF(130, 19, 130, 260));
    QCOMPARE(recorder.opsOfKind(PaintOp::Line).first().pen, QPen(Qt::black));
    // Swapping the two points draws the same line.
    line->point1->setCoords(25, 10);
    line->point2->setCoords(25, 0);
    drawOn(recorder, line);
    QVERIFY(sameSegment(onlyLine(recorder), QLineF(130, 19, 130, 260)));

    // Through the corners of the axis rectangle with a zero-width pen (no
    // padding).
    line->setPen(QPen(Qt::red, 0));
    setPixels(line->point1, 50, 20);
    setPixels(line->point2, 369, 259);
    drawOn(recorder, line);
    QCOMPARE(onlyLine(recorder), QLineF(50, 20, 369, 259));

    // Outside the rectangle, or without a direction: nothing.
    setPixels(line->point1, 10, 0);
    setPixels(line->point2, 10, 100);
    drawOn(recorder, line);
    QVERIFY(recorder.ops().isEmpty());
    setPixels(line->point2, 10, 0);
    drawOn(recorder, line);
    QVERIFY(recorder.ops().isEmpty());
  }

  void clippingASegment()
  {
    ItemPlot p;
    PlotItemLine *line = new PlotItemLine(&p.plot);
    const QRect rect(0, 0, 101, 101); // right and bottom 100
    // Both ends inside: uncut.
    QCOMPARE(line->getRectClippedLine(QVector2D(10, 10), QVector2D(90, 50), rect), QLineF(10, 10, 90, 50));
    // One end inside: from the border crossing to that end.
    QVERIFY(
        sameSegment(line->getRectClippedLine(QVector2D(50, 50), QVector2D(150, 50), rect), QLineF(50, 50, 100, 50)));
    QVERIFY(sameSegment(line->getRectClippedLine(QVector2D(50, -50), QVector2D(50, 50), rect), QLineF(50, 0, 50, 50)));
    // Both ends outside, crossing: between the two crossings.
    QVERIFY(
        sameSegment(line->getRectClippedLine(QVector2D(-50, 50), QVector2D(150, 50), rect), QLineF(0, 50, 100, 50)));
    QVERIFY(
        sameSegment(line->getRectClippedLine(QVector2D(-10, -10), QVector2D(110, 110), rect), QLineF(0, 0, 100, 100)));
    // Both outside, missing; or stopping short of the rectangle.
    QVERIFY(line->getRectClippedLine(QVector2D(-50, -10), QVector2D(150, -10), rect).isNull());
    QVERIFY(line->getRectClippedLine(QVector2D(-50, 50), QVector2D(-10, 50), rect).isNull());
    // A degenerate segment outside, and ends far beyond the integer range:
    // defined, null.
    QVERIFY(line->getRectClippedLine(QVector2D(-5, -5), QVector2D(-5, -5), rect).isNull());
    QVERIFY(line->getRectClippedLine(QVector2D(-1e12f, 50), QVector2D(-1e11f, 50), rect).isNull());
    QVERIFY(sameSegment(line->getRectClippedLine(QVector2D(-1e12f, 50), QVector2D(1e12f, 50), rect),
                        QLineF(0, 50, 100, 50)));
  }

  void segmentHitTest()
  {
    ItemPlot p;
    PlotItemLine *line = new PlotItemLine(&p.plot);
    setPixels(line->start, 100, 100);
    setPixels(line->end, 200, 100);
    QCOMPARE(line->selectTest(QPointF(150, 104), false), 4.0);
    // Beyond the end: to the end point (the straight line would say 4).
    QCOMPARE(line->selectTest(QPointF(203, 104), false), 5.0);
    line->setSelectable(false);
    QCOMPARE(line->selectTest(QPointF(150, 104), true), -1.0);
  }

  void drawnSegmentWithEndings()
  {
    ItemPlot p;
    LineProbe *line = new LineProbe(&p.plot);
    PaintRecorder recorder(400, 300);
    setPixels(line->start, 100, 100);
    setPixels(line->end, 200, 150);
    line->setTail(PlotLineEnding(PlotLineEnding::esFlatArrow));
    drawOn(recorder, line);
    QCOMPARE(onlyLine(recorder), QLineF(100, 100, 200, 150));
    // Only the tail, at the start point.
    const QList<PaintOp> polygons = recorder.opsOfKind(PaintOp::Polygon);
    QCOMPARE(polygons.size(), 1);
    QVERIFY(polygons.first().points.contains(QPointF(100, 100)));
    QVERIFY(!polygons.first().points.contains(QPointF(200, 150)));

    // Cut at the clip rectangle; the endings stay at the uncut end points.
    line->setHead(PlotLineEnding(PlotLineEnding::esFlatArrow));
    setPixels(line->start, 10, 100); // left of the rect at x = 50
    drawOn(recorder, line);
    const QLineF drawn = onlyLine(recorder);
    QCOMPARE(drawn.p2(), QPointF(200, 150));
    QVERIFY(drawn.p1().x() > 10 && drawn.p1().x() < 50);
    QCOMPARE(recorder.opsOfKind(PaintOp::Polygon).size(), 2);
    QVERIFY(recorder.opsOfKind(PaintOp::Polygon).first().points.contains(QPointF(10, 100)));

    // Both ends on one pixel: nothing at all, endings included.
    setPixels(line->start, 200.3, 149.6);
    drawOn(recorder, line);
    QVERIFY(recorder.ops().isEmpty());
  }

  void snapshotOfTitleAndTwoLines()
  {
    ItemPlot p;
    p.plot.xAxis->setRange(0, 10);
    PlotItemText *title = new PlotItemText(&p.plot);
    title->position->setType(PlotItemPosition::ptPixelCoords);
    title->position->setCoords((p.rect->rect().left() + p.rect->rect().right()) / 2, p.rect->rect().top());
    title->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
    title->setColor(Qt::gray);
    title->setText(QStringLiteral("Capture 1"));
    PlotItemStraightLine *window = new PlotItemStraightLine(&p.plot);
    window->setAntialiased(false);
    window->setPen(QPen(Qt::red));
    window->point1->setCoords(5, 0);
    window->point2->setCoords(5, 1);
    PlotItemStraightLine *diagonal = new PlotItemStraightLine(&p.plot);
    diagonal->setPen(QPen(Qt::blue));
    diagonal->setAntialiased(false);
    diagonal->point1->setCoords(0, 0);
    diagonal->point2->setCoords(10, 50);
    p.plot.replot();

    const QImage image = p.plot.grab().toImage();
    const int x = int(std::round(p.plot.xAxis->coordToPixel(5)));
    QCOMPARE(image.pixelColor(x, 100), QColor(Qt::red));
    QCOMPARE(image.pixelColor(x + 3, 100), QColor(Qt::white));
    // The window line stops at the clip rectangle: nothing of it in the margin
    // below.
    QVERIFY(image.pixelColor(x, 290) != QColor(Qt::red));
    saveSnapshot(&p.plot, QStringLiteral("items_title_and_lines"));
  }
};

TOVRI_TEST(PlotItemLineTest)
#include "tst_itemline.moc"
