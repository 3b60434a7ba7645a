#include "archive/dir_manager.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/archive_errors.h"
#include "archive/signature_scanner.h"
#include "platform/bytes.h"
#include "platform/locale.h"

namespace archive {
namespace {

using namespace zipfmt;

constexpr size_t kStubSearchWindow = 10000;
constexpr size_t kRecoveryWindow = 65535;
constexpr size_t kRecoveryNameLimit = 260;
constexpr size_t kDirectoryReadBlock = 256 * 1024;

// Sequential reads of the central directory through a block buffer, so that
// each header does not cost a read of its own.
class DirectoryReader {
 public:
  explicit DirectoryReader(ArchiveStream& stream) : stream_(stream), fileSize_(stream.size()) {}

  // False when the bytes do not lie inside the file.
  bool read(uint64_t pos, void* out, size_t length) {
    if (!platform::rangeFits(pos, length, fileSize_)) return false;
    if (length == 0) return true;
    if (length > kDirectoryReadBlock) return stream_.readFully(pos, out, length);
    if (pos < blockStart_ || pos + length > blockStart_ + block_.size()) {
      blockStart_ = pos;
      block_.resize(size_t(std::min<uint64_t>(kDirectoryReadBlock, fileSize_ - pos)));
      block_.resize(stream_.readAt(pos, block_.data(), block_.size()));
      if (block_.size() < length) return false;
    }
    std::memcpy(out, block_.data() + (pos - blockStart_), length);
    return true;
  }

 private:
  ArchiveStream& stream_;
  uint64_t fileSize_;
  std::vector<uint8_t> block_;
  uint64_t blockStart_ = 0;
};

// The Zip64 block: each value only where the central field is all ones and
// bytes remain in the block.
void decodeZip64Block(TDirItem& item, const std::string& data) {
  const auto* p = reinterpret_cast<const uint8_t*>(data.data());
  size_t left = data.size();
  auto take8 = [&](uint64_t& out) {
    if (left < 8) return;
    out = platform::loadU64(p);
    p += 8;
    left -= 8;
  };
  item.hasZip64 = true;
  item.zip64UncompressedSize = item.header.uncompressedSize;
  item.zip64CompressedSize = item.header.compressedSize;
  item.zip64LocalOffset = item.header.localOffset;
  item.zip64DiskStart = item.header.diskStart;
  if (item.header.uncompressedSize == kAllOnes32) take8(item.zip64UncompressedSize);
  if (item.header.compressedSize == kAllOnes32) take8(item.zip64CompressedSize);
  if (item.header.localOffset == kAllOnes32) take8(item.zip64LocalOffset);
  if (item.header.diskStart == kAllOnes16 && left >= 2) item.zip64DiskStart = platform::loadU16(p);
}

void parseExtraField(TDirItem& item, const uint8_t* p, size_t length) {
  size_t pos = 0;
  while (length - pos >= kExtraBlockHeaderSize) {
    TZAExtraBlock block;
    block.tag = platform::loadU16(p + pos);
    size_t size = platform::loadU16(p + pos + 2);
    pos += kExtraBlockHeaderSize;
    size = std::min(size, length - pos);
    block.data.assign(reinterpret_cast<const char*>(p + pos), size);
    pos += size;
    if (block.tag == kExtraTagZip64) decodeZip64Block(item, block.data);
    item.extra.push_back(std::move(block));
  }
}

}  // namespace

TZADirManager::TZADirManager(ArchiveStream& stream, TZADirReadSettings settings)
    : stream_(stream), settings_(std::move(settings)) {}

TDirItem TZADirManager::item(size_t index) const {
  if (index >= items_.size()) throw makeError(za::kIndexOutOfBounds);
  return items_[index];
}

void TZADirManager::damaged() const { throw makeError(za::kArchiveDamaged, {}, settings_.componentName); }

std::string TZADirManager::convertName(std::string raw) const {
  if (settings_.oemFileNames) raw = platform::oemToAnsi(raw);
  std::replace(raw.begin(), raw.end(), '\\', '/');
  return raw;
}

bool TZADirManager::searchEndRecord() {
  endRecordPos_.reset();
  comment_.clear();
  const uint64_t size = stream_.size();
  const size_t n = size_t(std::min<uint64_t>(size, kEndSearchSpan));
  if (n < kEndSize) return false;
  std::vector<uint8_t> tail(n);
  if (!stream_.readFully(size - n, tail.data(), n)) return false;
  for (size_t i = n - 4 + 1; i-- > 0;) {
    if (std::memcmp(tail.data() + i, kEndSignatureBytes, 4) != 0) continue;
    const uint64_t pos = size - n + i;
    if (size - pos < kEndSize) continue;
    const uint16_t commentLength = platform::loadU16(tail.data() + i + kEndOffCommentLength);
    if (size - (pos + kEndSize) != commentLength) continue;
    endRecord_ = decodeEndRecord(tail.data() + i);
    comment_.assign(reinterpret_cast<const char*>(tail.data() + i + kEndSize), commentLength);
    endRecordPos_ = pos;
    return true;
  }
  return false;
}

void TZADirManager::readZip64Records(uint64_t& endPos) {
  zip64_ = false;
  if (endPos > kZip64LocatorSize) {
    uint8_t buf[kZip64LocatorSize];
    if (stream_.readFully(endPos - kZip64LocatorSize, buf, sizeof buf) &&
        platform::loadU32(buf) == kZip64LocatorSignature) {
      locator_ = decodeZip64Locator(buf);
      zip64_ = true;
      endPos -= kZip64LocatorSize;
    }
  }
  if (!zip64_) return;
  uint8_t rec[kZip64EndSize];
  if (endPos <= kZip64EndSize || !stream_.readFully(locator_.recordOffset, rec, sizeof rec) ||
      platform::loadU32(rec) != kZip64EndSignature)
    throw makeError(za::kZip64EndRecordMissing);
  zip64End_ = decodeZip64EndRecord(rec);
  endPos -= kZip64EndSize;
}

void TZADirManager::readDirectory(bool recoverCorrupted) {
  items_.clear();
  endRecord_ = EndRecord{};
  stubSize_ = 0;
  zip64_ = false;
  if (!searchEndRecord()) {
    if (!recoverCorrupted) damaged();
    recoverFromLocalHeaders();
    centralDirStart_ = stream_.size();
    return;
  }
  uint64_t endPos = *endRecordPos_;
  readZip64Records(endPos);

  lastVolume_ = zip64_ ? locator_.totalDisks - 1 : (endRecord_.thisDisk == kAllOnes16 ? 0 : endRecord_.thisDisk);
  dirVolume_ = zip64_ ? zip64End_.dirDisk : (endRecord_.dirDisk == kAllOnes16 ? 0 : endRecord_.dirDisk);

  // The directory ends where the end records begin; the stored offset is not
  // trusted, so a stub in front of the archive or a wrong offset do not matter.
  const int64_t dirSize = zip64_ ? int64_t(zip64End_.dirSize) : int64_t(int32_t(endRecord_.dirSize));
  if (dirSize < 0 || uint64_t(dirSize) > endPos) damaged();
  const uint64_t count = zip64_ ? (zip64End_.totalEntries & 0xFFFFFFFFu) : endRecord_.totalEntries;
  readCentralHeaders(endPos - uint64_t(dirSize), count);

  if (lastVolume_ == 0) checkStub();
}

void TZADirManager::readCentralHeaders(uint64_t start, uint64_t count) {
  DirectoryReader reader(stream_);
  uint64_t pos = start;
  centralDirStart_ = start;
  std::vector<uint8_t> buf;
  for (uint64_t i = 0; i < count; ++i) {
    uint8_t fixed[kCentralSize];
    if (!reader.read(pos, fixed, sizeof fixed)) damaged();
    TDirItem item;
    item.header = decodeCentralHeader(fixed);
    pos += kCentralSize;
    const auto& h = item.header;

    std::string name(h.nameLength, '\0');
    if (!reader.read(pos, name.data(), name.size())) damaged();
    item.name = convertName(std::move(name));
    pos += h.nameLength;

    buf.resize(h.extraLength);
    if (!reader.read(pos, buf.data(), buf.size())) damaged();
    parseExtraField(item, buf.data(), buf.size());
    pos += h.extraLength;

    item.comment.resize(h.commentLength);
    if (!reader.read(pos, item.comment.data(), item.comment.size())) damaged();
    pos += h.commentLength;

    items_.push_back(std::move(item));
  }
}

void TZADirManager::checkStub() {
  if (!items_.empty()) {
    const CentralHeader& want = items_[0].header;
    SignatureScanner scanner(stream_, kLocalSignatureBytes, kStubSearchWindow);
    uint64_t from = items_[0].localHeaderOffset();
    while (auto hit = scanner.find(from)) {
      uint8_t buf[kLocalSize];
      if (stream_.readFully(*hit, buf, sizeof buf)) {
        const LocalHeader got = decodeLocalHeader(buf);
        std::string name(got.nameLength, '\0');
        const bool nameRead = stream_.readFully(*hit + kLocalSize, name.data(), name.size());
        if (nameRead && got.versionNeeded == want.versionNeeded && got.method == want.method &&
            got.time == want.time && got.date == want.date && got.crc == want.crc &&
            got.compressedSize == want.compressedSize && got.uncompressedSize == want.uncompressedSize) {
          stubSize_ = *hit;
          break;
        }
      }
      from = *hit + 1;
    }
  } else {
    stubSize_ = *endRecordPos_;
  }

  auto first = std::find_if(items_.begin(), items_.end(),
                            [](const TDirItem& it) { return it.header.compressedSize != 0; });
  if (first == items_.end() || first->header.localOffset >= stubSize_) return;
  for (TDirItem& it : items_) {
    if (it.isFolderAttr()) continue;
    if (it.header.localOffset == kAllOnes32 && it.hasZip64)
      it.zip64LocalOffset += stubSize_;
    else
      it.header.localOffset = uint32_t(it.header.localOffset + stubSize_);
  }
}

void TZADirManager::recoverFromLocalHeaders() {
  const uint64_t size = stream_.size();
  SignatureScanner headers(stream_, kLocalSignatureBytes, kRecoveryWindow);
  SignatureScanner descriptors(stream_, kDescriptorSignatureBytes, kRecoveryWindow);
  // The first descriptor at or after a position: searches move forward, so
  // the last answer stays valid until the position passes it.
  std::optional<uint64_t> lastDescriptor;
  uint64_t lastDescriptorFrom = 0;
  bool descriptorSearched = false;
  auto findDescriptor = [&](uint64_t from) {
    if (!descriptorSearched || from < lastDescriptorFrom || (lastDescriptor && *lastDescriptor < from)) {
      lastDescriptor = descriptors.find(from);
      descriptorSearched = true;
    }
    lastDescriptorFrom = from;
    return lastDescriptor;
  };

  auto hit = headers.find(0);
  if (!hit || size - *hit < kLocalSize) throw makeError(za::kInvalidArchive);
  while (hit && size - *hit >= kLocalSize) {
    uint8_t buf[kLocalSize];
    if (!stream_.readFully(*hit, buf, sizeof buf)) break;
    const LocalHeader lh = decodeLocalHeader(buf);
    if (lh.compressedSize < size && lh.nameLength <= kRecoveryNameLimit) {
      TDirItem item;
      CentralHeader& h = item.header;
      h.versionMadeBy = h.versionNeeded = lh.versionNeeded;
      h.flags = lh.flags;
      h.method = lh.method;
      h.time = lh.time;
      h.date = lh.date;
      h.crc = lh.crc;
      h.compressedSize = lh.compressedSize;
      h.uncompressedSize = lh.uncompressedSize;
      h.extraLength = lh.extraLength;
      h.externalAttr = (lh.uncompressedSize != 0 || (lh.flags & kFlagDataDescriptor)) ? kAttrArchive : kAttrFolder;
      if (*hit < kAllOnes32) {
        h.localOffset = uint32_t(*hit);
      } else {
        h.localOffset = kAllOnes32;
        item.hasZip64 = true;
        item.zip64LocalOffset = *hit;
        item.zip64CompressedSize = lh.compressedSize;
        item.zip64UncompressedSize = lh.uncompressedSize;
      }
      std::string name;
      if (platform::rangeFits(*hit + kLocalSize, lh.nameLength, size)) {
        name.resize(lh.nameLength);
        if (!stream_.readFully(*hit + kLocalSize, name.data(), name.size())) name.clear();
      }
      h.nameLength = uint16_t(name.size());
      item.name = convertName(std::move(name));
      if (lh.flags & kFlagDataDescriptor) {
        auto d = findDescriptor(*hit);
        uint8_t dbuf[kDescriptorSize];
        if (d && size - *d >= kDescriptorSize && stream_.readFully(*d, dbuf, sizeof dbuf)) {
          const DataDescriptor dd = decodeDataDescriptor(dbuf);
          h.crc = dd.crc;
          h.compressedSize = dd.compressedSize;
          h.uncompressedSize = dd.uncompressedSize;
          if (item.hasZip64) {
            item.zip64CompressedSize = dd.compressedSize;
            item.zip64UncompressedSize = dd.uncompressedSize;
          }
        }
      }
      items_.push_back(std::move(item));
    }
    hit = headers.find(*hit + 4);
  }
}

}  // namespace archive
