#include "dbengine/storage/value_text_forms.h"

#include <cmath>

#include "platform/float_text.h"
#include "platform/locale.h"

namespace vz::text_forms {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads groups of digits of the given widths by the fixed-form rules.
bool readGroups(std::string_view text, const int* widths, int count, int* values) {
  size_t pos = 0;
  for (int g = 0; g < count; ++g) {
    if (g > 0) {
      if (pos >= text.size()) return false;
      ++pos;  // the one separating character, whatever it is
    }
    const size_t start = pos;
    int v = 0;
    while (pos < text.size() && isDigit(text[pos])) {
      if (pos - start >= size_t(widths[g])) return false;
      v = v * 10 + (text[pos] - '0');
      ++pos;
    }
    if (pos - start != size_t(widths[g])) return false;
    values[g] = v;
  }
  return text.size() - pos <= 1;
}

bool validTime(int h, int n, int s) { return h < 24 && n < 60 && s < 60; }

int32_t millisecondsOf(int h, int n, int s) { return ((h * 60 + n) * 60 + s) * 1000; }

bool dayFromDateTimeNumber(double x, int32_t& day) {
  DayAndTime dt;
  if (!tryDayAndTimeFromDateTimeNumber(x, dt)) return false;
  day = dt.day;
  return true;
}

bool dayInRange(int32_t day) { return day >= kFirstDayNumber && day <= kLastDayNumber; }

}  // namespace

FixedMatch readFixedDate(std::string_view text, bool withTime, DayAndTime& out) {
  static const int kWidths[6] = {4, 2, 2, 2, 2, 2};
  int v[6] = {0, 0, 0, 0, 0, 0};
  if (!readGroups(text, kWidths, withTime ? 6 : 3, v)) return FixedMatch::NoMatch;
  if (!isValidDate(v[0], v[1], v[2]) || !validTime(v[3], v[4], v[5])) return FixedMatch::Invalid;
  out.day = dayNumberOf(v[0], v[1], v[2]);
  out.milliseconds = millisecondsOf(v[3], v[4], v[5]);
  return FixedMatch::Valid;
}

FixedMatch readFixedTime(std::string_view text, int32_t& milliseconds) {
  static const int kWidths[3] = {2, 2, 2};
  int v[3] = {0, 0, 0};
  if (!readGroups(text, kWidths, 3, v)) return FixedMatch::NoMatch;
  if (!validTime(v[0], v[1], v[2])) return FixedMatch::Invalid;
  milliseconds = millisecondsOf(v[0], v[1], v[2]);
  return FixedMatch::Valid;
}

bool readInt32(std::string_view text, int32_t& out) { return platform::tryTextToInt(text, out); }

bool readInt64(std::string_view text, int64_t& out) { return platform::tryTextToInt64(text, out); }

bool readFloat(std::string_view text, long double& out) {
  double d = 0;
  if (!platform::tryTextToFloat(text, d, platform::invariantFormatSettings())) return false;
  out = d;
  return true;
}

bool readCurrency(std::string_view text, double& amount) {
  int64_t scaled = 0;
  if (!platform::tryTextToCurrency(text, scaled)) return false;
  amount = double(scaled) / 10000.0;
  return true;
}

bool readLocaleDate(std::string_view text, int32_t& day) {
  double x = 0;
  return platform::tryTextToDate(text, x) && dayFromDateTimeNumber(x, day);
}

bool readLocaleTime(std::string_view text, int32_t& milliseconds) {
  double x = 0;
  if (!platform::tryTextToTime(text, x) || !std::isfinite(x)) return false;
  milliseconds = millisecondsOfDateTimeNumber(x);
  return true;
}

bool readLocaleDateTime(std::string_view text, DayAndTime& out) {
  double x = 0;
  return platform::tryTextToDateTime(text, x) && tryDayAndTimeFromDateTimeNumber(x, out);
}

std::string writeInteger(int64_t value) { return std::to_string(value); }

std::string writeFloat(long double value) {
  return platform::floatToText(static_cast<double>(value), platform::formatSettings());
}

bool writeCurrency(double amount, std::string& out) {
  const double scaled = std::round(amount * 10000.0);  // halves away from zero
  if (!(std::fabs(scaled) < 9.2e18)) return false;
  out = platform::currencyToText(int64_t(scaled), platform::formatSettings());
  return true;
}

bool writeDate(int32_t day, std::string& out) {
  if (!dayInRange(day)) return false;
  out = platform::dateToText(dateTimeNumberOf(day, 0));
  return true;
}

std::string writeTime(int32_t milliseconds) {
  return platform::timeToText(double(milliseconds) / kMillisecondsPerDay);
}

bool writeDateTime(const DayAndTime& value, std::string& out) {
  double x;
  if (value.day == kEmptyDate) {
    x = double(value.milliseconds) / kMillisecondsPerDay;
  } else {
    if (!dayInRange(value.day)) return false;
    x = dateTimeNumberOf(value.day, value.milliseconds);
  }
  out = platform::dateTimeToText(x);
  return true;
}

}  // namespace vz::text_forms
