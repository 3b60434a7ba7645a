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

template <typename T>
void TVZVariant::setFixed(StorageType type, void (*store)(uint8_t*, T), T v) {
  uint8_t b[16];
  store(b, v);
  setTyped(type, b, fixedValueSize(type));
}

namespace {

void storeLogical(uint8_t* p, bool v) { platform::storeI16(p, v ? -1 : 0); }
bool loadLogical(const uint8_t* p) { return platform::loadI16(p) != 0; }
DayTime loadDayTime(const uint8_t* p) { return DayTime{platform::loadI32(p), platform::loadI32(p + 4)}; }
void storeDayTime(uint8_t* p, DayTime v) {
  platform::storeI32(p, v.day);
  platform::storeI32(p + 4, v.milliseconds);
}

}  // namespace

void TVZVariant::setShortInt(int8_t v) { setFixed(st::ShortInt, platform::storeI8, v); }
void TVZVariant::setSmallInt(int16_t v) { setFixed(st::SmallInt, platform::storeI16, v); }
void TVZVariant::setInteger(int32_t v) { setFixed(st::Integer, platform::storeI32, v); }
void TVZVariant::setLargeInt(int64_t v) { setFixed(st::LargeInt, platform::storeI64, v); }
void TVZVariant::setByte(uint8_t v) { setFixed(st::Byte, platform::storeU8, v); }
void TVZVariant::setWord(uint16_t v) { setFixed(st::Word, platform::storeU16, v); }
void TVZVariant::setCardinal(uint32_t v) { setFixed(st::Cardinal, platform::storeU32, v); }
void TVZVariant::setSingle(float v) { setFixed(st::Single, platform::storeF32, v); }
void TVZVariant::setFloat(double v) { setFixed(st::Float, platform::storeF64, v); }
void TVZVariant::setExtended(long double v) { setFixed(st::Extended, enc::storeExtended, v); }
void TVZVariant::setDate(int32_t dayNumber) { setFixed(st::Date, platform::storeI32, dayNumber); }
void TVZVariant::setTime(int32_t milliseconds) { setFixed(st::Time, platform::storeI32, milliseconds); }
void TVZVariant::setDateTime(int32_t dayNumber, int32_t milliseconds) {
  setFixed(st::DateTime, storeDayTime, DayTime{dayNumber, milliseconds});
}
void TVZVariant::setLogical(bool v) { setFixed(st::Logical, storeLogical, v); }
void TVZVariant::setCurrency(double amount) { setFixed(st::Currency, platform::storeF64, amount); }

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

template <typename T>
T TVZVariant::getFixed(StorageType type, T (*load)(const uint8_t*)) const {
  std::vector<uint8_t> temp;
  return load(fixedData(type, fixedValueSize(type), temp));
}

int8_t TVZVariant::asShortInt() const { return getFixed(st::ShortInt, platform::loadI8); }
int16_t TVZVariant::asSmallInt() const { return getFixed(st::SmallInt, platform::loadI16); }
int32_t TVZVariant::asInteger() const { return getFixed(st::Integer, platform::loadI32); }
int64_t TVZVariant::asLargeInt() const { return getFixed(st::LargeInt, platform::loadI64); }
uint8_t TVZVariant::asByte() const { return getFixed(st::Byte, platform::loadU8); }
uint16_t TVZVariant::asWord() const { return getFixed(st::Word, platform::loadU16); }
uint32_t TVZVariant::asCardinal() const { return getFixed(st::Cardinal, platform::loadU32); }
float TVZVariant::asSingle() const { return getFixed(st::Single, platform::loadF32); }
double TVZVariant::asFloat() const { return getFixed(st::Float, platform::loadF64); }
long double TVZVariant::asExtended() const { return getFixed(st::Extended, enc::loadExtended); }
int32_t TVZVariant::asDate() const { return getFixed(st::Date, platform::loadI32); }
int32_t TVZVariant::asTime() const { return getFixed(st::Time, platform::loadI32); }
DayTime TVZVariant::asDateTime() const { return getFixed(st::DateTime, loadDayTime); }
bool TVZVariant::asLogical() const { return getFixed(st::Logical, loadLogical); }
double TVZVariant::asCurrency() const { return getFixed(st::Currency, platform::loadF64); }

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
