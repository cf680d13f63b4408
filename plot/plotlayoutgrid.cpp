#include "plotlayoutgrid.h"

#include <QDebug>
#include <QWidget>
#include <algorithm>

PlotLayoutGrid::PlotLayoutGrid() : mColumnSpacing(5), mRowSpacing(5) {}

PlotLayoutGrid::~PlotLayoutGrid()
{
  clear();
}

PlotLayoutElement *PlotLayoutGrid::element(int row, int column) const
{
  if (row < 0 || row >= mElements.size()) {
    qDebug() << Q_FUNC_INFO << "Invalid row. Row:" << row << "Column:" << column;
    return nullptr;
  }
  if (column < 0 || column >= mElements.first().size()) {
    qDebug() << Q_FUNC_INFO << "Invalid column. Row:" << row << "Column:" << column;
    return nullptr;
  }
  if (PlotLayoutElement *result = mElements.at(row).at(column))
    return result;
  qDebug() << Q_FUNC_INFO << "Requested cell is empty. Row:" << row << "Column:" << column;
  return nullptr;
}

bool PlotLayoutGrid::hasElement(int row, int column)
{
  return row >= 0 && row < rowCount() && column >= 0 && column < columnCount() && mElements.at(row).at(column);
}

bool PlotLayoutGrid::addElement(int row, int column, PlotLayoutElement *element)
{
  if (!element) {
    qDebug() << Q_FUNC_INFO << "Can't add null element to row/column:" << row << column;
    return false;
  }
  if (row < 0 || column < 0) {
    qDebug() << Q_FUNC_INFO << "Invalid row/column:" << row << column;
    return false;
  }
  if (hasElement(row, column)) {
    qDebug() << Q_FUNC_INFO << "There is already an element in the specified row/column:" << row << column;
    return false;
  }
  if (PlotLayout *oldLayout = element->layout())
    oldLayout->take(element);
  expandTo(row + 1, column + 1);
  mElements[row][column] = element;
  adoptElement(element);
  return true;
}

void PlotLayoutGrid::expandTo(int newRowCount, int newColumnCount)
{
  while (rowCount() < newRowCount) {
    mElements.append(QList<PlotLayoutElement *>());
    mRowStretchFactors.append(1);
  }
  const int newColCount = std::max(columnCount(), newColumnCount);
  for (QList<PlotLayoutElement *> &row : mElements) {
    while (row.size() < newColCount)
      row.append(nullptr);
  }
  while (mColumnStretchFactors.size() < newColCount)
    mColumnStretchFactors.append(1);
}

void PlotLayoutGrid::insertRow(int newIndex)
{
  if (mElements.isEmpty() || mElements.first().isEmpty()) {
    expandTo(1, 1);
    return;
  }
  newIndex = std::clamp(newIndex, 0, rowCount());
  mRowStretchFactors.insert(newIndex, 1);
  mElements.insert(newIndex, QList<PlotLayoutElement *>(columnCount(), nullptr));
}

void PlotLayoutGrid::insertColumn(int newIndex)
{
  if (mElements.isEmpty() || mElements.first().isEmpty()) {
    expandTo(1, 1);
    return;
  }
  newIndex = std::clamp(newIndex, 0, columnCount());
  mColumnStretchFactors.insert(newIndex, 1);
  for (QList<PlotLayoutElement *> &row : mElements)
    row.insert(newIndex, nullptr);
}

void PlotLayoutGrid::setColumnStretchFactor(int column, double factor)
{
  if (column < 0 || column >= columnCount()) {
    qDebug() << Q_FUNC_INFO << "Invalid column:" << column;
    return;
  }
  if (!(factor > 0)) {
    qDebug() << Q_FUNC_INFO << "Invalid stretch factor, must be positive:" << factor;
    return;
  }
  mColumnStretchFactors[column] = factor;
}

void PlotLayoutGrid::setColumnStretchFactors(const QList<double> &factors)
{
  if (factors.size() != mColumnStretchFactors.size()) {
    qDebug() << Q_FUNC_INFO << "Column count not equal to passed stretch factor count:" << factors;
    return;
  }
  mColumnStretchFactors = factors;
  for (double &factor : mColumnStretchFactors) {
    if (!(factor > 0)) {
      qDebug() << Q_FUNC_INFO << "Invalid stretch factor, must be positive:" << factor;
      factor = 1;
    }
  }
}

void PlotLayoutGrid::setRowStretchFactor(int row, double factor)
{
  if (row < 0 || row >= rowCount()) {
    qDebug() << Q_FUNC_INFO << "Invalid row:" << row;
    return;
  }
  if (!(factor > 0)) {
    qDebug() << Q_FUNC_INFO << "Invalid stretch factor, must be positive:" << factor;
    return;
  }
  mRowStretchFactors[row] = factor;
}

void PlotLayoutGrid::setRowStretchFactors(const QList<double> &factors)
{
  if (factors.size() != mRowStretchFactors.size()) {
    qDebug() << Q_FUNC_INFO << "Row count not equal to passed stretch factor count:" << factors;
    return;
  }
  mRowStretchFactors = factors;
  for (double &factor : mRowStretchFactors) {
    if (!(factor > 0)) {
      qDebug() << Q_FUNC_INFO << "Invalid stretch factor, must be positive:" << factor;
      factor = 1;
    }
  }
}

PlotLayoutElement *PlotLayoutGrid::elementAt(int index) const
{
  if (index < 0 || index >= elementCount())
    return nullptr;
  const int columns = columnCount();
  return mElements.at(index / columns).at(index % columns);
}

PlotLayoutElement *PlotLayoutGrid::takeAt(int index)
{
  PlotLayoutElement *element = elementAt(index);
  if (!element) {
    qDebug() << Q_FUNC_INFO << "Attempt to take invalid index:" << index;
    return nullptr;
  }
  releaseElement(element);
  const int columns = columnCount();
  mElements[index / columns][index % columns] = nullptr;
  return element;
}

bool PlotLayoutGrid::take(PlotLayoutElement *element)
{
  if (!element) {
    qDebug() << Q_FUNC_INFO << "Can't take null element";
    return false;
  }
  const int count = elementCount();
  for (int i = 0; i < count; ++i) {
    if (elementAt(i) == element) {
      takeAt(i);
      return true;
    }
  }
  qDebug() << Q_FUNC_INFO << "Element not in this layout, couldn't take";
  return false;
}

void PlotLayoutGrid::simplify()
{
  for (int row = rowCount() - 1; row >= 0; --row) {
    const QList<PlotLayoutElement *> &cells = mElements.at(row);
    if (std::all_of(cells.cbegin(), cells.cend(), [](PlotLayoutElement *e) { return e == nullptr; })) {
      mElements.removeAt(row);
      mRowStretchFactors.removeAt(row);
      if (mElements.isEmpty())
        mColumnStretchFactors.clear();
    }
  }
  for (int column = columnCount() - 1; column >= 0; --column) {
    bool empty = true;
    for (const QList<PlotLayoutElement *> &row : std::as_const(mElements)) {
      if (row.at(column)) {
        empty = false;
        break;
      }
    }
    if (empty) {
      for (QList<PlotLayoutElement *> &row : mElements)
        row.removeAt(column);
      mColumnStretchFactors.removeAt(column);
    }
  }
}

void PlotLayoutGrid::getMinimumRowColSizes(QList<int> *minColWidths, QList<int> *minRowHeights) const
{
  *minColWidths = QList<int>(columnCount(), 0);
  *minRowHeights = QList<int>(rowCount(), 0);
  for (int row = 0; row < rowCount(); ++row) {
    for (int col = 0; col < columnCount(); ++col) {
      const PlotLayoutElement *el = mElements.at(row).at(col);
      if (!el)
        continue;
      const QSize min = effectiveMinimumSize(el);
      (*minColWidths)[col] = std::max(minColWidths->at(col), min.width());
      (*minRowHeights)[row] = std::max(minRowHeights->at(row), min.height());
    }
  }
}

void PlotLayoutGrid::getMaximumRowColSizes(QList<int> *maxColWidths, QList<int> *maxRowHeights) const
{
  *maxColWidths = QList<int>(columnCount(), QWIDGETSIZE_MAX);
  *maxRowHeights = QList<int>(rowCount(), QWIDGETSIZE_MAX);
  for (int row = 0; row < rowCount(); ++row) {
    for (int col = 0; col < columnCount(); ++col) {
      const PlotLayoutElement *el = mElements.at(row).at(col);
      if (!el)
        continue;
      const QSize max = effectiveMaximumSize(el);
      (*maxColWidths)[col] = std::min(maxColWidths->at(col), max.width());
      (*maxRowHeights)[row] = std::min(maxRowHeights->at(row), max.height());
    }
  }
}

QSize PlotLayoutGrid::minimumSizeHint() const
{
  QList<int> minColWidths, minRowHeights;
  getMinimumRowColSizes(&minColWidths, &minRowHeights);
  QSize result(0, 0);
  for (int w : std::as_const(minColWidths))
    result.rwidth() += w;
  for (int h : std::as_const(minRowHeights))
    result.rheight() += h;
  result.rwidth() += std::max(0, columnCount() - 1) * mColumnSpacing + mMargins.left() + mMargins.right();
  result.rheight() += std::max(0, rowCount() - 1) * mRowSpacing + mMargins.top() + mMargins.bottom();
  return result;
}

QSize PlotLayoutGrid::maximumSizeHint() const
{
  QList<int> maxColWidths, maxRowHeights;
  getMaximumRowColSizes(&maxColWidths, &maxRowHeights);
  // Capped after every addition so the sum never overflows.
  qint64 width = 0, height = 0;
  for (int w : std::as_const(maxColWidths))
    width = std::min<qint64>(width + w, QWIDGETSIZE_MAX);
  for (int h : std::as_const(maxRowHeights))
    height = std::min<qint64>(height + h, QWIDGETSIZE_MAX);
  width += std::max(0, columnCount() - 1) * mColumnSpacing + mMargins.left() + mMargins.right();
  height += std::max(0, rowCount() - 1) * mRowSpacing + mMargins.top() + mMargins.bottom();
  return QSize(static_cast<int>(width), static_cast<int>(height));
}

void PlotLayoutGrid::updateLayout()
{
  QList<int> minColWidths, minRowHeights, maxColWidths, maxRowHeights;
  getMinimumRowColSizes(&minColWidths, &minRowHeights);
  getMaximumRowColSizes(&maxColWidths, &maxRowHeights);

  const int totalRowSpacing = (rowCount() - 1) * mRowSpacing;
  const int totalColSpacing = (columnCount() - 1) * mColumnSpacing;
  const QList<int> colWidths = getSectionSizes(maxColWidths, minColWidths, mColumnStretchFactors,
                                               mRect.width() - totalColSpacing);
  const QList<int> rowHeights = getSectionSizes(maxRowHeights, minRowHeights, mRowStretchFactors,
                                                mRect.height() - totalRowSpacing);
  if (colWidths.size() != columnCount() || rowHeights.size() != rowCount())
    return;

  int yOffset = mRect.top();
  for (int row = 0; row < rowCount(); ++row) {
    if (row > 0)
      yOffset += rowHeights.at(row - 1) + mRowSpacing;
    int xOffset = mRect.left();
    for (int col = 0; col < columnCount(); ++col) {
      if (col > 0)
        xOffset += colWidths.at(col - 1) + mColumnSpacing;
      if (PlotLayoutElement *el = mElements.at(row).at(col))
        el->setOuterRect(QRect(xOffset, yOffset, colWidths.at(col), rowHeights.at(row)));
    }
  }
}
