#include "devicemode.h"
#include "helpers.h"
#include "plot.h"
#include "processstate.h"
#include "testmain.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <limits>

namespace {
const QString mu = QString(QChar(0x03BC));

// Years, months, weeks, days, hours, minutes, seconds.
QList<int> fields(const CalendarSpan &c)
{
  return {c.years, c.months, c.weeks, c.days, c.hours, c.minutes, c.seconds};
}
} // namespace

class HelpersTest : public QObject
{
  Q_OBJECT

private slots:
  void init() { resetProcessState(); }

  // The application's mode flags are the ones the device link reads.
  void modeFlagsAreTheLinksFlags()
  {
    Helpers::powerMode = true;
    QVERIFY(DeviceMode::powerMode && !DeviceMode::powerV2Mode);
    Helpers::powerMode = false;
    Helpers::powerV2Mode = true;
    QVERIFY(DeviceMode::powerV2Mode && DeviceMode::powerSupply());
    Helpers::powerV2Mode = false;
    QVERIFY(!DeviceMode::powerSupply());
  }

  void unitPrefixesAndDivider()
  {
    QCOMPARE(Helpers::unitCharA(1), QChar(0x03BC));
    QCOMPARE(Helpers::unitCharA(999), QChar(0x03BC));
    QCOMPARE(Helpers::unitCharA(1000), QChar('m'));
    QCOMPARE(Helpers::unitCharA(999999), QChar('m'));
    QCOMPARE(Helpers::unitCharA(1000000), QChar(' '));
    QCOMPARE(Helpers::unitCharV(999), QChar('m'));
    QCOMPARE(Helpers::unitCharV(1000), QChar(' '));
    QCOMPARE(Helpers::unitCharV(1000000), QChar('k'));
    QCOMPARE(Helpers::divider(-5), 1);
    QCOMPARE(Helpers::divider(999.9), 1);
    QCOMPARE(Helpers::divider(1000), 1000);
    QCOMPARE(Helpers::divider(999999.99), 1000);
    QCOMPARE(Helpers::divider(1000000), 1000000);
  }

  void secondsStyle_data()
  {
    QTest::addColumn<double>("t");
    QTest::addColumn<bool>("unit");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("text");
    QTest::newRow("0 s") << 0.0 << true << 3 << QString("0" + mu + "s");
    QTest::newRow("40 us") << 0.00004 << true << 3 << QString("40" + mu + "s");
    QTest::newRow("99 us") << 0.000099 << true << 3 << QString("99" + mu + "s");
    QTest::newRow("100 us") << 0.0001 << true << 3 << QString("0.1ms");
    QTest::newRow("500 us") << 0.0005 << true << 3 << QString("0.5ms");
    QTest::newRow("1 ms") << 0.001 << true << 3 << QString("1.0ms");
    QTest::newRow("250 ms") << 0.25 << true << 3 << QString("250.0ms");
    QTest::newRow("just below 1 s") << 0.9999 << true << 3 << QString("999.9ms");
    QTest::newRow("1 s") << 1.0 << true << 3 << QString("1.000s");
    QTest::newRow("2 s") << 2.0 << true << 3 << QString("2.000s");
    QTest::newRow("no unit") << 2.0 << false << 1 << QString("2.0");
    QTest::newRow("no unit, small") << 0.00004 << false << 5 << QString("0.00004");
    QTest::newRow("negative") << -0.5 << true << 3 << QString("-500.0ms");
  }
  void secondsStyle()
  {
    QFETCH(double, t);
    QFETCH(bool, unit);
    QFETCH(int, precision);
    QFETCH(QString, text);
    QCOMPARE(Helpers::timeToSeconds(t, unit, precision), text);
    QCOMPARE(Helpers::timeToString(t, unit, precision), text);
  }

  void clockStyle_data()
  {
    QTest::addColumn<double>("t");
    QTest::addColumn<QString>("text");
    QTest::newRow("59.9 s") << 59.9 << QString("59.900s");
    QTest::newRow("60 s") << 60.0 << QString("1:00.000");
    QTest::newRow("65.25 s") << 65.25 << QString("1:05.250");
    QTest::newRow("one hour") << 3600.0 << QString("1:00:00.000");
    QTest::newRow("just below a day") << 86399.5 << QString("23:59:59.500");
    QTest::newRow("1 d 1 h 1 min 1.5 s") << 90061.5 << QString("1 1:01:01.500");
    QTest::newRow("2 d 3 h 4 min 5.678 s") << 183845.678 << QString("2 3:04:05.678");
    QTest::newRow("400 days") << 400 * 86400.0 << QString("400 0:00:00.000");
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << QString("nans");
    QTest::newRow("beyond the counter") << 1e300 << QString::number(1e300, 'f', 3) + "s";
  }
  void clockStyle()
  {
    QFETCH(double, t);
    QFETCH(QString, text);
    QCOMPARE(Helpers::timeToNative(t, true, 3), text);
    Helpers::timeFormat = 2;
    QCOMPARE(Helpers::timeToString(t, true, 3), text);
  }

  void timeFormatPicksTheStyle()
  {
    QCOMPARE(Helpers::timeToString(75, true, 3), QString("75.000s"));
    Helpers::timeFormat = 2;
    QCOMPARE(Helpers::timeToString(75, true, 3), QString("1:15.000"));
  }

  void sampleRates()
  {
    QCOMPARE(Helpers::sampleRateToFQString(1), QString("(10.000 kHz)"));
    QCOMPARE(Helpers::sampleRateToFQString(3), QString("(3.333 kHz)"));
    QCOMPARE(Helpers::sampleRateToFQString(10000), QString("(0.001 kHz)"));
    QCOMPARE(Helpers::sampleRateToFQString(0), QString("(0.000 kHz)"));
  }

  void calendarSpans()
  {
    QCOMPARE(fields(Helpers::secondsToCalendar(360 * 86400 - 1)), QList<int>({0, 11, 4, 29, 23, 59, 59}));
    QCOMPARE(fields(Helpers::secondsToCalendar(360 * 86400)), QList<int>({1, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(fields(Helpers::secondsToCalendar(365 * 86400 + 8 * 86400 + 3661)), QList<int>({1, 0, 1, 8, 1, 1, 1}));
    QCOMPARE(fields(Helpers::secondsToCalendar(0)), QList<int>({0, 0, 0, 0, 0, 0, 0}));
  }

  // Absolute ticks get their full time in the second row, the others an
  // offset from the last absolute tick.
  void axisLabelsInMilliseconds()
  {
    QList<double> ticks;
    for (int i = 0; i < 12; ++i)
      ticks << 5 + i * 0.001;
    QList<QString> labels;
    QMap<int, QString> rows;
    Helpers::timeToLabels(0.001, ticks, labels, rows);
    QCOMPARE(labels.size(), 12);
    QCOMPARE(labels.at(0), QString());
    QCOMPARE(labels.at(1), QString("+1ms"));
    QCOMPARE(labels.at(9), QString("+9ms"));
    QCOMPARE(labels.at(10), QString());
    QCOMPARE(labels.at(11), QString("+1ms"));
    QCOMPARE(rows.keys(), QList<int>({-1, 0, 10}));
    QCOMPARE(rows.value(0), QString("5.000s"));
    QCOMPARE(rows.value(10), QString("5.010s"));
    QCOMPARE(rows.value(-1), QString(Helpers::leftArrowhead(QFont())) + "5.000s");
  }

  // The arrowhead before the first tick's time is one the row's own font
  // draws, whichever installed font that is, bold or not.
  void axisArrowheadIsInTheRowFont_data()
  {
    QTest::addColumn<QFont>("font");
    QTest::newRow("application font") << QFont();
    const QStringList families = QFontDatabase::families();
    QVERIFY(!families.isEmpty());
    for (const QString &family : families) {
      QFont font(family, 9);
      QTest::newRow(qPrintable(family)) << font;
      font.setBold(true);
      QTest::newRow(qPrintable(family + " bold")) << font;
    }
  }
  void axisArrowheadIsInTheRowFont()
  {
    QFETCH(QFont, font);
    QList<double> ticks{5, 6, 7};
    QList<QString> labels;
    QMap<int, QString> rows;
    Helpers::timeToLabels(1, ticks, labels, rows, font);
    const QString first = rows.value(-1);
    QVERIFY(first.endsWith("5.000s"));
    QVERIFY2(QFontMetrics(font).inFont(first.at(0)), qPrintable(QString::number(first.at(0).unicode(), 16)));
  }

  void axisLabelsInTenthsOfSeconds()
  {
    QList<double> ticks;
    for (int i = 0; i < 25; ++i)
      ticks << 60 + i * 0.1;
    QList<QString> labels;
    QMap<int, QString> rows;
    Helpers::timeFormat = 2;
    Helpers::timeToLabels(0.1, ticks, labels, rows);
    QCOMPARE(labels.at(1), QString("+0.1s"));
    QCOMPARE(labels.at(9), QString("+0.9s"));
    QCOMPARE(labels.at(10), QString());
    QCOMPARE(labels.at(20), QString());
    QCOMPARE(labels.at(24), QString("+0.4s"));
    QCOMPARE(rows.keys(), QList<int>({-1, 0, 10, 20}));
    QCOMPARE(rows.value(20), QString("1:02.000"));
  }

  void axisLabelsForStepsOutsideTheTable()
  {
    const QList<double> ticks = {0, 0.3, 0.6, 0.9, 1.2, 1.5};
    QList<QString> labels;
    QMap<int, QString> rows;
    Helpers::timeToLabels(0.3, ticks, labels, rows);
    QCOMPARE(labels, QList<QString>({"", "+0s", "+1s", "+1s", "+1s", "+2s"}));
    QCOMPARE(rows.keys(), QList<int>({-1, 0}));
    QCOMPARE(rows.value(0), QString("0" + mu + "s"));
  }

  void axisLabelsForHundredMicroseconds()
  {
    QList<double> ticks;
    for (int i = 0; i < 21; ++i)
      ticks << i * 0.0001;
    QList<QString> labels;
    QMap<int, QString> rows;
    Helpers::timeToLabels(0.0001, ticks, labels, rows);
    QCOMPARE(labels.at(1), QString("+0.10ms"));
    QCOMPARE(labels.at(10), QString());
    QCOMPARE(labels.at(15), QString("+0.50ms"));
    QCOMPARE(rows.keys(), QList<int>({-1, 0, 10, 20}));
    QCOMPARE(rows.value(10), QString("1.0ms"));
  }

  // Both rows of the time axis speak the window's language: the second
  // row's times take the translated unit as the first row's steps do, while
  // the times the program writes elsewhere keep theirs.
  void axisRowsInTheWindowsLanguage_data()
  {
    QTest::addColumn<double>("step");
    QTest::addColumn<QList<double>>("ticks");
    QTest::addColumn<QString>("step1");    // label of the second tick
    QTest::addColumn<QString>("firstRow"); // the row under the first tick
    const QString uk_s = QString::fromUtf8("с"), uk_ms = QString::fromUtf8("мс");
    QTest::newRow("seconds") << 1.0 << QList<double>{10, 11, 12} << "+1" + uk_s << "10.000" + uk_s;
    QTest::newRow("milliseconds") << 0.001 << QList<double>{0.5, 0.501, 0.502} << "+1" + uk_ms << "500.0" + uk_ms;
    QTest::newRow("microseconds") << 0.0001 << QList<double>{0, 0.0001, 0.0002} << "+0.10" + uk_ms
                                  << "0" + QString::fromUtf8("мкс");
  }
  void axisRowsInTheWindowsLanguage()
  {
    QFETCH(double, step);
    QFETCH(QList<double>, ticks);
    QFETCH(QString, step1);
    QFETCH(QString, firstRow);
    struct Ukrainian : QTranslator
    {
      QString translate(const char *context, const char *source, const char *, int) const override
      {
        if (qstrcmp(context, "QObject") != 0)
          return QString();
        const QString text = QString::fromUtf8(source);
        if (text == "s")
          return QString::fromUtf8("с");
        if (text == "ms")
          return QString::fromUtf8("мс");
        if (text == mu + "s")
          return QString::fromUtf8("мкс");
        return QString();
      }
      bool isEmpty() const override { return false; }
    } ukrainian;
    QVERIFY(QCoreApplication::installTranslator(&ukrainian));
    QList<QString> labels;
    QMap<int, QString> rows;
    Helpers::timeToLabels(step, ticks, labels, rows);
    const QString file = Helpers::timeToString(ticks.first(), true, 3);
    QCoreApplication::removeTranslator(&ukrainian);
    QCOMPARE(labels.at(1), step1);
    QCOMPARE(rows.value(0), firstRow);
    QCOMPARE(rows.value(-1).mid(1), firstRow);
    QVERIFY2(file.endsWith(QLatin1Char('s')), qPrintable(file));
  }

  // The plot takes the colour as background; its time axis the inverse colour,
  // the value axes stay as they were.
  void plotterColours()
  {
    PlotWidget plot;
    const QColor label = plot.yAxis->labelColor();
    Helpers::setPlotterColor(&plot, Qt::white);
    QCOMPARE(plot.backgroundBrush().color(), QColor(Qt::white));
    QCOMPARE(plot.backgroundBrush().style(), Qt::SolidPattern);
    QCOMPARE(plot.xAxis->tickLabelColor(), QColor(Qt::black));
    QCOMPARE(plot.xAxis->labelColor(), QColor(Qt::black));
    QCOMPARE(plot.xAxis->basePen(), QPen(Qt::black, 1, Qt::SolidLine));
    QCOMPARE(plot.xAxis->subTickPen(), QPen(Qt::black, 1, Qt::SolidLine));
    QCOMPARE(plot.xAxis->tickPen(), QPen(Qt::black, 2, Qt::SolidLine));
    QCOMPARE(plot.yAxis->labelColor(), label);

    Helpers::setPlotterColor(&plot, QColor(0x20, 0x40, 0x60));
    QCOMPARE(plot.xAxis->tickLabelColor(), QColor(0xdf, 0xbf, 0x9f));
    Helpers::setPlotterColor(&plot, QColor()); // invalid: nothing changes
    QCOMPARE(plot.backgroundBrush().color(), QColor(0x20, 0x40, 0x60));
    QCOMPARE(plot.xAxis->tickLabelColor(), QColor(0xdf, 0xbf, 0x9f));
    Helpers::setPlotterColor(nullptr, Qt::white);

    Helpers::setAxisColor(plot.yAxis, Qt::red);
    QCOMPARE(plot.yAxis->labelColor(), QColor(Qt::red));
    QCOMPARE(plot.yAxis->tickLabelColor(), QColor(Qt::red));
    for (const QPen &pen : {plot.yAxis->tickPen(), plot.yAxis->subTickPen(), plot.yAxis->basePen()})
      QCOMPARE(pen, QPen(Qt::red, 1, Qt::SolidLine));
    Helpers::setAxisColor(plot.yAxis, QColor());
    QCOMPARE(plot.yAxis->basePen().color(), QColor(Qt::red));
    Helpers::setAxisColor(nullptr, Qt::red);
  }

  void messageBoxReturnsTheButtonPressed()
  {
    QTimer::singleShot(0, this, [] {
      auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
      QVERIFY(box);
      QCOMPARE(box->windowTitle(), QString("Close"));
      QCOMPARE(box->text(), QString("Save first?"));
      QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
      box->button(QMessageBox::No)->click();
    });
    const int answer = Helpers::warning(nullptr, "Close", "Save first?",
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    QCOMPARE(answer, int(QMessageBox::No));

    QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
    QCOMPARE(Helpers::error(nullptr, "Error", "Failed", QMessageBox::Ok), int(QMessageBox::Ok));
  }
};

TOVRI_TEST(HelpersTest)
#include "tst_helpers.moc"
