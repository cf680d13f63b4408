#ifndef MARQUEELABEL_H
#define MARQUEELABEL_H

#include <QByteArray>
#include <QColor>
#include <QJsonObject>
#include <QLabel>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>

// One message of the warning line, read from one object of the
// "messages" array of a warning-line document.
struct MarqueeString
{
  static constexpr int MinSpeed = 1;
  static constexpr int MaxSpeed = 1000;
  static constexpr int MaxPauseSeconds = 86400;

  QString message;
  QString linkto;
  int timeoutafter = 0;
  QColor textcolor = QColor(Qt::transparent);
  double size = 100.0;
  QStringList keywords;
  int speed = 1;

  // Missing keys, wrong types and numbers out of range keep the defaults.
  void read(const QJsonObject &object);
  // Speeds outside 1..1000 would stall or overrun the scroll: they become 1.
  static int validSpeed(int speed);
};

// The status bar's warning line: a label across which the messages of its
// list scroll one after the other, in a loop, one step per 25 ms tick.
class MarqueeLabel : public QLabel
{
  Q_OBJECT
public:
  static constexpr int TickMs = 25;
  // Documents are a few messages; anything larger is not one.
  static constexpr qint64 MaxDocumentBytes = qint64(1) << 20;

  explicit MarqueeLabel(QWidget *parent = nullptr);

  // Appends the messages of a JSON document; false on a syntax error.
  bool load(QByteArray &data);
  // The same from a regular file of at most MaxDocumentBytes.
  bool load(QString &path);
  void repeate(int unused = 0);
  void next();
  void show();
  void hide();
  void setAlignment(Qt::Alignment alignment);
  void setStrings(QList<MarqueeString> &strings);
  void addStrings(QList<MarqueeString> &strings);

  int direction() const { return m_direction; }
  int position() const { return m_position; }
  int currentIndex() const { return m_current; }
  bool isWaiting() const { return m_waiting; }

  // Open to the owner, which may empty it directly.
  QList<MarqueeString> m_strings;

public slots:
  void setSpeed(int speed);
  int speed() const { return m_speed; }
  void setDirection(int direction);

signals:
  void clicked(QString link);

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void updateCoordinates();
  // Message 0 of the list from its start position, keeping the speed.
  void restart();
  // Shows message `index` from its start position and runs the tick.
  void begin(int index);
  int startPosition() const { return m_direction == 1 ? width() : 0; }

  int m_position = 0;
  QTimer m_timer;
  int m_alignment = 0;
  int m_speed = 1;
  int m_direction = 1;
  QSize m_textSize;
  int m_current = 0;
  bool m_waiting = false;
  // The pause after a message; the label's own, so hide() can cancel it.
  QTimer m_pause;
  int m_baseline = 0;
};

#endif // MARQUEELABEL_H
