// The text forms that value conversions read and write.
//
// Written (value -> text):
//   integers          decimal digits, "-" for negatives, no separators
//                     (CARDINAL unsigned): "-42", "4000000000".
//   SINGLE, FLOAT,    the platform's general floating-point text with 15
//   EXTENDED          significant digits and the user locale's decimal
//                     separator: "1.5" (en_US), "1,5" (fr_FR), "1E20".
//   CURRENCY          the amount rounded to four decimals, the platform's
//                     general currency text: locale decimal separator, no
//                     thousand separators, no currency symbol: "12,3456".
//   DATE              the locale's short date form ("1/15/2024" en_US,
//                     "15/01/2024" fr_FR); the empty date gives the empty
//                     text; a day outside the years 1 to 9999 fails.
//   TIME              the locale's long time form ("8:30:00 AM" en_US,
//                     "08:30:00" fr_FR); midnight (0 ms) gives the empty text.
//   DATETIME          the locale's date-and-time form: short date, a blank,
//                     long time, the time left out at midnight; the empty
//                     date with 0 ms gives the empty text, the empty date
//                     with a time gives the time on 1899-12-30.
//   LOGICAL           "True" or "False".
//
// Read (text -> value):
//   SHORTINT..CARDINAL  a 32-bit signed integer by the platform's integer
//                     reading (blanks around it, an optional sign, decimal
//                     digits, or "$"/"0x" hexadecimal), then the low bits of
//                     the target; LARGEINT the same at 64 bits (a MEMO 32
//                     bits, sign-extended).
//   SINGLE, FLOAT,    the platform's floating-point reading with "." as the
//   EXTENDED          decimal separator under every locale: "1.5", "-2e3".
//   CURRENCY          the platform's currency reading with the locale's
//                     decimal separator ("1.25" en_US, "1,25" fr_FR), kept to
//                     four decimals.
//   DATE              (ANSI texts) the fixed form YYYY-MM-DD HH:MM:SS, then
//                     the fixed form YYYY-MM-DD, then the locale's short date
//                     form; (wide texts, MEMO) the locale's form only.
//   TIME              (ANSI texts) the fixed form HH:MM:SS, then the
//                     locale's time form.
//   DATETIME          (ANSI texts) the two fixed date forms, then the
//                     locale's date-and-time form.
//   LOGICAL           true for "1" and "TRUE" in any case, false otherwise.
//
// Fixed forms are groups of digits of exactly the widths shown (4-2-2, and
// 2-2-2 for the time); a group ends at its first character that is no digit;
// exactly one character, whatever it is, separates groups; after the last
// group at most one character may remain. "2024/01/15" and
// "2024-01-15 08:30:00" match, "2024-1-15" does not (and goes on to the
// locale's form). A text that matches but names a date or time that does not
// exist makes the conversion fail.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dbengine/storage/day_numbers.h"

namespace vz::text_forms {

enum class FixedMatch { NoMatch, Valid, Invalid };

// YYYY-MM-DD (withTime false) or YYYY-MM-DD HH:MM:SS (withTime true).
FixedMatch readFixedDate(std::string_view text, bool withTime, DayAndTime& out);
// HH:MM:SS.
FixedMatch readFixedTime(std::string_view text, int32_t& milliseconds);

bool readInt32(std::string_view text, int32_t& out);
bool readInt64(std::string_view text, int64_t& out);
bool readFloat(std::string_view text, long double& out);
bool readCurrency(std::string_view text, double& amount);
bool readLocaleDate(std::string_view text, int32_t& day);
bool readLocaleTime(std::string_view text, int32_t& milliseconds);
bool readLocaleDateTime(std::string_view text, DayAndTime& out);

std::string writeInteger(int64_t value);
std::string writeFloat(long double value);
// False when the amount does not fit the currency range.
bool writeCurrency(double amount, std::string& out);
// False for a day outside the years 1 to 9999.
bool writeDate(int32_t day, std::string& out);
std::string writeTime(int32_t milliseconds);
bool writeDateTime(const DayAndTime& value, std::string& out);

}  // namespace vz::text_forms
