#include "dbengine/storage/day_numbers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace vz;

TEST(DayNumbers, CalendarDatesBothWays) {
  struct Case {
    int y, m, d;
    int32_t day;
  } cases[] = {{1, 1, 1, 1},          {1, 12, 31, 365},         {4, 3, 1, 1156},
               {1899, 12, 30, 693594}, {1900, 3, 1, 693655},    {2000, 2, 29, 730179},
               {2024, 1, 15, 738900},  {2024, 12, 31, 739251}, {9999, 12, 31, 3652059}};
  for (const Case& c : cases) {
    EXPECT_EQ(dayNumberOf(c.y, c.m, c.d), c.day) << c.y << "-" << c.m << "-" << c.d;
    int y, m, d;
    decodeDayNumber(c.day, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.day;
  }
  // Every 97th day of the whole range goes round the calendar unchanged.
  for (int32_t day = 1; day <= kLastDayNumber; day += 97) {
    int y, m, d;
    decodeDayNumber(day, y, m, d);
    ASSERT_TRUE(isValidDate(y, m, d)) << day;
    ASSERT_EQ(dayNumberOf(y, m, d), day);
  }
  EXPECT_FALSE(isValidDate(2023, 2, 29));
  EXPECT_FALSE(isValidDate(1900, 2, 29));
  EXPECT_TRUE(isValidDate(2000, 2, 29));
  EXPECT_FALSE(isValidDate(0, 1, 1));
  EXPECT_FALSE(isValidDate(2024, 13, 1));
}

TEST(DayNumbers, WeekdayAndDayOfYear) {
  EXPECT_EQ(dayOfWeek(1), 1);          // 0001-01-01, a Monday
  EXPECT_EQ(dayOfWeek(738900), 1);     // 2024-01-15, a Monday
  EXPECT_EQ(dayOfWeek(738906), 7);     // the Sunday after
  EXPECT_EQ(dayOfYear(739251), 366);   // 2024-12-31
  EXPECT_EQ(dayOfYear(738900), 15);
}

TEST(DayNumbers, DateTimeNumbers) {
  struct Case {
    double x;
    int32_t day, ms;
  } cases[] = {
      {0.0, 693594, 0},
      {45306.5, 738900, 43200000},
      {45306.354166666664, 738900, 30600000},
      {2.5 / 86400000, 693594, 2},   // 2.5 ms: halves go to even
      {3.5 / 86400000, 693594, 4},
      {0.5 / 86400000, 693594, 0},
      {0.99999999999, 693595, 0},    // rounds up to a whole day: carried
      {-1.25, 693593, -21600000},    // truncation toward zero
  };
  for (const Case& c : cases) {
    DayAndTime dt;
    ASSERT_TRUE(tryDayAndTimeFromDateTimeNumber(c.x, dt)) << c.x;
    EXPECT_EQ(dt.day, c.day) << c.x;
    EXPECT_EQ(dt.milliseconds, c.ms) << c.x;
  }
  DayAndTime dt;
  EXPECT_FALSE(tryDayAndTimeFromDateTimeNumber(std::nan(""), dt));
  EXPECT_FALSE(tryDayAndTimeFromDateTimeNumber(1e12, dt));
  EXPECT_DOUBLE_EQ(dateTimeNumberOf(738900, 43200000), 45306.5);
  EXPECT_DOUBLE_EQ(dateTimeNumberOf(693594, 0), 0.0);
}

}  // namespace
