// The engine's byte streams: a common base with its own lock, copy-block
// size, progress event and copy operations, and the memory, file and
// temporary streams that large values and query results travel through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace vz {

enum class SeekOrigin { Begin, Current, End };

class TVZStream {
 public:
  static constexpr uint32_t kDefaultCopyBlockSize = 102400;

  TVZStream() = default;
  virtual ~TVZStream() = default;
  TVZStream(const TVZStream&) = delete;
  TVZStream& operator=(const TVZStream&) = delete;

  // Reads up to `count` bytes at the position and moves past them; fewer
  // bytes only at the end of the stream.
  virtual size_t read(void* buffer, size_t count) = 0;
  // Writes `count` bytes at the position, growing the stream as needed, and
  // moves past them. A position beyond the end is first filled with zeros.
  // Answers the bytes written; fewer only when the medium refuses.
  virtual size_t write(const void* data, size_t count) = 0;
  // Moves the position and answers it. Positions beyond the end are allowed;
  // a negative one raises EVZException.
  virtual int64_t seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t size() = 0;
  // Cuts or extends (with zeros) the stream; the position is kept, except
  // that it never stays beyond a cut end.
  virtual void setSize(int64_t newSize) = 0;

  int64_t position() { return seek(0, SeekOrigin::Current); }
  void setPosition(int64_t newPosition) { seek(newPosition, SeekOrigin::Begin); }

  // The stream's own lock, for callers that share one stream between
  // threads. Recursive.
  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }

  // Size of the pieces the copy operations move; 0 raises EVZException 10418
  // "Stream block size = 0 is not allowed".
  uint32_t copyBlockSize() const { return copyBlockSize_; }
  void setCopyBlockSize(uint32_t blockSize);

  // Called by the copy operations with 0, then after each piece with the
  // percentage done, then with 100.
  std::function<void(int percent)> onProgress;

  // Copies this whole stream, from its start, to `destination` at the
  // destination's position. A short read or write raises EVZException 10146
  // or 10147. The position of this stream ends at its end.
  void copyTo(TVZStream& destination);
  // Empties this stream, then fills it with `count` bytes of `source` from
  // `sourcePosition` (count < 0: up to the source's end); the position ends
  // at 0. A short read or write raises EVZException 10148 or 10149.
  void loadFrom(TVZStream& source, int64_t sourcePosition, int64_t count);

 protected:
  // The new position a seek asks for; negative results raise 10080 "Cannot
  // set stream position to %d. Position = %d, Size = %d".
  int64_t seekTarget(int64_t offset, SeekOrigin origin, int64_t current, int64_t size) const;

 private:
  void copyPieces(TVZStream& from, TVZStream& to, int64_t count, int32_t readError, int32_t writeError);

  std::recursive_mutex mutex_;
  uint32_t copyBlockSize_ = kDefaultCopyBlockSize;
};

// A growable buffer in memory with 64-bit positions.
class TVZMemoryStream : public TVZStream {
 public:
  // `growthStep`: the capacity grows in multiples of it (0: by half of the
  // current capacity, at least 64 KiB).
  explicit TVZMemoryStream(size_t growthStep = 0);

  size_t read(void* buffer, size_t count) override;
  size_t write(const void* data, size_t count) override;
  int64_t seek(int64_t offset, SeekOrigin origin) override;
  int64_t size() override { return int64_t(size_); }
  void setSize(int64_t newSize) override;

  const uint8_t* data() const { return buffer_.data(); }
  uint8_t* data() { return buffer_.data(); }
  // Frees the buffer: size and position 0.
  void clear();

 private:
  void reserveFor(uint64_t needed);

  std::vector<uint8_t> buffer_;  // capacity; only size_ bytes are the stream
  uint64_t size_ = 0;
  uint64_t position_ = 0;
  size_t growthStep_;
};

// A file opened or created by name. The mode is a combination of one access
// value, one share value and kCreate, as in the engine's messages:
class TVZFileStream : public TVZStream {
 public:
  static constexpr uint32_t kOpenRead = 0x0000;
  static constexpr uint32_t kOpenWrite = 0x0001;
  static constexpr uint32_t kOpenReadWrite = 0x0002;
  static constexpr uint32_t kShareExclusive = 0x0010;
  static constexpr uint32_t kShareDenyWrite = 0x0020;
  static constexpr uint32_t kShareDenyRead = 0x0030;
  static constexpr uint32_t kShareDenyNone = 0x0040;
  // Creates (or truncates) the file, open for reading and writing.
  static constexpr uint32_t kCreate = 0xFF00;

  // Raises EVZException 10104 "Cannot create file. FileName = %s" or 10105
  // "Cannot open file. FileName = %s, Mode = %d".
  TVZFileStream(std::string_view fileName, uint32_t mode);
  // Takes over a file that is already open (position 0).
  TVZFileStream(platform::File file, std::string fileName);

  size_t read(void* buffer, size_t count) override;
  size_t write(const void* data, size_t count) override;
  int64_t seek(int64_t offset, SeekOrigin origin) override;
  int64_t size() override;
  void setSize(int64_t newSize) override;

  const std::string& fileName() const { return fileName_; }
  void flush() { file_.flush(); }

 private:
  std::string fileName_;
  platform::File file_;
  int64_t position_ = 0;
};

// A stream that stays in memory up to kMemoryLimit bytes; when a write or a
// size change would take it beyond that, and temporary files are not
// disabled, its contents move to a new delete-on-close file in the system's
// temporary folder and it continues there at the same position.
class TVZTemporaryStream : public TVZStream {
 public:
  static constexpr int64_t kMemoryLimit = 1048576;

  explicit TVZTemporaryStream(bool disableTempFiles = false);

  size_t read(void* buffer, size_t count) override;
  size_t write(const void* data, size_t count) override;
  int64_t seek(int64_t offset, SeekOrigin origin) override;
  int64_t size() override;
  void setSize(int64_t newSize) override;

  // True once the contents live in the temporary file.
  bool inFile() const { return file_ != nullptr; }

 private:
  void moveToFileIfNeeded(uint64_t newEnd);
  TVZStream& current() { return file_ ? static_cast<TVZStream&>(*file_) : memory_; }

  bool disableTempFiles_;
  TVZMemoryStream memory_;
  std::unique_ptr<TVZFileStream> file_;
};

}  // namespace vz
