#ifndef SAVINGFIXTURE_H
#define SAVINGFIXTURE_H

#include "appfixture.h"
#include "glwidget.h"
#include "helpers.h"
#include "swapfile.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>

#include <functional>

namespace AppFixture {

// Answers the modal windows that come up, in order: a QMessageBox gets the
// next button, a QFileDialog the next path (an empty one cancels it). The
// proposals the file dialogs made are recorded.
class DialogScript : public QObject
{
public:
  struct Answer
  {
    QMessageBox::StandardButton button = QMessageBox::NoButton;
    QString path;
  };
  static Answer box(QMessageBox::StandardButton button) { return {button, {}}; }
  static Answer file(const QString &path) { return {QMessageBox::NoButton, path}; }

  explicit DialogScript(QList<Answer> answers) : m_answers(std::move(answers))
  {
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &DialogScript::poll);
    m_timer.start();
  }

  QStringList proposals;
  // The window titles of every box and file dialog answered, in order.
  QStringList titles;
  QStringList boxTexts;
  QStringList filters;
  bool done() const { return m_answers.isEmpty(); }
  // Modal windows that came up with no answer left.
  int unexpected = 0;
  // Runs as each question or file dialog comes up, before it is answered.
  std::function<void()> onModal;

private:
  void poll()
  {
    QWidget *modal = QApplication::activeModalWidget();
    // Progress windows come and go by themselves; only questions are answered.
    if (!modal || m_handled.contains(modal) ||
        (!qobject_cast<QMessageBox *>(modal) && !qobject_cast<QFileDialog *>(modal)))
      return;
    m_handled.append(modal);
    if (onModal)
      onModal();
    if (m_answers.isEmpty()) {
      ++unexpected;
      QTimer::singleShot(0, modal, [modal] { static_cast<QDialog *>(modal)->reject(); });
      return;
    }
    const Answer answer = m_answers.takeFirst();
    titles.append(modal->windowTitle());
    // Answered from a fresh event turn: the window's own exec() must be running.
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
      boxTexts.append(box->text());
      QTimer::singleShot(0, box, [box, answer] {
        if (QAbstractButton *b = box->button(answer.button))
          b->click();
        else
          box->reject();
      });
    } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
      const QStringList selected = dialog->selectedFiles();
      proposals.append(selected.isEmpty() ? QString() : selected.first());
      filters.append(dialog->nameFilters().join(QLatin1Char(';')));
      QTimer::singleShot(0, dialog, [dialog, answer] {
        if (answer.path.isEmpty()) {
          dialog->reject();
        } else {
          // Typed as the user would: the dialog takes a full path in its name box.
          if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(answer.path);
          else
            dialog->selectFile(answer.path);
          static_cast<QDialog *>(dialog)->accept();
        }
      });
    }
  }

  QList<Answer> m_answers;
  QList<QPointer<QWidget>> m_handled;
  QTimer m_timer;
};

// Logger value of channel c at sample i, as addUnsavedCapture writes it.
inline double loggerValue(int channel, qint64 index)
{
  return channel * 1000.0 + double(index % 977) * 0.5;
}

// Gives a new tab of the window an unsaved logger capture in its working
// file in the temporary folder, as a finished run leaves it.
inline GLWidget *addUnsavedCapture(MainWindow &window, qint64 samples = 200)
{
  window.addTab();
  GLWidget *tab = window.currentWidget();
  const int index = window.tabWidget()->currentIndex();
  const QString name = window.tabWidget()->tabText(index);
  tab->saved = false;
  tab->addChannels({});
  const QString working = QDir(QDir::tempPath()).filePath(name + QStringLiteral(".tmp"));
  if (!tab->swapFile->create(working) || !tab->swapFile->setLoggerHeader(7, 1))
    return nullptr;
  tab->addTitle();
  for (qint64 i = 0; i < samples; ++i) {
    for (int c = 0; c < 3; ++c) {
      PlotData point(i * 0.001, loggerValue(c, i));
      tab->maps[c]->insert(point.key, point);
      tab->updateReport(c, point, c == 0);
    }
  }
  if (!tab->swapFile->append(0, 0, tab->maps, false) || !tab->swapFile->writeReport(tab->report) ||
      !tab->swapFile->stop())
    return nullptr;
  window.tabWidget()->setTabText(index, QStringLiteral("*") + name);
  return tab;
}

// A finished supply capture of `records` records on `channels` through the
// capture file's own writer; the k-th listed channel holds value(k, record),
// by default the channel's number plus a quarter per record.
inline QString writeSupplyCapture(const QString &path, bool v2, const QList<int> &channels, int records,
                                  const std::function<double(int, int)> &value = {})
{
  const bool wasV1 = Helpers::powerMode, wasV2 = Helpers::powerV2Mode;
  Helpers::powerMode = !v2;
  Helpers::powerV2Mode = v2;
  SwapFile writer;
  unsigned int mask = 0;
  for (int c : channels)
    mask |= 1u << c;
  QList<PlotDataMap *> maps;
  for (int i = 0; i < channels.size(); ++i) {
    maps << new PlotDataMap;
    for (int r = 0; r < records; ++r)
      maps[i]->insert(r * 0.1, PlotData(r * 0.1, value ? value(i, r) : channels[i] + r * 0.25));
  }
  const bool ok = writer.create(path) && writer.setHeader(channels.size(), mask, false, 1000, false) &&
                  writer.appendPower(0, -1, maps, false) && writer.stop();
  qDeleteAll(maps);
  Helpers::powerMode = wasV1;
  Helpers::powerV2Mode = wasV2;
  return ok ? path : QString();
}

// A logger capture of `records` instants on channels #0..#2 every 10 ms
// (channel c reads c * 100 + k at instant k), finished with its tail or,
// when `finished` is false, left as a killed capture leaves it; the path,
// or an empty string when it could not be written.
inline QString writeLoggerCapture(const QString &path, int records, bool finished)
{
  SwapFile writer;
  QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
  for (int k = 0; k < records; ++k)
    for (int c = 0; c < 3; ++c)
      maps[c]->insert(k * 0.01, PlotData(k * 0.01, c * 100.0 + k));
  bool ok = writer.create(path) && writer.setLoggerHeader(7, 100) && writer.append(0, -1, maps, true);
  if (finished)
    ok = ok && writer.stop();
  writer.close();
  return ok ? path : QString();
}

inline QByteArray fileBytes(const QString &path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A temporary folder the Save dialog opens in, set before any window is made.
struct SaveFolder
{
  SaveFolder() { writeSettings({{QStringLiteral("Main/save-path"), dir.path()}}); }
  QTemporaryDir dir;
};

// A window whose new tab holds an unsaved capture as addUnsavedCapture()
// leaves it, saved from a folder of its own; `tab` is null where the
// capture could not be written.
struct UnsavedCaptureWindow : SaveFolder
{
  MainWindow window;
  GLWidget *tab = addUnsavedCapture(window);
  int index = window.tabWidget()->currentIndex();
  QString working = tab ? tab->swapFile->file.fileName() : QString();
  QByteArray capture = fileBytes(working);
};

} // namespace AppFixture

#endif // SAVINGFIXTURE_H
