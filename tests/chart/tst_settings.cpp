#include "settings.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class SettingsTest : public QObject
{
  Q_OBJECT

  QString m_home;

private slots:
  void initTestCase()
  {
    // The test main gives every run a fresh HOME beside its own TMPDIR, so a
    // run by hand never writes into the user's settings.
    m_home = QDir::homePath();
    QVERIFY(!m_home.isEmpty());
    QCOMPARE(QFileInfo(m_home).absolutePath(), QFileInfo(QDir::tempPath()).absolutePath());
    QVERIFY(QDir(m_home).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
  }

  void fileLivesUnderTheHomeFolder()
  {
    const QString app = QCoreApplication::applicationName();
    QCOMPARE(Settings::localDataDir(), m_home + "/Quillomar/" + app);
    QCOMPARE(Settings::localDataPath("x.json"), m_home + "/Quillomar/" + app + "/x.json");
    Settings s;
    QCOMPARE(s.fileName(), m_home + "/Quillomar/" + app + "/" + app + ".ini");
    QCOMPARE(s.format(), QSettings::IniFormat);
  }

  // Reading creates neither folder nor file; the first write makes both.
  void folderAppearsOnlyWithTheFirstWrite()
  {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray savedHome = qgetenv("HOME");
    struct Restore
    {
      QByteArray home;
      ~Restore() { qputenv("HOME", home); }
    } restore{savedHome};
    qputenv("HOME", home.path().toLocal8Bit());

    const QString dir = Settings::localDataDir();
    QCOMPARE(dir, home.path() + "/Quillomar/" + QCoreApplication::applicationName());
    {
      Settings s;
      s.beginGroup("Options");
      QVERIFY(!s.contains("thresholds"));
      s.endGroup();
    }
    QVERIFY(!QDir(dir).exists());
    {
      Settings s;
      s.beginGroup("Main");
      s.setValue("save-path", "/data");
      s.endGroup();
    }
    QVERIFY(QFile::exists(Settings::localDataPath(QCoreApplication::applicationName() + ".ini")));
  }

  void roundTrip()
  {
    {
      Settings s;
      s.beginGroup("Main");
      s.setValue("save-path", "/data/captures");
      s.setValue("marker-1", 12.25);
      s.setValue("geometry", QByteArray("\x01\x02\x00\xff", 4));
      s.endGroup();
      s.beginGroup("Options");
      s.beginGroup("Dark");
      s.setValue("channel_0", "#ff0000");
      s.endGroup();
      s.endGroup();
    }
    QVERIFY(QFile::exists(Settings::localDataPath(QCoreApplication::applicationName() + ".ini")));
    Settings s;
    s.beginGroup("Main");
    QCOMPARE(s.value("save-path").toString(), QString("/data/captures"));
    QCOMPARE(s.value("marker-1").toDouble(), 12.25);
    QCOMPARE(s.value("geometry").toByteArray(), QByteArray("\x01\x02\x00\xff", 4));
    s.endGroup();
    QCOMPARE(s.value("Options/Dark/channel_0").toString(), QString("#ff0000"));
  }
};

TOVRI_TEST(SettingsTest)
#include "tst_settings.moc"
