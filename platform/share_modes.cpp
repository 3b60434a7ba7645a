#include "platform/share_modes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file.h"
#include "platform/ofd_locks.h"

namespace platform::share_modes {
namespace {

bool taken(int fd, uint64_t offset) { return lockedByOthers(fd, kRegionStart + offset, 1); }

}  // namespace

bool conflictsWithOthers(int fd, const Intent& intent) {
  if (intent.read && taken(fd, kDeniesRead)) return true;
  if (intent.write && taken(fd, kDeniesWrite)) return true;
  if (intent.remove && taken(fd, kDeniesDelete)) return true;
  if (!(intent.share & ShareRead) && taken(fd, kHasRead)) return true;
  if (!(intent.share & ShareWrite) && taken(fd, kHasWrite)) return true;
  if (!(intent.share & ShareDelete) && taken(fd, kHasDelete)) return true;
  return false;
}

bool advertise(int fd, const Intent& intent) {
  const bool bytes[kRegionLength] = {
      intent.read, intent.write, intent.remove,
      !(intent.share & ShareRead), !(intent.share & ShareWrite), !(intent.share & ShareDelete)};
  for (uint64_t i = 0; i < kRegionLength; ++i) {
    if (bytes[i] && setByteLock(fd, LockKind::Shared, kRegionStart + i, 1) != 0) return false;
  }
  return true;
}

bool deleteForbidden(const std::string& nativePath) {
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  const bool forbidden = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && taken(fd, kDeniesDelete);
  ::close(fd);
  return forbidden;
}

}  // namespace platform::share_modes
