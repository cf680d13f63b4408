#ifndef OPTIONSDIALOG_H
#define OPTIONSDIALOG_H

#include "powerpackets.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QTimer>

class ColorsAgent;
class Downloader;
class PowerDisplay;
class QCloseEvent;
class QPushButton;
class UpdateDialog;
class Updater;

namespace Ui {
class OptionsDialog;
}

// The application's settings: theme, language, colours and time format; a
// power supply's own settings block; update checks and firmware flashing;
// About. It repaints nothing outside itself: the opener connects its signals.
class OptionsDialog : public QDialog
{
  Q_OBJECT
public:
  // Largest settings file we read; a real one is well under 1 KiB.
  static constexpr qint64 MaxImportSize = 64 * 1024;

  explicit OptionsDialog(Updater *updater, QWidget *parent = nullptr);
  ~OptionsDialog() override;

  void setLanguages(QList<QString> languages, int index);
  static QString languageDataFolder();

  void setPowerMode();
  void preparePacket(PowerGetPacket &packet);
  void preparePacket();
  void parsePacket();
  void fillShowOptions();

  // Why a settings document cannot be imported; empty when it can.
  static QString checkJson(const QJsonObject &object);

  const PowerGetPacket &currentBlock() const { return m_packet; }

public slots:
  void done(int result) override;
  void fillSWInfo();
  void fillFWInfo();
  void on_btnBrowse();
  void on_btnCheckUpdateFirm();
  void on_btnCheckUpdateSoft();
  void on_btnUpdateFirm();
  void on_buttonFWUpdate();
  void on_newSWAvailable(bool _available);
  void on_newFWAvailable(bool _available);
  void on_paketReceived(PowerGetPacket &packet);
  void on_paketDataReceived(PowerDataPacket &packet);
  void format24hChecked(bool on);
  void on_export();
  void on_import();
  void initColors(bool dark);
  void showColorDialog();

signals:
  void changeColorTheme(bool dark);
  void changeColors();
  void timeFormatChanged();
  void languageChanged(int index);
  void checkFWUpdates();
  void checkSWUpdates();
  void autoFWUpdatesChecked(bool);
  void autoSWUpdatesChecked(bool);

protected:
  void closeEvent(QCloseEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void themeToggled(bool dark);
  void pickColor(int index);
  void pickBackground();
  void paintSwatches();
  int selectedTable() const;
  void preview();
  void announceColors();
  void versionLines();

  // Controls that may be unable to show their received byte.
  enum KeptControl { KeptOn, KeptOff, KeptFormat, KeptInterval, KeptFields, KeptCount = KeptFields + 4 };
  QString controlValue(int control) const;
  bool unshowable(int control) const;
  void markUnshown();
  bool writes(int control) const;

  void dateFormatChanged();
  void showReadings();
  // The page holds only a block of the supply on the link now.
  void dropBlock();
  void supplyArrived();
  bool holdsBlock() const;
  bool sendAction(unsigned char action, bool prepare);
  bool supplyOpen() const;
  void showDetails(bool firmware);
  void downloadSoftware();
  // The page after a check's answer: what it offers, and in plain view why
  // it offers nothing.
  void showCheckOutcome(bool firmware, bool available);
  const Downloader *checkDownloader(bool firmware) const;
  void showCheckProblem(bool firmware);
  // Unhooks the flashing dialog that has ended and lets it go.
  void releaseUpdateDialog();

  Ui::OptionsDialog *ui;
  QString m_firmwarePath;
  Updater *m_updater;
  UpdateDialog *m_updateDialog = nullptr;
  ColorsAgent *m_colors = nullptr;
  // Swatch edits the rest of the window has not been told of.
  bool m_colorsPending = false;

  PowerGetPacket m_packet;
  PowerGetPacket m_firstPacket;
  bool m_firstReceived = false;
  // The serial number of the supply the current block was read from.
  QString m_blockSerial;
  // The controls have shown a block the supply sent.
  bool m_blockShown = false;
  // A control whose byte in the block it cannot show, with the value it was
  // left at: untouched, the byte goes back as it came; edited, the edit goes.
  struct Kept
  {
    bool kept = false;
    QString shown;
  };
  Kept m_kept[KeptCount];
  PowerDataPacket m_dataPacket;
  PowerDisplay *m_display = nullptr;
  QTimer m_timer;
  bool m_powerPage = false;
  // Which update links this dialog's own checks fetched.
  bool m_fwChecked = false;
  bool m_swChecked = false;
  // A check runs: its button reads "Checking" until the answer.
  bool m_fwChecking = false;
  bool m_swChecking = false;
  // What the last answer of each kind (0 software, 1 firmware) left to
  // say: why the check failed, or that a newer version came without a file.
  struct CheckProblem
  {
    QString failure;
    bool noFile = false;
  };
  CheckProblem m_checkProblem[2];
};

#endif // OPTIONSDIALOG_H
