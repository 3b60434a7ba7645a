// The ANSI (Windows-1252) and OEM (850) code pages, UTF-16 and UTF-8.
#include <array>

#include "platform/locale.h"
#include "platform/windows_1252.h"

namespace platform {
namespace {

// Bytes 80..9F of Windows-1252; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kAnsi80{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

// Bytes 80..FF of code page 850; below 80 it is ASCII.
constexpr std::array<char16_t, 128> kOem80{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

constexpr char kNoPlace = '?';

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes one UTF-8 sequence at `i` and moves past it. A malformed sequence
// gives kInvalid and is passed over as far as it looked valid (its maximal
// valid beginning, or one byte), so that one fault costs one character.
char32_t nextUtf8(std::string_view s, size_t& i) {
  const auto b0 = uint8_t(s[i++]);
  if (b0 < 0x80) return b0;
  int extra;
  char32_t cp;
  char32_t lowest2nd = 0x80, highest2nd = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    extra = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) lowest2nd = 0xA0;       // no overlong forms
    else if (b0 == 0xED) highest2nd = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    extra = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) lowest2nd = 0x90;
    else if (b0 == 0xF4) highest2nd = 0x8F;  // nothing above U+10FFFF
  } else {
    return kInvalid;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size()) return kInvalid;
    const auto b = uint8_t(s[i]);
    const char32_t lo = k == 0 ? lowest2nd : 0x80, hi = k == 0 ? highest2nd : 0xBF;
    if (b < lo || b > hi) return kInvalid;
    cp = (cp << 6) | (b & 0x3F);
    ++i;
  }
  return cp;
}

// The reverse of the Windows-1252 page for code points 0x100 and above.
struct AnsiReverse {
  std::array<std::pair<char16_t, uint8_t>, 32> entries{};
  constexpr AnsiReverse() {
    for (size_t k = 0; k < 32; ++k) entries[k] = {kAnsi80[k], uint8_t(0x80 + k)};
  }
};
constexpr AnsiReverse kAnsiReverse;

}  // namespace

char16_t ansiCharToWide(uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kAnsi80[byte - 0x80] : char16_t(byte);
}

int wideCharToAnsi(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) return int(cp);
  for (const auto& [wide, byte] : kAnsiReverse.entries)
    if (wide == cp) return byte;
  return -1;
}

std::u16string ansiToWide(std::string_view ansi) {
  std::u16string out(ansi.size(), u'\0');
  for (size_t i = 0; i < ansi.size(); ++i) out[i] = ansiCharToWide(uint8_t(ansi[i]));
  return out;
}

std::string wideToAnsi(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    const char16_t u = wide[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      ++i;  // a character beyond the BMP has no place in the code page
      out += kNoPlace;
      continue;
    }
    const int b = wideCharToAnsi(u);
    out += b < 0 ? kNoPlace : char(b);
  }
  return out;
}

std::string ansiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 4);
  for (const char c : ansi) appendUtf8(out, ansiCharToWide(uint8_t(c)));
  return out;
}

std::string utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = nextUtf8(utf8, i);
    const int b = cp == kInvalid ? -1 : wideCharToAnsi(cp);
    out += b < 0 ? kNoPlace : char(b);
  }
  return out;
}

std::u16string utf8ToWide(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = nextUtf8(utf8, i);
    if (cp == kInvalid) cp = 0xFFFD;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += char16_t(0xD800 + (cp >> 10));
      out += char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      out += char16_t(cp);
    }
  }
  return out;
}

std::string wideToUtf8(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t cp = wide[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate
    }
    appendUtf8(out, cp);
  }
  return out;
}

std::string oemToAnsi(std::string_view oem) {
  std::string out(oem.size(), '\0');
  for (size_t i = 0; i < oem.size(); ++i) {
    const auto b = uint8_t(oem[i]);
    if (b < 0x80) {
      out[i] = char(b);
      continue;
    }
    const int a = wideCharToAnsi(kOem80[b - 0x80]);
    out[i] = a < 0 ? kNoPlace : char(a);
  }
  return out;
}

}  // namespace platform
