// Date-time numbers as texts and back, by the toolkit's pattern letters and
// the settings' separators, names and date order.
#include <cstdio>

#include "platform/datetime.h"
#include "platform/locale.h"

namespace platform {
namespace {

// The parts of a date-time number, decoded once.
struct Parts {
  explicit Parts(double dateTime) : value(dateTime) {
    decodeDate(dateTime, year, month, day);
    decodeTime(dateTime, hour, minute, second, ms);
    weekDay = dayOfWeek(dateTime);
  }
  double value;
  int year, month, day, hour, minute, second, ms, weekDay;
};

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool startsNoCase(std::string_view s, size_t i, std::string_view word) {
  if (s.size() - i < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k)
    if (upper(s[i + k]) != upper(word[k])) return false;
  return true;
}

void appendNumber(std::string& out, int v, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, v);
  out += buf;
}

class DateTimeWriter {
 public:
  DateTimeWriter(const Parts& parts, const FormatSettings& fs) : p_(parts), fs_(fs) {}

  // Settings' formats met inside a pattern are expanded at most two levels deep.
  void append(std::string& out, std::string_view f, int level) {
    if (level >= 2) return;
    char lastToken = 0;
    size_t i = 0;
    while (i < f.size()) {
      const char c = f[i];
      const char token = upper(c);
      if (token >= 'A' && token <= 'Z') {
        size_t count = 1;
        while (i + count < f.size() && f[i + count] == c) ++count;
        const char effective = token == 'M' && lastToken == 'H' ? 'N' : token;
        lastToken = effective;
        i = field(out, f, i, count, effective, level);
        continue;
      }
      if (c == '\'' || c == '"') {
        const size_t end = f.find(c, i + 1);
        const size_t stop = end == std::string_view::npos ? f.size() : end;
        out.append(f.substr(i + 1, stop - i - 1));
        i = stop == f.size() ? stop : stop + 1;
        continue;
      }
      if (c == '/') {
        if (fs_.dateSeparator) out += fs_.dateSeparator;
      } else if (c == ':') {
        if (fs_.timeSeparator) out += fs_.timeSeparator;
      } else {
        out += c;
      }
      ++i;
    }
  }

 private:
  // Writes the field of `count` letters at `i`; gives where the pattern goes on.
  size_t field(std::string& out, std::string_view f, size_t i, size_t count, char token, int level) {
    const int n = int(std::min<size_t>(count, 9));
    switch (token) {
      case 'Y':
        if (n <= 2) appendNumber(out, ((p_.year % 100) + 100) % 100, 2);
        else appendNumber(out, p_.year, 4);
        return i + count;
      case 'M':
        if (n == 1) appendNumber(out, p_.month, 1);
        else if (n == 2) appendNumber(out, p_.month, 2);
        else if (n == 3) out += fs_.shortMonthNames[size_t(p_.month - 1)];
        else out += fs_.longMonthNames[size_t(p_.month - 1)];
        return i + count;
      case 'D':
        if (n <= 2) appendNumber(out, p_.day, n);
        else if (n == 3) out += fs_.shortDayNames[size_t(p_.weekDay - 1)];
        else if (n == 4) out += fs_.longDayNames[size_t(p_.weekDay - 1)];
        else append(out, n == 5 ? fs_.shortDateFormat : fs_.longDateFormat, level + 1);
        return i + count;
      case 'H': {
        int hour = p_.hour;
        if (twelveHourClock(f, i + count)) {
          if (hour == 0) hour = 12;
          else if (hour > 12) hour -= 12;
        }
        appendNumber(out, hour, n == 1 ? 1 : 2);
        return i + count;
      }
      case 'N':
        appendNumber(out, p_.minute, n == 1 ? 1 : 2);
        return i + count;
      case 'S':
        appendNumber(out, p_.second, n == 1 ? 1 : 2);
        return i + count;
      case 'Z':
        appendNumber(out, p_.ms, n == 1 ? 1 : 3);
        return i + count;
      case 'T':
        append(out, n == 1 ? fs_.shortTimeFormat : fs_.longTimeFormat, level + 1);
        return i + count;
      case 'C':
        append(out, fs_.shortDateFormat, level + 1);
        if (p_.hour || p_.minute || p_.second) {
          out += ' ';
          append(out, fs_.longTimeFormat, level + 1);
        }
        return i + count;
      case 'A': {
        const bool pm = p_.hour >= 12;
        if (startsNoCase(f, i, "AM/PM")) {
          out.append(f.substr(pm ? i + 3 : i, 2));  // in the case written
          return i + 5;
        }
        if (startsNoCase(f, i, "A/P")) {
          out += f[pm ? i + 2 : i];
          return i + 3;
        }
        if (startsNoCase(f, i, "AMPM")) {
          out += pm ? fs_.timePMString : fs_.timeAMString;
          return i + 4;
        }
        out += f[i];
        return i + 1;
      }
      default:
        out.append(f.substr(i, count));
        return i + count;
    }
  }

  // An hour shows on the 12-hour clock when an am/pm field follows it before
  // the next hour field (outside quoted text).
  static bool twelveHourClock(std::string_view f, size_t from) {
    char quote = 0;
    for (size_t k = from; k < f.size(); ++k) {
      const char c = f[k];
      if (quote) {
        if (c == quote) quote = 0;
        continue;
      }
      if (c == '\'' || c == '"') quote = c;
      else if (c == 'h' || c == 'H') return false;
      else if (c == 'a' || c == 'A')
        return startsNoCase(f, k, "AM/PM") || startsNoCase(f, k, "A/P") || startsNoCase(f, k, "AMPM");
    }
    return false;
  }

  const Parts& p_;
  const FormatSettings& fs_;
};

// Reading texts: a position moving through the text.
class Scanner {
 public:
  explicit Scanner(std::string_view s) : s_(s) {}

  void blanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
  }
  bool atEnd() {
    blanks();
    return pos_ >= s_.size();
  }
  // Up to four digits (the number stops growing past 999).
  bool number(int& value, int& digits) {
    blanks();
    size_t i = pos_;
    int v = 0;
    while (i < s_.size() && s_[i] >= '0' && s_[i] <= '9' && v < 1000) v = v * 10 + (s_[i++] - '0');
    if (i == pos_) return false;
    digits = int(i - pos_);
    value = v;
    pos_ = i;
    return true;
  }
  bool character(char c) {
    blanks();
    if (!c || pos_ >= s_.size() || s_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool word(std::string_view w) {
    blanks();
    if (w.empty() || !startsNoCase(s_, pos_, w)) return false;
    pos_ += w.size();
    return true;
  }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder dateOrderOf(std::string_view shortDateFormat) {
  char quote = 0;
  for (const char c : shortDateFormat) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') quote = c;
    switch (upper(c)) {
      case 'D': return DateOrder::DMY;
      case 'M': return DateOrder::MDY;
      case 'Y': return DateOrder::YMD;
      default: break;
    }
  }
  return DateOrder::MDY;
}

int currentYear() {
  int y = 0, m = 0, d = 0;
  decodeDate(now(), y, m, d);
  return y;
}

bool scanDate(Scanner& in, double& out, const FormatSettings& fs) {
  int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
  if (!in.number(n1, l1) || !in.character(fs.dateSeparator) || !in.number(n2, l2)) return false;
  const DateOrder order = dateOrderOf(fs.shortDateFormat);
  int year, month, day, yearDigits;
  if (in.character(fs.dateSeparator)) {
    if (!in.number(n3, l3)) return false;
    if (order == DateOrder::YMD || l1 > 2) {  // a first number of three or four digits is a year
      year = n1, yearDigits = l1, month = n2, day = n3;
    } else if (order == DateOrder::DMY) {
      year = n3, yearDigits = l3, month = n2, day = n1;
    } else {
      year = n3, yearDigits = l3, month = n1, day = n2;
    }
  } else {
    year = currentYear(), yearDigits = 4;
    if (order == DateOrder::DMY) day = n1, month = n2;
    else month = n1, day = n2;
  }
  if (year <= 99 && yearDigits <= 2) {
    const int base = currentYear() - fs.twoDigitYearCenturyWindow;
    year += base / 100 * 100;
    if (fs.twoDigitYearCenturyWindow > 0 && year < base) year += 100;
  }
  return tryEncodeDate(year, month, day, out);
}

bool scanAmPm(Scanner& in, const FormatSettings& fs, int& baseHour) {
  if (in.word(fs.timeAMString) || in.word("AM")) baseHour = 0;
  else if (in.word(fs.timePMString) || in.word("PM")) baseHour = 12;
  else return false;
  return true;
}

// [am/pm] h [: n [: s [. z]]] [am/pm]
bool scanTime(Scanner& in, double& out, const FormatSettings& fs) {
  int baseHour = -1;
  scanAmPm(in, fs, baseHour);
  int hour = 0, minute = 0, second = 0, ms = 0, digits = 0;
  if (!in.number(hour, digits)) return false;
  if (in.character(fs.timeSeparator)) {
    if (!in.number(minute, digits)) return false;
    if (in.character(fs.timeSeparator)) {
      if (!in.number(second, digits)) return false;
      if (in.character(fs.decimalSeparator) || in.character('.'))
        if (!in.number(ms, digits)) return false;
    }
  }
  if (baseHour < 0) scanAmPm(in, fs, baseHour);
  if (baseHour >= 0) {
    if (hour == 0 || hour > 12) return false;
    if (hour == 12) hour = 0;
    hour += baseHour;
  }
  return tryEncodeTime(hour, minute, second, ms, out);
}

}  // namespace

std::string formatDateTime(std::string_view pattern, double dateTime, const FormatSettings& fs) {
  const Parts parts(dateTime);
  std::string out;
  DateTimeWriter(parts, fs).append(out, pattern.empty() ? "c" : pattern, 0);
  return out;
}

std::string dateToText(double dateTime, const FormatSettings& fs) { return formatDateTime("ddddd", dateTime, fs); }
std::string timeToText(double dateTime, const FormatSettings& fs) { return formatDateTime("tt", dateTime, fs); }
std::string dateTimeToText(double dateTime, const FormatSettings& fs) { return formatDateTime("c", dateTime, fs); }

bool tryTextToDate(std::string_view text, double& out, const FormatSettings& fs) {
  Scanner in(text);
  double v = 0;
  if (!scanDate(in, v, fs) || !in.atEnd()) return false;
  out = v;
  return true;
}

bool tryTextToTime(std::string_view text, double& out, const FormatSettings& fs) {
  Scanner in(text);
  double v = 0;
  if (!scanTime(in, v, fs) || !in.atEnd()) return false;
  out = v;
  return true;
}

bool tryTextToDateTime(std::string_view text, double& out, const FormatSettings& fs) {
  Scanner in(text);
  double date = 0, time = 0;
  if (scanDate(in, date, fs) && (in.atEnd() || (scanTime(in, time, fs) && in.atEnd()))) {
    out = date >= 0 ? date + time : date - time;
    return true;
  }
  return tryTextToTime(text, out, fs);
}

}  // namespace platform
