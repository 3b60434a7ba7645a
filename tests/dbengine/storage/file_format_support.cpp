#include "file_format_support.h"

#include <fstream>
#include <stdexcept>

#include "dbengine/storage/page_manager.h"
#include "platform/bytes.h"
#include "test_support.h"

namespace file_format_test {

ShortLockWaits::ShortLockWaits() : saved_(vz::lockSettings()) {
  vz::TVZLockSettings& s = vz::lockSettings();
  s.headerLock = {5, 1};
  s.nextObjectIDLock = {5, 1};
  s.tablesLock = {5, 1};
  s.reconnect = {3, 1};
}

ShortLockWaits::~ShortLockWaits() { vz::lockSettings() = saved_; }

void createDatabase(const std::string& path, const vz::TVZPassword& password, uint16_t pageSize,
                    uint16_t extentPages, int32_t maxConnections) {
  vz::TVZDiskPageManager manager;
  manager.createDatabaseFile(path, password, extentPages, pageSize, maxConnections);
  manager.close();
}

Opened openDatabase(vz::TVZDiskPageManager& manager, const std::string& path, const vz::TVZPassword& password,
                    bool exclusive, bool readOnly) {
  Opened o;
  o.readOnly = readOnly;
  manager.openDatabaseFile(path, password, o.multiUser, exclusive, o.needsRepair, o.readOnly);
  return o;
}

void patchFile(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes) {
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  f.seekp(std::streamoff(offset));
  f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!f) throw std::runtime_error("cannot patch " + path);
}

void patchI32(const std::string& path, uint64_t offset, int32_t value) {
  std::vector<uint8_t> bytes(4);
  platform::storeI32(bytes.data(), value);
  patchFile(path, offset, bytes);
}

std::string copyFixture(const std::string& name, const std::string& folder) {
  const std::string target = folder + "/" + name;
  testing_support::writeFile(target, testing_support::readFile(testing_support::fixturePath("vzdb/" + name)));
  return target;
}

std::string helperProgram() { return FILE_FORMAT_HELPER; }

}  // namespace file_format_test
