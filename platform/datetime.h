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

void decodeDate(double dateTime, int& year, int& month, int& day);
// Milliseconds rounded to the nearest millisecond of the day.
void decodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond);
// 1 = Sunday ... 7 = Saturday.
int dayOfWeek(double dateTime);

// The current local date and time.
double now();

}  // namespace platform
