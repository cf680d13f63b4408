#ifndef CHARTFIXTURE_H
#define CHARTFIXTURE_H

#include "controlpackets.h"
#include "glwidget.h"
#include "helpers.h"
#include "infopackets.h"
#include "plotwidget.h"
#include "settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

// A chart as the main window builds one: the widget, its plot as a child.
struct ChartFixture
{
  GLWidget *widget;
  PlotWidget *plot;

  ChartFixture() : widget(new GLWidget), plot(new PlotWidget(widget))
  {
    widget->resize(900, 500);
    plot->resize(900, 500);
    widget->setPlotter(plot);
  }
  ~ChartFixture() { delete widget; }
  ChartFixture(const ChartFixture &) = delete;
  ChartFixture &operator=(const ChartFixture &) = delete;
};

// Sets the process-wide power-mode flags for one test and puts them back.
struct ModeGuard
{
  bool power, powerV2;
  ModeGuard(bool p, bool v2) : power(Helpers::powerMode), powerV2(Helpers::powerV2Mode)
  {
    Helpers::powerMode = p;
    Helpers::powerV2Mode = v2;
  }
  ~ModeGuard()
  {
    Helpers::powerMode = power;
    Helpers::powerV2Mode = powerV2;
  }
};

struct Description
{
  int channel;
  QString info;
  double lower = 0;
  double upper = 10000000;
  int precision = 1;
};

// Replaces the process-wide channel descriptions by these.
inline void describe(const QList<Description> &descriptions)
{
  ChannelInfo::removeChannels();
  QJsonArray list;
  for (const Description &d : descriptions) {
    list.append(QJsonObject{{"channel", d.channel},
                            {"info", d.info},
                            {"lower", d.lower},
                            {"upper", d.upper},
                            {"pecision", d.precision}});
  }
  ChannelInfo::fromJson(QJsonObject{{"Channels", list}});
}

inline void removeSettingsFile()
{
  QFile::remove(Settings::localDataPath(QCoreApplication::applicationName() + QStringLiteral(".ini")));
}

// A logger start command for the channel mask at the sample-rate divider.
inline DeviceControl startCommand(quint16 mask, quint16 divider)
{
  unsigned char bytes[64] = {2, 0x80, 0, 0, uchar(mask >> 8), uchar(mask), uchar(divider >> 8), uchar(divider), 1};
  return DeviceControl(bytes, 64);
}

#endif // CHARTFIXTURE_H
