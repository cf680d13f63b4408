#include "appfixture.h"
#include "glwidget.h"
#include "helpers.h"
#include "packet.h"
#include "plot.h"
#include "processstate.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTabWidget>

using namespace AppFixture;

namespace {

QByteArray report(std::initializer_list<int> bytes)
{
  QByteArray out(64, '\0');
  int i = 0;
  for (int b : bytes)
    out[i++] = char(b);
  return out;
}

void feed(MainWindow &window, QByteArray bytes)
{
  window.on_packetReceived(reinterpret_cast<quint8 *>(bytes.data()), int(bytes.size()));
}

QByteArray deviceInfo(int channelCount)
{
  return report({DeviceInfo::Descriptor, 5, 105, channelCount, 0x1D, 0xCD, 0x65, 0x00});
}

QByteArray description(int channel)
{
  ChannelInfo info;
  info.set(4, uchar(channel));
  info.set(ChannelInfo::InfoOffset, QByteArray("mV,Voltage,"));
  return QByteArray(reinterpret_cast<const char *>(info.data()), 64);
}

} // namespace

// The window's side of the logger conversation, report by report, with no
// device attached: what each descriptor changes and what it must not.
class DispatchTest : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    freshWindowState();
  }

  void controlAnswers_data()
  {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("style");
    QTest::newRow("refused start") << 0x80 << 7 << "FAILED to start measuring: 7" << "color: red";
    QTest::newRow("refused stop") << 0x40 << 255 << "FAILED to start measuring: 255" << "color: red";
    QTest::newRow("accepted start") << 0x80 << 0 << "Measuring..." << "color: black";
    QTest::newRow("accepted edge start") << 0x20 << 0 << "Measuring..." << "color: black";
    QTest::newRow("accepted stop clears") << 0x40 << 0 << "" << "color: black";
  }

  void controlAnswers()
  {
    QFETCH(int, command);
    QFETCH(int, error);
    QFETCH(QString, message);
    QFETCH(QString, style);
    MainWindow window;
    window.showStatusMessage("earlier", 0);
    feed(window, report({DeviceControl::Descriptor, command, 0, error}));
    QCOMPARE(statusText(window), message);
    QCOMPARE(window.statusBar()->styleSheet(), style);
  }

  void identificationCompletesOnce()
  {
    MainWindow window;
    QSignalSpy enabled(&window, &MainWindow::enableMeasurement);

    // Before any identification the built-in set is in place: a stray
    // description must not complete it.
    feed(window, description(0));
    QCOMPARE(window.tabWidget()->count(), 0);
    QCOMPARE(enabled.count(), 0);

    feed(window, deviceInfo(3));
    QCOMPARE(ChannelInfo::channelCount(), 0);
    QVERIFY(StatusControlResponse::firstPacket);
    feed(window, description(0));
    feed(window, description(5)); // the logger has no channel 5
    feed(window, description(1));
    QCOMPARE(window.tabWidget()->count(), 0);
    QVERIFY(!ChannelInfo::m_channels.contains(5));
    feed(window, description(2));
    QCOMPARE(window.tabWidget()->count(), 1);
    QCOMPARE(window.tabWidget()->tabText(0), QString("Capture 1"));
    QCOMPARE(window.plotter()->graphCount(), 4);
    QCOMPARE(enabled.count(), 1);
    QVERIFY(window.statusTimer()->isActive());
    QCOMPARE(window.statusTimer()->interval(), 1000);
    QCOMPARE(ChannelInfo::getChannelInfo(1).precision(), 1);

    // Repeated descriptions complete nothing again.
    for (int channel : {0, 1, 2})
      feed(window, description(channel));
    QCOMPARE(window.tabWidget()->count(), 1);
    QCOMPARE(enabled.count(), 1);

    // A new identification asks again and completes again.
    feed(window, deviceInfo(3));
    for (int channel : {0, 1, 2})
      feed(window, description(channel));
    QCOMPARE(enabled.count(), 2);
    QCOMPARE(window.tabWidget()->count(), 2);
  }

  void descriptionsIgnoredForSupplies()
  {
    MainWindow window;
    Helpers::powerMode = true;
    feed(window, deviceInfo(3));
    for (int channel : {0, 1, 2})
      feed(window, description(channel));
    QCOMPARE(window.tabWidget()->count(), 0);
    QVERIFY(!window.statusTimer()->isActive());
  }

  void statusAnswersNeedThreeGraphs()
  {
    MainWindow window;
    StatusControlResponse::firstPacket = true;
    feed(window, report({StatusControlRequest::Descriptor, 0, 0, 0, 1}));
    QVERIFY(StatusControlResponse::firstPacket); // no tab

    window.addTab(); // a tab without channels: no graphs
    feed(window, report({StatusControlRequest::Descriptor, 0, 0, 0, 1}));
    QVERIFY(StatusControlResponse::firstPacket);

    // Two graphs are still too few.
    window.plotter()->addGraph();
    window.plotter()->addGraph();
    QCOMPARE(window.plotter()->graphCount(), 2);
    feed(window, report({StatusControlRequest::Descriptor, 0, 0, 0, 1}));
    QVERIFY(StatusControlResponse::firstPacket);
    window.plotter()->clearGraphs();

    window.currentWidget()->addChannels({});
    QVERIFY(window.plotter()->graphCount() > 2);
    feed(window, report({StatusControlRequest::Descriptor, 0, 0, 0, 1}));
    QVERIFY(!StatusControlResponse::firstPacket);
  }

  void foreignDescriptors_data()
  {
    QTest::addColumn<int>("descriptor");
    for (int d : {0, 3, 8, 9, 10, 100, 254, 255})
      QTest::newRow(qPrintable(QString::number(d))) << d;
  }

  void foreignDescriptors()
  {
    QFETCH(int, descriptor);
    MainWindow window;
    QSignalSpy info(&window, &MainWindow::deviceInfoReceved);
    QSignalSpy enabled(&window, &MainWindow::enableMeasurement);
    StatusControlResponse::firstPacket = false;
    const QString status = statusText(window);
    feed(window, report({descriptor, 0x80, 3, 7, 1, 2, 3}));
    QCOMPARE(statusText(window), status);
    QCOMPARE(window.tabWidget()->count(), 0);
    QCOMPARE(ChannelInfo::channelCount(), 3);
    QVERIFY(!StatusControlResponse::firstPacket);
    QCOMPARE(info.count(), 0);
    QCOMPARE(enabled.count(), 0);
  }

  void shortAndEmptyReports()
  {
    MainWindow window;
    feed(window, QByteArray());
    window.on_packetReceived(nullptr, 64);
    // A two-byte report is padded: its missing error byte reads 0.
    feed(window, QByteArray("\x02\x80", 2));
    QCOMPARE(statusText(window), QString("Measuring..."));
  }

  void escStopsWithCurrentSettings()
  {
    QList<QByteArray> sent; // outlives the window, which stops once more when destroyed
    MainWindow window;
    DeviceControl::m_currentDeviceControl.writeU16(4, 0x0007);
    DeviceControl::m_currentDeviceControl.set(1, uchar(DeviceControl::Start));
    connect(&window, &MainWindow::stopMeasurement, this, [&sent](DeviceControl &command) {
      sent.append(QByteArray(reinterpret_cast<const char *>(command.data()), 64));
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(uchar(sent.at(0).at(1)), uchar(DeviceControl::Stop));
    QCOMPARE(uchar(sent.at(0).at(5)), uchar(0x07));
    // The running command itself is left as it is.
    QCOMPARE(int(DeviceControl::m_currentDeviceControl.data()[1]), int(DeviceControl::Start));
  }
};

TOVRI_TEST(DispatchTest)

#include "tst_dispatch.moc"
