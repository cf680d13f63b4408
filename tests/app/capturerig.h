#ifndef CAPTURERIG_H
#define CAPTURERIG_H

#include "appfixture.h"
#include "helpers.h"
#include "packet.h"
#include "processstate.h"
#include "reportdata.h"
#include "swapfile.h"

#include <QFile>
#include <QMutex>
#include <QStringList>
#include <QtEndian>

#include <cstring>

namespace CaptureRig {

// The info lines of the capture run, gathered while a test runs.
inline QStringList &lostLines()
{
  static QStringList lines;
  return lines;
}

inline QtMessageHandler &previousHandler()
{
  static QtMessageHandler handler = nullptr;
  return handler;
}

inline void collect(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
  if (text.contains(QLatin1String("*** LOST"))) {
    lostLines().append(text);
    return;
  }
  if (previousHandler())
    previousHandler()(type, context, text);
}

// Bus time in steps of 10 ms, each drained and ticked as the window's
// timers would.
inline void runBus(SimBus &bus, MainWindow &window, qint64 ms)
{
  for (qint64 done = 0; done < ms; done += 10) {
    bus.advance(10);
    HidDevice::m_instance->hidRead();
    QCoreApplication::processEvents();
    window.reRangeX();
  }
}

// A logger on the simulated bus, a window and the bus's time as its clock.
struct Rig
{
  SimBus bus;
  SimLogger *logger;
  std::unique_ptr<MainWindow> window;

  // A negative time chooses the unlimited entry.
  explicit Rig(int measuringSeconds)
  {
    if (measuringSeconds < 0)
      AppFixture::writeSettings({{"Options/time-length-index", MainWindow::MeasuringTimeRows - 2}});
    else
      AppFixture::writeSettings({{"Options/time-length-index", MainWindow::MeasuringTimeRows - 1},
                                 {"Options/serie-length-sec", measuringSeconds}});
    logger = bus.add<SimLogger>();
    MainWindow::setClock([this] { return bus.now(); });
    window = std::make_unique<MainWindow>();
    AppFixture::quietLink();
    AppFixture::pump();
    lostLines().clear();
    previousHandler() = qInstallMessageHandler(collect);
  }
  ~Rig()
  {
    qInstallMessageHandler(previousHandler());
    window.reset();
    MainWindow::setClock({});
  }

  static DeviceControl startCommand(int mask, int divider)
  {
    DeviceControl command;
    command.set(1, uchar(DeviceControl::Start));
    command.writeU16(4, quint16(mask));
    command.writeU16(6, quint16(divider));
    return command;
  }

  void start(int mask = 0x07, int divider = 10)
  {
    DeviceControl command = startCommand(mask, divider);
    window->on_startMeasurement(command);
  }

  void run(qint64 ms) { runBus(bus, *window, ms); }

  bool runUntilStopped(qint64 limitMs)
  {
    for (qint64 done = 0; done < limitMs && Helpers::isMeasuring; done += 10)
      run(10);
    return !Helpers::isMeasuring;
  }
};

// The records of a capture file: time and one value per column.
struct Records
{
  int columns = 0;
  QList<double> times;
  QList<QList<double>> values;
  bool tail = false;
  ReportData report;
};

inline Records readRecords(const QString &path, int columns, bool expectTail)
{
  Records out;
  out.columns = columns;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return out;
  const QByteArray all = file.readAll();
  const qint64 record = 8 * (1 + columns);
  qint64 body = all.size() - SwapFile::headerBlockSize;
  if (expectTail) {
    body -= ReportData::byteSize;
    out.tail = body >= 0;
    if (out.tail)
      out.report = ReportData::fromBytes(reinterpret_cast<const uchar *>(all.constData()) + all.size() -
                                         ReportData::byteSize);
  }
  const qint64 count = body / record;
  auto at = [&](qint64 offset) {
    double v;
    std::memcpy(&v, all.constData() + offset, sizeof v);
    return qFromLittleEndian(v);
  };
  for (qint64 i = 0; i < count; ++i) {
    const qint64 base = SwapFile::headerBlockSize + i * record;
    out.times.append(at(base));
    QList<double> row;
    for (int c = 0; c < columns; ++c)
      row.append(at(base + 8 * (1 + c)));
    out.values.append(row);
  }
  return out;
}

// The value the window stores for raw sample `index` of a channel.
inline double expectedValue(int channel, quint32 index)
{
  MeasureAll block;
  block.set(5, uchar(1 << channel));
  block.set(6, uchar(1));
  block.writeU16(MeasureAll::FirstSample, SimLogger::sample(channel, index));
  return block.decode().value(channel).value(0, qQNaN());
}

} // namespace CaptureRig

#endif // CAPTURERIG_H
