// The window's frame: construction, docks, layout persistence, events,
// status line, notices, language and colours.
#include "mainwindow.h"
// The form's navigation strip header needs the capture file class complete.
#include "swapfile.h"
#include "ui_mainwindow.h"

#include "appglobals.h"
#include "colorsagent.h"
#include "controlpanel.h"
#include "packet.h"
#include "glwidget.h"
#include "helpers.h"
#include "hiddevice.h"
#include "marker.h"
#include "markerbar.h"
#include "marqueelabel.h"
#include "navigationbar.h"
#include "reportbar.h"
#include "optionsdialog.h"
#include "overcurrent.h"
#include "plot.h"
#include "popup.h"
#include "settings.h"
#include "statuspanel.h"
#include "firmwareimage.h"
#include "updater.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyleFactory>
#include <QStyleOptionDockWidget>
#include <QTabBar>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <utility>

namespace {

constexpr qint64 NoticeIntervalMs = 86400000;

// A stored dock area that names neither side would leave the dock in no area.
Qt::DockWidgetArea validDockArea(const QVariant &value)
{
  bool ok = false;
  const int area = value.toInt(&ok);
  if (ok && area == Qt::RightDockWidgetArea)
    return Qt::RightDockWidgetArea;
  return Qt::LeftDockWidgetArea;
}

bool readBool(QSettings &settings, const QString &key, bool fallback)
{
  const QVariant value = settings.value(key, fallback);
  return value.canConvert<bool>() ? value.toBool() : fallback;
}

// The check kept beside a saved window layout: the framework trusts the
// layout's bytes, and a damaged one can bring it down.
QString layoutCheck(const QByteArray &layout)
{
  return QString::fromLatin1(QCryptographicHash::hash(layout, QCryptographicHash::Sha256).toHex());
}

// The layout stored under `key` when it is as this program wrote it; empty
// otherwise (damaged, or from a version that kept no check).
QByteArray checkedLayout(const QSettings &settings, const QString &key)
{
  const QByteArray layout = settings.value(key).toByteArray();
  if (layout.isEmpty())
    return QByteArray();
  if (settings.value(key + QStringLiteral("-check")).toString() != layoutCheck(layout)) {
    qWarning() << "MainWindow: stored window" << key << "ignored: not as this program wrote it";
    return QByteArray();
  }
  return layout;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
  : QMainWindow(parent)
{
  m_popUp = new PopUp(this);
  ui = new Ui_MainWindow;
  setWindowFlags(windowFlags() | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
  m_palette = QGuiApplication::palette();
  ui->setupUi(this);
  m_controlPanel = new ControlPanel(this);
  m_statusPanel = new StatusPanel(this);

  m_dockStatus = new QDockWidget(tr("Status"), this);
  m_dockStatus->setObjectName(QStringLiteral("dockStatus"));
  m_dockStatus->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  m_dockStatus->setWidget(m_statusPanel);
  m_dockStatus->setFeatures(m_dockStatus->features() & ~QDockWidget::DockWidgetClosable);
  addDockWidget(Qt::LeftDockWidgetArea, m_dockStatus);
  m_dockStatus->hide();
  m_dockControl = new QDockWidget(tr("Control"), this);
  m_dockControl->setObjectName(QStringLiteral("dockControl"));
  m_dockControl->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  m_dockControl->setWidget(m_controlPanel);
  m_dockControl->setFeatures(m_dockControl->features() & ~QDockWidget::DockWidgetClosable);
  addDockWidget(Qt::RightDockWidgetArea, m_dockControl);
  m_dockControl->hide();
  setDockNestingEnabled(true);

  connectControlPanel();

  setWindowTitle(QCoreApplication::applicationName());
  connect(ui->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::on_currentTabChanged);
  auto *esc = new QShortcut(QKeySequence(QStringLiteral("Esc")), this);
  esc->setContext(Qt::WindowShortcut);
  connect(esc, &QShortcut::activated, this, &MainWindow::on_stopButton);

  m_translator = new QTranslator(this);
  m_qtTranslator = new QTranslator(this);

  QTabBar *bar = ui->tabWidget->tabBar();
  connect(bar, &QTabBar::tabCloseRequested, this, &MainWindow::on_closeTab);
  connect(this, &MainWindow::showNotification, this,
          [this](const QString &msg, const QString &url) { statusBar()->showMessage(msg + url); });
  bar->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(bar, &QTabBar::customContextMenuRequested, this, &MainWindow::on_contextMenuRequested);
  connect(bar, &QTabBar::tabBarDoubleClicked, this, &MainWindow::on_closeTab);

  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));

  m_device = HidDevice::m_instance ? HidDevice::m_instance : new HidDevice(this);
  connect(m_device, &HidDevice::deviceConnected, this, &MainWindow::on_deviceConnected);
  connect(m_device, &HidDevice::deviceDisconnected, this, &MainWindow::on_deviceDisconnected);
  connect(m_device, &HidDevice::packetReceived, this, &MainWindow::on_packetReceived);
  connect(m_device, &HidDevice::deviceOpenFailed, this, &MainWindow::on_deviceOpenFailed);
  connect(m_device, &HidDevice::unservedDevicesChanged, this, &MainWindow::on_unservedDevices);
  setupFirmware();

  m_statusTimer = new QTimer(this);
  connect(m_statusTimer, &QTimer::timeout, this, &MainWindow::statusTick);
  setupCapture();

  connect(this, &MainWindow::enableMeasurement, this, &MainWindow::on_enableMeasurement);
  connect(this, &MainWindow::changeColorTheme, this, &MainWindow::on_changeColorTheme);
  connect(this, &MainWindow::refreshChannels, this, &MainWindow::on_refeshChannels);
  connect(ui->navigationBar, &NavigationBar::navigationMoseMove, this, [this](double time) {
    const QString text = Helpers::timeToString(time, true, m_readoutPrecision);
    m_readoutLabel->setText(
      m_readoutFormat.arg(QStringLiteral("#0: --"), QStringLiteral("#1: --"), QStringLiteral("#2: -- "), text));
  });
  connect(this, &MainWindow::changeColorTheme, ui->markerBar, &MarkerBar::on_changeColorTheme);
  connect(this, &MainWindow::changeColorTheme, ui->reportBar, &ReportBar::on_changeColorTheme);
  connect(this, &MainWindow::changeColorTheme, ui->navigationBar, &NavigationBar::on_changeColorTheme);
  connect(ui->markerBar, &MarkerBar::markerAdded, this, [this] { refreshGraphs(); });
  connect(ui->markerBar, &MarkerBar::markerRemoved, this, [this] { refreshGraphs(); });
  ui->markerBar->hide();

  buildStatusBar();
  setBriefHintColor();
  m_controlPanel->hide();
  m_statusPanel->hide();
  m_marquee->hide();
  m_readoutLabel->hide();
  m_popUp->hide();

  createToolbar();
  statusBar()->addPermanentWidget(m_statusContainer, 0);
  createDefaults();

  bool dark = false;
  {
    Settings settings;
    settings.beginGroup(QStringLiteral("Options"));
    dark = readBool(settings, QStringLiteral("dark-color"), false);
    m_languageIndex = validLanguageIndex(settings.value(QStringLiteral("language"), 0).toInt());
    Helpers::timeFormat = 1 + (readBool(settings, QStringLiteral("native-time"), false) ? 1 : 0);
    settings.endGroup();
  }
  loadLanguage(languages_small.at(m_languageIndex));

  bool firstLayout = true;
  {
    Settings settings;
    settings.beginGroup(QStringLiteral("Main"));
    // Only a layout this program wrote reaches the framework; any other
    // gives the layout of a first start.
    const QByteArray geometry = checkedLayout(settings, QStringLiteral("geometry"));
    if (geometry.isEmpty()) {
      fitToScreen();
    } else if (!restoreGeometry(geometry)) {
      qWarning() << "MainWindow: stored window geometry ignored";
      fitToScreen();
    }
    const QByteArray state = checkedLayout(settings, QStringLiteral("state"));
    firstLayout = state.isEmpty();
    if (!state.isEmpty() && !restoreState(state, 0)) {
      qWarning() << "MainWindow: stored window state ignored";
      firstLayout = true;
    }
    settings.endGroup();
  }
  m_statusPanel->restore();
  m_controlPanel->restore();
  restoreDocks();
  // Stacked docks first show the one with Start and Stop, once the window
  // has laid out its docks.
  if (firstLayout) {
    QTimer::singleShot(0, this, [this] {
      if (!tabifiedDockWidgets(m_dockControl).isEmpty())
        m_dockControl->raise();
    });
  }

  emit changeColorTheme(dark);
  on_changeColors();
  ui->reportBar->on_changeColors();

  m_updater = new Updater(this);
  connect(m_updater, &Updater::newSWAvailable, this, &MainWindow::on_newSWAvailable);
  connect(m_updater, &Updater::newFWAvailable, this, &MainWindow::on_newFWAvailable);
  connect(this, &MainWindow::enableMeasurement, this,
          [this] { m_updater->on_deviceConnected(serialText(DeviceInfo::m_deviceInfo)); });

  connect(this, &MainWindow::xRangeChanged, ui->navigationBar, &NavigationBar::on_xRangeChanged);

  hideChartTools();
  connect(ui->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::updateChartHint);
  updateChartHint();
  if (!m_device->isOpen())
    showStatusMessage(noDeviceHint(), 0);
  tellUnfinishedCaptures();
  repaint();
}

void MainWindow::fitToScreen()
{
  QScreen *screen = this->screen();
  if (!screen)
    screen = QGuiApplication::primaryScreen();
  if (!screen)
    return;
  // The window manager's title bar and border are not known before the
  // window is shown: leave room for common ones.
  constexpr int FrameWidth = 8;
  constexpr int FrameHeight = 36;
  // Wide enough for the docks beside a readable chart where the screen allows.
  constexpr int ChartWidth = 1280;
  const QRect available = screen->availableGeometry();
  const QSize room(qMax(1, available.width() - FrameWidth), qMax(1, available.height() - FrameHeight));
  resize(QSize(qMax(width(), ChartWidth), height()).boundedTo(room));
}

void MainWindow::fitDocksToTitles()
{
  // The docks stay empty until a device is served: sized by their hidden
  // panels alone they would cut their titles and tabs to a letter or two.
  QTabBar tabs;
  tabs.setFont(font());
  tabs.setDocumentMode(documentMode());
  int width = 0;
  for (QDockWidget *dock : {m_dockStatus, m_dockControl}) {
    const QString title = dock->windowTitle();
    if (title.isEmpty())
      continue;
    tabs.addTab(title);
    QStyleOptionDockWidget option;
    option.initFrom(dock);
    option.title = title;
    option.floatable = dock->features().testFlag(QDockWidget::DockWidgetFloatable);
    option.closable = dock->features().testFlag(QDockWidget::DockWidgetClosable);
    option.rect = QRect(0, 0, 1000, dock->fontMetrics().height() + 4);
    const int buttons =
      option.rect.width() - dock->style()->subElementRect(QStyle::SE_DockWidgetTitleBarText, &option, dock).width();
    width = qMax(width, dock->fontMetrics().horizontalAdvance(title) + buttons);
  }
  // A few pixels for the dock's frame.
  constexpr int Frame = 8;
  width = qMax(width, tabs.count() > 1 ? tabs.sizeHint().width() : 0) + Frame;
  // This minimum replaces the one the docks take from their panels: it must
  // hold the panels' own in the language now loaded, shown yet or not, or
  // the dock squeezes a panel into side scrolling.
  for (QDockWidget *dock : {m_dockStatus, m_dockControl}) {
    if (QWidget *panel = dock->widget())
      width = qMax(width, panel->minimumSizeHint().width() + Frame);
  }
  for (QDockWidget *dock : {m_dockStatus, m_dockControl})
    dock->setMinimumWidth(width);
}

QString MainWindow::noDeviceHint()
{
  return tr("No device connected. Connect a TOVRI logger or a Kelvaro power supply, or open a capture file.");
}

QString MainWindow::openFailureHint(const QString &reason)
{
  QString text = reason.trimmed();
  while (text.endsWith(QLatin1Char('.')))
    text.chop(1);
  return tr("The device was found but cannot be opened: %1. To allow it, install the program with "
            "\"cmake --install\", which adds the udev rule 70-tovri.rules, run "
            "\"udevadm control --reload-rules && udevadm trigger\" as root and plug the device in again; "
            "or run the program from the logged-in local seat.")
    .arg(text);
}

QString MainWindow::powerV2Hint()
{
  return tr("A Kelvaro Power V2 is connected. This program does not serve it live; its log files open as usual "
            "with Open.");
}

QString MainWindow::chartHint() const
{
  if (ui->tabWidget->count() > 0 || (m_device && m_device->isOpen()))
    return QString();
  if (!m_openFailure.isEmpty())
    return openFailureHint(m_openFailure);
  return m_powerV2Listed ? powerV2Hint() : noDeviceHint();
}

void MainWindow::on_unservedDevices(const QStringList &serials)
{
  // The link serves only the logger and the Power V1; the model comes from
  // the serial as for the firmware checks.
  const bool listed = std::any_of(serials.cbegin(), serials.cend(), [](const QString &serial) {
    return FirmwareImage::magicFor(serial.left(4)) == FirmwareImage::PowerV2Magic;
  });
  const bool was = std::exchange(m_powerV2Listed, listed);
  updateChartHint();
  if (m_device->isOpen() || !m_openFailure.isEmpty())
    return;
  if (listed)
    showStatusMessage(powerV2Hint(), 0);
  else if (was && statusBar()->currentMessage() == powerV2Hint())
    showStatusMessage(noDeviceHint(), 0);
}

void MainWindow::updateChartHint()
{
  const QString text = chartHint();
  ui->labelChartHint->setText(text);
  ui->labelChartHint->setVisible(!text.isEmpty());
  ui->tabWidget->setVisible(text.isEmpty());
}

// The report, marker and navigation bars and their actions, which only a
// logger capture has.
void MainWindow::hideChartTools()
{
  m_actionReport->setVisible(false);
  m_actionMarkers->setVisible(false);
  m_actionCalculator->setVisible(false);
  ui->markerBar->hide();
  ui->reportBar->hide();
  ui->navigationBar->hide();
}

MainWindow::~MainWindow()
{
  on_stopButton();
  m_statusTimer->stop();
  // The control panel keeps its channel choice only while a device is open:
  // it is saved before the link goes.
  m_statusPanel->backup();
  m_controlPanel->backup();
  if (HidDevice::m_instance == m_device)
    delete m_device;
  m_device = nullptr;
  saveLayout();
  // The tabs go with the window's children, after this body: a working file
  // they then fail to remove must not be told to a window taken apart.
  for (GLWidget *tab : findChildren<GLWidget *>())
    if (tab->swapFile)
      tab->swapFile->disconnect(this);
  delete ui;
  ui = nullptr;
}

void MainWindow::buildStatusBar()
{
  m_statusContainer = new QWidget(this);
  auto *layout = new QHBoxLayout(m_statusContainer);
  m_marquee = new MarqueeLabel(this);
  QFont font = m_marquee->font();
  font.setPointSize(14);
  m_marquee->setFont(font);
  m_marquee->hide();
  loadWarningMessage();
  m_warningButton = new QPushButton(this);
  m_warningButton->setIcon(QIcon(QStringLiteral(":/res/warning.png")));
  m_warningButton->hide();
  connect(m_warningButton, &QPushButton::clicked, this, &MainWindow::hideStatusWarning);
  m_readoutLabel = new QLabel(this);
  font = m_readoutLabel->font();
  font.setPointSize(10);
  m_readoutLabel->setFont(font);
  m_readoutLabel->setStyleSheet(QStringLiteral("QLabel {border: 0; }"));
  layout->addWidget(m_marquee);
  layout->addWidget(m_warningButton);
  layout->addWidget(m_readoutLabel);
  layout->addSpacing(300);
  layout->addStrut(0);
}

void MainWindow::loadWarningMessage()
{
  m_marquee->m_strings.clear();
  QByteArray document = QStringLiteral("{\"messages\": [{\"message\": \"     %1     \",\"timeoutafter\": 0,"
                                       "\"textcolor\": \"dddd00\",\"speed\": 2,\"enddate\": \"21211231\"}]}")
                          .arg(tr("Attention! The current has exceeded 1A."))
                          .toUtf8();
  m_marquee->load(document);
}

void MainWindow::restoreDocks()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Status"));
  const Qt::DockWidgetArea statusArea = validDockArea(settings.value(QStringLiteral("dock-area"), 1));
  const bool statusFloating = readBool(settings, QStringLiteral("floating"), false);
  m_docksTabified = readBool(settings, QStringLiteral("tabified"), true);
  const QRect statusGeometry = settings.value(QStringLiteral("dock-geometry"), QRect()).toRect();
  const bool statusVisible = readBool(settings, QStringLiteral("visible"), true);
  settings.endGroup();
  settings.beginGroup(QStringLiteral("Control"));
  const Qt::DockWidgetArea controlArea = validDockArea(settings.value(QStringLiteral("dock-area"), 1));
  const bool controlFloating = readBool(settings, QStringLiteral("floating"), false);
  const QRect controlGeometry = settings.value(QStringLiteral("dock-geometry"), QRect()).toRect();
  const bool controlVisible = readBool(settings, QStringLiteral("visible"), true);
  settings.endGroup();

  addDockWidget(statusArea, m_dockStatus);
  addDockWidget(controlArea, m_dockControl);
  if (m_docksTabified) {
    tabifyDockWidget(m_dockStatus, m_dockControl);
  } else {
    m_dockStatus->setFloating(statusFloating);
    if (statusFloating && statusGeometry.isValid())
      m_dockStatus->setGeometry(boundedToScreen(m_dockStatus, statusGeometry));
    m_dockControl->setFloating(controlFloating);
    if (controlFloating && controlGeometry.isValid())
      m_dockControl->setGeometry(boundedToScreen(m_dockControl, controlGeometry));
  }
  m_dockStatus->setVisible(statusVisible);
  m_dockControl->setVisible(controlVisible);
  // A floating dock shrinks to its panel, hidden until a logger is served:
  // the stored size is given again when the panels are shown.
  if (!m_docksTabified) {
    m_statusFloatGeometry = statusFloating ? statusGeometry : QRect();
    m_controlFloatGeometry = controlFloating ? controlGeometry : QRect();
  }
}

void MainWindow::placeFloatingDocks()
{
  // A stored place may come from a larger screen, or from a damaged file.
  if (m_dockStatus->isFloating() && m_statusFloatGeometry.isValid())
    m_dockStatus->setGeometry(boundedToScreen(m_dockStatus, m_statusFloatGeometry));
  if (m_dockControl->isFloating() && m_controlFloatGeometry.isValid())
    m_dockControl->setGeometry(boundedToScreen(m_dockControl, m_controlFloatGeometry));
  m_statusFloatGeometry = QRect();
  m_controlFloatGeometry = QRect();
}

void MainWindow::saveLayout()
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Main"));
  // The marker bar reads them back, as positions on the bar, when it is
  // given its next chart.
  Marker *first = ui->markerBar->marker(0);
  Marker *second = ui->markerBar->marker(1);
  // A pair no chart has placed yet holds nothing new: what is stored stays.
  if (first && second && ui->markerBar->placed()) {
    settings.setValue(QStringLiteral("marker-1"), first->x);
    settings.setValue(QStringLiteral("marker-2"), second->x);
    settings.setValue(QStringLiteral("marker-color"), first->color.name());
  }
  const QByteArray geometry = saveGeometry();
  const QByteArray state = saveState(0);
  settings.setValue(QStringLiteral("geometry"), geometry);
  settings.setValue(QStringLiteral("geometry-check"), layoutCheck(geometry));
  settings.setValue(QStringLiteral("state"), state);
  settings.setValue(QStringLiteral("state-check"), layoutCheck(state));
  settings.endGroup();
  settings.beginGroup(QStringLiteral("Status"));
  settings.setValue(QStringLiteral("dock-area"), int(dockWidgetArea(m_dockStatus)));
  settings.setValue(QStringLiteral("dock-geometry"), m_dockStatus->geometry());
  settings.setValue(QStringLiteral("floating"), m_dockStatus->isFloating());
  settings.setValue(QStringLiteral("tabified"), !tabifiedDockWidgets(m_dockControl).isEmpty());
  settings.endGroup();
  settings.beginGroup(QStringLiteral("Control"));
  settings.setValue(QStringLiteral("dock-area"), int(dockWidgetArea(m_dockControl)));
  settings.setValue(QStringLiteral("dock-geometry"), m_dockControl->geometry());
  settings.setValue(QStringLiteral("floating"), m_dockControl->isFloating());
  settings.endGroup();
  settings.beginGroup(QStringLiteral("Options"));
  settings.setValue(QStringLiteral("language"), m_languageIndex);
  settings.endGroup();
}

bool MainWindow::event(QEvent *event)
{
  return QMainWindow::event(event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
  ui->markerBar->on_sizeChanged();
  QMainWindow::resizeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
  // A quit inside a save would ask its questions and run its saves there.
  if (refusedWhileSaving()) {
    event->ignore();
    return;
  }
  terminateMeasuring();
  bool unsaved = false;
  for (int i = 0; i < ui->tabWidget->count(); ++i) {
    auto *tab = qobject_cast<GLWidget *>(ui->tabWidget->widget(i));
    unsaved = unsaved || (tab && !tab->saved);
  }
  if (unsaved) {
    // No tab may go while the question and its saves let events run.
    const auto holds = holdAllTabs(tr("Answer the question about saving the captures first."));
    const int answer =
      Helpers::warning(this, tr("Save"), unsavedQuestion(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    // A capture still unsaved after Yes would be removed with its tab.
    if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !saveAll())) {
      event->ignore();
      return;
    }
  }
  // A read still running ends early; its tab goes once it has returned.
  for (const QWidget *held : std::as_const(m_heldTabs)) {
    if (const auto *chart = qobject_cast<const GLWidget *>(held); chart && chart->swapFile)
      chart->swapFile->terminate();
  }
  event->accept();
  QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent *event)
{
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::LocaleChange) {
    const QString name = QLocale::system().name();
    const int cut = name.lastIndexOf(QLatin1Char('_'));
    loadLanguage(cut < 0 ? QString() : name.left(cut));
  } else if (event->type() == QEvent::LanguageChange && ui) {
    ui->toolBar->setWindowTitle(QCoreApplication::translate("MainWindow", "toolBar"));
  }
}

QTabWidget *MainWindow::tabWidget() const
{
  return ui->tabWidget;
}

QString MainWindow::serialText(const DeviceInfo *info)
{
  const quint32 serial = info ? info->readU32(4) : 0;
  return QStringLiteral("%1").arg(serial, 9, 10, QLatin1Char('0'));
}

// ---- status line ----------------------------------------------------------------

void MainWindow::showStatusMessage(const QString &text, int timeout)
{
  QStatusBar *bar = statusBar();
  if (!bar)
    return;
  bar->setStyleSheet(m_darkTheme ? QStringLiteral("color: white") : QStringLiteral("color: black"));
  bar->showMessage(text, timeout);
}

void MainWindow::showStatusError(const QString &text, int timeout)
{
  QStatusBar *bar = statusBar();
  if (!bar)
    return;
  bar->setStyleSheet(m_darkTheme ? QStringLiteral("color: #ff4444") : QStringLiteral("color: red"));
  bar->showMessage(text, timeout);
}

void MainWindow::showStatusWarning()
{
  // The warning button empties the line; every new warning needs its message.
  if (m_marquee->m_strings.isEmpty())
    loadWarningMessage();
  m_marquee->show();
  m_warningButton->show();
}

void MainWindow::hideStatusWarning()
{
  m_marquee->m_strings.clear();
  m_marquee->hide();
  m_warningButton->hide();
  OverCurrent::instance()->hideOverCurrent();
}

void MainWindow::on_refeshChannels(QList<qreal> channels)
{
  Q_UNUSED(channels)
}

void MainWindow::notifyNewVersion(const char *key, const QString &text)
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Update"));
  const qint64 now = MainWindow::now();
  bool ok = false;
  const qint64 last = settings.value(QLatin1String(key), 0).toLongLong(&ok);
  // A time outside 0..now (clock set back, damaged file) counts as never
  // shown: a future one would silence the notice for good, and the
  // difference to a far past one does not fit.
  const bool never = !ok || last < 0 || last > now;
  if (never || now - last > NoticeIntervalMs) {
    showStatusError(text, 10000);
    settings.setValue(QLatin1String(key), now);
  }
  settings.endGroup();
}

void MainWindow::on_newSWAvailable(bool available)
{
  if (available)
    notifyNewVersion("sw_notify_time", tr("A new software version is available. Go to Settings to update."));
}

void MainWindow::on_newFWAvailable(bool available)
{
  if (available)
    notifyNewVersion("fw_notify_time", tr("A new firmware version is available. Go to Settings to update."));
}

// ---- language and colours -------------------------------------------------------

int MainWindow::validLanguageIndex(int index)
{
  return index >= 0 && index < languages_small.size() ? index : 0;
}

void MainWindow::loadLanguage(const QString &code)
{
  const QString title = windowTitle();
  const QString folder = OptionsDialog::languageDataFolder();
  if (!m_translator->load(QStringLiteral("QtLanguage_") + code, folder))
    qDebug() << "MainWindow: no translation" << code << "in" << folder;
  QCoreApplication::installTranslator(m_translator);
  const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!m_qtTranslator->load(QStringLiteral("qtbase_") + code, qtFolder))
    qDebug() << "MainWindow: no Qt translation" << code << "in" << qtFolder;
  QCoreApplication::installTranslator(m_qtTranslator);
  retranslateToolbar();
  m_controlPanel->addSampleRateItems();
  if (plotter())
    plotter()->xAxis->setLabel(Helpers::timeFormat == 2 ? tr("Time: ") : tr("Time, sec: "));
  if (GLWidget *tab = currentWidget(); tab && !tab->isEmpty())
    tab->addTitle();
  setWindowTitle(title);
  m_dockControl->setWindowTitle(tr("Control"));
  m_dockStatus->setWindowTitle(tr("Status"));
  ui->reportBar->on_translate();
  ui->markerBar->on_translate();
  ui->navigationBar->on_translate();
  m_controlPanel->on_translate();
  m_statusPanel->on_translate();
  // After the panels have taken their new texts.
  fitDocksToTitles();
  loadWarningMessage();
  updateChartHint();
  on_changeColors();
}

void MainWindow::showIdleReadout()
{
  // A supply's readout names the channels its tab holds, not the logger's three.
  if (Helpers::powerMode || Helpers::powerV2Mode) {
    showSupplyIdleReadout();
    return;
  }
  m_readoutLabel->setText(m_readoutFormat.arg(QStringLiteral("#0: --"), QStringLiteral("#1: --"),
                                              QStringLiteral("#2: --"), QStringLiteral(" --")));
}

void MainWindow::on_changeColors()
{
  ColorsAgent agent(m_darkTheme);
  QString format;
  const char *placeholders[3] = {"%1 ", "%2 ", "%3 "};
  for (int i = 0; i < 3; ++i) {
    // The readout stands on the window, not on the chart.
    const QColor color = ColorsAgent::onWindow(agent.colors[ColorsAgent::Mouse][i], i, m_darkTheme);
    format += QStringLiteral("<font color=%1>").arg(color.name()) + QLatin1String(placeholders[i]);
  }
  format += QStringLiteral("<font color=%1>").arg(m_darkTheme ? QStringLiteral("white") : QStringLiteral("black")) +
            tr("Time: ").toHtmlEscaped() + QStringLiteral("%4 ");
  m_readoutFormat = format;
  if (!Helpers::isMeasuring)
    showIdleReadout();
  if (PlotWidget *plot = plotter()) {
    Helpers::setPlotterColor(plot, agent.background);
    for (int i = 0; i < plot->graphCount(); ++i) {
      PlotGraph *graph = plot->graph(i);
      const QColor color = agent.colors[ColorsAgent::Chart][i % 3];
      graph->setPen(QPen(color));
      if (graph->valueAxis())
        Helpers::setAxisColor(graph->valueAxis(), color);
    }
    ui->navigationBar->on_changeColorTheme(m_darkTheme);
    refreshGraphs();
  }
}
