#ifndef PACKETBASE_H
#define PACKETBASE_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// One 64-byte report image. Byte 0 names the message; multi-byte integer
// fields are big-endian. Packets are values: copied, passed by reference,
// never shared. Every access stays inside the 64 bytes.
class Packet
{
public:
  static constexpr int ImageSize = 64;

  // Entry i is the channel-mask bit of channel i.
  static const quint16 m_channelMask[16];

  Packet();
  explicit Packet(unsigned char descriptor);
  Packet(const Packet &other);
  // Copies the first min(length, 64) bytes of a received report.
  Packet(const unsigned char *bytes, int length);
  // Copies an array of at most 64 bytes; a longer one leaves the image zero.
  explicit Packet(const QByteArray &bytes);
  virtual ~Packet();

  // Copies the other image; the object keeps its own class.
  Packet &operator=(const Packet &other);

  virtual int descriptor() const;
  virtual int size() const;
  unsigned char *data() { return m_image; }
  const unsigned char *data() const { return m_image; }
  virtual QByteArray toByteArray() const;
  virtual QString toString() const;
  virtual QString trace() const;

  // Copies min(length, 64) bytes from byte 0; the rest stays.
  void set(const unsigned char *bytes, int length);
  // Each writes nothing when the bytes would not lie inside the image.
  void set(int index, unsigned char value);
  // Low byte first (unlike the wire's integer fields; see writeU16).
  void set(int index, unsigned short value);
  void set(int index, const QByteArray &bytes);

  // Big-endian field access; out-of-image reads give 0, writes do nothing.
  quint16 readU16(int index) const;
  quint32 readU24(int index) const;
  quint32 readU32(int index) const;
  void writeU16(int index, quint16 value);
  void writeU32(int index, quint32 value);
  // The status answer's readings: IEEE floats, least significant byte first.
  float readFloatLE(int index) const;
  void writeFloatLE(int index, float value);

protected:
  // Written so that no sum can overflow, whatever the caller passes.
  static bool inside(int index, int length)
  {
    return index >= 0 && length >= 0 && index <= ImageSize && length <= ImageSize - index;
  }
  void clear();

private:
  unsigned char m_image[ImageSize];
};

#endif // PACKETBASE_H
