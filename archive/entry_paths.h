// Where an entry may be written: names that would leave the target folder.
#pragma once

#include <string_view>

namespace archive {

// False for a name ("/" or "\" separators) that would place a file outside
// the target folder: an absolute path, a drive, a double separator (a
// network path) or a ".." component.
bool staysInsideTarget(std::string_view name);

}  // namespace archive
