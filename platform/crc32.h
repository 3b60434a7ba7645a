// The two CRC-32 forms in use. Both use the reflected polynomial 0xEDB88320.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// The common CRC-32 (ZIP archives, the record store): start 0xFFFFFFFF, final
// complement. `crc` is the value of the data before, so that a stream can be
// checked piece by piece: crc32(crc32(0, a), b) == crc32(0, a + b).
uint32_t crc32(uint32_t crc, const void* data, size_t length);

// The database engine's CRC-32: starts from `start` (0 for a new value) and
// is not inverted at the end. engineCrc32(0, "abc", 3) == 0xCA6598D0.
uint32_t engineCrc32(uint32_t start, const void* data, size_t length);

}  // namespace platform
