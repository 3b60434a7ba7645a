#include "dbengine/storage/table_list_file.h"

#include <algorithm>

#include "dbengine/storage/database_file_errors.h"
#include "platform/bytes.h"
#include "platform/locale.h"

namespace vz {
namespace {

std::string_view cutName(std::string_view name) { return name.substr(0, table_list_entry::kMaxNameLength); }

}  // namespace

void TVZTableListFile::load(int32_t sessionID) {
  const std::vector<uint8_t> bytes = file_.read(sessionID);
  entries_.clear();
  for (size_t at = 0; at + table_list_entry::kSize <= bytes.size(); at += table_list_entry::kSize) {
    const uint8_t* e = &bytes[at];
    TVZTableListEntry entry;
    const uint8_t length = e[table_list_entry::kName];
    entry.name.assign(reinterpret_cast<const char*>(e + table_list_entry::kName + 1), length);
    entry.tableID = platform::loadI32(e + table_list_entry::kTableID);
    entry.metadataStart = platform::loadI32(e + table_list_entry::kMetadataStart);
    entry.mostUpdatedStart = platform::loadI32(e + table_list_entry::kMostUpdatedStart);
    entry.locksStart = platform::loadI32(e + table_list_entry::kLocksStart);
    entries_.push_back(std::move(entry));
  }
}

void TVZTableListFile::save(int32_t sessionID) {
  std::vector<uint8_t> bytes(entries_.size() * table_list_entry::kSize, 0);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const TVZTableListEntry& entry = entries_[i];
    uint8_t* e = &bytes[i * table_list_entry::kSize];
    const std::string_view name = cutName(entry.name);
    e[table_list_entry::kName] = uint8_t(name.size());
    std::copy(name.begin(), name.end(), e + table_list_entry::kName + 1);
    platform::storeI32(e + table_list_entry::kTableID, entry.tableID);
    platform::storeI32(e + table_list_entry::kMetadataStart, entry.metadataStart);
    platform::storeI32(e + table_list_entry::kMostUpdatedStart, entry.mostUpdatedStart);
    platform::storeI32(e + table_list_entry::kLocksStart, entry.locksStart);
  }
  file_.write(sessionID, bytes.data(), int32_t(bytes.size()));
}

TVZTableListEntry* TVZTableListFile::entryOf(std::string_view name) {
  const std::string wanted = platform::upperAnsi(cutName(name));
  for (TVZTableListEntry& entry : entries_) {
    if (platform::upperAnsi(entry.name) == wanted) return &entry;
  }
  return nullptr;
}

const TVZTableListEntry* TVZTableListFile::find(std::string_view name) const {
  return const_cast<TVZTableListFile*>(this)->entryOf(name);
}

void TVZTableListFile::add(std::string_view name, int32_t tableID, int32_t metadataStart, int32_t mostUpdatedStart,
                           int32_t locksStart) {
  if (entryOf(name)) raise(msg::kTableExists, {std::string(name)});
  entries_.push_back({std::string(cutName(name)), tableID, metadataStart, mostUpdatedStart, locksStart});
}

void TVZTableListFile::remove(std::string_view name) {
  TVZTableListEntry* entry = entryOf(name);
  if (!entry) raise(msg::kTableNotExists, {std::string(name)});
  entries_.erase(entries_.begin() + (entry - entries_.data()));
}

void TVZTableListFile::rename(std::string_view oldName, std::string_view newName) {
  TVZTableListEntry* entry = entryOf(oldName);
  if (!entry) raise(msg::kTableNotExists, {std::string(oldName)});
  entry->name = std::string(cutName(newName));
}

std::vector<std::string> TVZTableListFile::names() const {
  std::vector<std::string> result;
  for (const TVZTableListEntry& entry : entries_) result.push_back(entry.name);
  return result;
}

}  // namespace vz
