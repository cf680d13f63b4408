#ifndef SIGNALEMULATOR_H
#define SIGNALEMULATOR_H

#include <QList>

// Random rectangular pulses standing in for measured current when no
// instrument is attached.
class SignalEmulator
{
public:
  static double m_startSignal;
  static double m_stopSignal;
  static double m_signalValue;
  static double m_thresholdShift;

  static double nextStart(double t);
  static double nextStop(double t);
  static double nextValue();
  static double nextShift();
  static void generate(double t, QList<double> &values);
};

#endif // SIGNALEMULATOR_H
