#ifndef FILECALLS_H
#define FILECALLS_H

#include <functional>

struct stat;

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
  // stat(): on a file system that ignores case another spelling of a name
  // may report another inode number (exFAT through FUSE does).
  std::function<int(const char *path, struct stat *st)> stat;
  // 1 when `folder` lists `name` spelled exactly so, 0 when it does not
  // (a file system that ignores case finds it under another spelling), -1
  // with errno set when the folder cannot be read.
  std::function<int(const char *folder, const char *name)> listed;

  // The real calls.
  static FileCalls system();
  // The calls in use: system() unless a test swapped them.
  static FileCalls &current();
};

#endif // FILECALLS_H
