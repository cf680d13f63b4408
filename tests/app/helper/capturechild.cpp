// A capture that is never stopped: the window captures 3 channels at 1 kHz
// from the simulated logger in the bus's time. Once `seconds` (argument 1) of
// capture are appended to its working file it says "ready <records> <path>"
// on stdout and waits, still capturing, until stdin closes or it is killed.
// It never writes the statistics tail.
#include "downloader.h"
#include "helpers.h"
#include "hiddevice.h"
#include "mainwindow.h"
#include "glwidget.h"
#include "settings.h"
#include "simdevices.h"
#include "swapfile.h"
#include "updater.h"

#include <QApplication>
#include <QTimer>
#include <QUrl>

#include <cstdio>

int main(int argc, char **argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tovri-capture-child"));
  const double seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 25.0;
  // Update checks stay on this machine.
  Downloader::setLoopbackHttpAllowed(true);
  Updater::setServerForTesting(QUrl(QStringLiteral("http://127.0.0.1:9")));
  {
    Settings settings;
    settings.setValue(QStringLiteral("Options/time-length-index"), MainWindow::MeasuringTimeRows - 2);
  }

  SimBus bus;
  SimLogger *logger = bus.add<SimLogger>();
  MainWindow::setClock([&bus] { return bus.now(); });
  MainWindow window;
  HidDevice *link = HidDevice::m_instance;
  for (QTimer *timer : link->findChildren<QTimer *>())
    timer->stop();
  for (int i = 0; i < 4; ++i) {
    link->checkTimerTick();
    link->hidRead();
    QCoreApplication::processEvents();
  }

  DeviceControl command;
  command.set(1, uchar(DeviceControl::Start));
  command.writeU16(4, 0x07);
  command.writeU16(6, 10); // 1 kHz
  window.on_startMeasurement(command);
  GLWidget *tab = window.captureTab();
  if (!Helpers::isMeasuring || !tab)
    return 2;
  const QString path = tab->swapFile->file.fileName();
  const int perReport = MeasureAll::MaxSamples / 3;

  // Bus time in 10 ms steps, drained and ticked as the window's timers would.
  for (qint64 ms = 0; ms < 600000 && Helpers::isMeasuring; ms += 10) {
    bus.advance(10);
    link->hidRead();
    QCoreApplication::processEvents();
    window.reRangeX();
    // What the window has handed to the file: every sample received but
    // those still held in memory.
    const qint64 received =
      qint64(logger->blocksSent() - logger->queuedReports() - logger->droppedReports()) * perReport;
    const qint64 records = received - tab->maps.at(0)->size();
    if (records * 0.001 >= seconds) {
      // The capture stays open, mid-run, until the process is killed.
      std::printf("ready %lld %s\n", static_cast<long long>(records), QFile::encodeName(path).constData());
      std::fflush(stdout);
      while (std::getchar() != EOF) {
      }
      return 0;
    }
  }
  return 3;
}
