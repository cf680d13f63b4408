#include "graphfixture.h"
#include "itemfixture.h"
#include "paintrecorder.h"
#include "plot.h"
#include "testmain.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

namespace {
void click(PlotWidget &plot, const QPointF &pos, Qt::KeyboardModifiers mods = Qt::NoModifier, bool twice = false)
{
  QMouseEvent press(QEvent::MouseButtonPress, pos, plot.mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton, mods);
  QApplication::sendEvent(&plot, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, pos, plot.mapToGlobal(pos), Qt::LeftButton, Qt::NoButton, mods);
  QApplication::sendEvent(&plot, &release);
  if (twice) {
    QMouseEvent dbl(QEvent::MouseButtonDblClick, pos, plot.mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton, mods);
    QApplication::sendEvent(&plot, &dbl);
  }
}

// Everything the plot paints, in device pixels.
void paintInto(PlotWidget &plot, PaintRecorder *recorder)
{
  PlotPainter painter(recorder);
  plot.toPainter(&painter, 400, 300);
  painter.end();
}

// A shown legend with three named graphs.
struct LegendPlot : ItemPlot
{
  LegendPlot()
  {
    for (const char *name : {"Current", "Voltage", "Power"}) {
      graphs << plot.addGraph();
      graphs.last()->setName(QString::fromLatin1(name));
    }
    plot.legend->setVisible(true);
    plot.replot();
  }
  PlotAbstractLegendItem *item(int i) const { return plot.legend->item(i); }
  QList<PlotGraph *> graphs;
};
} // namespace

class PlotLegendTest : public QObject
{
  Q_OBJECT
private slots:
  void membershipFollowsThePlottables()
  {
    PlotWidget plot;
    PlotGraph *a = plot.addGraph(); // added on its own
    PlotGraph *b = plot.addGraph();
    QCOMPARE(plot.legend->itemCount(), 2);
    QVERIFY(!a->addToLegend());
    QCOMPARE(plot.legend->itemCount(), 2);
    QVERIFY(plot.removePlottable(a));
    QCOMPARE(plot.legend->itemCount(), 1);
    QCOMPARE(plot.legend->itemWithPlottable(b), plot.legend->item(0));

    // Null, foreign and repeated items are refused.
    PlotLegend *other = new PlotLegend;
    plot.plotLayout()->addElement(0, 1, other);
    PlotPlottableLegendItem *foreign = new PlotPlottableLegendItem(other, b);
    MessageLog log;
    QVERIFY(!plot.legend->addItem(nullptr));
    QVERIFY(!plot.legend->addItem(foreign));
    QVERIFY(!plot.legend->addItem(plot.legend->item(0)));
    QCOMPARE(log.lines.size(), 2);
    QVERIFY(other->addItem(foreign));
    QCOMPARE(plot.legend->itemCount(), 1);
    QVERIFY(!plot.legend->removeItem(5));
    {
      MessageLog nullLog;
      PlotPlottableLegendItem legendless(nullptr, b);
      QVERIFY(nullLog.contains(QStringLiteral("null legend")));
      QVERIFY(!legendless.minimumSizeHint().isValid());
      QVERIFY(!plot.legend->addItem(&legendless));
    }
    plot.legend->clearItems();
    QCOMPARE(plot.legend->itemCount(), 0);
  }

  // A plottable deleted directly, without the registry: the legends measure
  // and draw their items on the next replot, hidden or shown.
  void deletedPlottableLeavesNoDanglingItem_data()
  {
    QTest::addColumn<bool>("shown");
    QTest::newRow("hidden legend") << false;
    QTest::newRow("shown legend") << true;
  }
  void deletedPlottableLeavesNoDanglingItem()
  {
    QFETCH(bool, shown);
    PlotWidget plot;
    plot.resize(400, 300);
    plot.legend->setVisible(shown);
    PlotGraph *graph = plot.addGraph();
    PlotGraph *kept = plot.addGraph();
    PlotLegend *other = new PlotLegend;
    plot.plotLayout()->addElement(0, 1, other);
    QVERIFY(other->addItem(new PlotPlottableLegendItem(other, graph)));
    delete graph;
    QCOMPARE(plot.legend->itemCount(), 1);
    QCOMPARE(plot.legend->itemWithPlottable(kept), plot.legend->item(0));
    // The other legend's entry is left empty, not dangling.
    PlotPlottableLegendItem *orphan = qobject_cast<PlotPlottableLegendItem *>(other->item(0));
    QVERIFY(orphan);
    QCOMPARE(orphan->plottable(), nullptr);
    QVERIFY(!orphan->minimumSizeHint().isValid());
    plot.replot();
    QVERIFY(!plot.toPixmap().isNull());
  }

  void legendGoesBeforeItsPlot()
  {
    PlotWidget plot;
    plot.addGraph();
    PlotAxisRect *rect = plot.axisRect();
    delete rect->insetLayout()->takeAt(0);
    QCOMPARE(plot.legend, nullptr);
    // Later plottables have no legend to join.
    QVERIFY(!plot.addGraph()->addToLegend());
  }

  void selectedPartsEdgeCases()
  {
    LegendPlot p;
    PlotLegend *legend = p.plot.legend;
    QSignalSpy legendSpy(legend, &PlotLegend::selectionChanged);
    {
      MessageLog log;
      legend->setSelectedParts(PlotLegend::spItems);
      QVERIFY(log.contains(QStringLiteral("spItems flag can not be set")));
    }
    QCOMPARE(legendSpy.size(), 1);
    QCOMPARE(legendSpy.at(0).at(0).value<PlotLegend::SelectableParts>(), PlotLegend::SelectableParts());
    QCOMPARE(legend->selectedParts(), PlotLegend::SelectableParts());

    p.item(0)->setSelected(true);
    p.item(2)->setSelected(true);
    QVERIFY(legend->selectedParts().testFlag(PlotLegend::spItems));
    QCOMPARE(legend->selectedItems(), QList<PlotAbstractLegendItem *>({p.item(0), p.item(2)}));
    QStringList order;
    for (int i = 0; i < 3; ++i)
      connect(p.item(i), &PlotAbstractLegendItem::selectionChanged, this,
              [&order, i](bool on) { order << QStringLiteral("item%1 %2").arg(i).arg(on); });
    connect(legend, &PlotLegend::selectionChanged, this,
            [&order](PlotLegend::SelectableParts parts) { order << QStringLiteral("legend %1").arg(int(parts)); });
    legend->setSelectedParts(PlotLegend::spNone);
    QCOMPARE(order, QStringList({"item0 0", "item2 0", "legend 0"}));
    QVERIFY(legend->selectedItems().isEmpty());
    // Nothing to change: no signal.
    order.clear();
    legend->setSelectedParts(PlotLegend::spNone);
    QVERIFY(order.isEmpty());
  }

  void fontsPropagateToItems()
  {
    LegendPlot p;
    QFont big(QStringLiteral("sans serif"), 21);
    p.plot.legend->setFont(big);
    p.plot.legend->setSelectedTextColor(Qt::red);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(p.item(i)->font(), big);
      QCOMPARE(p.item(i)->selectedTextColor(), QColor(Qt::red));
    }
    PlotGraph *later = p.plot.addGraph();
    QCOMPARE(p.plot.legend->itemWithPlottable(later)->font(), big);
  }

  void iconAndTextGeometry()
  {
    LegendPlot p;
    PlotAbstractLegendItem *item = p.item(1);
    const QFontMetrics metrics(item->font());
    const QRect text = metrics.boundingRect(0, 0, 0, 18, Qt::TextDontClip, QStringLiteral("Voltage"));
    QCOMPARE(item->minimumSizeHint(),
             QSize(32 + 7 + text.width() + 8 + 8, qMax(text.height(), 18) + 2 + 2));

    p.plot.graph(1)->setPen(QPen(Qt::red));
    item->setSelected(true);
    PaintRecorder recorder;
    paintInto(p.plot, &recorder);
    const QRect inner = item->rect();
    bool textSeen = false;
    for (const PaintOp &op : recorder.opsOfKind(PaintOp::Text)) {
      if (op.text != QLatin1String("Voltage"))
        continue;
      textSeen = true;
      // Half a pixel right when antialiased.
      QCOMPARE(op.points.first().x(), inner.left() + 32 + 7 + (op.antialiased ? 0.5 : 0.0));
      QCOMPARE(op.pen.color(), QColor(Qt::blue)); // selected text colour
    }
    QVERIFY(textSeen);
    // The icon: the graph's line across the icon rectangle, clipped to it, and
    // the selected item's blue frame around it.
    const QRectF icon(inner.topLeft(), QSizeF(32, 18));
    bool lineSeen = false, frameSeen = false;
    for (const PaintOp &op : recorder.ops()) {
      if (op.kind == PaintOp::Line && op.pen.color() == QColor(Qt::red)) {
        lineSeen = true;
        QVERIFY(op.clipped);
        QVERIFY(icon.adjusted(-1, -1, 1, 1).contains(op.clipRect));
      }
      if (op.kind == PaintOp::Rect && op.pen.color() == QColor(Qt::blue) && op.pen.width() == 2)
        frameSeen = frameSeen || op.rect == icon.translated(op.antialiased ? 0.5 : 0, op.antialiased ? 0.5 : 0);
    }
    QVERIFY(lineSeen);
    QVERIFY(frameSeen);
  }

  void clicksSelectAndSignal()
  {
    LegendPlot p;
    p.plot.setInteractions(Plot::iaSelectLegend | Plot::iaMultiSelect);
    QList<QPair<PlotLegend *, PlotAbstractLegendItem *>> clicks, doubles;
    connect(&p.plot, &PlotWidget::legendClick, this,
            [&clicks](PlotLegend *l, PlotAbstractLegendItem *i, QMouseEvent *) { clicks.append({l, i}); });
    connect(&p.plot, &PlotWidget::legendDoubleClick, this,
            [&doubles](PlotLegend *l, PlotAbstractLegendItem *i, QMouseEvent *) { doubles.append({l, i}); });
    const QPointF onSecond = p.item(1)->rect().center();
    const QPointF onThird = p.item(2)->rect().center();

    click(p.plot, onSecond);
    QVERIFY(p.item(1)->selected());
    QCOMPARE(clicks.last(), qMakePair(p.plot.legend, p.item(1)));
    QCOMPARE(p.plot.selectedLegends(), QList<PlotLegend *>({p.plot.legend}));
    // A plain click on the selected item keeps it selected.
    click(p.plot, onSecond);
    QVERIFY(p.item(1)->selected());
    // Plain on another: only that one; additive: both, then toggles off.
    click(p.plot, onThird);
    QVERIFY(!p.item(1)->selected() && p.item(2)->selected());
    click(p.plot, onSecond, Qt::ControlModifier);
    QVERIFY(p.item(1)->selected() && p.item(2)->selected());
    click(p.plot, onSecond, Qt::ControlModifier);
    QVERIFY(!p.item(1)->selected() && p.item(2)->selected());

    // The box below the items: the legend itself, with no item.
    const QRect box = p.plot.legend->outerRect();
    const QPointF onBox(box.center().x(), box.bottom() - 1);
    click(p.plot, onBox, Qt::NoModifier, true);
    QCOMPARE(clicks.last(), qMakePair(p.plot.legend, static_cast<PlotAbstractLegendItem *>(nullptr)));
    QCOMPARE(doubles.last(), qMakePair(p.plot.legend, static_cast<PlotAbstractLegendItem *>(nullptr)));
    QCOMPARE(p.plot.legend->selectedParts(), PlotLegend::SelectableParts(PlotLegend::spLegendBox));

    // Without the interaction nothing is selected, the signals still come.
    p.plot.deselectAll();
    p.plot.setInteractions(Plot::Interactions());
    const int before = clicks.size();
    click(p.plot, onThird);
    QVERIFY(!p.item(2)->selected());
    QCOMPARE(clicks.size(), before + 1);
    QVERIFY(p.plot.selectedLegends().isEmpty());
  }
};
TOVRI_TEST(PlotLegendTest)

class PlotTitleTest : public QObject
{
  Q_OBJECT
private slots:
  void fontsFromThePlot_data()
  {
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<int>("expectedPoints");
    QTest::addColumn<int>("expectedSelectedPoints");
    QTest::addColumn<int>("expectedPixels");
    QTest::addColumn<int>("expectedSelectedPixels");
    QTest::newRow("9 pt truncates") << 9 << -1 << 13 << 14 << -1 << -1;
    QTest::newRow("10 pt") << 10 << -1 << 15 << 16 << -1 << -1;
    QTest::newRow("pixel sized") << -1 << 12 << -1 << -1 << 18 << 19;
  }
  void fontsFromThePlot()
  {
    QFETCH(int, pointSize);
    QFETCH(int, pixelSize);
    QFETCH(int, expectedPoints);
    QFETCH(int, expectedSelectedPoints);
    QFETCH(int, expectedPixels);
    QFETCH(int, expectedSelectedPixels);
    PlotWidget plot;
    QFont font(QStringLiteral("DejaVu Sans"));
    if (pointSize > 0)
      font.setPointSize(pointSize);
    else
      font.setPixelSize(pixelSize);
    plot.setFont(font);
    for (PlotTitle *title : {new PlotTitle(&plot), new PlotTitle(&plot, QStringLiteral("Run"))}) {
      QCOMPARE(title->font().pointSize(), expectedPoints);
      QCOMPARE(title->selectedFont().pointSize(), expectedSelectedPoints);
      QCOMPARE(title->font().pixelSize(), expectedPixels);
      QCOMPARE(title->selectedFont().pixelSize(), expectedSelectedPixels);
      QCOMPARE(title->font().weight(), QFont::Bold);
      QCOMPARE(title->font().family(), font.family());
      delete title;
    }
  }

  void withoutAPlot()
  {
    PlotTitle loose(nullptr);
    QCOMPARE(loose.font().pointSize(), 19);
    QCOMPARE(loose.selectedFont().pointSize(), 20);
    MessageLog log;
    PlotTitle named(nullptr, QStringLiteral("Run"));
    QVERIFY(log.contains(QStringLiteral("null plot")));
    QCOMPARE(named.text(), QStringLiteral("Run"));
    QCOMPARE(named.selectTest(QPointF(0, 0), false), -1.0);
  }

  void sizedWithTheUnselectedFont()
  {
    PlotWidget plot;
    PlotTitle *title = new PlotTitle(&plot, QStringLiteral("Capture 7"));
    const QSize extent = QFontMetrics(title->font()).boundingRect(0, 0, 0, 0, Qt::AlignCenter, title->text()).size();
    QCOMPARE(title->minimumSizeHint(), extent + QSize(10, 5));
    QCOMPARE(title->maximumSizeHint(), QSize(QWIDGETSIZE_MAX, extent.height() + 5));
    title->setSelectedFont(QFont(QStringLiteral("sans serif"), 40));
    title->setSelected(true);
    QCOMPARE(title->minimumSizeHint(), extent + QSize(10, 5));
    delete title;
  }

  void onlyTheDrawnTextIsHit()
  {
    ItemPlot p(QSize(400, 340));
    p.plot.plotLayout()->insertRow(0);
    PlotTitle *title = new PlotTitle(&p.plot, QStringLiteral("Hi"));
    QCOMPARE(title->layer()->name(), QStringLiteral("axes"));
    p.plot.plotLayout()->addElement(0, 0, title);
    p.plot.setInteractions(Plot::iaSelectOther);
    QList<PlotTitle *> clicked;
    connect(&p.plot, &PlotWidget::titleClick, this, [&clicked](QMouseEvent *, PlotTitle *t) { clicked << t; });
    // Not drawn yet: nothing to hit.
    QCOMPARE(title->selectTest(title->rect().center(), false), -1.0);
    p.plot.replot();
    const QRect cell = title->rect();
    const QPointF beside(cell.left() + 3, cell.center().y());
    QCOMPARE(title->selectTest(beside, false), -1.0);
    QCOMPARE(title->selectTest(cell.center(), false), p.plot.selectionTolerance() * 0.99);
    // Not selectable: hits only when selectability is not asked for.
    QCOMPARE(title->selectTest(cell.center(), true), -1.0);
    click(p.plot, beside);
    QVERIFY(clicked.isEmpty());
    click(p.plot, cell.center());
    QCOMPARE(clicked, QList<PlotTitle *>({title}));
    QVERIFY(!title->selected());
    title->setSelectable(true);
    click(p.plot, cell.center());
    QVERIFY(title->selected());
    click(p.plot, cell.center(), Qt::ControlModifier); // no multi-select: plain click
    QVERIFY(title->selected());
    p.plot.deselectAll();
    QVERIFY(!title->selected());
  }
};
TOVRI_TEST(PlotTitleTest)

#include "tst_legend.moc"
