// Last-write times as MS-DOS dates and times and as date-time numbers, in
// local time as Windows gives them.
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "platform/filesystem.h"
#include "platform/path.h"

namespace platform {
namespace {

constexpr int kDosFirstYear = 1980;
constexpr int kDosLastYear = 1980 + 127;

bool isLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int monthDays(int year, int month) {
  static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = unsigned(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + int64_t(dayOfEra) - 719468;
}

bool lastWrite(std::string_view path, struct timespec& when) {
  const std::string native = nativePath(path);
  struct stat st;
  if (native.empty() || stat(native.c_str(), &st) != 0) return false;
  when = st.st_mtim;
  return true;
}

}  // namespace

bool setFileDosDateTime(std::string_view path, DosDateTime when) {
  const int year = kDosFirstYear + (when.date >> 9);
  const int month = (when.date >> 5) & 0x0F;
  const int day = when.date & 0x1F;
  const int hour = when.time >> 11;
  const int minute = (when.time >> 5) & 0x3F;
  const int second = (when.time & 0x1F) * 2;
  if (month < 1 || month > 12 || day < 1 || day > monthDays(year, month)) return false;
  if (hour > 23 || minute > 59 || second > 59) return false;

  struct tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;  // whatever daylight saving time says for that day
  const time_t seconds = mktime(&local);
  if (seconds == time_t(-1)) return false;

  const std::string native = nativePath(path);
  if (native.empty()) return false;
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  return utimensat(AT_FDCWD, native.c_str(), times, 0) == 0;
}

std::optional<DosDateTime> fileDosDateTime(std::string_view path) {
  struct timespec when;
  if (!lastWrite(path, when)) return std::nullopt;
  time_t seconds = when.tv_sec;
  struct tm local;
  if (!localtime_r(&seconds, &local)) return std::nullopt;
  // Two-second steps: an odd second rounds up to the next even one, as the
  // FAT file system and archivers store it.
  if (local.tm_sec % 2 != 0) {
    ++seconds;
    if (!localtime_r(&seconds, &local)) return std::nullopt;
  }
  const int year = local.tm_year + 1900;
  if (year < kDosFirstYear || year > kDosLastYear) return std::nullopt;
  DosDateTime dos;
  dos.date = uint16_t(((year - kDosFirstYear) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
  dos.time = uint16_t((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return dos;
}

std::optional<double> fileDateTime(std::string_view path) {
  struct timespec when;
  if (!lastWrite(path, when)) return std::nullopt;
  struct tm local;
  if (!localtime_r(&when.tv_sec, &local)) return std::nullopt;
  const int64_t days = daysFromCivil(local.tm_year + 1900, unsigned(local.tm_mon + 1), unsigned(local.tm_mday)) -
                       daysFromCivil(1899, 12, 30);
  const int64_t milliseconds =
      ((int64_t(local.tm_hour) * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 + when.tv_nsec / 1000000;
  const double fraction = double(milliseconds) / 86400000.0;
  // Days before 1899-12-30 count down while the time of day still counts up.
  return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

}  // namespace platform
