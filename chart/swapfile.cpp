#include "swapfile.h"

#include "controlpackets.h"
#include "helpers.h"
#include "lebytes.h"
#include "progressdialog.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMutexLocker>
#include <QVarLengthArray>

#include <cmath>
#include <memory>

namespace {

constexpr qint64 tailSize = ReportData::byteSize;
// Records are written in blocks of about this size.
constexpr qint64 writeBlockBytes = qint64(64) << 10;
const QIODevice::OpenMode readMode = QIODevice::ReadOnly | QIODevice::Unbuffered;
// Never creates the file: records must not land in a file without the header
// that describes them (the working file was deleted behind our back).
const QIODevice::OpenMode appendMode =
    QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered | QIODevice::ExistingOnly;

// The busy cursor for the reads that block the GUI thread.
class BusyCursor
{
public:
  BusyCursor() : m_on(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
  {
    if (m_on)
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~BusyCursor()
  {
    if (m_on)
      QGuiApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor &) = delete;
  BusyCursor &operator=(const BusyCursor &) = delete;

private:
  bool m_on;
};

// Whether the last 120 bytes look like a statistics tail written by a
// capture rather than sample records: finite, ordered span ends, a sane
// count, and per channel either the empty extremes or min <= max.
bool plausibleTail(const ReportData &r)
{
  if (!std::isfinite(r.t_end) || !std::isfinite(r.t_start) || r.t_start < 0 || r.t_start > r.t_end)
    return false;
  if (r.count < 0 || r.count > (qint64(1) << 53))
    return false;
  const double minima[3] = {r.min0, r.min1, r.min2};
  const double maxima[3] = {r.max0, r.max1, r.max2};
  for (int c = 0; c < 3; ++c) {
    if (minima[c] == ReportData::emptyMin && maxima[c] == ReportData::emptyMax)
      continue;
    if (!std::isfinite(minima[c]) || !std::isfinite(maxima[c]) || minima[c] > maxima[c])
      return false;
    // Values without a single counted sample: not a record the chart writes.
    if (r.count == 0)
      return false;
  }
  return true;
}

// Both power-supply models mark every header they write with their mode.
void applyPowerMode(SwapFileHeader &h)
{
  if (Helpers::powerMode)
    h.mode = SwapFileHeader::PowerV1;
  if (Helpers::powerV2Mode)
    h.mode = SwapFileHeader::PowerV2;
}

// Inserts in key order; the hint makes an ascending fill cheap.
inline void insertPoint(PlotDataMap *map, double key, double value)
{
  map->insert(map->cend(), key, PlotData(key, value));
}

} // namespace

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
  for (int i = 0; i < 3; ++i)
    out[i] = parts.at(i).trimmed().toDouble();
}

double SwapFile::thresholdOf(int channel) const
{
  return channel >= 0 && channel < 3 ? thresholds[channel] : thresholds[0];
}

// --- writing ---------------------------------------------------------------

bool SwapFile::create(const QString &path)
{
  close();
  m_writable = false;
  duration = 0;
  file.setFileName(path);
  if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate)) {
    emit swapFileError(CreateFailed);
    return false;
  }
  applyPowerMode(header);
  QByteArray block(int(headerBlockSize), '\0');
  header.toBytes(reinterpret_cast<uchar *>(block.data()));
  const bool written = file.write(block) == block.size() && file.flush();
  file.close();
  if (!written) {
    emit swapFileError(CreateFailed);
    return false;
  }
  qDebug().noquote() << QStringLiteral("SwapFile::create() ") + path;
  return true;
}

bool SwapFile::setHeader(const SwapFileHeader &h)
{
  m_writable = false;
  header = h;
  applyPowerMode(header);
  header.fillChannelList();
  activeChannels = header.channels();
  creationTime = QDateTime::currentMSecsSinceEpoch();

  const int fault = checkHeader(header, headerBlockSize);
  if (fault != NoError) {
    qDebug() << "SwapFile::setHeader refused a header that does not describe its records:" << errorMessage(fault);
    emit swapFileError(fault);
    return false;
  }
  close();
  if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
    emit swapFileError(OpenFailed);
    return false;
  }
  uchar *block = file.size() >= headerBlockSize ? file.map(0, headerBlockSize) : nullptr;
  if (!block) {
    file.close();
    emit swapFileError(MapFailed);
    return false;
  }
  header.toBytes(block);
  LeBytes::put<qint64>(block + creationTimeOffset, creationTime);
  file.unmap(block);
  file.close();
  loadThresholds(thresholds);
  m_writable = true;
  return true;
}

bool SwapFile::setHeader(const DeviceControl &command)
{
  // Channel mask at bytes 4..5 and divider at bytes 6..7, big-endian on the wire.
  return setLoggerHeader(command.readU16(4), command.readU16(6));
}

bool SwapFile::setLoggerHeader(quint16 channelMask, quint16 divider)
{
  SwapFileHeader h;
  h.channelCount = qint8(qPopulationCount(channelMask));
  h.channelMask = quint8(channelMask & 0xFF);
  h.divider = qint16(divider);
  h.mode = SwapFileHeader::Logger;
  h.channelMask32 = 1;
  return setHeader(h);
}

bool SwapFile::setHeader(signed char count, unsigned int mask, bool custom, short divider, bool fahrenheit)
{
  SwapFileHeader h;
  h.channelCount = count;
  h.divider = divider;
  h.fahrenheit = fahrenheit ? 1 : 0;
  h.custom = custom ? 1 : 0;
  h.mode = SwapFileHeader::Logger;
  if (Helpers::powerV2Mode) {
    h.channelMask32 = mask;
    h.channelMask = 1;
  } else {
    h.channelMask = quint8(mask & 0xFF);
    h.channelMask32 = 1;
  }
  return setHeader(h);
}

bool SwapFile::append(double from, double to, const QList<PlotDataMap *> &maps, bool deleteMaps)
{
  if (Helpers::powerMode || Helpers::powerV2Mode)
    return appendPower(from, to, maps, deleteMaps);
  return writeRecords(maps, deleteMaps, false);
}

bool SwapFile::appendPower(double, double, const QList<PlotDataMap *> &maps, bool deleteMaps)
{
  return writeRecords(maps, deleteMaps, true);
}

bool SwapFile::writeRecords(const QList<PlotDataMap *> &maps, bool deleteMaps, bool byPosition)
{
  QMutexLocker locker(&mutex);
  if (!m_writable) {
    qInfo() << "SwapFile::append FAILED: the file has no valid header";
    emit swapFileError(WriteFailed);
    return false;
  }
  const int columns = activeChannels.size();
  QVarLengthArray<PlotDataMap::const_iterator, 8> cursors;
  qint64 records = std::numeric_limits<qint64>::max();
  for (int i = 0; i < columns; ++i) {
    const int index = byPosition ? i : activeChannels.at(i);
    const PlotDataMap *map = index < maps.size() ? maps.at(index) : nullptr;
    if (!map) {
      qDebug() << "SwapFile::append: no point map for channel" << activeChannels.at(i);
      emit swapFileError(WrongChannels);
      return false;
    }
    cursors.append(map->cbegin());
    records = qMin<qint64>(records, map->size());
  }
  if (columns == 0)
    records = 0;

  if (!openForAppend()) {
    qInfo() << "SwapFile::append FAILED to open file";
    emit swapFileError(WriteFailed);
    return false;
  }

  const qint64 length = (qint64(columns) + 1) * 8;
  const qint64 perBlock = qMax<qint64>(1, writeBlockBytes / length);
  QByteArray block(int(qMin(records, perBlock) * length), '\0');
  const qint64 sizeBefore = file.size();
  bool ok = true;
  for (qint64 done = 0; done < records && ok;) {
    const qint64 n = qMin(perBlock, records - done);
    uchar *out = reinterpret_cast<uchar *>(block.data());
    for (qint64 k = 0; k < n; ++k) {
      LeBytes::putDouble(out, cursors[0].key());
      out += 8;
      for (int c = 0; c < columns; ++c) {
        LeBytes::putDouble(out, cursors[c].value().value);
        out += 8;
        ++cursors[c];
      }
    }
    ok = file.write(block.constData(), n * length) == n * length;
    done += n;
  }
  if (!ok) {
    // Leave the file as it was so it keeps describing whole records; the
    // caller still holds every point.
    qInfo() << "SwapFile::append FAILED to write:" << file.errorString();
    file.resize(sizeBefore);
    emit swapFileError(WriteFailed);
    return false;
  }
  if (deleteMaps) {
    qint64 left = 0;
    for (int i = 0; i < columns; ++i)
      left += maps.at(byPosition ? i : activeChannels.at(i))->size() - records;
    if (left > 0)
      qDebug() << "SwapFile::append:" << left << "points past the shortest channel were not written";
    qDeleteAll(maps);
  }
  return true;
}

// The handle stays open for appending between appends; reopened otherwise.
bool SwapFile::openForAppend()
{
  if (file.isOpen() && file.isWritable())
    return true;
  file.close();
  return file.open(appendMode);
}

bool SwapFile::writeReport(const ReportData &report)
{
  if (!openForAppend()) {
    qInfo() << "SwapFile::writeReport FAILED to open file";
    emit swapFileError(OpenFailed);
    return false;
  }
  uchar bytes[tailSize];
  report.toBytes(bytes);
  const qint64 sizeBefore = file.size();
  if (file.write(reinterpret_cast<const char *>(bytes), tailSize) != tailSize) {
    file.resize(sizeBefore);
    emit swapFileError(WriteFailed);
    return false;
  }
  return true;
}

bool SwapFile::stop()
{
  m_writable = false;
  // A read cancelled earlier must not keep the end of a capture from being read.
  cancelRequested = false;
  Layout layout;
  if (!openCapture(file.fileName(), NoError, layout))
    return false;
  close();
  return true;
}

void SwapFile::close()
{
  if (file.isOpen())
    file.close();
}

bool SwapFile::rename(const QString &path)
{
  close();
  if (!file.rename(path)) {
    qDebug().noquote() << QStringLiteral("SwapFile::save ") + file.errorString();
    emit swapFileError(SaveFailed);
    return false;
  }
  return true;
}

bool SwapFile::save(const QString &path)
{
  return rename(path);
}

bool SwapFile::remove()
{
  qDebug().noquote() << QStringLiteral("SwapFile::remove() ") + file.fileName();
  close();
  const bool ok = file.remove();
  if (!ok) {
    qDebug().noquote() << QStringLiteral("SwapFile::remove ") + file.errorString();
    emit swapFileError(RemoveFailed);
  }
  return ok;
}

bool SwapFile::open(const QString &path)
{
  close();
  m_writable = false;
  file.setFileName(path);
  if (!file.open(appendMode)) {
    emit swapFileError(OpenFailed);
    return false;
  }
  Layout layout;
  if (!loadLayout(layout)) {
    close();
    return false;
  }
  // A finished capture keeps its tail last; only an unfinished one takes more records.
  m_writable = !layout.tail && layout.fileSize == headerBlockSize + layout.records * layout.recordLength;
  if (!m_writable)
    emit swapFileError(WriteFailed);
  return m_writable;
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
bool SwapFile::openCapture(const QString &path, Error openError, Layout &layout)
{
  close();
  file.setFileName(path);
  if (!file.open(readMode)) {
    if (openError != NoError)
      emit swapFileError(openError);
    return false;
  }
  if (!loadLayout(layout)) {
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

// Sorts out what follows the header: whole records, then the statistics tail
// when the capture ended properly. A capture cut short (the program or the
// machine died) has no tail and may end inside a record; its trailing partial
// record is ignored.
bool SwapFile::loadLayout(Layout &layout)
{
  if (!readHeader())
    return false;
  layout = Layout();
  layout.fileSize = file.size();
  layout.recordLength = header.recordLength();
  const qint64 body = layout.fileSize - headerBlockSize;
  const qint64 L = layout.recordLength;
  const bool tailFits = body >= tailSize && (body - tailSize) % L == 0;
  if (tailFits) {
    uchar bytes[tailSize];
    if (!readAt(layout.fileSize - tailSize, bytes, tailSize)) {
      emit swapFileError(ReadFailed);
      return false;
    }
    layout.report = ReportData::fromBytes(bytes);
    layout.tail = plausibleTail(layout.report);
  }
  if (layout.tail) {
    layout.records = (body - tailSize) / L;
  } else {
    layout.records = body / L;
    // What is left of a tail that was cut short or damaged reads as a few
    // records at the end. Sample times rise strictly and a tail begins with
    // the time of the last sample (or 0), so the first record that does not
    // rise ends the records.
    const qint64 suspects = tailSize / L + 2;
    double before = 0;
    qint64 j = qMax<qint64>(0, layout.records - suspects);
    if (j > 0 && !recordTime(layout, j - 1, &before))
      return false;
    for (; j < layout.records; ++j) {
      double t;
      if (!recordTime(layout, j, &t))
        return false;
      if (!std::isfinite(t) || t < 0 || (j > 0 && !(t > before)))
        break;
      before = t;
    }
    layout.records = j;
  }
  duration = 0;
  if (layout.records > 0 && !recordTime(layout, layout.records - 1, &duration))
    return false;
  return true;
}

// Index of the first record whose time is at or after (`after` false) or
// strictly after (`after` true) `time`; records are in time order.
qint64 SwapFile::findRecord(const Layout &layout, double time, bool after, bool *ok)
{
  qint64 lo = 0;
  qint64 hi = layout.records;
  while (lo < hi) {
    const qint64 mid = lo + (hi - lo) / 2;
    double t;
    if (!recordTime(layout, mid, &t)) {
      *ok = false;
      return 0;
    }
    if (after ? !(t > time) : (t < time))
      lo = mid + 1;
    else
      hi = mid;
  }
  *ok = true;
  return lo;
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

// Visits `count` records from record `first`, read in blocks of whole
// records into one buffer: a sequential read keeps pace with the disk and
// page cache, and memory stays flat however long the capture is.
template <typename Visit>
SwapFile::WalkResult SwapFile::walk(const Layout &layout, qint64 first, qint64 count, Visit &&visit)
{
  if (count <= 0)
    return WalkDone;
  const qint64 L = layout.recordLength;
  const qint64 perBlock = qMax<qint64>(1, qMin(count, readBlockBytes / L));
  std::unique_ptr<uchar[]> buffer(new uchar[size_t(perBlock * L)]);
  if (!file.seek(headerBlockSize + first * L)) {
    emit swapFileError(ReadFailed);
    return WalkFailed;
  }
  for (qint64 done = 0; done < count;) {
    const qint64 n = qMin(perBlock, count - done);
    if (file.read(reinterpret_cast<char *>(buffer.get()), n * L) != n * L) {
      emit swapFileError(ReadFailed);
      return WalkFailed;
    }
    const uchar *record = buffer.get();
    for (qint64 k = 0; k < n; ++k, record += L) {
      if (!visit(record, first + done + k))
        return WalkStopped;
    }
    done += n;
  }
  return WalkDone;
}

// --- reading ---------------------------------------------------------------

void SwapFile::terminate()
{
  cancelRequested = true;
  terminated = false;
}

// The window of a file load: Close cancels the load.
void SwapFile::showLoadProgress(ProgressDialog &progress)
{
  connect(&progress, &ProgressDialog::canceled, this, [this] {
    qDebug() << "on_actionLoad canceled";
    terminate();
  });
  progress.setWindowModality(Qt::WindowModal);
  progress.show();
  QCoreApplication::processEvents();
}

bool SwapFile::read(const QString &path, int seconds, const QList<PlotDataMap *> &maps, ProgressDialog *)
{
  ProgressDialog progress(0, 100);
  showLoadProgress(progress);

  cancelRequested = false;
  Layout layout;
  if (!openCapture(path, ReadFailed, layout)) {
    progress.hide();
    return false;
  }
  if (header.mode == SwapFileHeader::PowerV1 || header.mode == SwapFileHeader::PowerV2) {
    close();
    progress.hide();
    if (header.mode == SwapFileHeader::PowerV1) {
      Helpers::powerMode = true;
      return readPower(path, seconds, maps, nullptr);
    }
    Helpers::powerV2Mode = true;
    return readPowerV2(path, seconds, maps, nullptr);
  }
  if (!loadFirstSeconds(layout, seconds, maps, false, &progress)) {
    progress.hide();
    return false;
  }
  progress.setValue(0);
  const int channel = activeChannels.first();
  const bool ok = readFiltered(path, channel, 0, thresholdOf(channel), &progress);
  progress.hide();
  return ok;
}

bool SwapFile::readPower(const QString &path, int seconds, const QList<PlotDataMap *> &maps, ProgressDialog *)
{
  ProgressDialog progress(0, 100);
  showLoadProgress(progress);
  cancelRequested = false;
  Layout layout;
  const bool ok = openCapture(path, ReadFailed, layout) && loadFirstSeconds(layout, seconds, maps, true, &progress);
  progress.hide();
  return ok;
}

bool SwapFile::readPowerV2(const QString &path, int seconds, const QList<PlotDataMap *> &maps,
                           ProgressDialog *dialog)
{
  return readPower(path, seconds, maps, dialog);
}

// The records before `seconds` of the open capture, for read() and readPower().
bool SwapFile::loadFirstSeconds(const Layout &layout, double seconds, const QList<PlotDataMap *> &maps,
                                bool byPosition, ProgressDialog *progress)
{
  bool ok = false;
  const qint64 count = findRecord(layout, seconds, false, &ok);
  if (!ok) {
    close();
    return false;
  }
  return loadPoints(layout, 0, count, maps, byPosition, progress);
}

// Inserts `count` records from record `first` into the maps (by channel
// number, or by position among the active channels) and closes the file.
bool SwapFile::loadPoints(const Layout &layout, qint64 first, qint64 count, const QList<PlotDataMap *> &maps,
                          bool byPosition, ProgressDialog *progress)
{
  QVarLengthArray<QPair<int, PlotDataMap *>, 8> targets; // (value column, map)
  for (int i = 0; i < activeChannels.size(); ++i) {
    const int index = byPosition ? i : activeChannels.at(i);
    if (index < maps.size() && maps.at(index))
      targets.append({i + 1, maps.at(index)});
  }
  int shownPercent = 0;
  const WalkResult result = walk(layout, first, count, [&](const uchar *record, qint64 index) {
    if (cancelRequested)
      return false;
    const double t = LeBytes::getDouble(record);
    for (const auto &target : targets)
      insertPoint(target.second, t, LeBytes::getDouble(record + 8 * target.first));
    // No events run here: a click on Close takes effect in the scan that follows.
    if (progress) {
      const int percent = int((index - first) * 100 / count);
      if (percent != shownPercent) {
        progress->setValue(percent);
        shownPercent = percent;
      }
    }
    return true;
  });
  close();
  if (result == WalkStopped)
    terminated = true;
  return result == WalkDone;
}

bool SwapFile::readRange(double centre, double span, const QList<PlotDataMap *> &maps)
{
  if (Helpers::powerMode || Helpers::powerV2Mode)
    return readRangePower(centre, span, maps);
  return readRangeImpl(centre, span, maps, false);
}

bool SwapFile::readRangePower(double centre, double span, const QList<PlotDataMap *> &maps)
{
  return readRangeImpl(centre, span, maps, true);
}

bool SwapFile::readRangeImpl(double centre, double span, const QList<PlotDataMap *> &maps, bool byPosition)
{
  BusyCursor busy;
  cancelRequested = false;
  Layout layout;
  if (!openCapture(file.fileName(), OpenFailed, layout))
    return false;
  double start = 0, end = 0;
  qint64 first = 0, count = 0;
  if (!window(centre, span, &start, &end) || !findWindow(layout, start, end, &first, &count)) {
    close();
    return false;
  }
  return loadPoints(layout, first, count, maps, byPosition, nullptr);
}

double SwapFile::getAverage(const PlotRange &range, int channel)
{
  cancelRequested = false;
  BusyCursor busy;
  Layout layout;
  if (!openCapture(file.fileName(), NoError, layout))
    return noData;
  const int column = activeChannels.indexOf(channel);
  double start = 0, end = 0;
  qint64 first = 0, count = 0;
  if (column < 0 || !window(range.center(), range.size(), &start, &end) ||
      !findWindow(layout, start, end, &first, &count)) {
    close();
    return noData;
  }
  if (cancelRequested) {
    terminated = true;
    close();
    return noData;
  }
  double sum = 0;
  qint64 n = 0;
  const int offset = 8 * (column + 1);
  const WalkResult result = walk(layout, first, count, [&](const uchar *record, qint64) {
    const double v = LeBytes::getDouble(record + offset);
    if (!std::isnan(v)) {
      sum += v;
      ++n;
    }
    return true;
  });
  close();
  if (result != WalkDone || n == 0)
    return noData;
  return sum / double(n);
}

ReportData SwapFile::readReport()
{
  ReportData report;
  cancelRequested = false;
  Layout layout;
  if (!openCapture(file.fileName(), OpenFailed, layout))
    return report;
  if (layout.tail) {
    report = layout.report;
  } else {
    qInfo().noquote() << QStringLiteral("SwapFile: %1 has no statistics tail; recomputing it").arg(file.fileName());
    recomputeReport(layout, report);
  }
  close();
  return report;
}

// Statistics of the whole capture from its records, for a file that lost its
// tail. A power supply's capture keeps no statistics, so its record stays empty.
bool SwapFile::recomputeReport(const Layout &layout, ReportData &report)
{
  report.reset();
  if (header.mode != SwapFileHeader::Logger)
    return true;
  BusyCursor busy;
  double *fields[3][3] = {{&report.min0, &report.max0, &report.sum0},
                          {&report.min1, &report.max1, &report.sum1},
                          {&report.min2, &report.max2, &report.sum2}};
  QVarLengthArray<QPair<int, int>, 3> columns; // (column, channel #0..#2)
  for (int i = 0; i < activeChannels.size(); ++i)
    if (activeChannels.at(i) < 3)
      columns.append({i + 1, activeChannels.at(i)});
  qint64 counted[3] = {0, 0, 0};
  const WalkResult result = walk(layout, 0, layout.records, [&](const uchar *record, qint64) {
    report.t_end = LeBytes::getDouble(record);
    for (const auto &c : columns) {
      const double v = LeBytes::getDouble(record + 8 * c.first);
      if (std::isnan(v))
        continue;
      double **f = fields[c.second];
      *f[0] = qMin(*f[0], v);
      *f[1] = qMax(*f[1], v);
      *f[2] += v;
      ++counted[c.second];
    }
    return true;
  });
  if (result != WalkDone) {
    report.reset();
    return false;
  }
  report.count = layout.records;
  report.avg0 = counted[0] ? report.sum0 / double(counted[0]) : 0;
  report.avg1 = counted[1] ? report.sum1 / double(counted[1]) : 0;
  report.avg2 = counted[2] ? report.sum2 / double(counted[2]) : 0;
  return true;
}

bool SwapFile::readFiltered(const QString &path, int channel, int column, double threshold, ProgressDialog *dialog)
{
  if (dialog)
    dialog->setInfo(tr("Decimating..."));
  cancelRequested = false;
  Layout layout;
  if (!openCapture(path, OpenFailed, layout))
    return false;
  if (column < 0 || column >= header.channelCount || activeChannels.value(column, -1) != channel) {
    close();
    emit swapFileError(WrongChannels);
    return false;
  }
  navigationChannel = channel;
  navigationColumn = column;
  if (channel >= 0 && channel < 3)
    thresholds[channel] = threshold;
  // Channel #0 is stored in µA, its threshold is in mA.
  const double level = channel == 0 ? threshold * 1000 : threshold;

  PlotDataMap &series = *navigationSeries;
  series.clear();
  series.insert(0, PlotData(0, 0));
  series.insert(duration, PlotData(duration, 0));

  const qint64 total = layout.records;
  const int offset = 8 * (column + 1);
  bool inRun = false;
  QElapsedTimer sinceEvents;
  sinceEvents.start();
  // A run stays open across mapped slices: the series must not depend on how
  // the file is sliced.
  const WalkResult result = walk(layout, 0, total, [&](const uchar *record, qint64 index) {
    const double v = LeBytes::getDouble(record + offset);
    if (v >= level) {
      if (!inRun) {
        const double t = LeBytes::getDouble(record);
        series.insert(t - 0.0001, PlotData(t - 0.0001, 0));
        series.insert(t, PlotData(t, threshold));
        inRun = true;
      }
    } else if (inRun) {
      const double t = LeBytes::getDouble(record);
      series.insert(t - 0.00001, PlotData(t - 0.00001, threshold));
      series.insert(t, PlotData(t, 0));
      inRun = false;
    }
    // Events run at the start and then every 50 ms: often enough for the bar
    // and for a click on Close (the cancel is checked right after), rarely
    // enough to cost nothing next to the scan.
    if (dialog && (index & 1023) == 0 && (index == 0 || sinceEvents.elapsed() >= 50)) {
      dialog->setValue(int(index * 100 / total));
      QCoreApplication::processEvents();
      sinceEvents.restart();
      if (cancelRequested)
        return false;
    }
    return true;
  });
  if (result != WalkDone) {
    if (result == WalkStopped)
      terminated = true;
    close();
    return false;
  }
  if (inRun) {
    // The walk ended on the last record, whose time is the duration.
    series.insert(duration - 0.0000001, PlotData(duration - 0.0000001, threshold));
    series.insert(duration, PlotData(duration, 0));
  }
  series.insert(duration, PlotData(duration, 0));

  const PlotRange span = layout.tail ? PlotRange(layout.report.t_start, layout.report.t_end) : PlotRange(0, duration);
  navigationRange = span;
  navigationSpan = span;
  close();
  return true;
}

bool SwapFile::readFiltered(ProgressDialog *dialog)
{
  if (activeChannels.isEmpty()) {
    emit swapFileError(WrongChannels);
    return false;
  }
  const int channel = activeChannels.first();
  return readFiltered(file.fileName(), channel, 0, thresholdOf(channel), dialog);
}
