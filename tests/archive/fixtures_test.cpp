// Every fixture archive, made by other tools, extracts to exactly what its
// expectations list: names, contents, sizes, attributes, times, folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "archive_test_support.h"
#include "platform/filesystem.h"
#include "test_support.h"

using namespace archive;
using namespace archive_test;
using testing_support::TempDir;

namespace {

struct ExpectedEntry {
  bool folder = false;
  std::string name, path;
  uint64_t size = 0;
  std::string sha256;
  uint32_t attr = 0;
  uint16_t dosDate = 0, dosTime = 0;
};

struct ExpectedSelection {
  std::string mask;
  uint32_t searchAttr = 0;
  std::vector<std::string> names;
};

struct ExpectedArchive {
  std::string archive, password, comment;
  uint64_t stubSize = 0;
  bool recovery = false, zip64 = false;
  std::vector<ExpectedEntry> entries;
  std::vector<ExpectedSelection> selections;
};

std::vector<ExpectedArchive> loadExpectations() {
  std::ifstream in(testing_support::fixturePath("zip/expected.txt"));
  std::vector<ExpectedArchive> all;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string kind;
    s >> kind;
    if (kind == "archive") {
      ExpectedArchive a;
      std::string recovery, zip64, comment;
      s >> a.archive >> a.password >> a.stubSize >> recovery >> zip64 >> comment;
      if (a.password == "-") a.password.clear();
      a.recovery = recovery == "1";
      a.zip64 = zip64 == "1";
      a.comment = fromHex(comment);
      all.push_back(a);
    } else if (kind == "folder" || kind == "file") {
      ExpectedEntry e;
      std::string name, path;
      e.folder = kind == "folder";
      s >> name >> path;
      e.name = fromHex(name);
      e.path = fromHex(path);
      if (!e.folder) {
        std::string attr, date, time;
        s >> e.size >> e.sha256 >> attr >> date >> time;
        e.attr = std::stoul(attr, nullptr, 16);
        e.dosDate = uint16_t(std::stoul(date, nullptr, 16));
        e.dosTime = uint16_t(std::stoul(time, nullptr, 16));
      }
      all.back().entries.push_back(e);
    } else if (kind == "select") {
      ExpectedSelection sel;
      std::string mask, names;
      s >> mask >> sel.searchAttr >> names;
      sel.mask = fromHex(mask);
      std::istringstream list(names);
      for (std::string n; std::getline(list, n, ',');) sel.names.push_back(fromHex(n));
      all.back().selections.push_back(sel);
    }
  }
  return all;
}

void PrintTo(const ExpectedArchive& a, std::ostream* os) { *os << a.archive; }

class FixtureArchive : public testing::TestWithParam<ExpectedArchive> {};

std::string copyFixture(const TempDir& dir, const std::string& name) {
  const std::string copy = dir.file(name);
  std::filesystem::copy_file(testing_support::fixturePath("zip/" + name), copy);
  std::filesystem::permissions(copy, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  return copy;
}

}  // namespace

TEST_P(FixtureArchive, ReadsItsDirectoryAndExtractsExactlyTheExpectedTree) {
  const ExpectedArchive& want = GetParam();
  TempDir work;
  const std::string target = work.file("out");
  std::filesystem::create_directory(target);

  TZipArchiver zip;
  zip.setName("Archiver");
  zip.setFileName(copyFixture(work, want.archive));
  zip.setPassword(want.password.empty() ? "vispult" : want.password);
  zip.OpenArchive();

  const TZADirManager& dir = zip.DirManager();
  EXPECT_EQ(dir.stubSize(), want.stubSize);
  EXPECT_EQ(dir.usesZip64EndRecords(), want.zip64);
  EXPECT_EQ(dir.comment(), want.comment);
  ASSERT_EQ(zip.FileCount(), want.entries.size());
  for (size_t i = 0; i < want.entries.size(); ++i) EXPECT_EQ(zip.DirItem(i).name, want.entries[i].name);

  Recorder rec;
  rec.attach(zip);
  zip.setBaseDir(target + "/");
  zip.ExtractFiles("*.*", 10431, "");
  zip.CloseArchive();
  EXPECT_TRUE(rec.failures.empty()) << rec.failures.front().message;
  EXPECT_TRUE(rec.passwordPrompts.empty());

  std::set<std::string> expectedTree;
  for (const ExpectedEntry& e : want.entries) {
    for (std::filesystem::path p = e.path; !p.empty(); p = p.parent_path()) expectedTree.insert(p.generic_string());
    if (e.folder) {
      EXPECT_TRUE(std::filesystem::is_directory(target + "/" + e.path)) << e.path;
      continue;
    }
    const std::string file = target + "/" + e.path;
    SCOPED_TRACE(e.path);
    ASSERT_TRUE(std::filesystem::is_regular_file(file));
    const std::string content = testing_support::readFile(file);
    EXPECT_EQ(content.size(), e.size);
    EXPECT_EQ(sha256Hex(content), e.sha256);
    const auto attrs = platform::fileAttributes(file);
    ASSERT_TRUE(attrs.has_value());
    EXPECT_EQ(*attrs & 0x27u, e.attr & 0x27u);
    const auto when = platform::fileDosDateTime(file);
    ASSERT_TRUE(when.has_value());
    EXPECT_EQ(when->date, e.dosDate);
    EXPECT_EQ(when->time, e.dosTime);
  }
  EXPECT_EQ(listTree(target), expectedTree);
}

TEST(FixtureSelections, MarkTheListedEntriesForEachMaskAndAttributeSet) {
  for (const ExpectedArchive& want : loadExpectations()) {
    if (want.selections.empty()) continue;
    TempDir work;
    TZipArchiver zip;
    zip.setFileName(copyFixture(work, want.archive));
    zip.OpenArchive();
    zip.setBaseDir(work.path() + "/");
    Recorder rec;
    rec.attach(zip);
    for (const ExpectedSelection& sel : want.selections) {
      SCOPED_TRACE(want.archive + " " + sel.mask + " " + std::to_string(sel.searchAttr));
      zip.ExtractFiles(sel.mask, sel.searchAttr);
      std::vector<std::string> selected;
      for (size_t i = 0; i < zip.FileCount(); ++i)
        if (zip.DirItem(i).selected) selected.push_back(zip.DirItem(i).name);
      EXPECT_EQ(selected, sel.names);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SharedFixtures, FixtureArchive, testing::ValuesIn(loadExpectations()),
                         [](const testing::TestParamInfo<ExpectedArchive>& info) {
                           std::string n = info.param.archive;
                           for (char& c : n)
                             if (!isalnum(uint8_t(c))) c = '_';
                           return n;
                         });
