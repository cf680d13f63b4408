// The time window of a capture tab: value-axis fitting, placing and paging
// the window through a capture file, and the time axis's own ticks.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "axis.h"
#include "glwidget.h"
#include "helpers.h"
#include "plot.h"
#include "swapfile.h"

#include "navigationbar.h"
#include "settings.h"

#include <QComboBox>
#include <QFileInfo>
#include <QInputDialog>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>

#include <limits>

#include <cmath>

namespace {

constexpr int RedrawMs = 200;

// The centre of the window of `span` seconds that begins at `start`. The
// reader takes centre - span / 2 for the window's start, which in doubles
// can land just past `start` ((4.8 + 5) - 5 > 4.8) and leave out the record
// there.
double centreFrom(double start, double span)
{
  double centre = start + span / 2;
  while (centre - span / 2 > start)
    centre = std::nextafter(centre, -std::numeric_limits<double>::infinity());
  return centre;
}

} // namespace

void MainWindow::setupTimeWindow()
{
  auto *redraw = new QTimer(this);
  connect(redraw, &QTimer::timeout, this, [this] { reRangeLeft(false); });
  redraw->start(RedrawMs);
  // Clicks on the strip arrive only while it is enabled, i.e. never mid-capture.
  connect(ui->navigationBar, &NavigationBar::navigationClicked, this,
          [this](double time) { on_swapPositionChanged(int(time)); });
}

void MainWindow::connectTimeWindow(PlotWidget *plot)
{
  connect(plot, &PlotWidget::rangeBorderReached, this, &MainWindow::on_rangeBorderReached);
  connect(plot, &PlotWidget::mouseRelease, this, &MainWindow::on_mouseRelease);
  connect(plot, &PlotWidget::mouseWheel, this, &MainWindow::on_mouseWheel);
  connect(plot, &PlotWidget::axisDoubleClick, this, &MainWindow::on_axisDoubleClick);
  connect(plot, &PlotWidget::mouseMove, this, &MainWindow::on_mouseMove);
  connect(plot, &PlotWidget::plottableDoubleClick, this, &MainWindow::on_plottableDoubleClick);
}

PlotRange MainWindow::rescaleAxis(PlotGraph *graph, PlotRange *range)
{
  if (!graph || !graph->data() || graph->data()->isEmpty())
    return PlotRange(0, 0);
  PlotRange window = range ? *range : PlotRange();
  if (!range) {
    PlotWidget *plot = plotter();
    if (!plot)
      return PlotRange(0, 0);
    window = plot->xAxis->range();
  }
  // A plain walk over the window: the points lie in one array, so even ten
  // seconds at 10 kHz cost well under a millisecond.
  double low = 0, high = 0;
  bool any = false;
  const PlotDataMap *map = graph->data();
  for (auto it = map->lowerBound(window.lower); it != map->cend() && it.key() <= window.upper; ++it) {
    const double v = it->value;
    if (std::isnan(v))
      continue;
    if (!any) {
      low = high = v;
      any = true;
    } else if (v < low) {
      low = v;
    } else if (v > high) {
      high = v;
    }
  }
  const double d = high - low;
  const double m = high - d / 2;
  // A flat trace gets room around it instead of a zero-height axis.
  if (d < 0.002 || d / m < 0.1) {
    double w = 30 * d;
    if (w == 0)
      w = 2 * m;
    if (m - w / 2 < 0)
      return PlotRange(0, w);
    return PlotRange(m - w / 2, m + w / 2);
  }
  return PlotRange(low, high);
}

void MainWindow::reRangeLeft(bool force)
{
  GLWidget *tab = currentWidget();
  if (!tab || !tab->plot || (!force && !Helpers::isMeasuring))
    return;
  // The live view follows the capturing tab's points only under its lock.
  QMutexLocker locker(&tab->mutex);
  if (!fitLeftAxis(tab))
    return;
  locker.unlock();
  tab->repaint();
}

bool MainWindow::fitLeftAxis(GLWidget *tab)
{
  PlotWidget *plot = tab->plot;
  if (plot->graphCount() == 0)
    return true;
  PlotGraph *graph = plot->graph(0);
  auto *axis = dynamic_cast<Axis *>(graph->valueAxis());
  if (!axis)
    return false;
  // The tab's own window: it need not be the current tab's.
  PlotRange window = plot->xAxis->range();
  const PlotRange checked = axis->calcTicksRange(rescaleAxis(graph, &window));
  if (checked.size() != 0)
    axis->setRange(checked.lower, checked.upper);
  return true;
}

void MainWindow::adjustRanges(double centre, double span)
{
  adjustRanges(currentWidget(), centre, span);
}

void MainWindow::adjustRanges(GLWidget *tab, double centre, double span)
{
  if (!tab || !tab->plot)
    return;
  const PlotRange held = tab->timeRange();
  PlotAxis *time = tab->plot->xAxis;
  time->setRangeMin(held.lower);
  time->setRangeMax(held.upper);
  const double h = span / 2;
  double lower = centre - h, upper = centre + h;
  if (upper > held.upper) {
    lower = held.upper - 2 * h;
    upper = held.upper;
  }
  // The capture's records may begin well after 0 (samples lost at its
  // start): the window begins with the first.
  const double start = captureStart(tab);
  if (lower < start) {
    lower = start;
    upper = windowEnd(time, lower, start + 2 * h, held.upper);
  }
  // Only the tab on show tells the strip of its window.
  if (tab == currentWidget())
    setXRange(lower, upper);
  else
    time->setRange(lower, upper);
  // Every fit before the one redraw: each redraw draws all the points held.
  resetRightAxes(tab);
  {
    QMutexLocker locker(&tab->mutex);
    fitLeftAxis(tab);
  }
  tab->repaint();
}

// As a double-click on each of the first two right axes, without the redraw.
void MainWindow::resetRightAxes()
{
  resetRightAxes(currentWidget());
}

void MainWindow::resetRightAxes(GLWidget *tab)
{
  PlotWidget *plot = tab ? tab->plot : nullptr;
  if (Helpers::isMeasuring || !plot || !plot->axisRect())
    return;
  // The tab's own kind decides, not the window's mode: that follows the
  // file opened last. A supply's channels sit on both sides, each on an
  // axis of its own whose range is the channel's: each one fits its own
  // points.
  bool supply = false;
  for (PlotAxis *axis : plot->axisRect()->axes()) {
    if (dynamic_cast<AxisPower *>(axis)) {
      fitPowerAxis(plot, axis);
      supply = true;
    }
  }
  if (supply)
    return;
  const QList<PlotAxis *> right = plot->axisRect()->axes(PlotAxis::atRight);
  for (int i = 0; i < right.size() && i < 2; ++i)
    resetRightAxis(tab, plot, right.at(i));
}

void MainWindow::fitPowerAxis(PlotWidget *plot, PlotAxis *axis)
{
  const double limitLow = axis->rangeMin(), limitHigh = axis->rangeMax();
  double lower = 0, upper = 0;
  bool any = false;
  for (int i = 0; i < plot->graphCount(); ++i) {
    PlotGraph *graph = plot->graph(i);
    if (graph->valueAxis() != axis)
      continue;
    PlotRange window = plot->xAxis->range();
    const PlotRange r = rescaleAxis(graph, &window);
    if (r.size() == 0)
      continue; // no point in the window
    lower = any ? qMin(lower, r.lower) : r.lower;
    upper = any ? qMax(upper, r.upper) : r.upper;
    any = true;
  }
  lower = qMax(lower, limitLow);
  upper = qMin(upper, limitHigh);
  // Nothing to fit, or points outside the channel's range: the whole range.
  if (!any || !(upper > lower)) {
    lower = limitLow;
    upper = limitHigh;
  }
  axis->setRange(lower, upper);
}

void MainWindow::resetRightAxis(GLWidget *tab, PlotWidget *plot, PlotAxis *axis)
{
  // The logger's voltage range means nothing to a supply's channel.
  if (dynamic_cast<AxisPower *>(axis)) {
    fitPowerAxis(plot, axis);
    return;
  }
  const bool own = plot->axisRect() && plot->axisRect()->axis(PlotAxis::atRight, 0) == axis;
  const int m = own ? tab->mult2 : tab->mult1;
  axis->setRange(-100.0 * m, 5500.0 * m);
}

void MainWindow::on_plottableDoubleClick(PlotAbstractPlottable *, QMouseEvent *)
{
  PlotWidget *plot = plotter();
  if (Helpers::isMeasuring || !plot)
    return;
  // As a double-click on the left axis and on the first two right ones.
  resetRightAxes();
  reRangeLeft(true);
  plot->replot(PlotWidget::rpByHint);
}

void MainWindow::on_rangeBorderReached(double newLower, double newUpper)
{
  // During a capture the limits are the live points': no paging then.
  if (!plotter() || Helpers::isMeasuring)
    return;
  m_borderReached = true;
  m_wantedRange = PlotRange(newLower, newUpper);
}

void MainWindow::on_mouseRelease(QMouseEvent *)
{
  PlotWidget *plot = plotter();
  GLWidget *tab = currentWidget();
  if (!plot || !tab)
    return;
  const PlotRange window = plot->xAxis->range();
  emit xRangeChanged(window.lower, window.upper);
  if (!m_borderReached)
    return;
  m_borderReached = false;
  // The maps of a running capture hold its only copy of the newest points.
  if (Helpers::isMeasuring)
    return;
  const double span = window.size();
  const double start = captureStart(tab);
  const int seconds = viewingSeconds(tab);
  if (m_wantedRange.lower < start) {
    // The first record may lie in the file only (after a stop or paging
    // on): without it the window would be cut to what is held.
    if (tab->timeRange().lower > start) {
      tab->reset();
      tab->swapFile->readRange(centreFrom(start, seconds), seconds, tab->maps);
    }
    adjustRanges(centreFrom(start, span), span);
    return;
  }
  const double centre = qMax(start + 5.0, m_wantedRange.center());
  tab->reset();
  // A read that reaches the first record begins at it: a centre of start
  // plus half the interval, rounded, can put the reader's start past it.
  const double read = centre <= start + seconds / 2.0 ? centreFrom(start, seconds) : centre;
  tab->swapFile->readRange(read, seconds, tab->maps);
  adjustRanges(centre, span);
}

void MainWindow::on_swapPositionChanged(int startTime)
{
  GLWidget *tab = currentWidget();
  if (Helpers::isMeasuring || !tab || !tab->plot)
    return;
  const int seconds = viewingSeconds(tab);
  tab->reset();
  // A click before the first record loads the first window.
  tab->swapFile->readRange(qMax(double(startTime), centreFrom(captureStart(tab), seconds)), seconds, tab->maps);
  if (tab->maps.isEmpty())
    return;
  adjustRanges(startTime, tab->plot->xAxis->range().size());
}

double MainWindow::windowEnd(const PlotAxis *time, double lower, double upper, double heldUpper)
{
  // A window reaching past what is held is taken whole only when already
  // on show (as 0..10 on a fresh chart); any other would keep the axis's
  // old lower end, so it ends where the points do.
  const PlotRange shown = time->range();
  if (upper > heldUpper && heldUpper > lower && !(shown.lower == lower && shown.upper == upper))
    return heldUpper;
  return upper;
}

double MainWindow::captureStart(const GLWidget *tab)
{
  return tab && tab->swapFile ? tab->swapFile->firstTime : 0.0;
}

void MainWindow::on_mouseWheel(QWheelEvent *event)
{
  PlotWidget *plot = plotter();
  if (Helpers::isMeasuring || !plot || !event || !plot->axisRect())
    return;
  PlotAxis *axis = plot->axisAt(event->position());
  if (!axis)
    axis = plot->axisRect()->axis(PlotAxis::atBottom);
  if (!axis || !(plot->interactions() & Plot::iaRangeZoom))
    return;
  const bool horizontal = axis->axisType() == PlotAxis::atBottom;
  const int pixel = horizontal ? int(event->position().x()) : int(event->position().y());
  const double base = plot->axisRect()->rangeZoomFactor(horizontal ? Qt::Horizontal : Qt::Vertical);
  const double factor = std::pow(base, event->angleDelta().y() / 120.0);
  axis->scaleRange(factor, axis->pixelToCoord(pixel));
  plot->replot(PlotWidget::rpByHint);
}

void MainWindow::on_axisDoubleClick(PlotAxis *axis, PlotAxis::SelectablePart, QMouseEvent *event)
{
  PlotWidget *plot = plotter();
  GLWidget *tab = currentWidget();
  if (Helpers::isMeasuring || !plot || !tab || !axis)
    return;
  switch (axis->axisType()) {
  case PlotAxis::atBottom:
    if (event) {
      const double t = axis->pixelToCoord(std::round(event->position().x()));
      if (std::isfinite(t)) {
        const double lower = qMax(0.0, t - 5);
        setXRange(lower, lower + 10);
      }
    }
    break;
  case PlotAxis::atLeft:
    if (dynamic_cast<AxisPower *>(axis))
      fitPowerAxis(plot, axis);
    else
      reRangeLeft(true);
    break;
  case PlotAxis::atRight:
    resetRightAxis(tab, plot, axis);
    break;
  default:
    break;
  }
  plot->replot(PlotWidget::rpByHint);
}

void MainWindow::on_showAll()
{
  GLWidget *tab = currentWidget();
  if (Helpers::isMeasuring || !tab || !tab->plot)
    return;
  const PlotRange all = tab->timeRange();
  setXRange(all.lower, all.upper);
  reRangeLeft(true);
  resetRightAxes();
  tab->repaint();
  tab->plot->replot(PlotWidget::rpByHint);
}

void MainWindow::calcTickPositions(PlotRange range, QList<double> &ticks, double &step)
{
  // Counted in whole tenths of a millisecond, so that the ticks land on
  // round times whatever the window's floating-point ends.
  auto tenths = [](double seconds) -> quint64 {
    if (!(seconds > 0))
      return 0;
    return seconds >= 1e15 ? quint64(1e19) : quint64(seconds * 10000);
  };
  quint64 n = tenths(range.size());
  quint64 c = tenths(range.lower);
  double d;
  if (n == 0) {
    n = 1;
    c -= c % 10;
    d = 0.0001;
  } else if (n <= 10) {
    c -= c % 10;
    d = 0.0001;
  } else if (n > 1000000000) {
    n -= n % 1000000000;
    c -= c % 10000000000ULL;
    d = 100000;
  } else {
    quint64 rounding = 10;
    d = 0.001;
    while (n > rounding * 10) {
      rounding *= 10;
      d *= 10;
    }
    n -= n % rounding;
  }
  const double first = double((c / n) * n) / 10000;
  auto fill = [&](double s) {
    ticks.clear();
    // A bound on the count keeps a degenerate range from filling memory.
    for (int i = 0; i < 100000; ++i) {
      const double t = first + i * s;
      ticks.append(t);
      if (t > range.upper)
        break;
    }
  };
  auto intervals = [&]() {
    int lo = 0, hi = -1;
    for (int i = 0; i < ticks.size(); ++i) {
      if (ticks.at(i) >= range.lower && ticks.at(i) <= range.upper) {
        if (hi < 0)
          lo = i;
        hi = i;
      }
    }
    return hi - lo;
  };
  fill(d);
  step = d;
  if (intervals() > 5)
    return;
  fill(d / 2);
  if (intervals() > 5) {
    step = d / 2;
    return;
  }
  fill(d / 10);
  step = d / 10;
}

int MainWindow::subTickCount(double step)
{
  for (double exact : {0.001, 0.01, 0.1, 1.0, 10.0, 100.0, 1000.0, 10000.0}) {
    if (step == exact)
      return 9;
  }
  return 4;
}

int MainWindow::viewingSeconds(int divider) const
{
  if (divider <= 0)
    return m_showAllLength;
  const double rate = 10000.0 / divider;
  if (m_showAllLength * rate <= MaxViewPoints)
    return m_showAllLength;
  return qMax(1, int(MaxViewPoints / rate));
}

int MainWindow::viewingSeconds(const GLWidget *tab) const
{
  // A tab without a capture file has no rate yet.
  if (!tab || !tab->swapFile || tab->swapFile->file.fileName().isEmpty())
    return m_showAllLength;
  return viewingSeconds(tab->swapFile->header.divider);
}

void MainWindow::reportViewingCap(const GLWidget *tab)
{
  const int seconds = viewingSeconds(tab);
  if (seconds < m_showAllLength)
    showStatusMessage(tr("Viewing interval limited to %1 s: at this sample rate a longer one would hold more "
                         "than 2 million points per channel")
                        .arg(seconds),
                      10000);
}

void MainWindow::on_comboboxTimeAcivated(int index)
{
  QComboBox *list = m_comboMeasuringTime;
  if (!list || index < 0 || index >= list->count())
    return;
  const int custom = MeasuringTimeRows - 1;
  Settings settings;
  settings.beginGroup(QStringLiteral("Options"));
  if (index == custom) {
    bool ok = false;
    const int value = QInputDialog::getInt(this, tr("Enter value"), tr("Measuring time,sec "),
                                           list->itemData(custom).toInt(), 1, std::numeric_limits<int>::max(), 1, &ok);
    if (ok) {
      m_measuringTime = value;
      settings.setValue(QStringLiteral("serie-length-sec"), value);
      list->setItemData(custom, value);
      list->setItemText(custom, tr("Custom: ") + QString::number(value));
    } else {
      // The list keeps showing, and the settings keep, the time in force:
      // otherwise the next start would silently bring the custom time.
      index = qMax(0, list->findData(m_measuringTime));
      list->setCurrentIndex(index);
    }
  } else {
    m_measuringTime = list->itemData(index).toInt();
  }
  settings.setValue(QStringLiteral("time-length-index"), index);
}

void MainWindow::on_comboboxShowAllTimeAcivated(int index)
{
  QComboBox *list = m_comboShowAll;
  if (!list || index < 0 || index >= list->count())
    return;
  const QPointer<GLWidget> asked = currentWidget();
  const int before = m_showAllLength;
  const int loadedBefore = viewingSeconds(asked.data());
  const int custom = ShowAllRows - 1;
  if (index == custom) {
    bool ok = false;
    const int value = QInputDialog::getInt(this, tr("Enter value"), tr("Viewing interval, sec "),
                                           list->itemData(custom).toInt(), 10, 1800, 1, &ok);
    if (ok) {
      m_showAllLength = value;
      list->setItemData(custom, value);
      list->setItemText(custom, tr("Custom: ") + QString::number(value));
    } else {
      index = qMax(0, list->findData(before));
      list->setCurrentIndex(index);
    }
  } else {
    m_showAllLength = list->itemData(index).toInt();
  }
  {
    Settings settings;
    settings.beginGroup(QStringLiteral("Options"));
    settings.setValue(QStringLiteral("showall-length-index"), index);
    settings.setValue(QStringLiteral("showall-length-sec"), m_showAllLength);
  }

  // The dialog lets events run: a change of device kind closes every tab.
  // The tab current now is the one to reload; what another holds is unknown.
  GLWidget *tab = currentWidget();
  // The live maps of a running capture are its only copy of the newest points.
  if (m_showAllLength == before || Helpers::isMeasuring || !tab || !tab->plot || tab->isEmpty())
    return;
  reportViewingCap(tab);
  const int seconds = viewingSeconds(tab);
  if (seconds == loadedBefore && tab == asked)
    return;
  const double lower = tab->plot->xAxis->range().lower;
  tab->reset();
  tab->swapFile->readRange(lower + seconds / 2.0, seconds, tab->maps);
  // The limits follow what is held, or the new window would be cut to the old one.
  const PlotRange held = tab->timeRange();
  tab->plot->xAxis->setRangeMin(held.lower);
  tab->plot->xAxis->setRangeMax(held.upper);
  setXRange(held.lower, held.upper);
  reRangeLeft(true);
  resetRightAxes();
}
