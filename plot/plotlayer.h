#ifndef PLOTLAYER_H
#define PLOTLAYER_H

#include "plotglobal.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVariant>

class PlotWidget;
class PlotLayerable;
class PlotPainter;
class QMouseEvent;

Q_MOC_INCLUDE("plotwidget.h")

// A named drawing layer of a plot. The plot draws its layers first to last and,
// within a layer, the children in list order: list order is z-order. The layer
// lists its layerables but does not own them.
class PlotLayer : public QObject
{
  Q_OBJECT
  Q_PROPERTY(PlotWidget *parentPlot READ parentPlot)
  Q_PROPERTY(QString name READ name)
  Q_PROPERTY(int index READ index)
  Q_PROPERTY(QList<PlotLayerable *> children READ children)
  Q_PROPERTY(bool visible READ visible WRITE setVisible)
public:
  PlotLayer(PlotWidget *parentPlot, const QString &layerName);
  ~PlotLayer() override;

  PlotWidget *parentPlot() const { return mParentPlot; }
  QString name() const { return mName; }
  int index() const { return mIndex; }
  QList<PlotLayerable *> children() const { return mChildren; }
  bool visible() const { return mVisible; }

  void setVisible(bool visible) { mVisible = visible; }

protected:
  void addChild(PlotLayerable *layerable, bool prepend);
  void removeChild(PlotLayerable *layerable);

private:
  PlotWidget *mParentPlot;
  QString mName;
  int mIndex;
  QList<PlotLayerable *> mChildren;
  bool mVisible;

  friend class PlotWidget;
  friend class PlotLayerable;
};

// Base of everything a plot draws: axes, grids, axis rectangles, legends,
// graphs and items. It sits on one layer of its plot (or on none).
class PlotLayerable : public QObject
{
  Q_OBJECT
  Q_PROPERTY(bool visible READ visible WRITE setVisible)
  Q_PROPERTY(PlotWidget *parentPlot READ parentPlot)
  Q_PROPERTY(PlotLayerable *parentLayerable READ parentLayerable)
  Q_PROPERTY(PlotLayer *layer READ layer WRITE setLayer NOTIFY layerChanged)
  Q_PROPERTY(bool antialiased READ antialiased WRITE setAntialiased)
public:
  // An empty target layer name puts the layerable on the plot's current layer.
  PlotLayerable(PlotWidget *plot, QString targetLayer = QString(), PlotLayerable *parentLayerable = nullptr);
  ~PlotLayerable() override;

  bool visible() const { return mVisible; }
  PlotWidget *parentPlot() const { return mParentPlot; }
  PlotLayerable *parentLayerable() const { return mParentLayerable.data(); }
  PlotLayer *layer() const { return mLayer; }
  bool antialiased() const { return mAntialiased; }

  void setVisible(bool on) { mVisible = on; }
  Q_SLOT bool setLayer(PlotLayer *layer);
  bool setLayer(const QString &layerName);
  void setAntialiased(bool enabled) { mAntialiased = enabled; }

  // Distance of a pixel position to this object, or -1 when it is not hit.
  virtual double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const;

  // Own flag, layer visibility and the chain of parent layerables.
  bool realVisibility() const;

signals:
  void layerChanged(PlotLayer *newLayer);

protected:
  virtual void parentPlotInitialized(PlotWidget *parentPlot);
  virtual Plot::Interaction selectionCategory() const;
  virtual QRect clipRect() const;
  virtual void applyDefaultAntialiasingHint(PlotPainter *painter) const = 0;
  virtual void draw(PlotPainter *painter) = 0;
  virtual void selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged);
  virtual void deselectEvent(bool *selectionStateChanged);

  // For layerables created without a plot (layout elements, the legend).
  void initializeParentPlot(PlotWidget *parentPlot);
  void setParentLayerable(PlotLayerable *parentLayerable);
  bool moveToLayer(PlotLayer *layer, bool prepend);
  void applyAntialiasingHint(PlotPainter *painter, bool localAntialiased, Plot::AntialiasedElement overrideElement) const;

  bool mVisible;
  PlotWidget *mParentPlot;
  QPointer<PlotLayerable> mParentLayerable;
  PlotLayer *mLayer;
  bool mAntialiased;

private:
  Q_DISABLE_COPY(PlotLayerable)

  friend class PlotWidget;
  friend class PlotLayer;
  friend class PlotLayout;
  friend class PlotAxisRect;
};

#endif // PLOTLAYER_H
