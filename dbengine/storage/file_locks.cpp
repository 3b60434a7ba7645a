#include "dbengine/storage/file_locks.h"

#include "dbengine/storage/database_file.h"
#include "platform/system.h"

namespace vz {

TVZLockSettings& lockSettings() {
  static TVZLockSettings settings;
  return settings;
}

bool lockWithRetry(TVZDatabaseFile& file, int64_t offset, TVZRetry retry, int64_t count) {
  for (int i = 0; i < retry.attempts; ++i) {
    if (i > 0) platform::sleepMs(retry.pauseMs);
    if (file.lockBytes(offset, count)) return true;
  }
  return false;
}

TVZByteLockGuard::~TVZByteLockGuard() {
  try {
    release();
  } catch (...) {
  }
}

bool TVZByteLockGuard::release() {
  if (!file_) return false;
  TVZDatabaseFile* file = file_;
  file_ = nullptr;
  return file->isOpen() && file->unlockBytes(offset_);
}

}  // namespace vz
