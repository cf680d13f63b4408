#include "capturebytes.h"
#include "helpers.h"
#include "progressdialog.h"
#include "settings.h"
#include "swapfile.h"
#include "processstate.h"
#include "testmain.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>
#include <limits>

namespace {

const double big = std::numeric_limits<double>::max();
const double qnan = std::numeric_limits<double>::quiet_NaN();

// Point maps for three logger channels, freed with the holder.
struct Maps
{
  QList<PlotDataMap *> list;
  explicit Maps(int n = 3)
  {
    for (int i = 0; i < n; ++i)
      list.append(new PlotDataMap);
  }
  ~Maps() { qDeleteAll(list); }
  PlotDataMap &operator[](int i) { return *list[i]; }
};

// Rows of a record: time first, then one value per channel.
using Row = QList<double>;

QByteArray recordBytes(const QList<Row> &rows)
{
  QList<double> flat;
  for (const Row &r : rows)
    flat += r;
  return CaptureBytes::doubles(flat);
}

QByteArray emptyTail()
{
  const double lowest = std::numeric_limits<double>::lowest();
  return CaptureBytes::tail({0, 0, big, lowest, 0, 0, big, lowest, 0, 0, big, lowest, 0, 0}, 0);
}

QByteArray liveTail(double tEnd, qint64 count, double tStart = 0)
{
  return CaptureBytes::tail({tEnd, tStart, 1, 2, 1.5, 3, big, std::numeric_limits<double>::lowest(), 0, 0, big,
                             std::numeric_limits<double>::lowest(), 0, 0},
                            count);
}

} // namespace

class SwapFileReadTest : public QObject
{
  Q_OBJECT

  QTemporaryDir m_dir;
  QString path(const QString &name) const { return m_dir.filePath(name); }

  // A capture written the way the main window writes one: records at
  // 100 per second (divider 100), k = 0..n-1 at time k / 100.
  QString writeCapture(const QString &name, quint16 mask, int n, const std::function<double(int, int)> &value,
                       bool withTail = true)
  {
    SwapFile sw;
    const QString file = path(name);
    if (!sw.create(file) || !sw.setLoggerHeader(mask, 100))
      return QString();
    QList<PlotDataMap *> maps;
    for (int c = 0; c < 3; ++c)
      maps.append(new PlotDataMap);
    ReportData live;
    for (int k = 0; k < n; ++k) {
      const double t = k / 100.0;
      for (int c = 0; c < 3; ++c) {
        if (mask & (1 << c))
          maps[c]->insert(t, PlotData(t, value(k, c)));
      }
      live.t_end = t;
      live.count = k + 1;
    }
    if (!sw.append(0, -1, maps, true))
      return QString();
    if (withTail && (!sw.writeReport(live) || !sw.stop()))
      return QString();
    return file;
  }

  static int lastError(const QSignalSpy &spy) { return spy.isEmpty() ? 0 : spy.last().at(0).toInt(); }

private slots:
  void init() { resetProcessState(); }

  void windowsAtStartMiddleAndEnd_data()
  {
    QTest::addColumn<double>("centre");
    QTest::addColumn<double>("span");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");
    QTest::newRow("start") << 2.0 << 10.0 << 0.0 << 10.0;
    QTest::newRow("before zero") << -7.0 << 10.0 << 0.0 << 10.0;
    QTest::newRow("middle") << 15.0 << 10.0 << 10.0 << 20.0;
    QTest::newRow("end") << 29.0 << 10.0 << 20.0 << 30.0;
    QTest::newRow("past the end") << 80.0 << 10.0 << 20.0 << 30.0;
    QTest::newRow("longer than the capture") << 5.0 << 60.0 << 0.0 << 30.0;
    QTest::newRow("empty span") << 12.5 << 0.0 << 12.5 << 12.5;
  }
  void windowsAtStartMiddleAndEnd()
  {
    QFETCH(double, centre);
    QFETCH(double, span);
    QFETCH(double, first);
    QFETCH(double, last);
    const QString file = writeCapture("window.tovri", 7, 3001, [](int k, int c) { return c == 0 ? 1000 + k : c * k; });
    QVERIFY(!file.isEmpty());
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    sw.file.setFileName(file);
    Maps maps;
    QVERIFY(sw.readRange(centre, span, maps.list));
    QCOMPARE(errors.count(), 0);
    QCOMPARE(sw.duration, 30.0);
    for (int c = 0; c < 3; ++c) {
      QCOMPARE(maps[c].firstKey(), first);
      QCOMPARE(maps[c].lastKey(), last);
      QCOMPARE(maps[c].size(), qRound((last - first) * 100) + 1);
    }
    const int k = qRound(first * 100);
    QCOMPARE(maps[0].first().value, 1000.0 + k);
    QCOMPARE(maps[2].last().value, 2.0 * qRound(last * 100));
    QVERIFY(!sw.file.isOpen());
  }

  void sparseChannelsUseTheirOwnMapsAndColumns()
  {
    const QString file = writeCapture("sparse.tovri", 0b101, 1001, [](int k, int c) { return c == 0 ? k : -k; });
    SwapFile sw;
    sw.file.setFileName(file);
    Maps maps;
    QVERIFY(sw.readRange(5, 10, maps.list));
    QCOMPARE(maps[0].size(), 1001);
    QCOMPARE(maps[1].size(), 0);
    QCOMPARE(maps[2].size(), 1001);
    QCOMPARE(maps[2].value(1.0).value, -100.0);

    // Mean of -k over k = 200..400 (times 2..4 s) is -300.
    QCOMPARE(sw.getAverage(PlotRange(2, 4), 2), -300.0);
    QCOMPARE(sw.getAverage(PlotRange(2, 4), 0), 300.0);
    QCOMPARE(sw.getAverage(PlotRange(2, 4), 1), SwapFile::noData);
  }

  // Lost packets leave a hole in the times; windows are found by the
  // records' own times, not by their position.
  void captureWithAGapPagesByTime()
  {
    QList<Row> rows;
    for (int k = 0; k <= 1000; ++k)
      rows.append({k / 100.0, double(k)});
    for (int k = 2000; k <= 3000; ++k)
      rows.append({k / 100.0, double(k)});
    const CaptureBytes::Header h = CaptureBytes::headerFor({0}, 100);
    const QString file = path("gap.tovri");
    QVERIFY(CaptureBytes::writeFile(file, CaptureBytes::headerBlock(h) + recordBytes(rows) + liveTail(30, 2002)));

    SwapFile sw;
    sw.file.setFileName(file);
    Maps maps(1);
    QVERIFY(sw.readRange(25, 4, maps.list));
    QCOMPARE(maps[0].firstKey(), 23.0);
    QCOMPARE(maps[0].lastKey(), 27.0);
    QCOMPARE(maps[0].first().value, 2300.0);

    maps[0].clear();
    QVERIFY(sw.readRange(12, 8, maps.list)); // [8, 16]: only the records before the hole
    QCOMPARE(maps[0].firstKey(), 8.0);
    QCOMPARE(maps[0].lastKey(), 10.0);

    maps[0].clear();
    QVERIFY(sw.readRange(15, 2, maps.list)); // inside the hole
    QVERIFY(maps[0].isEmpty());
    QCOMPARE(sw.getAverage(PlotRange(14, 16), 0), SwapFile::noData);
    QCOMPARE(sw.getAverage(PlotRange(9, 21), 0), (900 * 101 + 5050 + 2000 * 101 + 5050) / 202.0);
  }

  void averageSkipsValuesThatAreNoNumbers()
  {
    const CaptureBytes::Header h = CaptureBytes::headerFor({0});
    const QString file = path("qnan.tovri");
    QVERIFY(CaptureBytes::writeFile(file, CaptureBytes::headerBlock(h) +
                                              recordBytes({{0, qnan}, {1, 4}, {2, qnan}, {3, 8}, {4, qnan}})));
    SwapFile sw;
    sw.file.setFileName(file);
    QCOMPARE(sw.getAverage(PlotRange(0, 4), 0), 6.0);
    QCOMPARE(sw.getAverage(PlotRange(3.5, 4.5), 0), 8.0); // clamped to [3, 4]
    QCOMPARE(sw.getAverage(PlotRange(4, 4), 0), SwapFile::noData);
  }

  void navigationScanBuildsSteps()
  {
    const CaptureBytes::Header h = CaptureBytes::headerFor({0, 1}, 10000);
    const QString file = path("steps.tovri");
    QVERIFY(CaptureBytes::writeFile(
        file, CaptureBytes::headerBlock(h) +
                  recordBytes({{0, 0, 0}, {1, 30000, 0}, {2, 30000, 0}, {3, 10, 0}}) + liveTail(3, 4, 0.5)));
    SwapFile sw;
    sw.file.setFileName(file);
    sw.activeChannels = {0, 1};
    QVERIFY(sw.readFiltered(nullptr));
    const PlotDataMap &s = *sw.navigationSeries;
    QCOMPARE(s.keys(), QList<double>({0, 1 - 0.0001, 1, 3 - 0.00001, 3}));
    QCOMPARE(s.values().at(0).value, 0.0);
    QCOMPARE(s.value(1 - 0.0001).value, 0.0);
    QCOMPARE(s.value(1).value, 25.0);
    QCOMPARE(s.value(3 - 0.00001).value, 25.0);
    QCOMPARE(s.value(3).value, 0.0);
    // The span is the one the statistics tail records.
    QCOMPARE(sw.navigationRange, PlotRange(0.5, 3));
    QCOMPARE(sw.navigationSpan, PlotRange(0.5, 3));
    QCOMPARE(sw.navigationChannel, 0);
    QCOMPARE(sw.navigationColumn, 0);
  }

  // The default scan takes the threshold of the first active channel, here
  // #1 (mV, compared unscaled), not the entry of its column.
  void defaultScanUsesTheChannelsThreshold()
  {
    {
      Settings s;
      s.beginGroup("Options");
      s.setValue("thresholds", "999,500,7");
      s.endGroup();
    }
    const CaptureBytes::Header h = CaptureBytes::headerFor({1, 2}, 10000);
    const QString file = path("ch1.tovri");
    QVERIFY(CaptureBytes::writeFile(
        file, CaptureBytes::headerBlock(h) + recordBytes({{0, 100, 9}, {1, 600, 9}, {2, 400, 9}, {3, 100, 9}})));
    SwapFile sw;
    sw.file.setFileName(file);
    sw.activeChannels = {1, 2};
    sw.thresholds[1] = 500;
    QVERIFY(sw.readFiltered(nullptr));
    QCOMPARE(sw.navigationChannel, 1);
    QCOMPARE(sw.navigationSeries->value(1).value, 500.0);
    QCOMPARE(sw.navigationSeries->value(2).value, 0.0);
    QCOMPARE(sw.navigationSeries->size(), 6);

    Maps maps;
    QVERIFY(sw.read(file, 10, maps.list)); // the first scan of an opened file does the same
    QCOMPARE(sw.navigationSeries->value(1).value, 500.0);
    QCOMPARE(maps[2].size(), 4);
    Settings s;
    s.remove("Options/thresholds");
  }

  void runEndsOnAValueThatIsNoNumber()
  {
    const CaptureBytes::Header h = CaptureBytes::headerFor({0}, 10000);
    const QString file = path("nanrun.tovri");
    // No tail, and the last record's value is no start time (0 at 4 s could
    // be the first 16 bytes of a tail cut short, which recovery drops).
    QVERIFY(CaptureBytes::writeFile(file, CaptureBytes::headerBlock(h) +
                                              recordBytes({{0, 0}, {1, 50000}, {2, qnan}, {3, 50000}, {4, 10}})));
    SwapFile sw;
    QVERIFY(sw.readFiltered(file, 0, 0, 25, nullptr));
    const PlotDataMap &s = *sw.navigationSeries;
    QCOMPARE(s.value(2).value, 0.0);
    QCOMPARE(s.value(2 - 0.00001).value, 25.0);
    QCOMPARE(s.value(3).value, 25.0);
    QCOMPARE(s.value(4).value, 0.0);
    QCOMPARE(sw.navigationRange, PlotRange(0, 4)); // no tail: the span of the records
  }

  // More records than one read block holds (24-byte records do not divide
  // it): alignment holds and a run is not broken at the block boundaries.
  void scanCrossesReadBlocks()
  {
    const int perBlock = int(SwapFile::readBlockBytes / 24);
    const int n = 3 * perBlock + 100;
    const int dipAt = perBlock - 1; // the last record of the first block
    const int dipLength = 40;        // several of the scan's bins
    QList<double> flat;
    flat.reserve(n * 3);
    for (int k = 0; k < n; ++k) {
      const bool dip = k >= dipAt && k < dipAt + dipLength;
      flat << k * 0.0001 << (dip ? 0.0 : 30000.0) << double(k);
    }
    const CaptureBytes::Header h = CaptureBytes::headerFor({0, 1});
    const QString file = path("slices.tovri");
    QVERIFY(CaptureBytes::writeFile(file, CaptureBytes::headerBlock(h) + CaptureBytes::doubles(flat)));
    SwapFile sw;
    QVERIFY(sw.readFiltered(file, 0, 0, 25, nullptr));
    const double tDip = dipAt * 0.0001, tBack = (dipAt + dipLength) * 0.0001, tLast = (n - 1) * 0.0001;
    const QList<double> expected = {-0.0001, 0.0, tDip - 0.00001, tDip, tBack - 0.0001, tBack, tLast - 0.0000001, tLast};
    QCOMPARE(sw.navigationSeries->keys(), expected);
    QCOMPARE(sw.duration, tLast);
    QCOMPARE(sw.getAverage(PlotRange(tBack, tBack), 1), double(dipAt + dipLength));
  }

  void closeCancelsTheScan_data()
  {
    QTest::addColumn<int>("threads");
    QTest::newRow("one walk") << 1;
    QTest::newRow("in stretches") << 4;
  }

  void closeCancelsTheScan()
  {
    QFETCH(int, threads);
    const QString file = writeCapture("cancel.tovri", 1, 50000, [](int k, int) { return (k / 1000) % 2 ? 50000 : 0; });
    SwapFile::scanThreads = threads;
    SwapFile sw;
    ProgressDialog dialog(0, 100);
    connect(&dialog, &ProgressDialog::canceled, &sw, &SwapFile::terminate);
    dialog.show();
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.findChild<QPushButton *>("closeButton")->click(); });
    QVERIFY(!sw.readFiltered(file, 0, 0, 25, &dialog));
    QVERIFY(sw.terminated);
    QCOMPARE(dialog.info(), QStringLiteral("Decimating..."));
    QVERIFY(sw.navigationSeries->size() < 10); // only what was found before the click

    // The cancel stays with the reads: finishing and the statistics still work.
    QVERIFY(sw.stop());
    QCOMPARE(sw.duration, 499.99);
    QCOMPARE(sw.readReport().count, 50000);

    QVERIFY(sw.readFiltered(file, 0, 0, 25, &dialog)); // the next scan starts afresh
    QCOMPARE(sw.navigationSeries->size(), 2 + 24 * 4 + 3); // the last run closes at the end
  }

  void readOpensACaptureForDisplay()
  {
    const QString file = writeCapture("open.tovri", 7, 2001, [](int k, int c) { return c == 0 ? (k >= 500 ? 40000 : 0) : k; });
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    Maps maps;
    QVERIFY(sw.read(file, 10, maps.list));
    QCOMPARE(errors.count(), 0);
    QCOMPARE(maps[0].firstKey(), 0.0);
    QCOMPARE(maps[0].lastKey(), 9.99); // the first ten seconds: the record at 10 s is the eleventh
    QCOMPARE(maps[0].size(), 1000);
    QCOMPARE(maps[1].value(7.5).value, 750.0);
    QCOMPARE(sw.duration, 20.0);
    QCOMPARE(sw.navigationSeries->value(5.0).value, 25.0);
    QCOMPARE(sw.navigationSeries->lastKey(), 20.0);
    QVERIFY(!Helpers::powerMode && !Helpers::powerV2Mode);
  }

  void readOfAPowerFileSetsItsMode()
  {
    const CaptureBytes::Header h = CaptureBytes::headerFor({2, 4}, 1000, 1);
    const QString file = path("supply.kelvpow");
    QVERIFY(CaptureBytes::writeFile(file, CaptureBytes::headerBlock(h) +
                                              recordBytes({{0, 1, 2}, {0.1, 3, 4}, {0.2, 5, 6}}) + emptyTail()));
    SwapFile sw;
    Maps maps(2);
    QVERIFY(sw.read(file, 10, maps.list));
    QVERIFY(Helpers::powerMode);
    QCOMPARE(maps[0].size(), 3);
    QCOMPARE(maps[1].value(0.2).value, 6.0);

    maps[0].clear();
    QVERIFY(sw.readRange(0.1, 0, maps.list)); // by position in power mode
    QCOMPARE(maps[0].keys(), QList<double>({0.1}));
  }

  // Samples lost before the first that arrived: the records begin later
  // than 0, even later than the first window is long. The first window is
  // read from the first record with a time.
  void firstWindowBeginsAtTheFirstRecord_data()
  {
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("first");     // time of the first record
    QTest::addColumn<int>("untimed");      // records without a time before it
    QTest::addColumn<double>("firstTime"); // where the records begin
    QTest::newRow("logger from 0") << 0 << 0.0 << 0 << 0.0;
    QTest::newRow("logger from 7 s") << 0 << 7.0 << 0 << 7.0;
    QTest::newRow("logger from 25 s") << 0 << 25.0 << 0 << 25.0;
    QTest::newRow("logger from 25 s after untimed records") << 0 << 25.0 << 3 << 25.0;
    QTest::newRow("supply from 25 s") << 1 << 25.0 << 0 << 25.0;
    QTest::newRow("logger from before 0") << 0 << -0.5 << 0 << 0.0;
  }

  void firstWindowBeginsAtTheFirstRecord()
  {
    QFETCH(int, mode);
    QFETCH(double, first);
    QFETCH(int, untimed);
    QFETCH(double, firstTime);
    QList<Row> rows;
    for (int k = 0; k < untimed; ++k)
      rows.append({qnan, -1.0});
    for (int k = 0; k <= 2000; ++k)
      rows.append({first + k / 100.0, double(k)});
    const double end = first + 20.0;
    const CaptureBytes::Header h = CaptureBytes::headerFor({0}, 100, quint8(mode));
    const QString file = path("late.tovri");
    QVERIFY(CaptureBytes::writeFile(file, CaptureBytes::headerBlock(h) + recordBytes(rows) +
                                              (mode == 0 ? liveTail(end, 2001) : emptyTail())));
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    Maps maps(1);
    QVERIFY(sw.read(file, 10, maps.list));
    QCOMPARE(errors.count(), 0);
    QVERIFY(!sw.recovery.recovered);
    QCOMPARE(sw.firstTime, firstTime);
    QCOMPARE(sw.duration, end);
    // The records before firstTime + 10 s: from a time before 0 on, those
    // up to 10 s as ever.
    const int before = qRound((firstTime - first) * 100);
    QCOMPARE(maps[0].size(), 1000 + before);
    QCOMPARE(maps[0].firstKey(), first);
    QCOMPARE(maps[0].first().value, 0.0);
    QCOMPARE(maps[0].lastKey(), first + (999 + before) / 100.0);
    if (mode == 0) {
      // The overview spans the capture from 0, the lost stretch flat.
      QCOMPARE(sw.navigationSeries->firstKey(), 0.0);
      QCOMPARE(sw.navigationSeries->lastKey(), end);
    }
  }

  void wrongVersionIsRefusedButItsHeaderStillReads()
  {
    CaptureBytes::Header h;
    h.version = 5;
    const QString file = path("v5.tovri");
    QVERIFY(CaptureBytes::writeFile(file, CaptureBytes::headerBlock(h) + recordBytes({{0, 1, 2, 3}})));
    QCOMPARE(SwapFile::readHeader(file).version, 5);
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    Maps maps;
    QVERIFY(!sw.read(file, 10, maps.list));
    QCOMPARE(lastError(errors), int(SwapFile::WrongVersion));
    QVERIFY(maps[0].isEmpty());
  }

  void missingFile()
  {
    const QString file = path("nothing-here.tovri");
    QCOMPARE(SwapFile::readHeader(file).mode, quint8(255));
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    Maps maps;
    QVERIFY(!sw.read(file, 10, maps.list));
    QCOMPARE(lastError(errors), int(SwapFile::ReadFailed));
    QVERIFY(!sw.readFiltered(file, 0, 0, 25, nullptr));
    QCOMPARE(lastError(errors), int(SwapFile::OpenFailed));
    const ReportData r = sw.readReport();
    QCOMPARE(lastError(errors), int(SwapFile::OpenFailed));
    QVERIFY(!r.hasData(0));
    QCOMPARE(sw.getAverage(PlotRange(0, 1), 0), SwapFile::noData);
  }

  void wrongColumnOrChannel()
  {
    const QString file = writeCapture("columns.tovri", 7, 100, [](int k, int) { return k; });
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QVERIFY(!sw.readFiltered(file, 0, 3, 25, nullptr));
    QCOMPARE(lastError(errors), int(SwapFile::WrongChannels));
    QVERIFY(!sw.readFiltered(file, 2, 1, 25, nullptr)); // column 1 holds #1
    QCOMPARE(errors.count(), 2);
    QVERIFY(!sw.readFiltered(file, 0, -1, 25, nullptr));
    QCOMPARE(errors.count(), 3);

    SwapFile fresh;
    QSignalSpy freshErrors(&fresh, &SwapFile::swapFileError);
    QVERIFY(!fresh.readFiltered(nullptr)); // no active channel yet
    QCOMPARE(lastError(freshErrors), int(SwapFile::WrongChannels));
  }

  void windowThatIsNoLength()
  {
    const QString file = writeCapture("length.tovri", 1, 100, [](int k, int) { return k; });
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    sw.file.setFileName(file);
    Maps maps;
    QVERIFY(!sw.readRange(5, -1, maps.list));
    QCOMPARE(lastError(errors), int(SwapFile::WrongLength));
    QVERIFY(!sw.readRange(qnan, 10, maps.list));
    QCOMPARE(errors.count(), 2);
    QCOMPARE(sw.getAverage(PlotRange(0, qnan), 0), SwapFile::noData);
    QCOMPARE(errors.count(), 3);
    QVERIFY(maps[0].isEmpty());
  }

  // Every field of the header out of range: the readers refuse the file with
  // a code, and nothing is loaded.
  void damagedHeaders_data()
  {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    const QByteArray records = recordBytes({{0, 1, 2, 3}, {1, 4, 5, 6}});
    auto make = [&](const std::function<void(CaptureBytes::Header &)> &change) -> QByteArray {
      CaptureBytes::Header h;
      change(h);
      return CaptureBytes::headerBlock(h) + records + liveTail(1, 2);
    };
    QTest::newRow("version 0") << make([](auto &h) { h.version = 0; }) << int(SwapFile::WrongVersion);
    QTest::newRow("version 5") << make([](auto &h) { h.version = 5; }) << int(SwapFile::WrongVersion);
    QTest::newRow("version negative") << make([](auto &h) { h.version = -4; }) << int(SwapFile::WrongVersion);
    QTest::newRow("size 75") << make([](auto &h) { h.size = 75; }) << int(SwapFile::Damaged);
    QTest::newRow("size 512") << make([](auto &h) { h.size = 512; }) << int(SwapFile::Damaged);
    QTest::newRow("count 0") << make([](auto &h) { h.channelCount = 0; }) << int(SwapFile::WrongChannels);
    QTest::newRow("count negative") << make([](auto &h) { h.channelCount = -1; }) << int(SwapFile::WrongChannels);
    QTest::newRow("count above the mask") << make([](auto &h) { h.channelCount = 2; }) << int(SwapFile::WrongChannels);
    QTest::newRow("four logger channels")
        << make([](auto &h) { h.channelCount = 4, h.channelMask = 15, h.channelList = {0, 1, 2, 3}; })
        << int(SwapFile::WrongChannels);
    QTest::newRow("nine power channels")
        << make([](auto &h) {
             h.mode = 1, h.channelCount = 9, h.channelMask = 0xFF;
           })
        << int(SwapFile::WrongChannels);
    QTest::newRow("list unlike the mask") << make([](auto &h) { h.channelList = {0, 2, 1}; })
                                          << int(SwapFile::WrongChannels);
    QTest::newRow("V2 list unlike the mask")
        << make([](auto &h) { h.mode = 2, h.channelMask32 = 0b111, h.channelList32 = {0, 1, 5}; })
        << int(SwapFile::WrongChannels);
    QTest::newRow("divider 0") << make([](auto &h) { h.divider = 0; }) << int(SwapFile::Damaged);
    QTest::newRow("divider negative") << make([](auto &h) { h.divider = -10; }) << int(SwapFile::Damaged);
    QTest::newRow("mode 3") << make([](auto &h) { h.mode = 3; }) << int(SwapFile::Damaged);
    QTest::newRow("mode 255") << make([](auto &h) { h.mode = 255; }) << int(SwapFile::Damaged);
    QTest::newRow("cut inside the header") << make([](auto &) {}).left(300) << int(SwapFile::Damaged);
    QTest::newRow("cut before the creation time") << make([](auto &) {}).left(508) << int(SwapFile::Damaged);
    QTest::newRow("empty file") << QByteArray() << int(SwapFile::Damaged);
    QTest::newRow("foreign text") << QByteArray(2000, 'x') << int(SwapFile::WrongVersion);
  }
  void damagedHeaders()
  {
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    const QString file = path("damaged.tovri");
    QVERIFY(CaptureBytes::writeFile(file, bytes));
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    sw.file.setFileName(file);
    Maps maps;
    QVERIFY(!sw.readRange(1, 10, maps.list));
    QCOMPARE(lastError(errors), code);
    QCOMPARE(sw.getAverage(PlotRange(0, 10), 0), SwapFile::noData);
    QVERIFY(!sw.readFiltered(file, 0, 0, 25, nullptr));
    QCOMPARE(lastError(errors), code);
    QVERIFY(!sw.readReport().hasData(0));
    QVERIFY(!sw.stop());
    QVERIFY(!sw.read(file, 10, maps.list));
    QCOMPARE(lastError(errors), code);
    for (int c = 0; c < 3; ++c)
      QVERIFY(maps[c].isEmpty());
    QVERIFY(sw.activeChannels.isEmpty());
    QVERIFY(!sw.file.isOpen());
  }

  // The program or the machine died during a capture: no tail, maybe half a
  // record. The whole records still read; the statistics are recomputed.
  void captureWithoutTail_data()
  {
    QTest::addColumn<int>("cut"); // bytes of a last, partial record
    QTest::newRow("whole records") << 0;
    QTest::newRow("cut inside a record") << 13;
    QTest::newRow("cut before the last value") << 24;
  }
  void captureWithoutTail()
  {
    QFETCH(int, cut);
    const QString full = writeCapture("crash.tovri", 7, 1001, [](int k, int c) { return c == 1 ? -k : k + c; }, false);
    QVERIFY(!full.isEmpty());
    QByteArray bytes = CaptureBytes::readFile(full);
    QCOMPARE(bytes.size(), 512 + 1001 * 32);
    const QString file = path("crash-cut.tovri");
    QVERIFY(CaptureBytes::writeFile(file, bytes.left(512 + 1000 * 32 + cut)));

    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    sw.file.setFileName(file);
    QVERIFY(sw.stop());
    QCOMPARE(sw.duration, 9.99);
    const ReportData r = sw.readReport();
    QCOMPARE(errors.count(), 0);
    QCOMPARE(r.count, 1000);
    QCOMPARE(r.t_end, 9.99);
    QCOMPARE(r.min0, 0.0);
    QCOMPARE(r.max0, 999.0);
    QCOMPARE(r.avg0, 499.5);
    QCOMPARE(r.min1, -999.0);
    QCOMPARE(r.max1, 0.0);
    QCOMPARE(r.max2, 1001.0);

    Maps maps;
    QVERIFY(sw.readRange(9.99, 1, maps.list));
    QCOMPARE(maps[0].lastKey(), 9.99);
    QCOMPARE(maps[0].firstKey(), 8.99);
    QVERIFY(sw.readFiltered(file, 0, 0, 0.5, nullptr)); // level 500 µA
    QCOMPARE(sw.navigationSpan, PlotRange(0, 9.99));
    QCOMPARE(sw.navigationSeries->value(5.0).value, 0.5);
  }

  void captureCutInsideItsTail_data()
  {
    QTest::addColumn<quint16>("mask");
    QTest::addColumn<int>("keep"); // bytes of the tail that reached the disk
    for (quint16 mask : {quint16(1), quint16(3), quint16(7)}) {
      for (int keep : {8, 30, 60, 100, 119}) {
        QTest::addRow("%d channels, %d tail bytes", qPopulationCount(mask), keep) << mask << keep;
      }
    }
  }
  void captureCutInsideItsTail()
  {
    QFETCH(quint16, mask);
    QFETCH(int, keep);
    const QString full = writeCapture("tailcut.tovri", mask, 500, [](int k, int) { return 100 + k; });
    QByteArray bytes = CaptureBytes::readFile(full);
    const QString file = path("tailcut-short.tovri");
    QVERIFY(CaptureBytes::writeFile(file, bytes.left(bytes.size() - 120 + keep)));
    SwapFile sw;
    sw.file.setFileName(file);
    QVERIFY(sw.stop());
    QCOMPARE(sw.duration, 4.99);
    const ReportData r = sw.readReport();
    QCOMPARE(r.count, 500);
    QCOMPARE(r.max0, 599.0);
    Maps maps;
    QVERIFY(sw.readRange(100, 10, maps.list));
    QCOMPARE(maps[0].size(), 500);
    QCOMPARE(maps[0].lastKey(), 4.99);
  }

  // With two channels 120 bytes are exactly five records: the tail is told
  // apart by its content.
  void tailOfTwoChannelCaptureIsRecognised()
  {
    const QString withTail = writeCapture("two.tovri", 3, 300, [](int k, int c) { return c ? 0.0 : k; });
    SwapFile sw;
    sw.file.setFileName(withTail);
    QVERIFY(sw.stop());
    QCOMPARE(sw.duration, 2.99);
    const ReportData r = sw.readReport();
    QCOMPARE(r.t_end, 2.99);
    QCOMPARE(r.count, 300);

    const QString noTail = writeCapture("two-crash.tovri", 3, 305, [](int k, int c) { return c ? 0.0 : k; }, false);
    sw.file.setFileName(noTail);
    QVERIFY(sw.stop());
    QCOMPARE(sw.duration, 3.04);
    QCOMPARE(sw.readReport().count, 305);
  }

  void formatsEmptyMaximumReadsAsEmpty()
  {
    const CaptureBytes::Header h = CaptureBytes::headerFor({0});
    const double tiny = std::numeric_limits<double>::min();
    const QString file = path("emptymax.tovri");
    QVERIFY(CaptureBytes::writeFile(
        file, CaptureBytes::headerBlock(h) + recordBytes({{0, -5}, {1, -3}}) +
                  CaptureBytes::tail({1, 0, -5, -3, -4, -8, big, tiny, 0, 0, big, tiny, 0, 0}, 2)));
    SwapFile sw;
    sw.file.setFileName(file);
    const ReportData r = sw.readReport();
    QVERIFY(r.hasData(0));
    QCOMPARE(r.max0, -3.0);
    QVERIFY(!r.hasData(1));
    QCOMPARE(r.max1, std::numeric_limits<double>::lowest());
    QVERIFY(!r.hasData(2));
  }

  void headerOnlyFileIsAnEmptyCapture()
  {
    SwapFile writer;
    const QString file = path("empty.tovri");
    QVERIFY(writer.create(file));
    QVERIFY(writer.setLoggerHeader(1, 1));
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    sw.file.setFileName(file);
    QVERIFY(sw.stop());
    QCOMPARE(sw.duration, 0.0);
    Maps maps;
    QVERIFY(sw.readRange(5, 10, maps.list));
    QVERIFY(maps[0].isEmpty());
    QCOMPARE(sw.getAverage(PlotRange(0, 10), 0), SwapFile::noData);
    QVERIFY(!sw.readReport().hasData(0));
    QCOMPARE(errors.count(), 0);
  }

  void openContinuesAnUnfinishedCapture()
  {
    const QString file = writeCapture("resume.tovri", 1, 10, [](int k, int) { return k; }, false);
    SwapFile sw;
    QVERIFY(sw.open(file));
    QList<PlotDataMap *> maps{new PlotDataMap};
    maps[0]->insert(0.1, PlotData(0.1, 10));
    QVERIFY(sw.append(0, -1, maps, true));
    QVERIFY(sw.stop());
    QCOMPARE(sw.duration, 0.1);

    const QString finished = writeCapture("finished.tovri", 1, 10, [](int k, int) { return k; });
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QVERIFY(!sw.open(finished)); // its tail stays last
    QCOMPARE(lastError(errors), int(SwapFile::WriteFailed));
  }
};

TOVRI_TEST(SwapFileReadTest)
#include "tst_swapfileread.moc"
