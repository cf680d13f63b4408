// Holds the single-instance guard of the key given as argument 1 and says
// so on stdout ("held" or "refused"); then waits until stdin closes or the
// process is killed.
#include "runguard.h"

#include <cstdio>

int main(int argc, char **argv)
{
  if (argc < 2)
    return 2;
  RunGuard guard(QString::fromLocal8Bit(argv[1]));
  const bool held = guard.tryToRun();
  std::puts(held ? "held" : "refused");
  std::fflush(stdout);
  if (!held)
    return 1;
  while (std::getchar() != EOF) {
  }
  return 0;
}
