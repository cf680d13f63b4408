#include "helpers.h"
#include "powerdisplay.h"
#include "powerpackets.h"
#include "testmain.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace {

QAction *entry(PowerDisplay &display, int id)
{
  for (QAction *action : display.menu()->actions()) {
    if (action->data().toInt() == id)
      return action;
  }
  return nullptr;
}

QList<int> menuIds(PowerDisplay &display)
{
  QList<int> ids;
  for (QAction *action : display.menu()->actions())
    ids.append(action->data().toInt());
  return ids;
}

// What a zone shows for an id, formatted by a packet in the display's
// starting state (Celsius, 24-hour clock, no date format, zero values).
QString sampleText(int id)
{
  return id == 0 ? QStringLiteral("NONE") : PowerDataPacket().getData(id);
}

void hover(PowerDisplay &display, QPoint pos)
{
  QMouseEvent move(QEvent::MouseMove, pos, display.mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&display, &move);
}

QList<int> range(int from, int to)
{
  QList<int> ids;
  for (int id = from; id <= to; ++id)
    ids.append(id);
  return ids;
}

} // namespace

class PowerDisplayTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { Helpers::powerMode = false; }
  void cleanup() { init(); }

  void choosingFromTheMenu_data()
  {
    QTest::addColumn<QList<int>>("fields");
    QTest::addColumn<int>("zone");
    QTest::addColumn<int>("id"); // -1: no entry chosen
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("moves from zone 0 to 1") << QList<int>{3, 0, 0} << 1 << 3 << QList<int>{0, 3, 0};
    QTest::newRow("NONE clears only its zone") << QList<int>{3, 4, 7} << 2 << 0 << QList<int>{3, 4, 0};
    QTest::newRow("replaces") << QList<int>{3, 4, 0} << 0 << 9 << QList<int>{9, 4, 0};
    QTest::newRow("outside the zones") << QList<int>{3, 4, 7} << -1 << 9 << QList<int>{3, 4, 7};
    QTest::newRow("top zone index") << QList<int>{3, 4, 7} << 3 << 9 << QList<int>{3, 4, 7};
    QTest::newRow("nothing chosen") << QList<int>{3, 4, 7} << 1 << -1 << QList<int>{3, 4, 7};
  }
  void choosingFromTheMenu()
  {
    QFETCH(QList<int>, fields);
    QFETCH(int, zone);
    QFETCH(int, id);
    QFETCH(QList<int>, expected);
    PowerDisplay display;
    display.setMenu(2);
    display.setTopText("TOTAL");
    display.applyFields(fields);
    display.applyMenu(zone, id < 0 ? nullptr : entry(display, id));
    QCOMPARE(display.fieldIds(), expected);
    const QList<QString> texts = display.texts();
    QCOMPARE(texts.size(), 4);
    QCOMPARE(texts.at(0), QString("TOTAL"));
    for (int z = 0; z < 3; ++z)
      QCOMPARE(texts.at(z + 1), sampleText(expected.at(z)));
    // The picture: a black disc inside a grey ring on a transparent ground.
    const QImage &image = display.image();
    QCOMPARE(image.size(), QSize(120, 120));
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(image.pixelColor(59, 59 - 38), QColor(Qt::black));
    QCOMPARE(image.pixelColor(59, 59 - 50), QColor(Qt::darkGray).darker(200));
  }

  void zoneUnderThePointer_data()
  {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("zone");
    const QSize image(120, 120);
    QTest::newRow("zone 0 top left corner") << image << QPoint(27, 39) << 0;
    QTest::newRow("left of zone 0") << image << QPoint(26, 39) << -1;
    QTest::newRow("right of zone 0") << image << QPoint(91, 56) << -1;
    QTest::newRow("zone 1 top") << image << QPoint(59, 61) << 1;
    QTest::newRow("zone 1 bottom right") << image << QPoint(90, 78) << 1;
    QTest::newRow("zone 2 top left") << image << QPoint(39, 82) << 2;
    QTest::newRow("left of zone 2") << image << QPoint(38, 82) << -1;
    QTest::newRow("top zone") << image << QPoint(59, 30) << -1;
    QTest::newRow("wide, zone 0 corner") << QSize(200, 150) << QPoint(67, 54) << 0;
    QTest::newRow("wide, left of zone 0") << QSize(200, 150) << QPoint(66, 54) << -1;
    QTest::newRow("wide, zone 2") << QSize(200, 150) << QPoint(79, 97) << 2;
    QTest::newRow("odd, shifted by one") << QSize(121, 121) << QPoint(28, 40) << 0;
    QTest::newRow("odd, not shifted back") << QSize(121, 121) << QPoint(27, 39) << -1;
    QTest::newRow("small, zone 0") << QSize(60, 60) << QPoint(0, 9) << 0;
    QTest::newRow("small, above zone 0") << QSize(60, 60) << QPoint(0, 8) << -1;
  }
  void zoneUnderThePointer()
  {
    QFETCH(QSize, size);
    QFETCH(QPoint, pos);
    QFETCH(int, zone);
    PowerDisplay display;
    display.setMinimumSize(1, 1);
    display.resize(size);
    QCOMPARE(display.size(), size);
    QCOMPARE(display.field(pos), zone);
  }

  void menuPerKind_data()
  {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("powerV1");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QString>("last");
    QTest::newRow("total, V1") << 2 << true << range(0, 15) << "USB Output Current";
    QTest::newRow("total") << 2 << false << range(0, 13) << "Time";
    QTest::newRow("site, V1") << 16 << true << range(0, 15) << "USB Output Current";
    QTest::newRow("power") << 4 << false << QList<int>{0, 3, 4, 7, 8, 9, 10} << "Total Power Consumption";
    QTest::newRow("aux") << 8 << false << (QList<int>{0} + range(14, 21)) << "USB4 Output Current";
    QTest::newRow("aux, V1") << 8 << true << (QList<int>{0} + range(14, 21)) << "";
    QTest::newRow("unknown kind") << 3 << false << QList<int>{} << "";
  }
  void menuPerKind()
  {
    QFETCH(int, kind);
    QFETCH(bool, powerV1);
    QFETCH(QList<int>, ids);
    QFETCH(QString, last);
    Helpers::powerMode = powerV1;
    PowerDisplay display;
    display.setMenu(kind);
    display.setMenu(kind); // a second fill replaces the first
    QCOMPARE(menuIds(display), ids);
    const QList<QAction *> actions = display.menu()->actions();
    for (QAction *action : actions)
      QVERIFY(action->isCheckable());
    if (!last.isEmpty())
      QCOMPARE(actions.last()->text(), last);
    if (kind == 8)
      QCOMPARE(display.actionText(14), QString(powerV1 ? "USB Output Voltage" : "USB1 Output Voltage"));
    for (int id : ids)
      QVERIFY(PowerDisplay::m_mapMenuItems.contains(qint16(id)));
    QCOMPARE(display.actionText(99), QString());
    QCOMPARE(display.actionData(nullptr), 0);
  }

  void hoverShowsTheValueName()
  {
    PowerDisplay display;
    display.resize(120, 120);
    display.setMenu(2);
    display.applyFields({3, 0, 99});
    // An id no entry carries shows its (empty) sample text.
    QCOMPARE(display.texts().at(3), QString());

    hover(display, QPoint(59, 45));
    QCOMPARE(display.cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(display.toolTip(), QString("Main Output Voltage"));
    hover(display, QPoint(59, 70));
    QCOMPARE(display.toolTip(), QString("NONE"));
    hover(display, QPoint(59, 88));
    QCOMPARE(display.cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(display.toolTip(), QString());
    hover(display, QPoint(2, 2));
    QCOMPARE(display.cursor().shape(), Qt::ArrowCursor);
  }

  void formatsComeFromTheOwnersPacket()
  {
    PowerDisplay display;
    display.setMenu(2);
    display.applyFields({11, 13, 1});
    // The display's own packet: Celsius and the 24-hour clock.
    QCOMPARE(display.texts().at(1), QString("0") + QChar(0x00B0) + "C");
    QCOMPARE(display.texts().at(2), sampleText(13));

    PowerDataPacket packet;
    packet.setBlock(8, uchar(qint8(-10)));
    packet.writeU32(2 + 22, quint32(1700000000 + 15 * 3600));
    packet.setCelsius(true);
    packet.setClock24(true);
    packet.setDateFormat("yyyy-MM-dd");
    display.setDataPacket(&packet);
    display.adjustFormats();
    const QString clock24 = display.texts().at(2);
    QCOMPARE(clock24, packet.getData(13));
    QCOMPARE(display.texts().at(3), packet.getData(1));

    // The dialog changes its packet's formats, then asks for a redraw.
    packet.setClock24(false);
    packet.setCelsius(false);
    QCOMPARE(display.texts().at(2), clock24);
    display.adjustFormats();
    QVERIFY(display.texts().at(2) != clock24);
    QCOMPARE(display.texts().at(2), packet.getData(13));
    QCOMPARE(display.texts().at(1), QString("14") + QChar(0x00B0) + "F");

    // Back to the display's own packet.
    display.setDataPacket(nullptr);
    display.adjustFormats();
    QCOMPARE(display.texts().at(2), sampleText(13));
  }

  void shortListsReadNothingPastTheirEnd()
  {
    PowerDisplay display;
    display.applyFields({7});
    QCOMPARE(display.fieldIds(), (QList<int>{7, 0, 0}));
    display.applyFields({});
    QCOMPARE(display.fieldIds(), (QList<int>{7, 0, 0}));
    display.applyFields({1000, -4, 22, 5});
    QCOMPARE(display.fieldIds(), (QList<int>{1000, -4, 22}));
    QCOMPARE(display.texts().mid(1), (QList<QString>{QString(), QString(), QString()}));
    QList<QString> two{"TOP", "A"};
    display.update(two);
    QCOMPARE(display.texts(), (QList<QString>{"TOP", "A", QString(), QString()}));
    QList<QString> none;
    display.update(none);
    QCOMPARE(display.texts().size(), 4);
  }

  void clickOpensTheZoneMenu()
  {
    PowerDisplay display;
    display.setMinimumSize(120, 120);
    display.setMaximumSize(120, 120);
    display.setMenu(2);
    display.applyFields({3, 5, 0});
    display.show();
    QVERIFY(QTest::qWaitForWindowExposed(&display));

    QList<int> checkedWhenShown;
    bool opened = false;
    auto answer = [&](int chooseId) {
      QTimer::singleShot(0, &display, [&, chooseId] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
          return;
        opened = true;
        for (QAction *action : menu->actions()) {
          if (action->isChecked())
            checkedWhenShown.append(action->data().toInt());
        }
        if (chooseId < 0) {
          menu->close();
          return;
        }
        menu->setActiveAction(entry(display, chooseId));
        QTest::keyClick(menu, Qt::Key_Return);
      });
    };

    const QPoint zone1(59, 70);
    QCursor::setPos(display.mapToGlobal(zone1));
    answer(2);
    QTest::mouseClick(&display, Qt::LeftButton, {}, zone1);
    QVERIFY(opened);
    QCOMPARE(display.fieldIds(), (QList<int>{3, 2, 0}));
    // The entry of the value the zone shows is ticked when the menu opens.
    QCOMPARE(QCursor::pos(), display.mapToGlobal(zone1));
    QCOMPARE(checkedWhenShown, QList<int>{5});

    // The top zone opens nothing.
    opened = false;
    answer(-1);
    QTest::mouseClick(&display, Qt::LeftButton, {}, QPoint(59, 30));
    QCoreApplication::processEvents();
    QVERIFY(!opened);
    QCOMPARE(display.fieldIds(), (QList<int>{3, 2, 0}));
  }
};

TOVRI_TEST(PowerDisplayTest)
#include "tst_powerdisplay.moc"
