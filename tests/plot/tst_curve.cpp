#include "graphfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>
#include <cmath>

namespace {
const double NaN = std::nan("");

// Reaches the curve's protected drawing steps.
struct CurveAccess : PlotCurve
{
  static void drawOn(PlotCurve *curve, PlotPainter *painter) { (curve->*(&CurveAccess::draw))(painter); }
  static QList<QPointF> reduced(const PlotCurve *curve)
  {
    QList<QPointF> result;
    (curve->*(&CurveAccess::getCurveData))(&result);
    return result;
  }
};

// The curve drawn through its reduction, without antialiasing, clipped to the data area.
QImage drawReduced(GraphPlot &p, PlotCurve *curve)
{
  QImage image(400, 300, QImage::Format_RGB32);
  image.fill(Qt::white);
  PlotPainter painter(&image);
  painter.setClipRect(p.rect->rect());
  CurveAccess::drawOn(curve, &painter);
  painter.end();
  return image;
}

// The same curve drawn from every point as it is, with the same pen and fill.
QImage drawUnreduced(GraphPlot &p, PlotCurve *curve)
{
  QPolygonF points;
  for (const PlotCurveData &d : std::as_const(*curve->data()))
    points << curve->coordsToPixels(d.key, d.value);
  QImage image(400, 300, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setClipRect(p.rect->rect());
  painter.setPen(Qt::NoPen);
  painter.setBrush(curve->brush());
  painter.drawPolygon(points, Qt::OddEvenFill);
  painter.setPen(curve->pen());
  painter.setBrush(Qt::NoBrush);
  // The line stays open (the closing segment only bounds the fill).
  painter.drawPolyline(points);
  painter.end();
  return image;
}

int inkedPixels(const QImage &image, const QRect &area)
{
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      count += image.pixel(x, y) != qRgb(255, 255, 255);
  return count;
}

// Pixels of one image whose colour the other has nowhere within one pixel.
// A segment cut at the border starts elsewhere than the full segment, so the
// rasteriser may step a line or a fill edge one pixel aside (and, where two
// lines nearly coincide, a few pixels more); a wrong corner or cut moves whole
// edges and flips whole areas, hundreds of pixels at least.
int unmatchedPixels(const QImage &a, const QImage &b, const QRect &area)
{
  const auto hasNear = [&area](const QImage &image, int x, int y, QRgb colour) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (area.contains(x + dx, y + dy) && image.pixel(x + dx, y + dy) == colour)
          return true;
    return false;
  };
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      count += !hasNear(b, x, y, a.pixel(x, y)) + !hasNear(a, x, y, b.pixel(x, y));
  return count;
}
} // namespace

// GraphPlot's mapping: x pixel = key + 50, y pixel = 259 - value, data area 320 x 240.
class PlotCurveTest : public QObject
{
  Q_OBJECT
private slots:
  void reductionDrawsWhatTheFullCurveDraws_data()
  {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("zoomed");
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<bool>("verticalKey");
    for (quint32 seed = 1; seed <= 10; ++seed) {
      QTest::addRow("seed %u", seed) << seed << false << false << false;
      QTest::addRow("zoomed, seed %u", seed) << seed << true << false << false;
      QTest::addRow("zoomed, reversed, seed %u", seed) << seed << true << true << false;
      QTest::addRow("zoomed, vertical key, seed %u", seed) << seed << true << false << true;
    }
  }
  void reductionDrawsWhatTheFullCurveDraws()
  {
    QFETCH(quint32, seed);
    QFETCH(bool, zoomed);
    QFETCH(bool, reversed);
    QFETCH(bool, verticalKey);
    GraphPlot p;
    if (zoomed) {
      // A quarter of the points' spread: most segments leave, cross or circle the view.
      p.plot.xAxis->setRange(100, 180);
      p.plot.yAxis->setRange(80, 140);
    }
    p.plot.xAxis->setRangeReversed(reversed);
    PlotCurve curve(verticalKey ? p.plot.yAxis : p.plot.xAxis, verticalKey ? p.plot.xAxis : p.plot.yAxis);
    curve.setAntialiased(false);
    curve.setAntialiasedFill(false);
    curve.setBrush(QBrush(Qt::red, Qt::SolidPattern));
    QRandomGenerator random(seed);
    for (int i = 0; i < 40; ++i)
      curve.addData(-40 + random.bounded(400.0), -40 + random.bounded(320.0));

    const QImage reduced = drawReduced(p, &curve);
    const QImage unreduced = drawUnreduced(p, &curve);
    QVERIFY(inkedPixels(unreduced, p.rect->rect()) > 0); // not a comparison of two blanks
    const int unmatched = unmatchedPixels(reduced, unreduced, p.rect->rect());
    QVERIFY2(unmatched <= 24, qPrintable(QString::number(unmatched)));
  }

  void aCurveCirclingFarOutsideReachesThePainterWithAFewPoints()
  {
    GraphPlot p;
    PlotCurve curve(p.plot.xAxis, p.plot.yAxis);
    for (int i = 0; i < 20000; ++i) {
      const double angle = i * 2 * M_PI / 1000; // twenty turns
      curve.addData(160 + 1e5 * std::cos(angle), 120 + 1e5 * std::sin(angle));
    }
    const QList<QPointF> points = CurveAccess::reduced(&curve);
    // At most one corner per change of outside region: eight a turn.
    QVERIFY2(points.size() <= 20 * 8, qPrintable(QString::number(points.size())));
    QVERIFY(points.size() >= 4);
    for (const QPointF &pt : points) {
      // Nothing beyond the one-pixel margin around the data area.
      QVERIFY(pt.x() >= 49 - 1e-6 && pt.x() <= 371 + 1e-6);
      QVERIFY(pt.y() >= 18 - 1e-6 && pt.y() <= 260 + 1e-6);
    }
  }

  void regionSequences_data()
  {
    QTest::addColumn<QList<QPointF>>("keysValues");
    QTest::addColumn<QList<QPointF>>("expected");
    // R reaches one pixel past the data area: keys -1..321, values -1..241,
    // pixels x 49..371, y 18..260.
    QTest::newRow("inside only, no closing point")
        << QList<QPointF>{{10, 10}, {20, 30}, {40, 20}} << QList<QPointF>{{60, 249}, {70, 229}, {90, 239}};
    QTest::newRow("single point") << QList<QPointF>{{100, 100}} << QList<QPointF>{{150, 159}};
    // Corners: TL (49, 18), TR (371, 18), BL (49, 260), BR (371, 260).
    QTest::newRow("1 to 9 passing below-left")
        << QList<QPointF>{{-10, 250}, {330, -10000}}
        << QList<QPointF>{{371, 260}, {49, 260}, {49, 260}, {49, 18}, {49, 18}, {49, 260}, {49, 260}, {371, 260}};
    QTest::newRow("1 to 9 passing above-right")
        << QList<QPointF>{{-5, 10000}, {330, -10}}
        << QList<QPointF>{{371, 260}, {371, 18}, {371, 18}, {49, 18}, {49, 18}, {371, 18}, {371, 18}, {371, 260}};
    // The closing segment crosses first: its exit point leads, its entry ends the line.
    QTest::newRow("closing segment 2 to 8")
        << QList<QPointF>{{500, 100}, {-100, 100}} << QList<QPointF>{{371, 159}, {371, 159}, {49, 159}, {49, 159}};
    QTest::newRow("leave and re-enter")
        << QList<QPointF>{{100, 100}, {500, 100}, {200, 100}}
        << QList<QPointF>{{150, 159}, {371, 159}, {371, 159}, {250, 159}};
  }
  void regionSequences()
  {
    QFETCH(QList<QPointF>, keysValues);
    QFETCH(QList<QPointF>, expected);
    GraphPlot p;
    PlotCurve curve(p.plot.xAxis, p.plot.yAxis);
    for (const QPointF &kv : keysValues)
      curve.addData(kv.x(), kv.y());
    const QList<QPointF> points = CurveAccess::reduced(&curve);
    QCOMPARE(points.size(), expected.size());
    for (qsizetype i = 0; i < points.size(); ++i) {
      QVERIFY2(qAbs(points.at(i).x() - expected.at(i).x()) < 1e-6 && qAbs(points.at(i).y() - expected.at(i).y()) < 1e-6,
               qPrintable(QStringLiteral("point %1: (%2, %3)").arg(i).arg(points.at(i).x()).arg(points.at(i).y())));
    }
  }

  void aNanValueIsAGapWithoutSymbol()
  {
    GraphPlot p;
    PlotCurve curve(p.plot.xAxis, p.plot.yAxis);
    curve.setScatterStyle(PlotScatterStyle(PlotScatterStyle::ssCircle, 5));
    curve.setData({10, 20, 30, 40}, {10, NaN, 10, 20});
    PaintRecorder recorder;
    PlotPainter painter(&recorder);
    CurveAccess::drawOn(&curve, &painter);
    painter.end();
    // The run before the gap is a single point: no line.
    const QList<PaintOp> lines = recorder.opsOfKind(PaintOp::Polyline);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.at(0).points, QList<QPointF>({{80.5, 249.5}, {90.5, 239.5}})); // antialiased: half-pixel shift
    QCOMPARE(recorder.opsOfKind(PaintOp::Ellipse).size(), 3);

    // The fast path leaves the same gap.
    p.plot.setPlottingHint(Plot::hintFastPolylines);
    recorder.clear();
    PlotPainter fast(&recorder);
    CurveAccess::drawOn(&curve, &fast);
    fast.end();
    const QList<PaintOp> segments = recorder.opsOfKind(PaintOp::Line);
    QCOMPARE(segments.size(), 1);
    QCOMPARE(segments.at(0).points, QList<QPointF>({{80.5, 249.5}, {90.5, 239.5}}));
  }

  void parameterRules()
  {
    GraphPlot p;
    PlotCurve curve(p.plot.xAxis, p.plot.yAxis);
    curve.addData(7.5, 1, 1);
    curve.clearData();
    curve.addData(1, 1);
    curve.addData(2, 2);
    curve.addData(3, 3);
    QCOMPARE(curve.data()->keys(), QList<double>({0, 1, 2}));
    curve.addData(10, 5, 5);
    curve.addData(6, 6);
    QCOMPARE(curve.data()->lastKey(), 11.0);
    // Where adding 1 no longer changes t, the point still goes after the last one.
    curve.addData(9007199254740992.0, 7, 7);
    curve.addData(8, 8);
    QCOMPARE(curve.data()->size(), 7);
    QCOMPARE(curve.data()->last().key, 8.0);
    curve.addData(qInf(), 9, 9);
    {
      MessageLog log;
      curve.addData(10, 10); // nothing after infinity: refused, the point at infinity stays
      QVERIFY(log.contains("no parameter after the last point"));
    }
    QCOMPARE(curve.data()->last().key, 9.0);

    // A NaN t is not stored and disturbs nothing.
    curve.setData({1, 2, 3}, {10, 20, 30}, {1, 2, 3});
    curve.addData(NaN, 99, 99);
    curve.addData(PlotCurveData(NaN, 98, 98));
    QCOMPARE(curve.data()->keys(), QList<double>({1, 2, 3}));
    QCOMPARE(curve.data()->value(1).key, 10.0);
    curve.setData({NaN, 1, 2, 3}, {0, 10, 20, 30}, {0, 1, 2, 3});
    QCOMPARE(curve.data()->keys(), QList<double>({1, 2, 3}));
    PlotCurveDataMap incoming;
    incoming.insert(2, PlotCurveData(2, -2, -2));
    curve.addData(incoming);
    QCOMPARE(curve.data()->size(), 3);
    QCOMPARE(curve.data()->value(2).key, -2.0); // the incoming point wins
    // A map can hold a NaN key only alone: any later insert lands on it.
    PlotCurveDataMap nanOnly;
    nanOnly.insert(NaN, PlotCurveData(NaN, 0, 0));
    curve.addData(nanOnly);
    QCOMPARE(curve.data()->keys(), QList<double>({1, 2, 3}));
    curve.setData(&nanOnly, true);
    QVERIFY(curve.data()->isEmpty());
    QCOMPARE(nanOnly.size(), 1); // the caller's map is left as it was

    curve.setData({1, 2, 3, 4, 5}, {1, 2, 3});
    QCOMPARE(curve.data()->keys(), QList<double>({0, 1, 2}));
    curve.setData({1, 2, 3, 4}, {1, 2, 3, 4}, {0, 0, 0, 0});
    curve.removeData(2, 2);
    curve.removeData(3, 2);
    QCOMPARE(curve.data()->size(), 4);
    curve.removeData(1, 3);
    QCOMPARE(curve.data()->keys(), QList<double>({1, 4}));
  }

  void nullAndOwnMapsAreRefused()
  {
    GraphPlot p;
    PlotCurve *curve = new PlotCurve(p.plot.xAxis, p.plot.yAxis);
    p.plot.addPlottable(curve);
    curve->setData({1, 2}, {1, 2}, {1, 2});
    {
      MessageLog log;
      curve->setData(nullptr, false);
      curve->setData(curve->data(), false);
      QVERIFY(log.contains("null data pointer"));
      QVERIFY(log.contains("already in (and owned by) this plottable"));
    }
    QCOMPARE(curve->data()->size(), 2);
    p.plot.replot(); // draws the kept map

    // An adopted map is the curve's: it goes with the curve.
    auto *adopted = new PlotCurveDataMap;
    adopted->insert(5, PlotCurveData(5, 5, 5));
    curve->setData(adopted, false);
    QCOMPARE(curve->data(), adopted);
  }

  void ranges_data()
  {
    QTest::addColumn<QList<double>>("keys");
    QTest::addColumn<int>("domain");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::newRow("positive") << QList<double>{-1, 0, 2, 5} << int(PlotAbstractPlottable::sdPositiveOnly) << true
                              << 2.0 << 5.0;
    QTest::newRow("positive, none") << QList<double>{-1, 0} << int(PlotAbstractPlottable::sdPositiveOnly) << false
                                    << 0.0 << 0.0;
    QTest::newRow("negative") << QList<double>{-3, -1, 0, 2} << int(PlotAbstractPlottable::sdNegativeOnly) << true
                              << -3.0 << -1.0;
    QTest::newRow("both, NaN left out") << QList<double>{NaN, 4, -2} << int(PlotAbstractPlottable::sdBothSigns)
                                        << true << -2.0 << 4.0;
    QTest::newRow("only NaN") << QList<double>{NaN} << int(PlotAbstractPlottable::sdBothSigns) << false << 0.0
                              << 0.0;
  }
  void ranges()
  {
    QFETCH(QList<double>, keys);
    QFETCH(int, domain);
    QFETCH(bool, found);
    QFETCH(double, lower);
    QFETCH(double, upper);
    GraphPlot p;
    PlotCurve curve(p.plot.xAxis, p.plot.yAxis);
    // The same numbers as keys and as values; a point with a NaN in either counts for neither.
    curve.setData(keys, keys);
    curve.addData(100, 7, NaN);
    const auto sign = PlotAbstractPlottable::SignDomain(domain);
    bool foundKeys = !found, foundValues = !found;
    const PlotRange keyRange = curve.getKeyRange(foundKeys, sign);
    const PlotRange valueRange = curve.getValueRange(foundValues, sign);
    QCOMPARE(foundKeys, found);
    QCOMPARE(foundValues, found);
    QCOMPARE(keyRange.lower, lower);
    QCOMPARE(keyRange.upper, upper);
    QCOMPARE(valueRange.lower, lower);
    QCOMPARE(valueRange.upper, upper);
  }

  void hitTest()
  {
    GraphPlot p;
    PlotCurve curve(p.plot.xAxis, p.plot.yAxis);
    {
      MessageLog log;
      QCOMPARE(curve.selectTest(QPointF(100, 100), false), -1.0);
      QVERIFY(log.lines.isEmpty());
    }
    curve.addData(100, 100); // pixel (150, 159)
    QCOMPARE(curve.selectTest(QPointF(153, 163), false), 5.0);
    // A line leaving the view: measured to the cut line, not beyond the data area.
    curve.addData(100, 500);
    QCOMPARE(curve.selectTest(QPointF(155, 100), false), 5.0);
    QCOMPARE(curve.selectTest(QPointF(150, 10), false), -1.0);
    curve.setSelectable(false);
    QCOMPARE(curve.selectTest(QPointF(155, 100), true), -1.0);
  }
};

TOVRI_TEST(PlotCurveTest)
#include "tst_curve.moc"
