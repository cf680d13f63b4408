#include "dialogrig.h"
#include "powerdisplay.h"
#include "settings.h"
#include "testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

  // A supply swapped under the open page: nothing of the one that went is
  // written into the one that came, which is asked for its own block; once
  // that is shown, every write carries it.
  void swappedSupply_data()
  {
    QTest::addColumn<QString>("button"); // empty: closing, answered Yes
    QTest::addColumn<int>("minutes");    // block byte 4 written
    QTest::newRow("Apply") << "pushButtonApply_2" << 44;
    QTest::newRow("Restore Defaults") << "pushButtonDefaults_2" << 5;
    QTest::newRow("Sync. Now") << "pushButtonSync_2" << 44;
    QTest::newRow("Save now? on closing") << QString() << 44;
  }
  void swappedSupply()
  {
    QFETCH(QString, button);
    QFETCH(int, minutes);
    DialogRig<> rig;
    rig.answers.reply = QMessageBox::Yes;
    rig.dialog->show();
    rig.receive(sampleBlock());
    rig.w<QSpinBox>("spinBoxMinutes_2")->setValue(33);
    rig.bus.unplug(rig.device);
    auto *other = rig.bus.add<SimPowerSupply>(QStringLiteral("500200002"));
    other->settings.setBlock(40, 0x33);
    const auto write = [&] {
      if (!button.isEmpty())
        return rig.w<QPushButton>(qPrintable(button))->click();
      rig.dialog->close();
      rig.dialog->show();
    };
    rig.link.checkTimerTick();
    QTRY_COMPARE(rig.w<QLabel>("labelSerial")->text(), QStringLiteral("Serial number: "));
    rig.link.checkTimerTick();
    QTRY_COMPARE(other->written.size(), 1);
    QCOMPARE(other->written.at(0).left(64), bytesOf(PowerGetPacket()));
    write();
    QVERIFY(other->settingsWrites.isEmpty());
    QCOMPARE(rig.answers.shown.size(), button.isEmpty() ? 0 : 1);

    rig.receive(other->settings);
    QTRY_COMPARE(rig.w<QLabel>("labelSerial")->text(), QStringLiteral("Serial number: 500200002"));
    rig.w<QSpinBox>("spinBoxMinutes_2")->setValue(44);
    write();
    QTRY_COMPARE(other->settingsWrites.size(), 1);
    QCOMPARE(blockByte(lastWrite(other), 40), uchar(0x33));
    QCOMPARE(int(blockByte(lastWrite(other), 4)), minutes);
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
    // Different controls, then the file puts the exported values back; the
    // bits and bytes the page does not show stay the supply's.
    PowerGetPacket other = sampleBlock();
    other.setBlock(0, 0xE0);
    other.setBlock(3, 1);
    other.setBlock(20, 5);
    other.setBlock(40, 0x33);
    rig.receive(other);
    rig.w<QPushButton>("pushButtonImport_2")->click();
    PowerGetPacket built;
    rig.dialog->preparePacket(built);
    PowerGetPacket expected = sampleBlock();
    expected.setBlock(0, 0xF5);
    expected.setBlock(40, 0x33);
    QCOMPARE(bytesOf(built), bytesOf(expected));
    QVERIFY(rig.answers.shown.isEmpty());
  }

  // A pipe chosen for import, or a link to one, is refused at once: a
  // writer stands ready, so that a window that opens and reads it takes
  // other settings instead of waiting for ever.
  void importFromAPipe_data()
  {
    QTest::addColumn<bool>("link");
    QTest::newRow("pipe") << false;
    QTest::newRow("link to a pipe") << true;
  }
  void importFromAPipe()
  {
    QFETCH(bool, link);
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("settings.json"));
    const QByteArray fifoName = QFile::encodeName(fifo);
    QCOMPARE(::mkfifo(fifoName.constData(), 0600), 0);
    QString chosen = fifo;
    if (link) {
      chosen = dir.filePath(QStringLiteral("link.json"));
      QVERIFY(QFile::link(fifo, chosen));
    }
    PowerGetPacket other = sampleBlock();
    other.setBlock(3, 1);
    const QByteArray json = QJsonDocument(other.toJson()).toJson();
    std::thread writer([&] {
      const int fd = ::open(fifoName.constData(), O_WRONLY); // waits for a reader
      if (fd >= 0) {
        if (::write(fd, json.constData(), size_t(json.size())) != json.size())
          qWarning("the pipe took only part of the settings");
        ::close(fd);
      }
    });
    DialogRig<> rig;
    DialogHooks::fileName = [&](QWidget *, DialogHooks::FileMode, const QString &, const QString &, const QString &) {
      return chosen;
    };
    const PowerGetPacket block = sampleBlock();
    rig.receive(block);
    rig.w<QPushButton>("pushButtonImport_2")->click();
    // A reader of the test's own lets the writer finish.
    const int reader = ::open(fifoName.constData(), O_RDONLY | O_NONBLOCK);
    writer.join();
    if (reader >= 0)
      ::close(reader);
    QVERIFY(reader >= 0);
    QCOMPARE(rig.answers.shown.size(), 1);
    QCOMPARE(rig.answers.last(),
             QStringLiteral("Cannot read %1: not a regular file").arg(QDir::toNativeSeparators(chosen)));
    QCOMPARE(bytesOf(rig.dialog->currentBlock()), bytesOf(block));
  }

  // What export writes, import takes back unchanged, also from a page that
  // never had the supply's block. A value or bit the page cannot show (kept
  // from a supply's block, or edited in) is refused by name and value, and
  // the page and what it writes stay as they were.
  void exportThenImport_data()
  {
    QTest::addColumn<bool>("received");
    QTest::addColumn<QList<int>>("changes"); // block byte, value pairs
    QTest::addColumn<QString>("refused");    // what the refusal names
    QTest::newRow("before any block") << false << QList<int>{} << QString();
    QTest::newRow("slide interval 0") << true << QList<int>{19, 0} << R"(the value 0 of "slide_show_sec")";
    QTest::newRow("byte 1 = 0x8B") << true << QList<int>{1, 0x8B} << R"(the value "10001011" of "bitmap2")";
    QTest::newRow("auto-on hour 24") << true << QList<int>{6, 24} << R"(the value 24 of "auto_on_hours")";
    QTest::newRow("auto-off hour 25") << true << QList<int>{8, 25} << R"(the value 25 of "auto_off_hours")";
    QTest::newRow("minute 60") << true << QList<int>{9, 60} << R"(the value 60 of "auto_off_minutes")";
    QTest::newRow("minute 77") << true << QList<int>{7, 77} << R"(the value 77 of "auto_on_minutes")";
    QTest::newRow("date format 4") << true << QList<int>{10, 4} << R"(the value 4 of "date_format")";
    QTest::newRow("field code 99") << true << QList<int>{31, 99} << R"(the value [2,5,99] of "site")";
    QTest::newRow("bits 5 to 7") << true << QList<int>{0, 0xF5, 2, 0xE3} << R"(the value "11110101" of "bitmap1")";
  }
  void exportThenImport()
  {
    QFETCH(bool, received);
    QFETCH(QList<int>, changes);
    QFETCH(QString, refused);
    QTemporaryDir dir;
    DialogRig<> rig;
    QString path;
    DialogHooks::fileName = [&](QWidget *, DialogHooks::FileMode, const QString &, const QString &, const QString &) {
      return path;
    };
    PowerGetPacket block = sampleBlock();
    for (int i = 0; i + 1 < changes.size(); i += 2)
      block.setBlock(changes[i], uchar(changes[i + 1]));
    if (received)
      rig.receive(block);
    const auto exported = [&](const QString &name) {
      path = dir.filePath(name);
      rig.w<QPushButton>("pushButtonExport_2")->click();
      QFile file(path);
      return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    };
    const QJsonObject first = exported(QStringLiteral("first.json"));
    QVERIFY(!first.isEmpty());
    if (received)
      QCOMPARE(first, block.toJson());

    PowerGetPacket other = sampleBlock();
    other.setBlock(0, 0x02);
    other.setBlock(19, 40);
    other.setBlock(20, 7);
    rig.receive(other);
    path = dir.filePath(QStringLiteral("first.json"));
    rig.w<QPushButton>("pushButtonImport_2")->click();
    if (!refused.isEmpty()) {
      QCOMPARE(rig.answers.shown.size(), 1);
      QVERIFY2(rig.answers.last().contains(refused), qPrintable(rig.answers.last()));
      PowerGetPacket built;
      rig.dialog->preparePacket(built);
      QCOMPARE(bytesOf(built), bytesOf(other));
      return;
    }
    QVERIFY2(rig.answers.shown.isEmpty(), qPrintable(rig.answers.last()));
    QCOMPARE(exported(QStringLiteral("second.json")), first);
  }

  // An edit of a control whose received value it could not show is sent,
  // also after a live-values message has refilled the page; left alone,
  // the value goes back as it came.
  void editsOverUnshownValues_data()
  {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("received");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QList<int>>("sent"); // from `byte` on
    QTest::newRow("slide interval 0, edited") << 19 << 0 << true << QList<int>{9};
    QTest::newRow("slide interval 0, untouched") << 19 << 0 << false << QList<int>{0};
    QTest::newRow("hour 24, edited") << 6 << 24 << true << QList<int>{7, 45};
    QTest::newRow("hour 24, untouched") << 6 << 24 << false << QList<int>{24, 30};
    QTest::newRow("date format 5, edited") << 10 << 5 << true << QList<int>{3};
    QTest::newRow("date format 5, untouched") << 10 << 5 << false << QList<int>{5};
    QTest::newRow("field code 200, edited") << 26 << 200 << true << QList<int>{4, 5, 11};
    QTest::newRow("field code 200, untouched") << 26 << 200 << false << QList<int>{200, 15, 0};
  }
  void editsOverUnshownValues()
  {
    QFETCH(int, byte);
    QFETCH(int, received);
    QFETCH(bool, edit);
    QFETCH(QList<int>, sent);
    DialogRig<> rig;
    PowerGetPacket block = sampleBlock();
    block.setBlock(byte, uchar(received));
    rig.receive(block);
    if (edit) {
      switch (byte) {
      case 19:
        rig.w<QSpinBox>("spinBoxShowInterval_2")->setValue(9);
        break;
      case 6:
        rig.w<QDateTimeEdit>("dateTimeEditOn_2")->setTime(QTime(7, 45));
        break;
      case 10:
        rig.w<QComboBox>("comboBoxDateFormatPC_2")->setCurrentIndex(3);
        break;
      default:
        rig.w<PowerDisplay>("labelShowAux_2")->applyFields({4, 5, 11});
        break;
      }
    }
    PowerDataPacket live;
    rig.dialog->on_paketDataReceived(live);
    rig.w<QPushButton>("pushButtonApply_2")->click();
    QVERIFY(rig.answers.shown.isEmpty());
    const QByteArray report = lastWrite(rig.device);
    QCOMPARE(report.size(), 64);
    for (int i = 0; i < sent.size(); ++i)
      QCOMPARE(int(blockByte(report, byte + i)), sent.at(i));
    // Nothing else moved.
    for (int k = 0; k < 54; ++k) {
      if (k < byte || k >= byte + sent.size())
        QCOMPARE(blockByte(report, k), block.block(k));
    }
  }

  // Each box and button writes its own bit and no other.
  void controlBits_data()
  {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("bit");
    QTest::newRow("Long Touch") << "checkBoxLongtouch_2" << 0 << 0x01;
    QTest::newRow("Restore output") << "checkBoxRestoreOutput_2" << 0 << 0x02;
    QTest::newRow("Auto Switch Off below") << "checkBoxAutoSwitchMinutes_2" << 0 << 0x04;
    QTest::newRow("Auto Switch On at") << "checkBoxAutoSwitchOn_2" << 0 << 0x08;
    QTest::newRow("Auto Switch Off at") << "checkBoxAutoSwitchOff_2" << 0 << 0x10;
    QTest::newRow("time when off") << "groupBoxTime_3" << 1 << 0x01;
    QTest::newRow("Digital Watch") << "radioButtonDigital_2" << 1 << 0x02;
    QTest::newRow("Fahrenheit") << "checkBoxF_2" << 1 << 0x04;
    QTest::newRow("24h") << "checkBox24h_2" << 1 << 0x08;
    QTest::newRow("slide show") << "checkBoxShowStatusInterval_2" << 2 << 0x01;
    QTest::newRow("Show TOTAL") << "checkBoxShowTotal_2" << 2 << 0x02;
    QTest::newRow("Show POWER") << "checkBoxShowMain_2" << 2 << 0x04;
    QTest::newRow("Show AUX") << "checkBoxShowAux_2" << 2 << 0x08;
    QTest::newRow("Show SITE") << "checkBoxShowUser_2" << 2 << 0x10;
  }
  void controlBits()
  {
    QFETCH(QString, control);
    QFETCH(int, byte);
    QFETCH(int, bit);
    for (const uchar start : {uchar(0x00), uchar(0x1F)}) {
      DialogRig<> rig;
      PowerGetPacket block = sampleBlock();
      block.setBlock(byte, start);
      rig.receive(block);
      if (control == QLatin1String("radioButtonDigital_2")) {
        const bool digital = rig.w<QRadioButton>("radioButtonDigital_2")->isChecked();
        rig.w<QRadioButton>(digital ? "radioButtonClassic_2" : "radioButtonDigital_2")->setChecked(true);
      } else if (control == QLatin1String("groupBoxTime_3")) {
        auto *box = rig.w<QGroupBox>("groupBoxTime_3");
        box->setChecked(!box->isChecked());
      } else {
        auto *box = rig.w<QCheckBox>(qPrintable(control));
        box->setChecked(!box->isChecked());
      }
      rig.w<QPushButton>("pushButtonApply_2")->click();
      const QByteArray report = lastWrite(rig.device);
      QCOMPARE(report.size(), 64);
      for (int k = 0; k < 3; ++k)
        QCOMPARE(int(blockByte(report, k)), k == byte ? (start ^ bit) : int(block.block(k)));
    }
  }

  // The previews take the temperature unit from the block.
  void temperatureUnit_data()
  {
    QTest::addColumn<int>("byte1");
    QTest::addColumn<QString>("unit");
    QTest::newRow("Fahrenheit") << 0x0B << QStringLiteral("\u00B0F");
    QTest::newRow("Celsius") << 0x0F << QStringLiteral("\u00B0C");
  }
  void temperatureUnit()
  {
    QFETCH(int, byte1);
    QFETCH(QString, unit);
    DialogRig<> rig;
    PowerGetPacket block = sampleBlock();
    block.setBlock(1, uchar(byte1));
    block.setBlock(21, 11); // inside temperature on the TOTAL screen
    rig.receive(block);
    QCOMPARE(rig.w<QCheckBox>("checkBoxF_2")->isChecked(), unit.endsWith(QLatin1Char('F')));
    const QList<QString> texts = rig.w<PowerDisplay>("labelShowTotal_2")->texts();
    QCOMPARE(texts.size(), 4);
    QVERIFY2(texts.at(2).endsWith(unit), qPrintable(texts.join(QLatin1Char('|'))));
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
    QTest::newRow("256") << edited("auto_off_ampers", 256) << "auto_off_ampers";
    QTest::newRow("fraction") << edited("auto_off_after", 2.5) << "auto_off_after";
    QTest::newRow("\"12\"") << edited("auto_off_after", QStringLiteral("12")) << "auto_off_after";
    QTest::newRow("command 11") << edited("command", 11) << "command";
    QTest::newRow("9-digit bitmap") << edited("bitmap1", QStringLiteral("000000001")) << "bitmap1";
    QTest::newRow("two codes") << edited("aux", QJsonArray{1, 2}) << "aux";
    QTest::newRow("code 256") << edited("site", QJsonArray{1, 2, 256}) << "site";
    QTest::newRow("code -1") << edited("total", QJsonArray{-1, 2, 3}) << "total";
    QTest::newRow("hour -1") << edited("auto_on_hours", -1) << "auto_on_hours";
    QTest::newRow("bitmap digit 2") << edited("bitmap2", QStringLiteral("00000002")) << "bitmap2";
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
