#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "test_support.h"
#include "transform_test_data.h"

namespace {

int vzdb(const std::string& arguments) {
  const int status = std::system((std::string(VZDB_PROGRAM) + " " + arguments + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(VzdbCodec, CompressesAndRestoresFilesWithEveryAlgorithm) {
  testing_support::TempDir dir;
  const auto text = transforms_test::sampleText(200000);
  testing_support::writeFile(dir.file("in"), std::string(text.begin(), text.end()));
  for (const char* algorithm : {"zlib", "BZIP", "Zlib", "ppm"}) {
    SCOPED_TRACE(algorithm);
    const std::string a = std::string(" --algorithm ") + algorithm;
    ASSERT_EQ(vzdb("codec compress" + a + " --level 9 " + dir.file("in") + " " + dir.file("packed")), 0);
    EXPECT_LT(testing_support::readFile(dir.file("packed")).size(), text.size() / 3);
    const std::string size = std::string(algorithm) == "ppm" ? " --size " + std::to_string(text.size()) : "";
    ASSERT_EQ(vzdb("codec decompress" + a + size + " " + dir.file("packed") + " " + dir.file("out")), 0);
    EXPECT_EQ(testing_support::readFile(dir.file("out")), testing_support::readFile(dir.file("in")));
  }
}

TEST(VzdbCodec, RefusesWrongArgumentsAndBadData) {
  testing_support::TempDir dir;
  testing_support::writeFile(dir.file("in"), "not compressed at all");
  const std::string in = " " + dir.file("in") + " " + dir.file("out");
  EXPECT_EQ(vzdb(""), 2);
  EXPECT_EQ(vzdb("nosuchcommand"), 2);
  EXPECT_EQ(vzdb("codec compress --algorithm lzma" + in), 2);
  EXPECT_EQ(vzdb("codec compress --algorithm zlib --level 12" + in), 2);
  EXPECT_EQ(vzdb("codec squeeze --algorithm zlib" + in), 2);
  EXPECT_EQ(vzdb("codec decompress --algorithm ppm" + in), 2);  // needs --size
  EXPECT_EQ(vzdb("codec decompress --algorithm zlib" + in), 1);
  EXPECT_EQ(vzdb("codec compress --algorithm bzip --level 0" + in), 1);
  EXPECT_EQ(vzdb("codec compress --algorithm zlib " + dir.file("missing") + " " + dir.file("out")), 1);
}
