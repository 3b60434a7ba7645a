#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dataset/variant.h"
#include "platform/datetime.h"
#include "platform/locale.h"

using dataset::Variant;
using dataset::VarType;

namespace {

class VariantTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::setUserLocale("en_US"); }
  void TearDown() override { platform::setUserLocale("en_US"); }
};

// Runs `f` and returns the message of the exception of type E it raises.
template <class E>
std::string failure(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "(no failure)";
}

}  // namespace

TEST_F(VariantTest, NullConvertsToNothingButNamesBothTypes) {
  Variant n = Variant::null();
  using Cast = platform::EVariantTypeCastError;
  EXPECT_EQ(failure<Cast>([&] { n.toString(); }), "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(failure<Cast>([&] { n.toInteger(); }), "Could not convert variant of type (Null) into type (Integer)");
  EXPECT_EQ(failure<Cast>([&] { n.toDouble(); }), "Could not convert variant of type (Null) into type (Double)");
  EXPECT_EQ(failure<Cast>([&] { n.toCurrency(); }),
            "Could not convert variant of type (Null) into type (Currency)");
  EXPECT_EQ(failure<Cast>([&] { n.asType(VarType::Word); }),
            "Could not convert variant of type (Null) into type (Word)");
  EXPECT_TRUE(n.asType(VarType::Null).isNull());
  // Bytes are no number either.
  EXPECT_EQ(failure<Cast>([&] { Variant(std::vector<uint8_t>{1}).toInteger(); }),
            "Could not convert variant of type (Array Byte) into type (Integer)");
}

TEST_F(VariantTest, EmptyIsZeroBlankAndFalse) {
  Variant e;
  EXPECT_EQ(e.toInteger(), 0);
  EXPECT_EQ(e.toDouble(), 0.0);
  EXPECT_EQ(e.toString(), "");
  EXPECT_FALSE(e.toBoolean());
  EXPECT_TRUE(e.isClear());
}

TEST_F(VariantTest, TextThatIsNoNumberRaisesTheNumberParsersError) {
  using Convert = platform::EConvertError;
  EXPECT_EQ(failure<Convert>([] { Variant("abc").toInteger(); }), "'abc' is not a valid integer value");
  EXPECT_EQ(failure<Convert>([] { Variant("abc").toDouble(); }), "'abc' is not a valid floating point value");
  EXPECT_EQ(failure<Convert>([] { Variant("").toInteger(); }), "'' is not a valid integer value");
  EXPECT_EQ(failure<Convert>([] { Variant("31/02/2024x").toDateTime(); }),
            "'31/02/2024x' is not a valid date and time");
  EXPECT_EQ(failure<platform::EVariantTypeCastError>([] { Variant("maybe").toBoolean(); }),
            "Could not convert variant of type (String) into type (Boolean)");
}

TEST_F(VariantTest, ValuesOutsideTheTargetRangeOverflow) {
  struct Case {
    Variant value;
    VarType target;
    std::string message;
  };
  const Case cases[] = {
      {Variant(int64_t(5000000000)), VarType::Integer, "(Int64) into type (Integer)"},
      {Variant(int32_t(300)), VarType::Byte, "(Integer) into type (Byte)"},
      {Variant(int32_t(-1)), VarType::Word, "(Integer) into type (Word)"},
      {Variant(int32_t(40000)), VarType::Smallint, "(Integer) into type (Smallint)"},
      {Variant(1e300), VarType::Currency, "(Double) into type (Currency)"},
      {Variant(1e300), VarType::Single, "(Double) into type (Single)"},
      {Variant(2147483647.5), VarType::Integer, "(Double) into type (Integer)"},
      {Variant("99999999999"), VarType::Integer, "(String) into type (Integer)"},
      {Variant(int64_t(INT64_MAX)), VarType::Currency, "(Int64) into type (Currency)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(failure<dataset::EVariantOverflowError>([&] { c.value.asType(c.target); }),
              "Overflow while converting variant of type " + c.message)
        << c.message;
  }
  // The edges themselves fit.
  EXPECT_EQ(Variant(int64_t(INT32_MIN)).toInteger(), INT32_MIN);
  EXPECT_EQ(Variant(int32_t(65535)).asType(VarType::Word), Variant(uint16_t(65535)));
  EXPECT_EQ(Variant(int64_t(922337203685477)).toCurrency(), int64_t(9223372036854770000));
}

TEST_F(VariantTest, NumbersBecomeIntegersByRoundingHalfToEven) {
  const std::pair<Variant, int32_t> cases[] = {
      {Variant(2.5), 2},          {Variant(3.5), 4},          {Variant(-2.5), -2},
      {Variant(2.6), 3},          {Variant("1.5"), 2},        {Variant(" 42 "), 42},
      {Variant("$1F"), 31},       {Variant(true), -1},        {Variant("true"), -1},
      {Variant::fromCurrency(25000), 2}, {Variant::fromCurrency(35000), 4},
      {Variant::fromCurrency(-15001), -2},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(value.toInteger(), expected) << value.toString();
}

TEST_F(VariantTest, TextsOfValues) {
  const std::pair<Variant, std::string> cases[] = {
      {Variant(true), "True"},
      {Variant(false), "False"},
      {Variant(int8_t(-5)), "-5"},
      {Variant(uint32_t(4000000000u)), "4000000000"},
      {Variant(int64_t(-9000000000)), "-9000000000"},
      {Variant(1.5), "1.5"},
      {Variant(1e20), "1E20"},
      {Variant(0.1f), "0.100000001490116"},
      {Variant::fromCurrency(12345), "1.2345"},
      {Variant::fromCurrency(-50000), "-5"},
      {Variant(std::vector<uint8_t>{'E', 's', 'p', 0xE8, 'c', 'e'}), "Esp\xE8" "ce"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(value.toString(), expected);
}

TEST_F(VariantTest, DatesTravelThroughTheLocalesForms) {
  double d = platform::encodeDate(2024, 1, 31);
  double dt = d + platform::encodeTime(13, 5, 0, 0);
  EXPECT_EQ(Variant::fromDateTime(d).toString(), platform::dateTimeToText(d));
  EXPECT_NEAR(Variant(Variant::fromDateTime(dt).toString()).toDateTime(), dt, 1e-9);
  EXPECT_EQ(Variant::fromDateTime(dt).toDouble(), dt);
  EXPECT_EQ(Variant(45000).asType(VarType::Date), Variant::fromDateTime(45000));
}

TEST_F(VariantTest, DecimalSeparatorComesFromTheLocale) {
  platform::setUserLocale("fr_FR");
  EXPECT_EQ(Variant(1.5).toString(), "1,5");
  EXPECT_EQ(Variant("1,5").toDouble(), 1.5);
  EXPECT_EQ(Variant("2,25").toCurrency(), 22500);
  EXPECT_EQ(Variant::fromCurrency(12345).toString(), "1,2345");
}

TEST_F(VariantTest, CurrencyKeepsFourDecimalsRoundedHalfToEven) {
  EXPECT_EQ(Variant(0.12345).toCurrency(), 1234);
  EXPECT_EQ(Variant(0.12355).toCurrency(), 1236);
  EXPECT_EQ(Variant(int32_t(7)).toCurrency(), 70000);
  EXPECT_EQ(Variant("12.5").toCurrency(), 125000);
  EXPECT_EQ(Variant::fromCurrency(125000).toDouble(), 12.5);
  EXPECT_EQ(Variant(true).toCurrency(), -10000);
}

TEST_F(VariantTest, BooleansFromNumbersAndWords) {
  EXPECT_TRUE(Variant(int32_t(2)).toBoolean());
  EXPECT_FALSE(Variant(0.0).toBoolean());
  EXPECT_TRUE(Variant::fromCurrency(1).toBoolean());
  EXPECT_TRUE(Variant(" TRUE ").toBoolean());
  EXPECT_FALSE(Variant("False").toBoolean());
  EXPECT_TRUE(Variant("-1").toBoolean());
  EXPECT_FALSE(Variant("0").toBoolean());
}

TEST_F(VariantTest, TextsAndBytesConvertByteForByte) {
  std::string text("a\0b\xFF", 4);
  Variant bytes = Variant(text).asType(VarType::Bytes);
  EXPECT_EQ(bytes.type(), VarType::Bytes);
  EXPECT_EQ(bytes.toBytes(), (std::vector<uint8_t>{'a', 0, 'b', 0xFF}));
  EXPECT_EQ(bytes.toString(), text);
}

TEST_F(VariantTest, EqualityNeedsTheSameTypeAndValue) {
  EXPECT_EQ(Variant("x"), Variant(std::string("x")));
  EXPECT_NE(Variant(int32_t(1)), Variant(int64_t(1)));
  EXPECT_NE(Variant(1.0f), Variant(1.0));
  EXPECT_EQ(Variant::null(), Variant::null());
  EXPECT_NE(Variant::null(), Variant());
  EXPECT_EQ(Variant(int16_t(3)).asType(VarType::Double), Variant(3.0));
}
