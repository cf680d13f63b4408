#ifndef PLOTLEGEND_H
#define PLOTLEGEND_H

#include "plotlayoutgrid.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QPointer>
#include <QSize>

class PlotAbstractPlottable;
class PlotLegend;

Q_MOC_INCLUDE("plotplottable.h")

// Base of every legend entry: a layout element with its own fonts and text
// colours for the normal and the selected state, taken over from its legend.
class PlotAbstractLegendItem : public PlotLayoutElement
{
  Q_OBJECT
  Q_PROPERTY(PlotLegend *parentLegend READ parentLegend)
  Q_PROPERTY(QFont font READ font WRITE setFont)
  Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
  Q_PROPERTY(QFont selectedFont READ selectedFont WRITE setSelectedFont)
  Q_PROPERTY(QColor selectedTextColor READ selectedTextColor WRITE setSelectedTextColor)
  Q_PROPERTY(bool selectable READ selectable WRITE setSelectable NOTIFY selectableChanged)
  Q_PROPERTY(bool selected READ selected WRITE setSelected NOTIFY selectionChanged)
public:
  explicit PlotAbstractLegendItem(PlotLegend *parent);

  PlotLegend *parentLegend() const { return mParentLegend; }
  QFont font() const { return mFont; }
  QColor textColor() const { return mTextColor; }
  QFont selectedFont() const { return mSelectedFont; }
  QColor selectedTextColor() const { return mSelectedTextColor; }
  bool selectable() const { return mSelectable; }
  bool selected() const { return mSelected; }

  void setFont(const QFont &font) { mFont = font; }
  void setTextColor(const QColor &color) { mTextColor = color; }
  void setSelectedFont(const QFont &font) { mSelectedFont = font; }
  void setSelectedTextColor(const QColor &color) { mSelectedTextColor = color; }

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

public slots:
  void setSelectable(bool selectable);
  void setSelected(bool selected);

signals:
  void selectionChanged(bool selected);
  void selectableChanged(bool selectable);

protected:
  Plot::Interaction selectionCategory() const override;
  QRect clipRect() const override;
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void draw(PlotPainter *painter) override = 0;
  void selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged) override;
  void deselectEvent(bool *selectionStateChanged) override;

  // Whether clicks may change the selection: the item's own flag and the
  // legend's selectable items.
  bool itemsSelectable() const;

  PlotLegend *mParentLegend;
  QFont mFont;
  QColor mTextColor;
  QFont mSelectedFont;
  QColor mSelectedTextColor;
  bool mSelectable, mSelected;
};

// The entry of one plottable: its symbol, drawn by the plottable into the icon
// rectangle, and its name beside it. A plottable that goes away leaves an
// empty entry rather than a dangling one.
class PlotPlottableLegendItem : public PlotAbstractLegendItem
{
  Q_OBJECT
public:
  PlotPlottableLegendItem(PlotLegend *parent, PlotAbstractPlottable *plottable);

  PlotAbstractPlottable *plottable() const { return mPlottable.data(); }

  QSize minimumSizeHint() const override;

protected:
  void draw(PlotPainter *painter) override;

  QPen getIconBorderPen() const;
  QColor getTextColor() const;
  QFont getFont() const;

  QPointer<PlotAbstractPlottable> mPlottable;
};

// The box that lists the plottables of a plot, one item per row, over a
// framed background. Items take over its fonts and colours; the box and the
// items can be selected.
class PlotLegend : public PlotLayoutGrid
{
  Q_OBJECT
  Q_PROPERTY(QPen borderPen READ borderPen WRITE setBorderPen)
  Q_PROPERTY(QBrush brush READ brush WRITE setBrush)
  Q_PROPERTY(QFont font READ font WRITE setFont)
  Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
  Q_PROPERTY(QSize iconSize READ iconSize WRITE setIconSize)
  Q_PROPERTY(int iconTextPadding READ iconTextPadding WRITE setIconTextPadding)
  Q_PROPERTY(QPen iconBorderPen READ iconBorderPen WRITE setIconBorderPen)
  Q_PROPERTY(SelectableParts selectableParts READ selectableParts WRITE setSelectableParts NOTIFY selectableChanged)
  Q_PROPERTY(SelectableParts selectedParts READ selectedParts WRITE setSelectedParts NOTIFY selectionChanged)
  Q_PROPERTY(QPen selectedBorderPen READ selectedBorderPen WRITE setSelectedBorderPen)
  Q_PROPERTY(QPen selectedIconBorderPen READ selectedIconBorderPen WRITE setSelectedIconBorderPen)
  Q_PROPERTY(QBrush selectedBrush READ selectedBrush WRITE setSelectedBrush)
  Q_PROPERTY(QFont selectedFont READ selectedFont WRITE setSelectedFont)
  Q_PROPERTY(QColor selectedTextColor READ selectedTextColor WRITE setSelectedTextColor)
public:
  enum SelectablePart {
    spNone = 0x000,
    spLegendBox = 0x001, // the box
    spItems = 0x002      // set in selectedParts() while any item is selected
  };
  Q_ENUM(SelectablePart)
  Q_DECLARE_FLAGS(SelectableParts, SelectablePart)
  Q_FLAG(SelectableParts)

  PlotLegend();
  ~PlotLegend() override;

  QPen borderPen() const { return mBorderPen; }
  QBrush brush() const { return mBrush; }
  QFont font() const { return mFont; }
  QColor textColor() const { return mTextColor; }
  QSize iconSize() const { return mIconSize; }
  int iconTextPadding() const { return mIconTextPadding; }
  QPen iconBorderPen() const { return mIconBorderPen; }
  SelectableParts selectableParts() const { return mSelectableParts; }
  SelectableParts selectedParts() const;
  QPen selectedBorderPen() const { return mSelectedBorderPen; }
  QPen selectedIconBorderPen() const { return mSelectedIconBorderPen; }
  QBrush selectedBrush() const { return mSelectedBrush; }
  QFont selectedFont() const { return mSelectedFont; }
  QColor selectedTextColor() const { return mSelectedTextColor; }

  void setBorderPen(const QPen &pen) { mBorderPen = pen; }
  void setBrush(const QBrush &brush) { mBrush = brush; }
  void setFont(const QFont &font);
  void setTextColor(const QColor &color);
  void setIconSize(const QSize &size) { mIconSize = size; }
  void setIconSize(int width, int height) { mIconSize = QSize(width, height); }
  void setIconTextPadding(int padding) { mIconTextPadding = padding; }
  void setIconBorderPen(const QPen &pen) { mIconBorderPen = pen; }
  void setSelectedBorderPen(const QPen &pen) { mSelectedBorderPen = pen; }
  void setSelectedIconBorderPen(const QPen &pen) { mSelectedIconBorderPen = pen; }
  void setSelectedBrush(const QBrush &brush) { mSelectedBrush = brush; }
  void setSelectedFont(const QFont &font);
  void setSelectedTextColor(const QColor &color);

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  PlotAbstractLegendItem *item(int index) const;
  PlotPlottableLegendItem *itemWithPlottable(const PlotAbstractPlottable *plottable) const;
  int itemCount() const;
  bool hasItem(PlotAbstractLegendItem *item) const;
  bool hasItemWithPlottable(const PlotAbstractPlottable *plottable) const;
  // Null and items made for another legend are refused.
  bool addItem(PlotAbstractLegendItem *item);
  bool removeItem(int index);
  bool removeItem(PlotAbstractLegendItem *item);
  void clearItems();
  QList<PlotAbstractLegendItem *> selectedItems() const;

public slots:
  void setSelectableParts(const PlotLegend::SelectableParts &selectableParts);
  void setSelectedParts(const PlotLegend::SelectableParts &selectedParts);

signals:
  void selectionChanged(PlotLegend::SelectableParts parts);
  void selectableChanged(PlotLegend::SelectableParts parts);

protected:
  void parentPlotInitialized(PlotWidget *parentPlot) override;
  Plot::Interaction selectionCategory() const override;
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void draw(PlotPainter *painter) override;
  void selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged) override;
  void deselectEvent(bool *selectionStateChanged) override;

  QPen getBorderPen() const;
  QBrush getBrush() const;

  QPen mBorderPen, mIconBorderPen;
  QBrush mBrush;
  QFont mFont;
  QColor mTextColor;
  QSize mIconSize;
  int mIconTextPadding;
  SelectableParts mSelectedParts, mSelectableParts;
  QPen mSelectedBorderPen, mSelectedIconBorderPen;
  QBrush mSelectedBrush;
  QFont mSelectedFont;
  QColor mSelectedTextColor;

private:
  friend class PlotWidget;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(PlotLegend::SelectableParts)

#endif // PLOTLEGEND_H
