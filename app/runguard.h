#ifndef RUNGUARD_H
#define RUNGUARD_H

#include <QSharedMemory>
#include <QString>
#include <QSystemSemaphore>

// Keeps a second copy of the program from starting for the same user: the
// first copy holds a small named shared-memory segment while it runs, a later
// copy finds it and stops. A system semaphore serialises every attach,
// create and detach across processes. Plain class; main thread only.
class RunGuard
{
public:
  explicit RunGuard(const QString &key);
  ~RunGuard();

  // The guard key of one user: the segment's name lives in a folder all users
  // share, so without the user id one user's copy would block another's.
  static QString userKey(const QString &key, uint userId);
  static QString userKey(const QString &key);

  bool isAnotherRunning();
  bool tryToRun();
  void release();

  QString memLockName() const { return memLockKey; }
  QString sharedMemName() const { return sharedmemKey; }

private:
  // Lets the system remove a segment of this key that no process is
  // attached to. Called with the lock held.
  void clearLeftSegment();

  const QString key;
  const QString memLockKey;
  const QString sharedmemKey;

  QSharedMemory sharedMem;
  QSystemSemaphore memLock;

  Q_DISABLE_COPY(RunGuard)
};

#endif // RUNGUARD_H
