#include "appfixture.h"
#include "calculator.h"
#include "optionsdialog.h"
#include "testmain.h"
#include "updatedialog.h"

#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>

using namespace AppFixture;

namespace {

// The child's last lines: the step it reached and what stopped it.
QString tail(const QByteArray &bytes, int lines)
{
  QStringList all = QString::fromLocal8Bit(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  if (all.size() > lines)
    all = all.mid(all.size() - lines);
  return all.join(QLatin1Char('\n'));
}

} // namespace

// The colour theme switched while widgets come and go: the application style
// sheet is applied to every widget the framework still knows, so each widget
// the window lets go must be forgotten by it.
class ThemeSwitchTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { freshWindowState(); }

  // A whole session in a process of its own, at each scale factor, with a
  // logger and with a supply; freed memory is overwritten there, so that a
  // widget still held after it has gone brings the switch down at once.
  void switchedAfterEachStep_data()
  {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("scale");
    for (const char *device : {"logger", "supply"}) {
      for (const char *scale : {"1", "1.5", "2"})
        QTest::addRow("%s, scale %s", device, scale) << QString::fromLatin1(device) << QString::fromLatin1(scale);
    }
  }

  void switchedAfterEachStep()
  {
    QFETCH(QString, device);
    QFETCH(QString, scale);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
    env.insert("QT_SCALE_FACTOR", scale);
    QString asan = env.value("ASAN_OPTIONS");
    if (!asan.isEmpty())
      asan += QLatin1Char(':');
    env.insert("ASAN_OPTIONS", asan + QStringLiteral("max_free_fill_size=4096:free_fill_byte=190"));
    env.insert("MALLOC_PERTURB_", "190");
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(TOVRI_THEME_CHILD), {device});
    QVERIFY(child.waitForStarted(30000));
    QVERIFY(child.waitForFinished(300000));
    const QByteArray out = child.readAllStandardOutput();
    const QString said = tail(out, 3) + QLatin1Char('\n') + tail(child.readAllStandardError(), 12);
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(said));
    QVERIFY2(out.endsWith("done\n"), qPrintable(said));
    // Every step named ran.
    for (const char *name : {"software check", "firmware check", "flashing dialog closed", "logger swapped for a supply",
                             "supply unplugged and plugged again", "control dock floated", "docks tabified",
                             "window resized", "window maximized"})
      QVERIFY2(out.contains(QByteArray("step ").append(name)), name);
    if (device == QLatin1String("logger")) {
      QVERIFY(out.contains("step tab closed"));
      QVERIFY(out.contains("step calculator closed"));
    }
  }

  // Every widget the window lets go tells the framework so: its destroyed()
  // reaches whoever listened before.
  void goneWidgetsAreAnnounced_data()
  {
    QTest::addColumn<QString>("widget");
    QTest::newRow("closed tab") << QString("tab");
    QTest::newRow("closed calculator") << QString("calculator");
    QTest::newRow("ended flashing dialog") << QString("flash");
  }

  void goneWidgetsAreAnnounced()
  {
    QFETCH(QString, widget);
    QTemporaryDir dir;
    writeSettings({{"Update/update-path-fw", dir.filePath("missing.bin")}});
    MainWindow window;
    window.addTab();
    window.addTab();
    bool announced = false;
    bool seen = false;
    const auto listen = [&](QObject *object) {
      seen = object != nullptr;
      if (object)
        connect(object, &QObject::destroyed, &window, [&] { announced = true; });
    };
    if (widget == QLatin1String("tab")) {
      listen(window.tabWidget()->widget(1));
      answerNextBox(QMessageBox::Yes);
      emit window.tabWidget()->tabBar()->tabCloseRequested(1);
    } else if (widget == QLatin1String("calculator")) {
      window.m_actionCalculator->setVisible(true);
      window.m_actionCalculator->setEnabled(true);
      window.m_actionCalculator->trigger();
      auto *calculator = window.findChild<Calculator *>("Calculator");
      listen(calculator);
      QVERIFY(calculator);
      calculator->close();
    } else {
      QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<OptionsDialog *>(QApplication::activeModalWidget());
        if (!dialog)
          return;
        QTimer::singleShot(0, [&] {
          auto *flash = qobject_cast<UpdateDialog *>(QApplication::activeModalWidget());
          listen(flash);
          if (flash)
            flash->reject();
        });
        dialog->findChild<QAbstractButton *>("btnUpdateFirm")->click();
        dialog->reject();
      });
      window.m_actionSettings->trigger();
    }
    QVERIFY(seen);
    QTRY_VERIFY(announced);
  }
};

TOVRI_TEST(ThemeSwitchTest)
#include "tst_themeswitch.moc"
