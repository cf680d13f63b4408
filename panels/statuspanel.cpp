#include "statuspanel.h"
#include "ui_statuspanel.h"

#include "helpers.h"
#include "packet.h"

#include <QEvent>

#include <cmath>

StatusPanel::StatusPanel(QWidget *parent)
  : Panel(parent)
  , ui(new Ui::StatusPanel)
{
  ui->setupUi(this);
}

StatusPanel::~StatusPanel()
{
  delete ui;
}

void StatusPanel::restore()
{
  m_lit = QPixmap(QStringLiteral(":/res/bullet_ball_red.png")).scaled(16, 16);
  m_dark = QPixmap(QStringLiteral(":/res/bullet_ball_grey.png")).scaled(16, 16);
  m_lightsShown = false;
}

void StatusPanel::backup()
{
  // The panel keeps no settings.
}

void StatusPanel::on_translate()
{
  ui->retranslateUi(this);
}

void StatusPanel::changeEvent(QEvent *event)
{
  Panel::changeEvent(event);
  if (event->type() == QEvent::LanguageChange)
    ui->retranslateUi(this);
}

void StatusPanel::enableControls(bool on)
{
  if (!on) {
    const QString none = QStringLiteral("--");
    ui->textChannel0->setText(none);
    ui->textChannel1->setText(none);
    ui->textChannel2->setText(none);
    ui->textVin->setText(none);
  }
  ui->groupBox->setEnabled(true);
  ui->groupBox_2->setEnabled(true);
}

void StatusPanel::refreshChannels(QString *names, QString *values)
{
  QLabel *const nameLabels[3] = {ui->labelChannel0, ui->labelChannel1, ui->labelChannel2};
  QLabel *const valueLabels[3] = {ui->textChannel0, ui->textChannel1, ui->textChannel2};
  for (int i = 0; i < 3; ++i) {
    if (names && !names[i].isEmpty())
      nameLabels[i]->setText(names[i]);
  }
  for (int i = 0; i < 3; ++i) {
    if (values && !values[i].isEmpty())
      valueLabels[i]->setText(values[i]);
  }
}

void StatusPanel::refreshPinState()
{
  ui->iconVBAT->setPixmap(m_pinState & 0x40 ? m_lit : m_dark);
  ui->iconSYNC->setPixmap(m_pinState & 0x20 ? m_lit : m_dark);
  ui->iconOUT->setPixmap(m_pinState & 0x08 ? m_lit : m_dark);
  ui->iconVUSB->setPixmap(m_pinState & 0x80 ? m_lit : m_dark);
  ui->iconTRIG->setPixmap(m_pinState & 0x10 ? m_dark : m_lit);
  m_lightsShown = true;
}

void StatusPanel::handleErrors()
{
}

bool StatusPanel::stopOnError() const
{
  const uchar e = m_status;
  return ((e & 0x01) && (e & 0x70)) || e == 1 || e == 2;
}

void StatusPanel::update(MeasureAll &packet)
{
  // Runs for every frame inside the dispatch: the lights are only redrawn
  // when the pin state changes.
  m_status = packet.status();
  const uchar pins = packet.pinState();
  if (!m_lightsShown || pins != m_pinState) {
    m_pinState = pins;
    refreshPinState();
  }
  handleErrors();
}

void StatusPanel::showReading(QLabel *value, QLabel *name, double v, bool current, bool secondChannel)
{
  if (!std::isfinite(v)) {
    value->setText(QStringLiteral("--"));
    return;
  }
  const int d = Helpers::divider(v);
  // The prefix follows the divisor, so no reading is ever cast to int.
  const QChar prefix = current ? Helpers::unitCharA(d) : Helpers::unitCharV(d);
  value->setText(QString::number(v / d, 'f', 2));
  const QString base = name->text().section(QLatin1Char(','), 0, 0);
  // One pass: a channel name holding "%2" must stay as it is.
  QString text = (current ? QStringLiteral("%1, %2A") : QStringLiteral("%1, %2V")).arg(base, QString(prefix));
  if (secondChannel)
    text.replace(QLatin1String("#1"), QLatin1String("#2"));
  name->setText(text);
}

void StatusPanel::update(StatusControlResponse &response)
{
  if (Helpers::isMeasuring)
    return;
  m_pinState = response.data()[5];
  refreshPinState();
  showReading(ui->textChannel0, ui->labelChannel0, 1000.0 * double(response.reading(0)), true, false);
  showReading(ui->textChannel1, ui->labelChannel1, double(response.reading(1)), false, false);
  showReading(ui->textChannel2, ui->labelChannel2, double(response.reading(2)), false, true);
  const double vin = double(response.reading(3));
  ui->textVin->setText(std::isfinite(vin) ? QString::number(vin / 1000.0, 'f', 2) : QStringLiteral("--"));
}
