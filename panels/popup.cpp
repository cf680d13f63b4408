#include "popup.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QTimer>

PopUp::PopUp(QWidget *parent)
  : QWidget(parent)
{
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating);

  // A child, so that the fade can be found and driven like the pop-up's other parts.
  m_animation.setParent(this);
  m_animation.setTargetObject(this);
  m_animation.setPropertyName("popupOpacity");
  // After a fade-out this finds the opacity at 0 and hides; after a fade-in it does nothing.
  connect(&m_animation, &QAbstractAnimation::finished, this, &PopUp::hide);

  m_label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_label.setStyleSheet(QStringLiteral("QLabel { color : %1; margin-top: 6px; margin-bottom: 6px; margin-left: "
                                       "10px; margin-right: 10px; }")
                          .arg(m_textColorName));
  m_layout.addWidget(&m_label);
  setLayout(&m_layout);

  m_hideTimer = new QTimer();
  connect(m_hideTimer, &QTimer::timeout, this, &PopUp::hideAnimation);

  m_settings = new QSettings();
}

PopUp::~PopUp()
{
  delete m_hideTimer;
  m_settings->beginGroup(m_name);
  m_settings->setValue(QStringLiteral("x"), m_x);
  m_settings->setValue(QStringLiteral("y"), m_y);
  m_settings->setValue(QStringLiteral("mainX"), m_mainX);
  m_settings->setValue(QStringLiteral("mainY"), m_mainY);
  m_settings->setValue(QStringLiteral("mainBiasX"), m_mainBiasX);
  m_settings->setValue(QStringLiteral("mainBiasY"), m_mainBiasY);
  m_settings->endGroup();
  delete m_settings;
}

void PopUp::setPopupOpacity(float opacity)
{
  m_popupOpacity = opacity;
  setWindowOpacity(double(opacity));
}

void PopUp::setPopupText(const QString &text)
{
  const QPoint pos = QCursor::pos() + QPoint(1, 1);
  m_x = pos.x();
  m_y = pos.y();
  move(pos);
  m_label.setText(text);
  adjustSize();
  // An empty readout is no hint: an empty box at the pointer would only flash.
  if (text.isEmpty()) {
    m_hideTimer->stop();
    m_animation.stop();
    setPopupOpacity(0.0f);
    QWidget::hide();
    return;
  }
  show();
}

void PopUp::show()
{
  if (m_label.text().isEmpty())
    return;
  setWindowOpacity(0.0);
  m_animation.setDuration(150);
  m_animation.setStartValue(0.0f);
  m_animation.setEndValue(1.0f);
  QWidget::show();
  m_animation.start();
  if (m_autoHide)
    m_hideTimer->start(m_hideInterval);
}

void PopUp::hide()
{
  if (m_popupOpacity == 0.0f)
    QWidget::hide();
}

void PopUp::focusShow()
{
  QWidget::show();
}

void PopUp::focusHide()
{
  QWidget::hide();
}

void PopUp::hideAnimation()
{
  m_hideTimer->stop();
  m_animation.setDuration(1000);
  m_animation.setStartValue(1.0f);
  m_animation.setEndValue(0.0f);
  m_animation.start();
}

void PopUp::setColors(const QColor &background, const QColor &outline)
{
  m_background = background;
  m_outline = outline;
  QWidget::update();
}

void PopUp::setPosition(int x, int y)
{
  m_x = x;
  m_y = y;
  move(x, y);
}

void PopUp::MainWindowPos(int mainX, int mainY)
{
  m_mainX = mainX;
  m_mainY = mainY;
  move(mainX + m_mainBiasX, mainY + m_mainBiasY);
}

void PopUp::setName(const QString &name)
{
  m_name = name;
  m_settings->beginGroup(name);
  if (name == QLatin1String("Hint")) {
    m_x = m_settings->value(QStringLiteral("x"), 185).toInt();
    m_y = m_settings->value(QStringLiteral("y"), 642).toInt();
    m_mainX = m_settings->value(QStringLiteral("mainX"), 169).toInt();
    m_mainY = m_settings->value(QStringLiteral("mainY"), 101).toInt();
    m_mainBiasX = m_settings->value(QStringLiteral("mainBiasX"), 16).toInt();
    m_mainBiasY = m_settings->value(QStringLiteral("mainBiasY"), 541).toInt();
  }
  // Keep a stored place inside the parent; a pop-up without one has no bounds to check.
  const QWidget *p = parentWidget();
  const int parentWidth = p ? p->width() : 0;
  const int parentHeight = p ? p->height() : 0;
  if (m_x < 0 || m_x > parentWidth - width())
    m_x = 500;
  if (m_y < 0 || m_y > parentHeight - height())
    m_y = 500;
  m_settings->endGroup();
  move(m_x, m_y);
}

void PopUp::paintEvent(QPaintEvent *)
{
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(m_background);
  painter.setPen(m_outline);
  painter.drawRoundedRect(QRect(5, 5, width() - 10, height() - 10), 5, 5);
}

void PopUp::mousePressEvent(QMouseEvent *event)
{
  const QPoint p = event->position().toPoint();
  m_pressX = p.x();
  m_pressY = p.y();
}

void PopUp::mouseMoveEvent(QMouseEvent *event)
{
  const QPoint g = event->globalPosition().toPoint();
  m_x = g.x() - m_pressX;
  m_y = g.y() - m_pressY;
  move(m_x, m_y);
  m_mainBiasX = m_x - m_mainX;
  m_mainBiasY = m_y - m_mainY;
}
