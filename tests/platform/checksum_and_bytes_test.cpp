#include <gtest/gtest.h>

#include <string>

#include "platform/bytes.h"
#include "platform/crc32.h"

using namespace platform;

TEST(Crc32, BothFormsOnKnownValues) {
  EXPECT_EQ(engineCrc32(0, "abc", 3), 0xCA6598D0u);
  EXPECT_EQ(crc32(0, "abc", 3), 0x352441C2u);
  EXPECT_EQ(crc32(0, "123456789", 9), 0xCBF43926u);
  EXPECT_EQ(crc32(0, "", 0), 0u);
  EXPECT_EQ(engineCrc32(0, "", 0), 0u);
  // Piecewise checking gives the same as one pass.
  std::string s = "The quick brown fox";
  EXPECT_EQ(crc32(crc32(0, s.data(), 4), s.data() + 4, s.size() - 4), crc32(0, s.data(), s.size()));
  EXPECT_EQ(engineCrc32(engineCrc32(0, s.data(), 4), s.data() + 4, s.size() - 4),
            engineCrc32(0, s.data(), s.size()));
}

TEST(Bytes, LittleEndianRoundTripsAndRangeTest) {
  uint8_t b[8];
  storeU32(b, 0x11223344);
  EXPECT_EQ(b[0], 0x44);
  EXPECT_EQ(b[3], 0x11);
  EXPECT_EQ(loadU32(b), 0x11223344u);
  storeI16(b, -2);
  EXPECT_EQ(loadU16(b), 0xFFFEu);
  EXPECT_EQ(loadI16(b), -2);
  storeF64(b, 1.5);
  EXPECT_EQ(loadU64(b), 0x3FF8000000000000ull);
  EXPECT_EQ(loadF64(b), 1.5);
  storeI64(b, INT64_MIN);
  EXPECT_EQ(loadI64(b), INT64_MIN);

  EXPECT_TRUE(rangeFits(0, 10, 10));
  EXPECT_TRUE(rangeFits(10, 0, 10));
  EXPECT_FALSE(rangeFits(11, 0, 10));
  EXPECT_FALSE(rangeFits(5, 6, 10));
  EXPECT_FALSE(rangeFits(UINT64_MAX, 2, 10));
  EXPECT_FALSE(rangeFits(2, UINT64_MAX, 10));
}
