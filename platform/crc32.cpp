#include "platform/crc32.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace platform {

uint32_t crc32(uint32_t crc, const void* data, size_t length) {
  auto p = static_cast<const Bytef*>(data);
  uLong c = crc;
  while (length > 0) {
    size_t n = std::min<size_t>(length, std::numeric_limits<uInt>::max());
    c = ::crc32(c, p, uInt(n));
    p += n;
    length -= n;
  }
  return uint32_t(c);
}

// zlib's crc32(c, ...) complements before and after the update; complementing
// the start and the result undoes both.
uint32_t engineCrc32(uint32_t start, const void* data, size_t length) {
  return ~crc32(~start, data, length);
}

}  // namespace platform
