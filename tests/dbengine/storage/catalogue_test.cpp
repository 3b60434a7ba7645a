#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbengine/storage/catalogue.h"
#include "dbengine/storage/page_manager.h"
#include "file_format_support.h"
#include "test_support.h"

using file_format_test::messageOf;
using testing_support::TempDir;

namespace {

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.file("db.fdb");
    file_format_test::createDatabase(path_, {}, 4096, 8, 7);
    open(m_);
    catalogue_.open();
  }
  void open(vz::TVZDiskPageManager& m) { file_format_test::openDatabase(m, path_); }

  TempDir dir_;
  std::string path_;
  vz::TVZDiskPageManager m_;
  vz::TVZCatalogue catalogue_{m_};
};

}  // namespace

TEST_F(Catalogue, ANewFileNamesItsSessionsFileAndTableList) {
  const auto& entries = catalogue_.directory.entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].kind, vz::kDirectorySessions);
  EXPECT_EQ(entries[0].startPageNo, 3);
  EXPECT_EQ(entries[1].kind, vz::kDirectoryTableList);
  EXPECT_EQ(entries[1].startPageNo, 4);
  EXPECT_EQ(catalogue_.directory.find(9), -1);
  EXPECT_EQ(catalogue_.sessions.maxConnections(), 7);
  EXPECT_TRUE(catalogue_.tables.entries().empty());
}

TEST_F(Catalogue, TableNamesMatchWithoutRegardToCase) {
  vz::TVZTableListFile& tables = catalogue_.tables;
  tables.add("Ventes", 1, 10, 11, 12);
  tables.add("\xE9t\xE9", 2, 20, 21, 22);  // "été" in Windows-1252
  ASSERT_NE(tables.find("VENTES"), nullptr);
  EXPECT_EQ(tables.find("VENTES")->metadataStart, 10);
  ASSERT_NE(tables.find("\xC9T\xC9"), nullptr);  // "ÉTÉ"
  EXPECT_EQ(tables.find("\xC9T\xC9")->tableID, 2);
  EXPECT_EQ(tables.find("Achats"), nullptr);
  EXPECT_EQ(messageOf([&] { tables.add("VENTES", 3, 0, 0, 0); }),
            "Cannot create table. Table 'VENTES' already exists - Native error: 30247");
  EXPECT_EQ(messageOf([&] { tables.remove("Achats"); }), "Table 'Achats' not exists. - Native error: 10561");
  EXPECT_EQ(messageOf([&] { tables.rename("Achats", "X"); }), "Table 'Achats' not exists. - Native error: 10561");
  tables.rename("ventes", "Sales");
  EXPECT_EQ(tables.find("ventes"), nullptr);
  EXPECT_EQ(tables.find("SALES")->tableID, 1);
  tables.remove("sales");
  EXPECT_EQ(tables.names(), std::vector<std::string>{"\xE9t\xE9"});
}

TEST_F(Catalogue, TheTableListSurvivesACommitAndSpansPages) {
  vz::TVZTableListFile& tables = catalogue_.tables;
  const std::string longest(255, 'L');
  tables.add(longest, 1, 10, 11, 12);
  tables.add(std::string(300, 'C'), 2, 20, 21, 22);  // cut to 255 characters
  for (int i = 3; i <= 20; ++i) tables.add("Table" + std::to_string(i), i, i * 10, i * 10 + 1, i * 10 + 2);
  tables.save(vz::kSystemSessionID);
  m_.commit(vz::kSystemSessionID);
  EXPECT_EQ(tables.file().pageNumbers(vz::kSystemSessionID).size(), 2u);  // 20 x 272 bytes

  vz::TVZDiskPageManager other;
  open(other);
  vz::TVZCatalogue reloaded(other);
  reloaded.open();
  const auto& entries = reloaded.tables.entries();
  ASSERT_EQ(entries.size(), 20u);
  EXPECT_EQ(entries[0].name, longest);
  EXPECT_EQ(entries[1].name, std::string(255, 'C'));
  EXPECT_EQ(entries[19].name, "Table20");
  EXPECT_EQ(entries[19].tableID, 20);
  EXPECT_EQ(entries[19].metadataStart, 200);
  EXPECT_EQ(entries[19].mostUpdatedStart, 201);
  EXPECT_EQ(entries[19].locksStart, 202);
  EXPECT_NE(reloaded.tables.find(std::string(300, 'c')), nullptr);
}

TEST_F(Catalogue, SessionSlotsAreLockedPerHandle) {
  vz::TVZDiskPageManager other;
  open(other);
  vz::TVZCatalogue theirs(other);
  theirs.open();
  EXPECT_FALSE(theirs.sessions.anySlotLocked());
  EXPECT_TRUE(catalogue_.sessions.lockSlot(3));
  EXPECT_TRUE(theirs.sessions.isSlotLocked(3));
  EXPECT_FALSE(theirs.sessions.lockSlot(3));
  EXPECT_TRUE(theirs.sessions.lockSlot(0));
  EXPECT_TRUE(theirs.sessions.anySlotLocked());
  EXPECT_TRUE(catalogue_.sessions.unlockSlot(3));
  EXPECT_TRUE(theirs.sessions.lockSlot(3));
}
