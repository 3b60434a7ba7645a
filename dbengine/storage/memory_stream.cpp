#include "dbengine/storage/vz_streams.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"

namespace vz {

using platform::EVZException;

TVZMemoryStream::TVZMemoryStream(size_t growthStep) : growthStep_(growthStep) {}

void TVZMemoryStream::reserveFor(uint64_t needed) {
  if (needed <= buffer_.size()) return;
  uint64_t capacity;
  if (growthStep_ > 0) {
    capacity = (needed + growthStep_ - 1) / growthStep_ * growthStep_;
  } else {
    capacity = std::max<uint64_t>({needed, buffer_.size() + buffer_.size() / 2, 65536});
  }
  buffer_.resize(size_t(capacity));
}

size_t TVZMemoryStream::read(void* buffer, size_t count) {
  if (position_ >= size_) return 0;
  const size_t n = size_t(std::min<uint64_t>(count, size_ - position_));
  std::memcpy(buffer, buffer_.data() + position_, n);
  position_ += n;
  return n;
}

size_t TVZMemoryStream::write(const void* data, size_t count) {
  if (count == 0) return 0;
  const uint64_t end = position_ + count;
  reserveFor(end);
  if (position_ > size_) std::memset(buffer_.data() + size_, 0, size_t(position_ - size_));
  std::memcpy(buffer_.data() + position_, data, count);
  position_ = end;
  size_ = std::max(size_, end);
  return count;
}

int64_t TVZMemoryStream::seek(int64_t offset, SeekOrigin origin) {
  position_ = uint64_t(seekTarget(offset, origin, int64_t(position_), int64_t(size_)));
  return int64_t(position_);
}

void TVZMemoryStream::setSize(int64_t newSize) {
  if (newSize < 0) throw EVZException(10092, "Invalid stream size = %d. Should be = %d", {(long long)newSize, 0});
  const auto n = uint64_t(newSize);
  reserveFor(n);
  if (n > size_) std::memset(buffer_.data() + size_, 0, size_t(n - size_));
  size_ = n;
  position_ = std::min(position_, size_);
}

void TVZMemoryStream::clear() {
  std::vector<uint8_t>().swap(buffer_);
  size_ = 0;
  position_ = 0;
}

}  // namespace vz
