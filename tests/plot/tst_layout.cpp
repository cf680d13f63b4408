#include "plot.h"
#include "testelements.h"
#include "testmain.h"

#include <QPointer>
#include <QTest>
#include <limits>

using IntList = QList<int>;
using DoubleList = QList<double>;

class PlotLayoutTest : public QObject
{
  Q_OBJECT
private slots:
  // ---- section-size distribution ----
  void sectionSizes_data()
  {
    QTest::addColumn<IntList>("maxSizes");
    QTest::addColumn<IntList>("minSizes");
    QTest::addColumn<DoubleList>("stretch");
    QTest::addColumn<int>("total");
    QTest::addColumn<IntList>("expected");
    QTest::newRow("halves round away from zero") << IntList{1000, 1000} << IntList{0, 0} << DoubleList{1, 1} << 101
                                                 << IntList{51, 51};
    QTest::newRow("maximum reached") << IntList{30, 1000} << IntList{0, 0} << DoubleList{1, 1} << 100
                                     << IntList{30, 70};
    QTest::newRow("minimum locked") << IntList{1000, 1000} << IntList{80, 0} << DoubleList{1, 1} << 100
                                    << IntList{80, 20};
    QTest::newRow("squeezed by minimums") << IntList{1000, 1000} << IntList{60, 40} << DoubleList{1, 1} << 50
                                          << IntList{30, 20};
    QTest::newRow("stretch factors") << IntList{1000, 1000} << IntList{0, 0} << DoubleList{1, 3} << 200
                                     << IntList{50, 150};
    QTest::newRow("all at maximum") << IntList{10, 20} << IntList{0, 0} << DoubleList{1, 1} << 100
                                    << IntList{10, 20};
    QTest::newRow("max and min mixed") << IntList{40, 1000, 1000} << IntList{0, 70, 0} << DoubleList{1, 1, 1}
                                       << 150 << IntList{40, 70, 40};
    QTest::newRow("single section") << IntList{1000} << IntList{0} << DoubleList{2} << 77 << IntList{77};
  }
  void sectionSizes()
  {
    QFETCH(IntList, maxSizes);
    QFETCH(IntList, minSizes);
    QFETCH(DoubleList, stretch);
    QFETCH(int, total);
    QFETCH(IntList, expected);
    TestGrid grid;
    QCOMPARE(grid.getSectionSizes(maxSizes, minSizes, stretch, total), expected);
  }

  void sectionSizesEqualHitPointsFixEarlierFirst()
  {
    // Both reach their maximum of 20 at the same point; the rest goes to the third.
    TestGrid grid;
    QCOMPARE(grid.getSectionSizes({20, 20, 1000}, {0, 0, 0}, {1, 1, 1}, 100), IntList({20, 20, 60}));
  }

  void sectionSizesBadInput()
  {
    TestGrid grid;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^QList<int> PlotLayout::getSectionSizes\\(QList<int>, "
                                                        "QList<int>, QList<double>, int\\) const Passed vector "
                                                        "sizes aren't equal:"));
    QVERIFY(grid.getSectionSizes({1, 2}, {0}, {1, 1}, 10).isEmpty());
    QVERIFY(grid.getSectionSizes({}, {}, {}, 10).isEmpty());
  }

  void sectionSizesNeverDivideByZeroStretch()
  {
    TestGrid grid;
    // Below zero total with zero minimums the squeeze leaves no stretch at all.
    QCOMPARE(grid.getSectionSizes({100, 100}, {0, 0}, {1, 1}, -5), IntList({0, 0}));
    // Only the squeezed minimums stretch: the zero-minimum section gets nothing.
    QCOMPARE(grid.getSectionSizes({100, 100}, {0, 40}, {1, 1}, 20), IntList({0, 20}));
    // A non-finite factor never turns into an integer.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const IntList withNan = grid.getSectionSizes({100, 100}, {0, 0}, {nan, nan}, 50);
    QCOMPARE(withNan, IntList({0, 0}));
    const IntList withInf = grid.getSectionSizes({100, 100}, {0, 0}, {inf, 1}, 50);
    QCOMPARE(withInf.size(), 2);
    for (int v : withInf)
      QVERIFY(v >= 0 && v <= 100);
  }

  // ---- element basics ----
  void elementRectFollowsMargins()
  {
    MarginElement el;
    QCOMPARE(el.rect(), QRect(0, 0, 0, 0));
    QCOMPARE(el.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    QVERIFY(!el.minimumSize().isValid());
    el.setOuterRect(QRect(0, 0, 100, 100));
    el.setMargins(QMargins(5, 10, 15, 20));
    QCOMPARE(el.rect().left(), 5);
    QCOMPARE(el.rect().top(), 10);
    QCOMPARE(el.rect().right(), 84);
    QCOMPARE(el.rect().bottom(), 79);
    el.setOuterRect(QRect(10, 10, 100, 100));
    QCOMPARE(el.rect(), QRect(QPoint(15, 20), QPoint(94, 89)));
  }

  // Margins that need more room than the element has leave an empty inner
  // rectangle at the near margin, never one turned inside out.
  void marginsWiderThanTheElement_data()
  {
    QTest::addColumn<QRect>("outer");
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<QRect>("inner");
    QTest::newRow("room left") << QRect(0, 0, 118, 300) << QMargins(48, 15, 70, 40)
                               << QRect(48, 15, 0, 245);
    QTest::newRow("wider") << QRect(0, 0, 118, 300) << QMargins(48, 15, 111, 40) << QRect(48, 15, 0, 245);
    QTest::newRow("taller") << QRect(10, 20, 200, 50) << QMargins(5, 40, 5, 30) << QRect(15, 60, 190, 0);
    QTest::newRow("both") << QRect(10, 20, 60, 50) << QMargins(40, 40, 40, 30) << QRect(50, 60, 0, 0);
    QTest::newRow("near margin alone too wide") << QRect(10, 20, 60, 50) << QMargins(80, 70, 0, 0)
                                                << QRect(70, 70, 0, 0);
  }
  void marginsWiderThanTheElement()
  {
    QFETCH(QRect, outer);
    QFETCH(QMargins, margins);
    QFETCH(QRect, inner);
    MarginElement el;
    el.setOuterRect(outer);
    el.setMargins(margins);
    QCOMPARE(el.rect(), inner);
    QVERIFY(el.rect().width() >= 0 && el.rect().height() >= 0);
    // The same in the other order of setting.
    MarginElement other;
    other.setMargins(margins);
    other.setOuterRect(outer);
    QCOMPARE(other.rect(), inner);
  }

  void autoMarginsOnChosenSidesOnly()
  {
    MarginElement el;
    el.setOuterRect(QRect(0, 0, 200, 200));
    el.setMargins(QMargins(1, 2, 3, 4));
    el.need = QMargins(30, 40, 50, 3);
    el.setMinimumMargins(QMargins(0, 0, 0, 9));
    el.setAutoMargins(Plot::msLeft);
    el.update(PlotLayoutElement::upPreparation);
    el.update(PlotLayoutElement::upLayout);
    QCOMPARE(el.margins(), QMargins(1, 2, 3, 4));
    el.update(PlotLayoutElement::upMargins);
    QCOMPARE(el.margins(), QMargins(30, 2, 3, 4));
    el.setAutoMargins(Plot::msAll);
    el.update(PlotLayoutElement::upMargins);
    QCOMPARE(el.margins(), QMargins(30, 40, 50, 9)); // bottom raised to its minimum
    el.setAutoMargins(Plot::msNone);
    el.need = QMargins();
    el.update(PlotLayoutElement::upMargins);
    QCOMPARE(el.margins(), QMargins(30, 40, 50, 9));
  }

  void baseAutoMarginKeepsLargerOfCurrentAndMinimum()
  {
    class Plain : public PlotLayoutElement
    {
    public:
      using PlotLayoutElement::calculateAutoMargin;
    } el;
    el.setMargins(QMargins(7, 1, 0, 0));
    el.setMinimumMargins(QMargins(3, 5, 0, 0));
    QCOMPARE(el.calculateAutoMargin(Plot::msLeft), 7);
    QCOMPARE(el.calculateAutoMargin(Plot::msTop), 5);
    QCOMPARE(el.calculateAutoMargin(Plot::msAll), 0);
  }

  void selectTestOfElement()
  {
    PlotWidget plot;
    MarginElement el(&plot);
    el.setOuterRect(QRect(10, 10, 50, 50));
    QCOMPARE(el.selectTest(QPointF(20, 20), true), -1.0);
    QCOMPARE(el.selectTest(QPointF(20, 20), false), 7.92);
    QCOMPARE(el.selectTest(QPointF(5, 20), false), -1.0);
    MarginElement orphan;
    orphan.setOuterRect(QRect(0, 0, 10, 10));
    QTest::ignoreMessage(QtDebugMsg, "virtual double PlotLayoutElement::selectTest(const QPointF&, bool, QVariant*) "
                                     "const parent plot not defined");
    QCOMPARE(orphan.selectTest(QPointF(5, 5), false), -1.0);
  }

  // ---- grid ----
  void gridGrowsOnAdd()
  {
    TestGrid grid;
    QCOMPARE(grid.rowCount(), 0);
    QCOMPARE(grid.columnCount(), 0);
    auto *e = new MarginElement;
    QVERIFY(grid.addElement(2, 3, e));
    QCOMPARE(grid.rowCount(), 3);
    QCOMPARE(grid.columnCount(), 4);
    QCOMPARE(grid.elementCount(), 12);
    QCOMPARE(grid.elementAt(11), e);
    QCOMPARE(grid.elements(false).count(nullptr), 11);
    QCOMPARE(grid.rowStretchFactors(), DoubleList({1, 1, 1}));
    QCOMPARE(grid.columnStretchFactors(), DoubleList({1, 1, 1, 1}));
    QCOMPARE(e->layout(), &grid);
    QCOMPARE(e->parent(), &grid);
    QCOMPARE(e->parentLayerable(), &grid);
    QVERIFY(grid.hasElement(2, 3));
    QVERIFY(!grid.hasElement(0, 0));
    QVERIFY(!grid.hasElement(-1, 3));
    QVERIFY(!grid.hasElement(3, 3));
    QCOMPARE(grid.elementAt(12), nullptr);
    QCOMPARE(grid.elementAt(-1), nullptr);

    auto *f = new MarginElement;
    QTest::ignoreMessage(QtDebugMsg, "bool PlotLayoutGrid::addElement(int, int, PlotLayoutElement*) There is already "
                                     "an element in the specified row/column: 2 3");
    QVERIFY(!grid.addElement(2, 3, f));
    QCOMPARE(f->layout(), nullptr);
    QTest::ignoreMessage(QtDebugMsg, "bool PlotLayoutGrid::addElement(int, int, PlotLayoutElement*) Can't add null "
                                     "element to row/column: 0 0");
    QVERIFY(!grid.addElement(0, 0, nullptr));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Invalid row/column: -1 0"));
    QVERIFY(!grid.addElement(-1, 0, f));
    delete f;
  }

  void gridElementLookupMessages()
  {
    TestGrid grid;
    grid.addElement(0, 1, new MarginElement);
    QTest::ignoreMessage(QtDebugMsg, "PlotLayoutElement* PlotLayoutGrid::element(int, int) const Invalid row. Row: 1 "
                                     "Column: 0");
    QCOMPARE(grid.element(1, 0), nullptr);
    QTest::ignoreMessage(QtDebugMsg, "PlotLayoutElement* PlotLayoutGrid::element(int, int) const Invalid column. "
                                     "Row: 0 Column: 2");
    QCOMPARE(grid.element(0, 2), nullptr);
    QTest::ignoreMessage(QtDebugMsg, "PlotLayoutElement* PlotLayoutGrid::element(int, int) const Requested cell is "
                                     "empty. Row: 0 Column: 0");
    QCOMPARE(grid.element(0, 0), nullptr);
    QVERIFY(grid.element(0, 1));
  }

  void addingMovesElementBetweenGrids()
  {
    TestGrid a, b;
    auto *e = new MarginElement;
    a.addElement(1, 1, e);
    QVERIFY(b.addElement(0, 0, e));
    QCOMPARE(a.rowCount(), 2);
    QCOMPARE(a.columnCount(), 2);
    QVERIFY(!a.hasElement(1, 1));
    QCOMPARE(b.element(0, 0), e);
    QCOMPARE(e->layout(), &b);
    QCOMPARE(e->parent(), &b);
  }

  void takeAndSimplify()
  {
    PlotWidget plot;
    TestGrid grid;
    grid.initializeParentPlot(&plot);
    auto *a = new MarginElement;
    auto *b = new MarginElement;
    grid.addElement(0, 0, a);
    grid.addElement(1, 1, b);
    QCOMPARE(a->parentPlot(), &plot); // handed down on adoption

    QTest::ignoreMessage(QtDebugMsg, "virtual PlotLayoutElement* PlotLayoutGrid::takeAt(int) Attempt to take invalid "
                                     "index: 1");
    QCOMPARE(grid.takeAt(1), nullptr);
    QCOMPARE(grid.takeAt(3), b);
    QCOMPARE(grid.rowCount(), 2); // taking keeps the size
    QCOMPARE(b->layout(), nullptr);
    QCOMPARE(b->parent(), &plot);
    QCOMPARE(b->parentLayerable(), nullptr);
    QCOMPARE(b->parentPlot(), &plot);
    delete b;

    grid.simplify();
    QCOMPARE(grid.rowCount(), 1);
    QCOMPARE(grid.columnCount(), 1);
    QCOMPARE(grid.rowStretchFactors().size(), 1);
    QCOMPARE(grid.columnStretchFactors().size(), 1);

    QTest::ignoreMessage(QtDebugMsg, "virtual bool PlotLayoutGrid::take(PlotLayoutElement*) Can't take null element");
    QVERIFY(!grid.take(nullptr));
    MarginElement stranger;
    QTest::ignoreMessage(QtDebugMsg, "virtual bool PlotLayoutGrid::take(PlotLayoutElement*) Element not in this "
                                     "layout, couldn't take");
    QVERIFY(!grid.take(&stranger));
    QVERIFY(grid.take(a));
    delete a;
    grid.simplify();
    QCOMPARE(grid.rowCount(), 0);
    QCOMPARE(grid.columnCount(), 0);
    QVERIFY(grid.rowStretchFactors().isEmpty());
    QVERIFY(grid.columnStretchFactors().isEmpty());
  }

  void simplifyDropsInnerEmptyRowsAndColumns()
  {
    TestGrid grid;
    auto *a = new MarginElement;
    auto *b = new MarginElement;
    grid.addElement(0, 0, a);
    grid.addElement(2, 2, b);
    grid.setRowStretchFactors({1, 5, 2});
    grid.simplify();
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.columnCount(), 2);
    QCOMPARE(grid.rowStretchFactors(), DoubleList({1, 2}));
    QCOMPARE(grid.element(0, 0), a);
    QCOMPARE(grid.element(1, 1), b);
  }

  void clearDeletesEveryElement()
  {
    TestGrid grid;
    QPointer<MarginElement> a = new MarginElement, b = new MarginElement;
    grid.addElement(0, 0, a);
    grid.addElement(0, 1, b);
    grid.clear();
    QVERIFY(a.isNull());
    QVERIFY(b.isNull());
    QCOMPARE(grid.elementCount(), 0);
  }

  void deletedElementLeavesGrid()
  {
    TestGrid grid;
    auto *a = new MarginElement;
    grid.addElement(0, 1, a);
    delete a;
    QCOMPARE(grid.elementAt(1), nullptr);
    QCOMPARE(grid.columnCount(), 2);
  }

  void insertRowsAndColumns()
  {
    TestGrid grid;
    grid.insertRow(-3);
    QCOMPARE(grid.elementCount(), 1);
    TestGrid grid2;
    grid2.insertColumn(5);
    QCOMPARE(grid2.elementCount(), 1);

    auto *e = new MarginElement;
    grid.addElement(0, 1, e);
    grid.insertRow(-3);
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.element(1, 1), e);
    grid.insertColumn(99);
    QCOMPARE(grid.columnCount(), 3);
    QCOMPARE(grid.columnStretchFactors().size(), 3);
    grid.insertColumn(0);
    QCOMPARE(grid.element(1, 2), e);
    QCOMPARE(grid.rowStretchFactors().size(), 2);
  }

  void stretchFactorValidation()
  {
    TestGrid grid;
    grid.expandTo(2, 2);
    grid.setRowStretchFactor(0, 3);
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutGrid::setRowStretchFactor(int, double) Invalid stretch factor, "
                                     "must be positive: 0");
    grid.setRowStretchFactor(0, 0);
    QCOMPARE(grid.rowStretchFactors().at(0), 3.0);
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutGrid::setRowStretchFactor(int, double) Invalid row: 2");
    grid.setRowStretchFactor(2, 1);
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutGrid::setColumnStretchFactor(int, double) Invalid column: -1");
    grid.setColumnStretchFactor(-1, 1);
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutGrid::setColumnStretchFactor(int, double) Invalid stretch "
                                     "factor, must be positive: nan");
    grid.setColumnStretchFactor(0, std::numeric_limits<double>::quiet_NaN());
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutGrid::setColumnStretchFactors(const QList<double>&) Invalid "
                                     "stretch factor, must be positive: -1");
    grid.setColumnStretchFactors({2, -1});
    QCOMPARE(grid.columnStretchFactors(), DoubleList({2, 1}));
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutGrid::setColumnStretchFactors(const QList<double>&) Column count "
                                     "not equal to passed stretch factor count: QList(1)");
    grid.setColumnStretchFactors({1});
    QCOMPARE(grid.columnStretchFactors(), DoubleList({2, 1}));
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutGrid::setRowStretchFactors(const QList<double>&) Row count not "
                                     "equal to passed stretch factor count: QList(1, 2, 3)");
    grid.setRowStretchFactors({1, 2, 3});
  }

  void gridLayoutPlacesCells()
  {
    TestGrid grid;
    auto *a = new MarginElement;
    auto *b = new MarginElement;
    grid.addElement(0, 0, a);
    grid.addElement(0, 1, b);
    grid.setColumnStretchFactors({1, 3});
    grid.setOuterRect(QRect(10, 20, 205, 100));
    grid.update(PlotLayoutElement::upLayout);
    QCOMPARE(a->outerRect(), QRect(10, 20, 50, 100));
    QCOMPARE(b->outerRect(), QRect(65, 20, 150, 100));
    QCOMPARE(b->outerRect().left() - a->outerRect().left(), 55);

    // A minimum size overrides the stretch.
    a->setMinimumSize(120, 0);
    grid.update(PlotLayoutElement::upLayout);
    QCOMPARE(a->outerRect().width(), 120);
    QCOMPARE(b->outerRect().width(), 80);

    // A tiny grid never yields sizes from a broken distribution.
    a->setMinimumSize(0, 0);
    grid.setOuterRect(QRect(0, 0, 2, 2));
    grid.update(PlotLayoutElement::upLayout);
    QVERIFY(a->outerRect().width() >= 0);
    QVERIFY(b->outerRect().width() >= 0);
  }

  void gridSizeHints()
  {
    TestGrid grid;
    for (int c = 0; c < 3; ++c)
      grid.addElement(0, c, new MarginElement);
    QCOMPARE(grid.maximumSizeHint().width(), QWIDGETSIZE_MAX + 10);
    QCOMPARE(grid.minimumSizeHint(), QSize(10, 0));

    auto *e = qobject_cast<MarginElement *>(grid.element(0, 1));
    e->setMinimumSize(30, 40);
    grid.element(0, 2)->setMaximumSize(100, 50);
    grid.setMargins(QMargins(1, 2, 3, 4));
    QCOMPARE(grid.minimumSizeHint(), QSize(30 + 10 + 4, 40 + 6));
    QList<int> maxW, maxH;
    grid.getMaximumRowColSizes(&maxW, &maxH);
    QCOMPARE(maxW, IntList({QWIDGETSIZE_MAX, QWIDGETSIZE_MAX, 100}));
    QCOMPARE(maxH, IntList({50}));
  }

  void treeReceivesPlotWhenJoining()
  {
    PlotWidget plot;
    auto *outer = new TestGrid;
    auto *inner = new TestGrid;
    auto *leaf = new MarginElement;
    inner->addElement(0, 0, leaf);
    outer->addElement(0, 0, inner);
    QCOMPARE(leaf->parentPlot(), nullptr);
    QVERIFY(plot.plotLayout()->addElement(1, 0, outer));
    QCOMPARE(outer->parentPlot(), &plot);
    QCOMPARE(inner->parentPlot(), &plot);
    QCOMPARE(leaf->parentPlot(), &plot);
    const QList<PlotLayoutElement *> all = plot.plotLayout()->elements(true);
    QVERIFY(all.contains(leaf));
    // Breadth-first by one level: direct children come first.
    QCOMPARE(all.at(0), plot.axisRect(0));
    QCOMPARE(all.at(1), outer);
  }
};

TOVRI_TEST(PlotLayoutTest)
#include "tst_layout.moc"
