// Pages of a database and the sessions that change them.
//
// TVZPageManager is what the table storage sees: a session reads pages,
// changes private copies of them, adds and deletes pages, and then commits
// (its pages reach the file and become everybody's) or rolls back (they are
// thrown away). Until then other sessions keep seeing the committed pages.
//
// TVZDiskPageManager keeps a database file: it creates and opens the file,
// checks the password, moves pages between file and memory (encrypting the
// data of encrypted databases), keeps one cache of clean pages for all
// sessions of the process, hands out and takes back pages through the
// free-space manager, and counts object IDs. Its callers serialise access
// to it; between processes the file's lock bytes keep order.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "dbengine/storage/cipher.h"
#include "dbengine/storage/database_file.h"
#include "dbengine/storage/database_file_format.h"
#include "dbengine/storage/page.h"
#include "dbengine/storage/page_cache.h"

namespace vz {

class TVZDatabaseFreeSpaceManager;

// The session in which the catalogue is changed.
inline constexpr int32_t kSystemSessionID = -2;

class TVZPageManager {
 public:
  virtual ~TVZPageManager() = default;

  virtual uint16_t pageSize() const = 0;
  size_t pageDataSize() const { return vz::pageDataSize(pageSize()); }

  // The page as the session sees it: its own changed copy, else the
  // committed page. `expectedType` (kAnyPageType: any) is checked.
  virtual TVZPageRef fetchPage(int32_t sessionID, int32_t pageNo, uint16_t expectedType = kAnyPageType) = 0;
  // The session's own copy of the page, made on the first change.
  virtual TVZPageRef editPage(int32_t sessionID, int32_t pageNo, uint16_t expectedType = kAnyPageType) = 0;
  // A fresh page of `type`, numbered at once and owned by the session.
  virtual TVZPageRef newPage(int32_t sessionID, TVZPageType type) = 0;
  // The page is freed when the session commits.
  virtual void deletePage(int32_t sessionID, int32_t pageNo) = 0;

  virtual void commit(int32_t sessionID, bool flush = false) = 0;
  virtual void rollback(int32_t sessionID) = 0;
};

class TVZDiskPageManager : public TVZPageManager {
 public:
  TVZDiskPageManager();
  ~TVZDiskPageManager() override;
  TVZDiskPageManager(const TVZDiskPageManager&) = delete;
  TVZDiskPageManager& operator=(const TVZDiskPageManager&) = delete;

  // Makes a new database file holding an empty catalogue: the system
  // directory, a sessions file of `maxConnections` slots and an empty table
  // list. The manager is then open on it, exclusively. An existing file of
  // that name is replaced.
  void createDatabaseFile(const std::string& fileName, const TVZPassword& password,
                          uint16_t extentPageCount = kDefaultExtentPageCount, uint16_t pageSize = kDefaultPageSize,
                          int32_t maxConnections = kDefaultMaxConnections);

  // Opens an existing database file. `readOnly` in: the caller wants no
  // writes; out: the file is used read-only (its read-only attribute, or it
  // cannot be written). `multiUser` in: share with other processes; out:
  // switched off for an exclusive open and a read-only-attribute file.
  // `needsRepair` out: a commit was cut short, or the format is older than
  // the oldest sound version. The caller loads the catalogue afterwards.
  void openDatabaseFile(const std::string& fileName, const TVZPassword& password, bool& multiUser, bool exclusive,
                        bool& needsRepair, bool& readOnly);

  // Rolls back every session still holding pages and closes the file.
  void close();
  bool isOpen() const { return file_.isOpen(); }

  // ---- what the file is ----
  uint16_t pageSize() const override { return header_.pageSize; }
  uint16_t extentPageCount() const { return header_.extentPageCount; }
  int64_t signatureOffset() const { return signatureOffset_; }
  // The header as last read from or written to the file.
  const TVZDatabaseFileHeader& header() const { return header_; }
  TVZDatabaseFileHeader& header() { return header_; }
  const TVZPasswordCheckBlock& passwordCheckBlock() const { return checkBlock_; }
  bool isEncrypted() const { return header_.encrypted != 0; }
  bool multiUser() const { return multiUser_; }
  bool exclusive() const { return exclusive_; }
  bool readOnly() const { return readOnly_; }
  // Repair mode reads pages whatever their checksums and kinds.
  bool repairMode() const { return repairMode_; }
  void setRepairMode(bool on) { repairMode_ = on; }
  TVZDatabaseFile& file() { return file_; }
  TVZDatabaseFreeSpaceManager& freeSpace();
  TVZPageCache& cache() { return cache_; }

  // Absolute file offsets of the regions (the lock block's size field
  // decides where the object counter and the pages start).
  int64_t pageOffset(int32_t pageNo) const;
  int64_t nextObjectIDOffset() const { return signatureOffset_ + nextObjectIDOffset_; }
  int64_t headerLockOffset() const { return signatureOffset_ + int64_t(kHeaderLockOffset); }
  int64_t tablesLockOffset() const { return signatureOffset_ + int64_t(kTablesLockOffset); }

  // ---- session pages ----
  TVZPageRef fetchPage(int32_t sessionID, int32_t pageNo, uint16_t expectedType = kAnyPageType) override;
  TVZPageRef editPage(int32_t sessionID, int32_t pageNo, uint16_t expectedType = kAnyPageType) override;
  TVZPageRef newPage(int32_t sessionID, TVZPageType type) override;
  void deletePage(int32_t sessionID, int32_t pageNo) override;
  // Under the header lock: CommitState 1, free the deleted pages, write the
  // changed ones, ChangeCount + 1 and CommitState 2. Then the written pages
  // join the shared cache while it has room. `flush`: to the disk as well.
  void commit(int32_t sessionID, bool flush = false) override;
  // Forgets the session's changes and frees the pages it allocated.
  void rollback(int32_t sessionID) override;
  // Whether the session holds changed, new or deleted pages.
  bool hasChanges(int32_t sessionID) const;

  // Decides whether a page served from the shared cache may be used without
  // asking the file for its current write stamp. Without a policy, cached
  // pages are checked in multi-user mode and trusted otherwise.
  using CachedPagePolicy = std::function<bool(int32_t sessionID, const TVZPage& page)>;
  void setCachedPagePolicy(CachedPagePolicy policy) { trustCachedPage_ = std::move(policy); }

  // ---- pages on disk ----
  // Reads page.pageNo whole; decrypts an encrypted page and checks its data
  // checksum. False when the file could not be read (the page's stamp is
  // then the freed mark).
  bool readPage(TVZPage& page);
  // Advances the page's stamp and writes it whole, encrypted when the
  // database is; the buffer stays plain.
  void writePage(TVZPage& page);
  // Through the free-space manager, under the header lock.
  int32_t allocatePage();
  // Writes the freed mark into the page and releases it.
  void freePage(int32_t pageNo);
  // The write stamp of a page on disk; the freed mark when it cannot be read.
  int32_t readPageVersion(int32_t pageNo);
  void markPageFreed(int32_t pageNo);
  // A random stamp for a page made now.
  int32_t newPageVersion();

  void readHeader();
  void writeHeader();

  // Bytes inside one page, straight to the file (direct internal files).
  void readInPage(int32_t pageNo, int32_t offset, void* buffer, int32_t count);
  void writeInPage(int32_t pageNo, int32_t offset, const void* buffer, int32_t count);
  bool lockInPage(int32_t pageNo, int32_t offset, int32_t count = 1);
  bool unlockInPage(int32_t pageNo, int32_t offset, int32_t count = 1);
  bool isLockedInPage(int32_t pageNo, int32_t offset, int32_t count = 1);

  // Reads the object counter, adds 1 and writes it back, under its lock. A
  // read-only file is left as it is and the answer gets a random 0..9,999
  // added, so that it stays unlikely to collide.
  int32_t nextObjectID();

  // The header lock; the same manager may take it again while holding it,
  // and only the outermost unlock releases the byte. "Database is locked"
  // when another process keeps it past the retries.
  void lockHeader();
  void unlockHeader();
  // The tables lock ("Database tables are locked").
  void lockTables();
  void unlockTables();

 private:
  struct SessionPages {
    std::map<int32_t, TVZPagePtr> changed;  // changed and new pages
    std::set<int32_t> allocated;            // allocated by the session, freed again at rollback
    std::set<int32_t> deleted;              // freed at commit
  };

  void requireOpen() const;
  void checkPageType(const TVZPage& page, uint16_t expectedType) const;
  TVZPagePtr committedPage(int32_t sessionID, int32_t pageNo);
  TVZPagePtr loadPage(int32_t pageNo, uint16_t expectedType);
  int64_t findSignature();
  void readRegions(const TVZPassword& password);
  void startFreeSpace();
  void resetState();
  // Closes the file after a failed create or open and forgets everything.
  void abandonFile();
  void lockObjectCounter();
  // "Error - invalid page offset" unless [offset, offset + count) lies in a page.
  void checkInPage(int32_t offset, int32_t count) const;

  TVZDatabaseFile file_;
  std::unique_ptr<TVZDatabaseFreeSpaceManager> freeSpace_;
  TVZPageCache cache_;
  std::map<int32_t, SessionPages> sessions_;
  CachedPagePolicy trustCachedPage_;

  TVZDatabaseFileHeader header_;
  TVZPasswordCheckBlock checkBlock_;
  TVZPassword password_;
  int64_t signatureOffset_ = 0;
  int64_t nextObjectIDOffset_ = int64_t(kNextObjectIDOffset);  // from S
  int64_t pagesOffset_ = int64_t(kPagesOffset);                // from S
  bool multiUser_ = false;
  bool exclusive_ = false;
  bool readOnly_ = false;
  bool repairMode_ = false;
  int headerLockDepth_ = 0;
};

// Holds the header lock for a scope.
class TVZHeaderLock {
 public:
  explicit TVZHeaderLock(TVZDiskPageManager& manager) : manager_(manager) { manager_.lockHeader(); }
  ~TVZHeaderLock() {
    try {
      manager_.unlockHeader();
    } catch (...) {
    }
  }
  TVZHeaderLock(const TVZHeaderLock&) = delete;
  TVZHeaderLock& operator=(const TVZHeaderLock&) = delete;

 private:
  TVZDiskPageManager& manager_;
};

}  // namespace vz
