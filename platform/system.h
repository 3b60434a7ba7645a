// Drives, memory, time.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

// The kind of device holding `path` (mount information, the /sys removable flag).
DriveType driveType(std::string_view path);
// Bytes available to this user on the file system holding `path`; 0 when unknown.
uint64_t freeSpace(std::string_view path);
// MemAvailable of /proc/meminfo in bytes.
uint64_t availablePhysicalMemory();
// Milliseconds since an arbitrary start, wrapping after 2^32 like GetTickCount.
uint32_t tickCount();
uint64_t tickCount64();
void sleepMs(uint32_t milliseconds);

}  // namespace platform
