// The store file: fixed header area, algorithm block, table directory, table
// headers with field and index definitions, BLOB descriptors, record-table
// and index-table blocks. Offsets are relative to the start of the store
// (the base offset); integers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/field_type.h"

namespace rec::format {

// --- Fixed header area --------------------------------------------------
inline constexpr size_t kSignatureOffset = 0;
inline constexpr size_t kSignatureSize = 7;  // text[7]: "RecDB"
inline constexpr size_t kVersionOffset = 7;
inline constexpr size_t kVersionSize = 5;  // text[5]: "2.0"
inline constexpr size_t kReservedAreaOffset = 12;
inline constexpr size_t kReservedAreaSize = 2305;
inline constexpr size_t kAlgorithmBlockOffset = 2317;
inline constexpr size_t kAlgorithmBlockSize = 472;
inline constexpr size_t kDirectoryOffset = 2789;
inline constexpr size_t kDirectorySize = 1032;
inline constexpr size_t kFixedHeaderSize = 3821;
static_assert(kVersionOffset == kSignatureOffset + kSignatureSize);
static_assert(kReservedAreaOffset == kVersionOffset + kVersionSize);
static_assert(kAlgorithmBlockOffset == kReservedAreaOffset + kReservedAreaSize);
static_assert(kDirectoryOffset == kAlgorithmBlockOffset + kAlgorithmBlockSize);
static_assert(kFixedHeaderSize == kDirectoryOffset + kDirectorySize);

inline constexpr std::string_view kSignature = "RecDB";
inline constexpr std::string_view kCurrentVersion = "2.0";
inline constexpr std::string_view kIncompatibleVersion = "1.00";

// --- Algorithm block (offsets inside the block) -------------------------
inline constexpr size_t kAlgoCompressFlag = 0;
inline constexpr size_t kAlgoCompressLevel = 1;
inline constexpr size_t kAlgoCompressName = 2;
inline constexpr size_t kAlgoNameSize = 33;
inline constexpr size_t kAlgoEncryptFlag = 35;
inline constexpr size_t kAlgoEncryptMode = 36;
inline constexpr size_t kAlgoEncryptName = 37;
inline constexpr size_t kAlgoVerifyBlobWrites = 70;
inline constexpr size_t kAlgoReserved1 = 71;
inline constexpr size_t kAlgoReserved1Size = 256;
inline constexpr size_t kAlgoPasswordCheck = 327;
inline constexpr size_t kAlgoPasswordCheckSize = 129;  // at most 128 characters
inline constexpr size_t kAlgoReserved2 = 456;
inline constexpr size_t kAlgoReserved2Size = 16;
static_assert(kAlgoCompressName == kAlgoCompressLevel + 1);
static_assert(kAlgoEncryptFlag == kAlgoCompressName + kAlgoNameSize);
static_assert(kAlgoEncryptMode == kAlgoEncryptFlag + 1);
static_assert(kAlgoEncryptName == kAlgoEncryptMode + 1);
static_assert(kAlgoVerifyBlobWrites == kAlgoEncryptName + kAlgoNameSize);
static_assert(kAlgoReserved1 == kAlgoVerifyBlobWrites + 1);
static_assert(kAlgoPasswordCheck == kAlgoReserved1 + kAlgoReserved1Size);
static_assert(kAlgoReserved2 == kAlgoPasswordCheck + kAlgoPasswordCheckSize);
static_assert(kAlgorithmBlockSize == kAlgoReserved2 + kAlgoReserved2Size);

struct AlgorithmBlock {
  bool compress = false;
  uint8_t compressLevel = 0;  // recorded only; never used when reading
  std::string compressAlgoName;
  bool encrypt = false;
  uint8_t encryptMode = 0;
  std::string encryptAlgoName;
  bool verifyBlobWrites = false;
  std::string passwordCheck;
};

AlgorithmBlock decodeAlgorithmBlock(const uint8_t* block);
void encodeAlgorithmBlock(const AlgorithmBlock& algorithms, uint8_t* block);

// --- Table directory ----------------------------------------------------
inline constexpr size_t kDirTableCount = 0;
inline constexpr size_t kDirReserved = 4;
inline constexpr size_t kDirTableOffsets = 8;
inline constexpr size_t kMaxTables = 256;
static_assert(kDirectorySize == kDirTableOffsets + 4 * kMaxTables);

struct TableDirectory {
  int32_t tableCount = 0;
  std::vector<int32_t> tableOffsets;  // tableCount entries
};

// Raises nothing: a count outside 0..256 is reported by the caller.
TableDirectory decodeTableDirectory(const uint8_t* block);
void encodeTableDirectory(const TableDirectory& directory, uint8_t* block);

// --- Table header -------------------------------------------------------
inline constexpr size_t kNameSize = 33;  // text[33] of table, field and index names
inline constexpr size_t kHdrTableName = 0;
inline constexpr size_t kHdrRecTabOffset = 33;
inline constexpr size_t kHdrRecTabCount = 37;
inline constexpr size_t kHdrAutoIncCounter = 41;
inline constexpr size_t kHdrFieldCount = 45;
inline constexpr size_t kHdrFieldDefs = 49;
inline constexpr size_t kMaxFields = 96;
inline constexpr size_t kFieldDefSize = 43;
inline constexpr size_t kHdrIndexCount = 4177;
inline constexpr size_t kHdrIndexDefs = 4181;
inline constexpr size_t kMaxIndexes = 8;
inline constexpr size_t kIndexDefSize = 78;
inline constexpr size_t kHdrReserved = 4805;
inline constexpr size_t kHdrReservedSize = 16;
inline constexpr size_t kTableHeaderSize = 4821;
static_assert(kHdrRecTabOffset == kHdrTableName + kNameSize);
static_assert(kHdrIndexCount == kHdrFieldDefs + kMaxFields * kFieldDefSize);
static_assert(kHdrIndexDefs == kHdrIndexCount + 4);
static_assert(kHdrReserved == kHdrIndexDefs + kMaxIndexes * kIndexDefSize);
static_assert(kTableHeaderSize == kHdrReserved + kHdrReservedSize);

// Field definition (offsets inside one entry).
inline constexpr size_t kFdName = 0;
inline constexpr size_t kFdType = 33;
inline constexpr size_t kFdSize = 34;
inline constexpr size_t kFdProcessMode = 38;
inline constexpr size_t kFdReserved = 39;
static_assert(kFieldDefSize == kFdReserved + 4);

// Index definition (offsets inside one entry).
inline constexpr size_t kIdName = 0;
inline constexpr size_t kIdOptions = 33;
inline constexpr size_t kIdFields = 34;
inline constexpr size_t kMaxIndexFields = 8;
inline constexpr size_t kIdTabOffset = 66;
inline constexpr size_t kIdHead = 70;
inline constexpr size_t kIdReserved = 74;
static_assert(kIdTabOffset == kIdFields + 4 * kMaxIndexFields);
static_assert(kIndexDefSize == kIdReserved + 4);

inline constexpr uint8_t kIndexPrimary = 0x01;
inline constexpr uint8_t kIndexUnique = 0x02;
inline constexpr uint8_t kIndexDescending = 0x04;
inline constexpr uint8_t kIndexCaseInsensitive = 0x08;

struct FieldDef {
  std::string name;
  uint8_t type = 0;
  int32_t size = 0;
  uint8_t dataProcessMode = 0;  // 0: encoded as the file's flags say; else stored as it is
};

struct IndexDef {
  std::string name;
  uint8_t options = 0;
  std::vector<int32_t> fields;  // the key's field numbers, unused (-1) entries dropped
  int32_t idxTabOffset = 0;
  int32_t idxHead = 0;
};

struct TableHeader {
  std::string name;
  int32_t recTabOffset = 0;
  int32_t recTabCount = 0;
  int32_t autoIncCounter = 0;
  int32_t fieldCount = 0;
  std::vector<FieldDef> fields;  // fieldCount entries (when 0..96)
  int32_t indexCount = 0;
  std::vector<IndexDef> indexes;  // indexCount entries (when 0..8)
};

// Counts outside their ranges are kept as read and only the entries that
// exist are decoded; the caller refuses such a header.
TableHeader decodeTableHeader(const uint8_t* header);
// Writes every defined part over `header`, keeping reserved bytes and
// unused entries as they are.
void encodeTableHeader(const TableHeader& table, uint8_t* header);
// The parts that change after a table is made.
void storeTableCounters(uint8_t* header, int32_t recTabOffset, int32_t recTabCount, int32_t autoIncCounter);
void storeIndexLinks(uint8_t* header, size_t index, int32_t idxTabOffset, int32_t idxHead);

// --- Field types and their sizes in a record ----------------------------
// The type codes are the dataset layer's field type numbers; a stored code
// is kept as its byte, since a file may hold one the store does not know.
using dataset::FieldType;
inline FieldType fieldType(uint8_t code) { return FieldType(code); }

bool isKnownFieldType(uint8_t type);
bool isBlobType(uint8_t type);
bool isTextType(uint8_t type);
// Bytes the field takes in a record; 0 for an unknown type.
size_t fieldByteCount(uint8_t type, int32_t size);

// Day number of 30 December 1899 (day 1 is 1 January of the year 1).
inline constexpr int32_t kDateDelta = 693594;
inline constexpr double kMsPerDay = 86400000.0;

// --- BLOB descriptor (inside the record) --------------------------------
inline constexpr size_t kBlobOffset = 0;
inline constexpr size_t kBlobLength = 4;
inline constexpr size_t kBlobCapacity = 8;
inline constexpr size_t kBlobReserved = 12;
inline constexpr size_t kBlobDescriptorSize = 20;
inline constexpr size_t kBlobGranule = 64;
static_assert(kBlobDescriptorSize == kBlobReserved + 8);

struct BlobDescriptor {
  int32_t offset = 0;
  int32_t length = 0;
  int32_t capacity = 0;
};

BlobDescriptor decodeBlobDescriptor(const uint8_t* p);
// Writes offset, length and capacity; the reserved bytes are kept.
void storeBlobDescriptor(uint8_t* p, const BlobDescriptor& blob);
// The block size a stored length first gets: rounded down to 64, plus 64.
inline int64_t blobCapacityFor(int64_t length) { return length / 64 * 64 + 64; }

// --- Record-table and index-table blocks ---------------------------------
inline constexpr size_t kBlockNext = 0;
inline constexpr size_t kBlockEntries = 4;
inline constexpr size_t kEntriesPerBlock = 1024;
inline constexpr size_t kRecEntrySize = 5;
inline constexpr size_t kRecEntryOffset = 0;
inline constexpr size_t kRecEntryDeleted = 4;
inline constexpr size_t kRecordTabBlockSize = 5124;
inline constexpr size_t kIdxEntrySize = 8;
inline constexpr size_t kIdxEntryRecord = 0;
inline constexpr size_t kIdxEntryNext = 4;
inline constexpr size_t kIndexTabBlockSize = 8196;
static_assert(kRecordTabBlockSize == kBlockEntries + kEntriesPerBlock * kRecEntrySize);
static_assert(kIndexTabBlockSize == kBlockEntries + kEntriesPerBlock * kIdxEntrySize);

inline constexpr size_t recEntryPosition(int64_t recno) {
  return kBlockEntries + kRecEntrySize * size_t(recno % int64_t(kEntriesPerBlock));
}
inline constexpr size_t idxEntryPosition(int64_t recno) {
  return kBlockEntries + kIdxEntrySize * size_t(recno % int64_t(kEntriesPerBlock));
}

// A zero-terminated text in a fixed-size field: up to the first zero byte,
// all of the field when it has none.
std::string loadText(const uint8_t* p, size_t size);
// The text cut to size - 1 bytes, then zeros to the end of the field.
void storeText(uint8_t* p, size_t size, std::string_view text);

}  // namespace rec::format
