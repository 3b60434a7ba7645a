#include "dbengine/storage/data_types.h"

#include <string>

#include "platform/errors.h"

namespace vz {
namespace {

namespace st = storage_type;
namespace dt = declared_type;
using fk = dataset::FieldType;

constexpr std::array<TSQLFieldType, kTypeNameTableRows> kTypeNames{{
    {"CHAR", dt::Char, st::Char, fk::FixedChar},
    {"FIXEDCHAR", dt::Char, st::Char, fk::FixedChar},
    {"STRING", dt::String, st::String, fk::String},
    {"VARCHAR", dt::String, st::String, fk::String},
    {"VARCHAR2", dt::String, st::String, fk::String},
    {"WIDECHAR", dt::WideChar, st::WideChar, fk::WideString},
    {"FIXEDWIDECHAR", dt::WideChar, st::WideChar, fk::WideString},
    {"WIDESTRING", dt::WideString, st::WideString, fk::WideString},
    {"WIDEVARCHAR", dt::WideString, st::WideString, fk::WideString},
    {"SMALLINT", dt::SmallInt, st::SmallInt, fk::Smallint},
    {"SIGNEDINT16", dt::SmallInt, st::SmallInt, fk::Smallint},
    {"SHORTINT", dt::ShortInt, st::ShortInt, fk::Smallint},
    {"SIGNEDINT8", dt::ShortInt, st::ShortInt, fk::Smallint},
    {"INTEGER", dt::Integer, st::Integer, fk::Integer},
    {"SIGNEDINT32", dt::Integer, st::Integer, fk::Integer},
    {"LARGEINT", dt::LargeInt, st::LargeInt, fk::Largeint},
    {"INT64", dt::LargeInt, st::LargeInt, fk::Largeint},
    {"SIGNEDINT64", dt::LargeInt, st::LargeInt, fk::Largeint},
    {"WORD", dt::Word, st::Word, fk::Word},
    {"UNSIGNEDINT16", dt::Word, st::Word, fk::Word},
    {"BYTE", dt::Byte, st::Byte, fk::Word},
    {"UNSIGNEDINT8", dt::Byte, st::Byte, fk::Word},
    {"CARDINAL", dt::Cardinal, st::Cardinal, fk::Largeint},
    {"UNSIGNEDINT32", dt::Cardinal, st::Cardinal, fk::Largeint},
    {"AUTOINC", dt::AutoInc, st::Integer, fk::AutoInc},
    {"AUTOINCSHORTINT", dt::AutoIncShortInt, st::ShortInt, fk::AutoInc},
    {"AUTOINCSMALLINT", dt::AutoIncSmallInt, st::SmallInt, fk::AutoInc},
    {"AUTOINCINTEGER", dt::AutoIncInteger, st::Integer, fk::AutoInc},
    {"AUTOINCLARGEINT", dt::AutoIncLargeInt, st::LargeInt, fk::Largeint},
    {"AUTOINCBYTE", dt::AutoIncByte, st::Byte, fk::AutoInc},
    {"AUTOINCWORD", dt::AutoIncWord, st::Word, fk::AutoInc},
    {"AUTOINCCARDINAL", dt::AutoIncCardinal, st::Cardinal, fk::AutoInc},
    {"FLOAT", dt::Float, st::Float, fk::Float},
    {"FLOAT", dt::Float, st::Float, fk::BCD},
    {"SINGLE", dt::Single, st::Single, fk::Float},
    {"DOUBLE", dt::Float, st::Float, fk::Float},
    {"EXTENDED", dt::Extended, st::Extended, fk::Float},
    {"LOGICAL", dt::Logical, st::Logical, fk::Boolean},
    {"BOOLEAN", dt::Logical, st::Logical, fk::Boolean},
    {"BOOL", dt::Logical, st::Logical, fk::Boolean},
    {"BIT", dt::Logical, st::Logical, fk::Boolean},
    {"CURRENCY", dt::Currency, st::Currency, fk::Currency},
    {"MONEY", dt::Currency, st::Currency, fk::Currency},
    {"DATE", dt::Date, st::Date, fk::Date},
    {"TIME", dt::Time, st::Time, fk::Time},
    {"DATETIME", dt::DateTime, st::DateTime, fk::DateTime},
    {"TIMESTAMP", dt::TimeStamp, st::DateTime, fk::TimeStamp},
    {"BYTES", dt::Bytes, st::Bytes, fk::Bytes},
    {"VARBYTES", dt::VarBytes, st::VarBytes, fk::VarBytes},
    {"BLOB", dt::Blob, st::Blob, fk::Blob},
    {"BLOB", dt::Blob, st::Blob, fk::ParadoxOle},
    {"BLOB", dt::Blob, st::Blob, fk::TypedBinary},
    {"BLOB", dt::Blob, st::Blob, fk::DBaseOle},
    {"BLOB", dt::Blob, st::Blob, fk::OraBlob},
    {"BLOB", dt::Blob, st::Blob, fk::OraClob},
    {"GRAPHIC", dt::Graphic, st::Blob, fk::Graphic},
    {"MEMO", dt::Memo, st::Memo, fk::Memo},
    {"CLOB", dt::Memo, st::Memo, fk::Memo},
    {"FORMATTEDMEMO", dt::FormattedMemo, st::Memo, fk::FmtMemo},
    {"WIDEMEMO", dt::WideMemo, st::WideMemo, fk::Blob},
    {"WIDECLOB", dt::WideMemo, st::WideMemo, fk::Blob},
    {"GUID", dt::Guid, st::Char, fk::Guid},
}};

// Common types for arithmetic, indexed [left][right] by storage code; 0 where
// the types do not meet. BLOB (18), BYTES (23) and VARBYTES (24) meet nothing.
constexpr uint8_t kCommonArithmetic[25][25] = {
    //  0   1   2   3   4   5   6   7   8   9  10  11  12  13  14  15  16  17  18  19  20  21  22  23  24
    {0},
    {0, 1, 2, 3, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 2, 1, 1, 0, 0},                 // 1
    {0, 2, 2, 2, 4, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 0, 2, 2, 2, 2, 0, 0},                 // 2
    {0, 3, 2, 3, 4, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 0, 3, 4, 3, 3, 0, 0},                 // 3
    {0, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 0, 4, 4, 4, 4, 0, 0},                 // 4
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 6, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 5, 22, 0, 0},        // 5
    {0, 1, 2, 3, 4, 6, 6, 7, 8, 6, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 6, 22, 0, 0},        // 6
    {0, 1, 2, 3, 4, 7, 7, 7, 8, 7, 7, 8, 12, 13, 14, 15, 16, 17, 0, 0, 0, 7, 22, 0, 0},          // 7
    {0, 1, 2, 3, 4, 8, 8, 8, 8, 8, 8, 8, 12, 13, 14, 15, 16, 17, 0, 0, 0, 8, 22, 0, 0},          // 8
    {0, 1, 2, 3, 4, 6, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 9, 22, 0, 0},        // 9
    {0, 1, 2, 3, 4, 7, 7, 7, 8, 10, 10, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 10, 22, 0, 0},      // 10
    {0, 1, 2, 3, 4, 8, 8, 8, 8, 11, 11, 11, 12, 13, 14, 15, 16, 17, 0, 0, 0, 11, 22, 0, 0},      // 11
    {0, 1, 2, 3, 4, 12, 12, 12, 12, 12, 12, 12, 12, 13, 14, 15, 16, 17, 0, 0, 0, 12, 22, 0, 0},  // 12
    {0, 1, 2, 3, 4, 13, 13, 13, 13, 13, 13, 13, 13, 13, 14, 15, 16, 17, 0, 0, 0, 13, 22, 0, 0},  // 13
    {0, 1, 2, 3, 4, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 15, 16, 17, 0, 0, 0, 14, 22, 0, 0},  // 14
    {0, 1, 2, 3, 4, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 15, 17, 17, 0, 0, 0, 0, 0, 0, 0},    // 15
    {0, 1, 2, 3, 4, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 17, 16, 17, 0, 0, 0, 0, 0, 0, 0},    // 16
    {0, 1, 2, 3, 4, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 0, 0, 0, 0, 0, 0, 0},    // 17
    {0},                                                                                          // 18
    {0, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 0, 0},                 // 19
    {0, 2, 2, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0},                 // 20
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 0, 0, 0, 0, 0, 21, 0, 0, 0},           // 21
    {0, 1, 2, 3, 4, 22, 22, 22, 22, 22, 22, 22, 12, 13, 14, 0, 0, 0, 0, 0, 0, 0, 22, 0, 0},      // 22
    {0},                                                                                          // 23
    {0},                                                                                          // 24
};

std::string upperAsciiCopy(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return r;
}

}  // namespace

const std::array<TSQLFieldType, kTypeNameTableRows>& typeNameTable() { return kTypeNames; }

std::optional<DeclaredType> declaredTypeByName(std::string_view name) {
  const std::string upper = upperAsciiCopy(name);
  for (const auto& row : kTypeNames)
    if (row.name == upper) return row.declared;
  return std::nullopt;
}

StorageType storageTypeOf(DeclaredType declared) {
  for (const auto& row : kTypeNames)
    if (row.declared == declared) return row.storage;
  return st::None;
}

FieldKind fieldKindOf(DeclaredType declared) {
  for (const auto& row : kTypeNames)
    if (row.declared == declared) return row.fieldKind;
  return fk::Unknown;
}

DeclaredType declaredTypeOfStorage(StorageType storage) {
  for (const auto& row : kTypeNames)
    if (row.storage == storage) return row.declared;
  return 0;
}

DeclaredType declaredTypeOfFieldKind(FieldKind kind) {
  for (const auto& row : kTypeNames)
    if (row.fieldKind == kind) return row.declared;
  throw platform::EVZException(30289, "Unknown DataType: '%s'", {std::to_string(int(kind))});
}

std::string_view declaredTypeName(DeclaredType declared) {
  for (const auto& row : kTypeNames)
    if (row.declared == declared) return row.name;
  return "Unknown";
}

std::string_view storageTypeName(StorageType storage) {
  for (const auto& row : kTypeNames)
    if (row.storage == storage) return row.name;
  return "Unknown";
}

int32_t declaredTypeSize(DeclaredType declared, int32_t givenSize) {
  if (isSizedDeclaredType(declared)) return givenSize;
  if (declared == dt::Guid) return 38;
  return 0;
}

int32_t fixedValueSize(StorageType storage) {
  switch (storage) {
    case st::ShortInt:
    case st::Byte:
      return 1;
    case st::SmallInt:
    case st::Word:
    case st::Logical:
      return 2;
    case st::Integer:
    case st::Cardinal:
    case st::Single:
    case st::Date:
    case st::Time:
      return 4;
    case st::LargeInt:
    case st::Float:
    case st::DateTime:
    case st::Currency:
      return 8;
    case st::Extended:
      return 10;
    default:
      return 0;
  }
}

int32_t dataSize(StorageType storage, int32_t declaredSize) {
  switch (storage) {
    case st::Char:
    case st::String:
    case st::Bytes:
    case st::VarBytes:
      return declaredSize + 1;
    case st::WideChar:
    case st::WideString:
      return (declaredSize + 1) * 2;
    case st::Blob:
    case st::Memo:
    case st::WideMemo:
      return 10;
    default:
      if (int32_t n = fixedValueSize(storage)) return n;
      throw platform::EVZException(30050, "Unknown DataType: '%s'", {std::to_string(storage)});
  }
}

bool isValidStorageType(StorageType s) { return s >= 1 && s <= st::Last; }
bool isTextType(StorageType s) { return s >= st::Char && s <= st::WideString; }
bool isAnsiTextType(StorageType s) { return s == st::Char || s == st::String; }
bool isWideTextType(StorageType s) { return s == st::WideChar || s == st::WideString; }
bool isBlobStorageType(StorageType s) { return s >= st::Blob && s <= st::WideMemo; }
bool isNumericType(StorageType s) { return (s >= st::ShortInt && s <= st::Extended) || s == st::Currency; }
bool isIntegerType(StorageType s) { return s >= st::ShortInt && s <= st::Cardinal; }
bool isFloatType(StorageType s) { return s >= st::Single && s <= st::Extended; }
bool isDateTimeType(StorageType s) { return s >= st::Date && s <= st::DateTime; }
bool isBlobDeclaredType(DeclaredType d) { return d >= dt::Blob && d <= dt::WideMemo; }
bool isAutoIncDeclaredType(DeclaredType d) { return d >= dt::AutoInc && d <= dt::AutoIncCardinal; }
bool isByteStringDeclaredType(DeclaredType d) { return d == dt::Bytes || d == dt::VarBytes; }
bool isSizedDeclaredType(DeclaredType d) {
  return (d >= dt::Char && d <= dt::WideString) || isByteStringDeclaredType(d);
}

StorageType commonType(StorageType left, StorageType right, CommonTypeUse use) {
  if (!isValidStorageType(left) || !isValidStorageType(right)) return st::None;
  if (use == CommonTypeUse::Comparison) {
    // A text and a date or time meet in the date or time type, so the text is
    // read as a date or time.
    if (isTextType(left) && isDateTimeType(right)) return right;
    if (isDateTimeType(left) && isTextType(right)) return left;
  }
  return kCommonArithmetic[left][right];
}

DeclaredType commonDeclaredType(DeclaredType left, DeclaredType right, CommonTypeUse use) {
  const StorageType c = commonType(storageTypeOf(left), storageTypeOf(right), use);
  if (c == st::None) return 0;
  if (storageTypeOf(left) == c) return left;
  if (storageTypeOf(right) == c) return right;
  return declaredTypeOfStorage(c);
}

}  // namespace vz
