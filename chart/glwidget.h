#ifndef GLWIDGET_H
#define GLWIDGET_H

#include "controlpackets.h"
#include "plotdata.h"
#include "plotrange.h"
#include "reportdata.h"

#include <QColor>
#include <QList>
#include <QMetaObject>
#include <QMutex>
#include <QPointer>
#include <QString>
#include <QWidget>

class PlotAxis;
class PlotGraph;
class PlotItemText;
class PlotWidget;
class SwapFile;

// The eight channel colours of the power supplies and the mouse readout.
extern const QColor g_colors[8];

// The chart of one capture tab: the tab's plot, one point map, line graph and
// value axis per channel, the live statistics of the whole capture, the title
// and the tab's capture file. The maps are owned here and only lent to the
// graphs; acquisition fills them and the 10 ms tick appends the old ones to
// the capture file under `mutex`. The widget itself never locks: its
// operations run in the GUI thread while no append runs.
class GLWidget : public QWidget
{
  Q_OBJECT

public:
  explicit GLWidget(QWidget *parent = nullptr);
  ~GLWidget() override;

  // Makes `plotter` the tab's plot; an earlier plot is hidden, not deleted.
  void setPlotter(PlotWidget *plotter);
  // Replaces every map, graph and value axis this chart made by a new set.
  // Logger: channels #0, #1 and #2 (the list is not used). Power supply: the
  // listed channel numbers, one map each in list order.
  void addChannels(QList<int> channels);
  // One logger channel (0, 1 or 2; others are ignored).
  void addChannel(int channel, QColor color, bool dark);
  // One power-supply channel at position `index` of the capture's channels.
  void addPowerChannel(int channel, int index, bool dark);
  // The vertical cursor line: a last graph on the plot's hidden left axis.
  void addCursorLine();

  // Adds one logger point to the live statistics; `count` marks the first
  // channel of a sample instant. Values that are not finite are skipped.
  void updateReport(int channel, PlotData &point, bool count);
  // New multiplier (1 to 4) of channel #1 or #2: that axis's limits and range.
  void multiplierChanged(int channel, int multiplier);
  // Rebuilds the title from the capture file's channels, rate and duration.
  void addTitle();
  // First and last key of the first map holding points; (0, 0) when none.
  PlotRange timeRange() const;
  bool isEmpty() const;
  // The tab has a capture, running, finished or opened: its file or its
  // points. A fresh tab, or one whose start was refused, has none.
  bool holdsCapture() const;
  // Empties every map in place; maps, graphs and axes stay.
  void reset();

  static QColor getColor(int index, bool dark = false);

  PlotWidget *plot = nullptr;
  QList<PlotDataMap *> maps;
  DeviceControl deviceControl;
  bool saved = true;
  SwapFile *swapFile = nullptr;
  // The capture file lacks its end (its last records or its tail could not
  // be written): a save writes the file's records, then `unwritten`, then
  // `report`.
  bool unfinished = false;
  // Points the capture received that are in no file, indexed as `maps`;
  // the only copy of them, kept whatever the chart later shows.
  QList<PlotDataMap> unwritten;
  QMutex mutex;
  ReportData report;
  QPointer<PlotItemText> title;
  int mult1 = 1;
  int mult2 = 1;

public slots:
  // Replots the plot, then repaints the widget.
  void repaint();

signals:
  void axisRangeChanged(PlotRange &newRange, PlotRange &oldRange, PlotAxis *axis);
  void channelsAdded();

private:
  // Removes what the last addChannels made: graphs, maps, axes, relays.
  void clearChannels();
  void removeCursorLine();
  // Settings every value axis receives, and the relay of its range changes.
  void setupValueAxis(PlotGraph *graph, PlotAxis *axis, const QString &label, bool power, int precision);
  PlotGraph *addChannelGraph(const QColor &color, const QString &name);
  // Remembers the capture file's path while the capture is unsaved; a start
  // calls addTitle() right after creating the file, before any rename.
  void noteWorkingFile();

  QPointer<PlotWidget> m_channelsPlot; // the plot holding the graphs below
  QList<QPointer<PlotGraph>> m_graphs;
  QList<QPointer<PlotAxis>> m_ownAxes; // created here, removed on rebuild
  QList<QMetaObject::Connection> m_relays;
  QPointer<PlotAxis> m_voltageAxis[2]; // logger channels #1 and #2
  bool m_usedRightAxis = false;        // the plot's own right axis shows #2
  QPointer<PlotGraph> m_cursorGraph;
  PlotDataMap *m_cursorMap = nullptr;
  // The working file as create() named it: only that file is removed with an
  // unsaved tab, never one it was renamed (saved) to.
  QString m_workingPath;
};

#endif // GLWIDGET_H
