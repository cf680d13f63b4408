#ifndef UPDATEFIXTURE_H
#define UPDATEFIXTURE_H

#include "downloader.h"
#include "hiddevice.h"
#include "packet.h"
#include "simdevices.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// Waits for the count-th completion and then a few more event
// turns, so that a second completion would be seen too.
inline bool settle(QSignalSpy &spy, int count = 1)
{
  if (!QTest::qWaitFor([&] { return spy.size() >= count; }, 30000))
    return false;
  QTest::qWait(20);
  return true;
}

// A simulated bus with one device and the program's link holding it; the
// link's timers are stopped so that the test decides when it searches.
template<typename Device = SimLogger>
struct LinkRig
{
  SimBus bus;
  Device *device;
  HidDevice link;

  explicit LinkRig(const QString &serial = QString())
    : device(serial.isEmpty() ? bus.add<Device>() : bus.add<Device>(serial))
  {
    quiet();
    link.checkTimerTick();
  }
  ~LinkRig()
  {
    delete DeviceInfo::m_deviceInfo;
    DeviceInfo::m_deviceInfo = nullptr;
  }
  void quiet()
  {
    for (QTimer *timer : link.findChildren<QTimer *>())
      timer->stop();
  }
  bool searching() const
  {
    const QList<QTimer *> timers = link.findChildren<QTimer *>();
    return !timers.isEmpty() && std::all_of(timers.begin(), timers.end(), [](QTimer *t) { return t->isActive(); });
  }
};

#endif // UPDATEFIXTURE_H
