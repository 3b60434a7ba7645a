#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "platform/dos_attributes.h"
#include "platform/errors.h"
#include "platform/filesystem.h"
#include "test_support.h"

using namespace platform;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

bool keepsExtendedAttributes(const std::string& path) {
  if (setxattr(path.c_str(), "user.probe", "1", 1, 0) != 0) return false;
  removexattr(path.c_str(), "user.probe");
  return true;
}

// Runs the test body in a fixed time zone with daylight saving time.
class ParisTime {
 public:
  ParisTime() {
    const char* tz = std::getenv("TZ");
    if (tz) saved_ = tz, hadTz_ = true;
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
  }
  ~ParisTime() {
    if (hadTz_) setenv("TZ", saved_.c_str(), 1); else unsetenv("TZ");
    tzset();
  }

 private:
  std::string saved_;
  bool hadTz_ = false;
};

DosDateTime dos(int year, int month, int day, int hour, int minute, int second) {
  return {uint16_t(((year - 1980) << 9) | (month << 5) | day), uint16_t((hour << 11) | (minute << 5) | (second / 2))};
}

}  // namespace

TEST(FileAttributes, SurviveARoundTrip) {
  TempDir dir;
  const std::string path = dir.file("f.dat");
  writeFile(path, "x");
  if (!keepsExtendedAttributes(path)) GTEST_SKIP() << "the temporary folder keeps no extended attributes";

  const struct {
    uint32_t set;
    uint32_t read;
  } cases[] = {
      {faReadOnly, faReadOnly},
      {faHidden, faHidden},
      {faArchive, faArchive},
      {faReadOnly | faHidden | faArchive, faReadOnly | faHidden | faArchive},
      {faSysFile | faArchive | faTemporary, faSysFile | faArchive},
      {0, faNormal},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(setFileAttributes(path, c.set)) << c.set;
    EXPECT_EQ(fileAttributes(path), c.read) << c.set;
  }

  // The stored form other tools read; read-only lives in the permission bits.
  ASSERT_TRUE(setFileAttributes(path, faReadOnly | faHidden | faArchive));
  char value[32] = {};
  ASSERT_EQ(getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value), 4);
  EXPECT_STREQ(value, "0x22");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  EXPECT_FALSE(deleteFile(path));  // read-only, as on Windows
  ASSERT_TRUE(setFileAttributes(path, faArchive));
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);
  EXPECT_TRUE(deleteFile(path));

  EXPECT_EQ(fileAttributes(dir.path()), uint32_t(faDirectory));
  EXPECT_EQ(fileAttributes(dir.file("missing")), std::nullopt);
  EXPECT_FALSE(setFileAttributes(dir.file("missing"), faHidden));
}

TEST(FileAttributes, ReadTheBinaryFormAFileServerWritesAndRejectBadValues) {
  using dos_attributes::parse;
  auto parseBytes = [](std::initializer_list<uint8_t> bytes) { return parse(std::data(bytes), bytes.size()); };
  // Empty text, version 5 = level 5, valid flags 0x11, attributes 0x22, creation time.
  EXPECT_EQ(parseBytes({0, 0, 5, 0, 5, 0, 0, 0, 0x11, 0, 0, 0, 0x22, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}), 0x22u);
  // Version 3 without the valid flag for attributes.
  EXPECT_EQ(parseBytes({0, 0, 3, 0, 3, 0, 0, 0, 0x10, 0, 0, 0, 0x22, 0, 0, 0}), 0u);
  // Version 1: the attributes come first.
  EXPECT_EQ(parseBytes({0, 0, 1, 0, 1, 0, 0, 0, 0x02, 0, 0, 0}), 0x02u);
  // The text form, alone or in front of a binary value.
  EXPECT_EQ(parseBytes({'0', 'x', '2', '0'}), 0x20u);
  EXPECT_EQ(parseBytes({'0', 'x', '2', '\0', 3, 0, 3, 0}), 0x02u);
  // Cut short, mismatched level, unknown version, no terminator, not hex.
  EXPECT_EQ(parseBytes({0, 0, 5, 0, 5, 0, 0, 0, 0x11, 0, 0, 0, 0x22}), std::nullopt);
  EXPECT_EQ(parseBytes({0, 0, 5, 0, 4, 0, 0, 0, 0x11, 0, 0, 0, 0x22, 0, 0, 0}), std::nullopt);
  EXPECT_EQ(parseBytes({0, 0, 9, 0, 9, 0, 0, 0, 0x11, 0, 0, 0, 0x22, 0, 0, 0}), std::nullopt);
  EXPECT_EQ(parseBytes({'a', 'b', 'c'}), std::nullopt);
  EXPECT_EQ(parseBytes({'0', 'x', 'g'}), std::nullopt);
  EXPECT_EQ(parseBytes({}), std::nullopt);

  TempDir dir;
  const std::string path = dir.file("served.dat");
  writeFile(path, "x");
  if (!keepsExtendedAttributes(path)) GTEST_SKIP() << "the temporary folder keeps no extended attributes";
  const uint8_t blob[] = {0, 0, 5, 0, 5, 0, 0, 0, 0x11, 0, 0, 0, 0x23, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(setxattr(path.c_str(), "user.DOSATTRIB", blob, sizeof blob, 0), 0);
  // Read-only comes from the permission bits, not from the stored value.
  EXPECT_EQ(fileAttributes(path), uint32_t(faHidden | faArchive));
}

TEST(DosDateTime, SurvivesARoundTripInLocalTime) {
  ParisTime paris;
  TempDir dir;
  const std::string path = dir.file("t.dat");
  writeFile(path, "x");

  for (const DosDateTime& when : {dos(2021, 7, 14, 13, 45, 58), dos(1980, 1, 1, 0, 0, 0), dos(2107, 12, 31, 23, 59, 58),
                                  dos(2020, 2, 29, 12, 0, 0)}) {
    ASSERT_TRUE(setFileDosDateTime(path, when));
    const std::optional<DosDateTime> read = fileDosDateTime(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->date, when.date);
    EXPECT_EQ(read->time, when.time);
  }

  // Local time: noon in Paris is 10:00 UTC in summer and 11:00 UTC in winter.
  struct stat st;
  ASSERT_TRUE(setFileDosDateTime(path, dos(2021, 7, 14, 12, 0, 0)));
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1626256800);
  EXPECT_DOUBLE_EQ(*fileDateTime(path), 44391.5);
  ASSERT_TRUE(setFileDosDateTime(path, dos(2021, 1, 15, 12, 0, 0)));
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1610708400);

  for (const DosDateTime& invalid : {dos(2021, 13, 1, 0, 0, 0), dos(2021, 2, 29, 0, 0, 0), dos(2021, 4, 31, 0, 0, 0),
                                     dos(2021, 1, 1, 24, 0, 0), dos(2021, 1, 1, 0, 60, 0), dos(2021, 0, 1, 0, 0, 0)}) {
    EXPECT_FALSE(setFileDosDateTime(path, invalid)) << invalid.date << " " << invalid.time;
  }
  EXPECT_FALSE(setFileDosDateTime(dir.file("missing"), dos(2021, 1, 1, 0, 0, 0)));
  EXPECT_EQ(fileDosDateTime(dir.file("missing")), std::nullopt);
  EXPECT_EQ(fileDateTime(dir.file("missing")), std::nullopt);
}

TEST(DosDateTime, OddSecondsRoundUpToTheNextTwoSecondStep) {
  ParisTime paris;
  TempDir dir;
  const std::string path = dir.file("t.dat");
  writeFile(path, "x");
  auto setLocal = [&](int year, int month, int day, int hour, int minute, int second, long nanoseconds) {
    struct tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const struct timespec times[2] = {{mktime(&local), nanoseconds}, {mktime(&local), nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  };
  const struct {
    int when[6];
    DosDateTime expected;
  } cases[] = {
      {{2021, 7, 14, 13, 45, 59}, dos(2021, 7, 14, 13, 46, 0)},
      {{2020, 12, 31, 23, 59, 59}, dos(2021, 1, 1, 0, 0, 0)},
      {{2021, 7, 14, 13, 45, 58}, dos(2021, 7, 14, 13, 45, 58)},
  };
  for (const auto& c : cases) {
    setLocal(c.when[0], c.when[1], c.when[2], c.when[3], c.when[4], c.when[5], 500000000);
    const std::optional<DosDateTime> read = fileDosDateTime(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->date, c.expected.date) << c.when[5];
    EXPECT_EQ(read->time, c.expected.time) << c.when[5];
  }
  // The date-time number keeps the milliseconds.
  setLocal(2021, 7, 14, 12, 0, 1, 250000000);
  EXPECT_NEAR(*fileDateTime(path), 44391.5 + 1250.0 / 86400000.0, 1e-9);
}

TEST(FileOperations, DeleteRenameReplaceAndFolders) {
  TempDir dir;
  const std::string base = dir.path();
  writeFile(base + "/a.txt", "A");
  writeFile(base + "/b.txt", "B");

  EXPECT_FALSE(renameFile(base + "/a.txt", base + "/B.TXT"));  // exists, in another case
  EXPECT_EQ(readFile(base + "/b.txt"), "B");
  EXPECT_TRUE(renameFile(base + "\\A.TXT", base + "/c.txt"));
  EXPECT_FALSE(fileExists(base + "/a.txt"));
  EXPECT_EQ(readFile(base + "/c.txt"), "A");
  EXPECT_TRUE(renameFile(base + "/c.txt", base + "/C.txt"));  // a change of case only
  EXPECT_EQ(readFile(base + "/C.txt"), "A");
  EXPECT_FALSE(renameFile(base + "/missing", base + "/d.txt"));

  replaceFile(base + "/C.txt", base + "/b.txt");
  EXPECT_EQ(readFile(base + "/b.txt"), "A");
  EXPECT_FALSE(fileExists(base + "/C.txt"));
  EXPECT_THROW(replaceFile(base + "/missing", base + "/b.txt"), EOSError);
  writeFile(base + "/new.txt", "N");
  ASSERT_TRUE(setFileAttributes(base + "/b.txt", faReadOnly));
  EXPECT_THROW(replaceFile(base + "/new.txt", base + "/b.txt"), EOSError);
  EXPECT_EQ(readFile(base + "/b.txt"), "A");
  EXPECT_EQ(fileSize(base + "/B.TXT"), 1u);
  EXPECT_THROW(fileSize(base + "/missing"), EOSError);

  EXPECT_TRUE(forceDirectories(base + "\\One\\Two\\Three"));
  EXPECT_TRUE(directoryExists(base + "/One/Two/Three"));
  EXPECT_TRUE(forceDirectories(base + "\\ONE\\two\\Four"));  // existing parents in another case
  EXPECT_TRUE(directoryExists(base + "/One/Two/Four"));
  EXPECT_FALSE(forceDirectories(base + "/b.txt/below"));
  EXPECT_FALSE(deleteFile(base + "/One"));
  EXPECT_FALSE(removeDirectory(base + "/One"));  // not empty
  EXPECT_TRUE(removeDirectory(base + "/one/two/four"));
  EXPECT_FALSE(directoryExists(base + "/One/Two/Four"));
}

TEST(FileOperations, RenameMovesAFileToAnotherFileSystem) {
  TempDir dir;
  struct stat here, there;
  if (stat(dir.path().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev) {
    GTEST_SKIP() << "no second file system at hand";
  }
  const std::string source = dir.file("moving.dat");
  const std::string target = "/dev/shm/" + std::to_string(getpid()) + "-moved.dat";
  writeFile(source, "payload");
  ASSERT_TRUE(setFileDosDateTime(source, dos(2019, 5, 6, 7, 8, 10)));

  ASSERT_TRUE(renameFile(source, target));
  EXPECT_FALSE(fileExists(source));
  EXPECT_EQ(readFile(target), "payload");
  const std::optional<DosDateTime> when = fileDosDateTime(target);
  EXPECT_TRUE(when && when->date == dos(2019, 5, 6, 7, 8, 10).date && when->time == dos(2019, 5, 6, 7, 8, 10).time);

  writeFile(source, "second");
  EXPECT_FALSE(renameFile(source, target));  // no replacing there either
  EXPECT_EQ(readFile(target), "payload");
  EXPECT_TRUE(fileExists(source));
  unlink(target.c_str());
}
