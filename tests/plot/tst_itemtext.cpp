#include "itemfixture.h"
#include "paintrecorder.h"
#include "plot.h"
#include "testmain.h"

#include <QFontMetrics>
#include <QTest>
#include <cmath>

namespace {
class TextProbe : public PlotItemText
{
public:
  using PlotItemText::anchorPixelPoint;
  using PlotItemText::draw;
  using PlotItemText::PlotItemText;
};

// Size of the text box the item builds for a font: the text's bounding
// rectangle grown by the padding.
QSize boxSize(const PlotItemText &item, const QFont &font)
{
  const QRect r = QFontMetrics(font).boundingRect(0, 0, 0, 0, Qt::TextDontClip | item.textAlignment(), item.text());
  const QMargins pad = item.padding();
  return QSize(r.width() + pad.left() + pad.right(), r.height() + pad.top() + pad.bottom());
}

bool near(const QPointF &a, const QPointF &b, double eps = 1e-6)
{
  return qAbs(a.x() - b.x()) <= eps && qAbs(a.y() - b.y()) <= eps;
}

QList<PaintOp> drawOn(PaintRecorder &recorder, TextProbe *item)
{
  recorder.clear();
  PlotPainter painter(&recorder);
  item->draw(&painter);
  painter.end();
  return recorder.ops();
}
} // namespace

Q_DECLARE_METATYPE(Qt::Alignment)

class PlotItemTextTest : public QObject
{
  Q_OBJECT
private slots:
  void defaults()
  {
    ItemPlot p;
    PlotItemText *item = new PlotItemText(&p.plot);
    QCOMPARE(item->text(), QStringLiteral("text"));
    QCOMPARE(item->color(), QColor(Qt::black));
    QCOMPARE(item->selectedColor(), QColor(Qt::blue));
    QCOMPARE(item->pen().style(), Qt::NoPen);
    QCOMPARE(item->selectedPen().style(), Qt::NoPen);
    QCOMPARE(item->brush().style(), Qt::NoBrush);
    QCOMPARE(item->selectedBrush().style(), Qt::NoBrush);
    QCOMPARE(item->positionAlignment(), Qt::AlignCenter);
    QCOMPARE(item->textAlignment(), Qt::AlignTop | Qt::AlignHCenter);
    QCOMPARE(item->rotation(), 0.0);
    QCOMPARE(item->padding(), QMargins());
    QCOMPARE(item->position->typeX(), PlotItemPosition::ptPlotCoords);
    QCOMPARE(item->position->keyAxis(), p.plot.xAxis);
    QCOMPARE(item->position->coords(), QPointF(0, 0));
    const QStringList names = {"position",    "topLeft", "top",        "topRight", "right",
                               "bottomRight", "bottom",  "bottomLeft", "left"};
    QCOMPARE(item->anchors().size(), names.size());
    for (int i = 0; i < names.size(); ++i)
      QCOMPARE(item->anchors().at(i)->name(), names.at(i));
    QCOMPARE(item->positions(), QList<PlotItemPosition *>({item->position}));
    QCOMPARE(item->anchor(QStringLiteral("bottomLeft")), item->bottomLeft);

    item->setSelected(true);
    QCOMPARE(item->mainColor(), QColor(Qt::blue));
  }

  void boxFollowsThePositionAlignment_data()
  {
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::addColumn<double>("fx"); // top-left offset as a multiple of the box width
    QTest::addColumn<double>("fy");
    QTest::newRow("center") << Qt::Alignment(Qt::AlignCenter) << -0.5 << -0.5;
    QTest::newRow("top hcenter (title)") << (Qt::AlignTop | Qt::AlignHCenter) << -0.5 << 0.0;
    QTest::newRow("none") << Qt::Alignment() << 0.0 << 0.0;
    QTest::newRow("left top") << (Qt::AlignLeft | Qt::AlignTop) << 0.0 << 0.0;
    QTest::newRow("right bottom") << (Qt::AlignRight | Qt::AlignBottom) << -1.0 << -1.0;
    QTest::newRow("hcenter wins over right") << (Qt::AlignHCenter | Qt::AlignRight) << -0.5 << 0.0;
    QTest::newRow("vcenter wins over bottom") << (Qt::AlignVCenter | Qt::AlignBottom) << 0.0 << -0.5;
    QTest::newRow("left vcenter") << (Qt::AlignLeft | Qt::AlignVCenter) << 0.0 << -0.5;
  }

  void boxFollowsThePositionAlignment()
  {
    QFETCH(Qt::Alignment, alignment);
    QFETCH(double, fx);
    QFETCH(double, fy);
    ItemPlot p;
    TextProbe *item = new TextProbe(&p.plot);
    item->setText(QStringLiteral("Measurement 1\nsecond line"));
    item->position->setType(PlotItemPosition::ptPixelCoords);
    item->position->setCoords(200.25, 100.75);
    item->setPositionAlignment(alignment);
    const QSize size = boxSize(*item, item->font());
    QVERIFY(size.width() > 10 && size.height() > 10);

    // The offset of the box is rounded to whole pixels, halves away from zero.
    const QPointF offset(std::round(fx * size.width()), std::round(fy * size.height()));
    const QPointF topLeft = QPointF(200.25, 100.75) + offset;
    QVERIFY(near(item->topLeft->pixelPoint(), topLeft));
    QVERIFY(near(item->bottomRight->pixelPoint(), topLeft + QPointF(size.width(), size.height())));
    QVERIFY(near(item->topRight->pixelPoint(), topLeft + QPointF(size.width(), 0)));
    QVERIFY(near(item->bottomLeft->pixelPoint(), topLeft + QPointF(0, size.height())));
    QVERIFY(near(item->top->pixelPoint(), topLeft + QPointF(size.width() / 2.0, 0)));
    QVERIFY(near(item->bottom->pixelPoint(), topLeft + QPointF(size.width() / 2.0, size.height())));
    QVERIFY(near(item->left->pixelPoint(), topLeft + QPointF(0, size.height() / 2.0)));
    QVERIFY(near(item->right->pixelPoint(), topLeft + QPointF(size.width(), size.height() / 2.0)));
  }

  void chartTitleSitsOnTopCentre()
  {
    ItemPlot p;
    PlotItemText *title = new PlotItemText(&p.plot);
    title->position->setType(PlotItemPosition::ptPixelCoords);
    const QRect r = p.rect->rect();
    title->position->setCoords((r.left() + r.right()) / 2, r.top());
    title->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
    QFont font = title->font();
    font.setPointSize(10);
    font.setWeight(QFont::Bold);
    title->setFont(font);
    title->setText(QStringLiteral("Capture of 12 March"));
    QCOMPARE(title->top->pixelPoint().y(), double(r.top()));
    QVERIFY(qAbs(title->top->pixelPoint().x() - (r.left() + r.right()) / 2) <= 0.5);
    QVERIFY(title->bottom->pixelPoint().y() > r.top());
  }

  void paddingGrowsTheBox()
  {
    ItemPlot p;
    PlotItemText *item = new PlotItemText(&p.plot);
    item->position->setType(PlotItemPosition::ptPixelCoords);
    item->position->setCoords(100, 100);
    item->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QPointF plain = item->bottomRight->pixelPoint();
    item->setPadding(QMargins(1, 2, 3, 4));
    QCOMPARE(item->topLeft->pixelPoint(), QPointF(100, 100));
    QCOMPARE(item->bottomRight->pixelPoint(), plain + QPointF(4, 6));
  }

  void rotationTurnsAnchorsAndHitTest()
  {
    ItemPlot p;
    TextProbe *item = new TextProbe(&p.plot);
    item->position->setType(PlotItemPosition::ptPixelCoords);
    const QPointF pos(200, 120);
    item->position->setCoords(pos);
    item->setText(QStringLiteral("a rather long label"));
    const QSize size = boxSize(*item, item->font());
    const QPointF offset(std::round(-size.width() / 2.0), std::round(-size.height() / 2.0));
    QVERIFY(near(item->topLeft->pixelPoint(), pos + offset));

    // A quarter turn clockwise on screen: (x, y) becomes (-y, x).
    item->setRotation(90);
    QVERIFY(near(item->topLeft->pixelPoint(), pos + QPointF(-offset.y(), offset.x()), 1e-4));
    QVERIFY(near(item->bottomRight->pixelPoint(),
                 pos + QPointF(-(offset.y() + size.height()), offset.x() + size.width()), 1e-4));

    // The box now stands upright: a point well above the centre lies inside
    // it, a point well to the side does not.
    const double tolerance = p.plot.selectionTolerance();
    const QPointF above = pos + QPointF(0, -size.width() / 2.0 + tolerance + 2);
    const QPointF aside = pos + QPointF(size.width() / 2.0 - 2, 0);
    const double aboveDistance = item->selectTest(above, false);
    QVERIFY(aboveDistance >= 0 && aboveDistance <= tolerance * 0.99);
    QVERIFY(item->selectTest(aside, false) > tolerance);
    item->setRotation(0);
    QCOMPARE(item->selectTest(aside, false), 2.0 + std::round(-size.width() / 2.0) + size.width() / 2.0);
    QVERIFY(item->selectTest(above, false) > tolerance);
  }

  void hitTestUsesTheUnselectedFont()
  {
    ItemPlot p;
    PlotItemText *item = new PlotItemText(&p.plot);
    item->position->setType(PlotItemPosition::ptPixelCoords);
    item->position->setCoords(200, 150);
    item->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont big = item->font();
    big.setPointSizeF(qMax(big.pointSizeF(), 8.0) * 4);
    item->setSelectedFont(big);
    const QSize normal = boxSize(*item, item->font());
    const QSize large = boxSize(*item, big);
    QVERIFY(large.width() > normal.width() + 40);

    item->setSelected(true);
    // Drawn and anchored with the large box...
    QCOMPARE(item->bottomRight->pixelPoint(), QPointF(200 + large.width(), 150 + large.height()));
    // ...but a click inside the large box far right of the normal one misses.
    const QPointF click(200 + normal.width() + 20, 150 + 1);
    QCOMPARE(item->selectTest(click, false), std::sqrt(20.0 * 20.0 + 0.0));
    QCOMPARE(item->selectTest(QPointF(200 + 2, 150 + 2), false), 2.0);
    item->setSelectable(false);
    QCOMPARE(item->selectTest(QPointF(200 + 2, 150 + 2), true), -1.0);
  }

  void invalidAnchorId()
  {
    ItemPlot p;
    TextProbe *item = new TextProbe(&p.plot);
    QTest::ignoreMessage(QtDebugMsg, "virtual QPointF PlotItemText::anchorPixelPoint(int) "
                                     "const invalid anchorId 8");
    QCOMPARE(item->anchorPixelPoint(8), QPointF());
  }

  void drawsTextAndOptionalBox()
  {
    ItemPlot p;
    TextProbe *item = new TextProbe(&p.plot);
    item->position->setType(PlotItemPosition::ptPixelCoords);
    item->position->setCoords(200, 100);
    item->setText(QStringLiteral("Title"));
    item->setColor(Qt::darkGreen);
    PaintRecorder recorder(400, 300);

    // A transparent brush and no pen: no box, but the text.
    item->setBrush(QColor(255, 0, 0, 0));
    QList<PaintOp> ops = drawOn(recorder, item);
    QCOMPARE(recorder.opsOfKind(PaintOp::Rect).size(), 0);
    QCOMPARE(recorder.texts(), QStringList({"Title"}));
    QCOMPARE(recorder.opsOfKind(PaintOp::Text).first().pen.color(), QColor(Qt::darkGreen));

    // A filled box covers exactly the anchors' rectangle.
    item->setBrush(Qt::yellow);
    drawOn(recorder, item);
    const QList<PaintOp> rects = recorder.opsOfKind(PaintOp::Rect);
    QCOMPARE(rects.size(), 1);
    QCOMPARE(rects.first().brush.color(), QColor(Qt::yellow));
    const QRectF expected(item->topLeft->pixelPoint(), item->bottomRight->pixelPoint());
    QCOMPARE(rects.first().rect, expected);
    QCOMPARE(recorder.texts(), QStringList({"Title"}));

    // Selected: the selected colour.
    item->setSelected(true);
    drawOn(recorder, item);
    QCOMPARE(recorder.opsOfKind(PaintOp::Text).first().pen.color(), QColor(Qt::blue));
    item->setSelected(false);

    // Wholly outside the clip rectangle (the axis rect), frame pen included:
    // nothing.
    item->setPen(QPen(Qt::black, 6));
    item->position->setCoords(20, 100);
    item->setPositionAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The box ends at x = 20 and the frame reaches 6 further: short of the rect
    // at x = 50.
    drawOn(recorder, item);
    QVERIFY(recorder.ops().isEmpty());
    // A frame wide enough to reach into the rect makes it drawn.
    item->setPen(QPen(Qt::black, 31));
    drawOn(recorder, item);
    QCOMPARE(recorder.texts(), QStringList({"Title"}));
  }
};

TOVRI_TEST(PlotItemTextTest)
#include "tst_itemtext.moc"
