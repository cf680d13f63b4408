// Capture tabs: creating, naming, closing and the tab bar's context menu.
#include "mainwindow.h"
// The form's navigation strip header needs the capture file class complete.
#include "swapfile.h"
#include "ui_mainwindow.h"

#include "axis.h"
#include "colorsagent.h"
#include "glwidget.h"
#include "markerbar.h"
#include "reportbar.h"
#include "helpers.h"
#include "plot.h"
#include "popup.h"
#include "settings.h"
#include "statuspanel.h"
#include "swapfile.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QMenu>
#include <QPointer>
#include <QTabBar>

#include <algorithm>

GLWidget *MainWindow::currentWidget() const
{
  return qobject_cast<GLWidget *>(ui->tabWidget->currentWidget());
}

PlotWidget *MainWindow::plotter() const
{
  GLWidget *tab = currentWidget();
  return tab ? tab->plot : nullptr;
}

void MainWindow::refreshGraphs()
{
  if (GLWidget *tab = currentWidget())
    tab->repaint();
}

void MainWindow::setXRange(double lower, double upper)
{
  if (PlotWidget *plot = plotter())
    plot->xAxis->setRange(lower, upper);
  emit xRangeChanged(lower, upper);
}

QString MainWindow::nextTabName() const
{
  // The name also names the capture's working file: two open tabs must
  // never share it, even after a tab in the middle was closed.
  const QString prefix = tr("Capture ");
  int number = ui->tabWidget->count() + 1;
  for (;;) {
    const QString name = prefix + QString::number(number);
    bool taken = false;
    for (int i = 0; i < ui->tabWidget->count() && !taken; ++i) {
      QString text = ui->tabWidget->tabText(i);
      if (text.startsWith(QLatin1Char('*')))
        text.remove(0, 1);
      taken = text == name;
    }
    if (!taken)
      return name;
    ++number;
  }
}

void MainWindow::addTab()
{
  Settings settings;
  const bool dark = settings.value(QStringLiteral("Options/dark-color"), false).toBool();
  ColorsAgent agent(dark);

  const QString name = nextTabName();
  auto *tab = new GLWidget(ui->tabWidget);
  tab->setObjectName(QStringLiteral("tab_") + name);
  auto *layout = new QHBoxLayout(tab);
  layout->setSpacing(6);
  layout->setContentsMargins(11, 11, 11, 11);
  layout->setObjectName(QStringLiteral("horizontalLayout_") + name);
  auto *plot = new PlotWidget(tab);
  tab->setPlotter(plot);
  plot->setObjectName(name);
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setVerticalStretch(2);
  plot->setSizePolicy(policy);
  layout->addWidget(plot);

  const int index = ui->tabWidget->addTab(tab, QString());
  ui->tabWidget->setTabText(index, name);

  plot->setAutoAddPlottableToLegend(false);
  PlotAxis *time = plot->xAxis;
  time->setLabel(Helpers::timeFormat == 2 ? tr("Time") : tr("Time, sec"));
  // The new tab is not the current one yet: its own axis gets the window.
  time->setRange(0, 10);
  emit xRangeChanged(0, 10);
  time->setNumberPrecision(8);
  time->setAutoTicks(true);
  time->setAutoSubTicks(true);
  time->setTickStep(0.5);
  time->setAutoTickCount(8);
  time->setTickLength(8, 0);
  time->setSubTickLength(4, 0);
  QFont font = time->labelFont();
  font.setWeight(QFont::Bold);
  time->setLabelFont(font);
  Helpers::setPlotterColor(plot, agent.background);

  connect(time, qOverload<PlotRange &, PlotRange &>(&PlotAxis::rangeChanged), this,
          [this, time](PlotRange &newRange, PlotRange &oldRange) { on_rangeChanged(newRange, oldRange, time); });
  connect(tab, &GLWidget::axisRangeChanged, this, &MainWindow::on_rangeChanged);
  connect(tab, &GLWidget::channelsAdded, this, &MainWindow::on_channelsAdded);
  connect(tab->swapFile, &SwapFile::swapFileError, this, &MainWindow::on_swapFileError);
  connectTimeWindow(plot);

  ui->tabWidget->setCurrentWidget(tab);
  ui->markerBar->setPlotter(tab);
  repaint();
}

void MainWindow::addPowerTab()
{
  addTab();
}

void MainWindow::on_rangeChanged(PlotRange &newRange, PlotRange &oldRange, PlotAxis *axis)
{
  if (Helpers::powerMode || Helpers::powerV2Mode || !axis)
    return;
  PlotWidget *plot = axis->parentPlot();
  // The unit follows the axis's upper end; a far-off range must not overflow the cast.
  const int upper = int(qBound(-2e9, newRange.upper + 1.0, 2e9));
  QString names[3];
  switch (axis->axisType()) {
  case PlotAxis::atLeft: {
    auto *current = dynamic_cast<Axis *>(axis);
    if (!current)
      return;
    current->on_rangeChanged(newRange, oldRange);
    const QString label = axis->label().section(QLatin1Char(','), 0, 0) +
                          QStringLiteral(", %1A").arg(Helpers::unitCharA(upper));
    axis->setLabel(label);
    names[0] = label;
    break;
  }
  case PlotAxis::atRight: {
    const QString label = axis->label().section(QLatin1Char(','), 0, 0) +
                          QStringLiteral(", %1V").arg(Helpers::unitCharV(upper));
    axis->setLabel(label);
    if (plot && axis == plot->yAxis2)
      names[2] = QString(label).replace(QStringLiteral("#1"), QStringLiteral("#2"));
    else
      names[1] = label;
    break;
  }
  default:
    // Only a reviewed capture follows its time window: during a capture the
    // axis moves every 10 ms and the bars show dashes.
    if (!plot || plot != plotter() || axis != plot->xAxis || Helpers::isMeasuring)
      return;
    axis->generateTickLabels();
    if (ui->reportBar->isVisible())
      ui->reportBar->update(currentWidget(), true);
    ui->markerBar->on_rangeChanged(newRange, oldRange, axis);
    if (Calculator *calculator = findCalculator())
      updateCalculator(calculator);
    return;
  }
  QString units[3];
  m_statusPanel->refreshChannels(names, units);
}

void MainWindow::on_closeTab(int index)
{
  // A double-click on the bar beside the tabs names no tab (-1).
  if (index < 0 || index >= ui->tabWidget->count() || refusedWhileSaving())
    return;
  if (Helpers::isMeasuring)
    terminateMeasuring();
  auto *tab = qobject_cast<GLWidget *>(ui->tabWidget->widget(index));
  if (!tab)
    return;
  const QString title = tr("Close");
  const QString name = ui->tabWidget->tabText(index);
  {
    // The question lets events run: the tab must still be there to close.
    TabHold hold(this, tab, tr("Answer the question about closing %1 first.").arg(QString(name).remove(QLatin1Char('*'))));
    if (tab->saved) {
      if (Helpers::warning(this, title, QStringLiteral("%1 %2?").arg(title, name),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return;
    } else {
      const int answer =
        Helpers::warning(this, title, tr("%1 is not saved. Want to save it before closing?").arg(name),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
      if (answer == QMessageBox::Cancel || hold.closed() ||
          (answer == QMessageBox::Yes && !save(ui->tabWidget->indexOf(tab))))
        return;
    }
    if (hold.closed())
      return;
  }
  ui->tabWidget->removeTab(ui->tabWidget->indexOf(tab));
  disposeTab(tab);
  if (ui->tabWidget->count() == 0)
    addFreshTab();
}

MainWindow::TabHold::TabHold(MainWindow *window, GLWidget *tab, const QString &refusal)
  : m_window(window), m_tab(tab)
{
  m_window->m_heldTabs.append(m_tab);
  m_window->m_holdRefusals.append(refusal);
}

MainWindow::TabHold::~TabHold()
{
  // Holds end in the reverse order of their start: this one is the last of its tab.
  const int entry = int(m_window->m_heldTabs.lastIndexOf(m_tab));
  m_window->m_heldTabs.removeAt(entry);
  m_window->m_holdRefusals.removeAt(entry);
  if (!m_window->m_heldTabs.contains(m_tab) && m_window->m_closedHeldTabs.removeAll(m_tab) > 0)
    delete m_tab;
  // An arrival that waited for the tabs is served now.
  if (!m_window->tabsHeld() && m_window->m_arrivalPending)
    m_window->m_linkCheck->start(0);
}

bool MainWindow::TabHold::closed() const
{
  return m_window->m_closedHeldTabs.contains(m_tab);
}

std::vector<std::unique_ptr<MainWindow::TabHold>> MainWindow::holdAllTabs(const QString &refusal)
{
  std::vector<std::unique_ptr<TabHold>> holds;
  for (int i = 0; i < ui->tabWidget->count(); ++i) {
    if (auto *tab = qobject_cast<GLWidget *>(ui->tabWidget->widget(i)))
      holds.push_back(std::make_unique<TabHold>(this, tab, refusal));
  }
  return holds;
}

bool MainWindow::refusedWhileHeld()
{
  if (!tabsHeld())
    return false;
  // The innermost hold is what the user waits for now.
  showStatusError(m_holdRefusals.last(), 10000);
  return true;
}

QString MainWindow::readingRefusal() const
{
  return tr("Wait until the capture being read is done.");
}

void MainWindow::disposeTab(QWidget *tab)
{
  // An unsaved capture's working file goes with its tab, unless another tab
  // shows that very file: it stays for that tab.
  if (auto *chart = qobject_cast<GLWidget *>(tab); chart && !chart->saved && !tabsSharingFile(chart).isEmpty())
    chart->saved = true;
  if (!m_heldTabs.contains(tab)) {
    delete tab;
    return;
  }
  // Its reader is still on the stack: the read is cancelled and the tab
  // goes when the read has returned.
  tab->hide();
  if (auto *chart = qobject_cast<GLWidget *>(tab); chart && chart->swapFile)
    chart->swapFile->terminate();
  if (!m_closedHeldTabs.contains(tab))
    m_closedHeldTabs.append(tab);
}

void MainWindow::addFreshTab()
{
  addTab();
  currentWidget()->addChannels({});
  m_freshTab = true;
  showIdleReadout();
  m_popUp->setPopupText(QString());
}

void MainWindow::closeTabSilent(int index, bool replaceLast)
{
  if (index < 0 || index >= ui->tabWidget->count())
    return;
  if (Helpers::isMeasuring)
    terminateMeasuring();
  QWidget *tab = ui->tabWidget->widget(index);
  ui->tabWidget->removeTab(index);
  disposeTab(tab);
  if (ui->tabWidget->count() == 0 && replaceLast && !Helpers::powerMode && !Helpers::powerV2Mode)
    addFreshTab();
}

void MainWindow::closeAllTabs()
{
  QList<int> all;
  for (int i = 0; i < ui->tabWidget->count(); ++i)
    all.append(i);
  resolveUnsaved(all, false);
  while (ui->tabWidget->count() > 0)
    closeTabSilent(0, false);
}

void MainWindow::closeTabs(TabGroup group, const QPoint &pos)
{
  // A tab closed under its save would stop the save and lose the capture.
  if (refusedWhileSaving())
    return;
  const int under = ui->tabWidget->tabBar()->tabAt(pos);
  QList<int> closing;
  // The question lets events run, and a tab may go meanwhile (a cancelled
  // read's tab does): the tabs asked about are closed by identity, not by
  // place, or one never asked about would go in their stead.
  QList<QPointer<QWidget>> tabs;
  for (int i = 0; i < ui->tabWidget->count(); ++i) {
    if (group == All || (group == LeftOf && i < under) || (group == RightOf && under >= 0 && i > under)) {
      closing.append(i);
      tabs.append(ui->tabWidget->widget(i));
    }
  }
  if (!resolveUnsaved(closing, true))
    return;
  qDebug() << (group == LeftOf ? "Left" : group == RightOf ? "Right" : "All") << under << ui->tabWidget->count();
  // From the end for "right of", as the tabs were always closed.
  if (group == RightOf)
    std::reverse(tabs.begin(), tabs.end());
  for (const QPointer<QWidget> &tab : std::as_const(tabs)) {
    const int index = ui->tabWidget->indexOf(tab);
    if (tab && index >= 0)
      closeTabSilent(index, true);
  }
}

void MainWindow::on_contextMenuRequested(const QPoint &pos)
{
  QMenu menu(this);
  QAction *left = menu.addAction(tr("Close tabs to the left"));
  QAction *right = menu.addAction(tr("Close tabs to the right"));
  QAction *all = menu.addAction(tr("Close all tabs"));
  for (QAction *action : {left, right, all})
    action->setShortcut(QKeySequence());
  connect(left, &QAction::triggered, this, [this, pos] { closeTabs(LeftOf, pos); });
  connect(right, &QAction::triggered, this, [this, pos] { closeTabs(RightOf, pos); });
  connect(all, &QAction::triggered, this, [this, pos] { closeTabs(All, pos); });
  menu.exec(ui->tabWidget->tabBar()->mapToGlobal(pos));
}
