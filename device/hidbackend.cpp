#include "hidbackend.h"

#include <QCoreApplication>
#include <QThread>

#include <hidapi/hidapi.h>

#include <string>

namespace {

QString fromWide(const wchar_t *text)
{
  return text ? QString::fromWCharArray(text) : QString();
}

hid_device *device(HidHandle *handle)
{
  return reinterpret_cast<hid_device *>(handle);
}

// Forwards every call to hidapi with its libusb back end.
class HidapiBackend final : public HidBackend
{
public:
  int init() override { return hid_init(); }
  int exit() override { return hid_exit(); }

  QList<HidDeviceEntry> enumerate(unsigned short vendorId, unsigned short productId) override
  {
    QList<HidDeviceEntry> list;
    hid_device_info *devices = hid_enumerate(vendorId, productId);
    for (const hid_device_info *info = devices; info; info = info->next) {
      HidDeviceEntry entry;
      entry.vendorId = info->vendor_id;
      entry.productId = info->product_id;
      entry.serial = fromWide(info->serial_number);
      entry.product = fromWide(info->product_string);
      list.append(entry);
    }
    hid_free_enumeration(devices);
    return list;
  }

  HidHandle *open(unsigned short vendorId, unsigned short productId, const QString &serial) override
  {
    if (serial.isEmpty())
      return reinterpret_cast<HidHandle *>(hid_open(vendorId, productId, nullptr));
    const std::wstring wide = serial.toStdWString();
    return reinterpret_cast<HidHandle *>(hid_open(vendorId, productId, wide.c_str()));
  }

  void close(HidHandle *handle) override { hid_close(device(handle)); }

  int setNonBlocking(HidHandle *handle, bool nonBlocking) override
  {
    return hid_set_nonblocking(device(handle), nonBlocking ? 1 : 0);
  }

  int read(HidHandle *handle, unsigned char *buffer, int length) override
  {
    return hid_read(device(handle), buffer, size_t(length));
  }

  int readTimeout(HidHandle *handle, unsigned char *buffer, int length, int milliseconds) override
  {
    return hid_read_timeout(device(handle), buffer, size_t(length), milliseconds);
  }

  int write(HidHandle *handle, const unsigned char *report, int length) override
  {
    return hid_write(device(handle), report, size_t(length));
  }

  QString error(HidHandle *handle) override { return fromWide(hid_error(device(handle))); }

  void sleep(int milliseconds) override { QThread::msleep(milliseconds > 0 ? milliseconds : 0); }
  void processEvents() override { QCoreApplication::processEvents(); }
};

HidapiBackend g_hidapi;
HidBackend *g_installed = nullptr;

} // namespace

HidBackend::~HidBackend() = default;

HidBackend *HidBackend::instance()
{
  return g_installed ? g_installed : &g_hidapi;
}

HidBackend *HidBackend::install(HidBackend *backend)
{
  HidBackend *previous = g_installed;
  g_installed = backend;
  return previous;
}
