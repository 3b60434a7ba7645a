// Comparing texts by the user's locale, as the system's string sort does:
// punctuation counts; ignoring case leaves accents counting.
#include <unicode/ustring.h>

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

int compareAnsi(std::string_view a, std::string_view b, bool ignoreCase) {
  const WideBuffer wa(a), wb(b);
  return compareWide(wa.view(), wb.view(), ignoreCase);
}

bool sameTextAnsi(std::string_view a, std::string_view b) { return compareAnsi(a, b, true) == 0; }

}  // namespace platform
