// Byte 1 of a store file held by another process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/filesystem.h"
#include "platform/system.h"
#include "recordstore/session.h"
#include "recordstore/table.h"
#include "store_writer.h"
#include "test_support.h"

namespace {

namespace sw = store_writer;
using testing_support::TempDir;

// A second process holding the lock for as long as this object lives.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path) : path_(path) {
    pid_ = fork();
    if (pid_ == 0) {
      execl(RECSTORE_LOCK_HOLDER, RECSTORE_LOCK_HOLDER, path.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int waited = 0; waited < 5000 && !platform::fileExists(path + ".held"); waited += 5) platform::sleepMs(5);
  }
  bool holding() const { return platform::fileExists(path_ + ".held"); }
  ~LockHolder() {
    testing_support::writeFile(path_ + ".release", "");
    int status = 0;
    waitpid(pid_, &status, 0);
    platform::deleteFile(path_ + ".held");
    platform::deleteFile(path_ + ".release");
  }

 private:
  std::string path_;
  pid_t pid_;
};

class StoreLocking : public ::testing::Test {
 protected:
  void SetUp() override {
    sw::Table t;
    t.name = "Config";
    t.fields = {{"Version", dataset::FieldType::String, 10}};
    t.records = {{"5.6"}};
    sw::Store s;
    s.tables = {t};
    path_ = dir_.file("dor.fnc");
    sw::write(path_, s);
    rec::defaultSession().setLockRetryCount(3);
    rec::defaultSession().setLockWaitTime(10);
  }
  void TearDown() override {
    rec::defaultSession().setLockRetryCount(20);
    rec::defaultSession().setLockWaitTime(100);
  }
  void openTable(rec::TRecTable& table) {
    table.setDatabaseName(path_);
    table.setPassword("sertu");
    table.setTableName("Config");
    table.open();
  }

  TempDir dir_;
  std::string path_;
};

TEST_F(StoreLocking, OpeningWaitsForTheLockThenTimesOut) {
  {
    LockHolder holder(path_);
    ASSERT_TRUE(holder.holding());
    rec::TRecTable table;
    try {
      openTable(table);
      ADD_FAILURE() << "opened while the lock was held";
    } catch (const platform::EDatabaseError& e) {
      EXPECT_STREQ(e.what(), "Wait for unlock time out");
    }
    EXPECT_FALSE(table.active());
  }
  rec::TRecTable table;
  openTable(table);
  EXPECT_EQ(table.fieldValue("Version").toString(), "5.6");
}

TEST_F(StoreLocking, PostTimesOutAndKeepsTheEdit) {
  rec::TRecTable table;
  openTable(table);
  table.edit();
  table.setFieldValue("Version", "5.8");
  {
    LockHolder holder(path_);
    ASSERT_TRUE(holder.holding());
    try {
      table.post();
      ADD_FAILURE() << "posted while the lock was held";
    } catch (const platform::EDatabaseError& e) {
      EXPECT_STREQ(e.what(), "Wait for unlock time out");
    }
    EXPECT_EQ(table.state(), dataset::DataSetState::Edit);
  }
  table.post();  // the lock is free again
  table.close();
  openTable(table);
  EXPECT_EQ(table.fieldValue("Version").toString(), "5.8");
}

}  // namespace
