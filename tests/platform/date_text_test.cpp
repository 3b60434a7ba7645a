#include <gtest/gtest.h>

#include <cstdio>

#include "platform/datetime.h"
#include "platform/locale.h"

using namespace platform;

namespace {

const double kMonday = encodeDate(2024, 1, 15) + encodeTime(8, 5, 3, 7);
const double kEvening = encodeDate(2024, 12, 31) + encodeTime(23, 45, 0, 0);

}  // namespace

TEST(FormatDateTime, PatternLetters) {
  setUserLocale("en_US");
  const FormatSettings& fs = formatSettings();
  struct Case {
    const char* pattern;
    double value;
    const char* text;
  } cases[] = {
      {"d dd ddd dddd", kMonday, "15 15 Mon Monday"},
      {"m mm mmm mmmm", kMonday, "1 01 Jan January"},
      {"yy yyyy y", kMonday, "24 2024 24"},
      {"h:n:s.z hh:nn:ss.zzz", kMonday, "8:5:3.7 08:05:03.007"},
      {"hh:mm", kMonday, "08:05"},               // m after h is the minute
      {"h:mm am/pm", kEvening, "11:45 pm"},
      {"h:mm AM/PM", kMonday, "8:05 AM"},
      {"h a/p", kEvening, "11 p"},
      {"hh ampm", kEvening, "11 PM"},
      {"h 'o''clock' d mmmm", kEvening, "23 oclock 31 December"},
      {"hh'h'mm", kEvening, "23h45"},
      {"mm/dd hh:mm", kEvening, "12/31 23:45"},
      {"\"yyyy\" yyyy", kMonday, "yyyy 2024"},
      {"ddddd", kMonday, "1/15/2024"},
      {"dddddd", kMonday, "Monday, January 15, 2024"},
      {"t | tt", kEvening, "11:45 PM | 11:45:00 PM"},
      {"c", kMonday, "1/15/2024 8:05:03 AM"},
      {"c", encodeDate(2024, 1, 15), "1/15/2024"},
      {"", encodeDate(2024, 1, 15), "1/15/2024"},
      {"hh", encodeDate(2024, 1, 15), "00"},
      {"h ampm", encodeDate(2024, 1, 15), "12 AM"},
      {"dd/mm/yyyy", -1.25, "29/12/1899"},
      {"yyyy-mm-dd", encodeDate(1, 1, 1), "0001-01-01"},
      {"yyyy-mm-dd", encodeDate(9999, 12, 31), "9999-12-31"},
  };
  for (const Case& c : cases) EXPECT_EQ(formatDateTime(c.pattern, c.value, fs), c.text) << c.pattern;
}

TEST(FormatDateTime, SettingsFormsRecurseOnlySoDeep) {
  FormatSettings fs;
  fs.shortDateFormat = "c ddddd yyyy";  // refers to itself
  EXPECT_EQ(formatDateTime("ddddd", encodeDate(2024, 1, 15), fs), "  2024");
}

TEST(DateTimeTexts, UnitedStatesAndFrance) {
  setUserLocale("en_US");
  EXPECT_EQ(dateToText(kMonday), "1/15/2024");
  EXPECT_EQ(timeToText(kMonday), "8:05:03 AM");
  EXPECT_EQ(dateTimeToText(kEvening), "12/31/2024 11:45:00 PM");
  EXPECT_EQ(formatDateTime("dddd d mmmm", kMonday), "Monday 15 January");
  setUserLocale("fr_FR");
  EXPECT_EQ(dateToText(kMonday), "15/01/2024");
  EXPECT_EQ(timeToText(kMonday), "08:05:03");
  EXPECT_EQ(dateTimeToText(kEvening), "31/12/2024 23:45:00");
  EXPECT_EQ(dateTimeToText(encodeDate(2024, 8, 1)), "01/08/2024");
  EXPECT_EQ(formatDateTime("dddddd", encodeDate(2024, 8, 1)), "jeudi 1 ao\xFBt 2024");
  EXPECT_EQ(formatDateTime("ddd d mmm", encodeDate(2024, 2, 4)), "dim. 4 f\xE9v" "r.");
}

TEST(TextToDate, ByTheShortDateOrder) {
  int year, month, day;
  decodeDate(now(), year, month, day);
  FormatSettings us;  // m/d order
  us.shortDateFormat = "m/d/yyyy";
  FormatSettings fr;
  fr.shortDateFormat = "dd/mm/yyyy";
  FormatSettings de;
  de.shortDateFormat = "dd/mm/yyyy";
  de.dateSeparator = '.';
  FormatSettings iso;
  iso.shortDateFormat = "yyyy/mm/dd";
  iso.dateSeparator = '-';
  struct Case {
    const char* text;
    const FormatSettings* fs;
    double expected;  // -1: refused
  } cases[] = {
      {"1/15/2024", &us, encodeDate(2024, 1, 15)},
      {" 1 / 15 / 2024 ", &us, encodeDate(2024, 1, 15)},
      {"15/01/2024", &fr, encodeDate(2024, 1, 15)},
      {"15/1/2024", &us, -1},
      {"15.01.2024", &de, encodeDate(2024, 1, 15)},
      {"15/01/2024", &de, -1},
      {"2024-1-15", &iso, encodeDate(2024, 1, 15)},
      {"2024/01/15", &fr, encodeDate(2024, 1, 15)},  // a year leads
      {"29/02/2024", &fr, encodeDate(2024, 2, 29)},
      {"29/02/2023", &fr, -1},
      {"31/04/2024", &fr, -1},
      {"15/01", &fr, encodeDate(year, 1, 15)},          // the current year
      {"1/15", &us, encodeDate(year, 1, 15)},
      {"15/01/2024 x", &fr, -1},
      {"15/01/", &fr, -1},
      {"", &fr, -1},
      {"15/01/12345", &fr, -1},
  };
  for (const Case& c : cases) {
    double v = -1;
    const bool ok = tryTextToDate(c.text, v, *c.fs);
    EXPECT_EQ(ok, c.expected != -1) << c.text;
    if (ok) {
      EXPECT_EQ(v, c.expected) << c.text;
    }
  }
}

TEST(TextToDate, TwoDigitYearsByTheCenturyWindow) {
  int year, month, day;
  decodeDate(now(), year, month, day);
  FormatSettings fs;
  fs.shortDateFormat = "dd/mm/yy";
  const int base = year - fs.twoDigitYearCenturyWindow;  // the window starts here
  for (const int yy : {0, 29, 30, 99, base % 100, (base + 99) % 100}) {
    char text[16];
    std::snprintf(text, sizeof text, "01/06/%02d", yy);
    double v = 0;
    ASSERT_TRUE(tryTextToDate(text, v, fs)) << text;
    int y, m, d;
    decodeDate(v, y, m, d);
    EXPECT_EQ(y % 100, yy) << text;
    EXPECT_GE(y, base) << text;
    EXPECT_LT(y, base + 100) << text;
  }
  double v = 0;
  ASSERT_TRUE(tryTextToDate("01/06/0024", v, fs));  // four digits are the year as written
  EXPECT_EQ(v, encodeDate(24, 6, 1));
}

TEST(TextToTime, HoursMinutesSecondsAndAmPm) {
  FormatSettings fs;
  FormatSettings fr;
  fr.decimalSeparator = ',';
  fr.timeAMString = "";
  fr.timePMString = "";
  struct Case {
    const char* text;
    const FormatSettings* fs;
    double expected;  // -1: refused
  } cases[] = {
      {"8", &fs, encodeTime(8, 0, 0, 0)},
      {"8:05", &fs, encodeTime(8, 5, 0, 0)},
      {" 08:05:03 ", &fs, encodeTime(8, 5, 3, 0)},
      {"08:05:03.250", &fs, encodeTime(8, 5, 3, 250)},
      {"08:05:03,250", &fr, encodeTime(8, 5, 3, 250)},
      {"11:45 PM", &fs, encodeTime(23, 45, 0, 0)},
      {"12:10 am", &fs, encodeTime(0, 10, 0, 0)},
      {"12:10 PM", &fs, encodeTime(12, 10, 0, 0)},
      {"PM 3:00", &fs, encodeTime(15, 0, 0, 0)},
      {"3:00 PM", &fr, encodeTime(15, 0, 0, 0)},  // the English words always do
      {"13:00 PM", &fs, -1},
      {"0:30 AM", &fs, -1},
      {"24:00", &fs, -1},
      {"10:60", &fs, -1},
      {"10:", &fs, -1},
      {"10:30 x", &fs, -1},
      {"", &fs, -1},
  };
  for (const Case& c : cases) {
    double v = -1;
    const bool ok = tryTextToTime(c.text, v, *c.fs);
    EXPECT_EQ(ok, c.expected != -1) << c.text;
    if (ok) {
      EXPECT_EQ(v, c.expected) << c.text;
    }
  }
}

TEST(TextToDateTime, DateThenTimeOrEitherAlone) {
  setUserLocale("fr_FR");
  double v = 0;
  ASSERT_TRUE(tryTextToDateTime("15/01/2024 08:30:00", v));
  EXPECT_EQ(v, encodeDate(2024, 1, 15) + encodeTime(8, 30, 0, 0));
  ASSERT_TRUE(tryTextToDateTime("15/01/2024", v));
  EXPECT_EQ(v, encodeDate(2024, 1, 15));
  ASSERT_TRUE(tryTextToDateTime("08:30", v));
  EXPECT_EQ(v, encodeTime(8, 30, 0, 0));
  ASSERT_TRUE(tryTextToDateTime("29/12/1899 06:00", v));
  EXPECT_EQ(v, -1.25);  // earlier days keep a positive time
  EXPECT_FALSE(tryTextToDateTime("15/01/2024 25:00", v));
  EXPECT_FALSE(tryTextToDateTime("15/01/2024 08:30 z", v));
  // What the texts write reads back.
  for (const char* locale : {"fr_FR", "en_US", "de_DE"}) {
    setUserLocale(locale);
    for (const double x : {kMonday - encodeTime(0, 0, 0, 7), kEvening, encodeDate(1, 1, 1), encodeDate(9999, 12, 31)}) {
      ASSERT_TRUE(tryTextToDateTime(dateTimeToText(x), v)) << locale << " " << dateTimeToText(x);
      EXPECT_EQ(v, x) << locale << " " << dateTimeToText(x);
    }
  }
}
