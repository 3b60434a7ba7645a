// An open file: sharing modes, positioned 64-bit reads and writes, size,
// flush, and single-byte locks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace platform {

enum class Access { Read, Write, ReadWrite };

// Who else may open the file while this handle is open. Enforced between all
// handles, in this process and others (Windows sharing rules: an open fails
// when it wants an access another handle does not share, or does not share
// an access another handle already has).
enum Share : unsigned {
  ShareNone = 0,
  ShareRead = 1,
  ShareWrite = 2,
  ShareDelete = 4,
  ShareReadWrite = ShareRead | ShareWrite,
};

enum class Disposition {
  CreateNew,         // fails when it exists
  CreateAlways,      // creates or truncates
  OpenExisting,      // fails when it does not exist
  OpenAlways,        // opens or creates
  TruncateExisting,  // fails when it does not exist; truncates
};

struct OpenOptions {
  bool deleteOnClose = false;   // the file disappears when this handle closes
  bool sequentialScan = false;  // read-ahead hint
  bool writeThrough = false;    // every write reaches the disk before returning
};

class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens or creates; EOSError (with the system's reason, "sharing
  // violation" among them) on failure.
  static File open(std::string_view path, Access access, unsigned share, Disposition disposition,
                   OpenOptions options = {});

  bool isOpen() const { return fd_ >= 0; }
  void close();
  const std::string& path() const { return path_; }

  // Positioned I/O; reads return fewer bytes only at the end of the file.
  size_t readAt(uint64_t offset, void* buffer, size_t length);
  void writeAt(uint64_t offset, const void* data, size_t length);
  // Sequential I/O from a current position.
  size_t read(void* buffer, size_t length);
  void write(const void* data, size_t length);
  void seek(uint64_t position) { position_ = position; }
  uint64_t position() const { return position_; }

  uint64_t size() const;
  void setSize(uint64_t size);
  void flush();

  // Locks `length` bytes at `offset` for this handle. Fails at once (false)
  // when any part is held by another handle, of this process or another, or
  // already by this handle, as Windows does. Locks die with the handle and
  // with the process.
  bool tryLock(uint64_t offset, uint64_t length = 1);
  // False when this handle holds no such lock.
  bool unlock(uint64_t offset, uint64_t length = 1);

 private:
  int fd_ = -1;
  std::string path_;
  uint64_t position_ = 0;
  std::set<std::pair<uint64_t, uint64_t>> locks_;
};

}  // namespace platform
