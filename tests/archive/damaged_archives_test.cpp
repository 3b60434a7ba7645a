// Damaged archives: every fixture, cut short and with its sizes, counts and
// offsets overwritten, is opened and extracted under the sanitizers. Each
// attempt may fail with the archive's error but must not crash, hang or
// allocate without bound, and must write nothing outside its target.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "archive/zip_archiver.h"
#include "archive_test_support.h"
#include "platform/bytes.h"
#include "test_support.h"

using namespace archive;
using namespace archive_test;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

const char* kFixtures[] = {"plain_infozip.zip", "enc_infozip.zip", "enc_7z.zip",       "stream_infozip.zip",
                           "stream_python.zip", "zip64_infozip.zip", "zip64_python.zip", "zip64_allones.zip",
                           "comment_signature.zip", "sfx_cat.exe", "backslash_names.zip", "attributes_dos.zip"};

// Positions of every field worth damaging: the size, count and offset
// fields of end records, central and local headers.
std::vector<std::pair<size_t, size_t>> numericFields(const std::string& bytes) {
  std::vector<std::pair<size_t, size_t>> fields;
  auto each = [&](const char* sig, std::initializer_list<std::pair<size_t, size_t>> offsets) {
    for (size_t at = bytes.find(std::string(sig, 4)); at != std::string::npos;
         at = bytes.find(std::string(sig, 4), at + 1))
      for (auto [off, len] : offsets)
        if (at + off + len <= bytes.size()) fields.push_back({at + off, len});
  };
  each("PK\x05\x06", {{4, 2}, {6, 2}, {10, 2}, {12, 4}, {16, 4}, {20, 2}});
  each("PK\x06\x06", {{20, 4}, {32, 8}, {40, 8}, {48, 8}});
  each("PK\x06\x07", {{8, 8}, {16, 4}});
  each("PK\x01\x02", {{10, 2}, {20, 4}, {24, 4}, {28, 2}, {30, 2}, {32, 2}, {34, 2}, {42, 4}});
  each("PK\x03\x04", {{8, 2}, {18, 4}, {22, 4}, {26, 2}, {28, 2}});
  return fields;
}

void openAndExtract(const std::string& bytes, TempDir& dir) {
  const std::string target = dir.file("out");
  std::filesystem::remove_all(target);
  std::filesystem::create_directory(target);
  writeFile(dir.file("d.zip"), bytes);
  TZipArchiver zip;
  zip.setFileName(dir.file("d.zip"));
  zip.setPassword("vispult");
  Recorder rec;
  rec.attach(zip);
  try {
    zip.OpenArchive();
    zip.setBaseDir(target + "/");
    zip.ExtractFiles("*.*", 10431);
  } catch (const EZAException&) {
    // A refused archive is a correct outcome.
  }
  zip.CloseArchive();
  std::set<std::string> top;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) top.insert(e.path().filename().string());
  EXPECT_EQ(top, (std::set<std::string>{"d.zip", "out"}));
}

}  // namespace

TEST(DamagedArchives, TruncatedAndOverwrittenFieldsNeverCrashTheReader) {
  TempDir dir;
  std::mt19937 random(20240517);
  const uint64_t values[] = {0, 1, 0x7F, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFFull, 0x8000000000000000ull};
  for (const char* name : kFixtures) {
    SCOPED_TRACE(name);
    const std::string original = testing_support::readFile(testing_support::fixturePath(std::string("zip/") + name));

    for (size_t cut : {size_t(0), size_t(10), size_t(29), original.size() / 3, original.size() / 2,
                       original.size() - 23, original.size() - 1})
      openAndExtract(original.substr(0, cut), dir);

    const auto fields = numericFields(original);
    for (size_t i = 0; i < fields.size(); ++i) {
      auto [at, len] = fields[i];
      std::string bytes = original;
      uint64_t v = values[random() % std::size(values)];
      if (random() % 3 == 0) v = random();
      for (size_t k = 0; k < len; ++k) bytes[at + k] = char(v >> (8 * k));
      SCOPED_TRACE(i);
      openAndExtract(bytes, dir);
    }
    // Bit flips spread over the whole file.
    for (int round = 0; round < 20; ++round) {
      std::string bytes = original;
      for (int k = 0; k < 8; ++k) bytes[random() % bytes.size()] ^= char(1 << (random() % 8));
      openAndExtract(bytes, dir);
    }
  }
}
