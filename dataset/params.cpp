#include "dataset/params.h"

#include "dataset/dataset_messages.h"
#include "dataset/sql_param_scanner.h"
#include "platform/errors.h"
#include "platform/locale.h"

namespace dataset {

void Param::setValue(const Variant& value) {
  if (dataType_ == FieldType::Unknown) dataType_ = fieldTypeOfValue(value.type());
  value_ = value.isEmpty() ? Variant::null() : value;
  bound_ = true;
}

void Param::clear() {
  value_ = Variant::null();
  bound_ = false;
}

void Param::assignValue(const Param& other) {
  dataType_ = other.dataType_;
  value_ = other.value_;
  bound_ = other.bound_;
}

Param& Params::add(std::string name) { return items_.emplace_back(std::move(name)); }

Param* Params::findParam(std::string_view name) {
  for (Param& p : items_)
    if (platform::sameTextAnsi(p.name(), name)) return &p;
  return nullptr;
}

const Param* Params::findParam(std::string_view name) const {
  return const_cast<Params*>(this)->findParam(name);
}

Param& Params::paramByName(std::string_view name) {
  Param* p = findParam(name);
  if (!p) throw platform::EDatabaseError(messages::kParameterNotFound, {std::string(name)});
  return *p;
}

void Params::setValues(std::string_view name, const Variant& value) {
  paramByName(name);
  for (Param& p : items_)
    if (platform::sameTextAnsi(p.name(), name)) p.setValue(value);
}

void Params::parseSql(std::string_view sql) {
  Params rebuilt;
  for (std::string& name : scanSqlParameterNames(sql)) {
    Param& p = rebuilt.add(std::move(name));
    if (const Param* old = findParam(p.name())) p.assignValue(*old);
  }
  items_ = std::move(rebuilt.items_);
}

}  // namespace dataset
