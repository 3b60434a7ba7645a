#include "dbengine/storage/vz_streams.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"

namespace vz {

using platform::EVZException;

namespace {

constexpr char kPositionText[] = "Cannot set stream position to %d. Position = %d, Size = %d";
constexpr char kCopyReadText[] =
    "Cannot read from stream. Position = %d, Stream size = %d, Block size = %d, Bytes Read = %d";
constexpr char kCopyWriteText[] =
    "Cannot write to stream. Position = %d, Stream size = %d, Block size = %d, Bytes Write = %d";

}  // namespace

void TVZStream::setCopyBlockSize(uint32_t blockSize) {
  if (blockSize == 0) throw EVZException(10418, "Stream block size = 0 is not allowed");
  copyBlockSize_ = blockSize;
}

int64_t TVZStream::seekTarget(int64_t offset, SeekOrigin origin, int64_t current, int64_t size) const {
  int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? current : size;
  int64_t target;
  const bool overflow = __builtin_add_overflow(base, offset, &target);
  if (overflow || target < 0)
    throw EVZException(10080, kPositionText,
                       {(long long)(overflow ? offset : target), (long long)current, (long long)size});
  return target;
}

void TVZStream::copyPieces(TVZStream& from, TVZStream& to, int64_t count, int32_t readError, int32_t writeError) {
  if (copyBlockSize_ == 0) throw EVZException(10419, "Stream block size = 0 is not allowed");
  if (onProgress) onProgress(0);
  std::vector<uint8_t> piece(size_t(std::min<int64_t>(copyBlockSize_, std::max<int64_t>(count, 1))));
  int64_t done = 0;
  while (done < count) {
    const size_t want = size_t(std::min<int64_t>(int64_t(piece.size()), count - done));
    const int64_t readAt = from.position();
    const size_t got = from.read(piece.data(), want);
    if (got != want)
      throw EVZException(readError, kCopyReadText,
                         {(long long)readAt, (long long)from.size(), (long long)want, (long long)got});
    const int64_t writeAt = to.position();
    const size_t put = to.write(piece.data(), want);
    if (put != want)
      throw EVZException(writeError, kCopyWriteText,
                         {(long long)writeAt, (long long)to.size(), (long long)want, (long long)put});
    done += int64_t(want);
    if (onProgress) onProgress(int(done * 100 / count));
  }
  if (onProgress) onProgress(100);
}

void TVZStream::copyTo(TVZStream& destination) {
  const int64_t total = size();
  setPosition(0);
  copyPieces(*this, destination, total, 10146, 10147);
}

void TVZStream::loadFrom(TVZStream& source, int64_t sourcePosition, int64_t count) {
  setSize(0);
  setPosition(0);
  const int64_t available = std::max<int64_t>(0, source.size() - sourcePosition);
  if (count < 0) count = available;
  source.setPosition(sourcePosition);
  copyPieces(source, *this, count, 10148, 10149);
  setPosition(0);
}

}  // namespace vz
