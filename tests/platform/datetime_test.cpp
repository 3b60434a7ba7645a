#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/datetime.h"
#include "platform/errors.h"

using namespace platform;

TEST(Calendar, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(isLeapYear(2024));
  EXPECT_TRUE(isLeapYear(2000));
  EXPECT_FALSE(isLeapYear(1900));
  EXPECT_FALSE(isLeapYear(2023));
  EXPECT_EQ(daysInMonth(2024, 2), 29);
  EXPECT_EQ(daysInMonth(2023, 2), 28);
  EXPECT_EQ(daysInMonth(2023, 12), 31);
  EXPECT_EQ(daysInMonth(2023, 13), 0);
}

TEST(Calendar, DatesEncodeAndDecode) {
  struct Case {
    int y, m, d;
    double value;
    int weekDay;  // 1 = Sunday
  } cases[] = {
      {1899, 12, 30, 0, 7},       {1899, 12, 29, -1, 6},   {1900, 1, 1, 2, 2},
      {1, 1, 1, -693593, 2},      {9999, 12, 31, 2958465, 6}, {2024, 1, 15, 45306, 2},
      {2024, 2, 29, 45351, 5},    {2000, 3, 1, 36586, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(encodeDate(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
    int y = 0, m = 0, d = 0;
    decodeDate(c.value >= 0 ? c.value + 0.75 : c.value - 0.75, y, m, d);  // 18:00 that day
    EXPECT_EQ(y * 10000 + m * 100 + d, c.y * 10000 + c.m * 100 + c.d) << c.value;
    EXPECT_EQ(dayOfWeek(c.value), c.weekDay) << c.value;
  }
  // Every day of a leap year and of its neighbours goes round.
  for (double v = encodeDate(2023, 1, 1); v <= encodeDate(2025, 12, 31); v += 1) {
    int y = 0, m = 0, d = 0;
    decodeDate(v, y, m, d);
    EXPECT_EQ(encodeDate(y, m, d), v);
  }
}

TEST(Calendar, DatesAndTimesThatDoNotExist) {
  struct Case {
    int y, m, d;
  } dates[] = {{2023, 2, 29}, {2024, 2, 30}, {2024, 13, 1}, {2024, 0, 1}, {2024, 4, 31}, {0, 1, 1}, {10000, 1, 1}, {2024, 1, 0}};
  for (const Case& c : dates) {
    double v = 0;
    EXPECT_FALSE(tryEncodeDate(c.y, c.m, c.d, v)) << c.y << "-" << c.m << "-" << c.d;
  }
  try {
    encodeDate(2023, 2, 29);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to date encode");
  }
  double v = 0;
  EXPECT_FALSE(tryEncodeTime(24, 0, 0, 0, v));
  EXPECT_FALSE(tryEncodeTime(0, 60, 0, 0, v));
  EXPECT_FALSE(tryEncodeTime(0, 0, 60, 0, v));
  EXPECT_FALSE(tryEncodeTime(0, 0, 0, 1000, v));
  EXPECT_FALSE(tryEncodeTime(-1, 0, 0, 0, v));
  try {
    encodeTime(24, 0, 0, 0);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Invalid argument to time encode");
  }
}

TEST(Calendar, TimesOfDay) {
  EXPECT_EQ(encodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(encodeTime(6, 0, 0, 0), 0.25);
  struct Case {
    double value;
    int y, m, d, h, n, s, z;
  } cases[] = {
      {0.5, 1899, 12, 30, 12, 0, 0, 0},
      {-1.25, 1899, 12, 29, 6, 0, 0, 0},     // earlier days keep a positive time
      {-0.25, 1899, 12, 30, 6, 0, 0, 0},
      {45306 + (8.5 / 24), 2024, 1, 15, 8, 30, 0, 0},
      {45306 + 0.9999999999, 2024, 1, 16, 0, 0, 0, 0},  // rounds into the next day
      {45306 + 1234.4 / 86400000, 2024, 1, 15, 0, 0, 1, 234},
      {45306 + 1234.6 / 86400000, 2024, 1, 15, 0, 0, 1, 235},
  };
  for (const Case& c : cases) {
    int y, m, d, h, n, s, z;
    decodeDate(c.value, y, m, d);
    decodeTime(c.value, h, n, s, z);
    EXPECT_EQ(std::vector<int>({y, m, d, h, n, s, z}), std::vector<int>({c.y, c.m, c.d, c.h, c.n, c.s, c.z}))
        << c.value;
  }
  // Values no calendar can hold decode without faults.
  int y, m, d, h, n, s, z;
  for (const double wild : {double(NAN), double(INFINITY), -double(INFINITY), 1e300, -1e300}) {
    decodeDate(wild, y, m, d);
    decodeTime(wild, h, n, s, z);
    EXPECT_GE(m, 1);
    EXPECT_LE(m, 12);
    EXPECT_GE(dayOfWeek(wild), 1);
  }
}

TEST(Calendar, NowIsToday) {
  const double a = now();
  EXPECT_GT(a, encodeDate(2024, 1, 1));
  EXPECT_LT(a, encodeDate(2200, 1, 1));
  EXPECT_GE(now(), a);
}
