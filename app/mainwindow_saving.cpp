// Saving captures under the user's names, opening saved ones, and the words
// for capture-file errors.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "glwidget.h"
#include "helpers.h"
#include "hiddevice.h"
#include "plot.h"
#include "powerpanel.h"
#include "reportbar.h"
#include "settings.h"
#include "swapfile.h"
#include "waitindicator.h"
#include "navigationbar.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStatusBar>

#include <sys/stat.h>

namespace {

QString saveFolder()
{
  Settings settings;
  return settings.value(QStringLiteral("Main/save-path"), Settings::localDataDir()).toString();
}

void storeSaveFolder(const QString &chosen)
{
  Settings settings;
  settings.setValue(QStringLiteral("Main/save-path"), QFileInfo(chosen).absolutePath());
}

// The header tells what kind of device recorded the capture.
bool holdsSupplyLog(const GLWidget *tab)
{
  const quint8 mode = tab && tab->swapFile ? tab->swapFile->header.mode : quint8(SwapFileHeader::Logger);
  return mode == SwapFileHeader::PowerV1 || mode == SwapFileHeader::PowerV2;
}

QString extensionFor(bool supply)
{
  return supply ? QStringLiteral(".kelvpow") : QStringLiteral(".tovri");
}

QString filterFor(bool supply)
{
  return supply ? QStringLiteral("Kelvaro Power (*.kelvpow )") : QStringLiteral("TOVRI (*.tovri )");
}

// The file `path` leads to, links followed: its device and inode tell
// whether two names show one file.
bool fileIdentity(const QString &path, struct stat *st)
{
  return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), st) == 0;
}

} // namespace

QString MainWindow::captureExtension()
{
  return extensionFor(Helpers::powerMode || Helpers::powerV2Mode);
}

QString MainWindow::captureFilter()
{
  return filterFor(Helpers::powerMode || Helpers::powerV2Mode);
}

QString MainWindow::captureExtension(const GLWidget *tab)
{
  return extensionFor(holdsSupplyLog(tab));
}

QString MainWindow::captureFilter(const GLWidget *tab)
{
  return filterFor(holdsSupplyLog(tab));
}

bool MainWindow::moveCapture(int index, const QString &path, bool replace, QString *error)
{
  auto *tab = qobject_cast<GLWidget *>(ui->tabWidget->widget(index));
  if (!tab) {
    if (error)
      *error = SwapFile::errorMessage(SwapFile::SaveFailed);
    return false;
  }
  // Taken before the move: afterwards the old name leads nowhere.
  const QList<QPointer<GLWidget>> sharers = tabsSharingFile(tab);
  if (!placeCapture(tab, path, replace, error))
    return false;
  followMovedFile(tab, sharers);
  return true;
}

bool MainWindow::placeCapture(GLWidget *tab, const QString &path, bool replace, QString *error)
{
  SwapFile *capture = tab->swapFile;
  if (tab->unfinished) {
    // Its end is still in memory: the saved file gets the records, the
    // points held and the tail, or the save fails and nothing changes.
    QList<PlotDataMap *> held;
    for (PlotDataMap &map : tab->unwritten)
      held.append(&map);
    if (!capture->saveFinished(path, held, tab->report, replace, error))
      return false;
    tab->unfinished = false;
    tab->unwritten.clear();
    // The tab told of the working file's part; now the whole is in a file.
    tab->addTitle();
    if (capture->header.mode == SwapFileHeader::Logger && capture->readFiltered(nullptr) && tab == currentWidget())
      ui->navigationBar->init(capture);
    return true;
  }
  // Saving under the name it already has moves nothing; a file of that
  // name is replaced only once the capture is whole in its place.
  return capture->moveTo(path, replace, error);
}

QList<QPointer<GLWidget>> MainWindow::tabsSharingFile(const GLWidget *tab) const
{
  QList<QPointer<GLWidget>> sharers;
  struct stat own {};
  if (!tab || !tab->swapFile || !fileIdentity(tab->swapFile->file.fileName(), &own))
    return sharers;
  for (int i = 0; i < ui->tabWidget->count(); ++i) {
    auto *other = qobject_cast<GLWidget *>(ui->tabWidget->widget(i));
    struct stat st {};
    if (other && other != tab && other->swapFile && fileIdentity(other->swapFile->file.fileName(), &st) &&
        st.st_dev == own.st_dev && st.st_ino == own.st_ino)
      sharers.append(other);
  }
  return sharers;
}

void MainWindow::followMovedFile(const GLWidget *tab, const QList<QPointer<GLWidget>> &sharers)
{
  const QString path = tab->swapFile->file.fileName();
  for (const QPointer<GLWidget> &other : sharers) {
    // A name that still leads to a file (another name of it, or what a link
    // named) shows that file still.
    if (!other || !other->swapFile || QFileInfo::exists(other->swapFile->file.fileName()))
      continue;
    other->swapFile->close();
    other->swapFile->file.setFileName(path);
    const int index = ui->tabWidget->indexOf(other);
    if (index >= 0)
      ui->tabWidget->setTabText(index, (other->saved ? QString() : QStringLiteral("*")) + QFileInfo(path).baseName());
  }
}

// A save that stands may still have something to tell: the disk did not
// confirm the new name, or the capture is also still under another name.
void MainWindow::showSaved(const QString &note)
{
  if (note.isEmpty())
    showStatusMessage(tr("Saved"), 10000);
  else
    showStatusError(note, 10000);
}

bool MainWindow::refusedWhileSaving()
{
  if (m_saveRunning.isEmpty())
    return false;
  showStatusError(m_saveRunning, 10000);
  return true;
}

bool MainWindow::save(int index)
{
  if (refusedWhileSaving())
    return false;
  auto *tab = qobject_cast<GLWidget *>(ui->tabWidget->widget(index));
  if (!tab)
    return false;
  if (tab == m_readTab) {
    showStatusError(readingRefusal(), 10000);
    return false;
  }
  QString name = ui->tabWidget->tabText(index);
  name.remove(QLatin1Char('*'));
  // The dialog lets events run: a device's arrival waits until the save is
  // done, so the capture cannot go while its name is chosen.
  const QString refusal = tr("Finish saving %1 first.").arg(name);
  const TabHold hold(this, tab, refusal);
  const QScopedValueRollback<QString> running(m_saveRunning, refusal);
  // The capture's own kind: the device served now may be of the other.
  const QString proposal = QDir(saveFolder()).filePath(name + captureExtension(tab));
  const QString path = QFileDialog::getSaveFileName(this, tr("Save file"), proposal, captureFilter(tab));
  if (path.isEmpty())
    return false;
  storeSaveFolder(path);
  if (hold.closed()) {
    showStatusError(tr("%1 was not saved: its tab was closed meanwhile.").arg(name), 10000);
    return false;
  }

  QString error;
  bool ok;
  {
    const WaitIndicator wait;
    ok = moveCapture(ui->tabWidget->indexOf(tab), path, true, &error);
  }
  if (!ok) {
    showStatusError(tr("Couldn't save file: %1").arg(error), 5000);
    return false;
  }
  showSaved(error);
  ui->tabWidget->setTabText(ui->tabWidget->indexOf(tab), QFileInfo(path).baseName());
  tab->saved = true;
  return true;
}

void MainWindow::on_actionSave()
{
  save(ui->tabWidget->currentIndex());
}

bool MainWindow::saveAll()
{
  if (refusedWhileSaving())
    return false;
  const QString folder = saveFolder();
  // By tab, not by index: each dialog lets events run.
  QList<QPointer<GLWidget>> unsaved;
  for (int i = 0; i < ui->tabWidget->count(); ++i) {
    auto *tab = qobject_cast<GLWidget *>(ui->tabWidget->widget(i));
    if (tab && !tab->saved)
      unsaved.append(tab);
  }
  bool allSaved = true;
  for (const QPointer<GLWidget> &tab : std::as_const(unsaved)) {
    const int index = ui->tabWidget->indexOf(tab);
    if (!tab || index < 0) {
      allSaved = false;
      continue;
    }
    QString name = ui->tabWidget->tabText(index);
    name.remove(QLatin1Char('*'));
    const QString refusal = tr("Finish saving %1 first.").arg(name);
    const TabHold hold(this, tab, refusal);
    const QScopedValueRollback<QString> running(m_saveRunning, refusal);
    const QString proposal = QDir(folder).filePath(name + captureExtension(tab));
    const QString path = QFileDialog::getSaveFileName(this, tr("Save file"), proposal, captureFilter(tab));
    if (path.isEmpty() || hold.closed()) {
      allSaved = false;
      continue;
    }
    storeSaveFolder(path);
    bool ok;
    QString error;
    {
      const WaitIndicator wait;
      // No replacing here: a name in use fails.
      ok = moveCapture(ui->tabWidget->indexOf(tab), path, false, &error);
    }
    qDebug() << (ok ? "Save SUCCEEDED" : "Save FAILED");
    if (!ok)
      showStatusError(tr("Couldn't save file: %1").arg(error), 5000);
    if (ok) {
      // Without the flag the tab's end would remove the file just saved.
      ui->tabWidget->setTabText(ui->tabWidget->indexOf(tab), QFileInfo(path).baseName());
      tab->saved = true;
    } else {
      allSaved = false;
    }
  }
  return allSaved;
}

QString MainWindow::unsavedQuestion() const
{
  return tr("Not all measurements are saved. Do you want to save them?");
}

bool MainWindow::resolveUnsaved(const QList<int> &indexes, bool cancellable)
{
  QList<GLWidget *> unsaved;
  for (int i : indexes) {
    auto *tab = qobject_cast<GLWidget *>(ui->tabWidget->widget(i));
    if (tab && !tab->saved)
      unsaved.append(tab);
  }
  if (unsaved.isEmpty())
    return true;
  // The tabs stay, and keep their places, until the question and its saves are done.
  const auto holds = holdAllTabs(tr("Answer the question about saving the captures first."));
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (cancellable)
    buttons |= QMessageBox::Cancel;
  const int answer = Helpers::warning(this, tr("Save"), unsavedQuestion(), buttons, QMessageBox::Yes);
  if (answer == QMessageBox::No)
    return true;
  if (answer != QMessageBox::Yes)
    return !cancellable;
  bool allSaved = true;
  for (GLWidget *tab : std::as_const(unsaved)) {
    // Without Cancel every tab goes after this: a capture the user asked to
    // keep goes only on a No to the question that names it.
    while (!save(ui->tabWidget->indexOf(tab))) {
      if (cancellable || ui->tabWidget->indexOf(tab) < 0 || !askSaveAgain(tab)) {
        allSaved = false;
        break;
      }
    }
  }
  // A capture the user meant to keep but could not save keeps every tab,
  // where the caller can keep them.
  return allSaved || !cancellable;
}

bool MainWindow::askSaveAgain(GLWidget *tab)
{
  const QString name = ui->tabWidget->tabText(ui->tabWidget->indexOf(tab)).remove(QLatin1Char('*'));
  return Helpers::warning(this, tr("Save"), tr("%1 was not saved. Do you want to save it?").arg(name),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void MainWindow::on_swapFileError(int code)
{
  const QString message = SwapFile::errorMessage(code);
  qDebug().noquote() << QStringLiteral("on_swapFileError ") + message;
  showStatusError(message, 5000);
}

// ---- opening ----------------------------------------------------------------

void MainWindow::on_actionLoad()
{
  // Refused before a file is asked for, not after the user has picked one.
  if (refusedWhileHeld())
    return;
  Settings settings;
  const QString folder = settings.value(QStringLiteral("Main/load-path"), Settings::localDataDir()).toString();
  const bool deviceOpen = HidDevice::m_instance && HidDevice::m_instance->isOpen();
  QString filter = deviceOpen || ui->tabWidget->count() > 0
                     ? captureFilter()
                     : QStringLiteral("TOVRI (*.tovri );;Kelvaro Power (*.kelvpow )");
  // A capture that a crash or a kill left in its working file opens as any.
  filter += QStringLiteral(";;") + tr("Unfinished captures (*.tmp)");
  const QString path = QFileDialog::getOpenFileName(this, tr("Open file"), folder, filter);
  if (path.isEmpty())
    return;
  m_unfinishedNote.clear();
  settings.setValue(QStringLiteral("Main/load-path"), QFileInfo(path).absolutePath());
  loadFile(path);
}

void MainWindow::tellUnfinishedCaptures()
{
  const QString folder = workingFolder();
  if (folder.isEmpty())
    return;
  const QStringList found = QDir(folder).entryList({QStringLiteral("*.tmp")}, QDir::Files, QDir::Time);
  if (found.isEmpty())
    return;
  const QString text =
    found.size() == 1
      ? tr("An unfinished capture was found: %1. Open it to review or save it.")
          .arg(QDir::toNativeSeparators(QDir(folder).absoluteFilePath(found.first())))
      : tr("Unfinished captures were found in %1 (%2 files). Open them to review or save them.")
          .arg(QDir::toNativeSeparators(folder))
          .arg(found.size());
  qInfo().noquote() << text;
  m_unfinishedNote = text;
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString &shown) {
    if (shown.isEmpty() && !m_unfinishedNote.isEmpty())
      showStatusMessage(m_unfinishedNote, 0);
  });
  showStatusMessage(text, 0);
}

bool MainWindow::loadFile(const QString &path)
{
  // One read at a time: the one running owns its tab and the mode.
  if (refusedWhileHeld())
    return false;
  const QString base = QFileInfo(path).baseName();
  const SwapFileHeader header = SwapFile::readHeader(path);
  // The header decides how many channels are read and where from: a file
  // whose header does not fit its size gets no tab at all.
  if (header.mode == SwapFileHeader::Unreadable ||
      SwapFile::checkHeader(header, QFileInfo(path).size()) != SwapFile::NoError) {
    Helpers::error(this, tr("Open file"), tr("The file is corrupted or in the wrong format"), QMessageBox::Ok);
    return false;
  }

  addTab();
  GLWidget *tab = currentWidget();
  const TabHold hold(this, tab, readingRefusal());
  tab->setCursor(Qt::WaitCursor);
  // Both flags follow the file, so a flag left by an earlier file of the
  // other kind does not make the tab's channels.
  Helpers::powerMode = header.mode == SwapFileHeader::PowerV1;
  Helpers::powerV2Mode = header.mode == SwapFileHeader::PowerV2;
  const bool servesV1 = Helpers::powerV2Mode && supplyConnected() && !m_device->bootMode();
  if (header.mode == SwapFileHeader::Logger) {
    tab->addChannels({});
    setTovriMode();
  } else if (servesV1) {
    // The supply on the link stays served as the model it is: a second
    // model's file gets its descriptions for its own tab only.
    Helpers::powerMode = true;
    Helpers::powerV2Mode = false;
    setPowerMode();
    Helpers::powerMode = false;
    Helpers::powerV2Mode = true;
    createDefaultsPower();
    tab->addChannels(header.channels());
    adjustAxisName(header.channels(), header.fahrenheit == 1);
  } else {
    if (Helpers::powerV2Mode)
      setPowerV2Mode();
    else
      setPowerMode();
    tab->addChannels(header.channels());
    adjustAxisName(header.channels(), header.fahrenheit == 1);
  }

  ui->navigationBar->disable();
  bool ok;
  {
    // A save of this tab now would move the file from under its reader.
    const QScopedValueRollback<const QWidget *> reading(m_readTab, tab);
    ok = tab->swapFile->read(path, viewingSeconds(header.divider), tab->maps, nullptr);
  }
  if (servesV1) {
    // The read marks the window with the file's model; the supply's stays.
    Helpers::powerMode = true;
    Helpers::powerV2Mode = false;
    createDefaultsPower();
  }
  // The read lets events run; the tab may have been closed meanwhile (it
  // goes with the hold).
  if (hold.closed()) {
    ui->navigationBar->enable();
    enableToolbar(true, false);
    showStatusError(tr("The file was not opened: its tab was closed while it was read."), 10000);
    return false;
  }
  const bool cancelled = !ok && tab->swapFile->terminated;
  // A capture that ended before its first sample reached the file (a header,
  // perhaps a tail) has nothing to show.
  const bool empty = ok && tab->isEmpty();
  ok = ok && !empty;
  tab->unsetCursor();
  if (ok && m_powerPanel && !servesV1)
    m_powerPanel->updateControls(header);
  ui->navigationBar->enable();

  if (tab->plot)
    tab->plot->xAxis->secondRowEnabled = true;
  if (!ok) {
    dropFailedRead(tab);
    enableToolbar(true, false);
    if (cancelled)
      showStatusMessage(tr("The file was not opened: its read was cancelled."), 10000);
    if (empty)
      Helpers::error(this, tr("Open file"), tr("The file holds no samples"), QMessageBox::Ok);
    return false;
  }
  showOpenedCapture(tab, base);
  return true;
}

void MainWindow::dropFailedRead(GLWidget *tab)
{
  if (ui->tabWidget->count() > 1) {
    // At once, and only this tab: nothing else may have to end with it.
    ui->tabWidget->removeTab(ui->tabWidget->indexOf(tab));
    disposeTab(tab);
    return;
  }
  // The only tab stays, without anything of the file: no Save may move it.
  tab->reset();
  SwapFile *read = tab->swapFile;
  tab->swapFile = new SwapFile(tab);
  connect(tab->swapFile, &SwapFile::swapFileError, this, &MainWindow::on_swapFileError);
  delete read;
  tab->repaint();
  describeShownTab();
}

void MainWindow::showOpenedCapture(GLWidget *tab, const QString &base)
{
  ui->tabWidget->setTabText(ui->tabWidget->indexOf(tab), base);
  setWindowTitle(linkTitle(windowTitle(), base));
  m_freshTab = false;
  showStatusMessage(tr("Loaded"), 10000);
  reportViewingCap(tab);
  // A damaged or unfinished file opens like a sound one: say what was taken.
  const SwapFile::Recovery &recovery = tab->swapFile->recovery;
  if (recovery.recovered)
    showStatusError(tr("Loaded a damaged or unfinished capture: %1 records kept, %2 bytes dropped")
                      .arg(recovery.records)
                      .arg(recovery.droppedBytes),
                    0);
  m_startTime = now();
  // The first ten seconds on show, the time axis held to the points loaded
  // and the value axes fitted as a double-click on a graph fits them (each
  // fit redraws the chart, so once is enough). The read let events run:
  // another tab may be on show now, and keeps its own window.
  adjustRanges(tab, 5, 10);
  if (PlotWidget *plot = tab->plot) {
    plot->setInteractions(Plot::Interactions(Plot::iaRangeDrag | Plot::iaRangeZoom));
    plot->axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    plot->axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
  }
  tab->report = tab->swapFile->readReport();
  tab->addTitle();
  // The markers were placed before the chart had its size: they now mark
  // the times under them on the chart drawn.
  describeShownTab();
  showIdleReadout();
  enableToolbar(true, false);
  on_updateCalculator();
}
