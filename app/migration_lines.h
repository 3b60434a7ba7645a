// Joining script lines into one query text.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The lines joined by CR LF (no line break after the last one).
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace app
