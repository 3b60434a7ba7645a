#include "dbengine/storage/vz_streams.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"
#include "platform/temp.h"

namespace vz {

using platform::EVZException;

TVZTemporaryStream::TVZTemporaryStream(bool disableTempFiles) : disableTempFiles_(disableTempFiles) {}

void TVZTemporaryStream::moveToFileIfNeeded(uint64_t newEnd) {
  if (file_ || disableTempFiles_ || newEnd <= uint64_t(kMemoryLimit)) return;
  platform::File file = platform::openTemporaryFile("VAZ");
  const std::string name = file.path();
  if (memory_.size() > 0) file.writeAt(0, memory_.data(), size_t(memory_.size()));
  auto stream = std::make_unique<TVZFileStream>(std::move(file), name);
  stream->setPosition(memory_.position());
  file_ = std::move(stream);
  memory_.clear();
}

size_t TVZTemporaryStream::read(void* buffer, size_t count) { return current().read(buffer, count); }

size_t TVZTemporaryStream::write(const void* data, size_t count) {
  if (count == 0) return 0;
  moveToFileIfNeeded(uint64_t(position()) + count);
  return current().write(data, count);
}

int64_t TVZTemporaryStream::seek(int64_t offset, SeekOrigin origin) { return current().seek(offset, origin); }

int64_t TVZTemporaryStream::size() { return current().size(); }

void TVZTemporaryStream::setSize(int64_t newSize) {
  if (newSize < 0) throw EVZException(10092, "Invalid stream size = %d. Should be = %d", {(long long)newSize, 0});
  moveToFileIfNeeded(uint64_t(newSize));
  current().setSize(newSize);
}

}  // namespace vz
