// The number, currency, date and time conventions that text conversions and
// the formatter follow. `formatSettings()` (locale.h) gives the user's locale;
// `invariantFormatSettings()` the fixed English forms.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace platform {

// All texts are Windows-1252 bytes. Date and time formats use the toolkit's
// pattern letters: d dd ddd dddd, m mm mmm mmmm, yy yyyy, h hh, n nn, s ss,
// z zzz, am/pm, ampm, "/" (date separator) and ":" (time separator).
struct FormatSettings {
  char decimalSeparator = '.';
  char thousandSeparator = ',';
  char dateSeparator = '/';
  char timeSeparator = ':';
  std::string shortDateFormat = "MM/dd/yyyy";
  std::string longDateFormat = "dddd, MMMM d, yyyy";
  std::string shortTimeFormat = "hh:nn";
  std::string longTimeFormat = "hh:nn:ss";
  std::string timeAMString = "AM";
  std::string timePMString = "PM";
  std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> longMonthNames{"January", "February", "March",     "April",
                                             "May",     "June",     "July",      "August",
                                             "September", "October", "November", "December"};
  // Sunday first, as the toolkit numbers days of the week (1 = Sunday).
  std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> longDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  std::string currencyString = "$";
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  uint8_t currencyFormat = 0;
  // 0 "($1)" 1 "-$1" 2 "$-1" 3 "$1-" 4 "(1$)" 5 "-1$" 6 "1-$" 7 "1$-" 8 "-1 $" 9 "-$ 1"
  // 10 "1 $-" 11 "$ 1-" 12 "$ -1" 13 "1- $" 14 "($ 1)" 15 "(1 $)"
  uint8_t negCurrFormat = 1;
  uint8_t currencyDecimals = 2;
  // Two-digit years are read within the hundred years starting this many
  // years before the current year (50 in 2025: 75 is 1975, 74 is 2074); 0
  // puts them in the current year's century (the toolkit's
  // TwoDigitYearCenturyWindow).
  uint16_t twoDigitYearCenturyWindow = 50;
};

const FormatSettings& invariantFormatSettings();

}  // namespace platform
