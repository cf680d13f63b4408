#include "filecalls.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

int openAndSync(const char *folder)
{
  const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return -1;
  const int result = ::fsync(fd);
  const int error = errno;
  if (::close(fd) != 0 && result == 0)
    return -1;
  errno = error;
  return result;
}

int renameUnlessTaken(const char *from, const char *to)
{
#if defined(RENAME_NOREPLACE)
  return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
#elif defined(SYS_renameat2)
  return int(::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 1u /* RENAME_NOREPLACE */));
#else
  (void)from;
  (void)to;
  errno = ENOSYS;
  return -1;
#endif
}

} // namespace

FileCalls FileCalls::system()
{
  FileCalls calls;
  calls.fsync = [](int fd) { return ::fsync(fd); };
  calls.syncFolder = openAndSync;
  calls.renameNoReplace = renameUnlessTaken;
  calls.link = [](const char *from, const char *to) { return ::link(from, to); };
  calls.unlink = [](const char *path) { return ::unlink(path); };
  calls.rename = [](const char *from, const char *to) { return ::rename(from, to); };
  calls.fchmod = [](int fd, mode_t mode) { return ::fchmod(fd, mode); };
  calls.copied = [](qint64, qint64) {};
  return calls;
}

FileCalls &FileCalls::current()
{
  static FileCalls calls = system();
  return calls;
}
