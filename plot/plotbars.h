#ifndef PLOTBARS_H
#define PLOTBARS_H

#include "plotplottable.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QPolygonF>

class PlotBars;
class PlotWidget;

// One bar: its position along the key axis and its length along the value
// axis (negative bars point the other way).
class PlotBarData
{
public:
  PlotBarData() : key(0), value(0) {}
  PlotBarData(double key, double value) : key(key), value(value) {}

  double key, value;
};
Q_DECLARE_TYPEINFO(PlotBarData, Q_PRIMITIVE_TYPE);

// Bars ordered by key, one per key; implicitly shared.
typedef QMap<double, PlotBarData> PlotBarDataMap;
typedef QMapIterator<double, PlotBarData> PlotBarDataMapIterator;
typedef QMutableMapIterator<double, PlotBarData> PlotBarDataMutableMapIterator;

// Places bar plottables side by side at the same key: each stack of members
// gets a slot, shifted along the key axis by the widths of the slots between
// it and the middle plus the spacing. The plot owns the group; the group does
// not own its members, and membership changes only through
// PlotBars::setBarsGroup, so both sides always agree.
class PlotBarsGroup : public QObject
{
  Q_OBJECT
  Q_PROPERTY(SpacingType spacingType READ spacingType WRITE setSpacingType)
  Q_PROPERTY(double spacing READ spacing WRITE setSpacing)
public:
  enum SpacingType {
    stAbsolute = 0,      // pixels
    stAxisRectRatio = 1, // fraction of the axis rect along the key axis
    stPlotCoords = 2     // key coordinates
  };
  Q_ENUM(SpacingType)

  explicit PlotBarsGroup(PlotWidget *parentPlot);
  ~PlotBarsGroup() override;

  SpacingType spacingType() const { return mSpacingType; }
  double spacing() const { return mSpacing; }
  void setSpacingType(PlotBarsGroup::SpacingType spacingType) { mSpacingType = spacingType; }
  void setSpacing(double spacing) { mSpacing = spacing; }

  QList<PlotBars *> bars() const { return mBars; }
  PlotBars *bars(int index) const;
  int size() const { return int(mBars.size()); }
  bool isEmpty() const { return mBars.isEmpty(); }
  bool contains(PlotBars *bars) const { return mBars.contains(bars); }
  void append(PlotBars *bars);
  // The index is bounded to the list; a member moves without a message.
  void insert(int i, PlotBars *bars);
  void remove(PlotBars *bars);
  void clear();

  // The shift of the bars' bars along the key axis, in pixels, at keyCoord.
  double keyPixelOffset(const PlotBars *bars, double keyCoord) const;
  // The spacing next to the bars' slot, in pixels, at keyCoord.
  double getPixelSpacing(const PlotBars *bars, double keyCoord) const;

protected:
  PlotWidget *mParentPlot;
  SpacingType mSpacingType;
  double mSpacing;
  QList<PlotBars *> mBars;

private:
  void registerBars(PlotBars *bars);
  void unregisterBars(PlotBars *bars);

  Q_DISABLE_COPY(PlotBarsGroup)

  friend class PlotBars;
};

// A bar per entry, from the base line to the entry's value. Bar plottables on
// the same axes stack: one placed above another starts each bar where the
// bars below it at the same key end (positive on positive, negative on
// negative). A group sets stacks side by side. Drawing walks only the entries
// in the visible key range plus the neighbours whose bars still reach into it.
class PlotBars : public PlotAbstractPlottable
{
  Q_OBJECT
  Q_PROPERTY(double width READ width WRITE setWidth)
  Q_PROPERTY(WidthType widthType READ widthType WRITE setWidthType)
  Q_PROPERTY(PlotBarsGroup *barsGroup READ barsGroup WRITE setBarsGroup)
  Q_PROPERTY(double baseValue READ baseValue WRITE setBaseValue)
  Q_PROPERTY(PlotBars *barBelow READ barBelow)
  Q_PROPERTY(PlotBars *barAbove READ barAbove)
public:
  enum WidthType {
    wtAbsolute = 0,      // pixels
    wtAxisRectRatio = 1, // fraction of the axis rect along the key axis
    wtPlotCoords = 2     // key coordinates
  };
  Q_ENUM(WidthType)

  explicit PlotBars(PlotAxis *keyAxis, PlotAxis *valueAxis);
  ~PlotBars() override;

  // The bars' own map; never null.
  PlotBarDataMap *data() const { return mData; }
  double width() const { return mWidth; }
  WidthType widthType() const { return mWidthType; }
  PlotBarsGroup *barsGroup() const { return mBarsGroup; }
  double baseValue() const { return mBaseValue; }
  PlotBars *barBelow() const { return mBarBelow.data(); }
  PlotBars *barAbove() const { return mBarAbove.data(); }

  void setWidth(double width) { mWidth = width; }
  void setWidthType(PlotBars::WidthType widthType) { mWidthType = widthType; }
  void setBarsGroup(PlotBarsGroup *barsGroup);
  void setBaseValue(double baseValue) { mBaseValue = baseValue; }
  // Restacks directly below (above) bars, joining the former neighbours;
  // null just takes this plottable out of its stack.
  void moveBelow(PlotBars *bars);
  void moveAbove(PlotBars *bars);

  // copy true: the map becomes a shared copy of *data. copy false: the bars
  // delete their map and own data from now on.
  void setData(PlotBarDataMap *data, bool copy = false);
  void setData(const QList<double> &keys, const QList<double> &values);
  void addData(const PlotBarDataMap &dataMap); // incoming bars win
  void addData(const PlotBarData &data);
  void addData(double key, double value);
  void addData(const QList<double> &keys, const QList<double> &values);
  void removeDataBefore(double key);
  void removeDataAfter(double key);
  void removeData(double fromKey, double toKey); // fromKey < key <= toKey
  void removeData(double key);
  void clearData() override;

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  void drawLegendIcon(PlotPainter *painter, const QRectF &rect) const override;
  PlotRange getKeyRange(bool &foundRange, PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;
  PlotRange getValueRange(bool &foundRange,
                          PlotAbstractPlottable::SignDomain inSignDomain = sdBothSigns) const override;

protected:
  typedef PlotBarDataMap::const_iterator DataIterator;

  void draw(PlotPainter *painter) override;
  // From lower up to, not including, upperEnd: the entries in the visible key
  // range plus the neighbours whose bars reach into it.
  void getVisibleDataBounds(DataIterator &lower, DataIterator &upperEnd) const;
  QPolygonF getBarPolygon(double key, double value) const;
  // Offsets of the bar's two edges from its key pixel along the key axis;
  // lower always points towards lower keys.
  void getPixelWidth(double key, double &lower, double &upper) const;
  // Where a bar at key starts: on the bars below of the same sign.
  double getStackedBaseValue(double key, bool positive) const;
  static void connectBars(PlotBars *lower, PlotBars *upper);

  PlotBarDataMap *mData;
  double mWidth;
  WidthType mWidthType;
  PlotBarsGroup *mBarsGroup;
  double mBaseValue;
  QPointer<PlotBars> mBarBelow, mBarAbove;

private:
  double groupOffset(double key) const;

  Q_DISABLE_COPY(PlotBars)

  friend class PlotBarsGroup;
};

#endif // PLOTBARS_H
