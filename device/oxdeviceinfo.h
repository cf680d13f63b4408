#ifndef OXDEVICEINFO_H
#define OXDEVICEINFO_H

#include <QList>
#include <QString>

// Describes one attached device and holds the USB ids of the instrument family.
class OxDeviceInfo
{
public:
  enum InterfaceType {
    Hid = 0,
    Named = 1,
  };

  static constexpr unsigned short m_devVid = 0x0483;
  static constexpr unsigned short m_devPid = 0xA1DE;
  static constexpr unsigned short m_bootVid = 0x0483;
  static constexpr unsigned short m_bootPid = 0xA1DA;

  OxDeviceInfo();
  OxDeviceInfo(InterfaceType type, const QString &systemName, const QString &serial, unsigned short vid,
               unsigned short pid);
  OxDeviceInfo(InterfaceType type, const QString &systemName, const QString &portName);

  QString systemName() const { return m_systemName; }
  QString serial() const { return m_serial; }
  QString portName() const { return m_portName; }
  InterfaceType type() const { return m_type; }
  unsigned short vid() const { return m_vid; }
  unsigned short pid() const { return m_pid; }

  static QList<OxDeviceInfo> availableHID(unsigned short vid, unsigned short pid);
  static QList<OxDeviceInfo> availableDevices(InterfaceType type);
  static QString externalSerial(const OxDeviceInfo &info);
  static QString deviceName(const OxDeviceInfo &info);

private:
  QString m_systemName;
  QString m_serial;
  QString m_portName;
  InterfaceType m_type = Hid;
  unsigned short m_vid = 0;
  unsigned short m_pid = 0;
};

#endif // OXDEVICEINFO_H
