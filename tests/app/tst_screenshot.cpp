#include "appfixture.h"
#include "capturerig.h"
#include "savingfixture.h"
#include "controlpanel.h"
#include "glwidget.h"
#include "helpers.h"
#include "plot.h"
#include "processstate.h"
#include "testmain.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFontMetrics>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionDockWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QToolButton>

#include <memory>

using namespace AppFixture;

namespace {

// A widget's path of object names, for the failure message.
QString widgetName(const QWidget *widget)
{
  QStringList names;
  for (const QObject *o = widget; o; o = o->parent()) {
    if (!o->objectName().isEmpty())
      names.prepend(o->objectName());
    if (o->isWidgetType() && static_cast<const QWidget *>(o)->isWindow())
      break;
  }
  return QStringLiteral("%1 (%2)").arg(names.join(QLatin1Char('/')), QString::fromLatin1(widget->metaObject()->className()));
}

// The characters of `text` that `font` itself has no glyph for.
QString missingGlyphs(const QFont &font, const QString &text)
{
  const QFontMetrics metrics(font);
  QString missing;
  for (const QChar c : text) {
    if (c.isSpace() || c.category() == QChar::Other_Control || c.isSurrogate() || c == QChar(0x2026))
      continue;
    if (!metrics.inFont(c) && !missing.contains(c))
      missing += c;
  }
  return missing;
}

QString plainText(const QLabel *label)
{
  const QString text = label->text();
  const bool rich = label->textFormat() == Qt::RichText ||
                    (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
  return rich ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

QString withoutMnemonic(QString text)
{
  text.replace(QLatin1String("&&"), QString(QChar(0xE000)));
  text.remove(QLatin1Char('&'));
  text.replace(QChar(0xE000), QLatin1Char('&'));
  return text;
}

// Every text of the window that is cut off by its widget, runs into a
// neighbour or has a character its font cannot draw.
QStringList textProblems(QWidget *window)
{
  QStringList problems;
  auto glyphs = [&](const QWidget *widget, const QFont &font, const QString &text) {
    const QString missing = missingGlyphs(font, text);
    if (!missing.isEmpty())
      problems << QStringLiteral("%1: \"%2\" lacks glyphs for \"%3\"").arg(widgetName(widget), text, missing);
  };
  auto fits = [&](const QWidget *widget, const QString &text, int need, int have) {
    if (need > have)
      problems << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(widgetName(widget), text).arg(need).arg(have);
    // Nor may a holder, a scroll area's viewport above all, cut it at the
    // side (stacked docks behind the front one are kept out of sight).
    for (const QWidget *holder = widget->parentWidget(); holder && !widget->visibleRegion().isEmpty();
         holder = holder->parentWidget()) {
      const int left = widget->mapTo(holder, QPoint(0, 0)).x();
      if (left < 0 || left + widget->width() > holder->width()) {
        problems << QStringLiteral("%1: \"%2\" cut at the side by %3").arg(widgetName(widget), text, widgetName(holder));
        break;
      }
      if (holder->isWindow())
        break;
    }
  };

  const QList<QWidget *> widgets = window->findChildren<QWidget *>();
  for (QWidget *widget : widgets) {
    if (!widget->isVisible() || widget->window() != window)
      continue;
    const QFontMetrics metrics(widget->font());
    if (auto *label = qobject_cast<QLabel *>(widget)) {
      const QString text = plainText(label);
      if (text.trimmed().isEmpty())
        continue;
      glyphs(label, label->font(), text);
      if (label->wordWrap())
        fits(label, text, label->heightForWidth(label->width()), label->height());
      else
        fits(label, text, label->sizeHint().width(), label->width());
      // A squeezed layout lays its widgets over each other.
      for (QWidget *other : label->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (other != label && other->isVisible() && (qobject_cast<QLabel *>(other) || qobject_cast<QAbstractButton *>(other)) &&
            other->geometry().intersects(label->geometry()))
          problems << QStringLiteral("%1: \"%2\" overlaps %3").arg(widgetName(label), text, widgetName(other));
      }
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
      const QString text = withoutMnemonic(button->text());
      if (text.isEmpty())
        continue;
      glyphs(button, button->font(), text);
      if (qobject_cast<QRadioButton *>(button) || qobject_cast<QCheckBox *>(button)) {
        fits(button, text, button->sizeHint().width(), button->width());
      } else {
        const auto *tool = qobject_cast<QToolButton *>(button);
        if (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !button->icon().isNull())
          continue;
        const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        fits(button, text, metrics.horizontalAdvance(text) + icon + 6, button->width());
      }
    } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
      if (group->title().isEmpty())
        continue;
      glyphs(group, group->font(), group->title());
      fits(group, group->title(), metrics.horizontalAdvance(withoutMnemonic(group->title())) + 12, group->width());
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
      for (int i = 0; i < combo->count(); ++i)
        glyphs(combo, combo->font(), combo->itemText(i));
      QStyleOptionComboBox option;
      option.initFrom(combo);
      option.editable = combo->isEditable();
      option.frame = combo->hasFrame();
      option.currentText = combo->currentText();
      const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
      fits(combo, combo->currentText(), metrics.horizontalAdvance(combo->currentText()), field.width());
    } else if (auto *dock = qobject_cast<QDockWidget *>(widget)) {
      glyphs(dock, dock->font(), dock->windowTitle());
      if (dock->windowTitle().isEmpty() || dock->titleBarWidget())
        continue;
      // The title bar's text room, as the style lays it out beside its buttons.
      QStyleOptionDockWidget option;
      option.initFrom(dock);
      option.title = dock->windowTitle();
      option.floatable = dock->features().testFlag(QDockWidget::DockWidgetFloatable);
      option.closable = dock->features().testFlag(QDockWidget::DockWidgetClosable);
      option.rect = QRect(0, 0, dock->width(), metrics.height() + 4);
      const QRect room = dock->style()->subElementRect(QStyle::SE_DockWidgetTitleBarText, &option, dock);
      fits(dock, dock->windowTitle(), metrics.horizontalAdvance(dock->windowTitle()), room.width());
    } else if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
      // The stacked docks' tabs and the captures' tabs: none elided.
      QStringList texts;
      for (int i = 0; i < tabs->count(); ++i) {
        glyphs(tabs, tabs->font(), tabs->tabText(i));
        texts << tabs->tabText(i);
      }
      fits(tabs, texts.join(QLatin1Char('|')), tabs->sizeHint().width(), tabs->width());
    } else if (auto *plot = qobject_cast<PlotWidget *>(widget)) {
      PlotAxis *time = plot->xAxis;
      if (!time || !time->visible())
        continue;
      for (const QString &row : std::as_const(time->secondRowLabels))
        glyphs(plot, time->labelFont(), row);
      for (const QString &tick : time->tickVectorLabels())
        glyphs(plot, time->tickLabelFont(), tick);
      for (PlotAxis *axis : plot->axisRect()->axes())
        glyphs(plot, axis->labelFont(), axis->label());
      // The second row under the tick labels stays inside the plot.
      const int bottom = plot->axisRect()->rect().bottom() + time->calculateMargin();
      fits(plot, QStringLiteral("time axis"), bottom, plot->height());
    }
  }
  if (auto *main = qobject_cast<QMainWindow *>(window)) {
    const QString message = main->statusBar()->currentMessage();
    if (!message.isEmpty()) {
      glyphs(main->statusBar(), main->statusBar()->font(), message);
      int permanent = 0;
      for (QWidget *child : main->statusBar()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible())
          permanent += child->width();
      }
      fits(main->statusBar(), message, QFontMetrics(main->statusBar()->font()).horizontalAdvance(message),
           main->statusBar()->width() - permanent);
    }
  }
  return problems;
}

// Whether the widget shows whole, inside every widget that holds it, with
// no scroll area scrolled to bring it there.
bool shownWithoutScrolling(QWidget *widget)
{
  if (!widget->isVisible())
    return false;
  for (QWidget *holder = widget->parentWidget(); holder; holder = holder->parentWidget()) {
    if (!holder->rect().contains(QRect(widget->mapTo(holder, QPoint(0, 0)), widget->size())))
      return false;
    if (auto *area = qobject_cast<QScrollArea *>(holder); area && area->verticalScrollBar()->value() != 0)
      return false;
    if (holder->isWindow())
      break;
  }
  return true;
}

// Brings a stacked dock to the front by clicking its tab; false when the
// dock is not among the window's stacked docks.
bool showDock(QMainWindow &window, QDockWidget *dock)
{
  for (QTabBar *tabs : window.findChildren<QTabBar *>(Qt::FindDirectChildrenOnly)) {
    for (int i = 0; tabs->isVisible() && i < tabs->count(); ++i) {
      if (tabs->tabText(i) == dock->windowTitle() && !dock->windowTitle().isEmpty()) {
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(i).center());
        QCoreApplication::processEvents();
        return true;
      }
    }
  }
  return false;
}

} // namespace

// The window as a user meets it on a 1366 x 768 screen: it fits, every
// label holds its text and every text has its glyphs, in both languages
// and both themes, with no device, a logger capture and a power supply.
class ScreenshotTest : public QObject
{
  Q_OBJECT
  QPalette m_palette;

private slots:
  void initTestCase() { m_palette = QApplication::palette(); }
  void init() { freshWindowState(); }
  void cleanup()
  {
    MainWindow::setClock({});
    clearSettings();
    // The dark theme is the application's: the next window starts light.
    QApplication::setPalette(m_palette);
    qApp->setStyleSheet(QString());
  }

  void firstStartFitsTheScreen_data()
  {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("switched"); // Ukrainian chosen once the window runs
    QTest::newRow("English") << 0 << false;
    QTest::newRow("Ukrainian") << 1 << false;
    QTest::newRow("Ukrainian after start") << 0 << true;
  }
  void firstStartFitsTheScreen()
  {
    QFETCH(int, language);
    QFETCH(bool, switched);
    writeSettings({{"Options/language", language}});
    SimBus bus;
    bus.add<SimLogger>();
    // As the program starts: the window shows, then the link finds the logger.
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    quietLink();
    pump();
    if (switched) {
      window.loadLanguage(QStringLiteral("uk"));
      language = 1;
    }
    QCoreApplication::processEvents();
    const QRect available = window.screen()->availableGeometry();
    QCOMPARE(available.size(), QSize(1366, 768));
    QVERIFY2(window.frameGeometry().height() <= available.height(), qPrintable(QString::number(window.frameGeometry().height())));
    QVERIFY(window.frameGeometry().width() <= available.width());
    QVERIFY(window.statusBar()->mapTo(&window, QPoint(0, window.statusBar()->height())).y() <= window.height());
    const QString folder = qEnvironmentVariable("TOVRI_SCREENSHOT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder))
      window.grab().save(QDir(folder).filePath(QStringLiteral("first-start-%1%2.png").arg(language).arg(switched ? "-switched" : "")));
    // Start and Stop show at once, in the dock that is up at first start.
    for (const char *name : {"btnStart", "btnStop"}) {
      auto *button = window.controlPanel()->findChild<QPushButton *>(name);
      QVERIFY(button);
      QVERIFY2(shownWithoutScrolling(button), name);
    }
    // The panels fit their docks across: no side scrolling.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (QDockWidget *dock : {window.dockControl(), window.dockStatus()}) {
      for (QScrollArea *area : dock->widget()->findChildren<QScrollArea *>())
        QVERIFY2(!area->horizontalScrollBar()->isVisible(), qPrintable(widgetName(area)));
    }
    // And at that first size every text is whole.
    const QStringList problems = textProblems(&window);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
  }

  void windowFitsItsTexts_data()
  {
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("device");
    for (int language : {0, 1}) {
      for (bool dark : {false, true}) {
        for (const char *device : {"none", "logger", "logger-running", "logger-unplugged", "supply", "supply-log",
                                   "logger-file", "supply-file"}) {
          QTest::addRow("%s %s %s", language ? "uk" : "en", dark ? "dark" : "light", device)
            << language << dark << QString::fromLatin1(device);
        }
      }
    }
  }
  void windowFitsItsTexts()
  {
    QFETCH(int, language);
    QFETCH(bool, dark);
    QFETCH(QString, device);
    QTemporaryDir dir;
    QString file;
    if (device == QLatin1String("logger-file")) {
      file = dir.filePath(QStringLiteral("run.tovri"));
      MainWindow writer;
      QVERIFY(addUnsavedCapture(writer, 20000));
      DialogScript script({DialogScript::file(file)});
      QVERIFY(writer.save(writer.tabWidget()->currentIndex()));
    } else if (device == QLatin1String("supply-file")) {
      file = writeSupplyCapture(dir.filePath(QStringLiteral("bench.kelvpow")), false, {0, 1, 4}, 300);
      QVERIFY(!file.isEmpty());
    }
    clearSettings();
    writeSettings({{"Options/language", language}, {"Options/dark-color", dark}, {"Main/markers_bar", true},
                   {"Main/save-path", dir.path()}, {"Options/time-length-index", MainWindow::MeasuringTimeRows - 2}});
    SimBus bus;
    SimDevice *attached = nullptr;
    // An opened file is looked at with no device on the link.
    if (file.isEmpty() && device.startsWith(QLatin1String("logger")))
      attached = bus.add<SimLogger>();
    else if (file.isEmpty() && device.startsWith(QLatin1String("supply")))
      attached = bus.add<SimPowerSupply>();
    MainWindow::setClock([&bus] { return bus.now(); });
    MainWindow window;
    quietLink();
    pump();
    window.resize(1366, 768);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (!file.isEmpty()) {
      QVERIFY(window.loadFile(file));
    } else if (device.startsWith(QLatin1String("logger"))) {
      // Readings in the report bar and both rows of time labels, inside the
      // first viewing interval or past it.
      DeviceControl command = CaptureRig::Rig::startCommand(0x07, 10);
      window.on_startMeasurement(command);
      QVERIFY(Helpers::isMeasuring);
      CaptureRig::runBus(bus, window, 3000);
      if (device == QLatin1String("logger")) {
        // The second row has its room from the start: the chart does not
        // move once the time axis scrolls.
        PlotWidget *plot = window.plotter();
        QVERIFY(plot && plot->xAxis->secondRowEnabled);
        plot->replot();
        const int early = plot->axisRect()->margins().bottom();
        CaptureRig::runBus(bus, window, 9000);
        QVERIFY(plot->xAxis->range().lower > 0);
        plot->replot();
        QCOMPARE(plot->axisRect()->margins().bottom(), early);
        window.on_stopButton();
        CaptureRig::runBus(bus, window, 100);
        QVERIFY(!Helpers::isMeasuring);
      } else if (device == QLatin1String("logger-unplugged")) {
        bus.unplug(attached);
        pump(1);
        QVERIFY(!Helpers::isMeasuring);
      }
    } else if (device == QLatin1String("supply-log")) {
      auto *panel = window.dockControl()->widget();
      auto *list = panel->findChild<QListWidget *>(QStringLiteral("listWidget"));
      auto *start = panel->findChild<QPushButton *>(QStringLiteral("btnStart"));
      QVERIFY(list && start);
      for (int row : {0, 1, 4})
        list->item(row)->setCheckState(Qt::Checked);
      start->click();
      CaptureRig::runBus(bus, window, 3000);
      QVERIFY(Helpers::isMeasuring);
    }
    if (auto *report = window.findChild<QWidget *>(QStringLiteral("reportBar")); window.m_actionReport->isVisible() &&
                                                                                 report && report->isHidden())
      window.m_actionReport->trigger();
    for (int i = 0; i < 3; ++i) {
      QCoreApplication::processEvents();
      if (PlotWidget *plot = window.plotter())
        plot->replot();
    }
    // Each of the stacked docks in turn, chosen by its tab as a user does.
    for (QDockWidget *dock : {window.dockControl(), window.dockStatus()}) {
      if (!showDock(window, dock) && dock->isHidden())
        continue;
      QVERIFY2(dock->isVisible() && !dock->visibleRegion().isEmpty(), qPrintable(dock->objectName()));
      QCoreApplication::processEvents();
      // Texts that timers changed last are laid out before they are judged.
      QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
      const QPixmap shot = window.grab();
      QVERIFY(!shot.isNull());
      const QString folder = qEnvironmentVariable("TOVRI_SCREENSHOT_DIR");
      if (!folder.isEmpty() && QDir().mkpath(folder))
        shot.save(QDir(folder).filePath(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')) +
                                        QLatin1Char('-') + dock->objectName() + QStringLiteral(".png")));
      const QStringList problems = textProblems(&window);
      QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
    if (Helpers::isMeasuring) {
      window.on_stopButton();
      CaptureRig::runBus(bus, window, 100);
    }
  }
};

TOVRI_TEST(ScreenshotTest)
#include "tst_screenshot.moc"
