#include "helpers.h"
#include "processstate.h"
#include "savingfixture.h"
#include "calculator.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <functional>

using namespace AppFixture;

namespace {

// Saves a fresh unsaved logger capture of the window as `path`.
bool saveCapture(MainWindow &window, const QString &path, qint64 samples)
{
  if (!addUnsavedCapture(window, samples))
    return false;
  DialogScript script({DialogScript::file(path)});
  return window.save(window.tabWidget()->currentIndex()) && script.done();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    file.write(bytes);
}

// The capture with its header changed by `change`.
QByteArray withHeader(QByteArray bytes, const std::function<void(SwapFileHeader &)> &change)
{
  SwapFileHeader header = SwapFileHeader::fromBytes(reinterpret_cast<const uchar *>(bytes.constData()));
  change(header);
  header.toBytes(reinterpret_cast<uchar *>(bytes.data()));
  return bytes;
}

} // namespace

// Opening saved captures: the round trip of a logger capture and what a
// damaged or foreign file gets.
class OpeningTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    resetProcessState();
    clearSettings();
    keepUpdatesLocal();
  }

  void loggerRoundTrip()
  {
    QTemporaryDir dir;
    writeSettings({{"Main/save-path", dir.path()}, {"Main/load-path", dir.path()}});
    const qint64 samples = 1500;
    const QString path = dir.filePath("run.1.tovri");
    {
      MainWindow writer;
      QVERIFY(saveCapture(writer, path, samples));
    }
    QVERIFY(QFile::exists(path));

    MainWindow window;
    window.m_actionCalculator->trigger();
    QPointer<Calculator> calc = window.findCalculator();
    QVERIFY(calc);
    // A flag left by an earlier supply's file must not shape a logger tab.
    Helpers::powerMode = true;
    Helpers::powerV2Mode = true;
    const int before = window.tabWidget()->count();
    DialogScript script({DialogScript::file(path)});
    window.m_actionOpen->trigger();
    QVERIFY(script.done());
    // No device and no tab: either kind of file may be opened.
    QCOMPARE(script.filters.value(0), QString("TOVRI (*.tovri );Kelvaro Power (*.kelvpow )"));
    QCOMPARE(window.tabWidget()->count(), before + 1);
    QCOMPARE(window.tabWidget()->tabText(window.tabWidget()->currentIndex()), QString("run"));
    QVERIFY(!Helpers::powerMode);
    QVERIFY(!Helpers::powerV2Mode);
    QCOMPARE(readSetting("Main/load-path").toString(), dir.path());
    QCOMPARE(statusText(window), QString("Loaded"));

    GLWidget *tab = window.currentWidget();
    QVERIFY(tab->saved);
    QCOMPARE(tab->maps.size(), 3);
    for (int c = 0; c < 3; ++c) {
      QCOMPARE(tab->maps[c]->size(), int(samples));
      qint64 i = 0;
      for (auto it = tab->maps[c]->constBegin(); it != tab->maps[c]->constEnd(); ++it, ++i) {
        QCOMPARE(it->key, i * 0.001);
        QCOMPARE(it->value, loggerValue(c, i));
      }
    }
    // The statistics come from the file's tail.
    QCOMPARE(tab->report.count, samples);
    QCOMPARE(tab->report.max1, 1000.0 + 976 * 0.5);
    QCOMPARE(tab->report.min2, 2000.0);
    // An open calculator follows the capture just opened.
    QVERIFY(calc);
    const CalculatorInfo whole = calc->getInfo(CalculatorInfo::Whole);
    QCOMPARE(whole.error, 0);
    QCOMPARE(whole.t_to, tab->report.t_end);
  }

  void damagedFiles_data()
  {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("opens");
    QTest::newRow("empty") << "empty" << false;
    QTest::newRow("shorter than the header") << "short" << false;
    QTest::newRow("other version") << "version" << false;
    QTest::newRow("channel count 0") << "count0" << false;
    QTest::newRow("channel count 127") << "count127" << false;
    QTest::newRow("divider 0") << "divider0" << false;
    QTest::newRow("mode 7") << "mode7" << false;
    QTest::newRow("text file") << "text" << false;
    QTest::newRow("cut inside a record") << "cut" << true;
    QTest::newRow("no tail") << "notail" << true;
  }

  void damagedFiles()
  {
    QFETCH(QString, damage);
    QFETCH(bool, opens);
    QTemporaryDir dir;
    const QString good = dir.filePath("good.tovri");
    MainWindow window;
    QVERIFY(saveCapture(window, good, 300));
    // An unsaved capture in another tab must come through untouched.
    GLWidget *other = addUnsavedCapture(window, 50);
    QVERIFY(other);
    const QString otherFile = other->swapFile->file.fileName();
    const QByteArray otherBytes = fileBytes(otherFile);
    const QStringList tabsBefore = [&] {
      QStringList names;
      for (int i = 0; i < window.tabWidget()->count(); ++i)
        names << window.tabWidget()->tabText(i);
      return names;
    }();

    const QByteArray bytes = fileBytes(good);
    QCOMPARE(bytes.size(), 512 + 300 * 32 + ReportData::byteSize);
    const qint64 record = 4 * 8;
    QByteArray damaged;
    if (damage == "short")
      damaged = bytes.left(300);
    else if (damage == "version")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.version = 9; });
    else if (damage == "count0")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.channelCount = 0; });
    else if (damage == "count127")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.channelCount = 127; });
    else if (damage == "divider0")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.divider = 0; });
    else if (damage == "mode7")
      damaged = withHeader(bytes, [](SwapFileHeader &h) { h.mode = 7; });
    else if (damage == "text")
      damaged = QByteArray(2048, 'x');
    else if (damage == "cut")
      damaged = bytes.left(512 + 120 * record + record / 2);
    else if (damage == "notail")
      damaged = bytes.left(bytes.size() - ReportData::byteSize);
    const QString path = dir.filePath("damaged.tovri");
    writeBytes(path, damaged);

    DialogScript script({DialogScript::box(QMessageBox::Ok)});
    const bool loaded = window.loadFile(path);
    QCOMPARE(loaded, opens);
    QCOMPARE(window.tabWidget()->count(), tabsBefore.size() + (opens ? 1 : 0));
    for (int i = 0; i < tabsBefore.size(); ++i)
      QCOMPARE(window.tabWidget()->tabText(i), tabsBefore[i]);
    QCOMPARE(fileBytes(otherFile), otherBytes);
    QVERIFY(!other->saved);
    if (opens) {
      QVERIFY(script.boxTexts.isEmpty());
      // Every whole record before the damage is there.
      const int expected = damage == "cut" ? 120 : 300;
      QCOMPARE(window.currentWidget()->maps[0]->size(), expected);
      QCOMPARE(window.currentWidget()->maps[2]->last().value, loggerValue(2, expected - 1));
    } else {
      QCOMPARE(script.boxTexts, QStringList{"The file is corrupted or in the wrong format"});
    }
  }
};

TOVRI_TEST(OpeningTest)
#include "tst_opening.moc"
