#include "recordstore/blob_compression.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/bytes.h"
#include "platform/errors.h"
#include "recordstore/algorithm_names.h"
#include "recordstore/messages.h"

namespace rec {

namespace {

constexpr int kZlibLevel = 6;
// Deflate cannot shrink data by more than about 1032 to 1; a length claiming
// more is damage, and must not make the reader allocate it.
constexpr uint64_t kMaxRatio = 1032;

[[noreturn]] void fail(std::string_view reason) {
  throw platform::EDatabaseError(msg::kDecompression, {std::string(reason)});
}

}  // namespace

bool isCompressionRegistered(std::string_view name) { return sameAlgorithmName(name, "ZLIB"); }

std::string zlibFrame(std::string_view value) {
  if (value.empty()) return {};
  uLongf bound = compressBound(uLong(value.size()));
  std::string out(4 + bound, '\0');
  int rc = compress2(reinterpret_cast<Bytef*>(out.data() + 4), &bound, reinterpret_cast<const Bytef*>(value.data()),
                     uLong(value.size()), kZlibLevel);
  auto* head = reinterpret_cast<uint8_t*>(out.data());
  if (rc == Z_OK && bound < value.size()) {
    platform::storeI32(head, int32_t(value.size()));
    out.resize(4 + bound);
  } else {
    platform::storeI32(head, -int32_t(value.size()));
    out.replace(4, std::string::npos, value);
  }
  return out;
}

std::string zlibUnframe(std::string_view stored) {
  if (stored.empty()) return {};
  if (stored.size() < 4) fail("frame shorter than its length");
  int64_t length = platform::loadI32(reinterpret_cast<const uint8_t*>(stored.data()));
  std::string_view rest = stored.substr(4);
  if (length <= 0) {
    if (uint64_t(-length) != rest.size()) fail("stored length does not match");
    return std::string(rest);
  }
  if (uint64_t(length) > rest.size() * kMaxRatio + 64) fail("stored length does not match");

  std::string out(size_t(length), '\0');
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) fail("out of memory");
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(rest.data()));
  zs.avail_in = uInt(rest.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = uInt(out.size());
  int rc = inflate(&zs, Z_FINISH);
  std::string reason = zs.msg ? zs.msg : "";
  size_t produced = out.size() - zs.avail_out;
  inflateEnd(&zs);
  if (rc != Z_STREAM_END) fail(reason.empty() ? (rc == Z_BUF_ERROR ? "stream longer than its length" : zError(rc)) : reason);
  if (produced != out.size()) fail("stream shorter than its length");
  return out;
}

}  // namespace rec
