#ifndef HIDBACKEND_H
#define HIDBACKEND_H

#include <QList>
#include <QString>

// Opaque handle of an open HID device. Each backend gives it its own meaning
// and only ever hands back what it returned from open().
struct HidHandle;

// One entry of a bus listing.
struct HidDeviceEntry
{
  unsigned short vendorId = 0;
  unsigned short productId = 0;
  // Empty when the device reports no serial number.
  QString serial;
  QString product;
};

// The narrow road from the device link to the HID library. Production code
// talks to hidapi; tests install a simulated bus. The link also sleeps and
// turns the event loop through it, so that the blocking firmware update runs
// in virtual time under test.
class HidBackend
{
public:
  virtual ~HidBackend();

  virtual int init() = 0;
  virtual int exit() = 0;
  // vendorId 0 and productId 0 list every HID device.
  virtual QList<HidDeviceEntry> enumerate(unsigned short vendorId, unsigned short productId) = 0;
  // An empty serial opens the first device with the given ids.
  virtual HidHandle *open(unsigned short vendorId, unsigned short productId, const QString &serial) = 0;
  virtual void close(HidHandle *handle) = 0;
  virtual int setNonBlocking(HidHandle *handle, bool nonBlocking) = 0;
  // Results as hidapi: bytes read, 0 when nothing is waiting, -1 on error.
  virtual int read(HidHandle *handle, unsigned char *buffer, int length) = 0;
  virtual int readTimeout(HidHandle *handle, unsigned char *buffer, int length, int milliseconds) = 0;
  virtual int write(HidHandle *handle, const unsigned char *report, int length) = 0;
  // The library's text for the last failure on the handle; may be empty.
  virtual QString error(HidHandle *handle) = 0;

  virtual void sleep(int milliseconds) = 0;
  virtual void processEvents() = 0;
  // True when the link may drain an open device from a thread of its own
  // (its calls into the library still come one at a time). The simulated
  // bus says no unless asked, so that tests read in step with its time.
  virtual bool threadedReads() const { return true; }

  // The backend in use: the installed one, else the hidapi backend.
  static HidBackend *instance();
  // Installs a backend (nullptr restores hidapi); returns the previous one.
  // Call it only while no link holds an open device.
  static HidBackend *install(HidBackend *backend);
};

#endif // HIDBACKEND_H
