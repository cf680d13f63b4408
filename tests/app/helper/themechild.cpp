// A session on the window in a process of its own, for the theme test: the
// colour theme is switched in the options dialog after each step (update
// checks, a flashing dialog, a supply or a logger plugged and unplugged while
// the dialog is up, dock and size changes, a closed tab, a closed
// calculator). The parent picks the scale factor and has freed memory
// overwritten, so that a widget the framework still holds after it has gone
// brings this process down at the switch that reads it.
//
// Usage: tst_app_themechild logger|supply
// Prints "step <name>" before each step and "done" at the end.
#include "appfixture.h"
#include "calculator.h"
#include "helpers.h"
#include "httpserver.h"
#include "optionsdialog.h"

#include <QDockWidget>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace AppFixture;

namespace {

constexpr int WaitMs = 30000;

void step(const char *name)
{
  std::printf("step %s\n", name);
  std::fflush(stdout);
}

bool fail(const char *why)
{
  std::printf("failed %s\n", why);
  std::fflush(stdout);
  return false;
}

// Both themes in turn, as the user clicks them.
void switchTheme(OptionsDialog *dialog)
{
  for (int i = 0; i < 2; ++i) {
    auto *dark = dialog->findChild<QRadioButton *>(QStringLiteral("radioButtonDark"));
    auto *light = dialog->findChild<QRadioButton *>(QStringLiteral("radioButtonLight"));
    (dark->isChecked() ? light : dark)->click();
    QCoreApplication::processEvents();
  }
}

// Runs `act` inside the options dialog once it is modal, then closes it.
bool inOptions(MainWindow &window, const std::function<bool(OptionsDialog *)> &act)
{
  bool ran = false, ok = false;
  QTimer::singleShot(0, [&] {
    auto *dialog = qobject_cast<OptionsDialog *>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    ran = true;
    step("options opened");
    switchTheme(dialog);
    ok = act(dialog);
    dialog->reject();
  });
  window.m_actionSettings->trigger();
  return ran ? ok : fail("the options dialog did not open");
}

bool check(OptionsDialog *dialog, const char *button)
{
  auto *b = dialog->findChild<QAbstractButton *>(QLatin1String(button));
  const QString idle = b->text();
  b->click();
  if (!QTest::qWaitFor([&] { return b->text() == idle; }, WaitMs))
    return fail("no answer to the check");
  switchTheme(dialog);
  return true;
}

bool flashingDialog(OptionsDialog *dialog)
{
  // The firmware file is missing: the dialog says so and is closed.
  QTimer::singleShot(0, [] {
    if (auto *flash = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
      flash->reject();
  });
  dialog->findChild<QAbstractButton *>(QStringLiteral("btnUpdateFirm"))->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  switchTheme(dialog);
  return true;
}

struct Session
{
  SimBus &bus;
  SimLogger *logger;
  SimPowerSupply *supply;
  MainWindow &window;

  void replug(SimDevice *out, SimDevice *in, OptionsDialog *dialog)
  {
    if (out) {
      bus.unplug(out);
      pump();
      switchTheme(dialog);
    }
    if (in) {
      bus.plug(in);
      pump();
      switchTheme(dialog);
    }
  }

  // Ends with the kind of device it began with: a session begun with a
  // logger takes the same round from its last swap.
  bool devices(OptionsDialog *dialog)
  {
    const struct
    {
      const char *name;
      SimDevice *out, *in;
    } swaps[] = {{"supply unplugged and plugged again", supply, supply},
                 {"supply swapped for a logger", supply, logger},
                 {"logger swapped for a supply", logger, supply}};
    const int first = Helpers::powerMode ? 0 : 2;
    for (int i = 0; i < 3; ++i) {
      const auto &swap = swaps[(first + i) % 3];
      step(swap.name);
      replug(swap.out, swap.in, dialog);
    }
    return true;
  }

  bool docksAndSize(OptionsDialog *dialog)
  {
    QDockWidget *control = window.dockControl();
    QDockWidget *status = window.dockStatus();
    step("control dock floated");
    control->setFloating(true);
    switchTheme(dialog);
    step("control dock docked left");
    window.addDockWidget(Qt::LeftDockWidgetArea, control);
    control->setFloating(false);
    switchTheme(dialog);
    step("docks tabified");
    window.tabifyDockWidget(status, control);
    switchTheme(dialog);
    step("docks apart");
    window.addDockWidget(Qt::RightDockWidgetArea, control);
    switchTheme(dialog);
    step("window resized");
    window.resize(window.width() - 120, window.height() - 80);
    QCoreApplication::processEvents();
    switchTheme(dialog);
    step("window maximized");
    window.showMaximized();
    QCoreApplication::processEvents();
    switchTheme(dialog);
    step("window restored");
    window.showNormal();
    QCoreApplication::processEvents();
    switchTheme(dialog);
    return true;
  }

  bool insideOptions()
  {
    return inOptions(window, [&](OptionsDialog *dialog) {
      step("software check");
      if (!check(dialog, "btnCheckUpdateSoft"))
        return false;
      step("firmware check");
      if (!check(dialog, "btnCheckUpdateFirm"))
        return false;
      step("flashing dialog closed");
      flashingDialog(dialog);
      return devices(dialog) && docksAndSize(dialog);
    });
  }

  // The logger's own windows: a closed tab and a closed calculator.
  bool loggerWindows()
  {
    step("tab closed");
    window.addTab();
    answerNextBox(QMessageBox::Yes);
    emit window.tabWidget()->tabBar()->tabCloseRequested(window.tabWidget()->count() - 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!inOptions(window, [](OptionsDialog *) { return true; }))
      return false;
    step("calculator closed");
    // A fresh tab holds no capture to estimate from; the calculator opens all the same.
    window.m_actionCalculator->setEnabled(true);
    window.m_actionCalculator->trigger();
    auto *calculator = window.findChild<Calculator *>(QStringLiteral("Calculator"));
    if (!calculator)
      return fail("no calculator");
    calculator->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return inOptions(window, [](OptionsDialog *) { return true; });
  }
};

} // namespace

int main(int argc, char **argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tovri-theme-child"));
  const bool supplyFirst = app.arguments().value(1) == QLatin1String("supply");

  QTemporaryDir dir;
  if (!dir.isValid())
    return 2;
  HttpServer server;
  server.route(QStringLiteral("/api/getsoftware"),
               HttpReply::xml("<INFO>notes</INFO><VERSION>9.0.0</VERSION><LINK>https://example.invalid/sw</LINK>"));
  server.route(QStringLiteral("/api/getfirmware"),
               HttpReply::xml("<INFO>notes</INFO><VERSION>9.0.0</VERSION><LINK>https://example.invalid/fw.bin</LINK>"));
  Downloader::setLoopbackHttpAllowed(true);
  Updater::setServerForTesting(server.url(QStringLiteral("/api")));
  writeSettings({{"Update/update-path-fw", dir.filePath(QStringLiteral("missing.bin"))},
                 {"Update/auto-check-soft", false},
                 {"Update/auto-check-firm", false}});

  int result = 0;
  {
    SimBus bus;
    auto *logger = bus.add<SimLogger>();
    auto *supply = bus.add<SimPowerSupply>();
    bus.unplug(supplyFirst ? static_cast<SimDevice *>(logger) : supply);
    MainWindow window;
    window.show();
    quietLink();
    pump();
    if (Helpers::powerMode != supplyFirst)
      return 4;
    Session session{bus, logger, supply, window};
    const bool ok = session.insideOptions() && (supplyFirst || session.loggerWindows());
    result = ok ? 0 : 3;
  }
  if (result == 0) {
    std::printf("done\n");
    std::fflush(stdout);
  }
  return result;
}
