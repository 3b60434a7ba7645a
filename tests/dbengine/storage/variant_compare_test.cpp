#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dbengine/storage/vz_variant.h"
#include "platform/locale.h"
#include "value_test_support.h"

namespace {

using namespace vz;
namespace st = storage_type;
namespace vt = values_test;
using vt::expectVZError;

class Comparison : public ::testing::Test {
 protected:
  void SetUp() override { platform::setUserLocale("en_US"); }
};

TEST_F(Comparison, Orders) {
  struct Case {
    TVZVariant left, right;
    int expected;
    bool ignoreCase = false, partial = false;
  } cases[] = {
      {vt::nullOf(st::Integer), vt::nullOf(st::String), 0},
      {vt::nullOf(st::Integer), vt::integer(INT32_MIN), -1},
      {vt::text("x"), vt::nullOf(st::Blob), 1},
      {vt::text("2024-01-15"), vt::date(738900), 0},   // the text is read as a date
      {vt::date(738900), vt::text("2024-01-16"), -1},
      {vt::text("2024-01-15 08:30:00"), vt::dateTime(738900, 30600000), 0},
      {vt::memo("abc"), vt::memo("abd"), -1},
      {vt::memo("abc"), vt::text("abc"), 0},
      {vt::text("abcdef"), vt::text("abc"), 0, false, true},
      {vt::text("abcdef"), vt::text("abc"), 1},
      {vt::text("ab"), vt::text("abc"), -1, false, true},
      {vt::text("ABC"), vt::text("abc"), 0, true},
      {vt::text("ABC"), vt::text("abc"), 1},
      {vt::wide(u"ABC"), vt::wide(u"abc"), 0, true},
      {vt::wide(u"abcdef"), vt::wide(u"ABC"), 0, true, true},
      {vt::text("a"), vt::text("B"), -1},               // by the collation, not by bytes
      {vt::text("\xE9t\xE9"), vt::text("f"), -1},      // "été" before "f"
      {vt::text("10"), vt::integer(9), -1},             // meet as texts
      {vt::integer(2), vt::floating(2.5), -1},
      {vt::cardinal(4000000000u), vt::integer(1), 1},   // unsigned
      {vt::byte(200), vt::shortInt(-1), 1},
      {vt::floating(std::nan("")), vt::floating(1), 0},
      {vt::currency(-1), vt::floating(-0.5), -1},
      {vt::extended(1e-4000L), vt::extended(0), 1},
      {vt::logical(false), vt::logical(true), -1},
      {vt::logical(true), vt::integer(5), -1},          // meet as INTEGER: true is 1
      {vt::dateTime(738900, 5), vt::dateTime(738900, 4), 1},
      {vt::dateTime(738899, 5), vt::dateTime(738900, 4), -1},
      {vt::time(1), vt::time(2), -1},
  };
  for (Case& c : cases) {
    EXPECT_EQ(c.left.compare(c.right, c.ignoreCase, c.partial), c.expected)
        << c.left.asString() << " vs " << c.right.asString();
  }
}

TEST_F(Comparison, NullCasesReportedApart) {
  EXPECT_EQ(vt::nullOf(st::Integer).compareWithNulls(vt::nullOf(st::Integer)), CompareResult::BothNull);
  EXPECT_EQ(vt::nullOf(st::Integer).compareWithNulls(vt::integer(1)), CompareResult::LeftNull);
  EXPECT_EQ(vt::integer(1).compareWithNulls(vt::nullOf(st::Blob)), CompareResult::RightNull);
  EXPECT_EQ(vt::integer(1).compareWithNulls(vt::integer(1)), CompareResult::Equal);
}

TEST_F(Comparison, TypesWithoutOrderOrCommonType) {
  expectVZError([] { vt::blob("a").compare(vt::blob("a")); }, 30047, "Unknown DataType: 'BLOB' - Native error: 30047");
  expectVZError([] { vt::sampleOf(st::VarBytes).compare(vt::sampleOf(st::VarBytes)); }, 30047);
  expectVZError([] { vt::integer(1).compare(vt::blob("a")); }, 30044,
                "Cannot compare Incompatible DataTypes: 'INTEGER' and 'BLOB' - Native error: 30044");
  expectVZError([] { vt::logical(true).compare(vt::date(1)); }, 30044);
  expectVZError([] { vt::text("soon").compare(vt::date(1)); }, 30051);
  // BYTES compare as texts.
  TVZVariant a, b;
  a.setBytes("ab");
  b.setBytes("ac");
  EXPECT_EQ(a.compare(b), -1);
}

TEST_F(Comparison, RecordBuffers) {
  // Texts in records are padded to their field size: they end at the
  // terminator.
  const uint8_t abc[8] = {'a', 'b', 'c', 0, 0, 0, 0, 0};
  const uint8_t abd[8] = {'a', 'b', 'd', 0, 'z', 'z', 0, 0};
  EXPECT_EQ(compareBuffers(st::String, abc, 8, false, st::String, abd, 8, false, false), CompareResult::Less);
  EXPECT_EQ(compareBuffers(st::String, abc, 8, false, st::String, abd, 8, false, false, 2), CompareResult::Equal);
  EXPECT_EQ(compareBuffers(st::String, abc, 8, true, st::String, abd, 8, false, false), CompareResult::LeftNull);
  const uint8_t unterminated[3] = {'a', 'b', 'c'};
  EXPECT_EQ(compareBuffers(st::Char, unterminated, 3, false, st::String, abc, 8, false, false), CompareResult::Equal);
  uint8_t five[4] = {5, 0, 0, 0}, big[4] = {0, 0, 0, 0x80};
  EXPECT_EQ(compareBuffers(st::Integer, five, 4, false, st::Integer, big, 4, false, false), CompareResult::Greater);
  EXPECT_EQ(compareBuffers(st::Cardinal, five, 4, false, st::Cardinal, big, 4, false, false), CompareResult::Less);
  const uint8_t sixteenBit[2] = {5, 0};
  EXPECT_EQ(compareBuffers(st::SmallInt, sixteenBit, 2, false, st::Integer, five, 4, false, false),
            CompareResult::Equal);
  expectVZError([&] { compareBuffers(st::Integer, nullptr, 4, false, st::Integer, five, 4, false, false); }, 30140,
                "Value is Null - Native error: 30140");
}

}  // namespace
