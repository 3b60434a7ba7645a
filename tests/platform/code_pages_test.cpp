#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <memory>

#include "platform/locale.h"

using namespace platform;

namespace {

// The UTF-16 unit the library's own converter gives for one byte.
char16_t icuDecode(const char* converterName, uint8_t byte) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UConverter, void (*)(UConverter*)> cnv(ucnv_open(converterName, &status), ucnv_close);
  EXPECT_TRUE(U_SUCCESS(status)) << converterName;
  const char in = char(byte);
  UChar out[4] = {};
  const int32_t n = ucnv_toUChars(cnv.get(), out, 4, &in, 1, &status);
  EXPECT_EQ(n, 1);
  return char16_t(out[0]);
}

}  // namespace

TEST(CodePages, EveryAnsiByteSurvivesUtf16AndUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += char(b);
  EXPECT_EQ(wideToAnsi(ansiToWide(all)), all);
  EXPECT_EQ(utf8ToAnsi(ansiToUtf8(all)), all);
  EXPECT_EQ(wideToUtf8(ansiToWide(all)), ansiToUtf8(all));
  EXPECT_EQ(utf8ToWide(ansiToUtf8(all)), ansiToWide(all));
}

TEST(CodePages, TablesAgreeWithAnIndependentConverter) {
  for (int b = 0x80; b < 0x100; ++b) {
    const std::u16string wide = ansiToWide(std::string(1, char(b)));
    EXPECT_EQ(wide[0], icuDecode("windows-1252", uint8_t(b))) << std::hex << b;
  }
  // OEM bytes whose character exists in the ANSI page land on it.
  for (int b = 0x80; b < 0x100; ++b) {
    const char16_t oemChar = icuDecode("ibm-850", uint8_t(b));
    const std::string ansi = oemToAnsi(std::string(1, char(b)));
    const std::string expected = wideToAnsi(std::u16string(1, oemChar));
    EXPECT_EQ(ansi, expected) << std::hex << b;
  }
}

TEST(CodePages, KnownCharacters) {
  EXPECT_EQ(oemToAnsi("caf\x82"), "caf\xE9");            // é
  EXPECT_EQ(oemToAnsi("\x80\x9C\xE1"), "\xC7\xA3\xDF");  // Ç £ ß
  EXPECT_EQ(oemToAnsi("a\xB3\xC4z"), "a??z");            // box drawing has no place
  EXPECT_EQ(utf8ToAnsi("\xE2\x82\xAC"), "\x80");         // €
  EXPECT_EQ(wideToAnsi(u"\u20AC\u0178"), "\x80\x9F");
  EXPECT_EQ(ansiToUtf8("Esp\xE8" "ce"), "Esp\xC3\xA8" "ce");
  EXPECT_EQ(ansiToWide("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
}

TEST(CodePages, CharactersWithoutAPlaceBecomeQuestionMarks) {
  struct Case {
    const char* utf8;
    const char* ansi;
  } cases[] = {
      {"\xC4\x80", "?"},                   // Ā: valid, not in the page
      {"\xF0\x9F\x98\x80!", "?!"},         // beyond the BMP: one character
      {"a\xC3", "a?"},                     // cut short
      {"\xE2\x82" "b", "?b"},              // cut short inside
      {"\xC0\xAF", "??"},                  // overlong
      {"\xED\xA0\x80", "???"},             // surrogate
      {"\xF4\x90\x80\x80", "????"},        // above U+10FFFF
      {"\xFF", "?"},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
  EXPECT_EQ(wideToAnsi(u"x\U0001F600y"), "x?y");
  EXPECT_EQ(wideToAnsi(std::u16string{u'a', char16_t(0xD800), u'b'}), "a?b");
  EXPECT_EQ(wideToUtf8(std::u16string{char16_t(0xDC00)}), "\xEF\xBF\xBD");
  EXPECT_EQ(utf8ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
}
