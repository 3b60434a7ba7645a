#include <gtest/gtest.h>

#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <linux/magic.h>

#include "platform/system.h"
#include "platform/temp.h"
#include "test_support.h"

using namespace platform;
using testing_support::TempDir;

TEST(Drives, TypeAndFreeSpaceOfTheTemporaryFolder) {
  TempDir dir;
  struct statfs fs;
  ASSERT_EQ(statfs(dir.path().c_str(), &fs), 0);
  const DriveType type = driveType(dir.path());
  if (fs.f_type == TMPFS_MAGIC || fs.f_type == RAMFS_MAGIC) {
    EXPECT_EQ(type, DriveType::RamDisk);
  } else {
    EXPECT_TRUE(type == DriveType::Fixed || type == DriveType::Removable || type == DriveType::Remote)
        << int(type);
  }
  EXPECT_EQ(driveType(dir.file("missing")), DriveType::NoRootDir);
  if (statfs("/dev/shm", &fs) == 0 && fs.f_type == TMPFS_MAGIC) {
    EXPECT_EQ(driveType("/dev/shm"), DriveType::RamDisk);
  }

  struct statvfs vfs;
  ASSERT_EQ(statvfs(dir.path().c_str(), &vfs), 0);
  const uint64_t expected = uint64_t(vfs.f_bavail) * vfs.f_frsize;
  const uint64_t free = freeSpace(dir.path());
  EXPECT_GT(free, 0u);
  // Other programs write meanwhile: allow 256 MiB of difference.
  EXPECT_NEAR(double(free), double(expected), 256.0 * 1024 * 1024);
  // A file about to be created counts on its folder's device.
  EXPECT_NEAR(double(freeSpace(dir.file("new\\file.tmp"))), double(expected), 256.0 * 1024 * 1024);
}

TEST(SystemServices, MemoryAndTicks) {
  EXPECT_GT(availablePhysicalMemory(), 1024u * 1024u);
  const uint64_t start = tickCount64();
  const uint32_t start32 = tickCount();
  sleepMs(30);
  EXPECT_GE(tickCount64() - start, 30u);
  EXPECT_GE(uint32_t(tickCount() - start32), 30u);
}
