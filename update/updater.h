#ifndef UPDATER_H
#define UPDATER_H

#include <QObject>
#include <QString>
#include <QUrl>

class Downloader;
class QTimer;

// Asks the update server whether newer software or device firmware exists:
// a software check shortly after start, a firmware check when a device has
// been identified, either on request. Outcomes go to the settings group
// "Update" and out through newSWAvailable / newFWAvailable. A check that
// fails changes no setting and never announces anything new.
class Updater : public QObject
{
  Q_OBJECT
public:
  // The maker's update service. Only tests point the updater elsewhere.
  static constexpr const char *ServerBase = "https://update.quillomar.com";
  static constexpr int StartDelayMs = 5000;
  static constexpr qint64 CheckIntervalSeconds = 86400;

  explicit Updater(QObject *parent = nullptr);
  ~Updater() override;

  Downloader *firmwareDownloader() const { return m_firmware; }
  Downloader *softwareDownloader() const { return m_software; }

  // Whether a day has passed since the last good check ("software" for an
  // empty serial, else "firmware_" + serial).
  bool needCheckForUpdate(const QString &serial) const;

  // The query of a software or a firmware check; the serial is taken as
  // it stands and percent-encoded.
  static QUrl softwareQuery();
  static QUrl firmwareQuery(const QString &serial);
  // Whether the server's version is above the local one. The server's text
  // needs three parts; missing local parts count 0; an empty local version
  // (unknown) is never older. Parts that are no number or do not fit an int
  // count 0; they are weighed as 64-bit numbers so large majors cannot wrap.
  static bool isNewer(const QString &remote, const QString &local);

  // Test seam: the base URL of every query (nullptr-like empty URL restores
  // the production server).
  static void setServerForTesting(const QUrl &base);

public slots:
  void on_checkUpdatesSW();
  // The serial argument is not used: the link's own serial is queried.
  void on_checkUpdatesFW(QString _serialNumber = QString());
  // Firmware check on device arrival, when enabled and due.
  void on_deviceConnected(QString _serialNumber = QString());
  void on_downloadInfoComplete();
  // The connected supply's firmware version (PowerDataPacket::version()),
  // handed in by the window with every live-values message; the logger's
  // comes from DeviceInfo. A version newly learnt runs the arrival's check
  // again, which had nothing to compare with.
  void setDeviceFirmware(const QString &version);

signals:
  void newSWAvailable(bool _available);
  void newFWAvailable(bool _available);

private:
  void softwareReply();
  void firmwareReply();
  QString deviceFirmware(const QString &serial) const;
  static QUrl server();

  Downloader *m_firmware;
  Downloader *m_software;
  QTimer *m_startTimer;
  bool m_autoCheckSoftware = true;
  bool m_autoCheckFirmware = true;
  // Kind of the latest check started; only for a reply that reaches the
  // slot without a sending downloader.
  bool m_softwareCheck = true;
  // Serial of the device the firmware check in flight is about.
  QString m_checkSerial;
  QString m_supplyFirmware;
  QString m_supplySerial;
};

#endif // UPDATER_H
