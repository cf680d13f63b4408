#include "powerdisplay.h"

#include "helpers.h"

#include <QAction>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

QMap<qint16, QString> PowerDisplay::m_mapMenuItems;

namespace {

// Zone rectangles around the image centre, corners inclusive: top, 0, 1, 2.
QRect zoneRect(int left, int top, int right, int bottom)
{
  const int c = PowerDisplay::Centre;
  return QRect(QPoint(c + left, c + top), QPoint(c + right, c + bottom));
}

QList<int> idsOfKind(int kind)
{
  QList<int> ids;
  switch (kind) {
  case 2:
  case 16:
    for (int id = 0; id <= 13; ++id)
      ids.append(id);
    if (Helpers::powerMode)
      ids << 14 << 15;
    break;
  case 4:
    ids = {0, 3, 4, 7, 8, 9, 10};
    break;
  case 8:
    ids = {0, 14, 15, 16, 17, 18, 19, 20, 21};
    break;
  default:
    break;
  }
  return ids;
}

} // namespace

PowerDisplay::PowerDisplay(QWidget *parent)
  : QLabel(parent)
  , m_image(ImageSize, ImageSize, QImage::Format_ARGB32)
  , m_fields{0, 0, 0}
  , m_packet(&m_sample)
{
  m_image.fill(Qt::transparent);
  setPixmap(QPixmap::fromImage(m_image));
  setMouseTracking(true);

  // A live-values image with nothing in it: 0x07, 64, 0x0C. Celsius and the
  // 24-hour clock until an owner points the display at its own packet.
  m_sample.init();
  m_sample.setCelsius(true);
  m_sample.setClock24(true);
  m_sample.setDateFormat(QString());

  m_zones[0] = zoneRect(-20, -35, 21, -24);
  m_zones[1] = zoneRect(-32, -20, 31, -3);
  m_zones[2] = zoneRect(-32, 2, 31, 19);
  m_zones[3] = zoneRect(-20, 23, 21, 34);

  initMenu();
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QLabel::customContextMenuRequested, this, &PowerDisplay::showMenu);
  QList<QString> none(Zones + 1, QStringLiteral("NONE"));
  update(none);
  repaint();
}

PowerDisplay::~PowerDisplay() = default;

void PowerDisplay::initMenu()
{
  m_mapMenuItems[0] = tr("NONE");
  m_mapMenuItems[1] = tr("Date");
  m_mapMenuItems[2] = tr("Fan speed");
  m_mapMenuItems[3] = tr("Main Output Voltage");
  m_mapMenuItems[4] = tr("Main Output Current");
  m_mapMenuItems[5] = tr("Mains Voltage");
  m_mapMenuItems[6] = tr("Mains Frequency");
  m_mapMenuItems[7] = tr("Max. Permitted Power");
  m_mapMenuItems[8] = tr("Max. Permitted Current");
  m_mapMenuItems[9] = tr("Total Current Consumption");
  m_mapMenuItems[10] = tr("Total Power Consumption");
  m_mapMenuItems[11] = tr("Temperature inside");
  m_mapMenuItems[12] = tr("Temperature outside");
  m_mapMenuItems[13] = tr("Time");
  if (Helpers::powerMode) {
    m_mapMenuItems[14] = tr("USB Output Voltage");
    m_mapMenuItems[15] = tr("USB Output Current");
    return;
  }
  m_mapMenuItems[14] = tr("USB1 Output Voltage");
  m_mapMenuItems[15] = tr("USB1 Output Current");
  m_mapMenuItems[16] = tr("USB2 Output Voltage");
  m_mapMenuItems[17] = tr("USB2 Output Current");
  m_mapMenuItems[18] = tr("USB3 Output Voltage");
  m_mapMenuItems[19] = tr("USB3 Output Current");
  m_mapMenuItems[20] = tr("USB4 Output Voltage");
  m_mapMenuItems[21] = tr("USB4 Output Current");
}

void PowerDisplay::setMenu(int kind)
{
  // Filling a second time replaces the entries rather than doubling them.
  m_menu.clear();
  disconnect(m_aboutToShow);
  for (int id : idsOfKind(kind)) {
    const QString text = m_mapMenuItems.value(qint16(id));
    m_mapMenuItems.insert(qint16(id), text);
    QAction *action = m_menu.addAction(text);
    action->setCheckable(true);
    action->setData(id);
  }
  m_aboutToShow = connect(&m_menu, &QMenu::aboutToShow, this,
                          [this] { aboutToShowMenu(field(mapFromGlobal(QCursor::pos()))); });
}

void PowerDisplay::setTopText(const QString &text)
{
  m_topText = text;
  redraw();
}

void PowerDisplay::setDataPacket(PowerDataPacket *packet)
{
  m_packet = packet ? packet : &m_sample;
}

void PowerDisplay::applyFields(QList<int> ids)
{
  // A short list sets the zones it has; the others keep their values.
  for (int zone = 0; zone < Zones && zone < ids.size(); ++zone)
    m_fields[zone] = ids.at(zone);
  redraw();
}

void PowerDisplay::adjustFormats()
{
  redraw();
}

void PowerDisplay::redraw()
{
  QList<QString> texts{m_topText};
  for (int id : std::as_const(m_fields))
    texts.append(id == 0 ? QStringLiteral("NONE") : QStringLiteral("%1").arg(m_packet->getData(id)));
  update(texts);
}

void PowerDisplay::update(QList<QString> &texts)
{
  m_texts = texts;
  while (m_texts.size() < Zones + 1)
    m_texts.append(QString());
  const int c = Centre;
  m_image.fill(Qt::transparent);
  QPainter painter(&m_image);
  painter.setPen(Qt::black);
  painter.setBrush(QColor(Qt::darkGray).darker(200));
  painter.drawEllipse(QRect(QPoint(c - 58, c - 58), QPoint(c + 57, c + 57)));
  painter.setBrush(Qt::black);
  painter.drawEllipse(QRect(QPoint(c - 40, c - 40), QPoint(c + 39, c + 39)));

  QFont font = painter.font();
  font.setPointSize(6);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(m_zones[0], Qt::AlignCenter, m_texts.at(0));
  painter.drawText(m_zones[3], Qt::AlignCenter, m_texts.at(3));
  font.setPointSize(10);
  painter.setFont(font);
  painter.setPen(Qt::green);
  painter.drawText(m_zones[1], Qt::AlignCenter, m_texts.at(1));
  painter.drawText(m_zones[2], Qt::AlignCenter, m_texts.at(2));
  painter.end();
  setPixmap(QPixmap::fromImage(m_image));
}

int PowerDisplay::field(QPoint pos) const
{
  // The image is shown centred in the widget.
  const int dx = (width() - 1) / 2 - Centre;
  const int dy = (height() - 1) / 2 - Centre;
  for (int zone = 0; zone < Zones; ++zone) {
    if (m_zones[zone + 1].translated(dx, dy).contains(pos))
      return zone;
  }
  return -1;
}

void PowerDisplay::showMenu(QPoint pos)
{
  const int zone = field(pos);
  if (zone < 0)
    return;
  applyMenu(zone, m_menu.exec(mapToGlobal(pos)));
}

void PowerDisplay::aboutToShowMenu(int index)
{
  const QList<QAction *> actions = m_menu.actions();
  for (QAction *action : actions)
    action->setChecked(false);
  if (index < 0 || index >= Zones)
    return;
  for (QAction *action : actions) {
    if (actionData(action) == m_fields.at(index))
      action->setChecked(true);
  }
}

void PowerDisplay::applyMenu(int index, QAction *action)
{
  if (index < 0 || index >= Zones || !action)
    return;
  const int id = actionData(action);
  // A value shows in one zone only: it moves.
  for (int &field : m_fields) {
    if (field == id)
      field = 0;
  }
  m_fields[index] = id;
  redraw();
}

QString PowerDisplay::actionText(int id) const
{
  const QList<QAction *> actions = m_menu.actions();
  for (QAction *action : actions) {
    if (actionData(action) == id)
      return action->text();
  }
  return QString();
}

int PowerDisplay::actionData(QAction *action) const
{
  return action ? action->data().toInt() : 0;
}

void PowerDisplay::mousePressEvent(QMouseEvent *event)
{
  showMenu(event->position().toPoint());
}

void PowerDisplay::mouseMoveEvent(QMouseEvent *event)
{
  const int zone = field(event->position().toPoint());
  if (zone < 0) {
    setCursor(Qt::ArrowCursor);
    return;
  }
  setCursor(Qt::PointingHandCursor);
  setToolTip(actionText(m_fields.at(zone)));
}
