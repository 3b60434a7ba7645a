#include <gtest/gtest.h>

#include <functional>

#include "dbengine/storage/day_numbers.h"
#include "dbengine/storage/vz_variant.h"
#include "platform/locale.h"
#include "value_test_support.h"

namespace {

using namespace vz;
namespace st = storage_type;
namespace vt = values_test;
using vt::expectVZError;

enum class Op { Add, Mul, Div };

TVZVariant apply(TVZVariant a, Op op, const TVZVariant& b) {
  switch (op) {
    case Op::Add: a.add(b); break;
    case Op::Mul: a.multiply(b); break;
    case Op::Div: a.divide(b); break;
  }
  return a;
}

class Arithmetic : public ::testing::Test {
 protected:
  void SetUp() override { platform::setUserLocale("en_US"); }
};

TEST_F(Arithmetic, ResultTypeAndValue) {
  struct Case {
    TVZVariant a;
    Op op;
    TVZVariant b;
    StorageType type;
    std::string value;  // the result as text
  } cases[] = {
      {vt::integer(7), Op::Div, vt::integer(2), st::Integer, "3"},
      {vt::integer(-7), Op::Div, vt::integer(2), st::Integer, "-3"},
      {vt::integer(7), Op::Div, vt::floating(2.0), st::Float, "3.5"},
      {vt::byte(200), Op::Add, vt::byte(100), st::Byte, "44"},
      {vt::byte(20), Op::Mul, vt::byte(13), st::Byte, "4"},
      {vt::integer(2147483647), Op::Add, vt::integer(1), st::Integer, "-2147483648"},
      {vt::largeInt(INT64_MAX), Op::Mul, vt::largeInt(2), st::LargeInt, "-2"},
      {vt::shortInt(-128), Op::Div, vt::shortInt(-1), st::ShortInt, "-128"},
      {vt::cardinal(4000000000u), Op::Div, vt::cardinal(3), st::Cardinal, "1333333333"},
      {vt::shortInt(1), Op::Add, vt::word(1), st::Word, "2"},      // the table is not symmetric
      {vt::word(1), Op::Add, vt::shortInt(1), st::Integer, "2"},
      {vt::integer(1), Op::Add, vt::cardinal(1), st::LargeInt, "2"},
      {vt::floating(1.5), Op::Add, vt::currency(1), st::Currency, "2.5"},
      {vt::currency(1), Op::Add, vt::floating(1.5), st::Float, "2.5"},
      {vt::single(0.1f), Op::Add, vt::single(0.2f), st::Single, "0.300000011920929"},
      {vt::extended(1), Op::Div, vt::integer(4), st::Extended, "0.25"},
      {vt::text("1"), Op::Add, vt::integer(2), st::String, "12"},
      {vt::integer(2), Op::Add, vt::text("1"), st::String, "21"},
      {vt::text("a"), Op::Add, vt::wide(u"b"), st::WideString, "ab"},
      {vt::text("x"), Op::Add, vt::logical(true), st::String, "xTrue"},
      {vt::logical(false), Op::Mul, vt::logical(true), st::Logical, "True"},
      {vt::logical(false), Op::Div, vt::logical(false), st::Logical, "False"},
      {vt::time(3600000), Op::Add, vt::time(86000000), st::Time, ""},  // not wrapped at midnight
  };
  for (Case& c : cases) {
    const TVZVariant r = apply(c.a, c.op, c.b);
    EXPECT_EQ(r.type(), c.type) << c.a.asString() << " op " << c.b.asString();
    if (!c.value.empty()) {
      EXPECT_EQ(r.asString(), c.value) << c.a.asString() << " op " << c.b.asString();
    }
  }
  EXPECT_EQ(apply(vt::time(3600000), Op::Add, vt::time(86000000)).asTime(), 89600000);
}

TEST_F(Arithmetic, NullOperands) {
  // text + NULL is the text; a NULL text + x is x; otherwise NULL.
  TVZVariant r = apply(vt::text("abc"), Op::Add, vt::nullOf(st::Integer));
  EXPECT_EQ(r.asString(), "abc");
  r = apply(vt::nullOf(st::String), Op::Add, vt::integer(5));
  EXPECT_EQ(r.type(), st::Integer);
  EXPECT_EQ(r.asInteger(), 5);
  r = apply(vt::integer(5), Op::Add, vt::nullOf(st::Integer));
  EXPECT_TRUE(r.isNull());
  EXPECT_EQ(r.type(), st::Integer);
  EXPECT_TRUE(apply(vt::nullOf(st::Integer), Op::Add, vt::integer(5)).isNull());
  for (Op op : {Op::Mul, Op::Div}) {
    EXPECT_TRUE(apply(vt::integer(5), op, vt::nullOf(st::Integer)).isNull());
    EXPECT_TRUE(apply(vt::nullOf(st::Float), op, vt::integer(5)).isNull());
    EXPECT_TRUE(apply(vt::text("a"), op, vt::nullOf(st::String)).isNull());
  }
}

TEST_F(Arithmetic, DatesAndDateTimes) {
  const int32_t feb28 = dayNumberOf(2024, 2, 28);
  EXPECT_EQ(apply(vt::date(feb28), Op::Add, vt::integer(1)).asDate(), dayNumberOf(2024, 2, 29));
  TVZVariant minusOne = vt::integer(1);
  minusOne.negate();
  EXPECT_EQ(apply(vt::date(feb28), Op::Add, minusOne).asDate(), feb28 - 1);

  struct Case {
    TVZVariant a, b;
    int32_t day, ms;
  } cases[] = {
      // 2024-01-15 23:00 + 0.125 day is 2024-01-16 02:00.
      {vt::dateTime(738900, 82800000), vt::floating(0.125), 738901, 7200000},
      {vt::dateTime(738900, 82800000), vt::integer(2), 738902, 82800000},
      {vt::dateTime(738900, 82800000), vt::time(3600000), 738901, 0},
      // Going back over midnight borrows a day instead of leaving negative
      // milliseconds.
      {vt::dateTime(738900, 3600000), vt::floating(-0.125), 738899, 79200000},
      // A DATE plus a TIME is that date at that time.
      {vt::date(738900), vt::time(30600000), 738900, 30600000},
      {vt::time(30600000), vt::date(738900), 738900, 30600000},
  };
  for (Case& c : cases) {
    const TVZVariant r = apply(c.a, Op::Add, c.b);
    ASSERT_EQ(r.type(), st::DateTime);
    EXPECT_EQ(r.asDateTime().day, c.day);
    EXPECT_EQ(r.asDateTime().milliseconds, c.ms);
  }
  const TVZVariant m = apply(vt::dateTime(3, 50000000), Op::Mul, vt::dateTime(2, 2));
  EXPECT_EQ(m.asDateTime().day, 7);  // 6 days, and 100,000,000 ms carry one more
  EXPECT_EQ(m.asDateTime().milliseconds, 13600000);
  EXPECT_EQ(apply(vt::date(10), Op::Div, vt::date(3)).asDate(), 3);
  expectVZError([] { apply(vt::dateTime(10, 10), Op::Div, vt::integer(2)); }, 30128);  // ms / 0
}

TEST_F(Arithmetic, Failures) {
  expectVZError([] { apply(vt::integer(5), Op::Div, vt::integer(0)); }, 30128,
                "Division error: Division by zero - Native error: 30128");
  expectVZError([] { apply(vt::integer(INT32_MIN), Op::Div, vt::integer(-1)); }, 30128);
  expectVZError([] { apply(vt::floating(1), Op::Div, vt::floating(0)); }, 30128,
                "Division error: Floating point division by zero - Native error: 30128");
  expectVZError([] { apply(vt::floating(0), Op::Div, vt::integer(0)); }, 30128);
  expectVZError([] { apply(vt::floating(1e308), Op::Div, vt::floating(1e-308)); }, 30128);
  expectVZError([] { apply(vt::text("a"), Op::Mul, vt::integer(2)); }, 30126,
                "Not numeric argument in numeric operator '*' - Native error: 30126");
  expectVZError([] { apply(vt::text("a"), Op::Div, vt::text("b")); }, 30127);
  // Engine errors inside a division pass unchanged.
  expectVZError([] { apply(vt::blob("a"), Op::Div, vt::integer(1)); }, 30052);
  expectVZError([] { apply(vt::blob("a"), Op::Add, vt::integer(1)); }, 30052,
                "Cannot cast from 'BLOB' to 'Unknown' - Native error: 30052");
  expectVZError([] { apply(vt::logical(true), Op::Add, vt::date(1)); }, 30052);
  // A failing operation leaves the value as it was.
  TVZVariant v = vt::integer(3);
  expectVZError([&] { v.multiply(vt::text("a")); }, 30126);
  EXPECT_EQ(v.type(), st::Integer);
  EXPECT_EQ(v.asInteger(), 3);
}

TEST_F(Arithmetic, Negation) {
  struct Case {
    TVZVariant v;
    std::string expected;
  } cases[] = {
      {vt::byte(5), "251"},          {vt::word(1), "65535"},   {vt::shortInt(-128), "-128"},
      {vt::smallInt(7), "-7"},       {vt::integer(5), "-5"},   {vt::largeInt(-4), "4"},
      {vt::cardinal(0), "0"},        {vt::floating(1.5), "-1.5"}, {vt::single(2), "-2"},
      {vt::extended(0.5L), "-0.5"},  {vt::currency(3), "-3"},  {vt::logical(true), "False"},
      {vt::logical(false), "True"},
  };
  for (Case& c : cases) {
    const StorageType type = c.v.type();
    c.v.negate();
    EXPECT_EQ(c.v.type(), type);
    EXPECT_EQ(c.v.asString(), c.expected) << storageTypeName(type);
  }
  TVZVariant d = vt::date(738900);
  d.negate();
  EXPECT_EQ(d.asDate(), -738900);

  for (TVZVariant v : {vt::cardinal(1), vt::integer(INT32_MIN), vt::largeInt(INT64_MIN), vt::date(kEmptyDate)}) {
    EXPECT_THROW(v.negate(), platform::EIntOverflow) << storageTypeName(v.type());
  }
  for (StorageType t : {st::Time, st::DateTime, st::String, st::Blob, st::Memo, st::Bytes}) {
    TVZVariant v = vt::sampleOf(t);
    expectVZError([&] { v.negate(); }, 30123,
                  "Cannot invert value with not numeric type '" + std::string(storageTypeName(t)) +
                      "' - Native error: 30123");
  }
  TVZVariant n = vt::nullOf(st::Time);
  n.negate();  // a null value stays null, whatever its type
  EXPECT_TRUE(n.isNull());
}

}  // namespace
