// One table of an open store file: its header, field and index definitions,
// record table and index chains, and the lists of its live records in
// record-number order and in each index's order. Reads, appends, rewrites
// and deletes its records under the file's lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "recordstore/file_io.h"
#include "recordstore/index_order.h"
#include "recordstore/record_layout.h"
#include "recordstore/store_format.h"

namespace rec {

// A live record in a list: where its data lies and its record number.
struct RowItem {
  int32_t offset;
  int32_t recno;
  bool operator==(const RowItem&) const = default;
};

// New values of a record's BLOB fields, by field number; a field without a
// value keeps the one it has (and is written again as it is).
using BlobValues = std::vector<std::optional<std::string>>;

class TRecTableIO {
 public:
  TRecTableIO(TRecFileIO& file, int number);

  int number() const { return number_; }
  const std::string& name() const { return header_.name; }

  // Loads the table's structures under the file lock (takes in what other
  // processes changed when they are loaded already). Damaged structures
  // raise "Database file '%s' is a invalid RecDB"; an unknown field type
  // "General error".
  void load();
  void unload();
  bool loaded() const { return loaded_; }

  // Datasets that have the table open; the structures go with the last.
  int useCount() const { return useCount_; }
  void addUse() { ++useCount_; }
  void releaseUse();

  const RecordLayout& layout() const { return layout_; }
  const std::vector<format::FieldDef>& fields() const { return layout_.fields; }
  const std::vector<format::IndexDef>& indexes() const { return header_.indexes; }
  int32_t autoIncCounter() const { return header_.autoIncCounter; }
  int32_t recTabCount() const { return header_.recTabCount; }
  // The index of that name (without regard to case), or -1.
  int findIndex(std::string_view name) const;
  // The first index with the primary bit, or -1.
  int primaryIndex() const;

  // List 0 is record-number order, list k + 1 the order of index k; deleted
  // records are in none.
  const std::vector<RowItem>& list(size_t path) const { return lists_.at(path); }
  bool isLive(int32_t recno) const;

  // The record's bytes with every non-BLOB field decoded; BLOB fields hold
  // their descriptors.
  std::vector<uint8_t> readRecord(int32_t recno);
  // A BLOB field's value, decoded.
  std::string readBlob(int32_t recno, size_t field);

  // Appends a record given with decoded fields (BLOB descriptors ignored)
  // and its BLOB values; fills in the auto-increment value. Returns the new
  // record number. "Invalid unique field value '%s'" for a key that exists.
  int32_t appendRecord(std::vector<uint8_t>& record, const BlobValues& blobs);
  // Rewrites record `recno` in place: the fields marked in `given` (all
  // when empty) from `record`, BLOBs from `blobs`.
  void rewriteRecord(int32_t recno, std::vector<uint8_t>& record, const std::vector<bool>& given,
                     const BlobValues& blobs);
  void deleteRecord(int32_t recno);
  // Takes in what other processes changed since the table was loaded.
  void refresh();

 private:
  struct IndexChain {
    std::vector<int64_t> blocks;  // offsets of its IndexTabBlocks
    std::vector<int32_t> next;    // NextRecord by record number
    std::vector<int32_t> prev;    // the record before it in the chain, -1 for the head
  };

  void loadLocked();
  void readStructures();
  void takeStructures(TRecTableIO& other);
  void readRecordTable();
  void readIndexChain(size_t index);
  // Another process may have changed the table since it was loaded.
  void refreshLocked();
  void writeHeader();
  int64_t recordOffset(int32_t recno) const;
  std::vector<uint8_t> readRecordLocked(int32_t recno);
  std::string readBlobLocked(int64_t recordOffset, size_t field);
  void decodeRecord(std::vector<uint8_t>& record);
  void encodeField(std::vector<uint8_t>& block, const std::vector<uint8_t>& record, size_t field);

  void checkUnique(const std::vector<uint8_t>& record, int32_t self);
  Placement placeInIndex(size_t index, const std::vector<RowItem>& list, const std::vector<uint8_t>& record);

  // BLOB data blocks.
  format::BlobDescriptor writeNewBlob(size_t field, const std::string& value);
  format::BlobDescriptor rewriteBlob(size_t field, const format::BlobDescriptor& old, const std::string& value);
  void writeBlobData(size_t field, const std::string& value, const std::string& stored, int64_t offset,
                     int64_t padding);

  // Index chains.
  void linkAppended(size_t index, int32_t recno, size_t position);
  void moveInIndex(size_t index, int32_t recno, const std::vector<uint8_t>& oldRecord,
                   const std::vector<uint8_t>& newRecord);
  void writeChainEntry(size_t index, int32_t recno);
  int64_t appendBlock(size_t blockSize, std::vector<int64_t>& blocks);

  TRecFileIO& file_;
  int number_;
  bool loaded_ = false;
  int useCount_ = 0;
  std::vector<uint8_t> rawHeader_;
  format::TableHeader header_;
  RecordLayout layout_;
  std::vector<int64_t> recBlocks_;
  std::vector<int32_t> recordOffsets_;
  std::vector<uint8_t> deleted_;
  std::vector<IndexChain> chains_;
  std::vector<std::vector<RowItem>> lists_;
};

}  // namespace rec
