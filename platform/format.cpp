#include "platform/format.h"

#include <cctype>
#include <cstdio>

#include "platform/errors.h"
#include "platform/float_text.h"
#include "platform/locale.h"

namespace platform {
namespace {

[[noreturn]] void invalid(std::string_view format) {
  throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

std::string unsignedDigits(uint64_t v, bool hex) {
  char buf[32];
  std::snprintf(buf, sizeof buf, hex ? "%llX" : "%llu", static_cast<unsigned long long>(v));
  return buf;
}

// Zero-pads the digits to `precision`, keeping a leading minus in front.
std::string withPrecision(bool negative, std::string digits, int precision) {
  if (precision > int(digits.size())) digits.insert(0, size_t(precision) - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

class Formatter {
 public:
  Formatter(const FormatSettings& fs, std::string_view format, const FormatArgs& args)
      : fs_(fs), format_(format), args_(args) {}

  std::string run() {
    std::string out;
    size_t i = 0;
    const size_t n = format_.size();
    while (i < n) {
      char c = format_[i++];
      if (c != '%') {
        out += c;
        continue;
      }
      if (i >= n) invalid(format_);
      if (format_[i] == '%') {
        out += '%';
        ++i;
        continue;
      }
      // [index ":"] ["-"] [width] ["." precision] type
      int number = -1;
      bool haveNumber = readNumber(i, number);
      if (haveNumber && i < n && format_[i] == ':') {
        if (number < 0) invalid(format_);
        argIndex_ = size_t(number);
        ++i;
        haveNumber = false;
      }
      bool left = false;
      if (!haveNumber && i < n && format_[i] == '-') {
        left = true;
        ++i;
      }
      int width = -1;
      if (haveNumber) width = number;
      else readNumber(i, width);
      int precision = -1;
      if (i < n && format_[i] == '.') {
        ++i;
        if (!readNumber(i, precision)) precision = 0;
      }
      if (i >= n) invalid(format_);
      char type = char(std::tolower(static_cast<unsigned char>(format_[i++])));
      std::string text = directive(type, precision);
      if (width > int(text.size())) {
        std::string pad(size_t(width) - text.size(), ' ');
        text = left ? text + pad : pad + text;
      }
      out += text;
    }
    return out;
  }

 private:
  // Digits or "*" (taken from the argument list).
  bool readNumber(size_t& i, int& value) {
    if (i < format_.size() && format_[i] == '*') {
      ++i;
      const FormatArg& a = next();
      if (a.kind() != FormatArg::Kind::Integer && a.kind() != FormatArg::Kind::Int64) invalid(format_);
      value = int(a.integer());
      return true;
    }
    if (i >= format_.size() || !std::isdigit(static_cast<unsigned char>(format_[i]))) return false;
    long v = 0;
    while (i < format_.size() && std::isdigit(static_cast<unsigned char>(format_[i]))) {
      v = v * 10 + (format_[i++] - '0');
      if (v > 1000000) invalid(format_);
    }
    value = int(v);
    return true;
  }

  const FormatArg& next() {
    if (argIndex_ >= args_.size()) invalid(format_);
    return args_[argIndex_++];
  }

  std::string directive(char type, int precision) {
    const FormatArg& a = next();
    using K = FormatArg::Kind;
    const bool integral = a.kind() == K::Integer || a.kind() == K::Int64;
    const bool floating = a.kind() == K::Float || a.kind() == K::Currency;
    switch (type) {
      case 'd': {
        if (!integral) invalid(format_);
        int64_t v = a.integer();
        uint64_t mag = v < 0 ? 0 - uint64_t(v) : uint64_t(v);
        return withPrecision(v < 0, unsignedDigits(mag, false), precision);
      }
      case 'u':
      case 'x':
      case 'p': {
        if (!integral) invalid(format_);
        uint64_t v = a.kind() == K::Integer ? uint64_t(uint32_t(a.integer())) : uint64_t(a.integer());
        if (type == 'p') precision = a.kind() == K::Integer ? 8 : 16;
        return withPrecision(false, unsignedDigits(v, type != 'u'), precision);
      }
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': {
        if (!floating) invalid(format_);
        FloatFormat ff = type == 'e'   ? FloatFormat::Exponent
                         : type == 'f' ? FloatFormat::Fixed
                         : type == 'g' ? FloatFormat::General
                         : type == 'n' ? FloatFormat::Number
                                       : FloatFormat::Currency;
        int prec = 18, digits;
        if (type == 'e' || type == 'g') {
          prec = precision < 0 ? 15 : precision;
          digits = 3;
        } else {
          digits = precision < 0 ? (type == 'm' ? fs_.currencyDecimals : 2) : precision;
        }
        if (a.kind() == K::Currency) {
          if (ff == FloatFormat::General || ff == FloatFormat::Exponent)
            return floatToTextF(double(a.integer()) / 10000.0, ff, prec, digits, fs_);
          return currencyToTextF(a.integer(), ff, digits, fs_);
        }
        return floatToTextF(a.floating(), ff, prec, digits, fs_);
      }
      case 's': {
        if (a.kind() != K::Text && a.kind() != K::Char) invalid(format_);
        if (precision >= 0 && size_t(precision) < a.text().size()) return a.text().substr(0, size_t(precision));
        return a.text();
      }
      default:
        invalid(format_);
    }
  }

  const FormatSettings& fs_;
  std::string_view format_;
  const FormatArgs& args_;
  size_t argIndex_ = 0;
};

}  // namespace

std::string formatText(const FormatSettings& settings, std::string_view format, const FormatArgs& args) {
  return Formatter(settings, format, args).run();
}

std::string formatText(std::string_view format, const FormatArgs& args) {
  return formatText(formatSettings(), format, args);
}

}  // namespace platform
