#include <gtest/gtest.h>

#include <bzlib.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "dbengine/storage/compression.h"
#include "transform_test_data.h"

using namespace vz;

namespace {

std::vector<uint8_t> compressed(CompressionAlgorithm algorithm, uint8_t level, const std::vector<uint8_t>& input) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(compressBuffer(algorithm, level, input.data(), input.size(), out));
  return out;
}

}  // namespace

TEST(Compression, AlgorithmByNameIgnoresCase) {
  const std::pair<const char*, CompressionAlgorithm> cases[] = {
      {"zlib", CompressionAlgorithm::Zlib}, {"Zlib", CompressionAlgorithm::Zlib},
      {"ZLIB", CompressionAlgorithm::Zlib}, {"bzip", CompressionAlgorithm::Bzip},
      {"Ppm", CompressionAlgorithm::Ppm},   {"NONE", CompressionAlgorithm::None},
      {"gzip", CompressionAlgorithm::None}, {"zlib ", CompressionAlgorithm::None},
      {"", CompressionAlgorithm::None},     {"BZIP2", CompressionAlgorithm::None},
  };
  for (const auto& [name, algorithm] : cases) EXPECT_EQ(algorithmByName(name), algorithm) << name;
  EXPECT_EQ(algorithmName(CompressionAlgorithm::Bzip), "BZIP");
  EXPECT_EQ(algorithmName(CompressionAlgorithm(7)), "");
}

TEST(Compression, RoundTripsAtSeveralLevelsOnEveryKindOfInput) {
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> inputs = {
      {"one byte", {0x41}},
      {"tiny", {'a', 'b', 'a', 'b', 'a'}},
      {"incompressible", transforms_test::randomBytes(65536, 1)},
      {"text", transforms_test::sampleText(100000)},
      {"large", transforms_test::sampleText(3 << 20)},
  };
  const std::pair<CompressionAlgorithm, std::vector<uint8_t>> algorithms[] = {
      {CompressionAlgorithm::Zlib, {0, 1, 6, 9}},
      {CompressionAlgorithm::Bzip, {1, 9}},
  };
  for (const auto& [algorithm, levels] : algorithms) {
    for (uint8_t level : levels) {
      for (const auto& [name, input] : inputs) {
        SCOPED_TRACE(std::string(algorithmName(algorithm)) + " level " + std::to_string(level) + " " + name);
        const auto packed = compressed(algorithm, level, input);
        ASSERT_FALSE(packed.empty());
        if (name == "text" && level > 0) {
          EXPECT_LT(packed.size(), input.size() / 3);
        }
        for (size_t expected : {input.size(), size_t(0), size_t(1)}) {
          std::vector<uint8_t> back;
          ASSERT_TRUE(decompressBuffer(algorithm, packed.data(), packed.size(), expected, back));
          EXPECT_EQ(back, input);
        }
      }
    }
  }
}

TEST(Compression, ProducesTheLibrariesOwnStreams) {
  const auto input = transforms_test::sampleText(50000);
  for (int level : {0, 1, 5, 9}) {
    uLongf size = compressBound(uLong(input.size()));
    std::vector<uint8_t> reference(size);
    ASSERT_EQ(compress2(reference.data(), &size, input.data(), uLong(input.size()), level), Z_OK);
    reference.resize(size);
    EXPECT_EQ(compressed(CompressionAlgorithm::Zlib, uint8_t(level), input), reference) << level;
  }
  for (int level : {1, 9}) {
    unsigned size = unsigned(input.size() * 2 + 600);
    std::vector<uint8_t> reference(size);
    ASSERT_EQ(BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(reference.data()), &size,
                                       const_cast<char*>(reinterpret_cast<const char*>(input.data())),
                                       unsigned(input.size()), level, 0, 0),
              BZ_OK);
    reference.resize(size);
    EXPECT_EQ(compressed(CompressionAlgorithm::Bzip, uint8_t(level), input), reference) << level;
  }
}

TEST(Compression, RefusedCallsAnswerFalse) {
  const std::vector<uint8_t> input = transforms_test::sampleText(1000);
  std::vector<uint8_t> out{1, 2, 3};
  EXPECT_FALSE(compressBuffer(CompressionAlgorithm::None, 5, input.data(), input.size(), out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(compressBuffer(CompressionAlgorithm::Zlib, 5, input.data(), 0, out));
  EXPECT_FALSE(compressBuffer(CompressionAlgorithm::Bzip, 0, input.data(), input.size(), out));
  EXPECT_FALSE(compressBuffer(CompressionAlgorithm(9), 5, input.data(), input.size(), out));
  EXPECT_FALSE(compressBuffer(CompressionAlgorithm::Zlib, 10, input.data(), input.size(), out));
  EXPECT_FALSE(decompressBuffer(CompressionAlgorithm::None, input.data(), input.size(), 0, out));
}

TEST(Compression, DamagedStreamsFailWithoutOutput) {
  const auto input = transforms_test::sampleText(20000);
  for (auto algorithm : {CompressionAlgorithm::Zlib, CompressionAlgorithm::Bzip}) {
    SCOPED_TRACE(std::string(algorithmName(algorithm)));
    const auto packed = compressed(algorithm, 6, input);
    std::vector<uint8_t> out;
    // Cut short.
    EXPECT_FALSE(decompressBuffer(algorithm, packed.data(), packed.size() / 2, input.size(), out));
    EXPECT_TRUE(out.empty());
    // A flipped byte in the body (the check sums catch what decoding does not).
    auto bad = packed;
    bad[bad.size() / 2] ^= 0x55;
    EXPECT_FALSE(decompressBuffer(algorithm, bad.data(), bad.size(), input.size(), out));
    // Not a stream of this kind at all.
    EXPECT_FALSE(decompressBuffer(algorithm, input.data(), input.size(), input.size(), out));
  }
  std::vector<uint8_t> out;
  const auto text = transforms_test::sampleText(100);
  ASSERT_FALSE(decompressBuffer(CompressionAlgorithm::Zlib, text.data(), text.size(), 0, out));
  EXPECT_EQ(lastCompressionError().rfind("Inflate error: ", 0), 0u) << lastCompressionError();
}
