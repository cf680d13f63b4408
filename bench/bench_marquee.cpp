// Times 10,000 paints of the warning line scrolling a 200-character message
// against a plain QLabel painting the same text in the same run.
// Usage: bench_marquee [paints]
#include "benchsupport.h"
#include "marqueelabel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kTarget = 1.5; // at most 1.5 times the plain label

bool waitExposed(QWidget &widget)
{
  for (int turn = 0; turn < 1000; ++turn) {
    if (widget.windowHandle() && widget.windowHandle()->isExposed())
      return true;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return false;
}

template <typename Paint>
double timePaints(int paints, Paint paint)
{
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < paints; ++i)
    paint();
  return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::noteBuild("bench_marquee");
  const int paints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;

  QString text;
  for (int i = 0; text.size() < 200; ++i)
    text += QStringLiteral("Attention! The current has exceeded 1A. ");
  text.truncate(200);

  QFont font;
  font.setPointSize(14);
  const QSize size(1000, 28);

  QLabel plain;
  plain.setFont(font);
  plain.setText(text);
  plain.resize(size);
  plain.show();

  MarqueeLabel marquee;
  marquee.setFont(font);
  marquee.resize(size);
  marquee.show();
  QByteArray doc = QStringLiteral("{\"messages\": [{\"message\": \"%1\", \"speed\": 2, \"textcolor\": \"dddd00\"}]}")
                     .arg(text)
                     .toUtf8();
  if (!marquee.load(doc) || !waitExposed(plain) || !waitExposed(marquee)) {
    std::fprintf(stderr, "bench_marquee: set-up failed\n");
    return 1;
  }

  const auto paintPlain = [&] { plain.repaint(); };
  // The message leaves every (width + text width) / speed paints; the next
  // round starts at once, as the pause of 0 s would.
  const auto paintMarquee = [&] {
    marquee.repaint();
    if (marquee.isWaiting())
      marquee.next();
  };

  // Warm up fonts and glyph caches, then take the best of several rounds
  // each, interleaved so that both see the same machine load.
  timePaints(500, paintPlain);
  timePaints(500, paintMarquee);
  double bestPlain = 1e300;
  double bestMarquee = 1e300;
  for (int round = 0; round < 5; ++round) {
    bestPlain = std::min(bestPlain, timePaints(paints, paintPlain));
    bestMarquee = std::min(bestMarquee, timePaints(paints, paintMarquee));
  }
  const double ratio = bestMarquee / bestPlain;
  std::printf("warning line, %d paints of a 200-character message: %.2f ms (%.2f us per paint)\n", paints, bestMarquee,
              bestMarquee * 1000 / paints);
  std::printf("baseline: plain QLabel, same text, same run:          %.2f ms (%.2f us per paint)\n", bestPlain,
              bestPlain * 1000 / paints);
  std::printf("ratio %.2f, target at most %.2f: %s\n", ratio, kTarget, bench::met(ratio <= kTarget) ? "met" : "NOT met");
  return bench::exitCode();
}
