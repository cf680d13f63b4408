#include "navigationbar.h"

#include "colorsagent.h"
#include "helpers.h"
#include "navigationsettings.h"
#include "plotaxisrect.h"
#include "plotgraph.h"
#include "plotitemline.h"
#include "plotwidget.h"
#include "progressdialog.h"
#include "swapfile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QMouseEvent>
#include <QPushButton>

#include <cmath>

NavigationBar::NavigationBar(QWidget *parent) : QWidget(parent)
{
  if (objectName().isEmpty())
    setObjectName(QStringLiteral("NavigationBar"));
  resize(400, 300);
  setWindowTitle(tr("Form"));
  auto *layout = new QHBoxLayout(this);
  layout->setObjectName(QStringLiteral("horizontalLayout_Navigation"));
  layout->setSpacing(6);
  layout->setContentsMargins(11, 11, 11, 11);

  plotter = createPlotter();
  QSizePolicy plotPolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  plotPolicy.setVerticalStretch(2);
  plotter->setSizePolicy(plotPolicy);
  layout->addWidget(plotter);

  m_resetButton = new QPushButton(QIcon(QStringLiteral(":/res/refresh-white.png")), QString(), this);
  m_resetButton->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
  layout->addWidget(m_resetButton);
  connect(m_resetButton, &QPushButton::clicked, this, [this] {
    if (!m_enabled || !showsCapture())
      return;
    plotter->xAxis->setRange(m_file->navigationSpan);
    plotter->replot(PlotWidget::rpByHint);
  });

  m_settingsButton = new QPushButton(QIcon(QStringLiteral(":/res/settings-white.png")), QString(), this);
  m_settingsButton->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
  layout->addWidget(m_settingsButton);
  connect(m_settingsButton, &QPushButton::clicked, this, &NavigationBar::on_settings);

  on_translate();
  m_resetButton->setEnabled(false);
  m_settingsButton->setEnabled(false);
}

NavigationBar::~NavigationBar() = default;

PlotWidget *NavigationBar::createPlotter()
{
  auto *plot = new PlotWidget(this);
  plot->setObjectName(QStringLiteral("navigation-plotter"));
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setVerticalStretch(2);
  plot->setSizePolicy(policy);
  plot->xAxis->setRange(0, 10);
  plot->yAxis->setVisible(false);
  plot->setInteraction(Plot::iaRangeZoom, true);
  PlotGraph *graph = plot->addGraph(plot->xAxis, plot->yAxis);
  graph->setPen(QPen(Qt::red));

  connect(plot, &PlotWidget::plottableClick, plot, [this](PlotAbstractPlottable *plottable, QMouseEvent *e) {
    if (m_enabled && showsCapture() && qobject_cast<PlotGraph *>(plottable) && e)
      emit navigationClicked(timeAt(e->position().x()));
  });
  connect(plot, &PlotWidget::mouseWheel, plot, [](QWheelEvent *) {});
  connect(plot, &PlotWidget::axisClick, plot, [this](PlotAxis *axis, PlotAxis::SelectablePart, QMouseEvent *e) {
    if (m_enabled && showsCapture() && axis && axis->axisType() == PlotAxis::atBottom && e)
      emit navigationClicked(timeAt(e->position().x()));
  });
  connect(plot->xAxis, &PlotAxis::axisUnitChanged, this, &NavigationBar::on_axisUnitChanged);
  connect(plot->xAxis, qOverload<PlotRange &>(&PlotAxis::rangeChanged), plot, [this](PlotRange &range) {
    if (m_file)
      m_file->navigationRange = range;
  });
  connect(plot, &PlotWidget::mouseMove, plot, [this](QMouseEvent *e) {
    if (!e)
      return;
    const double t = timeAt(e->position().x());
    if (t >= 0 && t <= plotter->xAxis->range().upper)
      emit navigationMoseMove(t);
  });
  return plot;
}

double NavigationBar::timeAt(double x) const
{
  return plotter->xAxis->pixelToCoord(std::round(x));
}

bool NavigationBar::init(SwapFile *file)
{
  if (!file)
    return false;
  m_file = file;
  connect(file, &QObject::destroyed, this, &NavigationBar::fileGone, Qt::UniqueConnection);
  updateButtons();
  if (!showsCapture()) {
    // A tab without a capture: nothing of the one shown before may stay.
    plotter->graph(0)->setData(QList<double>(), QList<double>());
    plotter->xAxis->setRange(0, 10);
    placeWindowLine();
    replot();
    return false;
  }
  plotter->graph(0)->setData(file->navigationSeries, true);
  plotter->xAxis->setRange(file->navigationRange);
  // The line stays at the chart's window; the main window reports it after
  // every init (the overview's own range is not the chart's window).
  placeWindowLine();
  // Thresholds are kept per channel: the trace's high level fills the strip.
  const int channel = file->navigationChannel;
  const double level = channel >= 0 && channel < 3 ? file->thresholds[channel] : 0;
  plotter->yAxis->setRange(0, level > 0 && std::isfinite(level) ? level : 1);
  applyChannelColour();
  replot();
  return true;
}

void NavigationBar::applyChannelColour()
{
  if (!m_file)
    return;
  ColorsAgent agent(m_dark);
  const int channel = ((m_file->navigationChannel % 3) + 3) % 3;
  plotter->graph(0)->setPen(QPen(agent.colors.at(ColorsAgent::Chart)[channel]));
}

void NavigationBar::clear()
{
  if (m_file)
    m_file->navigationSeries->clear();
  plotter->graph(0)->setData(QList<double>(), QList<double>());
  plotter->xAxis->setRange(0, 10);
  replot();
}

void NavigationBar::fileGone()
{
  if (m_file)
    return;
  plotter->graph(0)->setData(QList<double>(), QList<double>());
  placeWindowLine();
  updateButtons();
  replot();
}

void NavigationBar::enable()
{
  m_enabled = true;
  updateButtons();
}

void NavigationBar::disable()
{
  m_enabled = false;
  updateButtons();
}

void NavigationBar::updateButtons()
{
  const bool usable = m_enabled && showsCapture();
  m_resetButton->setEnabled(usable);
  m_settingsButton->setEnabled(usable);
}

void NavigationBar::on_xRangeChanged(double _low, double _up)
{
  PlotRange range(_low, _up);
  range.normalize();
  m_haveWindow = true;
  m_windowCentre = range.center();
  placeWindowLine();
  replot();
  qDebug() << "NavigationBar::on_xRangeChanged" << range.lower << range.upper << m_windowCentre;
}

void NavigationBar::placeWindowLine()
{
  if (!m_haveWindow)
    return;
  if (!m_windowLine) {
    m_windowLine = new PlotItemStraightLine(plotter);
    m_windowLine->setAntialiased(false);
    m_windowLine->setPen(QPen(Qt::red));
    plotter->addItem(m_windowLine);
  }
  // The chart's window is only marked on the overview of its capture.
  m_windowLine->setVisible(showsCapture());
  m_windowLine->point1->setCoords(m_windowCentre, 0);
  m_windowLine->point2->setCoords(m_windowCentre, plotter->height());
}

void NavigationBar::on_settings()
{
  if (!showsCapture())
    return;
  SwapFile *file = m_file;
  // The dialog and the scan turn the event loop: the tab may be closed and
  // the strip bound to another capture meanwhile.
  const QPointer<SwapFile> target = file;
  const int channel = file->navigationChannel;
  const double current = channel >= 0 && channel < 3 ? file->thresholds[channel] : file->thresholds[0];
  std::tuple<int, int, double> choice;
  {
    NavigationSettings dialog(file->header, file->thresholds, {channel, file->navigationColumn, current}, this);
    // The choice was made for that capture only.
    if (dialog.exec() != QDialog::Accepted || !target || m_file != target)
      return;
    choice = dialog.params();
  }
  const auto [newChannel, newColumn, threshold] = choice;
  disable();
  file->navigationChannel = newChannel;
  file->navigationColumn = newColumn;
  if (newChannel >= 0 && newChannel < 3)
    file->thresholds[newChannel] = threshold;
  clear();

  // A device change in one of the scan's turns closes every tab: the scan
  // runs on a file of the strip's own and the result goes back only to the
  // bound file, if it still exists.
  const QString path = file->file.fileName();
  SwapFile scanner;
  connect(&scanner, &SwapFile::swapFileError, file, &SwapFile::swapFileError);
  // Nothing would show what is left of the scan once the file has gone.
  connect(file, &QObject::destroyed, &scanner, &SwapFile::terminate);
  auto *progress = new ProgressDialog(0, 100, this);
  connect(progress, &ProgressDialog::canceled, &scanner, &SwapFile::terminate);
  progress->setWindowModality(Qt::WindowModal);
  progress->show();
  QCoreApplication::processEvents();
  if (target && m_file == target)
    scanner.readFiltered(path, newChannel, newColumn, threshold, progress);
  progress->hide();
  delete progress;

  if (target && m_file == target) {
    std::swap(*target->navigationSeries, *scanner.navigationSeries);
    target->navigationRange = scanner.navigationRange;
    target->navigationSpan = scanner.navigationSpan;
    target->terminated = scanner.terminated;
    init(target);
  } else if (!m_file) {
    // Unbound: show nothing rather than a series of a closed capture.
    plotter->graph(0)->setData(QList<double>(), QList<double>());
    replot();
  }
  enable();
}

void NavigationBar::on_axisUnitChanged(PlotAxis *axis, int, QList<double> &tickVector, QList<QString> &tickVectorLabels)
{
  if (!axis || axis->axisType() != PlotAxis::atBottom)
    return;
  for (int i = 0; i < tickVectorLabels.size() && i < tickVector.size(); ++i)
    tickVectorLabels[i] = Helpers::timeToString(tickVector.at(i), false, 2);
}

void NavigationBar::on_changeColorTheme(bool _dark)
{
  m_dark = _dark;
  m_resetButton->setIcon(QIcon(m_dark ? QStringLiteral(":/res/refresh-white.png")
                                      : QStringLiteral(":/res/refresh-black.png")));
  m_settingsButton->setIcon(QIcon(m_dark ? QStringLiteral(":/res/settings-white.png")
                                         : QStringLiteral(":/res/settings-black.png")));
  {
    ColorsAgent agent(m_dark);
    Helpers::setPlotterColor(plotter, agent.background);
  }
  if (m_file) {
    applyChannelColour();
    replot();
  }
}

void NavigationBar::replot()
{
  plotter->replot(PlotWidget::rpByHint);
}

void NavigationBar::on_translate()
{
  m_settingsButton->setToolTip(tr("Sets extreme values to display them on the navigation panel"));
  setToolTip(tr("Click the sample of interest for direct access to the time window containing this sample"));
}

void NavigationBar::changeEvent(QEvent *event)
{
  QWidget::changeEvent(event);
  if (event->type() == QEvent::LanguageChange)
    setWindowTitle(tr("Form"));
}
