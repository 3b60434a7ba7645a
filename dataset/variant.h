// The tagged value in which field values, parameters and query results move
// between the installer, the datasets and the engines.
//
// Conversions follow the rules of the desktop toolkit's variants:
// - Empty converts to 0, "", False and the date-time 0; Null converts to no
//   other type (EVariantTypeCastError "Could not convert variant of type
//   (Null) into type (...)").
// - Booleans are -1 (True) and 0 (False) as numbers, "True" and "False" as
//   texts; numbers are True when not zero.
// - Floating-point, currency and date-time values become integers by rounding
//   half to even; a value outside the target's range raises
//   EVariantOverflowError.
// - Numbers become texts as the locale writes them (floatToText,
//   currencyToText); date-times by dateTimeToText (no time part at midnight).
// - Texts become numbers by the locale's text-to-number rules; "True" and
//   "False" (any case) are accepted where a number is expected; any other text
//   that is no number raises the number parser's EConvertError. Texts become
//   date-times by the locale's date and time forms.
// - Texts and byte arrays convert into each other byte for byte.
// Texts are Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/errors.h"

namespace dataset {

// Type codes and names are the toolkit's (the names appear in messages).
enum class VarType : uint16_t {
  Empty = 0x0000,
  Null = 0x0001,
  Smallint = 0x0002,  // 16-bit signed
  Integer = 0x0003,   // 32-bit signed
  Single = 0x0004,
  Double = 0x0005,
  Currency = 0x0006,  // 64-bit count of 1/10000
  Date = 0x0007,      // date-time number: days since 1899-12-30, time as fraction
  Boolean = 0x000B,
  ShortInt = 0x0010,  // 8-bit signed
  Byte = 0x0011,      // 8-bit unsigned
  Word = 0x0012,      // 16-bit unsigned
  LongWord = 0x0013,  // 32-bit unsigned
  Int64 = 0x0014,
  String = 0x0100,    // Windows-1252 text
  Bytes = 0x2011,     // array of bytes
};

// "Empty", "Null", "Smallint", ..., "String", "Array Byte".
std::string_view varTypeName(VarType type);

// A number outside the range of the type it is converted to:
// "Overflow while converting variant of type (%s) into type (%s)".
class EVariantOverflowError : public platform::Exception {
 public:
  EVariantOverflowError(VarType from, VarType to);
};

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(bool v) : type_(VarType::Boolean), data_(v) {}
  Variant(int8_t v) : type_(VarType::ShortInt), data_(int64_t(v)) {}
  Variant(int16_t v) : type_(VarType::Smallint), data_(int64_t(v)) {}
  Variant(int32_t v) : type_(VarType::Integer), data_(int64_t(v)) {}
  Variant(int64_t v) : type_(VarType::Int64), data_(v) {}
  Variant(uint8_t v) : type_(VarType::Byte), data_(int64_t(v)) {}
  Variant(uint16_t v) : type_(VarType::Word), data_(int64_t(v)) {}
  Variant(uint32_t v) : type_(VarType::LongWord), data_(int64_t(v)) {}
  Variant(float v) : type_(VarType::Single), data_(double(v)) {}
  Variant(double v) : type_(VarType::Double), data_(v) {}
  Variant(const char* v) : type_(VarType::String), data_(std::string(v)) {}
  Variant(std::string v) : type_(VarType::String), data_(std::move(v)) {}
  Variant(std::string_view v) : type_(VarType::String), data_(std::string(v)) {}
  Variant(std::vector<uint8_t> v) : type_(VarType::Bytes), data_(std::move(v)) {}
  // A char is neither a number nor a text here; say which.
  Variant(char) = delete;

  static Variant null();
  // An amount in units of 1/10000.
  static Variant fromCurrency(int64_t units);
  static Variant fromDateTime(double dateTime);

  VarType type() const { return type_; }
  bool isEmpty() const { return type_ == VarType::Empty; }
  bool isNull() const { return type_ == VarType::Null; }
  // Null or Empty: no value at all.
  bool isClear() const { return isEmpty() || isNull(); }
  bool isNumeric() const;

  // The value converted to the given type, as a new variant.
  Variant asType(VarType type) const;

  bool toBoolean() const;
  int32_t toInteger() const;
  int64_t toInt64() const;
  double toDouble() const;
  int64_t toCurrency() const;  // units of 1/10000
  double toDateTime() const;
  std::string toString() const;
  std::vector<uint8_t> toBytes() const;

  // Same type and same value (a Single and a Double of equal value differ).
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  Variant(VarType type, std::variant<std::monostate, bool, int64_t, double, std::string,
                                     std::vector<uint8_t>> data)
      : type_(type), data_(std::move(data)) {}

  // Integer value in [min, max] for the target type `to`.
  int64_t integerValue(VarType to, int64_t min, int64_t max) const;
  [[noreturn]] void castError(VarType to) const;

  VarType type_ = VarType::Empty;
  // Integers of every width in int64_t, Single/Double/Date in double,
  // Currency in int64_t units.
  std::variant<std::monostate, bool, int64_t, double, std::string, std::vector<uint8_t>> data_;
};

}  // namespace dataset
