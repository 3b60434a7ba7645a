#include "dbengine/storage/compression.h"

#include <bzlib.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

#include "dbengine/storage/ppmd_coder.h"
#include "platform/errors.h"

namespace vz {
namespace {

constexpr std::array<std::string_view, 4> kNames = {"NONE", "ZLIB", "BZIP", "PPM"};

thread_local std::string lastError;

// zlib and bzip2 take 32-bit lengths; a block is never near that.
constexpr size_t kMaxLength = size_t(std::numeric_limits<int32_t>::max());

size_t roundUp256(size_t n) { return (n + 255) & ~size_t(255); }

bool zlibCompress(uint8_t level, const uint8_t* input, size_t length, std::vector<uint8_t>& output) {
  z_stream z{};
  int rc = deflateInit2(&z, level, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) {
    lastError = "DeflateInit2_ error: " + std::to_string(rc);
    return false;
  }
  output.resize((length + length / 10 + 267) & ~size_t(0xFF));
  z.next_in = const_cast<Bytef*>(input);
  z.avail_in = uInt(length);
  z.next_out = output.data();
  z.avail_out = uInt(output.size());
  while ((rc = deflate(&z, Z_FINISH)) != Z_STREAM_END) {
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      lastError = "Deflate error: " + std::to_string(rc);
      deflateEnd(&z);
      return false;
    }
    const size_t used = z.total_out;
    output.resize(output.size() + 256);
    z.next_out = output.data() + used;
    z.avail_out = uInt(output.size() - used);
  }
  output.resize(z.total_out);
  deflateEnd(&z);
  return true;
}

bool zlibDecompress(const uint8_t* input, size_t length, size_t expected, std::vector<uint8_t>& output) {
  z_stream z{};
  z.next_in = const_cast<Bytef*>(input);
  z.avail_in = uInt(length);
  int rc = inflateInit(&z);
  if (rc != Z_OK) {
    lastError = "InflateInit_ error: " + std::to_string(rc);
    return false;
  }
  const size_t step = std::max<size_t>(roundUp256(length), 256);
  // Deflate never packs more than 1032 bytes into one, so a larger expected
  // length from a damaged header need not be allocated up front.
  const size_t bound = length * 1032 + 1024;
  output.resize(expected > 0 ? std::min(expected, bound) : step);
  z.next_out = output.data();
  z.avail_out = uInt(output.size());
  while ((rc = inflate(&z, Z_FINISH)) != Z_STREAM_END) {
    const bool full = z.avail_out == 0;
    if ((rc != Z_OK && rc != Z_BUF_ERROR) || !full || output.size() >= kMaxLength) {
      lastError = "Inflate error: " + std::to_string(rc == Z_BUF_ERROR && !full ? Z_DATA_ERROR : rc);
      inflateEnd(&z);
      return false;
    }
    const size_t used = z.total_out;
    output.resize(std::min(kMaxLength, output.size() + std::max(step, output.size() / 2)));
    z.next_out = output.data() + used;
    z.avail_out = uInt(output.size() - used);
  }
  output.resize(z.total_out);
  inflateEnd(&z);
  return true;
}

bool bzipCompress(uint8_t level, const uint8_t* input, size_t length, std::vector<uint8_t>& output) {
  if (level < 1 || level > 9) return false;
  unsigned capacity = unsigned(double(length) * 1.01 + 600);
  output.resize(capacity);
  int rc = BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(output.data()), &capacity,
                                    const_cast<char*>(reinterpret_cast<const char*>(input)), unsigned(length),
                                    level, 0, 0);
  if (rc != BZ_OK) return false;
  output.resize(capacity);
  return true;
}

bool bzipDecompress(const uint8_t* input, size_t length, size_t expected, std::vector<uint8_t>& output) {
  bz_stream s{};
  if (BZ2_bzDecompressInit(&s, 0, 0) != BZ_OK) return false;
  const size_t step = std::max<size_t>((length * 10 + 65535) & ~size_t(0xFFFF), 65536);
  output.resize(expected > 0 ? std::min(expected, std::max(step, size_t(16) << 20)) : step);
  s.next_in = const_cast<char*>(reinterpret_cast<const char*>(input));
  s.avail_in = unsigned(length);
  size_t used = 0;
  int rc;
  for (;;) {
    s.next_out = reinterpret_cast<char*>(output.data() + used);
    s.avail_out = unsigned(output.size() - used);
    rc = BZ2_bzDecompress(&s);
    used = output.size() - s.avail_out;
    if (rc == BZ_STREAM_END) break;
    if (rc != BZ_OK) break;
    if (s.avail_out != 0) {  // input ended before the stream did
      rc = BZ_UNEXPECTED_EOF;
      break;
    }
    if (output.size() >= kMaxLength) {
      rc = BZ_OUTBUFF_FULL;
      break;
    }
    output.resize(std::min(kMaxLength, output.size() + std::max(step, output.size() / 2)));
  }
  BZ2_bzDecompressEnd(&s);
  if (rc != BZ_STREAM_END) return false;
  output.resize(used);
  return true;
}

}  // namespace

CompressionAlgorithm algorithmByName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < kNames.size(); ++i)
    if (upper == kNames[i]) return CompressionAlgorithm(i);
  return CompressionAlgorithm::None;
}

std::string_view algorithmName(CompressionAlgorithm algorithm) {
  const auto code = size_t(algorithm);
  return code < kNames.size() ? kNames[code] : std::string_view();
}

// Runs one coder; its failures (the PPM coder's exceptions, memory) become a
// false answer with an empty output.
template <class Coder>
static bool guarded(std::vector<uint8_t>& output, Coder coder) {
  bool ok = false;
  try {
    ok = coder();
  } catch (const platform::Exception&) {
  } catch (const std::bad_alloc&) {
  }
  if (!ok) output.clear();
  return ok;
}

bool compressBuffer(CompressionAlgorithm algorithm, uint8_t level, const void* input, size_t length,
                    std::vector<uint8_t>& output) {
  output.clear();
  if (length == 0 || length > kMaxLength) return false;
  const auto* in = static_cast<const uint8_t*>(input);
  return guarded(output, [&] {
    switch (algorithm) {
      case CompressionAlgorithm::Zlib: return zlibCompress(level, in, length, output) && !output.empty();
      case CompressionAlgorithm::Bzip: return bzipCompress(level, in, length, output) && !output.empty();
      case CompressionAlgorithm::Ppm:
        if (!ppmd::kStreamsInterchangeable) return false;
        output = ppmd::compress(in, length, ppmd::parametersForLevel(level));
        return !output.empty();
      default: return false;  // None, or a code that names no algorithm
    }
  });
}

bool decompressBuffer(CompressionAlgorithm algorithm, const void* input, size_t length, size_t expectedLength,
                      std::vector<uint8_t>& output) {
  output.clear();
  if (length > kMaxLength) return false;
  const auto* in = static_cast<const uint8_t*>(input);
  return guarded(output, [&] {
    switch (algorithm) {
      case CompressionAlgorithm::Zlib: return zlibDecompress(in, length, expectedLength, output);
      case CompressionAlgorithm::Bzip: return bzipDecompress(in, length, expectedLength, output);
      case CompressionAlgorithm::Ppm:
        if (!ppmd::kStreamsInterchangeable) return false;
        output = ppmd::decompress(in, length, expectedLength);
        return true;
      default: return false;
    }
  });
}

std::string lastCompressionError() { return lastError; }

}  // namespace vz
