#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dbengine/storage/catalogue.h"
#include "dbengine/storage/database_file_check.h"
#include "dbengine/storage/free_space_manager.h"
#include "dbengine/storage/page_manager.h"
#include "file_format_support.h"
#include "test_support.h"
#include "child_process.h"

using file_format_test::messageOf;
using testing_support::TempDir;

namespace {

class FreeSpace : public ::testing::Test {
 protected:
  void open(uint16_t pageSize = 4096, uint16_t extent = 8) {
    path_ = dir_.file("db.fdb");
    file_format_test::createDatabase(path_, {}, pageSize, extent);
    file_format_test::openDatabase(m_, path_);
  }
  int32_t total() { return m_.header().totalPageCount; }
  // A page made in a session, as the table storage makes them.
  int32_t newPage() { return m_.newPage(0, vz::TVZPageType::TableBlob)->pageNo; }
  int32_t lastUsed() { return m_.header().lastUsedPageNo; }
  std::vector<std::string> problems() {
    vz::TVZCatalogue catalogue(m_);
    catalogue.open();
    return vz::checkDatabaseFile(m_, &catalogue).problems;
  }

  TempDir dir_;
  std::string path_;
  vz::TVZDiskPageManager m_;
};

}  // namespace

TEST_F(FreeSpace, GrowsByATenthOrAnExtentAtATime) {
  open();
  EXPECT_EQ(newPage(), 5);  // the free page of a new file
  EXPECT_EQ(total(), 6);
  int32_t previous = total();
  for (int32_t expected = 6; expected < 300; ++expected) {
    ASSERT_EQ(newPage(), expected);
    if (total() != previous) {
      EXPECT_EQ(total() - previous, std::max(previous / 10, 8)) << "after " << previous;
      previous = total();
    }
  }
  EXPECT_EQ(lastUsed(), 299);
  EXPECT_EQ(int64_t(m_.file().size()), m_.pageOffset(total()));
  m_.commit(0);
  EXPECT_TRUE(problems().empty());
}

TEST_F(FreeSpace, NeverHandsOutMapPagesAcrossTheirBoundaries) {
  // 256-byte pages: a PFS page every 1728 pages; extents of 5 pages straddle
  // the PFS boundary and an EAM page every 4320 pages.
  open(256, 5);
  const vz::TVZFreeSpaceGeometry& g = m_.freeSpace().geometry();
  std::set<int32_t> handedOut;
  for (int i = 0; i < 4400; ++i) {
    const int32_t pageNo = newPage();
    ASSERT_FALSE(g.isMapPage(pageNo)) << pageNo;
    ASSERT_TRUE(handedOut.insert(pageNo).second) << pageNo;
  }
  m_.commit(0);
  for (int32_t mapPage : {0, 1, 1728, 3456, 4320}) {
    EXPECT_TRUE(g.isMapPage(mapPage));
    EXPECT_TRUE(m_.freeSpace().isPageUsed(mapPage)) << mapPage;
  }
  EXPECT_EQ(m_.freeSpace().extentValue(0), vz::kExtentFull);
  EXPECT_EQ(problems(), std::vector<std::string>{});

  m_.freePage(3000);
  m_.freePage(100);
  EXPECT_EQ(m_.freeSpace().extentValue(20), vz::kExtentPartlyUsed);
  EXPECT_FALSE(m_.freeSpace().isPageUsed(100));
  EXPECT_EQ(problems(), std::vector<std::string>{});

  // Cutting the tail takes EAM page 1 with it while PFS page 2 stays; growing
  // again makes it anew.
  for (int32_t pageNo : handedOut) {
    if (pageNo > 3500) m_.deletePage(0, pageNo);
  }
  m_.commit(0);
  EXPECT_GT(total(), 3456);
  EXPECT_LT(total(), 4320);
  EXPECT_EQ(problems(), std::vector<std::string>{});
  while (total() <= 4320) ASSERT_FALSE(m_.freeSpace().geometry().isMapPage(newPage()));
  m_.commit(0);
  EXPECT_TRUE(m_.freeSpace().isPageUsed(4320));
  EXPECT_EQ(problems(), std::vector<std::string>{});
}

TEST_F(FreeSpace, ReusesFreedPagesBeforeGrowing) {
  open();
  for (int32_t n = 5; n <= 13; ++n) ASSERT_EQ(m_.allocatePage(), n);
  ASSERT_EQ(total(), 14);
  m_.freePage(9);
  m_.freePage(7);
  EXPECT_EQ(m_.freeSpace().extentValue(0), vz::kExtentPartlyUsed);
  EXPECT_EQ(m_.allocatePage(), 7);
  EXPECT_EQ(m_.freeSpace().extentValue(0), vz::kExtentFull);
  EXPECT_EQ(m_.allocatePage(), 9);
  EXPECT_EQ(total(), 14);
  EXPECT_EQ(m_.allocatePage(), 14);
  EXPECT_EQ(total(), 22);
}

TEST_F(FreeSpace, ShrinksOnlyByWholeGrowthSteps) {
  open();
  for (int32_t n = 5; n <= 14; ++n) ASSERT_EQ(m_.allocatePage(), n);
  ASSERT_EQ(total(), 22);  // 6, then 8 and 8 more

  m_.freePage(14);  // a free tail of 8 pages: one whole step
  EXPECT_EQ(total(), 14);
  EXPECT_EQ(lastUsed(), 13);
  m_.freePage(5);  // in the middle: nothing to cut
  EXPECT_EQ(total(), 14);
  EXPECT_EQ(lastUsed(), 13);
  for (int32_t n = 13; n >= 7; --n) {
    m_.freePage(n);  // tails of 1 to 7 pages
    ASSERT_EQ(total(), 14);
  }
  EXPECT_EQ(lastUsed(), 6);
  m_.freePage(6);  // a tail of 9 pages: one step is cut, page 5 stays
  EXPECT_EQ(total(), 6);
  EXPECT_EQ(lastUsed(), 4);
  EXPECT_EQ(int64_t(m_.file().size()), m_.pageOffset(6));
  EXPECT_EQ(m_.readPageVersion(5), vz::kFreedPageVersion);
  EXPECT_TRUE(problems().empty());
}

TEST_F(FreeSpace, RefusesWhatCannotBeFreed) {
  open();
  EXPECT_EQ(messageOf([&] { m_.freePage(0); }), "Cannot delete PFS or EAM page. PageNo=0 - Native error: 10542");
  EXPECT_EQ(messageOf([&] { m_.freePage(1); }), "Cannot delete PFS or EAM page. PageNo=1 - Native error: 10542");
  EXPECT_EQ(messageOf([&] { m_.deletePage(0, 1); }), "Cannot delete PFS or EAM page. PageNo=1 - Native error: 10542");
  EXPECT_EQ(messageOf([&] { m_.freePage(5); }), "Page: 5 already free - Native error: 10541");
  EXPECT_EQ(messageOf([&] { m_.freePage(6); }),
            "Page: 6 cannot be addressed. TotalPageCount=6 - Native error: 10543");
  EXPECT_EQ(messageOf([&] { m_.freePage(-3); }),
            "Page: -3 cannot be addressed. TotalPageCount=6 - Native error: 10543");
}

TEST_F(FreeSpace, AMapThatDisagreesWithTheHeaderIsCaught) {
  open();
  ASSERT_EQ(m_.allocatePage(), 5);  // no free page left inside the file
  file_format_test::patchI32(path_, 34, 2);  // LastUsedPageNo says 2
  EXPECT_EQ(messageOf([&] { m_.allocatePage(); }), "Page: 3 already used - Native error: 10540");
}

TEST_F(FreeSpace, WaitsForTheHeaderLockOfAnotherProcess) {
  file_format_test::ShortLockWaits shortWaits;
  open();
  testing_support::ChildProcess holder(file_format_test::helperProgram(), {"helper", "hold", path_, "360"});
  ASSERT_EQ(holder.readLine(), "locked");
  EXPECT_EQ(messageOf([&] { m_.allocatePage(); }), "Database is locked - Native error: 10525");
  EXPECT_EQ(messageOf([&] { m_.freePage(4); }), "Database is locked - Native error: 10525");
  holder.kill();
  EXPECT_EQ(m_.allocatePage(), 5);
}
