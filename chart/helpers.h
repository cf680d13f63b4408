#ifndef HELPERS_H
#define HELPERS_H

#include <QChar>
#include <QFont>
#include <QList>
#include <QMap>
#include <QMessageBox>
#include <QPalette>
#include <QString>
#include <QtGlobal>

class QColor;
class QWidget;
class PlotAxis;
class PlotWidget;

// A duration split into calendar units (365-day years, 30-day months); the
// days include the days of the weeks.
struct CalendarSpan
{
  qint32 years = 0;
  qint32 months = 0;
  qint32 weeks = 0;
  qint32 days = 0;
  qint32 hours = 0;
  qint32 minutes = 0;
  qint32 seconds = 0;
};

// Process-wide state and formatting helpers shared by every part of the program.
// No instances: every member is static and meant for the GUI thread.
class Helpers
{
public:
  // Which power-supply model the main window serves; the application sets
  // them, the device link reads them to pick report layouts and reset messages.
  // Both are the device link's own flags (DeviceMode) under the names the
  // application uses.
  static bool &powerMode;
  static bool &powerV2Mode;
  // A capture runs / a firmware update is being written into the device.
  static bool isMeasuring;
  static bool isUpdating;
  // 1 shows times in seconds, any other value (2) as clock time.
  static int timeFormat;
  // A capture file to open at start; empty unless someone sets it.
  static QString inputFilePath;

  // Unit prefix of a current stored in µA, shown divided by `divider`.
  static QChar unitCharA(int divider);
  // Unit prefix of a voltage stored in mV, shown divided by `divider`.
  static QChar unitCharV(int divider);
  // 1, 1000 or 1000000: the divisor that brings a magnitude below 1000.
  static int divider(double value);

  // "12.5ms", "42µs", "1.500s"; without the unit the bare number.
  static QString timeToSeconds(double seconds, bool withUnit, int precision);
  // Clock style from one minute on ("1:05.250", "2 3:04:05.678"), seconds style below.
  static QString timeToNative(double seconds, bool withUnit, int precision);
  // The style chosen by timeFormat.
  static QString timeToString(double seconds, bool withUnit, int precision);
  // Tick labels of the time axis: relative offsets in `labels` (one per tick)
  // and the full time of every absolute tick in `rows`. Key -1, drawn at the
  // axis's left end and led by an arrowhead that `rowFont` (the row's font)
  // holds, is the absolute tick that the offsets from tick `firstVisible`
  // (the first one in the window) count from.
  static void timeToLabels(double step, const QList<double> &ticks, QList<QString> &labels, QMap<int, QString> &rows,
                           const QFont &rowFont = QFont(), int firstVisible = 0);
  // A left-pointing arrowhead that `font` itself has a glyph for: U+2B9C
  // where the font holds it, else the nearest shape it does hold.
  static QChar leftArrowhead(const QFont &font);
  // "(10.000 kHz)" for the sample-rate divider (period in units of 100 µs).
  static QString sampleRateToFQString(int divider);
  static CalendarSpan secondsToCalendar(quint64 seconds);

  static QPalette darkPalette();
  // Background of the plot, and the inverse colour for its bottom (time) axis.
  static void setPlotterColor(PlotWidget *plot, const QColor &color);
  // One colour for an axis's label, tick labels, ticks, sub-ticks and base line.
  static void setAxisColor(PlotAxis *axis, const QColor &color);

  // Modal message boxes with the application's own icons; return the button pressed.
  static int warning(QWidget *parent, const QString &title, const QString &text,
                     QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                     QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
  static int information(QWidget *parent, const QString &title, const QString &text,
                         QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
  static int error(QWidget *parent, const QString &title, const QString &text,
                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

private:
  static int messageBox(const QString &icon, QWidget *parent, const QString &title, const QString &text,
                        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton);
};

#endif // HELPERS_H
