#include "overcurrent.h"

#include "settings.h"

OverCurrent *OverCurrent::m_overCurrent = nullptr;

OverCurrent *OverCurrent::instance()
{
  if (!m_overCurrent)
    m_overCurrent = new OverCurrent(nullptr);
  return m_overCurrent;
}

OverCurrent::OverCurrent(QObject *parent)
  : QObject(parent)
{
  Settings settings;
  settings.beginGroup(QStringLiteral("Main"));
  // A negative run would report before any value reached the threshold.
  m_runLength = qMax(0, settings.value(QStringLiteral("overcurrent_length"), 20).toInt());
  settings.setValue(QStringLiteral("overcurrent_length"), m_runLength);
  settings.endGroup();
}

bool OverCurrent::isOver()
{
  if (m_latched || m_counter < 0 || m_counter < m_runLength)
    return false;
  m_latched = true;
  return true;
}

void OverCurrent::hideOverCurrent()
{
  m_counter = -1;
  m_latched = false;
}
