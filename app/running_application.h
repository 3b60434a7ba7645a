// Whether a program of a given file name is running.
#pragma once

#include <string_view>
#include <vector>

#include "platform/process.h"

namespace app {

// True when a process's program file name, or the part of it after its last
// "\" or ":", equals `name` with ASCII letters compared without regard to
// case. Every process is looked at.
bool isProgramRunning(std::string_view name, const std::vector<platform::ProcessEntry>& processes);

// The same on a snapshot of the running processes; false when the snapshot
// cannot be taken.
bool isProgramRunning(std::string_view name);

}  // namespace app
