#include "plot.h"
#include "testelements.h"
#include "testmain.h"

#include <QPointer>
#include <QTest>

namespace {
class TestGroup : public PlotMarginGroup
{
public:
  using PlotMarginGroup::PlotMarginGroup;
  using PlotMarginGroup::commonMargin;
  void addChildForTest(Plot::MarginSide side, PlotLayoutElement *e) { addChild(side, e); }
  void removeChildForTest(Plot::MarginSide side, PlotLayoutElement *e) { removeChild(side, e); }
};

// An inset laid out over the area at (10, 20) of 100 x 50 pixels.
void layOut(PlotLayoutInset &inset)
{
  inset.setOuterRect(QRect(10, 20, 100, 50));
  inset.update(PlotLayoutElement::upLayout);
}
} // namespace

class PlotLayoutInsetTest : public QObject
{
  Q_OBJECT
private slots:
  void ratioRectPlacement()
  {
    TestInset inset;
    auto *e = new MarginElement;
    inset.addElement(e, QRectF(0, 0, 1, 1));
    QCOMPARE(inset.insetPlacement(0), PlotLayoutInset::ipRatioRect);
    QCOMPARE(inset.insetAlignment(0), Qt::AlignRight | Qt::AlignTop);
    layOut(inset);
    QCOMPARE(e->outerRect(), QRect(10, 20, 100, 50));

    inset.setInsetRect(0, QRectF(0.5, 0.25, 0.25, 0.5));
    layOut(inset);
    QCOMPARE(e->outerRect(), QRect(60, 32, 25, 25));

    // Minimum raises, maximum caps and wins where they conflict.
    e->setMinimumSize(40, 10);
    layOut(inset);
    QCOMPARE(e->outerRect(), QRect(60, 32, 40, 25));
    e->setMaximumSize(30, 20);
    layOut(inset);
    QCOMPARE(e->outerRect(), QRect(60, 32, 30, 20));
  }

  void alignedPlacement()
  {
    TestInset inset;
    auto *e = new MarginElement;
    e->setMinimumSize(30, 10);
    inset.addElement(e, Qt::AlignRight | Qt::AlignBottom);
    QCOMPARE(inset.insetPlacement(0), PlotLayoutInset::ipAligned);
    layOut(inset);
    QCOMPARE(e->outerRect().left(), 81);
    QCOMPARE(e->outerRect().right(), 110);
    QCOMPARE(e->outerRect().top(), 61);
    QCOMPARE(e->outerRect().bottom(), 70);

    inset.setInsetAlignment(0, Qt::AlignLeft | Qt::AlignRight | Qt::AlignTop);
    layOut(inset);
    QCOMPARE(e->outerRect(), QRect(10, 20, 30, 10));

    inset.setInsetAlignment(0, Qt::Alignment()); // centred both ways
    layOut(inset);
    QCOMPARE(e->outerRect(), QRect(45, 40, 30, 10));

    // The fractions given on adding survive a switch to a ratio rectangle.
    QCOMPARE(inset.insetRect(0), QRectF(0.6, 0.6, 0.4, 0.4));
    inset.setInsetPlacement(0, PlotLayoutInset::ipRatioRect);
    layOut(inset);
    QCOMPARE(e->outerRect(), QRect(70, 50, 40, 20));
  }

  void insetMarginsShrinkTheArea()
  {
    TestInset inset;
    auto *e = new MarginElement;
    inset.addElement(e, QRectF(0, 0, 1, 1));
    inset.setMargins(QMargins(12, 12, 12, 12));
    layOut(inset);
    QCOMPARE(e->outerRect(), QRect(22, 32, 76, 26));
  }

  void invalidIndexes()
  {
    TestInset inset;
    inset.addElement(new MarginElement, Qt::AlignLeft);
    inset.addElement(new MarginElement, Qt::AlignLeft);
    QTest::ignoreMessage(QtDebugMsg, "Qt::Alignment PlotLayoutInset::insetAlignment(int) const Invalid element "
                                     "index: 5");
    QCOMPARE(inset.insetAlignment(5), Qt::AlignHCenter | Qt::AlignVCenter);
    QTest::ignoreMessage(QtDebugMsg, "PlotLayoutInset::InsetPlacement PlotLayoutInset::insetPlacement(int) const "
                                     "Invalid element index: -1");
    QCOMPARE(inset.insetPlacement(-1), PlotLayoutInset::ipRatioRect);
    QTest::ignoreMessage(QtDebugMsg, "QRectF PlotLayoutInset::insetRect(int) const Invalid element index: 2");
    QCOMPARE(inset.insetRect(2), QRectF());
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutInset::setInsetRect(int, const QRectF&) Invalid element index: 2");
    inset.setInsetRect(2, QRectF(0, 0, 1, 1));
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutInset::setInsetAlignment(int, Qt::Alignment) Invalid element "
                                     "index: 9");
    inset.setInsetAlignment(9, Qt::AlignTop);
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutInset::setInsetPlacement(int, InsetPlacement) "
                                     "Invalid element index: 9");
    inset.setInsetPlacement(9, PlotLayoutInset::ipAligned);
    QTest::ignoreMessage(QtDebugMsg, "virtual PlotLayoutElement* PlotLayoutInset::takeAt(int) Attempt to take "
                                     "invalid index: -1");
    QCOMPARE(inset.takeAt(-1), nullptr);
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutInset::addElement(PlotLayoutElement*, Qt::Alignment) Can't add "
                                     "null element");
    inset.addElement(nullptr, Qt::AlignTop);
    QTest::ignoreMessage(QtDebugMsg, "void PlotLayoutInset::addElement(PlotLayoutElement*, const QRectF&) Can't add "
                                     "null element");
    inset.addElement(nullptr, QRectF());
    QCOMPARE(inset.elementCount(), 2);
  }

  void takeKeepsListsInStep()
  {
    PlotWidget plot;
    TestInset inset;
    inset.initializeParentPlot(&plot);
    auto *a = new MarginElement;
    auto *b = new MarginElement;
    inset.addElement(a, Qt::AlignLeft);
    inset.addElement(b, QRectF(0.1, 0.2, 0.3, 0.4));
    QVERIFY(inset.take(a));
    QCOMPARE(inset.elementCount(), 1);
    QCOMPARE(inset.elementAt(0), b);
    QCOMPARE(inset.insetPlacement(0), PlotLayoutInset::ipRatioRect);
    QCOMPARE(inset.insetRect(0), QRectF(0.1, 0.2, 0.3, 0.4));
    QCOMPARE(a->layout(), nullptr);
    QCOMPARE(a->parent(), &plot);
    QTest::ignoreMessage(QtDebugMsg, "virtual bool PlotLayoutInset::take(PlotLayoutElement*) Element not in this "
                                     "layout, couldn't take");
    QVERIFY(!inset.take(a));
    QTest::ignoreMessage(QtDebugMsg, "virtual bool PlotLayoutInset::take(PlotLayoutElement*) Can't take null element");
    QVERIFY(!inset.take(nullptr));
    QCOMPARE(inset.elementCount(), 1);
    delete a;
  }

  void addingTakesFromPreviousLayout()
  {
    PlotLayoutGrid grid;
    TestInset inset;
    auto *e = new MarginElement;
    grid.addElement(0, 0, e);
    inset.addElement(e, Qt::AlignTop);
    QCOMPARE(grid.elementAt(0), nullptr);
    QCOMPARE(e->layout(), static_cast<PlotLayout *>(&inset));
  }

  void destructionDeletesElements()
  {
    QPointer<MarginElement> e = new MarginElement;
    {
      TestInset inset;
      inset.addElement(e, Qt::AlignTop);
    }
    QVERIFY(e.isNull());
  }

  void selectTestOnlyWhereAnElementIsHit()
  {
    PlotWidget plot;
    TestInset inset;
    inset.initializeParentPlot(&plot);
    auto *e = new MarginElement;
    e->setMinimumSize(30, 10);
    inset.addElement(e, Qt::AlignLeft | Qt::AlignTop);
    layOut(inset);
    QCOMPARE(inset.selectTest(QPointF(15, 25), false), 7.92);
    QCOMPARE(inset.selectTest(QPointF(15, 25), true), -1.0);
    QCOMPARE(inset.selectTest(QPointF(90, 60), false), -1.0); // inside the inset, outside every element
    e->setVisible(false);
    QCOMPARE(inset.selectTest(QPointF(15, 25), false), -1.0);
  }
};

class PlotMarginGroupTest : public QObject
{
  Q_OBJECT
private slots:
  void newGroupIsEmpty()
  {
    TestGroup group(nullptr);
    QVERIFY(group.isEmpty());
    for (Plot::MarginSide side : {Plot::msLeft, Plot::msRight, Plot::msTop, Plot::msBottom}) {
      QCOMPARE(group.commonMargin(side), 0);
      QVERIFY(group.elements(side).isEmpty());
    }
  }

  void commonMarginIsLargestNeed()
  {
    TestGroup group(nullptr);
    MarginElement a, b, c;
    a.need = QMargins(20, 0, 0, 0);
    b.need = QMargins(35, 0, 0, 0);
    c.need = QMargins(90, 0, 0, 0);
    c.setAutoMargins(Plot::msRight); // does not count on the left
    b.setMinimumMargins(QMargins(50, 0, 0, 0));
    a.setMarginGroup(Plot::msLeft | Plot::msTop, &group);
    b.setMarginGroup(Plot::msLeft, &group);
    c.setMarginGroup(Plot::msLeft, &group);
    QCOMPARE(group.elements(Plot::msLeft).size(), 3);
    QCOMPARE(group.commonMargin(Plot::msLeft), 50);
    QCOMPARE(group.commonMargin(Plot::msTop), 0);
    QCOMPARE(a.marginGroup(Plot::msLeft), &group);
    QCOMPARE(a.marginGroup(Plot::msRight), nullptr);
  }

  void groupSharesMarginsInLayout()
  {
    PlotLayoutGrid grid;
    auto *upper = new MarginElement;
    auto *lower = new MarginElement;
    upper->need = QMargins(40, 5, 5, 5);
    lower->need = QMargins(25, 5, 60, 5);
    grid.addElement(0, 0, upper);
    grid.addElement(1, 0, lower);
    TestGroup group(nullptr);
    upper->setMarginGroup(Plot::msLeft | Plot::msRight, &group);
    lower->setMarginGroup(Plot::msLeft | Plot::msRight, &group);
    grid.setOuterRect(QRect(0, 0, 300, 200));
    grid.update(PlotLayoutElement::upMargins);
    QCOMPARE(upper->margins(), QMargins(40, 5, 60, 5));
    QCOMPARE(lower->margins(), QMargins(40, 5, 60, 5));
    grid.update(PlotLayoutElement::upLayout);
    QCOMPARE(upper->rect().left(), lower->rect().left());
    QCOMPARE(upper->rect().right(), lower->rect().right());
  }

  void registrationMessages()
  {
    TestGroup group(nullptr);
    MarginElement a;
    a.setMarginGroup(Plot::msLeft, &group);
    const QByteArray address = QByteArray::number(reinterpret_cast<quintptr>(&a));
    const QByteArray already = QByteArray("void PlotMarginGroup::addChild(Plot::MarginSide, PlotLayoutElement*) "
                                          "element is already child of this margin group side ") + address;
    QTest::ignoreMessage(QtDebugMsg, already.constData());
    group.addChildForTest(Plot::msLeft, &a);
    QCOMPARE(group.elements(Plot::msLeft).size(), 1);
    const QByteArray notChild = QByteArray("void PlotMarginGroup::removeChild(Plot::MarginSide, PlotLayoutElement*) "
                                           "element is not child of this margin group side ") + address;
    QTest::ignoreMessage(QtDebugMsg, notChild.constData());
    group.removeChildForTest(Plot::msTop, &a);
  }

  void clearAndDestructionReleaseMembers()
  {
    MarginElement a, b;
    {
      TestGroup group(nullptr);
      a.setMarginGroup(Plot::msAll, &group);
      b.setMarginGroup(Plot::msBottom, &group);
      group.clear();
      QVERIFY(group.isEmpty());
      QVERIFY(a.marginGroups().isEmpty());
      QVERIFY(b.marginGroups().isEmpty());
      a.setMarginGroup(Plot::msTop, &group);
    }
    QCOMPARE(a.marginGroup(Plot::msTop), nullptr); // the group's destruction let it go
  }

  void destroyedElementLeavesGroup()
  {
    TestGroup group(nullptr);
    auto *a = new MarginElement;
    a->setMarginGroup(Plot::msLeft | Plot::msBottom, &group);
    delete a;
    QVERIFY(group.isEmpty());
  }

  void switchingGroups()
  {
    TestGroup g1(nullptr), g2(nullptr);
    MarginElement a;
    a.setMarginGroup(Plot::msLeft, &g1);
    a.setMarginGroup(Plot::msLeft, &g2);
    QVERIFY(g1.isEmpty());
    QCOMPARE(g2.elements(Plot::msLeft), QList<PlotLayoutElement *>({&a}));
    a.setMarginGroup(Plot::msLeft, nullptr);
    QVERIFY(g2.isEmpty());
  }
};

TOVRI_TEST(PlotLayoutInsetTest)
TOVRI_TEST(PlotMarginGroupTest)
#include "tst_layoutinset.moc"
