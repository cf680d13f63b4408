#include "optionsdialog.h"
#include "colorsagent.h"
#include "dialoghooks.h"
#include "helpers.h"
#include "hiddevice.h"
#include "powerdisplay.h"
#include "settings.h"
#include "ui_optionsdialog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>

namespace {

QString buildDate()
{
  return QStringLiteral(__DATE__).simplified();
}

} // namespace

OptionsDialog::OptionsDialog(Updater *updater, QWidget *parent)
  : QDialog(parent)
  , ui(new Ui::OptionsDialog)
  , m_updater(updater)
{
  ui->setupUi(this);

  ui->tabWidget->setTabVisible(1, false);
  ui->tabWidget->setCurrentIndex(0);
  ui->groupBoxTune12->setVisible(Helpers::powerV2Mode);

  fillSWInfo();
  fillFWInfo();

  Settings settings;
  settings.beginGroup(QStringLiteral("Options"));
  ui->labelFullName->setText(QCoreApplication::applicationName());
  versionLines();

  const bool dark = settings.value(QStringLiteral("dark-color"), false).toBool();
  ui->radioButtonDark->setChecked(dark);
  connect(ui->radioButtonDark, &QRadioButton::toggled, this, &OptionsDialog::themeToggled);
  ui->radioButtonLight->setChecked(!dark);

  connect(ui->btnColorBkg, &QPushButton::clicked, this, &OptionsDialog::pickBackground);
  connect(ui->btnColor0, &QPushButton::clicked, this, [this] { pickColor(0); });
  connect(ui->btnColor1, &QPushButton::clicked, this, [this] { pickColor(1); });
  connect(ui->btnColor2, &QPushButton::clicked, this, [this] { pickColor(2); });
  for (QRadioButton *radio :
       {ui->radioButtonAll, ui->radioButtonChart, ui->radioButtonReport, ui->radioButtonMouse}) {
    connect(radio, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked)
        paintSwatches();
    });
  }

  emit changeColorTheme(dark);
  emit changeColors();
  initColors(dark);

  const bool native = settings.value(QStringLiteral("native-time"), false).toBool();
  ui->radioButtonTime->setChecked(native);
  connect(ui->radioButtonTime, &QRadioButton::toggled, this, [this](bool checked) {
    Helpers::timeFormat = checked ? 2 : 1;
    emit timeFormatChanged();
  });
  ui->radioButtonSeconds->setChecked(!native);
  settings.endGroup();

  connect(ui->btnPreview, &QPushButton::clicked, this, &OptionsDialog::preview);
  connect(ui->comboBoxLanguages, &QComboBox::currentIndexChanged, this, &OptionsDialog::languageChanged);
  // The framework's own logo, as its about box shows it.
  ui->btnQt->setIcon(QIcon(QStringLiteral(":/qt-project.org/qmessagebox/images/qtlogo-64.png")));
  connect(ui->btnQt, &QPushButton::clicked, this, [this] { QMessageBox::aboutQt(this, tr("Qt")); });

  settings.beginGroup(QStringLiteral("Update"));
  ui->checkAutoUpdateFirm->setChecked(settings.value(QStringLiteral("auto-check-firm"), true).toBool());
  ui->checkAutoUpdateSoft->setChecked(settings.value(QStringLiteral("auto-check-soft"), true).toBool());
  const bool newSoftware = settings.value(QStringLiteral("has-new-sw"), false).toBool();
  const bool newFirmware = settings.value(QStringLiteral("has-new-fw"), false).toBool();
  m_firmwarePath = settings.value(QStringLiteral("update-path-fw")).toString();
  settings.endGroup();
  if (m_firmwarePath.isEmpty()) {
    ui->browseLine->setText(tr("Choose file"));
    ui->btnUpdateFirm->setEnabled(false);
  } else {
    ui->browseLine->setText(m_firmwarePath);
    ui->btnUpdateFirm->setEnabled(true);
  }

  connect(ui->btnBrowse, &QPushButton::clicked, this, &OptionsDialog::on_btnBrowse);
  connect(ui->btnUpdateFirm, &QPushButton::clicked, this, &OptionsDialog::on_btnUpdateFirm);
  connect(ui->btnCheckUpdateFirm, &QPushButton::clicked, this, &OptionsDialog::on_btnCheckUpdateFirm);
  connect(ui->checkAutoUpdateFirm, &QCheckBox::stateChanged, this, [this](int state) {
    Settings s;
    s.beginGroup(QStringLiteral("Update"));
    s.setValue(QStringLiteral("auto-check-firm"), state != Qt::Unchecked);
    s.endGroup();
    emit autoFWUpdatesChecked(state != Qt::Unchecked);
  });
  connect(ui->btnCheckUpdateSoft, &QPushButton::clicked, this, &OptionsDialog::on_btnCheckUpdateSoft);
  connect(ui->checkAutoUpdateSoft, &QCheckBox::stateChanged, this, [this](int state) {
    Settings s;
    s.beginGroup(QStringLiteral("Update"));
    s.setValue(QStringLiteral("auto-check-soft"), state != Qt::Unchecked);
    s.endGroup();
    emit autoSWUpdatesChecked(state != Qt::Unchecked);
  });
  connect(ui->buttonSWDetails, &QPushButton::clicked, this, [this] { showDetails(false); });
  connect(ui->buttonFWDetails, &QPushButton::clicked, this, [this] { showDetails(true); });
  connect(ui->buttonSWDownload, &QPushButton::clicked, this, &OptionsDialog::downloadSoftware);
  connect(ui->buttonFWUpdate, &QPushButton::clicked, this, &OptionsDialog::on_buttonFWUpdate);

  if (!newSoftware) {
    ui->labelSWVersionAvailable->hide();
    ui->buttonSWDetails->hide();
    ui->buttonSWDownload->hide();
  }
  if (!newFirmware) {
    ui->labelFWVersionAvailable->hide();
    ui->buttonFWDetails->hide();
    ui->buttonFWUpdate->hide();
  }
  showCheckProblem(false);
  showCheckProblem(true);

  if (Helpers::powerMode || Helpers::powerV2Mode) {
    setPowerMode();
    ui->groupBoxColors->hide();
  }
}

OptionsDialog::~OptionsDialog()
{
  {
    Settings settings;
    settings.beginGroup(QStringLiteral("Update"));
    settings.setValue(QStringLiteral("auto-check-firm"), ui->checkAutoUpdateFirm->isChecked());
    settings.setValue(QStringLiteral("auto-check-soft"), ui->checkAutoUpdateSoft->isChecked());
    settings.setValue(QStringLiteral("update-path-fw"), m_firmwarePath);
    settings.endGroup();
    settings.beginGroup(QStringLiteral("Options"));
    settings.setValue(QStringLiteral("dark-color"), ui->radioButtonDark->isChecked());
    settings.setValue(QStringLiteral("native-time"), ui->radioButtonTime->isChecked());
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.endGroup();
  }
  delete ui;
}

void OptionsDialog::setLanguages(QList<QString> languages, int index)
{
  ui->comboBoxLanguages->addItems(languages);
  ui->comboBoxLanguages->setCurrentIndex(index);
}

QString OptionsDialog::languageDataFolder()
{
  QDir dir(QCoreApplication::applicationDirPath());
  if (!dir.cdUp())
    return QDir(QCoreApplication::applicationDirPath()).canonicalPath();
  return dir.canonicalPath();
}

void OptionsDialog::done(int result)
{
  {
    Settings settings;
    settings.beginGroup(QStringLiteral("Options"));
    settings.setValue(QStringLiteral("dark-color"), ui->radioButtonDark->isChecked());
    settings.endGroup();
  }
  announceColors();
  QDialog::done(result);
}

void OptionsDialog::versionLines()
{
  ui->label_VersionNumber->setText(QStringLiteral("%1 (%2)").arg(QCoreApplication::applicationVersion(), buildDate()));
}

void OptionsDialog::changeEvent(QEvent *event)
{
  QDialog::changeEvent(event);
  if (event->type() != QEvent::LanguageChange)
    return;
  ui->retranslateUi(this);
  // The form's texts include placeholders of what was filled in since.
  fillSWInfo();
  fillFWInfo();
  ui->labelFullName->setText(QCoreApplication::applicationName());
  if (m_fwChecking)
    ui->btnCheckUpdateFirm->setText(tr("Checking"));
  if (m_swChecking)
    ui->btnCheckUpdateSoft->setText(tr("Checking"));
  if (m_firmwarePath.isEmpty())
    ui->browseLine->setText(tr("Choose file"));
  else
    ui->browseLine->setText(m_firmwarePath);
  versionLines();
  ui->labelSerial->setText(tr("Serial number: ") + HidDevice::instance()->serial());
  ui->labelVersion->setText(tr("Version: ") + m_dataPacket.version());
  showCheckProblem(false);
  showCheckProblem(true);
  if (m_powerPage)
    ui->checkBoxF_2->setText(tr("Temperature, %1F").arg(QChar(0x00B0)));
}

// ---- Appearance -------------------------------------------------------------

void OptionsDialog::initColors(bool dark)
{
  qDebug() << "OptionsDialog::initColors";
  delete m_colors; // writes the theme being left
  m_colors = new ColorsAgent(dark, this);
  paintSwatches();
}

int OptionsDialog::selectedTable() const
{
  if (ui->radioButtonReport->isChecked())
    return ColorsAgent::Report;
  if (ui->radioButtonMouse->isChecked())
    return ColorsAgent::Mouse;
  return ColorsAgent::Chart;
}

void OptionsDialog::paintSwatches()
{
  const auto paint = [](QPushButton *button, const QColor &color) {
    button->setStyleSheet(QStringLiteral("background-color: %1").arg(color.name()));
    button->setAutoFillBackground(true);
  };
  paint(ui->btnColorBkg, m_colors->background);
  const ColorsTable &table = m_colors->colors.at(selectedTable());
  paint(ui->btnColor0, table[0]);
  paint(ui->btnColor1, table[1]);
  paint(ui->btnColor2, table[2]);
}

void OptionsDialog::themeToggled(bool dark)
{
  initColors(dark);
  m_colorsPending = false;
  emit changeColorTheme(dark);
  emit changeColors();
}

void OptionsDialog::pickBackground()
{
  const QColor color = DialogHooks::chooseColor(this, m_colors->background);
  if (!color.isValid())
    return;
  m_colors->background = color;
  m_colorsPending = true;
  paintSwatches();
}

void OptionsDialog::pickColor(int index)
{
  const int table = selectedTable();
  const QColor color = DialogHooks::chooseColor(this, m_colors->colors.at(table)[index]);
  if (!color.isValid())
    return;
  if (ui->radioButtonAll->isChecked()) {
    for (ColorsTable &t : m_colors->colors)
      t[index] = color;
  } else {
    m_colors->colors[table][index] = color;
  }
  m_colorsPending = true;
  paintSwatches();
}

void OptionsDialog::preview()
{
  if (ui->radioButtonAll->isChecked()) {
    for (int i = 0; i < 3; ++i) {
      m_colors->colors[ColorsAgent::Report][i] = m_colors->colors.at(ColorsAgent::Chart)[i];
      m_colors->colors[ColorsAgent::Mouse][i] = m_colors->colors.at(ColorsAgent::Chart)[i];
    }
  }
  m_colors->save();
  m_colorsPending = false;
  emit changeColors();
}

void OptionsDialog::announceColors()
{
  // Edits kept without "Preview" reach the window once, when the dialog ends.
  if (!m_colorsPending)
    return;
  m_colors->save();
  m_colorsPending = false;
  emit changeColors();
}

void OptionsDialog::showColorDialog()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Options"));
  QColor initial(settings.value(QStringLiteral("bar-color"), QStringLiteral("#323232")).toString());
  if (!initial.isValid())
    initial = QColor(QStringLiteral("#323232"));
  const QColor color = DialogHooks::chooseColor(this, initial);
  if (color.isValid())
    settings.setValue(QStringLiteral("bar-color"), color.name());
  settings.endGroup();
}
