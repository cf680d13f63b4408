#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "infopackets.h"
#include "plotaxis.h"
#include "plotrange.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMainWindow>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class Calculator;
class ControlPanel;
class DeviceControl;
class MeasureAll;
class MeasurePower;
class PowerPacket;
class GLWidget;
class HidDevice;
class MarqueeLabel;
class Packet;
class PlotAbstractPlottable;
class PlotAxis;
class PlotGraph;
class QJsonArray;
class QMouseEvent;
class QWheelEvent;
class PlotWidget;
class PopUp;
class PowerDataPacket;
class PowerGetPacket;
class PowerPanel;
class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QTranslator;
class StatusControlRequest;
class StatusPanel;
class SwapFile;
class Updater;
class Ui_MainWindow;

// The program's one window: capture tabs, tool docks, toolbar and status
// line, and the owner of the conversation with the logger. Its members are
// spread over mainwindow*.cpp by concern; all run in the GUI thread.
class MainWindow : public QMainWindow
{
  Q_OBJECT

public:
  // Rows of the two time combo boxes; the last row of each is "Custom".
  static constexpr int ShowAllRows = 8;
  static constexpr int MeasuringTimeRows = 5;

  explicit MainWindow(QWidget *parent = nullptr);
  ~MainWindow() override;

  // ---- tabs and chart
  GLWidget *currentWidget() const;
  PlotWidget *plotter() const;
  void refreshGraphs();
  void setXRange(double lower, double upper);
  void addTab();
  void addPowerTab();
  void closeTabSilent(int index, bool replaceLast);
  void closeAllTabs();
  // The tab name a new tab gets: the lowest "Capture N" no open tab bears.
  QString nextTabName() const;

  // ---- device
  // Results as the link's: bytes written, -1 for a failed write, 0 when
  // nothing was to be sent (no device, an update running, another kind).
  int sendPacket(Packet &packet);
  int sendCommand(const QString &command);
  void setTovriMode();
  void createDefaults();
  void sendStatistics();
  void terminateMeasuring();
  // The control panel's error-stop flag from the last status answer.
  bool stopOnError() const;


  // ---- saving and opening captures
  // Moves the capture of tab `index` to a name the user picks; true when the
  // capture now has that name.
  bool save(int index);
  // Offers a save for every unsaved tab; true when none is left unsaved.
  bool saveAll();
  // Asks once about the unsaved captures among the tabs `indexes` before they
  // are closed: Yes saves each, No discards them. False (keep every tab) only
  // for Cancel, which is offered when `cancellable`; without it, a capture
  // whose save is cancelled or fails is asked about again, by name, until it
  // is saved or the user answers No.
  bool resolveUnsaved(const QList<int> &indexes, bool cancellable);
  // The file extension and dialog filter of the current device kind.
  static QString captureExtension();
  static QString captureFilter();
  // The same for the kind of capture the tab holds, whichever device is served.
  static QString captureExtension(const GLWidget *tab);
  static QString captureFilter(const GLWidget *tab);
  // Opens a saved capture in a new tab in the mode that recorded it; false
  // (and a message, no tab) for a damaged or foreign file or a failed read.
  bool loadFile(const QString &path);

  // ---- power-supply mode
  // Serves a supply: its panel in place of the logger's, its descriptions.
  void setPowerMode();
  void setPowerV2Mode();
  // The supplies' built-in channel descriptions of the current model.
  void createDefaultsPower();
  // A supply model's built-in channel descriptions, as JSON entries.
  static QJsonArray supplyChannelTable(bool v2);

  // ---- controls
  void createToolbar();
  void enableToolbar(bool enable, bool keepOpenAndSettings);
  void enableControls(bool enable);
  void enableButtons(bool enable);
  void setBriefHintColor();

  // ---- status line
  void showStatusMessage(const QString &text, int timeout);
  void showStatusError(const QString &text, int timeout);
  void showStatusWarning();
  void hideStatusWarning();
  // What to do when no device serves the window: connect one or open a file.
  static QString noDeviceHint();
  // A device that is listed but refuses to open, with the way to let it open.
  static QString openFailureHint(const QString &reason);
  // A Power V2 is on the bus: what the window does and does not do with it.
  static QString powerV2Hint();
  // The text the empty chart area shows, empty while a tab or a device is there.
  QString chartHint() const;

  // ---- language and colours
  void loadLanguage(const QString &code);
  // Options/language as stored, or 0 (English) when it names no language.
  static int validLanguageIndex(int index);
  // The serial number as the update checks take it: 9 or more decimal digits.
  static QString serialText(const DeviceInfo *info);

  int languageIndex() const { return m_languageIndex; }
  bool darkTheme() const { return m_darkTheme; }
  int measuringTime() const { return m_measuringTime; }
  int showAllLength() const { return m_showAllLength; }
  QTimer *statusTimer() const { return m_statusTimer; }
  QString readoutFormat() const { return m_readoutFormat; }
  QLabel *readoutLabel() const { return m_readoutLabel; }
  MarqueeLabel *marquee() const { return m_marquee; }
  QPushButton *warningButton() const { return m_warningButton; }
  QDockWidget *dockStatus() const { return m_dockStatus; }
  QDockWidget *dockControl() const { return m_dockControl; }
  QTabWidget *tabWidget() const;
  Updater *updater() const { return m_updater; }
  ControlPanel *controlPanel() const { return m_controlPanel; }
  StatusPanel *statusPanel() const { return m_statusPanel; }
  PopUp *popUp() const { return m_popUp; }

  // Toolbar entries, in toolbar order.
  QAction *m_actionSave = nullptr;
  QAction *m_actionOpen = nullptr;
  QAction *m_actionView = nullptr;
  QMenu *m_viewMenu = nullptr;
  QAction *m_actionViewStatus = nullptr;
  QAction *m_actionViewControl = nullptr;
  QAction *m_actionSettings = nullptr;
  QAction *m_actionShowAll = nullptr;
  QComboBox *m_comboShowAll = nullptr;
  QLabel *m_labelSec = nullptr;
  QAction *m_actionReport = nullptr;
  QAction *m_actionMarkers = nullptr;
  QAction *m_actionCalculator = nullptr;
  QLabel *m_labelMeasuringTime = nullptr;
  QAction *m_actionMeasuringTimeLabel = nullptr;
  QComboBox *m_comboMeasuringTime = nullptr;

public slots:
  void on_packetReceived(quint8 *data, int length);
  void on_deviceConnected();
  void on_deviceDisconnected();
  void on_deviceOpenFailed(const QString &reason);
  // Devices of the family that the link does not open are on the bus (their
  // serial numbers), or none any more (empty).
  void on_unservedDevices(const QStringList &serials);
  void on_requestStatus(StatusControlRequest &request);
  void on_enableMeasurement();
  void on_closeTab(int index);
  void on_contextMenuRequested(const QPoint &pos);
  void on_currentTabChanged(int index);
  void on_timeFormatChanged();
  void on_stopButton();
  void on_changeColorTheme(bool dark);
  void on_changeColors();
  void on_newSWAvailable(bool available);
  void on_newFWAvailable(bool available);
  void on_rangeChanged(PlotRange &newRange, PlotRange &oldRange, PlotAxis *axis);
  // Receives refreshChannels; the status panel is fed from the value axes instead.
  void on_refeshChannels(QList<qreal> channels);
  // ---- saving and opening captures
  void on_actionSave();
  void on_swapFileError(int code);
  void on_actionLoad();
  // A double-click on a graph fits the value axes and keeps the time window
  // (adjustRanges fits them the same way).
  void on_plottableDoubleClick(PlotAbstractPlottable *plottable, QMouseEvent *event);

signals:
  void enableMeasurement();
  void disableMeasurement();
  void stopMeasurement(DeviceControl &command);
  void changeColorTheme(bool dark);
  void showNotification(QString msg, QString url);
  void deviceInfoReceved();
  void paketReceived(PowerGetPacket &_pack);
  void paketDataReceived(PowerDataPacket &_pack);
  void xRangeChanged(double _low, double _up);
  // The newest value of each channel of the running capture, once a second.
  void refreshChannels(QList<qreal> values);

protected:
  bool event(QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void changeEvent(QEvent *event) override;

private slots:
  // The 1 s tick while a logger is served.
  void statusTick();

private:
  void hideChartTools();
  // Sizes a first start (no stored geometry) to the screen it opens on.
  void fitToScreen();
  // Keeps the docks wide enough for their titles and, stacked, their tabs.
  void fitDocksToTitles();
  // Shows the hint in place of the tab area while there is nothing to chart.
  void updateChartHint();
  void buildStatusBar();
  // Loads the over-current message into the warning line, replacing any other.
  void loadWarningMessage();
  void restoreDocks();
  // Gives floating docks their stored geometry once their panels show.
  void placeFloatingDocks();
  void saveLayout();
  void retranslateToolbar();
  // Dispatch steps of one report.
  void deviceInformation(const Packet &packet);
  void controlAnswer(const Packet &packet);
  void channelDescription(const Packet &packet);
  void statusAnswer(const Packet &packet);
  // The once-a-day notice of a newer version; key is the settings key of its time.
  void notifyNewVersion(const char *key, const QString &text);
  // Shows the idle readout: no values under the pointer.
  void showIdleReadout();
  void showSupplyIdleReadout();
  // Keeps a tab whose file a read walks, that a question is about or that
  // a Save dialog is for, while the event loop turns: a close meanwhile only
  // takes its page away and cancels the read; the tab is deleted, and a
  // device's arrival is served, once the last hold has ended. `refusal`
  // tells the user what must end before anything else may start.
  class TabHold
  {
  public:
    TabHold(MainWindow *window, GLWidget *tab, const QString &refusal);
    ~TabHold();
    TabHold(const TabHold &) = delete;
    TabHold &operator=(const TabHold &) = delete;
    // The tab was closed meanwhile: its holder must leave it alone.
    bool closed() const;

  private:
    MainWindow *m_window;
    GLWidget *m_tab;
  };
  // Holds every capture tab, as a question about all of them needs.
  std::vector<std::unique_ptr<TabHold>> holdAllTabs(const QString &refusal);
  bool tabsHeld() const { return !m_heldTabs.isEmpty(); }
  // A read, a question or a save lets events through: says what must end
  // first and is true; what would start now must wait.
  bool refusedWhileHeld();
  // A save runs from its dialog to its end and lets events through: no
  // second save, quit or close may run inside it. Says so and is true.
  bool refusedWhileSaving();
  QString readingRefusal() const;
  QString unsavedQuestion() const;
  // Asks whether the capture of `tab`, whose save did not happen, is to be
  // saved after all; true for Yes.
  bool askSaveAgain(GLWidget *tab);
  // Deletes a closed tab's page now, or once nothing holds it.
  void disposeTab(QWidget *tab);
  QList<const QWidget *> m_heldTabs; // one entry per hold
  QStringList m_holdRefusals;        // beside m_heldTabs, entry for entry
  QList<QWidget *> m_closedHeldTabs;
  QString m_saveRunning; // what the running save asks to wait for; empty when none runs
  const QWidget *m_readTab = nullptr; // the tab whose file an Open reads now
  enum TabGroup { LeftOf, RightOf, All };
  // The context menu's closing of a group of tabs relative to the tab at pos.
  void closeTabs(TabGroup group, const QPoint &pos);
  // The untouched tab that waits for the next capture.
  void addFreshTab();
  // ---- saving and opening captures
  // Gives the tab's capture the name `path`; an existing other file of that
  // name is replaced only with `replace`, and only once the capture is there.
  // On failure `error` tells why.
  bool moveCapture(int index, const QString &path, bool replace, QString *error);
  // The move itself: the file of `tab` under `path`.
  bool placeCapture(GLWidget *tab, const QString &path, bool replace, QString *error);
  // The other tabs that show the very file of `tab` (opened twice, or the
  // working file of an unsaved capture opened beside it), by any name.
  QList<QPointer<GLWidget>> tabsSharingFile(const GLWidget *tab) const;
  // After a save of `tab` moved the file: those of `sharers` whose name no
  // longer leads to it take its new name, saved or not as they were.
  void followMovedFile(const GLWidget *tab, const QList<QPointer<GLWidget>> &sharers);
  void showSaved(const QString &note);
  // The end of an Open whose read failed or was cancelled: its tab goes at
  // once, or, as the only tab, stays empty and holds no file.
  void dropFailedRead(GLWidget *tab);
  // The end of an Open whose read succeeded: the tab named `base` set up
  // for review.
  void showOpenedCapture(GLWidget *tab, const QString &base);
  // The strip, the marker bar and the report bar describe the tab on show.
  void describeShownTab();
  // Tells in the status line of working files that an earlier run left
  // behind (a crash or a kill): they stay until the user deals with them.
  // The note comes back whenever the line empties (a device's greeting runs
  // out), until a file is opened or a capture begins.
  void tellUnfinishedCaptures();
  QString m_unfinishedNote;
  // ---- power-supply mode
  // Puts the logger's panel back and ends the supply's panel, if one is there.
  void leavePowerMode();

  Ui_MainWindow *ui = nullptr;
  HidDevice *m_device = nullptr;
  QTimer *m_statusTimer = nullptr;
  PopUp *m_popUp = nullptr;
  ControlPanel *m_controlPanel = nullptr;
  StatusPanel *m_statusPanel = nullptr;
  PowerPanel *m_powerPanel = nullptr;
  QDockWidget *m_dockControl = nullptr;
  QDockWidget *m_dockStatus = nullptr;
  QTranslator *m_translator = nullptr;
  // Why the last device could not be opened; empty once one opens.
  QString m_openFailure;
  // A Power V2, which the link does not open, is on the bus.
  bool m_powerV2Listed = false;
  // Qt's own texts (standard buttons, file and message dialogs) in the same language.
  QTranslator *m_qtTranslator = nullptr;
  int m_languageIndex = 0;
  bool m_darkTheme = false;
  QPalette m_palette;
  MarqueeLabel *m_marquee = nullptr;
  QPushButton *m_warningButton = nullptr;
  QWidget *m_statusContainer = nullptr;
  QLabel *m_readoutLabel = nullptr;
  QString m_readoutFormat;
  bool m_freshTab = true;
  int m_measuringTime = 10;
  int m_showAllLength = 10;
  Updater *m_updater = nullptr;

  // Identification of the device now served: device information arrived
  // since its arrival, and its channel descriptions were completed once.
  bool m_identified = false;
  bool m_channelsComplete = false;
  // What the device on the link told of itself (its information report and,
  // for a logger, its channel descriptions): built-in descriptions put in
  // place for an opened file of another kind never replace it.
  QByteArray m_linkIdentity;
  QMap<unsigned char, ChannelInfo> m_linkChannels;
  void restoreLinkIdentity();
  // Status/tabified as read at start; the View menu stacks the docks by it.
  bool m_docksTabified = true;
  QRect m_statusFloatGeometry;
  QRect m_controlFloatGeometry;

  // ---- settings, markers and calculator actions
public:
  Calculator *findCalculator() const;
  // Fills the calculator's records from the current tab and hands them over.
  void updateCalculator(Calculator *calculator);

public slots:
  void on_actionSettings();
  void on_actionMarkers();
  void on_actionCalculator();
  // Also the call for the end of a logger capture and for an opened file.
  void on_updateCalculator();
  void on_markerChanged(double time);

private:
  void connectSettingsActions();
  // Moves (and if need be shrinks, or grows to its minimum) a tool window
  // so that its whole frame lies on the available part of this window's
  // screen.
  void placeOnScreen(QWidget *window) const;
  // Where `geometry` puts `window` under the same rule, without moving it.
  QRect boundedToScreen(const QWidget *window, const QRect &geometry) const;
  // ---- end of settings, markers and calculator actions

  // ==== capture run: start, stop, acquisition, live tick (mainwindow_capture.cpp)
public:
  // Milliseconds since the epoch. Tests and benchmarks put the simulated
  // bus's virtual time here; an empty clock restores the wall clock.
  using Clock = std::function<qint64()>;
  static void setClock(Clock clock);
  static qint64 now();
  // The folder of this user's working capture files (mode 0700).
  static QString workingFolder();
  // The tab the running (or last) capture writes to; null once it is closed.
  GLWidget *captureTab() const;
  qint64 startTime() const { return m_startTime; }
  void addPacket(const MeasureAll &block);

public slots:
  void on_startMeasurement(DeviceControl &command);
  void on_stopMeasurement(DeviceControl &command);
  // The 10 ms tick: keeps the time axis on the newest point and moves old
  // points to the capture file.
  void reRangeX();

private:
  // Timers and connections of the capture run; called once by the constructor.
  void setupCapture();
  // Ends the capture of m_captureTab; sends `command` first when given.
  void finishCapture(const DeviceControl *command);
  // Creates the working file exclusively; the path, or empty on failure.
  QString createWorkingFile(const QString &tabName);
  // Gives `file` a new working file for the tab `name` and its header; on
  // failure nothing is left behind and the status line says so.
  bool createCaptureFile(SwapFile *file, const QString &name, const std::function<bool(SwapFile *)> &writeHeader);
  // The capture state and live view of `tab`, whose file is ready: common to
  // a logger's capture and a supply's log.
  void beginCapture(GLWidget *tab, const QString &name, const DeviceControl &control);
  void failCapture(const QString &text);
  // Ends a capture that never began (refused, or its start not sent): no
  // unsaved mark, no working file, the tab ready for the next start. A
  // capture that holds samples is finished instead.
  void abandonCapture(const QString &text);
  // Sends the logger's stop (once more if the write fails) and hands over
  // the blocks the logger sent before its answer; false when it could not
  // be written.
  bool sendStop(DeviceControl &command);
  // Closes and opens the link again, to send a stop that could not be written.
  void reopenLink();
  // Ends the capture at its time limit, from the event loop and once.
  void postTimeLimitStop();
  // The status line's word on a block with a channel that yields no samples.
  void reportUnreadBlock(int channel);
  // Time in seconds of the first sample of a block with sample counter `c`,
  // `n` samples per channel and a period of `periodMs`; follows counter
  // restarts and wraps, and logs gaps when `logLost`.
  double blockStart(quint64 c, int n, double periodMs, bool logLost);

  QPointer<GLWidget> m_captureTab;
  qint64 m_startTime = 0;
  quint64 m_counterBase = 0;
  quint64 m_lastCounter = 0;
  quint64 m_uncounted = 0; // sample index from which the statistics have not counted yet
  bool m_firstBlock = true;
  bool m_stopPosted = false;
  bool m_blocksUnread = false;     // a block of this capture had a channel without samples
  bool m_keepCaptureError = false; // the line's word on the capture's end stays through the stop's answer
  bool m_finishing = false;        // finishCapture runs; reports handed over cannot end it again
  bool m_stopAnswered = false;     // the logger answered the last stop
  bool m_stopOwed = false;         // a stop could not be written; sent when the link opens again
  QTimer *m_tickTimer = nullptr;
  // ==== end of capture run

  // ==== time window (mainwindow_timewindow.cpp)
public:
  // Value range fitting the graph's points inside `range` (the time window
  // when null); flat traces get room around them.
  PlotRange rescaleAxis(PlotGraph *graph, PlotRange *range);
  void reRangeLeft(bool force = false);
  // Fits channel #0's axis to the tab's visible points; false when the
  // first graph's axis is not the logger's.
  bool fitLeftAxis(GLWidget *tab);
  // A window of `span` centred on `centre`, kept inside the points held.
  void adjustRanges(double centre, double span);
  // The same for `tab`, on show or not.
  void adjustRanges(GLWidget *tab, double centre, double span);
  // Time ticks on round times for `range`; the step chosen comes back in `step`.
  void calcTickPositions(PlotRange range, QList<double> &ticks, double &step);
  static int subTickCount(double step);

public slots:
  void on_rangeBorderReached(double newLower, double newUpper);
  void on_mouseRelease(QMouseEvent *event);
  void on_mouseWheel(QWheelEvent *event);
  void on_axisDoubleClick(PlotAxis *axis, PlotAxis::SelectablePart part, QMouseEvent *event);
  void on_swapPositionChanged(int startTime);
  void on_showAll();

private:
  void setupTimeWindow();
  void connectTimeWindow(PlotWidget *plot);
  void resetRightAxes();
  void resetRightAxes(GLWidget *tab);
  void resetRightAxis(GLWidget *tab, PlotWidget *plot, PlotAxis *axis);
  // Fits a supply channel's axis to its points in the time window, inside
  // the channel's range.
  void fitPowerAxis(PlotWidget *plot, PlotAxis *axis);

  bool m_borderReached = false;
  PlotRange m_wantedRange;
  // ==== end of time window

  // ==== power-supply log (mainwindow_powerlog.cpp)
public:
  void addPacket(const MeasurePower &frame);
  // Whether a supply's log (rather than a logger's capture) runs or ran last.
  bool powerCapture() const { return m_powerCapture; }

public slots:
  // The supply panel's Start: a new tab for the command's channels, then the log.
  void on_startPowerLog(const QString &command);
  void on_startPowerMeasurement(const QString &command);
  // Ends a running log on the window's side; `command` is not used.
  void on_stopPowerMeasurement(const QString &command);
  void on_packetPowerReceived(PowerPacket &packet);

private:
  // A text reply that is no power state: the supply ended or refused the log.
  void endRefusedLog(const QString &reply);
  // What a log command asks for.
  struct PowerLog
  {
    int rate = 0; // records per second
    quint16 mask = 0;
    QList<int> channels; // ascending
  };
  // Why `command` cannot start a log now; empty when it can.
  QString refusePowerLog(const QString &command, PowerLog *log) const;
  // The same, telling the user why a command is refused.
  bool acceptPowerLog(const QString &command, PowerLog *log);
  bool supplyConnected() const;
  // Whether `packet` (null: a text command) suits the connected device.
  bool reachesDevice(const Packet *packet) const;
  // The logger's control panel drives the window only while a logger is served.
  void connectControlPanel();
  void disconnectControlPanel();

  QList<QMetaObject::Connection> m_controlConnections;
  bool m_powerCapture = false;
  int m_powerRate = 0;
  bool m_powerFahrenheit = false;
  QList<int> m_powerChannels;
  // ==== end of power-supply log

  // ==== the link's device and its firmware (mainwindow_firmware.cpp)
public:
  // The window title for the device the link holds: `connected` while one
  // runs its firmware, else what is open (`opened`, or the program) and why
  // no device is served.
  QString linkTitle(const QString &connected, const QString &opened = QString()) const;
  // A logger in normal operation is on the link: a capture can start.
  bool loggerServed() const;

public slots:
  void on_bootloaderConnected();

private:
  void setupFirmware();
  // Runs once a firmware update has let go of the link: the arrival held
  // back during it, or the device left in its bootloader.
  void followLink();
  // The device waits in its bootloader for firmware: the window says so.
  void showBootloader();

  QTimer *m_linkCheck = nullptr;
  bool m_arrivalPending = false;
  // ==== end of the link's device and its firmware

  // ==== labels, readout and the time lists (mainwindow_readout.cpp, lists in
  // mainwindow_timewindow.cpp)
public:
  // Most points per channel a viewing interval may load into memory.
  static constexpr double MaxViewPoints = 2000000;
  // The viewing interval for `tab`'s capture: the chosen one, shortened so
  // that it loads at most MaxViewPoints per channel at the capture's rate.
  int viewingSeconds(const GLWidget *tab) const;
  // The same for a capture file whose header gives `divider` (records per
  // second = 10000 / divider).
  int viewingSeconds(int divider) const;
  // Where the tab's capture file has its first record (s); 0 for a tab
  // without one.
  static double captureStart(const GLWidget *tab);
  // Where a window from `lower` to `upper` ends on `time` with points held
  // up to `heldUpper`.
  static double windowEnd(const PlotAxis *time, double lower, double upper, double heldUpper);
  // Relabels the temperature axes of the current chart in Fahrenheit.
  void adjustAxisName(const QList<int> &channels, bool fahrenheit);
  int readoutPrecision() const { return m_readoutPrecision; }

public slots:
  void on_axisUnitChanged(PlotAxis *axis, int _upper, QList<double> &mTickVector, QList<QString> &tickVectorLabels);
  void on_mouseMove(QMouseEvent *event);
  void on_channelsAdded();
  void on_comboboxTimeAcivated(int index);
  void on_comboboxShowAllTimeAcivated(int index);

private:
  // Tells the user when the chosen viewing interval was shortened for `tab`.
  void reportViewingCap(const GLWidget *tab);

  int m_readoutPrecision = 2;
  // ==== end of labels, readout and the time lists
};

#endif // MAINWINDOW_H
