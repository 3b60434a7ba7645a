#include "dbengine/storage/ppmd_coder.h"

#include <algorithm>
#include <array>

#include "platform/errors.h"

namespace vz::ppmd {
namespace {

constexpr std::array<Parameters, 9> kLevels = {{
    {2, 2}, {3, 3}, {4, 7}, {5, 16}, {7, 22}, {8, 25}, {10, 40}, {13, 100}, {16, 100},
}};

[[noreturn]] void compressionError() { throw platform::Exception("PPM Compression error"); }
[[noreturn]] void decompressionError() { throw platform::Exception("PPM Decompression error"); }

}  // namespace

Parameters parametersForLevel(int level) { return kLevels[size_t(std::clamp(level, 1, 9) - 1)]; }

uint32_t headerWord(const Parameters& p) {
  return uint32_t(p.order - 1) | (uint32_t(p.memoryMiB - 1) << 4) | (kVariantG << 12);
}

// The variant G model itself is not part of this build yet: both directions
// fail the way the format prescribes for a coder that produced or decoded
// nothing, so no buffer is ever written in a form other engines cannot read.
std::vector<uint8_t> compress(const void*, size_t, const Parameters&) { compressionError(); }

std::vector<uint8_t> decompress(const void*, size_t, size_t expectedLength) {
  if (expectedLength == 0) throw platform::Exception("PPM DecpmpressBuf: OutSize must be set");
  decompressionError();
}

}  // namespace vz::ppmd
