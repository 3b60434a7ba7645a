#include "dbengine/storage/date_formater.h"

#include <gtest/gtest.h>

#include "dbengine/storage/day_numbers.h"
#include "platform/errors.h"
#include "platform/locale.h"
#include "value_test_support.h"

namespace {

using namespace vz;
namespace dt = declared_type;
using K = DateFormatKind;

double at(int y, int m, int d, int h = 0, int n = 0, int s = 0) {
  return dateTimeNumberOf(dayNumberOf(y, m, d), ((h * 60 + n) * 60 + s) * 1000);
}

std::string describe(const TDateFormater& f) {
  std::string s;
  for (const auto& t : f.tokens()) s += std::to_string(int(t.kind)) + ":" + t.text + "|";
  return s;
}

TEST(DateFormater, CuttingPatterns) {
  const std::pair<const char*, const char*> cases[] = {
      {"hh24:nn", "16:hh24|26::|21:nn|"},
      {"MONTH", "4:MONTH|"},                      // the longest token, not MON + "TH"
      {"Mon", "5:Mon|"},
      {"YYYYMMDD", "0:YYYY|6:MM|10:DD|"},
      {"DD 'de' MM", "10:DD|26: |26:de|26: |6:MM|"},
      {"\"Q\"Q", "26:Q|3:Q|"},                    // quoted text is never a token
      {"'open", "26:open|"},
      {"Date", "14:D|26:ate|"},
      {"HH12:NN AMPM", "15:HH12|26::|21:NN|26: |25:AMPM|"},
      {"DDDY", "9:DDD|26:Y|"},
  };
  for (auto [pattern, expected] : cases) EXPECT_EQ(describe(TDateFormater(pattern)), expected) << pattern;
}

TEST(DateFormater, Reading) {
  struct Case {
    const char* pattern;
    const char* text;
    double expected;
  } cases[] = {
      {"DD.MM.YY", "05.03.29", at(2029, 3, 5)},
      {"DD.MM.YY", "05.03.30", at(1930, 3, 5)},
      {"HH12:NN AMPM", "01:05 PM", at(1899, 12, 30, 13, 5)},
      {"HH12:NN AMPM", "11:05 am", at(1899, 12, 30, 11, 5)},
      {"HH24:NN", "08:30", at(1899, 12, 30, 8, 30)},          // a time on 1899-12-30
      {"YYYY-MM-DD HH24:NN:SS", "2024-01-15 08:30:15", at(2024, 1, 15, 8, 30, 15)},
      {"D/M/YYYY", "5/3/2024", at(2024, 3, 5)},
      {"D/M/YYYY", "15/12/2024", at(2024, 12, 15)},
      {"H:N:S", "8:5:9", at(1899, 12, 30, 8, 5, 9)},
      {"DAY DD/MM/YYYY", "xyz 15/01/2024", at(2024, 1, 15)},  // a name: passed over by the token's width
      {"YYYY Q DD", "2024 3 01", at(2024, 7, 1)},              // the quarter's first month
      {"MM/YYYY", "03/2024", 0.0},                            // no day: 1899-12-30
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(TDateFormater(c.pattern).read(c.text), c.expected) << c.text;
}

TEST(DateFormater, ReadingFailures) {
  // The platform's conversion error, not an engine error.
  const std::pair<const char*, const char*> bad[] = {
      {"HH12:NN AMPM", "12:00 PM"},   // hour 24
      {"DD.MM.YYYY", "31.02.2024"},
      {"DD.MM.YYYY", "05.13.2024"},
      {"DD.MM.YYYY", "aa.03.2024"},
      {"DD.MM.YYYY", "05.03"},        // the year's characters are missing
      {"DD.MM.YYYY", "5.3.2024"},
      {"HH24:NN", "24:00"},
  };
  for (auto [pattern, text] : bad) {
    TDateFormater f(pattern);
    EXPECT_THROW(f.read(text), platform::EConvertError) << text;
  }
  values_test::expectVZError([] { TDateFormater("HH:NN AMPM").read("01:05 XM"); }, 30129,
                             "AM/PM word expected, but 'XM' found - Native error: 30129");
}

TEST(DateFormater, Writing) {
  platform::setUserLocale("en_US");
  const std::pair<const char*, const char*> cases[] = {
      {"HH12:NN AMPM", "01:05 PM"}, {"HH24:NN:SS", "13:05:09"}, {"H:N:S", "1:5:9"},  {"H24", "13"},
      {"DD.MM.YYYY", "15.07.2024"}, {"D/M/YY", "15/7/24"},      {"RM", "VII"},       {"Q", "3"},
      {"DY", "197"},                {"DW", "1"},                {"'at' HH", "at 01"}, {"YEAR", "2024"},
  };
  const double when = at(2024, 7, 15, 13, 5, 9);  // a Monday
  for (auto [pattern, expected] : cases) EXPECT_EQ(TDateFormater(pattern).write(when), expected) << pattern;
  EXPECT_EQ(TDateFormater("DY").write(at(2024, 12, 31)), "366");
  EXPECT_EQ(TDateFormater("DW").write(at(2024, 1, 14)), "7");
  EXPECT_EQ(TDateFormater("HH12 AMPM").write(at(2024, 1, 1, 12)), "00 PM");
  // 999.6 ms before midnight round up into the next day.
  EXPECT_EQ(TDateFormater("DD HH24:NN").write(at(2024, 1, 1, 23, 59, 59) + 999.6 / 86400000), "02 00:00");
  // Writing and reading back give the same moment.
  const TDateFormater round("YYYY-MM-DD HH24:NN:SS");
  EXPECT_DOUBLE_EQ(round.read(round.write(when)), when);
  const TDateFormater twelve("HH12:NN AMPM");
  EXPECT_DOUBLE_EQ(twelve.read(twelve.write(at(1899, 12, 30, 13, 5))), at(1899, 12, 30, 13, 5));
}

TEST(DateFormater, NamesFollowTheLocale) {
  struct Case {
    const char* locale;
    const char* pattern;
    double when;
    const char* expected;
  } cases[] = {
      {"en_US", "DAY DD MONTH YYYY", at(2024, 7, 15), "Monday 15 July 2024"},
      {"en_US", "DDD MON", at(2024, 7, 15), "Mon Jul"},
      {"fr_FR", "DAY DD MONTH YYYY", at(2024, 7, 15), "lundi 15 juillet 2024"},
      {"fr_FR", "MONTH", at(2024, 2, 1), "f\xE9vrier"},  // Windows-1252
  };
  for (const Case& c : cases) {
    platform::setUserLocale(c.locale);
    EXPECT_EQ(TDateFormater(c.pattern).write(c.when), c.expected) << c.locale << " " << c.pattern;
  }
  platform::setUserLocale("en_US");
}

TEST(DateFormater, ResultTypeAndLongestText) {
  const std::tuple<const char*, DeclaredType, int32_t> cases[] = {
      {"HH24:NN", dt::Time, 5},          {"DD/MM/YYYY", dt::Date, 10},
      {"YYYY HH24", dt::DateTime, 7},    {"'literal only'", dt::DateTime, 12},
      {"DD.MM.YYYY", dt::Date, 10},      {"MONTH DAY", dt::Date, 22},
      {"AMPM", dt::Time, 2},             {"RM DY DW Q", dt::Date, 13},
  };
  for (auto [pattern, type, longest] : cases) {
    const TDateFormater f(pattern);
    EXPECT_EQ(f.resultType(), type) << pattern;
    EXPECT_EQ(f.longestText(), longest) << pattern;
  }
}

TEST(DateFormater, UnknownTokenKindIsAPlainError) {
  const TDateFormater f(std::vector<TDateFormatToken>{{DateFormatKind(27), "?"}});
  for (auto call : {+[](const TDateFormater& x) { (void)x.write(0); },
                    +[](const TDateFormater& x) { (void)x.read("?"); },
                    +[](const TDateFormater& x) { (void)x.longestText(); }}) {
    try {
      call(f);
      ADD_FAILURE() << "no error";
    } catch (const platform::EVZException&) {
      ADD_FAILURE() << "an engine error";
    } catch (const platform::Exception& e) {
      EXPECT_STREQ(e.what(), "Unknown DateFormatType");
    }
  }
}

}  // namespace
