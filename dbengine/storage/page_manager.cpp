#include "dbengine/storage/page_manager.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "dbengine/storage/catalogue.h"
#include "dbengine/storage/database_file_errors.h"
#include "dbengine/storage/file_locks.h"
#include "dbengine/storage/free_space_manager.h"
#include "platform/crc32.h"
#include "platform/filesystem.h"

namespace vz {
namespace {

std::mt19937& randomEngine() {
  thread_local std::mt19937 engine{std::random_device{}()};
  return engine;
}

int32_t randomBelowOrEqual(int32_t highest) {
  return std::uniform_int_distribution<int32_t>(0, highest)(randomEngine());
}

// The header's page and extent sizes and counts make sense.
bool soundGeometry(const TVZDatabaseFileHeader& h) {
  return h.pageSize >= kMinPageSize && h.extentPageCount >= 1 && h.totalPageCount >= 0 && h.lastUsedPageNo >= -1 &&
         h.lastUsedPageNo < h.totalPageCount;
}

// Whether the file can be written: it opens for writing and its first byte
// can be written back as it is.
bool fileIsWritable(const std::string& fileName) {
  try {
    platform::File probe = platform::File::open(fileName, platform::Access::ReadWrite, platform::ShareReadWrite,
                                                platform::Disposition::OpenExisting);
    uint8_t first = 0;
    if (probe.readAt(0, &first, 1) == 1) probe.writeAt(0, &first, 1);
    return true;
  } catch (const platform::EOSError&) {
    return false;
  }
}

}  // namespace

TVZDiskPageManager::TVZDiskPageManager() = default;

TVZDiskPageManager::~TVZDiskPageManager() {
  try {
    close();
  } catch (...) {
  }
}

void TVZDiskPageManager::requireOpen() const {
  if (!file_.isOpen()) raise(msg::kDatabaseNotOpened);
}

TVZDatabaseFreeSpaceManager& TVZDiskPageManager::freeSpace() {
  requireOpen();
  return *freeSpace_;
}

int32_t TVZDiskPageManager::newPageVersion() { return randomBelowOrEqual(kMaxNewPageVersion); }

void TVZDiskPageManager::resetState() {
  sessions_.clear();
  cache_.clear();
  freeSpace_.reset();
  header_ = {};
  checkBlock_ = {};
  password_ = {};
  signatureOffset_ = 0;
  nextObjectIDOffset_ = int64_t(kNextObjectIDOffset);
  pagesOffset_ = int64_t(kPagesOffset);
  multiUser_ = exclusive_ = readOnly_ = false;
  headerLockDepth_ = 0;
}

void TVZDiskPageManager::abandonFile() {
  try {
    file_.close();
  } catch (const platform::Exception&) {
  }
  resetState();
}

void TVZDiskPageManager::startFreeSpace() { freeSpace_ = std::make_unique<TVZDatabaseFreeSpaceManager>(*this); }

// ---- create -----------------------------------------------------------------

void TVZDiskPageManager::createDatabaseFile(const std::string& fileName, const TVZPassword& password,
                                            uint16_t extentPageCount, uint16_t pageSize, int32_t maxConnections) {
  if (isOpen()) raise(msg::kDatabaseInUse, {file_.fileName()});
  if (pageSize < kMinPageSize) raise(msg::kInvalidPageSize, {int(pageSize), int(kMinPageSize), int(kMaxPageSize)});
  if (extentPageCount < 1) raise(msg::kInvalidExtentSize, {int(extentPageCount)});
  if (maxConnections < 1 || maxConnections > kMaxConnectionsLimit)
    raise(msg::kInvalidMaxConnections, {maxConnections, kMaxConnectionsLimit});

  resetState();
  file_.create(fileName);
  try {
    header_.signature = {};
    std::copy(kDatabaseSignature.begin(), kDatabaseSignature.end(), header_.signature.begin());
    header_.pageSize = pageSize;
    header_.extentPageCount = extentPageCount;
    header_.encrypted = password.empty() ? 0 : kEncryptedMark;

    if (!password.empty()) {
      checkBlock_.cipherID = password.cipherID;
      for (uint8_t& b : checkBlock_.checkData) b = uint8_t(randomBelowOrEqual(password_check::kMaxCheckByte));
      checkBlock_.checkCRC = platform::engineCrc32(0, checkBlock_.checkData.data(), checkBlock_.checkData.size());
      if (!encryptBuffer(password, checkBlock_.checkData.data(), checkBlock_.checkData.size()))
        raise(msg::kPageEncryptError, {-1});
    }
    password_ = password;
    exclusive_ = true;

    std::array<uint8_t, kPagesOffset> regions{};
    header_.encode(regions.data());
    checkBlock_.encode(regions.data() + kPasswordCheckBlockOffset);
    platform::storeI16(regions.data() + kLockBlockOffset + lock_block::kSize, int16_t(kLockBlockSize));
    file_.write(regions.data(), 0, int32_t(kNextObjectIDOffset));
    {
      lockObjectCounter();
      TVZByteLockGuard counterLock(file_, nextObjectIDOffset());
      file_.write(regions.data() + kNextObjectIDOffset, nextObjectIDOffset(), int32_t(kNextObjectIDSize));
    }
    startFreeSpace();
    TVZCatalogue::create(*this, maxConnections);
  } catch (...) {
    abandonFile();
    throw;
  }
}

// ---- open -----------------------------------------------------------------

int64_t TVZDiskPageManager::findSignature() {
  auto matches = [](const uint8_t* p) {
    return std::memcmp(p, kDatabaseSignature.data(), kSignatureSize) == 0 &&
           platform::loadI16(p + file_header::kHeaderSize) == int16_t(kFileHeaderSize);
  };
  const int64_t savedPosition = file_.position();
  int64_t found = -1;
  std::array<uint8_t, kSignatureSize + kFileHeaderSize> start{};
  if (file_.readAvailable(start.data(), 0, int32_t(start.size())) >= int32_t(kSignatureMatchSize) &&
      matches(start.data())) {
    found = 0;
  }
  std::vector<uint8_t> window(kSignatureSearchWindow);
  for (int64_t at = 0; found < 0; at += int64_t(kSignatureSearchStep)) {
    const int32_t got = file_.readAvailable(window.data(), at, int32_t(window.size()));
    for (int32_t i = 0; i + int32_t(kSignatureMatchSize) <= got; ++i) {
      if (matches(window.data() + i)) {
        found = at + i;
        break;
      }
    }
    if (got < int32_t(window.size())) break;
  }
  file_.setPosition(savedPosition);
  return found < 0 ? 0 : found;
}

void TVZDiskPageManager::openDatabaseFile(const std::string& fileName, const TVZPassword& password, bool& multiUser,
                                          bool exclusive, bool& needsRepair, bool& readOnly) {
  if (isOpen()) raise(msg::kDatabaseInUse, {file_.fileName()});
  resetState();
  needsRepair = false;
  if (!readOnly && platform::fileExists(fileName)) {
    const auto attributes = platform::fileAttributes(fileName);
    if (attributes && (*attributes & platform::faReadOnly)) {
      readOnly = true;
      multiUser = false;
    } else if (!fileIsWritable(fileName)) {
      readOnly = true;
    }
  }
  int access = TVZDatabaseFile::kAccessReadWrite;
  int share = TVZDatabaseFile::kShareReadWrite;
  if (readOnly) {
    access = TVZDatabaseFile::kAccessReadOnly;
  } else if (exclusive) {
    share = TVZDatabaseFile::kShareExclusive;
    multiUser = false;
  }
  file_.open(fileName, access, share);
  try {
    // S is not known yet: the header lock is taken at its place for S = 0.
    if (!lockWithRetry(file_, int64_t(kHeaderLockOffset), lockSettings().headerLock)) raise(msg::kDatabaseLocked);
    {
      TVZByteLockGuard openLock(file_, int64_t(kHeaderLockOffset));
      signatureOffset_ = findSignature();
      std::array<uint8_t, kFileHeaderSize> bytes{};
      file_.read(bytes.data(), signatureOffset_, int32_t(bytes.size()));
      header_ = TVZDatabaseFileHeader::decode(bytes.data());
      needsRepair = header_.commitState != kCommitStateConsistent || header_.version < kOldestSoundVersion;
    }
    if (!header_.hasSignature()) {
      std::string found(header_.signatureText());
      found.resize(std::min(found.size(), found.find('\0')));
      raise(msg::kInvalidSignature, {found, std::string(kDatabaseSignature)});
    }
    if (header_.headerSize != int16_t(kFileHeaderSize) || !soundGeometry(header_)) raise(msg::kInvalidDatabaseFormat);
    readRegions(password);
    exclusive_ = exclusive;
    multiUser_ = multiUser;
    readOnly_ = readOnly;
    startFreeSpace();
  } catch (...) {
    abandonFile();
    throw;
  }
}

void TVZDiskPageManager::readRegions(const TVZPassword& password) {
  std::array<uint8_t, kPasswordCheckBlockSize> block{};
  const int64_t blockOffset = signatureOffset_ + header_.headerSize;
  file_.read(block.data(), blockOffset, int32_t(block.size()));
  checkBlock_ = TVZPasswordCheckBlock::decode(block.data());
  password_ = TVZPassword{password.text, checkBlock_.cipherID};
  if (isEncrypted()) {
    auto check = checkBlock_.checkData;
    const bool decrypted = decryptBuffer(password_, check.data(), check.size());
    if (!decrypted || platform::engineCrc32(0, check.data(), check.size()) != checkBlock_.checkCRC)
      raise(msg::kIncorrectPassword);
  }
  if (checkBlock_.blockSize != int16_t(kPasswordCheckBlockSize)) raise(msg::kInvalidDatabaseFormat);

  const int64_t lockBlock = blockOffset + int64_t(kPasswordCheckBlockSize);
  std::array<uint8_t, 2> sizeField{};
  file_.read(sizeField.data(), lockBlock, int32_t(sizeField.size()));
  const int16_t lockBlockSize = platform::loadI16(sizeField.data());
  if (lockBlockSize < lock_block::kMinSize || lockBlockSize > lock_block::kMaxSize) raise(msg::kInvalidDatabaseFormat);
  nextObjectIDOffset_ = lockBlock + lockBlockSize - signatureOffset_;
  pagesOffset_ = nextObjectIDOffset_ + int64_t(kNextObjectIDSize);
}

void TVZDiskPageManager::close() {
  if (!isOpen()) return;
  std::vector<int32_t> open;
  for (const auto& [sessionID, pages] : sessions_) open.push_back(sessionID);
  for (int32_t sessionID : open) {
    try {
      rollback(sessionID);
    } catch (const platform::Exception&) {
      // Closing goes on; pages a failed rollback could not free stay allocated.
    }
  }
  file_.close();
  resetState();
}

// ---- header, counter, locks ---------------------------------------------------

void TVZDiskPageManager::readHeader() {
  requireOpen();
  std::array<uint8_t, kFileHeaderSize> bytes{};
  file_.read(bytes.data(), signatureOffset_, int32_t(bytes.size()));
  const TVZDatabaseFileHeader h = TVZDatabaseFileHeader::decode(bytes.data());
  if (!h.hasSignature() || h.pageSize != header_.pageSize || h.extentPageCount != header_.extentPageCount ||
      !soundGeometry(h)) {
    raise(msg::kInvalidDatabaseFormat);
  }
  header_ = h;
}

void TVZDiskPageManager::writeHeader() {
  requireOpen();
  std::array<uint8_t, kFileHeaderSize> bytes{};
  header_.encode(bytes.data());
  file_.write(bytes.data(), signatureOffset_, int32_t(bytes.size()));
}

void TVZDiskPageManager::lockHeader() {
  requireOpen();
  if (headerLockDepth_ == 0 && !lockWithRetry(file_, headerLockOffset(), lockSettings().headerLock))
    raise(msg::kDatabaseLocked);
  ++headerLockDepth_;
}

void TVZDiskPageManager::unlockHeader() {
  if (headerLockDepth_ == 0) return;
  if (--headerLockDepth_ == 0 && file_.isOpen()) file_.unlockBytes(headerLockOffset());
}

void TVZDiskPageManager::lockTables() {
  requireOpen();
  if (!lockWithRetry(file_, tablesLockOffset(), lockSettings().tablesLock)) raise(msg::kTablesLocked);
}

void TVZDiskPageManager::unlockTables() {
  requireOpen();
  if (!file_.unlockBytes(tablesLockOffset())) raise(msg::kCannotUnlockTables);
}

void TVZDiskPageManager::lockObjectCounter() {
  if (!lockWithRetry(file_, nextObjectIDOffset(), lockSettings().nextObjectIDLock)) raise(msg::kNextObjectIDLocked);
}

int32_t TVZDiskPageManager::nextObjectID() {
  requireOpen();
  lockObjectCounter();
  TVZByteLockGuard counterLock(file_, nextObjectIDOffset());
  std::array<uint8_t, kNextObjectIDSize> bytes{};
  file_.read(bytes.data(), nextObjectIDOffset(), int32_t(bytes.size()));
  const int32_t next = int32_t(uint32_t(platform::loadI32(bytes.data())) + 1u);
  if (!file_.writable()) return int32_t(uint32_t(next) + uint32_t(randomBelowOrEqual(9999)));
  platform::storeI32(bytes.data(), next);
  file_.write(bytes.data(), nextObjectIDOffset(), int32_t(bytes.size()));
  return next;
}

// ---- pages on disk ------------------------------------------------------------

int64_t TVZDiskPageManager::pageOffset(int32_t pageNo) const {
  if (pageNo < 0) raise(msg::kInvalidPageNo, {pageNo});
  return signatureOffset_ + pagesOffset_ + int64_t(pageNo) * header_.pageSize;
}

bool TVZDiskPageManager::readPage(TVZPage& page) {
  requireOpen();
  const int64_t offset = pageOffset(page.pageNo);
  try {
    file_.read(page.bytes(), offset, page.pageSize());
  } catch (const platform::EVZException&) {
    page.setVersion(kFreedPageVersion);
    return false;
  }
  if (isEncrypted() && page.mayBeEncrypted && !freeSpace_->isPFSOrEAMPage(page.pageNo)) {
    const bool decrypted = decryptBuffer(page.cipherID(), page.data(), page.dataSize(), password_.text);
    if (!repairMode_ && (!decrypted || platform::engineCrc32(0, page.data(), page.dataSize()) != page.dataCRC()))
      raise(msg::kDecryptPageError, {page.pageNo});
  }
  page.readFromDisk = true;
  return true;
}

void TVZDiskPageManager::writePage(TVZPage& page) {
  requireOpen();
  const int64_t offset = pageOffset(page.pageNo);
  page.setVersion(nextPageVersion(page.version()));
  const bool encrypt = isEncrypted() && page.mayBeEncrypted && !freeSpace_->isPFSOrEAMPage(page.pageNo);
  if (encrypt) {
    page.setCipherID(password_.cipherID);
    page.setDataCRC(platform::engineCrc32(0, page.data(), page.dataSize()));
    if (!encryptBuffer(password_, page.data(), page.dataSize())) {
      decryptBuffer(password_, page.data(), page.dataSize());
      raise(msg::kPageEncryptError, {page.pageNo});
    }
  }
  try {
    file_.write(page.bytes(), offset, page.pageSize());
  } catch (...) {
    if (encrypt) decryptBuffer(password_, page.data(), page.dataSize());
    throw;
  }
  if (encrypt) decryptBuffer(password_, page.data(), page.dataSize());
  page.dirty = false;
}

int32_t TVZDiskPageManager::allocatePage() {
  requireOpen();
  return freeSpace_->allocate();
}

void TVZDiskPageManager::freePage(int32_t pageNo) {
  requireOpen();
  if (freeSpace_->isPFSOrEAMPage(pageNo)) raise(msg::kCannotFreeMapPage, {pageNo});
  TVZHeaderLock lock(*this);
  readHeader();
  if (pageNo < 0 || pageNo >= header_.totalPageCount)
    raise(msg::kPageNotAddressable, {pageNo, header_.totalPageCount});
  markPageFreed(pageNo);
  freeSpace_->free(pageNo);
  cache_.remove(pageNo);
}

int32_t TVZDiskPageManager::readPageVersion(int32_t pageNo) {
  requireOpen();
  std::array<uint8_t, 4> bytes{};
  try {
    file_.read(bytes.data(), pageOffset(pageNo) + int64_t(page_header::kPageVersion), 4);
  } catch (const platform::EVZException&) {
    return kFreedPageVersion;
  }
  return platform::loadI32(bytes.data());
}

void TVZDiskPageManager::markPageFreed(int32_t pageNo) {
  requireOpen();
  std::array<uint8_t, 4> bytes{};
  platform::storeI32(bytes.data(), kFreedPageVersion);
  file_.write(bytes.data(), pageOffset(pageNo) + int64_t(page_header::kPageVersion), 4);
}

void TVZDiskPageManager::checkInPage(int32_t offset, int32_t count) const {
  requireOpen();
  if (offset < 0 || count < 0 || int64_t(offset) + count > header_.pageSize)
    raise(msg::kInvalidPageOffset, {offset, int(header_.pageSize)});
}

void TVZDiskPageManager::readInPage(int32_t pageNo, int32_t offset, void* buffer, int32_t count) {
  checkInPage(offset, count);
  file_.read(buffer, pageOffset(pageNo) + offset, count);
}

void TVZDiskPageManager::writeInPage(int32_t pageNo, int32_t offset, const void* buffer, int32_t count) {
  checkInPage(offset, count);
  file_.write(buffer, pageOffset(pageNo) + offset, count);
}

bool TVZDiskPageManager::lockInPage(int32_t pageNo, int32_t offset, int32_t count) {
  checkInPage(offset, count);
  return file_.lockBytes(pageOffset(pageNo) + offset, count);
}

bool TVZDiskPageManager::unlockInPage(int32_t pageNo, int32_t offset, int32_t count) {
  checkInPage(offset, count);
  return file_.unlockBytes(pageOffset(pageNo) + offset, count);
}

bool TVZDiskPageManager::isLockedInPage(int32_t pageNo, int32_t offset, int32_t count) {
  checkInPage(offset, count);
  return file_.isRegionLocked(pageOffset(pageNo) + offset, count);
}

// ---- session pages --------------------------------------------------------------

void TVZDiskPageManager::checkPageType(const TVZPage& page, uint16_t expectedType) const {
  if (expectedType != kAnyPageType && page.type() != expectedType && !repairMode_)
    raise(msg::kInvalidPageType, {int(expectedType), int(page.type())});
}

TVZPagePtr TVZDiskPageManager::loadPage(int32_t pageNo, uint16_t expectedType) {
  auto page = std::make_shared<TVZPage>(header_.pageSize);
  page->pageNo = pageNo;
  if (!readPage(*page)) raise(msg::kPageReadError, {pageNo, int(expectedType)});
  cache_.put(page);
  return page;
}

TVZPagePtr TVZDiskPageManager::committedPage(int32_t sessionID, int32_t pageNo) {
  TVZPagePtr page = cache_.find(pageNo);
  if (!page) return nullptr;
  const bool trusted = trustCachedPage_ ? trustCachedPage_(sessionID, *page) : !multiUser_;
  if (trusted) return page;
  const int32_t onDisk = readPageVersion(pageNo);
  if (onDisk == page->version() || onDisk == kFreedPageVersion) return page;
  return nullptr;  // another process has written it since
}

TVZPageRef TVZDiskPageManager::fetchPage(int32_t sessionID, int32_t pageNo, uint16_t expectedType) {
  requireOpen();
  if (pageNo < 0) raise(msg::kInvalidPageNo, {pageNo});
  auto session = sessions_.find(sessionID);
  if (session != sessions_.end()) {
    auto own = session->second.changed.find(pageNo);
    if (own != session->second.changed.end()) {
      checkPageType(*own->second, expectedType);
      return TVZPageRef(own->second);
    }
  }
  TVZPagePtr page = committedPage(sessionID, pageNo);
  if (!page) page = loadPage(pageNo, expectedType);
  checkPageType(*page, expectedType);
  return TVZPageRef(page);
}

TVZPageRef TVZDiskPageManager::editPage(int32_t sessionID, int32_t pageNo, uint16_t expectedType) {
  requireOpen();
  if (pageNo < 0) raise(msg::kInvalidPageNo, {pageNo});
  SessionPages& session = sessions_[sessionID];
  auto own = session.changed.find(pageNo);
  if (own != session.changed.end()) {
    checkPageType(*own->second, expectedType);
    return TVZPageRef(own->second);
  }
  TVZPagePtr committed = committedPage(sessionID, pageNo);
  if (!committed) committed = loadPage(pageNo, expectedType);
  checkPageType(*committed, expectedType);
  TVZPagePtr copy = committed->clone();
  copy->sessionID = sessionID;
  copy->dirty = true;
  session.changed[pageNo] = copy;
  return TVZPageRef(copy);
}

TVZPageRef TVZDiskPageManager::newPage(int32_t sessionID, TVZPageType type) {
  requireOpen();
  const int32_t pageNo = allocatePage();
  auto page = std::make_shared<TVZPage>(header_.pageSize);
  page->initialize(type, newPageVersion());
  page->pageNo = pageNo;
  page->sessionID = sessionID;
  page->dirty = true;
  SessionPages& session = sessions_[sessionID];
  session.changed[pageNo] = page;
  session.allocated.insert(pageNo);
  cache_.remove(pageNo);
  return TVZPageRef(page);
}

void TVZDiskPageManager::deletePage(int32_t sessionID, int32_t pageNo) {
  requireOpen();
  if (pageNo < 0) raise(msg::kInvalidPageNo, {pageNo});
  if (freeSpace_->isPFSOrEAMPage(pageNo)) raise(msg::kCannotFreeMapPage, {pageNo});
  SessionPages& session = sessions_[sessionID];
  session.changed.erase(pageNo);
  session.deleted.insert(pageNo);
}

bool TVZDiskPageManager::hasChanges(int32_t sessionID) const {
  auto it = sessions_.find(sessionID);
  return it != sessions_.end() &&
         !(it->second.changed.empty() && it->second.deleted.empty() && it->second.allocated.empty());
}

void TVZDiskPageManager::commit(int32_t sessionID, bool flush) {
  requireOpen();
  auto it = sessions_.find(sessionID);
  if (it == sessions_.end()) return;
  SessionPages& session = it->second;
  if (session.changed.empty() && session.deleted.empty() && session.allocated.empty()) {
    sessions_.erase(it);
    return;
  }
  {
    TVZHeaderLock lock(*this);
    readHeader();
    // A page that cannot be freed stops the commit before the file is marked.
    for (int32_t pageNo : session.deleted) {
      if (pageNo >= header_.totalPageCount) raise(msg::kPageNotAddressable, {pageNo, header_.totalPageCount});
      if (!freeSpace_->isPageUsed(pageNo)) raise(msg::kPageAlreadyFree, {pageNo});
    }
    header_.commitState = kCommitStateWriting;
    writeHeader();
    const std::set<int32_t> freed = session.deleted;
    // Pages are freed one by one; the set shrinks as they go, so a failure
    // leaves only the pages not yet freed for a retry or a rollback.
    while (!session.deleted.empty()) {
      const int32_t pageNo = *session.deleted.begin();
      freePage(pageNo);
      session.deleted.erase(session.deleted.begin());
      session.allocated.erase(pageNo);
    }
    for (auto& [pageNo, page] : session.changed) {
      if (!freed.count(pageNo)) writePage(*page);
    }
    header_.changeCount = int32_t(uint32_t(header_.changeCount) + 1u);
    header_.commitState = kCommitStateConsistent;
    writeHeader();
    if (flush) file_.flush();
  }
  for (auto& [pageNo, page] : session.changed) {
    if (!cache_.contains(pageNo) && !cache_.hasRoom()) continue;
    page->sessionID = 0;
    cache_.put(page);
  }
  sessions_.erase(sessionID);
}

void TVZDiskPageManager::rollback(int32_t sessionID) {
  requireOpen();
  auto it = sessions_.find(sessionID);
  if (it == sessions_.end()) return;
  SessionPages& session = it->second;
  session.changed.clear();
  session.deleted.clear();
  while (!session.allocated.empty()) {
    const int32_t pageNo = *session.allocated.begin();
    session.allocated.erase(session.allocated.begin());
    freePage(pageNo);
  }
  sessions_.erase(sessionID);
}

}  // namespace vz
