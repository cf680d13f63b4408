#include "barsfixture.h"
#include "navigationbar.h"
#include "navigationsettings.h"
#include "plotgraph.h"
#include "plotitemline.h"
#include "swapfile.h"
#include "testmain.h"

#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
using Sample = std::function<double(int channel, qint64 index)>;

// Writes a logger capture of `count` samples `step` seconds apart through
// the capture file's own writer; `value` gives each channel's samples.
QString writeCapture(const QString &name, quint16 mask, qint64 count, double step, const Sample &value)
{
  const QString path = QDir(QDir::tempPath()).filePath(name);
  SwapFile writer;
  if (!writer.create(path) || !writer.setLoggerHeader(mask, 1))
    return {};
  QList<PlotDataMap *> maps;
  for (int c = 0; c < 3; ++c)
    maps << new PlotDataMap;
  for (qint64 i = 0; i < count; ++i)
    for (int c = 0; c < 3; ++c)
      if (mask & (1u << c))
        maps[c]->insert(i * step, PlotData(i * step, value(c, i)));
  const bool ok = writer.append(0, 0, maps, false) && writer.stop();
  qDeleteAll(maps);
  return ok ? path : QString();
}

// A tab's capture file after its capture: the default scan of its first channel.
SwapFile *boundFile(const QString &path, QObject *parent = nullptr)
{
  auto *file = new SwapFile(SwapFile::readHeader(path), parent);
  file->file.setFileName(path);
  if (!file->readFiltered(nullptr)) {
    delete file;
    return nullptr;
  }
  return file;
}

// Answers the next modal dialog of type T from the event loop.
template <typename T> void answer(std::function<void(T *)> act, bool *answered)
{
  QTimer::singleShot(0, [act, answered] {
    if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
      *answered = true;
      act(dialog);
    }
  });
}

void choose(NavigationSettings *d, int channel, double threshold)
{
  d->findChild<QRadioButton *>(QStringLiteral("radioButton%1").arg(channel))->setChecked(true);
  d->findChild<QDoubleSpinBox *>(QStringLiteral("doubleSpinBox"))->setValue(threshold);
}

QMouseEvent mouseAt(double x)
{
  return QMouseEvent(QEvent::MouseButtonRelease, QPointF(x, 5), QPointF(x, 5), Qt::LeftButton, Qt::NoButton,
                     Qt::NoModifier);
}

QList<double> levels(const PlotDataMap &series)
{
  QList<double> out;
  for (const PlotData &p : series)
    if (out.isEmpty() || out.last() != p.value)
      out << p.value;
  return out;
}
} // namespace

class NavigationBarTest : public QObject
{
  Q_OBJECT

private slots:
  void init() { removeSettingsFile(); }

  // Clicks count only while enabled, at the pixel-rounded time; moves only
  // inside 0 .. the overview's upper end.
  void clicksAndMoves()
  {
    const QString path = writeCapture("clicks.tmp", 1, 1000, 0.01, [](int, qint64 i) { return i % 100 ? 0.0 : 50000; });
    std::unique_ptr<SwapFile> file(boundFile(path));
    QVERIFY(file);
    NavigationBar bar;
    bar.resize(600, 100);
    bar.show();
    QVERIFY(bar.init(file.get()));
    bar.plotter->replot(PlotWidget::rpNow);
    QSignalSpy clicked(&bar, &NavigationBar::navigationClicked);
    QSignalSpy moved(&bar, &NavigationBar::navigationMoseMove);
    PlotWidget *plot = bar.plotter;

    QMouseEvent at = mouseAt(200.4);
    emit plot->axisClick(plot->xAxis, PlotAxis::spAxis, &at);
    emit plot->plottableClick(plot->graph(0), &at);
    QCOMPARE(clicked.size(), 0);
    bar.enable();
    emit plot->axisClick(plot->yAxis, PlotAxis::spAxis, &at);
    emit plot->axisClick(plot->xAxis, PlotAxis::spAxis, &at);
    emit plot->plottableClick(plot->graph(0), &at);
    QCOMPARE(clicked.size(), 2);
    QCOMPARE(clicked.at(0).at(0).toDouble(), plot->xAxis->pixelToCoord(200));
    QCOMPARE(clicked.at(1).at(0).toDouble(), plot->xAxis->pixelToCoord(200));

    plot->xAxis->setRange(-5, 5);
    const double zero = plot->xAxis->coordToPixel(0);
    for (double x : {zero - 10, zero + 10, plot->xAxis->coordToPixel(5) + 10}) {
      QMouseEvent move = mouseAt(x);
      emit plot->mouseMove(&move);
    }
    QCOMPARE(moved.size(), 1);
    QCOMPARE(moved.at(0).at(0).toDouble(), plot->xAxis->pixelToCoord(std::round(zero + 10)));

    bar.disable();
    emit plot->axisClick(plot->xAxis, PlotAxis::spAxis, &at);
    QCOMPARE(clicked.size(), 2);
  }

  // The overview's range is the file's: rebinding restores it; reset gives
  // the whole capture; the window line stays at the chart's window.
  void rangesAndWindowLine()
  {
    const QString a = writeCapture("a.tmp", 1, 81, 0.25, [](int, qint64) { return 0.0; });
    const QString b = writeCapture("b.tmp", 1, 21, 0.25, [](int, qint64) { return 0.0; });
    std::unique_ptr<SwapFile> fa(boundFile(a)), fb(boundFile(b));
    QVERIFY(fa && fb);
    QCOMPARE(fa->navigationSpan, PlotRange(0, fa->duration));
    QVERIFY(fa->duration >= 19.75);
    NavigationBar bar;
    QVERIFY(!bar.init(nullptr));
    SwapFile unnamed;
    QVERIFY(!bar.init(&unnamed));
    QVERIFY(bar.init(fa.get()));
    QCOMPARE(bar.plotter->xAxis->range(), fa->navigationSpan);
    bar.on_xRangeChanged(12, 8);
    auto *line = bar.plotter->findChild<PlotItemStraightLine *>();
    QVERIFY(line);
    QCOMPARE(line->point1->coords().x(), 10.0);

    bar.plotter->xAxis->setRange(3, 7);
    QVERIFY(bar.init(fb.get()));
    QCOMPARE(bar.plotter->xAxis->range(), fb->navigationSpan);
    QVERIFY(fb->navigationSpan.upper < 5.1);
    QVERIFY(bar.init(fa.get()));
    QCOMPARE(bar.plotter->xAxis->range(), PlotRange(3, 7));
    QCOMPARE(line->point1->coords().x(), 10.0); // not the overview's centre

    auto *reset = bar.findChildren<QPushButton *>().value(0);
    QVERIFY(reset);
    reset->click(); // disabled: nothing
    QCOMPARE(bar.plotter->xAxis->range(), PlotRange(3, 7));
    bar.enable();
    reset->click();
    QCOMPARE(bar.plotter->xAxis->range(), fa->navigationSpan);
    QCOMPARE(fa->navigationRange, fa->navigationSpan);

    bar.clear();
    QVERIFY(fa->navigationSeries->isEmpty());
    QCOMPARE(fa->navigationRange, PlotRange(0, 10));
  }

  // A capture of #1 and #2: thresholds are per channel, columns follow the
  // capture's channels.
  void rebuildFromDialog()
  {
    const QString path = writeCapture("pair.tmp", 6, 1000, 0.01, [](int c, qint64 i) {
      return c == 1 ? 1200.0 : (i >= 300 && i < 400 ? 1600.0 : 1400.0);
    });
    std::unique_ptr<SwapFile> file(boundFile(path));
    QVERIFY(file);
    NavigationBar bar;
    QVERIFY(bar.init(file.get()));
    // Default scan: #1 at its own threshold, 1000 mV.
    QCOMPARE(bar.plotter->yAxis->range(), PlotRange(0, 1000));
    QCOMPARE(levels(*file->navigationSeries), QList<double>({0, 1000, 0}));
    bar.enable();

    bool answered = false;
    bool zeroEnabled = true;
    answer<NavigationSettings>(
        [&](NavigationSettings *d) {
          zeroEnabled = d->findChild<QRadioButton *>("radioButton0")->isEnabled();
          choose(d, 2, 1500);
          d->accept();
        },
        &answered);
    bar.on_settings();
    QVERIFY(answered);
    QVERIFY(!zeroEnabled);
    QCOMPARE(file->navigationChannel, 2);
    QCOMPARE(file->navigationColumn, 1);
    QCOMPARE(file->thresholds[2], 1500.0);
    QCOMPARE(bar.plotter->yAxis->range(), PlotRange(0, 1500));
    QCOMPARE(levels(*file->navigationSeries), QList<double>({0, 1500, 0}));
    const PlotDataMap shown = *bar.plotter->graph(0)->data();
    QCOMPARE(shown.size(), file->navigationSeries->size());
    auto high = std::find_if(shown.cbegin(), shown.cend(), [](const PlotData &p) { return p.value > 0; });
    QVERIFY(high != shown.cend());
    QVERIFY(qAbs(high->key - 3.0) < 0.05);
    QCOMPARE(storedSetting("Options/thresholds").toString(), QStringLiteral("25,1000,1500"));
    QVERIFY(bar.isEnabledForClicks());

    // Cancel keeps the edited threshold in the key, rebuilds nothing.
    const PlotDataMap before = *file->navigationSeries;
    answer<NavigationSettings>(
        [](NavigationSettings *d) {
          choose(d, 1, 777);
          d->reject();
        },
        &answered);
    bar.on_settings();
    QCOMPARE(storedSetting("Options/thresholds").toString(), QStringLiteral("25,777,1500"));
    QCOMPARE(file->navigationChannel, 2);
    QCOMPARE(file->navigationSeries->size(), before.size());
  }

  void unitFollowsChannel()
  {
    SwapFileHeader header;
    header.channelMask = 7;
    double thresholds[3] = {25, 1000, 3200};
    NavigationSettings dialog(header, thresholds, {1, 1, 900});
    auto *unit = dialog.findChild<QLabel *>("labelUnit");
    auto *spin = dialog.findChild<QDoubleSpinBox *>("doubleSpinBox");
    QCOMPARE(unit->text(), QStringLiteral("mV"));
    QCOMPARE(spin->value(), 900.0);
    dialog.findChild<QRadioButton *>("radioButton0")->setChecked(true);
    QCOMPARE(unit->text(), QStringLiteral("mA"));
    QCOMPARE(spin->value(), 25.0);
    QCOMPARE(std::get<2>(dialog.params()), 25.0);
  }

  // A device arrival closes every tab while the rebuild turns the event loop.
  void tabClosedDuringRebuild()
  {
    const QString path =
        writeCapture("closed.tmp", 1, 20000, 0.0001, [](int, qint64 i) { return i % 7 ? 0.0 : 90000; });
    SwapFile *file = boundFile(path);
    QVERIFY(file);
    NavigationBar bar;
    QVERIFY(bar.init(file));
    bar.enable();
    QSignalSpy clicked(&bar, &NavigationBar::navigationClicked);
    bool answered = false;
    answer<NavigationSettings>(
        [&](NavigationSettings *d) {
          choose(d, 0, 10);
          d->accept();
          QTimer::singleShot(0, [&file] {
            delete file;
            file = nullptr;
          });
        },
        &answered);
    bar.on_settings();
    QVERIFY(answered);
    QVERIFY(!file);
    QVERIFY(!bar.boundFile());
    QVERIFY(bar.plotter->graph(0)->data()->isEmpty());
    // Unbound: nothing happens.
    bar.on_settings();
    QMouseEvent at = mouseAt(100);
    emit bar.plotter->axisClick(bar.plotter->xAxis, PlotAxis::spAxis, &at);
    QCOMPARE(clicked.size(), 0);
    bar.findChildren<QPushButton *>().value(0)->click();
  }

  // The tab closed and the strip bound to another capture while the
  // dialog is up: the choice made for the closed one changes no other.
  void reboundDuringTheDialog()
  {
    const QString path = writeCapture("gone.tmp", 6, 1000, 0.01, [](int, qint64) { return 1200.0; });
    const QString other = writeCapture("other.tmp", 6, 1000, 0.01, [](int, qint64) { return 1200.0; });
    SwapFile *file = boundFile(path);
    std::unique_ptr<SwapFile> next(boundFile(other));
    QVERIFY(file && next);
    NavigationBar bar;
    QVERIFY(bar.init(file));
    bar.enable();
    const PlotDataMap series = *next->navigationSeries;
    bool answered = false;
    answer<NavigationSettings>(
        [&](NavigationSettings *d) {
          delete file;
          file = nullptr;
          bar.init(next.get());
          choose(d, 2, 1500);
          d->accept();
        },
        &answered);
    bar.on_settings();
    QVERIFY(answered);
    QCOMPARE(bar.boundFile(), next.get());
    QCOMPARE(next->navigationChannel, 1);
    QCOMPARE(next->thresholds[2], 3200.0);
    QCOMPARE(next->navigationSeries->size(), series.size());
    QVERIFY(bar.isEnabledForClicks());
  }

  // The scan keeps a few points per bin whatever the crossings, and a lone
  // sample over the threshold still stands out.
  // A tab without a capture, or a closed one, leaves nothing of the capture
  // shown before: no trace, no window line, no clicks, no buttons.
  void noCaptureShowsNothing_data()
  {
    QTest::addColumn<bool>("closed");
    QTest::newRow("tab without a capture") << false;
    QTest::newRow("capture's tab closed") << true;
  }

  void noCaptureShowsNothing()
  {
    QFETCH(bool, closed);
    const QString path = writeCapture("gone.tmp", 1, 1000, 0.01, [](int, qint64 i) { return i % 100 ? 0.0 : 50000; });
    std::unique_ptr<SwapFile> file(boundFile(path));
    QVERIFY(file);
    NavigationBar bar;
    bar.resize(600, 100);
    bar.show();
    QVERIFY(bar.init(file.get()));
    bar.enable();
    bar.on_xRangeChanged(2, 4);
    PlotWidget *plot = bar.plotter;
    auto *line = plot->findChild<PlotItemStraightLine *>();
    QVERIFY(line && line->visible());
    QVERIFY(!plot->graph(0)->data()->isEmpty());
    const QList<QPushButton *> buttons = bar.findChildren<QPushButton *>();
    QCOMPARE(buttons.size(), 2);

    SwapFile unnamed;
    if (closed)
      file.reset();
    else
      QVERIFY(!bar.init(&unnamed));
    QVERIFY(plot->graph(0)->data()->isEmpty());
    QVERIFY(!line->visible());
    for (QPushButton *button : buttons)
      QVERIFY(!button->isEnabled());
    QSignalSpy clicked(&bar, &NavigationBar::navigationClicked);
    QMouseEvent at = mouseAt(200);
    emit plot->axisClick(plot->xAxis, PlotAxis::spAxis, &at);
    emit plot->plottableClick(plot->graph(0), &at);
    QCOMPARE(clicked.size(), 0);
    // The window moves on; the line still marks nothing.
    bar.on_xRangeChanged(5, 7);
    QVERIFY(!line->visible());

    // A capture again: all of it is back.
    std::unique_ptr<SwapFile> again(boundFile(path));
    QVERIFY(bar.init(again.get()));
    QVERIFY(!plot->graph(0)->data()->isEmpty());
    QVERIFY(line->visible());
    for (QPushButton *button : buttons)
      QVERIFY(button->isEnabled());
    emit plot->axisClick(plot->xAxis, PlotAxis::spAxis, &at);
    QCOMPARE(clicked.size(), 1);
  }

  void scanBins_data()
  {
    QTest::addColumn<qint64>("count");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("pattern"); // 0 lone sample at the middle, 1 crossings every ms, 2 a spike each second
    QTest::addColumn<int>("runs");
    QTest::newRow("lone sample") << qint64(10000) << 0.001 << 0 << 1;
    QTest::newRow("crossings every ms, 10 s") << qint64(100000) << 0.0001 << 1 << 1;
    QTest::newRow("crossings every ms, 20 s") << qint64(200000) << 0.0001 << 1 << 1;
    QTest::newRow("a spike each second") << qint64(10000) << 0.001 << 2 << 10;
  }

  void scanBins()
  {
    QFETCH(qint64, count);
    QFETCH(double, step);
    QFETCH(int, pattern);
    QFETCH(int, runs);
    const QString path = writeCapture("bins.tmp", 1, count, step, [&](int, qint64 i) {
      const bool high = pattern == 0 ? i == count / 2 : pattern == 1 ? (i / 5) % 2 == 0 : i % 1000 == 0;
      return high ? 30000.0 : 0.0;
    });
    std::unique_ptr<SwapFile> file(boundFile(path));
    QVERIFY(file);
    const PlotDataMap &series = *file->navigationSeries;
    int starts = 0;
    double previous = 0;
    for (const PlotData &p : series) {
      if (p.value > 0 && previous == 0)
        ++starts;
      QVERIFY(p.value == 0 || p.value == 25);
      previous = p.value;
    }
    QCOMPARE(starts, runs);
    QVERIFY(series.size() <= 4 * runs + 4);
    if (pattern == 0) {
      const double t = (count / 2) * step;
      QCOMPARE(series.value(t).value, 25.0);
      QCOMPARE(series.value(t + step).value, 0.0);
    }
    QCOMPARE(file->navigationSpan, PlotRange(0, file->duration));
    QVERIFY(file->duration >= (count - 2) * step);
  }

  // Parts that are no positive finite number take that channel's default.
  void damagedThresholds_data()
  {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QList<double>>("expected");
    QTest::newRow("valid") << "30,2000.5,1e3" << QList<double>{30, 2000.5, 1000};
    QTest::newRow("not numbers") << "x,,3.3.3" << QList<double>{25, 1000, 3200};
    QTest::newRow("zero and negative") << "0,-5,7" << QList<double>{25, 1000, 7};
    QTest::newRow("nan and inf") << "nan,inf,-inf" << QList<double>{25, 1000, 3200};
    QTest::newRow("two parts: kept") << "1,2" << QList<double>{11, 12, 13};
  }

  void damagedThresholds()
  {
    QFETCH(QString, stored);
    QFETCH(QList<double>, expected);
    storeSetting("Options/thresholds", stored);
    double t[3] = {11, 12, 13};
    SwapFile::loadThresholds(t);
    QCOMPARE(QList<double>({t[0], t[1], t[2]}), expected);
  }
};

TOVRI_TEST(NavigationBarTest)
#include "tst_navigationbar.moc"
