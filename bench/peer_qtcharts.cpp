#include "peer_qtcharts.h"

#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QImage>
#include <QLineSeries>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QValueAxis>

namespace peer {

struct QtChartsPeer::Private
{
  QChartView view;
  QChart *chart = new QChart;
  QLineSeries *series[3] = {};
  QValueAxis *time = new QValueAxis;
  QValueAxis *values[3] = {new QValueAxis, new QValueAxis, new QValueAxis};
  QImage image;
  double window = 10;
  bool nudged = false;
  bool attached = false;
};

QtChartsPeer::QtChartsPeer(const QSize &size, const QColor colors[3])
  : d(new Private)
{
  d->chart->legend()->hide(); // the plot's legend is hidden too
  d->chart->setAnimationOptions(QChart::NoAnimation);
  d->view.setChart(d->chart);
  d->view.resize(size);
  d->image = QImage(size, QImage::Format_ARGB32_Premultiplied);
  for (int c = 0; c < 3; ++c) {
    d->series[c] = new QLineSeries;
    d->series[c]->setUseOpenGL(false); // raster, like the plot library
    d->series[c]->setPen(QPen(colors[c]));
  }
  d->time->setTitleText(QStringLiteral("Time, s"));
  d->values[0]->setTitleText(QStringLiteral("#0: Current, mA"));
  d->values[0]->setRange(0, 1000);
  d->values[1]->setRange(-100, 5500);
  d->values[2]->setTitleText(QStringLiteral("#2: Voltage, V"));
  d->values[2]->setRange(-100, 5500);
  d->chart->addAxis(d->time, Qt::AlignBottom);
  d->chart->addAxis(d->values[0], Qt::AlignLeft);
  d->chart->addAxis(d->values[1], Qt::AlignRight);
  d->chart->addAxis(d->values[2], Qt::AlignRight);
}

QtChartsPeer::~QtChartsPeer()
{
  if (!d->attached) {
    for (QLineSeries *series : d->series)
      delete series;
  }
}

double QtChartsPeer::fill(qint64 captured, double rate, int block, double window, const Reading &reading)
{
  QElapsedTimer timer;
  timer.start();
  // The series fill before they join the chart: attached, each append makes
  // the chart map the whole series again (20,000 points took 44 s), so the
  // 70 s would never end. Detached, the series end up holding what they would.
  const qint64 perTick = qint64(rate / 100);
  quint32 noise[3] = {1, 2, 3};
  qint64 nextTick = perTick;
  QList<QPointF> points;
  for (qint64 i = 0; i < captured; i += block) {
    for (int c = 0; c < 3; ++c) {
      points.clear();
      for (qint64 k = i; k < i + block && k < captured; ++k)
        points.append(QPointF(k / rate, reading(c, k, noise[c])));
      d->series[c]->append(points);
    }
    if (i + block >= nextTick) {
      nextTick += perTick;
      const double threshold = (i + block) / rate - window;
      for (QLineSeries *series : d->series) {
        int old = 0;
        const int n = series->count();
        while (old < n && series->at(old).x() < threshold)
          ++old;
        if (old > 0)
          series->removePoints(0, old);
      }
    }
  }
  const double ms = timer.nsecsElapsed() / 1e6;

  for (int c = 0; c < 3; ++c) {
    d->chart->addSeries(d->series[c]);
    d->series[c]->attachAxis(d->time);
    d->series[c]->attachAxis(d->values[c]);
  }
  d->attached = true;
  d->window = window;
  const double newest = lastKey(0);
  d->time->setRange(newest - window, newest);
  d->view.show();
  render(); // settle: the chart lays out and maps the points once
  return ms;
}

qint64 QtChartsPeer::count(int channel) const
{
  return d->series[channel]->count();
}

double QtChartsPeer::firstKey(int channel) const
{
  const QLineSeries *series = d->series[channel];
  return series->count() ? series->at(0).x() : 0;
}

double QtChartsPeer::lastKey(int channel) const
{
  const QLineSeries *series = d->series[channel];
  return series->count() ? series->at(series->count() - 1).x() : 0;
}

double QtChartsPeer::render()
{
  QElapsedTimer timer;
  timer.start();
  QPainter painter(&d->image);
  d->view.render(&painter);
  painter.end();
  return timer.nsecsElapsed() / 1e6;
}

double QtChartsPeer::renderMoved()
{
  d->nudged = !d->nudged;
  const double end = lastKey(0) + (d->nudged ? 1e-6 : 0);
  QElapsedTimer timer;
  timer.start();
  d->time->setRange(end - d->window, end);
  QPainter painter(&d->image);
  d->view.render(&painter);
  painter.end();
  return timer.nsecsElapsed() / 1e6;
}

} // namespace peer
