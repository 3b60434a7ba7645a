// Date-time numbers: days since 1899-12-30, time of day as the fraction
// (negative numbers for earlier days keep a positive fraction, as the
// toolkit's TDateTime does).
#pragma once

#include <cstdint>

namespace platform {

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// False for a date or time that does not exist (years 1 to 9999).
bool tryEncodeDate(int year, int month, int day, double& out);
bool tryEncodeTime(int hour, int minute, int second, int millisecond, double& out);
// EConvertError "Invalid argument to date encode" / "... time encode".
double encodeDate(int year, int month, int day);
double encodeTime(int hour, int minute, int second, int millisecond);

// The value is first rounded to the nearest millisecond (so 23:59:59.9996
// is the next midnight), for the date and the time alike. Days outside the
// years 1 to 9999 decode by the same calendar (year 0 is 1 BC); NaN decodes
// as 0 and infinities as the farthest days held (some 270 million years).
void decodeDate(double dateTime, int& year, int& month, int& day);
void decodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond);
// 1 = Sunday ... 7 = Saturday.
int dayOfWeek(double dateTime);

// The current local date and time.
double now();

}  // namespace platform
