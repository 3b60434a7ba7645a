// Waiting for the single-byte locks of a database file, and the one place
// where every retry count and pause of those waits is kept.
//
// A lock byte is taken with bounded retries: a fixed number of attempts a
// fixed number of milliseconds apart. The numbers live in one process-wide
// settings object so that tests can shorten the waits without skipping them.
#pragma once

#include <cstdint>

namespace vz {

class TVZDatabaseFile;

struct TVZRetry {
  int attempts;
  uint32_t pauseMs;
};

struct TVZLockSettings {
  TVZRetry headerLock{4500, 20};        // allocation, freeing, commit, reading the header at open
  TVZRetry nextObjectIDLock{4500, 20};  // reading and advancing the object counter
  TVZRetry tablesLock{200, 20};         // creating, dropping, renaming and opening tables
  TVZRetry reconnect{3, 1000};          // reopening a file handle that has gone bad
};

// The settings in force for this process.
TVZLockSettings& lockSettings();

// Locks `count` bytes at `offset`, trying up to retry.attempts times with
// retry.pauseMs between attempts; false when every attempt found them held.
bool lockWithRetry(TVZDatabaseFile& file, int64_t offset, TVZRetry retry, int64_t count = 1);

// Keeps a lock taken with lockWithRetry (or by the caller) until it goes.
class TVZByteLockGuard {
 public:
  TVZByteLockGuard(TVZDatabaseFile& file, int64_t offset) : file_(&file), offset_(offset) {}
  ~TVZByteLockGuard();
  TVZByteLockGuard(const TVZByteLockGuard&) = delete;
  TVZByteLockGuard& operator=(const TVZByteLockGuard&) = delete;
  // Unlocks now; false when the byte was not held.
  bool release();

 private:
  TVZDatabaseFile* file_;
  int64_t offset_;
};

}  // namespace vz
