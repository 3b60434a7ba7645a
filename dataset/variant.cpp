#include "dataset/variant.h"

#include <cmath>
#include <limits>

#include "platform/locale.h"
#include "platform/float_text.h"

namespace dataset {
namespace {

constexpr int64_t kCurrencyScale = 10000;
// The largest whole amount a currency can hold.
constexpr int64_t kCurrencyMaxWhole = std::numeric_limits<int64_t>::max() / kCurrencyScale;

// Round half to even, as the toolkit rounds floating-point values to integers
// (the default rounding mode of the floating-point unit).
double roundHalfEven(double v) { return std::nearbyint(v); }

// Currency units to whole units, half to even.
int64_t roundCurrency(int64_t units) {
  int64_t q = units / kCurrencyScale;
  int64_t r = units % kCurrencyScale;
  if (r > kCurrencyScale / 2 || (r == kCurrencyScale / 2 && (q & 1))) ++q;
  if (r < -kCurrencyScale / 2 || (r == -kCurrencyScale / 2 && (q & 1))) --q;
  return q;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 32);
    if (y >= 'a' && y <= 'z') y = char(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// "True" / "False" in any case, blanks around allowed.
bool tryBooleanWord(std::string_view text, bool& out) {
  std::string_view t = trimBlanks(text);
  if (equalsIgnoringAsciiCase(t, "True")) {
    out = true;
    return true;
  }
  if (equalsIgnoringAsciiCase(t, "False")) {
    out = false;
    return true;
  }
  return false;
}

}  // namespace

std::string_view varTypeName(VarType type) {
  switch (type) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Smallint: return "Smallint";
    case VarType::Integer: return "Integer";
    case VarType::Single: return "Single";
    case VarType::Double: return "Double";
    case VarType::Currency: return "Currency";
    case VarType::Date: return "Date";
    case VarType::Boolean: return "Boolean";
    case VarType::ShortInt: return "ShortInt";
    case VarType::Byte: return "Byte";
    case VarType::Word: return "Word";
    case VarType::LongWord: return "LongWord";
    case VarType::Int64: return "Int64";
    case VarType::String: return "String";
    case VarType::Bytes: return "Array Byte";
  }
  return "Unknown";
}

EVariantOverflowError::EVariantOverflowError(VarType from, VarType to)
    : Exception("Overflow while converting variant of type (" + std::string(varTypeName(from)) +
                ") into type (" + std::string(varTypeName(to)) + ")") {}

Variant Variant::null() { return Variant(VarType::Null, std::monostate{}); }

Variant Variant::fromCurrency(int64_t units) { return Variant(VarType::Currency, units); }

Variant Variant::fromDateTime(double dateTime) { return Variant(VarType::Date, dateTime); }

bool Variant::isNumeric() const {
  switch (type_) {
    case VarType::Smallint:
    case VarType::Integer:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::ShortInt:
    case VarType::Byte:
    case VarType::Word:
    case VarType::LongWord:
    case VarType::Int64:
      return true;
    default:
      return false;
  }
}

void Variant::castError(VarType to) const {
  throw platform::EVariantTypeCastError(varTypeName(type_), varTypeName(to));
}

int64_t Variant::integerValue(VarType to, int64_t min, int64_t max) const {
  int64_t v = 0;
  switch (type_) {
    case VarType::Empty:
      return 0;
    case VarType::Null:
    case VarType::Bytes:
      castError(to);
    case VarType::Boolean:
      return std::get<bool>(data_) ? -1 : 0;
    case VarType::Smallint:
    case VarType::Integer:
    case VarType::ShortInt:
    case VarType::Byte:
    case VarType::Word:
    case VarType::LongWord:
    case VarType::Int64:
      v = std::get<int64_t>(data_);
      break;
    case VarType::Currency:
      v = roundCurrency(std::get<int64_t>(data_));
      break;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date: {
      double d = roundHalfEven(std::get<double>(data_));
      // 2^63 is the first double beyond int64_t.
      if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) throw EVariantOverflowError(type_, to);
      v = int64_t(d);
      break;
    }
    case VarType::String: {
      const std::string& s = std::get<std::string>(data_);
      bool b;
      double d;
      if (platform::tryTextToInt64(s, v)) break;
      if (platform::tryTextToFloat(s, d)) {
        d = roundHalfEven(d);
        if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) throw EVariantOverflowError(type_, to);
        v = int64_t(d);
        break;
      }
      if (tryBooleanWord(s, b)) return b ? -1 : 0;
      // The number parser's own error for a text that is no number.
      if (to == VarType::Int64) return platform::textToInt64(s);
      return platform::textToInt(s);
    }
  }
  if (v < min || v > max) throw EVariantOverflowError(type_, to);
  return v;
}

bool Variant::toBoolean() const {
  switch (type_) {
    case VarType::Empty:
      return false;
    case VarType::Boolean:
      return std::get<bool>(data_);
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return std::get<double>(data_) != 0;
    case VarType::String: {
      const std::string& s = std::get<std::string>(data_);
      bool b;
      if (tryBooleanWord(s, b)) return b;
      double d;
      if (platform::tryTextToFloat(s, d)) return d != 0;
      castError(VarType::Boolean);
    }
    case VarType::Null:
    case VarType::Bytes:
      castError(VarType::Boolean);
    default:
      return std::get<int64_t>(data_) != 0;  // integers and currency units
  }
}

int32_t Variant::toInteger() const {
  return int32_t(integerValue(VarType::Integer, std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max()));
}

int64_t Variant::toInt64() const {
  return integerValue(VarType::Int64, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
}

double Variant::toDouble() const {
  switch (type_) {
    case VarType::Empty:
      return 0;
    case VarType::Null:
    case VarType::Bytes:
      castError(VarType::Double);
    case VarType::Boolean:
      return std::get<bool>(data_) ? -1 : 0;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return std::get<double>(data_);
    case VarType::Currency:
      return double(std::get<int64_t>(data_)) / kCurrencyScale;
    case VarType::String: {
      const std::string& s = std::get<std::string>(data_);
      double d;
      bool b;
      if (platform::tryTextToFloat(s, d)) return d;
      if (tryBooleanWord(s, b)) return b ? -1 : 0;
      return platform::textToFloat(s);
    }
    default:
      return double(std::get<int64_t>(data_));
  }
}

int64_t Variant::toCurrency() const {
  auto fromWhole = [this](int64_t v) {
    if (v > kCurrencyMaxWhole || v < -kCurrencyMaxWhole) throw EVariantOverflowError(type_, VarType::Currency);
    return v * kCurrencyScale;
  };
  auto fromFloat = [this](double d) {
    double units = roundHalfEven(d * kCurrencyScale);
    if (!(units > -9223372036854775808.0 && units < 9223372036854775808.0))
      throw EVariantOverflowError(type_, VarType::Currency);
    return int64_t(units);
  };
  switch (type_) {
    case VarType::Empty:
      return 0;
    case VarType::Null:
    case VarType::Bytes:
      castError(VarType::Currency);
    case VarType::Boolean:
      return std::get<bool>(data_) ? -kCurrencyScale : 0;
    case VarType::Currency:
      return std::get<int64_t>(data_);
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
      return fromFloat(std::get<double>(data_));
    case VarType::String: {
      const std::string& s = std::get<std::string>(data_);
      int64_t units;
      bool b;
      if (platform::tryTextToCurrency(s, units)) return units;
      if (tryBooleanWord(s, b)) return b ? -kCurrencyScale : 0;
      double d;
      // A number too large for a currency amount overflows; anything else is
      // no number at all.
      if (platform::tryTextToFloat(s, d)) return fromFloat(d);
      return platform::textToCurrency(s);
    }
    default:
      return fromWhole(std::get<int64_t>(data_));
  }
}

double Variant::toDateTime() const {
  switch (type_) {
    case VarType::String: {
      const std::string& s = std::get<std::string>(data_);
      double d;
      if (platform::tryTextToDateTime(s, d)) return d;
      throw platform::EConvertError("'" + s + "' is not a valid date and time");
    }
    case VarType::Null:
    case VarType::Bytes:
      castError(VarType::Date);
    default:
      return toDouble();
  }
}

std::string Variant::toString() const {
  switch (type_) {
    case VarType::Empty:
      return {};
    case VarType::Null:
      castError(VarType::String);
    case VarType::Boolean:
      return std::get<bool>(data_) ? "True" : "False";
    case VarType::Single:
    case VarType::Double:
      return platform::floatToText(std::get<double>(data_), platform::formatSettings());
    case VarType::Currency:
      return platform::currencyToText(std::get<int64_t>(data_), platform::formatSettings());
    case VarType::Date:
      return platform::dateTimeToText(std::get<double>(data_));
    case VarType::String:
      return std::get<std::string>(data_);
    case VarType::Bytes: {
      const auto& b = std::get<std::vector<uint8_t>>(data_);
      return std::string(b.begin(), b.end());
    }
    default:
      return std::to_string(std::get<int64_t>(data_));
  }
}

std::vector<uint8_t> Variant::toBytes() const {
  switch (type_) {
    case VarType::Empty:
      return {};
    case VarType::Bytes:
      return std::get<std::vector<uint8_t>>(data_);
    case VarType::String: {
      const std::string& s = std::get<std::string>(data_);
      return std::vector<uint8_t>(s.begin(), s.end());
    }
    default:
      castError(VarType::Bytes);
  }
}

Variant Variant::asType(VarType type) const {
  if (type == type_) return *this;
  switch (type) {
    case VarType::Empty: return Variant();
    case VarType::Null: return null();
    case VarType::Boolean: return Variant(toBoolean());
    case VarType::ShortInt: return Variant(int8_t(integerValue(type, INT8_MIN, INT8_MAX)));
    case VarType::Smallint: return Variant(int16_t(integerValue(type, INT16_MIN, INT16_MAX)));
    case VarType::Integer: return Variant(toInteger());
    case VarType::Int64: return Variant(toInt64());
    case VarType::Byte: return Variant(uint8_t(integerValue(type, 0, UINT8_MAX)));
    case VarType::Word: return Variant(uint16_t(integerValue(type, 0, UINT16_MAX)));
    case VarType::LongWord: return Variant(uint32_t(integerValue(type, 0, UINT32_MAX)));
    case VarType::Single: {
      double d = toDouble();
      if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max())
        throw EVariantOverflowError(type_, type);
      return Variant(float(d));
    }
    case VarType::Double: return Variant(toDouble());
    case VarType::Currency: return fromCurrency(toCurrency());
    case VarType::Date: return fromDateTime(toDateTime());
    case VarType::String: return Variant(toString());
    case VarType::Bytes: return Variant(toBytes());
  }
  castError(type);
}

bool operator==(const Variant& a, const Variant& b) { return a.type_ == b.type_ && a.data_ == b.data_; }

}  // namespace dataset
