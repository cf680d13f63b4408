#include "runguard.h"

#include <QCryptographicHash>
#include <QFile>
#include <QDebug>

#include <sys/ipc.h>
#include <sys/shm.h>
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
  // The system key comes from the inode of a key file in the temp folder.
  // The file goes with the last detach, and a folder that hands out new
  // inodes gives the file a new key each time it is made again; a segment
  // left under that key by a killed copy (whose own file is gone) would
  // block the start. So the file is made here and kept in place, and the
  // segment under its key is removed when no process is attached to it.
  const QByteArray file = QFile::encodeName(QSharedMemory(sharedmemKey).nativeKey());
  QFile keyFile(QString::fromLocal8Bit(file));
  if (!keyFile.exists() && keyFile.open(QIODevice::WriteOnly))
    keyFile.close();
  const key_t systemKey = ::ftok(file.constData(), 'Q');
  if (systemKey == key_t(-1))
    return;
  const int id = ::shmget(systemKey, 0, 0);
  shmid_ds state {};
  if (id >= 0 && ::shmctl(id, IPC_STAT, &state) == 0 && state.shm_nattch == 0)
    ::shmctl(id, IPC_RMID, nullptr);
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
  // The key file stays where this made it, so create() finds the key whose
  // left segment was just cleared.
  clearLeftSegment();
  const bool created = sharedMem.create(8, QSharedMemory::ReadWrite);
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
