// The cast rules: which conversions exist between storage types, and what
// each gives. Text forms are in value_text_forms.h.
#include "dbengine/storage/variant_casts.h"

#include <cmath>

#include "dbengine/storage/day_numbers.h"
#include "dbengine/storage/value_encoding.h"
#include "dbengine/storage/value_text_forms.h"
#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/locale.h"

namespace vz {
namespace {

namespace st = storage_type;
namespace enc = encoding;
namespace tf = text_forms;

bool isTextLike(StorageType s) { return isTextType(s) || s == st::Memo || s == st::WideMemo; }
bool isNumber(StorageType s) { return isIntegerType(s) || isFloatType(s) || s == st::Currency; }

using Bytes = std::vector<uint8_t>;

Bytes fixedBuffer(StorageType to) { return Bytes(size_t(fixedValueSize(to)), 0); }

Bytes textOut(StorageType to, std::string_view ansi) {
  return isWideTextType(to) ? enc::wideTextBytes(platform::ansiToWide(ansi)) : enc::ansiTextBytes(ansi);
}

Bytes int32Out(int32_t v) {
  Bytes out(4);
  platform::storeI32(out.data(), v);
  return out;
}

Bytes dateTimeOut(int32_t day, int32_t ms) {
  Bytes out(8);
  platform::storeI32(out.data(), day);
  platform::storeI32(out.data() + 4, ms);
  return out;
}

Bytes logicalOut(bool v) {
  Bytes out(2);
  platform::storeI16(out.data(), v ? -1 : 0);
  return out;
}

Bytes floatOut(StorageType to, long double v) {
  Bytes out = fixedBuffer(to);
  enc::storeFloat(to, out.data(), v);
  return out;
}

// Truncation toward zero into 64 bits; false for NaN, infinities and values
// outside the 64-bit range.
bool truncToInt64(long double v, int64_t& out) {
  if (!std::isfinite(v)) return false;
  const long double t = std::trunc(v);
  if (t < -9223372036854775808.0L || t >= 9223372036854775808.0L) return false;
  out = int64_t(t);
  return true;
}

bool truncToInt32(long double v, int32_t& out) {
  int64_t t;
  if (!truncToInt64(v, t) || t < INT32_MIN || t > INT32_MAX) return false;
  out = int32_t(t);
  return true;
}

class Caster {
 public:
  Caster(StorageType from, StorageType to) : from_(from), to_(to) {}

  [[noreturn]] void fail() const { throwCastError(30051, from_, to_); }

  Bytes fromInteger(int64_t v) const {
    if (isTextType(to_)) return textOut(to_, tf::writeInteger(v));
    if (isIntegerType(to_)) {
      Bytes out = fixedBuffer(to_);
      enc::storeInteger(to_, out.data(), v);
      return out;
    }
    if (isFloatType(to_) || to_ == st::Currency) return floatOut(to_, static_cast<long double>(v));
    switch (to_) {
      case st::Date:
      case st::Time: return int32Out(int32_t(uint32_t(uint64_t(v))));
      case st::DateTime: return dateTimeOut(int32_t(uint32_t(uint64_t(v))), 0);
      case st::Logical: return logicalOut(v != 0);
      default: throwCastError(30052, from_, to_);
    }
  }

  Bytes fromFloat(long double v) const {
    if (isTextType(to_)) return textOut(to_, tf::writeFloat(v));
    if (isIntegerType(to_)) {
      int64_t t;
      if (!truncToInt64(v, t)) fail();
      return fromInteger(t);
    }
    if (isFloatType(to_) || to_ == st::Currency) return floatOut(to_, v);
    switch (to_) {
      case st::Date: {
        int32_t day;
        if (!truncToInt32(v, day)) fail();
        return int32Out(day);
      }
      case st::Time: {
        int64_t t;
        if (!truncToInt64(v, t)) fail();
        return int32Out(int32_t(t % kMillisecondsPerDay));
      }
      case st::DateTime: {
        int32_t day;
        if (!truncToInt32(v, day)) fail();
        const long double frac = v - std::trunc(v);
        return dateTimeOut(day, int32_t(std::trunc(frac * kMillisecondsPerDay)));
      }
      case st::Logical: return logicalOut(v != 0);
      default: throwCastError(30052, from_, to_);
    }
  }

  Bytes fromDate(int32_t day) const {
    if (isTextType(to_)) {
      std::string text;
      if (day != kEmptyDate && !tf::writeDate(day, text)) fail();
      return textOut(to_, text);
    }
    if (isNumber(to_)) return fromInteger(day);
    switch (to_) {
      case st::Time: return int32Out(day % kMillisecondsPerDay);
      case st::DateTime: return dateTimeOut(day, 0);
      case st::Logical: return logicalOut(day != kEmptyDate);
      default: throwCastError(30052, from_, to_);
    }
  }

  Bytes fromTime(int32_t ms) const {
    if (isTextType(to_)) return textOut(to_, ms == 0 ? std::string() : tf::writeTime(ms));
    if (isNumber(to_)) return fromInteger(ms);
    switch (to_) {
      case st::Date: return int32Out(ms);
      case st::DateTime: return dateTimeOut(kEmptyDate, ms);
      case st::Logical: return logicalOut(ms != 0);
      default: throwCastError(30052, from_, to_);
    }
  }

  Bytes fromDateTime(int32_t day, int32_t ms) const {
    const bool empty = day == kEmptyDate && ms == 0;
    if (isTextType(to_)) {
      std::string text;
      if (!empty && !tf::writeDateTime({day, ms}, text)) fail();
      return textOut(to_, text);
    }
    if (isIntegerType(to_)) return fromInteger(day);
    if (isFloatType(to_) || to_ == st::Currency) {
      const long double days = day == kEmptyDate ? 0 : day;
      return floatOut(to_, days + static_cast<long double>(ms) / kMillisecondsPerDay);
    }
    switch (to_) {
      case st::Date: return int32Out(day);
      case st::Time: return int32Out(ms);
      case st::Logical: return logicalOut(!empty);
      default: throwCastError(30052, from_, to_);
    }
  }

  Bytes fromLogical(bool v) const {
    if (isTextType(to_)) return textOut(to_, v ? "True" : "False");
    if (isNumber(to_) && to_ != st::Currency) return fromInteger(v ? 1 : 0);
    throwCastError(30052, from_, to_);
  }

  Bytes fromCurrency(double amount) const {
    if (isTextType(to_)) {
      std::string text;
      if (!tf::writeCurrency(amount, text)) fail();
      return textOut(to_, text);
    }
    if (isIntegerType(to_) || isFloatType(to_) || to_ == st::Logical) return fromFloat(amount);
    throwCastError(30052, from_, to_);
  }

  // A text of any kind. `wide` tells which of the two forms is the original;
  // the ANSI form is always given. Wide texts and MEMOs are read as dates and
  // times by the locale's forms only; a MEMO reads LARGEINT at 32 bits.
  Bytes fromText(const std::string& ansi, const std::u16string* wide, bool fixedForms, bool memo) const {
    if (isAnsiTextType(to_)) return enc::ansiTextBytes(ansi);
    if (isWideTextType(to_)) return enc::wideTextBytes(wide ? *wide : platform::ansiToWide(ansi));
    if (to_ == st::Blob) return wide ? enc::wideTextBytes(*wide) : enc::ansiTextBytes(ansi);
    if (isIntegerType(to_)) {
      int64_t v;
      if (to_ == st::LargeInt && !memo) {
        if (!tf::readInt64(ansi, v)) fail();
      } else {
        int32_t v32;
        if (!tf::readInt32(ansi, v32)) fail();
        v = v32;
      }
      return fromInteger(v);
    }
    if (isFloatType(to_)) {
      long double v;
      if (!tf::readFloat(ansi, v)) fail();
      return floatOut(to_, v);
    }
    switch (to_) {
      case st::Currency: {
        double amount;
        if (!tf::readCurrency(ansi, amount)) fail();
        return floatOut(to_, amount);
      }
      case st::Logical: {
        const std::string upper = platform::upperAnsi(ansi);
        return logicalOut(upper == "1" || upper == "TRUE");
      }
      case st::Date:
      case st::DateTime: {
        DayAndTime dt;
        if (!(fixedForms && fixedDate(ansi, dt))) {
          if (to_ == st::Date) {
            if (!tf::readLocaleDate(ansi, dt.day)) fail();
            dt.milliseconds = 0;
          } else if (!tf::readLocaleDateTime(ansi, dt)) {
            fail();
          }
        }
        return to_ == st::Date ? int32Out(dt.day) : dateTimeOut(dt.day, dt.milliseconds);
      }
      case st::Time: {
        int32_t ms = 0;
        const tf::FixedMatch m = fixedForms ? tf::readFixedTime(ansi, ms) : tf::FixedMatch::NoMatch;
        if (m == tf::FixedMatch::Invalid) fail();
        if (m == tf::FixedMatch::NoMatch && !tf::readLocaleTime(ansi, ms)) fail();
        return int32Out(ms);
      }
      default: throwCastError(30052, from_, to_);
    }
  }

 private:
  // The long fixed form, then the short one; a match naming no real date or
  // time fails the conversion.
  bool fixedDate(const std::string& text, DayAndTime& out) const {
    for (bool withTime : {true, false}) {
      const tf::FixedMatch m = tf::readFixedDate(text, withTime, out);
      if (m == tf::FixedMatch::Invalid) fail();
      if (m == tf::FixedMatch::Valid) return true;
    }
    return false;
  }

  StorageType from_;
  StorageType to_;
};

}  // namespace

void throwCastError(int32_t code, StorageType from, StorageType to) {
  throw platform::EVZException(code, "Cannot cast from '%s' to '%s'",
                               {std::string(storageTypeName(from)), std::string(storageTypeName(to))});
}

bool castListed(StorageType from, StorageType to) {
  if (!isValidStorageType(from) || !isValidStorageType(to)) return false;
  if (from == to) return true;
  if (isAnsiTextType(from) && isAnsiTextType(to)) return true;
  if (isWideTextType(from) && isWideTextType(to)) return true;
  const bool toText = isTextType(to);
  const bool toNumber = isNumber(to);
  if (isTextLike(from))
    return toText || toNumber || isDateTimeType(to) || to == st::Logical || to == st::Blob;
  if (isIntegerType(from) || isFloatType(from))
    return toText || toNumber || isDateTimeType(to) || to == st::Logical;
  switch (from) {
    case st::Date:
    case st::Time:
    case st::DateTime: return toText || toNumber || isDateTimeType(to) || to == st::Logical;
    case st::Logical: return toText || isIntegerType(to) || isFloatType(to);
    case st::Currency: return toText || isIntegerType(to) || isFloatType(to) || to == st::Logical;
    default: return false;  // BLOB, BYTES, VARBYTES
  }
}

std::vector<uint8_t> convertValue(StorageType from, const uint8_t* data, int32_t size, StorageType to) {
  if (!castListed(from, to)) throwCastError(30052, from, to);
  const int32_t fixed = fixedValueSize(from);
  if (fixed > 0 && size != fixed) throwCastError(30051, from, to);
  if (size < 0 || (size > 0 && !data)) throwCastError(30051, from, to);

  if (from == to && !isTextType(from)) return Bytes(data, data + size);
  const Caster c(from, to);
  if (isAnsiTextType(from)) return c.fromText(enc::ansiText(data, size), nullptr, true, false);
  if (isWideTextType(from)) {
    const std::u16string wide = enc::wideText(data, size);
    return c.fromText(platform::wideToAnsi(wide), &wide, false, false);
  }
  if (from == st::Memo) {
    return c.fromText(std::string(reinterpret_cast<const char*>(data), size_t(size)), nullptr, false, true);
  }
  if (from == st::WideMemo) {
    const std::u16string wide = enc::wideFromUnits(data, size);
    return c.fromText(platform::wideToAnsi(wide), &wide, false, true);
  }
  if (isIntegerType(from)) return c.fromInteger(enc::loadInteger(from, data));
  if (isFloatType(from)) return c.fromFloat(enc::loadFloat(from, data));
  switch (from) {
    case st::Date: return c.fromDate(platform::loadI32(data));
    case st::Time: return c.fromTime(platform::loadI32(data));
    case st::DateTime: return c.fromDateTime(platform::loadI32(data), platform::loadI32(data + 4));
    case st::Logical: return c.fromLogical(platform::loadI16(data) != 0);
    case st::Currency: return c.fromCurrency(platform::loadF64(data));
    default: throwCastError(30052, from, to);
  }
}

}  // namespace vz
