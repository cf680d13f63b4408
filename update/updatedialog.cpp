#include "updatedialog.h"

#include "downloader.h"
#include "firmwareimage.h"
#include "helpers.h"
#include "hiddevice.h"
#include "ui_updatedialog.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

UpdateDialog::UpdateDialog(Downloader *downloader, bool hideUpdateButton, QWidget *parent)
  : QDialog(parent)
  , ui(new Ui::UpdateDialog)
  , m_downloader(downloader)
{
  build(hideUpdateButton);
  if (!m_downloader) {
    showError(tr("No firmware download is available."));
    return;
  }
  connect(m_downloader, &Downloader::downloadFileComplete, this, &UpdateDialog::on_downloadFileComplete);
  connect(m_downloader, &Downloader::progress, this, &UpdateDialog::on_percentDownloadChanged);
  setStatusText(tr("Downloading, please wait..."));
  m_stage = Downloading;
  if (m_downloader->startDownloadFw() != 0) {
    // The downloader is still busy with a check: nothing was started.
    stopDownload();
    showError(tr("The update server is still answering a check. Please try again in a moment."));
  }
}

UpdateDialog::UpdateDialog(QString path, bool hideUpdateButton, QWidget *parent)
  : QDialog(parent)
  , ui(new Ui::UpdateDialog)
  , m_path(std::move(path))
{
  build(hideUpdateButton);
  setStatusText(QString());
  QTimer::singleShot(100, this, &UpdateDialog::updateFromFile);
}

UpdateDialog::~UpdateDialog()
{
  // A download left running must never reach a later dialog's flashing.
  if (m_stage == Downloading && m_downloader) {
    Downloader *downloader = m_downloader;
    stopDownload();
    downloader->cancel();
  }
  disconnectHID();
  delete ui;
}

void UpdateDialog::build(bool hideUpdateButton)
{
  ui->setupUi(this);
  ui->progressBar->show();
  ui->statusLabel->show();
  if (hideUpdateButton)
    ui->updateBtn->hide();
}

void UpdateDialog::setStatusText(const QString &text)
{
  ui->statusLabel->setText(text);
}

void UpdateDialog::showError(const QString &text)
{
  ui->statusLabel->setStyleSheet(QStringLiteral("color: #ff8888"));
  ui->statusLabel->setText(text);
}

QString UpdateDialog::statusText() const
{
  return ui->statusLabel->text();
}

void UpdateDialog::stopDownload()
{
  if (m_downloader)
    m_downloader->disconnect(this);
  m_stage = Ready;
}

void UpdateDialog::updateFromFile()
{
  if (m_stage != Ready || m_path.isEmpty())
    return;
  // Regular files only: a device or a pipe could feed anything, or never end.
  const QFileInfo info(m_path);
  QFile file(m_path);
  if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
    showError(tr("Can't read firmware file"));
    return;
  }
  if (file.size() > Downloader::MaxFirmwareSize) {
    showError(FirmwareImage::text(FirmwareImage::TooLarge));
    return;
  }
  // Read and checked whole before the device is touched.
  QByteArray image = file.read(Downloader::MaxFirmwareSize + 1);
  const bool readFailed = file.error() != QFileDevice::NoError;
  file.close();
  if (readFailed) {
    showError(tr("Can't read firmware file"));
    return;
  }
  const FirmwareImage::Problem problem =
    FirmwareImage::check(image, FirmwareImage::connectedMagic(), Downloader::MaxFirmwareSize);
  if (problem == FirmwareImage::WrongModel) {
    QMessageBox box(QMessageBox::Warning, tr("Warning"), tr("Firmware file has wrong format"), QMessageBox::Ok);
    box.exec();
    return;
  }
  if (problem != FirmwareImage::None) {
    showError(FirmwareImage::text(problem));
    return;
  }
  QBuffer buffer(&image);
  buffer.open(QIODevice::ReadOnly);
  buffer.seek(FirmwareImage::HeaderSize);
  applyUpdate(&buffer);
}

void UpdateDialog::on_downloadFileComplete()
{
  // Only the first completion of the download started here counts.
  if (m_stage != Downloading)
    return;
  stopDownload();
  if (!m_downloader) {
    showError(tr("No firmware download is available."));
    return;
  }
  if (!m_downloader->error().isEmpty()) {
    showError(m_downloader->error());
    return;
  }
  QByteArray image = m_downloader->file();
  FirmwareImage::Problem problem =
    FirmwareImage::check(image, FirmwareImage::connectedMagic(), Downloader::MaxFirmwareSize);
  if (problem == FirmwareImage::WrongModel && Downloader::isHTML(image)) {
    showError(tr("Server does not have firmware file."));
    return;
  }
  if (problem != FirmwareImage::None) {
    showError(FirmwareImage::text(problem));
    return;
  }
  QBuffer buffer(&image);
  if (!buffer.open(QIODevice::ReadOnly)) {
    showError(tr("Can't read buffer"));
    return;
  }
  buffer.seek(FirmwareImage::HeaderSize);
  applyUpdate(&buffer);
}

bool UpdateDialog::applyUpdate(QIODevice *device)
{
  if (m_stage == WaitingForBootloader || m_stage == Writing || m_stage == Finished)
    return false;
  setStatusText(tr("Updating, please wait..."));
  ui->progressBar->setRange(0, 100);
  ui->progressBar->setValue(0);
  ui->updateBtn->setEnabled(false);
  m_stage = WaitingForBootloader;
  m_outcomeShown = false;

  // The link picks its reset message by the window's mode flags, which an
  // opened capture file may have set for another model than the connected one.
  const bool powerMode = Helpers::powerMode;
  const bool powerV2Mode = Helpers::powerV2Mode;
  if (const quint32 magic = FirmwareImage::connectedMagic()) {
    Helpers::powerMode = magic != FirmwareImage::LoggerMagic;
    Helpers::powerV2Mode = false;
  }
  Helpers::isUpdating = true;
  HidDevice *link = HidDevice::instance();
  link->stop();
  connectHID();
  const bool done = link->update(device);
  Helpers::isUpdating = false;
  Helpers::powerMode = powerMode;
  Helpers::powerV2Mode = powerV2Mode;
  disconnectHID();

  m_stage = Finished;
  ui->cancelBtn->setEnabled(true);
  if (!m_outcomeShown) {
    showError(tr("Update cancelled."));
    if (m_closeRequested)
      QDialog::reject();
  }
  // A close that came too late to stop the update leaves its outcome on show.
  m_closeRequested = false;
  return done;
}

void UpdateDialog::connectHID()
{
  HidDevice *link = HidDevice::m_instance;
  if (!link)
    return;
  connect(link, &HidDevice::updateCompleted, this, &UpdateDialog::on_UpdateComplete, Qt::UniqueConnection);
  connect(link, &HidDevice::updateFailed, this, &UpdateDialog::on_UpdateFailed, Qt::UniqueConnection);
  connect(link, &HidDevice::updatePercentChanged, this, &UpdateDialog::on_percentChanged, Qt::UniqueConnection);
  connect(link, &HidDevice::updateAccepted, this, &UpdateDialog::on_updateAccepted, Qt::UniqueConnection);
}

void UpdateDialog::disconnectHID()
{
  if (HidDevice *link = HidDevice::m_instance)
    link->disconnect(this);
}

void UpdateDialog::on_percentChanged(int percent)
{
  ui->progressBar->setValue(qBound(0, percent, 100));
}

void UpdateDialog::on_updateAccepted()
{
  // The bootloader takes the image now: from here on it must run to its end.
  // Until then (its wait, its first answer) Close ends the wait.
  if (m_stage == WaitingForBootloader) {
    m_stage = Writing;
    ui->cancelBtn->setEnabled(false);
  }
}

void UpdateDialog::on_percentDownloadChanged(qint64 percent, qint64 total)
{
  if (total <= 0) {
    ui->progressBar->setRange(0, 0); // size unknown: busy
    return;
  }
  ui->progressBar->setRange(0, 100);
  ui->progressBar->setValue(int(qBound<qint64>(0, percent, total) * 100 / total));
}

void UpdateDialog::on_UpdateComplete()
{
  m_outcomeShown = true;
  ui->statusLabel->setStyleSheet(QString());
  setStatusText(tr("Successfully updated"));
  disconnectHID();
}

void UpdateDialog::on_UpdateFailed(QString err)
{
  m_outcomeShown = true;
  showError(tr("Update failed: ") + err);
  disconnectHID();
}

void UpdateDialog::on_updateBtn_clicked()
{
  ui->progressBar->show();
  ui->statusLabel->show();
  ui->updateBtn->setEnabled(false);
  ui->cancelBtn->setEnabled(true);
  emit updateFirmware();
}

void UpdateDialog::on_cancelBtn_clicked()
{
  emit updateFirmwareTerminated();
  close();
}

void UpdateDialog::reject()
{
  switch (m_stage) {
  case Downloading: {
    Downloader *downloader = m_downloader;
    stopDownload();
    if (downloader)
      downloader->cancel();
    QDialog::reject();
    break;
  }
  case WaitingForBootloader:
    // The update returns once the link sees the request; the window closes then.
    m_closeRequested = true;
    if (HidDevice::m_instance)
      HidDevice::m_instance->terminateUpdate();
    setStatusText(tr("Cancelling, please wait..."));
    break;
  case Writing:
    break;
  case Ready:
  case Finished:
    QDialog::reject();
    break;
  }
}
