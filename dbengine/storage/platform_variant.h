// The platform's generic variant, by the OLE Automation type codes, as a
// plain struct: the engine converts its values to and from it without any
// dependence on a system variant type.
#pragma once

#include <cstdint>
#include <string>

namespace vz {

namespace variant_code {
inline constexpr uint16_t Empty = 0;
inline constexpr uint16_t Null = 1;
inline constexpr uint16_t SmallInt = 2;    // 16-bit signed
inline constexpr uint16_t Integer = 3;     // 32-bit signed
inline constexpr uint16_t Single = 4;
inline constexpr uint16_t Double = 5;
inline constexpr uint16_t Currency = 6;    // 64-bit, units of 1/10000
inline constexpr uint16_t Date = 7;        // date-time number
inline constexpr uint16_t OleStr = 8;      // wide string
inline constexpr uint16_t Boolean = 11;
inline constexpr uint16_t ShortInt = 16;   // 8-bit signed
inline constexpr uint16_t Byte = 17;       // 8-bit unsigned
inline constexpr uint16_t Word = 18;       // 16-bit unsigned
inline constexpr uint16_t LongWord = 19;   // 32-bit unsigned
inline constexpr uint16_t Int64 = 20;
// The toolkit's own string variants use the codes 256 to 287 (ANSI text).
inline constexpr uint16_t String = 256;
inline constexpr uint16_t FirstToolkitString = 256;
inline constexpr uint16_t LastToolkitString = 287;
}  // namespace variant_code

struct PlatformVariant {
  uint16_t type = variant_code::Empty;
  // Integers of every width, currency in units of 1/10000, boolean (true is
  // any value but 0).
  int64_t integer = 0;
  // Single, double and date.
  double real = 0;
  std::string ansi;       // toolkit strings, Windows-1252
  std::u16string wide;    // wide strings

  static PlatformVariant null() {
    PlatformVariant v;
    v.type = variant_code::Null;
    return v;
  }
};

}  // namespace vz
