#ifndef PEER_QTCHARTS_H
#define PEER_QTCHARTS_H

// The same live picture drawn by Qt Charts, for bench_replot's comparison:
// three line series on a time axis and three value axes, filled block by
// block as a capture fills the plot's graphs, rendered offscreen.

#include <QColor>
#include <QSize>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace peer {

class QtChartsPeer
{
public:
  // reading(channel, sample, noise) gives the value of a sample, as the
  // plot's own fill uses it.
  using Reading = std::function<double(int, qint64, quint32 &)>;

  QtChartsPeer(const QSize &size, const QColor colors[3]);
  ~QtChartsPeer();
  QtChartsPeer(const QtChartsPeer &) = delete;
  QtChartsPeer &operator=(const QtChartsPeer &) = delete;

  // Fills `captured` samples per channel at `rate` in blocks of `block`
  // samples per channel in turn, dropping the points older than `window`
  // seconds every 1/100 s of samples; then shows the newest window.
  // Returns the milliseconds the fill took.
  double fill(qint64 captured, double rate, int block, double window, const Reading &reading);

  qint64 count(int channel) const;
  double firstKey(int channel) const;
  double lastKey(int channel) const;

  // Draws the whole view into an image of the view's size; returns the
  // milliseconds that took.
  double render();
  // The same after nudging the time axis by a microsecond, so that the chart
  // maps every point again as a plot that follows the capture must; returns
  // the milliseconds of both.
  double renderMoved();

private:
  struct Private;
  std::unique_ptr<Private> d;
};

} // namespace peer

#endif // PEER_QTCHARTS_H
