// The bytes of an archive: a file on disk or a block of memory, read and
// written at 64-bit positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace archive {

class ArchiveStream {
 public:
  virtual ~ArchiveStream() = default;
  virtual uint64_t size() const = 0;
  // Reads up to `length` bytes at `offset`; fewer only at the end.
  virtual size_t readAt(uint64_t offset, void* buffer, size_t length) = 0;
  virtual void writeAt(uint64_t offset, const void* data, size_t length) = 0;
  virtual void flush() {}

  // True when all `length` bytes at `offset` were read.
  bool readFully(uint64_t offset, void* buffer, size_t length) {
    return readAt(offset, buffer, length) == length;
  }
};

class FileArchiveStream final : public ArchiveStream {
 public:
  explicit FileArchiveStream(platform::File file) : file_(std::move(file)) {}
  uint64_t size() const override { return file_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t length) override;
  void writeAt(uint64_t offset, const void* data, size_t length) override { file_.writeAt(offset, data, length); }
  void flush() override { file_.flush(); }

 private:
  platform::File file_;
};

class MemoryArchiveStream final : public ArchiveStream {
 public:
  uint64_t size() const override { return bytes_.size(); }
  size_t readAt(uint64_t offset, void* buffer, size_t length) override;
  void writeAt(uint64_t offset, const void* data, size_t length) override;
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace archive
