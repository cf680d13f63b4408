#ifndef CONTROLPANEL_H
#define CONTROLPANEL_H

#include "panel.h"

#include <QString>
#include <QtGlobal>

class DeviceControl;
class StatusControlRequest;
class StatusControlResponse;
class QListWidgetItem;
namespace Ui {
class ControlPanel;
}

// The logger's measurement control panel. It builds the start, stop and status
// commands and emits them (the main window sends them), applies the logger's
// status answers to its controls and keeps its choices in the settings file.
class ControlPanel : public Panel
{
  Q_OBJECT
public:
  // Largest custom divider: the capture header stores it as a signed 16-bit field.
  static constexpr int MaxDivider = 32767;

  explicit ControlPanel(QWidget *parent = nullptr);
  ~ControlPanel() override;

  void restore();
  void backup();
  void setChannels();
  void addSampleRateItems();
  int mult1() const;
  int mult2() const;

  int sampleRates() const;
  void refreshStatus();
  bool stopOnError() const { return (m_errorStatus & 0x01) != 0; }
  bool batteryIsLow() const { return m_errorStatus == 0x02; }
  void handleErrors();
  void showErrorDetails();
  void showResetButton();
  static QString changeStyle();

  void enableStartGroup(bool on);
  void enableStop(bool on);
  void enableButtons(bool on);
  void enableChannelsGroup(bool on);
  void enableControlGroup(bool on);
  void enableControls(bool on);
  void enablePowerGroup(bool on);
  void on_translate();

  int appliedVoltage() const { return m_appliedVoltage; }
  uchar errorStatus() const { return m_errorStatus; }

public slots:
  void update(StatusControlResponse &response);
  void on_requestStatus(uchar _errorStatus);
  void on_changeColorTheme(bool dark);
  void on_trigDelayChanged(int value);
  void on_startButton();
  void on_stopButton();
  void on_logButton();
  void on_trigButton();
  void on_applyButton();
  void on_powerSetButton();
  void on_toggleAlarm(bool _alarm);
  void on_resetButton();

signals:
  void startMeasurement(DeviceControl &command);
  void stopMeasurement(DeviceControl &command);
  void requestStatus(StatusControlRequest &request);
  void trigDelayChanged(int value);
  void terminateMeasuring();
  void resetClicked();
  void multiplierChanged(int chan, int value);

protected:
  void changeEvent(QEvent *event) override;

private:
  void emitStart(unsigned char command, int delay);
  void sendStatusRequest(int control, int voltage, int syncDelay);
  void setVinButtons(bool vbat, bool vusb);
  bool oneChannelOnly() const;
  void keepFirstCheckedChannel();
  void onItemChanged(QListWidgetItem *changed);
  void refreshFrequency();
  // Widens the scroll area to what the texts of the language and style in
  // use need: the panel scrolls only up and down.
  void fitWidthToTexts();

  Ui::ControlPanel *ui;
  int m_appliedVoltage = 0;
  uchar m_errorStatus = 0;
  bool m_errorDetailsShown = false;
};

#endif // CONTROLPANEL_H
