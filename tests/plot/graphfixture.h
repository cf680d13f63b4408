#ifndef PLOT_TEST_GRAPHFIXTURE_H
#define PLOT_TEST_GRAPHFIXTURE_H

#include "paintrecorder.h"
#include "plot.h"

#include <QCoreApplication>
#include <QResizeEvent>
#include <QStringList>

// A hidden 400 x 300 plot whose data area is (50, 20) to (369, 259), 320 x 240
// pixels, with x 0..320 and y 0..240: one unit per pixel, so that
// x pixel = key + 50 and y pixel = 259 - value.
class GraphPlot
{
public:
  GraphPlot()
  {
    const QSize size(400, 300);
    plot.resize(size);
    // A hidden widget gets no resize event of its own.
    QResizeEvent resize(size, QSize());
    QCoreApplication::sendEvent(&plot, &resize);
    rect = plot.axisRect();
    rect->setAutoMargins(Plot::msNone);
    rect->setMinimumMargins(QMargins());
    rect->setMargins(QMargins(50, 20, 30, 40));
    plot.xAxis->setRange(0, 320);
    plot.yAxis->setRange(0, 240);
    plot.replot();
  }

  PlotWidget plot;
  PlotAxisRect *rect;
};

// Reaches the graph's protected drawing steps.
struct GraphAccess : PlotGraph
{
  static void drawOn(PlotGraph *graph, PlotPainter *painter) { (graph->*(&GraphAccess::draw))(painter); }
  static void prepared(const PlotGraph *graph, QList<PlotData> *lineData, QList<PlotData> *scatterData)
  {
    (graph->*(&GraphAccess::getPreparedData))(lineData, scatterData);
  }
  static QList<QPointF> pixels(const PlotGraph *graph, QList<PlotData> *scatterData = nullptr)
  {
    QList<QPointF> result;
    (graph->*(&GraphAccess::getPlotData))(&result, scatterData);
    return result;
  }
  static void plotData(const PlotGraph *graph, QList<QPointF> *lineData, QList<PlotData> *scatterData)
  {
    (graph->*(&GraphAccess::getPlotData))(lineData, scatterData);
  }
  static void bounds(const PlotGraph *graph, PlotDataMap::const_iterator &lower, PlotDataMap::const_iterator &upper)
  {
    (graph->*(&GraphAccess::getVisibleDataBounds))(lower, upper);
  }
  static int countInBounds(const PlotGraph *graph, const PlotDataMap::const_iterator &lower,
                           const PlotDataMap::const_iterator &upper, int maxCount)
  {
    return (graph->*(&GraphAccess::countDataInBounds))(lower, upper, maxCount);
  }
  static QPolygonF channelFill(const PlotGraph *graph, const QList<QPointF> &lineData)
  {
    return (graph->*(&GraphAccess::getChannelFillPolygon))(&lineData);
  }
  static QPointF lowerBase(const PlotGraph *graph, double keyPixel)
  {
    return (graph->*(&GraphAccess::lowerFillBasePoint))(keyPixel);
  }
};

// Records everything a graph paints, in device pixels.
inline PaintRecorder *drawGraph(PlotGraph *graph, PaintRecorder *recorder)
{
  PlotPainter painter(recorder);
  GraphAccess::drawOn(graph, &painter);
  painter.end();
  return recorder;
}

// Collects the messages written while it lives.
class MessageLog
{
public:
  MessageLog() : mPrevious(qInstallMessageHandler(&MessageLog::handler)) { current() = this; }
  ~MessageLog()
  {
    current() = nullptr;
    qInstallMessageHandler(mPrevious);
  }
  bool contains(const QString &text) const
  {
    for (const QString &line : lines)
      if (line.contains(text))
        return true;
    return false;
  }

  QStringList lines;

private:
  static MessageLog *&current()
  {
    static MessageLog *log = nullptr;
    return log;
  }
  static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
  {
    if (current())
      current()->lines << message;
  }
  QtMessageHandler mPrevious;
};

#endif // PLOT_TEST_GRAPHFIXTURE_H
