// The file-name mask rule of a directory search. A mask is read the way the
// Windows search reads it:
//   "*"  any run of characters;
//   "*." (a star before a dot) any run of characters that does not pass the
//        last dot of the name, so "*.FDB" wants the extension FDB and "*.*"
//        matches every name, also one without a dot;
//   "?"  one character, or none at a dot or at the end of the name, so
//        "file?.txt" matches "file.txt" and "ab?" matches "ab";
//   "."  before "?", "*" or at the end of the mask: a dot, or nothing at the
//        end of the name, so "*." matches names without an extension;
// everything else stands for itself, without regard to case.
#include <vector>

#include "platform/filesystem.h"
#include "platform/name_case.h"

namespace platform {
namespace {

// Wildcards are coded outside the range of characters.
constexpr char32_t kStar = 0x110000;
constexpr char32_t kStarBeforeDot = 0x110001;
constexpr char32_t kOneOrNone = 0x110002;
constexpr char32_t kDotOrEnd = 0x110003;

std::u32string compileMask(std::string_view mask) {
  std::u32string chars = upcaseName(mask);
  std::u32string tokens;
  tokens.reserve(chars.size());
  for (size_t i = 0; i < chars.size(); ++i) {
    const char32_t c = chars[i];
    const char32_t next = i + 1 < chars.size() ? chars[i + 1] : 0;
    if (c == U'?') {
      tokens.push_back(kOneOrNone);
    } else if (c == U'*') {
      tokens.push_back(next == U'.' ? kStarBeforeDot : kStar);
    } else if (c == U'.' && (next == U'?' || next == U'*' || next == 0)) {
      tokens.push_back(kDotOrEnd);
    } else {
      tokens.push_back(c);
    }
  }
  return tokens;
}

}  // namespace

bool matchesMask(std::string_view name, std::string_view mask) {
  if (mask.empty()) return false;
  const std::u32string n = upcaseName(name);
  const std::u32string m = compileMask(mask);
  const size_t nl = n.size();
  const size_t ml = m.size();

  // dotAfter[i]: the name has a dot after position i.
  std::vector<bool> dotAfter(nl + 1, false);
  for (size_t i = nl; i-- > 0;) dotAfter[i] = (i + 1 < nl) && (n[i + 1] == U'.' || dotAfter[i + 1]);

  // matched[i * (ml + 1) + j]: the name from i matches the mask from j.
  std::vector<bool> matched((nl + 1) * (ml + 1), false);
  auto at = [&](size_t i, size_t j) { return matched[i * (ml + 1) + j]; };
  for (size_t i = nl + 1; i-- > 0;) {
    matched[i * (ml + 1) + ml] = (i == nl);
    for (size_t j = ml; j-- > 0;) {
      const char32_t t = m[j];
      const bool more = i < nl;
      bool ok;
      if (t == kStar) {
        ok = at(i, j + 1) || (more && at(i + 1, j));
      } else if (t == kStarBeforeDot) {
        ok = at(i, j + 1) || (more && (n[i] != U'.' || dotAfter[i]) && at(i + 1, j));
      } else if (t == kOneOrNone) {
        ok = (more && n[i] != U'.') ? at(i + 1, j + 1) : at(i, j + 1);
      } else if (t == kDotOrEnd) {
        ok = more ? (n[i] == U'.' && at(i + 1, j + 1)) : at(i, j + 1);
      } else {
        ok = more && n[i] == t && at(i + 1, j + 1);
      }
      matched[i * (ml + 1) + j] = ok;
    }
  }
  return at(0, 0);
}

}  // namespace platform
