#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dbengine/storage/free_space_manager.h"
#include "dbengine/storage/page_cache.h"
#include "dbengine/storage/page_manager.h"
#include "file_format_support.h"
#include "platform/bytes.h"
#include "platform/crc32.h"
#include "test_support.h"
#include "child_process.h"

using file_format_test::messageOf;
using testing_support::TempDir;

namespace {

class SessionPages : public ::testing::Test {
 protected:
  void create(const vz::TVZPassword& password = {}) {
    password_ = password;
    path_ = dir_.file("db.fdb");
    file_format_test::createDatabase(path_, password);
    open(m_);
  }
  void open(vz::TVZDiskPageManager& m) { file_format_test::openDatabase(m, path_, password_); }
  // A page's first data byte as it is on disk.
  uint8_t onDisk(int32_t pageNo, int32_t offset = 0) {
    uint8_t byte = 0;
    m_.readInPage(pageNo, 40 + offset, &byte, 1);
    return byte;
  }
  // What a second process reads in the page: its first 8 data bytes in hex.
  std::string seenByAnotherProcess(int32_t pageNo) {
    testing_support::ChildProcess reader(file_format_test::helperProgram(),
                                         {"helper", "read-page", path_, std::to_string(pageNo), password_.text});
    return reader.readLine();
  }

  TempDir dir_;
  std::string path_;
  vz::TVZPassword password_;
  vz::TVZDiskPageManager m_;
};

}  // namespace

TEST_F(SessionPages, ChangesReachTheFileOnlyAtCommit) {
  create();
  const int32_t changeCount = m_.header().changeCount;
  {
    vz::TVZPageRef page = m_.editPage(0, 4, uint16_t(vz::TVZPageType::TableList));
    page->data()[20] = 0xAB;
  }
  EXPECT_TRUE(m_.hasChanges(0));
  EXPECT_EQ(onDisk(4, 20), 0);
  EXPECT_EQ(m_.fetchPage(1, 4)->data()[20], 0);     // another session sees the committed page
  EXPECT_EQ(m_.fetchPage(0, 4)->data()[20], 0xAB);  // the session sees its own
  EXPECT_EQ(seenByAnotherProcess(4), "0a00000000000000");

  m_.commit(0);
  EXPECT_FALSE(m_.hasChanges(0));
  EXPECT_EQ(onDisk(4, 20), 0xAB);
  EXPECT_EQ(m_.fetchPage(1, 4)->data()[20], 0xAB);
  EXPECT_EQ(m_.header().changeCount, changeCount + 1);
  const std::string file = testing_support::readFile(path_);
  EXPECT_EQ(platform::loadI32(reinterpret_cast<const uint8_t*>(file.data()) + 38), changeCount + 1);
  EXPECT_EQ(file[42], 2);  // consistent again

  // A session that changed nothing commits nothing.
  m_.commit(0);
  EXPECT_EQ(m_.header().changeCount, changeCount + 1);
}

TEST_F(SessionPages, AnotherProcessSeesCommittedChangesOnly) {
  create();
  vz::TVZPageRef page = m_.editPage(0, 2);
  page->data()[1] = 0x11;
  EXPECT_EQ(seenByAnotherProcess(2), "0a0a0000000a0000");
  m_.commit(0);
  EXPECT_EQ(seenByAnotherProcess(2), "0a110000000a0000");
}

TEST_F(SessionPages, RollbackForgetsChangesAndFreesNewPages) {
  create();
  {
    vz::TVZPageRef page = m_.editPage(0, 4);
    page->data()[20] = 0x77;
  }
  const int32_t added = m_.newPage(0, vz::TVZPageType::TableRecord)->pageNo;
  EXPECT_EQ(added, 5);
  EXPECT_TRUE(m_.freeSpace().isPageUsed(added));  // other processes must not take it meanwhile
  m_.rollback(0);
  EXPECT_FALSE(m_.hasChanges(0));
  EXPECT_FALSE(m_.freeSpace().isPageUsed(added));
  EXPECT_EQ(m_.header().lastUsedPageNo, 4);
  EXPECT_EQ(m_.fetchPage(0, 4)->data()[20], 0);
  EXPECT_EQ(onDisk(4, 20), 0);
}

TEST_F(SessionPages, DeletedPagesAreFreedAtCommit) {
  create();
  const int32_t pageNo = m_.newPage(0, vz::TVZPageType::TableBlob)->pageNo;
  m_.commit(0);
  m_.deletePage(0, pageNo);
  EXPECT_TRUE(m_.freeSpace().isPageUsed(pageNo));
  m_.rollback(0);  // a rolled back delete keeps the page
  EXPECT_TRUE(m_.freeSpace().isPageUsed(pageNo));
  m_.deletePage(0, pageNo);
  m_.commit(0);
  EXPECT_FALSE(m_.freeSpace().isPageUsed(pageNo));
  EXPECT_EQ(m_.readPageVersion(pageNo), vz::kFreedPageVersion);
}

TEST_F(SessionPages, EncryptedPagesAreStoredEncryptedAndKeptPlain) {
  create({"tirelvash", 5});
  vz::TVZPageRef page = m_.newPage(0, vz::TVZPageType::TableRecord);
  page->setOwnerTableID(7);
  for (size_t i = 0; i < page->dataSize(); ++i) page->data()[i] = uint8_t(i);
  const std::vector<uint8_t> plain(page->data(), page->data() + page->dataSize());
  m_.commit(0);
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), page->data()));  // the buffer stays plain

  std::vector<uint8_t> stored(4096);
  m_.readInPage(page->pageNo, 0, stored.data(), 4096);
  EXPECT_EQ(stored[20], 5);  // the page's cipher
  EXPECT_EQ(platform::loadU32(&stored[14]), platform::engineCrc32(0, plain.data(), plain.size()));
  EXPECT_FALSE(std::equal(plain.begin(), plain.end(), stored.begin() + 40));
  EXPECT_EQ(seenByAnotherProcess(page->pageNo), "0001020304050607");
}

TEST_F(SessionPages, CachedPagesAreCheckedAgainstOtherWritersInMultiUserMode) {
  create();
  vz::TVZDiskPageManager other;
  open(other);
  EXPECT_EQ(other.fetchPage(0, 4)->data()[20], 0);  // now in its cache
  {
    vz::TVZPageRef page = m_.editPage(0, 4);
    page->data()[20] = 0x42;
  }
  m_.commit(0);
  EXPECT_EQ(other.fetchPage(0, 4)->data()[20], 0x42);

  // A policy (the table locks, later) may vouch for cached pages.
  other.setCachedPagePolicy([](int32_t, const vz::TVZPage&) { return true; });
  {
    vz::TVZPageRef page = m_.editPage(0, 4);
    page->data()[20] = 0x43;
  }
  m_.commit(0);
  EXPECT_EQ(other.fetchPage(0, 4)->data()[20], 0x42);
}

TEST_F(SessionPages, TheObjectCounterPersists) {
  create();
  EXPECT_EQ(m_.nextObjectID(), 1);
  EXPECT_EQ(m_.nextObjectID(), 2);
  m_.close();
  open(m_);
  EXPECT_EQ(m_.nextObjectID(), 3);
}

TEST_F(SessionPages, LocksOfAnotherProcessStopTheCounterAndTheCommit) {
  file_format_test::ShortLockWaits shortWaits;
  create();
  testing_support::ChildProcess counter(file_format_test::helperProgram(), {"helper", "hold", path_, "376"});
  ASSERT_EQ(counter.readLine(), "locked");
  EXPECT_EQ(messageOf([&] { m_.nextObjectID(); }),
            "Cannot get NextObjectID. File area is Locked. - Native error: 10530");
  counter.kill();
  EXPECT_EQ(m_.nextObjectID(), 1);

  testing_support::ChildProcess header(file_format_test::helperProgram(), {"helper", "hold", path_, "360"});
  ASSERT_EQ(header.readLine(), "locked");
  m_.editPage(0, 4)->data()[20] = 1;
  EXPECT_EQ(messageOf([&] { m_.commit(0); }), "Database is locked - Native error: 10525");
  EXPECT_EQ(onDisk(4, 20), 0);
  header.kill();
  m_.commit(0);
  EXPECT_EQ(onDisk(4, 20), 1);
}

TEST_F(SessionPages, ACommitThatCannotFreeItsPagesLeavesTheFileUntouched) {
  create();
  m_.editPage(0, 4)->data()[20] = 9;
  m_.deletePage(0, 5);  // a free page
  EXPECT_EQ(messageOf([&] { m_.commit(0); }), "Page: 5 already free - Native error: 10541");
  m_.rollback(0);
  m_.deletePage(0, 60);  // past the end
  EXPECT_EQ(messageOf([&] { m_.commit(0); }),
            "Page: 60 cannot be addressed. TotalPageCount=6 - Native error: 10543");
  const std::string file = testing_support::readFile(path_);
  EXPECT_EQ(file[42], 2);
  EXPECT_EQ(onDisk(4, 20), 0);
}

TEST_F(SessionPages, TheTablesLockKeepsOtherProcessesOut) {
  file_format_test::ShortLockWaits shortWaits;
  create();
  EXPECT_EQ(messageOf([&] { m_.unlockTables(); }), "Cannot unlock database tables - Native error: 10533");
  {
    testing_support::ChildProcess holder(file_format_test::helperProgram(), {"helper", "hold", path_, "359"});
    ASSERT_EQ(holder.readLine(), "locked");
    EXPECT_EQ(messageOf([&] { m_.lockTables(); }), "Database tables are locked - Native error: 10532");
  }
  m_.lockTables();
  testing_support::ChildProcess other(file_format_test::helperProgram(), {"helper", "hold", path_, "359"});
  EXPECT_EQ(other.readLine(), "refused");
  m_.unlockTables();
}

TEST_F(SessionPages, RepairModeReadsDamagedPages) {
  create({"tirelvash", 0});
  file_format_test::patchFile(path_, uint64_t(m_.pageOffset(4)) + 100, {0x55});
  file_format_test::patchFile(path_, uint64_t(m_.pageOffset(2)) + 8, {9});
  EXPECT_EQ(messageOf([&] { m_.fetchPage(0, 4); }),
            "Decrypt page error. Check CRC failed. PageNo: 4 - Native error: 10527");
  EXPECT_NE(messageOf([&] { m_.fetchPage(0, 2, uint16_t(vz::TVZPageType::FileSystemDirectory)); }), "");
  m_.setRepairMode(true);
  EXPECT_EQ(m_.fetchPage(0, 4)->pageNo, 4);
  EXPECT_EQ(m_.fetchPage(0, 2, uint16_t(vz::TVZPageType::FileSystemDirectory))->type(), 9);
}

TEST_F(SessionPages, TheHeaderLockNestsInOneManager) {
  create();
  vz::TVZDiskPageManager other;
  open(other);
  m_.lockHeader();
  m_.lockHeader();
  m_.unlockHeader();
  EXPECT_TRUE(other.file().isByteLocked(360));
  m_.unlockHeader();
  EXPECT_FALSE(other.file().isByteLocked(360));
}

TEST_F(SessionPages, BadPageNumbersAndOffsetsAreRefused) {
  create();
  EXPECT_EQ(messageOf([&] { m_.fetchPage(0, -1); }), "Invalid PageNo = -1 - Native error: 10522");
  EXPECT_EQ(messageOf([&] { m_.fetchPage(0, 40); }),
            "Error reading database file page. Page No: 40, type 255 - Native error: 10526");
  EXPECT_EQ(messageOf([&] { m_.fetchPage(0, 3, uint16_t(vz::TVZPageType::TableList)); }),
            "Invalid page type. Possible data corruption. Expecting type 6, but found 5 - Native error: 10528");
  uint8_t buffer[16];
  EXPECT_EQ(messageOf([&] { m_.readInPage(2, 4090, buffer, 10); }),
            "Error - invalid page offset = 4090, page size = 4096 - Native error: 10529");
  m_.close();
  EXPECT_EQ(messageOf([&] { m_.readHeader(); }), "Error - database file is not opened. - Native error: 10521");
}

TEST(PageCache, DropsTheLeastRecentlyUsedIdlePages) {
  vz::TVZPageCache cache(2);
  auto page = [](int32_t n) {
    auto p = std::make_shared<vz::TVZPage>(256);
    p->pageNo = n;
    return p;
  };
  cache.put(page(1));
  cache.put(page(2));
  cache.find(1);
  cache.put(page(3));  // 2 was used least recently
  EXPECT_TRUE(cache.contains(1));
  EXPECT_FALSE(cache.contains(2));
  EXPECT_TRUE(cache.contains(3));
  {
    vz::TVZPageRef inUse(cache.find(1));
    cache.find(3);
    cache.put(page(4));  // 1 is older but in use
    EXPECT_TRUE(cache.contains(1));
    EXPECT_FALSE(cache.contains(3));
    EXPECT_TRUE(cache.contains(4));
  }
  EXPECT_GE(vz::TVZPageCache::defaultCapacity(), 1u);
  EXPECT_LE(vz::TVZPageCache::defaultCapacity(), 1000u);
}
