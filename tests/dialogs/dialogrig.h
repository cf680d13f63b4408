#ifndef DIALOGRIG_H
#define DIALOGRIG_H

#include "dialoghooks.h"
#include "helpers.h"
#include "hiddevice.h"
#include "optionsdialog.h"
#include "packet.h"
#include "simdevices.h"

#include <QTimer>

#include <memory>
#include <type_traits>

// The messages the dialog showed, answered with `reply`.
struct Answers
{
  struct Shown
  {
    QString title;
    QString text;
  };
  QList<Shown> shown;
  int reply = QMessageBox::No;

  Answers()
  {
    DialogHooks::message = [this](QWidget *, DialogHooks::Box, const QString &title, const QString &text,
                                  QMessageBox::StandardButtons) {
      shown.append({title, text});
      return reply;
    };
  }
  ~Answers() { DialogHooks::reset(); }
  QString last() const { return shown.isEmpty() ? QString() : shown.last().text; }
};

// A simulated bus with a power supply (or a logger) opened by the program's
// link, the mode flags of the window, and the options dialog on top.
template<typename Device = SimPowerSupply>
struct DialogRig
{
  SimBus bus;
  Device *device;
  HidDevice link;
  Answers answers;
  std::unique_ptr<OptionsDialog> dialog;

  explicit DialogRig(bool power = true, bool v2 = false)
    : device(bus.add<Device>())
  {
    for (QTimer *timer : link.findChildren<QTimer *>())
      timer->stop();
    link.checkTimerTick();
    // What the window keeps of the logger's identification.
    if constexpr (std::is_same_v<Device, SimLogger>)
      DeviceInfo::m_deviceInfo = new DeviceInfo(device->info);
    // A UTC clock, so that the block's UTC-offset byte 0 matches.
    DialogHooks::now = [] { return QDateTime(QDate(2021, 3, 2), QTime(14, 5, 9), Qt::UTC); };
    Helpers::powerMode = power && !v2;
    Helpers::powerV2Mode = power && v2;
    dialog = std::make_unique<OptionsDialog>(nullptr);
  }
  ~DialogRig()
  {
    dialog.reset();
    delete DeviceInfo::m_deviceInfo;
    DeviceInfo::m_deviceInfo = nullptr;
  }
  // The supply's block arrives, then a live-values message shows it.
  void receive(const PowerGetPacket &block)
  {
    PowerGetPacket copy = block;
    dialog->on_paketReceived(copy);
    PowerDataPacket live;
    dialog->on_paketDataReceived(live);
  }
  template<typename T>
  T *w(const char *name) const
  {
    T *widget = dialog->findChild<T *>(QLatin1String(name));
    if (!widget)
      qFatal("no widget %s", name);
    return widget;
  }
};

// A settings block as a supply might send it: every byte set, page bytes in range.
inline PowerGetPacket sampleBlock()
{
  PowerGetPacket block;
  for (int k = 0; k < 61; ++k)
    block.setBlock(k, uchar(0xA0 + k));
  const QList<std::pair<int, int>> page = {{0, 0x15}, {1, 0x0B}, {2, 0x13}, {3, 42}, {4, 7},  {6, 6},
                                           {7, 30},   {8, 22},   {9, 15},   {10, 2}, {19, 5}, {20, 1},
                                           {21, 13},  {22, 0},   {23, 3},   {24, 4}, {25, 9}, {26, 14},
                                           {27, 15},  {28, 0},   {29, 2},   {30, 5}, {31, 6}, {32, 77}};
  for (const auto &[k, v] : page)
    block.setBlock(k, uchar(v));
  block.setBlock(5, 0);
  block.setBlock(54, 0);
  return block;
}

inline QByteArray bytesOf(const Packet &p)
{
  return QByteArray(reinterpret_cast<const char *>(p.data()), Packet::ImageSize);
}

#endif // DIALOGRIG_H
