#include "dataset/field.h"

#include <cmath>
#include <limits>

#include "dataset/dataset.h"
#include "dataset/dataset_messages.h"
#include "platform/errors.h"
#include "platform/float_text.h"
#include "platform/locale.h"

namespace dataset {

using platform::EDatabaseError;

namespace {

// Whether `text` (not empty) starts `word` without regard to ASCII case, as
// "t", "Tr" and "TRUE" all start "True".
bool startsWordIgnoringCase(std::string_view text, std::string_view word) {
  if (text.empty() || text.size() > word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char a = text[i], b = word[i];
    if (a >= 'a' && a <= 'z') a = char(a - 32);
    if (b >= 'a' && b <= 'z') b = char(b - 32);
    if (a != b) return false;
  }
  return true;
}

double datePart(double dateTime) { return std::trunc(dateTime); }

double timePart(double dateTime) { return std::fabs(dateTime - std::trunc(dateTime)); }

}  // namespace

Field::Field(DataSet& dataSet, int index, FieldDef def)
    : dataSet_(dataSet), index_(index), def_(std::move(def)) {}

Variant Field::value() const { return dataSet_.fieldData(index_); }

bool Field::isNull() const { return value().isClear(); }

void Field::checkRange(int64_t value, int64_t min, int64_t max) const {
  if (value < min || value > max)
    throw EDatabaseError(messages::kFieldRange,
                         {std::to_string(value), def_.name, std::to_string(min), std::to_string(max)});
}

Variant Field::convert(const Variant& value) const {
  if (value.isClear()) return Variant::null();
  switch (def_.type) {
    case FieldType::String:
    case FieldType::FixedChar:
    case FieldType::WideString: {
      std::string text = value.toString();
      if (def_.size > 0 && text.size() > size_t(def_.size)) text.resize(size_t(def_.size));
      return Variant(std::move(text));
    }
    case FieldType::Guid:
    case FieldType::Memo:
    case FieldType::FmtMemo:
    case FieldType::OraClob:
      return Variant(value.toString());
    case FieldType::Smallint: {
      int32_t v = value.toInteger();
      checkRange(v, INT16_MIN, INT16_MAX);
      return Variant(v);
    }
    case FieldType::Word: {
      int32_t v = value.toInteger();
      checkRange(v, 0, UINT16_MAX);
      return Variant(v);
    }
    case FieldType::Integer:
    case FieldType::AutoInc:
      return Variant(value.toInteger());
    case FieldType::Largeint:
      return Variant(value.toInt64());
    case FieldType::Boolean:
      return Variant(value.toBoolean());
    case FieldType::Float:
    case FieldType::Currency:
      return Variant(value.toDouble());
    case FieldType::BCD:
    case FieldType::FMTBcd:
      return Variant::fromCurrency(value.toCurrency());
    case FieldType::Date:
      return Variant::fromDateTime(datePart(value.toDateTime()));
    case FieldType::Time:
      return Variant::fromDateTime(timePart(value.toDateTime()));
    case FieldType::DateTime:
    case FieldType::TimeStamp:
      return Variant::fromDateTime(value.toDateTime());
    case FieldType::Bytes:
    case FieldType::VarBytes: {
      std::vector<uint8_t> bytes = value.toBytes();
      if (def_.size > 0 && bytes.size() > size_t(def_.size)) bytes.resize(size_t(def_.size));
      return Variant(std::move(bytes));
    }
    default:
      if (isBlobType(def_.type)) return Variant(value.toBytes());
      return value;
  }
}

void Field::store(Variant value) {
  if (def_.readOnly) throw EDatabaseError(messages::kFieldReadOnly, {def_.name});
  dataSet_.setFieldData(index_, std::move(value));
}

void Field::setValue(const Variant& value) {
  if (def_.readOnly) throw EDatabaseError(messages::kFieldReadOnly, {def_.name});
  store(convert(value));
}

void Field::clear() { store(Variant::null()); }

std::string Field::asString() const {
  Variant v = value();
  if (v.isClear()) return {};
  switch (def_.type) {
    case FieldType::Date:
      return platform::dateToText(v.toDateTime());
    case FieldType::Time:
      return platform::timeToText(v.toDateTime());
    default:
      return v.toString();
  }
}

void Field::setAsString(std::string_view text) {
  if (isSizedTextType(def_.type) || isBlobType(def_.type) || def_.type == FieldType::Guid ||
      def_.type == FieldType::Bytes || def_.type == FieldType::VarBytes) {
    setValue(Variant(text));
    return;
  }
  if (text.empty()) {
    clear();
    return;
  }
  std::string t(text);
  switch (def_.type) {
    case FieldType::Boolean:
      if (startsWordIgnoringCase(t, "True"))
        setAsBoolean(true);
      else if (startsWordIgnoringCase(t, "False"))
        setAsBoolean(false);
      else
        throw EDatabaseError(messages::kInvalidBoolValue, {t, def_.name});
      return;
    case FieldType::Smallint:
    case FieldType::Word:
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Largeint: {
      int64_t v;
      if (!platform::tryTextToInt64(t, v)) throw EDatabaseError(messages::kInvalidIntegerValue, {t, def_.name});
      setValue(Variant(v));
      return;
    }
    case FieldType::Float:
    case FieldType::Currency: {
      double v;
      if (!platform::tryTextToFloat(t, v)) throw EDatabaseError(messages::kInvalidFloatValue, {t, def_.name});
      setValue(Variant(v));
      return;
    }
    case FieldType::BCD:
    case FieldType::FMTBcd: {
      int64_t units;
      if (!platform::tryTextToCurrency(t, units)) throw EDatabaseError(messages::kInvalidFloatValue, {t, def_.name});
      setValue(Variant::fromCurrency(units));
      return;
    }
    case FieldType::Date: {
      double d;
      if (!platform::tryTextToDate(t, d)) throw platform::EConvertError("'" + t + "' is not a valid date");
      setValue(Variant::fromDateTime(d));
      return;
    }
    case FieldType::Time: {
      double d;
      if (!platform::tryTextToTime(t, d)) throw platform::EConvertError("'" + t + "' is not a valid time");
      setValue(Variant::fromDateTime(d));
      return;
    }
    default:
      setValue(Variant(text));
  }
}

int32_t Field::asInteger() const {
  Variant v = value();
  return v.isClear() ? 0 : v.toInteger();
}

void Field::setAsInteger(int32_t value) { setValue(Variant(value)); }

int64_t Field::asLargeInt() const {
  Variant v = value();
  return v.isClear() ? 0 : v.toInt64();
}

void Field::setAsLargeInt(int64_t value) { setValue(Variant(value)); }

double Field::asFloat() const {
  Variant v = value();
  return v.isClear() ? 0 : v.toDouble();
}

void Field::setAsFloat(double value) { setValue(Variant(value)); }

int64_t Field::asCurrency() const {
  Variant v = value();
  return v.isClear() ? 0 : v.toCurrency();
}

void Field::setAsCurrency(int64_t units) { setValue(Variant::fromCurrency(units)); }

bool Field::asBoolean() const {
  Variant v = value();
  return v.isClear() ? false : v.toBoolean();
}

void Field::setAsBoolean(bool value) { setValue(Variant(value)); }

double Field::asDateTime() const {
  Variant v = value();
  return v.isClear() ? 0 : v.toDateTime();
}

void Field::setAsDateTime(double value) { setValue(Variant::fromDateTime(value)); }

std::vector<uint8_t> Field::asBytes() const {
  Variant v = value();
  return v.isClear() ? std::vector<uint8_t>{} : v.toBytes();
}

void Field::setAsBytes(std::vector<uint8_t> bytes) { setValue(Variant(std::move(bytes))); }

}  // namespace dataset
