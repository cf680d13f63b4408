#include "updater.h"

#include "downloader.h"
#include "hiddevice.h"
#include "packet.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QTimer>
#include <QUrlQuery>

namespace {

QUrl s_testServer;

const QString Group = QStringLiteral("Update");

qint64 part(const QStringList &parts, int index)
{
  bool ok = false;
  const int value = parts.value(index).toInt(&ok);
  return ok ? value : 0;
}

// major * 10^6 + minor * 10^3 + patch, in 64 bits.
qint64 packed(const QString &version)
{
  const QStringList parts = version.split(QLatin1Char('.'));
  return part(parts, 0) * 1000000 + part(parts, 1) * 1000 + part(parts, 2);
}

qint64 now()
{
  return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

Updater::Updater(QObject *parent)
  : QObject(parent)
{
  {
    Settings settings;
    settings.beginGroup(Group);
    m_autoCheckSoftware = settings.value(QStringLiteral("auto-check-soft"), true).toBool();
    m_autoCheckFirmware = settings.value(QStringLiteral("auto-check-firm"), true).toBool();
    settings.endGroup();
  }
  // Children: a reply still in flight ends with its downloader.
  m_firmware = new Downloader(this);
  connect(m_firmware, &Downloader::downloadInfoComplete, this, &Updater::on_downloadInfoComplete);
  m_software = new Downloader(this);
  connect(m_software, &Downloader::downloadInfoComplete, this, &Updater::on_downloadInfoComplete);

  m_startTimer = new QTimer(this);
  m_startTimer->setObjectName(QStringLiteral("softwareCheckTimer"));
  m_startTimer->setSingleShot(true);
  connect(m_startTimer, &QTimer::timeout, this, &Updater::on_checkUpdatesSW);
  if (m_autoCheckSoftware && needCheckForUpdate(QString()))
    m_startTimer->start(StartDelayMs);
}

Updater::~Updater() = default;

void Updater::setServerForTesting(const QUrl &base)
{
  s_testServer = base;
}

QUrl Updater::server()
{
  return s_testServer.isEmpty() ? QUrl(QString::fromLatin1(ServerBase)) : s_testServer;
}

bool Updater::needCheckForUpdate(const QString &serial) const
{
  const QString key = serial.isEmpty() ? QStringLiteral("software") : QStringLiteral("firmware_") + serial;
  Settings settings;
  settings.beginGroup(Group);
  bool ok = false;
  const qint64 last = settings.value(key, 0).toLongLong(&ok);
  settings.endGroup();
  const qint64 current = now();
  // A time outside 0..now (the clock was set back, a damaged file) counts
  // as never checked: a future one would hold checks off for good, and the
  // difference to a far past one does not fit.
  if (!ok || last < 0 || last > current)
    return true;
  return (current - last) / 1000 > CheckIntervalSeconds;
}

bool Updater::isNewer(const QString &remote, const QString &local)
{
  if (remote.split(QLatin1Char('.')).size() < 3 || local.isEmpty())
    return false;
  return packed(remote) > packed(local);
}

QUrl Updater::softwareQuery()
{
  QUrl url = server();
  url.setPath(url.path() + QStringLiteral("/getsoftware"));
  QUrlQuery query;
  query.addQueryItem(QStringLiteral("model"), QStringLiteral("tovri"));
  query.addQueryItem(QStringLiteral("os"), QStringLiteral("linux"));
  url.setQuery(query);
  return url;
}

QUrl Updater::firmwareQuery(const QString &serial)
{
  const QString model = serial.left(4);
  QString name = QStringLiteral("other");
  QString revision = QStringLiteral("0");
  if (model == QLatin1String("5001")) {
    name = QStringLiteral("tovri");
  } else if (model == QLatin1String("5002")) {
    name = QStringLiteral("kelvaropower");
    revision = QStringLiteral("1");
  } else if (model == QLatin1String("5003")) {
    name = QStringLiteral("kelvaropowerv2");
    revision = QStringLiteral("1");
  }
  QUrl url = server();
  url.setPath(url.path() + QStringLiteral("/getfirmware"));
  QUrlQuery query;
  query.addQueryItem(QStringLiteral("app"), QStringLiteral("tovri"));
  query.addQueryItem(QStringLiteral("model"), name);
  query.addQueryItem(QStringLiteral("revision"), revision);
  // Encoded here: a device's serial is not ours to trust, and "&", "=",
  // "+" or "#" in it must not split or end the query.
  query.addQueryItem(QStringLiteral("sn"), QString::fromLatin1(QUrl::toPercentEncoding(serial)));
  // The server keys its firmware builds by this value.
  query.addQueryItem(QStringLiteral("os"), QStringLiteral("win"));
  url.setQuery(query);
  return url;
}

void Updater::on_checkUpdatesSW()
{
  m_softwareCheck = true;
  m_software->startDownloadInfo(softwareQuery());
}

void Updater::on_checkUpdatesFW(QString _serialNumber)
{
  Q_UNUSED(_serialNumber)
  if (!DeviceInfo::m_deviceInfo)
    DeviceInfo::m_deviceInfo = new DeviceInfo();
  qDebug().noquote() << DeviceInfo::m_deviceInfo->toString();
  const HidDevice *link = HidDevice::instance();
  if (m_firmware->state() == Downloader::Busy)
    return; // the check in flight keeps its device
  const QString serial = link->isOpen() ? link->serial() : QString();
  const QUrl query = firmwareQuery(serial);
  qDebug().noquote() << "Updater::on_checkUpdatesFW" << query.toString();
  m_softwareCheck = false;
  m_checkSerial = serial;
  m_firmware->startDownloadInfo(query);
}

void Updater::on_deviceConnected(QString _serialNumber)
{
  Q_UNUSED(_serialNumber)
  // The link's serial, the one the last-check time is stored under.
  const HidDevice *link = HidDevice::instance();
  const QString serial = link->isOpen() ? link->serial() : QString();
  if (m_autoCheckFirmware && !serial.isEmpty() && needCheckForUpdate(serial))
    on_checkUpdatesFW(serial);
}

void Updater::setDeviceFirmware(const QString &version)
{
  const HidDevice *link = HidDevice::m_instance;
  const QString serial = link && link->isOpen() && !link->bootMode() ? link->serial() : QString();
  const bool learnt = !serial.isEmpty() && (serial != m_supplySerial || version != m_supplyFirmware);
  m_supplySerial = serial;
  m_supplyFirmware = version;
  // The supply tells its version only after its arrival check was asked:
  // that check compared nothing, so the arrival's check runs again (a check
  // still in flight is compared on its reply).
  if (learnt && !deviceFirmware(serial).isEmpty())
    on_deviceConnected(serial);
}

void Updater::on_downloadInfoComplete()
{
  // Each downloader serves one kind: a reply is never taken for the other's.
  const QObject *from = sender();
  if (from == m_software || (from != m_firmware && m_softwareCheck))
    softwareReply();
  else
    firmwareReply();
}

void Updater::softwareReply()
{
  if (!m_software->error().isEmpty()) {
    emit newSWAvailable(false);
    return;
  }
  const QString remote = m_software->version();
  const bool newer = isNewer(remote, QCoreApplication::applicationVersion());
  {
    Settings settings;
    settings.beginGroup(Group);
    settings.setValue(QStringLiteral("sw-version"), remote);
    settings.setValue(QStringLiteral("has-new-sw"), newer);
    settings.setValue(QStringLiteral("software"), now());
    settings.endGroup();
  }
  emit newSWAvailable(newer);
}

QString Updater::deviceFirmware(const QString &serial) const
{
  if (serial.isEmpty())
    return QString();
  // A device in its bootloader runs no firmware: any the server names is new.
  if (const HidDevice *link = HidDevice::m_instance; link && link->isOpen() && link->bootMode() && link->serial() == serial)
    return QStringLiteral("0.0.0");
  if (serial.left(4) == QLatin1String("5001")) {
    // Only the identification of this very logger counts, not a default.
    const DeviceInfo *info = DeviceInfo::m_deviceInfo;
    if (!info || info->descriptor() != DeviceInfo::Descriptor ||
        QStringLiteral("%1").arg(info->readU32(4), 9, 10, QLatin1Char('0')) != serial)
      return QString();
    return info->version();
  }
  // "0.0": the supply's live values never arrived.
  if (serial != m_supplySerial || m_supplyFirmware == QLatin1String("0.0"))
    return QString();
  return m_supplyFirmware;
}

void Updater::firmwareReply()
{
  if (!m_firmware->error().isEmpty()) {
    emit newFWAvailable(false);
    return;
  }
  const QString remote = m_firmware->version();
  // Against what the device runs: the previous server reply says nothing
  // about the firmware in the device.
  const QString local = deviceFirmware(m_checkSerial);
  const bool newer = isNewer(remote, local);
  {
    Settings settings;
    settings.beginGroup(Group);
    settings.setValue(QStringLiteral("fw-version"), remote);
    settings.setValue(QStringLiteral("has-new-fw"), newer);
    // Without the device's version nothing was compared: the next arrival asks again.
    if (!m_checkSerial.isEmpty() && !local.isEmpty())
      settings.setValue(QStringLiteral("firmware_") + m_checkSerial, now());
    settings.endGroup();
  }
  emit newFWAvailable(newer);
}
