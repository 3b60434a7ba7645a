// The number, currency, date and time conventions of a locale, read from its
// locale data and written in the toolkit's terms: Windows-1252 texts, date and
// time patterns in the toolkit's letters, currency placement codes.
#include <algorithm>
#include <memory>
#include <vector>

#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uchar.h>

#include "platform/locale.h"
#include "platform/locale_data.h"
#include "platform/windows_1252.h"

namespace platform {
namespace {

constexpr char kNbsp = char(0xA0);

std::u16string_view view(const icu::UnicodeString& s) {
  return {reinterpret_cast<const char16_t*>(s.getBuffer()), size_t(s.length())};
}

std::string ansiOf(const icu::UnicodeString& s) {
  // Blanks of other kinds (narrow no-break space...) become the no-break space.
  std::u16string wide(view(s));
  for (char16_t& u : wide)
    if (u != u' ' && u_charType(u) == U_SPACE_SEPARATOR && wideCharToAnsi(u) < 0) u = 0xA0;
  return wideToAnsi(wide);
}

bool isBlank(char16_t u) { return u_charType(u) == U_SPACE_SEPARATOR; }
bool isFormatMark(char16_t u) { return u_charType(u) == U_FORMAT_CHAR; }

// A separator as one Windows-1252 character: blanks without a place become
// the no-break space, anything else without a place the fallback.
char separatorOf(const icu::UnicodeString& s, char fallback) {
  for (const char16_t u : view(s)) {
    if (isFormatMark(u)) continue;
    const int b = wideCharToAnsi(u);
    if (b >= 0) return char(b);
    return isBlank(u) ? kNbsp : fallback;
  }
  return fallback;
}

// A date or time pattern cut into fields ("MM") and literal texts.
struct PatternPiece {
  char16_t letter = 0;  // 0 for a literal
  int count = 0;
  std::u16string literal;
};

std::vector<PatternPiece> cutPattern(const icu::UnicodeString& pattern) {
  std::vector<PatternPiece> pieces;
  const std::u16string_view p = view(pattern);
  auto literal = [&](char16_t u) {
    if (pieces.empty() || pieces.back().letter) pieces.push_back({});
    pieces.back().literal += u;
  };
  for (size_t i = 0; i < p.size();) {
    const char16_t u = p[i];
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')) {
      size_t j = i;
      while (j < p.size() && p[j] == u) ++j;
      pieces.push_back({u, int(j - i), {}});
      i = j;
    } else if (u == '\'') {
      if (i + 1 < p.size() && p[i + 1] == '\'') {
        literal(u);
        i += 2;
        continue;
      }
      ++i;  // quoted run; '' inside stands for one quote
      while (i < p.size()) {
        if (p[i] == '\'') {
          if (i + 1 < p.size() && p[i + 1] == '\'') {
            literal(u'\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        literal(p[i++]);
      }
    } else {
      literal(u);
      ++i;
    }
  }
  return pieces;
}

// The first separator character between two fields of a pattern.
char separatorOfPattern(const icu::UnicodeString& pattern, char fallback) {
  const auto pieces = cutPattern(pattern);
  for (size_t k = 1; k + 1 < pieces.size(); ++k) {
    if (pieces[k].letter || !pieces[k - 1].letter || !pieces[k + 1].letter) continue;
    for (const char16_t u : pieces[k].literal) {
      if (isBlank(u) || isFormatMark(u)) continue;
      const int b = wideCharToAnsi(u);
      return b >= 0 ? char(b) : fallback;
    }
  }
  return fallback;
}

std::string repeated(char c, int n) { return std::string(size_t(n), c); }

std::string toolkitField(char16_t letter, int count, bool widenYear) {
  switch (letter) {
    case 'y': case 'u': case 'Y': case 'U': case 'r':
      return count == 2 && !widenYear ? "yy" : "yyyy";
    case 'M': case 'L':
      return repeated('m', std::min(count, 4));
    case 'd':
      return count == 1 ? "d" : "dd";
    case 'E': case 'c': case 'e':
      return count <= 3 ? "ddd" : "dddd";
    case 'H': case 'k': case 'h': case 'K':
      return count == 1 ? "h" : "hh";
    case 'm':
      return count == 1 ? "n" : "nn";
    case 's':
      return count == 1 ? "s" : "ss";
    case 'S':
      return "zzz";
    case 'a': case 'b': case 'B':
      return "AMPM";
    default:
      return {};  // eras, zones, weeks...: not shown
  }
}

// Converts a pattern to the toolkit's letters. The locale's separator
// character `sep` becomes `placeholder` ("/" or ":"); other literal text that
// the toolkit would read as a pattern letter is quoted.
std::string toolkitPattern(const icu::UnicodeString& pattern, char sep, char placeholder, bool widenYear) {
  std::string out;
  std::string quoted;
  auto flush = [&] {
    if (quoted.empty()) return;
    const char q = quoted.find('"') == std::string::npos ? '"' : '\'';
    out += q + quoted + q;
    quoted.clear();
  };
  for (const PatternPiece& piece : cutPattern(pattern)) {
    if (piece.letter) {
      flush();
      out += toolkitField(piece.letter, piece.count, widenYear);
      continue;
    }
    const size_t before = out.size() + quoted.size();
    for (const char16_t u : piece.literal) {
      if (isFormatMark(u)) continue;
      const int b = isBlank(u) ? ' ' : wideCharToAnsi(u);
      if (b < 0) continue;
      const char c = char(b);
      if (c == sep) {
        flush();
        out += placeholder;
      } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '"' || c == '\'' || c == '/' || c == ':') {
        quoted += c;
      } else {
        flush();
        out += c;
      }
    }
    // A literal made only of characters without a place still parts its
    // fields ("y年M月d日" must not become "yyyymd").
    if (out.size() + quoted.size() == before && !out.empty()) out += ' ';
  }
  flush();
  // Fields left out may leave blanks behind.
  while (!out.empty() && out.back() == ' ') out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(0, 1);
  return out;
}

// The shape of a currency pattern: "$" the symbol, "N" the number, "-", "(",
// ")" and " " as they stand.
std::string currencyShape(std::u16string_view sub) {
  std::string shape;
  bool inQuote = false;
  for (const char16_t u : sub) {
    if (u == '\'') {
      inQuote = !inQuote;
      continue;
    }
    if (inQuote || isFormatMark(u)) continue;
    char c = 0;
    if (u == 0xA4) c = '$';
    else if (u == '#' || u == '0' || u == ',' || u == '.' || u == '@' || (u >= '1' && u <= '9')) c = 'N';
    else if (u == '-' || u == '(' || u == ')') c = char(u);
    else if (isBlank(u)) c = ' ';
    if (c && (shape.empty() || shape.back() != c || c == '(' || c == ')')) shape += c;
  }
  return shape;
}

void setCurrencyFormats(const icu::UnicodeString& pattern, FormatSettings& fs) {
  static constexpr const char* kPositive[] = {"$N", "N$", "$ N", "N $"};
  static constexpr const char* kNegative[] = {"($N)", "-$N", "$-N", "$N-", "(N$)", "-N$", "N-$", "N$-",
                                              "-N $", "-$ N", "N $-", "$ N-", "$ -N", "N- $", "($ N)", "(N $)"};
  const std::u16string_view p = view(pattern);
  const size_t semi = p.find(u';');
  const std::string positive = currencyShape(p.substr(0, semi));
  const std::string negative = semi == std::u16string_view::npos ? "-" + positive : currencyShape(p.substr(semi + 1));
  for (uint8_t k = 0; k < 4; ++k)
    if (positive == kPositive[k]) fs.currencyFormat = k;
  static constexpr uint8_t kMinusFirst[] = {1, 5, 9, 8};
  fs.negCurrFormat = kMinusFirst[fs.currencyFormat];
  for (uint8_t k = 0; k < 16; ++k)
    if (negative == kNegative[k]) fs.negCurrFormat = k;
}

template <typename Names>
void copyNames(const icu::UnicodeString* source, int32_t count, int32_t first, Names& names) {
  for (size_t k = 0; k < names.size(); ++k)
    if (first + int32_t(k) < count) names[k] = ansiOf(source[first + int32_t(k)]);
}

icu::UnicodeString patternOf(icu::DateFormat* format) {
  icu::UnicodeString pattern;
  std::unique_ptr<icu::DateFormat> owned(format);
  if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(owned.get())) simple->toPattern(pattern);
  return pattern;
}

}  // namespace

FormatSettings formatSettingsOf(const icu::Locale& locale) {
  FormatSettings fs;  // the invariant forms stand where the locale has nothing
  UErrorCode status = U_ZERO_ERROR;

  const icu::DecimalFormatSymbols symbols(locale, status);
  if (U_SUCCESS(status)) {
    fs.decimalSeparator = separatorOf(symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol), '.');
    fs.thousandSeparator = separatorOf(symbols.getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol), ',');
    if (fs.thousandSeparator == fs.decimalSeparator) fs.thousandSeparator = fs.decimalSeparator == '.' ? ',' : '.';
    fs.currencyString = ansiOf(symbols.getSymbol(icu::DecimalFormatSymbols::kCurrencySymbol));
  }
  status = U_ZERO_ERROR;
  std::unique_ptr<icu::NumberFormat> currency(icu::NumberFormat::createCurrencyInstance(locale, status));
  if (U_SUCCESS(status)) {
    if (auto* decimal = dynamic_cast<icu::DecimalFormat*>(currency.get())) {
      icu::UnicodeString pattern;
      decimal->toPattern(pattern);
      setCurrencyFormats(pattern, fs);
      fs.currencyDecimals = uint8_t(std::clamp(decimal->getMinimumFractionDigits(), 0, 18));
    }
  }

  const icu::UnicodeString shortDate = patternOf(icu::DateFormat::createDateInstance(icu::DateFormat::kShort, locale));
  const icu::UnicodeString longDate = patternOf(icu::DateFormat::createDateInstance(icu::DateFormat::kFull, locale));
  const icu::UnicodeString shortTime = patternOf(icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, locale));
  const icu::UnicodeString longTime = patternOf(icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, locale));
  if (!shortDate.isEmpty()) {
    fs.dateSeparator = separatorOfPattern(shortDate, '/');
    fs.shortDateFormat = toolkitPattern(shortDate, fs.dateSeparator, '/', true);
  }
  // The long date keeps its punctuation as written ("d. MMMM").
  if (!longDate.isEmpty()) fs.longDateFormat = toolkitPattern(longDate, 0, '/', false);
  if (!longTime.isEmpty()) {
    fs.timeSeparator = separatorOfPattern(longTime, ':');
    fs.longTimeFormat = toolkitPattern(longTime, fs.timeSeparator, ':', false);
  }
  if (!shortTime.isEmpty()) fs.shortTimeFormat = toolkitPattern(shortTime, fs.timeSeparator, ':', false);

  status = U_ZERO_ERROR;
  const icu::DateFormatSymbols dates(locale, status);
  if (U_SUCCESS(status)) {
    using S = icu::DateFormatSymbols;
    int32_t count = 0;
    const icu::UnicodeString* names = dates.getAmPmStrings(count);
    if (count >= 2) {
      fs.timeAMString = ansiOf(names[0]);
      fs.timePMString = ansiOf(names[1]);
    }
    // The names as they stand alone (nominative), as the system lists them.
    names = dates.getMonths(count, S::STANDALONE, S::ABBREVIATED);
    copyNames(names, count, 0, fs.shortMonthNames);
    names = dates.getMonths(count, S::STANDALONE, S::WIDE);
    copyNames(names, count, 0, fs.longMonthNames);
    // Week days are numbered from 1 = Sunday; slot 0 is empty.
    names = dates.getWeekdays(count, S::STANDALONE, S::ABBREVIATED);
    copyNames(names, count, 1, fs.shortDayNames);
    names = dates.getWeekdays(count, S::STANDALONE, S::WIDE);
    copyNames(names, count, 1, fs.longDayNames);
  }
  return fs;
}

}  // namespace platform
