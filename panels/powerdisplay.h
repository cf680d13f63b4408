#ifndef POWERDISPLAY_H
#define POWERDISPLAY_H

#include "powerpackets.h"

#include <QImage>
#include <QLabel>
#include <QList>
#include <QMap>
#include <QMenu>
#include <QRect>
#include <QString>

class QAction;

// A 120×120 picture of the power supply's round display: a fixed top text
// and three zones whose values the user picks from a menu. The zone texts
// are sample texts of the chosen values, formatted by a live-values packet:
// the display's own sample packet, or the one an owner points it at.
class PowerDisplay : public QLabel
{
  Q_OBJECT
public:
  static constexpr int ImageSize = 120;
  static constexpr int Centre = 59;
  static constexpr int Zones = 3;

  // Value id to its menu text, shared by every display.
  static QMap<qint16, QString> m_mapMenuItems;

  explicit PowerDisplay(QWidget *parent = nullptr);
  ~PowerDisplay() override;

  void setMenu(int kind);
  void applyFields(QList<int> ids);
  void adjustFormats();
  using QLabel::update;
  void update(QList<QString> &texts);
  void initMenu();
  int field(QPoint pos) const;
  void showMenu(QPoint pos);
  void aboutToShowMenu(int index);
  void applyMenu(int index, QAction *action);
  QString actionText(int id) const;
  int actionData(QAction *action) const;

  QString topText() const { return m_topText; }
  void setTopText(const QString &text);
  // The packet the zone texts are taken from; null returns to the sample packet.
  void setDataPacket(PowerDataPacket *packet);
  PowerDataPacket *dataPacket() const { return m_packet; }
  QList<int> fieldIds() const { return m_fields; }
  // The texts drawn last: top, zone 0, zone 1, zone 2.
  QList<QString> texts() const { return m_texts; }
  const QImage &image() const { return m_image; }
  QMenu *menu() { return &m_menu; }

protected:
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;

private:
  void redraw();

  QString m_topText;
  QImage m_image;
  QRect m_zones[Zones + 1];
  QMenu m_menu;
  QList<int> m_fields;
  PowerDataPacket m_sample;
  PowerDataPacket *m_packet;
  QList<QString> m_texts;
  QMetaObject::Connection m_aboutToShow;
};

#endif // POWERDISPLAY_H
