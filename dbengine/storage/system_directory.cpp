#include "dbengine/storage/system_directory.h"

#include "platform/bytes.h"

namespace vz {

void TVZSystemDirectory::load(int32_t sessionID) {
  const std::vector<uint8_t> bytes = file_.read(sessionID);
  entries_.clear();
  for (size_t at = 0; at + directory_entry::kSize <= bytes.size(); at += directory_entry::kSize) {
    entries_.push_back({bytes[at + directory_entry::kKind], platform::loadI32(&bytes[at + directory_entry::kStartPage])});
  }
}

void TVZSystemDirectory::save(int32_t sessionID) {
  std::vector<uint8_t> bytes(entries_.size() * directory_entry::kSize);
  for (size_t i = 0; i < entries_.size(); ++i) {
    uint8_t* at = &bytes[i * directory_entry::kSize];
    at[directory_entry::kKind] = entries_[i].kind;
    platform::storeI32(at + directory_entry::kStartPage, entries_[i].startPageNo);
  }
  file_.write(sessionID, bytes.data(), int32_t(bytes.size()));
}

int32_t TVZSystemDirectory::find(uint8_t kind) const {
  for (const TVZDirectoryEntry& e : entries_) {
    if (e.kind == kind) return e.startPageNo;
  }
  return -1;
}

}  // namespace vz
