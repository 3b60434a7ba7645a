#include "dataset/field_type.h"

namespace dataset {

bool isBlobType(FieldType type) {
  switch (type) {
    case FieldType::Blob:
    case FieldType::Memo:
    case FieldType::Graphic:
    case FieldType::FmtMemo:
    case FieldType::ParadoxOle:
    case FieldType::DBaseOle:
    case FieldType::TypedBinary:
    case FieldType::OraBlob:
    case FieldType::OraClob:
      return true;
    default:
      return false;
  }
}

bool isTextBlobType(FieldType type) {
  return type == FieldType::Memo || type == FieldType::FmtMemo || type == FieldType::OraClob;
}

bool isSizedTextType(FieldType type) {
  return type == FieldType::String || type == FieldType::FixedChar || type == FieldType::WideString;
}

VarType valueTypeOf(FieldType type) {
  switch (type) {
    case FieldType::String:
    case FieldType::FixedChar:
    case FieldType::WideString:
    case FieldType::Guid:
    case FieldType::Memo:
    case FieldType::FmtMemo:
    case FieldType::OraClob:
      return VarType::String;
    case FieldType::Smallint:
    case FieldType::Integer:
    case FieldType::Word:
    case FieldType::AutoInc:
      return VarType::Integer;
    case FieldType::Largeint:
      return VarType::Int64;
    case FieldType::Boolean:
      return VarType::Boolean;
    case FieldType::Float:
    case FieldType::Currency:
      return VarType::Double;
    case FieldType::BCD:
    case FieldType::FMTBcd:
      return VarType::Currency;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
    case FieldType::TimeStamp:
      return VarType::Date;
    case FieldType::Bytes:
    case FieldType::VarBytes:
    case FieldType::Blob:
    case FieldType::Graphic:
    case FieldType::ParadoxOle:
    case FieldType::DBaseOle:
    case FieldType::TypedBinary:
    case FieldType::OraBlob:
      return VarType::Bytes;
    default:
      return VarType::Empty;
  }
}

FieldType fieldTypeOfValue(VarType type) {
  switch (type) {
    case VarType::ShortInt:
    case VarType::Byte:
    case VarType::Smallint:
      return FieldType::Smallint;
    case VarType::Word:
      return FieldType::Word;
    case VarType::Integer:
      return FieldType::Integer;
    case VarType::LongWord:
    case VarType::Int64:
      return FieldType::Largeint;
    case VarType::Single:
    case VarType::Double:
      return FieldType::Float;
    case VarType::Currency:
      return FieldType::Currency;
    case VarType::Date:
      return FieldType::DateTime;
    case VarType::Boolean:
      return FieldType::Boolean;
    case VarType::String:
      return FieldType::String;
    case VarType::Bytes:
      return FieldType::Blob;
    default:
      return FieldType::Unknown;
  }
}

std::string_view fieldTypeName(FieldType type) {
  static constexpr std::string_view names[] = {
      "Unknown",  "String",  "Smallint",  "Integer",  "Word",      "Boolean",   "Float",
      "Currency", "BCD",     "Date",      "Time",     "DateTime",  "Bytes",     "VarBytes",
      "AutoInc",  "Blob",    "Memo",      "Graphic",  "FmtMemo",   "ParadoxOle", "DBaseOle",
      "TypedBinary", "Cursor", "FixedChar", "WideString", "Largeint", "ADT",     "Array",
      "Reference", "DataSet", "OraBlob",  "OraClob",  "Variant",   "Interface", "IDispatch",
      "Guid",     "TimeStamp", "FMTBcd"};
  auto i = size_t(type);
  return i < std::size(names) ? names[i] : "Unknown";
}

}  // namespace dataset
