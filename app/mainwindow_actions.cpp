// The toolbar, the enabled state of controls and bars, tab changes, the
// time format and the colour theme.
#include "mainwindow.h"
// The form's navigation strip header needs the capture file class complete.
#include "swapfile.h"
#include "ui_mainwindow.h"

#include "colorsagent.h"
#include "controlpanel.h"
#include "glwidget.h"
#include "markerbar.h"
#include "navigationbar.h"
#include "reportbar.h"
#include "helpers.h"
#include "plot.h"
#include "popup.h"
#include "powerpanel.h"
#include "settings.h"
#include "statuspanel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <QWidgetAction>

#include <functional>

namespace {

// Runs `changed` whenever the watched widget is shown or hidden itself,
// whatever part of the window did it.
class VisibilityWatch : public QObject
{
public:
  VisibilityWatch(QWidget *watched, std::function<void()> changed)
    : QObject(watched), m_changed(std::move(changed))
  {
    watched->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override
  {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
      m_changed();
    return QObject::eventFilter(watched, event);
  }

private:
  std::function<void()> m_changed;
};

// Save has something to do only on a tab that holds a capture.
bool savable(const GLWidget *tab)
{
  return tab && tab->holdsCapture();
}

constexpr int ShowAllSeconds[] = {10, 30, 60, 120, 300, 600, 1800};
constexpr int MeasuringSeconds[] = {10, 100, 1000};
constexpr int Unlimited = -1;

// The custom viewing interval is bounded by the capture's live window and
// the capture file's paging; a custom measuring time must be positive.
constexpr int MinCustomShowAll = 10;
constexpr int MaxCustomShowAll = 1800;
constexpr int MinCustomMeasuring = 1;

// An int setting, or the fallback when it is no number or lies outside lo..hi.
int boundedInt(QSettings &settings, const QString &key, int fallback, qint64 lo, qint64 hi)
{
  bool ok = false;
  const qint64 value = settings.value(key, fallback).toLongLong(&ok);
  return ok && value >= lo && value <= hi ? int(value) : fallback;
}

void addSpacer(QToolBar *bar, QSizePolicy::Policy horizontal, QSizePolicy::Policy vertical, QSize size = QSize())
{
  auto *spacer = new QWidget(bar);
  spacer->setSizePolicy(horizontal, vertical);
  if (size.isValid())
    spacer->resize(size);
  if (horizontal == QSizePolicy::Fixed)
    spacer->setFixedSize(size);
  spacer->setVisible(true);
  bar->addWidget(spacer);
}

} // namespace

void MainWindow::createToolbar()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Options"));
  const int timeIndex = boundedInt(settings, QStringLiteral("time-length-index"), 0, 0, MeasuringTimeRows - 1);
  const int customMeasuring =
    boundedInt(settings, QStringLiteral("serie-length-sec"), 10, MinCustomMeasuring, std::numeric_limits<int>::max());
  const int showAllIndex = boundedInt(settings, QStringLiteral("showall-length-index"), 0, 0, ShowAllRows - 1);
  const int customShowAll =
    boundedInt(settings, QStringLiteral("showall-length-sec"), 10, MinCustomShowAll, MaxCustomShowAll);
  settings.endGroup();
  const bool markersBar = settings.value(QStringLiteral("Main/markers_bar"), false).toBool();
  const bool statusVisible = settings.value(QStringLiteral("Status/visible"), true).toBool();
  m_docksTabified = settings.value(QStringLiteral("Status/tabified"), true).toBool();
  const bool controlVisible = settings.value(QStringLiteral("Control/visible"), true).toBool();

  QToolBar *bar = ui->toolBar;
  m_actionSave = bar->addAction(tr("Save"));
  m_actionOpen = bar->addAction(tr("Open"));
  connect(m_actionSave, &QAction::triggered, this, &MainWindow::on_actionSave);
  m_actionSave->setEnabled(false);
  connect(m_actionOpen, &QAction::triggered, this, &MainWindow::on_actionLoad);

  m_viewMenu = new QMenu(tr("View"), this);
  m_actionViewStatus = m_viewMenu->addAction(tr("Status"));
  m_actionViewStatus->setCheckable(true);
  m_actionViewStatus->setChecked(statusVisible);
  m_actionViewControl = m_viewMenu->addAction(tr("Control"));
  m_actionViewControl->setCheckable(true);
  m_actionViewControl->setChecked(controlVisible);
  m_actionView = m_viewMenu->menuAction();
  m_actionView->setText(tr("View"));
  bar->addAction(m_actionView);
  m_actionView->setVisible(false);
  auto viewToggle = [this](QDockWidget *dock, const QString &group) {
    return [this, dock, group](bool checked) {
      if (checked) {
        dock->show();
        if (m_docksTabified)
          tabifyDockWidget(m_dockStatus, m_dockControl);
      } else {
        dock->hide();
      }
      Settings settings;
      settings.setValue(group + QStringLiteral("/visible"), checked);
    };
  };
  connect(m_actionViewStatus, &QAction::toggled, this, viewToggle(m_dockStatus, QStringLiteral("Status")));
  connect(m_actionViewControl, &QAction::toggled, this, viewToggle(m_dockControl, QStringLiteral("Control")));

  m_actionSettings = bar->addAction(tr("Settings"));
  addSpacer(bar, QSizePolicy::Expanding, QSizePolicy::Preferred);
  bar->addSeparator();
  m_actionShowAll = bar->addAction(tr("Show "));
  const QString showAllTip =
    tr("TOVRI shows the part of the datalog, the duration of which does not exceed the specified number of seconds");
  m_actionShowAll->setToolTip(showAllTip);
  addSpacer(bar, QSizePolicy::Fixed, QSizePolicy::Preferred, QSize(8, 32));

  m_comboShowAll = new QComboBox(bar);
  for (int seconds : ShowAllSeconds)
    m_comboShowAll->addItem(QString::number(seconds), seconds);
  m_comboShowAll->addItem(tr("Custom: ") + QString::number(customShowAll), customShowAll);
  m_comboShowAll->setCurrentIndex(showAllIndex);
  m_comboShowAll->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  m_comboShowAll->setMinimumWidth(100);
  m_comboShowAll->setToolTip(showAllTip);
  m_showAllLength = m_comboShowAll->currentData().toInt();
  bar->addWidget(m_comboShowAll);
  m_labelSec = new QLabel(tr("sec"), bar);
  bar->addWidget(m_labelSec);
  addSpacer(bar, QSizePolicy::Expanding, QSizePolicy::Preferred, QSize(8, 32));
  bar->addSeparator();

  m_actionReport = bar->addAction(tr("Show Report"));
  m_actionMarkers = bar->addAction(markersBar ? tr("Hide Markers") : tr("Show Markers"));
  m_actionCalculator = bar->addAction(tr("Calculator"));
  bar->addSeparator();
  addSpacer(bar, QSizePolicy::Expanding, QSizePolicy::Preferred, QSize(164, 32));

  m_labelMeasuringTime = new QLabel(tr("Measuring time,sec "), bar);
  m_actionMeasuringTimeLabel = bar->addWidget(m_labelMeasuringTime);
  const QString measuringTip = tr("Stop measurements after the specified number of seconds");
  m_actionMeasuringTimeLabel->setToolTip(measuringTip);
  m_comboMeasuringTime = new QComboBox(bar);
  for (int seconds : MeasuringSeconds)
    m_comboMeasuringTime->addItem(QString::number(seconds), seconds);
  m_comboMeasuringTime->addItem(QString(QChar(0x221E)), Unlimited);
  m_comboMeasuringTime->addItem(tr("Custom: ") + QString::number(customMeasuring), customMeasuring);
  m_comboMeasuringTime->setCurrentIndex(timeIndex);
  m_comboMeasuringTime->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  m_comboMeasuringTime->setMinimumWidth(100);
  m_comboMeasuringTime->setToolTip(measuringTip);
  m_measuringTime = m_comboMeasuringTime->currentData().toInt();
  bar->addWidget(m_comboMeasuringTime);
  addSpacer(bar, QSizePolicy::Expanding, QSizePolicy::Preferred, QSize(164, 32));
  addSpacer(bar, QSizePolicy::Expanding, QSizePolicy::Preferred, QSize(64, 32));

  connect(m_actionShowAll, &QAction::triggered, this, &MainWindow::on_showAll);
  connect(m_comboShowAll, &QComboBox::activated, this, &MainWindow::on_comboboxShowAllTimeAcivated);
  connect(m_comboMeasuringTime, &QComboBox::activated, this, &MainWindow::on_comboboxTimeAcivated);

  m_actionReport->setText(tr("Show Report"));
  ui->markerBar->setVisible(markersBar);
  ui->reportBar->hide();
  // Each action names what a click does to its bar as the bar is now.
  // The toolbar may go first while the window is torn down.
  new VisibilityWatch(ui->reportBar, [bar = ui->reportBar, action = QPointer<QAction>(m_actionReport)] {
    if (action)
      action->setText(!bar->isHidden() ? tr("Hide Report") : tr("Show Report"));
  });
  new VisibilityWatch(ui->markerBar, [bar = ui->markerBar, action = QPointer<QAction>(m_actionMarkers)] {
    if (action)
      action->setText(!bar->isHidden() ? tr("Hide Markers") : tr("Show Markers"));
  });
  connect(m_actionReport, &QAction::triggered, this, [this] {
    // The bar's own state: the window may be hidden or minimised.
    if (!ui->reportBar->isHidden()) {
      ui->reportBar->hide();
      m_actionReport->setText(tr("Show Report"));
    } else {
      m_actionReport->setText(tr("Hide Report"));
      ui->reportBar->update(currentWidget(), true);
      ui->reportBar->show();
    }
    Settings settings;
    settings.setValue(QStringLiteral("Main/report_bar"), !ui->reportBar->isHidden());
  });
  connectSettingsActions();
}

void MainWindow::retranslateToolbar()
{
  ui->toolBar->setWindowTitle(QCoreApplication::translate("MainWindow", "toolBar"));
  m_actionSave->setText(tr("Save"));
  m_actionOpen->setText(tr("Open"));
  m_viewMenu->setTitle(tr("View"));
  m_actionView->setText(tr("View"));
  m_actionViewControl->setText(tr("Control"));
  m_actionViewStatus->setText(tr("Status"));
  m_actionSettings->setText(tr("Settings"));
  m_actionShowAll->setText(tr("Show "));
  const QString showAllTip =
    tr("TOVRI shows the part of the datalog, the duration of which does not exceed the specified number of seconds");
  m_actionShowAll->setToolTip(showAllTip);
  m_comboShowAll->setToolTip(showAllTip);
  m_labelSec->setText(tr("sec"));
  m_actionReport->setText(!ui->reportBar->isHidden() ? tr("Hide Report") : tr("Show Report"));
  m_actionMarkers->setText(!ui->markerBar->isHidden() ? tr("Hide Markers") : tr("Show Markers"));
  m_actionCalculator->setText(tr("Calculator"));
  m_labelMeasuringTime->setText(tr("Measuring time,sec "));
  const QString measuringTip = tr("Stop measurements after the specified number of seconds");
  m_actionMeasuringTimeLabel->setToolTip(measuringTip);
  m_comboMeasuringTime->setToolTip(measuringTip);
  const int customMeasuring = MeasuringTimeRows - 1;
  m_comboMeasuringTime->setItemText(
    customMeasuring, tr("Custom: ") + QString::number(m_comboMeasuringTime->itemData(customMeasuring).toInt()));
  const int customShowAll = ShowAllRows - 1;
  m_comboShowAll->setItemText(customShowAll,
                              tr("Custom: ") + QString::number(m_comboShowAll->itemData(customShowAll).toInt()));
}

void MainWindow::enableToolbar(bool enable, bool keepOpenAndSettings)
{
  for (QAction *action : {m_actionSave, m_actionOpen, m_actionSettings, m_actionShowAll, m_actionReport,
                          m_actionMarkers, m_actionCalculator, m_actionMeasuringTimeLabel})
    action->setEnabled(enable);
  m_comboShowAll->setEnabled(enable);
  m_labelMeasuringTime->setEnabled(enable);
  m_comboMeasuringTime->setEnabled(enable);
  m_actionSave->setEnabled(enable && savable(currentWidget()));
  if (keepOpenAndSettings) {
    m_actionOpen->setEnabled(true);
    m_actionSettings->setEnabled(true);
  }
}

void MainWindow::enableControls(bool enable)
{
  m_statusPanel->enableControls(enable);
  m_controlPanel->enableControls(enable);
  if (enable) {
    ui->navigationBar->enable();
  } else {
    ui->reportBar->hide();
    m_actionReport->setText(tr("Show Report"));
    ui->navigationBar->disable();
  }
}

void MainWindow::enableButtons(bool enable)
{
  m_controlPanel->enableButtons(enable);
}

void MainWindow::on_enableMeasurement()
{
  m_controlPanel->setChannels();
  enableControls(true);
  enableButtons(true);
}

void MainWindow::on_currentTabChanged(int index)
{
  if (Helpers::isMeasuring)
    terminateMeasuring();
  // Files can be handled (Open works): Save follows the tab now shown.
  if (!Helpers::isMeasuring && m_actionOpen->isEnabled())
    m_actionSave->setEnabled(savable(currentWidget()));
  if (index == -1)
    return;
  on_timeFormatChanged();
  // A supply's readout names the channels of the tab now shown.
  if (Helpers::powerMode || Helpers::powerV2Mode)
    showSupplyIdleReadout();
  ui->markerBar->setPlotter(currentWidget());
  if (ui->reportBar->isVisible())
    ui->reportBar->update(currentWidget(), true);
  if (GLWidget *tab = currentWidget(); tab && tab->swapFile)
    ui->navigationBar->init(tab->swapFile);
  on_updateCalculator(); // the calculator is for the capture shown
}

void MainWindow::describeShownTab()
{
  GLWidget *shown = currentWidget();
  ui->markerBar->setPlotter(shown);
  ui->reportBar->update(shown, true);
  if (shown && shown->swapFile)
    ui->navigationBar->init(shown->swapFile);
}

void MainWindow::on_timeFormatChanged()
{
  PlotWidget *plot = plotter();
  if (!plot)
    return;
  plot->xAxis->setLabel(Helpers::timeFormat == 2 ? tr("Time") : tr("Time, sec"));
  if (!Helpers::powerMode && !Helpers::powerV2Mode) {
    if (GLWidget *tab = currentWidget())
      tab->addTitle();
    plot->replot(PlotWidget::rpByHint);
    ui->markerBar->repaint();
    if (ui->navigationBar->plotter)
      ui->navigationBar->plotter->replot(PlotWidget::rpByHint);
  }
}

void MainWindow::on_changeColorTheme(bool dark)
{
  m_darkTheme = dark;
  if (dark) {
    QApplication::setPalette(Helpers::darkPalette());
    qApp->setStyleSheet(QStringLiteral("QDockWidget {border: 1px; titlebar-normal-icon: url(:/res/float-white.png);}"));
  } else {
    QApplication::setPalette(m_palette);
    qApp->setStyleSheet(QStringLiteral("QDockWidget {border: 1px; titlebar-normal-icon: url(:/res/float-black.png);}"));
  }
  statusBar()->setStyleSheet(QStringLiteral("QStatusBar::item { border: 0px; } QStatusBar::QLabel { border: 0px; } "));
  if ((Helpers::powerMode || Helpers::powerV2Mode) && m_powerPanel)
    m_powerPanel->on_changeColorTheme(dark);
  else
    m_controlPanel->on_changeColorTheme(dark);
  ui->navigationBar->on_changeColorTheme(dark);
}

void MainWindow::setBriefHintColor()
{
  if (!m_popUp)
    return;
  Settings settings;
  // The hint has no box of its own: its text stands on the chart.
  m_popUp->setColors(Qt::transparent, Qt::transparent);
  QColor background(settings.value(QStringLiteral("Settings/chart-background"), QStringLiteral("#ffffff")).toString());
  // An unreadable name counts as black, which gives a white text.
  if (!background.isValid())
    background = Qt::black;
  QColor hint(255 - background.red(), 255 - background.green(), 255 - background.blue());
  // The inverse of a middle grey is the same grey.
  if (ColorsAgent::contrast(hint, background) < 4.5) {
    const bool white = ColorsAgent::contrast(Qt::white, background) >= ColorsAgent::contrast(Qt::black, background);
    hint = white ? QColor(Qt::white) : QColor(Qt::black);
  }
  m_popUp->setBackdrop(background);
  m_popUp->setTextColorName(hint.name());
  m_popUp->label()->setStyleSheet(QStringLiteral("QLabel { color : ") + hint.name() +
                                  QStringLiteral(";margin-top: 6px;margin-bottom: 6px;margin-left: 10px;"
                                                 "margin-right: 10px; }"));
}
