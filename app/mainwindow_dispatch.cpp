// The receiving end of the device link: report dispatch, the device's
// arrival and removal, and the window's two ways of writing to it.
#include "mainwindow.h"
// The form's navigation strip header needs the capture file class complete.
#include "swapfile.h"
#include "ui_mainwindow.h"

#include "controlpanel.h"
#include "glwidget.h"
#include "markerbar.h"
#include "navigationbar.h"
#include "reportbar.h"
#include "helpers.h"
#include "hiddevice.h"
#include "overcurrent.h"
#include "packet.h"
#include "plot.h"
#include "popup.h"
#include "powerpanel.h"
#include "settings.h"
#include "statuspanel.h"
#include "updater.h"

#include <QComboBox>
#include <QDebug>
#include <QDockWidget>
#include <QLabel>
#include "marqueelabel.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cstring>
#include <utility>

namespace {

constexpr int StatusIntervalMs = 1000;
// The logger describes channels #0 to #2 only.
constexpr int LoggerChannels = 3;

bool loggerMode()
{
  return !Helpers::powerMode && !Helpers::powerV2Mode;
}

} // namespace

void MainWindow::on_packetReceived(quint8 *data, int length)
{
  if (!data || length <= 0)
    return;
  const Packet packet(data, qMin(length, int(Packet::ImageSize)));
  switch (packet.data()[0]) {
  case DeviceInfo::Descriptor:
    deviceInformation(packet);
    break;
  case DeviceControl::Descriptor:
    controlAnswer(packet);
    break;
  case ChannelInfo::Descriptor:
    if (loggerMode())
      channelDescription(packet);
    break;
  case StatusControlRequest::Descriptor:
    statusAnswer(packet);
    break;
  case MeasureAll::Descriptor:
    if (Helpers::isMeasuring && loggerMode()) {
      MeasureAll block(packet);
      block.setMultiplier(0, 1.0);
      block.setMultiplier(1, double(m_controlPanel->mult1()));
      block.setMultiplier(2, double(m_controlPanel->mult2()));
      addPacket(block);
      m_statusPanel->update(block);
      if (OverCurrent::instance()->isOver())
        showStatusWarning();
    }
    break;
  case PowerPacket::ReportId: {
    PowerPacket message(packet);
    message.set(0, PowerPacket::ReportId);
    message.set(1, PowerPacket::FullSize);
    on_packetPowerReceived(message);
    break;
  }
  default:
    break;
  }
}

void MainWindow::deviceInformation(const Packet &packet)
{
  StatusControlResponse::firstPacket = true;
  if (!DeviceInfo::m_deviceInfo)
    DeviceInfo::m_deviceInfo = new DeviceInfo;
  DeviceInfo::m_deviceInfo->set(packet.data(), Packet::ImageSize);
  m_linkIdentity = QByteArray(reinterpret_cast<const char *>(packet.data()), Packet::ImageSize);
  m_linkChannels.clear();
  m_identified = true;
  m_channelsComplete = false;
  if (loggerMode()) {
    ChannelInfo::removeChannels();
    ChannelsRequest request;
    sendPacket(request);
  }
  emit deviceInfoReceved();
}

void MainWindow::controlAnswer(const Packet &packet)
{
  const unsigned char command = packet.data()[1];
  const unsigned char error = packet.data()[3];
  if (error != 0) {
    showStatusError(tr("FAILED to start measuring: ") + QString::number(error), 0);
    // The logger did not start: the window must not stay "measuring".
    if (command != DeviceControl::Stop && Helpers::isMeasuring && loggerMode())
      abandonCapture(tr("FAILED to start measuring: ") + QString::number(error));
  }
  else if (command == DeviceControl::Stop) {
    m_stopAnswered = true;
    if (!std::exchange(m_keepCaptureError, false))
      statusBar()->clearMessage();
  }
  else if (!m_blocksUnread)
    showStatusMessage(tr("Measuring..."), 0);
}

void MainWindow::channelDescription(const Packet &packet)
{
  // Only descriptions answering this device's identification count, and
  // only once: a stray or repeated description must not set up another tab.
  if (!m_identified || m_channelsComplete)
    return;
  ChannelInfo info(packet);
  if (info.channel() >= LoggerChannels)
    return;
  info.setPrecision(1);
  ChannelInfo::addChannelInfo(info);
  const int expected = DeviceInfo::m_deviceInfo ? DeviceInfo::m_deviceInfo->data()[3] : 0;
  if (ChannelInfo::channelCount() != expected)
    return;
  m_channelsComplete = true;
  m_linkChannels = ChannelInfo::m_channels;
  if (m_freshTab) {
    addTab();
    currentWidget()->addChannels({});
  }
  emit enableMeasurement();
  m_statusTimer->start(StatusIntervalMs);
}

void MainWindow::statusAnswer(const Packet &packet)
{
  PlotWidget *plot = plotter();
  // The logger's panels rest while a supply's file is served.
  if (!plot || plot->graphCount() <= 2 || !loggerMode())
    return;
  StatusControlResponse response(packet);
  m_statusPanel->update(response);
  m_controlPanel->update(response);
  StatusControlResponse::firstPacket = false;
}

void MainWindow::on_deviceConnected()
{
  if (Helpers::isUpdating || tabsHeld()) {
    // Nothing can be sent while the firmware is written, and a change of
    // device kind closes every tab, which a read may be walking: the device
    // is greeted once the update or the read has ended.
    m_arrivalPending = true;
    m_linkCheck->start(0);
    return;
  }
  const bool wasPower = Helpers::powerMode;
  Helpers::powerMode = m_device->model() == QLatin1String("5002");
  Helpers::powerV2Mode = false;
  m_identified = false;
  m_channelsComplete = false;
  m_linkIdentity.clear();
  m_linkChannels.clear();
  // The logger's poll runs only once the logger has described its channels.
  m_statusTimer->stop();
  if (Helpers::powerMode) {
    if (!wasPower)
      closeAllTabs();
    setPowerMode();
  } else {
    if (wasPower)
      closeAllTabs();
    setTovriMode();
  }
  if (!DeviceInfo::m_deviceInfo)
    DeviceInfo::m_deviceInfo = new DeviceInfo;
  sendPacket(*DeviceInfo::m_deviceInfo);
  if (Helpers::powerMode) {
    // The live values carry the supply's firmware version, which its
    // firmware check compares with.
    PowerDataPacket live;
    sendPacket(live);
  }
  showStatusMessage(tr("Device connected"), 10000);
  m_openFailure.clear();
  updateChartHint();
  if (m_stopOwed && !Helpers::powerMode) {
    // The capture ended here but its stop never reached the logger.
    DeviceControl stop(DeviceControl::m_currentDeviceControl);
    stop.set(1, static_cast<unsigned char>(DeviceControl::Stop));
    if (sendPacket(stop) < 0) {
      showStatusError(tr("The stop command could not be sent to the logger: %1").arg(m_device->writeError()), 0);
      // The next search opens the link again and tries once more.
      m_device->disconnectDevice();
    } else {
      m_stopOwed = false;
      showStatusMessage(tr("The link was opened again and the logger told to stop"), 10000);
    }
  }
  sendStatistics();
}

void MainWindow::on_deviceDisconnected()
{
  m_statusTimer->stop();
  m_identified = false;
  m_channelsComplete = false;
  m_linkIdentity.clear();
  m_linkChannels.clear();
  setWindowTitle(QCoreApplication::applicationName() + tr(" - no device connected"));
  // The capture or log keeps what arrived: its rest goes to the file, unsent.
  const bool captured = Helpers::isMeasuring && m_captureTab;
  if (Helpers::isMeasuring)
    finishCapture(nullptr);
  Helpers::isMeasuring = false;
  if (loggerMode()) {
    ChannelInfo::removeChannels();
    m_controlPanel->setChannels();
  } else if (m_powerPanel) {
    // The supplies' descriptions are built in and stay; the supply is gone.
    m_powerPanel->responsePowerStatus(false);
  }
  enableControls(false);
  enableButtons(false);
  enableToolbar(false, true);
  // What the window holds stays to be saved and reviewed as after a stop;
  // only what needs the device goes.
  if (captured || (currentWidget() && !currentWidget()->isEmpty())) {
    for (QAction *action : {m_actionSave, m_actionShowAll, m_actionReport, m_actionMarkers, m_actionCalculator})
      action->setEnabled(true);
    m_comboShowAll->setEnabled(true);
    ui->navigationBar->enable();
  }
  showStatusError(tr("Device disconnected"), 0);
  updateChartHint();
  emit disableMeasurement();
}

void MainWindow::on_deviceOpenFailed(const QString &reason)
{
  // The link tells each failing device once, not at every search.
  m_openFailure = reason;
  showStatusError(openFailureHint(reason), 0);
  updateChartHint();
}

void MainWindow::sendStatistics()
{
  Settings settings;
  // The serial number leaves the machine only when the user allows checks.
  if (!settings.value(QStringLiteral("Update/auto-check-firm"), true).toBool())
    return;
  if (!HidDevice::m_instance)
    return;
  m_updater->on_checkUpdatesFW(HidDevice::m_instance->serial());
}

bool MainWindow::reachesDevice(const Packet *packet) const
{
  if (!m_device->isOpen())
    return true; // the link writes nothing anyway
  // A bootloader takes any report for one of its own commands: a status
  // poll (descriptor 6) would start the firmware it holds, whole or not.
  if (m_device->bootMode())
    return false;
  const bool supply = m_device->model() == QLatin1String("5002");
  // With a capture file of the other kind open the link frames reports for
  // the kind the window serves, not for the device.
  if (supply != !loggerMode())
    return false;
  // Text commands are the supply's; a logger would take them for reports.
  if (!packet)
    return supply;
  const int id = packet->data()[0];
  return id == DeviceInfo::Descriptor || (id == PowerPacket::ReportId) == supply;
}

int MainWindow::sendPacket(Packet &packet)
{
  if (Helpers::isUpdating || !m_device || !reachesDevice(&packet))
    return 0;
  return m_device->sendPacket(packet);
}

int MainWindow::sendCommand(const QString &command)
{
  if (Helpers::isUpdating || !m_device || !reachesDevice(nullptr))
    return 0;
  return m_device->sendCommand(command);
}

void MainWindow::on_requestStatus(StatusControlRequest &request)
{
  if (!Helpers::isMeasuring)
    sendPacket(request);
}

void MainWindow::on_stopButton()
{
  DeviceControl command(DeviceControl::m_currentDeviceControl);
  command.set(1, static_cast<unsigned char>(DeviceControl::Stop));
  emit stopMeasurement(command);
}

void MainWindow::terminateMeasuring()
{
  qDebug() << "MainWindow::terminateMeasuring";
  DeviceControl command(DeviceControl::m_currentDeviceControl);
  command.set(1, static_cast<unsigned char>(DeviceControl::Stop));
  emit stopMeasurement(command);
  Helpers::isMeasuring = false;
  if (PlotWidget *plot = plotter())
    plot->xAxis->secondRowEnabled = true;
}

bool MainWindow::stopOnError() const
{
  return m_controlPanel->stopOnError();
}

void MainWindow::statusTick()
{
  if (!Helpers::isMeasuring) {
    m_controlPanel->refreshStatus();
    return;
  }
  QList<qreal> values;
  if (GLWidget *tab = currentWidget()) {
    for (PlotDataMap *map : std::as_const(tab->maps))
      values.append(map && !map->isEmpty() ? std::prev(map->constEnd()).value().value : qQNaN());
  }
  emit refreshChannels(values);
}

void MainWindow::setTovriMode()
{
  leavePowerMode();
  setWindowTitle(linkTitle(QStringLiteral(" TOVRI connected")));
  m_controlPanel->show();
  m_statusPanel->show();
  m_dockStatus->show();
  m_dockControl->show();
  placeFloatingDocks();
  m_marquee->hide();
  m_readoutLabel->show();
  showIdleReadout();
  m_popUp->show();
  // An opened file alone gives nothing to start, nor a logger that has not
  // described its channels yet: the completed list enables them
  // (on_enableMeasurement).
  const bool ready = loggerServed() && m_channelsComplete;
  enableButtons(ready);
  m_statusPanel->enableControls(ready);
  m_controlPanel->enableControls(ready);
  ui->navigationBar->enable();
  enableToolbar(true, false);
  m_actionView->setVisible(true);
  m_actionReport->setVisible(true);
  m_actionMarkers->setVisible(true);
  m_actionCalculator->setVisible(true);
  ui->markerBar->hide();
  ui->reportBar->hide();
  ui->navigationBar->show();
}

void MainWindow::createDefaults()
{
  const QJsonObject info{{QStringLiteral("upid"), 5},
                         {QStringLiteral("version"), QStringLiteral("1.00")},
                         {QStringLiteral("info"), QStringLiteral("Quillomar Current logger v1.00")},
                         {QStringLiteral("channel-count"), 3}};
  auto channel = [](int number, const QString &text, int base, int type, int exponent, int lower, int upper) {
    return QJsonObject{{QStringLiteral("channel"), number},   {QStringLiteral("info"), text},
                       {QStringLiteral("baseNumber"), base},  {QStringLiteral("dataType"), type},
                       {QStringLiteral("minExponent"), exponent}, {QStringLiteral("lower"), lower},
                       {QStringLiteral("upper"), upper}};
  };
  const QJsonArray channels{channel(0, QStringLiteral("μA,Current,"), 2, 1, 0, 0, 2100000),
                            channel(1, QStringLiteral("mV,Voltage,"), 52, 0, 255, -100, 5500),
                            channel(2, QStringLiteral("mV,Voltage,"), 52, 0, 255, -100, 5500)};
  const QJsonObject document{{QStringLiteral("DeviceInfo"), info}, {QStringLiteral("Channels"), channels}};
  if (!DeviceInfo::m_deviceInfo)
    DeviceInfo::m_deviceInfo = new DeviceInfo;
  DeviceInfo::m_deviceInfo->fromJson(info);
  ChannelInfo::fromJson(document);
  restoreLinkIdentity();
}

void MainWindow::restoreLinkIdentity()
{
  if (m_linkIdentity.size() == Packet::ImageSize) {
    if (!DeviceInfo::m_deviceInfo)
      DeviceInfo::m_deviceInfo = new DeviceInfo;
    DeviceInfo::m_deviceInfo->set(reinterpret_cast<const uchar *>(m_linkIdentity.constData()), Packet::ImageSize);
  }
  // The logger's own descriptions decode its blocks; a supply's file shown
  // meanwhile needs the supplies' descriptions, which stay until it goes.
  if (!m_linkChannels.isEmpty() && loggerServed() && loggerMode())
    ChannelInfo::m_channels = m_linkChannels;
}
