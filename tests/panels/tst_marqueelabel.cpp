#include "marqueelabel.h"
#include "testmain.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

QByteArray document(const QString &messages)
{
  return QStringLiteral("{\"messages\": [%1]}").arg(messages).toUtf8();
}

// Paints the label until the current message has left it; the number of
// paints, or -1 when it never leaves.
int paintsUntilGone(MarqueeLabel &label, int limit = 20000)
{
  for (int n = 1; n <= limit; ++n) {
    label.repaint();
    if (label.isWaiting())
      return n;
  }
  return -1;
}

// Turns the event loop until the pause after a message has run out.
bool waitForNext(MarqueeLabel &label)
{
  return QTest::qWaitFor([&] { return !label.isWaiting(); }, TestWaitMs);
}

// Paints reach only a label whose window is on screen.
bool showLabel(MarqueeLabel &label, int width, int height)
{
  label.resize(width, height);
  label.show();
  return QTest::qWaitForWindowExposed(&label);
}

int textWidth(const MarqueeLabel &label, const QString &text)
{
  return label.fontMetrics().size(Qt::TextSingleLine, text).width();
}

bool hasColour(const QImage &image, const QColor &colour)
{
  const QRgb wanted = colour.rgb();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF))
        return true;
    }
  }
  return false;
}

} // namespace

class MarqueeLabelTest : public QObject
{
  Q_OBJECT
private slots:
  void movementUntilTheTextHasLeft_data()
  {
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::newRow("leftwards, speed 2") << 1 << 2 << 300 << "     Attention!     ";
    QTest::newRow("leftwards, speed 7, uneven") << 1 << 7 << 251 << "over current";
    QTest::newRow("leftwards, one pixel") << 1 << 1 << 80 << "x";
    QTest::newRow("rightwards, speed 3") << 0 << 3 << 200 << "warning";
    QTest::newRow("rightwards, speed 1000") << 5 << 1000 << 200 << "warning";
  }
  void movementUntilTheTextHasLeft()
  {
    QFETCH(int, direction);
    QFETCH(int, speed);
    QFETCH(int, width);
    QFETCH(QString, text);
    MarqueeLabel label;
    QVERIFY(showLabel(label, width, 30));
    label.setDirection(direction);
    QByteArray doc = document(QStringLiteral("{\"message\": \"%1\", \"speed\": %2}").arg(text).arg(speed));
    QVERIFY(label.load(doc));
    QCOMPARE(label.text(), text);
    QCOMPARE(label.position(), direction == 1 ? width : 0);

    const int tw = textWidth(label, text);
    const int expected = direction == 1 ? int(std::ceil(double(width + tw) / speed)) : (width - 1) / speed + 1;
    QCOMPARE(paintsUntilGone(label), expected);
    // While waiting the text stands still, however often it is painted.
    const int position = label.position();
    label.repaint();
    QCOMPARE(label.position(), position);

    // No pause: the message starts again at once from its start position.
    QVERIFY(waitForNext(label));
    QCOMPARE(label.currentIndex(), 0);
    QCOMPARE(label.position(), direction == 1 ? width : 0);
  }

  void messagesTakeTurnsWithTheirOwnSpeedAndColour()
  {
    MarqueeLabel label;
    QFont font = label.font();
    font.setPixelSize(28);
    font.setBold(true);
    label.setFont(font);
    QVERIFY(showLabel(label, 160, 40));
    QByteArray doc = document(QStringLiteral("{\"message\": \"MMM\", \"speed\": 3, \"textcolor\": \"ff0000\"},"
                                             "{\"message\": \"WWW\", \"speed\": 5, \"textcolor\": \"#00ff00\"},"
                                             "{\"message\": \"HHH\", \"speed\": 7, \"textcolor\": \"00f\"}"));
    QVERIFY(label.load(doc));
    const QList<int> speeds = {3, 5, 7, 3};
    const QList<QColor> colours = {Qt::red, Qt::green, Qt::blue, Qt::red};
    const QStringList texts = {"MMM", "WWW", "HHH", "MMM"};
    for (int turn = 0; turn < 4; ++turn) {
      QCOMPARE(label.currentIndex(), turn % 3);
      QCOMPARE(label.text(), texts.at(turn));
      QCOMPARE(label.speed(), speeds.at(turn));
      // Bring the text into view, then look at what a paint draws.
      const int steps = (label.width() - 20) / speeds.at(turn);
      for (int i = 0; i < steps - 1; ++i)
        label.repaint();
      const int before = label.position();
      const QImage image = label.grab().toImage();
      QCOMPARE(before - label.position(), speeds.at(turn));
      QVERIFY2(hasColour(image, colours.at(turn)), qPrintable(texts.at(turn)));
      QVERIFY(paintsUntilGone(label) > 0);
      QVERIFY(waitForNext(label));
    }
  }

  void clickHandsOnTheLinkOnlyWhileItScrolls()
  {
    MarqueeLabel label;
    QVERIFY(showLabel(label, 100, 20));
    QSignalSpy spy(&label, &MarqueeLabel::clicked);
    QByteArray doc = document(QStringLiteral("{\"message\": \"a\", \"linkto\": \"https://example.org/x?a=1\"},"
                                             "{\"message\": \"b\"}"));
    QVERIFY(label.load(doc));
    QCOMPARE(label.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("https://example.org/x?a=1"));

    QVERIFY(paintsUntilGone(label) > 0);
    QTest::mouseClick(&label, Qt::LeftButton); // waiting between messages
    QCOMPARE(spy.size(), 1);

    QVERIFY(waitForNext(label));
    QCOMPARE(label.currentIndex(), 1);
    QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(&label, Qt::LeftButton); // no link
    QCOMPARE(spy.size(), 1);

    label.m_strings.clear(); // the owner empties the list
    QTest::mouseClick(&label, Qt::LeftButton);
    label.repaint();
    QCOMPARE(spy.size(), 1);
  }

  void secondDocumentAppendsAndRestarts()
  {
    MarqueeLabel label;
    QVERIFY(showLabel(label, 100, 20));
    QByteArray first = document(QStringLiteral("{\"message\": \"one\", \"speed\": 4}"));
    QByteArray second = document(QStringLiteral("{\"message\": \"two\"}, {\"message\": \"three\", \"speed\": 9}"));
    QVERIFY(label.load(first));
    QVERIFY(paintsUntilGone(label) > 0);
    QVERIFY(label.load(second));
    QCOMPARE(label.m_strings.size(), 3);
    QCOMPARE(label.m_strings.at(0).message, QString("one"));
    QCOMPARE(label.m_strings.at(2).message, QString("three"));
    QCOMPARE(label.currentIndex(), 0);
    QCOMPARE(label.text(), QString("one"));
    QCOMPARE(label.speed(), 4);
    QVERIFY(!label.isWaiting());
  }

  void documentFields_data()
  {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("pause");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QStringList>("keywords");
    const QColor none(Qt::transparent);
    const QColor yellow(0xdd, 0xdd, 0x00);
    QTest::newRow("the window's own") << "{\"message\": \"     w     \", \"timeoutafter\": 0, \"textcolor\": \"dddd00\", "
                                         "\"speed\": 2, \"enddate\": \"21211231\"}"
                                      << "     w     " << 2 << 0 << yellow << QStringList();
    QTest::newRow("hash colour, keywords") << "{\"textcolor\": \"#dddd00\", \"keywords\": \"a,,b\"}" << "" << 1 << 0
                                           << yellow << QStringList{"a", "", "b"};
    QTest::newRow("alpha first") << "{\"textcolor\": \"80dddd00\"}" << "" << 1 << 0 << QColor(0xdd, 0xdd, 0, 0x80)
                                 << QStringList();
    QTest::newRow("colour word") << "{\"textcolor\": \"red\"}" << "" << 1 << 0 << none << QStringList();
    QTest::newRow("not an object") << "17" << "" << 1 << 0 << none << QStringList();
    QTest::newRow("wrong types") << "{\"message\": 5, \"linkto\": [], \"speed\": \"9\", \"timeoutafter\": true, "
                                    "\"textcolor\": 255, \"keywords\": 3}"
                                 << "" << 1 << 0 << none << QStringList();
    QTest::newRow("fractions") << "{\"speed\": 3.5, \"timeoutafter\": 1.5}" << "" << 1 << 0 << none << QStringList();
    QTest::newRow("speed zero") << "{\"speed\": 0}" << "" << 1 << 0 << none << QStringList();
    QTest::newRow("speed negative") << "{\"speed\": -2147483648}" << "" << 1 << 0 << none << QStringList();
    QTest::newRow("speed too large") << "{\"speed\": 1001}" << "" << 1 << 0 << none << QStringList();
    QTest::newRow("speed largest") << "{\"speed\": 1000}" << "" << 1000 << 0 << none << QStringList();
    QTest::newRow("huge numbers") << "{\"speed\": 1e300, \"timeoutafter\": 1e300, \"size\": 1e308}" << "" << 1 << 0
                                  << none << QStringList();
    QTest::newRow("pause two seconds") << "{\"timeoutafter\": 2}" << "" << 1 << 2 << none << QStringList();
    QTest::newRow("pause past int millis") << "{\"timeoutafter\": 2147484}" << "" << 1 << 86400 << none
                                           << QStringList();
    QTest::newRow("pause negative") << "{\"timeoutafter\": -3}" << "" << 1 << 0 << none << QStringList();
  }
  void documentFields()
  {
    QFETCH(QString, entry);
    QFETCH(QString, message);
    QFETCH(int, speed);
    QFETCH(int, pause);
    QFETCH(QColor, colour);
    QFETCH(QStringList, keywords);
    MarqueeLabel label;
    QVERIFY(showLabel(label, 60, 20));
    QByteArray doc = document(entry);
    QVERIFY(label.load(doc));
    QCOMPARE(label.m_strings.size(), 1);
    const MarqueeString &read = label.m_strings.at(0);
    QCOMPARE(read.message, message);
    QCOMPARE(read.speed, speed);
    QCOMPARE(label.speed(), speed);
    QCOMPARE(read.timeoutafter, pause);
    QCOMPARE(read.textcolor, colour);
    QCOMPARE(read.keywords, keywords);
    QVERIFY(std::isfinite(read.size));

    // The message leaves and its pause is the one read.
    QVERIFY(paintsUntilGone(label) > 0);
    auto *timer = label.findChild<QTimer *>(QStringLiteral("pause"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), pause * 1000);
  }

  void hostileDocumentsLeaveTheLineWorking_data()
  {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("added");
    QTest::newRow("syntax error") << QByteArray("{\"messages\": [{\"message\": \"x\"") << false << 0;
    QTest::newRow("not JSON") << QByteArray("\xff\xfe<html>") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("top level array") << QByteArray("[{\"message\": \"x\"}]") << true << 0;
    QTest::newRow("messages an object") << QByteArray("{\"messages\": {\"message\": \"x\"}}") << true << 0;
    QTest::newRow("no messages") << QByteArray("{\"other\": 1}") << true << 0;
    QTest::newRow("mixed entries") << QByteArray("{\"messages\": [1, \"x\", [], {\"speed\": -1}]}") << true << 4;
  }
  void hostileDocumentsLeaveTheLineWorking()
  {
    QFETCH(QByteArray, data);
    QFETCH(bool, accepted);
    QFETCH(int, added);
    MarqueeLabel label;
    QVERIFY(showLabel(label, 60, 20));
    QByteArray good = document(QStringLiteral("{\"message\": \"kept\", \"speed\": 5}"));
    QVERIFY(label.load(good));
    QCOMPARE(label.load(data), accepted);
    QCOMPARE(label.m_strings.size(), 1 + added);
    QCOMPARE(label.m_strings.at(0).message, QString("kept"));
    // Still cycling through everything it holds.
    for (int turn = 0; turn <= added; ++turn) {
      QVERIFY(paintsUntilGone(label) > 0);
      QVERIFY(waitForNext(label));
    }
    QCOMPARE(label.currentIndex(), 0);

    // A fresh label fed only the hostile document rests or cycles.
    MarqueeLabel fresh;
    QVERIFY(showLabel(fresh, 60, 20));
    QCOMPARE(fresh.load(data), accepted);
    QCOMPARE(fresh.m_strings.size(), added);
    if (added == 0) {
      // At rest: a plain label whose text does not move.
      const int position = fresh.position();
      fresh.repaint();
      fresh.repaint();
      QCOMPARE(fresh.position(), position);
      QVERIFY(!fresh.isWaiting());
    } else {
      QVERIFY(paintsUntilGone(fresh) > 0);
      QVERIFY(waitForNext(fresh));
    }
  }

  void hideCancelsThePauseAndShowMovesOn()
  {
    MarqueeLabel label;
    QVERIFY(showLabel(label, 60, 20));
    QByteArray doc = document(QStringLiteral("{\"message\": \"a\", \"timeoutafter\": 86400}, {\"message\": \"b\"}"));
    QVERIFY(label.load(doc));
    auto *tick = label.findChild<QTimer *>(QStringLiteral("tick"));
    auto *pause = label.findChild<QTimer *>(QStringLiteral("pause"));
    QVERIFY(tick && pause);
    QVERIFY(paintsUntilGone(label) > 0);
    QVERIFY(pause->isActive());
    label.hide();
    QVERIFY(!pause->isActive());
    QVERIFY(!tick->isActive());
    label.show();
    QVERIFY(!label.isWaiting());
    QCOMPARE(label.text(), QString("b"));
    QVERIFY(tick->isActive());
  }

  void loadFromFile_data()
  {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("regular file") << "file" << true;
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("device") << "device" << false;
    QTest::newRow("over 1 MiB") << "large" << false;
  }
  void loadFromFile()
  {
    QFETCH(QString, kind);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath("messages.json");
    const QByteArray doc = document(QStringLiteral("{\"message\": \"from file\"}"));
    if (kind == "file" || kind == "large") {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(doc);
      if (kind == "large")
        file.write(QByteArray(int(MarqueeLabel::MaxDocumentBytes), ' '));
    } else if (kind == "folder") {
      path = dir.path();
    } else if (kind == "device") {
      path = QStringLiteral("/dev/zero");
    }
    MarqueeLabel label;
    QCOMPARE(label.load(path), accepted);
    QCOMPARE(label.m_strings.size(), accepted ? 1 : 0);
  }
};

TOVRI_TEST(MarqueeLabelTest)
#include "tst_marqueelabel.moc"
