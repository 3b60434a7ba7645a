// The block container some entries hold instead of a plain data stream: a
// 50-byte header, then blocks, each a 4-byte length and that many bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/bytes.h"

namespace archive::blockfmt {

constexpr size_t kHeaderSize = 50;
constexpr size_t kOffBlockSize = 0;      // decoded bytes of every block but the last
constexpr size_t kOffTotalSize = 8;      // decoded bytes of the whole entry
constexpr size_t kOffBlockCount = 16;    // signed; 0 or less: no block
constexpr size_t kOffAlgorithm = 20;     // 0: zlib
constexpr size_t kOffCompressed = 21;    // not 0: blocks are compressed
constexpr size_t kOffCipherId = 22;      // FFFF hex: not encrypted
constexpr size_t kOffCheckCrc = 24;      // CRC-32 of the check block
constexpr size_t kOffCheckBlock = 28;    // 16 bytes
constexpr size_t kCheckBlockSize = 16;
static_assert(kOffCheckBlock + kCheckBlockSize + 6 == kHeaderSize);

constexpr size_t kBlockLengthSize = 4;
constexpr uint8_t kAlgorithmZlib = 0;
constexpr uint16_t kNoCipher = 0xFFFF;

struct Header {
  uint32_t blockSize = 0;
  uint32_t totalSize = 0;
  int32_t blockCount = 0;
  uint8_t algorithm = 0;
  bool compressed = false;
  uint16_t cipherId = kNoCipher;
  uint32_t checkCrc = 0;
};

inline Header decodeHeader(const uint8_t* p) {
  using namespace platform;
  Header h;
  h.blockSize = loadU32(p + kOffBlockSize);
  h.totalSize = loadU32(p + kOffTotalSize);
  h.blockCount = loadI32(p + kOffBlockCount);
  h.algorithm = loadU8(p + kOffAlgorithm);
  h.compressed = loadU8(p + kOffCompressed) != 0;
  h.cipherId = loadU16(p + kOffCipherId);
  h.checkCrc = loadU32(p + kOffCheckCrc);
  return h;
}

}  // namespace archive::blockfmt
