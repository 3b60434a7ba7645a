#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "child_process.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "test_support.h"

using namespace platform;
using testing_support::ChildProcess;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

File openExisting(const std::string& path, Access access, unsigned share) {
  return File::open(path, access, share, Disposition::OpenExisting);
}

bool opens(const std::string& path, Access access, unsigned share) {
  try {
    openExisting(path, access, share);
    return true;
  } catch (const EOSError& e) {
    EXPECT_EQ(e.errorNumber(), File::kSharingViolation) << e.what();
    EXPECT_NE(std::strstr(e.what(), "sharing violation"), nullptr) << e.what();
    return false;
  }
}

}  // namespace

TEST(FileSharing, FollowsTheWindowsRulesBetweenHandlesOfOneProcess) {
  TempDir dir;
  const std::string path = dir.file("shared.dat");
  writeFile(path, "data");
  const struct {
    Access firstAccess;
    unsigned firstShare;
    Access secondAccess;
    unsigned secondShare;
    bool secondOpens;
  } cases[] = {
      {Access::Read, ShareNone, Access::Read, ShareReadWrite, false},
      {Access::Read, ShareRead, Access::Read, ShareRead, true},
      {Access::Read, ShareRead, Access::ReadWrite, ShareReadWrite, false},   // wants what is not shared
      {Access::ReadWrite, ShareReadWrite, Access::Read, ShareRead, false},   // does not share what is held
      {Access::ReadWrite, ShareReadWrite, Access::ReadWrite, ShareReadWrite, true},
      {Access::Write, ShareRead, Access::Read, ShareWrite, true},
      {Access::Write, ShareRead, Access::Write, ShareReadWrite, false},
  };
  for (const auto& c : cases) {
    File first = openExisting(path, c.firstAccess, c.firstShare);
    EXPECT_EQ(opens(path, c.secondAccess, c.secondShare), c.secondOpens)
        << int(c.firstAccess) << "/" << c.firstShare << " then " << int(c.secondAccess) << "/" << c.secondShare;
    first.close();
    EXPECT_TRUE(opens(path, c.secondAccess, c.secondShare));
  }

  // A refused open truncates nothing.
  File reader = openExisting(path, Access::Read, ShareRead);
  EXPECT_THROW(File::open(path, Access::ReadWrite, ShareReadWrite, Disposition::CreateAlways), EOSError);
  EXPECT_EQ(readFile(path), "data");

  // Deleting and renaming need the other handles to share deleting.
  EXPECT_FALSE(deleteFile(path));
  EXPECT_FALSE(renameFile(path, dir.file("moved.dat")));
  reader.close();
  File sharing = openExisting(path, Access::Read, ShareRead | ShareDelete);
  EXPECT_TRUE(renameFile(path, dir.file("moved.dat")));
  EXPECT_TRUE(deleteFile(dir.file("moved.dat")));
}

TEST(FileSharing, HoldsBetweenProcesses) {
  TempDir dir;
  const std::string path = dir.file("shared.dat");
  writeFile(path, "data");
  {
    ChildProcess child(LOCK_HOLDER, {"lock_holder", path, "open", "r", "none"});
    ASSERT_EQ(child.readLine(), "opened");
    EXPECT_FALSE(opens(path, Access::Read, ShareReadWrite));
  }
  {
    ChildProcess child(LOCK_HOLDER, {"lock_holder", path, "open", "r", "r"});
    ASSERT_EQ(child.readLine(), "opened");
    EXPECT_TRUE(opens(path, Access::Read, ShareReadWrite));
    EXPECT_FALSE(opens(path, Access::ReadWrite, ShareReadWrite));
    child.kill();
    EXPECT_TRUE(opens(path, Access::ReadWrite, ShareNone));
  }
  File exclusive = openExisting(path, Access::ReadWrite, ShareNone);
  ChildProcess child(LOCK_HOLDER, {"lock_holder", path, "open", "r", "rw"});
  EXPECT_EQ(child.readLine(), "refused");
}

TEST(ByteLocks, AreRefusedWhileAnotherProcessHoldsThemAndFreedWhenItDies) {
  TempDir dir;
  const std::string path = dir.file("locked.dat");
  writeFile(path, "0123456789");
  ChildProcess child(LOCK_HOLDER, {"lock_holder", path, "lock", "7"});
  ASSERT_EQ(child.readLine(), "locked");

  File file = openExisting(path, Access::ReadWrite, ShareReadWrite);
  EXPECT_FALSE(file.tryLock(7));
  EXPECT_FALSE(file.tryLock(5, 4));
  EXPECT_TRUE(file.tryLock(8));
  child.kill();
  EXPECT_TRUE(file.tryLock(7));
}

TEST(ByteLocks, ConflictBetweenHandlesAndFollowWindowsRulesOnOneHandle) {
  TempDir dir;
  const std::string path = dir.file("locked.dat");
  writeFile(path, "");
  File a = openExisting(path, Access::ReadWrite, ShareReadWrite);
  File b = openExisting(path, Access::ReadWrite, ShareReadWrite);
  File reader = openExisting(path, Access::Read, ShareReadWrite);

  EXPECT_TRUE(a.tryLock(100));  // beyond the end of the file
  EXPECT_FALSE(b.tryLock(100));
  EXPECT_FALSE(reader.tryLock(100));
  EXPECT_FALSE(a.tryLock(100));  // the same handle cannot take it twice
  EXPECT_FALSE(a.tryLock(99, 2));
  EXPECT_TRUE(a.tryLock(101));
  EXPECT_FALSE(a.unlock(102));  // never held
  EXPECT_FALSE(a.unlock(100, 2));  // not as it was locked
  EXPECT_TRUE(a.unlock(100));
  EXPECT_FALSE(a.unlock(100));
  EXPECT_FALSE(b.tryLock(101));  // the neighbour stays held
  EXPECT_TRUE(b.tryLock(100));

  // A handle opened for reading locks as well, against writers and readers.
  EXPECT_TRUE(reader.tryLock(3));
  EXPECT_FALSE(a.tryLock(3));
  File otherReader = openExisting(path, Access::Read, ShareReadWrite);
  EXPECT_FALSE(otherReader.tryLock(3));
  EXPECT_TRUE(a.tryLock(4));
  EXPECT_FALSE(reader.tryLock(4));

  a.close();  // its locks go with it
  EXPECT_TRUE(b.tryLock(101));
  EXPECT_TRUE(b.tryLock(4));

  EXPECT_THROW(b.tryLock(10, 0), EOSError);
  EXPECT_THROW(b.tryLock(0x7FFFFFFFFFFFF000ull), EOSError);
}

TEST(FileIO, PositionedAndSequentialReadsAndWrites) {
  TempDir dir;
  const std::string path = dir.file("io.dat");
  File file = File::open(path, Access::ReadWrite, ShareNone, Disposition::CreateNew);
  file.writeAt(5, "hello", 5);
  EXPECT_EQ(file.size(), 10u);
  char buffer[16] = {};
  EXPECT_EQ(file.readAt(0, buffer, sizeof buffer), 10u);  // short only at the end
  EXPECT_EQ(std::string(buffer, 10), std::string(5, '\0') + "hello");
  EXPECT_EQ(file.readAt(20, buffer, 4), 0u);
  file.seek(0);
  file.write("ab", 2);
  file.write("cd", 2);
  EXPECT_EQ(file.position(), 4u);
  file.seek(2);
  EXPECT_EQ(file.read(buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer, 3), std::string("cd") + '\0');
  const uint64_t far = 5'000'000'000ull;  // past 4 GiB, sparse
  file.writeAt(far, "z", 1);
  EXPECT_EQ(file.size(), far + 1);
  EXPECT_EQ(file.readAt(far, buffer, 4), 1u);
  file.setSize(3);
  EXPECT_EQ(file.size(), 3u);
  file.flush();
  file.close();
  EXPECT_EQ(readFile(path), "abc");
  EXPECT_THROW(file.size(), EOSError);

  EXPECT_THROW(File::open(path, Access::Read, ShareRead, Disposition::CreateNew), EOSError);
  EXPECT_THROW(File::open(dir.file("missing"), Access::Read, ShareRead, Disposition::OpenExisting), EOSError);
  EXPECT_THROW(File::open(dir.path(), Access::Read, ShareRead, Disposition::OpenExisting), EOSError);
  File::open(path, Access::Write, ShareNone, Disposition::TruncateExisting);
  EXPECT_EQ(readFile(path), "");

  writeFile(path, "abc");
  File reader = File::open(path, Access::Read, ShareReadWrite, Disposition::OpenExisting);
  EXPECT_THROW(reader.writeAt(0, "x", 1), EOSError);
  EXPECT_THROW(reader.setSize(0), EOSError);
  File writer = File::open(path, Access::Write, ShareReadWrite, Disposition::OpenAlways);
  EXPECT_THROW(writer.readAt(0, buffer, 1), EOSError);
  writer.close();
  reader.close();

  // The read-only attribute keeps writers out, whoever runs the program.
  ASSERT_TRUE(setFileAttributes(path, faReadOnly));
  try {
    File::open(path, Access::ReadWrite, ShareReadWrite, Disposition::OpenExisting);
    ADD_FAILURE() << "a read-only file opened for writing";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.errorNumber(), EACCES);
  }
  EXPECT_NO_THROW(File::open(path, Access::Read, ShareReadWrite, Disposition::OpenExisting));
}

TEST(FileIO, DeleteOnCloseRemovesTheNameAtOnceAndKeepsTheData) {
  TempDir dir;
  const std::string path = dir.file("scratch.dat");
  writeFile(path, "");
  OpenOptions options;
  options.deleteOnClose = true;
  File file = File::open(path, Access::ReadWrite, ShareNone, Disposition::OpenExisting, options);
  EXPECT_FALSE(fileExists(path));
  file.writeAt(0, "kept", 4);
  char buffer[4];
  EXPECT_EQ(file.readAt(0, buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "kept");
  file.close();
  EXPECT_FALSE(fileExists(path));

  // Another handle that does not share deleting keeps it from happening.
  writeFile(path, "x");
  File holder = openExisting(path, Access::Read, ShareReadWrite);
  EXPECT_THROW(File::open(path, Access::ReadWrite, ShareReadWrite, Disposition::OpenExisting, options), EOSError);
  EXPECT_TRUE(fileExists(path));
}
