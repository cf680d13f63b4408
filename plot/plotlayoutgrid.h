#ifndef PLOTLAYOUTGRID_H
#define PLOTLAYOUTGRID_H

#include "plotlayout.h"

// Elements in rows and columns. The grid owns its elements, grows on demand,
// shares its inner rectangle by stretch factors and size limits, and drops
// empty rows and columns in simplify().
class PlotLayoutGrid : public PlotLayout
{
  Q_OBJECT
  Q_PROPERTY(int rowCount READ rowCount)
  Q_PROPERTY(int columnCount READ columnCount)
  Q_PROPERTY(QList<double> columnStretchFactors READ columnStretchFactors WRITE setColumnStretchFactors)
  Q_PROPERTY(QList<double> rowStretchFactors READ rowStretchFactors WRITE setRowStretchFactors)
  Q_PROPERTY(int columnSpacing READ columnSpacing WRITE setColumnSpacing)
  Q_PROPERTY(int rowSpacing READ rowSpacing WRITE setRowSpacing)
public:
  PlotLayoutGrid();
  ~PlotLayoutGrid() override;

  int rowCount() const { return mElements.size(); }
  int columnCount() const { return mElements.isEmpty() ? 0 : mElements.first().size(); }
  QList<double> columnStretchFactors() const { return mColumnStretchFactors; }
  QList<double> rowStretchFactors() const { return mRowStretchFactors; }
  int columnSpacing() const { return mColumnSpacing; }
  int rowSpacing() const { return mRowSpacing; }

  void setColumnStretchFactor(int column, double factor);
  void setColumnStretchFactors(const QList<double> &factors);
  void setRowStretchFactor(int row, double factor);
  void setRowStretchFactors(const QList<double> &factors);
  void setColumnSpacing(int pixels) { mColumnSpacing = pixels; }
  void setRowSpacing(int pixels) { mRowSpacing = pixels; }

  PlotLayoutElement *element(int row, int column) const;
  bool hasElement(int row, int column);
  bool addElement(int row, int column, PlotLayoutElement *element);
  void expandTo(int newRowCount, int newColumnCount);
  void insertRow(int newIndex);
  void insertColumn(int newIndex);

  int elementCount() const override { return rowCount() * columnCount(); }
  PlotLayoutElement *elementAt(int index) const override;
  PlotLayoutElement *takeAt(int index) override;
  bool take(PlotLayoutElement *element) override;
  void simplify() override;

  QSize minimumSizeHint() const override;
  QSize maximumSizeHint() const override;

protected:
  void updateLayout() override;
  void getMinimumRowColSizes(QList<int> *minColWidths, QList<int> *minRowHeights) const;
  void getMaximumRowColSizes(QList<int> *maxColWidths, QList<int> *maxRowHeights) const;

private:
  QList<QList<PlotLayoutElement *>> mElements;
  QList<double> mColumnStretchFactors;
  QList<double> mRowStretchFactors;
  int mColumnSpacing, mRowSpacing;
};

#endif // PLOTLAYOUTGRID_H
