#ifndef SWAPFILEHEADER_H
#define SWAPFILEHEADER_H

#include <QList>
#include <QtGlobal>

// The 76-byte header record at the start of a capture file (little-endian):
// offset 0 version, 4 size, 8 channelCount, 9 channelMask, 10 divider,
// 12 mode, 13 channelList[8], 22 fahrenheit, 24 custom, 40 channelMask32,
// 44 channelList32[32]; the gaps are zero.
struct SwapFileHeader
{
  static constexpr int byteSize = 76;
  static constexpr qint32 currentVersion = 4;
  enum Mode : quint8 { Logger = 0, PowerV1 = 1, PowerV2 = 2, Unreadable = 255 };
  // Values per record the readers accept: the logger's three channels, or
  // up to eight power-supply outputs.
  static constexpr int maxLoggerChannels = 3;
  static constexpr int maxPowerChannels = 8;

  qint32 version = currentVersion;
  qint32 size = byteSize;
  qint8 channelCount = 3;
  quint8 channelMask = 1;
  // Divider of the 10 kHz base rate: records per second = 10000 / divider.
  qint16 divider = 1;
  quint8 mode = Logger;
  quint8 channelList[8] = {};
  qint16 fahrenheit = 0;
  qint16 custom = 0;
  quint32 channelMask32 = 1;
  quint8 channelList32[32] = {};

  // Bytes of one record: the time and one double per channel.
  qint64 recordLength() const { return (qint64(channelCount) + 1) * 8; }
  // Active channel numbers in ascending order, from the mask that belongs to
  // the file's model (the 32-bit mask of a Power V2 file).
  QList<int> channels() const;
  // Rebuilds the channel list of the file's model from its mask.
  void fillChannelList();

  void toBytes(uchar *out) const;
  static SwapFileHeader fromBytes(const uchar *in);
  // The header handed out for a file that cannot be read (mode 255).
  static SwapFileHeader unreadable();
};

#endif // SWAPFILEHEADER_H
