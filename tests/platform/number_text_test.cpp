#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/errors.h"
#include "platform/float_text.h"
#include "platform/locale.h"

using namespace platform;

TEST(TextToInteger, Forms) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"42", true, 42},          {"  -17 ", true, -17},          {"+5", true, 5},
      {"$FF", true, 255},        {"0x1f", true, 31},             {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},   {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},  {"$100000000", false, 0},       {"", false, 0},
      {"-", false, 0},           {"$", false, 0},                {"12a", false, 0},
      {"1 2", false, 0},         {"1.0", false, 0},              {"1,000", false, 0},
  };
  for (const Case& c : cases) {
    int32_t v = 12345;
    EXPECT_EQ(tryTextToInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  int64_t big = 0;
  EXPECT_TRUE(tryTextToInt64("-9223372036854775808", big));
  EXPECT_EQ(big, INT64_MIN);
  EXPECT_TRUE(tryTextToInt64("$FFFFFFFFFFFFFFFF", big));
  EXPECT_EQ(big, -1);
  EXPECT_TRUE(tryTextToInt64("4294967296", big));
  EXPECT_EQ(big, 4294967296);
  EXPECT_FALSE(tryTextToInt64("9223372036854775808", big));
}

TEST(TextToInteger, RaisingFormsNameTheText) {
  try {
    textToInt("12x");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
  }
  EXPECT_THROW(textToInt64("99999999999999999999"), EConvertError);
  EXPECT_EQ(textToInt64(" 7 "), 7);
}

TEST(TextToFloat, DecimalSeparatorOfTheSettings) {
  FormatSettings en;  // "."
  FormatSettings fr;
  fr.decimalSeparator = ',';
  fr.thousandSeparator = '\xA0';
  struct Case {
    const char* text;
    const FormatSettings* fs;
    bool ok;
    double value;
  } cases[] = {
      {"1.5", &en, true, 1.5},       {"1,5", &fr, true, 1.5},       {"1,5", &en, false, 0},
      {"1.5", &fr, false, 0},        {" -2.25e3 ", &en, true, -2250}, {"5.", &en, true, 5},
      {".5", &en, true, 0.5},        {"1E-2", &en, true, 0.01},     {"+3", &en, true, 3},
      {"1\xA0" "000", &fr, false, 0}, {"1,000.5", &en, false, 0},   {"", &en, false, 0},
      {".", &en, false, 0},          {"1e", &en, false, 0},         {"e5", &en, false, 0},
      {"1e400", &en, false, 0},      {"1e-400", &en, true, 0},      {"0.1", &en, true, 0.1},
      {"5.6", &fr, false, 0},        {"5,7", &fr, true, 5.7},
  };
  for (const Case& c : cases) {
    double v = -1;
    EXPECT_EQ(tryTextToFloat(c.text, v, *c.fs), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  // What the number texts write reads back exactly.
  for (const double x : {1.0 / 3, -123456.789, 1e-300, 6.02214076e23, 5e-324}) {
    const std::string text = floatToTextF(x, FloatFormat::General, 17, 0, fr);
    EXPECT_EQ(textToFloat(text, fr), x) << text;
  }
  double special = 0;
  EXPECT_TRUE(tryTextToFloat("-INF", special, en));
  EXPECT_EQ(special, -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(tryTextToFloat("NAN", special, en));
  EXPECT_TRUE(std::isnan(special));
  try {
    textToFloat("5.6", fr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'5.6' is not a valid floating point value");
  }
}

TEST(TextToCurrency, ExactUnitsRoundedHalfAwayFromZero) {
  FormatSettings en;
  struct Case {
    const char* text;
    bool ok;
    int64_t units;
  } cases[] = {
      {"5.7", true, 57000},
      {"0.00005", true, 1},
      {"-0.00005", true, -1},
      {"0.000049999", true, 0},
      {"1.23456", true, 12346},
      {"922337203685477.5807", true, INT64_MAX},
      {"-922337203685477.5808", true, INT64_MIN},
      {"922337203685477.5808", false, 0},
      {"1e3", true, 10000000},
      {"1e-9", true, 0},
      {"1e20", false, 0},
      {"INF", false, 0},
      {"abc", false, 0},
  };
  for (const Case& c : cases) {
    int64_t v = -1;
    EXPECT_EQ(tryTextToCurrency(c.text, v, en), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.units) << c.text;
    }
  }
  EXPECT_THROW(textToCurrency("5,7", en), EConvertError);
}

TEST(TextToNumber, DefaultsFollowTheUserLocale) {
  setUserLocale("fr_FR");
  EXPECT_EQ(textToCurrency("5,7"), 57000);
  EXPECT_THROW(textToCurrency("5.7"), EConvertError);
  EXPECT_EQ(floatToText(1.5, formatSettings()), "1,5");
  EXPECT_EQ(floatToTextF(1234567.891, FloatFormat::Number, 15, 2, formatSettings()), "1\xA0" "234\xA0" "567,89");
  EXPECT_EQ(currencyToTextF(-12345000, FloatFormat::Currency, 2, formatSettings()), "-1\xA0" "234,50 \x80");
  setUserLocale("en_US");
  EXPECT_EQ(textToFloat("1.5"), 1.5);
  EXPECT_EQ(floatToTextF(1234567.891, FloatFormat::Number, 15, 2, formatSettings()), "1,234,567.89");
  EXPECT_EQ(currencyToTextF(-12345000, FloatFormat::Currency, 2, formatSettings()), "-$1,234.50");
}
