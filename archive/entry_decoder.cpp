// Decoding one entry's data into its output file: the local header, the
// password check and decryption, the stream decoder for stored and deflated
// data and the block container decoder, then the size and CRC checks.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "archive/base_archiver.h"
#include "archive/block_container_format.h"
#include "archive/entry_decode_state.h"
#include "archive/inflater.h"
#include "archive/traditional_cipher.h"
#include "platform/bytes.h"
#include "platform/file.h"
#include "platform/system.h"

namespace archive {
namespace {

using namespace zipfmt;

constexpr uint64_t kChunkSize = 1048576;
constexpr uint64_t kMinChunkForHalving = 512;
// The output buffer follows the estimate below but never exceeds this; a
// full buffer is written out and reused.
constexpr uint64_t kMaxOutputBuffer = 4 * 1048576;
constexpr uint64_t kMinOutputBuffer = 64 * 1024;

// The output a chunk of n bytes may inflate to: 2 to the rounded base-2
// logarithm of (n + n/2 + 267) * (U div C + 1), low 8 bits cleared.
uint64_t estimatedOutput(uint64_t n, uint32_t uncompressed, uint32_t compressed) {
  const double x = double(n + n / 2 + 267) * double(uint64_t(uncompressed) / std::max<uint32_t>(compressed, 1) + 1);
  const long e = std::lround(std::log2(x));
  const uint64_t v = e >= 63 ? (uint64_t(1) << 63) : (uint64_t(1) << e);
  return v & ~uint64_t(0xFF);
}

}  // namespace

bool TZABaseArchiver::reportProgress(DecodeState& state, uint64_t consumed, uint64_t total) {
  const double part = total ? double(consumed) / double(total) : 0.0;
  DoFileProgress(state.fileName, part * 100.0, poExtract, ppProcess, cancel_);
  const double selected = selectedCount_ ? double(selectedCount_) : 1.0;
  DoOverallProgress((part + double(processedCount_)) / selected * 100.0, poExtract, ppProcess, cancel_);
  return !cancel_;
}

void TZABaseArchiver::decodeEntry(size_t index, platform::File& out, DecodeState& state) {
  if (index >= dir_->count()) throw error(za::kEntryIndexOutOfBounds);
  const TDirItem item = dir_->items()[index];
  const uint64_t fileSize = stream_->size();

  // The local header only gives the lengths of the name and extra field in
  // front of the data.
  bool readable = false;
  uint64_t dataStart = 0, compressed = 0;
  const uint64_t headerAt = item.localHeaderOffset();
  uint8_t local[kLocalSize];
  if (platform::rangeFits(headerAt, kLocalSize, fileSize) && stream_->readFully(headerAt, local, kLocalSize)) {
    const LocalHeader lh = decodeLocalHeader(local);
    dataStart = headerAt + kLocalSize + lh.nameLength + lh.extraLength;
    compressed = item.compressedSize();
    const uint64_t dirStart = dir_->centralDirStart();
    if (!platform::rangeFits(dataStart, compressed, dirStart)) compressed = dataStart < dirStart ? dirStart - dataStart : 0;
    readable = true;
  }

  skipFile_ = false;
  const uint16_t method = item.header.method;
  if (method == kMethodDeflate64) throw makeError(za::kDeflate64Unsupported);

  const uint64_t expectedSize = item.uncompressedSize();
  OutputSink sink(out, extractCorruptedFiles_ ? std::numeric_limits<uint64_t>::max() : expectedSize);
  bool decoded = false;
  if (readable) {
    if (method == kMethodStored || method == kMethodDeflate)
      decoded = decodeStream(item, dataStart, compressed, sink, state);
    else if (item.header.versionNeeded > 10)
      decoded = decodeBlocks(item, dataStart, compressed, sink, state);
  }
  if (skipFile_ || cancel_) return;
  const bool good = decoded && sink.written() == expectedSize && sink.crc() == item.header.crc;
  if (!good && !extractCorruptedFiles_) throw error(za::kBadSizeOrChecksum);
}

bool TZABaseArchiver::decodeStream(const TDirItem& item, uint64_t dataStart, uint64_t compressed, OutputSink& sink,
                                   DecodeState& state) {
  const uint64_t available = platform::availablePhysicalMemory();
  uint64_t pos = dataStart;

  std::optional<TraditionalCipher> cipher;
  if (item.header.flags & kFlagEncrypted) {
    if (compressed < TraditionalCipher::kHeaderSize) return false;
    compressed -= TraditionalCipher::kHeaderSize;
    const uint8_t expected = (item.header.flags & kFlagDataDescriptor) ? uint8_t(item.header.time >> 8)
                                                                       : uint8_t(item.header.crc >> 24);
    for (;;) {
      uint8_t header[TraditionalCipher::kHeaderSize];
      if (!stream_->readFully(pos, header, sizeof header)) return false;
      cipher.emplace(password_);
      if (cipher->decryptHeader(header) == expected) break;
      std::string newPassword = password_;
      bool skip = false;
      DoPassword(item.name, newPassword, skip);
      password_ = newPassword;
      if (skip) {
        skipFile_ = true;
        return true;
      }
    }
    pos += TraditionalCipher::kHeaderSize;
  }

  const bool deflated = item.header.method == kMethodDeflate;
  std::optional<Inflater> inflater;
  if (deflated) inflater.emplace();
  // Two bytes of headroom for the zlib header in front of the first chunk,
  // so that the wrapped decoder accepts the raw data.
  std::vector<uint8_t> input(2 + size_t(std::min(kChunkSize, compressed)));
  bool first = true;

  uint64_t consumed = 0;
  while (consumed < compressed) {
    if (!reportProgress(state, consumed, compressed)) return true;
    uint64_t n = std::min(kChunkSize, compressed - consumed);
    while (n >= kMinChunkForHalving && available &&
           estimatedOutput(n, item.header.uncompressedSize, item.header.compressedSize) >= available / 20)
      n /= 2;
    uint8_t* data = input.data() + 2;
    if (!stream_->readFully(pos + consumed, data, size_t(n))) return false;
    if (cipher) cipher->decrypt(data, size_t(n));
    if (deflated) {
      const size_t bufferSize = size_t(std::clamp(
          estimatedOutput(n, item.header.uncompressedSize, item.header.compressedSize), kMinOutputBuffer,
          kMaxOutputBuffer));
      bool ok;
      if (first) {
        input[0] = 0x78;
        input[1] = 0x01;
        ok = inflater->feed(input.data(), size_t(n) + 2, sink, bufferSize);
      } else {
        ok = inflater->feed(data, size_t(n), sink, bufferSize);
      }
      if (!ok) return false;
    } else if (!sink.put(data, size_t(n))) {
      return false;
    }
    first = false;
    consumed += n;
  }
  return true;
}

bool TZABaseArchiver::decodeBlocks(const TDirItem& item, uint64_t dataStart, uint64_t compressed, OutputSink& sink,
                                   DecodeState& state) {
  const uint64_t end = dataStart + compressed;
  uint8_t raw[blockfmt::kHeaderSize];
  if (compressed < blockfmt::kHeaderSize || !stream_->readFully(dataStart, raw, sizeof raw)) return false;
  const blockfmt::Header header = blockfmt::decodeHeader(raw);
  // Encrypted containers cannot be opened here.
  if (header.cipherId != blockfmt::kNoCipher) return false;
  const uint64_t total =
      item.header.uncompressedSize != kAllOnes32 ? uint64_t(header.totalSize) : item.uncompressedSize();
  const uint64_t overallLimit = sink.limit();

  std::vector<uint8_t> input;
  uint64_t pos = dataStart + blockfmt::kHeaderSize;
  for (int32_t b = 0; b < header.blockCount; ++b) {
    if (!reportProgress(state, pos - dataStart, compressed)) return true;
    uint8_t lengthBytes[blockfmt::kBlockLengthSize];
    if (!platform::rangeFits(pos, sizeof lengthBytes, end) || !stream_->readFully(pos, lengthBytes, sizeof lengthBytes))
      return false;
    pos += sizeof lengthBytes;
    const uint64_t length = platform::loadU32(lengthBytes);
    if (!platform::rangeFits(pos, length, end)) return false;

    const bool last = b == header.blockCount - 1;
    const uint64_t before = sink.written();
    if (last && total < before) return false;
    const uint64_t expected = last ? total - before : header.blockSize;
    sink.setLimit(std::min(overallLimit, before + expected));

    std::optional<Inflater> inflater;
    if (header.compressed) {
      if (header.algorithm != blockfmt::kAlgorithmZlib) return false;
      inflater.emplace();
    }
    for (uint64_t done = 0; done < length;) {
      const size_t n = size_t(std::min(kChunkSize, length - done));
      input.resize(n);
      if (!stream_->readFully(pos + done, input.data(), n)) return false;
      const bool ok = inflater ? inflater->feed(input.data(), n, sink, size_t(kMinOutputBuffer))
                               : sink.put(input.data(), n);
      if (!ok) return false;
      done += n;
    }
    if (inflater && !inflater->finished()) return false;
    if (sink.written() - before != expected) return false;
    pos += length;
  }
  sink.setLimit(overallLimit);
  return true;
}

}  // namespace archive
