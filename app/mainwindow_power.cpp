// Power-supply mode: the panel swap and the supplies' built-in descriptions.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "controlpanel.h"
#include "helpers.h"
#include "swapfile.h"
#include "glwidget.h"
#include "infopackets.h"
#include "powerpanel.h"
#include "powerv2panel.h"
#include "statuspanel.h"

#include <QDebug>
#include <QDockWidget>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QTimer>

QJsonArray MainWindow::supplyChannelTable(bool v2)
{
  auto channel = [](int number, const QString &text, int type, int lower, int upper, int precision) {
    return QJsonObject{{QStringLiteral("channel"), number},  {QStringLiteral("info"), text},
                       {QStringLiteral("baseNumber"), 2},    {QStringLiteral("dataType"), type},
                       {QStringLiteral("minExponent"), 0},   {QStringLiteral("lower"), lower},
                       {QStringLiteral("upper"), upper},     {QStringLiteral("pecision"), precision}};
  };
  QJsonArray channels{
    channel(0, QStringLiteral("V,13.8V Voltage,"), 3, 0, 15, 1),
    channel(1, QStringLiteral("A,13.8V Current,"), 0, 0, v2 ? 50 : 40, 1),
    channel(2, v2 ? QStringLiteral("V,USB1 Voltage,") : QStringLiteral("V,USB Voltage,"), 3, 0, v2 ? 15 : 12, 1),
    channel(3, v2 ? QStringLiteral("A,USB1 Current,") : QStringLiteral("A,USB Current,"), 0, 0, 4, 2),
    channel(4, QStringLiteral("C,Temperature outside,"), 2, -30, 100, 0),
    channel(5, QStringLiteral("C,Temperature inside,"), 2, -30, 100, 0),
    channel(6, QStringLiteral("V,Input AC Voltage,"), 0, 50, 300, 0),
    channel(7, QStringLiteral("Hz,Frequency,"), 0, 0, 65, 1)};
  if (v2) {
    for (int usb = 2; usb <= 4; ++usb) {
      const int first = 8 + (usb - 2) * 2;
      channels.append(channel(first, QStringLiteral("V,USB%1 Voltage,").arg(usb), 3, 0, 15, 1));
      channels.append(channel(first + 1, QStringLiteral("A,USB%1 Current,").arg(usb), 0, 0, 4, 2));
    }
  }
  return channels;
}

void MainWindow::createDefaultsPower()
{
  delete DeviceInfo::m_deviceInfo;
  DeviceInfo::m_deviceInfo = nullptr;
  ChannelInfo::m_channels.clear();

  const QJsonObject info{{QStringLiteral("upid"), 52},
                         {QStringLiteral("version"), QStringLiteral("1.00")},
                         {QStringLiteral("info"), QStringLiteral("Quillomar Power Supply logger v1.00")},
                         {QStringLiteral("channel-count"), 8}};
  const QJsonArray channels = supplyChannelTable(Helpers::powerV2Mode);
  const QJsonObject document{{QStringLiteral("DeviceInfo"), info}, {QStringLiteral("Channels"), channels}};
  DeviceInfo::m_deviceInfo = new DeviceInfo;
  DeviceInfo::m_deviceInfo->fromJson(info);
  ChannelInfo::fromJson(document);
  restoreLinkIdentity();
  qDebug().noquote() << QStringLiteral("createDefaultsPower: cnt = ") + QString::number(ChannelInfo::channelCount());
  if (m_powerPanel)
    m_powerPanel->setChannels();
}

void MainWindow::setPowerMode()
{
  m_readoutLabel->show();
  setWindowTitle(linkTitle(QStringLiteral(" Kelvaro Power V1 connected")));
  // The logger's status poll has nobody to answer it now.
  m_statusTimer->stop();
  disconnectControlPanel();
  m_controlPanel->hide();

  // Exactly one supply panel: a re-plug or another opened file replaces the
  // old one, and with it its poll of the supply.
  if (m_powerPanel) {
    m_dockControl->setWidget(nullptr);
    delete m_powerPanel;
    m_powerPanel = nullptr;
  }
  m_powerPanel = Helpers::powerV2Mode ? new PowerV2Panel(this) : new PowerPanel(this);
  m_dockControl->setWidget(m_powerPanel);
  m_dockControl->setWindowTitle(tr(""));

  PowerPanel *panel = m_powerPanel;
  connect(panel, &PowerPanel::startPowerLog, this, &MainWindow::on_startPowerLog);
  connect(panel, &PowerPanel::stopPowerLog, this, [this, panel](const QString &command) {
    sendCommand(command);
    panel->stopLog();
  });
  connect(panel, &PowerPanel::requestPowerStatus, this, [this](const QString &command) { sendCommand(command); });
  connect(this, &MainWindow::paketReceived, panel,
          [panel](PowerGetPacket &packet) { emit panel->paketReceived(packet); });
  connect(this, &MainWindow::paketDataReceived, panel,
          [panel](PowerDataPacket &packet) { emit panel->paketDataReceived(packet); });

  m_statusPanel->hide();
  m_dockStatus->hide();
  m_actionView->setVisible(false);
  hideChartTools();

  createDefaultsPower();
  showIdleReadout();
  sendCommand(QStringLiteral("LOGSTOP\n"));
}

void MainWindow::setPowerV2Mode()
{
  setPowerMode();
  setWindowTitle(linkTitle(QStringLiteral(" Kelvaro Power V2 connected")));
}

void MainWindow::leavePowerMode()
{
  connectControlPanel();
  if (!m_powerPanel)
    return;
  // The logger's panel goes back into its dock; the supply's panel and its
  // poll end, and the logger's descriptions replace the supply's.
  m_dockControl->setWidget(m_controlPanel);
  m_dockControl->setWindowTitle(tr("Control"));
  delete m_powerPanel;
  m_powerPanel = nullptr;
  // No supply channel may stay beside the logger's three.
  ChannelInfo::m_channels.clear();
  createDefaults();
}
