#include "colorsagent.h"

#include "settings.h"

namespace {
const char *const kTableKeys[3] = {"channel_%1", "report_%1", "mouse_%1"};
const char *const kBackgroundKey = "background";

QString themeGroup(bool dark)
{
  return dark ? QStringLiteral("Dark") : QStringLiteral("Light");
}

// Keeps `color` when the stored text is not a colour name: an invalid colour
// would draw and save as black, so the key is repaired by the next save.
void readColor(Settings &settings, const QString &key, QColor &color)
{
  const QColor stored = QColor::fromString(settings.value(key, color.name()).toString());
  if (stored.isValid())
    color = stored;
}
} // namespace

ColorsAgent::ColorsAgent(bool dark, QObject *parent) : QObject(parent), background(Qt::white), dark(dark)
{
  load();
}

ColorsAgent::~ColorsAgent()
{
  save();
}

void ColorsAgent::load()
{
  colors.clear();
  for (int t = 0; t < 3; ++t) {
    ColorsTable table;
    table[0] = QColor(Qt::red);
    table[1] = QColor(Qt::blue);
    table[2] = QColor(Qt::green);
    colors.append(table);
  }

  Settings settings;
  settings.beginGroup(QStringLiteral("Options"));
  settings.beginGroup(themeGroup(dark));
  for (int t = 0; t < 3; ++t) {
    for (int c = 0; c < 3; ++c)
      readColor(settings, QString::fromLatin1(kTableKeys[t]).arg(c), colors[t][c]);
  }
  readColor(settings, QString::fromLatin1(kBackgroundKey), background);
  settings.endGroup();
  settings.endGroup();
}

void ColorsAgent::save()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Options"));
  settings.beginGroup(themeGroup(dark));
  for (int t = 0; t < 3 && t < colors.size(); ++t) {
    for (int c = 0; c < 3; ++c)
      settings.setValue(QString::fromLatin1(kTableKeys[t]).arg(c), colors.at(t)[c].name());
  }
  settings.setValue(QString::fromLatin1(kBackgroundKey), background.name());
  settings.endGroup();
  settings.endGroup();
}
