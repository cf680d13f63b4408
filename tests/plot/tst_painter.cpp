#include "plot.h"
#include "testmain.h"

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QTest>

namespace {
// Records the lines it is asked to draw, untransformed, so the painter's
// rounding can be checked exactly.
class RecordingEngine : public QPaintEngine
{
public:
  RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  bool begin(QPaintDevice *) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState &) override {}
  void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
  void drawLines(const QLineF *lines, int lineCount) override
  {
    for (int i = 0; i < lineCount; ++i)
      recorded.append(lines[i]);
  }
  void drawLines(const QLine *lines, int lineCount) override
  {
    for (int i = 0; i < lineCount; ++i)
      recorded.append(QLineF(lines[i]));
  }
  Type type() const override { return QPaintEngine::User; }
  QList<QLineF> recorded;
};

class RecordingDevice : public QPaintDevice
{
public:
  QPaintEngine *paintEngine() const override { return &engine; }
  mutable RecordingEngine engine;

protected:
  int metric(PaintDeviceMetric m) const override
  {
    switch (m) {
    case PdmWidth:
    case PdmHeight: return 100;
    case PdmWidthMM:
    case PdmHeightMM: return 35;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return 72;
    case PdmDepth: return 32;
    case PdmNumColors: return 0;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
    default: return 0;
    }
  }
};
} // namespace

class PlotPainterTest : public QObject
{
  Q_OBJECT
private slots:
  void modes()
  {
    PlotPainter painter;
    QCOMPARE(painter.modes(), PlotPainter::PainterModes(PlotPainter::pmDefault));
    QVERIFY(!painter.antialiasing());
    painter.setMode(PlotPainter::pmVectorized);
    painter.setMode(PlotPainter::pmNonCosmetic, true);
    QCOMPARE(int(painter.modes()), PlotPainter::pmVectorized | PlotPainter::pmNonCosmetic);
    // pmDefault is the empty set: neither setting nor clearing it changes anything.
    painter.setMode(PlotPainter::pmDefault, false);
    QCOMPARE(int(painter.modes()), PlotPainter::pmVectorized | PlotPainter::pmNonCosmetic);
    painter.setMode(PlotPainter::pmDefault, true);
    QCOMPARE(int(painter.modes()), PlotPainter::pmVectorized | PlotPainter::pmNonCosmetic);
    painter.setMode(PlotPainter::pmVectorized, false);
    QCOMPARE(painter.modes(), PlotPainter::PainterModes(PlotPainter::pmNonCosmetic));
    painter.setModes(PlotPainter::pmNoCaching);
    QCOMPARE(painter.modes(), PlotPainter::PainterModes(PlotPainter::pmNoCaching));
  }

  void antialiasingShiftsHalfPixelOnce()
  {
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    PlotPainter painter(&image);
    QCOMPARE(painter.transform().dx(), 0.0);
    painter.setAntialiasing(true);
    QVERIFY(painter.antialiasing());
    QVERIFY(painter.testRenderHint(QPainter::Antialiasing));
    QCOMPARE(painter.transform().dx(), 0.5);
    QCOMPARE(painter.transform().dy(), 0.5);
    painter.setAntialiasing(true);
    QCOMPARE(painter.transform().dx(), 0.5);
    painter.setAntialiasing(false);
    QVERIFY(!painter.testRenderHint(QPainter::Antialiasing));
    QCOMPARE(painter.transform().dx(), 0.0);
    QCOMPARE(painter.transform().dy(), 0.0);
  }

  void vectorizedNeverShifts()
  {
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    PlotPainter painter(&image);
    painter.setMode(PlotPainter::pmVectorized);
    painter.setAntialiasing(true);
    QVERIFY(painter.testRenderHint(QPainter::Antialiasing));
    QCOMPARE(painter.transform().dx(), 0.0);
    painter.setAntialiasing(false);
    QCOMPARE(painter.transform().dx(), 0.0);
  }

  void saveRestoreKeepsAntialiasingFlag()
  {
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    PlotPainter painter(&image);
    painter.save();
    painter.setAntialiasing(true);
    QCOMPARE(painter.transform().dx(), 0.5);
    painter.restore();
    QVERIFY(!painter.antialiasing());
    QCOMPARE(painter.transform().dx(), 0.0);
    // The next switch on shifts again, exactly once.
    painter.setAntialiasing(true);
    QCOMPARE(painter.transform().dx(), 0.5);
  }

  void unbalancedRestoreIsReported()
  {
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    PlotPainter painter(&image);
    QTest::ignoreMessage(QtDebugMsg, "void PlotPainter::restore() Unbalanced save/restore");
    QTest::ignoreMessage(QtWarningMsg, "QPainter::restore: Unbalanced save/restore");
    painter.restore();
    QVERIFY(!painter.antialiasing());
  }

  void linesRoundedWithoutAntialiasing()
  {
    RecordingDevice device;
    PlotPainter painter(&device);
    QVERIFY(painter.isActive());
    painter.drawLine(QLineF(0.4, 0.5, 10.5, -0.5));
    painter.setMode(PlotPainter::pmVectorized);
    painter.drawLine(QLineF(0.4, 0.5, 10.5, -0.5));
    painter.setModes(PlotPainter::pmDefault);
    painter.setAntialiasing(true);
    painter.drawLine(QPointF(1.25, 2.75), QPointF(3.5, 4.5));
    painter.end();
    const QList<QLineF> &lines = device.engine.recorded;
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QLineF(0, 1, 11, -1));
    QCOMPARE(lines.at(1), QLineF(0.4, 0.5, 10.5, -0.5));
    QCOMPARE(lines.at(2), QLineF(1.25, 2.75, 3.5, 4.5));
  }

  void hugeCoordinatesDoNotOverflowRounding()
  {
    RecordingDevice device;
    PlotPainter painter(&device);
    painter.drawLine(QLineF(-1e30, 0.4, 1e30, 0.6));
    painter.end();
    QCOMPARE(device.engine.recorded.size(), 1);
    QCOMPARE(device.engine.recorded.at(0).x2(), 1e30);
    QCOMPARE(device.engine.recorded.at(0).y2(), 1.0);
  }

  void nonCosmeticPens()
  {
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    PlotPainter painter(&image);
    painter.setPen(QPen(Qt::red, 0));
    QCOMPARE(painter.pen().widthF(), 0.0);
    painter.setMode(PlotPainter::pmNonCosmetic);
    painter.setPen(QPen(Qt::red, 0));
    QCOMPARE(painter.pen().widthF(), 1.0);
    QCOMPARE(painter.pen().color(), QColor(Qt::red));
    painter.setPen(QColor(Qt::green));
    QCOMPARE(painter.pen().widthF(), 1.0);
    painter.setPen(QPen(Qt::blue, 2));
    QCOMPARE(painter.pen().widthF(), 2.0);
    painter.setPen(Qt::DashLine);
    QCOMPARE(painter.pen().widthF(), 1.0);
    QCOMPARE(painter.pen().style(), Qt::DashLine);
  }
};

TOVRI_TEST(PlotPainterTest)
#include "tst_painter.moc"
