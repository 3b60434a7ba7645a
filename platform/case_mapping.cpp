// Upper and lower case by the user's locale, for ANSI and UTF-16 texts: one
// character for one character, as the system maps case.
#include <unicode/uchar.h>

#include "platform/locale.h"
#include "platform/locale_data.h"

namespace platform {
namespace {

using CodePointMap = char32_t (*)(char32_t, bool);

std::u16string mapWide(std::u16string_view text, CodePointMap map) {
  const bool turkic = userLocaleData().turkicCase;
  std::u16string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const char16_t u = out[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
      const char32_t cp = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (out[i + 1] - 0xDC00);
      const char32_t mapped = map(cp, turkic);
      if (mapped >= 0x10000) {  // stays a pair: same length
        out[i] = char16_t(0xD800 + ((mapped - 0x10000) >> 10));
        out[i + 1] = char16_t(0xDC00 + ((mapped - 0x10000) & 0x3FF));
      }
      ++i;
      continue;
    }
    const char32_t mapped = map(u, turkic);
    if (mapped < 0x10000 && (mapped < 0xD800 || mapped > 0xDFFF)) out[i] = char16_t(mapped);
  }
  return out;
}

std::string mapAnsi(std::string_view text, const std::array<uint8_t, 256>& table) {
  std::string out(text);
  for (char& c : out) c = char(table[uint8_t(c)]);
  return out;
}

}  // namespace

char32_t upperCodePoint(char32_t cp, bool turkic) {
  if (turkic) {
    if (cp == U'i') return U'\u0130';
    if (cp == U'\u0131') return U'I';
  }
  return char32_t(u_toupper(UChar32(cp)));
}

char32_t lowerCodePoint(char32_t cp, bool turkic) {
  if (turkic) {
    if (cp == U'I') return U'\u0131';
    if (cp == U'\u0130') return U'i';
  }
  return char32_t(u_tolower(UChar32(cp)));
}

std::string upperAnsi(std::string_view text) { return mapAnsi(text, userLocaleData().upper); }
std::string lowerAnsi(std::string_view text) { return mapAnsi(text, userLocaleData().lower); }
std::u16string upperWide(std::u16string_view text) { return mapWide(text, upperCodePoint); }
std::u16string lowerWide(std::u16string_view text) { return mapWide(text, lowerCodePoint); }

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

}  // namespace platform
