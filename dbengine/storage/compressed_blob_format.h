// Stored layout of compressed BLOB values.
//
// A value whose field has a compression algorithm is stored as blocks; block
// k holds uncompressed bytes [k*B, k*B + B) (the last block the rest, at
// least 1 byte), each a 20-byte header followed by the block's compressed
// bytes. Blocks are compressed independently and follow each other without
// gaps. The caller keeps a 32-byte descriptor of the value beside it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dbengine/storage/compression.h"
#include "platform/bytes.h"

namespace vz {

// Block header, 20 bytes, all little-endian.
struct CompressedBlockHeader {
  static constexpr size_t kCompressedSizeOffset = 0;    // int32
  static constexpr size_t kUncompressedSizeOffset = 4;  // int32
  static constexpr size_t kCrcOffset = 8;               // uint32, engine CRC-32 from 0
  static constexpr size_t kBlockLengthOffset = 12;      // int64, compressed size + 20
  static constexpr size_t kSize = 20;

  int32_t compressedSize = 0;    // bytes of compressed data after the header
  int32_t uncompressedSize = 0;  // bytes the block decodes to
  uint32_t crc = 0;              // of the block's uncompressed bytes
  int64_t blockLength = 0;       // distance from this header to the next one

  static CompressedBlockHeader load(const uint8_t* p) {
    CompressedBlockHeader h;
    h.compressedSize = platform::loadI32(p + kCompressedSizeOffset);
    h.uncompressedSize = platform::loadI32(p + kUncompressedSizeOffset);
    h.crc = platform::loadU32(p + kCrcOffset);
    h.blockLength = platform::loadI64(p + kBlockLengthOffset);
    return h;
  }
  void store(uint8_t* p) const {
    platform::storeI32(p + kCompressedSizeOffset, compressedSize);
    platform::storeI32(p + kUncompressedSizeOffset, uncompressedSize);
    platform::storeU32(p + kCrcOffset, crc);
    platform::storeI64(p + kBlockLengthOffset, blockLength);
  }
};
static_assert(CompressedBlockHeader::kBlockLengthOffset + 8 == CompressedBlockHeader::kSize);

// The value's descriptor, 32 bytes, all little-endian.
struct BlobStreamDescriptor {
  static constexpr size_t kBlockSizeOffset = 0;          // uint32, 0: by level
  static constexpr size_t kBlockCountOffset = 4;         // int64
  static constexpr size_t kUncompressedSizeOffset = 12;  // int64
  static constexpr size_t kStartPositionOffset = 20;     // int64, in the underlying stream
  static constexpr size_t kAlgorithmOffset = 28;         // uint8
  static constexpr size_t kLevelOffset = 29;             // uint8
  static constexpr size_t kReservedOffset = 30;          // 2 zero bytes
  static constexpr size_t kSize = 32;

  // The default block size of a BLOB field.
  static constexpr uint32_t kDefaultBlockSize = 102400;

  uint32_t blockSize = 0;
  int64_t blockCount = 0;
  int64_t uncompressedSize = 0;
  int64_t startPosition = 0;
  CompressionAlgorithm algorithm = CompressionAlgorithm::None;
  uint8_t level = 0;

  static BlobStreamDescriptor load(const uint8_t* p) {
    BlobStreamDescriptor d;
    d.blockSize = platform::loadU32(p + kBlockSizeOffset);
    d.blockCount = platform::loadI64(p + kBlockCountOffset);
    d.uncompressedSize = platform::loadI64(p + kUncompressedSizeOffset);
    d.startPosition = platform::loadI64(p + kStartPositionOffset);
    d.algorithm = CompressionAlgorithm(p[kAlgorithmOffset]);
    d.level = p[kLevelOffset];
    return d;
  }
  void store(uint8_t* p) const {
    platform::storeU32(p + kBlockSizeOffset, blockSize);
    platform::storeI64(p + kBlockCountOffset, blockCount);
    platform::storeI64(p + kUncompressedSizeOffset, uncompressedSize);
    platform::storeI64(p + kStartPositionOffset, startPosition);
    p[kAlgorithmOffset] = uint8_t(algorithm);
    p[kLevelOffset] = level;
    p[kReservedOffset] = 0;
    p[kReservedOffset + 1] = 0;
  }
};
static_assert(BlobStreamDescriptor::kReservedOffset + 2 == BlobStreamDescriptor::kSize);

// The block size a descriptor's 0 stands for, by level: 0 -> 102,400;
// 1-3 -> 524,288; 4-6 -> 1,048,576; 7-9 (and above) -> 1,572,864.
constexpr uint32_t blockSizeForLevel(uint8_t level) {
  if (level == 0) return 102400;
  if (level <= 3) return 524288;
  if (level <= 6) return 1048576;
  return 1572864;
}

}  // namespace vz
