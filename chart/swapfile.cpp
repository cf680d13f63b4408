// The capture file's shared part: construction, error texts, thresholds,
// the header, and how the bytes after it divide into records and the
// statistics tail, recovered record by record when the tail is missing.
#include "swapfile.h"

#include "lebytes.h"
#include "settings.h"
#include "swapfileprogress.h"
#include "swapfilewalk.h"

#include <QDebug>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

using SwapFileIo::readMode;
using SwapFileIo::tailSize;

SwapFile::SwapFile(QObject *parent) : QObject(parent), navigationSeries(new PlotDataMap)
{
  loadThresholds(thresholds);
}

SwapFile::SwapFile(const SwapFileHeader &h, QObject *parent) : SwapFile(parent)
{
  header = h;
  header.fillChannelList();
  activeChannels = header.channels();
}

SwapFile::~SwapFile()
{
  QMutexLocker locker(&mutex);
  file.close();
  delete navigationSeries;
}

QString SwapFile::errorMessage(int code)
{
  switch (code) {
  case WrongVersion:
    return tr("Wrong file version");
  case OpenFailed:
    return tr("Can't open file");
  case CreateFailed:
    return tr("Can't create output file");
  case SaveFailed:
    return tr("Can't save file");
  case RemoveFailed:
    return tr("Can't remove file");
  case WriteFailed:
    return tr("Failed to write to file");
  case ReadFailed:
    return tr("Failed to read file");
  case WrongLength:
    return tr("Wrong read length");
  case MapFailed:
    return tr("File mapping error");
  case WrongChannels:
    return tr("Wrong channels number");
  case Damaged:
    return tr("The file is damaged or is not a capture file");
  default:
    return tr("Internal file error");
  }
}

void SwapFile::loadThresholds(double out[3])
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Options"));
  const QVariant value = settings.value(QStringLiteral("thresholds"), QStringLiteral("25,1000,3200"));
  settings.endGroup();
  // A hand-written value without quotes comes back from the INI file as a list.
  const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                                 : value.toString();
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 3)
    return;
  // A part that is no positive finite number would flatten the strip or make
  // every sample stand out: that channel keeps its default.
  static constexpr double defaults[3] = {25, 1000, 3200};
  for (int i = 0; i < 3; ++i) {
    bool ok = false;
    const double v = parts.at(i).trimmed().toDouble(&ok);
    out[i] = ok && std::isfinite(v) && v > 0 ? v : defaults[i];
  }
}

double SwapFile::thresholdOf(int channel) const
{
  return channel >= 0 && channel < 3 ? thresholds[channel] : thresholds[0];
}

void SwapFile::terminate()
{
  cancelRequested = true;
  terminated = false;
}

SwapFile::Operation::Operation(SwapFile *file) : m_file(file), m_outerCancel(file->cancelRequested)
{
  ++file->m_operations;
  file->cancelRequested = false;
}

SwapFile::Operation::~Operation()
{
  if (--m_file->m_operations > 0)
    m_file->cancelRequested = m_outerCancel;
}

// Reports progress and asks for a cancel; true when the read must stop.
bool SwapFile::pollCancel(SwapFileProgress *progress, qint64 done, qint64 total)
{
  if (progress) {
    progress->setValue(total > 0 ? int(double(done) * 100 / double(total)) : 0);
    if (progress->cancelled())
      cancelRequested = true;
  }
  return cancelRequested;
}

// --- header and layout -----------------------------------------------------

int SwapFile::checkHeader(const SwapFileHeader &h, qint64 fileSize)
{
  if (fileSize < headerBlockSize)
    return Damaged;
  if (h.version < 1 || h.version > SwapFileHeader::currentVersion)
    return WrongVersion;
  if (h.size != SwapFileHeader::byteSize || h.mode > SwapFileHeader::PowerV2 || h.divider < 1)
    return Damaged;
  const QList<int> list = h.channels();
  const int limit =
      h.mode == SwapFileHeader::Logger ? SwapFileHeader::maxLoggerChannels : SwapFileHeader::maxPowerChannels;
  if (h.channelCount < 1 || h.channelCount > limit || h.channelCount != list.size())
    return WrongChannels;
  // Older versions may not carry the channel lists; the masks decide there.
  if (h.version >= SwapFileHeader::currentVersion) {
    const quint8 *stored = h.mode == SwapFileHeader::PowerV2 ? h.channelList32 : h.channelList;
    for (int i = 0; i < list.size(); ++i)
      if (stored[i] != list.at(i))
        return WrongChannels;
  }
  return NoError;
}

SwapFileHeader SwapFile::readHeader(const QString &path)
{
  QFile f(path);
  uchar block[headerBlockSize];
  if (!f.open(readMode) || f.read(reinterpret_cast<char *>(block), headerBlockSize) != headerBlockSize)
    return SwapFileHeader::unreadable();
  return SwapFileHeader::fromBytes(block);
}

bool SwapFile::readHeader()
{
  if (cancelRequested) {
    terminated = true;
    return false;
  }
  const auto fail = [this](int code) {
    activeChannels.clear();
    qDebug().noquote() << QStringLiteral("SwapFile: %1: %2").arg(file.fileName(), errorMessage(code));
    emit swapFileError(code);
    return false;
  };
  const qint64 size = file.size();
  if (size < headerBlockSize)
    return fail(Damaged);
  uchar block[headerBlockSize];
  if (!readAt(0, block, headerBlockSize))
    return fail(ReadFailed);
  header = SwapFileHeader::fromBytes(block);
  creationTime = LeBytes::get<qint64>(block + creationTimeOffset);
  const int fault = checkHeader(header, size);
  if (fault != NoError)
    return fail(fault);
  activeChannels = header.channels();
  loadThresholds(thresholds);
  return true;
}

// Opens the capture at `path` read-only and sorts out its layout; emits
// `openError` (unless NoError) when it cannot be opened. Closed on failure.
// `progress` hears of a recovery, which walks the whole file.
bool SwapFile::openCapture(const QString &path, Error openError, Layout &layout, SwapFileProgress *progress)
{
  close();
  file.setFileName(path);
  if (!file.open(readMode)) {
    if (openError != NoError)
      emit swapFileError(openError);
    return false;
  }
  if (!loadLayout(layout, progress)) {
    close();
    return false;
  }
  return true;
}

bool SwapFile::readAt(qint64 offset, uchar *buffer, qint64 length)
{
  return file.seek(offset) && file.read(reinterpret_cast<char *>(buffer), length) == length;
}

bool SwapFile::recordTime(const Layout &layout, qint64 index, double *time)
{
  uchar record[(SwapFileHeader::maxPowerChannels + 1) * 8];
  if (!readAt(headerBlockSize + index * layout.recordLength, record, layout.recordLength)) {
    emit swapFileError(ReadFailed);
    return false;
  }
  *time = LeBytes::getDouble(record);
  return true;
}

// The longest a capture can go between two records: the logger's 24-bit
// sample counter wraps after this many seconds at the header's rate, and a
// lost stretch is never longer than one turn.
double SwapFile::maxGap() const
{
  return double(qint64(1) << 24) * header.divider / 10000.0;
}

// The first (or, `backwards`, the last) record in [from, to) with a finite
// time, or -1. Reads one record first, then ever larger blocks, so a file
// without such holes costs one read.
qint64 SwapFile::findFinite(const Layout &layout, qint64 from, qint64 to, bool backwards, double *time, bool *ok)
{
  *ok = true;
  const qint64 L = layout.recordLength;
  const qint64 largest = qMax<qint64>(1, readBlockBytes / L);
  std::vector<uchar> buffer;
  for (qint64 chunk = 1; from < to; chunk = qMin(chunk * 16, largest)) {
    const qint64 n = qMin(chunk, to - from);
    const qint64 start = backwards ? to - n : from;
    buffer.resize(size_t(n * L));
    if (!readAt(headerBlockSize + start * L, buffer.data(), n * L)) {
      emit swapFileError(ReadFailed);
      *ok = false;
      return -1;
    }
    for (qint64 k = 0; k < n; ++k) {
      const qint64 i = backwards ? n - 1 - k : k;
      const double t = LeBytes::getDouble(buffer.data() + i * L);
      if (std::isfinite(t)) {
        *time = t;
        return start + i;
      }
    }
    if (backwards)
      to = start;
    else
      from += n;
  }
  return -1;
}

// Index of the first record whose time is at or after (`after` false) or
// strictly after (`after` true) `time`; records are in time order. Records
// without a finite time have no place in that order: the search steps over
// them, and the walks that follow skip them.
qint64 SwapFile::findRecord(const Layout &layout, double time, bool after, bool *ok)
{
  qint64 lo = 0;
  qint64 hi = layout.records;
  while (lo < hi) {
    const qint64 mid = lo + (hi - lo) / 2;
    double t = 0;
    const qint64 m = findFinite(layout, mid, hi, false, &t, ok);
    if (!*ok)
      return 0;
    if (m >= 0 && (after ? !(t > time) : (t < time)))
      lo = m + 1;
    else
      hi = mid; // [mid, m) hold no finite time
  }
  *ok = true;
  return lo;
}

namespace {

// The most samples a tail counts beyond the records before it: those of the
// time the sample counter spans, and the one at its end.
constexpr qint64 countBeyondRecords = (qint64(1) << 24) + 1;

} // namespace

// Whether the 120 bytes after the records are the statistics the capture
// ended with. They are judged by their times and count against the records,
// never by their extremes: a channel that saw an infinite value or only NaN
// stores what it saw. The live statistics see every sample, while the last
// append stops at the shortest channel map, so the tail may end after the
// last record (by less than the sample counter spans) and count the samples
// it did not write.
bool SwapFile::judgeTail(const ReportData &r, qint64 records, bool anyRecord, double lastTime) const
{
  // Statistics never kept (a power supply's capture, or a capture without
  // samples): the empty record, whatever the records.
  uchar stored[tailSize], empty[tailSize];
  r.toBytes(stored);
  ReportData().toBytes(empty);
  if (std::memcmp(stored, empty, tailSize) == 0)
    return true;
  if (!std::isfinite(r.t_end) || !std::isfinite(r.t_start) || r.t_start < 0 || r.t_start > r.t_end || r.count < 0)
    return false;
  const double gap = r.t_end - (anyRecord ? lastTime : 0.0);
  if (!(gap >= 0 && gap <= maxGap()))
    return false;
  // No instant counted: the counting channel never had a reading, so one
  // channel's fields are the empty ones; bytes of zeros are no such tail.
  if (r.count == 0)
    return gap == 0 && (r.min0 == ReportData::emptyMin || r.min1 == ReportData::emptyMin ||
                        r.min2 == ReportData::emptyMin);
  // The count is of the instants at which the capture's lowest-numbered
  // channel has a reading: NaN readings count fewer instants than there are
  // records. It is not held to the time after the last record: earlier
  // versions counted the samples of a block the logger sent twice once per
  // sending, so a whole capture may count more instants than it has times.
  // The bound is the one a damaged tail's count is told by.
  return r.count <= records + countBeyondRecords;
}

namespace {

// Whether the 64-bit field at the count's place of a tail, after `records`
// records, holds a count. A reading's double there would be a positive
// subnormal, which no reading is; but a cut tail's empty maximum (the
// smallest normal double) reads as 2^52, far more than the records.
bool holdsCount(const uchar *tail, qint64 records)
{
  const qint64 count = LeBytes::get<qint64>(tail + ReportData::byteSize - 8);
  return count >= 1 && count <= records + countBeyondRecords;
}

} // namespace

// Sorts out what follows the header: the records, then the statistics tail
// when the capture ended properly. A capture that lost its tail (the program
// or the machine died, or the tail was cut or damaged) is recovered record by
// record instead.
bool SwapFile::loadLayout(Layout &layout, SwapFileProgress *progress)
{
  recovery = Recovery();
  if (!readHeader())
    return false;
  layout = Layout();
  layout.fileSize = file.size();
  layout.recordLength = header.recordLength();
  const qint64 body = layout.fileSize - headerBlockSize;
  const qint64 L = layout.recordLength;
  if (body >= tailSize && (body - tailSize) % L == 0) {
    uchar bytes[tailSize];
    if (!readAt(layout.fileSize - tailSize, bytes, tailSize)) {
      emit swapFileError(ReadFailed);
      return false;
    }
    layout.report = ReportData::fromBytes(bytes);
    layout.records = (body - tailSize) / L;
    double lastTime = 0;
    bool ok = false;
    const qint64 last = findFinite(layout, 0, layout.records, true, &lastTime, &ok);
    if (!ok)
      return false;
    if (judgeTail(layout.report, layout.records, last >= 0, lastTime)) {
      layout.tail = true;
      layout.duration = last >= 0 ? lastTime : 0;
      duration = layout.duration;
      return findStart(layout);
    }
    // Damaged bytes where the tail belongs were a tail when they hold its
    // count; otherwise recover() reads them as records unless one of them
    // breaks the capture's time line.
    const qint64 tailStart = layout.records;
    layout.tail = false;
    layout.records = holdsCount(bytes, tailStart) ? tailStart : body / L;
    layout.report.reset();
    if (!recover(layout, progress, tailStart))
      return false;
    duration = layout.duration;
    recovery = layout.recovery;
    return findStart(layout);
  }
  layout.tail = false;
  layout.records = body / L;
  layout.report.reset();
  if (!recover(layout, progress, -1))
    return false;
  duration = layout.duration;
  recovery = layout.recovery;
  return findStart(layout);
}

bool SwapFile::findStart(const Layout &layout)
{
  double first = 0;
  bool ok = false;
  if (findFinite(layout, 0, layout.records, false, &first, &ok) < 0)
    first = 0;
  if (!ok)
    return false;
  firstTime = qMax(0.0, first);
  return true;
}

// Whether the `length` bytes (less than or at most the 120 of a tail) that
// end a capture without a valid tail could be what reached the disk of a
// tail: its start time within [0, end time], and each channel's fields that
// are there either the empty ones or a minimum, a maximum at or above it, an
// average between them (or 0: the live count also counts the samples
// without a value) and a sum of the average's sign.
static bool couldStartTail(const uchar *bytes, qint64 length)
{
  double f[14];
  const int n = int(qMin<qint64>(14, length / 8));
  for (int i = 0; i < n; ++i)
    f[i] = LeBytes::getDouble(bytes + 8 * i);
  if (n < 2 || !(f[1] >= 0 && f[1] <= f[0]))
    return false;
  for (int base = 2; base < n; base += 4) {
    const double lowest = f[base];
    if (lowest == ReportData::emptyMin) {
      if (base + 1 < n && f[base + 1] != ReportData::fileEmptyMax && f[base + 1] != ReportData::emptyMax)
        return false;
      for (int i = base + 2; i < qMin(n, base + 4); ++i)
        if (f[i] != 0)
          return false;
    } else if (base + 1 < n) {
      const double highest = f[base + 1];
      if (!(lowest <= highest))
        return false;
      if (base + 2 < n && !(f[base + 2] >= qMin(lowest, 0.0) && f[base + 2] <= qMax(highest, 0.0)))
        return false;
      // The average is the sum over a count: both share their sign.
      if (base + 3 < n && ((f[base + 2] > 0) != (f[base + 3] > 0) || (f[base + 2] < 0) != (f[base + 3] < 0)))
        return false;
    } else if (std::isnan(lowest)) {
      return false;
    }
  }
  return true;
}

// Recovers a capture without its tail. A record belongs to the capture when
// it continues it: a finite time, not before the previous record and no
// further after it than maxGap() (the first record counts from 0). A record
// without a finite time counts for nothing but ends nothing, except within
// the last 120 bytes, where it is a tail's end time and ends the capture. The
// first record that does not continue the capture ends it; so does one that
// could be the start of a tail (its first value, the tail's start time, lying
// in [0, its time]) within the last 120 bytes, since a tail may be cut
// anywhere. The records from `tailStart` on sit where a damaged tail would:
// when one of them breaks the time line (falls back or jumps too far), none
// of them is kept. A whole tail that fits the records before it, standing
// anywhere, ends the capture as its own. Whatever follows the last record
// kept (or that tail) is dropped, so no byte of a tail ever becomes a
// sample. The statistics are that tail's or rebuilt on the way; a power
// supply's capture keeps none, so its record stays empty.
bool SwapFile::recover(Layout &layout, SwapFileProgress *progress, qint64 tailStart)
{
  struct stat st;
  const bool known = ::fstat(file.handle(), &st) == 0;
  const qint64 modified = known ? qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec : 0;
  const Recovered &cache = m_recovered;
  if (known && cache.path == file.fileName() && cache.device == quint64(st.st_dev) &&
      cache.inode == quint64(st.st_ino) && cache.size == layout.fileSize && cache.modified == modified &&
      cache.layout.recordLength == layout.recordLength) {
    layout = cache.layout;
    return true;
  }
  qInfo().noquote() << QStringLiteral("SwapFile: %1 has no statistics tail; recovering it").arg(file.fileName());

  const qint64 L = layout.recordLength;
  const qint64 total = layout.records;
  // Records that begin in the last 120 bytes could be the start of a tail;
  // none can when the records stop where a dropped tail began.
  const qint64 firstSuspect = tailStart >= 0 && total <= tailStart
                                ? total
                                : qMax<qint64>(0, (layout.fileSize - tailSize - headerBlockSize + L - 1) / L);
  const double gap = maxGap();
  ReportData &r = layout.report;
  r.reset();
  // Running extremes and sums of the logger's channels #0..#2, kept in
  // locals so the walk stays close to the speed of the read.
  int offsets[3], channelOf[3], columns = 0;
  if (header.mode == SwapFileHeader::Logger) {
    for (int i = 0; i < activeChannels.size() && columns < 3; ++i) {
      if (activeChannels.at(i) < 3) {
        offsets[columns] = 8 * (i + 1);
        channelOf[columns++] = activeChannels.at(i);
      }
    }
  }
  double lowest[3] = {ReportData::emptyMin, ReportData::emptyMin, ReportData::emptyMin};
  double highest[3] = {ReportData::emptyMax, ReportData::emptyMax, ReportData::emptyMax};
  double sum[3] = {0, 0, 0};
  qint64 counted[3] = {0, 0, 0};
  qint64 kept = 0, end = 0;
  double previous = 0;
  bool ended = false;
  // The walk as it stood before the records where a damaged tail sits: they
  // are taken all together or not at all.
  struct Snapshot
  {
    double lowest[3], highest[3], sum[3];
    qint64 counted[3], kept, end;
    double previous;
  } before {};
  bool snapshot = false;
  bool broken = false; // a record that does not continue the capture ended it
  // The bytes a cut tail could occupy, read before the walk.
  uchar end120[tailSize], emptyTail[tailSize];
  ReportData().toBytes(emptyTail);
  const qint64 lastBytes = qMin(tailSize, layout.fileSize - headerBlockSize);
  if (!readAt(layout.fileSize - lastBytes, end120, lastBytes)) {
    emit swapFileError(ReadFailed);
    return false;
  }
  const auto visit = [&](const uchar *record, qint64 index) {
    if ((index & 1023) == 0 && progress && pollCancel(progress, index, total))
      return false;
    if (index == tailStart && !snapshot) {
      snapshot = true;
      before = {{lowest[0], lowest[1], lowest[2]},
                {highest[0], highest[1], highest[2]},
                {sum[0], sum[1], sum[2]},
                {counted[0], counted[1], counted[2]},
                kept,
                end,
                previous};
    }
    const double t = LeBytes::getDouble(record);
    if (!std::isfinite(t)) {
      // Only a tail's end time is NaN near the end of a file: the tail
      // begins here.
      if (index >= firstSuspect) {
        ended = true;
        return false;
      }
      return true;
    }
    // A capture that kept no statistics ends with the empty tail, whose end
    // time 0 falls back: cut anywhere, it still ends the capture and not
    // the records before it.
    if (t == 0 && index >= firstSuspect) {
      const qint64 left = layout.fileSize - headerBlockSize - index * L;
      if (std::memcmp(end120 + (lastBytes - left), emptyTail, size_t(left)) == 0) {
        ended = true;
        return false;
      }
    }
    if (t < previous || t - previous > gap) {
      ended = true;
      broken = true;
      return false;
    }
    if (index >= firstSuspect) {
      const qint64 left = layout.fileSize - headerBlockSize - index * L;
      if (couldStartTail(end120 + (lastBytes - left), left)) {
        ended = true;
        return false;
      }
    }
    previous = t;
    end = index + 1;
    ++kept;
    for (int c = 0; c < columns; ++c) {
      const double v = LeBytes::getDouble(record + offsets[c]);
      if (std::isnan(v))
        continue;
      lowest[c] = v < lowest[c] ? v : lowest[c];
      highest[c] = v > highest[c] ? v : highest[c];
      sum[c] += v;
      ++counted[c];
    }
    return true;
  };
  // The capture's own tail may stand whole where its records stop, with
  // more bytes after it (a broken copy, a concatenation): it ends the
  // capture there and none of its bytes is read as a sample.
  const qint64 body = layout.fileSize - headerBlockSize;
  const qint64 lastFit = body >= tailSize ? (body - tailSize) / L : -1; // the last record a tail fits after
  bool standing = false;
  ReportData standingTail;
  const WalkResult result = walkBlocks(
    layout, 0, total,
    [&](const uchar *block, qint64 first, qint64 n) {
      for (qint64 i = 0; i < n; ++i) {
        const qint64 index = first + i;
        const uchar *bytes = block + i * L;
        // Records are ruled out by what stands at a tail's count: from 1 up
        // to the records before it plus what the counter spans, a reading's
        // double never is one. A reading of 0 reads as a count of 0, which
        // a tail holds only with the end time of the last record (or 0 in
        // the empty tail): the time tells those apart at once.
        const qint64 count = LeBytes::get<qint64>(bytes + tailSize - 8);
        if (quint64(count) <= quint64(index + countBeyondRecords) && index <= lastFit &&
            (count != 0 || LeBytes::getDouble(bytes) == 0 || LeBytes::getDouble(bytes) == previous)) {
          const ReportData candidate = ReportData::fromBytes(bytes);
          if (judgeTail(candidate, index, kept > 0, previous)) {
            standingTail = candidate;
            standing = ended = true;
            end = index;
            return false;
          }
        }
        if (!visit(bytes, index))
          return false;
      }
      return true;
    },
    tailSize);
  if (result == WalkFailed)
    return false;
  if (result == WalkStopped && !ended) {
    terminated = true;
    return false;
  }
  if (snapshot && broken) {
    // A record where the tail belongs breaks the capture's time line: those
    // bytes were the tail, and none of them is a sample. (A NaN time or the
    // start of a cut tail there keeps the records before it.)
    std::copy(std::begin(before.lowest), std::end(before.lowest), lowest);
    std::copy(std::begin(before.highest), std::end(before.highest), highest);
    std::copy(std::begin(before.sum), std::end(before.sum), sum);
    std::copy(std::begin(before.counted), std::end(before.counted), counted);
    kept = before.kept;
    end = before.end;
    previous = before.previous;
  }
  const qint64 dropped = body - end * L - (standing ? tailSize : 0);
  if (dropped > 0)
    qInfo().noquote() << QStringLiteral("SwapFile: %1: dropped %2 bytes after the last record that continues the capture")
                             .arg(file.fileName())
                             .arg(dropped);
  layout.records = end;
  layout.duration = previous;
  layout.recovery = {true, kept, dropped};
  if (standing) {
    layout.tail = true;
    r = standingTail;
  } else if (header.mode == SwapFileHeader::Logger) {
    r.t_end = previous;
    r.count = kept;
    double *fields[3][4] = {{&r.min0, &r.max0, &r.avg0, &r.sum0},
                            {&r.min1, &r.max1, &r.avg1, &r.sum1},
                            {&r.min2, &r.max2, &r.avg2, &r.sum2}};
    for (int c = 0; c < columns; ++c) {
      double **f = fields[channelOf[c]];
      *f[0] = lowest[c];
      *f[1] = highest[c];
      *f[2] = counted[c] ? sum[c] / double(counted[c]) : 0;
      *f[3] = sum[c];
    }
  }
  if (known)
    m_recovered = {file.fileName(), quint64(st.st_dev), quint64(st.st_ino), layout.fileSize, modified, layout};
  return true;
}

bool SwapFile::window(double centre, double span, double *start, double *end)
{
  if (!std::isfinite(centre) || !std::isfinite(span) || span < 0) {
    emit swapFileError(WrongLength);
    return false;
  }
  double s = qMax(0.0, centre - span / 2);
  double e = s + span;
  if (e > duration) {
    s = qMax(0.0, duration - span);
    e = duration;
  }
  *start = s;
  *end = e;
  return true;
}

bool SwapFile::findWindow(const Layout &layout, double start, double end, qint64 *first, qint64 *count)
{
  bool ok = false;
  *first = findRecord(layout, start, false, &ok);
  if (!ok)
    return false;
  const qint64 last = findRecord(layout, end, true, &ok);
  if (!ok)
    return false;
  *count = qMax<qint64>(0, last - *first);
  return true;
}
