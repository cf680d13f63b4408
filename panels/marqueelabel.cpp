#include "marqueelabel.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QMouseEvent>
#include <QPainter>

#include <climits>
#include <cmath>

namespace {

// A JSON number that is a whole number an int can hold.
bool wholeNumber(const QJsonValue &value, int *out)
{
  if (!value.isDouble())
    return false;
  const double number = value.toDouble();
  if (!std::isfinite(number) || number != std::floor(number) || number < double(INT_MIN) || number > double(INT_MAX))
    return false;
  *out = int(number);
  return true;
}

int pauseSeconds(int seconds)
{
  return qBound(0, seconds, MarqueeString::MaxPauseSeconds);
}

} // namespace

// ---- MarqueeString ----------------------------------------------------------

int MarqueeString::validSpeed(int speed)
{
  return speed >= MinSpeed && speed <= MaxSpeed ? speed : 1;
}

void MarqueeString::read(const QJsonObject &object)
{
  const QJsonValue text = object.value(QLatin1String("message"));
  if (text.isString())
    message = text.toString();
  const QJsonValue link = object.value(QLatin1String("linkto"));
  if (link.isString())
    linkto = link.toString();
  int number = 0;
  if (wholeNumber(object.value(QLatin1String("timeoutafter")), &number))
    timeoutafter = pauseSeconds(number);
  if (wholeNumber(object.value(QLatin1String("speed")), &number))
    speed = validSpeed(number);
  const QJsonValue colour = object.value(QLatin1String("textcolor"));
  if (colour.isString()) {
    QString name = colour.toString();
    if (!name.startsWith(QLatin1Char('#')))
      name.prepend(QLatin1Char('#'));
    const QColor parsed = QColor::fromString(name);
    textcolor = parsed.isValid() ? parsed : QColor(Qt::transparent);
  }
  const QJsonValue sizeValue = object.value(QLatin1String("size"));
  if (sizeValue.isDouble() && std::isfinite(sizeValue.toDouble()))
    size = sizeValue.toDouble();
  const QJsonValue words = object.value(QLatin1String("keywords"));
  if (words.isString())
    keywords = words.toString().split(QLatin1Char(','));
}

// ---- MarqueeLabel -----------------------------------------------------------

MarqueeLabel::MarqueeLabel(QWidget *parent)
  : QLabel(parent)
{
  m_timer.setParent(this);
  m_timer.setObjectName(QStringLiteral("tick"));
  m_timer.setInterval(TickMs);
  // At once, not queued: each tick is exactly one step.
  connect(&m_timer, &QTimer::timeout, this, [this] { repaint(); });
  m_pause.setParent(this);
  m_pause.setObjectName(QStringLiteral("pause"));
  m_pause.setSingleShot(true);
  connect(&m_pause, &QTimer::timeout, this, &MarqueeLabel::next);
}

bool MarqueeLabel::load(QByteArray &data)
{
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(data, &error);
  if (error.error != QJsonParseError::NoError) {
    qDebug() << "MarqueeLabel::load()" << error.errorString() << error.offset;
    return false;
  }
  // A top level that is no object, or "messages" that is no array, adds nothing.
  const QJsonValue messages = document.object().value(QLatin1String("messages"));
  if (messages.isArray()) {
    const QJsonArray array = messages.toArray();
    for (const QJsonValue &entry : array) {
      MarqueeString message;
      if (entry.isObject())
        message.read(entry.toObject());
      m_strings.append(message);
    }
  }
  repeate(0);
  return true;
}

bool MarqueeLabel::load(QString &path)
{
  const QFileInfo info(path);
  if (!info.isFile()) {
    qDebug() << "MarqueeLabel::load(): not a regular file:" << path;
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    qDebug() << "MarqueeLabel::load():" << file.errorString() << path;
    return false;
  }
  // Read one byte more than allowed so that a file that grew is caught too.
  QByteArray data = file.read(MaxDocumentBytes + 1);
  if (data.size() > MaxDocumentBytes) {
    qDebug() << "MarqueeLabel::load(): larger than" << MaxDocumentBytes << "bytes:" << path;
    return false;
  }
  return load(data);
}

void MarqueeLabel::begin(int index)
{
  const MarqueeString &message = m_strings.at(index);
  m_current = index;
  setText(message.message);
  m_speed = MarqueeString::validSpeed(message.speed);
  updateCoordinates();
  m_position = startPosition();
  setCursor(message.linkto.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
  m_pause.stop();
  m_timer.start(TickMs);
  m_waiting = false;
}

void MarqueeLabel::repeate(int)
{
  m_pause.stop();
  if (m_strings.isEmpty()) {
    m_timer.stop();
    return;
  }
  begin(0);
}

void MarqueeLabel::next()
{
  const int index = m_current + 1;
  if (index >= 0 && index < m_strings.size()) {
    begin(index);
    return;
  }
  m_timer.stop();
  repeate(0);
}

void MarqueeLabel::show()
{
  QLabel::show();
  // hide() cancelled the pause that would have moved on: move on now.
  if (m_waiting && !m_pause.isActive()) {
    next();
    return;
  }
  m_timer.start(TickMs);
}

void MarqueeLabel::hide()
{
  m_timer.stop();
  m_pause.stop();
  QLabel::hide();
}

void MarqueeLabel::setSpeed(int speed)
{
  m_speed = MarqueeString::validSpeed(speed);
}

void MarqueeLabel::setDirection(int direction)
{
  m_direction = direction;
  m_position = startPosition();
}

void MarqueeLabel::setAlignment(Qt::Alignment alignment)
{
  m_alignment = int(alignment);
  updateCoordinates();
  QLabel::setAlignment(alignment);
}

void MarqueeLabel::setStrings(QList<MarqueeString> &strings)
{
  m_strings = strings;
  restart();
}

void MarqueeLabel::addStrings(QList<MarqueeString> &strings)
{
  m_strings += strings;
  restart();
}

void MarqueeLabel::restart()
{
  // The speed stays as it is: only repeate() and next() take a message's own.
  m_timer.stop();
  m_pause.stop();
  clear();
  m_current = 0;
  m_waiting = false;
  if (m_strings.isEmpty()) {
    updateCoordinates();
    return;
  }
  const MarqueeString &message = m_strings.constFirst();
  setText(message.message);
  updateCoordinates();
  m_position = startPosition();
  setCursor(message.linkto.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
  m_timer.start(TickMs);
}

void MarqueeLabel::updateCoordinates()
{
  // Measured here once per text, font or size; paints measure nothing.
  const QFontMetrics metrics(font());
  m_textSize = metrics.size(Qt::TextSingleLine, text());
  m_baseline = (height() - metrics.height()) / 2 + metrics.ascent();
}

void MarqueeLabel::paintEvent(QPaintEvent *event)
{
  if (m_strings.isEmpty() || m_waiting) {
    QLabel::paintEvent(event);
    return;
  }
  if (m_current < 0 || m_current >= m_strings.size())
    m_current = 0;
  const MarqueeString &message = m_strings.at(m_current);

  QPainter painter(this);
  if (message.textcolor.isValid() && message.textcolor.alpha() != 0)
    painter.setPen(message.textcolor);

  bool gone = false;
  if (m_direction == 1) {
    m_position -= m_speed;
    gone = m_position <= -m_textSize.width();
  } else {
    m_position += m_speed;
    gone = m_position > width() - 1;
  }
  if (gone) {
    m_waiting = true;
    m_timer.stop();
    // The owner may have put any pause into the list: bound it here too.
    m_pause.start(pauseSeconds(message.timeoutafter) * 1000);
  }
  painter.drawText(QPoint(m_position, m_baseline), text());
}

void MarqueeLabel::mousePressEvent(QMouseEvent *)
{
  if (m_waiting || m_strings.isEmpty() || m_current < 0 || m_current >= m_strings.size())
    return;
  const QString link = m_strings.at(m_current).linkto;
  if (!link.isEmpty())
    emit clicked(link);
}

void MarqueeLabel::resizeEvent(QResizeEvent *event)
{
  updateCoordinates();
  QLabel::resizeEvent(event);
}
