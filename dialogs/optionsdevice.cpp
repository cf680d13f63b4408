// The power supply's settings block: controls, sends, JSON files.
#include "dialoghooks.h"
#include "helpers.h"
#include "hiddevice.h"
#include "optionsdialog.h"
#include "powerdisplay.h"
#include "settings.h"
#include "ui_optionsdialog.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const kDateFormats[] = {"yyyy-MM-dd", "dd/MM/yyyy", "dd.MM.yyyy", "MM/dd/yyyy"};
constexpr int MaxFieldCode = 21; // the largest code of the display-field table
constexpr int FieldBytes[] = {20, 23, 26, 29};
// Of the flag bytes 0 to 2, the bits the page's boxes stand for.
constexpr uchar PageBits[] = {0x1F, 0x0F, 0x1F};
// The other bytes an import takes: the values of the page's controls.
constexpr int PageBytes[] = {3, 4, 6, 7, 8, 9, 10, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31};
constexpr int TuneByte = 32;
constexpr int ActionByte = 54;
constexpr int ClockByte = 55;

enum Action : unsigned char { Apply = 0x01, Store = 0x02, ApplyStore = 0x03, Defaults = 0x04, SetClock = 0x08 };

// Opens `file` for reading when it is a regular file; otherwise says why
// not. A pipe or a device could feed anything, and opening a pipe waits for
// a writer for ever: the file is opened without waiting and checked again
// on what was opened, as its name may lead elsewhere by then.
QString openRegularFile(QFile &file)
{
  const QString notRegular = OptionsDialog::tr("not a regular file");
  if (!QFileInfo(file.fileName()).isFile())
    return notRegular;
  const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return qt_error_string(errno);
  struct stat status = {};
  QString reason;
  if (::fstat(fd, &status) != 0)
    reason = qt_error_string(errno);
  else if (!S_ISREG(status.st_mode))
    reason = notRegular;
  if (!reason.isEmpty()) {
    ::close(fd); // nothing was read: a failed close loses nothing
    return reason;
  }
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return file.errorString();
  }
  return QString();
}

bool validTime(int hour, int minute)
{
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59;
}

bool knownFields(const PowerGetPacket &p, int first)
{
  for (int i = 0; i < 3; ++i) {
    if (p.block(first + i) > MaxFieldCode)
      return false;
  }
  return true;
}

void setBit(PowerGetPacket &p, int k, unsigned char bit, bool on)
{
  p.setBlock(k, on ? (p.block(k) | bit) : (p.block(k) & ~bit));
}

// A JSON value as the file has it, cut short: a damaged file's may be long.
QString jsonText(const QJsonValue &value)
{
  QString text = QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact));
  text = text.mid(1, text.size() - 2);
  if (text.size() > 40)
    text = text.left(40) + QChar(0x2026);
  return text;
}

} // namespace

QString OptionsDialog::checkJson(const QJsonObject &object)
{
  const QJsonObject model = PowerGetPacket().toJson();
  for (auto it = model.begin(); it != model.end(); ++it) {
    const QJsonValue value = object.value(it.key());
    if (value.type() != it.value().type())
      return it.key();
  }
  if (object.value(QLatin1String("command")).toDouble() != PowerPacket::Settings)
    return QStringLiteral("command");
  // Only what the controls can hold is taken, so that the page shows what
  // will be written: no reserved bit, no value a box or a preview lacks.
  static const QRegularExpression bits(QStringLiteral("^[01]{8}$"));
  const char *const bitmaps[] = {"bitmap1", "bitmap2", "bitmap3"};
  for (int k = 0; k < 3; ++k) {
    const QString text = object.value(QLatin1String(bitmaps[k])).toString();
    if (!bits.match(text).hasMatch() || (text.toUInt(nullptr, 2) & ~uint(PageBits[k])))
      return QLatin1String(bitmaps[k]);
  }
  const auto inRange = [](const QJsonValue &value, int low, int high) {
    const double v = value.toDouble(-1);
    return value.isDouble() && v >= low && v <= high && v == std::floor(v);
  };
  const struct
  {
    const char *key;
    int low, high;
  } values[] = {{"auto_off_ampers", 0, 255}, {"auto_off_after", 0, 255}, {"auto_on_hours", 0, 23},
                {"auto_on_minutes", 0, 59},  {"auto_off_hours", 0, 23},  {"auto_off_minutes", 0, 59},
                {"date_format", 0, 3},       {"slide_show_sec", 1, 255}};
  for (const auto &v : values) {
    if (!inRange(object.value(QLatin1String(v.key)), v.low, v.high))
      return QLatin1String(v.key);
  }
  for (const char *key : {"total", "power", "aux", "site"}) {
    const QJsonArray codes = object.value(QLatin1String(key)).toArray();
    if (codes.size() != 3)
      return QLatin1String(key);
    for (const QJsonValue &code : codes) {
      if (!inRange(code, 0, MaxFieldCode))
        return QLatin1String(key);
    }
  }
  return QString();
}

bool OptionsDialog::supplyOpen() const
{
  const HidDevice *link = HidDevice::instance();
  return (Helpers::powerMode || Helpers::powerV2Mode) && link->isOpen() &&
         !link->serial().startsWith(QLatin1String("5001"));
}

void OptionsDialog::setPowerMode()
{
  if (!HidDevice::instance()->isOpen())
    return;
  m_powerPage = true;
  ui->tabWidget->setTabVisible(1, true);
  ui->tabWidget->setCurrentIndex(1);

  connect(&m_timer, &QTimer::timeout, this,
          [this] { ui->dateTimeEditSyncPC_2->setDateTime(DialogHooks::currentDateTime()); });
  m_timer.start(10000);

  ui->checkBoxF_2->setText(tr("Temperature, %1F").arg(QChar(0x00B0)));
  ui->dateTimeEditOn_2->setDisplayFormat(QStringLiteral("hh:mm"));
  ui->dateTimeEditOff_2->setDisplayFormat(QStringLiteral("hh:mm"));
  for (const char *format : kDateFormats)
    ui->comboBoxDateFormatPC_2->addItem(QLatin1String(format));
  ui->comboBoxDateFormatPC_2->setCurrentIndex(1);
  for (QDateTimeEdit *edit : {ui->dateTimeEditSyncPC_2, ui->dateTimeEditSyncDevice_2}) {
    edit->setDisplayFormat(QStringLiteral("hh:mm MM/dd/yyyy"));
    edit->setDateTime(DialogHooks::currentDateTime());
  }

  connect(ui->comboBoxDateFormatPC_2, &QComboBox::currentIndexChanged, this, &OptionsDialog::dateFormatChanged);
  connect(ui->checkBox24h_2, &QCheckBox::clicked, this, &OptionsDialog::format24hChecked);
  connect(ui->checkBoxF_2, &QCheckBox::clicked, this, [this](bool checked) {
    m_dataPacket.setCelsius(!checked);
    for (PowerDisplay *d : {ui->labelShowTotal_2, ui->labelShowMain_2, ui->labelShowAux_2, ui->labelShowUser_2})
      d->adjustFormats();
  });
  fillShowOptions();

  ui->radioButtonDigital_2->setChecked(true);
  ui->checkBox24h_2->setChecked(true);
  ui->checkBoxF_2->setChecked(false);
  // The threshold byte holds tenths of an ampere.
  ui->doubleSpinBoxAmpers_2->setMaximum(25.5);
  ui->doubleSpinBoxAmpers_2->setValue(0.1);
  ui->spinBoxMinutes_2->setValue(1);

  connect(ui->pushButtonApply_2, &QPushButton::clicked, this, [this] { sendAction(Apply, true); });
  connect(ui->pushButtonSave_2, &QPushButton::clicked, this, [this] { sendAction(ApplyStore, true); });
  connect(ui->pushButtonSync_2, &QPushButton::clicked, this, [this] { sendAction(SetClock, true); });
  connect(ui->pushButtonDefaults_2, &QPushButton::clicked, this, [this] { sendAction(Defaults, false); });
  connect(ui->pushButtonExport_2, &QPushButton::clicked, this, &OptionsDialog::on_export);
  connect(ui->pushButtonImport_2, &QPushButton::clicked, this, &OptionsDialog::on_import);
  // The page follows the supply on the link: a block goes with its supply.
  connect(HidDevice::instance(), &HidDevice::deviceDisconnected, this, &OptionsDialog::dropBlock);
  connect(HidDevice::instance(), &HidDevice::deviceConnected, this, &OptionsDialog::supplyArrived);

  if (!m_display) {
    m_display = new PowerDisplay(this);
    m_display->hide();
  }
  const struct
  {
    PowerDisplay *preview;
    QList<QString> texts;
  } initial[] = {
    {ui->labelShowUser_2, {tr("SITE"), QStringLiteral("NONE"), QStringLiteral("NONE"), QStringLiteral("NONE")}},
    {ui->labelShowTotal_2, {tr("TOTAL"), QStringLiteral("NONE"), QStringLiteral("NONE"), QStringLiteral("NONE")}},
    {ui->labelShowMain_2, {tr("POWER"), QStringLiteral("NONE"), QStringLiteral("NONE"), QStringLiteral("LOAD")}},
    {ui->labelShowAux_2, {tr("AUX"), QStringLiteral("NONE"), QStringLiteral("NONE"), QStringLiteral("USB C")}},
  };
  for (const auto &i : initial) {
    i.preview->setDataPacket(&m_dataPacket);
    QList<QString> texts = i.texts;
    m_display->update(texts);
    i.preview->setPixmap(QPixmap::fromImage(m_display->image()));
  }
  m_packet.init();
  markUnshown();
}

void OptionsDialog::fillShowOptions()
{
  const struct
  {
    PowerDisplay *preview;
    int kind;
    QString title;
  } screens[] = {
    {ui->labelShowTotal_2, 2, tr("TOTAL")},
    {ui->labelShowMain_2, 4, tr("POWER")},
    {ui->labelShowAux_2, 8, tr("AUX")},
    {ui->labelShowUser_2, 16, tr("SITE")},
  };
  for (const auto &s : screens) {
    s.preview->setMenu(s.kind);
    s.preview->setTopText(s.title);
  }
}

void OptionsDialog::preparePacket()
{
  preparePacket(m_packet);
}

void OptionsDialog::preparePacket(PowerGetPacket &p)
{
  // Built on the block the supply sent: bytes and bits the page does not
  // show go back as received, and so do values the controls could not show.
  if (&p != &m_packet)
    p.set(m_packet.data(), Packet::ImageSize);

  setBit(p, 0, 0x01, ui->checkBoxLongtouch_2->isChecked());
  setBit(p, 0, 0x04, ui->checkBoxAutoSwitchMinutes_2->isChecked());
  setBit(p, 0, 0x10, ui->checkBoxAutoSwitchOff_2->isChecked());
  setBit(p, 0, 0x08, ui->checkBoxAutoSwitchOn_2->isChecked());
  setBit(p, 0, 0x02, ui->checkBoxRestoreOutput_2->isChecked());
  setBit(p, 1, 0x08, ui->checkBox24h_2->isChecked());

  if (writes(KeptOn)) {
    p.setBlock(6, uchar(ui->dateTimeEditOn_2->time().hour()));
    p.setBlock(7, uchar(ui->dateTimeEditOn_2->time().minute()));
  }
  if (writes(KeptOff)) {
    p.setBlock(8, uchar(ui->dateTimeEditOff_2->time().hour()));
    p.setBlock(9, uchar(ui->dateTimeEditOff_2->time().minute()));
  }
  // Rounded: 2.3 A is 22.999... tenths in binary.
  p.setBlock(3, uchar(qBound(0L, std::lround(ui->doubleSpinBoxAmpers_2->value() * 10.0), 255L)));
  p.setBlock(4, uchar(ui->spinBoxMinutes_2->value()));
  p.setBlock(5, uchar(qint8(DialogHooks::currentDateTime().offsetFromUtc() / 3600)));
  const int format = ui->comboBoxDateFormatPC_2->currentIndex();
  if (writes(KeptFormat) && format >= 0 && format <= 3)
    p.setBlock(10, uchar(format));

  setBit(p, 1, 0x01, ui->groupBoxTime_3->isChecked());
  setBit(p, 1, 0x04, !ui->checkBoxF_2->isChecked());
  setBit(p, 1, 0x02, ui->radioButtonDigital_2->isChecked());

  setBit(p, 2, 0x01, ui->checkBoxShowStatusInterval_2->isChecked());
  setBit(p, 2, 0x02, ui->checkBoxShowTotal_2->isChecked());
  setBit(p, 2, 0x04, ui->checkBoxShowMain_2->isChecked());
  setBit(p, 2, 0x08, ui->checkBoxShowAux_2->isChecked());
  setBit(p, 2, 0x10, ui->checkBoxShowUser_2->isChecked());
  if (writes(KeptInterval))
    p.setBlock(19, uchar(ui->spinBoxShowInterval_2->value()));

  const PowerDisplay *previews[] = {ui->labelShowTotal_2, ui->labelShowMain_2, ui->labelShowAux_2,
                                    ui->labelShowUser_2};
  for (int s = 0; s < 4; ++s) {
    if (!writes(KeptFields + s))
      continue;
    const QList<int> codes = previews[s]->fieldIds();
    for (int i = 0; i < 3 && i < codes.size(); ++i)
      p.setBlock(FieldBytes[s] + i, uchar(codes.at(i)));
  }
  if (Helpers::powerV2Mode)
    p.setBlock(TuneByte, uchar(ui->spinBoxTune12->value()));
}

QString OptionsDialog::controlValue(int control) const
{
  switch (control) {
  case KeptOn:
    return ui->dateTimeEditOn_2->time().toString(QStringLiteral("hh:mm"));
  case KeptOff:
    return ui->dateTimeEditOff_2->time().toString(QStringLiteral("hh:mm"));
  case KeptFormat:
    return QString::number(ui->comboBoxDateFormatPC_2->currentIndex());
  case KeptInterval:
    return QString::number(ui->spinBoxShowInterval_2->value());
  default: {
    const PowerDisplay *previews[] = {ui->labelShowTotal_2, ui->labelShowMain_2, ui->labelShowAux_2,
                                      ui->labelShowUser_2};
    QString codes;
    for (int code : previews[control - KeptFields]->fieldIds())
      codes += QString::number(code) + QLatin1Char(',');
    return codes;
  }
  }
}

bool OptionsDialog::unshowable(int control) const
{
  const PowerGetPacket &p = m_packet;
  switch (control) {
  case KeptOn:
    return !validTime(p.block(6), p.block(7));
  case KeptOff:
    return !validTime(p.block(8), p.block(9));
  case KeptFormat:
    return p.block(10) > 3;
  case KeptInterval:
    return p.block(19) == 0;
  default:
    return !knownFields(p, FieldBytes[control - KeptFields]);
  }
}

void OptionsDialog::markUnshown()
{
  for (int c = 0; c < KeptCount; ++c) {
    Kept &k = m_kept[c];
    if (!unshowable(c)) {
      k.kept = false;
      continue;
    }
    // A control the user changed stays changed until the block shows a value.
    if (!k.kept || controlValue(c) == k.shown)
      k.shown = controlValue(c);
    k.kept = true;
  }
}

bool OptionsDialog::writes(int control) const
{
  // Only a supply's own block has values to keep; without one the page's count.
  if (!m_firstReceived || !unshowable(control))
    return true;
  const Kept &k = m_kept[control];
  return k.kept && controlValue(control) != k.shown;
}

void OptionsDialog::parsePacket()
{
  const PowerGetPacket &p = m_packet;
  ui->checkBoxLongtouch_2->setChecked(p.block(0) & 0x01);
  ui->checkBoxRestoreOutput_2->setChecked(p.block(0) & 0x02);
  ui->checkBoxAutoSwitchMinutes_2->setChecked(p.block(0) & 0x04);
  ui->checkBoxAutoSwitchOn_2->setChecked(p.block(0) & 0x08);
  ui->checkBoxAutoSwitchOff_2->setChecked(p.block(0) & 0x10);
  ui->checkBox24h_2->setChecked(p.block(1) & 0x08);
  format24hChecked(p.block(1) & 0x08);

  // A value the controls cannot hold is left out; it stays in the block.
  if (!unshowable(KeptOn))
    ui->dateTimeEditOn_2->setTime(QTime(p.block(6), p.block(7)));
  if (!unshowable(KeptOff))
    ui->dateTimeEditOff_2->setTime(QTime(p.block(8), p.block(9)));
  ui->doubleSpinBoxAmpers_2->setValue(p.block(3) / 10.0);
  ui->spinBoxMinutes_2->setValue(p.block(4));

  ui->groupBoxTime_3->setChecked(p.block(1) & 0x01);
  ui->checkBoxF_2->setChecked(!(p.block(1) & 0x04));
  ui->radioButtonDigital_2->setChecked(p.block(1) & 0x02);
  ui->radioButtonClassic_2->setChecked(!(p.block(1) & 0x02));
  if (!unshowable(KeptFormat))
    ui->comboBoxDateFormatPC_2->setCurrentIndex(p.block(10));

  ui->dateTimeEditSyncPC_2->setDateTime(DialogHooks::currentDateTime());

  ui->checkBoxShowStatusInterval_2->setChecked(p.block(2) & 0x01);
  ui->checkBoxShowTotal_2->setChecked(p.block(2) & 0x02);
  ui->checkBoxShowMain_2->setChecked(p.block(2) & 0x04);
  ui->checkBoxShowAux_2->setChecked(p.block(2) & 0x08);
  ui->checkBoxShowUser_2->setChecked(p.block(2) & 0x10);
  if (!unshowable(KeptInterval))
    ui->spinBoxShowInterval_2->setValue(p.block(19));
  showReadings();

  PowerDisplay *previews[] = {ui->labelShowTotal_2, ui->labelShowMain_2, ui->labelShowAux_2, ui->labelShowUser_2};
  for (int s = 0; s < 4; ++s) {
    if (!unshowable(KeptFields + s))
      previews[s]->applyFields({p.block(FieldBytes[s]), p.block(FieldBytes[s] + 1), p.block(FieldBytes[s] + 2)});
  }
  if (Helpers::powerV2Mode)
    ui->spinBoxTune12->setValue(p.block(TuneByte));
  markUnshown();
  // The block's temperature unit, as its box now shows it.
  m_dataPacket.setCelsius(!ui->checkBoxF_2->isChecked());
  for (PowerDisplay *d : previews)
    d->adjustFormats();
  if (m_firstReceived)
    m_blockShown = true;
}

void OptionsDialog::showReadings()
{
  ui->dateTimeEditSyncDevice_2->setTimeSpec(Qt::LocalTime);
  ui->dateTimeEditSyncDevice_2->setDateTime(QDateTime::fromSecsSinceEpoch(m_dataPacket.clockSeconds()));
  const struct
  {
    QLabel *label;
    int byte;
  } usb[] = {{ui->labelUSB1, 4}, {ui->labelUSB2, 38}, {ui->labelUSB3, 41}, {ui->labelUSB4, 44}};
  for (int i = 0; i < 4; ++i) {
    usb[i].label->setText(QStringLiteral("USB%1 ").arg(i + 1) +
                          QStringLiteral("%1V").arg(m_dataPacket.block(usb[i].byte) / 10.0, 0, 'f', 1));
  }
}

void OptionsDialog::on_paketReceived(PowerGetPacket &packet)
{
  const QString serial = HidDevice::instance()->serial();
  if (m_firstReceived && serial != m_blockSerial)
    dropBlock();
  m_packet = packet;
  m_packet.set(2, uchar(PowerPacket::Settings));
  m_blockSerial = serial;
  if (!m_firstReceived) {
    m_firstPacket = m_packet;
    m_firstReceived = true;
  }
}

void OptionsDialog::dropBlock()
{
  // Nothing of the supply that went stays to be shown, compared or written;
  // the controls keep their values until the next supply's block.
  m_packet.init();
  m_firstPacket.init();
  m_firstReceived = false;
  m_blockShown = false;
  m_blockSerial.clear();
  for (Kept &k : m_kept)
    k = Kept();
  m_dataPacket.set(PowerDataPacket().data(), Packet::ImageSize);
  showReadings();
  ui->labelSerial->setText(tr("Serial number: "));
  ui->labelVersion->setText(tr("Version: "));
}

void OptionsDialog::supplyArrived()
{
  // A supply that went unseen takes its block along all the same.
  if (m_firstReceived && m_blockSerial != HidDevice::instance()->serial())
    dropBlock();
  if (m_firstReceived || Helpers::isUpdating || !supplyOpen())
    return;
  PowerGetPacket request;
  HidDevice::instance()->sendPacket(request);
}

bool OptionsDialog::holdsBlock() const
{
  const HidDevice *link = HidDevice::instance();
  return m_firstReceived && link->isOpen() && link->serial() == m_blockSerial;
}

void OptionsDialog::on_paketDataReceived(PowerDataPacket &packet)
{
  m_dataPacket.set(packet.data(), Packet::ImageSize);
  parsePacket();
  ui->labelSerial->setText(tr("Serial number: ") + HidDevice::instance()->serial());
  ui->labelVersion->setText(tr("Version: ") + m_dataPacket.version());
  ui->firmwareVersion->setText(m_dataPacket.version());
}

void OptionsDialog::dateFormatChanged()
{
  m_dataPacket.setDateFormat(ui->comboBoxDateFormatPC_2->currentText());
  const QString time = ui->checkBox24h_2->isChecked() ? QStringLiteral("hh:mm ") : QStringLiteral("hh:mm ap ");
  ui->dateTimeEditSyncPC_2->setDisplayFormat(time + ui->comboBoxDateFormatPC_2->currentText());
  ui->dateTimeEditSyncDevice_2->setDisplayFormat(time + ui->comboBoxDateFormatPC_2->currentText());
  for (PowerDisplay *d : {ui->labelShowTotal_2, ui->labelShowMain_2, ui->labelShowAux_2, ui->labelShowUser_2})
    d->adjustFormats();
}

void OptionsDialog::format24hChecked(bool on)
{
  m_dataPacket.setClock24(on);
  const QString time = on ? QStringLiteral("hh:mm ") : QStringLiteral("hh:mm ap ");
  ui->dateTimeEditOn_2->setDisplayFormat(time);
  ui->dateTimeEditOff_2->setDisplayFormat(time);
  ui->dateTimeEditSyncPC_2->setDisplayFormat(time + ui->comboBoxDateFormatPC_2->currentText());
  ui->dateTimeEditSyncDevice_2->setDisplayFormat(time + ui->comboBoxDateFormatPC_2->currentText());
  for (PowerDisplay *d : {ui->labelShowTotal_2, ui->labelShowMain_2, ui->labelShowAux_2, ui->labelShowUser_2})
    d->adjustFormats();
}

bool OptionsDialog::sendAction(unsigned char action, bool prepare)
{
  if (!supplyOpen()) {
    DialogHooks::ask(this, DialogHooks::Warning, tr("Warning"), tr("Device disconnected"));
    return false;
  }
  // Without the supply's own block the bytes the page does not show are
  // unknown, and another supply's are not this one's.
  if (!holdsBlock()) {
    DialogHooks::ask(this, DialogHooks::Warning, tr("Warning"),
                     tr("The power supply has not sent its settings yet. Nothing was written."));
    return false;
  }
  if (prepare)
    preparePacket();
  PowerSetPacket out;
  out.set(m_packet.data(), Packet::ImageSize);
  out.set(0, PowerPacket::ReportId);
  out.set(1, PowerPacket::FullSize);
  out.set(2, uchar(PowerPacket::SettingsWrite));
  out.setBlock(ActionByte, action);
  quint32 clock = 0;
  if (action == SetClock)
    clock = quint32(quint64(DialogHooks::currentDateTime().toSecsSinceEpoch()) & 0xFFFFFFFFu);
  out.writeU32(out.payloadOffset() + ClockByte, clock);
  const int written = HidDevice::instance()->sendPacket(out);
  if (written <= 0) {
    DialogHooks::ask(this, DialogHooks::Warning, tr("Warning"),
                     written == 0 ? tr("Device disconnected")
                                  : tr("The settings could not be written to the power supply."));
    return false;
  }
  // What the supply stored is what an unchanged page now matches.
  if (action & Store)
    m_firstPacket = m_packet;
  return true;
}

void OptionsDialog::closeEvent(QCloseEvent *event)
{
  // Only a page that showed the supply's own block has edits to lose.
  if (!m_powerPage || !m_blockShown) {
    announceColors();
    event->accept();
    return;
  }
  preparePacket();
  if (std::equal(m_packet.data(), m_packet.data() + Packet::ImageSize, m_firstPacket.data())) {
    announceColors();
    event->accept();
    return;
  }
  const int answer = DialogHooks::ask(this, DialogHooks::Warning, tr("Close"), tr("Settings are not saved. Save now?"),
                                      QMessageBox::Yes | QMessageBox::No);
  if (answer == QMessageBox::Yes)
    sendAction(Store, true);
  announceColors();
  event->accept();
}

void OptionsDialog::on_export()
{
  preparePacket();
  const QByteArray json = QJsonDocument(m_packet.toJson()).toJson(QJsonDocument::Indented);
  const QString folder = Settings().value(QStringLiteral("Main/save-path"), Settings::localDataDir()).toString();
  const QString name = QStringLiteral("kelvero-power-") +
                       DialogHooks::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")) +
                       QStringLiteral(".json");
  const QString path = DialogHooks::chooseFile(this, DialogHooks::SaveFile, tr("Export settings to JSON"),
                                               QDir(folder).absoluteFilePath(name), QStringLiteral("*.json"));
  if (path.isEmpty())
    return;
  Settings().setValue(QStringLiteral("Main/save-path"), QFileInfo(path).absolutePath());
  // Written aside and renamed: a failed write leaves an older file whole.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
    DialogHooks::ask(this, DialogHooks::Warning, tr("Export settings to JSON"),
                     tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
  }
}

void OptionsDialog::on_import()
{
  const QString folder = Settings().value(QStringLiteral("Main/save-path"), Settings::localDataDir()).toString();
  const QString path = DialogHooks::chooseFile(this, DialogHooks::OpenFile, tr("Import settings from JSON"), folder,
                                               QStringLiteral("*.json"));
  if (path.isEmpty())
    return;
  Settings().setValue(QStringLiteral("Main/save-path"), QFileInfo(path).absolutePath());
  const QString title = tr("Import settings from JSON");
  const QString shown = QDir::toNativeSeparators(path);
  QFile file(path);
  if (const QString reason = openRegularFile(file); !reason.isEmpty()) {
    DialogHooks::ask(this, DialogHooks::Warning, title, tr("Cannot read %1: %2").arg(shown, reason));
    return;
  }
  if (file.size() > MaxImportSize) {
    DialogHooks::ask(this, DialogHooks::Warning, title, tr("%1 is too large for a settings file.").arg(shown));
    return;
  }
  const QByteArray bytes = file.read(MaxImportSize + 1);
  if (bytes.size() > MaxImportSize) {
    DialogHooks::ask(this, DialogHooks::Warning, title, tr("%1 is too large for a settings file.").arg(shown));
    return;
  }
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError) {
    qDebug() << "Library::load()" << error.errorString() << error.offset;
    DialogHooks::ask(this, DialogHooks::Warning, title,
                     tr("%1 is not a JSON document: %2 at offset %3.").arg(shown, error.errorString()).arg(error.offset));
    return;
  }
  if (!document.isObject()) {
    DialogHooks::ask(this, DialogHooks::Warning, title, tr("%1 holds no settings object.").arg(shown));
    return;
  }
  const QJsonObject object = document.object();
  if (const QString bad = checkJson(object); !bad.isEmpty()) {
    const QJsonValue value = object.value(bad);
    DialogHooks::ask(this, DialogHooks::Warning, title,
                     value.isUndefined()
                       ? tr("%1 is not a power supply settings file: the value of \"%2\" is missing or out of range. "
                            "Nothing was changed.")
                           .arg(shown, bad)
                       : tr("%1 cannot be imported: the value %3 of \"%2\" is out of range. Nothing was changed.")
                           .arg(shown, bad, jsonText(value)));
    return;
  }
  // The file gives what the page shows; the block's other bytes and bits
  // stay those of the supply it was read from.
  PowerGetPacket imported = m_packet;
  imported.fromJson(object);
  for (int k = 0; k < 3; ++k)
    m_packet.setBlock(k, uchar((m_packet.block(k) & ~PageBits[k]) | (imported.block(k) & PageBits[k])));
  for (int k : PageBytes)
    m_packet.setBlock(k, imported.block(k));
  parsePacket();
}
