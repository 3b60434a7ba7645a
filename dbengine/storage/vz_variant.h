// TVZVariant: every value the engine moves between its layers. A storage
// type code, the value's bytes in that type's encoding, and a null marker.
//
// A value is null when its null marker is not 0 or it has no data buffer. A
// text keeps its terminator: an ANSI text of n characters has size n + 1, a
// wide text 2 * (n + 1). A value may borrow a buffer that belongs to someone
// else (a record's field bytes, another value's data): it never frees or
// writes through it, and its next change replaces it with a buffer of its own.
//
// The text forms that conversions read and write are described in
// value_text_forms.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbengine/storage/data_types.h"
#include "dbengine/storage/platform_variant.h"

namespace vz {

class TVZStream;

// Outcome of comparing two values. The null cases are reported apart for
// callers that order nulls themselves; compare() maps them to Less, Greater
// and Equal (a null sorts before every value and equals another null).
enum class CompareResult : int8_t {
  Less = -1,
  Equal = 0,
  Greater = 1,
  LeftNull = 2,
  RightNull = 3,
  BothNull = 4,
};

struct DayTime {
  int32_t day = 0;
  int32_t milliseconds = 0;
};

class TVZVariant {
 public:
  static constexpr uint8_t kNullMarker = 255;

  TVZVariant() = default;
  // A null value of the type.
  explicit TVZVariant(StorageType type) : type_(type) {}
  // Copies take their own buffer, also when the source borrows its bytes.
  TVZVariant(const TVZVariant& other);
  TVZVariant& operator=(const TVZVariant& other);
  TVZVariant(TVZVariant&& other) noexcept;
  TVZVariant& operator=(TVZVariant&& other) noexcept;
  ~TVZVariant() = default;

  StorageType type() const { return type_; }
  int32_t size() const { return size_; }
  // Null when there is no buffer.
  const uint8_t* data() const;
  bool isBorrowed() const { return borrowed_ != nullptr; }
  uint8_t nullMarker() const { return nullMarker_; }

  // Drops the data, sets the type and leaves the value null.
  void clear(StorageType type);
  // Marks the value null, keeping its type.
  void setNull() { nullMarker_ = kNullMarker; }
  bool isNull() const { return nullMarker_ != 0 || !hasBuffer(); }
  // Raises "Value is Null" (30016) for a null value.
  void checkNotNull() const;

  // Typed setters. A value without a type takes the setter's type; a value of
  // the setter's type stores the bytes as given (a fixed-width value in
  // place); a value of another type keeps its type and receives the
  // converted value (a failing conversion raises and leaves it null). An
  // empty text leaves the value null.
  void setChar(std::string_view ansi);
  void setString(std::string_view ansi);
  void setWideChar(std::u16string_view text);
  void setWideString(std::u16string_view text);
  void setShortInt(int8_t v);
  void setSmallInt(int16_t v);
  void setInteger(int32_t v);
  void setLargeInt(int64_t v);
  void setByte(uint8_t v);
  void setWord(uint16_t v);
  void setCardinal(uint32_t v);
  void setSingle(float v);
  void setFloat(double v);
  void setExtended(long double v);
  void setDate(int32_t dayNumber);
  void setTime(int32_t milliseconds);
  void setDateTime(int32_t dayNumber, int32_t milliseconds);
  void setLogical(bool v);
  void setCurrency(double amount);
  void setBlob(std::string_view bytes);
  void setMemo(std::string_view ansi);
  void setWideMemo(std::u16string_view text);
  void setBytes(std::string_view bytes);
  void setVarBytes(std::string_view bytes);
  // From a date-time number (see day_numbers.h).
  void setDateFromDateTimeNumber(double x);
  void setTimeFromDateTimeNumber(double x);
  void setDateTimeFromDateTimeNumber(double x);

  // Typed getters. A text getter gives the empty text for a null value; any
  // other getter raises "Value is Null" (30016). A value of another type is
  // converted into a temporary; the value itself does not change. A CHAR
  // request is a STRING request, a WIDECHAR request a WIDESTRING request.
  std::string asString() const;
  std::u16string asWideString() const;
  int8_t asShortInt() const;
  int16_t asSmallInt() const;
  int32_t asInteger() const;
  int64_t asLargeInt() const;
  uint8_t asByte() const;
  uint16_t asWord() const;
  uint32_t asCardinal() const;
  float asSingle() const;
  double asFloat() const;
  long double asExtended() const;
  int32_t asDate() const;
  int32_t asTime() const;
  DayTime asDateTime() const;
  bool asLogical() const;
  double asCurrency() const;
  // The BLOB's bytes: size - 1 bytes (the stored value ends with one zero).
  std::string asBlob() const;
  std::string asMemo() const;
  std::u16string asWideMemo() const;
  std::string asBytes() const;
  std::string asVarBytes() const;
  double dateAsDateTimeNumber() const;
  double timeAsDateTimeNumber() const;
  double dateTimeAsDateTimeNumber() const;

  // Characters of a text value: size - 1 (ANSI), size / 2 - 1 (wide); -1 for
  // a null value or a value that is no text.
  int32_t textLength() const;

  // Takes the other value's type, size and null marker, and either a copy of
  // its data or its buffer itself (borrowed).
  void assign(const TVZVariant& other, bool borrow = false);
  // The value becomes present with `size` bytes of `type` at `data`, copied
  // or borrowed. A fixed-width type needs exactly its data size; a text needs
  // room for its terminator ("Cannot copy data into new memory", 30054).
  void attach(StorageType type, const void* data, int32_t size, bool borrow);
  // Copies the data into a caller's buffer: "Buffer size exceeded" (20056)
  // when `capacity` is smaller than the size; false, copying nothing, for a
  // null value and for a text of at most a terminator.
  bool copyTo(void* buffer, int32_t capacity) const;

  // Converts the value in place. A conversion the cast rules do not list
  // raises "Cannot cast from '%s' to '%s'" (30052), one that fails on the
  // data the same text with 30051; either way the value stays as it was. A
  // null value only takes the new type.
  void cast(StorageType target);
  // As cast(), but a failing conversion leaves a null value of the target.
  void castOrNull(StorageType target);

  // The value stream format: type, null marker, then (present values only)
  // the int32 size and the data. Reading first clears the value.
  void writeTo(TVZStream& stream) const;
  void readFrom(TVZStream& stream);

  // The platform's generic variant. Setting follows the setter rules (a
  // typed value keeps its type); unsupported codes raise "Unsupported Variant
  // Type %s" (30113, setting; 30114, reading).
  void setFromPlatformVariant(const PlatformVariant& v);
  PlatformVariant toPlatformVariant() const;

  // Arithmetic in place: this <- -this, this <- this op other. The operands
  // meet in their common type; see variant_arithmetic.cpp for the rules.
  void negate();
  void add(const TVZVariant& other);
  void multiply(const TVZVariant& other);
  void divide(const TVZVariant& other);

  // -1, 0 or 1. With `partial`, texts are compared on at most as many
  // characters as the right value has.
  int compare(const TVZVariant& other, bool caseInsensitive = false, bool partial = false) const;
  CompareResult compareWithNulls(const TVZVariant& other, bool caseInsensitive = false,
                                 bool partial = false) const;

 private:
  bool hasBuffer() const { return borrowed_ != nullptr || ownsBuffer_; }
  // Makes the value own a buffer of n bytes (contents unspecified unless the
  // value already owned n bytes) and present.
  uint8_t* writableBuffer(int32_t n);
  void dropData();
  void setBytesOwned(StorageType type, std::vector<uint8_t>&& bytes);
  // The setter rule for a value given as `bytes` of `setterType`.
  void setTyped(StorageType setterType, const uint8_t* bytes, int32_t n);
  void setTypedText(StorageType setterType, std::vector<uint8_t>&& bytes, bool empty);
  // This value's data converted to `target` (a copy when it is of that type).
  std::vector<uint8_t> convertedData(StorageType target) const;
  const uint8_t* fixedData(StorageType requested, int32_t n, std::vector<uint8_t>& temp) const;
  // A fixed-width value set or read through its little-endian coder.
  template <typename T>
  void setFixed(StorageType type, void (*store)(uint8_t*, T), T v);
  template <typename T>
  T getFixed(StorageType type, T (*load)(const uint8_t*)) const;

  StorageType type_ = storage_type::None;
  int32_t size_ = 0;
  std::vector<uint8_t> own_;
  const uint8_t* borrowed_ = nullptr;
  bool ownsBuffer_ = false;
  uint8_t nullMarker_ = kNullMarker;
};

// Compares two data buffers of the given storage types, with both null
// markers, as indexes compare record bytes. Texts end at their terminator or
// at the end of the buffer; `length`, when 0 or more, limits a text
// comparison to that many characters.
CompareResult compareBuffers(StorageType leftType, const uint8_t* left, int32_t leftSize, bool leftNull,
                             StorageType rightType, const uint8_t* right, int32_t rightSize,
                             bool rightNull, bool caseInsensitive, int32_t length = -1);

}  // namespace vz
