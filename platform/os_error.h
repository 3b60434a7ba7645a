// Raising EOSError for a failed system call, with the system's reason.
#pragma once

#include <string_view>

namespace platform {

// EOSError(errorNumber, what + " \"" + path + "\": " + the system's text).
[[noreturn]] void throwOSError(int errorNumber, std::string_view what, std::string_view path);

}  // namespace platform
