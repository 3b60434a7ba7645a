// The sessions file: a direct internal file with one byte per connection
// slot. Locking byte i marks slot i as connected; the locks die with their
// process, so a crashed process frees its slots. The bytes themselves stay
// zero. Its first page's first byte is the file's latch.
#pragma once

#include <cstdint>

#include "dbengine/storage/internal_file.h"

namespace vz {

class TVZActiveSessionsFile : public TVZInternalDBDirectAccessFile {
 public:
  explicit TVZActiveSessionsFile(TVZDiskPageManager& pages)
      : TVZInternalDBDirectAccessFile(pages, TVZPageType::ActiveSessionList) {}

  // The number of slots, fixed when the database was created.
  int32_t maxConnections() const { return size(); }
  bool lockSlot(int32_t slot) { return lockByte(slot); }
  bool unlockSlot(int32_t slot) { return unlockByte(slot); }
  bool isSlotLocked(int32_t slot) { return isByteLocked(slot); }
  // True when any slot is held (by this handle or another).
  bool anySlotLocked() { return isRegionLocked(0, maxConnections()); }
};

}  // namespace vz
