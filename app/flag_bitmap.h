// The small Windows bitmap files of the six country flags that the 3.7
// parameters migration stores in the Region table: 22 x 14 pixels, 24 bits
// per pixel, uncompressed, rows bottom-up and padded to four bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

namespace flag_bitmap {

constexpr int kWidth = 22;
constexpr int kHeight = 14;
constexpr int kBitsPerPixel = 24;
constexpr uint32_t kPixelsPerMetre = 2835;

// File header.
constexpr size_t kSignatureOffset = 0;   // "BM"
constexpr size_t kFileSizeOffset = 2;    // u32
constexpr size_t kReservedOffset = 6;    // u32, zero
constexpr size_t kPixelOffsetOffset = 10;  // u32
constexpr size_t kFileHeaderSize = 14;

// Information header, following the file header.
constexpr size_t kInfoSizeOffset = 14;         // u32
constexpr size_t kWidthOffset = 18;            // i32
constexpr size_t kHeightOffset = 22;           // i32, positive: bottom-up
constexpr size_t kPlanesOffset = 26;           // u16
constexpr size_t kBitCountOffset = 28;         // u16
constexpr size_t kCompressionOffset = 30;      // u32, 0: none
constexpr size_t kImageSizeOffset = 34;        // u32
constexpr size_t kXPixelsPerMetreOffset = 38;  // i32
constexpr size_t kYPixelsPerMetreOffset = 42;  // i32
constexpr size_t kColoursUsedOffset = 46;      // u32
constexpr size_t kColoursImportantOffset = 50; // u32
constexpr size_t kInfoHeaderSize = 40;

constexpr size_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr size_t kRowSize = (kWidth * 3 + 3) / 4 * 4;
constexpr size_t kImageSize = kRowSize * kHeight;
constexpr size_t kFileSize = kPixelOffset + kImageSize;

static_assert(kInfoSizeOffset == kFileHeaderSize);
static_assert(kColoursImportantOffset + 4 == kPixelOffset);
static_assert(kRowSize == 68);
static_assert(kFileSize == 1006);

}  // namespace flag_bitmap

// The countries of the Region rows, in row order (ID 1 to 6).
constexpr int kFlagCount = 6;

// The bitmap file of flag `index` (0 to 5), 1006 bytes.
std::vector<uint8_t> flagBitmap(int index);

// Its base64 text as the migration script writes it: 1344 characters,
// broken once by CR LF after its first stored line.
std::string flagBase64Text(int index);

}  // namespace app
