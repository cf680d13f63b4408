#include "controlpanel.h"
#include "panelfixture.h"
#include "testmain.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

using namespace panelfixture;

namespace {

template<typename T>
T *child(QWidget &panel, const char *name)
{
  T *widget = panel.findChild<T *>(QLatin1String(name));
  if (!widget)
    qFatal("no widget %s", name);
  return widget;
}

const QString steps = QStringLiteral("1.Remove reason for high current.\n"
                                     "2.Select and APPLY proper power source(Vusb or Vbat).\n"
                                     "3.Select and SET  proper Power config.\n"
                                     "4.Press button \"Reset errors\".\n"
                                     "5.Now device is ready to work again.");
const QString overcurrent = QStringLiteral("All power supplies were disconnected from DUT  due overcurrent.\n");
const QString battery = QStringLiteral("Vbat supply was disconnected from DUT, battery is low.\n");

} // namespace

// How the control panel takes the logger's status answers: error messages,
// the stop request, the reset button, read-back checks and enabled states.
class ControlAnswersTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { resetState(); }
  void cleanup() { resetState(); }

  void errorMessages_data()
  {
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("terminate");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("vinTitle");
    QTest::newRow("0x41") << 0x41 << "Error details"
                          << "Power converter communication error\nLoad power is disabled\n\n\n" + overcurrent + steps
                          << true << true << "Switch Vin";
    QTest::newRow("0x03") << 0x03 << "Error details"
                          << "Low battery voltage is detected. \nLoad power is disabled\n\n\n" + battery + steps << true
                          << true << "Switch Vin";
    QTest::newRow("0xC1") << 0xC1 << "Error details"
                          << "Lost of data is detected\nPower converter communication error\nLoad power is "
                             "disabled\n\n\n" +
                               overcurrent + steps
                          << true << true << "Switch Vin";
    QTest::newRow("0x31") << 0x31 << "Error details"
                          << "Power converter can not not provide output voltage requlation\nPower converter thermal "
                             "shutdown\nLoad power is disabled\n\n\n" +
                               overcurrent + steps
                          << true << true << "Switch Vin";
    QTest::newRow("0x01") << 0x01 << "Error details" << "Load power is disabled\n\n\n" + battery + steps << true << true
                          << "Switch Vin";
    QTest::newRow("0x02") << 0x02 << "" << "" << false << true << "Battery LOW";
    QTest::newRow("0x80") << 0x80 << "" << "" << false << false << "Switch Vin";
    QTest::newRow("0x08") << 0x08 << "" << "" << false << true << "Switch Vin";
    QTest::newRow("0x05") << 0x05 << "Error details" << "Restore fault.\nChannels calibration values are lost.\n"
                          << true << true << "Switch Vin";
  }
  void errorMessages()
  {
    QFETCH(int, error);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, terminate);
    QFETCH(bool, reset);
    QFETCH(QString, vinTitle);
    ControlPanel panel;
    panel.restore();
    BoxCatcher boxes;
    int stops = 0;
    bool boxOpenAtStop = false;
    connect(&panel, &ControlPanel::terminateMeasuring, [&] {
      ++stops;
      boxOpenAtStop = QApplication::activeModalWidget() != nullptr || !boxes.texts.isEmpty();
    });
    StatusControlResponse r = answer({error});
    panel.update(r);
    // Nothing modal inside the dispatch: the box comes after it returned.
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY(!boxOpenAtStop);
    QCOMPARE(stops, terminate ? 1 : 0);
    QCOMPARE(!child<QPushButton>(panel, "btnResetErrors")->isHidden(), reset);
    QCOMPARE(child<QGroupBox>(panel, "groupBoxSwitchVin")->title(), vinTitle);
    QCOMPARE(child<QGroupBox>(panel, "groupBoxSwitchVin")->styleSheet().isEmpty(), vinTitle == "Switch Vin");
    boxes.settle();
    QCOMPARE(boxes.texts, text.isEmpty() ? QStringList() : QStringList{text});
    QCOMPARE(boxes.titles, title.isEmpty() ? QStringList() : QStringList{title});

    // The same byte again: no second message, no second stop.
    panel.update(r);
    boxes.settle();
    QCOMPARE(stops, terminate ? 1 : 0);
    QCOMPARE(boxes.texts.size(), text.isEmpty() ? 0 : 1);
  }

  void messageOnceUntilReset()
  {
    ControlPanel panel;
    panel.restore();
    BoxCatcher boxes;
    for (int error : {0x41, 0x21, 0x41}) {
      StatusControlResponse r = answer({error});
      panel.update(r);
      boxes.settle();
    }
    QCOMPARE(boxes.texts.size(), 1);
    panel.on_resetButton();
    StatusControlResponse r = answer({0x11});
    panel.update(r);
    boxes.settle();
    QCOMPARE(boxes.texts.size(), 2);
    QVERIFY(boxes.texts.at(1).startsWith("Power converter thermal shutdown\n"));
  }

  void everyErrorByte()
  {
    ControlPanel panel;
    panel.restore();
    QPushButton *reset = child<QPushButton>(panel, "btnResetErrors");
    int stops = 0;
    connect(&panel, &ControlPanel::terminateMeasuring, [&stops] { ++stops; });
    BoxCatcher boxes;
    for (int pass = 0; pass < 2; ++pass) {
      for (int error = 0; error < 256; ++error) {
        const int before = stops;
        StatusControlResponse r = answer({error});
        panel.update(r);
        // Byte 0 repeats the initial status on the first pass: no change.
        const bool changed = !(pass == 0 && error == 0);
        QCOMPARE(stops - before, changed && (error & 0x01) ? 1 : 0);
        QCOMPARE(!reset->isHidden(), (error & 0x7B) != 0);
        QCOMPARE(panel.stopOnError(), (error & 0x01) != 0);
        QCOMPARE(panel.batteryIsLow(), error == 0x02);
        QVERIFY(boxes.texts.isEmpty());
      }
    }
    // The queued boxes go with the panel; none opened inside update().
  }

  void readBack_data()
  {
    QTest::addColumn<int>("readBack");
    QTest::addColumn<int>("control");
    QTest::addColumn<bool>("setShown");
    QTest::addColumn<QString>("labelPower"); // empty: hidden
    QTest::addColumn<bool>("start");
    QTest::newRow("match") << 3300 << 0x00 << true << "" << true;
    QTest::newRow("mismatch") << 3250 << 0x00 << false << "3250 mV" << false;
    QTest::newRow("mismatch while setting") << 3250 << 0x10 << true << "" << false;
    QTest::newRow("above 0x7FFF") << 0xFFFF << 0x00 << false << "-1 mV" << false;
    QTest::newRow("most negative") << 0x8000 << 0x00 << false << "-32768 mV" << false;
  }
  void readBack()
  {
    QFETCH(int, readBack);
    QFETCH(int, control);
    QFETCH(bool, setShown);
    QFETCH(QString, labelPower);
    QFETCH(bool, start);
    ControlPanel panel;
    panel.restore();
    child<QSpinBox>(panel, "spinBoxOutputVoltage")->setValue(3300);
    panel.on_applyButton();
    StatusControlResponse r = answer({0, 0x40, readBack, 8, 0, control});
    panel.update(r);
    QCOMPARE(!child<QToolButton>(panel, "toolButtonSet")->isHidden(), setShown);
    QLabel *power = child<QLabel>(panel, "labelPower");
    QCOMPARE(power->isHidden(), labelPower.isEmpty());
    if (!labelPower.isEmpty())
      QCOMPARE(power->text(), labelPower);
    QCOMPARE(child<QPushButton>(panel, "btnStart")->isEnabled(), start);
    QCOMPARE(child<QGroupBox>(panel, "groupBoxPowerOn")->isEnabled(), setShown);
  }

  void powerAndVinFromAnswers_data()
  {
    QTest::addColumn<bool>("set"); // Set was pressed before the answer
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("power");
    QTest::addColumn<int>("pins");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("start");
    QTest::newRow("delayed after Set") << true << 0 << 12 << 0x40 << "radioButtonDelayed,radioButtonVbat" << true;
    QTest::newRow("permanent after Set") << true << 0 << 8 << 0x80 << "radioButtonPermanent,radioButtonVusb" << true;
    QTest::newRow("byte 24 = 0 after Set") << true << 0 << 0 << 0x40 << "radioButtonOff,radioButtonVbat" << true;
    QTest::newRow("off after Set") << true << 0 << 4 << 0x40 << "radioButtonOff,radioButtonVbat" << false;
    QTest::newRow("poll keeps the form") << false << 0 << 12 << 0x80 << "radioButtonOff" << true;
    QTest::newRow("flag 0x80 takes it") << false << 0x80 << 12 << 0x80 << "radioButtonDelayed,radioButtonVusb" << true;
    QTest::newRow("no Vin source") << true << 0 << 8 << 0x00 << "radioButtonPermanent" << false;
    QTest::newRow("both sources") << true << 0 << 8 << 0xC0 << "radioButtonPermanent,radioButtonVbat,radioButtonVusb"
                                  << true;
  }
  void powerAndVinFromAnswers()
  {
    QFETCH(bool, set);
    QFETCH(int, flags);
    QFETCH(int, power);
    QFETCH(int, pins);
    QFETCH(QString, checked);
    QFETCH(bool, start);
    ControlPanel panel;
    panel.restore();
    if (set)
      panel.on_powerSetButton();
    StatusControlResponse r = answer({0, pins, 1800, power, flags});
    panel.update(r);
    QVERIFY(!StatusControlRequest::justRequested);
    QStringList on;
    for (QRadioButton *b : panel.findChildren<QRadioButton *>()) {
      if (b->isChecked() && b->objectName() != QLatin1String("radioButtonTRIG"))
        on.append(b->objectName());
    }
    on.sort();
    QStringList wanted = checked.split(',');
    wanted.sort();
    QCOMPARE(on, wanted);
    QCOMPARE(child<QPushButton>(panel, "btnStart")->isEnabled(), start);
    const bool noVin = !(pins & 0xC0);
    QCOMPARE(child<QGroupBox>(panel, "groupBoxSwitchVin")->styleSheet(), noVin ? ControlPanel::changeStyle() : "");
    if (noVin)
      QVERIFY(!child<QGroupBox>(panel, "groupBoxPowerOn")->isEnabled());
  }

  void answerDuringCaptureEnablesNothing()
  {
    describe({0, 1, 2});
    ControlPanel panel;
    panel.restore();
    panel.setChannels();
    panel.enableChannelsGroup(false);
    panel.enableControlGroup(false);
    panel.enablePowerGroup(false);
    panel.enableStartGroup(false);
    QPushButton *apply = child<QPushButton>(panel, "btnApply");
    apply->setEnabled(false);
    Helpers::isMeasuring = true;
    StatusControlResponse r = answer({0, 0x40, 1800, 8, 0x80});
    panel.update(r);
    QVERIFY(!child<QGroupBox>(panel, "groupBoxChannels")->isEnabled());
    QVERIFY(!child<QGroupBox>(panel, "groupBoxSampleRate")->isEnabled());
    QVERIFY(!child<QSpinBox>(panel, "spinBox1")->isEnabled());
    QVERIFY(!child<QSpinBox>(panel, "spinBox2")->isEnabled());
    QVERIFY(!child<QGroupBox>(panel, "groupBoxControl")->isEnabled());
    QVERIFY(!child<QGroupBox>(panel, "groupBoxPowerOn")->isEnabled());
    QVERIFY(!child<QPushButton>(panel, "btnStart")->isEnabled());
    QVERIFY(!apply->isEnabled());
    // The same answer after the capture opens them.
    Helpers::isMeasuring = false;
    panel.update(r);
    QVERIFY(child<QGroupBox>(panel, "groupBoxChannels")->isEnabled());
    QVERIFY(child<QPushButton>(panel, "btnStart")->isEnabled());
    QVERIFY(apply->isEnabled());
  }

  void enableOperations()
  {
    ControlPanel panel;
    panel.restore();
    panel.enableButtons(true);
    QVERIFY(child<QPushButton>(panel, "btnTrig")->isEnabled());
    QVERIFY(child<QSpinBox>(panel, "spinBoxTrigDelay")->isEnabled());
    Helpers::isMeasuring = true;
    panel.enableButtons(true);
    QVERIFY(!child<QPushButton>(panel, "btnStart")->isEnabled());
    QVERIFY(!child<QLabel>(panel, "labelTrigDelay")->isEnabled());
    QVERIFY(child<QPushButton>(panel, "btnStop")->isEnabled());
    panel.enableControls(false);
    QVERIFY(!child<QGroupBox>(panel, "groupBoxControl")->isEnabled());
    Helpers::isMeasuring = false;
    panel.on_toggleAlarm(true);
    QVERIFY(child<QGroupBox>(panel, "groupBoxControl")->isEnabled());
    QVERIFY(!child<QPushButton>(panel, "btnLog")->isEnabled());
    QVERIFY(!child<QGroupBox>(panel, "groupBoxChannels")->isEnabled());

    // The status panel's relay sets the delay without echoing it.
    int echoes = 0;
    connect(&panel, &ControlPanel::trigDelayChanged, [&echoes] { ++echoes; });
    panel.on_trigDelayChanged(2500);
    QCOMPARE(child<QSpinBox>(panel, "spinBoxTrigDelay")->value(), 2500);
    QCOMPARE(echoes, 0);
    child<QSpinBox>(panel, "spinBoxTrigDelay")->setValue(100);
    QCOMPARE(echoes, 1);
  }
};

TOVRI_TEST(ControlAnswersTest)
#include "tst_controlpanel_answers.moc"
