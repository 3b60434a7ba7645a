// Holds byte 1 of a file for the locking tests: locks it, creates
// "<file>.held", and keeps the lock until "<file>.release" appears (or ten
// seconds pass).
#include <cstdio>
#include <string>

#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string path = argv[1];
  platform::File file = platform::File::open(path, platform::Access::ReadWrite, platform::ShareReadWrite,
                                             platform::Disposition::OpenExisting);
  if (!file.tryLock(1, 1)) return 1;
  platform::File::open(path + ".held", platform::Access::Write, platform::ShareReadWrite,
                       platform::Disposition::CreateAlways);
  for (int waited = 0; waited < 10000 && !platform::fileExists(path + ".release"); waited += 10)
    platform::sleepMs(10);
  return 0;
}
