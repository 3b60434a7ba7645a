// Casting values between storage types, and the text forms the casts use.
#include <gtest/gtest.h>

#include <cmath>

#include "dbengine/storage/value_text_forms.h"
#include "dbengine/storage/variant_casts.h"
#include "dbengine/storage/vz_variant.h"
#include "platform/locale.h"
#include "value_test_support.h"

namespace {

using namespace vz;
namespace st = storage_type;
namespace vt = values_test;
using vt::expectVZError;

class Casts : public ::testing::Test {
 protected:
  void SetUp() override { platform::setUserLocale("en_US"); }
  void TearDown() override { platform::setUserLocale("en_US"); }

  static TVZVariant cast(TVZVariant v, StorageType to) {
    v.cast(to);
    EXPECT_EQ(v.type(), to);
    return v;
  }
};

// Which conversions exist, one row per source type, one column per target
// 1 to 24 ("y": listed).
const char* const kCastMatrix[24] = {
    //           1   5      12 15 18  21  24
    /* 1 CHAR */ "yyyyyyyyyyyyyyyyyy..yy..",
    /* 2 WCHR */ "yyyyyyyyyyyyyyyyyy..yy..",
    /* 3 STR  */ "yyyyyyyyyyyyyyyyyy..yy..",
    /* 4 WSTR */ "yyyyyyyyyyyyyyyyyy..yy..",
    /* 5 SINT */ "yyyyyyyyyyyyyyyyy...yy..",
    /* 6 SMAL */ "yyyyyyyyyyyyyyyyy...yy..",
    /* 7 INT  */ "yyyyyyyyyyyyyyyyy...yy..",
    /* 8 LINT */ "yyyyyyyyyyyyyyyyy...yy..",
    /* 9 BYTE */ "yyyyyyyyyyyyyyyyy...yy..",
    /*10 WORD */ "yyyyyyyyyyyyyyyyy...yy..",
    /*11 CARD */ "yyyyyyyyyyyyyyyyy...yy..",
    /*12 SING */ "yyyyyyyyyyyyyyyyy...yy..",
    /*13 FLOA */ "yyyyyyyyyyyyyyyyy...yy..",
    /*14 EXT  */ "yyyyyyyyyyyyyyyyy...yy..",
    /*15 DATE */ "yyyyyyyyyyyyyyyyy...yy..",
    /*16 TIME */ "yyyyyyyyyyyyyyyyy...yy..",
    /*17 DTIM */ "yyyyyyyyyyyyyyyyy...yy..",
    /*18 BLOB */ ".................y......",
    /*19 MEMO */ "yyyyyyyyyyyyyyyyyyy.yy..",
    /*20 WMEM */ "yyyyyyyyyyyyyyyyyy.yyy..",
    /*21 LOGI */ "yyyyyyyyyyyyyy......y...",
    /*22 CURR */ "yyyyyyyyyyyyyy......yy..",
    /*23 BYTS */ "......................y.",
    /*24 VARB */ ".......................y",
};

TEST_F(Casts, EveryPairOfTypesFollowsTheMatrix) {
  for (int from = 1; from <= 24; ++from) {
    for (int to = 1; to <= 24; ++to) {
      const bool listed = kCastMatrix[from - 1][to - 1] == 'y';
      EXPECT_EQ(castListed(StorageType(from), StorageType(to)), listed) << from << " to " << to;
      // The conversion itself: unlisted pairs fail with 30052; listed ones
      // either convert or fail on the data (30051), never with 30052.
      TVZVariant v = vt::sampleOf(StorageType(from));
      try {
        v.cast(StorageType(to));
        EXPECT_TRUE(listed) << from << " to " << to << " converted";
      } catch (const platform::EVZException& e) {
        EXPECT_EQ(e.nativeError(), listed ? 30051 : 30052) << from << " to " << to << ": " << e.what();
      }
    }
  }
  expectVZError([] { vt::integer(1).cast(0); }, 30052, "Cannot cast from 'INTEGER' to 'Unknown' - Native error: 30052");
}

TEST_F(Casts, FailingCastLeavesTheValueOrANullOfTheTarget) {
  TVZVariant v = vt::text("2024-02-30");
  expectVZError([&] { v.cast(st::Date); }, 30051, "Cannot cast from 'STRING' to 'DATE' - Native error: 30051");
  EXPECT_EQ(v.type(), st::String);
  EXPECT_EQ(v.asString(), "2024-02-30");
  v.castOrNull(st::Date);
  EXPECT_EQ(v.type(), st::Date);
  EXPECT_TRUE(v.isNull());
  TVZVariant b = vt::blob("x");
  b.castOrNull(st::Integer);
  EXPECT_EQ(b.type(), st::Integer);
  EXPECT_TRUE(b.isNull());
  // A null value only changes its type.
  TVZVariant n = vt::nullOf(st::String);
  n.cast(st::Logical);
  EXPECT_EQ(n.type(), st::Logical);
  EXPECT_TRUE(n.isNull());
}

TEST_F(Casts, TextsToDatesAndTimes) {
  struct Case {
    TVZVariant from;
    StorageType to;
    int32_t day, ms;
  } cases[] = {
      {vt::text("2024/01/15"), st::Date, 738900, 0},
      {vt::text("2024-01-15"), st::DateTime, 738900, 0},
      {vt::text("2024-01-15 08:30:00"), st::DateTime, 738900, 30600000},
      {vt::text("2024-01-15 08:30:00"), st::Date, 738900, 0},
      {vt::text("2024-01-15T08:30:00Z"), st::DateTime, 738900, 30600000},  // one trailing character
      {vt::text("08:30:00"), st::Time, 0, 30600000},
      {vt::text("1/15/2024"), st::Date, 738900, 0},  // the locale's form
  };
  for (Case& c : cases) {
    const TVZVariant r = cast(c.from, c.to);
    if (c.to == st::Date) {
      EXPECT_EQ(r.asDate(), c.day) << c.from.asString();
    }
    if (c.to == st::Time) {
      EXPECT_EQ(r.asTime(), c.ms) << c.from.asString();
    }
    if (c.to == st::DateTime) {
      EXPECT_EQ(r.asDateTime().day, c.day) << c.from.asString();
      EXPECT_EQ(r.asDateTime().milliseconds, c.ms) << c.from.asString();
    }
  }
  // Matching a fixed form but naming no real date or time fails; so does
  // a text that no form reads.
  for (const char* bad : {"2024-02-30", "2023-02-29 00:00:00", "2024-01-15 24:00:00", "never"})
    expectVZError([&] { vt::text(bad).cast(st::DateTime); }, 30051);
  expectVZError([] { vt::text("08:61:00").cast(st::Time); }, 30051);

  DayAndTime dt;
  EXPECT_EQ(text_forms::readFixedDate("2024-1-15", false, dt), text_forms::FixedMatch::NoMatch);
  EXPECT_EQ(text_forms::readFixedDate("2024-01-15", true, dt), text_forms::FixedMatch::NoMatch);
  EXPECT_EQ(text_forms::readFixedDate("2024-01-15 08:30", false, dt), text_forms::FixedMatch::NoMatch);
  EXPECT_EQ(text_forms::readFixedDate("20240-01-15", false, dt), text_forms::FixedMatch::NoMatch);
  EXPECT_EQ(text_forms::readFixedDate("2024.01.15.", false, dt), text_forms::FixedMatch::Valid);
}

TEST_F(Casts, TextsToLogicalNumbersAndCurrency) {
  for (const char* t : {"TRUE", "true", "True", "1"}) EXPECT_TRUE(cast(vt::text(t), st::Logical).asLogical()) << t;
  for (const char* t : {"yes", "0", "T", "2"}) EXPECT_FALSE(cast(vt::text(t), st::Logical).asLogical()) << t;
  EXPECT_TRUE(cast(vt::nullOf(st::String), st::Logical).isNull());

  struct IntCase {
    TVZVariant from;
    StorageType to;
    int64_t expected;
  } ints[] = {
      {vt::text("300"), st::Byte, 44},              // low bits of the target
      {vt::text("-1"), st::Cardinal, 4294967295},
      {vt::text("70000"), st::SmallInt, 4464},
      {vt::text(" 42 "), st::Integer, 42},
      {vt::text("9999999999"), st::LargeInt, 9999999999},
      {vt::memo("-5"), st::LargeInt, -5},           // a MEMO reads 32 bits, sign-extended
      {vt::wide(u"12"), st::Word, 12},
  };
  for (IntCase& c : ints) EXPECT_EQ(cast(c.from, c.to).asLargeInt(), c.expected) << c.from.asString();
  for (const char* bad : {"abc", "1.5", "9999999999"})
    expectVZError([&] { vt::text(bad).cast(st::Integer); }, 30051);
  expectVZError([] { vt::memo("9999999999").cast(st::LargeInt); }, 30051);

  // "." is the decimal separator of floating-point texts under every locale;
  // currency follows the locale.
  for (const char* locale : {"en_US", "fr_FR"}) {
    platform::setUserLocale(locale);
    EXPECT_DOUBLE_EQ(cast(vt::text("1.5"), st::Float).asFloat(), 1.5) << locale;
    EXPECT_FLOAT_EQ(cast(vt::text("-2e3"), st::Single).asSingle(), -2000.0f) << locale;
    EXPECT_EQ(cast(vt::text("0.1"), st::Extended).asExtended(), static_cast<long double>(0.1)) << locale;
  }
  platform::setUserLocale("fr_FR");
  expectVZError([] { vt::text("1,5").cast(st::Float); }, 30051);
  EXPECT_DOUBLE_EQ(cast(vt::text("1,25"), st::Currency).asCurrency(), 1.25);
  platform::setUserLocale("en_US");
  EXPECT_DOUBLE_EQ(cast(vt::text("1.25"), st::Currency).asCurrency(), 1.25);
}

TEST_F(Casts, NumbersToTextFollowTheLocale) {
  struct Case {
    TVZVariant from;
    const char* en;
    const char* fr;
  } cases[] = {
      {vt::floating(1.5), "1.5", "1,5"},
      {vt::floating(-0.25), "-0.25", "-0,25"},
      {vt::floating(1.0 / 3), "0.333333333333333", "0,333333333333333"},
      {vt::single(0.1f), "0.100000001490116", "0,100000001490116"},
      {vt::extended(2.5L), "2.5", "2,5"},
      {vt::currency(12.34567), "12.3457", "12,3457"},
      {vt::currency(-3), "-3", "-3"},
      {vt::integer(-42), "-42", "-42"},
      {vt::cardinal(4000000000u), "4000000000", "4000000000"},
      {vt::largeInt(-9000000000000000000), "-9000000000000000000", "-9000000000000000000"},
      {vt::logical(true), "True", "True"},
      {vt::logical(false), "False", "False"},
  };
  for (Case& c : cases) {
    platform::setUserLocale("en_US");
    EXPECT_EQ(cast(c.from, st::String).asString(), c.en);
    EXPECT_EQ(cast(c.from, st::WideString).asWideString(), platform::ansiToWide(c.en));
    platform::setUserLocale("fr_FR");
    EXPECT_EQ(cast(c.from, st::Char).asString(), c.fr);
  }
}

TEST_F(Casts, DatesAndTimesAsTextsFollowTheLocale) {
  struct Case {
    TVZVariant from;
    const char* en;
    const char* fr;
  } cases[] = {
      {vt::date(738900), "1/15/2024", "15/01/2024"},
      {vt::time(30600000), "8:30:00 AM", "08:30:00"},
      {vt::dateTime(738900, 30600000), "1/15/2024 8:30:00 AM", "15/01/2024 08:30:00"},
      {vt::dateTime(738900, 0), "1/15/2024", "15/01/2024"},  // no time at midnight
  };
  for (Case& c : cases) {
    for (auto [locale, expected] : {std::pair{"en_US", c.en}, std::pair{"fr_FR", c.fr}}) {
      platform::setUserLocale(locale);
      const TVZVariant t = cast(c.from, st::String);
      EXPECT_EQ(t.asString(), expected) << locale;
      // and the locale's text reads back as the same value
      EXPECT_EQ(cast(t, c.from.type()).compare(c.from), 0) << locale << " " << expected;
    }
  }
}

TEST_F(Casts, OnlyAnsiTextsReadTheFixedForms) {
  EXPECT_EQ(cast(vt::text("2024.01.15"), st::Date).asDate(), 738900);
  expectVZError([] { vt::wide(u"2024.01.15").cast(st::Date); }, 30051);
  expectVZError([] { vt::memo("2024.01.15").cast(st::DateTime); }, 30051);
  expectVZError([] { vt::memo("08:30:00x").cast(st::Time); }, 30051);
  EXPECT_EQ(cast(vt::text("08:30:00x"), st::Time).asTime(), 30600000);
  EXPECT_EQ(cast(vt::wide(u"1/15/2024"), st::Date).asDate(), 738900);
  // 2024-1-15 is no fixed form and goes to the locale's form, which does not
  // read it either.
  expectVZError([] { vt::text("2024-1-15").cast(st::Date); }, 30051);
}

TEST_F(Casts, EmptyDatesAndMidnightGiveThePresentEmptyText) {
  for (TVZVariant v : {vt::time(0), vt::date(kEmptyDate), vt::dateTime(kEmptyDate, 0)}) {
    const TVZVariant r = cast(v, st::String);
    EXPECT_FALSE(r.isNull());
    EXPECT_EQ(r.size(), 1);
    EXPECT_EQ(r.asString(), "");
  }
  expectVZError([] { vt::date(0).cast(st::String); }, 30051);  // a day before the calendar's first
}

TEST_F(Casts, BetweenNumbersDatesAndLogical) {
  struct IntCase {
    TVZVariant from;
    StorageType to;
    int64_t expected;  // read back through asLargeInt
  } cases[] = {
      {vt::integer(70000), st::SmallInt, 4464},
      {vt::integer(-1), st::Word, 65535},
      {vt::integer(-1), st::Cardinal, 4294967295},
      {vt::largeInt(0x100000005), st::Date, 5},          // day number: low bits
      {vt::integer(5), st::Time, 5},
      {vt::integer(0), st::Logical, 0},
      {vt::shortInt(-3), st::Logical, 1},
      {vt::floating(-2.7), st::Integer, -2},            // truncated toward zero
      {vt::floating(300.9), st::Byte, 44},
      {vt::floating(2.5), st::Date, 2},
      {vt::floating(90000000.7), st::Time, 3600000},    // modulo a day
      {vt::currency(-7.9), st::Integer, -7},
      {vt::currency(0.0001), st::Logical, 1},
      {vt::date(738900), st::Integer, 738900},
      {vt::date(738900), st::Time, 738900},             // the day number modulo 86,400,000
      {vt::date(kEmptyDate), st::Logical, 0},
      {vt::date(0), st::Logical, 1},
      {vt::time(1000), st::Date, 1000},
      {vt::time(1000), st::Word, 1000},
      {vt::dateTime(738900, 5), st::Integer, 738900},
      {vt::dateTime(738900, 5), st::Time, 5},
      {vt::dateTime(kEmptyDate, 0), st::Logical, 0},
      {vt::dateTime(kEmptyDate, 1), st::Logical, 1},
      {vt::logical(true), st::ShortInt, 1},
  };
  for (IntCase& c : cases)
    EXPECT_EQ(cast(c.from, c.to).asLargeInt(), c.expected) << int(c.from.type()) << " to " << int(c.to);

  struct FloatCase {
    TVZVariant from;
    StorageType to;
    double expected;
  } floats[] = {
      {vt::integer(7), st::Float, 7},
      {vt::cardinal(4000000000u), st::Currency, 4e9},
      {vt::date(738900), st::Float, 738900},
      {vt::time(43200000), st::Single, 43200000},
      {vt::dateTime(738900, 43200000), st::Float, 738900.5},
      {vt::dateTime(kEmptyDate, 21600000), st::Currency, 0.25},
      {vt::logical(true), st::Extended, 1},
      {vt::currency(2.5), st::Float, 2.5},
      {vt::floating(0.1), st::Single, double(0.1f)},     // rounded to binary32
      {vt::floating(1.25), st::Currency, 1.25},
  };
  for (FloatCase& c : floats)
    EXPECT_DOUBLE_EQ(cast(c.from, c.to).asFloat(), c.expected) << int(c.from.type()) << " to " << int(c.to);

  const TVZVariant a = cast(vt::floating(738900.75), st::DateTime);
  EXPECT_EQ(a.asDateTime().day, 738900);
  EXPECT_EQ(a.asDateTime().milliseconds, 64800000);
  const TVZVariant b = cast(vt::integer(738900), st::DateTime);
  EXPECT_EQ(b.asDateTime().milliseconds, 0);
  const TVZVariant c = cast(vt::time(5), st::DateTime);
  EXPECT_EQ(c.asDateTime().day, kEmptyDate);
  EXPECT_EQ(c.asDateTime().milliseconds, 5);

  // Numbers that no integer or day number can hold fail instead of wrapping
  // to arbitrary values.
  for (double bad : {1e30, -1e19, std::nan(""), HUGE_VAL}) {
    expectVZError([&] { vt::floating(bad).cast(st::LargeInt); }, 30051);
    expectVZError([&] { vt::floating(bad).cast(st::DateTime); }, 30051);
  }
  expectVZError([] { vt::floating(3e9).cast(st::Date); }, 30051);
  expectVZError([] { vt::currency(1e300).cast(st::String); }, 30051);
}

TEST_F(Casts, TextsBlobsAndMemos) {
  EXPECT_EQ(cast(vt::text("abc"), st::Blob).asBlob(), "abc");
  EXPECT_EQ(cast(vt::text("abc"), st::Blob).size(), 4);
  TVZVariant memo = cast(vt::memo("abc"), st::String);
  EXPECT_EQ(memo.size(), 4);  // the terminator appended
  EXPECT_EQ(memo.asString(), "abc");
  EXPECT_EQ(cast(vt::memo("caf\xE9"), st::WideString).asWideString(), u"caf\u00E9");
  EXPECT_EQ(cast(vt::wide(u"caf\u00E9\u4E00"), st::String).asString(), "caf\xE9?");
  TVZVariant wm;
  wm.setWideMemo(u"\u4E00x");
  EXPECT_EQ(cast(wm, st::WideChar).asWideString(), u"\u4E00x");  // no trip through the code page
  expectVZError([] { vt::text("abc").cast(st::Memo); }, 30052);
  expectVZError([] { vt::memo("abc").cast(st::WideMemo); }, 30052);
  expectVZError([] { vt::text("abc").cast(st::Bytes); }, 30052);
}

}  // namespace
