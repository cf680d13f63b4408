#include "hiddevice.h"

#include "bootpackets.h"
#include "devicemode.h"
#include "powerpackets.h"

#include <QDebug>
#include <QIODevice>
#include <QMutexLocker>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

HidDevice *HidDevice::m_instance = nullptr;

namespace {

constexpr int SearchInterval = 2000;
constexpr int ReadInterval = 1;
constexpr int AnswerTimeout = 60;
constexpr int AnswerTries = 1000;
constexpr unsigned char BootAnswer = 0x07;

enum BootCommand : unsigned char {
  FirstChunk = 0x03,
  NextChunk = 0x04,
  Finish = 0x05,
  StartFirmware = 0x06,
};

// The reader's rest when the library has nothing waiting, as the poll's.
constexpr int ReaderRestMs = ReadInterval;

} // namespace

// Drains one open device on a thread of its own, with the same non-blocking
// reads the poll makes, each under the link's library lock so that the
// library never sees two calls at once. The reports wait, in the order
// read, until the GUI thread takes them; none is dropped.
class HidReader
{
public:
  HidReader(HidBackend *backend, HidHandle *handle, std::mutex *libraryLock)
    : m_backend(backend)
    , m_handle(handle)
    , m_libraryLock(libraryLock)
    , m_thread([this] { run(); })
  {
  }

  // Returns once the thread has ended: the handle may then be closed.
  ~HidReader()
  {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
  }

  QList<QByteArray> take()
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_reports, {});
  }

private:
  void run()
  {
    unsigned char buffer[HidDevice::InputSize];
    for (;;) {
      int count;
      {
        const std::lock_guard<std::mutex> library(*m_libraryLock);
        count = m_backend->read(m_handle, buffer, HidDevice::InputSize);
      }
      std::unique_lock<std::mutex> lock(m_mutex);
      if (m_stop)
        return;
      if (count > 0) {
        // A short report must not carry bytes of the one before.
        if (count < HidDevice::InputSize)
          std::memset(buffer + count, 0, size_t(HidDevice::InputSize - count));
        m_reports.append(QByteArray(reinterpret_cast<const char *>(buffer), HidDevice::InputSize));
        continue;
      }
      // Nothing waiting, or a device going away (the search notices): rest.
      if (m_wake.wait_for(lock, std::chrono::milliseconds(ReaderRestMs), [this] { return m_stop; }))
        return;
    }
  }

  HidBackend *m_backend;
  HidHandle *m_handle;
  std::mutex *m_libraryLock;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_stop = false;
  QList<QByteArray> m_reports;
  std::thread m_thread; // last: starts once the rest is built
};

HidDevice *HidDevice::instance()
{
  if (!m_instance)
    new HidDevice(nullptr);
  return m_instance;
}

HidDevice::HidDevice(QObject *parent)
  : QObject(parent)
  , m_backend(HidBackend::instance())
{
  if (!m_instance)
    m_instance = this;
  m_searchTimer = new QTimer(this);
  connect(m_searchTimer, &QTimer::timeout, this, &HidDevice::checkTimerTick);
  m_searchTimer->start(SearchInterval);
  m_readTimer = new QTimer(this);
  connect(m_readTimer, &QTimer::timeout, this, &HidDevice::hidRead);
  m_readTimer->start(ReadInterval);
}

HidDevice::~HidDevice()
{
  m_devices.clear();
  delete m_searchTimer;
  m_searchTimer = nullptr;
  delete m_readTimer;
  m_readTimer = nullptr;
  QObject::disconnect(this, nullptr, nullptr, nullptr);
  // The handle would otherwise stay open in the HID library.
  disconnectDevice();
  if (m_instance == this)
    m_instance = nullptr;
}

// ---- search -------------------------------------------------------------------

bool HidDevice::supported(const QString &serial)
{
  const QString model = serial.left(4);
  return model == QLatin1String("5001") || model == QLatin1String("5002");
}

bool HidDevice::connectDevice(unsigned short vendorId, unsigned short productId, const QString &serial)
{
  if (m_device)
    return false;
  HidHandle *handle = m_backend->open(vendorId, productId, serial);
  if (!handle)
    return false;
  m_device = handle;
  m_backend->setNonBlocking(handle, true);
  m_openVendorId = vendorId;
  m_openProductId = productId;
  return true;
}

bool HidDevice::disconnectDevice()
{
  HidHandle *handle = m_device;
  if (!handle)
    return false;
  // The reader ends before its handle goes; what it held is of a closed device.
  m_reader.reset();
  // Cleared first: a slot reached from close must find the link closed.
  m_device = nullptr;
  m_backend->close(handle);
  return true;
}

void HidDevice::opened(const QString &serial, bool boot)
{
  m_serial = serial;
  m_model = serial.left(4);
  m_bootMode = boot;
  // The device an update opens is the one it flashes. Once it runs its
  // firmware again after the update, any device may be opened; while it
  // waits in its bootloader it stays the one the link comes back to.
  if (m_updating && m_flashedSerial.isEmpty())
    m_flashedSerial = serial;
  else if (!m_updating && !boot)
    m_flashedSerial.clear();
}

QList<HidDeviceEntry> HidDevice::candidates(const QList<HidDeviceEntry> &listed, bool boot)
{
  if (m_flashedSerial.isEmpty())
    return listed;
  QList<HidDeviceEntry> flashed;
  for (const HidDeviceEntry &entry : listed) {
    if (entry.vendorId == VendorId && (entry.productId == ProductId || entry.productId == BootProductId) &&
        entry.serial == m_flashedSerial)
      flashed.append(entry);
  }
  if (!flashed.isEmpty())
    return flashed;
  // A bootloader may name itself otherwise: the one that appears after the
  // reset is the device's.
  if (boot)
    return listed;
  // Another device plugged beside the flashed one is neither flashed nor
  // served while the flashed one restarts.
  if (m_updating || m_flashedWait-- > 0)
    return {};
  m_flashedSerial.clear();
  return listed;
}

bool HidDevice::searchDevice(bool arrival, bool boot)
{
  // Only the instrument's vendor is listed: the library opens every device
  // it lists to read its strings, a few ms each, and the reader waits for
  // the whole listing while the library's queue of 30 reports (54 ms of a
  // 5 kHz capture on three channels) overflows.
  QList<HidDeviceEntry> listed;
  {
    // The library promises no call beside another, so the listing still
    // waits for the reader's read and the reader for the listing.
    const std::lock_guard<std::mutex> library(m_libraryLock);
    listed = m_backend->enumerate(VendorId, boot ? BootProductId : 0);
  }
  m_devices = std::move(listed);

  if (arrival) {
    // A failure is told again once its device has left the bus.
    bool failedListed = false;
    for (const HidDeviceEntry &entry : std::as_const(m_devices))
      failedListed |= failureKey(entry) == m_openFailure;
    if (!failedListed)
      m_openFailure.clear();
    if (!boot && !m_device)
      noteUnserved();
    if (m_devices.isEmpty())
      return false;
    if (m_device)
      return true;
    // Copied: a slot of deviceConnected may search again.
    const QList<HidDeviceEntry> devices = candidates(m_devices, boot);
    for (const HidDeviceEntry &entry : devices) {
      if (entry.vendorId != VendorId)
        continue;
      if (entry.productId == ProductId) {
        // A device without a serial number has an empty one: unsupported.
        if (!supported(entry.serial))
          continue;
        if (!connectDevice(VendorId, ProductId, entry.serial)) {
          openFailed(entry);
          return true;
        }
        m_openFailure.clear();
        opened(entry.serial, false);
        emit deviceConnected();
        return true;
      }
      if (entry.productId == BootProductId) {
        if (!connectDevice(VendorId, BootProductId, entry.serial))
          return true;
        opened(entry.serial, true);
        emit bootloaderConnected();
        return true;
      }
    }
    return false;
  }

  if (!m_device)
    return false;
  // The open device is present only while an entry with its ids and its
  // serial number is listed; another device with the same ids does not
  // keep a dead handle alive.
  for (const HidDeviceEntry &entry : std::as_const(m_devices)) {
    if (entry.vendorId == m_openVendorId && entry.productId == m_openProductId && entry.serial == m_serial)
      return true;
  }
  emit deviceDisconnected();
  disconnectDevice();
  return false;
}

void HidDevice::noteUnserved()
{
  QStringList serials;
  for (const HidDeviceEntry &entry : std::as_const(m_devices)) {
    if (entry.vendorId == VendorId && entry.productId == ProductId && !entry.serial.isEmpty() &&
        !supported(entry.serial) && !serials.contains(entry.serial))
      serials.append(entry.serial);
  }
  serials.sort();
  if (serials != m_unserved) {
    m_unserved = serials;
    emit unservedDevicesChanged(serials);
  }
}

QString HidDevice::failureKey(const HidDeviceEntry &entry)
{
  return QStringLiteral("%1:%2:%3").arg(entry.vendorId).arg(entry.productId).arg(entry.serial);
}

void HidDevice::openFailed(const HidDeviceEntry &entry)
{
  const QString key = failureKey(entry);
  if (key == m_openFailure)
    return;
  m_openFailure = key;
  QString reason = m_backend->error(nullptr);
  if (reason.isEmpty())
    reason = tr("access denied or device busy");
  qWarning() << "HidDevice: cannot open" << entry.serial << reason;
  emit deviceOpenFailed(reason);
}

void HidDevice::checkTimerTick()
{
  searchDevice(m_device == nullptr, false);
}

bool HidDevice::stop()
{
  m_searchTimer->stop();
  m_readTimer->stop();
  return disconnectDevice();
}

void HidDevice::terminateUpdate()
{
  m_terminate = true;
}

// ---- reading ------------------------------------------------------------------

void HidDevice::hidRead()
{
  // A slot of packetReceived that turns the event loop brings the poll
  // timer back here; the outer call goes on handing reports over.
  if (!m_device || m_reading)
    return;
  m_reading = true;
  // Only the poll starts the reader, so a firmware update (which stops the
  // poll and reads the bootloader's answers itself) never meets it.
  if (!m_reader && m_openProductId != BootProductId && m_backend->threadedReads())
    m_reader = std::make_unique<HidReader>(m_backend, m_device, &m_libraryLock);
  if (m_reader)
    handOver();
  else
    readDirect();
  m_reading = false;
}

void HidDevice::handOver()
{
  const HidHandle *handle = m_device;
  const QList<QByteArray> reports = m_reader->take();
  unsigned char buffer[InputSize];
  for (const QByteArray &report : reports) {
    // A slot may have closed the device: the rest belongs to no open link.
    if (m_device != handle)
      break;
    std::memcpy(buffer, report.constData(), InputSize);
    QMutexLocker locker(&m_readLock);
    emit packetReceived(buffer, InputSize);
  }
}

void HidDevice::readDirect()
{
  unsigned char buffer[InputSize];
  std::memset(buffer, 0, sizeof buffer);
  for (;;) {
    HidHandle *handle = m_device; // a slot may have closed the device
    if (!handle)
      break;
    const int count = m_backend->read(handle, buffer, InputSize);
    if (count <= 0)
      break;
    // A short report must not carry bytes of the one before.
    if (count < InputSize)
      std::memset(buffer + count, 0, size_t(InputSize - count));
    QMutexLocker locker(&m_readLock);
    emit packetReceived(buffer, InputSize);
  }
}

bool HidDevice::receiveUntil(const std::function<bool()> &done, int timeoutMs)
{
  for (int waited = 0;; ++waited) {
    if (!m_device || m_reading)
      return done();
    hidRead();
    if (done())
      return true;
    if (waited >= timeoutMs)
      return false;
    m_backend->sleep(1);
  }
}

bool HidDevice::waitAnswer()
{
  return awaitAnswer(false) == Acknowledged;
}

HidDevice::Answer HidDevice::awaitAnswer(bool cancellable)
{
  unsigned char buffer[OutputSize];
  // Failed reads count like empty ones, so a failing device ends the wait too.
  for (int tries = 0; tries < AnswerTries; ++tries) {
    m_backend->processEvents();
    if (cancellable && m_terminate)
      return Cancelled;
    if (!m_device)
      return Silent;
    const int count = m_backend->readTimeout(m_device, buffer, OutputSize, AnswerTimeout);
    if (count > 0)
      return buffer[0] == BootAnswer ? Acknowledged : Refused;
  }
  return Silent;
}

QString HidDevice::hidError(HidHandle *handle) const
{
  const std::lock_guard<std::mutex> library(m_libraryLock);
  return m_backend->error(handle);
}

// ---- writing ------------------------------------------------------------------

int HidDevice::write(const unsigned char *report)
{
  if (!m_device)
    return 0;
  const std::lock_guard<std::mutex> library(m_libraryLock);
  return m_backend->write(m_device, report, OutputSize);
}

int HidDevice::sendPacket(const Packet &packet)
{
  if (!m_device)
    return 0;
  unsigned char report[OutputSize] = {};
  if (DeviceMode::powerSupply())
    std::memcpy(report, packet.data(), InputSize); // image byte 0 is the report id
  else
    std::memcpy(report + 1, packet.data(), InputSize); // report id 0, then the image
  return write(report);
}

int HidDevice::sendPacket(const PowerPacket &packet)
{
  if (!m_device)
    return 0;
  unsigned char report[OutputSize] = {};
  std::memcpy(report, packet.data(), InputSize);
  return write(report);
}

int HidDevice::sendCommand(const QString &command)
{
  if (!m_device || command.isEmpty())
    return 0;
  if (command.size() > MaxCommandLength) {
    qDebug() << "HidDevice::sendCommand: command longer than" << MaxCommandLength << "characters refused";
    return -1;
  }
  const QByteArray text = command.toLatin1();
  unsigned char report[OutputSize] = {};
  report[0] = PowerPacket::ReportId;
  report[1] = uchar(command.size() & 0xFF);
  std::memcpy(report + 2, text.constData(), size_t(text.size()));
  return write(report);
}

// ---- firmware update ----------------------------------------------------------

QString HidDevice::writeError() const
{
  const QString text = m_device ? hidError(m_device) : QString();
  return text.isEmpty() ? tr("Writing to the device failed.") : text;
}

void HidDevice::failUpdate(const QString &text, bool post)
{
  if (post)
    postUpdate();
  emit updatePercentChanged(100);
  emit updateFailed(text);
  skipUpdating();
}

void HidDevice::drainInput()
{
  unsigned char buffer[OutputSize];
  while (m_device && m_backend->read(m_device, buffer, OutputSize) > 0) {
  }
}

bool HidDevice::update(QIODevice *source)
{
  // A cancel belongs to this update from its very start on.
  m_terminate = false;
  // The first chunk is read before anything else happens, so that a
  // firmware that cannot be read never resets the device into its bootloader.
  const qint64 size = source && source->isReadable() ? source->bytesAvailable() : 0;
  char chunk[ChunkSize];
  qint64 got = size > 0 ? source->read(chunk, ChunkSize) : 0;
  if (got <= 0) {
    failUpdate(tr("Firmware file too short."), false);
    return false;
  }

  // Only the device held last is flashed, and the link comes back to it.
  m_updating = true;
  m_flashedSerial = m_serial;
  m_readTimer->stop();
  m_searchTimer->stop();
  m_backend->processEvents();
  disconnectDevice();
  m_backend->processEvents();
  m_backend->sleep(1000);

  m_bootMode = false;
  for (int i = 0; i < 10 && !m_device; ++i) {
    searchDevice(true, false);
    m_backend->sleep(200);
  }
  if (m_terminate) {
    skipUpdating();
    return false;
  }

  if (!m_bootMode) {
    if (!m_device) {
      failUpdate(tr("Device not found."), false);
      return false;
    }
    const int written = DeviceMode::powerSupply() ? sendPacket(BootModePowerPacket()) : sendPacket(BootModePacket());
    if (written <= 0) {
      failUpdate(tr("The device could not be switched into its bootloader: %1").arg(writeError()), false);
      return false;
    }
    m_backend->sleep(5);
    m_backend->processEvents();
    disconnectDevice();
    m_backend->processEvents();
    m_backend->sleep(1000);

    for (int waited = 0; !m_bootMode; waited += 100) {
      if (waited >= BootWaitMs) {
        failUpdate(tr("The bootloader did not appear."), false);
        return false;
      }
      m_backend->sleep(100);
      searchDevice(true, true);
      m_backend->processEvents();
      if (m_terminate) {
        // Cancelled: give the link back to its normal search.
        skipUpdating();
        return false;
      }
    }
  }

  m_backend->processEvents();

  // Chunks follow the bytes actually read until the source is exhausted.
  qint64 offset = 0;
  bool first = true;
  while (got > 0) {
    unsigned char report[OutputSize] = {};
    report[1] = first ? FirstChunk : NextChunk;
    report[2] = uchar(got);
    std::memcpy(report + 3, chunk, size_t(got));
    if (write(report) <= 0) {
      const QString text = writeError();
      failUpdate(text, false);
      qDebug().noquote() << text;
      return false;
    }
    emit updatePercentChanged(int(qMin<qint64>(100, 100 * offset / size)));
    m_backend->processEvents();
    if (first) {
      // Until the bootloader has taken the first chunk nothing is written
      // yet: the wait may be cancelled, and silence is told as such.
      const Answer answer = awaitAnswer(true);
      if (answer == Cancelled) {
        skipUpdating();
        return false;
      }
      if (answer != Acknowledged) {
        qDebug() << "first read failed";
        failUpdate(answer == Silent ? tr("The bootloader did not answer.") : tr("Bootloader returns ERROR."), true);
        return false;
      }
      emit updateAccepted();
    }
    offset += got;
    first = false;
    got = source->read(chunk, ChunkSize);
    if (got < 0) {
      // A part of the firmware must never be started.
      failUpdate(tr("Firmware file cannot be read."), false);
      return false;
    }
  }

  emit updatePercentChanged(100);
  // Stale reports must not pass for the acknowledgement of the finish.
  drainInput();
  unsigned char finish[OutputSize] = {};
  finish[1] = Finish;
  QString failure;
  if (write(finish) <= 0)
    failure = writeError();
  else if (!waitAnswer())
    // No failure of the library: its error text would be stale or empty.
    failure = tr("The bootloader did not confirm the firmware.");
  if (failure.isEmpty()) {
    unsigned char start[OutputSize] = {};
    start[1] = StartFirmware;
    write(start);
    emit updateCompleted();
    postUpdate();
    skipUpdating();
    return true;
  }
  // The failure is told before the search resumes and may find a device.
  emit updatePercentChanged(100);
  emit updateFailed(failure);
  postUpdate();
  skipUpdating();
  return false;
}

void HidDevice::postUpdate()
{
  // Only the bootloader is given up. A device in normal operation that the
  // link holds (found by an earlier call, or never reset) stays open: closing
  // and reopening it would announce one device twice without a removal.
  if (m_device && m_openProductId == BootProductId)
    disconnectDevice();
  m_bootMode = false;
  if (std::exchange(m_updating, false))
    m_flashedWait = FlashedDeviceSearches;
  m_searchTimer->start(SearchInterval);
  m_readTimer->start(ReadInterval);
  searchDevice(true, false);
}

void HidDevice::skipUpdating()
{
  postUpdate();
}
