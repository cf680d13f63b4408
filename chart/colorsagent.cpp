#include "colorsagent.h"

#include "helpers.h"
#include "settings.h"

#include <QGuiApplication>
#include <QPalette>

#include <cmath>

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

QColor ColorsAgent::defaultColor(int channel)
{
  switch (channel) {
  case 0:
    return QColor(Qt::red);
  case 1:
    return QColor(Qt::blue);
  default:
    return QColor(Qt::green);
  }
}

namespace {
double luminance(const QColor &c)
{
  const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

QColor mixed(const QColor &from, const QColor &to, double t)
{
  return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                          float(from.greenF() + (to.greenF() - from.greenF()) * t),
                          float(from.blueF() + (to.blueF() - from.blueF()) * t));
}
} // namespace

double ColorsAgent::contrast(const QColor &a, const QColor &b)
{
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ColorsAgent::readableOn(const QColor &color, const QColor &background, double ratio)
{
  if (!color.isValid() || !background.isValid() || contrast(color, background) >= ratio)
    return color;
  const QColor white(Qt::white), black(Qt::black);
  const QColor pole = contrast(white, background) >= contrast(black, background) ? white : black;
  // The smallest step towards the pole that is enough, so the hue stays.
  for (int step = 1; step < 64; ++step) {
    const QColor c = mixed(color, pole, step / 64.0);
    if (contrast(c, background) >= ratio)
      return QColor(c.rgb());
  }
  return pole;
}

QColor ColorsAgent::onWindow(const QColor &color, int channel, bool dark)
{
  if (color != defaultColor(channel))
    return color;
  return readableOn(color, windowColor(dark));
}

QColor ColorsAgent::windowColor(bool dark)
{
  return (dark ? Helpers::darkPalette() : QGuiApplication::palette()).color(QPalette::Window);
}

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
    for (int c = 0; c < 3; ++c)
      table[c] = defaultColor(c);
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
