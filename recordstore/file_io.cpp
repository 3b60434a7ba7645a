#include "recordstore/file_io.h"

#include <cstring>
#include <limits>

#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/filesystem.h"
#include "platform/locale.h"
#include "platform/path.h"
#include "platform/system.h"
#include "recordstore/messages.h"

namespace rec {

using platform::EDatabaseError;

namespace {
constexpr uint64_t kLockOffset = 1;  // absolute, whatever the store's base offset
}

TRecFileIO::~TRecFileIO() = default;

void TRecFileIO::open(const std::string& fileName, int64_t baseOffset, bool readOnly, bool exclusive) {
  close();
  std::string path = platform::nativePath(fileName);
  if (baseOffset < 0 || !platform::fileExists(path)) throw EDatabaseError(msg::kCannotOpenFile, {fileName});

  // Signature and version, through a handle that shares with everybody.
  uint8_t head[format::kSignatureSize + format::kVersionSize] = {};
  try {
    platform::File probe = platform::File::open(path, platform::Access::Read,
                                                platform::ShareReadWrite | platform::ShareDelete,
                                                platform::Disposition::OpenExisting);
    probe.readAt(uint64_t(baseOffset), head, sizeof head);
  } catch (const platform::EOSError&) {
    throw EDatabaseError(msg::kCannotOpenFile, {fileName});
  }
  if (format::loadText(head + format::kSignatureOffset, format::kSignatureSize) != format::kSignature)
    throw EDatabaseError(msg::kInvalidFile, {fileName});
  std::string version = format::loadText(head + format::kVersionOffset, format::kVersionSize);
  if (version == format::kIncompatibleVersion) throw EDatabaseError(msg::kVersion100);
  if (version > format::kCurrentVersion) throw EDatabaseError(msg::kVersionTooHigh);

  std::optional<uint32_t> attributes = platform::fileAttributes(path);
  bool readOnlyFile = attributes && (*attributes & platform::faReadOnly);
  try {
    file_ = platform::File::open(path, readOnly || readOnlyFile ? platform::Access::Read : platform::Access::ReadWrite,
                                 exclusive ? platform::ShareNone : platform::ShareReadWrite,
                                 platform::Disposition::OpenExisting);
  } catch (const platform::EOSError&) {
    throw EDatabaseError(msg::kCannotOpenFile, {fileName});
  }
  fileName_ = fileName;
  base_ = baseOffset;
  readOnly_ = readOnly || readOnlyFile;

  try {
    uint8_t block[format::kAlgorithmBlockSize];
    read(format::kAlgorithmBlockOffset, block, sizeof block);
    algorithms_ = format::decodeAlgorithmBlock(block);
    if (algorithms_.encrypt && algorithms_.encryptMode > 4) damaged();
    codec_ = std::make_unique<StoreCodec>(algorithms_);

    uint8_t directory[format::kDirectorySize];
    read(format::kDirectoryOffset, directory, sizeof directory);
    directory_ = format::decodeTableDirectory(directory);
    if (directory_.tableCount < 0 || size_t(directory_.tableCount) > format::kMaxTables) damaged();
    for (int32_t offset : directory_.tableOffsets)
      if (offset < 0 || !platform::rangeFits(uint64_t(offset), format::kTableHeaderSize, uint64_t(endOffset())))
        damaged();
  } catch (...) {
    close();
    throw;
  }
}

void TRecFileIO::close() {
  file_.close();
  codec_.reset();
  directory_ = {};
  algorithms_ = {};
  lockDepth_ = 0;
}

void TRecFileIO::damaged() const { throw EDatabaseError(msg::kInvalidFile, {fileName_}); }

void TRecFileIO::checkWritable() const {
  if (readOnly_) throw EDatabaseError(msg::kReadOnlyDatabase);
}

int64_t TRecFileIO::endOffset() const { return int64_t(file_.size()) - base_; }

void TRecFileIO::checkRange(int64_t offset, int64_t length) const {
  if (offset < 0 || length < 0 ||
      !platform::rangeFits(uint64_t(offset), uint64_t(length), uint64_t(std::max<int64_t>(endOffset(), 0))))
    damaged();
}

void TRecFileIO::read(int64_t offset, void* buffer, size_t length) {
  checkRange(offset, int64_t(length));
  if (file_.readAt(uint64_t(base_ + offset), buffer, length) != length) damaged();
}

void TRecFileIO::write(int64_t offset, const void* data, size_t length) {
  checkWritable();
  // Every offset in the file is a signed 32-bit number.
  if (offset < 0 || uint64_t(offset) + length > uint64_t(std::numeric_limits<int32_t>::max()))
    throw EDatabaseError(msg::kGeneralError);
  file_.writeAt(uint64_t(base_ + offset), data, length);
}

void TRecFileIO::flush() { file_.flush(); }

std::vector<uint8_t> TRecFileIO::readTableHeader(int number) {
  std::vector<uint8_t> header(format::kTableHeaderSize);
  read(directory_.tableOffsets.at(size_t(number)), header.data(), header.size());
  return header;
}

void TRecFileIO::writeTableHeader(int number, const std::vector<uint8_t>& header) {
  write(directory_.tableOffsets.at(size_t(number)), header.data(), header.size());
}

std::vector<std::string> TRecFileIO::tableNames() {
  std::vector<std::string> names;
  for (int i = 0; i < tableCount(); ++i) {
    uint8_t name[format::kNameSize];
    read(directory_.tableOffsets[size_t(i)] + int64_t(format::kHdrTableName), name, sizeof name);
    names.push_back(format::loadText(name, sizeof name));
  }
  return names;
}

int TRecFileIO::findTable(std::string_view name) {
  std::vector<std::string> names = tableNames();
  for (size_t i = 0; i < names.size(); ++i)
    if (platform::sameTextAnsi(names[i], name)) return int(i);
  return -1;
}

void TRecFileIO::lock() {
  if (lockDepth_ > 0) {
    ++lockDepth_;
    return;
  }
  for (int failures = 0; !file_.tryLock(kLockOffset, 1); ++failures) {
    if (lockRetryCount_ > 0 && failures >= lockRetryCount_) throw EDatabaseError(msg::kLockTimeOut);
    platform::sleepMs(uint32_t(std::max(lockWaitTime_, 0)));
  }
  lockDepth_ = 1;
}

void TRecFileIO::unlock() {
  if (lockDepth_ == 0) return;
  if (--lockDepth_ == 0) file_.unlock(kLockOffset, 1);
}

}  // namespace rec
