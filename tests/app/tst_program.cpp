#include "appglobals.h"
#include "commandline.h"
#include "runguard.h"
#include "testmain.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <csignal>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/stat.h>
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

// An environment without any display: the program may not need one here.
QProcessEnvironment headlessEnvironment(const QString &tmp)
{
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES", "QT_LOGGING_CONF"})
    env.remove(QString::fromLatin1(name));
  env.insert("TMPDIR", tmp);
  env.insert("XDG_RUNTIME_DIR", tmp);
  return env;
}

// Runs `program` with `args` to its end; false when it did not end.
bool runToEnd(QProcess &process, const QString &program, const QStringList &args,
              const QProcessEnvironment &env)
{
  process.setProcessEnvironment(env);
  process.start(program, args);
  return process.waitForStarted(30000) && process.waitForFinished(60000);
}

// Checks `file` with `validator` (with `args` before the file) when the
// validator is installed.
void validate(const char *validator, QStringList args, const QString &file)
{
  const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(validator));
  if (tool.isEmpty()) {
    qWarning("%s is not installed: %s not validated", validator, qPrintable(file));
    return;
  }
  QProcess check;
  check.setProcessChannelMode(QProcess::MergedChannels);
  check.start(tool, args << file);
  QVERIFY(check.waitForFinished(60000));
  QVERIFY2(check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0, check.readAll().constData());
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

  // Killed copies' segments whose key files have gone hold the system keys
  // of whatever files take those inodes next: the guard's own remade key
  // file among them. Left segments wait under the keys of the inodes the
  // folder hands out next.
  void leftSegmentUnderARemadeKeyFile()
  {
    RunGuard guard(uniqueKey("left"));
    const QByteArray file = QFile::encodeName(QSharedMemory(guard.sharedMemName()).nativeKey());
    QVERIFY(QFile::remove(QString::fromLocal8Bit(file)));
    struct stat probe {};
    {
      QFile next(QString::fromLocal8Bit(file));
      QVERIFY(next.open(QIODevice::WriteOnly));
      QCOMPARE(::stat(file.constData(), &probe), 0);
      next.remove();
    }
    QList<int> left;
    QList<key_t> keys;
    for (int d = -64; d < 192; ++d) {
      // As ftok() makes it: project 'Q', the device's and the inode's low bits.
      const key_t key = key_t((quint32('Q') << 24) | (quint32(probe.st_dev & 0xff) << 16) |
                              (quint32(probe.st_ino + d) & 0xffff));
      const int id = ::shmget(key, 8, IPC_CREAT | IPC_EXCL | 0600);
      if (id >= 0) {
        left << id;
        keys << key;
      }
    }
    const bool ran = guard.tryToRun();
    const bool collided = keys.contains(::ftok(file.constData(), 'Q'));
    guard.release();
    for (int id : std::as_const(left))
      ::shmctl(id, IPC_RMID, nullptr);
    if (!collided)
      QSKIP("the remade key file took an inode out of the range prepared");
    QVERIFY(ran);
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

// How the command line is read, before anything starts.
class CommandLineTest : public QObject
{
  Q_OBJECT
private slots:
  void parse_data()
  {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("developer");
    QTest::newRow("nothing") << QStringList{} << int(CommandLine::Run) << false;
    QTest::newRow("-developer") << QStringList{"-developer"} << int(CommandLine::Run) << true;
    QTest::newRow("-developer after toolkit options")
      << QStringList{"-platform", "offscreen", "-style=fusion", "-reverse", "-developer"} << int(CommandLine::Run)
      << true;
    QTest::newRow("two hyphens, as the help spells it") << QStringList{"--developer"} << int(CommandLine::Run) << true;
    QTest::newRow("letter case") << QStringList{"-DEVELOPER"} << int(CommandLine::Refuse) << false;
    QTest::newRow("--version") << QStringList{"--version"} << int(CommandLine::ShowVersion) << false;
    QTest::newRow("-v") << QStringList{"-v"} << int(CommandLine::ShowVersion) << false;
    QTest::newRow("-help") << QStringList{"-help"} << int(CommandLine::ShowHelp) << false;
    QTest::newRow("-h") << QStringList{"-h"} << int(CommandLine::ShowHelp) << false;
    QTest::newRow("--version with -developer") << QStringList{"-developer", "--version"}
                                               << int(CommandLine::ShowVersion) << true;
    QTest::newRow("help before version") << QStringList{"--version", "--help"} << int(CommandLine::ShowHelp) << false;
    QTest::newRow("unknown") << QStringList{"--bogus", "-developer"} << int(CommandLine::Refuse) << false;
    QTest::newRow("positional") << QStringList{"capture.tovri"} << int(CommandLine::Refuse) << false;
    QTest::newRow("after --") << QStringList{"--", "-developer"} << int(CommandLine::Refuse) << false;
  }

  void parse()
  {
    QFETCH(QStringList, args);
    QFETCH(int, action);
    QFETCH(bool, developer);
    args.prepend(QStringLiteral("tovri"));
    CommandLine commandLine;
    QCOMPARE(int(commandLine.parse(args)), action);
    QCOMPARE(commandLine.errorText().isEmpty(), action != CommandLine::Refuse);
    if (action != CommandLine::Refuse)
      QCOMPARE(commandLine.developerMode(), developer);
    const QString help = commandLine.helpText();
    QVERIFY(help.contains(QLatin1String("--version")));
    QVERIFY(help.contains(QLatin1String("-developer")));
    QVERIFY(!help.contains(QLatin1String("platform")));
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
    // The toolkit's options and -developer pass the command line.
    env.remove("QT_QPA_PLATFORM");
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(TOVRI_PROGRAM), {"-developer", "-platform", "offscreen"});
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

    const QStringList expected = {
      "lib/tovri/QtLanguage_uk.qm",
      "lib/tovri/QtLanguage_en.qm",
      "share/applications/com.quillomar.olk.tovri.desktop",
      "share/metainfo/com.quillomar.olk.tovri.metainfo.xml",
      "share/icons/hicolor/48x48/apps/tovri.png",
      "share/icons/hicolor/64x64/apps/tovri.png",
      "share/icons/hicolor/128x128/apps/tovri.png",
      "share/icons/hicolor/scalable/apps/tovri.svg",
      "share/man/man1/tovri.1",
      "share/doc/tovri/LICENSE",
      "lib/udev/rules.d/70-tovri.rules",
    };
    for (const QString &file : expected)
      QVERIFY2(QFileInfo(root.filePath(file)).isFile(), qPrintable(file));
    for (int size : {48, 64, 128}) {
      const QImage icon(root.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/tovri.png").arg(size)));
      QCOMPARE(icon.size(), QSize(size, size));
    }

    QFile desktop(root.filePath("share/applications/com.quillomar.olk.tovri.desktop"));
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QByteArray entry = desktop.readAll();
    QVERIFY(entry.contains("Exec=tovri"));
    QVERIFY(entry.contains("Icon=tovri"));
    QFile metainfo(root.filePath("share/metainfo/com.quillomar.olk.tovri.metainfo.xml"));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    const QByteArray component = metainfo.readAll();
    QVERIFY(component.contains("<id>com.quillomar.olk.tovri</id>"));
    QVERIFY(component.contains("<launchable type=\"desktop-id\">com.quillomar.olk.tovri.desktop</launchable>"));
    QVERIFY(component.contains("<project_license>MIT</project_license>"));
    // Software centres and packagers read the version from the newest
    // release; it, the manual page and --version name the build's version.
    QCOMPARE(QByteArray(App::Version), QByteArray(TOVRI_PROJECT_VERSION));
    QVERIFY(component.contains(QByteArray(QByteArray("<release version=\"") + App::Version + "\" date=\"")));
    QFile manual(root.filePath("share/man/man1/tovri.1"));
    QVERIFY(manual.open(QIODevice::ReadOnly));
    QVERIFY(manual.readLine().contains(QByteArray(QByteArray("\"tovri ") + App::Version + "\"")));
    QFile licence(root.filePath("share/doc/tovri/LICENSE"));
    QVERIFY(licence.open(QIODevice::ReadOnly));
    const QByteArray licenceText = licence.readAll();
    QVERIFY(licenceText.startsWith("MIT License"));
    QVERIFY(licenceText.contains("Copyright (c) 2026 the TOVRI data logger authors"));
    validate("desktop-file-validate", {}, desktop.fileName());
    validate("appstreamcli", {"validate", "--no-net"}, metainfo.fileName());

    QFile rule(root.filePath("lib/udev/rules.d/70-tovri.rules"));
    QVERIFY(rule.open(QIODevice::ReadOnly));
    const QByteArray rules = rule.readAll();
    for (const char *product : {"a1de", "a1da"}) {
      QVERIFY(rules.contains(QByteArray(QByteArray("ATTR{idProduct}==\"") + product + "\"")));
    }
    QCOMPARE(rules.count("TAG+=\"uaccess\""), 2);
    QCOMPARE(rules.count("SUBSYSTEM==\"usb\""), 2);

    // The manifest lists every installed file, the link included: removing
    // what it lists leaves only empty folders.
    QFile manifest(QStringLiteral(TOVRI_BUILD_DIR "/install_manifest.txt"));
    QVERIFY(manifest.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList listed = QString::fromLocal8Bit(manifest.readAll()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(listed.contains(link.absoluteFilePath()));
    for (const QString &file : listed) {
      QVERIFY2(file.startsWith(root.absolutePath() + '/'), qPrintable(file));
      QVERIFY2(QFile::remove(file), qPrintable(file));
    }
    QDirIterator left(root.absolutePath(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    while (left.hasNext()) {
      const QFileInfo found(left.next());
      QVERIFY2(found.isDir() && !found.isSymLink(), qPrintable(found.filePath()));
    }
  }

  // What the command line does before any window, without a display.
  void commandLine_data()
  {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QByteArray version = QByteArray(App::Name) + ' ' + App::Version + '\n';
    QTest::newRow("--version") << QStringList{"--version"} << 0 << version << QByteArray();
    QTest::newRow("--help") << QStringList{"--help"} << 0 << QByteArray("Usage: ") << QByteArray();
    QTest::newRow("unknown beside --version") << QStringList{"--version", "--bogus"} << 2 << QByteArray()
                                              << QByteArray("Unknown option 'bogus'.");
    QTest::newRow("file name") << QStringList{"capture.tovri"} << 2 << QByteArray()
                               << QByteArray("Unexpected argument 'capture.tovri'.");
    QTest::newRow("toolkit option without value") << QStringList{"-platform"} << 2 << QByteArray()
                                                  << QByteArray("Missing value after '-platform'.");
  }

  void commandLine()
  {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QProcessEnvironment env = headlessEnvironment(tmp.path());

    // A copy of the program holds the guard meanwhile: none of this may
    // touch it.
    QProcess guardHolder;
    guardHolder.setProcessEnvironment(env);
    guardHolder.start(QStringLiteral(TOVRI_GUARD_HOLDER), {RunGuard::userKey(QString::fromLatin1(App::Key))});
    QVERIFY(guardHolder.waitForStarted(30000) && guardHolder.waitForReadyRead(30000));
    QCOMPARE(guardHolder.readLine().trimmed(), QByteArray("held"));

    QProcess program;
    QVERIFY(runToEnd(program, QStringLiteral(TOVRI_PROGRAM), args, env));
    const QByteArray said = program.readAllStandardOutput();
    const QByteArray complained = program.readAllStandardError();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == exitCode, complained.constData());
    if (exitCode == 0) {
      QVERIFY2(said.startsWith(out), said.constData());
      if (out.startsWith("Usage: ")) {
        QVERIFY(said.contains("--version"));
        QVERIFY(said.contains("-developer"));
        QVERIFY(!said.contains("platform")); // the toolkit's options stay hidden
      } else {
        QCOMPARE(said, out);
      }
    } else {
      QVERIFY(said.isEmpty());
      QVERIFY2(complained.startsWith(err), complained.constData());
      QVERIFY(complained.contains("Usage: "));
      QVERIFY(complained.contains("--help"));
    }
    guardHolder.closeWriteChannel();
    QVERIFY(guardHolder.waitForFinished(30000));
    QCOMPARE(guardHolder.exitCode(), 0);
  }

  // Debug lines stay off unless the environment turns them on; info and
  // warnings always pass.
  void debugLinesMuted_data()
  {
    QTest::addColumn<QString>("rules");
    QTest::addColumn<bool>("debug");
    QTest::newRow("no rules") << QString() << false;
    QTest::newRow("rules turn debug on") << QStringLiteral("*.debug=true") << true;
    QTest::newRow("rules about something else") << QStringLiteral("qt.network.*=true") << false;
  }

  void debugLinesMuted()
  {
    QFETCH(QString, rules);
    QFETCH(bool, debug);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    QProcessEnvironment env = headlessEnvironment(tmp.path());
    if (!rules.isEmpty())
      env.insert("QT_LOGGING_RULES", rules);
    QProcess probe;
    QVERIFY(runToEnd(probe, QStringLiteral(TOVRI_LOG_PROBE), {}, env));
    QCOMPARE(probe.exitCode(), 0);
    const QByteArray lines = probe.readAllStandardError();
    QCOMPARE(lines.contains("probe: debug line"), debug);
    QVERIFY(lines.contains("probe: info line"));
    QVERIFY(lines.contains("probe: warning line"));
  }
};

TOVRI_TEST(RunGuardTest)
TOVRI_TEST(CommandLineTest)
TOVRI_TEST(ProgramTest)

#include "tst_program.moc"
