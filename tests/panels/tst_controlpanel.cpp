#include "controlpanel.h"
#include "hiddevice.h"
#include "panelfixture.h"
#include "simdevices.h"
#include "statuspanel.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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

// Records every message the panel emits, as 64-byte images.
struct Emitted
{
  explicit Emitted(ControlPanel &panel)
  {
    QObject::connect(&panel, &ControlPanel::startMeasurement, [this](DeviceControl &c) { starts.append(bytesOf(c)); });
    QObject::connect(&panel, &ControlPanel::stopMeasurement, [this](DeviceControl &c) { stops.append(bytesOf(c)); });
    QObject::connect(&panel, &ControlPanel::requestStatus,
                     [this](StatusControlRequest &r) { requests.append(bytesOf(r)); });
  }
  QList<QByteArray> starts;
  QList<QByteArray> stops;
  QList<QByteArray> requests;
};

QString checkedChannels(ControlPanel &panel)
{
  QListWidget *list = child<QListWidget>(panel, "listWidget");
  QStringList out;
  for (int i = 0; i < list->count(); ++i) {
    if (list->item(i)->checkState() == Qt::Checked)
      out.append(list->item(i)->data(Qt::UserRole).toString());
  }
  return out.join(QLatin1Char(','));
}

void check(ControlPanel &panel, const QString &channels)
{
  const QStringList wanted = channels.split(QLatin1Char(','), Qt::SkipEmptyParts);
  QListWidget *list = child<QListWidget>(panel, "listWidget");
  for (int i = 0; i < list->count(); ++i) {
    QListWidgetItem *item = list->item(i);
    const bool on = wanted.contains(item->data(Qt::UserRole).toString());
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
}

void setVin(ControlPanel &panel, bool vbat, bool vusb)
{
  for (auto [name, on] : {std::pair{"radioButtonVbat", vbat}, std::pair{"radioButtonVusb", vusb}}) {
    QRadioButton *b = child<QRadioButton>(panel, name);
    b->setAutoExclusive(false);
    b->setChecked(on);
    b->setAutoExclusive(true);
  }
}

} // namespace

// What the control panel sends: start, stop and status messages built from
// the form, checked byte for byte, and the settings it keeps.
class ControlPanelTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { resetState(); }
  void cleanup() { resetState(); }

  void startCommands_data()
  {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("comboIndex");
    QTest::addColumn<int>("custom"); // 0: combo decides
    QTest::addColumn<QString>("channels");
    QTest::addColumn<int>("trigDelay");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("start 1 kHz #0 #2") << "btnStart" << 3 << 0 << "0,2" << 0 << image("02 80 00 00 00 05 00 0A 01");
    QTest::newRow("start 1 Hz all") << "btnStart" << 12 << 0 << "0,1,2" << 0 << image("02 80 00 00 00 07 27 10 01");
    QTest::newRow("edge without delay") << "btnTrig" << 3 << 0 << "0" << 0 << image("02 20 00 00 00 01 00 0A 01 00 00");
    QTest::newRow("edge 500 ms") << "btnTrig" << 3 << 0 << "0" << 500 << image("02 10 00 00 00 01 00 0A 01 01 F4");
    QTest::newRow("gate ignores delay") << "btnLog" << 4 << 0 << "1" << 700 << image("02 08 00 00 00 02 00 14 01");
    QTest::newRow("custom 7") << "btnStart" << 5 << 7 << "0" << 0 << image("02 80 00 00 00 01 00 07 01");
    QTest::newRow("custom at the top") << "btnStart" << 5 << 32767 << "2" << 0 << image("02 80 00 00 00 04 7F FF 01");
    QTest::newRow("no channel") << "btnStart" << 3 << 0 << "" << 0 << image("02 80 00 00 00 00 00 0A 01");
    QTest::newRow("channel 15") << "btnStart" << 3 << 0 << "0,15" << 0 << image("02 80 00 00 80 01 00 0A 01");
  }
  void startCommands()
  {
    QFETCH(QString, button);
    QFETCH(int, comboIndex);
    QFETCH(int, custom);
    QFETCH(QString, channels);
    QFETCH(int, trigDelay);
    QFETCH(QByteArray, expected);
    describe({0, 1, 2, 15, 16});
    ControlPanel panel;
    panel.restore();
    panel.setChannels();
    Emitted out(panel);
    child<QComboBox>(panel, "comboBoxSampleRate")->setCurrentIndex(comboIndex);
    child<QCheckBox>(panel, "checkBoxCustom")->setChecked(custom > 0);
    if (custom > 0)
      child<QSpinBox>(panel, "spinBoxSampleRate")->setValue(custom);
    check(panel, channels);
    child<QSpinBox>(panel, "spinBoxTrigDelay")->setValue(trigDelay);
    panel.enableButtons(true);
    QTest::mouseClick(child<QPushButton>(panel, button.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(out.starts.size(), 1);
    QCOMPARE(out.starts.at(0).toHex(' '), expected.toHex(' '));
    // Channel 16 has no mask bit and no check box.
    QCOMPARE(child<QListWidget>(panel, "listWidget")->count(), 4);
  }

  void statusRequests_data()
  {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("trig");
    QTest::addColumn<int>("vin"); // 0 none, 1 Vbat, 2 Vusb
    QTest::addColumn<QString>("power");
    QTest::addColumn<int>("errorStatus");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("poll") << "poll" << true << 0 << "" << 0 << image("06 00 00 07 08 00 00");
    QTest::newRow("apply TRIG Vbat") << "btnApply" << true << 1 << "" << 0 << image("06 D2 00 0C E4 03 E8");
    QTest::newRow("apply Logging no Vin") << "btnApply" << false << 0 << "" << 0 << image("06 13 00 0C E4 03 E8");
    QTest::newRow("apply Logging Vusb") << "btnApply" << false << 2 << "" << 0 << image("06 93 00 0C E4 03 E8");
    QTest::newRow("set none") << "toolButtonSet" << true << 0 << "" << 0 << image("06 00 00 0C E4 03 E8");
    QTest::newRow("set delayed") << "toolButtonSet" << true << 0 << "radioButtonDelayed" << 0
                                 << image("06 0C 00 0C E4 03 E8");
    QTest::newRow("set permanent") << "toolButtonSet" << true << 0 << "radioButtonPermanent" << 0
                                   << image("06 08 00 0C E4 03 E8");
    QTest::newRow("set off") << "toolButtonSet" << true << 0 << "radioButtonOff" << 0 << image("06 04 00 0C E4 03 E8");
    QTest::newRow("reset low battery") << "btnResetErrors" << true << 0 << "" << 0x02 << image("06 30 00 0C E4 00 00");
    QTest::newRow("reset converter") << "btnResetErrors" << true << 0 << "" << 0x41 << image("06 20 00 00 00 00 00");
  }
  void statusRequests()
  {
    QFETCH(QString, action);
    QFETCH(bool, trig);
    QFETCH(int, vin);
    QFETCH(QString, power);
    QFETCH(int, errorStatus);
    QFETCH(QByteArray, expected);
    ControlPanel panel;
    panel.restore();
    child<QSpinBox>(panel, "spinBoxOutputVoltage")->setValue(3300);
    child<QSpinBox>(panel, "spinBoxSyncDelay")->setValue(1000);
    child<QRadioButton>(panel, trig ? "radioButtonTRIG" : "radioButtonLog")->setChecked(true);
    setVin(panel, vin == 1, vin == 2);
    QRadioButton *off = child<QRadioButton>(panel, "radioButtonOff");
    off->setAutoExclusive(false);
    off->setChecked(false);
    if (!power.isEmpty())
      child<QRadioButton>(panel, power.toLatin1().constData())->setChecked(true);
    panel.enableControls(true);
    BoxCatcher boxes;
    if (errorStatus) {
      StatusControlResponse r = answer({errorStatus, 0x40, 3300, 8});
      panel.update(r);
    }
    QList<int> order; // resetClicked comes before the request
    connect(&panel, &ControlPanel::resetClicked, [&order] { order.append(1); });
    connect(&panel, &ControlPanel::requestStatus, [&order](StatusControlRequest &) { order.append(2); });
    Emitted out(panel);
    if (action == QLatin1String("poll"))
      panel.refreshStatus();
    else
      QTest::mouseClick(child<QAbstractButton>(panel, action.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(out.requests.size(), 1);
    QCOMPARE(out.requests.at(0).toHex(' '), expected.toHex(' '));
    if (action == QLatin1String("btnResetErrors"))
      QCOMPARE(order, QList<int>({1, 2}));
    if (action == QLatin1String("btnApply")) {
      QCOMPARE(panel.appliedVoltage(), 3300);
      QVERIFY(StatusControlRequest::justRequested);
      QVERIFY(child<QPushButton>(panel, "btnStart")->isEnabled());
    }
    boxes.settle();
  }

  void stopCopiesTheRunningStart()
  {
    describe({0, 1, 2});
    ControlPanel panel;
    panel.restore();
    panel.setChannels();
    Emitted out(panel);
    child<QComboBox>(panel, "comboBoxSampleRate")->setCurrentIndex(3);
    check(panel, QStringLiteral("0"));
    child<QSpinBox>(panel, "spinBoxTrigDelay")->setValue(300);
    panel.enableButtons(true);
    QTest::mouseClick(child<QPushButton>(panel, "btnTrig"), Qt::LeftButton);
    DeviceControl::m_currentDeviceControl = DeviceControl(Packet(out.starts.at(0)));
    Helpers::isMeasuring = true;
    QTest::mouseClick(child<QPushButton>(panel, "btnStop"), Qt::LeftButton);
    QCOMPARE(out.stops.size(), 1);
    QCOMPARE(out.stops.at(0).toHex(' '), image("02 40 00 00 00 01 00 0A 01 01 2C").toHex(' '));
  }

  // The test plays the main window: the panels' messages go over the link to
  // the simulated logger and its answers come back to the panels.
  void captureAgainstTheLogger()
  {
    SimBus bus;
    SimLogger *logger = bus.add<SimLogger>();
    logger->status.set(5, uchar(0x48));
    logger->status.set(24, uchar(12));
    HidDevice link;
    for (QTimer *timer : link.findChildren<QTimer *>())
      timer->stop();
    link.checkTimerTick();
    QVERIFY(link.isOpen());
    describe({0, 1, 2});

    ControlPanel control;
    StatusPanel status;
    control.restore();
    status.restore();
    control.setChannels();
    int frames = 0;
    connect(&control, &ControlPanel::startMeasurement, [&](DeviceControl &c) {
      Helpers::isMeasuring = true;
      DeviceControl::m_currentDeviceControl = c;
      control.enableChannelsGroup(false);
      link.sendPacket(c);
    });
    connect(&control, &ControlPanel::stopMeasurement, [&](DeviceControl &c) {
      link.sendPacket(c);
      Helpers::isMeasuring = false;
      control.enableChannelsGroup(true);
    });
    connect(&control, &ControlPanel::requestStatus, [&](StatusControlRequest &r) {
      if (!Helpers::isMeasuring)
        link.sendPacket(r);
    });
    connect(&link, &HidDevice::packetReceived, [&](quint8 *data, int length) {
      if (data[0] == StatusControlResponse::Descriptor) {
        StatusControlResponse r(data, length);
        status.update(r);
        control.update(r);
      } else if (data[0] == MeasureAll::Descriptor) {
        MeasureAll m(data, length);
        status.update(m);
        ++frames;
      }
    });

    // Set Delayed and Apply: the answer checks the radio buttons it reports.
    child<QRadioButton>(control, "radioButtonPermanent")->setChecked(true);
    setVin(control, false, true);
    control.enableControls(true);
    QTest::mouseClick(child<QToolButton>(control, "toolButtonSet"), Qt::LeftButton);
    link.hidRead();
    QVERIFY(child<QRadioButton>(control, "radioButtonDelayed")->isChecked());
    QVERIFY(child<QRadioButton>(control, "radioButtonVbat")->isChecked());
    QVERIFY(!child<QRadioButton>(control, "radioButtonVusb")->isChecked());
    QTest::mouseClick(child<QPushButton>(control, "btnApply"), Qt::LeftButton);
    link.hidRead();
    QVERIFY(child<QPushButton>(control, "btnStart")->isEnabled());

    child<QComboBox>(control, "comboBoxSampleRate")->setCurrentIndex(3);
    check(control, QStringLiteral("0,2"));
    logger->written.clear();
    QTest::mouseClick(child<QPushButton>(control, "btnStart"), Qt::LeftButton);
    QVERIFY(logger->streaming());
    control.refreshStatus(); // dropped during the capture
    bus.advance(200);
    link.hidRead();
    QVERIFY(frames > 0);
    QTest::mouseClick(child<QPushButton>(control, "btnStop"), Qt::LeftButton);
    QVERIFY(!logger->streaming());

    const QByteArray start = QByteArray(1, '\0') + image("02 80 00 00 00 05 00 0A 01");
    const QByteArray stop = QByteArray(1, '\0') + image("02 40 00 00 00 05 00 0A 01");
    QCOMPARE(logger->written.size(), 2);
    QCOMPARE(logger->written.at(0).toHex(' '), start.left(65).toHex(' '));
    QCOMPARE(logger->written.at(1).toHex(' '), stop.left(65).toHex(' '));
  }

  void emptySettings()
  {
    describe({0, 1, 2});
    ControlPanel panel;
    panel.restore();
    QCOMPARE(child<QSpinBox>(panel, "spinBoxOutputVoltage")->value(), 1800);
    QCOMPARE(panel.appliedVoltage(), 1800);
    QVERIFY(child<QRadioButton>(panel, "radioButtonOff")->isChecked());
    QVERIFY(child<QRadioButton>(panel, "radioButtonTRIG")->isChecked());
    QCOMPARE(child<QSpinBox>(panel, "spinBoxSyncDelay")->value(), 0);
    QCOMPARE(child<QSpinBox>(panel, "spinBoxTrigDelay")->value(), 0);
    QCOMPARE(child<QSpinBox>(panel, "spinBoxSampleRate")->value(), 5);
    QCOMPARE(child<QLabel>(panel, "labelFq")->text(), QString("(2.000 kHz)"));
    QVERIFY(!child<QCheckBox>(panel, "checkBoxCustom")->isChecked());
    QCOMPARE(child<QComboBox>(panel, "comboBoxSampleRate")->currentIndex(), 0);
    QVERIFY(child<QComboBox>(panel, "comboBoxSampleRate")->isEnabled());
    QVERIFY(!child<QSpinBox>(panel, "spinBoxSampleRate")->isEnabled());
    QVERIFY(child<QLabel>(panel, "labelPower")->isHidden());
    // No stored selection: every channel, but 10 kHz keeps only the first.
    panel.setChannels();
    QCOMPARE(checkedChannels(panel), QString("0"));
    child<QComboBox>(panel, "comboBoxSampleRate")->setCurrentIndex(3);
    panel.setChannels();
    QCOMPARE(checkedChannels(panel), QString("0,1,2"));
  }

  void storedSettings_data()
  {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("voltage");
    QTest::addColumn<int>("syncDelay");
    QTest::addColumn<int>("divider");
    QTest::addColumn<int>("comboIndex");
    QTest::addColumn<QString>("checked");
    const QByteArray measure = "[Measure]\nsample-rate-combo=3\n";
    QTest::newRow("sync delay 45000") << QByteArray("[Control]\nsync-delay=45000\n") + measure << 1800 << 45000 << 10
                                      << 3 << "0,1,2";
    QTest::newRow("voltage no number") << QByteArray("[Control]\noutput-voltage=abc\n") + measure << 1800 << 0 << 10
                                       << 3 << "0,1,2";
    QTest::newRow("voltage too high") << QByteArray("[Control]\noutput-voltage=9999\n") + measure << 5200 << 0 << 10
                                      << 3 << "0,1,2";
    QTest::newRow("voltage 0") << QByteArray("[Control]\noutput-voltage=0\n") + measure << 1800 << 0 << 10 << 3
                               << "0,1,2";
    QTest::newRow("combo 99") << QByteArray("[Measure]\nsample-rate-combo=99\n") << 1800 << 0 << 1 << 0 << "0";
    QTest::newRow("combo -4") << QByteArray("[Measure]\nsample-rate-combo=-4\n") << 1800 << 0 << 1 << 0 << "0";
    QTest::newRow("combo junk") << QByteArray("[Measure]\nsample-rate-combo=@@\n") << 1800 << 0 << 1 << 0 << "0";
    QTest::newRow("custom divider 0") << QByteArray("[Measure]\nsample-rate=0\nsample-rate-custom=true\n") << 1800 << 0
                                      << 1 << 0 << "0";
    QTest::newRow("custom divider 40000") << QByteArray("[Measure]\nsample-rate=40000\nsample-rate-custom=true\n")
                                          << 1800 << 0 << 32767 << 0 << "0";
    QTest::newRow("channels 0,2") << QByteArray("[Measure]\nsample-rate-combo=3\nchannels=\"0,2,\"\n") << 1800 << 0
                                  << 10 << 3 << "0,2";
    QTest::newRow("channels unquoted") << QByteArray("[Measure]\nsample-rate-combo=3\nchannels=0,2,\n") << 1800 << 0
                                       << 10 << 3 << "0,2";
    QTest::newRow("channels empty") << QByteArray("[Measure]\nsample-rate-combo=3\nchannels=\"\"\n") << 1800 << 0
                                    << 10 << 3 << "";
    QTest::newRow("channels junk") << QByteArray("[Measure]\nsample-rate-combo=3\nchannels=\" 1 ,x,\"\n") << 1800
                                   << 0 << 10 << 3 << "0,1";
    QTest::newRow("channels repeated") << QByteArray("[Measure]\nsample-rate-combo=3\nchannels=\"2,2,2,\"\n") << 1800
                                       << 0 << 10 << 3 << "2";
    QTest::newRow("restored at 10 kHz") << QByteArray("[Measure]\nchannels=\"1,2,\"\n") << 1800 << 0 << 1 << 0 << "1";
  }
  void storedSettings()
  {
    QFETCH(QByteArray, file);
    QFETCH(int, voltage);
    QFETCH(int, syncDelay);
    QFETCH(int, divider);
    QFETCH(int, comboIndex);
    QFETCH(QString, checked);
    writeSettings(file);
    describe({0, 1, 2});
    ControlPanel panel;
    panel.restore();
    panel.setChannels();
    QCOMPARE(child<QSpinBox>(panel, "spinBoxOutputVoltage")->value(), voltage);
    QCOMPARE(panel.appliedVoltage(), voltage);
    QCOMPARE(child<QSpinBox>(panel, "spinBoxSyncDelay")->value(), syncDelay);
    QCOMPARE(panel.sampleRates(), divider);
    QCOMPARE(child<QComboBox>(panel, "comboBoxSampleRate")->currentIndex(), comboIndex);
    QCOMPARE(checkedChannels(panel), checked);

    // The restored voltage is the one the logger reads back: Start opens.
    StatusControlResponse r = answer({0, 0x40, voltage, 8});
    panel.update(r);
    QVERIFY(child<QPushButton>(panel, "btnStart")->isEnabled());

    // What Start sends agrees with the form: one channel at divider 1.
    Emitted out(panel);
    QTest::mouseClick(child<QPushButton>(panel, "btnStart"), Qt::LeftButton);
    QCOMPARE(out.starts.size(), 1);
    const DeviceControl sent{Packet(out.starts.at(0))};
    QCOMPARE(int(sent.readU16(6)), divider);
    if (divider == 1)
      QVERIFY(sent.readU16(4) == 0 || qPopulationCount(sent.readU16(4)) == 1);
  }

  void backupWritesTheForm()
  {
    writeSettings("[Measure]\nchannels=\"1,\"\n");
    describe({0, 1, 2});
    QVERIFY(!HidDevice::m_instance);
    {
      ControlPanel panel;
      panel.restore();
      panel.setChannels();
      child<QComboBox>(panel, "comboBoxSampleRate")->setCurrentIndex(5);
      check(panel, QStringLiteral("0,2"));
      child<QRadioButton>(panel, "radioButtonDelayed")->setChecked(true);
      child<QSpinBox>(panel, "spinBoxTrigDelay")->setValue(1200);
      panel.backup();
      // No link: no device open, and none is created at exit.
      QVERIFY(!HidDevice::m_instance);
    }
    {
      Settings s;
      QCOMPARE(s.value("Measure/channels").toString(), QString("1,"));
      QCOMPARE(s.value("Measure/sample-rate-combo").toInt(), 5);
      QCOMPARE(s.value("Control/delayed-power-on").toBool(), true);
      QCOMPARE(s.value("Control/trig-delay").toInt(), 1200);
    }

    SimBus bus;
    bus.add<SimLogger>();
    HidDevice link;
    for (QTimer *timer : link.findChildren<QTimer *>())
      timer->stop();
    link.checkTimerTick();
    QVERIFY(link.isOpen());
    ControlPanel panel;
    panel.restore();
    panel.setChannels();
    check(panel, QStringLiteral("0,2"));
    panel.backup();
    QCOMPARE(Settings().value("Measure/channels").toString(), QString("0,2,"));
    // Read back the way the next start reads it.
    ControlPanel next;
    next.restore();
    next.setChannels();
    QCOMPARE(checkedChannels(next), QString("0,2"));
  }

  void oneChannelRule()
  {
    describe({0, 1, 2});
    writeSettings("[Measure]\nsample-rate-combo=3\n");
    ControlPanel panel;
    panel.restore();
    panel.setChannels();
    QComboBox *combo = child<QComboBox>(panel, "comboBoxSampleRate");
    QListWidget *list = child<QListWidget>(panel, "listWidget");
    QCOMPARE(checkedChannels(panel), QString("0,1,2"));

    // A language change refills the list at 1 kHz and keeps the three.
    panel.addSampleRateItems();
    panel.on_translate();
    QCOMPARE(combo->currentIndex(), 3);
    QCOMPARE(checkedChannels(panel), QString("0,1,2"));

    combo->setCurrentIndex(0);
    QCOMPARE(checkedChannels(panel), QString("0"));
    list->item(1)->setCheckState(Qt::Checked); // the mark moves
    QCOMPARE(checkedChannels(panel), QString("1"));
    list->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(checkedChannels(panel), QString(""));

    combo->setCurrentIndex(3);
    check(panel, QStringLiteral("2"));
    combo->setCurrentIndex(0);
    QCOMPARE(checkedChannels(panel), QString("2"));

    // Custom divider 1 is 10 kHz too.
    combo->setCurrentIndex(3);
    check(panel, QStringLiteral("0,1,2"));
    child<QCheckBox>(panel, "checkBoxCustom")->setChecked(true);
    child<QSpinBox>(panel, "spinBoxSampleRate")->setValue(1);
    Emitted out(panel);
    panel.on_startButton();
    QCOMPARE(out.starts.at(0).toHex(' '), image("02 80 00 00 00 01 00 01 01").toHex(' '));
    QCOMPARE(checkedChannels(panel), QString("0"));
  }

  void channelList_data()
  {
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<QString>("text");
    QTest::newRow("unit and name") << QByteArray("mA,Current,") << "#0: Current";
    QTest::newRow("no comma") << QByteArray("mA") << "#0: ";
    QTest::newRow("zero inside") << QByteArray("mV,Volt\0age,", 12) << "#0: Volt";
    QTest::newRow("full field") << QByteArray("u,").append(QByteArray(46, 'n')) << "#0: " + QString(46, 'n');
    QTest::newRow("placeholders") << QByteArray("mV,a%2b%1,") << "#0: a%2b%1";
    QTest::newRow("invalid UTF-8") << QByteArray("mV,\xff\xfe" "X,") << "#0: " + QString::fromUtf8("\xff\xfe" "X");
    QTest::newRow("UTF-8 name") << QByteArray("\xce\xbc" "A,Str\xc3\xb6m,") << QString::fromUtf8("#0: Str\xc3\xb6m");
  }
  void channelList()
  {
    QFETCH(QByteArray, info);
    QFETCH(QString, text);
    describe(0, info);
    ControlPanel panel;
    panel.restore();
    panel.setChannels();
    QListWidget *list = child<QListWidget>(panel, "listWidget");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), text);
    QVERIFY(list->item(0)->flags() & Qt::ItemIsUserCheckable);
    // After the device has gone the list is empty.
    ChannelInfo::removeChannels();
    panel.setChannels();
    QCOMPARE(list->count(), 0);
  }

  void multipliersAndTheme()
  {
    ControlPanel panel;
    panel.restore();
    panel.show();
    QList<QPair<int, int>> seen;
    connect(&panel, &ControlPanel::multiplierChanged, [&seen](int c, int v) { seen.append({c, v}); });
    QSpinBox *one = child<QSpinBox>(panel, "spinBox1");
    one->selectAll();
    QTest::keyClicks(one, QStringLiteral("3"));
    QCOMPARE(seen, (QList<QPair<int, int>>{{1, 3}, {1, 3}}));
    QCOMPARE(panel.mult1(), 3);
    seen.clear();
    child<QSpinBox>(panel, "spinBox2")->setValue(4);
    QCOMPARE(seen, (QList<QPair<int, int>>{{2, 4}, {2, 4}}));
    QCOMPARE(panel.mult2(), 4);

    const auto image = [](const QIcon &icon, QIcon::Mode mode) {
      return icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const auto file = [](const char *name) {
      return QImage(QStringLiteral(":/res/%1.png").arg(QLatin1String(name))).convertToFormat(QImage::Format_ARGB32);
    };
    panel.on_changeColorTheme(true);
    QPushButton *start = child<QPushButton>(panel, "btnStart");
    QCOMPARE(image(start->icon(), QIcon::Disabled), file("play-gray"));
    QCOMPARE(image(start->icon(), QIcon::Normal), file("play-white"));
    QCOMPARE(image(child<QPushButton>(panel, "btnLog")->icon(), QIcon::Disabled), file("trig-gate-gray"));
    panel.on_changeColorTheme(false);
    QCOMPARE(image(start->icon(), QIcon::Normal), file("play-black"));
    QCOMPARE(image(child<QPushButton>(panel, "btnTrig")->icon(), QIcon::Normal), file("trig-edge-black"));
  }
};

TOVRI_TEST(ControlPanelTest)
#include "tst_controlpanel.moc"
