#include "runguard.h"

#include <QCryptographicHash>
#include <QFile>
#include <QDebug>

#include <unistd.h>

namespace {

QString generateKeyHash(const QString &key, const QString &suffix)
{
  QByteArray data;
  data.append(key.toUtf8());
  data.append(suffix.toUtf8());
  return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

} // namespace

RunGuard::RunGuard(const QString &key)
  : key(key)
  , memLockKey(generateKeyHash(key, QStringLiteral("_memLockKey")))
  , sharedmemKey(generateKeyHash(key, QStringLiteral("_sharedmemKey")))
  , sharedMem(sharedmemKey)
  , memLock(memLockKey, 1, QSystemSemaphore::Open)
{
  memLock.acquire();
  clearLeftSegment();
  memLock.release();
}

void RunGuard::clearLeftSegment()
{
  // A copy that was killed leaves its segment behind with no process
  // attached; attaching and detaching once lets the system remove it.
  QSharedMemory fix(sharedmemKey);
  // The system key comes from the inode of a key file in the temp folder,
  // and attach() looks only through an existing file. A segment whose file
  // is gone (a cleaned temp folder, whose inode a new file may take again)
  // would block every start: make the file so it can be found and cleared.
  QFile keyFile(fix.nativeKey());
  if (!keyFile.exists() && keyFile.open(QIODevice::WriteOnly))
    keyFile.close();
  fix.attach(QSharedMemory::ReadWrite);
}

RunGuard::~RunGuard()
{
  release();
}

QString RunGuard::userKey(const QString &key, uint userId)
{
  return key + QStringLiteral(".uid") + QString::number(userId);
}

QString RunGuard::userKey(const QString &key)
{
  return userKey(key, uint(::getuid()));
}

bool RunGuard::isAnotherRunning()
{
  if (sharedMem.isAttached())
    return false;
  memLock.acquire();
  const bool isRunning = sharedMem.attach(QSharedMemory::ReadWrite);
  if (isRunning)
    sharedMem.detach();
  memLock.release();
  return isRunning;
}

bool RunGuard::tryToRun()
{
  if (isAnotherRunning())
    return false;
  memLock.acquire();
  bool created = sharedMem.create(8, QSharedMemory::ReadWrite);
  if (!created && sharedMem.error() == QSharedMemory::AlreadyExists) {
    // The key file made here again (it goes with the last detach) may have
    // an inode whose system key a left segment holds: clear that and try
    // once more. A segment another copy is attached to stays.
    clearLeftSegment();
    created = sharedMem.create(8, QSharedMemory::ReadWrite);
  }
  const QSharedMemory::SharedMemoryError error = sharedMem.error();
  const QString reason = sharedMem.errorString();
  memLock.release();
  if (created)
    return true;
  release();
  // Only an existing segment means another copy. Any other failure (no
  // permission, no shared memory at all) must not keep the user from
  // working: the program starts without the guard.
  if (error == QSharedMemory::AlreadyExists)
    return false;
  qWarning() << "RunGuard: single-instance guard unavailable, starting without it:" << reason;
  return true;
}

void RunGuard::release()
{
  memLock.acquire();
  if (sharedMem.isAttached())
    sharedMem.detach();
  memLock.release();
}
