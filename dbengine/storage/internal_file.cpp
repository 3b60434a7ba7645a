#include "dbengine/storage/internal_file.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "dbengine/storage/database_file_errors.h"
#include "dbengine/storage/page_manager.h"

namespace vz {
namespace {

TVZInternalFileSize headerOf(const TVZPage& first) {
  const uint8_t* d = first.data();
  return {platform::loadI32(d + internal_file::kStoredSize), platform::loadI32(d + internal_file::kUncompressedSize),
          d[internal_file::kAlgorithm]};
}

void setHeader(TVZPage& first, const TVZInternalFileSize& size) {
  uint8_t* d = first.data();
  d[internal_file::kHeaderLength] = uint8_t(internal_file::kHeaderSize);
  platform::storeI32(d + internal_file::kStoredSize, size.stored);
  platform::storeI32(d + internal_file::kUncompressedSize, size.uncompressed);
  d[internal_file::kAlgorithm] = size.algorithm;
}

// The most a zlib stream can expand (deflate's limit is 1032 : 1); a larger
// announced size is not trusted for the first size of the output buffer.
constexpr int64_t kMostZlibExpansion = 1032;

}  // namespace

// ---- transacted -----------------------------------------------------------------

void TVZInternalDBTransactedAccessFile::requireOpen(const char* operation) const {
  if (!isOpen()) raise(msg::kInternalFileClosed, {operation});
}

int32_t TVZInternalDBTransactedAccessFile::create(int32_t sessionID) {
  if (isOpen()) raise(msg::kInternalFileExists, {start_});
  TVZPageRef first = pages_.newPage(sessionID, kind_);
  setHeader(*first, {});
  start_ = first->pageNo;
  return start_;
}

TVZInternalFileSize TVZInternalDBTransactedAccessFile::size(int32_t sessionID) {
  requireOpen("GetSize");
  return headerOf(*pages_.fetchPage(sessionID, start_, uint16_t(kind_)));
}

std::vector<int32_t> TVZInternalDBTransactedAccessFile::pageNumbers(int32_t sessionID) {
  requireOpen("GetSize");
  std::vector<int32_t> chain;
  std::set<int32_t> seen;
  for (int32_t pageNo = start_; pageNo != -1 && seen.insert(pageNo).second;) {
    chain.push_back(pageNo);
    pageNo = pages_.fetchPage(sessionID, pageNo, uint16_t(kind_))->nextPageNo();
  }
  return chain;
}

std::vector<uint8_t> TVZInternalDBTransactedAccessFile::read(int32_t sessionID) {
  requireOpen("ReadFile");
  const size_t dataSize = pages_.pageDataSize();
  TVZPageRef page = pages_.fetchPage(sessionID, start_, uint16_t(kind_));
  const TVZInternalFileSize size = headerOf(*page);
  if (size.stored < 0 || size.uncompressed < 0) raise(msg::kShortInternalRead, {size.stored, size.uncompressed, 0});

  // The stored bytes, page after page; a chain that ends early or runs in a
  // circle yields fewer bytes than announced.
  std::vector<uint8_t> stored;
  std::set<int32_t> seen{start_};
  size_t offset = internal_file::kHeaderSize;
  while (stored.size() < size_t(size.stored)) {
    const size_t take = std::min(dataSize - offset, size_t(size.stored) - stored.size());
    stored.insert(stored.end(), page->data() + offset, page->data() + offset + take);
    offset = 0;
    const int32_t next = page->nextPageNo();
    if (stored.size() == size_t(size.stored) || next == -1 || !seen.insert(next).second) break;
    page = pages_.fetchPage(sessionID, next, uint16_t(kind_));
  }
  if (stored.size() < size_t(size.stored))
    raise(msg::kShortInternalRead, {size.stored, size.stored, int64_t(stored.size())});
  if (size.algorithm == uint8_t(CompressionAlgorithm::None)) return stored;

  const auto algorithm = CompressionAlgorithm(size.algorithm);
  size_t expected = size_t(size.uncompressed);
  if (algorithm == CompressionAlgorithm::Zlib)
    expected = size_t(std::min<int64_t>(size.uncompressed, int64_t(stored.size()) * kMostZlibExpansion + 64));
  std::vector<uint8_t> plain;
  if (!decompressBuffer(algorithm, stored.data(), stored.size(), expected, plain) ||
      plain.size() != size_t(size.uncompressed)) {
    raise(msg::kDecompressionError, {lastCompressionError()});
  }
  return plain;
}

void TVZInternalDBTransactedAccessFile::read(int32_t sessionID, void* buffer, int32_t count) {
  requireOpen("ReadFile");
  const TVZInternalFileSize size = this->size(sessionID);
  if (count < 0 || count > size.uncompressed) raise(msg::kReadBeyondSize, {size.uncompressed, count});
  const std::vector<uint8_t> contents = read(sessionID);
  std::memcpy(buffer, contents.data(), size_t(count));
}

void TVZInternalDBTransactedAccessFile::write(int32_t sessionID, const void* data, int32_t count,
                                              CompressionAlgorithm algorithm, uint8_t level) {
  requireOpen("WriteFile");
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::vector<uint8_t> compressed;
  TVZInternalFileSize size{count, count, 0};
  // Empty contents have nothing to compress and are kept as they are.
  if (algorithm != CompressionAlgorithm::None && count > 0) {
    if (!compressBuffer(algorithm, level, bytes, size_t(count), compressed)) raise(msg::kCompressionError);
    bytes = compressed.data();
    size.stored = int32_t(compressed.size());
    size.algorithm = uint8_t(algorithm);
  }

  const size_t dataSize = pages_.pageDataSize();
  const int64_t needed = internalFilePageCount(size.stored, dataSize);
  std::set<int32_t> seen{start_};
  TVZPageRef page = pages_.editPage(sessionID, start_, uint16_t(kind_));
  setHeader(*page, size);
  size_t offset = internal_file::kHeaderSize;
  int64_t written = 0;
  for (int64_t index = 0;; ++index) {
    const size_t take = std::min(dataSize - offset, size_t(size.stored - written));
    if (take > 0) std::memcpy(page->data() + offset, bytes + written, take);
    written += int64_t(take);
    offset = 0;
    if (index + 1 == needed) break;
    const int32_t next = page->nextPageNo();
    TVZPageRef following = next != -1 && seen.insert(next).second
                               ? pages_.editPage(sessionID, next, uint16_t(kind_))
                               : pages_.newPage(sessionID, kind_);
    page->setNextPageNo(following->pageNo);
    seen.insert(following->pageNo);
    page = std::move(following);
  }
  // Pages past the new end leave the chain and are freed.
  int32_t rest = page->nextPageNo();
  page->setNextPageNo(-1);
  while (rest != -1 && seen.insert(rest).second) {
    const int32_t next = pages_.fetchPage(sessionID, rest, uint16_t(kind_))->nextPageNo();
    pages_.deletePage(sessionID, rest);
    rest = next;
  }
}

void TVZInternalDBTransactedAccessFile::remove(int32_t sessionID) {
  requireOpen("SetSize");
  for (int32_t pageNo : pageNumbers(sessionID)) pages_.deletePage(sessionID, pageNo);
  start_ = -1;
}

// ---- direct -------------------------------------------------------------------

void TVZInternalDBDirectAccessFile::requireOpen(const char* operation) const {
  if (!isOpen()) raise(msg::kInternalFileClosed, {operation});
}

int32_t TVZInternalDBDirectAccessFile::create(int32_t size) {
  if (isOpen()) raise(msg::kInternalFileExists, {start_});
  if (size < 0) raise(msg::kWriteBeyondSize, {0, 0, size});
  const int64_t needed = internalFilePageCount(size, pages_.pageDataSize());
  std::vector<int32_t> chain;
  TVZPageRef page = pages_.newPage(kSystemSessionID, kind_);
  page->mayBeEncrypted = false;
  setHeader(*page, {size, size, 0});
  chain.push_back(page->pageNo);
  while (int64_t(chain.size()) < needed) {
    TVZPageRef next = pages_.newPage(kSystemSessionID, kind_);
    next->mayBeEncrypted = false;
    page->setNextPageNo(next->pageNo);
    chain.push_back(next->pageNo);
    page = std::move(next);
  }
  start_ = chain.front();
  size_ = size;
  chain_ = std::move(chain);
  return start_;
}

void TVZInternalDBDirectAccessFile::checkPageKind(int32_t pageNo) {
  uint8_t header[kPageHeaderSize];
  pages_.readInPage(pageNo, 0, header, int32_t(kPageHeaderSize));
  const uint16_t found = platform::loadU16(header + page_header::kPageType);
  if (found != uint16_t(kind_)) raise(msg::kInternalPageType, {int(found), int(kind_)});
}

void TVZInternalDBDirectAccessFile::open(int32_t startPageNo) {
  close();
  if (startPageNo < 0) raise(msg::kInvalidPageNo, {startPageNo});
  uint8_t sizeField[4];
  pages_.readInPage(startPageNo, int32_t(kPageHeaderSize + internal_file::kStoredSize), sizeField, 4);
  const int32_t size = platform::loadI32(sizeField);
  if (size < 0) raise(msg::kMissingChainPage, {0});
  const int64_t needed = internalFilePageCount(size, pages_.pageDataSize());
  std::vector<int32_t> chain;
  std::set<int32_t> seen;
  for (int32_t pageNo = startPageNo; int64_t(chain.size()) < needed;) {
    if (pageNo < 0 || !seen.insert(pageNo).second) raise(msg::kMissingChainPage, {int64_t(chain.size())});
    uint8_t header[kPageHeaderSize];
    pages_.readInPage(pageNo, 0, header, int32_t(kPageHeaderSize));
    const uint16_t found = platform::loadU16(header + page_header::kPageType);
    if (found != uint16_t(kind_)) raise(msg::kInternalPageType, {int(found), int(kind_)});
    chain.push_back(pageNo);
    pageNo = platform::loadI32(header + page_header::kNextPageNo);
  }
  start_ = startPageNo;
  size_ = size;
  chain_ = std::move(chain);
}

void TVZInternalDBDirectAccessFile::close() {
  start_ = -1;
  size_ = 0;
  chain_.clear();
}

int32_t TVZInternalDBDirectAccessFile::size() const {
  requireOpen("GetSize");
  return size_;
}

void TVZInternalDBDirectAccessFile::checkPosition(int32_t position) const {
  if (position < 0 || position > size_) raise(msg::kSeekBeyondSize, {size_, position});
}

TVZInternalDBDirectAccessFile::Place TVZInternalDBDirectAccessFile::place(int32_t position, int32_t count) const {
  const int64_t dataSize = int64_t(pages_.pageDataSize());
  const int64_t x = int64_t(position) + int64_t(internal_file::kHeaderSize);
  const int64_t index = (x - 1) / dataSize;  // ceil(x / D) - 1, x > 0
  const int64_t offset = x % dataSize;
  if (index >= int64_t(chain_.size())) raise(msg::kMissingChainPage, {index});
  const int64_t run = offset == 0 ? 1 : std::min<int64_t>(count, dataSize - offset);
  return {chain_[size_t(index)], int32_t(kPageHeaderSize + offset), int32_t(run)};
}

void TVZInternalDBDirectAccessFile::eachRun(int32_t position, int32_t count,
                                            const std::function<bool(const Place&, int32_t)>& visit) const {
  for (int32_t done = 0; done < count;) {
    const Place p = place(position + done, count - done);
    if (!visit(p, done)) return;
    done += p.length;
  }
}

TVZInternalDBDirectAccessFile::Place TVZInternalDBDirectAccessFile::singleByte(const char* operation,
                                                                             int32_t position) const {
  requireOpen(operation);
  if (position < 0 || position >= size_) raise(msg::kSeekBeyondSize, {size_, position});
  return place(position, 1);
}

int32_t TVZInternalDBDirectAccessFile::read(int32_t position, void* buffer, int32_t count) {
  requireOpen("DirectReadBuffer");
  checkPosition(position);
  count = std::clamp(count, 0, size_ - position);
  auto* out = static_cast<uint8_t*>(buffer);
  int32_t lastChecked = -1;
  eachRun(position, count, [&](const Place& p, int32_t done) {
    if (p.pageNo != lastChecked) checkPageKind(lastChecked = p.pageNo);
    pages_.readInPage(p.pageNo, p.offset, out + done, p.length);
    return true;
  });
  return count;
}

void TVZInternalDBDirectAccessFile::write(int32_t position, const void* data, int32_t count) {
  requireOpen("DirectWriteBuffer");
  checkPosition(position);
  if (count < 0 || int64_t(position) + count > size_) raise(msg::kWriteBeyondSize, {size_, position, count});
  const auto* in = static_cast<const uint8_t*>(data);
  int32_t lastChecked = -1;
  eachRun(position, count, [&](const Place& p, int32_t done) {
    if (p.pageNo != lastChecked) checkPageKind(lastChecked = p.pageNo);
    pages_.writeInPage(p.pageNo, p.offset, in + done, p.length);
    return true;
  });
}

bool TVZInternalDBDirectAccessFile::lockByte(int32_t position) {
  const Place p = singleByte("LockByte", position);
  return pages_.lockInPage(p.pageNo, p.offset);
}

bool TVZInternalDBDirectAccessFile::unlockByte(int32_t position) {
  const Place p = singleByte("UnlockByte", position);
  return pages_.unlockInPage(p.pageNo, p.offset);
}

bool TVZInternalDBDirectAccessFile::isByteLocked(int32_t position) {
  const Place p = singleByte("IsByteLocked", position);
  return pages_.isLockedInPage(p.pageNo, p.offset);
}

bool TVZInternalDBDirectAccessFile::isRegionLocked(int32_t position, int32_t count) {
  requireOpen("IsRegionLocked");
  if (position < 0 || count < 0 || int64_t(position) + count > size_) raise(msg::kSeekBeyondSize, {size_, position});
  bool locked = false;
  eachRun(position, count, [&](const Place& p, int32_t) {
    locked = pages_.isLockedInPage(p.pageNo, p.offset, p.length);
    return !locked;
  });
  return locked;
}

bool TVZInternalDBDirectAccessFile::lockFile() {
  requireOpen("LockFile");
  return pages_.lockInPage(start_, 0);
}

bool TVZInternalDBDirectAccessFile::unlockFile() {
  requireOpen("UnlockFile");
  return pages_.unlockInPage(start_, 0);
}

void TVZInternalDBDirectAccessFile::remove(int32_t sessionID) {
  requireOpen("SetSize");
  for (int32_t pageNo : chain_) pages_.deletePage(sessionID, pageNo);
  close();
}

}  // namespace vz
