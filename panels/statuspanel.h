#ifndef STATUSPANEL_H
#define STATUSPANEL_H

#include "panel.h"

#include <QPixmap>
#include <QtGlobal>

class MeasureAll;
class StatusControlResponse;
class QLabel;
namespace Ui {
class StatusPanel;
}

// The logger's status window: six pin-state lights and the readings of
// channels #0..#2 and Vin. Passive: it shows what the main window hands it.
class StatusPanel : public Panel
{
  Q_OBJECT
public:
  explicit StatusPanel(QWidget *parent = nullptr);
  ~StatusPanel() override;

  void restore();
  void backup();
  void on_translate();
  void enableControls(bool on);
  // Three names and three values, one per channel #0..#2; empty ones are skipped.
  void refreshChannels(QString *names, QString *values);
  void refreshPinState();
  void handleErrors();
  bool stopOnError() const;

public slots:
  void update(MeasureAll &packet);
  void update(StatusControlResponse &response);

protected:
  void changeEvent(QEvent *event) override;

private:
  void showReading(QLabel *value, QLabel *name, double v, bool current, bool secondChannel);

  Ui::StatusPanel *ui;
  QPixmap m_lit;
  QPixmap m_dark;
  uchar m_pinState = 0;
  uchar m_status = 0;
  // False until the lights show m_pinState with the loaded pixmaps.
  bool m_lightsShown = false;
};

#endif // STATUSPANEL_H
