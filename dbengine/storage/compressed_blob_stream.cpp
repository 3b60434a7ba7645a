#include "dbengine/storage/compressed_blob_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/crc32.h"
#include "platform/errors.h"

namespace vz {

using platform::EVZException;

namespace {

constexpr char kPositionText[] = "Cannot set stream position to %d. Position = %d, Size = %d";
constexpr char kTooSmallText[] = "Stream size = %d too small. Should be at least = %d";
constexpr char kReadText[] =
    "Cannot read from stream. Position = %d, Stream size = %d, Block size = %d, Bytes Read = %d";
constexpr char kWriteText[] =
    "Cannot write to stream. Position = %d, Stream size = %d, Block size = %d, Bytes Write = %d";
constexpr char kSizeText[] = "Invalid stream size = %d. Should be = %d";

using LL = long long;

}  // namespace

TVZCompressedBLOBStream::TVZCompressedBLOBStream(TVZStream& underlying, bool tolerant, bool newValue,
                                                 const BlobStreamDescriptor& descriptor)
    : underlying_(underlying),
      startPosition_(descriptor.startPosition),
      descriptorBlockSize_(descriptor.blockSize),
      blockSize_(descriptor.blockSize != 0 ? descriptor.blockSize : blockSizeForLevel(descriptor.level)),
      algorithm_(descriptor.algorithm),
      level_(descriptor.level) {
  // A block's sizes are stored as int32.
  if (blockSize_ > uint32_t(std::numeric_limits<int32_t>::max()))
    throw EVZException(10092, kSizeText, {LL(blockSize_), LL(std::numeric_limits<int32_t>::max())});
  seekUnderlying(startPosition_, 10103);
  if (!framed()) {
    uncompressedSize_ = std::max<int64_t>(0, underlying_.size() - startPosition_);
    return;
  }
  if (!newValue) walkHeaders(tolerant, descriptor.blockCount, descriptor.uncompressedSize);
}

void TVZCompressedBLOBStream::seekUnderlying(int64_t position, int32_t errorCode) {
  int64_t landed = -1;
  if (position >= 0) landed = underlying_.seek(position, SeekOrigin::Begin);
  if (landed != position)
    throw EVZException(errorCode, kPositionText, {LL(position), LL(landed), LL(underlying_.size())});
}

void TVZCompressedBLOBStream::walkHeaders(bool tolerant, int64_t announcedBlocks, int64_t announcedSize) {
  const int64_t storedEnd = underlying_.size();
  int64_t at = startPosition_;
  uint8_t raw[CompressedBlockHeader::kSize];
  for (int64_t i = 0; i < announcedBlocks; ++i) {
    if (storedEnd - at < int64_t(sizeof raw)) {
      if (tolerant) break;
      throw EVZException(10082, kTooSmallText, {LL(storedEnd), LL(at + int64_t(sizeof raw))});
    }
    seekUnderlying(at, 10083);
    if (underlying_.read(raw, sizeof raw) != sizeof raw)
      throw EVZException(10082, kTooSmallText, {LL(storedEnd), LL(at + int64_t(sizeof raw))});
    BlockEntry entry{CompressedBlockHeader::load(raw), at};
    const int64_t next = at + entry.header.blockLength;
    if (entry.header.blockLength < int64_t(sizeof raw) || entry.header.blockLength > storedEnd - at) {
      if (tolerant) break;
      throw EVZException(10083, kPositionText, {LL(next), LL(at), LL(storedEnd)});
    }
    compressedTotal_ += entry.header.compressedSize;
    blocks_.push_back(entry);
    at = next;
  }
  // The announced size must fill exactly the blocks found: all but the last
  // hold B bytes, the last 1 to B.
  const int64_t found = int64_t(blocks_.size());
  const int64_t capacity = found * int64_t(blockSize_);
  int64_t size = announcedSize;
  if (found < announcedBlocks) size = std::min(size, capacity);
  const bool fits = found == 0 ? size == 0 : size > capacity - int64_t(blockSize_) && size <= capacity;
  if (!fits) throw EVZException(10081, kTooSmallText, {LL(capacity), LL(announcedSize)});
  uncompressedSize_ = size;
  seekUnderlying(startPosition_, 10083);
}

int64_t TVZCompressedBLOBStream::endOfBlocks() const {
  if (blocks_.empty()) return startPosition_;
  const BlockEntry& last = blocks_.back();
  return last.headerPosition + last.header.blockLength;
}

int64_t TVZCompressedBLOBStream::storedSize() const {
  return framed() ? endOfBlocks() - startPosition_ : uncompressedSize_;
}

double TVZCompressedBLOBStream::compressionRatio() const {
  if (!framed() || uncompressedSize_ == 0) return 0;
  return (1.0 - double(compressedTotal_) / double(uncompressedSize_)) * 100.0;
}

BlobStreamDescriptor TVZCompressedBLOBStream::descriptor() const {
  BlobStreamDescriptor d;
  d.blockSize = descriptorBlockSize_;
  d.blockCount = blockCount();
  d.uncompressedSize = uncompressedSize_;
  d.startPosition = startPosition_;
  d.algorithm = algorithm_;
  d.level = level_;
  return d;
}

const std::vector<uint8_t>& TVZCompressedBLOBStream::decodeBlock(size_t index) {
  if (int64_t(index) == cachedBlock_) return cache_;
  cachedBlock_ = -1;
  const BlockEntry& entry = blocks_[index];
  const CompressedBlockHeader& h = entry.header;
  const int64_t expected = std::min<int64_t>(blockSize_, uncompressedSize_ - blockStart(index));
  if (h.uncompressedSize != expected)
    throw EVZException(10088, "Decompress buffer failed. UncompSize = %d, Header.UncompSize = %d",
                       {LL(expected), LL(h.uncompressedSize)});
  const int64_t dataAt = entry.headerPosition + int64_t(CompressedBlockHeader::kSize);
  const int64_t storedEnd = underlying_.size();
  if (h.compressedSize < 0 || h.compressedSize > storedEnd - dataAt)
    throw EVZException(10086, kReadText, {LL(dataAt), LL(storedEnd), LL(h.compressedSize), LL(0)});
  std::vector<uint8_t> packed(size_t(h.compressedSize));
  seekUnderlying(dataAt, 10091);
  const size_t got = underlying_.read(packed.data(), packed.size());
  if (got != packed.size())
    throw EVZException(10086, kReadText, {LL(dataAt), LL(storedEnd), LL(h.compressedSize), LL(got)});
  std::vector<uint8_t> plain;
  if (!decompressBuffer(algorithm_, packed.data(), packed.size(), size_t(h.uncompressedSize), plain))
    throw EVZException(10087, "Decompress buffer failed. CompAlg = %d, InSize = %d, OutSize = %d",
                       {int(algorithm_), LL(h.compressedSize), LL(h.uncompressedSize)});
  if (int64_t(plain.size()) != h.uncompressedSize)
    throw EVZException(10088, "Decompress buffer failed. UncompSize = %d, Header.UncompSize = %d",
                       {LL(plain.size()), LL(h.uncompressedSize)});
  const uint32_t crc = platform::engineCrc32(0, plain.data(), plain.size());
  if (crc != h.crc)
    throw EVZException(10089, "Decompress buffer failed. CheckSum = %d, Header.Crc32 = %d", {LL(crc), LL(h.crc)});
  cache_ = std::move(plain);
  cachedBlock_ = int64_t(index);
  return cache_;
}

size_t TVZCompressedBLOBStream::read(void* buffer, size_t count) {
  if (!framed()) {
    if (position_ >= uncompressedSize_) return 0;
    seekUnderlying(startPosition_ + position_, 10091);
    const size_t got = underlying_.read(buffer, size_t(std::min<int64_t>(int64_t(count), uncompressedSize_ - position_)));
    position_ += int64_t(got);
    return got;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count && position_ < uncompressedSize_) {
    const auto index = size_t(position_ / blockSize_);
    currentBlock_ = int64_t(index);
    const std::vector<uint8_t>& block = decodeBlock(index);
    const int64_t offset = position_ - blockStart(index);
    const int64_t left = int64_t(block.size()) - offset;
    if (left <= 0) throw EVZException(10090, "Cannot read from stream. ReadSize = %d", {LL(count)});
    const size_t n = size_t(std::min<int64_t>(left, int64_t(count - done)));
    std::memcpy(out + done, block.data() + offset, n);
    done += n;
    position_ += int64_t(n);
  }
  return done;
}

TVZCompressedBLOBStream::EncodedBlock TVZCompressedBLOBStream::encodeBlock(const uint8_t* data, size_t length) const {
  EncodedBlock block;
  if (!compressBuffer(algorithm_, level_, data, length, block.packed))
    throw EVZException(10085, "Compress buffer failed. CompAlg = %d, CompMode = %d, InSize = %d, OutSize = %d",
                       {int(algorithm_), int(level_), LL(length), LL(block.packed.size())});
  block.header.compressedSize = int32_t(block.packed.size());
  block.header.uncompressedSize = int32_t(length);
  block.header.crc = platform::engineCrc32(0, data, length);
  block.header.blockLength = int64_t(block.packed.size()) + int64_t(CompressedBlockHeader::kSize);
  return block;
}

std::vector<TVZCompressedBLOBStream::EncodedBlock> TVZCompressedBLOBStream::encodePieces(const uint8_t* data,
                                                                                        size_t length) const {
  std::vector<EncodedBlock> blocks;
  for (size_t done = 0; done < length;) {
    const size_t n = std::min<size_t>(blockSize_, length - done);
    blocks.push_back(encodeBlock(data + done, n));
    done += n;
  }
  return blocks;
}

void TVZCompressedBLOBStream::appendBlock(const EncodedBlock& block, int32_t writeError) {
  BlockEntry entry{block.header, endOfBlocks()};
  uint8_t raw[CompressedBlockHeader::kSize];
  entry.header.store(raw);
  seekUnderlying(entry.headerPosition, 10094);
  size_t put = underlying_.write(raw, sizeof raw);
  if (put != sizeof raw)
    throw EVZException(writeError != 0 ? writeError : 10100, kWriteText,
                       {LL(entry.headerPosition), LL(underlying_.size()), LL(sizeof raw), LL(put)});
  put = underlying_.write(block.packed.data(), block.packed.size());
  if (put != block.packed.size())
    throw EVZException(writeError != 0 ? writeError : 10101, kWriteText,
                       {LL(entry.headerPosition + int64_t(sizeof raw)), LL(underlying_.size()),
                        LL(block.packed.size()), LL(put)});
  compressedTotal_ += entry.header.compressedSize;
  blocks_.push_back(entry);
}

void TVZCompressedBLOBStream::replaceFrom(size_t first, const std::vector<EncodedBlock>& blocks, int32_t writeError) {
  keepBlocks(first);
  for (const EncodedBlock& block : blocks) appendBlock(block, writeError);
}

void TVZCompressedBLOBStream::cutUnderlying() {
  const int64_t end = endOfBlocks();
  if (underlying_.size() == end) return;
  underlying_.setSize(end);
  if (underlying_.size() != end) throw EVZException(10093, kSizeText, {LL(underlying_.size()), LL(end)});
}

void TVZCompressedBLOBStream::keepBlocks(size_t keep) {
  cachedBlock_ = -1;
  while (blocks_.size() > keep) {
    compressedTotal_ -= blocks_.back().header.compressedSize;
    blocks_.pop_back();
  }
  cutUnderlying();
}

size_t TVZCompressedBLOBStream::write(const void* data, size_t count) {
  if (count == 0) return 0;
  const auto* in = static_cast<const uint8_t*>(data);
  if (!framed()) {
    seekUnderlying(startPosition_ + position_, 10094);
    const size_t put = underlying_.write(in, count);
    position_ += int64_t(put);
    uncompressedSize_ = std::max(uncompressedSize_, position_);
    return put;
  }
  if (int64_t(count) > std::numeric_limits<int64_t>::max() - position_)
    throw EVZException(10079, kPositionText, {LL(position_), LL(position_), LL(uncompressedSize_)});
  if (position_ > uncompressedSize_) growTo(position_);
  // Every block from the one holding the position to the end is encoded
  // again; in the usual sequential write that is only the last block.
  const auto first = size_t(position_ / blockSize_);
  std::vector<uint8_t> tail;
  if (first < blocks_.size()) {
    const int64_t tailStart = blockStart(first);
    tail.resize(size_t(std::max(uncompressedSize_, position_ + int64_t(count)) - tailStart));
    for (size_t k = first; k < blocks_.size(); ++k) {
      const std::vector<uint8_t>& block = decodeBlock(k);
      std::memcpy(tail.data() + (blockStart(k) - tailStart), block.data(), block.size());
    }
    std::memcpy(tail.data() + (position_ - tailStart), in, count);
    // Everything is encoded before the stored blocks change, so a failing
    // compressor leaves the value as it was.
    replaceFrom(first, encodePieces(tail.data(), tail.size()), 0);
  } else {
    replaceFrom(first, encodePieces(in, count), 0);
  }
  cachedBlock_ = -1;
  position_ += int64_t(count);
  uncompressedSize_ = std::max(uncompressedSize_, position_);
  return count;
}

void TVZCompressedBLOBStream::growTo(int64_t newSize) {
  // Zeros from the current end, through the write path in pieces of B.
  const int64_t saved = position_;
  std::vector<uint8_t> zeros;
  while (uncompressedSize_ < newSize) {
    position_ = uncompressedSize_;
    const int64_t inBlock = position_ % blockSize_;
    const auto n = size_t(std::min<int64_t>(int64_t(blockSize_) - inBlock, newSize - position_));
    zeros.assign(n, 0);
    const auto first = size_t(position_ / blockSize_);
    if (first < blocks_.size()) {
      std::vector<uint8_t> block = decodeBlock(first);
      block.insert(block.end(), zeros.begin(), zeros.end());
      replaceFrom(first, {encodeBlock(block.data(), block.size())}, 10097);
    } else {
      replaceFrom(first, {encodeBlock(zeros.data(), n)}, 10097);
    }
    cachedBlock_ = -1;
    uncompressedSize_ += int64_t(n);
  }
  position_ = saved;
}

int64_t TVZCompressedBLOBStream::seek(int64_t offset, SeekOrigin origin) {
  const int64_t base = origin == SeekOrigin::Begin ? 0 : origin == SeekOrigin::Current ? position_ : uncompressedSize_;
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0)
    throw EVZException(10079, kPositionText, {LL(offset), LL(position_), LL(uncompressedSize_)});
  position_ = target;
  if (framed()) currentBlock_ = position_ / blockSize_;
  return position_;
}

void TVZCompressedBLOBStream::setSize(int64_t newSize) {
  if (newSize < 0) throw EVZException(10092, kSizeText, {LL(newSize), LL(0)});
  if (!framed()) {
    underlying_.setSize(startPosition_ + newSize);
    if (underlying_.size() != startPosition_ + newSize)
      throw EVZException(10093, kSizeText, {LL(underlying_.size()), LL(startPosition_ + newSize)});
    uncompressedSize_ = newSize;
  } else if (newSize > uncompressedSize_) {
    growTo(newSize);
  } else if (newSize < uncompressedSize_) {
    const auto whole = size_t(newSize / blockSize_);
    const auto rest = size_t(newSize % blockSize_);
    std::vector<EncodedBlock> last;
    if (rest > 0) last.push_back(encodeBlock(decodeBlock(whole).data(), rest));
    replaceFrom(whole, last, 0);
    cutUnderlying();
    uncompressedSize_ = newSize;
  }
  cachedBlock_ = -1;
  position_ = std::min(position_, newSize);
}

}  // namespace vz
