#ifndef OVERCURRENT_H
#define OVERCURRENT_H

#include <QObject>

#include <limits>

// Watches channel #0 of a logger capture for a current that stays at or above
// 1.2 A (values in µA) for longer than the configured run, and reports that
// once until it is reset.
class OverCurrent : public QObject
{
  Q_OBJECT
public:
  static constexpr double Threshold = 1200000.0;

  // The process-wide detector; null until instance() creates it.
  static OverCurrent *m_overCurrent;
  static OverCurrent *instance();

  explicit OverCurrent(QObject *parent = nullptr);

  // Called for every sample, inside the packet dispatch: kept inline. The
  // count stops at its maximum, so a run of days cannot overflow it.
  void update(double value)
  {
    if (value >= Threshold)
      m_counter += m_counter < std::numeric_limits<int>::max() ? 1 : 0;
    else
      m_counter = -1;
  }
  bool isOver();
  void hideOverCurrent();
  int runLength() const { return m_runLength; }

private:
  int m_counter = -1;
  bool m_latched = false;
  int m_runLength = 20;
};

#endif // OVERCURRENT_H
