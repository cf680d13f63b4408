// The capture-file reads and saves as the main window and the navigation
// strip call them: a progress window or the busy cursor around the
// window-free ones.
#include "swapfile.h"

#include "helpers.h"
#include "progressdialog.h"
#include "swapfileprogress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <memory>

namespace {

// The busy cursor for the reads that block the GUI thread.
class BusyCursor
{
public:
  BusyCursor() : m_on(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
  {
    if (m_on)
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~BusyCursor()
  {
    if (m_on)
      QGuiApplication::restoreOverrideCursor();
  }
  BusyCursor(const BusyCursor &) = delete;
  BusyCursor &operator=(const BusyCursor &) = delete;

private:
  bool m_on;
};

// Drives a ProgressDialog. A click on its Close button reaches the file
// through whatever the caller connected to canceled() (terminate()): here
// pending events only run, at the first question and then every 50 ms, often
// enough for the bar and the button, rarely enough to cost nothing next to
// the walk. The bar, which repaints at once, moves as often.
class DialogProgress : public SwapFileProgress
{
public:
  // A Close stays with this window's operation: a read that the events let
  // run meanwhile neither clears it nor takes it.
  explicit DialogProgress(ProgressDialog *dialog)
      : m_dialog(dialog),
        m_closeSeen(QObject::connect(dialog, &ProgressDialog::canceled, dialog, [this] { m_closed = true; }))
  {
  }
  // The caller's window can outlive this operation.
  ~DialogProgress() override { QObject::disconnect(m_closeSeen); }
  DialogProgress(const DialogProgress &) = delete;
  DialogProgress &operator=(const DialogProgress &) = delete;

  void setInfo(const QString &text) override { m_dialog->setInfo(text); }
  void setValue(int percent) override
  {
    m_percent = percent;
    if (!m_sinceBar.isValid() || m_sinceBar.elapsed() >= 50)
      showValue();
  }
  bool cancelled() override
  {
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= 50) {
      showValue();
      QCoreApplication::processEvents();
      m_sinceEvents.start();
    }
    return m_closed;
  }

private:
  void showValue()
  {
    if (m_percent != m_dialog->value())
      m_dialog->setValue(m_percent);
    m_sinceBar.start();
  }

  ProgressDialog *m_dialog;
  QMetaObject::Connection m_closeSeen;
  int m_percent = 0;
  QElapsedTimer m_sinceBar;
  QElapsedTimer m_sinceEvents;
  bool m_closed = false;
};

// The window of a file load, shown window-modal; Close cancels the load.
class LoadWindow
{
public:
  explicit LoadWindow(SwapFile *file) : m_dialog(0, 100), m_progress(&m_dialog)
  {
    QObject::connect(&m_dialog, &ProgressDialog::canceled, file, [file] {
      qDebug() << "on_actionLoad canceled";
      file->terminate();
    });
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.show();
    QCoreApplication::processEvents();
  }
  ~LoadWindow() { m_dialog.hide(); }
  SwapFileProgress *progress() { return &m_progress; }

private:
  ProgressDialog m_dialog;
  DialogProgress m_progress;
};

// The window of a save's copy, shown only once a copy begins: a save by
// rename takes no time to show. Close stops the copy; the capture then
// stays where it is.
class SaveWindow : public SwapFileProgress
{
public:
  explicit SaveWindow(SwapFile *file) : m_file(file) {}
  ~SaveWindow() override
  {
    if (m_dialog)
      m_dialog->hide();
  }

  void setInfo(const QString &text) override
  {
    if (!m_dialog && qobject_cast<QApplication *>(QCoreApplication::instance())) {
      m_dialog = std::make_unique<ProgressDialog>(0, 100);
      QObject::connect(m_dialog.get(), &ProgressDialog::canceled, m_file, [file = m_file] {
        qDebug() << "save canceled";
        file->terminate();
      });
      m_progress = std::make_unique<DialogProgress>(m_dialog.get());
      m_dialog->setWindowModality(Qt::WindowModal);
      m_dialog->show();
      QCoreApplication::processEvents();
    }
    if (m_progress)
      m_progress->setInfo(text);
  }
  void setValue(int percent) override
  {
    if (m_progress)
      m_progress->setValue(percent);
  }
  bool cancelled() override { return m_progress && m_progress->cancelled(); }

private:
  SwapFile *m_file;
  std::unique_ptr<ProgressDialog> m_dialog;
  std::unique_ptr<DialogProgress> m_progress;
};

} // namespace

bool SwapFile::moveTo(const QString &path, bool replace, QString *why)
{
  SaveWindow window(this);
  return placeCapture(path, replace, why, &window);
}

bool SwapFile::saveFinished(const QString &path, const QList<PlotDataMap *> &maps, const ReportData &report,
                            bool replace, QString *why)
{
  SaveWindow window(this);
  return placeFinished(path, maps, report, replace, why, &window);
}

bool SwapFile::read(const QString &path, int seconds, const QList<PlotDataMap *> &maps, ProgressDialog *)
{
  LoadWindow window(this);
  return loadCapture(path, seconds, maps, window.progress());
}

bool SwapFile::readPower(const QString &path, int seconds, const QList<PlotDataMap *> &maps, ProgressDialog *)
{
  LoadWindow window(this);
  return loadPowerCapture(path, seconds, maps, window.progress());
}

bool SwapFile::readPowerV2(const QString &path, int seconds, const QList<PlotDataMap *> &maps,
                           ProgressDialog *dialog)
{
  return readPower(path, seconds, maps, dialog);
}

bool SwapFile::readFiltered(const QString &path, int channel, int column, double threshold, ProgressDialog *dialog)
{
  if (!dialog)
    return scan(path, channel, column, threshold, nullptr);
  DialogProgress progress(dialog);
  return scan(path, channel, column, threshold, &progress);
}

bool SwapFile::readFiltered(ProgressDialog *dialog)
{
  if (activeChannels.isEmpty()) {
    emit swapFileError(WrongChannels);
    return false;
  }
  const int channel = activeChannels.first();
  return readFiltered(file.fileName(), channel, 0, thresholdOf(channel), dialog);
}

bool SwapFile::readRange(double centre, double span, const QList<PlotDataMap *> &maps)
{
  if (Helpers::powerMode || Helpers::powerV2Mode)
    return readRangePower(centre, span, maps);
  BusyCursor busy;
  return loadWindow(centre, span, maps, false);
}

bool SwapFile::readRangePower(double centre, double span, const QList<PlotDataMap *> &maps)
{
  BusyCursor busy;
  return loadWindow(centre, span, maps, true);
}

double SwapFile::getAverage(const PlotRange &window, int channel)
{
  BusyCursor busy;
  return average(window, channel);
}

// Recovering the statistics of a capture without its tail walks the whole file.
ReportData SwapFile::readReport()
{
  BusyCursor busy;
  return report();
}
