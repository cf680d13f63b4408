#ifndef NAVIGATIONBAR_H
#define NAVIGATIONBAR_H

#include "plotaxis.h"
#include "swapfile.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class PlotItemStraightLine;
class PlotWidget;
class QPushButton;

// The overview strip under the charts: the bound capture file's navigation
// series over the whole capture, a line at the chart's window, clicks that
// move the chart, and the dialog that rebuilds the series.
class NavigationBar : public QWidget
{
  Q_OBJECT

public:
  explicit NavigationBar(QWidget *parent = nullptr);
  ~NavigationBar() override;

  PlotWidget *createPlotter();
  // Binds the strip to `file` and shows its series; false for a null file or
  // one without a name.
  bool init(SwapFile *file);
  void clear();
  void enable();
  void disable();
  bool isEnabledForClicks() const { return m_enabled; }
  SwapFile *boundFile() const { return m_file; }
  // The bound file holds a capture (it has a name): only then is there an
  // overview to show, click or rebuild.
  bool showsCapture() const { return m_file && !m_file->file.fileName().isEmpty(); }

  PlotWidget *plotter = nullptr; // the overview plot, owned as a child

public slots:
  void on_axisUnitChanged(PlotAxis *axis, int _upper, QList<double> &tickVector, QList<QString> &tickVectorLabels);
  void on_changeColorTheme(bool _dark);
  void on_settings();
  void replot();
  void on_translate();
  void on_xRangeChanged(double _low, double _up);

signals:
  void navigationClicked(double _time);
  void navigationMoseMove(double _time);

protected:
  void changeEvent(QEvent *event) override;

private slots:
  // A bound file's tab was closed: its overview goes with it.
  void fileGone();

private:
  // The time under a mouse event's x, rounded to the pixel.
  double timeAt(double x) const;
  void applyChannelColour();
  void placeWindowLine();
  // The buttons work only while enabled and showing a capture.
  void updateButtons();

  QPushButton *m_resetButton = nullptr;
  QPushButton *m_settingsButton = nullptr;
  // Not owned: the tab owning it may be closed while the strip still shows it.
  QPointer<SwapFile> m_file;
  bool m_enabled = false;
  bool m_dark = false;
  QPointer<PlotItemStraightLine> m_windowLine;
  // The chart's window last reported; the line marks its centre.
  bool m_haveWindow = false;
  double m_windowCentre = 0;
};

#endif // NAVIGATIONBAR_H
