#include "dbengine/storage/date_formater.h"

#include <cstdio>

#include "dbengine/storage/day_numbers.h"
#include "platform/errors.h"
#include "platform/locale.h"

namespace vz {
namespace {

using K = DateFormatKind;

constexpr int kTokenKinds = 26;  // every kind but the literal
constexpr std::string_view kTokenNames[kTokenKinds] = {
    "YYYY", "YY", "YEAR", "Q",  "MONTH", "MON", "MM",  "M",  "RM", "DDD", "DD", "DAY", "DY",
    "DW",   "D",  "HH12", "HH24", "HH",  "H12", "H24", "H",  "NN", "N",   "SS", "S",   "AMPM"};
constexpr int32_t kMostCharacters[kTokenKinds] = {4, 2, 4, 1, 9, 3, 2, 2, 4, 3, 2, 12, 3,
                                                  2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};
constexpr const char* kRomanMonths[12] = {"I", "II", "III", "IV", "V", "VI",
                                          "VII", "VIII", "IX", "X", "XI", "XII"};

[[noreturn]] void throwUnknownKind() { throw platform::Exception("Unknown DateFormatType"); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string upperAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return r;
}

bool isTimeKind(K k) { return k >= K::Hour12x2 && k <= K::AmPm; }
bool isDateKind(K k) { return k <= K::Day; }

// Reads the next part of a text.
class TextReader {
 public:
  explicit TextReader(std::string_view text) : text_(text) {}

  // Exactly n characters (fewer where the text ends) as a decimal number.
  int number(size_t n) {
    const std::string_view part = pos_ < text_.size() ? text_.substr(pos_, n) : std::string_view();
    pos_ += n;
    if (part.empty()) invalid(part);
    int v = 0;
    for (char c : part) {
      if (!isDigit(c)) invalid(part);
      v = v * 10 + (c - '0');
    }
    return v;
  }

  // One digit when the character after it is no digit or the text ends
  // there, else two.
  int oneOrTwoDigits() {
    const bool two = pos_ + 1 < text_.size() && isDigit(text_[pos_ + 1]);
    return number(two ? 2 : 1);
  }

  std::string take(size_t n) {
    const std::string_view part = pos_ < text_.size() ? text_.substr(pos_, n) : std::string_view();
    pos_ += n;
    return std::string(part);
  }

  void skip(size_t n) { pos_ += n; }

 private:
  [[noreturn]] static void invalid(std::string_view part) {
    throw platform::EConvertError("'" + std::string(part) + "' is not a valid integer value");
  }

  std::string_view text_;
  size_t pos_ = 0;
};

std::string digits(int v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, v);
  return buf;
}

}  // namespace

TDateFormater::TDateFormater(std::string_view pattern) {
  std::string pending;
  auto flush = [&] {
    if (!pending.empty()) tokens_.push_back({K::Literal, std::move(pending)});
    pending.clear();
  };
  size_t pos = 0;
  while (pos < pattern.size()) {
    const char c = pattern[pos];
    if (c == '\'' || c == '"') {
      const size_t end = pattern.find(c, pos + 1);
      const size_t stop = end == std::string_view::npos ? pattern.size() : end;
      flush();
      pending = std::string(pattern.substr(pos + 1, stop - pos - 1));
      flush();
      pos = end == std::string_view::npos ? pattern.size() : end + 1;
      continue;
    }
    bool matched = false;
    for (size_t len = std::min<size_t>(5, pattern.size() - pos); len >= 1 && !matched; --len) {
      const std::string candidate = upperAscii(pattern.substr(pos, len));
      for (int k = 0; k < kTokenKinds; ++k) {
        if (kTokenNames[k] == candidate) {
          flush();
          tokens_.push_back({DateFormatKind(k), std::string(pattern.substr(pos, len))});
          pos += len;
          matched = true;
          break;
        }
      }
    }
    if (!matched) pending.push_back(pattern[pos++]);
  }
  flush();
}

double TDateFormater::read(std::string_view text) const {
  TextReader in(text);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  for (const TDateFormatToken& t : tokens_) {
    switch (t.kind) {
      case K::Year4:
      case K::Year: year = in.number(4); break;
      case K::Year2: {
        const int v = in.number(2);
        year = v < 30 ? 2000 + v : 1900 + v;
        break;
      }
      // The quarter digit gives the quarter's first month.
      case K::Quarter: month = 3 * in.number(1) - 2; break;
      case K::Month2: month = in.number(2); break;
      case K::Month: month = in.oneOrTwoDigits(); break;
      case K::Day2: day = in.number(2); break;
      case K::Day: day = in.oneOrTwoDigits(); break;
      case K::Hour24x2: hour = in.number(2); break;
      case K::Hour12x2:
      case K::Hour2:
      case K::Hour12:
      case K::Hour24:
      case K::Hour: hour = in.oneOrTwoDigits(); break;
      case K::Minute2: minute = in.number(2); break;
      case K::Minute: minute = in.oneOrTwoDigits(); break;
      case K::Second2: second = in.number(2); break;
      case K::Second: second = in.oneOrTwoDigits(); break;
      case K::AmPm: {
        const std::string word = in.take(2);
        const std::string upper = upperAscii(word);
        if (upper == "PM") {
          hour += 12;
        } else if (upper != "AM") {
          throw platform::EVZException(30129, "AM/PM word expected, but '%s' found", {word});
        }
        break;
      }
      case K::MonthName:
      case K::MonthShort:
      case K::MonthRoman:
      case K::DayShortName:
      case K::DayName:
      case K::DayOfYear:
      case K::DayOfWeek:
      case K::Literal: in.skip(t.text.size()); break;
      default: throwUnknownKind();
    }
  }
  double date = 0;  // 1899-12-30
  if (year != 0 && month != 0 && day != 0) {
    if (!isValidDate(year, month, day)) throw platform::EConvertError("Invalid argument to date encode");
    date = dateTimeNumberOf(dayNumberOf(year, month, day), 0);
  }
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
    throw platform::EConvertError("Invalid argument to time encode");
  return date + double((hour * 60 + minute) * 60 + second) * 1000.0 / kMillisecondsPerDay;
}

std::string TDateFormater::write(double dateTime) const {
  DayAndTime dt;
  if (!tryDayAndTimeFromDateTimeNumber(dateTime, dt)) throw platform::EConvertError("Invalid argument to date encode");
  // Before 1899-12-30 the fraction still counts forward from midnight.
  const int32_t ms = dt.milliseconds < 0 ? -dt.milliseconds : dt.milliseconds;
  int year, month, day;
  decodeDayNumber(dt.day, year, month, day);
  const int hour = ms / 3600000, minute = ms / 60000 % 60, second = ms / 1000 % 60;
  const int weekday = dayOfWeek(dt.day);  // 1 Monday .. 7 Sunday
  const platform::FormatSettings& fs = platform::formatSettings();

  std::string out;
  for (const TDateFormatToken& t : tokens_) {
    switch (t.kind) {
      case K::Year4:
      case K::Year: out += digits(year, 4); break;
      case K::Year2: out += digits(((year % 100) + 100) % 100, 2); break;
      case K::Quarter: out += digits((month - 1) / 3 + 1, 1); break;
      case K::MonthName: out += fs.longMonthNames[month - 1]; break;
      case K::MonthShort: out += fs.shortMonthNames[month - 1]; break;
      case K::Month2: out += digits(month, 2); break;
      case K::Month: out += digits(month, 1); break;
      case K::MonthRoman: out += kRomanMonths[month - 1]; break;
      case K::DayShortName: out += fs.shortDayNames[weekday % 7]; break;
      case K::Day2: out += digits(day, 2); break;
      case K::DayName: out += fs.longDayNames[weekday % 7]; break;
      case K::DayOfYear: out += digits(dayOfYear(dt.day), 1); break;
      case K::DayOfWeek: out += digits(weekday, 1); break;
      case K::Day: out += digits(day, 1); break;
      case K::Hour12x2:
      case K::Hour2: out += digits(hour % 12, 2); break;
      case K::Hour24x2: out += digits(hour, 2); break;
      case K::Hour12:
      case K::Hour: out += digits(hour % 12, 1); break;
      case K::Hour24: out += digits(hour, 1); break;
      case K::Minute2: out += digits(minute, 2); break;
      case K::Minute: out += digits(minute, 1); break;
      case K::Second2: out += digits(second, 2); break;
      case K::Second: out += digits(second, 1); break;
      case K::AmPm: out += hour > 11 ? "PM" : "AM"; break;
      case K::Literal: out += t.text; break;
      default: throwUnknownKind();
    }
  }
  return out;
}

DeclaredType TDateFormater::resultType() const {
  bool date = false, time = false;
  for (const TDateFormatToken& t : tokens_) {
    if (t.kind > K::Literal) throwUnknownKind();
    date = date || isDateKind(t.kind);
    time = time || isTimeKind(t.kind);
  }
  if (time && !date) return declared_type::Time;
  if (date && !time) return declared_type::Date;
  return declared_type::DateTime;
}

int32_t TDateFormater::longestText() const {
  int32_t n = 0;
  for (const TDateFormatToken& t : tokens_) {
    if (t.kind == K::Literal) {
      n += int32_t(t.text.size());
    } else if (t.kind < K::Literal) {
      n += kMostCharacters[int(t.kind)];
    } else {
      throwUnknownKind();
    }
  }
  return n;
}

}  // namespace vz
