// Field values between a record's decoded bytes and the dataset layer's
// variants: texts zero-terminated in size + 1 bytes, integers, booleans as
// 16-bit words, dates as day numbers from 1 January of the year 1, times as
// milliseconds, date-times as milliseconds since that day, BLOB values as
// texts (memos) or bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "dataset/variant.h"
#include "recordstore/record_layout.h"

namespace rec {

// The value of non-BLOB field `field` of a decoded record. A date or
// date-time of day 0 (no date at all: what a zeroed record holds) is null.
dataset::Variant decodeFieldValue(const RecordLayout& layout, size_t field, const uint8_t* record);
// Stores a value already converted to the field's type; null stores zeros.
void encodeFieldValue(const RecordLayout& layout, size_t field, const dataset::Variant& value, uint8_t* record);

// BLOB values: memo types present texts, the others bytes.
dataset::Variant blobValue(const RecordLayout& layout, size_t field, std::string bytes);
std::string blobBytes(const dataset::Variant& value);

// Date-time numbers (days since 1899-12-30) and the stored forms.
int32_t dateToDayNumber(double dateTime);
double dayNumberToDate(int32_t day);
int32_t timeToMilliseconds(double dateTime);
double millisecondsToDateTime(double milliseconds);
double dateTimeToMilliseconds(double dateTime);

}  // namespace rec
