// Locale services: the user's locale for comparing texts, changing case and
// writing and reading numbers, dates and times; the code pages (ANSI is
// Windows-1252, OEM is 850).
//
// The user's locale is taken at first use from LC_ALL, else LANG, and serves
// every service below ("fr_FR.UTF-8" -> fr_FR; "C", "POSIX" or nothing ->
// en_US). Tests and tools may choose another with setUserLocale().
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace platform {

// "fr_FR", "de_DE", "en_US", "fr_FR.UTF-8", ...; "" goes back to the
// environment's locale. Settings handed out earlier stay valid.
void setUserLocale(std::string_view name);
std::string userLocaleName();

// CompareString(LOCALE_USER_DEFAULT, SORT_STRINGSORT [| NORM_IGNORECASE])
// for Windows-1252 texts and for UTF-16 texts: negative, 0 or positive.
// Punctuation counts (string sort); ignoring case compares at secondary
// strength. Equal texts under the collator that differ in their bytes are
// ordered by their code points (ignoring case: by their case-folded code
// points), so only identical texts compare equal, or texts that differ only
// in case when case is ignored.
int compareAnsi(std::string_view a, std::string_view b, bool ignoreCase);
int compareWide(std::u16string_view a, std::u16string_view b, bool ignoreCase);

// Case mapping by the locale (AnsiUpperCase, AnsiLowerCase); characters
// whose other case is not in Windows-1252 stay as they are.
std::string upperAnsi(std::string_view text);
std::string lowerAnsi(std::string_view text);
std::u16string upperWide(std::u16string_view text);
std::u16string lowerWide(std::u16string_view text);
// Changes only "a".."z" / "A".."Z" (UpperCase, LowerCase).
std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);
// Equal without regard to case by the locale (AnsiSameText).
bool sameTextAnsi(std::string_view a, std::string_view b);

// Code pages. Characters with no place in the target become "?".
std::u16string ansiToWide(std::string_view ansi);
std::string wideToAnsi(std::u16string_view wide);
std::string ansiToUtf8(std::string_view ansi);
std::string utf8ToAnsi(std::string_view utf8);
std::string oemToAnsi(std::string_view oem);
// UTF-8 <-> UTF-16 (for file names and the windows); malformed UTF-8 and
// lone surrogates become U+FFFD.
std::u16string utf8ToWide(std::string_view utf8);
std::string wideToUtf8(std::u16string_view wide);

// The user's locale's number, currency, date and time conventions.
const FormatSettings& formatSettings();

// Text to number by the toolkit's rules: blanks around the number allowed,
// the settings' decimal separator, an optional exponent; integers also in
// "$hex" and "0x" forms. False when the text is no number or out of range.
bool tryTextToInt(std::string_view text, int32_t& out);
bool tryTextToInt64(std::string_view text, int64_t& out);
bool tryTextToFloat(std::string_view text, double& out, const FormatSettings& fs = formatSettings());
// Units of 1/10000, rounded half away from zero.
bool tryTextToCurrency(std::string_view text, int64_t& out, const FormatSettings& fs = formatSettings());
// The same, raising EConvertError "'%s' is not a valid integer value" /
// "'%s' is not a valid floating point value".
int32_t textToInt(std::string_view text);
int64_t textToInt64(std::string_view text);
double textToFloat(std::string_view text, const FormatSettings& fs = formatSettings());
int64_t textToCurrency(std::string_view text, const FormatSettings& fs = formatSettings());

// Date-time numbers (days since 1899-12-30, time of day as the fraction) as
// texts: FormatDateTime with the toolkit's pattern letters, and the short
// date, long time and date-and-time forms (DateToStr, TimeToStr,
// DateTimeToStr: the time part is left out when it is midnight).
std::string formatDateTime(std::string_view pattern, double dateTime, const FormatSettings& fs = formatSettings());
std::string dateToText(double dateTime, const FormatSettings& fs = formatSettings());
std::string timeToText(double dateTime, const FormatSettings& fs = formatSettings());
std::string dateTimeToText(double dateTime, const FormatSettings& fs = formatSettings());

// Texts to date-time numbers by the settings' short date order and
// separators (StrToDate, StrToTime, StrToDateTime). False when the text is
// no date or time, or names one that does not exist.
bool tryTextToDate(std::string_view text, double& out, const FormatSettings& fs = formatSettings());
bool tryTextToTime(std::string_view text, double& out, const FormatSettings& fs = formatSettings());
bool tryTextToDateTime(std::string_view text, double& out, const FormatSettings& fs = formatSettings());

}  // namespace platform
