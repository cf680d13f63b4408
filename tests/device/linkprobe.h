#ifndef LINKPROBE_H
#define LINKPROBE_H

#include "hiddevice.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTimer>

// Records what a link emits. The link's own timers are stopped so that
// the test drives the search and the poll by calling the slots.
class LinkProbe
{
public:
  explicit LinkProbe(HidDevice &link)
    : m_link(link)
  {
    quiet();
    QObject::connect(&link, &HidDevice::deviceConnected, [this] { events.append("connected"); });
    QObject::connect(&link, &HidDevice::deviceDisconnected, [this, &link] {
      // Emitted while the device is still open.
      events.append(link.isOpen() ? "disconnected" : "disconnected after close");
    });
    QObject::connect(&link, &HidDevice::packetReceived, [this](quint8 *data, int length) {
      reports.append(QByteArray(reinterpret_cast<const char *>(data), length));
    });
    QObject::connect(&link, &HidDevice::updatePercentChanged, [this](int percent) { progress.append(percent); });
    QObject::connect(&link, &HidDevice::updateFailed, [this](const QString &text) {
      events.append("failed");
      failures.append(text);
    });
    QObject::connect(&link, &HidDevice::updateCompleted, [this] { events.append("completed"); });
  }

  void quiet()
  {
    for (QTimer *timer : m_link.findChildren<QTimer *>())
      timer->stop();
  }

  bool timersRunning() const
  {
    const QList<QTimer *> timers = m_link.findChildren<QTimer *>();
    if (timers.isEmpty())
      return false;
    for (QTimer *timer : timers) {
      if (!timer->isActive())
        return false;
    }
    return true;
  }

  // Drains the input reports and returns them.
  QList<QByteArray> poll()
  {
    reports.clear();
    m_link.hidRead();
    return reports;
  }

  QStringList events;
  QStringList failures;
  QList<QByteArray> reports;
  QList<int> progress;

private:
  HidDevice &m_link;
};

#endif // LINKPROBE_H
