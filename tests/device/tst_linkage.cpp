#include "linkcheck.h"
#include "testmain.h"

#include <QTest>

// The device link stands on Qt alone: its tests carry nothing of the
// chart or the plotting library.
class DeviceLinkageTest : public QObject
{
  Q_OBJECT
private slots:
  void nothingAboveTheLink_data()
  {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("chart helpers") << QByteArray("7Help|ers");
    QTest::newRow("capture file") << QByteArray("8Swap|File");
    QTest::newRow("plot widget") << QByteArray("10Plot|Widget");
  }

  void nothingAboveTheLink()
  {
    QFETCH(QByteArray, name);
    bool readable = false;
    const bool found = programContains(name, &readable);
    QVERIFY(readable);
    QVERIFY2(!found, name.constData());
    // The search itself finds what is there.
    QVERIFY(programContains("9Hid|Device", &readable));
  }
};

TOVRI_TEST(DeviceLinkageTest)
#include "tst_linkage.moc"
