#ifndef PLOTTITLE_H
#define PLOTTITLE_H

#include "plotlayout.h"

#include <QColor>
#include <QFont>
#include <QString>

// One line of text centred in a layout cell, typically a row above the axis
// rectangle. Its height follows the text; only the drawn text is hit.
class PlotTitle : public PlotLayoutElement
{
  Q_OBJECT
  Q_PROPERTY(QString text READ text WRITE setText)
  Q_PROPERTY(QFont font READ font WRITE setFont)
  Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
  Q_PROPERTY(QFont selectedFont READ selectedFont WRITE setSelectedFont)
  Q_PROPERTY(QColor selectedTextColor READ selectedTextColor WRITE setSelectedTextColor)
  Q_PROPERTY(bool selectable READ selectable WRITE setSelectable NOTIFY selectableChanged)
  Q_PROPERTY(bool selected READ selected WRITE setSelected NOTIFY selectionChanged)
public:
  // On the plot's current layer; without a plot the fixed fonts stay.
  explicit PlotTitle(PlotWidget *parentPlot);
  // On the layer "axes".
  PlotTitle(PlotWidget *parentPlot, const QString &text);

  QString text() const { return mText; }
  QFont font() const { return mFont; }
  QColor textColor() const { return mTextColor; }
  QFont selectedFont() const { return mSelectedFont; }
  QColor selectedTextColor() const { return mSelectedTextColor; }
  bool selectable() const { return mSelectable; }
  bool selected() const { return mSelected; }

  void setText(const QString &text) { mText = text; }
  void setFont(const QFont &font) { mFont = font; }
  void setTextColor(const QColor &color) { mTextColor = color; }
  void setSelectedFont(const QFont &font) { mSelectedFont = font; }
  void setSelectedTextColor(const QColor &color) { mSelectedTextColor = color; }

  QFont mainFont() const { return mSelected ? mSelectedFont : mFont; }
  QColor mainTextColor() const { return mSelected ? mSelectedTextColor : mTextColor; }

  double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
  // Measured with the unselected font, so selecting does not move the layout.
  QSize minimumSizeHint() const override;
  QSize maximumSizeHint() const override;

public slots:
  void setSelectable(bool selectable);
  void setSelected(bool selected);

signals:
  void selectionChanged(bool selected);
  void selectableChanged(bool selectable);

protected:
  void applyDefaultAntialiasingHint(PlotPainter *painter) const override;
  void draw(PlotPainter *painter) override;
  void selectEvent(QMouseEvent *event, bool additive, const QVariant &details, bool *selectionStateChanged) override;
  void deselectEvent(bool *selectionStateChanged) override;

  // The plot widget's font scaled for a title (point or pixel sized).
  void takeFontsFrom(const PlotWidget *plot);
  QSize textExtent() const;

  QString mText;
  QFont mFont;
  QColor mTextColor;
  QFont mSelectedFont;
  QColor mSelectedTextColor;
  QRect mTextBoundingRect;
  bool mSelectable, mSelected;
};

#endif // PLOTTITLE_H
