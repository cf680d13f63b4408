#include "oxdeviceinfo.h"

#include "hidbackend.h"
#include "hiddevice.h"

OxDeviceInfo::OxDeviceInfo() = default;

OxDeviceInfo::OxDeviceInfo(InterfaceType type, const QString &systemName, const QString &serial, unsigned short vid,
                           unsigned short pid)
  : m_systemName(systemName)
  , m_serial(serial)
  , m_type(type)
  , m_vid(vid)
  , m_pid(pid)
{
}

OxDeviceInfo::OxDeviceInfo(InterfaceType type, const QString &systemName, const QString &portName)
  : m_systemName(systemName)
  , m_portName(portName)
  , m_type(type)
{
}

QList<OxDeviceInfo> OxDeviceInfo::availableHID(unsigned short vid, unsigned short pid)
{
  HidBackend *backend = HidBackend::instance();
  backend->init();
  QList<OxDeviceInfo> list;
  const QList<HidDeviceEntry> entries = backend->enumerate(vid, pid);
  for (const HidDeviceEntry &entry : entries)
    list.append(OxDeviceInfo(Hid, entry.product, entry.serial, vid, pid));
  // Shutting the library down would invalidate the link's open handle.
  if (!HidDevice::m_instance || !HidDevice::m_instance->isOpen())
    backend->exit();
  return list;
}

QList<OxDeviceInfo> OxDeviceInfo::availableDevices(InterfaceType type)
{
  if (type != Hid)
    return {};
  return availableHID(m_bootVid, m_bootPid) + availableHID(m_devVid, m_devPid);
}

QString OxDeviceInfo::externalSerial(const OxDeviceInfo &info)
{
  if (info.m_serial.size() > 8)
    return info.m_serial.mid(4, 5);
  return QStringLiteral("Unknown ") + info.m_serial;
}

QString OxDeviceInfo::deviceName(const OxDeviceInfo &info)
{
  // The maker's table of model names is not ours to invent: the system
  // name stands for every type.
  return info.m_systemName;
}
