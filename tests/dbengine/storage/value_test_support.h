// What the value tests share: checking an engine error's code and text, and
// building values of every storage type in one line.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "dbengine/storage/vz_variant.h"
#include "platform/errors.h"

namespace values_test {

// Runs f and expects an EVZException with the code (and, when given, the
// whole message).
template <typename F>
void expectVZError(F&& f, int32_t code, std::string_view message = {}) {
  try {
    f();
    ADD_FAILURE() << "no error, expected " << code;
  } catch (const platform::EVZException& e) {
    EXPECT_EQ(e.nativeError(), code) << e.what();
    if (!message.empty()) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

inline vz::TVZVariant dateTime(int32_t day, int32_t ms) {
  vz::TVZVariant x;
  x.setDateTime(day, ms);
  return x;
}
inline vz::TVZVariant nullOf(vz::StorageType type) { return vz::TVZVariant(type); }

#define VALUES_TEST_MAKER(name, setter, type) \
  inline vz::TVZVariant name(type v) {        \
    vz::TVZVariant x;                         \
    x.setter(v);                              \
    return x;                                 \
  }
VALUES_TEST_MAKER(integer, setInteger, int32_t)
VALUES_TEST_MAKER(floating, setFloat, double)
VALUES_TEST_MAKER(text, setString, std::string_view)
VALUES_TEST_MAKER(date, setDate, int32_t)
VALUES_TEST_MAKER(shortInt, setShortInt, int8_t)
VALUES_TEST_MAKER(smallInt, setSmallInt, int16_t)
VALUES_TEST_MAKER(largeInt, setLargeInt, int64_t)
VALUES_TEST_MAKER(byte, setByte, uint8_t)
VALUES_TEST_MAKER(word, setWord, uint16_t)
VALUES_TEST_MAKER(cardinal, setCardinal, uint32_t)
VALUES_TEST_MAKER(single, setSingle, float)
VALUES_TEST_MAKER(extended, setExtended, long double)
VALUES_TEST_MAKER(time, setTime, int32_t)
VALUES_TEST_MAKER(logical, setLogical, bool)
VALUES_TEST_MAKER(currency, setCurrency, double)
VALUES_TEST_MAKER(memo, setMemo, std::string_view)
VALUES_TEST_MAKER(wide, setWideString, std::u16string_view)
VALUES_TEST_MAKER(blob, setBlob, std::string_view)
#undef VALUES_TEST_MAKER

// A present value of any storage type, for sweeps over all types.
inline vz::TVZVariant sampleOf(vz::StorageType type) {
  namespace st = vz::storage_type;
  vz::TVZVariant x(type);
  switch (type) {
    case st::Char: x.setChar("1"); break;
    case st::WideChar: x.setWideChar(u"1"); break;
    case st::String: x.setString("1"); break;
    case st::WideString: x.setWideString(u"1"); break;
    case st::ShortInt: x.setShortInt(1); break;
    case st::SmallInt: x.setSmallInt(1); break;
    case st::Integer: x.setInteger(1); break;
    case st::LargeInt: x.setLargeInt(1); break;
    case st::Byte: x.setByte(1); break;
    case st::Word: x.setWord(1); break;
    case st::Cardinal: x.setCardinal(1); break;
    case st::Single: x.setSingle(1); break;
    case st::Float: x.setFloat(1); break;
    case st::Extended: x.setExtended(1); break;
    case st::Date: x.setDate(738900); break;
    case st::Time: x.setTime(1000); break;
    case st::DateTime: x.setDateTime(738900, 1000); break;
    case st::Blob: x.setBlob("1"); break;
    case st::Memo: x.setMemo("1"); break;
    case st::WideMemo: x.setWideMemo(u"1"); break;
    case st::Logical: x.setLogical(true); break;
    case st::Currency: x.setCurrency(1); break;
    case st::Bytes: x.setBytes("1"); break;
    case st::VarBytes: x.setVarBytes("1"); break;
    default: break;
  }
  return x;
}

}  // namespace values_test
