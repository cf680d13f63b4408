#include "navigationsettings.h"
#include "ui_navigationsettings.h"

#include "settings.h"
#include "swapfile.h"

#include <QEvent>
#include <QLocale>

NavigationSettings::NavigationSettings(SwapFileHeader &header, double *thresholds,
                                       std::tuple<int, int, double> current, QWidget *parent)
    : QDialog(parent), ui(new Ui::NavigationSettings)
{
  ui->setupUi(this);
  for (int i = 0; i < 3; ++i)
    m_thresholds[i] = thresholds ? thresholds[i] : 0;
  SwapFile::loadThresholds(m_thresholds);

  QRadioButton *buttons[3] = {ui->radioButton0, ui->radioButton1, ui->radioButton2};
  for (int c = 0; c < 3; ++c) {
    connect(buttons[c], &QRadioButton::toggled, this, [this, c](bool checked) {
      if (!checked)
        return;
      setUnit(c);
      ui->doubleSpinBox->setValue(m_thresholds[c]);
    });
  }
  connect(ui->doubleSpinBox, &QDoubleSpinBox::valueChanged, this, [this](double value) {
    const int c = checkedChannel();
    if (c >= 0)
      m_thresholds[c] = value;
  });

  int column = 0;
  for (int c = 0; c < 3; ++c) {
    const bool present = header.channelMask & (1u << c);
    buttons[c]->setEnabled(present);
    if (present)
      m_columns.insert(c, column++);
  }
  const int channel = std::get<0>(current);
  if (channel >= 0 && channel < 3)
    buttons[channel]->setChecked(true);
  ui->doubleSpinBox->setValue(std::get<2>(current));
}

NavigationSettings::~NavigationSettings()
{
  storeThresholds(m_thresholds);
  delete ui;
}

int NavigationSettings::checkedChannel() const
{
  if (ui->radioButton0->isChecked())
    return 0;
  if (ui->radioButton1->isChecked())
    return 1;
  if (ui->radioButton2->isChecked())
    return 2;
  return -1;
}

void NavigationSettings::setUnit(int channel)
{
  ui->labelUnit->setText(channel == 0 ? tr("mA") : tr("mV"));
}

std::tuple<int, int, double> NavigationSettings::params()
{
  const int channel = ui->radioButton0->isChecked() ? 0 : ui->radioButton1->isChecked() ? 1 : 2;
  if (!m_columns.contains(channel))
    m_columns.insert(channel, 0);
  const int column = m_columns.value(channel);
  const double value = ui->doubleSpinBox->value();
  m_thresholds[channel] = value;
  storeThresholds(m_thresholds);
  return {channel, column, value};
}

void NavigationSettings::storeThresholds(const double thresholds[3])
{
  QStringList parts;
  for (int i = 0; i < 3; ++i)
    parts << QString::number(thresholds[i], 'g', QLocale::FloatingPointShortest);
  Settings settings;
  settings.beginGroup(QStringLiteral("Options"));
  settings.setValue(QStringLiteral("thresholds"), parts.join(QLatin1Char(',')));
  settings.endGroup();
}

void NavigationSettings::changeEvent(QEvent *event)
{
  QDialog::changeEvent(event);
  if (event->type() == QEvent::LanguageChange)
    ui->retranslateUi(this);
}
