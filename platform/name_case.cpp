#include "platform/name_case.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace platform {
namespace {

// Invalid bytes map to code points that no valid character maps to (lone
// low surrogates), one per byte value.
constexpr char32_t kInvalidByteBase = 0xDC00;

}  // namespace

std::u32string upcaseName(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
  const int32_t length = int32_t(utf8.size());
  int32_t i = 0;
  while (i < length) {
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) {
      // A bad sequence is skipped whole; keep each of its bytes.
      for (int32_t k = start; k < i; ++k) out.push_back(kInvalidByteBase + s[k]);
      continue;
    }
    out.push_back(char32_t(u_toupper(c)));
  }
  return out;
}

}  // namespace platform
