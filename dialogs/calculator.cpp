#include "calculator.h"
#include "helpers.h"
#include "settings.h"
#include "ui_calculator.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QToolTip>

#include <cmath>

namespace {

// Years are kept in 32 bits by the calendar split; beyond that no figure
// means anything to a user anyway.
constexpr double MaxSeconds = 2147483647.0 * 31536000.0;

QString spanUnitText(double length, double &scaled)
{
  if (length < 0.001) {
    scaled = length * 1000000.0;
    return QStringLiteral("%1s").arg(QChar(0x03BC));
  }
  if (length < 1) {
    scaled = length * 1000.0;
    return Calculator::tr("ms");
  }
  scaled = length;
  return Calculator::tr("s");
}

QString currentText(double averageMa)
{
  const double ua = averageMa * 1000.0;
  const int divider = Helpers::divider(ua);
  // The prefix follows the divider; passing it avoids casting a huge value.
  return QStringLiteral("%1%2").arg(QString::number(ua / divider, 'f', 2),
                                    QStringLiteral("%1A").arg(Helpers::unitCharA(divider)));
}

} // namespace

Calculator::Calculator(QWidget *parent)
  : Panel(parent)
  , ui(new Ui::Calculator)
{
  qRegisterMetaType<CalculatorInfo::InfoType>("CalculatorInfo::InfoType");
  setObjectName(QStringLiteral("Calculator"));
  ui->setupUi(this);
  setWindowFlags(windowFlags() | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);

  int capacity = 3000;
  {
    Settings settings;
    settings.beginGroup(QStringLiteral("Calculator"));
    bool ok = false;
    capacity = settings.value(QStringLiteral("capacity"), 3000).toInt(&ok);
    if (!ok)
      capacity = 3000;
    restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    settings.endGroup();
  }
  ui->btnCalc->hide();
  m_noSpan = ui->labelMarkers->text();
  m_noCurrent = ui->labelMarkersUnit->text();
  ui->labelError->setStyleSheet(QStringLiteral("QLabel {color: red;}"));
  // The spin box bounds a damaged stored value.
  ui->spinBoxCapacity->setValue(capacity);
  ui->spinBoxCapacity->setKeyboardTracking(true);
  ui->lineEditUser->setValidator(
    new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[0-9]+(?:\\.[0-9]+)?$")), this));
  ui->lineEditWorking->setValidator(
    new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-9][0-9]*")), this));
  ui->lineEditWorking->setEnabled(false);
  ui->radioButtonUser->setChecked(true);

  for (int type = CalculatorInfo::Markers; type <= CalculatorInfo::User; ++type) {
    CalculatorInfo info;
    info.type = CalculatorInfo::InfoType(type);
    if (type == CalculatorInfo::User)
      info.average = 1.0;
    infoList.append(info);
  }
  connectAll();
}

Calculator::~Calculator()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Calculator"));
  settings.setValue(QStringLiteral("capacity"), ui->spinBoxCapacity->value());
  settings.setValue(QStringLiteral("geometry"), saveGeometry());
  settings.endGroup();
  // The window hears nothing of the teardown. Blocked, not disconnected:
  // destroyed() still goes out, and the framework's style sheet caches
  // forget this widget only through it.
  blockSignals(true);
  delete ui;
}

bool Calculator::event(QEvent *event)
{
  // The main window's own Esc stays live while its tool window is active:
  // claimed here, the key comes to this window as a key press instead.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
      event->accept();
      return true;
    }
  }
  return Panel::event(event);
}

void Calculator::keyPressEvent(QKeyEvent *event)
{
  // A tool window, not a dialog: Esc closes it as it would a dialog.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    event->accept();
    return;
  }
  Panel::keyPressEvent(event);
}

void Calculator::closeEvent(QCloseEvent *event)
{
  // Deleted on close: from now on the window is no longer the open calculator.
  setObjectName(QString());
  Panel::closeEvent(event);
}

void Calculator::connectAll()
{
  const QList<std::pair<QRadioButton *, CalculatorInfo::InfoType>> radios = {
    {ui->radioButtonMarkers, CalculatorInfo::Markers}, {ui->radioButtonVisible, CalculatorInfo::Visible},
    {ui->radioButtonWhole, CalculatorInfo::Whole},     {ui->radioButtonWorking, CalculatorInfo::Working},
    {ui->radioButtonUser, CalculatorInfo::User},
  };
  for (const auto &radio : radios) {
    const CalculatorInfo::InfoType type = radio.second;
    connect(radio.first, &QRadioButton::toggled, this, [this, type](bool checked) {
      if (checked)
        onRadioButton(type);
    });
  }
  connect(ui->lineEditUser, &QLineEdit::editingFinished, this, &Calculator::userEdited);
  connect(ui->lineEditWorking, &QLineEdit::editingFinished, this, &Calculator::requestWorking);
  connect(ui->btnCalc, &QPushButton::clicked, this, &Calculator::onCalcButton);
}

void Calculator::update(QList<CalculatorInfo> list)
{
  // No capture data: the other records still hold what an earlier capture
  // gave them, which must not be shown for this one.
  if (!list.isEmpty() && list.first().error == NoData) {
    clearReadings();
    applyInfo(list.first());
    onCalcButton();
    return;
  }
  // A log that was empty a moment ago (a tab being opened) is not now.
  ui->labelError->clear();
  for (CalculatorInfo &info : list)
    applyInfo(info);
  onCalcButton();
}

void Calculator::clearReadings()
{
  for (QLabel *span : {ui->labelMarkers, ui->labelVisible, ui->labelWhole})
    span->setText(m_noSpan);
  for (QLabel *current : {ui->labelMarkersUnit, ui->labelVisibleUnit, ui->labelWholeUnit, ui->labelWorkingUnit})
    current->setText(m_noCurrent);
}

CalculatorInfo &Calculator::getInfo(CalculatorInfo::InfoType type)
{
  for (CalculatorInfo &info : infoList) {
    if (info.type == type)
      return info;
  }
  return infoList[2];
}

void Calculator::applyInfo(CalculatorInfo &info)
{
  if (info.error != Valid) {
    showError(info);
    return;
  }
  QLabel *span = nullptr;
  QLabel *current = nullptr;
  switch (info.type) {
  case CalculatorInfo::Markers:
    span = ui->labelMarkers;
    current = ui->labelMarkersUnit;
    break;
  case CalculatorInfo::Visible:
    span = ui->labelVisible;
    current = ui->labelVisibleUnit;
    break;
  case CalculatorInfo::Whole:
    span = ui->labelWhole;
    current = ui->labelWholeUnit;
    break;
  case CalculatorInfo::Working:
    ui->labelWorkingUnit->setText(currentText(info.average));
    return;
  case CalculatorInfo::User:
    return;
  }
  const double length = std::fabs(info.t_to - info.t_from);
  double scaled = 0;
  const QString unit = spanUnitText(length, scaled);
  span->setText(QStringLiteral("%1 : %2 [%3%4]")
                  .arg(Helpers::timeToString(info.t_from, info.t_from != 0, 3),
                       Helpers::timeToString(info.t_to, true, 3), QString::number(scaled, 'f', 3), unit));
  current->setText(currentText(info.average));
}

void Calculator::showTip(QWidget *anchor, const QString &text)
{
  const QRect g = anchor->geometry();
  const QPoint at(g.x() + 10, 2 * g.bottom() - g.top() + 6);
  QToolTip::showText(mapToGlobal(at), text, this);
}

void Calculator::showError(CalculatorInfo info)
{
  if (info.error == NoData && info.type != CalculatorInfo::User) {
    ui->labelError->setText(tr("Empty measurements log."));
    QTimer::singleShot(3000, ui->labelError, &QLabel::clear);
    return;
  }
  switch (info.type) {
  case CalculatorInfo::User:
    showTip(ui->lineEditUser, tr("Wrong value"));
    break;
  case CalculatorInfo::Working:
    if (info.error == WrongValue)
      showTip(ui->lineEditWorking, tr("Wrong value"));
    else
      showTip(ui->lineEditWorking, tr("Too long working cycle. Only ") + QString::number(wholeLength(), 'g', 6) +
                                     tr(" sec available"));
    break;
  case CalculatorInfo::Markers:
    if (!ui->radioButtonMarkers->isChecked())
      break;
    if (info.error == MarkersClose)
      showTip(ui->labelMarkers, tr("Markers too close"));
    else if (info.error == MarkersHidden)
      showTip(ui->labelMarkers, tr("Markers are not visible, check their position"));
    else
      showTip(ui->labelMarkers, QString());
    break;
  default:
    break;
  }
}

QString Calculator::lifeText(double capacity, double average)
{
  // Zero, negative, NaN or vanishing currents give no usable figure; the
  // comparison is written so that NaN fails it.
  if (!(average > 0) || !(capacity > 0))
    return QString();
  const double seconds = capacity * 1000.0 * 3600.0 / (average * 1000.0);
  if (!(seconds < MaxSeconds))
    return QString();
  const CalendarSpan s = Helpers::secondsToCalendar(quint64(seconds));
  const struct
  {
    qint32 value;
    QString pattern;
  } units[] = {
    {s.years, tr("%1 years, ")},     {s.months, tr("%1 months, ")},   {s.days, tr("%1 days, ")},
    {s.hours, tr("%1 hours, ")},     {s.minutes, tr("%1 minutes, ")}, {s.seconds, tr("%1 seconds, ")},
  };
  QString text;
  for (int i = 0; i < 6; ++i) {
    if (units[i].value == 0)
      continue;
    text = units[i].pattern.arg(units[i].value);
    int next = i + 1;
    if (i == 0 && s.months == 0)
      next = 2; // after years, days when there are no months
    if (next < 6 && units[next].value != 0)
      text += units[next].pattern.arg(units[next].value);
    break;
  }
  if (text.isEmpty())
    text = tr("The battery is too low  ");
  text.chop(2);
  return text;
}

void Calculator::noEstimate()
{
  ui->bateryLife->setText(tr("No estimate for this current"));
}

void Calculator::calc()
{
  const QString text = lifeText(ui->spinBoxCapacity->value(), getAverage());
  if (text.isEmpty())
    noEstimate();
  else
    ui->bateryLife->setText(text);
}

double Calculator::getAverage() const
{
  if (ui->radioButtonMarkers->isChecked())
    return infoList.at(0).average;
  if (ui->radioButtonVisible->isChecked())
    return infoList.at(1).average;
  if (ui->radioButtonWhole->isChecked())
    return infoList.at(2).average;
  if (ui->radioButtonWorking->isChecked())
    return infoList.at(3).average;
  if (ui->radioButtonUser->isChecked())
    return infoList.at(4).average;
  return 0;
}

int Calculator::checkUserEnter() const
{
  bool ok = false;
  const double value = ui->lineEditUser->text().toDouble(&ok);
  return ok && value > 0 ? Valid : WrongValue;
}

double Calculator::wholeLength() const
{
  return std::fabs(infoList.at(2).t_to - infoList.at(2).t_from);
}

int Calculator::checkWorkingEnter()
{
  bool ok = false;
  const double value = ui->lineEditWorking->text().toDouble(&ok);
  if (!ok)
    return WrongValue;
  return value > wholeLength() ? TooLong : Valid;
}

void Calculator::centreWorking(double seconds)
{
  const CalculatorInfo &whole = infoList.at(2);
  const double centre = (whole.t_from + whole.t_to) / 2.0;
  infoList[3].t_from = centre - seconds / 2.0;
  infoList[3].t_to = centre + seconds / 2.0;
}

void Calculator::requestWorking()
{
  bool ok = false;
  const int n = ui->lineEditWorking->text().toInt(&ok);
  const double length = wholeLength();
  if (!ok || n <= 0 || n > length) {
    infoList[3].error = TooLong;
    showError(infoList.at(3));
    ui->lineEditWorking->setText(QString::number(length, 'g', 6));
    return;
  }
  centreWorking(n);
  emit updateInfo();
  for (CalculatorInfo &info : infoList)
    applyInfo(info);
}

void Calculator::userEdited()
{
  if (checkUserEnter() != Valid) {
    infoList[4].error = WrongValue;
    showError(infoList.at(4));
    ui->lineEditUser->setText(QStringLiteral("1"));
    return;
  }
  infoList[4].error = Valid;
  infoList[4].average = ui->lineEditUser->text().toDouble();
  calc();
}

void Calculator::onRadioButton(CalculatorInfo::InfoType _type)
{
  switch (_type) {
  case CalculatorInfo::Markers:
  case CalculatorInfo::Visible:
  case CalculatorInfo::Whole:
    ui->lineEditWorking->setEnabled(false);
    ui->lineEditUser->setEnabled(false);
    onCalcButton();
    break;
  case CalculatorInfo::User:
    ui->lineEditWorking->setEnabled(false);
    ui->lineEditUser->setEnabled(true);
    onCalcButton();
    break;
  case CalculatorInfo::Working:
    ui->lineEditWorking->setEnabled(true);
    ui->lineEditUser->setEnabled(false);
    if (!ui->lineEditWorking->text().isEmpty()) {
      centreWorking(ui->lineEditWorking->text().toInt());
      if (infoList.at(3).error == Valid)
        calc();
      else
        noEstimate();
    } else {
      infoList[3].error = WrongValue;
      showError(infoList.at(3));
    }
    break;
  }
}

void Calculator::onCalcButton()
{
  if (ui->radioButtonUser->isChecked()) {
    CalculatorInfo &user = infoList[4];
    user.error = checkUserEnter();
    if (user.error == Valid) {
      user.average = ui->lineEditUser->text().toDouble();
      calc();
    } else {
      showError(user);
    }
    return;
  }
  if (infoList.at(0).error == NoData) {
    showError(infoList.at(0));
    noEstimate();
    return;
  }
  if (ui->radioButtonWorking->isChecked()) {
    infoList[3].error = checkWorkingEnter();
    if (infoList.at(3).error == Valid)
      calc();
    else {
      showError(infoList.at(3));
      noEstimate();
    }
    return;
  }
  // A source whose record carries an error has no average to go by; its
  // error was shown when the record arrived.
  const int selected = ui->radioButtonMarkers->isChecked() ? 0 : ui->radioButtonVisible->isChecked() ? 1 : 2;
  if (infoList.at(selected).error != Valid) {
    noEstimate();
    return;
  }
  calc();
}
