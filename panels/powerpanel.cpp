#include "powerpanel.h"
#include "ui_powerpanel.h"

#include "helpers.h"
#include "packet.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QIcon>
#include <QListWidgetItem>
#include <algorithm>

namespace {

const QString LogStop = QStringLiteral("LOGSTOP\n");
const QString PowerQuery = QStringLiteral("POWER\n");
const int SampleRates[] = {10, 20, 50, 100, 200, 500, 1000};
// The start command names each channel by one hexadecimal digit.
constexpr int MaxCommandChannel = 15;

QPixmap indicator(const QString &path)
{
  const QPixmap pixmap(path);
  return pixmap.isNull() ? pixmap : pixmap.scaled(32, 32);
}

} // namespace

PowerPanel::PowerPanel(QWidget *parent)
  : Panel(parent)
  , ui(new Ui::PowerPanel)
{
  ui->setupUi(this);
  m_pollTimer.setParent(this);
  ui->checkBoxTemperature->setText(QString(QChar(0x00B0)) + QStringLiteral(", ") + ui->checkBoxTemperature->text());
  m_powerOn = indicator(QStringLiteral(":/res/bullet_ball_green.png"));
  m_powerOff = indicator(QStringLiteral(":/res/bullet_ball_grey.png"));

  bool dark = false;
  {
    Settings settings;
    settings.beginGroup(QStringLiteral("Options"));
    dark = settings.value(QStringLiteral("dark-color"), false).toBool();
    settings.endGroup();
  }

  connect(ui->checkBoxCustom, &QCheckBox::stateChanged, this, &PowerPanel::customChanged);
  connect(ui->listWidget, &QListWidget::itemChanged, this, &PowerPanel::itemChanged);
  connect(ui->btnStart, &QPushButton::clicked, this, &PowerPanel::start);
  connect(ui->btnStop, &QPushButton::clicked, this, &PowerPanel::stop);
  connect(ui->btnCheckPower, &QPushButton::clicked, this, &PowerPanel::checkPower);
  m_pollTimer.setInterval(PollIntervalMs);
  connect(&m_pollTimer, &QTimer::timeout, this, &PowerPanel::checkPower);

  on_changeColorTheme(dark);
  ui->btnCheckPower->setEnabled(false);
  ui->btnStart->setEnabled(false);
  ui->btnStop->setEnabled(true);
  ui->iconPWR->setPixmap(m_powerOff);

  // A child timer rather than a bare single shot, so it dies with the panel.
  auto *delay = new QTimer(this);
  delay->setSingleShot(true);
  delay->setInterval(FirstPollDelayMs);
  connect(delay, &QTimer::timeout, &m_pollTimer, qOverload<>(&QTimer::start));
  delay->start();
}

PowerPanel::~PowerPanel()
{
  delete ui;
}

void PowerPanel::setChannels()
{
  ui->listWidget->clear();
  for (auto it = ChannelInfo::m_channels.cbegin(); it != ChannelInfo::m_channels.cend(); ++it) {
    const ChannelInfo &info = it.value();
    const int channel = info.channel();
    auto *item = new QListWidgetItem(QStringLiteral("#%1: %2").arg(channel).arg(info.info().section(QLatin1Char(','), 1, 1)));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(Qt::UserRole, channel);
    ui->listWidget->addItem(item);
  }
  addSampleRateItems();
}

QString PowerPanel::rateLabel(int rate) const
{
  return QStringLiteral(" %1 %2").arg(rate).arg(QCoreApplication::translate("MainWindow", "Hz"));
}

void PowerPanel::addSampleRateItems()
{
  ui->comboBoxSampleRate->clear();
  for (int rate : SampleRates)
    ui->comboBoxSampleRate->addItem(rateLabel(rate), QString::number(rate));
  ui->comboBoxSampleRate->setCurrentIndex(0);
}

QList<int> PowerPanel::channels() const
{
  QList<int> rows;
  for (int row = 0; row < ui->listWidget->count(); ++row) {
    if (ui->listWidget->item(row)->checkState() == Qt::Checked)
      rows.append(row);
  }
  return rows;
}

bool PowerPanel::isFahrentheit() const
{
  return ui->checkBoxTemperature->isChecked();
}

bool PowerPanel::isCustom() const
{
  return ui->checkBoxCustom->isChecked();
}

void PowerPanel::enableLogControls(bool enable)
{
  // The window decodes every frame with channels() and isFahrentheit(): they
  // must not change while a log runs.
  ui->btnStart->setEnabled(enable);
  ui->btnCheckPower->setEnabled(enable);
  ui->checkBoxTemperature->setEnabled(enable);
  ui->groupBoxChannels->setEnabled(enable);
  ui->groupBoxSampleRate->setEnabled(enable);
}

void PowerPanel::start()
{
  const QList<int> rows = channels();
  if (rows.isEmpty())
    return;
  if (rows.last() > MaxCommandChannel) {
    qDebug() << "PowerPanel::start: channel row" << rows.last() << "cannot be named in a log command";
    return;
  }
  const QString rate = isCustom() ? QString::number(ui->spinBoxSampleRate->value())
                                  : ui->comboBoxSampleRate->currentData().toString();
  if (rate.isEmpty())
    return;
  enableLogControls(false);

  QString command = QStringLiteral("LOG") + rate + QLatin1Char('C');
  for (int row : rows)
    command += QString::number(row, 16).toUpper();
  command += QLatin1Char('\n');

  const QString previous = m_rate;
  m_rate = rate;
  emit startPowerLog(command);
  // The window marks the log as running once it has begun; when it refused
  // (no working file, no device) nothing runs and the controls come back.
  if (!Helpers::isMeasuring) {
    m_rate = previous;
    enableLogControls(true);
  }
}

void PowerPanel::stop()
{
  emit stopPowerLog(LogStop);
  ui->checkBoxTemperature->setEnabled(true);
  ui->groupBoxChannels->setEnabled(true);
  ui->groupBoxSampleRate->setEnabled(true);
  stopLog();
}

void PowerPanel::stopLog()
{
}

void PowerPanel::checkPower()
{
  if (!Helpers::isMeasuring)
    emit requestPowerStatus(PowerQuery);
}

void PowerPanel::responsePowerStatus(bool on)
{
  // An answer to a poll sent just before Start must not offer a second start.
  ui->btnStart->setEnabled(on && !Helpers::isMeasuring);
  ui->btnCheckPower->setEnabled(true);
  ui->iconPWR->setPixmap(on ? m_powerOn : m_powerOff);
}

void PowerPanel::logFinished()
{
  enableLogControls(true);
}

void PowerPanel::logFailed(const QString &reply)
{
  enableLogControls(true);
  Helpers::isMeasuring = false;
  qDebug().noquote() << QStringLiteral("PowerPanel::logFailed: ") + reply;
}

void PowerPanel::customChanged(int state)
{
  const bool custom = state == Qt::Checked;
  ui->comboBoxSampleRate->setEnabled(!custom);
  ui->spinBoxSampleRate->setEnabled(custom);
}

void PowerPanel::itemChanged(QListWidgetItem *item)
{
  if (!item || item->checkState() == Qt::Unchecked)
    return;
  int checked = 0;
  for (int row = 0; row < ui->listWidget->count(); ++row) {
    if (ui->listWidget->item(row)->checkState() == Qt::Checked)
      ++checked;
  }
  if (checked > MaxChannels) {
    const QSignalBlocker blocker(ui->listWidget);
    item->setCheckState(Qt::Unchecked);
  }
}

void PowerPanel::updateControls(SwapFileHeader header)
{
  ui->checkBoxTemperature->setChecked(header.fahrenheit == 1);

  // The count comes from the file: read no further than the model's list.
  const bool v2 = Helpers::powerV2Mode;
  const quint8 *list = v2 ? header.channelList32 : header.channelList;
  const int length = v2 ? int(sizeof(header.channelList32)) : int(sizeof(header.channelList));
  const int count = std::min(int(header.channelCount), length);
  for (int k = 0; k < count; ++k) {
    const int row = list[k];
    if (row < ui->listWidget->count())
      ui->listWidget->item(row)->setCheckState(Qt::Checked);
  }

  // A damaged divider gives no rate; the rate controls stay as they are.
  if (header.divider < 1)
    return;
  const int rate = int(1.0 / (header.divider * 0.0001));
  if (header.custom == 1) {
    ui->checkBoxCustom->setChecked(true);
    ui->spinBoxSampleRate->setValue(rate);
    return;
  }
  const int index = ui->comboBoxSampleRate->findText(rateLabel(rate), Qt::MatchExactly);
  if (index >= 0)
    ui->comboBoxSampleRate->setCurrentIndex(index);
}

void PowerPanel::on_changeColorTheme(bool dark)
{
  QIcon play;
  QIcon stop;
  if (dark) {
    play.addFile(QStringLiteral(":/res/play-white.png"), QSize(), QIcon::Normal);
    play.addFile(QStringLiteral(":/res/play-gray.png"), QSize(), QIcon::Disabled);
    stop.addFile(QStringLiteral(":/res/stop-white.png"), QSize(), QIcon::Normal);
    stop.addFile(QStringLiteral(":/res/stop-gray.png"), QSize(), QIcon::Disabled);
  } else {
    play.addFile(QStringLiteral(":/res/play-black.png"), QSize(), QIcon::Normal);
    stop.addFile(QStringLiteral(":/res/stop-black.png"), QSize(), QIcon::Normal);
  }
  ui->btnStart->setIcon(play);
  ui->btnStop->setIcon(stop);
}
