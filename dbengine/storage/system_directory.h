// The system directory: the transacted internal file at page 2 that names
// the start pages of the other catalogue files, as 5-byte entries (kind,
// start page). Kind 1 is the table list, kind 2 the sessions file.
#pragma once

#include <cstdint>
#include <vector>

#include "dbengine/storage/internal_file.h"

namespace vz {

struct TVZDirectoryEntry {
  uint8_t kind = 0;
  int32_t startPageNo = -1;
};

class TVZSystemDirectory {
 public:
  explicit TVZSystemDirectory(TVZPageManager& pages) : file_(pages, TVZPageType::FileSystemDirectory) {}

  int32_t create(int32_t sessionID) { return file_.create(sessionID); }
  void open(int32_t startPageNo = kSystemDirectoryPageNo) { file_.open(startPageNo); }
  TVZInternalDBTransactedAccessFile& file() { return file_; }

  void load(int32_t sessionID);
  void save(int32_t sessionID);
  void addEntry(uint8_t kind, int32_t startPageNo) { entries_.push_back({kind, startPageNo}); }
  // The start page of the first entry of `kind`, -1 when there is none.
  int32_t find(uint8_t kind) const;
  const std::vector<TVZDirectoryEntry>& entries() const { return entries_; }

 private:
  TVZInternalDBTransactedAccessFile file_;
  std::vector<TVZDirectoryEntry> entries_;
};

}  // namespace vz
