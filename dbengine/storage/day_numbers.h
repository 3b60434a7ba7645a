// Day numbers and milliseconds, the engine's own date and time units, and
// their conversion to and from date-time numbers.
//
// A day number counts the days of the proleptic Gregorian calendar with
// 1 = 0001-01-01 (693594 is 1899-12-30); INT32_MIN is the empty date. A time
// of day is a count of milliseconds since midnight. A date-time number, the
// form the engine's callers use, counts days from 1899-12-30 in its integer
// part and the part of the day in its fraction.
#pragma once

#include <cstdint>
#include <limits>

namespace vz {

inline constexpr int32_t kEmptyDate = std::numeric_limits<int32_t>::min();
inline constexpr int32_t kDayNumberOfDateTimeZero = 693594;  // 1899-12-30
inline constexpr int32_t kMillisecondsPerDay = 86400000;
inline constexpr int32_t kFirstDayNumber = 1;        // 0001-01-01
inline constexpr int32_t kLastDayNumber = 3652059;   // 9999-12-31

// True for a date of the years 1 to 9999 that exists.
bool isValidDate(int year, int month, int day);
// The day number of any year, month and day of the proleptic calendar (the
// date is not checked).
int32_t dayNumberOf(int year, int month, int day);
// The calendar date of a day number (any day number, the proleptic calendar
// extended backwards).
void decodeDayNumber(int32_t dayNumber, int& year, int& month, int& day);
// 1 to 366.
int dayOfYear(int32_t dayNumber);
// 1 for Monday to 7 for Sunday (day 1, 0001-01-01, is a Monday).
int dayOfWeek(int32_t dayNumber);

struct DayAndTime {
  int32_t day = 0;
  int32_t milliseconds = 0;
};

// From a date-time number x: day = trunc(x) + 693594, milliseconds =
// round(frac(x) * 86400000) with halves to even. A fraction that rounds up to
// a whole day moves into the day number instead of giving 86400000
// milliseconds. False when x is no finite number or the day number does not
// fit 32 bits.
bool tryDayAndTimeFromDateTimeNumber(double x, DayAndTime& out);
// The milliseconds alone: round(frac(x) * 86400000), halves to even.
int32_t millisecondsOfDateTimeNumber(double x);
// Back: (day - 693594) + milliseconds / 86400000.
double dateTimeNumberOf(int32_t day, int32_t milliseconds);

}  // namespace vz
