#ifndef PANELFIXTURE_H
#define PANELFIXTURE_H

#include "helpers.h"
#include "packet.h"
#include "settings.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <initializer_list>

namespace panelfixture {

// A 64-byte image from leading hex bytes ("02 80 00 0A"); the rest zero.
inline QByteArray image(const char *hex)
{
  QByteArray bytes = QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
  bytes.resize(Packet::ImageSize, '\0');
  return bytes;
}

inline QByteArray bytesOf(const Packet &packet)
{
  return QByteArray(reinterpret_cast<const char *>(packet.data()), Packet::ImageSize);
}

// Every process-wide flag the panels read, back to its state at start, and
// an empty settings file.
inline void resetState()
{
  Helpers::isMeasuring = false;
  Helpers::powerMode = false;
  Helpers::powerV2Mode = false;
  StatusControlRequest::justRequested = false;
  StatusControlResponse::firstPacket = false;
  DeviceControl::m_currentDeviceControl = DeviceControl();
  ChannelInfo::removeChannels();
  QFile::remove(Settings().fileName());
}

// Replaces the settings file with raw text, as a damaged or hand-edited one.
inline void writeSettings(const QByteArray &text)
{
  const QString path = Settings().fileName();
  QDir().mkpath(QFileInfo(path).absolutePath());
  const QDateTime before = QFileInfo(path).lastModified();
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
  QVERIFY(file.flush());
  // Settings reread a file only when its size or time differs from what they
  // last saw; a rewrite of the same size within the same clock tick must
  // still be read.
  if (before.isValid())
    QVERIFY(file.setFileTime(before.addSecs(1), QFileDevice::FileModificationTime));
}

// A channel description as the logger sends it; the info field is copied raw.
inline void describe(int channel, const QByteArray &info = QByteArray("mV,Voltage,"))
{
  ChannelInfo description;
  description.set(4, uchar(channel));
  description.set(ChannelInfo::InfoOffset, info.left(ChannelInfo::InfoLength));
  ChannelInfo::m_channels.insert(uchar(channel), description);
}

inline void describe(std::initializer_list<int> channels)
{
  for (int c : channels)
    describe(c);
}

struct Answer
{
  int error = 0;
  int pins = 0x40; // Vbat is the Vin source
  int readBack = 1800;
  int power = 8;
  int flags = 0;
  int control = 0;
};

inline StatusControlResponse answer(const Answer &a)
{
  StatusControlResponse r;
  r.set(1, uchar(a.control));
  r.set(2, uchar(a.flags));
  r.set(4, uchar(a.error));
  r.set(5, uchar(a.pins));
  r.writeU16(22, quint16(a.readBack));
  r.set(24, uchar(a.power));
  return r;
}

// Answers every message box that opens, recording title and text.
class BoxCatcher
{
public:
  BoxCatcher()
  {
    m_timer.setInterval(1);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        titles.append(box->windowTitle());
        texts.append(box->text());
        box->accept();
      }
    });
    m_timer.start();
  }
  // Lets posted boxes open and be answered.
  void settle() { QTest::qWait(20); }

  QStringList titles;
  QStringList texts;

private:
  QTimer m_timer;
};

} // namespace panelfixture

#endif // PANELFIXTURE_H
