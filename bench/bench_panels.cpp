// Panel costs inside the packet dispatch: StatusPanel::update(MeasureAll&)
// for 100,000 frames with an unchanged pin state (target under 0.1 s; baseline
// the same frames with a pin state that changes every frame, so that every
// frame redraws the lights) and 10 million OverCurrent::update calls (target
// under 50 ms; baseline a bare loop doing the same comparison).

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
  statusFrames(panel, 1000, false); // warm-up
  const double steady = statusFrames(panel, frames, false);
  const double changing = statusFrames(panel, frames, true);
  report("StatusPanel::update, 100000 frames, pin state unchanged", steady, 100.0, changing);

  const int calls = 10000000;
  std::vector<double> values(4096);
  for (size_t i = 0; i < values.size(); ++i)
    values[i] = (i % 97) < 90 ? 1300000.0 : 5000.0;
  OverCurrent detector;
  QElapsedTimer t;
  t.start();
  int over = 0;
  for (int i = 0; i < calls; ++i) {
    detector.update(values[size_t(i) & 4095]);
    if ((i & 4095) == 4095)
      over += detector.isOver() ? 1 : 0;
  }
  const double detectorMs = bench::ms(t);

  t.restart();
  volatile int sink = 0;
  int counter = -1;
  for (int i = 0; i < calls; ++i)
    counter = values[size_t(i) & 4095] >= OverCurrent::Threshold ? counter + 1 : -1;
  sink = counter;
  const double bareMs = bench::ms(t);
  report("OverCurrent::update, 10000000 calls", detectorMs, 50.0, bareMs);
  out << "(reports " << over << ", last run " << sink << ")\n";
  return bench::exitCode();
}
