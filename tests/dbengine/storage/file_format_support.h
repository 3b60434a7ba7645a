// What the database file tests share: short lock waits, new databases,
// patching bytes of a file, and the second process that holds locks and
// reads pages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dbengine/storage/cipher.h"
#include "dbengine/storage/database_file_format.h"
#include "dbengine/storage/file_locks.h"

namespace vz {
class TVZDiskPageManager;
}

namespace file_format_test {

// Shortens every lock wait for the life of the object (a few tries, 1 ms
// apart) and puts the settings back afterwards.
class ShortLockWaits {
 public:
  ShortLockWaits();
  ~ShortLockWaits();

 private:
  vz::TVZLockSettings saved_;
};

// Makes a database file and closes it again.
void createDatabase(const std::string& path, const vz::TVZPassword& password = {},
                    uint16_t pageSize = vz::kDefaultPageSize, uint16_t extentPages = vz::kDefaultExtentPageCount,
                    int32_t maxConnections = vz::kDefaultMaxConnections);

// How a database was opened.
struct Opened {
  bool multiUser = true;
  bool needsRepair = false;
  bool readOnly = false;
};

// Opens a database for several users unless told otherwise.
Opened openDatabase(vz::TVZDiskPageManager& manager, const std::string& path, const vz::TVZPassword& password = {},
                    bool exclusive = false, bool readOnly = false);

// Overwrites bytes of a file in place.
void patchFile(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes);
void patchI32(const std::string& path, uint64_t offset, int32_t value);

// A file of the fixtures folder, copied into `folder` (fixtures are read-only).
std::string copyFixture(const std::string& name, const std::string& folder);

// The message of the exception `call` raises ("" when it raises none).
template <class Call>
std::string messageOf(Call&& call) {
  try {
    call();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

// The helper program for second processes.
std::string helperProgram();

}  // namespace file_format_test
