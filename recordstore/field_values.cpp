#include "recordstore/field_values.h"

#include <cmath>
#include <cstring>

#include "platform/bytes.h"

namespace rec {

using namespace format;
using namespace platform;
using dataset::Variant;

namespace {

// A date-time number split into its day and its time of day: the day
// counts from 30 December 1899 and the fraction is the time, also for
// days before it (-1.25 is 29 December 1899, 6:00).
struct DayAndTime {
  int64_t day;
  int64_t ms;
};

DayAndTime split(double dateTime) {
  double whole = std::trunc(dateTime);
  int64_t ms = std::llround(std::fabs(dateTime - whole) * kMsPerDay);
  int64_t day = int64_t(whole);
  if (ms >= int64_t(kMsPerDay)) {
    ms -= int64_t(kMsPerDay);
    day += dateTime < 0 ? -1 : 1;
  }
  return {day, ms};
}

double join(int64_t day, int64_t ms) {
  double d = double(day);
  return d < 0 ? d - double(ms) / kMsPerDay : d + double(ms) / kMsPerDay;
}

}  // namespace

int32_t dateToDayNumber(double dateTime) { return int32_t(split(dateTime).day + kDateDelta); }
double dayNumberToDate(int32_t day) { return double(int64_t(day) - kDateDelta); }
int32_t timeToMilliseconds(double dateTime) { return int32_t(split(dateTime).ms); }

double millisecondsToDateTime(double milliseconds) {
  double days = std::floor(milliseconds / kMsPerDay);
  int64_t ms = std::llround(milliseconds - days * kMsPerDay);
  return join(int64_t(days) - kDateDelta, ms);
}

double dateTimeToMilliseconds(double dateTime) {
  DayAndTime t = split(dateTime);
  return double(t.day + kDateDelta) * kMsPerDay + double(t.ms);
}

Variant decodeFieldValue(const RecordLayout& layout, size_t field, const uint8_t* record) {
  const uint8_t* p = record + layout.offsets[field];
  switch (fieldType(layout.fields[field].type)) {
    case FieldType::String:
    case FieldType::FixedChar:
      return Variant(loadText(p, layout.sizes[field]));
    case FieldType::Smallint:
      return Variant(int32_t(loadI16(p)));
    case FieldType::Word:
      return Variant(int32_t(loadU16(p)));
    case FieldType::Boolean:
      return Variant(loadU16(p) != 0);
    case FieldType::Integer:
    case FieldType::AutoInc:
      return Variant(loadI32(p));
    case FieldType::Largeint:
      return Variant(loadI64(p));
    case FieldType::Float:
    case FieldType::Currency:
      return Variant(loadF64(p));
    case FieldType::Date: {
      int32_t day = loadI32(p);
      return day == 0 ? Variant::null() : Variant::fromDateTime(dayNumberToDate(day));
    }
    case FieldType::Time:
      return Variant::fromDateTime(double(loadI32(p)) / kMsPerDay);
    case FieldType::DateTime: {
      double ms = loadF64(p);
      if (!std::isfinite(ms) || std::fabs(ms) < kMsPerDay) return Variant::null();
      return Variant::fromDateTime(millisecondsToDateTime(ms));
    }
    default:
      return Variant::null();
  }
}

void encodeFieldValue(const RecordLayout& layout, size_t field, const Variant& value, uint8_t* record) {
  uint8_t* p = record + layout.offsets[field];
  const size_t size = layout.sizes[field];
  if (value.isClear()) {
    std::memset(p, 0, size);
    return;
  }
  switch (fieldType(layout.fields[field].type)) {
    case FieldType::String:
    case FieldType::FixedChar:
      storeText(p, size, value.toString());
      break;
    case FieldType::Smallint:
    case FieldType::Word:
      storeU16(p, uint16_t(value.toInteger()));
      break;
    case FieldType::Boolean:
      storeU16(p, value.toBoolean() ? 0xFFFF : 0);
      break;
    case FieldType::Integer:
    case FieldType::AutoInc:
      storeI32(p, value.toInteger());
      break;
    case FieldType::Largeint:
      storeI64(p, value.toInt64());
      break;
    case FieldType::Float:
    case FieldType::Currency:
      storeF64(p, value.toDouble());
      break;
    case FieldType::Date:
      storeI32(p, dateToDayNumber(value.toDateTime()));
      break;
    case FieldType::Time:
      storeI32(p, timeToMilliseconds(value.toDateTime()));
      break;
    case FieldType::DateTime:
      storeF64(p, dateTimeToMilliseconds(value.toDateTime()));
      break;
    default:
      break;
  }
}

Variant blobValue(const RecordLayout& layout, size_t field, std::string bytes) {
  if (dataset::isTextBlobType(fieldType(layout.fields[field].type))) return Variant(std::move(bytes));
  return Variant(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::string blobBytes(const Variant& value) {
  if (value.isClear()) return {};
  std::vector<uint8_t> bytes = value.toBytes();
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace rec
