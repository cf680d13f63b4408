#include "axisaccess.h"
#include "paintrecorder.h"
#include "plot.h"
#include "snapshot.h"
#include "testmain.h"

#include <QFontMetrics>
#include <QImage>
#include <QTest>
#include <cmath>
#include <memory>

// Painting of one axis: base line, ticks, endings, tick labels with their
// cache, the second label row, the axis label, margins and selection boxes.
class PlotAxisPainterTest : public QObject
{
  Q_OBJECT

  std::unique_ptr<PlotWidget> mPlot;
  std::unique_ptr<PlotAxisPainterPrivate> mPainter;
  PaintRecorder mRecorder{400, 300};

  // Data area: left 50, top 20, 200 x 100 (right 249, bottom 119).
  void setUpPainter(PlotAxis::AxisType type)
  {
    mPainter = std::make_unique<PlotAxisPainterPrivate>(mPlot.get());
    mPainter->type = type;
    mPainter->axisRect = QRect(50, 20, 200, 100);
    mPainter->viewportRect = QRect(0, 0, 400, 300);
    mPainter->basePen = QPen(Qt::red, 0);
    mPainter->tickPen = QPen(Qt::green, 0);
    mPainter->subTickPen = QPen(Qt::blue, 0);
    mPainter->tickLabelColor = Qt::black;
    mPainter->labelColor = Qt::black;
  }
  // Paints without pixel rounding; with caching off the texts reach the recorder.
  void paint(bool caching = false)
  {
    mRecorder.clear();
    PlotPainter painter(&mRecorder);
    painter.setModes(caching ? PlotPainter::pmVectorized : (PlotPainter::pmVectorized | PlotPainter::pmNoCaching));
    mPainter->draw(&painter);
  }
  QList<PaintOp> lines() const { return mRecorder.opsOfKind(PaintOp::Line); }
  static QList<QPointF> points(const PaintOp &op) { return op.points; }

  // Width of a tick label as the painter measures it (its font is raised by 0.05 pt).
  static int labelWidth(QFont font, const QString &text)
  {
    if (font.pointSizeF() > 0)
      font.setPointSizeF(font.pointSizeF() + 0.05);
    return QFontMetrics(font).boundingRect(0, 0, 0, 0, Qt::TextDontClip | Qt::AlignHCenter, text).width();
  }

private slots:
  void init()
  {
    mPlot = std::make_unique<PlotWidget>();
    mPlot->resize(400, 300);
  }
  void cleanup()
  {
    mPainter.reset();
    mPlot.reset();
  }

  void linesPerSide_data()
  {
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<QPointF>>("baseLine");
    QTest::addColumn<QList<QPointF>>("firstTick");
    QTest::addColumn<QList<QPointF>>("subTick");
    // Offset 3, tick lengths 5 in and 2 out, sub-ticks 2 in and 1 out; ticks at 60, sub-tick at 80.
    QTest::newRow("bottom") << int(PlotAxis::atBottom) << QList<QPointF>{{50, 122}, {250, 122}}
                            << QList<QPointF>{{60, 124}, {60, 117}} << QList<QPointF>{{80, 123}, {80, 120}};
    QTest::newRow("top") << int(PlotAxis::atTop) << QList<QPointF>{{50, 16}, {250, 16}}
                         << QList<QPointF>{{60, 14}, {60, 21}} << QList<QPointF>{{80, 15}, {80, 18}};
    QTest::newRow("left") << int(PlotAxis::atLeft) << QList<QPointF>{{47, 119}, {47, 19}}
                          << QList<QPointF>{{45, 60}, {52, 60}} << QList<QPointF>{{46, 80}, {49, 80}};
    QTest::newRow("right") << int(PlotAxis::atRight) << QList<QPointF>{{253, 119}, {253, 19}}
                           << QList<QPointF>{{255, 60}, {248, 60}} << QList<QPointF>{{254, 80}, {251, 80}};
  }
  void linesPerSide()
  {
    QFETCH(int, type);
    QFETCH(QList<QPointF>, baseLine);
    QFETCH(QList<QPointF>, firstTick);
    QFETCH(QList<QPointF>, subTick);
    setUpPainter(PlotAxis::AxisType(type));
    mPainter->offset = 3;
    mPainter->tickLengthIn = 5;
    mPainter->tickLengthOut = 2;
    mPainter->subTickLengthIn = 2;
    mPainter->subTickLengthOut = 1;
    mPainter->tickPositions = {60, 100};
    mPainter->subTickPositions = {80};
    paint();
    const QList<PaintOp> drawn = lines();
    QCOMPARE(drawn.size(), 4);
    QCOMPARE(drawn[0].points, baseLine);
    QCOMPARE(drawn[0].pen.color(), QColor(Qt::red));
    QCOMPARE(drawn[1].points, firstTick);
    QCOMPARE(drawn[1].pen.color(), QColor(Qt::green));
    QCOMPARE(drawn[3].points, subTick);
    QCOMPARE(drawn[3].pen.color(), QColor(Qt::blue));

    mPainter->reversedEndings = true;
    paint();
    QCOMPARE(lines()[0].points, (QList<QPointF>{baseLine[1], baseLine[0]}));
  }

  void endingsSitBeyondTheBaseLine()
  {
    setUpPainter(PlotAxis::atBottom);
    mPainter->upperEnding = PlotLineEnding(PlotLineEnding::esFlatArrow, 8, 10);
    mPainter->lowerEnding = PlotLineEnding(PlotLineEnding::esSquare, 6, 10);
    paint();
    const QList<PaintOp> polygons = mRecorder.opsOfKind(PaintOp::Polygon);
    QCOMPARE(polygons.size(), 2);
    // Lower end (50, 119), moved outward by half the square's width; pointing left.
    QCOMPARE(polygons[0].points.size(), 4);
    QPointF sum;
    for (const QPointF &p : polygons[0].points)
      sum += p;
    QCOMPARE(sum / 4, QPointF(47, 119));
    // Upper end (250, 119): the arrow's tip lies its length beyond the line's end.
    QCOMPARE(polygons[1].points.first(), QPointF(260, 119));
    QCOMPARE(polygons[1].brush.color(), QColor(Qt::red));
    QVERIFY(polygons[1].antialiased);
  }

  void tickLabelsOutside()
  {
    setUpPainter(PlotAxis::atBottom);
    mPainter->tickLengthOut = 2;
    mPainter->tickLabelPadding = 3;
    mPainter->tickPositions = {60, 150, 240};
    mPainter->tickLabels = {"1", "22", "333"};
    paint();
    QCOMPARE(mRecorder.texts(), (QStringList{"1", "22", "333"}));
    const QList<PaintOp> texts = mRecorder.opsOfKind(PaintOp::Text);
    const QFontMetrics metrics(mPainter->tickLabelFont);
    for (int i = 0; i < 3; ++i) {
      // Centred on the tick, hanging below the axis at tick length + padding.
      const double centre = texts[i].points[0].x() + metrics.horizontalAdvance(texts[i].text) / 2.0;
      QVERIFY2(std::fabs(centre - mPainter->tickPositions[i]) <= 2, qPrintable(QString::number(centre)));
      QVERIFY(texts[i].points[0].y() > 119 + 5);
    }
    // Margin: tick length out, padding, label height; no axis label.
    const int labelHeight = QFontMetrics(mPainter->tickLabelFont).height();
    QVERIFY(std::abs(mPainter->size() - (2 + 3 + labelHeight)) <= 1);
  }

  void labelsCutByTheViewportAreSkipped()
  {
    setUpPainter(PlotAxis::atBottom);
    mPainter->viewportRect = QRect(0, 0, 245, 300);
    mPainter->tickPositions = {150, 244};
    mPainter->tickLabels = {"150", "244"};
    paint();
    QCOMPARE(mRecorder.texts(), QStringList{"150"});
    paint(true);
    QCOMPARE(mRecorder.opsOfKind(PaintOp::Pixmap).size(), 1);
  }

  void labelsInsideAreClippedAndFree()
  {
    setUpPainter(PlotAxis::atLeft);
    mPainter->tickLabelSide = PlotAxis::lsInside;
    mPainter->tickPositions = {60, 100};
    mPainter->tickLabels = {"6", "10"};
    const int withoutLabels = [this] {
      mPainter->tickLabels.clear();
      return mPainter->size();
    }();
    mPainter->tickLabels = {"6", "10"};
    QCOMPARE(mPainter->size(), withoutLabels);
    paint();
    const QList<PaintOp> texts = mRecorder.opsOfKind(PaintOp::Text);
    QCOMPARE(texts.size(), 2);
    for (const PaintOp &op : texts) {
      QVERIFY(op.clipped);
      QCOMPARE(op.clipRect, QRectF(50, 20, 200, 100));
      QVERIFY(op.points[0].x() > 50); // inside the rectangle, right of its left edge
    }
  }

  void exponentsAsPowersOfTen()
  {
    setUpPainter(PlotAxis::atLeft);
    mPainter->tickPositions = {60, 80, 100};
    mPainter->tickLabels = {"1e-05", "2.5e+06", "1e+12"};
    paint();
    QCOMPARE(mRecorder.texts(), (QStringList{QStringLiteral("1\u00B710"), "-5", QStringLiteral("2.5\u00B710"), "6",
                                             QStringLiteral("1\u00B710"), "12"}));
    // Logarithmic axes drop the mantissa 1; the cross replaces the dot on request.
    mPainter->abbreviateDecimalPowers = true;
    mPainter->numberMultiplyCross = true;
    paint();
    QCOMPARE(mRecorder.texts(),
             (QStringList{"10", "-5", QStringLiteral("2.5\u00D710"), "6", "10", "12"}));
    mPainter->substituteExponent = false;
    paint();
    QCOMPARE(mRecorder.texts(), (QStringList{"1e-05", "2.5e+06", "1e+12"}));
  }

  void labelCache()
  {
    setUpPainter(PlotAxis::atBottom);
    mPainter->tickPositions = {60, 150};
    mPainter->tickLabels = {"12", "34"};
    paint(true);
    QList<PaintOp> pixmaps = mRecorder.opsOfKind(PaintOp::Pixmap);
    QCOMPARE(pixmaps.size(), 2);
    QVERIFY(mRecorder.texts().isEmpty());
    const QSize smallSize = pixmaps[0].pixmapSize;
    // Cached pixmaps show the whole text, centred on the tick like the direct path.
    QVERIFY(std::fabs(pixmaps[0].rect.center().x() - 60) <= 1.5);
    QCOMPARE(pixmaps[0].rect.top(), 119.0);
    QVERIFY(smallSize.width() >= labelWidth(mPainter->tickLabelFont, "12") - 1);

    // A change of a hashed parameter (the font) renews the cached pictures.
    QFont big = mPainter->tickLabelFont;
    big.setPointSizeF(big.pointSizeF() * 3);
    mPainter->tickLabelFont = big;
    paint(true);
    pixmaps = mRecorder.opsOfKind(PaintOp::Pixmap);
    QVERIFY(pixmaps[0].pixmapSize.height() > smallSize.height() * 2);

    // Without the plot's caching hint the texts are drawn directly.
    mPlot->setPlottingHint(Plot::hintCacheLabels, false);
    paint(true);
    QCOMPARE(mRecorder.texts(), (QStringList{"12", "34"}));
  }

  // Cached pictures and direct drawing put the same ink in the same place.
  void cachedLabelsLookLikeDirectOnes_data()
  {
    QTest::addColumn<int>("type");
    QTest::addColumn<double>("rotation");
    QTest::newRow("bottom") << int(PlotAxis::atBottom) << 0.0;
    QTest::newRow("left") << int(PlotAxis::atLeft) << 0.0;
    QTest::newRow("left rotated") << int(PlotAxis::atLeft) << -90.0;
    QTest::newRow("top rotated") << int(PlotAxis::atTop) << 30.0;
    QTest::newRow("right rotated") << int(PlotAxis::atRight) << 45.0;
  }
  void cachedLabelsLookLikeDirectOnes()
  {
    QFETCH(int, type);
    QFETCH(double, rotation);
    setUpPainter(PlotAxis::AxisType(type));
    mPainter->tickLabelRotation = rotation;
    mPainter->tickLabelPadding = 4;
    mPainter->tickPositions = {80, 110};
    mPainter->tickLabels = {"1234.5", "77"};
    auto render = [this](bool caching) {
      QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::white);
      PlotPainter painter(&image);
      if (!caching)
        painter.setModes(PlotPainter::pmNoCaching);
      mPainter->draw(&painter);
      painter.end();
      // Ink outside the data area and off the base line: the labels.
      QRect box;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (qGray(image.pixel(x, y)) < 128 && !QRect(48, 18, 204, 104).contains(x, y))
            box |= QRect(x, y, 1, 1);
      return box;
    };
    const QRect direct = render(false);
    const QRect cached = render(true);
    QVERIFY(direct.width() > 5);
    QVERIFY2(std::abs(direct.left() - cached.left()) <= 1 && std::abs(direct.right() - cached.right()) <= 1 &&
                 std::abs(direct.top() - cached.top()) <= 1 && std::abs(direct.bottom() - cached.bottom()) <= 1,
             qPrintable(QStringLiteral("direct (%1,%2 %3x%4), cached (%5,%6 %7x%8)")
                            .arg(direct.x())
                            .arg(direct.y())
                            .arg(direct.width())
                            .arg(direct.height())
                            .arg(cached.x())
                            .arg(cached.y())
                            .arg(cached.width())
                            .arg(cached.height())));
  }

  void secondRowThinsTheFirstRow()
  {
    setUpPainter(PlotAxis::atBottom);
    const int w = labelWidth(mPainter->tickLabelFont, "8888");
    QVERIFY(w > 10);
    // Like ticks at 10, 30, 50, 70 with labels 30 pixels wide: drawn at 10 and 50 only.
    mPainter->tickPositions = {60, 60 + 0.67 * w, 60 + 1.33 * w, 60 + 2.0 * w};
    mPainter->tickLabels = {"8888", "8888", "8888", "8888"};
    mPainter->secondRowEnabled = true;
    paint();
    const QList<PaintOp> texts = mRecorder.opsOfKind(PaintOp::Text);
    QCOMPARE(texts.size(), 2);
    QVERIFY(std::fabs(texts[0].points[0].x() + w / 2.0 - mPainter->tickPositions[0]) <= 2);
    QVERIFY(std::fabs(texts[1].points[0].x() + w / 2.0 - mPainter->tickPositions[2]) <= 2);

    mPainter->secondRowEnabled = false;
    paint();
    QCOMPARE(mRecorder.opsOfKind(PaintOp::Text).size(), 4);
  }

  void secondRow()
  {
    setUpPainter(PlotAxis::atBottom);
    QFont rowFont = mPainter->tickLabelFont;
    rowFont.setPointSizeF(rowFont.pointSizeF() * 2);
    mPainter->labelFont = rowFont;
    const int w = labelWidth(mPainter->tickLabelFont, "5");
    // The first tick lies within one label width of the rectangle's left edge.
    mPainter->tickPositions = {50.0 + w / 2.0, 120, 200};
    mPainter->tickLabels = {"", "5", ""};
    mPainter->secondRowEnabled = true;
    mPainter->secondRowLabels = {{-1, "start"}, {0, "near edge"}, {2, "day two"}, {7, "no such tick"}};
    paint();
    const QList<PaintOp> texts = mRecorder.opsOfKind(PaintOp::Text);
    QCOMPARE(mRecorder.texts(), (QStringList{"5", "start", "day two"}));
    // The key -1 text is centred on the left edge, one row further out, in the label font.
    const double startCentre = texts[1].points[0].x() + QFontMetrics(rowFont).horizontalAdvance("start") / 2.0;
    QVERIFY2(std::fabs(startCentre - 50) <= 3, qPrintable(QString::number(startCentre)));
    QVERIFY(texts[1].points[0].y() > texts[0].points[0].y());
    QCOMPARE(texts[1].font.pointSizeF(), rowFont.pointSizeF() + 0.05);
    QVERIFY(std::fabs(texts[2].points[0].x() + QFontMetrics(rowFont).horizontalAdvance("day two") / 2.0 - 200) <= 3);
  }

  void secondRowReusesCachedPixmaps()
  {
    setUpPainter(PlotAxis::atBottom);
    QFont rowFont = mPainter->tickLabelFont;
    rowFont.setPointSizeF(rowFont.pointSizeF() * 3);
    mPainter->labelFont = rowFont;
    mPainter->tickPositions = {60, 120, 200};
    mPainter->tickLabels = {"7", "", ""};
    mPainter->secondRowEnabled = true;
    mPainter->secondRowLabels = {{2, "7"}};
    paint(true);
    const QList<PaintOp> pixmaps = mRecorder.opsOfKind(PaintOp::Pixmap);
    QCOMPARE(pixmaps.size(), 2);
    // Cached by text: the second row shows the picture made for the tick label.
    QCOMPARE(pixmaps[1].pixmapSize, pixmaps[0].pixmapSize);
  }

  void margins()
  {
    setUpPainter(PlotAxis::atBottom);
    mPainter->tickPositions = {60};
    mPainter->tickLabels = {"1"};
    mPainter->labelPadding = 4;
    const int plain = mPainter->size();
    const int line = QFontMetrics(mPainter->labelFont).boundingRect(0, 0, 0, 0, Qt::TextDontClip | Qt::AlignCenter,
                                                                    "label").height();
    mPainter->label = "Time";
    QCOMPARE(mPainter->size(), plain + line + 4);
    // The second row takes the label's place, also without a label.
    mPainter->secondRowEnabled = true;
    QCOMPARE(mPainter->size(), plain + line + 4);
    mPainter->label.clear();
    QCOMPARE(mPainter->size(), plain + line + 4);
    mPainter->tickLabels.clear();
    mPainter->tickPositions.clear();
    mPainter->secondRowEnabled = false;
    QCOMPARE(mPainter->size(), 0);
  }

  void axisLabelsReadUpwardOnBothSides()
  {
    for (PlotAxis::AxisType type : {PlotAxis::atLeft, PlotAxis::atRight}) {
      setUpPainter(type);
      mPainter->label = "Voltage";
      paint();
      const QList<PaintOp> texts = mRecorder.opsOfKind(PaintOp::Text);
      QCOMPARE(texts.size(), 1);
      QVERIFY(std::fabs(texts[0].transform.m11()) < 1e-9);
      QCOMPARE(texts[0].transform.m12(), -1.0);
      QCOMPARE(texts[0].transform.m21(), 1.0);
    }
  }

  void drawsWithoutPlot()
  {
    PlotAxisPainterPrivate painter(nullptr);
    painter.type = PlotAxis::atBottom;
    painter.axisRect = QRect(0, 0, 50, 50);
    painter.tickPositions = {10};
    painter.tickLabels = {"1"};
    painter.viewportRect = QRect(0, 0, 100, 100);
    QTest::ignoreMessage(QtDebugMsg, "virtual void PlotAxisPainterPrivate::draw(PlotPainter*) mParentPlot is null");
    mRecorder.clear();
    PlotPainter p(&mRecorder);
    painter.draw(&p);
    QCOMPARE(mRecorder.texts(), QStringList{"1"}); // no plot, no caching
  }

  // --- Through the axis and the plot widget ----------------------------------

  void selectionBoxesAfterReplot()
  {
    PlotAxis *axis = mPlot->xAxis;
    axis->setLabel("Time");
    mPlot->replot();
    const QRect r = mPlot->axisRect()->rect();
    const int x = r.center().x();
    QCOMPARE(axis->getPartAt(QPointF(x, r.bottom() + 2)), PlotAxis::spAxis);
    QCOMPARE(axis->getPartAt(QPointF(x, r.bottom() - 7)), PlotAxis::spAxis); // within the tolerance inside
    QCOMPARE(axis->getPartAt(QPointF(x, r.bottom() + 12)), PlotAxis::spTickLabels);
    const int labelY = mPlot->viewport().bottom() - axis->padding() - 2;
    QCOMPARE(axis->getPartAt(QPointF(x, labelY)), PlotAxis::spAxisLabel);
    QCOMPARE(axis->getPartAt(QPointF(x, r.top() + 20)), PlotAxis::spNone);
    QVERIFY(axis->plotableRect().contains(QPoint(x, r.bottom() + 12)));
    QVERIFY(axis->plotableRect().contains(QPoint(x, labelY)));

    QVariant details;
    QCOMPARE(axis->selectTest(QPointF(x, r.bottom() + 12), false, &details), 8 * 0.99);
    QCOMPARE(details.value<PlotAxis::SelectablePart>(), PlotAxis::spTickLabels);
    axis->setSelectableParts(PlotAxis::spAxis);
    QCOMPARE(axis->selectTest(QPointF(x, r.bottom() + 12), true, &details), -1.0);
    axis->setVisible(false);
    QCOMPARE(axis->getPartAt(QPointF(x, r.bottom() + 2)), PlotAxis::spNone);
  }

  void marginFollowsLabelSize()
  {
    PlotAxis *axis = mPlot->xAxis;
    mPlot->replot();
    const int bottomSmall = mPlot->axisRect()->rect().bottom();
    QFont big = axis->tickLabelFont();
    big.setPointSizeF(big.pointSizeF() * 3);
    axis->setTickLabelFont(big);
    mPlot->replot();
    const int bottomBig = mPlot->axisRect()->rect().bottom();
    const int grown = QFontMetrics(big).height() - QFontMetrics(mPlot->font()).height();
    QVERIFY2(std::abs((bottomSmall - bottomBig) - grown) <= 2,
             qPrintable(QStringLiteral("%1 -> %2").arg(bottomSmall).arg(bottomBig)));

    axis->setLabel("Time [s]");
    mPlot->replot();
    QVERIFY(mPlot->axisRect()->rect().bottom() < bottomBig - axis->labelPadding());

    // The left axis gets wider with longer labels.
    PlotAxis *left = mPlot->yAxis;
    const int leftBefore = mPlot->axisRect()->rect().left();
    left->setRange(0.0, 5e5); // labels such as 400 after the unit division
    left->setRangeMax(1e12);
    left->setRange(0.0, 9e11);
    mPlot->replot();
    QVERIFY(mPlot->axisRect()->rect().left() > leftBefore);
  }

  void secondRowThroughTheAxis()
  {
    PlotAxis *axis = mPlot->xAxis;
    axis->setAutoTicks(false);
    axis->setAutoTickLabels(false);
    // Like the application, the second row is written afresh before every drawing.
    connect(axis, &PlotAxis::ticksRequest, this, [axis] {
      axis->setTickVector({0, 1, 2, 3, 4});
      axis->setTickVectorLabels({"x", "", "mid", "", ""});
      axis->secondRowLabels = {{-1, "start"}, {1, "first"}, {3, "third"}, {2, "hidden by a label"}};
    });
    axis->setRange(0.5, 3.5);
    const int marginWithout = axis->calculateMargin();
    axis->secondRowEnabled = true;
    // The row's height is reserved from the first layout on, before any paint.
    const int marginBefore = axis->calculateMargin();
    QVERIFY(marginBefore >= marginWithout + QFontMetrics(axis->labelFont()).height());
    mPlot->replot();
    // The application keys by tick index; the drawn map is keyed by painter index.
    QCOMPARE(axis->secondRowLabels, (QMap<int, QString>{{-1, "start"}, {0, "first"}, {2, "third"}}));
    // Painting does not move the layout afterwards.
    mPlot->replot();
    QCOMPARE(axis->calculateMargin(), marginBefore);
    QCOMPARE(mPlot->axisRect()->margins().bottom(), marginBefore);
    // Switching the row off gives its height back.
    axis->secondRowEnabled = false;
    QCOMPARE(axis->calculateMargin(), marginWithout);
    axis->secondRowEnabled = true;
    saveSnapshot(mPlot.get(), "axis-second-row");
  }

  void receiversMayShortenTheLabels()
  {
    PlotAxis *axis = mPlot->xAxis;
    connect(axis, &PlotAxis::axisUnitChanged, this,
            [](PlotAxis *, int, QList<double> &, QList<QString> &labels) { labels.resize(1); });
    axis->setRange(0.0, 10.0);
    mPlot->replot();
    QCOMPARE(axis->tickVectorLabels().size(), 1);
    QVERIFY(axis->calculateMargin() > 0);
  }

  void renderedAxes()
  {
    mPlot->resize(600, 400);
    mPlot->xAxis->setLabel("Time, s");
    mPlot->yAxis->setLabel("#0: current, mA");
    mPlot->yAxis->setTickLabelRotation(-90);
    mPlot->yAxis->setRange(0.0, 25000.0);
    mPlot->yAxis2->setVisible(true);
    mPlot->yAxis2->setLabel("#2: voltage, V");
    mPlot->xAxis2->setVisible(true);
    mPlot->xAxis2->setScaleType(PlotAxis::stLogarithmic);
    mPlot->xAxis2->setRange(1.0, 1e6);
    PlotAxis *stacked = mPlot->axisRect()->addAxis(PlotAxis::atRight);
    stacked->setLabel("#1: voltage, V");
    stacked->setUpperEnding(PlotLineEnding(PlotLineEnding::esSpikeArrow));
    mPlot->replot();
    QVERIFY(stacked->offset() > 0);
    saveSnapshot(mPlot.get(), "axis-sides");
  }
};

TOVRI_TEST(PlotAxisPainterTest)
#include "tst_axispainter.moc"
