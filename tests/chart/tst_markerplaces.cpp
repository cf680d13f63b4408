#include "barsfixture.h"
#include "marker.h"
#include "markerbar.h"
#include "markerline.h"
#include "plotaxisrect.h"
#include "swapfile.h"
#include "testmain.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <memory>

// Where the marker pair stands and what it marks when the chart under it has
// little or no room, is laid out late, or is another one.
namespace {
// A marker bar as the main window lays it out (a child placed at x = 10,
// 900 wide: its middle is 459) over a shown chart holding a capture.
struct Places
{
  QWidget window;
  MarkerBar *bar = new MarkerBar(&window);
  std::unique_ptr<LoggerChart> chart = shownChart(0, 10);

  Places()
  {
    window.resize(1000, 600);
    bar->setGeometry(10, 0, 900, 24);
  }

  static std::unique_ptr<LoggerChart> shownChart(double lower, double upper, int width = 900)
  {
    auto c = std::make_unique<LoggerChart>(lower, upper);
    c->widget->swapFile->file.setFileName(QStringLiteral("capture.tmp"));
    c->widget->show();
    setWidth(*c, width);
    return c;
  }
  static void setWidth(LoggerChart &c, int width)
  {
    c.plot->resize(width, 500);
    c.plot->replot(PlotWidget::rpNow);
  }
  // The smallest plot width whose data area is at least `least` pixels wide
  // and narrower than `below`; 0 when there is none.
  static int widthFor(LoggerChart &c, int least, int below)
  {
    for (int w = 40; w < 400; ++w) {
      setWidth(c, w);
      const int area = c.plot->axisRect()->rect().width();
      if (area >= least && area < below)
        return w;
    }
    return 0;
  }

  Marker *t1() const { return bar->marker(0); }
  Marker *t2() const { return bar->marker(1); }
  PlotAxis *axis() const { return chart->plot->xAxis; }
  void rangeChanged(PlotAxis *a)
  {
    PlotRange n = a->range(), o = a->range();
    bar->on_rangeChanged(n, o, a);
  }
};

bool inside(const PlotAxis *axis, double time)
{
  return std::isfinite(time) && axis->range().contains(time);
}

QString where(const Marker *m)
{
  return QStringLiteral("%1 at x %2, %3 s").arg(m->name).arg(m->x).arg(m->time);
}

struct LineProbe : MarkerLine
{
  using MarkerLine::MarkerLine;
};
} // namespace

class MarkerPlacesTest : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    removeSettingsFile();
    Helpers::isMeasuring = false;
  }

  // A fresh tab holds no capture yet, and another window and layout than
  // the one its capture is shown in: the pair takes its first place on
  // the chart that shows the capture, T1 at the middle of its time range.
  void firstPlaceOnTheChartShown_data()
  {
    QTest::addColumn<bool>("stored");
    QTest::newRow("no stored places") << false;
    QTest::newRow("stored places") << true;
  }
  void firstPlaceOnTheChartShown()
  {
    QFETCH(bool, stored);
    if (stored) {
      storeSetting("Main/marker-1", 300);
      storeSetting("Main/marker-2", 420);
    }
    Places f;
    auto fresh = Places::shownChart(0, 5, 600);
    fresh->widget->swapFile->file.setFileName(QString());
    f.bar->setPlotter(fresh->widget);
    QVERIFY(f.t1() && f.t2());
    QVERIFY(!f.bar->placed());
    // The capture arrives in another window of time, the chart is resized.
    fresh->plot->xAxis->setRange(40, 60);
    f.rangeChanged(fresh->plot->xAxis);
    Places::setWidth(*fresh, 900);
    QVERIFY(!f.bar->placed());
    fresh->widget->swapFile->file.setFileName(QStringLiteral("capture.tmp"));
    f.bar->setPlotter(fresh->widget);
    QVERIFY(f.bar->placed());
    PlotAxis *axis = fresh->plot->xAxis;
    if (stored) {
      QCOMPARE(f.t1()->x, 300.0);
      QCOMPARE(f.t2()->x, 420.0);
      QCOMPARE(f.t1()->time, axis->pixelToCoord(300));
    } else {
      QCOMPARE(f.t1()->time, 50.0);
      QCOMPARE(f.t1()->x, axis->coordToPixel(50.0));
      QCOMPARE(f.t2()->x, f.t1()->x + 16);
    }
    QCOMPARE(f.t2()->time, axis->pixelToCoord(f.t2()->x));
  }

  // A pair made on a chart whose time axis has no length: no pixel has a
  // time, yet both markers hold finite times of the shown window.
  void pairMadeWithoutLength()
  {
    Places f;
    f.bar->setPlotter(f.chart->widget);
    Places::setWidth(*f.chart, 30);
    QCOMPARE(f.chart->plot->axisRect()->rect().width(), 0);
    f.bar->removeAll();
    QVERIFY(f.bar->addMarker());
    QVERIFY2(inside(f.axis(), f.t1()->time), qPrintable(where(f.t1())));
    QVERIFY2(inside(f.axis(), f.t2()->time), qPrintable(where(f.t2())));
  }

  // A data area narrower than a tag gives no time under the places: the
  // markers keep the times they mark while the window still holds them, take
  // times inside it when it does not, in their order, and stand on the chart
  // apart once it has room again.
  void noRoomKeepsTimesInTheWindow_data()
  {
    QTest::addColumn<int>("least"); // the data area's width, at least
    QTest::addColumn<int>("below"); // and less than
    QTest::newRow("no length") << 0 << 1;
    QTest::newRow("a few pixels") << 2 << 8;
    QTest::newRow("just short of a tag") << 8 << 16;
  }
  void noRoomKeepsTimesInTheWindow()
  {
    QFETCH(int, least);
    QFETCH(int, below);
    Places f;
    f.bar->setPlotter(f.chart->widget);
    f.window.show();
    Marker *t1 = f.t1(), *t2 = f.t2();
    const double x1 = 500;
    t1->move(x1, f.axis()->pixelToCoord(x1));
    t2->move(x1 + 60, f.axis()->pixelToCoord(x1 + 60));
    const double times[2] = {t1->time, t2->time};
    QVERIFY(Places::widthFor(*f.chart, least, below));
    f.bar->on_sizeChanged();
    QCOMPARE(t1->time, times[0]);
    QCOMPARE(t2->time, times[1]);

    // A window that still holds the times keeps them.
    f.axis()->setRange(2, 12);
    f.rangeChanged(f.axis());
    f.chart->plot->replot(PlotWidget::rpNow);
    QCOMPARE(t1->time, times[0]);
    QCOMPARE(t2->time, times[1]);

    // One that does not gets times of its own, as the strip and its tooltip
    // show them.
    QList<QPointF> points;
    for (int k = 0; k <= 100; ++k)
      points << QPointF(20 + k * 0.1, 1000 + k);
    f.chart->fill(0, points);
    f.axis()->setRange(20, 30);
    f.rangeChanged(f.axis());
    f.chart->plot->replot(PlotWidget::rpNow);
    QVERIFY2(inside(f.axis(), t1->time) && inside(f.axis(), t2->time), qPrintable(where(t1) + ", " + where(t2)));
    QVERIFY2(t1->time < t2->time, qPrintable(where(t1) + ", " + where(t2)));
    f.bar->updateToolTip();
    QVERIFY2(f.bar->toolTipText.contains("#0: "), qPrintable(f.bar->toolTipText));

    Places::setWidth(*f.chart, 900);
    const double lo = f.axis()->coordToPixel(20), hi = f.axis()->coordToPixel(30);
    for (const Marker *m : {t1, t2}) {
      QVERIFY2(m->x >= lo && m->x <= hi, qPrintable(where(m)));
      QCOMPARE(m->time, f.axis()->pixelToCoord(m->x));
    }
    QVERIFY2(t1->x + 16 <= t2->x, qPrintable(where(t1) + ", " + where(t2)));
  }

  // Times far beyond what a pixel can tell (a window of most of the double
  // range, a tag past its end): a marker keeps the finite time it had.
  void noTimeBeyondTheDoubles()
  {
    Places f;
    f.bar->setPlotter(f.chart->widget);
    const double before = f.t2()->time;
    f.t2()->move(f.axis()->coordToPixel(10) + 400, before);
    f.axis()->setRangeMin(-1e308);
    f.axis()->setRangeMax(1e308);
    f.axis()->setRangeLower(-8e307);
    f.axis()->setRangeUpper(8e307);
    QVERIFY(std::isfinite(f.axis()->range().size()));
    f.rangeChanged(f.axis());
    QVERIFY2(std::isfinite(f.t1()->time), qPrintable(where(f.t1())));
    QCOMPARE(f.t2()->time, before);
  }

  // Another chart handed over while it is not laid out yet: a resize of the
  // window in between leaves the pair to that chart's first layout, which
  // keeps the tags where they stand on the strip.
  void resizeLeavesAPairOwedItsPlaces()
  {
    Places f;
    f.bar->setPlotter(f.chart->widget);
    const double x[2] = {f.t1()->x, f.t2()->x};
    auto other = std::make_unique<LoggerChart>(20, 30);
    other->widget->swapFile->file.setFileName(QStringLiteral("capture.tmp"));
    other->plot->resize(800, 500);
    other->plot->replot(PlotWidget::rpNow);
    f.bar->setPlotter(other->widget);
    other->widget->show();
    f.bar->on_sizeChanged();
    other->plot->replot(PlotWidget::rpNow);
    PlotAxis *axis = other->plot->xAxis;
    for (int i = 0; i < 2; ++i) {
      QCOMPARE(f.bar->marker(i)->x, x[i]);
      QCOMPARE(f.bar->marker(i)->time, axis->pixelToCoord(x[i]));
    }
  }

  // A pair the chart does not show is put back on it, a tag apart, in the
  // order it had, and never past either end of the time axis.
  void pairPutBackOnTheChart_data()
  {
    QTest::addColumn<bool>("crossed"); // T1 was dragged past T2
    QTest::addColumn<int>("least");    // the other chart's data area, at least
    QTest::addColumn<int>("below");    // and less than
    QTest::newRow("in order") << false << 300 << 1000;
    QTest::newRow("T1 dragged past T2") << true << 300 << 1000;
    QTest::newRow("in order, short axis") << false << 16 << 28;
    QTest::newRow("T1 dragged past T2, short axis") << true << 16 << 28;
  }
  void pairPutBackOnTheChart()
  {
    QFETCH(bool, crossed);
    QFETCH(int, least);
    QFETCH(int, below);
    Places f;
    f.bar->setPlotter(f.chart->widget);
    const double right = std::round(f.axis()->coordToPixel(9.5));
    Marker *lead = crossed ? f.t2() : f.t1();
    lead->move(right - 40, f.axis()->pixelToCoord(right - 40));
    lead->partner->move(right, f.axis()->pixelToCoord(right));
    auto other = Places::shownChart(0, 10);
    if (least < 300) {
      QVERIFY(Places::widthFor(*other, least, below));
    } else {
      Places::setWidth(*other, 500);
    }
    PlotAxis *axis = other->plot->xAxis;
    const double lo = axis->coordToPixel(0), hi = axis->coordToPixel(10);
    QVERIFY(right > hi);
    f.bar->setPlotter(other->widget);
    const QString both = where(f.t1()) + ", " + where(f.t2());
    QVERIFY2(lead->x >= lo && lead->partner->x <= hi, qPrintable(both));
    QCOMPARE(lead->partner->x, lead->x + 16);
    for (const Marker *m : {f.t1(), f.t2()}) {
      QVERIFY2(inside(axis, m->time), qPrintable(both));
      QCOMPARE(m->time, axis->pixelToCoord(m->x));
    }
  }

  // The chart's lines are drawn again where the markers now stand once a
  // chart moved them: here another chart that does not reach their places.
  void linesRedrawnWhereTheMarkersMoved()
  {
    Places f;
    f.bar->setPlotter(f.chart->widget);
    f.t1()->color = QColor(Qt::magenta);
    f.t1()->move(800, f.axis()->pixelToCoord(800));
    f.t2()->move(830, f.axis()->pixelToCoord(830));
    f.window.show();
    QVERIFY(f.bar->isVisible());
    auto other = Places::shownChart(0, 10, 500);
    other->plot->addItem(new LineProbe(f.bar, other->plot));
    other->plot->replot(PlotWidget::rpNow);
    QCoreApplication::processEvents();
    f.bar->setPlotter(other->widget);
    QVERIFY(f.t1()->x < 500);
    const int y = other->plot->axisRect()->rect().center().y();
    const int x = int(f.t1()->x);
    QTRY_COMPARE(other->plot->grab().toImage().pixelColor(x, y), QColor(Qt::magenta));
  }
};

TOVRI_TEST(MarkerPlacesTest)
#include "tst_markerplaces.moc"
