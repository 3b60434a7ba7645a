#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/errors.h"
#include "platform/ofd_locks.h"
#include "platform/os_error.h"
#include "platform/path.h"
#include "platform/share_modes.h"

namespace platform {
namespace {

bool wantsRead(Access access) { return access != Access::Write; }
bool wantsWrite(Access access) { return access != Access::Read; }

bool truncates(Disposition disposition) {
  return disposition == Disposition::CreateAlways || disposition == Disposition::TruncateExisting;
}

int openFlags(Disposition disposition) {
  switch (disposition) {
    case Disposition::CreateNew: return O_CREAT | O_EXCL;
    case Disposition::CreateAlways: return O_CREAT;
    case Disposition::OpenExisting: return 0;
    case Disposition::OpenAlways: return O_CREAT;
    case Disposition::TruncateExisting: return 0;
  }
  return 0;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

File::~File() { close(); }

File::File(File&& other) noexcept
    : fd_(other.fd_),
      path_(std::move(other.path_)),
      position_(other.position_),
      locks_(std::move(other.locks_)),
      access_(other.access_),
      writableDescriptor_(other.writableDescriptor_) {
  other.fd_ = -1;
  other.locks_.clear();
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    path_ = std::move(other.path_);
    position_ = other.position_;
    locks_ = std::move(other.locks_);
    access_ = other.access_;
    writableDescriptor_ = other.writableDescriptor_;
    other.fd_ = -1;
    other.locks_.clear();
  }
  return *this;
}

File File::open(std::string_view path, Access access, unsigned share, Disposition disposition,
                OpenOptions options) {
  const std::string native = nativePath(path);
  if (native.empty()) throwOSError(ENOENT, "Cannot open file", path);
  if (disposition == Disposition::TruncateExisting && !wantsWrite(access)) {
    throwOSError(EACCES, "Cannot open file", native);
  }

  // A handle that only reads still needs a writable descriptor to truncate;
  // one that writes reads as well where it may, so that it can advertise its
  // sharing with shared locks.
  const bool needWritable = wantsWrite(access) || truncates(disposition);
  int flags = openFlags(disposition) | O_CLOEXEC | O_NOCTTY;
  if (options.writeThrough) flags |= O_DSYNC;
  int fd;
  do {
    fd = ::open(native.c_str(), flags | (needWritable ? O_RDWR : O_RDONLY), 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0 && needWritable && errno == EACCES && access == Access::Write) {
    do {
      fd = ::open(native.c_str(), flags | O_WRONLY, 0666);
    } while (fd < 0 && errno == EINTR);
  }
  if (fd < 0) throwOSError(errno, "Cannot open file", native);
  Descriptor descriptor(fd);

  struct stat st;
  if (fstat(fd, &st) != 0) throwOSError(errno, "Cannot open file", native);
  if (S_ISDIR(st.st_mode)) throwOSError(EISDIR, "Cannot open file", native);
  // The read-only attribute keeps writers out even where the permission
  // bits would not (a privileged user).
  if (needWritable && !(st.st_mode & S_IWUSR)) throwOSError(EACCES, "Cannot open file", native);

  share_modes::Intent intent;
  intent.read = wantsRead(access);
  intent.write = wantsWrite(access);
  intent.remove = options.deleteOnClose;
  intent.share = share;
  auto refuse = [&] {
    throw EOSError(kSharingViolation, "Cannot open file \"" + native +
                              "\": sharing violation (the file is open by another handle that does not "
                              "share the access asked for, or that has an access this one does not share)");
  };
  if (share_modes::conflictsWithOthers(fd, intent)) refuse();
  share_modes::advertise(fd, intent);
  if (share_modes::conflictsWithOthers(fd, intent)) refuse();

  if (truncates(disposition) && st.st_size != 0) {
    int rc;
    do {
      rc = ftruncate(fd, 0);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) throwOSError(errno, "Cannot truncate file", native);
  }
  if (options.deleteOnClose && ::unlink(native.c_str()) != 0) {
    throwOSError(errno, "Cannot open file for deletion on close", native);
  }
  if (options.sequentialScan) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

  File file;
  file.fd_ = descriptor.release();
  file.path_ = native;
  file.access_ = access;
  file.writableDescriptor_ = (fcntl(file.fd_, F_GETFL) & O_ACCMODE) != O_RDONLY;
  return file;
}

void File::close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  locks_.clear();
  position_ = 0;
}

void File::requireOpen() const {
  if (fd_ < 0) throwOSError(EBADF, "File is not open", path_);
}

size_t File::readAt(uint64_t offset, void* buffer, size_t length) {
  requireOpen();
  if (!wantsRead(access_)) throwOSError(EACCES, "Cannot read file opened for writing only", path_);
  if (offset > uint64_t(INT64_MAX)) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < length) {
    const ssize_t n = pread(fd_, out + done, length - done, off_t(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throwOSError(errno, "Cannot read file", path_);
    }
    if (n == 0) break;
    done += size_t(n);
  }
  return done;
}

void File::writeAt(uint64_t offset, const void* data, size_t length) {
  requireOpen();
  if (!wantsWrite(access_)) throwOSError(EACCES, "Cannot write file opened for reading only", path_);
  if (offset > uint64_t(INT64_MAX) || length > uint64_t(INT64_MAX) - offset) {
    throwOSError(EFBIG, "Cannot write file", path_);
  }
  const auto* in = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < length) {
    const ssize_t n = pwrite(fd_, in + done, length - done, off_t(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throwOSError(errno, "Cannot write file", path_);
    }
    if (n == 0) throwOSError(ENOSPC, "Cannot write file", path_);
    done += size_t(n);
  }
}

size_t File::read(void* buffer, size_t length) {
  const size_t n = readAt(position_, buffer, length);
  position_ += n;
  return n;
}

void File::write(const void* data, size_t length) {
  writeAt(position_, data, length);
  position_ += length;
}

uint64_t File::size() const {
  requireOpen();
  struct stat st;
  if (fstat(fd_, &st) != 0) throwOSError(errno, "Cannot read the size of file", path_);
  return uint64_t(st.st_size);
}

void File::setSize(uint64_t size) {
  requireOpen();
  if (!wantsWrite(access_)) throwOSError(EACCES, "Cannot change the size of file opened for reading only", path_);
  if (size > uint64_t(INT64_MAX)) throwOSError(EFBIG, "Cannot change the size of file", path_);
  int rc;
  do {
    rc = ftruncate(fd_, off_t(size));
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) throwOSError(errno, "Cannot change the size of file", path_);
}

void File::flush() {
  requireOpen();
  if (!writableDescriptor_) return;  // nothing of this handle's to write out
  int rc;
  do {
    rc = fdatasync(fd_);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0 && errno != EINVAL) throwOSError(errno, "Cannot flush file", path_);
}

bool File::tryLock(uint64_t offset, uint64_t length) {
  requireOpen();
  if (length == 0 || offset >= share_modes::kRegionStart || length > share_modes::kRegionStart - offset) {
    throwOSError(EINVAL, "Invalid byte range to lock in file", path_);
  }
  // Windows refuses a range that overlaps one this handle already holds.
  for (const auto& [heldOffset, heldLength] : locks_) {
    if (heldOffset < offset + length && offset < heldOffset + heldLength) return false;
  }
  if (writableDescriptor_) {
    const int rc = setByteLock(fd_, LockKind::Exclusive, offset, length);
    if (rc == EAGAIN) return false;
    if (rc != 0) throwOSError(rc, "Cannot lock bytes of file", path_);
  } else {
    // A read-only descriptor can hold only shared locks: take one, then make
    // sure no other handle holds any lock there; racing lockers both back off.
    const int rc = setByteLock(fd_, LockKind::Shared, offset, length);
    if (rc == EAGAIN) return false;
    if (rc != 0) throwOSError(rc, "Cannot lock bytes of file", path_);
    if (lockedByOthers(fd_, offset, length)) {
      setByteLock(fd_, LockKind::Unlock, offset, length);
      return false;
    }
  }
  locks_.insert({offset, length});
  return true;
}

bool File::unlock(uint64_t offset, uint64_t length) {
  requireOpen();
  auto it = locks_.find({offset, length});
  if (it == locks_.end()) return false;
  const int rc = setByteLock(fd_, LockKind::Unlock, offset, length);
  if (rc != 0) throwOSError(rc, "Cannot unlock bytes of file", path_);
  locks_.erase(it);
  return true;
}

}  // namespace platform
