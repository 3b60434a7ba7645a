#include "dbengine/storage/vz_variant.h"

#include <cmath>
#include <cstring>

#include "dbengine/storage/day_numbers.h"
#include "dbengine/storage/value_encoding.h"
#include "dbengine/storage/variant_casts.h"
#include "platform/bytes.h"
#include "platform/errors.h"

namespace vz {
namespace {

namespace st = storage_type;
namespace enc = encoding;

[[noreturn]] void throwValueIsNull() { throw platform::EVZException(30016, "Value is Null"); }

}  // namespace

TVZVariant::TVZVariant(const TVZVariant& other) { assign(other, false); }

TVZVariant& TVZVariant::operator=(const TVZVariant& other) {
  if (this != &other) assign(other, false);
  return *this;
}

TVZVariant::TVZVariant(TVZVariant&& other) noexcept
    : type_(other.type_),
      size_(other.size_),
      own_(std::move(other.own_)),
      borrowed_(other.borrowed_),
      ownsBuffer_(other.ownsBuffer_),
      nullMarker_(other.nullMarker_) {
  other.dropData();
  other.nullMarker_ = kNullMarker;
}

TVZVariant& TVZVariant::operator=(TVZVariant&& other) noexcept {
  if (this != &other) {
    type_ = other.type_;
    size_ = other.size_;
    own_ = std::move(other.own_);
    borrowed_ = other.borrowed_;
    ownsBuffer_ = other.ownsBuffer_;
    nullMarker_ = other.nullMarker_;
    other.dropData();
    other.nullMarker_ = kNullMarker;
  }
  return *this;
}

const uint8_t* TVZVariant::data() const {
  if (borrowed_) return borrowed_;
  return ownsBuffer_ ? own_.data() : nullptr;
}

void TVZVariant::dropData() {
  own_.clear();
  borrowed_ = nullptr;
  ownsBuffer_ = false;
  size_ = 0;
}

uint8_t* TVZVariant::writableBuffer(int32_t n) {
  borrowed_ = nullptr;
  own_.resize(size_t(n));
  ownsBuffer_ = true;
  size_ = n;
  nullMarker_ = 0;
  return own_.data();
}

void TVZVariant::setBytesOwned(StorageType type, std::vector<uint8_t>&& bytes) {
  borrowed_ = nullptr;
  own_ = std::move(bytes);
  ownsBuffer_ = true;
  size_ = int32_t(own_.size());
  type_ = type;
  nullMarker_ = 0;
}

void TVZVariant::clear(StorageType type) {
  dropData();
  type_ = type;
  nullMarker_ = kNullMarker;
}

void TVZVariant::checkNotNull() const {
  if (isNull()) throwValueIsNull();
}

// ---- setters ---------------------------------------------------------------

void TVZVariant::setTyped(StorageType setterType, const uint8_t* bytes, int32_t n) {
  if (type_ == st::None) type_ = setterType;
  if (type_ == setterType) {
    // A fixed-width value of its own type is overwritten in place.
    std::memcpy(writableBuffer(n), bytes, size_t(n));
    return;
  }
  std::vector<uint8_t> converted;
  try {
    converted = convertValue(setterType, bytes, n, type_);
  } catch (...) {
    dropData();
    setNull();
    throw;
  }
  setBytesOwned(type_, std::move(converted));
}

void TVZVariant::setTypedText(StorageType setterType, std::vector<uint8_t>&& bytes, bool empty) {
  if (type_ == st::None) type_ = setterType;
  if (empty) {
    dropData();
    setNull();
    return;
  }
  setTyped(setterType, bytes.data(), int32_t(bytes.size()));
}

void TVZVariant::setChar(std::string_view ansi) { setTypedText(st::Char, enc::ansiTextBytes(ansi), ansi.empty()); }
void TVZVariant::setString(std::string_view ansi) {
  setTypedText(st::String, enc::ansiTextBytes(ansi), ansi.empty());
}
void TVZVariant::setWideChar(std::u16string_view text) {
  setTypedText(st::WideChar, enc::wideTextBytes(text), text.empty());
}
void TVZVariant::setWideString(std::u16string_view text) {
  setTypedText(st::WideString, enc::wideTextBytes(text), text.empty());
}
void TVZVariant::setMemo(std::string_view ansi) {
  setTypedText(st::Memo, std::vector<uint8_t>(ansi.begin(), ansi.end()), ansi.empty());
}
void TVZVariant::setWideMemo(std::u16string_view text) {
  setTypedText(st::WideMemo, enc::wideUnitBytes(text), text.empty());
}

void TVZVariant::setBlob(std::string_view bytes) {
  std::vector<uint8_t> b(bytes.begin(), bytes.end());
  b.push_back(0);
  setTyped(st::Blob, b.data(), int32_t(b.size()));
}
void TVZVariant::setBytes(std::string_view bytes) {
  setTyped(st::Bytes, reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()));
}
void TVZVariant::setVarBytes(std::string_view bytes) {
  setTyped(st::VarBytes, reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()));
}

void TVZVariant::setShortInt(int8_t v) {
  uint8_t b[1];
  platform::storeI8(b, v);
  setTyped(st::ShortInt, b, 1);
}
void TVZVariant::setSmallInt(int16_t v) {
  uint8_t b[2];
  platform::storeI16(b, v);
  setTyped(st::SmallInt, b, 2);
}
void TVZVariant::setInteger(int32_t v) {
  uint8_t b[4];
  platform::storeI32(b, v);
  setTyped(st::Integer, b, 4);
}
void TVZVariant::setLargeInt(int64_t v) {
  uint8_t b[8];
  platform::storeI64(b, v);
  setTyped(st::LargeInt, b, 8);
}
void TVZVariant::setByte(uint8_t v) { setTyped(st::Byte, &v, 1); }
void TVZVariant::setWord(uint16_t v) {
  uint8_t b[2];
  platform::storeU16(b, v);
  setTyped(st::Word, b, 2);
}
void TVZVariant::setCardinal(uint32_t v) {
  uint8_t b[4];
  platform::storeU32(b, v);
  setTyped(st::Cardinal, b, 4);
}
void TVZVariant::setSingle(float v) {
  uint8_t b[4];
  platform::storeF32(b, v);
  setTyped(st::Single, b, 4);
}
void TVZVariant::setFloat(double v) {
  uint8_t b[8];
  platform::storeF64(b, v);
  setTyped(st::Float, b, 8);
}
void TVZVariant::setExtended(long double v) {
  uint8_t b[enc::kExtendedSize];
  enc::storeExtended(b, v);
  setTyped(st::Extended, b, enc::kExtendedSize);
}
void TVZVariant::setDate(int32_t dayNumber) {
  uint8_t b[4];
  platform::storeI32(b, dayNumber);
  setTyped(st::Date, b, 4);
}
void TVZVariant::setTime(int32_t milliseconds) {
  uint8_t b[4];
  platform::storeI32(b, milliseconds);
  setTyped(st::Time, b, 4);
}
void TVZVariant::setDateTime(int32_t dayNumber, int32_t milliseconds) {
  uint8_t b[8];
  platform::storeI32(b, dayNumber);
  platform::storeI32(b + 4, milliseconds);
  setTyped(st::DateTime, b, 8);
}
void TVZVariant::setLogical(bool v) {
  uint8_t b[2];
  platform::storeI16(b, v ? -1 : 0);
  setTyped(st::Logical, b, 2);
}
void TVZVariant::setCurrency(double amount) {
  uint8_t b[8];
  platform::storeF64(b, amount);
  setTyped(st::Currency, b, 8);
}

namespace {

DayAndTime dayAndTimeOrFail(double x, StorageType target) {
  DayAndTime dt;
  if (!tryDayAndTimeFromDateTimeNumber(x, dt)) throwCastError(30051, st::Float, target);
  return dt;
}

}  // namespace

void TVZVariant::setDateFromDateTimeNumber(double x) {
  if (type_ == st::None) type_ = st::Date;
  try {
    setDate(dayAndTimeOrFail(x, st::Date).day);
  } catch (...) {
    dropData();
    setNull();
    throw;
  }
}

void TVZVariant::setTimeFromDateTimeNumber(double x) {
  if (type_ == st::None) type_ = st::Time;
  if (!std::isfinite(x)) {
    dropData();
    setNull();
    throwCastError(30051, st::Float, st::Time);
  }
  setTime(millisecondsOfDateTimeNumber(x));
}

void TVZVariant::setDateTimeFromDateTimeNumber(double x) {
  if (type_ == st::None) type_ = st::DateTime;
  try {
    const DayAndTime dt = dayAndTimeOrFail(x, st::DateTime);
    setDateTime(dt.day, dt.milliseconds);
  } catch (...) {
    dropData();
    setNull();
    throw;
  }
}

// ---- getters ---------------------------------------------------------------

std::vector<uint8_t> TVZVariant::convertedData(StorageType target) const {
  const uint8_t* d = data();
  if (type_ == target) return std::vector<uint8_t>(d, d + size_);
  return convertValue(type_, d, size_, target);
}

const uint8_t* TVZVariant::fixedData(StorageType requested, int32_t n, std::vector<uint8_t>& temp) const {
  checkNotNull();
  if (type_ == requested && size_ == n) return data();
  temp = convertValue(type_, data(), size_, requested);
  return temp.data();
}

std::string TVZVariant::asString() const {
  if (isNull()) return {};
  if (isAnsiTextType(type_)) return enc::ansiText(data(), size_);
  const std::vector<uint8_t> b = convertValue(type_, data(), size_, st::String);
  return enc::ansiText(b.data(), int32_t(b.size()));
}

std::u16string TVZVariant::asWideString() const {
  if (isNull()) return {};
  if (isWideTextType(type_)) return enc::wideText(data(), size_);
  const std::vector<uint8_t> b = convertValue(type_, data(), size_, st::WideString);
  return enc::wideText(b.data(), int32_t(b.size()));
}

int8_t TVZVariant::asShortInt() const {
  std::vector<uint8_t> t;
  return platform::loadI8(fixedData(st::ShortInt, 1, t));
}
int16_t TVZVariant::asSmallInt() const {
  std::vector<uint8_t> t;
  return platform::loadI16(fixedData(st::SmallInt, 2, t));
}
int32_t TVZVariant::asInteger() const {
  std::vector<uint8_t> t;
  return platform::loadI32(fixedData(st::Integer, 4, t));
}
int64_t TVZVariant::asLargeInt() const {
  std::vector<uint8_t> t;
  return platform::loadI64(fixedData(st::LargeInt, 8, t));
}
uint8_t TVZVariant::asByte() const {
  std::vector<uint8_t> t;
  return platform::loadU8(fixedData(st::Byte, 1, t));
}
uint16_t TVZVariant::asWord() const {
  std::vector<uint8_t> t;
  return platform::loadU16(fixedData(st::Word, 2, t));
}
uint32_t TVZVariant::asCardinal() const {
  std::vector<uint8_t> t;
  return platform::loadU32(fixedData(st::Cardinal, 4, t));
}
float TVZVariant::asSingle() const {
  std::vector<uint8_t> t;
  return platform::loadF32(fixedData(st::Single, 4, t));
}
double TVZVariant::asFloat() const {
  std::vector<uint8_t> t;
  return platform::loadF64(fixedData(st::Float, 8, t));
}
long double TVZVariant::asExtended() const {
  std::vector<uint8_t> t;
  return enc::loadExtended(fixedData(st::Extended, enc::kExtendedSize, t));
}
int32_t TVZVariant::asDate() const {
  std::vector<uint8_t> t;
  return platform::loadI32(fixedData(st::Date, 4, t));
}
int32_t TVZVariant::asTime() const {
  std::vector<uint8_t> t;
  return platform::loadI32(fixedData(st::Time, 4, t));
}
DayTime TVZVariant::asDateTime() const {
  std::vector<uint8_t> t;
  const uint8_t* p = fixedData(st::DateTime, 8, t);
  return DayTime{platform::loadI32(p), platform::loadI32(p + 4)};
}
bool TVZVariant::asLogical() const {
  std::vector<uint8_t> t;
  return platform::loadI16(fixedData(st::Logical, 2, t)) != 0;
}
double TVZVariant::asCurrency() const {
  std::vector<uint8_t> t;
  return platform::loadF64(fixedData(st::Currency, 8, t));
}

std::string TVZVariant::asBlob() const {
  checkNotNull();
  const std::vector<uint8_t> b = convertedData(st::Blob);
  return std::string(b.begin(), b.empty() ? b.end() : b.end() - 1);
}
std::string TVZVariant::asMemo() const {
  checkNotNull();
  const std::vector<uint8_t> b = convertedData(st::Memo);
  return std::string(b.begin(), b.end());
}
std::u16string TVZVariant::asWideMemo() const {
  checkNotNull();
  const std::vector<uint8_t> b = convertedData(st::WideMemo);
  return enc::wideFromUnits(b.data(), int32_t(b.size()));
}
std::string TVZVariant::asBytes() const {
  checkNotNull();
  const std::vector<uint8_t> b = convertedData(st::Bytes);
  return std::string(b.begin(), b.end());
}
std::string TVZVariant::asVarBytes() const {
  checkNotNull();
  const std::vector<uint8_t> b = convertedData(st::VarBytes);
  return std::string(b.begin(), b.end());
}

double TVZVariant::dateAsDateTimeNumber() const { return dateTimeNumberOf(asDate(), 0); }

double TVZVariant::timeAsDateTimeNumber() const { return double(asTime()) / kMillisecondsPerDay; }

double TVZVariant::dateTimeAsDateTimeNumber() const {
  const DayTime dt = asDateTime();
  return dateTimeNumberOf(dt.day, dt.milliseconds);
}

int32_t TVZVariant::textLength() const {
  if (isNull()) return -1;
  if (isAnsiTextType(type_)) return size_ - 1;
  if (isWideTextType(type_)) return size_ / 2 - 1;
  return -1;
}

// ---- whole values ----------------------------------------------------------

void TVZVariant::assign(const TVZVariant& other, bool borrow) {
  if (this == &other) return;
  const StorageType type = other.type_;
  const uint8_t marker = other.nullMarker_;
  if (!other.hasBuffer()) {
    dropData();
  } else if (borrow) {
    own_.clear();
    ownsBuffer_ = false;
    borrowed_ = other.data();
    size_ = other.size_;
  } else {
    const uint8_t* d = other.data();
    std::vector<uint8_t> copy(d, d + other.size_);
    borrowed_ = nullptr;
    own_ = std::move(copy);
    ownsBuffer_ = true;
    size_ = other.size_;
  }
  type_ = type;
  nullMarker_ = marker;
}

void TVZVariant::attach(StorageType type, const void* data, int32_t size, bool borrow) {
  const int32_t fixed = fixedValueSize(type);
  const bool sizeFits = fixed > 0                ? size == fixed
                        : isAnsiTextType(type)   ? size >= 1
                        : isWideTextType(type)   ? size >= 2
                                                 : size >= 0;
  if (!isValidStorageType(type) || !sizeFits || (size > 0 && !data))
    throw platform::EVZException(30054, "Cannot copy data into new memory");
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  if (borrow) {
    own_.clear();
    ownsBuffer_ = false;
    // A zero-length borrowed value still needs a buffer to be present.
    static const uint8_t kNoBytes = 0;
    borrowed_ = size > 0 ? bytes : &kNoBytes;
    size_ = size;
  } else {
    std::vector<uint8_t> copy(bytes, bytes + size);
    borrowed_ = nullptr;
    own_ = std::move(copy);
    ownsBuffer_ = true;
    size_ = size;
  }
  type_ = type;
  nullMarker_ = 0;
}

bool TVZVariant::copyTo(void* buffer, int32_t capacity) const {
  if (capacity < size_) throw platform::EVZException(20056, "Buffer size exceeded");
  if (isNull()) return false;
  if (isTextType(type_) && size_ <= (isWideTextType(type_) ? 2 : 1)) return false;
  if (size_ > 0) std::memcpy(buffer, data(), size_t(size_));
  return true;
}

void TVZVariant::cast(StorageType target) {
  if (!isValidStorageType(target)) throwCastError(30052, type_, target);
  if (isNull()) {
    dropData();
    type_ = target;
    return;
  }
  if (target == type_) return;
  setBytesOwned(target, convertValue(type_, data(), size_, target));
}

void TVZVariant::castOrNull(StorageType target) {
  try {
    cast(target);
  } catch (const platform::EVZException&) {
    clear(target);
  }
}

}  // namespace vz
