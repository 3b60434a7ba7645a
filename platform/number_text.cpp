// Texts to numbers by the toolkit's rules (StrToInt, StrToInt64, StrToFloat,
// StrToCurr).
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/errors.h"
#include "platform/locale.h"

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decimal digits in the range of a signed integer of `bits` bits; "$hex" and
// "0xhex" take up to `bits` bits, read as two's complement ("$FFFFFFFF" is -1).
bool parseInteger(std::string_view text, int bits, int64_t& out) {
  std::string_view s = trimmed(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  if (s.front() == '$' || (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))) {
    s.remove_prefix(s.front() == '$' ? 1 : 2);
    if (s.empty()) return false;
    uint64_t v = 0;
    for (const char c : s) {
      const int h = hexValue(c);
      if (h < 0) return false;
      if (bits == 32 ? v > 0xFFFFFFFu : v > 0x0FFFFFFFFFFFFFFFull) return false;
      v = v << 4 | uint64_t(h);
    }
    int64_t value = bits == 32 ? int64_t(int32_t(uint32_t(v))) : int64_t(v);
    if (negative) value = int64_t(0 - uint64_t(value));
    if (bits == 32) value = int32_t(uint32_t(uint64_t(value)));
    out = value;
    return true;
  }
  const uint64_t limit = (uint64_t(1) << (bits - 1)) - (negative ? 0 : 1);
  uint64_t v = 0;
  for (const char c : s) {
    if (!isDigit(c)) return false;
    const auto d = uint64_t(c - '0');
    if (v > (limit - d) / 10) return false;
    v = v * 10 + d;
  }
  out = negative ? int64_t(0 - v) : int64_t(v);
  return true;
}

// A decimal number as read: 0.digits x 10^exponent, digits without leading
// zeros (none for zero).
struct DecimalText {
  bool negative = false;
  std::string digits;
  int64_t exponent = 0;
};

enum class Special { None, Infinity, NaN };

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
  return true;
}

// [blanks] [sign] digits [separator digits] [E [sign] digits] [blanks]; at
// least one mantissa digit; no thousand separators. "INF" and "NAN" as the
// number texts write them.
bool parseDecimal(std::string_view text, char separator, DecimalText& d, Special& special) {
  std::string_view s = trimmed(text);
  special = Special::None;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    d.negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (equalsNoCase(s, "INF")) {
    special = Special::Infinity;
    return true;
  }
  if (equalsNoCase(s, "NAN") && !d.negative) {
    special = Special::NaN;
    return true;
  }
  size_t i = 0;
  int64_t pointShift = 0;
  bool anyDigit = false;
  bool afterPoint = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (isDigit(c)) {
      anyDigit = true;
      if (d.digits.empty() && c == '0') {
        if (afterPoint) --pointShift;  // leading zeros after the point
        continue;
      }
      if (d.digits.size() < 400) {
        d.digits += c;
        if (!afterPoint) ++pointShift;
      } else if (!afterPoint) {
        ++pointShift;  // digits beyond any precision still count for the size
      }
    } else if (c == separator && !afterPoint) {
      afterPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return false;
  int64_t exponent = 0;
  if (i < s.size()) {
    if (s[i] != 'e' && s[i] != 'E') return false;
    ++i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
    if (i >= s.size()) return false;
    for (; i < s.size(); ++i) {
      if (!isDigit(s[i])) return false;
      if (exponent < 1000000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (negativeExponent) exponent = -exponent;
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  d.exponent = d.digits.empty() ? 0 : pointShift + exponent;
  return true;
}

bool decimalToDouble(const DecimalText& d, double& out) {
  if (d.digits.empty()) {
    out = d.negative ? -0.0 : 0.0;
    return true;
  }
  const std::string text = "0." + d.digits + "e" + std::to_string(d.exponent);
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    if (d.exponent > 0) return false;  // too large
    v = 0;                             // too small: zero
  } else if (r.ec != std::errc() || std::isinf(v)) {
    return false;
  }
  out = d.negative ? -v : v;
  return true;
}

// Units of 1/10000, rounded half away from zero; false beyond the range.
bool decimalToCurrency(const DecimalText& d, int64_t& out) {
  if (d.digits.empty() || d.exponent + 4 < 0) {
    out = 0;
    return true;
  }
  if (d.exponent + 4 > 19) return false;
  const auto whole = size_t(d.exponent + 4);
  uint64_t v = 0;
  for (size_t k = 0; k < whole; ++k) {
    const uint64_t digit = k < d.digits.size() ? uint64_t(d.digits[k] - '0') : 0;
    if (v > (std::numeric_limits<uint64_t>::max() - digit) / 10) return false;
    v = v * 10 + digit;
  }
  if (whole < d.digits.size() && d.digits[whole] >= '5') ++v;
  const uint64_t limit = uint64_t(std::numeric_limits<int64_t>::max()) + (d.negative ? 1 : 0);
  if (v > limit) return false;
  out = d.negative ? int64_t(0 - v) : int64_t(v);
  return true;
}

[[noreturn]] void notInteger(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

[[noreturn]] void notFloat(std::string_view text) {
  throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

}  // namespace

bool tryTextToInt(std::string_view text, int32_t& out) {
  int64_t v = 0;
  if (!parseInteger(text, 32, v)) return false;
  out = int32_t(v);
  return true;
}

bool tryTextToInt64(std::string_view text, int64_t& out) { return parseInteger(text, 64, out); }

bool tryTextToFloat(std::string_view text, double& out, const FormatSettings& fs) {
  DecimalText d;
  Special special;
  if (!parseDecimal(text, fs.decimalSeparator, d, special)) return false;
  if (special == Special::NaN) {
    out = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  if (special == Special::Infinity) {
    out = d.negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return true;
  }
  return decimalToDouble(d, out);
}

bool tryTextToCurrency(std::string_view text, int64_t& out, const FormatSettings& fs) {
  DecimalText d;
  Special special;
  if (!parseDecimal(text, fs.decimalSeparator, d, special) || special != Special::None) return false;
  return decimalToCurrency(d, out);
}

int32_t textToInt(std::string_view text) {
  int32_t v = 0;
  if (!tryTextToInt(text, v)) notInteger(text);
  return v;
}

int64_t textToInt64(std::string_view text) {
  int64_t v = 0;
  if (!tryTextToInt64(text, v)) notInteger(text);
  return v;
}

double textToFloat(std::string_view text, const FormatSettings& fs) {
  double v = 0;
  if (!tryTextToFloat(text, v, fs)) notFloat(text);
  return v;
}

int64_t textToCurrency(std::string_view text, const FormatSettings& fs) {
  int64_t v = 0;
  if (!tryTextToCurrency(text, v, fs)) notFloat(text);
  return v;
}

}  // namespace platform
