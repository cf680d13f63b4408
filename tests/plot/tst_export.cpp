#include "filesizelimit.h"
#include "graphfixture.h"
#include "itemfixture.h"
#include "plot.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

namespace {
// What the plot's layout and transforms say about where things are.
struct Geometry
{
  QRect viewport;
  QRect dataArea;
  double xPixel, yPixel;
  PlotAxis *axisAtLeft;

  bool operator==(const Geometry &o) const
  {
    return viewport == o.viewport && dataArea == o.dataArea && xPixel == o.xPixel && yPixel == o.yPixel &&
           axisAtLeft == o.axisAtLeft;
  }
};

Geometry geometryOf(ItemPlot &p)
{
  return {p.plot.viewport(), p.rect->rect(), p.plot.xAxis->coordToPixel(50), p.plot.yAxis->coordToPixel(25),
          p.plot.axisAt(QPointF(45, 100))};
}

// Dark pixels in one column of an image.
int darkPixelsInColumn(const QImage &image, int x)
{
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    if (qGray(image.pixel(x, y)) < 128)
      ++count;
  return count;
}

QByteArray readAll(const QString &fileName)
{
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class PlotExportTest : public QObject
{
  Q_OBJECT
private slots:
  void pixmapAtWidgetSizeIsTheScreenPicture()
  {
    ItemPlot p;
    // Export never draws from the label cache; the screen must not either.
    p.plot.setPlottingHint(Plot::hintCacheLabels, false);
    p.plot.replot();
    const QImage screen = p.plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage exported = p.plot.toPixmap(0, 0, 1.0).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(exported.size(), QSize(400, 300));
    QVERIFY(exported == screen);
    // A width without a height also means the widget's size.
    QCOMPARE(p.plot.toPixmap(100, 0, 2.0).size(), QSize(800, 600));
  }

  void scaledPixmapWidensHairlinesAndRestoresTheLayout_data()
  {
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("lineWidth");
    QTest::newRow("twice") << 2.0 << QSize(200, 100) << 2;
    QTest::newRow("unit") << 1.0 << QSize(100, 50) << 1;
    QTest::newRow("half stays one pixel") << 0.5 << QSize(50, 25) << 1;
  }
  void scaledPixmapWidensHairlinesAndRestoresTheLayout()
  {
    QFETCH(double, scale);
    QFETCH(QSize, size);
    QFETCH(int, lineWidth);
    ItemPlot p;
    for (PlotAxis *axis : p.rect->axes())
      axis->setVisible(false);
    PlotItemStraightLine *line = new PlotItemStraightLine(&p.plot);
    line->setClipToAxisRect(false);
    line->setPen(QPen(Qt::black, 0));
    line->setAntialiased(false);
    line->point1->setType(PlotItemPosition::ptPixelCoords);
    line->point2->setType(PlotItemPosition::ptPixelCoords);
    line->point1->setCoords(0, 25);
    line->point2->setCoords(10, 25);
    p.plot.replot();
    const Geometry before = geometryOf(p);

    const QPixmap pixmap = p.plot.toPixmap(100, 50, scale);
    QCOMPARE(pixmap.size(), size);
    QCOMPARE(darkPixelsInColumn(pixmap.toImage(), pixmap.width() / 2), lineWidth);
    // Laid out for the widget again: hit tests and transforms as before.
    QVERIFY(geometryOf(p) == before);
  }

  void toPainterNeedsAnActivePainter()
  {
    ItemPlot p;
    const Geometry before = geometryOf(p);
    PaintRecorder recorder(200, 100);
    {
      MessageLog log;
      PlotPainter inactive;
      p.plot.toPainter(&inactive, 200, 100);
      QVERIFY(log.contains(QStringLiteral("Passed painter is not active")));
    }
    PlotPainter painter(&recorder);
    p.plot.toPainter(&painter, 200, 100);
    painter.end();
    // The solid background is painted too: there is no pre-filled pixmap.
    const QList<PaintOp> rects = recorder.opsOfKind(PaintOp::Rect);
    QVERIFY(!rects.isEmpty());
    QCOMPARE(rects.first().rect, QRectF(0, 0, 200, 100));
    QVERIFY(geometryOf(p) == before);
  }

  void rasterFilesReloadAtSize_data()
  {
    QTest::addColumn<QString>("format");
    QTest::newRow("png") << QStringLiteral("png");
    QTest::newRow("jpg") << QStringLiteral("jpg");
    QTest::newRow("bmp") << QStringLiteral("bmp");
  }
  void rasterFilesReloadAtSize()
  {
    QFETCH(QString, format);
    ItemPlot p;
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("plot.") + format);
    bool ok = false;
    if (format == QLatin1String("png"))
      ok = p.plot.savePng(name, 160, 90, 1.5);
    else if (format == QLatin1String("jpg"))
      ok = p.plot.saveJpg(name, 160, 90, 1.5, 80);
    else
      ok = p.plot.saveBmp(name, 160, 90, 1.5);
    QVERIFY(ok);
    QImage reloaded(name);
    QCOMPARE(reloaded.size(), QSize(240, 135));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("plot.") + format}));
  }

  void pdfIsWholeAtThePageSize()
  {
    ItemPlot p;
    const Geometry before = geometryOf(p);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("plot.pdf"));
    QVERIFY(p.plot.savePdf(name, false, 300, 200, QStringLiteral("tovri"), QStringLiteral("Capture")));
    const QByteArray pdf = readAll(name);
    QVERIFY(pdf.startsWith("%PDF-"));
    QVERIFY(pdf.trimmed().endsWith("%%EOF"));
    // One page of 300 x 200 points.
    const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[0 0 300(\\.0+)? 200(\\.0+)?\\]"));
    QCOMPARE(QString::fromLatin1(pdf).count(mediaBox), 1);
    QVERIFY(geometryOf(p) == before);
  }

  // Under a file-size limit the write comes up short: the save fails and the
  // earlier file is what it was.
  void shortWriteFailsAndKeepsTheEarlierFile_data()
  {
    QTest::addColumn<bool>("pdf");
    QTest::newRow("png") << false;
    QTest::newRow("pdf") << true;
  }
  void shortWriteFailsAndKeepsTheEarlierFile()
  {
    QFETCH(bool, pdf);
    ItemPlot p;
    QTemporaryDir dir;
    const QString name = dir.filePath(pdf ? QStringLiteral("plot.pdf") : QStringLiteral("plot.png"));
    const QByteArray earlier("an earlier export");
    {
      QFile file(name);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(earlier);
    }
    MessageLog log;
    bool ok = false;
    {
      FileSizeLimit limit(512);
      ok = pdf ? p.plot.savePdf(name, false, 400, 300) : p.plot.savePng(name, 400, 300);
    }
    QVERIFY(!ok);
    QCOMPARE(readAll(name), earlier);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    // Without the limit the same export goes through.
    QVERIFY(pdf ? p.plot.savePdf(name, false, 400, 300) : p.plot.savePng(name, 400, 300));
    QVERIFY(readAll(name).size() > 512);
  }

  void badSizesAndScales_data()
  {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("scale");
    QTest::newRow("negative width") << -10 << 50 << 1.0;
    QTest::newRow("negative height") << 10 << -1 << 1.0;
    QTest::newRow("zero scale") << 100 << 50 << 0.0;
    QTest::newRow("negative scale") << 100 << 50 << -2.0;
    QTest::newRow("nan scale") << 100 << 50 << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinite scale") << 100 << 50 << std::numeric_limits<double>::infinity();
    QTest::newRow("beyond int") << 30000 << 30000 << 1e6;
    QTest::newRow("cannot be allocated") << 100000 << 100000 << 1.0;
    QTest::newRow("scaled to nothing") << 10 << 10 << 1e-3;
  }
  void badSizesAndScales()
  {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, scale);
    ItemPlot p;
    const Geometry before = geometryOf(p);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("plot.png"));
    MessageLog log;
    QVERIFY(p.plot.toPixmap(width, height, scale).isNull());
    QVERIFY(!p.plot.savePng(name, width, height, scale));
    QVERIFY(!log.lines.isEmpty());
    QVERIFY(!QFile::exists(name));
    if (width < 0 || height < 0)
      QVERIFY(!p.plot.savePdf(dir.filePath(QStringLiteral("plot.pdf")), false, width, height));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("plot.pdf"))));
    QVERIFY(geometryOf(p) == before);
  }
};
TOVRI_TEST(PlotExportTest)

#include "tst_export.moc"
