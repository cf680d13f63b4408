#include "helpers.h"
#include "hiddevice.h"
#include "packet.h"
#include "powerpanel.h"
#include "powerv2panel.h"
#include "simdevices.h"
#include "swapfile.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// Channel descriptions 0..count-1 named "Out <n>", as the built-in tables,
// with the data types the supply logs them in.
void describeChannels(int count, const QMap<int, int> &types = {})
{
  ChannelInfo::removeChannels();
  for (int channel = 0; channel < count; ++channel) {
    unsigned char bytes[64] = {};
    bytes[0] = ChannelInfo::Descriptor;
    bytes[4] = uchar(channel);
    bytes[5] = uchar(types.value(channel));
    const QByteArray info = QStringLiteral("V,Out %1,").arg(channel).toUtf8();
    std::copy(info.begin(), info.end(), bytes + ChannelInfo::InfoOffset);
    ChannelInfo::addChannelInfo(ChannelInfo(bytes, 64));
  }
}

// The form's widgets, by object name.
struct Form
{
  explicit Form(PowerPanel &panel)
    : start(panel.findChild<QPushButton *>("btnStart"))
    , stop(panel.findChild<QPushButton *>("btnStop"))
    , power(panel.findChild<QPushButton *>("btnCheckPower"))
    , temperature(panel.findChild<QCheckBox *>("checkBoxTemperature"))
    , custom(panel.findChild<QCheckBox *>("checkBoxCustom"))
    , rates(panel.findChild<QComboBox *>("comboBoxSampleRate"))
    , spin(panel.findChild<QSpinBox *>("spinBoxSampleRate"))
    , list(panel.findChild<QListWidget *>("listWidget"))
    , channelsGroup(panel.findChild<QGroupBox *>("groupBoxChannels"))
    , rateGroup(panel.findChild<QGroupBox *>("groupBoxSampleRate"))
    , icon(panel.findChild<QLabel *>("iconPWR"))
  {
  }
  bool complete() const
  {
    return start && stop && power && temperature && custom && rates && spin && list && channelsGroup && rateGroup &&
           icon;
  }
  void check(const QList<int> &rows)
  {
    for (int row : rows)
      list->item(row)->setCheckState(Qt::Checked);
  }
  QList<int> checkedRows() const
  {
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row) {
      if (list->item(row)->checkState() == Qt::Checked)
        rows.append(row);
    }
    return rows;
  }

  QPushButton *start, *stop, *power;
  QCheckBox *temperature, *custom;
  QComboBox *rates;
  QSpinBox *spin;
  QListWidget *list;
  QGroupBox *channelsGroup, *rateGroup;
  QLabel *icon;
};

QImage indicatorImage(const QString &path)
{
  const QPixmap pixmap(path);
  return pixmap.isNull() ? QImage() : pixmap.scaled(32, 32).toImage();
}

// The text of a supply's text reply: the bytes after the two header bytes,
// up to the carriage return, trimmed.
QString replyText(const QByteArray &report)
{
  QByteArray text = report.mid(2);
  const int end = int(text.indexOf('\r'));
  if (end >= 0)
    text.truncate(end);
  return QString::fromLatin1(text.constData(), int(qstrnlen(text.constData(), uint(text.size())))).trimmed();
}

// Stands in for the main window: sends the panel's commands over the link,
// marks the log as running, and hands the supply's answers back.
class WindowStandIn : public QObject
{
public:
  WindowStandIn(PowerPanel &panel, HidDevice &link)
    : m_panel(panel)
    , m_link(link)
  {
    connect(&panel, &PowerPanel::startPowerLog, this, [this](const QString &command) {
      Helpers::isMeasuring = true;
      m_link.sendCommand(command);
    });
    connect(&panel, &PowerPanel::stopPowerLog, this, [this](const QString &command) {
      m_link.sendCommand(command);
      m_panel.stopLog();
    });
    connect(&panel, &PowerPanel::requestPowerStatus, this, [this](const QString &command) {
      m_link.sendCommand(command);
    });
    connect(&link, &HidDevice::packetReceived, this, [this](quint8 *data, int length) {
      dispatch(QByteArray(reinterpret_cast<const char *>(data), length));
    });
  }

  void dispatch(const QByteArray &report)
  {
    if (uchar(report.at(0)) != PowerPacket::ReportId)
      return;
    const int command = uchar(report.at(2));
    if (command == PowerPacket::LogFinished) {
      ++logEnds;
      m_panel.logFinished();
      Helpers::isMeasuring = false;
    } else if (command > 31) {
      const QString text = replyText(report);
      if (text == QLatin1String("ON"))
        m_panel.responsePowerStatus(true);
      else if (text == QLatin1String("OFF"))
        m_panel.responsePowerStatus(false);
      else
        m_panel.logFailed(text);
    } else {
      frames.append(MeasurePower(reinterpret_cast<const unsigned char *>(report.constData()), 64));
    }
  }

  int logEnds = 0;
  QList<MeasurePower> frames;

private:
  PowerPanel &m_panel;
  HidDevice &m_link;
};

// Text of a 65-byte text report: 0x07, length, Latin-1 text.
QString commandText(const QByteArray &report)
{
  if (report.size() != 65 || uchar(report.at(0)) != 0x07)
    return QStringLiteral("<malformed>");
  return QString::fromLatin1(report.mid(2, uchar(report.at(1))));
}

} // namespace

class PowerPanelTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    Helpers::isMeasuring = false;
    Helpers::powerMode = false;
    Helpers::powerV2Mode = false;
    describeChannels(16);
  }
  void cleanup()
  {
    init();
    ChannelInfo::removeChannels();
  }

  void startCommandFromTheForm_data()
  {
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("customRate"); // 0: the combo entry
    QTest::addColumn<int>("comboIndex");
    QTest::addColumn<QString>("command");
    QTest::newRow("100 Hz, rows 0 1 10") << QList<int>{0, 1, 10} << 0 << 3 << "LOG100C01A\n";
    QTest::newRow("custom 1 Hz") << QList<int>{0} << 1 << 0 << "LOG1C0\n";
    QTest::newRow("custom 10000 Hz") << QList<int>{2} << 10000 << 0 << "LOG10000C2\n";
    QTest::newRow("10 Hz, rows A to E") << QList<int>{10, 11, 12, 13, 14} << 0 << 0 << "LOG10CABCDE\n";
    QTest::newRow("1000 Hz, rows B to F") << QList<int>{11, 12, 13, 14, 15} << 0 << 6 << "LOG1000CBCDEF\n";
    QTest::newRow("no rows") << QList<int>{} << 0 << 2 << "";
  }
  void startCommandFromTheForm()
  {
    QFETCH(QList<int>, rows);
    QFETCH(int, customRate);
    QFETCH(int, comboIndex);
    QFETCH(QString, command);
    PowerPanel panel;
    Form form(panel);
    QVERIFY(form.complete());
    panel.setChannels();
    QCOMPARE(form.list->count(), 16);
    QCOMPARE(form.list->item(10)->text(), QString("#10: Out 10"));
    panel.responsePowerStatus(true);
    form.check(rows);
    form.rates->setCurrentIndex(comboIndex);
    if (customRate) {
      form.custom->setChecked(true);
      form.spin->setValue(customRate);
    }
    QSignalSpy spy(&panel, &PowerPanel::startPowerLog);
    connect(&panel, &PowerPanel::startPowerLog, this, [] { Helpers::isMeasuring = true; });
    form.start->click();
    if (command.isEmpty()) {
      QCOMPARE(spy.size(), 0);
      QVERIFY(form.start->isEnabled());
      QVERIFY(!Helpers::isMeasuring);
      return;
    }
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), command);
    QCOMPARE(panel.channels(), rows);
    // The rate of the running command, as the window reads it for the period.
    QCOMPARE(panel.rate(), command.mid(3, command.indexOf('C') - 3));
  }

  void stopAndPowerRequests_data()
  {
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("measuring");
    QTest::addColumn<QString>("sent");
    QTest::newRow("stop while idle") << "stop" << false << "LOGSTOP\n";
    QTest::newRow("stop while logging") << "stop" << true << "LOGSTOP\n";
    QTest::newRow("power button") << "button" << false << "POWER\n";
    QTest::newRow("power button while logging") << "button" << true << "";
    QTest::newRow("poll tick") << "poll" << false << "POWER\n";
    QTest::newRow("poll tick while logging") << "poll" << true << "";
  }
  void stopAndPowerRequests()
  {
    QFETCH(QString, source);
    QFETCH(bool, measuring);
    QFETCH(QString, sent);
    PowerPanel panel;
    Form form(panel);
    panel.setChannels();
    panel.responsePowerStatus(false); // enables the Power button
    QStringList commands;
    connect(&panel, &PowerPanel::stopPowerLog, this, [&](const QString &c) { commands << c; });
    connect(&panel, &PowerPanel::requestPowerStatus, this, [&](const QString &c) { commands << c; });
    Helpers::isMeasuring = measuring;

    // The poll: a single shot of 500 ms starts a repeating 2000 ms timer.
    QTimer *poll = nullptr;
    QTimer *delay = nullptr;
    for (QTimer *timer : panel.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly)) {
      if (timer->isSingleShot())
        delay = timer;
      else
        poll = timer;
    }
    QVERIFY(poll && delay);
    QCOMPARE(delay->interval(), 500);
    QVERIFY(delay->isActive());
    QCOMPARE(poll->interval(), 2000);
    QVERIFY(!poll->isActive());

    if (source == "stop") {
      form.stop->click();
    } else if (source == "button") {
      form.power->click();
    } else {
      QMetaObject::invokeMethod(delay, "timeout");
      QVERIFY(poll->isActive());
      QMetaObject::invokeMethod(poll, "timeout");
    }
    QCOMPARE(commands, sent.isEmpty() ? QStringList() : QStringList{sent});
  }

  void buttonStates()
  {
    PowerPanel panel;
    Form form(panel);
    panel.setChannels();
    bool accept = true;
    connect(&panel, &PowerPanel::startPowerLog, this, [&] { Helpers::isMeasuring = accept; });
    const QImage present = indicatorImage(":/res/bullet_ball_green.png");
    const QImage absent = indicatorImage(":/res/bullet_ball_grey.png");
    QVERIFY(!present.isNull());

    struct Step
    {
      const char *event;
      std::function<void()> act;
      bool start, power, temperature, groups, measuring;
      const QImage *icon; // null: unchanged from the step before
    };
    const QList<Step> steps = {
      {"construction", [] {}, false, false, true, true, false, &absent},
      {"reply OFF", [&] { panel.responsePowerStatus(false); }, false, true, true, true, false, &absent},
      {"reply ON", [&] { panel.responsePowerStatus(true); }, true, true, true, true, false, &present},
      {"start refused by the window",
       [&] {
         accept = false;
         form.check({1, 3});
         form.start->click();
       },
       true, true, true, true, false, nullptr},
      {"start", [&] { accept = true; form.start->click(); }, false, false, false, false, true, nullptr},
      {"reply ON during the log", [&] { panel.responsePowerStatus(true); }, false, true, false, false, true, &present},
      {"reply OFF during the log", [&] { panel.responsePowerStatus(false); }, false, true, false, false, true, &absent},
      {"stop", [&] { form.stop->click(); }, false, true, true, true, true, nullptr},
      {"log finished",
       [&] {
         panel.logFinished();
         Helpers::isMeasuring = false; // as the window does on the end-of-log frame
       },
       true, true, true, true, false, nullptr},
      {"start again", [&] { form.start->click(); }, false, false, false, false, true, nullptr},
      {"log failed", [&] { panel.logFailed("ERROR"); }, true, true, true, true, false, nullptr},
    };
    for (const Step &step : steps) {
      step.act();
      const QByteArray what(step.event);
      QVERIFY2(form.start->isEnabled() == step.start, what);
      QVERIFY2(form.power->isEnabled() == step.power, what);
      QVERIFY2(form.temperature->isEnabled() == step.temperature, what);
      QVERIFY2(form.channelsGroup->isEnabled() == step.groups, what);
      QVERIFY2(form.rateGroup->isEnabled() == step.groups, what);
      QVERIFY2(Helpers::isMeasuring == step.measuring, what);
      QVERIFY2(form.stop->isEnabled(), what);
      if (step.icon)
        QVERIFY2(form.icon->pixmap().toImage() == *step.icon, what);
    }
    // The channels chosen before the log are the ones it ran with.
    QCOMPARE(panel.channels(), (QList<int>{1, 3}));
  }

  void fiveChannelsAtMost()
  {
    PowerPanel panel;
    Form form(panel);
    panel.setChannels();
    form.check({0, 2, 4, 6, 8});
    form.list->item(9)->setCheckState(Qt::Checked);
    QCOMPARE(panel.channels(), (QList<int>{0, 2, 4, 6, 8}));
    form.list->item(2)->setCheckState(Qt::Unchecked);
    form.list->item(9)->setCheckState(Qt::Checked);
    QCOMPARE(panel.channels(), (QList<int>{0, 4, 6, 8, 9}));
    // A fresh channel table starts over: nothing checked, 10 Hz.
    form.rates->setCurrentIndex(4);
    panel.setChannels();
    QCOMPARE(panel.channels(), QList<int>());
    QCOMPARE(form.rates->currentIndex(), 0);
  }

  void controlsFromCaptureHeader_data()
  {
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<bool>("v2");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("list");
    QTest::addColumn<QList<int>>("list32");
    QTest::addColumn<int>("divider");
    QTest::addColumn<int>("custom");
    QTest::addColumn<int>("fahrenheit");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<bool>("customChecked");
    QTest::addColumn<int>("spin");
    QTest::addColumn<int>("comboIndex");
    QTest::addColumn<bool>("temperature");
    // The panel starts at the 50 Hz entry with a spin value of 10.
    const QList<int> none;
    QTest::newRow("100 Hz") << false << false << 2 << QList<int>{1, 3} << none << 100 << 0 << 1 << QList<int>{1, 3}
                            << false << 10 << 3 << true;
    QTest::newRow("303 Hz has no entry") << false << false << 1 << QList<int>{2} << none << 33 << 0 << 0
                                         << QList<int>{2} << false << 10 << 2 << false;
    QTest::newRow("303 Hz custom") << false << false << 1 << QList<int>{2} << none << 33 << 1 << 0 << QList<int>{2}
                                   << true << 303 << 2 << false;
    QTest::newRow("10 Hz, flags 2") << false << false << 1 << QList<int>{0} << none << 1000 << 2 << 2
                                    << QList<int>{0} << false << 10 << 0 << false;
    QTest::newRow("V1 reads offset 13") << false << false << 2 << QList<int>{4, 5} << QList<int>{6, 7} << 10 << 0 << 0
                                        << QList<int>{4, 5} << false << 10 << 6 << false;
    QTest::newRow("V2 reads offset 44") << false << true << 2 << QList<int>{4, 5} << QList<int>{6, 7} << 10 << 0 << 0
                                        << QList<int>{6, 7} << false << 10 << 6 << false;
    QTest::newRow("count 0") << false << false << 0 << QList<int>{1} << none << 100 << 0 << 0 << none << false << 10
                             << 3 << false;
    QTest::newRow("count -1") << false << false << -1 << QList<int>{1} << none << 100 << 0 << 0 << none << false << 10
                              << 3 << false;
    QTest::newRow("count 9 of 8") << false << false << 9 << QList<int>{0, 1, 2, 40, 41, 42, 43, 44} << none << 100
                                  << 0 << 0 << QList<int>{0, 1, 2} << false << 10 << 3 << false;
    QList<int> long32;
    for (int i = 0; i < 32; ++i)
      long32.append(i < 4 ? i + 8 : 200);
    QTest::newRow("count 40 of 32") << false << true << 40 << none << long32 << 100 << 0 << 0 << QList<int>{8, 9, 10, 11}
                                    << false << 10 << 3 << false;
    QTest::newRow("no row for channel") << false << false << 2 << QList<int>{3, 99} << none << 100 << 0 << 0
                                        << QList<int>{3} << false << 10 << 3 << false;
    QTest::newRow("divider 0") << false << false << 1 << QList<int>{1} << none << 0 << 1 << 0 << QList<int>{1} << false
                               << 10 << 2 << false;
    QTest::newRow("divider -5") << false << false << 1 << QList<int>{1} << none << -5 << 0 << 1 << QList<int>{1}
                                << false << 10 << 2 << true;
    QTest::newRow("divider 30000, custom") << false << false << 1 << QList<int>{1} << none << 30000 << 1 << 0
                                           << QList<int>{1} << true << 1 << 2 << false;
    QTest::newRow("V1 file") << true << false << 2 << QList<int>{1, 3} << none << 100 << 0 << 1 << QList<int>{1, 3}
                             << false << 10 << 3 << true;
    QTest::newRow("V2 file, custom") << true << true << 2 << none << QList<int>{5, 6} << 33 << 1 << 0
                                     << QList<int>{5, 6} << true << 303 << 2 << false;
  }
  void controlsFromCaptureHeader()
  {
    QFETCH(bool, fromFile);
    QFETCH(bool, v2);
    QFETCH(int, count);
    QFETCH(QList<int>, list);
    QFETCH(QList<int>, list32);
    QFETCH(int, divider);
    QFETCH(int, custom);
    QFETCH(int, fahrenheit);
    QFETCH(QList<int>, rows);
    QFETCH(bool, customChecked);
    QFETCH(int, spin);
    QFETCH(int, comboIndex);
    QFETCH(bool, temperature);

    Helpers::powerV2Mode = v2;
    Helpers::powerMode = !v2;
    SwapFileHeader header;
    if (fromFile) {
      QTemporaryDir dir;
      QVERIFY(dir.isValid());
      const QString path = dir.filePath("capture.kelvpow");
      quint32 mask = 0;
      for (int channel : v2 ? list32 : list)
        mask |= 1u << channel;
      SwapFile file;
      QVERIFY(file.create(path));
      QVERIFY(file.setHeader(qint8(count), mask, custom == 1, qint16(divider), fahrenheit == 1));
      file.close();
      header = SwapFile::readHeader(path);
      QCOMPARE(int(header.mode), v2 ? 2 : 1);
    } else {
      header.mode = v2 ? SwapFileHeader::PowerV2 : SwapFileHeader::PowerV1;
      header.channelCount = qint8(count);
      for (int k = 0; k < list.size(); ++k)
        header.channelList[k] = quint8(list.at(k));
      for (int k = 0; k < list32.size(); ++k)
        header.channelList32[k] = quint8(list32.at(k));
      header.divider = qint16(divider);
      header.custom = qint16(custom);
      header.fahrenheit = qint16(fahrenheit);
    }

    std::unique_ptr<PowerPanel> panel(v2 ? new PowerV2Panel : new PowerPanel);
    Form form(*panel);
    describeChannels(12);
    panel->setChannels();
    form.rates->setCurrentIndex(2);
    panel->updateControls(header);
    QCOMPARE(form.checkedRows(), rows);
    QCOMPARE(form.custom->isChecked(), customChecked);
    QCOMPARE(form.spin->value(), spin);
    QCOMPARE(form.rates->currentIndex(), comboIndex);
    QCOMPARE(panel->isFahrentheit(), temperature);
  }

  void logAgainstTheSupply()
  {
    SimBus bus;
    SimPowerSupply *supply = bus.add<SimPowerSupply>();
    Helpers::powerMode = true;
    HidDevice link;
    for (QTimer *timer : link.findChildren<QTimer *>())
      timer->stop();
    link.checkTimerTick();
    QVERIFY(link.isOpen());

    describeChannels(8, supply->dataTypes);
    PowerPanel panel;
    Form form(panel);
    panel.setChannels();
    WindowStandIn window(panel, link);

    // The first poll asks for the input power.
    for (QTimer *timer : panel.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly)) {
      if (!timer->isSingleShot())
        QMetaObject::invokeMethod(timer, "timeout");
    }
    link.hidRead();
    QVERIFY(form.start->isEnabled()); // the supply answered ON

    form.check({3, 4});
    form.custom->setChecked(true);
    form.spin->setValue(50);
    form.start->click();
    QVERIFY(Helpers::isMeasuring);
    QVERIFY(supply->logging());
    QCOMPARE(supply->logRate(), 50);
    QCOMPARE(supply->logChannels(), (QList<int>{3, 4}));

    bus.advance(2000);
    link.hidRead();
    QVERIFY(!window.frames.isEmpty());
    int samples = 0;
    for (const MeasurePower &frame : std::as_const(window.frames)) {
      const QMap<int, QList<double>> values = frame.decode(panel.channels(), panel.isFahrentheit());
      QCOMPARE(values.size(), 2);
      QCOMPARE(values.value(0).size(), frame.rows());
      QCOMPARE(values.value(1).size(), frame.rows());
      // Output 3 in 0.01 steps and temperature 4 in Celsius, as asked.
      for (int k = 0; k < frame.rows(); ++k) {
        QCOMPARE(values.value(0).at(k), quint16(SimPowerSupply::sample(3, frame.counter() + quint32(k))) / 100.0);
        QCOMPARE(values.value(1).at(k), double(SimPowerSupply::sample(4, frame.counter() + quint32(k))));
      }
      samples += frame.rows();
    }
    // Two seconds at 50 Hz, in whole frames.
    QVERIFY2(samples > 100 - window.frames.first().rows() && samples <= 100, qPrintable(QString::number(samples)));

    form.stop->click();
    QVERIFY(!supply->logging());
    link.hidRead();
    QCOMPARE(window.logEnds, 1);
    QVERIFY(!Helpers::isMeasuring);
    QVERIFY(form.start->isEnabled());
    QVERIFY(form.channelsGroup->isEnabled());

    // Every command went out as one text report.
    QStringList sent;
    for (const QByteArray &report : std::as_const(supply->written))
      sent << commandText(report);
    QCOMPARE(sent, (QStringList{"POWER\n", "LOG50C34\n", "LOGSTOP\n"}));
  }
};

TOVRI_TEST(PowerPanelTest)
#include "tst_powerpanel.moc"
