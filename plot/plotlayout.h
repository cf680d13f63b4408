#ifndef PLOTLAYOUT_H
#define PLOTLAYOUT_H

#include "plotlayer.h"

#include <QHash>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QSize>

class PlotLayout;
class PlotMarginGroup;
class QWheelEvent;

// Anything that occupies a rectangle of the plot: an outer rectangle assigned
// by the parent layout, and the inner rectangle (the outer one less the
// margins) where the content is drawn.
class PlotLayoutElement : public PlotLayerable
{
  Q_OBJECT
  Q_PROPERTY(PlotLayout *layout READ layout)
  Q_PROPERTY(QRect rect READ rect)
  Q_PROPERTY(QRect outerRect READ outerRect WRITE setOuterRect)
  Q_PROPERTY(QMargins margins READ margins WRITE setMargins)
  Q_PROPERTY(QMargins minimumMargins READ minimumMargins WRITE setMinimumMargins)
  Q_PROPERTY(QSize minimumSize READ minimumSize WRITE setMinimumSize)
  Q_PROPERTY(QSize maximumSize READ maximumSize WRITE setMaximumSize)
public:
  // The plot runs these phases over the whole layout tree before each draw.
  enum UpdatePhase { upPreparation = 0, upMargins = 1, upLayout = 2 };
  Q_ENUM(UpdatePhase)

  explicit PlotLayoutElement(PlotWidget *parentPlot = nullptr);
  ~PlotLayoutElement() override;

  PlotLayout *layout() const { return mParentLayout.data(); }
  QRect rect() const { return mRect; }
  QRect outerRect() const { return mOuterRect; }
  QMargins margins() const { return mMargins; }
  QMargins minimumMargins() const { return mMinimumMargins; }
  Plot::MarginSides autoMargins() const { return mAutoMargins; }
  QSize minimumSize() const { return mMinimumSize; }
  QSize maximumSize() const { return mMaximumSize; }
  PlotMarginGroup *marginGroup(Plot::MarginSide side) const { return mMarginGroups.value(side, nullptr); }
  QHash<Plot::MarginSide, PlotMarginGroup *> marginGroups() const { return mMarginGroups; }

  void setOuterRect(const QRect &rect);
  void setMargins(const QMargins &margins);
  void setMinimumMargins(const QMargins &margins);
  void setAutoMargins(Plot::MarginSides sides);
  void setMinimumSize(const QSize &size);
  void setMinimumSize(int width, int height);
  void setMaximumSize(const QSize &size);
  void setMaximumSize(int width, int height);
  void setMarginGroup(Plot::MarginSides sides, PlotMarginGroup *group);

  virtual void update(UpdatePhase phase);
  virtual QSize minimumSizeHint() const;
  virtual QSize maximumSizeHint() const;
  virtual QList<PlotLayoutElement *> elements(bool recursive) const;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

protected:
  // The value of one single side; 0 for anything else.
  static int marginOf(const QMargins &margins, Plot::MarginSide side);

  virtual int calculateAutoMargin(Plot::MarginSide side);
  // Called by the plot widget on the element under the mouse; ignored here.
  virtual void mousePressEvent(QMouseEvent *event) { Q_UNUSED(event) }
  virtual void mouseMoveEvent(QMouseEvent *event) { Q_UNUSED(event) }
  virtual void mouseReleaseEvent(QMouseEvent *event) { Q_UNUSED(event) }
  virtual void mouseDoubleClickEvent(QMouseEvent *event) { Q_UNUSED(event) }
  virtual void wheelEvent(QWheelEvent *event) { Q_UNUSED(event) }

  void applyDefaultAntialiasingHint(PlotPainter *painter) const override { Q_UNUSED(painter) }
  void draw(PlotPainter *painter) override { Q_UNUSED(painter) }
  void parentPlotInitialized(PlotWidget *parentPlot) override;

  // Guarded: a layout that is being destroyed reads as null to its children.
  QPointer<PlotLayout> mParentLayout;
  QSize mMinimumSize, mMaximumSize;
  QRect mRect, mOuterRect;
  QMargins mMargins, mMinimumMargins;
  Plot::MarginSides mAutoMargins;
  QHash<Plot::MarginSide, PlotMarginGroup *> mMarginGroups;

private:
  friend class PlotWidget;
  friend class PlotLayout;
  friend class PlotMarginGroup;
};

// An element that arranges other elements: the registry of children, taking
// and removing, and the distribution of space between rows or columns.
class PlotLayout : public PlotLayoutElement
{
  Q_OBJECT
public:
  PlotLayout();

  void update(UpdatePhase phase) override;
  QList<PlotLayoutElement *> elements(bool recursive) const override;

  virtual int elementCount() const = 0;
  // Null for an empty cell or a bad index.
  virtual PlotLayoutElement *elementAt(int index) const = 0;
  // Releases the element (the caller owns it afterwards) and returns it.
  virtual PlotLayoutElement *takeAt(int index) = 0;
  virtual bool take(PlotLayoutElement *element) = 0;
  virtual void simplify();

  bool removeAt(int index);
  bool remove(PlotLayoutElement *element);
  void clear();

protected:
  virtual void updateLayout();

  void sizeConstraintsChanged() const;
  // The size limits a layout honours: the element's own where set, else its hints.
  static QSize effectiveMinimumSize(const PlotLayoutElement *element);
  static QSize effectiveMaximumSize(const PlotLayoutElement *element);
  void adoptElement(PlotLayoutElement *element);
  void releaseElement(PlotLayoutElement *element);
  QList<int> getSectionSizes(QList<int> maxSizes, QList<int> minSizes, QList<double> stretchFactors,
                             int totalSize) const;

private:
  friend class PlotLayoutElement;
};

#endif // PLOTLAYOUT_H
