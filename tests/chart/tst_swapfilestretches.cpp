// The navigation scan over several stretches at once and the opening read
// that fills the first window beside it: both must give what one walk over
// the records gives, whatever the records and wherever the stretches part.
#include "capturebytes.h"
#include "swapfile.h"
#include "processstate.h"
#include "testmain.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

const double qnan = std::numeric_limits<double>::quiet_NaN();

// Records of channels #0 and #1 at 10 kHz; `high(k)` puts record k's
// channel #0 above a 25 mA threshold, `time(k)` may move its time. With its
// statistics tail, so records out of order stay in the capture.
template <typename High, typename Time> QByteArray records(int n, High &&high, Time &&time, bool withTail = true)
{
  QList<double> flat;
  flat.reserve(n * 3);
  for (int k = 0; k < n; ++k)
    flat << time(k) << (high(k) ? 30000.0 : 100.0) << double(k);
  const double big = std::numeric_limits<double>::max(), lowest = std::numeric_limits<double>::lowest();
  const QByteArray tail =
    CaptureBytes::tail({(n - 1) * 0.0001, 0, 100, 30000, 200, 200.0 * n, 0, double(n), 1, double(n), big, lowest, 0, 0},
                       n);
  return CaptureBytes::doubles(flat) + (withTail ? tail : QByteArray());
}

QList<QPair<double, double>> points(const PlotDataMap &map)
{
  QList<QPair<double, double>> out;
  for (auto it = map.constBegin(); it != map.constEnd(); ++it)
    out.append({it.key(), it.value().value});
  return out;
}

// A fixed pseudo-random sequence, so every run sees the same records.
quint32 mix(quint32 x)
{
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  return x ^ (x >> 16);
}

} // namespace

class SwapFileStretchesTest : public QObject
{
  Q_OBJECT

  QTemporaryDir m_dir;

  QString writeFile(const QString &name, const QByteArray &body)
  {
    const QString file = m_dir.filePath(name);
    const CaptureBytes::Header h = CaptureBytes::headerFor({0, 1});
    return CaptureBytes::writeFile(file, CaptureBytes::headerBlock(h) + body) ? file : QString();
  }

  static QList<QPair<double, double>> scanWith(const QString &file, int threads)
  {
    SwapFile::scanThreads = threads;
    SwapFile sw;
    if (!sw.readFiltered(file, 0, 0, 25, nullptr))
      return {};
    return points(*sw.navigationSeries);
  }

private slots:
  void init() { resetProcessState(); }

  void stretchesJoinAsOneWalk_data()
  {
    QTest::addColumn<QByteArray>("body");
    const int n = 20000; // 2 s: bins of about five records
    const auto steady = [](int k) { return k * 0.0001; };
    QTest::newRow("short runs and gaps") << records(n, [](int k) { return mix(quint32(k / 3)) % 4 == 0; }, steady);
    QTest::newRow("long runs") << records(n, [](int k) { return mix(quint32(k / 700)) % 2 == 0; }, steady);
    QTest::newRow("runs one bin apart") << records(n, [](int k) { return k % 9 < 2; }, steady);
    QTest::newRow("single high records") << records(n, [](int k) { return mix(quint32(k)) % 97 == 0; }, steady);
    QTest::newRow("always high") << records(n, [](int) { return true; }, steady);
    QTest::newRow("never high") << records(n, [](int) { return false; }, steady);
    // Times that fall back, repeat or are no number: the walk skips them,
    // and a stretch may begin with them.
    QTest::newRow("times out of order")
      << records(n, [](int k) { return mix(quint32(k / 5)) % 3 == 0; },
                 [](int k) {
                   const quint32 r = mix(quint32(k) + 77);
                   return r % 41 == 0 ? k * 0.0001 - 0.05 : r % 43 == 0 ? qnan : r % 47 == 0 ? (k - 1) * 0.0001
                                                                                            : k * 0.0001;
                 });
    QTest::newRow("a late time early on")
      << records(n, [](int k) { return k % 500 < 30; }, [](int k) { return k == 2 ? 1.2 : k * 0.0001; });
    QTest::newRow("stretches without a time")
      << records(n, [](int k) { return k % 300 < 100; },
                 [](int k) { return k > 4000 && k < 12000 ? qnan : k * 0.0001; });
  }

  void stretchesJoinAsOneWalk()
  {
    QFETCH(QByteArray, body);
    const QString file = writeFile(QStringLiteral("stretches.tovri"), body);
    QVERIFY(!file.isEmpty());
    const QList<QPair<double, double>> one = scanWith(file, 1);
    QVERIFY(one.size() >= 2);
    for (int threads : {2, 3, 4, 7, 64}) {
      const QList<QPair<double, double>> many = scanWith(file, threads);
      if (many != one) {
        int at = 0;
        while (at < qMin(one.size(), many.size()) && one.at(at) == many.at(at))
          ++at;
        QFAIL(qPrintable(QStringLiteral("%1 stretches: %2 points against %3, first difference at %4")
                           .arg(threads)
                           .arg(many.size())
                           .arg(one.size())
                           .arg(at)));
      }
    }
  }

  // Opening fills the first window while the scan runs: the maps hold the
  // records before the window's end, skipped ones left out, and the strip
  // the whole capture.
  void openingFillsTheFirstWindowBesideTheScan()
  {
    const int n = 60000; // 6 s
    const QString file = writeFile(QStringLiteral("open.tovri"), records(
                                                                   n, [](int k) { return k % 1000 < 5; },
                                                                   [](int k) { return k == 7 ? qnan : k * 0.0001; }));
    QVERIFY(!file.isEmpty());
    const QList<QPair<double, double>> strip = scanWith(file, 1);
    for (int threads : {1, 4}) {
      SwapFile::scanThreads = threads;
      SwapFile sw;
      QList<PlotDataMap *> maps = {new PlotDataMap, new PlotDataMap, new PlotDataMap};
      const bool ok = sw.loadCapture(file, 2, maps, nullptr);
      const PlotDataMap first = *maps[0], second = *maps[1];
      const bool thirdEmpty = maps[2]->isEmpty();
      qDeleteAll(maps);
      QVERIFY(ok);
      QVERIFY(thirdEmpty);
      QCOMPARE(first.size(), 19999); // 0 .. 1.9999 s without record 7
      QCOMPARE(second.size(), 19999);
      QVERIFY(!first.contains(0.0007));
      QCOMPARE(first.lastKey(), 19999 * 0.0001);
      QCOMPARE(first.value(0.0001).value, 30000.0);
      QCOMPARE(second.value(15000 * 0.0001).value, 15000.0);
      QCOMPARE(points(*sw.navigationSeries), strip);
      QVERIFY(!sw.file.isOpen());
    }
  }

  void recoveredCaptureScansAlikeInStretches()
  {
    // Records cut short: the file's size no longer fits them, so the
    // capture is recovered; the scan then sees only whole records.
    const QString file =
      writeFile(QStringLiteral("cut.tovri"), records(30000, [](int k) { return k % 700 < 9; }, [](int k) {
                  return k * 0.0001;
                }, false).left(30000 * 24 - 5));
    QVERIFY(!file.isEmpty());
    const QList<QPair<double, double>> one = scanWith(file, 1);
    QVERIFY(one.size() > 2);
    QCOMPARE(scanWith(file, 5), one);
  }
};

TOVRI_TEST(SwapFileStretchesTest)
#include "tst_swapfilestretches.moc"
