#include "chartfixture.h"
#include "colorsagent.h"
#include "testmain.h"

#include <QTest>

namespace {
QString group(bool dark)
{
  return dark ? QStringLiteral("Options/Dark") : QStringLiteral("Options/Light");
}

QMap<QString, QVariant> stored(bool dark)
{
  Settings settings;
  settings.beginGroup(group(dark));
  QMap<QString, QVariant> out;
  for (const QString &key : settings.childKeys())
    out.insert(key, settings.value(key));
  return out;
}

void store(bool dark, const QString &key, const QVariant &value)
{
  Settings settings;
  settings.beginGroup(group(dark));
  settings.setValue(key, value);
}
} // namespace

class ColorsAgentTest : public QObject
{
  Q_OBJECT

private slots:
  void init() { removeSettingsFile(); }
  void cleanupTestCase() { removeSettingsFile(); }

  // Without keys both themes start from the built-in colours and the first
  // agent writes exactly the ten keys of its own theme, never the other's.
  void defaultsAndThemesApart_data()
  {
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
  }

  void defaultsAndThemesApart()
  {
    QFETCH(bool, dark);
    store(!dark, "channel_0", "#010203");
    const QMap<QString, QVariant> other = stored(!dark);
    {
      ColorsAgent agent(dark);
      QCOMPARE(agent.colors.size(), 3);
      for (const ColorsTable &table : agent.colors)
        QCOMPARE(QList<QColor>({table[0], table[1], table[2]}), QList<QColor>({Qt::red, Qt::blue, Qt::green}));
      QCOMPARE(agent.background, QColor(Qt::white));
    }
    QMap<QString, QVariant> expected;
    for (const char *table : {"channel", "report", "mouse"}) {
      expected.insert(QString("%1_0").arg(table), "#ff0000");
      expected.insert(QString("%1_1").arg(table), "#0000ff");
      expected.insert(QString("%1_2").arg(table), "#00ff00");
    }
    expected.insert("background", "#ffffff");
    QCOMPARE(stored(dark), expected);
    QCOMPARE(stored(!dark), other);
  }

  void storedTextsAreRead_data()
  {
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QVariant>("text");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("saved");
    QTest::newRow("colour name") << false << QVariant("yellow") << QColor(Qt::yellow) << "#ffff00";
    QTest::newRow("hex, dark") << true << QVariant("#123456") << QColor("#123456") << "#123456";
    // A damaged key keeps the built-in colour and is repaired by the save.
    QTest::newRow("not a colour") << false << QVariant("sky-ish") << QColor(Qt::blue) << "#0000ff";
    QTest::newRow("cut hex") << true << QVariant("#12345") << QColor(Qt::blue) << "#0000ff";
    QTest::newRow("empty") << false << QVariant("") << QColor(Qt::blue) << "#0000ff";
    QTest::newRow("list") << false << QVariant(QStringList{"1", "2"}) << QColor(Qt::blue) << "#0000ff";
  }

  void storedTextsAreRead()
  {
    QFETCH(bool, dark);
    QFETCH(QVariant, text);
    QFETCH(QColor, color);
    QFETCH(QString, saved);
    store(dark, "report_1", text);
    {
      ColorsAgent agent(dark);
      QCOMPARE(agent.colors.at(ColorsAgent::Report)[1], color);
      QCOMPARE(agent.colors.at(ColorsAgent::Chart)[1], QColor(Qt::blue));
      agent.colors[ColorsAgent::Mouse][2] = QColor("#445566");
    }
    QCOMPARE(stored(dark).value("report_1").toString(), saved);
    ColorsAgent again(dark);
    QCOMPARE(again.colors.at(ColorsAgent::Mouse)[2], QColor("#445566"));
  }

  // A colour too close to its background is mixed towards white or black
  // just far enough; one that reads already is kept.
  void readableOn_data()
  {
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<bool>("kept");
    QTest::newRow("blue on dark grey") << QColor(Qt::blue) << QColor(53, 53, 53) << false;
    QTest::newRow("red on dark grey") << QColor(Qt::red) << QColor(53, 53, 53) << false;
    QTest::newRow("green on dark grey") << QColor(Qt::green) << QColor(53, 53, 53) << true;
    QTest::newRow("green on white") << QColor(Qt::green) << QColor(Qt::white) << false;
    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << true;
    QTest::newRow("grey on grey") << QColor(128, 128, 128) << QColor(128, 128, 128) << false;
  }
  void readableOn()
  {
    QFETCH(QColor, color);
    QFETCH(QColor, background);
    QFETCH(bool, kept);
    QCOMPARE(ColorsAgent::contrast(Qt::white, Qt::black), 21.0);
    QCOMPARE(ColorsAgent::contrast(color, color), 1.0);
    const QColor readable = ColorsAgent::readableOn(color, background);
    QVERIFY2(ColorsAgent::contrast(readable, background) >= 4.5, qPrintable(readable.name()));
    QCOMPARE(readable == color, kept);
    // Just far enough: one step less would not do.
    if (!kept && color != background)
      QVERIFY(ColorsAgent::contrast(readable, background) < 6.0);
  }
};

TOVRI_TEST(ColorsAgentTest)
#include "tst_colorsagent.moc"
