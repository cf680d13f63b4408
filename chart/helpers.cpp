#include "helpers.h"
#include "devicemode.h"
#include "plot.h"

#include <QColor>
#include <QDebug>
#include <QFontMetrics>
#include <QIcon>
#include <QObject>
#include <QPen>

bool &Helpers::powerMode = DeviceMode::powerMode;
bool &Helpers::powerV2Mode = DeviceMode::powerV2Mode;
bool Helpers::isMeasuring = false;
bool Helpers::isUpdating = false;
int Helpers::timeFormat = 1;
QString Helpers::inputFilePath;

namespace {
const QChar micro(0x03BC);

// A time for the axis's second row: its unit in the language of the tick
// labels above it (files and exports keep the untranslated text).
QString screenTime(double t)
{
  QString text = Helpers::timeToString(t, true, 3);
  if (text.endsWith(QString(micro) + QLatin1Char('s')))
    return text.chopped(2) + QObject::tr("\u03BCs");
  if (text.endsWith(QLatin1String("ms")))
    return text.chopped(2) + QObject::tr("ms");
  if (text.endsWith(QLatin1Char('s')))
    return text.chopped(1) + QObject::tr("s");
  return text;
}
} // namespace

QChar Helpers::unitCharA(int divider)
{
  if (divider < 1000)
    return micro;
  if (divider < 1000000)
    return QLatin1Char('m');
  return QLatin1Char(' ');
}

QChar Helpers::unitCharV(int divider)
{
  // Values in mV: the third step of the divider is kilovolts, as the
  // current's third step is amperes.
  if (divider < 1000)
    return QLatin1Char('m');
  if (divider < 1000000)
    return QLatin1Char(' ');
  return QLatin1Char('k');
}

int Helpers::divider(double value)
{
  if (value < 1000)
    return 1;
  if (value < 1000000)
    return 1000;
  return 1000000;
}

QString Helpers::timeToSeconds(double t, bool withUnit, int precision)
{
  if (!withUnit)
    return QString::number(t, 'f', precision);
  if (t < 0.001) {
    const double us = t * 1000000.0;
    if (us > -100 && us < 100) {
      const int n = int(us);
      if (n >= 0)
        return QStringLiteral("%1%2s").arg(n).arg(micro);
    }
    return QStringLiteral("%1ms").arg(QString::number(t * 1000.0, 'f', 1));
  }
  if (t < 1)
    return QStringLiteral("%1ms").arg(QString::number(t * 1000.0, 'f', 1));
  return QStringLiteral("%1s").arg(QString::number(t, 'f', precision));
}

QString Helpers::timeToNative(double t, bool withUnit, int precision)
{
  // Beyond ~1.8e15 s the count of 100 µs steps no longer fits 64 bits.
  if (!(t >= 60) || t >= 1.8e15)
    return timeToSeconds(t, withUnit, precision);
  const quint64 tenths = quint64(t * 10000.0);
  const quint64 minutesAll = tenths / 600000;
  const quint64 seconds = (tenths % 600000) / 10000;
  const quint64 minutes = minutesAll % 60;
  const quint64 hoursAll = minutesAll / 60;
  const quint64 hours = hoursAll % 24;
  const quint64 days = hoursAll / 24;
  const quint64 millis = quint64(t * 1000.0) % 1000;
  if (days == 0 && hours == 0)
    return QString::asprintf("%llu:%02llu.%03llu", minutes, seconds, millis);
  if (days != 0)
    return QString::asprintf("%llu %llu:%02llu:%02llu.%03llu", days, hours, minutes, seconds, millis);
  return QString::asprintf("%llu:%02llu:%02llu.%03llu", hours, minutes, seconds, millis);
}

QString Helpers::timeToString(double t, bool withUnit, int precision)
{
  return timeFormat == 1 ? timeToSeconds(t, withUnit, precision) : timeToNative(t, withUnit, precision);
}

QChar Helpers::leftArrowhead(const QFont &font)
{
  // inFont asks the font itself, not the fallbacks that may or may not be
  // installed: a character it lacks would be drawn as an empty box.
  const QFontMetrics metrics(font);
  for (const char16_t candidate : {u'\u2B9C', u'\u25C2', u'\u25C0', u'\u2190', u'\u2039'}) {
    if (metrics.inFont(QChar(candidate)))
      return QChar(candidate);
  }
  return QLatin1Char('<');
}

void Helpers::timeToLabels(double step, const QList<double> &ticks, QList<QString> &labels, QMap<int, QString> &rows,
                           const QFont &rowFont, int firstVisible)
{
  QString unit = QObject::tr("s");
  double scale = 1;
  double period = 1000;
  int decimals = 0;
  if (step == 0.0001 || step == 0.0005) {
    unit = QObject::tr("ms");
    scale = 1000;
    period = 1;
    decimals = 2;
  } else if (step == 0.001) {
    unit = QObject::tr("ms");
    scale = 1000;
    period = 10;
  } else if (step == 0.005 || step == 0.01) {
    unit = QObject::tr("ms");
    scale = 1000;
    period = 100;
  } else if (step == 0.05) {
    period = 1;
    decimals = 2;
  } else if (step == 0.1) {
    period = 1;
    decimals = 1;
  } else if (step == 0.5) {
    period = 10;
    decimals = 1;
  } else if (step == 1) {
    period = 10;
  } else if (step == 5 || step == 10) {
    period = 100;
  }

  // Offsets are compared exactly: i × step in display units is exact enough
  // for every step of the table over any realistic tick count.
  const double unitStep = scale * step;
  double base = 0;
  // The absolute tick the first visible offsets count from: the list may
  // begin well before the window.
  int counted = 0;
  for (int i = 0; i < ticks.size(); ++i) {
    const double offset = i * unitStep - base;
    if (offset == 0 || offset == period) {
      rows.insert(i, screenTime(ticks.at(i)));
      labels.append(QString());
      if (i > 0)
        base += period;
      if (i <= firstVisible)
        counted = i;
    } else {
      labels.append(QStringLiteral("+%1%2").arg(QString::number(offset, 'f', decimals), unit));
    }
  }
  if (!ticks.isEmpty())
    rows.insert(-1, QString(leftArrowhead(rowFont)) + screenTime(ticks.at(counted)));
}

QString Helpers::sampleRateToFQString(int divider)
{
  const double kHz = divider > 0 ? 10.0 / divider : 0.0;
  return QStringLiteral("(%1 %2)").arg(QString::number(kHz, 'f', 3), QObject::tr("kHz"));
}

CalendarSpan Helpers::secondsToCalendar(quint64 s)
{
  CalendarSpan span;
  quint64 years = s / 31536000;
  const quint64 r = s % 31536000;
  quint64 months = r / 2592000;
  if (months == 12) {
    ++years;
    months = 0;
  }
  const quint64 q = r % 2592000;
  const quint64 weeks = q / 604800;
  const quint64 d = q % 86400;
  span.years = qint32(years);
  span.months = qint32(months);
  span.weeks = qint32(weeks);
  span.days = qint32(7 * weeks + (q % 604800) / 86400);
  span.hours = qint32(d / 3600);
  span.minutes = qint32((d % 3600) / 60);
  span.seconds = qint32(d % 60);
  qDebug().noquote() << QStringLiteral("%1 Years, %2 Months, %3 Weeks, %4 Days, %5 Hours, %6 Minutes, %7 Seconds")
                            .arg(span.years)
                            .arg(span.months)
                            .arg(span.weeks)
                            .arg(span.days)
                            .arg(span.hours)
                            .arg(span.minutes)
                            .arg(span.seconds);
  return span;
}

QPalette Helpers::darkPalette()
{
  QPalette p;
  const QColor dark(53, 53, 53);
  const QColor highlight(42, 130, 218);
  const QColor disabled(128, 128, 128);
  p.setColor(QPalette::Window, dark);
  p.setColor(QPalette::WindowText, Qt::white);
  p.setColor(QPalette::Base, QColor(25, 25, 25));
  p.setColor(QPalette::AlternateBase, dark);
  p.setColor(QPalette::ToolTipBase, Qt::white);
  p.setColor(QPalette::ToolTipText, Qt::black);
  p.setColor(QPalette::Text, Qt::white);
  p.setColor(QPalette::Button, dark);
  p.setColor(QPalette::ButtonText, Qt::white);
  p.setColor(QPalette::BrightText, Qt::red);
  // Links stand on the dark window: the highlight blue, lightened to be read there.
  const QColor link(0x6c, 0xaf, 0xf0);
  p.setColor(QPalette::Link, link);
  p.setColor(QPalette::LinkVisited, link);
  p.setColor(QPalette::Highlight, highlight);
  p.setColor(QPalette::HighlightedText, Qt::black);
  p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
  p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
  p.setColor(QPalette::Disabled, QPalette::Text, disabled);
  p.setColor(QPalette::Disabled, QPalette::Light, dark);
  return p;
}

void Helpers::setPlotterColor(PlotWidget *plot, const QColor &color)
{
  if (!plot || !color.isValid())
    return;
  plot->setBackground(QBrush(color));
  PlotAxis *axis = plot->xAxis;
  if (!axis)
    return;
  const QColor inverse(255 - color.red(), 255 - color.green(), 255 - color.blue());
  axis->setTickLabelColor(inverse);
  axis->setLabelColor(inverse);
  axis->setSubTickPen(QPen(inverse, 1, Qt::SolidLine));
  axis->setBasePen(QPen(inverse, 1, Qt::SolidLine));
  axis->setTickPen(QPen(inverse, 2, Qt::SolidLine));
}

void Helpers::setAxisColor(PlotAxis *axis, const QColor &color)
{
  if (!axis || !color.isValid())
    return;
  const QPen pen(color, 1, Qt::SolidLine);
  axis->setLabelColor(color);
  axis->setTickLabelColor(color);
  axis->setTickPen(pen);
  axis->setSubTickPen(pen);
  axis->setBasePen(pen);
}

int Helpers::messageBox(const QString &icon, QWidget *parent, const QString &title, const QString &text,
                        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
  QMessageBox box(parent);
  box.setWindowTitle(title);
  box.setText(text);
  box.setStandardButtons(buttons);
  box.setDefaultButton(defaultButton);
  box.setIconPixmap(QIcon(icon).pixmap(32, 32));
  return box.exec();
}

int Helpers::warning(QWidget *parent, const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
                     QMessageBox::StandardButton defaultButton)
{
  return messageBox(QStringLiteral(":/res/warning.png"), parent, title, text, buttons, defaultButton);
}

int Helpers::information(QWidget *parent, const QString &title, const QString &text,
                         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
  return messageBox(QStringLiteral(":/res/information.png"), parent, title, text, buttons, defaultButton);
}

int Helpers::error(QWidget *parent, const QString &title, const QString &text, QMessageBox::StandardButtons buttons,
                   QMessageBox::StandardButton defaultButton)
{
  return messageBox(QStringLiteral(":/res/alert.png"), parent, title, text, buttons, defaultButton);
}
