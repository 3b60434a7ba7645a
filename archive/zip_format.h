// The ZIP records the reader meets on disk: end of central directory record,
// Zip64 locator and end record, central and local file headers, data
// descriptor and the extra field's Zip64 block. Offsets and sizes sit next to
// each other; every record is decoded from a buffer of exactly its size with
// the little-endian helpers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/bytes.h"

namespace archive::zipfmt {

constexpr uint32_t kAllOnes32 = 0xFFFFFFFFu;
constexpr uint16_t kAllOnes16 = 0xFFFFu;

// General purpose flags.
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;

// Compression methods.
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflate = 8;
constexpr uint16_t kMethodDeflate64 = 9;

// External attributes: Windows attribute bits in the low byte.
constexpr uint32_t kAttrFolder = 0x10;
constexpr uint32_t kAttrArchive = 0x20;

// ---- End of central directory record: 22 bytes, then the comment.
constexpr uint32_t kEndSignature = 0x06054B50;
constexpr size_t kEndSize = 22;
constexpr size_t kEndOffSignature = 0;
constexpr size_t kEndOffThisDisk = 4;
constexpr size_t kEndOffDirDisk = 6;
constexpr size_t kEndOffEntriesOnDisk = 8;
constexpr size_t kEndOffTotalEntries = 10;
constexpr size_t kEndOffDirSize = 12;
constexpr size_t kEndOffDirOffset = 16;
constexpr size_t kEndOffCommentLength = 20;
static_assert(kEndOffCommentLength + 2 == kEndSize);
// The search reads at most this many bytes from the end of the file.
constexpr size_t kEndSearchSpan = 65600;
static_assert(kEndSearchSpan >= kEndSize + 0xFFFF);

struct EndRecord {
  uint32_t signature = kEndSignature;
  uint16_t thisDisk = 0;
  uint16_t dirDisk = 0;
  uint16_t entriesOnDisk = 0;
  uint16_t totalEntries = 0;
  uint32_t dirSize = 0;
  uint32_t dirOffset = 0;
  uint16_t commentLength = 0;
};

inline EndRecord decodeEndRecord(const uint8_t* p) {
  using namespace platform;
  EndRecord r;
  r.signature = loadU32(p + kEndOffSignature);
  r.thisDisk = loadU16(p + kEndOffThisDisk);
  r.dirDisk = loadU16(p + kEndOffDirDisk);
  r.entriesOnDisk = loadU16(p + kEndOffEntriesOnDisk);
  r.totalEntries = loadU16(p + kEndOffTotalEntries);
  r.dirSize = loadU32(p + kEndOffDirSize);
  r.dirOffset = loadU32(p + kEndOffDirOffset);
  r.commentLength = loadU16(p + kEndOffCommentLength);
  return r;
}

inline void encodeEndRecord(const EndRecord& r, uint8_t* p) {
  using namespace platform;
  storeU32(p + kEndOffSignature, r.signature);
  storeU16(p + kEndOffThisDisk, r.thisDisk);
  storeU16(p + kEndOffDirDisk, r.dirDisk);
  storeU16(p + kEndOffEntriesOnDisk, r.entriesOnDisk);
  storeU16(p + kEndOffTotalEntries, r.totalEntries);
  storeU32(p + kEndOffDirSize, r.dirSize);
  storeU32(p + kEndOffDirOffset, r.dirOffset);
  storeU16(p + kEndOffCommentLength, r.commentLength);
}

// ---- Zip64 end of central directory locator: 20 bytes, directly in front
// of the end record.
constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kLocOffSignature = 0;
constexpr size_t kLocOffRecordDisk = 4;
constexpr size_t kLocOffRecordOffset = 8;
constexpr size_t kLocOffTotalDisks = 16;
static_assert(kLocOffTotalDisks + 4 == kZip64LocatorSize);

struct Zip64Locator {
  uint32_t signature = 0;
  uint32_t recordDisk = 0;
  uint64_t recordOffset = 0;
  uint32_t totalDisks = 0;
};

inline Zip64Locator decodeZip64Locator(const uint8_t* p) {
  using namespace platform;
  Zip64Locator l;
  l.signature = loadU32(p + kLocOffSignature);
  l.recordDisk = loadU32(p + kLocOffRecordDisk);
  l.recordOffset = loadU64(p + kLocOffRecordOffset);
  l.totalDisks = loadU32(p + kLocOffTotalDisks);
  return l;
}

// ---- Zip64 end of central directory record: 56 bytes.
constexpr uint32_t kZip64EndSignature = 0x06064B50;
constexpr size_t kZip64EndSize = 56;
constexpr size_t kZ64OffSignature = 0;
constexpr size_t kZ64OffRecordSize = 4;
constexpr size_t kZ64OffVersionMadeBy = 12;
constexpr size_t kZ64OffVersionNeeded = 14;
constexpr size_t kZ64OffThisDisk = 16;
constexpr size_t kZ64OffDirDisk = 20;
constexpr size_t kZ64OffEntriesOnDisk = 24;
constexpr size_t kZ64OffTotalEntries = 32;
constexpr size_t kZ64OffDirSize = 40;
constexpr size_t kZ64OffDirOffset = 48;
static_assert(kZ64OffDirOffset + 8 == kZip64EndSize);

struct Zip64EndRecord {
  uint32_t signature = 0;
  uint64_t recordSize = 0;
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint32_t thisDisk = 0;
  uint32_t dirDisk = 0;
  uint64_t entriesOnDisk = 0;
  uint64_t totalEntries = 0;
  uint64_t dirSize = 0;
  uint64_t dirOffset = 0;
};

inline Zip64EndRecord decodeZip64EndRecord(const uint8_t* p) {
  using namespace platform;
  Zip64EndRecord r;
  r.signature = loadU32(p + kZ64OffSignature);
  r.recordSize = loadU64(p + kZ64OffRecordSize);
  r.versionMadeBy = loadU16(p + kZ64OffVersionMadeBy);
  r.versionNeeded = loadU16(p + kZ64OffVersionNeeded);
  r.thisDisk = loadU32(p + kZ64OffThisDisk);
  r.dirDisk = loadU32(p + kZ64OffDirDisk);
  r.entriesOnDisk = loadU64(p + kZ64OffEntriesOnDisk);
  r.totalEntries = loadU64(p + kZ64OffTotalEntries);
  r.dirSize = loadU64(p + kZ64OffDirSize);
  r.dirOffset = loadU64(p + kZ64OffDirOffset);
  return r;
}

// ---- Central directory file header: 46 bytes, then name, extra field and
// comment.
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr size_t kCentralSize = 46;
constexpr size_t kCenOffSignature = 0;
constexpr size_t kCenOffVersionMadeBy = 4;
constexpr size_t kCenOffVersionNeeded = 6;
constexpr size_t kCenOffFlags = 8;
constexpr size_t kCenOffMethod = 10;
constexpr size_t kCenOffTime = 12;
constexpr size_t kCenOffDate = 14;
constexpr size_t kCenOffCrc = 16;
constexpr size_t kCenOffCompressedSize = 20;
constexpr size_t kCenOffUncompressedSize = 24;
constexpr size_t kCenOffNameLength = 28;
constexpr size_t kCenOffExtraLength = 30;
constexpr size_t kCenOffCommentLength = 32;
constexpr size_t kCenOffDiskStart = 34;
constexpr size_t kCenOffInternalAttr = 36;
constexpr size_t kCenOffExternalAttr = 38;
constexpr size_t kCenOffLocalOffset = 42;
static_assert(kCenOffLocalOffset + 4 == kCentralSize);

struct CentralHeader {
  uint32_t signature = kCentralSignature;
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t time = 0;
  uint16_t date = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
  uint16_t commentLength = 0;
  uint16_t diskStart = 0;
  uint16_t internalAttr = 0;
  uint32_t externalAttr = 0;
  uint32_t localOffset = 0;
};

inline CentralHeader decodeCentralHeader(const uint8_t* p) {
  using namespace platform;
  CentralHeader h;
  h.signature = loadU32(p + kCenOffSignature);
  h.versionMadeBy = loadU16(p + kCenOffVersionMadeBy);
  h.versionNeeded = loadU16(p + kCenOffVersionNeeded);
  h.flags = loadU16(p + kCenOffFlags);
  h.method = loadU16(p + kCenOffMethod);
  h.time = loadU16(p + kCenOffTime);
  h.date = loadU16(p + kCenOffDate);
  h.crc = loadU32(p + kCenOffCrc);
  h.compressedSize = loadU32(p + kCenOffCompressedSize);
  h.uncompressedSize = loadU32(p + kCenOffUncompressedSize);
  h.nameLength = loadU16(p + kCenOffNameLength);
  h.extraLength = loadU16(p + kCenOffExtraLength);
  h.commentLength = loadU16(p + kCenOffCommentLength);
  h.diskStart = loadU16(p + kCenOffDiskStart);
  h.internalAttr = loadU16(p + kCenOffInternalAttr);
  h.externalAttr = loadU32(p + kCenOffExternalAttr);
  h.localOffset = loadU32(p + kCenOffLocalOffset);
  return h;
}

// ---- Local file header: 30 bytes, then name and extra field.
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr size_t kLocalSize = 30;
constexpr size_t kLocOffSig = 0;
constexpr size_t kLocOffVersionNeeded = 4;
constexpr size_t kLocOffFlags = 6;
constexpr size_t kLocOffMethod = 8;
constexpr size_t kLocOffTime = 10;
constexpr size_t kLocOffDate = 12;
constexpr size_t kLocOffCrc = 14;
constexpr size_t kLocOffCompressedSize = 18;
constexpr size_t kLocOffUncompressedSize = 22;
constexpr size_t kLocOffNameLength = 26;
constexpr size_t kLocOffExtraLength = 28;
static_assert(kLocOffExtraLength + 2 == kLocalSize);

struct LocalHeader {
  uint32_t signature = kLocalSignature;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t time = 0;
  uint16_t date = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
};

inline LocalHeader decodeLocalHeader(const uint8_t* p) {
  using namespace platform;
  LocalHeader h;
  h.signature = loadU32(p + kLocOffSig);
  h.versionNeeded = loadU16(p + kLocOffVersionNeeded);
  h.flags = loadU16(p + kLocOffFlags);
  h.method = loadU16(p + kLocOffMethod);
  h.time = loadU16(p + kLocOffTime);
  h.date = loadU16(p + kLocOffDate);
  h.crc = loadU32(p + kLocOffCrc);
  h.compressedSize = loadU32(p + kLocOffCompressedSize);
  h.uncompressedSize = loadU32(p + kLocOffUncompressedSize);
  h.nameLength = loadU16(p + kLocOffNameLength);
  h.extraLength = loadU16(p + kLocOffExtraLength);
  return h;
}

// ---- Data descriptor (with its signature): 16 bytes.
constexpr uint32_t kDescriptorSignature = 0x08074B50;
constexpr size_t kDescriptorSize = 16;
constexpr size_t kDesOffSignature = 0;
constexpr size_t kDesOffCrc = 4;
constexpr size_t kDesOffCompressedSize = 8;
constexpr size_t kDesOffUncompressedSize = 12;
static_assert(kDesOffUncompressedSize + 4 == kDescriptorSize);

struct DataDescriptor {
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
};

inline DataDescriptor decodeDataDescriptor(const uint8_t* p) {
  using namespace platform;
  return DataDescriptor{loadU32(p + kDesOffCrc), loadU32(p + kDesOffCompressedSize),
                        loadU32(p + kDesOffUncompressedSize)};
}

// ---- Extra field: blocks of a 2-byte tag, a 2-byte size and the data.
constexpr size_t kExtraBlockHeaderSize = 4;
constexpr uint16_t kExtraTagZip64 = 0x0001;

// Signatures as they appear in the file, for byte searches.
constexpr uint8_t kLocalSignatureBytes[4] = {0x50, 0x4B, 0x03, 0x04};
constexpr uint8_t kEndSignatureBytes[4] = {0x50, 0x4B, 0x05, 0x06};
constexpr uint8_t kDescriptorSignatureBytes[4] = {0x50, 0x4B, 0x07, 0x08};

}  // namespace archive::zipfmt
