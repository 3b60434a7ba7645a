// The printf-style formatter of messages: "%" [index ":"] ["-"] [width]
// ["." precision] type, with the types d u x e f g n m p s, "*" for a width,
// precision or index taken from the arguments, and "%%" for a percent sign.
// A directive that does not fit its argument, or an argument list that is too
// short, raises EConvertError ("Format '%s' invalid or incompatible with
// argument") instead of reading past the list.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/format_settings.h"

namespace platform {

class FormatArg {
 public:
  enum class Kind { Integer, Int64, Float, Currency, Text, Char };

  FormatArg(int v) : kind_(Kind::Integer), int_(v) {}
  FormatArg(unsigned v) : kind_(Kind::Int64), int_(int64_t(v)) {}
  FormatArg(long v) : kind_(Kind::Int64), int_(v) {}
  FormatArg(long long v) : kind_(Kind::Int64), int_(v) {}
  FormatArg(unsigned long v) : kind_(Kind::Int64), int_(int64_t(v)) {}
  FormatArg(unsigned long long v) : kind_(Kind::Int64), int_(int64_t(v)) {}
  FormatArg(double v) : kind_(Kind::Float), float_(v) {}
  FormatArg(char c) : kind_(Kind::Char), text_(1, c) {}
  FormatArg(const char* s) : kind_(Kind::Text), text_(s ? s : "") {}
  FormatArg(std::string s) : kind_(Kind::Text), text_(std::move(s)) {}
  FormatArg(std::string_view s) : kind_(Kind::Text), text_(s) {}
  // A currency amount in units of 1/10000.
  static FormatArg currency(int64_t scaled) {
    FormatArg a(0);
    a.kind_ = Kind::Currency;
    a.int_ = scaled;
    return a;
  }

  Kind kind() const { return kind_; }
  int64_t integer() const { return int_; }
  double floating() const { return float_; }
  const std::string& text() const { return text_; }

 private:
  Kind kind_;
  int64_t int_ = 0;
  double float_ = 0;
  std::string text_;
};

using FormatArgs = std::vector<FormatArg>;

// Formats with the user's locale (decimal and thousand separators, currency).
std::string formatText(std::string_view format, const FormatArgs& args);
std::string formatText(const FormatSettings& settings, std::string_view format, const FormatArgs& args);

}  // namespace platform
