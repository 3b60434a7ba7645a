#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/path.h"
#include "test_support.h"

using namespace platform;
using testing_support::TempDir;
using testing_support::writeFile;

TEST(NativePath, FindsComponentsWithoutRegardToCaseAndKeepsNewNamesAsWritten) {
  TempDir dir;
  const std::string base = dir.path();
  mkdir((base + "/Folder").c_str(), 0777);
  mkdir((base + "/Folder/Sub").c_str(), 0777);
  writeFile(base + "/Folder/Sub/File.TXT", "x");
  mkdir((base + "/\xC3\x89lan").c_str(), 0777);                     // "Élan"
  writeFile(base + "/\xC3\x89lan/\xC3\x87" "a.txt", "x");           // "Ça.txt"
  writeFile(base + "/\xC5\xBFtate.txt", "x");                       // long s: upper case "S"
  writeFile(base + "/Dup", "x");
  writeFile(base + "/dup", "x");

  const struct {
    std::string written;
    std::string expected;
  } cases[] = {
      {base + "\\folder\\SUB\\file.txt", base + "/Folder/Sub/File.TXT"},
      {base + "/FOLDER//sub\\\\", base + "/Folder/Sub/"},
      {base + "\\folder\\New.Txt", base + "/Folder/New.Txt"},
      {base + "\\NoSuch\\SUB\\file.txt", base + "/NoSuch/SUB/file.txt"},
      {base + "\\Folder\\Sub\\File.TXT\\below", base + "/Folder/Sub/File.TXT/below"},
      {base + "\\\xC3\xA9LAN\\\xC3\xA7" "A.TXT", base + "/\xC3\x89lan/\xC3\x87" "a.txt"},
      {base + "\\STATE.TXT", base + "/\xC5\xBFtate.txt"},  // an ASCII name may find another
      {base + "/dup", base + "/dup"},  // the exact spelling wins
      {base + "/DUP", base + "/Dup"},  // else the first in byte order
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(nativePath(c.written), c.expected) << c.written;

  EXPECT_TRUE(fileExists(base + "\\FOLDER\\sub\\file.TXT"));
  EXPECT_TRUE(directoryExists(base + "\\folder\\SUB"));
  EXPECT_FALSE(directoryExists(base + "\\folder\\SUB\\file.txt"));

  // A file created through a wrongly cased folder lands in that folder.
  File::open(base + "\\FOLDER\\Created.Dat", Access::Write, ShareNone, Disposition::CreateNew);
  struct stat st;
  EXPECT_EQ(stat((base + "/Folder/Created.Dat").c_str(), &st), 0);
}

TEST(PathParts, SplitAndJoinWithEitherSeparator) {
  EXPECT_EQ(extractFilePath("a/b\\c.txt"), "a/b\\");
  EXPECT_EQ(extractFileName("a/b\\c.txt"), "c.txt");
  EXPECT_EQ(extractFilePath("c.txt"), "");
  EXPECT_EQ(extractFileName("dir/"), "");
  EXPECT_EQ(joinPath("/x/y/", "\\z"), "/x/y/z");
  EXPECT_EQ(joinPath("/", "z"), "/z");
  EXPECT_EQ(joinPath("", "z"), "z");
}
