#include "glwidget.h"

#include "axis.h"
#include "colorsagent.h"
#include "helpers.h"
#include "infopackets.h"
#include "plotaxisrect.h"
#include "plotgraph.h"
#include "plotitemtext.h"
#include "plotwidget.h"
#include "settings.h"
#include "swapfile.h"

#include <QDebug>
#include <QFile>
#include <QFont>
#include <QPen>

#include <cmath>

const QColor g_colors[8] = {QColor(Qt::red),     QColor(Qt::green),     QColor(Qt::blue),
                            QColor(Qt::magenta), QColor(Qt::darkGreen), QColor(0xf6, 0x72, 0x09),
                            QColor(0xeb, 0x31, 0x2b), QColor(Qt::darkCyan)};

namespace {
constexpr double kCurrentLimit = 2100000; // µA
constexpr double kCurrentRange = 1000;    // µA shown at first
constexpr double kVoltageLow = -100;      // mV per unit of multiplier
constexpr double kVoltageHigh = 5500;

// Unit and name of a channel description ("mA,Current,"). The text is
// zero-padded and may lack the comma or be cut off: missing fields are empty.
struct ChannelText
{
  QString unit;
  QString name;
};

// The stored description, or the default one for a channel without one.
ChannelInfo description(int channel)
{
  return channel >= 0 && channel <= 255 ? ChannelInfo::getChannelInfo(static_cast<unsigned char>(channel))
                                        : ChannelInfo();
}

ChannelText channelText(const ChannelInfo &info)
{
  QString text = info.info();
  const qsizetype end = text.indexOf(QChar(0));
  if (end >= 0)
    text.truncate(end);
  const QStringList fields = text.split(QLatin1Char(','));
  ChannelText result;
  result.unit = fields.value(0);
  result.name = fields.value(1);
  return result;
}

QString graphName(int channel, const QString &name)
{
  QString text = QStringLiteral("#%1").arg(channel);
  if (!name.isEmpty())
    text += QStringLiteral(": ") + name;
  return text;
}
} // namespace

GLWidget::GLWidget(QWidget *parent) : QWidget(parent), swapFile(new SwapFile(this)) {}

GLWidget::~GLWidget()
{
  // The window hears nothing of the teardown. Blocked, not disconnected:
  // destroyed() still goes out, and the framework's style sheet caches
  // forget this widget only through it.
  blockSignals(true);
  // Graphs go before the maps they draw from.
  clearChannels();
  removeCursorLine();
  if (!saved && !m_workingPath.isEmpty() && swapFile->file.fileName() == m_workingPath &&
      QFile::exists(m_workingPath))
    swapFile->remove();
  delete plot;
  plot = nullptr;
  delete swapFile;
  swapFile = nullptr;
}

void GLWidget::setPlotter(PlotWidget *plotter)
{
  if (plot && plot != plotter) {
    plot->hide();
    plot->setEnabled(false);
  }
  plot = plotter;
  if (plot) {
    plot->setEnabled(true);
    plot->show();
  }
}

void GLWidget::noteWorkingFile()
{
  if (saved) {
    m_workingPath.clear();
    return;
  }
  if (m_workingPath.isEmpty())
    m_workingPath = swapFile->file.fileName();
}

// --- channels ---------------------------------------------------------------

void GLWidget::clearChannels()
{
  for (const QMetaObject::Connection &relay : std::as_const(m_relays))
    disconnect(relay);
  m_relays.clear();

  PlotWidget *const owner = m_channelsPlot.data();
  for (const QPointer<PlotGraph> &graph : std::as_const(m_graphs)) {
    if (owner && graph)
      owner->removeGraph(graph.data());
  }
  m_graphs.clear();
  qDeleteAll(maps);
  maps.clear();

  for (const QPointer<PlotAxis> &axis : std::as_const(m_ownAxes)) {
    if (axis && axis->axisRect())
      axis->axisRect()->removeAxis(axis.data());
  }
  m_ownAxes.clear();
  // The plot's own right axis was lent to channel #2: back to a fresh plot's state.
  if (m_usedRightAxis && owner && owner->yAxis2)
    owner->yAxis2->setVisible(false);
  m_usedRightAxis = false;
  m_voltageAxis[0] = nullptr;
  m_voltageAxis[1] = nullptr;
}

void GLWidget::removeCursorLine()
{
  if (m_cursorGraph && m_channelsPlot)
    m_channelsPlot->removeGraph(m_cursorGraph.data());
  m_cursorGraph = nullptr;
  delete m_cursorMap;
  m_cursorMap = nullptr;
}

void GLWidget::addChannels(QList<int> channels)
{
  clearChannels();
  removeCursorLine();
  m_channelsPlot = plot;

  bool dark = false;
  {
    Settings settings;
    settings.beginGroup(QStringLiteral("Options"));
    dark = settings.value(QStringLiteral("dark-color"), false).toBool();
    settings.endGroup();
  }
  const ColorsAgent colors(dark);

  const int n = ChannelInfo::channelCount();
  qDebug() << "GLWidget::addChannels " << n << n << channels;
  if (!Helpers::powerMode && !Helpers::powerV2Mode) {
    // Every caller indexes the maps by channel number: the logger always has
    // #0 to #2, described or not (after an unplug nothing is described).
    for (int i = 0; i < 3; ++i)
      addChannel(i, colors.colors.at(ColorsAgent::Chart)[i], true);
  } else {
    // The capture file's readers fill the maps by position: one map per
    // listed channel, described or not, so none shifts to another's axis.
    for (int k = 0; k < channels.size(); ++k)
      addPowerChannel(channels.at(k), k, dark);
  }
  addCursorLine();
  emit channelsAdded();
}

PlotGraph *GLWidget::addChannelGraph(const QColor &color, const QString &name)
{
  // The map comes first: acquisition and the readers index the maps by
  // channel or position, whether or not a graph can show it.
  auto *map = new PlotDataMap;
  maps.append(map);
  PlotGraph *graph = plot && plot->xAxis && plot->yAxis && plot->axisRect() ? plot->addGraph() : nullptr;
  if (!graph)
    return nullptr;
  if (!m_channelsPlot)
    m_channelsPlot = plot;
  graph->setPen(QPen(color, 1, Qt::SolidLine));
  graph->setData(map, false);
  graph->setName(name);
  m_graphs.append(graph);
  return graph;
}

void GLWidget::addChannel(int channel, QColor color, bool dark)
{
  Q_UNUSED(dark)
  if (channel < 0 || channel > 2)
    return;
  const ChannelText text = channelText(description(channel));
  PlotGraph *graph = addChannelGraph(color, graphName(channel, text.name));
  if (!graph)
    return;

  PlotAxisRect *rect = plot->axisRect();
  PlotAxis *axis = nullptr;
  QString suffix;
  double low = 0, high = 0, limitLow = 0, limitHigh = 0;
  switch (channel) {
  case 0:
    if (plot->yAxis)
      plot->yAxis->setVisible(false);
    axis = rect->addAxis(PlotAxis::atLeft, new Axis(rect, PlotAxis::atLeft));
    m_ownAxes.append(axis);
    limitLow = 0, limitHigh = kCurrentLimit, low = 0, high = kCurrentRange;
    suffix = QStringLiteral(", mA");
    break;
  case 1:
    axis = rect->addAxis(PlotAxis::atRight);
    m_ownAxes.append(axis);
    m_voltageAxis[0] = axis;
    limitLow = low = kVoltageLow * mult1, limitHigh = high = kVoltageHigh * mult1;
    suffix = QStringLiteral(", V");
    break;
  default:
    axis = plot->yAxis2;
    m_usedRightAxis = axis != nullptr;
    m_voltageAxis[1] = axis;
    limitLow = low = kVoltageLow * mult2, limitHigh = high = kVoltageHigh * mult2;
    suffix = QStringLiteral(", V");
    break;
  }
  if (!axis)
    return;
  axis->setRangeMin(limitLow);
  axis->setRangeMax(limitHigh);
  axis->setRange(low, high);
  setupValueAxis(graph, axis, graph->name() + suffix, false, 1);
}

void GLWidget::addPowerChannel(int channel, int index, bool dark)
{
  const ChannelInfo info = description(channel);
  const ChannelText text = channelText(info);
  PlotGraph *graph = addChannelGraph(getColor(channel, dark), graphName(channel, text.name));
  if (!graph)
    return;
  qDebug() << "addPowerChannel: chan =" << channel << ", index =" << index << graph->name();

  PlotAxisRect *rect = plot->axisRect();
  const PlotAxis::AxisType side = index % 2 == 0 ? PlotAxis::atRight : PlotAxis::atLeft;
  auto *axis = new AxisPower(rect, side);
  axis->channel = channel;
  rect->addAxis(side, axis);
  m_ownAxes.append(axis);
  axis->setRangeMin(info.lower());
  axis->setRangeMax(info.upper());
  axis->setRange(info.lower(), info.upper());
  setupValueAxis(graph, axis, graph->name() + QStringLiteral(", ") + text.unit, true, info.precision());
}

void GLWidget::setupValueAxis(PlotGraph *graph, PlotAxis *axis, const QString &label, bool power, int precision)
{
  graph->setValueAxis(axis);
  Helpers::setAxisColor(axis, graph->pen().color());
  axis->setLabel(label);
  axis->setTickLabelRotation(-90);
  axis->setAutoTicks(true);
  if (power) {
    axis->setTickStep(0.2);
    axis->setAutoSubTicks(false);
    axis->setSubTickCount(5);
  } else {
    axis->setAutoSubTicks(true);
  }
  axis->setTickLength(8, 0);
  axis->setSubTickLength(4, 0);
  axis->setVisible(true);
  axis->setNumberPrecision(precision);
  axis->setAutoTickCount(10);
  m_relays.append(connect(axis, qOverload<PlotRange &, PlotRange &>(&PlotAxis::rangeChanged), this,
                          [this, axis](PlotRange &newRange, PlotRange &oldRange) {
                            PlotRange newCopy = newRange;
                            PlotRange oldCopy = oldRange;
                            emit axisRangeChanged(newCopy, oldCopy, axis);
                          }));
}

void GLWidget::addCursorLine()
{
  removeCursorLine();
  if (!plot || !plot->xAxis || !plot->yAxis)
    return;
  if (!m_channelsPlot)
    m_channelsPlot = plot;
  PlotGraph *graph = plot->addGraph();
  if (!graph)
    return;
  graph->setPen(QPen(QColor(Qt::black), 1, Qt::SolidLine));
  m_cursorMap = new PlotDataMap;
  graph->setData(m_cursorMap, false);
  plot->yAxis->setVisible(false);
  graph->setValueAxis(plot->yAxis);
  plot->yAxis->setRange(0, 1);
  graph->setVisible(true);
  m_cursorGraph = graph;
}

QColor GLWidget::getColor(int index, bool dark)
{
  Q_UNUSED(dark)
  // Channel numbers past the table wrap around instead of reading beyond it.
  return g_colors[index < 0 ? 0 : index % 8];
}

// --- statistics and ranges ---------------------------------------------------

void GLWidget::updateReport(int channel, PlotData &point, bool count)
{
  const double value = point.value;
  if (!std::isfinite(value))
    return;
  report.t_end = point.key;
  if (count)
    ++report.count;
  double *sum, *avg, *min, *max;
  switch (channel) {
  case 0:
    sum = &report.sum0, avg = &report.avg0, min = &report.min0, max = &report.max0;
    break;
  case 1:
    sum = &report.sum1, avg = &report.avg1, min = &report.min1, max = &report.max1;
    break;
  case 2:
    sum = &report.sum2, avg = &report.avg2, min = &report.min2, max = &report.max2;
    break;
  default:
    return;
  }
  *sum += value;
  // A channel fed before the first counted instant averages over one instant.
  *avg = *sum / double(report.count > 0 ? report.count : 1);
  *min = qMin(*min, value);
  *max = qMax(*max, value);
}

void GLWidget::multiplierChanged(int channel, int multiplier)
{
  // The control panel's field reads 0 while it is being typed into.
  if (multiplier < 1 || multiplier > 4 || (channel != 1 && channel != 2))
    return;
  PlotAxis *axis = m_voltageAxis[channel - 1].data();
  if (!axis)
    return;
  (channel == 1 ? mult1 : mult2) = multiplier;
  axis->setRangeMin(kVoltageLow * multiplier);
  axis->setRangeMax(kVoltageHigh * multiplier);
  axis->setRange(kVoltageLow * multiplier, kVoltageHigh * multiplier);
  repaint();
}

PlotRange GLWidget::timeRange() const
{
  for (const PlotDataMap *map : maps) {
    if (map && !map->isEmpty())
      return PlotRange(map->firstKey(), map->lastKey());
  }
  return PlotRange(0, 0);
}

bool GLWidget::isEmpty() const
{
  for (const PlotDataMap *map : maps) {
    if (map && !map->isEmpty())
      return false;
  }
  return true;
}

bool GLWidget::holdsCapture() const
{
  return !isEmpty() || (swapFile && !swapFile->file.fileName().isEmpty());
}

void GLWidget::reset()
{
  // A map of its own is emptied, not released: the next page then fills
  // memory already in place instead of faulting in fresh pages per window.
  for (PlotDataMap *map : std::as_const(maps)) {
    if (map && map->isDetached())
      map->erase(map->cbegin(), map->cend());
    else if (map)
      map->clear();
  }
}

// --- title and drawing -------------------------------------------------------

void GLWidget::addTitle()
{
  noteWorkingFile();
  if (title) {
    if (PlotWidget *owner = title->parentPlot(); owner && owner->hasItem(title.data()))
      owner->removeItem(title.data());
    else
      delete title.data();
  }
  title = nullptr;
  // A tab without a capture (a new header has mask 1 but no channels yet) has no title.
  if (!plot || !plot->axisRect() || swapFile->activeChannels.isEmpty())
    return;

  QString list;
  for (int channel : std::as_const(swapFile->activeChannels))
    list += QStringLiteral("#%1, ").arg(channel);
  const int divider = swapFile->header.divider;
  QString text;
  if (Helpers::powerMode || Helpers::powerV2Mode) {
    // Integer division: the same whole hertz, and no division by a zero divider.
    const int hertz = divider > 0 ? 10000 / divider : 0;
    text = tr("Channels: %1 Sample rate: %2 Hz").arg(list).arg(hertz);
  } else {
    text = tr("Channels: %1 Sample rate: %2%3").arg(list).arg(divider).arg(Helpers::sampleRateToFQString(divider));
  }
  if (swapFile->duration != 0)
    text += tr(", Measurement time: %3").arg(Helpers::timeToString(swapFile->duration, true, 2));

  auto *item = new PlotItemText(plot);
  item->setObjectName(QStringLiteral("measurementTitle"));
  item->setColor(QColor(Qt::gray));
  item->setPen(QPen(Qt::NoPen));
  item->setText(text);
  const QRect inner = plot->axisRect()->rect();
  item->position->setType(PlotItemPosition::ptPixelCoords);
  item->position->setCoords((inner.left() + inner.right()) / 2, inner.top());
  item->setPositionAlignment(Qt::AlignTop | Qt::AlignHCenter);
  QFont font = item->font();
  font.setWeight(QFont::Bold);
  font.setPointSize(10);
  item->setFont(font);
  item->setVisible(true);
  plot->addItem(item);
  title = item;
}

void GLWidget::repaint()
{
  noteWorkingFile();
  if (plot)
    plot->replot(PlotWidget::rpByHint);
  QWidget::repaint();
}
