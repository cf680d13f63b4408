#include "barsfixture.h"
#include "navigationbar.h"
#include "navigationsettings.h"
#include "plotgraph.h"
#include "plotwidget.h"
#include "swapfile.h"
#include "testmain.h"

#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// A finished logger capture of #1 and #2, 1000 samples 10 ms apart, whose
// #2 stands over 1500 mV for a tenth of the samples.
QString writePair(const QString &name)
{
  const QString path = QDir(QDir::tempPath()).filePath(name);
  SwapFile writer;
  if (!writer.create(path) || !writer.setLoggerHeader(6, 1))
    return {};
  QList<PlotDataMap *> maps{new PlotDataMap, new PlotDataMap, new PlotDataMap};
  for (qint64 i = 0; i < 1000; ++i) {
    maps[1]->insert(i * 0.01, PlotData(i * 0.01, 1200.0));
    maps[2]->insert(i * 0.01, PlotData(i * 0.01, i >= 300 && i < 400 ? 1600.0 : 1400.0));
  }
  const bool ok = writer.append(0, 0, maps, false) && writer.stop();
  qDeleteAll(maps);
  return ok ? path : QString();
}

// The capture file a tab holds after its capture, with its default scan.
std::unique_ptr<SwapFile> scannedFile(const QString &path)
{
  auto file = std::make_unique<SwapFile>(SwapFile::readHeader(path));
  file->file.setFileName(path);
  if (!file->readFiltered(nullptr))
    return nullptr;
  return file;
}

QPushButton *settingsButton(NavigationBar &bar)
{
  for (QPushButton *button : bar.findChildren<QPushButton *>()) {
    if (button->toolTip() == QLatin1String("Sets extreme values to display them on the navigation panel"))
      return button;
  }
  return nullptr;
}

} // namespace

// The strip's threshold dialog lets events run: its choice is for the
// capture it was opened over, and for no other.
class NavigationChoiceTest : public QObject
{
  Q_OBJECT

  // Opens the dialog from its button; while it is up, `meanwhile` runs and
  // #2 over 1500 mV is chosen and accepted. False when no dialog came.
  static bool chooseWhile(NavigationBar &bar, const std::function<void()> &meanwhile)
  {
    QPushButton *button = settingsButton(bar);
    if (!button || !button->isEnabled())
      return false;
    bool answered = false;
    QTimer::singleShot(0, &bar, [&] {
      auto *dialog = qobject_cast<NavigationSettings *>(QApplication::activeModalWidget());
      if (!dialog)
        return;
      answered = true;
      meanwhile();
      dialog->findChild<QRadioButton *>(QStringLiteral("radioButton2"))->setChecked(true);
      dialog->findChild<QDoubleSpinBox *>(QStringLiteral("doubleSpinBox"))->setValue(1500);
      dialog->accept();
    });
    button->click();
    return answered;
  }

private slots:
  void init() { removeSettingsFile(); }

  // The strip bound to another capture, the first one still open (its tab
  // is not current any more): neither capture takes the choice, and the
  // strip shows the other one's series as it was.
  void reboundToAnotherCapture()
  {
    const QString firstPath = writePair("asked.tmp");
    const QString otherPath = writePair("other.tmp");
    std::unique_ptr<SwapFile> asked = scannedFile(firstPath);
    std::unique_ptr<SwapFile> other = scannedFile(otherPath);
    QVERIFY(asked && other);
    NavigationBar bar;
    QVERIFY(bar.init(asked.get()));
    bar.enable();
    const PlotDataMap askedSeries = *asked->navigationSeries;
    const PlotDataMap otherSeries = *other->navigationSeries;
    QVERIFY(!otherSeries.isEmpty());
    const int channel = asked->navigationChannel;
    QCOMPARE(channel, 1);
    const double thresholds[3] = {asked->thresholds[0], asked->thresholds[1], asked->thresholds[2]};
    QVERIFY(thresholds[2] != 1500);

    QVERIFY(chooseWhile(bar, [&] { bar.init(other.get()); }));

    QCOMPARE(bar.boundFile(), other.get());
    QVERIFY(bar.isEnabledForClicks());
    for (SwapFile *file : {asked.get(), other.get()}) {
      QCOMPARE(file->navigationChannel, channel);
      for (int c = 0; c < 3; ++c)
        QCOMPARE(file->thresholds[c], thresholds[c]);
    }
    QCOMPARE(asked->navigationSeries->size(), askedSeries.size());
    QCOMPARE(other->navigationSeries->size(), otherSeries.size());
    QCOMPARE(bar.plotter->graph(0)->data()->size(), otherSeries.size());
  }

  // The capture closed while the dialog is up, the strip bound to none
  // since: the choice goes with it, nothing of it is touched, and the strip
  // shows nothing.
  void captureGoneUnbound()
  {
    const QString path = writePair("gone.tmp");
    std::unique_ptr<SwapFile> asked = scannedFile(path);
    QVERIFY(asked);
    NavigationBar bar;
    QVERIFY(bar.init(asked.get()));
    bar.enable();
    QVERIFY(!bar.plotter->graph(0)->data()->isEmpty());

    QVERIFY(chooseWhile(bar, [&] { asked.reset(); }));

    QVERIFY(!bar.boundFile());
    QVERIFY(bar.plotter->graph(0)->data()->isEmpty());
    QVERIFY(bar.isEnabledForClicks());
    QVERIFY(!settingsButton(bar)->isEnabled());
  }
};

TOVRI_TEST(NavigationChoiceTest)
#include "tst_navigationchoice.moc"
