#include "SignalEmulator.h"

#include <QDateTime>
#include <QDebug>

#include <cstdlib>

double SignalEmulator::m_startSignal = 0;
double SignalEmulator::m_stopSignal = 0;
double SignalEmulator::m_signalValue = 0;
double SignalEmulator::m_thresholdShift = 0;

double SignalEmulator::nextStart(double t)
{
  return t + 10 + (std::rand() % 100);
}

double SignalEmulator::nextStop(double t)
{
  return t + 1 + (std::rand() % 10);
}

double SignalEmulator::nextValue()
{
  return 30000 + (std::rand() % 300000);
}

double SignalEmulator::nextShift()
{
  // One of 0, 300, 600, 900 and 1200.
  return (std::rand() % 5) * 300.0;
}

void SignalEmulator::generate(double t, QList<double> &values)
{
  if (t == 0) {
    std::srand(uint(QDateTime::currentMSecsSinceEpoch()));
    m_startSignal = 5;
    qDebug() << "SignalEmulator::generate" << nextValue();
    return;
  }
  if (m_stopSignal != 0) {
    if (t > m_stopSignal) {
      m_stopSignal = 0;
      m_startSignal = nextStart(t);
      qDebug() << "2 SignalEmulator::generate" << t << m_startSignal << m_stopSignal;
      return;
    }
    for (double &v : values)
      v = m_signalValue + nextShift();
    return;
  }
  if (t >= m_startSignal) {
    m_startSignal = 0;
    m_stopSignal = nextStop(t);
    m_signalValue = nextValue();
    for (double &v : values)
      v = m_signalValue + nextShift();
  }
}
