#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

using testing_support::TempDir;

namespace {

struct Outcome {
  int code = -1;
  std::string out;  // standard output and error together
};

Outcome vzdb(const TempDir& dir, const std::string& arguments) {
  const std::string log = dir.file("vzdb.log");
  const int status = std::system((std::string(VZDB_PROGRAM) + " " + arguments + " >" + log + " 2>&1").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing_support::readFile(log)};
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string fixture(const std::string& name) { return testing_support::fixturePath("vzdb/" + name); }

// The file with each 4096-byte page's write stamp cleared.
std::string withoutStamps(std::string file) {
  for (size_t at = 380; at + 4096 <= file.size(); at += 4096) file.replace(at + 4, 4, 4, '\0');
  return file;
}

}  // namespace

TEST(VzdbFileFormat, InfoShowsTheFixturesConsistent) {
  TempDir dir;
  for (int cipher = 0; cipher < 8; ++cipher) {
    SCOPED_TRACE(cipher);
    const Outcome info = vzdb(dir, "info " + fixture("cipher_" + std::to_string(cipher) + ".fdb") + " --password tirelvash");
    EXPECT_EQ(info.code, 0) << info.out;
    EXPECT_TRUE(has(info.out, "CipherID " + std::to_string(cipher) + " (")) << info.out;
    EXPECT_TRUE(has(info.out, "TotalPageCount   14"));
    EXPECT_TRUE(has(info.out, "Config                   TableID 1, metadata page 7, counters page 8, locks page 5"));
    EXPECT_TRUE(has(info.out, "TableRecord Page               -1  table \"Config\" records"));
    EXPECT_TRUE(has(info.out, "Check: every page is consistent"));
  }
  for (const char* name : {"empty_4096.fdb", "embedded_9990.fdb"}) {
    const Outcome info = vzdb(dir, "info " + fixture(name));
    EXPECT_EQ(info.code, 0) << info.out;
    EXPECT_TRUE(has(info.out, "Tables (0)"));
    EXPECT_TRUE(has(info.out, "Check: every page is consistent"));
  }
  EXPECT_TRUE(has(vzdb(dir, "info " + fixture("embedded_9990.fdb")).out, "Header (at byte 9990)"));
}

TEST(VzdbFileFormat, CreateMakesWhatTheOtherImplementationMade) {
  TempDir dir;
  const std::string made = dir.file("empty.fdb");
  const Outcome r = vzdb(dir, "create " + made);
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(withoutStamps(testing_support::readFile(made)),
            withoutStamps(testing_support::readFile(fixture("empty_4096.fdb"))));
}

TEST(VzdbFileFormat, CreateTakesItsSettings) {
  TempDir dir;
  const std::string made = dir.file("big.fdb");
  ASSERT_EQ(vzdb(dir, "create " + made +
                          " --password s\xC3\xA9same --cipher 6 --page-size 16224 --extent-size 64 --max-connections 20")
                .code,
            0);
  const Outcome info = vzdb(dir, "info " + made + " --password s\xC3\xA9same");
  EXPECT_EQ(info.code, 0) << info.out;
  EXPECT_TRUE(has(info.out, "PageSize         16224 (16184 data bytes)"));
  EXPECT_TRUE(has(info.out, "ExtentPageCount  64"));
  EXPECT_TRUE(has(info.out, "CipherID 6 ("));
  EXPECT_TRUE(has(info.out, "Sessions file: 20 connection slots"));

  const Outcome wrong = vzdb(dir, "info " + made + " --password sesame");
  EXPECT_EQ(wrong.code, 1);
  EXPECT_TRUE(has(wrong.out, "Cannot open database - incorrect password"));
}

TEST(VzdbFileFormat, RefusesBadArguments) {
  TempDir dir;
  const std::string f = dir.file("x.fdb");
  for (const std::string& arguments : std::vector<std::string>{
           "create", "create " + f + " --page-size 100", "create " + f + " --page-size 70000",
        "create " + f + " --extent-size 0", "create " + f + " --cipher 8 --password p", "create " + f + " --cipher 1",
        "create " + f + " --max-connections 0", "create " + f + " --colour red", "info", "info " + f + " " + f}) {
    EXPECT_EQ(vzdb(dir, arguments).code, 2) << arguments;
  }
}

TEST(VzdbFileFormat, InfoFailsOnDamagedAndForeignFiles) {
  TempDir dir;
  const std::string foreign = dir.file("notes.txt");
  testing_support::writeFile(foreign, std::string(500, 'n'));
  Outcome r = vzdb(dir, "info " + foreign);
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(has(r.out, "Invalid file format. Found signature: 'nnnnnnnnnnnnnnnn'")) << r.out;

  EXPECT_EQ(vzdb(dir, "info " + dir.file("missing.fdb")).code, 1);

  // An EAM map that says extent 0 is full.
  const std::string damaged = dir.file("damaged.fdb");
  std::string bytes = testing_support::readFile(fixture("empty_4096.fdb"));
  bytes[380 + 4096 + 40] = 3;
  bytes[42] = 1;  // and a commit cut short
  testing_support::writeFile(damaged, bytes);
  r = vzdb(dir, "info " + damaged);
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(has(r.out, "extent 0 (pages 0 to 7) is 3 in the EAM map but its pages make it 1")) << r.out;
  EXPECT_TRUE(has(r.out, "a commit was cut short (CommitState 1): the database needs repair"));

  // A header that claims two thousand million pages of a 24,956-byte file.
  bytes = testing_support::readFile(fixture("empty_4096.fdb"));
  bytes.replace(30, 4, std::string("\xF0\xFF\xFF\x7F", 4));
  testing_support::writeFile(damaged, bytes);
  r = vzdb(dir, "info " + damaged);
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(has(r.out, "the file has 24956 bytes; its 2147483632 pages need")) << r.out;
}
