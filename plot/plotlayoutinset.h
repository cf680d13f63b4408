#ifndef PLOTLAYOUTINSET_H
#define PLOTLAYOUTINSET_H

#include "plotlayout.h"

#include <QRectF>

// Elements floating over an axis rectangle's data area: each sits either in a
// rectangle given as fractions of the inset's area, or at its minimum size
// against a border, a corner or the centre of that area.
class PlotLayoutInset : public PlotLayout
{
  Q_OBJECT
public:
  enum InsetPlacement {
    ipRatioRect = 0, // fills the rectangle its fractions give
    ipAligned = 1    // minimum size, kept to the borders its alignment names
  };
  Q_ENUM(InsetPlacement)

  PlotLayoutInset();
  ~PlotLayoutInset() override;

  InsetPlacement insetPlacement(int index) const;
  Qt::Alignment insetAlignment(int index) const;
  QRectF insetRect(int index) const;
  void setInsetPlacement(int index, PlotLayoutInset::InsetPlacement placement);
  void setInsetAlignment(int index, Qt::Alignment alignment);
  void setInsetRect(int index, const QRectF &rect);

  void addElement(PlotLayoutElement *element, Qt::Alignment alignment);
  void addElement(PlotLayoutElement *element, const QRectF &rect);

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  int elementCount() const override { return mElements.size(); }
  PlotLayoutElement *elementAt(int index) const override;
  PlotLayoutElement *takeAt(int index) override;
  bool take(PlotLayoutElement *element) override;
  void simplify() override {}

protected:
  void updateLayout() override;

private:
  QList<PlotLayoutElement *> mElements;
  QList<InsetPlacement> mInsetPlacement;
  QList<Qt::Alignment> mInsetAlignment;
  QList<QRectF> mInsetRect;
};

#endif // PLOTLAYOUTINSET_H
