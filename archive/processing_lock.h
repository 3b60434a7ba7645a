// The lock shared by every archive object of the process, held for a whole
// processing run over selected entries so that only one runs at a time.
// Recursive: an event handler may start a run of another archive object.
#pragma once

#include <mutex>

namespace archive {

std::recursive_mutex& processingLock();

}  // namespace archive
