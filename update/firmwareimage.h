#ifndef FIRMWAREIMAGE_H
#define FIRMWAREIMAGE_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A firmware file: a 512-byte header whose first four bytes (little-endian)
// name the model it is built for, then the payload the bootloader takes.
// Downloads and local files pass the same check before anything is sent to
// the device: a wrong image written into an instrument can brick it.
class FirmwareImage
{
public:
  static constexpr int HeaderSize = 512;
  static constexpr quint32 LoggerMagic = 0xA9BACBDCu;
  static constexpr quint32 PowerMagic = 0x20230710u;
  static constexpr quint32 PowerV2Magic = 0x20240104u;

  // The magic of a device model code (the first four characters of its
  // serial number); 0 for a model we have no firmware for.
  static quint32 magicFor(const QString &model);
  // The magic of the connected device, in normal operation or in its
  // bootloader; 0 when none is connected.
  static quint32 connectedMagic();
  static quint32 magicOf(const QByteArray &image);

  enum Problem { None, NoDevice, TooShort, TooLarge, WrongModel };
  // What keeps `image` from being written into a device whose firmware
  // carries `magic`.
  static Problem check(const QByteArray &image, quint32 magic, qint64 maxSize);
  static QString text(Problem problem);
};

#endif // FIRMWAREIMAGE_H
