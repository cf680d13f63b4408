#include "graphfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

namespace {
const double NaN = std::nan("");
const double Inf = std::numeric_limits<double>::infinity();

struct MapAccess : PlotColorMap
{
  static void drawOn(PlotColorMap *map, PlotPainter *painter) { (map->*(&MapAccess::draw))(painter); }
  static void build(PlotColorMap *map) { (map->*(&MapAccess::updateMapImage))(); }
};

struct DataAccess : PlotColorMapData
{
  static bool modified(const PlotColorMapData &d) { return d.*(&DataAccess::mDataModified); }
};

QList<PaintOp> drawMap(PlotColorMap *map, PaintRecorder &recorder, bool vectorized = false,
                       const QRect &clip = QRect())
{
  PlotPainter painter(&recorder);
  painter.setMode(PlotPainter::pmVectorized, vectorized);
  if (!clip.isNull())
    painter.setClipRect(clip);
  MapAccess::drawOn(map, &painter);
  painter.end();
  return recorder.ops();
}
} // namespace

// GraphPlot's mapping: x pixel = key + 50, y pixel = 259 - value.
class PlotColorMapTest : public QObject
{
  Q_OBJECT
private slots:
  void coordToCell_data()
  {
    QTest::addColumn<PlotRange>("range");
    QTest::addColumn<int>("size");
    QTest::addColumn<double>("coord");
    QTest::addColumn<int>("index"); // -1 or size: outside
    const PlotRange r(0, 10);
    QTest::newRow("half rounds up") << r << 11 << 4.5 << 5;
    QTest::newRow("below half") << r << 11 << 4.49 << 4;
    QTest::newRow("lower half cell") << r << 11 << -0.74 << 0;
    QTest::newRow("beyond lower half cell") << r << 11 << -1.5 << -1;
    QTest::newRow("upper half cell") << r << 11 << 10.49 << 10;
    QTest::newRow("beyond upper half cell") << r << 11 << 10.5 << 11;
    QTest::newRow("far above") << r << 11 << 1e300 << 11;
    QTest::newRow("far below") << r << 11 << -1e300 << -1;
    QTest::newRow("NaN") << r << 11 << NaN << -1;
    QTest::newRow("infinity") << r << 11 << Inf << -1;
    QTest::newRow("size 1, anywhere") << r << 1 << 1e300 << 0;
    QTest::newRow("size 1, NaN") << r << 1 << NaN << -1;
    QTest::newRow("size 1, zero-width range") << PlotRange(3, 3) << 1 << 3.0 << 0;
    QTest::newRow("zero-width range, on it") << PlotRange(3, 3) << 5 << 3.0 << -1;
    QTest::newRow("zero-width range, above") << PlotRange(3, 3) << 5 << 4.0 << 5;
    QTest::newRow("tiny width") << PlotRange(0, 1e-300) << 5 << 1.0 << 5;
  }
  void coordToCell()
  {
    QFETCH(PlotRange, range);
    QFETCH(int, size);
    QFETCH(double, coord);
    QFETCH(int, index);
    PlotColorMapData grid(size, 2, range, PlotRange(0, 1));
    int k = 99, v = 99;
    grid.coordToCell(coord, 0, &k, &v);
    QCOMPARE(k, index);
    QCOMPARE(v, 0);
    grid.coordToCell(coord, 0, nullptr, nullptr);

    // Writes land in that cell or nowhere.
    grid.setData(coord, 0, 7);
    const bool inside = index >= 0 && index < size;
    double sum = 0;
    for (int i = 0; i < size; ++i)
      sum += grid.cell(i, 0);
    QCOMPARE(sum, inside ? 7.0 : 0.0);
    QCOMPARE(grid.data(coord, 0), inside ? 7.0 : 0.0);
  }

  void cellToCoord()
  {
    PlotColorMapData grid(11, 1, PlotRange(0, 10), PlotRange(2, 4));
    double key = NaN, value = NaN;
    grid.cellToCoord(5, 0, &key, &value);
    QCOMPARE(key, 5.0);
    // A single cell sits on the range's lower bound instead of dividing by 0.
    QCOMPARE(value, 2.0);
    grid.cellToCoord(0, 0, nullptr, nullptr);
  }

  void outsideWritesChangeNothing()
  {
    PlotColorMapData grid(3, 3, PlotRange(0, 2), PlotRange(0, 2));
    // The map's rebuild clears the modified flag; writes outside the grid
    // must not set it again.
    GraphPlot p;
    auto *map = new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    map->setData(&grid, true);
    MapAccess::build(map);
    QVERIFY(!DataAccess::modified(*map->data()));
    map->data()->setCell(3, 0, 1);
    map->data()->setCell(0, -1, 1);
    map->data()->setData(-5, 0, 1);
    QVERIFY(!DataAccess::modified(*map->data()));
    QCOMPARE(map->data()->cell(3, 0), 0.0);
    QCOMPARE(map->data()->cell(-1, 0), 0.0);
    map->data()->setCell(1, 1, 4);
    QVERIFY(DataAccess::modified(*map->data()));
  }

  void dataBounds_data()
  {
    QTest::addColumn<QList<double>>("writes"); // into cells 0, 1, ... of a 1 x n grid filled with 0
    QTest::addColumn<PlotRange>("afterWrites");
    QTest::addColumn<PlotRange>("afterRecalculation");
    QTest::newRow("writes only widen") << QList<double>{5, 3} << PlotRange(0, 5) << PlotRange(3, 5);
    QTest::newRow("negative") << QList<double>{-2, -7, -1} << PlotRange(-7, 0) << PlotRange(-7, -1);
    QTest::newRow("NaN first cell") << QList<double>{NaN, 3, 8} << PlotRange(0, 8) << PlotRange(3, 8);
    QTest::newRow("NaN last cell") << QList<double>{2, NaN} << PlotRange(0, 2) << PlotRange(2, 2);
    QTest::newRow("only NaN keeps the bounds") << QList<double>{NaN, NaN} << PlotRange(0, 0) << PlotRange(0, 0);
  }
  void dataBounds()
  {
    QFETCH(QList<double>, writes);
    QFETCH(PlotRange, afterWrites);
    QFETCH(PlotRange, afterRecalculation);
    PlotColorMapData grid(1, int(writes.size()), PlotRange(0, 1), PlotRange(0, 1));
    for (int i = 0; i < writes.size(); ++i)
      grid.setCell(0, i, writes.at(i));
    QCOMPARE(grid.dataBounds(), afterWrites);
    grid.recalculateDataBounds();
    QCOMPARE(grid.dataBounds(), afterRecalculation);
  }

  void nanFillLeavesBoundsUsable()
  {
    PlotColorMapData grid(2, 1, PlotRange(0, 1), PlotRange(0, 1));
    grid.fill(NaN);
    grid.setCell(0, 0, 4);
    QCOMPARE(grid.dataBounds(), PlotRange(0, 4));
    grid.recalculateDataBounds();
    QCOMPARE(grid.dataBounds(), PlotRange(4, 4));
  }

  void sizes_data()
  {
    QTest::addColumn<int>("keySize");
    QTest::addColumn<int>("valueSize");
    QTest::addColumn<QSize>("expected");
    QTest::addColumn<bool>("refused");
    QTest::newRow("ordinary") << 30 << 20 << QSize(30, 20) << false;
    QTest::newRow("one cell") << 1 << 1 << QSize(1, 1) << false;
    QTest::newRow("zero width") << 0 << 20 << QSize(0, 20) << false;
    QTest::newRow("negative sizes count as 0") << -3 << 5 << QSize(0, 5) << false;
    QTest::newRow("product beyond 32 bits") << 65536 << 65537 << QSize(0, 0) << true;
    QTest::newRow("largest int squared") << std::numeric_limits<int>::max() << std::numeric_limits<int>::max()
                                         << QSize(0, 0) << true;
  }
  void sizes()
  {
    QFETCH(int, keySize);
    QFETCH(int, valueSize);
    QFETCH(QSize, expected);
    QFETCH(bool, refused);
    MessageLog log;
    PlotColorMapData grid(4, 4, PlotRange(0, 1), PlotRange(0, 1));
    grid.setCell(1, 1, 5);
    grid.setSize(keySize, valueSize);
    QCOMPARE(QSize(grid.keySize(), grid.valueSize()), expected);
    QCOMPARE(log.contains("out of memory for data dimensions"), refused);
    const bool empty = expected.width() == 0 || expected.height() == 0;
    QCOMPARE(grid.isEmpty(), empty);
    // Whatever the outcome, nothing reaches cells that do not exist.
    grid.fill(2);
    grid.setCell(0, 0, 3);
    grid.setData(0.5, 0.5, 3);
    QCOMPARE(grid.cell(0, 0), empty ? 0.0 : 3.0);
    grid.recalculateDataBounds();
    PlotColorMapData copy(grid);
    QCOMPARE(copy.isEmpty(), empty);
    QCOMPARE(copy.cell(0, 0), grid.cell(0, 0));
  }

  void imageSizes_data()
  {
    QTest::addColumn<int>("keySize");
    QTest::addColumn<int>("valueSize");
    QTest::addColumn<bool>("interpolate");
    QTest::addColumn<bool>("verticalKey");
    QTest::addColumn<QSize>("image");
    QTest::newRow("10 x 10 oversampled") << 10 << 10 << false << false << QSize(110, 110);
    QTest::newRow("200 x 3 oversampled") << 200 << 3 << false << false << QSize(200, 102);
    QTest::newRow("200 x 3 vertical key") << 200 << 3 << false << true << QSize(102, 200);
    QTest::newRow("interpolated") << 10 << 10 << true << false << QSize(10, 10);
    QTest::newRow("interpolated vertical key") << 7 << 3 << true << true << QSize(3, 7);
    QTest::newRow("single cell") << 1 << 1 << false << false << QSize(101, 101);
  }
  void imageSizes()
  {
    QFETCH(int, keySize);
    QFETCH(int, valueSize);
    QFETCH(bool, interpolate);
    QFETCH(bool, verticalKey);
    QFETCH(QSize, image);
    GraphPlot p;
    auto *map = verticalKey ? new PlotColorMap(p.plot.yAxis, p.plot.xAxis) : new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    map->data()->setSize(keySize, valueSize);
    map->setInterpolate(interpolate);
    MapAccess::build(map);
    QCOMPARE(map->mapImage().size(), image);
  }

  void colouringMatchesGradient_data()
  {
    QTest::addColumn<PlotRange>("dataRange");
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<bool>("periodic");
    QTest::addColumn<bool>("verticalKey");
    QTest::newRow("linear") << PlotRange(0, 1) << false << false << false;
    QTest::newRow("linear, vertical key") << PlotRange(-1, 2) << false << false << true;
    QTest::newRow("narrow range") << PlotRange(0.3, 0.3 + 1e-9) << false << false << false;
    QTest::newRow("logarithmic") << PlotRange(0.01, 10) << true << false << true;
    QTest::newRow("periodic") << PlotRange(0, 0.25) << false << true << false;
  }
  void colouringMatchesGradient()
  {
    // Every cell gets the colour the gradient itself gives the value.
    QFETCH(PlotRange, dataRange);
    QFETCH(bool, logarithmic);
    QFETCH(bool, periodic);
    QFETCH(bool, verticalKey);
    const QList<double> values{NaN, -Inf, Inf, -1e300, 1e300, -1, 0, 1e-12, 0.3, 0.5, 0.999, 1, 1.0001, 2, 7.5};
    GraphPlot p;
    auto *map = verticalKey ? new PlotColorMap(p.plot.yAxis, p.plot.xAxis) : new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    PlotColorGradient gradient(PlotColorGradient::gpSpectrum);
    gradient.setPeriodic(periodic);
    map->setGradient(gradient);
    if (logarithmic)
      map->setDataScaleType(PlotAxis::stLogarithmic);
    map->setDataRange(dataRange);
    // Two keys: with a vertical key axis image row 0 reads key 1's column
    // with a stride of two cells.
    const int n = int(values.size());
    map->data()->setSize(2, n);
    for (int v = 0; v < n; ++v) {
      map->data()->setCell(0, v, 0.5);
      map->data()->setCell(1, v, values.at(v));
    }
    MapAccess::build(map);
    const QImage img = map->mapImage();
    QList<QRgb> expected(n);
    gradient.colorize(values.constData(), map->dataRange(), expected.data(), n, 1, logarithmic);
    for (int v = 0; v < n; ++v) {
      const QRgb shown = verticalKey ? img.pixel(v, 0) : img.pixel(1, n - 1 - v);
      QVERIFY2(shown == expected.at(v), qPrintable(QString::number(values.at(v))));
    }
  }

  void transposedCellPlacement()
  {
    // One cell lit at key index 0, value index 2 of a 4 x 3 grid.
    GraphPlot p;
    PlotColorGradient gradient(PlotColorGradient::gpCold);
    const QRgb high = gradient.color(1, PlotRange(0, 1));
    for (bool verticalKey : {false, true}) {
      auto *map = verticalKey ? new PlotColorMap(p.plot.yAxis, p.plot.xAxis)
                              : new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
      map->data()->setSize(4, 3);
      map->setDataRange(PlotRange(0, 1));
      map->data()->setCell(0, 2, 1);
      MapAccess::build(map);
      const QImage img = map->mapImage();
      // Horizontal key: column = key index, row = last value index - value.
      // Vertical key: column = value index, row = last key index - key.
      const QPoint lit = verticalKey ? QPoint(2, 3) : QPoint(0, 0);
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          QCOMPARE(img.pixel(x, y) == high, QPoint(x, y) == lit);
    }
  }

  void drawPlacement_data()
  {
    QTest::addColumn<bool>("tight");
    QTest::addColumn<bool>("reversed");
    QTest::newRow("half cells beyond the bounds") << false << false;
    QTest::newRow("tight boundary") << true << false;
    QTest::newRow("reversed key axis") << false << true;
  }
  void drawPlacement()
  {
    QFETCH(bool, tight);
    QFETCH(bool, reversed);
    GraphPlot p;
    auto *map = new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    map->data()->setSize(11, 5);
    map->data()->setRange(PlotRange(100, 200), PlotRange(40, 80));
    map->setTightBoundary(tight);
    map->setInterpolate(false); // solid cells for the pixel check below
    map->setAntialiased(false); // no half-pixel shift
    map->setDataRange(PlotRange(0, 1));
    map->data()->setCell(0, 0, 1); // lowest key, lowest value
    p.plot.xAxis->setRangeReversed(reversed);
    PaintRecorder recorder;
    const QList<PaintOp> ops = drawMap(map, recorder);
    QCOMPARE(ops.size(), 1);
    QCOMPARE(ops.at(0).kind, PaintOp::Pixmap);
    // Keys 100..200 over 11 cells: 5 pixels half cell; values 40..80 over 5: 5.
    const double left = reversed ? 320 - 200 + 50 : 150;
    QCOMPARE(ops.at(0).rect, QRectF(left - 5, 259 - 80 - 5, 110, 50));
    QCOMPARE(ops.at(0).clipped, tight);
    if (tight)
      QCOMPARE(ops.at(0).clipRect, QRectF(left, 259 - 80, 100, 40));

    // Drawn into a real image: the lit cell is at the bottom, on the left or,
    // reversed, on the right.
    QImage canvas(400, 300, QImage::Format_RGB32);
    canvas.fill(Qt::red); // the gradient's highest colour is white
    {
      PlotPainter painter(&canvas);
      MapAccess::drawOn(map, &painter);
    }
    const QRgb high = PlotColorGradient(PlotColorGradient::gpCold).color(1, PlotRange(0, 1));
    QCOMPARE(canvas.pixel(reversed ? 268 : 152, 217), high);
    QVERIFY(canvas.pixel(200, 199) != high);
    // The outer half cells exist only without the tight boundary.
    QCOMPARE(canvas.pixel(reversed ? 273 : 147, 222) == high, !tight);
  }

  void vectorBufferIsCapped_data()
  {
    QTest::addColumn<QRect>("clip");
    QTest::addColumn<QSize>("buffer");
    QTest::newRow("small clip, three times") << QRect(50, 20, 320, 240) << QSize(960, 720);
    QTest::newRow("page-sized clip, capped") << QRect(0, 0, 4000, 3000) << QSize(4729, 3547);
  }
  void vectorBufferIsCapped()
  {
    QFETCH(QRect, clip);
    QFETCH(QSize, buffer);
    GraphPlot p;
    p.plot.xAxis->setRange(0, 10);
    auto *map = new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    PaintRecorder recorder;
    const QList<PaintOp> ops = drawMap(map, recorder, true, clip);
    QCOMPARE(ops.size(), 1);
    QCOMPARE(ops.at(0).rect, QRectF(clip));
    QCOMPARE(ops.at(0).pixmapSize, buffer);
    QVERIFY(double(buffer.width()) * buffer.height() <= 16.0 * 1024 * 1024);
  }

  void newMapReplots()
  {
    GraphPlot p;
    auto *map = new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    p.plot.addPlottable(map);
    p.plot.xAxis->setRange(-1, 6);
    p.plot.yAxis->setRange(-1, 6);
    p.plot.replot();
    const QImage shown = p.plot.toPixmap().toImage();
    // Grid of zeros over 0..5 with the data range (0, 0): the gradient's first
    // level everywhere inside.
    const QRgb first = PlotColorGradient(PlotColorGradient::gpCold).color(0, PlotRange(0, 1));
    const QPointF centre = map->coordsToPixels(2.5, 2.5);
    QCOMPARE(shown.pixel(centre.toPoint()), first);
    QCOMPARE(map->dataRange(), PlotRange(0, 0));
    QCOMPARE(map->selectTest(centre, false), p.plot.selectionTolerance() * 0.99);
    QCOMPARE(map->selectTest(map->coordsToPixels(5.4, 2.5), false), -1.0);
    map->clearData();
    p.plot.replot();
    QVERIFY(p.plot.toPixmap().toImage().pixel(centre.toPoint()) != first);
  }

  void setDataGuards()
  {
    GraphPlot p;
    auto *map = new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    p.plot.addPlottable(map);
    PlotColorMapData *own = map->data();
    MessageLog log;
    map->setData(nullptr);
    map->setData(nullptr, true);
    map->setData(own);
    QCOMPARE(map->data(), own);
    QVERIFY(log.contains("null data pointer"));
    QVERIFY(log.contains("already in (and owned by) this plottable"));
    p.plot.replot();
    auto *adopted = new PlotColorMapData(3, 2, PlotRange(0, 1), PlotRange(0, 1));
    map->setData(adopted);
    QCOMPARE(map->data(), adopted);
    p.plot.replot();
  }

  void dataRangeAndScaleType()
  {
    GraphPlot p;
    auto *map = new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    map->data()->setCell(0, 0, 4);
    map->data()->setCell(1, 0, -2);
    map->rescaleDataRange(false);
    QCOMPARE(map->dataRange(), PlotRange(-2, 4));
    map->setDataRange(PlotRange(NaN, 1));
    map->setDataRange(PlotRange(3, 3));
    QCOMPARE(map->dataRange(), PlotRange(-2, 4));
    map->data()->fill(5);
    map->rescaleDataRange(true);
    QCOMPARE(map->dataRange(), PlotRange(-2, 4));

    QStringList events;
    connect(map, &PlotColorMap::dataScaleTypeChanged, this, [&] { events << "type"; });
    connect(map, &PlotColorMap::dataRangeChanged, this,
            [&](const PlotRange &r) { events << QStringLiteral("range %1 %2").arg(r.lower).arg(r.upper); });
    map->setDataScaleType(PlotAxis::stLogarithmic);
    QCOMPARE(events, (QStringList{"type", "range 0.001 4"}));
  }

  void linkingBothWays()
  {
    GraphPlot p;
    auto *map = new PlotColorMap(p.plot.xAxis, p.plot.yAxis);
    p.plot.addPlottable(map);
    auto *scale = new PlotColorScale(&p.plot);
    scale->setGradient(PlotColorGradient(PlotColorGradient::gpHot));
    scale->setDataRange(PlotRange(1, 9));
    map->setColorScale(scale);
    QCOMPARE(map->gradient(), PlotColorGradient(PlotColorGradient::gpHot));
    QCOMPARE(map->dataRange(), PlotRange(1, 9));
    map->setDataRange(PlotRange(2, 3));
    QCOMPARE(scale->dataRange(), PlotRange(2, 3));
    scale->setDataRange(PlotRange(4, 5));
    QCOMPARE(map->dataRange(), PlotRange(4, 5));
    scale->axis()->setRange(6, 7);
    QCOMPARE(map->dataRange(), PlotRange(6, 7));
    map->setDataScaleType(PlotAxis::stLogarithmic);
    QCOMPARE(scale->dataScaleType(), PlotAxis::stLogarithmic);
    map->setGradient(PlotColorGradient(PlotColorGradient::gpJet));
    QCOMPARE(scale->gradient(), PlotColorGradient(PlotColorGradient::gpJet));
    // An empty range is the scale's alone: the map refuses it.
    scale->setDataRange(PlotRange(8, 8));
    QCOMPARE(scale->dataRange(), PlotRange(8, 8));
    QCOMPARE(map->dataRange(), PlotRange(6, 7));
    QCOMPARE(scale->colorMaps(), QList<PlotColorMap *>{map});
    delete scale;
    QCOMPARE(map->colorScale(), nullptr);
    map->setDataRange(PlotRange(1, 2));
    p.plot.replot();
  }
};
TOVRI_TEST(PlotColorMapTest)
#include "tst_colormap.moc"
