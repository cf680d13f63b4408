#include "plotaxispainter.h"

#include "plotaxisrect.h"
#include "plotpainter.h"
#include "plotwidget.h"

#include <QDebug>
#include <QFontMetrics>
#include <QTransform>
#include <QVector2D>
#include <QtMath>
#include <cmath>

namespace {
bool isHorizontal(PlotAxis::AxisType type)
{
  return type == PlotAxis::atTop || type == PlotAxis::atBottom;
}
} // namespace

PlotAxisPainterPrivate::PlotAxisPainterPrivate(PlotWidget *parentPlot)
    : type(PlotAxis::atLeft), basePen(QBrush(Qt::black), 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin),
      lowerEnding(PlotLineEnding::esNone), upperEnding(PlotLineEnding::esNone), labelPadding(0), tickLabelPadding(0),
      tickLabelRotation(0), tickLabelSide(PlotAxis::lsOutside), substituteExponent(true), numberMultiplyCross(false),
      tickLengthIn(5), tickLengthOut(0), subTickLengthIn(2), subTickLengthOut(0),
      tickPen(QBrush(Qt::black), 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin),
      subTickPen(QBrush(Qt::black), 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin), offset(0),
      abbreviateDecimalPowers(false), reversedEndings(false), secondRowEnabled(false), mParentPlot(parentPlot),
      mLabelCache(16)
{
}

PlotAxisPainterPrivate::~PlotAxisPainterPrivate()
{
  clearCache();
}

void PlotAxisPainterPrivate::clearCache()
{
  mLabelCache.clear();
}

void PlotAxisPainterPrivate::dropStaleLabelCache()
{
  const QByteArray newHash = generateLabelParameterHash();
  if (newHash != mLabelParameterHash) {
    mLabelCache.clear();
    mLabelParameterHash = newHash;
  }
}

void PlotAxisPainterPrivate::draw(PlotPainter *painter)
{
  dropStaleLabelCache();

  const bool horizontal = isHorizontal(type);
  const int pixelOffset = int(offset);
  QPoint origin;
  int xCor = 0, yCor = 0; // corrections for the way lines fall on pixels
  switch (type) {
  case PlotAxis::atLeft:
    origin = axisRect.bottomLeft() + QPoint(-pixelOffset, 0);
    break;
  case PlotAxis::atRight:
    origin = axisRect.bottomRight() + QPoint(pixelOffset, 0);
    xCor = 1;
    break;
  case PlotAxis::atTop:
    origin = axisRect.topLeft() + QPoint(0, -pixelOffset);
    yCor = -1;
    break;
  case PlotAxis::atBottom:
    origin = axisRect.bottomLeft() + QPoint(0, pixelOffset);
    break;
  }

  // Base line.
  QLineF baseLine;
  painter->setPen(basePen);
  if (horizontal)
    baseLine = QLineF(origin + QPointF(xCor, yCor), origin + QPointF(axisRect.width() + xCor, yCor));
  else
    baseLine = QLineF(origin + QPointF(xCor, yCor), origin + QPointF(xCor, -axisRect.height() + yCor));
  if (reversedEndings)
    baseLine = QLineF(baseLine.p2(), baseLine.p1());
  painter->drawLine(baseLine);

  // Ticks and sub-ticks.
  const int tickDir = (type == PlotAxis::atBottom || type == PlotAxis::atRight) ? -1 : 1;
  auto drawTicks = [&](const QList<double> &positions, int lengthIn, int lengthOut) {
    for (double position : positions) {
      if (horizontal)
        painter->drawLine(QLineF(position + xCor, origin.y() - lengthOut * tickDir + yCor, position + xCor,
                                 origin.y() + lengthIn * tickDir + yCor));
      else
        painter->drawLine(QLineF(origin.x() - lengthOut * tickDir + xCor, position + yCor,
                                 origin.x() + lengthIn * tickDir + xCor, position + yCor));
    }
  };
  if (!tickPositions.isEmpty()) {
    painter->setPen(tickPen);
    drawTicks(tickPositions, tickLengthIn, tickLengthOut);
  }
  if (!subTickPositions.isEmpty()) {
    painter->setPen(subTickPen);
    drawTicks(subTickPositions, subTickLengthIn, subTickLengthOut);
  }

  // Endings, in the base line's colour; the body of an ending starts where the line ends.
  const bool antialiasingBackup = painter->antialiasing();
  painter->setAntialiasing(true);
  painter->setPen(basePen);
  painter->setBrush(QBrush(basePen.color()));
  const QVector2D baseLineVector(float(baseLine.dx()), float(baseLine.dy()));
  if (lowerEnding.style() != PlotLineEnding::esNone)
    lowerEnding.draw(painter,
                     QVector2D(baseLine.p1()) - baseLineVector.normalized() * float(lowerEnding.realLength() *
                                                                                    (lowerEnding.inverted() ? -1 : 1)),
                     -baseLineVector);
  if (upperEnding.style() != PlotLineEnding::esNone)
    upperEnding.draw(painter,
                     QVector2D(baseLine.p2()) + baseLineVector.normalized() * float(upperEnding.realLength() *
                                                                                    (upperEnding.inverted() ? -1 : 1)),
                     baseLineVector);
  painter->setAntialiasing(antialiasingBackup);

  // Tick labels.
  int margin = qMax(0, qMax(tickLengthOut, subTickLengthOut));
  const bool hadClipping = painter->hasClipping();
  const QRectF oldClipRect = painter->clipBoundingRect();
  if (tickLabelSide == PlotAxis::lsInside)
    painter->setClipRect(axisRect);
  QSize tickLabelsSize(0, 0);
  if (!tickLabels.isEmpty()) {
    if (tickLabelSide == PlotAxis::lsOutside)
      margin += tickLabelPadding;
    painter->setFont(tickLabelFont);
    painter->setPen(QPen(tickLabelColor));
    const int labelCount = qMin(tickPositions.size(), tickLabels.size());
    const int distanceToAxis = tickLabelSide == PlotAxis::lsOutside
                                   ? margin
                                   : -(qMax(tickLengthIn, subTickLengthIn) + tickLabelPadding);
    if (!secondRowEnabled) {
      for (int i = 0; i < labelCount; ++i)
        placeTickLabel(painter, tickPositions.at(i), distanceToAxis, tickLabels.at(i), &tickLabelsSize);
    } else {
      // Thin the first row so that drawn labels keep one label width apart.
      if (labelCount > 0) {
        placeTickLabel(painter, tickPositions.at(0), distanceToAxis, tickLabels.at(0), &tickLabelsSize);
        double lastPosition = tickPositions.at(0);
        for (int i = 1; i < labelCount; ++i) {
          if (lastPosition + tickLabelsSize.width() < tickPositions.at(i)) {
            placeTickLabel(painter, tickPositions.at(i), distanceToAxis, tickLabels.at(i), &tickLabelsSize);
            lastPosition = tickPositions.at(i);
          }
        }
      }
      if (!secondRowLabels.isEmpty()) {
        painter->save();
        if (tickLabelSide == PlotAxis::lsInside && mParentPlot) {
          // axisRect(0) walks the layout tree: ask once.
          if (const PlotAxisRect *firstRect = mParentPlot->axisRect(0))
            painter->setClipRect(firstRect->rect());
        }
        painter->setFont(labelFont);
        painter->setPen(QPen(labelColor));
        const int left = axisRect.left();
        placeTickLabel(painter, left, tickLabelsSize.height() + distanceToAxis, secondRowLabels.value(-1),
                       &tickLabelsSize);
        for (auto it = secondRowLabels.constBegin(); it != secondRowLabels.constEnd(); ++it) {
          if (it.key() < 0 || it.key() >= tickPositions.size())
            continue;
          const double position = tickPositions.at(it.key());
          if (left + tickLabelsSize.width() < position)
            placeTickLabel(painter, position, tickLabelsSize.height() + distanceToAxis, it.value(), &tickLabelsSize);
        }
        painter->restore();
      }
    }
    if (tickLabelSide == PlotAxis::lsOutside)
      margin += horizontal ? tickLabelsSize.height() : tickLabelsSize.width();
  }
  if (tickLabelSide == PlotAxis::lsInside) {
    if (hadClipping)
      painter->setClipRect(oldClipRect);
    else
      painter->setClipping(false);
  }

  // Axis label.
  QRect labelBounds;
  if (!label.isEmpty()) {
    margin += labelPadding;
    painter->setFont(labelFont);
    painter->setPen(QPen(labelColor));
    labelBounds = painter->fontMetrics().boundingRect(0, 0, 0, 0, Qt::TextDontClip, label);
    const int flags = Qt::TextDontClip | Qt::AlignCenter;
    switch (type) {
    case PlotAxis::atLeft: {
      const QTransform oldTransform = painter->transform();
      painter->translate(origin.x() - margin - labelBounds.height(), origin.y());
      painter->rotate(-90);
      painter->drawText(0, 0, axisRect.height(), labelBounds.height(), flags, label);
      painter->setTransform(oldTransform);
      break;
    }
    case PlotAxis::atRight: {
      // Reads bottom to top like the left axis label.
      const QTransform oldTransform = painter->transform();
      painter->translate(origin.x() + margin + 4 - labelBounds.height(), origin.y());
      painter->rotate(-90);
      painter->drawText(0, 0, axisRect.height(), labelBounds.height(), flags, label);
      painter->setTransform(oldTransform);
      break;
    }
    case PlotAxis::atTop:
      painter->drawText(origin.x(), origin.y() - margin - labelBounds.height(), axisRect.width(), labelBounds.height(),
                        flags, label);
      break;
    case PlotAxis::atBottom:
      painter->drawText(origin.x(), origin.y() + margin, axisRect.width(), labelBounds.height(), flags, label);
      break;
    }
  }

  // Selection boxes, measured away from the axis rectangle from the origin.
  int selectionTolerance = 0;
  if (mParentPlot)
    selectionTolerance = mParentPlot->selectionTolerance();
  else
    qDebug() << Q_FUNC_INFO << "mParentPlot is null";
  const int outerTickLength = qMax(tickLengthOut, subTickLengthOut);
  const int axisOut = qMax(outerTickLength, selectionTolerance);
  const int axisIn = selectionTolerance;
  int tickLabelsExtent, tickLabelsOffset;
  if (tickLabelSide == PlotAxis::lsOutside) {
    tickLabelsExtent = horizontal ? tickLabelsSize.height() : tickLabelsSize.width();
    tickLabelsOffset = outerTickLength + tickLabelPadding;
  } else {
    tickLabelsExtent = -(horizontal ? tickLabelsSize.height() : tickLabelsSize.width());
    tickLabelsOffset = -(qMax(tickLengthIn, subTickLengthIn) + tickLabelPadding);
  }
  const int labelExtent = labelBounds.height();
  const int labelOffset =
      outerTickLength +
      ((!tickLabels.isEmpty() && tickLabelSide == PlotAxis::lsOutside) ? tickLabelPadding + tickLabelsExtent : 0) +
      labelPadding;

  auto boxAcross = [&](int from, int to) {
    QRect box;
    switch (type) {
    case PlotAxis::atLeft:
      box = QRect(origin.x() - to, axisRect.top(), to - from, axisRect.height());
      break;
    case PlotAxis::atRight:
      box = QRect(origin.x() + from, axisRect.top(), to - from, axisRect.height());
      break;
    case PlotAxis::atTop:
      box = QRect(axisRect.left(), origin.y() - to, axisRect.width(), to - from);
      break;
    case PlotAxis::atBottom:
      box = QRect(axisRect.left(), origin.y() + from, axisRect.width(), to - from);
      break;
    }
    return box.normalized();
  };
  mAxisSelectionBox = boxAcross(-axisIn, axisOut);
  mTickLabelsSelectionBox = boxAcross(tickLabelsOffset, tickLabelsOffset + tickLabelsExtent);
  mLabelSelectionBox = boxAcross(labelOffset, labelOffset + labelExtent);
}

int PlotAxisPainterPrivate::size() const
{
  int result = 0;
  if (!tickPositions.isEmpty())
    result += qMax(0, qMax(tickLengthOut, subTickLengthOut));

  if (tickLabelSide == PlotAxis::lsOutside && !tickLabels.isEmpty()) {
    QSize labelsSize(0, 0);
    for (const QString &text : tickLabels)
      getMaxTickLabelSize(tickLabelFont, text, &labelsSize);
    result += isHorizontal(type) ? labelsSize.height() : labelsSize.width();
    result += tickLabelPadding;
  }

  const int flags = Qt::TextDontClip | Qt::AlignCenter;
  if (secondRowEnabled) {
    // The second row takes the axis label's place: one line of the label font.
    // Measured as it is drawn, like a tick label in the label font.
    result += qMax(QFontMetrics(labelFont).boundingRect(0, 0, 0, 0, flags, QStringLiteral("label")).height(),
                   getTickLabelData(labelFont, QStringLiteral("0")).rotatedTotalBounds.height());
    result += labelPadding;
  } else if (!label.isEmpty()) {
    result += QFontMetrics(labelFont).boundingRect(0, 0, 0, 0, flags, label).height();
    result += labelPadding;
  }
  return result;
}

QByteArray PlotAxisPainterPrivate::generateLabelParameterHash() const
{
  QByteArray result;
  result.append(QByteArray::number(tickLabelRotation, 'g', 6));
  result.append(QByteArray::number(int(tickLabelSide)));
  result.append(QByteArray::number(int(substituteExponent)));
  result.append(QByteArray::number(int(numberMultiplyCross)));
  result.append(tickLabelColor.name().toLatin1() + QByteArray::number(tickLabelColor.alpha(), 16));
  result.append(tickLabelFont.toString().toLatin1());
  return result;
}

bool PlotAxisPainterPrivate::labelClippedByViewport(const QPointF &topLeft, const QSize &size) const
{
  if (tickLabelSide != PlotAxis::lsOutside)
    return false;
  if (isHorizontal(type))
    return topLeft.x() + size.width() > viewportRect.right() || topLeft.x() < viewportRect.left();
  return topLeft.y() + size.height() > viewportRect.bottom() || topLeft.y() < viewportRect.top();
}

void PlotAxisPainterPrivate::placeTickLabel(PlotPainter *painter, double position, int distanceToAxis,
                                            const QString &text, QSize *tickLabelsSize)
{
  if (text.isEmpty())
    return;
  QSize finalSize;
  QPointF labelAnchor;
  switch (type) {
  case PlotAxis::atLeft:
    labelAnchor = QPointF(axisRect.left() - distanceToAxis - offset, position);
    break;
  case PlotAxis::atRight:
    labelAnchor = QPointF(axisRect.right() + distanceToAxis + offset, position);
    break;
  case PlotAxis::atTop:
    labelAnchor = QPointF(position, axisRect.top() - distanceToAxis - offset);
    break;
  case PlotAxis::atBottom:
    labelAnchor = QPointF(position, axisRect.bottom() + distanceToAxis + offset);
    break;
  }

  const bool useCache = mParentPlot && mParentPlot->plottingHints().testFlag(Plot::hintCacheLabels) &&
                        !painter->modes().testFlag(PlotPainter::pmNoCaching);
  if (useCache) {
    CachedLabel *cachedLabel = mLabelCache.take(text);
    if (!cachedLabel) {
      cachedLabel = new CachedLabel;
      const TickLabelData labelData = getTickLabelData(painter->font(), text);
      const QPoint boundsTopLeft = labelData.rotatedTotalBounds.topLeft();
      cachedLabel->offset = getTickLabelDrawOffset(labelData) + boundsTopLeft;
      cachedLabel->pixmap = QPixmap(labelData.rotatedTotalBounds.size());
      cachedLabel->pixmap.fill(Qt::transparent);
      PlotPainter cachePainter(&cachedLabel->pixmap);
      cachePainter.setPen(painter->pen());
      drawTickLabel(&cachePainter, -boundsTopLeft.x(), -boundsTopLeft.y(), labelData);
    }
    if (!labelClippedByViewport(labelAnchor + cachedLabel->offset, cachedLabel->pixmap.size())) {
      painter->drawPixmap(labelAnchor + cachedLabel->offset, cachedLabel->pixmap);
      finalSize = cachedLabel->pixmap.size();
    }
    mLabelCache.insert(text, cachedLabel, 1);
  } else {
    const TickLabelData labelData = getTickLabelData(painter->font(), text);
    const QPointF finalPosition = labelAnchor + getTickLabelDrawOffset(labelData);
    if (!labelClippedByViewport(finalPosition, labelData.rotatedTotalBounds.size())) {
      drawTickLabel(painter, finalPosition.x(), finalPosition.y(), labelData);
      finalSize = labelData.rotatedTotalBounds.size();
    }
  }

  if (finalSize.width() > tickLabelsSize->width())
    tickLabelsSize->setWidth(finalSize.width());
  if (finalSize.height() > tickLabelsSize->height())
    tickLabelsSize->setHeight(finalSize.height());
}

void PlotAxisPainterPrivate::drawTickLabel(PlotPainter *painter, double x, double y,
                                           const TickLabelData &labelData) const
{
  const QTransform oldTransform = painter->transform();
  const QFont oldFont = painter->font();
  painter->translate(x, y);
  if (std::fabs(tickLabelRotation) > 1e-12)
    painter->rotate(tickLabelRotation);
  if (!labelData.expPart.isEmpty()) {
    painter->setFont(labelData.baseFont);
    painter->drawText(0, 0, 0, 0, Qt::TextDontClip, labelData.basePart);
    painter->setFont(labelData.expFont);
    painter->drawText(labelData.baseBounds.width() + 1, 0, labelData.expBounds.width(), labelData.expBounds.height(),
                      Qt::TextDontClip, labelData.expPart);
  } else {
    painter->setFont(labelData.baseFont);
    painter->drawText(0, 0, labelData.totalBounds.width(), labelData.totalBounds.height(),
                      Qt::TextDontClip | Qt::AlignHCenter, labelData.basePart);
  }
  painter->setTransform(oldTransform);
  painter->setFont(oldFont);
}

PlotAxisPainterPrivate::TickLabelData PlotAxisPainterPrivate::getTickLabelData(const QFont &font,
                                                                               const QString &text) const
{
  TickLabelData result;
  const int ePos = substituteExponent ? text.indexOf(QLatin1Char('e')) : -1;
  const bool useBeautifulPowers = ePos > -1;

  result.baseFont = font;
  if (result.baseFont.pointSizeF() > 0)
    result.baseFont.setPointSizeF(result.baseFont.pointSizeF() + 0.05);

  if (useBeautifulPowers) {
    result.basePart = text.left(ePos);
    if (abbreviateDecimalPowers && result.basePart == QLatin1String("1"))
      result.basePart = QStringLiteral("10");
    else
      result.basePart += QChar(numberMultiplyCross ? 0x00D7 : 0x00B7) + QStringLiteral("10");
    result.expPart = text.mid(ePos + 1);
    // "-05" becomes "-5", "+06" becomes "6".
    while (result.expPart.length() > 2 && result.expPart.at(1) == QLatin1Char('0'))
      result.expPart.remove(1, 1);
    if (!result.expPart.isEmpty() && result.expPart.at(0) == QLatin1Char('+'))
      result.expPart.remove(0, 1);
    result.expFont = font;
    if (font.pointSize() > 0)
      result.expFont.setPointSize(qMax(1, int(font.pointSizeF() * 0.75)));
    else
      result.expFont.setPixelSize(qMax(1, int(font.pixelSize() * 0.75)));
    result.baseBounds = QFontMetrics(result.baseFont).boundingRect(0, 0, 0, 0, Qt::TextDontClip, result.basePart);
    result.expBounds = QFontMetrics(result.expFont).boundingRect(0, 0, 0, 0, Qt::TextDontClip, result.expPart);
    result.totalBounds =
        QRect(0, 0, result.baseBounds.width() + result.expBounds.width() + 2, result.baseBounds.height());
  } else {
    result.basePart = text;
    result.totalBounds = QFontMetrics(result.baseFont)
                             .boundingRect(0, 0, 0, 0, Qt::TextDontClip | Qt::AlignHCenter, result.basePart);
    // Centred measuring puts the box around x = 0, but the text is drawn from
    // x = 0; the box must start there or cached pixmaps would lose half the text.
    result.totalBounds.moveTopLeft(QPoint(0, 0));
  }

  result.rotatedTotalBounds = result.totalBounds;
  if (std::fabs(tickLabelRotation) > 1e-12) {
    QTransform transform;
    transform.rotate(tickLabelRotation);
    result.rotatedTotalBounds = transform.mapRect(result.rotatedTotalBounds);
  }
  return result;
}

QPointF PlotAxisPainterPrivate::getTickLabelDrawOffset(const TickLabelData &labelData) const
{
  const bool doRotation = std::fabs(tickLabelRotation) > 1e-12;
  const bool flip = std::fabs(std::fabs(tickLabelRotation) - 90.0) <= 90.0 * 1e-12;
  const double radians = qDegreesToRadians(tickLabelRotation);
  const double w = labelData.totalBounds.width();
  const double h = labelData.totalBounds.height();
  const bool outside = tickLabelSide == PlotAxis::lsOutside;
  double x = 0, y = 0;

  if ((type == PlotAxis::atLeft && outside) || (type == PlotAxis::atRight && !outside)) {
    // The anchor is on the label's right side.
    if (doRotation) {
      if (tickLabelRotation > 0) {
        x = -std::cos(radians) * w;
        y = flip ? -w / 2.0 : -std::sin(radians) * w - std::cos(radians) * h / 2.0;
      } else {
        x = -std::cos(-radians) * w - std::sin(-radians) * h;
        y = flip ? +w / 2.0 : +std::sin(-radians) * w - std::cos(-radians) * h / 2.0;
      }
    } else {
      x = -w;
      y = -h / 2.0;
    }
  } else if ((type == PlotAxis::atRight && outside) || (type == PlotAxis::atLeft && !outside)) {
    // On the label's left side.
    if (doRotation) {
      if (tickLabelRotation > 0) {
        x = +std::sin(radians) * h;
        y = flip ? -w / 2.0 : -std::cos(radians) * h / 2.0;
      } else {
        x = 0;
        y = flip ? +w / 2.0 : -std::cos(-radians) * h / 2.0;
      }
    } else {
      x = 0;
      y = -h / 2.0;
    }
  } else if ((type == PlotAxis::atTop && outside) || (type == PlotAxis::atBottom && !outside)) {
    // On the label's bottom side.
    if (doRotation) {
      if (tickLabelRotation > 0) {
        x = -std::cos(radians) * w + std::sin(radians) * h / 2.0;
        y = -std::sin(radians) * w - std::cos(radians) * h;
      } else {
        x = -std::sin(-radians) * h / 2.0;
        y = -std::cos(-radians) * h;
      }
    } else {
      x = -w / 2.0;
      y = -h;
    }
  } else {
    // On the label's top side.
    if (doRotation) {
      if (tickLabelRotation > 0) {
        x = +std::sin(radians) * h / 2.0;
        y = 0;
      } else {
        x = -std::cos(-radians) * w - std::sin(-radians) * h / 2.0;
        y = +std::sin(-radians) * w;
      }
    } else {
      x = -w / 2.0;
      y = 0;
    }
  }
  return QPointF(int(x), int(y));
}

void PlotAxisPainterPrivate::getMaxTickLabelSize(const QFont &font, const QString &text,
                                                 QSize *tickLabelsSize) const
{
  QSize finalSize;
  const CachedLabel *cachedLabel = nullptr;
  if (mParentPlot && mParentPlot->plottingHints().testFlag(Plot::hintCacheLabels))
    cachedLabel = mLabelCache.object(text);
  if (cachedLabel)
    finalSize = cachedLabel->pixmap.size();
  else
    finalSize = getTickLabelData(font, text).rotatedTotalBounds.size();

  if (finalSize.width() > tickLabelsSize->width())
    tickLabelsSize->setWidth(finalSize.width());
  if (finalSize.height() > tickLabelsSize->height())
    tickLabelsSize->setHeight(finalSize.height());
}
