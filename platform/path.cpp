#include "platform/path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/name_case.h"

namespace platform {
namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

bool isAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

char upperAsciiChar(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool equalAsciiIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upperAsciiChar(a[i]) != upperAsciiChar(b[i])) return false;
  return true;
}

// The entry of `folder` whose name equals `name` without regard to case;
// the first in byte order when several do (possible only on Linux).
std::optional<std::string> findEntryIgnoringCase(const std::string& folder, std::string_view name) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return std::nullopt;
  const std::u32string wanted = upcaseName(name);
  const bool wantedAscii = isAscii(name);
  std::optional<std::string> found;
  while (const dirent* entry = readdir(dir)) {
    std::string_view entryName(entry->d_name);
    if (entryName == "." || entryName == "..") continue;
    // A character takes one to four bytes: skip names that cannot match.
    if (entryName.size() < wanted.size() || entryName.size() > 4 * wanted.size()) continue;
    // Two ASCII names compare letter by letter; only a name with other
    // characters needs the full case mapping (some of them map to ASCII).
    if (wantedAscii && isAscii(entryName)) {
      if (!equalAsciiIgnoringCase(entryName, name)) continue;
    } else if (upcaseName(entryName) != wanted) {
      continue;
    }
    if (!found || entryName < *found) found = std::string(entryName);
  }
  closedir(dir);
  return found;
}

}  // namespace

std::string nativePath(std::string_view path) {
  std::string result;
  if (path.empty()) return result;
  if (isSeparator(path.front())) result = "/";
  const bool trailingSeparator = isSeparator(path.back());

  bool resolving = true;  // false once a component exists in no spelling
  size_t pos = 0;
  while (pos < path.size()) {
    while (pos < path.size() && isSeparator(path[pos])) ++pos;
    size_t end = pos;
    while (end < path.size() && !isSeparator(path[end])) ++end;
    if (end == pos) break;
    const std::string_view component = path.substr(pos, end - pos);
    pos = end;

    const std::string folder = result;
    if (!result.empty() && result.back() != '/') result += '/';
    const size_t componentStart = result.size();
    result += component;
    if (!resolving) continue;

    struct stat st;
    if (lstat(result.c_str(), &st) == 0) continue;
    if (errno != ENOENT) {
      resolving = false;
      continue;
    }
    if (std::optional<std::string> entry = findEntryIgnoringCase(folder, component)) {
      result.replace(componentStart, std::string::npos, *entry);
    } else {
      resolving = false;
    }
  }
  if (trailingSeparator && !result.empty() && result.back() != '/') result += '/';
  return result;
}

std::string extractFilePath(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !isSeparator(path[i - 1])) --i;
  return std::string(path.substr(0, i));
}

std::string extractFileName(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !isSeparator(path[i - 1])) --i;
  return std::string(path.substr(i));
}

std::string joinPath(std::string_view folder, std::string_view name) {
  while (!name.empty() && isSeparator(name.front())) name.remove_prefix(1);
  if (folder.empty()) return std::string(name);
  while (!folder.empty() && isSeparator(folder.back())) folder.remove_suffix(1);
  std::string result(folder);
  result += '/';
  result += name;
  return result;
}

}  // namespace platform
