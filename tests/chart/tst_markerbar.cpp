#include "barsfixture.h"
#include "marker.h"
#include "markerbar.h"
#include "markerline.h"
#include "plotaxisrect.h"
#include "plotpainter.h"
#include "swapfile.h"
#include "testmain.h"

#include <QApplication>
#include <QColorDialog>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
// A marker bar as the main window lays it out: a child placed at x = 10.
struct BarFixture
{
  QWidget window;
  MarkerBar *bar = new MarkerBar(&window);
  LoggerChart *chart = new LoggerChart(0, 10);

  BarFixture()
  {
    window.resize(1000, 600);
    bar->setGeometry(10, 0, 900, 24);
    // The chart holds a capture: the markers have times to mark.
    chart->widget->swapFile->file.setFileName(QStringLiteral("capture.tmp"));
    // A shown chart has its real layout: pixels and times line up.
    chart->widget->show();
    chart->plot->replot(PlotWidget::rpNow);
  }
  ~BarFixture() { delete chart; }
  PlotAxis *axis() const { return chart->plot->xAxis; }
};

// Expected places: T1 at the bar's middle, T2 a tag's width to its right,
// as for a place off the bar.
constexpr double Fallback = -4;
// A stored place this far past the end of the fixture's time axis.
constexpr double PastEnd = 10000;

void sendMouse(QWidget *w, QEvent::Type type, double x, Qt::MouseButton button)
{
  const QPointF pos(x, 10);
  const bool move = type == QEvent::MouseMove;
  QMouseEvent e(type, pos, w->mapToGlobal(pos), move ? Qt::NoButton : button,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

struct LineProbe : MarkerLine
{
  using MarkerLine::MarkerLine;
  using MarkerLine::draw;
};
} // namespace

class MarkerBarTest : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    removeSettingsFile();
    Helpers::isMeasuring = false;
  }

  void firstPlacement_data()
  {
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<double>("x1");       // -1: middle of the time range
    QTest::addColumn<double>("x2");       // -1: T1 + 16
    QTest::addColumn<QColor>("color");
    // Bar from A = 10 to B = 909: middle 459.
    QTest::newRow("no keys") << QVariantMap{} << -1.0 << -1.0 << QColor(Qt::black);
    QTest::newRow("stored inside") << QVariantMap{{"marker-1", 100.5}, {"marker-2", 300}, {"marker-color", "#ff00ff"}}
                                   << 100.5 << 300.0 << QColor("#ff00ff");
    QTest::newRow("past B") << QVariantMap{{"marker-1", 2000}, {"marker-2", 5}} << 459.0 << 475.0
                            << QColor(Qt::black);
    QTest::newRow("not numbers") << QVariantMap{{"marker-1", "abc"}, {"marker-2", "nan"}, {"marker-color", "nocolour"}}
                                 << 459.0 << 475.0 << QColor(Qt::black);
    QTest::newRow("infinite") << QVariantMap{{"marker-1", "inf"}, {"marker-2", "-inf"}} << 459.0 << 475.0
                              << QColor(Qt::black);
    QTest::newRow("T2 not a number") << QVariantMap{{"marker-1", 100}, {"marker-2", "nan"}} << 100.0 << 475.0
                                     << QColor(Qt::black);
    // The places cannot all be kept: the pair takes the rule of a place off
    // the bar, never a clamp that could put both on one pixel.
    QTest::newRow("T1 before A") << QVariantMap{{"marker-1", 5}, {"marker-2", 300}} << Fallback << Fallback
                                 << QColor(Qt::black);
    QTest::newRow("T2 past B") << QVariantMap{{"marker-1", 600}, {"marker-2", 2000}} << Fallback << Fallback
                               << QColor(Qt::black);
    QTest::newRow("off the chart") << QVariantMap{{"marker-1", 30}, {"marker-2", 850}} << Fallback << Fallback
                                   << QColor(Qt::black);
    QTest::newRow("both past the chart's end") << QVariantMap{{"marker-1", PastEnd + 10}, {"marker-2", PastEnd + 40}}
                                               << Fallback << Fallback << QColor(Qt::black);
    QTest::newRow("T2 past the chart's end") << QVariantMap{{"marker-1", 300}, {"marker-2", PastEnd + 40}}
                                             << Fallback << Fallback << QColor(Qt::black);
    QTest::newRow("T2 before T1") << QVariantMap{{"marker-1", 400}, {"marker-2", 300}} << Fallback << Fallback
                                  << QColor(Qt::black);
    QTest::newRow("closer than a tag") << QVariantMap{{"marker-1", 300}, {"marker-2", 310}} << Fallback << Fallback
                                       << QColor(Qt::black);
    QTest::newRow("a tag apart") << QVariantMap{{"marker-1", 300}, {"marker-2", 316}} << 300.0 << 316.0
                                 << QColor(Qt::black);
    // No "marker-2": T2 where the first chart puts it, left of T1 here.
    QTest::newRow("T2 missing") << QVariantMap{{"marker-1", 600}} << Fallback << Fallback << QColor(Qt::black);
    QTest::newRow("T1 not a number") << QVariantMap{{"marker-1", "nan"}, {"marker-2", 300}} << Fallback << Fallback
                                     << QColor(Qt::black);
  }

  void firstPlacement()
  {
    QFETCH(QVariantMap, stored);
    QFETCH(double, x1);
    QFETCH(double, x2);
    QFETCH(QColor, color);
    BarFixture f;
    const double end = f.axis()->coordToPixel(10);
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
      const QVariant value = it.value();
      const bool pastEnd = value.typeId() != QMetaType::QString && value.toDouble() >= PastEnd;
      storeSetting("Main/" + it.key(), pastEnd ? QVariant(end + value.toDouble() - PastEnd) : value);
    }
    QVERIFY(end + 60 < 909);

    QSignalSpy added(f.bar, &MarkerBar::markerAdded);
    f.bar->setPlotter(f.chart->widget);
    QCOMPARE(added.size(), 1);
    Marker *t1 = f.bar->marker(0), *t2 = f.bar->marker(1);
    QVERIFY(t1 && t2 && !f.bar->marker(2));
    QCOMPARE(t1->name, QStringLiteral("T1"));
    QCOMPARE(t2->partner, t1);
    if (x1 == -1) {
      QCOMPARE(t1->time, 5.0);
      QCOMPARE(t1->x, f.axis()->coordToPixel(5.0));
    } else {
      QCOMPARE(t1->x, x1 == Fallback ? 459.0 : x1);
      QCOMPARE(t1->time, f.axis()->pixelToCoord(t1->x));
    }
    QCOMPARE(t2->x, x2 == -1 ? t1->x + 16 : x2 == Fallback ? 475.0 : x2);
    QCOMPARE(t2->time, f.axis()->pixelToCoord(t2->x));
    QVERIFY(f.axis()->range().contains(t1->time) && f.axis()->range().contains(t2->time));
    QCOMPARE(t1->color, color);
    QCOMPARE(t2->color, color);
    QCOMPARE(t1->polygon.boundingRect(), QRectF(t1->x + 5, 1, 16, 21));
    // A second chart keeps the pair.
    f.bar->setPlotter(f.chart->widget);
    QCOMPARE(added.size(), 1);
    QVERIFY(!f.bar->addMarker());
  }

  // Only steps inside the visible range move the marker and are reported.
  void drag()
  {
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    Marker *t1 = f.bar->marker(0);
    QSignalSpy moved(f.bar, &MarkerBar::markerMoved);
    const double start = t1->x;
    const double inside = f.axis()->coordToPixel(8);
    const double outside = f.axis()->coordToPixel(10.5);

    sendMouse(f.bar, QEvent::MouseButtonPress, start + 6.4, Qt::LeftButton);
    QCOMPARE(f.bar->dragged, t1);
    sendMouse(f.bar, QEvent::MouseMove, inside, Qt::LeftButton);
    sendMouse(f.bar, QEvent::MouseMove, outside, Qt::LeftButton);
    QCOMPARE(moved.size(), 1);
    QCOMPARE(t1->x, std::round(inside));
    QCOMPARE(moved.at(0).at(0).toDouble(), t1->time);
    QVERIFY(f.axis()->range().contains(t1->time));
    QCOMPARE(f.bar->marker(1)->x, start + 16); // T2 stays
    sendMouse(f.bar, QEvent::MouseButtonRelease, outside, Qt::LeftButton);
    QVERIFY(!f.bar->dragged);

    // While a capture runs nothing is picked.
    Helpers::isMeasuring = true;
    sendMouse(f.bar, QEvent::MouseButtonPress, t1->x + 6, Qt::LeftButton);
    QVERIFY(!f.bar->dragged);
    Helpers::isMeasuring = false;
  }

  // Tags overlapping by 8 pixels: edges count, and T2 wins where both are.
  void hitTest_data()
  {
    QTest::addColumn<int>("edge"); // 0 T1's left, 1 T1's right, 2 T2's left, 3 T2's right
    QTest::addColumn<double>("offset");
    QTest::addColumn<int>("found"); // 0 T1, 1 T2, -1 none
    QTest::newRow("left of T1") << 0 << -0.5 << -1;
    QTest::newRow("T1's left edge") << 0 << 0.0 << 0;
    QTest::newRow("T1 alone") << 2 << -0.5 << 0;
    QTest::newRow("T2's left edge, inside T1") << 2 << 0.0 << 1;
    QTest::newRow("T1's right edge, inside T2") << 1 << 0.0 << 1;
    QTest::newRow("T2 alone") << 1 << 0.5 << 1;
    QTest::newRow("T2's right edge") << 3 << 0.0 << 1;
    QTest::newRow("right of T2") << 3 << 0.5 << -1;
  }
  void hitTest()
  {
    QFETCH(int, edge);
    QFETCH(double, offset);
    QFETCH(int, found);
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    Marker *t1 = f.bar->marker(0);
    Marker *t2 = f.bar->marker(1);
    t2->move(t1->x + 8, t2->time);
    const QRectF a = t1->polygon.boundingRect();
    const QRectF b = t2->polygon.boundingRect();
    QVERIFY(b.left() < a.right() && a.left() < b.left());
    const double edges[4] = {a.left(), a.right(), b.left(), b.right()};
    QCOMPARE(f.bar->markerAtPos(edges[edge] + offset), found < 0 ? nullptr : f.bar->marker(found));
  }

  void panKeepsTagsResizeKeepsTimes()
  {
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    Marker *t1 = f.bar->marker(0), *t2 = f.bar->marker(1);
    const double x1 = t1->x, x2 = t2->x;
    f.axis()->setRange(20, 30);
    PlotRange a, b;
    f.bar->on_rangeChanged(a, b, f.chart->plot->yAxis); // value axis: ignored
    QCOMPARE(t1->time, 5.0);
    f.bar->on_rangeChanged(a, b, f.axis());
    QCOMPARE(t1->x, x1);
    QCOMPARE(t2->x, x2);
    QCOMPARE(t1->time, f.axis()->pixelToCoord(x1));
    QVERIFY(t1->time > 20 && t1->time < 30);

    const double time1 = t1->time, time2 = t2->time;
    f.chart->plot->resize(500, 500);
    f.chart->plot->replot(PlotWidget::rpNow);
    f.bar->on_sizeChanged();
    QCOMPARE(t1->time, time1);
    QCOMPARE(t2->time, time2);
    QCOMPARE(t1->x, f.axis()->coordToPixel(time1));
    QVERIFY(t1->x < x1);
  }

  // The chart's own width changes (a dock shown or hidden) with no resize of
  // the window: the markers keep their times and stay on the chart.
  void chartWidthFollowed_data()
  {
    QTest::addColumn<int>("width");
    QTest::newRow("narrower") << 500;
    QTest::newRow("wider") << 1300;
  }
  void chartWidthFollowed()
  {
    QFETCH(int, width);
    storeSetting("Main/marker-1", 600);
    storeSetting("Main/marker-2", 700);
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    Marker *t1 = f.bar->marker(0), *t2 = f.bar->marker(1);
    QCOMPARE(t2->x, 700.0);
    const double time1 = t1->time, time2 = t2->time;
    f.chart->plot->resize(width, 500);
    f.chart->plot->replot(PlotWidget::rpNow);
    QCOMPARE(t1->time, time1);
    QCOMPARE(t2->time, time2);
    QCOMPARE(t1->x, f.axis()->coordToPixel(time1));
    QCOMPARE(t2->x, f.axis()->coordToPixel(time2));
    QVERIFY(t2->x <= f.axis()->coordToPixel(10));
    // New margins alone (wider value labels) leave the tags where they are.
    const double x1 = t1->x;
    f.chart->plot->yAxis->setLabel(QStringLiteral("a much longer label than before"));
    f.chart->plot->replot(PlotWidget::rpNow);
    QCOMPARE(t1->x, x1);
    QCOMPARE(t1->time, f.axis()->pixelToCoord(x1));
  }

  // A time axis of no length (margins wider than the chart) has no time
  // under any pixel: the markers keep the times they had, finite, and come
  // back to them when the chart is wide again.
  void noLengthKeepsTimes()
  {
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    f.window.show();
    Marker *t1 = f.bar->marker(0), *t2 = f.bar->marker(1);
    const double time1 = t1->time, time2 = t2->time, x1 = t1->x;
    QSignalSpy moved(f.bar, &MarkerBar::markerMoved);
    for (int width : {200, 120, 60, 30}) {
      f.chart->plot->resize(width, 500);
      f.chart->plot->replot(PlotWidget::rpNow);
      f.bar->on_sizeChanged();
      PlotRange a, b;
      f.bar->on_rangeChanged(a, b, f.axis());
      sendMouse(f.bar, QEvent::MouseButtonPress, t1->x + 6, Qt::LeftButton);
      sendMouse(f.bar, QEvent::MouseMove, t1->x + 30, Qt::LeftButton);
      sendMouse(f.bar, QEvent::MouseButtonRelease, t1->x + 30, Qt::LeftButton);
      f.bar->updateToolTip();
      QVERIFY2(std::isfinite(t1->time) && std::isfinite(t2->time), qPrintable(QString::number(width)));
      QVERIFY2(std::isfinite(t1->x) && std::isfinite(t2->x), qPrintable(QString::number(width)));
      QVERIFY2(!f.bar->toolTipText.contains("nan"), qPrintable(f.bar->toolTipText));
    }
    QCOMPARE(f.chart->plot->axisRect()->rect().width(), 0);
    QCOMPARE(moved.size(), 0);
    QCOMPARE(t1->time, time1);
    QCOMPARE(t2->time, time2);
    f.chart->plot->resize(900, 500);
    f.chart->plot->replot(PlotWidget::rpNow);
    QCOMPARE(t1->time, time1);
    QCOMPARE(t2->time, time2);
    QCOMPARE(t1->x, x1);
    QCOMPARE(t2->x, f.axis()->coordToPixel(time2));
  }

  // The pair made for a chart that is not laid out yet is placed when it is:
  // T1 at the middle of the visible time range, T2 a tag's width to its right.
  void placedOnceLaidOut_data()
  {
    QTest::addColumn<bool>("stored");
    QTest::newRow("no stored places") << false;
    QTest::newRow("stored places") << true;
  }
  void placedOnceLaidOut()
  {
    QFETCH(bool, stored);
    if (stored) {
      storeSetting("Main/marker-1", 300);
      storeSetting("Main/marker-2", 420);
    }
    QWidget window;
    window.resize(1000, 600);
    auto *bar = new MarkerBar(&window);
    bar->setGeometry(10, 0, 900, 24);
    LoggerChart chart(0, 10);
    chart.widget->swapFile->file.setFileName(QStringLiteral("capture.tmp"));
    chart.widget->hide();
    bar->setPlotter(chart.widget);
    Marker *t1 = bar->marker(0), *t2 = bar->marker(1);
    QVERIFY(t1 && t2);
    QVERIFY(std::isfinite(t1->time) && std::isfinite(t2->time));
    chart.widget->show();
    chart.plot->replot(PlotWidget::rpNow);
    PlotAxis *axis = chart.plot->xAxis;
    if (stored) {
      QCOMPARE(t1->x, 300.0);
      QCOMPARE(t2->x, 420.0);
      QCOMPARE(t1->time, axis->pixelToCoord(300));
    } else {
      QCOMPARE(t1->time, 5.0);
      QCOMPARE(t1->x, axis->coordToPixel(5.0));
      QCOMPARE(t2->x, t1->x + 16);
    }
    QCOMPARE(t2->time, axis->pixelToCoord(t2->x));
    QVERIFY(t1->time < t2->time);
  }

  // Another chart whose time axis ends short of a marker: the pair takes
  // the rule of a place off the bar instead of standing off the chart.
  void attachedChartTooShort()
  {
    storeSetting("Main/marker-1", 600);
    storeSetting("Main/marker-2", 700);
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    QCOMPARE(f.bar->marker(1)->x, 700.0);
    LoggerChart other(0, 10);
    other.widget->swapFile->file.setFileName(QStringLiteral("capture.tmp"));
    other.widget->show();
    other.plot->resize(500, 500);
    other.plot->replot(PlotWidget::rpNow);
    f.bar->setPlotter(other.widget);
    // The bar's middle is off this chart too: the middle of its time range.
    PlotAxis *axis = other.plot->xAxis;
    QVERIFY(axis->coordToPixel(10) < 459 + 16);
    QCOMPARE(f.bar->marker(0)->x, axis->coordToPixel(5));
    QCOMPARE(f.bar->marker(1)->x, axis->coordToPixel(5) + 16);
    QCOMPARE(f.bar->marker(1)->time, axis->pixelToCoord(f.bar->marker(1)->x));
    f.bar->setPlotter(f.chart->widget);
  }

  void distanceText_data()
  {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("500 us") << 0.0005 << QString("500 ") + QChar(0x03BC) + "s";
    QTest::newRow("250 ms") << 0.25 << QStringLiteral("250.0 ms");
    QTest::newRow("1 ms") << 0.001 << QStringLiteral("1.0 ms");
    QTest::newRow("2 s") << 2.0 << QStringLiteral("2.00 s");
  }

  void distanceText()
  {
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(MarkerBar::distanceText(seconds), text);
  }

  // Sections only for channels with data between the markers.
  void toolTip()
  {
    BarFixture f;
    f.chart->fill(1, {{4, 1500}, {4.5, 2500}, {9, 100000}});
    f.chart->fill(2, {{9, 50}});
    f.bar->setPlotter(f.chart->widget);
    f.bar->marker(0)->move(f.bar->marker(0)->x, 5.0);
    f.bar->marker(1)->move(f.bar->marker(1)->x, 3.0);
    f.bar->updateToolTip();
    QCOMPARE(f.bar->toolTipText, QStringLiteral("Length: 2.00 s\n#1:  V\n   min 1.50\n   max 2.50\n"
                                                "   average 2.00\n"));
    f.bar->marker(0)->move(f.bar->marker(0)->x, 3.0005);
    f.bar->updateToolTip();
    QCOMPARE(f.bar->toolTipText, QString("Length: 500 ") + QChar(0x03BC) + "s\n");
  }

  void rightClickColour_data()
  {
    QTest::addColumn<bool>("accept");
    QTest::newRow("chosen") << true;
    QTest::newRow("cancelled") << false;
  }

  void rightClickColour()
  {
    QFETCH(bool, accept);
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    Marker *t2 = f.bar->marker(1);
    bool answered = false;
    QTimer::singleShot(0, [&] {
      auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
      if (!dialog)
        return;
      answered = true;
      dialog->setCurrentColor(QColor("#00aa55"));
      accept ? dialog->accept() : dialog->reject();
    });
    sendMouse(f.bar, QEvent::MouseButtonPress, t2->x + 20, Qt::RightButton);
    QCOMPARE(f.bar->dragged, t2);
    sendMouse(f.bar, QEvent::MouseButtonRelease, t2->x + 20, Qt::RightButton);
    QVERIFY(answered);
    const QColor expected = accept ? QColor("#00aa55") : QColor(Qt::black);
    QCOMPARE(t2->color, expected);
    QCOMPARE(f.bar->marker(0)->color, expected);
    QVERIFY(!f.bar->dragged);
  }

  // The chart lines stand at the markers' x, in their colour, only while the
  // bar is shown.
  void chartLines()
  {
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    f.bar->marker(0)->color = QColor(Qt::magenta);
    auto *line = new LineProbe(f.bar, f.chart->plot);
    f.chart->plot->addItem(line);
    QCOMPARE(line->selectTest(QPointF(f.bar->marker(0)->x, 100), false), -1.0);
    const QRect rect = f.chart->plot->axisRect(0)->rect();
    const int x = int(f.bar->marker(0)->x);
    auto paint = [&] {
      QImage image(f.chart->plot->size(), QImage::Format_RGB32);
      image.fill(Qt::white);
      PlotPainter painter(&image);
      line->draw(&painter);
      painter.end();
      return image.pixelColor(x, rect.center().y());
    };
    QCOMPARE(paint(), QColor(Qt::white));
    f.window.show();
    QVERIFY(f.bar->isVisible());
    QCOMPARE(paint(), QColor(Qt::magenta));
  }

  // Over a chart without a capture the pair is neither drawn, nor picked,
  // nor lined on the chart, nor described; it keeps its place and comes
  // back with a capture.
  void hiddenWithoutCapture()
  {
    BarFixture f;
    f.chart->widget->swapFile->file.setFileName(QString());
    f.bar->setPlotter(f.chart->widget);
    Marker *t1 = f.bar->marker(0);
    QVERIFY(t1);
    const double x = t1->x;
    auto *line = new LineProbe(f.bar, f.chart->plot);
    f.chart->plot->addItem(line);
    f.window.show();
    const QRect tag = t1->polygon.boundingRect().toAlignedRect();
    auto darkPixels = [&] {
      const QImage shot = f.bar->grab().toImage();
      int dark = 0;
      for (int py = tag.top(); py <= tag.bottom(); ++py)
        for (int px = tag.left(); px <= tag.right(); ++px)
          dark += qGray(shot.pixel(px, py)) < 64;
      return dark;
    };
    const int y = f.chart->plot->axisRect(0)->rect().center().y();
    auto lineColour = [&] {
      QImage image(f.chart->plot->size(), QImage::Format_RGB32);
      image.fill(Qt::white);
      PlotPainter painter(&image);
      line->draw(&painter);
      painter.end();
      return image.pixelColor(int(x), y);
    };
    QSignalSpy moved(f.bar, &MarkerBar::markerMoved);
    for (bool capture : {false, true}) {
      if (capture)
        f.chart->widget->swapFile->file.setFileName(QStringLiteral("capture.tmp"));
      QCOMPARE(f.bar->showsMarkers(), capture);
      QCOMPARE(darkPixels() > 0, capture);
      QCOMPARE(f.bar->hintRect.isEmpty(), !capture);
      QCOMPARE(lineColour(), capture ? QColor(Qt::black) : QColor(Qt::white));
      sendMouse(f.bar, QEvent::MouseButtonPress, x + 6, Qt::LeftButton);
      QCOMPARE(f.bar->dragged, capture ? t1 : nullptr);
      sendMouse(f.bar, QEvent::MouseMove, x + 40, Qt::LeftButton);
      sendMouse(f.bar, QEvent::MouseButtonRelease, x + 40, Qt::LeftButton);
      QCOMPARE(moved.size(), capture ? 1 : 0);
      QCOMPARE(t1->x, capture ? x + 40 : x);
    }
  }

  // Closing the last tab deletes the chart behind the bar's back.
  void chartDeleted()
  {
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    auto *line = new LineProbe(f.bar, f.chart->plot);
    f.chart->plot->addItem(line);
    const double x = f.bar->marker(0)->x + 6;
    f.window.show();
    delete f.chart;
    f.chart = nullptr;
    QVERIFY(!f.bar->plot);
    f.bar->on_sizeChanged();
    PlotRange a, b;
    f.bar->on_rangeChanged(a, b, nullptr);
    QSignalSpy moved(f.bar, &MarkerBar::markerMoved);
    sendMouse(f.bar, QEvent::MouseButtonPress, x, Qt::LeftButton);
    sendMouse(f.bar, QEvent::MouseMove, x + 30, Qt::LeftButton);
    sendMouse(f.bar, QEvent::MouseButtonRelease, x + 30, Qt::RightButton);
    QCOMPARE(moved.size(), 0);
    QHoverEvent hover(QEvent::HoverEnter, QPointF(f.bar->width() - 5, 10), QPointF(0, 0), QPointF(0, 0));
    f.bar->grab(); // paints and sets the hint rectangle
    QApplication::sendEvent(f.bar, &hover);
    // Nothing of the closed capture is on show to hover over.
    QVERIFY(f.bar->hintRect.isEmpty());
    QVERIFY(f.bar->toolTipText.isEmpty());
    f.bar->updateToolTip();
    QVERIFY(f.bar->toolTipText.startsWith("Length: "));
    f.bar->setPlotter(nullptr);
    QVERIFY(!f.bar->addMarker(100));
  }

  void theme()
  {
    BarFixture f;
    f.bar->setPlotter(f.chart->widget);
    f.bar->on_changeColorTheme(true);
    QCOMPARE(f.bar->marker(0)->textColor, QColor(Qt::white));
    QCOMPARE(f.bar->marker(1)->textColor, QColor(Qt::white));
  }
};

TOVRI_TEST(MarkerBarTest)
#include "tst_markerbar.moc"
