#ifndef COLORSAGENT_H
#define COLORSAGENT_H

#include <QColor>
#include <QList>
#include <QObject>

// One colour per logger channel, #0, #1 and #2 in that order.
struct ColorsTable
{
  QColor color[3];

  QColor &operator[](int channel) { return color[channel]; }
  const QColor &operator[](int channel) const { return color[channel]; }
};

// The user's colours of one theme (dark or light), read from the settings
// file when constructed and written back whenever destroyed. Short-lived:
// build one for the theme in force, read what is needed, let it go.
class ColorsAgent : public QObject
{
  Q_OBJECT

public:
  enum Table { Chart = 0, Report = 1, Mouse = 2 };

  explicit ColorsAgent(bool dark, QObject *parent = nullptr);
  ~ColorsAgent() override;

  // Fills `colors` (always three tables) and `background` from the theme's
  // subgroup; a missing or unreadable key keeps the built-in colour.
  void load();
  // Writes all ten colours as #rrggbb into the theme's subgroup.
  void save();

  // The built-in colour of a channel, the same in every table and theme.
  static QColor defaultColor(int channel);
  // Contrast of two opaque colours as 1..21 (relative luminance ratio).
  static double contrast(const QColor &a, const QColor &b);
  // `color`, or the nearest mix of it with white or black that stands out
  // from `background` by at least `ratio`.
  static QColor readableOn(const QColor &color, const QColor &background, double ratio = 4.5);
  // A built-in channel colour as drawn on the window of the theme (not on
  // the chart): mixed lighter or darker until readable there. Other colours
  // are the user's and stay.
  static QColor onWindow(const QColor &color, int channel, bool dark);
  // The background of the window (not of the chart) in the theme.
  static QColor windowColor(bool dark);

  QList<ColorsTable> colors; // Chart, Report, Mouse
  QColor background;
  const bool dark;
};

#endif // COLORSAGENT_H
