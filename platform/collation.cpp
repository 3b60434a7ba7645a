// Comparing texts by the user's locale, as the system's string sort does:
// punctuation counts; ignoring case leaves accents counting.
#include <unicode/tblcoll.h>
#include <unicode/ucol.h>
#include <unicode/uniset.h>
#include <unicode/usetiter.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "platform/errors.h"
#include "platform/locale.h"
#include "platform/locale_data.h"
#include "platform/windows_1252.h"

namespace platform {
namespace {

int sign(int v) { return (v > 0) - (v < 0); }

// A Windows-1252 text widened into a buffer on the stack when it is short.
class WideBuffer {
 public:
  explicit WideBuffer(std::string_view ansi) : size_(ansi.size()) {
    char16_t* p = inline_;
    if (ansi.size() > kInline) {
      heap_.resize(ansi.size());
      p = heap_.data();
    }
    for (size_t i = 0; i < ansi.size(); ++i) p[i] = ansiCharToWide(uint8_t(ansi[i]));
    data_ = p;
  }
  WideBuffer(const WideBuffer&) = delete;
  WideBuffer& operator=(const WideBuffer&) = delete;
  std::u16string_view view() const { return {data_, size_}; }

 private:
  static constexpr size_t kInline = 256;
  char16_t inline_[kInline];
  std::u16string heap_;
  const char16_t* data_ = nullptr;
  size_t size_;
};

bool isAscii(std::string_view s) {
  for (const char c : s)
    if (uint8_t(c) >= 0x80) return false;
  return true;
}

bool allAscii(const icu::UnicodeString& s) {
  for (int32_t i = 0; i < s.length(); ++i)
    if (s.charAt(i) >= 0x80) return false;
  return true;
}

// The next character of `s` from `i` on that weighs something, or -1 at the end.
int nextWeighed(const AsciiCollation& w, std::string_view s, size_t& i) {
  while (i < s.size() && w.primary[uint8_t(s[i])] == 0) ++i;
  return i < s.size() ? uint8_t(s[i++]) : -1;
}

// Compares two sequences of weights, one table at a time.
template <typename Table>
int compareLevel(const AsciiCollation& w, const Table& table, std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  for (;;) {
    const int ca = nextWeighed(w, a, i), cb = nextWeighed(w, b, j);
    if (ca < 0 || cb < 0) return ca < 0 ? (cb < 0 ? 0 : -1) : 1;
    if (table[size_t(ca)] != table[size_t(cb)]) return table[size_t(ca)] < table[size_t(cb)] ? -1 : 1;
  }
}

int foldedAscii(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : uint8_t(c); }

// Both texts are ASCII and the locale's tables are usable.
int compareAsciiTexts(const AsciiCollation& w, std::string_view a, std::string_view b, bool ignoreCase) {
  // An identical beginning weighs the same at every level.
  size_t p = 0;
  while (p < a.size() && p < b.size() && a[p] == b[p]) ++p;
  a.remove_prefix(p);
  b.remove_prefix(p);
  if (int r = compareLevel(w, w.primary, a, b)) return r;
  if (int r = compareLevel(w, w.secondary, a, b)) return r;
  if (!ignoreCase) {
    if (int r = compareLevel(w, w.tertiary, a, b)) return r;
    return sign(a.compare(b));
  }
  for (size_t k = 0; k < a.size() && k < b.size(); ++k)
    if (foldedAscii(a[k]) != foldedAscii(b[k])) return foldedAscii(a[k]) < foldedAscii(b[k]) ? -1 : 1;
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int32_t icuLength(size_t n) {
  if (n > size_t(INT32_MAX)) throw Exception("Text too long to compare");
  return int32_t(n);
}

}  // namespace

int compareWide(std::u16string_view a, std::u16string_view b, bool ignoreCase) {
  const LocaleData& data = userLocaleData();
  const icu::Collator& collator = ignoreCase ? *data.noCaseCollator : *data.caseCollator;
  const auto* pa = reinterpret_cast<const UChar*>(a.data());
  const auto* pb = reinterpret_cast<const UChar*>(b.data());
  const int32_t la = icuLength(a.size()), lb = icuLength(b.size());
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult r = collator.compare(pa, la, pb, lb, status);
  if (U_FAILURE(status)) throw Exception(std::string("Text comparison failed: ") + u_errorName(status));
  if (r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
  // Equal to the collator: only texts that are the same (the same without
  // regard to case) are equal; the others keep a fixed order.
  if (ignoreCase) {
    status = U_ZERO_ERROR;
    const int c = u_strCaseCompare(pa, la, pb, lb, U_FOLD_CASE_DEFAULT | U_COMPARE_CODE_POINT_ORDER, &status);
    return sign(c);
  }
  return sign(u_strCompare(pa, la, pb, lb, true));
}

AsciiCollation asciiCollationOf(const icu::Collator& collator) {
  AsciiCollation w;
  UErrorCode status = U_ZERO_ERROR;
  // No ASCII character may take part in a contraction or an expansion.
  if (auto* rules = dynamic_cast<const icu::RuleBasedCollator*>(&collator)) {
    icu::UnicodeSet contractions, expansions;
    ucol_getContractionsAndExpansions(rules->toUCollator(), contractions.toUSet(), expansions.toUSet(), true,
                                      &status);
    if (U_FAILURE(status)) return w;
    for (icu::UnicodeSetIterator it(contractions); it.next();)
      if (it.isString() ? allAscii(it.getString()) : it.getCodepoint() < 0x80) return w;
    if (expansions.containsSome(0, 0x7F)) return w;
  } else {
    return w;
  }
  std::unique_ptr<icu::Collator> levels[3];
  const UColAttributeValue strengths[3] = {UCOL_PRIMARY, UCOL_SECONDARY, UCOL_TERTIARY};
  for (int k = 0; k < 3; ++k) {
    levels[k].reset(collator.clone());
    if (!levels[k]) return w;
    levels[k]->setAttribute(UCOL_STRENGTH, strengths[k], status);
  }
  if (U_FAILURE(status)) return w;
  auto cmp = [&](int level, char16_t x, char16_t y) {
    UErrorCode st = U_ZERO_ERROR;
    const UChar ux = x, uy = y;
    const UCollationResult r = levels[level]->compare(&ux, 1, &uy, 1, st);
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
  };
  std::vector<char16_t> weighed;
  for (char16_t c = 0; c < 0x80; ++c) {
    UErrorCode st = U_ZERO_ERROR;
    const UChar uc = c;
    const bool primaryIgnorable = levels[0]->compare(&uc, 1, nullptr, 0, st) == UCOL_EQUAL;
    const bool ignorable = levels[2]->compare(&uc, 1, nullptr, 0, st) == UCOL_EQUAL;
    if (primaryIgnorable != ignorable) return w;  // weighs only at the lower levels
    if (!ignorable) weighed.push_back(c);
  }
  std::stable_sort(weighed.begin(), weighed.end(), [&](char16_t x, char16_t y) { return cmp(0, x, y) < 0; });
  uint16_t rank = 0;
  for (size_t k = 0; k < weighed.size(); ++k) {
    if (k == 0 || cmp(0, weighed[k - 1], weighed[k]) != 0) ++rank;
    w.primary[weighed[k]] = rank;
  }
  // Within each group of equal primary weight, the lower levels' order.
  for (const char16_t c : weighed) {
    for (const char16_t d : weighed) {
      if (w.primary[c] != w.primary[d]) continue;
      if (cmp(1, d, c) < 0) ++w.secondary[c];
      if (cmp(1, d, c) == 0 && cmp(2, d, c) < 0) ++w.tertiary[c];
    }
  }
  w.usable = true;
  return w;
}

int compareAnsi(std::string_view a, std::string_view b, bool ignoreCase) {
  const AsciiCollation& ascii = userLocaleData().ascii;
  if (ascii.usable && isAscii(a) && isAscii(b)) return compareAsciiTexts(ascii, a, b, ignoreCase);
  const WideBuffer wa(a), wb(b);
  return compareWide(wa.view(), wb.view(), ignoreCase);
}

bool sameTextAnsi(std::string_view a, std::string_view b) { return compareAnsi(a, b, true) == 0; }

}  // namespace platform
