#include "archive/entry_paths.h"

namespace archive {

bool staysInsideTarget(std::string_view name) {
  auto separator = [](char c) { return c == '/' || c == '\\'; };
  if (name.empty()) return true;
  if (separator(name[0]) || name.find(':') != std::string_view::npos) return false;
  size_t start = 0;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !separator(name[i])) continue;
    const std::string_view component = name.substr(start, i - start);
    if (component == "..") return false;
    if (component.empty() && i < name.size() && i > 0) return false;  // two separators in a row
    start = i + 1;
  }
  return true;
}

}  // namespace archive
