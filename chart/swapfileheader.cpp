#include "swapfileheader.h"
#include "lebytes.h"

#include <cstring>

QList<int> SwapFileHeader::channels() const
{
  QList<int> list;
  if (mode == PowerV2) {
    for (int i = 0; i < 32; ++i)
      if (channelMask32 & (quint32(1) << i))
        list.append(i);
  } else {
    for (int i = 0; i < 8; ++i)
      if (channelMask & (1u << i))
        list.append(i);
  }
  return list;
}

void SwapFileHeader::fillChannelList()
{
  const QList<int> list = channels();
  if (mode == PowerV2) {
    std::memset(channelList32, 0, sizeof channelList32);
    for (int i = 0; i < list.size(); ++i)
      channelList32[i] = quint8(list.at(i));
  } else {
    std::memset(channelList, 0, sizeof channelList);
    for (int i = 0; i < list.size(); ++i)
      channelList[i] = quint8(list.at(i));
  }
}

void SwapFileHeader::toBytes(uchar *out) const
{
  std::memset(out, 0, byteSize);
  LeBytes::put<qint32>(out + 0, version);
  LeBytes::put<qint32>(out + 4, size);
  out[8] = uchar(channelCount);
  out[9] = channelMask;
  LeBytes::put<qint16>(out + 10, divider);
  out[12] = mode;
  std::memcpy(out + 13, channelList, sizeof channelList);
  LeBytes::put<qint16>(out + 22, fahrenheit);
  LeBytes::put<qint16>(out + 24, custom);
  LeBytes::put<quint32>(out + 40, channelMask32);
  std::memcpy(out + 44, channelList32, sizeof channelList32);
}

SwapFileHeader SwapFileHeader::fromBytes(const uchar *in)
{
  SwapFileHeader h;
  h.version = LeBytes::get<qint32>(in + 0);
  h.size = LeBytes::get<qint32>(in + 4);
  h.channelCount = qint8(in[8]);
  h.channelMask = in[9];
  h.divider = LeBytes::get<qint16>(in + 10);
  h.mode = in[12];
  std::memcpy(h.channelList, in + 13, sizeof h.channelList);
  h.fahrenheit = LeBytes::get<qint16>(in + 22);
  h.custom = LeBytes::get<qint16>(in + 24);
  h.channelMask32 = LeBytes::get<quint32>(in + 40);
  std::memcpy(h.channelList32, in + 44, sizeof h.channelList32);
  return h;
}

SwapFileHeader SwapFileHeader::unreadable()
{
  SwapFileHeader h;
  h.mode = Unreadable;
  return h;
}
