#include "colorsagent.h"
#include "dialogrig.h"
#include "downloader.h"
#include "firmwareimage.h"
#include "httpserver.h"
#include "settings.h"
#include "testmain.h"
#include "updatedialog.h"
#include "updater.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QVariant key(const QString &name)
{
  Settings settings;
  return settings.value(name);
}

void clearSettings()
{
  Settings settings;
  settings.clear();
}

// Receives the links the dialog hands to the desktop.
class LinkCatcher : public QObject
{
  Q_OBJECT
public:
  LinkCatcher()
  {
    for (const char *scheme : {"https", "http", "file"})
      QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
  }
  ~LinkCatcher() override
  {
    for (const char *scheme : {"https", "http", "file"})
      QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
  }
  QList<QUrl> opened;
public slots:
  void open(const QUrl &url) { opened.append(url); }
};

} // namespace

class TestOptionsFrame : public QObject
{
  Q_OBJECT
private slots:
  void init() { clearSettings(); }

  void firstOpening_data()
  {
    QTest::addColumn<int>("mode"); // 0 logger, 1 first supply model, 2 second
    QTest::newRow("logger") << 0;
    QTest::newRow("first supply model") << 1;
    QTest::newRow("second supply model") << 2;
  }
  void firstOpening()
  {
    QFETCH(int, mode);
    std::unique_ptr<DialogRig<SimLogger>> logger;
    std::unique_ptr<DialogRig<>> supply;
    OptionsDialog *d;
    if (mode == 0) {
      logger = std::make_unique<DialogRig<SimLogger>>(false);
      d = logger->dialog.get();
    } else {
      supply = std::make_unique<DialogRig<>>(true, mode == 2);
      d = supply->dialog.get();
    }
    const auto w = [d](const char *name) { return d->findChild<QWidget *>(QLatin1String(name)); };
    auto *tabs = d->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    QCOMPARE(tabs->isTabVisible(1), mode != 0);
    QCOMPARE(tabs->currentIndex(), mode == 0 ? 0 : 1);
    QCOMPARE(w("groupBoxColors")->isHidden(), mode != 0);
    QCOMPARE(w("groupBoxTune12")->isHidden(), mode != 2);
    QVERIFY(qobject_cast<QRadioButton *>(w("radioButtonLight"))->isChecked());
    QVERIFY(qobject_cast<QRadioButton *>(w("radioButtonSeconds"))->isChecked());
    QVERIFY(qobject_cast<QCheckBox *>(w("checkAutoUpdateFirm"))->isChecked());
    QVERIFY(qobject_cast<QCheckBox *>(w("checkAutoUpdateSoft"))->isChecked());
    QCOMPARE(qobject_cast<QLineEdit *>(w("browseLine"))->text(), QStringLiteral("Choose file"));
    QVERIFY(!w("btnUpdateFirm")->isEnabled());
    QVERIFY(w("labelSWVersionAvailable")->isHidden());
    QVERIFY(w("buttonFWUpdate")->isHidden());
    QCOMPARE(qobject_cast<QLabel *>(w("modelLabel"))->text(),
             mode == 0 ? QStringLiteral("tovri") : mode == 1 ? QStringLiteral("Kelvaro Power V1")
                                                                : QStringLiteral("Kelvaro Power V2"));
  }

  // The About picture and the window icon are two images, each under a
  // resource name of its own.
  void aboutPicture()
  {
    DialogRig<SimLogger> rig(false);
    for (const char *name : {"Pravek.png", "tovri.png"}) {
      QFile compiled(QStringLiteral(":/res/") + QLatin1String(name));
      QFile source(QStringLiteral(TOVRI_RESOURCES "/") + QLatin1String(name));
      QVERIFY2(compiled.open(QIODevice::ReadOnly), name);
      QVERIFY2(source.open(QIODevice::ReadOnly), name);
      QVERIFY2(compiled.readAll() == source.readAll(), name);
    }
    const QImage about(QStringLiteral(":/res/Pravek.png"));
    QVERIFY(about != QImage(QStringLiteral(":/res/tovri.png")));
    const QPixmap shown = rig.w<QLabel>("labelIcon")->pixmap();
    QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32), about.convertToFormat(QImage::Format_ARGB32));
  }

  // Both ways out store the dialog's keys.
  void keysStored_data()
  {
    QTest::addColumn<bool>("escape");
    QTest::newRow("escape") << true;
    QTest::newRow("close box") << false;
  }
  void keysStored()
  {
    QFETCH(bool, escape);
    {
      DialogRig<SimLogger> rig(false);
      rig.dialog->show();
      rig.w<QRadioButton>("radioButtonDark")->setChecked(true);
      rig.w<QRadioButton>("radioButtonTime")->setChecked(true);
      rig.w<QCheckBox>("checkAutoUpdateSoft")->setChecked(false);
      if (escape)
        QTest::keyClick(rig.dialog.get(), Qt::Key_Escape);
      else
        rig.dialog->close();
      QVERIFY(!rig.dialog->isVisible());
    }
    QCOMPARE(key("Options/dark-color").toBool(), true);
    QCOMPARE(key("Options/native-time").toBool(), true);
    QVERIFY(!key("Options/geometry").toByteArray().isEmpty());
    QCOMPARE(key("Update/auto-check-soft").toBool(), false);
    QCOMPARE(key("Update/auto-check-firm").toBool(), true);
    QVERIFY(key("Update/update-path-fw").toString().isEmpty());

    DialogRig<SimLogger> again(false);
    QVERIFY(again.w<QRadioButton>("radioButtonDark")->isChecked());
    QVERIFY(again.w<QRadioButton>("radioButtonTime")->isChecked());
  }

  // Texts applied again keep what the dialog filled in.
  void languageChange_data()
  {
    QTest::addColumn<QString>("path");
    QTest::newRow("no file") << QString();
    QTest::newRow("chosen file") << "/data/fw.bin";
  }
  void languageChange()
  {
    QFETCH(QString, path);
    {
      Settings settings;
      settings.setValue(QStringLiteral("Update/update-path-fw"), path);
    }
    DialogRig<SimLogger> rig(false);
    rig.w<QPushButton>("btnCheckUpdateSoft")->click(); // no receiver: stays running
    const QString version = rig.w<QLabel>("firmwareVersion")->text();
    QCOMPARE(version, DeviceInfo(rig.device->info).version());
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(rig.dialog.get(), &change);
    QCOMPARE(rig.w<QLineEdit>("browseLine")->text(), path.isEmpty() ? QStringLiteral("Choose file") : path);
    QCOMPARE(rig.w<QLabel>("firmwareVersion")->text(), version);
    QCOMPARE(rig.w<QPushButton>("btnCheckUpdateSoft")->text(), QStringLiteral("Checking"));
    QCOMPARE(rig.w<QPushButton>("btnCheckUpdateFirm")->text(), QStringLiteral("Check"));
    QVERIFY(rig.w<QLabel>("label_VersionNumber")->text().startsWith(QCoreApplication::applicationVersion()));
  }

  void timeFormat()
  {
    DialogRig<SimLogger> rig(false);
    QSignalSpy changed(rig.dialog.get(), &OptionsDialog::timeFormatChanged);
    rig.w<QRadioButton>("radioButtonTime")->setChecked(true);
    QCOMPARE(Helpers::timeFormat, 2);
    rig.w<QRadioButton>("radioButtonSeconds")->setChecked(true);
    QCOMPARE(Helpers::timeFormat, 1);
    QCOMPARE(changed.size(), 2);
  }
};

class TestAppearance : public QObject
{
  Q_OBJECT
private slots:
  void init() { clearSettings(); }

  // Which tables a swatch edit reaches, for each "Apply to" choice.
  void swatchEdits_data()
  {
    QTest::addColumn<QString>("applyTo");
    QTest::addColumn<QList<int>>("tables");
    QTest::newRow("All") << "radioButtonAll" << QList<int>{0, 1, 2};
    QTest::newRow("Chart") << "radioButtonChart" << QList<int>{0};
    QTest::newRow("Report") << "radioButtonReport" << QList<int>{1};
    QTest::newRow("Mouse") << "radioButtonMouse" << QList<int>{2};
  }
  void swatchEdits()
  {
    QFETCH(QString, applyTo);
    QFETCH(QList<int>, tables);
    const QColor picked(0x12, 0x34, 0x56);
    {
      DialogRig<SimLogger> rig(false);
      QSignalSpy colors(rig.dialog.get(), &OptionsDialog::changeColors);
      DialogHooks::color = [&](QWidget *, const QColor &) { return picked; };
      rig.w<QRadioButton>(qPrintable(applyTo))->setChecked(true);
      rig.w<QPushButton>("btnColor1")->click();
      QCOMPARE(colors.size(), 0);
      QVERIFY(rig.w<QPushButton>("btnColor1")->styleSheet().contains(picked.name()));
      rig.dialog->done(QDialog::Rejected);
      // Kept edits reach the window once, as the dialog ends.
      QCOMPARE(colors.size(), 1);
    }
    const ColorsAgent stored(false);
    const ColorsAgent defaults(true);
    for (int t = 0; t < 3; ++t) {
      QCOMPARE(stored.colors.at(t)[1] == picked, tables.contains(t));
      QCOMPARE(stored.colors.at(t)[0], defaults.colors.at(t)[0]);
    }
  }

  void previewCopiesChartColours()
  {
    {
      Settings settings;
      settings.setValue(QStringLiteral("Options/Light/report_2"), QStringLiteral("#010101"));
      settings.setValue(QStringLiteral("Options/Light/mouse_0"), QStringLiteral("#020202"));
    }
    DialogRig<SimLogger> rig(false);
    QSignalSpy colors(rig.dialog.get(), &OptionsDialog::changeColors);
    rig.w<QPushButton>("btnPreview")->click();
    QCOMPARE(colors.size(), 1);
    const ColorsAgent stored(false);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(stored.colors.at(1)[i], stored.colors.at(0)[i]);
      QCOMPARE(stored.colors.at(2)[i], stored.colors.at(0)[i]);
    }
    rig.dialog->done(QDialog::Rejected);
    QCOMPARE(colors.size(), 1);
  }

  void themeSwitchStoresThemeLeft()
  {
    {
      Settings settings;
      settings.setValue(QStringLiteral("Options/Dark/channel_0"), QStringLiteral("#abcdef"));
    }
    DialogRig<SimLogger> rig(false);
    QSignalSpy theme(rig.dialog.get(), &OptionsDialog::changeColorTheme);
    QSignalSpy colors(rig.dialog.get(), &OptionsDialog::changeColors);
    DialogHooks::color = [](QWidget *, const QColor &) { return QColor(0x11, 0x22, 0x33); };
    rig.w<QRadioButton>("radioButtonChart")->setChecked(true);
    rig.w<QPushButton>("btnColor0")->click();
    rig.w<QRadioButton>("radioButtonDark")->click();
    QCOMPARE(theme.size(), 1);
    QCOMPARE(theme.at(0).at(0).toBool(), true);
    QCOMPARE(colors.size(), 1);
    QCOMPARE(key("Options/Light/channel_0").toString(), QStringLiteral("#112233"));
    QVERIFY(rig.w<QPushButton>("btnColor0")->styleSheet().contains(QStringLiteral("#abcdef")));
    rig.dialog->done(QDialog::Rejected);
    QCOMPARE(colors.size(), 1); // announced by the switch already
  }

  void cancelledColourChangesNothing()
  {
    DialogRig<SimLogger> rig(false);
    QSignalSpy colors(rig.dialog.get(), &OptionsDialog::changeColors);
    DialogHooks::color = [](QWidget *, const QColor &) { return QColor(); };
    const QString before = rig.w<QPushButton>("btnColorBkg")->styleSheet();
    rig.w<QPushButton>("btnColorBkg")->click();
    QCOMPARE(rig.w<QPushButton>("btnColorBkg")->styleSheet(), before);
    rig.dialog->done(QDialog::Rejected);
    QCOMPARE(colors.size(), 0);
  }
};

class TestUpdatePage : public QObject
{
  Q_OBJECT
  HttpServer *m_server = nullptr;
  enum Outcome { Offered, Failed, NoFile };

  // The window's part: the dialog's check requests start the updater's
  // checks, its answers come back to the dialog.
  static void connectChecks(OptionsDialog *dialog, Updater *updater)
  {
    connect(dialog, &OptionsDialog::checkSWUpdates, updater, &Updater::on_checkUpdatesSW);
    connect(dialog, &OptionsDialog::checkFWUpdates, updater, [updater] { updater->on_checkUpdatesFW(); });
    connect(updater, &Updater::newSWAvailable, dialog, &OptionsDialog::on_newSWAvailable);
    connect(updater, &Updater::newFWAvailable, dialog, &OptionsDialog::on_newFWAvailable);
  }

private slots:
  void initTestCase()
  {
    Downloader::setLoopbackHttpAllowed(true);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.7"));
  }
  void cleanupTestCase()
  {
    Downloader::setLoopbackHttpAllowed(false);
    Updater::setServerForTesting(QUrl());
  }
  void init()
  {
    clearSettings();
    Settings settings;
    settings.setValue(QStringLiteral("Update/auto-check-soft"), false);
    settings.setValue(QStringLiteral("Update/auto-check-firm"), false);
    m_server = new HttpServer;
    Updater::setServerForTesting(m_server->url(QStringLiteral("/api")));
  }
  void cleanup()
  {
    delete m_server;
    m_server = nullptr;
  }

  // The window's part: the dialog's check requests start the updater's
  // checks, its answers come back to the dialog.
  void softwareLinks_data()
  {
    QTest::addColumn<QByteArray>("link");
    QTest::addColumn<bool>("handed");
    QTest::newRow("https") << QByteArray("https://example.invalid/tovri-2.1.0.exe") << true;
    QTest::newRow("file") << QByteArray("file:///etc/passwd") << false;
    QTest::newRow("http") << QByteArray("http://example.invalid/tovri.exe") << false;
  }
  void softwareLinks()
  {
    QFETCH(QByteArray, link);
    QFETCH(bool, handed);
    m_server->route(QStringLiteral("/api/getsoftware"),
                    HttpReply::xml("<INFO>notes</INFO><VERSION>9.0.0</VERSION><LINK>" + link + "</LINK>"));
    LinkCatcher catcher;
    {
      Settings settings;
      settings.setValue(QStringLiteral("Update/has-new-sw"), true);
    }
    Updater updater;
    DialogRig<SimLogger> rig(false);
    rig.dialog = std::make_unique<OptionsDialog>(&updater);
    connect(rig.dialog.get(), &OptionsDialog::checkSWUpdates, &updater, &Updater::on_checkUpdatesSW);
    connect(&updater, &Updater::newSWAvailable, rig.dialog.get(), &OptionsDialog::on_newSWAvailable);
    QPushButton *check = rig.w<QPushButton>("btnCheckUpdateSoft");
    QPushButton *download = rig.w<QPushButton>("buttonSWDownload");

    // Shown by the stored flag only: the link is fetched first.
    QVERIFY(!download->isHidden());
    download->click();
    QCOMPARE(check->text(), QStringLiteral("Checking"));
    QTRY_COMPARE(check->text(), QString("Check"));
    QVERIFY(catcher.opened.isEmpty());
    // The updater itself refuses replies with links other than https.
    QCOMPARE(!rig.w<QLabel>("labelSWVersionAvailable")->isHidden(), handed);

    download->click();
    QCOMPARE(catcher.opened.size(), handed ? 1 : 0);
    if (handed)
      QVERIFY(rig.answers.last().endsWith(QLatin1String("tovri-2.1.0.exe")));
    else
      QVERIFY(!rig.answers.last().startsWith(QLatin1String("Default web browser downloads")));
  }

  // Firmware offered by a stored flag alone is checked for first; no
  // update window opens on a link this session never fetched.
  void firmwareUpdateChecksFirst()
  {
    {
      Settings settings;
      settings.setValue(QStringLiteral("Update/has-new-fw"), true);
    }
    Updater updater;
    DialogRig<SimLogger> rig(false);
    rig.dialog = std::make_unique<OptionsDialog>(&updater);
    QSignalSpy checks(rig.dialog.get(), &OptionsDialog::checkFWUpdates);
    rig.w<QPushButton>("buttonFWUpdate")->click();
    QCOMPARE(checks.size(), 1);
    QCOMPARE(rig.answers.shown.size(), 1);
    QVERIFY(rig.dialog->findChildren<QDialog *>().isEmpty());
  }

  // The server's notes reach the Details box as plain text, never as markup.
  void detailsArePlainText()
  {
    m_server->route(QStringLiteral("/api/getfirmware"),
                    HttpReply::xml("<INFO>&lt;b&gt;notes&lt;/b&gt;</INFO><VERSION>9.0.0</VERSION>"
                                   "<LINK>https://example.invalid/fw.bin</LINK>"));
    Updater updater;
    DialogRig<SimLogger> rig(false);
    rig.dialog = std::make_unique<OptionsDialog>(&updater);
    DialogHooks::message = nullptr; // the real box
    connectChecks(rig.dialog.get(), &updater);
    QPushButton *check = rig.w<QPushButton>("btnCheckUpdateFirm");
    check->click();
    QTRY_COMPARE(check->text(), QString("Check"));
    QPushButton *details = rig.w<QPushButton>("buttonFWDetails");
    QVERIFY(!details->isHidden());

    Qt::TextFormat format = Qt::AutoText;
    QString text;
    QTimer::singleShot(0, [&] {
      auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
      if (!box)
        return;
      format = box->textFormat();
      text = box->text();
      box->accept();
    });
    details->click();
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(text, QStringLiteral("<b>notes</b>"));
  }

  // What the page offers after each kind of answer, for both checks. Offered
  // by an earlier session's flag, the download goes once a check has failed
  // or named no file, and the page says why in plain view.
  void checkOutcomes_data()
  {
    QTest::addColumn<bool>("firmware");
    QTest::addColumn<bool>("refused"); // nothing listens on the server's port
    QTest::addColumn<HttpReply>("reply");
    QTest::addColumn<int>("outcome");
    HttpReply silent;
    silent.silent = true;
    const QList<std::tuple<const char *, bool, HttpReply, int>> kinds = {
      {"connection refused", true, HttpReply(), Failed},
      {"no answer", false, silent, Failed},
      {"server error", false, HttpReply::make(503, "<html>busy</html>", "text/html"), Failed},
      {"malformed XML", false, HttpReply::make(200, "<UPDATE><VERSION>9.0.0</VERSION>"), Failed},
      {"http link", false, HttpReply::xml("<VERSION>9.0.0</VERSION><LINK>http://example.invalid/f.bin</LINK>"),
       Failed},
      {"no LINK", false, HttpReply::xml("<INFO>notes</INFO><VERSION>9.0.0</VERSION>"), NoFile},
      {"empty LINK", false, HttpReply::xml("<VERSION>9.0.0</VERSION><LINK> </LINK>"), NoFile},
      {"good reply", false, HttpReply::xml("<VERSION>9.0.0</VERSION><LINK>https://example.invalid/f.bin</LINK>"),
       Offered},
    };
    for (bool firmware : {false, true}) {
      for (const auto &[name, refused, reply, outcome] : kinds)
        QTest::addRow("%s: %s", firmware ? "firmware" : "software", name) << firmware << refused << reply << outcome;
    }
  }
  void checkOutcomes()
  {
    QFETCH(bool, firmware);
    QFETCH(bool, refused);
    QFETCH(HttpReply, reply);
    QFETCH(int, outcome);
    m_server->route(firmware ? QStringLiteral("/api/getfirmware") : QStringLiteral("/api/getsoftware"), reply);
    if (refused) {
      QTcpServer probe;
      QVERIFY(probe.listen(QHostAddress::LocalHost));
      const quint16 port = probe.serverPort();
      probe.close();
      Updater::setServerForTesting(QUrl(QStringLiteral("http://127.0.0.1:%1/api").arg(port)));
    }
    {
      Settings settings;
      settings.setValue(firmware ? QStringLiteral("Update/has-new-fw") : QStringLiteral("Update/has-new-sw"), true);
    }
    Updater updater;
    for (Downloader *downloader : {updater.softwareDownloader(), updater.firmwareDownloader()})
      downloader->setTimeouts(200, 200, 1000);
    DialogRig<SimLogger> rig(false);
    rig.dialog = std::make_unique<OptionsDialog>(&updater);
    connectChecks(rig.dialog.get(), &updater);
    const auto w = [&](const char *software, const char *firm) { return rig.w<QWidget>(firmware ? firm : software); };
    QWidget *offer = w("buttonSWDownload", "buttonFWUpdate");
    QVERIFY(!offer->isHidden());

    auto *check = qobject_cast<QPushButton *>(w("btnCheckUpdateSoft", "btnCheckUpdateFirm"));
    check->click();
    QTRY_COMPARE(check->text(), QString("Check"));
    const Downloader *downloader = firmware ? updater.firmwareDownloader() : updater.softwareDownloader();
    QCOMPARE(downloader->error().isEmpty(), outcome != Failed);

    QCOMPARE(offer->isHidden(), outcome != Offered);
    QCOMPARE(w("buttonSWDetails", "buttonFWDetails")->isHidden(), outcome == Failed);
    // Every reply that was read names 9.0.0, newer than the program and the logger.
    QCOMPARE(w("labelSWVersionAvailable", "labelFWVersionAvailable")->isHidden(), outcome == Failed);
    auto *problem = qobject_cast<QLabel *>(w("labelSWProblem", "labelFWProblem"));
    QCOMPARE(problem->isHidden(), outcome == Offered);
    QCOMPARE(problem->textFormat(), Qt::PlainText);
    if (outcome == Failed)
      QCOMPARE(problem->text(), QStringLiteral("The check failed: ") + downloader->error());
    else if (outcome == NoFile)
      QCOMPARE(problem->text(), QStringLiteral("The update server named no file to download."));

    // The reason stays in view when the texts are applied again.
    const QString shown = problem->text();
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(rig.dialog.get(), &change);
    QCOMPARE(problem->text(), shown);
    QCOMPARE(problem->isHidden(), outcome == Offered);
  }

  // A device in its bootloader has sent no identification: the Info box
  // says where it is and names the model by its serial, also when the
  // window still serves a supply and after the texts are applied again.
  void bootloaderInfo_data()
  {
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("supply");
    QTest::addColumn<QString>("model");
    QTest::newRow("logger") << "500100007" << false << "tovri";
    QTest::newRow("first supply model") << "500200007" << true << "Kelvaro Power V1";
    QTest::newRow("second supply model") << "500300007" << true << "Kelvaro Power V2";
    QTest::newRow("unknown model") << "499900007" << false << "other";
  }
  void bootloaderInfo()
  {
    QFETCH(QString, serial);
    QFETCH(bool, supply);
    QFETCH(QString, model);
    SimBus bus;
    SimDevice *device = supply ? static_cast<SimDevice *>(bus.add<SimPowerSupply>(serial))
                               : static_cast<SimDevice *>(bus.add<SimLogger>(serial));
    bus.startInBootloader(device);
    HidDevice link;
    for (QTimer *timer : link.findChildren<QTimer *>())
      timer->stop();
    link.checkTimerTick();
    QVERIFY(link.isOpen() && link.bootMode());
    Helpers::powerMode = supply;
    Helpers::powerV2Mode = false;
    const auto modes = qScopeGuard([] { Helpers::powerMode = false; });
    OptionsDialog dialog(nullptr);
    for (int round = 0; round < 2; ++round) {
      QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("modelLabel"))->text(), model);
      QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("firmwareVersion"))->text(),
               QStringLiteral("In its bootloader"));
      QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("serialLabel"))->text(), serial);
      QEvent change(QEvent::LanguageChange);
      QCoreApplication::sendEvent(&dialog, &change);
    }
  }

  // A writing from a file that fails leaves the logger in its bootloader:
  // the Info box says so once the update window has closed.
  void failedFlashShowsTheBootloader()
  {
    QTemporaryDir dir;
    QByteArray image(FirmwareImage::HeaderSize, 'H');
    qToLittleEndian(FirmwareImage::LoggerMagic, image.data());
    image.append(200, 'P');
    QFile file(dir.filePath(QStringLiteral("fw.bin")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
    file.close();
    {
      Settings settings;
      settings.setValue(QStringLiteral("Update/update-path-fw"), file.fileName());
    }
    DialogRig<SimLogger> rig(false);
    rig.bus.bootloaderFor(rig.device)->finishAnswer = SimBootloader::Wrong;
    rig.dialog = std::make_unique<OptionsDialog>(nullptr);
    QCOMPARE(rig.w<QLabel>("firmwareVersion")->text(), DeviceInfo(rig.device->info).version());

    QString outcome;
    QTimer closer;
    QElapsedTimer waited;
    waited.start();
    connect(&closer, &QTimer::timeout, [&] {
      auto *update = rig.dialog->findChild<UpdateDialog *>();
      // Closed at the outcome, or given up on so that the test ends.
      if (update && (update->statusText().startsWith(QLatin1String("Update failed")) || waited.elapsed() > 20000)) {
        outcome = update->statusText();
        update->close();
      }
    });
    closer.start(20);
    rig.w<QPushButton>("btnUpdateFirm")->click();
    QVERIFY2(outcome.startsWith(QLatin1String("Update failed")), qPrintable(outcome));
    QVERIFY(rig.link.bootMode());
    QCOMPARE(rig.w<QLabel>("modelLabel")->text(), QStringLiteral("tovri"));
    QCOMPARE(rig.w<QLabel>("firmwareVersion")->text(), QStringLiteral("In its bootloader"));
  }

  void browse()
  {
    {
      Settings settings;
      settings.setValue(QStringLiteral("Update/update-path-fw"), QStringLiteral("/data/old.bin"));
    }
    {
      DialogRig<SimLogger> rig(false);
      QCOMPARE(rig.w<QLineEdit>("browseLine")->text(), QStringLiteral("/data/old.bin"));
      DialogHooks::fileName = [](QWidget *, DialogHooks::FileMode, const QString &, const QString &,
                                 const QString &) { return QString(); };
      rig.w<QPushButton>("btnBrowse")->click();
      QCOMPARE(rig.w<QLineEdit>("browseLine")->text(), QStringLiteral("/data/old.bin"));
    }
    QCOMPARE(key("Update/update-path-fw").toString(), QStringLiteral("/data/old.bin"));
    {
      Settings settings;
      settings.remove(QStringLiteral("Update/update-path-fw"));
    }
    DialogRig<SimLogger> rig(false);
    QVERIFY(!rig.w<QPushButton>("btnUpdateFirm")->isEnabled());
    DialogHooks::fileName = [](QWidget *, DialogHooks::FileMode, const QString &, const QString &, const QString &) {
      return QStringLiteral("/data/new.bin");
    };
    rig.w<QPushButton>("btnBrowse")->click();
    QVERIFY(rig.w<QPushButton>("btnUpdateFirm")->isEnabled());
    QCOMPARE(rig.w<QLineEdit>("browseLine")->text(), QStringLiteral("/data/new.bin"));
  }
};

TOVRI_TEST(TestOptionsFrame)
TOVRI_TEST(TestAppearance)
TOVRI_TEST(TestUpdatePage)
#include "tst_optionsdialog.moc"
