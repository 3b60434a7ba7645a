#include "archive/selection.h"

#include <algorithm>

#include "platform/locale.h"

namespace archive {
namespace {

// Hidden, system, volume label and folder: the bits that exclude an entry
// unless the search attributes hold them too.
constexpr uint32_t kExcludingAttributes = 0x02 | 0x04 | 0x08 | 0x10;

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string_view lastComponent(std::string_view path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string folderPart(std::string_view path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

// "*" tries the rest of the pattern against every remaining position of the
// name but the end; a pattern of just "*" takes whatever remains.
bool wildcardMatch(std::string_view n, std::string_view m) {
  if (m == "*.*") return true;
  size_t p = 0, s = 0;
  size_t star = std::string_view::npos, resume = 0;
  for (;;) {
    if (s == n.size()) {
      std::string_view rest = m.substr(p);
      if (rest.empty() || rest == "*") return true;
    } else if (m.substr(p) == "*") {
      return true;
    } else if (p < m.size() && m[p] == '*') {
      star = p++;
      resume = s;
      continue;
    } else if (p < m.size() && (m[p] == '?' || m[p] == n[s])) {
      ++p;
      ++s;
      continue;
    }
    if (star == std::string_view::npos || resume + 1 >= n.size()) return false;
    p = star + 1;
    s = ++resume;
  }
}

}  // namespace

std::string prepareMask(std::string_view mask, TZAStorePathMode storePath) {
  std::string m(mask);
  if (storePath != spFullPathWithDrive) {
    if (m.size() >= 2 && m[1] == ':') {
      m.erase(0, 2);
    } else if (m.size() >= 2 && isSeparator(m[0]) && isSeparator(m[1])) {
      // \\server\share
      size_t server = m.find_first_of("/\\", 2);
      size_t share = server == std::string::npos ? std::string::npos : m.find_first_of("/\\", server + 1);
      m.erase(0, share == std::string::npos ? m.size() : share);
    }
  }
  std::replace(m.begin(), m.end(), '\\', '/');
  if (m.size() > kMaxMaskLength) m.resize(kMaxMaskLength);
  return m;
}

bool maskMatches(std::string_view name, std::string_view mask) {
  if (mask.empty()) return false;
  std::string m(mask);
  if (size_t at = m.find("*.*"); at != std::string::npos) m.replace(at, 3, "*");
  const bool noExtension = mask.back() == '.';
  if (noExtension) m.pop_back();
  std::string n(name);
  if (!n.empty() && n.back() == '.') n.pop_back();
  if (!wildcardMatch(platform::lowerAnsi(n), platform::lowerAnsi(m))) return false;
  if (!noExtension) return true;
  std::string_view last = lastComponent(n);
  size_t dot = last.rfind('.');
  return dot == std::string_view::npos || last.substr(dot) == ".";
}

bool entryMatches(const TDirItem& item, std::string_view preparedMask, uint32_t searchAttr, bool recurse) {
  if (!recurse) {
    std::string entry = item.name;
    if (!entry.empty() && entry.back() == '/') entry.pop_back();
    std::replace(entry.begin(), entry.end(), '/', '\\');
    std::string maskPath(preparedMask);
    std::replace(maskPath.begin(), maskPath.end(), '/', '\\');
    if (platform::lowerAnsi(folderPart(entry)) != platform::lowerAnsi(folderPart(maskPath))) return false;
  }
  std::string_view name = item.name;
  if (!name.empty() && isSeparator(name.back())) name.remove_suffix(1);
  std::string backslashed(name);
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  if (!maskMatches(name, preparedMask) && !maskMatches(lastComponent(backslashed), preparedMask)) return false;
  return (item.header.externalAttr & kExcludingAttributes & ~searchAttr) == 0;
}

size_t selectEntries(TZADirArray& items, std::string_view mask, uint32_t searchAttr, const TZAOptions& options) {
  const std::string prepared = prepareMask(mask, options.StorePath);
  size_t selected = 0;
  for (TDirItem& item : items) {
    item.selected = entryMatches(item, prepared, searchAttr, options.Recurse);
    if (item.selected) ++selected;
  }
  return selected;
}

}  // namespace archive
