#include "app/flag_bitmap.h"

#include <cryptopp/base64.h>
#include <cryptopp/filters.h>

#include <cmath>
#include <stdexcept>

#include "platform/bytes.h"

namespace app {

namespace {

struct Rgb {
  uint8_t r, g, b;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGreen{0, 98, 51};
constexpr Rgb kRed{210, 16, 52};
constexpr Rgb kBlue{0, 35, 149};

// Distance of the pixel centre (x, y) from the point (cx, cy).
double distance(int x, int y, double cx, double cy) {
  return std::hypot(x + 0.5 - cx, y + 0.5 - cy);
}

// A crescent opening to the right, centred on (cx, cy).
bool inCrescent(int x, int y, double cx, double cy, double radius) {
  return distance(x, y, cx, cy) <= radius && distance(x, y, cx + radius * 0.45, cy) > radius * 0.8;
}

// Pixel (x, y), y counted from the top, of each flag.
Rgb pixel(int index, int x, int y) {
  using namespace flag_bitmap;
  const double cx = kWidth / 2.0, cy = kHeight / 2.0;
  switch (index) {
    case 0:  // green and white halves, red crescent and star
      if (inCrescent(x, y, cx, cy, 4.6) || distance(x, y, cx + 2.6, cy) <= 1.2) return kRed;
      return x < kWidth / 2 ? kGreen : kWhite;
    case 1:  // red field, white disc holding a red crescent
      if (inCrescent(x, y, cx, cy, 3.4)) return kRed;
      return distance(x, y, cx, cy) <= 5.0 ? kWhite : kRed;
    case 2:  // red field, green star outline
      return std::abs(distance(x, y, cx, cy) - 3.2) < 0.7 || (std::abs(x + 0.5 - cx) < 0.8 && std::abs(y + 0.5 - cy) < 3.0)
                 ? kGreen
                 : Rgb{193, 39, 45};
    case 3:  // red, black and green bands, white crescent
      if (y >= 4 && y < 10 && inCrescent(x, y, cx, cy, 2.8)) return kWhite;
      return y < 4 ? Rgb{231, 0, 19} : y < 10 ? kBlack : Rgb{35, 158, 70};
    case 4:  // blue, white and red thirds
      return x < 7 ? kBlue : x < 15 ? kWhite : Rgb{237, 41, 57};
    case 5:  // red, white and red, red leaf in the middle
      if (x < 6 || x >= 16) return kRed;
      return std::abs(x + 0.5 - cx) + std::abs(y + 0.5 - cy) * 0.9 <= 3.6 ? kRed : kWhite;
  }
  throw std::out_of_range("flag index");
}

}  // namespace

std::vector<uint8_t> flagBitmap(int index) {
  using namespace flag_bitmap;
  if (index < 0 || index >= kFlagCount) throw std::out_of_range("flag index");
  std::vector<uint8_t> file(kFileSize, 0);
  uint8_t* p = file.data();
  p[kSignatureOffset] = 'B';
  p[kSignatureOffset + 1] = 'M';
  platform::storeU32(p + kFileSizeOffset, uint32_t(kFileSize));
  platform::storeU32(p + kReservedOffset, 0);
  platform::storeU32(p + kPixelOffsetOffset, uint32_t(kPixelOffset));
  platform::storeU32(p + kInfoSizeOffset, uint32_t(kInfoHeaderSize));
  platform::storeI32(p + kWidthOffset, kWidth);
  platform::storeI32(p + kHeightOffset, kHeight);
  platform::storeU16(p + kPlanesOffset, 1);
  platform::storeU16(p + kBitCountOffset, kBitsPerPixel);
  platform::storeU32(p + kCompressionOffset, 0);
  platform::storeU32(p + kImageSizeOffset, uint32_t(kImageSize));
  platform::storeI32(p + kXPixelsPerMetreOffset, int32_t(kPixelsPerMetre));
  platform::storeI32(p + kYPixelsPerMetreOffset, int32_t(kPixelsPerMetre));
  platform::storeU32(p + kColoursUsedOffset, 0);
  platform::storeU32(p + kColoursImportantOffset, 0);
  for (int row = 0; row < kHeight; ++row) {
    uint8_t* out = p + kPixelOffset + size_t(row) * kRowSize;
    const int y = kHeight - 1 - row;  // bottom-up
    for (int x = 0; x < kWidth; ++x) {
      const Rgb c = pixel(index, x, y);
      out[x * 3] = c.b;
      out[x * 3 + 1] = c.g;
      out[x * 3 + 2] = c.r;
    }
  }
  return file;
}

std::string flagBase64Text(int index) {
  // Characters of the text on the script line that begins the INSERT.
  constexpr size_t kFirstLineLength = 960;
  const std::vector<uint8_t> bitmap = flagBitmap(index);
  std::string text;
  CryptoPP::StringSource source(bitmap.data(), bitmap.size(), true,
                                new CryptoPP::Base64Encoder(new CryptoPP::StringSink(text), false));
  text.insert(kFirstLineLength, "\r\n");
  return text;
}

}  // namespace app
