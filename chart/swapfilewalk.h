#ifndef SWAPFILEWALK_H
#define SWAPFILEWALK_H

// The record walk shared by the capture-file readers; included only by the
// swapfile*.cpp files.

#include "swapfile.h"

#include <cmath>
#include <limits>
#include <memory>

namespace SwapFileIo {
constexpr qint64 tailSize = ReportData::byteSize;
const QIODevice::OpenMode readMode = QIODevice::ReadOnly | QIODevice::Unbuffered;
} // namespace SwapFileIo

// Whether a record's time has a place on the time line of a walk: finite and
// not before the last record taken (kept in `previous`). A record without
// one would land on another record's key in the maps or break the order of
// the step series, so the readers skip it: it counts for nothing.
inline bool inOrder(double time, double &previous)
{
  if (!(time >= previous && time <= std::numeric_limits<double>::max()))
    return false;
  previous = time;
  return true;
}
// Where `previous` starts: every finite time is in order after it.
constexpr double beforeAnyTime = std::numeric_limits<double>::lowest();

// Visits `count` records from record `first`, read in blocks of whole
// records into one buffer: a sequential read keeps pace with the disk and
// page cache, and memory stays flat however long the capture is.
// `visitBlock` gets a block's bytes, the index of its first record and its
// record count, and returns false to stop the walk.
template <typename VisitBlock>
SwapFile::WalkResult SwapFile::walkBlocks(const Layout &layout, qint64 first, qint64 count, VisitBlock &&visitBlock,
                                          qint64 lookahead)
{
  if (count <= 0)
    return WalkDone;
  const qint64 L = layout.recordLength;
  const qint64 perBlock = qMax<qint64>(1, qMin(count, readBlockBytes / L));
  std::unique_ptr<uchar[]> buffer(new uchar[size_t(perBlock * L + lookahead)]);
  if (!file.seek(headerBlockSize + first * L)) {
    emit swapFileError(ReadFailed);
    return WalkFailed;
  }
  for (qint64 done = 0; done < count;) {
    const qint64 n = qMin(perBlock, count - done);
    const qint64 next = headerBlockSize + (first + done + n) * L;
    const qint64 extra = qBound<qint64>(0, layout.fileSize - next, lookahead);
    if (file.read(reinterpret_cast<char *>(buffer.get()), n * L + extra) != n * L + extra ||
        (extra > 0 && !file.seek(next))) {
      emit swapFileError(ReadFailed);
      return WalkFailed;
    }
    if (!visitBlock(static_cast<const uchar *>(buffer.get()), first + done, n))
      return WalkStopped;
    done += n;
  }
  return WalkDone;
}

// The same walk record by record: `visit` gets each record's bytes and index
// and returns false to stop the walk.
template <typename Visit>
SwapFile::WalkResult SwapFile::walk(const Layout &layout, qint64 first, qint64 count, Visit &&visit)
{
  const qint64 L = layout.recordLength;
  return walkBlocks(layout, first, count, [&](const uchar *block, qint64 index, qint64 n) {
    for (qint64 k = 0; k < n; ++k, block += L) {
      if (!visit(block, index + k))
        return false;
    }
    return true;
  });
}

#endif // SWAPFILEWALK_H
