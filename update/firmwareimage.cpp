#include "firmwareimage.h"

#include "hiddevice.h"

#include <QCoreApplication>
#include <QtEndian>

quint32 FirmwareImage::magicFor(const QString &model)
{
  // By the device's own serial number, not by the window's mode flags: a
  // capture file sets those, and a live supply is always served as the
  // first model.
  if (model == QLatin1String("5001"))
    return LoggerMagic;
  if (model == QLatin1String("5002"))
    return PowerMagic;
  if (model == QLatin1String("5003"))
    return PowerV2Magic;
  return 0;
}

quint32 FirmwareImage::connectedMagic()
{
  // A device in its bootloader names its model by the same serial number:
  // for a device left there by a failed update, flashing is the way back.
  const HidDevice *link = HidDevice::m_instance;
  if (!link || !link->isOpen())
    return 0;
  return magicFor(link->model());
}

quint32 FirmwareImage::magicOf(const QByteArray &image)
{
  if (image.size() < 4)
    return 0;
  return qFromLittleEndian<quint32>(image.constData());
}

FirmwareImage::Problem FirmwareImage::check(const QByteArray &image, quint32 magic, qint64 maxSize)
{
  if (magic == 0)
    return NoDevice;
  if (image.size() > maxSize)
    return TooLarge;
  // The header alone carries no firmware.
  if (image.size() <= HeaderSize)
    return TooShort;
  if (magicOf(image) != magic)
    return WrongModel;
  return None;
}

QString FirmwareImage::text(Problem problem)
{
  switch (problem) {
  case None:
    return QString();
  case NoDevice:
    return QCoreApplication::translate("UpdateDialog", "No instrument or power supply is connected.");
  case TooShort:
    return QCoreApplication::translate("UpdateDialog", "Firmware file too short.");
  case TooLarge:
    return QCoreApplication::translate("UpdateDialog", "Firmware file is too large.");
  case WrongModel:
    return QCoreApplication::translate("UpdateDialog", "Firmware file has wrong format");
  }
  return QString();
}
