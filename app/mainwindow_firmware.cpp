// The device on the link as far as its firmware goes: arrivals during a
// firmware update, a device waiting in its bootloader, the title that says
// what the window serves.
#include "mainwindow.h"

#include "helpers.h"
#include "hiddevice.h"

#include <QCoreApplication>
#include <QTimer>

#include <utility>

namespace {

// How often the window looks again while an update holds the link.
constexpr int UpdateFollowMs = 50;

} // namespace

void MainWindow::setupFirmware()
{
  m_linkCheck = new QTimer(this);
  m_linkCheck->setSingleShot(true);
  connect(m_linkCheck, &QTimer::timeout, this, &MainWindow::followLink);
  connect(m_device, &HidDevice::bootloaderConnected, this, &MainWindow::on_bootloaderConnected);
  // An update closes the link itself and may leave no device behind (one
  // unplugged mid-flash, or firmware that never starts): the window looks
  // at the link once the update has let go of it.
  connect(m_device, &HidDevice::updateCompleted, this, [this] { m_linkCheck->start(0); });
  connect(m_device, &HidDevice::updateFailed, this, [this] { m_linkCheck->start(0); });
}

bool MainWindow::loggerServed() const
{
  return m_device && m_device->isOpen() && !m_device->bootMode() && m_device->model() != QLatin1String("5002");
}

QString MainWindow::linkTitle(const QString &connected, const QString &opened) const
{
  if (m_device && m_device->isOpen() && !m_device->bootMode()) {
    // A file of the other kind on show does not change the device on the link.
    const bool supply = m_device->model() == QLatin1String("5002");
    if (supply != (Helpers::powerMode || Helpers::powerV2Mode))
      return supply ? QStringLiteral(" Kelvaro Power V1 connected") : QStringLiteral(" TOVRI connected");
    return connected;
  }
  const QString state = m_device && m_device->isOpen() ? tr("instrument in its bootloader, firmware needed")
                                                       : tr("no device connected");
  return (opened.isEmpty() ? QCoreApplication::applicationName() : opened) + QStringLiteral(" - ") + state;
}

void MainWindow::on_bootloaderConnected()
{
  // During an update the bootloader is the update's; the window looks once
  // the update is over.
  m_linkCheck->start(0);
}

void MainWindow::followLink()
{
  if (Helpers::isUpdating || tabsHeld()) {
    m_linkCheck->start(UpdateFollowMs);
    return;
  }
  const bool arrival = std::exchange(m_arrivalPending, false);
  if (!m_device->isOpen()) {
    // What the window served is gone, though no removal was told.
    if (m_identified || Helpers::isMeasuring)
      on_deviceDisconnected();
    return;
  }
  if (m_device->bootMode())
    showBootloader();
  else if (arrival)
    on_deviceConnected();
}

void MainWindow::showBootloader()
{
  // What the window served is gone as at an unplug: a capture keeps what
  // arrived, the panels stop, the readings are no longer the device's.
  on_deviceDisconnected();
  setWindowTitle(linkTitle(QString()));
  showStatusError(tr("The instrument is in its bootloader and needs firmware. Write it from Settings, on the "
                     "Update page."),
                  0);
  // The firmware check names what can be written (any firmware is new to it).
  sendStatistics();
}
