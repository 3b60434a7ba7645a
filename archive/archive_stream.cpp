#include "archive/archive_stream.h"

#include <algorithm>
#include <cstring>

namespace archive {

size_t FileArchiveStream::readAt(uint64_t offset, void* buffer, size_t length) {
  size_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < length) {
    size_t n = file_.readAt(offset + done, out + done, length - done);
    if (n == 0) break;
    done += n;
  }
  return done;
}

size_t MemoryArchiveStream::readAt(uint64_t offset, void* buffer, size_t length) {
  if (offset >= bytes_.size()) return 0;
  size_t n = std::min<uint64_t>(length, bytes_.size() - offset);
  std::memcpy(buffer, bytes_.data() + offset, n);
  return n;
}

void MemoryArchiveStream::writeAt(uint64_t offset, const void* data, size_t length) {
  if (offset + length > bytes_.size()) bytes_.resize(offset + length);
  std::memcpy(bytes_.data() + offset, data, length);
}

}  // namespace archive
