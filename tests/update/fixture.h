#ifndef UPDATEFIXTURE_H
#define UPDATEFIXTURE_H

#include "downloader.h"

#include <QSignalSpy>
#include <QTest>

// Waits for the one completion of a request and then a few more event
// turns, so that a second completion would be seen too.
inline bool settle(QSignalSpy &spy, int timeoutMs = 5000)
{
  if (spy.isEmpty() && !spy.wait(timeoutMs))
    return false;
  QTest::qWait(20);
  return true;
}

#endif // UPDATEFIXTURE_H
