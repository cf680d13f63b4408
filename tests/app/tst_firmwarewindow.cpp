#include "appfixture.h"
#include "controlpanel.h"
#include "firmwareimage.h"
#include "helpers.h"
#include "httpserver.h"
#include "processstate.h"
#include "testmain.h"
#include "updatedialog.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

using namespace AppFixture;

namespace {

QString writeImage(const QTemporaryDir &dir, quint32 magic, int payload)
{
  QByteArray bytes(FirmwareImage::HeaderSize, 'H');
  qToLittleEndian(magic, bytes.data());
  for (int i = 0; i < payload; ++i)
    bytes.append(char(i * 13 + 5));
  const QString path = dir.filePath(QStringLiteral("firmware.bin"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    return QString();
  return path;
}

// Flashes `path` as the options dialog does and waits for the outcome.
QString flash(const QString &path)
{
  UpdateDialog dialog(path, true);
  dialog.show();
  QString text;
  (void)QTest::qWaitFor(
    [&] {
      text = dialog.statusText();
      return text.startsWith(QLatin1String("Successfully")) || text.startsWith(QLatin1String("Update failed"));
    },
    30000);
  return text;
}

const QString BootloaderTitle = QStringLiteral(" - instrument in its bootloader, firmware needed");

} // namespace

// The window around a firmware update: a device in its bootloader, the
// device that comes back afterwards, and the supply's firmware check.
class FirmwareWindowTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void cleanup()
  {
    Updater::setServerForTesting(QUrl());
  }

  // A logger that starts in its bootloader: the window says so and offers
  // nothing to start; flashed, it is served as a logger again.
  void startsInTheBootloader()
  {
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    SimBootloader *boot = bus.startInBootloader(logger);
    MainWindow window;
    quietLink();
    pump(2);
    QVERIFY(HidDevice::m_instance->bootMode());
    QTRY_COMPARE(window.windowTitle(), QCoreApplication::applicationName() + BootloaderTitle);
    QTRY_VERIFY2(statusText(window).contains("bootloader"), qPrintable(statusText(window)));
    auto *start = window.controlPanel()->findChild<QAbstractButton *>("btnStart");
    QVERIFY(!start->isEnabled());

    QTemporaryDir dir;
    QCOMPARE(flash(writeImage(dir, FirmwareImage::LoggerMagic, 200)), QString("Successfully updated"));
    QVERIFY(boot->started);
    QTRY_COMPARE(window.windowTitle(), QString(" TOVRI connected"));
    QTRY_VERIFY(start->isEnabled());
  }

  // A flash that fails or leaves no device on the link: the window stops
  // showing the logger as connected and offers nothing to start. Left in
  // its bootloader, the logger comes back with the next flash.
  void failedFlash_data()
  {
    QTest::addColumn<QString>("fault");
    QTest::newRow("bootloader refuses the firmware") << "refused";
    QTest::newRow("bootloader never appears") << "no bootloader";
    QTest::newRow("new firmware never comes back") << "no restart";
  }

  void failedFlash()
  {
    QFETCH(QString, fault);
    const bool refused = fault == "refused";
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    SimBootloader *boot = refused ? bus.bootloaderFor(logger) : nullptr;
    if (boot)
      boot->finishAnswer = SimBootloader::Wrong;
    bus.restartNever = fault == "no bootloader";
    MainWindow window;
    quietLink();
    pump();
    QCOMPARE(window.windowTitle(), QString(" TOVRI connected"));
    auto *start = window.controlPanel()->findChild<QAbstractButton *>("btnStart");
    QVERIFY(start->isEnabled());

    // A status poll due as the update ends: the bootloader would take it
    // for its command to start the firmware it refused.
    window.statusTimer()->setInterval(0);
    // Once the bootloader has taken the firmware, nothing comes back.
    QMetaObject::Connection taken;
    if (fault == "no restart")
      taken = QObject::connect(HidDevice::m_instance, &HidDevice::updateAccepted, [&bus] { bus.restartNever = true; });
    QTemporaryDir dir;
    const QString path = writeImage(dir, FirmwareImage::LoggerMagic, 200);
    const QString text = flash(path);
    QObject::disconnect(taken);
    QVERIFY2(text.startsWith(fault == "no restart" ? "Successfully" : "Update failed"), qPrintable(text));
    QTRY_COMPARE(window.windowTitle(),
                 QCoreApplication::applicationName() + (refused ? BootloaderTitle : " - no device connected"));
    QVERIFY(!start->isEnabled());
    QTRY_VERIFY(!window.statusTimer()->isActive());
    if (!refused)
      return;
    QVERIFY(!boot->started);
    QCOMPARE(boot->commands.last(), 5);
    QVERIFY2(statusText(window).contains("needs firmware"), qPrintable(statusText(window)));

    boot->finishAnswer = SimBootloader::Acknowledge;
    QCOMPARE(flash(path), QString("Successfully updated"));
    QTRY_COMPARE(window.windowTitle(), QString(" TOVRI connected"));
    QTRY_VERIFY(start->isEnabled());
    QTRY_VERIFY(window.statusTimer()->isActive());
  }

  // A logger and a supply plugged together: the supply the window serves
  // is flashed, and the window comes back to it.
  void flashedSupplyBesideALogger()
  {
    SimBus bus;
    bus.restartSearches = 2;
    auto *logger = bus.add<SimLogger>();
    bus.unplug(logger);
    auto *supply = bus.add<SimPowerSupply>();
    SimBootloader *boot = bus.bootloaderFor(supply);
    MainWindow window;
    quietLink();
    pump();
    QVERIFY(Helpers::powerMode);
    bus.plug(logger);
    pump(2);
    QCOMPARE(HidDevice::m_instance->serial(), QString("500200001"));

    QTemporaryDir dir;
    QCOMPARE(flash(writeImage(dir, FirmwareImage::PowerMagic, 200)), QString("Successfully updated"));
    QVERIFY(boot->started);
    QVERIFY(logger->written.isEmpty());
    for (int i = 0; i < 6; ++i)
      pump(1);
    QCOMPARE(HidDevice::m_instance->serial(), QString("500200001"));
    QVERIFY(Helpers::powerMode);
    QTRY_COMPARE(window.windowTitle(), QString(" Kelvaro Power V1 connected"));
    QVERIFY(logger->written.isEmpty());
  }

  // The supply's version comes with its live values: the firmware check at
  // its arrival compares with it, and the window tells of new firmware.
  void supplyFirmwareCheck()
  {
    HttpServer server;
    server.route(QStringLiteral("/api/getfirmware"),
                 HttpReply::xml("<INFO>notes</INFO><VERSION>1.6.0</VERSION><LINK>https://example.invalid/fw.bin</LINK>"));
    Updater::setServerForTesting(server.url(QStringLiteral("/api")));
    SimBus bus;
    auto *supply = bus.add<SimPowerSupply>();
    QCOMPARE(supply->live.version(), QString("1.05"));
    MainWindow window;
    QSignalSpy checked(window.updater(), &Updater::newFWAvailable);
    quietLink();
    pump();
    QVERIFY(Helpers::powerMode);
    QTRY_VERIFY(!checked.isEmpty() && checked.last().at(0).toBool());
    QVERIFY(readSetting("Update/has-new-fw").toBool());
    QCOMPARE(statusText(window), QString("A new firmware version is available. Go to Settings to update."));
    QVERIFY(server.requests.last().query().contains("model=kelvaropower"));

    // The same version again asks nothing more.
    const int requests = server.requests.size();
    supply->queue(supply->live.toByteArray());
    pump(1);
    QTest::qWait(50);
    QCOMPARE(server.requests.size(), requests);
  }
};

TOVRI_TEST(FirmwareWindowTest)
#include "tst_firmwarewindow.moc"
