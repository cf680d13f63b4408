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

  QList<ColorsTable> colors; // Chart, Report, Mouse
  QColor background;
  const bool dark;
};

#endif // COLORSAGENT_H
