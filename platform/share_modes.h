// Windows sharing between open handles, in this process and in others.
//
// Every handle advertises what it does and what it forbids by holding shared
// locks on single bytes of a region far beyond any data the file can hold;
// an open first looks at the other handles' bytes, takes its own, and looks
// again (two opens racing each other may then both fail, never both succeed).
// The layout is shared by every process that opens the same file, so it does
// not change.
#pragma once

#include <cstdint>
#include <string>

namespace platform::share_modes {

constexpr uint64_t kRegionStart = 0x7FFFFFFFFFFFF000;
// Offsets inside the region.
constexpr uint64_t kHasRead = 0;      // the handle reads
constexpr uint64_t kHasWrite = 1;     // the handle writes
constexpr uint64_t kHasDelete = 2;    // the handle deletes the file when closed
constexpr uint64_t kDeniesRead = 3;   // the handle does not share reading
constexpr uint64_t kDeniesWrite = 4;  // the handle does not share writing
constexpr uint64_t kDeniesDelete = 5; // the handle does not share deleting or renaming
constexpr uint64_t kRegionLength = 6;
static_assert(kRegionStart + kRegionLength - 1 <= uint64_t(INT64_MAX), "lock offsets are signed 64-bit");

// What an open asks for: its access and the share flags of file.h.
struct Intent {
  bool read = false;
  bool write = false;
  bool remove = false;
  unsigned share = 0;
};

// True when a handle other than `fd` holds what `intent` may not meet.
bool conflictsWithOthers(int fd, const Intent& intent);
// Takes the bytes that advertise `intent` on `fd`; false when the handle
// cannot hold shared locks (a handle opened for writing only).
bool advertise(int fd, const Intent& intent);
// True when some open handle of the file at `nativePath` forbids deleting or
// renaming it. A path that cannot be opened is forbidden by nobody.
bool deleteForbidden(const std::string& nativePath);

}  // namespace platform::share_modes
