// Date-time numbers and the proleptic Gregorian calendar.
#include "platform/datetime.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "platform/errors.h"

namespace platform {
namespace {

constexpr int64_t kMsPerDay = 86400000;
// Day numbers count from 0001-01-01 = 1; 1899-12-30 (date-time 0) is this one.
constexpr int64_t kDateDelta = 693594;
// Day 0 of the day numbers, counted from 1970-01-01 (the calendar formulas' origin).
constexpr int64_t kUnixDayOfDayZero = -719163;
// Beyond this many days (some 270 million years) a date-time is held at it.
constexpr double kLargestDays = 1e11;

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int64_t dayNumberFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = floorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 - kUnixDayOfDayZero;
}

void civilFromDayNumber(int64_t dayNumber, int64_t& y, int& m, int& d) {
  const int64_t z = dayNumber + kUnixDayOfDayZero + 719468;
  const int64_t era = floorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = int(doy - (153 * mp + 2) / 5 + 1);
  m = int(mp < 10 ? mp + 3 : mp - 9);
  y = yoe + era * 400 + (m <= 2);
}

// The day number and the milliseconds of the day, the whole value rounded to
// the nearest millisecond first (so 23:59:59.9999 is the next midnight). The
// day is the integer part; the time of day the fraction without its sign.
void split(double dateTime, int64_t& dayNumber, int& ms) {
  if (std::isnan(dateTime)) dateTime = 0;
  if (dateTime > kLargestDays) dateTime = kLargestDays;
  if (dateTime < -kLargestDays) dateTime = -kLargestDays;
  const auto total = int64_t(std::nearbyint(dateTime * double(kMsPerDay)));
  dayNumber = total / kMsPerDay + kDateDelta;
  const int64_t rest = total % kMsPerDay;
  ms = int(rest < 0 ? -rest : rest);
}

}  // namespace

bool isLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool tryEncodeDate(int year, int month, int day, double& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
    return false;
  out = double(dayNumberFromCivil(year, month, day) - kDateDelta);
  return true;
}

bool tryEncodeTime(int hour, int minute, int second, int millisecond, double& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return false;
  out = double(((int64_t(hour) * 60 + minute) * 60 + second) * 1000 + millisecond) / double(kMsPerDay);
  return true;
}

double encodeDate(int year, int month, int day) {
  double v = 0;
  if (!tryEncodeDate(year, month, day, v)) throw EConvertError("Invalid argument to date encode");
  return v;
}

double encodeTime(int hour, int minute, int second, int millisecond) {
  double v = 0;
  if (!tryEncodeTime(hour, minute, second, millisecond, v)) throw EConvertError("Invalid argument to time encode");
  return v;
}

void decodeDate(double dateTime, int& year, int& month, int& day) {
  int64_t dayNumber = 0;
  int ms = 0;
  split(dateTime, dayNumber, ms);
  int64_t y = 0;
  civilFromDayNumber(dayNumber, y, month, day);
  year = int(y);
}

void decodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond) {
  int64_t dayNumber = 0;
  int ms = 0;
  split(dateTime, dayNumber, ms);
  hour = ms / 3600000;
  minute = ms / 60000 % 60;
  second = ms / 1000 % 60;
  millisecond = ms % 1000;
}

int dayOfWeek(double dateTime) {
  int64_t dayNumber = 0;
  int ms = 0;
  split(dateTime, dayNumber, ms);
  return int(dayNumber - floorDiv(dayNumber, 7) * 7) + 1;
}

double now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  return encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         encodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), int(ts.tv_nsec / 1000000));
}

}  // namespace platform
