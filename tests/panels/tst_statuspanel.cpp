#include "panelfixture.h"
#include "statuspanel.h"
#include "testmain.h"

#include <QGroupBox>
#include <QLabel>
#include <QMetaMethod>

#include <cmath>
#include <limits>

using namespace panelfixture;

namespace {

QLabel *label(StatusPanel &panel, const char *name)
{
  QLabel *widget = panel.findChild<QLabel *>(QLatin1String(name));
  if (!widget)
    qFatal("no label %s", name);
  return widget;
}

// Which of the six lights are lit, as "VBAT SYNC ..." in table order.
QString litLights(StatusPanel &panel)
{
  const QImage lit = QPixmap(QStringLiteral(":/res/bullet_ball_red.png")).scaled(16, 16).toImage();
  QStringList on;
  for (const char *name : {"iconVBAT", "iconSYNC", "iconOUT", "iconVUSB", "iconTRIG", "iconFLAG"}) {
    if (label(panel, name)->pixmap().toImage() == lit)
      on.append(QString::fromLatin1(name + 4));
  }
  return on.join(QLatin1Char(' '));
}

StatusControlResponse answerWith(float current, float v1, float v2, float vin, int pins = 0)
{
  StatusControlResponse r;
  r.set(5, uchar(pins));
  r.writeFloatLE(6, current);
  r.writeFloatLE(10, v1);
  r.writeFloatLE(14, v2);
  r.writeFloatLE(18, vin);
  return r;
}

MeasureAll frame(int status, int pinByte)
{
  MeasureAll m;
  m.set(4, uchar(status));
  m.set(5, uchar(pinByte));
  return m;
}

} // namespace

// The status panel's lights and readings.
class StatusPanelTest : public QObject
{
  Q_OBJECT
private slots:
  void init() { resetState(); }
  void cleanup() { resetState(); }

  // The panel only shows what it is handed: it has no signal for anyone to
  // connect to in the belief that it reports something.
  void declaresNoSignals()
  {
    const QMetaObject &meta = StatusPanel::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
      const QMetaMethod method = meta.method(i);
      QVERIFY2(method.methodType() != QMetaMethod::Signal, method.methodSignature().constData());
    }
  }

  void lights_data()
  {
    QTest::addColumn<bool>("fromFrame");
    QTest::addColumn<int>("pins");
    QTest::addColumn<QString>("lit");
    QTest::newRow("answer 0x00") << false << 0x00 << "TRIG";
    QTest::newRow("answer 0xF8") << false << 0xF8 << "VBAT SYNC OUT VUSB";
    QTest::newRow("answer 0xFF") << false << 0xFF << "VBAT SYNC OUT VUSB";
    QTest::newRow("answer 0x48") << false << 0x48 << "VBAT OUT TRIG";
    QTest::newRow("frame 0x07") << true << 0x07 << "TRIG";
    QTest::newRow("frame 0xA5") << true << 0xA5 << "SYNC VUSB TRIG";
    QTest::newRow("frame 0x10") << true << 0x10 << "";
  }
  void lights()
  {
    QFETCH(bool, fromFrame);
    QFETCH(int, pins);
    QFETCH(QString, lit);
    StatusPanel panel;
    panel.restore();
    QCOMPARE(litLights(panel), QString()); // the form starts dark
    // A frame with another pin state first, so that the one under test is a change.
    MeasureAll other = frame(0, pins ^ 0xF8);
    panel.update(other);
    if (fromFrame) {
      MeasureAll m = frame(0, pins);
      panel.update(m);
      panel.update(m);
    } else {
      StatusControlResponse r = answerWith(0, 0, 0, 0, pins);
      panel.update(r);
    }
    QCOMPARE(litLights(panel), lit);
  }

  void firstFrameDrawsTheLights()
  {
    // The form shows every light dark; pin state 0 must still light TRIG.
    StatusPanel panel;
    panel.restore();
    MeasureAll m = frame(0, 0x00);
    panel.update(m);
    QCOMPARE(litLights(panel), QString("TRIG"));
  }

  void readings_data()
  {
    QTest::addColumn<int>("row");
    QTest::addColumn<float>("value"); // mA for #0, mV otherwise
    QTest::addColumn<QString>("nameBefore");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    const QString mu = QString(QChar(0x03BC));
    QTest::newRow("0.5 mA") << 0 << 0.5f << "#0 Current,mA" << "500.00" << "#0 Current, " + mu + "A";
    QTest::newRow("1.5 mA") << 0 << 1.5f << "#0 Current,mA" << "1.50" << "#0 Current, mA";
    QTest::newRow("2500 mA") << 0 << 2500.0f << "#0 Current,mA" << "2.50" << "#0 Current,  A";
    QTest::newRow("-1.5 mA") << 0 << -1.5f << "#0:" << "-1500.00" << "#0:, " + mu + "A";
    QTest::newRow("3300 mV") << 1 << 3300.0f << "#1:" << "3.30" << "#1:,  V";
    QTest::newRow("500 mV") << 1 << 500.0f << "#1 Vout, V" << "500.00" << "#1 Vout, mV";
    QTest::newRow("-2000 mV") << 1 << -2000.0f << "#1:" << "-2000.00" << "#1:, mV";
    QTest::newRow("#2 renamed") << 2 << 1200.0f << "#1 Voltage,V" << "1.20" << "#2 Voltage,  V";
    QTest::newRow("placeholder") << 0 << 1.5f << "#0 a%2b%1,x" << "1.50" << "#0 a%2b%1, mA";
    QTest::newRow("NaN") << 0 << std::numeric_limits<float>::quiet_NaN() << "#0:" << "--" << "#0:";
    QTest::newRow("infinity") << 1 << std::numeric_limits<float>::infinity() << "#1:" << "--" << "#1:";
    QTest::newRow("-infinity") << 2 << -std::numeric_limits<float>::infinity() << "#2:" << "--" << "#2:";
    // The float nearest 1e30, in amperes.
    QTest::newRow("1e30 mA") << 0 << 1e30f << "#0:" << "1000000015047466175896223744.00" << "#0:,  A";
    QTest::newRow("float max mV") << 1 << std::numeric_limits<float>::max() << "#1:"
                                  << "340282346638528895621446116573184.00" << "#1:, kV";
  }
  void readings()
  {
    QFETCH(int, row);
    QFETCH(float, value);
    QFETCH(QString, nameBefore);
    QFETCH(QString, text);
    QFETCH(QString, name);
    StatusPanel panel;
    panel.restore();
    const char *values[] = {"textChannel0", "textChannel1", "textChannel2"};
    const char *names[] = {"labelChannel0", "labelChannel1", "labelChannel2"};
    label(panel, names[row])->setText(nameBefore);
    float v[3] = {1.0f, 1000.0f, 1000.0f};
    v[row] = value;
    StatusControlResponse r = answerWith(v[0], v[1], v[2], 5000.0f);
    panel.update(r);
    QCOMPARE(label(panel, values[row])->text(), text);
    QCOMPARE(label(panel, names[row])->text(), name);
    QCOMPARE(label(panel, "textVin")->text(), QString("5.00"));
    QCOMPARE(label(panel, "labelChannel4")->text(), QString("Vin, V"));
  }

  void vinNotFinite()
  {
    StatusPanel panel;
    panel.restore();
    StatusControlResponse r = answerWith(1, 1, 1, std::numeric_limits<float>::quiet_NaN());
    panel.update(r);
    QCOMPARE(label(panel, "textVin")->text(), QString("--"));
  }

  void answerDuringCaptureChangesNothing()
  {
    StatusPanel panel;
    panel.restore();
    Helpers::isMeasuring = true;
    StatusControlResponse r = answerWith(1.5f, 3300, 3300, 3300, 0xF8);
    panel.update(r);
    QCOMPARE(label(panel, "textChannel0")->text(), QString("0"));
    QCOMPARE(label(panel, "labelChannel1")->text(), QString("#1:"));
    QCOMPARE(litLights(panel), QString());
  }

  void refreshAndEnable()
  {
    StatusPanel panel;
    panel.restore();
    QString names[3] = {"#0 Current, mA", "", "#2 Voltage, V"};
    QString values[3] = {"", "3.30", "1.80"};
    panel.refreshChannels(names, values);
    QCOMPARE(label(panel, "labelChannel0")->text(), QString("#0 Current, mA"));
    QCOMPARE(label(panel, "labelChannel1")->text(), QString("#1:"));
    QCOMPARE(label(panel, "textChannel0")->text(), QString("0"));
    QCOMPARE(label(panel, "textChannel1")->text(), QString("3.30"));
    QCOMPARE(label(panel, "textChannel2")->text(), QString("1.80"));
    panel.refreshChannels(nullptr, nullptr);

    panel.findChild<QGroupBox *>("groupBox")->setEnabled(false);
    panel.enableControls(true);
    QCOMPARE(label(panel, "textChannel1")->text(), QString("3.30"));
    QVERIFY(panel.findChild<QGroupBox *>("groupBox")->isEnabled());
    panel.enableControls(false);
    for (const char *name : {"textChannel0", "textChannel1", "textChannel2", "textVin"})
      QCOMPARE(label(panel, name)->text(), QString("--"));
    QCOMPARE(label(panel, "labelChannel2")->text(), QString("#2 Voltage, V"));

    // Applying the form texts again resets readings and names, not the lights.
    MeasureAll m = frame(0, 0x40);
    panel.update(m);
    panel.on_translate();
    QCOMPARE(label(panel, "textChannel1")->text(), QString("0"));
    QCOMPARE(label(panel, "labelChannel2")->text(), QString("#2:"));
    QCOMPARE(litLights(panel), QString("VBAT TRIG"));
  }
};

TOVRI_TEST(StatusPanelTest)
#include "tst_statuspanel.moc"
