// An open file: sharing modes, positioned 64-bit reads and writes, size,
// flush, and single-byte locks.
#pragma once

#include <cerrno>
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
  // The file disappears when this handle closes. Its name goes at once, when
  // the open succeeds; the data lives on until the handle is closed. Other
  // handles must share deleting (and this one counts as deleting for them).
  bool deleteOnClose = false;
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

  // Opens or creates; EOSError (with the system's reason) on failure. A
  // sharing violation raises EOSError with errorNumber() kSharingViolation
  // and a message that says so; a file with the read-only attribute refuses
  // write access (EACCES), a folder refuses to open (EISDIR). Truncation
  // (CreateAlways, TruncateExisting) happens only once sharing allows it.
  static File open(std::string_view path, Access access, unsigned share, Disposition disposition,
                   OpenOptions options = {});

  // The error number of a refused open for sharing reasons.
  static constexpr int kSharingViolation = EBUSY;

  bool isOpen() const { return fd_ >= 0; }
  void close();
  const std::string& path() const { return path_; }

  // Positioned I/O; reads return fewer bytes only at the end of the file.
  // Reading a handle opened for writing only, or writing one opened for
  // reading only, raises EOSError (EACCES), as on Windows.
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
  // with the process. The lock is advisory: it keeps out other lockers, not
  // readers and writers. A range that is empty or reaches the top 4 KiB of
  // the signed 64-bit offsets (kept for the sharing bookkeeping) raises
  // EOSError (EINVAL).
  bool tryLock(uint64_t offset, uint64_t length = 1);
  // Releases a range exactly as it was locked; false when this handle holds
  // no such lock.
  bool unlock(uint64_t offset, uint64_t length = 1);

 private:
  void requireOpen() const;

  int fd_ = -1;
  std::string path_;
  uint64_t position_ = 0;
  std::set<std::pair<uint64_t, uint64_t>> locks_;
  Access access_ = Access::Read;
  bool writableDescriptor_ = false;
};

}  // namespace platform
