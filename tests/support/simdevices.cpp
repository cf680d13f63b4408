#include "simdevices.h"

namespace {

constexpr unsigned short Vid = 0x0483;
constexpr unsigned short BootPid = 0xA1DA;

QByteArray bytesOf(std::initializer_list<int> values)
{
  QByteArray bytes;
  for (int v : values)
    bytes.append(char(v));
  return bytes;
}

ChannelInfo channel(int number, int dataType, int base, int minExponent, const char *text)
{
  ChannelInfo info; // descriptor 4, as the logger sends it
  info.set(4, uchar(number));
  info.set(5, uchar(dataType));
  info.set(6, uchar(base));
  info.set(7, uchar(minExponent));
  info.set(ChannelInfo::InfoOffset, QByteArray(text));
  return info;
}

} // namespace

// ---- SimLogger --------------------------------------------------------------

SimLogger::SimLogger(std::optional<QString> serial, unsigned short productId)
  : SimDevice(Vid, productId, serial)
{
  product = QStringLiteral("TOVRI logger");
  info.set(1, uchar(5));
  info.set(2, uchar(105));
  info.set(3, uchar(3));
  info.writeU32(4, serial ? serial->toUInt() : 0);
  info.set(8, QByteArray("Quillomar Current logger v2.05"));
  channels.append(channel(0, 1, 2, 0, "\xce\xbc" "A,Current,"));
  channels.append(channel(1, 0, 52, 255, "mV,Voltage,"));
  channels.append(channel(2, 0, 52, 255, "mV,Voltage,"));
  status.set(4, uchar(0x00));
  status.set(5, uchar(0x48));
  status.writeFloatLE(6, 1.0f);
  status.writeFloatLE(10, 3300.5f);
  status.writeFloatLE(14, 1800.25f);
  status.writeFloatLE(18, 5000.0f);
  status.writeU16(22, 1800);
  status.set(24, uchar(1));
}

quint16 SimLogger::sample(int channel, quint32 index)
{
  if (channel == 0)
    return quint16((index * 7 + 100) % 16383); // exponent bits 0
  return quint16(qint16(channel * 1000 + int(index % 1000) - 50));
}

void SimLogger::received(const QByteArray &report)
{
  // The logger reads layout A: report id 0, then the image.
  if (report.size() < 65 || report.at(0) != 0)
    return;
  const Packet image(reinterpret_cast<const unsigned char *>(report.constData()) + 1, 64);
  switch (image.descriptor()) {
  case DeviceInfo::Descriptor:
    queue(info.toByteArray());
    break;
  case ChannelInfo::Descriptor:
    for (const ChannelInfo &c : std::as_const(channels))
      queue(c.toByteArray());
    break;
  case DeviceControl::Descriptor: {
    DeviceControl answer(image);
    if (image.data()[1] == DeviceControl::Stop) {
      m_streaming = false;
      answer.set(3, uchar(0));
    } else {
      answer.set(3, startError);
      if (startError == 0)
        startCapture(answer);
    }
    queue(answer.toByteArray());
    break;
  }
  case StatusControlRequest::Descriptor: {
    StatusControlResponse answer(status);
    answer.set(1, image.data()[1]);
    queue(answer.toByteArray());
    break;
  }
  case BootModePacket::Descriptor:
    if (image.data()[1] == 0xAB && image.data()[2] == 0x54) {
      m_streaming = false;
      restartAs(bus()->bootloaderFor(this));
    }
    break;
  default:
    break;
  }
}

void SimLogger::startCapture(const DeviceControl &command)
{
  m_channels.clear();
  const int mask = command.readU16(4) & 0x07;
  for (int c = 0; c < 3; ++c) {
    if (mask & (1 << c))
      m_channels.append(c);
  }
  m_divider = qMax(1, int(command.readU16(6)));
  m_start = bus()->now();
  m_produced = 0;
  m_counterOffset = 0;
  m_streaming = !m_channels.isEmpty();
}

void SimLogger::advance(qint64 nowMs)
{
  if (!m_streaming)
    return;
  const int d = int(m_channels.size());
  const quint32 n = quint32(MeasureAll::MaxSamples / d);
  // The period is divider × 100 µs.
  const quint32 due = quint32((nowMs - m_start) * 10 / m_divider);
  while (m_produced + n <= due) {
    MeasureAll block;
    const quint32 counter = (counterStart + m_produced + m_counterOffset) & 0xFFFFFF;
    block.set(1, uchar(counter >> 16));
    block.set(2, uchar(counter >> 8));
    block.set(3, uchar(counter));
    int bits = 0;
    for (int c : std::as_const(m_channels))
      bits |= 1 << c;
    block.set(5, uchar((pinState & 0xF8) | bits));
    block.set(6, uchar(m_oversize >= 0 ? m_oversize : int(n)));
    m_oversize = -1;
    for (quint32 k = 0; k < n; ++k) {
      for (int j = 0; j < d; ++j)
        block.writeU16(MeasureAll::FirstSample + 2 * int(k * quint32(d) + quint32(j)),
                       profile ? profile(m_channels.at(j), m_produced + k)
                               : sample(m_channels.at(j), m_produced + k));
    }
    queue(block.toByteArray());
    m_produced += n;
    ++m_blocks;
    if (m_repeatEvery > 0 && m_blocks % m_repeatEvery == 0) {
      queue(block.toByteArray());
      ++m_repeated;
    }
  }
}

// ---- SimPowerSupply ---------------------------------------------------------

SimPowerSupply::SimPowerSupply(std::optional<QString> serial)
  : SimDevice(Vid, 0xA1DE, serial)
{
  product = QStringLiteral("Kelvaro Power");
  for (int k = 0; k < 32; ++k)
    settings.setBlock(k, uchar(k + 1));
  settings.setBlock(40, uchar(0x5A)); // a byte the JSON form does not carry
  live.setBlock(1, uchar(138));       // 13.8 V
  live.writeU16(2 + 2, 300);          // 30.0 A
  live.setBlock(7, uchar(qint8(-10)));
  live.setBlock(8, uchar(25));
  live.setBlock(35, uchar(1));
  live.setBlock(36, uchar(5));
  dataTypes = {{0, 3}, {1, 0}, {2, 3}, {3, 0}, {4, 2}, {5, 2}, {6, 0}, {7, 0}};
}

qint16 SimPowerSupply::sample(int channel, quint32 index)
{
  if (channel == 4 || channel == 5)
    return qint16(int(index % 40) - 10); // temperatures go below zero
  return qint16(channel * 20 + int(index % 20));
}

void SimPowerSupply::received(const QByteArray &report)
{
  if (report.size() < 65)
    return;
  const auto *bytes = reinterpret_cast<const unsigned char *>(report.constData());
  if (bytes[0] == 0x01 && report.mid(1, 5) == "RESET") {
    m_logging = false;
    restartAs(bus()->bootloaderFor(this));
    return;
  }
  if (bytes[0] != PowerPacket::ReportId)
    return;
  if (bytes[1] != PowerPacket::FullSize) {
    // A text command: its length, then the text.
    command(QString::fromLatin1(report.mid(2, bytes[1])));
    return;
  }
  switch (bytes[2]) {
  case PowerPacket::Settings:
    queue(settings.toByteArray());
    break;
  case PowerPacket::SettingsWrite: {
    PowerSetPacket written(bytes, 64);
    settingsWrites.append(written);
    for (int k = 0; k < 61; ++k)
      settings.setBlock(k, written.block(k));
    queue(bytesOf({0x07, 0x40, 0x0B}));
    break;
  }
  case PowerPacket::LiveData:
    queue(live.toByteArray());
    break;
  default:
    break;
  }
}

void SimPowerSupply::reply(const QString &text)
{
  QByteArray report = bytesOf({0x07, int(text.size())});
  report.append(text.toLatin1());
  queue(report);
}

void SimPowerSupply::command(const QString &text)
{
  if (text == QLatin1String("POWER\n")) {
    reply(inputPower ? QStringLiteral("ON\r\n") : QStringLiteral("OFF\r\n"));
    return;
  }
  if (text == QLatin1String("LOGSTOP\n")) {
    m_logging = false;
    queue(bytesOf({0x07, 0x40, PowerPacket::LogFinished}));
    return;
  }
  // "LOG" rate "C" channel digits "\n"
  const int c = int(text.indexOf(QLatin1Char('C')));
  bool ok = text.startsWith(QLatin1String("LOG")) && text.endsWith(QLatin1Char('\n')) && c > 3;
  const int rate = ok ? text.mid(3, c - 3).toInt(&ok) : 0;
  QList<int> channels;
  if (ok) {
    const QString digits = text.mid(c + 1).chopped(1);
    for (QChar digit : digits) {
      bool valid = false;
      const int channel = QString(digit).toInt(&valid, 16);
      if (!valid || !dataTypes.contains(channel)) {
        ok = false;
        break;
      }
      channels.append(channel);
    }
  }
  if (!ok || rate <= 0 || channels.isEmpty()) {
    reply(QStringLiteral("ERROR\r\n"));
    return;
  }
  m_channels = channels;
  m_rate = rate;
  m_start = bus()->now();
  m_produced = 0;
  m_logging = true;
}

int SimPowerSupply::rowWidth() const
{
  int width = 0;
  for (int c : m_channels)
    width += MeasurePower::sampleWidth(dataTypes.value(c));
  return width;
}

void SimPowerSupply::advance(qint64 nowMs)
{
  if (!m_logging)
    return;
  const quint32 rows = quint32(qMin(255, (64 - MeasurePower::FirstSample) / rowWidth()));
  const quint32 due = quint32((nowMs - m_start) * m_rate / 1000);
  while (m_produced + rows <= due) {
    QByteArray frame = bytesOf({0x07, 0x40, logCommand});
    const quint32 counter = m_produced & 0xFFFFFF;
    frame.append(char(counter >> 16)).append(char(counter >> 8)).append(char(counter));
    frame.append(char(m_oversize >= 0 ? m_oversize : int(rows)));
    m_oversize = -1;
    for (quint32 k = 0; k < rows; ++k) {
      for (int c : std::as_const(m_channels)) {
        const qint16 value = sample(c, m_produced + k);
        switch (dataTypes.value(c)) {
        case 0:
          frame.append(char(quint16(value) >> 8)).append(char(value & 0xFF));
          break;
        case 1:
          frame.append(2, '\0');
          break;
        default:
          frame.append(char(value & 0xFF));
          break;
        }
      }
    }
    queue(frame);
    m_produced += rows;
  }
}

// ---- SimBootloader ----------------------------------------------------------

SimBootloader::SimBootloader(std::optional<QString> serial, SimDevice *normal)
  : SimDevice(Vid, BootPid, std::move(serial))
  , m_normal(normal)
{
  product = QStringLiteral("Bootloader");
}

void SimBootloader::answer(Answer kind)
{
  if (kind == Acknowledge)
    queue(bytesOf({0x07}), answerDelayMs);
  else if (kind == Wrong)
    queue(bytesOf({0x55}), answerDelayMs);
}

void SimBootloader::received(const QByteArray &report)
{
  if (report.size() < 65 || report.at(0) != 0)
    return;
  const int command = uchar(report.at(1));
  const int length = qMin(int(uchar(report.at(2))), 62);
  commands.append(command);
  switch (command) {
  case 0x03:
    payload = report.mid(3, length);
    chunkLengths = {length};
    finished = started = false;
    answer(firstChunkAnswer);
    break;
  case 0x04:
    payload += report.mid(3, length);
    chunkLengths.append(length);
    if (acknowledgeEveryChunk)
      answer(Acknowledge);
    break;
  case 0x05:
    finished = true;
    answer(finishAnswer);
    break;
  case 0x06:
    started = true;
    restartAs(m_normal);
    break;
  default:
    break;
  }
}
