#include "dbengine/storage/vz_streams.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"
#include "platform/temp.h"

namespace vz {

using platform::EVZException;

TVZTemporaryStream::TVZTemporaryStream(bool disableTempFiles) : disableTempFiles_(disableTempFiles) {}

void TVZTemporaryStream::moveToFileIfNeeded(uint64_t newEnd) {
  if (file_.isOpen() || disableTempFiles_ || newEnd <= uint64_t(kMemoryLimit)) return;
  platform::File file = platform::openTemporaryFile("VAZ");
  if (memory_.size() > 0) file.writeAt(0, memory_.data(), size_t(memory_.size()));
  filePosition_ = memory_.position();
  file_ = std::move(file);
  memory_.clear();
}

size_t TVZTemporaryStream::read(void* buffer, size_t count) {
  if (!file_.isOpen()) return memory_.read(buffer, count);
  size_t n;
  try {
    n = file_.readAt(uint64_t(filePosition_), buffer, count);
  } catch (const platform::Exception&) {
    return 0;
  }
  filePosition_ += int64_t(n);
  return n;
}

size_t TVZTemporaryStream::write(const void* data, size_t count) {
  if (count == 0) return 0;
  moveToFileIfNeeded(uint64_t(position()) + count);
  if (!file_.isOpen()) return memory_.write(data, count);
  try {
    file_.writeAt(uint64_t(filePosition_), data, count);
  } catch (const platform::Exception&) {
    return 0;
  }
  filePosition_ += int64_t(count);
  return count;
}

int64_t TVZTemporaryStream::seek(int64_t offset, SeekOrigin origin) {
  if (!file_.isOpen()) return memory_.seek(offset, origin);
  filePosition_ = seekTarget(offset, origin, filePosition_, origin == SeekOrigin::End ? size() : 0);
  return filePosition_;
}

int64_t TVZTemporaryStream::size() { return file_.isOpen() ? int64_t(file_.size()) : memory_.size(); }

void TVZTemporaryStream::setSize(int64_t newSize) {
  if (newSize < 0) throw EVZException(10092, "Invalid stream size = %d. Should be = %d", {(long long)newSize, 0});
  moveToFileIfNeeded(uint64_t(newSize));
  if (!file_.isOpen()) return memory_.setSize(newSize);
  file_.setSize(uint64_t(newSize));
  filePosition_ = std::min(filePosition_, newSize);
}

}  // namespace vz
