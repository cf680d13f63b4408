#include "downloader.h"
#include "firmwareimage.h"
#include "fixture.h"
#include "helpers.h"
#include "httpserver.h"
#include "testmain.h"
#include "updatedialog.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

namespace {

QByteArray payloadOf(int size)
{
  QByteArray bytes;
  for (int i = 0; i < size; ++i)
    bytes.append(char((i * 31 + 7) & 0xFF));
  return bytes;
}

QByteArray image(quint32 magic, int payloadSize)
{
  QByteArray header(FirmwareImage::HeaderSize, 'H');
  qToLittleEndian(magic, header.data());
  return header + payloadOf(payloadSize);
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &content)
{
  const QString path = dir.filePath("firmware.bin");
  QFile file(path);
  if (file.open(QIODevice::WriteOnly))
    file.write(content);
  return path;
}

const QByteArray LoggerReset = QByteArray::fromHex("0009ab54") + QByteArray(61, '\0');

// Answers the next modal box and keeps its text.
struct BoxAnswer
{
  QString text;
  QTimer timer;
  BoxAnswer()
  {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        text = box->windowTitle() + ": " + box->text();
        box->accept();
      }
    });
    timer.start(10);
  }
};

} // namespace

class UpdateDialogTest : public QObject
{
  Q_OBJECT

  HttpServer *m_server = nullptr;

  static void resetFlags()
  {
    Helpers::powerMode = false;
    Helpers::powerV2Mode = false;
    Helpers::isUpdating = false;
  }

  // A firmware downloader whose last check named the test server's image.
  void check(Downloader &downloader, const QByteArray &link)
  {
    m_server->route("/info", HttpReply::xml("<VERSION>2.1.0</VERSION><LINK>" + link + "</LINK>"));
    QSignalSpy spy(&downloader, &Downloader::downloadInfoComplete);
    downloader.startDownloadInfo(m_server->url("/info"));
    QVERIFY(settle(spy));
  }

private slots:
  void initTestCase() { Downloader::setLoopbackHttpAllowed(true); }
  void cleanupTestCase() { Downloader::setLoopbackHttpAllowed(false); }
  void init()
  {
    resetFlags();
    m_server = new HttpServer;
  }
  void cleanup()
  {
    delete m_server;
    m_server = nullptr;
    resetFlags();
  }

  void download_data()
  {
    QTest::addColumn<HttpReply>("reply");
    QTest::addColumn<QString>("error"); // empty: the image is written
    const QByteArray good = image(FirmwareImage::LoggerMagic, 1000);
    QTest::newRow("valid image") << HttpReply::make(200, good, "application/octet-stream") << "";
    QTest::newRow("error page") << HttpReply::make(200, "<!DOCTYPE html>\n<html lang=\"en\"><body>x</body></html>"
                                                        + QByteArray(600, ' '), "text/html")
                                << "Server does not have firmware file.";
    QTest::newRow("error page in capitals") << HttpReply::make(200, "<HTML><BODY>" + QByteArray(600, 'x'), "text/html")
                                            << "Server does not have firmware file.";
    QTest::newRow("another model's image")
      << HttpReply::make(200, image(FirmwareImage::PowerMagic, 1000)) << "Firmware file has wrong format";
    QTest::newRow("header only") << HttpReply::make(200, image(FirmwareImage::LoggerMagic, 0))
                                 << "Firmware file too short.";
    HttpReply truncated = HttpReply::make(200, good.left(700));
    truncated.contentLength = good.size();
    QTest::newRow("truncated") << truncated << "closed";
    QTest::newRow("404") << HttpReply::make(404, "<html>no</html>", "text/html") << "Not Found";
    HttpReply stall = HttpReply::make(200, good);
    stall.stallAfter = 600;
    QTest::newRow("stall") << stall << "did not answer in time";
  }

  void download()
  {
    QFETCH(HttpReply, reply);
    QFETCH(QString, error);
    m_server->route("/fw.bin", reply);
    LinkRig<SimLogger> rig;
    SimBootloader *boot = rig.bus.bootloaderFor(rig.device);
    Downloader downloader;
    downloader.setTimeouts(1000, 1000, 8000);
    check(downloader, m_server->url("/fw.bin").toEncoded());
    QVERIFY(downloader.error().isEmpty());

    UpdateDialog dialog(&downloader, true);
    dialog.show();
    QSignalSpy done(&downloader, &Downloader::downloadFileComplete);
    QVERIFY(settle(done));
    QCOMPARE(done.size(), 1);
    QVERIFY(!Helpers::isUpdating);
    if (error.isEmpty()) {
      QCOMPARE(dialog.statusText(), QString("Successfully updated"));
      QCOMPARE(rig.device->written, QList<QByteArray>{LoggerReset});
      QCOMPARE(boot->payload, reply.body.mid(FirmwareImage::HeaderSize));
      QVERIFY(boot->started);
      QVERIFY(rig.searching());
      // A late completion of the same downloader writes nothing more.
      const int commands = boot->commands.size();
      emit downloader.downloadFileComplete();
      QCOMPARE(downloader.startDownloadFw(), 0);
      QVERIFY(settle(done, 2));
      QTest::qWait(20);
      QCOMPARE(boot->commands.size(), commands);
      QCOMPARE(rig.device->written.size(), 1);
      QCOMPARE(dialog.statusText(), QString("Successfully updated"));
    } else {
      QVERIFY2(dialog.statusText().contains(error), qPrintable(dialog.statusText()));
      QVERIFY(rig.device->written.isEmpty());
      QVERIFY(boot->written.isEmpty());
      QVERIFY(rig.link.isOpen() && !rig.link.bootMode());
    }
  }

  void unsafeLinksAreRefused_data()
  {
    QTest::addColumn<QByteArray>("link");
    QTest::newRow("file") << QByteArray("file:///etc/hostname");
    QTest::newRow("http elsewhere") << QByteArray("http://192.0.2.1/fw.bin");
    QTest::newRow("qrc") << QByteArray("qrc:/res/warning.png");
  }

  void unsafeLinksAreRefused()
  {
    QFETCH(QByteArray, link);
    LinkRig<SimLogger> rig;
    Downloader downloader;
    check(downloader, link);
    QVERIFY2(downloader.error().contains("unsafe link"), qPrintable(downloader.error()));
    const int requests = m_server->requests.size();
    UpdateDialog dialog(&downloader, true);
    QSignalSpy done(&downloader, &Downloader::downloadFileComplete);
    QVERIFY(settle(done));
    QVERIFY2(dialog.statusText().contains("no download link"), qPrintable(dialog.statusText()));
    QCOMPARE(m_server->requests.size(), requests);
    QVERIFY(rig.device->written.isEmpty());
  }

  void downloadWhileACheckRuns()
  {
    LinkRig<SimLogger> rig;
    HttpReply held = HttpReply::xml("<VERSION>2.1.0</VERSION>");
    held.hold = true;
    m_server->route("/info", held);
    Downloader downloader;
    QCOMPARE(downloader.startDownloadInfo(m_server->url("/info")), 0);
    QCOMPARE(downloader.startDownloadInfo(m_server->url("/other")), 1);
    UpdateDialog dialog(&downloader, true);
    QVERIFY(dialog.statusText().contains("try again"));
    QSignalSpy info(&downloader, &Downloader::downloadInfoComplete);
    QSignalSpy file(&downloader, &Downloader::downloadFileComplete);
    QTRY_COMPARE(m_server->requests.size(), 1);
    m_server->release("/info");
    QVERIFY(settle(info));
    // The check in flight ends as its own, alone.
    QCOMPARE(info.size(), 1);
    QVERIFY(file.isEmpty());
    QCOMPARE(downloader.version(), QString("2.1.0"));
    QCOMPARE(m_server->requests.size(), 1);
    QVERIFY(rig.device->written.isEmpty());
  }

  void closeWhileDownloading()
  {
    HttpReply held = HttpReply::make(200, image(FirmwareImage::LoggerMagic, 1000));
    held.hold = true;
    m_server->route("/fw.bin", held);
    LinkRig<SimLogger> rig;
    Downloader downloader;
    check(downloader, m_server->url("/fw.bin").toEncoded());
    QSignalSpy done(&downloader, &Downloader::downloadFileComplete);
    {
      UpdateDialog dialog(&downloader, true);
      dialog.show();
      QTRY_COMPARE(m_server->requests.size(), 2);
      QTest::keyClick(&dialog, Qt::Key_Escape);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(done.size(), 1);
    }
    m_server->release("/fw.bin");
    QTest::qWait(50);
    QCOMPARE(done.size(), 1);
    QVERIFY(downloader.error().contains("cancelled"));
    QVERIFY(downloader.file().isEmpty());
    QVERIFY(rig.device->written.isEmpty());
  }

  void downloadProgress_data()
  {
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    // Qt may give no report with 0 received before the first bytes.
    QTest::newRow("first report mid-way") << qint64(5000) << qint64(200000) << 100 << 2;
    QTest::newRow("past the total") << qint64(300000) << qint64(200000) << 100 << 100;
    QTest::newRow("size unknown") << qint64(5000) << qint64(-1) << 0 << 0;
  }

  void downloadProgress()
  {
    QFETCH(qint64, received);
    QFETCH(qint64, total);
    QFETCH(int, maximum);
    QFETCH(int, value);
    UpdateDialog dialog(QString(), true);
    dialog.on_percentDownloadChanged(received, total);
    auto *bar = dialog.findChild<QProgressBar *>("progressBar");
    QCOMPARE(bar->maximum(), maximum);
    if (maximum > 0)
      QCOMPARE(bar->value(), value);
  }

  void localFile_data()
  {
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<int>("setting");        // 1: power flag of an opened capture; 2: no device; 3: a folder
    QTest::addColumn<QString>("outcome");
    const QByteArray good = image(FirmwareImage::LoggerMagic, 300);
    QTest::newRow("logger image") << good << 0 << "Successfully updated";
    QTest::newRow("power flag from a file, logger image") << good << 1 << "Successfully updated";
    QTest::newRow("power image for the logger") << image(FirmwareImage::PowerMagic, 300) << 1
                                                << "Warning: Firmware file has wrong format";
    QTest::newRow("short header") << QByteArray("\xdc\xcb") << 0 << "Firmware file too short.";
    QTest::newRow("header only") << image(FirmwareImage::LoggerMagic, 0) << 0 << "Firmware file too short.";
    QTest::newRow("missing file") << QByteArray() << 0 << "Can't read firmware file";
    QTest::newRow("a folder") << good << 3 << "Can't read firmware file";
    QTest::newRow("no device") << good << 2 << "No instrument or power supply is connected.";
  }

  void localFile()
  {
    QFETCH(QByteArray, content);
    QFETCH(int, setting);
    QFETCH(QString, outcome);
    QTemporaryDir dir;
    const QString path = content.isEmpty() ? dir.filePath("none") : writeFile(dir, content);
    Helpers::powerMode = setting == 1;
    LinkRig<SimLogger> rig;
    SimBootloader *boot = rig.bus.bootloaderFor(rig.device);
    if (setting == 2) {
      rig.bus.unplug(rig.device);
      rig.link.checkTimerTick();
    }
    BoxAnswer box;
    UpdateDialog dialog(setting == 3 ? dir.path() : path, true);
    dialog.show();
    QTRY_VERIFY(!dialog.statusText().isEmpty() || !box.text.isEmpty());
    QCOMPARE(box.text.isEmpty() ? dialog.statusText() : box.text, outcome);
    if (outcome == QLatin1String("Successfully updated")) {
      QCOMPARE(rig.device->written, QList<QByteArray>{LoggerReset});
      QCOMPARE(boot->payload, content.mid(FirmwareImage::HeaderSize));
    } else {
      QVERIFY(rig.device->written.isEmpty());
      QVERIFY(boot->written.isEmpty());
      QCOMPARE(rig.link.isOpen(), setting != 2);
    }
    QCOMPARE(Helpers::powerMode, setting == 1);
    QVERIFY(!Helpers::isUpdating);
  }

  void closingWhileTheDeviceIsWritten()
  {
    QTemporaryDir dir;
    const QString path = writeFile(dir, image(FirmwareImage::LoggerMagic, 500));
    LinkRig<SimLogger> rig;
    SimBootloader *boot = rig.bus.bootloaderFor(rig.device);
    UpdateDialog dialog(path, true);
    dialog.show();
    bool stayed = true;
    QObject::connect(&rig.link, &HidDevice::updatePercentChanged, &dialog, [&](int percent) {
      if (percent != 48)
        return;
      // Escape, the close box and Close in the middle of the writing.
      QTest::keyClick(&dialog, Qt::Key_Escape);
      dialog.close();
      dialog.findChild<QPushButton *>("cancelBtn")->click();
      stayed = stayed && dialog.isVisible();
    });
    QTRY_COMPARE(dialog.statusText(), QString("Successfully updated"));
    QVERIFY(stayed);
    QVERIFY(dialog.isVisible());
    QCOMPARE(boot->payload, payloadOf(500));
    dialog.close();
    QVERIFY(!dialog.isVisible());
  }

  void closeWhileWaitingForTheBootloader()
  {
    QTemporaryDir dir;
    const QString path = writeFile(dir, image(FirmwareImage::LoggerMagic, 500));
    LinkRig<SimLogger> rig;
    rig.bus.restartNever = true;
    UpdateDialog dialog(path, true);
    dialog.show();
    int searches = 0;
    rig.bus.onEnumerate = [&](int) {
      if (!rig.device->written.isEmpty() && ++searches == 3)
        dialog.findChild<QPushButton *>("cancelBtn")->click();
    };
    QTRY_VERIFY(!dialog.isVisible());
    rig.bus.onEnumerate = nullptr;
    QCOMPARE(dialog.statusText(), QString("Update cancelled."));
    QVERIFY(rig.bus.bootloaderFor(rig.device)->written.isEmpty());
    QVERIFY(rig.searching());
    QVERIFY(!Helpers::isUpdating);
  }

  // A device that starts in its bootloader (after an interrupted update or
  // a pulled cable) is flashed by the model its bootloader names, by both
  // paths, whatever mode the window is in.
  void flashTheBootloader_data()
  {
    QTest::addColumn<bool>("supply");
    QTest::addColumn<bool>("download");
    QTest::newRow("logger, local file") << false << false;
    QTest::newRow("logger, download") << false << true;
    QTest::newRow("Power V1, local file") << true << false;
    QTest::newRow("Power V1, download") << true << true;
  }

  void flashTheBootloader()
  {
    QFETCH(bool, supply);
    QFETCH(bool, download);
    SimBus bus;
    SimDevice *normal = supply ? static_cast<SimDevice *>(bus.add<SimPowerSupply>())
                               : static_cast<SimDevice *>(bus.add<SimLogger>());
    SimBootloader *boot = bus.startInBootloader(normal);
    HidDevice link;
    for (QTimer *timer : link.findChildren<QTimer *>())
      timer->stop();
    link.checkTimerTick();
    QVERIFY(link.isOpen() && link.bootMode());

    const QByteArray content = image(supply ? FirmwareImage::PowerMagic : FirmwareImage::LoggerMagic, 300);
    QTemporaryDir dir;
    Downloader downloader;
    std::unique_ptr<UpdateDialog> dialog;
    if (download) {
      m_server->route("/fw.bin", HttpReply::make(200, content, "application/octet-stream"));
      check(downloader, m_server->url("/fw.bin").toEncoded());
      dialog = std::make_unique<UpdateDialog>(&downloader, true);
    } else {
      dialog = std::make_unique<UpdateDialog>(writeFile(dir, content), true);
    }
    dialog->show();
    QTRY_COMPARE(dialog->statusText(), QString("Successfully updated"));
    // No reset message: the device was in its bootloader already.
    QVERIFY(normal->written.isEmpty());
    QCOMPARE(boot->payload, content.mid(FirmwareImage::HeaderSize));
    QVERIFY(boot->started);
    QVERIFY(!Helpers::powerMode && !Helpers::isUpdating);
  }

  // While the bootloader keeps silent about the first chunk nothing is
  // written yet: Close ends the wait at once.
  void closeWhileTheBootloaderIsSilent()
  {
    QTemporaryDir dir;
    const QString path = writeFile(dir, image(FirmwareImage::LoggerMagic, 500));
    LinkRig<SimLogger> rig;
    SimBootloader *boot = rig.bus.bootloaderFor(rig.device);
    boot->firstChunkAnswer = SimBootloader::Silent;
    UpdateDialog dialog(path, true);
    dialog.show();
    auto *close = dialog.findChild<QPushButton *>("cancelBtn");
    bool closable = false;
    QObject::connect(&rig.link, &HidDevice::updatePercentChanged, &dialog, [&](int percent) {
      if (percent != 0)
        return;
      closable = close->isEnabled();
      close->click();
    });
    const qint64 start = rig.bus.now();
    QTRY_VERIFY(!dialog.isVisible());
    QVERIFY(closable);
    QCOMPARE(dialog.statusText(), QString("Update cancelled."));
    QVERIFY(rig.bus.now() - start < 10000);
    QCOMPARE(boot->commands, QList<int>({3}));
    QVERIFY(rig.searching());
    QVERIFY(!Helpers::isUpdating);
  }

  // A failed or cancelled download keeps the firmware the check named: the
  // next Update fetches it again.
  void downloadAgainAfterAFailure_data()
  {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("failed") << false;
    QTest::newRow("cancelled") << true;
  }

  void downloadAgainAfterAFailure()
  {
    QFETCH(bool, cancel);
    HttpReply first = HttpReply::make(404, "<html>gone</html>", "text/html");
    first.hold = cancel;
    m_server->route("/fw.bin", first);
    LinkRig<SimLogger> rig;
    SimBootloader *boot = rig.bus.bootloaderFor(rig.device);
    Downloader downloader;
    check(downloader, m_server->url("/fw.bin").toEncoded());
    QSignalSpy done(&downloader, &Downloader::downloadFileComplete);
    {
      UpdateDialog dialog(&downloader, true);
      dialog.show();
      if (cancel) {
        QTRY_COMPARE(m_server->requests.size(), 2);
        QTest::keyClick(&dialog, Qt::Key_Escape);
      }
      QVERIFY(settle(done));
    }
    QVERIFY(!downloader.error().isEmpty());
    QVERIFY(downloader.hasDownloadLink());
    QVERIFY(boot->written.isEmpty());

    const QByteArray content = image(FirmwareImage::LoggerMagic, 200);
    m_server->route("/fw.bin", HttpReply::make(200, content, "application/octet-stream"));
    UpdateDialog again(&downloader, true);
    again.show();
    QTRY_COMPARE(again.statusText(), QString("Successfully updated"));
    QCOMPARE(boot->payload, content.mid(FirmwareImage::HeaderSize));
  }
};

TOVRI_TEST(UpdateDialogTest)
#include "tst_updatedialog.moc"
