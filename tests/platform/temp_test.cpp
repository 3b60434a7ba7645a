#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdlib>
#include <set>

#include "platform/errors.h"
#include "platform/filesystem.h"
#include "platform/path.h"
#include "platform/temp.h"
#include "test_support.h"

using namespace platform;
using testing_support::TempDir;

namespace {

std::vector<std::string> entriesOf(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  while (const dirent* e = readdir(dir)) {
    if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
  }
  closedir(dir);
  return names;
}

// Points the temporary folder at a folder of the test's own.
class TmpDirOverride {
 public:
  explicit TmpDirOverride(const std::string& folder) {
    const char* old = std::getenv("TMPDIR");
    if (old) saved_ = old, had_ = true;
    setenv("TMPDIR", folder.c_str(), 1);
  }
  ~TmpDirOverride() {
    if (had_) setenv("TMPDIR", saved_.c_str(), 1); else unsetenv("TMPDIR");
  }

 private:
  std::string saved_;
  bool had_ = false;
};

}  // namespace

TEST(TempFiles, NamesAreUniqueNewFilesWithThePrefix) {
  TempDir dir;
  std::set<std::string> seen;
  for (int i = 0; i < 3; ++i) {
    const std::string path = makeTempFileName(dir.path(), "VAZ");
    EXPECT_TRUE(fileExists(path)) << path;
    EXPECT_EQ(fileSize(path), 0u);
    EXPECT_EQ(extractFilePath(path), dir.path() + "/");
    const std::string name = extractFileName(path);
    EXPECT_EQ(name.substr(0, 3), "VAZ");
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    EXPECT_TRUE(seen.insert(path).second) << path;
  }
  EXPECT_THROW(makeTempFileName(dir.file("missing"), "VAZ"), EOSError);
}

TEST(TempFiles, TheTemporaryFolderAndDeleteOnCloseFiles) {
  TempDir dir;
  TmpDirOverride tmp(dir.path());
  EXPECT_EQ(tempDirectory(), dir.path() + "/");

  File file = openTemporaryFile("VAZ");
  EXPECT_TRUE(entriesOf(dir.path()).empty());  // nameless while open
  file.writeAt(0, "spill", 5);
  char buffer[5];
  EXPECT_EQ(file.readAt(0, buffer, 5), 5u);
  EXPECT_EQ(std::string(buffer, 5), "spill");
  file.close();
  EXPECT_TRUE(entriesOf(dir.path()).empty());

  unsetenv("TMPDIR");
  EXPECT_EQ(tempDirectory(), "/tmp/");
}
