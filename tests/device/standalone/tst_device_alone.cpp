// Built against the device library and Qt alone: if the link needed anything
// above it, this program would not link.
#include "devicemode.h"
#include "hiddevice.h"
#include "packet.h"

#include <QTest>

namespace {

// One logger on a bus that records what the link writes.
class OneDeviceBus : public HidBackend
{
public:
  QList<QByteArray> written;

  int init() override { return 0; }
  int exit() override { return 0; }
  QList<HidDeviceEntry> enumerate(unsigned short, unsigned short) override
  {
    HidDeviceEntry entry;
    entry.vendorId = HidDevice::VendorId;
    entry.productId = HidDevice::ProductId;
    entry.serial = QStringLiteral("500100001");
    return {entry};
  }
  HidHandle *open(unsigned short, unsigned short, const QString &) override
  {
    return reinterpret_cast<HidHandle *>(this);
  }
  void close(HidHandle *) override {}
  int setNonBlocking(HidHandle *, bool) override { return 0; }
  int read(HidHandle *, unsigned char *, int) override { return 0; }
  int readTimeout(HidHandle *, unsigned char *, int, int) override { return 0; }
  int write(HidHandle *, const unsigned char *report, int length) override
  {
    written.append(QByteArray(reinterpret_cast<const char *>(report), length));
    return length;
  }
  QString error(HidHandle *) override { return {}; }
  void sleep(int) override {}
  void processEvents() override {}
};

} // namespace

class DeviceAloneTest : public QObject
{
  Q_OBJECT
private slots:
  void cleanup()
  {
    DeviceMode::powerMode = false;
    DeviceMode::powerV2Mode = false;
  }

  // The link's own flags pick the report layout: report id 0 before the
  // image for the logger, the image from byte 0 for either supply.
  void flagsPickTheLayout_data()
  {
    QTest::addColumn<bool>("v1");
    QTest::addColumn<bool>("v2");
    QTest::addColumn<int>("imageAt");
    QTest::newRow("logger") << false << false << 1;
    QTest::newRow("Power V1") << true << false << 0;
    QTest::newRow("Power V2") << false << true << 0;
  }

  void flagsPickTheLayout()
  {
    QFETCH(bool, v1);
    QFETCH(bool, v2);
    QFETCH(int, imageAt);
    OneDeviceBus bus;
    HidBackend *previous = HidBackend::install(&bus);
    {
      HidDevice link;
      QVERIFY(link.searchDevice(true));
      DeviceMode::powerMode = v1;
      DeviceMode::powerV2Mode = v2;
      const BootModePacket reset;
      QCOMPARE(link.sendPacket(reset), HidDevice::OutputSize);
      QCOMPARE(bus.written.size(), 1);
      QCOMPARE(bus.written.at(0).mid(imageAt, Packet::ImageSize), reset.toByteArray());
    }
    HidBackend::install(previous);
  }
};

QTEST_GUILESS_MAIN(DeviceAloneTest)
#include "tst_device_alone.moc"
