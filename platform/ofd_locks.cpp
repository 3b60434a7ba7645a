#include "platform/ofd_locks.h"

#include <fcntl.h>

#include <cerrno>

namespace platform {
namespace {

struct flock lockRequest(short type, uint64_t offset, uint64_t length) {
  struct flock request{};
  request.l_type = type;
  request.l_whence = SEEK_SET;
  request.l_start = off_t(offset);
  request.l_len = off_t(length);
  request.l_pid = 0;  // required by the open-file-description commands
  return request;
}

}  // namespace

int setByteLock(int fd, LockKind kind, uint64_t offset, uint64_t length) {
  const short type = kind == LockKind::Shared ? F_RDLCK : kind == LockKind::Exclusive ? F_WRLCK : F_UNLCK;
  struct flock request = lockRequest(type, offset, length);
  while (fcntl(fd, F_OFD_SETLK, &request) != 0) {
    if (errno == EINTR) continue;
    return errno == EACCES ? EAGAIN : errno;
  }
  return 0;
}

bool lockedByOthers(int fd, uint64_t offset, uint64_t length) {
  // An exclusive request conflicts with every lock another handle holds.
  struct flock request = lockRequest(F_WRLCK, offset, length);
  while (fcntl(fd, F_OFD_GETLK, &request) != 0) {
    if (errno != EINTR) return false;
  }
  return request.l_type != F_UNLCK;
}

}  // namespace platform
