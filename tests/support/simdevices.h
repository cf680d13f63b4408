#ifndef SIMDEVICES_H
#define SIMDEVICES_H

#include "packet.h"
#include "simbus.h"

#include <QMap>

#include <functional>

// The TOVRI logger in normal operation (0483:A1DE). It answers the device
// information request, the channel-description request (one description
// per channel), start and stop commands and status requests, and streams
// sample blocks at the commanded rate while a capture runs.
class SimLogger : public SimDevice
{
public:
  explicit SimLogger(std::optional<QString> serial = QStringLiteral("500100001"),
                     unsigned short productId = 0xA1DE);

  DeviceInfo info;
  QList<ChannelInfo> channels;
  StatusControlResponse status;
  // Error byte of the answer to start commands; 0 accepts.
  unsigned char startError = 0;
  // Pin bits (3..7) of every sample block.
  unsigned char pinState = 0x08;
  // Sample counter of the first block of a capture.
  quint32 counterStart = 0;

  // The next sample block's counter jumps ahead by this many samples.
  void skipSamples(int samples) { m_counterOffset += quint32(samples); }
  // The next sample block claims this many samples per channel.
  void oversizeNextBlock(int count) { m_oversize = count; }
  // Every n-th sample block (0: none) is sent twice, back to back, with the
  // same counter and samples.
  void repeatEvery(int n) { m_repeatEvery = n; }
  // Raw 16-bit sample i of a channel in the stream.
  static quint16 sample(int channel, quint32 index);
  // When set, the stream's samples instead: raw word of (channel, index).
  std::function<quint16(int, quint32)> profile;

  bool streaming() const { return m_streaming; }
  // Distinct blocks; the second sendings are not among them.
  int blocksSent() const { return m_blocks; }
  int blocksRepeated() const { return m_repeated; }

protected:
  void received(const QByteArray &report) override;
  void advance(qint64 nowMs) override;

private:
  void startCapture(const DeviceControl &command);

  bool m_streaming = false;
  int m_divider = 10;
  QList<int> m_channels;
  qint64 m_start = 0;
  quint32 m_produced = 0;
  quint32 m_counterOffset = 0;
  int m_oversize = -1;
  int m_blocks = 0;
  int m_repeatEvery = 0;
  int m_repeated = 0;
};

// A Kelvaro power supply in normal operation. It answers the settings
// block, the live-data request and the text commands "POWER\n", "LOG..."
// and "LOGSTOP\n", and streams log frames while a log runs.
class SimPowerSupply : public SimDevice
{
public:
  explicit SimPowerSupply(std::optional<QString> serial = QStringLiteral("500200001"));

  PowerGetPacket settings;
  PowerDataPacket live;
  bool inputPower = true;
  // Command byte of the log frames.
  unsigned char logCommand = 0x01;
  // Data type of each channel's samples (the supply's built-in table).
  QMap<int, int> dataTypes;
  // Settings blocks written by the host.
  QList<PowerSetPacket> settingsWrites;

  void oversizeNextFrame(int rows) { m_oversize = rows; }
  static qint16 sample(int channel, quint32 index);

  bool logging() const { return m_logging; }
  QList<int> logChannels() const { return m_channels; }
  int logRate() const { return m_rate; }

protected:
  void received(const QByteArray &report) override;
  void advance(qint64 nowMs) override;

private:
  void command(const QString &text);
  void reply(const QString &text);
  int rowWidth() const;

  bool m_logging = false;
  int m_rate = 0;
  QList<int> m_channels;
  qint64 m_start = 0;
  quint32 m_produced = 0;
  int m_oversize = -1;
};

// The bootloader (0483:A1DA) a logger or power supply restarts into. It
// takes the first chunk (0x03), further chunks (0x04), the finish (0x05)
// and the start of the new firmware (0x06), keeps the payload, and
// acknowledges the first chunk and the finish with a report beginning 0x07.
class SimBootloader : public SimDevice
{
public:
  enum Answer { Acknowledge, Silent, Wrong };

  SimBootloader(std::optional<QString> serial, SimDevice *normal);

  Answer firstChunkAnswer = Acknowledge;
  Answer finishAnswer = Acknowledge;
  // Every further chunk is acknowledged as well.
  bool acknowledgeEveryChunk = false;
  // Delay of every answer in bus time.
  int answerDelayMs = 0;

  QByteArray payload;
  QList<int> chunkLengths;
  QList<int> commands;
  bool finished = false;
  bool started = false;

protected:
  void received(const QByteArray &report) override;

private:
  void answer(Answer kind);
  SimDevice *m_normal;
};

#endif // SIMDEVICES_H
