#include "simbus.h"

#include "simdevices.h"

#include <QCoreApplication>

#include <cstring>

namespace {

// The bus's lock, when the device is on a bus.
std::unique_lock<std::recursive_mutex> lockOf(std::recursive_mutex *lock)
{
  return lock ? std::unique_lock<std::recursive_mutex>(*lock) : std::unique_lock<std::recursive_mutex>();
}

} // namespace

// ---- SimDevice --------------------------------------------------------------

SimDevice::SimDevice(unsigned short vendorId, unsigned short productId, std::optional<QString> serial)
  : m_vendorId(vendorId)
  , m_productId(productId)
  , m_serial(std::move(serial))
{
}

SimDevice::~SimDevice() = default;

void SimDevice::queue(const QByteArray &report, int delayMs)
{
  const auto lock = lockOf(m_bus ? &m_bus->m_lock : nullptr);
  QByteArray padded = report.left(64);
  padded.append(QByteArray(64 - int(padded.size()), '\0'));
  if (delayMs > 0 && m_bus)
    m_delayed.append({m_bus->now() + delayMs, padded});
  else
    pushInput(padded);
}

void SimDevice::pushInput(const QByteArray &report)
{
  m_input.append(report);
  // The HID library keeps a bounded queue per device and drops the oldest.
  while (queueLimit > 0 && m_input.size() > queueLimit) {
    m_input.removeFirst();
    ++m_dropped;
  }
}

int SimDevice::queuedReports() const
{
  const auto lock = lockOf(m_bus ? &m_bus->m_lock : nullptr);
  return int(m_input.size());
}

void SimDevice::clearInput()
{
  const auto lock = lockOf(m_bus ? &m_bus->m_lock : nullptr);
  m_input.clear();
}

int SimDevice::droppedReports() const
{
  const auto lock = lockOf(m_bus ? &m_bus->m_lock : nullptr);
  return m_dropped;
}

void SimDevice::received(const QByteArray &report)
{
  Q_UNUSED(report)
}

void SimDevice::advance(qint64 nowMs)
{
  Q_UNUSED(nowMs)
}

void SimDevice::restartAs(SimDevice *target)
{
  if (m_bus)
    m_bus->scheduleRestart(this, target);
}

// ---- SimBus -----------------------------------------------------------------

SimBus::SimBus()
  : m_previous(HidBackend::install(this))
{
}

SimBus::~SimBus()
{
  HidBackend::install(m_previous);
}

void SimBus::adopt(std::unique_ptr<SimDevice> device)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  device->m_bus = this;
  m_devices.push_back(std::move(device));
}

void SimBus::plug(SimDevice *device)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  device->m_plugged = true;
}

void SimBus::unplug(SimDevice *device)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (!device->m_plugged)
    return;
  device->m_plugged = false;
  ++device->m_generation;
  device->m_input.clear();
  device->m_delayed.clear();
}

SimBootloader *SimBus::bootloaderFor(SimDevice *device)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (!device->m_bootloader) {
    auto boot = std::make_unique<SimBootloader>(device->serial(), device);
    device->m_bootloader = boot.get();
    adopt(std::move(boot));
  }
  return device->m_bootloader;
}

SimBootloader *SimBus::startInBootloader(SimDevice *device)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  SimBootloader *boot = bootloaderFor(device);
  unplug(device);
  plug(boot);
  return boot;
}

void SimBus::scheduleRestart(SimDevice *from, SimDevice *to)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  unplug(from);
  if (to && !restartNever)
    m_pending.append({to, restartSearches});
}

void SimBus::advance(qint64 milliseconds)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  const qint64 end = m_now + qMax<qint64>(0, milliseconds);
  // Step through the time so that streams and late answers come in order.
  while (m_now < end) {
    m_now = qMin(end, m_now + 1);
    for (const auto &device : m_devices) {
      if (!device->m_plugged)
        continue;
      for (int i = 0; i < device->m_delayed.size();) {
        if (device->m_delayed.at(i).due <= m_now)
          device->pushInput(device->m_delayed.takeAt(i).report);
        else
          ++i;
      }
      device->advance(m_now);
    }
  }
}

int SimBus::openHandles() const
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  int count = 0;
  for (const auto &c : m_connections)
    count += c->alive ? 1 : 0;
  return count;
}

int SimBus::init()
{
  ++m_initCalls;
  return 0;
}

int SimBus::exit()
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  ++m_exitCalls;
  // Like the real library: every open handle is gone.
  for (const auto &c : m_connections)
    c->alive = false;
  return 0;
}

QList<HidDeviceEntry> SimBus::enumerate(unsigned short vendorId, unsigned short productId)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  ++m_enumerations;
  if (onEnumerate)
    onEnumerate(m_enumerations);
  for (int i = 0; i < m_pending.size();) {
    if (m_pending[i].searchesLeft <= 0) {
      plug(m_pending.takeAt(i).device);
    } else {
      --m_pending[i].searchesLeft;
      ++i;
    }
  }
  QList<HidDeviceEntry> list;
  for (const auto &device : m_devices) {
    if (!device->m_plugged)
      continue;
    if (vendorId && device->m_vendorId != vendorId)
      continue;
    if (productId && device->m_productId != productId)
      continue;
    HidDeviceEntry entry;
    entry.vendorId = device->m_vendorId;
    entry.productId = device->m_productId;
    entry.serial = device->m_serial.value_or(QString());
    entry.product = device->product;
    list.append(entry);
  }
  advance(qint64(listingCostMs) * list.size());
  return list;
}

HidHandle *SimBus::open(unsigned short vendorId, unsigned short productId, const QString &serial)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  for (const auto &device : m_devices) {
    if (!device->m_plugged || device->m_vendorId != vendorId || device->m_productId != productId)
      continue;
    if (!serial.isEmpty() && device->m_serial != serial)
      continue;
    if (device->failOpen) {
      m_globalError = QStringLiteral("simulated open failure");
      return nullptr;
    }
    m_connections.push_back(std::make_unique<Connection>(Connection{device.get(), device->m_generation, true}));
    return reinterpret_cast<HidHandle *>(m_connections.back().get());
  }
  m_globalError = QStringLiteral("no such device");
  return nullptr;
}

SimBus::Connection *SimBus::connection(HidHandle *handle) const
{
  for (const auto &c : m_connections) {
    if (reinterpret_cast<HidHandle *>(c.get()) == handle)
      return c.get();
  }
  return nullptr;
}

bool SimBus::usable(Connection *c) const
{
  return c && c->alive && c->device->m_plugged && c->device->m_generation == c->generation;
}

void SimBus::close(HidHandle *handle)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
    if (reinterpret_cast<HidHandle *>(it->get()) == handle) {
      m_connections.erase(it);
      return;
    }
  }
}

int SimBus::setNonBlocking(HidHandle *handle, bool nonBlocking)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  Q_UNUSED(nonBlocking)
  return usable(connection(handle)) ? 0 : -1;
}

int SimBus::read(HidHandle *handle, unsigned char *buffer, int length)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  Connection *c = connection(handle);
  if (!usable(c)) {
    if (c)
      c->device->m_lastError = QStringLiteral("device disconnected");
    return -1;
  }
  SimDevice *device = c->device;
  if (device->failingReads > 0) {
    --device->failingReads;
    device->m_lastError = device->errorText;
    return -1;
  }
  if (device->m_input.isEmpty())
    return 0;
  const QByteArray report = device->m_input.takeFirst();
  int count = qMin(length, int(report.size()));
  if (device->shortReadBytes > 0) {
    count = qMin(count, device->shortReadBytes);
    device->shortReadBytes = 0;
  }
  std::memcpy(buffer, report.constData(), size_t(count));
  return count;
}

int SimBus::readTimeout(HidHandle *handle, unsigned char *buffer, int length, int milliseconds)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  Connection *c = connection(handle);
  if (usable(c) && c->device->m_input.isEmpty() && c->device->failingReads == 0) {
    for (int waited = 0; waited < milliseconds && usable(c) && c->device->m_input.isEmpty(); ++waited)
      advance(1);
  }
  return read(handle, buffer, length);
}

int SimBus::write(HidHandle *handle, const unsigned char *report, int length)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  Connection *c = connection(handle);
  if (!usable(c)) {
    if (c)
      c->device->m_lastError = QStringLiteral("device disconnected");
    return -1;
  }
  SimDevice *device = c->device;
  if (device->writesBeforeFailure == 0) {
    device->m_lastError = device->errorText;
    return -1;
  }
  if (device->writesBeforeFailure > 0)
    --device->writesBeforeFailure;
  const QByteArray bytes(reinterpret_cast<const char *>(report), length);
  device->written.append(bytes);
  device->received(bytes);
  return length;
}

QString SimBus::error(HidHandle *handle)
{
  const std::lock_guard<std::recursive_mutex> lock(m_lock);
  Connection *c = connection(handle);
  return c ? c->device->m_lastError : m_globalError;
}

void SimBus::sleep(int milliseconds)
{
  m_slept += qMax(0, milliseconds);
  advance(milliseconds);
}

void SimBus::processEvents()
{
  QCoreApplication::processEvents();
}
