#include <gtest/gtest.h>

#include "platform/locale.h"

using namespace platform;

TEST(LocaleForms, UnitedStates) {
  setUserLocale("en_US");
  const FormatSettings& fs = formatSettings();
  EXPECT_EQ(fs.decimalSeparator, '.');
  EXPECT_EQ(fs.thousandSeparator, ',');
  EXPECT_EQ(fs.dateSeparator, '/');
  EXPECT_EQ(fs.timeSeparator, ':');
  EXPECT_EQ(fs.shortDateFormat, "m/d/yyyy");
  EXPECT_EQ(fs.longDateFormat, "dddd, mmmm d, yyyy");
  EXPECT_EQ(fs.shortTimeFormat, "h:nn AMPM");
  EXPECT_EQ(fs.longTimeFormat, "h:nn:ss AMPM");
  EXPECT_EQ(fs.timeAMString, "AM");
  EXPECT_EQ(fs.timePMString, "PM");
  EXPECT_EQ(fs.currencyString, "$");
  EXPECT_EQ(fs.currencyFormat, 0);  // $1
  EXPECT_EQ(fs.negCurrFormat, 1);   // -$1
  EXPECT_EQ(fs.currencyDecimals, 2);
  EXPECT_EQ(fs.shortMonthNames[0], "Jan");
  EXPECT_EQ(fs.longDayNames[0], "Sunday");
}

TEST(LocaleForms, France) {
  setUserLocale("fr_FR");
  const FormatSettings& fs = formatSettings();
  EXPECT_EQ(fs.decimalSeparator, ',');
  EXPECT_EQ(fs.thousandSeparator, '\xA0');  // a narrow no-break space has no place in the code page
  EXPECT_EQ(fs.dateSeparator, '/');
  EXPECT_EQ(fs.timeSeparator, ':');
  EXPECT_EQ(fs.shortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(fs.longDateFormat, "dddd d mmmm yyyy");
  EXPECT_EQ(fs.shortTimeFormat, "hh:nn");
  EXPECT_EQ(fs.longTimeFormat, "hh:nn:ss");
  EXPECT_EQ(fs.currencyString, "\x80");  // €
  EXPECT_EQ(fs.currencyFormat, 3);       // 1 €
  EXPECT_EQ(fs.negCurrFormat, 8);        // -1 €
  EXPECT_EQ(fs.shortMonthNames[1], "f\xE9v" "r.");
  EXPECT_EQ(fs.longMonthNames[7], "ao\xFBt");
  EXPECT_EQ(fs.shortDayNames[1], "lun.");
  EXPECT_EQ(fs.longDayNames[6], "samedi");
}

TEST(LocaleForms, SeparatorsAndLiteralsOfOtherLocales) {
  setUserLocale("de_DE");
  EXPECT_EQ(formatSettings().dateSeparator, '.');
  EXPECT_EQ(formatSettings().thousandSeparator, '.');
  EXPECT_EQ(formatSettings().shortDateFormat, "dd/mm/yyyy");
  EXPECT_EQ(formatSettings().longDateFormat, "dddd, d. mmmm yyyy");
  setUserLocale("fi_FI");
  EXPECT_EQ(formatSettings().timeSeparator, '.');
  EXPECT_EQ(formatSettings().longTimeFormat, "h:nn:ss");
  setUserLocale("de_CH");
  EXPECT_EQ(formatSettings().thousandSeparator, '\x92');  // ’
  // Literal text without a place in the code page still parts the fields.
  setUserLocale("ja_JP");
  EXPECT_EQ(formatSettings().shortDateFormat, "yyyy/mm/dd");
  EXPECT_EQ(formatSettings().longDateFormat, "yyyy m d dddd");
}
