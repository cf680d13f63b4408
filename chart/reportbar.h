#ifndef REPORTBAR_H
#define REPORTBAR_H

#include "plotrange.h"
#include "reportdata.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class GLWidget;

namespace Ui {
class ReportBar;
}

// The bar under the chart: minimum, maximum and average per channel of the
// whole capture and of the visible time window.
class ReportBar : public QWidget
{
  Q_OBJECT

public:
  explicit ReportBar(QWidget *parent = nullptr);
  ~ReportBar() override;

  // Adds the statistics of `chart`'s maps between the range's ends (both
  // included) to `data`; the caller passes it empty.
  static void update(GLWidget *chart, PlotRange range, ReportData *data);
  // Refresh: the whole capture at once, the visible window once the range
  // changes pause (panning sends a burst of them).
  void update(GLWidget *chart, bool reset);
  void updateControls();
  void reset();
  bool isDataValid(ReportData *data);

  ReportData *fullData;
  ReportData *frameData;
  bool dark = false;

public slots:
  void on_changeColorTheme(bool _dark);
  void on_changeColors();
  void on_translate();

protected:
  void showEvent(QShowEvent *event) override;

private slots:
  // The window pass of the last refresh.
  void updateFrame();

private:
  // Writes `data` into the whole-capture table (0) or the window table (1).
  void showRecord(int table, ReportData *data);
  // Both tables without readings: the chart holds no capture.
  void showNoCapture();
  // Shows the tables without readings when `chart` holds no capture.
  bool shownWithoutCapture(GLWidget *chart);

  Ui::ReportBar *ui;
  ReportData m_shownFrame;          // what the window table shows
  bool m_filled[2] = {false, false}; // a table shows a record, not the form's texts
  bool m_noCapture = false;          // the tables show that there is no capture
  QPointer<GLWidget> m_chart; // chart of the pending window pass
  QPointer<GLWidget> m_shownChart; // chart whose window the table shows
  QTimer m_frameTimer;
  int m_storedVisible = -1; // "report_bar" as last written; -1 not yet
};

#endif // REPORTBAR_H
