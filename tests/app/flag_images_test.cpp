#include <gtest/gtest.h>

#include <set>

#include "app/flag_bitmap.h"
#include "platform/bytes.h"
#include "sql_statements.h"

// The decoding rule of the engine on known vectors, so that the flag checks
// below stand on a decoder that is right.
TEST(MimeToBinRule, KnownVectors) {
  using V = std::vector<uint8_t>;
  EXPECT_EQ(app_test::mimeToBin("QUJD"), (V{'A', 'B', 'C'}));
  EXPECT_EQ(app_test::mimeToBin("QU\r\nJD"), (V{'A', 'B', 'C', 0}));
  EXPECT_EQ(app_test::mimeToBin("QUI="), (V{'A', 'B'}));
}

TEST(FlagImages, AreSmallUncompressedBitmapsOfTheirOwn) {
  namespace fb = app::flag_bitmap;
  std::set<std::vector<uint8_t>> distinct;
  for (int i = 0; i < app::kFlagCount; ++i) {
    SCOPED_TRACE(i);
    const std::vector<uint8_t> bmp = app::flagBitmap(i);
    ASSERT_EQ(bmp.size(), 1006u);
    const uint8_t* p = bmp.data();
    EXPECT_EQ(p[0], 'B');
    EXPECT_EQ(p[1], 'M');
    EXPECT_EQ(platform::loadU32(p + 2), 1006u);
    EXPECT_EQ(platform::loadU32(p + 10), 54u);
    EXPECT_EQ(platform::loadU32(p + 14), 40u);
    EXPECT_EQ(platform::loadI32(p + 18), 22);
    EXPECT_EQ(platform::loadI32(p + 22), 14);
    EXPECT_EQ(platform::loadU16(p + 26), 1);
    EXPECT_EQ(platform::loadU16(p + 28), 24);
    EXPECT_EQ(platform::loadU32(p + 30), 0u);
    EXPECT_EQ(platform::loadI32(p + 38), 2835);
    EXPECT_EQ(platform::loadI32(p + 42), 2835);
    // Row padding bytes stay zero.
    for (int row = 0; row < 14; ++row) {
      EXPECT_EQ(p[fb::kPixelOffset + row * fb::kRowSize + 66], 0);
      EXPECT_EQ(p[fb::kPixelOffset + row * fb::kRowSize + 67], 0);
    }
    const std::string text = app::flagBase64Text(i);
    EXPECT_EQ(text.size(), 1346u);
    EXPECT_EQ(text.substr(text.size() - 2), "==");
    EXPECT_EQ(app_test::mimeToBin(text).size(), 1007u);
    distinct.insert(bmp);
  }
  EXPECT_EQ(distinct.size(), size_t(app::kFlagCount));
}
