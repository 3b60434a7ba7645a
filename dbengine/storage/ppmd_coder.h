// The PPM buffer format: a 4-byte little-endian header word followed by a
// PPMd variant G stream (PPM with information inheritance, range coded) whose
// end is coded as an escape from the root context.
//
// Header word = (order - 1) | ((memory MiB - 1) << 4) | (6 << 12), 6 being
// the variant letter G counted from A.
//
// The model memory is one process-wide block, kept between calls and
// allocated anew only when another size is needed; a process-wide lock
// serialises every compression and decompression.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vz::ppmd {

struct Parameters {
  int order = 2;      // 1..16
  int memoryMiB = 2;  // 1..256
};

inline constexpr uint32_t kVariantG = 6;

// Whether the streams of this coder are those other engines write and read.
// While they are not, the buffer compressor refuses the PPM algorithm in both
// directions, so that nothing is stored that other engines cannot read and
// nothing they stored is decoded wrongly. They are, up to the model memory
// running out: compress() and decompress() refuse data that takes the model
// near that point.
inline constexpr bool kStreamsInterchangeable = true;
inline constexpr size_t kHeaderSize = 4;

// The order and memory of a compression level; levels outside 1..9 are
// clamped into it.
Parameters parametersForLevel(int level);
uint32_t headerWord(const Parameters& parameters);

// Header word and stream for `length` bytes. Raises platform::Exception
// ("PPM Compression error") when nothing could be produced, also when the
// data takes the model near the end of its memory (see above).
std::vector<uint8_t> compress(const void* input, size_t length, const Parameters& parameters);

// Decodes a buffer made by compress(). Raises platform::Exception:
// "PPM DecpmpressBuf: OutSize must be set" when expectedLength is 0;
// "PPM Decompression error" when the header names another variant or an
// order or memory the coder cannot take, when the model memory cannot be
// allocated, when the stream is cut short or decodes to more than
// expectedLength bytes, when nothing was decoded, or when the model comes
// near the end of its memory.
std::vector<uint8_t> decompress(const void* input, size_t length, size_t expectedLength);

}  // namespace vz::ppmd
