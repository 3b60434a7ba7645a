// The table list: a transacted internal file of 272-byte entries, one per
// table: its name (a short string of up to 255 characters), its TableID and
// the start pages of its metadata, MostUpdated and locks files. Names are
// compared without regard to case (both sides upper-cased). The list is
// rewritten whole after every change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/storage/internal_file.h"

namespace vz {

struct TVZTableListEntry {
  std::string name;  // Windows-1252
  int32_t tableID = 0;
  int32_t metadataStart = -1;
  int32_t mostUpdatedStart = -1;
  int32_t locksStart = -1;
};

class TVZTableListFile {
 public:
  explicit TVZTableListFile(TVZPageManager& pages) : file_(pages, TVZPageType::TableList) {}

  int32_t create(int32_t sessionID) { return file_.create(sessionID); }
  void open(int32_t startPageNo) { file_.open(startPageNo); }
  TVZInternalDBTransactedAccessFile& file() { return file_; }

  void load(int32_t sessionID);
  void save(int32_t sessionID);

  // Adds a table; its name is cut to 255 characters. "Cannot create table.
  // Table '%s' already exists" when the name is taken.
  void add(std::string_view name, int32_t tableID, int32_t metadataStart, int32_t mostUpdatedStart,
           int32_t locksStart);
  // The entry of the table, null when there is none.
  const TVZTableListEntry* find(std::string_view name) const;
  // "Table '%s' not exists." when there is no such table.
  void remove(std::string_view name);
  void rename(std::string_view oldName, std::string_view newName);
  std::vector<std::string> names() const;
  const std::vector<TVZTableListEntry>& entries() const { return entries_; }

 private:
  TVZTableListEntry* entryOf(std::string_view name);

  TVZInternalDBTransactedAccessFile file_;
  std::vector<TVZTableListEntry> entries_;
};

}  // namespace vz
