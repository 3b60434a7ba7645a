#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "dbengine/storage/compressed_blob_stream.h"
#include "dbengine/storage/vz_streams.h"
#include "platform/errors.h"
#include "test_support.h"
#include "transform_test_data.h"

using namespace vz;
using platform::EVZException;
using transforms_test::messageOf;

namespace {

size_t filesIn(const std::string& folder) {
  size_t n = 0;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
    closedir(d);
  }
  return n;
}

}  // namespace

TEST(FileStream, CreatesOpensAndReportsFailures) {
  testing_support::TempDir dir;
  const std::string path = dir.file("blob.bin");
  const auto data = transforms_test::randomBytes(300000, 2);
  {
    TVZFileStream s(path, TVZFileStream::kCreate);
    EXPECT_EQ(s.write(data.data(), data.size()), data.size());
    s.setPosition(300010);  // beyond the end: zeros between
    s.write("!", 1);
    EXPECT_EQ(s.size(), 300011);
    s.setSize(300005);
  }
  TVZFileStream s(path, TVZFileStream::kOpenRead | TVZFileStream::kShareDenyWrite);
  EXPECT_EQ(s.size(), 300005);
  std::vector<uint8_t> back(300005);
  EXPECT_EQ(s.read(back.data(), back.size() + 10), back.size());
  EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.begin() + 300000), data);
  EXPECT_EQ(back[300004], 0);
  EXPECT_EQ(s.seek(-5, SeekOrigin::End), 300000);

  EXPECT_EQ(messageOf([&] { TVZFileStream(dir.file("missing"), TVZFileStream::kOpenReadWrite); }),
            "Cannot open file. FileName = " + dir.file("missing") + ", Mode = 2 - Native error: 10105");
  EXPECT_EQ(messageOf([&] { TVZFileStream(dir.file("no/such/folder"), TVZFileStream::kCreate); }),
            "Cannot create file. FileName = " + dir.file("no/such/folder") + " - Native error: 10104");
  // An exclusive handle keeps others out.
  TVZFileStream exclusive(dir.file("x"), TVZFileStream::kCreate | TVZFileStream::kShareExclusive);
  EXPECT_NE(messageOf([&] { TVZFileStream(dir.file("x"), TVZFileStream::kOpenRead | TVZFileStream::kShareDenyNone); }),
            "");
}

TEST(TemporaryStream, MovesToAFileBeyondOneMegabyteAndKeepsEveryByte) {
  testing_support::TempDir tmp;
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", tmp.path().c_str(), 1);
  {
    TVZTemporaryStream s;
    const auto data = transforms_test::randomBytes(1500000, 9);
    EXPECT_EQ(s.write(data.data(), 1048576), 1048576u);  // exactly the limit: still memory
    EXPECT_FALSE(s.inFile());
    s.seek(-100, SeekOrigin::Current);
    EXPECT_EQ(s.write(data.data() + 1048476, 200), 200u);  // one byte past: a file
    EXPECT_TRUE(s.inFile());
    EXPECT_EQ(s.position(), 1048676);
    EXPECT_EQ(s.write(data.data() + 1048676, data.size() - 1048676), data.size() - 1048676);
    EXPECT_EQ(s.size(), 1500000);
    std::vector<uint8_t> back(data.size());
    s.setPosition(0);
    EXPECT_EQ(s.read(back.data(), back.size()), back.size());
    EXPECT_EQ(back, data);
    // The file is already gone from the folder; it only lives while open.
    EXPECT_EQ(filesIn(tmp.path()), 0u);
  }
  {
    TVZTemporaryStream inMemory(true);
    std::vector<uint8_t> big(2 << 20, 7);
    inMemory.write(big.data(), big.size());
    EXPECT_FALSE(inMemory.inFile());
    TVZTemporaryStream grown;
    grown.setSize(3 << 20);
    EXPECT_TRUE(grown.inFile());
    EXPECT_EQ(grown.size(), 3 << 20);
  }
  if (old) setenv("TMPDIR", saved.c_str(), 1);
  else unsetenv("TMPDIR");
}

TEST(TemporaryStream, CarriesACompressedValueAcrossTheMove) {
  TVZTemporaryStream under;
  BlobStreamDescriptor d;
  d.algorithm = CompressionAlgorithm::Zlib;
  d.level = 1;
  d.blockSize = 65536;
  const auto value = transforms_test::randomBytes(1300000, 12);  // stored form passes 1 MiB
  {
    TVZCompressedBLOBStream blob(under, false, true, d);
    for (size_t at = 0; at < value.size(); at += 50000)
      blob.write(value.data() + at, std::min<size_t>(50000, value.size() - at));
    d = blob.descriptor();
  }
  EXPECT_TRUE(under.inFile());
  TVZCompressedBLOBStream blob(under, false, false, d);
  std::vector<uint8_t> back(value.size());
  EXPECT_EQ(blob.read(back.data(), back.size()), back.size());
  EXPECT_EQ(back, value);
}
