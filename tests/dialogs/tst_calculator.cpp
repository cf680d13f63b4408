#include "calculator.h"
#include "helpers.h"
#include "settings.h"
#include "testmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <memory>

namespace {

// The calculator with its form reached by object names, as the window sees it.
struct Calc
{
  Calc()
    : c(new Calculator)
  {
  }
  ~Calc() { delete c.data(); }
  template<typename T>
  T *w(const char *name) const
  {
    T *widget = c->findChild<T *>(QLatin1String(name));
    if (!widget)
      qFatal("no widget %s", name);
    return widget;
  }
  QString life() const { return w<QLabel>("bateryLife")->text(); }
  // Fills the records as the main window does for a capture of `length`
  // seconds with the given average on every source.
  void fill(double length, double average)
  {
    for (CalculatorInfo &info : c->infoList) {
      if (info.type == CalculatorInfo::User)
        continue;
      info.error = 0;
      info.average = average;
      if (info.type != CalculatorInfo::Working) {
        info.t_from = 0;
        info.t_to = length;
      }
    }
    c->update(c->infoList);
  }
  QPointer<Calculator> c;
};

} // namespace

class TestCalculator : public QObject
{
  Q_OBJECT
private slots:
  void init() { Helpers::timeFormat = 1; }

  void batteryLife_data()
  {
    QTest::addColumn<double>("capacity");
    QTest::addColumn<double>("average");
    QTest::addColumn<QString>("text");
    QTest::newRow("day and hours") << 3000.0 << 100.0 << "1 days, 6 hours";
    QTest::newRow("hours only") << 2000.0 << 250.0 << "8 hours";
    QTest::newRow("months") << 3000.0 << 1.0 << "4 months, 5 days";
    QTest::newRow("years") << 3000.0 << 0.1 << "3 years, 5 months";
    QTest::newRow("under a second") << 1.0 << 10000.0 << "The battery is too low";
    QTest::newRow("large capacity") << 1e8 << 1.0 << "11415 years, 6 months";
    // After years come days when the months are 0, and nothing when both are.
    QTest::newRow("years then days") << 9000.0 << 1.0 << "1 years, 10 days";
    QTest::newRow("whole year") << 8760.0 << 1.0 << "1 years";
    // No estimate: the calendar split or the division means nothing here.
    QTest::newRow("zero") << 3000.0 << 0.0 << QString();
    QTest::newRow("negative") << 3000.0 << -1.0 << QString();
    QTest::newRow("nan") << 3000.0 << std::numeric_limits<double>::quiet_NaN() << QString();
    QTest::newRow("vanishing") << 3000.0 << 1e-12 << QString();
    QTest::newRow("infinite") << 3000.0 << std::numeric_limits<double>::infinity() << "The battery is too low";
  }
  void batteryLife()
  {
    QFETCH(double, capacity);
    QFETCH(double, average);
    QFETCH(QString, text);
    QCOMPARE(Calculator::lifeText(capacity, average), text);
  }

  // The window shows the same text through the user source.
  void userSource()
  {
    Calc calc;
    calc.c->onCalcButton();
    QCOMPARE(calc.life(), QStringLiteral("4 months, 5 days"));
  }

  // Esc closes the calculator, wherever the focus is inside it.
  void escapeCloses_data()
  {
    QTest::addColumn<QString>("target");
    QTest::newRow("the window") << QString();
    QTest::newRow("the capacity field") << QStringLiteral("spinBoxCapacity");
    QTest::newRow("the user field") << QStringLiteral("lineEditUser");
  }
  void escapeCloses()
  {
    QFETCH(QString, target);
    Calc calc;
    calc.c->show();
    QWidget *widget = target.isEmpty() ? static_cast<QWidget *>(calc.c) : calc.w<QWidget>(qPrintable(target));
    QTest::keyClick(widget, Qt::Key_A);
    QVERIFY(calc.c->isVisible());
    QTest::keyClick(widget, Qt::Key_Escape);
    QVERIFY(calc.c && !calc.c->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!calc.c);
  }

  void averagesWithoutEstimate_data()
  {
    QTest::addColumn<double>("average");
    // Each kind of figure without an estimate is in batteryLife; here the form's answer to one.
    QTest::newRow("0") << 0.0;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
  }
  void averagesWithoutEstimate()
  {
    Calc calc;
    calc.w<QRadioButton>("radioButtonWhole")->setChecked(true);
    calc.fill(60, 100);
    const QString good = calc.life();
    QVERIFY(good.contains(QLatin1String("hours")));
    QFETCH(double, average);
    calc.fill(60, average);
    QCOMPARE(calc.life(), QStringLiteral("No estimate for this current"));
  }

  // Before the window filled anything, the capture sources have no average.
  void firstPick_data()
  {
    QTest::addColumn<QString>("radio");
    QTest::newRow("markers") << "radioButtonMarkers";
    QTest::newRow("working") << "radioButtonWorking";
  }
  void firstPick()
  {
    Calc calc;
    calc.w<QLineEdit>("lineEditUser")->setText(QStringLiteral("100"));
    calc.c->onCalcButton();
    const QString before = calc.life();
    QCOMPARE(before, QStringLiteral("1 days, 6 hours"));
    QFETCH(QString, radio);
    calc.w<QRadioButton>(qPrintable(radio))->setChecked(true);
    QCOMPARE(calc.life(), QStringLiteral("No estimate for this current"));
  }

  // A record with an error keeps the sources' labels and gives no estimate.
  void markersError()
  {
    Calc calc;
    calc.w<QRadioButton>("radioButtonMarkers")->setChecked(true);
    calc.fill(10, 100);
    const QString span = calc.w<QLabel>("labelMarkers")->text();
    QCOMPARE(calc.life(), QStringLiteral("1 days, 6 hours"));
    calc.c->infoList[0].error = Calculator::MarkersClose;
    calc.c->update(calc.c->infoList);
    QCOMPARE(calc.w<QLabel>("labelMarkers")->text(), span);
    QCOMPARE(calc.life(), QStringLiteral("No estimate for this current"));
  }

  void spans_data()
  {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<QString>("length");
    QTest::newRow("ms") << 1.0 << 1.5 << "[500.000ms]";
    QTest::newRow("us") << 2.0 << 2.0002 << QStringLiteral("[200.000%1s]").arg(QChar(0x03BC));
    QTest::newRow("s") << 3.0 << 15.0 << "[12.000s]";
  }
  void spans()
  {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(QString, length);
    Calc calc;
    CalculatorInfo visible = calc.c->getInfo(CalculatorInfo::Visible);
    visible.t_from = from;
    visible.t_to = to;
    visible.average = 2500;
    calc.c->applyInfo(visible);
    QVERIFY2(calc.w<QLabel>("labelVisible")->text().endsWith(length), qPrintable(calc.w<QLabel>("labelVisible")->text()));
    QCOMPARE(calc.w<QLabel>("labelVisibleUnit")->text(), QStringLiteral("2.50 A"));
    // Only the record's own labels change.
    QCOMPARE(calc.w<QLabel>("labelWhole")->text(), QStringLiteral("-- : --"));
    QCOMPARE(calc.w<QLabel>("labelWholeUnit")->text(), QStringLiteral("--- mA"));
  }

  // Choosing the working cycle and editing it put the same N seconds in
  // the middle of the capture.
  void workingSpan()
  {
    Calc calc;
    calc.fill(60, 10);
    calc.w<QLineEdit>("lineEditWorking")->setText(QStringLiteral("10"));
    calc.w<QRadioButton>("radioButtonWorking")->setChecked(true);
    const CalculatorInfo byRadio = calc.c->getInfo(CalculatorInfo::Working);
    QCOMPARE(byRadio.t_from, 25.0);
    QCOMPARE(byRadio.t_to, 35.0);
    calc.c->infoList[3].t_from = calc.c->infoList[3].t_to = 0;
    QSignalSpy refresh(calc.c.data(), &Calculator::updateInfo);
    calc.c->requestWorking();
    QCOMPARE(refresh.size(), 1);
    QCOMPARE(calc.c->getInfo(CalculatorInfo::Working).t_from, byRadio.t_from);
    QCOMPARE(calc.c->getInfo(CalculatorInfo::Working).t_to, byRadio.t_to);

    // Longer than the capture: refused, the edit shows what there is.
    calc.w<QLineEdit>("lineEditWorking")->setText(QStringLiteral("100"));
    calc.c->requestWorking();
    QCOMPARE(refresh.size(), 1);
    QCOMPARE(calc.w<QLineEdit>("lineEditWorking")->text(), QStringLiteral("60"));
    QCOMPARE(calc.c->getInfo(CalculatorInfo::Working).error, int(Calculator::TooLong));
  }

  void userValue()
  {
    Calc calc;
    QLineEdit *edit = calc.w<QLineEdit>("lineEditUser");
    edit->setText(QStringLiteral("0"));
    QMetaObject::invokeMethod(edit, "editingFinished");
    QCOMPARE(edit->text(), QStringLiteral("1"));
    QCOMPARE(calc.c->getInfo(CalculatorInfo::User).error, int(Calculator::WrongValue));
    edit->setText(QStringLiteral("250"));
    QMetaObject::invokeMethod(edit, "editingFinished");
    QCOMPARE(calc.c->getInfo(CalculatorInfo::User).average, 250.0);
  }

  void emptyLog()
  {
    Calc calc;
    calc.w<QRadioButton>("radioButtonWhole")->setChecked(true);
    calc.c->infoList[0].error = Calculator::NoData;
    calc.c->update(calc.c->infoList);
    QCOMPARE(calc.w<QLabel>("labelError")->text(), QStringLiteral("Empty measurements log."));
  }

  void missingTypeFallsBackToWhole()
  {
    Calc calc;
    calc.c->infoList[3].type = CalculatorInfo::Markers; // corrupt the list: no working record
    calc.c->infoList[2].average = 42;
    QCOMPARE(calc.c->getInfo(CalculatorInfo::Working).average, 42.0);
  }

  void capacityStored()
  {
    {
      Calc calc;
      calc.w<QSpinBox>("spinBoxCapacity")->setValue(1234);
    }
    Calc again;
    QCOMPARE(again.w<QSpinBox>("spinBoxCapacity")->value(), 1234);
  }
};

TOVRI_TEST(TestCalculator)
#include "tst_calculator.moc"
