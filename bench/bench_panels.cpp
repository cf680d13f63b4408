// Panel costs inside the packet dispatch: StatusPanel::update(MeasureAll&)
// for 100,000 frames with an unchanged pin state (target under 0.1 s; baseline
// the same frames with a pin state that changes every frame, so that every
// frame redraws the lights) and 10 million OverCurrent::update calls (target
// under 50 ms; baseline a bare loop doing the same comparison); medians of
// alternating rounds. Exits with 1 when a target is missed.

#include "benchsupport.h"
#include "overcurrent.h"
#include "packet.h"
#include "statuspanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <vector>

namespace {

QTextStream out(stdout);

void report(const char *what, double figure, double target, double baseline)
{
  out << what << ": " << QString::number(figure, 'f', 2) << " ms (target < " << target << " ms, baseline "
      << QString::number(baseline, 'f', 2) << " ms) " << (bench::met(figure < target) ? "ok" : "MISSED") << "\n";
  out.flush();
}

double statusFrames(StatusPanel &panel, int frames, bool changing)
{
  MeasureAll a;
  a.set(5, uchar(0x48 | 0x03));
  MeasureAll b;
  b.set(5, uchar(0x90 | 0x03));
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < frames; ++i)
    panel.update(changing && (i & 1) ? b : a);
  return bench::ms(t);
}

} // namespace

int main(int argc, char **argv)
{
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::noteBuild("bench_panels");

  StatusPanel panel;
  panel.restore();
  panel.show();
  const int frames = 100000;
  const int rounds = 15;
  statusFrames(panel, 1000, false); // warm-up
  // Candidate and baseline rounds alternate, which goes first too: medians.
  std::vector<double> steadyMs, changingMs;
  for (int r = 0; r < rounds; ++r) {
    for (int half = 0; half < 2; ++half) {
      const bool changing = (r + half) % 2 == 1;
      (changing ? changingMs : steadyMs).push_back(statusFrames(panel, frames, changing));
    }
  }
  report("StatusPanel::update, 100000 frames, pin state unchanged", bench::median(steadyMs), 100.0,
         bench::median(changingMs));

  const int calls = 10000000;
  std::vector<double> values(4096);
  for (size_t i = 0; i < values.size(); ++i)
    values[i] = (i % 97) < 90 ? 1300000.0 : 5000.0;
  int over = 0;
  volatile int sink = 0;
  const auto detectorRun = [&] {
    OverCurrent detector;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < calls; ++i) {
      detector.update(values[size_t(i) & 4095]);
      if ((i & 4095) == 4095)
        over += detector.isOver() ? 1 : 0;
    }
    return bench::ms(t);
  };
  const auto bareRun = [&] {
    QElapsedTimer t;
    t.start();
    int counter = -1;
    for (int i = 0; i < calls; ++i)
      counter = values[size_t(i) & 4095] >= OverCurrent::Threshold ? counter + 1 : -1;
    sink = counter;
    return bench::ms(t);
  };
  std::vector<double> detectorMs, bareMs;
  for (int r = 0; r < rounds; ++r) {
    for (int half = 0; half < 2; ++half) {
      if ((r + half) % 2 == 0)
        detectorMs.push_back(detectorRun());
      else
        bareMs.push_back(bareRun());
    }
  }
  report("OverCurrent::update, 10000000 calls", bench::median(detectorMs), 50.0, bench::median(bareMs));
  out << "(reports " << over << ", last run " << sink << ")\n";
  return bench::exitCode();
}
