#ifndef APPFIXTURE_H
#define APPFIXTURE_H

#include "downloader.h"
#include "glwidget.h"
#include "marqueelabel.h"
#include "hiddevice.h"
#include "mainwindow.h"
#include "processstate.h"
#include "settings.h"
#include "simdevices.h"
#include "updater.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

#include <memory>

namespace AppFixture {

// A port on which nothing listens: an update check fails at once, locally.
inline void keepUpdatesLocal()
{
  Downloader::setLoopbackHttpAllowed(true);
  Updater::setServerForTesting(QUrl(QStringLiteral("http://127.0.0.1:9")));
}

inline void clearSettings()
{
  QFile::remove(Settings::localDataPath(QCoreApplication::applicationName() + QStringLiteral(".ini")));
}

// The state every window test starts from: process flags reset, no settings
// file, update checks kept on this machine.
inline void freshWindowState()
{
  resetProcessState();
  clearSettings();
  keepUpdatesLocal();
}

// Writes "group/key" = value pairs into the program's settings file.
inline void writeSettings(const QVariantMap &values)
{
  Settings settings;
  for (auto it = values.constBegin(); it != values.constEnd(); ++it)
    settings.setValue(it.key(), it.value());
}

inline QVariant readSetting(const QString &key)
{
  Settings settings;
  return settings.value(key);
}

// Answers the next modal box with `button`, and records its text.
inline void answerNextBox(QMessageBox::StandardButton button, QString *text = nullptr, int *asked = nullptr)
{
  QTimer::singleShot(0, [=] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box)
      return;
    if (text)
      *text = box->text();
    if (asked)
      ++*asked;
    if (QAbstractButton *b = box->button(button))
      b->click();
    else
      box->reject();
  });
}

// Picks the entry `text` of the next pop-up menu.
inline void pickNextMenuEntry(const QString &text)
{
  QTimer::singleShot(0, [=] {
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
      return;
    for (QAction *action : menu->actions()) {
      if (action->text() == text) {
        menu->close();
        action->trigger();
        return;
      }
    }
    menu->close();
  });
}

// The link's own timers stop; the test drives the search and the poll.
inline void quietLink()
{
  if (HidDevice::m_instance) {
    for (QTimer *timer : HidDevice::m_instance->findChildren<QTimer *>())
      timer->stop();
  }
}

// One search and as many polls as the device has answers queued.
inline void pump(int rounds = 4)
{
  HidDevice *link = HidDevice::m_instance;
  for (int i = 0; i < rounds; ++i) {
    link->checkTimerTick();
    link->hidRead();
    QCoreApplication::processEvents();
  }
}

inline QList<int> descriptors(const QList<QByteArray> &written)
{
  QList<int> out;
  for (const QByteArray &report : written)
    out.append(report.size() > 1 ? uchar(report.at(1)) : -1);
  return out;
}

inline QString statusText(MainWindow &window)
{
  return window.statusBar()->currentMessage();
}

} // namespace AppFixture

#endif // APPFIXTURE_H
