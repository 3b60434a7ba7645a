#include "dbengine/storage/database_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "dbengine/storage/database_file_errors.h"
#include "dbengine/storage/file_locks.h"
#include "platform/errors.h"
#include "platform/filesystem.h"
#include "platform/system.h"

namespace vz {
namespace {

// A read that stopped at the end of the file carries no system error.
constexpr int kEndOfFile = 0;

std::string systemText(int errorNumber) {
  return errorNumber == kEndOfFile ? "Reached the end of the file" : std::strerror(errorNumber);
}

// The outcome of one attempt at an operation: 0 when it worked, else the
// system error number (kEndOfFile for a short read).
struct Attempt {
  bool ok = true;
  int error = 0;
};

template <class Operation>
Attempt attempt(Operation&& operation) {
  try {
    return operation() ? Attempt{} : Attempt{false, kEndOfFile};
  } catch (const platform::EOSError& e) {
    return Attempt{false, e.errorNumber()};
  }
}

// One attempt, then, after `reconnect`, a second one.
template <class Operation, class Reconnect>
Attempt retried(Operation&& operation, Reconnect&& reconnect) {
  Attempt a = attempt(operation);
  if (!a.ok) {
    reconnect();
    a = attempt(operation);
  }
  return a;
}

platform::Access accessOf(int mode) {
  return mode == TVZDatabaseFile::kAccessReadWrite ? platform::Access::ReadWrite : platform::Access::Read;
}

unsigned shareOf(int mode) {
  switch (mode) {
    case TVZDatabaseFile::kShareReadWrite: return platform::ShareReadWrite;
    case TVZDatabaseFile::kShareRead: return platform::ShareRead;
    default: return platform::ShareNone;
  }
}

platform::OpenOptions openOptions() {
  platform::OpenOptions options;
  options.sequentialScan = true;
  return options;
}

}  // namespace

TVZDatabaseFile::~TVZDatabaseFile() { file_.close(); }

void TVZDatabaseFile::requireOpen(const char* operation) const {
  if (!open_) raise(msg::kFileClosed, {operation});
}

void TVZDatabaseFile::create(const std::string& fileName) {
  if (open_) raise(msg::kFileOpened, {"CreateFile"});
  if (fileName.empty()) raise(msg::kBlankFileName);
  if (platform::fileExists(fileName)) {
    if (auto attributes = platform::fileAttributes(fileName); attributes && (*attributes & platform::faReadOnly))
      platform::setFileAttributes(fileName, *attributes & ~uint32_t(platform::faReadOnly));
    platform::deleteFile(fileName);
  }
  try {
    file_ = platform::File::open(fileName, platform::Access::ReadWrite, platform::ShareNone,
                                 platform::Disposition::CreateAlways, openOptions());
  } catch (const platform::EOSError& e) {
    raise(msg::kCannotCreateFile, {fileName, e.errorNumber(), systemText(e.errorNumber())});
  }
  opened(fileName, kAccessReadWrite, kShareExclusive);
}

void TVZDatabaseFile::open(const std::string& fileName, int accessMode, int shareMode) {
  if (open_) raise(msg::kFileOpened, {"OpenFile"});
  if (accessMode != kAccessReadOnly && accessMode != kAccessReadWrite) raise(msg::kUnknownAccessMode, {accessMode});
  if (shareMode < kShareExclusive || shareMode > kShareRead) raise(msg::kUnknownShareMode, {shareMode});
  try {
    file_ = platform::File::open(fileName, accessOf(accessMode), shareOf(shareMode), platform::Disposition::OpenExisting,
                                 openOptions());
  } catch (const platform::EOSError& e) {
    raise(msg::kCannotOpenFile, {fileName, e.errorNumber(), systemText(e.errorNumber())});
  }
  opened(fileName, accessMode, shareMode);
}

void TVZDatabaseFile::opened(const std::string& fileName, int accessMode, int shareMode) {
  fileName_ = fileName;
  accessMode_ = accessMode;
  shareMode_ = shareMode;
  open_ = true;
  locksUnsupported_ = false;
  position_ = 0;
}

void TVZDatabaseFile::close() {
  requireOpen("CloseFile");
  file_.close();
  open_ = false;
  locksUnsupported_ = false;
  position_ = 0;
}

void TVZDatabaseFile::reopen() {
  file_ = platform::File::open(fileName_, accessOf(accessMode_), shareOf(shareMode_),
                               platform::Disposition::OpenExisting, openOptions());
  locksUnsupported_ = false;
}

void TVZDatabaseFile::reconnectIfBroken() {
  try {
    file_.size();
    return;
  } catch (const platform::EOSError&) {
  }
  const TVZRetry retry = lockSettings().reconnect;
  for (int i = 0; i < retry.attempts; ++i) {
    if (i > 0) platform::sleepMs(retry.pauseMs);
    try {
      reopen();
      return;
    } catch (const platform::EOSError&) {
    }
  }
}

int64_t TVZDatabaseFile::sizeForMessage() {
  try {
    return int64_t(file_.size());
  } catch (const platform::EOSError&) {
    return -1;
  }
}

void TVZDatabaseFile::setPosition(int64_t position) {
  requireOpen("SetPosition");
  if (position < 0) raise(msg::kCannotSetPosition, {position, fileName_, position_, sizeForMessage()});
  position_ = position;
}

int64_t TVZDatabaseFile::position() {
  requireOpen("GetPosition");
  return position_;
}

void TVZDatabaseFile::setSize(int64_t size) {
  requireOpen("SetSize");
  auto operation = [&] {
    if (size < 0) throw platform::EOSError(EINVAL, "negative size");
    file_.setSize(uint64_t(size));
    return true;
  };
  const Attempt a = retried(operation, [this] { reconnectIfBroken(); });
  if (!a.ok) raise(msg::kCannotTruncate, {fileName_, size, a.error, systemText(a.error)});
}

int64_t TVZDatabaseFile::size() {
  requireOpen("GetSize");
  uint64_t result = 0;
  auto operation = [&] {
    result = file_.size();
    return true;
  };
  const Attempt a = retried(operation, [this] { reconnectIfBroken(); });
  if (!a.ok) raise(msg::kCannotGetSize, {fileName_, a.error, systemText(a.error)});
  return int64_t(result);
}

void TVZDatabaseFile::flush() {
  requireOpen("FlushFileBuffers");
  auto operation = [&] {
    file_.flush();
    return true;
  };
  const Attempt a = retried(operation, [this] { reconnectIfBroken(); });
  if (!a.ok) raise(msg::kCannotFlush, {fileName_, a.error, systemText(a.error)});
}

int32_t TVZDatabaseFile::readBytes(void* buffer, int64_t position, int32_t count, bool whole) {
  requireOpen("ReadBuffer");
  size_t got = 0;
  auto operation = [&] {
    if (position < 0 || count < 0) throw platform::EOSError(EINVAL, "negative position or count");
    got = file_.readAt(uint64_t(position), buffer, size_t(count));
    return !whole || got == size_t(count);
  };
  const Attempt a = retried(operation, [this] { reconnectIfBroken(); });
  if (!a.ok) {
    raise(msg::kCannotRead,
          {fileName_, position, count, position_, sizeForMessage(), a.error, systemText(a.error)});
  }
  position_ = position + int64_t(got);
  return int32_t(got);
}

int32_t TVZDatabaseFile::readAvailable(void* buffer, int64_t position, int32_t count) {
  return readBytes(buffer, position, count, false);
}

void TVZDatabaseFile::read(void* buffer, int64_t position, int32_t count) { readBytes(buffer, position, count, true); }

void TVZDatabaseFile::write(const void* buffer, int64_t position, int32_t count) {
  requireOpen("WriteBuffer");
  auto operation = [&] {
    if (position < 0 || count < 0) throw platform::EOSError(EINVAL, "negative position or count");
    file_.writeAt(uint64_t(position), buffer, size_t(count));
    return true;
  };
  const Attempt a = retried(operation, [this] { reconnectIfBroken(); });
  if (!a.ok) {
    raise(msg::kCannotWrite,
          {fileName_, position, count, position_, sizeForMessage(), a.error, systemText(a.error)});
  }
  position_ = position + count;
}

bool TVZDatabaseFile::lockCall(const char* operation, int64_t offset, int64_t count, bool lock) {
  requireOpen(operation);
  if (offset < 0 || count <= 0) return false;  // no range to lock
  if (locksUnsupported_) return true;
  bool granted = false;
  auto call = [&] {
    granted = lock ? file_.tryLock(uint64_t(offset), uint64_t(count)) : file_.unlock(uint64_t(offset), uint64_t(count));
    return true;
  };
  const Attempt a = retried(call, [this] { reconnectIfBroken(); });
  if (!a.ok) {
    // No lock support here: go on without locks for this handle.
    locksUnsupported_ = true;
    return true;
  }
  return granted;
}

bool TVZDatabaseFile::lockBytes(int64_t offset, int64_t count) { return lockCall("LockByte", offset, count, true); }

bool TVZDatabaseFile::unlockBytes(int64_t offset, int64_t count) { return lockCall("UnlockByte", offset, count, false); }

bool TVZDatabaseFile::isByteLocked(int64_t offset) {
  if (!lockCall("IsByteLocked", offset, 1, true)) return true;
  if (!locksUnsupported_) lockCall("IsByteLocked", offset, 1, false);
  return false;
}

bool TVZDatabaseFile::isRegionLocked(int64_t offset, int64_t count) {
  if (!lockCall("IsRegionLocked", offset, count, true)) return true;
  if (!locksUnsupported_) lockCall("IsRegionLocked", offset, count, false);
  return false;
}

}  // namespace vz
