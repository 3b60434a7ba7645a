// The field types of the dataset layer. The numbers are stored in files (the
// record store keeps them in its field definitions) and must not change.
#pragma once

#include <cstdint>
#include <string_view>

#include "dataset/variant.h"

namespace dataset {

enum class FieldType : uint8_t {
  Unknown = 0,
  String = 1,      // text of at most Size bytes
  Smallint = 2,    // 16-bit signed
  Integer = 3,     // 32-bit signed
  Word = 4,        // 16-bit unsigned
  Boolean = 5,
  Float = 6,       // double
  Currency = 7,    // a double holding an amount
  BCD = 8,         // a decimal amount, held as currency
  Date = 9,
  Time = 10,
  DateTime = 11,
  Bytes = 12,      // exactly Size bytes
  VarBytes = 13,   // at most Size bytes
  AutoInc = 14,    // 32-bit signed, given by the table
  Blob = 15,
  Memo = 16,
  Graphic = 17,
  FmtMemo = 18,
  ParadoxOle = 19,
  DBaseOle = 20,
  TypedBinary = 21,
  Cursor = 22,
  FixedChar = 23,  // text of Size bytes
  WideString = 24,
  Largeint = 25,   // 64-bit signed
  ADT = 26,
  Array = 27,
  Reference = 28,
  DataSet = 29,
  OraBlob = 30,
  OraClob = 31,
  Variant = 32,
  Interface = 33,
  IDispatch = 34,
  Guid = 35,
  TimeStamp = 36,
  FMTBcd = 37,
};

// Large objects: their values are loaded only when asked for.
bool isBlobType(FieldType type);
// Large objects whose contents are text.
bool isTextBlobType(FieldType type);
// Texts cut to the field's size on assignment.
bool isSizedTextType(FieldType type);

// The variant type in which a field of this type presents its value
// (Unknown and the structured types give Empty: they hold no value here).
VarType valueTypeOf(FieldType type);

// The type a parameter takes from the first value given to it.
FieldType fieldTypeOfValue(VarType type);

// "String", "Integer", ... for messages.
std::string_view fieldTypeName(FieldType type);

}  // namespace dataset
