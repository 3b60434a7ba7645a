#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbengine/storage/catalogue.h"
#include "dbengine/storage/database_file_format.h"
#include "dbengine/storage/free_space_manager.h"
#include "dbengine/storage/page_manager.h"
#include "file_format_support.h"
#include "platform/bytes.h"
#include "platform/crc32.h"
#include "test_support.h"

using testing_support::TempDir;

namespace {

// The bytes of page n's header and data, from a whole file.
const uint8_t* pageAt(const std::vector<uint8_t>& file, int n, int pageSize = 4096) {
  return file.data() + vz::kPagesOffset + size_t(n) * size_t(pageSize);
}

// The file with every page's write stamp set to zero.
std::vector<uint8_t> withoutStamps(std::vector<uint8_t> file, int pageSize = 4096) {
  for (size_t at = vz::kPagesOffset; at + size_t(pageSize) <= file.size(); at += size_t(pageSize))
    platform::storeI32(&file[at + vz::page_header::kPageVersion], 0);
  return file;
}

}  // namespace

TEST(PageVersion, StepsThroughTheCycleAndWrapsToZero) {
  const std::vector<std::pair<int32_t, int32_t>> steps = {
      {0, 1},
      {41, 42},
      {0x7FFFFFFB, 0x7FFFFFFC},
      {0x7FFFFFFC, 0},  // the highest stamp in the cycle
      {0x7FFFFFFD, 0},
      {0x7FFFFFFE, 0},
      {0x7FFFFFFF, 0},  // a freed page written again
      {-5, 0},          // a damaged stamp
  };
  for (const auto& [from, to] : steps) EXPECT_EQ(vz::nextPageVersion(from), to) << from;
}

TEST(PageLayout, NewEmptyDatabaseMatchesTheLayoutByteForByte) {
  TempDir dir;
  const std::string path = dir.file("empty.fdb");
  file_format_test::createDatabase(path);
  const std::vector<uint8_t> file = testing_support::readBytes(path);
  ASSERT_EQ(file.size(), 24956u);  // 380 + 6 pages of 4096

  const uint8_t* h = file.data();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(h), 16), "VIZ0OVOZIDADAVAZ");
  EXPECT_EQ(platform::loadI16(h + 16), 76);
  EXPECT_EQ(platform::loadF64(h + 18), 7.61);
  EXPECT_EQ(platform::loadU16(h + 26), 4096);
  EXPECT_EQ(platform::loadU16(h + 28), 8);
  EXPECT_EQ(platform::loadI32(h + 30), 6);   // TotalPageCount
  EXPECT_EQ(platform::loadI32(h + 34), 4);   // LastUsedPageNo
  EXPECT_EQ(platform::loadI32(h + 38), 1);   // ChangeCount: the catalogue's commit
  EXPECT_EQ(h[42], 2);                       // CommitState
  EXPECT_EQ(h[43], 0);                       // not encrypted
  EXPECT_EQ(platform::loadI16(h + 76), 280);  // password check block size, the rest zero
  for (int i = 78; i < 356; ++i) ASSERT_EQ(h[i], 0) << i;
  EXPECT_EQ(platform::loadI16(h + 356), 20);  // lock block
  for (int i = 358; i < 380; ++i) ASSERT_EQ(h[i], 0) << i;  // and NextObjectID 0

  const uint16_t kinds[] = {3, 2, 4, 5, 6};
  for (int n = 0; n < 5; ++n) {
    const uint8_t* page = pageAt(file, n);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(page), 4), "VAZA");
    EXPECT_EQ(platform::loadU16(page + 8), kinds[n]) << n;
    EXPECT_EQ(platform::loadI32(page + 10), -1);   // NextPageNo
    EXPECT_EQ(platform::loadI32(page + 22), -1);   // OwnerTableID
    EXPECT_GE(platform::loadI32(page + 4), 0);
    EXPECT_LE(platform::loadI32(page + 4), 0x3FFFFFFF);  // a random stamp, written once or more
  }
  EXPECT_EQ(pageAt(file, 0)[40], 0x1F);  // pages 0 to 4 in use
  EXPECT_EQ(pageAt(file, 1)[40], 0x01);  // extent 0 partly used
  for (int i = 0; i < 4096; ++i) ASSERT_EQ(pageAt(file, 5)[i], 0) << i;  // page 5: free, never written

  // The file another implementation wrote with the same settings differs only in the random stamps.
  const std::vector<uint8_t> fixture = testing_support::readBytes(testing_support::fixturePath("vzdb/empty_4096.fdb"));
  EXPECT_TRUE(withoutStamps(file) == withoutStamps(fixture));
}

TEST(PageLayout, EveryCipherEncryptsTheCheckBlockAndTheCatalogueButNotTheMaps) {
  TempDir dir;
  for (uint8_t cipher = 0; cipher < vz::kCipherCount; ++cipher) {
    SCOPED_TRACE(int(cipher));
    const std::string path = dir.file("c" + std::to_string(cipher) + ".fdb");
    const vz::TVZPassword password{"tirelvash", cipher};
    file_format_test::createDatabase(path, password);
    const std::vector<uint8_t> file = testing_support::readBytes(path);
    const uint8_t* block = file.data() + vz::kPasswordCheckBlockOffset;
    EXPECT_EQ(file[43], 0xFF);
    EXPECT_EQ(block[2], cipher);
    std::vector<uint8_t> check(block + 4, block + 260);
    ASSERT_TRUE(vz::decryptBuffer(password, check.data(), check.size()));
    EXPECT_EQ(platform::engineCrc32(0, check.data(), check.size()), platform::loadU32(block + 260));
    for (uint8_t b : check) ASSERT_LE(b, 254);
    EXPECT_FALSE(std::equal(check.begin(), check.end(), block + 4));

    // The system directory's data is encrypted with a checksum of its plain bytes.
    const uint8_t* directory = pageAt(file, 2);
    EXPECT_EQ(directory[20], cipher);
    std::vector<uint8_t> data(directory + 40, directory + 4096);
    ASSERT_TRUE(vz::decryptBuffer(password, data.data(), data.size()));
    EXPECT_EQ(platform::engineCrc32(0, data.data(), data.size()), platform::loadU32(directory + 14));
    EXPECT_EQ(data[0], 10);
    // The maps and the sessions file are stored plain.
    EXPECT_EQ(pageAt(file, 0)[40], 0x1F);
    EXPECT_EQ(platform::loadI32(pageAt(file, 3) + 41), 500);

    vz::TVZDiskPageManager m;
    file_format_test::openDatabase(m, path, password);
    vz::TVZCatalogue catalogue(m);
    catalogue.open();
    EXPECT_EQ(catalogue.sessions.maxConnections(), 500);
  }
}

TEST(PageLayout, MapPagesFollowFromThePageAndExtentSizes) {
  struct Case {
    uint16_t pageSize, extent;
    int64_t pfsEvery, eamEvery;
    std::vector<int64_t> mapPages, ordinaryPages;
  };
  const std::vector<Case> cases = {
      {4096, 8, 32448, 129792, {0, 1, 32448, 129792, 129793, 259584, 259585}, {2, 32447, 32449, 129794, 259586}},
      // The rebuild's settings: a page size that is no power of two.
      {16224, 64, 129472, 4143104, {0, 1, 129472, 4143104, 4143105}, {2, 129473, 4143106}},
      // Small pages and one-page extents: EAM page 1 is no PFS page, EAM page 2 follows PFS page 1.
      {256, 1, 1728, 864, {0, 1, 864, 1728, 1729}, {2, 863, 865, 1730}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pageSize);
    const vz::TVZFreeSpaceGeometry g(c.pageSize, c.extent);
    EXPECT_EQ(g.pagesPerPFS(), c.pfsEvery);
    EXPECT_EQ(g.pagesPerEAM(), c.eamEvery);
    for (int64_t n : c.mapPages) EXPECT_TRUE(g.isMapPage(n)) << n;
    for (int64_t n : c.ordinaryPages) EXPECT_FALSE(g.isMapPage(n)) << n;
  }
}

TEST(PageLayout, TheRebuildSettingsMakeAWorkingFile) {
  TempDir dir;
  const std::string path = dir.file("big.fdb");
  file_format_test::createDatabase(path, {"secret", 1}, 16224, 64, 20);
  EXPECT_EQ(testing_support::readBytes(path).size(), 380u + 6u * 16224u);
  vz::TVZDiskPageManager m;
  file_format_test::openDatabase(m, path, {"secret", 0});
  EXPECT_EQ(m.pageSize(), 16224);
  EXPECT_EQ(m.pageDataSize(), 16184u);
  vz::TVZCatalogue catalogue(m);
  catalogue.open();
  EXPECT_EQ(catalogue.sessions.maxConnections(), 20);
  // Growth past the first six pages steps by the extent size.
  EXPECT_EQ(m.allocatePage(), 5);
  EXPECT_EQ(m.allocatePage(), 6);
  EXPECT_EQ(m.header().totalPageCount, 6 + 64);
}
