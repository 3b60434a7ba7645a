#include "dbengine/storage/vz_streams.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"

namespace vz {

using platform::EVZException;

TVZFileStream::TVZFileStream(std::string_view fileName, uint32_t mode) : fileName_(fileName) {
  unsigned share;
  switch (mode & 0xF0) {
    case kShareDenyWrite: share = platform::ShareRead; break;
    case kShareDenyRead: share = platform::ShareWrite; break;
    case kShareDenyNone: share = platform::ShareReadWrite; break;
    default: share = platform::ShareNone; break;
  }
  if ((mode & kCreate) == kCreate) {
    try {
      file_ = platform::File::open(fileName, platform::Access::ReadWrite, share, platform::Disposition::CreateAlways);
    } catch (const platform::Exception&) {
      throw EVZException(10104, "Cannot create file. FileName = %s", {fileName_});
    }
    return;
  }
  platform::Access access;
  switch (mode & 0x0F) {
    case kOpenRead: access = platform::Access::Read; break;
    case kOpenWrite: access = platform::Access::Write; break;
    case kOpenReadWrite: access = platform::Access::ReadWrite; break;
    default: throw EVZException(10105, "Cannot open file. FileName = %s, Mode = %d", {fileName_, (long long)mode});
  }
  try {
    file_ = platform::File::open(fileName, access, share, platform::Disposition::OpenExisting);
  } catch (const platform::Exception&) {
    throw EVZException(10105, "Cannot open file. FileName = %s, Mode = %d", {fileName_, (long long)mode});
  }
}

TVZFileStream::TVZFileStream(platform::File file, std::string fileName)
    : fileName_(std::move(fileName)), file_(std::move(file)) {}

size_t TVZFileStream::read(void* buffer, size_t count) {
  size_t n;
  try {
    n = file_.readAt(uint64_t(position_), buffer, count);
  } catch (const platform::Exception&) {
    return 0;
  }
  position_ += int64_t(n);
  return n;
}

size_t TVZFileStream::write(const void* data, size_t count) {
  if (count == 0) return 0;
  try {
    file_.writeAt(uint64_t(position_), data, count);
  } catch (const platform::Exception&) {
    return 0;
  }
  position_ += int64_t(count);
  return count;
}

int64_t TVZFileStream::seek(int64_t offset, SeekOrigin origin) {
  position_ = seekTarget(offset, origin, position_, origin == SeekOrigin::End ? size() : 0);
  return position_;
}

int64_t TVZFileStream::size() { return int64_t(file_.size()); }

void TVZFileStream::setSize(int64_t newSize) {
  if (newSize < 0) throw EVZException(10092, "Invalid stream size = %d. Should be = %d", {(long long)newSize, 0});
  file_.setSize(uint64_t(newSize));
  position_ = std::min(position_, newSize);
}

}  // namespace vz
