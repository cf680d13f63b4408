#ifndef UPDATEDIALOG_H
#define UPDATEDIALOG_H

#include <QDialog>
#include <QPointer>
#include <QString>

class Downloader;
class QIODevice;

namespace Ui {
class UpdateDialog;
}

// The modal window that writes new firmware into the connected instrument
// or power supply, from a local file or from the file the update server
// names. An image is written only after it passed the firmware-image
// check; while the device is being written the window cannot be closed.
class UpdateDialog : public QDialog
{
  Q_OBJECT
public:
  // Firmware from the downloader's link; the download starts at once.
  UpdateDialog(Downloader *downloader, bool hideUpdateButton, QWidget *parent = nullptr);
  // Firmware from a local file, checked 100 ms after construction so that
  // the caller's exec() has shown the window.
  UpdateDialog(QString path, bool hideUpdateButton, QWidget *parent = nullptr);
  ~UpdateDialog() override;

  void setStatusText(const QString &text);
  void showError(const QString &text);
  QString statusText() const;
  // Writes the payload (the device positioned behind the header) into the
  // device through the link; true when the device confirmed it. Runs once
  // per dialog.
  bool applyUpdate(QIODevice *device);
  void updateFromFile();
  void connectHID();
  void disconnectHID();

public slots:
  void on_updateBtn_clicked();
  void on_cancelBtn_clicked();
  void on_percentChanged(int percent);
  void on_updateAccepted();
  void on_percentDownloadChanged(qint64 percent, qint64 total);
  void on_downloadFileComplete();
  void on_UpdateComplete();
  void on_UpdateFailed(QString err);
  // Escape and the close box: the download is cancelled, the wait for the
  // bootloader ended; the writing itself runs to its end.
  void reject() override;

signals:
  void updateFirmware();
  void updateFirmwareTerminated();

private:
  enum Stage { Ready, Downloading, WaitingForBootloader, Writing, Finished };
  void build(bool hideUpdateButton);
  void stopDownload();

  Ui::UpdateDialog *ui;
  // The updater owns it and may go first.
  QPointer<Downloader> m_downloader;
  QString m_path;
  Stage m_stage = Ready;
  bool m_closeRequested = false;
  bool m_outcomeShown = false;
};

#endif // UPDATEDIALOG_H
