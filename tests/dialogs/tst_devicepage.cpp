#include "dialogrig.h"
#include "settings.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray lastWrite(SimPowerSupply *supply)
{
  return supply->settingsWrites.isEmpty() ? QByteArray() : bytesOf(supply->settingsWrites.last());
}

// Block byte k of a written report.
uchar blockByte(const QByteArray &report, int k)
{
  return uchar(report.at(3 + k));
}

} // namespace

class TestDevicePage : public QObject
{
  Q_OBJECT
private slots:
  // What the supply sent goes back unchanged when nothing was edited: the
  // page's own bytes through the controls, every other byte as received.
  void roundTrip_data()
  {
    QTest::addColumn<bool>("v2");
    QTest::addColumn<QList<int>>("changes"); // block byte, value pairs
    QTest::newRow("first model") << false << QList<int>{};
    QTest::newRow("second model") << true << QList<int>{};
    QTest::newRow("date format the box lacks") << false << QList<int>{10, 9};
    QTest::newRow("hour 25") << false << QList<int>{6, 25, 9, 61};
    QTest::newRow("unknown bits") << false << QList<int>{0, 0xF5, 1, 0xFB, 2, 0xFF};
    QTest::newRow("unknown field code") << true << QList<int>{24, 200};
    QTest::newRow("slide show 0") << false << QList<int>{19, 0};
    QTest::newRow("largest threshold and delay") << false << QList<int>{3, 255, 4, 255};
  }
  void roundTrip()
  {
    QFETCH(bool, v2);
    QFETCH(QList<int>, changes);
    DialogRig<> rig(true, v2);
    PowerGetPacket block = sampleBlock();
    for (int i = 0; i + 1 < changes.size(); i += 2)
      block.setBlock(changes[i], uchar(changes[i + 1]));
    rig.receive(block);
    PowerGetPacket built;
    rig.dialog->preparePacket(built);
    QCOMPARE(bytesOf(built), bytesOf(block));

    rig.w<QPushButton>("pushButtonApply_2")->click();
    const QByteArray sent = lastWrite(rig.device);
    QCOMPARE(sent.size(), 64);
    QCOMPARE(uchar(sent.at(2)), uchar(0x0B));
    QCOMPARE(blockByte(sent, 54), uchar(0x01));
    // The action and clock bytes are the request's own.
    QCOMPARE(sent.mid(3 + 55, 4), QByteArray(4, '\0'));
    for (int k = 0; k < 61; ++k) {
      if (k < 54 || k > 58)
        QCOMPARE(blockByte(sent, k), block.block(k));
    }
  }

  void controlsFromBlock()
  {
    DialogRig<> rig;
    PowerGetPacket block = sampleBlock();
    block.setBlock(1, 0x0B);
    block.setBlock(3, 7);
    rig.receive(block);
    QVERIFY(rig.w<QGroupBox>("groupBoxTime_3")->isChecked());
    QVERIFY(rig.w<QRadioButton>("radioButtonDigital_2")->isChecked());
    QVERIFY(rig.w<QCheckBox>("checkBox24h_2")->isChecked());
    QVERIFY(rig.w<QCheckBox>("checkBoxF_2")->isChecked());
    QCOMPARE(rig.w<QDoubleSpinBox>("doubleSpinBoxAmpers_2")->value(), 0.7);
    // The first model has no trim: the box is never set from the block.
    QCOMPARE(rig.w<QSpinBox>("spinBoxTune12")->value(), 0);
  }

  void threshold_data()
  {
    QTest::addColumn<double>("amperes");
    QTest::addColumn<int>("byte");
    QTest::newRow("2.5 A") << 2.5 << 25;
    QTest::newRow("2.3 A") << 2.3 << 23;
    QTest::newRow("30 A is capped") << 30.0 << 255;
  }
  void threshold()
  {
    QFETCH(double, amperes);
    QFETCH(int, byte);
    DialogRig<> rig;
    rig.receive(sampleBlock());
    rig.w<QDoubleSpinBox>("doubleSpinBoxAmpers_2")->setValue(amperes);
    rig.w<QPushButton>("pushButtonApply_2")->click();
    QCOMPARE(int(blockByte(lastWrite(rig.device), 3)), byte);
  }

  void utcOffset_data()
  {
    QTest::addColumn<int>("offsetSeconds");
    QTest::addColumn<int>("byte");
    QTest::newRow("-03:30") << -(3 * 3600 + 1800) << 0xFD;
    QTest::newRow("+05:45") << (5 * 3600 + 2700) << 5;
    QTest::newRow("-05:00") << -5 * 3600 << 0xFB;
  }
  void utcOffset()
  {
    QFETCH(int, offsetSeconds);
    QFETCH(int, byte);
    DialogRig<> rig;
    DialogHooks::now = [offsetSeconds] {
      return QDateTime(QDate(2021, 6, 1), QTime(12, 0), Qt::OffsetFromUTC, offsetSeconds);
    };
    rig.receive(sampleBlock());
    rig.w<QPushButton>("pushButtonSave_2")->click();
    QCOMPARE(int(blockByte(lastWrite(rig.device), 5)), byte);
  }

  // Each button's action byte and clock bytes; defaults are requested
  // alone even after a clock setting.
  void actions()
  {
    DialogRig<> rig;
    DialogHooks::now = [] { return QDateTime(QDate(2021, 1, 1), QTime(0, 0), Qt::UTC); };
    PowerGetPacket block = sampleBlock();
    block.setBlock(54, 0x40); // whatever the supply left there
    rig.receive(block);
    rig.w<QPushButton>("pushButtonSync_2")->click();
    QByteArray sent = lastWrite(rig.device);
    QCOMPARE(sent.mid(3 + 54, 5), QByteArray::fromHex("085FEE6600"));
    rig.w<QPushButton>("pushButtonDefaults_2")->click();
    sent = lastWrite(rig.device);
    QCOMPARE(sent.mid(3 + 54, 5), QByteArray::fromHex("0400000000"));
    QCOMPARE(sent.mid(3, 54), bytesOf(block).mid(3, 54));
    rig.w<QPushButton>("pushButtonSave_2")->click();
    QCOMPARE(lastWrite(rig.device).mid(3 + 54, 5), QByteArray::fromHex("0300000000"));
    QCOMPARE(rig.device->settingsWrites.size(), 3);
    QVERIFY(rig.answers.shown.isEmpty());
  }

  // Writes that cannot reach a supply say so and send nothing.
  void refusedWrites_data()
  {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("received");
    QTest::addColumn<bool>("failing");
    QTest::addColumn<QString>("message");
    for (const char *button : {"pushButtonApply_2", "pushButtonSync_2", "pushButtonDefaults_2"}) {
      QTest::addRow("%s before any block", button) << button << false << false << "not sent its settings";
      QTest::addRow("%s failing write", button) << button << true << true << "could not be written";
    }
  }
  void refusedWrites()
  {
    QFETCH(QString, button);
    QFETCH(bool, received);
    QFETCH(bool, failing);
    QFETCH(QString, message);
    DialogRig<> rig;
    if (received)
      rig.receive(sampleBlock());
    if (failing)
      rig.device->writesBeforeFailure = 0;
    rig.w<QPushButton>(qPrintable(button))->click();
    QVERIFY(rig.device->settingsWrites.isEmpty());
    QVERIFY2(rig.answers.last().contains(message), qPrintable(rig.answers.last()));
  }

  void unpluggedSupply()
  {
    DialogRig<> rig;
    rig.receive(sampleBlock());
    rig.bus.unplug(rig.device);
    rig.link.checkTimerTick();
    rig.w<QPushButton>("pushButtonDefaults_2")->click();
    QCOMPARE(rig.answers.last(), QStringLiteral("Device disconnected"));
    QVERIFY(rig.device->settingsWrites.isEmpty());
  }

  // The close box asks about edits; Escape drops them without a question.
  void closing_data()
  {
    QTest::addColumn<bool>("escape");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<int>("reply");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("writes");
    QTest::newRow("close, unchanged") << false << false << int(QMessageBox::Yes) << 0 << 0;
    QTest::newRow("close, edited, no") << false << true << int(QMessageBox::No) << 1 << 0;
    QTest::newRow("close, edited, yes") << false << true << int(QMessageBox::Yes) << 1 << 1;
    QTest::newRow("escape, edited") << true << true << int(QMessageBox::Yes) << 0 << 0;
  }
  void closing()
  {
    QFETCH(bool, escape);
    QFETCH(bool, edit);
    QFETCH(int, reply);
    QFETCH(int, questions);
    QFETCH(int, writes);
    DialogRig<> rig;
    rig.answers.reply = reply;
    rig.receive(sampleBlock());
    rig.dialog->show();
    if (edit)
      rig.w<QSpinBox>("spinBoxMinutes_2")->setValue(33);
    if (escape)
      QTest::keyClick(rig.dialog.get(), Qt::Key_Escape);
    else
      rig.dialog->close();
    QVERIFY(!rig.dialog->isVisible());
    QCOMPARE(rig.answers.shown.size(), questions);
    QCOMPARE(rig.device->settingsWrites.size(), writes);
    if (writes) {
      QCOMPARE(blockByte(lastWrite(rig.device), 54), uchar(0x02));
      QCOMPARE(blockByte(lastWrite(rig.device), 4), uchar(33));
      // What was stored is the new reference: closing again asks nothing.
      rig.dialog->show();
      rig.dialog->close();
      QCOMPARE(rig.answers.shown.size(), questions);
    }
  }

  // A logger, or a supply that never answered: the close test has nothing
  // of the supply's to compare with and writes nothing.
  void closingWithoutBlock()
  {
    {
      DialogRig<SimLogger> rig;
      rig.dialog->show();
      rig.w<QSpinBox>("spinBoxMinutes_2")->setValue(33);
      rig.answers.reply = QMessageBox::Yes;
      rig.dialog->close();
      QVERIFY(rig.answers.shown.isEmpty());
      QVERIFY(rig.device->written.isEmpty());
      rig.w<QPushButton>("pushButtonApply_2")->click();
      QCOMPARE(rig.answers.last(), QStringLiteral("Device disconnected"));
      QVERIFY(rig.device->written.isEmpty());
    }
    DialogRig<> rig;
    rig.answers.reply = QMessageBox::Yes;
    rig.dialog->show();
    rig.dialog->close();
    QVERIFY(rig.answers.shown.isEmpty());
    QVERIFY(rig.device->settingsWrites.isEmpty());
  }

  void exportImport()
  {
    QTemporaryDir dir;
    DialogRig<> rig;
    const QString path = dir.filePath(QStringLiteral("s.json"));
    QString proposed;
    DialogHooks::fileName = [&](QWidget *, DialogHooks::FileMode, const QString &, const QString &start,
                                const QString &) {
      proposed = start;
      return path;
    };
    rig.receive(sampleBlock());
    rig.w<QPushButton>("pushButtonExport_2")->click();
    QVERIFY(QFile::exists(path));
    QVERIFY(proposed.endsWith(QLatin1String("/kelvero-power-20210302140509.json")));
    {
      Settings settings;
      QCOMPARE(settings.value(QStringLiteral("Main/save-path")).toString(), dir.path());
    }
    // Different controls, then the file puts the exported values back.
    PowerGetPacket other = sampleBlock();
    other.setBlock(0, 0);
    other.setBlock(3, 1);
    other.setBlock(20, 5);
    rig.receive(other);
    rig.w<QPushButton>("pushButtonImport_2")->click();
    PowerGetPacket built;
    rig.dialog->preparePacket(built);
    QCOMPARE(bytesOf(built), bytesOf(sampleBlock()));
    QVERIFY(rig.answers.shown.isEmpty());
  }

  void exportFailure()
  {
    QTemporaryDir dir;
    DialogRig<> rig;
    rig.receive(sampleBlock());
    DialogHooks::fileName = [&](QWidget *, DialogHooks::FileMode, const QString &, const QString &, const QString &) {
      return dir.filePath(QStringLiteral("missing/folder/s.json"));
    };
    rig.w<QPushButton>("pushButtonExport_2")->click();
    QVERIFY(rig.answers.last().startsWith(QLatin1String("Cannot write")));
  }

  void importRefusals_data()
  {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("named");
    const auto edited = [](const char *key, const QJsonValue &value) {
      PowerGetPacket block = sampleBlock();
      QJsonObject object = block.toJson();
      if (value.isUndefined())
        object.remove(QLatin1String(key));
      else
        object.insert(QLatin1String(key), value);
      return QJsonDocument(object).toJson();
    };
    QTest::newRow("not JSON") << QByteArray("{\"command\": 10,") << QString();
    QTest::newRow("array") << QByteArray("[1, 2, 3]") << QString();
    QTest::newRow("missing key") << edited("auto_off_after", QJsonValue::Undefined) << "auto_off_after";
    QTest::newRow("24:00") << edited("auto_on_hours", 24) << "auto_on_hours";
    QTest::newRow("minute 60") << edited("auto_off_minutes", 60) << "auto_off_minutes";
    QTest::newRow("date_format 4") << edited("date_format", 4) << "date_format";
    QTest::newRow("256") << edited("auto_off_ampers", 256) << "auto_off_ampers";
    QTest::newRow("fraction") << edited("auto_off_after", 2.5) << "auto_off_after";
    QTest::newRow("\"12\"") << edited("auto_off_after", QStringLiteral("12")) << "auto_off_after";
    QTest::newRow("command 11") << edited("command", 11) << "command";
    QTest::newRow("9-digit bitmap") << edited("bitmap1", QStringLiteral("000000001")) << "bitmap1";
    QTest::newRow("bit 7") << edited("bitmap3", QStringLiteral("10000000")) << "bitmap3";
    QTest::newRow("slide show 0") << edited("slide_show_sec", 0) << "slide_show_sec";
    QTest::newRow("two codes") << edited("aux", QJsonArray{1, 2}) << "aux";
    QTest::newRow("unknown code") << edited("site", QJsonArray{1, 2, 99}) << "site";
    QTest::newRow("oversize") << QByteArray(OptionsDialog::MaxImportSize + 1, ' ') + edited("x", 1) << QString();
  }
  void importRefusals()
  {
    QFETCH(QByteArray, content);
    QFETCH(QString, named);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    DialogRig<> rig;
    DialogHooks::fileName = [&](QWidget *, DialogHooks::FileMode, const QString &, const QString &, const QString &) {
      return path;
    };
    const PowerGetPacket block = sampleBlock();
    rig.receive(block);
    rig.w<QPushButton>("pushButtonImport_2")->click();
    QCOMPARE(rig.answers.shown.size(), 1);
    if (!named.isEmpty())
      QVERIFY2(rig.answers.last().contains(QLatin1Char('"') + named + QLatin1Char('"')), qPrintable(rig.answers.last()));
    QCOMPARE(bytesOf(rig.dialog->currentBlock()), bytesOf(block));
    PowerGetPacket built;
    rig.dialog->preparePacket(built);
    QCOMPARE(bytesOf(built), bytesOf(block));
  }
};

TOVRI_TEST(TestDevicePage)
#include "tst_devicepage.moc"
