#ifndef POPUP_H
#define POPUP_H

#include <QColor>
#include <QLabel>
#include <QPropertyAnimation>
#include <QString>
#include <QVBoxLayout>
#include <QWidget>

class QSettings;
class QTimer;

// The main window's fading hint: a frameless, translucent, always-on-top window
// with a short text that fades in beside the pointer, stays two seconds and
// fades out. It can be dragged; a named pop-up keeps its place across runs.
class PopUp : public QWidget
{
  Q_OBJECT
  Q_PROPERTY(float popupOpacity READ getPopupOpacity WRITE setPopupOpacity)

public:
  explicit PopUp(QWidget *parent = nullptr);
  ~PopUp() override;

  void setPopupOpacity(float opacity);
  float getPopupOpacity() const { return m_popupOpacity; }

  void setPosition(int x, int y);
  void MainWindowPos(int mainX, int mainY);
  void setName(const QString &name);

  // The main window restyles the text (colour contrasting with the chart).
  QString textColorName() const { return m_textColorName; }
  void setTextColorName(const QString &name) { m_textColorName = name; }
  QLabel *label() { return &m_label; }
  // The rounded box behind the text: its fill and its outline.
  void setColors(const QColor &background, const QColor &outline);
  QColor backgroundColor() const { return m_background; }
  QColor outlineColor() const { return m_outline; }
  // What the text stands on where the box is transparent: the chart's colour.
  void setBackdrop(const QColor &color) { m_backdrop = color; }
  QColor backdrop() const { return m_backdrop; }

public slots:
  void setPopupText(const QString &text);
  QString getPopupText() const { return m_label.text(); }
  void show();
  void hide();
  void focusShow();
  void focusHide();
  void hideAnimation();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;

private:
  QColor m_background{0, 0, 0, 180};
  QColor m_outline{255, 155, 255, 180};
  QColor m_backdrop{Qt::white};
  QString m_textColorName = QStringLiteral("white");
  QLabel m_label;
  QVBoxLayout m_layout;
  QPropertyAnimation m_animation;
  bool m_autoHide = true;
  float m_popupOpacity = 0.1f;
  QTimer *m_hideTimer;
  int m_hideInterval = 2000;
  int m_x = 850;
  int m_y = 130;
  int m_pressX = 0;
  int m_pressY = 0;
  int m_mainX = 177;
  int m_mainY = 131;
  int m_mainBiasX = 0;
  int m_mainBiasY = 0;
  QString m_name;
  QSettings *m_settings;
};

#endif // POPUP_H
