#include "capturebytes.h"
#include "helpers.h"
#include "swapfile.h"
#include "swapfileprogress.h"
#include "processstate.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

const double big = std::numeric_limits<double>::max();
const double tiny = std::numeric_limits<double>::min();
const double qnan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

// The capture every row damages: channels #0..#2 at 100 records per second,
// record k at k / 100 s with the values 1000 + k, 2000 + k and 3000 + k.
constexpr int records = 200;
constexpr double lastTime = (records - 1) / 100.0;

QList<double> genuine(int k)
{
  return {k / 100.0, 1000.0 + k, 2000.0 + k, 3000.0 + k};
}

QByteArray recordBytes(const QList<QList<double>> &rows)
{
  QList<double> flat;
  for (const QList<double> &r : rows)
    flat += r;
  return CaptureBytes::doubles(flat);
}

QList<QList<double>> rows()
{
  QList<QList<double>> out;
  for (int k = 0; k < records; ++k)
    out.append(genuine(k));
  return out;
}

QByteArray header()
{
  return CaptureBytes::headerBlock(CaptureBytes::headerFor({0, 1, 2}, 100));
}

// The statistics the chart keeps while it captures these records; the live
// record saw `extra` samples more than the last append wrote.
QList<double> liveFields(int extra = 0)
{
  const int n = records + extra;
  const double tEnd = (n - 1) / 100.0;
  const double s0 = 1000.0 * n + n * (n - 1) / 2.0;
  return {tEnd, 0, 1000, 999.0 + n, s0 / n, s0,
          2000, 1999.0 + n, (s0 + 1000.0 * n) / n, s0 + 1000.0 * n,
          3000, 2999.0 + n, (s0 + 2000.0 * n) / n, s0 + 2000.0 * n};
}

QByteArray liveTail(int extra = 0)
{
  return CaptureBytes::tail(liveFields(extra), records + extra);
}

QByteArray tailWith(int field, double value, qint64 count = records)
{
  QList<double> f = liveFields();
  f[field] = value;
  return CaptureBytes::tail(f, count);
}

QByteArray withTimes(const QList<QPair<int, double>> &times)
{
  QList<QList<double>> r = rows();
  for (const auto &t : times)
    r[t.first][0] = t.second;
  return recordBytes(r);
}

// A capture of `channels` (positions in the records) at 100 records per
// second, record k at k / 100 s, position i holding 1000 × (i + 1) + k
// (readings far above the times, so that none could start a tail) or NaN at
// position `silent`; then its statistics tail: the one the chart keeps for a
// logger, the empty one for a power supply.
QByteArray captureWithTail(const QList<int> &channels, quint8 mode, int silent, int count)
{
  QList<double> flat;
  double lowest[3] = {big, big, big}, highest[3] = {tiny, tiny, tiny}, sum[3] = {0, 0, 0};
  for (int k = 0; k < count; ++k) {
    flat << k / 100.0;
    for (int i = 0; i < channels.size(); ++i) {
      const double v = i == silent ? qnan : 1000.0 * (i + 1) + k;
      flat << v;
      if (i == silent || channels.at(i) > 2)
        continue;
      const int c = channels.at(i);
      lowest[c] = qMin(lowest[c], v), highest[c] = qMax(highest[c], v), sum[c] += v;
    }
  }
  QList<double> fields = {(count - 1) / 100.0, 0};
  for (int c = 0; c < 3; ++c)
    fields << lowest[c] << highest[c] << (sum[c] != 0 ? sum[c] / count : 0) << sum[c];
  QByteArray tail = mode == 0 ? CaptureBytes::tail(fields, channels.contains(0) && silent != 0 ? count : 0)
                              : CaptureBytes::tail({0, 0, big, tiny, 0, 0, big, tiny, 0, 0, big, tiny, 0, 0}, 0);
  return CaptureBytes::headerBlock(CaptureBytes::headerFor(channels, 100, mode)) + CaptureBytes::doubles(flat) +
         tail;
}

// Stops the read at the n-th question.
class CancelAt : public SwapFileProgress
{
public:
  explicit CancelAt(int n) : m_left(n) {}
  void setInfo(const QString &text) override { info = text; }
  void setValue(int percent) override { values.append(percent); }
  bool cancelled() override
  {
    ++asked;
    return --m_left < 0;
  }
  QString info;
  QList<int> values;
  int asked = 0;

private:
  int m_left;
};

} // namespace

// Captures damaged as a crash, a cut copy or a foreign program leaves them:
// each reads as an error or as a capture of its real records, never with a
// sample made from other bytes.
class SwapFileDamageTest : public QObject
{
  Q_OBJECT

  QTemporaryDir m_dir;

private slots:
  void init() { resetProcessState(); }

  void damagedCaptures_data()
  {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("points");    // points loaded into channel #0's map
    QTest::addColumn<double>("duration");
    QTest::addColumn<qint64>("count");  // of the statistics read back
    QTest::addColumn<double>("max0");
    QTest::addColumn<double>("max1");   // 0: the channel has no data

    const QByteArray head = header();
    const QByteArray body = recordBytes(rows());
    const double max0 = 999.0 + records, max1 = 1999.0 + records;

    QTest::newRow("intact") << head + body + liveTail() << records << lastTime << qint64(records) << max0 << max1;
    // The live statistics saw one sample that the shortest map kept from the file.
    QTest::newRow("tail one sample ahead")
        << head + body + liveTail(1) << records << lastTime << qint64(records + 1) << max0 + 1 << max1 + 1;
    QTest::newRow("no tail") << head + body << records << lastTime << qint64(records) << max0 << max1;

    for (int keep : {8, 16, 24, 32, 56, 64, 88, 96, 112, 119}) {
      QTest::addRow("tail ahead cut to %d bytes", keep)
          << head + body + liveTail(1).left(keep) << records << lastTime << qint64(records) << max0 << max1;
    }
    QTest::newRow("garbage tail of text") << head + body + QByteArray(120, 'x') << records << lastTime
                                          << qint64(records) << max0 << max1;
    QTest::newRow("garbage tail of NaN") << head + body + QByteArray(120, '\xff') << records << lastTime
                                         << qint64(records) << max0 << max1;
    QTest::newRow("tail of zeros") << head + body + QByteArray(120, '\0') << records << lastTime << qint64(records)
                                   << max0 << max1;
    QByteArray noise(120, '\0');
    QRandomGenerator random(4711);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), 30);
    QTest::newRow("tail of noise") << head + body + noise << records << lastTime << qint64(records) << max0 << max1;
    QTest::newRow("tail ending a million seconds on")
        << head + body + tailWith(0, 1e6) << records << lastTime << qint64(records) << max0 << max1;
    QTest::newRow("tail with a huge count") << head + body + tailWith(0, lastTime, qint64(1) << 62) << records
                                            << lastTime << qint64(records) << max0 << max1;
    QTest::newRow("tail with a negative count")
        << head + body + tailWith(0, lastTime, -5) << records << lastTime << qint64(records) << max0 << max1;

    // The tail stores what the channel saw, whatever its extremes.
    QTest::newRow("tail with an infinite maximum")
        << head + body + tailWith(3, inf) << records << lastTime << qint64(records) << inf << max1;
    QTest::newRow("tail of an all-NaN channel")
        << head + [] {
             QList<QList<double>> r = rows();
             for (QList<double> &row : r)
               row[2] = qnan;
             return recordBytes(r);
           }() + [] {
             QList<double> f = liveFields();
             f[6] = big, f[7] = tiny, f[8] = 0, f[9] = 0;
             return CaptureBytes::tail(f, 0);
           }()
        << records << lastTime << qint64(0) << max0 << 0.0;

    QTest::newRow("NaN time first, tail") << head + withTimes({{0, qnan}}) + liveTail() << records - 1 << lastTime
                                          << qint64(records) << max0 << max1;
    QTest::newRow("NaN time in the middle, tail") << head + withTimes({{100, qnan}}) + liveTail() << records - 1
                                                  << lastTime << qint64(records) << max0 << max1;
    QTest::newRow("NaN time last, tail") << head + withTimes({{records - 1, qnan}}) + liveTail() << records - 1
                                         << lastTime - 0.01 << qint64(records) << max0 << max1;
    QTest::newRow("infinite time in the middle, tail") << head + withTimes({{100, inf}}) + liveTail() << records - 1
                                                       << lastTime << qint64(records) << max0 << max1;
    QList<QPair<int, double>> everywhere;
    for (int k = 0; k < records; ++k)
      everywhere.append({k, k % 2 ? qnan : -inf});
    QTest::newRow("no finite time, tail") << head + withTimes(everywhere) + liveTail() << 0 << 0.0
                                          << qint64(records) << max0 << max1;
    QTest::newRow("falling time in the middle, tail")
        << head + withTimes({{150, 0.5}}) + liveTail() << records - 1 << lastTime << qint64(records) << max0 << max1;

    // Without a tail the statistics come from the records that count.
    QTest::newRow("NaN time first, no tail")
        << head + withTimes({{0, qnan}}) << records - 1 << lastTime << qint64(records - 1) << max0 << max1;
    QTest::newRow("NaN time in the middle, no tail")
        << head + withTimes({{100, qnan}}) << records - 1 << lastTime << qint64(records - 1) << max0 << max1;
    QTest::newRow("infinite time last, no tail") << head + withTimes({{records - 1, inf}}) << records - 1
                                                 << lastTime - 0.01 << qint64(records - 1) << max0 - 1 << max1 - 1;
    QTest::newRow("no finite time, no tail") << head + withTimes(everywhere) << 0 << 0.0 << qint64(0) << 0.0 << 0.0;
    // The first record that does not continue the capture ends it.
    QTest::newRow("falling time, no tail") << head + withTimes({{150, 0.5}}) << 150 << 1.49 << qint64(150)
                                           << 1149.0 << 2149.0;
    QTest::newRow("time jumping past the counter, no tail")
        << head + withTimes({{150, 1.49 + 2e5}}) << 150 << 1.49 << qint64(150) << 1149.0 << 2149.0;
    QTest::newRow("negative first time, no tail") << head + withTimes({{0, -1}}) << 0 << 0.0 << qint64(0) << 0.0 << 0.0;

    QTest::newRow("cut inside a record") << QByteArray(head + body).left(512 + 150 * 32 + 20) << 150 << 1.49 << qint64(150)
                                         << 1149.0 << 2149.0;

    // A tail that is there but damaged: its bytes never become samples and
    // the statistics come from the records.
    QTest::newRow("tail with a NaN end time")
        << head + body + tailWith(0, qnan) << records << lastTime << qint64(records) << max0 << max1;
    // Read as records it would continue the capture with its averages as
    // times, but for its NaN end time in the last 120 bytes.
    QTest::newRow("tail with a NaN end time and a negative count")
        << head + body + tailWith(0, qnan, -5) << records << lastTime << qint64(records) << max0 << max1;
    QTest::newRow("tail starting after its end")
        << head + body + tailWith(1, lastTime + 1) << records << lastTime << qint64(records) << max0 << max1;
    // Its count, one above the records, is a tail's: read as records, its
    // end time would continue the capture with a sample of its fields.
    QTest::newRow("tail one sample ahead starting before 0") << head + body + [] {
      QList<double> f = liveFields(1);
      f[1] = -1;
      return CaptureBytes::tail(f, records + 1);
    }() << records << lastTime << qint64(records) << max0 << max1;
    QTest::newRow("garbage with a plausible time where the tail belongs")
        << head + body +
               CaptureBytes::doubles({lastTime + 0.01, 5e9, -3, 7, -2, 1e9, 4, 4, 8, 8, 1, 2, 3, 4, 12345})
        << records << lastTime << qint64(records) << max0 << max1;
  }

  // Two channels make 24-byte records: five of them fill a tail's place, so
  // the bytes there are records or a tail by what they hold.
  void twoChannelEnd_data()
  {
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<int>("points");
    QTest::addColumn<qint64>("count");
    auto rowsOf = [](int from, int to) {
      QList<double> flat;
      for (int k = from; k < to; ++k)
        flat << k / 100.0 << 1000.0 + k << 2000.0 + k;
      return CaptureBytes::doubles(flat);
    };
    QList<double> fields = liveFields();
    fields[10] = big, fields[11] = tiny, fields[12] = 0, fields[13] = 0;
    QTest::newRow("records to the end") << rowsOf(records - 5, records) << records << qint64(records);
    QTest::newRow("intact tail") << CaptureBytes::tail(fields, records - 5) << records - 5 << qint64(records - 5);
    QList<double> nanEnd = fields;
    nanEnd[0] = qnan;
    QTest::newRow("tail with a NaN end time") << CaptureBytes::tail(nanEnd, records - 5) << records - 5
                                              << qint64(records - 5);
    QList<double> late = fields;
    late[1] = 1.5 * lastTime;
    QTest::newRow("tail starting after its end") << CaptureBytes::tail(late, records - 5) << records - 5
                                                 << qint64(records - 5);
  }

  void twoChannelEnd()
  {
    QFETCH(QByteArray, end);
    QFETCH(int, points);
    QFETCH(qint64, count);
    QList<double> flat;
    for (int k = 0; k < records - 5; ++k)
      flat << k / 100.0 << 1000.0 + k << 2000.0 + k;
    const QString path = m_dir.filePath(QStringLiteral("two.tovri"));
    QVERIFY(CaptureBytes::writeFile(path, CaptureBytes::headerBlock(CaptureBytes::headerFor({0, 1}, 100)) +
                                              CaptureBytes::doubles(flat) + end));
    SwapFile sw;
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
    QVERIFY(sw.loadCapture(path, 100000, maps, nullptr));
    QCOMPARE(maps[0]->size(), points);
    QCOMPARE(maps[0]->lastKey(), (points - 1) / 100.0);
    QCOMPARE(maps[0]->last().value, 1000.0 + points - 1);
    QCOMPARE(sw.duration, (points - 1) / 100.0);
    QCOMPARE(sw.readReport().count, count);
  }

  // The live count counts the instants with a reading on the lowest channel
  // (#0 here): a tail below the record count is the capture's own.
  void tailOfNaNReadings_data()
  {
    QTest::addColumn<QList<int>>("missing");
    QTest::newRow("in the middle") << QList<int>{50, 51, 52, 120};
    QTest::newRow("at the end") << QList<int>{records - 3, records - 2, records - 1};
    QList<int> all;
    for (int k = 0; k < records - 1; ++k)
      all << k;
    QTest::newRow("all but one") << all;
  }

  void tailOfNaNReadings()
  {
    QFETCH(QList<int>, missing);
    QList<QList<double>> r = rows();
    for (int k : missing)
      r[k][1] = qnan;
    QList<double> fields = liveFields();
    fields[4] = 1234.5; // an average the records would not give
    const qint64 counted = records - missing.size();
    const QString path = m_dir.filePath(QStringLiteral("nan.tovri"));
    QVERIFY(CaptureBytes::writeFile(path, header() + recordBytes(r) + CaptureBytes::tail(fields, counted)));
    SwapFile sw;
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
    QVERIFY(sw.loadCapture(path, 100000, maps, nullptr));
    QCOMPARE(maps[1]->size(), records);
    const ReportData report = sw.readReport();
    QCOMPARE(report.count, counted);
    QCOMPARE(report.avg0, 1234.5);
  }

  // Earlier versions counted the samples of a block the logger sent twice
  // once per sending: such a tail counts more instants than the records
  // hold, and is still the capture's own. Past what the sample counter
  // spans, no capture counts.
  void tailCountingRepeats_data()
  {
    QTest::addColumn<qint64>("extra"); // counted beyond the records
    QTest::addColumn<bool>("whole");
    QTest::newRow("one block of 9 twice") << qint64(9) << true;
    QTest::newRow("at the counter's span") << (qint64(1) << 24) + 1 << true;
    QTest::newRow("past the counter's span") << (qint64(1) << 24) + 2 << false;
  }

  void tailCountingRepeats()
  {
    QFETCH(qint64, extra);
    QFETCH(bool, whole);
    QList<double> fields = liveFields();
    const qint64 count = records + extra;
    // The sum saw the repeated samples too: an average no record set gives.
    fields[5] += 1000.0 * double(extra);
    fields[4] = fields[5] / double(count);
    const QString path = m_dir.filePath(QStringLiteral("repeats.tovri"));
    QVERIFY(CaptureBytes::writeFile(path, header() + recordBytes(rows()) + CaptureBytes::tail(fields, count)));
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
    QVERIFY(sw.loadCapture(path, 100000, maps, nullptr));
    QCOMPARE(errors.count(), 0);
    QCOMPARE(maps[0]->size(), records);
    QCOMPARE(sw.duration, lastTime);
    QCOMPARE(sw.recovery.recovered, !whole);
    const ReportData r = sw.readReport();
    QCOMPARE(r.count, whole ? count : qint64(records));
    QCOMPARE(r.avg0, whole ? fields[4] : liveFields()[4]);
    QCOMPARE(r.sum0, whole ? fields[5] : liveFields()[5]);
  }

  void damagedCaptures()
  {
    QFETCH(QByteArray, bytes);
    QFETCH(int, points);
    QFETCH(double, duration);
    QFETCH(qint64, count);
    QFETCH(double, max0);
    QFETCH(double, max1);
    const QString path = m_dir.filePath(QStringLiteral("damaged.tovri"));
    QVERIFY(CaptureBytes::writeFile(path, bytes));

    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
    QVERIFY(sw.loadCapture(path, 100000, maps, nullptr));
    QCOMPARE(errors.count(), 0);
    QCOMPARE(sw.duration, duration);
    QCOMPARE(maps[0]->size(), points);
    // Every point is a record as written: its time and its three values.
    for (auto it = maps[0]->cbegin(); it != maps[0]->cend(); ++it) {
      const int k = qRound(it.key() * 100);
      QVERIFY2(k >= 0 && k < records && genuine(k)[0] == it.key(), qPrintable(QString::number(it.key())));
      QCOMPARE(it.value().value, genuine(k)[1]);
      QCOMPARE(maps[2]->value(it.key()).value, genuine(k)[3]);
    }
    for (auto it = sw.navigationSeries->cbegin(); it != sw.navigationSeries->cend(); ++it)
      QVERIFY(it.key() >= -0.001 && it.key() <= duration);

    const ReportData r = sw.readReport();
    QCOMPARE(r.count, count);
    QCOMPARE(r.hasData(0), max0 != 0);
    if (max0 != 0)
      QCOMPARE(r.max0, max0);
    QCOMPARE(r.hasData(1), max1 != 0);
    if (max1 != 0)
      QCOMPARE(r.max1, max1);
    QVERIFY(std::isfinite(r.t_end) && r.t_end >= duration && r.t_end <= lastTime + 0.011);

    // Paging past the end finds the last record, not a point made of the tail.
    for (PlotDataMap *m : maps)
      m->clear();
    QVERIFY(sw.readRange(1e6, 1, maps));
    QCOMPARE(maps[0]->isEmpty(), points == 0);
    if (points > 0)
      QCOMPARE(maps[0]->lastKey(), duration);
    QCOMPARE(errors.count(), 0);
  }

  // A tail cut anywhere ends a capture that kept every record; the cut
  // ones whose first bytes fit whole records and whose last eight bytes are
  // an empty maximum (2^52 as an integer) are not a whole damaged tail.
  void cutTailKeepsEveryRecord_data()
  {
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("silent"); // position without readings, or -1
    QTest::newRow("logger #0 #1") << QList<int>{0, 1} << 0 << -1;
    QTest::newRow("logger #0 #1 #2, #2 without readings") << QList<int>{0, 1, 2} << 0 << 2;
    QTest::newRow("logger #0") << QList<int>{0} << 0 << -1;
    QTest::newRow("power supply, 2 channels") << QList<int>{0, 1} << 1 << -1;
    QTest::newRow("power supply, 3 channels") << QList<int>{0, 1, 2} << 1 << -1;
    QTest::newRow("power supply, 6 channels") << QList<int>{0, 1, 2, 3, 4, 5} << 1 << -1;
  }

  void cutTailKeepsEveryRecord()
  {
    QFETCH(QList<int>, channels);
    QFETCH(int, mode);
    QFETCH(int, silent);
    const int count = 100;
    const QByteArray whole = captureWithTail(channels, quint8(mode), silent, count);
    const QString path = m_dir.filePath(QStringLiteral("cut.tovri"));
    for (int keep = 1; keep <= ReportData::byteSize; ++keep) {
      const QString at = QStringLiteral("tail cut to %1 bytes").arg(keep);
      QVERIFY(CaptureBytes::writeFile(path, whole.left(whole.size() - ReportData::byteSize + keep)));
      SwapFile sw;
      QSignalSpy errors(&sw, &SwapFile::swapFileError);
      QList<PlotDataMap *> maps;
      for (int i = 0; i < 8; ++i)
        maps << new PlotDataMap;
      const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
      QVERIFY2(sw.loadCapture(path, 100000, maps, nullptr), qPrintable(at));
      // A logger's maps go by channel number, a supply's by position.
      const PlotDataMap *first = maps[mode == 0 ? channels.first() : 0];
      QVERIFY2(first->size() == count, qPrintable(at + QStringLiteral(": %1 points").arg(first->size())));
      QCOMPARE(first->last().value, 1000.0 + count - 1);
      QCOMPARE(sw.duration, (count - 1) / 100.0);
      const bool cut = keep < ReportData::byteSize;
      QVERIFY2(sw.recovery.recovered == cut, qPrintable(at));
      QCOMPARE(sw.recovery.records, cut ? qint64(count) : 0);
      QCOMPARE(sw.recovery.droppedBytes, cut ? qint64(keep) : 0);
      const ReportData r = sw.readReport();
      if (mode == 0) {
        QCOMPARE(r.count, qint64(count));
        QCOMPARE(r.t_end, (count - 1) / 100.0);
        QCOMPARE(r.max0, 1000.0 + count - 1);
      } else {
        QCOMPARE(r.count, qint64(0));
      }
      QCOMPARE(errors.count(), 0);
    }
  }

  // Bytes after a whole tail (a broken copy, two files joined): the tail is
  // the capture's own where it stands, nothing of it or after it becomes a
  // sample, and the reader tells what it left out.
  void bytesAfterAWholeTail_data()
  {
    QTest::addColumn<QByteArray>("capture");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("points");
    const QByteArray logger = header() + recordBytes(rows()) + liveTail();
    QByteArray noise(10000, '\0');
    QRandomGenerator random(815);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    QTest::newRow("10000 random bytes") << logger << noise << records;
    // Whole records and a tail's place: the last 120 bytes are judged first.
    QTest::newRow("9984 random bytes") << logger << noise.left(9984) << records;
    QTest::newRow("the capture twice") << logger << logger << records;
    QTest::newRow("a zeroed block") << logger << QByteArray(4096, '\0') << records;
    QTest::newRow("a power supply's capture and random bytes")
        << captureWithTail({0, 1, 2}, 1, -1, 100) << noise << 100;
    // The readers take 256 KiB at a time: this tail starts in one block and
    // ends in the next.
    QTest::newRow("a tail across two read blocks") << captureWithTail({0, 1, 2}, 0, -1, 8190) << noise << 8190;
  }

  void bytesAfterAWholeTail()
  {
    QFETCH(QByteArray, capture);
    QFETCH(QByteArray, after);
    QFETCH(int, points);
    const QString path = m_dir.filePath(QStringLiteral("appended.tovri"));
    QVERIFY(CaptureBytes::writeFile(path, capture + after));
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QList<PlotDataMap *> maps;
    for (int i = 0; i < 8; ++i)
      maps << new PlotDataMap;
    const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
    QVERIFY(sw.loadCapture(path, 100000, maps, nullptr));
    const double end = (points - 1) / 100.0;
    QCOMPARE(maps[0]->size(), points);
    QCOMPARE(maps[0]->lastKey(), end);
    QCOMPARE(sw.duration, end);
    QVERIFY(sw.recovery.recovered);
    QCOMPARE(sw.recovery.records, qint64(points));
    QCOMPARE(sw.recovery.droppedBytes, qint64(after.size()));
    // The statistics are the tail's, byte for byte.
    uchar shown[ReportData::byteSize];
    sw.readReport().toBytes(shown);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(shown), ReportData::byteSize), capture.right(ReportData::byteSize));
    // Paging to the end and the strip find the last record, nothing later.
    for (PlotDataMap *m : maps)
      m->clear();
    QVERIFY(sw.readRange(1e6, 1, maps));
    QCOMPARE(maps[0]->lastKey(), end);
    for (auto it = maps[1]->cbegin(); it != maps[1]->cend(); ++it)
      QVERIFY2(it.value().value < 2000.0 + points && it.value().value >= 1000.0,
               qPrintable(QString::number(it.value().value)));
    for (auto it = sw.navigationSeries->cbegin(); it != sw.navigationSeries->cend(); ++it)
      QVERIFY(it.key() >= -0.001 && it.key() <= end);
    QCOMPARE(errors.count(), 0);
  }

  // Files that are no capture at all are refused with a code.
  void foreignFiles_data()
  {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::newRow("cut inside the header") << header().left(100) << int(SwapFile::Damaged);
    QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(600, '\x11') << int(SwapFile::WrongVersion);
    QTest::newRow("zeros") << QByteArray(4096, '\0') << int(SwapFile::WrongVersion);
  }
  void foreignFiles()
  {
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    const QString path = m_dir.filePath(QStringLiteral("foreign.tovri"));
    QVERIFY(CaptureBytes::writeFile(path, bytes));
    SwapFile sw;
    QSignalSpy errors(&sw, &SwapFile::swapFileError);
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
    QVERIFY(!sw.loadCapture(path, 10, maps, nullptr));
    QVERIFY(!errors.isEmpty());
    QCOMPARE(errors.last().at(0).toInt(), code);
    QVERIFY(maps[0]->isEmpty());
  }

  // A tail-less capture is recovered once; later reads of the unchanged file
  // reuse it, and a file that changed is looked at afresh.
  void recoveryFollowsTheFile()
  {
    const QString path = m_dir.filePath(QStringLiteral("crashed.tovri"));
    QVERIFY(CaptureBytes::writeFile(path, header() + recordBytes(rows())));
    SwapFile sw;
    sw.file.setFileName(path);
    QCOMPARE(sw.readReport().count, records);
    QVERIFY(CaptureBytes::writeFile(path, header() + recordBytes(rows().mid(0, 50))));
    QCOMPARE(sw.readReport().count, 50);
    QCOMPARE(sw.duration, 0.49);
  }

  // The reads report through the progress interface alone and stop when it
  // asks them to.
  void progressInterfaceCancels()
  {
    const QString path = m_dir.filePath(QStringLiteral("long.tovri"));
    QList<QList<double>> many;
    for (int k = 0; k < 5000; ++k)
      many.append({k / 100.0, 1000.0 + k, 0, 0});
    QVERIFY(CaptureBytes::writeFile(path, header() + recordBytes(many)));

    CancelAt never(1 << 30);
    SwapFile sw;
    QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
    const auto freeMaps = qScopeGuard([&] { qDeleteAll(maps); });
    QVERIFY(sw.loadCapture(path, 10, maps, &never));
    QCOMPARE(never.info, QStringLiteral("Decimating..."));
    QVERIFY(never.asked >= 5); // the recovery and the scan ask every 1024 records
    QVERIFY(!never.values.isEmpty());
    QCOMPARE(maps[0]->size(), 1000);

    SwapFile fresh;
    CancelAt second(1);
    QVERIFY(!fresh.scan(path, 0, 0, 25, &second));
    QVERIFY(fresh.terminated);
    QCOMPARE(second.asked, 2);
    for (PlotDataMap *m : maps)
      m->clear();
    SwapFile other;
    CancelAt first(0);
    QVERIFY(!other.loadCapture(path, 10, maps, &first));
    QVERIFY(other.terminated);
    QVERIFY(maps[1]->isEmpty());
  }
};

TOVRI_TEST(SwapFileDamageTest)
#include "tst_swapfiledamage.moc"
