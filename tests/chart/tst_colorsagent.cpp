#include "chartfixture.h"
#include "colorsagent.h"
#include "settings.h"
#include "testmain.h"

#include <QTest>

namespace {
const QStringList kKeys = {"background", "channel_0", "channel_1", "channel_2", "mouse_0",
                           "mouse_1",    "mouse_2",   "report_0",  "report_1",  "report_2"};

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

  void addTheme()
  {
    QTest::addColumn<bool>("dark");
  }

private slots:
  void init() { removeSettingsFile(); }
  void cleanupTestCase() { removeSettingsFile(); }

  void defaultsWrittenAsTenKeys_data()
  {
    addTheme();
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
  }

  void defaultsWrittenAsTenKeys()
  {
    QFETCH(bool, dark);
    {
      ColorsAgent agent(dark);
      QCOMPARE(agent.colors.size(), 3);
      for (const ColorsTable &table : agent.colors) {
        QCOMPARE(table[0], QColor(Qt::red));
        QCOMPARE(table[1], QColor(Qt::blue));
        QCOMPARE(table[2], QColor(Qt::green));
      }
      QCOMPARE(agent.background, QColor(Qt::white));
    }
    const QMap<QString, QVariant> keys = stored(dark);
    QCOMPARE(keys.keys(), kKeys);
    for (const QString &key : kKeys) {
      QString expected = key == "background" ? "#ffffff" : key.endsWith('0') ? "#ff0000"
                                                         : key.endsWith('1') ? "#0000ff"
                                                                             : "#00ff00";
      QCOMPARE(keys.value(key).toString(), expected);
    }
    QVERIFY(stored(!dark).isEmpty());
  }

  void storedTextsAreRead_data()
  {
    addTheme();
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("saved");
    QTest::newRow("colour name") << false << "yellow" << QColor(Qt::yellow) << "#ffff00";
    QTest::newRow("hex, dark") << true << "#123456" << QColor("#123456") << "#123456";
    QTest::newRow("short hex") << false << "#abc" << QColor("#aabbcc") << "#aabbcc";
    // A damaged key keeps the built-in colour and is repaired by the save.
    QTest::newRow("not a colour") << false << "sky-ish" << QColor(Qt::blue) << "#0000ff";
    QTest::newRow("cut hex") << true << "#12345" << QColor(Qt::blue) << "#0000ff";
    QTest::newRow("empty") << false << "" << QColor(Qt::blue) << "#0000ff";
    QTest::newRow("list") << false << "1,2,3" << QColor(Qt::blue) << "#0000ff";
  }

  void storedTextsAreRead()
  {
    QFETCH(bool, dark);
    QFETCH(QString, text);
    QFETCH(QColor, color);
    QFETCH(QString, saved);
    if (text.contains(','))
      store(dark, "report_1", text.split(','));
    else
      store(dark, "report_1", text);
    {
      ColorsAgent agent(dark);
      QCOMPARE(agent.colors.at(ColorsAgent::Report)[1], color);
      QCOMPARE(agent.colors.at(ColorsAgent::Chart)[1], QColor(Qt::blue));
    }
    QCOMPARE(stored(dark).value("report_1").toString(), saved);
  }

  void themesStayApart_data()
  {
    addTheme();
    QTest::newRow("light agent") << false;
    QTest::newRow("dark agent") << true;
  }

  void themesStayApart()
  {
    QFETCH(bool, dark);
    store(!dark, "channel_0", "#010203");
    store(!dark, "background", "#000000");
    const QMap<QString, QVariant> other = stored(!dark);
    {
      ColorsAgent agent(dark);
      QCOMPARE(agent.colors.at(ColorsAgent::Chart)[0], QColor(Qt::red));
      QCOMPARE(agent.background, QColor(Qt::white));
      agent.colors[ColorsAgent::Mouse][2] = QColor("#445566");
      agent.save();
      QCOMPARE(stored(dark).value("mouse_2").toString(), QStringLiteral("#445566"));
    }
    QCOMPARE(stored(!dark), other);
    // The next agent of this theme reads the edit back.
    ColorsAgent again(dark);
    QCOMPARE(again.colors.at(ColorsAgent::Mouse)[2], QColor("#445566"));
  }
};

TOVRI_TEST(ColorsAgentTest)
#include "tst_colorsagent.moc"
