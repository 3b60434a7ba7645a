// Reading and writing dates and times by a pattern of tokens ("YYYY", "MM",
// "DD", "HH24", "NN", "SS", ...), for the SQL functions that turn texts into
// dates and dates into texts. A pattern is cut into tokens once; the same
// token list then serves every row. Dates and times travel as date-time
// numbers (day_numbers.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/storage/data_types.h"

namespace vz {

enum class DateFormatKind : uint8_t {
  Year4 = 0,       // YYYY
  Year2 = 1,       // YY
  Year = 2,        // YEAR
  Quarter = 3,     // Q
  MonthName = 4,   // MONTH
  MonthShort = 5,  // MON
  Month2 = 6,      // MM
  Month = 7,       // M
  MonthRoman = 8,  // RM
  DayShortName = 9,  // DDD
  Day2 = 10,       // DD
  DayName = 11,    // DAY
  DayOfYear = 12,  // DY
  DayOfWeek = 13,  // DW
  Day = 14,        // D
  Hour12x2 = 15,   // HH12
  Hour24x2 = 16,   // HH24
  Hour2 = 17,      // HH
  Hour12 = 18,     // H12
  Hour24 = 19,     // H24
  Hour = 20,       // H
  Minute2 = 21,    // NN
  Minute = 22,     // N
  Second2 = 23,    // SS
  Second = 24,     // S
  AmPm = 25,       // AMPM
  Literal = 26,
};

struct TDateFormatToken {
  DateFormatKind kind;
  std::string text;  // as written in the pattern (a literal without its quotes)
};

class TDateFormater {
 public:
  // Cuts the pattern into tokens: at each position the longest token (five
  // characters down to one, without regard to case) is taken; text between
  // tokens, and text in single or double quotes, becomes literals.
  explicit TDateFormater(std::string_view pattern);
  explicit TDateFormater(std::vector<TDateFormatToken> tokens) : tokens_(std::move(tokens)) {}

  const std::vector<TDateFormatToken>& tokens() const { return tokens_; }

  // The date-time number that the text names. A part that is no number, or a
  // date or time that does not exist, raises the platform's EConvertError; a
  // wrong AM/PM word "AM/PM word expected, but '%s' found" (30129). A text
  // without year, month or day reads as a time on 1899-12-30.
  double read(std::string_view text) const;
  // The date-time number written by the pattern (Windows-1252 text).
  std::string write(double dateTime) const;
  // TIME for a pattern of time tokens only, DATE for date tokens only,
  // DATETIME otherwise (both kinds, or none).
  DeclaredType resultType() const;
  // The most characters that write() can produce.
  int32_t longestText() const;

 private:
  std::vector<TDateFormatToken> tokens_;
};

}  // namespace vz
