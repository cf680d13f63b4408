#ifndef PLOTAXISPAINTER_H
#define PLOTAXISPAINTER_H

#include "plotaxis.h"
#include "plotlineending.h"

#include <QByteArray>
#include <QCache>
#include <QFont>
#include <QList>
#include <QMap>
#include <QPen>
#include <QPixmap>
#include <QPointF>
#include <QRect>
#include <QString>

class PlotPainter;
class PlotWidget;

// Paints one axis (base line with its endings, ticks, sub-ticks, tick labels,
// second label row, axis label), measures its margin and records the boxes
// used for hit tests. The axis hands it everything just before painting or
// measuring; it reads nothing from the axis itself. Tick labels are rendered
// once into pixmaps and cached by text.
class PlotAxisPainterPrivate
{
public:
  struct CachedLabel
  {
    QPointF offset; // from the anchor to the pixmap's top-left corner
    QPixmap pixmap;
  };
  struct TickLabelData
  {
    QString basePart, expPart;
    QRect baseBounds, expBounds, totalBounds, rotatedTotalBounds;
    QFont baseFont, expFont;
  };

  explicit PlotAxisPainterPrivate(PlotWidget *parentPlot);
  virtual ~PlotAxisPainterPrivate();

  virtual void draw(PlotPainter *painter);
  // Pixels needed outside the axis rectangle, without the axis padding.
  virtual int size() const;
  void clearCache();
  // Empties the label cache when a parameter that shapes the labels changed
  // since the pictures were made.
  void dropStaleLabelCache();

  QRect axisSelectionBox() const { return mAxisSelectionBox; }
  QRect tickLabelsSelectionBox() const { return mTickLabelsSelectionBox; }
  QRect labelSelectionBox() const { return mLabelSelectionBox; }

  PlotAxis::AxisType type;
  QPen basePen;
  PlotLineEnding lowerEnding, upperEnding;
  int labelPadding;
  QFont labelFont;
  QColor labelColor;
  QString label;
  int tickLabelPadding;
  double tickLabelRotation;
  PlotAxis::LabelSide tickLabelSide;
  bool substituteExponent;
  bool numberMultiplyCross;
  int tickLengthIn, tickLengthOut, subTickLengthIn, subTickLengthOut;
  QPen tickPen, subTickPen;
  QFont tickLabelFont;
  QColor tickLabelColor;
  QRect axisRect, viewportRect;
  double offset;
  bool abbreviateDecimalPowers;
  bool reversedEndings;
  bool secondRowEnabled;

  QList<double> subTickPositions;
  QList<double> tickPositions;
  QList<QString> tickLabels;
  // Keyed by index into tickPositions, -1 for the text at the left end.
  QMap<int, QString> secondRowLabels;

  PlotWidget *mParentPlot;
  // Parameters the cached pictures were made with.
  QByteArray mLabelParameterHash;
  QCache<QString, CachedLabel> mLabelCache;
  QRect mAxisSelectionBox, mTickLabelsSelectionBox, mLabelSelectionBox;

protected:
  virtual QByteArray generateLabelParameterHash() const;
  virtual void placeTickLabel(PlotPainter *painter, double position, int distanceToAxis, const QString &text,
                              QSize *tickLabelsSize);
  virtual void drawTickLabel(PlotPainter *painter, double x, double y, const TickLabelData &labelData) const;
  virtual TickLabelData getTickLabelData(const QFont &font, const QString &text) const;
  virtual QPointF getTickLabelDrawOffset(const TickLabelData &labelData) const;
  virtual void getMaxTickLabelSize(const QFont &font, const QString &text, QSize *tickLabelsSize) const;

  bool labelClippedByViewport(const QPointF &topLeft, const QSize &size) const;

private:
  Q_DISABLE_COPY(PlotAxisPainterPrivate)
};

#endif // PLOTAXISPAINTER_H
