// One operating-system handle on a database file: create, open with the
// engine's access and share modes, positioned 64-bit reads and writes, size,
// flush and single-byte locks.
//
// Every operation that fails is tried a second time; before that, when the
// handle has gone bad (its size can no longer be asked), the file is opened
// again with the same name and modes. Only the second failure is reported,
// as EVZException carrying the file name, the numbers involved and the
// system's error code and text.
//
// Lock calls that fail for a reason other than a conflict (a file system
// without lock support) count as granted, and the handle remembers that
// until it is reopened, so databases on such media stay usable.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace vz {

class TVZDatabaseFile {
 public:
  // Access modes of open().
  static constexpr int kAccessReadOnly = 0;
  static constexpr int kAccessReadWrite = 1;
  // Share modes of open(): what other handles may do meanwhile.
  static constexpr int kShareExclusive = 0;
  static constexpr int kShareReadWrite = 1;
  static constexpr int kShareRead = 2;

  TVZDatabaseFile() = default;
  ~TVZDatabaseFile();
  TVZDatabaseFile(const TVZDatabaseFile&) = delete;
  TVZDatabaseFile& operator=(const TVZDatabaseFile&) = delete;

  // Deletes an existing file of that name (read-only or not) and creates an
  // empty one, open for reading and writing, shared with nobody.
  void create(const std::string& fileName);
  void open(const std::string& fileName, int accessMode, int shareMode);
  void close();

  bool isOpen() const { return open_; }
  const std::string& fileName() const { return fileName_; }
  bool writable() const { return accessMode_ == kAccessReadWrite; }
  int accessMode() const { return accessMode_; }
  int shareMode() const { return shareMode_; }

  void setPosition(int64_t position);
  int64_t position();
  void setSize(int64_t size);
  int64_t size();
  void flush();

  // Reads exactly `count` bytes at `position`; fewer bytes (the end of the
  // file) is a failure.
  void read(void* buffer, int64_t position, int32_t count);
  // Reads up to `count` bytes at `position`; answers how many there were.
  int32_t readAvailable(void* buffer, int64_t position, int32_t count);
  void write(const void* buffer, int64_t position, int32_t count);

  // Locks on bytes [offset, offset + count): false at once when another
  // handle (of this process or another) or this one holds any of them.
  bool lockBytes(int64_t offset, int64_t count = 1);
  // False when this handle did not hold exactly that range.
  bool unlockBytes(int64_t offset, int64_t count = 1);
  // True when the byte cannot be locked now (this handle's own lock counts).
  bool isByteLocked(int64_t offset);
  // Locks and, when that worked, unlocks again: true when the lock failed.
  bool isRegionLocked(int64_t offset, int64_t count);
  // Lock calls of this handle are granted without a lock (see above).
  bool locksUnsupported() const { return locksUnsupported_; }

  // The handle itself, for callers that must reach the operating system.
  platform::File& handle() { return file_; }

 private:
  void requireOpen(const char* operation) const;
  void opened(const std::string& fileName, int accessMode, int shareMode);
  void reconnectIfBroken();
  void reopen();
  int32_t readBytes(void* buffer, int64_t position, int32_t count, bool whole);
  int64_t sizeForMessage();
  bool lockCall(const char* operation, int64_t offset, int64_t count, bool lock);

  platform::File file_;
  std::string fileName_;
  int accessMode_ = kAccessReadOnly;
  int shareMode_ = kShareExclusive;
  bool open_ = false;
  bool locksUnsupported_ = false;
  int64_t position_ = 0;
};

}  // namespace vz
