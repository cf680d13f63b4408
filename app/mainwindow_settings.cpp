// The Settings, Markers and Calculator actions, and the feed that keeps an
// open battery-life calculator in step with the markers and the capture.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appglobals.h"
#include "calculator.h"
#include "glwidget.h"
#include "helpers.h"
#include "infopackets.h"
#include "marker.h"
#include "markerbar.h"
#include "navigationbar.h"
#include "optionsdialog.h"
#include "plot.h"
#include "powerpackets.h"
#include "powerpanel.h"
#include "reportbar.h"
#include "settings.h"
#include "swapfile.h"
#include "updater.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

// Channel #0's average over [lower, upper] of the tab's loaded points in mA,
// or false when the span holds no channel #0 sample. `last` gets the time of
// the span's last record, as the report bar names a window.
bool spanAverage(GLWidget *chart, double lower, double upper, double *average, double *last = nullptr)
{
  ReportData data;
  ReportBar::update(chart, PlotRange(lower, upper), &data);
  if (!data.hasData(0) || !std::isfinite(data.avg0))
    return false;
  *average = data.avg0 / 1000.0;
  if (last)
    *last = data.t_end;
  return true;
}

} // namespace

void MainWindow::connectSettingsActions()
{
  connect(m_actionSettings, &QAction::triggered, this, &MainWindow::on_actionSettings);
  connect(m_actionMarkers, &QAction::triggered, this, &MainWindow::on_actionMarkers);
  connect(m_actionCalculator, &QAction::triggered, this, &MainWindow::on_actionCalculator);
  connect(ui->markerBar, &MarkerBar::markerMoved, this, &MainWindow::on_markerChanged);
  connect(ui->markerBar, &MarkerBar::markersRemoved, this, &MainWindow::on_markerChanged);
}

void MainWindow::on_actionSettings()
{
  if (Helpers::isMeasuring)
    return;
  Settings settings;
  OptionsDialog dialog(m_updater, this);
  dialog.setLanguages(languages, m_languageIndex);

  connect(&dialog, &OptionsDialog::languageChanged, this, [this](int index) {
    // A combo box being refilled reports -1: no language to switch to.
    if (index < 0 || index >= languages_small.size())
      return;
    m_languageIndex = index;
    loadLanguage(languages_small.at(index));
  });
  connect(&dialog, &OptionsDialog::timeFormatChanged, this, &MainWindow::on_timeFormatChanged);
  connect(&dialog, &OptionsDialog::changeColorTheme, this, &MainWindow::on_changeColorTheme);
  connect(&dialog, &OptionsDialog::changeColorTheme, ui->markerBar, &MarkerBar::on_changeColorTheme);
  connect(&dialog, &OptionsDialog::changeColorTheme, ui->reportBar, &ReportBar::on_changeColorTheme);
  connect(&dialog, &OptionsDialog::changeColorTheme, ui->navigationBar, &NavigationBar::on_changeColorTheme);
  connect(&dialog, &OptionsDialog::changeColors, this, &MainWindow::on_changeColors);
  connect(&dialog, &OptionsDialog::changeColors, ui->reportBar, &ReportBar::on_changeColors);
  connect(this, &MainWindow::deviceInfoReceved, &dialog, &OptionsDialog::fillFWInfo);
  connect(&dialog, &OptionsDialog::checkSWUpdates, m_updater, [this] { m_updater->on_checkUpdatesSW(); });
  connect(&dialog, &OptionsDialog::checkFWUpdates, m_updater,
          [this] { m_updater->on_checkUpdatesFW(serialText(DeviceInfo::m_deviceInfo)); });
  connect(m_updater, &Updater::newSWAvailable, &dialog, &OptionsDialog::on_newSWAvailable);
  connect(m_updater, &Updater::newFWAvailable, &dialog, &OptionsDialog::on_newFWAvailable);

  if (Helpers::powerMode || Helpers::powerV2Mode) {
    // From the window, not the panel, which a re-plugged supply replaces
    // under the open dialog. The dialog is the receiver: an answer arriving
    // after it has gone reaches nothing.
    connect(this, &MainWindow::paketReceived, &dialog, &OptionsDialog::on_paketReceived);
    connect(this, &MainWindow::paketDataReceived, &dialog, &OptionsDialog::on_paketDataReceived);
    // Through the window's guard, which refuses a device of the other kind.
    PowerGetPacket request;
    sendPacket(request);
    dialog.exec();
    settings.sync();
  } else {
    // The colours being edited show on the report bar too.
    const bool reportHidden = ui->reportBar->isHidden();
    if (reportHidden)
      ui->reportBar->show();
    dialog.exec();
    settings.sync();
    ui->reportBar->setHidden(reportHidden);
  }
  refreshGraphs();
  QObject::disconnect(this, nullptr, &dialog, nullptr);
}

void MainWindow::on_actionMarkers()
{
  if (!ui->markerBar->isHidden()) {
    ui->markerBar->hide();
    m_actionMarkers->setText(tr("Show Markers"));
  } else {
    m_actionMarkers->setText(tr("Hide Markers"));
    ui->markerBar->show();
  }
  // Hidden markers give no estimate.
  if (Calculator *calculator = findCalculator())
    updateCalculator(calculator);
  Settings settings;
  settings.setValue(QStringLiteral("Main/markers_bar"), !ui->markerBar->isHidden());
  if (plotter())
    refreshGraphs();
}

void MainWindow::on_actionCalculator()
{
  if (Helpers::isMeasuring)
    return;
  Calculator *calculator = findCalculator();
  // The button opens the calculator and closes it again.
  if (calculator && calculator->isVisible()) {
    calculator->close();
    return;
  }
  ui->reportBar->update(currentWidget(), true);
  if (!calculator) {
    calculator = new Calculator(this);
    connect(calculator, &Calculator::updateInfo, this, &MainWindow::on_updateCalculator);
    updateCalculator(calculator);
  }
  // A stored place may come from a larger screen or lie half off this one.
  placeOnScreen(calculator);
  calculator->show();
  placeOnScreen(calculator);
}

void MainWindow::placeOnScreen(QWidget *window) const
{
  const QRect geometry = window->geometry();
  const QRect placed = boundedToScreen(window, geometry);
  if (placed != geometry)
    window->setGeometry(placed);
}

QRect MainWindow::boundedToScreen(const QWidget *window, const QRect &geometry) const
{
  const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen)
    return geometry;
  const QRect current = window->geometry();
  const QRect frame = window->frameGeometry();
  QMargins margins(current.left() - frame.left(), current.top() - frame.top(), frame.right() - current.right(),
                   frame.bottom() - current.bottom());
  // Not framed yet: leave room for a common title bar and border.
  if (margins.isNull())
    margins = QMargins(4, 30, 4, 4);
  const QRect room = screen->availableGeometry().marginsRemoved(margins);
  // A stored place may lie anywhere an int reaches, and its size span more
  // than an int holds: reckoned in 64 bits, the result lies in the room.
  // The window's own limits apply first: a size below its minimum would
  // grow past the room again.
  const auto fit = [](qint64 first, qint64 last, qint64 smallest, qint64 largest, qint64 roomFirst,
                      qint64 roomLength, qint64 *start) {
    const qint64 length = qMin(qMin(qMax(last - first + 1, smallest), largest), roomLength);
    *start = qBound(roomFirst, first, roomFirst + roomLength - length);
    return length;
  };
  qint64 left = 0, top = 0;
  const qint64 width = fit(geometry.left(), geometry.right(), window->minimumWidth(), window->maximumWidth(),
                           room.left(), room.width(), &left);
  const qint64 height = fit(geometry.top(), geometry.bottom(), window->minimumHeight(), window->maximumHeight(),
                            room.top(), room.height(), &top);
  return QRect(int(left), int(top), int(width), int(height));
}

Calculator *MainWindow::findCalculator() const
{
  return findChild<Calculator *>(QStringLiteral("Calculator"), Qt::FindDirectChildrenOnly);
}

void MainWindow::updateCalculator(Calculator *calculator)
{
  if (!calculator)
    return;
  QList<CalculatorInfo> &list = calculator->infoList;
  GLWidget *chart = currentWidget();
  // A tab change: what the calculator shows belongs to the capture left.
  const bool otherCapture = calculator->capture != chart;
  if (otherCapture)
    calculator->clearReadings();
  const bool usable =
    chart && !chart->isEmpty() && chart->swapFile && chart->swapFile->activeChannels.contains(0);
  // A tab still being filled (Open) counts as another capture once it holds one.
  calculator->capture = usable ? chart : nullptr;
  if (!usable) {
    if (!list.isEmpty())
      list.first().error = Calculator::NoData;
    calculator->update(list);
    return;
  }

  for (CalculatorInfo &info : list) {
    switch (info.type) {
    case CalculatorInfo::Markers: {
      Marker *first = ui->markerBar->marker(0);
      Marker *second = ui->markerBar->marker(1);
      if (ui->markerBar->isHidden() || !first || !second) {
        info.error = Calculator::MarkersHidden;
      } else if (first->time == second->time) {
        info.error = Calculator::MarkersClose;
      } else {
        // T2 may stand left of T1: the span runs from the earlier marker.
        info.t_from = std::min(first->time, second->time);
        info.t_to = std::max(first->time, second->time);
        // No sample between them: "no data" would stand for the whole capture.
        info.error = spanAverage(chart, info.t_from, info.t_to, &info.average) ? Calculator::Valid
                                                                               : Calculator::MarkersClose;
      }
      break;
    }
    case CalculatorInfo::Visible: {
      // Named by the records it averages: the window may reach past the
      // last one loaded (after Open, the record at its end is not).
      const PlotRange range = chart->plot->xAxis->range();
      info.t_from = range.lower;
      info.t_to = range.upper;
      info.error = spanAverage(chart, range.lower, range.upper, &info.average, &info.t_to) ? Calculator::Valid
                                                                                          : Calculator::NoData;
      break;
    }
    case CalculatorInfo::Whole: {
      // The tab's own statistics: the report bar's copy follows the tab
      // only while the bar is shown.
      const ReportData *full = &chart->report;
      info.t_from = full->t_start;
      info.t_to = full->t_end;
      if (full->hasData(0) && std::isfinite(full->avg0)) {
        info.average = full->avg0 / 1000.0;
        info.error = Calculator::Valid;
      } else {
        info.error = Calculator::NoData;
      }
      break;
    }
    case CalculatorInfo::Working: {
      if (info.t_to == info.t_from && list.size() > 2) {
        const double half = std::abs(list.at(2).t_to - list.at(2).t_from) / 2.0;
        info.t_from = half - 0.5;
        info.t_to = half + 0.5;
      } else if (otherCapture && list.size() > 2) {
        // The cycle keeps its length and moves to the middle of this capture.
        const double centre = (list.at(2).t_from + list.at(2).t_to) / 2.0;
        const double half = std::abs(info.t_to - info.t_from) / 2.0;
        info.t_from = centre - half;
        info.t_to = centre + half;
      }
      const double average =
        chart->swapFile->getAverage(PlotRange(std::min(info.t_from, info.t_to), std::max(info.t_from, info.t_to)), 0);
      // NaN samples in the file give a NaN mean: as useless as no samples.
      if (average == SwapFile::noData || !std::isfinite(average)) {
        info.error = Calculator::NoData;
        calculator->update(list);
        return;
      }
      info.error = Calculator::Valid;
      info.average = average / 1000.0;
      break;
    }
    default:
      break;
    }
  }
  calculator->update(list);
}

void MainWindow::on_updateCalculator()
{
  updateCalculator(findCalculator());
}

void MainWindow::on_markerChanged(double time)
{
  Q_UNUSED(time)
  GLWidget *chart = currentWidget();
  if (!chart)
    return;
  if (Calculator *calculator = findCalculator())
    updateCalculator(calculator);
  chart->repaint();
}
