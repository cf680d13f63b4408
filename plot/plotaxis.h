#ifndef PLOTAXIS_H
#define PLOTAXIS_H

#include "plotglobal.h"
#include "plotlayer.h"
#include "plotlineending.h"
#include "plotrange.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QMap>
#include <QPen>
#include <QString>
#include <utility>

class PlotAbstractItem;
class PlotAbstractPlottable;
class PlotAxisRect;
class PlotAxisPainterPrivate;
class PlotGraph;
class PlotGrid;
class PlotPainter;
class PlotWidget;

Q_MOC_INCLUDE("plotaxisrect.h")
Q_MOC_INCLUDE("plotgrid.h")

// One axis on one side of an axis rectangle: its range with the limits
// rangeMin/rangeMax, its scale, the conversion between plot coordinates and
// pixels, ticks and tick labels, its grid and the painter that draws it.
class PlotAxis : public PlotLayerable
{
  Q_OBJECT
  Q_PROPERTY(AxisType axisType READ axisType)
  Q_PROPERTY(PlotAxisRect *axisRect READ axisRect)
  Q_PROPERTY(ScaleType scaleType READ scaleType WRITE setScaleType NOTIFY scaleTypeChanged)
  Q_PROPERTY(double scaleLogBase READ scaleLogBase WRITE setScaleLogBase)
  Q_PROPERTY(PlotRange range READ range WRITE setRange)
  Q_PROPERTY(bool rangeReversed READ rangeReversed WRITE setRangeReversed)
  Q_PROPERTY(bool autoTicks READ autoTicks WRITE setAutoTicks)
  Q_PROPERTY(int autoTickCount READ autoTickCount WRITE setAutoTickCount)
  Q_PROPERTY(bool autoTickLabels READ autoTickLabels WRITE setAutoTickLabels)
  Q_PROPERTY(bool autoTickStep READ autoTickStep WRITE setAutoTickStep)
  Q_PROPERTY(bool autoSubTicks READ autoSubTicks WRITE setAutoSubTicks)
  Q_PROPERTY(bool ticks READ ticks WRITE setTicks)
  Q_PROPERTY(bool tickLabels READ tickLabels WRITE setTickLabels)
  Q_PROPERTY(int tickLabelPadding READ tickLabelPadding WRITE setTickLabelPadding)
  Q_PROPERTY(LabelType tickLabelType READ tickLabelType WRITE setTickLabelType)
  Q_PROPERTY(QFont tickLabelFont READ tickLabelFont WRITE setTickLabelFont)
  Q_PROPERTY(QColor tickLabelColor READ tickLabelColor WRITE setTickLabelColor)
  Q_PROPERTY(double tickLabelRotation READ tickLabelRotation WRITE setTickLabelRotation)
  Q_PROPERTY(LabelSide tickLabelSide READ tickLabelSide WRITE setTickLabelSide)
  Q_PROPERTY(QString dateTimeFormat READ dateTimeFormat WRITE setDateTimeFormat)
  Q_PROPERTY(Qt::TimeSpec dateTimeSpec READ dateTimeSpec WRITE setDateTimeSpec)
  Q_PROPERTY(QString numberFormat READ numberFormat WRITE setNumberFormat)
  Q_PROPERTY(int numberPrecision READ numberPrecision WRITE setNumberPrecision)
  Q_PROPERTY(double tickStep READ tickStep WRITE setTickStep)
  Q_PROPERTY(QList<double> tickVector READ tickVector WRITE setTickVector)
  Q_PROPERTY(QList<QString> tickVectorLabels READ tickVectorLabels WRITE setTickVectorLabels)
  Q_PROPERTY(int tickLengthIn READ tickLengthIn WRITE setTickLengthIn)
  Q_PROPERTY(int tickLengthOut READ tickLengthOut WRITE setTickLengthOut)
  Q_PROPERTY(int subTickCount READ subTickCount WRITE setSubTickCount)
  Q_PROPERTY(int subTickLengthIn READ subTickLengthIn WRITE setSubTickLengthIn)
  Q_PROPERTY(int subTickLengthOut READ subTickLengthOut WRITE setSubTickLengthOut)
  Q_PROPERTY(QPen basePen READ basePen WRITE setBasePen)
  Q_PROPERTY(QPen tickPen READ tickPen WRITE setTickPen)
  Q_PROPERTY(QPen subTickPen READ subTickPen WRITE setSubTickPen)
  Q_PROPERTY(QFont labelFont READ labelFont WRITE setLabelFont)
  Q_PROPERTY(QColor labelColor READ labelColor WRITE setLabelColor)
  Q_PROPERTY(QString label READ label WRITE setLabel)
  Q_PROPERTY(int labelPadding READ labelPadding WRITE setLabelPadding)
  Q_PROPERTY(int padding READ padding WRITE setPadding)
  Q_PROPERTY(int offset READ offset WRITE setOffset)
  Q_PROPERTY(SelectableParts selectedParts READ selectedParts WRITE setSelectedParts NOTIFY selectionChanged)
  Q_PROPERTY(SelectableParts selectableParts READ selectableParts WRITE setSelectableParts NOTIFY selectableChanged)
  Q_PROPERTY(QFont selectedTickLabelFont READ selectedTickLabelFont WRITE setSelectedTickLabelFont)
  Q_PROPERTY(QFont selectedLabelFont READ selectedLabelFont WRITE setSelectedLabelFont)
  Q_PROPERTY(QColor selectedTickLabelColor READ selectedTickLabelColor WRITE setSelectedTickLabelColor)
  Q_PROPERTY(QColor selectedLabelColor READ selectedLabelColor WRITE setSelectedLabelColor)
  Q_PROPERTY(QPen selectedBasePen READ selectedBasePen WRITE setSelectedBasePen)
  Q_PROPERTY(QPen selectedTickPen READ selectedTickPen WRITE setSelectedTickPen)
  Q_PROPERTY(QPen selectedSubTickPen READ selectedSubTickPen WRITE setSelectedSubTickPen)
  Q_PROPERTY(PlotLineEnding lowerEnding READ lowerEnding WRITE setLowerEnding)
  Q_PROPERTY(PlotLineEnding upperEnding READ upperEnding WRITE setUpperEnding)
  Q_PROPERTY(PlotGrid *grid READ grid)

public:
  enum AxisType { atLeft = 0x01, atRight = 0x02, atTop = 0x04, atBottom = 0x08 };
  Q_ENUM(AxisType)
  Q_DECLARE_FLAGS(AxisTypes, AxisType)
  Q_FLAG(AxisTypes)

  enum LabelType { ltNumber, ltDateTime };
  Q_ENUM(LabelType)

  enum LabelSide { lsInside, lsOutside };
  Q_ENUM(LabelSide)

  enum ScaleType { stLinear, stLogarithmic };
  Q_ENUM(ScaleType)

  enum SelectablePart { spNone = 0, spAxis = 0x001, spTickLabels = 0x002, spAxisLabel = 0x004 };
  Q_ENUM(SelectablePart)
  Q_DECLARE_FLAGS(SelectableParts, SelectablePart)
  Q_FLAG(SelectableParts)

  explicit PlotAxis(PlotAxisRect *parent, AxisType type);
  ~PlotAxis() override;

  // Range and scale.
  AxisType axisType() const { return mAxisType; }
  PlotAxisRect *axisRect() const { return mAxisRect; }
  Qt::Orientation orientation() const { return mOrientation; }
  ScaleType scaleType() const { return mScaleType; }
  double scaleLogBase() const { return mScaleLogBase; }
  const PlotRange range() const { return mRange; }
  bool rangeReversed() const { return mRangeReversed; }
  double rangeMin() const { return mRangeMin; }
  double rangeMax() const { return mRangeMax; }
  double getRangeLower() const { return mRange.lower; }
  double getRangeUpper() const { return mRange.upper; }

  Q_SLOT void setScaleType(PlotAxis::ScaleType type);
  void setScaleLogBase(double base);
  Q_SLOT void setRange(const PlotRange &range);
  void setRange(double lower, double upper);
  void setRange(double position, double size, Qt::AlignmentFlag alignment);
  void setRangeLower(double lower);
  void setRangeUpper(double upper);
  void setRangeMin(double min) { mRangeMin = min; }
  void setRangeMax(double max) { mRangeMax = max; }
  void setRangeReversed(bool reversed);
  void moveRange(double diff);
  void setScaleRatio(const PlotAxis *otherAxis, double ratio = 1.0);
  // Fits the range to the data of the plottables drawn against this axis.
  void rescale(bool onlyVisiblePlottables = false);

  // The plot's plottables (graphs) whose key or value axis is this axis, in the plot's order.
  QList<PlotAbstractPlottable *> plottables() const;
  QList<PlotGraph *> graphs() const;
  // The plot's items with a position on this axis (as key or value axis), in the plot's order.
  QList<PlotAbstractItem *> items() const;

  double coordToPixel(double value) const;
  double pixelToCoord(double value) const;
  double basePow(double value) const;
  double baseLog(double value) const;

  // Ticks and tick labels.
  bool autoTicks() const { return mAutoTicks; }
  int autoTickCount() const { return mAutoTickCount; }
  bool autoTickLabels() const { return mAutoTickLabels; }
  bool autoTickStep() const { return mAutoTickStep; }
  bool autoSubTicks() const { return mAutoSubTicks; }
  bool ticks() const { return mTicks; }
  bool tickLabels() const { return mTickLabels; }
  int tickLabelPadding() const;
  LabelType tickLabelType() const { return mTickLabelType; }
  QFont tickLabelFont() const { return mTickLabelFont; }
  QColor tickLabelColor() const { return mTickLabelColor; }
  double tickLabelRotation() const;
  LabelSide tickLabelSide() const;
  QString dateTimeFormat() const { return mDateTimeFormat; }
  Qt::TimeSpec dateTimeSpec() const { return mDateTimeSpec; }
  QString numberFormat() const;
  int numberPrecision() const { return mNumberPrecision; }
  double tickStep() const { return mTickStep; }
  QList<double> tickVector() const { return mTickVector; }
  QList<QString> tickVectorLabels() const { return mTickVectorLabels; }
  int tickLengthIn() const;
  int tickLengthOut() const;
  int subTickCount() const { return mSubTickCount; }
  int subTickLengthIn() const;
  int subTickLengthOut() const;
  QList<double> subTickVector() const { return mSubTickVector; }
  int lowestVisibleTick() const { return mLowestVisibleTick; }
  int highestVisibleTick() const { return mHighestVisibleTick; }

  void setAutoTicks(bool on);
  void setAutoTickCount(int approximateCount);
  void setAutoTickLabels(bool on);
  void setAutoTickStep(bool on);
  void setAutoSubTicks(bool on);
  void setTicks(bool show);
  void setTickLabels(bool show);
  void setTickLabelPadding(int padding);
  void setTickLabelType(LabelType type);
  void setTickLabelFont(const QFont &font);
  void setTickLabelColor(const QColor &color);
  void setTickLabelRotation(double degrees);
  void setTickLabelSide(LabelSide side);
  void setDateTimeFormat(const QString &format);
  void setDateTimeSpec(const Qt::TimeSpec &timeSpec) { mDateTimeSpec = timeSpec; }
  void setNumberFormat(const QString &formatCode);
  void setNumberPrecision(int precision);
  void setTickStep(double step);
  void setTickVector(const QList<double> &vec);
  void setTickVectorLabels(const QList<QString> &vec);
  void setTickLength(int inside, int outside = 0);
  void setTickLengthIn(int inside);
  void setTickLengthOut(int outside);
  void setSubTickCount(int count) { mSubTickCount = count; }
  void setSubTickLength(int inside, int outside = 0);
  void setSubTickLengthIn(int inside);
  void setSubTickLengthOut(int outside);

  // First and last index of tickVector inside the range (high < low when none).
  void visibleTickBounds(int &lowIndex, int &highIndex) const;
  // Recomputes lowestVisibleTick/highestVisibleTick and returns them.
  std::pair<int, int> visibleTickBounds();
  // Stores the count and rebuilds subTickVector from the visible tick intervals.
  void generateSubTicks(int subTickCount);

  // Appearance.
  QPen basePen() const { return mBasePen; }
  QPen tickPen() const { return mTickPen; }
  QPen subTickPen() const { return mSubTickPen; }
  QFont labelFont() const { return mLabelFont; }
  QColor labelColor() const { return mLabelColor; }
  QString label() const { return mLabel; }
  int labelPadding() const;
  int padding() const { return mPadding; }
  int offset() const;
  PlotLineEnding lowerEnding() const;
  PlotLineEnding upperEnding() const;

  void setBasePen(const QPen &pen) { mBasePen = pen; }
  void setTickPen(const QPen &pen) { mTickPen = pen; }
  void setSubTickPen(const QPen &pen) { mSubTickPen = pen; }
  void setLabelFont(const QFont &font);
  void setLabelColor(const QColor &color) { mLabelColor = color; }
  void setLabel(const QString &str);
  void setLabelPadding(int padding);
  void setPadding(int padding);
  void setOffset(int offset);
  void setLowerEnding(const PlotLineEnding &ending);
  void setUpperEnding(const PlotLineEnding &ending);

  // Selection.
  SelectableParts selectedParts() const { return mSelectedParts; }
  SelectableParts selectableParts() const { return mSelectableParts; }
  QFont selectedTickLabelFont() const { return mSelectedTickLabelFont; }
  QFont selectedLabelFont() const { return mSelectedLabelFont; }
  QColor selectedTickLabelColor() const { return mSelectedTickLabelColor; }
  QColor selectedLabelColor() const { return mSelectedLabelColor; }
  QPen selectedBasePen() const { return mSelectedBasePen; }
  QPen selectedTickPen() const { return mSelectedTickPen; }
  QPen selectedSubTickPen() const { return mSelectedSubTickPen; }

  Q_SLOT void setSelectableParts(const PlotAxis::SelectableParts &selectableParts);
  Q_SLOT void setSelectedParts(const PlotAxis::SelectableParts &selectedParts);
  void setSelectedTickLabelFont(const QFont &font);
  void setSelectedLabelFont(const QFont &font) { mSelectedLabelFont = font; }
  void setSelectedTickLabelColor(const QColor &color);
  void setSelectedLabelColor(const QColor &color) { mSelectedLabelColor = color; }
  void setSelectedBasePen(const QPen &pen) { mSelectedBasePen = pen; }
  void setSelectedTickPen(const QPen &pen) { mSelectedTickPen = pen; }
  void setSelectedSubTickPen(const QPen &pen) { mSelectedSubTickPen = pen; }

  // The pens, fonts and colours in effect, honouring the selection.
  QPen getBasePen() const;
  QPen getTickPen() const;
  QPen getSubTickPen() const;
  QFont getTickLabelFont() const;
  QFont getLabelFont() const;
  QColor getTickLabelColor() const;
  QColor getLabelColor() const;

  SelectablePart getPartAt(const QPointF &pos) const;
  // Hit rectangle of the axis (base line, ticks and axis label); used to find the axis under the mouse.
  QRect plotableRect() const;

  PlotGrid *grid() const { return mGrid; }

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;

  static AxisType opposite(AxisType type);
  static AxisType marginSideToAxisType(Plot::MarginSide side);

  // Zooms around center; spans below 0.001 are refused.
  virtual void scaleRange(double factor, double center);
  // Hooks through which a derived axis sees (and may replace) every accepted range.
  virtual PlotRange calcTicksRange(PlotRange range);
  virtual PlotRange tuneTicks(PlotRange range);
  virtual void generateTickLabels();
  virtual void setupTickVectors();
  virtual void generateAutoTicks();
  virtual int calculateAutoSubTickCount(double tickStep) const;
  // Pixels the axis needs outside its axis rectangle.
  virtual int calculateMargin();

  // Second row of labels under the tick labels, written by the application:
  // texts keyed by index into tickVector, key -1 for the left end.
  QMap<int, QString> secondRowLabels;
  bool secondRowEnabled;

signals:
  void ticksRequest();
  void rangeChanged(PlotRange &newRange, PlotRange &oldRange);
  void rangeChanged(PlotRange &newRange);
  void axisUnitChanged(PlotAxis *axis, int _upper, QList<double> &mTickVector, QList<QString> &tickLabels);
  void scaleTypeChanged(PlotAxis::ScaleType scaleType);
  void selectionChanged(PlotAxis::SelectableParts parts);
  void selectableChanged(PlotAxis::SelectableParts parts);

protected:
  Plot::Interaction selectionCategory() const override;
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void draw(PlotPainter *painter) override;
  void selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged) override;
  void deselectEvent(bool *selectionStateChanged) override;

  // Range limits.
  double mRangeMin, mRangeMax;
  // Side and owner.
  AxisType mAxisType;
  PlotAxisRect *mAxisRect;
  int mPadding;
  Qt::Orientation mOrientation;
  SelectableParts mSelectableParts, mSelectedParts;
  QPen mBasePen, mSelectedBasePen;
  // Axis label.
  QString mLabel;
  QFont mLabelFont, mSelectedLabelFont;
  QColor mLabelColor, mSelectedLabelColor;
  // Tick labels.
  bool mTickLabels, mAutoTickLabels;
  LabelType mTickLabelType;
  QFont mTickLabelFont, mSelectedTickLabelFont;
  QColor mTickLabelColor, mSelectedTickLabelColor;
  QString mDateTimeFormat;
  Qt::TimeSpec mDateTimeSpec;
  int mNumberPrecision;
  char mNumberFormatChar;
  bool mNumberBeautifulPowers;
  // Ticks and sub-ticks.
  bool mTicks;
  double mTickStep;
  int mSubTickCount, mAutoTickCount;
  bool mAutoTicks, mAutoTickStep, mAutoSubTicks;
  QPen mTickPen, mSelectedTickPen;
  QPen mSubTickPen, mSelectedSubTickPen;
  // Scale and range.
  PlotRange mRange;
  bool mRangeReversed;
  ScaleType mScaleType;
  double mScaleLogBase, mScaleLogBaseLogInv;
  // Owned helpers.
  PlotGrid *mGrid;
  PlotAxisPainterPrivate *mAxisPainter;
  // Tick state of the last setup.
  int mLowestVisibleTick, mHighestVisibleTick;
  QList<double> mTickVector;
  QList<QString> mTickVectorLabels;
  QList<double> mSubTickVector;
  bool mCachedMarginValid;
  int mCachedMargin;
  // The second row's state the cached margin was measured with.
  bool mCachedMarginSecondRow = false;

private:
  // Ends every accepted range change: invalidate, run the hook, emit both signals.
  void commitRange(const PlotRange &candidate, const PlotRange &oldRange, PlotRange (PlotAxis::*hook)(PlotRange));
  void emitRangeChanged(const PlotRange &oldRange);
  static bool isUsableRange(double lower, double upper);
  // Pixel positions of the ticks first..last and, with tick labels on, their
  // texts: the lists the painter draws and measures.
  void visibleTickPixels(int first, int last, QList<double> *positions, QList<QString> *labels) const;
  PlotRange sanitized(const PlotRange &range) const;
  QString formatNumberLabel(double value) const;
  QString formatDateTimeLabel(double value) const;

  Q_DISABLE_COPY(PlotAxis)

  friend class PlotGrid;
  friend class PlotAxisRect;
  friend class PlotWidget;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(PlotAxis::AxisTypes)
Q_DECLARE_OPERATORS_FOR_FLAGS(PlotAxis::SelectableParts)

#endif // PLOTAXIS_H
