// Open-file-description byte-range locks: held per open handle (not per
// process), so two handles of one process conflict, and released when the
// handle is closed or its process ends.
#pragma once

#include <cstdint>

namespace platform {

enum class LockKind { Shared, Exclusive, Unlock };

// Sets or clears a lock on [offset, offset + length) without waiting: 0 on
// success, else the error number (EAGAIN when another handle holds a
// conflicting lock; EBADF when the handle's access does not allow the kind).
int setByteLock(int fd, LockKind kind, uint64_t offset, uint64_t length);

// True when any other handle holds a lock of either kind on a byte of
// [offset, offset + length). Locks of `fd` itself are not seen.
bool lockedByOthers(int fd, uint64_t offset, uint64_t length);

}  // namespace platform
