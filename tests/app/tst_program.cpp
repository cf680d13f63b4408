#include "appglobals.h"
#include "runguard.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace {

// A key of this run only, so parallel runs never meet.
QString uniqueKey(const char *name)
{
  return QStringLiteral("test.%1.%2").arg(QLatin1String(name), QUuid::createUuid().toString(QUuid::Id128));
}

// Starts a process that holds `key`; returns it once it has said so.
std::unique_ptr<QProcess> holder(const QString &key, QByteArray *said)
{
  auto process = std::make_unique<QProcess>();
  process->start(QStringLiteral(TOVRI_GUARD_HOLDER), {key});
  if (!process->waitForStarted(30000) || !process->waitForReadyRead(30000))
    return nullptr;
  *said = process->readLine().trimmed();
  return process;
}

} // namespace

// The single-instance guard across processes and users.
class RunGuardTest : public QObject
{
  Q_OBJECT
private slots:
  void namesFollowTheKey()
  {
    RunGuard a("com.example.one"), b("com.example.one"), c("com.example.two");
    QCOMPARE(a.sharedMemName(), b.sharedMemName());
    QCOMPARE(a.memLockName(), b.memLockName());
    QVERIFY(a.sharedMemName() != c.sharedMemName());
    QVERIFY(a.sharedMemName() != a.memLockName());
    QCOMPARE(a.sharedMemName().size(), 40);
    QVERIFY(RunGuard::userKey("k", 1000) != RunGuard::userKey("k", 1001));
    QCOMPARE(RunGuard::userKey("k"), RunGuard::userKey("k", uint(::getuid())));
  }

  void oneCopyPerKey()
  {
    const QString key = uniqueKey("one");
    QByteArray said;
    auto first = holder(key, &said);
    QVERIFY(first);
    QCOMPARE(said, QByteArray("held"));

    RunGuard here(key);
    QVERIFY(here.isAnotherRunning());
    QVERIFY(!here.tryToRun());
    QByteArray secondSaid;
    auto second = holder(key, &secondSaid);
    QVERIFY(second);
    QCOMPARE(secondSaid, QByteArray("refused"));
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitCode(), 1);

    // Other keys, and the same key of other users, are free.
    RunGuard other(uniqueKey("other"));
    QVERIFY(other.tryToRun());
    RunGuard otherUser(RunGuard::userKey(key, 4242));
    QVERIFY(otherUser.tryToRun());

    // A normal end frees the key.
    first->closeWriteChannel();
    QVERIFY(first->waitForFinished(30000));
    QCOMPARE(first->exitCode(), 0);
    RunGuard after(key);
    QVERIFY(after.tryToRun());
    QVERIFY(!after.isAnotherRunning()); // holding it itself
    after.release();
    QVERIFY(after.tryToRun());
  }

  void killedHolderDoesNotBlock()
  {
    const QString key = uniqueKey("killed");
    QByteArray said;
    auto first = holder(key, &said);
    QVERIFY(first);
    QCOMPARE(said, QByteArray("held"));
    ::kill(pid_t(first->processId()), SIGKILL);
    QVERIFY(first->waitForFinished(30000));
    RunGuard next(key);
    QVERIFY(next.tryToRun());
  }
};

// The built program and its installation.
class ProgramTest : public QObject
{
  Q_OBJECT
private slots:
  void startsHeadless()
  {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QDir(home.path()).mkpath("tmp");
    // No update check may leave the machine, whatever the program's timing.
    const QString appDir = home.filePath(QStringLiteral("Quillomar/") + QLatin1String(App::Name));
    QVERIFY(QDir().mkpath(appDir));
    QFile ini(appDir + "/" + QLatin1String(App::Name) + ".ini");
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Update]\nauto-check-soft=false\nauto-check-firm=false\n");
    ini.close();

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("TMPDIR", home.filePath("tmp"));
    env.insert("XDG_RUNTIME_DIR", home.filePath("tmp"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(TOVRI_PROGRAM), {});
    QVERIFY(program.waitForStarted(30000));
    // Still running after three seconds: it started and did not fall over.
    QVERIFY(!program.waitForFinished(3000));
    program.kill();
    QVERIFY(program.waitForFinished(30000));
  }

  void installsIntoAPrefix()
  {
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(TOVRI_CMAKE),
                  {"--install", QStringLiteral(TOVRI_BUILD_DIR), "--prefix", prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());

    const QDir root(prefix.path());
    const QFileInfo program(root.filePath("lib/tovri/bin/tovri"));
    QVERIFY(program.isExecutable());
    // The link on the PATH leads to the program beside its translations.
    const QFileInfo link(root.filePath("bin/tovri"));
    QVERIFY(link.isSymLink());
    QCOMPARE(link.canonicalFilePath(), program.canonicalFilePath());
    QVERIFY(QFileInfo::exists(root.filePath("lib/tovri/QtLanguage_uk.qm")));
    QVERIFY(QFileInfo::exists(root.filePath("lib/tovri/QtLanguage_en.qm")));

    QFile desktop(root.filePath("share/applications/tovri.desktop"));
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QByteArray entry = desktop.readAll();
    QVERIFY(entry.contains("Exec=tovri"));
    QVERIFY(entry.contains("Icon=tovri"));
    QVERIFY(QFileInfo::exists(root.filePath("share/icons/hicolor/64x64/apps/tovri.png")));

    QFile rule(root.filePath("lib/udev/rules.d/70-tovri.rules"));
    QVERIFY(rule.open(QIODevice::ReadOnly));
    const QByteArray rules = rule.readAll();
    for (const char *product : {"a1de", "a1da"}) {
      QVERIFY(rules.contains(QByteArray(QByteArray("ATTR{idProduct}==\"") + product + "\"")));
    }
    QCOMPARE(rules.count("TAG+=\"uaccess\""), 2);
    QCOMPARE(rules.count("SUBSYSTEM==\"usb\""), 2);
  }
};

TOVRI_TEST(RunGuardTest)
TOVRI_TEST(ProgramTest)

#include "tst_program.moc"
