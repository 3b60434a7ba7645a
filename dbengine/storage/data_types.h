// The engine's two type code sets: declared types (what a column is declared
// as, 1 to 36) and storage types (how a value is laid out, 1 to 24), the
// type-name table that maps names, declared codes, storage codes and the
// dataset layer's field kinds onto each other, data sizes, type classes and
// the common type of two operands.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dataset/field_type.h"

namespace vz {

using StorageType = uint8_t;
using DeclaredType = uint8_t;
// The dataset layer's field kinds.
using FieldKind = dataset::FieldType;

namespace storage_type {
inline constexpr StorageType None = 0;  // a value that has no type yet
inline constexpr StorageType Char = 1;
inline constexpr StorageType WideChar = 2;
inline constexpr StorageType String = 3;
inline constexpr StorageType WideString = 4;
inline constexpr StorageType ShortInt = 5;
inline constexpr StorageType SmallInt = 6;
inline constexpr StorageType Integer = 7;
inline constexpr StorageType LargeInt = 8;
inline constexpr StorageType Byte = 9;
inline constexpr StorageType Word = 10;
inline constexpr StorageType Cardinal = 11;
inline constexpr StorageType Single = 12;
inline constexpr StorageType Float = 13;
inline constexpr StorageType Extended = 14;
inline constexpr StorageType Date = 15;
inline constexpr StorageType Time = 16;
inline constexpr StorageType DateTime = 17;
inline constexpr StorageType Blob = 18;
inline constexpr StorageType Memo = 19;
inline constexpr StorageType WideMemo = 20;
inline constexpr StorageType Logical = 21;
inline constexpr StorageType Currency = 22;
inline constexpr StorageType Bytes = 23;
inline constexpr StorageType VarBytes = 24;
inline constexpr StorageType Last = VarBytes;
}  // namespace storage_type

namespace declared_type {
inline constexpr DeclaredType Char = 1;
inline constexpr DeclaredType String = 2;
inline constexpr DeclaredType WideChar = 3;
inline constexpr DeclaredType WideString = 4;
inline constexpr DeclaredType ShortInt = 5;
inline constexpr DeclaredType SmallInt = 6;
inline constexpr DeclaredType Integer = 7;
inline constexpr DeclaredType LargeInt = 8;
inline constexpr DeclaredType Byte = 9;
inline constexpr DeclaredType Word = 10;
inline constexpr DeclaredType Cardinal = 11;
inline constexpr DeclaredType AutoInc = 12;
inline constexpr DeclaredType AutoIncShortInt = 13;
inline constexpr DeclaredType AutoIncSmallInt = 14;
inline constexpr DeclaredType AutoIncInteger = 15;
inline constexpr DeclaredType AutoIncLargeInt = 16;
inline constexpr DeclaredType AutoIncByte = 17;
inline constexpr DeclaredType AutoIncWord = 18;
inline constexpr DeclaredType AutoIncCardinal = 19;
inline constexpr DeclaredType Single = 20;
inline constexpr DeclaredType Float = 21;
inline constexpr DeclaredType Extended = 22;
inline constexpr DeclaredType Logical = 23;
inline constexpr DeclaredType Currency = 24;
inline constexpr DeclaredType Date = 25;
inline constexpr DeclaredType Time = 26;
inline constexpr DeclaredType DateTime = 27;
inline constexpr DeclaredType TimeStamp = 28;
inline constexpr DeclaredType Bytes = 29;
inline constexpr DeclaredType VarBytes = 30;
inline constexpr DeclaredType Blob = 31;
inline constexpr DeclaredType Graphic = 32;
inline constexpr DeclaredType Memo = 33;
inline constexpr DeclaredType FormattedMemo = 34;
inline constexpr DeclaredType WideMemo = 35;
inline constexpr DeclaredType Guid = 36;
inline constexpr DeclaredType Last = Guid;
}  // namespace declared_type


// One row of the type-name table.
struct TSQLFieldType {
  std::string_view name;
  DeclaredType declared;
  StorageType storage;
  FieldKind fieldKind;
};

inline constexpr int kTypeNameTableRows = 62;
const std::array<TSQLFieldType, kTypeNameTableRows>& typeNameTable();

// The lookups take the first matching row of the table.
// The declared type of an SQL type name (without regard to case); none when
// the name is no type name.
std::optional<DeclaredType> declaredTypeByName(std::string_view name);
// 0 when the declared code has no row.
StorageType storageTypeOf(DeclaredType declared);
FieldKind fieldKindOf(DeclaredType declared);
// 0 when the storage code has no row.
DeclaredType declaredTypeOfStorage(StorageType storage);
// Raises "Unknown DataType: '%s'" (30289) for a kind without a row.
DeclaredType declaredTypeOfFieldKind(FieldKind kind);
// For messages: the first matching row's name, "Unknown" when there is none.
std::string_view declaredTypeName(DeclaredType declared);
std::string_view storageTypeName(StorageType storage);

// The size a declared type carries: the given size for the sized types, 38
// for GUID, 0 for every other type.
int32_t declaredTypeSize(DeclaredType declared, int32_t givenSize);

// Bytes of a field of the storage type in a memory record. Raises
// "Unknown DataType: '%s'" (30050) for a code outside 1 to 24.
int32_t dataSize(StorageType storage, int32_t declaredSize);
// The data size of the types whose values always have one width (integers,
// floating point, dates and times, LOGICAL, CURRENCY); 0 for the others.
int32_t fixedValueSize(StorageType storage);

// Type classes.
bool isValidStorageType(StorageType storage);
bool isTextType(StorageType storage);          // storage 1 to 4
bool isAnsiTextType(StorageType storage);      // storage 1 and 3
bool isWideTextType(StorageType storage);      // storage 2 and 4
bool isBlobStorageType(StorageType storage);   // storage 18 to 20
bool isNumericType(StorageType storage);       // storage 5 to 14 and 22
bool isIntegerType(StorageType storage);       // storage 5 to 11
bool isFloatType(StorageType storage);         // storage 12 to 14
bool isDateTimeType(StorageType storage);      // storage 15 to 17
bool isBlobDeclaredType(DeclaredType declared);       // declared 31 to 35
bool isAutoIncDeclaredType(DeclaredType declared);    // declared 12 to 19
bool isByteStringDeclaredType(DeclaredType declared); // declared 29 and 30
bool isSizedDeclaredType(DeclaredType declared);      // declared 1 to 4, 29 and 30

// The common type of a left and a right operand (the left picks the row);
// 0 when the two types do not meet.
enum class CommonTypeUse { Arithmetic, Comparison };
StorageType commonType(StorageType left, StorageType right, CommonTypeUse use = CommonTypeUse::Arithmetic);
// Both declared types mapped to storage types and their common type c: the
// first declared type when it is stored as c, else the second when it is,
// else the declared type that c maps to (0 when they do not meet).
DeclaredType commonDeclaredType(DeclaredType left, DeclaredType right,
                                CommonTypeUse use = CommonTypeUse::Arithmetic);

}  // namespace vz
