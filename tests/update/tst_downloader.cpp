#include "downloader.h"
#include "fixture.h"
#include "httpserver.h"
#include "testmain.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Primed = "<INFO>old notes</INFO><VERSION>9.9.9</VERSION><LINK>https://example.invalid/old.bin</LINK>";

// Runs one info request and returns the number of info completions.
int ask(Downloader &downloader, const QUrl &url)
{
  QSignalSpy info(&downloader, &Downloader::downloadInfoComplete);
  QSignalSpy file(&downloader, &Downloader::downloadFileComplete);
  if (downloader.startDownloadInfo(url) != 0)
    return -1;
  if (!settle(info))
    return 0;
  return file.isEmpty() ? int(info.size()) : -2;
}

} // namespace

class DownloaderTest : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase() { Downloader::setLoopbackHttpAllowed(true); }
  void cleanupTestCase() { Downloader::setLoopbackHttpAllowed(false); }

  void infoReplies_data()
  {
    QTest::addColumn<HttpReply>("reply");
    QTest::addColumn<QString>("error"); // a part of the expected error; empty: success
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("info");
    QTest::addColumn<QString>("link");

    QTest::newRow("good") << HttpReply::xml("<INFO>Fixes</INFO><VERSION> 2.0.10\n</VERSION>"
                                            "<LINK>\n https://example.invalid/tovri.bin </LINK>")
                          << "" << "2.0.10" << "Fixes" << "https://example.invalid/tovri.bin";
    QTest::newRow("no INFO, no LINK") << HttpReply::xml("<VERSION>1.2.3</VERSION>") << "" << "1.2.3"
                                      << "Version info:" << "";
    QTest::newRow("two VERSION, the last wins")
      << HttpReply::xml("<VERSION>1.2.3</VERSION><!-- c --><OTHER/>text<VERSION>1.2.4</VERSION>") << ""
      << "1.2.4" << "Version info:" << "";
    QTest::newRow("nested VERSION") << HttpReply::xml("<X><VERSION>1.2.3</VERSION></X>") << "no version"
                                    << "9.9.9" << "" << "";
    QTest::newRow("Version in mixed case") << HttpReply::xml("<Version>1.2.3</Version>") << "no version"
                                           << "9.9.9" << "" << "";
    QTest::newRow("malformed") << HttpReply::make(200, "<UPDATE><VERSION>1.2.3</VERSION>") << "could not be read"
                               << "9.9.9" << "" << "";
    QTest::newRow("no VERSION") << HttpReply::xml("<INFO>x</INFO>") << "no version" << "9.9.9" << "" << "";
    QTest::newRow("file link") << HttpReply::xml("<VERSION>2.1.0</VERSION><LINK>file:///etc/passwd</LINK>")
                               << "unsafe link" << "9.9.9" << "" << "";
    HttpReply big = HttpReply::xml("<VERSION>2.1.0</VERSION><INFO>" + QByteArray(3000, 'x') + "</INFO>");
    QTest::newRow("oversize by length") << big << "too large" << "9.9.9" << "" << "";
    big.contentLength = -2;
    QTest::newRow("oversize while receiving") << big << "too large" << "9.9.9" << "" << "";
    QTest::newRow("404") << HttpReply::make(404, "<html>gone</html>", "text/html") << "Not Found" << "9.9.9" << "" << "";
    HttpReply stall = HttpReply::xml("<VERSION>2.1.0</VERSION>");
    stall.stallAfter = 20;
    QTest::newRow("stall") << stall << "did not answer in time" << "9.9.9" << "" << "";
    HttpReply silent;
    silent.silent = true;
    QTest::newRow("silent") << silent << "did not answer in time" << "9.9.9" << "" << "";
  }

  void infoReplies()
  {
    QFETCH(HttpReply, reply);
    QFETCH(QString, error);
    QFETCH(QString, version);
    QFETCH(QString, info);
    QFETCH(QString, link);

    HttpServer server;
    server.route("/primed", HttpReply::xml(Primed));
    server.route("/case", reply);
    Downloader downloader;
    downloader.setLimits(2048, 4096);
    downloader.setTimeouts(1000, 1000, 5000);
    QCOMPARE(ask(downloader, server.url("/primed")), 1);
    QCOMPARE(downloader.version(), QString("9.9.9"));

    QCOMPARE(ask(downloader, server.url("/case")), 1);
    QCOMPARE(downloader.state(), int(Downloader::Idle));
    if (error.isEmpty()) {
      QCOMPARE(downloader.error(), QString());
      QCOMPARE(downloader.info(), info);
    } else {
      QVERIFY2(downloader.error().contains(error), qPrintable(downloader.error()));
      QCOMPARE(downloader.info(), downloader.error());
    }
    QCOMPARE(downloader.version(), version);
    QCOMPARE(downloader.downloadLink(), link);
    QCOMPARE(downloader.hasDownloadLink(), !link.isEmpty());
    // The downloader serves the next request as usual.
    QCOMPARE(ask(downloader, server.url("/primed")), 1);
    QVERIFY(downloader.error().isEmpty());
  }

  void fileStallAfterFirstBytes()
  {
    // A body that stops after 5000 of 200000 bytes must end the download.
    HttpServer server;
    HttpReply stall = HttpReply::make(200, QByteArray(200000, 'f'), "application/octet-stream");
    stall.stallAfter = 5000;
    server.route("/fw.bin", stall);
    server.route("/info", HttpReply::xml("<VERSION>1.0.0</VERSION><LINK>" + server.url("/fw.bin").toEncoded() +
                                         "</LINK>"));
    Downloader downloader;
    downloader.setTimeouts(1000, 1000, 20000);
    QCOMPARE(ask(downloader, server.url("/info")), 1);
    QSignalSpy done(&downloader, &Downloader::downloadFileComplete);
    QCOMPARE(downloader.startDownloadFw(), 0);
    QVERIFY(settle(done));
    QCOMPARE(done.size(), 1);
    QVERIFY2(downloader.error().contains("did not answer in time"), qPrintable(downloader.error()));
    QVERIFY(downloader.file().isEmpty());
    QCOMPARE(downloader.state(), int(Downloader::Idle));
  }

  void refusedLinksNeverReachTheNetwork_data()
  {
    QTest::addColumn<QString>("redirect");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("version");
    QTest::newRow("redirect to file") << "file:///etc/passwd" << true << "";
    QTest::newRow("redirect to plain http elsewhere") << "http://192.0.2.1/x" << true << "";
    QTest::newRow("redirect to data") << "data:text/xml,<U><VERSION>5.5.5</VERSION></U>" << true << "";
    QTest::newRow("redirect to the same server") << "/good" << false << "3.2.1";
  }

  void refusedLinksNeverReachTheNetwork()
  {
    QFETCH(QString, redirect);
    QFETCH(bool, refused);
    QFETCH(QString, version);
    HttpServer server;
    HttpReply moved = HttpReply::make(302, "");
    moved.location = redirect.toUtf8();
    server.route("/moved", moved);
    server.route("/good", HttpReply::xml("<VERSION>3.2.1</VERSION>"));
    Downloader downloader;
    QCOMPARE(ask(downloader, server.url("/moved")), 1);
    QCOMPARE(!downloader.error().isEmpty(), refused);
    QCOMPARE(downloader.version(), version);
  }

  void tls_data()
  {
    QTest::addColumn<bool>("trusted");
    QTest::newRow("trusted") << true;
    QTest::newRow("self-signed, untrusted") << false;
  }

  void tls()
  {
    QFETCH(bool, trusted);
    QTemporaryDir dir;
    const QString cert = dir.filePath("cert.pem");
    const QString key = dir.filePath("key.pem");
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                              "-keyout", key, "-out", cert, "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                              "subjectAltName=IP:127.0.0.1"});
    if (!openssl.waitForStarted())
      QSKIP("openssl is not installed");
    QVERIFY(openssl.waitForFinished(30000));
    QCOMPARE(openssl.exitCode(), 0);
    QFile certFile(cert);
    QFile keyFile(key);
    QVERIFY(certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(&certFile, QSsl::Pem);
    const QSslKey privateKey(&keyFile, QSsl::Ec, QSsl::Pem);
    QVERIFY(!certificate.isNull() && !privateKey.isNull());

    HttpServer server(certificate, privateKey);
    server.route("/getsoftware", HttpReply::xml("<VERSION>4.5.6</VERSION>"));
    const QSslConfiguration original = QSslConfiguration::defaultConfiguration();
    if (trusted) {
      QSslConfiguration configuration = original;
      configuration.addCaCertificate(certificate);
      QSslConfiguration::setDefaultConfiguration(configuration);
    }
    Downloader::setLoopbackHttpAllowed(false); // https needs no seam
    Downloader downloader;
    const int completions = ask(downloader, server.url("/getsoftware"));
    Downloader::setLoopbackHttpAllowed(true);
    QSslConfiguration::setDefaultConfiguration(original);
    QCOMPARE(completions, 1);
    if (trusted) {
      QCOMPARE(downloader.error(), QString());
      QCOMPARE(downloader.version(), QString("4.5.6"));
    } else {
      QVERIFY(!downloader.error().isEmpty());
      QCOMPARE(downloader.version(), QString());
    }
  }
};

TOVRI_TEST(DownloaderTest)
#include "tst_downloader.moc"
