#include "linkcheck.h"
#include "testmain.h"

#include <QTest>

// The plotting library stands alone: its tests carry nothing of the
// application's libraries.
class PlotLinkageTest : public QObject
{
  Q_OBJECT
private slots:
  void nothingOfTheApplication_data()
  {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("chart helpers") << QByteArray("7Help|ers");
    QTest::newRow("capture file") << QByteArray("8Swap|File");
    QTest::newRow("device link") << QByteArray("9Hid|Device");
    QTest::newRow("channel descriptions") << QByteArray("11Channel|Info");
  }

  void nothingOfTheApplication()
  {
    QFETCH(QByteArray, name);
    bool readable = false;
    const bool found = programContains(name, &readable);
    QVERIFY(readable);
    QVERIFY2(!found, name.constData());
    // The search itself finds what is there.
    QVERIFY(programContains("10Plot|Widget", &readable));
  }
};

TOVRI_TEST(PlotLinkageTest)
#include "tst_linkage.moc"
