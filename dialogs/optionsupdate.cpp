// The Update and About pages.
#include "dialoghooks.h"
#include "downloader.h"
#include "firmwareimage.h"
#include "helpers.h"
#include "hiddevice.h"
#include "infopackets.h"
#include "optionsdialog.h"
#include "ui_optionsdialog.h"
#include "updatedialog.h"
#include "updater.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

void OptionsDialog::fillSWInfo()
{
  ui->softwareVersion->setText(QCoreApplication::applicationVersion());
}

namespace {

QString modelName(quint32 magic)
{
  switch (magic) {
  case FirmwareImage::LoggerMagic:
    return QStringLiteral("tovri");
  case FirmwareImage::PowerMagic:
    return QStringLiteral("Kelvaro Power V1");
  case FirmwareImage::PowerV2Magic:
    return QStringLiteral("Kelvaro Power V2");
  default:
    return QStringLiteral("other");
  }
}

} // namespace

void OptionsDialog::fillFWInfo()
{
  // A bootloader sends no identification and runs no firmware: the model is
  // known only from its serial, as the flashing knows it.
  if (const HidDevice *link = HidDevice::m_instance; link && link->isOpen() && link->bootMode()) {
    ui->modelLabel->setText(modelName(FirmwareImage::connectedMagic()));
    ui->firmwareVersion->setText(tr("In its bootloader"));
    ui->serialLabel->setText(link->serial());
    return;
  }
  if (Helpers::powerMode || Helpers::powerV2Mode) {
    ui->modelLabel->setText(modelName(Helpers::powerMode ? FirmwareImage::PowerMagic : FirmwareImage::PowerV2Magic));
    ui->firmwareVersion->setText(m_dataPacket.version());
    ui->serialLabel->setText(HidDevice::instance()->serial());
    return;
  }
  if (!DeviceInfo::m_deviceInfo)
    DeviceInfo::m_deviceInfo = new DeviceInfo;
  const QString serial = QStringLiteral("%1").arg(DeviceInfo::m_deviceInfo->readU32(4), 9, 10, QLatin1Char('0'));
  ui->modelLabel->setText(serial.startsWith(QLatin1String("5001")) ? QStringLiteral("tovri") : QStringLiteral("other"));
  ui->firmwareVersion->setText(DeviceInfo::m_deviceInfo->version());
  ui->serialLabel->setText(serial);
}

void OptionsDialog::on_btnCheckUpdateFirm()
{
  m_fwChecking = true;
  ui->btnCheckUpdateFirm->setText(tr("Checking"));
  emit checkFWUpdates();
}

void OptionsDialog::on_btnCheckUpdateSoft()
{
  m_swChecking = true;
  ui->btnCheckUpdateSoft->setText(tr("Checking"));
  emit checkSWUpdates();
}

void OptionsDialog::on_newSWAvailable(bool _available)
{
  m_swChecked = true;
  m_swChecking = false;
  showCheckOutcome(false, _available);
  ui->btnCheckUpdateSoft->setText(tr("Check"));
}

void OptionsDialog::on_newFWAvailable(bool _available)
{
  m_fwChecked = true;
  m_fwChecking = false;
  showCheckOutcome(true, _available);
  ui->btnCheckUpdateFirm->setText(tr("Check"));
}

const Downloader *OptionsDialog::checkDownloader(bool firmware) const
{
  if (!m_updater)
    return nullptr;
  return firmware ? m_updater->firmwareDownloader() : m_updater->softwareDownloader();
}

void OptionsDialog::showCheckOutcome(bool firmware, bool available)
{
  const Downloader *downloader = checkDownloader(firmware);
  CheckProblem &problem = m_checkProblem[firmware];
  problem.failure = downloader ? downloader->error() : QString();
  const bool failed = !problem.failure.isEmpty();
  // Only a link this answer named can be offered; a failed check names none.
  const bool link = !failed && downloader && downloader->hasDownloadLink();
  problem.noFile = !failed && !link && available;
  (firmware ? ui->labelFWVersionAvailable : ui->labelSWVersionAvailable)->setVisible(available && !failed);
  (firmware ? ui->buttonFWDetails : ui->buttonSWDetails)->setVisible(!failed);
  (firmware ? ui->buttonFWUpdate : ui->buttonSWDownload)->setVisible(link);
  showCheckProblem(firmware);
}

void OptionsDialog::showCheckProblem(bool firmware)
{
  const CheckProblem &problem = m_checkProblem[firmware];
  QString text;
  if (!problem.failure.isEmpty())
    text = tr("The check failed: %1").arg(problem.failure);
  else if (problem.noFile)
    text = tr("The update server named no file to download.");
  // Plain text: the reason may quote what the server sent.
  QLabel *label = firmware ? ui->labelFWProblem : ui->labelSWProblem;
  label->setText(text);
  label->setVisible(!text.isEmpty());
}

void OptionsDialog::showDetails(bool firmware)
{
  const Downloader *downloader = checkDownloader(firmware);
  const QString title = firmware ? tr("Firmware info") : tr("Software info");
  const QString text = downloader ? downloader->info() : QString();
  DialogHooks::ask(this, DialogHooks::Information, title, text.isEmpty() ? tr("Version info:") : text);
}

void OptionsDialog::downloadSoftware()
{
  const QString title = tr("Download SW");
  // The buttons may stand from an earlier session's flags: the link must
  // come from a check that answered while this dialog was open.
  if (!m_swChecked || !m_updater) {
    on_btnCheckUpdateSoft();
    DialogHooks::ask(this, DialogHooks::Information, title,
                     tr("Checking for the latest software first. Press Download again when the check has answered."));
    return;
  }
  const QString link = m_updater->softwareDownloader()->downloadLink();
  if (link.isEmpty()) {
    DialogHooks::ask(this, DialogHooks::Warning, title, tr("File name is empty. Nothing to download."));
    return;
  }
  const QUrl url(link);
  const QString name = url.fileName(QUrl::FullyDecoded);
  if (!Downloader::isSafeLink(url)) {
    DialogHooks::ask(this, DialogHooks::Warning, title, tr("The server's download link is not a secure web link."));
    return;
  }
  if (QDesktopServices::openUrl(url))
    DialogHooks::ask(this, DialogHooks::Information, title, tr("Default web browser downloads file ") + name);
  else
    DialogHooks::ask(this, DialogHooks::Warning, title, tr("Default web browser can't download file ") + name);
}

void OptionsDialog::on_btnBrowse()
{
  const QString name =
    DialogHooks::chooseFile(this, DialogHooks::OpenFile, tr("Open firmware file"), QString(), QStringLiteral("*.bin"));
  // A cancelled choice keeps the file chosen before.
  if (name.isEmpty())
    return;
  m_firmwarePath = name;
  ui->browseLine->setText(name);
  ui->btnUpdateFirm->setEnabled(true);
}

void OptionsDialog::on_btnUpdateFirm()
{
  m_updateDialog = new UpdateDialog(m_firmwarePath, true, this);
  connect(m_updateDialog, &UpdateDialog::updateFirmwareTerminated, this,
          [] { HidDevice::instance()->terminateUpdate(); }, Qt::DirectConnection);
  m_updateDialog->exec();
  releaseUpdateDialog();
  m_updateDialog = nullptr;
  // A failed writing may leave the device in its bootloader.
  fillFWInfo();
}

void OptionsDialog::releaseUpdateDialog()
{
  // Only what this page connected is cut: the framework follows the
  // dialog's own destroyed() (its style sheet caches forget it only so), and
  // a dialog cut off from it would stay in them after it has gone.
  disconnect(m_updateDialog, &UpdateDialog::updateFirmwareTerminated, nullptr, nullptr);
  disconnect(m_updateDialog, &UpdateDialog::updateFirmware, nullptr, nullptr);
  m_updateDialog->deleteLater();
}

void OptionsDialog::on_buttonFWUpdate()
{
  // The firmware named by stored flags alone was never fetched in this session.
  if (!m_fwChecked || !m_updater || !m_updater->firmwareDownloader()->hasDownloadLink()) {
    if (!m_fwChecked)
      on_btnCheckUpdateFirm();
    DialogHooks::ask(this, DialogHooks::Information, tr("Firmware"),
                     m_fwChecked ? tr("The update server named no firmware file.")
                                 : tr("Checking for the latest firmware first. Press Update again when the check "
                                      "has answered."));
    return;
  }
  m_updateDialog = new UpdateDialog(m_updater->firmwareDownloader(), true, this);
  connect(m_updateDialog, &UpdateDialog::updateFirmwareTerminated, this, [] {}, Qt::DirectConnection);
  m_updateDialog->exec();
  releaseUpdateDialog();
  m_updateDialog = nullptr;
  fillFWInfo();
}
