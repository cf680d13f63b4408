#ifndef SIMBUS_H
#define SIMBUS_H

#include "hidbackend.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class SimBus;
class SimBootloader;

// One device on the simulated USB bus. It records every report the host
// writes to it and queues the input reports the host reads. Faults are
// switched on by setting the public members.
class SimDevice
{
public:
  SimDevice(unsigned short vendorId, unsigned short productId, std::optional<QString> serial);
  virtual ~SimDevice();

  unsigned short vendorId() const { return m_vendorId; }
  unsigned short productId() const { return m_productId; }
  // nullopt: the device reports no serial number at all.
  std::optional<QString> serial() const { return m_serial; }
  bool plugged() const { return m_plugged; }
  SimBus *bus() const { return m_bus; }

  // Queues an input report (zero-padded to 64 bytes), after delayMs of bus time.
  void queue(const QByteArray &report, int delayMs = 0);
  int queuedReports() const;
  void clearInput();
  // Input reports the host never read because the queue was full.
  int droppedReports() const;
  // Reports kept queued at most, as the HID library does; 0: no limit.
  int queueLimit = 30;

  // Every report the host wrote, as written (65 bytes each).
  QList<QByteArray> written;

  // Injectable faults.
  bool failOpen = false;
  int writesBeforeFailure = -1; // writes that still succeed; -1: never fail
  int failingReads = 0;         // the next reads fail
  int shortReadBytes = 0;       // the next report read is cut to this many bytes
  QString errorText = QStringLiteral("simulated I/O failure");
  QString product = QStringLiteral("Simulated device");

protected:
  // A report the host wrote (65 bytes).
  virtual void received(const QByteArray &report);
  void pushInput(const QByteArray &report);
  // Bus time has reached nowMs.
  virtual void advance(qint64 nowMs);
  // Asks the bus to take this device off and plug target after the bus's
  // restart delay, as a device that resets itself.
  void restartAs(SimDevice *target);

private:
  friend class SimBus;
  struct Delayed
  {
    qint64 due;
    QByteArray report;
  };

  unsigned short m_vendorId;
  unsigned short m_productId;
  std::optional<QString> m_serial;
  bool m_plugged = false;
  int m_generation = 0; // bumped on unplug: older handles are dead
  SimBus *m_bus = nullptr;
  SimBootloader *m_bootloader = nullptr;
  QList<QByteArray> m_input;
  int m_dropped = 0;
  QList<Delayed> m_delayed;
  QString m_lastError;
};

// The simulated bus. Constructing it installs it as the HID backend;
// destroying it restores the previous one. Time on the bus is virtual: it
// moves only through sleep(), timed reads and advance().
//
// The bus is safe to use from several threads. It lets the link read on a
// thread of its own only when `readerThread` is set.
class SimBus : public HidBackend
{
public:
  SimBus();
  ~SimBus() override;

  // Creates a device owned by the bus; plugged unless told otherwise.
  template<typename T, typename... Args>
  T *add(Args &&...args)
  {
    auto device = std::make_unique<T>(std::forward<Args>(args)...);
    T *raw = device.get();
    adopt(std::move(device));
    plug(raw);
    return raw;
  }
  void plug(SimDevice *device);
  void unplug(SimDevice *device);
  // The bootloader a device restarts into (created on first use, unplugged).
  SimBootloader *bootloaderFor(SimDevice *device);
  // The device as it starts after an interrupted update: its bootloader is
  // on the bus in its place.
  SimBootloader *startInBootloader(SimDevice *device);

  // The link may drain the bus on its reader thread (off: in the GUI thread,
  // in step with the test).
  bool readerThread = false;

  // Searches (listings) that a restarting device stays absent for.
  int restartSearches = 0;
  // Set to keep a restarting device away for good.
  bool restartNever = false;

  void advance(qint64 milliseconds);
  qint64 now() const { return m_now; }

  // Bus time a listing takes per device it lists: the HID library opens
  // each matching device to read its strings; the others it skips by their
  // ids alone. Devices stream on meanwhile; no read is served until it ends.
  int listingCostMs = 0;

  int enumerations() const { return m_enumerations; }
  int initCalls() const { return m_initCalls; }
  int exitCalls() const { return m_exitCalls; }
  int openHandles() const;
  int sleptMs() const { return m_slept; }
  // Called at the start of every listing, with its count.
  std::function<void(int)> onEnumerate;

  // HidBackend
  int init() override;
  int exit() override;
  QList<HidDeviceEntry> enumerate(unsigned short vendorId, unsigned short productId) override;
  HidHandle *open(unsigned short vendorId, unsigned short productId, const QString &serial) override;
  void close(HidHandle *handle) override;
  int setNonBlocking(HidHandle *handle, bool nonBlocking) override;
  int read(HidHandle *handle, unsigned char *buffer, int length) override;
  int readTimeout(HidHandle *handle, unsigned char *buffer, int length, int milliseconds) override;
  int write(HidHandle *handle, const unsigned char *report, int length) override;
  QString error(HidHandle *handle) override;
  void sleep(int milliseconds) override;
  void processEvents() override;
  bool threadedReads() const override { return readerThread; }

private:
  friend class SimDevice;
  struct Connection
  {
    SimDevice *device;
    int generation;
    bool alive;
  };
  struct Pending
  {
    SimDevice *device;
    int searchesLeft;
  };

  void adopt(std::unique_ptr<SimDevice> device);
  void scheduleRestart(SimDevice *from, SimDevice *to);
  Connection *connection(HidHandle *handle) const;
  bool usable(Connection *c) const;

  // Guards everything of the bus and its devices; recursive because devices
  // answer writes by queueing, and timed reads read.
  mutable std::recursive_mutex m_lock;
  HidBackend *m_previous;
  std::vector<std::unique_ptr<SimDevice>> m_devices;
  std::vector<std::unique_ptr<Connection>> m_connections;
  QList<Pending> m_pending;
  qint64 m_now = 0;
  int m_enumerations = 0;
  int m_initCalls = 0;
  int m_exitCalls = 0;
  int m_slept = 0;
  QString m_globalError;
};

#endif // SIMBUS_H
