// Comparison of values and of data buffers.
//
// Nulls come first. Two values of one type (other than MEMO and WIDEMEMO)
// compare their data directly; otherwise both are converted to their common
// type for comparison, in which a text meets a date or time as that date or
// time. Texts and BYTES compare by the user locale's collation (string sort:
// punctuation counts), optionally ignoring case; numbers as numbers, with a
// NaN equal to everything; LOGICAL false before true. BLOB and VARBYTES have
// no order.
#include <cmath>
#include <string>

#include "dbengine/storage/value_encoding.h"
#include "dbengine/storage/variant_casts.h"
#include "dbengine/storage/vz_variant.h"
#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/locale.h"

namespace vz {
namespace {

namespace st = storage_type;
namespace enc = encoding;

[[noreturn]] void throwDataMissing() { throw platform::EVZException(30140, "Value is Null"); }

template <typename T>
CompareResult order(const T& a, const T& b) {
  if (a < b) return CompareResult::Less;
  if (b < a) return CompareResult::Greater;
  return CompareResult::Equal;
}

CompareResult signOf(int r) {
  return r < 0 ? CompareResult::Less : r > 0 ? CompareResult::Greater : CompareResult::Equal;
}

// `limit` >= 0 compares at most that many characters; `partial` limits the
// comparison to the right text's length.
CompareResult compareData(StorageType t, const uint8_t* a, int32_t aSize, const uint8_t* b, int32_t bSize,
                          bool ignoreCase, int32_t limit, bool partial) {
  if (!a || !b) throwDataMissing();
  const int32_t fixed = fixedValueSize(t);
  if (fixed > 0 && (aSize < fixed || bSize < fixed)) throwDataMissing();

  if (isAnsiTextType(t) || t == st::Bytes) {
    std::string x = enc::ansiText(a, aSize), y = enc::ansiText(b, bSize);
    if (partial) limit = int32_t(y.size());
    if (limit >= 0) {
      if (x.size() > size_t(limit)) x.resize(size_t(limit));
      if (y.size() > size_t(limit)) y.resize(size_t(limit));
    }
    return signOf(platform::compareAnsi(x, y, ignoreCase));
  }
  if (isWideTextType(t)) {
    std::u16string x = enc::wideText(a, aSize), y = enc::wideText(b, bSize);
    if (partial) limit = int32_t(y.size());
    if (limit >= 0) {
      if (x.size() > size_t(limit)) x.resize(size_t(limit));
      if (y.size() > size_t(limit)) y.resize(size_t(limit));
    }
    return signOf(platform::compareWide(x, y, ignoreCase));
  }
  if (isIntegerType(t)) return order(enc::loadInteger(t, a), enc::loadInteger(t, b));
  if (isFloatType(t) || t == st::Currency) return order(enc::loadFloat(t, a), enc::loadFloat(t, b));
  switch (t) {
    case st::Date:
    case st::Time: return order(platform::loadI32(a), platform::loadI32(b));
    case st::DateTime: {
      const CompareResult days = order(platform::loadI32(a), platform::loadI32(b));
      return days != CompareResult::Equal ? days : order(platform::loadI32(a + 4), platform::loadI32(b + 4));
    }
    case st::Logical: return order(platform::loadI16(a) != 0, platform::loadI16(b) != 0);
    default:
      throw platform::EVZException(30047, "Unknown DataType: '%s'", {std::string(storageTypeName(t))});
  }
}

CompareResult compareAny(StorageType lt, const uint8_t* l, int32_t lSize, bool lNull, StorageType rt,
                         const uint8_t* r, int32_t rSize, bool rNull, bool ignoreCase, int32_t limit,
                         bool partial) {
  if (lNull && rNull) return CompareResult::BothNull;
  if (lNull) return CompareResult::LeftNull;
  if (rNull) return CompareResult::RightNull;
  if (lt == rt && lt != st::Memo && lt != st::WideMemo)
    return compareData(lt, l, lSize, r, rSize, ignoreCase, limit, partial);
  const StorageType c = commonType(lt, rt, CommonTypeUse::Comparison);
  if (c == st::None) {
    throw platform::EVZException(30044, "Cannot compare Incompatible DataTypes: '%s' and '%s'",
                                 {std::string(storageTypeName(lt)), std::string(storageTypeName(rt))});
  }
  if (!l || !r) throwDataMissing();
  std::vector<uint8_t> lc, rc;
  if (lt != c) {
    lc = convertValue(lt, l, lSize, c);
    l = lc.data();
    lSize = int32_t(lc.size());
  }
  if (rt != c) {
    rc = convertValue(rt, r, rSize, c);
    r = rc.data();
    rSize = int32_t(rc.size());
  }
  return compareData(c, l, lSize, r, rSize, ignoreCase, limit, partial);
}

}  // namespace

CompareResult compareBuffers(StorageType leftType, const uint8_t* left, int32_t leftSize, bool leftNull,
                             StorageType rightType, const uint8_t* right, int32_t rightSize, bool rightNull,
                             bool caseInsensitive, int32_t length) {
  return compareAny(leftType, left, leftSize, leftNull, rightType, right, rightSize, rightNull, caseInsensitive,
                    length, false);
}

CompareResult TVZVariant::compareWithNulls(const TVZVariant& other, bool caseInsensitive, bool partial) const {
  return compareAny(type_, data(), size_, isNull(), other.type_, other.data(), other.size_, other.isNull(),
                    caseInsensitive, -1, partial);
}

int TVZVariant::compare(const TVZVariant& other, bool caseInsensitive, bool partial) const {
  switch (compareWithNulls(other, caseInsensitive, partial)) {
    case CompareResult::Less:
    case CompareResult::LeftNull: return -1;
    case CompareResult::Greater:
    case CompareResult::RightNull: return 1;
    default: return 0;
  }
}

}  // namespace vz
