#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dbengine/storage/free_space_manager.h"
#include "dbengine/storage/internal_file.h"
#include "dbengine/storage/page_manager.h"
#include "file_format_support.h"
#include "test_support.h"

using file_format_test::messageOf;
using testing_support::TempDir;

namespace {

constexpr int32_t D = 4056;  // page data size of 4096-byte pages

std::vector<uint8_t> sample(size_t size, bool compressible) {
  std::vector<uint8_t> data(size);
  uint32_t x = 12345;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    data[i] = compressible ? uint8_t("metadata of a table "[i % 20]) : uint8_t(x >> 24);
  }
  return data;
}

class InternalFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.file("db.fdb");
    file_format_test::createDatabase(path_);
    open(m_);
  }
  void open(vz::TVZDiskPageManager& m) { file_format_test::openDatabase(m, path_); }

  TempDir dir_;
  std::string path_;
  vz::TVZDiskPageManager m_;
};

}  // namespace

TEST(InternalFilePages, ChainLengthIncludesTheHeaderAndTheExactMultiple) {
  const std::vector<std::pair<int64_t, int64_t>> cases = {
      {0, 1}, {1, 1}, {D - 10, 1}, {D - 9, 2}, {2 * D - 10, 2}, {2 * D - 9, 3}, {500, 1}, {6000, 2}};
  for (const auto& [stored, pages] : cases) EXPECT_EQ(vz::internalFilePageCount(stored, D), pages) << stored;
}

TEST_F(InternalFile, TransactedFilesRoundTripWithAndWithoutCompression) {
  const std::vector<size_t> sizes = {0, 1, D - 10, D - 9, 2 * D - 10, 5 * D + 7};
  for (auto algorithm : {vz::CompressionAlgorithm::None, vz::CompressionAlgorithm::Zlib}) {
    for (size_t size : sizes) {
      for (bool compressible : {true, false}) {
        SCOPED_TRACE(std::to_string(int(algorithm)) + " " + std::to_string(size) + " " + std::to_string(compressible));
        const std::vector<uint8_t> data = sample(size, compressible);
        vz::TVZInternalDBTransactedAccessFile file(m_, vz::TVZPageType::TableMetaData);
        const int32_t start = file.create(0);
        file.write(0, data.data(), int32_t(data.size()), algorithm, 1);
        m_.commit(0);

        vz::TVZDiskPageManager other;
        open(other);
        vz::TVZInternalDBTransactedAccessFile again(other, vz::TVZPageType::TableMetaData);
        again.open(start);
        EXPECT_EQ(again.read(0), data);
        const vz::TVZInternalFileSize stored = again.size(0);
        EXPECT_EQ(stored.uncompressed, int32_t(size));
        const bool packed = algorithm != vz::CompressionAlgorithm::None && size > 0;
        EXPECT_EQ(stored.algorithm, packed ? 1 : 0);
        if (!packed) {
          EXPECT_EQ(stored.stored, int32_t(size));
        }
        EXPECT_EQ(int64_t(again.pageNumbers(0).size()), vz::internalFilePageCount(stored.stored, D));
        if (size > 0) {
          std::vector<uint8_t> first(1);
          again.read(0, first.data(), 1);
          EXPECT_EQ(first[0], data[0]);
        }
      }
    }
  }
}

TEST_F(InternalFile, ACutChainFreesItsTail) {
  vz::TVZInternalDBTransactedAccessFile file(m_, vz::TVZPageType::TableMostUpdated);
  file.create(0);
  const std::vector<uint8_t> big = sample(3 * D, false);
  file.write(0, big.data(), int32_t(big.size()));
  m_.commit(0);
  const std::vector<int32_t> chain = file.pageNumbers(0);
  ASSERT_EQ(chain.size(), 4u);
  file.write(0, big.data(), 10);
  m_.commit(0);
  EXPECT_EQ(file.pageNumbers(0), std::vector<int32_t>{chain[0]});
  for (size_t i = 1; i < chain.size(); ++i) EXPECT_FALSE(m_.freeSpace().isPageUsed(chain[i])) << chain[i];
  EXPECT_EQ(file.read(0), std::vector<uint8_t>(big.begin(), big.begin() + 10));
}

TEST_F(InternalFile, TransactedFilesRefuseBadReads) {
  vz::TVZInternalDBTransactedAccessFile file(m_, vz::TVZPageType::TableMetaData);
  const int32_t start = file.create(0);
  EXPECT_EQ(messageOf([&] { file.create(0); }),
            "Cannot create Internal file. File already exists. StartPageNo=" + std::to_string(start) +
                " - Native error: 10550");
  const std::vector<uint8_t> data = sample(2 * D, true);
  file.write(0, data.data(), int32_t(data.size()));
  std::vector<uint8_t> buffer(data.size() + 1);
  EXPECT_EQ(messageOf([&] { file.read(0, buffer.data(), int32_t(buffer.size())); }),
            "Cannot Read internal file. FileSize=8112. ReadSize=8113 - Native error: 10552");
  m_.commit(0);

  // A chain that ends before its stored size.
  file_format_test::patchI32(path_, uint64_t(m_.pageOffset(start)) + 10, -1);
  vz::TVZDiskPageManager other;
  open(other);
  vz::TVZInternalDBTransactedAccessFile shortFile(other, vz::TVZPageType::TableMetaData);
  shortFile.open(start);
  EXPECT_EQ(messageOf([&] { shortFile.read(0); }).rfind("Cannot Read % bytes from internal file.", 0), 0u);

  // Compressed bytes that are no zlib stream.
  vz::TVZInternalDBTransactedAccessFile packed(m_, vz::TVZPageType::TableMetaData);
  const int32_t packedStart = packed.create(0);
  packed.write(0, data.data(), int32_t(data.size()), vz::CompressionAlgorithm::Zlib, 1);
  m_.commit(0);
  file_format_test::patchFile(path_, uint64_t(m_.pageOffset(packedStart)) + 40 + 10, {0xFF, 0xFF, 0xFF});
  vz::TVZDiskPageManager third;
  open(third);
  vz::TVZInternalDBTransactedAccessFile damaged(third, vz::TVZPageType::TableMetaData);
  damaged.open(packedStart);
  EXPECT_EQ(messageOf([&] { damaged.read(0); }).rfind("Table file decompression error. Possible table corruption (", 0),
            0u);
}

TEST_F(InternalFile, ClosedFilesNameTheOperation) {
  vz::TVZInternalDBTransactedAccessFile transacted(m_, vz::TVZPageType::TableMetaData);
  vz::TVZInternalDBDirectAccessFile direct(m_, vz::TVZPageType::TableLocks);
  uint8_t byte = 0;
  const std::vector<std::pair<std::string, std::function<void()>>> operations = {
      {"ReadFile", [&] { transacted.read(0); }},
      {"WriteFile", [&] { transacted.write(0, &byte, 1); }},
      {"GetSize", [&] { transacted.size(0); }},
      {"GetSize", [&] { direct.size(); }},
      {"DirectReadBuffer", [&] { direct.read(0, &byte, 1); }},
      {"DirectWriteBuffer", [&] { direct.write(0, &byte, 1); }},
      {"LockFile", [&] { direct.lockFile(); }},
      {"UnlockFile", [&] { direct.unlockFile(); }},
      {"LockByte", [&] { direct.lockByte(0); }},
      {"UnlockByte", [&] { direct.unlockByte(0); }},
      {"IsByteLocked", [&] { direct.isByteLocked(0); }},
      {"IsRegionLocked", [&] { direct.isRegionLocked(0, 1); }},
  };
  for (const auto& [name, call] : operations) {
    EXPECT_EQ(messageOf(call),
              "Cannot perform this operation (" + name + ") on closed internal file - Native error: 10559");
  }
}

TEST_F(InternalFile, DirectFilesPlaceBytesByTheCeilingRule) {
  const int32_t size = 2 * D - 10;  // exactly two pages
  vz::TVZInternalDBDirectAccessFile file(m_, vz::TVZPageType::TableLocks);
  const int32_t start = file.create(size);
  m_.commit(vz::kSystemSessionID);
  ASSERT_EQ(file.pageNumbers().size(), 2u);
  const int32_t second = file.pageNumbers()[1];

  vz::TVZDiskPageManager other;
  open(other);
  vz::TVZInternalDBDirectAccessFile direct(other, vz::TVZPageType::TableLocks);
  direct.open(start);
  EXPECT_EQ(direct.size(), size);
  EXPECT_EQ(direct.pageNumbers(), file.pageNumbers());

  // Position p lies at chain position p + 10: page ceil(x / D) - 1, offset x mod D.
  struct Case {
    int32_t position;
    int32_t pageNo;
    int32_t dataOffset;
  };
  for (const Case& c : {Case{0, start, 10}, Case{D - 11, start, D - 1}, Case{D - 10, start, 0},
                        Case{D - 9, second, 1}, Case{size - 1, second, D - 1}}) {
    SCOPED_TRACE(c.position);
    const uint8_t mark = uint8_t(c.position * 7 + 1);
    direct.write(c.position, &mark, 1);
    uint8_t onDisk = 0;
    other.readInPage(c.pageNo, 40 + c.dataOffset, &onDisk, 1);
    EXPECT_EQ(onDisk, mark);
  }
  // Every position has a place of its own.
  const std::vector<uint8_t> pattern = sample(size_t(size), false);
  direct.write(0, pattern.data(), size);
  std::vector<uint8_t> back(static_cast<size_t>(size));
  EXPECT_EQ(direct.read(0, back.data(), size), size);
  EXPECT_EQ(back, pattern);
  EXPECT_EQ(direct.read(size - 2, back.data(), 10), 2);

  EXPECT_EQ(messageOf([&] { direct.write(size - 1, pattern.data(), 2); }),
            "Cannot write after end of file. FileSize=8102. Position=8101, Count=2 - Native error: 10557");
  EXPECT_EQ(messageOf([&] { direct.read(size + 1, back.data(), 1); }),
            "Seek position bigger then file size. FileSize=8102. Position=8103 - Native error: 10556");
  EXPECT_EQ(messageOf([&] { direct.lockByte(size); }),
            "Seek position bigger then file size. FileSize=8102. Position=8102 - Native error: 10556");
}

TEST_F(InternalFile, DirectFileBytesLockAgainstOtherHandles) {
  vz::TVZInternalDBDirectAccessFile file(m_, vz::TVZPageType::TableLocks);
  const int32_t start = file.create(6000);
  m_.commit(vz::kSystemSessionID);
  vz::TVZDiskPageManager other;
  open(other);
  vz::TVZInternalDBDirectAccessFile theirs(other, vz::TVZPageType::TableLocks);
  theirs.open(start);

  EXPECT_TRUE(file.lockByte(4046));  // the byte the rule puts at offset 0 of the first page
  EXPECT_TRUE(file.lockByte(5));
  EXPECT_TRUE(theirs.isByteLocked(5));
  EXPECT_FALSE(theirs.lockByte(5));
  EXPECT_TRUE(theirs.isRegionLocked(0, 10));
  EXPECT_FALSE(theirs.isRegionLocked(6, 4000));
  EXPECT_TRUE(theirs.isRegionLocked(4040, 10));
  EXPECT_TRUE(theirs.lockByte(4047));
  EXPECT_TRUE(file.unlockByte(5));
  EXPECT_TRUE(theirs.lockByte(5));

  EXPECT_TRUE(file.lockFile());
  EXPECT_FALSE(theirs.lockFile());
  EXPECT_TRUE(file.unlockFile());
  EXPECT_TRUE(theirs.lockFile());
}
