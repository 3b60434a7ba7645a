#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbengine/storage/compression.h"
#include "dbengine/storage/ppmd_coder.h"
#include "platform/errors.h"
#include "test_support.h"
#include "transform_test_data.h"

using namespace vz;

TEST(PpmHeader, LevelsGiveOrderMemoryAndHeaderWord) {
  const struct {
    int level, order, memory;
    uint32_t word;
  } cases[] = {
      {1, 2, 2, 0x6011},   {2, 3, 3, 0x6022},   {3, 4, 7, 0x6063},   {4, 5, 16, 0x60F4},
      {5, 7, 22, 0x6156},  {6, 8, 25, 0x6187},  {7, 10, 40, 0x6279}, {8, 13, 100, 0x663C},
      {9, 16, 100, 0x663F}, {0, 2, 2, 0x6011},  {12, 16, 100, 0x663F},
  };
  for (const auto& c : cases) {
    const auto p = ppmd::parametersForLevel(c.level);
    EXPECT_EQ(p.order, c.order) << c.level;
    EXPECT_EQ(p.memoryMiB, c.memory) << c.level;
    EXPECT_EQ(ppmd::headerWord(p), c.word) << c.level;
  }
}

TEST(PpmHeader, DecompressionNeedsTheExpectedLength) {
  const auto stored = testing_support::readBytes(testing_support::fixturePath("ppmd/french.L1.ppm"));
  try {
    ppmd::decompress(stored.data(), stored.size(), 0);
    FAIL();
  } catch (const platform::Exception& e) {
    EXPECT_STREQ(e.what(), "PPM DecpmpressBuf: OutSize must be set");
  }
  std::vector<uint8_t> out;
  EXPECT_FALSE(decompressBuffer(CompressionAlgorithm::Ppm, stored.data(), stored.size(), 0, out));
}

// Every stored PPM buffer of the fixtures, reproduced byte for byte from its
// input and decoded back; and a header naming another variant refused.
// Disabled: the variant G model is not reproduced yet (see the issue).
TEST(PpmVectors, DISABLED_EveryVectorEncodesAndDecodesExactly) {
  const std::string manifest = testing_support::readFile(testing_support::fixturePath("ppmd/manifest.json"));
  const auto inputs = transforms_test::jsonValues(manifest, "input");
  const auto encodings = transforms_test::jsonValues(manifest, "encoding");
  const auto orders = transforms_test::jsonValues(manifest, "order");
  const auto memories = transforms_test::jsonValues(manifest, "memory_mib");
  ASSERT_EQ(encodings.size(), 31u);
  for (size_t i = 0; i < encodings.size(); ++i) {
    SCOPED_TRACE(encodings[i]);
    const auto input = testing_support::readBytes(testing_support::fixturePath("ppmd/" + inputs[i]));
    const auto stored = testing_support::readBytes(testing_support::fixturePath("ppmd/" + encodings[i]));
    const ppmd::Parameters p{std::stoi(orders[i]), std::stoi(memories[i])};
    EXPECT_EQ(ppmd::compress(input.data(), input.size(), p), stored);
    EXPECT_EQ(ppmd::decompress(stored.data(), stored.size(), input.size()), input);
  }
  auto otherVariant = testing_support::readBytes(testing_support::fixturePath("ppmd/french.L1.ppm"));
  otherVariant[1] = 0x70;  // variant H
  std::vector<uint8_t> out;
  EXPECT_FALSE(decompressBuffer(CompressionAlgorithm::Ppm, otherVariant.data(), otherVariant.size(), 564, out));
}
