// The writing side of the capture file: creating it, stamping its header,
// appending records, the statistics tail, finishing and removing. Saving
// under a new name is swapfileplace.cpp.
#include "swapfile.h"

#include "controlpackets.h"
#include "helpers.h"
#include "lebytes.h"

#include <QDateTime>
#include <QDebug>
#include <QMutexLocker>
#include <QVarLengthArray>

namespace {

constexpr qint64 tailSize = ReportData::byteSize;
// Records are written in blocks of about this size.
constexpr qint64 writeBlockBytes = qint64(64) << 10;
// Never creates the file: records must not land in a file without the header
// that describes them (the working file was deleted behind our back).
const QIODevice::OpenMode appendMode =
    QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered | QIODevice::ExistingOnly;

// Both power-supply models mark every header they write with their mode.
void applyPowerMode(SwapFileHeader &h)
{
  if (Helpers::powerMode)
    h.mode = SwapFileHeader::PowerV1;
  if (Helpers::powerV2Mode)
    h.mode = SwapFileHeader::PowerV2;
}

} // namespace

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

// Writes one record per sample instant of `maps` to `out`, the time taken
// from the first active channel's points; as many records as the shortest
// channel has points. False when a map is missing (WrongChannels) or a write
// fails (WriteFailed); `*records` tells how many were encoded.
int SwapFile::encodeRecords(QIODevice *out, const QList<PlotDataMap *> &maps, bool byPosition, qint64 *records) const
{
  const int columns = activeChannels.size();
  QVarLengthArray<PlotDataMap::const_iterator, 8> cursors;
  qint64 count = std::numeric_limits<qint64>::max();
  for (int i = 0; i < columns; ++i) {
    const int index = byPosition ? i : activeChannels.at(i);
    const PlotDataMap *map = index < maps.size() ? maps.at(index) : nullptr;
    if (!map) {
      qDebug() << "SwapFile::append: no point map for channel" << activeChannels.at(i);
      return WrongChannels;
    }
    cursors.append(map->cbegin());
    count = qMin<qint64>(count, map->size());
  }
  if (columns == 0)
    count = 0;
  *records = count;

  const qint64 length = (qint64(columns) + 1) * 8;
  const qint64 perBlock = qMax<qint64>(1, writeBlockBytes / length);
  QByteArray block(int(qMin(count, perBlock) * length), '\0');
  for (qint64 done = 0; done < count;) {
    const qint64 n = qMin(perBlock, count - done);
    uchar *bytes = reinterpret_cast<uchar *>(block.data());
    for (qint64 k = 0; k < n; ++k) {
      LeBytes::putDouble(bytes, cursors[0].key());
      bytes += 8;
      for (int c = 0; c < columns; ++c) {
        LeBytes::putDouble(bytes, cursors[c].value().value);
        bytes += 8;
        ++cursors[c];
      }
    }
    if (out->write(block.constData(), n * length) != n * length)
      return WriteFailed;
    done += n;
  }
  return NoError;
}

bool SwapFile::writeRecords(const QList<PlotDataMap *> &maps, bool deleteMaps, bool byPosition)
{
  QMutexLocker locker(&mutex);
  if (!m_writable) {
    qInfo() << "SwapFile::append FAILED: the file has no valid header";
    emit swapFileError(WriteFailed);
    return false;
  }
  if (!openForAppend()) {
    qInfo() << "SwapFile::append FAILED to open file";
    emit swapFileError(WriteFailed);
    return false;
  }

  const qint64 sizeBefore = file.size();
  qint64 records = 0;
  const int fault = encodeRecords(&file, maps, byPosition, &records);
  if (fault != NoError) {
    // Leave the file as it was so it keeps describing whole records; the
    // caller still holds every point.
    qInfo() << "SwapFile::append FAILED to write:" << file.errorString();
    file.resize(sizeBefore);
    emit swapFileError(fault);
    return false;
  }
  if (deleteMaps) {
    qint64 left = 0;
    for (int i = 0; i < activeChannels.size(); ++i)
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
  const Operation operation(this);
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
  return moveTo(path, false);
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
  if (!loadLayout(layout, nullptr)) {
    close();
    return false;
  }
  // A finished capture keeps its tail last; only an unfinished one takes more records.
  m_writable = !layout.tail && layout.fileSize == headerBlockSize + layout.records * layout.recordLength;
  if (!m_writable)
    emit swapFileError(WriteFailed);
  return m_writable;
}
