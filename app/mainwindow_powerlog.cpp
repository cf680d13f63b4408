// A power supply's log from the panel's Start to a complete capture file:
// the log command, the supply's replies and frames, and the end of the log.
// The capture file, the 10 ms tick and the stop are the logger's
// (mainwindow_capture.cpp).
#include "mainwindow.h"
// The form's navigation strip header needs the capture file class complete.
#include "swapfile.h"
#include "ui_mainwindow.h"

#include "controlpanel.h"
#include "glwidget.h"
#include "helpers.h"
#include "hiddevice.h"
#include "navigationbar.h"
#include "optionsdialog.h"
#include "overcurrent.h"
#include "packet.h"
#include "plot.h"
#include "popup.h"
#include "powerpanel.h"
#include "updater.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QStatusBar>

#include <utility>

namespace {

const QString LogStop = QStringLiteral("LOGSTOP\n");
// Records per second the supplies take; the divider is 10 kHz / rate.
constexpr int MaxLogRate = 10000;

} // namespace

void MainWindow::connectControlPanel()
{
  if (!m_controlConnections.isEmpty())
    return;
  m_controlConnections = {
    connect(m_controlPanel, &ControlPanel::terminateMeasuring, this, &MainWindow::terminateMeasuring),
    connect(m_controlPanel, &ControlPanel::requestStatus, this, &MainWindow::on_requestStatus),
    connect(m_controlPanel, &ControlPanel::resetClicked, this, &MainWindow::hideStatusWarning),
    connect(m_controlPanel, &ControlPanel::multiplierChanged, this,
            [this](int channel, int value) {
              if (!Helpers::isMeasuring && currentWidget())
                currentWidget()->multiplierChanged(channel, value);
            }),
    connect(m_controlPanel, &ControlPanel::startMeasurement, this, &MainWindow::on_startMeasurement),
    connect(m_controlPanel, &ControlPanel::stopMeasurement, this, &MainWindow::on_stopMeasurement)};
}

void MainWindow::disconnectControlPanel()
{
  for (const QMetaObject::Connection &connection : std::as_const(m_controlConnections))
    disconnect(connection);
  m_controlConnections.clear();
}

bool MainWindow::supplyConnected() const
{
  return m_device && m_device->isOpen() && m_device->model() == QLatin1String("5002");
}

QString MainWindow::refusePowerLog(const QString &command, PowerLog *log) const
{
  // "LOG", the rate, "C", one hexadecimal digit per channel, "\n".
  if (!command.startsWith(QLatin1String("LOG")))
    return tr("the command does not begin with LOG");
  QString text = command.mid(3);
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  text = text.trimmed();
  const qsizetype c = text.indexOf(QLatin1Char('C'));
  if (c < 0 || c + 1 >= text.size())
    return tr("the command names no channel");

  // Digits only: a sign, a blank or a second number is no rate either.
  const QString rateText = text.left(c);
  bool ok = !rateText.isEmpty() && rateText.size() <= 5;
  for (QChar digit : rateText)
    ok = ok && digit >= QLatin1Char('0') && digit <= QLatin1Char('9');
  const int rate = ok ? rateText.toInt() : 0;
  if (rate < 1 || rate > MaxLogRate)
    return tr("the rate must be 1 to %1 records per second").arg(MaxLogRate);

  // The file's columns follow the channel numbers upwards: the digits must too.
  PowerLog parsed;
  parsed.rate = rate;
  for (QChar digit : text.mid(c + 1)) {
    const int channel = QString(digit).toInt(&ok, 16);
    if (!ok || !ChannelInfo::m_channels.contains(uchar(channel)) ||
        (!parsed.channels.isEmpty() && channel <= parsed.channels.last()))
      return tr("\"%1\" names no further channel of this supply").arg(digit);
    parsed.channels.append(channel);
    parsed.mask |= quint16(1u << channel);
  }
  if (parsed.channels.size() > SwapFileHeader::maxPowerChannels)
    return tr("a log takes at most %1 channels").arg(SwapFileHeader::maxPowerChannels);
  if (!supplyConnected())
    return tr("no power supply is connected");
  *log = parsed;
  return QString();
}

bool MainWindow::acceptPowerLog(const QString &command, PowerLog *log)
{
  const QString refusal = refusePowerLog(command, log);
  if (!refusal.isEmpty())
    showStatusError(tr("The log cannot start: %1.").arg(refusal), 0);
  return refusal.isEmpty();
}

void MainWindow::on_startPowerLog(const QString &command)
{
  if (Helpers::isMeasuring)
    return;
  if (refusedWhileHeld())
    return;
  PowerLog log;
  if (!acceptPowerLog(command, &log))
    return;
  addPowerTab();
  GLWidget *tab = currentWidget();
  tab->addChannels(log.channels);
  adjustAxisName(log.channels, m_powerPanel && m_powerPanel->isFahrentheit());
  on_startPowerMeasurement(command);
  // A log that could not start leaves no empty tab behind.
  if (!Helpers::isMeasuring || m_captureTab != tab)
    closeTabSilent(ui->tabWidget->indexOf(tab), false);
}

void MainWindow::on_startPowerMeasurement(const QString &command)
{
  if (Helpers::isMeasuring)
    return;
  PowerLog log;
  if (!acceptPowerLog(command, &log))
    return;
  // The log fills a tab made for its channels that holds no capture yet.
  GLWidget *tab = currentWidget();
  if (!tab || !tab->plot || tab->maps.size() != log.channels.size() || !tab->swapFile->file.fileName().isEmpty()) {
    showStatusError(tr("The log cannot start: its tab does not fit the channels."), 0);
    return;
  }

  // The file comes first: a log that cannot be written must not start.
  QString name = ui->tabWidget->tabText(ui->tabWidget->indexOf(tab));
  if (name.startsWith(QLatin1Char('*')))
    name.remove(0, 1);
  const bool custom = m_powerPanel && m_powerPanel->isCustom();
  const bool fahrenheit = m_powerPanel && m_powerPanel->isFahrentheit();
  const int divider = MaxLogRate / log.rate;
  if (!createCaptureFile(tab->swapFile, name, [&](SwapFile *file) {
        return file->setHeader(static_cast<signed char>(log.channels.size()), log.mask, custom, short(divider),
                               fahrenheit);
      }))
    return;

  m_powerRate = log.rate;
  m_powerChannels = log.channels;
  m_powerFahrenheit = fahrenheit;
  m_powerCapture = true;
  DeviceControl control;
  control.set(1, static_cast<unsigned char>(DeviceControl::LogGate));
  control.writeU16(4, log.mask);
  control.writeU16(6, quint16(divider));
  control.set(8, static_cast<unsigned char>(1));
  beginCapture(tab, name, control);
  // What an earlier log ended with no longer stands; its first frame tells this one runs.
  statusBar()->clearMessage();
  qInfo().noquote() << QStringLiteral("Start: ") + command;
  if (sendCommand(command) < 0)
    abandonCapture(tr("The log command could not be sent to the supply: %1").arg(m_device->writeError()));
}

void MainWindow::on_stopPowerMeasurement(const QString &command)
{
  Q_UNUSED(command)
  // The stop command and the supply's end-of-log report may both arrive.
  if (!m_powerCapture || !Helpers::isMeasuring)
    return;
  // As the logger's answer to a stop: the running status goes, a reason
  // the log ended for stays.
  if (!std::exchange(m_keepCaptureError, false))
    statusBar()->clearMessage();
  finishCapture(nullptr);
}

void MainWindow::endRefusedLog(const QString &reply)
{
  GLWidget *tab = m_captureTab;
  if (m_powerCapture && Helpers::isMeasuring && m_firstBlock && tab) {
    // Refused before its first frame: like a log command that could not be
    // written, it leaves no tab and no file, and the refusal is told.
    abandonCapture(tr("The supply refused the log: %1").arg(reply));
    if (!Helpers::isMeasuring && !tab->holdsCapture())
      closeTabSilent(ui->tabWidget->indexOf(tab), false);
    return;
  }
  // The log has ended for the supply: the file gets its rest and its tail.
  on_stopPowerMeasurement(QString());
}

void MainWindow::addPacket(const MeasurePower &frame)
{
  GLWidget *tab = m_captureTab;
  // Frames behind the one that reached the time limit belong to no log.
  if (!tab || !m_powerCapture || !Helpers::isMeasuring || m_stopPosted || m_powerRate <= 0)
    return;
  QMutexLocker locker(&tab->mutex);
  const int n = frame.rows();
  if (tab->maps.isEmpty() || n <= 0)
    return;

  const double p = 1000.0 / m_powerRate;
  if (m_firstBlock) {
    m_startTime = qint64(double(now()) - n * p);
    m_firstBlock = false;
  }
  const double t0 = blockStart(frame.counter(), n, p, false);

  const QMap<int, QList<double>> values = frame.decode(m_powerChannels, m_powerFahrenheit);
  double t = 0;
  for (int i = 0; i < m_powerChannels.size(); ++i) {
    if (i >= tab->maps.size() || !tab->maps.at(i))
      return;
    const QList<double> column = values.value(i);
    if (column.isEmpty())
      continue;
    PlotDataMap *map = tab->maps.at(i);
    t = t0;
    for (double v : column) {
      map->insert(t, PlotData(t, v));
      t += p / 1000;
    }
  }

  if (m_measuringTime != -1 && t > m_measuringTime)
    postTimeLimitStop();
}

void MainWindow::on_packetPowerReceived(PowerPacket &packet)
{
  const unsigned char command = packet.data()[2];
  if (command == PowerPacket::LogFinished) {
    if (m_powerPanel)
      m_powerPanel->logFinished();
    on_stopPowerMeasurement(QString());
    return;
  }

  if (command > 0x1F) {
    const char *bytes = reinterpret_cast<const char *>(packet.data());
    QString text = QString::fromUtf8(bytes, packet.size());
    const qsizetype k = text.indexOf(QLatin1Char('\r'));
    if (k >= 0) {
      text = text.mid(2, k);
    } else {
      // The report's zero padding is no part of the text.
      const qsizetype end = text.indexOf(QChar(0));
      if (end >= 0)
        text.truncate(end);
    }
    text = text.trimmed();
    if (text == QLatin1String("ON") || text == QLatin1String("OFF")) {
      if (m_powerPanel)
        m_powerPanel->responsePowerStatus(text == QLatin1String("ON"));
      return;
    }
    endRefusedLog(text);
    if (m_powerPanel)
      m_powerPanel->logFailed(text);
    return;
  }

  switch (packet.descriptor()) {
  case PowerPacket::Settings: {
    PowerGetPacket block(packet);
    emit paketReceived(block);
    // Live values are wanted only while the options dialog shows the block.
    if (findChild<OptionsDialog *>(QString(), Qt::FindDirectChildrenOnly)) {
      PowerDataPacket request;
      sendPacket(request);
    }
    break;
  }
  case PowerPacket::LiveData: {
    PowerDataPacket live(packet);
    m_updater->setDeviceFirmware(live.version());
    emit paketDataReceived(live);
    break;
  }
  case PowerPacket::SettingsWrite: {
    PowerGetPacket request;
    sendPacket(request);
    break;
  }
  default:
    if (m_powerCapture && Helpers::isMeasuring) {
      const bool first = m_firstBlock;
      addPacket(MeasurePower(packet));
      if (first && !m_firstBlock)
        showStatusMessage(tr("Logging..."), 0);
      if (GLWidget *tab = m_captureTab; tab && tab->plot)
        tab->plot->replot(PlotWidget::rpByHint);
    } else {
      // A log nobody records: the supply is told to stop streaming.
      sendCommand(LogStop);
    }
    break;
  }
}
