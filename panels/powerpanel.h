#ifndef POWERPANEL_H
#define POWERPANEL_H

#include "panel.h"
#include "swapfileheader.h"

#include <QList>
#include <QPixmap>
#include <QString>
#include <QTimer>

class PowerGetPacket;
class PowerDataPacket;
class QListWidgetItem;

namespace Ui {
class PowerPanel;
}

// The power supply's panel: input power check, rate, up to five channels,
// temperature scale, and the start and stop of a log. It builds the supply's
// text commands and emits them; the main window sends them and feeds the
// answers back through responsePowerStatus, logFinished and logFailed.
class PowerPanel : public Panel
{
  Q_OBJECT
public:
  static constexpr int MaxChannels = 5;
  static constexpr int PollIntervalMs = 2000;
  static constexpr int FirstPollDelayMs = 500;

  explicit PowerPanel(QWidget *parent = nullptr);
  ~PowerPanel() override;

  // Rebuilds one unchecked row per channel description, then the rates.
  virtual void setChannels();
  void addSampleRateItems();

  // Indices of the checked rows, ascending.
  QList<int> channels() const;
  bool isFahrentheit() const;
  bool isCustom() const;
  // Rate text ("100", "10000") of the last start command that was taken.
  QString rate() const { return m_rate; }

  void responsePowerStatus(bool on);
  void logFinished();
  void logFailed(const QString &reply);
  void stopLog();
  // Rate, channels and temperature scale of an opened capture.
  void updateControls(SwapFileHeader header);

public slots:
  void on_changeColorTheme(bool dark);

signals:
  void startPowerLog(const QString &command);
  void stopPowerLog(const QString &command);
  void requestPowerStatus(const QString &command);
  void paketReceived(PowerGetPacket &packet);
  void paketDataReceived(PowerDataPacket &packet);

private:
  void start();
  void stop();
  void checkPower();
  void customChanged(int state);
  void itemChanged(QListWidgetItem *item);
  // The controls that stay locked while a log runs.
  void enableLogControls(bool enable);
  QString rateLabel(int rate) const;

  Ui::PowerPanel *ui;
  QPixmap m_powerOn;
  QPixmap m_powerOff;
  QTimer m_pollTimer;
  QString m_rate;
};

#endif // POWERPANEL_H
