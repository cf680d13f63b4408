#ifndef FILECALLS_H
#define FILECALLS_H

#include <QtGlobal>

#include <functional>

#include <sys/types.h>

// The system calls that put a saved capture in place. Each answers 0, or -1
// with errno set, as the real call does; a test swaps them to make the disk
// fail at the step it means to check.
struct FileCalls
{
  std::function<int(int fd)> fsync;
  // Opens the folder and fsyncs it, so that a name made in it is on the disk.
  std::function<int(const char *folder)> syncFolder;
  // renameat2() with RENAME_NOREPLACE: refuses (EEXIST) a name in use.
  std::function<int(const char *from, const char *to)> renameNoReplace;
  std::function<int(const char *from, const char *to)> link;
  std::function<int(const char *path)> unlink;
  std::function<int(const char *from, const char *to)> rename;
  // FAT and FUSE file systems may keep no modes and refuse (EPERM, ENOSYS).
  std::function<int(int fd, mode_t mode)> fchmod;
  // After each block a copy has written (`done` of `total` bytes): nothing
  // of its own; a test acts in the middle of a copy here.
  std::function<void(qint64 done, qint64 total)> copied;

  // The real calls.
  static FileCalls system();
  // The calls in use: system() unless a test swapped them.
  static FileCalls &current();
};

#endif // FILECALLS_H
