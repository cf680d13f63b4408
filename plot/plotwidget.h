#ifndef PLOTWIDGET_H
#define PLOTWIDGET_H

#include "plotaxis.h"
#include "plotglobal.h"
#include "plotlayer.h"
#include "plotlayoutgrid.h"
#include "plotpainter.h"

#include <QBrush>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class PlotAbstractItem;
class PlotAbstractPlottable;
class PlotAxis;
class PlotAxisRect;
class PlotGraph;
class PlotAbstractLegendItem;
class PlotLegend;
class PlotTitle;
class QRubberBand;

Q_MOC_INCLUDE("plotitem.h")
Q_MOC_INCLUDE("plotplottable.h")
Q_MOC_INCLUDE("plotlegend.h")
Q_MOC_INCLUDE("plottitle.h")

// The plot widget: owns the layers, the layout tree with its axis rectangle
// and axes, and draws them into an off-screen buffer on replot(); the paint
// event only copies that buffer to the screen.
class PlotWidget : public QWidget
{
  Q_OBJECT
  Q_PROPERTY(QRect viewport READ viewport WRITE setViewport)
  Q_PROPERTY(QPixmap background READ background WRITE setBackground)
  Q_PROPERTY(bool backgroundScaled READ backgroundScaled WRITE setBackgroundScaled)
  Q_PROPERTY(Qt::AspectRatioMode backgroundScaledMode READ backgroundScaledMode WRITE setBackgroundScaledMode)
  Q_PROPERTY(PlotLayoutGrid *plotLayout READ plotLayout)
  Q_PROPERTY(bool autoAddPlottableToLegend READ autoAddPlottableToLegend WRITE setAutoAddPlottableToLegend)
  Q_PROPERTY(int selectionTolerance READ selectionTolerance WRITE setSelectionTolerance)
  Q_PROPERTY(bool noAntialiasingOnDrag READ noAntialiasingOnDrag WRITE setNoAntialiasingOnDrag)
  Q_PROPERTY(Qt::KeyboardModifier multiSelectModifier READ multiSelectModifier WRITE setMultiSelectModifier)
public:
  enum LayerInsertMode { limBelow = 0, limAbove = 1 };
  Q_ENUM(LayerInsertMode)
  enum RefreshPriority {
    rpNow = 0,   // repaint synchronously
    rpLater = 1, // schedule an update
    rpByHint = 2 // rpNow with hintForceRepaint, else rpLater
  };
  Q_ENUM(RefreshPriority)

  explicit PlotWidget(QWidget *parent = nullptr);
  ~PlotWidget() override;

  // The default axis rectangle's axes; nulled when removed. Kept for convenience.
  PlotAxis *xAxis, *yAxis, *xAxis2, *yAxis2;
  // The legend in the default axis rectangle's inset, hidden until shown;
  // nulled when it goes.
  PlotLegend *legend;

  QRect viewport() const { return mViewport; }
  QPixmap background() const { return mBackgroundPixmap; }
  bool backgroundScaled() const { return mBackgroundScaled; }
  Qt::AspectRatioMode backgroundScaledMode() const { return mBackgroundScaledMode; }
  QBrush backgroundBrush() const { return mBackgroundBrush; }
  PlotLayoutGrid *plotLayout() const { return mPlotLayout; }
  Plot::AntialiasedElements antialiasedElements() const { return mAntialiasedElements; }
  Plot::AntialiasedElements notAntialiasedElements() const { return mNotAntialiasedElements; }
  bool autoAddPlottableToLegend() const { return mAutoAddPlottableToLegend; }
  Plot::Interactions interactions() const { return mInteractions; }
  int selectionTolerance() const { return mSelectionTolerance; }
  bool noAntialiasingOnDrag() const { return mNoAntialiasingOnDrag; }
  Plot::PlottingHints plottingHints() const { return mPlottingHints; }
  Qt::KeyboardModifier multiSelectModifier() const { return mMultiSelectModifier; }

  void setViewport(const QRect &rect);
  void setBackground(const QPixmap &pm);
  void setBackground(const QPixmap &pm, bool scaled, Qt::AspectRatioMode mode = Qt::KeepAspectRatioByExpanding);
  void setBackground(const QBrush &brush);
  void setBackgroundScaled(bool scaled);
  void setBackgroundScaledMode(Qt::AspectRatioMode mode);
  void setAntialiasedElements(const Plot::AntialiasedElements &antialiasedElements);
  void setAntialiasedElement(Plot::AntialiasedElement antialiasedElement, bool enabled = true);
  void setNotAntialiasedElements(const Plot::AntialiasedElements &notAntialiasedElements);
  void setNotAntialiasedElement(Plot::AntialiasedElement notAntialiasedElement, bool enabled = true);
  void setAutoAddPlottableToLegend(bool on);
  void setInteractions(const Plot::Interactions &interactions);
  void setInteraction(const Plot::Interaction &interaction, bool enabled = true);
  void setSelectionTolerance(int pixels);
  void setNoAntialiasingOnDrag(bool enabled);
  void setPlottingHints(const Plot::PlottingHints &hints);
  void setPlottingHint(Plot::PlottingHint hint, bool enabled = true);
  void setMultiSelectModifier(Qt::KeyboardModifier modifier);

  // Layers, first drawn first.
  PlotLayer *layer(const QString &name) const;
  PlotLayer *layer(int index) const;
  PlotLayer *currentLayer() const { return mCurrentLayer; }
  bool setCurrentLayer(const QString &name);
  bool setCurrentLayer(PlotLayer *layer);
  int layerCount() const { return mLayers.size(); }
  bool addLayer(const QString &name, PlotLayer *otherLayer = nullptr, LayerInsertMode insertMode = limAbove);
  bool removeLayer(PlotLayer *layer);
  bool moveLayer(PlotLayer *layer, PlotLayer *otherLayer, LayerInsertMode insertMode = limAbove);

  // Plottables in insertion order; the plot owns and deletes them. Graphs are
  // a second view of the plottables that are PlotGraphs.
  PlotAbstractPlottable *plottable(int index);
  PlotAbstractPlottable *plottable();
  bool addPlottable(PlotAbstractPlottable *plottable);
  bool removePlottable(PlotAbstractPlottable *plottable);
  bool removePlottable(int index);
  int clearPlottables();
  int plottableCount() const;
  bool hasPlottable(PlotAbstractPlottable *plottable) const;
  QList<PlotAbstractPlottable *> selectedPlottables() const;

  PlotGraph *graph(int index) const;
  PlotGraph *graph() const;
  // Null axes mean xAxis and yAxis.
  PlotGraph *addGraph(PlotAxis *keyAxis = nullptr, PlotAxis *valueAxis = nullptr);
  bool removeGraph(PlotGraph *graph);
  bool removeGraph(int index);
  int clearGraphs();
  int graphCount() const;
  QList<PlotGraph *> selectedGraphs() const;

  // Items in insertion order; the plot owns and deletes them. An item is made
  // for a plot but listed only after addItem.
  PlotAbstractItem *item(int index) const;
  PlotAbstractItem *item() const;
  bool addItem(PlotAbstractItem *item);
  bool removeItem(PlotAbstractItem *item);
  bool removeItem(int index);
  int clearItems();
  int itemCount() const;
  bool hasItem(PlotAbstractItem *item) const;
  QList<PlotAbstractItem *> selectedItems() const;

  // Selected axes of every axis rectangle, in axisRects() order.
  QList<PlotAxis *> selectedAxes() const;
  // Legends anywhere in the layout tree with a selected part.
  QList<PlotLegend *> selectedLegends() const;

  // Axis rectangles anywhere in the layout tree.
  int axisRectCount() const;
  PlotAxisRect *axisRect(int index = 0) const;
  QList<PlotAxisRect *> axisRects() const;

  // The visible left, right or bottom axis of the first axis rectangle whose
  // hit rectangle contains the pixel; never a top axis.
  PlotAxis *axisAt(const QPointF &pos) const;
  // The top-most layerable within the selection tolerance of the pixel, with
  // the details of the hit (for an axis, the part).
  PlotLayerable *layerableAt(const QPointF &pos, bool onlySelectable, QVariant *selectionDetails = nullptr) const;
  // The nearest plottable or item within the selection tolerance.
  PlotAbstractPlottable *plottableAt(const QPointF &pos, bool onlySelectable = false) const;
  PlotAbstractItem *itemAt(const QPointF &pos, bool onlySelectable = false) const;
  // The deepest visible layout element under the pixel.
  PlotLayoutElement *layoutElementAt(const QPointF &pos) const;
  // A drag of the bottom axis would have left its limits: announce the range
  // it wanted instead of moving.
  void dragHorzBorderReached(double new_lo, double new_up);

  // Export. A width or height of 0 takes the widget's size. The layout is
  // laid out for the export size while drawing and for the widget again
  // before returning. Files are built in memory and replace the target only
  // once every byte is written; an earlier file stays as it was otherwise.
  QPixmap toPixmap(int width = 0, int height = 0, double scale = 1.0);
  void toPainter(PlotPainter *painter, int width = 0, int height = 0);
  bool saveRastered(const QString &fileName, int width, int height, double scale, const char *format,
                    int quality = -1);
  bool savePng(const QString &fileName, int width = 0, int height = 0, double scale = 1.0, int quality = -1);
  bool saveJpg(const QString &fileName, int width = 0, int height = 0, double scale = 1.0, int quality = -1);
  bool saveBmp(const QString &fileName, int width = 0, int height = 0, double scale = 1.0);
  bool savePdf(const QString &fileName, bool noCosmeticPen = false, int width = 0, int height = 0,
               const QString &pdfCreator = QString(), const QString &pdfTitle = QString());

public slots:
  // Deselects everything, whatever the interaction flags; no replot, no signal.
  void deselectAll();
  // Fits every axis of every axis rectangle to the data of its plottables.
  void rescaleAxes(bool onlyVisiblePlottables = false);
  void replot(PlotWidget::RefreshPriority refreshPriority = PlotWidget::rpByHint);

signals:
  void mouseDoubleClick(QMouseEvent *event);
  void mousePress(QMouseEvent *event);
  void mouseMove(QMouseEvent *event);
  void mouseRelease(QMouseEvent *event);
  void mouseWheel(QWheelEvent *event);
  void plottableClick(PlotAbstractPlottable *plottable, QMouseEvent *event);
  void plottableDoubleClick(PlotAbstractPlottable *plottable, QMouseEvent *event);
  void itemClick(PlotAbstractItem *item, QMouseEvent *event);
  void itemDoubleClick(PlotAbstractItem *item, QMouseEvent *event);
  void axisClick(PlotAxis *axis, PlotAxis::SelectablePart part, QMouseEvent *event);
  void axisDoubleClick(PlotAxis *axis, PlotAxis::SelectablePart part, QMouseEvent *event);
  void legendClick(PlotLegend *legend, PlotAbstractLegendItem *item, QMouseEvent *event);
  void legendDoubleClick(PlotLegend *legend, PlotAbstractLegendItem *item, QMouseEvent *event);
  void titleClick(QMouseEvent *event, PlotTitle *title);
  void titleDoubleClick(QMouseEvent *event, PlotTitle *title);
  void selectionChangedByUser();
  void beforeReplot();
  void afterReplot();
  void rangeBorderReached(double new_lo, double new_up);

protected:
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

  virtual void draw(PlotPainter *painter);
  virtual void axisRemoved(PlotAxis *axis);
  virtual void legendRemoved(PlotLegend *legend);

  void drawBackground(PlotPainter *painter);
  // Zooms the axes of the first axis rectangle to a rubber band of at least
  // 20 x 20 pixels; false (and nothing changed) for a smaller one.
  bool zoomToRubberBand(const QRect &band);
  // Emits the click or double-click signal of the object under pos.
  void emitObjectSignal(const QPoint &pos, QMouseEvent *event, bool doubleClick);
  void updateLayerIndices() const;
  // Runs the three layout phases for the current viewport.
  void layOutViewport();
  void restoreViewportAfterExport(const QRect &viewport);
  // Replaces 0 by the widget's size; false (with a debug line) for a negative size.
  bool resolveExportSize(int &width, int &height, const char *signature) const;

  QRect mViewport;
  PlotLayoutGrid *mPlotLayout;
  bool mAutoAddPlottableToLegend;
  QList<PlotLayer *> mLayers;
  Plot::AntialiasedElements mAntialiasedElements, mNotAntialiasedElements;
  Plot::Interactions mInteractions;
  int mSelectionTolerance;
  bool mNoAntialiasingOnDrag;
  QBrush mBackgroundBrush;
  QPixmap mBackgroundPixmap;
  QPixmap mScaledBackgroundPixmap;
  bool mBackgroundScaled;
  Qt::AspectRatioMode mBackgroundScaledMode;
  PlotLayer *mCurrentLayer;
  QList<PlotAbstractPlottable *> mPlottables;
  QList<PlotGraph *> mGraphs;
  QList<PlotAbstractItem *> mItems;
  Plot::PlottingHints mPlottingHints;
  Qt::KeyboardModifier mMultiSelectModifier;

  QPixmap mPaintBuffer;
  QPoint mMousePressPos;
  QPointer<PlotLayoutElement> mMouseEventElement;
  QRubberBand *mRubberBand; // created at the first press beside the axes, reused afterwards
  PlotAxis *mPressedAxis; // axis hit by the last press; read by the axis rectangle's drag
  bool mReplotting;

private:
  template <class T>
  QList<T *> layoutElementsOf() const;

  friend class PlotAxisRect;
  friend class PlotAxis;
  friend class PlotLegend;
  friend class PlotAbstractPlottable;
  friend class PlotAbstractItem;
  friend class PlotGraph;
};

// Every layout element of type T below the main layout, depth first.
template <class T>
QList<T *> PlotWidget::layoutElementsOf() const
{
  QList<T *> result;
  QList<PlotLayoutElement *> stack;
  if (mPlotLayout)
    stack.append(mPlotLayout);
  while (!stack.isEmpty()) {
    const QList<PlotLayoutElement *> subElements = stack.takeLast()->elements(false);
    for (PlotLayoutElement *element : subElements) {
      if (!element)
        continue;
      stack.append(element);
      if (T *typed = qobject_cast<T *>(element))
        result.append(typed);
    }
  }
  return result;
}

#endif // PLOTWIDGET_H
