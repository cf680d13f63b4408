#ifndef PLOT_TEST_LAYERABLE_H
#define PLOT_TEST_LAYERABLE_H

#include "plot.h"

#include <QStringList>

// A layerable that records when it is drawn and with which antialiasing, so
// tests can check drawing order, visibility and the antialiasing rules.
class TestLayerable : public PlotLayerable
{
  Q_OBJECT
public:
  TestLayerable(PlotWidget *plot, const QString &name, QStringList *log = nullptr, const QString &layer = QString(),
                PlotLayerable *parent = nullptr)
      : PlotLayerable(plot, layer, parent), mName(name), mLog(log)
  {
  }

  Plot::AntialiasedElement element = Plot::aaItems;
  bool drawnAntialiased = false;
  QRect drawnClip;

  using PlotLayerable::applyAntialiasingHint;
  using PlotLayerable::clipRect;
  using PlotLayerable::initializeParentPlot;
  using PlotLayerable::moveToLayer;
  using PlotLayerable::setParentLayerable;

protected:
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override
  {
    applyAntialiasingHint(painter, mAntialiased, element);
  }
  void draw(PlotPainter *painter) override
  {
    drawnAntialiased = painter->antialiasing();
    drawnClip = painter->clipBoundingRect().toAlignedRect();
    if (mLog)
      mLog->append(mName);
  }

private:
  QString mName;
  QStringList *mLog;
};

#endif // PLOT_TEST_LAYERABLE_H
