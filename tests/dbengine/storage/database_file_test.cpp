#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dbengine/storage/database_file.h"
#include "file_format_support.h"
#include "platform/filesystem.h"
#include "test_support.h"

using file_format_test::messageOf;
using testing_support::TempDir;
using vz::TVZDatabaseFile;

TEST(DatabaseFile, OperationsOnAClosedFileNameTheOperation) {
  TVZDatabaseFile f;
  uint8_t byte = 0;
  const std::vector<std::pair<std::string, std::function<void()>>> operations = {
      {"SetPosition", [&] { f.setPosition(0); }},
      {"GetPosition", [&] { f.position(); }},
      {"SetSize", [&] { f.setSize(0); }},
      {"GetSize", [&] { f.size(); }},
      {"ReadBuffer", [&] { f.read(&byte, 0, 1); }},
      {"ReadBuffer", [&] { f.readAvailable(&byte, 0, 1); }},
      {"WriteBuffer", [&] { f.write(&byte, 0, 1); }},
      {"FlushFileBuffers", [&] { f.flush(); }},
      {"LockByte", [&] { f.lockBytes(0); }},
      {"UnlockByte", [&] { f.unlockBytes(0); }},
      {"IsByteLocked", [&] { f.isByteLocked(0); }},
      {"IsRegionLocked", [&] { f.isRegionLocked(0, 2); }},
      {"CloseFile", [&] { f.close(); }},
  };
  for (const auto& [name, call] : operations) {
    EXPECT_EQ(messageOf(call), "Cannot perform this operation (" + name + ") on a closed file - Native error: 10503");
  }
}

TEST(DatabaseFile, CreateAndOpenRefuseBadRequests) {
  TempDir dir;
  const std::string path = dir.file("a.fdb");
  TVZDatabaseFile f;
  EXPECT_EQ(messageOf([&] { f.create(""); }), "Cannot create file with blank FileName - Native error: 10500");
  EXPECT_EQ(messageOf([&] { f.open(path, 2, 0); }), "Unknown Access mode: '2' - Native error: 10501");
  EXPECT_EQ(messageOf([&] { f.open(path, 0, 3); }), "Unknown Share mode: '3' - Native error: 10502");
  EXPECT_EQ(messageOf([&] { f.open(path, 0, 1); }).rfind("Cannot open file:'" + path +
                                                          "' Error code: 2. ErrorMessage: No such file or directory",
                                                          0),
            0u);
  f.create(path);
  EXPECT_EQ(messageOf([&] { f.create(path); }),
            "Cannot perform this operation (CreateFile) on a opened file - Native error: 10504");
  EXPECT_EQ(messageOf([&] { f.open(path, 0, 1); }),
            "Cannot perform this operation (OpenFile) on a opened file - Native error: 10504");
}

TEST(DatabaseFile, CreateReplacesAnExistingReadOnlyFile) {
  TempDir dir;
  const std::string path = dir.file("a.fdb");
  testing_support::writeFile(path, "old contents");
  ASSERT_TRUE(platform::setFileAttributes(path, platform::faReadOnly));
  TVZDatabaseFile f;
  f.create(path);
  EXPECT_EQ(f.size(), 0);
  f.write("new", 0, 3);
  f.close();
  EXPECT_EQ(testing_support::readFile(path), "new");
}

TEST(DatabaseFile, PositionedReadsWritesAndSizes) {
  TempDir dir;
  const std::string path = dir.file("a.fdb");
  TVZDatabaseFile f;
  f.create(path);
  f.write("abcd", 100, 4);
  EXPECT_EQ(f.size(), 104);
  EXPECT_EQ(f.position(), 104);
  char buffer[8] = {};
  f.read(buffer, 101, 3);
  EXPECT_EQ(std::string(buffer, 3), "bcd");
  EXPECT_EQ(f.readAvailable(buffer, 102, 8), 2);
  EXPECT_EQ(messageOf([&] { f.read(buffer, 102, 4); }),
            "Cannot Read from file: '" + path +
                "' Position = 102, Count = 4, FilePosition = 104, FileSize = 104, ErrorCode:0. ErrorMessage: Reached "
                "the end of the file - Native error: 10508");
  f.setSize(50);
  EXPECT_EQ(f.size(), 50);
  f.setSize(5000);
  EXPECT_EQ(f.size(), 5000);
  EXPECT_EQ(messageOf([&] { f.setPosition(-1); }).rfind("Cannot Set File Position to -1. FileName='" + path, 0), 0u);
  f.flush();
  f.close();

  f.open(path, TVZDatabaseFile::kAccessReadOnly, TVZDatabaseFile::kShareReadWrite);
  EXPECT_EQ(messageOf([&] { f.write("x", 0, 1); }).rfind("Cannot Write to file: '" + path + "' Position = 0, Count = 1", 0),
            0u);
}

TEST(DatabaseFile, ShareModesKeepOtherHandlesOut) {
  TempDir dir;
  const std::string path = dir.file("a.fdb");
  testing_support::writeFile(path, "0123456789");
  TVZDatabaseFile exclusive, other;
  exclusive.open(path, TVZDatabaseFile::kAccessReadWrite, TVZDatabaseFile::kShareExclusive);
  EXPECT_NE(messageOf([&] { other.open(path, TVZDatabaseFile::kAccessReadOnly, TVZDatabaseFile::kShareReadWrite); }),
            "");
  exclusive.close();

  TVZDatabaseFile reader;
  reader.open(path, TVZDatabaseFile::kAccessReadOnly, TVZDatabaseFile::kShareRead);
  EXPECT_NE(messageOf([&] { other.open(path, TVZDatabaseFile::kAccessReadWrite, TVZDatabaseFile::kShareReadWrite); }),
            "");
  other.open(path, TVZDatabaseFile::kAccessReadOnly, TVZDatabaseFile::kShareReadWrite);
  EXPECT_TRUE(other.isOpen());
}

TEST(DatabaseFile, ByteLocksOfTwoHandlesConflict) {
  TempDir dir;
  const std::string path = dir.file("a.fdb");
  testing_support::writeFile(path, std::string(400, '\0'));
  TVZDatabaseFile a, b;
  a.open(path, TVZDatabaseFile::kAccessReadWrite, TVZDatabaseFile::kShareReadWrite);
  b.open(path, TVZDatabaseFile::kAccessReadWrite, TVZDatabaseFile::kShareReadWrite);
  EXPECT_TRUE(a.lockBytes(360));
  EXPECT_FALSE(b.lockBytes(360));
  EXPECT_TRUE(b.isByteLocked(360));
  EXPECT_TRUE(b.isRegionLocked(355, 10));
  EXPECT_FALSE(b.isRegionLocked(361, 10));
  EXPECT_FALSE(b.isByteLocked(359));
  EXPECT_FALSE(b.unlockBytes(360));  // not b's lock
  EXPECT_TRUE(a.unlockBytes(360));
  EXPECT_FALSE(a.unlockBytes(360));
  EXPECT_TRUE(b.lockBytes(360));
  EXPECT_TRUE(a.isByteLocked(360));
}

TEST(DatabaseFile, ReopensAHandleThatHasGoneBad) {
  file_format_test::ShortLockWaits shortWaits;
  TempDir dir;
  const std::string path = dir.file("a.fdb");
  testing_support::writeFile(path, "0123456789");
  TVZDatabaseFile f;
  f.open(path, TVZDatabaseFile::kAccessReadWrite, TVZDatabaseFile::kShareReadWrite);
  f.handle().close();  // the handle dies underneath
  char buffer[4] = {};
  f.read(buffer, 2, 4);
  EXPECT_EQ(std::string(buffer, 4), "2345");
  f.handle().close();
  f.write("xy", 0, 2);
  EXPECT_EQ(f.size(), 10);
  f.close();
  EXPECT_EQ(testing_support::readFile(path), "xy23456789");
}
