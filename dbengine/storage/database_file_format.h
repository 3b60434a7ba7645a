// The database file: one fixed header, a password check block, a few lock
// target bytes, the object-ID counter, then an array of equal-sized pages.
//
//   S + 0     76 bytes   file header
//   S + 76    280 bytes  password check block
//   S + 356   20 bytes   lock block (S + 359 tables lock, S + 360 header lock)
//   S + 376   4 bytes    next object ID (int32; its first byte is its lock)
//   S + 380   pages: page N at S + 380 + N * PageSize
//
// S is the offset of the header in the file: 0 for a file this engine made,
// found by a signature search when the database follows other data. Every
// integer is little-endian. Every page starts with a 40-byte page header; the
// rest (PageSize - 40 bytes) is the page's data.
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/bytes.h"

namespace vz {

// ---- file regions, relative to S ----------------------------------------

inline constexpr std::string_view kDatabaseSignature = "VIZ0OVOZIDADAVAZ";
inline constexpr size_t kSignatureSize = 16;
inline constexpr size_t kFileHeaderSize = 76;
inline constexpr size_t kPasswordCheckBlockSize = 280;
inline constexpr size_t kLockBlockSize = 20;
inline constexpr size_t kNextObjectIDSize = 4;

inline constexpr uint64_t kPasswordCheckBlockOffset = kFileHeaderSize;
inline constexpr uint64_t kLockBlockOffset = kPasswordCheckBlockOffset + kPasswordCheckBlockSize;
inline constexpr uint64_t kNextObjectIDOffset = kLockBlockOffset + kLockBlockSize;
inline constexpr uint64_t kPagesOffset = kNextObjectIDOffset + kNextObjectIDSize;

static_assert(kSignatureSize == kDatabaseSignature.size());
static_assert(kLockBlockOffset == 356);
static_assert(kNextObjectIDOffset == 376);
static_assert(kPagesOffset == 380);

// Lock target bytes, relative to S. The header lock is taken at absolute byte
// 360 while a file is opened, before S is known.
inline constexpr uint64_t kTablesLockOffset = kLockBlockOffset + 3;
inline constexpr uint64_t kHeaderLockOffset = kLockBlockOffset + 4;
static_assert(kTablesLockOffset == 359 && kHeaderLockOffset == 360);

// ---- file header (76 bytes at S) ----------------------------------------

namespace file_header {
inline constexpr size_t kSignature = 0;         // 16 ASCII bytes, no terminator
inline constexpr size_t kHeaderSize = 16;       // int16, 76
inline constexpr size_t kVersion = 18;          // IEEE double
inline constexpr size_t kPageSize = 26;         // uint16, page header included
inline constexpr size_t kExtentPageCount = 28;  // uint16
inline constexpr size_t kTotalPageCount = 30;   // int32
inline constexpr size_t kLastUsedPageNo = 34;   // int32, -1 when none
inline constexpr size_t kChangeCount = 38;      // int32, +1 per commit
inline constexpr size_t kCommitState = 42;      // uint8
inline constexpr size_t kEncrypted = 43;        // uint8, 0xFF or 0
inline constexpr size_t kReserved = 44;         // 32 zero bytes
inline constexpr size_t kReservedSize = 32;
static_assert(kReserved + kReservedSize == kFileHeaderSize);
}  // namespace file_header

inline constexpr double kFormatVersion = 7.61;
// Files of an older format are opened but reported as needing repair.
inline constexpr double kOldestSoundVersion = 2.99;
inline constexpr uint8_t kCommitStateWriting = 1;
inline constexpr uint8_t kCommitStateConsistent = 2;
inline constexpr uint8_t kEncryptedMark = 0xFF;

struct TVZDatabaseFileHeader {
  std::array<char, kSignatureSize> signature{};
  int16_t headerSize = int16_t(kFileHeaderSize);
  double version = kFormatVersion;
  uint16_t pageSize = 0;
  uint16_t extentPageCount = 0;
  int32_t totalPageCount = 0;
  int32_t lastUsedPageNo = -1;
  int32_t changeCount = 0;
  uint8_t commitState = kCommitStateConsistent;
  uint8_t encrypted = 0;

  std::string_view signatureText() const { return {signature.data(), signature.size()}; }
  bool hasSignature() const { return signatureText() == kDatabaseSignature; }

  static TVZDatabaseFileHeader decode(const uint8_t* p) {
    TVZDatabaseFileHeader h;
    for (size_t i = 0; i < kSignatureSize; ++i) h.signature[i] = char(p[file_header::kSignature + i]);
    h.headerSize = platform::loadI16(p + file_header::kHeaderSize);
    h.version = platform::loadF64(p + file_header::kVersion);
    h.pageSize = platform::loadU16(p + file_header::kPageSize);
    h.extentPageCount = platform::loadU16(p + file_header::kExtentPageCount);
    h.totalPageCount = platform::loadI32(p + file_header::kTotalPageCount);
    h.lastUsedPageNo = platform::loadI32(p + file_header::kLastUsedPageNo);
    h.changeCount = platform::loadI32(p + file_header::kChangeCount);
    h.commitState = platform::loadU8(p + file_header::kCommitState);
    h.encrypted = platform::loadU8(p + file_header::kEncrypted);
    return h;
  }

  // Writes all 76 bytes, the reserved ones as zeros.
  void encode(uint8_t* p) const {
    for (size_t i = 0; i < kSignatureSize; ++i) p[file_header::kSignature + i] = uint8_t(signature[i]);
    platform::storeI16(p + file_header::kHeaderSize, headerSize);
    platform::storeF64(p + file_header::kVersion, version);
    platform::storeU16(p + file_header::kPageSize, pageSize);
    platform::storeU16(p + file_header::kExtentPageCount, extentPageCount);
    platform::storeI32(p + file_header::kTotalPageCount, totalPageCount);
    platform::storeI32(p + file_header::kLastUsedPageNo, lastUsedPageNo);
    platform::storeI32(p + file_header::kChangeCount, changeCount);
    platform::storeU8(p + file_header::kCommitState, commitState);
    platform::storeU8(p + file_header::kEncrypted, encrypted);
    for (size_t i = 0; i < file_header::kReservedSize; ++i) p[file_header::kReserved + i] = 0;
  }
};

// ---- password check block (280 bytes at S + 76) ------------------------

namespace password_check {
inline constexpr size_t kBlockSize = 0;   // int16, 280
inline constexpr size_t kCipherID = 2;    // uint8
inline constexpr size_t kReserved1 = 3;   // uint8, 0
inline constexpr size_t kCheckData = 4;   // 256 bytes, stored encrypted
inline constexpr size_t kCheckDataSize = 256;
inline constexpr size_t kCheckCRC = 260;  // uint32, engine CRC-32 of the plain check data
inline constexpr size_t kReserved2 = 264;
inline constexpr size_t kReserved2Size = 16;
static_assert(kCheckData + kCheckDataSize == kCheckCRC);
static_assert(kReserved2 + kReserved2Size == kPasswordCheckBlockSize);
// Each plain check byte is drawn from 0 .. kMaxCheckByte.
inline constexpr uint8_t kMaxCheckByte = 254;
}  // namespace password_check

struct TVZPasswordCheckBlock {
  int16_t blockSize = int16_t(kPasswordCheckBlockSize);
  uint8_t cipherID = 0;
  std::array<uint8_t, password_check::kCheckDataSize> checkData{};
  uint32_t checkCRC = 0;

  static TVZPasswordCheckBlock decode(const uint8_t* p) {
    TVZPasswordCheckBlock b;
    b.blockSize = platform::loadI16(p + password_check::kBlockSize);
    b.cipherID = platform::loadU8(p + password_check::kCipherID);
    for (size_t i = 0; i < b.checkData.size(); ++i) b.checkData[i] = p[password_check::kCheckData + i];
    b.checkCRC = platform::loadU32(p + password_check::kCheckCRC);
    return b;
  }

  void encode(uint8_t* p) const {
    platform::storeI16(p + password_check::kBlockSize, blockSize);
    platform::storeU8(p + password_check::kCipherID, cipherID);
    platform::storeU8(p + password_check::kReserved1, 0);
    for (size_t i = 0; i < checkData.size(); ++i) p[password_check::kCheckData + i] = checkData[i];
    platform::storeU32(p + password_check::kCheckCRC, checkCRC);
    for (size_t i = 0; i < password_check::kReserved2Size; ++i) p[password_check::kReserved2 + i] = 0;
  }
};

// ---- lock block (20 bytes at S + 356) -----------------------------------

namespace lock_block {
inline constexpr size_t kSize = 0;  // int16, 20; the object counter follows the block
// A size field outside these bounds is no lock block of this format (the
// block must at least reach the header lock byte).
inline constexpr int16_t kMinSize = int16_t(kHeaderLockOffset - kLockBlockOffset + 1);
inline constexpr int16_t kMaxSize = 4096;
}  // namespace lock_block

// ---- pages ---------------------------------------------------------------

inline constexpr size_t kPageHeaderSize = 40;
inline constexpr std::string_view kPageMagic = "VAZA";

namespace page_header {
inline constexpr size_t kSignature = 0;     // "VAZA"
inline constexpr size_t kPageVersion = 4;   // int32 write stamp
inline constexpr size_t kPageType = 8;      // uint16
inline constexpr size_t kNextPageNo = 10;   // int32, -1 at the end of a chain
inline constexpr size_t kDataCRC = 14;      // uint32, encrypted pages only
inline constexpr size_t kReserved18 = 18;   // 2 bytes 0
inline constexpr size_t kCipherID = 20;     // uint8, encrypted pages only
inline constexpr size_t kReserved21 = 21;   // uint8 0
inline constexpr size_t kOwnerTableID = 22; // int32, record pages; -1 otherwise
inline constexpr size_t kReserved26 = 26;   // int32 -1
inline constexpr size_t kReserved30 = 30;   // uint16 0
inline constexpr size_t kReserved32 = 32;   // 8 bytes 0
static_assert(kReserved32 + 8 == kPageHeaderSize);
static_assert(kPageVersion + 4 == kPageType && kPageType + 2 == kNextPageNo && kNextPageNo + 4 == kDataCRC);
}  // namespace page_header

// Page write stamps cycle through 0 .. kMaxPageVersion; a new page starts at a
// random stamp up to kMaxNewPageVersion; a freed page carries kFreedPageVersion.
inline constexpr int32_t kMaxPageVersion = 0x7FFFFFFC;
inline constexpr int32_t kMaxNewPageVersion = 0x3FFFFFFE;
inline constexpr int32_t kFreedPageVersion = 0x7FFFFFFF;

// The stamp a page gets when it is written again. A stamp outside the cycle
// (a freed page's mark, a negative number from a damaged page) starts again
// at 0.
constexpr int32_t nextPageVersion(int32_t version) {
  return (version < 0 || version >= kMaxPageVersion) ? 0 : version + 1;
}

enum class TVZPageType : uint16_t {
  Unknown = 0,
  Empty = 1,
  EAM = 2,
  PFS = 3,
  FileSystemDirectory = 4,
  ActiveSessionList = 5,
  TableList = 6,
  TableLocks = 7,
  TableMetaData = 8,
  TableMostUpdated = 9,
  TableRecord = 10,
  TableBlob = 11,
  TableIndex = 12,
};
inline constexpr uint16_t kHighestPageType = uint16_t(TVZPageType::TableIndex);
// Asked for when reading a page of whatever kind.
inline constexpr uint16_t kAnyPageType = 255;

// "EAM Page", "TableRecord Page", ...; "Unknown Page" for a code outside the table.
std::string_view pageTypeName(uint16_t pageType);

// Page data size D for a page size.
constexpr size_t pageDataSize(uint16_t pageSize) { return pageSize > kPageHeaderSize ? pageSize - kPageHeaderSize : 0; }

// Page sizes this engine creates and accepts. The smallest leaves room for
// a table's structures in one page; the header field is 16 bits wide.
inline constexpr uint16_t kMinPageSize = 256;
inline constexpr uint16_t kMaxPageSize = 65535;
inline constexpr uint16_t kDefaultPageSize = 4096;
inline constexpr uint16_t kDefaultExtentPageCount = 8;
inline constexpr int32_t kDefaultMaxConnections = 500;

// ---- free-space map --------------------------------------------------------
//
// PFS page k is page k * P (P = 8 * D pages, one bit each, least significant
// bit first, 1 = in use). EAM page k covers E = 4 * D extents of X pages (two
// bits each: 0 all free, 1 some used, 3 all used) and lives at page k * E * X,
// or one page later when that is a PFS page.

inline constexpr int32_t kPagesPerPFSByte = 8;
inline constexpr int32_t kExtentsPerEAMByte = 4;
inline constexpr uint8_t kExtentFree = 0;
inline constexpr uint8_t kExtentPartlyUsed = 1;
inline constexpr uint8_t kExtentFull = 3;
// The first growth of an empty file: PFS page 0, EAM page 0 and the first
// pages of the catalogue.
inline constexpr int32_t kFirstGrowthPages = 6;

// ---- internal files -----------------------------------------------------
//
// A chain of pages of one kind linked through NextPageNo. The first page's
// data starts with this header; stored byte p lies at chain data position
// p + 10 (transacted files read and write the chain front to back; direct
// files place position x at page ceil(x / D) - 1, offset x mod D).

namespace internal_file {
inline constexpr size_t kHeaderLength = 0;     // uint8, 10
inline constexpr size_t kStoredSize = 1;       // int32, after compression
inline constexpr size_t kUncompressedSize = 5; // int32
inline constexpr size_t kAlgorithm = 9;        // uint8, compression algorithm
inline constexpr size_t kHeaderSize = 10;
static_assert(kAlgorithm + 1 == kHeaderSize);
}  // namespace internal_file

// Pages a chain of `storedSize` bytes occupies: ceil((s + 10) / D).
constexpr int64_t internalFilePageCount(int64_t storedSize, size_t dataSize) {
  return (storedSize + int64_t(internal_file::kHeaderSize) + int64_t(dataSize) - 1) / int64_t(dataSize);
}

// ---- catalogue --------------------------------------------------------------

inline constexpr int32_t kSystemDirectoryPageNo = 2;

// System directory entries: uint8 kind, int32 start page.
namespace directory_entry {
inline constexpr size_t kKind = 0;
inline constexpr size_t kStartPage = 1;
inline constexpr size_t kSize = 5;
}  // namespace directory_entry
inline constexpr uint8_t kDirectoryTableList = 1;
inline constexpr uint8_t kDirectorySessions = 2;

// Table list entries: a short string in 256 bytes, the table's ID and the
// start pages of its metadata, MostUpdated and locks files.
namespace table_list_entry {
inline constexpr size_t kName = 0;  // length byte + up to 255 characters
inline constexpr size_t kNameFieldSize = 256;
inline constexpr size_t kTableID = 256;
inline constexpr size_t kMetadataStart = 260;
inline constexpr size_t kMostUpdatedStart = 264;
inline constexpr size_t kLocksStart = 268;
inline constexpr size_t kSize = 272;
inline constexpr size_t kMaxNameLength = 255;
static_assert(kName + kNameFieldSize == kTableID && kLocksStart + 4 == kSize);
}  // namespace table_list_entry

// A table's locks file holds this many bytes per connection slot.
inline constexpr int32_t kTableLockBytesPerConnection = 12;
// The most connection slots a file can have: its locks files must stay
// within the 32-bit sizes of internal files.
inline constexpr int32_t kMaxConnectionsLimit =
    (INT32_MAX - int32_t(internal_file::kHeaderSize)) / kTableLockBytesPerConnection;

// ---- signature search -----------------------------------------------------

// The file is read in windows of this size; consecutive windows overlap so
// that a signature and the header size field after it (18 bytes) are always
// seen whole in one of them.
inline constexpr size_t kSignatureSearchWindow = 10000;
inline constexpr size_t kSignatureMatchSize = file_header::kHeaderSize + 2;
inline constexpr size_t kSignatureSearchStep = kSignatureSearchWindow - (kSignatureMatchSize - 1);

}  // namespace vz
