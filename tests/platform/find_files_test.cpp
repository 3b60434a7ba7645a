#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/filesystem.h"
#include "test_support.h"

using namespace platform;
using testing_support::TempDir;
using testing_support::writeFile;

TEST(MatchesMask, FollowsTheWindowsSearchRules) {
  const struct {
    const char* name;
    const char* mask;
    bool matches;
  } cases[] = {
      {"DBEX_2020.FDB", "DBEX_20*.FDB", true},
      {"dbex_2021.fdb", "DBEX_20*.FDB", true},
      {"DBEX_20.FDB", "DBEX_20*.FDB", true},
      {"DBEX_2020.old.FDB", "DBEX_20*.FDB", true},
      {"DBEX_2021.FDB.bak", "DBEX_20*.FDB", false},
      {"DBEX_19.FDB", "DBEX_20*.FDB", false},
      {"noext", "*.*", true},
      {".profile", "*.*", true},
      {"a.b.c", "*.*", true},
      {"abc", "*", true},
      {"noext", "*.", true},
      {"a.txt", "*.", false},
      {"a.txt", "*.txt", true},
      {"a.txt.bak", "*.txt", false},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"abbc", "a?c", false},
      {"abc", "abc?", true},  // "?" matches nothing at the end of the name
      {"abcd", "abc?", true},
      {"abcde", "abc?", false},
      {"file.txt", "file?.txt", true},  // ... and before a dot
      {"file1.txt", "file?.txt", true},
      {"file12.txt", "file?.txt", false},
      {"ab.txt", "?.txt", false},
      {"\xC3\x89.txt", "?.TXT", true},  // one character of two bytes
      {"\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89.TXT", true},
      {"abc", "", false},
  };
  for (const auto& c : cases) EXPECT_EQ(matchesMask(c.name, c.mask), c.matches) << c.name << " / " << c.mask;
}

TEST(FindFiles, MatchesMaskAndAttributesInFolderOrderWithSizes) {
  TempDir dir;
  const std::string folder = dir.path() + "/Ex_Data";
  mkdir(folder.c_str(), 0777);
  writeFile(folder + "/DBEX_2021.FDB", "abc");
  writeFile(folder + "/dbex_2019.fdb", "12345");
  writeFile(folder + "/DBEX_2020.FDB", "h");
  writeFile(folder + "/DBEX_20A.FDB", "");
  writeFile(folder + "/DBEX_20_B.FDB", "bb");
  writeFile(folder + "/DBEX_2022.FDB.bak", "x");
  writeFile(folder + "/other.txt", "x");
  mkdir((folder + "/DBEX_20_dir.FDB").c_str(), 0777);
  ASSERT_TRUE(setFileAttributes(folder + "/DBEX_2020.FDB", faHidden | faArchive));
  if (!(*fileAttributes(folder + "/DBEX_2020.FDB") & faHidden)) {
    GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
  }

  auto names = [](const std::vector<FindEntry>& entries) {
    std::vector<std::string> out;
    for (const FindEntry& e : entries) out.push_back(e.name);
    return out;
  };
  // 63: read-only, hidden, system, volume label, folder, archive. "_" sorts
  // after the letters, as in an NTFS folder.
  const std::vector<FindEntry> all = findFiles(dir.path() + "\\ex_data\\DBEX_20*.FDB", 63);
  EXPECT_EQ(names(all), (std::vector<std::string>{"dbex_2019.fdb", "DBEX_2020.FDB", "DBEX_2021.FDB",
                                                  "DBEX_20A.FDB", "DBEX_20_B.FDB", "DBEX_20_dir.FDB"}));
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[0].size, 5u);
  EXPECT_EQ(all[1].attributes, uint32_t(faHidden | faArchive));
  EXPECT_EQ(all[2].size, 3u);
  EXPECT_EQ(all[2].attributes, uint32_t(faNormal));
  EXPECT_EQ(all[5].attributes, uint32_t(faDirectory));
  EXPECT_EQ(all[5].size, 0u);

  // Ordinary files only, unless hidden entries or folders are asked for.
  EXPECT_EQ(names(findFiles(folder + "/DBEX_20*.FDB", faArchive)),
            (std::vector<std::string>{"dbex_2019.fdb", "DBEX_2021.FDB", "DBEX_20A.FDB", "DBEX_20_B.FDB"}));
  EXPECT_EQ(names(findFiles(folder + "/*.FDB", faDirectory)),
            (std::vector<std::string>{"dbex_2019.fdb", "DBEX_2021.FDB", "DBEX_20A.FDB", "DBEX_20_B.FDB",
                                      "DBEX_20_dir.FDB"}));
  EXPECT_EQ(findFiles(folder + "/*.*", 0).size(), 6u);
  EXPECT_TRUE(findFiles(dir.path() + "/Missing/*.*", 63).empty());
  EXPECT_TRUE(findFiles(folder + "/", 63).empty());
}
