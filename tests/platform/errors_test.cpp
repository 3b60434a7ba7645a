#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/float_text.h"
#include "platform/format.h"

using namespace platform;

TEST(VZExceptionMessage, CodeIsZeroPaddedWithoutArgumentsAndBlankPaddedWithThem) {
  EXPECT_EQ(EVZException(30051, "Invalid date").message(), "Invalid date - Native error: 30051");
  EXPECT_EQ(EVZException(12, "Cannot lock").message(), "Cannot lock - Native error: 00012");
  EXPECT_EQ(EVZException(12, "Table '%s' not found", {"Ventes"}).message(),
            "Table 'Ventes' not found - Native error:    12");
  EXPECT_EQ(EVZException(30445, "Cannot open database - incorrect password").message(),
            "Cannot open database - incorrect password - Native error: 30445");
  EXPECT_EQ(EVZException(123456, "x").nativeError(), 123456);
  EXPECT_EQ(EVZException(123456, "x").message(), "x - Native error: 123456");
}

TEST(VZExceptionMessage, ArgumentsThatDoNotFitGiveTheFormatAndANote) {
  // A number where a text is expected, and a list that is too short.
  EXPECT_EQ(EVZException(7, "Field '%s' not found", {42}).message(),
            "Field '%s' not found Arguments are invalid! - Native error:     7");
  EXPECT_EQ(EVZException(7, "%s and %s", {"one"}).message(),
            "%s and %s Arguments are invalid! - Native error:     7");
}

TEST(OtherExceptionMessages, FollowTheirRules) {
  EXPECT_EQ(EZAException(12, 3, "File \"a.zip\" not found", "Archiver").message(),
            "Archiver: File \"a.zip\" not found - Native error: 00012");
  EXPECT_EQ(EZAException(55, 30, "Unsupported compression method").message(),
            "Unsupported compression method - Native error: 00055");
  EXPECT_EQ(EVZEngineError(-12, "Record is locked").message(), "Vaza Engine Error # -12 Record is locked");
  EXPECT_EQ(EVariantTypeCastError("Null", "String").message(),
            "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(EDatabaseError("Table '%s' not found", {"Config"}).message(), "Table 'Config' not found");
}

TEST(Formatter, DirectivesAsTheToolkitWritesThem) {
  const FormatSettings& fs = invariantFormatSettings();
  struct Case {
    const char* format;
    FormatArgs args;
    const char* expected;
  } cases[] = {
      {"%d", {-42}, "-42"},
      {"%5d|%-5d|", {42, 42}, "   42|42   |"},
      {"%.5d", {-1}, "-00001"},
      {"%x", {255}, "FF"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%.4x", {10}, "000A"},
      {"%u", {-1}, "4294967295"},
      {"%d", {int64_t(-9223372036854775807LL - 1)}, "-9223372036854775808"},
      {"%s|%.2s|%6s", {"abc", "abc", "abc"}, "abc|ab|   abc"},
      {"%1:s %0:s %s", {"a", "b"}, "b a b"},
      {"%*d", {4, 7}, "   7"},
      {"%%%s%%", {"x"}, "%x%"},
      {"%f", {1234.5}, "1234.50"},
      {"%.0f", {2.5}, "3"},
      {"%.2f", {0.125}, "0.13"},
      {"%.2f", {1.005}, "1.00"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%g", {0.5}, "0.5"},
      {"%g", {1e20}, "1E020"},
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {-0.000123456}, "-1.23E-004"},
      {"%m", {FormatArg::currency(-12345)}, "-$1.23"},
      {"%s", {'c'}, "c"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatText(fs, c.format, c.args), c.expected) << c.format;
}

TEST(Formatter, RefusesWhatDoesNotFit) {
  const FormatSettings& fs = invariantFormatSettings();
  const std::pair<const char*, FormatArgs> bad[] = {
      {"%d", {"text"}}, {"%s", {1}}, {"%f", {1}}, {"%d %d", {1}}, {"%", {}}, {"%q", {1}}, {"%5", {1}},
      {"%*d", {"x", 1}}, {"%99999999d", {1}},
  };
  for (const auto& [format, args] : bad) {
    EXPECT_THROW(formatText(fs, format, args), EConvertError) << format;
  }
  try {
    formatText(fs, "%d", {});
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Format '%d' invalid or incompatible with argument");
  }
}

TEST(FloatText, GeneralFormLikeFloatToStr) {
  FormatSettings comma = invariantFormatSettings();
  comma.decimalSeparator = ',';
  const std::pair<double, const char*> cases[] = {
      {0, "0"},          {1.5, "1.5"},          {-2.25, "-2.25"},       {100, "100"},
      {0.1, "0.1"},      {1.0 / 3, "0.333333333333333"},               {1e15, "1E15"},
      {123456789012345.0, "123456789012345"}, {0.0001, "0.0001"},     {0.00001, "1E-5"},
      {1.5e-7, "1.5E-7"}, {2.0 / 3, "0.666666666666667"},
  };
  for (auto [v, text] : cases) EXPECT_EQ(floatToText(v, invariantFormatSettings()), text) << v;
  EXPECT_EQ(floatToText(1.5, comma), "1,5");
  EXPECT_EQ(currencyToText(15000, comma), "1,5");
  EXPECT_EQ(currencyToText(-12345678, invariantFormatSettings()), "-1234.5678");
  EXPECT_EQ(currencyToText(0, invariantFormatSettings()), "0");
  EXPECT_EQ(currencyToTextF(INT64_MIN, FloatFormat::Fixed, 4, invariantFormatSettings()),
            "-922337203685477.5808");
}
