#ifndef MARKERBAR_H
#define MARKERBAR_H

#include "plotrange.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class GLWidget;
class Marker;
class PlotAxis;
class PlotWidget;
class QHoverEvent;

// The strip above the charts with the markers T1 and T2: their times, their
// distance and, as a tooltip, the statistics between them. One bar serves
// every tab; the main window attaches it to the current chart.
class MarkerBar : public QWidget
{
  Q_OBJECT

public:
  explicit MarkerBar(QWidget *parent = nullptr);
  ~MarkerBar() override;

  void setPlotter(GLWidget *chart);
  Marker *marker(int index) const;
  Marker *addMarker();
  Marker *addMarker(double x);
  void removeMarker(Marker *marker);
  void removeMarker(QString &name);
  void removeAll();
  Marker *markerByName(const QString &name) const;
  Marker *markerAtTime(double time) const;
  Marker *markerAtPos(double x) const;
  QColor getColor() const;
  void updateToolTip();
  // The pair is shown: the attached chart holds a capture whose times it
  // marks. Over a tab without one the pair waits, unseen and still.
  bool showsMarkers() const;
  // The pair stands where a chart put it or the user left it, not yet where
  // it was made or read from the settings file.
  bool placed() const;

  // "500 µs", "250.0 ms", "2.00 s".
  static QString distanceText(double seconds);

  bool dark = false;
  QList<Marker *> markers;
  // Guarded: a closed tab deletes the chart and its plot behind the bar's back.
  QPointer<PlotWidget> plot;
  Marker *dragged = nullptr;
  QRect hintRect;
  QString toolTipText;
  QPointer<GLWidget> chart;

public slots:
  void on_changeColorTheme(bool _dark);
  void on_rangeChanged(PlotRange &newRange, PlotRange &oldRange, PlotAxis *_axis);
  void on_sizeChanged();
  void on_translate();

signals:
  void markerAdded(Marker *marker);
  void markerMoved(double _time);
  void markerRemoved(Marker *marker);
  void markersRemoved(double);

protected:
  bool event(QEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void paintEvent(QPaintEvent *event) override;

private:
  // What an attached chart still owes the pair once it has room for it;
  // an unplaced pair waits for a chart that shows a capture.
  enum class Pending { None, Place, Attach, Unplaced };

  void hoverEnter(QHoverEvent *event);
  void hoverLeave(QHoverEvent *event);
  void hoverMove(QHoverEvent *event);
  PlotAxis *timeAxis() const;
  // The strip's left and right edges in its parent, also while it is hidden.
  QRect place() const;
  // Both markers at the strip positions, the times taken under them.
  Marker *createPair(double x);
  // Every marker keeps its place and takes the time under it.
  void takeTimes();
  // The shown time axis's ends in pixels, when the chart is on show and its
  // axis is at least a tag wide; otherwise the pair waits where it is.
  bool roomOnChart(double *lo, double *hi) const;
  // Settles what the chart owes the pair, and follows its layout: a change
  // of its width keeps the marked times, any other change the places.
  void followChart();
  // The pair follows a new layout of the chart it is placed on.
  void followLayout(const QRect &rect, double lo, double hi);
  // Without room on the chart: the times the strip, the tooltip and the
  // calculator read stay inside the shown window.
  void keepTimesInWindow();
  void placeFromSettings(double lo, double hi);
  // `first` at x (kept on the axis), its partner a tag's width to its right.
  void placePair(Marker *first, double x, double lo, double hi);
  // Where a pair that cannot keep its places goes: the bar's middle, or the
  // middle of the time axis when that is off it.
  double fallbackPlace(double lo, double hi) const;
  bool onAxis(double lo, double hi) const;

  Pending pending = Pending::None;
  // The chart's width and data area when the places last matched them.
  int seenWidth = -1;
  QRect seenRect;
};

#endif // MARKERBAR_H
