#include "dbengine/storage/value_encoding.h"

#include <cmath>
#include <cstring>

#include "platform/bytes.h"

namespace vz::encoding {

namespace st = storage_type;

void storeExtended(uint8_t* p, long double value) {
  uint16_t signBit = std::signbit(value) ? 0x8000 : 0;
  uint64_t significand = 0;
  uint16_t exponent = 0;
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    significand = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    significand = 0x8000000000000000ull;
  } else if (value != 0) {
    int e = 0;
    const long double m = std::frexp(std::fabs(value), &e);  // [0.5, 1)
    significand = uint64_t(std::ldexp(m, 64));
    int biased = e - 1 + 16383;
    if (biased >= 0x7FFF) {
      exponent = 0x7FFF;
      significand = 0x8000000000000000ull;
    } else if (biased <= 0) {
      const int shift = 1 - biased;
      significand = shift >= 64 ? 0 : significand >> shift;
      exponent = 0;
    } else {
      exponent = uint16_t(biased);
    }
  }
  platform::storeU64(p, significand);
  platform::storeU16(p + 8, uint16_t(signBit | exponent));
}

long double loadExtended(const uint8_t* p) {
  const uint64_t significand = platform::loadU64(p);
  const uint16_t se = platform::loadU16(p + 8);
  const bool negative = (se & 0x8000) != 0;
  const int exponent = se & 0x7FFF;
  long double v;
  if (exponent == 0x7FFF) {
    v = (significand << 1) == 0 ? HUGE_VALL : std::nanl("");
  } else {
    const int e = (exponent == 0 ? 1 : exponent) - 16383 - 63;
    v = std::ldexp(static_cast<long double>(significand), e);
  }
  return negative ? -v : v;
}

int64_t loadInteger(StorageType type, const uint8_t* p) {
  switch (type) {
    case st::ShortInt: return platform::loadI8(p);
    case st::SmallInt: return platform::loadI16(p);
    case st::Integer: return platform::loadI32(p);
    case st::LargeInt: return platform::loadI64(p);
    case st::Byte: return platform::loadU8(p);
    case st::Word: return platform::loadU16(p);
    case st::Cardinal: return platform::loadU32(p);
    default: return 0;
  }
}

void storeInteger(StorageType type, uint8_t* p, int64_t value) {
  const uint64_t u = uint64_t(value);
  switch (type) {
    case st::ShortInt:
    case st::Byte: platform::storeU8(p, uint8_t(u)); break;
    case st::SmallInt:
    case st::Word: platform::storeU16(p, uint16_t(u)); break;
    case st::Integer:
    case st::Cardinal: platform::storeU32(p, uint32_t(u)); break;
    case st::LargeInt: platform::storeU64(p, u); break;
    default: break;
  }
}

long double loadFloat(StorageType type, const uint8_t* p) {
  switch (type) {
    case st::Single: return platform::loadF32(p);
    case st::Float:
    case st::Currency: return platform::loadF64(p);
    case st::Extended: return loadExtended(p);
    default: return 0;
  }
}

void storeFloat(StorageType type, uint8_t* p, long double value) {
  switch (type) {
    case st::Single: platform::storeF32(p, static_cast<float>(value)); break;
    case st::Float:
    case st::Currency: platform::storeF64(p, static_cast<double>(value)); break;
    case st::Extended: storeExtended(p, value); break;
    default: break;
  }
}

std::string ansiText(const uint8_t* p, int32_t size) {
  if (!p || size <= 0) return {};
  const void* zero = std::memchr(p, 0, size_t(size));
  const size_t n = zero ? size_t(static_cast<const uint8_t*>(zero) - p) : size_t(size);
  return std::string(reinterpret_cast<const char*>(p), n);
}

std::u16string wideText(const uint8_t* p, int32_t size) {
  std::u16string s;
  if (!p) return s;
  for (int32_t i = 0; i + 1 < size; i += 2) {
    const char16_t c = char16_t(platform::loadU16(p + i));
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

std::vector<uint8_t> ansiTextBytes(std::string_view text) {
  std::vector<uint8_t> out(text.size() + 1, 0);
  std::memcpy(out.data(), text.data(), text.size());
  return out;
}

std::vector<uint8_t> wideUnitBytes(std::u16string_view text) {
  std::vector<uint8_t> out(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) platform::storeU16(out.data() + 2 * i, uint16_t(text[i]));
  return out;
}

std::vector<uint8_t> wideTextBytes(std::u16string_view text) {
  std::vector<uint8_t> out = wideUnitBytes(text);
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::u16string wideFromUnits(const uint8_t* p, int32_t size) {
  std::u16string s;
  if (!p) return s;
  for (int32_t i = 0; i + 1 < size; i += 2) s.push_back(char16_t(platform::loadU16(p + i)));
  return s;
}

}  // namespace vz::encoding
