// Reading and writing single values in their storage encodings: integers of
// every width, the three floating-point widths (EXTENDED is the x87 80-bit
// format: a 64-bit significand with its integer bit, a 15-bit exponent biased
// by 16383 and the sign), and texts with their terminators. All numbers are
// little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/storage/data_types.h"

namespace vz::encoding {

inline constexpr int kExtendedSize = 10;

void storeExtended(uint8_t* p, long double value);
long double loadExtended(const uint8_t* p);

// An integer type's value, sign- or zero-extended as the type says. `p`
// holds fixedValueSize(type) bytes.
int64_t loadInteger(StorageType type, const uint8_t* p);
// The low bits of `value` that the integer type holds.
void storeInteger(StorageType type, uint8_t* p, int64_t value);
// SINGLE, FLOAT, EXTENDED and CURRENCY.
long double loadFloat(StorageType type, const uint8_t* p);
// Rounded to the type's precision.
void storeFloat(StorageType type, uint8_t* p, long double value);

// A text from its stored bytes: up to the first zero byte (zero unit) or the
// end of the buffer, whichever comes first.
std::string ansiText(const uint8_t* p, int32_t size);
std::u16string wideText(const uint8_t* p, int32_t size);
// A text's stored form: its bytes (UTF-16LE units) and the terminator.
std::vector<uint8_t> ansiTextBytes(std::string_view text);
std::vector<uint8_t> wideTextBytes(std::u16string_view text);
// UTF-16LE units without terminator.
std::vector<uint8_t> wideUnitBytes(std::u16string_view text);
std::u16string wideFromUnits(const uint8_t* p, int32_t size);

}  // namespace vz::encoding
