// What the chart says about itself: the time axis's ticks and labels, the
// value axes named after their channels, and the readout of the values under
// the mouse pointer.
#include "mainwindow.h"
#include "colorsagent.h"
// The form's navigation strip header needs the capture file class complete.
#include "swapfile.h"
#include "ui_mainwindow.h"

#include "axis.h"
#include "glwidget.h"
#include "helpers.h"
#include "infopackets.h"
#include "markerbar.h"
#include "markerline.h"
#include "navigationbar.h"
#include "plot.h"
#include "popup.h"

#include <QJsonArray>
#include <QLabel>
#include <QMouseEvent>

#include <cmath>

namespace {

// A supply's temperature channels, the ones a Fahrenheit log stores in °F.
constexpr int OutsideTemperature = 4;
constexpr int InsideTemperature = 5;

// The channels a supply's tab logs, in their columns' order.
QList<int> supplyChannels(const GLWidget *tab)
{
  if (!tab || !tab->swapFile)
    return {};
  const QList<int> active = tab->swapFile->activeChannels;
  return active.isEmpty() ? tab->swapFile->header.channels() : active;
}

// A description's text without its zero padding.
QString descriptionText(const ChannelInfo &description)
{
  QString text = description.info();
  const qsizetype end = text.indexOf(QChar(0));
  if (end >= 0)
    text.truncate(end);
  return text;
}

QString channelInfoText(int channel)
{
  return descriptionText(ChannelInfo::getChannelInfo(uchar(channel)));
}

// What a supply tab's channel is read out with: its unit and precision.
struct SupplyReading
{
  QString unit;
  int precision = 1;
};

// The built-in descriptions of a supply tab's own model where the window
// serves the other one (a V2 log opened beside a connected V1); empty where
// the served descriptions are the tab's.
QJsonArray otherModelTable(const GLWidget *tab)
{
  const bool v2Tab = tab && tab->swapFile && tab->swapFile->header.mode == SwapFileHeader::PowerV2;
  return v2Tab == Helpers::powerV2Mode ? QJsonArray() : MainWindow::supplyChannelTable(v2Tab);
}

// The tab's temperatures are stored in Fahrenheit when its log was taken so.
SupplyReading supplyReading(const GLWidget *tab, int channel, const QJsonArray &otherModel)
{
  QString info;
  SupplyReading reading;
  if (otherModel.isEmpty()) {
    const ChannelInfo description = ChannelInfo::getChannelInfo(uchar(channel));
    info = descriptionText(description);
    reading.precision = description.precision();
  } else {
    for (const QJsonValue &entry : otherModel) {
      if (entry[QLatin1String("channel")].toInt() == channel) {
        info = entry[QLatin1String("info")].toString();
        reading.precision = entry[QLatin1String("pecision")].toInt(1);
      }
    }
  }
  reading.unit = info.contains(QLatin1Char(',')) ? info.section(QLatin1Char(','), 0, 0) : QString();
  // As the axes read it, so the readout and its axis name one unit.
  const bool fahrenheit = tab && tab->swapFile && tab->swapFile->header.fahrenheit == 1;
  if (fahrenheit && (channel == OutsideTemperature || channel == InsideTemperature) && !reading.unit.isEmpty())
    reading.unit.back() = QLatin1Char('F');
  return reading;
}

// "#0: 1.23mA": the value scaled to its prefix; the magnitude picks the
// prefix, so negative readings scale like positive ones.
QString readoutValue(int channel, double value, bool current)
{
  if (std::isnan(value))
    return QStringLiteral("#%1: --").arg(channel);
  const int divider = Helpers::divider(std::fabs(value));
  const QChar prefix = current ? Helpers::unitCharA(divider) : Helpers::unitCharV(divider);
  return QStringLiteral("#%1: %2%3%4")
    .arg(channel)
    .arg(QString::number(value / divider, 'f', 2))
    .arg(prefix)
    .arg(current ? QLatin1Char('A') : QLatin1Char('V'));
}

} // namespace

void MainWindow::on_channelsAdded()
{
  auto *tab = qobject_cast<GLWidget *>(sender());
  PlotWidget *plot = tab ? tab->plot : plotter();
  if (!plot)
    return;
  // A tab's channels may be rebuilt; it keeps its one marker line.
  bool hasLine = false;
  for (int i = 0; i < plot->itemCount() && !hasLine; ++i)
    hasLine = dynamic_cast<MarkerLine *>(plot->item(i)) != nullptr;
  if (!hasLine)
    plot->addItem(new MarkerLine(ui->markerBar, plot));
  connect(plot->xAxis, &PlotAxis::axisUnitChanged, this, &MainWindow::on_axisUnitChanged, Qt::UniqueConnection);
  // The logger's value axes are named after their channels with the unit
  // prefix their tick labels use; a supply's axes keep their own names.
  if (!Helpers::powerMode && !Helpers::powerV2Mode) {
    for (int i = 0; i < qMin(3, plot->graphCount()); ++i) {
      if (PlotAxis *axis = plot->graph(i)->valueAxis(); axis && axis != plot->yAxis)
        connect(axis, &PlotAxis::axisUnitChanged, this, &MainWindow::on_axisUnitChanged, Qt::UniqueConnection);
    }
  }
  plot->replot(PlotWidget::rpByHint);
}

void MainWindow::on_axisUnitChanged(PlotAxis *axis, int _upper, QList<double> &mTickVector,
                                    QList<QString> &tickVectorLabels)
{
  if (!axis)
    return;
  PlotWidget *plot = axis->parentPlot();
  switch (axis->axisType()) {
  case PlotAxis::atBottom: {
    double step = 0;
    calcTickPositions(axis->range(), mTickVector, step);
    const int firstVisible = axis->visibleTickBounds().first;
    // The second row belongs to this tick list alone.
    axis->secondRowLabels.clear();
    if (mTickVector.size() < 2)
      return;
    axis->setTickStep(step);
    m_readoutPrecision = 3;
    tickVectorLabels.clear();
    QMap<int, QString> rows;
    // The second row is drawn in the axis's label font.
    Helpers::timeToLabels(step, mTickVector, tickVectorLabels, rows, axis->labelFont(), firstVisible);
    axis->generateSubTicks(subTickCount(step));
    axis->secondRowLabels = rows;
    axis->setLabel(QString());
    return;
  }
  case PlotAxis::atLeft:
  case PlotAxis::atRight: {
    if (!plot || Helpers::powerMode || Helpers::powerV2Mode || dynamic_cast<AxisPower *>(axis) ||
        ChannelInfo::m_channels.isEmpty())
      return;
    int channel = 0;
    if (axis->axisType() == PlotAxis::atRight)
      channel = plot->axisRect() && plot->axisRect()->axis(PlotAxis::atRight, 0) == axis ? 2 : 1;
    const QString name = channelInfoText(channel).split(QLatin1Char(',')).value(1);
    const QChar prefix = channel == 0 ? Helpers::unitCharA(_upper) : Helpers::unitCharV(_upper);
    const QString label =
      QStringLiteral("#%1: %2, %3%4").arg(channel).arg(name).arg(prefix).arg(channel == 0 ? 'A' : 'V');
    axis->setLabel(label);
    if (channel < plot->graphCount())
      plot->graph(channel)->setName(label);
    return;
  }
  default:
    return;
  }
}

void MainWindow::adjustAxisName(const QList<int> &channels, bool fahrenheit)
{
  constexpr int Outside = OutsideTemperature;
  constexpr int Inside = InsideTemperature;
  if (!fahrenheit || (!channels.contains(Outside) && !channels.contains(Inside)))
    return;
  PlotWidget *plot = plotter();
  if (!plot || !plot->axisRect())
    return;
  for (int channel : {Outside, Inside}) {
    if (!channels.contains(channel))
      continue;
    const ChannelInfo info = ChannelInfo::getChannelInfo(uchar(channel));
    const double lower = 32 + 1.8 * info.lower();
    const double upper = 32 + 1.8 * info.upper();
    for (PlotAxis *axis : plot->axisRect()->axes()) {
      auto *power = dynamic_cast<AxisPower *>(axis);
      if (!power || power->channel != channel)
        continue;
      QString label = power->label();
      if (!label.isEmpty())
        label.back() = QLatin1Char('F');
      power->setLabel(label);
      power->setRangeMin(lower);
      power->setRangeMax(upper);
      power->setRange(lower, upper);
    }
  }
}

void MainWindow::on_mouseMove(QMouseEvent *event)
{
  if (!event || (event->buttons() & Qt::LeftButton) || Helpers::isMeasuring)
    return;
  GLWidget *tab = currentWidget();
  if (!tab || !tab->plot || tab->maps.isEmpty())
    return;
  PlotWidget *plot = tab->plot;
  double t = plot->xAxis->pixelToCoord(std::round(event->position().x()));
  if (std::isnan(t))
    return;

  // Entry 0 is the time read out, then one value per channel map.
  QList<double> values{-1};
  bool first = true;
  for (const PlotDataMap *map : std::as_const(tab->maps)) {
    if (!map || map->isEmpty()) {
      values.append(qQNaN());
      continue;
    }
    if (first) {
      first = false;
      t = qBound(map->firstKey(), t, map->lastKey());
      auto next = map->lowerBound(t);
      if (next == map->cend()) {
        --next;
      } else if (next != map->cbegin()) {
        // At equal distance the later sample wins.
        const auto before = std::prev(next);
        if (t - before.key() < next.key() - t)
          next = before;
      }
      values[0] = next.key();
    }
    // A channel without a sample at that time has no reading there.
    const auto at = map->constFind(values.at(0));
    values.append(at != map->cend() ? at->value : qQNaN());
  }

  const double time = values.at(0);
  const QString timeText = Helpers::timeToString(time, true, m_readoutPrecision);
  if (Helpers::powerMode || Helpers::powerV2Mode) {
    const QString start =
      QStringLiteral("<font color=%1>").arg(m_darkTheme ? "white" : "black") + tr("Time: ").toHtmlEscaped();
    QString line = start + (time < 0 ? QStringLiteral("--") : timeText);
    // The hint's lines stand on the chart, the status line on the window.
    const QColor backdrop = m_popUp->backdrop();
    const QColor window = ColorsAgent::windowColor(m_darkTheme);
    QString popup = QStringLiteral("<font color=%1>Time: ").arg(m_popUp->textColorName()) +
                    (time < 0 ? QString() : timeText) + QStringLiteral("<br>");
    const QList<int> channels = supplyChannels(tab);
    const QJsonArray otherModel = otherModelTable(tab);
    for (int i = 0; i < channels.size(); ++i) {
      const int channel = channels.at(i);
      const SupplyReading reading = supplyReading(tab, channel, otherModel);
      // A channel the tab holds no map for has no value to show.
      const double value = values.value(i + 1, qQNaN());
      const QString text = std::isnan(value) ? QStringLiteral("--")
                                             : QString::number(value, 'f', qBound(0, reading.precision, 6)) +
                                                 reading.unit;
      const QColor color = GLWidget::getColor(channel);
      const QString colour = QStringLiteral("<font color=%1>")
                               .arg(ColorsAgent::readableOn(color, window).name());
      line += colour + QStringLiteral(", #%1: %2").arg(channel).arg(text);
      popup += QStringLiteral("<font color=%1>").arg(ColorsAgent::readableOn(color, backdrop).name()) +
               QStringLiteral("#%1: %2").arg(channel).arg(text) + QStringLiteral("<br>");
    }
    m_readoutLabel->setText(line);
    m_popUp->setPopupText(popup);
  } else {
    m_readoutLabel->setText(m_readoutFormat.arg(readoutValue(0, values.value(1, qQNaN()), true),
                                                readoutValue(1, values.value(2, qQNaN()), false),
                                                readoutValue(2, values.value(3, qQNaN()), false),
                                                time < 0 ? QStringLiteral("--") : timeText));
  }

  // The cursor line: two points a hair apart, since the map holds one point per time.
  if (plot->graphCount() > 0) {
    PlotDataMap *cursor = plot->graph()->data();
    if (cursor && !tab->maps.contains(cursor)) {
      cursor->clear();
      cursor->insert(time, PlotData(time, 0));
      const double top = std::nextafter(time, HUGE_VAL);
      cursor->insert(top, PlotData(top, 1));
    }
  }
  tab->repaint();
}

void MainWindow::showSupplyIdleReadout()
{
  // The line the pointer gives, with no values: the tab's own channels.
  const QList<int> channels = supplyChannels(currentWidget());
  const QColor window = ColorsAgent::windowColor(m_darkTheme);
  QString line = QStringLiteral("<font color=%1>").arg(m_darkTheme ? "white" : "black") +
                 tr("Time: ").toHtmlEscaped() + QStringLiteral("--");
  for (int channel : std::as_const(channels))
    line += QStringLiteral("<font color=%1>, #%2: --")
              .arg(ColorsAgent::readableOn(GLWidget::getColor(channel), window).name())
              .arg(channel);
  m_readoutLabel->setText(line);
}
