#include "controlpanel.h"
#include "ui_controlpanel.h"

#include "helpers.h"
#include "hiddevice.h"
#include "packet.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QIcon>
#include <QListWidgetItem>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QTimer>

namespace {

struct SampleRate
{
  int number;
  bool kHz;
  int hertz;
};

const SampleRate sampleRateTable[] = {
  {10, true, 10000}, {5, true, 5000}, {2, true, 2000}, {1, true, 1000}, {500, false, 500},
  {200, false, 200}, {100, false, 100}, {50, false, 50}, {20, false, 20}, {10, false, 10},
  {5, false, 5},     {2, false, 2},     {1, false, 1},
};

// The channel's name: the second comma-separated field of the zero-padded info text.
QString channelName(const ChannelInfo &info)
{
  const char *text = reinterpret_cast<const char *>(info.data() + ChannelInfo::InfoOffset);
  const int length = int(qstrnlen(text, ChannelInfo::InfoLength));
  return QString::fromUtf8(text, length).section(QLatin1Char(','), 1, 1);
}

// A hand-edited "channels=0,2," without quotes reads back as a list.
QString settingText(const QVariant &value)
{
  if (value.userType() == QMetaType::QStringList)
    return value.toStringList().join(QLatin1Char(','));
  return value.toString();
}

} // namespace

ControlPanel::ControlPanel(QWidget *parent)
  : Panel(parent)
  , ui(new Ui::ControlPanel)
{
  ui->setupUi(this);
  ui->btnResetErrors->hide();
  fitWidthToTexts();
  ui->spinBox1->setSingleStep(1);
  ui->spinBox2->setSingleStep(1);

  connect(ui->spinBox1, &QSpinBox::valueChanged, this, [this](int v) { emit multiplierChanged(1, v); });
  connect(ui->spinBox1, &QSpinBox::textChanged, this,
          [this](const QString &t) { emit multiplierChanged(1, t.toInt()); });
  connect(ui->spinBox2, &QSpinBox::valueChanged, this, [this](int v) { emit multiplierChanged(2, v); });
  connect(ui->spinBox2, &QSpinBox::textChanged, this,
          [this](const QString &t) { emit multiplierChanged(2, t.toInt()); });
  connect(ui->comboBoxSampleRate, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index == 0)
      keepFirstCheckedChannel();
  });
  connect(ui->listWidget, &QListWidget::itemChanged, this, &ControlPanel::onItemChanged);
  connect(ui->spinBoxTrigDelay, &QSpinBox::valueChanged, this, &ControlPanel::trigDelayChanged);
  connect(ui->btnResetErrors, &QPushButton::clicked, this, &ControlPanel::on_resetButton);
}

ControlPanel::~ControlPanel()
{
  delete ui;
}

// ---- settings ---------------------------------------------------------------

void ControlPanel::restore()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Control"));
  ui->spinBoxOutputVoltage->setValue(settings.value(QStringLiteral("output-voltage"), 1800).toInt());
  ui->spinBoxOutputVoltage->setEnabled(true);
  // The spin box clamps a damaged value; comparing answers with anything else
  // would report every read-back as a mismatch.
  m_appliedVoltage = ui->spinBoxOutputVoltage->value();
  ui->radioButtonOff->setChecked(true);
  const bool trig = settings.value(QStringLiteral("sync-trig"), true).toBool();
  ui->radioButtonTRIG->setChecked(trig);
  ui->radioButtonLog->setChecked(!trig);
  ui->spinBoxSyncDelay->setValue(settings.value(QStringLiteral("sync-delay"), 0).toInt());
  ui->spinBoxTrigDelay->setValue(settings.value(QStringLiteral("trig-delay"), 0).toInt());
  settings.endGroup();

  addSampleRateItems();
  connect(ui->checkBoxCustom, &QCheckBox::stateChanged, this, [this](int state) {
    const bool custom = state == Qt::Checked;
    ui->comboBoxSampleRate->setEnabled(!custom);
    ui->spinBoxSampleRate->setEnabled(custom);
  });
  connect(ui->spinBoxSampleRate, &QSpinBox::valueChanged, this,
          [this](int v) { ui->labelFq->setText(Helpers::sampleRateToFQString(v)); });

  settings.beginGroup(QStringLiteral("Measure"));
  ui->spinBoxSampleRate->setValue(settings.value(QStringLiteral("sample-rate"), 5).toInt());
  QTimer::singleShot(1000, this, &ControlPanel::refreshFrequency);
  const bool custom = settings.value(QStringLiteral("sample-rate-custom"), false).toBool();
  ui->checkBoxCustom->setChecked(custom);
  int index = settings.value(QStringLiteral("sample-rate-combo"), 0).toInt();
  // An index beyond the list would leave the combo without a rate.
  if (index < 0 || index >= ui->comboBoxSampleRate->count())
    index = 0;
  ui->comboBoxSampleRate->setCurrentIndex(index);
  settings.endGroup();
  ui->comboBoxSampleRate->setEnabled(!custom);
  ui->spinBoxSampleRate->setEnabled(custom);
  ui->labelPower->hide();

  connect(ui->btnStart, &QPushButton::clicked, this, &ControlPanel::on_startButton);
  connect(ui->btnStop, &QPushButton::clicked, this, &ControlPanel::on_stopButton);
  connect(ui->btnLog, &QPushButton::clicked, this, &ControlPanel::on_logButton);
  connect(ui->btnTrig, &QPushButton::clicked, this, &ControlPanel::on_trigButton);
  connect(ui->btnApply, &QPushButton::clicked, this, &ControlPanel::on_applyButton);
  connect(ui->toolButtonSet, &QToolButton::clicked, this, &ControlPanel::on_powerSetButton);
}

void ControlPanel::backup()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Control"));
  settings.setValue(QStringLiteral("output-voltage"), ui->spinBoxOutputVoltage->value());
  settings.setValue(QStringLiteral("delayed-power-on"), ui->radioButtonDelayed->isChecked());
  settings.setValue(QStringLiteral("sync-trig"), ui->radioButtonTRIG->isChecked());
  settings.setValue(QStringLiteral("sync-delay"), ui->spinBoxSyncDelay->value());
  settings.setValue(QStringLiteral("trig-delay"), ui->spinBoxTrigDelay->value());
  settings.endGroup();

  settings.beginGroup(QStringLiteral("Measure"));
  settings.setValue(QStringLiteral("sample-rate"), ui->spinBoxSampleRate->value());
  settings.setValue(QStringLiteral("sample-rate-custom"), ui->checkBoxCustom->isChecked());
  settings.setValue(QStringLiteral("sample-rate-combo"), ui->comboBoxSampleRate->currentIndex());
  // Without a link there is no open device; creating one here would start a search at exit.
  if (HidDevice::m_instance && HidDevice::m_instance->isOpen()) {
    QString channels;
    for (int i = 0; i < ui->listWidget->count(); ++i) {
      const QListWidgetItem *item = ui->listWidget->item(i);
      if (item->checkState() == Qt::Checked)
        channels += QString::number(item->data(Qt::UserRole).toInt()) + QLatin1Char(',');
    }
    settings.setValue(QStringLiteral("channels"), channels);
  }
  settings.endGroup();
}

// ---- lists ------------------------------------------------------------------

void ControlPanel::setChannels()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Measure"));
  const bool stored = settings.contains(QStringLiteral("channels"));
  QSet<int> saved;
  if (stored) {
    const QStringList parts = settingText(settings.value(QStringLiteral("channels"))).split(QLatin1Char(','));
    for (const QString &part : parts) {
      const QString number = part.trimmed();
      if (!number.isEmpty())
        saved.insert(number.toInt());
    }
  }
  settings.endGroup();

  QSignalBlocker block(ui->listWidget);
  ui->listWidget->clear();
  for (auto it = ChannelInfo::m_channels.cbegin(); it != ChannelInfo::m_channels.cend(); ++it) {
    const int channel = it.key();
    // The channel mask has bits for channels 0..15 only.
    if (channel >= 16)
      continue;
    auto *item = new QListWidgetItem(QStringLiteral("#%1: %2").arg(QString::number(channel), channelName(it.value())));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setData(Qt::UserRole, channel);
    item->setCheckState(!stored || saved.contains(channel) ? Qt::Checked : Qt::Unchecked);
    ui->listWidget->addItem(item);
  }
  if (oneChannelOnly())
    keepFirstCheckedChannel();
}

void ControlPanel::addSampleRateItems()
{
  QComboBox *combo = ui->comboBoxSampleRate;
  const int index = combo->currentIndex();
  // Refilling passes through index 0; the one-channel rule must not see that.
  QSignalBlocker block(combo);
  combo->clear();
  bool first = true;
  for (const SampleRate &rate : sampleRateTable) {
    const QString unit = rate.kHz ? QCoreApplication::translate("MainWindow", "kHz")
                                  : QCoreApplication::translate("MainWindow", "Hz");
    const QString pattern = first ? QStringLiteral(" %1 %2 ") + tr("(one channel only)") : QStringLiteral(" %1 %2");
    combo->addItem(pattern.arg(QStringLiteral("%1").arg(rate.number, 3), unit), rate.hertz);
    first = false;
  }
  combo->setCurrentIndex(index);
}

int ControlPanel::mult1() const
{
  return ui->spinBox1->value();
}

int ControlPanel::mult2() const
{
  return ui->spinBox2->value();
}

int ControlPanel::sampleRates() const
{
  if (ui->checkBoxCustom->isChecked())
    return qBound(1, ui->spinBoxSampleRate->value(), MaxDivider);
  const QComboBox *combo = ui->comboBoxSampleRate;
  int hertz = combo->currentData(Qt::UserRole).toInt();
  // No current item: the first rate of the list.
  if (hertz <= 0)
    hertz = combo->count() > 0 ? combo->itemData(0, Qt::UserRole).toInt() : 0;
  return hertz > 0 ? qMax(1, 10000 / hertz) : 1;
}

bool ControlPanel::oneChannelOnly() const
{
  return ui->comboBoxSampleRate->currentIndex() == 0 || sampleRates() == 1;
}

void ControlPanel::keepFirstCheckedChannel()
{
  QListWidget *list = ui->listWidget;
  int kept = -1;
  for (int i = 0; i < list->count() && kept < 0; ++i) {
    if (list->item(i)->checkState() == Qt::Checked)
      kept = i;
  }
  if (kept < 0)
    return;
  qDebug() << "one channel only, keep" << kept << list->item(kept)->text();
  QSignalBlocker block(list);
  for (int i = kept + 1; i < list->count(); ++i) {
    QListWidgetItem *item = list->item(i);
    qDebug() << "uncheck " << i << item->text() << item->checkState();
    item->setCheckState(Qt::Unchecked);
  }
}

void ControlPanel::onItemChanged(QListWidgetItem *changed)
{
  if (!oneChannelOnly())
    return;
  QListWidget *list = ui->listWidget;
  QSignalBlocker block(list);
  for (int i = 0; i < list->count(); ++i) {
    QListWidgetItem *item = list->item(i);
    if (item != changed)
      item->setCheckState(Qt::Unchecked);
  }
}

// ---- commands ---------------------------------------------------------------

void ControlPanel::emitStart(unsigned char command, int delay)
{
  const int divider = sampleRates();
  // At 10 kHz the logger takes one channel, whatever way divider 1 was chosen.
  if (divider == 1)
    keepFirstCheckedChannel();
  quint16 mask = 0;
  for (int i = 0; i < ui->listWidget->count(); ++i) {
    const QListWidgetItem *item = ui->listWidget->item(i);
    const int channel = item->data(Qt::UserRole).toInt();
    if (item->checkState() == Qt::Checked && channel >= 0 && channel < 16)
      mask |= Packet::m_channelMask[channel];
  }
  DeviceControl start;
  start.set(1, command);
  start.writeU16(4, mask);
  start.writeU16(6, quint16(divider));
  start.set(8, uchar(1));
  start.writeU16(9, quint16(delay));
  emit startMeasurement(start);
}

void ControlPanel::on_startButton()
{
  emitStart(DeviceControl::Start, 0);
}

void ControlPanel::on_trigButton()
{
  const int delay = ui->spinBoxTrigDelay->value();
  emitStart(delay != 0 ? DeviceControl::StartEdgeDelay : DeviceControl::StartEdge, delay);
}

void ControlPanel::on_logButton()
{
  emitStart(DeviceControl::LogGate, 0);
}

void ControlPanel::on_stopButton()
{
  DeviceControl stop(DeviceControl::m_currentDeviceControl);
  stop.set(1, uchar(DeviceControl::Stop));
  emit stopMeasurement(stop);
}

void ControlPanel::sendStatusRequest(int control, int voltage, int syncDelay)
{
  StatusControlRequest request;
  request.set(1, uchar(control));
  request.writeU16(3, quint16(voltage));
  request.writeU16(5, quint16(syncDelay));
  emit requestStatus(request);
}

void ControlPanel::refreshStatus()
{
  sendStatusRequest(0x00, 1800, 0);
}

void ControlPanel::on_requestStatus(uchar _errorStatus)
{
  if (_errorStatus & 0x02)
    sendStatusRequest(0x30, ui->spinBoxOutputVoltage->value(), 0);
  else
    sendStatusRequest(0x20, 0, 0);
}

void ControlPanel::on_applyButton()
{
  const bool vbat = ui->radioButtonVbat->isChecked();
  const bool vusb = ui->radioButtonVusb->isChecked();
  int control = 0x12;
  if (!ui->radioButtonTRIG->isChecked())
    control |= 0x01;
  if (vbat || vusb)
    control |= 0x80 | (vbat ? 0x40 : 0);
  const int voltage = ui->spinBoxOutputVoltage->value();
  sendStatusRequest(control, voltage, ui->spinBoxSyncDelay->value());
  m_appliedVoltage = voltage;
  StatusControlRequest::justRequested = true;
  enableStartGroup(true);
}

void ControlPanel::on_powerSetButton()
{
  int power = 0;
  if (ui->radioButtonDelayed->isChecked())
    power = 12;
  else if (ui->radioButtonPermanent->isChecked())
    power = 8;
  else if (ui->radioButtonOff->isChecked())
    power = 4;
  sendStatusRequest(power, ui->spinBoxOutputVoltage->value(), ui->spinBoxSyncDelay->value());
  StatusControlRequest::justRequested = true;
}

void ControlPanel::on_resetButton()
{
  emit resetClicked();
  m_errorDetailsShown = false;
  on_requestStatus(m_errorStatus);
}

// ---- status answers ---------------------------------------------------------

void ControlPanel::setVinButtons(bool vbat, bool vusb)
{
  // Without exclusivity both may end up unchecked: no Vin source.
  ui->radioButtonVbat->setAutoExclusive(false);
  ui->radioButtonVusb->setAutoExclusive(false);
  ui->radioButtonVbat->setChecked(vbat);
  ui->radioButtonVusb->setChecked(vusb);
  ui->radioButtonVbat->setAutoExclusive(true);
  ui->radioButtonVusb->setAutoExclusive(true);
}

void ControlPanel::update(StatusControlResponse &response)
{
  const unsigned char *d = response.data();
  const bool vbat = d[5] & 0x40;
  const bool vusb = d[5] & 0x80;
  const int power = d[24];
  if ((d[2] & 0x80) || StatusControlResponse::firstPacket || StatusControlRequest::justRequested) {
    if (power == 8)
      ui->radioButtonPermanent->setChecked(true);
    else if (power == 12)
      ui->radioButtonDelayed->setChecked(true);
    else if (power == 4)
      ui->radioButtonOff->setChecked(true);
    setVinButtons(vbat, vusb);
  }
  if (d[4] != m_errorStatus) {
    m_errorStatus = d[4];
    handleErrors();
  }

  // An answer to a request sent just before a start arrives inside the
  // capture: it must not unlock the multipliers or the rate then.
  const bool idle = !Helpers::isMeasuring;
  const int readBack = qint16(response.readU16(22));
  bool voltageOk = false;
  bool powerAllowed = false;
  if (readBack == m_appliedVoltage) {
    ui->toolButtonSet->show();
    ui->labelPower->hide();
    if (idle) {
      ui->btnApply->setEnabled(true);
      if (!batteryIsLow())
        enableChannelsGroup(true);
    }
    voltageOk = true;
    powerAllowed = true;
  } else if (d[1] & 0x10) {
    powerAllowed = true;
  } else {
    ui->toolButtonSet->hide();
    ui->labelPower->setText(QString::number(readBack) + tr(" mV"));
    ui->labelPower->show();
    if (idle)
      ui->btnApply->setEnabled(true);
  }
  showResetButton();
  StatusControlRequest::justRequested = false;

  if (batteryIsLow()) {
    ui->groupBoxSwitchVin->setTitle(tr("Battery LOW"));
    ui->groupBoxSwitchVin->setStyleSheet(changeStyle());
    setVinButtons(vbat, vusb);
    return;
  }
  ui->groupBoxSwitchVin->setTitle(tr("Switch Vin"));
  ui->groupBoxSwitchVin->setStyleSheet(QString());
  if (!vbat && !vusb) {
    ui->groupBoxSwitchVin->setStyleSheet(changeStyle());
    powerAllowed = false;
  }
  if (!idle)
    return;
  ui->btnApply->setEnabled(true);
  enableControlGroup(true);
  enablePowerGroup(powerAllowed);
  enableStartGroup(power != 4 && (vbat || vusb) && voltageOk);
}

void ControlPanel::handleErrors()
{
  // The stop goes out first; the message waits until the dispatch has returned.
  if (stopOnError())
    emit terminateMeasuring();
  showErrorDetails();
}

void ControlPanel::showErrorDetails()
{
  const uchar e = m_errorStatus;
  const QString title = tr("Error details");
  // Shown once the packet dispatch has returned: a modal box opened inside it
  // would stop the link from draining until the user clicks.
  auto post = [this, title](bool error, const QString &text) {
    QTimer::singleShot(0, this, [this, title, error, text] {
      if (error)
        Helpers::error(this, title, text, QMessageBox::Ok);
      else
        Helpers::information(this, title, text, QMessageBox::Ok);
    });
  };
  if (e & 0x04) {
    m_errorDetailsShown = true;
    post(true, tr("Restore fault.\nChannels calibration values are lost.\n"));
    return;
  }
  const QString lost = (e & 0x80) ? tr("Lost of data is detected\n") : QString();
  QString details;
  if (e & 0x40)
    details += tr("Power converter communication error\n");
  if (e & 0x20)
    details += tr("Power converter can not not provide output voltage requlation\n");
  if (e & 0x10)
    details += tr("Power converter thermal shutdown\n");
  if (e & 0x02) {
    details += tr("Low battery voltage is detected. \n");
    details += (e & 0x01) ? tr("Load power is disabled\n") : tr("Load power is switched to Vusb.\n");
  } else if (e & 0x01) {
    details += tr("Load power is disabled\n");
  }
  if (details.isEmpty())
    return;
  details = lost + details;
  if (!(e & 0x01))
    return;
  const QString cause = (e & 0x70) ? tr("All power supplies were disconnected from DUT  due overcurrent.\n")
                                   : tr("Vbat supply was disconnected from DUT, battery is low.\n");
  const QString steps = tr("1.Remove reason for high current.\n") +
                        tr("2.Select and APPLY proper power source(Vusb or Vbat).\n") +
                        tr("3.Select and SET  proper Power config.\n") + tr("4.Press button \"Reset errors\".\n") +
                        tr("5.Now device is ready to work again.");
  if (m_errorDetailsShown)
    return;
  m_errorDetailsShown = true;
  post(false, details + QStringLiteral("\n\n") + cause + steps);
}

void ControlPanel::showResetButton()
{
  if ((m_errorStatus & 0x7B) == 0) {
    ui->btnResetErrors->hide();
    return;
  }
  ui->btnResetErrors->setIcon(QIcon(QStringLiteral(":/res/alert.png")));
  ui->btnResetErrors->setText(tr("Reset errors"));
  ui->btnResetErrors->show();
  ui->btnResetErrors->setEnabled(true);
  ui->btnResetErrors->raise();
}

QString ControlPanel::changeStyle()
{
  return QStringLiteral("QGroupBox { border: 2px solid red;font: bold;margin-top: 6px;}"
                        "QGroupBox::title { color: red; subcontrol-origin: margin;left: 7px; padding: 0px 5px 0px 5px;}");
}

// ---- enabled states ---------------------------------------------------------

void ControlPanel::enableStartGroup(bool on)
{
  const bool e = on && !Helpers::isMeasuring;
  ui->btnStart->setEnabled(e);
  ui->btnLog->setEnabled(e);
  ui->btnTrig->setEnabled(e);
  ui->labelTrigDelay->setEnabled(e);
  ui->spinBoxTrigDelay->setEnabled(e);
}

void ControlPanel::enableStop(bool)
{
  ui->btnStop->setEnabled(true);
}

void ControlPanel::enableButtons(bool on)
{
  enableStartGroup(on);
  enableStop(true);
}

void ControlPanel::enableChannelsGroup(bool on)
{
  ui->groupBoxSampleRate->setEnabled(on);
  ui->groupBoxChannels->setEnabled(on);
  ui->spinBox1->setEnabled(on);
  ui->spinBox2->setEnabled(on);
}

void ControlPanel::enableControlGroup(bool on)
{
  ui->groupBoxControl->setEnabled(on);
  ui->btnApply->setEnabled(true);
}

void ControlPanel::enableControls(bool on)
{
  enableControlGroup(on);
  if (!Helpers::isMeasuring)
    ui->btnApply->setEnabled(true);
}

void ControlPanel::enablePowerGroup(bool on)
{
  // Enabling the group must not bring back a Set button hidden by a mismatch.
  const bool setShown = !ui->toolButtonSet->isHidden();
  ui->groupBoxPowerOn->setEnabled(on);
  ui->toolButtonSet->setVisible(setShown);
}

void ControlPanel::on_toggleAlarm(bool _alarm)
{
  enableControlGroup(true);
  enableStartGroup(!_alarm);
  enableChannelsGroup(!_alarm);
}

void ControlPanel::on_trigDelayChanged(int value)
{
  QSignalBlocker block(ui->spinBoxTrigDelay);
  ui->spinBoxTrigDelay->setValue(value);
}

// ---- theme and language -----------------------------------------------------

void ControlPanel::on_changeColorTheme(bool dark)
{
  const struct
  {
    QAbstractButton *button;
    const char *name;
  } buttons[] = {{ui->btnTrig, "trig-edge"}, {ui->btnLog, "trig-gate"}, {ui->btnStop, "stop"}, {ui->btnStart, "play"}};
  for (const auto &b : buttons) {
    const QString base = QStringLiteral(":/res/%1-").arg(QLatin1String(b.name));
    QIcon icon;
    if (dark) {
      icon.addFile(base + QStringLiteral("white.png"), QSize(), QIcon::Normal);
      icon.addFile(base + QStringLiteral("gray.png"), QSize(), QIcon::Disabled);
    } else {
      icon.addFile(base + QStringLiteral("black.png"));
    }
    b.button->setIcon(icon);
  }
}

void ControlPanel::on_translate()
{
  ui->retranslateUi(this);
  fitWidthToTexts();
  QTimer::singleShot(100, this, &ControlPanel::refreshFrequency);
}

void ControlPanel::fitWidthToTexts()
{
  constexpr int NarrowestWidth = 360;
  QScrollArea *area = ui->scrollArea;
  // New texts reach the contents' minimum only through posted layout
  // requests: every cached size is dropped before it is read (nothing is
  // laid out here, the panel may be hidden).
  for (QWidget *inner : area->widget()->findChildren<QWidget *>())
    inner->updateGeometry();
  const int width = area->widget()->minimumSizeHint().width() + 2 * area->frameWidth() +
                    area->verticalScrollBar()->sizeHint().width();
  area->setMinimumWidth(qMax(NarrowestWidth, width));
}

void ControlPanel::refreshFrequency()
{
  ui->labelFq->setText(Helpers::sampleRateToFQString(ui->spinBoxSampleRate->value()));
  ui->labelFq->repaint();
}

void ControlPanel::changeEvent(QEvent *event)
{
  Panel::changeEvent(event);
  if (event->type() == QEvent::LanguageChange)
    ui->retranslateUi(this);
  if (event->type() == QEvent::LanguageChange || event->type() == QEvent::StyleChange ||
      event->type() == QEvent::FontChange)
    fitWidthToTexts();
}
