// Values themselves: null, setters and getters, borrowing, copying out, and
// the platform's generic variant.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "dbengine/storage/vz_variant.h"
#include "platform/locale.h"
#include "value_test_support.h"

namespace {

using namespace vz;
namespace st = storage_type;
namespace vc = variant_code;
using values_test::expectVZError;

TEST(VariantValue, NullAndTypeLifecycle) {
  TVZVariant v;
  EXPECT_EQ(v.type(), st::None);
  EXPECT_TRUE(v.isNull());
  v.setInteger(5);  // takes the setter's type
  EXPECT_EQ(v.type(), st::Integer);
  EXPECT_FALSE(v.isNull());
  EXPECT_EQ(v.size(), 4);
  v.setNull();
  EXPECT_TRUE(v.isNull());
  EXPECT_EQ(v.type(), st::Integer);
  expectVZError([&] { v.checkNotNull(); }, 30016, "Value is Null - Native error: 30016");
  expectVZError([&] { (void)v.asInteger(); }, 30016);
  EXPECT_EQ(v.asString(), "");  // text getters give the empty text
  v.clear(st::Date);
  EXPECT_EQ(v.type(), st::Date);
  EXPECT_EQ(v.data(), nullptr);

  TVZVariant s(st::String);
  s.setString("");  // an empty text leaves the value null
  EXPECT_TRUE(s.isNull());
  s.setString("abc");
  EXPECT_EQ(s.size(), 4);
  EXPECT_EQ(s.textLength(), 3);
  EXPECT_EQ(std::memcmp(s.data(), "abc\0", 4), 0);
  TVZVariant w;
  w.setWideString(u"ab");
  EXPECT_EQ(w.size(), 6);
  EXPECT_EQ(w.textLength(), 2);
  EXPECT_EQ(values_test::integer(1).textLength(), -1);
  EXPECT_EQ(TVZVariant(st::String).textLength(), -1);
}

TEST(VariantValue, TypedValueKeepsItsTypeAndConvertsWhatIsAssigned) {
  TVZVariant v(st::Integer);
  v.setString("42");
  EXPECT_EQ(v.type(), st::Integer);
  EXPECT_EQ(v.asInteger(), 42);
  v.setFloat(-2.9);
  EXPECT_EQ(v.asInteger(), -2);
  // A failing conversion raises and leaves the value null with its type.
  expectVZError([&] { v.setString("forty"); }, 30051,
                "Cannot cast from 'STRING' to 'INTEGER' - Native error: 30051");
  EXPECT_TRUE(v.isNull());
  EXPECT_EQ(v.type(), st::Integer);

  TVZVariant t(st::String);
  t.setLogical(true);
  EXPECT_EQ(t.asString(), "True");
  TVZVariant c(st::Char);
  c.setString("xy");
  EXPECT_EQ(c.type(), st::Char);
  EXPECT_EQ(c.asString(), "xy");

  // Getters convert a copy and leave the value alone.
  TVZVariant f = values_test::floating(2.75);
  EXPECT_EQ(f.asInteger(), 2);
  EXPECT_EQ(f.asString(), "2.75");
  EXPECT_EQ(f.type(), st::Float);
  EXPECT_DOUBLE_EQ(f.asFloat(), 2.75);
}

TEST(VariantValue, FixedWidthValueOfItsOwnTypeIsOverwrittenInPlace) {
  TVZVariant v;
  v.setInteger(1);
  const uint8_t* before = v.data();
  v.setInteger(2);
  EXPECT_EQ(v.data(), before);
  EXPECT_EQ(v.asInteger(), 2);
}

TEST(VariantValue, BorrowedBuffersAreNeverWrittenThrough) {
  uint8_t record[4] = {7, 0, 0, 0};
  TVZVariant v;
  v.attach(st::Integer, record, 4, true);
  EXPECT_TRUE(v.isBorrowed());
  EXPECT_EQ(v.data(), record);
  EXPECT_EQ(v.asInteger(), 7);
  v.setInteger(9);  // takes a buffer of its own
  EXPECT_FALSE(v.isBorrowed());
  EXPECT_EQ(record[0], 7);
  EXPECT_EQ(v.asInteger(), 9);

  TVZVariant owner = values_test::text("abc");
  TVZVariant borrower;
  borrower.assign(owner, true);
  EXPECT_EQ(borrower.data(), owner.data());
  EXPECT_EQ(borrower.asString(), "abc");
  TVZVariant copy;
  copy.assign(owner);
  EXPECT_NE(copy.data(), owner.data());
  TVZVariant copied(borrower);  // copies own their bytes
  EXPECT_FALSE(copied.isBorrowed());
  EXPECT_EQ(copied.asString(), "abc");

  // A buffer that cannot hold the type is refused.
  expectVZError([&] { v.attach(st::Integer, record, 3, false); }, 30054);
  expectVZError([&] { v.attach(st::String, record, 0, false); }, 30054);
  expectVZError([&] { v.attach(0, record, 1, false); }, 30054);
}

TEST(VariantValue, CopyOut) {
  uint8_t buffer[8] = {};
  TVZVariant v = values_test::integer(0x01020304);
  expectVZError([&] { v.copyTo(buffer, 3); }, 20056, "Buffer size exceeded - Native error: 20056");
  EXPECT_TRUE(v.copyTo(buffer, 8));
  EXPECT_EQ(buffer[0], 4);
  EXPECT_FALSE(TVZVariant(st::Integer).copyTo(buffer, 8));
  TVZVariant empty = values_test::nullOf(st::Time);  // TIME 0 cast to text: a present empty text
  empty.setTime(0);
  empty.cast(st::String);
  EXPECT_FALSE(empty.isNull());
  EXPECT_FALSE(empty.copyTo(buffer, 8));
}

TEST(VariantValue, ByteValues) {
  TVZVariant b;
  b.setBlob(std::string("a\0b", 3));
  EXPECT_EQ(b.size(), 4);  // the bytes and one zero
  EXPECT_EQ(b.asBlob(), std::string("a\0b", 3));
  TVZVariant m;
  m.setMemo("memo text");
  EXPECT_EQ(m.size(), 9);
  EXPECT_EQ(m.asMemo(), "memo text");
  EXPECT_EQ(m.asString(), "memo text");
  expectVZError([] { (void)TVZVariant(st::Memo).asMemo(); }, 30016);
  TVZVariant x;
  x.setExtended(1.0L / 3);
  EXPECT_EQ(x.size(), 10);
  EXPECT_EQ(x.asExtended(), 1.0L / 3);
}

TEST(VariantValue, ExtendedIsTheEightyBitFormat) {
  struct Case {
    long double value;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {-2.5L, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}},
      {0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {HUGE_VALL, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
      {0x1p-16445L, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},  // the smallest denormal
  };
  for (const Case& c : cases) {
    const TVZVariant v = values_test::extended(c.value);
    ASSERT_EQ(v.size(), 10);
    EXPECT_EQ(std::vector<uint8_t>(v.data(), v.data() + 10), c.bytes) << double(c.value);
    TVZVariant back;
    back.attach(st::Extended, c.bytes.data(), 10, false);
    EXPECT_EQ(back.asExtended(), c.value);
  }
  EXPECT_TRUE(std::isnan(values_test::extended(std::nanl("")).asExtended()));
  EXPECT_EQ(values_test::extended(1e-4000L).asExtended(), 1e-4000L);  // beyond binary64's range
}

TEST(VariantValue, DateTimeNumbers) {
  TVZVariant d(st::Date);
  d.setDateFromDateTimeNumber(45306.75);
  EXPECT_EQ(d.asDate(), 738900);
  TVZVariant t(st::Time);
  t.setTimeFromDateTimeNumber(45306.75);
  EXPECT_EQ(t.asTime(), 64800000);
  TVZVariant dt;
  dt.setDateTimeFromDateTimeNumber(45306.75);
  EXPECT_EQ(dt.type(), st::DateTime);
  EXPECT_EQ(dt.asDateTime().day, 738900);
  EXPECT_EQ(dt.asDateTime().milliseconds, 64800000);
  EXPECT_DOUBLE_EQ(dt.dateTimeAsDateTimeNumber(), 45306.75);
  EXPECT_DOUBLE_EQ(dt.dateAsDateTimeNumber(), 45306.0);
  EXPECT_DOUBLE_EQ(dt.timeAsDateTimeNumber(), 0.75);
  expectVZError([&] { dt.setDateTimeFromDateTimeNumber(1e300); }, 30051);
  EXPECT_TRUE(dt.isNull());
}

TEST(PlatformVariant, SettingFollowsTheSetterRules) {
  struct Case {
    PlatformVariant in;
    StorageType type;
    std::string asText;
  };
  auto pv = [](uint16_t type, int64_t i = 0, double r = 0) {
    PlatformVariant v;
    v.type = type;
    v.integer = i;
    v.real = r;
    return v;
  };
  PlatformVariant wide = pv(vc::OleStr);
  wide.wide = u"w";
  PlatformVariant ansi = pv(vc::String + 2);
  ansi.ansi = "a";
  const Case cases[] = {
      {pv(vc::SmallInt, -2), st::SmallInt, "-2"},     {pv(vc::Integer, 70000), st::Integer, "70000"},
      {pv(vc::Single, 0, 0.5), st::Single, "0.5"},     {pv(vc::Double, 0, 1.25), st::Float, "1.25"},
      {pv(vc::Currency, 12345), st::Currency, "1.2345"}, {pv(vc::Boolean, -1), st::Logical, "True"},
      {pv(vc::ShortInt, -1), st::ShortInt, "-1"},       {pv(vc::Byte, 200), st::Byte, "200"},
      {pv(vc::Word, 60000), st::Word, "60000"},         {pv(vc::LongWord, 4000000000), st::Cardinal, "4000000000"},
      {pv(vc::Int64, 1ll << 40), st::LargeInt, "1099511627776"},
      {wide, st::WideString, "w"},                      {ansi, st::String, "a"},
  };
  platform::setUserLocale("en_US");
  for (const Case& c : cases) {
    TVZVariant v;
    v.setFromPlatformVariant(c.in);
    EXPECT_EQ(v.type(), c.type) << c.in.type;
    EXPECT_EQ(v.asString(), c.asText) << c.in.type;
  }
  TVZVariant d;
  d.setFromPlatformVariant(pv(vc::Date, 0, 45306.5));
  EXPECT_EQ(d.type(), st::DateTime);
  EXPECT_EQ(d.asDateTime().milliseconds, 43200000);

  TVZVariant typed(st::String);  // a typed value keeps its type
  typed.setFromPlatformVariant(pv(vc::Integer, 5));
  EXPECT_EQ(typed.type(), st::String);
  EXPECT_EQ(typed.asString(), "5");
  typed.setFromPlatformVariant(PlatformVariant::null());
  EXPECT_TRUE(typed.isNull());
  EXPECT_EQ(typed.type(), st::String);
  expectVZError([&] { typed.setFromPlatformVariant(pv(9)); }, 30113,
                "Unsupported Variant Type 9 - Native error: 30113");
}

TEST(PlatformVariant, ReadingGivesTheVariantOfTheSameKind) {
  struct Case {
    TVZVariant value;
    uint16_t code;
  };
  TVZVariant w;
  w.setWideChar(u"x");
  TVZVariant b;
  b.setByte(1);
  TVZVariant c;
  c.setCardinal(1);
  TVZVariant cur;
  cur.setCurrency(2.5);
  TVZVariant tm;
  tm.setTime(43200000);
  TVZVariant lg;
  lg.setLogical(true);
  const Case cases[] = {
      {values_test::text("x"), vc::String}, {w, vc::OleStr},   {b, vc::Byte},
      {c, vc::LongWord},                    {cur, vc::Double}, {values_test::date(738900), vc::Date},
      {tm, vc::Date},                       {lg, vc::Boolean}, {values_test::nullOf(st::Integer), vc::Null},
  };
  for (const Case& k : cases) EXPECT_EQ(k.value.toPlatformVariant().type, k.code) << int(k.value.type());
  EXPECT_DOUBLE_EQ(cur.toPlatformVariant().real, 2.5);
  EXPECT_DOUBLE_EQ(values_test::date(738900).toPlatformVariant().real, 45306.0);
  EXPECT_DOUBLE_EQ(tm.toPlatformVariant().real, 0.5);
  EXPECT_NE(lg.toPlatformVariant().integer, 0);

  for (StorageType t : {st::Memo, st::WideMemo, st::Bytes, st::VarBytes, st::Blob}) {
    expectVZError([&] { (void)values_test::sampleOf(t).toPlatformVariant(); }, 30114,
                  "Unsupported Variant Type " + std::string(storageTypeName(t)) + " - Native error: 30114");
  }
}

}  // namespace
