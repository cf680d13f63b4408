#include "capturebytes.h"
#include "controlpackets.h"
#include "filesizelimit.h"
#include "helpers.h"
#include "settings.h"
#include "swapfile.h"
#include "processstate.h"
#include "testmain.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtConcurrent>

#include <limits>

namespace {

// Stands in for the device link's start command: a 64-byte image with the
// big-endian channel mask at bytes 4..5 and the divider at bytes 6..7.
DeviceControl StartCommand(quint16 mask, quint16 divider)
{
  uchar image[64] = {};
  image[0] = 2;
  image[1] = 0x80;
  image[4] = uchar(mask >> 8);
  image[5] = uchar(mask);
  image[6] = uchar(divider >> 8);
  image[7] = uchar(divider);
  return DeviceControl(image, 64);
}

PlotDataMap *series(const QList<QPair<double, double>> &points)
{
  auto *map = new PlotDataMap;
  for (const auto &p : points)
    map->insert(p.first, PlotData(p.first, p.second));
  return map;
}

} // namespace

class SwapFileWriteTest : public QObject
{
  Q_OBJECT

  QTemporaryDir m_dir;
  QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
  void init() { resetProcessState(); }

  void loggerHeaderIsByteExact()
  {
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    const QString file = path("logger.tmp");
    QVERIFY(sw.create(file));
    QCOMPARE(QFileInfo(file).size(), 512);
    QVERIFY(sw.setHeader(StartCommand(0x0005, 10)));
    QCOMPARE(errors.count(), 0);

    QCOMPARE(sw.header.channelCount, qint8(2));
    QCOMPARE(sw.header.channelMask, quint8(5));
    QCOMPARE(sw.header.recordLength(), 24);
    QCOMPARE(sw.activeChannels, QList<int>({0, 2}));
    QVERIFY(sw.creationTime > 0);

    CaptureBytes::Header h = CaptureBytes::headerFor({0, 2}, 10);
    h.creationTime = sw.creationTime;
    QCOMPARE(CaptureBytes::readFile(file), CaptureBytes::headerBlock(h));
  }

  void powerV2HeaderUsesTheWideMask()
  {
    Helpers::powerV2Mode = true;
    SwapFile sw;
    const QString file = path("v2.tmp");
    QVERIFY(sw.create(file));
    QCOMPARE(SwapFile::readHeader(file).mode, quint8(2));
    QVERIFY(sw.setHeader(3, 0b1011, true, 100, true));
    QCOMPARE(sw.header.channelMask32, 11u);
    QCOMPARE(sw.header.channelMask, quint8(1));
    QCOMPARE(sw.activeChannels, QList<int>({0, 1, 3}));

    CaptureBytes::Header h;
    h.channelCount = 3;
    h.channelMask = 1;
    h.divider = 100;
    h.mode = 2;
    h.channelList = {};
    h.fahrenheit = 1;
    h.custom = 1;
    h.channelMask32 = 11;
    h.channelList32 = {0, 1, 3};
    h.creationTime = sw.creationTime;
    QCOMPARE(CaptureBytes::readFile(file), CaptureBytes::headerBlock(h));
  }

  void powerV1HeaderUsesTheByteMask()
  {
    Helpers::powerMode = true;
    SwapFile sw;
    const QString file = path("v1.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(2, 0b10010, false, 1000, false));
    const SwapFileHeader h = SwapFile::readHeader(file);
    QCOMPARE(h.mode, quint8(1));
    QCOMPARE(h.channelMask, quint8(0x12));
    QCOMPARE(h.channelList[0], quint8(1));
    QCOMPARE(h.channelList[1], quint8(4));
    QCOMPARE(h.channelMask32, 1u);
    QCOMPARE(h.fahrenheit, qint16(0));
    QCOMPARE(h.custom, qint16(0));
  }

  // A header that would not describe its records is refused, reported, and
  // the file takes no records.
  void badHeadersAreRefused_data()
  {
    QTest::addColumn<quint16>("mask");
    QTest::addColumn<quint16>("divider");
    QTest::addColumn<int>("code");
    QTest::newRow("no channel") << quint16(0) << quint16(1) << int(SwapFile::WrongChannels);
    QTest::newRow("channel above the byte mask") << quint16(0x0101) << quint16(1) << int(SwapFile::WrongChannels);
    QTest::newRow("four logger channels") << quint16(0x000F) << quint16(1) << int(SwapFile::WrongChannels);
    QTest::newRow("divider 0") << quint16(1) << quint16(0) << int(SwapFile::Damaged);
    QTest::newRow("divider negative") << quint16(1) << quint16(0x8000) << int(SwapFile::Damaged);
  }
  void badHeadersAreRefused()
  {
    QFETCH(quint16, mask);
    QFETCH(quint16, divider);
    QFETCH(int, code);
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    const QString file = path("refused.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(!sw.setHeader(StartCommand(mask, divider)));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.at(0).at(0).toInt(), code);

    auto *m0 = series({{0, 1}});
    QList<PlotDataMap *> maps{m0, series({{0, 2}}), series({{0, 3}})};
    QVERIFY(!sw.append(0, -1, maps, true));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::WriteFailed));
    QCOMPARE(m0->size(), 1); // still the caller's
    qDeleteAll(maps);
    QCOMPARE(QFileInfo(file).size(), 512);
  }

  void powerHeaderCountMustMatchTheMask()
  {
    Helpers::powerMode = true;
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QVERIFY(sw.create(path("count.tmp")));
    QVERIFY(!sw.setHeader(3, 0b11, false, 10, false));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::WrongChannels));
    QVERIFY(!sw.setHeader(9, 0x1FF, false, 10, false)); // nine outputs do not fit a record
    QVERIFY(sw.setHeader(2, 0b11, false, 10, false));
  }

  void setHeaderWithoutCreatedFileFails()
  {
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    const QString file = path("short.tmp");
    QVERIFY(CaptureBytes::writeFile(file, QByteArray(100, '\0')));
    sw.file.setFileName(file);
    QVERIFY(!sw.setHeader(StartCommand(1, 1)));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::MapFailed));
  }

  // Records walk the channels in lockstep: as many as the shortest map
  // holds, each timed by the first active channel.
  void appendWritesWholeRecordsInLockstep()
  {
    SwapFile sw;
    const QString file = path("lockstep.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(StartCommand(0x0007, 1)));
    QList<PlotDataMap *> maps{series({{0.0, 10}, {0.0001, 11}, {0.0002, 12}, {0.0003, 13}, {0.0004, 14}}),
                              series({{0.00005, 20}, {0.00015, 21}, {0.00025, 22}}),
                              series({{0.0, -30}, {0.0001, -31}, {0.0002, -32}, {0.0003, -33}})};
    QVERIFY(sw.append(0, -1, maps, false));
    QCOMPARE(maps.at(0)->size(), 5); // untouched without deleteMaps
    qDeleteAll(maps);

    const QByteArray expected = CaptureBytes::doubles(
        {0.0, 10, 20, -30, 0.0001, 11, 21, -31, 0.0002, 12, 22, -32});
    const QByteArray bytes = CaptureBytes::readFile(file);
    QCOMPARE(bytes.size(), 512 + 3 * 32);
    QCOMPARE(bytes.mid(512), expected);
  }

  // Maps are indexed by channel number: the inactive #1 is skipped, and
  // deleteMaps frees every entry (LeakSanitizer checks the inactive one).
  void appendByChannelNumberFreesEveryMap()
  {
    SwapFile sw;
    const QString file = path("sparse.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(StartCommand(0x0005, 10)));
    QList<PlotDataMap *> maps{series({{1, 100}, {2, 200}}), series({{1, 999}}), series({{1, 5}, {2, 6}})};
    QVERIFY(sw.append(0, -1, maps, true));
    QCOMPARE(CaptureBytes::readFile(file).mid(512), CaptureBytes::doubles({1, 100, 5, 2, 200, 6}));
  }

  void appendPowerIndexesByPosition()
  {
    Helpers::powerMode = true;
    SwapFile sw;
    const QString file = path("power.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(2, 0b10100, false, 1000, false)); // channels 2 and 4
    QList<PlotDataMap *> maps{series({{0, 1.5}, {0.1, 2.5}}), series({{0, 7}, {0.1, 8}})};
    QVERIFY(sw.append(0, -1, maps, true)); // handed to appendPower in power mode
    QCOMPARE(CaptureBytes::readFile(file).mid(512), CaptureBytes::doubles({0, 1.5, 7, 0.1, 2.5, 8}));
  }

  void appendWithoutMapForAnActiveChannelKeepsTheMaps()
  {
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    const QString file = path("missing-map.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(StartCommand(0x0005, 1)));
    QList<PlotDataMap *> maps{series({{0, 1}}), series({{0, 2}})}; // no map for #2
    QVERIFY(!sw.append(0, -1, maps, true));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::WrongChannels));
    QCOMPARE(maps.at(0)->size(), 1);
    qDeleteAll(maps);
    QCOMPARE(QFileInfo(file).size(), 512);
  }

  // The working file vanished (a cleaner emptied the temporary folder): the
  // records are refused rather than written into a new file without header.
  void appendNeverCreatesAFileWithoutHeader()
  {
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    const QString file = path("vanished.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(QFile::remove(file));
    QVERIFY(!sw.setHeader(StartCommand(0x0001, 1)));
    QVERIFY(!QFile::exists(file));

    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(StartCommand(0x0001, 1)));
    QVERIFY(QFile::remove(file));
    QList<PlotDataMap *> maps{series({{0, 1}, {0.0001, 2}})};
    QVERIFY(!sw.append(0, -1, maps, true));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::WriteFailed));
    QCOMPARE(maps.at(0)->size(), 2);
    qDeleteAll(maps);
    QVERIFY(!sw.writeReport(ReportData()));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::OpenFailed));
    QVERIFY(!QFile::exists(file));
  }

  // A write that fails half way (the disk is full) leaves the file as it was
  // and every point with the caller, who can try again.
  void failedWriteLosesNothing()
  {
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    const QString file = path("full.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(StartCommand(0x0001, 1)));
    QList<PlotDataMap *> first{series({{0, 1}, {0.0001, 2}})};
    QVERIFY(sw.append(0, -1, first, true));

    auto *map = new PlotDataMap;
    for (int i = 2; i < 1000; ++i)
      map->insert(i * 0.0001, PlotData(i * 0.0001, i));
    QList<PlotDataMap *> maps{map};
    {
      FileSizeLimit limit(512 + 2 * 16 + 100);
      QVERIFY(!sw.append(0, -1, maps, true));
    }
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::WriteFailed));
    QCOMPARE(map->size(), 998);
    QCOMPARE(QFileInfo(file).size(), 512 + 2 * 16);

    QVERIFY(sw.append(0, -1, maps, true)); // the retry writes them all
    QCOMPARE(QFileInfo(file).size(), 512 + 1000 * 16);
  }

  void concurrentAppendsDoNotInterleave()
  {
    SwapFile sw;
    const QString file = path("pool.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(StartCommand(0x0003, 1)));
    auto make = [](double base) {
      QList<PlotDataMap *> maps;
      for (int c = 0; c < 2; ++c) {
        auto *m = new PlotDataMap;
        for (int i = 0; i < 20000; ++i)
          m->insert(base + i, PlotData(base + i, c));
        maps.append(m);
      }
      return maps;
    };
    const QList<PlotDataMap *> a = make(0), b = make(100000);
    QFuture<bool> fa = QtConcurrent::run(QThreadPool::globalInstance(), [&] { return sw.append(0, -1, a, true); });
    QFuture<bool> fb = QtConcurrent::run(QThreadPool::globalInstance(), [&] { return sw.append(0, -1, b, true); });
    QVERIFY(fa.result());
    QVERIFY(fb.result());
    const QByteArray bytes = CaptureBytes::readFile(file);
    QCOMPARE(bytes.size(), 512 + 40000 * 24);
    QDataStream s(bytes.mid(512));
    s.setByteOrder(QDataStream::LittleEndian);
    s.setFloatingPointPrecision(QDataStream::DoublePrecision);
    int breaks = 0;
    double previous = -1;
    for (int k = 0; k < 40000; ++k) {
      double t, v0, v1;
      s >> t >> v0 >> v1;
      QCOMPARE(v0, 0.0);
      QCOMPARE(v1, 1.0);
      if (t != previous + 1)
        ++breaks;
      previous = t;
    }
    QVERIFY(breaks <= 2); // one block per call, in either order
  }

  void reportTailIsByteExactAndStopFindsTheDuration()
  {
    SwapFile sw;
    const QString file = path("tail.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(StartCommand(0x0001, 10)));
    QList<PlotDataMap *> maps{series({{0, 5}, {0.001, 6}, {0.002, 7}})};
    QVERIFY(sw.append(0, -1, maps, true));

    ReportData r;
    r.t_end = 0.002;
    r.min0 = 5;
    r.max0 = 7;
    r.avg0 = 6;
    r.sum0 = 18;
    r.count = 3;
    QVERIFY(sw.writeReport(r));
    QVERIFY(sw.stop());
    QCOMPARE(sw.duration, 0.002);

    // Channels without data carry the format's empty maximum, the smallest
    // positive normal double.
    const double big = std::numeric_limits<double>::max();
    const double tiny = std::numeric_limits<double>::min();
    const QByteArray expected = CaptureBytes::tail({0.002, 0, 5, 7, 6, 18, big, tiny, 0, 0, big, tiny, 0, 0}, 3);
    const QByteArray bytes = CaptureBytes::readFile(file);
    QCOMPARE(bytes.size(), 512 + 3 * 16 + 120);
    QCOMPARE(bytes.right(120), expected);
  }

  // A channel without data is stored with the format's empty maximum and
  // reads back empty; an all-negative channel keeps its real maximum.
  void emptyAndNegativeMaximaRoundTrip()
  {
    SwapFile sw;
    const QString file = path("negative.tmp");
    QVERIFY(sw.create(file));
    QVERIFY(sw.setHeader(StartCommand(0x0001, 10)));
    QList<PlotDataMap *> maps{series({{0, -50}, {0.001, -40}})};
    QVERIFY(sw.append(0, -1, maps, true));
    ReportData r;
    r.t_end = 0.001;
    r.min0 = -50;
    r.max0 = qMax(r.max0, -50.0);
    r.max0 = qMax(r.max0, -40.0);
    r.count = 2;
    QVERIFY(sw.writeReport(r));
    QVERIFY(sw.stop());
    const QByteArray tail = CaptureBytes::readFile(file).right(120);
    QCOMPARE(tail.mid(24, 8), CaptureBytes::doubles({-40}));
    QCOMPARE(tail.mid(56, 8), CaptureBytes::doubles({std::numeric_limits<double>::min()}));
    QCOMPARE(tail.mid(88, 8), CaptureBytes::doubles({std::numeric_limits<double>::min()}));
    const ReportData back = sw.readReport();
    QVERIFY(back.hasData(0));
    QCOMPARE(back.max0, -40.0);
    QVERIFY(!back.hasData(1));
    QCOMPARE(back.max1, std::numeric_limits<double>::lowest()); // the running start in memory
  }

  void emptyReportUsesTheLowestMaximum()
  {
    ReportData r;
    QCOMPARE(r.max0, std::numeric_limits<double>::lowest());
    QCOMPARE(r.min2, std::numeric_limits<double>::max());
    QVERIFY(!r.hasData(0));
    r.max0 = qMax(r.max0, -40.0); // an all-negative channel keeps its real maximum
    QVERIFY(r.hasData(0));
    QCOMPARE(r.max0, -40.0);
  }

  void renameMovesTheFile()
  {
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    const QString from = path("work.tmp");
    QVERIFY(sw.create(from));
    QVERIFY(sw.setHeader(StartCommand(1, 1)));

    QVERIFY(!sw.rename(path("no/such/folder/run.tovri")));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::SaveFailed));
    QVERIFY(QFile::exists(from));
    QCOMPARE(sw.file.fileName(), from);

    const QString to = path("run.tovri");
    QVERIFY(sw.save(to));
    QVERIFY(!QFile::exists(from));
    QCOMPARE(sw.file.fileName(), to);
    QCOMPARE(SwapFile::readHeader(to).channelCount, qint8(1));

    QVERIFY(sw.remove());
    QVERIFY(!QFile::exists(to));
    QVERIFY(!sw.remove());
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::RemoveFailed));
  }

  // Saving a capture whose end is still in memory: the new file takes the
  // chosen name only once it is whole and reads back as a capture. On any
  // failure the file it would replace and the working file stay as they
  // were, and nothing is left beside them.
  void saveFinishedReplacesOnlyWithAWholeCapture_data()
  {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("saved");
    QTest::newRow("sound") << "" << true;
    QTest::newRow("working file cut inside its header record") << "cut" << false;
    QTest::newRow("working file of a later version") << "version" << false;
    QTest::newRow("no room for the new file") << "full" << false;
  }

  void saveFinishedReplacesOnlyWithAWholeCapture()
  {
    QFETCH(QString, damage);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    const QString working = dir.filePath("Capture 1.tmp");
    const QString target = dir.filePath("run.tovri");
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QVERIFY(sw.create(working));
    QVERIFY(sw.setHeader(StartCommand(0x0003, 100)));
    QList<PlotDataMap *> written{series({{0, 1}, {0.01, 2}}), series({{0, 10}, {0.01, 20}})};
    QVERIFY(sw.append(0, -1, written, true));
    PlotDataMap held0, held1;
    for (int i = 2; i < 60; ++i) {
      held0.insert(i / 100.0, PlotData(i / 100.0, i));
      held1.insert(i / 100.0, PlotData(i / 100.0, 10.0 * i));
    }
    ReportData report;
    report.t_end = 0.59;
    report.count = 60;
    report.min0 = 0, report.max0 = 59, report.min1 = 10, report.max1 = 590;

    QByteArray work = CaptureBytes::readFile(working);
    if (damage == "cut")
      work.truncate(6);
    else if (damage == "version")
      work[0] = char(9);
    QVERIFY(CaptureBytes::writeFile(working, work));
    const QByteArray old = CaptureBytes::readFile(CaptureBytes::writeFile(target, QByteArray(700, 'o')) ? target : QString());
    QCOMPARE(old.size(), 700);

    QString why;
    bool ok = false;
    {
      FileSizeLimit limit(damage == "full" ? 1000 : std::numeric_limits<long long>::max() / 2);
      ok = sw.saveFinished(target, {&held0, &held1}, report, true, &why);
    }
    QCOMPARE(ok, saved);
    if (!saved) {
      QVERIFY(!why.isEmpty());
      QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::SaveFailed));
      QCOMPARE(CaptureBytes::readFile(target), old);
      QCOMPARE(CaptureBytes::readFile(working), work);
      QCOMPARE(sw.file.fileName(), working);
      QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"Capture 1.tmp", "run.tovri"}));
      return;
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"run.tovri"}));
    QCOMPARE(sw.file.fileName(), target);
    QCOMPARE(sw.duration, 0.59);
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
    SwapFile back;
    QVERIFY(back.loadCapture(target, 100, maps, nullptr));
    QVERIFY(!back.recovery.recovered);
    QCOMPARE(maps[1]->size(), 60);
    QCOMPARE(maps[1]->last().value, 590.0);
    QCOMPARE(back.readReport().count, qint64(60));
  }

  void createInAMissingFolderFails()
  {
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QVERIFY(!sw.create(path("missing/dir/x.tmp")));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::CreateFailed));
  }

  void writeReportWithoutFileFails()
  {
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    sw.file.setFileName(path("missing/dir/x.tmp"));
    QVERIFY(!sw.writeReport(ReportData()));
    QCOMPARE(errors.last().at(0).toInt(), int(SwapFile::OpenFailed));
  }

  void thresholdsComeFromTheSettings()
  {
    {
      SwapFile sw;
      QCOMPARE(sw.thresholds[0], 25.0);
      QCOMPARE(sw.thresholds[1], 1000.0);
      QCOMPARE(sw.thresholds[2], 3200.0);
    }
    {
      Settings s;
      s.beginGroup("Options");
      s.setValue("thresholds", "12.5,abc,40");
      s.endGroup();
    }
    {
      SwapFile sw;
      QCOMPARE(sw.thresholds[0], 12.5);
      QCOMPARE(sw.thresholds[1], 1000.0); // a part that is no number keeps the default
      QCOMPARE(sw.thresholds[2], 40.0);
    }
    {
      Settings s;
      s.beginGroup("Options");
      s.setValue("thresholds", "1,2");
      s.endGroup();
    }
    {
      SwapFile sw;
      QCOMPARE(sw.thresholds[0], 25.0); // two parts: not taken
      QCOMPARE(sw.thresholds[2], 3200.0);
    }
    Settings s;
    s.remove("Options/thresholds");
  }
};

TOVRI_TEST(SwapFileWriteTest)
#include "tst_swapfilewrite.moc"
