#include "graphfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QImage>
#include <QTest>
#include <cmath>

namespace {
const double NaN = std::nan("");

struct BoxAccess : PlotStatisticalBox
{
  static void drawOn(PlotStatisticalBox *box, PlotPainter *painter) { (box->*(&BoxAccess::draw))(painter); }
};
} // namespace

// GraphPlot's mapping: x pixel = key + 50, y pixel = 259 - value; tolerance 8.
class PlotStatisticalBoxTest : public QObject
{
  Q_OBJECT
private slots:
  void keyRange_data()
  {
    QTest::addColumn<double>("key");
    QTest::addColumn<int>("domain");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    const int both = PlotAbstractPlottable::sdBothSigns, pos = PlotAbstractPlottable::sdPositiveOnly,
              neg = PlotAbstractPlottable::sdNegativeOnly;
    QTest::newRow("fresh box") << 0.0 << both << true << -0.25 << 0.25;
    QTest::newRow("positive, straddling") << 0.1 << pos << true << 0.1 << 0.35;
    QTest::newRow("positive, clear of zero") << 1.0 << pos << true << 0.75 << 1.25;
    QTest::newRow("positive, key below zero") << -0.1 << pos << false << 0.0 << 0.0;
    QTest::newRow("negative, straddling") << -0.1 << neg << true << -0.35 << -0.1;
    QTest::newRow("negative, key at zero") << 0.0 << neg << false << 0.0 << 0.0;
    QTest::newRow("NaN key") << NaN << both << false << 0.0 << 0.0;
  }
  void keyRange()
  {
    QFETCH(double, key);
    QFETCH(int, domain);
    QFETCH(bool, found);
    QFETCH(double, lower);
    QFETCH(double, upper);
    GraphPlot p;
    PlotStatisticalBox box(p.plot.xAxis, p.plot.yAxis);
    box.setKey(key);
    bool foundRange = !found;
    const PlotRange range = box.getKeyRange(foundRange, PlotAbstractPlottable::SignDomain(domain));
    QCOMPARE(foundRange, found);
    QCOMPARE(range.lower, lower);
    QCOMPARE(range.upper, upper);
  }

  void valueRange_data()
  {
    QTest::addColumn<QList<double>>("values"); // minimum .. maximum
    QTest::addColumn<QList<double>>("outliers");
    QTest::addColumn<int>("domain");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    const int both = PlotAbstractPlottable::sdBothSigns, pos = PlotAbstractPlottable::sdPositiveOnly,
              neg = PlotAbstractPlottable::sdNegativeOnly;
    const QList<double> five{1, 2, 3, 4, 5};
    QTest::newRow("outliers widen") << five << QList<double>{-2, 9} << both << true << -2.0 << 9.0;
    QTest::newRow("positive only") << five << QList<double>{-2, 9} << pos << true << 1.0 << 9.0;
    QTest::newRow("negative only") << five << QList<double>{-2, 9} << neg << true << -2.0 << -2.0;
    QTest::newRow("all zero, positive") << QList<double>{0, 0, 0, 0, 0} << QList<double>{} << pos << false << 0.0
                                        << 0.0;
    QTest::newRow("NaN left out") << QList<double>{1, 2, NaN, 4, 5} << QList<double>{NaN, 7} << both << true << 1.0
                                  << 7.0;
    QTest::newRow("NaN maximum first") << QList<double>{1, 2, 3, 4, NaN} << QList<double>{} << both << true << 1.0
                                       << 4.0;
  }
  void valueRange()
  {
    QFETCH(QList<double>, values);
    QFETCH(QList<double>, outliers);
    QFETCH(int, domain);
    QFETCH(bool, found);
    QFETCH(double, lower);
    QFETCH(double, upper);
    GraphPlot p;
    PlotStatisticalBox box(p.plot.xAxis, p.plot.yAxis);
    box.setData(0, values[0], values[1], values[2], values[3], values[4]);
    box.setOutliers(outliers);
    bool foundRange = !found;
    const PlotRange range = box.getValueRange(foundRange, PlotAbstractPlottable::SignDomain(domain));
    QCOMPARE(foundRange, found);
    QCOMPARE(range.lower, lower);
    QCOMPARE(range.upper, upper);
  }

  void hits_data()
  {
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<double>("expected");
    // Box at key 100 (x 130..170), quartiles 60..140 (y 199..119), whiskers 20..200 (y 239..59).
    QTest::newRow("inside the box") << QPointF(150, 159) << 8 * 0.99;
    QTest::newRow("inside, near the edge") << QPointF(131, 120) << 8 * 0.99;
    QTest::newRow("beside the box") << QPointF(180, 159) << 30.0;
    QTest::newRow("above the box, below the maximum") << QPointF(144, 80) << 6.0;
    QTest::newRow("above the maximum") << QPointF(150, 49) << -1.0;
    QTest::newRow("below the minimum") << QPointF(150, 249) << -1.0;
    QTest::newRow("outside the data area") << QPointF(20, 159) << -1.0;
  }
  void hits()
  {
    QFETCH(QPointF, pos);
    QFETCH(double, expected);
    GraphPlot p;
    PlotStatisticalBox box(p.plot.xAxis, p.plot.yAxis);
    box.setWidth(40);
    box.setData(100, 20, 60, 100, 140, 200);
    QCOMPARE(box.selectTest(pos, false), expected);
    // A reversed order of the quartiles and whiskers changes nothing.
    box.setData(100, 200, 140, 100, 60, 20);
    QCOMPARE(box.selectTest(pos, false), expected);
  }

  void medianIsClippedToTheBox_data()
  {
    QTest::addColumn<double>("median");
    QTest::newRow("on the upper quartile, wide pen") << 140.0;
    QTest::newRow("above the box") << 170.0;
  }
  void medianIsClippedToTheBox()
  {
    QFETCH(double, median);
    GraphPlot p;
    PlotStatisticalBox box(p.plot.xAxis, p.plot.yAxis);
    box.setWidth(40);
    box.setData(100, 20, 60, median, 140, 200);
    box.setMedianPen(QPen(Qt::red, 20));
    box.setWhiskerPen(Qt::NoPen);
    box.setWhiskerBarPen(Qt::NoPen);
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    PlotPainter painter(&image);
    BoxAccess::drawOn(&box, &painter);
    painter.end();
    const QRgb red = qRgb(255, 0, 0);
    int redInside = 0;
    for (int y = 0; y < 300; ++y) {
      for (int x = 0; x < 400; ++x) {
        if (image.pixel(x, y) != red)
          continue;
        QVERIFY2(x >= 130 && x <= 170 && y >= 119 && y <= 199, qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
        ++redInside;
      }
    }
    if (median <= 140)
      QVERIFY(redInside > 0);
    else
      QCOMPARE(redInside, 0);
  }

  void drawsOutliersAndWhiskersWhereTheyLie()
  {
    GraphPlot p;
    PlotStatisticalBox box(p.plot.xAxis, p.plot.yAxis);
    box.setWidth(40);
    box.setWhiskerWidth(20);
    box.setData(100, 20, 60, 100, 140, 200);
    box.setOutliers({10, 230});
    box.setAntialiased(false);
    box.setAntialiasedScatters(false);
    PaintRecorder recorder;
    PlotPainter painter(&recorder);
    BoxAccess::drawOn(&box, &painter);
    painter.end();
    const QList<PaintOp> rects = recorder.opsOfKind(PaintOp::Rect);
    QCOMPARE(rects.size(), 1);
    QCOMPARE(rects.at(0).rect, QRectF(QPointF(130, 119), QPointF(170, 199)));
    const QList<PaintOp> lines = recorder.opsOfKind(PaintOp::Line);
    QCOMPARE(lines.size(), 5); // median, two whiskers, two bars
    QCOMPARE(lines.at(3).points, QList<QPointF>({{140, 239}, {160, 239}}));
    const QList<PaintOp> symbols = recorder.opsOfKind(PaintOp::Ellipse);
    QCOMPARE(symbols.size(), 2);
    QCOMPARE(symbols.at(1).rect.center(), QPointF(150, 29));
  }
};

TOVRI_TEST(PlotStatisticalBoxTest)
#include "tst_statisticalbox.moc"
