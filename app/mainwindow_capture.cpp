// A logger capture from Start to a complete capture file: the start and stop
// sequences, the sample path and the 10 ms tick that moves old points out of
// memory into the capture file.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "controlpanel.h"
#include "glwidget.h"
#include "helpers.h"
#include "hiddevice.h"
#include "markerbar.h"
#include "navigationbar.h"
#include "overcurrent.h"
#include "packet.h"
#include "plot.h"
#include "popup.h"
#include "progressdialog.h"
#include "swapfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTimer>

#include <cerrno>
#include <memory>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int TickMs = 10;
// Wall-clock time after a start before anything moves to the file.
constexpr qint64 HoldBackMs = 10000;
// Points older than the newest minus this many seconds move to the file.
constexpr double KeptSpan = 10.0 - 0.02;
constexpr quint64 CounterRange = quint64(1) << 24;
// How long a stop waits for the logger's answer, taking the blocks before it.
constexpr int StopAnswerMs = 100;

// A start takes over only the untouched tab made for it: a tab holding a
// capture or a file keeps it, whatever a start before left the window thinking.
bool takesNextCapture(const GLWidget *tab)
{
  return tab && tab->saved && !tab->holdsCapture();
}

MainWindow::Clock &clockSlot()
{
  static MainWindow::Clock clock;
  return clock;
}

} // namespace

void MainWindow::setClock(Clock clock)
{
  clockSlot() = std::move(clock);
}

qint64 MainWindow::now()
{
  const Clock &clock = clockSlot();
  return clock ? clock() : QDateTime::currentMSecsSinceEpoch();
}

void MainWindow::setupCapture()
{
  connect(this, &MainWindow::stopMeasurement, this, &MainWindow::on_stopMeasurement);
  m_tickTimer = new QTimer(this);
  m_tickTimer->setTimerType(Qt::PreciseTimer);
  connect(m_tickTimer, &QTimer::timeout, this, &MainWindow::reRangeX);
  m_tickTimer->start(TickMs);
  setupTimeWindow();
}

GLWidget *MainWindow::captureTab() const
{
  return m_captureTab;
}

QString MainWindow::workingFolder()
{
  // An unusable temporary folder reads as empty: never fall back on the
  // current folder.
  const QString temp = QDir::tempPath();
  if (temp.isEmpty() || !QFileInfo(temp).isDir())
    return QString();
  return QDir(temp).absoluteFilePath(QStringLiteral("tovri-%1").arg(::getuid()));
}

QString MainWindow::createWorkingFile(const QString &tabName)
{
  // A folder only this user can enter: nobody else can predict, replace or
  // read the working files, and one user's captures never clash with another's.
  const QString folder = workingFolder();
  if (folder.isEmpty())
    return QString();
  const QByteArray native = QFile::encodeName(folder);
  if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
    return QString();
  struct stat info {};
  if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() ||
      (info.st_mode & 077) != 0)
    return QString();

  // Never over an existing file: that may be another unsaved capture.
  const QDir dir(folder);
  for (int attempt = 1; attempt < 1000; ++attempt) {
    const QString name = attempt == 1 ? tabName : QStringLiteral("%1 (%2)").arg(tabName).arg(attempt);
    const QString path = dir.absoluteFilePath(name + QStringLiteral(".tmp"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
      file.close();
      return path;
    }
    if (!file.exists())
      return QString(); // not a clash: the folder is unusable
  }
  return QString();
}

void MainWindow::failCapture(const QString &text)
{
  // The logger's answer to the stop that follows must not wipe this out.
  m_keepCaptureError = true;
  showStatusError(text, 0);
  qInfo().noquote() << QStringLiteral("Capture failed: ") + text;
}

void MainWindow::on_startMeasurement(DeviceControl &command)
{
  if (Helpers::isMeasuring) {
    terminateMeasuring();
    // As after any stop: usable again unless the logger asks to stay stopped.
    const bool halted = stopOnError();
    enableControls(!halted);
    enableToolbar(!halted, false);
    return;
  }
  if (qPopulationCount(command.readU16(4)) == 0) {
    showStatusError(tr("At least one channel should be selected."), 0);
    return;
  }
  // The tab a running read walks may be the one a start would take over.
  if (refusedWhileHeld())
    return;

  // The file comes first: a capture that cannot be written must not start,
  // and nothing in the window may change before that is known.
  const bool reuse = m_freshTab && takesNextCapture(currentWidget());
  QString name = reuse ? ui->tabWidget->tabText(ui->tabWidget->currentIndex()) : nextTabName();
  if (name.startsWith(QLatin1Char('*')))
    name.remove(0, 1);
  auto file = std::make_unique<SwapFile>();
  if (!createCaptureFile(file.get(), name, [&command](SwapFile *f) { return f->setHeader(command); }))
    return;

  if (!reuse)
    addTab();
  GLWidget *tab = currentWidget();
  // A reused tab may never have had its channels built.
  if (!reuse || tab->maps.isEmpty())
    tab->addChannels({});
  // A reused tab still has the multipliers it was built with.
  tab->multiplierChanged(1, m_controlPanel->mult1());
  tab->multiplierChanged(2, m_controlPanel->mult2());
  m_freshTab = false;
  delete tab->swapFile;
  tab->swapFile = file.release();
  tab->swapFile->setParent(tab);
  beginCapture(tab, name, command);

  m_controlPanel->enableChannelsGroup(false);
  enableControls(false);
  enableButtons(false);
  m_controlPanel->enableStop(true);
  ui->markerBar->update();
  showIdleReadout();
  qInfo().noquote() << QStringLiteral("Start: ") + command.toString();
  if (sendPacket(command) < 0)
    abandonCapture(tr("The start command could not be sent to the logger: %1").arg(m_device->writeError()));
}

bool MainWindow::createCaptureFile(SwapFile *file, const QString &name,
                                   const std::function<bool(SwapFile *)> &writeHeader)
{
  const QString path = createWorkingFile(name);
  if (!path.isEmpty() && file->create(path) && writeHeader(file))
    return true;
  if (!path.isEmpty())
    QFile::remove(path);
  failCapture(tr("The capture file cannot be created in %1").arg(QDir::toNativeSeparators(workingFolder())));
  return false;
}

void MainWindow::beginCapture(GLWidget *tab, const QString &name, const DeviceControl &control)
{
  m_counterBase = 0;
  m_lastCounter = 0;
  m_uncounted = 0;
  m_firstBlock = true;
  m_stopPosted = false;
  m_blocksUnread = false;
  m_keepCaptureError = false;
  m_unfinishedNote.clear();
  tab->saved = false;
  tab->unfinished = false;
  tab->unwritten.clear();
  tab->report = ReportData();
  ui->tabWidget->setTabText(ui->tabWidget->indexOf(tab), QLatin1Char('*') + name);
  m_captureTab = tab;
  DeviceControl::m_currentDeviceControl = control;
  tab->deviceControl = control;
  Helpers::isMeasuring = true;

  setXRange(0, 10);
  PlotWidget *plot = tab->plot;
  plot->xAxis->secondRowEnabled = true;
  m_startTime = now();
  plot->setInteractions(Plot::Interactions(Plot::iaRangeDrag | Plot::iaRangeZoom));
  plot->axisRect()->setRangeDrag(Qt::Horizontal);
  plot->axisRect()->setRangeZoom(Qt::Horizontal);

  // The strip is bound to the new file before it is cleared: clearing empties
  // the bound file's overview, which must not be another capture's.
  ui->navigationBar->init(tab->swapFile);
  ui->navigationBar->clear();
  ui->navigationBar->disable();
  tab->addTitle();
  m_popUp->hide();
  showIdleReadout();
  OverCurrent::instance()->hideOverCurrent();
  // Nothing may open, save or switch files while the capture runs.
  enableToolbar(false, false);
}

void MainWindow::abandonCapture(const QString &text)
{
  GLWidget *tab = m_captureTab;
  const bool power = m_powerCapture;
  const bool untouched = tab && tab->swapFile && tab->isEmpty() &&
                         QFileInfo(tab->swapFile->file.fileName()).size() <= SwapFile::headerBlockSize;
  if (!untouched) {
    finishCapture(nullptr);
    showStatusError(text, 0);
    return;
  }
  m_powerCapture = false;
  Helpers::isMeasuring = false;
  m_stopPosted = false;
  qInfo().noquote() << QStringLiteral("Capture never began: ") + text;

  // Nothing to keep: the empty working file goes and the tab is as before.
  tab->swapFile->remove();
  delete tab->swapFile;
  tab->swapFile = new SwapFile(tab);
  connect(tab->swapFile, &SwapFile::swapFileError, this, &MainWindow::on_swapFileError);
  tab->saved = true;
  tab->unfinished = false;
  tab->unwritten.clear();
  tab->report = ReportData();
  tab->deviceControl = DeviceControl();
  tab->addTitle();
  const int index = ui->tabWidget->indexOf(tab);
  QString name = ui->tabWidget->tabText(index);
  if (name.startsWith(QLatin1Char('*')))
    name.remove(0, 1);
  ui->tabWidget->setTabText(index, name);
  tab->repaint();

  enableToolbar(true, false);
  if (power) {
    m_popUp->show();
  } else {
    m_freshTab = tab == currentWidget();
    m_controlPanel->enableChannelsGroup(true);
    const bool halted = stopOnError();
    enableControls(!halted);
    enableButtons(!halted);
  }
  showStatusError(text, 0);
}

void MainWindow::on_stopMeasurement(DeviceControl &command)
{
  if (!Helpers::isMeasuring)
    return;
  if (m_powerCapture) {
    const bool sent = sendCommand(QStringLiteral("LOGSTOP\n")) >= 0;
    on_stopPowerMeasurement(QStringLiteral("LOGSTOP\n"));
    // The supply's next frame, which no log takes, brings the stop again.
    if (!sent)
      showStatusError(tr("The stop command could not be sent to the supply: %1").arg(m_device->writeError()), 0);
    return;
  }
  finishCapture(&command);
}

bool MainWindow::sendStop(DeviceControl &command)
{
  int sent = sendPacket(command);
  if (sent < 0)
    sent = sendPacket(command);
  if (sent < 0)
    return false;
  // Blocks the logger sent before it took the stop are in the link or on
  // their way: they belong to the capture.
  if (sent > 0 && m_device) {
    m_stopAnswered = false;
    m_device->receiveUntil([this] { return m_stopAnswered; }, StopAnswerMs);
  }
  return true;
}

void MainWindow::reopenLink()
{
  if (!m_device || !m_stopOwed || Helpers::isMeasuring)
    return;
  qInfo() << "Reopening the link to send the stop";
  m_device->disconnectDevice();
  // The arrival sends the stop that is owed.
  m_device->searchDevice(true);
}

void MainWindow::finishCapture(const DeviceControl *command)
{
  // A report handed over during the stop (a refusal, a removal) cannot end
  // the capture a second time.
  if (m_finishing)
    return;
  m_finishing = true;
  const auto done = qScopeGuard([this] { m_finishing = false; });
  // The capture's own tab, whichever tab is current now.
  GLWidget *tab = m_captureTab;
  // A supply's log keeps no statistics and has no overview strip.
  const bool power = m_powerCapture;
  if (command && !power && !sendStop(const_cast<DeviceControl &>(*command))) {
    // The logger goes on streaming: the link is opened afresh to stop it.
    m_stopOwed = true;
    m_keepCaptureError = true;
    showStatusError(tr("The stop command could not be sent to the logger: %1").arg(m_device->writeError()), 0);
    QMetaObject::invokeMethod(this, &MainWindow::reopenLink, Qt::QueuedConnection);
  } else if (command && power) {
    sendPacket(const_cast<DeviceControl &>(*command));
  }
  m_powerCapture = false;
  Helpers::isMeasuring = false;
  m_stopPosted = false;
  if (!power)
    m_controlPanel->enableChannelsGroup(true);
  if (!tab || !tab->plot)
    return;

  SwapFile *file = tab->swapFile;
  qDebug() << "MainWindow::on_stopMeasurement call append";
  const bool appended = file->append(0, -1, tab->maps, false);
  qDebug() << "MainWindow::on_stopMeasurement append finished";
  const bool ended = appended && file->writeReport(tab->report);
  const bool written = file->stop() && ended;
  tab->unwritten.clear();
  tab->unfinished = !ended;
  if (!appended) {
    // The only copy of these points: kept with the tab until a save writes
    // them after the file's records.
    for (const PlotDataMap *map : std::as_const(tab->maps))
      tab->unwritten.append(map ? *map : PlotDataMap());
  }
  if (!written)
    failCapture(tr("The capture file cannot be written: %1").arg(SwapFile::errorMessage(SwapFile::WriteFailed)));

  // The read-back lets events run: the tab stays until it has returned.
  const TabHold hold(this, tab, readingRefusal());
  auto *dialog = new ProgressDialog(0, 100, tab);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->show();
  QCoreApplication::processEvents();
  if (!hold.closed()) {
    tab->addTitle();
    if (!power)
      file->readFiltered(dialog);
  }
  delete dialog;
  // Closed meanwhile: the capture is in its file, the tab goes with the hold.
  if (hold.closed()) {
    enableToolbar(true, false);
    if (!power) {
      const bool halted = stopOnError();
      enableControls(!halted);
      enableButtons(!halted);
    }
    return;
  }

  // After a failed write the points in memory are the only copy: keep them.
  const int seconds = viewingSeconds(tab);
  if (written) {
    for (PlotDataMap *map : std::as_const(tab->maps))
      map->clear();
    file->readRange(file->duration - seconds * 0.5, seconds, tab->maps);
  }
  const PlotRange range = tab->timeRange();
  PlotAxis *time = tab->plot->xAxis;
  time->setRangeMin(range.lower);
  time->setRangeMax(range.upper);
  time->secondRowEnabled = true;
  tab->plot->setInteractions(Plot::Interactions(Plot::iaRangeDrag | Plot::iaRangeZoom));
  tab->plot->axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
  tab->plot->axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
  // A short capture whose first samples were lost begins after 0: it is
  // shown from its first record, as when it is opened again.
  const double lower = qMax(captureStart(tab), range.upper - seconds);
  const double upper = windowEnd(time, lower, lower + seconds, range.upper);
  if (tab == currentWidget()) {
    setXRange(lower, upper);
    // Overview and markers serve the current tab; a tab change rebinds them.
    ui->navigationBar->init(file);
    ui->navigationBar->enable();
    ui->markerBar->setPlotter(tab);
    reportViewingCap(tab);
  } else {
    time->setRange(lower, upper);
  }
  // The last live fit is up to a redraw older than the points now on show.
  fitLeftAxis(tab);
  tab->repaint();

  enableToolbar(true, false);
  if (power) {
    m_popUp->show();
    return;
  }
  const bool halted = stopOnError();
  enableControls(!halted);
  enableButtons(!halted);
  on_updateCalculator();
}

void MainWindow::addPacket(const MeasureAll &block)
{
  GLWidget *tab = m_captureTab;
  // Blocks behind the one that reached the time limit belong to no capture.
  if (!tab || !Helpers::isMeasuring || m_stopPosted)
    return;
  QMutexLocker locker(&tab->mutex);
  if (tab->maps.isEmpty())
    return;

  const quint64 c = block.counter();
  const int n = block.samplesPerChannel();
  const int divider = tab->deviceControl.readU16(6);
  const int present = qPopulationCount(uint(block.data()[5] & 0x07));
  // A block without samples, or claiming more than the report holds, carries
  // no usable times.
  if (n <= 0 || divider <= 0 || present == 0 || n > MeasureAll::MaxSamples / present)
    return;
  const double p = divider * 0.1;

  if (m_firstBlock) {
    m_startTime = qint64(double(now()) - n * divider * 0.1);
    m_firstBlock = false;
  }
  const double t0 = blockStart(c, n, p, true);
  // A block the logger sent again overwrites the same points; the
  // statistics have counted its samples already.
  const quint64 index0 = m_counterBase + c;
  const quint64 uncounted = m_uncounted;
  m_uncounted = qMax(m_uncounted, index0 + quint64(n));

  const QMap<int, QList<double>> channels = block.decode();
  bool first = true;
  double t = 0;
  int unread = -1;
  for (auto it = channels.constBegin(); it != channels.constEnd(); ++it) {
    const int channel = it.key();
    if (channel >= tab->maps.size() || !tab->maps.at(channel))
      return;
    const QList<double> &values = it.value();
    if (values.isEmpty()) {
      if (unread < 0)
        unread = channel;
      continue;
    }
    PlotDataMap *map = tab->maps.at(channel);
    t = t0;
    quint64 index = index0;
    for (double v : values) {
      PlotData point(t, v);
      map->insert(t, point);
      if (index++ >= uncounted)
        tab->updateReport(channel, point, first);
      t += p / 1000;
      if (channel == 0)
        OverCurrent::instance()->update(v);
    }
    first = false;
  }
  locker.unlock();
  if (unread >= 0)
    reportUnreadBlock(unread);

  if (m_measuringTime != -1 && t >= m_measuringTime)
    postTimeLimitStop();
}

void MainWindow::reportUnreadBlock(int channel)
{
  // Once per capture, and kept through the stop: a capture that records
  // nothing must never look like one that runs.
  if (std::exchange(m_blocksUnread, true))
    return;
  m_keepCaptureError = true;
  showStatusError(tr("Channel #%1 records nothing: the logger has not described it. "
                     "Stop, then unplug and plug the logger back.")
                    .arg(channel),
                  0);
}

void MainWindow::postTimeLimitStop()
{
  // The stop turns the event loop and reads the whole file: never inside the
  // link's emission with the tab locked, and only once.
  if (m_stopPosted)
    return;
  m_stopPosted = true;
  QMetaObject::invokeMethod(
    this,
    [this] {
      if (!m_stopPosted || !Helpers::isMeasuring)
        return;
      // Told before the stop, which may end in an error that replaces it;
      // the logger's answer to the stop leaves it standing.
      showStatusMessage(tr("The capture ended at its measuring time of %1 s.").arg(m_measuringTime), 0);
      m_keepCaptureError = true;
      on_stopButton();
    },
    Qt::QueuedConnection);
}

double MainWindow::blockStart(quint64 c, int n, double periodMs, bool logLost)
{
  const quint64 prev = m_lastCounter;
  quint64 gap = c - prev;
  if (c < prev) {
    if (prev + quint64(n) >= CounterRange) {
      // The 24-bit counter wrapped: the times go on where they were.
      m_counterBase += CounterRange;
      gap = c + CounterRange - prev;
    } else {
      // The device restarted its count.
      m_counterBase += prev + quint64(n);
    }
  }
  const double t0 = double(m_counterBase + c) * periodMs / 1000;
  m_lastCounter = c;
  if (logLost && gap > quint64(n)) {
    const double before = double(prev) * periodMs / 1000;
    qInfo() << "          *** LOST PACKETS " << prev << c << gap / quint64(n) << m_counterBase;
    qInfo() << "          *** LOST TIME    " << before << t0 << t0 - before;
  }
  return t0;
}

void MainWindow::reRangeX()
{
  GLWidget *tab = m_captureTab;
  if (!tab || !tab->plot || !Helpers::isMeasuring)
    return;
  QMutexLocker locker(&tab->mutex);
  const PlotDataMap *newest = nullptr;
  for (const PlotDataMap *map : std::as_const(tab->maps)) {
    if (map && !map->isEmpty()) {
      newest = map;
      break;
    }
  }
  if (!newest || now() - m_startTime <= HoldBackMs)
    return;

  const double last = std::prev(newest->constEnd()).key();
  const double threshold = last - KeptSpan;
  QList<PlotDataMap *> moved;
  moved.reserve(tab->maps.size());
  for (const PlotDataMap *map : std::as_const(tab->maps)) {
    auto *out = new PlotDataMap;
    if (map) {
      for (auto it = map->cbegin(); it != map->cend() && it.key() < threshold; ++it)
        out->insert(it.key(), it.value());
    }
    moved.append(out);
  }

  PlotAxis *time = tab->plot->xAxis;
  const double width = time->range().size();
  time->setRange(last - width, last);

  // Appended here, in step with the tick: the points leave the chart only
  // once they are in the file, so a failed append loses none of them.
  const bool failed = !tab->swapFile->append(0, -1, moved, false);
  qDeleteAll(moved);
  if (!failed) {
    for (PlotDataMap *map : std::as_const(tab->maps)) {
      if (!map)
        continue;
      map->erase(map->constBegin(), std::as_const(*map).lowerBound(threshold));
    }
  }
  locker.unlock();
  if (failed) {
    failCapture(tr("The capture file cannot be written: %1").arg(SwapFile::errorMessage(SwapFile::WriteFailed)));
    on_stopButton();
  }
}
