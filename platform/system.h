// Drives, memory, time.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

// The kind of device holding `path`, from the type of the file system
// mounted there: network file systems Remote, tmpfs and ramfs RamDisk,
// iso9660 and udf CdRom, a block device whose removable flag is set
// Removable, anything else Fixed. NoRootDir when the path does not exist,
// Unknown when the mount table cannot be read.
DriveType driveType(std::string_view path);
// Bytes available to this user on the file system holding `path`, or, for a
// path that does not exist yet, its nearest existing folder; 0 when unknown.
uint64_t freeSpace(std::string_view path);
// MemAvailable of /proc/meminfo in bytes (MemFree on kernels without it).
uint64_t availablePhysicalMemory();
// Milliseconds since an arbitrary start, wrapping after 2^32 like GetTickCount.
uint32_t tickCount();
uint64_t tickCount64();
void sleepMs(uint32_t milliseconds);

}  // namespace platform
