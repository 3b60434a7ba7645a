// One open store file: its checks on opening, the algorithm block and the
// table directory, table headers, byte-1 locking, and range-checked reads
// and writes for the tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"
#include "recordstore/store_codec.h"
#include "recordstore/store_format.h"

namespace rec {

class TRecFileIO {
 public:
  TRecFileIO() = default;
  ~TRecFileIO();
  TRecFileIO(const TRecFileIO&) = delete;
  TRecFileIO& operator=(const TRecFileIO&) = delete;

  // Checks and opens the file. Raises "Cannot open file %s", "Database file
  // '%s' is a invalid RecDB", "Version 1.00 is not compatible", "Version of
  // database file is too High" and the unknown-algorithm messages.
  void open(const std::string& fileName, int64_t baseOffset = 0, bool readOnly = false, bool exclusive = false);
  void close();
  bool isOpen() const { return file_.isOpen(); }
  const std::string& fileName() const { return fileName_; }
  // Opened read-only, by the setting or by the file's read-only attribute.
  bool readOnly() const { return readOnly_; }

  const format::AlgorithmBlock& algorithms() const { return algorithms_; }
  const format::TableDirectory& directory() const { return directory_; }
  StoreCodec& codec() { return *codec_; }

  // True when access is granted; see StoreCodec::checkPassword.
  bool checkPassword(std::string_view password) { return codec_->checkPassword(password); }

  int tableCount() const { return directory_.tableCount; }
  // The raw header of table `number` (4821 bytes).
  std::vector<uint8_t> readTableHeader(int number);
  void writeTableHeader(int number, const std::vector<uint8_t>& header);
  // Every table's name, in directory order.
  std::vector<std::string> tableNames();
  // The number of the table of that name (without regard to case), or -1.
  int findTable(std::string_view name);

  // Byte 1 of the file, for structural reads and every change. Retried
  // every `waitMs` milliseconds, `retryCount` times (0: without limit), then
  // "Wait for unlock time out". Nested locks of one file count.
  void setLockSettings(int retryCount, int waitMs) {
    lockRetryCount_ = retryCount;
    lockWaitTime_ = waitMs;
  }
  void lock();
  void unlock();

  // Offsets relative to the start of the store. A read that does not lie
  // inside the file is damage: "Database file '%s' is a invalid RecDB".
  void read(int64_t offset, void* buffer, size_t length);
  // Refused with "Cannot modify a read-only database" when read-only.
  void write(int64_t offset, const void* data, size_t length);
  // The same test as read(), for a length about to be allocated.
  void checkRange(int64_t offset, int64_t length) const;
  // The end of the store, where new structures go.
  int64_t endOffset() const;
  void flush();

  void checkWritable() const;
  [[noreturn]] void damaged() const;

 private:
  platform::File file_;
  std::string fileName_;
  int64_t base_ = 0;
  bool readOnly_ = false;
  format::AlgorithmBlock algorithms_;
  format::TableDirectory directory_;
  std::unique_ptr<StoreCodec> codec_;
  int lockRetryCount_ = 20;
  int lockWaitTime_ = 100;
  int lockDepth_ = 0;
};

// Holds the file's lock for a scope.
class FileLock {
 public:
  explicit FileLock(TRecFileIO& file) : file_(file) { file_.lock(); }
  ~FileLock() { file_.unlock(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  TRecFileIO& file_;
};

}  // namespace rec
