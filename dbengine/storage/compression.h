// Whole-buffer compression of stored bytes: compressed internal files and the
// blocks of compressed BLOB values.
//
// Algorithm codes are stored as one byte wherever they appear in a file:
//   0 "NONE"  no compression
//   1 "ZLIB"  a zlib stream (deflate, window bits 15, memory level 8)
//   2 "BZIP"  a bzip2 stream, block size level x 100,000
//   3 "PPM"   a 4-byte header word and a PPMd variant G stream
// Levels run from 0 to 9.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vz {

enum class CompressionAlgorithm : uint8_t {
  None = 0,
  Zlib = 1,
  Bzip = 2,
  Ppm = 3,
};

inline constexpr uint8_t kMaxCompressionLevel = 9;

// The algorithm whose name equals `name` upper-cased ("zlib", "Zlib" and
// "ZLIB" are all Zlib); any other text gives None.
CompressionAlgorithm algorithmByName(std::string_view name);
// "NONE", "ZLIB", "BZIP", "PPM"; "" for a code that names no algorithm.
std::string_view algorithmName(CompressionAlgorithm algorithm);

// Compresses `length` bytes into `output` (replaced; cut to the produced
// length). Answers false, with `output` emptied, for algorithm None, for an
// empty input, for a code that names no algorithm, for bzip2 at level 0, and
// whenever the compressor fails or produces nothing. Never raises for bad
// arguments or library failures.
bool compressBuffer(CompressionAlgorithm algorithm, uint8_t level, const void* input, size_t length,
                    std::vector<uint8_t>& output);

// Decompresses a complete stream of `algorithm` into `output`. For zlib and
// bzip2 `expectedLength` is only the first size of the output buffer (0: a
// size derived from the input); PPM requires it (0 fails) and fails when the
// stream holds more bytes than that. Answers false, with `output` emptied,
// when the input is not a complete valid stream of the algorithm.
bool decompressBuffer(CompressionAlgorithm algorithm, const void* input, size_t length,
                      size_t expectedLength, std::vector<uint8_t>& output);

// The text of the last zlib failure in this thread (for example
// "InflateInit_ error: -2"), kept until the next zlib failure; "" when there
// was none. Readers of compressed internal files put it into their messages.
std::string lastCompressionError();

}  // namespace vz
