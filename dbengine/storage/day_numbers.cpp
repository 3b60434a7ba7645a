#include "dbengine/storage/day_numbers.h"

#include <cmath>

namespace vz {
namespace {

// Days from 0000-03-01 of the proleptic calendar, by eras of 400 years.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + int64_t(doe);
}

const int64_t kCivilOfDayOne = daysFromCivil(1, 1, 1);

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

bool isValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

int32_t dayNumberOf(int year, int month, int day) {
  return int32_t(daysFromCivil(year, unsigned(month), unsigned(day)) - kCivilOfDayOne + 1);
}

void decodeDayNumber(int32_t dayNumber, int& year, int& month, int& day) {
  const int64_t z = int64_t(dayNumber) - 1 + kCivilOfDayOne;
  const int64_t era = floorDiv(z, 146097);
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = int(doy - (153 * mp + 2) / 5 + 1);
  month = int(mp < 10 ? mp + 3 : mp - 9);
  year = int(int64_t(yoe) + era * 400 + (month <= 2));
}

int dayOfYear(int32_t dayNumber) {
  int y, m, d;
  decodeDayNumber(dayNumber, y, m, d);
  return int(int64_t(dayNumber) - dayNumberOf(y, 1, 1) + 1);
}

int dayOfWeek(int32_t dayNumber) { return int(((int64_t(dayNumber) - 1) % 7 + 7) % 7) + 1; }

int32_t millisecondsOfDateTimeNumber(double x) {
  const double frac = x - std::trunc(x);
  return int32_t(std::nearbyint(frac * kMillisecondsPerDay));  // default rounding: halves to even
}

bool tryDayAndTimeFromDateTimeNumber(double x, DayAndTime& out) {
  if (!std::isfinite(x)) return false;
  const double whole = std::trunc(x);
  int64_t day = int64_t(std::fmax(std::fmin(whole, 4e9), -4e9)) + kDayNumberOfDateTimeZero;
  int32_t ms = millisecondsOfDateTimeNumber(x);
  if (ms >= kMillisecondsPerDay) {
    ms -= kMillisecondsPerDay;
    ++day;
  } else if (ms <= -kMillisecondsPerDay) {
    ms += kMillisecondsPerDay;
    --day;
  }
  if (day < std::numeric_limits<int32_t>::min() || day > std::numeric_limits<int32_t>::max()) return false;
  out.day = int32_t(day);
  out.milliseconds = ms;
  return true;
}

double dateTimeNumberOf(int32_t day, int32_t milliseconds) {
  return double(int64_t(day) - kDayNumberOfDateTimeZero) + double(milliseconds) / kMillisecondsPerDay;
}

}  // namespace vz
