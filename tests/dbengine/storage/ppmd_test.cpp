#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dbengine/storage/compression.h"
#include "dbengine/storage/ppmd_coder.h"
#include "dbengine/storage/ppmd_model.h"
#include "platform/bytes.h"
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

// The buffer compressor offers PPM exactly when the coder's streams are those
// of other engines, and then both ways.
TEST(PpmHeader, BufferCompressorOffersPpmOnlyWithInterchangeableStreams) {
  const auto input = testing_support::readBytes(testing_support::fixturePath("ppmd/french.bin"));
  std::vector<uint8_t> stored, decoded;
  EXPECT_EQ(compressBuffer(CompressionAlgorithm::Ppm, 1, input.data(), input.size(), stored),
            ppmd::kStreamsInterchangeable);
  const auto reference = testing_support::readBytes(testing_support::fixturePath("ppmd/french.L1.ppm"));
  EXPECT_EQ(decompressBuffer(CompressionAlgorithm::Ppm, reference.data(), reference.size(), input.size(), decoded),
            ppmd::kStreamsInterchangeable);
  if (ppmd::kStreamsInterchangeable) {
    EXPECT_EQ(stored, reference);
    EXPECT_EQ(decoded, input);
  }
}

namespace {

struct Vector {
  std::string input, encoding;
  ppmd::Parameters parameters;
};

std::vector<Vector> manifestVectors() {
  const std::string manifest = testing_support::readFile(testing_support::fixturePath("ppmd/manifest.json"));
  const auto inputs = transforms_test::jsonValues(manifest, "input");
  const auto encodings = transforms_test::jsonValues(manifest, "encoding");
  const auto orders = transforms_test::jsonValues(manifest, "order");
  const auto memories = transforms_test::jsonValues(manifest, "memory_mib");
  std::vector<Vector> out;
  for (size_t i = 0; i < encodings.size(); ++i)
    out.push_back({inputs[i], encodings[i], {std::stoi(orders[i]), std::stoi(memories[i])}});
  return out;
}

void expectExact(const Vector& v) {
  SCOPED_TRACE(v.encoding);
  const auto input = testing_support::readBytes(testing_support::fixturePath("ppmd/" + v.input));
  const auto stored = testing_support::readBytes(testing_support::fixturePath("ppmd/" + v.encoding));
  EXPECT_EQ(ppmd::compress(input.data(), input.size(), v.parameters), stored);
  std::vector<uint8_t> decoded;
  try {
    decoded = ppmd::decompress(stored.data(), stored.size(), input.size());
  } catch (const platform::Exception& e) {
    ADD_FAILURE() << e.what();
  }
  EXPECT_EQ(decoded, input);
}

// The two stored buffers whose coder ran out of model memory and restarted.
bool restartsInStoredCoder(const Vector& v) {
  return v.encoding == "mixed1m.L1.ppm" || v.encoding == "mixed1m.o16m2.ppm";
}

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const platform::Exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

// Every stored buffer whose model memory never runs out, byte for byte and
// decoded back: one byte and a French text at every level, 1 MiB of records
// (order-0 symbols at the limit of the suffix-frequency growth), 64 KiB of
// English at every level, 64 KiB of noise (secondary escape rows for up to 255
// unmasked symbols; binary contexts over suffixes of more than 50 symbols) and
// 1 MiB of mixed blocks at order 16 (a 25,020-byte run of zeros repeating the
// initial chain; secondary escape estimates beyond 1023).
TEST(PpmVectors, ReproducedVectorsEncodeAndDecodeExactly) {
  size_t n = 0;
  for (const auto& v : manifestVectors())
    if (!restartsInStoredCoder(v)) expectExact(v), ++n;
  EXPECT_EQ(n, 29u);
}

// The two stored buffers whose coder ran out of model memory and restarted
// its model (1 MiB of mixed blocks at level 1, and at order 16 in 2 MiB) are
// refused both ways, by the coder and by the buffer compressor, instead of
// being coded differently.
TEST(PpmVectors, BuffersWhoseModelMemoryRunsOutAreRefused) {
  size_t n = 0;
  for (const auto& v : manifestVectors()) {
    if (!restartsInStoredCoder(v)) continue;
    SCOPED_TRACE(v.encoding);
    ++n;
    const auto input = testing_support::readBytes(testing_support::fixturePath("ppmd/" + v.input));
    const auto stored = testing_support::readBytes(testing_support::fixturePath("ppmd/" + v.encoding));
    EXPECT_EQ(errorOf([&] { ppmd::compress(input.data(), input.size(), v.parameters); }), "PPM Compression error");
    EXPECT_EQ(errorOf([&] { ppmd::decompress(stored.data(), stored.size(), input.size()); }),
              "PPM Decompression error");
  }
  EXPECT_EQ(n, 2u);
  const auto input = testing_support::readBytes(testing_support::fixturePath("ppmd/mixed1m.bin"));
  const auto stored = testing_support::readBytes(testing_support::fixturePath("ppmd/mixed1m.L1.ppm"));
  std::vector<uint8_t> out;
  EXPECT_FALSE(compressBuffer(CompressionAlgorithm::Ppm, 1, input.data(), input.size(), out));
  EXPECT_FALSE(decompressBuffer(CompressionAlgorithm::Ppm, stored.data(), stored.size(), input.size(), out));
}

// Every stored PPM buffer of the fixtures, reproduced byte for byte from its
// input and decoded back. Disabled: the two buffers whose model memory runs
// out are refused (above) until the stored coder's restart points are
// reproduced (see the issue).
TEST(PpmVectors, DISABLED_EveryVectorEncodesAndDecodesExactly) {
  const auto vectors = manifestVectors();
  ASSERT_EQ(vectors.size(), 31u);
  for (const auto& v : vectors) expectExact(v);
}

TEST(PpmCoder, HeaderOfAnotherVariantOrTooShortIsRefused) {
  auto stored = testing_support::readBytes(testing_support::fixturePath("ppmd/onebyte.L1.ppm"));
  EXPECT_EQ(errorOf([&] { ppmd::decompress(stored.data(), 3, 1); }), "PPM Decompression error");
  stored[1] = 0x70;  // variant H
  EXPECT_EQ(errorOf([&] { ppmd::decompress(stored.data(), stored.size(), 1); }), "PPM Decompression error");
}

TEST(PpmCoder, RoundTripsEveryKindOfInputAtSeveralOrdersAndMemories) {
  std::vector<uint8_t> runs(20000, 'x');
  for (size_t i = 0; i < runs.size(); i += 997) runs[i] = uint8_t(i);
  std::vector<uint8_t> allBytes(256 * 3);
  for (size_t i = 0; i < allBytes.size(); ++i) allBytes[i] = uint8_t(i * 7);
  const std::vector<std::vector<uint8_t>> inputs = {
      {0x00}, {0xFF, 0x00, 0xFF}, transforms_test::sampleText(30000), transforms_test::randomBytes(20000, 7), runs,
      allBytes};
  const ppmd::Parameters parameters[] = {{1, 1}, {2, 2}, {4, 7}, {8, 25}, {16, 100}};
  for (const auto& p : parameters) {
    for (const auto& input : inputs) {
      SCOPED_TRACE("order " + std::to_string(p.order) + ", " + std::to_string(input.size()) + " bytes");
      const auto stored = ppmd::compress(input.data(), input.size(), p);
      ASSERT_GE(stored.size(), ppmd::kHeaderSize + 4);
      EXPECT_EQ(platform::loadU32(stored.data()), ppmd::headerWord(p));
      EXPECT_LE(stored.size(), input.size() + input.size() / 20 + 50);
      EXPECT_EQ(ppmd::decompress(stored.data(), stored.size(), input.size()), input);
    }
  }
  const auto text = transforms_test::sampleText(30000);
  EXPECT_LT(ppmd::compress(text.data(), text.size(), {4, 7}).size(), text.size() / 3);
}

// The model counts as nearly full from 80 % of its units in use, a text
// symbol counting as a unit; blocks given back to the free lists no longer
// count.
TEST(PpmCoder, ModelMemoryIsNearlyFullFrom80PercentInUse) {
  ppmd::ModelMemory memory;
  ASSERT_TRUE(memory.reserve(120000));
  memory.reset();
  const int total = 120000 / 12;
  std::vector<uint32_t> blocks;
  while (int(blocks.size()) * 4 < total * 79 / 100) {
    blocks.push_back(memory.allocUnits(4));
    ASSERT_NE(blocks.back(), 0u);
  }
  EXPECT_FALSE(memory.nearlyFull());
  for (int i = 0; i < total / 50; ++i) memory.putText('x');
  EXPECT_TRUE(memory.nearlyFull());
  for (size_t i = 0; i < blocks.size(); i += 2) memory.freeUnits(blocks[i], 4);
  EXPECT_FALSE(memory.nearlyFull());
  for (size_t i = 0; i < blocks.size(); i += 2) blocks[i] = memory.allocUnits(4);
  EXPECT_TRUE(memory.nearlyFull());
  memory.reset();
  EXPECT_FALSE(memory.nearlyFull());
}

// Noise of 64 byte values at order 2 fills the text area and restarts the
// model before 80 % of its memory is in use: the restart alone makes the coder
// refuse the data.
TEST(PpmCoder, DataThatRestartsTheModelIsRefused) {
  std::vector<uint8_t> noise(600000);
  uint32_t x = 12345;
  for (auto& b : noise) b = uint8_t((x = x * 1103515245u + 12345u) >> 26);
  const ppmd::Parameters parameters = ppmd::parametersForLevel(1);
  ppmd::ModelMemory memory;
  ASSERT_TRUE(memory.reserve(size_t(parameters.memoryMiB) << 20));
  ppmd::Model model(memory, parameters.order);
  std::vector<uint8_t> stream;
  ppmd::RangeEncoder out(stream, SIZE_MAX);
  size_t restartAfter = 0;
  for (size_t i = 0; i < noise.size() && restartAfter == 0; ++i) {
    ASSERT_FALSE(memory.nearlyFull()) << i;
    ASSERT_TRUE(model.encode(out, noise[i]));
    if (model.restarts() != 0) restartAfter = i + 1;
  }
  ASSERT_NE(restartAfter, 0u);
  const auto kept = ppmd::compress(noise.data(), restartAfter - 1, parameters);
  EXPECT_EQ(ppmd::decompress(kept.data(), kept.size(), restartAfter - 1),
            std::vector<uint8_t>(noise.begin(), noise.begin() + long(restartAfter - 1)));
  EXPECT_EQ(errorOf([&] { ppmd::compress(noise.data(), restartAfter, parameters); }), "PPM Compression error");
}

// Text that fills a small model memory many times over: the model restarts
// at the same points when encoding and decoding.
TEST(PpmCoder, ModelRestartsWhenItsMemoryRunsOut) {
  const auto mixed = testing_support::readBytes(testing_support::fixturePath("ppmd/mixed1m.bin"));
  const std::vector<uint8_t> input(mixed.begin(), mixed.begin() + 400000);
  ppmd::ModelMemory memory;
  ASSERT_TRUE(memory.reserve(1 << 20));
  std::vector<uint8_t> stream;
  ppmd::Model encoder(memory, 16);
  ppmd::RangeEncoder out(stream, SIZE_MAX);
  for (uint8_t b : input) ASSERT_TRUE(encoder.encode(out, b));
  ASSERT_TRUE(encoder.encode(out, -1));
  out.flush();
  EXPECT_GE(encoder.restarts(), 2);

  ppmd::Model decoder(memory, 16);
  ppmd::RangeDecoder in(stream.data(), stream.size());
  std::vector<uint8_t> decoded;
  for (int symbol = 0;;) {
    ASSERT_TRUE(decoder.decode(in, symbol));
    if (symbol < 0) break;
    decoded.push_back(uint8_t(symbol));
  }
  EXPECT_EQ(decoder.restarts(), encoder.restarts());
  EXPECT_TRUE(in.endedExactly());
  EXPECT_EQ(decoded, input);
}

// Cut, extended, bit-flipped and overlong streams never crash or read out of
// bounds; the ones that cannot be the asked data fail.
TEST(PpmCoder, DamagedStreamsFailCleanly) {
  const auto input = transforms_test::sampleText(3000);
  const auto stored = ppmd::compress(input.data(), input.size(), {5, 16});
  for (size_t cut : {size_t(4), size_t(5), size_t(8), stored.size() / 2, stored.size() - 1}) {
    EXPECT_EQ(errorOf([&] { ppmd::decompress(stored.data(), cut, input.size()); }), "PPM Decompression error") << cut;
  }
  auto longer = stored;
  longer.push_back(0);
  EXPECT_EQ(errorOf([&] { ppmd::decompress(longer.data(), longer.size(), input.size()); }), "PPM Decompression error");
  EXPECT_EQ(errorOf([&] { ppmd::decompress(stored.data(), stored.size(), input.size() - 1); }),
            "PPM Decompression error");
  for (size_t bit = 32; bit < stored.size() * 8; bit += 37) {
    auto damaged = stored;
    damaged[bit / 8] ^= uint8_t(1u << (bit % 8));
    try {
      const auto out = ppmd::decompress(damaged.data(), damaged.size(), input.size());
      EXPECT_LE(out.size(), input.size());
    } catch (const platform::Exception& e) {
      EXPECT_STREQ(e.what(), "PPM Decompression error");
    }
  }
}

// The model memory is shared by the whole process: calls from several threads
// with different memory sizes take turns and each gets its own result.
TEST(PpmCoder, CallsFromSeveralThreadsTakeTurns) {
  const auto text = transforms_test::sampleText(20000);
  const auto noise = transforms_test::randomBytes(8000, 3);
  const ppmd::Parameters small{3, 2}, large{6, 9};
  const auto textStored = ppmd::compress(text.data(), text.size(), small);
  const auto noiseStored = ppmd::compress(noise.data(), noise.size(), large);
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 3; ++i) {
        const bool odd = (t + i) % 2 != 0;
        const auto& input = odd ? text : noise;
        const auto stored = ppmd::compress(input.data(), input.size(), odd ? small : large);
        if (stored != (odd ? textStored : noiseStored)) ++failures;
        if (ppmd::decompress(stored.data(), stored.size(), input.size()) != input) ++failures;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(failures.load(), 0);
}
