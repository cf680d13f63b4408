#ifndef HIDDEVICE_H
#define HIDDEVICE_H

#include "hidbackend.h"
#include "oxdeviceinfo.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <mutex>

class HidReader;
class Packet;
class PowerPacket;
class QIODevice;
class QTimer;

// The program's one USB HID link to the logger or a power supply. It looks
// for the device every 2 s, hands its input reports on as packetReceived
// every 1 ms, writes packets and text commands, and writes new firmware
// through the bootloader. GUI thread only, except the reader: while a device
// in normal operation is open, a thread of the link drains the HID library
// (which keeps only a few reports and drops the oldest), so that a busy GUI
// thread delays reports but never loses them.
class HidDevice : public QObject
{
  Q_OBJECT
public:
  static constexpr unsigned short VendorId = OxDeviceInfo::m_devVid;
  static constexpr unsigned short ProductId = OxDeviceInfo::m_devPid;
  static constexpr unsigned short BootProductId = OxDeviceInfo::m_bootPid;
  static constexpr int InputSize = 64;
  static constexpr int OutputSize = 65;
  static constexpr int MaxCommandLength = 63;
  static constexpr int ChunkSize = 48;
  // How long a firmware update waits for the bootloader to appear.
  static constexpr int BootWaitMs = 30000;
  // Searches after an update that wait for the flashed device before
  // another device may be opened in its place.
  static constexpr int FlashedDeviceSearches = 5;

  // The process-wide link; set by the first link constructed.
  static HidDevice *m_instance;
  // The process-wide link, created without parent on first use.
  static HidDevice *instance();

  explicit HidDevice(QObject *parent = nullptr);
  ~HidDevice() override;

  bool isOpen() const { return m_device != nullptr; }
  // Serial number and model code (its first four characters) of the
  // device opened last.
  QString serial() const { return m_serial; }
  QString model() const { return m_model; }
  bool bootMode() const { return m_bootMode; }

  // Results: bytes written, -1 on a failed or refused write, 0 (nothing
  // written) without an open device.
  int sendPacket(const Packet &packet);
  int sendPacket(const PowerPacket &packet);
  int sendCommand(const QString &command);

  bool waitAnswer();
  // Hands over the reports the link holds, and those that arrive within
  // `timeoutMs`, until `done` is true; false when it never was (or when
  // called from a slot of packetReceived, where nothing can be handed over).
  bool receiveUntil(const std::function<bool()> &done, int timeoutMs);
  // The library's text for the last failed write, or a general one.
  QString writeError() const;
  QString hidError(HidHandle *handle) const;
  static bool supported(const QString &serial);
  bool connectDevice(unsigned short vendorId, unsigned short productId, const QString &serial);
  bool disconnectDevice();

  bool update(QIODevice *source);
  void postUpdate();
  void skipUpdating();

public slots:
  bool searchDevice(bool arrival, bool boot = false);
  void checkTimerTick();
  void hidRead();
  bool stop();
  void terminateUpdate();

signals:
  void deviceConnected();
  void deviceDisconnected();
  // A supported device is listed but cannot be opened (often: no permission);
  // told once per device until it opens or leaves the bus.
  void deviceOpenFailed(QString reason);
  // The serial numbers of the listed devices of the family (vendor and
  // product id) whose model the link does not serve, while none is open;
  // empty once none is listed any more. Told on change only.
  void unservedDevicesChanged(QStringList serials);
  void packetReceived(quint8 *_packet, int _length);
  void updatePercentChanged(int);
  void updateFailed(QString text);
  void updateCompleted();
  // The bootloader took the first chunk: from here the writing runs to its end.
  void updateAccepted();
  // A device in its bootloader was opened (no firmware runs in it).
  void bootloaderConnected();

private:
  enum Answer { Acknowledged, Refused, Silent, Cancelled };
  // The bootloader's answer; a cancellable wait ends at terminateUpdate().
  Answer awaitAnswer(bool cancellable);
  // The devices of the listing an arrival search may open.
  QList<HidDeviceEntry> candidates(const QList<HidDeviceEntry> &listed, bool boot);
  int write(const unsigned char *report);
  void opened(const QString &serial, bool boot);
  void failUpdate(const QString &text, bool post);
  void drainInput();
  // hidRead's two roads: reports the reader took, or the library itself.
  void handOver();
  void readDirect();
  // Tells a failed open of `entry` once.
  void openFailed(const HidDeviceEntry &entry);
  static QString failureKey(const HidDeviceEntry &entry);

  HidBackend *m_backend;
  HidHandle *m_device = nullptr;
  QTimer *m_searchTimer = nullptr;
  QTimer *m_readTimer = nullptr;
  QMutex m_readLock;
  // Held around every call into the HID library that may meet the reader's.
  mutable std::mutex m_libraryLock;
  std::unique_ptr<HidReader> m_reader;
  QList<HidDeviceEntry> m_devices;
  QString m_serial;
  QString m_model;
  bool m_bootMode = false;
  bool m_terminate = false;
  bool m_updating = false;
  // The device being (or last) flashed, and the searches still waiting for
  // it; empty when any supported device may be opened.
  QString m_flashedSerial;
  int m_flashedWait = 0;
  // Ids of the open device, for the removal check.
  unsigned short m_openVendorId = 0;
  unsigned short m_openProductId = 0;
  // Set while hidRead drains; a poll nested in a slot returns at once.
  bool m_reading = false;
  // The device whose failed open was told last ("vid:pid:serial").
  QString m_openFailure;
  // The unserved devices told last.
  QStringList m_unserved;
  void noteUnserved();
};

#endif // HIDDEVICE_H
