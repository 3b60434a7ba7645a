// Field definitions and the field objects through which a dataset's current
// record is read and written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/field_type.h"
#include "dataset/variant.h"

namespace dataset {

class DataSet;

struct FieldDef {
  std::string name;
  FieldType type = FieldType::Unknown;
  // Characters of a text, bytes of a byte field; 0 for the other types.
  int size = 0;
  // Post refuses a record in which this field is null.
  bool required = false;
  bool readOnly = false;
};

// A field of an open dataset. It lives from the dataset's open to its close.
//
// Reading gives the value of the record being edited or inserted, else of
// the current record; a dataset without a current record gives null.
// Writing needs the edit or insert state and converts the value to the
// field's type: texts are cut to the field's size, integers checked against
// the range of their type, dates keep their day and times their time of day.
// The typed readers give 0, "", False for a null field; value() gives Null.
class Field {
 public:
  Field(DataSet& dataSet, int index, FieldDef def);
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  DataSet& dataSet() const { return dataSet_; }
  int index() const { return index_; }
  const std::string& fieldName() const { return def_.name; }
  FieldType dataType() const { return def_.type; }
  int size() const { return def_.size; }
  bool required() const { return def_.required; }
  bool readOnly() const { return def_.readOnly; }
  void setReadOnly(bool readOnly) { def_.readOnly = readOnly; }
  bool isBlob() const { return isBlobType(def_.type); }

  Variant value() const;
  // Null or Empty clears the field.
  void setValue(const Variant& value);
  bool isNull() const;
  void clear();

  std::string asString() const;
  // An empty text clears a field that is no text.
  void setAsString(std::string_view text);
  int32_t asInteger() const;
  void setAsInteger(int32_t value);
  int64_t asLargeInt() const;
  void setAsLargeInt(int64_t value);
  double asFloat() const;
  void setAsFloat(double value);
  // Units of 1/10000.
  int64_t asCurrency() const;
  void setAsCurrency(int64_t units);
  bool asBoolean() const;
  void setAsBoolean(bool value);
  double asDateTime() const;
  void setAsDateTime(double value);
  std::vector<uint8_t> asBytes() const;
  void setAsBytes(std::vector<uint8_t> bytes);

  // The value as this field would store it (what setValue writes).
  Variant convert(const Variant& value) const;

 private:
  void store(Variant value);
  void checkRange(int64_t value, int64_t min, int64_t max) const;

  DataSet& dataSet_;
  int index_;
  FieldDef def_;
};

}  // namespace dataset
