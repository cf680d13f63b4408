#ifndef NAVIGATIONSETTINGS_H
#define NAVIGATIONSETTINGS_H

#include "swapfileheader.h"

#include <QDialog>
#include <QMap>

#include <tuple>

namespace Ui {
class NavigationSettings;
}

// The navigation strip's dialog: which channel the overview follows and the
// threshold (#0 in mA, #1 and #2 in mV) at which its samples stand out.
class NavigationSettings : public QDialog
{
  Q_OBJECT

public:
  // `thresholds`: the capture file's three, by channel; `current`: (channel,
  // column, threshold) of the series shown now.
  NavigationSettings(SwapFileHeader &header, double *thresholds, std::tuple<int, int, double> current,
                     QWidget *parent = nullptr);
  // Stores the thresholds as edited, accepted or not.
  ~NavigationSettings() override;

  // (channel, column, threshold) chosen; stores the thresholds.
  std::tuple<int, int, double> params();

  // The "thresholds" key as the three numbers, each in its shortest exact form.
  static void storeThresholds(const double thresholds[3]);

protected:
  void changeEvent(QEvent *event) override;

private:
  int checkedChannel() const; // -1 when none
  void setUnit(int channel);

  QMap<int, int> m_columns; // channel -> column, capture channels only
  double m_thresholds[3];
  Ui::NavigationSettings *ui;
};

#endif // NAVIGATIONSETTINGS_H
