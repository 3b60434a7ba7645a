// The parameter list of a query: one parameter per reference in its SQL
// text, each with a name, a data type and a value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dataset/field_type.h"
#include "dataset/variant.h"

namespace dataset {

class Param {
 public:
  explicit Param(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  // Unknown until set, or taken from the first value given.
  FieldType dataType() const { return dataType_; }
  void setDataType(FieldType type) { dataType_ = type; }

  // Null until a value is given.
  const Variant& value() const { return value_; }
  void setValue(const Variant& value);
  bool isNull() const { return value_.isClear(); }
  // A value was given (a null one counts).
  bool bound() const { return bound_; }
  void clear();

  // Value, data type and bound state of another parameter; the name stays.
  void assignValue(const Param& other);

 private:
  std::string name_;
  FieldType dataType_ = FieldType::Unknown;
  Variant value_ = Variant::null();
  bool bound_ = false;
};

class Params {
 public:
  int count() const { return int(items_.size()); }
  bool empty() const { return items_.empty(); }
  Param& operator[](int index) { return items_.at(size_t(index)); }
  const Param& operator[](int index) const { return items_.at(size_t(index)); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  Param& add(std::string name);
  void clear() { items_.clear(); }

  // The first parameter of that name, compared without regard to case;
  // nullptr when there is none.
  Param* findParam(std::string_view name);
  const Param* findParam(std::string_view name) const;
  // The same, raising EDatabaseError "Parameter '%s' not found".
  Param& paramByName(std::string_view name);
  // Gives every parameter of that name the value; raises as paramByName
  // when there is none.
  void setValues(std::string_view name, const Variant& value);

  // Rebuilds the list from an SQL text (see sql_param_scanner.h). A
  // parameter whose name was in the list before takes the value and data
  // type of the first old parameter of that name.
  void parseSql(std::string_view sql);

 private:
  std::vector<Param> items_;
};

}  // namespace dataset
