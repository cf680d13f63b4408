#include "reportbar.h"
#include "ui_reportbar.h"

#include "colorsagent.h"
#include "glwidget.h"
#include "helpers.h"
#include "plotaxis.h"
#include "plotwidget.h"
#include "settings.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {
// A pan or wheel zoom changes the range every few ms; the window pass waits
// for this quiet time so a burst costs one pass.
constexpr int kFramePause = 120; // ms

struct ChannelFields
{
  double *min, *max, *avg;
};

ChannelFields fieldsOf(ReportData *d, int channel)
{
  switch (channel) {
  case 0:
    return {&d->min0, &d->max0, &d->avg0};
  case 1:
    return {&d->min1, &d->max1, &d->avg1};
  default:
    return {&d->min2, &d->max2, &d->avg2};
  }
}
} // namespace

ReportBar::ReportBar(QWidget *parent)
    : QWidget(parent), fullData(new ReportData), frameData(new ReportData), ui(new Ui::ReportBar)
{
  ui->setupUi(this);
  m_frameTimer.setSingleShot(true);
  m_frameTimer.setInterval(kFramePause);
  connect(&m_frameTimer, &QTimer::timeout, this, &ReportBar::updateFrame);
}

ReportBar::~ReportBar()
{
  delete fullData;
  delete frameData;
  delete ui;
}

void ReportBar::update(GLWidget *chart, PlotRange range, ReportData *data)
{
  if (!chart || !chart->plot || chart->maps.isEmpty() || !data)
    return;
  const double lower = range.lower;
  const double upper = range.upper;
  for (int i = 0; i < chart->maps.size(); ++i) {
    const PlotDataMap *map = chart->maps.at(i);
    if (!map || map->isEmpty())
      continue;
    data->t_start = lower;
    data->t_end = upper;
    auto it = map->lowerBound(lower);
    // The span's points found by bisection, so the loop tests no key.
    const auto end = std::isnan(upper) ? it : std::max(it, map->upperBound(upper));
    const double last = it != end ? std::prev(end).key() : data->t_end;
    if (i > 2) {
      // Only the span's end follows these maps.
      data->t_end = last;
      continue;
    }
    // Locals keep the loop free of stores through the record.
    const ChannelFields f = fieldsOf(data, i);
    double mn = *f.min, mx = *f.max, sum = *f.avg;
    qint64 n = 0;
    for (; it != end; ++it) {
      const double v = it->value;
      if (std::isnan(v))
        continue;
      ++n;
      sum += v;
      mn = v < mn ? v : mn;
      mx = v > mx ? v : mx;
    }
    data->t_end = last;
    *f.min = mn;
    *f.max = mx;
    *f.avg = n > 0 ? sum / double(n) : sum;
  }
}

void ReportBar::update(GLWidget *chart, bool reset)
{
  if (reset)
    this->reset();
  m_frameTimer.stop();
  m_chart = chart;
  if (!chart)
    return;
  if (shownWithoutCapture(chart))
    return;
  // The calculator reads the whole capture's record right after this call.
  *fullData = chart->report;
  showRecord(0, fullData);
  // While the view moves the window table keeps what it shows until the
  // window pass has new values; what it shows of another chart is wrong now.
  if (chart == m_shownChart)
    m_frameTimer.start();
  else
    updateFrame();
}

void ReportBar::updateFrame()
{
  GLWidget *chart = m_chart;
  if (!chart || !chart->plot)
    return;
  if (shownWithoutCapture(chart))
    return;
  frameData->reset();
  update(chart, chart->plot->xAxis->range(), frameData);
  updateControls();
  m_shownChart = chart;
}

void ReportBar::showEvent(QShowEvent *event)
{
  // What the table showed when the bar was hidden may be long gone (a
  // capture ran meanwhile): the bar comes back with the current window.
  if (m_frameTimer.isActive()) {
    m_frameTimer.stop();
    updateFrame();
  }
  QWidget::showEvent(event);
}

void ReportBar::updateControls()
{
  showRecord(0, fullData);
  showRecord(1, frameData);
  m_shownFrame = *frameData;
}

void ReportBar::showRecord(int table, ReportData *data)
{
  struct Row
  {
    QLabel *name, *min, *max, *avg;
  };
  const Row full[3] = {{ui->labelCh0, ui->labelMin0, ui->labelMax0, ui->labelAverage0},
                       {ui->labelCh1, ui->labelMin1, ui->labelMax1, ui->labelAverage1},
                       {ui->labelCh2, ui->labelMin2, ui->labelMax2, ui->labelAverage2}};
  const Row frame[3] = {{ui->labelCh0_2, ui->labelMin0_2, ui->labelMax0_2, ui->labelAverage0_2},
                        {ui->labelCh1_2, ui->labelMin1_2, ui->labelMax1_2, ui->labelAverage1_2},
                        {ui->labelCh2_2, ui->labelMin2_2, ui->labelMax2_2, ui->labelAverage2_2}};
  auto fill = [](const Row *rows, ReportData *data) {
    for (int c = 0; c < 3; ++c) {
      const ChannelFields f = fieldsOf(data, c);
      // The letter goes with the divisor, so an empty channel shows the raw unit.
      int divisor = 1;
      if (data->hasData(c)) {
        divisor = Helpers::divider(*f.max);
        rows[c].max->setText(QString::number(*f.max / divisor, 'f', 2));
        rows[c].min->setText(QString::number(*f.min / divisor, 'f', 2));
        rows[c].avg->setText(QString::number(*f.avg / divisor, 'f', 2));
      } else {
        rows[c].max->setText(QStringLiteral("0.0"));
        rows[c].min->setText(QStringLiteral("0.0"));
        rows[c].avg->setText(QStringLiteral("0.0"));
      }
      if (c == 0)
        rows[c].name->setText(QStringLiteral("#0: %1A").arg(Helpers::unitCharA(divisor)));
      else
        rows[c].name->setText(QStringLiteral("#%1: %2V").arg(c).arg(Helpers::unitCharV(divisor)));
    }
  };
  m_filled[table] = true;
  m_noCapture = false;
  if (table == 0) {
    fill(full, data);
    return;
  }
  ui->labelFrame->setText(QStringLiteral("%1-%2").arg(Helpers::timeToString(data->t_start, true, 3),
                                                      Helpers::timeToString(data->t_end, true, 3)));
  fill(frame, data);
}

bool ReportBar::shownWithoutCapture(GLWidget *chart)
{
  if (chart->holdsCapture())
    return false;
  // Zeros would read as measured values.
  showNoCapture();
  m_shownChart = chart;
  return true;
}

void ReportBar::showNoCapture()
{
  QLabel *values[] = {ui->labelMin0,      ui->labelMax0,      ui->labelAverage0,  ui->labelMin1,
                      ui->labelMax1,      ui->labelAverage1,  ui->labelMin2,      ui->labelMax2,
                      ui->labelAverage2,  ui->labelMin0_2,    ui->labelMax0_2,    ui->labelAverage0_2,
                      ui->labelMin1_2,    ui->labelMax1_2,    ui->labelAverage1_2, ui->labelMin2_2,
                      ui->labelMax2_2,    ui->labelAverage2_2, ui->labelFrame};
  for (QLabel *label : values)
    label->setText(QStringLiteral("--"));
  // The raw units, as for a channel without data.
  for (QLabel *label : {ui->labelCh0, ui->labelCh0_2})
    label->setText(QStringLiteral("#0: %1A").arg(Helpers::unitCharA(1)));
  for (QLabel *label : {ui->labelCh1, ui->labelCh1_2})
    label->setText(QStringLiteral("#1: %1V").arg(Helpers::unitCharV(1)));
  for (QLabel *label : {ui->labelCh2, ui->labelCh2_2})
    label->setText(QStringLiteral("#2: %1V").arg(Helpers::unitCharV(1)));
  m_filled[0] = m_filled[1] = false;
  m_noCapture = true;
}

void ReportBar::reset()
{
  // Every range change resets; the file is written only when the value changes.
  const int visible = isVisible() ? 1 : 0;
  if (visible != m_storedVisible) {
    Settings settings;
    settings.beginGroup(QStringLiteral("Main"));
    settings.setValue(QStringLiteral("report_bar"), visible == 1);
    settings.endGroup();
    m_storedVisible = visible;
  }
  fullData->reset();
  frameData->reset();
}

bool ReportBar::isDataValid(ReportData *data)
{
  if (!data)
    return false;
  return data->min0 != ReportData::emptyMin || data->min1 != ReportData::emptyMin ||
         data->min2 != ReportData::emptyMin;
}

void ReportBar::on_changeColorTheme(bool _dark)
{
  dark = _dark;
  setStyleSheet(dark ? QStringLiteral("QWidget QLabel { color: white; }")
                     : QStringLiteral("QWidget QLabel { color: black; }"));
}

void ReportBar::on_changeColors()
{
  ColorsAgent agent(dark);
  const ColorsTable &report = agent.colors.at(ColorsAgent::Report);
  QLabel *rows[3][8] = {{ui->labelCh0, ui->labelMin0, ui->labelMax0, ui->labelAverage0, ui->labelCh0_2,
                         ui->labelMin0_2, ui->labelMax0_2, ui->labelAverage0_2},
                        {ui->labelCh1, ui->labelMin1, ui->labelMax1, ui->labelAverage1, ui->labelCh1_2,
                         ui->labelMin1_2, ui->labelMax1_2, ui->labelAverage1_2},
                        {ui->labelCh2, ui->labelMin2, ui->labelMax2, ui->labelAverage2, ui->labelCh2_2,
                         ui->labelMin2_2, ui->labelMax2_2, ui->labelAverage2_2}};
  for (int c = 0; c < 3; ++c) {
    const QColor color = ColorsAgent::onWindow(report[c], c, dark);
    const QString style = QStringLiteral("QLabel { color: %1; }").arg(color.name());
    for (QLabel *label : rows[c])
      label->setStyleSheet(style);
  }
}

void ReportBar::on_translate()
{
  // The form's texts come back with the language; the readings stay.
  ui->retranslateUi(this);
  if (m_noCapture) {
    showNoCapture();
    return;
  }
  if (m_filled[0])
    showRecord(0, fullData);
  if (m_filled[1]) {
    ReportData shown = m_shownFrame;
    showRecord(1, &shown);
  }
}
