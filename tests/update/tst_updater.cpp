#include "downloader.h"
#include "fixture.h"
#include "httpserver.h"
#include "settings.h"
#include "testmain.h"
#include "updater.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSignalSpy>
#include <QTest>
#include <QUrlQuery>

#include <limits>

namespace {

QVariant updateKey(const QString &key)
{
  Settings settings;
  return settings.value(QStringLiteral("Update/") + key);
}

void setUpdateKey(const QString &key, const QVariant &value)
{
  Settings settings;
  settings.setValue(QStringLiteral("Update/") + key, value);
}

QString item(const QUrl &request, const QString &key)
{
  return QUrlQuery(request).queryItemValue(key, QUrl::FullyDecoded);
}

// What the window hands over after the logger's identification arrived.
void identify(SimLogger *logger)
{
  delete DeviceInfo::m_deviceInfo;
  DeviceInfo::m_deviceInfo = new DeviceInfo(logger->info);
}

} // namespace

class UpdaterTest : public QObject
{
  Q_OBJECT

  HttpServer *m_server = nullptr;

private slots:
  void initTestCase()
  {
    Downloader::setLoopbackHttpAllowed(true);
    QCoreApplication::setApplicationVersion("2.0.7");
  }
  void cleanupTestCase()
  {
    Downloader::setLoopbackHttpAllowed(false);
    Updater::setServerForTesting(QUrl());
  }
  void init()
  {
    Settings settings;
    settings.remove("Update");
    settings.setValue("Update/auto-check-soft", false);
    m_server = new HttpServer;
    Updater::setServerForTesting(m_server->url("/api"));
  }
  void cleanup()
  {
    delete m_server;
    m_server = nullptr;
  }

  void softwareCheck_data()
  {
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("good");
    QTest::addColumn<bool>("newer");
    QTest::newRow("2.0.10 over 2.0.7") << QByteArray("2.0.10") << true << true;
    QTest::newRow("2.0.7.1") << QByteArray("2.0.7.1") << true << false;
    QTest::newRow("v2.0.8") << QByteArray("v2.0.8") << true << false;
    QTest::newRow("2..8") << QByteArray("2..8") << true << true;
    QTest::newRow("2148.0.0 past 32 bits") << QByteArray("2148.0.0") << true << true;
    QTest::newRow("huge part counts 0") << QByteArray("99999999999.0.0") << true << false;
    QTest::newRow("0.1000.0 equals 1.0.0") << QByteArray("0.1000.0") << true << false;
    QTest::newRow("2.1 has two parts") << QByteArray("2.1") << false << false;
  }

  void softwareCheck()
  {
    QFETCH(QByteArray, version);
    QFETCH(bool, good);
    QFETCH(bool, newer);
    m_server->route("/api/getsoftware", HttpReply::xml("<VERSION>" + version + "</VERSION>"));
    setUpdateKey("sw-version", "1.0.0");
    setUpdateKey("has-new-sw", true);
    Updater updater;
    QSignalSpy spy(&updater, &Updater::newSWAvailable);
    updater.on_checkUpdatesSW();
    QVERIFY(settle(spy));
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), newer);
    QCOMPARE(m_server->requests.size(), 1);
    const QUrl request = m_server->requests.at(0);
    QCOMPARE(request.path(), QString("/api/getsoftware"));
    QCOMPARE(item(request, "model"), QString("tovri"));
    QCOMPARE(item(request, "os"), QString("linux"));
    // Keys change only on a good reply.
    QCOMPARE(updateKey("sw-version").toString(), good ? QString::fromLatin1(version) : QString("1.0.0"));
    QCOMPARE(updateKey("has-new-sw").toBool(), good ? newer : true);
    QCOMPARE(updateKey("software").isValid(), good);
    QCOMPARE(updater.needCheckForUpdate(QString()), !good);
  }

  void firmwareQuery_data()
  {
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("revision");
    QTest::newRow("logger") << "500100001" << "tovri" << "0";
    QTest::newRow("power supply") << "500200001" << "kelvaropower" << "1";
    QTest::newRow("power supply V2") << "500300001" << "kelvaropowerv2" << "1";
    QTest::newRow("other") << "499900001" << "other" << "0";
    QTest::newRow("delimiters in the serial") << "5001&sn=1+2#x%20=y" << "tovri" << "0";
  }

  void firmwareQuery()
  {
    QFETCH(QString, serial);
    QFETCH(QString, model);
    QFETCH(QString, revision);
    m_server->route("/api/getfirmware", HttpReply::xml("<VERSION>1.0.0</VERSION>"));
    Downloader downloader;
    QSignalSpy spy(&downloader, &Downloader::downloadInfoComplete);
    downloader.startDownloadInfo(Updater::firmwareQuery(serial));
    QVERIFY(settle(spy));
    QCOMPARE(m_server->requests.size(), 1);
    const QUrl request = m_server->requests.at(0);
    QCOMPARE(request.path(), QString("/api/getfirmware"));
    const QUrlQuery query(request);
    QCOMPARE(query.allQueryItemValues("sn", QUrl::FullyDecoded), QStringList{serial});
    QCOMPARE(query.queryItems().size(), 5);
    QCOMPARE(item(request, "app"), QString("tovri"));
    QCOMPARE(item(request, "model"), model);
    QCOMPARE(item(request, "revision"), revision);
    QCOMPARE(item(request, "os"), QString("win"));
  }

  void firmwareAgainstTheDevice_data()
  {
    QTest::addColumn<int>("device");
    QTest::addColumn<QByteArray>("server");
    QTest::addColumn<bool>("newer");
    // 0: the logger, identified as 2.05 (version byte 105); 1: the same
    // logger with another's identification; 2: a supply whose live values
    // say 1.5; 3: a supply that sent no live values yet ("0.0").
    QTest::newRow("logger older") << 0 << QByteArray("2.6.0") << true;
    QTest::newRow("logger equal") << 0 << QByteArray("2.5.0") << false;
    QTest::newRow("logger newer") << 0 << QByteArray("2.4.9") << false;
    QTest::newRow("another logger's identification") << 1 << QByteArray("99.0.0") << false;
    QTest::newRow("supply older") << 2 << QByteArray("1.6.0") << true;
    QTest::newRow("supply equal") << 2 << QByteArray("1.5.0") << false;
    QTest::newRow("supply newer") << 2 << QByteArray("1.4.0") << false;
    QTest::newRow("supply without live values") << 3 << QByteArray("99.0.0") << false;
  }

  void firmwareAgainstTheDevice()
  {
    QFETCH(int, device);
    QFETCH(QByteArray, server);
    QFETCH(bool, newer);
    m_server->route("/api/getfirmware", HttpReply::xml("<VERSION>" + server + "</VERSION>"));
    LinkRig<SimLogger> rig;
    Updater updater;
    if (device == 0) {
      identify(rig.device);
    } else if (device == 1) {
      SimLogger other(QStringLiteral("500100999"));
      identify(&other);
    } else {
      rig.bus.unplug(rig.device);
      rig.link.checkTimerTick();
      rig.bus.add<SimPowerSupply>();
      rig.link.checkTimerTick();
      QCOMPARE(rig.link.model(), QString("5002"));
      updater.setDeviceFirmware(device == 2 ? "1.5" : "0.0");
    }
    QSignalSpy spy(&updater, &Updater::newFWAvailable);
    // Twice: the first reply must not hide new firmware from the second.
    for (int round = 1; round <= 2; ++round) {
      updater.on_checkUpdatesFW(QString());
      QVERIFY(settle(spy, round));
      QCOMPARE(spy.size(), round);
      QCOMPARE(spy.last().at(0).toBool(), newer);
      QCOMPARE(updateKey("has-new-fw").toBool(), newer);
      QCOMPARE(updateKey("fw-version").toString(), QString::fromLatin1(server));
    }
    // Only a comparison with the device's version counts as today's check.
    QCOMPARE(updater.needCheckForUpdate(rig.link.serial()), device == 1 || device == 3);
  }

  void overlappingChecksAnsweredInReverse()
  {
    HttpReply software = HttpReply::xml("<VERSION>1.0.0</VERSION><LINK>https://example.invalid/page</LINK>");
    software.hold = true;
    HttpReply firmware = HttpReply::xml("<VERSION>9.0.0</VERSION><LINK>https://example.invalid/fw</LINK>");
    firmware.hold = true;
    m_server->route("/api/getsoftware", software);
    m_server->route("/api/getfirmware", firmware);
    LinkRig<SimLogger> rig;
    identify(rig.device);
    Updater updater;
    QSignalSpy sw(&updater, &Updater::newSWAvailable);
    QSignalSpy fw(&updater, &Updater::newFWAvailable);
    updater.on_checkUpdatesSW();
    updater.on_checkUpdatesFW(QString());
    QTRY_COMPARE(m_server->requests.size(), 2);
    m_server->release("/api/getfirmware");
    QVERIFY(fw.wait());
    m_server->release("/api/getsoftware");
    QVERIFY(settle(sw));
    QCOMPARE(sw.size(), 1);
    QCOMPARE(fw.size(), 1);
    QCOMPARE(sw.at(0).at(0).toBool(), false);
    QCOMPARE(fw.at(0).at(0).toBool(), true);
    QCOMPARE(updateKey("sw-version").toString(), QString("1.0.0"));
    QCOMPARE(updateKey("fw-version").toString(), QString("9.0.0"));
    QCOMPARE(updater.firmwareDownloader()->downloadLink(), QString("https://example.invalid/fw"));
    QCOMPARE(updater.softwareDownloader()->downloadLink(), QString("https://example.invalid/page"));
  }

  void failureBetweenTwoGoodChecks()
  {
    m_server->route("/api/getfirmware", HttpReply::xml("<VERSION>3.0.0</VERSION>"));
    LinkRig<SimLogger> rig;
    identify(rig.device);
    Updater updater;
    QSignalSpy spy(&updater, &Updater::newFWAvailable);
    updater.on_checkUpdatesFW(QString());
    QVERIFY(settle(spy));
    const QVariant checked = updateKey("firmware_500100001");
    QVERIFY(checked.isValid());

    const QList<HttpReply> failures = {HttpReply::make(404, "<html>no</html>", "text/html"),
                                       HttpReply::make(200, "<UPDATE><VERSION>"),
                                       HttpReply::xml("<VERSION>3.0</VERSION>")};
    for (const HttpReply &failure : failures) {
      m_server->route("/api/getfirmware", failure);
      setUpdateKey("firmware_500100001", 1000);
      updater.on_checkUpdatesFW(QString());
      QTRY_COMPARE(spy.size(), 2);
      QCOMPARE(spy.takeLast().at(0).toBool(), false);
      QVERIFY(!updater.firmwareDownloader()->error().isEmpty());
      QCOMPARE(updateKey("fw-version").toString(), QString("3.0.0"));
      QCOMPARE(updateKey("has-new-fw").toBool(), true);
      QCOMPARE(updateKey("firmware_500100001").toLongLong(), 1000);
    }

    m_server->route("/api/getfirmware", HttpReply::xml("<VERSION>3.0.0</VERSION>"));
    updater.on_checkUpdatesFW(QString());
    QTRY_COMPARE(spy.size(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), true);
  }

  // A last-check time no check can have written counts as never checked.
  void storedCheckTimes_data()
  {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("due");
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QTest::newRow("an hour ago") << QVariant(now - 3600000) << false;
    QTest::newRow("two days ago") << QVariant(now - 2 * 86400000LL) << true;
    QTest::newRow("lowest 64-bit number") << QVariant(std::numeric_limits<qint64>::min()) << true;
    QTest::newRow("-1") << QVariant(qint64(-1)) << true;
    QTest::newRow("a year ahead") << QVariant(now + 365 * 86400000LL) << true;
    QTest::newRow("not a time") << QVariant("yesterday") << true;
  }

  void storedCheckTimes()
  {
    QFETCH(QVariant, stored);
    QFETCH(bool, due);
    setUpdateKey("auto-check-soft", true);
    setUpdateKey("software", stored);
    setUpdateKey("firmware_500100001", stored);
    m_server->route("/api/getfirmware", HttpReply::xml("<VERSION>2.0.7</VERSION>"));
    LinkRig<SimLogger> rig;
    identify(rig.device);
    Updater updater;
    QCOMPARE(updater.findChild<QTimer *>("softwareCheckTimer")->isActive(), due);
    QCOMPARE(updater.needCheckForUpdate(QString()), due);
    QCOMPARE(updater.needCheckForUpdate("500100001"), due);
    if (due) {
      QSignalSpy fw(&updater, &Updater::newFWAvailable);
      updater.on_deviceConnected("500100001");
      QVERIFY(settle(fw));
      QCOMPARE(m_server->requests.size(), 1);
      QCOMPARE(m_server->requests.at(0).path(), QString("/api/getfirmware"));
    }
  }

  void automaticChecks_data()
  {
    QTest::addColumn<bool>("software");
    QTest::addColumn<bool>("firmware");
    QTest::newRow("both on") << true << true;
    QTest::newRow("both off") << false << false;
  }

  void automaticChecks()
  {
    QFETCH(bool, software);
    QFETCH(bool, firmware);
    setUpdateKey("auto-check-soft", software);
    setUpdateKey("auto-check-firm", firmware);
    m_server->route("/api/getsoftware", HttpReply::xml("<VERSION>2.0.7</VERSION>"));
    m_server->route("/api/getfirmware", HttpReply::xml("<VERSION>2.0.7</VERSION>"));
    LinkRig<SimLogger> rig;
    identify(rig.device);
    Updater updater;
    QSignalSpy sw(&updater, &Updater::newSWAvailable);
    QSignalSpy fw(&updater, &Updater::newFWAvailable);

    auto *timer = updater.findChild<QTimer *>("softwareCheckTimer");
    QVERIFY(timer);
    QCOMPARE(timer->isActive(), software);
    if (software) {
      QCOMPARE(timer->interval(), Updater::StartDelayMs);
      timer->start(0); // the five seconds are over
      QVERIFY(settle(sw));
    }
    // The window's automatic entry when a device has been identified.
    updater.on_deviceConnected("500100001");
    if (firmware)
      QVERIFY(settle(fw));
    else
      QTest::qWait(50);
    QCOMPARE(m_server->requests.size(), int(software) + int(firmware));

    // Checked today: the next arrival asks nothing; an explicit check does.
    updater.on_deviceConnected("500100001");
    QTest::qWait(50);
    QCOMPARE(m_server->requests.size(), int(software) + int(firmware));
    updater.on_checkUpdatesFW(QString());
    QTRY_COMPARE(fw.size(), int(firmware) + 1);
    QCOMPARE(m_server->requests.size(), int(software) + int(firmware) + 1);

    // A new updater (the next start) with today's software check stored asks nothing.
    Updater next;
    QCOMPARE(next.findChild<QTimer *>("softwareCheckTimer")->isActive(), false);
  }
};

TOVRI_TEST(UpdaterTest)
#include "tst_updater.moc"
