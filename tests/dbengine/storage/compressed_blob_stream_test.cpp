#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "dbengine/storage/compressed_blob_stream.h"
#include "platform/bytes.h"
#include "platform/crc32.h"
#include "platform/errors.h"
#include "transform_test_data.h"

using namespace vz;
using platform::EVZException;
using transforms_test::codeOf;

namespace {

constexpr uint32_t kB = 1000;

// A memory stream that records which byte ranges were read from it.
class RecordingStream : public TVZMemoryStream {
 public:
  size_t read(void* buffer, size_t count) override {
    reads.insert(position());
    return TVZMemoryStream::read(buffer, count);
  }
  std::set<int64_t> reads;
};

BlobStreamDescriptor descriptor(CompressionAlgorithm algorithm, uint8_t level = 6, uint32_t blockSize = kB,
                                int64_t start = 0) {
  BlobStreamDescriptor d;
  d.blockSize = blockSize;
  d.algorithm = algorithm;
  d.level = level;
  d.startPosition = start;
  return d;
}

std::vector<uint8_t> stored(const TVZMemoryStream& s, int64_t from = 0) {
  auto& m = const_cast<TVZMemoryStream&>(s);
  return std::vector<uint8_t>(m.data() + from, m.data() + m.size());
}

// Writes `value` into a new stream and returns the descriptor to reopen it.
BlobStreamDescriptor writeValue(TVZStream& under, const std::vector<uint8_t>& value, BlobStreamDescriptor d,
                                size_t piece = 0) {
  TVZCompressedBLOBStream blob(under, false, true, d);
  if (piece == 0) piece = std::max<size_t>(value.size(), 1);
  for (size_t at = 0; at < value.size(); at += piece)
    EXPECT_EQ(blob.write(value.data() + at, std::min(piece, value.size() - at)), std::min(piece, value.size() - at));
  return blob.descriptor();
}

std::vector<uint8_t> readValue(TVZStream& under, const BlobStreamDescriptor& d, bool tolerant = false) {
  TVZCompressedBLOBStream blob(under, tolerant, false, d);
  std::vector<uint8_t> out(size_t(blob.size()));
  EXPECT_EQ(blob.read(out.data(), out.size()), out.size());
  return out;
}

}  // namespace

TEST(CompressedBlobStream, BlockCountsFollowTheBlockSize) {
  const std::pair<size_t, int64_t> cases[] = {{0, 0}, {1, 1}, {kB - 1, 1}, {kB, 1}, {kB + 1, 2}, {3 * kB, 3}};
  for (const auto& [length, blocks] : cases) {
    SCOPED_TRACE(length);
    TVZMemoryStream under;
    const auto value = transforms_test::sampleText(length);
    const auto d = writeValue(under, value, descriptor(CompressionAlgorithm::Zlib));
    EXPECT_EQ(d.blockCount, blocks);
    EXPECT_EQ(d.uncompressedSize, int64_t(length));
    EXPECT_EQ(readValue(under, d), value);
    if (length == kB + 1) {
      // Second block: 1 byte, its header right after the first block.
      const uint8_t* p = under.data();
      const auto first = CompressedBlockHeader::load(p);
      EXPECT_EQ(first.uncompressedSize, int32_t(kB));
      EXPECT_EQ(first.blockLength, first.compressedSize + 20);
      EXPECT_EQ(first.crc, platform::engineCrc32(0, value.data(), kB));
      const auto second = CompressedBlockHeader::load(p + first.blockLength);
      EXPECT_EQ(second.uncompressedSize, 1);
      EXPECT_EQ(under.size(), first.blockLength + second.blockLength);
    }
  }
}

TEST(CompressedBlobStream, SmallPiecesStoreTheSameBytesAsOneWrite) {
  const auto value = transforms_test::sampleText(4321);
  // Every small write encodes the last block again; bzip2 sets up a large
  // work area each time, so it gets the larger pieces only.
  const std::pair<CompressionAlgorithm, std::vector<size_t>> cases[] = {
      {CompressionAlgorithm::Zlib, {1, 7, 999, 1000, 1001}},
      {CompressionAlgorithm::Bzip, {13, 1000, 1001}},
      {CompressionAlgorithm::Ppm, {13, 1000, 1001}},
  };
  for (const auto& [algorithm, sizes] : cases) {
    TVZMemoryStream once;
    const auto d1 = writeValue(once, value, descriptor(algorithm, 5));
    EXPECT_EQ(readValue(once, d1), value) << int(algorithm);
    for (size_t piece : sizes) {
      SCOPED_TRACE(std::to_string(int(algorithm)) + "/" + std::to_string(piece));
      TVZMemoryStream pieces;
      const auto d2 = writeValue(pieces, value, descriptor(algorithm, 5), piece);
      EXPECT_EQ(stored(pieces), stored(once));
      EXPECT_EQ(d2.blockCount, d1.blockCount);
    }
  }
}

TEST(CompressedBlobStream, ValueAfterOtherBytesAndBlockSizeByLevel) {
  TVZMemoryStream under;
  under.write("prefix--", 8);
  const auto value = transforms_test::sampleText(600000);
  auto d = descriptor(CompressionAlgorithm::Zlib, 2, 0, 8);
  d = writeValue(under, value, d);
  EXPECT_EQ(d.blockSize, 0u);
  EXPECT_EQ(d.blockCount, 2);  // 524,288 bytes per block at level 2
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(under.data()), 8), "prefix--");
  TVZCompressedBLOBStream blob(under, false, false, d);
  EXPECT_EQ(blob.blockSize(), 524288u);
  EXPECT_GT(blob.compressionRatio(), 50.0);
  EXPECT_EQ(blob.storedSize(), under.size() - 8);
  EXPECT_EQ(readValue(under, d), value);
}

TEST(CompressedBlobStream, RandomReadsDecodeOnlyTheBlocksTouched) {
  RecordingStream under;
  const auto value = transforms_test::randomBytes(10 * kB, 11);
  const auto d = writeValue(under, value, descriptor(CompressionAlgorithm::Zlib));
  TVZCompressedBLOBStream blob(under, false, false, d);
  std::vector<int64_t> dataAt;
  for (const auto& e : blob.blocks()) dataAt.push_back(e.headerPosition + 20);
  under.reads.clear();
  uint8_t buf[1500];
  blob.seek(7 * kB + 900, SeekOrigin::Begin);
  ASSERT_EQ(blob.read(buf, 200), 200u);  // blocks 7 and 8
  EXPECT_EQ(std::vector<uint8_t>(buf, buf + 200), std::vector<uint8_t>(value.begin() + 7900, value.begin() + 8100));
  EXPECT_EQ(under.reads, (std::set<int64_t>{dataAt[7], dataAt[8]}));
  under.reads.clear();
  blob.seek(-5, SeekOrigin::End);
  EXPECT_EQ(blob.read(buf, sizeof buf), 5u);
  EXPECT_EQ(under.reads, (std::set<int64_t>{dataAt[9]}));
  EXPECT_EQ(blob.read(buf, sizeof buf), 0u);
}

TEST(CompressedBlobStream, ShrinkingAndGrowing) {
  TVZMemoryStream under;
  const auto value = transforms_test::sampleText(3500);
  auto d = writeValue(under, value, descriptor(CompressionAlgorithm::Zlib));
  for (int64_t size : {3000, 2500, 999, 0}) {
    SCOPED_TRACE(size);
    {
      TVZCompressedBLOBStream blob(under, false, false, d);
      blob.setSize(size);
      d = blob.descriptor();
    }
    EXPECT_EQ(d.uncompressedSize, size);
    EXPECT_EQ(d.blockCount, (size + kB - 1) / kB);
    EXPECT_EQ(readValue(under, d), std::vector<uint8_t>(value.begin(), value.begin() + size));
    // The stored form is exactly what writing the shorter value gives.
    TVZMemoryStream fresh;
    writeValue(fresh, std::vector<uint8_t>(value.begin(), value.begin() + size), descriptor(CompressionAlgorithm::Zlib));
    EXPECT_EQ(stored(under), stored(fresh));
  }
  // Growing adds zeros, also when a write starts beyond the end.
  {
    TVZCompressedBLOBStream blob(under, false, false, d);
    blob.write("abc", 3);
    blob.setSize(1500);
    blob.seek(2600, SeekOrigin::Begin);
    blob.write("z", 1);
    d = blob.descriptor();
  }
  auto expected = std::vector<uint8_t>(2601, 0);
  expected[0] = 'a';
  expected[1] = 'b';
  expected[2] = 'c';
  expected[2600] = 'z';
  EXPECT_EQ(readValue(under, d), expected);
  EXPECT_EQ(d.blockCount, 3);
}

TEST(CompressedBlobStream, OverwritingEarlierBytesKeepsTheRest) {
  TVZMemoryStream under;
  auto value = transforms_test::sampleText(3500);
  auto d = writeValue(under, value, descriptor(CompressionAlgorithm::Zlib));
  {
    TVZCompressedBLOBStream blob(under, false, false, d);
    blob.seek(1500, SeekOrigin::Begin);
    blob.write("OVERWRITTEN", 11);
    d = blob.descriptor();
  }
  std::copy_n("OVERWRITTEN", 11, value.begin() + 1500);
  EXPECT_EQ(readValue(under, d), value);
  EXPECT_EQ(d.blockCount, 4);
}

TEST(CompressedBlobStream, DamagedBlocksFailWithTheirCodes) {
  const auto value = transforms_test::sampleText(2500);
  TVZMemoryStream good;
  const auto d = writeValue(good, value, descriptor(CompressionAlgorithm::Zlib));
  const auto bytes = stored(good);
  const auto firstLength = CompressedBlockHeader::load(bytes.data()).blockLength;

  auto reopen = [&](std::vector<uint8_t> b, const BlobStreamDescriptor& desc, bool tolerant, int64_t readAt) {
    TVZMemoryStream under;
    under.write(b.data(), b.size());
    return codeOf([&] {
      TVZCompressedBLOBStream blob(under, tolerant, false, desc);
      std::vector<uint8_t> out(value.size(), 0xEE);
      blob.seek(readAt, SeekOrigin::Begin);
      const size_t n = blob.read(out.data(), 10);
      // A failing read must never hand out bytes.
      EXPECT_EQ(n, 10u);
    });
  };

  auto crcBroken = bytes;
  crcBroken[8] ^= 1;  // CRC of the first block
  EXPECT_EQ(reopen(crcBroken, d, false, 0), 10089);
  EXPECT_EQ(reopen(crcBroken, d, false, 1500), 0);  // other blocks still read

  auto dataBroken = bytes;
  dataBroken[25] ^= 0xFF;
  EXPECT_EQ(reopen(dataBroken, d, false, 0), 10087);

  auto sizeBroken = bytes;
  platform::storeI32(sizeBroken.data() + 4, 999);
  EXPECT_EQ(reopen(sizeBroken, d, false, 0), 10088);

  auto compressedSizeBroken = bytes;
  platform::storeI32(compressedSizeBroken.data(), 1 << 30);
  EXPECT_EQ(reopen(compressedSizeBroken, d, false, 0), 10086);

  // Fewer stored blocks than announced.
  const std::vector<uint8_t> twoBlocks(bytes.begin(), bytes.end() - 10);
  EXPECT_EQ(reopen(twoBlocks, d, false, 0), 10083);
  const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + firstLength + 5);
  EXPECT_EQ(reopen(cut, d, false, 0), 10082);
  // With tolerance the blocks found make the value.
  {
    TVZMemoryStream under;
    under.write(cut.data(), cut.size());
    TVZCompressedBLOBStream blob(under, true, false, d);
    EXPECT_EQ(blob.blockCount(), 1);
    EXPECT_EQ(blob.size(), int64_t(kB));
  }

  auto lengthBroken = bytes;
  platform::storeI64(lengthBroken.data() + 12, 3);
  EXPECT_EQ(reopen(lengthBroken, d, false, 0), 10083);

  auto wrongSize = d;
  wrongSize.uncompressedSize = 5000;
  EXPECT_EQ(reopen(bytes, wrongSize, false, 0), 10081);
  auto badStart = d;
  badStart.startPosition = -4;
  EXPECT_EQ(reopen(bytes, badStart, false, 0), 10103);
}

TEST(CompressedBlobStream, UnframedValuesGoStraightThrough) {
  TVZMemoryStream under;
  under.write("0123", 4);
  auto d = descriptor(CompressionAlgorithm::None, 0, kB, 4);
  {
    TVZCompressedBLOBStream blob(under, false, true, d);
    blob.write("hello world", 11);
    EXPECT_EQ(blob.blockCount(), 0);
    EXPECT_EQ(blob.compressionRatio(), 0.0);
  }
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(under.data()), size_t(under.size())), "0123hello world");
  TVZCompressedBLOBStream blob(under, false, false, d);
  EXPECT_EQ(blob.size(), 11);
  blob.setSize(5);
  EXPECT_EQ(under.size(), 9);
  char buf[16] = {};
  blob.seek(1, SeekOrigin::Begin);
  EXPECT_EQ(blob.read(buf, sizeof buf), 4u);
  EXPECT_EQ(std::string(buf), "ello");
}

TEST(CompressedBlobStream, CompressorFailureIsReportedAndLosesNothing) {
  TVZMemoryStream empty;
  TVZCompressedBLOBStream blob(empty, false, true, descriptor(CompressionAlgorithm::Bzip, 0));
  EXPECT_EQ(codeOf([&] { blob.write("abc", 3); }), 10085);
  EXPECT_EQ(codeOf([&] { blob.seek(-1, SeekOrigin::Begin); }), 10079);
  EXPECT_EQ(codeOf([&] { blob.setSize(-1); }), 10092);

  // A stored value whose level the compressor refuses: reads work, and every
  // change that fails leaves the stored blocks as they were.
  TVZMemoryStream under;
  const auto value = transforms_test::sampleText(2500);
  auto d = writeValue(under, value, descriptor(CompressionAlgorithm::Zlib));
  const auto before = stored(under);
  d.level = 10;
  TVZCompressedBLOBStream refused(under, false, false, d);
  refused.seek(0, SeekOrigin::End);
  EXPECT_EQ(codeOf([&] { refused.write("more", 4); }), 10085);
  refused.seek(10, SeekOrigin::Begin);
  EXPECT_EQ(codeOf([&] { refused.write("x", 1); }), 10085);
  EXPECT_EQ(codeOf([&] { refused.setSize(1200); }), 10085);
  EXPECT_EQ(codeOf([&] { refused.setSize(2800); }), 10085);
  EXPECT_EQ(stored(under), before);
  EXPECT_EQ(refused.size(), 2500);
  EXPECT_EQ(readValue(under, d), value);
}
