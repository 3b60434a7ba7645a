#include <gtest/gtest.h>

#include "hex.h"
#include "recordstore/check_text.h"
#include "recordstore/sha0.h"

namespace {

TEST(Sha0, KnownAnswers) {
  EXPECT_EQ(toHex(rec::Sha0::digest("abc")), "0164b8a914cd2a5e74c4f7ff082c4d97f1edf880");
  EXPECT_EQ(toHex(rec::Sha0::digest("")), "f96cea198ad1dd5617ac084a3d92c6107708c0ef");
  EXPECT_EQ(toHex(rec::Sha0::digest("sertu")), "0e5ba80dcf9713aa22e4e67a987aedf6fd507ae0");
  // The two-block message of the standard's examples, fed in uneven pieces.
  std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  rec::Sha0 h;
  for (size_t i = 0; i < twoBlocks.size(); i += 7) h.update(twoBlocks.data() + i, std::min<size_t>(7, twoBlocks.size() - i));
  EXPECT_EQ(toHex(h.finish()), "d2516ee1acfa5baf33dfc1c471e438449ef134c8");
}

TEST(CheckText, DropsTrailingZeroUnitsOfEachGroup) {
  struct Case {
    const char* hex;
    const char* text;
  } cases[] = {
      {"", ""},
      {"414243", "QUJD"},      // a full group, no padding
      {"410000", "QQ"},        // 0x41 0x00 0x00: two characters, not four
      {"000000", ""},          // a zero group gives nothing
      {"414200", "QUI"},       // one trailing zero unit dropped
      {"41", "QQ=="},          // one byte left: "=="
      {"4142", "QUI="},        // two bytes left: "="
      {"4142430000", "QUJD="}, // a last 2-byte group of zeros adds nothing but "="
      {"7ae0", "eu="},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = fromHex(c.hex);
    EXPECT_EQ(rec::checkTextEncode(bytes.data(), bytes.size()), c.text) << c.hex;
  }
}

TEST(CheckText, OfThePassword) {
  // Standard base64 would end in "QeuA=".
  EXPECT_EQ(rec::passwordCheckText("sertu"), "DluoDc+XE6oi5OZ6mHrt9v1Qeu=");
}

}  // namespace
